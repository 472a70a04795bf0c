// The uninstall log file: the bytes Commit writes, what Load reads back, the merge, replacing.
#include <gtest/gtest.h>

#include <shlwapi.h>

#include <cstdio>

#include "app/product.h"
#include "records/log_file.h"
#include "records/uninstall_log.h"
#include "tests/common/scratch_folder.h"
#include "tests/common/test_environment.h"
#include "tests/records/records_test_util.h"

namespace {

using namespace records_test;

class LogFile : public ::testing::Test {
protected:
    void SetUp() override { productId = VeltranoProductId; }

    // A log as a UTF-16 file with the given lines, each ended by CR LF.
    std::wstring WriteLog(const std::wstring& name, const std::vector<std::wstring>& lines) {
        std::wstring text;
        for (const std::wstring& line : lines) text += line + L"\r\n";
        const std::wstring path = scratch / name;
        WriteBytes(path, Utf16File(text));
        return path;
    }

    std::vector<std::wstring> Header(const std::wstring& installPath, const std::wstring& shortcutPath) {
        return {L"// Uninstall Log File v1",
                L"// ############ WARNING: Do not delete or modify this file. ############",
                L"// Install Veltrano 7.04c -- Update (Veltrano 7.04b)",
                L"// Install Path : " + installPath,
                L"// Shortcut Path : " + shortcutPath,
                L"// -----"};
    }

