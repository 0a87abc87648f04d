#include "platform/base/Clock.h"

#include "TestWindow.h"

#include <gtest/gtest.h>
#include <thread>

using tavrin::test::CreateRecorderWindow;
using tavrin::test::Recorder;

namespace {

class TimerTest : public ::testing::Test {
protected:
    tavrin::clock::ManualScope m_clock{1000000};
    Recorder m_recorder;
    HWND m_hwnd = CreateRecorderWindow(&m_recorder);
    void TearDown() override { DestroyWindow(m_hwnd); }

    bool Peek(MSG* msg) { return PeekMessageA(msg, nullptr, 0, 0, PM_REMOVE) != FALSE; }
};

std::vector<UINT_PTR> g_fired;
void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    g_fired.push_back(id);
}

} // namespace

TEST_F(TimerTest, FiresOnTheManualClockAndDoesNotPileUp)
{
    EXPECT_EQ(SetTimer(m_hwnd, 7, 100, nullptr), 7u);
    MSG msg;
    EXPECT_FALSE(Peek(&msg));
    tavrin::clock::Advance(99);
    EXPECT_FALSE(Peek(&msg));
    tavrin::clock::Advance(1);
    ASSERT_TRUE(Peek(&msg));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(msg.hwnd, m_hwnd);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(Peek(&msg));
    // A long gap gives one message, not ten.
    tavrin::clock::Advance(1000);
    ASSERT_TRUE(Peek(&msg));
    EXPECT_FALSE(Peek(&msg));
    EXPECT_TRUE(KillTimer(m_hwnd, 7));
    EXPECT_FALSE(KillTimer(m_hwnd, 7));
    tavrin::clock::Advance(1000);
    EXPECT_FALSE(Peek(&msg));
}

TEST_F(TimerTest, ComesOnlyWhenNothingElseIsQueued)
{
    SetTimer(m_hwnd, 1, 50, nullptr);
    tavrin::clock::Advance(50);
    PostMessageA(m_hwnd, WM_USER + 1, 0, 0);
    PostMessageA(m_hwnd, WM_USER + 2, 0, 0);
    MSG msg;
    std::vector<UINT> order;
    while (Peek(&msg))
        order.push_back(msg.message);
    EXPECT_EQ(order, (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_TIMER}));
    // Peeking without removing leaves the timer due.
    tavrin::clock::Advance(50);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
}

TEST_F(TimerTest, ResettingATimerRestartsItsInterval)
{
    SetTimer(m_hwnd, 3, 100, nullptr);
    tavrin::clock::Advance(60);
    SetTimer(m_hwnd, 3, 100, nullptr);
    tavrin::clock::Advance(60);
    MSG msg;
    EXPECT_FALSE(Peek(&msg));
    tavrin::clock::Advance(40);
    EXPECT_TRUE(Peek(&msg));
}

TEST_F(TimerTest, ThreadTimerCallsItsProcedure)
{
    g_fired.clear();
    UINT_PTR id = SetTimer(nullptr, 0, 20, OnTimer);
    ASSERT_NE(id, 0u);
    tavrin::clock::Advance(20);
    MSG msg;
    ASSERT_TRUE(Peek(&msg));
    EXPECT_EQ(msg.hwnd, nullptr);
    DispatchMessageA(&msg);
    EXPECT_EQ(g_fired, (std::vector<UINT_PTR>{id}));
    // A posted WM_TIMER carrying some address is not a call to it.
    MSG forged{m_hwnd, WM_TIMER, 12223, reinterpret_cast<LPARAM>(&OnTimer), 0, {0, 0}};
    DispatchMessageA(&forged);
    EXPECT_EQ(g_fired.size(), 1u);
    EXPECT_EQ(m_recorder.Messages(WM_TIMER), (std::vector<UINT>{WM_TIMER}));
    KillTimer(nullptr, id);
}

TEST_F(TimerTest, WaitingGetMessageWakesWhenTheClockMoves)
{
    SetTimer(m_hwnd, 9, 500, nullptr);
    std::thread driver([] { tavrin::clock::Advance(500); });
    MSG msg;
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(msg.wParam, 9u);
    driver.join();
}

TEST_F(TimerTest, DestroyingTheWindowKillsItsTimers)
{
    SetTimer(m_hwnd, 1, 10, nullptr);
    DestroyWindow(m_hwnd);
    tavrin::clock::Advance(100);
    MSG msg;
    EXPECT_FALSE(Peek(&msg));
    EXPECT_EQ(SetTimer(m_hwnd, 1, 10, nullptr), 0u);
}
