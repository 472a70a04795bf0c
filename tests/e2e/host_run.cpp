// Runs the install host with its output on a pipe.
#include "tests/e2e/host_run.h"

#include <stdexcept>

#include "support/handles.h"
#include "tests/common/test_environment.h"

namespace e2e {

namespace {

std::wstring FromUtf8(const std::string& bytes) {
    if (bytes.empty()) return {};
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
    return text;
}

std::wstring Quote(const std::wstring& argument) {
    return argument.find_first_of(L" \t") == std::wstring::npos ? argument : L"\"" + argument + L"\"";
}

bool AllHyphens(const std::wstring& line) {
    return line.size() > 3 && line.find_first_not_of(L'-') == std::wstring::npos;
}

}  // namespace

std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(start, end - start);
        while (!line.empty() && line.back() == L'\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::wstring HostResult::Status() const {
    const std::vector<std::wstring> lines = Lines(output);
    const std::wstring prefix = L"status: ";
    if (lines.empty() || lines.back().compare(0, prefix.size(), prefix) != 0) return L"<no status line>";
    return lines.back().substr(prefix.size());
}

std::vector<std::wstring> HostResult::Steps() const {
    std::vector<std::wstring> lines = Lines(output);
    if (!lines.empty() && lines.back().rfind(L"status: ", 0) == 0) lines.pop_back();
    std::vector<std::wstring> steps;
    for (const std::wstring& line : lines) {
        if (AllHyphens(line)) steps.clear();
        else steps.push_back(line);
    }
    return steps;
}

HostResult RunHost(const std::vector<std::wstring>& arguments) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    cv::unique_handle readEnd;
    cv::unique_handle writeEnd;
    {
        HANDLE read = nullptr;
        HANDLE write = nullptr;
        if (!::CreatePipe(&read, &write, &inherit, 0)) throw std::runtime_error("no pipe for the host's output");
        readEnd.reset(read);
        writeEnd.reset(write);
    }
    ::SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);

    const std::wstring program = test::FixturePath(L"install_host.exe");
    std::wstring commandLine = L"\"" + program + L"\"";
    for (const std::wstring& argument : arguments) commandLine += L" " + Quote(argument);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd.get();
    startup.hStdError = writeEnd.get();
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION started = {};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &started))
        throw std::runtime_error("the install host could not be started");
    const cv::unique_handle process(started.hProcess);
    const cv::unique_handle thread(started.hThread);
    writeEnd.reset();

    // Not read to the end of the pipe: a process that Wine starts on the host's behalf (its
    // desktop window) may inherit the write end and keep it open.
    std::string bytes;
    const auto drain = [&] {
        DWORD available = 0;
        while (::PeekNamedPipe(readEnd.get(), nullptr, 0, nullptr, &available, nullptr) && available != 0) {
            std::string block(available, '\0');
            DWORD read = 0;
            if (!::ReadFile(readEnd.get(), block.data(), available, &read, nullptr) || read == 0) return;
            bytes.append(block.data(), read);
        }
    };
    HostResult result;
    const DWORD deadline = ::GetTickCount() + 300000;
    while (::WaitForSingleObject(process.get(), 50) == WAIT_TIMEOUT) {
        drain();
        if (static_cast<LONG>(::GetTickCount() - deadline) > 0) {
            ::TerminateProcess(process.get(), 255);
            throw std::runtime_error("the install host did not end");
        }
    }
    drain();
    ::GetExitCodeProcess(process.get(), &result.exitCode);
    result.output = FromUtf8(bytes);
    return result;
}

}  // namespace e2e
