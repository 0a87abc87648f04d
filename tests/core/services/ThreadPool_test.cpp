#include "core/services/ThreadPool.h"

#include "platform/base/Thread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <future>
#include <latch>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// A task that runs a function; counts its deletions.
class FunctionTask : public ThreadPoolTask {
public:
    FunctionTask(std::function<void(unsigned)> run, std::atomic<int>* deleted = nullptr)
        : m_run(std::move(run)), m_deleted(deleted)
    {
    }
    ~FunctionTask() override
    {
        if (m_deleted)
            ++*m_deleted;
    }
    void Run(unsigned threadId) override { m_run(threadId); }

private:
    std::function<void(unsigned)> m_run;
    std::atomic<int>* m_deleted;
};

// A gate that tasks wait at until the test opens it.
class Gate {
public:
    void Open() { m_promise.set_value(); }
    void Wait() const { m_future.wait(); }

private:
    std::promise<void> m_promise;
    std::shared_future<void> m_future = m_promise.get_future().share();
};

// The injectable wait: tests see each wait of the pool and may act on it.
std::function<DWORD(HANDLE, DWORD)> g_onWait;
std::mutex g_onWaitLock;

DWORD TestWait(HANDLE handle, DWORD milliseconds)
{
    std::function<DWORD(HANDLE, DWORD)> onWait;
    {
        std::lock_guard<std::mutex> lock(g_onWaitLock);
        onWait = g_onWait;
    }
    return onWait ? onWait(handle, milliseconds) : WaitForSingleObject(handle, milliseconds);
}

class ThreadPoolTest : public ::testing::Test {
protected:
    void SetUp() override { tavrin::SetThreadPoolWait(&TestWait); }
    void TearDown() override
    {
        tavrin::SetThreadPoolWait(nullptr);
        std::lock_guard<std::mutex> lock(g_onWaitLock);
        g_onWait = nullptr;
    }
    static void OnWait(std::function<DWORD(HANDLE, DWORD)> onWait)
    {
        std::lock_guard<std::mutex> lock(g_onWaitLock);
        g_onWait = std::move(onWait);
    }
};

class CountingPool : public ThreadPool {
public:
    using ThreadPool::ThreadPool;
    std::atomic<int> started{0};
    std::atomic<int> exited{0};

protected:
    void OnThreadStart(unsigned) override { ++started; }
    void OnThreadExit(unsigned) override { ++exited; }
};

} // namespace

TEST_F(ThreadPoolTest, PostIsRefusedBeforeStartAndAfterShutdown)
{
    ThreadPool pool(5, 100);
    std::atomic<int> deleted{0};
    FunctionTask early([](unsigned) {}, &deleted);
    EXPECT_THROW(pool.Post(&early), ThreadPoolShutdownException);

    EXPECT_EQ(pool.Start(), 5);
    pool.Shutdown();
    FunctionTask late([](unsigned) {}, &deleted);
    EXPECT_THROW(pool.Post(&late), ThreadPoolShutdownException);
    // Refused tasks stay the caller's.
    EXPECT_EQ(deleted.load(), 0);
    EXPECT_EQ(pool.Start(), 0);  // a pool is not restarted
}

TEST_F(ThreadPoolTest, StartTwiceCreatesTheWorkersOnce)
{
    CountingPool pool(5, 100);
    EXPECT_EQ(pool.Start(), 5);
    EXPECT_EQ(pool.Start(), 5);
    pool.Shutdown();
    EXPECT_EQ(pool.started.load(), 5);
    EXPECT_EQ(pool.exited.load(), 5);
}

TEST_F(ThreadPoolTest, OneWorkerRunsTasksInPostingOrder)
{
    ThreadPool pool(1, 100);
    pool.Start();
    Gate gate;
    pool.Post(new FunctionTask([&gate](unsigned) { gate.Wait(); }));
    std::vector<int> order;
    for (int i = 0; i < 50; ++i)
        pool.Post(new FunctionTask([&order, i](unsigned) { order.push_back(i); }));
    gate.Open();
    pool.Shutdown();
    ASSERT_EQ(order.size(), 50u);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(order[static_cast<size_t>(i)], i);
}

TEST_F(ThreadPoolTest, PostWaitsWhileOneHundredTasksAreQueued)
{
    ThreadPool pool(1, 100);
    pool.Start();
    Gate gate;
    std::latch running(1);
    pool.Post(new FunctionTask([&](unsigned) { running.count_down(); gate.Wait(); }));
    running.wait();  // the worker holds the gate task; the queue is empty
    std::atomic<int> ran{0};
    for (size_t i = 0; i < ThreadPool::kQueueLimit; ++i)
        pool.Post(new FunctionTask([&ran](unsigned) { ++ran; }));

    std::latch blocked(1);
    OnWait([&blocked](HANDLE handle, DWORD ms) {
        if (WaitForSingleObject(handle, 0) == WAIT_TIMEOUT)
            blocked.count_down();
        return WaitForSingleObject(handle, ms);
    });
    std::atomic<bool> posted{false};
    std::thread producer([&] {
        pool.Post(new FunctionTask([&ran](unsigned) { ++ran; }));
        posted = true;
    });
    blocked.wait();
    EXPECT_FALSE(posted.load());
    OnWait(nullptr);
    gate.Open();  // the worker takes the next task, which makes room
    producer.join();
    EXPECT_TRUE(posted.load());
    pool.Shutdown();
    EXPECT_EQ(ran.load(), 101);
}

