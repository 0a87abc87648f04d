#include "NotifyHost.h"

#include "platform/controls/ListViewScroll.h"
#include "platform/base/Clock.h"
#include "platform/controls/TreeView.h"

#include <gtest/gtest.h>

#include <string>

using namespace tavrin::test;

namespace {

struct TreeFixture : ::testing::Test {
    NotifyHost host{400, 300};
    HWND tree = nullptr;
    HTREEITEM a = nullptr, a1 = nullptr, a2 = nullptr, b = nullptr, b1 = nullptr, c = nullptr;

    void SetUp() override { Make(TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS); }
    void Make(DWORD style)
    {
        if (tree)
            DestroyWindow(tree);
        tree = host.CreateControl(WC_TREEVIEWA, style, RECT{0, 0, 200, 150});
        ASSERT_TRUE(tree);
        a = Add(TVI_ROOT, "甲班", 1);
        a1 = Add(a, "一组", 11);
        a2 = Add(a, "二组", 12);
        b = Add(TVI_ROOT, "乙班", 2);
        b1 = Add(b, "三组", 21);
        c = Add(TVI_ROOT, "丙班", 3);
        PumpAll();
        host.Clear();
    }
    HTREEITEM Add(HTREEITEM parent, const char* text, LPARAM data)
    {
        TVINSERTSTRUCTA in{};
        in.hParent = parent;
        in.hInsertAfter = TVI_LAST;
        in.item.mask = TVIF_TEXT | TVIF_PARAM;
        in.item.pszText = const_cast<char*>(text);
        in.item.lParam = data;
        return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&in)));
    }
    HTREEITEM Next(HTREEITEM item, UINT code)
    {
        return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
    }
    HTREEITEM Caret() { return Next(nullptr, TVGN_CARET); }
    BOOL Select(HTREEITEM item) { return static_cast<BOOL>(SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item))); }
    BOOL Expand(HTREEITEM item, UINT action) { return static_cast<BOOL>(SendMessageA(tree, TVM_EXPAND, action, reinterpret_cast<LPARAM>(item))); }
    RECT LabelRect(HTREEITEM item)
    {
        RECT rc{};
        *reinterpret_cast<HTREEITEM*>(&rc) = item;
        SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rc));
        return rc;
    }
    POINT LabelPoint(HTREEITEM item)
    {
        const RECT rc = LabelRect(item);
        return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }
};

} // namespace

TEST_F(TreeFixture, ItemsKeepUnknownStateBitsAndWalkInEveryCode)
{
    TVITEMA item{};
    item.mask = TVIF_STATE;
    item.hItem = b;
    item.state = 0x10000 | TVIS_BOLD;
    item.stateMask = 0x10000 | TVIS_BOLD;
    ASSERT_TRUE(SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(b), 0xFFFFFFFF), 0x10000 | TVIS_BOLD);
    char text[5];
    TVITEMA get{};
    get.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN;
    get.hItem = a;
    get.pszText = text;
    get.cchTextMax = sizeof text; // room for two characters, never one and a half
    ASSERT_TRUE(SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&get)));
    EXPECT_STREQ(text, "甲班");
    EXPECT_EQ(get.lParam, 1);
    EXPECT_EQ(get.cChildren, 1);
    EXPECT_EQ(SendMessageA(tree, TVM_GETCOUNT, 0, 0), 6);

    Expand(a, TVE_EXPAND);
    host.Clear();
    struct Case {
        HTREEITEM from;
        UINT code;
        HTREEITEM expected;
    } cases[] = {
        {nullptr, TVGN_ROOT, a},         {a, TVGN_NEXT, b},           {c, TVGN_NEXT, nullptr},
        {b, TVGN_PREVIOUS, a},           {a1, TVGN_PARENT, a},        {a, TVGN_PARENT, nullptr},
        {a, TVGN_CHILD, a1},             {nullptr, TVGN_CHILD, a},    {nullptr, TVGN_FIRSTVISIBLE, a},
        {a, TVGN_NEXTVISIBLE, a1},       {a2, TVGN_NEXTVISIBLE, b},   {b, TVGN_PREVIOUSVISIBLE, a2},
        {b1, TVGN_NEXTVISIBLE, nullptr}, {nullptr, TVGN_LASTVISIBLE, c}, {nullptr, TVGN_CARET, nullptr},
        {nullptr, TVGN_DROPHILITE, nullptr},
    };
    for (const Case& k : cases)
        EXPECT_EQ(Next(k.from, k.code), k.expected) << "code " << k.code;
    SendMessageA(tree, TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<LPARAM>(c));
    EXPECT_EQ(Next(nullptr, TVGN_DROPHILITE), c);
    EXPECT_EQ(SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(c), TVIS_DROPHILITED), TVIS_DROPHILITED);
    EXPECT_TRUE(host.Codes().empty()) << "drop highlighting is silent";
}

