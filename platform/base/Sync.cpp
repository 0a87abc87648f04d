#include "platform/base/Sync.h"

#include "platform/base/KernelObject.h"

#include <algorithm>
#include <sched.h>
#include <time.h>
#include <set>
#include <unordered_map>

namespace tavrin::detail {

namespace {

struct HandleTable {
    std::unordered_map<uintptr_t, std::shared_ptr<KernelObject>> objects;
    uintptr_t next = 0x1000;
    // Named objects: the name maps to a handle-independent object.
    std::unordered_map<std::string, std::weak_ptr<KernelObject>> names;
    // Waits with a time-out, woken when the clock moves.
    std::set<Waiter*> timed;
};

// Never destroyed: threads may still wait while static objects go away.
HandleTable& Table()
{
    static HandleTable* table = new HandleTable;
    return *table;
}

} // namespace

std::mutex& KernelLock()
{
    static std::mutex* lock = new std::mutex;
    return *lock;
}

void KernelObject::Notify()
{
    for (Waiter* waiter : m_waiters)
        waiter->cv.notify_one();
}

void KernelObject::RemoveWaiter(Waiter* waiter)
{
    auto it = std::find(m_waiters.begin(), m_waiters.end(), waiter);
    if (it != m_waiters.end())
        m_waiters.erase(it);
}

HANDLE RegisterHandle(std::shared_ptr<KernelObject> object)
{
    std::lock_guard<std::mutex> lock(KernelLock());
    HandleTable& table = Table();
    uintptr_t value = table.next;
    table.next += 4;
    table.objects.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> LookupHandle(HANDLE handle)
{
    std::lock_guard<std::mutex> lock(KernelLock());
    auto it = Table().objects.find(reinterpret_cast<uintptr_t>(handle));
    return it == Table().objects.end() ? nullptr : it->second;
}

} // namespace tavrin::detail

using tavrin::detail::KernelLock;
using tavrin::detail::KernelObject;
using tavrin::detail::LookupHandle;
using tavrin::detail::Waiter;

namespace {

class EventObject : public KernelObject {
public:
    EventObject(bool manual, bool signalled) : KernelObject(Kind::Event), m_manual(manual), m_signalled(signalled) {}
    bool IsSignalled() const override { return m_signalled; }
    void Acquire() override
    {
        if (!m_manual)
            m_signalled = false;
    }
    bool m_manual;
    bool m_signalled;
};

class SemaphoreObject : public KernelObject {
public:
    SemaphoreObject(LONG count, LONG maximum) : KernelObject(Kind::Semaphore), m_count(count), m_maximum(maximum) {}
    bool IsSignalled() const override { return m_count > 0; }
    void Acquire() override { --m_count; }
    LONG m_count;
    LONG m_maximum;
};

// Clock seam: waits measure their time-outs here.
uint64_t ClockNowMs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000 + static_cast<uint64_t>(ts.tv_nsec) / 1000000;
}

bool ClockIsManual()
{
    return false;
}

// Creates a named object or opens the existing one of that name and kind.
template <class Make>
HANDLE CreateNamed(LPCSTR name, KernelObject::Kind kind, Make make)
{
    if (!name || !*name) {
        SetLastError(ERROR_SUCCESS);
        return tavrin::detail::RegisterHandle(make());
    }
    std::shared_ptr<KernelObject> object;
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
    HANDLE handle = tavrin::detail::RegisterHandle(object);
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

template <class T>
std::shared_ptr<T> LookupAs(HANDLE handle, KernelObject::Kind kind)
{
    std::shared_ptr<KernelObject> object = LookupHandle(handle);
    if (!object || object->GetKind() != kind) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return std::static_pointer_cast<T>(object);
}

DWORD WaitObjects(const std::vector<std::shared_ptr<KernelObject>>& objects, bool waitAll, DWORD milliseconds)
{
    const bool infinite = milliseconds == INFINITE;
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
            if (ClockIsManual())
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
    return CreateNamed(name, KernelObject::Kind::Event,
                       [&] { return std::make_shared<EventObject>(manualReset != FALSE, initialState != FALSE); });
}

BOOL SetEvent(HANDLE event)
{
    auto object = LookupAs<EventObject>(event, KernelObject::Kind::Event);
    if (!object)
        return FALSE;
    std::lock_guard<std::mutex> lock(KernelLock());
    object->m_signalled = true;
    object->Notify();
    return TRUE;
}

BOOL ResetEvent(HANDLE event)
{
    auto object = LookupAs<EventObject>(event, KernelObject::Kind::Event);
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
    return CreateNamed(name, KernelObject::Kind::Semaphore,
                       [&] { return std::make_shared<SemaphoreObject>(initialCount, maximumCount); });
}

BOOL ReleaseSemaphore(HANDLE semaphore, LONG releaseCount, LPLONG previousCount)
{
    auto object = LookupAs<SemaphoreObject>(semaphore, KernelObject::Kind::Semaphore);
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
    std::vector<std::shared_ptr<KernelObject>> objects;
    objects.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
        auto object = LookupHandle(handles[i]);
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

BOOL CloseHandle(HANDLE handle)
{
    std::shared_ptr<KernelObject> object;
    {
        std::lock_guard<std::mutex> lock(KernelLock());
        auto& objects = tavrin::detail::Table().objects;
        auto it = objects.find(reinterpret_cast<uintptr_t>(handle));
        if (it == objects.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        object = std::move(it->second);
        objects.erase(it);
        if (!object->m_name.empty() && object.use_count() == 1)
            tavrin::detail::Table().names.erase(object->m_name);
    }
    return TRUE; // the object goes when its last waiter lets it go
}

void Sleep(DWORD milliseconds)
{
    if (milliseconds == 0) {
        sched_yield();
        return;
    }
    WaitObjects({}, false, milliseconds);
}
