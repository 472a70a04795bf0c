// Temporary staging: a file moved or copied aside into the system's temporary folder.
#include "records/temp_staging.h"

#include <windows.h>

namespace {

// Room that GetTempFileNameW needs after the folder: "cv", four digits, ".tmp", terminator.
constexpr DWORD MaxTempFolderLength = MAX_PATH - 14;

void SetKnownAttributes(const std::wstring& path, DWORD attributes) {
    if (attributes != INVALID_FILE_ATTRIBUTES) ::SetFileAttributesW(path.c_str(), attributes);
}

}  // namespace

std::wstring StashToTemp(const std::optional<std::wstring>& sourcePath, bool copy) {
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH, folder);
    if (length == 0 || length > MaxTempFolderLength) return {};
    wchar_t name[MAX_PATH] = {};
    if (!::GetTempFileNameW(folder, L"cv", 0, name)) return {};
    ::DeleteFileW(name);
    const std::wstring staged = name;
    if (!sourcePath) return staged;

    wchar_t source[MAX_PATH] = {};
    ::lstrcpynW(source, sourcePath->c_str(), MAX_PATH);
    const DWORD attributes = ::GetFileAttributesW(source);
    ::SetFileAttributesW(source, FILE_ATTRIBUTE_NORMAL);
    if (copy) {
        if (::CopyFileW(source, name, FALSE)) {
            SetKnownAttributes(source, attributes);
            SetKnownAttributes(staged, attributes);
            return staged;
        }
    } else if (::MoveFileW(source, name)) {
        SetKnownAttributes(staged, attributes);
        return staged;
    }
    SetKnownAttributes(source, attributes);
    return {};
}
