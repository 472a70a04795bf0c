// The file of one payload entry: written while its body streams, then read back for its CRC-32.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "support/handles.h"

namespace cv {

// Created or truncated; while it is open others may read it but not write it. Failures throw
// std::system_error with the Windows code.
class entry_file {
public:
    explicit entry_file(const std::wstring& path);
    void write(const char* data, std::size_t size);

private:
    unique_file file_;
};

// Reads path back in blocks of 4096 bytes and compares its CRC-32 with crc (code 3 when they
// differ). A sharing violation is tried again a second later, three times at most.
void verify_file(const std::wstring& path, std::uint32_t crc);

}  // namespace cv
