// The status bar, the date picker and the rich edit on a real display:
// clicks, keys and IME text from the desktop; the pixels the presenter shows.
#include "platform/base/CodePage.h"
#include "platform/controls/DateTimePick.h"
#include "platform/controls/RichEdit.h"
#include "platform/controls/StatusBar.h"
#include "platform/display/GtkPresenter.h"
#include "platform/gdi/Png.h"
#include "platform/gdi/Surface.h"
#include "platform/win/User.h"
#include "tests/platform/controls/PictureObject.h"
#include "tests/support/DisplayPump.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace tavrin;
using tavrin::test::PumpUntil;

namespace {

std::vector<std::string> g_changes;

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // A status bar places itself when its parent passes the size on.
    if (message == WM_SIZE)
        if (HWND bar = GetDlgItem(hwnd, 0xE801))
            SendMessageA(bar, WM_SIZE, wParam, lParam);
    if (message == WM_NOTIFY) {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (hdr->code == DTN_DATETIMECHANGE) {
            const SYSTEMTIME& st = reinterpret_cast<NMDATETIMECHANGE*>(lParam)->st;
            g_changes.push_back(std::to_string(hdr->idFrom) + ":" + std::to_string(st.wYear) + "-" +
                                std::to_string(st.wMonth) + "-" + std::to_string(st.wDay));
        }
        return 0;
    }
    if (message == WM_ERASEBKGND) {
        RECT client;
        GetClientRect(hwnd, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

class Controls3Display : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no display";
        presenter = display::StartGtkPresenter();
        ASSERT_TRUE(presenter);
        InitCommonControls();
        WNDCLASSA wc{};
        wc.lpfnWndProc = FrameProc;
        wc.lpszClassName = "TavrinControls3Frame";
        RegisterClassA(&wc);
        g_changes.clear();
        frame = CreateWindowExA(0, "TavrinControls3Frame", "导出数据", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 480,
                                360, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(frame);
        SetForegroundWindow(frame);
    }
    void TearDown() override
    {
        if (frame) {
            DestroyWindow(frame);
            presenter->WindowDestroyed(frame);
        }
    }
    // The colour the desktop shows at a point of a window's client area.
    COLORREF Shown(HWND hwnd, int x, int y)
    {
        HWND root = GetAncestor(hwnd, GA_ROOT);
        presenter->Flush();
        auto shot = presenter->CaptureWindow(root);
        POINT pt{x, y};
        MapWindowPoints(hwnd, root, &pt, 1);
        if (!shot || pt.x < 0 || pt.y < 0 || pt.x >= shot->Width() || pt.y >= shot->Height())
            return 0xFFFFFFFF;
        return ColorFromPixel(shot->GetPixel(pt.x, pt.y)) & 0xFFFFFF;
    }
    void Settle(HWND hwnd)
    {
        ASSERT_TRUE(PumpUntil([&] { return presenter->GetNativeWindow(hwnd) != 0 && IsWindowVisible(hwnd); }, 5000));
        PumpUntil([] { return false; }, 300);
    }
    // Client coordinates of a child in its top-level window's client area.
    POINT InFrame(HWND child, int x, int y)
    {
        POINT pt{x, y};
        MapWindowPoints(child, GetAncestor(child, GA_ROOT), &pt, 1);
        return pt;
    }
    void Save(const char* name)
    {
        UpdateWindow(frame);
        PumpUntil([] { return false; }, 200);
        presenter->Flush();
        if (auto shot = presenter->CaptureWindow(frame))
            SavePng(*shot, name);
    }
    display::GtkPresenter* presenter = nullptr;
    HWND frame = nullptr;
};

std::string Date(HWND picker)
{
    SYSTEMTIME st{};
    SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
    return std::to_string(st.wYear) + "-" + std::to_string(st.wMonth) + "-" + std::to_string(st.wDay);
}

} // namespace

TEST_F(Controls3Display, ADayPickedInTheExportDialogsDatePicker)
{
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | DTS_SHORTDATEFORMAT | DTS_RIGHTALIGN;
    HWND from = CreateWindowExA(WS_EX_CLIENTEDGE, DATETIMEPICK_CLASS, "", style, 20, 20, 110, 22, frame,
                                reinterpret_cast<HMENU>(1050), nullptr, nullptr);
    HWND to = CreateWindowExA(WS_EX_CLIENTEDGE, DATETIMEPICK_CLASS, "", style, 160, 20, 110, 22, frame,
                              reinterpret_cast<HMENU>(1052), nullptr, nullptr);
    ASSERT_TRUE(from && to);
    SYSTEMTIME st{};
    st.wYear = 2005;
    st.wMonth = 3;
    st.wDay = 1;
    SendMessageA(from, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
    st.wDay = 31;
    SendMessageA(to, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));

    Settle(frame);
    // The drop-down button of the second picker.
    RECT client;
    GetClientRect(to, &client);
    POINT button = InFrame(to, client.right - 5, client.bottom / 2);
    ASSERT_TRUE(presenter->SimulateClick(frame, button.x, button.y, 1));
    HWND calendar = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        calendar = reinterpret_cast<HWND>(SendMessageA(to, DTM_GETMONTHCAL, 0, 0));
        return calendar && IsWindowVisible(calendar);
    }));
    Settle(calendar);
    RECT cal, own;
    GetWindowRect(calendar, &cal);
    GetWindowRect(to, &own);
    EXPECT_EQ(cal.right, own.right); // aligned right
    // The selected day is highlighted on screen.
    RECT day;
    ASSERT_TRUE(controls::MonthCalDayRect(calendar, 31, &day));
    ASSERT_TRUE(PumpUntil([&] { return Shown(calendar, day.left + 2, day.top + 2) == GetSysColor(COLOR_HIGHLIGHT); }));
    // The 15th, clicked.
    ASSERT_TRUE(controls::MonthCalDayRect(calendar, 15, &day));
    ASSERT_TRUE(presenter->SimulateClick(calendar, (day.left + day.right) / 2 + 1, (day.top + day.bottom) / 2 + 1, 1));
    ASSERT_TRUE(PumpUntil([&] { return Date(to) == "2005-3-15"; }));
    EXPECT_FALSE(IsWindow(calendar));
    EXPECT_EQ(g_changes, std::vector<std::string>{"1052:2005-3-15"});
    EXPECT_EQ(Date(from), "2005-3-1");
    // A key steps the selected field, the year.
    ASSERT_TRUE(presenter->SimulateKey(frame, "Up"));
    ASSERT_TRUE(PumpUntil([&] { return Date(to) == "2006-3-15"; })) << Date(to);
    EXPECT_EQ(g_changes.size(), 2u);
    Save("controls3-date-picker.png");
}