TEST_F(TreeFixture, SelectionNotifiesAtOnceAndARefusalKeepsTheCaret)
{
    std::vector<std::tuple<UINT, UINT, HTREEITEM, HTREEITEM>> seen;
    host.m_inspect = [&](NMHDR* hdr, LRESULT*) {
        if (hdr->code == TVN_SELCHANGINGA || hdr->code == TVN_SELCHANGEDA) {
            auto* nm = reinterpret_cast<NMTREEVIEWA*>(hdr);
            seen.emplace_back(hdr->code, nm->action, nm->itemOld.hItem, nm->itemNew.hItem);
        }
        return false;
    };
    ASSERT_TRUE(Select(b));
    using Seen = std::vector<std::tuple<UINT, UINT, HTREEITEM, HTREEITEM>>;
    EXPECT_EQ(seen, (Seen{{TVN_SELCHANGINGA, TVC_UNKNOWN, nullptr, b}, {TVN_SELCHANGEDA, TVC_UNKNOWN, nullptr, b}}));
    EXPECT_EQ(Caret(), b);
    EXPECT_EQ(SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(b), TVIS_SELECTED), TVIS_SELECTED);

    seen.clear();
    host.m_answers[TVN_SELCHANGINGA] = TRUE;
    EXPECT_FALSE(Select(c));
    EXPECT_EQ(seen, (Seen{{TVN_SELCHANGINGA, TVC_UNKNOWN, b, c}}));
    EXPECT_EQ(Caret(), b);
    host.m_answers.clear();

    // Selecting an item inside a closed branch opens it.
    seen.clear();
    host.Clear();
    ASSERT_TRUE(Select(a2));
    EXPECT_EQ(host.Codes(), (std::vector<UINT>{TVN_SELCHANGINGA, TVN_ITEMEXPANDINGA, TVN_ITEMEXPANDEDA, TVN_SELCHANGEDA}));
    ASSERT_TRUE(Select(nullptr));
    EXPECT_EQ(Caret(), nullptr);
    EXPECT_EQ(SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(a2), TVIS_SELECTED), 0);
}

TEST_F(TreeFixture, ExpandInEveryActionAndARefusalKeepsItClosed)
{
    auto expanded = [&](HTREEITEM item) {
        return SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) != 0;
    };
    std::vector<UINT> actions;
    host.m_inspect = [&](NMHDR* hdr, LRESULT*) {
        if (hdr->code == TVN_ITEMEXPANDINGA || hdr->code == TVN_ITEMEXPANDEDA)
            actions.push_back(reinterpret_cast<NMTREEVIEWA*>(hdr)->action);
        return false;
    };
    host.m_answers[TVN_ITEMEXPANDINGA] = TRUE;
    EXPECT_FALSE(Expand(a, TVE_EXPAND));
    EXPECT_FALSE(expanded(a));
    EXPECT_EQ(host.Codes(), (std::vector<UINT>{TVN_ITEMEXPANDINGA}));
    host.m_answers.clear();
    host.Clear();
    actions.clear();

    EXPECT_TRUE(Expand(a, TVE_EXPAND));
    EXPECT_TRUE(expanded(a));
    EXPECT_TRUE(Expand(a, TVE_TOGGLE));
    EXPECT_FALSE(expanded(a));
    EXPECT_TRUE(Expand(a, TVE_TOGGLE));
    EXPECT_TRUE(Expand(a, TVE_COLLAPSE));
    EXPECT_FALSE(expanded(a));
    EXPECT_EQ(actions, (std::vector<UINT>{TVE_EXPAND, TVE_EXPAND, TVE_COLLAPSE, TVE_COLLAPSE, TVE_EXPAND, TVE_EXPAND,
                                          TVE_COLLAPSE, TVE_COLLAPSE}));
    EXPECT_FALSE(Expand(c, TVE_EXPAND)) << "no children";

    // Collapsing the branch that holds the caret brings it up; a reset drops the children.
    Select(b1);
    host.Clear();
    std::vector<HTREEITEM> deleted;
    host.m_inspect = [&](NMHDR* hdr, LRESULT*) {
        if (hdr->code == TVN_DELETEITEMA)
            deleted.push_back(reinterpret_cast<NMTREEVIEWA*>(hdr)->itemOld.hItem);
        return false;
    };
    EXPECT_TRUE(Expand(b, TVE_COLLAPSE | TVE_COLLAPSERESET));
    EXPECT_EQ(Caret(), b);
    EXPECT_EQ(host.Codes(), (std::vector<UINT>{TVN_ITEMEXPANDINGA, TVN_SELCHANGINGA, TVN_SELCHANGEDA, TVN_DELETEITEMA,
                                               TVN_ITEMEXPANDEDA}));
    EXPECT_EQ(deleted, (std::vector<HTREEITEM>{b1}));
    EXPECT_EQ(Next(b, TVGN_CHILD), nullptr);

    // Deleting the caret's item moves the caret to its neighbour.
    host.Clear();
    EXPECT_TRUE(SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(b)));
    EXPECT_EQ(Caret(), c);
    EXPECT_EQ(host.Codes(), (std::vector<UINT>{TVN_DELETEITEMA, TVN_SELCHANGINGA, TVN_SELCHANGEDA}));
}

