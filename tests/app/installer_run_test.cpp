// The real installer started as a user starts it: its start-up to the wizard and every refusal.
#include <gtest/gtest.h>

#include "app/instance_checks.h"
#include "app/language.h"
#include "app/message_ids.h"
#include "app/product.h"
#include "support/error_text.h"
#include "support/registry.h"
#include "tests/common/child_process.h"
#include "tests/common/message_box_driver.h"
#include "tests/common/scratch_folder.h"
#include "tests/common/test_environment.h"

namespace {

constexpr const wchar_t* Id = L"Veltrano7";
constexpr const wchar_t* UninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrano 7";

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// Waits for the installer's end and fails on any box it shows on the way.
void ExpectSilentEnd(const test::ChildProcess& installer) {
    const ULONGLONG end = ::GetTickCount64() + 30000;
    while (installer.Running() && ::GetTickCount64() < end) {
        if (const auto box = test::FindMessageBox(installer.id())) {
            ADD_FAILURE() << "unexpected box: " << Narrow(box->text);
            ::PostMessageW(box->window, WM_CLOSE, 0, 0);
        }
        ::Sleep(100);
    }
    ASSERT_TRUE(installer.Wait(5000)) << "the installer did not end";
    EXPECT_EQ(installer.ExitCode(), 0u);
}

// The running product, as far as the installer can see it: a process with a count.
class RunningProduct {
public:
    RunningProduct()
        : ready_(::CreateEventW(nullptr, TRUE, FALSE, ReadyName().c_str())),
          end_(::CreateEventW(nullptr, TRUE, FALSE, EndName().c_str())),
          process_(test::ProgramFolder() + L"count_holder.exe",
                   std::wstring(Id) + L" " + ReadyName() + L" " + EndName()) {
        if (::WaitForSingleObject(ready_.get(), 20000) != WAIT_OBJECT_0) throw std::runtime_error("holder not ready");
    }
    void End() {
        ::SetEvent(end_.get());
        process_.Wait();
    }

private:
    static std::wstring ReadyName() { return L"CvHolderReady." + std::to_wstring(::GetCurrentProcessId()); }
    static std::wstring EndName() { return L"CvHolderEnd." + std::to_wstring(::GetCurrentProcessId()); }
    cv::unique_handle ready_;
    cv::unique_handle end_;
    test::ChildProcess process_;
};

class Installer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(PRIMARYLANGID(::GetUserDefaultLangID()), LANG_ENGLISH); }
    void TearDown() override {
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, UninstallKey);
        ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, UninstallKey);
        SetLanguage(French);
    }
    static std::wstring CloseProductText(Language language) {
        SetLanguage(language);
        return FormatLocalized(msg::CloseProduct, ProductTitle(true));
    }
    static std::wstring Title(Language language) {
        SetLanguage(language);
        return InstallerTitle(true);
    }
};

TEST_F(Installer, RunsItsStartUpToTheWizardAndEnds) {
    const test::ChildProcess installer(test::InstallerPath());
    ExpectSilentEnd(installer);
}

TEST_F(Installer, SecondCopyShowsTheBusyErrorAndLeavesTheCountAlone) {
    // This process plays the first installer: it holds the mutex and its count.
    InstanceCounter first(Id);
    const cv::unique_handle mutex = CreateGlobalMutex(true, std::wstring(Id) + InstallerMutexSuffix);
    ASSERT_TRUE(mutex);
    const test::ChildProcess second(test::InstallerPath());
    const test::MessageBoxView box = test::WaitForMessageBox(second.id());
    EXPECT_EQ(box.text, cv::system_message(ERROR_BUSY, 0));
    EXPECT_EQ(box.caption, L"InstallVeltrano7.04d");
    EXPECT_EQ(box.ButtonIds(), std::vector<int>{IDOK});
    EXPECT_NE(box.icon, test::BoxIcon::none);
    test::PressButton(box, IDOK);
    ASSERT_TRUE(second.Wait());
    EXPECT_EQ(first.RunningCount(), 1);
}

TEST_F(Installer, MutexThatCannotBeCreatedCountsAsBusy) {
    const cv::unique_handle squatter = CreateGlobalSemaphore(0, 1, std::wstring(Id) + InstallerMutexSuffix);
    ASSERT_TRUE(squatter);
    const test::ChildProcess installer(test::InstallerPath());
    const test::MessageBoxView box = test::WaitForMessageBox(installer.id());
    EXPECT_EQ(box.text, cv::system_message(ERROR_BUSY, 0));
    test::PressButton(box, IDOK);
    EXPECT_TRUE(installer.Wait());
}

TEST_F(Installer, RunningProductAskedForOnEveryRetryUntilItEnds) {
    RunningProduct product;
    const test::ChildProcess installer(test::InstallerPath());
    for (int attempt = 0; attempt < 2; ++attempt) {
        const test::MessageBoxView box = test::WaitForMessageBox(installer.id());
        EXPECT_EQ(box.text, CloseProductText(English));
        EXPECT_EQ(box.text, L"You should close 'Veltrano' before continuing Installation.");
        EXPECT_EQ(box.caption, Title(English));
        EXPECT_EQ(box.ButtonIds(), (std::vector<int>{IDRETRY, IDCANCEL}));
        EXPECT_NE(box.icon, test::BoxIcon::none);
        if (attempt == 1) product.End();
        test::PressButton(box, IDRETRY);
        ASSERT_TRUE(test::WaitUntilClosed(box.window));
    }
    ExpectSilentEnd(installer);
}

