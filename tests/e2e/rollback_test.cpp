// Installations that fail and must leave the machine exactly as it was: every file with its
// content and every registry value compared before and after.
#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <memory>

#include "support/handles.h"
#include "tests/common/child_process.h"
#include "tests/common/test_environment.h"
#include "tests/e2e/host_run.h"
#include "tests/e2e/installation_checks.h"
#include "tests/e2e/machine_state.h"
#include "tests/e2e/payload_table.h"

namespace {

using namespace e2e;

std::wstring Joined(const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (const std::wstring& line : lines) text += line + L"\n";
    return text;
}

// Wine sets up its display driver, and writes its registry keys, with the first window of a
// session; the picture of the machine is taken after that.
void StartDisplay() {
    const HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    if (window) ::DestroyWindow(window);
    const test::ChildProcess host(test::FixturePath(L"install_host.exe"), L"/usage");
    host.Wait();
}

// Runs the host, expects the failure status and compares the machine with its state before.
void ExpectFailureLeavesNoTrace(const std::vector<std::wstring>& arguments, const std::wstring& code,
                                const std::wstring& lastStep) {
    StartDisplay();
    const MachineState before = TakeSnapshot();
    const HostResult run = RunHost(arguments);
    const MachineState after = TakeSnapshot();
    EXPECT_EQ(run.exitCode, 1u) << run.output;
    EXPECT_EQ(run.Status(), L"Installation failed (Error Code " + code + L").");
    const std::vector<std::wstring> steps = run.Steps();
    ASSERT_FALSE(steps.empty()) << run.output;
    EXPECT_EQ(steps.back(), lastStep);
    const std::vector<std::wstring> differences = Differences(before, after);
    EXPECT_TRUE(differences.empty()) << testing::PrintToString(Joined(differences));
}

TEST(Rollback, DamagedPayloadWritesNothing) {
    ExpectFailureLeavesNoTrace({L"/language", L"1", L"/payload", VariantPayloadPath(L"damaged")}, L"4",
                               L"Preparing Installation...Failed");
}

TEST(Rollback, ChecksumMismatchOnTheTenthFile) {
    const std::wstring tenth = ReadPayloadTable(DemoPayloadPath(), DefaultInstallFolder()).at(9).destination;
    ExpectFailureLeavesNoTrace({L"/language", L"1", L"/payload", VariantPayloadPath(L"wrong_crc_10")}, L"3",
                               L"Copying File  \"" + tenth + L"\"...Failed");
}

TEST(Rollback, TargetHeldOpenByAnotherProcess) {
    // An earlier program file that another process holds open without sharing.
    const std::wstring folder = DefaultInstallFolder();
    const std::wstring program = folder + L"\\Veltrano.exe";
    ASSERT_EQ(::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr), ERROR_SUCCESS);
    WriteBytes(program, "an earlier program that is running");
    const cv::unique_handle ready(::CreateEventW(nullptr, TRUE, FALSE, L"e2e_hold_file_ready"));
    const test::ChildProcess holder(test::FixturePath(L"e2e_hold_file.exe"), L"\"" + program + L"\"");
    const HANDLE waits[] = {ready.get(), holder.handle()};
    ASSERT_EQ(::WaitForMultipleObjects(2, waits, FALSE, 30000), WAIT_OBJECT_0)
        << "the holder ended with " << holder.ExitCode();
    ExpectFailureLeavesNoTrace({L"/language", L"1"}, L"1:00000020", L"Copying File  \"" + program + L"\"...Failed");
}

TEST(Rollback, ProductPathThatCannotBeWritten) {
    // The maker's key refuses new values to everyone.
    {
        cv::unique_hkey key;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, MakerKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                                    nullptr),
                  ERROR_SUCCESS);
        EXPLICIT_ACCESSW deny = {};
        BuildExplicitAccessWithNameW(&deny, const_cast<wchar_t*>(L"Everyone"), KEY_SET_VALUE | KEY_CREATE_SUB_KEY,
                                     DENY_ACCESS, NO_INHERITANCE);
        PACL list = nullptr;
        ASSERT_EQ(::SetEntriesInAclW(1, &deny, nullptr, &list), ERROR_SUCCESS);
        const cv::unique_local owned(list);
        ASSERT_EQ(::SetSecurityInfo(key.get(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, list, nullptr),
                  ERROR_SUCCESS);
    }
    {
        cv::unique_hkey key;
        const wchar_t probe[] = L"probe";
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, MakerKeyPath, 0, MAXIMUM_ALLOWED, key.put()) == ERROR_SUCCESS &&
            ::RegSetValueExW(key.get(), L"Probe", 0, REG_SZ, reinterpret_cast<const BYTE*>(probe), sizeof probe) ==
                ERROR_SUCCESS) {
            ::RegDeleteValueW(key.get(), L"Probe");
            GTEST_SKIP() << "this Wine does not enforce a registry key's access list, so no key refuses the value";
        }
    }
    ExpectFailureLeavesNoTrace({L"/language", L"1", L"/payload", VariantPayloadPath(L"programs_only")}, L"-1",
                               L"Registry Data Writing...Failed");
}

}  // namespace
