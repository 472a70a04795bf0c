// The framework's dialogs: the modal loop driven from outside, the message table, the dialog
// keys, data exchange with validation, child dialogs, and the owner of the framework's box.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>
#include <string>

#include "framework/combo_box_ex.h"
#include "framework/data_exchange.h"
#include "framework/dialog.h"
#include "framework/message_box.h"
#include "framework/win_app.h"
#include "resources/dialog_ids.h"
#include "tests/common/dialog_driver.h"
#include "tests/framework/test_dialog_ids.h"

static bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

namespace {

const wchar_t* const TestAppName = L"Framework Test";

struct TestApp : CWinApp {
    TestApp() { SetAppName(TestAppName); }
    void DoEnableModeless(BOOL enable) override { modeless += enable ? L'+' : L'-'; }
    std::wstring modeless;  // one sign per call of the modal hook
} theTestApp;

class CExchangeDlg : public CDialog {
public:
    CExchangeDlg() : CDialog(IDD_EXCHANGE) {}
    const MessageMap* GetMessageMap() const override {
        static constexpr MessageEntry entries[] = {
            OnCommand<&CExchangeDlg::OnProbe>(IDC_PROBE),
            OnMessage<&CExchangeDlg::OnAsk>(WM_APP),
            OnMessage<&CExchangeDlg::OnFault>(WM_APP + 1),
        };
        static const MessageMap map{CDialog::GetMessageMap(), entries};
        return &map;
    }

    std::wstring text;
    int choice = -1;
    int flag = 0;
    int probes = 0;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        AfxGetApp()->m_hMainWnd = m_hWnd;
        return TRUE;
    }
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Text(dx, IDC_TEXT, text);
        DDV_MaxChars(dx, text, 260);
        DDX_Radio(dx, IDC_FIRST, choice);
        DDX_Check(dx, IDC_FLAG, flag);
    }

private:
    void OnProbe() { SetDlgItemText(IDC_ANSWER, L"probed " + std::to_wstring(++probes)); }
    LRESULT OnAsk(WPARAM wParam, LPARAM) { return static_cast<LRESULT>(wParam) * 2; }
    LRESULT OnFault(WPARAM, LPARAM) { throw std::runtime_error("handler failed"); }
};

INT_PTR RunModal(CExchangeDlg& dialog, const std::function<void(test::DialogDriver&, HWND)>& script) {
    struct ForgetMainWindow {
        ~ForgetMainWindow() { theTestApp.m_hMainWnd = nullptr; }
    } forget;
    INT_PTR result = 0;
    test::DialogDriver::Run([&] { result = dialog.DoModal(); },
                            [&](test::DialogDriver& driver) { script(driver, driver.WaitForDialog(L"Exchange")); });
    return result;
}

