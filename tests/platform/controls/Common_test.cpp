// What every control shares: registration, colours asked of the parent,
// disabled text and focus rectangles.
#include "platform/controls/Button.h"
#include "platform/controls/Edit.h"
#include "platform/controls/ListBox.h"
#include "platform/controls/Static.h"
#include "tests/platform/controls/ControlHost.h"

#include <gtest/gtest.h>

using namespace tavrin::test;

TEST(CommonControls, RegistrationChecksTheRecordSize)
{
    INITCOMMONCONTROLSEX bad{sizeof(INITCOMMONCONTROLSEX) + 1, ICC_WIN95_CLASSES};
    EXPECT_FALSE(InitCommonControlsEx(&bad));
    EXPECT_FALSE(InitCommonControlsEx(nullptr));
    INITCOMMONCONTROLSEX good{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    EXPECT_TRUE(InitCommonControlsEx(&good));
    for (LPCSTR name : {"BUTTON", "static", "Edit", "LISTBOX", "ComboBox", UPDOWN_CLASS, PROGRESS_CLASS, TOOLTIPS_CLASS}) {
        WNDCLASSA wc{};
        EXPECT_TRUE(GetClassInfoA(nullptr, name, &wc)) << name;
    }
}

TEST(CommonControls, ColoursComeFromTheParent)
{
    ControlHost host;
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    std::vector<UINT> asked;
    host.m_handler = [&](UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
        if (message < WM_CTLCOLORMSGBOX || message > WM_CTLCOLORSTATIC)
            return false;
        asked.push_back(message);
        SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 0, 0));
        *result = reinterpret_cast<LRESULT>(red);
        return true;
    };
    struct Case {
        LPCSTR cls;
        DWORD style;
        UINT message;
    } cases[] = {
        {WC_STATIC, SS_LEFT, WM_CTLCOLORSTATIC},
        {WC_BUTTON, BS_AUTOCHECKBOX, WM_CTLCOLORSTATIC},
        {WC_BUTTON, BS_PUSHBUTTON, WM_CTLCOLORBTN},
        {WC_EDIT, ES_AUTOHSCROLL, WM_CTLCOLOREDIT},
        {WC_EDIT, ES_READONLY, WM_CTLCOLORSTATIC}, // read-only fields look static
        {WC_LISTBOX, 0, WM_CTLCOLORLISTBOX},
    };
    for (const Case& c : cases) {
        asked.clear();
        HWND control = host.Create(c.cls, "", WS_CHILD | WS_VISIBLE | c.style, {10, 10, 110, 40}, 1);
        PumpAll();
        ASSERT_FALSE(asked.empty()) << c.cls << " " << c.style;
        EXPECT_EQ(asked.front(), c.message) << c.cls << " " << c.style;
        if (c.message != WM_CTLCOLORBTN) { // a push button's face covers its background
            EXPECT_EQ(PixelAt(control, 80, 25), RGB(255, 0, 0)) << c.cls << " " << c.style;
        }
        DestroyWindow(control);
    }
    host.m_handler = nullptr;
    DeleteObject(red);
}

TEST(CommonControls, DisabledTextIsGreyAndFocusShowsARectangle)
{
    ControlHost host;
    HWND button = host.Create(WC_BUTTON, "WWWW", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, {10, 10, 110, 40}, 1);
    // Pixels inside the edges: dark ones (black text) and any not of the face.
    auto count = [&](bool darkOnly) {
        int n = 0;
        for (int y = 6; y < 24; ++y)
            for (int x = 6; x < 94; ++x) {
                const COLORREF c = PixelAt(button, x, y);
                const bool dark = GetRValue(c) < 64 && GetGValue(c) < 64 && GetBValue(c) < 64;
                n += darkOnly ? dark : c != GetSysColor(COLOR_BTNFACE);
            }
        return n;
    };
    EXPECT_GT(count(true), 10);
    EnableWindow(button, FALSE);
    EXPECT_EQ(count(true), 0);
    EXPECT_GT(count(false), 10);
    EnableWindow(button, TRUE);
    // The dotted focus rectangle three pixels inside: alternate pixels inverted.
    const COLORREF before = PixelAt(button, 50, 3);
    SetFocus(button);
    int changed = 0;
    for (int x = 10; x < 20; ++x)
        changed += PixelAt(button, x, 3) != before;
    EXPECT_GE(changed, 4);
    EXPECT_LE(changed, 6);
}
