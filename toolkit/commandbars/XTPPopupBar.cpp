#include "toolkit/commandbars/XTPPopupBar.h"

#include "platform/mfc/Archive.h"

#include "platform/win/SystemProfile.h"
#include "platform/win/User.h"
#include "platform/win/WindowPos.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPCommandBarsOptions.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPMouseManager.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPPopupPlacement.h"
#include "toolkit/commandbars/XTPShadowManager.h"
#include "toolkit/commandbars/XTPShortcutManager.h"
#include "toolkit/commandbars/XTPSoundManager.h"
#include "toolkit/controls/XTDrawHelpers.h"
#include "toolkit/controls/XTMemDC.h"
#include "toolkit/controls/XTMultiMonitor.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

IMPLEMENT_SERIAL(CXTPPopupBar, CXTPCommandBar, VERSIONABLE_SCHEMA | 8)

double CXTPPopupBar::s_dMaxWidthDivisor = 1.0 / 3.0;

namespace {

// Smallest content of a popup, and the height of an empty one.
constexpr int kMinContent = 22;
// Flags of the expand row: skips the keyboard walk, stays put, right-aligned.
constexpr DWORD kExpandButtonFlags = 0x1a;

} // namespace

BEGIN_MESSAGE_MAP(CXTPPopupBar, CXTPCommandBar)
ON_WM_MOUSEMOVE()
ON_WM_MOUSEACTIVATE()
ON_WM_TIMER()
ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CXTPPopupBar::CXTPPopupBar()
{
    m_barType = xtpBarTypePopup;
    m_barPosition = xtpBarPopup;
    m_nMRUWidth = 0;
}

CXTPPopupBar::~CXTPPopupBar() = default;

CXTPPopupBar* CXTPPopupBar::CreatePopupBar(CXTPCommandBars* pCommandBars)
{
    auto* pBar = new CXTPPopupBar;
    pBar->m_pCommandBars = pCommandBars;
    return pBar;
}

CXTPCommandBar* CXTPPopupBar::GetParentCommandBar() const
{
    return m_pControlPopup ? m_pControlPopup->GetParent() : nullptr;
}

BOOL CXTPPopupBar::IsVisible() const
{
    return m_hWnd && ::IsWindowVisible(m_hWnd);
}

// Opening ----------------------------------------------------------------------

BOOL CXTPPopupBar::CreatePopupWindow()
{
    DWORD dwExStyle = WS_EX_TOOLWINDOW;
    CWnd* pSite = GetSite();
    if (pSite && ::IsWindow(pSite->m_hWnd) && (pSite->GetExStyle() & WS_EX_LAYOUTRTL))
        dwExStyle |= WS_EX_LAYOUTRTL;
    LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW));
    // The site owns the popup, so the popup goes with it.
    CWnd* pOwner = pSite && ::IsWindow(pSite->m_hWnd) ? pSite : nullptr;
    return CreateEx(dwExStyle, lpszClass, "", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, CRect(0, 0, 0, 0),
                    pOwner, 0);
}

BOOL CXTPPopupBar::Popup(int x, int y, LPCRECT rcExclude)
{
    m_ptPopup = CPoint(x, y);
    m_rcExclude = rcExclude ? CRect(*rcExclude) : CRect(0, 0, 0, 0);
    return Popup(nullptr, FALSE);
}

BOOL CXTPPopupBar::Popup(CXTPControl* pControl, BOOL bSelectFirst)
{
    m_pControlPopup = DYNAMIC_DOWNCAST(CXTPControlPopup, pControl);
    if (!m_hWnd && !CreatePopupWindow())
        return FALSE;
    LockRedraw();
    if (CWnd* pTarget = GetCommandTarget())
        if (::IsWindow(pTarget->m_hWnd))
            pTarget->SendMessage(WM_POPUP_OPENING, 0, reinterpret_cast<LPARAM>(this));
    m_bCollapsed = FALSE;
    CXTPCommandBars* pCommandBars = GetCommandBars();
    m_bExpanded = (pCommandBars && pCommandBars->IsCustomizeMode()) || XTPMouseManager()->IsForceExpanded();

    UpdateFlags();
    UpdateLocation(CalcDynamicLayout(0, 0));
    SetTrackingMode(TRUE, bSelectFirst, FALSE);
    m_dwPendingFlags &= ~static_cast<DWORD>(XTP_PENDING_LAYOUT | XTP_PENDING_REDRAW);
    OnUpdateCmdUI(TRUE);
    Animate();
    XTPSoundManager()->PlaySystemSound(xtpSoundMenuPopup);
    if (m_barPosition == xtpBarPopup && m_bShowShadow) {
        XTPShadowManager()->RemoveShadows(this);
        XTPShadowManager()->SetShadow(this, m_rcExclude);
    }

    if (m_nLockRedraw > 0 && --m_nLockRedraw == 0) {
        m_dwPendingFlags &= ~static_cast<DWORD>(XTP_PENDING_REDRAW);
        Invalidate(FALSE);
    }
    return TRUE;
}

