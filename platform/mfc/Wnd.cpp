#include "platform/mfc/Wnd.h"

#include "platform/mfc/HandleMap.h"
#include "platform/mfc/OleControl.h"
#include "platform/mfc/WinApp.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <vector>

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
    ON_WM_DRAWITEM()
    ON_WM_MEASUREITEM()
    ON_WM_DELETEITEM()
    ON_WM_COMPAREITEM()
    ON_WM_CTLCOLOR()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_PARENTNOTIFY()
    ON_WM_NCDESTROY()
END_MESSAGE_MAP()

#ifndef BS_TYPEMASK
#define BS_TYPEMASK 0x0000000FL
#endif
#define AFX_BS_AUTOCHECKBOX 0x00000003L
#define AFX_BS_AUTO3STATE 0x00000006L
#define AFX_BS_GROUPBOX 0x00000007L
#define AFX_BS_AUTORADIOBUTTON 0x00000009L

namespace {

struct ThreadState {
    CWnd* wndInit = nullptr;
    HHOOK cbtHook = nullptr;
    int creating = 0; // CreateEx calls under way, nested ones included
    MSG lastSentMsg{};
};

ThreadState& State()
{
    thread_local ThreadState state;
    return state;
}

auto& WndMap() { return tavrin::mfc::ThreadHandleMap<CWnd, HWND, &CWnd::m_hWnd>(); }

// Subclasses the window being made by CreateEx as soon as it exists, so its
// object sees WM_NCCREATE and WM_CREATE.
LRESULT CALLBACK CbtFilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    ThreadState& state = State();
    if (code == HCBT_CREATEWND && state.wndInit) {
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        CWnd* pWnd = state.wndInit;
        state.wndInit = nullptr;
        pWnd->Attach(hWnd);
        pWnd->PreSubclassWindow();
        WNDPROC old = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
        if (old != &AfxWndProc)
            *pWnd->GetSuperWndProcAddr() = old;
    }
    return ::CallNextHookEx(state.cbtHook, code, wParam, lParam);
}

HWND ParentOwnerOf(HWND hWnd)
{
    if (CWnd* pWnd = CWnd::FromHandlePermanent(hWnd))
        return AfxHwndOf(pWnd->GetOwner());
    return (::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD) ? ::GetParent(hWnd) : ::GetWindow(hWnd, GW_OWNER);
}

} // namespace

void tavrin::mfc::HookWindowCreate(CWnd* pWnd)
{
    ThreadState& state = State();
    if (!state.cbtHook)
        state.cbtHook = ::SetWindowsHookExA(WH_CBT, &CbtFilterHook, nullptr, ::GetCurrentThreadId());
    ++state.creating;
    state.wndInit = pWnd;
}

BOOL tavrin::mfc::UnhookWindowCreate()
{
    ThreadState& state = State();
    // The hook is there only while windows are being made.
    if (--state.creating == 0 && state.cbtHook) {
        ::UnhookWindowsHookEx(state.cbtHook);
        state.cbtHook = nullptr;
    }
    if (state.wndInit) {
        state.wndInit = nullptr;
        return FALSE; // the window was never made
    }
    return TRUE;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_QUERYAFXWNDPROC)
        return 1;
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd || pWnd->m_hWnd != hWnd)
        return ::DefWindowProcA(hWnd, nMsg, wParam, lParam);
    return AfxCallWndProc(pWnd, hWnd, nMsg, wParam, lParam);
}

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    ThreadState& state = State();
    MSG saved = state.lastSentMsg;
    state.lastSentMsg.hwnd = hWnd;
    state.lastSentMsg.message = nMsg;
    state.lastSentMsg.wParam = wParam;
    state.lastSentMsg.lParam = lParam;
    bool failed = true;
    LRESULT result = tavrin::mfc::GuardBoundary("a window procedure", static_cast<LRESULT>(0), [&] {
        LRESULT r = pWnd->WindowProc(nMsg, wParam, lParam);
        failed = false;
        return r;
    });
    if (failed) {
        if (nMsg == WM_CREATE)
            result = -1;
        else if (nMsg == WM_PAINT)
            ::ValidateRect(hWnd, nullptr); // else the paint would come again at once
    }
    State().lastSentMsg = saved;
    return result;
}

