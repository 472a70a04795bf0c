// The temporary files of one installation run, removed when the run ends.
#include "engine/temp_files.h"

#include <windows.h>

namespace {
TempFiles* current = nullptr;
}

TempFiles* CurrentTempFiles() { return current; }

TempFilesScope::TempFilesScope(std::wstring folder) {
    files_.folder = std::move(folder);
    current = &files_;
}

TempFilesScope::~TempFilesScope() {
    for (const std::wstring& file : files_.files) {
        ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(file.c_str());
    }
    ::RemoveDirectoryW(files_.folder.c_str());
    current = nullptr;
}
