// While a bar tracks, this thread's keys belong to it: a keyboard hook hands
// every key press to the tracking bars, and losing activation ends tracking.
#pragma once

#include "toolkit/commandbars/XTPHookManager.h"

#include <vector>

class CXTPKeyboardManager {
public:
    CXTPKeyboardManager() = default;
    ~CXTPKeyboardManager();
    CXTPKeyboardManager(const CXTPKeyboardManager&) = delete;
    CXTPKeyboardManager& operator=(const CXTPKeyboardManager&) = delete;

    // The hooks are installed with the first sink.
    void HookKeyboard(CXTPHookSink* pHook);
    // And removed with the last.
    void UnhookKeyboard(CXTPHookSink* pHook);
    // TRUE: the message is taken from the focus window. Sinks are asked
    // newest first; 1 takes it, 2 lets it through, all 0 take it.
    BOOL ProcessKeyboardHooks(UINT message, WPARAM wParam, LPARAM lParam = 0);

    BOOL IsKeyboardHooked() const { return m_hHookKeyboard != nullptr; }
    int GetSinkCount() const { return static_cast<int>(m_arrSinks.size()); }

private:
    static LRESULT CALLBACK KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK CallWndProc(int nCode, WPARAM wParam, LPARAM lParam);
    bool Has(CXTPHookSink* pHook) const;

    HHOOK m_hHookKeyboard = nullptr;
    HHOOK m_hHookCallWndProc = nullptr;
    std::vector<CXTPHookSink*> m_arrSinks; // in the order added
};

// The calling thread's keyboard manager, made on first use.
CXTPKeyboardManager* XTPKeyboardManager();
