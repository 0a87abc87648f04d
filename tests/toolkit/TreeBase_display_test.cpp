// The tree extension on a real display: its painting of selected, bold,
// coloured and font items, and multi-selection by the desktop's mouse and
// keys, label editing through PreTranslateMessage, and a quit met during a
// rubber-band drag.
#include "tests/toolkit/TreeHost.h"

#include "platform/display/GtkPresenter.h"
#include "platform/gdi/Png.h"
#include "platform/gdi/Surface.h"
#include "platform/win/User.h"
#include "tests/support/DisplayPump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

// Last: the X headers' macros would break the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

using namespace tavrin;
using test::PumpUntil;
using test::TreeHost;
using test::TreeParent;

namespace {

class TreeDisplay : public ::testing::Test, protected TreeHost::Sample {
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no display";
        presenter = display::StartGtkPresenter();
        ASSERT_TRUE(presenter);
        ASSERT_TRUE(frame.Make(80, 80, 360, 320, WS_OVERLAPPEDWINDOW | WS_VISIBLE));
        test::SetPumpFilter([](const MSG& msg) {
            MSG copy = msg;
            return CWnd::WalkPreTranslateTree(nullptr, &copy) != FALSE;
        });
    }
    void TearDown() override
    {
        test::SetPumpFilter(nullptr);
        if (tree.GetSafeHwnd())
            tree.DestroyWindow();
        if (frame.GetSafeHwnd()) {
            HWND hwnd = frame.GetSafeHwnd();
            frame.DestroyWindow();
            presenter->WindowDestroyed(hwnd);
        }
    }
    void MakeTree(DWORD style)
    {
        ASSERT_TRUE(tree.Make(&frame, style | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, RECT{0, 0, 240, 280}));
        static_cast<TreeHost::Sample&>(*this) = tree.FillSample();
        other = CreateWindowExA(0, "BUTTON", "other", WS_CHILD | WS_VISIBLE, 260, 10, 80, 24, frame.GetSafeHwnd(),
                                nullptr, nullptr, nullptr);
        SetForegroundWindow(frame.GetSafeHwnd());
        ASSERT_TRUE(PumpUntil([&] { return presenter->GetNativeWindow(frame.GetSafeHwnd()) != 0; }, 5000));
        PumpUntil([] { return false; }, 300);
    }
    COLORREF Shown(int x, int y)
    {
        presenter->Flush();
        auto shot = presenter->CaptureWindow(frame.GetSafeHwnd());
        POINT pt{x, y};
        MapWindowPoints(tree.GetSafeHwnd(), frame.GetSafeHwnd(), &pt, 1);
        if (!shot || pt.x < 0 || pt.y < 0 || pt.x >= shot->Width() || pt.y >= shot->Height())
            return 0xFFFFFFFF;
        return ColorFromPixel(shot->GetPixel(pt.x, pt.y)) & 0xFFFFFF;
    }
    RECT Label(HTREEITEM h)
    {
        RECT r{};
        std::memcpy(&r, &h, sizeof h);
        tree.SendMessage(TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    // Frame client coordinates of a point on the item's label.
    POINT At(HTREEITEM h, int dx = 3)
    {
        RECT r = Label(h);
        POINT pt{r.left + dx, (r.top + r.bottom) / 2};
        MapWindowPoints(tree.GetSafeHwnd(), frame.GetSafeHwnd(), &pt, 1);
        return pt;
    }
    POINT AtClient(int x, int y)
    {
        POINT pt{x, y};
        MapWindowPoints(tree.GetSafeHwnd(), frame.GetSafeHwnd(), &pt, 1);
        return pt;
    }
    // A modifier held at the display server around what follows.
    void Hold(const char* key, bool down)
    {
        Display* display = XOpenDisplay(nullptr);
        ASSERT_TRUE(display);
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, XStringToKeysym(key)), down ? True : False, CurrentTime);
        XFlush(display);
        XCloseDisplay(display);
        const int vk = std::strcmp(key, "Shift_L") == 0 ? VK_SHIFT : VK_CONTROL;
        PumpUntil([&] { return (GetKeyState(vk) < 0) == down; }, 2000);
    }
    void Click(HTREEITEM h, const char* modifier = nullptr, int button = 1)
    {
        if (modifier)
            Hold(modifier, true);
        const POINT pt = At(h);
        ASSERT_TRUE(presenter->SimulateClick(frame.GetSafeHwnd(), pt.x, pt.y, button));
        // Apart in time from the next, so no two make a double click.
        PumpUntil([] { return false; }, GetDoubleClickTime() + 100);
        if (modifier)
            Hold(modifier, false);
    }
    // The whole drag goes to the display server first: the band runs its
    // own loop from the press to the release.
    void Drag(POINT from, POINT to)
    {
        HWND f = frame.GetSafeHwnd();
        ASSERT_TRUE(presenter->SimulateButton(f, from.x, from.y, 1, true));
        ASSERT_TRUE(presenter->SimulatePointer(f, from.x - 10, from.y + 4));
        ASSERT_TRUE(presenter->SimulatePointer(f, to.x, to.y));
        ASSERT_TRUE(presenter->SimulateButton(f, to.x, to.y, 1, false));
        PumpUntil([] { return false; }, GetDoubleClickTime() + 100);
    }
    // Pixels of the label the predicate accepts.
    template <typename Pred>
    int CountIf(HTREEITEM h, Pred pred)
    {
        presenter->Flush();
        auto shot = presenter->CaptureWindow(frame.GetSafeHwnd());
        RECT r = Label(h);
        r.right += 40; // labels drawn wider than the control measures them
        MapWindowPoints(tree.GetSafeHwnd(), frame.GetSafeHwnd(), reinterpret_cast<POINT*>(&r), 2);
        int n = 0;
        for (int y = r.top; shot && y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (x >= 0 && y >= 0 && x < shot->Width() && y < shot->Height() &&
                    pred(ColorFromPixel(shot->GetPixel(x, y)) & 0xFFFFFF))
                    ++n;
        return n;
    }
    // A point on the item's expand button, found by the control's hit test.
    POINT OnButton(HTREEITEM h)
    {
        RECT r = Label(h);
        const int y = (r.top + r.bottom) / 2;
        for (int x = r.left; x >= 0; --x) {
            TVHITTESTINFO hit{};
            hit.pt = POINT{x, y};
            tree.SendMessage(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
            if (hit.flags & TVHT_ONITEMBUTTON)
                return AtClient(x, y);
        }
        ADD_FAILURE() << "no button";
        return POINT{};
    }
    void Save(const char* name)
    {
        presenter->Flush();
        if (auto shot = presenter->CaptureWindow(frame.GetSafeHwnd()))
            SavePng(*shot, name);
    }

    display::GtkPresenter* presenter = nullptr;
    TreeParent frame;
    TreeHost tree;
    HWND other = nullptr;
};

} // namespace

TEST_F(TreeDisplay, SelectionColoursFollowTheFocusAndShowSelAlways)
{
    for (DWORD style : {DWORD{TVS_SHOWSELALWAYS}, DWORD{0}}) {
        SCOPED_TRACE(style);
        MakeTree(style);
        tree.SetFocus();
        tree.SelectItem(beta);
        const RECT r = Label(beta);
        const int x = r.right - 2, y = r.top + 1;
        ASSERT_TRUE(PumpUntil([&] { return Shown(x, y) == GetSysColor(COLOR_HIGHLIGHT); }, 5000))
            << std::hex << Shown(x, y);
        ::SetFocus(other);
        const COLORREF unfocused = style ? GetSysColor(COLOR_BTNFACE) : GetSysColor(COLOR_WINDOW);
        EXPECT_TRUE(PumpUntil([&] { return Shown(x, y) == unfocused; }, 5000)) << std::hex << Shown(x, y);
        Save(style ? "tree-unfocused-showselalways.png" : "tree-unfocused.png");
        tree.DestroyWindow();
        DestroyWindow(other);
    }
}

TEST_F(TreeDisplay, BoldColouredAndFontItems)
{
    MakeTree(0);
    tree.SetItemText(alphaOne, "相同的文字");
    tree.SetItemText(abcd, "相同的文字");
    tree.SetItemBold(abcd);
    tree.SetItemColor(beta, RGB(220, 0, 0));
    LOGFONT lf{};
    std::strcpy(lf.lfFaceName, "宋体");
    lf.lfHeight = -16;
    tree.SetItemFont(xab, &lf);
    tree.SetItemColor(xab, RGB(0, 0, 200));
    PumpUntil([] { return false; }, 300);
    Save("tree-looks.png");
    auto red = [](COLORREF c) { return GetRValue(c) > 150 && GetGValue(c) < 90 && GetBValue(c) < 90; };
    auto blue = [](COLORREF c) { return GetBValue(c) > 150 && GetRValue(c) < 90 && GetGValue(c) < 90; };
    auto dark = [](COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c) < 200; };
    // The red label shows red text; a selected one the highlight text instead.
    EXPECT_TRUE(PumpUntil([&] { return CountIf(beta, red) > 10; }, 5000));
    EXPECT_GT(CountIf(xab, blue), 10);
    EXPECT_EQ(CountIf(alpha, red), 0);
    // The bold label inks more than the same text plain; the bigger font is taller.
    EXPECT_GT(CountIf(abcd, dark), CountIf(alphaOne, dark) * 11 / 10);
    tree.SetFocus();
    tree.SelectItem(beta);
    EXPECT_TRUE(PumpUntil([&] { return CountIf(beta, red) == 0; }, 5000));
}

