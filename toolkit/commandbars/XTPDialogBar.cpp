#include "toolkit/commandbars/XTPDialogBar.h"

#include "platform/base/MulDiv.h"
#include "platform/mfc/Dc.h"
#include "platform/win/WindowPos.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPDockBar.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPPopupPlacement.h"
#include "toolkit/controls/XTDrawHelpers.h"
#include "toolkit/res/ToolkitIds.h"

#include <algorithm>

IMPLEMENT_SERIAL(CXTPDialogBarPopupBar, CXTPPopupBar, 1)
IMPLEMENT_SERIAL(CXTPDialogBarCloseButton, CXTPToolBarCloseButton, 1)
IMPLEMENT_SERIAL(CXTPDialogBarCaptionPopup, CXTPControlPopup, 1)
IMPLEMENT_SERIAL(CXTPDialogBar, CXTPToolBar, 0x80000008)

namespace {

constexpr int kBorder = 3;
constexpr int kButton = 16;

} // namespace

// The caption's menu ------------------------------------------------------------

void CXTPDialogBarPopupBar::UpdateFlags()
{
    CXTPPopupBar::UpdateFlags();
    // Down from the caption's lower left corner (with the left flag too the
    // placement would align it to the caption's right edge).
    m_ptPopup = CPoint(m_rcExclude.left, m_rcExclude.bottom);
    m_popupFlags = xtpPopupDown;
}

// The close button ----------------------------------------------------------------

CXTPDialogBarCloseButton::CXTPDialogBarCloseButton()
{
    m_dwFlags = 0x1a;
}

void CXTPDialogBarCloseButton::Draw(CDC* pDC)
{
    CXTPPaintManager* pPaintManager = GetPaintManager();
    if (!pPaintManager)
        return;
    pPaintManager->DrawControlEntry(pDC, this);
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    // Eight points at 96 dots per inch: the same pixels at any resolution.
    CFont font;
    font.CreatePointFont(::MulDiv(80, 96, pDC->GetDeviceCaps(LOGPIXELSX)), "Marlett", pDC);
    CXTFontSelector selector(pDC, &font);
    CRect rc = m_rcControl;
    pDC->DrawText("r", 1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    pDC->SetBkMode(nOldMode);
}

// The caption control ------------------------------------------------------------

CXTPDialogBarCaptionPopup::CXTPDialogBarCaptionPopup()
{
    m_dwFlags = 0x1e;
}

void CXTPDialogBarCaptionPopup::Draw(CDC* pDC)
{
    CXTPPaintManager* pPaintManager = GetPaintManager();
    if (!pPaintManager)
        return;
    CXTFontSelector font(pDC, pPaintManager->GetSmCaptionFont());
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    if (m_bHasPopup)
        pPaintManager->DrawControlEntry(pDC, m_rcControl, TRUE, GetSelected(), GetPressed(), GetChecked(), m_bPopup,
                                        0);
    else
        pDC->SetTextColor(pPaintManager->GetColor(18));
    const CRect& rc = m_rcControl;
    CRect rcText(rc.left + 2, rc.top, m_bHasPopup ? rc.right - 15 : rc.right - 2, rc.bottom);
    const CString strCaption = GetCaption();
    pDC->DrawText(strCaption, strCaption.GetLength(), &rcText, DT_SINGLELINE | DT_VCENTER);
    if (m_bHasPopup) {
        const int mid = rc.CenterPoint().y;
        pPaintManager->Triangle(pDC, CPoint(rc.right - 13, mid - 2), CPoint(rc.right - 5, mid - 2),
                                CPoint(rc.right - 9, mid + 2), pDC->GetTextColor());
    }
    pDC->SetBkMode(nOldMode);
}

BOOL CXTPDialogBarCaptionPopup::OnSetPopup(BOOL bPopup)
{
    if (!m_bHasPopup)
        return TRUE;
    return CXTPControlPopup::OnSetPopup(bPopup);
}

void CXTPDialogBarCaptionPopup::AdjustExcludeRect(CRect& rc)
{
    if (CXTPPaintManager* pPaintManager = GetPaintManager())
        pPaintManager->AdjustExcludeRect(rc, this, FALSE);
}

// The bar ---------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CXTPDialogBar, CXTPToolBar)
ON_WM_NCHITTEST()
ON_WM_SIZE()
END_MESSAGE_MAP()

CXTPDialogBar::CXTPDialogBar()
{
    m_bCustomizable = FALSE;
    m_pPopupBar = new CXTPDialogBarPopupBar;
    m_pPopupBar->SetPopupFlags(2);
}

CXTPDialogBar::~CXTPDialogBar()
{
    m_pPopupBar->InternalRelease();
}

void CXTPDialogBar::SetChild(CWnd* pChildWnd)
{
    m_hwndChild = pChildWnd ? pChildWnd->GetSafeHwnd() : nullptr;
}

void CXTPDialogBar::Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive)
{
    CXTPToolBar::Copy(pCommandBar, bRecursive);
    if (auto* pBar = DYNAMIC_DOWNCAST(CXTPDialogBar, pCommandBar)) {
        m_rcMargins = pBar->m_rcMargins;
        m_bResizable = pBar->m_bResizable;
        m_bShowCaption = pBar->m_bShowCaption;
        m_bCaptionPopup = pBar->m_bCaptionPopup;
        m_szDockingClient = pBar->m_szDockingClient;
        m_szFloatingClient = pBar->m_szFloatingClient;
        m_strCaption = pBar->m_strCaption;
    }
}

