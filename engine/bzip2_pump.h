// The decompression pump: a bzip2 payload read and decompressed in blocks of 4096 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <istream>

namespace cv {

inline constexpr std::size_t pump_block_size = 4096;

// Takes up to size bytes and answers how many it consumed; what it leaves is offered again.
using byte_consumer = std::function<std::size_t(const char* data, std::size_t size)>;

// Reads source to its end, hands every decompressed block to consume and returns the number
// of compressed bytes read. Damaged, truncated or empty data raises code 6 of
// compress_category(); a stream that is not good at the start, or fails while it is read,
// raises std::ios_base::failure. Streams written back to back are one payload.
std::uint64_t pump_bzip2(std::istream& source, const byte_consumer& consume);

}  // namespace cv
