// Programs that a test starts and watches: the real installer, helper processes.
#pragma once

#include <windows.h>

#include <string>

#include "support/handles.h"

namespace test {

// The installer built beside the tests (app/InstallVeltrano7.04d.exe of the build).
std::wstring InstallerPath();

class ChildProcess {
public:
    // Starts program with the arguments (appended after the quoted program path); throws
    // std::runtime_error when it cannot be started.
    explicit ChildProcess(const std::wstring& program, const std::wstring& arguments = {}, HANDLE token = nullptr);
    // Ends a process that is still running.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    DWORD id() const { return id_; }
    HANDLE handle() const { return process_.get(); }
    bool Running() const;
    // Waits for the end; false after timeoutMs.
    bool Wait(DWORD timeoutMs = 30000) const;
    DWORD ExitCode() const;

private:
    cv::unique_handle process_;
    DWORD id_ = 0;
};

}  // namespace test
