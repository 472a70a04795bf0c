// The product's own file type, registered under HKEY_CLASSES_ROOT by the registration run.
#pragma once

#include <string>

// Associates ".vtp" projects with the program at programPath; false when a key cannot be written.
bool RegisterProjectFileType(const std::wstring& programPath);
