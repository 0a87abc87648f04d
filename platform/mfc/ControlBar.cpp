#include "platform/mfc/ControlBar.h"

#include "platform/win/Painting.h"
#include "platform/win/SystemProfile.h"
#include "platform/win/WindowPos.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_MESSAGE(WM_HELPHITTEST, OnHelpHitTest)
END_MESSAGE_MAP()

CControlBar::~CControlBar()
{
    if (m_pDockSite)
        m_pDockSite->RemoveControlBar(this);
    m_pDockSite = nullptr;
}

BOOL CControlBar::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass) {
        // A bar of its own class: the bar styles live in m_dwStyle only.
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)));
        if (!m_dwStyle)
            m_dwStyle = static_cast<DWORD>(cs.style) & CBRS_ALL;
        cs.style &= ~static_cast<LONG>(CBRS_ALL);
    }
    cs.style |= WS_CLIPSIBLINGS;
    return TRUE;
}

void CControlBar::PostNcDestroy()
{
    if (m_bAutoDelete)
        delete this;
}

int CControlBar::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    CWnd* pParent = CWnd::FromHandlePermanent(::GetParent(m_hWnd));
    if (pParent && pParent->IsFrameWnd()) {
        m_pDockSite = static_cast<CFrameWnd*>(pParent);
        m_pDockSite->AddControlBar(this);
    }
    return 0;
}

void CControlBar::OnDestroy()
{
    if (m_pDockSite) {
        m_pDockSite->RemoveControlBar(this);
        m_pDockSite = nullptr;
    }
    CWnd::OnDestroy();
}

void CControlBar::SetBarStyle(DWORD dwStyle)
{
    if (m_dwStyle == dwStyle)
        return;
    m_dwStyle = dwStyle;
    Invalidate();
    if (CFrameWnd* pFrame = GetDockingFrame())
        pFrame->DelayRecalcLayout();
}

void CControlBar::SetBorders(int cxLeft, int cyTop, int cxRight, int cyBottom)
{
    m_cxLeftBorder = cxLeft;
    m_cyTopBorder = cyTop;
    m_cxRightBorder = cxRight;
    m_cyBottomBorder = cyBottom;
}

CFrameWnd* CControlBar::GetDockingFrame() const { return m_pDockSite ? m_pDockSite : GetParentFrame(); }

BOOL CControlBar::IsVisible() const
{
    if (m_nStateFlags & delayHide)
        return FALSE;
    return (m_nStateFlags & delayShow) || (GetStyle() & WS_VISIBLE);
}

void CControlBar::DelayShow(BOOL bShow)
{
    m_nStateFlags &= ~(delayHide | delayShow);
    BOOL visible = (GetStyle() & WS_VISIBLE) != 0;
    if (bShow && !visible)
        m_nStateFlags |= delayShow;
    else if (!bShow && visible)
        m_nStateFlags |= delayHide;
    if (CFrameWnd* pFrame = GetDockingFrame())
        pFrame->DelayRecalcLayout();
}

