// Watching other windows' messages: the hook manager subclasses a window and
// offers each of its messages to the sinks hooked on it before the window's
// own procedure sees it. Bars, floating frames and the dock context use it.
#pragma once

#include "platform/win/WinMessage.h"

#include <memory>
#include <unordered_map>
#include <vector>

class CXTPHookSink {
public:
    virtual ~CXTPHookSink() = default;
    // 0: not interested (ask the next sink); 1: consumed (lResult is the
    // answer, the window never sees the message); 2: stop asking sinks and
    // let the message through. hWnd is null for keys from the keyboard hook.
    virtual int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) = 0;
};

class CXTPHookManager {
public:
    CXTPHookManager() = default;
    ~CXTPHookManager();
    CXTPHookManager(const CXTPHookManager&) = delete;
    CXTPHookManager& operator=(const CXTPHookManager&) = delete;

    // Subclasses the window on its first sink; a sink already hooked there
    // is not added twice.
    void SetHook(HWND hWnd, CXTPHookSink* pHook);
    // The window's procedure is put back when its last sink goes.
    void RemoveHook(HWND hWnd, CXTPHookSink* pHook);
    void RemoveAll(CXTPHookSink* pHook);
    void RemoveAll();

    BOOL IsHooked(HWND hWnd) const { return m_mapHooks.count(hWnd) != 0; }
    int GetSinkCount(HWND hWnd) const;

private:
    struct CHookedWnd;
    using HookedWndPtr = std::shared_ptr<CHookedWnd>;

    static LRESULT CALLBACK HookWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    HookedWndPtr Lookup(HWND hWnd) const;
    // Takes the record out of the map and unsubclasses its window.
    void Unhook(HWND hWnd);

    std::unordered_map<HWND, HookedWndPtr> m_mapHooks;
    // Windows subclassed again by someone else after us: our procedure stays
    // in their chain, so it keeps forwarding to the procedure it replaced.
    std::unordered_map<HWND, WNDPROC> m_mapPassThrough;
};

// The process's hook manager.
CXTPHookManager* XTPHookManager();
