// Resource lookup for the payload stream.
#include "engine/resource_stream.h"

#include <windows.h>

#include "support/ui_language.h"

namespace cv {

namespace {

struct resource_bytes {
    const char* data = nullptr;
    std::size_t size = 0;
};

resource_bytes find_in(HMODULE module, unsigned type, unsigned name) {
    HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(name), MAKEINTRESOURCEW(type));
    if (!info) return {};
    HGLOBAL loaded = ::LoadResource(module, info);
    if (!loaded) return {};
    const void* data = ::LockResource(loaded);
    if (!data) return {};
    return {static_cast<const char*>(data), ::SizeofResource(module, info)};
}

}  // namespace

imemstream open_resource_stream(unsigned type, unsigned name) {
    HMODULE executable = ::GetModuleHandleW(nullptr);
    HMODULE language = current_ui_language().resourceModule;
    if (!language) language = executable;
    resource_bytes found = find_in(language, type, name);
    if (!found.data && language != executable) found = find_in(executable, type, name);
    if (!found.data) return imemstream();
    return imemstream(found.data, found.size);
}

}  // namespace cv
