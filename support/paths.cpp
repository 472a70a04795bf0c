// Path services: identity and existence of files and folders, attributes, system libraries.
#include "support/paths.h"

#include <shlwapi.h>

#include <boost/filesystem/operations.hpp>
#include <system_error>
#include <vector>

#include "support/handles.h"

namespace cv {

namespace fs = boost::filesystem;

namespace {

void free_task_memory(PWSTR memory) noexcept { ::CoTaskMemFree(memory); }
using unique_task_string = unique_null<PWSTR, &free_task_memory>;

unique_file open_for_identity(const std::wstring& path) {
    return unique_file(::CreateFileW(path.c_str(), 0, FILE_SHARE_DELETE | FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

bool same_identity(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow && a.nFileSizeHigh == b.nFileSizeHigh &&
           a.nFileSizeLow == b.nFileSizeLow &&
           a.ftLastWriteTime.dwLowDateTime == b.ftLastWriteTime.dwLowDateTime &&
           a.ftLastWriteTime.dwHighDateTime == b.ftLastWriteTime.dwHighDateTime;
}

fs::path absolute_path(const std::wstring& path) {
    boost::system::error_code error;
    const fs::path current = fs::current_path(error);
    if (error) return fs::path(path);
    return fs::absolute(fs::path(path), current);
}

bool same_lexical_path(const std::wstring& a, const std::wstring& b) {
    const fs::path left(normalize_path(absolute_path(a).wstring()));
    const fs::path right(normalize_path(absolute_path(b).wstring()));
    auto l = left.begin();
    auto r = right.begin();
    for (; l != left.end() && r != right.end(); ++l, ++r) {
        const std::wstring& x = l->native();
        const std::wstring& y = r->native();
        if (x.size() != y.size()) return false;
        if (!::StrIsIntlEqualW(FALSE, x.c_str(), y.c_str(), static_cast<int>(x.size()))) return false;
    }
    return l == left.end() && r == right.end();
}

std::wstring joined(std::wstring folder, const wchar_t* name) {
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    return folder + name;
}

}  // namespace

std::wstring normalize_path(const std::wstring& path) {
    if (path.empty()) return path;
    const fs::path input(path);
    std::vector<std::wstring> kept;
    size_t unresolved = 0;
    for (const fs::path& element : input.relative_path()) {
        const std::wstring& name = element.native();
        if (name.empty() || name == L".") continue;
        if (name == L"..") {
            if (kept.empty()) {
                ++unresolved;
            } else {
                kept.pop_back();
            }
            continue;
        }
        kept.push_back(name);
    }
    const std::wstring root = input.root_path().native();
    if (!root.empty() && unresolved > 0) return path;

    std::wstring result = root;
    std::vector<std::wstring> elements(unresolved, L"..");
    elements.insert(elements.end(), kept.begin(), kept.end());
    for (size_t i = 0; i < elements.size(); ++i) {
        if (i > 0) result += L'\\';
        result += elements[i];
    }
    for (wchar_t& c : result) {
        if (c == L'/') c = L'\\';
    }
    return result;
}

bool same_path(const std::wstring& a, const std::wstring& b) {
    if (fs::path(a) == fs::path(b)) return true;

    const unique_file first = open_for_identity(a);
    const unique_file second = open_for_identity(b);
    if (static_cast<bool>(first) != static_cast<bool>(second)) return false;
    if (first) {
        BY_HANDLE_FILE_INFORMATION x = {};
        BY_HANDLE_FILE_INFORMATION y = {};
        if (::GetFileInformationByHandle(first.get(), &x) && ::GetFileInformationByHandle(second.get(), &y)) {
            return same_identity(x, y);
        }
    }
    return same_lexical_path(a, b);
}

bool path_exists(const std::wstring& path) noexcept {
    try {
        boost::system::error_code error;
        return fs::exists(fs::path(path), error) && !error;
    } catch (...) {
        return false;
    }
}

void clear_read_only(const std::wstring& path) noexcept {
    try {
        boost::system::error_code error;
        fs::path target(path);
        if (fs::is_symlink(fs::symlink_status(target, error))) {
            target = fs::canonical(target, error);
            if (error) return;
        }
        if (!fs::is_regular_file(fs::status(target, error)) || error) return;
        const DWORD attributes = ::GetFileAttributesW(target.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) return;
        ::SetFileAttributesW(target.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    } catch (...) {
    }
}

HMODULE load_system_library(const wchar_t* name) {
    if (HMODULE module = ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS)) return module;
    return ::LoadLibraryExW(name, nullptr, 0);
}

HMODULE system_module(const wchar_t* name) {
    if (HMODULE module = ::GetModuleHandleW(name)) return module;
    return load_system_library(name);
}

std::wstring known_folder(REFKNOWNFOLDERID folderId) {
    unique_task_string path;
    const HRESULT result = ::SHGetKnownFolderPath(folderId, KF_FLAG_DONT_VERIFY, nullptr, path.put());
    if (FAILED(result)) throw std::system_error(static_cast<int>(result), std::system_category());
    return path.get();
}

std::wstring maker_common_data_folder() {
    static const std::wstring folder = joined(known_folder(FOLDERID_ProgramData), L"Corvenna");
    return folder;
}

std::wstring maker_user_data_folder() {
    static const std::wstring folder = joined(known_folder(FOLDERID_RoamingAppData), L"Corvenna");
    return folder;
}

std::wstring documents_folder() {
    static const std::wstring folder = known_folder(FOLDERID_Documents);
    return folder;
}

}  // namespace cv
