// The product's Uninstall key: saved to a hive file before it changes, put back on rollback.
#include "records/registry_backup.h"

#include <windows.h>
#include <shlwapi.h>

#include "app/product.h"
#include "records/file_placement.h"
#include "records/temp_staging.h"
#include "records/uninstall_log.h"
#include "support/handles.h"
#include "support/security.h"

namespace {

const wchar_t* const UninstallKeyPath = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// A privilege of the process token switched on for one save or restore.
class PrivilegeScope {
public:
    explicit PrivilegeScope(const wchar_t* name) : name_(name) { cv::set_privilege(name_, true); }
    ~PrivilegeScope() { cv::set_privilege(name_, false); }
    PrivilegeScope(const PrivilegeScope&) = delete;
    PrivilegeScope& operator=(const PrivilegeScope&) = delete;

private:
    const wchar_t* name_;
};

}  // namespace

void CUninstallLog::AddUninstallKey(HKEY existingKey) {
    pending = true;
    UninstallLogEntry& entry = Append(EntryKind::UninstallKey);
    if (!existingKey) return;
    entry.keyExisted = true;
    entry.backupPath = StashToTemp(std::nullopt, false);
    if (entry.backupPath.empty()) return;
    const PrivilegeScope privilege(SE_BACKUP_NAME);
    if (::RegSaveKeyW(existingKey, entry.backupPath.c_str(), nullptr) != ERROR_SUCCESS) {
        DeleteNormalised(entry.backupPath);
        entry.backupPath.clear();
    }
}

void RestoreUninstallKey(UninstallLogEntry& entry) {
    const std::wstring keyName = product_key_name(productId);
    const PrivilegeScope privilege(SE_RESTORE_NAME);
    cv::unique_hkey uninstall;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, UninstallKeyPath, 0, KEY_ALL_ACCESS, uninstall.put()) !=
        ERROR_SUCCESS) {
        return;
    }
    if (!entry.backupPath.empty()) {
        cv::unique_hkey product;
        if (::RegOpenKeyExW(uninstall.get(), keyName.c_str(), 0, KEY_ALL_ACCESS, product.put()) ==
            ERROR_SUCCESS) {
            ::RegRestoreKeyW(product.get(), entry.backupPath.c_str(), 0);
        }
        DiscardBackup(entry);
    } else if (!entry.keyExisted) {
        ::SHDeleteKeyW(uninstall.get(), keyName.c_str());
    }
}