TEST_F(TreeDisplay, MultiSelectionByRealClicksAndKeys)
{
    MakeTree(0);
    tree.EnableMultiSelect(TRUE);
    Click(alpha);
    EXPECT_EQ(tree.Selection(), "Alpha");
    Click(beta, "Control_L");
    EXPECT_EQ(tree.Selection(), "Alpha|Beta ab");
    Click(xab, "Shift_L");
    EXPECT_EQ(tree.Selection(), "Beta ab|xab_");
    // Both shown selected.
    tree.SetFocus();
    EXPECT_TRUE(PumpUntil([&] {
        return Shown(Label(beta).right - 2, Label(beta).top + 1) == GetSysColor(COLOR_HIGHLIGHT) &&
               Shown(Label(xab).right - 2, Label(xab).top + 1) == GetSysColor(COLOR_HIGHLIGHT);
    }, 5000));
    Save("tree-multi.png");
    ASSERT_TRUE(presenter->SimulateKey(frame.GetSafeHwnd(), "Up", display::GtkPresenter::kShift));
    EXPECT_TRUE(PumpUntil([&] { return tree.Selection() == "Beta ab"; }, 5000)) << tree.Selection();
    ASSERT_TRUE(presenter->SimulateKey(frame.GetSafeHwnd(), "Up"));
    EXPECT_TRUE(PumpUntil([&] { return tree.Selection() == "ab cd"; }, 5000)) << tree.Selection();
    // Collapsing the branch around the focus moves the focus up.
    Click(alphaOne, "Control_L");
    ASSERT_EQ(tree.Selection(), "alpha_one|ab cd");
    const POINT plus = OnButton(alpha);
    ASSERT_TRUE(presenter->SimulateClick(frame.GetSafeHwnd(), plus.x, plus.y, 1));
    EXPECT_TRUE(PumpUntil([&] { return tree.GetFocusedItem() == alpha; }, 5000));
    EXPECT_EQ(tree.Selection(), "");
}

