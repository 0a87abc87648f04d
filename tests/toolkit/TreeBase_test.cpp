// The tree extension's rules over a real tree control: walks, find, item
// looks, and multi-selection by state, injected clicks and keys.
#include "tests/toolkit/ToolkitTestSupport.h"
#include "tests/toolkit/TreeHost.h"

#include "platform/base/Clock.h"
#include "platform/win/User.h"
#include "toolkit/controls/XTTreeView.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

using namespace tavrin;
using test::TreeHost;
using test::TreeParent;

namespace {

// Dispatches until the queue is empty; a WM_QUIT stops it and is answered.
int Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            return static_cast<int>(msg.wParam);
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return -1;
}

class TreeBaseTest : public test::ToolkitTest, protected TreeHost::Sample {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        ASSERT_TRUE(parent.Make(40, 40, 300, 400));
        ASSERT_TRUE(tree.Make(&parent, TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                              RECT{0, 0, 300, 400}));
        static_cast<TreeHost::Sample&>(*this) = tree.FillSample();
        second = tree.Insert("第二");
        tree.SetFocus();
        Pump();
    }
    void TearDown() override
    {
        tree.DestroyWindow();
        parent.DestroyWindow();
        Pump();
        ToolkitTest::TearDown();
    }
    // The screen point on an item's label.
    POINT OnLabel(HTREEITEM h)
    {
        RECT r{};
        std::memcpy(&r, &h, sizeof h);
        tree.SendMessage(TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
        POINT pt{r.left + 3, (r.top + r.bottom) / 2};
        tree.ClientToScreen(&pt);
        return pt;
    }
    // Presses far apart in time, so none makes a double click.
    void Press(bool down, win::MouseButton button = win::MouseButton::Left)
    {
        if (down)
            clock::Advance(1000);
        win::InjectMouseButton(button, down);
    }
    void ClickAt(POINT pt, win::MouseButton button = win::MouseButton::Left)
    {
        clock::Advance(1000);
        win::InjectClick(pt.x, pt.y, button);
    }
    void Click(HTREEITEM h, UINT modifier = 0, win::MouseButton button = win::MouseButton::Left)
    {
        const POINT pt = OnLabel(h);
        clock::Advance(1000);
        if (modifier)
            win::InjectKey(modifier, true);
        win::InjectClick(pt.x, pt.y, button);
        if (modifier)
            win::InjectKey(modifier, false);
        Pump();
    }
    void Key(UINT key, UINT modifier = 0)
    {
        if (modifier)
            win::InjectKey(modifier, true);
        win::InjectKey(key, true);
        win::InjectKey(key, false);
        if (modifier)
            win::InjectKey(modifier, false);
        Pump();
    }

    clock::ManualScope manual{1000000};
    TreeParent parent;
    TreeHost tree;
    HTREEITEM second{};
};

std::string Labels(TreeHost& tree, const std::vector<HTREEITEM>& items)
{
    std::string out;
    for (HTREEITEM h : items)
        out += (out.empty() ? "" : "|") + std::string(h ? tree.Text(h).GetString() : "NULL");
    return out;
}

} // namespace

TEST_F(TreeBaseTest, PreOrderWalksAndTheirEnds)
{
    std::vector<HTREEITEM> down;
    for (HTREEITEM h = school; h; h = tree.GetNextItem(h))
        down.push_back(h);
    EXPECT_EQ(Labels(tree, down), "班级|Alpha|alpha_one|ab cd|Beta ab|xab_|第二");
    std::vector<HTREEITEM> up;
    for (HTREEITEM h = second; h; h = tree.GetPrevItem(h))
        up.push_back(h);
    EXPECT_EQ(Labels(tree, up), "第二|xab_|Beta ab|ab cd|alpha_one|Alpha|班级");
    EXPECT_EQ(tree.GetLastItem(nullptr), second);
    EXPECT_EQ(tree.GetLastItem(school), xab);
    EXPECT_EQ(tree.GetLastItem(alpha), abcd);
    EXPECT_EQ(tree.GetLastItem(beta), beta);
    EXPECT_EQ(tree.GetPrevItem(alpha), school);
    EXPECT_EQ(tree.GetNextItem(second), nullptr);
    EXPECT_EQ(tree.GetPrevItem(school), nullptr);
    // The code form is the control's own.
    EXPECT_EQ(tree.GetNextItem(alpha, TVGN_NEXT), beta);
}

