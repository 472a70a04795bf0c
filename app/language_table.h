// The installer's languages: codes, Windows language ids, string blocks, and the lookup rules.
// Portable: no window or locale calls, so the rules can be tested on their own.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

enum Language : std::int32_t {
    French = 0,
    English = 1,
    German = 2,
    Spanish = 3,
    Portuguese = 4,
    Dutch = 5,
    Danish = 6,
    Turkish = 7,
    Bulgarian = 8,
    Romanian = 9,
    Chinese = 10,
    Italian = 11,
    Czech = 12,
    Norwegian = 13,
    Greek = 14,
    Polish = 15,
    Hebrew = 16,
    Vietnamese = 17,
    Japanese = 18,
    Hungarian = 19,
};

inline constexpr int LanguageCount = 20;

// Bit n set for each language code n that the product ships in.
inline constexpr std::uint32_t ProductLanguageMask = 0xB4EBF;

struct LanguageRow {
    std::uint16_t languageId;
    std::uint16_t primaryLanguage;
    unsigned stringBase;  // first id of the language's block of the string table
    unsigned flagIcon;
    bool productLanguage;
    bool installerTexts;
};

// The row of a code; codes outside 1..19 read the French row.
const LanguageRow& LanguageInfo(std::int32_t code);

std::uint16_t LanguageId(std::int32_t code);
bool IsProductLanguage(std::int32_t code);
bool HasInstallerTexts(std::int32_t code);

// The language for a user's language id, limited to the codes set in mask.
Language LanguageForLanguageId(std::uint16_t userLanguageId, std::uint32_t mask);

// Which id to load for message id (French block) in language current; text(id) gives the
// stored text of an id. An untranslated text is "#".
unsigned ResolveLocalizedId(unsigned id, std::int32_t current,
                            const std::function<std::wstring_view(unsigned)>& text);
