#include "platform/controls/ListBox.h"
#include "platform/win/ScrollBar.h"
#include "tests/platform/controls/ControlHost.h"

#include <gtest/gtest.h>

#include <string>

using namespace tavrin::test;

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL;

LRESULT Add(HWND list, const char* text)
{
    return SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

std::string TextOf(HWND list, int index)
{
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0)
        return "<err>";
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

void Fill(HWND list, int n)
{
    for (int i = 0; i < n; ++i)
        Add(list, ("item " + std::to_string(i)).c_str());
}

} // namespace

TEST(ListBox, StringMessages)
{
    ControlHost host;
    HWND list = host.Create(WC_LISTBOX, "", kChild, {10, 10, 160, 110}, 1);
    EXPECT_EQ(Add(list, "beta"), 0);
    EXPECT_EQ(Add(list, "alpha"), 1);
    EXPECT_EQ(SendMessageA(list, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("first")), 0);
    EXPECT_EQ(SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("last")), 3);
    EXPECT_EQ(SendMessageA(list, LB_INSERTSTRING, 9, reinterpret_cast<LPARAM>("x")), LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(TextOf(list, 1), "beta");
    EXPECT_EQ(TextOf(list, 4), "<err>");
    EXPECT_EQ(SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("ALPHA")), 2);
    EXPECT_EQ(SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("alp")), LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("alp")), 2);
    // The search starts after the given item and goes round.
    EXPECT_EQ(SendMessageA(list, LB_FINDSTRING, 3, reinterpret_cast<LPARAM>("f")), 0);
    EXPECT_EQ(SendMessageA(list, LB_SETITEMDATA, 1, 77), TRUE);
    EXPECT_EQ(SendMessageA(list, LB_GETITEMDATA, 1, 0), 77);
    EXPECT_EQ(SendMessageA(list, LB_DELETESTRING, 0, 0), 3);
    EXPECT_EQ(SendMessageA(list, LB_DELETESTRING, 5, 0), LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_GETITEMDATA, 0, 0), 77);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 0);

    HWND sorted = host.Create(WC_LISTBOX, "", kChild | LBS_SORT, {200, 10, 300, 110}, 2);
    for (const char* t : {"pear", "Apple", "fig"})
        Add(sorted, t);
    EXPECT_EQ(TextOf(sorted, 0), "Apple");
    EXPECT_EQ(TextOf(sorted, 2), "pear");
}

TEST(ListBox, SelectionCaretTopAndRects)
{
    ControlHost host;
    HWND list = host.Create(WC_LISTBOX, "", kChild | LBS_NOTIFY, {10, 10, 160, 110}, 1);
    Fill(list, 20);
    const int h = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    ASSERT_GT(h, 0);
    host.Clear();
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 15, 0), 15);
    EXPECT_TRUE(host.Take().empty()); // no notification for the program's own change
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 15);
    EXPECT_EQ(SendMessageA(list, LB_GETCARETINDEX, 0, 0), 15);
    EXPECT_EQ(SendMessageA(list, LB_GETSEL, 15, 0), 1);
    EXPECT_EQ(SendMessageA(list, LB_GETSELCOUNT, 0, 0), LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_SETSEL, TRUE, 3), LB_ERR);
    // Scrolled so that the selection shows.
    const int top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    RECT client;
    GetClientRect(list, &client);
    const int rows = client.bottom / h;
    EXPECT_EQ(top, 15 - rows + 1);
    RECT r{};
    EXPECT_EQ(SendMessageA(list, LB_GETITEMRECT, 15, reinterpret_cast<LPARAM>(&r)), LB_OKAY);
    EXPECT_EQ(r.top, (15 - top) * h);
    EXPECT_EQ(r.bottom - r.top, h);
    EXPECT_EQ(SendMessageA(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, r.top + 1)), MAKELONG(15, 0));
    EXPECT_EQ(SendMessageA(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 5000)), MAKELONG(19, 1));
    EXPECT_EQ(SendMessageA(list, LB_SETTOPINDEX, 2, 0), LB_OKAY);
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 2);
    // The top never leaves empty rows below the last item.
    SendMessageA(list, LB_SETTOPINDEX, 19, 0);
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 20 - rows);
    EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0), LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
}

TEST(ListBox, MultipleSelectionMessages)
{
    ControlHost host;
    HWND list = host.Create(WC_LISTBOX, "", kChild | LBS_MULTIPLESEL, {10, 10, 160, 110}, 1);
    Fill(list, 6);
    EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 1, 0), LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_SETSEL, TRUE, 1), LB_OKAY);
    EXPECT_EQ(SendMessageA(list, LB_SELITEMRANGE, TRUE, MAKELPARAM(3, 4)), LB_OKAY);
    EXPECT_EQ(SendMessageA(list, LB_GETSELCOUNT, 0, 0), 3);
    int items[2] = {-1, -1};
    EXPECT_EQ(SendMessageA(list, LB_GETSELITEMS, 2, reinterpret_cast<LPARAM>(items)), 2); // never more than asked
    EXPECT_EQ(items[0], 1);
    EXPECT_EQ(items[1], 3);
    SendMessageA(list, LB_SETSEL, FALSE, -1);
    EXPECT_EQ(SendMessageA(list, LB_GETSELCOUNT, 0, 0), 0);
}

