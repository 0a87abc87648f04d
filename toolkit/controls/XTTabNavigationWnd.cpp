#include "toolkit/controls/XTTabNavigationWnd.h"

#include "platform/mfc/TabCtrl.h"
#include "toolkit/controls/XTColorManager.h"
#include "toolkit/controls/XTDrawHelpers.h"
#include "toolkit/controls/XTMemDC.h"
#include "toolkit/controls/XTTabBase.h"
#include "toolkit/controls/XTTabCtrlTheme.h"

BEGIN_MESSAGE_MAP(CXTTabNavigationWnd, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSELEAVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_WINDOWPOSCHANGED()
END_MESSAGE_MAP()

namespace {

enum { kClose = 0, kLeft = 1, kRight = 2 };
constexpr int kButtonWidth = 14;
constexpr int kButtonHeight = 15;
constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kRepeatMs = 150;

// The native control moves its arrows on every layout; putting them back
// must not start another round.
bool g_bRepositioning = false;

} // namespace

CXTTabNavigationWnd::CXTTabNavigationWnd()
{
    const DWORD glyphs[3] = {XT_NAVBTN_CLOSE, XT_NAVBTN_LEFT, XT_NAVBTN_RIGHT};
    for (int i = 0; i < 3; ++i)
        m_buttons[i] = XT_NAVBTNSTATE{{0, 0, 0, 0}, glyphs[i], nullptr, this};
}

CXTTabNavigationWnd::~CXTTabNavigationWnd()
{
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        if (m_hWnd == m_hWndOwn)
            DestroyWindow();
        else
            UnsubclassWindow();
    }
    m_hWnd = nullptr;
}

void CXTTabNavigationWnd::Attach(CXTTabBase* pTabBase)
{
    m_pTabBase = pTabBase;
    m_pTabCtrl = pTabBase ? pTabBase->GetTabCtrl() : nullptr;
    for (XT_NAVBTNSTATE& button : m_buttons)
        button.pTabCtrl = m_pTabCtrl;
}

void CXTTabNavigationWnd::AttachUpDown(CWnd* pUpDown)
{
    HWND native = AfxHwndOf(pUpDown);
    // Arrows that went with an earlier window of the control are no longer ours.
    if (m_hWndUpDown && (!::IsWindow(m_hWndUpDown) || m_hWnd != m_hWndUpDown))
        m_hWndUpDown = nullptr;
    if (native && native != m_hWndUpDown) {
        m_hWndUpDown = native;
        if (m_hWnd) {
            if (m_hWnd == m_hWndOwn)
                DestroyWindow();
            else
                UnsubclassWindow();
            m_hWndOwn = nullptr;
        }
        // The procedure to pass on to is the native arrows' own, not the
        // one of a window this object held before.
        m_pfnSuper = nullptr;
        SubclassWindow(native);
        return;
    }
    if (!m_hWnd && m_pTabCtrl && m_pTabCtrl->m_hWnd) {
        m_pfnSuper = nullptr;
        LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorA(nullptr, IDC_ARROW));
        if (CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), m_pTabCtrl, 0))
            m_hWndOwn = m_hWnd;
    }
}

BOOL CXTTabNavigationWnd::HasTabs() const
{
    return m_pTabCtrl && m_pTabCtrl->m_hWnd && m_pTabCtrl->GetItemCount() > 0;
}

void CXTTabNavigationWnd::Show(BOOL bShow)
{
    if (bShow != m_bShown) {
        m_bShown = bShow;
        if (!bShow && m_hWnd && ::IsWindow(m_hWnd))
            ShowWindow(SW_HIDE);
    }
    if (m_bShown && m_hWnd && ::IsWindow(m_hWnd))
        Reposition();
}

void CXTTabNavigationWnd::GetNavigationRect(CRect& rc)
{
    CRect row(0, 0, 0, 0), client;
    m_pTabCtrl->GetItemRect(-1, &row);
    m_pTabCtrl->GetClientRect(&client);
    rc.left = client.right - ((m_dwButtons & XT_NAVBTNSET_ARROWS) ? 2 * kButtonWidth : 0) -
              ((m_dwButtons & XT_NAVBTNSET_CLOSE) ? kButtonWidth : 0) - 10;
    rc.top = row.top - ((m_pTabCtrl->GetStyle() & TCS_BOTTOM) ? 2 : 0);
    rc.right = client.right;
    rc.bottom = row.bottom + 1;
}