TEST(ModalDialog, RunsItsLoopAndEndsWithTheResultOfTheButton) {
    CExchangeDlg dialog;
    dialog.text = L"loaded";
    const INT_PTR result = RunModal(dialog, [](test::DialogDriver& driver, HWND window) {
        EXPECT_EQ(driver.Text(window, IDC_TEXT), L"loaded");
        driver.Press(window, IDC_PROBE);
        driver.Press(window, IDC_PROBE);
        driver.WaitForText(window, IDC_ANSWER, L"probed 2");
        EXPECT_EQ(::SendMessageW(window, WM_APP, 21, 0), 42);
        driver.SetText(window, IDC_TEXT, L"changed");
        driver.Press(window, IDCANCEL);
        driver.WaitUntilGone(window);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dialog.probes, 2);
    EXPECT_EQ(dialog.text, L"loaded");  // cancel stores nothing
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(ModalDialog, EnterInTheEditBoxIsTheOkCommandThroughThePreTranslation) {
    CExchangeDlg dialog;
    const INT_PTR result = RunModal(dialog, [](test::DialogDriver& driver, HWND window) {
        driver.SetText(window, IDC_TEXT, L"typed");
        ::SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(window, IDC_TEXT)), TRUE);
        ASSERT_EQ(driver.Focus(), ::GetDlgItem(window, IDC_TEXT));
        driver.PressKey(VK_TAB);
        for (int i = 0; i < 50 && driver.Focus() == ::GetDlgItem(window, IDC_TEXT); ++i) ::Sleep(20);
        EXPECT_NE(driver.Focus(), ::GetDlgItem(window, IDC_TEXT)) << "Tab moves the focus on";
        driver.PressKey(VK_RETURN);
        driver.WaitUntilGone(window);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.text, L"typed");
}

TEST(ModalDialog, AnExceptionOfAHandlerEndsTheLoopAndReachesTheCaller) {
    CExchangeDlg dialog;
    HWND seen = nullptr;
    EXPECT_THROW(RunModal(dialog,
                          [&](test::DialogDriver& driver, HWND window) {
                              seen = window;
                              ::PostMessageW(window, WM_APP + 1, 0, 0);
                              driver.WaitUntilGone(window);
                          }),
                 std::runtime_error);
    EXPECT_FALSE(::IsWindow(seen));
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(DataExchange, TextLongerThanTheLimitIsRefusedWithTheMessageAndTheFocusOnTheEditBox) {
    struct Case {
        size_t length;
        bool accepted;
    };
    for (const Case& c : {Case{261, false}, Case{260, true}}) {
        SCOPED_TRACE(c.length);
        CExchangeDlg dialog;
        dialog.text = L"before";
        theTestApp.modeless.clear();
        const std::wstring typed(c.length, L'x');
        const INT_PTR result = RunModal(dialog, [&](test::DialogDriver& driver, HWND window) {
            driver.SetText(window, IDC_TEXT, typed);
            driver.SetChecked(window, IDC_FLAG, true);
            driver.Press(window, IDOK);
            if (!c.accepted) {
                HWND box = driver.WaitForDialog(TestAppName, window);
                EXPECT_EQ(driver.MessageText(box), L"Enter no more than 260 characters.");
                EXPECT_EQ(::GetWindow(box, GW_OWNER), window);
                driver.Press(box, IDOK);
                driver.WaitUntilGone(box);
                for (int i = 0; i < 50 && driver.Focus() != ::GetDlgItem(window, IDC_TEXT); ++i) ::Sleep(20);
                EXPECT_EQ(driver.Focus(), ::GetDlgItem(window, IDC_TEXT));
                EXPECT_TRUE(::IsWindowVisible(window)) << "the dialog stays open";
                EXPECT_TRUE(::IsWindowEnabled(window));
                driver.Press(window, IDCANCEL);
            }
            driver.WaitUntilGone(window);
        });
        EXPECT_EQ(result, c.accepted ? IDOK : IDCANCEL);
        if (c.accepted) {
            EXPECT_EQ(dialog.text, typed);
        }
        EXPECT_EQ(dialog.flag, c.accepted ? 1 : 0) << "a refusal stops the exchange";
        EXPECT_EQ(theTestApp.modeless, c.accepted ? L"" : L"-+") << "modeless windows rest while the box is up";
    }
}

TEST(DataExchange, RadioGroupAndCheckBoxRoundTrip) {
    CExchangeDlg dialog;
    dialog.choice = 2;
    dialog.flag = 1;
    const INT_PTR result = RunModal(dialog, [](test::DialogDriver& driver, HWND window) {
        EXPECT_FALSE(driver.IsChecked(window, IDC_FIRST));
        EXPECT_FALSE(driver.IsChecked(window, IDC_SECOND));
        EXPECT_TRUE(driver.IsChecked(window, IDC_THIRD));
        EXPECT_TRUE(driver.IsChecked(window, IDC_FLAG));
        driver.SetChecked(window, IDC_SECOND, true);
        driver.SetChecked(window, IDC_FLAG, false);
        EXPECT_FALSE(driver.IsChecked(window, IDC_THIRD));
        driver.Press(window, IDOK);
        driver.WaitUntilGone(window);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.choice, 1);
    EXPECT_EQ(dialog.flag, 0);
}

TEST(DataExchange, RadioGroupWithNoButtonCheckedStoresMinusOne) {
    CExchangeDlg dialog;
    dialog.choice = -1;
    dialog.flag = 0;
    RunModal(dialog, [](test::DialogDriver& driver, HWND window) {
        EXPECT_FALSE(driver.IsChecked(window, IDC_FIRST) || driver.IsChecked(window, IDC_SECOND) ||
                     driver.IsChecked(window, IDC_THIRD));
        driver.Press(window, IDOK);
        driver.WaitUntilGone(window);
    });
    EXPECT_EQ(dialog.choice, -1);
}

class CHostDlg : public CDialog {
public:
    CHostDlg() : CDialog(IDD_HOST) {}
};

class CPageDlg : public CDialog {
public:
    explicit CPageDlg(UINT id) : CDialog(id) {}
};

TEST(ChildDialog, PageTemplatesAreHiddenControlParentChildrenOfTheirSize) {
    CHostDlg host;
    ASSERT_TRUE(host.Create(nullptr));
    struct Case {
        UINT id;
        int width;
        int height;
    };
    for (const Case& c : {Case{IDD_START, 251, 84}, Case{IDD_MODE, 279, 82}, Case{IDD_PATH, 278, 86},
                          Case{IDD_SHORTCUT, 278, 105}, Case{IDD_PROGRESS, 219, 97}, Case{IDD_END, 242, 56}}) {
        SCOPED_TRACE(c.id);
        CPageDlg page(c.id);
        ASSERT_TRUE(page.Create(host.m_hWnd));
        EXPECT_FALSE(page.IsWindowVisible());
        EXPECT_EQ(::GetParent(page.m_hWnd), host.m_hWnd);
        EXPECT_TRUE(::GetWindowLongW(page.m_hWnd, GWL_STYLE) & WS_CHILD);
        EXPECT_TRUE(::GetWindowLongW(page.m_hWnd, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
        const RECT expected = page.MapDialogRect({0, 0, c.width, c.height});
        const RECT client = page.GetClientRect();
        EXPECT_EQ(client.right, expected.right);
        EXPECT_EQ(client.bottom, expected.bottom);
    }
}

TEST(ChildDialog, TheDriverFindsTheVisiblePageOfADialog) {
    CHostDlg host;
    ASSERT_TRUE(host.Create(nullptr));
    CPageDlg first(IDD_MODE);
    CPageDlg second(IDD_END);
    ASSERT_TRUE(first.Create(host.m_hWnd));
    ASSERT_TRUE(second.Create(host.m_hWnd));
    host.ShowWindow(SW_SHOW);
    const test::DialogDriver driver(::GetCurrentThreadId());
    EXPECT_EQ(driver.VisibleChildDialog(host.m_hWnd), nullptr);
    second.ShowWindow(SW_SHOW);
    EXPECT_EQ(driver.VisibleChildDialog(host.m_hWnd), second.m_hWnd);
    second.SetDlgItemText(IDC_STATUS, L"on the second page");
    EXPECT_EQ(driver.Text(driver.VisibleChildDialog(host.m_hWnd), IDC_STATUS), L"on the second page");
}

TEST(ChildDialog, AdjustChildMovesTheEdgesOfAControl) {
    CHostDlg host;
    ASSERT_TRUE(host.Create(nullptr));
    CPageDlg page(IDD_PROGRESS);
    ASSERT_TRUE(page.Create(host.m_hWnd));
    HWND bar = page.GetDlgItem(IDC_PROGRESS);
    const RECT before = page.GetChildRect(bar);
    EXPECT_EQ(before, page.MapDialogRect({7, 67, 7 + 205, 67 + 10}));
    page.AdjustChild(IDC_PROGRESS, 0, 5, 20, 5);
    const RECT after = page.GetChildRect(bar);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top + 5);
    EXPECT_EQ(after.right, before.right + 20);
    EXPECT_EQ(after.bottom, before.bottom + 5);
}

TEST(ChildDialog, ExtendedComboBoxShowsItemsWithImagesAndData) {
    CHostDlg host;
    ASSERT_TRUE(host.Create(nullptr));
    CPageDlg page(IDD_START);
    ASSERT_TRUE(page.Create(host.m_hWnd));
    CComboBoxEx combo;
    combo.Attach(page.GetDlgItem(IDC_LANGUAGE));
    CImageList images;
    ASSERT_TRUE(images.Create(18, 12, ILC_COLOR24, 8, 1));
    combo.SetImageList(images);
    HICON icon = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128), IMAGE_ICON, 16, 12, 0));
    ASSERT_NE(icon, nullptr);
    const int image = images.Add(icon);
    ::DestroyIcon(icon);
    EXPECT_EQ(image, 0);
    EXPECT_EQ(combo.InsertItem(0, L"Français", image, image, 0), 0);
    EXPECT_EQ(combo.InsertItem(1, L"English", image, image, 1), 1);
    combo.SetCurSel(1);
    EXPECT_EQ(combo.GetCount(), 2);
    EXPECT_EQ(combo.GetCurSel(), 1);
    EXPECT_EQ(combo.GetItemData(0), 0);
    EXPECT_EQ(combo.GetItemData(1), 1);
    EXPECT_EQ(combo.GetItemText(0), L"Français");
    combo.SetDroppedWidth(300);
    EXPECT_EQ(combo.GetDroppedWidth(), 300);
    combo.Detach();
}

TEST(SafeOwner, AnEnabledTopLevelWindowBehindTheActivePopupIsDisabledAndHandedBack) {
    CHostDlg main;
    ASSERT_TRUE(main.Create(nullptr));
    main.ShowWindow(SW_SHOW);
    theTestApp.m_hMainWnd = main.m_hWnd;
    HWND reenable = nullptr;
    EXPECT_EQ(CWnd::GetSafeOwner(nullptr, &reenable), main.m_hWnd);
    EXPECT_EQ(reenable, nullptr) << "the owner itself is not disabled";

    CHostDlg popup;
    ASSERT_TRUE(popup.Create(main.m_hWnd));
    popup.ShowWindow(SW_SHOW);
    ::SetActiveWindow(popup.m_hWnd);
    EXPECT_EQ(CWnd::GetSafeOwner(nullptr, &reenable), popup.m_hWnd);
    EXPECT_EQ(reenable, main.m_hWnd);
    EXPECT_FALSE(main.IsWindowEnabled());
    ::EnableWindow(main.m_hWnd, TRUE);
    theTestApp.m_hMainWnd = nullptr;
}

}  // namespace
