// The installation record: every change of one installation, its log file, commit and rollback.
#pragma once

#include <windows.h>

#include <list>
#include <optional>
#include <string>

#include "records/uninstall_log_entry.h"

class CUninstallLog {
public:
    // Read from the earlier log; empty when none was read or the folder is gone.
    std::wstring installPath;
    std::wstring shortcutPath;
    std::list<UninstallLogEntry> earlierEntries;
    std::list<UninstallLogEntry> entries;
    bool pending = false;
    std::wstring earlierProduct;

    // Reads an earlier log; with no path only empties installPath and shortcutPath.
    void Load(const std::optional<std::wstring>& logPath = std::nullopt);
    // Merges the earlier entries, writes the log file and discards every backup. True when
    // the new log is in place with every byte written.
    bool Commit(const std::wstring& logPath, const std::wstring& installFolder,
                const std::wstring& shortcutFolder);
    // Undoes this installation's entries, newest first; every failure is ignored.
    void Rollback();

    // Completes the entry that the last recording operation announced.
    void CompleteLast(bool flag, const std::optional<std::wstring>& path = std::nullopt);
    void AddClassesRoot();
    void AddDirectXRuntime();

    // Creates and records every missing folder of folderPath, the last one included.
    void AddFolders(const std::wstring& folderPath);
    // Records a file about to be placed; an existing one is moved (or copied) aside.
    void AddFile(const std::wstring& targetPath, std::int32_t subtype, bool copyBackup);
    // Records the product's Uninstall key; existingKey (or null for a new key) is saved first.
    void AddUninstallKey(HKEY existingKey);
    // Records a shortcut: 0 program group, 1 uninstaller, other values desktop.
    void AddShortcut(int which, const std::wstring& folder);

    // Whether the earlier log recorded path (exactly) as a completed file.
    bool IsEarlierFile(const std::wstring& path) const;

private:
    UninstallLogEntry& Append(EntryKind kind);
};
