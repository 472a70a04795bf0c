// The installer's application object and the install context, the shared record of one run.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "app/instance_checks.h"
#include "app/language.h"
#include "framework/win_app.h"
#include "records/uninstall_log.h"

enum PreviousInstall : std::int32_t {
    NoneInstalled = 0,
    SameVersion = 1,   // this product version, or a program without version data
    OlderVersion = 2,  // the run is an update
    NewerVersion = -1, // the wizard refuses to install
};

// Set by the static phase when the processor has what the product needs.
extern bool processorSupported;

class CInstallApp : public CWinApp {
public:
    CInstallApp();
    ~CInstallApp() override;

    // The whole initialization phase; always false, so the framework runs no loop of its own.
    BOOL InitInstance() override;

    // previousState; versionText receives installedVersionText for an older or newer program.
    PreviousInstall GetPreviousState(std::wstring* versionText = nullptr) const;

    // Classifies the program recorded by an earlier installation (empty: none) and loads its
    // log; fills previousState, installedVersionText, installedVersion and, from the log,
    // installFolder and startMenuFolder.
    void DetectEarlierInstallation(const std::wstring& programPath);
    // Fills installFolder and startMenuFolder where they are still empty.
    void SetDefaultFolders();
    // Names the application by the installer title with the product, in the current language.
    void UpdateAppName() { SetAppName(InstallerTitle(true)); }

    PreviousInstall previousState = NoneInstalled;
    std::wstring installedVersionText;
    NamedMutex installerMutex;
    std::wstring installFolder;
    std::wstring startMenuFolder;
    std::wstring tempFolder;
    std::uint8_t createMenuShortcut = 0;
    std::uint8_t createDesktopShortcut = 0;
    std::uint8_t advancedInstall = 0;
    CUninstallLog uninstallLog;
    std::uint8_t installDone = 0;
    std::uint64_t installedVersion = 0;

private:
    bool RunStartupChecks();
};

// The process's application object.
CInstallApp& InstallApp();
