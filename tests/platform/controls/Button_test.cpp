#include "platform/controls/Button.h"
#include "tests/platform/controls/ControlHost.h"

#include <gtest/gtest.h>

using namespace tavrin::test;

namespace {

constexpr RECT kRect{10, 10, 110, 40};

struct StyleCase {
    DWORD style;
    LRESULT dlgCode;
};

} // namespace

TEST(Button, DialogCodesFollowTheType)
{
    ControlHost host;
    const StyleCase cases[] = {
        {BS_PUSHBUTTON, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON},
        {BS_DEFPUSHBUTTON, DLGC_BUTTON | DLGC_DEFPUSHBUTTON},
        {BS_AUTOCHECKBOX, DLGC_BUTTON},
        {BS_AUTORADIOBUTTON, DLGC_BUTTON | DLGC_RADIOBUTTON},
        {BS_GROUPBOX, DLGC_STATIC},
        {BS_OWNERDRAW, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON},
    };
    for (const StyleCase& c : cases) {
        HWND b = host.Create(WC_BUTTON, "x", WS_CHILD | WS_VISIBLE | c.style, kRect, 1);
        EXPECT_EQ(SendMessageA(b, WM_GETDLGCODE, 0, 0), c.dlgCode) << c.style;
        DestroyWindow(b);
    }
}

TEST(Button, CheckMessagesByType)
{
    ControlHost host;
    struct Case {
        DWORD style;
        WPARAM set;
        LRESULT got;
    } cases[] = {
        {BS_PUSHBUTTON, BST_CHECKED, BST_UNCHECKED},        // push buttons have no check
        {BS_CHECKBOX, BST_CHECKED, BST_CHECKED},
        {BS_AUTOCHECKBOX, BST_INDETERMINATE, BST_CHECKED},   // two states only
        {BS_3STATE, BST_INDETERMINATE, BST_INDETERMINATE},
        {BS_RADIOBUTTON, BST_CHECKED, BST_CHECKED},
    };
    for (const Case& c : cases) {
        HWND b = host.Create(WC_BUTTON, "x", WS_CHILD | WS_VISIBLE | c.style, kRect, 1);
        EXPECT_EQ(SendMessageA(b, BM_SETCHECK, c.set, 0), 0);
        EXPECT_EQ(SendMessageA(b, BM_GETCHECK, 0, 0), c.got) << c.style;
        EXPECT_EQ(SendMessageA(b, BM_GETSTATE, 0, 0) & 3, c.got);
        DestroyWindow(b);
    }
}

