// Registry access that tells a missing key or value (an answer) from a failure (an exception).
#include "support/registry.h"

#include <vector>

#include "support/system_error.h"

namespace cv {

reg_key reg_create_key(HKEY parent, const wchar_t* subKey) {
    reg_key key;
    const LSTATUS status = ::RegCreateKeyExW(parent, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                             MAXIMUM_ALLOWED, nullptr, key.put(), nullptr);
    if (status != ERROR_SUCCESS) throw_win32(status);
    return key;
}

reg_key reg_open_key(HKEY parent, const wchar_t* subKey) {
    reg_key key;
    const LSTATUS status = ::RegOpenKeyExW(parent, subKey, 0, MAXIMUM_ALLOWED, key.put());
    if (status == ERROR_FILE_NOT_FOUND) return reg_key();
    if (status != ERROR_SUCCESS) throw_win32(status);
    return key;
}

bool reg_read_string(HKEY key, const wchar_t* valueName, std::wstring& out) {
    DWORD type = 0;
    DWORD bytes = 0;
    LSTATUS status = ::RegQueryValueExW(key, valueName, nullptr, &type, nullptr, &bytes);
    if (status == ERROR_FILE_NOT_FOUND) return false;
    if (status != ERROR_SUCCESS) throw_win32(status);
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || bytes % 2 != 0) return false;
    if (bytes == 0) {
        out.clear();
        return true;
    }

    std::vector<wchar_t> text(bytes / 2);
    status = ::RegQueryValueExW(key, valueName, nullptr, nullptr,
                                reinterpret_cast<BYTE*>(text.data()), &bytes);
    if (status != ERROR_SUCCESS) throw_win32(status);
    // The second read may report fewer bytes if the value shrank in between.
    const size_t length = bytes / 2;
    if (length == 0 || text[length - 1] != L'\0') return false;
    out.assign(text.data(), length - 1);
    return true;
}

}  // namespace cv
