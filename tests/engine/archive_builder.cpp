// The tests' archive writer and notification recorder.
#include "tests/engine/archive_builder.h"

#include <windows.h>

#include <bzlib.h>
#include <gtest/gtest.h>

#include <boost/filesystem.hpp>
#include <boost/filesystem/fstream.hpp>

#include <iterator>

#include "engine/crc32.h"

namespace test {

namespace {

void put(std::string& out, std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void put_text(std::string& out, const std::wstring& text) {
    put(out, text.size(), 4);
    for (wchar_t unit : text) put(out, static_cast<std::uint16_t>(unit), 2);
}

}  // namespace

std::string TableBytes(const std::vector<TestEntry>& entries) {
    std::string records;
    for (const auto& entry : entries) {
        put_text(records, entry.source);
        put_text(records, entry.destination);
        put(records, entry.kind, 4);
        put(records, entry.size.value_or(entry.body.size()), 8);
        cv::crc32 crc;
        crc.update(entry.body.data(), entry.body.size());
        put(records, entry.crc.value_or(crc.value()), 4);
    }
    std::string table;
    put(table, 12 + records.size(), 8);
    put(table, entries.size(), 4);
    return table + records;
}

std::string ArchiveBytes(const std::vector<TestEntry>& entries) {
    std::string archive = TableBytes(entries);
    for (const auto& entry : entries) archive += entry.body;
    return archive;
}

std::string Bzip2(const std::string& bytes) {
    std::string out(bytes.size() + bytes.size() / 100 + 600, '\0');
    auto length = static_cast<unsigned>(out.size());
    const int result = BZ2_bzBuffToBuffCompress(out.data(), &length, const_cast<char*>(bytes.data()),
                                                static_cast<unsigned>(bytes.size()), 9, 0, 0);
    EXPECT_EQ(result, BZ_OK);
    out.resize(length);
    return out;
}

Event ToEvent(const cv::notification& message) {
    Event event{static_cast<int>(message.value.index()), {}};
    std::visit(
        [&](const auto& value) {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, cv::notification::finished>) {
                event.first = value.read;
                event.second = value.total;
            } else if constexpr (std::is_same_v<T, cv::notification::progress>) {
                event.first = value.processed;
                event.second = value.total;
            } else if constexpr (std::is_same_v<T, cv::notification::entry_begin> ||
                                 std::is_same_v<T, cv::notification::entry_end>) {
                event.path = value.entry.destination;
            } else if constexpr (std::is_same_v<T, cv::notification::error>) {
                event.code = value.code;
                event.path = value.path;
            }
        },
        message.value);
    return event;
}

cv::extract_callback Recorder::Callback() {
    return [this](const cv::notification& message) {
        events_.push_back(ToEvent(message));
        return answer_ ? answer_(events_.back()) : cv::notification::result::proceed;
    };
}

std::vector<int> Recorder::Indexes() const {
    std::vector<int> indexes;
    for (const auto& event : events_) indexes.push_back(event.index);
    return indexes;
}

const Event& Recorder::Error() const {
    static const Event none{-1, L"(no error notification)"};
    for (const auto& event : events_)
        if (event.index == test::Error) return event;
    ADD_FAILURE() << "no error notification";
    return none;
}

std::string ReadFile(const std::wstring& path) {
    boost::filesystem::ifstream in(boost::filesystem::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace test
