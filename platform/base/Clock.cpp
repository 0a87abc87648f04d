#include "platform/base/Clock.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <utility>
#include <vector>

#include <time.h>

namespace tavrin::clock {
namespace {

std::atomic<bool> g_manual{false};
std::atomic<int64_t> g_manualWallMs{0};
std::atomic<int64_t> g_manualTickMs{0};
// Added to the system's monotonic clock, so the tick does not step back when
// a test leaves manual mode after advancing it.
std::atomic<int64_t> g_realTickOffset{0};
std::atomic<uint64_t> g_generation{0};

struct Listeners {
    std::mutex writeMutex; // serialises changes of the clock
    std::mutex mutex;      // guards the list and is held while calling it
    std::vector<std::pair<int, std::function<void()>>> list;
    int nextId = 1;
};

// Never destroyed: workers may still read the clock while the process exits.
Listeners& State()
{
    static Listeners* state = new Listeners;
    return *state;
}

// <chrono> cannot be included here: its unit suffixes hold a character that
// has no GBK form.
int64_t SteadyMs()
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

int64_t FloorDiv(int64_t a, int64_t b)
{
    int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

void Changed()
{
    g_generation.fetch_add(1, std::memory_order_acq_rel);
    Listeners& state = State();
    std::lock_guard lock(state.mutex);
    for (auto& entry : state.list)
        entry.second();
}

} // namespace

int64_t Now()
{
    if (g_manual.load(std::memory_order_acquire))
        return FloorDiv(g_manualWallMs.load(std::memory_order_acquire), 1000);
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<int64_t>(ts.tv_sec);
}

int64_t NowMs()
{
    if (g_manual.load(std::memory_order_acquire))
        return g_manualTickMs.load(std::memory_order_acquire);
    return SteadyMs() + g_realTickOffset.load(std::memory_order_acquire);
}

void UseManual(int64_t startSeconds)
{
    {
        std::lock_guard lock(State().writeMutex);
        g_manualTickMs.store(NowMs(), std::memory_order_release);
        g_manualWallMs.store(startSeconds * 1000, std::memory_order_release);
        g_manual.store(true, std::memory_order_release);
    }
    Changed();
}

void UseReal()
{
    {
        std::lock_guard lock(State().writeMutex);
        if (!g_manual.load(std::memory_order_acquire))
            return;
        int64_t manualTick = g_manualTickMs.load(std::memory_order_acquire);
        int64_t offset = g_realTickOffset.load(std::memory_order_acquire);
        g_realTickOffset.store(std::max(offset, manualTick - SteadyMs()), std::memory_order_release);
        g_manual.store(false, std::memory_order_release);
    }
    Changed();
}

bool IsManual()
{
    return g_manual.load(std::memory_order_acquire);
}

void Set(int64_t seconds)
{
    {
        std::lock_guard lock(State().writeMutex);
        if (!g_manual.load(std::memory_order_acquire))
            return;
        g_manualWallMs.store(seconds * 1000, std::memory_order_release);
    }
    Changed();
}

void Advance(int64_t ms)
{
    if (ms <= 0)
        return;
    {
        std::lock_guard lock(State().writeMutex);
        if (!g_manual.load(std::memory_order_acquire))
            return;
        g_manualWallMs.fetch_add(ms, std::memory_order_acq_rel);
        g_manualTickMs.fetch_add(ms, std::memory_order_acq_rel);
    }
    Changed();
}

uint64_t Generation()
{
    return g_generation.load(std::memory_order_acquire);
}

int AddListener(std::function<void()> listener)
{
    Listeners& state = State();
    std::lock_guard lock(state.mutex);
    int id = state.nextId++;
    state.list.emplace_back(id, std::move(listener));
    return id;
}

void RemoveListener(int id)
{
    Listeners& state = State();
    std::lock_guard lock(state.mutex);
    std::erase_if(state.list, [id](const auto& entry) { return entry.first == id; });
}

} // namespace tavrin::clock

DWORD GetTickCount()
{
    return static_cast<DWORD>(static_cast<uint64_t>(tavrin::clock::NowMs()));
}

ULONGLONG GetTickCount64()
{
    return static_cast<ULONGLONG>(tavrin::clock::NowMs());
}
