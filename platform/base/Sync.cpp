#include "platform/base/Sync.h"

#include "platform/base/Clock.h"
#include "platform/base/Waitable.h"

#include <algorithm>
#include <sched.h>
#include <time.h>
#include <set>
#include <unordered_map>

namespace tavrin::detail {

namespace {

struct WaitState {
    // Named objects live while a handle or a wait holds them.
    std::unordered_map<std::string, std::weak_ptr<Waitable>> names;
    // Waits with a time-out, woken when the clock moves.
    std::set<Waiter*> timed;
};

// Never destroyed: threads may still wait while static objects go away.
WaitState& Table()
{
    static WaitState* table = new WaitState;
    return *table;
}

} // namespace

std::mutex& KernelLock()
{
    static std::mutex* lock = new std::mutex;
    return *lock;
}

void Waitable::Notify()
{
    for (Waiter* waiter : m_waiters)
        waiter->cv.notify_one();
}

void Waitable::RemoveWaiter(Waiter* waiter)
{
    auto it = std::find(m_waiters.begin(), m_waiters.end(), waiter);
    if (it != m_waiters.end())
        m_waiters.erase(it);
}

HANDLE RegisterWaitable(std::shared_ptr<Waitable> object)
{
    return RegisterHandle(std::make_shared<WaitableHandle>(std::move(object)));
}

std::shared_ptr<Waitable> LookupWaitable(HANDLE handle)
{
    auto h = LookupHandleAs<WaitableHandle>(handle);
    return h ? h->m_target : nullptr;
}

} // namespace tavrin::detail

using tavrin::detail::KernelLock;
using tavrin::detail::LookupWaitable;
using tavrin::detail::Waitable;
using tavrin::detail::Waiter;

namespace {

class EventObject : public Waitable {
public:
    EventObject(bool manual, bool signalled) : Waitable(Kind::Event), m_manual(manual), m_signalled(signalled) {}
    bool IsSignalled() const override { return m_signalled; }
    void Acquire() override
    {
        if (!m_manual)
            m_signalled = false;
    }
    bool m_manual;
    bool m_signalled;
};

class SemaphoreObject : public Waitable {
public:
    SemaphoreObject(LONG count, LONG maximum) : Waitable(Kind::Semaphore), m_count(count), m_maximum(maximum) {}
    bool IsSignalled() const override { return m_count > 0; }
    void Acquire() override { --m_count; }
    LONG m_count;
    LONG m_maximum;
};

// Waits measure their time-outs on the program clock; in manual mode they
// sleep until the clock moves.
uint64_t ClockNowMs()
{
    return static_cast<uint64_t>(tavrin::clock::NowMs());
}

void WatchClock()
{
    static const int listener = tavrin::clock::AddListener([] { tavrin::WakeTimedWaits(); });
    (void)listener;
}

// Creates a named object or opens the existing one of that name and kind.
template <class Make>
HANDLE CreateNamed(LPCSTR name, Waitable::Kind kind, Make make)
{
    if (!name || !*name) {
        SetLastError(ERROR_SUCCESS);
        return tavrin::detail::RegisterWaitable(make());
    }
    std::shared_ptr<Waitable> object;
    bool existed = false;
    {
        std::lock_guard<std::mutex> lock(KernelLock());
        auto& names = tavrin::detail::Table().names;
        auto it = names.find(name);
        if (it != names.end())
            object = it->second.lock();
        if (object) {
            if (object->GetKind() != kind) {
                SetLastError(ERROR_INVALID_HANDLE);
                return nullptr;
            }
            existed = true;
        } else {
            object = make();
            object->m_name = name;
            names[name] = object;
        }
    }
    HANDLE handle = tavrin::detail::RegisterWaitable(object);
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

template <class T>
std::shared_ptr<T> LookupAs(HANDLE handle, Waitable::Kind kind)
{
    std::shared_ptr<Waitable> object = LookupWaitable(handle);
    if (!object || object->GetKind() != kind) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return std::static_pointer_cast<T>(object);
}

DWORD WaitObjects(const std::vector<std::shared_ptr<Waitable>>& objects, bool waitAll, DWORD milliseconds)
{
    const bool infinite = milliseconds == INFINITE;
    if (!infinite)
        WatchClock();
    const uint64_t deadline = infinite ? 0 : ClockNowMs() + milliseconds;
    Waiter waiter;
    std::unique_lock<std::mutex> lock(KernelLock());
    for (;;) {
        if (waitAll) {
            bool all = !objects.empty() && std::all_of(objects.begin(), objects.end(),
                                                       [](const auto& o) { return o->IsSignalled(); });
            if (all) {
                for (const auto& o : objects)
                    o->Acquire();
                return WAIT_OBJECT_0;
            }
        } else {
            for (size_t i = 0; i < objects.size(); ++i) {
                if (objects[i]->IsSignalled()) {
                    objects[i]->Acquire();
                    return WAIT_OBJECT_0 + static_cast<DWORD>(i);
                }
            }
        }
        uint64_t now = 0;
        if (!infinite) {
            now = ClockNowMs();
            if (now >= deadline)
                return WAIT_TIMEOUT;
        }
        for (const auto& o : objects)
            o->AddWaiter(&waiter);
        if (infinite) {
            waiter.cv.wait(lock);
        } else {
            tavrin::detail::Table().timed.insert(&waiter);
            if (tavrin::clock::IsManual())
                waiter.cv.wait(lock);
            else
                waiter.cv.wait_for(lock, std::chrono::milliseconds(deadline - now));
            tavrin::detail::Table().timed.erase(&waiter);
        }
        for (const auto& o : objects)
            o->RemoveWaiter(&waiter);
    }
}

} // namespace

void tavrin::WakeTimedWaits()
{
    std::lock_guard<std::mutex> lock(KernelLock());
    for (Waiter* waiter : tavrin::detail::Table().timed)
        waiter->cv.notify_one();
}

void InitializeCriticalSection(LPCRITICAL_SECTION cs)
{
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(&cs->m_mutex, &attr);
    pthread_mutexattr_destroy(&attr);
}

BOOL InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION cs, DWORD)
{
    InitializeCriticalSection(cs);
    return TRUE;
}