void AfxSetWindowText(HWND hWndCtrl, LPCTSTR lpszNew)
{
    if (!hWndCtrl)
        return;
    const char* text = lpszNew ? lpszNew : "";
    int newLength = static_cast<int>(std::strlen(text));
    int oldLength = ::GetWindowTextLengthA(hWndCtrl);
    if (newLength == oldLength) {
        std::vector<char> old(static_cast<size_t>(oldLength) + 1);
        ::GetWindowTextA(hWndCtrl, old.data(), oldLength + 1);
        if (std::strcmp(old.data(), text) == 0)
            return;
    }
    ::SetWindowTextA(hWndCtrl, text);
}

BOOL AfxRegisterClass(WNDCLASS* lpWndClass)
{
    WNDCLASS existing{};
    if (::GetClassInfoA(lpWndClass->hInstance, lpWndClass->lpszClassName, &existing))
        return TRUE;
    return ::RegisterClassA(lpWndClass) != 0;
}

LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    static std::mutex lock;
    static std::set<std::string> names; // stable storage for the names handed out
    char name[128];
    std::snprintf(name, sizeof name, "Afx:%p:%x:%p:%p:%p", static_cast<void*>(nullptr), nClassStyle,
                  static_cast<void*>(hCursor), static_cast<void*>(hbrBackground), static_cast<void*>(hIcon));
    std::lock_guard<std::mutex> guard(lock);
    const std::string& stored = *names.insert(name).first;
    WNDCLASS wc{};
    wc.style = nClassStyle;
    wc.lpfnWndProc = &::DefWindowProcA;
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.hIcon = hIcon;
    wc.lpszClassName = stored.c_str();
    AfxRegisterClass(&wc);
    return stored.c_str();
}

namespace {
void RegisterStandardClass()
{
    static std::once_flag once;
    std::call_once(once, [] {
        WNDCLASS wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &::DefWindowProcA;
        wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        wc.lpszClassName = AFX_WND_CLASS;
        AfxRegisterClass(&wc);
    });
}
} // namespace

CWnd::~CWnd()
{
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) {
        // A window still alive when its object goes: destroy it now; the
        // object's own OnDestroy and PostNcDestroy can no longer run.
        DestroyWindow();
    }
}

CWnd* CWnd::FromHandle(HWND hWnd) { return WndMap().FromHandle(hWnd); }
CWnd* CWnd::FromHandlePermanent(HWND hWnd) { return WndMap().FromHandlePermanent(hWnd); }

void CWnd::DeleteTempMap() { WndMap().DeleteTemp(); }

BOOL CWnd::Attach(HWND hWndNew)
{
    if (!hWndNew)
        return FALSE;
    m_hWnd = hWndNew;
    WndMap().SetPermanent(hWndNew, this);
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND h = m_hWnd;
    if (h)
        WndMap().RemoveHandle(h);
    m_hWnd = nullptr;
    return h;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!::IsWindow(hWnd) || !Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    WNDPROC old = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    WNDPROC* super = GetSuperWndProcAddr();
    if (!*super && old != &AfxWndProc)
        *super = old;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND hWndControl = ::GetDlgItem(AfxHwndOf(pParent), static_cast<int>(nID));
    return hWndControl ? SubclassWindow(hWndControl) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    WNDPROC* super = GetSuperWndProcAddr();
    if (*super)
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(*super));
    *super = nullptr;
    return Detach();
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass) {
        RegisterStandardClass();
        cs.lpszClass = AFX_WND_CLASS;
    }
    return TRUE;
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                  UINT nID, void* pContext)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, AfxHwndOf(pParentWnd),
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), pContext);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                    CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, AfxHwndOf(pParentWnd),
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
    CREATESTRUCT cs{};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = static_cast<LONG>(dwStyle);
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = nullptr;
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    tavrin::mfc::HookWindowCreate(this);
    HWND hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x, cs.y,
                                  cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    if (!tavrin::mfc::UnhookWindowCreate())
        PostNcDestroy(); // failed before the window existed: the object may free itself
    return hWnd != nullptr;
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    HWND hWnd = m_hWnd;
    bool permanent = FromHandlePermanent(hWnd) == this;
    BOOL result = ::DestroyWindow(hWnd);
    // A permanent object was detached in OnNcDestroy (and may be gone now).
    if (!permanent && m_hWnd == hWnd)
        Detach();
    return result;
}

