// The payload archive's layout: header, table of contents and entry records.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cv {

enum entry_kind : std::uint32_t {
    language_library = 0,
    program = 1,
    uninstaller = 2,
    user_data = 3,
    sample = 4,
    temporary = 5,
};

struct archive_entry {
    std::wstring source;
    std::wstring destination;  // the full target path once the table is resolved
    std::uint32_t kind = 0;
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
};

inline constexpr std::size_t archive_header_size = 8;   // toc_end
inline constexpr std::size_t archive_table_prefix = 12; // toc_end, entry_count
inline constexpr std::size_t archive_record_fixed = 24;  // the fixed fields of one record

// toc_end from the first 8 archive bytes; code 7 when it cannot start a table (below 12,
// or 2^32 and more).
std::uint64_t read_toc_end(std::string_view header);

// The records of a complete table (all toc_end bytes, header included). Code 7 when the
// count and the lengths do not fill the table exactly.
std::vector<archive_entry> parse_table(std::string_view table);

// The last element of a source path, '\' and '/' both separating; code 7 when it is empty,
// "." or "..", or names a stream or drive, so that no entry can land outside its folder.
std::wstring source_file_name(const std::wstring& source);

}  // namespace cv
