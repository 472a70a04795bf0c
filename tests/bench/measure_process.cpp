// Runs one program and prints its wall time and peak working set, read from outside.
//
//   measure_process <program> [arguments...]
//
// The peak is read while the program runs and once more after it ends: Wine answers zeros for
// a process that has ended, and the peak never falls, so the highest reading holds.
//
// Prints "measure: seconds=<s> peak_working_set=<bytes> exit=<code>" on the standard error;
// exit code 0 when the program ran and ended with 0.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

#include "support/handles.h"

namespace {

constexpr DWORD SamplePeriod = 20;  // milliseconds

// The command line after our own program's name, exactly as it was given.
const wchar_t* ChildCommandLine() {
    const wchar_t* line = ::GetCommandLineW();
    const bool quoted = *line == L'"';
    if (quoted) ++line;
    while (*line && (quoted ? *line != L'"' : *line != L' ' && *line != L'\t')) ++line;
    if (quoted && *line) ++line;
    while (*line == L' ' || *line == L'\t') ++line;
    return line;
}

double Now() {
    LARGE_INTEGER count, frequency;
    ::QueryPerformanceCounter(&count);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain() {
    std::wstring command = ChildCommandLine();
    if (command.empty()) {
        std::fprintf(stderr, "usage: measure_process <program> [arguments...]\n");
        return 2;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    const double start = Now();
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started)) {
        std::fprintf(stderr, "measure: cannot start %ls (error %lu)\n", command.c_str(), ::GetLastError());
        return 2;
    }
    const cv::unique_handle process(started.hProcess), thread(started.hThread);
    SIZE_T peak = 0;
    bool known = false;
    const auto sample = [&] {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        if (!::GetProcessMemoryInfo(process.get(), &counters, sizeof counters)) return;
        known = true;
        if (counters.PeakWorkingSetSize > peak) peak = counters.PeakWorkingSetSize;
    };
    while (::WaitForSingleObject(process.get(), SamplePeriod) == WAIT_TIMEOUT) sample();
    const double seconds = Now() - start;
    sample();
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.get(), &exitCode);
    std::fprintf(stderr, "measure: seconds=%.3f peak_working_set=%lld exit=%ld\n", seconds,
                 known ? static_cast<long long>(peak) : -1LL, static_cast<long>(exitCode));
    return exitCode == 0 ? 0 : 1;
}
