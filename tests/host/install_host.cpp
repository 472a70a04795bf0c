// A host for the install sequence, for the end-to-end tests and the benchmark: the install
// context built the way start-up builds it, the progress page in a real window, one Install().
//
//   install_host [/folder <path>] [/menu-folder <path>] [/no-menu] [/no-desktop]
//                [/language <code>] [/payload <file>]
//
// Prints the details log and the final status line (UTF-8); exit code 0 when the installation
// succeeded, 1 when it failed, 2 for a bad command line or a page that cannot be shown.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "app/install_app.h"
#include "app/language.h"
#include "app/product.h"
#include "app/static_phase.h"
#include "resources/dialog_ids.h"
#include "support/handles.h"
#include "wizard/dlg_install.h"

namespace {

struct Options {
    std::optional<std::wstring> folder;
    std::optional<std::wstring> menuFolder;
    bool menu = true;
    bool desktop = true;
    std::optional<int> language;
    std::optional<std::wstring> payload;
};

bool Parse(int count, wchar_t** arguments, Options& options) {
    for (int i = 1; i < count; ++i) {
        const std::wstring argument = arguments[i];
        const bool hasValue = i + 1 < count;
        if (argument == L"/folder" && hasValue) options.folder = arguments[++i];
        else if (argument == L"/menu-folder" && hasValue) options.menuFolder = arguments[++i];
        else if (argument == L"/no-menu") options.menu = false;
        else if (argument == L"/no-desktop") options.desktop = false;
        else if (argument == L"/language" && hasValue) options.language = _wtoi(arguments[++i]);
        else if (argument == L"/payload" && hasValue) options.payload = arguments[++i];
        else return false;
    }
    return true;
}

void Print(const std::wstring& text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                          nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

void destroy_window(HWND window) noexcept { ::DestroyWindow(window); }
using unique_window = cv::unique_null<HWND, &destroy_window>;

// A plain top-level window to hold the page, as the wizard frame would.
unique_window CreateFrame() {
    WNDCLASSW frameClass = {};
    frameClass.lpfnWndProc = ::DefWindowProcW;
    frameClass.hInstance = ::GetModuleHandleW(nullptr);
    frameClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    frameClass.lpszClassName = L"CvInstallHost";
    ::RegisterClassW(&frameClass);
    return unique_window(::CreateWindowExW(0, frameClass.lpszClassName, L"Install host",
                                           WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 40, 40, 560, 420, nullptr, nullptr,
                                           frameClass.hInstance, nullptr));
}

class CHostApp : public CInstallApp {
public:
    BOOL InitInstance() override {
        int count = 0;
        const std::unique_ptr<wchar_t*, decltype(&::LocalFree)> arguments(
            ::CommandLineToArgvW(::GetCommandLineW(), &count), &::LocalFree);
        Options options;
        if (!arguments || !Parse(count, arguments.get(), options)) {
            Print(L"usage: install_host [/folder p] [/menu-folder p] [/no-menu] [/no-desktop] [/language n] "
                  L"[/payload file]\n");
            exitCode = 2;
            return FALSE;
        }

        SetLanguage(options.language.value_or(LanguageFromUser(ProductLanguageMask)));
        installerMutex.TryLock();
        DetectEarlierInstallation(InstalledProgramPath());
        SetDefaultFolders();
        if (options.folder) installFolder = *options.folder;
        if (options.menuFolder) startMenuFolder = *options.menuFolder;
        createMenuShortcut = options.menu;
        createDesktopShortcut = options.desktop;

        const unique_window frame = CreateFrame();
        CDlgInstall page;
        if (options.payload) {
            const std::wstring file = *options.payload;
            page.payloadSource = [file] {
                return std::unique_ptr<std::istream>(new std::ifstream(file.c_str(), std::ios::binary));
            };
        }
        if (!frame || !page.Create(frame.get())) {
            Print(L"install_host: the progress page cannot be created\n");
            exitCode = 2;
            return FALSE;
        }
        m_hMainWnd = frame.get();
        page.UpdateData(false);
        page.ApplyTexts();
        page.ShowWindow(SW_SHOW);

        installDone = page.Install();
        Print(page.m_log.GetWindowText());
        Print(L"status: " + page.GetDlgItemText(IDC_STATUS) + L"\n");
        exitCode = installDone ? 0 : 1;
        m_hMainWnd = nullptr;
        return FALSE;
    }

    int exitCode = 2;
};

}  // namespace

int wmain() {
    std::optional<CHostApp> app;
    const int code = RunApplication(app);
    return app ? app->exitCode : code;
}
