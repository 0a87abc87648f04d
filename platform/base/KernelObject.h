// Internal to the synchronisation layer: the waitable objects behind HANDLEs.
// Every object's state is guarded by one process-wide lock; each blocked wait
// has a condition variable of its own that the objects it waits on notify, so
// a signal wakes only the threads that wait for that object.
#pragma once

#include "platform/base/Types.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tavrin::detail {

struct Waiter {
    std::condition_variable cv;
};

class KernelObject {
public:
    enum class Kind { Event, Semaphore, Thread };

    explicit KernelObject(Kind kind) : m_kind(kind) {}
    virtual ~KernelObject() = default;

    Kind GetKind() const { return m_kind; }

    // All of these run with KernelLock() held.
    virtual bool IsSignalled() const = 0;
    // Takes the signal that ended a wait (auto-reset events, semaphores).
    virtual void Acquire() {}
    void Notify();
    void AddWaiter(Waiter* waiter) { m_waiters.push_back(waiter); }
    void RemoveWaiter(Waiter* waiter);

    std::string m_name;

private:
    Kind m_kind;
    std::vector<Waiter*> m_waiters;
};

std::mutex& KernelLock();

// Handle table: HANDLE values are never reused.
HANDLE RegisterHandle(std::shared_ptr<KernelObject> object);
std::shared_ptr<KernelObject> LookupHandle(HANDLE handle);

} // namespace tavrin::detail
