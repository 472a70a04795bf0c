// What every test program needs of its surroundings: its own folder, scratch registry keys.
#include "tests/common/test_environment.h"

#include <shlwapi.h>

namespace test {

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    ::PathRemoveFileSpecW(path);
    return std::wstring(path) + L"\\";
}

std::wstring FixturePath(const wchar_t* name) {
    // Test programs live in tests/<area>/, fixtures in tests/bin/.
    return ProgramFolder() + L"..\\bin\\" + name;
}

std::wstring Environment(const wchar_t* name) {
    wchar_t value[1024] = {};
    const DWORD length = ::GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring();
}

ScratchKey::ScratchKey(HKEY root, std::wstring path)
    : root_(root), path_(std::move(path)), key_(cv::reg_create_key(root, path_.c_str())) {}

ScratchKey::~ScratchKey() {
    key_.reset();
    ::RegDeleteTreeW(root_, path_.c_str());
    ::RegDeleteKeyW(root_, path_.c_str());
}

}  // namespace test