CRect CXTPDialogBar::GetInsets()
{
    CRect rc = m_rcMargins;
    CXTPPaintManager* pPaintManager = GetPaintManager();
    if (!m_bShowCaption || !pPaintManager)
        return rc;
    CClientDC dc(m_hWnd ? this : nullptr);
    CXTFontSelector font(&dc, pPaintManager->GetCommandBarFont(this, FALSE));
    rc.top += pPaintManager->DrawCommandBarGripper(&dc, this, FALSE).cy;
    return rc;
}

CSize CXTPDialogBar::CalcDynamicLayout(int, DWORD dwMode)
{
    return CalcLayout(m_szFloatingClient, 32000, dwMode);
}

CSize CXTPDialogBar::CalcDockingLayout(int nLength, DWORD dwMode, int)
{
    return CalcLayout(m_szDockingClient, nLength, dwMode);
}

CSize CXTPDialogBar::CalcLayout(CSize szClient, int nLength, DWORD dwMode)
{
    CSize sz(szClient.cx + m_rcMargins.left + m_rcMargins.right, szClient.cy + m_rcMargins.top + m_rcMargins.bottom);
    CXTPPaintManager* pPaintManager = GetPaintManager();
    if (!m_bShowCaption || !pPaintManager)
        return sz;
    CClientDC dc(m_hWnd ? this : nullptr);
    CXTFontSelector font(&dc, pPaintManager->GetCommandBarFont(this, FALSE));
    const CSize szGripper = pPaintManager->DrawCommandBarGripper(&dc, this, FALSE);
    sz.cy += szGripper.cy;
    m_nCaptionHeight = m_rcMargins.top + szGripper.cy;

    if (dwMode & LM_STRETCH) {
        if (dwMode & LM_VERTDOCK)
            sz.cy = std::max(static_cast<int>(sz.cy), nLength);
        else
            sz.cx = std::max(static_cast<int>(sz.cx), nLength);
    }
    if (dwMode & LM_HORZ)
        sz.cx = std::min(static_cast<int>(sz.cx), nLength);
    else
        sz.cy = std::min(static_cast<int>(sz.cy), nLength);

    const int y0 = szGripper.cy / 2 + m_rcMargins.top - 8;
    int right = sz.cx - m_rcMargins.right;

    CXTPControl* pClose = FindTemporary(XTP_ID_TOOLBAR_HIDE);
    if (m_bCloseable) {
        if (!pClose) {
            pClose = new CXTPDialogBarCloseButton;
            m_pControls->Add(pClose, XTP_ID_TOOLBAR_HIDE, nullptr, -1, TRUE);
        }
        pClose->SetHideFlag(xtpHideGeneric, FALSE);
        pClose->SetRect(CRect(right - kButton, y0, right, y0 + kButton));
        right -= kButton;
    } else if (pClose) {
        pClose->SetHideFlag(xtpHideGeneric, TRUE);
    }

    auto* pCaption = static_cast<CXTPDialogBarCaptionPopup*>(FindTemporary(XTP_ID_DIALOGBAR_CAPTION));
    if (!pCaption) {
        pCaption = new CXTPDialogBarCaptionPopup;
        m_pControls->Add(pCaption, XTP_ID_DIALOGBAR_CAPTION, nullptr, -1, TRUE);
        pCaption->SetCommandBar(m_pPopupBar);
    }
    pCaption->SetHasPopup(m_bCaptionPopup && m_pPopupBar->GetControlCount() > 0);
    pCaption->SetRect(CRect(m_rcMargins.left + szGripper.cx, y0, right, y0 + kButton));
    CString strCaption = m_strCaption;
    if (strCaption.IsEmpty() && m_hWnd)
        GetWindowText(strCaption);
    if (strCaption.IsEmpty())
        strCaption = GetTitle();
    pCaption->SetCaption(strCaption);
    return sz;
}

