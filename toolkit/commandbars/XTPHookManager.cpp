#include "toolkit/commandbars/XTPHookManager.h"

#include "platform/mfc/Wnd.h"

#include <algorithm>

struct CXTPHookManager::CHookedWnd {
    std::vector<CXTPHookSink*> sinks; // in the order they were added
    WNDPROC oldProc = nullptr;
    HWND hWnd = nullptr;
    bool unhooked = false;

    bool Has(CXTPHookSink* pSink) const { return std::find(sinks.begin(), sinks.end(), pSink) != sinks.end(); }
};

CXTPHookManager* XTPHookManager()
{
    static CXTPHookManager manager;
    return &manager;
}

CXTPHookManager::~CXTPHookManager()
{
    RemoveAll();
}

CXTPHookManager::HookedWndPtr CXTPHookManager::Lookup(HWND hWnd) const
{
    auto it = m_mapHooks.find(hWnd);
    return it == m_mapHooks.end() ? nullptr : it->second;
}

int CXTPHookManager::GetSinkCount(HWND hWnd) const
{
    HookedWndPtr pRecord = Lookup(hWnd);
    return pRecord ? static_cast<int>(pRecord->sinks.size()) : 0;
}

void CXTPHookManager::SetHook(HWND hWnd, CXTPHookSink* pHook)
{
    if (!hWnd || !pHook || !::IsWindow(hWnd))
        return;
    HookedWndPtr pRecord = Lookup(hWnd);
    if (!pRecord) {
        pRecord = std::make_shared<CHookedWnd>();
        pRecord->hWnd = hWnd;
        auto pass = m_mapPassThrough.find(hWnd);
        if (pass != m_mapPassThrough.end()) {
            // Our procedure is still in the window's chain.
            pRecord->oldProc = pass->second;
            m_mapPassThrough.erase(pass);
        } else {
            pRecord->oldProc = reinterpret_cast<WNDPROC>(
                ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookWndProc)));
        }
        m_mapHooks[hWnd] = pRecord;
    }
    if (!pRecord->Has(pHook))
        pRecord->sinks.push_back(pHook);
}

void CXTPHookManager::Unhook(HWND hWnd)
{
    auto it = m_mapHooks.find(hWnd);
    if (it == m_mapHooks.end())
        return;
    HookedWndPtr pRecord = it->second;
    m_mapHooks.erase(it);
    pRecord->unhooked = true;
    pRecord->sinks.clear();
    if (!::IsWindow(hWnd))
        return;
    if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC)) == &HookWndProc)
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pRecord->oldProc));
    else
        m_mapPassThrough[hWnd] = pRecord->oldProc;
}

void CXTPHookManager::RemoveHook(HWND hWnd, CXTPHookSink* pHook)
{
    HookedWndPtr pRecord = Lookup(hWnd);
    if (!pRecord)
        return;
    auto& sinks = pRecord->sinks;
    sinks.erase(std::remove(sinks.begin(), sinks.end(), pHook), sinks.end());
    if (sinks.empty())
        Unhook(hWnd);
}

void CXTPHookManager::RemoveAll(CXTPHookSink* pHook)
{
    std::vector<HWND> windows;
    for (const auto& [hWnd, pRecord] : m_mapHooks)
        if (pRecord->Has(pHook))
            windows.push_back(hWnd);
    for (HWND hWnd : windows)
        RemoveHook(hWnd, pHook);
}

void CXTPHookManager::RemoveAll()
{
    std::vector<HWND> windows;
    for (const auto& entry : m_mapHooks)
        windows.push_back(entry.first);
    for (HWND hWnd : windows)
        Unhook(hWnd);
}

LRESULT CALLBACK CXTPHookManager::HookWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CXTPHookManager* pManager = XTPHookManager();
    // The framework's record of the message being handled (Default() and
    // GetCurrentMessage() read it) describes this message while we run.
    MSG& curMsg = *const_cast<MSG*>(CWnd::GetCurrentMessage());
    const MSG oldMsg = curMsg;
    curMsg.hwnd = hWnd;
    curMsg.message = message;
    curMsg.wParam = wParam;
    curMsg.lParam = lParam;

    // The record is held until this dispatch ends, so a sink that unhooks the
    // window (or destroys it) never leaves us on a freed record.
    HookedWndPtr pRecord = pManager->Lookup(hWnd);
    WNDPROC oldProc = nullptr;
    if (pRecord) {
        oldProc = pRecord->oldProc;
    } else {
        auto pass = pManager->m_mapPassThrough.find(hWnd);
        if (pass != pManager->m_mapPassThrough.end()) {
            oldProc = pass->second;
            if (message == WM_NCDESTROY)
                pManager->m_mapPassThrough.erase(pass);
        }
    }

    if (pRecord && message == WM_NCDESTROY) {
        pManager->Unhook(hWnd);
    } else if (pRecord) {
        // Asked from a snapshot, newest first; a sink removed meanwhile is
        // not asked (it may be gone).
        const std::vector<CXTPHookSink*> snapshot = pRecord->sinks;
        for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
            if (pRecord->unhooked || !pRecord->Has(*it))
                continue;
            LRESULT lResult = 0;
            int nResult = (*it)->OnHookMessage(hWnd, message, wParam, lParam, lResult);
            if (nResult == 1) {
                curMsg = oldMsg;
                return lResult;
            }
            if (nResult == 2)
                break;
        }
        // A sink destroyed the window: its procedure has seen the end already.
        if (!::IsWindow(hWnd)) {
            curMsg = oldMsg;
            return 0;
        }
    }

    LRESULT lResult = oldProc ? ::CallWindowProcA(oldProc, hWnd, message, wParam, lParam)
                              : ::DefWindowProcA(hWnd, message, wParam, lParam);
    curMsg = oldMsg;
    return lResult;
}
