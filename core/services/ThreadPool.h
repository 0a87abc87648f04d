// A small pool of worker threads taking tasks from a first-in first-out
// queue. Every account, school class and store owns one; a task reports
// nothing back through the pool, its work posts window messages on its own.
#pragma once

#include "platform/base/Sync.h"

#include <atomic>
#include <deque>
#include <exception>
#include <vector>

// The unit of work: created with new by the poster, owned by the pool once
// Post accepts it, deleted by the worker after Run returns or throws.
class ThreadPoolTask {
public:
    virtual ~ThreadPoolTask() = default;
    virtual void Run(unsigned threadId) = 0;
};

// A Win32 handle owned by one object and closed with it.
class SyncHandle {
public:
    virtual ~SyncHandle();
    SyncHandle(const SyncHandle&) = delete;
    SyncHandle& operator=(const SyncHandle&) = delete;

    HANDLE GetHandle() const { return m_handle; }
    virtual BOOL Set() = 0;

protected:
    explicit SyncHandle(HANDLE handle) : m_handle(handle) {}

    HANDLE m_handle;
};

class EventException : public std::exception {
public:
    explicit EventException(const char* message) : m_message(message) {}
    const char* what() const noexcept override { return m_message ? m_message : "EventException"; }

private:
    const char* m_message;
};

class SemaphoreException : public std::exception {
public:
    explicit SemaphoreException(const char* message) : m_message(message) {}
    const char* what() const noexcept override { return m_message ? m_message : "SemaphoreException"; }

private:
    const char* m_message;
};

class ThreadPoolShutdownException : public std::exception {
public:
    const char* what() const noexcept override { return "ThreadPoolShutdownException"; }
};

// A manual-reset event, created not signalled.
class Event : public SyncHandle {
public:
    explicit Event(const char* name);
    BOOL Set() override;
    BOOL Reset();
};

// A counting semaphore, created with count 0.
class Semaphore {
public:
    explicit Semaphore(LONG maximumCount);
    virtual ~Semaphore();
    Semaphore(const Semaphore&) = delete;
    Semaphore& operator=(const Semaphore&) = delete;

    HANDLE GetHandle() const { return m_handle; }
    BOOL Release();

private:
    HANDLE m_handle;
};

namespace tavrin {
// How a pool waits when its caller may be the window thread: for a worker to
// end in Shutdown, and for room in the queue in Post. Same contract as
// WaitForSingleObject. The program installs the message core's wait, which
// keeps serving messages sent to the waiting thread, so a worker blocked in a
// SendMessage to the window thread can always finish. Null restores the
// plain wait.
using ThreadPoolWait = DWORD (*)(HANDLE handle, DWORD milliseconds);
void SetThreadPoolWait(ThreadPoolWait wait);
} // namespace tavrin

class ThreadPool {
public:
    // The queue length at which Post waits for a worker to take a task.
    static constexpr size_t kQueueLimit = 100;
    // How long Shutdown waits for each worker before it says so in the log.
    static constexpr DWORD kShutdownWaitMs = 10000;

    ThreadPool(int threadCount, int maximumCount);
    virtual ~ThreadPool();
    ThreadPool(const ThreadPool&) = delete;
    ThreadPool& operator=(const ThreadPool&) = delete;

    // Creates and starts the workers once; the number of workers running.
    int Start();
    // Queues the task, waiting while the queue is full. Throws
    // ThreadPoolShutdownException (the task stays the caller's) when the pool
    // is not started or has been shut down.
    void Post(ThreadPoolTask* task);
    // Lets every task already queued run, then ends the workers and waits for
    // each of them. No thread is ever killed: a worker still busy after the
    // wait is logged and waited for until its task ends.
    void Shutdown();

protected:
    virtual void OnThreadStart(unsigned threadId);
    virtual void OnThreadExit(unsigned threadId);

private:
    struct StartBlock;
    static unsigned WINAPI ThreadEntry(void* argument);
    void WorkerLoop(unsigned threadId);

    // Written under the queue lock, so that no task is queued behind the
    // tasks that end the workers; read without it for the early refusal.
    std::atomic<bool> m_started{false};
    bool m_shutDown = false;
    std::vector<HANDLE> m_threads;
    int m_threadCount;
    std::deque<ThreadPoolTask*> m_queue;
    Semaphore m_pending;
    CRITICAL_SECTION m_queueLock;
    Event m_notFull;
};
