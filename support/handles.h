// The owning handle types of the kernel, the registry and the loader.
#pragma once

#include <windows.h>

#include "support/unique_any.h"

namespace cv {

namespace detail {
struct file_handle_traits {
    using type = HANDLE;
    static type invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(type value) noexcept { ::CloseHandle(value); }
};
inline void free_local(HLOCAL memory) noexcept { ::LocalFree(memory); }
}  // namespace detail

using unique_handle = unique_null<HANDLE, &::CloseHandle>;           // events, mutexes, processes
using unique_file = unique_any<detail::file_handle_traits>;          // CreateFileW results
using unique_hkey = unique_null<HKEY, &::RegCloseKey>;
using unique_module = unique_null<HMODULE, &::FreeLibrary>;
using unique_local = unique_null<HLOCAL, &detail::free_local>;

}  // namespace cv
