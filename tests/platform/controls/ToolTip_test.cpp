#include "platform/controls/Static.h"
#include "platform/controls/ToolTip.h"
#include "tests/platform/controls/ControlHost.h"

#include "platform/base/Clock.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace tavrin::test;

namespace {

HWND CreateTip(HWND owner, DWORD style = TTS_ALWAYSTIP)
{
    HWND tip = CreateWindowExA(0, TOOLTIPS_CLASS, nullptr, WS_POPUP | style, 0, 0, 0, 0, owner, nullptr, nullptr, nullptr);
    return tip;
}

TOOLINFO Info(HWND hwnd, UINT_PTR id, UINT flags, LPSTR text, RECT rect = {})
{
    TOOLINFO ti{};
    ti.cbSize = sizeof(ti);
    ti.uFlags = flags;
    ti.hwnd = hwnd;
    ti.uId = id;
    ti.rect = rect;
    ti.lpszText = text;
    return ti;
}

} // namespace

TEST(ToolTip, ToolMessages)
{
    ControlHost host;
    HWND tip = CreateTip(host.Handle());
    EXPECT_NE(GetWindowLongA(tip, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    char hello[] = "hello";
    TOOLINFO ti = Info(host.Handle(), 7, 0, hello, {0, 0, 50, 50});
    EXPECT_TRUE(SendMessageA(tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti)));
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);

    char buffer[TOOLTIP_TEXT_SIZE] = {};
    TOOLINFO query = Info(host.Handle(), 7, 0, buffer);
    EXPECT_TRUE(SendMessageA(tip, TTM_GETTOOLINFO, 0, reinterpret_cast<LPARAM>(&query)));
    EXPECT_STREQ(buffer, "hello");
    EXPECT_EQ(query.rect.right, 50);

    char changed[] = "changed";
    TOOLINFO update = Info(host.Handle(), 7, 0, changed);
    SendMessageA(tip, TTM_UPDATETIPTEXT, 0, reinterpret_cast<LPARAM>(&update));
    // TTM_GETTEXT honours the buffer size it is given.
    char small[4] = {'x', 'x', 'x', 'x'};
    TOOLINFO get = Info(host.Handle(), 7, 0, small);
    SendMessageA(tip, TTM_GETTEXT, sizeof(small), reinterpret_cast<LPARAM>(&get));
    EXPECT_EQ(std::string(small), "cha");

    TOOLINFO missing = Info(host.Handle(), 8, 0, buffer);
    EXPECT_FALSE(SendMessageA(tip, TTM_GETTOOLINFO, 0, reinterpret_cast<LPARAM>(&missing)));
    TOOLINFO callback = Info(host.Handle(), 9, 0, LPSTR_TEXTCALLBACK);
    SendMessageA(tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&callback));
    TOOLINFO back = Info(host.Handle(), 9, 0, buffer);
    SendMessageA(tip, TTM_GETTOOLINFO, 0, reinterpret_cast<LPARAM>(&back));
    EXPECT_EQ(back.lpszText, LPSTR_TEXTCALLBACK);
    SendMessageA(tip, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&ti));
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    DestroyWindow(tip);
}

