// The framework's part of the support library's interface hooks: caption, owner, modal state.
#include "framework/ui_glue.h"

#include <shlwapi.h>

#include "framework/win_app.h"
#include "framework/wnd.h"
#include "support/ui_hooks.h"
#include "support/version_info.h"

namespace {

std::wstring ProgramCaption() {
    CWinApp* app = AfxGetApp();
    if (app && !app->AppName().empty()) return app->AppName();
    std::wstring display = cv::version_info::from_module().display_string();
    if (!display.empty()) return display;
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    ::PathRemoveExtensionW(path);
    return ::PathFindFileNameW(path);
}

// Before the application object exists, so that its construction already finds them.
const bool hooksInstalled = (InstallFrameworkHooks(), true);

}  // namespace

void InstallFrameworkHooks() {
    static const bool installed = [] {
        cv::ui_hooks& hooks = cv::ui_hooks::get();
        hooks.caption = [](std::wstring& caption) { caption = ProgramCaption(); };
        hooks.owner = [] {
            cv::owner_pair pair;
            pair.owner = CWnd::GetSafeOwner(nullptr, &pair.reenable);
            return pair;
        };
        hooks.modal = [](bool enable) {
            if (CWinApp* app = AfxGetApp()) app->DoEnableModeless(enable ? TRUE : FALSE);
        };
        return true;
    }();
    (void)installed;
}
