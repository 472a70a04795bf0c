// The product's Uninstall key as the record restores it.
#pragma once

#include "records/uninstall_log_entry.h"

// Puts the saved key back from its hive file, or deletes a key this installation created;
// a key that existed but could not be saved is left as it is.
void RestoreUninstallKey(UninstallLogEntry& entry);
