#include "platform/controls/Static.h"
#include "tests/platform/controls/ControlHost.h"

#include <gtest/gtest.h>

using namespace tavrin::test;

TEST(Static, MouseGoesThroughUnlessNotify)
{
    ControlHost host;
    HWND plain = host.Create(WC_STATIC, "plain", WS_CHILD | WS_VISIBLE, {10, 10, 110, 30}, 1);
    HWND notify = host.Create(WC_STATIC, "notify", WS_CHILD | WS_VISIBLE | SS_NOTIFY, {10, 40, 110, 60}, 2);
    EXPECT_EQ(SendMessageA(plain, WM_NCHITTEST, 0, 0), HTTRANSPARENT);
    EXPECT_EQ(SendMessageA(plain, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
    host.Clear();
    ClickAt(plain, 5, 5);
    ClickAt(notify, 5, 5);
    EXPECT_EQ(host.Take(), (std::vector<Notice>{{WM_COMMAND, notify, 2, STN_CLICKED, 0}}));
    EnableWindow(notify, FALSE);
    EnableWindow(notify, TRUE);
    EXPECT_EQ(host.Codes(), (std::vector<UINT>{STN_DISABLE, STN_ENABLE}));
}

TEST(Static, ImagesAreSetAndReturned)
{
    ControlHost host;
    HWND s = host.Create(WC_STATIC, "", WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_CENTERIMAGE, {10, 10, 50, 50}, 1);
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 10, 10);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT all{0, 0, 10, 10};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(mem, &all, red);
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(SendMessageA(s, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bmp)), 0);
    EXPECT_EQ(SendMessageA(s, STM_GETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(bmp));
    EXPECT_EQ(SendMessageA(s, STM_GETIMAGE, IMAGE_ICON, 0), 0);
    // Centred: the 10x10 picture covers the middle of the 40x40 control.
    EXPECT_EQ(PixelAt(s, 20, 20), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(s, 5, 5), GetSysColor(COLOR_BTNFACE));
    DestroyWindow(s);
    DeleteObject(bmp);
    DeleteObject(red);
}

TEST(Static, FramesAndLinesPaintWhereTheStyleSays)
{
    ControlHost host;
    struct Case {
        DWORD style;
        POINT pt;
        COLORREF color;
    } cases[] = {
        {SS_BLACKFRAME, {0, 5}, GetSysColor(COLOR_WINDOWFRAME)},
        {SS_BLACKRECT, {10, 5}, GetSysColor(COLOR_WINDOWFRAME)},
        {SS_WHITERECT, {10, 5}, GetSysColor(COLOR_WINDOW)},
        {SS_ETCHEDHORZ, {10, 0}, GetSysColor(COLOR_BTNSHADOW)},
        {SS_ETCHEDHORZ, {10, 1}, GetSysColor(COLOR_BTNHIGHLIGHT)},
    };
    for (const Case& c : cases) {
        HWND s = host.Create(WC_STATIC, "", WS_CHILD | WS_VISIBLE | c.style, {10, 10, 60, 30}, 1);
        EXPECT_EQ(PixelAt(s, c.pt.x, c.pt.y), c.color) << c.style;
        DestroyWindow(s);
    }
}

namespace {

// Pixels of a column band of the control that are not the background.
int Inked(HWND hwnd, int fromX, int toX, int height)
{
    int n = 0;
    for (int y = 0; y < height; ++y)
        for (int x = fromX; x < toX; ++x)
            n += PixelAt(hwnd, x, y) != GetSysColor(COLOR_BTNFACE);
    return n;
}

} // namespace

TEST(Static, AlignmentAndPrefixes)
{
    ControlHost host;
    HWND left = host.Create(WC_STATIC, "Ab", WS_CHILD | WS_VISIBLE | SS_LEFT, {10, 10, 210, 30}, 1);
    HWND right = host.Create(WC_STATIC, "Ab", WS_CHILD | WS_VISIBLE | SS_RIGHT, {10, 40, 210, 60}, 2);
    HWND center = host.Create(WC_STATIC, "Ab", WS_CHILD | WS_VISIBLE | SS_CENTER, {10, 70, 210, 90}, 3);
    EXPECT_GT(Inked(left, 0, 30, 20), 0);
    EXPECT_EQ(Inked(left, 100, 200, 20), 0);
    EXPECT_EQ(Inked(right, 0, 150, 20), 0);
    EXPECT_GT(Inked(right, 170, 200, 20), 0);
    EXPECT_EQ(Inked(center, 0, 60, 20), 0);
    EXPECT_GT(Inked(center, 85, 115, 20), 0);
    // "&&" shows one ampersand; SS_NOPREFIX shows both.
    HWND prefixed = host.Create(WC_STATIC, "&&", WS_CHILD | WS_VISIBLE, {10, 100, 210, 120}, 4);
    HWND raw = host.Create(WC_STATIC, "&&", WS_CHILD | WS_VISIBLE | SS_NOPREFIX, {10, 130, 210, 150}, 5);
    EXPECT_LT(Inked(prefixed, 0, 200, 20), Inked(raw, 0, 200, 20));
    // New text is painted.
    SetWindowTextA(left, "");
    EXPECT_EQ(Inked(left, 0, 200, 20), 0);
}
