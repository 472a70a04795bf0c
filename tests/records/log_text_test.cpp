// The uninstall log's text: lines as written, lines as read, entry lines and their stops.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "records/log_text.h"
#include "tests/records/records_test_util.h"

namespace {

using records_test::Entry;

TEST(LogText, HeaderOfAFirstInstallation) {
    const std::vector<std::wstring> lines =
        LogHeaderLines(L"Veltrano 7.04d", L"", L"C:\\Program Files\\Corvenna\\Veltrano 7",
                       L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Corvenna\\Veltrano 7");
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], L"// Uninstall Log File v1\r\n");
    EXPECT_EQ(lines[1], L"// ############ WARNING: Do not delete or modify this file. ############\r\n");
    EXPECT_EQ(lines[2], L"// Install Veltrano 7.04d\r\n");
    EXPECT_EQ(lines[3], L"// Install Path : C:\\Program Files\\Corvenna\\Veltrano 7\r\n");
    EXPECT_EQ(lines[4],
              L"// Shortcut Path : C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Corvenna\\Veltrano 7\r\n");
    EXPECT_EQ(lines[5], L"// " + std::wstring(88, L'-') + L"\r\n");
}

TEST(LogText, HeaderOfAnUpdateAndAnEmptyShortcutFolder) {
    const std::vector<std::wstring> lines = LogHeaderLines(L"Veltrano 7.04d", L"Veltrano 7.04c", L"D:\\V", L"");
    EXPECT_EQ(lines[2], L"// Install Veltrano 7.04d -- Update (Veltrano 7.04c)\r\n");
    EXPECT_EQ(lines[4], L"// Shortcut Path : \r\n");
    EXPECT_EQ(lines[5], L"// ----------------\r\n");
}

TEST(LogText, EntryLines) {
    struct Case {
        std::size_t index;
        UninstallLogEntry entry;
        const wchar_t* line;
    };
    const Case cases[] = {
        {13, Entry(EntryKind::Folder, L"C:\\V\\Lang", true), L"0013:00ff:1 -- C:\\V\\Lang\r\n"},
        {14, Entry(EntryKind::File, L"C:\\V\\Lang\\Veltrano.cs.dll", true, 0),
         L"0014:0100:1 -- C:\\V\\Lang\\Veltrano.cs.dll\r\n"},
        {2, Entry(EntryKind::File, L"C:\\V\\d.dat", false, 3), L"0002:0103:0 -- C:\\V\\d.dat\r\n"},
        {10000, Entry(EntryKind::Folder, L"C:\\A", true), L"10000:00ff:1 -- C:\\A\r\n"},
        {42, Entry(EntryKind::DesktopShortcut, L"", false), L"0042:04ff:0 -- \r\n"},
        {43, Entry(EntryKind::DirectXRuntime, L"Mise \u00e0 jour de DirectX...", true),
         L"0043:07ff:1 -- Mise \u00e0 jour de DirectX...\r\n"},
        {44, Entry(EntryKind::UninstallKey, L"", true),
         L"0044:05ff:1 -- HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrano 7\r\n"},
        {45, Entry(EntryKind::ClassesRoot, L"", true), L"0045:06ff:1 -- HKEY_CLASSES_ROOT\\...\r\n"},
        // Only the low byte of the subtype reaches the log.
        {1, Entry(EntryKind::File, L"x", true, 0x1AB), L"0001:01ab:1 -- x\r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(LogEntryLine(c.index, c.entry, L"Veltrano 7"), c.line);
}

TEST(LogText, ParseEntryLine) {
    const auto folder = ParseEntryLine(L"0013:00ff:1 -- C:\\V\\Lang");
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->kind, EntryKind::Folder);
    EXPECT_EQ(folder->subtype, -1);
    EXPECT_TRUE(folder->flag);
    EXPECT_EQ(folder->path, L"C:\\V\\Lang");

    const auto file = ParseEntryLine(L"  7 : 103 : 0 --    C:\\My Data\\a b.dat");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->kind, EntryKind::File);
    EXPECT_EQ(file->subtype, 3);
    EXPECT_FALSE(file->flag);
    EXPECT_EQ(file->path, L"C:\\My Data\\a b.dat");

    const auto key = ParseEntryLine(L"0044:05ff:1 -- HKEY_LOCAL_MACHINE\\Software\\Other");
    ASSERT_TRUE(key);
    EXPECT_EQ(key->kind, EntryKind::UninstallKey);
    EXPECT_EQ(key->path, L"") << "the key's text is written anew from the current product";
    EXPECT_EQ(ParseEntryLine(L"0045:06ff:1 -- HKEY_CLASSES_ROOT\\...")->path, L"");

    const auto empty = ParseEntryLine(L"0042:04ff:0 --");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->path, L"");

    for (const wchar_t* bad : {L"0001:0800:1 -- C:\\A", L"0001:00ff:2 -- C:\\A", L"-001:00ff:1 -- C:\\A",
                               L"0001:-1:1 -- C:\\A", L"0001;00ff:1 -- C:\\A", L"0001:00ff:1 - C:\\A",
                               L"0001:00ff:1 --C:\\A", L"0001:00ff:1", L"", L"Veltrano"}) {
        EXPECT_FALSE(ParseEntryLine(bad)) << bad;
    }
}

