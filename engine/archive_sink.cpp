// The sink's phases: header, table of contents, bodies; each entry written and verified.
#include "engine/archive_sink.h"

#include <boost/filesystem/operations.hpp>

#include <algorithm>
#include <limits>

#include "engine/compress_error.h"
#include "support/paths.h"
#include "support/security.h"

namespace cv {

namespace fs = boost::filesystem;

namespace {

constexpr DWORD SharedFolderAccess = 0x1F01FF;  // FILE_ALL_ACCESS
constexpr BYTE SharedFolderInheritance = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;

}  // namespace

archive_sink::archive_sink(std::wstring install_path, std::wstring sample_path,
                           std::wstring temporary_path, extract_callback callback)
    : install_path_(std::move(install_path)),
      sample_path_(std::move(sample_path)),
      temporary_path_(std::move(temporary_path)),
      callback_(std::move(callback)) {}

template <typename Step>
auto archive_sink::latched(Step step) -> decltype(step()) {
    try {
        return step();
    } catch (...) {
        failed_ = true;
        throw;
    }
}

std::size_t archive_sink::write(const char* data, std::size_t size) {
    if (failed_) return size;
    return latched([&] { return current_ == 0 ? write_table(data, size) : write_body(data, size); });
}

void archive_sink::finish() {
    if (failed_) return;
    latched([&] {
        while (current_ >= 1 && current_ <= entries_.size() && !in_entry_ && entries_[current_ - 1].size == 0)
            write_body(nullptr, 0);
    });
}

bool archive_sink::complete() const noexcept {
    return !failed_ && current_ == entries_.size() + 1 && total_ != 0 && processed_ == total_;
}

std::wstring archive_sink::handled_path() const {
    return in_entry_ ? entries_[current_ - 1].destination : std::wstring();
}

notification::result archive_sink::ask(notification message) {
    const auto answer = callback_(message);
    if (answer == notification::result::abort) throw_compress(compress_errc::interrupted);
    return answer;
}

std::size_t archive_sink::write_table(const char* data, std::size_t size) {
    const std::uint64_t wanted = table_.size() < archive_header_size ? archive_header_size : toc_end_;
    const auto take = static_cast<std::size_t>(std::min<std::uint64_t>(size, wanted - table_.size()));
    table_.append(data, take);
    if (table_.size() == archive_header_size && toc_end_ == 0) toc_end_ = read_toc_end(table_);
    if (toc_end_ != 0 && table_.size() == toc_end_) complete_table();
    return take;
}

void archive_sink::complete_table() {
    entries_ = parse_table(table_);
    std::string().swap(table_);
    std::uint64_t total = toc_end_;
    for (auto& entry : entries_) {
        const fs::path folder(resolve_destination(entry.destination));
        entry.destination = (folder / source_file_name(entry.source)).wstring();
        if (entry.size > std::numeric_limits<std::uint64_t>::max() - total) throw_compress(compress_errc::unexpected);
        total += entry.size;
    }
    processed_ = toc_end_;
    total_ = total;
    ask({notification::progress{processed_, total_}});
    current_ = 1;
}

std::size_t archive_sink::write_body(const char* data, std::size_t size) {
    if (current_ > entries_.size()) throw_compress(compress_errc::unexpected);
    const archive_entry& entry = entries_[current_ - 1];
    if (!in_entry_) {
        const auto answer = ask({notification::entry_begin{entry}});
        remaining_ = entry.size;
        in_entry_ = true;
        skipping_ = answer == notification::result::skip;
        if (!skipping_) output_.emplace(open_entry(entry.destination));
    }
    const auto take = static_cast<std::size_t>(std::min<std::uint64_t>(size, remaining_));
    if (!skipping_) output_->write(data, take);
    remaining_ -= take;
    processed_ += take;
    ask({notification::progress{processed_, total_}});
    if (remaining_ == 0) {
        if (!skipping_) {
            output_.reset();
            verify_file(entry.destination, entry.crc);
            ask({notification::entry_end{entry}});
        }
        in_entry_ = false;
        skipping_ = false;
        ++current_;
    }
    return take;
}

entry_file archive_sink::open_entry(const std::wstring& path) {
    const fs::path parent = fs::path(path).parent_path();
    if (path_exists(path)) {
        clear_read_only(path);
    } else if (!parent.empty() && !fs::exists(parent)) {
        fs::create_directories(parent);
    }
    grant_shared_folders(parent.wstring());
    return entry_file(path);
}

void archive_sink::grant_shared_folders(const std::wstring& parent) {
    for (auto& folder : shared_folders_) {
        if (folder.handled) continue;
        boost::system::error_code ignored;
        for (fs::path walked(parent); !walked.empty() && fs::is_directory(walked, ignored);
             walked = walked.parent_path()) {
            if (!same_path(walked.wstring(), folder.path)) continue;
            // A failure is thrown as its HRESULT and fails the extraction like any other.
            grant_users_access(folder.path.c_str(), SharedFolderAccess, SharedFolderInheritance);
            folder.handled = true;
            break;
        }
    }
}

}  // namespace cv
