// Error texts and message boxes: system texts, resource texts, caption, icon, owner, re-enabling.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "support/error_text.h"
#include "support/ui_hooks.h"
#include "support/ui_language.h"
#include "support/version_info.h"
#include "tests/common/message_box_driver.h"

namespace {

std::wstring RawSystemText(DWORD code) {
    wchar_t text[1024] = {};
    ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, 1024, nullptr);
    return text;
}

std::wstring ResourceText(unsigned id) {
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return std::wstring(text, length > 0 ? length : 0);
}

TEST(SystemMessage, TrailingLineBreaksRemoved) {
    const std::wstring raw = RawSystemText(ERROR_BUSY);
    ASSERT_FALSE(raw.empty());
    ASSERT_TRUE(raw.back() == L'\n' || raw.back() == L'\r' || raw.back() == L' ') << "the system text has no end to trim";
    const std::wstring text = cv::system_message(ERROR_BUSY, 0);
    EXPECT_EQ(raw.substr(0, raw.find_last_not_of(L"\r\n") + 1), text);
    EXPECT_NE(text.back(), L'\n');
    EXPECT_NE(text.back(), L'\r');
}

TEST(SystemMessage, UnknownCodeGivesTheTextOfEFail) {
    EXPECT_EQ(cv::system_message(0x12345678, 0), cv::system_message(static_cast<DWORD>(E_FAIL), 0));
    EXPECT_FALSE(cv::system_message(static_cast<DWORD>(E_FAIL), 0).empty());
}

TEST(SystemMessage, LanguageWithoutTextsFallsBackToTheDefault) {
    EXPECT_EQ(cv::system_message(ERROR_BUSY, MAKELANGID(LANG_ZULU, SUBLANG_DEFAULT)), cv::system_message(ERROR_BUSY, 0));
}

class ErrorText : public ::testing::Test {
protected:
    void TearDown() override { cv::set_ui_language({}); }
};

TEST_F(ErrorText, CustomerCodesWithAStringResource) {
    ASSERT_FALSE(ResourceText(1000).empty());
    EXPECT_EQ(cv::error_text(0xA8000000 | 1000), ResourceText(1000));
    EXPECT_EQ(cv::error_text(0xA8000000 | 2126), ResourceText(2126));
    const std::wstring efail = cv::system_message(static_cast<DWORD>(E_FAIL), 0);
    EXPECT_EQ(cv::error_text(0xA0000000 | 1000), efail);
    EXPECT_EQ(cv::error_text(0xA8000000 | 999), efail);
    EXPECT_EQ(cv::error_text(ERROR_BUSY), cv::system_message(ERROR_BUSY, 0));
}

TEST_F(ErrorText, LanguageModuleWithoutTheStringFallsBackToTheProgram) {
    cv::set_ui_language({MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), ::GetModuleHandleW(L"kernel32.dll")});
    EXPECT_EQ(cv::error_text(0xA8000000 | 2000), ResourceText(2000));
}

// Hooks of the test's own; every test starts and ends without any.
class Box : public ::testing::Test {
protected:
    void SetUp() override { cv::ui_hooks::get() = {}; }
    void TearDown() override {
        cv::ui_hooks::get() = {};
        for (HWND window : windows) ::DestroyWindow(window);
    }

    HWND Window(DWORD exStyle = 0, HWND owner = nullptr) {
        HWND window = ::CreateWindowExW(exStyle, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300,
                                        200, owner, nullptr, nullptr, nullptr);
        windows.insert(windows.begin(), window);
        return window;
    }
    // An owner hook as the framework's: top is disabled for the box and handed back.
    void OwnerHook(HWND owner, HWND top) {
        cv::ui_hooks::get().owner = [owner, top] {
            ::EnableWindow(top, FALSE);
            return cv::owner_pair{owner, top};
        };
        cv::ui_hooks::get().modal = [this](bool enable) { modalCalls.push_back(enable); };
    }

    std::vector<HWND> windows;
    std::vector<bool> modalCalls;
};

struct IconCase {
    UINT type;
    test::BoxIcon icon;
    std::vector<int> buttons;
    int press;
};

class MessageBoxIcons : public Box, public ::testing::WithParamInterface<IconCase> {};

TEST_P(MessageBoxIcons, DefaultIconForTheButtons) {
    const IconCase& c = GetParam();
    int result = 0;
    const auto box = test::AnswerBox([&] { result = cv::message_box(L"question text", c.type); }, c.press);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, L"question text");
    EXPECT_EQ(box->icon, c.icon);
    EXPECT_EQ(box->ButtonIds(), c.buttons);
    EXPECT_EQ(result, c.press);
}

INSTANTIATE_TEST_SUITE_P(
    Support, MessageBoxIcons,
    ::testing::Values(IconCase{MB_OK, test::BoxIcon::warning, {IDOK}, IDOK},
                      IconCase{MB_OKCANCEL, test::BoxIcon::warning, {IDOK, IDCANCEL}, IDCANCEL},
                      IconCase{MB_YESNO, test::BoxIcon::question, {IDYES, IDNO}, IDNO},
                      IconCase{MB_YESNOCANCEL, test::BoxIcon::question, {IDYES, IDNO, IDCANCEL}, IDYES},
                      IconCase{MB_RETRYCANCEL, test::BoxIcon::none, {IDRETRY, IDCANCEL}, IDRETRY},
                      IconCase{MB_ABORTRETRYIGNORE, test::BoxIcon::none, {IDABORT, IDRETRY, IDIGNORE}, IDIGNORE},
                      IconCase{MB_OK | MB_ICONERROR, test::BoxIcon::error, {IDOK}, IDOK},
                      IconCase{MB_YESNO | MB_ICONINFORMATION, test::BoxIcon::information, {IDYES, IDNO}, IDYES}));

