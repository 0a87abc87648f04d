#include "TestWindow.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using tavrin::test::CreateRecorderWindow;
using tavrin::test::Recorder;

namespace {

// Pumps until the predicate holds.
template <class Pred>
void PumpUntil(Pred done)
{
    MSG msg;
    while (!done() && GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
}

} // namespace

TEST(MessageQueue, SendOnOwningThreadIsADirectCall)
{
    Recorder recorder;
    HWND hwnd = CreateRecorderWindow(&recorder);
    ASSERT_NE(hwnd, nullptr);
    PostMessageA(hwnd, WM_USER + 1, 0, 0);
    EXPECT_EQ(SendMessageA(hwnd, WM_USER + 2, 41, 0), 42);
    // The send ran at once, ahead of the message posted before it.
    EXPECT_EQ(recorder.Messages(), (std::vector<UINT>{WM_USER + 2}));
    EXPECT_FALSE(recorder.Take().back().inSend);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1));
    EXPECT_EQ(msg.hwnd, hwnd);
    DestroyWindow(hwnd);
}

TEST(MessageQueue, PostsKeepOrderAndSendsRunOnTheWindowThread)
{
    Recorder recorder;
    HWND hwnd = CreateRecorderWindow(&recorder);
    const DWORD ui = GetCurrentThreadId();
    constexpr int kWorkers = 3;
    std::atomic<int> finished{0};
    std::vector<std::thread> workers;
    for (int w = 0; w < kWorkers; ++w) {
        workers.emplace_back([&, w] {
            UINT base = WM_USER + 100 * (w + 1);
            PostMessageA(hwnd, base + 1, 0, 0);
            PostMessageA(hwnd, base + 2, 0, 0);
            EXPECT_EQ(SendMessageA(hwnd, base + 3, 9, 0), 10);
            PostMessageA(hwnd, base + 4, 0, 0);
            ++finished;
            PostMessageA(hwnd, WM_NULL, 0, 0); // wakes the pump for the check
        });
    }
    PumpUntil([&] { return finished == kWorkers && recorder.Messages().size() == 4 * kWorkers; });
    for (auto& t : workers)
        t.join();

    auto received = recorder.Take();
    for (int w = 0; w < kWorkers; ++w) {
        UINT base = WM_USER + 100 * (w + 1);
        std::vector<UINT> mine;
        for (const auto& r : received) {
            if (r.message > base && r.message <= base + 4) {
                mine.push_back(r.message - base);
                EXPECT_EQ(r.threadId, ui);
                EXPECT_EQ(r.inSend, r.message == base + 3);
            }
        }
        // Each thread's posts arrive in order; its send is handled before its
        // next post, which it makes only after the send returned.
        ASSERT_EQ(mine.size(), 4u);
        EXPECT_LT(std::find(mine.begin(), mine.end(), 1u), std::find(mine.begin(), mine.end(), 2u));
        EXPECT_LT(std::find(mine.begin(), mine.end(), 2u), std::find(mine.begin(), mine.end(), 4u));
        EXPECT_LT(std::find(mine.begin(), mine.end(), 3u), std::find(mine.begin(), mine.end(), 4u));
    }
    DestroyWindow(hwnd);
}

