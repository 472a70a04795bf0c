// The application object in this process: earlier installation, default folders, language,
// the whole initialization phase up to the wizard.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "app/install_app.h"
#include "app/language.h"
#include "app/product.h"
#include "app/static_phase.h"
#include "support/registry.h"
#include "support/ui_hooks.h"
#include "support/error_text.h"
#include "tests/common/message_box_driver.h"
#include "tests/common/scratch_folder.h"
#include "tests/common/test_environment.h"

namespace {

constexpr const wchar_t* UninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrano 7";

std::wstring ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    ::SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE);
    return path;
}

void StoreString(const wchar_t* keyPath, const wchar_t* name, const std::wstring& text) {
    const cv::reg_key key = cv::reg_create_key(HKEY_LOCAL_MACHINE, keyPath);
    ::RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// The earlier installation that InitInstance finds is the same for the whole process: the
// recorded program path is read once.
class EarlierProgram : public ::testing::Environment {
public:
    void SetUp() override {
        applicationId = L"Veltrano7";
        ASSERT_TRUE(CheckProcessor());
        StoreString(L"Software\\Corvenna", L"Veltrano 7 Path", test::FixturePath(L"fixture_v7_4_3_9.exe"));
    }
    void TearDown() override {
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Corvenna");
        ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"Software\\Corvenna");
    }
};
const auto* const earlierProgram = ::testing::AddGlobalTestEnvironment(new EarlierProgram);

class InstallApp : public ::testing::Test {
protected:
    void TearDown() override {
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, UninstallKey);
        ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, UninstallKey);
    }
};

TEST_F(InstallApp, InitialContext) {
    CInstallApp app;
    EXPECT_EQ(app.previousState, NoneInstalled);
    EXPECT_FALSE(app.installerMutex.owned());
    EXPECT_TRUE(app.installFolder.empty() && app.startMenuFolder.empty() && app.tempFolder.empty());
    EXPECT_EQ(app.installDone, 0);
    EXPECT_EQ(app.installedVersion, 0u);
    EXPECT_EQ(productId, 775);
    EXPECT_EQ(&::InstallApp(), &app);
    EXPECT_NE(cv::ui_hooks::get().icon, nullptr);
    EXPECT_NE(cv::ui_hooks::get().icon(), nullptr);
}

struct VersionCase {
    const wchar_t* fixture;
    PreviousInstall state;
    const wchar_t* text;
    std::uint64_t version;
};

void PrintTo(const VersionCase& c, std::ostream* out) { *out << std::string(c.fixture, c.fixture + wcslen(c.fixture)); }

class Classification : public InstallApp, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(Classification, ByTheUnsignedFileVersion) {
    const VersionCase& c = GetParam();
    CInstallApp app;
    app.DetectEarlierInstallation(test::FixturePath(c.fixture));
    EXPECT_EQ(app.previousState, c.state);
    EXPECT_EQ(app.installedVersionText, c.text);
    EXPECT_EQ(app.installedVersion, c.version);
    std::wstring text = L"unchanged";
    EXPECT_EQ(app.GetPreviousState(&text), c.state);
    EXPECT_EQ(text, c.state == OlderVersion || c.state == NewerVersion ? c.text : L"unchanged");
}

INSTANTIATE_TEST_SUITE_P(
    App, Classification,
    ::testing::Values(VersionCase{L"fixture_release.exe", SameVersion, L"", 0},
                      VersionCase{L"fixture_v7_4_4_2.exe", NewerVersion, L"Veltrano 7.04d", 0},
                      VersionCase{L"fixture_v7_4_3_9.exe", OlderVersion, L"Veltrano 7.04d", 0x0007000400030009ULL},
                      VersionCase{L"fixture_v7_3_65535_65535.exe", OlderVersion, L"Veltrano 7.04d",
                                  0x00070003FFFFFFFFULL},
                      VersionCase{L"fixture_v8_0_0_0.exe", NewerVersion, L"Veltrano 7.04d", 0},
                      VersionCase{L"fixture_no_version.exe", SameVersion, L"", 0}));

TEST_F(InstallApp, NoRecordedProgramIsNoneInstalled) {
    CInstallApp app;
    app.DetectEarlierInstallation(L"");
    EXPECT_EQ(app.previousState, NoneInstalled);
    std::wstring text = L"unchanged";
    app.GetPreviousState(&text);
    EXPECT_EQ(text, L"unchanged");
}

// An earlier installation whose log records folders that still exist.
class EarlierLog : public InstallApp {
protected:
    void SetUp() override {
        const std::wstring uninstaller = scratch.File(L"Veltrano\\Uninstall.exe");
        StoreString(UninstallKey, L"UninstallString", uninstaller);
        CUninstallLog log;
        ASSERT_TRUE(log.Commit(scratch / L"Veltrano\\Uninstall.ulog", folder, group));
    }
    test::ScratchFolder scratch;
    std::wstring folder = scratch.Folder(L"Apps\\Veltrano");
    std::wstring group = scratch.Folder(L"Programs\\Corvenna\\Veltrano 7");
};

