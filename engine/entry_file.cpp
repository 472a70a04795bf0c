// Writing and read-back verification of entry files with the Windows file functions.
#include "engine/entry_file.h"

#include <windows.h>

#include <system_error>

#include "engine/bzip2_pump.h"
#include "engine/compress_error.h"
#include "engine/crc32.h"

namespace cv {

namespace {

constexpr int VerifyRepeats = 3;
constexpr DWORD VerifyPause = 1000;

std::error_code last_error() { return {static_cast<int>(::GetLastError()), std::system_category()}; }

// The file's CRC-32, or the Windows error that kept it from being read.
std::error_code checksum(const std::wstring& path, std::uint32_t& crc) {
    unique_file file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return last_error();
    cv::crc32 sum;
    char block[pump_block_size];
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), block, sizeof block, &read, nullptr)) return last_error();
        if (read == 0) break;
        sum.update(block, read);
    }
    crc = sum.value();
    return {};
}

}  // namespace

entry_file::entry_file(const std::wstring& path)
    : file_(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr)) {
    if (!file_) throw std::system_error(last_error());
}

void entry_file::write(const char* data, std::size_t size) {
    while (size != 0) {
        DWORD written = 0;
        if (!::WriteFile(file_.get(), data, static_cast<DWORD>(size), &written, nullptr))
            throw std::system_error(last_error());
        data += written;
        size -= written;
    }
}

void verify_file(const std::wstring& path, std::uint32_t crc) {
    for (int attempt = 0;; ++attempt) {
        std::uint32_t actual = 0;
        const std::error_code error = checksum(path, actual);
        if (!error) {
            if (actual != crc) throw_compress(compress_errc::invalid_checksum);
            return;
        }
        // A virus scanner may hold a new file for a moment.
        if (error != std::error_code(ERROR_SHARING_VIOLATION, std::system_category()) ||
            attempt == VerifyRepeats)
            throw std::system_error(error);
        ::Sleep(VerifyPause);
    }
}

}  // namespace cv
