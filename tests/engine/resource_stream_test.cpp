// The payload resource lookup: the language module first, then the executable.
#include <windows.h>

#include <gtest/gtest.h>

#include <iterator>

#include "engine/resource_stream.h"
#include "support/handles.h"
#include "support/ui_language.h"
#include "tests/common/test_environment.h"

namespace {

std::string Contents(std::istream& stream) {
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

class ResourceStream : public ::testing::Test {
protected:
    void TearDown() override { cv::set_ui_language(saved_); }
    cv::ui_language saved_ = cv::current_ui_language();
};

TEST_F(ResourceStream, ExecutableAnswersWhileNoLanguageModuleIsSet) {
    cv::set_ui_language({});
    cv::imemstream stream = cv::open_resource_stream(260, 134);
    ASSERT_TRUE(stream.good());
    EXPECT_EQ(Contents(stream), "executable");
}

TEST_F(ResourceStream, LanguageModuleComesFirstThenTheExecutable) {
    cv::unique_module language(::LoadLibraryExW((test::ProgramFolder() + L"resource_language.dll").c_str(), nullptr,
                                                LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(language);
    cv::ui_language withModule = saved_;
    withModule.resourceModule = language.get();
    cv::set_ui_language(withModule);

    cv::imemstream fromLanguage = cv::open_resource_stream(260, 134);
    EXPECT_EQ(Contents(fromLanguage), "language module");
    cv::imemstream fromExecutable = cv::open_resource_stream(260, 135);
    EXPECT_EQ(Contents(fromExecutable), "only in the executable");
}

TEST_F(ResourceStream, MissingResourceGivesAnEmptyFailedStream) {
    cv::imemstream stream = cv::open_resource_stream(260, 999);
    EXPECT_FALSE(stream.good());
    EXPECT_EQ(stream.rdbuf()->in_avail(), -1);
}

TEST_F(ResourceStream, StreamSeeksBackToTheStart) {
    cv::imemstream stream = cv::open_resource_stream(260, 135);
    EXPECT_EQ(Contents(stream), "only in the executable");
    stream.clear();
    stream.seekg(0);
    EXPECT_EQ(stream.get(), 'o');
}

}  // namespace
