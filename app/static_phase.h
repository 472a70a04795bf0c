// The steps of start-up that run before the application object and the window framework.
#pragma once

#include <optional>

#include "framework/win_app.h"

// Whether the processor reports SSE2; without it the trilingual refusal is shown.
bool CheckProcessor();
// Error mode and the process's text locale; throws when the locale cannot be set up.
void SetUpProcessEnvironment();
// Maker's folders, common controls 6, applicationId, the running-instance counter; throws
// on any failure.
void InitializeApplication();
// "Initialization Error" without owner or caption, then the end of the process with -11.
[[noreturn]] void InitializationError();

// The whole run in its order: the processor check, the environment, the application's
// initialization, the application object built into app, then the framework. Exit code 1
// without SSE2; an initialization failure ends the process with -11.
template <typename App>
int RunApplication(std::optional<App>& app) {
    if (!CheckProcessor()) return 1;
    try {
        SetUpProcessEnvironment();
        InitializeApplication();
        app.emplace();
    } catch (...) {
        InitializationError();
    }
    return AfxWinMain();
}
