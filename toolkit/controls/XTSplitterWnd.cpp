#include "toolkit/controls/XTSplitterWnd.h"

#include "platform/mfc/Exception.h"
#include "platform/mfc/FrameWnd.h"
#include "platform/win/User.h"
#include "toolkit/controls/XTColorManager.h"
#include "toolkit/controls/XTGlobalData.h"

#include <utility>
#include <vector>

// --- themes ------------------------------------------------------------------

void CXTSplitterTheme::RefreshMetrics()
{
    m_clrSplitterFace = ::GetSysColor(COLOR_BTNFACE);
    m_clrSplitterBorders = ::GetSysColor(COLOR_BTNSHADOW);
}

void CXTSplitterThemeOffice2003::RefreshMetrics()
{
    CXTSplitterTheme::RefreshMetrics();
    const CXTColorManager* pManager = XTGetColorManager();
    if (pManager->IsLunaColorsDisabled())
        return;
    switch (pManager->GetLunaTheme()) {
    case xtLunaBlue:
        m_clrSplitterFace = RGB(216, 231, 252);
        m_clrSplitterBorders = RGB(158, 190, 245);
        break;
    case xtLunaOlive:
        m_clrSplitterFace = RGB(226, 231, 191);
        m_clrSplitterBorders = RGB(171, 192, 138);
        break;
    case xtLunaSilver:
        m_clrSplitterFace = RGB(223, 223, 234);
        m_clrSplitterBorders = RGB(177, 176, 195);
        break;
    default:
        break;
    }
}

IMPLEMENT_DYNCREATE(CXTSplitterThemeFactory, CXTThemeManagerStyleFactory)

CXTThemeManagerStyle* CXTSplitterThemeFactory::CreateTheme(int nTheme)
{
    if (nTheme == xtThemeOffice2003)
        return new CXTSplitterThemeOffice2003;
    return new CXTSplitterTheme;
}

// --- the splitter ------------------------------------------------------------

IMPLEMENT_DYNCREATE(CXTSplitterWnd, CSplitterWnd)

BEGIN_MESSAGE_MAP(CXTSplitterWnd, CSplitterWnd)
    ON_WM_SETTINGCHANGE()
    ON_WM_NCHITTEST()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

CXTSplitterWnd::CXTSplitterWnd()
    : CXTThemeManagerStyleHost(RUNTIME_CLASS(CXTSplitterThemeFactory)), m_bFullDrag(SystemFullDrag())
{
    m_cxSplitter = m_cySplitter = 6;
    m_cxSplitterGap = m_cySplitterGap = 6;
}

CXTSplitterWnd::~CXTSplitterWnd() = default;

BOOL CXTSplitterWnd::SystemFullDrag()
{
    BOOL bFullDrag = FALSE;
    ::SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &bFullDrag, 0);
    return bFullDrag;
}

void CXTSplitterWnd::OnThemeChanged()
{
    if (m_hWnd)
        Invalidate(FALSE);
}

void CXTSplitterWnd::SetSplitterStyle(DWORD dwxStyle)
{
    m_dwxStyle = dwxStyle;
    m_bFullDrag = (dwxStyle & XT_SPLIT_NOFULLDRAG) ? FALSE : SystemFullDrag();
}

void CXTSplitterWnd::EnableFlatLook(BOOL bFlatSplitter)
{
    m_bFlatSplit = bFlatSplitter;
    const int nSize = bFlatSplitter ? 6 : 7;
    m_cxSplitter = m_cySplitter = m_cxSplitterGap = m_cySplitterGap = nSize;
    if (m_hWnd)
        RecalcLayout();
}

void CXTSplitterWnd::OnSettingChange(UINT, LPCTSTR)
{
    Default();
    m_bFullDrag = (m_dwxStyle & XT_SPLIT_NOFULLDRAG) ? FALSE : SystemFullDrag();
    if (CXTSplitterTheme* pTheme = GetSplitterTheme())
        pTheme->RefreshMetrics();
}

LRESULT CXTSplitterWnd::OnNcHitTest(CPoint)
{
    if (m_dwxStyle & XT_SPLIT_NOSIZE)
        return HTBORDER;
    return Default();
}

void CXTSplitterWnd::SetSplitCursor(int ht)
{
    const CXTGlobalData* pData = XTGetGlobalData();
    HCURSOR hCursor = nullptr;
    if (ht == vSplitterBox || (ht >= vSplitterBar1 && ht <= vSplitterBar15))
        hCursor = pData->hcurHSplitBar;
    else if (ht == hSplitterBox || (ht >= hSplitterBar1 && ht <= hSplitterBar15))
        hCursor = pData->hcurVSplitBar;
    if (hCursor)
        ::SetCursor(hCursor);
    else
        CSplitterWnd::SetSplitCursor(ht);
}

