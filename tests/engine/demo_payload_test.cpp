// The real demo payload, embedded as resource 260/134 like in the installer: the packer and
// the reader agree on every file, and the programs it carries do what the installer expects.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <boost/filesystem.hpp>
#include <boost/filesystem/fstream.hpp>

#include <map>

#include "engine/extract_payload.h"
#include "engine/resource_stream.h"
#include "support/handles.h"
#include "support/version_info.h"
#include "tests/engine/archive_builder.h"

namespace {

namespace fs = boost::filesystem;

struct ManifestLine {
    std::wstring source;  // as Wine sees the build machine's file
    std::wstring destination;
    std::string kind;
};

std::wstring Widen(const std::string& text) {
    std::wstring wide(text.size() * 2 + 1, L'\0');
    wide.resize(::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), wide.data(),
                                      static_cast<int>(wide.size())));
    return wide;
}

std::wstring UnixToWine(const std::string& path) {
    std::wstring wine = L"Z:" + Widen(path);
    for (auto& c : wine)
        if (c == L'/') c = L'\\';
    return wine;
}

std::vector<ManifestLine> DemoManifest() {
    std::vector<ManifestLine> lines;
    std::string manifests = DEMO_MANIFESTS;
    for (std::size_t start = 0; start < manifests.size();) {
        const std::size_t end = std::min(manifests.find(';', start), manifests.size());
        fs::ifstream in(fs::path(UnixToWine(manifests.substr(start, end - start))));
        for (std::string line; std::getline(in, line);) {
            if (line.empty() || line[0] == '#') continue;
            const auto first = line.find('\t'), second = line.find('\t', first + 1);
            lines.push_back({UnixToWine(line.substr(0, first)), Widen(line.substr(first + 1, second - first - 1)),
                             line.substr(second + 1)});
        }
        start = end + 1;
    }
    return lines;
}