void CWnd::OnNcDestroy()
{
    if (CWinThread* pThread = AfxGetThread()) {
        if (pThread->m_pMainWnd == this) {
            // The main window of the application ends the application.
            if (pThread == AfxGetApp())
                ::PostQuitMessage(0);
            pThread->m_pMainWnd = nullptr;
        }
        if (pThread->m_pActiveWnd == this)
            pThread->m_pActiveWnd = nullptr;
    }
    WNDPROC proc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC));
    Default();
    if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC)) == proc) {
        if (WNDPROC super = *GetSuperWndProcAddr())
            ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(super));
    }
    // The controls' sites go with the window that held them.
    m_pCtrlSite = nullptr;
    if (m_pCtrlCont) {
        delete m_pCtrlCont;
        m_pCtrlCont = nullptr;
    }
    Detach();
    PostNcDestroy();
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (WNDPROC super = *GetSuperWndProcAddr())
        return ::CallWindowProcA(super, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MSG& msg = State().lastSentMsg;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

const MSG* CWnd::GetCurrentMessage()
{
    MSG& msg = State().lastSentMsg;
    msg.time = ::GetMessageTime();
    DWORD pos = ::GetMessagePos();
    msg.pt.x = static_cast<short>(LOWORD(pos));
    msg.pt.y = static_cast<short>(HIWORD(pos));
    return &msg;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT lResult = 0;
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        lResult = 1;
    } else if (message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (!header || !header->hwndFrom || !OnNotify(wParam, lParam, &lResult))
            return FALSE;
    } else {
        UINT lookup = message;
        int ctlType = 0;
        if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
            lookup = WM_CTLCOLOR;
            ctlType = static_cast<int>(message - WM_CTLCOLORMSGBOX);
        }
        const AFX_MSGMAP_ENTRY* e = tavrin::mfc::FindMessageEntry(GetMessageMap(), lookup, 0, 0);
        if (!e)
            return FALSE;
        AFX_MSGCALL call{message, wParam, lParam, 0, 0, ctlType, nullptr};
        if (!e->pfn(this, call))
            return FALSE;
        lResult = call.result;
    }
    if (pResult)
        *pResult = lResult;
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
    int nCode = HIWORD(wParam);
    if (!hWndCtrl) {
        // A menu item or an accelerator: refused while its update handler
        // keeps it disabled.
        if (nID == 0)
            return FALSE;
        CTestCmdUI state;
        state.m_nID = nID;
        OnCmdMsg(nID, CN_UPDATE_COMMAND_UI, &state, nullptr);
        if (!state.m_bEnabled)
            return TRUE;
        nCode = CN_COMMAND;
    } else {
        // A control changed by data exchange does not notify meanwhile.
        if (nCode != CN_COMMAND && tavrin::mfc::LockoutNotifyWindow() == m_hWnd)
            return TRUE;
        if (ReflectLastMsg(hWndCtrl))
            return TRUE; // the control handled its own notification
        if (nID == 0)
            return FALSE;
    }
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    HWND hWndCtrl = header->hwndFrom;
    UINT nID = static_cast<UINT>(::GetDlgCtrlID(hWndCtrl));
    int nCode = static_cast<int>(header->code);
    if (ReflectLastMsg(hWndCtrl, pResult))
        return TRUE;
    AFX_NOTIFY notify{pResult, header};
    return OnCmdMsg(nID, MAKELONG(nCode, WM_NOTIFY), &notify, nullptr);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_PARENTNOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
        return CWnd::OnWndMsg(WM_REFLECT_BASE + message, wParam, lParam, pResult);
    case WM_COMMAND: {
        int nCode = HIWORD(wParam);
        if (CWnd::OnCmdMsg(0, MAKELONG(nCode, WM_REFLECT_BASE + WM_COMMAND), nullptr, nullptr)) {
            if (pResult)
                *pResult = 1;
            return TRUE;
        }
        return FALSE;
    }
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        AFX_NOTIFY notify{pResult, header};
        return CWnd::OnCmdMsg(0, MAKELONG(static_cast<int>(header->code), WM_REFLECT_BASE + WM_NOTIFY), &notify,
                              nullptr);
    }
    default:
        if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
            AFX_CTLCOLOR ctl{m_hWnd, reinterpret_cast<HDC>(wParam), message - WM_CTLCOLORMSGBOX};
            return CWnd::OnWndMsg(WM_REFLECT_BASE + WM_CTLCOLOR, 0, reinterpret_cast<LPARAM>(&ctl), pResult);
        }
        return FALSE;
    }
}