int CXTPPopupBar::GetAnimationType() const
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (!pCommandBars || ::GetWindow(m_hWnd, GW_CHILD))
        return xtpAnimateNone;
    switch (pCommandBars->GetOptions()->animationType) {
    case xtpAnimateWindowsDefault: {
        BOOL bAnimation = FALSE;
        if (!::SystemParametersInfoA(SPI_GETMENUANIMATION, 0, &bAnimation, 0) || !bAnimation)
            return xtpAnimateNone;
        BOOL bFade = FALSE;
        return ::SystemParametersInfoA(SPI_GETMENUFADE, 0, &bFade, 0) && bFade ? xtpAnimateFade : xtpAnimateSlide;
    }
    case xtpAnimateRandom:
        switch (std::rand() % 3) {
        case 0:
            return xtpAnimateFade;
        case 1:
            return xtpAnimateSlide;
        default:
            return xtpAnimateUnfold;
        }
    default:
        return pCommandBars->GetOptions()->animationType;
    }
}

void CXTPPopupBar::Animate()
{
    m_nLastAnimation = xtpAnimateNone;
    CXTPCommandBar* pParent = GetParentCommandBar();
    const BOOL bAnimate = !(pParent && !pParent->m_bMouseTracking) && !IsCustomizeMode() &&
                          !::GetWindow(m_hWnd, GW_CHILD);
    const int nType = bAnimate ? GetAnimationType() : xtpAnimateNone;
    if (nType == xtpAnimateUnfold || nType == xtpAnimateSlide || nType == xtpAnimateFade) {
        if (pParent && ::IsWindow(pParent->m_hWnd)) {
            pParent->Invalidate(FALSE);
            pParent->UpdateWindow();
        }
        if (CWnd* pSite = GetSite())
            if (::IsWindow(pSite->m_hWnd))
                pSite->UpdateWindow();
        CClientDC dc(this);
        CRect rc;
        GetClientRect(&rc);
        CXTBufferedDC buffer(dc.m_hDC, rc);
        DrawCommandBar(&buffer, rc);
        GetPaintManager()->AnimatePopup(&dc, &buffer, rc, nType);
        m_nLastAnimation = nType;
    }
    // Only the first popup opened from a bar animates.
    if (pParent)
        pParent->m_bMouseTracking = FALSE;
}

// Placement ------------------------------------------------------------------------

void CXTPPopupBar::UpdateFlags()
{
    CXTPCommandBar* pParent = m_pControlPopup ? m_pControlPopup->GetParent() : nullptr;
    if (!pParent)
        return;
    auto* pParentPopup = DYNAMIC_DOWNCAST(CXTPPopupBar, pParent);
    const BOOL bComboOnBar =
        m_pControlPopup->GetType() == xtpControlComboBox && pParent->GetPosition() != xtpBarPopup;
    m_popupFlags = XTPCalcPopupFlags((m_pControlPopup->GetFlags() & xtpFlagLeftPopup) != 0, IsLayoutRTL(),
                                     pParent->GetPosition(), pParentPopup ? pParentPopup->m_popupFlags : 0,
                                     bComboOnBar);
    m_rcExclude = m_pControlPopup->GetRect();
    if (!bComboOnBar)
        m_pControlPopup->AdjustExcludeRect(m_rcExclude);
    if (::IsWindow(pParent->m_hWnd))
        pParent->ClientToScreen(&m_rcExclude);
    m_ptPopup = XTPPopupPointOfExclude(m_rcExclude, m_popupFlags);
}

