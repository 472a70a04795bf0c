// The uninstall log's text: the lines as written, the lines as read, and their meaning.
#pragma once

#include <cstddef>
#include <functional>
#include <list>
#include <optional>
#include <string>
#include <vector>

#include "records/uninstall_log_entry.h"

inline constexpr char LogByteOrderMark[2] = {'\xFF', '\xFE'};

// The six header lines, each with "// " and CR LF.
std::vector<std::wstring> LogHeaderLines(const std::wstring& productTitle,
                                         const std::wstring& earlierProduct,
                                         const std::wstring& installFolder,
                                         const std::wstring& shortcutFolder);

// "HKEY_LOCAL_MACHINE\Software\...\Uninstall\" and the product's key name.
std::wstring UninstallKeyText(const std::wstring& keyName);

// One entry line with CR LF; keyName names the product's Uninstall key.
std::wstring LogEntryLine(std::size_t index, const UninstallLogEntry& entry,
                          const std::wstring& keyName);

// The line's UTF-16LE bytes.
std::string Utf16LeBytes(const std::wstring& text);

// Hands the byte-order mark and then every line to write, one call each, going on after a
// failed call; true when every call succeeded.
bool WriteLogBytes(const std::vector<std::wstring>& lines,
                   const std::function<bool(const std::string& bytes)>& write);

// Cuts a log file's bytes into lines: UTF-16LE after FF FE, else ANSI text given to decode.
class LogLineSplitter {
public:
    // Bytes read into buffer; 0 at the end of the file, negative after a read error.
    using Read = std::function<std::ptrdiff_t(char* buffer, std::size_t size)>;
    using DecodeAnsi = std::function<std::wstring(const std::string& bytes)>;

    // Longer lines are not the writer's: reading ends there.
    static constexpr std::size_t MaxLineBytes = 1024;

    LogLineSplitter(Read read, DecodeAnsi decodeAnsi);

    // The next line with its terminator; false at the end, after a read error, or at a
    // line longer than MaxLineBytes.
    bool Next(std::wstring& line);

private:
    bool Fill();
    bool NextByte(char& byte);

    Read read_;
    DecodeAnsi decodeAnsi_;
    std::vector<char> buffer_;
    std::size_t position_ = 0;
    std::size_t size_ = 0;
    bool started_ = false;
    bool utf16_ = false;
    bool finished_ = false;
};

// What an earlier log holds; the folders as written, not yet tested for existence.
struct LoadedLog {
    int version = 0;
    std::wstring earlierProduct;
    std::optional<std::wstring> installPath;
    std::optional<std::wstring> shortcutPath;
    std::list<UninstallLogEntry> entries;
};

// Interprets the lines of a log one by one, as read and in order.
class LogParser {
public:
    // False when the line departs from the format and reading must stop.
    bool Take(std::wstring line);

    LoadedLog log;

private:
    bool TakeComment(std::wstring text);
    int counter_ = 0;
};

// An entry line's fields; none when the line is not a well-formed entry line.
std::optional<UninstallLogEntry> ParseEntryLine(const std::wstring& line);
