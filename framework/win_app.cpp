// The application object of the window framework: one per process, named, with a main window.
#include "framework/win_app.h"

#include <shlwapi.h>

#include "framework/dialog.h"
#include "framework/ui_glue.h"

namespace {
CWinApp* theApp = nullptr;
}

CWinApp::CWinApp() : m_hInstance(::GetModuleHandleW(nullptr)) {
    InstallFrameworkHooks();
    theApp = this;
    // The program's file name without extension until the application names itself.
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    ::PathRemoveExtensionW(path);
    m_appName = ::PathFindFileNameW(path);
}

CWinApp::~CWinApp() {
    if (theApp == this) theApp = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

BOOL CWinApp::PreTranslateMessage(MSG* msg) { return PreTranslateDialogMessage(msg) ? TRUE : FALSE; }

void CWinApp::DoEnableModeless(BOOL) {}

CWinApp* AfxGetApp() { return theApp; }

int AfxWinMain() {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    app->InitInstance();
    return 0;
}
