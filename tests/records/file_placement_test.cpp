// File placement: the folder walk, staging into the temporary folder, and the undo of files.
#include <gtest/gtest.h>

#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>

#include "app/product.h"
#include "records/temp_staging.h"
#include "support/handles.h"
#include "records/uninstall_log.h"
#include "tests/common/scratch_folder.h"
#include "tests/records/records_test_util.h"

namespace {

using namespace records_test;

class FilePlacement : public ::testing::Test {
protected:
    void SetUp() override { productId = VeltranoProductId; }
    test::ScratchFolder scratch;
};

TEST_F(FilePlacement, MissingFoldersAreCreatedAndRecordedBeforeTheFile) {
    const std::wstring a = scratch.Folder(L"A");
    CUninstallLog log;
    log.AddFile(a + L"\\B\\f.dat", 3, false);
    EXPECT_TRUE(log.pending);
    ASSERT_EQ(log.entries.size(), 2u);
    EXPECT_EQ(log.entries.front().kind, EntryKind::Folder);
    EXPECT_EQ(log.entries.front().path, a + L"\\B");
    EXPECT_TRUE(log.entries.front().flag);
    EXPECT_EQ(log.entries.back().kind, EntryKind::File);
    EXPECT_EQ(log.entries.back().path, a + L"\\B\\f.dat");
    EXPECT_EQ(log.entries.back().subtype, 3);
    EXPECT_FALSE(log.entries.back().flag);
    EXPECT_EQ(log.entries.back().backupPath, L"");
    EXPECT_TRUE(::PathIsDirectoryW((a + L"\\B").c_str()));

    CUninstallLog present;
    present.AddFile(a + L"\\B\\g.dat", 0, false);
    ASSERT_EQ(present.entries.size(), 1u) << "every folder exists: only the file";
}

TEST_F(FilePlacement, FolderWalkEdges) {
    CUninstallLog log;
    log.AddFolders(scratch / L"X\\Y\\");
    ASSERT_EQ(log.entries.size(), 2u);
    EXPECT_EQ(log.entries.front().path, scratch / L"X");
    EXPECT_EQ(log.entries.back().path, scratch / L"X\\Y\\") << "the trailing separator stays";
    EXPECT_FALSE(log.pending);

    CUninstallLog root;
    root.AddFolders(L"C:\\");
    root.AddFolders(L"C:");
    EXPECT_TRUE(root.entries.empty());
}

TEST_F(FilePlacement, FailingFolderStopsTheWalk) {
    const std::wstring bad = scratch / L"A\\B|C";
    ASSERT_FALSE(::CreateDirectoryW(bad.c_str(), nullptr)) << "the second folder's name must be refused";
    CUninstallLog log;
    log.AddFolders(scratch / L"A\\B|C\\D");
    ASSERT_EQ(log.entries.size(), 1u);
    EXPECT_EQ(log.entries.front().path, scratch / L"A");
    EXPECT_FALSE(Exists(scratch / L"A\\B|C\\D"));
}

TEST_F(FilePlacement, RollbackRemovesPlacedFilesAndTheirEmptyFolders) {
    CUninstallLog log;
    const std::wstring file = scratch / L"New\\Sub\\f.dat";
    log.AddFile(file, 1, false);
    WriteBytes(file, "new");
    log.CompleteLast(true);
    const std::wstring kept = scratch / L"Shared\\g.dat";
    log.AddFile(kept, 1, false);
    WriteBytes(kept, "new");
    log.CompleteLast(true);
    const std::wstring foreign = scratch.File(L"Shared\\foreign.txt");
    ASSERT_EQ(log.entries.size(), 5u);

    log.Rollback();
    EXPECT_TRUE(log.entries.empty());
    EXPECT_FALSE(Exists(file));
    EXPECT_FALSE(Exists(scratch / L"New"));
    EXPECT_FALSE(Exists(kept));
    EXPECT_TRUE(Exists(foreign));
    EXPECT_TRUE(Exists(scratch / L"Shared")) << "a folder holding another file stays";
}

TEST_F(FilePlacement, ReadOnlyEarlierFileComesBackReadOnly) {
    const std::wstring file = scratch.File(L"V\\Veltrano.exe", "earlier");
    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    CUninstallLog log;
    log.AddFile(file, 1, false);
    ASSERT_EQ(log.entries.size(), 1u);
    const std::wstring backup = log.entries.back().backupPath;
    ASSERT_FALSE(backup.empty());
    EXPECT_EQ(backup.rfind(TempFolder() + L"cv", 0), 0u) << "a cv file in the temporary folder";
    EXPECT_FALSE(Exists(file)) << "moved, not copied";
    EXPECT_EQ(ReadBytes(backup), "earlier");
    EXPECT_TRUE(Attributes(backup) & FILE_ATTRIBUTE_READONLY);

    WriteBytes(file, "new");
    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    log.CompleteLast(true);
    log.Rollback();
    EXPECT_EQ(ReadBytes(file), "earlier");
    EXPECT_TRUE(Attributes(file) & FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(Exists(backup));
}

TEST_F(FilePlacement, CommitDeletesTheStagedEarlierFile) {
    const std::wstring file = scratch.File(L"V\\Veltrano.exe", "earlier");
    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    CUninstallLog log;
    log.AddFile(file, 1, false);
    const std::wstring backup = log.entries.back().backupPath;
    ASSERT_TRUE(Exists(backup));
    WriteBytes(file, "new");
    log.CompleteLast(true);
    ASSERT_TRUE(log.Commit(scratch / L"Uninstall.ulog", scratch.path(), L""));
    EXPECT_FALSE(Exists(backup));
    EXPECT_EQ(log.entries.back().backupPath, L"");
    EXPECT_EQ(ReadBytes(file), "new");
}

TEST_F(FilePlacement, KeptDataFileIsCopiedAndRestoredFromItsCopy) {
    const std::wstring data = scratch.File(L"Data\\materials.dat", "user's");
    CUninstallLog log;
    log.AddFile(data, 3, true);
    log.CompleteLast(true);
    const std::wstring copy = log.entries.back().backupPath;
    ASSERT_FALSE(copy.empty());
    EXPECT_EQ(ReadBytes(data), "user's") << "left in place";
    EXPECT_EQ(ReadBytes(copy), "user's");

    WriteBytes(data, "changed after staging");
    log.Rollback();
    EXPECT_EQ(ReadBytes(data), "user's");
    EXPECT_FALSE(Exists(copy));

    CUninstallLog committed;
    committed.AddFile(data, 3, true);
    committed.CompleteLast(true);
    const std::wstring second = committed.entries.back().backupPath;
    ASSERT_TRUE(Exists(second));
    ASSERT_TRUE(committed.Commit(scratch / L"Uninstall.ulog", scratch.path(), L""));
    EXPECT_FALSE(Exists(second));
    EXPECT_EQ(ReadBytes(data), "user's");
}

TEST_F(FilePlacement, FileInUseKeepsItsAttributesAndHasNoBackup) {
    const std::wstring file = scratch.File(L"V\\busy.dll", "in use");
    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    const cv::unique_file open(::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(open);
    CUninstallLog log;
    log.AddFile(file, 1, false);
    EXPECT_EQ(log.entries.back().backupPath, L"");
    EXPECT_EQ(ReadBytes(file), "in use");
    EXPECT_TRUE(Attributes(file) & FILE_ATTRIBUTE_READONLY) << "its attributes are given back";
}

TEST_F(FilePlacement, StashToTempWithoutSourceGivesAFreeName) {
    const std::wstring name = StashToTemp(std::nullopt, false);
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(name.rfind(TempFolder() + L"cv", 0), 0u);
    EXPECT_EQ(name.substr(name.size() - 4), L".tmp");
    EXPECT_FALSE(Exists(name));
    EXPECT_EQ(StashToTemp(scratch / L"missing.dat", false), L"");
}

TEST_F(FilePlacement, TemporaryFolderOf246CharactersIsTheLimit) {
    const std::wstring fits = FolderOfLength(scratch, 246, L'a');
    const std::wstring over = FolderOfLength(scratch, 247, L'b');
    ASSERT_EQ(fits.size() + 1, 246u);
    ASSERT_EQ(over.size() + 1, 247u);
    ASSERT_TRUE(::PathIsDirectoryW(fits.c_str()));
    ASSERT_TRUE(::PathIsDirectoryW(over.c_str()));
    const std::wstring source = scratch.File(L"s.dat", "s");
    {
        const TempFolderOverride temp(fits);
        ASSERT_EQ(TempFolder().size(), 246u);
        const std::wstring name = StashToTemp(std::nullopt, false);
        EXPECT_EQ(name.rfind(fits + L"\\cv", 0), 0u);
        const std::wstring staged = StashToTemp(source, true);
        EXPECT_EQ(ReadBytes(staged), "s");
    }
    {
        const TempFolderOverride temp(over);
        ASSERT_EQ(TempFolder().size(), 247u);
        EXPECT_EQ(StashToTemp(std::nullopt, false), L"");
        EXPECT_EQ(StashToTemp(source, false), L"");
        EXPECT_EQ(ReadBytes(source), "s") << "nothing staged, nothing moved";

        CUninstallLog log;
        log.AddFile(source, 1, false);
        EXPECT_EQ(log.entries.back().backupPath, L"");
        EXPECT_TRUE(Exists(source));
    }
}

}  // namespace