TEST_F(Box, CaptionFromTheHookElseTheVersionBlock) {
    auto box = test::AnswerBox([] { cv::message_box(L"x", MB_OK); }, IDOK);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, L"Install 2.04");
    EXPECT_EQ(cv::default_caption(), cv::version_info::from_module().display_string());

    cv::ui_hooks::get().caption = [](std::wstring& caption) { caption = L"Hooked caption"; };
    box = test::AnswerBox([] { cv::message_box(L"x", MB_OK); }, IDOK);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, L"Hooked caption");
}

TEST_F(Box, TextFromAStringResource) {
    const auto box = test::AnswerBox([] { cv::message_box(MAKEINTRESOURCEW(2126), MB_OK); }, IDOK);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, ResourceText(2126));
}

TEST_F(Box, OwnerIsTheThreadsCaptionedWindowWithoutAHook) {
    HWND main = Window();
    EXPECT_EQ(cv::owner_window(), main);
    HWND popup = Window(0, main);
    ::SetActiveWindow(popup);
    EXPECT_EQ(cv::owner_window(), popup);
    const auto box = test::AnswerBox([] { cv::message_box(L"owned", MB_OK); }, IDOK);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->owner, popup);
}

TEST_F(Box, NoOwnerWithoutWindows) { EXPECT_EQ(cv::owner_window(), nullptr); }

TEST_F(Box, DisabledTopLevelEnabledAgainAfterTheBox) {
    HWND top = Window();
    HWND owner = Window(0, top);
    OwnerHook(owner, top);
    bool disabledDuringBox = false;
    const auto box = test::AnswerBox(
        [&] {
            cv::ui_hooks::get().caption = [&](std::wstring& caption) {
                disabledDuringBox = !::IsWindowEnabled(top);
                caption = L"c";
            };
            cv::message_box(L"x", MB_OK);
        },
        IDOK);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->owner, owner);
    EXPECT_TRUE(disabledDuringBox);
    EXPECT_TRUE(::IsWindowEnabled(top));
    EXPECT_EQ(modalCalls, (std::vector<bool>{false, true}));
}

TEST_F(Box, EnabledAgainWhenTheBoxCannotBeCreated) {
    HWND top = Window();
    const HWND bogus = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x7FFF0));
    OwnerHook(bogus, top);
    int result = -1;
    const auto box = test::AnswerBox([&] { result = cv::message_box(L"x", MB_OK); }, IDOK);
    EXPECT_FALSE(box) << "the box was shown for an owner that is no window";
    EXPECT_EQ(result, 0) << "a failing box answers 0";
    EXPECT_TRUE(::IsWindowEnabled(top));
    EXPECT_EQ(modalCalls, (std::vector<bool>{false, true}));
}

TEST_F(Box, EnabledAgainWhenAnExceptionPasses) {
    HWND top = Window();
    OwnerHook(Window(0, top), top);
    cv::ui_hooks::get().caption = [](std::wstring&) { throw std::runtime_error("caption"); };
    EXPECT_THROW(cv::message_box(L"x", MB_OK), std::runtime_error);
    EXPECT_TRUE(::IsWindowEnabled(top));
    EXPECT_EQ(modalCalls, (std::vector<bool>{false, true}));
}

TEST_F(Box, RightToLeftOwnerGivesARightToLeftBox) {
    HWND owner = Window(WS_EX_LAYOUTRTL);
    ASSERT_TRUE(::GetWindowLongW(owner, GWL_EXSTYLE) & WS_EX_LAYOUTRTL);
    const auto rtl = test::AnswerBox([] { cv::message_box(L"x", MB_OK); }, IDOK);
    ::SetWindowLongW(owner, GWL_EXSTYLE, 0);
    const auto ltr = test::AnswerBox([] { cv::message_box(L"x", MB_OK); }, IDOK);
    ASSERT_TRUE(rtl && ltr);
    EXPECT_EQ(rtl->owner, owner);
    if (rtl->exStyle == ltr->exStyle && rtl->textExStyle == ltr->textExStyle && rtl->textStyle == ltr->textStyle) {
        GTEST_SKIP() << "Wine's message box shows MB_RTLREADING in none of its window styles";
    }
    EXPECT_TRUE((rtl->exStyle | rtl->textExStyle) & (WS_EX_RTLREADING | WS_EX_LAYOUTRTL));
    EXPECT_FALSE((ltr->exStyle | ltr->textExStyle) & (WS_EX_RTLREADING | WS_EX_LAYOUTRTL));
}

TEST_F(Box, ShowErrorUsesTheSystemTextWithTheExclamationIcon) {
    const auto box = test::AnswerBox([] { cv::show_error(ERROR_BUSY); }, IDOK);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, cv::system_message(ERROR_BUSY, 0));
    EXPECT_EQ(box->icon, test::BoxIcon::warning);
    EXPECT_EQ(box->ButtonIds(), std::vector<int>{IDOK});
}

TEST_F(Box, ErrorBoxIgnoresTheHooks) {
    cv::ui_hooks::get().caption = [](std::wstring& caption) { caption = L"Hooked caption"; };
    bool modalCalled = false;
    cv::ui_hooks::get().modal = [&](bool) { modalCalled = true; };
    bool result = true;
    const auto box = test::AnswerBox([&] { result = cv::error_box(nullptr, ERROR_BAD_PATHNAME); }, IDOK);
    ASSERT_TRUE(box);
    EXPECT_FALSE(result);
    EXPECT_EQ(box->text, cv::system_message(ERROR_BAD_PATHNAME, 0));
    EXPECT_NE(box->caption, L"Hooked caption");
    EXPECT_EQ(box->icon, test::BoxIcon::warning);
    EXPECT_FALSE(modalCalled);
}

}  // namespace
