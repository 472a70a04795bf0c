// The product's Uninstall key: saved before it changes, deleted or restored on rollback.
// Changes HKLM: runs in a prefix of its own.
#include <gtest/gtest.h>

#include <cstdio>

#include "app/product.h"
#include "records/uninstall_log.h"
#include "support/registry.h"
#include "tests/common/scratch_folder.h"
#include "tests/records/records_test_util.h"

namespace {

using namespace records_test;

const wchar_t* const ProductKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrano 7";

bool RunningUnderWine() {
    return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

class RegistryBackup : public ::testing::Test {
protected:
    void SetUp() override {
        productId = VeltranoProductId;
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, ProductKey);
    }
    void TearDown() override {
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, ProductKey);
        ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, ProductKey);
    }

    // Opens or creates the key as the registration step does; `existed` tells which.
    static cv::unique_hkey OpenProductKey(bool& existed) {
        cv::unique_hkey key;
        DWORD disposition = 0;
        EXPECT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, ProductKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    KEY_ALL_ACCESS, nullptr, key.put(), &disposition),
                  ERROR_SUCCESS);
        existed = disposition == REG_OPENED_EXISTING_KEY;
        return key;
    }
    static void Set(HKEY key, const wchar_t* name, const std::wstring& text) {
        ASSERT_EQ(::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    static std::optional<std::wstring> Value(const wchar_t* name) {
        const cv::reg_key key = cv::reg_open_key(HKEY_LOCAL_MACHINE, ProductKey);
        std::wstring text;
        if (!key || !cv::reg_read_string(key.get(), name, text)) return std::nullopt;
        return text;
    }
    static bool KeyExists() { return static_cast<bool>(cv::reg_open_key(HKEY_LOCAL_MACHINE, ProductKey)); }

    // An earlier installation's key.
    static void MakeEarlierKey() {
        bool existed = true;
        const cv::unique_hkey key = OpenProductKey(existed);
        ASSERT_FALSE(existed);
        Set(key.get(), L"DisplayName", L"Veltrano 7.04c");
        Set(key.get(), L"UninstallString", L"C:\\Old\\Uninstall.exe");
    }
    // This installation's values over an announced key.
    static void RecordAndWrite(CUninstallLog& log) {
        bool existed = false;
        const cv::unique_hkey key = OpenProductKey(existed);
        log.AddUninstallKey(existed ? key.get() : nullptr);
        Set(key.get(), L"DisplayName", L"Veltrano 7.04d");
        Set(key.get(), L"UninstallString", L"C:\\New\\Uninstall.exe");
        Set(key.get(), L"CvLanguage", L"1");
        log.CompleteLast(true);
    }

    test::ScratchFolder scratch;
};

TEST_F(RegistryBackup, FirstInstallationRollbackDeletesTheKey) {
    CUninstallLog log;
    RecordAndWrite(log);
    ASSERT_EQ(log.entries.size(), 1u);
    EXPECT_EQ(log.entries.back().kind, EntryKind::UninstallKey);
    EXPECT_EQ(log.entries.back().backupPath, L"") << "nothing to save";
    EXPECT_TRUE(log.entries.back().flag);
    log.Rollback();
    EXPECT_FALSE(KeyExists());
    EXPECT_TRUE(cv::reg_open_key(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
}

TEST_F(RegistryBackup, FirstInstallationCommitKeepsTheKeyAndLogsIt) {
    CUninstallLog log;
    RecordAndWrite(log);
    const std::wstring path = scratch / L"Uninstall.ulog";
    ASSERT_TRUE(log.Commit(path, L"C:\\New", L""));
    EXPECT_EQ(Value(L"DisplayName"), L"Veltrano 7.04d");
    EXPECT_EQ(LogLines(path).back(),
              L"0000:05ff:1 -- HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrano 7");
}

TEST_F(RegistryBackup, UpdateRollbackRestoresTheEarlierKey) {
    MakeEarlierKey();
    CUninstallLog log;
    RecordAndWrite(log);
    const std::wstring hive = log.entries.back().backupPath;
    ASSERT_FALSE(hive.empty());
    EXPECT_EQ(hive.rfind(TempFolder() + L"cv", 0), 0u);
    EXPECT_TRUE(Exists(hive)) << "the key was saved to a hive file";

    log.Rollback();
    EXPECT_FALSE(Exists(hive)) << "the hive file is removed after the restore";
    EXPECT_TRUE(KeyExists()) << "an earlier installation's key is never deleted";
    if (RunningUnderWine() && Value(L"DisplayName") == L"Veltrano 7.04d") {
        GTEST_SKIP() << "RegRestoreKeyW is a stub in Wine 8 (it answers success and changes nothing); "
                        "the restored values can only be checked on Windows";
    }
    EXPECT_EQ(Value(L"DisplayName"), L"Veltrano 7.04c");
    EXPECT_EQ(Value(L"UninstallString"), L"C:\\Old\\Uninstall.exe");
    EXPECT_EQ(Value(L"CvLanguage"), std::nullopt) << "values added by this installation disappear";
}

TEST_F(RegistryBackup, UpdateCommitDeletesTheHiveAndKeepsTheNewValues) {
    MakeEarlierKey();
    CUninstallLog log;
    RecordAndWrite(log);
    const std::wstring hive = log.entries.back().backupPath;
    ASSERT_TRUE(Exists(hive));
    ASSERT_TRUE(log.Commit(scratch / L"Uninstall.ulog", L"C:\\New", L""));
    EXPECT_FALSE(Exists(hive));
    EXPECT_EQ(Value(L"DisplayName"), L"Veltrano 7.04d");
    EXPECT_EQ(Value(L"CvLanguage"), L"1");
}

// Without a usable temporary folder the earlier key cannot be saved; a rollback must then leave
// it rather than delete the earlier installation's registration.
TEST_F(RegistryBackup, ExistingKeyThatCouldNotBeSavedStaysOnRollback) {
    MakeEarlierKey();
    const std::wstring over = FolderOfLength(scratch, 247, L'k');
    CUninstallLog log;
    {
        const TempFolderOverride temp(over);
        RecordAndWrite(log);
    }
    EXPECT_EQ(log.entries.back().backupPath, L"") << "the key was not saved";
    log.Rollback();
    EXPECT_TRUE(KeyExists());
    EXPECT_TRUE(Value(L"DisplayName").has_value());
}

}  // namespace
