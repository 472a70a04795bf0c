// A resource of this program as a read-only stream over its loaded bytes.
#pragma once

#include "support/imemstream.h"

namespace cv {

// Looks in the current language's resource module first, then in the executable; an empty,
// failed stream when neither holds the resource.
imemstream open_resource_stream(unsigned type, unsigned name);

}  // namespace cv