TEST(MessageQueue, WorkerSendingWhileTheWindowThreadWaitsForItFinishes)
{
    Recorder recorder;
    HWND hwnd = CreateRecorderWindow(&recorder);
    struct Args {
        HWND hwnd;
        LRESULT result;
    } args{hwnd, 0};
    HANDLE worker = CreateThread(
        nullptr, 0,
        [](LPVOID p) -> DWORD {
            auto* a = static_cast<Args*>(p);
            a->result = SendMessageA(a->hwnd, WM_USER + 17, 1, 0); // a progress report
            return 0;
        },
        &args, 0, nullptr);
    // A plain wait here would deadlock: the worker waits for this thread.
    EXPECT_EQ(tavrin::WaitServingSends(worker, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(args.result, 2);
    EXPECT_EQ(recorder.Messages(), (std::vector<UINT>{WM_USER + 17}));
    CloseHandle(worker);
    DestroyWindow(hwnd);
}

TEST(MessageQueue, ServingWaitLeavesPostedMessagesQueued)
{
    Recorder recorder;
    HWND hwnd = CreateRecorderWindow(&recorder);
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread worker([&] {
        PostMessageA(hwnd, WM_USER + 1, 0, 0);
        SendMessageA(hwnd, WM_USER + 2, 0, 0);
        SetEvent(event);
    });
    EXPECT_EQ(tavrin::WaitServingSends(event, INFINITE), WAIT_OBJECT_0);
    worker.join();
    EXPECT_EQ(recorder.Messages(), (std::vector<UINT>{WM_USER + 2}));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, hwnd, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1));
    EXPECT_EQ(tavrin::WaitServingSends(event, 0), WAIT_OBJECT_0);
    ResetEvent(event);
    EXPECT_EQ(tavrin::WaitServingSends(event, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    CloseHandle(event);
    DestroyWindow(hwnd);
}

TEST(MessageQueue, SendToDestroyedWindowReturnsZero)
{
    Recorder recorder;
    HWND hwnd = CreateRecorderWindow(&recorder);
    ASSERT_TRUE(DestroyWindow(hwnd));
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(SendMessageA(hwnd, WM_USER + 1, 5, 0), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    LRESULT fromWorker = -1;
    std::thread([&] { fromWorker = SendMessageA(hwnd, WM_USER + 1, 5, 0); }).join();
    EXPECT_EQ(fromWorker, 0);
    EXPECT_FALSE(PostMessageA(hwnd, WM_USER + 1, 0, 0));
}

TEST(MessageQueue, SendEndsWhenTheWindowIsDestroyedWhileTheSenderWaits)
{
    Recorder recorder;
    HWND hwnd = CreateRecorderWindow(&recorder);
    LRESULT result = -1;
    std::thread worker([&] { result = SendMessageA(hwnd, WM_USER + 1, 5, 0); });
    // Wait until the send is queued, without handling it.
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_SENDMESSAGE), WAIT_OBJECT_0);
    DestroyWindow(hwnd);
    worker.join();
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(recorder.Messages().empty());
}

TEST(MessageQueue, SendEndsWhenTheWindowThreadEnds)
{
    // A thread that owns a window and ends without handling a send to it.
    HANDLE created = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE queued = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    Recorder recorder;
    HWND hwnd = nullptr;
    std::thread owner([&] {
        hwnd = CreateRecorderWindow(&recorder);
        SetEvent(created);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_SENDMESSAGE);
        SetEvent(queued);
    });
    WaitForSingleObject(created, INFINITE);
    EXPECT_EQ(SendMessageA(hwnd, WM_USER + 1, 0, 0), 0);
    owner.join();
    EXPECT_FALSE(IsWindow(hwnd));
    // The thread's end destroyed its window.
    auto received = recorder.Messages(WM_DESTROY);
    EXPECT_NE(std::find(received.begin(), received.end(), WM_NCDESTROY), received.end());
    CloseHandle(created);
    CloseHandle(queued);
}

TEST(MessageQueue, QuitComesAfterPostedMessages)
{
    PostThreadMessageA(GetCurrentThreadId(), WM_USER + 1, 0, 0);
    PostQuitMessage(3);
    PostThreadMessageA(GetCurrentThreadId(), WM_USER + 2, 0, 0);
    MSG msg;
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1));
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 2));
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST(MessageQueue, FiltersByWindowAndRange)
{
    Recorder recorder;
    HWND parent = CreateRecorderWindow(&recorder);
    HWND child = CreateRecorderWindow(&recorder, parent, WS_CHILD);
    HWND other = CreateRecorderWindow(&recorder);
    PostMessageA(other, WM_USER + 1, 0, 0);
    PostMessageA(child, WM_USER + 2, 0, 0);
    PostMessageA(parent, WM_USER + 3, 0, 0);
    PostThreadMessageA(GetCurrentThreadId(), WM_USER + 4, 0, 0);
    MSG msg;
    // A window filter takes the window's children too.
    ASSERT_TRUE(PeekMessageA(&msg, parent, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 2));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER + 3, WM_USER + 4, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 3));
    ASSERT_TRUE(PeekMessageA(&msg, reinterpret_cast<HWND>(static_cast<intptr_t>(-1)), 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 4));
    EXPECT_EQ(GetMessageA(&msg, reinterpret_cast<HWND>(0x7777), 0, 0), -1);
    DestroyWindow(parent);
    DestroyWindow(other);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)); // destroyed windows' messages went too
}

TEST(MessageQueue, RegisteredMessagesAreSharedByName)
{
    UINT a = RegisterWindowMessageA("TaskbarCreated");
    EXPECT_GE(a, 0xC000u);
    EXPECT_EQ(RegisterWindowMessageA("taskbarcreated"), a);
    EXPECT_NE(RegisterWindowMessageA("{6A97833C-7441-4711-B96A-B9D28D4B4DF9}"), a);
}

TEST(MessageQueue, TranslateMessagePostsCharacters)
{
    Recorder recorder;
    HWND hwnd = CreateRecorderWindow(&recorder);
    MSG key{hwnd, WM_KEYDOWN, 'A', 0, 0, {0, 0}};
    EXPECT_TRUE(TranslateMessage(&key));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, hwnd, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_CHAR));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>('a'));
    MSG shift{hwnd, WM_KEYDOWN, 0x10, 0, 0, {0, 0}};
    EXPECT_FALSE(TranslateMessage(&shift));
    DestroyWindow(hwnd);
}
