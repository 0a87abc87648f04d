// The framework's views: a form view made from its template scrolls when it
// is smaller than the form and exchanges its data; WM_INITDIALOG reaches the
// view after the dialog's own handling; tree and list views are their
// controls and get their notifications reflected; a mouse click activates a
// view in its frame, and commands a view leaves go to its document.
#include "platform/mfc/FrameWnd.h"
#include "platform/mfc/View.h"
#include "platform/win/ScrollBar.h"
#include "tests/platform/mfc/FrameworkFixture.h"
#include "tests/platform/mfc/fixtures/mfc_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_log;

class CNameForm : public CFormView {
public:
    CNameForm() : CFormView(IDD_FORM) {}
    CString m_name = "张三";
    int m_count = 7;
    int m_check = 1;
    bool m_editsAtInit = false;
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, IDC_FORM_NAME, m_name);
        DDX_Text(pDX, IDC_FORM_COUNT, m_count);
        DDX_Check(pDX, IDC_FORM_CHECK, m_check);
    }
    LRESULT OnInitDialogMsg(WPARAM wParam, LPARAM lParam)
    {
        LRESULT result = HandleInitDialog(wParam, lParam);
        m_editsAtInit = GetDlgItem(IDC_FORM_NAME) != nullptr;
        g_log.push_back("init dialog");
        return result;
    }
    void OnNameChange() { g_log.push_back("name changed"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CNameForm, CFormView)
    ON_MESSAGE(WM_INITDIALOG, OnInitDialogMsg)
    ON_EN_CHANGE(IDC_FORM_NAME, OnNameChange)
END_MESSAGE_MAP()

class CTestDoc : public CDocument {
public:
    void OnAction() { g_log.push_back("document action"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestDoc, CDocument)
    ON_COMMAND(ID_FIXTURE_ACTION, OnAction)
END_MESSAGE_MAP()

class CReflectTree : public CTreeView {
public:
    void OnSelChanged(NMHDR*, LRESULT* pResult)
    {
        g_log.push_back("tree selection");
        *pResult = 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CReflectTree, CTreeView)
    ON_NOTIFY_REFLECT(TVN_SELCHANGED, OnSelChanged)
END_MESSAGE_MAP()

struct ViewTest : tavrin::test::FramedTest {
    void SetUp() override
    {
        FramedTest::SetUp();
        g_log.clear();
    }
    CRect ChildRect(CWnd* parent, int id)
    {
        CRect r;
        ::GetWindowRect(::GetDlgItem(parent->m_hWnd, id), &r);
        parent->ScreenToClient(&r);
        return r;
    }
};

TEST_F(ViewTest, AFormSmallerThanItsTemplateScrollsItsControls)
{
    auto* form = new CNameForm;
    ASSERT_TRUE(form->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 120, 60), frame, AFX_IDW_PANE_FIRST));
    EXPECT_TRUE(form->m_editsAtInit);
    EXPECT_EQ(form->GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
    EXPECT_TRUE(form->GetStyle() & WS_CHILD);
    EXPECT_FALSE(form->GetStyle() & WS_CAPTION);
    CSize total = form->GetTotalSize();
    EXPECT_GT(total.cx, 120);
    EXPECT_GT(total.cy, 60);
    EXPECT_TRUE(form->GetStyle() & WS_VSCROLL);
    EXPECT_TRUE(form->GetStyle() & WS_HSCROLL);

    CRect before = ChildRect(form, IDC_FORM_COUNT);
    form->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
    CPoint pos = form->GetScrollPosition();
    EXPECT_GT(pos.y, 0);
    EXPECT_EQ(ChildRect(form, IDC_FORM_COUNT).top, before.top - pos.y);
    // Past the end it stops where the form's bottom meets the client's.
    form->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0), 0);
    CRect client;
    form->GetClientRect(&client);
    EXPECT_EQ(form->GetScrollPosition().y, total.cy - client.Height());
    form->SendMessage(WM_HSCROLL, MAKEWPARAM(SB_PAGERIGHT, 0), 0);
    EXPECT_GT(form->GetScrollPosition().x, 0);

    // Large enough again: no bars, the controls back at their places.
    form->MoveWindow(0, 0, total.cx + 40, total.cy + 40);
    EXPECT_FALSE(form->GetStyle() & (WS_VSCROLL | WS_HSCROLL));
    EXPECT_EQ(form->GetScrollPosition(), CPoint(0, 0));
    EXPECT_EQ(ChildRect(form, IDC_FORM_COUNT), before);
}

TEST_F(ViewTest, AFormViewExchangesItsDataAndRefusesBadInput)
{
    auto* form = new CNameForm;
    ASSERT_TRUE(form->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 300), frame, AFX_IDW_PANE_FIRST));
    form->SendMessage(WM_INITIALUPDATE);
    CString text;
    form->GetDlgItemText(IDC_FORM_NAME, text);
    EXPECT_STREQ(text, "张三");
    form->GetDlgItemText(IDC_FORM_COUNT, text);
    EXPECT_STREQ(text, "7");
    EXPECT_EQ(::IsDlgButtonChecked(form->m_hWnd, IDC_FORM_CHECK), static_cast<UINT>(BST_CHECKED));
    // The exchange itself raised no change notices.
    EXPECT_EQ(std::count(g_log.begin(), g_log.end(), "name changed"), 0);

    form->SetDlgItemText(IDC_FORM_NAME, "李四");
    EXPECT_EQ(std::count(g_log.begin(), g_log.end(), "name changed"), 1);
    form->SetDlgItemText(IDC_FORM_COUNT, "12");
    ::CheckDlgButton(form->m_hWnd, IDC_FORM_CHECK, BST_UNCHECKED);
    ASSERT_TRUE(form->UpdateData(TRUE));
    EXPECT_STREQ(form->m_name, "李四");
    EXPECT_EQ(form->m_count, 12);
    EXPECT_EQ(form->m_check, 0);

    tavrin::win::TakeMessageBoxLog();
    form->SetDlgItemText(IDC_FORM_COUNT, "x1");
    EXPECT_FALSE(form->UpdateData(TRUE));
    EXPECT_EQ(form->m_count, 12);
    EXPECT_EQ(tavrin::win::TakeMessageBoxLog().size(), 1u);
}