BOOL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult)
{
    CWnd* pWnd = FromHandlePermanent(hWndChild);
    return pWnd ? pWnd->SendChildNotifyLastMsg(pResult) : FALSE;
}

BOOL CWnd::SendChildNotifyLastMsg(LRESULT* pResult)
{
    const MSG& msg = State().lastSentMsg;
    return OnChildNotify(msg.message, msg.wParam, msg.lParam, pResult);
}

BOOL CWnd::PreTranslateMessage(MSG* pMsg)
{
    // Tool tips see every message of a window that shows them.
    FilterToolTipMessage(pMsg);
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = FromHandlePermanent(hWnd);
        if (pWnd && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (hWnd == hWndStop)
            break;
    }
    return FALSE;
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep, BOOL bOnlyPerm)
{
    SendMessageToDescendants(m_hWnd, message, wParam, lParam, bDeep, bOnlyPerm);
}

void CWnd::SendMessageToDescendants(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep,
                                    BOOL bOnlyPerm)
{
    for (HWND child = ::GetTopWindow(hWnd); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (bOnlyPerm) {
            if (CWnd* pWnd = FromHandlePermanent(child))
                AfxCallWndProc(pWnd, child, message, wParam, lParam);
        } else {
            ::SendMessageA(child, message, wParam, lParam);
        }
        if (bDeep && ::IsWindow(child) && ::GetTopWindow(child))
            SendMessageToDescendants(child, message, wParam, lParam, bDeep, bOnlyPerm);
    }
}

CWnd* CWnd::GetOwner() const { return m_hWndOwner ? FromHandle(m_hWndOwner) : GetParent(); }

CFrameWnd* CWnd::GetParentFrame() const
{
    if (!m_hWnd)
        return nullptr;
    for (CWnd* pParent = GetParent(); pParent; pParent = pParent->GetParent()) {
        if (pParent->IsFrameWnd())
            return reinterpret_cast<CFrameWnd*>(pParent);
    }
    return nullptr;
}

CFrameWnd* CWnd::GetTopLevelFrame() const
{
    if (!m_hWnd)
        return nullptr;
    const CWnd* frame = IsFrameWnd() ? this : reinterpret_cast<const CWnd*>(GetParentFrame());
    while (frame) {
        const CWnd* up = reinterpret_cast<const CWnd*>(frame->GetParentFrame());
        if (!up)
            break;
        frame = up;
    }
    return reinterpret_cast<CFrameWnd*>(const_cast<CWnd*>(frame));
}

CWnd* CWnd::GetTopLevelParent() const
{
    if (!m_hWnd)
        return nullptr;
    HWND hWnd = m_hWnd;
    while (HWND up = ParentOwnerOf(hWnd))
        hWnd = up;
    return FromHandle(hWnd);
}

CWnd* CWnd::GetTopLevelOwner() const
{
    if (!m_hWnd)
        return nullptr;
    HWND hWnd = m_hWnd;
    while (HWND up = ::GetWindow(hWnd, GW_OWNER))
        hWnd = up;
    return FromHandle(hWnd);
}

