// The uninstall log's text: the lines as written, the lines as read, and their meaning.
#include "records/log_text.h"

#include <boost/algorithm/string/trim.hpp>

#include <iomanip>
#include <sstream>

namespace {

const std::wstring CommentPrefix = L"// ";
const std::wstring LineEnd = L"\r\n";

std::wstring CommentLine(const std::wstring& text) { return CommentPrefix + text + LineEnd; }

std::wstring TextAfter(const std::wstring& text, std::size_t found, const std::wstring& marker) {
    return boost::algorithm::trim_copy(text.substr(found + marker.size()));
}

}  // namespace

std::vector<std::wstring> LogHeaderLines(const std::wstring& productTitle,
                                         const std::wstring& earlierProduct,
                                         const std::wstring& installFolder,
                                         const std::wstring& shortcutFolder) {
    std::wstring install = L"Install " + productTitle;
    if (!earlierProduct.empty()) install += L" -- Update (" + earlierProduct + L")";
    std::vector<std::wstring> lines{
        CommentLine(L"Uninstall Log File v1"),
        CommentLine(L"############ WARNING: Do not delete or modify this file. ############"),
        CommentLine(install),
        CommentLine(L"Install Path : " + installFolder),
        CommentLine(L"Shortcut Path : " + shortcutFolder),
    };
    // The hyphens underline line 5 as written.
    const std::size_t underline = lines.back().size() - CommentPrefix.size() - LineEnd.size();
    lines.push_back(CommentLine(std::wstring(underline, L'-')));
    return lines;
}

std::wstring UninstallKeyText(const std::wstring& keyName) {
    return L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + keyName;
}

std::wstring LogEntryLine(std::size_t index, const UninstallLogEntry& entry,
                          const std::wstring& keyName) {
    const unsigned code = static_cast<unsigned>(entry.kind) * 256u +
                          (static_cast<unsigned>(entry.subtype) & 0xFFu);
    std::wostringstream line;
    line << std::setfill(L'0') << std::setw(4) << std::dec << index << L':' << std::setw(4)
         << std::hex << std::nouppercase << code << L':' << std::setw(1)
         << (entry.flag ? L'1' : L'0') << L" -- ";
    switch (entry.kind) {
    case EntryKind::UninstallKey:
        line << UninstallKeyText(keyName);
        break;
    case EntryKind::ClassesRoot:
        line << L"HKEY_CLASSES_ROOT\\...";
        break;
    default:
        line << entry.path;
        break;
    }
    line << LineEnd;
    return line.str();
}

std::string Utf16LeBytes(const std::wstring& text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (const wchar_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>((unit >> 8) & 0xFF));
    }
    return bytes;
}

bool WriteLogBytes(const std::vector<std::wstring>& lines,
                   const std::function<bool(const std::string& bytes)>& write) {
    bool complete = write(std::string(LogByteOrderMark, sizeof LogByteOrderMark));
    for (const std::wstring& line : lines) {
        if (!write(Utf16LeBytes(line))) complete = false;
    }
    return complete;
}

LogLineSplitter::LogLineSplitter(Read read, DecodeAnsi decodeAnsi)
    : read_(std::move(read)), decodeAnsi_(std::move(decodeAnsi)), buffer_(4096) {}

bool LogLineSplitter::Fill() {
    if (finished_) return false;
    const std::ptrdiff_t got = read_(buffer_.data(), buffer_.size());
    if (got <= 0) {
        finished_ = true;
        return false;
    }
    position_ = 0;
    size_ = static_cast<std::size_t>(got);
    return true;
}

bool LogLineSplitter::NextByte(char& byte) {
    if (position_ == size_ && !Fill()) return false;
    byte = buffer_[position_++];
    return true;
}

