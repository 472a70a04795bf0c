// Shell links: creation through the shell's link object, and their place in the record.
#include "records/shortcut.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>

#include "records/com_ptr.h"
#include "records/temp_staging.h"
#include "records/uninstall_log.h"

bool CreateShortcut(const std::wstring& target, const std::wstring& folder,
                    const std::optional<std::wstring>& name, std::wstring* linkPathOut) {
    wchar_t workingFolder[MAX_PATH] = {};
    ::lstrcpynW(workingFolder, target.c_str(), MAX_PATH);
    if (!::PathRemoveFileSpecW(workingFolder)) return false;

    wchar_t linkName[MAX_PATH] = {};
    if (name) {
        ::lstrcpynW(linkName, name->c_str(), MAX_PATH);
    } else {
        ::lstrcpynW(linkName, ::PathFindFileNameW(target.c_str()), MAX_PATH);
        ::PathRemoveExtensionW(linkName);
    }
    wchar_t linkPath[MAX_PATH] = {};
    ::lstrcpynW(linkPath, folder.c_str(), MAX_PATH);
    if (!::PathAppendW(linkPath, linkName)) return false;
    std::wstring link = std::wstring(linkPath) + L".lnk";
    if (link.size() >= MAX_PATH) return false;

    const ComApartment apartment;
    if (!apartment.entered()) return false;
    unique_com<IShellLinkW> shellLink;
    HRESULT result = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_IShellLinkW, reinterpret_cast<void**>(shellLink.put()));
    if (SUCCEEDED(result)) {
        shellLink.get()->SetPath(target.c_str());
        shellLink.get()->SetWorkingDirectory(workingFolder);
        unique_com<IPersistFile> file;
        result = shellLink.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put()));
        if (SUCCEEDED(result)) result = file.get()->Save(link.c_str(), TRUE);
    }
    if (FAILED(result)) return false;
    if (linkPathOut) *linkPathOut = std::move(link);
    return true;
}

void CUninstallLog::AddShortcut(int which, const std::wstring& folder) {
    pending = true;
    AddFolders(folder);
    const EntryKind kind = which == 0 ? EntryKind::MenuShortcut : which == 1 ? EntryKind::UninstallShortcut : EntryKind::DesktopShortcut;
    UninstallLogEntry& entry = Append(kind);
    const auto earlier = std::find_if(earlierEntries.begin(), earlierEntries.end(),
                                      [kind](const UninstallLogEntry& e) { return e.kind == kind; });
    if (earlier == earlierEntries.end() || !::PathFileExistsW(earlier->path.c_str())) return;
    entry.backupPath = StashToTemp(earlier->path, false);
    if (!entry.backupPath.empty()) entry.backupSource = earlier->path;
}
