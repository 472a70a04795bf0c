// Finds the message boxes of a process (this one or a child), reads them and answers them.
#include "tests/common/message_box_driver.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <thread>

namespace test {

namespace {

constexpr int textId = 0xFFFF;

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

BoxIcon IconOf(HWND box) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(box, &processId);
    HICON shown = nullptr;
    bool iconControl = false;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) != L"Static" || (::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
        iconControl = true;
        if (::IsWindowVisible(child)) shown = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
    }
    if (!iconControl || !shown) return BoxIcon::none;
    if (processId != ::GetCurrentProcessId()) return BoxIcon::unknown;
    const std::pair<const wchar_t*, BoxIcon> known[] = {{IDI_ERROR, BoxIcon::error},
                                                        {IDI_WARNING, BoxIcon::warning},
                                                        {IDI_INFORMATION, BoxIcon::information},
                                                        {IDI_QUESTION, BoxIcon::question}};
    for (const auto& [id, icon] : known) {
        if (::LoadIconW(nullptr, id) == shown) return icon;
    }
    return BoxIcon::unknown;
}

MessageBoxView Read(HWND box) {
    MessageBoxView view;
    view.window = box;
    view.caption = TextOf(box);
    view.text = TextOf(::GetDlgItem(box, textId));
    view.icon = IconOf(box);
    view.owner = ::GetWindow(box, GW_OWNER);
    view.exStyle = ::GetWindowLongW(box, GWL_EXSTYLE);
    view.textExStyle = ::GetWindowLongW(::GetDlgItem(box, textId), GWL_EXSTYLE);
    view.textStyle = ::GetWindowLongW(::GetDlgItem(box, textId), GWL_STYLE);
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == L"Button" && ::IsWindowVisible(child)) {
            view.buttons.emplace_back(::GetDlgCtrlID(child), TextOf(child));
        }
    }
    return view;
}

struct Search {
    DWORD processId;
    HWND other;
    HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    if (processId != search->processId || window == search->other || !::IsWindowVisible(window)) return TRUE;
    if (ClassOf(window) != L"#32770" || !::GetDlgItem(window, textId)) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

bool MessageBoxView::HasButton(int id) const {
    return std::any_of(buttons.begin(), buttons.end(), [id](const auto& button) { return button.first == id; });
}

std::vector<int> MessageBoxView::ButtonIds() const {
    std::vector<int> ids;
    for (const auto& button : buttons) ids.push_back(button.first);
    return ids;
}

std::optional<MessageBoxView> FindMessageBox(DWORD processId, HWND other) {
    Search search = {processId, other, nullptr};
    ::EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return std::nullopt;
    return Read(search.found);
}

MessageBoxView WaitForMessageBox(DWORD processId, DWORD timeoutMs, HWND other) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    do {
        if (auto box = FindMessageBox(processId, other)) {
            // The box fills its controls while it is created; read it once it stands.
            ::Sleep(100);
            if (::IsWindow(box->window)) return Read(box->window);
        }
        ::Sleep(50);
    } while (::GetTickCount64() < end);
    throw std::runtime_error("no message box appeared");
}

void PressButton(const MessageBoxView& box, int id) {
    const HWND button = ::GetDlgItem(box.window, id);
    if (!button) throw std::runtime_error("the message box has no such button");
    ::PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

bool WaitUntilClosed(HWND window, DWORD timeoutMs) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    while (::IsWindow(window)) {
        if (::GetTickCount64() >= end) return false;
        ::Sleep(50);
    }
    return true;
}

std::optional<MessageBoxView> AnswerBox(const std::function<void()>& body, int button) {
    std::atomic<bool> done = false;
    std::optional<MessageBoxView> seen;
    std::thread answering([&] {
        while (!done) {
            if (auto box = FindMessageBox(::GetCurrentProcessId())) {
                ::Sleep(100);
                if (!::IsWindow(box->window)) continue;
                seen = Read(box->window);
                if (seen->HasButton(button)) {
                    PressButton(*seen, button);
                } else {
                    ::PostMessageW(seen->window, WM_CLOSE, 0, 0);
                }
                WaitUntilClosed(seen->window, 15000);
                return;
            }
            ::Sleep(50);
        }
    });
    try {
        body();
    } catch (...) {
        done = true;
        answering.join();
        throw;
    }
    done = true;
    answering.join();
    return seen;
}

}  // namespace test
