// Raising Windows error codes as std::system_error in the system category.
#include "support/system_error.h"

namespace cv {

void throw_win32(unsigned long code) {
    throw std::system_error(static_cast<int>(code), std::system_category());
}

}  // namespace cv