TEST_F(TreeBaseTest, FindTable)
{
    HTREEITEM gbk = tree.Insert("丄b", second);  // its only double-byte character ends in 'A'
    HTREEITEM word = tree.Insert("中ab中", second);
    struct Case {
        const char* pattern;
        BOOL matchCase, down, wholeWord;
        HTREEITEM* start;
        HTREEITEM* expected;
    } cases[] = {
        {"ALPHA", FALSE, TRUE, FALSE, &school, &alpha},
        {"ALPHA", TRUE, TRUE, FALSE, &school, nullptr},
        {"alpha", TRUE, TRUE, FALSE, &school, &alphaOne},
        {"alpha", FALSE, TRUE, FALSE, &alpha, &alphaOne},       // the start itself comes last, never
        {"alpha", FALSE, FALSE, FALSE, &alphaOne, &alpha},      // up
        {"ab", FALSE, TRUE, TRUE, &school, &abcd},              // "ab cd": followed by a space
        {"ab", FALSE, TRUE, TRUE, &abcd, &beta},                // "Beta ab": the second occurrence
        {"ab", FALSE, TRUE, TRUE, &beta, nullptr},              // xab_, 丄b and 中ab中 ... see below
        {"第二", FALSE, TRUE, FALSE, &xab, &second},
        {"班级", FALSE, TRUE, FALSE, &second, &school},          // wraps to the root
        {"第二", FALSE, FALSE, FALSE, &school, &second},         // wraps to the last item
        {"nothing", FALSE, TRUE, FALSE, &school, nullptr},
    };
    // Chinese neighbours are not letters: 中ab中 is a whole word.
    cases[7].expected = &word;
    for (const Case& c : cases) {
        HTREEITEM found = tree.FindItem(c.pattern, c.matchCase, c.down, c.wholeWord, *c.start);
        EXPECT_EQ(found, c.expected ? *c.expected : nullptr)
            << c.pattern << " from " << tree.Text(*c.start) << " found " << (found ? tree.Text(found).GetString() : "NULL");
    }
    // A lower-cased pattern never meets the trail byte 'A'.
    HTREEITEM other = tree.Insert("其他");
    HTREEITEM lone = tree.Insert("丄b", other);
    EXPECT_EQ(tree.FindItemInBranch("a", FALSE, FALSE, other), nullptr);
    EXPECT_EQ(tree.FindItemInBranch("Ab", TRUE, FALSE, other), nullptr);
    EXPECT_EQ(tree.FindItemInBranch("B", FALSE, FALSE, other), lone);
    // The whole-word test sees the character 丄 before "ab", not its trail byte 'A'.
    HTREEITEM afterTrail = tree.Insert("丄ab", other);
    EXPECT_EQ(tree.FindItemInBranch("ab", FALSE, TRUE, other), afterTrail);
    EXPECT_EQ(tree.FindItem("丄", FALSE, TRUE, FALSE, school), gbk);
    // The caret is the default start.
    tree.SelectItem(alpha);
    EXPECT_EQ(tree.FindItem("ab"), abcd);
    // Depth first: a child's descendants before the child.
    EXPECT_EQ(tree.FindItemInBranch("a", FALSE, FALSE, school), alphaOne);
    EXPECT_EQ(tree.FindItemInBranch("ab", FALSE, TRUE, school), abcd);
    EXPECT_EQ(tree.FindItemInBranch("alpha", FALSE, TRUE, school), alpha);
    EXPECT_EQ(tree.FindItemInBranch("第二", FALSE, FALSE, school), nullptr);
}

