// Parsing of the archive header and table of contents; every inconsistency is code 7.
#include "engine/archive_format.h"

#include "engine/compress_error.h"

namespace cv {

namespace {

class table_reader {
public:
    explicit table_reader(std::string_view bytes) : bytes_(bytes) {}

    std::uint64_t integer(std::size_t width) {
        need(width);
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < width; ++i)
            value |= std::uint64_t(static_cast<unsigned char>(bytes_[offset_ + i])) << (8 * i);
        offset_ += width;
        return value;
    }

    std::wstring text() {
        const std::uint64_t length = integer(4);
        if (length > remaining() / 2) throw_compress(compress_errc::unexpected);
        std::wstring value(static_cast<std::size_t>(length), L'\0');
        for (auto& unit : value) unit = static_cast<wchar_t>(integer(2));
        return value;
    }

    std::size_t remaining() const noexcept { return bytes_.size() - offset_; }

private:
    void need(std::size_t width) const {
        if (width > remaining()) throw_compress(compress_errc::unexpected);
    }

    std::string_view bytes_;
    std::size_t offset_ = 0;
};

}  // namespace

std::uint64_t read_toc_end(std::string_view header) {
    const std::uint64_t tocEnd = table_reader(header.substr(0, archive_header_size)).integer(8);
    if (tocEnd < archive_table_prefix || tocEnd >> 32) throw_compress(compress_errc::unexpected);
    return tocEnd;
}

std::vector<archive_entry> parse_table(std::string_view table) {
    if (table.size() < archive_table_prefix || read_toc_end(table) != table.size())
        throw_compress(compress_errc::unexpected);
    table_reader reader(table.substr(archive_header_size));
    const std::uint64_t count = reader.integer(4);
    // A count that cannot fit keeps a damaged table from reserving without bound.
    if (count > reader.remaining() / archive_record_fixed) throw_compress(compress_errc::unexpected);
    std::vector<archive_entry> entries;
    entries.reserve(static_cast<std::size_t>(count));
    for (std::uint64_t i = 0; i < count; ++i) {
        archive_entry entry;
        entry.source = reader.text();
        entry.destination = reader.text();
        entry.kind = static_cast<std::uint32_t>(reader.integer(4));
        entry.size = reader.integer(8);
        entry.crc = static_cast<std::uint32_t>(reader.integer(4));
        entries.push_back(std::move(entry));
    }
    if (reader.remaining() != 0) throw_compress(compress_errc::unexpected);
    return entries;
}

std::wstring source_file_name(const std::wstring& source) {
    const auto separator = source.find_last_of(L"\\/");
    std::wstring name = separator == std::wstring::npos ? source : source.substr(separator + 1);
    if (name.empty() || name == L"." || name == L".." || name.find(L':') != std::wstring::npos)
        throw_compress(compress_errc::unexpected);
    return name;
}

}  // namespace cv
