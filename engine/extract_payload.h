// The payload reader: the archive decompressed as a stream, each file written and verified.
#pragma once

#include <istream>
#include <string>

#include "engine/notification.h"

namespace cv {

// Extracts the archive in source into the folders its destinations name; callback hears every
// event. true when every entry was completed; false after an error notification. No failure
// leaves the function.
bool extract_payload(std::istream& source, const std::wstring& install_path, const std::wstring& sample_path,
                     const std::wstring& temporary_path, const extract_callback& callback);

}  // namespace cv
