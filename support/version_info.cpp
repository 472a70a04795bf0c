// Reader of a Windows version resource (VS_VERSIONINFO) and its one-line display text.
#include "support/version_info.h"

#include <boost/algorithm/string/replace.hpp>

#include <cwchar>
#include <utility>

#include "support/ui_language.h"

namespace cv {

version_info::version_info(version_info&& other) noexcept { *this = std::move(other); }

version_info& version_info::operator=(version_info&& other) noexcept {
    if (this != &other) {
        // Moving a vector keeps its buffer, so the pointers into it stay valid.
        owned_ = std::move(other.owned_);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        fixed_ = std::exchange(other.fixed_, nullptr);
        translations_ = std::move(other.translations_);
        other.owned_.clear();
        other.translations_.clear();
    }
    return *this;
}

version_info version_info::from_module() {
    struct view {
        const BYTE* data = nullptr;
        DWORD size = 0;
    };
    static const view block = [] {
        view v;
        HMODULE self = ::GetModuleHandleW(nullptr);
        HRSRC resource = ::FindResourceW(self, MAKEINTRESOURCEW(1), RT_VERSION);
        if (!resource) return v;
        HGLOBAL loaded = ::LoadResource(self, resource);
        const DWORD size = ::SizeofResource(self, resource);
        const void* memory = loaded ? ::LockResource(loaded) : nullptr;
        if (memory && size) {
            v.data = static_cast<const BYTE*>(memory);
            v.size = size;
        }
        return v;
    }();

    version_info info;
    info.data_ = block.data;
    info.size_ = block.size;
    info.parse();
    return info;
}

version_info version_info::from_file(const wchar_t* path) {
    version_info info;
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0) return info;
    info.owned_.resize(size);
    if (!::GetFileVersionInfoW(path, 0, size, info.owned_.data())) {
        info.owned_.clear();
        return info;
    }
    info.data_ = info.owned_.data();
    info.size_ = size;
    info.parse();
    return info;
}

void version_info::parse() {
    if (size_ == 0) return;
    // VerQueryValueW takes a non-const block but only reads a Unicode one.
    void* block = const_cast<BYTE*>(data_);
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block, L"\\", &value, &length) || !value) return;
    fixed_ = static_cast<const VS_FIXEDFILEINFO*>(value);

    if (!::VerQueryValueW(block, L"\\VarFileInfo\\Translation", &value, &length) || !value) return;
    const auto* pairs = static_cast<const WORD*>(value);
    for (UINT i = 0; i < length / 4; ++i) {
        const WORD language = pairs[2 * i];
        const WORD codePage = pairs[2 * i + 1];
        if (codePage != 1200) continue;
        wchar_t text[9];
        std::swprintf(text, 9, L"%04hx%04hx", language, codePage);
        translations_.emplace_back(text);
    }
}

std::uint64_t version_info::file_version() const {
    if (!fixed_) return 0;
    return (std::uint64_t{fixed_->dwFileVersionMS} << 32) | fixed_->dwFileVersionLS;
}

std::wstring version_info::string_value(const wchar_t* name) const {
    if (size_ == 0 || translations_.empty()) return {};
    const std::wstring query = L"\\StringFileInfo\\" + translations_.front() + L"\\" + name;
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(const_cast<BYTE*>(data_), query.c_str(), &value, &length) || !value ||
        length == 0) {
        return {};
    }
    const auto* text = static_cast<const wchar_t*>(value);
    if (text[length - 1] == L'\0') --length;
    return std::wstring(text, length);
}

std::wstring version_info::display_string() const {
    const DWORD flags = fixed_ ? (fixed_->dwFileFlags & fixed_->dwFileFlagsMask) : 0;
    const bool frenchUi = PRIMARYLANGID(current_ui_language().languageId) == LANG_FRENCH;
    return compose_version_display(product_name(), product_version(), flags, frenchUi);
}

std::wstring compose_version_display(std::wstring text, const std::wstring& version, DWORD flags,
                                     bool frenchUi) {
    if (!version.empty()) text += L' ' + version;
    if ((flags & VS_FF_PRERELEASE) && !frenchUi) boost::algorithm::replace_last(text, L"b\u00eata", L"beta");
    if (flags & VS_FF_PRIVATEBUILD) text += L" \u2013 Private";
    if (flags & VS_FF_DEBUG) text += L" \u2013 Debug";
    return text;
}

}  // namespace cv
