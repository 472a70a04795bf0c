// The current language of the run and the localized message lookup.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "app/language_table.h"

// The process-wide language record; created with French current on first use.
struct LanguageState {
    std::uint32_t availableMask = 1;
    std::int32_t current = French;
    std::uint32_t lcid = 0;
    std::uint32_t ansiCodePage = 1252;
    HMODULE resourceModule = nullptr;  // null: the executable

    static LanguageState& Get();
};

Language CurrentLanguage();
void SetLanguage(std::int32_t code);
// The user's default language when its bit is set in mask (0: availableMask), else English
// when allowed, else French.
Language LanguageFromUser(std::uint32_t mask);
std::wstring NativeLanguageName(std::int32_t code);
bool IsRightToLeft(std::int32_t code);
// The locale identifier that code uses: the user's own when it is of the same language id.
LCID LanguageLocaleId(std::int32_t code);
// The locale name the process takes for code: the user's own when it is of the same language.
std::wstring ProcessLocaleName(std::int32_t code);

unsigned LocalizedStringId(unsigned id);
std::wstring LoadLocalizedString(unsigned id);
// The message with %1 and %2 inserted by the system's message formatting.
std::wstring FormatLocalized(unsigned id, const std::wstring& first = {},
                             const std::wstring& second = {});
// Message 1000, with " – " and the product title with version when withProduct.
std::wstring InstallerTitle(bool withProduct);
