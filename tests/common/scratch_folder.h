// A folder of the test's own under the temporary folder, removed with its contents at the end.
#pragma once

#include <string>

namespace test {

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder, without a trailing backslash.
    const std::wstring& path() const { return path_; }
    // path() + "\" + relative.
    std::wstring operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }
    // Creates a file (and its missing folders) holding text.
    std::wstring File(const std::wstring& relative, const std::string& text = "x") const;
    std::wstring Folder(const std::wstring& relative) const;

private:
    std::wstring path_;
};

}  // namespace test
