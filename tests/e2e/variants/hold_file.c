/* Holds the file named on its command line open without sharing until it is ended; sets the
   event "e2e_hold_file_ready" once the file is held. */
#include <windows.h>
#include <shellapi.h>

int main(void) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments || count != 2) return 2;
    /* The exit code says why the file could not be held: 100 and the system error code. */
    if (CreateFileW(arguments[1], GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL) == INVALID_HANDLE_VALUE)
        return 100 + (int)GetLastError();
    HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"e2e_hold_file_ready");
    if (ready) SetEvent(ready);
    Sleep(INFINITE);
    return 0;
}
