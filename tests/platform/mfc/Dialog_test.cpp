// Dialogs from templates in memory with stand-in controls: modal dialogs
// inside modal dialogs with their owners disabled, EndDialog from a handler
// and from initialisation, radio groups cleared and chosen, and a modeless
// dialog's keyboard interface.
#include "platform/mfc/Dialog.h"
#include "platform/mfc/WinApp.h"
#include "tests/platform/mfc/FrameworkFixture.h"
#include "tests/support/TestControls.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

enum { IDC_NAME = 200, IDC_COUNT = 201, IDC_FIRST = 202, IDC_SECOND = 203, IDC_THIRD = 204, IDC_FLAG = 205,
       IDC_QUIT = 206 };

// A small dialog: two edits, a radio group of three, a check box, OK,
// Cancel and a quit button.
std::unique_ptr<tavrin::test::TemplateBuilder> SmallTemplate()
{
    tavrin::test::RegisterTestControls();
    auto b = std::make_unique<tavrin::test::TemplateBuilder>(
        "小对话框", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0, 200, 120, "宋体", 9);
    const DWORD child = WS_CHILD | WS_VISIBLE;
    b->Add("TestEdit", "", IDC_NAME, child | WS_TABSTOP | WS_GROUP, 10, 10, 80, 12)
        .Add("TestEdit", "", IDC_COUNT, child | WS_TABSTOP, 10, 26, 80, 12)
        .Add("TestRadio", "一", IDC_FIRST, child | WS_TABSTOP | WS_GROUP, 10, 42, 40, 10)
        .Add("TestRadio", "二", IDC_SECOND, child, 60, 42, 40, 10)
        .Add("TestRadio", "三", IDC_THIRD, child, 110, 42, 40, 10)
        .Add("TestCheck", "标记", IDC_FLAG, child | WS_TABSTOP | WS_GROUP, 10, 58, 60, 10)
        .Add("TestButton", "确定", IDOK, child | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 10, 90, 50, 14)
        .Add("TestButton", "取消", IDCANCEL, child | WS_TABSTOP, 70, 90, 50, 14)
        .Add("TestButton", "退出", IDC_QUIT, child | WS_TABSTOP, 130, 90, 50, 14);
    return b;
}

class CSmallDlg : public CDialog {
public:
    std::unique_ptr<tavrin::test::TemplateBuilder> m_builder = SmallTemplate();
    LPCDLGTEMPLATE m_template = m_builder->Get();
    CString m_name = "甲";
    int m_count = 7;
    int m_choice = 1;
    int m_flag = 1;
    int m_oks = 0;
    std::function<void(CSmallDlg&)> m_step; // run once the modal loop is idle
    int m_kicks = 0;

    explicit CSmallDlg(CWnd* pParent = nullptr) { InitModalIndirect(m_template, pParent); }
    BOOL CreateModeless(CWnd* pParent = nullptr) { return CreateIndirect(m_template, pParent); }
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, IDC_NAME, m_name);
        DDV_MaxChars(pDX, m_name, 8);
        DDX_Text(pDX, IDC_COUNT, m_count);
        DDV_MinMaxInt(pDX, m_count, 1, 50);
        DDX_Radio(pDX, IDC_FIRST, m_choice);
        DDX_Check(pDX, IDC_FLAG, m_flag);
    }
    void OnOK() override
    {
        if (!UpdateData(TRUE))
            return;
        ++m_oks;
        EndDialog(IDOK);
    }
    LRESULT OnKickIdle(WPARAM, LPARAM)
    {
        if (m_kicks++ == 0 && m_step)
            m_step(*this);
        return 0;
    }
    void OnQuit() { EndDialog(IDC_QUIT); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CSmallDlg, CDialog)
    ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
    ON_COMMAND(IDC_QUIT, OnQuit)
END_MESSAGE_MAP()

class CEndsAtOnce : public CSmallDlg {
public:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        EndDialog(IDCANCEL);
        return TRUE;
    }
};

std::string ItemText(CWnd& dlg, int id)
{
    CString text;
    dlg.GetDlgItemText(id, text);
    return std::string(static_cast<LPCTSTR>(text));
}

LRESULT Check(CWnd& dlg, int id) { return ::SendMessageA(::GetDlgItem(dlg.m_hWnd, id), BM_GETCHECK, 0, 0); }

using DialogTest = tavrin::test::FrameworkResources;

} // namespace

