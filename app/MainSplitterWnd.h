// The main window's splitter: a pane is never collapsed for lack of room,
// a bar cannot be dragged past a pane's minimum, and the splitter never
// becomes smaller than its panes' minimums.
#pragma once

#include "toolkit/controls/XTSplitterWnd.h"

class CMainSplitterWnd : public CXTSplitterWnd {
    DECLARE_DYNAMIC(CMainSplitterWnd)
public:
    CMainSplitterWnd() = default;

    void RecalcLayout() override;

    // Shares nSize among the panes (minimum, ideal, current sizes) with
    // nSizeSplitter between them; no pane ends below its minimum.
    static void LayoutRowColMin(CRowColInfo* pInfo, int nCount, int nSize, int nSizeSplitter, int nBorderAdjust);
    // Where the tracked edge of the bar after pane k may go along its
    // direction: [*pLow, *pHigh] in client coordinates.
    static void TrackLimits(const CRowColInfo* pInfo, int nCount, int k, int nExtent, int nBorder, int nBar,
                            int* pLow, int* pHigh);
    // The smallest extent that holds every pane at its minimum.
    static int MinimumExtent(const CRowColInfo* pInfo, int nCount, int nBorder, int nBar);

    // Border adjustment beside bars (2 pixels on every system we run on).
    static const int c_cxBorderAdjust = 2;
    static const int c_cyBorderAdjust = 2;

    void OnMouseMove(UINT nFlags, CPoint pt);
    void OnWindowPosChanging(WINDOWPOS* lpwndpos);

protected:
    DECLARE_MESSAGE_MAP()
};