TEST(ListBox, MouseAndKeysInSingleSelection)
{
    ControlHost host;
    HWND list = host.Create(WC_LISTBOX, "", kChild | LBS_NOTIFY, {10, 10, 160, 110}, 4);
    Fill(list, 20);
    const int h = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    host.Clear();
    ClickAt(list, 10, h * 2 + 1);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(GetFocus(), list);
    PressKey(VK_DOWN);
    PressKey(VK_END);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 19);
    PressKey(VK_END); // no change, no notice
    PressKey(VK_HOME);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(host.Codes(), (std::vector<UINT>{LBN_SETFOCUS, LBN_SELCHANGE, LBN_SELCHANGE, LBN_SELCHANGE, LBN_SELCHANGE}));
    host.Clear();
    // Typing a letter picks the next item that starts with it.
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    SendMessageA(list, LB_INSERTSTRING, 5, reinterpret_cast<LPARAM>("zebra"));
    tavrin::win::InjectText("z");
    PumpAll();
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 5);
    // A double click selects and tells the parent.
    host.Clear();
    POINT pt = ScreenPoint(list, 10, 1);
    SendMessageA(list, LB_SETTOPINDEX, 0, 0);
    tavrin::win::InjectClick(pt.x, pt.y);
    tavrin::win::InjectClick(pt.x, pt.y);
    PumpAll();
    EXPECT_EQ(host.Codes(), (std::vector<UINT>{LBN_SELCHANGE, LBN_DBLCLK}));
}

TEST(ListBox, MouseAndSpaceToggleInMultipleSelection)
{
    ControlHost host;
    HWND list = host.Create(WC_LISTBOX, "", kChild | LBS_NOTIFY | LBS_MULTIPLESEL, {10, 10, 160, 110}, 4);
    Fill(list, 5);
    const int h = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    ClickAt(list, 10, 1);
    ClickAt(list, 10, h * 2 + 1);
    EXPECT_EQ(SendMessageA(list, LB_GETSELCOUNT, 0, 0), 2);
    ClickAt(list, 10, 1); // toggles off
    EXPECT_EQ(SendMessageA(list, LB_GETSEL, 0, 0), 0);
    PressKey(VK_DOWN); // moves the caret only
    EXPECT_EQ(SendMessageA(list, LB_GETSEL, 1, 0), 0);
    PressKey(VK_SPACE);
    EXPECT_EQ(SendMessageA(list, LB_GETSEL, 1, 0), 1);
    EXPECT_EQ(SendMessageA(list, LB_GETCARETINDEX, 0, 0), 1);
}

TEST(ListBox, PopupWithoutParentAndItsPixels)
{
    InitCommonControls();
    HWND list = CreateWindowExA(0x20080, WC_LISTBOX, "", 0x82A00000 | WS_VISIBLE, 100, 100, 150, 100, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(list, nullptr);
    Add(list, "one");
    Add(list, "two");
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    const int h = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(PixelAt(list, 100, h + h / 2), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(PixelAt(list, 100, h / 2), GetSysColor(COLOR_WINDOW));
    DestroyWindow(list);
}

TEST(ListBox, ScrollRequestsAndTheWheelMoveTheTop)
{
    ControlHost host;
    HWND list = host.Create(WC_LISTBOX, "", kChild, {10, 10, 160, 110}, 1);
    Fill(list, 30);
    struct Step {
        UINT message;
        WPARAM wParam;
        int top;
    } steps[] = {
        {WM_VSCROLL, 1, 1},                        // a line down
        {WM_VSCROLL, 0, 0},                        // a line up
        {WM_VSCROLL, 0, 0},                        // not above the first
        {WM_VSCROLL, MAKEWPARAM(5, 12), 12},       // the thumb dragged
        {WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 15},
        {WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA * 2), 9},
        {WM_VSCROLL, 6, 0},                        // to the top
    };
    for (const Step& s : steps) {
        SendMessageA(list, s.message, s.wParam, 0);
        EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), s.top) << s.message << " " << s.wParam;
    }
}

TEST(ListBox, TheScrollBarFollowsTheItemsAndTheTop)
{
    ControlHost host;
    HWND list = host.Create(WC_LISTBOX, "", kChild, {10, 10, 160, 110}, 1);
    RECT before;
    GetClientRect(list, &before);
    Fill(list, 3); // all fit: no bar
    RECT client;
    GetClientRect(list, &client);
    EXPECT_EQ(client.right, before.right);
    Fill(list, 27);
    GetClientRect(list, &client);
    EXPECT_LT(client.right, before.right); // the bar took its width
    SendMessageA(list, LB_SETTOPINDEX, 5, 0);
    SCROLLINFO si{sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(list, SB_VERT, &si));
    const int h = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(si.nMin, 0);
    EXPECT_EQ(si.nMax, 29);
    EXPECT_EQ(si.nPage, static_cast<UINT>(client.bottom / h));
    EXPECT_EQ(si.nPos, 5);
}
