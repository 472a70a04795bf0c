// The progress page on its template: separator lines measured in the log's font, the summary
// of the install context, initialization, texts, layout, and a screenshot of the page.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/install_app.h"
#include "app/language.h"
#include "framework/gdi.h"
#include "resources/dialog_ids.h"
#include "tests/common/test_environment.h"
#include "tests/common/window_screenshot.h"
#include "wizard/dlg_install.h"

namespace {

// The wizard frame's template as the page's parent, with the page where the frame puts it.
class ProgressPage : public ::testing::Test {
protected:
    void SetUp() override {
        SetLanguage(English);
        app.installDone = 0;
        app.installFolder = L"C:\\Apps\\Veltrano";
        app.startMenuFolder = L"C:\\Menu\\Veltrano";
        app.createMenuShortcut = 0;
        app.createDesktopShortcut = 0;
        ASSERT_TRUE(frame.Create(nullptr));
        ASSERT_TRUE(page.Create(frame.m_hWnd));
        RECT background = frame.GetChildRect(frame.GetDlgItem(IDC_LOGO_BACKGROUND));
        ::SetWindowPos(page.m_hWnd, nullptr, background.right, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        page.ShowWindow(SW_SHOW);
    }

    // Widths in the page's font, measured here on their own.
    int Width(const std::wstring& text) const {
        CClientDC dc(page.m_log.m_hWnd);
        CSelectedObject font(dc.get(), page.GetFont());
        return dc.TextWidth(text);
    }
    int UsableWidth() const {
        const CEdit::Margins margins = page.m_log.GetMargins();
        return page.m_log.GetClientRect().right - margins.left - 2 - margins.right;
    }
    std::vector<std::wstring> LogLines() const {
        std::vector<std::wstring> lines;
        const std::wstring text = page.m_log.GetWindowText();
        size_t start = 0;
        for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        if (start < text.size()) lines.push_back(text.substr(start));
        return lines;
    }
    std::wstring Separator(const std::wstring& title) {
        page.m_log.SetWindowText(L"");
        page.AppendLog(title, true);
        const std::wstring text = page.m_log.GetWindowText();
        EXPECT_GE(text.size(), 2u);
        EXPECT_EQ(text.substr(text.size() - 2), L"\r\n");
        return text.substr(0, text.size() - 2);
    }

    CInstallApp app;
    CDialog frame{IDD_INSTALL};
    CDlgInstall page;
};

TEST_F(ProgressPage, AnEmptySeparatorFillsTheUsableWidthWithHyphens) {
    const std::wstring line = Separator(L"");
    const int hyphen = Width(L"-");
    ASSERT_GT(hyphen, 0);
    EXPECT_EQ(line, std::wstring(static_cast<size_t>(UsableWidth() / hyphen), L'-'));
    EXPECT_LE(Width(line), UsableWidth());
    EXPECT_GT(Width(line + L"-"), UsableWidth()) << "one more hyphen would not fit";
    EXPECT_EQ(Separator(L""), line) << "an empty text is a separator even without the flag";
    page.m_log.SetWindowText(L"");
    page.AppendLog(L"", false);
    EXPECT_EQ(page.m_log.GetWindowText(), line + L"\r\n");
}

TEST_F(ProgressPage, TheTitleIsCentredWithTheOddHyphenOnTheRight) {
    const std::wstring title = L"Installation Options";
    const int hyphen = Width(L"-");
    bool sawOdd = false;
    bool sawEven = false;
    // Widening the log a pixel at a time gives both an even and an odd number of hyphens.
    for (int step = 0; step <= 2 * hyphen; ++step) {
        SCOPED_TRACE(step);
        const std::wstring line = Separator(title);
        const size_t at = line.find(L" " + title + L" ");
        ASSERT_NE(at, std::wstring::npos);
        const size_t left = at;
        const size_t right = line.size() - at - title.size() - 2;
        EXPECT_EQ(line.substr(0, left), std::wstring(left, L'-'));
        EXPECT_EQ(line.substr(line.size() - right), std::wstring(right, L'-'));
        const int count = (UsableWidth() - Width(L" " + title + L" ")) / hyphen;
        EXPECT_EQ(static_cast<int>(left + right), count);
        EXPECT_EQ(left, static_cast<size_t>(count / 2));
        EXPECT_EQ(right, static_cast<size_t>((count + 1) / 2));
        (count % 2 ? sawOdd : sawEven) = true;
        page.Layout(1, 0);
    }
    EXPECT_TRUE(sawOdd);
    EXPECT_TRUE(sawEven);
}

TEST_F(ProgressPage, ATitleWiderThanTheLogStandsAloneWithItsTwoBlanks) {
    std::wstring title;
    while (Width(L" " + title + L" ") <= UsableWidth() + Width(L"-")) title += L"Installation Options ";
    title.pop_back();
    EXPECT_EQ(Separator(title), L" " + title + L" ");
}

TEST_F(ProgressPage, InitializationSetsTheRangeAndHidesTheBar) {
    const PBRANGE range = page.m_progress.GetRange();
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 100);
    EXPECT_FALSE(::IsWindowVisible(page.GetDlgItem(IDC_PROGRESS)));
    EXPECT_EQ(page.m_log.m_hWnd, page.GetDlgItem(IDC_LOG));
    EXPECT_EQ(page.m_progress.m_hWnd, page.GetDlgItem(IDC_PROGRESS));
}

TEST_F(ProgressPage, TheSummaryListsProductOptionsAndFolder) {
    struct Case {
        const wchar_t* folder;
        const wchar_t* menu;
        bool menuShortcut;
        bool desktopShortcut;
        std::vector<std::wstring> lines;  // without the separator
    };
    const Case cases[] = {
        {L"C:\\Apps\\Veltrano", L"C:\\Menu", false, false,
         {L"'Veltrano 7.04d' Installation.", L"Installation Folder: C:\\Apps\\Veltrano."}},
        {L"C:\\Program Files\\Corvenna\\Veltrano 7", L"C:\\Menu", false, false,
         {L"'Veltrano 7.04d' Installation.", L"Installation Folder: \"C:\\Program Files\\Corvenna\\Veltrano 7\"."}},
        {L"D:\\V", L"C:\\ProgramData\\Start Menu\\Programs\\Corvenna\\Veltrano 7", true, true,
         {L"'Veltrano 7.04d' Installation.", L"Installation Folder: D:\\V.",
          L"Creating a Shortcut in the Start Menu (Folder \"C:\\ProgramData\\Start Menu\\Programs\\Corvenna\\Veltrano "
          L"7\").",
          L"Creating a Shortcut on the Desktop."}},
        {L"D:\\V", L"C:\\Menu\\Veltrano", false, true,
         {L"'Veltrano 7.04d' Installation.", L"Installation Folder: D:\\V.", L"Creating a Shortcut on the Desktop."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        app.installFolder = c.folder;
        app.startMenuFolder = c.menu;
        app.createMenuShortcut = c.menuShortcut;
        app.createDesktopShortcut = c.desktopShortcut;
        ASSERT_TRUE(page.UpdateData(false));
        std::vector<std::wstring> lines = LogLines();
        ASSERT_EQ(lines.size(), c.lines.size() + 1);
        EXPECT_NE(lines[1].find(L"- Installation Options -"), std::wstring::npos) << lines[1];
        lines.erase(lines.begin() + 1);
        EXPECT_EQ(lines, c.lines);
    }
}

TEST_F(ProgressPage, AFolderWithBlanksTooLongForPathQuoteSpacesIsStillQuoted) {
    const std::wstring folder = L"C:\\Long Folder\\" + std::wstring(260 - 15, L'v');
    ASSERT_EQ(folder.size(), 260u);
    app.installFolder = folder;
    ASSERT_TRUE(page.UpdateData(false));
    const std::vector<std::wstring> lines = LogLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2], L"Installation Folder: \"" + folder + L"\".");
}

TEST_F(ProgressPage, ALoadAfterTheFolderChangedRebuildsTheSummary) {
    ASSERT_TRUE(page.UpdateData(false));
    app.installFolder = L"E:\\Elsewhere";
    ASSERT_TRUE(page.UpdateData(false));
    const std::vector<std::wstring> lines = LogLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2], L"Installation Folder: E:\\Elsewhere.");
    ASSERT_TRUE(page.UpdateData(true)) << "storing never refuses";
    EXPECT_EQ(LogLines(), lines) << "storing leaves the log alone";
}

