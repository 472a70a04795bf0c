// Entry point of the installer: the static phase in its order, then the framework.
#include <windows.h>

#include <optional>

#include "app/install_app.h"
#include "app/static_phase.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    std::optional<CInstallApp> app;
    return RunApplication(app);
}