TEST_F(TreeFixture, HitTestFlagsAndRectangles)
{
    Expand(a, TVE_EXPAND);
    const RECT label = LabelRect(a1);
    RECT full{};
    *reinterpret_cast<HTREEITEM*>(&full) = a1;
    ASSERT_TRUE(SendMessageA(tree, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&full)));
    EXPECT_EQ(full.left, 0);
    EXPECT_EQ(full.right, 200);
    EXPECT_EQ(full.top, label.top);
    const int indent = static_cast<int>(SendMessageA(tree, TVM_GETINDENT, 0, 0));
    EXPECT_EQ(label.left, 2 * indent) << "level 1 with room for the root's buttons";
    const int y = (label.top + label.bottom) / 2;
    const RECT rootLabel = LabelRect(a);
    const int ry = (rootLabel.top + rootLabel.bottom) / 2;
    struct Case {
        POINT pt;
        UINT flags;
        HTREEITEM item;
    } cases[] = {
        {{label.left + 3, y}, TVHT_ONITEMLABEL, a1},
        {{label.right + 5, y}, TVHT_ONITEMRIGHT, a1},
        {{3, y}, TVHT_ONITEMINDENT, a1},
        {{indent / 2, ry}, TVHT_ONITEMBUTTON, a},
        {{50, 145}, TVHT_NOWHERE, nullptr},
        {{50, -1}, TVHT_ABOVE, nullptr},
        {{50, 150}, TVHT_BELOW, nullptr},
        {{-1, 10}, TVHT_TOLEFT, nullptr},
        {{200, 10}, TVHT_TORIGHT, nullptr},
    };
    for (const Case& k : cases) {
        TVHITTESTINFO info{};
        info.pt = k.pt;
        EXPECT_EQ(reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info))), k.item)
            << k.pt.x << "," << k.pt.y;
        EXPECT_EQ(info.flags, k.flags) << k.pt.x << "," << k.pt.y;
    }
    const int height = static_cast<int>(SendMessageA(tree, TVM_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(SendMessageA(tree, TVM_GETVISIBLECOUNT, 0, 0), 150 / height);
    // Items inside a closed branch have no rectangle.
    RECT hidden{};
    *reinterpret_cast<HTREEITEM*>(&hidden) = b1;
    EXPECT_FALSE(SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&hidden)));
}

