// Device contexts of a window's client area and objects selected into them, released on scope exit.
#pragma once

#include <windows.h>

#include <string>

class CClientDC {
public:
    explicit CClientDC(HWND window) : m_window(window), m_dc(::GetDC(window)) {}
    ~CClientDC() {
        if (m_dc) ::ReleaseDC(m_window, m_dc);
    }
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;

    HDC get() const { return m_dc; }
    // Width of text in the selected font, pixels.
    int TextWidth(const std::wstring& text) const {
        SIZE size{};
        ::GetTextExtentPoint32W(m_dc, text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx;
    }

private:
    HWND m_window;
    HDC m_dc;
};

// Selects an object into a device context and puts the previous one back.
class CSelectedObject {
public:
    CSelectedObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(::SelectObject(dc, object)) {}
    ~CSelectedObject() {
        if (m_previous) ::SelectObject(m_dc, m_previous);
    }
    CSelectedObject(const CSelectedObject&) = delete;
    CSelectedObject& operator=(const CSelectedObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};
