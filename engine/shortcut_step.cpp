// The installation's shortcut step: the program group's two links and the desktop link.
#include <shlobj.h>

#include "app/install_app.h"
#include "app/language.h"
#include "app/message_ids.h"
#include "app/product.h"
#include "records/shortcut.h"
#include "resources/dialog_ids.h"
#include "wizard/dlg_install.h"

namespace {
enum Which { ProgramLink = 0, UninstallerLink = 1, DesktopLink = 2 };
}

void CDlgInstall::ShortcutStep() {
    CInstallApp& app = InstallApp();
    CUninstallLog& log = app.uninstallLog;
    const std::wstring text = LoadLocalizedString(msg::ShortcutsCreation);
    SetDlgItemText(IDC_STATUS, text);
    AppendLog(text, false);

    bool allMade = true;
    const auto make = [&](int which, const std::wstring& folder, const std::wstring& target, const std::wstring& name) {
        log.AddShortcut(which, folder);
        std::wstring link;
        if (CreateShortcut(target, folder, name, &link)) {
            log.CompleteLast(true, link);
        } else {
            log.CompleteLast(false);
            allMade = false;
        }
    };
    if (app.createMenuShortcut) {
        make(ProgramLink, app.startMenuFolder, m_programPath, ProductTitle(false));
        make(UninstallerLink, app.startMenuFolder, m_uninstallerPath,
             FormatLocalized(msg::UninstallShortcut, ProductTitle(true)));
    }
    if (app.createDesktopShortcut) {
        wchar_t desktop[MAX_PATH] = {};
        if (::SHGetSpecialFolderPathW(m_hWnd, desktop, CSIDL_COMMON_DESKTOPDIRECTORY, FALSE) ||
            ::SHGetSpecialFolderPathW(m_hWnd, desktop, CSIDL_DESKTOPDIRECTORY, FALSE)) {
            make(DesktopLink, desktop, m_programPath, ProductTitle(false));
        } else {
            allMade = false;  // no desktop to put the link on
        }
    }
    AppendLog(LoadLocalizedString(allMade ? msg::StepOk : msg::StepFailed) + L"\r\n", false);
}
