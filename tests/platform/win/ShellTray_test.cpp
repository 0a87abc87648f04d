#include "TestWindow.h"

#include "platform/win/ShellTray.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace tavrin::test;
using namespace tavrin::win;

namespace {

constexpr UINT kCallback = 0xDD8;

struct TrayTest : ::testing::Test {
    Recorder recorder;
    HWND hwnd = nullptr;

    void SetUp() override
    {
        ClearTrayIcons();
        SetTrayAvailable(true);
        hwnd = CreateRecorderWindow(&recorder);
        ASSERT_TRUE(hwnd);
    }
    void TearDown() override
    {
        DestroyWindow(hwnd);
        ClearTrayIcons();
        SetTrayAvailable(true);
        SetTaskbarRect(ABE_BOTTOM, RECT{});
    }

    NOTIFYICONDATAA Record(UINT flags)
    {
        NOTIFYICONDATAA data{};
        data.cbSize = sizeof data;
        data.hWnd = hwnd;
        data.uID = 128;
        data.uFlags = flags;
        data.uCallbackMessage = kCallback;
        data.hIcon = reinterpret_cast<HICON>(0x10);
        std::strcpy(data.szTip, "Tavrin");
        return data;
    }

    std::vector<MSG> Drain()
    {
        std::vector<MSG> out;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            out.push_back(msg);
        return out;
    }
};

} // namespace

TEST_F(TrayTest, AddModifyHideDelete)
{
    NOTIFYICONDATAA data = Record(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
    EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &data)) << "the same icon twice";
    ASSERT_EQ(GetTrayIcons().size(), 1u);
    EXPECT_EQ(GetTrayIcons()[0].tip, "Tavrin");
    EXPECT_FALSE(GetTrayIcons()[0].hidden);

    // Only the fields the flags name change.
    NOTIFYICONDATAA tip = Record(NIF_TIP);
    std::strcpy(tip.szTip, "新留言");
    tip.hIcon = reinterpret_cast<HICON>(0x20);
    ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &tip));
    EXPECT_EQ(GetTrayIcons()[0].tip, "新留言");
    EXPECT_EQ(GetTrayIcons()[0].icon, reinterpret_cast<HICON>(0x10));

    NOTIFYICONDATAA hide = Record(NIF_STATE);
    hide.dwState = hide.dwStateMask = NIS_HIDDEN;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &hide));
    EXPECT_TRUE(GetTrayIcons()[0].hidden);
    hide.dwState = 0;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &hide));
    EXPECT_FALSE(GetTrayIcons()[0].hidden);

    ASSERT_TRUE(Shell_NotifyIconA(NIM_SETFOCUS, &data));
    EXPECT_TRUE(GetTrayIcons()[0].focused);
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &data));
    EXPECT_TRUE(GetTrayIcons().empty());
    for (DWORD m : {NIM_MODIFY, NIM_DELETE, NIM_SETFOCUS})
        EXPECT_FALSE(Shell_NotifyIconA(m, &data)) << m;
}

TEST_F(TrayTest, WithoutATrayAddingFails)
{
    SetTrayAvailable(false);
    EXPECT_FALSE(IsTrayAvailable());
    NOTIFYICONDATAA data = Record(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &data));
    EXPECT_TRUE(GetTrayIcons().empty());
}

TEST_F(TrayTest, MouseOnTheIconPostsTheCallback)
{
    NOTIFYICONDATAA data = Record(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
    Drain();
    ASSERT_TRUE(NotifyTrayIcon(hwnd, 128, WM_LBUTTONDBLCLK));
    EXPECT_FALSE(NotifyTrayIcon(hwnd, 129, WM_LBUTTONDBLCLK));
    auto msgs = Drain();
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0].hwnd, hwnd);
    EXPECT_EQ(msgs[0].message, kCallback);
    EXPECT_EQ(msgs[0].wParam, 128u);
    EXPECT_EQ(msgs[0].lParam, WM_LBUTTONDBLCLK);

    // A hidden icon cannot be clicked.
    NOTIFYICONDATAA hide = Record(NIF_STATE);
    hide.dwState = hide.dwStateMask = NIS_HIDDEN;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &hide));
    EXPECT_FALSE(NotifyTrayIcon(hwnd, 128, WM_RBUTTONUP));
}

TEST_F(TrayTest, TaskbarCreatedIsBroadcastAndIconsStay)
{
    NOTIFYICONDATAA data = Record(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
    Drain();
    TaskbarCreated();
    auto msgs = Drain();
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0].message, RegisterWindowMessageA("TaskbarCreated"));
    EXPECT_EQ(GetTrayIcons().size(), 1u);
}

TEST_F(TrayTest, TaskbarPosition)
{
    APPBARDATA abd{};
    abd.cbSize = sizeof abd;
    EXPECT_FALSE(SHAppBarMessage(ABM_GETTASKBARPOS, &abd)) << "no panel";
    SetTaskbarRect(ABE_BOTTOM, RECT{0, 738, 1024, 768});
    ASSERT_TRUE(SHAppBarMessage(ABM_GETTASKBARPOS, &abd));
    EXPECT_EQ(abd.uEdge, static_cast<UINT>(ABE_BOTTOM));
    EXPECT_EQ(abd.rc.top, 738);
    EXPECT_FALSE(SHAppBarMessage(0, &abd));
}
