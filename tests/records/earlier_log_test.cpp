// Finding the earlier installation's log: through UninstallString, beside the installer,
// beside the installed product. Changes HKLM: runs in a prefix of its own.
#include <gtest/gtest.h>

#include "app/product.h"
#include "records/earlier_log.h"
#include "support/registry.h"
#include "tests/common/scratch_folder.h"
#include "tests/common/test_environment.h"
#include "tests/records/records_test_util.h"

namespace {

using namespace records_test;

const wchar_t* const ProductKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrano 7";

void SetString(const wchar_t* keyPath, const wchar_t* name, const std::wstring& text) {
    const cv::reg_key key = cv::reg_create_key(HKEY_LOCAL_MACHINE, keyPath);
    ASSERT_EQ(::RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                               static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

// A log file that is removed again at the end, wherever it was put.
class LogFileAt {
public:
    explicit LogFileAt(std::wstring path) : path_(std::move(path)) { WriteBytes(path_, "log"); }
    ~LogFileAt() { Remove(); }
    LogFileAt(const LogFileAt&) = delete;
    LogFileAt& operator=(const LogFileAt&) = delete;
    void Remove() { ::DeleteFileW(path_.c_str()); }
    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
};

class EarlierLog : public ::testing::Test {
protected:
    void SetUp() override { productId = VeltranoProductId; }
    void TearDown() override {
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, ProductKey);
        ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, ProductKey);
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, MakerKey);
        ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, MakerKey);
    }
    test::ScratchFolder scratch;
};

// One test only, and the maker's key set before the first lookup: the installed program's path
// is looked up once per process.
TEST_F(EarlierLog, ThreePlacesInOrder) {
    SetString(MakerKey, L"Veltrano 7 Path", scratch.File(L"Installed\\Veltrano.exe"));
    SetString(ProductKey, L"UninstallString", L"C:\\Uninstall.exe");
    {
        LogFileAt root(L"C:\\Uninstall.ulog");
        EXPECT_EQ(FindEarlierLog(), L"C:\\Uninstall.ulog") << "the parent of C:\\Uninstall.exe is C:\\";
    }
    SetString(ProductKey, L"UninstallString", L"Uninstall.exe");
    EXPECT_EQ(FindEarlierLog(), L"") << "a value without a folder gives no candidate";

    SetString(ProductKey, L"UninstallString", scratch.File(L"Registered\\Uninstall.exe"));
    LogFileAt registered(scratch / L"Registered\\Uninstall.ulog");
    LogFileAt beside(test::ProgramFolder() + L"Uninstall.ulog");
    LogFileAt installed(scratch / L"Installed\\Uninstall.ulog");

    EXPECT_EQ(FindEarlierLog(), registered.path());
    registered.Remove();
    EXPECT_EQ(FindEarlierLog(), beside.path());
    beside.Remove();
    EXPECT_EQ(FindEarlierLog(), installed.path());
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, ProductKey);
    EXPECT_EQ(FindEarlierLog(), installed.path()) << "a missing Uninstall key moves on";
    installed.Remove();
    EXPECT_EQ(FindEarlierLog(), L"");
}

}  // namespace