TEST_F(EarlierLog, OlderAndSameVersionTakeTheRecordedFolders) {
    for (const wchar_t* fixture : {L"fixture_v7_4_3_9.exe", L"fixture_release.exe"}) {
        CInstallApp app;
        app.DetectEarlierInstallation(test::FixturePath(fixture));
        EXPECT_EQ(app.installFolder, folder) << fixture;
        EXPECT_EQ(app.startMenuFolder, group) << fixture;
        app.SetDefaultFolders();
        EXPECT_EQ(app.installFolder, folder) << "the recorded folder is kept";
    }
}

TEST_F(EarlierLog, NewerVersionIgnoresTheLog) {
    CInstallApp app;
    app.DetectEarlierInstallation(test::FixturePath(L"fixture_v8_0_0_0.exe"));
    EXPECT_EQ(app.previousState, NewerVersion);
    EXPECT_TRUE(app.installFolder.empty());
    EXPECT_TRUE(app.uninstallLog.installPath.empty());
}

TEST_F(InstallApp, DefaultFoldersUnderProgramFilesAndTheCommonPrograms) {
    CInstallApp app;
    app.SetDefaultFolders();
    EXPECT_EQ(app.installFolder, ShellFolder(CSIDL_PROGRAM_FILES) + L"\\Corvenna\\Veltrano 7");
    EXPECT_EQ(app.startMenuFolder, ShellFolder(CSIDL_COMMON_PROGRAMS) + L"\\Corvenna\\Veltrano 7");
    EXPECT_FALSE(ShellFolder(CSIDL_PROGRAM_FILES).empty());
}

struct LanguageCase {
    int stored;  // -1: no value
    Language expected;
};

void PrintTo(const LanguageCase& c, std::ostream* out) { *out << "CvLanguage " << c.stored; }

class StoredLanguage : public InstallApp, public ::testing::WithParamInterface<LanguageCase> {};

// The whole initialization phase as far as the wizard, on an English Windows.
TEST_P(StoredLanguage, InitInstanceChoosesTheLanguageAndFillsTheContext) {
    ASSERT_EQ(PRIMARYLANGID(::GetUserDefaultLangID()), LANG_ENGLISH) << "the test expects an English Windows";
    if (GetParam().stored >= 0) {
        const cv::reg_key key = cv::reg_create_key(HKEY_LOCAL_MACHINE, UninstallKey);
        const DWORD value = static_cast<DWORD>(GetParam().stored);
        ::RegSetValueExW(key.get(), L"CvLanguage", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    }
    CInstallApp app;
    BOOL result = TRUE;
    const auto box = test::AnswerBox([&] { result = app.InitInstance(); }, IDCANCEL);
    ASSERT_FALSE(box) << "start-up refused: " << std::string(box->text.begin(), box->text.end());
    EXPECT_FALSE(result);
    EXPECT_EQ(CurrentLanguage(), GetParam().expected);
    EXPECT_EQ(app.AppName(), InstallerTitle(true));
    EXPECT_TRUE(app.installerMutex.owned());
    EXPECT_EQ(app.previousState, OlderVersion);
    EXPECT_EQ(app.installedVersion, 0x0007000400030009ULL);
    EXPECT_EQ(app.installFolder, ShellFolder(CSIDL_PROGRAM_FILES) + L"\\Corvenna\\Veltrano 7");
    EXPECT_EQ(app.startMenuFolder, ShellFolder(CSIDL_COMMON_PROGRAMS) + L"\\Corvenna\\Veltrano 7");
    EXPECT_EQ(app.createMenuShortcut, 1);
    EXPECT_EQ(app.createDesktopShortcut, 1);
    EXPECT_EQ(app.advancedInstall, 0);
    SetLanguage(French);
}

INSTANTIATE_TEST_SUITE_P(App, StoredLanguage,
                         ::testing::Values(LanguageCase{-1, English}, LanguageCase{9, Romanian},
                                           LanguageCase{5, English}, LanguageCase{6, English},
                                           LanguageCase{2, German}, LanguageCase{20, English}));

TEST_F(InstallApp, ProcessorFlagUnsetEndsStartUpWithTheUnexpectedError) {
    processorSupported = false;
    CInstallApp app;
    BOOL result = TRUE;
    const auto box = test::AnswerBox([&] { result = app.InitInstance(); }, IDOK);
    processorSupported = true;
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, cv::system_message(static_cast<DWORD>(E_UNEXPECTED), 0));
    EXPECT_EQ(box->icon, test::BoxIcon::warning);
    EXPECT_FALSE(result);
    EXPECT_FALSE(app.installerMutex.owned());
    EXPECT_TRUE(app.installFolder.empty());
}

}  // namespace
