// The steps of start-up that run before the application object and the window framework.
#include "app/static_phase.h"

#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <algorithm>
#include <clocale>
#include <cwchar>
#include <cstdlib>
#include <locale>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/install_app.h"
#include "app/instance_checks.h"
#include "support/handles.h"
#include "support/paths.h"
#include "support/version_info.h"

namespace {

constexpr const wchar_t* IncompatibleText =
    L"This Version is not compatible with your Configuration.\n\n"
    L"Cette version n'est pas compatible avec votre configuration.\n\n"
    L"Diese Version ist nicht mit Ihrer Konfiguration kompatibel.";

void release_activation_context(HANDLE context) noexcept { ::ReleaseActCtx(context); }
using unique_activation_context = cv::unique_null<HANDLE, &release_activation_context>;

// Major version in the high 16 bits, minor in the low 16, as the library reports it.
DWORD ReportedCommonControlsVersion(HMODULE comctl) {
    const auto getVersion =
        reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(::GetProcAddress(comctl, "DllGetVersion")));
    DLLVERSIONINFO version = {};
    version.cbSize = sizeof(version);
    if (!getVersion || FAILED(getVersion(&version))) return 0;
    return (version.dwMajorVersion << 16) | version.dwMinorVersion;
}

// The version of the common-controls assembly that the activation context binds. Wine's
// version 6 library reports 5.81 through DllGetVersion, its assembly says what it is.
DWORD BoundCommonControlsVersion() {
    ACTCTX_SECTION_KEYED_DATA data = {};
    data.cbSize = sizeof(data);
    if (!::FindActCtxSectionStringW(FIND_ACTCTX_SECTION_KEY_RETURN_HACTCTX, nullptr,
                                    ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll", &data)) {
        return 0;
    }
    const unique_activation_context context(data.hActCtx);
    ACTIVATION_CONTEXT_QUERY_INDEX index = {data.ulAssemblyRosterIndex, 0};
    SIZE_T needed = 0;
    ::QueryActCtxW(0, context.get(), &index, AssemblyDetailedInformationInActivationContext, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    if (needed == 0 || !::QueryActCtxW(0, context.get(), &index, AssemblyDetailedInformationInActivationContext,
                                       buffer.data(), needed, &needed)) {
        return 0;
    }
    const auto* info = reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(buffer.data());
    if (!info->lpAssemblyEncodedAssemblyIdentity) return 0;
    const std::wstring identity = info->lpAssemblyEncodedAssemblyIdentity;
    if (identity.find(L"Microsoft.Windows.Common-Controls,") != 0) return 0;
    const size_t at = identity.find(L"version=\"");
    unsigned major = 0;
    unsigned minor = 0;
    if (at == std::wstring::npos || swscanf(identity.c_str() + at + 9, L"%u.%u", &major, &minor) != 2) return 0;
    return (major << 16) | minor;
}

void RequireCommonControls6() {
    const HMODULE comctl = cv::system_module(L"Comctl32.dll");
    if (!comctl) throw std::runtime_error("common controls");
    if (std::max(ReportedCommonControlsVersion(comctl), BoundCommonControlsVersion()) < 0x60000) {
        throw std::runtime_error("common controls 6 required");
    }
    const INITCOMMONCONTROLSEX classes = {sizeof(classes), 0xC0FF};
    if (!::InitCommonControlsEx(&classes)) throw std::runtime_error("common controls");
}

std::wstring OwnApplicationId() {
    const cv::version_info own = cv::version_info::from_module();
    std::wstring id = own.string_value(L"ApplicationId");
    if (id.empty()) id = own.product_name();
    if (id.empty()) {
        wchar_t path[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, path, MAX_PATH);
        ::PathRemoveExtensionW(path);
        id = ::PathFindFileNameW(path);
    }
    return id;
}

}  // namespace

bool CheckProcessor() {
    if (!::IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE)) {
        ::MessageBoxW(nullptr, IncompatibleText, nullptr, MB_ICONERROR);
        return false;
    }
    processorSupported = true;
    return true;
}

void SetUpProcessEnvironment() {
    ::SetErrorMode(::GetErrorMode() | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    if (!::GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH)) throw std::runtime_error("locale");
    const std::wstring wide(name);
    try {
        std::locale::global(std::locale(std::string(wide.begin(), wide.end())));
    } catch (const std::runtime_error&) {
        std::locale::global(std::locale::classic());
    }
    if (::_configthreadlocale(_DISABLE_PER_THREAD_LOCALE) == -1) throw std::runtime_error("locale");
}

void InitializeApplication() {
    cv::maker_common_data_folder();
    cv::maker_user_data_folder();
    cv::documents_folder();
    RequireCommonControls6();
    applicationId = OwnApplicationId();
    InstanceCounter::Get();
}

void InitializationError() {
    ::MessageBoxW(nullptr, L"Initialization Error", nullptr, MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
    std::exit(-11);
}
