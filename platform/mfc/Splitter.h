// The static splitter window: a fixed grid of panes (views or any child
// window with a pane id) divided by bars the user drags. Rows and columns
// each have a minimum, an ideal and a current size; the layout gives the
// panes their ideal sizes, the last one the rest, and hides a pane that has
// less room than its minimum. Drawing, tracking and layout are overridable
// and the state they use is open to subclasses.
#pragma once

#include "platform/mfc/Document.h"
#include "platform/mfc/Rect.h"

struct AFX_SIZEPARENTPARAMS;

// Splitter styles.
#define SPLS_DYNAMIC_SPLIT 0x0100
#define SPLS_INVERT_TRACKER 0x0200

// The framework's halftone brush (a checkerboard of alternate pixels), made
// once per process; the tracker is drawn with it.
HBRUSH AfxGetHalftoneBrush();

class CSplitterWnd : public CWnd {
    DECLARE_DYNAMIC(CSplitterWnd)
public:
    CSplitterWnd() = default;
    ~CSplitterWnd() override;

    // nRows and nCols from 1 to 16. The window drops WS_BORDER and the
    // scroll styles; the panes draw or get their own edges.
    virtual BOOL CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle = WS_CHILD | WS_VISIBLE,
                              UINT nID = AFX_IDW_PANE_FIRST);
    // Makes the pane's view of the class (dynamic creation); without a
    // context it joins the document of the frame's active view and gets its
    // initial update at once.
    virtual BOOL CreateView(int row, int col, CRuntimeClass* pViewClass, SIZE sizeInit, CCreateContext* pContext);

    int GetRowCount() const { return m_nRows; }
    int GetColumnCount() const { return m_nCols; }
    void GetRowInfo(int row, int& cyCur, int& cyMin) const;
    void SetRowInfo(int row, int cyIdeal, int cyMin);
    void GetColumnInfo(int col, int& cxCur, int& cxMin) const;
    void SetColumnInfo(int col, int cxIdeal, int cxMin);

    CWnd* GetPane(int row, int col) const;
    BOOL IsChildPane(CWnd* pWnd, int* pRow, int* pCol);
    int IdFromRowCol(int row, int col) const { return AFX_IDW_PANE_FIRST + row * 16 + col; }

    // The pane holding the frame's active view, else the focus; null when
    // neither is a pane of this splitter.
    virtual CWnd* GetActivePane(int* pRow = nullptr, int* pCol = nullptr);
    // A view becomes the frame's active view; another window gets the focus.
    virtual void SetActivePane(int row, int col, CWnd* pWnd = nullptr);
    // Next and previous pane, across nested splitters, round the whole grid.
    virtual BOOL CanActivateNext(BOOL bPrev = FALSE);
    virtual void ActivateNext(BOOL bPrev = FALSE);

    virtual void RecalcLayout();

    enum ESplitType { splitBox, splitBar, splitIntersection, splitBorder };
    // Hit codes: split boxes, row bars (between row n and n + 1), column bars
    // and their intersections (301 + row * 15 + column).
    enum HitTestValue {
        noHit = 0,
        vSplitterBox = 1,
        hSplitterBox = 2,
        bothSplitterBox = 3,
        vSplitterBar1 = 101,
        vSplitterBar15 = 115,
        hSplitterBar1 = 201,
        hSplitterBar15 = 215,
        splitterIntersection1 = 301,
        splitterIntersection225 = 525
    };

    // A null DC invalidates the rectangle instead.
    virtual void OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect);
    virtual void OnInvertTracker(const CRect& rect);

    struct CRowColInfo {
        int nMinSize;   // below it a pane is hidden
        int nIdealSize; // what the user or the program asked for
        int nCurSize;   // what the layout gave (0: hidden)
    };

    // Handlers
    void OnPaint();
    void OnSize(UINT nType, int cx, int cy);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnMouseMove(UINT nFlags, CPoint pt);
    void OnLButtonDown(UINT nFlags, CPoint pt);
    void OnLButtonUp(UINT nFlags, CPoint pt);
    void OnLButtonDblClk(UINT nFlags, CPoint pt);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnCancelMode();
    void OnCaptureChanged(CWnd* pWnd);
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

protected:
    virtual void StartTracking(int ht);
    virtual void StopTracking(BOOL bAccept);
    // y and x in the splitter's client coordinates: the new bottom edge of
    // the row, the new right edge of the column.
    virtual void TrackRowSize(int y, int row);
    virtual void TrackColumnSize(int x, int col);
    virtual void SetSplitCursor(int ht);
    virtual int HitTest(CPoint pt) const;
    virtual void GetHitRect(int ht, CRect& rect);
    virtual void GetInsideRect(CRect& rect) const;

    // The framework's sharing of a row's or column's space among its panes.
    static void LayoutRowCol(CRowColInfo* pInfoArray, int nMax, int nSize, int nSizeSplitter);
    // Places the panes at the current sizes (deferred, unchanged ones left
    // alone) and has the bars redrawn.
    void LayoutPanes();
    // Places one pane; panes with their own 3-D edge and nested splitters
    // reach into the border band around the cell.
    void DeferClientPos(AFX_SIZEPARENTPARAMS* lpLayout, CWnd* pWnd, int x, int y, int cx, int cy);
    // The top of a row and left of a column in client coordinates.
    int RowTop(int row) const;
    int ColumnLeft(int col) const;

    CRuntimeClass* m_pDynamicViewClass = nullptr;
    int m_nMaxRows = 0;
    int m_nMaxCols = 0;
    int m_cxSplitter = 7;
    int m_cySplitter = 7;
    int m_cxBorderShare = 0;
    int m_cyBorderShare = 0;
    int m_cxSplitterGap = 7;
    int m_cySplitterGap = 7;
    int m_cxBorder = 2;
    int m_cyBorder = 2;
    int m_nRows = 0;
    int m_nCols = 0;
    BOOL m_bHasHScroll = FALSE;
    BOOL m_bHasVScroll = FALSE;
    CRowColInfo* m_pColInfo = nullptr; // m_nMaxCols entries
    CRowColInfo* m_pRowInfo = nullptr; // m_nMaxRows entries

    BOOL m_bTracking = FALSE;
    BOOL m_bTracking2 = FALSE; // an intersection: both trackers
    CPoint m_ptTrackOffset;    // tracker's top left less the mouse point
    CRect m_rectLimit;         // where the tracker's top left may go
    CRect m_rectTracker;
    CRect m_rectTracker2;
    int m_htTrack = noHit;
    HWND m_hWndFocusBeforeTracking = nullptr;

    DECLARE_MESSAGE_MAP()
};
