// The installer's languages: codes, Windows language ids, string blocks, and the lookup rules.
#include "app/language_table.h"

namespace {

constexpr LanguageRow rows[LanguageCount] = {
    {0x040C, 0x0C, 1000, 144, true, true},     // French
    {0x0409, 0x09, 2000, 145, true, true},     // English
    {0x0407, 0x07, 3000, 141, true, true},     // German
    {0x0C0A, 0x0A, 4000, 143, true, true},     // Spanish
    {0x0816, 0x16, 5000, 148, true, true},     // Portuguese
    {0x0413, 0x13, 7000, 147, true, false},    // Dutch
    {0x0406, 0x06, 8000, 142, false, false},   // Danish
    {0x041F, 0x1F, 9000, 149, true, true},     // Turkish
    {0x0402, 0x02, 11000, 150, false, false},  // Bulgarian
    {0x0418, 0x18, 12000, 151, true, true},    // Romanian
    {0x0804, 0x04, 10000, 152, true, false},   // Chinese
    {0x0410, 0x10, 6000, 146, true, true},     // Italian
    {0x0405, 0x05, 13000, 153, false, false},  // Czech
    {0x0414, 0x14, 14000, 154, false, false},  // Norwegian
    {0x0408, 0x08, 15000, 155, true, false},   // Greek
    {0x0415, 0x15, 16000, 156, false, false},  // Polish
    {0x040D, 0x0D, 17000, 157, true, false},   // Hebrew
    {0x042A, 0x2A, 18000, 158, true, false},   // Vietnamese
    {0x0411, 0x11, 19000, 160, false, false},  // Japanese
    {0x040E, 0x0E, 20000, 161, true, false},   // Hungarian
};

constexpr std::wstring_view Untranslated = L"#";

}  // namespace

const LanguageRow& LanguageInfo(std::int32_t code) {
    return (code >= 1 && code < LanguageCount) ? rows[code] : rows[French];
}

std::uint16_t LanguageId(std::int32_t code) { return LanguageInfo(code).languageId; }

bool IsProductLanguage(std::int32_t code) {
    return code >= 0 && code < LanguageCount && (ProductLanguageMask >> code) & 1;
}

bool HasInstallerTexts(std::int32_t code) {
    // Every value outside the table counts as having texts: it reads the French block.
    return !(code >= 0 && code < LanguageCount) || rows[code].installerTexts;
}

Language LanguageForLanguageId(std::uint16_t userLanguageId, std::uint32_t mask) {
    const std::uint16_t primary = userLanguageId & 0x3FF;
    const std::uint16_t sub = userLanguageId >> 10;
    for (int code = 0; code < LanguageCount; ++code) {
        if (rows[code].primaryLanguage != primary || !((mask >> code) & 1)) continue;
        // Only the simplified-script Chinese regions (PRC, Singapore) read the Chinese product.
        if (code == Chinese && sub != 2 && sub != 4) continue;
        return static_cast<Language>(code);
    }
    return (mask & (1u << English)) ? English : French;
}

unsigned ResolveLocalizedId(unsigned id, std::int32_t current,
                            const std::function<std::wstring_view(unsigned)>& text) {
    const std::int32_t language = HasInstallerTexts(current) ? current : English;
    if (language == French) return id;
    const unsigned translated = id - 1000 + LanguageInfo(language).stringBase;
    if (text(translated) != Untranslated) return translated;
    if (language == English) return id;
    const unsigned english = id + 1000;
    return text(english) != Untranslated ? english : id;
}
