// The table of contents of a payload file, with its destinations resolved the way the
// installation must resolve them.
#pragma once

#include <string>
#include <vector>

#include "engine/archive_format.h"

namespace e2e {

struct PayloadFile {
    std::wstring name;         // the file name that the entry writes
    std::wstring folder;       // the destination as packed, placeholder first
    std::wstring destination;  // the full path on this machine (temporary entries: folder empty)
    std::uint32_t kind = 0;
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
};

// Reads the table of payloadPath (a bzip2 file of the packer's archive) and resolves every
// destination for installFolder and the English samples folder.
std::vector<PayloadFile> ReadPayloadTable(const std::wstring& payloadPath, const std::wstring& installFolder);

// The demo payload of the build (demo/payload.bin) and the variants of these tests.
std::wstring DemoPayloadPath();
std::wstring VariantPayloadPath(const wchar_t* name);

// Shell folders, by CSIDL.
std::wstring ShellFolder(int csidl);

// CRC-32 of a file's bytes; false when it cannot be read.
bool FileCrc(const std::wstring& path, std::uint32_t& crc);

}  // namespace e2e
