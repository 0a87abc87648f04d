#include "platform/mfc/Splitter.h"

#include "platform/mfc/FrameWnd.h"
#include "platform/win/Capture.h"
#include "platform/win/Cursor.h"
#include "platform/win/Input.h"
#include "platform/win/WindowPos.h"

#include <algorithm>
#include <climits>

IMPLEMENT_DYNAMIC(CSplitterWnd, CWnd)

BEGIN_MESSAGE_MAP(CSplitterWnd, CWnd)
    ON_WM_PAINT()
    ON_WM_SIZE()
    ON_WM_SETCURSOR()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_KEYDOWN()
    ON_WM_CANCELMODE()
    ON_WM_CAPTURECHANGED()
END_MESSAGE_MAP()

HBRUSH AfxGetHalftoneBrush()
{
    static const HBRUSH brush = [] {
        static const WORD pattern[8] = {0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA};
        HBITMAP bitmap = ::CreateBitmap(8, 8, 1, 1, pattern);
        HBRUSH made = bitmap ? ::CreatePatternBrush(bitmap) : nullptr;
        if (bitmap)
            ::DeleteObject(bitmap); // the brush keeps its own copy
        return made;
    }();
    return brush;
}

CSplitterWnd::~CSplitterWnd()
{
    delete[] m_pRowInfo;
    delete[] m_pColInfo;
}

CSplitterWnd* CView::GetParentSplitter(const CWnd* pWnd, BOOL bAnyState)
{
    if (!pWnd || !pWnd->m_hWnd)
        return nullptr;
    auto* pSplitter = DYNAMIC_DOWNCAST(CSplitterWnd, CWnd::FromHandlePermanent(::GetParent(pWnd->m_hWnd)));
    if (!pSplitter)
        return nullptr;
    // A splitter inside a frame of its own (not the view's frame's client) counts only when asked.
    if (!bAnyState && pWnd->GetParentFrame() != pSplitter->GetParentFrame())
        return nullptr;
    return pSplitter;
}

BOOL CSplitterWnd::CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle, UINT nID)
{
    if (!pParentWnd || nRows < 1 || nRows > 16 || nCols < 1 || nCols > 16 || m_hWnd)
        return FALSE;
    m_nRows = m_nMaxRows = nRows;
    m_nCols = m_nMaxCols = nCols;
    delete[] m_pRowInfo;
    delete[] m_pColInfo;
    m_pRowInfo = new CRowColInfo[nRows]{};
    m_pColInfo = new CRowColInfo[nCols]{};
    LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW), nullptr);
    DWORD dwCreateStyle = dwStyle & ~static_cast<DWORD>(WS_HSCROLL | WS_VSCROLL | WS_BORDER);
    return CreateEx(0, lpszClass, nullptr, dwCreateStyle | WS_CHILD, 0, 0, 0, 0, AfxHwndOf(pParentWnd),
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), nullptr);
}

BOOL CSplitterWnd::CreateView(int row, int col, CRuntimeClass* pViewClass, SIZE sizeInit, CCreateContext* pContext)
{
    if (!m_hWnd || row < 0 || row >= m_nRows || col < 0 || col >= m_nCols || !pViewClass)
        return FALSE;
    if (GetPane(row, col))
        return FALSE; // the place is taken
    m_pColInfo[col].nIdealSize = sizeInit.cx;
    m_pRowInfo[row].nIdealSize = sizeInit.cy;

    BOOL bSendInitialUpdate = FALSE;
    CCreateContext contextT;
    if (!pContext) {
        // Without a context the view shows what the active view shows.
        CFrameWnd* pFrame = GetParentFrame();
        CView* pOldView = pFrame ? pFrame->GetActiveView() : nullptr;
        if (pOldView) {
            contextT.m_pLastView = pOldView;
            contextT.m_pCurrentDoc = pOldView->GetDocument();
            if (contextT.m_pCurrentDoc)
                contextT.m_pNewDocTemplate = contextT.m_pCurrentDoc->GetDocTemplate();
        }
        contextT.m_pNewViewClass = pViewClass;
        bSendInitialUpdate = TRUE;
        pContext = &contextT;
    }
    CObject* pObject = pViewClass->CreateObject();
    CWnd* pWnd = DYNAMIC_DOWNCAST(CWnd, pObject);
    if (!pWnd) {
        delete pObject;
        return FALSE;
    }
    // The splitter draws the edge around a pane that has none of its own.
    DWORD dwStyle = AFX_WS_DEFAULT_VIEW & ~static_cast<DWORD>(WS_BORDER);
    CRect rect(CPoint(0, 0), CSize(sizeInit));
    if (!pWnd->Create(nullptr, nullptr, dwStyle, rect, this, static_cast<UINT>(IdFromRowCol(row, col)), pContext))
        return FALSE; // a view that fails frees itself
    if (bSendInitialUpdate)
        pWnd->SendMessage(WM_INITIALUPDATE);
    return TRUE;
}

