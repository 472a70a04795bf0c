// The product's entry in the system's list of installed programs, and its path under the
// maker's key.
#include <windows.h>

#include <exception>
#include <string>

#include "app/install_app.h"
#include "app/language.h"
#include "app/product.h"
#include "support/handles.h"
#include "support/registry.h"
#include "support/system_error.h"
#include "wizard/dlg_install.h"

namespace {

const wchar_t* const UninstallRoot = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const wchar_t* const MakerWebAddress = L"https://www.corvenna.example/veltrano";
const wchar_t* const MakerTelephone = L"+33 1 84 60 27 70";

LSTATUS SetString(HKEY key, const wchar_t* name, const std::wstring& text) {
    return ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

LSTATUS SetNumber(HKEY key, const wchar_t* name, DWORD value) {
    return ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

}  // namespace

bool CDlgInstall::WriteUninstallKey() {
    CInstallApp& app = InstallApp();
    cv::unique_hkey root;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, UninstallRoot, 0, KEY_ALL_ACCESS, root.put()) != ERROR_SUCCESS) return false;
    cv::unique_hkey product;
    DWORD disposition = 0;
    const std::wstring name = product_key_name(productId);
    if (::RegCreateKeyExW(root.get(), name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                          product.put(), &disposition) != ERROR_SUCCESS) {
        return false;
    }
    // Saved before the first write, so that a rollback can give the earlier key back.
    app.uninstallLog.AddUninstallKey(disposition == REG_OPENED_EXISTING_KEY ? product.get() : nullptr);

    const HKEY key = product.get();
    const std::wstring version(ProductVersionText);
    const bool nameWritten = SetString(key, L"DisplayName", ProductTitle(false)) == ERROR_SUCCESS;
    const bool uninstallerWritten = SetString(key, L"UninstallString", m_uninstallerPath) == ERROR_SUCCESS;
    SetString(key, L"DisplayIcon", m_programPath + L",0");
    SetString(key, L"DisplayVersion", version);
    SetString(key, L"Publisher", MakerName);
    SetString(key, L"URLInfoAbout", MakerWebAddress);
    SetString(key, L"HelpLink", MakerWebAddress);
    SetString(key, L"URLUpdateInfo", MakerWebAddress);
    SetString(key, L"HelpTelephone", MakerTelephone);
    SetNumber(key, L"NoModify", 1);
    SetNumber(key, L"NoRepair", 1);
    SetNumber(key, L"CvLanguage", static_cast<DWORD>(CurrentLanguage()));
    product.reset();
    const bool ok = nameWritten && uninstallerWritten;
    app.uninstallLog.CompleteLast(ok);
    return ok;
}

bool CDlgInstall::WriteProductPath(const std::wstring& programPath) {
    try {
        const cv::reg_key key = cv::reg_create_key(HKEY_LOCAL_MACHINE, MakerKey);
        const std::wstring name = product_key_name(productId) + L" Path";
        const LSTATUS status = SetString(key.get(), name.c_str(), programPath);
        if (status != ERROR_SUCCESS) cv::throw_win32(status);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
