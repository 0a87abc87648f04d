// The framework's control wrappers on a framework window: each wrapper's
// calls give the control's answers, notifications reach the parent's map,
// and owner drawing reaches the control object by reflection.
#include "platform/mfc/Button.h"
#include "platform/mfc/ComboBox.h"
#include "platform/mfc/Edit.h"
#include "platform/mfc/ListBox.h"
#include "platform/mfc/ProgressCtrl.h"
#include "platform/mfc/SpinButtonCtrl.h"
#include "platform/mfc/Static.h"
#include "platform/mfc/ToolTipCtrl.h"
#include "tests/platform/controls/ControlHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using tavrin::test::PumpAll;

namespace {

std::vector<std::string> g_log;

class CHostWnd : public CWnd {
public:
    void OnOk() { g_log.push_back("clicked"); }
    void OnEditChange() { g_log.push_back("edit changed"); }
    void OnListChange() { g_log.push_back("list changed"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHostWnd, CWnd)
    ON_BN_CLICKED(1, OnOk)
    ON_EN_CHANGE(2, OnEditChange)
    ON_LBN_SELCHANGE(3, OnListChange)
END_MESSAGE_MAP()

class COwnerButton : public CButton {
public:
    void DrawItem(LPDRAWITEMSTRUCT dis) override { states.push_back(dis->itemState); }
    std::vector<UINT> states;
};

class COwnerList : public CListBox {
public:
    void DrawItem(LPDRAWITEMSTRUCT dis) override { drawn.push_back(static_cast<int>(dis->itemID)); }
    void MeasureItem(LPMEASUREITEMSTRUCT mis) override { mis->itemHeight = 21; }
    std::vector<int> drawn;
};

class WrapperTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_log.clear();
        ASSERT_TRUE(m_host.CreateEx(0, nullptr, "host", WS_POPUP | WS_VISIBLE, 50, 50, 400, 300, nullptr, nullptr));
    }
    void TearDown() override { m_host.DestroyWindow(); }
    CHostWnd m_host;
};

} // namespace

TEST_F(WrapperTest, ButtonAndStatic)
{
    CButton check;
    ASSERT_TRUE(check.Create("check", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, CRect(10, 10, 100, 30), &m_host, 1));
    EXPECT_EQ(CWnd::FromHandlePermanent(check.m_hWnd), &check);
    EXPECT_TRUE(check.IsKindOf(RUNTIME_CLASS(CButton)));
    EXPECT_EQ(check.GetButtonStyle(), static_cast<UINT>(BS_AUTOCHECKBOX));
    check.Click();
    EXPECT_EQ(check.GetCheck(), BST_CHECKED);
    EXPECT_EQ(g_log, std::vector<std::string>{"clicked"});
    check.SetCheck(BST_UNCHECKED);
    check.SetState(TRUE);
    EXPECT_EQ(check.GetState() & (BST_PUSHED | BST_CHECKED), static_cast<UINT>(BST_PUSHED));
    check.SetButtonStyle(BS_AUTORADIOBUTTON);
    EXPECT_EQ(check.GetButtonStyle(), static_cast<UINT>(BS_AUTORADIOBUTTON));

    COwnerButton owner;
    ASSERT_TRUE(owner.Create("owner", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(10, 40, 100, 60), &m_host, 5));
    owner.Invalidate();
    PumpAll();
    owner.SetState(TRUE);
    ASSERT_FALSE(owner.states.empty());
    EXPECT_EQ(owner.states.back() & ODS_SELECTED, static_cast<UINT>(ODS_SELECTED));

    CStatic label;
    ASSERT_TRUE(label.Create("标签", WS_CHILD | WS_VISIBLE | SS_NOTIFY, CRect(10, 70, 100, 90), &m_host));
    EXPECT_EQ(label.GetDlgCtrlID(), 0xffff);
    EXPECT_EQ(label.GetBitmap(), nullptr);
    CString text;
    label.GetWindowText(text);
    EXPECT_EQ(text, "标签");
}

TEST_F(WrapperTest, Edit)
{
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, CRect(10, 10, 200, 34), &m_host, 2));
    edit.SetWindowText("hello world");
    EXPECT_EQ(g_log, std::vector<std::string>{"edit changed"});
    edit.SetSel(0, 5);
    int start = -1, end = -1;
    edit.GetSel(start, end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 5);
    EXPECT_EQ(edit.GetSel(), static_cast<DWORD>(MAKELONG(0, 5)));
    edit.ReplaceSel("bye", TRUE);
    EXPECT_TRUE(edit.CanUndo());
    EXPECT_TRUE(edit.GetModify());
    edit.Undo();
    CString text;
    edit.GetWindowText(text);
    EXPECT_EQ(text, "hello world");
    edit.LimitText(8);
    EXPECT_EQ(edit.GetLimitText(), 8u);
    edit.SetMargins(4, 6);
    EXPECT_EQ(edit.GetMargins(), static_cast<DWORD>(MAKELONG(4, 6)));
    edit.SetPasswordChar('#');
    EXPECT_EQ(edit.GetPasswordChar(), '#');
    EXPECT_TRUE(edit.SetReadOnly());
    EXPECT_NE(edit.GetStyle() & ES_READONLY, 0u);
    char line[6];
    EXPECT_EQ(edit.GetLine(0, line, sizeof(line)), 6); // the buffer's size, no terminator
    EXPECT_EQ(std::string(line, 6), "hello ");
    EXPECT_EQ(edit.GetLineCount(), 1);
}

