// Language choice from the user's settings, the message lookup with its fallbacks, titles.
#include <gtest/gtest.h>

#include <map>

#include "app/language.h"
#include "app/message_ids.h"
#include "tests/common/test_environment.h"

namespace {

class LanguageTest : public ::testing::Test {
protected:
    void TearDown() override { SetLanguage(French); }
};

TEST(LanguageTable, InstallerTextsAndProductLanguages) {
    const std::map<int, std::pair<bool, bool>> expected = {
        {French, {true, true}},      {English, {true, true}},    {German, {true, true}},
        {Spanish, {true, true}},     {Portuguese, {true, true}}, {Dutch, {true, false}},
        {Danish, {false, false}},    {Turkish, {true, true}},    {Bulgarian, {false, false}},
        {Romanian, {true, true}},    {Chinese, {true, false}},   {Italian, {true, true}},
        {Czech, {false, false}},     {Norwegian, {false, false}}, {Greek, {true, false}},
        {Polish, {false, false}},    {Hebrew, {true, false}},    {Vietnamese, {true, false}},
        {Japanese, {false, false}},  {Hungarian, {true, false}},
    };
    for (const auto& [code, flags] : expected) {
        EXPECT_EQ(IsProductLanguage(code), flags.first) << code;
        EXPECT_EQ(HasInstallerTexts(code), flags.second) << code;
    }
    EXPECT_TRUE(HasInstallerTexts(20));
    EXPECT_TRUE(HasInstallerTexts(-1));
    EXPECT_FALSE(IsProductLanguage(20));
}

TEST(LanguageTable, LanguageIdsAndBlocksOutsideTheTableAreFrench) {
    EXPECT_EQ(LanguageId(Italian), 0x0410);
    EXPECT_EQ(LanguageInfo(Italian).stringBase, 6000u);
    EXPECT_EQ(LanguageInfo(Bulgarian).stringBase, 11000u);
    EXPECT_EQ(LanguageId(0), 1036);
    EXPECT_EQ(LanguageId(20), 1036);
    EXPECT_EQ(LanguageId(-3), 1036);
    EXPECT_EQ(LanguageInfo(25).stringBase, 1000u);
}

TEST(LanguageTable, UserLanguageIds) {
    const struct {
        std::uint16_t languageId;
        std::uint32_t mask;
        Language expected;
    } cases[] = {
        {0x0C0C, ProductLanguageMask, French},    // French (Canada)
        {0x0404, ProductLanguageMask, English},   // Chinese (Taiwan)
        {0x0804, ProductLanguageMask, Chinese},   // Chinese (PRC)
        {0x1004, ProductLanguageMask, Chinese},   // Chinese (Singapore)
        {0x0C04, ProductLanguageMask, English},   // Chinese (Hong Kong)
        {0x0406, ProductLanguageMask, English},   // Danish: not a product language
        {0x0416, ProductLanguageMask, Portuguese},  // Brazil reads the Portuguese product
        {0x0407, 1, French},                      // no English bit: French
        {0x0407, 0x6, German},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LanguageForLanguageId(c.languageId, c.mask), c.expected) << std::hex << c.languageId;
    }
}

TEST(LanguageTable, ResolveFallsBackToEnglishThenFrench) {
    const std::map<unsigned, std::wstring_view> texts = {
        {2006, L"Next"}, {3006, L"Weiter"}, {2131, L"#"}, {3131, L"#"}, {3100, L"#"}, {2100, L"x"}};
    const auto text = [&](unsigned id) {
        const auto found = texts.find(id);
        return found == texts.end() ? std::wstring_view() : found->second;
    };
    EXPECT_EQ(ResolveLocalizedId(1006, German, text), 3006u);
    EXPECT_EQ(ResolveLocalizedId(1100, German, text), 2100u);
    EXPECT_EQ(ResolveLocalizedId(1131, German, text), 1131u);
    EXPECT_EQ(ResolveLocalizedId(1131, English, text), 1131u);
    EXPECT_EQ(ResolveLocalizedId(1006, Dutch, text), 2006u);
    EXPECT_EQ(ResolveLocalizedId(1006, French, text), 1006u);
}

TEST_F(LanguageTest, DutchReadsEnglishAndDirectXReadsFrench) {
    SetLanguage(Dutch);
    EXPECT_EQ(LocalizedStringId(msg::Next), 2006u);
    EXPECT_EQ(LoadLocalizedString(msg::Next), L"Next");
    EXPECT_EQ(LoadLocalizedString(msg::CopyingFile), L"Copying File  %1...");
    EXPECT_EQ(LocalizedStringId(msg::DirectXUpdate), 1131u);

    for (Language language : {English, German, Spanish, Portuguese, Turkish, Romanian, Italian}) {
        SetLanguage(language);
        EXPECT_EQ(LoadLocalizedString(msg::DirectXUpdate), L"Mise \u00e0 jour de DirectX...") << language;
        EXPECT_EQ(LocalizedStringId(msg::Next), msg::Next - 1000 + LanguageInfo(language).stringBase)
            << language;
    }
}