void CSplitterWnd::GetRowInfo(int row, int& cyCur, int& cyMin) const
{
    cyCur = cyMin = 0;
    if (row >= 0 && row < m_nMaxRows) {
        cyCur = m_pRowInfo[row].nCurSize;
        cyMin = m_pRowInfo[row].nMinSize;
    }
}

void CSplitterWnd::SetRowInfo(int row, int cyIdeal, int cyMin)
{
    if (row < 0 || row >= m_nMaxRows || cyIdeal < 0 || cyMin < 0)
        return;
    m_pRowInfo[row].nIdealSize = cyIdeal;
    m_pRowInfo[row].nMinSize = cyMin;
}

void CSplitterWnd::GetColumnInfo(int col, int& cxCur, int& cxMin) const
{
    cxCur = cxMin = 0;
    if (col >= 0 && col < m_nMaxCols) {
        cxCur = m_pColInfo[col].nCurSize;
        cxMin = m_pColInfo[col].nMinSize;
    }
}

void CSplitterWnd::SetColumnInfo(int col, int cxIdeal, int cxMin)
{
    if (col < 0 || col >= m_nMaxCols || cxIdeal < 0 || cxMin < 0)
        return;
    m_pColInfo[col].nIdealSize = cxIdeal;
    m_pColInfo[col].nMinSize = cxMin;
}

CWnd* CSplitterWnd::GetPane(int row, int col) const
{
    if (!m_hWnd || row < 0 || col < 0 || row >= 16 || col >= 16)
        return nullptr;
    HWND hPane = ::GetDlgItem(m_hWnd, IdFromRowCol(row, col));
    return hPane ? CWnd::FromHandle(hPane) : nullptr;
}

BOOL CSplitterWnd::IsChildPane(CWnd* pWnd, int* pRow, int* pCol)
{
    if (!pWnd || !pWnd->m_hWnd || ::GetParent(pWnd->m_hWnd) != m_hWnd)
        return FALSE;
    int id = ::GetDlgCtrlID(pWnd->m_hWnd) - AFX_IDW_PANE_FIRST;
    int row = id / 16;
    int col = id % 16;
    if (id < 0 || row >= m_nRows || col >= m_nCols)
        return FALSE;
    if (pRow)
        *pRow = row;
    if (pCol)
        *pCol = col;
    return TRUE;
}

CWnd* CSplitterWnd::GetActivePane(int* pRow, int* pCol)
{
    CWnd* pPane = nullptr;
    if (CFrameWnd* pFrame = GetParentFrame())
        pPane = pFrame->GetActiveView();
    if (!pPane || !IsChildPane(pPane, pRow, pCol)) {
        pPane = CWnd::GetFocus();
        if (pPane && !IsChildPane(pPane, pRow, pCol))
            pPane = nullptr;
    }
    return pPane;
}

void CSplitterWnd::SetActivePane(int row, int col, CWnd* pWnd)
{
    CWnd* pPane = pWnd ? pWnd : GetPane(row, col);
    if (!pPane)
        return;
    CView* pView = DYNAMIC_DOWNCAST(CView, CWnd::FromHandlePermanent(pPane->m_hWnd));
    CFrameWnd* pFrame = GetParentFrame();
    if (pView && pFrame) {
        pFrame->SetActiveView(pView);
        pView->SetFocus();
    } else {
        pPane->SetFocus();
    }
}

