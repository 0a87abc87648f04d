// The framework's tool tips: one tooltip control per thread, shared by the
// windows that enabled tips, fed with their mouse messages.
#include "platform/controls/ToolTip.h"
#include "platform/mfc/ToolTipCtrl.h"
#include "platform/mfc/Wnd.h"
#include "platform/win/Input.h"

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <cstring>
#include <memory>

namespace {

struct ToolTipState {
    // The thread's tip goes at the thread's end, while its window system is still there.
    ~ToolTipState()
    {
        if (tip && tip->m_hWnd)
            tip->DestroyWindow();
    }
    std::unique_ptr<CToolTipCtrl> tip;
    CWnd* lastHit = nullptr;
    INT_PTR lastId = -1;
    TOOLINFO lastInfo{};
};

ToolTipState& State()
{
    thread_local ToolTipState state;
    return state;
}

bool IsMouseRelease(UINT message)
{
    return message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE || message == WM_LBUTTONUP ||
           message == WM_RBUTTONUP || message == WM_MBUTTONUP;
}

bool ButtonsUp()
{
    return ::GetKeyState(VK_LBUTTON) >= 0 && ::GetKeyState(VK_RBUTTON) >= 0 && ::GetKeyState(VK_MBUTTON) >= 0;
}

// The nearest window from the message's window up that shows tips.
CWnd* TipWindowOf(HWND hWnd, const CWnd* stop)
{
    for (; hWnd; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
        if ((pWnd && (pWnd->m_nFlags & (WF_TOOLTIPS | WF_TRACKINGTOOLTIPS))) || pWnd == stop)
            return pWnd;
    }
    return nullptr;
}

} // namespace

BOOL CWnd::EnableToolTips(BOOL bEnable)
{
    BOOL was = (m_nFlags & WF_TOOLTIPS) != 0;
    if (bEnable) {
        m_nFlags |= WF_TOOLTIPS;
    } else {
        m_nFlags &= ~static_cast<UINT>(WF_TOOLTIPS);
        ToolTipState& state = State();
        if (state.lastHit == this)
            CancelToolTips(FALSE);
    }
    return was;
}

INT_PTR CWnd::OnToolHitTest(CPoint point, TTTOOLINFOA* pTI) const
{
    // A child control under the point, enabled or not.
    HWND child = ::ChildWindowFromPoint(m_hWnd, point);
    if (!child || child == m_hWnd)
        return -1;
    INT_PTR id = ::GetDlgCtrlID(child);
    if (pTI && pTI->cbSize >= TTTOOLINFOA_V1_SIZE) {
        pTI->hwnd = m_hWnd;
        pTI->uId = reinterpret_cast<UINT_PTR>(child);
        pTI->uFlags |= TTF_IDISHWND;
        pTI->lpszText = LPSTR_TEXTCALLBACK;
        if (!(::SendMessageA(child, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON))
            pTI->uFlags |= TTF_CENTERTIP;
    }
    return id;
}

BOOL CWnd::IsTopParentActive() const
{
    CWnd* top = GetTopLevelParent();
    return top && ::GetActiveWindow() == top->m_hWnd;
}

void CWnd::CancelToolTips(BOOL)
{
    ToolTipState& state = State();
    if (state.tip && state.tip->m_hWnd) {
        state.tip->SendMessage(TTM_ACTIVATE, FALSE);
        state.tip->SendMessage(TTM_POP);
        state.tip->SendMessage(TTM_ACTIVATE, TRUE);
    }
}

void CWnd::FilterToolTipMessage(MSG* pMsg)
{
    ToolTipState& state = State();
    const UINT message = pMsg->message;
    if (IsMouseRelease(message) && ButtonsUp()) {
        if (TipWindowOf(pMsg->hwnd, nullptr) != this)
            return; // tips not enabled here, or a nearer window shows its own
        CWnd* owner = GetParentOwner();
        if (state.tip && state.tip->GetOwner() != owner) {
            state.tip->DestroyWindow();
            state.tip.reset();
            state.lastHit = nullptr;
            state.lastId = -1;
        }
        if (!state.tip) {
            auto tip = std::make_unique<CToolTipCtrl>();
            if (!tip->Create(owner, TTS_ALWAYSTIP))
                return;
            tip->SendMessage(TTM_ACTIVATE, FALSE);
            state.tip = std::move(tip);
            state.lastInfo = TOOLINFO{};
        }
        CToolTipCtrl* tip = state.tip.get();
        CPoint point = pMsg->pt;
        ::ScreenToClient(m_hWnd, &point);
        TOOLINFO hit{};
        hit.cbSize = sizeof hit;
        INT_PTR id = OnToolHitTest(point, &hit);
        // A text the hit test allocated is freed here: the tool keeps its own copy.
        std::unique_ptr<char, void (*)(void*)> ownedText(nullptr, std::free);
        if (hit.lpszText && hit.lpszText != LPSTR_TEXTCALLBACK && !IS_INTRESOURCE(hit.lpszText))
            ownedText.reset(hit.lpszText);
        CWnd* hitWnd = id == -1 ? nullptr : this;
        if (state.lastId != id || state.lastHit != hitWnd) {
            if (id != -1) {
                TOOLINFO info = hit;
                tip->SendMessage(TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&info));
                if (IsTopParentActive()) {
                    tip->SendMessage(TTM_ACTIVATE, TRUE);
                    ::SetWindowPos(tip->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOMOVE);
                }
            } else {
                tip->SendMessage(TTM_ACTIVATE, FALSE);
            }
            tip->SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg));
            // The old tool goes only now, after the event reached the new one.
            if (state.lastInfo.cbSize)
                tip->SendMessage(TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&state.lastInfo));
            state.lastHit = hitWnd;
            state.lastId = id;
            state.lastInfo = id == -1 ? TOOLINFO{} : hit;
            if (ownedText)
                state.lastInfo.lpszText = nullptr;
        } else if (id != -1) {
            tip->SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg));
        }
        return;
    }
    if (!(m_nFlags & (WF_TOOLTIPS | WF_TRACKINGTOOLTIPS)) || TipWindowOf(pMsg->hwnd, this) != this)
        return;
    // A key or a press hides the tip.
    const bool key = message >= WM_KEYFIRST && message <= WM_KEYLAST;
    const bool press = message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN ||
                       message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDOWN || message == WM_MBUTTONDBLCLK ||
                       message == WM_NCLBUTTONDOWN || message == WM_NCLBUTTONDBLCLK || message == WM_NCRBUTTONDOWN ||
                       message == WM_NCRBUTTONDBLCLK || message == WM_NCMBUTTONDOWN || message == WM_NCMBUTTONDBLCLK;
    if (!(m_nFlags & WF_TRACKINGTOOLTIPS) && (key || press))
        CancelToolTips(key);
}
