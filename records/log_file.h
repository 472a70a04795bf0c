// The uninstall log on disk: reading an earlier one, putting a new one safely in place.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "records/log_text.h"

// Attributes of a written log: read-only, archive, not content-indexed.
inline constexpr unsigned long LogFileAttributes = 0x2021;

// The lines of an existing log as far as they follow the format; none when it cannot be opened.
std::optional<LoadedLog> ReadLogFile(const std::wstring& logPath);

// Writes lines to a file beside logPath and, only when every write succeeded, puts it in place
// of logPath with the log's attributes; otherwise the earlier file stays as it was.
bool WriteLogFile(const std::wstring& logPath, const std::vector<std::wstring>& lines);

// The second half of WriteLogFile: replaces logPath by writtenPath when complete, else removes
// writtenPath and leaves logPath alone. True when the new log is in place.
bool PutLogInPlace(const std::wstring& writtenPath, const std::wstring& logPath, bool complete);

// The name WriteLogFile writes to before the log is put in place: its extension made ".new".
std::wstring PendingLogPath(const std::wstring& logPath);
