// The installation's DirectX step: the runtime set up silently when an earlier installation
// has not done it already.
#include <algorithm>

#include "app/install_app.h"
#include "app/language.h"
#include "app/message_ids.h"
#include "engine/directx_setup.h"
#include "resources/dialog_ids.h"
#include "wizard/dlg_install.h"

void CDlgInstall::DirectXRuntimeStep() {
    CInstallApp& app = InstallApp();
    DirectXSetup setup(app.tempFolder);
    if (!setup.usable()) return;
    if (app.previousState != SameVersion) {
        const auto& earlier = app.uninstallLog.earlierEntries;
        const bool done = std::any_of(earlier.begin(), earlier.end(), [](const UninstallLogEntry& entry) {
            return entry.kind == EntryKind::DirectXRuntime && entry.flag;
        });
        if (done) return;
    }

    app.uninstallLog.AddDirectXRuntime();
    const std::wstring text = LoadLocalizedString(msg::DirectXUpdate);
    SetDlgItemText(IDC_STATUS, text);
    AppendLog(text, false);
    const bool ok = setup.Run(m_hWnd);
    app.uninstallLog.CompleteLast(ok, text);
    AppendLog(LoadLocalizedString(ok ? msg::StepOk : msg::StepFailed) + L"\r\n", false);
}
