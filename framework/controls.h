// Wrappers of the standard controls the installer's pages use: edit, progress bar, static, button.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/wnd.h"

class CEdit : public CWnd {
public:
    struct Margins {
        int left;
        int right;
    };

    void SetSel(int start, int end) const { SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end); }
    void ReplaceSel(const std::wstring& text, bool canUndo = false) const {
        SendMessage(EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text.c_str()));
    }
    void ScrollCaret() const { SendMessage(EM_SCROLLCARET); }
    void LineScroll(int lines, int chars = 0) const { SendMessage(EM_LINESCROLL, static_cast<WPARAM>(chars), lines); }
    int GetFirstVisibleLine() const { return static_cast<int>(SendMessage(EM_GETFIRSTVISIBLELINE)); }
    int GetLineCount() const { return static_cast<int>(SendMessage(EM_GETLINECOUNT)); }
    Margins GetMargins() const {
        const auto margins = static_cast<DWORD>(SendMessage(EM_GETMARGINS));
        return {LOWORD(margins), HIWORD(margins)};
    }
    void SetReadOnly(bool readOnly) const { SendMessage(EM_SETREADONLY, readOnly); }
};

class CProgressCtrl : public CWnd {
public:
    void SetRange32(int lower, int upper) const { SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(lower), upper); }
    PBRANGE GetRange() const {
        PBRANGE range{};
        SendMessage(PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
        return range;
    }
    int SetPos(int position) const { return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(position))); }
    int GetPos() const { return static_cast<int>(SendMessage(PBM_GETPOS)); }
};

class CStatic : public CWnd {};

class CButton : public CWnd {
public:
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int state) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(state)); }
};