    // Read-only, archive and not content-indexed. Wine keeps the last one only where the
    // file system stores extended attributes; without that it is checked as far as it can be.
    void ExpectLogAttributes(const std::wstring& path) {
        const DWORD attributes = Attributes(path);
        const std::wstring probe = scratch.File(L"probe.txt");
        ::SetFileAttributesW(probe.c_str(), FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        if (Attributes(probe) & FILE_ATTRIBUTE_NOT_CONTENT_INDEXED) {
            EXPECT_EQ(attributes, 0x2021u);
        } else {
            std::printf("note: this file system drops FILE_ATTRIBUTE_NOT_CONTENT_INDEXED under Wine; "
                        "only read-only and archive are checked\n");
            EXPECT_EQ(attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_NOT_CONTENT_INDEXED),
                      static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
        }
    }

    test::ScratchFolder scratch;
};

// The golden file was written by hand from the format's tables: an update whose earlier log
// recorded some of the same things, with a failed desktop link and a failed registration run.
TEST_F(LogFile, UpdateIsWrittenByteForByte) {
    const std::wstring program = L"C:\\Program Files\\Corvenna\\Veltrano 7";
    const std::wstring group = L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Corvenna\\Veltrano 7";
    CUninstallLog log;
    log.earlierProduct = L"Veltrano 7.04c";
    log.earlierEntries.push_back(Entry(EntryKind::Folder, L"C:\\Program Files\\Corvenna"));
    log.earlierEntries.push_back(Entry(EntryKind::Folder, program));
    log.earlierEntries.push_back(Entry(EntryKind::File, program + L"\\Veltrano.exe", true, 1));
    log.earlierEntries.push_back(Entry(EntryKind::File, program + L"\\Notes.txt", true, 3));
    log.earlierEntries.push_back(Entry(EntryKind::MenuShortcut, group + L"\\Veltrano 7.04c.lnk"));
    log.earlierEntries.push_back(Entry(EntryKind::DirectXRuntime, L"Mise \u00e0 jour de DirectX..."));
    log.earlierEntries.push_back(Entry(EntryKind::UninstallKey, L""));
    log.entries.push_back(Entry(EntryKind::File, program + L"\\Veltrano.exe", true, 1));
    log.entries.push_back(Entry(EntryKind::File, program + L"\\Uninstall.exe", true, 2));
    log.entries.push_back(Entry(EntryKind::MenuShortcut, group + L"\\Veltrano 7.04d.lnk"));
    log.entries.push_back(Entry(EntryKind::UninstallShortcut, group + L"\\Uninstall Veltrano.lnk"));
    log.entries.push_back(Entry(EntryKind::DesktopShortcut, L"", false));
    log.entries.push_back(Entry(EntryKind::UninstallKey, L""));
    log.entries.push_back(Entry(EntryKind::ClassesRoot, L"", false));

    const std::wstring path = scratch / L"Uninstall.ulog";
    ASSERT_TRUE(log.Commit(path, program, group));

    std::string golden = ReadBytes(test::ProgramFolder() + L"update.ulog.txt");
    ASSERT_FALSE(golden.empty());
    std::wstring expected;
    for (const wchar_t c : FromUtf8(golden)) expected += c == L'\n' ? std::wstring(L"\r\n") : std::wstring(1, c);
    EXPECT_EQ(ReadBytes(path), Utf16File(expected));
    ExpectLogAttributes(path);
    EXPECT_TRUE(log.earlierEntries.empty());
    EXPECT_EQ(log.entries.size(), 11u);
    EXPECT_FALSE(Exists(PendingLogPath(path)));
}

TEST_F(LogFile, FirstInstallationIsWrittenByteForByte) {
    CUninstallLog log;
    log.entries.push_back(Entry(EntryKind::Folder, L"C:\\V"));
    log.entries.push_back(Entry(EntryKind::File, L"C:\\V\\a.dat", false, 4));
    const std::wstring path = scratch / L"Uninstall.ulog";
    ASSERT_TRUE(log.Commit(path, L"C:\\V", L""));
    const std::wstring expected =
        L"// Uninstall Log File v1\r\n"
        L"// ############ WARNING: Do not delete or modify this file. ############\r\n"
        L"// Install Veltrano 7.04d\r\n"
        L"// Install Path : C:\\V\r\n"
        L"// Shortcut Path : \r\n"
        L"// ----------------\r\n"
        L"0000:00ff:1 -- C:\\V\r\n"
        L"0001:0104:0 -- C:\\V\\a.dat\r\n";
    EXPECT_EQ(ReadBytes(path), Utf16File(expected));
}

TEST_F(LogFile, LoadThenCommitWritesTheSameEntries) {
    const std::wstring install = scratch.Folder(L"Program");
    const std::wstring group = scratch.Folder(L"Group");
    CUninstallLog first;
    first.entries.push_back(Entry(EntryKind::Folder, install));
    first.entries.push_back(Entry(EntryKind::File, install + L"\\Veltrano.exe", true, 1));
    first.entries.push_back(Entry(EntryKind::File, install + L"\\My data.dat", false, 3));
    first.entries.push_back(Entry(EntryKind::MenuShortcut, group + L"\\Veltrano 7.04d.lnk"));
    first.entries.push_back(Entry(EntryKind::DesktopShortcut, L"", false));
    first.entries.push_back(Entry(EntryKind::DirectXRuntime, L"Mise \u00e0 jour de DirectX..."));
    first.entries.push_back(Entry(EntryKind::UninstallKey, L""));
    first.entries.push_back(Entry(EntryKind::ClassesRoot, L""));
    const std::wstring written = scratch / L"first.ulog";
    ASSERT_TRUE(first.Commit(written, install, group));

    CUninstallLog second;
    second.Load(written);
    EXPECT_EQ(second.installPath, install);
    EXPECT_EQ(second.shortcutPath, group);
    EXPECT_EQ(second.earlierProduct, L"Veltrano 7.04d");
    ASSERT_EQ(second.earlierEntries.size(), 8u);
    EXPECT_EQ(second.earlierEntries.front().path, install);
    EXPECT_EQ(std::next(second.earlierEntries.begin(), 2)->subtype, 3);
    EXPECT_FALSE(std::next(second.earlierEntries.begin(), 2)->flag);
    EXPECT_TRUE(second.IsEarlierFile(install + L"\\Veltrano.exe"));
    EXPECT_FALSE(second.IsEarlierFile(install + L"\\VELTRANO.EXE")) << "exact comparison";
    EXPECT_FALSE(second.IsEarlierFile(install + L"\\My data.dat")) << "not completed";
    EXPECT_FALSE(second.IsEarlierFile(install)) << "a folder";

    const std::wstring again = scratch / L"second.ulog";
    ASSERT_TRUE(second.Commit(again, install, group));
    std::vector<std::wstring> before = LogLines(written);
    std::vector<std::wstring> after = LogLines(again);
    ASSERT_EQ(before.size(), after.size());
    EXPECT_EQ(after[2], L"// Install Veltrano 7.04d -- Update (Veltrano 7.04d)");
    before.erase(before.begin() + 2);
    after.erase(after.begin() + 2);
    EXPECT_EQ(before, after);
}

TEST_F(LogFile, LoadStopsAtTheFirstLineOutsideTheFormat) {
    const std::wstring folder = scratch.Folder(L"Program");
    struct Case {
        const char* what;
        const wchar_t* line;
        std::size_t kept;
    };
    const Case cases[] = {
        {"kind 8", L"0001:0800:1 -- C:\\B", 1},
        {"flag digit 2", L"0001:00ff:2 -- C:\\B", 1},
        {"well formed", L"0001:00ff:0 -- C:\\B", 3},
    };
    for (const Case& c : cases) {
        std::vector<std::wstring> lines = Header(folder, folder);
        lines.push_back(L"0000:00ff:1 -- C:\\A");
        lines.push_back(c.line);
        lines.push_back(L"0002:00ff:1 -- C:\\C");
        CUninstallLog log;
        log.Load(WriteLog(L"stop.ulog", lines));
        EXPECT_EQ(log.earlierEntries.size(), c.kept) << c.what;
        EXPECT_EQ(log.earlierEntries.front().path, L"C:\\A") << c.what;
        EXPECT_EQ(log.installPath, folder) << c.what;
        EXPECT_EQ(log.earlierProduct, L"Veltrano 7.04c") << c.what;
    }

    std::vector<std::wstring> notComment = Header(folder, folder);
    notComment.insert(notComment.begin(), L"0000:00ff:1 -- C:\\A");
    CUninstallLog log;
    log.installPath = L"stale";
    log.Load(WriteLog(L"nocomment.ulog", notComment));
    EXPECT_TRUE(log.earlierEntries.empty());
    EXPECT_EQ(log.installPath, L"");
    EXPECT_EQ(log.earlierProduct, L"");

    log.shortcutPath = L"stale";
    log.Load();
    EXPECT_EQ(log.shortcutPath, L"");
    log.Load(scratch / L"missing.ulog");
    EXPECT_TRUE(log.earlierEntries.empty());
}

TEST_F(LogFile, VanishedFoldersAreNotOffered) {
    const std::wstring group = scratch.Folder(L"Group");
    CUninstallLog log;
    log.Load(WriteLog(L"gone.ulog", Header(scratch / L"Gone", group)));
    EXPECT_EQ(log.installPath, L"");
    EXPECT_EQ(log.shortcutPath, group);
}

TEST_F(LogFile, AnsiLogReadsLikeUtf16) {
    const std::wstring folder = scratch.Folder(L"Program");
    std::vector<std::wstring> lines = Header(folder, folder);
    lines.push_back(L"0000:00ff:1 -- C:\\A");
    lines.push_back(L"0001:0103:0 -- C:\\A\\b c.dat");
    lines.push_back(L"0002:05ff:1 -- HKEY_LOCAL_MACHINE\\Whatever");
    // A letter outside ASCII where the thread's code page has it.
    const std::wstring accented = L"0003:0100:1 -- C:\\Donn\u00e9es\\\u00e9.dll";
    BOOL lossy = FALSE;
    ::WideCharToMultiByte(CP_THREAD_ACP, 0, accented.c_str(), -1, nullptr, 0, nullptr, &lossy);
    if (!lossy) lines.push_back(accented);
    std::string ansi;
    for (const std::wstring& line : lines) {
        std::string bytes(line.size() * 4, '\0');
        bytes.resize(static_cast<std::size_t>(::WideCharToMultiByte(
            CP_THREAD_ACP, 0, line.c_str(), static_cast<int>(line.size()), bytes.data(),
            static_cast<int>(bytes.size()), nullptr, nullptr)));
        ansi += bytes + "\r\n";
    }
    const std::wstring ansiPath = scratch / L"ansi.ulog";
    WriteBytes(ansiPath, ansi);

    CUninstallLog fromUtf16;
    fromUtf16.Load(WriteLog(L"utf16.ulog", lines));
    CUninstallLog fromAnsi;
    fromAnsi.Load(ansiPath);
    EXPECT_EQ(fromAnsi.installPath, folder);
    EXPECT_EQ(fromAnsi.earlierProduct, fromUtf16.earlierProduct);
    ASSERT_EQ(fromAnsi.earlierEntries.size(), lines.size() - 6);
    ASSERT_EQ(fromUtf16.earlierEntries.size(), lines.size() - 6);
    if (!lossy) {
        EXPECT_EQ(fromAnsi.earlierEntries.back().path, L"C:\\Donn\u00e9es\\\u00e9.dll");
    }
    auto utf16 = fromUtf16.earlierEntries.begin();
    for (const UninstallLogEntry& entry : fromAnsi.earlierEntries) {
        EXPECT_EQ(entry.kind, utf16->kind);
        EXPECT_EQ(entry.path, utf16->path);
        EXPECT_EQ(entry.flag, utf16->flag);
        EXPECT_EQ(entry.subtype, utf16->subtype);
        ++utf16;
    }
}

TEST_F(LogFile, MergeKeepsOneEntryPerFileAndPerKind) {
    const std::wstring dll = scratch.File(L"A\\f.dll");
    std::wstring shouted = dll;
    for (wchar_t& c : shouted) c = static_cast<wchar_t>(::towupper(c));
    shouted.replace(shouted.size() - 5, 5, L"F.DLL");

    CUninstallLog log;
    log.earlierEntries.push_back(Entry(EntryKind::Folder, L"C:\\Earlier"));
    log.earlierEntries.push_back(Entry(EntryKind::File, dll, true, 0));
    log.earlierEntries.push_back(Entry(EntryKind::File, L"C:\\Gone\\f.dll", true, 0));
    log.earlierEntries.push_back(Entry(EntryKind::MenuShortcut, L"C:\\S\\Veltrano 7.04c.lnk"));
    log.earlierEntries.push_back(Entry(EntryKind::DesktopShortcut, L"C:\\D\\Veltrano 7.04c.lnk"));
    log.entries.push_back(Entry(EntryKind::File, shouted, true, 1));
    log.entries.push_back(Entry(EntryKind::File, L"c:\\gone\\F.DLL", false, 1));
    log.entries.push_back(Entry(EntryKind::MenuShortcut, L"", false));
    ASSERT_TRUE(log.Commit(scratch / L"Uninstall.ulog", L"C:\\V", L"C:\\S"));

    const std::vector<std::wstring> lines = LogLines(scratch / L"Uninstall.ulog");
    const std::vector<std::wstring> expected{
        L"0000:00ff:1 -- C:\\Earlier",
        L"0001:04ff:1 -- C:\\D\\Veltrano 7.04c.lnk",
        L"0002:0101:1 -- " + shouted,
        L"0003:0101:0 -- c:\\gone\\F.DLL",
        L"0004:02ff:0 -- ",
    };
    EXPECT_EQ(std::vector<std::wstring>(lines.begin() + 6, lines.end()), expected);
    EXPECT_TRUE(log.earlierEntries.empty());
}

TEST_F(LogFile, CommitReplacesAReadOnlyLogAndLeavesItReadOnly) {
    const std::wstring path = scratch / L"Uninstall.ulog";
    WriteBytes(path, "earlier");
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    CUninstallLog log;
    log.entries.push_back(Entry(EntryKind::Folder, L"C:\\V"));
    ASSERT_TRUE(log.Commit(path, L"C:\\V", L""));
    EXPECT_EQ(LogLines(path).back(), L"0000:00ff:1 -- C:\\V");
    ExpectLogAttributes(path);
}

TEST_F(LogFile, FailedWriteKeepsTheEarlierLog) {
    const std::wstring path = scratch / L"Uninstall.ulog";
    WriteBytes(path, "earlier");
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    const std::wstring partial = PendingLogPath(path);
    WriteBytes(partial, "half a log");
    EXPECT_FALSE(PutLogInPlace(partial, path, false));
    EXPECT_FALSE(Exists(partial));
    EXPECT_EQ(ReadBytes(path), "earlier");
    EXPECT_EQ(Attributes(path), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));