CWnd* CWnd::GetParentOwner() const
{
    if (!m_hWnd)
        return nullptr;
    HWND hWnd = m_hWnd;
    HWND up;
    while ((::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD) && (up = ::GetParent(hWnd)) != nullptr)
        hWnd = up;
    return FromHandle(hWnd);
}

CWnd* CWnd::GetSafeOwner(CWnd* pParent, HWND* pWndTop)
{
    HWND hParent = AfxHwndOf(pParent);
    HWND hWnd = hParent;
    if (!hWnd)
        hWnd = AfxHwndOf(AfxGetMainWnd());
    // A popup cannot be owned by a child window.
    while (hWnd && (::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD))
        hWnd = ::GetParent(hWnd);
    HWND hWndTop = hWnd;
    for (HWND t = hWnd; t; t = ::GetParent(t))
        hWndTop = t;
    if (!hParent && hWnd)
        hWnd = ::GetLastActivePopup(hWnd);
    if (pWndTop) {
        if (hWndTop && ::IsWindowEnabled(hWndTop) && hWndTop != hWnd) {
            *pWndTop = hWndTop;
            ::EnableWindow(hWndTop, FALSE);
        } else {
            *pWndTop = nullptr;
        }
    }
    return FromHandle(hWnd);
}

BOOL CWnd::ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD style = static_cast<DWORD>(::GetWindowLongA(hWnd, GWL_STYLE));
    DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle)
        return FALSE;
    ::SetWindowLongA(hWnd, GWL_STYLE, static_cast<LONG>(newStyle));
    if (nFlags)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

BOOL CWnd::ModifyStyleEx(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD style = static_cast<DWORD>(::GetWindowLongA(hWnd, GWL_EXSTYLE));
    DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle)
        return FALSE;
    ::SetWindowLongA(hWnd, GWL_EXSTYLE, static_cast<LONG>(newStyle));
    if (nFlags)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

void CWnd::GetWindowText(CString& rString) const
{
    int length = ::GetWindowTextLengthA(m_hWnd);
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    ::GetWindowTextA(m_hWnd, buffer.data(), length + 1);
    rString = buffer.data();
}

int CWnd::GetDlgItemText(int nID, CString& rString) const
{
    rString.Empty();
    if (CWnd* item = GetDlgItem(nID))
        item->GetWindowText(rString);
    return rString.GetLength();
}

void CWnd::ClientToScreen(LPRECT lpRect) const
{
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
}

void CWnd::ScreenToClient(LPRECT lpRect) const
{
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
{
    return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx, cy, nFlags);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    DWORD style = GetStyle();
    HWND hWndCenter = AfxHwndOf(pAlternateOwner);
    if (!pAlternateOwner) {
        hWndCenter = (style & WS_CHILD) ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);
        if (hWndCenter) {
            if (HWND alternate = reinterpret_cast<HWND>(::SendMessageA(hWndCenter, WM_QUERYCENTERWND, 0, 0)))
                hWndCenter = alternate;
        }
    }
    CRect rcDlg;
    GetWindowRect(&rcDlg);
    CRect rcArea;
    CRect rcCenter;
    if (!(style & WS_CHILD)) {
        // Never centre on a hidden or minimised owner.
        if (hWndCenter) {
            DWORD centerStyle = static_cast<DWORD>(::GetWindowLongA(hWndCenter, GWL_STYLE));
            if (!(centerStyle & WS_VISIBLE) || (centerStyle & WS_MINIMIZE))
                hWndCenter = nullptr;
        }
        MONITORINFO mi{};
        mi.cbSize = sizeof mi;
        if (!hWndCenter) {
            ::GetMonitorInfoA(::MonitorFromWindow(AfxHwndOf(AfxGetMainWnd()), MONITOR_DEFAULTTOPRIMARY), &mi);
            rcCenter = mi.rcWork;
            rcArea = mi.rcWork;
        } else {
            ::GetWindowRect(hWndCenter, &rcCenter);
            ::GetMonitorInfoA(::MonitorFromWindow(hWndCenter, MONITOR_DEFAULTTONEAREST), &mi);
            rcArea = mi.rcWork;
        }
    } else {
        HWND hWndParent = ::GetParent(m_hWnd);
        ::GetClientRect(hWndParent, &rcArea);
        ::GetClientRect(hWndCenter, &rcCenter);
        ::MapWindowPoints(hWndCenter, hWndParent, reinterpret_cast<LPPOINT>(&rcCenter), 2);
    }
    int xLeft = (rcCenter.left + rcCenter.right) / 2 - rcDlg.Width() / 2;
    int yTop = (rcCenter.top + rcCenter.bottom) / 2 - rcDlg.Height() / 2;
    if (xLeft + rcDlg.Width() > rcArea.right)
        xLeft = rcArea.right - rcDlg.Width();
    if (xLeft < rcArea.left)
        xLeft = rcArea.left;
    if (yTop + rcDlg.Height() > rcArea.bottom)
        yTop = rcArea.bottom - rcDlg.Height();
    if (yTop < rcArea.top)
        yTop = rcArea.top;
    ::SetWindowPos(m_hWnd, nullptr, xLeft, yTop, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType)
{
    DWORD exStyle = GetExStyle();
    if (nAdjustType == adjustBorder)
        exStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
    ::AdjustWindowRectEx(lpClientRect, GetStyle(), FALSE, exStyle);
}

