// Stand-in for the DirectX setup's second library: checks that a cabinet is complete. It
// installs nothing, so the machine stays as it was.
#include "demo/dsetup/dsetup.h"

#include <string>

#include "support/handles.h"

extern "C" __declspec(dllexport) BOOL WINAPI DSetupInstallCabinet(const wchar_t* folder, const wchar_t* cabinet) {
    const std::wstring path = std::wstring(folder) + L"\\" + cabinet;
    cv::unique_file file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return FALSE;
    char block[4096];
    DWORD read = 0;
    while (::ReadFile(file.get(), block, sizeof block, &read, nullptr) && read != 0) {
    }
    return TRUE;
}
