// What the install sequence shows and passes on: failure codes, percentages, the product's
// registration command line.
#include <gtest/gtest.h>

#include "engine/compress_error.h"
#include "engine/failure_text.h"
#include "engine/registration_command.h"

namespace {

TEST(ExtractionErrorText, OneFormPerCategory) {
    const struct {
        std::error_code code;
        const wchar_t* text;
    } cases[] = {
        {{5, std::system_category()}, L"1:00000005"},
        {{112, std::system_category()}, L"1:00000070"},
        {{static_cast<int>(0x80070020), std::system_category()}, L"1:80070020"},
        {{13, std::generic_category()}, L"2:0000000D"},
        {cv::make_error_code(cv::compress_errc::invalid_checksum), L"3"},
        {cv::make_error_code(cv::compress_errc::unknown), L"4"},
        {cv::make_error_code(cv::compress_errc::interrupted), L"5"},
        {cv::make_error_code(cv::compress_errc::unexpected), L"7"},
        {std::make_error_code(std::io_errc::stream), L"7"},
    };
    for (const auto& c : cases) EXPECT_EQ(ExtractionErrorText(c.code), c.text) << c.code.message();
}

TEST(ProgressPercent, ReachesHundredOnlyWithTheLastByte) {
    EXPECT_EQ(ProgressPercent(995, 1000), 99);
    EXPECT_EQ(ProgressPercent(994, 1000), 99);
    EXPECT_EQ(ProgressPercent(1000, 1000), 100);
    EXPECT_EQ(ProgressPercent(0, 1000), 0);
    EXPECT_EQ(ProgressPercent(5, 1000), 1);
    EXPECT_EQ(ProgressPercent(31'676'007, 31'676'008), 99);
    EXPECT_EQ(ProgressPercent(0, 0), 100) << "an empty archive is complete, not a division by zero";
}

TEST(RegistrationCommandLine, QuotesAndUpdateSwitch) {
    EXPECT_EQ(RegistrationCommandLine(L"C:\\Program Files\\Corvenna\\Veltrano 7\\Veltrano.exe", 0),
              L"\"C:\\Program Files\\Corvenna\\Veltrano 7\\Veltrano.exe\" /Register /Background");
    EXPECT_EQ(RegistrationCommandLine(L"D:\\Apps\\Veltrano.exe", 0x0007000300020001ULL),
              L"D:\\Apps\\Veltrano.exe /Register /Background /update=0007000300020001");
    EXPECT_EQ(RegistrationCommandLine(L"D:\\V.exe", 0xABCDULL), L"D:\\V.exe /Register /Background /update=000000000000abcd");
}

}  // namespace
