// The standard controls on a real display: the add-account dialog as a
// template, driven by real pointer, keys and input-method text through the
// GTK presenter, and checked on screenshots.
#include "platform/base/CodePage.h"
#include "platform/controls/Button.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/Edit.h"
#include "platform/controls/Static.h"
#include "platform/controls/ToolTip.h"
#include "platform/display/GtkPresenter.h"
#include "platform/gdi/Png.h"
#include "platform/win/Dialog.h"
#include "platform/win/WindowSurface.h"
#include "tests/platform/controls/AddAccountDialog.h"
#include "tests/platform/controls/ControlHost.h"
#include "tests/support/DisplayPump.h"
#include "tests/support/TestControls.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace tavrin;
using tavrin::test::PumpUntil;

namespace {

std::string Text(HWND hwnd)
{
    char buffer[128] = {};
    GetWindowTextA(hwnd, buffer, sizeof(buffer));
    return buffer;
}

// Where a control's point lies in its top-level window's client area: what
// the presenter's input and screenshots use.
POINT InRoot(HWND control, int x, int y)
{
    POINT pt{x, y};
    MapWindowPoints(control, GetAncestor(control, GA_ROOT), &pt, 1);
    return pt;
}

POINT Centre(HWND control)
{
    RECT r;
    GetClientRect(control, &r);
    return InRoot(control, r.right / 2, r.bottom / 2);
}

// The same point on the top-level window's own surface (window coordinates).
POINT OnSurface(HWND root, POINT client)
{
    RECT window;
    GetWindowRect(root, &window);
    POINT origin{0, 0};
    ClientToScreen(root, &origin);
    return POINT{client.x + origin.x - window.left, client.y + origin.y - window.top};
}

uint32_t Rgb(COLORREF c)
{
    return PixelFromColor(c);
}

class ControlsDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no display";
        m_presenter = display::StartGtkPresenter();
        ASSERT_TRUE(m_presenter);
        InitCommonControls();
    }
    // The screen's pixels of the window once they show what the check wants;
    // null when they never do.
    std::unique_ptr<Surface> Shot(HWND hwnd, const std::function<bool(const Surface&)>& ready)
    {
        std::unique_ptr<Surface> shot;
        const bool done = PumpUntil([&] {
            m_presenter->Flush();
            shot = m_presenter->CaptureWindow(hwnd);
            return shot && ready(*shot);
        }, 5000);
        return done ? std::move(shot) : nullptr;
    }
    // Shown on the screen and taking input (the presenter's window is realised).
    bool Shown(HWND hwnd)
    {
        RECT client;
        GetClientRect(hwnd, &client);
        return Shot(hwnd, [&](const Surface& s) { return s.Width() >= client.right && s.Height() >= client.bottom; }) !=
               nullptr;
    }
    display::GtkPresenter* m_presenter = nullptr;
};

} // namespace