TEST_F(TreeDisplay, RubberBandWithAndWithoutModifiers)
{
    MakeTree(0);
    tree.EnableMultiSelect(TRUE);
    Click(xab);
    POINT from = AtClient(200, (Label(alpha).top + Label(alpha).bottom) / 2);
    Drag(from, At(abcd));
    EXPECT_EQ(tree.Selection(), "Alpha|alpha_one|ab cd");
    // Shift keeps the selection and adds the band.
    Hold("Shift_L", true);
    Drag(AtClient(200, (Label(beta).top + Label(beta).bottom) / 2), At(xab));
    Hold("Shift_L", false);
    EXPECT_EQ(tree.Selection(), "Alpha|alpha_one|ab cd|Beta ab|xab_");
    // Ctrl flips what the band covers.
    Hold("Control_L", true);
    Drag(from, At(alphaOne));
    Hold("Control_L", false);
    EXPECT_EQ(tree.Selection(), "ab cd|Beta ab|xab_");
    // A plain click on empty space clears everything.
    const POINT empty = AtClient(120, 260);
    ASSERT_TRUE(presenter->SimulateClick(frame.GetSafeHwnd(), empty.x, empty.y, 1));
    EXPECT_TRUE(PumpUntil([&] { return tree.Selection().empty(); }, 5000));
    Save("tree-band.png");
}

