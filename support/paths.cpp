// Path services: identity and existence of files and folders, attributes, system libraries.
#include "support/paths.h"

#include <boost/filesystem/operations.hpp>

namespace cv {

bool path_exists(const std::wstring& path) noexcept {
    boost::system::error_code error;
    return boost::filesystem::exists(boost::filesystem::path(path), error) && !error;
}

}  // namespace cv
