// Internal to the synchronisation layer: the waitable objects behind HANDLEs.
// Each handle is a WaitableHandle of its own that refers to the object, so two
// handles of one named object close separately. Every object's state is guarded by one process-wide lock; each blocked wait
// has a condition variable of its own that the objects it waits on notify, so
// a signal wakes only the threads that wait for that object.
#pragma once

#include "platform/base/KernelObject.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tavrin::detail {

struct Waiter {
    std::condition_variable cv;
};

class Waitable {
public:
    enum class Kind { Event, Semaphore, Thread };

    explicit Waitable(Kind kind) : m_kind(kind) {}
    virtual ~Waitable() = default;

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

class WaitableHandle : public KernelObject {
public:
    explicit WaitableHandle(std::shared_ptr<Waitable> target) : m_target(std::move(target)) {}
    std::shared_ptr<Waitable> m_target;
};

HANDLE RegisterWaitable(std::shared_ptr<Waitable> object);
// The object behind a handle of any waitable kind, or null.
std::shared_ptr<Waitable> LookupWaitable(HANDLE handle);

} // namespace tavrin::detail
