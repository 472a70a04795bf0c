// Installations over an earlier one: an update from 7.3.2.1 as an older installer left it,
// and a reinstallation of the same version.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>

#include "support/handles.h"
#include "tests/common/test_environment.h"
#include "tests/e2e/host_run.h"
#include "tests/e2e/installation_checks.h"

namespace {

using namespace e2e;

const wchar_t* const UninstallKeyText = L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrano 7";

bool HasStepStartingWith(const HostResult& run, const std::wstring& start) {
    const std::vector<std::wstring> steps = run.Steps();
    return std::any_of(steps.begin(), steps.end(), [&](const std::wstring& step) { return step.rfind(start, 0) == 0; });
}

void SetString(HKEY key, const wchar_t* name, const std::wstring& text) {
    ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

std::wstring UserDataFolder() { return ShellFolder(CSIDL_APPDATA) + L"\\Corvenna\\Veltrano 7"; }

size_t Count(const std::wstring& text, const std::wstring& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST(EarlierInstallation, UpdateFromAnOlderVersion) {
    const std::wstring folder = DefaultInstallFolder();
    const std::wstring menu = DefaultMenuFolder();
    const std::wstring desktop = CommonDesktop();
    const std::wstring program = folder + L"\\Veltrano.exe";
    const std::wstring uninstaller = folder + L"\\Uninstall.exe";
    const std::wstring userData = UserDataFolder();
    const std::wstring settings = userData + L"\\Settings.ini";
    const std::wstring userLibrary = userData + L"\\UserLibrary.vlb";
    const std::wstring oldMenuLink = menu + L"\\Veltrano 7.03.lnk";
    const std::wstring oldDesktopLink = desktop + L"\\Veltrano 7.03.lnk";

    // What the installer of 7.03 left: its programs, a settings file the user changed (the
    // user library it placed has been deleted since), its links, its keys and its log.
    for (const std::wstring& path : {folder, menu, userData})
        ASSERT_EQ(::SHCreateDirectoryExW(nullptr, path.c_str(), nullptr), ERROR_SUCCESS) << path;
    ASSERT_TRUE(::CopyFileW(test::FixturePath(L"e2e_older_product.exe").c_str(), program.c_str(), FALSE));
    ::SetFileAttributesW(program.c_str(), FILE_ATTRIBUTE_READONLY);
    WriteBytes(uninstaller, "the uninstaller of 7.03");
    WriteBytes(settings, "[General]\r\nLanguage=fr\r\n");
    MakeLink(oldMenuLink, program);
    MakeLink(menu + L"\\Uninstall Veltrano.lnk", uninstaller);
    MakeLink(oldDesktopLink, program);
    {
        cv::unique_hkey key;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, UninstallKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                    key.put(), nullptr),
                  ERROR_SUCCESS);
        SetString(key.get(), L"DisplayName", L"Veltrano 7.03");
        SetString(key.get(), L"UninstallString", uninstaller);
        SetString(key.get(), L"InstallDate", L"20200101");
        cv::unique_hkey maker;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, MakerKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                    maker.put(), nullptr),
                  ERROR_SUCCESS);
        SetString(maker.get(), L"Veltrano 7 Path", program);
    }
    const std::wstring programsFolder = ShellFolder(CSIDL_COMMON_PROGRAMS) + L"\\Corvenna";
    ExpectedLog expected(folder, menu, L"Veltrano 7.03");
    const struct {
        int kind;
        int subtype;
        std::wstring path;
        bool kept;
    } earlier[] = {
        {0, -1, ShellFolder(CSIDL_PROGRAM_FILES) + L"\\Corvenna", true},
        {0, -1, folder, true},
        {1, 1, program, false},
        {1, 2, uninstaller, false},
        {0, -1, ShellFolder(CSIDL_APPDATA) + L"\\Corvenna", true},
        {0, -1, userData, true},
        {1, 3, settings, true},
        {1, 3, userLibrary, true},
        {0, -1, programsFolder, true},
        {0, -1, menu, true},
        {2, -1, oldMenuLink, false},
        {3, -1, menu + L"\\Uninstall Veltrano.lnk", false},
        {4, -1, oldDesktopLink, false},
        {7, -1, DirectXText, true},
        {5, -1, UninstallKeyText, false},
        {6, -1, L"HKEY_CLASSES_ROOT\\...", false},
    };
    std::wstring earlierLog = L"// Uninstall Log File v1\r\n// ############ WARNING: Do not delete or modify this file. ############\r\n"
                              L"// Install Veltrano 7.03\r\n// Install Path : " + folder + L"\r\n// Shortcut Path : " + menu +
                              L"\r\n// ----\r\n";
    for (size_t i = 0; i < std::size(earlier); ++i) {
        earlierLog += LogLine(i, earlier[i].kind, earlier[i].subtype, true, earlier[i].path);
        if (earlier[i].kept) expected.Earlier(earlier[i].kind, earlier[i].subtype, true, earlier[i].path);
    }
    WriteBytes(folder + L"\\Uninstall.ulog", "\xFF\xFE" + std::string(reinterpret_cast<const char*>(earlierLog.data()),
                                                                        earlierLog.size() * sizeof(wchar_t)));

    const std::vector<PayloadFile> files = ReadPayloadTable(DemoPayloadPath(), folder);
    for (const PayloadFile& file : files) {
        if (file.kind == cv::temporary || file.kind == cv::sample) continue;
        if (file.destination == settings || file.destination == userLibrary) continue;
        expected.File(file.destination, file.kind);
    }
    expected.Entry(2, -1, true, menu + L"\\Veltrano 7.04d.lnk");
    expected.Entry(3, -1, true, menu + L"\\Uninstall Veltrano.lnk");
    expected.Entry(4, -1, true, desktop + L"\\Veltrano 7.04d.lnk");
    expected.Entry(5, -1, true, UninstallKeyText);
    expected.Entry(6, -1, true, L"HKEY_CLASSES_ROOT\\...");

    const HostResult run = RunHost({L"/language", L"1"});
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_EQ(run.Status(), L"Click on 'Next' to continue.");
    EXPECT_FALSE(HasStepStartingWith(run, DirectXText)) << run.output;
    EXPECT_TRUE(HasStepStartingWith(run, L"Registry Data Writing...OK")) << run.output;

    // Samples are not written; the user's data stays as it is, deleted files stay deleted.
    for (const PayloadFile& file : files)
        if (file.kind == cv::sample) EXPECT_FALSE(::PathFileExistsW(file.destination.c_str())) << file.destination;
    EXPECT_EQ(ReadBytes(settings), "[General]\r\nLanguage=fr\r\n");
    EXPECT_FALSE(::PathFileExistsW(userLibrary.c_str()));
    // The new program replaced the old one.
    std::uint32_t crc = 0;
    ASSERT_TRUE(FileCrc(program, crc));
    for (const PayloadFile& file : files)
        if (file.kind == cv::program) EXPECT_EQ(crc, file.crc);

    // The earlier links were replaced.
    EXPECT_FALSE(::PathFileExistsW(oldMenuLink.c_str()));
    EXPECT_FALSE(::PathFileExistsW(oldDesktopLink.c_str()));
    EXPECT_TRUE(ReadLink(menu + L"\\Veltrano 7.04d.lnk"));
    EXPECT_TRUE(ReadLink(desktop + L"\\Veltrano 7.04d.lnk"));

    // The product was told which version it updates.
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, L"Veltrano.Project.7", L"RegistrationCommand"),
              L"\"" + program + L"\" /Register /Background /update=0007000300020001");
    // The earlier key was saved and rewritten: its own values stay.
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, UninstallKeyPath, L"DisplayName"), L"Veltrano 7.04d");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, UninstallKeyPath, L"InstallDate"), L"20200101");

    // The merged log: the earlier entries that still stand, then this installation's.
    EXPECT_EQ(ReadUtf16File(folder + L"\\Uninstall.ulog"), expected.Text());
}

