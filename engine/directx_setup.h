// The DirectX runtime's own setup library, loaded from the installation's temporary folder.
#pragma once

#include <windows.h>

#include <string>

#include "support/handles.h"

class DirectXSetup {
public:
    // The runtime it installs must be DirectX 9.0c or later.
    static constexpr DWORD MinimumVersion = 0x40009;
    static constexpr DWORD MinimumRevision = 0x387;
    static constexpr DWORD SetupFlags = 0x10018;  // the DirectX core with its drivers

    // Loads folder\DSetup.dll and keeps it only when its version check passes.
    explicit DirectXSetup(std::wstring folder);

    bool usable() const { return static_cast<bool>(module); }
    // Runs the setup silently with ownerWindow as its owner; true on success, also when a
    // restart is needed.
    bool Run(HWND ownerWindow);

    std::wstring folder;
    cv::unique_module module;
};
