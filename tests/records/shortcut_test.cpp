// Shortcuts: real links in the program group and on the desktop, their records and their undo.
// Changes the Start menu and the desktop: runs in a prefix of its own.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <boost/filesystem/operations.hpp>

#include "app/product.h"
#include "records/com_ptr.h"
#include "records/shortcut.h"
#include "records/uninstall_log.h"
#include "tests/common/scratch_folder.h"
#include "tests/records/records_test_util.h"

namespace {

using namespace records_test;

std::wstring SpecialFolder(int csidl) {
    wchar_t folder[MAX_PATH] = {};
    EXPECT_TRUE(::SHGetSpecialFolderPathW(nullptr, folder, csidl, FALSE));
    return folder;
}

struct LinkContent {
    std::wstring target;
    std::wstring workingFolder;
};

// What the link at path points to, read back through the shell's link object.
std::optional<LinkContent> ReadLink(const std::wstring& path) {
    const ComApartment apartment;
    unique_com<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(link.put())))) {
        return std::nullopt;
    }
    unique_com<IPersistFile> file;
    if (FAILED(link.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put()))) ||
        FAILED(file.get()->Load(path.c_str(), STGM_READ))) {
        return std::nullopt;
    }
    wchar_t target[MAX_PATH] = {};
    wchar_t working[MAX_PATH] = {};
    link.get()->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
    link.get()->GetWorkingDirectory(working, MAX_PATH);
    return LinkContent{target, working};
}

class Shortcuts : public ::testing::Test {
protected:
    void SetUp() override {
        productId = VeltranoProductId;
        makerGroup = SpecialFolder(CSIDL_COMMON_PROGRAMS) + L"\\Corvenna";
        group = makerGroup + L"\\Veltrano 7";
        desktop = SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY);
        program = scratch.File(L"Program\\Veltrano.exe");
        uninstaller = scratch.File(L"Program\\Uninstall.exe");
        oldProgram = scratch.File(L"Old\\Veltrano.exe");
    }
    void TearDown() override {
        boost::system::error_code error;
        boost::filesystem::remove_all(makerGroup, error);
        ::DeleteFileW((desktop + L"\\Veltrano 7.04d.lnk").c_str());
    }

    // The shortcut step's records for the three links: announce, create, complete.
    void Make(CUninstallLog& log, int which, const std::wstring& folder, const std::wstring& target,
              const std::wstring& name) {
        log.AddShortcut(which, folder);
        std::wstring link;
        if (CreateShortcut(target, folder, name, &link)) {
            log.CompleteLast(true, link);
        } else {
            log.CompleteLast(false);
        }
    }
    void MakeAll(CUninstallLog& log, const std::wstring& groupFolder) {
        Make(log, 0, groupFolder, program, L"Veltrano 7.04d");
        Make(log, 1, groupFolder, uninstaller, L"Uninstall Veltrano");
        Make(log, 2, desktop, program, L"Veltrano 7.04d");
    }
    // An earlier installation's program-group link, as its log recorded it.
    std::wstring EarlierMenuLink(CUninstallLog& log) {
        ::SHCreateDirectoryExW(nullptr, group.c_str(), nullptr);
        std::wstring link;
        EXPECT_TRUE(CreateShortcut(oldProgram, group, std::wstring(L"Veltrano 7.04c"), &link));
        log.earlierEntries.push_back(Entry(EntryKind::MenuShortcut, link));
        return link;
    }

    test::ScratchFolder scratch;
    std::wstring makerGroup, group, desktop, program, uninstaller, oldProgram;
};

TEST_F(Shortcuts, ThreeLinksAreMadeAndRecorded) {
    ASSERT_FALSE(Exists(makerGroup));
    CUninstallLog log;
    MakeAll(log, group);

    std::vector<std::pair<EntryKind, std::wstring>> recorded;
    for (const UninstallLogEntry& entry : log.entries) recorded.emplace_back(entry.kind, entry.path);
    const std::vector<std::pair<EntryKind, std::wstring>> expected{
        {EntryKind::Folder, makerGroup},
        {EntryKind::Folder, group},
        {EntryKind::MenuShortcut, group + L"\\Veltrano 7.04d.lnk"},
        {EntryKind::UninstallShortcut, group + L"\\Uninstall Veltrano.lnk"},
        {EntryKind::DesktopShortcut, desktop + L"\\Veltrano 7.04d.lnk"},
    };
    EXPECT_EQ(recorded, expected);
    for (const UninstallLogEntry& entry : log.entries) {
        EXPECT_TRUE(entry.flag);
        EXPECT_EQ(entry.subtype, -1);
    }
    const struct {
        std::wstring link, target;
    } links[] = {{expected[2].second, program}, {expected[3].second, uninstaller}, {expected[4].second, program}};
    for (const auto& link : links) {
        const std::optional<LinkContent> content = ReadLink(link.link);
        ASSERT_TRUE(content) << "not a readable link: " << testing::PrintToString(link.link);
        EXPECT_TRUE(boost::filesystem::equivalent(content->target, link.target));
        EXPECT_TRUE(boost::filesystem::equivalent(content->workingFolder, scratch / L"Program"));
    }

    log.Rollback();
    for (const auto& link : links) EXPECT_FALSE(Exists(link.link));
    EXPECT_FALSE(Exists(makerGroup)) << "the created group folders go with their links";
}

