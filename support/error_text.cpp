// Error codes as text, and message boxes that follow the application's caption, owner and
// reading-order rules.
#include "support/error_text.h"

#include <shlwapi.h>

#include "support/handles.h"
#include "support/ui_hooks.h"
#include "support/ui_language.h"
#include "support/version_info.h"

namespace cv {

namespace {

constexpr DWORD customerBit = 0x20000000;
constexpr DWORD resourceBit = 0x08000000;

bool format_system_message(DWORD code, DWORD languageId, std::wstring& text) {
    constexpr DWORD flags =
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER;
    wchar_t* buffer = nullptr;
    DWORD length = ::FormatMessageW(flags, nullptr, code, languageId, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    if (length == 0 && ::GetLastError() == ERROR_RESOURCE_LANG_NOT_FOUND) {
        length = ::FormatMessageW(flags, nullptr, code, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    }
    if (length == 0) return false;
    const unique_local owner(buffer);
    text.assign(buffer, length);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n')) text.pop_back();
    return true;
}

// Entry id of a string table in module; false when the module has no such string.
bool module_string(HMODULE module, unsigned id, LANGID languageId, std::wstring& text) {
    const wchar_t* block = MAKEINTRESOURCEW(id / 16 + 1);
    HRSRC found = ::FindResourceExW(module, RT_STRING, block, languageId);
    if (!found) found = ::FindResourceW(module, block, RT_STRING);
    if (!found) return false;
    const HGLOBAL loaded = ::LoadResource(module, found);
    const auto* entry = loaded ? static_cast<const wchar_t*>(::LockResource(loaded)) : nullptr;
    if (!entry) return false;
    const DWORD size = ::SizeofResource(module, found) / sizeof(wchar_t);
    const wchar_t* end = entry + size;
    // Each of the block's sixteen entries is a length followed by that many characters.
    for (unsigned index = 0; index < id % 16; ++index) {
        if (entry >= end) return false;
        entry += 1 + *entry;
    }
    if (entry >= end || entry + 1 + *entry > end) return false;
    text.assign(entry + 1, *entry);
    return true;
}

// The string of the current language's resource module, else of the program's own module.
std::wstring resource_string(unsigned id) {
    const ui_language language = current_ui_language();
    std::wstring text;
    if (language.resourceModule && module_string(language.resourceModule, id, language.languageId, text)) {
        return text;
    }
    module_string(::GetModuleHandleW(nullptr), id, language.languageId, text);
    return text;
}

// The user's default interface language as the installer maps it: Hebrew is its only
// language written from right to left.
bool user_language_is_right_to_left() {
    if (PRIMARYLANGID(::GetUserDefaultUILanguage()) != LANG_HEBREW) return false;
    LOCALESIGNATURE signature = {};
    if (!::GetLocaleInfoW(MAKELCID(MAKELANGID(LANG_HEBREW, SUBLANG_DEFAULT), SORT_DEFAULT), LOCALE_FONTSIGNATURE,
                          reinterpret_cast<LPWSTR>(&signature), sizeof(signature) / sizeof(wchar_t))) {
        return true;
    }
    return (signature.lsUsb[3] >> 27) & 1;
}

UINT reading_order(HWND owner) {
    const bool rtl = owner ? (::GetWindowLongW(owner, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0
                           : user_language_is_right_to_left();
    return rtl ? MB_RTLREADING : 0;
}

UINT with_default_icon(UINT type) {
    if (type & MB_ICONMASK) return type;
    switch (type & MB_TYPEMASK) {
    case MB_OK:
    case MB_OKCANCEL:
        return type | MB_ICONEXCLAMATION;
    case MB_YESNOCANCEL:
    case MB_YESNO:
        return type | MB_ICONQUESTION;
    default:
        return type;
    }
}

std::wstring text_or_resource(const wchar_t* text) {
    if (!text) return {};
    if (IS_INTRESOURCE(text)) return resource_string(static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(text)));
    return text;
}

// Gives the disabled top-level window back and resumes modeless windows, whatever happened.
class modal_scope {
public:
    explicit modal_scope(HWND reenable) : reenable_(reenable) {
        if (const auto& modal = ui_hooks::get().modal) modal(false);
    }
    ~modal_scope() {
        if (reenable_) ::EnableWindow(reenable_, TRUE);
        if (const auto& modal = ui_hooks::get().modal) modal(true);
    }
    modal_scope(const modal_scope&) = delete;
    modal_scope& operator=(const modal_scope&) = delete;

private:
    HWND reenable_;
};

BOOL CALLBACK first_captioned_window(HWND window, LPARAM found) {
    if ((::GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) != WS_CAPTION) return TRUE;
    *reinterpret_cast<HWND*>(found) = ::GetAncestor(window, GA_ROOTOWNER);
    return FALSE;
}

}  // namespace

std::wstring system_message(DWORD code, DWORD languageId) {
    std::wstring text;
    if (format_system_message(code, languageId, text)) return text;
    if (code == static_cast<DWORD>(E_FAIL)) return L"Error";
    return system_message(static_cast<DWORD>(E_FAIL), languageId);
}

std::wstring error_text(DWORD code) {
    if (!(code & customerBit)) return system_message(code, 0);
    if (code & resourceBit) {
        std::wstring text = resource_string(code & 0xFFFF);
        if (!text.empty()) return text;
    }
    return system_message(static_cast<DWORD>(E_FAIL), 0);
}

int message_box(const wchar_t* text, UINT type) {
    owner_pair window;
    if (const auto& owner = ui_hooks::get().owner) {
        window = owner();
    } else {
        window.owner = owner_window();
    }
    const modal_scope scope(window.reenable);
    // Focus returns to the owner when the box closes only if it is enabled.
    if (window.owner != window.reenable) ::EnableWindow(window.owner, TRUE);

    type = with_default_icon(type) | reading_order(window.owner);
    const std::wstring body = text_or_resource(text);
    const std::wstring caption = default_caption();
    // Some systems report a box that could not be created as -1, the dialog failure value.
    const int result = ::MessageBoxW(window.owner, body.c_str(), caption.c_str(), type);
    return result > 0 ? result : 0;
}

void show_error(DWORD code) { message_box(error_text(code).c_str(), MB_OK | MB_ICONEXCLAMATION); }

bool error_box(HWND owner, DWORD code) {
    ::MessageBoxW(owner, system_message(code, 0).c_str(), nullptr, MB_ICONEXCLAMATION | reading_order(owner));
    return false;
}

HWND owner_window() {
    HWND window = nullptr;
    if (HWND active = ::GetActiveWindow()) {
        window = ::GetAncestor(active, GA_ROOTOWNER);
    } else {
        ::EnumThreadWindows(::GetCurrentThreadId(), first_captioned_window, reinterpret_cast<LPARAM>(&window));
    }
    return window ? ::GetLastActivePopup(window) : nullptr;
}

std::wstring default_caption() {
    if (const auto& caption = ui_hooks::get().caption) {
        std::wstring text;
        caption(text);
        return text;
    }
    std::wstring display = version_info::from_module().display_string();
    if (!display.empty()) return display;
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    ::PathRemoveExtensionW(path);
    return ::PathFindFileNameW(path);
}

}  // namespace cv
