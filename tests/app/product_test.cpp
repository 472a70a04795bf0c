// The product's names, its version, and the lookup of an earlier installation's program.
#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>

#include "app/product.h"
#include "support/registry.h"
#include "tests/common/test_environment.h"

namespace {

TEST(Product, TitlesAndKeyName) {
    EXPECT_EQ(ProductTitle(true), L"Veltrano");
    EXPECT_EQ(ProductTitle(false), L"Veltrano 7.04d");
    EXPECT_EQ(product_key_name(775), L"Veltrano 7");
    try {
        product_key_name(0);
        FAIL() << "no exception";
    } catch (const std::logic_error& error) {
        EXPECT_STREQ(error.what(), "logic error");
    }
}

// Changes HKLM: runs in a prefix of its own.
class ProductPath : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        program_ = std::wstring(temp) + L"cv-product-test.exe";
        std::ofstream(program_.c_str()) << "x";
    }
    void TearDown() override {
        ::DeleteFileW(program_.c_str());
        ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"Software\\Corvenna");
    }
    void Store(DWORD type, const std::wstring& text) {
        const cv::reg_key key = cv::reg_create_key(HKEY_LOCAL_MACHINE, L"Software\\Corvenna");
        ASSERT_EQ(::RegSetValueExW(key.get(), L"Veltrano 7 Path", 0, type,
                                   reinterpret_cast<const BYTE*>(text.c_str()),
                                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    std::wstring program_;
};

TEST_F(ProductPath, MissingKeyOrValueGivesEmpty) {
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"Software\\Corvenna");
    EXPECT_EQ(read_product_path(775), L"");
    cv::reg_create_key(HKEY_LOCAL_MACHINE, L"Software\\Corvenna");
    EXPECT_EQ(read_product_path(775), L"");
}

TEST_F(ProductPath, RecordedExistingProgramIsFound) {
    Store(REG_SZ, program_);
    EXPECT_EQ(read_product_path(775), program_);
    EXPECT_EQ(read_product_path(0), L"") << "an unknown product is not found, not an error";
}

TEST_F(ProductPath, DeletedProgramOrWrongTypeGivesEmpty) {
    Store(REG_SZ, program_);
    ::DeleteFileW(program_.c_str());
    EXPECT_EQ(read_product_path(775), L"");
    const cv::reg_key key = cv::reg_create_key(HKEY_LOCAL_MACHINE, L"Software\\Corvenna");
    const DWORD number = 7;
    ::RegSetValueExW(key.get(), L"Veltrano 7 Path", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
    EXPECT_EQ(read_product_path(775), L"");
}

TEST_F(ProductPath, InstalledProgramPathIsEvaluatedOnce) {
    Store(REG_SZ, program_);
    productId = VeltranoProductId;
    EXPECT_EQ(InstalledProgramPath(), program_);
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"Software\\Corvenna");
    EXPECT_EQ(InstalledProgramPath(), program_);
}

}  // namespace
