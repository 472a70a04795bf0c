// File placement: the folders and files an installation records, and their undo and discard.
#include "records/file_placement.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "records/temp_staging.h"
#include "records/uninstall_log.h"

void CUninstallLog::AddFolders(const std::wstring& folderPath) {
    wchar_t buffer[MAX_PATH] = {};
    ::lstrcpynW(buffer, folderPath.c_str(), MAX_PATH);
    // The first component is the drive root (for a UNC path the server and its share, which
    // cannot be created); each later one ends a candidate folder.
    const wchar_t* component =
        ::PathIsUNCW(buffer) ? ::PathSkipRootW(buffer) : ::PathFindNextComponentW(buffer);
    while (component && *component) {
        const wchar_t* next = ::PathFindNextComponentW(component);
        if (!next) break;
        const wchar_t* end = *next ? next - 1 : next;
        const std::wstring candidate(static_cast<const wchar_t*>(buffer), end);
        if (!::PathIsDirectoryW(candidate.c_str())) {
            if (!::CreateDirectoryW(candidate.c_str(), nullptr)) return;
            ::SHChangeNotify(SHCNE_MKDIR, SHCNF_PATHW, candidate.c_str(), nullptr);
            UninstallLogEntry& entry = Append(EntryKind::Folder);
            entry.path = candidate;
            entry.flag = true;
        }
        component = next;
    }
}

void CUninstallLog::AddFile(const std::wstring& targetPath, std::int32_t subtype, bool copyBackup) {
    pending = true;
    wchar_t folder[MAX_PATH] = {};
    ::lstrcpynW(folder, targetPath.c_str(), MAX_PATH);
    ::PathRemoveFileSpecW(folder);
    AddFolders(folder);
    UninstallLogEntry& entry = Append(EntryKind::File);
    entry.path = targetPath;
    entry.subtype = subtype;
    if (::PathFileExistsW(targetPath.c_str())) entry.backupPath = StashToTemp(targetPath, copyBackup);
}

void DeleteNormalised(const std::wstring& path) {
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path.c_str());
}

void UndoPlacedFile(UninstallLogEntry& entry) {
    if (!entry.path.empty()) DeleteNormalised(entry.path);
    if (entry.backupPath.empty()) return;
    const std::wstring& destination = entry.path.empty() ? entry.backupSource : entry.path;
    if (destination.empty()) return;
    const DWORD attributes = ::GetFileAttributesW(entry.backupPath.c_str());
    ::SetFileAttributesW(entry.backupPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (::MoveFileW(entry.backupPath.c_str(), destination.c_str())) {
        entry.backupPath.clear();
        if (attributes != INVALID_FILE_ATTRIBUTES) ::SetFileAttributesW(destination.c_str(), attributes);
    }
}

void DiscardBackup(UninstallLogEntry& entry) {
    if (entry.backupPath.empty()) return;
    DeleteNormalised(entry.backupPath);
    entry.backupPath.clear();
}