TEST_F(Controls3Display, RichEditTypedIntoWithAPictureInPlace)
{
    HWND body = CreateWindowExA(WS_EX_CLIENTEDGE, RICHEDIT_CLASS, "",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                    ES_WANTRETURN,
                                10, 60, 440, 110, frame, reinterpret_cast<HMENU>(1025), nullptr, nullptr);
    ASSERT_TRUE(body);
    Settle(frame);
    POINT inside = InFrame(body, 50, 20);
    ASSERT_TRUE(presenter->SimulateClick(frame, inside.x, inside.y, 1));
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == body; }));
    ASSERT_TRUE(presenter->SimulateKey(frame, "a"));
    ASSERT_TRUE(presenter->SimulateKey(frame, "b"));
    auto text = [&] {
        char buffer[64] = {};
        GetWindowTextA(body, buffer, sizeof buffer);
        return std::string(buffer);
    };
    ASSERT_TRUE(PumpUntil([&] { return text() == "ab"; })) << text();
    ASSERT_TRUE(presenter->SimulateImeCommit(frame, GbkToUtf8("中文")));
    ASSERT_TRUE(PumpUntil([&] { return text() == "ab中文"; })) << text();
    // A red picture after "ab", shown where the text puts it.
    SendMessageA(body, EM_SETSEL, 2, 2);
    ASSERT_EQ(test::InsertPicture(body, RGB(255, 0, 0), 12), S_OK);
    EXPECT_EQ(text(), "ab 中文");
    POINT at{}, after{};
    SendMessageA(body, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), 2);
    SendMessageA(body, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&after), 3);
    EXPECT_EQ(after.x - at.x, 21);
    ASSERT_TRUE(PumpUntil([&] { return Shown(body, at.x + 10, at.y + 10) == RGB(255, 0, 0); }));
    EXPECT_NE(Shown(body, at.x - 3, at.y + 10), RGB(255, 0, 0));
    // Typing goes on after the picture.
    ASSERT_TRUE(presenter->SimulateKey(frame, "x"));
    ASSERT_TRUE(PumpUntil([&] { return text() == "ab x中文"; })) << text();
    Save("controls3-rich-edit.png");
}

TEST_F(Controls3Display, StatusBarWithItsGrip)
{
    HWND bar = CreateWindowExA(0, STATUSCLASSNAME, "就绪", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, frame,
                               reinterpret_cast<HMENU>(0xE801), nullptr, nullptr);
    ASSERT_TRUE(bar);
    const int parts[] = {200, 260, 320, -1};
    SendMessageA(bar, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(parts));
    SendMessageA(bar, SB_SETMINHEIGHT, 20, 0);
    SendMessageA(bar, WM_SIZE, 0, 0);
    Settle(frame);
    RECT client;
    GetClientRect(bar, &client);
    EXPECT_GE(client.bottom, 20);
    // The grip's diagonals in the corner.
    ASSERT_TRUE(PumpUntil([&] {
        int shadow = 0;
        for (int x = client.right - 14; x < client.right; ++x)
            for (int y = client.bottom - 14; y < client.bottom; ++y)
                shadow += Shown(bar, x, y) == GetSysColor(COLOR_BTNSHADOW);
        return shadow > 8;
    }));
    // The sunken border of the first part.
    EXPECT_EQ(Shown(bar, 100, 2), GetSysColor(COLOR_BTNSHADOW));
    Save("controls3-status-bar.png");
    // A press on the grip and a drag resize the window.
    RECT before;
    GetWindowRect(frame, &before);
    const POINT at = InFrame(bar, client.right - 4, client.bottom - 4);
    ASSERT_TRUE(presenter->SimulateButton(frame, at.x, at.y, 1, true));
    PumpUntil([] { return false; }, 300);
    ASSERT_TRUE(presenter->SimulatePointer(frame, at.x + 60, at.y + 40));
    PumpUntil([] { return false; }, 300);
    ASSERT_TRUE(presenter->SimulateButton(frame, at.x + 60, at.y + 40, 1, false));
    RECT after{};
    EXPECT_TRUE(PumpUntil([&] {
        GetWindowRect(frame, &after);
        return after.right - after.left > before.right - before.left + 30;
    }, 5000)) << "width " << after.right - after.left << " was " << before.right - before.left;
    // The bar followed the window's new width.
    RECT frameClient, barRect;
    GetClientRect(frame, &frameClient);
    GetWindowRect(bar, &barRect);
    EXPECT_TRUE(PumpUntil([&] {
        GetClientRect(frame, &frameClient);
        GetWindowRect(bar, &barRect);
        return barRect.right - barRect.left == frameClient.right;
    }, 5000));
}
