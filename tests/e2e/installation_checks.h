// What the end-to-end tests read back from an installed machine, and the uninstall log that
// an installation must leave, modelled entry by entry.
#pragma once

#include <windows.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/payload_table.h"

namespace e2e {

inline const wchar_t* const UninstallKeyPath = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrano 7";
inline const wchar_t* const MakerKeyPath = L"Software\\Corvenna";
inline const wchar_t* const DirectXText = L"Mise \u00e0 jour de DirectX...";

// The default folders of a first installation on this machine.
std::wstring DefaultInstallFolder();
std::wstring DefaultMenuFolder();
std::wstring CommonDesktop();

// A file's text in UTF-16LE after its byte-order mark; nullopt when it is missing or has no mark.
std::optional<std::wstring> ReadUtf16File(const std::wstring& path);
// The whole file; empty when it cannot be read.
std::string ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);

struct LinkInfo {
    std::wstring target;
    std::wstring workingFolder;
};
// A shell link read back through IShellLinkW; nullopt when it cannot be loaded.
std::optional<LinkInfo> ReadLink(const std::wstring& linkPath);
// Makes a shell link to target, for the state that an earlier installation left.
void MakeLink(const std::wstring& linkPath, const std::wstring& target);

struct RegistryValue {
    DWORD type = 0;
    std::string data;
};
std::optional<RegistryValue> ReadValue(HKEY root, const std::wstring& key, const std::wstring& name);
std::optional<std::wstring> ReadString(HKEY root, const std::wstring& key, const std::wstring& name);
bool KeyExists(HKEY root, const std::wstring& key);
// The bytes RegSetValueExW stores for text with its terminator.
std::string StringData(const std::wstring& text);
std::string DwordData(DWORD value);

// The log that Commit must write: the header for the folders, then the entries added in
// the order of the installation. Folder entries come from the folders missing on the disk
// now, so the model is built before the installation runs.
class ExpectedLog {
public:
    ExpectedLog(std::wstring installFolder, std::wstring menuFolder, std::wstring earlierProduct = {});

    // The Folder entries of the missing folders of folder, outermost first.
    void Folders(const std::wstring& folder);
    // The Folder entries of the file's folder and the File entry.
    void File(const std::wstring& path, std::uint32_t kind, bool flag = true);
    void Entry(int kind, int subtype, bool flag, const std::wstring& path);
    // An entry of the earlier log kept at the front.
    void Earlier(int kind, int subtype, bool flag, const std::wstring& path);

    std::wstring Text() const;

private:
    struct Line {
        int kind;
        int subtype;
        bool flag;
        std::wstring path;
    };
    std::wstring installFolder_;
    std::wstring menuFolder_;
    std::wstring earlierProduct_;
    std::vector<Line> earlier_;
    std::vector<Line> lines_;
    std::set<std::wstring> created_;
};

// The entry line's text as the log holds it, with CR LF.
std::wstring LogLine(std::size_t index, int kind, int subtype, bool flag, const std::wstring& path);

}  // namespace e2e