TEST(Button, StateAndStyleMessages)
{
    ControlHost host;
    HWND b = host.Create(WC_BUTTON, "OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, kRect, 7);
    SendMessageA(b, BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(SendMessageA(b, BM_GETSTATE, 0, 0), BST_PUSHED);
    SendMessageA(b, BM_SETSTATE, FALSE, 0);
    EXPECT_EQ(SendMessageA(b, BM_GETSTATE, 0, 0), 0);
    SendMessageA(b, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_EQ(GetWindowLongA(b, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_NE(GetWindowLongA(b, GWL_STYLE) & WS_VISIBLE, 0);
    SetFocus(b);
    EXPECT_EQ(SendMessageA(b, BM_GETSTATE, 0, 0), BST_FOCUS);
    // No font set: WM_GETFONT answers null, then the font given.
    EXPECT_EQ(SendMessageA(b, WM_GETFONT, 0, 0), 0);
    HGDIOBJ font = GetStockObject(DEFAULT_GUI_FONT);
    SendMessageA(b, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    EXPECT_EQ(SendMessageA(b, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font));
}

TEST(Button, ClickByMouseNotifiesOnReleaseInsideOnly)
{
    ControlHost host;
    HWND b = host.Create(WC_BUTTON, "Go", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, kRect, 5);
    host.Clear();
    ClickAt(b, 20, 10);
    EXPECT_EQ(GetFocus(), b);
    auto notices = host.Take();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0], (Notice{WM_COMMAND, b, 5, BN_CLICKED, 0}));

    // Pressed, dragged out and released outside: no click, no longer pushed.
    POINT in = ScreenPoint(b, 20, 10), out = ScreenPoint(b, 200, 10);
    tavrin::win::InjectMouseMove(in.x, in.y);
    tavrin::win::InjectMouseButton(tavrin::win::MouseButton::Left, true);
    PumpAll();
    EXPECT_EQ(SendMessageA(b, BM_GETSTATE, 0, 0) & BST_PUSHED, BST_PUSHED);
    tavrin::win::InjectMouseMove(out.x, out.y);
    PumpAll();
    EXPECT_EQ(SendMessageA(b, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
    tavrin::win::InjectMouseButton(tavrin::win::MouseButton::Left, false);
    PumpAll();
    EXPECT_TRUE(host.Take().empty());
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST(Button, SpaceClicksOnRelease)
{
    ControlHost host;
    HWND b = host.Create(WC_BUTTON, "Go", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, kRect, 5);
    SetFocus(b);
    host.Clear();
    tavrin::win::InjectKey(VK_SPACE, true);
    PumpAll();
    EXPECT_TRUE(host.Take().empty());
    EXPECT_EQ(SendMessageA(b, BM_GETSTATE, 0, 0), BST_PUSHED | BST_FOCUS);
    tavrin::win::InjectKey(VK_SPACE, false);
    PumpAll();
    EXPECT_EQ(host.Codes(), std::vector<UINT>{BN_CLICKED});
    EXPECT_EQ(SendMessageA(b, BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST(Button, AutoRadioButtonsCheckOneOfTheirGroup)
{
    ControlHost host;
    const DWORD radio = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON;
    HWND a = host.Create(WC_BUTTON, "a", radio | WS_GROUP, {10, 10, 100, 30}, 1);
    HWND b = host.Create(WC_BUTTON, "b", radio, {10, 40, 100, 60}, 2);
    HWND c = host.Create(WC_BUTTON, "c", radio, {10, 70, 100, 90}, 3);
    HWND d = host.Create(WC_BUTTON, "d", radio | WS_GROUP, {10, 100, 100, 120}, 4); // next group
    SendMessageA(a, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(d, BM_SETCHECK, BST_CHECKED, 0);
    host.Clear();
    SendMessageA(c, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageA(a, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(b, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(c, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(d, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(host.Take(), (std::vector<Notice>{{WM_COMMAND, c, 3, BN_CLICKED, 0}}));
    // The checked one is the group's tab stop.
    EXPECT_NE(GetWindowLongA(c, GWL_STYLE) & WS_TABSTOP, 0);
    EXPECT_EQ(GetWindowLongA(a, GWL_STYLE) & WS_TABSTOP, 0);
}

TEST(Button, AutoCheckBoxesCycle)
{
    ControlHost host;
    HWND two = host.Create(WC_BUTTON, "2", WS_CHILD | BS_AUTOCHECKBOX, kRect, 1);
    HWND three = host.Create(WC_BUTTON, "3", WS_CHILD | BS_AUTO3STATE, kRect, 2);
    std::vector<LRESULT> seen2, seen3;
    for (int i = 0; i < 3; ++i) {
        SendMessageA(two, BM_CLICK, 0, 0);
        SendMessageA(three, BM_CLICK, 0, 0);
        seen2.push_back(SendMessageA(two, BM_GETCHECK, 0, 0));
        seen3.push_back(SendMessageA(three, BM_GETCHECK, 0, 0));
    }
    EXPECT_EQ(seen2, (std::vector<LRESULT>{1, 0, 1}));
    EXPECT_EQ(seen3, (std::vector<LRESULT>{1, 2, 0}));
}

TEST(Button, DisabledButtonsIgnoreClicks)
{
    ControlHost host;
    HWND b = host.Create(WC_BUTTON, "x", WS_CHILD | WS_VISIBLE | WS_DISABLED | BS_AUTOCHECKBOX, kRect, 1);
    host.Clear();
    SendMessageA(b, BM_CLICK, 0, 0);
    ClickAt(b, 5, 5);
    EXPECT_TRUE(host.Take().empty());
    EXPECT_EQ(SendMessageA(b, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST(Button, OwnerDrawAsksTheParentWithStates)
{
    ControlHost host;
    HWND b = host.Create(WC_BUTTON, "o", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, kRect, 9);
    PumpAll();
    auto first = host.Take();
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.back(), (Notice{WM_DRAWITEM, b, 9, ODA_DRAWENTIRE, 0}));
    SetFocus(b);
    SendMessageA(b, BM_SETSTATE, TRUE, 0);
    SendMessageA(b, BM_SETSTATE, FALSE, 0);
    EnableWindow(b, FALSE);
    PumpAll();
    std::vector<Notice> drawn;
    for (const Notice& n : host.Take())
        if (n.message == WM_DRAWITEM)
            drawn.push_back(n);
    std::vector<Notice> expected = {
        {WM_DRAWITEM, b, 9, ODA_FOCUS, ODS_FOCUS},
        {WM_DRAWITEM, b, 9, ODA_SELECT, ODS_SELECTED | ODS_FOCUS},
        {WM_DRAWITEM, b, 9, ODA_SELECT, ODS_FOCUS},
    };
    ASSERT_GE(drawn.size(), expected.size());
    EXPECT_EQ(std::vector<Notice>(drawn.begin(), drawn.begin() + 3), expected);
    EXPECT_EQ(drawn.back().code, static_cast<UINT>(ODA_DRAWENTIRE));
    EXPECT_NE(drawn.back().state & ODS_DISABLED, 0u);
}

TEST(Button, PaintsIntoTheDcOfWmPaint)
{
    ControlHost host;
    HWND b = host.Create(WC_BUTTON, "", WS_CHILD | BS_PUSHBUTTON, {0, 0, 40, 20}, 1);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 40, 20);
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT all{0, 0, 40, 20};
    FillRect(mem, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SendMessageA(b, WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
    // The face is the button colour, the bottom-right edge the dark shadow.
    EXPECT_EQ(GetPixel(mem, 20, 10), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(GetPixel(mem, 39, 19), GetSysColor(COLOR_3DDKSHADOW));
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

TEST(Button, CheckBoxPixels)
{
    ControlHost host;
    HWND b = host.Create(WC_BUTTON, "Check", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, {10, 10, 110, 30}, 1);
    // The box sits at the left, centred: white inside with the sunken edge.
    EXPECT_EQ(PixelAt(b, 6, 9), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(PixelAt(b, 0, 3), GetSysColor(COLOR_BTNSHADOW));
    SendMessageA(b, BM_SETCHECK, BST_CHECKED, 0);
    // The check mark darkens the middle of the box.
    int dark = 0;
    for (int y = 5; y < 14; ++y)
        for (int x = 3; x < 11; ++x)
            dark += PixelAt(b, x, y) == GetSysColor(COLOR_WINDOWTEXT);
    EXPECT_GT(dark, 5);
}

TEST(Button, ImagesReplaceTheText)
{
    ControlHost host;
    HWND b = host.Create(WC_BUTTON, "", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | BS_BITMAP, {10, 10, 50, 50}, 1);
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 8, 8);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT all{0, 0, 8, 8};
    HBRUSH green = CreateSolidBrush(RGB(0, 200, 0));
    FillRect(mem, &all, green);
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(SendMessageA(b, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bmp)), 0);
    EXPECT_EQ(SendMessageA(b, BM_GETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(bmp));
    EXPECT_EQ(PixelAt(b, 20, 20), RGB(0, 200, 0)); // centred
    EXPECT_EQ(PixelAt(b, 6, 6), GetSysColor(COLOR_BTNFACE));
    DestroyWindow(b);
    DeleteObject(bmp);
    DeleteObject(green);
}