namespace {

// The pane after (or before) the given one, going into nested splitters and
// out of them, round the outermost splitter's grid. Only views count.
CWnd* StepPane(CSplitterWnd*& pSplitter, int& row, int& col, bool prev)
{
    int index = row * pSplitter->GetColumnCount() + col;
    for (int guard = 0; guard < 1024; ++guard) {
        int count = pSplitter->GetRowCount() * pSplitter->GetColumnCount();
        index += prev ? -1 : 1;
        if (index < 0 || index >= count) {
            // Out of this grid: on in the splitter around it, else round.
            auto* pOuter = DYNAMIC_DOWNCAST(CSplitterWnd, CWnd::FromHandlePermanent(::GetParent(pSplitter->m_hWnd)));
            int outerRow = 0, outerCol = 0;
            if (pOuter && pOuter->IsChildPane(pSplitter, &outerRow, &outerCol)) {
                pSplitter = pOuter;
                index = outerRow * pOuter->GetColumnCount() + outerCol;
                continue;
            }
            index = prev ? count : -1;
            continue;
        }
        int r = index / pSplitter->GetColumnCount();
        int c = index % pSplitter->GetColumnCount();
        CWnd* pPane = pSplitter->GetPane(r, c);
        if (!pPane || !(pPane->GetStyle() & WS_VISIBLE))
            continue;
        CWnd* pPerm = CWnd::FromHandlePermanent(pPane->m_hWnd);
        if (auto* pInner = DYNAMIC_DOWNCAST(CSplitterWnd, pPerm)) {
            pSplitter = pInner;
            index = prev ? pInner->GetRowCount() * pInner->GetColumnCount() : -1;
            continue;
        }
        if (DYNAMIC_DOWNCAST(CView, pPerm)) {
            row = r;
            col = c;
            return pPerm;
        }
    }
    return nullptr;
}

} // namespace

BOOL CSplitterWnd::CanActivateNext(BOOL bPrev)
{
    int row = 0, col = 0;
    if (!GetActivePane(&row, &col))
        return FALSE;
    CSplitterWnd* pSplitter = this;
    CWnd* pNext = StepPane(pSplitter, row, col, bPrev != FALSE);
    return pNext && pNext != GetActivePane();
}

void CSplitterWnd::ActivateNext(BOOL bPrev)
{
    int row = 0, col = 0;
    CSplitterWnd* pSplitter = this;
    if (!GetActivePane(&row, &col)) {
        // Nothing active here: start before the first pane (after the last).
        row = bPrev ? m_nRows - 1 : 0;
        col = bPrev ? m_nCols : -1;
    }
    if (CWnd* pNext = StepPane(pSplitter, row, col, bPrev != FALSE))
        pSplitter->SetActivePane(row, col, pNext);
}

// Layout

void CSplitterWnd::GetInsideRect(CRect& rect) const
{
    GetClientRect(&rect);
    rect.DeflateRect(m_cxBorder, m_cyBorder);
    if (rect.right < rect.left)
        rect.right = rect.left;
    if (rect.bottom < rect.top)
        rect.bottom = rect.top;
}

void CSplitterWnd::LayoutRowCol(CRowColInfo* pInfoArray, int nMax, int nSize, int nSizeSplitter)
{
    if (nMax < 1)
        return;
    nSize = std::max(nSize, 0);
    for (int i = 0; i < nMax - 1; ++i) {
        // An ideal size below the minimum is too small to be seen.
        if (pInfoArray[i].nIdealSize < pInfoArray[i].nMinSize)
            pInfoArray[i].nIdealSize = 0;
        pInfoArray[i].nCurSize = pInfoArray[i].nIdealSize;
    }
    pInfoArray[nMax - 1].nCurSize = INT_MAX; // the last takes the rest
    for (int i = 0; i < nMax; ++i) {
        CRowColInfo& info = pInfoArray[i];
        if (nSize == 0) {
            info.nCurSize = 0; // no room left
            continue;
        }
        if (nSize < info.nMinSize && i != 0) {
            // Too little room for this pane: hidden, its room goes to the one
            // before (with the bar that would have been between them).
            info.nCurSize = 0;
            pInfoArray[i - 1].nCurSize += nSize + nSizeSplitter;
            nSize = 0;
            continue;
        }
        if (nSize < info.nCurSize)
            info.nCurSize = nSize;
        nSize -= info.nCurSize;
        if (i != nMax - 1) {
            if (nSize > nSizeSplitter) {
                nSize -= nSizeSplitter;
            } else {
                // No room for another pane after the bar: this one takes it.
                info.nCurSize += nSize;
                nSize = 0;
            }
        }
    }
}

int CSplitterWnd::RowTop(int row) const
{
    CRect inside;
    GetInsideRect(inside);
    int y = inside.top;
    for (int i = 0; i < row && i < m_nRows; ++i)
        y += m_pRowInfo[i].nCurSize + m_cySplitterGap;
    return y;
}

