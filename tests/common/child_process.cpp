// Programs that a test starts and watches: the real installer, helper processes.
#include "tests/common/child_process.h"

#include <stdexcept>

#include "tests/common/test_environment.h"

namespace test {

std::wstring InstallerPath() {
    // Test programs live in tests/<area>/ of the build, the installer in app/.
    return ProgramFolder() + L"..\\..\\app\\InstallVeltrano7.04d.exe";
}

ChildProcess::ChildProcess(const std::wstring& program, const std::wstring& arguments, HANDLE token) {
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    const BOOL created =
        token ? ::CreateProcessAsUserW(token, program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                       nullptr, &startup, &started)
              : ::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &startup, &started);
    if (!created) throw std::runtime_error("the program could not be started");
    const cv::unique_handle thread(started.hThread);
    process_.reset(started.hProcess);
    id_ = started.dwProcessId;
}

ChildProcess::~ChildProcess() {
    if (Running()) {
        ::TerminateProcess(process_.get(), 255);
        ::WaitForSingleObject(process_.get(), 5000);
    }
}

bool ChildProcess::Running() const { return ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

bool ChildProcess::Wait(DWORD timeoutMs) const { return ::WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0; }

DWORD ChildProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(process_.get(), &code);
    return code;
}

}  // namespace test
