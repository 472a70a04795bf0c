// The installer executable carries the demo payload as resource 260/134: one complete bzip2
// stream whose table of contents lists the 71 entries and whose length adds up.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>

#include "engine/archive_format.h"
#include "engine/bzip2_pump.h"
#include "support/handles.h"
#include "support/imemstream.h"
#include "tests/common/test_environment.h"

namespace {

TEST(InstallerPayload, ResourceHoldsTheWholeDemoArchive) {
    const std::wstring installer = test::ProgramFolder() + L"..\\..\\app\\InstallVeltrano7.04d.exe";
    cv::unique_module module(::LoadLibraryExW(installer.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(module);
    HRSRC info = ::FindResourceW(module.get(), MAKEINTRESOURCEW(134), MAKEINTRESOURCEW(260));
    ASSERT_TRUE(info);
    HGLOBAL loaded = ::LoadResource(module.get(), info);
    ASSERT_TRUE(loaded);
    cv::imemstream payload(static_cast<const char*>(::LockResource(loaded)), ::SizeofResource(module.get(), info));

    std::string table;
    std::uint64_t tocEnd = 0, length = 0;
    const std::uint64_t read = cv::pump_bzip2(payload, [&](const char* data, std::size_t size) {
        if (tocEnd == 0 || table.size() < tocEnd) {
            table.append(data, size);
            if (tocEnd == 0 && table.size() >= cv::archive_header_size) tocEnd = cv::read_toc_end(table);
        }
        length += size;
        return size;
    });
    EXPECT_EQ(read, ::SizeofResource(module.get(), info));
    ASSERT_GE(table.size(), tocEnd);
    const auto entries = cv::parse_table(std::string_view(table).substr(0, tocEnd));
    std::map<std::uint32_t, int> kinds;
    std::uint64_t bodies = 0;
    for (const auto& entry : entries) {
        ++kinds[entry.kind];
        bodies += entry.size;
    }
    EXPECT_EQ(entries.size(), 71u);
    EXPECT_EQ(kinds, (std::map<std::uint32_t, int>{{cv::language_library, 13}, {cv::program, 1}, {cv::uninstaller, 1},
                                                   {cv::user_data, 22}, {cv::sample, 28}, {cv::temporary, 6}}));
    EXPECT_EQ(length, tocEnd + bodies);
}

}  // namespace
