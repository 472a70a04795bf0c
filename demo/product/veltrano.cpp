// The demo product: a small stand-in for the program that the setup installs and registers.
#include <windows.h>

#include <string>

#include "demo/product/file_type.h"
#include "demo/product/running_instance.h"

namespace {

// The setup program takes this exit code as "registered".
constexpr int RegisteredExitCode = -10;

std::wstring own_path() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) return path.substr(0, length);
        path.resize(path.size() * 2);
    }
}

bool has_switch(const std::wstring& commandLine, const wchar_t* name) {
    return commandLine.find(name) != std::wstring::npos;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    RunningInstance instance;
    const std::wstring commandLine = ::GetCommandLineW();
    // An update (/update=<earlier version>) registers the same way as a first installation.
    if (has_switch(commandLine, L"/Register")) return RegisterProjectFileType(own_path(), commandLine) ? RegisteredExitCode : 1;
    ::MessageBoxW(nullptr, L"Veltrano 7.04d\n\nThis is the demonstration product that the setup program installs.",
                  L"Veltrano", MB_OK | MB_ICONINFORMATION);
    return 0;
}