void CXTTabNavigationWnd::Reposition()
{
    CRect rc;
    GetNavigationRect(rc);
    const BOOL show = HasTabs();
    CRect now;
    GetWindowRect(&now);
    m_pTabCtrl->ScreenToClient(&now);
    // Placed only when something changes: an unchanged placement would
    // invalidate the control that is painting right now.
    if (now != rc || IsWindowVisible() != show || ::GetWindow(m_pTabCtrl->m_hWnd, GW_CHILD) != m_hWnd) {
        const bool was = g_bRepositioning;
        g_bRepositioning = true;
        ::SetWindowPos(m_hWnd, HWND_TOP, rc.left, rc.top, rc.Width(), rc.Height(),
                       SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
        g_bRepositioning = was;
    }
    CPoint cursor;
    ::GetCursorPos(&cursor);
    ScreenToClient(&cursor);
    UpdateHot(cursor);
    Invalidate(FALSE);
}

void CXTTabNavigationWnd::OnWindowPosChanged(WINDOWPOS*)
{
    Default();
    if (g_bRepositioning || !m_bShown || !HasTabs())
        return;
    CRect rc, now;
    GetNavigationRect(rc);
    GetWindowRect(&now);
    m_pTabCtrl->ScreenToClient(&now);
    if (now == rc && IsWindowVisible())
        return;
    g_bRepositioning = true;
    ::SetWindowPos(m_hWnd, HWND_TOP, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOACTIVATE | SWP_SHOWWINDOW);
    g_bRepositioning = false;
}

void CXTTabNavigationWnd::UpdateButtons(const CRect& rcClient)
{
    const int y = (rcClient.Height() - 13) / 2;
    int x = rcClient.right - 5;
    const CRect empty(0, 0, 0, 0);
    if (m_dwButtons & XT_NAVBTNSET_CLOSE) {
        m_buttons[kClose].rc = CRect(x - kButtonWidth, y, x, y + kButtonHeight);
        x -= kButtonWidth;
    } else {
        m_buttons[kClose].rc = empty;
    }
    if (!(m_dwButtons & XT_NAVBTNSET_ARROWS)) {
        m_buttons[kLeft].rc = m_buttons[kRight].rc = empty;
        return;
    }
    const int count = m_pTabCtrl->GetItemCount();
    BOOL leftEnabled = FALSE, rightEnabled = FALSE;
    if (count > 0) {
        CRect first, last, client;
        m_pTabCtrl->GetItemRect(0, &first);
        m_pTabCtrl->GetItemRect(count - 1, &last);
        m_pTabCtrl->GetClientRect(&client);
        const int reserved = 2 * kButtonWidth + ((m_dwButtons & XT_NAVBTNSET_CLOSE) ? kButtonWidth : 0) + 10;
        rightEnabled = last.right > client.Width() - reserved;
        leftEnabled = first.left < 0;
    }
    m_buttons[kRight].rc = CRect(x - kButtonWidth, y, x, y + kButtonHeight);
    m_buttons[kLeft].rc = CRect(x - 2 * kButtonWidth, y, x - kButtonWidth, y + kButtonHeight);
    auto setEnabled = [](XT_NAVBTNSTATE& b, BOOL enabled) {
        b.dwFlags = enabled ? (b.dwFlags & ~XT_NAVBTN_DISABLED) : (b.dwFlags | XT_NAVBTN_DISABLED);
    };
    setEnabled(m_buttons[kLeft], leftEnabled);
    setEnabled(m_buttons[kRight], rightEnabled);
}

void CXTTabNavigationWnd::OnPaint()
{
    CPaintDC paint(this);
    CXTClientRect rc(this);
    CXTBufferedDC dc(paint.m_hDC, rc);
    if (!m_bShown || !HasTabs()) {
        DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(dc.m_hDC), 0);
        return;
    }
    CXTColorManager* colors = XTGetColorManager();
    dc.FillSolidRect(&rc, colors->GetColor(48));
    if (m_pTabCtrl->GetStyle() & TCS_BOTTOM)
        dc.FillSolidRect(rc.left, rc.top, rc.Width(), 1, colors->GetColor(COLOR_BTNTEXT));
    else
        dc.FillSolidRect(rc.left, rc.bottom - 1, rc.Width(), 1, colors->GetColor(COLOR_BTNHIGHLIGHT));
    UpdateButtons(rc);
    auto* theme = m_pTabBase ? static_cast<CXTTabCtrlTheme*>(m_pTabBase->GetTheme()) : nullptr;
    if (!theme)
        return;
    const COLORREF glyph = colors->GetColor(49);
    for (XT_NAVBTNSTATE& button : m_buttons)
        if (!::IsRectEmpty(&button.rc))
            theme->DrawNavigationButton(&dc, &button, glyph);
}

void CXTTabNavigationWnd::UpdateHot(CPoint point)
{
    for (XT_NAVBTNSTATE& button : m_buttons) {
        const BOOL inside = m_bShown && !::IsRectEmpty(&button.rc) && ::PtInRect(&button.rc, point);
        const BOOL hot = (button.dwFlags & XT_NAVBTN_HOT) != 0;
        if (inside && !hot) {
            button.dwFlags |= XT_NAVBTN_HOT;
            TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_hWnd, 0};
            ::TrackMouseEvent(&track);
            Invalidate(FALSE);
        } else if (!inside && hot) {
            button.dwFlags &= ~XT_NAVBTN_HOT;
            Invalidate(FALSE);
        }
    }
}