void CXTPDialogBar::OnSize(UINT nType, int cx, int cy)
{
    CXTPToolBar::OnSize(nType, cx, cy);
    if (!m_hwndChild || !::IsWindow(m_hwndChild))
        return;
    const CRect rcInsets = GetInsets();
    ::SetWindowPos(m_hwndChild, nullptr, rcInsets.left, rcInsets.top, cx - rcInsets.left - rcInsets.right,
                   cy - rcInsets.top - rcInsets.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(m_hwndChild, nullptr, FALSE);
}

LRESULT CXTPDialogBar::OnNcHitTest(CPoint point)
{
    if (!m_bResizable)
        return CXTPToolBar::OnNcHitTest(point);
    CRect rc;
    GetWindowRect(&rc);
    rc.DeflateRect(kBorder, kBorder);
    const BOOL bAbove = point.y < rc.top, bBelow = point.y >= rc.bottom;
    const BOOL bLeft = point.x < rc.left, bRight = point.x >= rc.right;
    const int nPosition = GetPosition();
    if (nPosition == xtpBarFloating) {
        if (bAbove)
            return bLeft ? HTTOPLEFT : bRight ? HTTOPRIGHT : HTTOP;
        if (bBelow)
            return bLeft ? HTBOTTOMLEFT : bRight ? HTBOTTOMRIGHT : HTBOTTOM;
        if (bLeft)
            return HTLEFT;
        if (bRight)
            return HTRIGHT;
        return CXTPToolBar::OnNcHitTest(point);
    }
    const BOOL bStretched = (m_dwFlags & 0x40) != 0;
    const BOOL bVertical = nPosition == xtpBarLeft || nPosition == xtpBarRight;
    if (nPosition == xtpBarBottom) {
        if (point.y <= rc.top)
            return HTTOP;
    } else if (point.y >= rc.bottom && !(bStretched && bVertical)) {
        return HTBOTTOM;
    }
    if (nPosition == xtpBarRight) {
        if (point.x <= rc.left)
            return HTLEFT;
    } else if (point.x >= rc.right && !(bStretched && !bVertical)) {
        return HTRIGHT;
    }
    return CXTPToolBar::OnNcHitTest(point);
}

void CXTPDialogBar::Resize(CRect rcWindow, int nHitTest)
{
    const CRect rcInsets = GetInsets();
    const CSize szClient(rcWindow.Width() - rcInsets.left - rcInsets.right,
                         rcWindow.Height() - rcInsets.top - rcInsets.bottom);
    if (szClient.cx < m_szMinimumClient.cx || szClient.cy < m_szMinimumClient.cy)
        return;
    if (IsFloating()) {
        m_szFloatingClient = szClient;
        CalcDynamicLayout(0, 0);
        MoveWindow(&rcWindow, TRUE);
        Invalidate(FALSE);
        return;
    }
    if (nHitTest == HTLEFT || nHitTest == HTRIGHT)
        m_szDockingClient.cx = szClient.cx;
    else
        m_szDockingClient.cy = szClient.cy;
    if (CXTPCommandBars* pCommandBars = GetCommandBars())
        pCommandBars->RecalcFrameLayout(TRUE);
}

int CXTPDialogBar::IsPointInside(CPoint point) const
{
    CRect rc;
    GetWindowRect(&rc);
    rc.bottom = rc.top + m_nCaptionHeight;
    return rc.PtInRect(point) ? 1 : -2;
}
