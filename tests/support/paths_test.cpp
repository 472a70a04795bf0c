// Path services: identity of paths, lexical normalisation, attributes, libraries, known folders.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <system_error>

#include "support/paths.h"
#include "tests/common/scratch_folder.h"

namespace {

struct NormalizeCase {
    const wchar_t* input;
    const wchar_t* expected;
};

class Normalize : public ::testing::TestWithParam<NormalizeCase> {};

TEST_P(Normalize, Lexically) { EXPECT_EQ(cv::normalize_path(GetParam().input), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Paths, Normalize,
                         ::testing::Values(NormalizeCase{L"", L""},
                                           NormalizeCase{L"C:\\Dir\\Sub\\..\\File", L"C:\\Dir\\File"},
                                           NormalizeCase{L"C:\\a\\.\\b\\..\\c", L"C:\\a\\c"},
                                           NormalizeCase{L"C:/a/b", L"C:\\a\\b"},
                                           NormalizeCase{L"C:\\a\\", L"C:\\a"},
                                           NormalizeCase{L"C:\\", L"C:\\"},
                                           NormalizeCase{L"C:\\..\\a", L"C:\\..\\a"},
                                           NormalizeCase{L"C:\\a\\..\\..\\b", L"C:\\a\\..\\..\\b"},
                                           NormalizeCase{L"a\\..\\..\\b", L"..\\b"},
                                           NormalizeCase{L"..\\..\\x", L"..\\..\\x"},
                                           NormalizeCase{L"a/b/..", L"a"},
                                           NormalizeCase{L"\\\\server\\share\\a\\..\\b", L"\\\\server\\share\\b"}));

class SamePath : public ::testing::Test {
protected:
    test::ScratchFolder scratch;
};

TEST_F(SamePath, MissingPathsCompareLexicallyIgnoringCase) {
    EXPECT_TRUE(cv::same_path(scratch / L"Dir\\Sub\\..\\File", scratch / L"dir\\file"));
    EXPECT_FALSE(cv::same_path(scratch / L"Dir\\Sub\\..\\File", scratch / L"dir\\sub\\file"));
    EXPECT_FALSE(cv::same_path(scratch / L"Dir\\Fil", scratch / L"Dir\\File"));
}

TEST_F(SamePath, ExistingPathsCompareAsObjects) {
    scratch.File(L"Dir\\File");
    scratch.File(L"Dir\\Other");
    EXPECT_TRUE(cv::same_path(scratch / L"Dir\\Sub\\..\\File", scratch / L"dir\\file"));
    EXPECT_TRUE(cv::same_path(scratch / L"Dir", scratch / L"DIR\\."));
    EXPECT_FALSE(cv::same_path(scratch / L"Dir\\File", scratch / L"Dir\\Other"));
}

TEST_F(SamePath, ExistingAgainstMissingIsFalseWithoutLexicalComparison) {
    const std::wstring file = scratch.File(L"Dir\\File");
    // Lexically the same once normalised, but only one of them opens.
    EXPECT_FALSE(cv::same_path(file, file + L"\\"));
}

TEST_F(SamePath, SameTextIsTrueWithoutAskingTheFileSystem) {
    EXPECT_TRUE(cv::same_path(L"Z:\\no\\such\\thing", L"Z:\\no\\such\\thing"));
    EXPECT_TRUE(cv::same_path(L"", L""));
}

TEST_F(SamePath, RelativePathIsMadeAbsoluteAgainstTheCurrentFolder) {
    const std::wstring inner = scratch.Folder(L"a");
    wchar_t saved[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, saved);
    ASSERT_TRUE(::SetCurrentDirectoryW(inner.c_str()));
    const bool parent = cv::same_path(L"..\\x", scratch / L"X");
    const bool sibling = cv::same_path(L"..\\x", scratch / L"a\\x");
    ::SetCurrentDirectoryW(saved);
    EXPECT_TRUE(parent);
    EXPECT_FALSE(sibling);
}

class Attributes : public ::testing::Test {
protected:
    test::ScratchFolder scratch;
    static DWORD Of(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()); }
};

TEST_F(Attributes, ReadOnlyClearedOthersKept) {
    const std::wstring file = scratch.File(L"file.txt");
    ASSERT_TRUE(::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    cv::clear_read_only(file);
    EXPECT_EQ(Of(file) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), DWORD(FILE_ATTRIBUTE_HIDDEN));
}

TEST_F(Attributes, FoldersAndMissingPathsUntouched) {
    const std::wstring folder = scratch.Folder(L"folder");
    ASSERT_TRUE(::SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_READONLY));
    const DWORD before = Of(folder);
    cv::clear_read_only(folder);
    EXPECT_EQ(Of(folder), before);
    cv::clear_read_only(scratch / L"missing.txt");
    cv::clear_read_only(L"");
}

TEST_F(Attributes, LinkTargetCleared) {
    const std::wstring target = scratch.File(L"target.txt");
    const std::wstring link = scratch / L"link.txt";
    // Wine 8 answers CreateSymbolicLinkW with success but creates nothing.
    if (!::CreateSymbolicLinkW(link.c_str(), target.c_str(), 0) || Of(link) == INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "symbolic links cannot be created here";
    }
    ASSERT_TRUE(::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
    cv::clear_read_only(link);
    EXPECT_FALSE(Of(target) & FILE_ATTRIBUTE_READONLY);
}

TEST(SystemLibraries, LoadedFromTheSystemAndMissingOnesNull) {
    const HMODULE kernel = cv::load_system_library(L"kernel32.dll");
    EXPECT_EQ(kernel, ::GetModuleHandleW(L"kernel32.dll"));
    EXPECT_EQ(cv::load_system_library(L"cv-no-such-library.dll"), nullptr);
    EXPECT_EQ(cv::system_module(L"kernel32.dll"), kernel);
    EXPECT_NE(cv::system_module(L"advapi32.dll"), nullptr);
}

TEST(KnownFolders, ResolvedWithoutCreatingAndFailuresThrow) {
    wchar_t common[MAX_PATH] = {};
    ASSERT_EQ(::SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, common), S_OK);
    EXPECT_EQ(cv::known_folder(FOLDERID_ProgramData), common);
    const GUID unknown = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    EXPECT_THROW(cv::known_folder(unknown), std::system_error);
}

TEST(KnownFolders, MakerFolders) {
    wchar_t roaming[MAX_PATH] = {};
    wchar_t documents[MAX_PATH] = {};
    ASSERT_EQ(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, roaming), S_OK);
    ASSERT_EQ(::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents), S_OK);
    EXPECT_EQ(cv::maker_common_data_folder(), cv::known_folder(FOLDERID_ProgramData) + L"\\Corvenna");
    EXPECT_EQ(cv::maker_user_data_folder(), std::wstring(roaming) + L"\\Corvenna");
    EXPECT_EQ(cv::documents_folder(), documents);
}

}  // namespace
