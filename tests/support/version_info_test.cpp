// Version blocks: this program's own, and the fixtures' flags, languages and absences.
#include <gtest/gtest.h>

#include "support/ui_language.h"
#include "support/version_info.h"
#include "tests/common/test_environment.h"

namespace {

class VersionInfo : public ::testing::Test {
protected:
    void TearDown() override { cv::set_ui_language({}); }
    static void UseUiLanguage(LANGID id) { cv::set_ui_language({id, nullptr}); }
    static cv::version_info Fixture(const wchar_t* name) {
        return cv::version_info::from_file(test::FixturePath(name).c_str());
    }
};

TEST_F(VersionInfo, OwnBlock) {
    const cv::version_info own = cv::version_info::from_module();
    EXPECT_EQ(own.file_version(), 0x0002000400000001ULL);
    EXPECT_EQ(own.display_string(), L"Install 2.04");
    EXPECT_EQ(own.string_value(L"ApplicationId"), L"Veltrano7");
    EXPECT_EQ(own.string_value(L"OriginalFilename"), L"InstallVeltrano7.04d.exe");
    EXPECT_EQ(own.string_value(L"Missing"), L"");
    EXPECT_FALSE(own.legal_notice().empty());
    EXPECT_EQ(own.translation_list(), std::vector<std::wstring>{L"040004b0"});
    ASSERT_NE(own.fixed_info(), nullptr);
    EXPECT_EQ(own.fixed_info()->dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(own.fixed_info()->dwFileFlags, 0u);
}

TEST_F(VersionInfo, ReleaseProgram) {
    const cv::version_info info = Fixture(L"fixture_release.exe");
    EXPECT_EQ(info.file_version(), 0x0007000400040001ULL);
    EXPECT_EQ(info.display_string(), L"Veltrano 7.04d");
    EXPECT_EQ(info.translation_list(), std::vector<std::wstring>{L"040c04b0"});
}

TEST_F(VersionInfo, PreReleaseBetaMarker) {
    const cv::version_info info = Fixture(L"fixture_prerelease.exe");
    UseUiLanguage(0x0409);
    EXPECT_EQ(info.display_string(), L"Veltrano 7.04 b\u00eata 2 beta") << "only the last one changes";
    UseUiLanguage(0x0407);
    EXPECT_EQ(info.display_string(), L"Veltrano 7.04 b\u00eata 2 beta");
    UseUiLanguage(0x0C0C);
    EXPECT_EQ(info.display_string(), L"Veltrano 7.04 b\u00eata 2 b\u00eata") << "French keeps it";
}

TEST_F(VersionInfo, PrivateAndDebugFlags) {
    EXPECT_EQ(Fixture(L"fixture_private_debug.exe").display_string(),
              L"Veltrano 7.04d \u2013 Private \u2013 Debug");
    EXPECT_EQ(Fixture(L"fixture_masked_flags.exe").display_string(), L"Veltrano 7.04d")
        << "flags outside the mask are not set";
}

TEST_F(VersionInfo, MissingPartsGiveEmptyValues) {
    const cv::version_info ansi = Fixture(L"fixture_ansi_only.exe");
    EXPECT_EQ(ansi.file_version(), 0x0007000400040001ULL);
    EXPECT_TRUE(ansi.translation_list().empty());
    EXPECT_EQ(ansi.product_name(), L"");
    EXPECT_EQ(ansi.display_string(), L"");

    for (const wchar_t* name : {L"fixture_no_version.exe", L"missing.exe"}) {
        const cv::version_info none = Fixture(name);
        EXPECT_EQ(none.file_version(), 0u) << name;
        EXPECT_EQ(none.fixed_info(), nullptr) << name;
        EXPECT_EQ(none.display_string(), L"") << name;
    }
}

TEST_F(VersionInfo, MovedRecordKeepsItsBlock) {
    cv::version_info first = Fixture(L"fixture_release.exe");
    cv::version_info second = std::move(first);
    EXPECT_EQ(second.display_string(), L"Veltrano 7.04d");
    EXPECT_EQ(first.file_version(), 0u);
}

TEST(VersionDisplay, CompositionRule) {
    EXPECT_EQ(cv::compose_version_display(L"Install", L"", 0, false), L"Install");
    EXPECT_EQ(cv::compose_version_display(L"", L"", VS_FF_DEBUG, false), L" \u2013 Debug");
    EXPECT_EQ(cv::compose_version_display(L"X", L"b\u00eata", VS_FF_PRERELEASE, false), L"X beta");
    EXPECT_EQ(cv::compose_version_display(L"X", L"b\u00eata", 0, false), L"X b\u00eata");
}

}  // namespace
