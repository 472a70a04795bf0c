// Undo and discard of what a recorded file, shortcut or hive file left behind.
#pragma once

#include "records/uninstall_log_entry.h"

// Deletes what the entry placed and moves its backup back, with the backup's attributes.
void UndoPlacedFile(UninstallLogEntry& entry);

// Deletes the entry's backup and forgets it.
void DiscardBackup(UninstallLogEntry& entry);

// Sets a file's attributes to normal and deletes it; failures are ignored.
void DeleteNormalised(const std::wstring& path);
