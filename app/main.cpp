// Entry point of the installer: the static phase in its order, then the framework.
#include <windows.h>

#include <optional>

#include "app/install_app.h"
#include "app/static_phase.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    if (!CheckProcessor()) return 1;

    std::optional<CInstallApp> app;
    try {
        SetUpProcessEnvironment();
        InitializeApplication();
        app.emplace();
    } catch (...) {
        InitializationError();
    }
    return AfxWinMain();
}
