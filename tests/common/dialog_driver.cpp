// Drives the dialogs of the test's user-interface thread from a second thread, as a user would.
#include "tests/common/dialog_driver.h"

#include <atomic>
#include <exception>
#include <stdexcept>
#include <thread>
#include <vector>

namespace test {

namespace {

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window) {
    // WM_GETTEXT crosses to the user-interface thread and waits for it.
    wchar_t text[4096] = {};
    ::SendMessageW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text));
    return text;
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM found) {
    if (ClassName(window) == L"#32770") reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

std::vector<HWND> ThreadDialogs(DWORD thread) {
    std::vector<HWND> dialogs;
    ::EnumThreadWindows(thread, &CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

HWND Item(HWND dialog, int id) {
    HWND item = ::GetDlgItem(dialog, id);
    if (!item) throw std::runtime_error("dialog control " + std::to_string(id) + " not found");
    return item;
}

}  // namespace

void DialogDriver::Run(const std::function<void()>& body, const std::function<void(DialogDriver&)>& script) {
    DialogDriver driver(::GetCurrentThreadId());
    std::atomic<bool> bodyDone{false};
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            script(driver);
        } catch (...) {
            failure = std::current_exception();
            while (!bodyDone) {
                driver.CancelAll();
                ::Sleep(100);
            }
        }
    });
    try {
        body();
    } catch (...) {
        bodyDone = true;
        worker.join();
        throw;
    }
    bodyDone = true;
    worker.join();
    if (failure) std::rethrow_exception(failure);
}

HWND DialogDriver::WaitForDialog(const std::wstring& caption, HWND other, DWORD timeoutMs) const {
    const DWORD start = ::GetTickCount();
    do {
        for (HWND window : ThreadDialogs(m_uiThread)) {
            if (window != other && ::IsWindowVisible(window) && (caption.empty() || TextOf(window) == caption))
                return window;
        }
        ::Sleep(20);
    } while (::GetTickCount() - start < timeoutMs);
    throw std::runtime_error("no dialog appeared");
}

HWND DialogDriver::VisibleChildDialog(HWND dialog) const {
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (::IsWindowVisible(child) && ClassName(child) == L"#32770") return child;
    }
    return nullptr;
}

void DialogDriver::WaitUntilGone(HWND window, DWORD timeoutMs) const {
    const DWORD start = ::GetTickCount();
    while (::IsWindow(window)) {
        if (::GetTickCount() - start >= timeoutMs) throw std::runtime_error("the dialog stayed open");
        ::Sleep(20);
    }
}

void DialogDriver::Press(HWND dialog, int id) const {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

void DialogDriver::PressKey(UINT virtualKey) const {
    HWND target = Focus();
    if (!target) throw std::runtime_error("no window has the focus");
    const LPARAM scan = static_cast<LPARAM>(::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    ::PostMessageW(target, WM_KEYDOWN, virtualKey, scan | 1);
    ::PostMessageW(target, WM_KEYUP, virtualKey, scan | 1 | (1u << 30) | (1u << 31));
}

std::wstring DialogDriver::Text(HWND dialog, int id) const { return TextOf(Item(dialog, id)); }

void DialogDriver::SetText(HWND dialog, int id, const std::wstring& text) const {
    ::SendMessageW(Item(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void DialogDriver::WaitForText(HWND dialog, int id, const std::wstring& text, DWORD timeoutMs) const {
    const DWORD start = ::GetTickCount();
    while (Text(dialog, id) != text) {
        if (::GetTickCount() - start >= timeoutMs) throw std::runtime_error("the control did not show the text");
        ::Sleep(20);
    }
}

bool DialogDriver::IsChecked(HWND dialog, int id) const {
    return ::SendMessageW(Item(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void DialogDriver::SetChecked(HWND dialog, int id, bool checked) const {
    // BM_CLICK runs the button's own click handling: automatic buttons update their group.
    for (int attempt = 0; attempt < 3 && IsChecked(dialog, id) != checked; ++attempt)
        ::SendMessageW(Item(dialog, id), BM_CLICK, 0, 0);
    if (IsChecked(dialog, id) != checked) throw std::runtime_error("the button kept its state");
}

HWND DialogDriver::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return ::GetGUIThreadInfo(m_uiThread, &info) ? info.hwndFocus : nullptr;
}

void DialogDriver::CancelAll() const {
    for (HWND window : ThreadDialogs(m_uiThread)) ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace test