void CXTSplitterWnd::SetActivePane(int nRow, int nCol, CWnd* pWnd)
{
    CWnd* pPane = pWnd ? pWnd : GetPane(nRow, nCol);
    if (!pPane)
        return;
    CFrameWnd* pFrame = GetParentFrame();
    if (pFrame && pPane->IsKindOf(RUNTIME_CLASS(CView)))
        pFrame->SetActiveView(static_cast<CView*>(pPane), TRUE);
    else
        pPane->SetFocus();
}

// --- drawing -----------------------------------------------------------------

void CXTSplitterWnd::OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect)
{
    if (!pDC) {
        RedrawWindow(&rect, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
        return;
    }
    CXTSplitterTheme* pTheme = GetSplitterTheme();
    const COLORREF clrFace = pTheme ? pTheme->m_clrSplitterFace : ::GetSysColor(COLOR_BTNFACE);
    const COLORREF clrShadow = pTheme ? pTheme->m_clrSplitterBorders : ::GetSysColor(COLOR_BTNSHADOW);
    const CXTColorManager* pColors = XTGetColorManager();
    const COLORREF clrFrame = pColors->GetColor(COLOR_WINDOWFRAME);
    const COLORREF clrHilite = pColors->GetColor(COLOR_BTNHIGHLIGHT);
    CRect rc = rect;
    switch (nType) {
    case splitBox:
        pDC->Draw3dRect(&rc, clrFace, m_bFlatSplit ? clrFace : clrFrame);
        rc.DeflateRect(1, 1);
        pDC->Draw3dRect(&rc, clrHilite, clrShadow);
        rc.DeflateRect(1, 1);
        pDC->FillSolidRect(&rc, clrFace);
        break;
    case splitBorder:
        if (!m_bFlatSplit) {
            pDC->Draw3dRect(&rc, clrShadow, clrHilite);
            rc.DeflateRect(1, 1);
            pDC->Draw3dRect(&rc, clrFrame, clrFace);
        } else if (m_dwxStyle & XT_SPLIT_NOBORDER) {
            pDC->Draw3dRect(&rc, clrFace, clrFace);
            rc.DeflateRect(1, 1);
            pDC->Draw3dRect(&rc, clrFace, clrFace);
        } else {
            pDC->Draw3dRect(&rc, clrFace, clrFace);
            rc.DeflateRect(1, 1);
            pDC->Draw3dRect(&rc, clrShadow, clrHilite);
        }
        break;
    case splitBar:
    case splitIntersection:
        pDC->FillSolidRect(&rc, clrFace);
        break;
    }
}

void CXTSplitterWnd::OnInvertTracker(const CRect& rect)
{
    if (m_bFlatSplit) {
        InvertTracker(rect, CBrush::FromHandle(static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH))));
    } else {
        InvertTracker(rect, CBrush::FromHandle(AfxGetHalftoneBrush()));
    }
}

void CXTSplitterWnd::InvertTracker(const CRect& rect, CBrush* pBrush)
{
    if (m_bFullDrag || rect.IsRectEmpty())
        return;
    CDC* pDC = GetDC();
    if (!pDC)
        return;
    const BOOL bVertical = rect.Height() > rect.Width();
    if (m_dwxStyle & XT_SPLIT_DOTTRACKER) {
        CRect rcInside;
        GetInsideRect(rcInside);
        CRect rcFocus(rcInside.left, rcInside.top, rect.right, bVertical ? rect.bottom : rect.top);
        pDC->DrawFocusRect(&rcFocus);
    } else {
        CRect rc = rect;
        if (bVertical)
            rc.left = rc.right - 4;
        else
            rc.bottom = rc.top + 4;
        HGDIOBJ hOld = ::SelectObject(pDC->m_hDC, pBrush ? pBrush->m_hObject : ::GetStockObject(WHITE_BRUSH));
        pDC->PatBlt(rc.left, rc.top, rc.Width(), rc.Height(), PATINVERT);
        ::SelectObject(pDC->m_hDC, hOld);
    }
    ReleaseDC(pDC);
}

// --- dragging ----------------------------------------------------------------

