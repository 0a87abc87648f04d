// The message queue of one thread: posted messages, messages sent to it from
// other threads, the quit request and the thread's timers. A thread gets its
// queue on first use; when the thread ends, its windows are destroyed, sends
// still waiting for it return 0 and the queue goes away.
#pragma once

#include "platform/win/WinMessage.h"

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace tavrin::win {

// A message sent across threads, or a call to run on the queue's thread (a
// message box for a worker). The sender waits until done.
struct SentMessage {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::function<LRESULT()> call; // runs instead of a window procedure when set
    HANDLE senderWake = nullptr;    // the sender's queue wake event
    LRESULT result = 0;             // written before done is set
    std::atomic<bool> done{false};
};

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT interval;
    TIMERPROC proc;
    int64_t due; // clock milliseconds
};

class MessageQueue {
public:
    explicit MessageQueue(DWORD threadId);
    ~MessageQueue();
    MessageQueue(const MessageQueue&) = delete;
    MessageQueue& operator=(const MessageQueue&) = delete;

    // The calling thread's queue, made on first use.
    static MessageQueue& Current();
    // The queue of a live thread, or null.
    static std::shared_ptr<MessageQueue> ForThread(DWORD threadId);

    DWORD GetThreadId() const { return m_threadId; }
    // Set whenever something arrives; the owner resets it before it looks.
    HANDLE GetWakeEvent() const { return m_wake; }

    // From any thread; false once the thread has ended.
    bool Post(const MSG& msg);
    void PostQuit(int exitCode);
    // From another thread: queues the send, or completes it with 0 at once
    // when the queue has ended or the window is being destroyed.
    void EnqueueSent(const std::shared_ptr<SentMessage>& sent);

    // Owner thread only. Runs every message sent to this thread; true if any ran.
    bool DispatchSent();
    bool Peek(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, bool remove);
    DWORD GetStatus();
    // Milliseconds until the next timer is due; INFINITE without timers.
    DWORD TimeToNextTimer();
    bool InSend() const { return m_inSend > 0; }
    DWORD GetLastMessageTime() const { return m_lastTime; }

    // Timers live in the queue of the window's thread (the caller's for hwnd NULL).
    UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT interval, TIMERPROC proc);
    bool KillTimer(HWND hwnd, UINT_PTR id);
    bool HasTimer(HWND hwnd, UINT_PTR id, TIMERPROC proc);

    // Owner thread, while destroying a window: drops its posted messages and
    // timers and ends the sends waiting for it.
    void ForgetWindow(HWND hwnd);
    // Owner thread, as it ends.
    void Shutdown();

    // Wakes the owner out of a wait (new input, a new update region).
    void Wake();
    static bool Matches(HWND target, HWND hwnd, UINT message, UINT filterMin, UINT filterMax);
    DWORD GetLastMessagePos() const { return m_lastPos; }

private:

    const DWORD m_threadId;
    HANDLE m_wake;
    std::mutex m_lock;
    std::deque<MSG> m_posted;
    std::deque<std::shared_ptr<SentMessage>> m_sent;
    std::vector<Timer> m_timers;
    UINT_PTR m_nextThreadTimer = 1;
    bool m_quit = false;
    int m_quitCode = 0;
    bool m_ended = false;
    int m_inSend = 0;        // owner thread only
    DWORD m_lastTime = 0;    // owner thread only
    DWORD m_lastPos = 0;     // owner thread only
};

// Completes a send with its result and wakes the sender.
void CompleteSent(const std::shared_ptr<SentMessage>& sent, LRESULT result);
// Queues the send on the thread and waits, serving this thread's own sends,
// until it has run. 0 when the thread has no queue.
LRESULT SendToThread(DWORD threadId, const std::shared_ptr<SentMessage>& sent);

} // namespace tavrin::win
