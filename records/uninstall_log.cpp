// The installation record: loading the earlier log, commit, rollback and the small records.
#include "records/uninstall_log.h"

#include <shlwapi.h>

#include <algorithm>

#include "app/product.h"
#include "records/file_placement.h"
#include "records/log_file.h"
#include "records/registry_backup.h"
#include "support/paths.h"

namespace {

std::wstring ExistingFolder(const std::optional<std::wstring>& folder) {
    return folder && ::PathIsDirectoryW(folder->c_str()) ? *folder : std::wstring();
}

bool Supersedes(const UninstallLogEntry& current, const UninstallLogEntry& earlier) {
    return current.kind == earlier.kind &&
           (earlier.kind >= EntryKind::MenuShortcut || cv::same_path(earlier.path, current.path));
}

}  // namespace

void CUninstallLog::Load(const std::optional<std::wstring>& logPath) {
    installPath.clear();
    shortcutPath.clear();
    if (!logPath) return;
    std::optional<LoadedLog> log = ReadLogFile(*logPath);
    if (!log) return;
    installPath = ExistingFolder(log->installPath);
    shortcutPath = ExistingFolder(log->shortcutPath);
    earlierProduct = log->earlierProduct;
    earlierEntries.splice(earlierEntries.end(), log->entries);
}

bool CUninstallLog::Commit(const std::wstring& logPath, const std::wstring& installFolder,
                           const std::wstring& shortcutFolder) {
    while (!earlierEntries.empty()) {
        const auto earlier = std::prev(earlierEntries.end());
        const bool dropped = std::any_of(entries.begin(), entries.end(),
                                         [&](const UninstallLogEntry& current) {
                                             return Supersedes(current, *earlier);
                                         });
        if (dropped) {
            earlierEntries.erase(earlier);
        } else {
            entries.splice(entries.begin(), earlierEntries, earlier);
        }
    }

    const std::wstring keyName = product_key_name(productId);
    std::vector<std::wstring> lines =
        LogHeaderLines(ProductTitle(false), earlierProduct, installFolder, shortcutFolder);
    std::size_t index = 0;
    for (const UninstallLogEntry& entry : entries) lines.push_back(LogEntryLine(index++, entry, keyName));
    const bool written = WriteLogFile(logPath, lines);

    for (UninstallLogEntry& entry : entries) DiscardBackup(entry);
    return written;
}

void CUninstallLog::Rollback() {
    while (!entries.empty()) {
        UninstallLogEntry& entry = entries.back();
        switch (entry.kind) {
        case EntryKind::Folder:
            ::RemoveDirectoryW(entry.path.c_str());
            break;
        case EntryKind::File:
        case EntryKind::MenuShortcut:
        case EntryKind::UninstallShortcut:
        case EntryKind::DesktopShortcut:
            UndoPlacedFile(entry);
            break;
        case EntryKind::UninstallKey:
            RestoreUninstallKey(entry);
            break;
        default:
            break;
        }
        entries.pop_back();
    }
}

void CUninstallLog::CompleteLast(bool flag, const std::optional<std::wstring>& path) {
    if (!pending || entries.empty()) return;
    pending = false;
    entries.back().flag = flag;
    if (path) entries.back().path = *path;
}

UninstallLogEntry& CUninstallLog::Append(EntryKind kind) {
    UninstallLogEntry& entry = entries.emplace_back();
    entry.kind = kind;
    return entry;
}

void CUninstallLog::AddClassesRoot() {
    pending = true;
    Append(EntryKind::ClassesRoot);
}

void CUninstallLog::AddDirectXRuntime() {
    pending = true;
    Append(EntryKind::DirectXRuntime);
}
