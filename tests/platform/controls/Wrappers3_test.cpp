// The status bar, date picker and rich edit wrappers on a framework window:
// the calls give the controls' answers and notifications reach the map.
#include "platform/mfc/DateTimeCtrl.h"
#include "platform/mfc/RichEditCtrl.h"
#include "platform/mfc/StatusBarCtrl.h"
#include "tests/platform/controls/ControlHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using tavrin::test::PumpAll;

namespace {

std::vector<std::string> g_log;

class CHostWnd : public CWnd {
public:
    void OnDateChange(NMHDR* hdr, LRESULT* result)
    {
        g_log.push_back("date " + std::to_string(reinterpret_cast<NMDATETIMECHANGE*>(hdr)->st.wDay));
        *result = 0;
    }
    void OnBodyChange() { g_log.push_back("body changed"); }
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override
    {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (hdr->idFrom == 1025 && hdr->code == EN_MSGFILTER &&
            reinterpret_cast<MSGFILTER*>(lParam)->msg == WM_RBUTTONDOWN)
            g_log.push_back("right press");
        return CWnd::OnNotify(wParam, lParam, result);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHostWnd, CWnd)
    ON_NOTIFY(DTN_DATETIMECHANGE, 1050, OnDateChange)
    ON_EN_CHANGE(1025, OnBodyChange)
END_MESSAGE_MAP()

class Wrappers3Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_log.clear();
        ASSERT_TRUE(m_host.CreateEx(0, nullptr, "host", WS_POPUP | WS_VISIBLE | WS_THICKFRAME, 50, 50, 400, 300, nullptr,
                                    nullptr));
    }
    void TearDown() override { m_host.DestroyWindow(); }
    CHostWnd m_host;
};

} // namespace

TEST_F(Wrappers3Test, StatusBarCtrl)
{
    CStatusBarCtrl bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, CRect(0, 0, 0, 0), &m_host, 0xE801));
    EXPECT_TRUE(bar.IsKindOf(RUNTIME_CLASS(CStatusBarCtrl)));
    int widths[] = {120, 200, -1};
    EXPECT_TRUE(bar.SetParts(3, widths));
    int back[3] = {};
    EXPECT_EQ(bar.GetParts(3, back), 3);
    EXPECT_EQ(back[1], 200);
    EXPECT_TRUE(bar.SetText("就绪", 0, 0));
    EXPECT_TRUE(bar.SetText("NUM", 1, SBT_POPOUT));
    int type = -1;
    EXPECT_EQ(bar.GetText(1, &type), CString("NUM"));
    EXPECT_EQ(type, SBT_POPOUT);
    EXPECT_EQ(bar.GetTextLength(0), 4);
    CRect rect;
    EXPECT_TRUE(bar.GetRect(1, &rect));
    EXPECT_EQ(rect.left, 122);
    EXPECT_EQ(rect.right, 200);
    bar.SetMinHeight(20);
    bar.SendMessage(WM_SIZE);
    CRect window;
    bar.GetWindowRect(&window);
    EXPECT_GE(window.Height(), 20);
    int h = 0, v = 0, s = 0;
    EXPECT_TRUE(bar.GetBorders(h, v, s));
    EXPECT_EQ(v, 2);
}

TEST_F(Wrappers3Test, DateTimeCtrl)
{
    CDateTimeCtrl picker;
    ASSERT_TRUE(picker.Create(WS_CHILD | WS_VISIBLE | DTS_SHORTDATEFORMAT | DTS_RIGHTALIGN, CRect(10, 10, 130, 32), &m_host,
                              1050));
    EXPECT_TRUE(picker.IsKindOf(RUNTIME_CLASS(CDateTimeCtrl)));
    CTime time(2005, 3, 31, 0, 0, 0);
    EXPECT_TRUE(picker.SetTime(time));
    CTime back;
    EXPECT_EQ(picker.GetTime(back), static_cast<DWORD>(GDT_VALID));
    EXPECT_EQ(back.GetYear(), 2005);
    EXPECT_EQ(back.GetMonth(), 3);
    EXPECT_EQ(back.GetDay(), 31);
    EXPECT_FALSE(picker.SetTime(static_cast<const SYSTEMTIME*>(nullptr))); // no DTS_SHOWNONE
    picker.SetFocus();
    picker.SendMessage(WM_KEYDOWN, VK_RIGHT);
    picker.SendMessage(WM_KEYDOWN, VK_RIGHT);
    picker.SendMessage(WM_KEYDOWN, VK_UP);
    EXPECT_EQ(g_log, std::vector<std::string>{"date 1"});
    EXPECT_EQ(picker.GetMonthCalCtrl(), nullptr);
}

TEST_F(Wrappers3Test, RichEditCtrl)
{
    CRichEditCtrl body;
    ASSERT_TRUE(body.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                            CRect(10, 40, 380, 200), &m_host, 1025));
    EXPECT_TRUE(body.IsKindOf(RUNTIME_CLASS(CRichEditCtrl)));
    EXPECT_EQ(body.SetEventMask(body.GetEventMask() | ENM_CHANGE | ENM_MOUSEEVENTS), 0u);
    body.SetWindowText("一二 three");
    EXPECT_EQ(g_log, std::vector<std::string>{"body changed"});
    body.SetSel(5, 10);
    EXPECT_EQ(body.GetSelText(), CString("three"));
    EXPECT_EQ(body.GetSelectionType(), static_cast<WORD>(SEL_TEXT | SEL_MULTICHAR));
    FINDTEXTEX find{{0, -1}, "THREE", {}};
    EXPECT_EQ(body.FindText(FR_DOWN, &find), 5);
    EXPECT_EQ(body.FindText(FR_DOWN | FR_MATCHCASE, &find), -1);
    body.ReplaceSel("3", TRUE);
    EXPECT_TRUE(body.CanUndo());
    CString range;
    EXPECT_EQ(body.GetTextRange(0, -1, range), 6);
    EXPECT_EQ(range, CString("一二 3"));
    EXPECT_EQ(body.SetBackgroundColor(FALSE, RGB(10, 20, 30)), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(body.SetBackgroundColor(TRUE, 0), RGB(10, 20, 30));
    IRichEditOle* ole = body.GetIRichEditOle();
    ASSERT_NE(ole, nullptr);
    EXPECT_EQ(ole->GetObjectCount(), 0);
    ole->Release();
    body.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(g_log.back(), "right press");
    EXPECT_TRUE(body.Undo());
    body.GetWindowText(range);
    EXPECT_EQ(range, CString("一二 three"));
}
