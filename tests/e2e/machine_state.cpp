// Walks drive C: and the registry into comparable maps.
#include "tests/e2e/machine_state.h"

#include <windows.h>

#include <boost/format.hpp>

#include "engine/crc32.h"
#include "support/handles.h"

namespace e2e {

namespace {

void close_find(HANDLE find) noexcept { ::FindClose(find); }
struct find_traits {
    using type = HANDLE;
    static type invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(type value) noexcept { close_find(value); }
};
using unique_find = cv::unique_any<find_traits>;

// What Wine itself rewrites while programs run, nothing an installer touches.
bool WineVolatileFile(const std::wstring& path) {
    static const wchar_t* const skipped[] = {
        L"C:\\windows\\Temp\\",
    };
    for (const wchar_t* prefix : skipped)
        if (::_wcsnicmp(path.c_str(), prefix, ::wcslen(prefix)) == 0) return true;
    return false;
}

std::wstring FileCrc(const std::wstring& path) {
    const cv::unique_file file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                             nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return L"<unreadable>";
    cv::crc32 crc;
    static char block[1 << 16];
    DWORD read = 0;
    while (::ReadFile(file.get(), block, sizeof block, &read, nullptr) && read != 0) crc.update(block, read);
    return (boost::wformat(L"%08x") % crc.value()).str();
}

void WalkFiles(const std::wstring& folder, std::map<std::wstring, std::wstring>& files) {
    WIN32_FIND_DATAW found;
    const unique_find find(::FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (!find) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = folder + L"\\" + name;
        if (WineVolatileFile(path)) continue;
        const std::wstring attributes = (boost::wformat(L"%04x") % found.dwFileAttributes).str();
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            files[path] = attributes + L" <folder>";
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) WalkFiles(path, files);
        } else {
            const std::uint64_t size = (std::uint64_t(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
            files[path] = attributes + L" " + std::to_wstring(size) + L" " + FileCrc(path);
        }
    } while (::FindNextFileW(find.get(), &found));
}

std::wstring Hex(const BYTE* data, DWORD size) {
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring text;
    text.reserve(size * 2);
    for (DWORD i = 0; i < size; ++i) {
        text += digits[data[i] >> 4];
        text += digits[data[i] & 15];
    }
    return text;
}

void WalkKey(HKEY root, const std::wstring& path, const std::wstring& name, std::map<std::wstring, std::wstring>& registry) {
    cv::unique_hkey key;
    if (::RegOpenKeyExW(root, path.empty() ? nullptr : path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return;
    registry[name] = L"<key>";
    std::vector<wchar_t> valueName(16384);
    std::vector<BYTE> data(1 << 16);
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(valueName.size());
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        const LSTATUS status = ::RegEnumValueW(key.get(), index, valueName.data(), &nameLength, nullptr, &type,
                                               data.data(), &size);
        if (status == ERROR_MORE_DATA) {
            data.resize(size + 1);
            --index;
            continue;
        }
        if (status != ERROR_SUCCESS) break;
        registry[name + L"\\\\" + std::wstring(valueName.data(), nameLength)] =
            std::to_wstring(type) + L":" + Hex(data.data(), size);
    }
    std::vector<std::wstring> subkeys;
    for (DWORD index = 0;; ++index) {
        wchar_t subkey[256];
        DWORD length = 256;
        if (::RegEnumKeyExW(key.get(), index, subkey, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        subkeys.emplace_back(subkey, length);
    }
    for (const std::wstring& subkey : subkeys)
        WalkKey(root, path.empty() ? subkey : path + L"\\" + subkey, name + L"\\" + subkey, registry);
}

}  // namespace

MachineState TakeSnapshot() {
    MachineState state;
    WalkFiles(L"C:", state.files);
    WalkKey(HKEY_LOCAL_MACHINE, L"", L"HKLM", state.registry);
    WalkKey(HKEY_CURRENT_USER, L"", L"HKCU", state.registry);
    return state;
}

std::vector<std::wstring> Differences(const MachineState& before, const MachineState& after) {
    std::vector<std::wstring> lines;
    const auto compare = [&lines](const std::map<std::wstring, std::wstring>& a, const std::map<std::wstring, std::wstring>& b) {
        for (const auto& [path, value] : a) {
            const auto other = b.find(path);
            if (other == b.end()) lines.push_back(L"removed: " + path + L" (" + value + L")");
            else if (other->second != value) lines.push_back(L"changed: " + path + L" (" + value + L" -> " + other->second + L")");
        }
        for (const auto& [path, value] : b)
            if (a.find(path) == a.end()) lines.push_back(L"added: " + path + L" (" + value + L")");
    };
    compare(before.files, after.files);
    compare(before.registry, after.registry);
    return lines;
}

}  // namespace e2e
