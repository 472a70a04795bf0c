// Runs the install host in the test's machine and keeps what it printed.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

struct HostResult {
    DWORD exitCode = 0;
    std::wstring output;

    // The text after "status: " on the last line.
    std::wstring Status() const;
    // The details log after the line of hyphens that opens the installation, one step a line.
    std::vector<std::wstring> Steps() const;
};

// Starts tests/bin/install_host.exe with the arguments, waits for its end (at most five
// minutes) and returns its exit code and output; throws when it cannot be started.
HostResult RunHost(const std::vector<std::wstring>& arguments = {});

// Every line of text, split at CR LF or LF.
std::vector<std::wstring> Lines(const std::wstring& text);

}  // namespace e2e
