// Translation of extraction failures into the error code and path of the error notification.
#include <windows.h>

#include <gtest/gtest.h>

#include <boost/filesystem/exception.hpp>

#include "engine/compress_error.h"
#include "engine/failure_code.h"

namespace {

template <typename E>
cv::failure_report Translated(E exception) {
    return cv::translate_failure(std::make_exception_ptr(exception));
}

class OtherCategory final : public boost::system::error_category {
public:
    const char* name() const noexcept override { return "other"; }
    std::string message(int) const override { return "other"; }
};

TEST(FailureCode, KeepsWindowsAndRuntimeCodesAndTheReadersOwn) {
    const std::error_code unexpected = cv::make_error_code(cv::compress_errc::unexpected);
    static const OtherCategory other;
    const std::pair<cv::failure_report, std::error_code> cases[] = {
        {Translated(std::system_error(ERROR_ACCESS_DENIED, std::system_category())), {5, std::system_category()}},
        {Translated(std::system_error(cv::make_error_code(cv::compress_errc::invalid_checksum))),
         cv::make_error_code(cv::compress_errc::invalid_checksum)},
        {Translated(std::ios_base::failure("stream")), std::make_error_code(std::io_errc::stream)},
        {Translated(boost::system::system_error(ENOENT, boost::system::generic_category())), {ENOENT, std::generic_category()}},
        {Translated(boost::system::system_error(ERROR_DISK_FULL, boost::system::system_category())), {112, std::system_category()}},
        {Translated(boost::system::system_error(1, other)), unexpected},
        {Translated(static_cast<long>(0x80070005)), {5, std::system_category()}},
        {Translated(static_cast<long>(0x80004001)), {static_cast<int>(0x80004001), std::system_category()}},
        {Translated(std::runtime_error("handler")), unexpected},
        {Translated(std::bad_alloc()), unexpected},
        {Translated(42), unexpected},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(cases[i].first.code, cases[i].second) << i;
        EXPECT_TRUE(cases[i].first.path.empty()) << i;
    }
}

TEST(FailureCode, FileSystemErrorGivesItsFirstPath) {
    const auto report = Translated(boost::filesystem::filesystem_error(
        "create_directories", L"C:\\One", L"C:\\Two",
        boost::system::error_code(ERROR_PATH_NOT_FOUND, boost::system::system_category())));
    EXPECT_EQ(report.code, std::error_code(ERROR_PATH_NOT_FOUND, std::system_category()));
    EXPECT_EQ(report.path, L"C:\\One");
}

}  // namespace
