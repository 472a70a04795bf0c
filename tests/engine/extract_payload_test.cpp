// The payload reader on real files: notification order, edge cases of the archive, the
// per-file rules and the translation of failures, all inside a scratch folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "engine/archive_sink.h"
#include "engine/compress_error.h"
#include "engine/extract_payload.h"
#include "support/handles.h"
#include "support/imemstream.h"
#include "tests/common/scratch_folder.h"
#include "tests/engine/archive_builder.h"

namespace {

using test::Event;
using test::TestEntry;
using result = cv::notification::result;

const std::error_code Checksum = cv::make_error_code(cv::compress_errc::invalid_checksum);
const std::error_code Interrupted = cv::make_error_code(cv::compress_errc::interrupted);
const std::error_code Damaged = cv::make_error_code(cv::compress_errc::bzip2);
const std::error_code Unexpected = cv::make_error_code(cv::compress_errc::unexpected);

class Extraction : public ::testing::Test {
protected:
    bool Extract(const std::string& archive, test::Recorder& recorder) {
        compressed_ = test::Bzip2(archive);
        std::istringstream source(compressed_);
        return cv::extract_payload(source, folder_.path(), L"", L"", recorder.Callback());
    }
    bool Extract(const std::vector<TestEntry>& entries, test::Recorder& recorder) {
        return Extract(test::ArchiveBytes(entries), recorder);
    }
    std::wstring Path(const std::wstring& relative) const { return folder_ / relative; }

    test::ScratchFolder folder_;
    std::string compressed_;
};

std::string Body(std::size_t size, char seed) {
    std::string body(size, '\0');
    for (std::size_t i = 0; i < size; ++i) body[i] = static_cast<char>(seed + i * 7 + i / 251);
    return body;
}

TEST_F(Extraction, EmptyArchiveSucceedsWithOneProgress) {
    test::Recorder recorder;
    ASSERT_TRUE(Extract(std::vector<TestEntry>{}, recorder));
    const std::vector<Event> expected = {{test::Started, {}},
                                         {test::Progress, {}, 12, 12},
                                         {test::Finished, {}, compressed_.size(), 12}};
    EXPECT_EQ(recorder.events(), expected);
}

TEST_F(Extraction, AnnouncesWritesAndVerifiesEveryEntryInOrder) {
    const std::string first = Body(10000, 'a'), second = Body(3, 'q');
    const std::vector<TestEntry> entries = {{L"D:\\Build\\one.dat", L"<InstallPath>\\Lang", first},
                                            {L"two.dat", L"<InstallPath>", second, 2}};
    test::Recorder recorder;
    ASSERT_TRUE(Extract(entries, recorder));
    const std::uint64_t table = test::TableBytes(entries).size(), total = table + 10003;
    const std::wstring one = Path(L"Lang\\one.dat"), two = Path(L"two.dat");
    // The first body starts inside the first decompressed block, so where the blocks end
    // moves the progress figures; the order, the steps and the totals are fixed.
    ASSERT_EQ(recorder.Indexes().front(), test::Started);
    EXPECT_EQ(recorder.events()[1], (Event{test::Progress, {}, table, total}));
    EXPECT_EQ(recorder.events().back(), (Event{test::Finished, {}, compressed_.size(), total}));
    std::vector<Event> announcements;
    for (const auto& event : recorder.events())
        if (event.index == test::EntryBegin || event.index == test::EntryEnd) announcements.push_back(event);
    EXPECT_EQ(announcements, (std::vector<Event>{{test::EntryBegin, one}, {test::EntryEnd, one},
                                                 {test::EntryBegin, two}, {test::EntryEnd, two}}));
    std::uint64_t previous = 0;
    for (const auto& event : recorder.events()) {
        if (event.index != test::Progress) continue;
        EXPECT_GT(event.first, previous);
        EXPECT_LE(event.first - previous, 4096u);
        previous = event.first;
    }
    EXPECT_EQ(test::ReadFile(one), first);
    EXPECT_EQ(test::ReadFile(two), second);
}

// Feeds the archive to a sink in two pieces cut at `cut`, offering the rest until consumed.
std::vector<Event> FedInTwo(const std::string& archive, std::size_t cut, const std::wstring& folder) {
    test::Recorder recorder;
    cv::archive_sink sink(folder, L"", L"", recorder.Callback());
    for (auto [at, end] : {std::pair<std::size_t, std::size_t>{0, cut}, {cut, archive.size()}}) {
        while (at < end) at += sink.write(archive.data() + at, std::min<std::size_t>(end - at, 4096));
    }
    sink.finish();
    EXPECT_TRUE(sink.complete()) << "cut at " << cut;
    return recorder.events();
}

TEST_F(Extraction, TableCutAtAnyByteParsesTheSame) {
    const std::vector<TestEntry> entries = {{L"a.txt", L"<InstallPath>\\x", "alpha"},
                                            {L"b.txt", L"<InstallPath>", "beta", 4}};
    const std::string archive = test::ArchiveBytes(entries);
    const std::size_t table = test::TableBytes(entries).size();
    const auto whole = FedInTwo(archive, archive.size(), folder_.path());
    for (std::size_t cut = 0; cut <= table; ++cut) EXPECT_EQ(FedInTwo(archive, cut, folder_.path()), whole) << cut;
    // One byte at a time.
    test::Recorder recorder;
    cv::archive_sink sink(folder_.path(), L"", L"", recorder.Callback());
    for (std::size_t at = 0; at < archive.size();) at += sink.write(archive.data() + at, 1);
    sink.finish();
    EXPECT_TRUE(sink.complete());
    EXPECT_EQ(test::ReadFile(Path(L"x\\a.txt")), "alpha");
}

TEST_F(Extraction, ByteAfterTheLastBodyFailsAsItArrives) {
    test::Recorder recorder;
    EXPECT_FALSE(Extract(test::ArchiveBytes({{L"a.txt", L"<InstallPath>", "alpha"}, {L"b.txt", L"<InstallPath>", "beta"}}) + "!",
                         recorder));
    const auto& events = recorder.events();
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events.back(), (Event{test::Error, {}, 0, 0, Unexpected}));
    EXPECT_EQ(events[events.size() - 2], (Event{test::EntryEnd, Path(L"b.txt")}));
    EXPECT_EQ(test::ReadFile(Path(L"a.txt")), "alpha");
    EXPECT_EQ(test::ReadFile(Path(L"b.txt")), "beta");
}

