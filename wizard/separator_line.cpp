// The details log's separator line: a title centred between hyphens across a given width.
#include "wizard/separator_line.h"

std::wstring SeparatorLine(const std::wstring& title, int width, const std::function<int(const std::wstring&)>& measure) {
    std::wstring text = title;
    if (!text.empty()) {
        text = L" " + text + L" ";
        width -= measure(text);
    }
    const int hyphen = measure(L"-");
    const int count = hyphen > 0 ? width / hyphen : 0;
    // A negative count, a title wider than the log, gives no hyphens at all.
    const auto hyphens = [](int n) { return std::wstring(n > 0 ? static_cast<size_t>(n) : 0, L'-'); };
    if (text.empty()) return hyphens(count);
    return hyphens(count / 2) + text + hyphens((count + 1) / 2);
}
