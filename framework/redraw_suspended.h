// A window that does not repaint while a series of changes is made to it; it is invalidated
// once afterwards and paints when its messages are next processed.
#pragma once

#include "framework/wnd.h"

class CRedrawSuspended {
public:
    explicit CRedrawSuspended(const CWnd& window) : m_window(window) { m_window.SendMessage(WM_SETREDRAW, FALSE); }
    ~CRedrawSuspended() {
        m_window.SendMessage(WM_SETREDRAW, TRUE);
        ::InvalidateRect(m_window.m_hWnd, nullptr, TRUE);
    }
    CRedrawSuspended(const CRedrawSuspended&) = delete;
    CRedrawSuspended& operator=(const CRedrawSuspended&) = delete;

private:
    const CWnd& m_window;
};
