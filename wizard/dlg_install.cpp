// The wizard's progress page: summary, separator lines, texts and layout of its controls.
#include "wizard/dlg_install.h"

#include <shlwapi.h>

#include <algorithm>
#include <vector>

#include "app/install_app.h"
#include "app/language.h"
#include "app/message_ids.h"
#include "app/product.h"
#include "framework/data_exchange.h"
#include "framework/gdi.h"
#include "framework/redraw_suspended.h"
#include "resources/dialog_ids.h"
#include "wizard/separator_line.h"

namespace {

const wchar_t* const LineEnd = L"\r\n";

// The folder as PathQuoteSpacesW shows it: in double quotation marks when it has blanks.
std::wstring QuotedFolder(const std::wstring& folder) {
    std::vector<wchar_t> buffer(std::max<size_t>(folder.size() + 3, MAX_PATH), L'\0');
    std::copy(folder.begin(), folder.end(), buffer.begin());
    ::PathQuoteSpacesW(buffer.data());
    const std::wstring quoted = buffer.data();
    // PathQuoteSpacesW gives up on a path near MAX_PATH; the summary still shows it quoted.
    if (quoted == folder && folder.find(L' ') != std::wstring::npos && folder.front() != L'"')
        return L"\"" + folder + L"\"";
    return quoted;
}

}  // namespace

CDlgInstall::CDlgInstall() : CDialog(IDD_PROGRESS) {}

CDlgInstall::~CDlgInstall() = default;

BOOL CDlgInstall::OnInitDialog() {
    CDialog::OnInitDialog();
    m_progress.SetRange32(0, 100);
    m_progress.ShowWindow(SW_HIDE);
    return TRUE;
}

void CDlgInstall::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_LOG, m_log);
    DDX_Control(dx, IDC_PROGRESS, m_progress);
    if (!dx->m_bSaveAndValidate && !InstallApp().installDone) WriteSummary();
}

void CDlgInstall::WriteSummary() {
    const CInstallApp& app = InstallApp();
    m_log.SetWindowText(L"");
    AppendLog(FormatLocalized(msg::Installation, ProductTitle(false)) + LineEnd, false);
    AppendLog(LoadLocalizedString(msg::Options), true);
    AppendLog(FormatLocalized(msg::OptionFolder, QuotedFolder(app.installFolder)) + LineEnd, false);
    if (app.createMenuShortcut)
        AppendLog(FormatLocalized(msg::OptionMenuShortcut, QuotedFolder(app.startMenuFolder)) + LineEnd, false);
    if (app.createDesktopShortcut) AppendLog(LoadLocalizedString(msg::OptionDesktopShortcut) + LineEnd, false);
    // Back to the first line; stop should the control refuse to scroll.
    for (int first = m_log.GetFirstVisibleLine(); first != 0;) {
        m_log.LineScroll(-1);
        const int now = m_log.GetFirstVisibleLine();
        if (now == first) break;
        first = now;
    }
}

void CDlgInstall::ApplyTexts() {
    SetDlgItemText(IDC_STATUS, FormatLocalized(msg::ClickToInstall, LoadLocalizedString(msg::Install)));
}

void CDlgInstall::Layout(int extraWidth, int extraHeight) {
    AdjustChild(IDC_LOG, 0, 0, extraWidth, extraHeight);
    AdjustChild(IDC_PROGRESS, 0, extraHeight, extraWidth, extraHeight);
    AdjustChild(IDC_STATUS, 0, extraHeight, extraWidth, extraHeight);
}

void CDlgInstall::AppendLog(std::wstring text, bool separator) {
    if (text.empty() || separator) {
        const CEdit::Margins margins = m_log.GetMargins();
        const int width = m_log.GetClientRect().right - margins.left - 2 - margins.right;
        CClientDC dc(m_log.m_hWnd);
        CSelectedObject font(dc.get(), GetFont());
        text = SeparatorLine(text, width, [&dc](const std::wstring& part) { return dc.TextWidth(part); }) + LineEnd;
    }
    // Painted once, where the install sequence lets the window process its messages: each of
    // the four steps would repaint the log on its own.
    const CRedrawSuspended quiet(m_log);
    m_log.SetSel(0x7FFFFFFF, -1);
    m_log.ScrollCaret();
    m_log.ReplaceSel(text, false);
    m_log.LineScroll(1);
}