TEST_F(ViewTest, TabMovesThroughTheFormsControls)
{
    auto* form = new CNameForm;
    ASSERT_TRUE(form->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 300), frame, AFX_IDW_PANE_FIRST));
    HWND name = ::GetDlgItem(form->m_hWnd, IDC_FORM_NAME);
    HWND count = ::GetDlgItem(form->m_hWnd, IDC_FORM_COUNT);
    ::SetFocus(name);
    MSG tab{name, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    EXPECT_TRUE(form->PreTranslateMessage(&tab));
    EXPECT_EQ(::GetFocus(), count);
    // Keys of other windows are not the form's.
    MSG other{frame->m_hWnd, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    EXPECT_FALSE(form->PreTranslateMessage(&other));
    // Focus given to the view goes on to the control that had it.
    form->OnActivateView(FALSE, nullptr, form);
    ::SetFocus(frame->m_hWnd);
    form->SetFocus();
    EXPECT_EQ(::GetFocus(), count);
}

TEST_F(ViewTest, AFormViewWithoutItsTemplateFailsCleanly)
{
    struct CMissingForm : CFormView {
        CMissingForm() : CFormView(9999u) {}
    };
    auto* form = new CMissingForm; // frees itself on failure
    EXPECT_FALSE(form->Create(nullptr, nullptr, WS_CHILD, CRect(0, 0, 10, 10), frame, AFX_IDW_PANE_FIRST));
}

TEST_F(ViewTest, TreeAndListViewsAreTheirControls)
{
    auto* tree = new CReflectTree;
    ASSERT_TRUE(tree->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 200), frame, AFX_IDW_PANE_FIRST));
    EXPECT_TRUE(tree->GetStyle() & WS_BORDER);
    CTreeCtrl& ctrl = tree->GetTreeCtrl();
    EXPECT_EQ(ctrl.m_hWnd, tree->m_hWnd);
    HTREEITEM root = ctrl.InsertItem("班级");
    HTREEITEM child = ctrl.InsertItem("同学", root);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(ctrl.GetChildItem(root), child);
    ctrl.SelectItem(child);
    EXPECT_EQ(std::count(g_log.begin(), g_log.end(), "tree selection"), 1);
    EXPECT_EQ(CWnd::FromHandlePermanent(tree->m_hWnd), tree);

    auto* list = new CListView;
    ASSERT_TRUE(list->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 200, 200), frame,
                             AFX_IDW_PANE_FIRST + 1));
    CListCtrl& lc = list->GetListCtrl();
    lc.InsertColumn(0, "名字", LVCFMT_LEFT, 80);
    EXPECT_EQ(lc.InsertItem(0, "甲"), 0);
    EXPECT_EQ(lc.GetItemCount(), 1);
    EXPECT_STREQ(lc.GetItemText(0, 0), "甲");
}

TEST_F(ViewTest, AClickActivatesTheViewAndCommandsReachItsDocument)
{
    CTestDoc doc;
    doc.m_bAutoDelete = FALSE;
    CCreateContext context;
    context.m_pCurrentDoc = &doc;
    auto* form = new CNameForm;
    ASSERT_TRUE(form->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 200), frame,
                             AFX_IDW_PANE_FIRST, &context));
    EXPECT_EQ(form->GetDocument(), &doc);
    auto* tree = new CTreeView;
    ASSERT_TRUE(tree->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(300, 0, 500, 200), frame,
                             AFX_IDW_PANE_FIRST + 1, &context));
    EXPECT_EQ(frame->GetActiveView(), nullptr);
    form->SendMessage(WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(frame->m_hWnd), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_EQ(frame->GetActiveView(), form);
    tree->SendMessage(WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(frame->m_hWnd), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_EQ(frame->GetActiveView(), tree);

    frame->SendMessage(WM_COMMAND, ID_FIXTURE_ACTION);
    EXPECT_EQ(std::count(g_log.begin(), g_log.end(), "document action"), 1);
    frame->DestroyWindow();
    EXPECT_EQ(doc.GetFirstViewPosition(), nullptr);
}

} // namespace
