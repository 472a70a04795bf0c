// Path services: identity and existence of files and folders, attributes, system libraries.
#pragma once

#include <string>

namespace cv {

// Whether the file or folder exists; a failing test (access denied, bad syntax) answers false.
bool path_exists(const std::wstring& path) noexcept;

}  // namespace cv