TEST_F(TreeDisplay, RightClickOnEmptySpace)
{
    MakeTree(0);
    tree.EnableMultiSelect(TRUE);
    Click(alpha);
    Click(beta, "Control_L");
    frame.codes.clear();
    const POINT empty = AtClient(120, 260);
    ASSERT_TRUE(presenter->SimulateClick(frame.GetSafeHwnd(), empty.x, empty.y, 3));
    EXPECT_TRUE(PumpUntil([&] {
        return std::count(frame.codes.begin(), frame.codes.end(), static_cast<UINT>(NM_RCLICK)) == 1;
    }, 5000));
    EXPECT_EQ(tree.Selection(), "");
    EXPECT_EQ(frame.contextMenus, 1);
}

TEST_F(TreeDisplay, LabelEditingEndedByEnterAndEsc)
{
    MakeTree(TVS_EDITLABELS);
    tree.SetFocus();
    for (const char* key : {"Return", "Escape"}) {
        SCOPED_TRACE(key);
        tree.SelectItem(beta);
        HWND edit = reinterpret_cast<HWND>(tree.SendMessage(TVM_EDITLABEL, 0, reinterpret_cast<LPARAM>(beta)));
        ASSERT_TRUE(edit);
        ASSERT_TRUE(PumpUntil([&] { return GetFocus() == edit; }, 5000));
        frame.codes.clear();
        ASSERT_TRUE(presenter->SimulateKey(frame.GetSafeHwnd(), key));
        EXPECT_TRUE(PumpUntil([&] { return !tree.SendMessage(TVM_GETEDITCONTROL); }, 5000));
        EXPECT_EQ(std::count(frame.codes.begin(), frame.codes.end(), static_cast<UINT>(TVN_ENDLABELEDIT)), 1);
        // Enter with no editor toggles the caret's branch instead.
        const bool expanded = tree.GetItemState(school, TVIS_EXPANDED) & TVIS_EXPANDED;
        tree.SelectItem(school);
        ASSERT_TRUE(presenter->SimulateKey(frame.GetSafeHwnd(), "Return"));
        EXPECT_TRUE(PumpUntil([&] {
            return ((tree.GetItemState(school, TVIS_EXPANDED) & TVIS_EXPANDED) != 0) != expanded;
        }, 5000));
        tree.SendMessage(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(school));
    }
}

TEST_F(TreeDisplay, QuitPostedDuringARubberBandDrag)
{
    MakeTree(0);
    tree.EnableMultiSelect(TRUE);
    Click(xab);
    WPARAM quit = 0;
    test::SetPumpFilter([&](const MSG& msg) {
        if (msg.message == WM_QUIT) {
            quit = msg.wParam + 1;
            return true;
        }
        return false;
    });
    frame.quitOnChange = 9;
    const POINT from = AtClient(200, (Label(alpha).top + Label(alpha).bottom) / 2);
    HWND f = frame.GetSafeHwnd();
    ASSERT_TRUE(presenter->SimulateButton(f, from.x, from.y, 1, true));
    ASSERT_TRUE(presenter->SimulatePointer(f, from.x - 20, from.y + 30));
    // The band starts, clears the selection, and the quit ends it.
    EXPECT_TRUE(PumpUntil([&] { return quit == 10; }, 5000));
    EXPECT_EQ(GetCapture(), nullptr);
    ASSERT_TRUE(presenter->SimulateButton(f, from.x - 20, from.y + 30, 1, false));
    PumpUntil([] { return false; }, 200);
}
