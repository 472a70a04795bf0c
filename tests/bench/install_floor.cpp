// The floor of the installer's design, for the install benchmark: the embedded payload
// decompressed twice, every file written once and read back once, and nothing else.
//
//   install_floor <folder>
//
// Each destination's placeholder becomes a subfolder of <folder> ("<InstallPath>\Lang" is
// <folder>\InstallPath\Lang). Exit code 0 when every file was written and its CRC-32 matched.
#include <windows.h>

#include <boost/filesystem/operations.hpp>

#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "engine/archive_format.h"
#include "engine/bzip2_pump.h"
#include "engine/entry_file.h"
#include "engine/resource_stream.h"
#include "resources/resource_ids.h"

namespace {

namespace fs = boost::filesystem;

fs::path Target(const fs::path& folder, const cv::archive_entry& entry) {
    std::wstring destination;
    for (wchar_t c : entry.destination)
        if (c != L'<' && c != L'>') destination += c;
    return folder / destination / cv::source_file_name(entry.source);
}

// The archive as it streams out of the decompressor: the table, then one body after another.
class FloorSink {
public:
    explicit FloorSink(fs::path folder) : folder_(std::move(folder)) {}

    std::size_t Write(const char* data, std::size_t size) {
        if (entries_.empty()) return WriteTable(data, size);
        WriteEmpty();
        if (current_ == entries_.size()) throw std::runtime_error("data after the last entry");
        const auto& entry = entries_[current_];
        if (!output_) Open(entry);
        const auto take = static_cast<std::size_t>(std::min<std::uint64_t>(size, remaining_));
        output_->write(data, take);
        remaining_ -= take;
        if (remaining_ == 0) Close(entry);
        return take;
    }

    // The empty entries that end the archive get no byte to be written by.
    void Finish() { WriteEmpty(); }

    std::size_t files() const noexcept { return files_; }
    bool complete() const noexcept { return !entries_.empty() && current_ == entries_.size(); }

private:
    std::size_t WriteTable(const char* data, std::size_t size) {
        const std::uint64_t wanted = table_.size() < cv::archive_header_size ? cv::archive_header_size : tocEnd_;
        const auto take = static_cast<std::size_t>(std::min<std::uint64_t>(size, wanted - table_.size()));
        table_.append(data, take);
        if (table_.size() == cv::archive_header_size && tocEnd_ == 0) tocEnd_ = cv::read_toc_end(table_);
        if (tocEnd_ != 0 && table_.size() == tocEnd_) entries_ = cv::parse_table(table_);
        return take;
    }

    void Open(const cv::archive_entry& entry) {
        const fs::path path = Target(folder_, entry);
        fs::create_directories(path.parent_path());
        output_.emplace(path.wstring());
        remaining_ = entry.size;
    }

    // Empty files are complete as soon as they exist.
    void WriteEmpty() {
        while (!output_ && current_ < entries_.size() && entries_[current_].size == 0) {
            Open(entries_[current_]);
            Close(entries_[current_]);
        }
    }

    void Close(const cv::archive_entry& entry) {
        output_.reset();
        cv::verify_file(Target(folder_, entry).wstring(), entry.crc);
        ++files_;
        ++current_;
    }

    fs::path folder_;
    std::string table_;
    std::uint64_t tocEnd_ = 0;
    std::vector<cv::archive_entry> entries_;
    std::size_t current_ = 0;
    std::uint64_t remaining_ = 0;
    std::optional<cv::entry_file> output_;
    std::size_t files_ = 0;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: install_floor <folder>\n");
        return 2;
    }
    try {
        cv::imemstream payload = cv::open_resource_stream(RT_PAYLOAD, IDR_PAYLOAD);
        cv::pump_bzip2(payload, [](const char*, std::size_t size) { return size; });
        payload.clear();
        payload.seekg(0);
        FloorSink sink(fs::absolute(argv[1]));
        cv::pump_bzip2(payload, [&](const char* data, std::size_t size) { return sink.Write(data, size); });
        sink.Finish();
        std::printf("install_floor: %zu files written and verified\n", sink.files());
        return sink.complete() ? 0 : 1;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "install_floor: %s\n", failure.what());
        return 1;
    }
}