TEST(ToolTip, AppearsAfterTheHoverTimeOverASubclassedTool)
{
    tavrin::clock::ManualScope clock{1000000};
    ControlHost host;
    HWND tool = host.Create(WC_STATIC, "", WS_CHILD | WS_VISIBLE | SS_NOTIFY, {20, 20, 120, 60}, 11);
    HWND other = host.Create(WC_STATIC, "", WS_CHILD | WS_VISIBLE | SS_NOTIFY, {200, 20, 300, 60}, 12);
    HWND tip = CreateTip(host.Handle());
    TOOLINFO ti = Info(host.Handle(), reinterpret_cast<UINT_PTR>(tool), TTF_IDISHWND | TTF_SUBCLASS, LPSTR_TEXTCALLBACK);
    SendMessageA(tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti));
    host.m_handler = [&](UINT message, WPARAM, LPARAM lParam, LRESULT*) {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (message == WM_NOTIFY && hdr->code == TTN_GETDISPINFO) {
            EXPECT_EQ(hdr->idFrom, reinterpret_cast<UINT_PTR>(tool));
            auto* info = reinterpret_cast<NMTTDISPINFO*>(lParam);
            std::strcpy(info->szText, "提示");
        }
        return false;
    };
    const UINT initial = static_cast<UINT>(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0));
    ASSERT_GT(initial, 0u);
    POINT over = ScreenPoint(tool, 30, 10);
    tavrin::win::InjectMouseMove(over.x, over.y);
    PumpAll();
    host.Clear();
    tavrin::clock::Advance(initial - 1);
    PumpAll();
    EXPECT_FALSE(IsWindowVisible(tip));
    tavrin::clock::Advance(1);
    PumpAll();
    EXPECT_TRUE(IsWindowVisible(tip));
    EXPECT_EQ(host.Codes(WM_NOTIFY), (std::vector<UINT>{TTN_GETDISPINFO, TTN_SHOW}));
    // Below the cursor, never the active window.
    RECT r;
    GetWindowRect(tip, &r);
    EXPECT_GT(r.top, over.y);
    EXPECT_NE(GetActiveWindow(), tip);
    EXPECT_EQ(PixelAt(tip, 1, 1), GetSysColor(COLOR_INFOBK));

    // Moving to a window that is no tool pops it.
    host.Clear();
    POINT away = ScreenPoint(other, 10, 10);
    tavrin::win::InjectMouseMove(away.x, away.y);
    tavrin::clock::Advance(200);
    PumpAll();
    EXPECT_FALSE(IsWindowVisible(tip));
    EXPECT_EQ(host.Codes(WM_NOTIFY), (std::vector<UINT>{TTN_POP}));

    // Back over the tool, a click pops it and it stays away.
    tavrin::win::InjectMouseMove(over.x, over.y);
    PumpAll();
    tavrin::clock::Advance(initial);
    PumpAll();
    EXPECT_TRUE(IsWindowVisible(tip));
    ClickAt(tool, 30, 10);
    EXPECT_FALSE(IsWindowVisible(tip));
    tavrin::clock::Advance(initial * 2);
    PumpAll();
    EXPECT_FALSE(IsWindowVisible(tip));

    // Removing the tool gives the window its own procedure back.
    SendMessageA(tip, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&ti));
    WNDCLASSA wc{};
    GetClassInfoA(nullptr, WC_STATIC, &wc);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(tool, GWLP_WNDPROC)), wc.lpfnWndProc);
    DestroyWindow(tip);
}

TEST(ToolTip, RelayedEventsAndAutoPop)
{
    tavrin::clock::ManualScope clock{1000000};
    ControlHost host;
    HWND tip = CreateTip(host.Handle());
    char text[] = "rect tool";
    TOOLINFO ti = Info(host.Handle(), 1, 0, text, {0, 0, 40, 40});
    SendMessageA(tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessageA(tip, TTM_SETDELAYTIME, TTDT_AUTOMATIC, 100);
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 1000);
    POINT pt = ScreenPoint(host.Handle(), 10, 10);
    SetCursorPos(pt.x, pt.y);
    PumpAll();
    MSG msg{host.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10), 0, pt};
    SendMessageA(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    tavrin::clock::Advance(100);
    PumpAll();
    EXPECT_TRUE(IsWindowVisible(tip));
    host.Clear();
    tavrin::clock::Advance(1000);
    PumpAll();
    EXPECT_FALSE(IsWindowVisible(tip));
    EXPECT_EQ(host.Codes(WM_NOTIFY), (std::vector<UINT>{TTN_POP}));
    // Deactivated tips never show.
    SendMessageA(tip, TTM_ACTIVATE, FALSE, 0);
    msg.lParam = MAKELPARAM(100, 100);
    SendMessageA(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    msg.lParam = MAKELPARAM(10, 10);
    SendMessageA(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    tavrin::clock::Advance(200);
    PumpAll();
    EXPECT_FALSE(IsWindowVisible(tip));
    DestroyWindow(tip);
}
