// Finds the message boxes of a process (this one or a child), reads them and answers them.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace test {

// The icon of a box; `unknown` when the box belongs to another process, whose icon handles
// cannot be compared with this process's.
enum class BoxIcon { none, error, warning, information, question, unknown };

struct MessageBoxView {
    HWND window = nullptr;
    std::wstring text;
    std::wstring caption;
    BoxIcon icon = BoxIcon::none;
    std::vector<std::pair<int, std::wstring>> buttons;  // control id and label, in window order
    HWND owner = nullptr;
    LONG exStyle = 0;      // of the box
    LONG textExStyle = 0;  // of its text control
    LONG textStyle = 0;

    bool HasButton(int id) const;
    std::vector<int> ButtonIds() const;
};

// A visible message box of the process that is not `other`; none when there is none.
std::optional<MessageBoxView> FindMessageBox(DWORD processId, HWND other = nullptr);
// Waits for one; throws std::runtime_error after timeoutMs.
MessageBoxView WaitForMessageBox(DWORD processId, DWORD timeoutMs = 15000, HWND other = nullptr);
// Clicks the button with this id as the user does; throws when the box has no such button.
void PressButton(const MessageBoxView& box, int id);
// Waits until the window is gone; false after timeoutMs.
bool WaitUntilClosed(HWND window, DWORD timeoutMs = 15000);

// Runs body on this thread (which shows a box) while a second thread waits for the box of
// this process and presses button. The box seen, or none if none appeared before body ended.
std::optional<MessageBoxView> AnswerBox(const std::function<void()>& body, int button);

}  // namespace test