int CWnd::ReleaseDC(CDC* pDC)
{
    if (!pDC)
        return 0;
    return ::ReleaseDC(m_hWnd, pDC->m_hDC);
}

void CWnd::EndModalLoop(int nResult)
{
    m_nModalResult = nResult;
    if (m_nFlags & WF_CONTINUEMODAL) {
        m_nFlags &= ~WF_CONTINUEMODAL;
        ::PostMessageA(m_hWnd, WM_NULL, 0, 0); // wake the loop
    }
}

int CWnd::RunModalLoop(DWORD dwFlags)
{
    bool idle = true;
    LONG idleCount = 0;
    bool showIdle = (dwFlags & MLF_SHOWONIDLE) && !(GetStyle() & WS_VISIBLE);
    HWND hWndParent = ::GetParent(m_hWnd);
    m_nFlags |= (WF_MODALLOOP | WF_CONTINUEMODAL);
    MSG msg{};
    HWND self = m_hWnd;
    for (;;) {
        while (idle && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (showIdle) {
                ShowWindow(SW_SHOWNORMAL);
                UpdateWindow();
                showIdle = false;
            }
            if (!(dwFlags & MLF_NOIDLEMSG) && hWndParent && idleCount == 0)
                ::SendMessageA(hWndParent, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(self));
            if ((dwFlags & MLF_NOKICKIDLE) || !::SendMessageA(self, WM_KICKIDLE, MSGF_DIALOGBOX, idleCount++))
                idle = false;
        }
        do {
            if (!AfxPumpMessage()) {
                ::PostQuitMessage(static_cast<int>(AfxGetCurrentThreadMessage().wParam));
                m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
                return -1;
            }
            const MSG& current = AfxGetCurrentThreadMessage();
            if (showIdle && (current.message == 0x118 || current.message == WM_SYSKEYDOWN)) {
                ShowWindow(SW_SHOWNORMAL);
                UpdateWindow();
                showIdle = false;
            }
            if (!::IsWindow(self) || !ContinueModal()) {
                if (::IsWindow(self))
                    m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
                return m_nModalResult;
            }
            if (AfxIsIdleMessage(&current)) {
                idle = true;
                idleCount = 0;
            }
        } while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    }
}

