// What every test program needs of its surroundings: its own folder, scratch registry keys.
#pragma once

#include <windows.h>

#include <string>

#include "support/registry.h"

namespace test {

// The folder of the running test program, with a trailing backslash.
std::wstring ProgramFolder();
// A fixture program built beside the test programs (tests/bin).
std::wstring FixturePath(const wchar_t* name);
// A variable of the Unix side's environment as Wine hands it over; empty when unset.
std::wstring Environment(const wchar_t* name);

// A registry key of the test's own, deleted with everything under it at the end.
class ScratchKey {
public:
    ScratchKey(HKEY root, std::wstring path);
    ~ScratchKey();
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    HKEY get() const { return key_.get(); }
    const std::wstring& path() const { return path_; }

private:
    HKEY root_;
    std::wstring path_;
    cv::reg_key key_;
};

}  // namespace test
