// The framework's window: a window handle with the operations the installer's windows use.
#pragma once

#include <windows.h>

#include <string>

#include "framework/message_map.h"

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The class's message table; a class with handlers returns its own, chained to its base's.
    virtual const MessageMap* GetMessageMap() const;

    void Attach(HWND window) { m_hWnd = window; }
    HWND Detach();

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    std::wstring GetWindowText() const;
    void SetWindowText(const std::wstring& text) const;
    void EnableWindow(bool enable) const;
    bool IsWindowEnabled() const;
    void ShowWindow(int command) const;
    bool IsWindowVisible() const;
    void SetFocus() const;
    HFONT GetFont() const;
    RECT GetClientRect() const;

    HWND GetDlgItem(int id) const;
    std::wstring GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const std::wstring& text) const;

    // Child controls in this window's client coordinates, moved without repainting.
    RECT GetChildRect(HWND child) const;
    void MoveChild(HWND child, const RECT& rect) const;
    // Moves the edges of child control id by the given amounts (pixels, client coordinates).
    void AdjustChild(int id, int left, int top, int right, int bottom) const;
    // Dialog units to pixels in this dialog's font.
    RECT MapDialogRect(RECT rect) const;

    // The owner for a modal window: the main window or its last active pop-up. The top-level
    // window, when enabled and not the owner, is disabled and handed back in reenable.
    static HWND GetSafeOwner(HWND parent, HWND* reenable);

    HWND m_hWnd = nullptr;
};

std::wstring WindowText(HWND window);
