// Data exchange between controls and members: texts, check boxes, radio groups, bindings.
#include "framework/data_exchange.h"

#include "framework/dialog.h"
#include "framework/message_box.h"

HWND CDataExchange::PrepareCtrl(int id) {
    m_lastControl = m_pDlgWnd->GetDlgItem(id);
    m_lastIsEdit = false;
    return m_lastControl;
}

HWND CDataExchange::PrepareEditCtrl(int id) {
    PrepareCtrl(id);
    m_lastIsEdit = true;
    return m_lastControl;
}

void CDataExchange::Fail() {
    if (m_bSaveAndValidate && m_lastControl) {
        ::SetFocus(m_lastControl);
        if (m_lastIsEdit) ::SendMessageW(m_lastControl, EM_SETSEL, 0, -1);
    }
    throw Refused{};
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (!control.m_hWnd) control.Attach(dx->PrepareCtrl(id));
}

void DDX_Text(CDataExchange* dx, int id, std::wstring& value) {
    HWND control = dx->PrepareEditCtrl(id);
    if (dx->m_bSaveAndValidate) {
        value = WindowText(control);
    } else {
        ::SetWindowTextW(control, value.c_str());
    }
}

void DDV_MaxChars(CDataExchange* dx, const std::wstring& value, size_t maxChars) {
    if (!dx->m_bSaveAndValidate || value.size() <= maxChars) return;
    std::wstring text = L"Enter no more than %1 characters.";
    text.replace(text.find(L"%1"), 2, std::to_wstring(maxChars));
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    dx->Fail();
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) {
        value = static_cast<int>(::SendMessageW(control, BM_GETCHECK, 0, 0));
    } else {
        ::SendMessageW(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    }
}

void DDX_Radio(CDataExchange* dx, int id, int& value) {
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) value = -1;
    int index = 0;
    // The group runs from its first button to the next control that starts a group.
    do {
        if (::SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
            if (dx->m_bSaveAndValidate) {
                if (::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
            } else {
                ::SendMessageW(control, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            ++index;
        }
        control = ::GetWindow(control, GW_HWNDNEXT);
    } while (control && !(::GetWindowLongW(control, GWL_STYLE) & WS_GROUP));
}