void CXTPPopupBar::UpdateLocation(CSize sz)
{
    const CRect rcWork = m_rcExclude.IsRectEmpty() ? XTGetWorkAreaAtCursor() : XTGetWorkAreaOfRect(&m_rcExclude);
    XTPPopupLocation loc = XTPCalcPopupLocation(rcWork, m_ptPopup, sz, m_rcExclude, m_popupFlags);
    m_popupFlags = loc.dwFlags;
    m_bScrolling = loc.bScroll;
    m_rcScrollUp.SetRectEmpty();
    m_rcScrollDown.SetRectEmpty();
    if (m_bScrolling) {
        m_nFirstScrolled = 0;
        AdjustScrolling(&loc.size, FALSE, FALSE);
    }
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, loc.pt.x, loc.pt.y, loc.size.cx, loc.size.cy, SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

void CXTPPopupBar::AdjustScrolling(CSize* pSize, BOOL bBottomAnchored, BOOL bInvalidate)
{
    CSize sz;
    if (pSize) {
        sz = *pSize;
    } else {
        CRect rcClient;
        GetClientRect(&rcClient);
        sz = rcClient.Size();
    }
    CClientDC dc(this);
    int nExpand = 0;
    const CRect rcBorders = GetBorders(&dc, &nExpand);
    const int nSeparator = GetSeparatorHeight(&dc);
    CXTPControl* pExpand = m_pControls->FindControl(XTP_ID_POPUPBAR_EXPAND);

    std::vector<XTPPopupScrollRow> rows(static_cast<size_t>(GetControlCount()));
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        rows[i].nHeight = pControl->GetRect().Height();
        rows[i].bVisible = pControl != pExpand && (pControl->GetHideFlags() & ~static_cast<DWORD>(xtpHideScroll)) == 0;
        rows[i].bBeginGroup = pControl->GetBeginGroup();
    }
    XTPPopupScrollState state;
    state.nFirst = m_nFirstScrolled;
    state.nEnd = m_nEndScrolled;
    XTPAdjustPopupScrolling(rows, sz, rcBorders, nSeparator, bBottomAnchored, state);
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        if (pControl == pExpand)
            continue;
        pControl->SetHideFlag(xtpHideScroll, rows[i].bScrolledOut);
        if (!rows[i].bScrolledOut && rows[i].bVisible)
            pControl->SetRect(rows[i].rc);
    }
    m_nFirstScrolled = state.nFirst;
    m_nEndScrolled = state.nEnd;
    m_rcScrollUp = state.rcUp;
    m_rcScrollDown = state.rcDown;
    if (m_bCollapsed && pExpand)
        pExpand->SetRect(CRect(rcBorders.left, sz.cy - rcBorders.bottom, sz.cx - rcBorders.right,
                               sz.cy - rcBorders.bottom + nExpand));
    if (bInvalidate && m_nLockRedraw == 0) {
        m_dwPendingFlags &= ~static_cast<DWORD>(XTP_PENDING_REDRAW);
        Invalidate(FALSE);
    }
}

BOOL CXTPPopupBar::SetSelected(int nSelected, BOOL bKeyboard)
{
    if (!CXTPCommandBar::SetSelected(nSelected, bKeyboard))
        return FALSE;
    CXTPControl* pControl = GetControl(nSelected);
    if (m_bScrolling && pControl && (pControl->GetHideFlags() & xtpHideScroll)) {
        if (nSelected >= m_nEndScrolled) {
            m_nEndScrolled = nSelected + 1;
            AdjustScrolling(nullptr, TRUE, TRUE);
        } else {
            m_nFirstScrolled = nSelected;
            AdjustScrolling(nullptr, FALSE, TRUE);
        }
    }
    return TRUE;
}

void CXTPPopupBar::OnMouseMove(UINT nFlags, CPoint point)
{
    OnTearOffMouseMove(point);
    CRect rcClient;
    GetClientRect(&rcClient);
    CXTPCommandBar* pParent = GetParentCommandBar();
    if (pParent && m_pControlPopup && rcClient.PtInRect(point))
        pParent->SetSelected(m_pControlPopup->GetIndex(), FALSE);
    if (m_bScrolling) {
        // The down button first; the up one only when the pointer is not on it.
        UINT_PTR nTimer = 0;
        if (m_rcScrollDown.PtInRect(point))
            nTimer = XTP_TID_SCROLL_DOWN;
        else if (m_rcScrollUp.PtInRect(point))
            nTimer = XTP_TID_SCROLL_UP;
        if (nTimer != m_nScrollTimer) {
            if (m_nScrollTimer)
                KillTimer(m_nScrollTimer);
            m_nScrollTimer = nTimer;
            if (nTimer)
                SetTimer(nTimer, XTP_POPUP_SCROLL_INTERVAL, nullptr);
        }
        if (nTimer) {
            SetPopuped(-1);
            return;
        }
    }
    CXTPCommandBar::OnMouseMove(nFlags, point);
}

