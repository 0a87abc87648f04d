// The tree, list, header and tab wrappers on a framework window: their
// notifications reach the parent's message map (and the control's own
// reflected handlers) in order, and the parent's answers hold.
#include "platform/mfc/ListCtrl.h"
#include "platform/mfc/TabCtrl.h"
#include "platform/mfc/TreeCtrl.h"
#include "platform/mfc/WinApp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_log;

void PumpAll()
{
    MSG msg;
    for (int guard = 0; guard < 10000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++guard) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void ClickIn(HWND hwnd, int x, int y)
{
    POINT pt{x, y};
    ClientToScreen(hwnd, &pt);
    tavrin::win::InjectClick(pt.x, pt.y);
    PumpAll();
}

// The account tree's way: it refuses to open a branch in its own handler.
class CGuardedTree : public CTreeCtrl {
public:
    BOOL m_refuseExpand = FALSE;
    void OnItemExpanding(NMHDR* hdr, LRESULT* result)
    {
        g_log.push_back("tree reflected expanding " + std::to_string(reinterpret_cast<NMTREEVIEW*>(hdr)->action));
        *result = m_refuseExpand;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CGuardedTree, CTreeCtrl)
    ON_NOTIFY_REFLECT(TVN_ITEMEXPANDINGA, OnItemExpanding)
END_MESSAGE_MAP()

class CHostWnd : public CWnd {
public:
    BOOL m_refuseSelection = FALSE;
    BOOL m_refuseTab = FALSE;
    BOOL m_refuseWidth = FALSE;
    void OnTreeSelChanging(NMHDR*, LRESULT* result)
    {
        g_log.push_back("tree selchanging");
        *result = m_refuseSelection;
    }
    void OnTreeSelChanged(NMHDR* hdr, LRESULT* result)
    {
        g_log.push_back("tree selchanged " + std::to_string(reinterpret_cast<NMTREEVIEW*>(hdr)->action));
        *result = 0;
    }
    void OnTreeExpanded(NMHDR*, LRESULT*) { g_log.push_back("tree expanded"); }
    void OnListChanged(NMHDR* hdr, LRESULT*)
    {
        auto* nm = reinterpret_cast<NMLISTVIEW*>(hdr);
        g_log.push_back("list changed " + std::to_string(nm->iItem) + " " + std::to_string(nm->uNewState));
    }
    void OnListClick(NMHDR*, LRESULT*) { g_log.push_back("list click"); }
    void OnHeaderChanging(NMHDR*, LRESULT* result)
    {
        g_log.push_back("header changing");
        *result = m_refuseWidth;
    }
    void OnHeaderChanged(NMHDR*, LRESULT*) { g_log.push_back("header changed"); }
    void OnHeaderClick(NMHDR* hdr, LRESULT*)
    {
        g_log.push_back("header click " + std::to_string(reinterpret_cast<NMHEADER*>(hdr)->iItem));
    }
    void OnTabChanging(NMHDR*, LRESULT* result)
    {
        g_log.push_back("tab changing");
        *result = m_refuseTab;
    }
    void OnTabChange(NMHDR*, LRESULT*) { g_log.push_back("tab change"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHostWnd, CWnd)
    ON_NOTIFY(TVN_SELCHANGINGA, 1, OnTreeSelChanging)
    ON_NOTIFY(TVN_SELCHANGEDA, 1, OnTreeSelChanged)
    ON_NOTIFY(TVN_ITEMEXPANDEDA, 1, OnTreeExpanded)
    ON_NOTIFY(LVN_ITEMCHANGED, 2, OnListChanged)
    ON_NOTIFY(NM_CLICK, 2, OnListClick)
    ON_NOTIFY(HDN_ITEMCHANGINGA, 0, OnHeaderChanging)
    ON_NOTIFY(HDN_ITEMCHANGEDA, 0, OnHeaderChanged)
    ON_NOTIFY(HDN_ITEMCLICKA, 0, OnHeaderClick)
    ON_NOTIFY(TCN_SELCHANGING, 3, OnTabChanging)
    ON_NOTIFY(TCN_SELCHANGE, 3, OnTabChange)
END_MESSAGE_MAP()

struct Wrappers : ::testing::Test {
    CHostWnd host;
    void SetUp() override
    {
        g_log.clear();
        ASSERT_TRUE(host.CreateEx(0, nullptr, "host", WS_POPUP | WS_VISIBLE, 0, 0, 500, 400, nullptr, nullptr));
        SetForegroundWindow(host.m_hWnd);
        PumpAll();
    }
    void TearDown() override
    {
        host.DestroyWindow();
        PumpAll();
    }
};

} // namespace

TEST_F(Wrappers, TreeNotificationsThroughTheMapsAndReflection)
{
    CGuardedTree tree;
    ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT, CRect(0, 0, 200, 200), &host, 1));
    HTREEITEM account = tree.InsertItem("账号");
    HTREEITEM cls = tree.InsertItem("班级", account);
    tree.SetItemData(cls, 77);
    EXPECT_EQ(tree.GetItemData(cls), 77u);
    EXPECT_EQ(tree.GetParentItem(cls), account);
    EXPECT_TRUE(tree.ItemHasChildren(account));
    EXPECT_EQ(tree.GetItemText(account), CString("账号"));
    CToolTipCtrl* tip = tree.GetToolTips();
    ASSERT_TRUE(tip);
    EXPECT_TRUE(tip->IsKindOf(RUNTIME_CLASS(CToolTipCtrl)));

    tree.m_refuseExpand = TRUE;
    EXPECT_FALSE(tree.Expand(account, TVE_EXPAND));
    EXPECT_EQ(tree.GetItemState(account, TVIS_EXPANDED), 0u);
    tree.m_refuseExpand = FALSE;
    EXPECT_TRUE(tree.Expand(account, TVE_EXPAND));
    host.m_refuseSelection = TRUE;
    EXPECT_FALSE(tree.SelectItem(cls));
    EXPECT_EQ(tree.GetSelectedItem(), nullptr);
    host.m_refuseSelection = FALSE;
    EXPECT_TRUE(tree.SelectItem(cls));
    EXPECT_EQ(tree.GetSelectedItem(), cls);
    const std::vector<std::string> expected = {
        "tree reflected expanding 2", "tree reflected expanding 2", "tree expanded",
        "tree selchanging",           "tree selchanging",           "tree selchanged 0",
    };
    EXPECT_EQ(g_log, expected);

    // The label editor is an edit object; Esc through it cancels.
    CEdit* edit = tree.EditLabel(cls);
    ASSERT_TRUE(edit);
    EXPECT_EQ(tree.GetEditControl(), edit);
    edit->SendMessage(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(tree.GetEditControl(), nullptr);
    tree.DestroyWindow();
}

TEST_F(Wrappers, ListAndItsHeaderThroughTheParentsMap)
{
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, CRect(0, 0, 300, 200), &host, 2));
    list.SetExtendedStyle(list.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    EXPECT_EQ(list.InsertColumn(0, "标题", LVCFMT_LEFT, 120), 0);
    EXPECT_EQ(list.InsertColumn(1, "作者", LVCFMT_LEFT, 80), 1);
    for (int i = 0; i < 5; ++i)
        list.InsertItem(i, ("行" + std::to_string(i)).c_str());
    list.SetItemText(2, 1, "张三");
    EXPECT_EQ(list.GetItemText(2, 1), CString("张三"));
    CHeaderCtrl* header = list.GetHeaderCtrl();
    ASSERT_TRUE(header);
    EXPECT_EQ(header->GetItemCount(), 2);
    g_log.clear();

    list.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
    list.SetItemState(-1, 0, LVIS_SELECTED);
    host.m_refuseWidth = TRUE;
    EXPECT_FALSE(list.SetColumnWidth(1, 50));
    EXPECT_EQ(list.GetColumnWidth(1), 80);
    host.m_refuseWidth = FALSE;
    EXPECT_TRUE(list.SetColumnWidth(1, 50));
    EXPECT_EQ(list.GetColumnWidth(1), 50);
    RECT headerRect;
    header->GetItemRect(1, &headerRect);
    ClickIn(header->m_hWnd, headerRect.left + 20, 5);
    const std::vector<std::string> expected = {
        "list changed 3 2", "list changed -1 0", "header changing", "header changing", "header changed",
        "header click 1",
    };
    EXPECT_EQ(g_log, expected);

    g_log.clear();
    RECT row;
    list.GetItemRect(1, &row, LVIR_BOUNDS);
    ClickIn(list.m_hWnd, 150, (row.top + row.bottom) / 2);
    EXPECT_EQ(g_log, (std::vector<std::string>{"list changed 1 3", "list click"}));
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR32, 0, 1));
    EXPECT_EQ(list.SetImageList(&images, LVSIL_SMALL), nullptr);
    EXPECT_EQ(list.GetImageList(LVSIL_SMALL), &images);
    POSITION pos = list.GetFirstSelectedItemPosition();
    ASSERT_TRUE(pos);
    EXPECT_EQ(list.GetNextSelectedItem(pos), 1);
    EXPECT_FALSE(pos);
    list.DestroyWindow();
}

TEST_F(Wrappers, TabSwitchingAsksThroughTheParentsMap)
{
    CTabCtrl tabs;
    ASSERT_TRUE(tabs.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 150), &host, 3));
    tabs.InsertItem(0, "留言");
    tabs.InsertItem(1, "照片");
    EXPECT_EQ(tabs.GetItemCount(), 2);
    EXPECT_EQ(tabs.SetCurSel(1), 0);
    EXPECT_TRUE(g_log.empty()) << "a program's choice is silent";
    RECT first;
    tabs.GetItemRect(0, &first);
    host.m_refuseTab = TRUE;
    ClickIn(tabs.m_hWnd, first.left + 5, first.top + 5);
    EXPECT_EQ(tabs.GetCurSel(), 1);
    host.m_refuseTab = FALSE;
    ClickIn(tabs.m_hWnd, first.left + 5, first.top + 5);
    EXPECT_EQ(tabs.GetCurSel(), 0);
    EXPECT_EQ(g_log, (std::vector<std::string>{"tab changing", "tab changing", "tab change"}));
    tabs.DestroyWindow();
}
