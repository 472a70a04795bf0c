// The static phase in this process: environment, maker's folders, controls, id, counter.
#include <gtest/gtest.h>

#include "app/instance_checks.h"
#include "app/static_phase.h"
#include "support/paths.h"

namespace {

TEST(StaticPhase, EnvironmentAndApplicationInitialization) {
    ASSERT_NO_THROW(SetUpProcessEnvironment());
    EXPECT_EQ(::GetErrorMode() & 0x8001u, 0x8001u);
    try {
        InitializeApplication();
    } catch (const std::exception& error) {
        FAIL() << error.what();
    } catch (long error) {
        FAIL() << std::hex << error;
    }
    EXPECT_EQ(applicationId, L"Veltrano7");
    EXPECT_EQ(RunningCount(), 1);
    EXPECT_EQ(cv::maker_common_data_folder(), cv::known_folder(FOLDERID_ProgramData) + L"\\Corvenna");
}

}  // namespace
