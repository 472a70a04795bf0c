// Failures of the steps after the extraction: each ends its own line in "Failed" or is
// skipped, and the installation still succeeds.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>

#include "tests/e2e/host_run.h"
#include "tests/e2e/installation_checks.h"

namespace {

using namespace e2e;

bool HasStep(const HostResult& run, const std::wstring& step) {
    const std::vector<std::wstring> steps = run.Steps();
    return std::find(steps.begin(), steps.end(), step) != steps.end();
}

bool AnyStepStartsWith(const HostResult& run, const std::wstring& start) {
    const std::vector<std::wstring> steps = run.Steps();
    return std::any_of(steps.begin(), steps.end(), [&](const std::wstring& step) { return step.rfind(start, 0) == 0; });
}

std::wstring InstalledLog() { return ReadUtf16File(DefaultInstallFolder() + L"\\Uninstall.ulog").value_or(L"<no log>"); }

HostResult RunSucceeding(const std::vector<std::wstring>& arguments) {
    HostResult run = RunHost(arguments);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_EQ(run.Status(), L"Click on 'Next' to continue.");
    return run;
}

TEST(SoftFailure, ProductThatEndsWithZero) {
    const HostResult run = RunSucceeding({L"/language", L"1", L"/payload", VariantPayloadPath(L"product_exit0")});
    EXPECT_TRUE(HasStep(run, L"Registry Data Writing...Failed")) << run.output;
    EXPECT_TRUE(HasStep(run, L"Installation Data Writing...OK")) << run.output;
    const std::wstring log = InstalledLog();
    EXPECT_NE(log.find(L":06ff:0 -- HKEY_CLASSES_ROOT\\...\r\n"), std::wstring::npos) << log;
    EXPECT_NE(log.find(L":05ff:1 -- "), std::wstring::npos) << log;
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, MakerKeyPath, L"Veltrano 7 Path"), DefaultInstallFolder() + L"\\Veltrano.exe");
}

TEST(SoftFailure, DirectXOfAnOlderRevisionIsSkipped) {
    const HostResult run = RunSucceeding({L"/language", L"1", L"/payload", VariantPayloadPath(L"dsetup_old")});
    EXPECT_FALSE(AnyStepStartsWith(run, DirectXText)) << run.output;
    EXPECT_TRUE(HasStep(run, L"Registry Data Writing...OK")) << run.output;
    const std::wstring log = InstalledLog();
    EXPECT_EQ(log.find(L":07ff:"), std::wstring::npos) << log;
}

TEST(SoftFailure, DirectXSetupThatFails) {
    const HostResult run = RunSucceeding({L"/language", L"1", L"/payload", VariantPayloadPath(L"dsetup_fails")});
    EXPECT_TRUE(HasStep(run, std::wstring(DirectXText) + L"Failed")) << run.output;
    EXPECT_TRUE(HasStep(run, L"Registry Data Writing...OK")) << run.output;
    const std::wstring log = InstalledLog();
    EXPECT_NE(log.find(L":07ff:0 -- " + std::wstring(DirectXText) + L"\r\n"), std::wstring::npos) << log;
}

TEST(SoftFailure, UnwritableProgramGroupFolder) {
    // The program group would lie below a file.
    const std::wstring blocker = L"C:\\blocker.txt";
    WriteBytes(blocker, "not a folder");
    const std::wstring menu = blocker + L"\\Group";
    const HostResult run = RunSucceeding(
        {L"/language", L"1", L"/payload", VariantPayloadPath(L"programs_only"), L"/menu-folder", menu});
    EXPECT_TRUE(HasStep(run, L"Shortcuts Creation...Failed")) << run.output;
    const std::wstring desktopLink = CommonDesktop() + L"\\Veltrano 7.04d.lnk";
    const auto link = ReadLink(desktopLink);
    ASSERT_TRUE(link) << "no desktop link";
    EXPECT_EQ(link->target, DefaultInstallFolder() + L"\\Veltrano.exe");
    const std::wstring log = InstalledLog();
    EXPECT_NE(log.find(L":02ff:0 -- \r\n"), std::wstring::npos) << log;
    EXPECT_NE(log.find(L":03ff:0 -- \r\n"), std::wstring::npos) << log;
    EXPECT_NE(log.find(L":04ff:1 -- " + desktopLink + L"\r\n"), std::wstring::npos) << log;
    EXPECT_NE(log.find(L"// Shortcut Path : " + menu + L"\r\n"), std::wstring::npos) << log;
    EXPECT_FALSE(::PathFileExistsW(menu.c_str()));
}

}  // namespace