TEST_F(TreeFixture, MouseSelectsExpandsAndDrags)
{
    POINT pt = LabelPoint(b);
    ClickAt(tree, pt.x, pt.y);
    EXPECT_EQ(Caret(), b);
    std::vector<UINT> codes = host.Codes();
    // The parent hears of the click before the selection moves.
    EXPECT_EQ(codes, (std::vector<UINT>{NM_SETFOCUS, NM_CLICK, TVN_SELCHANGINGA, TVN_SELCHANGEDA}));

    host.Clear();
    const int indent = static_cast<int>(SendMessageA(tree, TVM_GETINDENT, 0, 0));
    ClickAt(tree, indent / 2, pt.y); // the button
    EXPECT_NE(SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(b), TVIS_EXPANDED), 0);
    EXPECT_EQ(host.Codes(), (std::vector<UINT>{TVN_ITEMEXPANDINGA, TVN_ITEMEXPANDEDA}));

    host.Clear();
    pt = LabelPoint(a);
    DoubleClickAt(tree, pt.x, pt.y);
    codes = host.Codes();
    EXPECT_NE(std::find(codes.begin(), codes.end(), NM_DBLCLK), codes.end());
    EXPECT_NE(SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(a), TVIS_EXPANDED), 0);

    host.Clear();
    pt = LabelPoint(c);
    RightClickAt(tree, pt.x, pt.y);
    EXPECT_EQ(host.Codes(), (std::vector<UINT>{NM_RCLICK}));
    EXPECT_EQ(Caret(), a) << "a right click does not select";

    // A drag from an item starts one, unless drag and drop is off.
    for (bool disabled : {false, true}) {
        if (disabled)
            SetWindowLongA(tree, GWL_STYLE, GetWindowLongA(tree, GWL_STYLE) | TVS_DISABLEDRAGDROP);
        host.Clear();
        pt = LabelPoint(disabled ? a1 : c);
        MoveTo(tree, pt.x, pt.y);
        tavrin::win::InjectMouseButton(tavrin::win::MouseButton::Left, true);
        PumpAll();
        MoveTo(tree, pt.x + 20, pt.y + 20);
        tavrin::win::InjectMouseButton(tavrin::win::MouseButton::Left, false);
        PumpAll();
        EXPECT_EQ(host.Codes(), disabled ? std::vector<UINT>{} : std::vector<UINT>{TVN_BEGINDRAGA});
    }
}

