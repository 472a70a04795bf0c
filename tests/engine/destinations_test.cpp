// Destination placeholders: the token table, the samples folder and the shared folders.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "engine/archive_sink.h"
#include "engine/compress_error.h"
#include "engine/destination_tokens.h"
#include "engine/shell_folder.h"
#include "tests/engine/archive_builder.h"

namespace {

const std::error_code Unexpected = cv::make_error_code(cv::compress_errc::unexpected);
const std::wstring Install = L"C:\\Program Files\\Corvenna\\Veltrano 7";

std::wstring Shell(int csidl) {
    wchar_t path[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

cv::archive_sink Sink(const std::wstring& sample = L"Veltrano Examples", const std::wstring& temporary = L"C:\\Temp\\corvenna_{x}") {
    return cv::archive_sink(Install, sample, temporary, [](const cv::notification&) { return cv::notification::result::proceed; });
}

using test::CodeOf;

TEST(DestinationTokens, ResolveToTheirFolders) {
    const std::pair<const wchar_t*, std::wstring> cases[] = {
        {L"<InstallPath>\\Lang", Install + L"\\Lang"},
        {L"<InstallPath>", Install},
        {L"<InstallPath>\\Lang\\", Install + L"\\Lang"},
        {L"<Temporary>", L"C:\\Temp\\corvenna_{x}"},
        {L"<ProgramFiles>\\Corvenna", Shell(CSIDL_PROGRAM_FILES) + L"\\Corvenna"},
        {L"<ProgramCommon>", Shell(CSIDL_PROGRAM_FILES_COMMON)},
        {L"<CommonData>\\Corvenna\\Materials", Shell(CSIDL_COMMON_APPDATA) + L"\\Corvenna\\Materials"},
        {L"<UserData>\\Corvenna\\Veltrano 7", Shell(CSIDL_APPDATA) + L"\\Corvenna\\Veltrano 7"},
        {L"<CommonDocuments>", Shell(CSIDL_COMMON_DOCUMENTS)},
        {L"<Documents>\\Veltrano", Shell(CSIDL_PERSONAL) + L"\\Veltrano"},
        {L"<CommonDesktop>", Shell(CSIDL_COMMON_DESKTOPDIRECTORY)},
        {L"<Desktop>", Shell(CSIDL_DESKTOPDIRECTORY)},
        {L"<WinDir>", Shell(CSIDL_WINDOWS)},
        {L"<System>", Shell(CSIDL_SYSTEM)},
        {L"C:\\Data", L"C:\\Data"},
        {L"Data\\<InstallPath>", L"Data\\<InstallPath>"},
        {L"", L""},
        {L"<Install", L"<Install"},
    };
    for (const auto& [destination, expected] : cases) {
        auto sink = Sink();
        EXPECT_EQ(sink.resolve_destination(destination), expected) << destination;
    }
}

TEST(DestinationTokens, TemporaryFallsBackToTheInstallationFolder) {
    auto sink = Sink(L"Veltrano Examples", L"");
    EXPECT_EQ(sink.resolve_destination(L"<Temporary>"), Install);
}

TEST(DestinationTokens, UnknownTokenOrOtherLetterCaseFails) {
    for (const wchar_t* destination : {L"<Nowhere>", L"<installpath>\\Lang", L"<COMMONDATA>", L"<>"}) {
        auto sink = Sink();
        EXPECT_EQ(CodeOf([&] { sink.resolve_destination(destination); }), Unexpected) << destination;
    }
}

TEST(DestinationTokens, TableIsInTestOrderAndExact) {
    std::vector<std::wstring_view> names;
    for (const auto& token : cv::destination_tokens()) names.push_back(token.name);
    EXPECT_EQ(names, (std::vector<std::wstring_view>{L"<InstallPath>", L"<SamplePath>", L"<ProgramFiles>", L"<ProgramCommon>",
                                                     L"<CommonData>", L"<UserData>", L"<CommonDocuments>", L"<Documents>",
                                                     L"<CommonDesktop>", L"<Desktop>", L"<WinDir>", L"<System>",
                                                     L"<Temporary>"}));
    EXPECT_EQ(cv::find_destination_token(L"<CommonData>")->fallback, CSIDL_APPDATA);
    EXPECT_FALSE(cv::find_destination_token(L"<UserData>")->has_fallback);
    EXPECT_EQ(cv::find_destination_token(L"<Commondata>"), nullptr);
}

TEST(SharedFolders, CommonDataRegistersEveryFolderBelowTheTokenOnce) {
    auto sink = Sink();
    const std::wstring common = Shell(CSIDL_COMMON_APPDATA);
    sink.resolve_destination(L"<CommonData>\\Corvenna\\Veltrano 7");
    ASSERT_EQ(sink.shared_folders().size(), 2u);
    EXPECT_EQ(sink.shared_folders()[0].path, common + L"\\Corvenna");
    EXPECT_EQ(sink.shared_folders()[1].path, common + L"\\Corvenna\\Veltrano 7");
    EXPECT_FALSE(sink.shared_folders()[0].handled);
    sink.resolve_destination(L"<CommonData>\\Corvenna\\Veltrano 7");
    sink.resolve_destination(L"<CommonData>\\CORVENNA");
    EXPECT_EQ(sink.shared_folders().size(), 2u);
    sink.resolve_destination(L"<CommonData>\\Corvenna\\Materials");
    EXPECT_EQ(sink.shared_folders().size(), 3u);
}

TEST(SharedFolders, OnlyTheSharedTokensRegister) {
    auto sink = Sink(L"C:\\Samples");
    for (const wchar_t* destination : {L"<InstallPath>\\Lang", L"<UserData>\\Corvenna", L"<Temporary>", L"<SamplePath>\\x",
                                       L"<ProgramFiles>\\Corvenna", L"C:\\Data\\x"})
        sink.resolve_destination(destination);
    EXPECT_TRUE(sink.shared_folders().empty());
    sink.resolve_destination(L"<CommonDocuments>\\Corvenna");
    sink.resolve_destination(L"<CommonDesktop>\\Corvenna");
    EXPECT_EQ(sink.shared_folders().size(), 2u);
}

TEST(SamplesFolder, RelativeNameGoesOnTheCommonDesktopAndIsShared) {
    auto sink = Sink(L"Veltrano Examples");
    const std::wstring base = Shell(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\Veltrano Examples";
    EXPECT_EQ(sink.resolve_destination(L"<SamplePath>"), base);
    EXPECT_EQ(sink.resolve_destination(L"<SamplePath>\\Projects\\House"), base + L"\\Projects\\House");
    ASSERT_EQ(sink.shared_folders().size(), 1u);
    EXPECT_EQ(sink.shared_folders()[0].path, base);
}

TEST(SamplesFolder, AbsolutePathIsUsedAsItIs) {
    auto sink = Sink(L"D:\\Samples");
    EXPECT_EQ(sink.resolve_destination(L"<SamplePath>\\x"), L"D:\\Samples\\x");
    EXPECT_TRUE(sink.shared_folders().empty());
}

TEST(SamplesFolder, EmptyNameIsTheCommonDesktop) {
    auto sink = Sink(L"");
    EXPECT_EQ(sink.resolve_destination(L"<SamplePath>"), Shell(CSIDL_COMMON_DESKTOPDIRECTORY));
    EXPECT_TRUE(sink.shared_folders().empty());
}

TEST(SamplesFolder, RootedButDriveLessNameIsJoinedToTheDesktop) {
    auto sink = Sink(L"\\Samples");
    EXPECT_EQ(sink.resolve_destination(L"<SamplePath>"), Shell(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\Samples");
    EXPECT_EQ(sink.shared_folders().size(), 1u);
}

TEST(ShellFolder, FallsBackOnlyWhenAsked) {
    constexpr int Missing = 0xFF;  // no such folder
    EXPECT_EQ(cv::shell_folder(CSIDL_APPDATA, Missing, false), Shell(CSIDL_APPDATA));
    EXPECT_EQ(cv::shell_folder(Missing, CSIDL_APPDATA, true), Shell(CSIDL_APPDATA));
    EXPECT_EQ(CodeOf([] { cv::shell_folder(Missing, CSIDL_APPDATA, false); }), Unexpected);
    EXPECT_EQ(CodeOf([] { cv::shell_folder(Missing, Missing, true); }), Unexpected);
}

}  // namespace
