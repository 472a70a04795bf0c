// The installer's answers to the payload reader: the rules per entry kind, the verification
// of the payload, and the progress page fed during the extraction.
#include "engine/extraction_handlers.h"

#include <shlwapi.h>

#include <exception>
#include <type_traits>
#include <vector>

#include "app/install_app.h"
#include "app/language.h"
#include "app/message_ids.h"
#include "engine/bzip2_pump.h"
#include "engine/compress_error.h"
#include "engine/failure_text.h"
#include "engine/pump_messages.h"
#include "engine/temp_files.h"
#include "resources/dialog_ids.h"
#include "support/security.h"
#include "wizard/dlg_install.h"

namespace {

using result = cv::notification::result;

// Read, write and delete for every user of the machine, but no execute.
constexpr DWORD UserDataAccess = 0x13019F;
const wchar_t* const LineEnd = L"\r\n";

CInstallApp& App() { return InstallApp(); }

// The reader reports a failed grant (a thrown HRESULT) as an extraction failure.
void GrantUserData(const std::wstring& path) { cv::grant_users_access(path.c_str(), UserDataAccess, 0); }

std::wstring Quoted(const std::wstring& path) {
    std::vector<wchar_t> buffer(MAX_PATH, L'\0');
    if (path.size() + 2 >= MAX_PATH) return path;
    path.copy(buffer.data(), path.size());
    ::PathQuoteSpacesW(buffer.data());
    return buffer.data();
}

}  // namespace

result CExtractionHandlers::operator()(const cv::notification& event) {
    const result answer = std::visit(
        [this](const auto& value) -> result {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, cv::notification::started>) return OnStarted();
            if constexpr (std::is_same_v<T, cv::notification::entry_begin>) return OnEntryBegin(value.entry);
            if constexpr (std::is_same_v<T, cv::notification::entry_end>) return OnEntryEnd(value.entry);
            if constexpr (std::is_same_v<T, cv::notification::progress>) return OnProgress(value.processed, value.total);
            if constexpr (std::is_same_v<T, cv::notification::finished>) return OnFinished(value.read, value.total);
            if constexpr (std::is_same_v<T, cv::notification::error>) return OnError(value.code, value.path);
        },
        event.value);
    PumpMessages();
    return answer;
}

result CExtractionHandlers::OnStarted() {
    const std::wstring text = LoadLocalizedString(msg::Preparing);
    page_.SetDlgItemText(IDC_STATUS, text);
    page_.AppendLog(text, false);

    // Decompress everything once before the first file is touched: a damaged payload must
    // fail here, not half way through the installation.
    bool good = false;
    try {
        cv::pump_bzip2(payload_, [](const char*, std::size_t size) { return size; });
        payload_.clear(payload_.rdstate() & ~(std::ios::eofbit | std::ios::failbit));
        good = payload_.good() && payload_.peek() == std::char_traits<char>::eof();
    } catch (const std::exception&) {
        good = false;
    }
    if (!good) cv::throw_compress(cv::compress_errc::unknown);

    payload_.clear();
    payload_.seekg(0);
    page_.AppendLog(LoadLocalizedString(msg::StepOk) + LineEnd, false);
    return result::proceed;
}

result CExtractionHandlers::OnEntryBegin(const cv::archive_entry& entry) {
    CInstallApp& app = App();
    const std::wstring& destination = entry.destination;
    bool copyBackup = false;
    switch (entry.kind) {
    case cv::program:
        page_.m_programPath = destination;
        break;
    case cv::uninstaller:
        page_.m_uninstallerPath = destination;
        break;
    case cv::user_data:
        copyBackup = true;
        if (app.previousState != NoneInstalled && app.uninstallLog.IsEarlierFile(destination)) {
            // A file the user deleted since stays deleted; there is nothing to grant on.
            if (::PathFileExistsW(destination.c_str())) GrantUserData(destination);
            return result::skip;
        }
        if (::PathFileExistsW(destination.c_str())) {
            // A user's file that no earlier installation recorded: keep it, and record it kept.
            app.uninstallLog.AddFile(destination, cv::user_data, true);
            app.uninstallLog.CompleteLast(true);
            GrantUserData(destination);
            return result::skip;
        }
        break;
    case cv::sample:
        if (app.previousState == OlderVersion) return result::skip;
        break;
    case cv::temporary:
        if (TempFiles* files = CurrentTempFiles()) files->files.push_back(destination);
        break;
    default:
        break;
    }

    const std::wstring text = FormatLocalized(msg::CopyingFile, Quoted(destination));
    if (entry.kind != cv::temporary) {
        app.uninstallLog.AddFile(destination, static_cast<std::int32_t>(entry.kind), copyBackup);
    }
    ::PathSetDlgItemPathW(page_.m_hWnd, IDC_STATUS, text.c_str());
    page_.AppendLog(text, false);
    return result::proceed;
}

result CExtractionHandlers::OnEntryEnd(const cv::archive_entry& entry) {
    if (entry.kind == cv::user_data) GrantUserData(entry.destination);
    if (entry.kind != cv::temporary) App().uninstallLog.CompleteLast(true);
    page_.AppendLog(LoadLocalizedString(msg::StepOk) + LineEnd, false);
    return result::proceed;
}

result CExtractionHandlers::OnProgress(std::uint64_t done, std::uint64_t total) {
    page_.m_progress.SetPos(ProgressPercent(done, total));
    return result::proceed;
}

result CExtractionHandlers::OnFinished(std::uint64_t, std::uint64_t) { return result::proceed; }

result CExtractionHandlers::OnError(const std::error_code& code, const std::wstring&) {
    CUninstallLog& log = App().uninstallLog;
    if (log.pending) log.CompleteLast(false);
    page_.AppendLog(LoadLocalizedString(msg::StepFailed) + LineEnd, false);
    page_.SetDlgItemText(IDC_STATUS, FormatLocalized(msg::Failed, ExtractionErrorText(code)));
    return result::abort;
}
