// The portable parts of the payload: CRC-32, the table of contents, the memory stream, the pump.
#include <gtest/gtest.h>

#include <sstream>

#include "engine/archive_format.h"
#include "engine/bzip2_pump.h"
#include "engine/compress_error.h"
#include "engine/crc32.h"
#include "support/imemstream.h"
#include "tests/engine/archive_builder.h"

namespace {

using test::CodeOf;

const std::error_code Unexpected = cv::make_error_code(cv::compress_errc::unexpected);
const std::error_code Damaged = cv::make_error_code(cv::compress_errc::bzip2);

TEST(Crc32, MatchesTheCheckValuesOfZlib) {
    const std::pair<std::string, std::uint32_t> cases[] = {
        {"", 0x00000000u}, {"123456789", 0xCBF43926u}, {"a", 0xE8B7BE43u},
        {std::string(4096 * 3 + 5, '\xAB'), 0}};
    for (const auto& [data, expected] : cases) {
        cv::crc32 whole;
        whole.update(data.data(), data.size());
        if (expected != 0 || data.empty()) {
            EXPECT_EQ(whole.value(), expected) << data;
        }
        cv::crc32 pieces;
        for (std::size_t at = 0; at < data.size(); at += 7) pieces.update(data.data() + at, std::min<std::size_t>(7, data.size() - at));
        EXPECT_EQ(pieces.value(), whole.value());
    }
}

TEST(CompressCategory, NamesItsCodes) {
    const auto& category = cv::compress_category();
    EXPECT_STREQ(category.name(), "compress");
    EXPECT_EQ(category.message(3), "invalid checksum");
    EXPECT_EQ(category.message(4), "unknown error");
    EXPECT_EQ(category.message(5), "interrupted");
    EXPECT_EQ(category.message(6), "bzip2 error");
    EXPECT_EQ(category.message(7), "unexpected error");
    EXPECT_EQ(category.message(42), "unknown error");
}

TEST(ArchiveTable, ReadsTheRecordsInOrder) {
    const std::vector<test::TestEntry> written = {{L"D:\\Build\\Lang\\Veltrano.en.dll", L"<InstallPath>\\Lang", "abc", 0},
                                                  {L"files/Objects.vlb", L"<CommonData>\\Corvenna", "", 3}};
    const std::string table = test::TableBytes(written);
    ASSERT_EQ(cv::read_toc_end(table), table.size());
    const auto entries = cv::parse_table(table);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].source, L"D:\\Build\\Lang\\Veltrano.en.dll");
    EXPECT_EQ(entries[0].destination, L"<InstallPath>\\Lang");
    EXPECT_EQ(entries[0].kind, 0u);
    EXPECT_EQ(entries[0].size, 3u);
    EXPECT_EQ(entries[0].crc, 0x352441C2u);
    EXPECT_EQ(entries[1].kind, 3u);
    EXPECT_EQ(entries[1].size, 0u);
    std::size_t expected = 12;
    for (const auto& entry : written) expected += 24 + 2 * (entry.source.size() + entry.destination.size());
    EXPECT_EQ(table.size(), expected);
}

TEST(ArchiveTable, RejectsTablesThatDoNotAddUp) {
    const std::string good = test::TableBytes({{L"a.txt", L"<InstallPath>", "x"}});
    auto with_toc_end = [](std::string table, std::uint64_t value) {
        for (int i = 0; i < 8; ++i) table[i] = static_cast<char>(value >> (8 * i));
        return table;
    };
    auto with_byte = [](std::string table, std::size_t at, char value) {
        table[at] = value;
        return table;
    };
    const std::pair<const char*, std::string> cases[] = {
        {"toc_end below 12", with_toc_end(good, 11)},
        {"toc_end of 2^32", with_toc_end(good, 1ull << 32)},
        {"table shorter than toc_end", good.substr(0, good.size() - 1)},
        {"bytes left after the records", with_toc_end(good + "zz", good.size() + 2)},
        {"more records than fit", with_byte(good, 8, 2)},
        {"count of 2^32 - 1", with_byte(with_byte(with_byte(with_byte(good, 8, '\xFF'), 9, '\xFF'), 10, '\xFF'), 11, '\xFF')},
        {"source longer than the table", with_byte(good, 12 + 3, 0x40)},
        {"destination length beyond the table", with_byte(good, 12 + 4 + 10 + 2, 0x7F)},
    };
    for (const auto& [what, table] : cases) {
        EXPECT_EQ(CodeOf([&] { cv::parse_table(table); }), Unexpected) << what;
    }
    EXPECT_EQ(CodeOf([] { cv::read_toc_end(std::string(8, '\0')); }), Unexpected);
    EXPECT_EQ(cv::parse_table(test::TableBytes({})).size(), 0u);
}

