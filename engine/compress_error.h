// The payload reader's own error codes and their category, "compress".
#pragma once

#include <system_error>

namespace cv {

enum class compress_errc {
    invalid_checksum = 3,
    unknown = 4,
    interrupted = 5,
    bzip2 = 6,
    unexpected = 7,
};

const std::error_category& compress_category() noexcept;

inline std::error_code make_error_code(compress_errc code) noexcept {
    return {static_cast<int>(code), compress_category()};
}

// Raised as std::system_error carrying the code in compress_category().
[[noreturn]] void throw_compress(compress_errc code);

}  // namespace cv

template <>
struct std::is_error_code_enum<cv::compress_errc> : std::true_type {};