TEST_F(ThreadPoolTest, ThrowingTaskIsDeletedAndTheWorkerGoesOn)
{
    ThreadPool pool(1, 100);
    pool.Start();
    std::atomic<int> deleted{0};
    unsigned first = 0, second = 0, third = 0;
    pool.Post(new FunctionTask([&first](unsigned id) { first = id; throw std::runtime_error("failed"); }, &deleted));
    pool.Post(new FunctionTask([&second](unsigned id) { second = id; throw 42; }, &deleted));
    pool.Post(new FunctionTask([&third](unsigned id) { third = id; }, &deleted));
    pool.Shutdown();
    EXPECT_EQ(deleted.load(), 3);
    EXPECT_NE(first, 0u);
    EXPECT_EQ(second, first);
    EXPECT_EQ(third, first);
}

TEST_F(ThreadPoolTest, ShutdownRunsEveryQueuedTaskFirst)
{
    CountingPool pool(5, 100);
    pool.Start();
    Gate gate;
    std::latch allBusy(5);
    for (int i = 0; i < 5; ++i)
        pool.Post(new FunctionTask([&](unsigned) { allBusy.count_down(); gate.Wait(); }));
    allBusy.wait();
    std::atomic<int> ran{0};
    std::atomic<int> deleted{0};
    for (int i = 0; i < 10; ++i)
        pool.Post(new FunctionTask([&ran](unsigned) { ++ran; }, &deleted));

    // Shutdown starts with all ten still queued; its first wait opens the gate.
    std::once_flag opened;
    OnWait([&](HANDLE handle, DWORD ms) {
        std::call_once(opened, [&] {
            EXPECT_EQ(ran.load(), 0);
            gate.Open();
        });
        return WaitForSingleObject(handle, ms);
    });
    pool.Shutdown();
    EXPECT_EQ(ran.load(), 10);
    EXPECT_EQ(deleted.load(), 10);
    EXPECT_EQ(pool.exited.load(), 5);
}

TEST_F(ThreadPoolTest, ShutdownKeepsWaitingForABusyWorker)
{
    ThreadPool pool(5, 100);
    pool.Start();
    Gate gate;
    std::latch running(1);
    std::atomic<bool> finished{false};
    std::atomic<int> deleted{0};
    std::atomic<unsigned> busyId{0};
    pool.Post(new FunctionTask(
        [&](unsigned id) {
            busyId = id;
            running.count_down();
            gate.Wait();
            finished = true;
        },
        &deleted));
    running.wait();

    // The busy worker's first wait "runs out"; the pool must log and wait on.
    std::vector<DWORD> waits;
    std::mutex waitsLock;
    OnWait([&](HANDLE handle, DWORD ms) {
        {
            std::lock_guard<std::mutex> lock(waitsLock);
            waits.push_back(ms);
        }
        if (ms == ThreadPool::kShutdownWaitMs && GetThreadId(handle) == busyId.load())
            return static_cast<DWORD>(WAIT_TIMEOUT);
        if (ms == INFINITE)
            gate.Open();
        return WaitForSingleObject(handle, ms);
    });
    testing::internal::CaptureStderr();
    pool.Shutdown();
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(finished.load());
    EXPECT_EQ(deleted.load(), 1);
    EXPECT_NE(log.find("still busy"), std::string::npos);
    std::lock_guard<std::mutex> lock(waitsLock);
    EXPECT_EQ(std::count(waits.begin(), waits.end(), INFINITE), 1);
}

TEST_F(ThreadPoolTest, ManyProducersLoseNoTask)
{
    constexpr int kProducers = 8;
    constexpr int kTasksEach = 300;
    ThreadPool pool(5, 100);
    pool.Start();
    std::atomic<int> ran{0};
    std::atomic<int> deleted{0};
    std::latch start(kProducers);
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([&] {
            start.arrive_and_wait();
            for (int i = 0; i < kTasksEach; ++i)
                pool.Post(new FunctionTask([&ran](unsigned) { ++ran; }, &deleted));
        });
    }
    for (std::thread& producer : producers)
        producer.join();
    pool.Shutdown();
    EXPECT_EQ(ran.load(), kProducers * kTasksEach);
    EXPECT_EQ(deleted.load(), kProducers * kTasksEach);
}

TEST_F(ThreadPoolTest, WorkersMayPostToTheirOwnPool)
{
    ThreadPool pool(5, 100);
    pool.Start();
    std::atomic<int> ran{0};
    std::latch done(1);
    pool.Post(new FunctionTask([&](unsigned) {
        pool.Post(new FunctionTask([&](unsigned) {
            ++ran;
            done.count_down();
        }));
    }));
    done.wait();
    pool.Shutdown();
    EXPECT_EQ(ran.load(), 1);
}
