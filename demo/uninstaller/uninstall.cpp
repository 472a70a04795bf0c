// Stand-in for the product's uninstaller: says what it will do once it exists.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    std::wstring folder(MAX_PATH, L'\0');
    folder.resize(::GetModuleFileNameW(nullptr, folder.data(), MAX_PATH));
    folder.resize(folder.find_last_of(L'\\') + 1);
    const std::wstring text = L"The uninstaller will read " + folder +
                              L"Uninstall.ulog, remove every file, folder, shortcut and registry entry "
                              L"that the setup recorded there, newest first, and keep the files that "
                              L"were there before.\n\nThis demonstration build removes nothing.";
    ::MessageBoxW(nullptr, text.c_str(), L"Uninstall Veltrano", MB_OK | MB_ICONINFORMATION);
    return 0;
}
