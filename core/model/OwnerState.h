// What every owner of a thread pool (account, school class, store) shares
// with the tasks it posts: the closing flag, which makes queued tasks return
// at once, and the busy flags claimed by start operations.
//
// A start operation claims its busy flag with a test-and-set before it posts,
// so two quick starts never run one operation twice. The posted task holds
// the claim until it is deleted, whether it ran or was dropped, and clears
// the flag then. An operation run by such a task takes no CBusyGuard on its
// own flag: the guard would clear the flag while the task still holds it,
// letting a second start through early.
#pragma once

#include "core/services/ThreadPool.h"
#include "platform/base/Types.h"

#include <atomic>
#include <functional>
#include <memory>

namespace tavrin {

class OwnerState {
public:
    bool IsClosing() const { return m_closing.load(std::memory_order_acquire); }
    // Returns true for the first caller only.
    bool BeginClosing() { return !m_closing.exchange(true, std::memory_order_acq_rel); }

    // Sets flag from 0 to 1; false when it was set already or the owner closes.
    bool Claim(std::atomic<int>& flag);
    // Clears flag and wakes a teardown waiting for the owner to become idle.
    void Release(std::atomic<int>& flag);

    // Posts a task; on refusal (the pool has been shut down) the task is
    // deleted, which releases its claim. False when not posted.
    bool Post(ThreadPool& pool, ThreadPoolTask* task);

    // Teardown: arms the wait, then tests its busy flags, then waits until a
    // flag is released or milliseconds have passed. The wait serves messages
    // sent to this thread, so a worker blocked in a send cannot stall it.
    void ArmWait();
    void WaitForRelease(DWORD milliseconds);

    OwnerState();
    ~OwnerState();
    OwnerState(const OwnerState&) = delete;
    OwnerState& operator=(const OwnerState&) = delete;

private:
    std::atomic<bool> m_closing{false};
    HANDLE m_released;  // manual-reset event
};

// Base of the model's tasks: runs its operation unless the owner is closing,
// swallows whatever the operation throws, and releases the claimed flag when
// deleted.
class ClaimedTask : public ThreadPoolTask {
public:
    ClaimedTask(OwnerState* state, std::atomic<int>* busy) : m_state(state), m_busy(busy) {}
    ~ClaimedTask() override;
    ClaimedTask(const ClaimedTask&) = delete;
    ClaimedTask& operator=(const ClaimedTask&) = delete;

    void Run(unsigned threadId) final;

protected:
    virtual void Execute() = 0;

private:
    OwnerState* m_state;
    std::atomic<int>* m_busy;
};

// A claimed task that makes one call bound when it was posted: the model's
// named tasks are this with their operation and its arguments.
class ClaimedCall : public ClaimedTask {
public:
    ClaimedCall(OwnerState* state, std::atomic<int>* busy, std::function<void()> call)
        : ClaimedTask(state, busy), m_call(std::move(call))
    {
    }

protected:
    void Execute() override { m_call(); }

private:
    std::function<void()> m_call;
};

// A task's own copy of an array its poster keeps.
template <typename Array>
std::shared_ptr<Array> CopyForTask(const Array& source)
{
    auto copy = std::make_shared<Array>();
    copy->Copy(source);
    return copy;
}

} // namespace tavrin
