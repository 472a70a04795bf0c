// Hooks through which the application lends the support library its caption, icon, owner
// window and modeless switching; a missing hook falls back to the library's own rule.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace cv {

struct owner_pair {
    HWND owner = nullptr;
    HWND reenable = nullptr;  // top-level window disabled for the box, enabled afterwards
};

struct ui_hooks {
    std::function<void(std::wstring&)> caption;
    std::function<HICON()> icon;
    std::function<owner_pair()> owner;
    std::function<void(bool)> modal;  // false before a modal box, true after it

    static ui_hooks& get();
};

}  // namespace cv
