// The framework's message box: the application's name as caption, owned by its safe owner.
#pragma once

#include <windows.h>

#include <string>

int AfxMessageBox(const std::wstring& text, UINT type = MB_OK);
