// Dialogs from templates: creation, dispatch through the message table, the modal loop.
#include "framework/dialog.h"

#include <utility>

#include "framework/data_exchange.h"
#include "framework/win_app.h"

namespace {

CDialog* activeModal = nullptr;  // innermost running modal dialog of the user-interface thread
std::exception_ptr pendingFailure;  // raised in a handler of a window without a modal loop

}  // namespace

CDialog::~CDialog() {
    if (m_hWnd) ::DestroyWindow(m_hWnd);
}

HWND CDialog::CreateFromTemplate(HWND parent) {
    return ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), parent,
                                &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

bool CDialog::Create(HWND parent) {
    if (!CreateFromTemplate(parent)) return false;
    if (pendingFailure) std::rethrow_exception(std::exchange(pendingFailure, nullptr));
    return m_hWnd != nullptr;
}

INT_PTR CDialog::DoModal(HWND owner) {
    HWND reenable = nullptr;
    if (!owner) owner = GetSafeOwner(nullptr, &reenable);
    const bool disableOwner = owner && ::IsWindowEnabled(owner);
    if (disableOwner) ::EnableWindow(owner, FALSE);

    m_modalRunning = true;
    m_modalResult = -1;
    m_outerModal = std::exchange(activeModal, this);
    if (CreateFromTemplate(owner)) {
        if (pendingFailure) m_failure = std::exchange(pendingFailure, nullptr);
        if (m_modalRunning && !m_failure) {
            ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
            RunModalLoop();
        }
        // The owner comes back before this window goes, so that activation returns to it.
        if (disableOwner) ::EnableWindow(owner, TRUE);
        if (owner && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(owner);
        ::DestroyWindow(m_hWnd);
    } else if (disableOwner) {
        ::EnableWindow(owner, TRUE);
    }
    activeModal = m_outerModal;
    m_modalRunning = false;
    if (reenable) ::EnableWindow(reenable, TRUE);
    if (m_failure) std::rethrow_exception(std::exchange(m_failure, nullptr));
    return m_modalResult;
}

void CDialog::RunModalLoop() {
    MSG message;
    while (m_modalRunning && m_hWnd && !m_failure) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            // The application is ending: leave the loop and let the outer one see the quit.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        CWinApp* app = AfxGetApp();
        const bool consumed = app ? app->PreTranslateMessage(&message) : PreTranslateDialogMessage(&message);
        if (!consumed) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        if (pendingFailure) m_failure = std::exchange(pendingFailure, nullptr);
    }
}

void CDialog::EndDialog(INT_PTR result) {
    m_modalResult = result;
    if (m_modalRunning) {
        m_modalRunning = false;
        // Wakes the loop when the end comes from outside a message of this thread's queue.
        if (m_hWnd) ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
    } else if (m_hWnd) {
        ::ShowWindow(m_hWnd, SW_HIDE);
    }
}

bool CDialog::UpdateData(bool saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CDataExchange::Refused&) {
        return false;
    }
    return true;
}

void CDialog::SetDefID(UINT id) const { SendMessage(DM_SETDEFID, id); }

BOOL CDialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
    if (UpdateData(true)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

LRESULT CDialog::Default() {
    return ::CallWindowProcW(m_defaultProc, m_hWnd, m_current.message, m_current.wParam, m_current.lParam);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) return FALSE;
    // From here on the dialog's messages pass through its message table first.
    auto* self = reinterpret_cast<CDialog*>(lParam);
    self->m_hWnd = window;
    ::SetWindowLongPtrW(window, DWLP_USER, lParam);
    self->m_defaultProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CDialog::SubclassProc)));
    try {
        return self->OnInitDialog();
    } catch (...) {
        pendingFailure = std::current_exception();
        self->EndDialog(-1);
        return FALSE;
    }
}

LRESULT CALLBACK CDialog::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(window, DWLP_USER));
    const WNDPROC defaultProc = self->m_defaultProc;
    LRESULT result = 0;
    const CurrentMessage outer = std::exchange(self->m_current, CurrentMessage{message, wParam, lParam});
    try {
        result = self->WindowProc(message, wParam, lParam);
    } catch (...) {
        // No exception may cross the system's frames; the modal loop raises it again.
        if (!pendingFailure) pendingFailure = std::current_exception();
    }
    self->m_current = outer;
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(defaultProc));
        self->m_hWnd = nullptr;
    }
    return result;
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (Dispatch(message, wParam, lParam, result)) return result;
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDOK:
            OnOK();
            return 0;
        case IDCANCEL:
            OnCancel();
            return 0;
        }
    }
    return Default();
}

bool CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    for (const MessageMap* map = GetMessageMap(); map; map = map->base) {
        for (const MessageEntry& entry : map->entries) {
            const bool matches = entry.message == message &&
                                 (message != WM_COMMAND || (entry.id == LOWORD(wParam) && entry.code == HIWORD(wParam)));
            if (matches) {
                result = entry.handler(*this, wParam, lParam);
                return true;
            }
        }
    }
    return false;
}

bool PreTranslateDialogMessage(MSG* message) {
    if (message->message < WM_KEYFIRST || message->message > WM_KEYLAST) return false;
    HWND window = activeModal ? activeModal->m_hWnd : nullptr;
    if (!window || (message->hwnd != window && !::IsChild(window, message->hwnd))) return false;
    return ::IsDialogMessageW(window, message) != FALSE;
}