void CXTSplitterWnd::StartTracking(int ht)
{
    if (m_dwxStyle & XT_SPLIT_NOSIZE)
        return;
    // The inverted tracker must show over the panes.
    if (!m_bFullDrag && !m_bTracking && (GetStyle() & WS_CLIPCHILDREN)) {
        ModifyStyle(WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0);
        m_bClipStyles = TRUE;
    }
    CSplitterWnd::StartTracking(ht);
    if (!m_bTracking && m_bClipStyles) {
        ModifyStyle(0, WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
        m_bClipStyles = FALSE;
    }
}

void CXTSplitterWnd::StopTracking(BOOL bAccept)
{
    CSplitterWnd::StopTracking(bAccept);
    if (m_bClipStyles) {
        ModifyStyle(0, WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
        m_bClipStyles = FALSE;
    }
}

void CXTSplitterWnd::OnLButtonUp(UINT nFlags, CPoint point)
{
    CSplitterWnd::OnLButtonUp(nFlags, point);
    Invalidate();
}

void CXTSplitterWnd::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_bTracking && ::GetCapture() != m_hWnd) {
        StopTracking(FALSE);
        return;
    }
    if (!m_bTracking) {
        if (!(m_dwxStyle & XT_SPLIT_NOSIZE))
            SetSplitCursor(HitTest(point));
        return;
    }
    CSplitterWnd::OnMouseMove(nFlags, point);
    if (!m_bFullDrag)
        return;
    // Apply the position at once and go on tracking from there: the panes
    // follow the mouse. The drag keeps its offset and the focus to give back.
    const int ht = m_htTrack;
    const CPoint ptOffset = m_ptTrackOffset;
    const HWND hWndFocus = m_hWndFocusBeforeTracking;
    m_hWndFocusBeforeTracking = nullptr;
    StopTracking(TRUE);
    Invalidate();
    m_ptTrackOffset = ptOffset;
    StartTracking(ht);
    m_hWndFocusBeforeTracking = hWndFocus;
    if (point != m_point) {
        m_point = point;
        RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
}

// --- hiding rows and columns -------------------------------------------------

void CXTSplitterWnd::HideLine(BOOL bColumn, int nHide)
{
    int& nHidden = bColumn ? m_nHiddenCol : m_nHiddenRow;
    const int nCountNow = bColumn ? m_nCols : m_nRows;
    if (nHide == nHidden || nHide < 0 || nHide >= nCountNow || nCountNow < 2)
        return;
    if (nHidden != -1)
        bColumn ? ShowColumn() : ShowRow();
    int& nCount = bColumn ? m_nCols : m_nRows;
    const int nOther = bColumn ? m_nRows : m_nCols;
    CRowColInfo* pInfo = bColumn ? m_pColInfo : m_pRowInfo;
    auto id = [&](int nLine, int nAcross) { return bColumn ? IdFromRowCol(nAcross, nLine) : IdFromRowCol(nLine, nAcross); };

    nHidden = nHide;
    int nRow = 0, nCol = 0;
    if (GetActivePane(&nRow, &nCol)) {
        int& nLine = bColumn ? nCol : nRow;
        if (nLine == nHide) {
            if (++nLine >= nCount)
                nLine = 0;
            SetActivePane(nRow, nCol);
        }
    }
    for (int nAcross = 0; nAcross < nOther; ++nAcross) {
        if (CWnd* pHide = GetDlgItem(id(nHide, nAcross))) {
            pHide->ShowWindow(SW_HIDE);
            pHide->SetDlgCtrlID(id(nCount, nAcross));
        }
        for (int nLine = nHide + 1; nLine < nCount; ++nLine)
            if (CWnd* pPane = GetDlgItem(id(nLine, nAcross)))
                pPane->SetDlgCtrlID(id(nLine - 1, nAcross));
    }
    --nCount;
    pInfo[nCount].nCurSize = pInfo[nHide].nCurSize;
    RecalcLayout();
}

void CXTSplitterWnd::ShowLine(BOOL bColumn)
{
    int& nHidden = bColumn ? m_nHiddenCol : m_nHiddenRow;
    int& nCount = bColumn ? m_nCols : m_nRows;
    if (nHidden == -1 || nCount >= (bColumn ? m_nMaxCols : m_nMaxRows))
        return;
    const int nOther = bColumn ? m_nRows : m_nCols;
    CRowColInfo* pInfo = bColumn ? m_pColInfo : m_pRowInfo;
    auto id = [&](int nLine, int nAcross) { return bColumn ? IdFromRowCol(nAcross, nLine) : IdFromRowCol(nLine, nAcross); };

    const int nShow = nHidden;
    const int nOld = nCount;
    const int nKept = pInfo[nOld].nCurSize;
    for (int nAcross = 0; nAcross < nOther; ++nAcross) {
        // Every pane is found before any id changes; the hidden one holds
        // the id past the end of the full grid.
        CWnd* pShow = GetDlgItem(id(nOld + 1, nAcross));
        std::vector<std::pair<CWnd*, int>> moves;
        for (int nLine = nShow; nLine < nOld; ++nLine)
            if (CWnd* pPane = GetDlgItem(id(nLine, nAcross)))
                moves.emplace_back(pPane, id(nLine + 1, nAcross));
        for (auto& [pPane, nID] : moves)
            pPane->SetDlgCtrlID(nID);
        if (pShow) {
            pShow->SetDlgCtrlID(id(nShow, nAcross));
            pShow->ShowWindow(SW_SHOWNA);
        }
    }
    ++nCount;
    for (int nLine = nCount - 1; nLine > nShow; --nLine)
        pInfo[nLine].nIdealSize = pInfo[nLine - 1].nCurSize;
    pInfo[nShow].nIdealSize = nKept;
    nHidden = -1;
    RecalcLayout();
}

void CXTSplitterWnd::HideColumn(int nColHide) { HideLine(TRUE, nColHide); }
void CXTSplitterWnd::ShowColumn() { ShowLine(TRUE); }
void CXTSplitterWnd::HideRow(int nRowHide) { HideLine(FALSE, nRowHide); }
void CXTSplitterWnd::ShowRow() { ShowLine(FALSE); }

// --- views -------------------------------------------------------------------

BOOL CXTSplitterWnd::SwitchView(int nRow, int nCol, CView* pView)
{
    CWnd* pOld = GetPane(nRow, nCol);
    if (!pOld || !pView || pOld == pView)
        return FALSE;
    const int nOldID = pOld->GetDlgCtrlID();
    const int nNewID = pView->GetDlgCtrlID();
    pOld->ShowWindow(SW_HIDE);
    pView->ShowWindow(SW_HIDE);
    pOld->SetDlgCtrlID(nNewID);
    pView->SetDlgCtrlID(nOldID);
    pOld->ShowWindow(SW_SHOW);
    pView->ShowWindow(SW_SHOW);
    RecalcLayout();
    return TRUE;
}

CView* CXTSplitterWnd::ReplaceView(int nRow, int nCol, CView* pView)
{
    CView* pOld = DYNAMIC_DOWNCAST(CView, GetPane(nRow, nCol));
    if (!pOld || !pView || pOld == pView)
        return nullptr;
    const int nID = pOld->GetDlgCtrlID();
    pOld->SetDlgCtrlID(0);
    pView->SetDlgCtrlID(nID);
    pOld->ShowWindow(SW_HIDE);
    pView->ShowWindow(SW_SHOW);
    RecalcLayout();
    return pOld;
}

CView* CXTSplitterWnd::ReplaceView(int nRow, int nCol, CRuntimeClass* pViewClass)
{
    CView* pOld = DYNAMIC_DOWNCAST(CView, GetPane(nRow, nCol));
    if (!pOld || !pViewClass || pOld->GetRuntimeClass() == pViewClass)
        return nullptr;
    int cyCur = 0, cyMin = 0, cxCur = 0, cxMin = 0;
    GetRowInfo(nRow, cyCur, cyMin);
    GetColumnInfo(nCol, cxCur, cxMin);
    CDocument* pDoc = pOld->GetDocument();
    CCreateContext context;
    context.m_pNewViewClass = pViewClass;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewDocTemplate = pDoc ? pDoc->GetDocTemplate() : nullptr;
    const int nID = pOld->GetDlgCtrlID();
    CView* pNew = nullptr;
    try {
        pNew = static_cast<CView*>(pViewClass->CreateObject());
        if (!pNew || !pNew->IsKindOf(RUNTIME_CLASS(CView))) {
            delete pNew;
            return nullptr;
        }
        if (!pNew->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, nID, &context))
            return nullptr; // a view that fails frees itself
    } catch (CException* e) {
        e->Delete();
        return nullptr;
    }
    pOld->ShowWindow(SW_HIDE);
    pOld->SetDlgCtrlID(0);
    SetRowInfo(nRow, cyCur, cyMin);
    SetColumnInfo(nCol, cxCur, cxMin);
    RecalcLayout();
    pNew->SendMessage(WM_INITIALUPDATE);
    return pOld;
}