int CSplitterWnd::ColumnLeft(int col) const
{
    CRect inside;
    GetInsideRect(inside);
    int x = inside.left;
    for (int i = 0; i < col && i < m_nCols; ++i)
        x += m_pColInfo[i].nCurSize + m_cxSplitterGap;
    return x;
}

void CSplitterWnd::DeferClientPos(AFX_SIZEPARENTPARAMS* lpLayout, CWnd* pWnd, int x, int y, int cx, int cy)
{
    CRect rect(x, y, x + cx, y + cy);
    if ((pWnd->GetExStyle() & WS_EX_CLIENTEDGE) ||
        DYNAMIC_DOWNCAST(CSplitterWnd, CWnd::FromHandlePermanent(pWnd->m_hWnd)))
        rect.InflateRect(m_cxBorder, m_cyBorder);
    AfxRepositionWindow(lpLayout, pWnd->m_hWnd, &rect);
}

void CSplitterWnd::LayoutPanes()
{
    CRect inside;
    GetInsideRect(inside);
    AFX_SIZEPARENTPARAMS layout{};
    layout.hDWP = ::BeginDeferWindowPos(m_nRows * m_nCols);
    int x = inside.left;
    for (int col = 0; col < m_nCols; ++col) {
        int cx = m_pColInfo[col].nCurSize;
        int y = inside.top;
        for (int row = 0; row < m_nRows; ++row) {
            int cy = m_pRowInfo[row].nCurSize;
            if (CWnd* pPane = GetPane(row, col))
                DeferClientPos(&layout, pPane, x, y, cx, cy);
            y += cy + m_cySplitterGap;
        }
        x += cx + m_cxSplitterGap;
    }
    if (layout.hDWP)
        ::EndDeferWindowPos(layout.hDWP);
    // The bars and borders between the panes are drawn again.
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
}

void CSplitterWnd::RecalcLayout()
{
    if (!m_hWnd || !m_pRowInfo || !m_pColInfo)
        return;
    CRect inside;
    GetInsideRect(inside);
    LayoutRowCol(m_pColInfo, m_nCols, inside.Width(), m_cxSplitterGap);
    LayoutRowCol(m_pRowInfo, m_nRows, inside.Height(), m_cySplitterGap);
    LayoutPanes();
}

void CSplitterWnd::OnSize(UINT nType, int cx, int cy)
{
    if (nType != SIZE_MINIMIZED && cx > 0 && cy > 0)
        RecalcLayout();
    CWnd::OnSize(nType, cx, cy);
}

// Drawing

void CSplitterWnd::OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rectArg)
{
    if (!pDC) {
        RedrawWindow(&rectArg, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
        return;
    }
    CRect rect = rectArg;
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    switch (nType) {
    case splitBorder:
        pDC->Draw3dRect(&rect, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT));
        rect.InflateRect(-1, -1);
        pDC->Draw3dRect(&rect, ::GetSysColor(COLOR_3DDKSHADOW), face);
        return;
    case splitBox:
    case splitIntersection:
        pDC->Draw3dRect(&rect, face, ::GetSysColor(COLOR_3DDKSHADOW));
        rect.InflateRect(-1, -1);
        pDC->Draw3dRect(&rect, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
        rect.InflateRect(-1, -1);
        break;
    case splitBar:
        break;
    }
    pDC->FillSolidRect(&rect, face);
}

void CSplitterWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CRect inside;
    GetInsideRect(inside);
    // The border band, then the bars across the whole window.
    OnDrawSplitter(&dc, splitBar, CRect(client.left, client.top, client.right, inside.top));
    OnDrawSplitter(&dc, splitBar, CRect(client.left, inside.bottom, client.right, client.bottom));
    OnDrawSplitter(&dc, splitBar, CRect(client.left, inside.top, inside.left, inside.bottom));
    OnDrawSplitter(&dc, splitBar, CRect(inside.right, inside.top, client.right, inside.bottom));
    for (int col = 0; col < m_nCols - 1; ++col) {
        int x = ColumnLeft(col) + m_pColInfo[col].nCurSize;
        OnDrawSplitter(&dc, splitBar, CRect(x, client.top, x + m_cxSplitterGap, client.bottom));
    }
    for (int row = 0; row < m_nRows - 1; ++row) {
        int y = RowTop(row) + m_pRowInfo[row].nCurSize;
        OnDrawSplitter(&dc, splitBar, CRect(client.left, y, client.right, y + m_cySplitterGap));
    }
    // Panes without an edge of their own get the splitter's.
    for (int row = 0; row < m_nRows; ++row) {
        for (int col = 0; col < m_nCols; ++col) {
            CWnd* pPane = GetPane(row, col);
            if (pPane && ((pPane->GetExStyle() & WS_EX_CLIENTEDGE) ||
                          DYNAMIC_DOWNCAST(CSplitterWnd, CWnd::FromHandlePermanent(pPane->m_hWnd))))
                continue;
            if (m_pColInfo[col].nCurSize == 0 || m_pRowInfo[row].nCurSize == 0)
                continue;
            int x = ColumnLeft(col);
            int y = RowTop(row);
            CRect cell(x, y, x + m_pColInfo[col].nCurSize, y + m_pRowInfo[row].nCurSize);
            cell.InflateRect(m_cxBorder, m_cyBorder);
            OnDrawSplitter(&dc, splitBorder, cell);
        }
    }
}

