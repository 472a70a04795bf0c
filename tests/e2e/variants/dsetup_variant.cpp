// A DirectX setup library that reports the revision and the setup result it was built with.
#include <windows.h>

#include "demo/dsetup/dsetup.h"

extern "C" __declspec(dllexport) INT WINAPI DirectXSetupGetVersion(DWORD* version, DWORD* revision) {
    if (version) *version = 0x40009;
    if (revision) *revision = CV_RUNTIME_REVISION;
    return 1;
}

extern "C" __declspec(dllexport) INT WINAPI DirectXSetupSetCallback(DSETUP_CALLBACK) { return 0; }

extern "C" __declspec(dllexport) INT WINAPI DirectXSetupW(HWND, LPWSTR, DWORD) { return CV_SETUP_RESULT; }
