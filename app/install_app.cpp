// The installer's application object: the initialization phase and the install context.
#include "app/install_app.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <stdexcept>
#include <system_error>

#include "app/language.h"
#include "app/message_ids.h"
#include "app/product.h"
#include "framework/message_box.h"
#include "records/earlier_log.h"
#include "resources/resource_ids.h"
#include "support/error_text.h"
#include "support/registry.h"
#include "support/security.h"
#include "support/ui_hooks.h"
#include "support/version_info.h"

bool processorSupported = false;

namespace {

void destroy_icon(HICON icon) noexcept { ::DestroyIcon(icon); }
using unique_icon = cv::unique_null<HICON, &destroy_icon>;

// Icon 128 at the resource's own size, loaded once and kept for the process.
HICON ApplicationIcon() {
    static const unique_icon icon(static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APPLICATION_ICON), IMAGE_ICON, 0, 0,
                     LR_DEFAULTCOLOR)));
    return icon.get();
}

std::wstring UninstallKeyPath() {
    return L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + product_key_name(productId);
}

// The language an earlier installation recorded, when it is a product language.
void ApplyStoredLanguage() {
    DWORD language = 0;
    DWORD size = sizeof(language);
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, UninstallKeyPath().c_str(), L"CvLanguage", RRF_RT_REG_DWORD, nullptr,
                       &language, &size) == ERROR_SUCCESS &&
        IsProductLanguage(static_cast<std::int32_t>(language))) {
        SetLanguage(static_cast<std::int32_t>(language));
    }
}

// A shell folder (not created) followed by the maker's name and the product key name.
bool ProductFolder(int csidl, std::wstring& out) {
    wchar_t path[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE)) return false;
    if (!::PathAppendW(path, MakerName) || !::PathAppendW(path, product_key_name(productId).c_str())) {
        throw std::system_error(ERROR_FILENAME_EXCED_RANGE, std::system_category());
    }
    out = path;
    return true;
}

}  // namespace

CInstallApp::CInstallApp() : installerMutex(applicationId + InstallerMutexSuffix, false, true) {
    productId = VeltranoProductId;
    cv::ui_hooks::get().icon = ApplicationIcon;
}

CInstallApp::~CInstallApp() = default;

CInstallApp& InstallApp() { return *static_cast<CInstallApp*>(AfxGetApp()); }

BOOL CInstallApp::InitInstance() {
    try {
        if (!RunStartupChecks()) return FALSE;
        DetectEarlierInstallation(InstalledProgramPath());
        SetDefaultFolders();
        createMenuShortcut = 1;
        createDesktopShortcut = 1;
        advancedInstall = 0;
    } catch (const std::system_error& error) {
        cv::show_error(static_cast<DWORD>(error.code().value()));
    } catch (long error) {
        cv::show_error(static_cast<DWORD>(error));
    } catch (const std::exception&) {
        cv::show_error(static_cast<DWORD>(E_FAIL));
    }
    return FALSE;
}

// Processor, second installer, language, rights, running product; false when start-up ends.
bool CInstallApp::RunStartupChecks() {
    if (!processorSupported) {
        cv::show_error(static_cast<DWORD>(E_UNEXPECTED));
        return false;
    }
    if (!installerMutex.TryLock()) {
        cv::show_error(ERROR_BUSY);
        return false;
    }
    CWinApp::InitInstance();

    SetLanguage(LanguageFromUser(ProductLanguageMask));
    ApplyStoredLanguage();
    if (!HasInstallerTexts(CurrentLanguage())) SetLanguage(English);
    UpdateAppName();

    if (!cv::is_user_admin()) {
        AfxMessageBox(LoadLocalizedString(msg::NeedAdministrator), MB_OK | MB_ICONWARNING);
        return false;
    }
    while (RunningCount() > 1) {
        const std::wstring text = FormatLocalized(msg::CloseProduct, ProductTitle(true));
        if (AfxMessageBox(text, MB_RETRYCANCEL | MB_ICONWARNING) != IDRETRY) return false;
    }
    return true;
}

void CInstallApp::DetectEarlierInstallation(const std::wstring& programPath) {
    installedVersionText.clear();
    installedVersion = 0;
    if (programPath.empty()) {
        previousState = NoneInstalled;
    } else {
        const cv::version_info info = cv::version_info::from_file(programPath.c_str());
        const std::uint64_t version = info.file_version();
        if (!info.fixed_info() || version == ProductVersion) {
            previousState = SameVersion;
        } else if (version > ProductVersion) {
            previousState = NewerVersion;
            installedVersionText = info.display_string();
        } else {
            previousState = OlderVersion;
            installedVersionText = info.display_string();
            installedVersion = version;
        }
    }

    if (previousState == SameVersion || previousState == OlderVersion) {
        const std::wstring log = FindEarlierLog();
        if (!log.empty()) {
            uninstallLog.Load(log);
            installFolder = uninstallLog.installPath;
            startMenuFolder = uninstallLog.shortcutPath;
        }
    } else {
        uninstallLog.Load();
    }
}

void CInstallApp::SetDefaultFolders() {
    if (installFolder.empty() && !ProductFolder(CSIDL_PROGRAM_FILES, installFolder)) {
        throw std::system_error(ERROR_PATH_NOT_FOUND, std::system_category());
    }
    if (startMenuFolder.empty() && !ProductFolder(CSIDL_COMMON_PROGRAMS, startMenuFolder) &&
        !ProductFolder(CSIDL_PROGRAMS, startMenuFolder)) {
        throw std::system_error(ERROR_PATH_NOT_FOUND, std::system_category());
    }
}

PreviousInstall CInstallApp::GetPreviousState(std::wstring* versionText) const {
    if (versionText && (previousState == OlderVersion || previousState == NewerVersion)) {
        *versionText = installedVersionText;
    }
    return previousState;
}