void DeleteCriticalSection(LPCRITICAL_SECTION cs)
{
    pthread_mutex_destroy(&cs->m_mutex);
}

void EnterCriticalSection(LPCRITICAL_SECTION cs)
{
    pthread_mutex_lock(&cs->m_mutex);
}

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION cs)
{
    return pthread_mutex_trylock(&cs->m_mutex) == 0;
}

void LeaveCriticalSection(LPCRITICAL_SECTION cs)
{
    pthread_mutex_unlock(&cs->m_mutex);
}

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCSTR name)
{
    return CreateNamed(name, Waitable::Kind::Event,
                       [&] { return std::make_shared<EventObject>(manualReset != FALSE, initialState != FALSE); });
}

BOOL SetEvent(HANDLE event)
{
    auto object = LookupAs<EventObject>(event, Waitable::Kind::Event);
    if (!object)
        return FALSE;
    std::lock_guard<std::mutex> lock(KernelLock());
    object->m_signalled = true;
    object->Notify();
    return TRUE;
}

BOOL ResetEvent(HANDLE event)
{
    auto object = LookupAs<EventObject>(event, Waitable::Kind::Event);
    if (!object)
        return FALSE;
    std::lock_guard<std::mutex> lock(KernelLock());
    object->m_signalled = false;
    return TRUE;
}

HANDLE CreateSemaphoreA(LPSECURITY_ATTRIBUTES, LONG initialCount, LONG maximumCount, LPCSTR name)
{
    if (maximumCount <= 0 || initialCount < 0 || initialCount > maximumCount) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return CreateNamed(name, Waitable::Kind::Semaphore,
                       [&] { return std::make_shared<SemaphoreObject>(initialCount, maximumCount); });
}

BOOL ReleaseSemaphore(HANDLE semaphore, LONG releaseCount, LPLONG previousCount)
{
    auto object = LookupAs<SemaphoreObject>(semaphore, Waitable::Kind::Semaphore);
    if (!object)
        return FALSE;
    if (releaseCount <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(KernelLock());
    if (releaseCount > object->m_maximum - object->m_count) {
        SetLastError(ERROR_TOO_MANY_POSTS);
        return FALSE;
    }
    if (previousCount)
        *previousCount = object->m_count;
    object->m_count += releaseCount;
    object->Notify();
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds)
{
    return WaitForMultipleObjects(1, &handle, FALSE, milliseconds);
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds)
{
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !handles) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    std::vector<std::shared_ptr<Waitable>> objects;
    objects.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
        auto object = LookupWaitable(handles[i]);
        if (!object) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        if (waitAll && std::find(objects.begin(), objects.end(), object) != objects.end()) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return WAIT_FAILED;
        }
        objects.push_back(std::move(object));
    }
    return WaitObjects(objects, waitAll != FALSE, milliseconds);
}

void Sleep(DWORD milliseconds)
{
    if (milliseconds == 0) {
        sched_yield();
        return;
    }
    WaitObjects({}, false, milliseconds);
}
