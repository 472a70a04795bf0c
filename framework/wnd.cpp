// The framework's window: text, state, geometry of a window and its child controls.
#include "framework/wnd.h"

#include "framework/win_app.h"

const MessageMap* CWnd::GetMessageMap() const {
    static const MessageMap map{nullptr, {}};
    return &map;
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

HWND CWnd::Detach() {
    HWND window = m_hWnd;
    m_hWnd = nullptr;
    return window;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

std::wstring CWnd::GetWindowText() const { return WindowText(m_hWnd); }

void CWnd::SetWindowText(const std::wstring& text) const { ::SetWindowTextW(m_hWnd, text.c_str()); }

void CWnd::EnableWindow(bool enable) const { ::EnableWindow(m_hWnd, enable); }

bool CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }

void CWnd::ShowWindow(int command) const { ::ShowWindow(m_hWnd, command); }

bool CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }

void CWnd::SetFocus() const { ::SetFocus(m_hWnd); }

HFONT CWnd::GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }

RECT CWnd::GetClientRect() const {
    RECT rect{};
    ::GetClientRect(m_hWnd, &rect);
    return rect;
}

HWND CWnd::GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }

std::wstring CWnd::GetDlgItemText(int id) const { return WindowText(GetDlgItem(id)); }

void CWnd::SetDlgItemText(int id, const std::wstring& text) const {
    ::SetDlgItemTextW(m_hWnd, id, text.c_str());
}

RECT CWnd::GetChildRect(HWND child) const {
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(HWND_DESKTOP, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void CWnd::MoveChild(HWND child, const RECT& rect) const {
    ::SetWindowPos(child, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
}

void CWnd::AdjustChild(int id, int left, int top, int right, int bottom) const {
    HWND child = GetDlgItem(id);
    if (!child) return;
    RECT rect = GetChildRect(child);
    rect.left += left;
    rect.top += top;
    rect.right += right;
    rect.bottom += bottom;
    MoveChild(child, rect);
}

RECT CWnd::MapDialogRect(RECT rect) const {
    ::MapDialogRect(m_hWnd, &rect);
    return rect;
}

HWND CWnd::GetSafeOwner(HWND parent, HWND* reenable) {
    HWND owner = parent;
    if (!owner) {
        CWinApp* app = AfxGetApp();
        owner = app ? app->m_hMainWnd : nullptr;
    }
    if (owner && !::IsWindow(owner)) owner = nullptr;
    // A pop-up cannot be owned by a child window.
    while (owner && (::GetWindowLongW(owner, GWL_STYLE) & WS_CHILD)) owner = ::GetParent(owner);
    HWND top = owner;
    for (HWND up = owner; up; up = ::GetParent(up)) top = up;
    if (!parent && owner) owner = ::GetLastActivePopup(owner);
    if (reenable) {
        *reenable = nullptr;
        if (top && top != owner && ::IsWindowEnabled(top)) {
            ::EnableWindow(top, FALSE);
            *reenable = top;
        }
    }
    return owner;
}
