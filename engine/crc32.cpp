// CRC-32 over a table built on first use.
#include "engine/crc32.h"

#include <array>

namespace cv {

namespace {

const std::array<std::uint32_t, 256>& crc_table() {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

}  // namespace

void crc32::update(const void* data, std::size_t size) noexcept {
    const auto& table = crc_table();
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::uint32_t c = state_;
    for (std::size_t i = 0; i < size; ++i) c = table[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
    state_ = c;
}

}  // namespace cv