TEST(EarlierInstallation, ReinstallationOfTheSameVersion) {
    const HostResult first = RunHost({L"/language", L"1"});
    ASSERT_EQ(first.exitCode, 0u) << first.output;
    const std::wstring settings = UserDataFolder() + L"\\Settings.ini";
    ::SetFileAttributesW(settings.c_str(), FILE_ATTRIBUTE_NORMAL);
    WriteBytes(settings, "changed by the user");

    const HostResult second = RunHost({L"/language", L"1"});
    ASSERT_EQ(second.exitCode, 0u) << second.output;
    EXPECT_TRUE(HasStepStartingWith(second, std::wstring(DirectXText) + L"OK")) << second.output;
    EXPECT_EQ(ReadBytes(settings), "changed by the user");

    const std::wstring log = ReadUtf16File(DefaultInstallFolder() + L"\\Uninstall.ulog").value_or(L"");
    EXPECT_NE(log.find(L"// Install Veltrano 7.04d -- Update (Veltrano 7.04d)\r\n"), std::wstring::npos) << log;
    EXPECT_EQ(Count(log, L":0103:1 -- " + settings + L"\r\n"), 1u) << log;
    EXPECT_EQ(Count(log, L":07ff:1 -- "), 1u) << log;
    // Every other file was replaced and recorded once.
    EXPECT_EQ(Count(log, L":0101:1 -- " + DefaultInstallFolder() + L"\\Veltrano.exe\r\n"), 1u) << log;
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, L"Veltrano.Project.7", L"RegistrationCommand"),
              L"\"" + DefaultInstallFolder() + L"\\Veltrano.exe\" /Register /Background");
}

}  // namespace
