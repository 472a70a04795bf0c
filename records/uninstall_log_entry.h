// One recorded change of an installation and the kinds of change the record knows.
#pragma once

#include <cstdint>
#include <string>

enum class EntryKind : std::int32_t {
    Folder = 0,
    File = 1,
    MenuShortcut = 2,
    UninstallShortcut = 3,
    DesktopShortcut = 4,
    UninstallKey = 5,
    ClassesRoot = 6,
    DirectXRuntime = 7,
};

inline constexpr std::int32_t EntryKindCount = 8;

struct UninstallLogEntry {
    EntryKind kind = EntryKind::Folder;
    std::wstring path;
    // What the change replaced, in a temporary file; never written to the log.
    std::wstring backupPath;
    bool flag = false;
    std::int32_t subtype = -1;
    // Where the backup was taken from when that is not `path` (an earlier shortcut of
    // another name): a rollback without a new link puts it back there.
    std::wstring backupSource;
    // The Uninstall key existed before this installation; without a backup a rollback
    // must leave it alone rather than delete the earlier installation's key.
    bool keyExisted = false;
};
