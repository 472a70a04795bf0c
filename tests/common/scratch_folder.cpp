// A folder of the test's own under the temporary folder, removed with its contents at the end.
#include "tests/common/scratch_folder.h"

#include <windows.h>

#include <boost/filesystem.hpp>
#include <boost/filesystem/fstream.hpp>

namespace test {

namespace fs = boost::filesystem;

ScratchFolder::ScratchFolder() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const fs::path folder = fs::path(temp) / fs::unique_path(L"cvtest-%%%%-%%%%-%%%%");
    fs::create_directories(folder);
    path_ = folder.lexically_normal().wstring();
    if (!path_.empty() && path_.back() == L'\\') path_.pop_back();
}

ScratchFolder::~ScratchFolder() {
    boost::system::error_code error;
    // Read-only entries would stop the removal.
    for (fs::recursive_directory_iterator it(path_, error), end; !error && it != end; it.increment(error)) {
        ::SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    fs::remove_all(path_, error);
}

std::wstring ScratchFolder::File(const std::wstring& relative, const std::string& text) const {
    const fs::path file = fs::path(path_) / relative;
    fs::create_directories(file.parent_path());
    fs::ofstream(file, std::ios::binary) << text;
    return file.wstring();
}

std::wstring ScratchFolder::Folder(const std::wstring& relative) const {
    const fs::path folder = fs::path(path_) / relative;
    fs::create_directories(folder);
    return folder.wstring();
}

}  // namespace test