TEST(ArchiveTable, TakesOnlyTheFileNameOfTheSource) {
    EXPECT_EQ(cv::source_file_name(L"D:\\Build\\Release\\Veltrano.exe"), L"Veltrano.exe");
    EXPECT_EQ(cv::source_file_name(L"product/Lang/Veltrano.de.dll"), L"Veltrano.de.dll");
    EXPECT_EQ(cv::source_file_name(L"Settings.ini"), L"Settings.ini");
    for (const wchar_t* bad : {L"", L"folder\\", L"..", L"a\\..", L".", L"C:evil.exe", L"x\\file.txt:stream"})
        EXPECT_EQ(CodeOf([&] { cv::source_file_name(bad); }), Unexpected) << bad;
}

TEST(MemoryStream, ReadsAndSeeksWithoutCopying) {
    static const char data[] = "0123456789";
    cv::imemstream stream(data, 10);
    char four[4];
    ASSERT_TRUE(stream.read(four, 4));
    EXPECT_EQ(std::string(four, 4), "0123");
    EXPECT_EQ(stream.tellg(), 4);
    stream.seekg(-2, std::ios::end);
    EXPECT_EQ(stream.get(), '8');
    stream.seekg(1);
    EXPECT_EQ(stream.get(), '1');
    EXPECT_EQ(stream.rdbuf()->sgetc(), '2');
    stream.seekg(0, std::ios::end);
    EXPECT_EQ(stream.get(), std::char_traits<char>::eof());
    stream.clear();
    stream.seekg(0);
    EXPECT_EQ(stream.get(), '0');
    stream.seekg(11);
    EXPECT_TRUE(stream.fail());

    cv::imemstream missing;
    EXPECT_FALSE(missing.good());
}

std::string Pumped(const std::string& compressed, std::uint64_t* read = nullptr, std::size_t* largest = nullptr) {
    std::istringstream source(compressed);
    std::string out;
    std::size_t biggest = 0;
    const auto count = cv::pump_bzip2(source, [&](const char* data, std::size_t size) {
        biggest = std::max(biggest, size);
        // Consumes less than offered, as the sink may.
        const std::size_t used = std::min<std::size_t>(size, 1000);
        out.append(data, used);
        return used;
    });
    if (read) *read = count;
    if (largest) *largest = biggest;
    return out;
}

std::string Noise(std::size_t size) {
    std::string data(size, '\0');
    std::uint32_t state = 12345;
    for (auto& byte : data) byte = static_cast<char>((state = state * 1103515245u + 12345u) >> 24);
    return data;
}

TEST(Bzip2Pump, DecompressesInBlocksOfAtMost4096Bytes) {
    const std::string archive = Noise(300000) + std::string(200000, 'v');
    const std::string compressed = test::Bzip2(archive);
    std::uint64_t read = 0;
    std::size_t largest = 0;
    EXPECT_EQ(Pumped(compressed, &read, &largest), archive);
    EXPECT_EQ(read, compressed.size());
    EXPECT_EQ(largest, 4096u);
}

TEST(Bzip2Pump, TakesStreamsWrittenBackToBack) {
    EXPECT_EQ(Pumped(test::Bzip2("first ") + test::Bzip2("second")), "first second");
}

TEST(Bzip2Pump, ReportsDamagedAndTruncatedData) {
    const std::string compressed = test::Bzip2(Noise(100000));
    std::string damaged = compressed;
    for (std::size_t at = 200; at < 260; ++at) damaged[at] = static_cast<char>(damaged[at] ^ 0x5A);
    EXPECT_EQ(CodeOf([&] { Pumped(damaged); }), Damaged);
    EXPECT_EQ(CodeOf([&] { Pumped(compressed.substr(0, compressed.size() / 2)); }), Damaged);
    EXPECT_EQ(CodeOf([&] { Pumped("BZh9 but not really"); }), Damaged);
    EXPECT_EQ(CodeOf([&] { Pumped(compressed + "trailing bytes"); }), Damaged);
    EXPECT_EQ(CodeOf([&] { Pumped(""); }), Damaged);
}

TEST(Bzip2Pump, RefusesAStreamThatIsNotGood) {
    cv::imemstream missing;
    EXPECT_THROW(cv::pump_bzip2(missing, [](const char*, std::size_t size) { return size; }), std::ios_base::failure);
}

}  // namespace
