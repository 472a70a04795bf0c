// Saves the client area of a window as a PNG file, for looking at a dialog's layout.
#pragma once

#include <windows.h>

#include <string>

namespace test {

// Saves the window's client area, children included, once it has painted; false on failure.
bool SaveWindowPng(HWND window, const std::wstring& path);

}  // namespace test
