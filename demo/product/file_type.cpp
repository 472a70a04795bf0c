// Registration of the project file type.
#include "demo/product/file_type.h"

#include <windows.h>

#include "support/handles.h"

namespace {

constexpr const wchar_t* Extension = L".vtp";
constexpr const wchar_t* ProgId = L"Veltrano.Project.7";

bool set_value(const std::wstring& key, const std::wstring& value, const wchar_t* name = nullptr) {
    cv::unique_hkey handle;
    if (::RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, handle.put(),
                          nullptr) != ERROR_SUCCESS)
        return false;
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(handle.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            bytes) == ERROR_SUCCESS;
}

}  // namespace

bool RegisterProjectFileType(const std::wstring& programPath, const std::wstring& commandLine) {
    const std::wstring quoted = L"\"" + programPath + L"\"";
    const std::wstring progId = ProgId;
    return set_value(Extension, progId) && set_value(progId, L"Veltrano Project") &&
           set_value(progId + L"\\DefaultIcon", quoted + L",0") &&
           set_value(progId + L"\\shell\\open\\command", quoted + L" \"%1\"") &&
           set_value(progId, commandLine, L"RegistrationCommand");
}
