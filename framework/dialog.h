// Dialogs from templates in the resources: modal with their own loop, or child pages.
#pragma once

#include <windows.h>

#include <exception>

#include "framework/wnd.h"

class CDataExchange;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId) : m_templateId(templateId) {}
    ~CDialog() override;

    // Runs the dialog modally over owner (null: the application's safe owner); the result
    // given to EndDialog, or -1 when the dialog cannot be created.
    INT_PTR DoModal(HWND owner = nullptr);
    // Creates the dialog as a child of parent; a child template is not visible at creation.
    bool Create(HWND parent);
    // Ends the modal loop with result (a child dialog is hidden).
    void EndDialog(INT_PTR result);

    // Loads the controls (false) or validates and stores them (true); false when refused.
    bool UpdateData(bool saveAndValidate);
    void SetDefID(UINT id) const;
    UINT TemplateId() const { return m_templateId; }

protected:
    // Runs the data exchange that loads the controls; true lets the system set the focus.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* dx);
    virtual void OnOK();
    virtual void OnCancel();

    // The default handling of the message being dispatched.
    LRESULT Default();

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    HWND CreateFromTemplate(HWND parent);
    void RunModalLoop();

    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    UINT m_templateId;
    WNDPROC m_defaultProc = nullptr;
    CurrentMessage m_current{};
    bool m_modalRunning = false;
    INT_PTR m_modalResult = -1;
    CDialog* m_outerModal = nullptr;
    std::exception_ptr m_failure;  // raised by a handler; rethrown by DoModal
};

// The framework's pre-translation of a thread message: the dialog keys (Tab, arrows, Enter,
// Escape, mnemonics) of the innermost running modal dialog. True when consumed.
bool PreTranslateDialogMessage(MSG* message);
