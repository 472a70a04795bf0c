// The application object of the window framework: one per process, named, with a main window.
#pragma once

#include <windows.h>

#include <string>

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Runs the application's initialization; false ends the application without a loop.
    virtual BOOL InitInstance();
    // Offered every message of the thread before it is dispatched; true when handled.
    virtual BOOL PreTranslateMessage(MSG* msg);
    // Suspends (FALSE) or resumes (TRUE) the application's modeless windows around a modal box.
    virtual void DoEnableModeless(BOOL enable);

    // The name message boxes use as caption.
    const std::wstring& AppName() const { return m_appName; }
    void SetAppName(std::wstring name) { m_appName = std::move(name); }

    HWND m_hMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;

private:
    std::wstring m_appName;
};

// The process's application object, or null before it is built and after it is destroyed.
CWinApp* AfxGetApp();

// The framework's entry: InitInstance, then the end of the application; the exit code.
int AfxWinMain();