TEST_F(TreeFixture, KeyboardMovesTheCaretAndOpensBranches)
{
    SetFocus(tree);
    Select(a);
    host.Clear();
    Press(VK_RIGHT);
    EXPECT_NE(SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(a), TVIS_EXPANDED), 0);
    Press(VK_DOWN);
    EXPECT_EQ(Caret(), a1);
    Press(VK_END);
    EXPECT_EQ(Caret(), c);
    Press(VK_UP);
    EXPECT_EQ(Caret(), b);
    Press(VK_HOME);
    Press(VK_DOWN);
    Press(VK_LEFT); // up to the parent
    EXPECT_EQ(Caret(), a);
    Press(VK_LEFT); // closes it
    EXPECT_EQ(SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(a), TVIS_EXPANDED), 0);
    host.Clear();
    Press(VK_RETURN);
    EXPECT_EQ(host.Codes(), (std::vector<UINT>{TVN_KEYDOWN, NM_RETURN}));

    // Scrolling moves the first visible item by rows.
    for (int i = 0; i < 20; ++i)
        Add(TVI_ROOT, "x", 100 + i);
    SendMessageA(tree, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(Next(nullptr, TVGN_FIRSTVISIBLE), b);
    SendMessageA(tree, WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(Next(nullptr, TVGN_FIRSTVISIBLE), a);

    // Sideways as far as the widest label reaches, and back.
    Add(TVI_ROOT, "一个很长很长很长很长很长很长很长很长的名字", 200);
    const RECT before = LabelRect(a);
    SendMessageA(tree, WM_HSCROLL, SB_RIGHT, 0);
    const RECT scrolled = LabelRect(a);
    EXPECT_LT(scrolled.left, before.left);
    SendMessageA(tree, WM_HSCROLL, SB_LINERIGHT, 0);
    EXPECT_EQ(LabelRect(a).left, scrolled.left) << "no further than the widest label";
    SendMessageA(tree, WM_HSCROLL, SB_LEFT, 0);
    EXPECT_EQ(LabelRect(a).left, before.left);
}

TEST_F(TreeFixture, LabelEditingEndsWithEnterOrEsc)
{
    Make(TVS_HASBUTTONS | TVS_EDITLABELS);
    std::vector<std::pair<UINT, std::string>> seen; // ENDLABELEDIT with its text, "(null)" for none
    host.m_inspect = [&](NMHDR* hdr, LRESULT*) {
        if (hdr->code == TVN_BEGINLABELEDITA || hdr->code == TVN_ENDLABELEDITA) {
            auto* disp = reinterpret_cast<NMTVDISPINFOA*>(hdr);
            seen.emplace_back(hdr->code, disp->item.pszText ? disp->item.pszText : "(null)");
        }
        return false;
    };
    auto label = [&](HTREEITEM item) {
        char text[64] = "";
        TVITEMA get{};
        get.mask = TVIF_TEXT;
        get.hItem = item;
        get.pszText = text;
        get.cchTextMax = sizeof text;
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&get));
        return std::string(text);
    };
    auto typeInto = [&](HWND edit, const std::string& text) {
        SetWindowTextA(edit, text.c_str());
        PumpAll();
    };

    // Enter with the parent's TRUE keeps the new label.
    host.m_answers[TVN_ENDLABELEDITA] = TRUE;
    HWND edit = reinterpret_cast<HWND>(SendMessageA(tree, TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(b)));
    ASSERT_TRUE(edit);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(tree, TVM_GETEDITCONTROL, 0, 0)), edit);
    EXPECT_EQ(GetFocus(), edit);
    typeInto(edit, "新名字");
    Press(VK_RETURN);
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_EQ(SendMessageA(tree, TVM_GETEDITCONTROL, 0, 0), 0);
    EXPECT_EQ(label(b), "新名字");

    // Esc cancels: the parent sees no text and the label stays.
    edit = reinterpret_cast<HWND>(SendMessageA(tree, TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(b)));
    ASSERT_TRUE(edit);
    typeInto(edit, "丢掉");
    Press(VK_ESCAPE);
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_EQ(label(b), "新名字");

    // Without TRUE from the parent the typed text is dropped.
    host.m_answers.clear();
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(c));
    SetFocus(tree);
    Press(VK_F2);
    edit = reinterpret_cast<HWND>(SendMessageA(tree, TVM_GETEDITCONTROL, 0, 0));
    ASSERT_TRUE(edit);
    typeInto(edit, "不要");
    Press(VK_RETURN);
    EXPECT_EQ(label(c), "丙班");

    // A refused start opens no editor.
    host.m_answers[TVN_BEGINLABELEDITA] = TRUE;
    EXPECT_EQ(SendMessageA(tree, TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(a)), 0);
    EXPECT_EQ(SendMessageA(tree, TVM_GETEDITCONTROL, 0, 0), 0);

    using Seen = std::vector<std::pair<UINT, std::string>>;
    EXPECT_EQ(seen, (Seen{{TVN_BEGINLABELEDITA, "乙班"}, {TVN_ENDLABELEDITA, "新名字"},
                          {TVN_BEGINLABELEDITA, "新名字"}, {TVN_ENDLABELEDITA, "(null)"},
                          {TVN_BEGINLABELEDITA, "丙班"}, {TVN_ENDLABELEDITA, "不要"},
                          {TVN_BEGINLABELEDITA, "甲班"}}));
}

TEST_F(TreeFixture, ItsOwnTooltipUnlessTurnedOff)
{
    EXPECT_TRUE(SendMessageA(tree, TVM_GETTOOLTIPS, 0, 0));
    Make(TVS_NOTOOLTIPS);
    EXPECT_EQ(SendMessageA(tree, TVM_GETTOOLTIPS, 0, 0), 0);
}

TEST_F(TreeFixture, ASecondClickOnTheCaretEditsItsLabelOnceNoDoubleClickCame)
{
    Make(TVS_HASBUTTONS | TVS_EDITLABELS);
    tavrin::clock::ManualScope manual(1700000000);
    const POINT pt = LabelPoint(b);
    ClickAt(tree, pt.x, pt.y);
    ASSERT_EQ(Caret(), b);
    tavrin::clock::Advance(GetDoubleClickTime() + 1);
    PumpAll();
    EXPECT_EQ(SendMessageA(tree, TVM_GETEDITCONTROL, 0, 0), 0) << "a first click only selects";

    ClickAt(tree, pt.x, pt.y);
    EXPECT_EQ(SendMessageA(tree, TVM_GETEDITCONTROL, 0, 0), 0) << "waits out a double click";
    tavrin::clock::Advance(GetDoubleClickTime() + 1);
    PumpAll();
    HWND edit = reinterpret_cast<HWND>(SendMessageA(tree, TVM_GETEDITCONTROL, 0, 0));
    ASSERT_TRUE(edit);
    Press(VK_ESCAPE);
    EXPECT_FALSE(IsWindow(edit));
}
