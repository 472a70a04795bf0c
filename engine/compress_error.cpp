// The "compress" error category.
#include "engine/compress_error.h"

#include <string>

namespace cv {

namespace {

class compress_category_impl final : public std::error_category {
public:
    const char* name() const noexcept override { return "compress"; }
    std::string message(int code) const override {
        switch (static_cast<compress_errc>(code)) {
        case compress_errc::invalid_checksum: return "invalid checksum";
        case compress_errc::interrupted: return "interrupted";
        case compress_errc::bzip2: return "bzip2 error";
        case compress_errc::unexpected: return "unexpected error";
        default: return "unknown error";
        }
    }
};

}  // namespace

const std::error_category& compress_category() noexcept {
    static const compress_category_impl category;
    return category;
}

void throw_compress(compress_errc code) { throw std::system_error(make_error_code(code)); }

}  // namespace cv
