#include "platform/win/Hooks.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace tavrin::win {

namespace {

constexpr int kFirstKind = WH_MSGFILTER;
constexpr int kLastKind = WH_MOUSE_LL;

struct Hook {
    HHOOK handle;
    int kind;
    HOOKPROC proc;
    DWORD threadId; // 0: every thread
    std::atomic<bool> removed{false};
};

struct HookRegistry {
    std::mutex lock;
    std::vector<std::shared_ptr<Hook>> hooks; // newest first
    uintptr_t next = 0x20010;
    std::atomic<int> count{0};
};

HookRegistry& Registry()
{
    static HookRegistry* registry = new HookRegistry;
    return *registry;
}

// The chains being called on this thread, innermost last; CallNextHookEx
// walks the innermost chain that holds its hook.
struct ActiveChain {
    std::vector<std::shared_ptr<Hook>> members;
    ActiveChain* outer = nullptr;
};
// The chains being called on this thread, innermost first. A plain pointer:
// hooks still run while the thread's other objects are torn down at its end
// (its last windows are destroyed then), so this must never be destroyed.
thread_local ActiveChain* t_active = nullptr;

std::vector<std::shared_ptr<Hook>> ChainFor(int kind, DWORD threadId)
{
    HookRegistry& registry = Registry();
    std::lock_guard<std::mutex> lock(registry.lock);
    std::vector<std::shared_ptr<Hook>> chain;
    // Thread hooks come before hooks for every thread.
    for (const auto& hook : registry.hooks)
        if (hook->kind == kind && hook->threadId == threadId)
            chain.push_back(hook);
    for (const auto& hook : registry.hooks)
        if (hook->kind == kind && hook->threadId == 0)
            chain.push_back(hook);
    return chain;
}

LRESULT CallFrom(const ActiveChain& chain, size_t index, int code, WPARAM wParam, LPARAM lParam)
{
    for (; index < chain.members.size(); ++index) {
        const auto& hook = chain.members[index];
        if (!hook->removed.load())
            return hook->proc(code, wParam, lParam);
    }
    return 0;
}

} // namespace

bool HasHooks(int idHook)
{
    HookRegistry& registry = Registry();
    if (registry.count.load() == 0)
        return false;
    std::lock_guard<std::mutex> lock(registry.lock);
    DWORD thread = GetCurrentThreadId();
    return std::any_of(registry.hooks.begin(), registry.hooks.end(), [&](const std::shared_ptr<Hook>& h) {
        return h->kind == idHook && (h->threadId == thread || h->threadId == 0);
    });
}

LRESULT CallHooks(int idHook, int code, WPARAM wParam, LPARAM lParam)
{
    if (Registry().count.load() == 0)
        return 0;
    ActiveChain chain{ChainFor(idHook, GetCurrentThreadId())};
    if (chain.members.empty())
        return 0;
    chain.outer = t_active;
    t_active = &chain;
    LRESULT result = CallFrom(chain, 0, code, wParam, lParam);
    t_active = chain.outer;
    return result;
}

} // namespace tavrin::win

using tavrin::win::Hook;
using tavrin::win::Registry;

HHOOK SetWindowsHookExA(int idHook, HOOKPROC proc, HINSTANCE, DWORD threadId)
{
    if (!proc || idHook < tavrin::win::kFirstKind || idHook > tavrin::win::kLastKind) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto& registry = Registry();
    std::lock_guard<std::mutex> lock(registry.lock);
    auto hook = std::make_shared<Hook>();
    hook->handle = reinterpret_cast<HHOOK>(registry.next);
    registry.next += 0x10;
    hook->kind = idHook;
    hook->proc = proc;
    hook->threadId = threadId;
    registry.hooks.insert(registry.hooks.begin(), hook);
    ++registry.count;
    return hook->handle;
}

BOOL UnhookWindowsHookEx(HHOOK handle)
{
    auto& registry = Registry();
    std::lock_guard<std::mutex> lock(registry.lock);
    for (auto it = registry.hooks.begin(); it != registry.hooks.end(); ++it) {
        if ((*it)->handle == handle) {
            (*it)->removed.store(true);
            registry.hooks.erase(it);
            --registry.count;
            return TRUE;
        }
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

LRESULT CallNextHookEx(HHOOK handle, int code, WPARAM wParam, LPARAM lParam)
{
    for (auto* chain = tavrin::win::t_active; chain; chain = chain->outer) {
        const auto& members = chain->members;
        for (size_t i = 0; i < members.size(); ++i)
            if (members[i]->handle == handle)
                return tavrin::win::CallFrom(*chain, i + 1, code, wParam, lParam);
    }
    return 0;
}
