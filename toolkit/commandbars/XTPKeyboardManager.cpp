#include "toolkit/commandbars/XTPKeyboardManager.h"

#include "platform/win/Hooks.h"
#include "platform/win/Input.h"
#include "toolkit/commandbars/XTPMouseManager.h"

#include <algorithm>
#include <memory>

CXTPKeyboardManager* XTPKeyboardManager()
{
    thread_local std::unique_ptr<CXTPKeyboardManager> manager(new CXTPKeyboardManager);
    return manager.get();
}

CXTPKeyboardManager::~CXTPKeyboardManager()
{
    if (m_hHookKeyboard)
        ::UnhookWindowsHookEx(m_hHookKeyboard);
    if (m_hHookCallWndProc)
        ::UnhookWindowsHookEx(m_hHookCallWndProc);
}

bool CXTPKeyboardManager::Has(CXTPHookSink* pHook) const
{
    return std::find(m_arrSinks.begin(), m_arrSinks.end(), pHook) != m_arrSinks.end();
}

void CXTPKeyboardManager::HookKeyboard(CXTPHookSink* pHook)
{
    if (!m_hHookKeyboard)
        m_hHookKeyboard = ::SetWindowsHookExA(WH_KEYBOARD, &KeyboardProc, nullptr, ::GetCurrentThreadId());
    if (!m_hHookCallWndProc)
        m_hHookCallWndProc = ::SetWindowsHookExA(WH_CALLWNDPROC, &CallWndProc, nullptr, ::GetCurrentThreadId());
    if (pHook && !Has(pHook))
        m_arrSinks.push_back(pHook);
}

void CXTPKeyboardManager::UnhookKeyboard(CXTPHookSink* pHook)
{
    m_arrSinks.erase(std::remove(m_arrSinks.begin(), m_arrSinks.end(), pHook), m_arrSinks.end());
    if (!m_arrSinks.empty())
        return;
    if (m_hHookCallWndProc) {
        ::UnhookWindowsHookEx(m_hHookCallWndProc);
        m_hHookCallWndProc = nullptr;
    }
    if (m_hHookKeyboard) {
        ::UnhookWindowsHookEx(m_hHookKeyboard);
        m_hHookKeyboard = nullptr;
    }
}

BOOL CXTPKeyboardManager::ProcessKeyboardHooks(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_arrSinks.empty())
        return TRUE;
    // A sink may end tracking and so empty the list being walked: walk a
    // copy and skip sinks removed meanwhile.
    const std::vector<CXTPHookSink*> snapshot = m_arrSinks;
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
        if (!Has(*it))
            continue;
        WPARAM wp = wParam;
        LPARAM lp = lParam;
        LRESULT lResult = 0;
        int nResult = (*it)->OnHookMessage(nullptr, message, wp, lp, lResult);
        if (nResult != 0)
            return nResult == 1;
    }
    return TRUE;
}

LRESULT CALLBACK CXTPKeyboardManager::KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    CXTPKeyboardManager* pManager = XTPKeyboardManager();
    // Kept: a sink may end tracking and unhook meanwhile.
    HHOOK hHook = pManager->m_hHookKeyboard;
    const bool bPress = (lParam & 0x80000000) == 0;
    if (nCode == HC_ACTION && bPress && !pManager->m_arrSinks.empty()) {
        if (lParam & (KF_ALTDOWN << 16)) {
            CXTPMouseManager* pMouseManager = XTPMouseManager();
            if (pMouseManager->IsTrackingLocked())
                return ::CallNextHookEx(hHook, nCode, wParam, lParam);
            if (wParam == VK_MENU) {
                // Alt alone ends the menus; its auto-repeat does nothing more.
                if (lParam & (KF_REPEAT << 16))
                    return ::CallNextHookEx(hHook, nCode, wParam, lParam);
                pMouseManager->SendTrackLost();
                return TRUE;
            }
        }
        if (pManager->ProcessKeyboardHooks(WM_KEYDOWN, wParam))
            return TRUE;
    }
    return ::CallNextHookEx(hHook, nCode, wParam, lParam);
}

LRESULT CALLBACK CXTPKeyboardManager::CallWndProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    CXTPKeyboardManager* pManager = XTPKeyboardManager();
    HHOOK hHook = pManager->m_hHookCallWndProc;
    auto* pMsg = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (nCode == HC_ACTION && pMsg && pMsg->message == WM_ACTIVATEAPP && !pMsg->wParam)
        XTPMouseManager()->SendTrackLost();
    return ::CallNextHookEx(hHook, nCode, wParam, lParam);
}
