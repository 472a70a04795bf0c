// Reading back files, links and registry values, and the model of the uninstall log.
#include "tests/e2e/installation_checks.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <boost/format.hpp>

#include <algorithm>
#include <cwctype>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "support/handles.h"

namespace e2e {

namespace {

void release(IUnknown* object) noexcept { object->Release(); }
template <typename T>
using com = cv::unique_null<T*, &release>;

std::wstring Lower(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return text;
}

struct ComScope {
    ComScope() { ::CoInitialize(nullptr); }
    ~ComScope() { ::CoUninitialize(); }
};

}  // namespace

std::wstring DefaultInstallFolder() { return ShellFolder(CSIDL_PROGRAM_FILES) + L"\\Corvenna\\Veltrano 7"; }
std::wstring DefaultMenuFolder() { return ShellFolder(CSIDL_COMMON_PROGRAMS) + L"\\Corvenna\\Veltrano 7"; }
std::wstring CommonDesktop() { return ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY); }

std::string ReadBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(path.c_str(), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("a fixture file cannot be written");
}

std::optional<std::wstring> ReadUtf16File(const std::wstring& path) {
    const std::string bytes = ReadBytes(path);
    if (bytes.size() < 2 || bytes[0] != '\xFF' || bytes[1] != '\xFE' || bytes.size() % 2 != 0) return std::nullopt;
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    std::copy(bytes.begin() + 2, bytes.end(), reinterpret_cast<char*>(text.data()));
    return text;
}

std::optional<LinkInfo> ReadLink(const std::wstring& linkPath) {
    const ComScope scope;
    com<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(link.put()))))
        return std::nullopt;
    com<IPersistFile> file;
    if (FAILED(link.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put()))) ||
        FAILED(file.get()->Load(linkPath.c_str(), STGM_READ)))
        return std::nullopt;
    wchar_t target[MAX_PATH] = {};
    wchar_t folder[MAX_PATH] = {};
    link.get()->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
    link.get()->GetWorkingDirectory(folder, MAX_PATH);
    return LinkInfo{target, folder};
}

void MakeLink(const std::wstring& linkPath, const std::wstring& target) {
    const ComScope scope;
    com<IShellLinkW> link;
    com<IPersistFile> file;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(link.put()))) ||
        FAILED(link.get()->SetPath(target.c_str())) ||
        FAILED(link.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put()))) ||
        FAILED(file.get()->Save(linkPath.c_str(), TRUE)))
        throw std::runtime_error("a fixture link cannot be made");
}

std::optional<RegistryValue> ReadValue(HKEY root, const std::wstring& key, const std::wstring& name) {
    cv::unique_hkey handle;
    if (::RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, handle.put()) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(handle.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    RegistryValue value{type, std::string(size, '\0')};
    if (::RegQueryValueExW(handle.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value.data.data()),
                           &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.data.resize(size);
    return value;
}

std::optional<std::wstring> ReadString(HKEY root, const std::wstring& key, const std::wstring& name) {
    const auto value = ReadValue(root, key, name);
    if (!value || value->type != REG_SZ || value->data.size() < 2) return std::nullopt;
    std::wstring text(value->data.size() / 2, L'\0');
    std::copy(value->data.begin(), value->data.begin() + static_cast<std::ptrdiff_t>(text.size() * 2),
              reinterpret_cast<char*>(text.data()));
    if (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

bool KeyExists(HKEY root, const std::wstring& key) {
    cv::unique_hkey handle;
    return ::RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, handle.put()) == ERROR_SUCCESS;
}

std::string StringData(const std::wstring& text) {
    const char* bytes = reinterpret_cast<const char*>(text.c_str());
    return std::string(bytes, (text.size() + 1) * sizeof(wchar_t));
}

std::string DwordData(DWORD value) { return std::string(reinterpret_cast<const char*>(&value), sizeof value); }

std::wstring LogLine(std::size_t index, int kind, int subtype, bool flag, const std::wstring& path) {
    return (boost::wformat(L"%04u:%04x:%d -- %s\r\n") % index % (kind * 256 + (subtype & 0xFF)) % (flag ? 1 : 0) % path)
        .str();
}

ExpectedLog::ExpectedLog(std::wstring installFolder, std::wstring menuFolder, std::wstring earlierProduct)
    : installFolder_(std::move(installFolder)), menuFolder_(std::move(menuFolder)),
      earlierProduct_(std::move(earlierProduct)) {}

void ExpectedLog::Folders(const std::wstring& folder) {
    for (size_t at = folder.find(L'\\', 3); ; at = folder.find(L'\\', at + 1)) {
        const std::wstring candidate = folder.substr(0, at);
        if (!::PathIsDirectoryW(candidate.c_str()) && created_.insert(Lower(candidate)).second)
            lines_.push_back({0, -1, true, candidate});
        if (at == std::wstring::npos) break;
    }
}

void ExpectedLog::File(const std::wstring& path, std::uint32_t kind, bool flag) {
    Folders(path.substr(0, path.find_last_of(L'\\')));
    lines_.push_back({1, static_cast<int>(kind), flag, path});
}

void ExpectedLog::Entry(int kind, int subtype, bool flag, const std::wstring& path) {
    lines_.push_back({kind, subtype, flag, path});
}

void ExpectedLog::Earlier(int kind, int subtype, bool flag, const std::wstring& path) {
    earlier_.push_back({kind, subtype, flag, path});
}

std::wstring ExpectedLog::Text() const {
    std::wstring text = L"// Uninstall Log File v1\r\n"
                        L"// ############ WARNING: Do not delete or modify this file. ############\r\n"
                        L"// Install Veltrano 7.04d";
    if (!earlierProduct_.empty()) text += L" -- Update (" + earlierProduct_ + L")";
    const std::wstring shortcutLine = L"Shortcut Path : " + menuFolder_;
    text += L"\r\n// Install Path : " + installFolder_ + L"\r\n// " + shortcutLine + L"\r\n// " +
            std::wstring(shortcutLine.size(), L'-') + L"\r\n";
    std::size_t index = 0;
    for (const auto* list : {&earlier_, &lines_})
        for (const Line& line : *list) text += LogLine(index++, line.kind, line.subtype, line.flag, line.path);
    return text;
}

}  // namespace e2e