void CXTPPopupBar::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == XTP_TID_TEAROFF_HOT) {
        OnTearOffTimer();
        return;
    }
    if (nIDEvent == XTP_TID_SCROLL_DOWN || nIDEvent == XTP_TID_SCROLL_UP) {
        const BOOL bDown = nIDEvent == XTP_TID_SCROLL_DOWN;
        if (bDown ? m_nEndScrolled >= GetControlCount() : m_nFirstScrolled <= 0) {
            KillTimer(nIDEvent);
            m_nScrollTimer = 0;
            return;
        }
        if (bDown)
            ++m_nEndScrolled;
        else
            --m_nFirstScrolled;
        AdjustScrolling(nullptr, bDown, TRUE);
    }
    CXTPCommandBar::OnTimer(nIDEvent);
}

int CXTPPopupBar::OnMouseActivate(CWnd*, UINT, UINT)
{
    return MA_NOACTIVATE;
}

// Layout -----------------------------------------------------------------------------

int CXTPPopupBar::GetSeparatorHeight(CDC* pDC)
{
    return GetPaintManager()->DrawCommandBarSeparator(pDC, this, nullptr, FALSE).cy;
}

CRect CXTPPopupBar::GetBorders(CDC* pDC, int* pnExpandHeight)
{
    CRect rcBorders = GetPaintManager()->GetCommandBarBorders(this);
    *pnExpandHeight = 0;
    CXTPControl* pExpand = m_pControls->FindControl(XTP_ID_POPUPBAR_EXPAND);
    if (m_bCollapsed && pExpand) {
        *pnExpandHeight =
            GetPaintManager()->DrawSpecialControl(pDC, xtpButtonExpandMenu, pExpand, this, FALSE, nullptr).cy;
        rcBorders.bottom += *pnExpandHeight;
    }
    if (m_bTearOffPopup) {
        const int nGripper = GetPaintManager()->DrawTearOffGripper(pDC, CRect(0, 0, 0, 0), FALSE, FALSE).cy;
        // The width is the content's, known once the layout has measured it.
        const int nRight = std::max(static_cast<int>(m_rcTearOffGripper.right), static_cast<int>(rcBorders.left));
        m_rcTearOffGripper = CRect(rcBorders.left, rcBorders.top, nRight, rcBorders.top + nGripper);
        rcBorders.top += nGripper;
    }
    return rcBorders;
}

void CXTPPopupBar::UpdateExpandingState()
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (!pCommandBars)
        return;
    if (pCommandBars->GetOptions()->bAlwaysShowFullMenus) {
        for (int i = 0; i < GetControlCount(); ++i)
            GetControl(i)->SetRarelyUsed(FALSE);
        m_bExpanded = TRUE;
        return;
    }
    m_bCollapsed = FALSE;
    BOOL bUsedShown = FALSE;
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        if (pCommandBars->IsControlHidden(pControl)) {
            pControl->SetRarelyUsed(TRUE);
            continue;
        }
        pControl->SetRarelyUsed(FALSE);
        if (pControl->GetID() != XTP_ID_POPUPBAR_EXPAND &&
            (pControl->GetHideFlags() & ~static_cast<DWORD>(xtpHideScroll | xtpHideExpand)) == 0)
            bUsedShown = TRUE;
    }
    // A popup of nothing but rarely used commands shows them all.
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        pControl->SetHideFlag(xtpHideExpand, FALSE);
        if (pControl->IsRarelyUsed() && !m_bExpanded && bUsedShown) {
            pControl->SetHideFlag(xtpHideExpand, TRUE);
            m_bCollapsed = TRUE;
        }
    }
}

