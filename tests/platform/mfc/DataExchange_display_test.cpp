// The options dialog on a real display: numbers typed with real keys into
// its edits are read by data exchange when Enter presses OK; a number out of
// range keeps the dialog open with the framework's message.
#include "platform/controls/CommCtrl.h"
#include "platform/display/GtkPresenter.h"
#include "platform/mfc/Dialog.h"
#include "platform/mfc/WinApp.h"
#include "tests/platform/mfc/FrameworkFixture.h"
#include "tests/platform/mfc/fixtures/mfc_fixture.h"
#include "tests/support/DisplayPump.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace tavrin;

namespace {

class CTypedOptionsDlg : public CDialog {
public:
    CTypedOptionsDlg() : CDialog(IDD_OPTIONS) {}
    int m_shownAtOnce = 1;
    int m_interval = 30;
    int m_oks = 0;
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, IDC_INTERVAL, m_interval);
        DDX_Text(pDX, IDC_SHOWN_AT_ONCE, m_shownAtOnce);
        DDV_MinMaxInt(pDX, m_shownAtOnce, 1, 50);
    }
    void OnOK() override
    {
        if (UpdateData(TRUE))
            ++m_oks;
    }
};

class DataExchangeDisplay : public test::FrameworkResources {};

} // namespace

TEST_F(DataExchangeDisplay, RealKeysFillTheFieldsThatEnterReads)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no display";
    display::GtkPresenter* presenter = display::StartGtkPresenter();
    ASSERT_TRUE(presenter);
    ::InitCommonControls();
    CWinApp app;
    CTypedOptionsDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_OPTIONS));
    app.m_pMainWnd = &dlg;
    dlg.ShowWindow(SW_SHOW);
    // Keys go through the application's pre-translation, as in its loop.
    test::SetPumpFilter([](const MSG& m) {
        MSG copy = m;
        return AfxPreTranslateMessage(&copy) != FALSE;
    });
    HWND hDlg = dlg.m_hWnd;
    ASSERT_TRUE(test::PumpUntil([&] { return presenter->GetNativeWindow(hDlg) != 0 && ::GetActiveWindow() == hDlg; },
                                5000));
    HWND shown = ::GetDlgItem(hDlg, IDC_SHOWN_AT_ONCE);
    dlg.GotoDlgCtrl(CWnd::FromHandle(shown)); // its text selected, replaced by typing
    ASSERT_TRUE(presenter->SimulateKey(hDlg, "2"));
    ASSERT_TRUE(presenter->SimulateKey(hDlg, "7"));
    ASSERT_TRUE(test::PumpUntil([&] {
        char text[16] = {};
        ::GetWindowTextA(shown, text, sizeof text);
        return std::string(text) == "27";
    }));
    ASSERT_TRUE(presenter->SimulateKey(hDlg, "Return"));
    ASSERT_TRUE(test::PumpUntil([&] { return dlg.m_oks == 1; }));
    EXPECT_EQ(dlg.m_shownAtOnce, 27);
    EXPECT_EQ(dlg.m_interval, 30);

    // 99 is out of range: the message, the field focused, nothing taken.
    win::QueueMessageBoxAnswer(IDOK);
    win::TakeMessageBoxLog();
    dlg.GotoDlgCtrl(CWnd::FromHandle(shown));
    ASSERT_TRUE(presenter->SimulateKey(hDlg, "9"));
    ASSERT_TRUE(presenter->SimulateKey(hDlg, "9"));
    ASSERT_TRUE(presenter->SimulateKey(hDlg, "Return"));
    std::vector<win::MessageBoxRecord> boxes;
    ASSERT_TRUE(test::PumpUntil([&] {
        auto more = win::TakeMessageBoxLog();
        boxes.insert(boxes.end(), more.begin(), more.end());
        return !boxes.empty();
    }));
    EXPECT_EQ(boxes[0].text, "Please enter an integer between 1 and 50.");
    EXPECT_EQ(dlg.m_oks, 1);
    EXPECT_EQ(::GetFocus(), shown);
    EXPECT_TRUE(::IsWindowVisible(hDlg));
    test::SetPumpFilter(nullptr);
    app.m_pMainWnd = nullptr;
    dlg.DestroyWindow();
}
