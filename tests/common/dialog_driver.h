// Drives the dialogs of the test's user-interface thread from a second thread, as a user would.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace test {

class DialogDriver {
public:
    // Runs script on a thread of its own while body runs here (typically a modal dialog or a
    // message box). A failure of the script cancels every dialog left open, then is raised here.
    static void Run(const std::function<void()>& body, const std::function<void(DialogDriver&)>& script);

    explicit DialogDriver(DWORD uiThread) : m_uiThread(uiThread) {}

    // The first visible dialog of the user-interface thread with this caption (empty: any
    // caption) that is not `other`; throws std::runtime_error after timeoutMs.
    HWND WaitForDialog(const std::wstring& caption = {}, HWND other = nullptr, DWORD timeoutMs = 10000) const;
    // The visible child dialog (a wizard's current page) of dialog, or null.
    HWND VisibleChildDialog(HWND dialog) const;
    // Waits until window no longer exists; throws after timeoutMs.
    void WaitUntilGone(HWND window, DWORD timeoutMs = 10000) const;

    // Clicks button id as the user does (the command reaches the dialog through its queue).
    void Press(HWND dialog, int id) const;
    // Posts a key press to the window that has the focus, through the thread's message loop.
    void PressKey(UINT virtualKey) const;
    std::wstring Text(HWND dialog, int id) const;
    void SetText(HWND dialog, int id, const std::wstring& text) const;
    // Waits until control id shows text (posted commands are handled after sent messages);
    // throws after timeoutMs.
    void WaitForText(HWND dialog, int id, const std::wstring& text, DWORD timeoutMs = 10000) const;
    bool IsChecked(HWND dialog, int id) const;
    // Clicks a check box or radio button until it has the wanted state.
    void SetChecked(HWND dialog, int id, bool checked) const;
    // The text of a message box.
    std::wstring MessageText(HWND box) const { return Text(box, 0xFFFF); }
    // The window that has the keyboard focus on the user-interface thread.
    HWND Focus() const;
    // Cancels every dialog of the user-interface thread.
    void CancelAll() const;

private:
    DWORD m_uiThread;
};

}  // namespace test
