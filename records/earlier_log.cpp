// The earlier installation: where its log lies, and which of its files it recorded.
#include "records/earlier_log.h"

#include <windows.h>

#include <algorithm>
#include <boost/filesystem/path.hpp>

#include "app/product.h"
#include "records/uninstall_log.h"
#include "support/paths.h"
#include "support/registry.h"

namespace {

// The log beside the file at path; none for an empty path or one without a folder.
std::wstring LogBeside(const std::wstring& path) {
    const boost::filesystem::path folder = boost::filesystem::path(path).parent_path();
    if (folder.empty()) return {};
    return (folder / L"Uninstall.ulog").wstring();
}

std::wstring LogOfUninstallString() {
    const std::wstring key =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + product_key_name(productId);
    const cv::reg_key uninstall = cv::reg_open_key(HKEY_LOCAL_MACHINE, key.c_str());
    std::wstring uninstaller;
    if (!uninstall || !cv::reg_read_string(uninstall.get(), L"UninstallString", uninstaller)) return {};
    return LogBeside(uninstaller);
}

std::wstring LogOfThisProgram() {
    std::wstring module(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size()));
        if (length == 0) return {};
        if (length < module.size()) {
            module.resize(length);
            return LogBeside(module);
        }
        module.resize(module.size() * 2);
    }
}

std::wstring LogOfInstalledProgram() { return LogBeside(InstalledProgramPath()); }

}  // namespace

std::wstring FindEarlierLog() {
    for (const auto place : {&LogOfUninstallString, &LogOfThisProgram, &LogOfInstalledProgram}) {
        const std::wstring candidate = place();
        if (!candidate.empty() && cv::path_exists(candidate)) return candidate;
    }
    return {};
}

bool CUninstallLog::IsEarlierFile(const std::wstring& path) const {
    return std::any_of(earlierEntries.begin(), earlierEntries.end(), [&](const UninstallLogEntry& e) {
        return e.kind == EntryKind::File && e.flag && e.path == path;
    });
}
