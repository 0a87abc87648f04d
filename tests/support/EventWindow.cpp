#include "tests/support/EventWindow.h"

#include "core/model/ModelEvents.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"

#include <atomic>
#include <thread>

namespace tavrin::test {

namespace {
const char kClassName[] = "TavrinTestEvents";
}

EventWindow::EventWindow()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &EventWindow::Procedure;
        wc.lpszClassName = kClassName;
        RegisterClassA(&wc);
    });
    m_hwnd = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

EventWindow::~EventWindow()
{
    SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, 0);
    DestroyWindow(m_hwnd);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

LRESULT CALLBACK EventWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<EventWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && (message == WM_ACCOUNT_EVENT || message == WM_CLASS_EVENT)) {
        std::lock_guard<std::mutex> lock(self->m_lock);
        self->m_events.push_back({message, wParam, lParam, InSendMessage() != 0});
        return 1;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void EventWindow::Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

std::vector<EventWindow::Event> EventWindow::Events()
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_events;
}

std::vector<int> EventWindow::Codes(UINT message, bool sent)
{
    std::vector<int> out;
    for (const Event& e : Events())
        if (e.message == message && e.sent == sent)
            out.push_back(static_cast<int>(e.code));
    return out;
}

int EventWindow::Count(UINT message, WPARAM code)
{
    int n = 0;
    for (const Event& e : Events())
        n += e.message == message && e.code == code;
    return n;
}

void EventWindow::RunOnWorker(const std::function<void()>& work)
{
    std::atomic<bool> done{false};
    std::thread worker([&] {
        work();
        done = true;
    });
    while (!done) {
        Pump();
        std::this_thread::yield();
    }
    worker.join();
    Pump();
}

} // namespace tavrin::test
