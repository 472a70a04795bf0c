// The product's own file type, registered under HKEY_CLASSES_ROOT by the registration run.
#pragma once

#include <string>

// Associates ".vtp" projects with the program at programPath and keeps the command line of
// the registration run beside them (value "RegistrationCommand" of the file type's key);
// false when a key cannot be written.
bool RegisterProjectFileType(const std::wstring& programPath, const std::wstring& commandLine);