std::wstring Shell(int csidl) {
    wchar_t path[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::wstring Temporary() {
    wchar_t path[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, path);
    return std::wstring(path) + L"corvenna_{demo-payload-test}";
}

const std::wstring Install = L"C:\\Program Files\\Corvenna\\Veltrano 7";

// Where a manifest line's file must land, worked out independently of the reader.
std::wstring ExpectedTarget(const ManifestLine& line) {
    const std::map<std::wstring, std::wstring> bases = {
        {L"<InstallPath>", Install},
        {L"<SamplePath>", Shell(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\Veltrano Examples"},
        {L"<CommonData>", Shell(CSIDL_COMMON_APPDATA)},
        {L"<UserData>", Shell(CSIDL_APPDATA)},
        {L"<Temporary>", Temporary()},
    };
    const auto token_end = line.destination.find(L'>') + 1;
    return bases.at(line.destination.substr(0, token_end)) + line.destination.substr(token_end) + L"\\" +
           fs::path(line.source).filename().wstring();
}

class DemoPayload : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        recorder_ = new test::Recorder;
        cv::imemstream payload = cv::open_resource_stream(260, 134);
        ASSERT_TRUE(payload.good());
        extracted_ = cv::extract_payload(payload, Install, L"Veltrano Examples", Temporary(), recorder_->Callback());
    }
    static void TearDownTestSuite() {
        delete recorder_;
        boost::system::error_code ignored;
        for (const std::wstring& folder : {Install, Temporary(), Shell(CSIDL_COMMON_APPDATA) + L"\\Corvenna",
                                           Shell(CSIDL_APPDATA) + L"\\Corvenna",
                                           Shell(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\Veltrano Examples"})
            fs::remove_all(folder, ignored);
    }

    static std::vector<std::wstring> Completed() {
        std::vector<std::wstring> paths;
        for (const auto& event : recorder_->events())
            if (event.index == test::EntryEnd) paths.push_back(event.path);
        return paths;
    }

    static inline test::Recorder* recorder_ = nullptr;
    static inline bool extracted_ = false;
};

TEST_F(DemoPayload, EveryFileOfTheManifestIsExtractedWhereItsDestinationSays) {
    ASSERT_TRUE(extracted_);
    const auto manifest = DemoManifest();
    const auto completed = Completed();
    ASSERT_EQ(manifest.size(), 71u);
    ASSERT_EQ(completed.size(), manifest.size());
    std::map<std::string, int> kinds;
    std::uint64_t bytes = 0;
    for (std::size_t i = 0; i < manifest.size(); ++i) {
        EXPECT_TRUE(::lstrcmpiW(completed[i].c_str(), ExpectedTarget(manifest[i]).c_str()) == 0)
            << i << ": " << fs::path(completed[i]).string() << " / " << fs::path(ExpectedTarget(manifest[i])).string();
        const std::string original = test::ReadFile(manifest[i].source);
        EXPECT_EQ(test::ReadFile(completed[i]), original) << fs::path(completed[i]).string();
        bytes += original.size();
        ++kinds[manifest[i].kind];
    }
    EXPECT_EQ(kinds, (std::map<std::string, int>{{"language_library", 13}, {"program", 1}, {"uninstaller", 1},
                                                 {"user_data", 22}, {"sample", 28}, {"temporary", 6}}));
    const test::Event& finished = recorder_->events().back();
    ASSERT_EQ(finished.index, test::Finished);
    EXPECT_GT(finished.second, bytes);
    EXPECT_LT(finished.second - bytes, 20000u);  // the table of contents
    EXPECT_NEAR(static_cast<double>(finished.second), 31.7e6, 0.4e6);
}

TEST_F(DemoPayload, ProductProgramCarriesItsVersionBlock) {
    const cv::version_info version = cv::version_info::from_file((Install + L"\\Veltrano.exe").c_str());
    EXPECT_EQ(version.file_version(), 0x0007000400040001ull);
    EXPECT_EQ(version.product_name(), L"Veltrano");
    EXPECT_EQ(version.product_version(), L"7.04d");
    ASSERT_FALSE(version.translation_list().empty());
    EXPECT_EQ(version.translation_list().front(), L"040c04b0");
}

DWORD RunToEnd(const std::wstring& commandLine) {
    std::wstring buffer = commandLine;
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return ::GetLastError();
    cv::unique_handle processHandle(process.hProcess), thread(process.hThread);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    return code;
}

std::wstring ClassesRootValue(const wchar_t* key) {
    wchar_t value[MAX_PATH] = {};
    LONG size = sizeof value;
    return ::RegQueryValueW(HKEY_CLASSES_ROOT, key, value, &size) == ERROR_SUCCESS ? value : L"";
}

TEST_F(DemoPayload, ProductRegistersItsFileTypeAndEndsWithMinusTen) {
    const std::wstring program = L"\"" + Install + L"\\Veltrano.exe\"";
    EXPECT_EQ(static_cast<int>(RunToEnd(program + L" /Register /Background")), -10);
    EXPECT_EQ(ClassesRootValue(L".vtp"), L"Veltrano.Project.7");
    EXPECT_EQ(ClassesRootValue(L"Veltrano.Project.7\\shell\\open\\command"), program + L" \"%1\"");
    EXPECT_EQ(static_cast<int>(RunToEnd(program + L" /Register /Background /update=0007000300020001")), -10);
}

// The count that running products hold in the semaphore the installer checks; -1 without it.
LONG RunningCount() {
    cv::unique_handle semaphore(::OpenSemaphoreW(SEMAPHORE_ALL_ACCESS, FALSE,
                                                 L"Global\\Veltrano7.{a3526b56-ca7c-4e16-8a26-da7758a378fd}"));
    LONG before = -1;
    if (semaphore && ::ReleaseSemaphore(semaphore.get(), 1, &before)) ::WaitForSingleObject(semaphore.get(), 0);
    return before;
}

TEST_F(DemoPayload, ProductHoldsACountInTheRunningInstanceSemaphoreWhileItRuns) {
    std::wstring commandLine = L"\"" + Install + L"\\Veltrano.exe\"";
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                 &process));
    cv::unique_handle processHandle(process.hProcess), thread(process.hThread);
    // It shows its window and waits for the user.
    HWND window = nullptr;
    for (int i = 0; i < 100 && !window; ++i) {
        ::Sleep(100);
        window = ::FindWindowW(nullptr, L"Veltrano");
    }
    ASSERT_TRUE(window);
    EXPECT_EQ(RunningCount(), 1);
    ::PostMessageW(window, WM_COMMAND, IDOK, 0);
    ASSERT_EQ(::WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0);
    const LONG after = RunningCount();
    EXPECT_TRUE(after == 0 || after == -1) << after;  // -1: the last holder closed it
}

TEST_F(DemoPayload, LanguageLibrariesHoldOnlyResources) {
    for (const wchar_t* tag : {L"en", L"de", L"zh", L"hu"}) {
        const std::wstring path = Install + L"\\Lang\\Veltrano." + tag + L".dll";
        cv::unique_module library(::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        ASSERT_TRUE(library) << tag;
        wchar_t text[64] = {};
        EXPECT_GT(::LoadStringW(library.get(), 1, text, 64), 0) << tag;
    }
}

int progressCalls = 0;
DWORD WINAPI CountProgress(DWORD reason, DWORD, LPSTR, LPSTR, void*) {
    if (reason == 18) ++progressCalls;
    return IDOK;
}

TEST_F(DemoPayload, DirectXSetupStandInReportsNineCAndInstallsSilently) {
    const std::wstring folder = Temporary();
    cv::unique_module library(::LoadLibraryExW((folder + L"\\DSetup.dll").c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    ASSERT_TRUE(library);
    using GetVersion = INT(WINAPI*)(DWORD*, DWORD*);
    using SetCallback = INT(WINAPI*)(decltype(&CountProgress));
    using Setup = INT(WINAPI*)(HWND, LPWSTR, DWORD);
    auto getVersion = reinterpret_cast<GetVersion>(reinterpret_cast<void*>(::GetProcAddress(library.get(), "DirectXSetupGetVersion")));
    auto setCallback = reinterpret_cast<SetCallback>(reinterpret_cast<void*>(::GetProcAddress(library.get(), "DirectXSetupSetCallback")));
    auto setup = reinterpret_cast<Setup>(reinterpret_cast<void*>(::GetProcAddress(library.get(), "DirectXSetupW")));
    ASSERT_TRUE(getVersion && setCallback && setup);
    DWORD version = 0, revision = 0;
    EXPECT_NE(getVersion(&version, &revision), 0);
    EXPECT_EQ(version, 0x40009u);
    EXPECT_EQ(revision, 0x388u);
    setCallback(&CountProgress);
    std::wstring source = folder;
    EXPECT_EQ(setup(nullptr, source.data(), 0x10018), 0);
    EXPECT_EQ(progressCalls, 5);
}

}  // namespace