TEST_F(TreeBaseTest, BoldColoursAndFontsPerItem)
{
    tree.SetItemBold(school);
    EXPECT_TRUE(tree.GetItemBold(school));
    EXPECT_FALSE(tree.GetItemBold(alpha));
    tree.SetItemBold(school, FALSE);
    EXPECT_FALSE(tree.GetItemBold(school));

    EXPECT_EQ(tree.GetItemColor(beta), 0xFFFFFFFFu);
    tree.SetItemColor(beta, RGB(200, 0, 0));
    EXPECT_EQ(tree.GetItemColor(beta), RGB(200, 0, 0));
    LOGFONT lf{};
    EXPECT_FALSE(tree.GetItemFont(beta, &lf)); // a colour alone sets no font
    std::strcpy(lf.lfFaceName, "宋体");
    lf.lfHeight = -14;
    tree.SetItemFont(xab, &lf);
    LOGFONT back{};
    EXPECT_TRUE(tree.GetItemFont(xab, &back));
    EXPECT_STREQ(back.lfFaceName, "宋体");
    EXPECT_EQ(tree.GetItemColor(xab), 0xFFFFFFFFu); // a font alone sets no colour
    // Deleting an item forgets its look; a new item at the same handle starts plain.
    tree.SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(beta));
    EXPECT_EQ(tree.GetItemColor(beta), 0xFFFFFFFFu);
}

TEST_F(TreeBaseTest, StateKeepsSelectionApartFromTheCaret)
{
    tree.EnableMultiSelect(TRUE);
    EXPECT_TRUE(tree.SelectItem(alpha));
    EXPECT_TRUE(tree.SetItemState(beta, TVIS_SELECTED, TVIS_SELECTED));
    EXPECT_EQ(tree.Selection(), "Alpha|Beta ab");
    EXPECT_EQ(tree.GetItemState(alpha, TVIS_FOCUSED), static_cast<UINT>(TVIS_FOCUSED));
    // Moving the focus keeps both selected and selects nothing new.
    EXPECT_TRUE(tree.FocusItem(xab));
    EXPECT_EQ(tree.GetFocusedItem(), xab);
    EXPECT_EQ(tree.Selection(), "Alpha|Beta ab");
    EXPECT_EQ(tree.GetItemState(xab, TVIS_FOCUSED | TVIS_SELECTED), static_cast<UINT>(TVIS_FOCUSED));
    // Taking the focus away keeps the selection.
    EXPECT_TRUE(tree.FocusItem(nullptr));
    EXPECT_EQ(tree.GetFocusedItem(), nullptr);
    EXPECT_EQ(tree.Selection(), "Alpha|Beta ab");
    // The parent may refuse a change.
    parent.vetoSelection = TRUE;
    EXPECT_FALSE(tree.SetItemState(abcd, TVIS_SELECTED, TVIS_SELECTED));
    parent.vetoSelection = FALSE;
    EXPECT_EQ(tree.Selection(), "Alpha|Beta ab");
    // Ranges in either order, alone or added.
    tree.SelectItems(beta, alphaOne, TRUE);
    EXPECT_EQ(tree.Selection(), "alpha_one|ab cd|Beta ab");
    tree.SelectItems(second, xab, FALSE);
    EXPECT_EQ(tree.Selection(), "alpha_one|ab cd|Beta ab|xab_|第二");
    EXPECT_EQ(tree.GetPrevSelectedItem(xab), beta);
    tree.SelectAllIgnore(FALSE, beta);
    EXPECT_EQ(tree.Selection(), "Beta ab");
    tree.SelectAll();
    EXPECT_EQ(tree.Selection(), "班级|Alpha|alpha_one|ab cd|Beta ab|xab_|第二");
    CPtrList list;
    tree.GetSelectedList(list);
    EXPECT_EQ(list.GetCount(), 7);
    // Children, with the caret among them.
    tree.FocusItem(alphaOne);
    EXPECT_TRUE(tree.SelectChildren(alpha, FALSE, TRUE));
    EXPECT_FALSE(tree.SelectChildren(school, TRUE, FALSE));
    EXPECT_EQ(tree.Selection(), "班级|Alpha|Beta ab|xab_|第二");
    // Back to single selection: the caret alone, and only when it was selected.
    tree.FocusItem(xab);
    tree.EnableMultiSelect(FALSE);
    EXPECT_EQ(tree.Selection(), "xab_");
    EXPECT_EQ(tree.GetFocusedItem(), xab);
}

