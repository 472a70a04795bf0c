// The install sequence: the one operation that changes the machine, readable top to bottom.
#include <shlwapi.h>

#include <boost/format.hpp>
#include <boost/uuid/random_generator.hpp>
#include <boost/uuid/uuid_io.hpp>

#include <memory>

#include "app/install_app.h"
#include "app/language.h"
#include "app/message_ids.h"
#include "app/product.h"
#include "engine/extract_payload.h"
#include "engine/extraction_handlers.h"
#include "engine/resource_stream.h"
#include "engine/temp_files.h"
#include "framework/wait_cursor.h"
#include "resources/dialog_ids.h"
#include "resources/resource_ids.h"
#include "wizard/dlg_install.h"

namespace {

const wchar_t* const LineEnd = L"\r\n";
// Leaves room under MAX_PATH for "corvenna_{uuid}" and the names inside it.
constexpr DWORD LongestTempPath = 246;

void MakeReadOnly(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) ::SetFileAttributesW(path.c_str(), attributes | FILE_ATTRIBUTE_READONLY);
}

}  // namespace

bool CDlgInstall::Install() {
    CInstallApp& app = InstallApp();
    CUninstallLog& log = app.uninstallLog;
    m_programPath.clear();
    m_uninstallerPath.clear();
    AppendLog(std::wstring(), true);
    const CWaitCursor wait;
    SetDlgItemText(IDC_STATUS, LoadLocalizedString(msg::Preparing));

    wchar_t temp[MAX_PATH] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH, temp);
    if (length == 0 || length > LongestTempPath) {
        const std::wstring code = (boost::wformat(L"%08x (%s)") % ::GetLastError() % L"GetTempPath").str();
        const std::wstring text = FormatLocalized(msg::Failed, code);
        SetDlgItemText(IDC_STATUS, text);
        AppendLog(text + LineEnd, false);
        return false;
    }
    const std::wstring name = L"corvenna_{" + boost::uuids::to_wstring(boost::uuids::random_generator()()) + L"}";
    ::PathAppendW(temp, name.c_str());
    app.tempFolder = temp;
    const std::wstring samplesFolder = FormatLocalized(msg::Examples, ProductTitle(true));

    // Destroyed in reverse: the payload closed, then the temporary files removed.
    const TempFilesScope tempFiles(app.tempFolder);
    m_progress.SetPos(0);
    m_progress.ShowWindow(SW_SHOW);
    const std::unique_ptr<std::istream> payload =
        payloadSource ? payloadSource()
                      : std::unique_ptr<std::istream>(new cv::imemstream(cv::open_resource_stream(RT_PAYLOAD, IDR_PAYLOAD)));
    CExtractionHandlers handlers(*this, *payload);
    if (!cv::extract_payload(*payload, app.installFolder, samplesFolder, app.tempFolder,
                             [&handlers](const cv::notification& event) { return handlers(event); })) {
        log.Rollback();
        return false;
    }

    MakeReadOnly(m_programPath);
    MakeReadOnly(m_uninstallerPath);
    if (app.createMenuShortcut || app.createDesktopShortcut) ShortcutStep();
    DirectXRuntimeStep();

    const std::wstring registryText = LoadLocalizedString(msg::RegistryWriting);
    SetDlgItemText(IDC_STATUS, registryText);
    AppendLog(registryText, false);
    const bool registryWritten = WriteUninstallKey();
    if (!WriteProductPath(m_programPath)) {
        log.Rollback();
        AppendLog(LoadLocalizedString(msg::StepFailed) + LineEnd, false);
        SetDlgItemText(IDC_STATUS, FormatLocalized(msg::Failed, L"-1"));
        return false;
    }
    log.AddClassesRoot();
    const bool registered = LaunchProductRegistration();
    AppendLog(LoadLocalizedString(registryWritten && registered ? msg::StepOk : msg::StepFailed) + LineEnd, false);

    const std::wstring dataText = LoadLocalizedString(msg::InstallationDataWriting);
    SetDlgItemText(IDC_STATUS, dataText);
    AppendLog(dataText, false);
    wchar_t logPath[MAX_PATH] = {};
    bool committed = false;
    if (m_uninstallerPath.size() < MAX_PATH) {
        m_uninstallerPath.copy(logPath, m_uninstallerPath.size());
        if (::PathRemoveFileSpecW(logPath) && ::PathAppendW(logPath, L"Uninstall.ulog")) {
            committed = log.Commit(logPath, app.installFolder, app.startMenuFolder);
        }
    }
    AppendLog(LoadLocalizedString(committed ? msg::StepOk : msg::StepFailed) + LineEnd, false);

    SetDlgItemText(IDC_STATUS, FormatLocalized(msg::ClickToContinue, LoadLocalizedString(msg::Next)));
    return true;
}
