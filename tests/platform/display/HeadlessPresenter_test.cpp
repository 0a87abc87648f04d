#include "platform/browser/Browser.h"
#include "platform/browser/HeadlessEngine.h"
#include "platform/display/HeadlessPresenter.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/QueueWait.h"
#include "platform/win/Window.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <utility>

using namespace tavrin;
using namespace tavrin::display;

TEST(HeadlessPresenter, IsTheDefaultAndKeepsPushedPixels)
{
    EXPECT_EQ(&GetPresenter(), &GetHeadlessPresenter());
    HeadlessPresenter presenter;
    HWND hwnd = reinterpret_cast<HWND>(0x5000);
    auto surface = Surface::Create(4, 3);
    surface->Fill(RECT{0, 0, 4, 3}, 0x00FF0000);
    presenter.WindowShown(hwnd);
    EXPECT_TRUE(presenter.IsShown(hwnd));
    presenter.SurfaceDamaged(hwnd, *surface, RECT{1, 1, 3, 2});
    const Surface* pixels = presenter.GetPixels(hwnd);
    ASSERT_TRUE(pixels);
    EXPECT_EQ(pixels->GetPixel(1, 1), 0x00FF0000u);
    EXPECT_EQ(pixels->GetPixel(0, 0), 0u) << "only the damaged part is pushed";
    // Damage beyond the surface is clipped.
    presenter.SurfaceDamaged(hwnd, *surface, RECT{-5, -5, 50, 50});
    EXPECT_EQ(presenter.GetPixels(hwnd)->GetPixel(0, 0), 0x00FF0000u);
    EXPECT_EQ(presenter.TakeDamage(hwnd).size(), 2u);

    test::TempDir dir;
    EXPECT_TRUE(presenter.SavePng(hwnd, (dir.Path() / "w.png").c_str()));
    presenter.WindowDestroyed(hwnd);
    EXPECT_FALSE(presenter.IsShown(hwnd));
    EXPECT_FALSE(presenter.SavePng(hwnd, (dir.Path() / "gone.png").c_str()));
}

TEST(HeadlessPresenter, Clipboard)
{
    HeadlessPresenter presenter;
    std::string text;
    EXPECT_FALSE(presenter.GetClipboardText(text));
    EXPECT_TRUE(presenter.SetClipboardText("复制"));
    ASSERT_TRUE(presenter.GetClipboardText(text));
    EXPECT_EQ(text, "复制");
}

TEST(HeadlessPresenter, BrowsersAreHeadlessByDefault)
{
    auto engine = browser::CreateEngine(reinterpret_cast<HWND>(0x5001));
    EXPECT_EQ(browser::HeadlessEngine::FromHost(reinterpret_cast<HWND>(0x5001)), engine.get());
}

namespace {
int g_waits = 0;
int g_polls = 0;
std::atomic<int> g_wakes{0};
std::function<void()> g_onWait;
DWORD CountingWait(DWORD count, const HANDLE* handles, DWORD ms)
{
    ++g_waits;
    if (auto run = std::exchange(g_onWait, nullptr))
        run();
    return WaitForMultipleObjects(count, handles, FALSE, ms);
}
void CountingPoll() { ++g_polls; }
void CountingWake() { ++g_wakes; }
} // namespace

// Another loop (GLib's) runs inside ours: every blocking message wait goes
// through the installed wait, PeekMessage lets it run first, and a post from
// another thread wakes it.
TEST(QueueWait, AnotherLoopRunsInsideOurs)
{
    win::SetQueueWait(CountingWait, CountingPoll);
    win::SetQueueWakeNotifier(CountingWake);
    g_waits = g_polls = 0;
    g_wakes = 0;
    const DWORD self = GetCurrentThreadId();
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    EXPECT_EQ(g_polls, 1);
    // Nothing queued: GetMessage blocks in the installed wait, where a post
    // from another thread wakes it.
    std::thread poster;
    g_onWait = [&] { poster = std::thread([self] { PostThreadMessageA(self, WM_USER + 5, 0, 0); }); };
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    poster.join();
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 5));
    EXPECT_GE(g_wakes.load(), 1);
    EXPECT_GE(g_waits, 1);
    PostThreadMessageA(self, WM_USER + 6, 0, 0);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT), WAIT_OBJECT_0);
    PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
    win::SetQueueWait(nullptr, nullptr);
    win::SetQueueWakeNotifier(nullptr);
}