TEST_F(Installer, CancelWhileTheProductRunsEndsStartUp) {
    RunningProduct product;
    const test::ChildProcess installer(test::InstallerPath());
    const test::MessageBoxView box = test::WaitForMessageBox(installer.id());
    test::PressButton(box, IDCANCEL);
    EXPECT_TRUE(installer.Wait());
    EXPECT_FALSE(test::FindMessageBox(installer.id()));
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR languages) {
    reinterpret_cast<std::vector<WORD>*>(languages)->push_back(language);
    return TRUE;
}

// A copy of the installer whose manifest binds no common controls, so that it gets version 5.
std::wstring InstallerWithoutManifest(const test::ScratchFolder& scratch) {
    const std::wstring copy = scratch / L"InstallVeltrano7.04d.exe";
    if (!::CopyFileW(test::InstallerPath().c_str(), copy.c_str(), FALSE)) return {};
    std::vector<WORD> languages;
    {
        const cv::unique_module image(::LoadLibraryExW(copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        if (!image) return {};
        ::EnumResourceLanguagesW(image.get(), RT_MANIFEST, MAKEINTRESOURCEW(1), CollectLanguage,
                                 reinterpret_cast<LONG_PTR>(&languages));
    }
    const HANDLE update = ::BeginUpdateResourceW(copy.c_str(), FALSE);
    if (!update) return {};
    static const char plain[] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
        "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\"/>";
    for (WORD language : languages) {
        ::UpdateResourceW(update, RT_MANIFEST, MAKEINTRESOURCEW(1), language, const_cast<char*>(plain),
                          sizeof(plain) - 1);
    }
    return ::EndUpdateResourceW(update, FALSE) && !languages.empty() ? copy : std::wstring();
}

TEST_F(Installer, WithoutCommonControls6InitializationErrorEndsWithMinus11) {
    const test::ScratchFolder scratch;
    const std::wstring program = InstallerWithoutManifest(scratch);
    ASSERT_FALSE(program.empty()) << "the copy without manifest could not be made";
    {
        const cv::unique_module image(::LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        ASSERT_TRUE(image);
        const HRSRC manifest = ::FindResourceW(image.get(), MAKEINTRESOURCEW(1), RT_MANIFEST);
        ASSERT_TRUE(manifest);
        ASSERT_LT(::SizeofResource(image.get(), manifest), 200u) << "the manifest was not replaced";
    }
    const test::ChildProcess installer(program);
    const test::MessageBoxView box = test::WaitForMessageBox(installer.id());
    EXPECT_EQ(box.text, L"Initialization Error");
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.ButtonIds(), std::vector<int>{IDOK});
    EXPECT_NE(box.icon, test::BoxIcon::none);
    EXPECT_NE(box.caption, L"InstallVeltrano7.04d") << "no caption of the program's own";
    test::PressButton(box, IDOK);
    ASSERT_TRUE(installer.Wait());
    EXPECT_EQ(static_cast<LONG>(installer.ExitCode()), -11);
}

// The user's token without the Administrators group, as a user who is no administrator has it.
cv::unique_handle TokenWithoutAdministrators() {
    cv::unique_handle process;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ALL_ACCESS, process.put())) return {};
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!::AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                    &administrators)) {
        return {};
    }
    SID_AND_ATTRIBUTES disabled = {administrators, 0};
    cv::unique_handle restricted;
    const BOOL made = ::CreateRestrictedToken(process.get(), 0, 1, &disabled, 0, nullptr, 0, nullptr, restricted.put());
    ::FreeSid(administrators);
    return made ? std::move(restricted) : cv::unique_handle();
}

TEST_F(Installer, UserWithoutAdministratorRightsIsRefused) {
    const cv::unique_handle token = TokenWithoutAdministrators();
    if (!token) GTEST_SKIP() << "Wine cannot make a token without the Administrators group";
    const test::ChildProcess installer(test::InstallerPath(), {}, token.get());
    const ULONGLONG end = ::GetTickCount64() + 20000;
    std::optional<test::MessageBoxView> box;
    while (!box && installer.Running() && ::GetTickCount64() < end) {
        box = test::FindMessageBox(installer.id());
        ::Sleep(100);
    }
    if (!box) {
        GTEST_SKIP() << "Wine starts the process with the full token: the installer passed the administrator check";
    }
    box = test::WaitForMessageBox(installer.id());
    SetLanguage(English);
    EXPECT_EQ(box->text, LoadLocalizedString(msg::NeedAdministrator));
    EXPECT_EQ(box->caption, Title(English));
    EXPECT_EQ(box->ButtonIds(), std::vector<int>{IDOK});
    test::PressButton(*box, IDOK);
    EXPECT_TRUE(installer.Wait());
}

struct StoredCase {
    DWORD stored;
    Language shown;
};

class StoredLanguage : public Installer, public ::testing::WithParamInterface<StoredCase> {};

// The box that asks to close the product speaks the language start-up chose.
TEST_P(StoredLanguage, DecidesTheLanguageOfStartUp) {
    {
        const cv::reg_key key = cv::reg_create_key(HKEY_LOCAL_MACHINE, UninstallKey);
        const DWORD value = GetParam().stored;
        ::RegSetValueExW(key.get(), L"CvLanguage", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    }
    RunningProduct product;
    const test::ChildProcess installer(test::InstallerPath());
    const test::MessageBoxView box = test::WaitForMessageBox(installer.id());
    EXPECT_EQ(box.text, CloseProductText(GetParam().shown));
    EXPECT_EQ(box.caption, Title(GetParam().shown));
    test::PressButton(box, IDCANCEL);
    EXPECT_TRUE(installer.Wait());
}

INSTANTIATE_TEST_SUITE_P(App, StoredLanguage,
                         ::testing::Values(StoredCase{9, Romanian}, StoredCase{5, English}, StoredCase{6, English}));

}  // namespace
