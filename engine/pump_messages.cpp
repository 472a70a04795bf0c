// Processing the thread's waiting messages between two steps of a long operation.
#include "engine/pump_messages.h"

#include <windows.h>

#include "framework/win_app.h"

void PumpMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        CWinApp* app = AfxGetApp();
        if (app && app->PreTranslateMessage(&message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}
