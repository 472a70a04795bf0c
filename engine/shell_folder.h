// A shell folder's path by its CSIDL value, with an optional second choice.
#pragma once

#include <string>

namespace cv {

// The folder of csidl, else (when use_fallback) of fallback; code 7 of compress_category()
// when neither gives a path.
std::wstring shell_folder(int csidl, int fallback, bool use_fallback);

}  // namespace cv