// A reader over fixed bytes that hands out at most `chunk` bytes per call.
LogLineSplitter::Read Bytes(const std::string& bytes, std::size_t chunk = 4096, bool failAtEnd = false) {
    auto position = std::make_shared<std::size_t>(0);
    return [bytes, chunk, failAtEnd, position](char* buffer, std::size_t size) -> std::ptrdiff_t {
        const std::size_t n = std::min({size, chunk, bytes.size() - *position});
        if (n == 0) return failAtEnd ? -1 : 0;
        bytes.copy(buffer, n, *position);
        *position += n;
        return static_cast<std::ptrdiff_t>(n);
    };
}

std::wstring Latin1(const std::string& bytes) {
    std::wstring text;
    for (const char c : bytes) text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return text;
}

std::vector<std::wstring> Lines(LogLineSplitter::Read read) {
    LogLineSplitter splitter(std::move(read), Latin1);
    std::vector<std::wstring> lines;
    std::wstring line;
    while (splitter.Next(line)) lines.push_back(line);
    return lines;
}

TEST(LogText, SplitsUtf16AndAnsiLines) {
    const std::wstring text = L"// a\r\n0001:00ff:1 -- C:\\\u0100\r\nlast";
    const std::string utf16 = std::string("\xFF\xFE", 2) + Utf16LeBytes(text);
    const std::vector<std::wstring> expected{L"// a\r\n", L"0001:00ff:1 -- C:\\\u0100\r\n", L"last"};
    EXPECT_EQ(Lines(Bytes(utf16)), expected);
    EXPECT_EQ(Lines(Bytes(utf16, 1)), expected) << "reads of single bytes";
    // U+0A0D holds the byte 0x0A, which ends no UTF-16 line.
    EXPECT_EQ(Lines(Bytes(std::string("\xFF\xFE", 2) + Utf16LeBytes(L"\u0a0dx\n"))),
              std::vector<std::wstring>{L"\u0a0dx\n"});

    EXPECT_EQ(Lines(Bytes("// a\r\n\xE9\n\nz")),
              (std::vector<std::wstring>{L"// a\r\n", L"\u00e9\n", L"\n", L"z"}));
    EXPECT_EQ(Lines(Bytes("\xFF\n")), std::vector<std::wstring>{L"\u00ff\n"}) << "FF without FE is text";
    EXPECT_EQ(Lines(Bytes("")), std::vector<std::wstring>{});
    EXPECT_EQ(Lines(Bytes("a\nb", 4096, true)), (std::vector<std::wstring>{L"a\n", L"b"}))
        << "a read error ends the last line";
}

TEST(LogText, OverlongLineEndsTheReading) {
    const std::string longLine(LogLineSplitter::MaxLineBytes + 1, 'x');
    EXPECT_EQ(Lines(Bytes("a\n" + longLine + "\nb\n")), std::vector<std::wstring>{L"a\n"});
    const std::string fits(LogLineSplitter::MaxLineBytes - 1, 'x');
    EXPECT_EQ(Lines(Bytes(fits + "\nb\n")).size(), 2u);
    const std::string endless(100000, 'y');
    EXPECT_EQ(Lines(Bytes(std::string("\xFF\xFE", 2) + endless, 7)), std::vector<std::wstring>{});
}

