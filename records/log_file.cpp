// The uninstall log on disk: reading an earlier one, putting a new one safely in place.
#include "records/log_file.h"

#include <windows.h>

#include "support/handles.h"

namespace {

std::wstring DecodeAnsi(const std::string& bytes) {
    if (bytes.empty()) return {};
    const int size = static_cast<int>(bytes.size());
    const int length =
        ::MultiByteToWideChar(CP_THREAD_ACP, MB_PRECOMPOSED, bytes.data(), size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_THREAD_ACP, MB_PRECOMPOSED, bytes.data(), size, text.data(), length);
    return text;
}

}  // namespace

std::optional<LoadedLog> ReadLogFile(const std::wstring& logPath) {
    const cv::unique_file file(::CreateFileW(logPath.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                             nullptr));
    if (!file) return std::nullopt;
    LogLineSplitter lines(
        [&file](char* buffer, std::size_t size) -> std::ptrdiff_t {
            DWORD read = 0;
            if (!::ReadFile(file.get(), buffer, static_cast<DWORD>(size), &read, nullptr)) return -1;
            return static_cast<std::ptrdiff_t>(read);
        },
        DecodeAnsi);
    LogParser parser;
    std::wstring line;
    while (lines.Next(line) && parser.Take(line)) {
    }
    return std::move(parser.log);
}

std::wstring PendingLogPath(const std::wstring& logPath) {
    // Never longer than the log's own name, so that it fits wherever the log fits.
    const std::size_t name = logPath.find_last_of(L"\\/");
    const std::size_t dot = logPath.rfind(L'.');
    const bool hasExtension = dot != std::wstring::npos && (name == std::wstring::npos || dot > name);
    return (hasExtension ? logPath.substr(0, dot) : logPath) + L".new";
}

bool WriteLogFile(const std::wstring& logPath, const std::vector<std::wstring>& lines) {
    const std::wstring written = PendingLogPath(logPath);
    ::SetFileAttributesW(written.c_str(), FILE_ATTRIBUTE_NORMAL);
    bool complete = false;
    {
        const cv::unique_file file(::CreateFileW(written.c_str(), GENERIC_WRITE, 0, nullptr,
                                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        complete = WriteLogBytes(lines, [&file](const std::string& bytes) {
            DWORD done = 0;
            return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done,
                               nullptr) &&
                   done == bytes.size();
        });
        complete = ::FlushFileBuffers(file.get()) && complete;
    }
    return PutLogInPlace(written, logPath, complete);
}

bool PutLogInPlace(const std::wstring& writtenPath, const std::wstring& logPath, bool complete) {
    if (complete) {
        const DWORD earlier = ::GetFileAttributesW(logPath.c_str());
        ::SetFileAttributesW(logPath.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (::MoveFileExW(writtenPath.c_str(), logPath.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            ::SetFileAttributesW(logPath.c_str(), LogFileAttributes);
            return true;
        }
        if (earlier != INVALID_FILE_ATTRIBUTES) ::SetFileAttributesW(logPath.c_str(), earlier);
    }
    ::SetFileAttributesW(writtenPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(writtenPath.c_str());
    return false;
}
