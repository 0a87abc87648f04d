// The pool as the program runs it: shut down on the window thread while a
// worker is blocked sending a progress code to a window of that thread.
#include "core/services/ThreadPool.h"

#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "platform/win/WinMessage.h"

#include <gtest/gtest.h>

#include <atomic>
#include <latch>

namespace {

constexpr UINT WM_PROGRESS = WM_USER + 17;

LRESULT CALLBACK ProgressProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PROGRESS)
        return static_cast<LRESULT>(wParam + 1);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

DWORD ServingWait(HANDLE handle, DWORD milliseconds)
{
    return tavrin::WaitServingSends(handle, milliseconds);
}

class SendingTask : public ThreadPoolTask {
public:
    SendingTask(HWND hwnd, std::latch* started, std::atomic<LRESULT>* answer)
        : m_hwnd(hwnd), m_started(started), m_answer(answer)
    {
    }
    void Run(unsigned) override
    {
        m_started->count_down();
        *m_answer = SendMessageA(m_hwnd, WM_PROGRESS, 41, 0);
    }

private:
    HWND m_hwnd;
    std::latch* m_started;
    std::atomic<LRESULT>* m_answer;
};

} // namespace

TEST(ThreadPoolShutdown, WindowThreadServesSendsWhileItWaitsForWorkers)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = ProgressProc;
    wc.lpszClassName = "TavrinPoolProgress";
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND hwnd = CreateWindowA("TavrinPoolProgress", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);

    tavrin::SetThreadPoolWait(&ServingWait);
    std::atomic<LRESULT> answer{0};
    {
        ThreadPool pool(5, 100);
        pool.Start();
        std::latch started(1);
        pool.Post(new SendingTask(hwnd, &started, &answer));
        started.wait();
        // The worker now waits for this thread; a plain wait would never end.
        pool.Shutdown();
    }
    tavrin::SetThreadPoolWait(nullptr);
    EXPECT_EQ(answer.load(), 42);
    DestroyWindow(hwnd);
    UnregisterClassA("TavrinPoolProgress", nullptr);
}
