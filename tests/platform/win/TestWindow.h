// A window whose procedure records every message it gets, for the message
// core tests.
#pragma once

#include "platform/win/MessageBox.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/Timer.h"
#include "platform/win/Window.h"

#include <functional>
#include <mutex>
#include <vector>

namespace tavrin::test {

struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD threadId;
    BOOL inSend;
};

class Recorder {
public:
    std::vector<Received> Take()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        std::vector<Received> all;
        all.swap(m_received);
        return all;
    }
    std::vector<UINT> Messages(UINT from = WM_USER)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        std::vector<UINT> result;
        for (const Received& r : m_received)
            if (r.message >= from)
                result.push_back(r.message);
        return result;
    }
    void Add(const Received& r)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_received.push_back(r);
    }
    // Runs on the window's thread before the default answer.
    std::function<LRESULT(HWND, UINT, WPARAM, LPARAM, bool*)> m_handler;

private:
    std::mutex m_lock;
    std::vector<Received> m_received;
};

// Registers the class once; WM_USER and above answer wParam + 1.
LPCSTR RecorderClass();
// A top-level window recording into the recorder.
HWND CreateRecorderWindow(Recorder* recorder, HWND parent = nullptr, DWORD style = WS_OVERLAPPEDWINDOW);

} // namespace tavrin::test