TEST_F(WrapperTest, ListBoxAndComboBox)
{
    CListBox list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY, CRect(10, 10, 150, 110), &m_host, 3));
    for (const char* s : {"一", "二", "三"})
        list.AddString(s);
    EXPECT_EQ(list.InsertString(0, "零"), 0);
    EXPECT_EQ(list.GetCount(), 4);
    CString text;
    list.GetText(2, text);
    EXPECT_EQ(text, "二");
    list.GetText(9, text);
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(list.FindStringExact(-1, "三"), 3);
    EXPECT_EQ(list.SetCurSel(1), 1);
    EXPECT_EQ(list.GetCurSel(), 1);
    list.SetItemData(1, 99);
    EXPECT_EQ(list.GetItemData(1), 99u);
    CRect item;
    EXPECT_EQ(list.GetItemRect(1, &item), LB_OKAY);
    BOOL outside = TRUE;
    EXPECT_EQ(list.ItemFromPoint(CPoint(5, item.top + 1), outside), 1u);
    EXPECT_FALSE(outside);
    EXPECT_EQ(list.DeleteString(0), 3);
    list.SetFocus();
    tavrin::test::PressKey(VK_DOWN);
    EXPECT_EQ(g_log, std::vector<std::string>{"list changed"});

    COwnerList owner;
    ASSERT_TRUE(owner.Create(WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED, CRect(160, 10, 300, 110), &m_host, 4));
    EXPECT_EQ(owner.GetItemHeight(0), 21); // asked of the object through its parent
    owner.AddString(reinterpret_cast<LPCTSTR>(7));
    owner.Invalidate();
    PumpAll();
    ASSERT_FALSE(owner.drawn.empty());
    EXPECT_EQ(owner.drawn.back(), 0);
    EXPECT_EQ(owner.GetItemData(0), 7u);

    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL, CRect(10, 120, 200, 250), &m_host, 6));
    combo.AddString("甲");
    combo.AddString("乙");
    EXPECT_EQ(combo.GetCount(), 2);
    EXPECT_EQ(combo.SetCurSel(1), 1);
    combo.GetLBText(1, text);
    EXPECT_EQ(text, "乙");
    combo.GetWindowText(text);
    EXPECT_EQ(text, "乙");
    EXPECT_EQ(combo.FindStringExact(-1, "甲"), 0);
    combo.ShowDropDown();
    EXPECT_TRUE(combo.GetDroppedState());
    combo.ShowDropDown(FALSE);
    EXPECT_FALSE(combo.GetDroppedState());
    CRect dropped;
    combo.GetDroppedControlRect(&dropped);
    EXPECT_EQ(dropped.Height(), 130);
    combo.SetDroppedWidth(300);
    EXPECT_EQ(combo.GetDroppedWidth(), 300);
}

TEST_F(WrapperTest, SpinProgressAndToolTip)
{
    CEdit buddy;
    ASSERT_TRUE(buddy.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 80, 30), &m_host, 7));
    CSpinButtonCtrl spin;
    ASSERT_TRUE(spin.Create(WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT, CRect(80, 10, 96, 30), &m_host, 8));
    spin.SetRange(0, 20);
    int lower = -1, upper = -1;
    spin.GetRange(lower, upper);
    EXPECT_EQ(lower, 0);
    EXPECT_EQ(upper, 20);
    EXPECT_EQ(spin.SetBuddy(&buddy), nullptr);
    EXPECT_EQ(spin.GetBuddy(), &buddy);
    spin.SetPos(12);
    EXPECT_EQ(LOWORD(spin.GetPos()), 12);
    CString text;
    buddy.GetWindowText(text);
    EXPECT_EQ(text, "12");
    spin.SetRange32(-100, 100000);
    spin.GetRange32(lower, upper);
    EXPECT_EQ(upper, 100000);
    EXPECT_EQ(spin.SetBase(16), 10);

    CProgressCtrl progress;
    ASSERT_TRUE(progress.Create(WS_CHILD | WS_VISIBLE | PBS_SMOOTH, CRect(10, 40, 200, 60), &m_host, 9));
    progress.SetRange(0, 50);
    EXPECT_EQ(progress.SetPos(20), 0);
    EXPECT_EQ(progress.OffsetPos(5), 20);
    EXPECT_EQ(progress.SetStep(10), 10);
    EXPECT_EQ(progress.StepIt(), 25);
    EXPECT_EQ(progress.GetPos(), 35);
    progress.GetRange(lower, upper);
    EXPECT_EQ(upper, 50);

    CToolTipCtrl tips;
    ASSERT_TRUE(tips.Create(&m_host, TTS_ALWAYSTIP));
    EXPECT_TRUE(tips.AddTool(&buddy, "伙伴"));
    EXPECT_TRUE(tips.AddTool(&m_host, "区域", CRect(0, 100, 50, 150), 42));
    EXPECT_EQ(tips.GetToolCount(), 2);
    tips.GetText(text, &buddy);
    EXPECT_EQ(text, "伙伴");
    tips.UpdateTipText("新", &m_host, 42);
    CToolInfo info;
    EXPECT_TRUE(tips.GetToolInfo(info, &m_host, 42));
    EXPECT_STREQ(info.lpszText, "新");
    EXPECT_EQ(info.rect.bottom, 150);
    EXPECT_EQ(info.uFlags & TTF_IDISHWND, 0u);
    tips.DelTool(&buddy);
    EXPECT_EQ(tips.GetToolCount(), 1);
    tips.SetDelayTime(200);
    EXPECT_EQ(tips.GetDelayTime(TTDT_AUTOPOP), 2000);
    tips.DestroyWindow();
}
