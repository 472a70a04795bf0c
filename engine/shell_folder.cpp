// Shell folders through SHGetFolderPathW.
#include "engine/shell_folder.h"

#include <windows.h>
#include <shlobj.h>

#include "engine/compress_error.h"
#include "support/error_text.h"

namespace cv {

namespace {

std::wstring folder_path(int csidl) {
    wchar_t buffer[MAX_PATH] = {};
    // An empty buffer is the answer that counts; the return value is not consulted.
    ::SHGetFolderPathW(owner_window(), csidl, nullptr, SHGFP_TYPE_CURRENT, buffer);
    buffer[MAX_PATH - 1] = L'\0';
    return buffer;
}

}  // namespace

std::wstring shell_folder(int csidl, int fallback, bool use_fallback) {
    std::wstring path = folder_path(csidl);
    if (path.empty() && use_fallback) path = folder_path(fallback);
    if (path.empty()) throw_compress(compress_errc::unexpected);
    return path;
}

}  // namespace cv
