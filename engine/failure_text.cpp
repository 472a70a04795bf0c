// The texts a user sees for the installation's progress and its failures.
#include "engine/failure_text.h"

#include <cmath>
#include <cstdio>

#include "engine/compress_error.h"

std::wstring ExtractionErrorText(const std::error_code& code) {
    wchar_t text[16] = {};
    const auto value = static_cast<unsigned>(code.value());
    if (code.category() == std::system_category()) {
        std::swprintf(text, 16, L"1:%08X", value);
    } else if (code.category() == std::generic_category()) {
        std::swprintf(text, 16, L"2:%08X", value);
    } else if (code.category() == cv::compress_category()) {
        std::swprintf(text, 16, L"%d", code.value());
    } else {
        return L"7";
    }
    return text;
}

int ProgressPercent(std::uint64_t done, std::uint64_t total) {
    if (total == 0) return 100;
    const int percent = static_cast<int>(std::floor(static_cast<double>(done) / static_cast<double>(total) * 100.0 + 0.5));
    return percent == 100 && done < total ? 99 : percent;
}
