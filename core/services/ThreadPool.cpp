#include "core/services/ThreadPool.h"

#include "platform/base/Thread.h"

#include <algorithm>
#include <cstdio>

namespace {

// Ends the worker that runs it; only the pool throws and catches it.
class SuicideException : public std::exception {};

class SuicideTask : public ThreadPoolTask {
public:
    void Run(unsigned) override { throw SuicideException(); }
};

std::atomic<tavrin::ThreadPoolWait> g_wait{nullptr};

DWORD PoolWait(HANDLE handle, DWORD milliseconds)
{
    tavrin::ThreadPoolWait wait = g_wait.load();
    return wait ? wait(handle, milliseconds) : WaitForSingleObject(handle, milliseconds);
}

} // namespace

void tavrin::SetThreadPoolWait(ThreadPoolWait wait)
{
    g_wait.store(wait);
}

SyncHandle::~SyncHandle()
{
    if (m_handle)
        CloseHandle(m_handle);
}

Event::Event(const char* name) : SyncHandle(CreateEventA(nullptr, TRUE, FALSE, name))
{
    if (!m_handle)
        throw EventException(name);
}

BOOL Event::Set()
{
    return SetEvent(m_handle);
}

BOOL Event::Reset()
{
    return ResetEvent(m_handle);
}

Semaphore::Semaphore(LONG maximumCount) : m_handle(CreateSemaphoreA(nullptr, 0, maximumCount, nullptr))
{
    if (!m_handle)
        throw SemaphoreException(nullptr);
}

Semaphore::~Semaphore()
{
    if (m_handle)
        CloseHandle(m_handle);
}

BOOL Semaphore::Release()
{
    return ReleaseSemaphore(m_handle, 1, nullptr);
}

struct ThreadPool::StartBlock {
    ThreadPool* pool;
    unsigned threadId;
};

// The semaphore counts queued tasks. Its maximum leaves room for the queue's
// limit plus the tasks that end the workers, so a release never fails and no
// queued task is stranded.
ThreadPool::ThreadPool(int threadCount, int maximumCount)
    : m_threadCount(std::max(threadCount, 0)),
      m_pending(std::max<LONG>(maximumCount, static_cast<LONG>(kQueueLimit) + std::max(threadCount, 0))),
      m_notFull(nullptr)
{
    m_threads.reserve(static_cast<size_t>(m_threadCount));
    InitializeCriticalSection(&m_queueLock);
    m_notFull.Set();
}

ThreadPool::~ThreadPool()
{
    // Owners shut the pool down first; a pool left running is shut down here
    // rather than freed under its workers.
    if (m_started.load())
        Shutdown();
    for (ThreadPoolTask* task : m_queue)
        delete task;
    DeleteCriticalSection(&m_queueLock);
}

int ThreadPool::Start()
{
    if (m_started.load() || m_shutDown)
        return static_cast<int>(m_threads.size());
    for (int i = 0; i < m_threadCount; ++i) {
        auto* block = new StartBlock{this, 0};
        uintptr_t handle = _beginthreadex(nullptr, 0, &ThreadPool::ThreadEntry, block, CREATE_SUSPENDED,
                                          &block->threadId);
        if (handle == 0) {
            delete block;
            continue;
        }
        m_threads.push_back(reinterpret_cast<HANDLE>(handle));
    }
    for (HANDLE thread : m_threads)
        ResumeThread(thread);
    EnterCriticalSection(&m_queueLock);
    m_started.store(true);
    LeaveCriticalSection(&m_queueLock);
    return static_cast<int>(m_threads.size());
}

unsigned WINAPI ThreadPool::ThreadEntry(void* argument)
{
    auto* block = static_cast<StartBlock*>(argument);
    block->pool->WorkerLoop(block->threadId);
    delete block;
    return 0;
}

void ThreadPool::Post(ThreadPoolTask* task)
{
    if (!m_started.load())
        throw ThreadPoolShutdownException();
    for (;;) {
        PoolWait(m_notFull.GetHandle(), INFINITE);
        EnterCriticalSection(&m_queueLock);
        if (!m_started.load()) {
            LeaveCriticalSection(&m_queueLock);
            throw ThreadPoolShutdownException();
        }
        // Several producers can pass the wait together: the last room left
        // goes to the first that takes the lock, the others wait again.
        if (m_queue.size() >= kQueueLimit) {
            m_notFull.Reset();
            LeaveCriticalSection(&m_queueLock);
            continue;
        }
        try {
            m_queue.push_back(task);
        } catch (...) {
            LeaveCriticalSection(&m_queueLock);
            throw;
        }
        if (m_queue.size() >= kQueueLimit)
            m_notFull.Reset();
        m_pending.Release();
        LeaveCriticalSection(&m_queueLock);
        return;
    }
}

void ThreadPool::WorkerLoop(unsigned threadId)
{
    OnThreadStart(threadId);
    for (;;) {
        WaitForSingleObject(m_pending.GetHandle(), INFINITE);
        EnterCriticalSection(&m_queueLock);
        if (m_queue.empty()) {
            LeaveCriticalSection(&m_queueLock);
            continue;
        }
        ThreadPoolTask* task = m_queue.front();
        m_queue.pop_front();
        m_notFull.Set();
        LeaveCriticalSection(&m_queueLock);

        try {
            task->Run(threadId);
        } catch (const SuicideException&) {
            delete task;
            OnThreadExit(threadId);
            return;
        } catch (...) {
            // The program's tasks report failures themselves; the worker goes on.
        }
        delete task;
    }
}

void ThreadPool::Shutdown()
{
    // The tasks that end the workers queue behind every task already posted,
    // and nothing can be queued behind them.
    EnterCriticalSection(&m_queueLock);
    bool wasStarted = m_started.load();
    m_started.store(false);
    m_shutDown = true;
    if (wasStarted) {
        for (size_t i = 0; i < m_threads.size(); ++i) {
            m_queue.push_back(new SuicideTask);
            m_pending.Release();
        }
        if (m_queue.size() >= kQueueLimit)
            m_notFull.Reset();
    }
    LeaveCriticalSection(&m_queueLock);
    if (!wasStarted)
        return;

    for (HANDLE thread : m_threads) {
        if (PoolWait(thread, kShutdownWaitMs) == WAIT_TIMEOUT) {
            std::fprintf(stderr, "ThreadPool: a worker is still busy after %u ms; waiting for its task to end\n",
                         static_cast<unsigned>(kShutdownWaitMs));
            PoolWait(thread, INFINITE);
        }
        CloseHandle(thread);
    }
    m_threads.clear();
}

void ThreadPool::OnThreadStart(unsigned)
{
}

void ThreadPool::OnThreadExit(unsigned)
{
}