void CXTTabNavigationWnd::OnMouseMove(UINT, CPoint point)
{
    if (!m_bShown) {
        Default();
        return;
    }
    UpdateHot(point);
}

void CXTTabNavigationWnd::OnMouseLeave()
{
    for (XT_NAVBTNSTATE& button : m_buttons)
        if (button.dwFlags & XT_NAVBTN_HOT) {
            button.dwFlags &= ~XT_NAVBTN_HOT;
            Invalidate(FALSE);
        }
    Default();
}

void CXTTabNavigationWnd::OnLButtonDown(UINT, CPoint point)
{
    if (!m_bShown) {
        Default();
        return;
    }
    CXTClientRect rc(this);
    UpdateButtons(rc);
    if (!::IsRectEmpty(&m_buttons[kClose].rc) && ::PtInRect(&m_buttons[kClose].rc, point)) {
        if (PressLoop(m_buttons[kClose], FALSE))
            m_pTabCtrl->SendMessage(WM_COMMAND, XT_IDC_TAB_CLOSE);
        return;
    }
    for (int i : {kLeft, kRight})
        if (!::IsRectEmpty(&m_buttons[i].rc) && ::PtInRect(&m_buttons[i].rc, point)) {
            PressLoop(m_buttons[i], TRUE);
            return;
        }
}

void CXTTabNavigationWnd::ScrollOne(const XT_NAVBTNSTATE& button)
{
    CRect row(0, 0, 0, 0);
    m_pTabCtrl->GetItemRect(-1, &row);
    TCHITTESTINFO hit{{5, (row.top + row.bottom) / 2}, 0};
    const int first = m_pTabCtrl->HitTest(&hit);
    if (button.dwFlags & XT_NAVBTN_LEFT) {
        if (first >= 1)
            m_pTabCtrl->SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, first - 1));
    } else if (m_pTabCtrl->GetItemCount() > 0) {
        m_pTabCtrl->SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, first + 1));
    }
    m_pTabCtrl->Invalidate(FALSE);
    Invalidate(FALSE);
}

BOOL CXTTabNavigationWnd::PressLoop(XT_NAVBTNSTATE& button, BOOL bRepeat)
{
    HWND capture = ::GetCapture();
    if ((capture && capture != m_hWnd) || (button.dwFlags & XT_NAVBTN_DISABLED))
        return FALSE;
    SetCapture();
    if (bRepeat)
        SetTimer(kRepeatTimer, kRepeatMs);
    CPoint point;
    ::GetCursorPos(&point);
    ScreenToClient(&point);
    BOOL result = FALSE;
    for (;;) {
        if (bRepeat && !(button.dwFlags & XT_NAVBTN_DISABLED))
            ScrollOne(button);
        const BOOL inside = ::PtInRect(&button.rc, point);
        const DWORD pressed = inside ? (button.dwFlags | XT_NAVBTN_PRESSED) : (button.dwFlags & ~XT_NAVBTN_PRESSED);
        if (pressed != button.dwFlags) {
            button.dwFlags = pressed;
            Invalidate(FALSE);
        }
        // WM_QUIT passes every filter: whoever meets it posts it again for
        // the loop that ends the thread, and the press ends.
        MSG msg;
        bool quit = false;
        while (!quit && ::PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                quit = true;
            else
                ::DispatchMessageA(&msg);
        }
        if (quit || !::GetMessageA(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (::GetCapture() != m_hWnd) {
            ::DispatchMessageA(&msg);
            break;
        }
        bool stop = false;
        switch (msg.message) {
        case WM_MOUSEMOVE:
            point = CPoint(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam));
            if (msg.hwnd != m_hWnd)
                ::MapWindowPoints(msg.hwnd, m_hWnd, &point, 1);
            break;
        case WM_CANCELMODE:
        case WM_RBUTTONDOWN:
            stop = true;
            break;
        case WM_KEYDOWN:
            if (msg.wParam == VK_ESCAPE)
                stop = true;
            else
                ::DispatchMessageA(&msg);
            break;
        case WM_LBUTTONUP:
            point = CPoint(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam));
            if (msg.hwnd != m_hWnd)
                ::MapWindowPoints(msg.hwnd, m_hWnd, &point, 1);
            result = ::PtInRect(&button.rc, point);
            stop = true;
            break;
        default:
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
            break;
        }
        if (stop)
            break;
    }
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (bRepeat)
        KillTimer(kRepeatTimer);
    button.dwFlags &= ~XT_NAVBTN_PRESSED;
    CPoint cursor;
    ::GetCursorPos(&cursor);
    ScreenToClient(&cursor);
    UpdateHot(cursor);
    Invalidate(FALSE);
    return result;
}