void CSplitterWnd::OnInvertTracker(const CRect& rect)
{
    CDC* pDC = GetDC();
    if (!pDC)
        return;
    HGDIOBJ old = ::SelectObject(pDC->m_hDC, AfxGetHalftoneBrush());
    pDC->PatBlt(rect.left, rect.top, rect.Width(), rect.Height(), PATINVERT);
    ::SelectObject(pDC->m_hDC, old);
    ReleaseDC(pDC);
}

// Hit testing and tracking

int CSplitterWnd::HitTest(CPoint pt) const
{
    CRect inside;
    GetInsideRect(inside);
    if (!inside.PtInRect(pt))
        return noHit;
    int colBar = -1;
    int x = inside.left;
    for (int col = 0; col < m_nCols - 1; ++col) {
        x += m_pColInfo[col].nCurSize;
        if (pt.x >= x && pt.x < x + m_cxSplitterGap) {
            colBar = col;
            break;
        }
        x += m_cxSplitterGap;
    }
    int rowBar = -1;
    int y = inside.top;
    for (int row = 0; row < m_nRows - 1; ++row) {
        y += m_pRowInfo[row].nCurSize;
        if (pt.y >= y && pt.y < y + m_cySplitterGap) {
            rowBar = row;
            break;
        }
        y += m_cySplitterGap;
    }
    if (rowBar >= 0 && colBar >= 0)
        return splitterIntersection1 + rowBar * 15 + colBar;
    if (rowBar >= 0)
        return vSplitterBar1 + rowBar;
    if (colBar >= 0)
        return hSplitterBar1 + colBar;
    return noHit;
}

void CSplitterWnd::GetHitRect(int ht, CRect& rect)
{
    CRect inside;
    GetInsideRect(inside);
    rect.SetRectEmpty();
    if (ht >= vSplitterBar1 && ht <= vSplitterBar15) {
        int row = ht - vSplitterBar1;
        int y = RowTop(row) + m_pRowInfo[row].nCurSize;
        rect.SetRect(inside.left, y, inside.right, y + m_cySplitter);
    } else if (ht >= hSplitterBar1 && ht <= hSplitterBar15) {
        int col = ht - hSplitterBar1;
        int x = ColumnLeft(col) + m_pColInfo[col].nCurSize;
        rect.SetRect(x, inside.top, x + m_cxSplitter, inside.bottom);
    } else if (ht >= splitterIntersection1 && ht <= splitterIntersection225) {
        int row = (ht - splitterIntersection1) / 15;
        int col = (ht - splitterIntersection1) % 15;
        int x = ColumnLeft(col) + m_pColInfo[col].nCurSize;
        int y = RowTop(row) + m_pRowInfo[row].nCurSize;
        rect.SetRect(x, y, x + m_cxSplitter, y + m_cySplitter);
    }
}

