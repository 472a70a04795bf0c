// Registry access that tells a missing key or value (an answer) from a failure (an exception).
#pragma once

#include <string>

#include "support/handles.h"

namespace cv {

// Owns one open key; null when no key is open.
using reg_key = unique_hkey;

// Opens or creates subKey (and missing parents) with MAXIMUM_ALLOWED; any error throws
// std::system_error carrying the Windows code.
reg_key reg_create_key(HKEY parent, const wchar_t* subKey);

// Opens subKey with MAXIMUM_ALLOWED; a missing key gives a null holder, other errors throw.
reg_key reg_open_key(HKEY parent, const wchar_t* subKey);

// Reads a REG_SZ or REG_EXPAND_SZ value stored with its terminating NUL, unexpanded.
// False for a missing or malformed value (out unchanged); other errors throw.
bool reg_read_string(HKEY key, const wchar_t* valueName, std::wstring& out);

}  // namespace cv
