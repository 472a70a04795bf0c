// Shared folders during a real extraction: the users' rights granted once per folder, when
// the first file inside it is written. Writes below ProgramData and the common desktop.
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <boost/filesystem.hpp>

#include <sstream>

#include "engine/extract_payload.h"
#include "support/handles.h"
#include "tests/common/scratch_folder.h"
#include "tests/engine/archive_builder.h"

namespace {

constexpr DWORD FullAccess = 0x1F01FF;
constexpr BYTE Inherit = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;

std::wstring Shell(int csidl) {
    wchar_t path[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

struct RemovedAtEnd {
    std::wstring path;
    ~RemovedAtEnd() {
        boost::system::error_code ignored;
        boost::filesystem::remove_all(path, ignored);
    }
};

struct UsersEntry {
    bool found = false;
    DWORD mask = 0;
    BYTE flags = 0;
};

// The explicit access-allowed entry of the Users group on path.
UsersEntry UsersEntryOf(const std::wstring& path) {
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                                nullptr, &descriptor) != ERROR_SUCCESS)
        return {};
    cv::unique_local owner(descriptor);
    PSID users = nullptr;
    ::ConvertStringSidToSidW(L"S-1-5-32-545", &users);
    cv::unique_local usersOwner(users);
    for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!::GetAce(dacl, i, &ace)) continue;
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        if (allowed->Header.AceType != ACCESS_ALLOWED_ACE_TYPE || (allowed->Header.AceFlags & INHERITED_ACE)) continue;
        if (::EqualSid(&allowed->SidStart, users)) return {true, allowed->Mask, allowed->Header.AceFlags};
    }
    return {};
}

// Gives path a list without any Users entry.
void RemoveUsersEntries(const std::wstring& path) {
    SECURITY_DESCRIPTOR descriptor;
    ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    ACL empty;
    ::InitializeAcl(&empty, sizeof empty, ACL_REVISION);
    ::SetSecurityDescriptorDacl(&descriptor, TRUE, &empty, FALSE);
    ASSERT_TRUE(::SetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, &descriptor));
}

// Whether this file system keeps the access lists written to it (Wine's does only where
// the Unix file system stores extended attributes).
bool KeepsAccessLists() {
    test::ScratchFolder probe;
    const std::wstring folder = probe.Folder(L"probe");
    RemoveUsersEntries(folder);
    PSID users = nullptr;
    ::ConvertStringSidToSidW(L"S-1-5-32-545", &users);
    cv::unique_local usersOwner(users);
    std::vector<BYTE> buffer(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + ::GetLengthSid(users));
    auto* list = reinterpret_cast<PACL>(buffer.data());
    ::InitializeAcl(list, static_cast<DWORD>(buffer.size()), ACL_REVISION);
    ::AddAccessAllowedAceEx(list, ACL_REVISION, Inherit, FullAccess, users);
    SECURITY_DESCRIPTOR descriptor;
    ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    ::SetSecurityDescriptorDacl(&descriptor, TRUE, list, FALSE);
    ::SetFileSecurityW(folder.c_str(), DACL_SECURITY_INFORMATION, &descriptor);
    return UsersEntryOf(folder).found;
}

constexpr const char* NoAccessLists =
    "Wine keeps no access lists on this file system (it answers every read with a list made from "
    "the Unix permissions), so the grants cannot be read back; the files were extracted";

bool Extract(const std::vector<test::TestEntry>& entries, const std::wstring& install, const std::wstring& sample,
             test::Recorder& recorder) {
    const std::string compressed = test::Bzip2(test::ArchiveBytes(entries));
    std::istringstream source(compressed);
    return cv::extract_payload(source, install, sample, L"", recorder.Callback());
}

TEST(SharedFolders, CommonDataFoldersAreGrantedOnceWhenTheirFirstFileIsWritten) {
    test::ScratchFolder install;
    const std::wstring corvenna = Shell(CSIDL_COMMON_APPDATA) + L"\\Corvenna";
    const std::wstring product = corvenna + L"\\Veltrano 7";
    const RemovedAtEnd cleanup{corvenna};
    // The rights of the second file's folder are taken away before that file is written:
    // were the folder granted again, the Users entry would come back.
    test::Recorder recorder([&](const test::Event& event) {
        if (event.index == test::EntryBegin && event.path.ends_with(L"second.vlb")) RemoveUsersEntries(product);
        return cv::notification::result::proceed;
    });
    ASSERT_TRUE(Extract({{L"first.vlb", L"<CommonData>\\Corvenna\\Veltrano 7", "one", 3},
                         {L"second.vlb", L"<CommonData>\\Corvenna\\Veltrano 7", "two", 3},
                         {L"program.exe", L"<InstallPath>", "exe", 1}},
                        install.path(), L"", recorder));
    EXPECT_EQ(test::ReadFile(product + L"\\second.vlb"), "two");
    if (!KeepsAccessLists()) GTEST_SKIP() << NoAccessLists;
    const UsersEntry parent = UsersEntryOf(corvenna);
    EXPECT_TRUE(parent.found);
    EXPECT_EQ(parent.mask, FullAccess);
    EXPECT_EQ(parent.flags, Inherit);
    EXPECT_FALSE(UsersEntryOf(product).found);
    EXPECT_FALSE(UsersEntryOf(install.path()).found);
}

TEST(SharedFolders, SamplesFolderOnTheCommonDesktopIsGranted) {
    test::ScratchFolder install;
    const std::wstring samples = Shell(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\Veltrano Examples";
    const RemovedAtEnd cleanup{samples};
    test::Recorder recorder;
    ASSERT_TRUE(Extract({{L"House.vtp", L"<SamplePath>", "house", 4}, {L"Deep.vtp", L"<SamplePath>\\More", "deep", 4}},
                        install.path(), L"Veltrano Examples", recorder));
    EXPECT_EQ(test::ReadFile(samples + L"\\More\\Deep.vtp"), "deep");
    if (!KeepsAccessLists()) GTEST_SKIP() << NoAccessLists;
    const UsersEntry entry = UsersEntryOf(samples);
    EXPECT_TRUE(entry.found);
    EXPECT_EQ(entry.mask, FullAccess);
    EXPECT_FALSE(UsersEntryOf(samples + L"\\More").found);
}

}  // namespace
