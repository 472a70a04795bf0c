// The DirectX runtime's own setup library, loaded from the installation's temporary folder.
#include "engine/directx_setup.h"

#include <shlwapi.h>

#include "engine/pump_messages.h"
#include "support/paths.h"

namespace {

using GetVersionFunction = INT(WINAPI*)(DWORD* version, DWORD* revision);
using Callback = DWORD(WINAPI*)(DWORD reason, DWORD messageType, char* message, char* name, void* info);
using SetCallbackFunction = INT(WINAPI*)(Callback callback);
using SetupFunction = INT(WINAPI*)(HWND owner, LPWSTR rootPath, DWORD flags);

constexpr DWORD ProgressReason = 18;

template <typename Function>
Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// Keeps the wizard painting; every question of the setup is answered OK without a window.
DWORD WINAPI SetupCallback(DWORD reason, DWORD, char*, char*, void*) {
    if (reason == ProgressReason) PumpMessages();
    return IDOK;
}

}  // namespace

DirectXSetup::DirectXSetup(std::wstring folderPath) : folder(std::move(folderPath)) {
    wchar_t path[MAX_PATH] = {};
    if (folder.size() >= MAX_PATH) return;
    folder.copy(path, folder.size());
    if (!::PathAppendW(path, L"DSetup.dll")) return;

    cv::unique_module library(cv::load_system_library(path));
    if (!library) return;
    const auto getVersion = Export<GetVersionFunction>(library.get(), "DirectXSetupGetVersion");
    DWORD version = 0;
    DWORD revision = 0;
    if (getVersion && getVersion(&version, &revision) && version >= MinimumVersion &&
        revision >= MinimumRevision) {
        module = std::move(library);
    }
}

bool DirectXSetup::Run(HWND ownerWindow) {
    if (!module) return false;
    const auto setCallback = Export<SetCallbackFunction>(module.get(), "DirectXSetupSetCallback");
    const auto setup = Export<SetupFunction>(module.get(), "DirectXSetupW");
    if (!setCallback || !setup) return false;
    setCallback(&SetupCallback);
    std::wstring root = folder;
    const INT result = setup(ownerWindow, root.data(), SetupFlags);
    return result == 0 || result == 1;
}
