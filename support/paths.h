// Path services: identity and existence of files and folders, attributes, system libraries,
// the known folders and the maker's folders.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

namespace cv {

// Whether two paths name the same file or folder: same text, else the same file-system
// object, else (when neither can be opened) the same normalised absolute path, case ignored.
bool same_path(const std::wstring& a, const std::wstring& b);

// Lexical normalisation: "." dropped, ".." resolved, "/" made "\"; a rooted path with an
// unresolvable ".." comes back unchanged.
std::wstring normalize_path(const std::wstring& path);

// Whether the file or folder exists; a failing test (access denied, bad syntax) answers false.
bool path_exists(const std::wstring& path) noexcept;

// Clears the read-only attribute of a regular file (of a link's target); errors are ignored.
void clear_read_only(const std::wstring& path) noexcept;

// LoadLibraryExW from the safe search folders, or with the default search on systems that
// do not know that flag; null on failure.
HMODULE load_system_library(const wchar_t* name);

// A system library the process keeps for its lifetime: the module already loaded, else
// load_system_library; null on failure. Never freed.
HMODULE system_module(const wchar_t* name);

// The known folder's path, not created; a failing HRESULT throws std::system_error.
std::wstring known_folder(REFKNOWNFOLDERID folderId);

// Resolved once per process: ProgramData\Corvenna, roaming AppData\Corvenna, Documents.
std::wstring maker_common_data_folder();
std::wstring maker_user_data_folder();
std::wstring documents_folder();

}  // namespace cv
