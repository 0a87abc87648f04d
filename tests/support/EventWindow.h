// A window on the calling thread that records the model's notifications
// (WM_ACCOUNT_EVENT and WM_CLASS_EVENT), as the main frame receives them.
// Sent ones are recorded when the sender's call is served, posted ones when
// Pump() retrieves them.
#pragma once

#include "platform/win/WinMessage.h"

#include <functional>
#include <mutex>
#include <vector>

namespace tavrin::test {

class EventWindow {
public:
    struct Event {
        UINT message;
        WPARAM code;
        LPARAM lParam;
        bool sent; // came from another thread's SendMessage
    };

    EventWindow();
    ~EventWindow();
    EventWindow(const EventWindow&) = delete;
    EventWindow& operator=(const EventWindow&) = delete;

    HWND Handle() const { return m_hwnd; }
    // Dispatches every message waiting for this thread.
    void Pump();
    std::vector<Event> Events();
    // The codes of one message, sent or posted, in the order they came.
    std::vector<int> Codes(UINT message, bool sent);
    int Count(UINT message, WPARAM code);
    // Runs work on a thread of its own, as a pool worker runs an operation,
    // while this thread serves what it sends; pumps once more at the end.
    void RunOnWorker(const std::function<void()>& work);

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
    std::mutex m_lock;
    std::vector<Event> m_events;
};

} // namespace tavrin::test
