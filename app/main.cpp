// Entry point of the installer.
#include <windows.h>

#include "app/language.h"
#include "app/product.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    productId = VeltranoProductId;
    SetLanguage(LanguageFromUser(ProductLanguageMask));
    if (!HasInstallerTexts(CurrentLanguage())) SetLanguage(English);
    ::MessageBoxW(nullptr, InstallerTitle(true).c_str(), nullptr, MB_OK | MB_ICONINFORMATION);
    return 0;
}
