// Raising Windows error codes as std::system_error in the system category.
#pragma once

#include <system_error>

namespace cv {

[[noreturn]] void throw_win32(unsigned long code);

}  // namespace cv
