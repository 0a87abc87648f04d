#include "toolkit/controls/XTStatusBar.h"

#include "platform/win/User.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/controls/XTMemDC.h"

BEGIN_MESSAGE_MAP(CXTStatusBar, CStatusBar)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
END_MESSAGE_MAP()

CXTStatusBar::CXTStatusBar()
{
    CXTPNonClientMetrics metrics;
    m_font.CreateFontIndirect(&metrics.lfStatusFont);
}

CXTStatusBar::~CXTStatusBar()
{
    for (XT_STATUSPANE& pane : m_arControls)
        if (pane.bAutoDelete)
            delete pane.pWnd;
    m_arControls.clear();
    m_font.DeleteObject();
}

BOOL CXTStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.GetSafeHandle()), FALSE);
    if (!CStatusBar::SetIndicators(lpIDArray, nIDCount))
        return FALSE;
    SendMessage(SB_SETMINHEIGHT, 20);
    return TRUE;
}

BOOL CXTStatusBar::AddControl(CWnd* pWnd, UINT nID, BOOL bAutoDelete)
{
    if (!pWnd)
        return FALSE;
    m_arControls.push_back({pWnd, nID, bAutoDelete});
    PositionControls();
    return TRUE;
}

void CXTStatusBar::PositionControls()
{
    CRect rcClient;
    GetClientRect(&rcClient);
    const int cxEdge = ::GetSystemMetrics(SM_CXEDGE);
    for (XT_STATUSPANE& pane : m_arControls) {
        const int nIndex = CommandToIndex(pane.nID);
        if (nIndex < 0)
            continue; // no such pane: there is nowhere to put it
        CRect rc;
        GetItemRect(nIndex, &rc);
        UINT nPaneID = 0, nStyle = 0;
        int cxWidth = 0;
        GetPaneInfo(nIndex, nPaneID, nStyle, cxWidth);
        if (nIndex == GetCount() - 1) {
            if (!(nStyle & SBPS_STRETCH))
                rc.right = rc.left + cxWidth + 3 * cxEdge;
            else
                rc.right = rcClient.right -
                           ((GetStyle() & SBARS_SIZEGRIP) ? ::GetSystemMetrics(SM_CXSMICON) + cxEdge : 0);
        }
        if (!(nStyle & SBPS_NOBORDERS))
            rc.DeflateRect(cxEdge, cxEdge);
        if (pane.pWnd->GetSafeHwnd())
            pane.pWnd->MoveWindow(&rc, TRUE);
    }
}

void CXTStatusBar::OnPaint()
{
    CXTPPaintManager* pPaintManager = XTPPaintManager();
    if (!m_bThemed || !pPaintManager) {
        CStatusBar::OnPaint();
        return;
    }
    CPaintDC dcPaint(this);
    CRect rcClient;
    GetClientRect(&rcClient);
    CXTBufferedDC dc(dcPaint.m_hDC, rcClient);
    pPaintManager->FillStatusBar(&dc, this);
    HGDIOBJ hOldFont = ::SelectObject(dc.m_hDC, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
    for (int i = 0; i < GetCount(); ++i)
        pPaintManager->DrawStatusBarPane(&dc, this, i);
    CWnd* pParent = GetParent();
    if (pParent && (pParent->GetStyle() & WS_THICKFRAME) && (GetStyle() & SBARS_SIZEGRIP) && !pParent->IsZoomed())
        pPaintManager->DrawStatusBarGripper(&dc, rcClient);
    ::SelectObject(dc.m_hDC, hOldFont);
}

BOOL CXTStatusBar::OnEraseBkgnd(CDC* pDC)
{
    if (m_bThemed && XTPPaintManager())
        return TRUE;
    return CStatusBar::OnEraseBkgnd(pDC);
}

void CXTStatusBar::OnSize(UINT nType, int cx, int cy)
{
    CStatusBar::OnSize(nType, cx, cy);
    PositionControls();
    Invalidate(FALSE);
}
