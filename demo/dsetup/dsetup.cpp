// Stand-in for DSetup.dll: reports the DirectX 9.0c runtime and "installs" its four cabinets
// through the second library, reporting progress to the caller's callback.
#include "demo/dsetup/dsetup.h"

#include <iterator>
#include <string>

#include "support/handles.h"

namespace {

constexpr DWORD RuntimeVersion = 0x40009;
constexpr DWORD RuntimeRevision = 0x388;
constexpr INT SetupSuccess = 0;
constexpr INT SetupSourceFileError = -9;

DSETUP_CALLBACK callback = nullptr;

constexpr const wchar_t* Cabinets[] = {
    L"Jun2010_d3dx9_43_x86.cab",
    L"Jun2010_d3dx9_43_x64.cab",
    L"Jun2010_D3DCompiler_43_x86.cab",
    L"Jun2010_D3DCompiler_43_x64.cab",
};

void report(DWORD done) {
    DSETUP_CB_PROGRESS progress{1, std::size(Cabinets), done, std::size(Cabinets), done};
    if (callback)
        callback(DSETUP_CB_MSG_PROGRESS, 0, const_cast<LPSTR>(""), const_cast<LPSTR>("DirectX"), &progress);
}

}  // namespace

extern "C" __declspec(dllexport) INT WINAPI DirectXSetupGetVersion(DWORD* version, DWORD* revision) {
    if (version) *version = RuntimeVersion;
    if (revision) *revision = RuntimeRevision;
    return 1;
}

extern "C" __declspec(dllexport) INT WINAPI DirectXSetupSetCallback(DSETUP_CALLBACK procedure) {
    callback = procedure;
    return 0;
}

extern "C" __declspec(dllexport) INT WINAPI DirectXSetupW(HWND, LPWSTR sourcePath, DWORD) {
    const std::wstring folder = sourcePath ? sourcePath : L"";
    const std::wstring helper = folder + L"\\dsetup32.dll";
    cv::unique_module library(::LoadLibraryExW(helper.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!library) return SetupSourceFileError;
    auto install = reinterpret_cast<decltype(&DSetupInstallCabinet)>(
        reinterpret_cast<void*>(::GetProcAddress(library.get(), "DSetupInstallCabinet")));
    if (!install) return SetupSourceFileError;
    DWORD done = 0;
    report(done);
    for (const wchar_t* cabinet : Cabinets) {
        if (!install(folder.c_str(), cabinet)) return SetupSourceFileError;
        report(++done);
    }
    return SetupSuccess;
}
