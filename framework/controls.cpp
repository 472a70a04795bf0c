// Wrappers of the standard controls: the queries that need a buffer.
#include "framework/controls.h"

std::wstring CEdit::GetLine(int index) const {
    const auto start = static_cast<WPARAM>(SendMessage(EM_LINEINDEX, static_cast<WPARAM>(index)));
    const auto length = static_cast<size_t>(SendMessage(EM_LINELENGTH, start));
    // EM_GETLINE takes the buffer's size in its first word and copies without a terminator.
    std::wstring line(length < 1 ? 1 : length, L'\0');
    line[0] = static_cast<wchar_t>(line.size());
    const auto copied = static_cast<size_t>(
        SendMessage(EM_GETLINE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(line.data())));
    line.resize(copied);
    return line;
}