TEST_F(DialogTest, ModalInsideModalWithTheOwnersDisabled)
{
    CWinApp app;
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, AfxRegisterWndClass(0), "主窗口", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                               nullptr, nullptr));
    app.m_pMainWnd = &owner;
    std::vector<std::string> seen;
    CSmallDlg outer(&owner);
    outer.m_step = [&](CSmallDlg& o) {
        seen.push_back(owner.IsWindowEnabled() ? "owner enabled" : "owner disabled");
        seen.push_back("fields in: " + ItemText(o, IDC_NAME) + " " + ItemText(o, IDC_COUNT));
        CSmallDlg inner(&o);
        inner.m_step = [&](CSmallDlg& i) {
            seen.push_back(o.IsWindowEnabled() ? "outer enabled" : "outer disabled");
            // A button's handler ends the inner dialog.
            ::SendMessageA(::GetDlgItem(i.m_hWnd, IDC_QUIT), BM_CLICK, 0, 0);
        };
        seen.push_back("inner " + std::to_string(inner.DoModal()));
        seen.push_back(o.IsWindowEnabled() ? "outer enabled" : "outer disabled");
        o.SetDlgItemText(IDC_COUNT, "12");
        ::SendMessageA(::GetDlgItem(o.m_hWnd, IDOK), BM_CLICK, 0, 0);
    };
    EXPECT_EQ(outer.DoModal(), IDOK);
    EXPECT_EQ(seen, (std::vector<std::string>{"owner disabled", "fields in: 甲 7", "outer disabled",
                                              "inner " + std::to_string(IDC_QUIT), "outer enabled"}));
    EXPECT_EQ(outer.m_count, 12);
    EXPECT_EQ(outer.m_oks, 1);
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(outer.m_hWnd, nullptr);
    EXPECT_GE(outer.m_kicks, 1) << "the modal loop kicked the idle work";
    app.m_pMainWnd = nullptr;
    owner.DestroyWindow();
}

TEST_F(DialogTest, EndDialogInsideInitialisationSkipsTheLoop)
{
    CEndsAtOnce dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_EQ(dlg.m_kicks, 0);
    // A template that is not there fails at once.
    CDialog missing(9999);
    EXPECT_EQ(missing.DoModal(), -1);
}

TEST_F(DialogTest, RadioGroupsAndChecksBothWays)
{
    CSmallDlg dlg;
    ASSERT_TRUE(dlg.CreateModeless());
    EXPECT_EQ(Check(dlg, IDC_FIRST), BST_UNCHECKED);
    EXPECT_EQ(Check(dlg, IDC_SECOND), BST_CHECKED);
    EXPECT_EQ(Check(dlg, IDC_THIRD), BST_UNCHECKED);
    EXPECT_EQ(Check(dlg, IDC_FLAG), BST_CHECKED);
    ::SendMessageA(::GetDlgItem(dlg.m_hWnd, IDC_SECOND), BM_SETCHECK, BST_UNCHECKED, 0);
    ::SendMessageA(::GetDlgItem(dlg.m_hWnd, IDC_THIRD), BM_SETCHECK, BST_CHECKED, 0);
    ::SendMessageA(::GetDlgItem(dlg.m_hWnd, IDC_FLAG), BM_SETCHECK, BST_UNCHECKED, 0);
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_choice, 2);
    EXPECT_EQ(dlg.m_flag, 0);
    // None chosen reads as -1; -1 clears the group.
    ::SendMessageA(::GetDlgItem(dlg.m_hWnd, IDC_THIRD), BM_SETCHECK, BST_UNCHECKED, 0);
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_choice, -1);
    dlg.m_choice = 0;
    ASSERT_TRUE(dlg.UpdateData(FALSE));
    EXPECT_EQ(Check(dlg, IDC_FIRST), BST_CHECKED);
    dlg.m_choice = -1;
    ASSERT_TRUE(dlg.UpdateData(FALSE));
    EXPECT_EQ(Check(dlg, IDC_FIRST), BST_UNCHECKED);
    dlg.DestroyWindow();
}

TEST_F(DialogTest, AModelessDialogTakesItsKeysAndMovesTheFocus)
{
    CSmallDlg dlg;
    ASSERT_TRUE(dlg.CreateModeless());
    dlg.ShowWindow(SW_SHOW);
    dlg.SetActiveWindow();
    CWnd* pCount = dlg.GetDlgItem(IDC_COUNT);
    dlg.GotoDlgCtrl(pCount);
    EXPECT_EQ(::GetFocus(), pCount->m_hWnd);
    dlg.NextDlgCtrl();
    int next = ::GetDlgCtrlID(::GetFocus());
    EXPECT_TRUE(next == IDC_FIRST || next == IDC_SECOND) << "into the radio group, not " << next;
    dlg.PrevDlgCtrl();
    EXPECT_EQ(::GetFocus(), pCount->m_hWnd);
    // Tab through the dialog's pre-translation.
    MSG tab{pCount->m_hWnd, WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_TRUE(CWnd::WalkPreTranslateTree(dlg.m_hWnd, &tab));
    EXPECT_NE(::GetFocus(), pCount->m_hWnd);
    // Cancel ends a modeless dialog as well.
    dlg.SendMessage(WM_COMMAND, IDCANCEL);
    dlg.DestroyWindow();
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}