TEST_F(TreeBaseTest, CollapsingABranchWithTheFocusInside)
{
    tree.EnableMultiSelect(TRUE);
    tree.SelectItem(abcd);
    tree.SetItemState(alphaOne, TVIS_SELECTED, TVIS_SELECTED);
    tree.SetItemState(beta, TVIS_SELECTED, TVIS_SELECTED);
    tree.SendMessage(TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(alpha));
    Pump();
    EXPECT_EQ(tree.GetFocusedItem(), alpha);
    EXPECT_EQ(tree.Selection(), "Beta ab");
    EXPECT_FALSE(tree.GetItemState(alphaOne, TVIS_SELECTED) & TVIS_SELECTED);
}

TEST_F(TreeBaseTest, ClicksWithCtrlAndShift)
{
    tree.EnableMultiSelect(TRUE);
    Click(alpha);
    EXPECT_EQ(tree.Selection(), "Alpha");
    EXPECT_EQ(tree.GetFocusedItem(), alpha);
    Click(beta, VK_CONTROL);
    EXPECT_EQ(tree.Selection(), "Alpha|Beta ab");
    EXPECT_EQ(tree.GetFocusedItem(), beta);
    Click(alpha, VK_CONTROL); // toggles off
    EXPECT_EQ(tree.Selection(), "Beta ab");
    Click(beta); // the caret and the anchor to come
    Click(alphaOne, VK_SHIFT);
    EXPECT_EQ(tree.Selection(), "alpha_one|ab cd|Beta ab");
    EXPECT_EQ(tree.GetFocusedItem(), alphaOne);
    Click(xab, VK_SHIFT); // the anchor stays
    EXPECT_EQ(tree.Selection(), "Beta ab|xab_");
    Click(alphaOne, VK_CONTROL);
    EXPECT_EQ(tree.Selection(), "alpha_one|Beta ab|xab_");
    win::InjectKey(VK_CONTROL, true);
    Click(abcd, VK_SHIFT); // Shift with Ctrl adds the range from the caret
    win::InjectKey(VK_CONTROL, false);
    EXPECT_EQ(tree.Selection(), "alpha_one|ab cd|Beta ab|xab_");
    Click(abcd); // a plain click: that item alone
    EXPECT_EQ(tree.Selection(), "ab cd");
    EXPECT_EQ(tree.Anchor(), nullptr);
    const auto clicks = std::count(parent.codes.begin(), parent.codes.end(), static_cast<UINT>(NM_CLICK));
    EXPECT_EQ(clicks, 9);
}

TEST_F(TreeBaseTest, ArrowKeysMoveSelectExtendOrOnlyFocus)
{
    tree.EnableMultiSelect(TRUE);
    Click(alpha);
    Key(VK_DOWN);
    EXPECT_EQ(tree.Selection(), "alpha_one");
    Key(VK_DOWN, VK_SHIFT);
    Key(VK_DOWN, VK_SHIFT);
    EXPECT_EQ(tree.Selection(), "alpha_one|ab cd|Beta ab");
    EXPECT_EQ(tree.GetFocusedItem(), beta);
    Key(VK_UP, VK_SHIFT);
    EXPECT_EQ(tree.Selection(), "alpha_one|ab cd");
    Key(VK_DOWN, VK_CONTROL);
    Key(VK_DOWN, VK_CONTROL);
    EXPECT_EQ(tree.GetFocusedItem(), xab);
    EXPECT_EQ(tree.Selection(), "alpha_one|ab cd");
    // A plain arrow with several selected clears them and moves on.
    Key(VK_UP);
    EXPECT_EQ(tree.Selection(), "Beta ab");
    EXPECT_EQ(tree.GetFocusedItem(), beta);
}