TEST_F(ProgressPage, OnceInstalledTheLogIsNeverRewritten) {
    ASSERT_TRUE(page.UpdateData(false));
    page.AppendLog(L"Copying files... OK\r\n", false);
    const std::wstring log = page.m_log.GetWindowText();
    app.installDone = 1;
    app.installFolder = L"E:\\Elsewhere";
    ASSERT_TRUE(page.UpdateData(false));
    EXPECT_EQ(page.m_log.GetWindowText(), log);
}

TEST_F(ProgressPage, TheSummaryIsScrolledBackToItsFirstLine) {
    page.Layout(0, -page.m_log.GetClientRect().bottom / 2);
    app.createMenuShortcut = 1;
    app.createDesktopShortcut = 1;
    ASSERT_TRUE(page.UpdateData(false));
    ASSERT_EQ(page.m_log.GetLineCount(), 6);
    EXPECT_EQ(page.m_log.GetFirstVisibleLine(), 0);
    page.AppendLog(L"more\r\n", false);
    EXPECT_GT(page.m_log.GetFirstVisibleLine(), 0) << "appending follows the end of a short log";
}

TEST_F(ProgressPage, TextsNameTheInstallButton) {
    page.ApplyTexts();
    EXPECT_EQ(page.GetDlgItemText(IDC_STATUS), L"Click on 'Install' to start Installation.");
}

