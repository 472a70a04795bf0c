// Registry access: missing keys and values are answers, malformed strings are refused.
#include <gtest/gtest.h>

#include <vector>

#include "support/registry.h"
#include "tests/common/test_environment.h"

namespace {

class Registry : public ::testing::Test {
protected:
    test::ScratchKey scratch{HKEY_CURRENT_USER, L"Software\\CvTests\\Registry"};

    // The last `hidden` bytes are passed in memory but not counted, so that a text without
    // its terminator is not followed by a NUL that the system would add to the value.
    void Store(const wchar_t* name, DWORD type, std::vector<BYTE> bytes, size_t hidden) {
        ASSERT_EQ(::RegSetValueExW(scratch.get(), name, 0, type, bytes.data(),
                                   static_cast<DWORD>(bytes.size() - hidden)),
                  ERROR_SUCCESS);
    }
    static std::vector<BYTE> Bytes(std::wstring_view text) {
        const auto* first = reinterpret_cast<const BYTE*>(text.data());
        return std::vector<BYTE>(first, first + text.size() * sizeof(wchar_t));
    }
};

TEST_F(Registry, OpenMissingKeyGivesEmptyHolder) {
    const cv::reg_key key = cv::reg_open_key(HKEY_CURRENT_USER, L"Software\\CvTests\\Registry\\Missing");
    EXPECT_FALSE(key);
    EXPECT_TRUE(cv::reg_open_key(HKEY_CURRENT_USER, L"Software\\CvTests\\Registry"));
}

TEST_F(Registry, CreateMakesMissingParents) {
    EXPECT_TRUE(cv::reg_create_key(scratch.get(), L"A\\B\\C"));
    EXPECT_TRUE(cv::reg_open_key(scratch.get(), L"A\\B"));
}

TEST_F(Registry, FailuresRaiseTheWindowsCode) {
    const HKEY bogus = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x1234));
    try {
        cv::reg_open_key(bogus, L"X");
        FAIL() << "no exception";
    } catch (const std::system_error& error) {
        EXPECT_EQ(error.code().category(), std::system_category());
        EXPECT_EQ(error.code().value(), ERROR_INVALID_HANDLE);
    }
    EXPECT_THROW(cv::reg_create_key(bogus, L"X"), std::system_error);
    std::wstring out;
    EXPECT_THROW(cv::reg_read_string(bogus, L"X", out), std::system_error);
}

TEST_F(Registry, StringValueForms) {
    const std::wstring nul(1, L'\0');
    const struct {
        const wchar_t* name;
        DWORD type;
        std::vector<BYTE> bytes;
        size_t hidden;
        bool read;
        std::wstring text;
    } cases[] = {
        {L"plain", REG_SZ, Bytes(std::wstring(L"C:\\A") + nul), 0, true, L"C:\\A"},
        {L"empty", REG_SZ, {}, 0, true, L""},
        {L"lone nul", REG_SZ, Bytes(nul), 0, true, L""},
        {L"no terminator", REG_SZ, Bytes(L"C:\\AX"), 2, false, L"kept"},
        {L"odd size", REG_SZ, {'A', 0, 0}, 0, false, L"kept"},
        {L"dword", REG_DWORD, {1, 0, 0, 0}, 0, false, L"kept"},
        {L"binary", REG_BINARY, Bytes(std::wstring(L"A") + nul), 0, false, L"kept"},
        {L"expand", REG_EXPAND_SZ, Bytes(std::wstring(L"%SystemRoot%\\x") + nul), 0, true, L"%SystemRoot%\\x"},
        {L"embedded", REG_SZ, Bytes(std::wstring(L"a") + nul + L"b" + nul), 0, true, std::wstring(L"a") + nul + L"b"},
    };
    for (const auto& c : cases) {
        Store(c.name, c.type, c.bytes, c.hidden);
        std::wstring out = L"kept";
        EXPECT_EQ(cv::reg_read_string(scratch.get(), c.name, out), c.read) << c.name;
        EXPECT_EQ(out, c.text) << c.name;
    }
    std::wstring out = L"kept";
    EXPECT_FALSE(cv::reg_read_string(scratch.get(), L"missing", out));
    EXPECT_EQ(out, L"kept");
}

}  // namespace