BOOL CControlBar::ApplyDelayedShow()
{
    BOOL visible = (GetStyle() & WS_VISIBLE) != 0;
    UINT swp = 0;
    if ((m_nStateFlags & delayHide) && visible)
        swp = SWP_HIDEWINDOW;
    else if ((m_nStateFlags & delayShow) && !visible)
        swp = SWP_SHOWWINDOW;
    m_nStateFlags &= ~(delayHide | delayShow);
    if (!swp)
        return FALSE;
    SetWindowPos(nullptr, 0, 0, 0, 0, swp | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

CSize CControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    return CSize(bStretch && bHorz ? 32767 : 0, bStretch && !bHorz ? 32767 : 0);
}

CSize CControlBar::CalcDynamicLayout(int, DWORD nMode)
{
    return CalcFixedLayout((nMode & LM_STRETCH) != 0, (nMode & LM_HORZ) != 0);
}

void CControlBar::CalcInsideRect(CRect& rect, BOOL bHorz) const
{
    if (m_dwStyle & CBRS_BORDER_LEFT)
        rect.left += 2;
    if (m_dwStyle & CBRS_BORDER_TOP)
        rect.top += 2;
    if (m_dwStyle & CBRS_BORDER_RIGHT)
        rect.right -= 2;
    if (m_dwStyle & CBRS_BORDER_BOTTOM)
        rect.bottom -= 2;
    if (bHorz) {
        rect.left += m_cxLeftBorder;
        rect.top += m_cyTopBorder;
        rect.right -= m_cxRightBorder;
        rect.bottom -= m_cyBottomBorder;
    } else {
        rect.left += m_cyTopBorder;
        rect.top += m_cxLeftBorder;
        rect.right -= m_cyBottomBorder;
        rect.bottom -= m_cxRightBorder;
    }
}

LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam)
{
    auto* lpLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    if (!lpLayout)
        return 0;
    // A real pass applies a pending show or hide; a query only looks at it.
    BOOL visible;
    if (lpLayout->hDWP) {
        ApplyDelayedShow();
        visible = (GetStyle() & WS_VISIBLE) != 0;
    } else {
        visible = IsVisible();
    }
    if (!visible || !(m_dwStyle & CBRS_ALIGN_ANY))
        return 0;
    CRect rect(lpLayout->rect.left, lpLayout->rect.top, lpLayout->rect.right, lpLayout->rect.bottom);
    CSize sizeAvail = rect.Size();
    DWORD dwMode = lpLayout->bStretch ? LM_STRETCH : 0;
    if (m_dwStyle & CBRS_ORIENT_HORZ)
        dwMode |= LM_HORZ | LM_HORZDOCK;
    else
        dwMode |= LM_VERTDOCK;
    CSize size = CalcDynamicLayout(-1, dwMode);
    size.cx = std::max(0, std::min<int>(size.cx, sizeAvail.cx));
    size.cy = std::max(0, std::min<int>(size.cy, sizeAvail.cy));
    if (m_dwStyle & CBRS_ORIENT_HORZ) {
        lpLayout->sizeTotal.cy += size.cy;
        lpLayout->sizeTotal.cx = std::max<int>(lpLayout->sizeTotal.cx, size.cx);
        if (m_dwStyle & CBRS_ALIGN_TOP) {
            lpLayout->rect.top += size.cy;
        } else {
            rect.top = rect.bottom - size.cy;
            lpLayout->rect.bottom -= size.cy;
        }
    } else {
        lpLayout->sizeTotal.cx += size.cx;
        lpLayout->sizeTotal.cy = std::max<int>(lpLayout->sizeTotal.cy, size.cy);
        if (m_dwStyle & CBRS_ALIGN_LEFT) {
            lpLayout->rect.left += size.cx;
        } else {
            rect.left = rect.right - size.cx;
            lpLayout->rect.right -= size.cx;
        }
    }
    rect.right = rect.left + size.cx;
    rect.bottom = rect.top + size.cy;
    AfxRepositionWindow(lpLayout, m_hWnd, &rect);
    return 0;
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    // A bar outside a frame's layout still honours a delayed show or hide.
    if (ApplyDelayedShow()) {
        if (CFrameWnd* pFrame = GetDockingFrame())
            pFrame->DelayRecalcLayout();
    }
    if (GetStyle() & WS_VISIBLE) {
        CWnd* pOwner = GetOwner();
        CFrameWnd* pTarget = pOwner && pOwner->IsFrameWnd() ? static_cast<CFrameWnd*>(pOwner) : GetParentFrame();
        if (pTarget)
            OnUpdateCmdUI(pTarget, static_cast<BOOL>(wParam));
    }
    return 0;
}

BOOL CControlBar::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    pDC->FillSolidRect(&rect, ::GetSysColor(COLOR_BTNFACE));
    return TRUE;
}

void CControlBar::DrawBorders(CDC* pDC, CRect& rect)
{
    COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    if (m_dwStyle & CBRS_BORDER_TOP) {
        pDC->FillSolidRect(rect.left, rect.top, rect.Width(), 1, shadow);
        pDC->FillSolidRect(rect.left, rect.top + 1, rect.Width(), 1, light);
    }
    if (m_dwStyle & CBRS_BORDER_BOTTOM) {
        pDC->FillSolidRect(rect.left, rect.bottom - 2, rect.Width(), 1, shadow);
        pDC->FillSolidRect(rect.left, rect.bottom - 1, rect.Width(), 1, light);
    }
    if (m_dwStyle & CBRS_BORDER_LEFT) {
        pDC->FillSolidRect(rect.left, rect.top, 1, rect.Height(), shadow);
        pDC->FillSolidRect(rect.left + 1, rect.top, 1, rect.Height(), light);
    }
    if (m_dwStyle & CBRS_BORDER_RIGHT) {
        pDC->FillSolidRect(rect.right - 2, rect.top, 1, rect.Height(), shadow);
        pDC->FillSolidRect(rect.right - 1, rect.top, 1, rect.Height(), light);
    }
    CalcInsideRect(rect, (m_dwStyle & CBRS_ORIENT_HORZ) != 0);
}

void CControlBar::OnPaint()
{
    CPaintDC dc(this);
    CRect rect;
    GetClientRect(&rect);
    DrawBorders(&dc, rect);
}