TEST_F(Extraction, PayloadEndingInsideABodyFailsAndKeepsThePartialFile) {
    const std::string body = Body(9000, 'k');
    std::string archive = test::ArchiveBytes({{L"big.dat", L"<InstallPath>", body}});
    archive.resize(archive.size() - 1000);
    test::Recorder recorder;
    EXPECT_FALSE(Extract(archive, recorder));
    EXPECT_EQ(recorder.Error(), (Event{test::Error, Path(L"big.dat"), 0, 0, Unexpected}));
    EXPECT_EQ(test::ReadFile(Path(L"big.dat")), body.substr(0, 8000));
}

TEST_F(Extraction, TableThatEndsEarlyFailsWithNothingWritten) {
    test::Recorder recorder;
    EXPECT_FALSE(Extract(test::TableBytes({{L"a.txt", L"<InstallPath>", "alpha"}}).substr(0, 20), recorder));
    EXPECT_EQ(recorder.Indexes(), (std::vector<int>{test::Started, test::Error}));
    EXPECT_EQ(recorder.Error().code, Unexpected);
}

TEST_F(Extraction, ChecksumMismatchFailsAfterTheFileIsClosed) {
    test::Recorder recorder;
    EXPECT_FALSE(Extract({{L"a.txt", L"<InstallPath>", "alpha", 0, 0x12345678u}}, recorder));
    EXPECT_EQ(recorder.Error(), (Event{test::Error, Path(L"a.txt"), 0, 0, Checksum}));
    EXPECT_EQ(recorder.events()[recorder.events().size() - 2].index, test::Progress);
    EXPECT_EQ(test::ReadFile(Path(L"a.txt")), "alpha");
    // Closed: another writer may open it.
    cv::unique_file file(::CreateFileW(Path(L"a.txt").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(file);
}

TEST_F(Extraction, SkippedEntryCountsButIsNeitherWrittenNorAnnounced) {
    test::Recorder recorder([](const Event& event) {
        return event.index == test::EntryBegin && event.path.ends_with(L"skip.txt") ? result::skip : result::proceed;
    });
    const std::vector<TestEntry> entries = {{L"skip.txt", L"<InstallPath>", Body(5000, 's')},
                                            {L"keep.txt", L"<InstallPath>", "kept"}};
    ASSERT_TRUE(Extract(entries, recorder));
    EXPECT_FALSE(test::Exists(Path(L"skip.txt")));
    EXPECT_EQ(test::ReadFile(Path(L"keep.txt")), "kept");
    std::vector<Event> ends;
    for (const auto& event : recorder.events())
        if (event.index == test::EntryEnd) ends.push_back(event);
    EXPECT_EQ(ends, (std::vector<Event>{{test::EntryEnd, Path(L"keep.txt")}}));
    const auto& finished = recorder.events().back();
    EXPECT_EQ(finished.second, test::TableBytes(entries).size() + 5004);
}

TEST_F(Extraction, ReadOnlyTargetIsOverwritten) {
    const std::wstring target = folder_.File(L"old.txt", "old contents");
    ASSERT_TRUE(::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
    test::Recorder recorder;
    ASSERT_TRUE(Extract({{L"old.txt", L"<InstallPath>", "new"}}, recorder));
    EXPECT_EQ(test::ReadFile(target), "new");
}

TEST_F(Extraction, MissingFoldersAreCreatedWithTheirAncestors) {
    test::Recorder recorder;
    ASSERT_TRUE(Extract({{L"deep.txt", L"<InstallPath>\\one\\two\\three", "deep"}}, recorder));
    EXPECT_EQ(test::ReadFile(Path(L"one\\two\\three\\deep.txt")), "deep");
}

TEST_F(Extraction, FolderThatCannotBeCreatedFailsWithTheSystemCode) {
    folder_.File(L"blocker", "a file where a folder should be");
    test::Recorder recorder;
    EXPECT_FALSE(Extract({{L"f.txt", L"<InstallPath>\\blocker\\sub", "x"}}, recorder));
    const Event& error = recorder.Error();
    EXPECT_NE(error.code.category(), cv::compress_category());
    EXPECT_NE(error.code.value(), 0);
    EXPECT_EQ(error.path, Path(L"blocker\\sub\\f.txt"));
}

TEST_F(Extraction, EntriesOfSizeZeroAreWrittenWhereverTheyStand) {
    const std::vector<TestEntry> entries = {{L"first.txt", L"<InstallPath>", ""},
                                            {L"middle.txt", L"<InstallPath>", "m"},
                                            {L"empty.txt", L"<InstallPath>", ""},
                                            {L"last.txt", L"<InstallPath>\\end", ""}};
    test::Recorder recorder;
    ASSERT_TRUE(Extract(entries, recorder));
    int ends = 0;
    for (const auto& event : recorder.events()) ends += event.index == test::EntryEnd;
    EXPECT_EQ(ends, 4);
    EXPECT_TRUE(test::Exists(Path(L"first.txt")));
    EXPECT_TRUE(test::Exists(Path(L"empty.txt")));
    EXPECT_EQ(test::ReadFile(Path(L"end\\last.txt")), "");
    EXPECT_EQ(recorder.events().back().index, test::Finished);
}

TEST_F(Extraction, AbortOnProgressFailsWithInterruptedAndNamesTheEntry) {
    int progress = 0;
    test::Recorder recorder([&](const Event& event) {
        return event.index == test::Progress && ++progress == 2 ? result::abort : result::proceed;
    });
    EXPECT_FALSE(Extract({{L"a.dat", L"<InstallPath>", Body(20000, 'a')}, {L"b.dat", L"<InstallPath>", "b"}}, recorder));
    EXPECT_EQ(recorder.Error(), (Event{test::Error, Path(L"a.dat"), 0, 0, Interrupted}));
    EXPECT_FALSE(test::Exists(Path(L"b.dat")));
}

TEST_F(Extraction, AbortOnTheOtherAnnouncementsFailsWithInterrupted) {
    for (int index : {test::Progress, test::EntryBegin, test::EntryEnd}) {
        test::Recorder recorder([&](const Event& event) { return event.index == index ? result::abort : result::proceed; });
        EXPECT_FALSE(Extract({{L"a.dat", L"<InstallPath>", "a"}}, recorder)) << index;
        EXPECT_EQ(recorder.Error().code, Interrupted) << index;
        EXPECT_EQ(recorder.events().back().index, test::Error);
    }
}

TEST_F(Extraction, AnswersToStartedFinishedAndErrorAreIgnored) {
    test::Recorder recorder([](const Event& event) { return event.index == test::Started ? result::abort : result::skip; });
    ASSERT_TRUE(Extract(std::vector<TestEntry>{}, recorder));
    EXPECT_EQ(recorder.events().back().index, test::Finished);
}

TEST_F(Extraction, FailureOfTheStartedHandlerIsAnExtractionFailure) {
    test::Recorder seen;
    auto record = seen.Callback();
    const std::string compressed = test::Bzip2(test::ArchiveBytes({}));
    std::istringstream source(compressed);
    const bool done = cv::extract_payload(source, folder_.path(), L"", L"", [&](const cv::notification& message) {
        record(message);
        if (message.value.index() == test::Started) throw std::system_error(cv::make_error_code(cv::compress_errc::unknown));
        return result::proceed;
    });
    EXPECT_FALSE(done);
    EXPECT_EQ(seen.Indexes(), (std::vector<int>{test::Started, test::Error}));
    EXPECT_EQ(seen.Error().code, cv::make_error_code(cv::compress_errc::unknown));
}

TEST_F(Extraction, OtherExceptionsBecomeUnexpected) {
    test::Recorder seen;
    auto record = seen.Callback();
    const std::string compressed = test::Bzip2(test::ArchiveBytes({{L"a", L"<InstallPath>", "a"}}));
    std::istringstream source(compressed);
    EXPECT_FALSE(cv::extract_payload(source, folder_.path(), L"", L"", [&](const cv::notification& message) {
        record(message);
        if (message.value.index() == test::EntryEnd) throw std::runtime_error("handler failed");
        return result::proceed;
    }));
    EXPECT_EQ(seen.Error(), (Event{test::Error, Path(L"a"), 0, 0, Unexpected}));
}

TEST_F(Extraction, DamagedCompressedStreamFailsWithBzip2Error) {
    const std::string good = test::Bzip2(test::ArchiveBytes({{L"a.dat", L"<InstallPath>", Body(50000, 'd')}}));
    auto damaged = [&](std::size_t at) {
        std::string bytes = good;
        bytes[at] = static_cast<char>(bytes[at] ^ 0x10);
        return bytes;
    };
    // The block header's magic, the stream's checksum at its end, and a stream cut short.
    for (const std::string& compressed : {damaged(5), damaged(good.size() - 3), good.substr(0, good.size() - 20)}) {
        std::istringstream source(compressed);
        test::Recorder recorder;
        EXPECT_FALSE(cv::extract_payload(source, folder_.path(), L"", L"", recorder.Callback()));
        EXPECT_EQ(recorder.Error().code, Damaged);
    }
}

TEST_F(Extraction, FailedOrEmptySourceIsAnExtractionFailure) {
    cv::imemstream missing;
    test::Recorder recorder;
    EXPECT_FALSE(cv::extract_payload(missing, folder_.path(), L"", L"", recorder.Callback()));
    EXPECT_EQ(recorder.Indexes(), (std::vector<int>{test::Started, test::Error}));
    EXPECT_EQ(recorder.Error().code, std::make_error_code(std::io_errc::stream));

    std::istringstream empty;
    test::Recorder emptyRecorder;
    EXPECT_FALSE(cv::extract_payload(empty, folder_.path(), L"", L"", emptyRecorder.Callback()));
    EXPECT_EQ(emptyRecorder.Error().code, Damaged);
}

TEST_F(Extraction, MalformedTableFailsBeforeAnyFileIsWritten) {
    std::string archive = test::ArchiveBytes({{L"a.txt", L"<InstallPath>", "a"}, {L"b.txt", L"<InstallPath>", "b"}});
    archive[8] = 3;  // three records announced, two present
    test::Recorder recorder;
    EXPECT_FALSE(Extract(archive, recorder));
    EXPECT_EQ(recorder.Indexes(), (std::vector<int>{test::Started, test::Error}));
    EXPECT_EQ(recorder.Error().code, Unexpected);
    EXPECT_FALSE(test::Exists(Path(L"a.txt")));
}

TEST_F(Extraction, SizesThatOverflowTheArchiveLengthFailBeforeAnyFileIsWritten) {
    test::Recorder recorder;
    EXPECT_FALSE(Extract({{L"a.txt", L"<InstallPath>", "a"}, {L"b.txt", L"<InstallPath>", "b", 0, {}, ~0ull}}, recorder));
    EXPECT_EQ(recorder.Indexes(), (std::vector<int>{test::Started, test::Error}));
    EXPECT_EQ(recorder.Error().code, Unexpected);
    EXPECT_FALSE(test::Exists(Path(L"a.txt")));
}

TEST_F(Extraction, UnknownTokenFailsBeforeAnyFileIsWritten) {
    for (const wchar_t* destination : {L"<Nowhere>\\x", L"<installpath>", L"<INSTALLPATH>\\Lang"}) {
        test::Recorder recorder;
        EXPECT_FALSE(Extract({{L"a.txt", L"<InstallPath>", "a"}, {L"b.txt", destination, "b"}}, recorder)) << destination;
        EXPECT_EQ(recorder.Indexes(), (std::vector<int>{test::Started, test::Error}));
        EXPECT_EQ(recorder.Error().code, Unexpected);
        EXPECT_FALSE(test::Exists(Path(L"a.txt")));
    }
}

TEST_F(Extraction, SourceNameThatLeavesItsFolderIsRefused) {
    test::Recorder recorder;
    EXPECT_FALSE(Extract({{L"..", L"<InstallPath>\\sub", "a"}}, recorder));
    EXPECT_EQ(recorder.Error().code, Unexpected);
}

// A reader that lets others write but not read: the extraction's write access is shared and
// the file is written, its read-back is refused with a sharing violation.
cv::unique_file HoldAgainstVerification(const std::wstring& path) {
    return cv::unique_file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
}

TEST_F(Extraction, FileHeldDuringVerificationIsTriedFourTimesThenFailsWithSharingViolation) {
    const std::wstring target = folder_.File(L"held.txt", "before");
    cv::unique_file holder = HoldAgainstVerification(target);
    ASSERT_TRUE(holder);
    test::Recorder recorder;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Extract({{L"held.txt", L"<InstallPath>", "after"}}, recorder));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(recorder.Error(), (Event{test::Error, target, 0, 0, std::error_code(32, std::system_category())}));
    EXPECT_GE(waited, std::chrono::milliseconds(2900));
    EXPECT_LT(waited, std::chrono::seconds(10));
    holder.reset();
    EXPECT_EQ(test::ReadFile(target), "after");
}

TEST_F(Extraction, FileReleasedDuringTheRetriesIsVerified) {
    const std::wstring target = folder_.File(L"held.txt", "before");
    cv::unique_file holder = HoldAgainstVerification(target);
    ASSERT_TRUE(holder);
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        holder.reset();
    });
    test::Recorder recorder;
    const bool done = Extract({{L"held.txt", L"<InstallPath>", "after"}}, recorder);
    release.join();
    EXPECT_TRUE(done);
    EXPECT_EQ(test::ReadFile(target), "after");
}

}  // namespace
