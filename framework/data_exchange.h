// Data exchange between a dialog's controls and its members, with validation on storing.
#pragma once

#include <windows.h>

#include <string>

class CDialog;
class CWnd;

class CDataExchange {
public:
    // Thrown by Fail: the dialog's UpdateData answers false.
    struct Refused {};

    CDataExchange(CDialog* dialog, bool saveAndValidate)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

    // The control id of the dialog, remembered as the one a failed validation returns to.
    HWND PrepareCtrl(int id);
    HWND PrepareEditCtrl(int id);
    // Puts the focus on the last prepared control (an edit box gets its text selected) and
    // refuses the exchange.
    [[noreturn]] void Fail();

    CDialog* m_pDlgWnd;
    bool m_bSaveAndValidate;

private:
    HWND m_lastControl = nullptr;
    bool m_lastIsEdit = false;
};

// Binds control id to a wrapper member on the first exchange.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
// Text of control id and a string.
void DDX_Text(CDataExchange* dx, int id, std::wstring& value);
// On storing: refuses a text longer than maxChars with "Enter no more than %1 characters.".
void DDV_MaxChars(CDataExchange* dx, const std::wstring& value, size_t maxChars);
// State of a check box (0 clear, 1 checked, 2 indeterminate) and an integer.
void DDX_Check(CDataExchange* dx, int id, int& value);
// Index of the checked button of the radio group that starts at control id (-1: none).
void DDX_Radio(CDataExchange* dx, int id, int& value);
