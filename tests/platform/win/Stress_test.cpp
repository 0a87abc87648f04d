#include "TestWindow.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using tavrin::test::CreateRecorderWindow;
using tavrin::test::Recorder;

// Many threads post and send to one window while it pumps; every post
// arrives once and in its thread's order, every send gets its answer.
TEST(MessageStress, PostsAndSendsFromManyThreads)
{
    constexpr int kThreads = 8;
    constexpr int kRounds = 300;
    Recorder recorder;
    HWND hwnd = CreateRecorderWindow(&recorder);
    std::atomic<int> done{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < kThreads; ++t) {
        workers.emplace_back([&, t] {
            for (int i = 0; i < kRounds; ++i) {
                PostMessageA(hwnd, WM_USER + 1, static_cast<WPARAM>(t), i);
                if (i % 3 == 0) {
                    EXPECT_EQ(SendMessageA(hwnd, WM_USER + 2, static_cast<WPARAM>(i), t), i + 1);
                }
            }
            ++done;
            PostMessageA(hwnd, WM_NULL, 0, 0);
        });
    }
    std::vector<int> next(kThreads, 0);
    int posts = 0;
    MSG msg;
    while ((done < kThreads || posts < kThreads * kRounds) && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_USER + 1) {
            int t = static_cast<int>(msg.wParam);
            EXPECT_EQ(msg.lParam, next[t]);
            next[t] = static_cast<int>(msg.lParam) + 1;
            ++posts;
        }
        DispatchMessageA(&msg);
    }
    for (auto& w : workers)
        w.join();
    EXPECT_EQ(posts, kThreads * kRounds);
    DestroyWindow(hwnd);
}

// Two window threads that send to each other never deadlock: each serves the
// other's sends while its own waits.
TEST(MessageStress, ThreadsSendingToEachOther)
{
    constexpr int kRounds = 200;
    Recorder a, b;
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HWND other = nullptr;
    std::atomic<bool> stop{false};
    std::thread peer([&] {
        other = CreateRecorderWindow(&b);
        SetEvent(ready);
        MSG msg;
        while (!stop && GetMessageA(&msg, nullptr, 0, 0) > 0)
            DispatchMessageA(&msg);
    });
    WaitForSingleObject(ready, INFINITE);
    HWND mine = CreateRecorderWindow(&a);
    // Each message the peer gets makes it send one back to this thread.
    b.m_handler = [&](HWND, UINT message, WPARAM w, LPARAM, bool* handled) -> LRESULT {
        if (message != WM_USER + 1)
            return 0;
        *handled = true;
        return SendMessageA(mine, WM_USER + 2, w, 0) + 1;
    };
    for (int i = 0; i < kRounds; ++i)
        EXPECT_EQ(SendMessageA(other, WM_USER + 1, static_cast<WPARAM>(i), 0), i + 2);
    EXPECT_EQ(a.Messages(WM_USER + 2).size(), static_cast<size_t>(kRounds));
    stop = true;
    PostMessageA(other, WM_NULL, 0, 0);
    peer.join();
    DestroyWindow(mine);
    CloseHandle(ready);
}
