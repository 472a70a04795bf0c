// Small helpers of the record tests: file bytes, UTF-16 logs, entries, the temporary folder.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <algorithm>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "records/uninstall_log_entry.h"
#include "tests/common/scratch_folder.h"

namespace records_test {

inline std::string ReadBytes(const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream(path.c_str(), std::ios::binary | std::ios::trunc) << bytes;
}

// The memory of the wide text as it is (UTF-16LE on Windows), after FF FE.
inline std::string Utf16File(const std::wstring& text) {
    return std::string("\xFF\xFE", 2) +
           std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

inline std::wstring FromUtf8(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<std::size_t>(::MultiByteToWideChar(
        CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), static_cast<int>(wide.size()))));
    return wide;
}

// The lines of a UTF-16 log file, without CR LF.
inline std::vector<std::wstring> LogLines(const std::wstring& path) {
    const std::string bytes = ReadBytes(path);
    std::vector<std::wstring> lines;
    if (bytes.size() < 2) return lines;
    const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

inline UninstallLogEntry Entry(EntryKind kind, std::wstring path, bool flag = true, int subtype = -1) {
    UninstallLogEntry entry;
    entry.kind = kind;
    entry.path = std::move(path);
    entry.flag = flag;
    entry.subtype = subtype;
    return entry;
}

inline bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline DWORD Attributes(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()); }

// Points TMP at another folder for one test.
class TempFolderOverride {
public:
    explicit TempFolderOverride(const std::wstring& folder) {
        wchar_t value[MAX_PATH] = {};
        had_ = ::GetEnvironmentVariableW(L"TMP", value, MAX_PATH) > 0;
        earlier_ = value;
        ::SetEnvironmentVariableW(L"TMP", folder.c_str());
    }
    ~TempFolderOverride() { ::SetEnvironmentVariableW(L"TMP", had_ ? earlier_.c_str() : nullptr); }
    TempFolderOverride(const TempFolderOverride&) = delete;
    TempFolderOverride& operator=(const TempFolderOverride&) = delete;

private:
    bool had_ = false;
    std::wstring earlier_;
};

inline std::wstring TempFolder() {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    return folder;
}

// A folder whose path, with the separator GetTempPathW adds, is `length` characters long.
inline std::wstring FolderOfLength(const test::ScratchFolder& scratch, std::size_t length, wchar_t fill) {
    std::wstring folder = scratch.path();
    while (folder.size() + 1 < length) {
        // Characters still to add after this component's separator.
        const std::size_t room = length - 1 - folder.size() - 1;
        std::size_t take = std::min<std::size_t>(room, 100);
        if (room - take == 1) --take;  // never leave a lone separator for the next round
        folder += L"\\" + std::wstring(take, fill);
    }
    ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    return folder;
}

}  // namespace records_test
