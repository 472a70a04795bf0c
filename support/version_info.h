// Reader of a Windows version resource (VS_VERSIONINFO) and its one-line display text.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace cv {

class version_info {
public:
    version_info() = default;
    version_info(version_info&& other) noexcept;
    version_info& operator=(version_info&& other) noexcept;
    version_info(const version_info&) = delete;
    version_info& operator=(const version_info&) = delete;

    // This program's own block, a view of its resource memory; empty without a resource.
    static version_info from_module();
    // The block of a file on disk, copied; empty when the file has none.
    static version_info from_file(const wchar_t* path);

    std::uint64_t file_version() const;
    std::wstring string_value(const wchar_t* name) const;
    std::wstring product_name() const { return string_value(L"ProductName"); }
    std::wstring product_version() const { return string_value(L"ProductVersion"); }
    std::wstring legal_notice() const { return string_value(L"LegalCopyright"); }
    std::wstring display_string() const;

    const VS_FIXEDFILEINFO* fixed_info() const { return fixed_; }
    const std::vector<std::wstring>& translation_list() const { return translations_; }

private:
    void parse();

    std::vector<BYTE> owned_;            // the block when read from a file
    const BYTE* data_ = nullptr;         // owned_ or the module's resource memory
    DWORD size_ = 0;
    const VS_FIXEDFILEINFO* fixed_ = nullptr;
    std::vector<std::wstring> translations_;  // "llllcccc", code page 1200 only
};

// The display rule on its own: name, version, and the flags of dwFileFlags & dwFileFlagsMask.
std::wstring compose_version_display(std::wstring name, const std::wstring& version,
                                     DWORD flags, bool frenchUi);

}  // namespace cv