void CWnd::UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    CCmdUI state;
    for (HWND child = ::GetTopWindow(m_hWnd); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        state.m_nID = static_cast<UINT>(::GetDlgCtrlID(child));
        CWnd* pChild = FromHandle(child);
        state.m_pOther = pChild;
        // A reflected update handler of the control itself comes first.
        if (CWnd* permanent = FromHandlePermanent(child)) {
            if (permanent->CWnd::OnCmdMsg(0, MAKELONG(0xFFFF, WM_COMMAND + WM_REFLECT_BASE), &state, nullptr))
                continue;
        }
        // Then the parent's own handlers.
        if (CWnd::OnCmdMsg(state.m_nID, CN_UPDATE_COMMAND_UI, &state, nullptr))
            continue;
        // Only push buttons are disabled for want of a handler; check boxes,
        // radio buttons and group boxes keep their state.
        BOOL disable = bDisableIfNoHndler;
        if (disable) {
            if ((::SendMessageA(child, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON) == 0) {
                disable = FALSE;
            } else {
                LONG type = ::GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK;
                if (type == AFX_BS_AUTOCHECKBOX || type == AFX_BS_AUTO3STATE || type == AFX_BS_GROUPBOX ||
                    type == AFX_BS_AUTORADIOBUTTON)
                    disable = FALSE;
            }
        }
        state.DoUpdate(pTarget, disable);
    }
}

void CWnd::OnParentNotify(UINT message, LPARAM lParam)
{
    if ((LOWORD(message) == WM_CREATE || LOWORD(message) == WM_DESTROY) &&
        ReflectLastMsg(reinterpret_cast<HWND>(lParam)))
        return;
    Default();
}

void CWnd::OnHScroll(UINT, UINT, CScrollBar* pScrollBar)
{
    if (pScrollBar && reinterpret_cast<CWnd*>(pScrollBar)->SendChildNotifyLastMsg())
        return;
    Default();
}

void CWnd::OnVScroll(UINT, UINT, CScrollBar* pScrollBar)
{
    if (pScrollBar && reinterpret_cast<CWnd*>(pScrollBar)->SendChildNotifyLastMsg())
        return;
    Default();
}

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (lpDrawItemStruct->CtlType != ODT_MENU && ReflectLastMsg(lpDrawItemStruct->hwndItem))
        return;
    Default();
}

void CWnd::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    if (lpMeasureItemStruct->CtlType != ODT_MENU) {
        if (HWND item = ::GetDlgItem(m_hWnd, nIDCtl); item && ReflectLastMsg(item))
            return;
    }
    Default();
}

void CWnd::OnDeleteItem(int, LPDELETEITEMSTRUCT lpDeleteItemStruct)
{
    if (ReflectLastMsg(lpDeleteItemStruct->hwndItem))
        return;
    Default();
}

int CWnd::OnCompareItem(int, LPCOMPAREITEMSTRUCT lpCompareItemStruct)
{
    LRESULT result = 0;
    if (ReflectLastMsg(lpCompareItemStruct->hwndItem, &result))
        return static_cast<int>(result);
    return static_cast<int>(Default());
}

HBRUSH CWnd::OnCtlColor(CDC*, CWnd* pWnd, UINT)
{
    LRESULT result = 0;
    if (pWnd && pWnd->SendChildNotifyLastMsg(&result))
        return reinterpret_cast<HBRUSH>(result);
    return reinterpret_cast<HBRUSH>(Default());
}

CWnd* CWnd::GetDescendantWindow(int nID, BOOL bOnlyPerm) const { return GetDescendantWindow(m_hWnd, nID, bOnlyPerm); }

CWnd* CWnd::GetDescendantWindow(HWND hWnd, int nID, BOOL bOnlyPerm)
{
    // Direct children first, then their descendants.
    if (HWND hChild = ::GetDlgItem(hWnd, nID)) {
        if (CWnd* pWnd = bOnlyPerm ? FromHandlePermanent(hChild) : FromHandle(hChild))
            return pWnd;
    }
    for (HWND hChild = ::GetTopWindow(hWnd); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        if (CWnd* pWnd = GetDescendantWindow(hChild, nID, bOnlyPerm))
            return pWnd;
    }
    return nullptr;
}

HWND& tavrin::mfc::LockoutNotifyWindow()
{
    thread_local HWND lockout = nullptr;
    return lockout;
}
