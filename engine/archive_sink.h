// The state of one extraction: the sink that the decompressed archive is written into.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/archive_format.h"
#include "engine/entry_file.h"
#include "engine/notification.h"

namespace cv {

struct shared_folder {
    std::wstring path;
    bool handled = false;  // the users' rights were granted
};

class archive_sink {
public:
    archive_sink(std::wstring install_path, std::wstring sample_path, std::wstring temporary_path,
                 extract_callback callback);

    // Takes up to size archive bytes and answers how many it consumed. After a failure it
    // swallows everything.
    std::size_t write(const char* data, std::size_t size);
    // After the last byte: handles the entries of size 0 that end the archive.
    void finish();
    // Every entry completed and the archive ended exactly after the last body.
    bool complete() const noexcept;

    std::uint64_t total() const noexcept { return total_; }
    // The destination of the entry whose body is being handled; empty between entries.
    std::wstring handled_path() const;

    // The folder a destination names, its token replaced; registers shared folders.
    std::wstring resolve_destination(const std::wstring& destination);
    void register_shared_folder(const std::wstring& path);
    const std::vector<shared_folder>& shared_folders() const noexcept { return shared_folders_; }

private:
    // Runs step; a failure sets failed_ on its way out.
    template <typename Step>
    auto latched(Step step) -> decltype(step());
    std::size_t write_table(const char* data, std::size_t size);
    void complete_table();
    std::size_t write_body(const char* data, std::size_t size);
    std::wstring sample_base();
    entry_file open_entry(const std::wstring& path);
    void grant_shared_folders(const std::wstring& parent);
    notification::result ask(notification message);

    std::wstring install_path_;
    std::wstring sample_path_;
    std::wstring temporary_path_;
    extract_callback callback_;
    std::vector<archive_entry> entries_;
    std::uint64_t toc_end_ = 0;
    std::uint64_t processed_ = 0;
    std::uint64_t total_ = 0;
    std::uint32_t current_ = 0;
    std::uint64_t remaining_ = 0;
    bool in_entry_ = false;
    bool skipping_ = false;
    bool failed_ = false;
    std::string table_;                 // header and table of contents while they arrive
    std::optional<entry_file> output_;  // the current entry's file
    std::vector<shared_folder> shared_folders_;
};

}  // namespace cv