TEST_F(ProgressPage, LayoutGivesTheExtraSpaceToTheLog) {
    const RECT log = page.GetChildRect(page.GetDlgItem(IDC_LOG));
    const RECT bar = page.GetChildRect(page.GetDlgItem(IDC_PROGRESS));
    const RECT status = page.GetChildRect(page.GetDlgItem(IDC_STATUS));
    page.Layout(30, 12);
    const RECT log2 = page.GetChildRect(page.GetDlgItem(IDC_LOG));
    const RECT bar2 = page.GetChildRect(page.GetDlgItem(IDC_PROGRESS));
    const RECT status2 = page.GetChildRect(page.GetDlgItem(IDC_STATUS));
    EXPECT_EQ(log2.left, log.left);
    EXPECT_EQ(log2.top, log.top);
    EXPECT_EQ(log2.right, log.right + 30);
    EXPECT_EQ(log2.bottom, log.bottom + 12);
    for (const auto& [before, after] : {std::pair{bar, bar2}, std::pair{status, status2}}) {
        EXPECT_EQ(after.left, before.left);
        EXPECT_EQ(after.top, before.top + 12);
        EXPECT_EQ(after.right, before.right + 30);
        EXPECT_EQ(after.bottom, before.bottom + 12);
    }
}

TEST_F(ProgressPage, Screenshot) {
    frame.SetWindowText(InstallerTitle(true));
    frame.SetDlgItemText(IDOK, L"Install");
    frame.SetDlgItemText(IDC_BACK, L"<  Back");
    frame.SetDlgItemText(IDCANCEL, L"Cancel");
    // The frame grows by the page's overhang, as the wizard does it.
    const RECT pageRect = frame.GetChildRect(page.m_hWnd);
    const RECT client = frame.GetClientRect();
    RECT window{};
    ::GetWindowRect(frame.m_hWnd, &window);
    const int grow = pageRect.right > client.right ? pageRect.right - client.right : 0;
    ::SetWindowPos(frame.m_hWnd, nullptr, 100, 100, window.right - window.left + grow, window.bottom - window.top,
                   SWP_NOZORDER);
    for (int id : {IDOK, IDC_BACK, IDCANCEL}) frame.AdjustChild(id, grow, 0, grow, 0);
    frame.AdjustChild(IDC_SEPARATOR, 0, 0, grow, 0);
    app.createMenuShortcut = 1;
    app.createDesktopShortcut = 1;
    app.installFolder = L"C:\\Program Files\\Corvenna\\Veltrano 7";
    app.startMenuFolder = L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Corvenna\\Veltrano 7";
    page.UpdateData(false);
    page.ApplyTexts();
    page.m_progress.SetPos(40);
    page.m_progress.ShowWindow(SW_SHOW);
    frame.ShowWindow(SW_SHOW);
    const std::wstring path = test::ProgramFolder() + L"progress_page.png";
    ASSERT_TRUE(test::SaveWindowPng(frame.m_hWnd, path));
    std::wcout << L"screenshot: " << path << std::endl;
}

}  // namespace
