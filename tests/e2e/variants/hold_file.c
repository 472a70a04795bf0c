/* Holds the file named on its command line open without sharing until it is ended. */
#include <windows.h>
#include <shellapi.h>

int main(void) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments || count != 2) return 2;
    if (CreateFileW(arguments[1], GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL) == INVALID_HANDLE_VALUE)
        return 1;
    Sleep(INFINITE);
    return 0;
}