TEST_F(LanguageTest, EveryTranslatedTableHoldsEveryMessage) {
    const unsigned ids[] = {1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010,
                            1011, 1012, 1013, 1014, 1015, 1016, 1017, 1018, 1100, 1101, 1102,
                            1103, 1104, 1105, 1106, 1107, 1108, 1109, 1110, 1111, 1112, 1113,
                            1114, 1115, 1117, 1118, 1119, 1120, 1121, 1122, 1123, 1124, 1125,
                            1126, 1127, 1129, 1131};
    for (Language language : {French, English, German, Spanish, Portuguese, Turkish, Romanian, Italian}) {
        SetLanguage(language);
        for (unsigned id : ids) {
            EXPECT_FALSE(LoadLocalizedString(id).empty()) << language << " " << id;
            EXPECT_NE(LoadLocalizedString(id), L"#") << language << " " << id;
        }
    }
    EXPECT_TRUE(LoadLocalizedString(1116).empty());
}

TEST_F(LanguageTest, FormatInsertsBothArguments) {
    SetLanguage(English);
    EXPECT_EQ(FormatLocalized(msg::UpdateFromTo, L"Veltrano 7.03", L"Veltrano 7.04d"),
              L"Update from 'Veltrano 7.03' to 'Veltrano 7.04d'.");
    EXPECT_EQ(FormatLocalized(msg::ClickToContinue, LoadLocalizedString(msg::Next)),
              L"Click on 'Next' to continue.");
    EXPECT_EQ(FormatLocalized(msg::ConfirmExit),
              L"Installation is not complete.\r\n\r\nDo you still confirm exit Installation ?");
    // An insert's own text is not formatted again.
    EXPECT_EQ(FormatLocalized(msg::Failed, L"%2 100%"), L"Installation failed (Error Code %2 100%).");
}

TEST_F(LanguageTest, InstallerTitleForms) {
    SetLanguage(English);
    EXPECT_EQ(InstallerTitle(false), L"Installer");
    EXPECT_EQ(InstallerTitle(true), L"Installer \u2013 Veltrano 7.04d");
    SetLanguage(German);
    const std::wstring german = LoadLocalizedString(msg::InstallerName);
    EXPECT_NE(german, L"Installer \u2013 Veltrano 7.04d");
    EXPECT_EQ(InstallerTitle(false), german);
    EXPECT_EQ(InstallerTitle(true), german + L" \u2013 Veltrano 7.04d");
}

TEST_F(LanguageTest, SetLanguageFollowsTheLocaleOfTheLanguage) {
    SetLanguage(Turkish);
    EXPECT_EQ(CurrentLanguage(), Turkish);
    EXPECT_EQ(LANGIDFROMLCID(LanguageState::Get().lcid), 0x041F);
    EXPECT_EQ(LanguageState::Get().ansiCodePage, 1254u);
    SetLanguage(Greek);
    EXPECT_EQ(LanguageState::Get().ansiCodePage, 1253u);
}

TEST(LanguageSystem, RightToLeftOnlyHebrew) {
    for (int code = 0; code < LanguageCount; ++code) {
        EXPECT_EQ(IsRightToLeft(code), code == Hebrew) << code;
    }
}

TEST(LanguageSystem, NativeNamesStartUpperCase) {
    EXPECT_EQ(NativeLanguageName(French), L"Fran\u00e7ais");
    EXPECT_EQ(NativeLanguageName(German), L"Deutsch");
    EXPECT_EQ(NativeLanguageName(Spanish).substr(0, 3), L"Esp");
    EXPECT_EQ(NativeLanguageName(Italian), L"Italiano");
}

// Run once per Unix locale: Wine gives the user the language of LC_ALL.
TEST(LanguageFromUserSettings, FollowsTheUserDefaultLanguage) {
    const std::map<std::wstring, std::pair<Language, LANGID>> expected = {
        {L"en_US.UTF-8", {English, 0x0409}}, {L"fr_CA.UTF-8", {French, 0x0C0C}},
        {L"fr_FR.UTF-8", {French, 0x040C}},  {L"zh_TW.UTF-8", {English, 0x0404}},
        {L"zh_CN.UTF-8", {Chinese, 0x0804}}, {L"zh_SG.UTF-8", {Chinese, 0x1004}},
        {L"da_DK.UTF-8", {English, 0x0406}}, {L"de_DE.UTF-8", {German, 0x0407}},
    };
    const std::wstring locale = test::Environment(L"CV_TEST_LOCALE");
    if (locale.empty()) GTEST_SKIP() << "runs only under a locale chosen by the test list";
    const auto found = expected.find(locale);
    ASSERT_NE(found, expected.end());
    ASSERT_EQ(::GetUserDefaultLangID(), found->second.second);
    EXPECT_EQ(LanguageFromUser(ProductLanguageMask), found->second.first);
    // French keeps the user's own French locale name, not France's; the locale identifier
    // follows the user only when it is exactly the language's.
    if (locale == L"fr_CA.UTF-8") {
        EXPECT_EQ(ProcessLocaleName(French), L"fr-CA");
        EXPECT_EQ(LanguageLocaleId(French), 0x040Cu);
    } else if (locale == L"fr_FR.UTF-8") {
        EXPECT_EQ(LanguageLocaleId(French), ::GetUserDefaultLCID());
    } else if (locale == L"en_US.UTF-8") {
        EXPECT_EQ(ProcessLocaleName(French), L"fr-FR");
        EXPECT_EQ(ProcessLocaleName(English), L"en-US");
    }
}

}  // namespace
