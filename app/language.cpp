// The current language of the run and the localized message lookup.
#include "app/language.h"

#include <clocale>
#include <locale>
#include <stdexcept>

#include "app/message_ids.h"
#include "app/product.h"
#include "support/handles.h"
#include "support/ui_language.h"

namespace {

// The program's text locale, then the C runtime's: classification, collation and time follow
// the language; numbers and currency keep the "C" conventions.
void ApplyProcessLocale(std::int32_t code) {
    const std::wstring name = ProcessLocaleName(code);
    const std::string narrow(name.begin(), name.end());  // locale names are ASCII
    try {
        std::locale::global(std::locale(narrow));
    } catch (const std::runtime_error&) {
        std::locale::global(std::locale::classic());
    }
    ::_wsetlocale(LC_ALL, L"C");
    ::_wsetlocale(LC_CTYPE, name.c_str());
    ::_wsetlocale(LC_COLLATE, name.c_str());
    ::_wsetlocale(LC_TIME, name.c_str());
}

void PublishToSupport(const LanguageState& state) {
    cv::set_ui_language({LanguageId(state.current), state.resourceModule});
}

}  // namespace

LanguageState& LanguageState::Get() {
    static LanguageState state = [] {
        LanguageState initial;
        initial.lcid = LanguageLocaleId(French);
        ::_configthreadlocale(_DISABLE_PER_THREAD_LOCALE);
        ApplyProcessLocale(French);
        ::SetThreadLocale(initial.lcid);
        PublishToSupport(initial);
        return initial;
    }();
    return state;
}

std::wstring ProcessLocaleName(std::int32_t code) {
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    if (PRIMARYLANGID(::GetUserDefaultLangID()) == PRIMARYLANGID(LanguageId(code))) {
        if (!::GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH)) return {};
    } else if (!::LCIDToLocaleName(MAKELCID(LanguageId(code), SORT_DEFAULT), name, LOCALE_NAME_MAX_LENGTH, 0)) {
        return {};
    }
    return name;
}

LCID LanguageLocaleId(std::int32_t code) {
    const LCID user = ::GetUserDefaultLCID();
    const LANGID id = LanguageId(code);
    return LANGIDFROMLCID(user) == id ? user : MAKELCID(id, SORT_DEFAULT);
}

Language CurrentLanguage() { return static_cast<Language>(LanguageState::Get().current); }

void SetLanguage(std::int32_t code) {
    LanguageState& state = LanguageState::Get();
    if (code != state.current) ApplyProcessLocale(code);
    state.current = code;
    state.lcid = LanguageLocaleId(code);
    DWORD codePage = 0;
    if (!::GetLocaleInfoW(state.lcid, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                          reinterpret_cast<LPWSTR>(&codePage), sizeof(codePage) / sizeof(wchar_t)) ||
        codePage == 0) {
        codePage = ::GetACP();
    }
    state.ansiCodePage = codePage;
    state.resourceModule = nullptr;
    PublishToSupport(state);
}

Language LanguageFromUser(std::uint32_t mask) {
    if (mask == 0) mask = LanguageState::Get().availableMask;
    return LanguageForLanguageId(::GetUserDefaultLangID(), mask);
}

std::wstring NativeLanguageName(std::int32_t code) {
    wchar_t name[128] = {};
    if (!::GetLocaleInfoW(LanguageLocaleId(code), LOCALE_SNATIVELANGNAME, name, 128)) return {};
    std::wstring text(name);
    if (text.empty()) return text;

    // The first user-perceived character: a code point and the marks that combine with it.
    size_t first = IS_HIGH_SURROGATE(text[0]) && text.size() > 1 ? 2 : 1;
    while (first < text.size()) {
        WORD type = 0;
        if (!::GetStringTypeW(CT_CTYPE3, &text[first], 1, &type) || !(type & C3_NONSPACING)) break;
        ++first;
    }
    wchar_t upper[16] = {};
    const int length = ::LCMapStringW(LanguageLocaleId(code), LCMAP_UPPERCASE | LCMAP_LINGUISTIC_CASING,
                                      text.c_str(), static_cast<int>(first), upper, 16);
    if (length > 0) text.replace(0, first, upper, length);
    return text;
}

bool IsRightToLeft(std::int32_t code) {
    LOCALESIGNATURE signature = {};
    if (!::GetLocaleInfoW(MAKELCID(LanguageId(code), SORT_DEFAULT), LOCALE_FONTSIGNATURE,
                          reinterpret_cast<LPWSTR>(&signature), sizeof(signature) / sizeof(wchar_t))) {
        return code == Hebrew;
    }
    return (signature.lsUsb[3] >> 27) & 1;
}

namespace {

std::wstring_view StoredText(unsigned id) {
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring_view(text, length) : std::wstring_view();
}

}  // namespace

unsigned LocalizedStringId(unsigned id) {
    return ResolveLocalizedId(id, LanguageState::Get().current, StoredText);
}

std::wstring LoadLocalizedString(unsigned id) { return std::wstring(StoredText(LocalizedStringId(id))); }

std::wstring FormatLocalized(unsigned id, const std::wstring& first, const std::wstring& second) {
    const std::wstring pattern = LoadLocalizedString(id);
    if (pattern.empty()) throw std::logic_error("message " + std::to_string(id) + " has no text");
    const DWORD_PTR inserts[] = {reinterpret_cast<DWORD_PTR>(first.c_str()),
                                 reinterpret_cast<DWORD_PTR>(second.c_str())};
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY | FORMAT_MESSAGE_ALLOCATE_BUFFER,
        pattern.c_str(), 0, 0, reinterpret_cast<LPWSTR>(&buffer), 0,
        reinterpret_cast<va_list*>(const_cast<DWORD_PTR*>(inserts)));
    const cv::unique_local owner(buffer);
    if (length == 0) return pattern;
    return std::wstring(buffer, length);
}

std::wstring InstallerTitle(bool withProduct) {
    std::wstring title = LoadLocalizedString(msg::InstallerName);
    if (withProduct) title += L" \u2013 " + ProductTitle(false);
    return title;
}
