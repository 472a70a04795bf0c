// Reads the payload's table with libbz2 and resolves its placeholders through the shell.
#include "tests/e2e/payload_table.h"

#include <windows.h>
#include <shlobj.h>

#include <bzlib.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "engine/crc32.h"
#include "support/handles.h"
#include "tests/common/test_environment.h"

namespace e2e {

namespace {

// The first `wanted` bytes of the archive inside the bzip2 file.
std::string Decompress(const std::string& packed, std::size_t wanted) {
    bz_stream stream = {};
    if (BZ2_bzDecompressInit(&stream, 0, 0) != BZ_OK) throw std::runtime_error("bzip2 init");
    std::string archive(wanted, '\0');
    stream.next_in = const_cast<char*>(packed.data());
    stream.avail_in = static_cast<unsigned>(packed.size());
    stream.next_out = archive.data();
    stream.avail_out = static_cast<unsigned>(wanted);
    int status = BZ_OK;
    while (stream.avail_out > 0 && status == BZ_OK) status = BZ2_bzDecompress(&stream);
    BZ2_bzDecompressEnd(&stream);
    archive.resize(wanted - stream.avail_out);
    return archive;
}

std::wstring Resolve(const std::wstring& folder, const std::wstring& installFolder) {
    const size_t end = folder.find(L'\\');
    const std::wstring token = folder.substr(0, end);
    const std::wstring rest = end == std::wstring::npos ? std::wstring() : folder.substr(end);
    if (token == L"<InstallPath>") return installFolder + rest;
    if (token == L"<CommonData>") return ShellFolder(CSIDL_COMMON_APPDATA) + rest;
    if (token == L"<UserData>") return ShellFolder(CSIDL_APPDATA) + rest;
    if (token == L"<SamplePath>") return ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\Veltrano Examples" + rest;
    if (token == L"<Temporary>") return std::wstring();
    throw std::runtime_error("a placeholder that these tests do not know");
}

}  // namespace

std::wstring ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::wstring DemoPayloadPath() { return test::ProgramFolder() + L"..\\..\\demo\\payload.bin"; }

std::wstring VariantPayloadPath(const wchar_t* name) { return test::ProgramFolder() + L"payloads\\" + name + L".bin"; }

bool FileCrc(const std::wstring& path, std::uint32_t& crc) {
    const cv::unique_file file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return false;
    cv::crc32 sum;
    static char block[1 << 16];
    DWORD read = 0;
    while (::ReadFile(file.get(), block, sizeof block, &read, nullptr) && read != 0) sum.update(block, read);
    crc = sum.value();
    return true;
}

std::vector<PayloadFile> ReadPayloadTable(const std::wstring& payloadPath, const std::wstring& installFolder) {
    std::ifstream in(payloadPath.c_str(), std::ios::binary);
    const std::string packed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (packed.empty()) throw std::runtime_error("the payload file cannot be read");
    const std::uint64_t tocEnd = cv::read_toc_end(Decompress(packed, cv::archive_header_size));
    std::vector<PayloadFile> files;
    for (const cv::archive_entry& entry : cv::parse_table(Decompress(packed, static_cast<std::size_t>(tocEnd)))) {
        PayloadFile file;
        file.name = cv::source_file_name(entry.source);
        file.folder = entry.destination;
        file.kind = entry.kind;
        file.size = entry.size;
        file.crc = entry.crc;
        const std::wstring folder = Resolve(entry.destination, installFolder);
        file.destination = folder.empty() ? std::wstring() : folder + L"\\" + file.name;
        files.push_back(file);
    }
    return files;
}

}  // namespace e2e