TEST_F(Shortcuts, UnwritableGroupFolderFailsOnlyTheGroupLinks) {
    const std::wstring blocked = scratch.File(L"Group");  // a file where the folder should be
    CUninstallLog log;
    MakeAll(log, blocked);
    ASSERT_EQ(log.entries.size(), 3u);
    auto entry = log.entries.begin();
    for (const EntryKind kind : {EntryKind::MenuShortcut, EntryKind::UninstallShortcut}) {
        EXPECT_EQ(entry->kind, kind);
        EXPECT_FALSE(entry->flag);
        EXPECT_EQ(entry->path, L"");
        ++entry;
    }
    EXPECT_TRUE(entry->flag);
    EXPECT_TRUE(ReadLink(entry->path));

    ASSERT_TRUE(log.Commit(scratch / L"Uninstall.ulog", scratch / L"Program", blocked));
    const std::vector<std::wstring> lines = LogLines(scratch / L"Uninstall.ulog");
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[6], L"0000:02ff:0 -- ");
    EXPECT_EQ(lines[7], L"0001:03ff:0 -- ");
    EXPECT_EQ(lines[8], L"0002:04ff:1 -- " + desktop + L"\\Veltrano 7.04d.lnk");
}

TEST_F(Shortcuts, UpdateReplacesTheEarlierLink) {
    CUninstallLog log;
    const std::wstring earlier = EarlierMenuLink(log);
    Make(log, 0, group, program, L"Veltrano 7.04d");
    const std::wstring staged = log.entries.back().backupPath;
    ASSERT_FALSE(staged.empty());
    EXPECT_FALSE(Exists(earlier)) << "moved aside when the new link was announced";
    ASSERT_TRUE(log.Commit(scratch / L"Uninstall.ulog", scratch / L"Program", group));
    EXPECT_FALSE(Exists(staged));
    EXPECT_FALSE(Exists(earlier));
    EXPECT_TRUE(Exists(group + L"\\Veltrano 7.04d.lnk"));
    const std::vector<std::wstring> lines = LogLines(scratch / L"Uninstall.ulog");
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[6], L"0000:02ff:1 -- " + group + L"\\Veltrano 7.04d.lnk");
}

TEST_F(Shortcuts, RolledBackUpdatePutsTheEarlierLinkAtTheNewName) {
    CUninstallLog log;
    const std::wstring earlier = EarlierMenuLink(log);
    Make(log, 0, group, program, L"Veltrano 7.04d");
    log.Rollback();
    const std::optional<LinkContent> content = ReadLink(group + L"\\Veltrano 7.04d.lnk");
    ASSERT_TRUE(content);
    EXPECT_TRUE(boost::filesystem::equivalent(content->target, oldProgram));
    EXPECT_FALSE(Exists(earlier));
}

// Without a new link the staged earlier one would have nowhere to go: it goes back to its own path.
TEST_F(Shortcuts, EarlierLinkReturnsWhenItsReplacementFailed) {
    CUninstallLog log;
    const std::wstring earlier = EarlierMenuLink(log);
    // A folder in the way of the new link makes its creation fail.
    ASSERT_TRUE(::CreateDirectoryW((group + L"\\Veltrano 7.04d.lnk").c_str(), nullptr));
    Make(log, 0, group, program, L"Veltrano 7.04d");
    ASSERT_FALSE(log.entries.back().flag);
    ASSERT_FALSE(Exists(earlier));
    log.Rollback();
    const std::optional<LinkContent> content = ReadLink(earlier);
    ASSERT_TRUE(content) << "the earlier link is back at its own path";
    EXPECT_TRUE(boost::filesystem::equivalent(content->target, oldProgram));
}

TEST_F(Shortcuts, LinkNameDefaultsToTheTargetsBaseName) {
    const std::wstring folder = scratch.Folder(L"Links");
    EXPECT_TRUE(CreateShortcut(program, folder, std::nullopt, nullptr));
    EXPECT_TRUE(ReadLink(folder + L"\\Veltrano.lnk"));
    std::wstring out = L"untouched";
    EXPECT_FALSE(CreateShortcut(program, folder + L"\\Missing", std::nullopt, &out));
    EXPECT_EQ(out, L"untouched");
    EXPECT_FALSE(CreateShortcut(program, folder, std::wstring(300, L'n'), &out)) << "beyond MAX_PATH";
}

}  // namespace
