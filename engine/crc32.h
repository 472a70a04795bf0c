// CRC-32 of zlib and PNG (ISO-HDLC): reflected polynomial 0xEDB88320, complemented result.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cv {

class crc32 {
public:
    void update(const void* data, std::size_t size) noexcept;
    std::uint32_t value() const noexcept { return ~state_; }

private:
    std::uint32_t state_ = 0xFFFFFFFFu;
};

}  // namespace cv
