// The installed product's own registration run, started once at the end of an installation.
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <vector>

#include "app/install_app.h"
#include "engine/registration_command.h"
#include "framework/wait_cursor.h"
#include "support/handles.h"
#include "wizard/dlg_install.h"

namespace {
// What the product answers when it registered itself.
constexpr DWORD RegisteredExitCode = static_cast<DWORD>(-10);
}

bool CDlgInstall::LaunchProductRegistration() {
    CInstallApp& app = InstallApp();
    std::wstring commandLine = RegistrationCommandLine(m_programPath, app.installedVersion);
    wchar_t folder[MAX_PATH] = {};
    if (m_programPath.size() < MAX_PATH) {
        m_programPath.copy(folder, m_programPath.size());
        ::PathRemoveFileSpecW(folder);
    }

    // A second installer may start while the product runs; it must see the product, not us.
    app.installerMutex.Unlock();

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNOACTIVATE;
    PROCESS_INFORMATION process = {};
    std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
    writable.push_back(L'\0');
    if (!::CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, HIGH_PRIORITY_CLASS, nullptr,
                          folder[0] ? folder : nullptr, &startup, &process)) {
        app.uninstallLog.CompleteLast(false);
        app.installerMutex.TryLock();
        return false;
    }
    const cv::unique_handle processHandle(process.hProcess);
    const cv::unique_handle threadHandle(process.hThread);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    if (!::GetExitCodeProcess(process.hProcess, &exitCode)) exitCode = 0;
    app.installerMutex.TryLock();

    const bool success = exitCode == RegisteredExitCode;
    app.uninstallLog.CompleteLast(success);
    if (success) {
        const CWaitCursor wait;
        ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSH, nullptr, nullptr);
    }
    return success;
}