    // A log that cannot be created: still false, the earlier one untouched, backups discarded.
    ASSERT_TRUE(::CreateDirectoryW(partial.c_str(), nullptr));
    const std::wstring backup = scratch.File(L"cv1.tmp", "backup");
    CUninstallLog log;
    log.entries.push_back(Entry(EntryKind::File, L"C:\\V\\a.dll"));
    log.entries.back().backupPath = backup;
    EXPECT_FALSE(log.Commit(path, L"C:\\V", L""));
    EXPECT_EQ(ReadBytes(path), "earlier");
    EXPECT_FALSE(Exists(backup));
    EXPECT_EQ(log.entries.back().backupPath, L"");
}

// ctest links the pending log's name in full_disk\ to /dev/full, so that every write fails
// as on a full disk while the earlier log lies beside it.
TEST_F(LogFile, FullDiskKeepsTheEarlierLog) {
    const std::wstring folder = test::ProgramFolder() + L"full_disk";
    const std::wstring path = folder + L"\\Uninstall.ulog";
    if (!::PathIsDirectoryW(folder.c_str())) GTEST_SKIP() << "run through ctest, which prepares full_disk";
    WriteBytes(path, "earlier");
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    const std::wstring backup = scratch.File(L"cv2.tmp", "backup");
    CUninstallLog log;
    log.entries.push_back(Entry(EntryKind::File, L"C:\\V\\a.dll"));
    log.entries.back().backupPath = backup;
    const bool written = log.Commit(path, L"C:\\V", L"");
    const DWORD attributes = Attributes(path);
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    const std::string after = ReadBytes(path);
    ::DeleteFileW(path.c_str());
    EXPECT_FALSE(written);
    EXPECT_EQ(after, "earlier");
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(Exists(backup)) << "backups are discarded all the same";
    // The pending name is a device here, which Wine does not delete; the removal of a partial
    // file is checked with a real one in FailedWriteKeepsTheEarlierLog.
}

TEST_F(LogFile, CompleteLastOnlyCompletesWhatWasAnnounced) {
    CUninstallLog log;
    log.AddDirectXRuntime();
    EXPECT_TRUE(log.pending);
    log.CompleteLast(true, std::wstring(L"Mise \u00e0 jour de DirectX..."));
    EXPECT_FALSE(log.pending);
    EXPECT_TRUE(log.entries.back().flag);
    EXPECT_EQ(log.entries.back().kind, EntryKind::DirectXRuntime);
    EXPECT_EQ(log.entries.back().path, L"Mise \u00e0 jour de DirectX...");
    log.CompleteLast(false);
    EXPECT_TRUE(log.entries.back().flag) << "nothing pending";
    log.AddClassesRoot();
    log.CompleteLast(false);
    EXPECT_EQ(log.entries.back().kind, EntryKind::ClassesRoot);
    EXPECT_FALSE(log.entries.back().flag);
    EXPECT_EQ(log.entries.back().subtype, -1);
    EXPECT_EQ(log.entries.back().path, L"");
}

}  // namespace