TEST_F(TreeBaseTest, RightClickSelectsUnselectedItemAndClearsOnEmptySpace)
{
    for (BOOL multi : {TRUE, FALSE}) {
        SCOPED_TRACE(multi);
        tree.EnableMultiSelect(multi);
        tree.SelectItem(alpha);
        if (multi)
            tree.SetItemState(beta, TVIS_SELECTED, TVIS_SELECTED);
        parent.codes.clear();
        parent.contextMenus = 0;
        Click(xab, 0, win::MouseButton::Right);
        EXPECT_EQ(tree.Selection(), "xab_");
        EXPECT_EQ(tree.GetFocusedItem(), xab);
        EXPECT_EQ(std::count(parent.codes.begin(), parent.codes.end(), static_cast<UINT>(NM_RCLICK)), 1);
        EXPECT_EQ(parent.contextMenus, 1);
        // Below the last item.
        POINT pt{100, 380};
        tree.ClientToScreen(&pt);
        ClickAt(pt, win::MouseButton::Right);
        Pump();
        EXPECT_EQ(tree.Selection(), multi ? "" : "xab_");
        EXPECT_EQ(std::count(parent.codes.begin(), parent.codes.end(), static_cast<UINT>(NM_RCLICK)), 2);
    }
}

TEST_F(TreeBaseTest, PlainClickOnEmptySpaceClearsAndModifiersKeep)
{
    tree.EnableMultiSelect(TRUE);
    tree.SelectItems(alpha, beta, TRUE);
    POINT pt{150, 380};
    tree.ClientToScreen(&pt);
    win::InjectKey(VK_CONTROL, true);
    ClickAt(pt);
    win::InjectKey(VK_CONTROL, false);
    Pump();
    EXPECT_EQ(tree.Selection(), "Alpha|alpha_one|ab cd|Beta ab");
    ClickAt(pt);
    Pump();
    EXPECT_EQ(tree.Selection(), "");
}

TEST_F(TreeBaseTest, RubberBandSelectsAndEndsOnQuit)
{
    tree.EnableMultiSelect(TRUE);
    tree.SelectItem(second);
    // From empty space right of "Alpha" down over three rows.
    POINT from = OnLabel(alpha);
    from.x += 120;
    POINT to = OnLabel(beta);
    win::InjectMouseMove(from.x, from.y);
    Press(true);
    win::InjectMouseMove(from.x - 115, from.y + 3);
    win::InjectMouseMove(to.x, to.y);
    Press(false);
    Pump();
    EXPECT_EQ(tree.Selection(), "Alpha|alpha_one|ab cd|Beta ab");
    // Ctrl keeps what was selected and flips what the band covers.
    POINT top = OnLabel(alpha);
    top.x += 120;
    win::InjectKey(VK_CONTROL, true);
    win::InjectMouseMove(top.x, top.y);
    Press(true);
    win::InjectMouseMove(top.x - 115, top.y + 3);
    win::InjectMouseMove(OnLabel(alphaOne).x, OnLabel(alphaOne).y);
    Press(false);
    win::InjectKey(VK_CONTROL, false);
    Pump();
    EXPECT_EQ(tree.Selection(), "ab cd|Beta ab");
    // A quit met while the band runs ends it and stays for the outer loop.
    parent.quitOnChange = 7;
    win::InjectMouseMove(top.x, top.y);
    Press(true);
    win::InjectMouseMove(top.x - 115, top.y + 3); // the band starts: the selection goes
    win::InjectMouseMove(top.x - 115, top.y + 40);
    EXPECT_EQ(Pump(), 7);
    EXPECT_EQ(GetCapture(), nullptr);
    // The band is over: moving on selects nothing more.
    const std::string after = tree.Selection();
    win::InjectMouseMove(top.x - 115, top.y + 90);
    Press(false);
    Pump();
    EXPECT_EQ(tree.Selection(), after);
}

