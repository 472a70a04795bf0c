// Error codes as text, and message boxes that follow the application's caption, owner and
// reading-order rules.
#pragma once

#include <windows.h>

#include <string>

namespace cv {

// The system's text for a Win32 error or HRESULT, without trailing line breaks; never fails.
std::wstring system_message(DWORD code, DWORD languageId);
// As system_message, and application-defined codes with a string resource for their text.
std::wstring error_text(DWORD code);

// A message box with the default caption and icon; text may be a string-resource id.
int message_box(const wchar_t* text, UINT type);
// error_text(code) with MB_OK | MB_ICONEXCLAMATION.
void show_error(DWORD code);
// A plain box with the system text of code, no hooks, no caption; returns false.
bool error_box(HWND owner, DWORD code);
// The owner for modal user interface when no owner hook is set; null when there is none.
HWND owner_window();
// The caption hook's text, else this program's version display text, else its file name.
std::wstring default_caption();

}  // namespace cv