CSize CXTPPopupBar::CalcDynamicLayout(int, DWORD)
{
    CXTPPaintManager* pPaintManager = GetPaintManager();
    m_bDynamicLayout = TRUE;
    CClientDC dc(m_hWnd ? this : nullptr);
    CXTFontSelector font(&dc, pPaintManager->GetCommandBarFont(this, FALSE));

    CRect rcWork(0, 0, 0, 0);
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0);
    const int nSeparator = GetSeparatorHeight(&dc);

    for (int i = 0; i < GetControlCount(); ++i)
        GetControl(i)->OnCalcDynamicSize(0);
    UpdateExpandingState();
    CXTPControl* pExpand = m_pControls->FindControl(XTP_ID_POPUPBAR_EXPAND);
    if (m_bCollapsed && !pExpand) {
        pExpand = m_pControls->Add(new CXTPControlExpandButton, XTP_ID_POPUPBAR_EXPAND, "", -1, TRUE);
        pExpand->SetFlags(kExpandButtonFlags);
    }
    int nExpand = 0;
    const CRect rcBorders = GetBorders(&dc, &nExpand);
    if (pExpand)
        pExpand->SetHideFlag(xtpHideGeneric, TRUE);
    UpdateShortcuts();

    const double dMaxWidth = rcWork.right * s_dMaxWidthDivisor;
    int y = rcBorders.top, nWidth = 0;
    BOOL bFirst = TRUE;
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        pControl->SetHideFlag(xtpHideScroll, FALSE);
        if (pControl->GetHideFlags())
            continue;
        if (pControl->GetBeginGroup() && !bFirst)
            y += nSeparator;
        bFirst = FALSE;
        CXTFontSelector itemFont(&dc, pPaintManager->GetCommandBarFont(this, pControl->GetDefaultItem()));
        CSize sz = pControl->GetSize(&dc);
        if (s_dMaxWidthDivisor > 0 && static_cast<double>(sz.cx) > dMaxWidth)
            sz.cx = static_cast<int>(dMaxWidth);
        pControl->SetRect(CRect(rcBorders.left, y, rcBorders.left + sz.cx, y + sz.cy));
        pControl->SetWrap(FALSE);
        y += sz.cy;
        nWidth = std::max(nWidth, static_cast<int>(sz.cx));
    }
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        if (pControl->IsVisible()) {
            CRect rc = pControl->GetRect();
            pControl->SetRect(CRect(rc.left, rc.top, rcBorders.left + nWidth, rc.bottom));
        }
    }
    if (m_bCollapsed && pExpand) {
        pExpand->SetHideFlag(xtpHideGeneric, FALSE);
        pExpand->SetRect(CRect(rcBorders.left, y, rcBorders.left + nWidth, y + nExpand));
    }
    nWidth = std::max(nWidth, kMinContent);
    if (m_bTearOffPopup)
        m_rcTearOffGripper.right = m_rcTearOffGripper.left + nWidth;
    if (bFirst)
        y = kMinContent;
    m_bDynamicLayout = FALSE;
    return CSize(rcBorders.left + rcBorders.right + nWidth, y + rcBorders.bottom);
}

void CXTPPopupBar::UpdateShortcuts()
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    CFrameWnd* pFrame = GetFrameSite();
    if (!pCommandBars || !pFrame)
        return;
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        if (pControl->GetHideFlags() || pControl->GetID() == 0)
            continue;
        CString strShortcut;
        XTPShortcutManager()->FindDefaultAccelerator(static_cast<UINT>(pControl->GetID()), strShortcut, pFrame);
        pControl->m_strShortcutTextAuto = strShortcut;
    }
}

void CXTPPopupBar::OnControlsChanged()
{
    if (m_bDynamicLayout || !m_hWnd || !m_bTracking)
        return;
    XTPShadowManager()->RemoveShadows(this);
    UpdateShortcuts();
    UpdateFlags();
    UpdateLocation(CalcDynamicLayout(0, 0));
    if (m_bExpanding) {
        const int nType = GetAnimationType();
        if (nType == xtpAnimateUnfold || nType == xtpAnimateSlide || nType == xtpAnimateFade) {
            CClientDC dc(this);
            CRect rc;
            GetClientRect(&rc);
            CXTBufferedDC buffer(dc.m_hDC, rc);
            DrawCommandBar(&buffer, rc);
            GetPaintManager()->AnimateExpanding(this, &dc, &buffer);
        }
        XTPSoundManager()->PlaySystemSound(xtpSoundMenuPopup);
    }
    if (m_barPosition == xtpBarPopup && m_bShowShadow)
        XTPShadowManager()->SetShadow(this, m_rcExclude);
    if (m_pControlPopup)
        m_pControlPopup->UpdateShadow();
    if (m_nLockRedraw == 0) {
        m_dwPendingFlags &= ~static_cast<DWORD>(XTP_PENDING_REDRAW);
        Invalidate(FALSE);
    }
    m_bExpanding = FALSE;
}

void CXTPPopupBar::ExpandBar()
{
    if (m_bExpanded || !m_bCollapsed)
        return;
    m_bExpanding = TRUE;
    m_bExpanded = TRUE;
    SetPopuped(-1);
    SetSelected(-1, FALSE);
    OnRecalcLayout();
    // Every further popup opens expanded until tracking ends, and the
    // release that follows a click on the expand row does nothing.
    XTPMouseManager()->SetForceExpanded(TRUE);
    XTPMouseManager()->SetIgnoreRelease();
}