const std::vector<std::wstring> WrittenHeader{
    L"// Uninstall Log File v1\r\n",
    L"// ############ WARNING: Do not delete or modify this file. ############\r\n",
    L"// Install Veltrano 7.04c -- Update (Veltrano 7.04b)\r\n",
    L"// Install Path : C:\\V\r\n",
    L"// Shortcut Path : C:\\S\r\n",
    L"// ---------------------\r\n",
};

LoadedLog Parse(const std::vector<std::wstring>& lines, std::size_t* taken = nullptr) {
    LogParser parser;
    std::size_t count = 0;
    for (const std::wstring& line : lines) {
        if (!parser.Take(line)) break;
        ++count;
    }
    if (taken) *taken = count;
    return parser.log;
}

TEST(LogText, ParserReadsHeaderAndEntries) {
    std::vector<std::wstring> lines = WrittenHeader;
    lines.push_back(L"0000:00ff:1 -- C:\\V\r\n");
    lines.push_back(L"// a comment between entries\r\n");
    lines.push_back(L"0001:0101:1 -- C:\\V\\Veltrano.exe   \r\n");
    std::size_t taken = 0;
    const LoadedLog log = Parse(lines, &taken);
    EXPECT_EQ(taken, lines.size());
    EXPECT_EQ(log.version, 1);
    EXPECT_EQ(log.earlierProduct, L"Veltrano 7.04c");
    EXPECT_EQ(log.installPath, L"C:\\V");
    EXPECT_EQ(log.shortcutPath, L"C:\\S");
    ASSERT_EQ(log.entries.size(), 2u);
    EXPECT_EQ(log.entries.back().path, L"C:\\V\\Veltrano.exe");
    EXPECT_EQ(log.entries.back().subtype, 1);
}

TEST(LogText, ParserStopsWhereTheFormatEnds) {
    struct Case {
        const char* what;
        std::size_t line;        // replaced line
        const wchar_t* text;     // its text
        std::size_t entries;     // entries kept
        bool headerFolders;      // installPath read
    };
    const Case cases[] = {
        {"first line no comment", 0, L"0000:00ff:1 -- C:\\A\r\n", 0, false},
        {"other version", 0, L"// Uninstall Log File v2\r\n", 0, false},
        {"no version number", 0, L"// Uninstall Log File v\r\n", 0, false},
        {"no Install line", 2, L"// Veltrano\r\n", 0, false},
        {"no Install Path", 3, L"// Path : C:\\V\r\n", 0, false},
        {"kind 8", 7, L"0001:0800:1 -- C:\\B\r\n", 1, true},
        {"flag digit 2", 7, L"0001:00ff:2 -- C:\\B\r\n", 1, true},
        {"blank line", 7, L"\r\n", 1, true},
    };
    for (const Case& c : cases) {
        std::vector<std::wstring> lines = WrittenHeader;
        lines.push_back(L"0000:00ff:1 -- C:\\A\r\n");
        lines.push_back(L"0001:00ff:1 -- C:\\B\r\n");
        lines.push_back(L"0002:00ff:1 -- C:\\C\r\n");
        lines[c.line] = c.text;
        const LoadedLog log = Parse(lines);
        EXPECT_EQ(log.entries.size(), c.entries) << c.what;
        EXPECT_EQ(log.installPath.has_value(), c.headerFolders) << c.what;
    }
}

TEST(LogText, ByteOrderMarkThenEveryLineIsOneWriteAndFailuresDoNotStop) {
    std::vector<std::string> writes;
    const std::vector<std::wstring> lines{L"a\r\n", L"b\r\n", L"c\r\n"};
    const auto failSecond = [&](const std::string& bytes) {
        writes.push_back(bytes);
        return writes.size() != 2;
    };
    EXPECT_FALSE(WriteLogBytes(lines, failSecond));
    ASSERT_EQ(writes.size(), 4u);
    EXPECT_EQ(writes[0], std::string("\xFF\xFE", 2));
    EXPECT_EQ(writes[3], std::string("c\0\r\0\n\0", 6));
    writes.clear();
    EXPECT_TRUE(WriteLogBytes(lines, [&](const std::string& bytes) {
        writes.push_back(bytes);
        return true;
    }));
}

}  // namespace