void CSplitterWnd::StartTracking(int ht)
{
    if (ht == noHit || m_bTracking)
        return;
    CRect inside;
    GetInsideRect(inside);
    m_rectLimit = inside;
    m_bTracking2 = FALSE;
    // The tracker stays between the neighbours of the bar.
    auto limitRow = [&](int row) {
        m_rectLimit.top = RowTop(row);
        m_rectLimit.bottom = std::max<LONG>(RowTop(row + 1) + m_pRowInfo[row + 1].nCurSize - m_cySplitter,
                                            m_rectLimit.top);
    };
    auto limitCol = [&](int col) {
        m_rectLimit.left = ColumnLeft(col);
        m_rectLimit.right = std::max<LONG>(ColumnLeft(col + 1) + m_pColInfo[col + 1].nCurSize - m_cxSplitter,
                                           m_rectLimit.left);
    };
    if (ht >= vSplitterBar1 && ht <= vSplitterBar15 && ht - vSplitterBar1 < m_nRows - 1) {
        GetHitRect(ht, m_rectTracker);
        limitRow(ht - vSplitterBar1);
    } else if (ht >= hSplitterBar1 && ht <= hSplitterBar15 && ht - hSplitterBar1 < m_nCols - 1) {
        GetHitRect(ht, m_rectTracker);
        limitCol(ht - hSplitterBar1);
    } else if (ht >= splitterIntersection1 && ht <= splitterIntersection225) {
        int row = (ht - splitterIntersection1) / 15;
        int col = (ht - splitterIntersection1) % 15;
        if (row >= m_nRows - 1 || col >= m_nCols - 1)
            return;
        GetHitRect(vSplitterBar1 + row, m_rectTracker);
        GetHitRect(hSplitterBar1 + col, m_rectTracker2);
        m_bTracking2 = TRUE;
        limitRow(row);
        limitCol(col);
    } else {
        return;
    }
    m_htTrack = ht;
    m_hWndFocusBeforeTracking = ::GetFocus();
    SetCapture();
    SetFocus(); // Esc cancels
    m_bTracking = TRUE;
    OnInvertTracker(m_rectTracker);
    if (m_bTracking2)
        OnInvertTracker(m_rectTracker2);
    SetSplitCursor(ht);
}

void CSplitterWnd::StopTracking(BOOL bAccept)
{
    if (!m_bTracking)
        return;
    OnInvertTracker(m_rectTracker);
    if (m_bTracking2)
        OnInvertTracker(m_rectTracker2);
    m_bTracking = FALSE;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    HWND focus = m_hWndFocusBeforeTracking;
    m_hWndFocusBeforeTracking = nullptr;
    if (focus && ::IsWindow(focus) && ::GetFocus() == m_hWnd)
        ::SetFocus(focus);
    if (!bAccept)
        return;
    if (m_htTrack >= vSplitterBar1 && m_htTrack <= vSplitterBar15) {
        TrackRowSize(m_rectTracker.top, m_htTrack - vSplitterBar1);
    } else if (m_htTrack >= hSplitterBar1 && m_htTrack <= hSplitterBar15) {
        TrackColumnSize(m_rectTracker.left, m_htTrack - hSplitterBar1);
    } else if (m_htTrack >= splitterIntersection1 && m_htTrack <= splitterIntersection225) {
        TrackRowSize(m_rectTracker.top, (m_htTrack - splitterIntersection1) / 15);
        TrackColumnSize(m_rectTracker2.left, (m_htTrack - splitterIntersection1) % 15);
    }
    RecalcLayout();
}

void CSplitterWnd::TrackRowSize(int y, int row)
{
    if (row < 0 || row >= m_nRows)
        return;
    int size = y - RowTop(row);
    // Dragged below its minimum the row goes away.
    m_pRowInfo[row].nIdealSize = size < m_pRowInfo[row].nMinSize ? 0 : size;
}

void CSplitterWnd::TrackColumnSize(int x, int col)
{
    if (col < 0 || col >= m_nCols)
        return;
    int size = x - ColumnLeft(col);
    m_pColInfo[col].nIdealSize = size < m_pColInfo[col].nMinSize ? 0 : size;
}

void CSplitterWnd::SetSplitCursor(int ht)
{
    LPCSTR id = IDC_ARROW;
    if (ht == vSplitterBox || (ht >= vSplitterBar1 && ht <= vSplitterBar15))
        id = IDC_SIZENS;
    else if (ht == hSplitterBox || (ht >= hSplitterBar1 && ht <= hSplitterBar15))
        id = IDC_SIZEWE;
    else if (ht == bothSplitterBox || (ht >= splitterIntersection1 && ht <= splitterIntersection225))
        id = IDC_SIZEALL;
    ::SetCursor(::LoadCursorA(nullptr, id));
}