bool LogLineSplitter::Next(std::wstring& line) {
    std::string bytes;
    char byte = 0;
    if (!started_) {
        started_ = true;
        if (NextByte(byte)) {
            bytes.push_back(byte);
            if (byte == LogByteOrderMark[0] && NextByte(byte)) {
                bytes.push_back(byte);
                if (byte == LogByteOrderMark[1]) {
                    utf16_ = true;
                    bytes.clear();
                }
            }
        }
    }
    const auto ended = [&] {
        const std::size_t n = bytes.size();
        if (utf16_) return n >= 2 && n % 2 == 0 && bytes[n - 2] == '\n' && bytes[n - 1] == '\0';
        return n >= 1 && bytes[n - 1] == '\n';
    };
    while (!ended() && NextByte(byte)) {
        bytes.push_back(byte);
        if (bytes.size() > MaxLineBytes) {
            finished_ = true;
            position_ = size_ = 0;
            return false;
        }
    }
    if (bytes.empty()) return false;
    if (utf16_) {
        line.clear();
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
            line.push_back(static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                                (static_cast<unsigned char>(bytes[i + 1]) << 8)));
        }
    } else {
        line = decodeAnsi_(bytes);
    }
    return true;
}

bool LogParser::Take(std::wstring line) {
    boost::algorithm::trim_right(line);
    const int counter = counter_++;
    if (line.compare(0, 2, L"//") == 0) {
        const std::size_t slashes = line.find_first_not_of(L'/');
        std::wstring text = slashes == std::wstring::npos ? std::wstring() : line.substr(slashes);
        boost::algorithm::trim_left(text);
        switch (counter) {
        case 0: {
            const std::wstring marker = L"Uninstall Log File v";
            const std::size_t found = text.find(marker);
            if (found != std::wstring::npos) {
                std::wistringstream number(text.substr(found + marker.size()));
                if (!(number >> log.version)) log.version = 0;
            }
            return log.version == 1;
        }
        case 2: {
            const std::wstring marker = L"Install";
            const std::size_t found = text.find(marker);
            if (found == std::wstring::npos) return false;
            std::wstring product = text.substr(found + marker.size());
            const std::size_t cut = product.find(L"--");
            if (cut != std::wstring::npos) product.erase(cut);
            log.earlierProduct = boost::algorithm::trim_copy(product);
            return true;
        }
        case 3:
        case 4: {
            const std::wstring marker = counter == 3 ? L"Install Path : " : L"Shortcut Path : ";
            const std::size_t found = text.find(marker);
            if (found == std::wstring::npos) return false;
            (counter == 3 ? log.installPath : log.shortcutPath) = TextAfter(text, found, marker);
            return true;
        }
        default:
            return true;
        }
    }
    if (log.version != 1) return false;
    std::optional<UninstallLogEntry> entry = ParseEntryLine(line);
    if (!entry) return false;
    log.entries.push_back(std::move(*entry));
    return true;
}

std::optional<UninstallLogEntry> ParseEntryLine(const std::wstring& line) {
    std::wistringstream fields(line);
    long long index = -1;
    long long code = -1;
    wchar_t separator1 = 0;
    wchar_t separator2 = 0;
    wchar_t digit = 0;
    std::wstring dashes;
    fields >> std::dec >> index >> separator1 >> std::hex >> code >> separator2 >> digit >> dashes;
    if (!fields || index < 0 || separator1 != L':' || code < 0 || code / 256 >= EntryKindCount ||
        separator2 != L':' || (digit != L'1' && digit != L'0') || dashes != L"--") {
        return std::nullopt;
    }
    std::wstring rest;
    std::getline(fields, rest);
    boost::algorithm::trim_left(rest);

    UninstallLogEntry entry;
    entry.kind = static_cast<EntryKind>(code / 256);
    const int low = static_cast<int>(code & 0xFF);
    entry.subtype = low == 0xFF ? -1 : low;
    entry.flag = digit == L'1';
    if (entry.kind != EntryKind::UninstallKey && entry.kind != EntryKind::ClassesRoot) {
        entry.path = std::move(rest);
    }
    return entry;
}