TEST_F(TreeBaseTest, EnterTogglesTheCaretAndEditKeysGoToTheEditor)
{
    tree.SelectItem(alpha);
    MSG enter{tree.GetSafeHwnd(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_FALSE(tree.PreTranslateMessage(&enter));
    EXPECT_FALSE(tree.GetItemState(alpha, TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_FALSE(tree.PreTranslateMessage(&enter));
    EXPECT_TRUE(tree.GetItemState(alpha, TVIS_EXPANDED) & TVIS_EXPANDED);

    tree.ModifyStyle(0, TVS_EDITLABELS);
    HWND edit = reinterpret_cast<HWND>(tree.SendMessage(TVM_EDITLABEL, 0, reinterpret_cast<LPARAM>(beta)));
    ASSERT_TRUE(edit);
    SetWindowTextA(edit, "Gamma");
    MSG key{edit, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(tree.PreTranslateMessage(&key));
    Pump();
    EXPECT_FALSE(tree.SendMessage(TVM_GETEDITCONTROL));
    EXPECT_TRUE(std::count(parent.codes.begin(), parent.codes.end(), static_cast<UINT>(TVN_ENDLABELEDIT)));
    // Esc cancels the same way.
    edit = reinterpret_cast<HWND>(tree.SendMessage(TVM_EDITLABEL, 0, reinterpret_cast<LPARAM>(beta)));
    ASSERT_TRUE(edit);
    MSG esc{edit, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_TRUE(tree.PreTranslateMessage(&esc));
    EXPECT_FALSE(tree.SendMessage(TVM_GETEDITCONTROL));
}

TEST_F(TreeBaseTest, TheTreeViewCarriesTheExtension)
{
    auto* view = static_cast<CXTTreeView*>(RUNTIME_CLASS(CXTTreeView)->CreateObject());
    ASSERT_TRUE(view);
    ASSERT_TRUE(view->Create(nullptr, "", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS, CRect(0, 0, 300, 400), &parent, 101,
                             nullptr));
    EXPECT_TRUE(view->GetStyle() & WS_BORDER);
    tree.ShowWindow(SW_HIDE);
    CTreeCtrl& ctrl = view->GetTreeCtrl();
    HTREEITEM one = ctrl.InsertItem("一");
    HTREEITEM two = ctrl.InsertItem("二");
    view->SetItemBold(one);
    EXPECT_TRUE(ctrl.GetItemState(one, TVIS_BOLD) & TVIS_BOLD);
    EXPECT_EQ(view->FindItem("二", FALSE, TRUE, FALSE, one), two);
    view->EnableMultiSelect(TRUE);
    view->SetFocus();
    for (HTREEITEM h : {one, two}) {
        RECT r{};
        ctrl.GetItemRect(h, &r, TRUE);
        POINT pt{r.left + 2, (r.top + r.bottom) / 2};
        view->ClientToScreen(&pt);
        clock::Advance(1000);
        win::InjectKey(VK_CONTROL, true);
        win::InjectClick(pt.x, pt.y);
        win::InjectKey(VK_CONTROL, false);
        Pump();
    }
    EXPECT_EQ(view->GetFirstSelectedItem(), one);
    EXPECT_EQ(view->GetNextSelectedItem(one), two);
    // The tree's deletion reaches the extension through the reflected notification.
    view->SetItemColor(two, RGB(1, 2, 3));
    ctrl.DeleteItem(two);
    EXPECT_EQ(view->GetItemColor(two), 0xFFFFFFFFu);
    view->UpdateWindow();
    view->DestroyWindow();
}