TEST_F(ControlsDisplay, AddAccountDialogByMouseKeysAndIme)
{
    test::TemplateBuilder builder("添加新帐号", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, 0,
                                  222, 121, "宋体", 9);
    HWND dialog = CreateDialogIndirectParamA(nullptr, test::AddAccountTemplate(builder), nullptr, test::AddAccountProc, 0);
    ASSERT_TRUE(dialog);
    SetWindowPos(dialog, nullptr, 60, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(dialog, SW_SHOW);
    HWND combo = GetDlgItem(dialog, test::kProvider), user = GetDlgItem(dialog, test::kUser);
    HWND password = GetDlgItem(dialog, test::kPassword), port = GetDlgItem(dialog, test::kProxyPort);
    HWND ok = GetDlgItem(dialog, IDOK);
    ASSERT_TRUE(combo && user && password && port && ok);
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == dialog; }, 5000));
    ASSERT_TRUE(Shown(dialog));
    EXPECT_EQ(Text(combo), "ChinaRen(Sohu用户)");

    // Typed and input-method text into the user name.
    POINT at = Centre(user);
    ASSERT_TRUE(m_presenter->SimulateClick(dialog, at.x, at.y, 1));
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == user; }));
    ASSERT_TRUE(m_presenter->SimulateKey(dialog, "a"));
    ASSERT_TRUE(PumpUntil([&] { return Text(user) == "a"; }));
    ASSERT_TRUE(m_presenter->SimulateImeCommit(dialog, GbkToUtf8("张三")));
    ASSERT_TRUE(PumpUntil([&] { return Text(user) == "a张三"; })) << Text(user);
    ASSERT_TRUE(m_presenter->SimulateKey(dialog, "Left"));
    ASSERT_TRUE(m_presenter->SimulateKey(dialog, "BackSpace"));
    ASSERT_TRUE(PumpUntil([&] { return Text(user) == "a三"; })) << Text(user);

    // The password shows masks; the port takes digits only.
    at = Centre(password);
    ASSERT_TRUE(m_presenter->SimulateClick(dialog, at.x, at.y, 1));
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == password; }));
    for (const char* key : {"s", "e", "c"})
        ASSERT_TRUE(m_presenter->SimulateKey(dialog, key));
    ASSERT_TRUE(PumpUntil([&] { return Text(password) == "sec"; }));
    at = Centre(port);
    ASSERT_TRUE(m_presenter->SimulateClick(dialog, at.x, at.y, 1));
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == port; }));
    for (const char* key : {"8", "x", "0"})
        ASSERT_TRUE(m_presenter->SimulateKey(dialog, key));
    ASSERT_TRUE(m_presenter->SimulateKey(dialog, "8"));
    ASSERT_TRUE(PumpUntil([&] { return Text(port) == "808"; })) << Text(port);

    // The combo box: opened by a click, an item chosen by a click in the list.
    at = Centre(combo);
    ASSERT_TRUE(m_presenter->SimulateClick(dialog, at.x, at.y, 1));
    ASSERT_TRUE(PumpUntil([&] { return SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }));
    RECT field;
    GetWindowRect(combo, &field);
    HWND list = WindowFromPoint(POINT{field.left + 20, field.bottom + 4});
    ASSERT_NE(list, dialog);
    const int itemHeight = static_cast<int>(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
    ASSERT_TRUE(m_presenter->SimulateClick(list, 20, 1 + itemHeight * 2 + itemHeight / 2, 1));
    ASSERT_TRUE(PumpUntil([&] { return SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0) == 0; }));
    EXPECT_EQ(Text(combo), "5460(网通用户)");
    // ... and by keys: F4, Down, Return.
    ASSERT_TRUE(m_presenter->SimulateKey(dialog, "F4"));
    ASSERT_TRUE(PumpUntil([&] { return SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }));
    ASSERT_TRUE(m_presenter->SimulateKey(dialog, "Down"));
    ASSERT_TRUE(m_presenter->SimulateKey(dialog, "Return"));
    ASSERT_TRUE(PumpUntil([&] { return SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0) == 0; }));
    EXPECT_EQ(Text(combo), "5460(电信用户)");
    EXPECT_TRUE(IsWindow(dialog)) << "Return chose the item and did not press OK";

    // The screen: white edits, the masked password, the etched line, the
    // default button's frame. Taken once it shows what the window's own
    // surface holds at every point checked (the closed list gone from it).
    RECT pr, okClient;
    GetClientRect(password, &pr);
    GetClientRect(ok, &okClient);
    HWND line = nullptr;
    for (HWND w = GetWindow(dialog, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        if ((GetWindowLongA(w, GWL_STYLE) & SS_TYPEMASK) == SS_ETCHEDHORZ)
            line = w;
    ASSERT_TRUE(line);
    const POINT blank = InRoot(password, pr.right - 3, pr.bottom - 3); // right of the masks
    const POINT frame = InRoot(ok, okClient.right / 2, 0);
    const POINT etched = InRoot(line, 10, 0);
    std::vector<POINT> points{blank, frame, etched, InRoot(ok, 4, 4), InRoot(user, 3, 3)};
    for (int x = 1; x < 40; ++x)
        for (int y = 1; y < pr.bottom - 1; ++y)
            points.push_back(InRoot(password, x, y));
    auto own = win::GetWindowSurface(dialog);
    ASSERT_TRUE(own);
    auto shot = Shot(dialog, [&](const Surface& s) {
        for (POINT p : points) {
            const POINT q = OnSurface(dialog, p);
            if (p.x >= s.Width() || p.y >= s.Height() ||
                (s.GetPixel(p.x, p.y) & 0xFFFFFF) != (own->GetPixel(q.x, q.y) & 0xFFFFFF))
                return false;
        }
        return true;
    });
    ASSERT_TRUE(shot) << "the screen shows the window's own pixels";
    SavePng(*shot, "controls-add-account.png"); // beside the test binary, in the build tree
    EXPECT_EQ(shot->GetPixel(blank.x, blank.y) & 0xFFFFFF, Rgb(GetSysColor(COLOR_WINDOW)));
    EXPECT_EQ(shot->GetPixel(frame.x, frame.y) & 0xFFFFFF, 0u) << "the default button's frame";
    EXPECT_EQ(shot->GetPixel(etched.x, etched.y) & 0xFFFFFF, Rgb(GetSysColor(COLOR_BTNSHADOW))) << "the etched line";
    int masks = 0;
    for (size_t i = 5; i < points.size(); ++i) {
        const uint32_t p = shot->GetPixel(points[i].x, points[i].y) & 0xFFFFFF;
        masks += (p & 0xFF) < 0x60 && ((p >> 8) & 0xFF) < 0x60 && (p >> 16) < 0x60;
    }
    EXPECT_GT(masks, 6) << "the mask characters";
    DestroyWindow(dialog);
}

TEST_F(ControlsDisplay, OwnerDrawnButtonStatesAndATooltip)
{
    test::ControlHost host({80, 80, 380, 260}, WS_POPUP | WS_VISIBLE | WS_BORDER);
    HWND button = host.Create(WC_BUTTON, "画", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, {20, 20, 120, 60}, 7);
    HWND plain = host.Create(WC_BUTTON, "提示", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, {150, 20, 250, 60}, 8);
    std::vector<UINT> states;
    host.m_handler = [&](UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
        if (message != WM_DRAWITEM)
            return false;
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        states.push_back(dis->itemState);
        HBRUSH brush = CreateSolidBrush((dis->itemState & ODS_SELECTED) ? RGB(200, 0, 0) : RGB(0, 0, 200));
        FillRect(dis->hDC, &dis->rcItem, brush);
        DeleteObject(brush);
        *result = TRUE;
        return true;
    };
    InvalidateRect(button, nullptr, TRUE);
    ASSERT_TRUE(PumpUntil([&] { return !states.empty(); }));
    ASSERT_TRUE(Shown(host.Handle()));
    const POINT at = Centre(button);
    ASSERT_TRUE(m_presenter->SimulateButton(host.Handle(), at.x, at.y, 1, true));
    ASSERT_TRUE(PumpUntil([&] { return !states.empty() && (states.back() & ODS_SELECTED); }));
    auto pressed = Shot(host.Handle(), [&](const Surface& s) {
        return (s.GetPixel(at.x, at.y) & 0xFFFFFF) == 0xC80000u;
    });
    ASSERT_TRUE(pressed);
    EXPECT_EQ(pressed->GetPixel(at.x, at.y) & 0xFFFFFF, 0xC80000u);
    host.Clear();
    ASSERT_TRUE(m_presenter->SimulateButton(host.Handle(), at.x, at.y, 1, false));
    ASSERT_TRUE(PumpUntil([&] { return !host.Codes().empty(); }));
    EXPECT_EQ(host.Codes(), std::vector<UINT>{BN_CLICKED});
    EXPECT_EQ(states.back() & ODS_SELECTED, 0u);

    // A tooltip appears over its tool after the hover time, never active.
    HWND tip = CreateWindowExA(0, TOOLTIPS_CLASS, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, host.Handle(), nullptr,
                               nullptr, nullptr);
    char text[] = "确定按钮";
    TOOLINFO ti{};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = host.Handle();
    ti.uId = reinterpret_cast<UINT_PTR>(plain);
    ti.lpszText = text;
    SendMessageA(tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti));
    const POINT over = Centre(plain);
    ASSERT_TRUE(m_presenter->SimulatePointer(host.Handle(), over.x - 5, over.y));
    ASSERT_TRUE(m_presenter->SimulatePointer(host.Handle(), over.x, over.y));
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(tip) != FALSE; }));
    EXPECT_NE(GetForegroundWindow(), tip);
    auto tipShot = Shot(tip, [&](const Surface& s) {
        return s.Width() > 4 && (s.GetPixel(2, 2) & 0xFFFFFF) == Rgb(GetSysColor(COLOR_INFOBK));
    });
    ASSERT_TRUE(tipShot);
    EXPECT_EQ(tipShot->GetPixel(0, 0) & 0xFFFFFF, 0u) << "the black frame";
    EXPECT_EQ(tipShot->GetPixel(2, 2) & 0xFFFFFF, Rgb(GetSysColor(COLOR_INFOBK)));
    DestroyWindow(tip);
}