int CXTPPopupBar::FindDefaultItem(BOOL bByPosition) const
{
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        if (pControl->GetHideFlags() == 0 && pControl->GetDefaultItem())
            return bByPosition ? i : pControl->GetID();
    }
    return -1;
}

// Tracking and drawing ----------------------------------------------------------------

BOOL CXTPPopupBar::SetTrackingMode(int bMode, BOOL bSelectFirst, BOOL bKeyboard)
{
    const BOOL bResult = CXTPCommandBar::SetTrackingMode(bMode, bSelectFirst, bKeyboard);
    if (bMode || !bResult)
        return bResult;
    // The object may be released by whoever hears that it closed.
    InternalAddRef();
    if (m_nScrollTimer && m_hWnd)
        KillTimer(m_nScrollTimer);
    m_nScrollTimer = 0;
    if (m_hWnd)
        DestroyWindow();
    CXTPCommandBar* pParent = GetParentCommandBar();
    if (pParent)
        pParent->SetPopuped(-1);
    if (CWnd* pSite = GetSite()) {
        if (::IsWindow(pSite->m_hWnd)) {
            pSite->UpdateWindow();
            pSite->SendMessage(WM_POPUP_CLOSED, 0, reinterpret_cast<LPARAM>(this));
        }
    }
    m_pControlPopup = nullptr;
    InternalRelease();
    return bResult;
}

BOOL CXTPPopupBar::OnKeyDown(UINT nChar)
{
    if (m_bCollapsed && nChar == VK_DOWN) {
        const BOOL bWraps = m_pControls->GetNext(m_nSelected, +1, TRUE, FALSE, TRUE) <= m_nSelected;
        if (::GetKeyState(VK_CONTROL) < 0 || bWraps)
            ExpandBar();
    }
    return CXTPCommandBar::OnKeyDown(nChar);
}

void CXTPPopupBar::DrawCommandBar(CDC* pDC, CRect rcClipBox)
{
    CXTPCommandBar::DrawCommandBar(pDC, rcClipBox);
    if (m_bTearOffPopup && GetControlCount() > 0)
        GetPaintManager()->DrawTearOffGripper(pDC, m_rcTearOffGripper, m_bTearOffSelected, TRUE);
    if (!m_bScrolling)
        return;
    CXTPPaintManager* pPaintManager = GetPaintManager();
    const COLORREF clr = pPaintManager->GetColor(COLOR_BTNTEXT);
    if (!m_rcScrollDown.IsRectEmpty()) {
        const CPoint c = m_rcScrollDown.CenterPoint();
        pPaintManager->Triangle(pDC, CPoint(c.x - 3, c.y), CPoint(c.x + 3, c.y), CPoint(c.x, c.y + 3), clr);
    }
    if (!m_rcScrollUp.IsRectEmpty()) {
        const CPoint c = m_rcScrollUp.CenterPoint();
        pPaintManager->Triangle(pDC, CPoint(c.x - 3, c.y), CPoint(c.x + 3, c.y), CPoint(c.x, c.y - 3), clr);
    }
}

// The expand row ------------------------------------------------------------------------

void CXTPControlExpandButton::OnExecute()
{
    if (auto* pPopup = DYNAMIC_DOWNCAST(CXTPPopupBar, m_pParent))
        pPopup->ExpandBar();
}

void CXTPControlExpandButton::Draw(CDC* pDC)
{
    if (CXTPPaintManager* pPaintManager = GetPaintManager())
        pPaintManager->DrawSpecialControl(pDC, xtpButtonExpandMenu, this, m_pParent, TRUE, nullptr);
}

void CXTPControlExpandButton::OnMouseHover()
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars && pCommandBars->GetOptions()->bShowFullAfterDelay)
        OnExecute();
}

IMPLEMENT_SERIAL(CXTPPopupToolBar, CXTPPopupBar, VERSIONABLE_SCHEMA | 8)

CXTPPopupToolBar::CXTPPopupToolBar()
{
    m_barType = xtpBarTypeNormal;
}

CXTPPopupToolBar* CXTPPopupToolBar::CreatePopupToolBar(CXTPCommandBars* pCommandBars)
{
    auto* pBar = new CXTPPopupToolBar;
    pBar->m_pCommandBars = pCommandBars;
    return pBar;
}