BOOL CSplitterWnd::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (nHitTest == HTCLIENT && pWnd == this && !m_bTracking) {
        POINT pt;
        ::GetCursorPos(&pt);
        ScreenToClient(&pt);
        SetSplitCursor(HitTest(pt));
        return TRUE;
    }
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

void CSplitterWnd::OnMouseMove(UINT, CPoint pt)
{
    if (m_bTracking && ::GetCapture() != m_hWnd)
        StopTracking(FALSE);
    if (!m_bTracking) {
        SetSplitCursor(HitTest(pt));
        return;
    }
    pt += m_ptTrackOffset;
    pt.x = std::clamp<LONG>(pt.x, m_rectLimit.left, m_rectLimit.right);
    pt.y = std::clamp<LONG>(pt.y, m_rectLimit.top, m_rectLimit.bottom);
    bool rowBar = m_htTrack >= vSplitterBar1 && m_htTrack <= vSplitterBar15;
    bool colBar = m_htTrack >= hSplitterBar1 && m_htTrack <= hSplitterBar15;
    if (rowBar || m_bTracking2) {
        if (m_rectTracker.top != pt.y) {
            OnInvertTracker(m_rectTracker);
            m_rectTracker.OffsetRect(0, pt.y - m_rectTracker.top);
            OnInvertTracker(m_rectTracker);
        }
    }
    CRect& colTracker = m_bTracking2 ? m_rectTracker2 : m_rectTracker;
    if (colBar || m_bTracking2) {
        if (colTracker.left != pt.x) {
            OnInvertTracker(colTracker);
            colTracker.OffsetRect(pt.x - colTracker.left, 0);
            OnInvertTracker(colTracker);
        }
    }
}

void CSplitterWnd::OnLButtonDown(UINT, CPoint pt)
{
    if (m_bTracking)
        return;
    int ht = HitTest(pt);
    if (ht < vSplitterBar1)
        return;
    CRect rect;
    GetHitRect(ht, rect);
    m_ptTrackOffset = CPoint(rect.left - pt.x, rect.top - pt.y);
    StartTracking(ht);
}

void CSplitterWnd::OnLButtonUp(UINT, CPoint)
{
    StopTracking(TRUE);
}

void CSplitterWnd::OnLButtonDblClk(UINT nFlags, CPoint pt)
{
    // A double click is a click here (no dynamic splitting to undo).
    OnLButtonDown(nFlags, pt);
}

void CSplitterWnd::OnKeyDown(UINT nChar, UINT, UINT)
{
    if (m_bTracking && nChar == VK_ESCAPE)
        StopTracking(FALSE);
    else if (m_bTracking && nChar == VK_RETURN)
        StopTracking(TRUE);
    else
        Default();
}

void CSplitterWnd::OnCancelMode() { StopTracking(FALSE); }

void CSplitterWnd::OnCaptureChanged(CWnd* pWnd)
{
    if (m_bTracking && AfxHwndOf(pWnd) != m_hWnd)
        StopTracking(FALSE);
    Default();
}

// Commands and notifications of the panes go on to the window holding the
// splitters (through its routing, not as a message: the pane's reflection
// has run already and must not run twice).

namespace {

CWnd* HolderOf(HWND hSplitter)
{
    HWND h = ::GetParent(hSplitter);
    while (h && DYNAMIC_DOWNCAST(CSplitterWnd, CWnd::FromHandlePermanent(h)))
        h = ::GetParent(h);
    return h ? CWnd::FromHandlePermanent(h) : nullptr;
}

} // namespace

BOOL CSplitterWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (CWnd::OnCommand(wParam, lParam))
        return TRUE;
    CWnd* pHolder = HolderOf(m_hWnd);
    UINT nID = LOWORD(wParam);
    if (!pHolder || nID == 0)
        return FALSE;
    int nCode = lParam ? HIWORD(wParam) : CN_COMMAND;
    return pHolder->OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CSplitterWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (CWnd::OnNotify(wParam, lParam, pResult))
        return TRUE;
    CWnd* pHolder = HolderOf(m_hWnd);
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (!pHolder || !header)
        return FALSE;
    AFX_NOTIFY notify{pResult, header};
    UINT nID = static_cast<UINT>(::GetDlgCtrlID(header->hwndFrom));
    return pHolder->OnCmdMsg(nID, MAKELONG(static_cast<int>(header->code), WM_NOTIFY), &notify, nullptr);
}
