// Small archives built in memory for the reader's tests, bzip2-compressed like the packer's.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "engine/notification.h"

namespace test {

struct TestEntry {
    std::wstring source;
    std::wstring destination;
    std::string body;
    std::uint32_t kind = 0;
    std::optional<std::uint32_t> crc;   // the body's CRC-32 unless given
    std::optional<std::uint64_t> size;  // the body's length unless given
};

// The uncompressed archive: header, table and bodies.
std::string ArchiveBytes(const std::vector<TestEntry>& entries);
// Only the header and table.
std::string TableBytes(const std::vector<TestEntry>& entries);
std::string Bzip2(const std::string& bytes);

// One notification as the tests compare them.
struct Event {
    int index;  // the notification's alternative
    std::wstring path;
    std::uint64_t first = 0;
    std::uint64_t second = 0;
    std::error_code code;

    bool operator==(const Event&) const = default;
};

Event ToEvent(const cv::notification& message);

// A callback that records every notification and answers through answer.
class Recorder {
public:
    using Answer = std::function<cv::notification::result(const Event&)>;
    explicit Recorder(Answer answer = {}) : answer_(std::move(answer)) {}

    cv::extract_callback Callback();
    const std::vector<Event>& events() const { return events_; }
    std::vector<int> Indexes() const;
    // The error notification's event; fails the test when there is none.
    const Event& Error() const;

private:
    Answer answer_;
    std::vector<Event> events_;
};

enum Index { Started = 0, Finished = 1, EntryBegin = 2, EntryEnd = 3, Progress = 4, Error = 5 };

std::string ReadFile(const std::wstring& path);
bool Exists(const std::wstring& path);

// The code of the std::system_error that action raises; no code when it raises none.
inline std::error_code CodeOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::system_error& error) {
        return error.code();
    }
    return {};
}

}  // namespace test
