#include "app/MainSplitterWnd.h"

#include <algorithm>
#include <climits>

IMPLEMENT_DYNAMIC(CMainSplitterWnd, CXTSplitterWnd)

BEGIN_MESSAGE_MAP(CMainSplitterWnd, CXTSplitterWnd)
    ON_WM_MOUSEMOVE()
    ON_WM_WINDOWPOSCHANGING()
END_MESSAGE_MAP()

void CMainSplitterWnd::LayoutRowColMin(CRowColInfo* pInfo, int nCount, int nSize, int nSizeSplitter,
                                       int nBorderAdjust)
{
    if (nCount < 1)
        return;
    nSize = std::max(nSize, 0);
    for (int i = 0; i < nCount - 1; ++i) {
        pInfo[i].nIdealSize = std::max(pInfo[i].nIdealSize, pInfo[i].nMinSize);
        pInfo[i].nCurSize = pInfo[i].nIdealSize;
    }
    pInfo[nCount - 1].nCurSize = INT_MAX;
    for (int i = 0; i < nCount; ++i) {
        CRowColInfo& info = pInfo[i];
        if (nSize == 0 || (nSize < info.nMinSize && i != 0)) {
            // Too little room: the pane takes what it lacks from the panes
            // already laid out, the nearest first, each down to its minimum.
            info.nCurSize = nSize;
            int missing = info.nMinSize - nSize;
            for (int j = i - 1; j >= 0 && missing > 0; --j) {
                const int spare = pInfo[j].nCurSize - pInfo[j].nMinSize;
                if (spare <= 0)
                    continue;
                const int take = std::min(spare, missing);
                pInfo[j].nCurSize -= take;
                pInfo[j].nIdealSize -= take;
                info.nCurSize += take;
                missing -= take;
            }
            nSize = 0;
            continue;
        }
        if (info.nCurSize != 0) {
            if (info.nCurSize > nSize)
                info.nCurSize = nSize;
            nSize -= info.nCurSize;
        }
        if (i != nCount - 1) {
            if (nSize > nSizeSplitter) {
                nSize -= nSizeSplitter;
            } else {
                info.nCurSize += nSize;
                if (info.nCurSize > nSizeSplitter - nBorderAdjust)
                    info.nCurSize -= nSizeSplitter - nBorderAdjust;
                nSize = 0;
            }
        }
    }
    for (int i = 0; i < nCount; ++i)
        pInfo[i].nCurSize = std::max(pInfo[i].nCurSize, pInfo[i].nMinSize);
}

void CMainSplitterWnd::RecalcLayout()
{
    if (!m_hWnd || !m_pRowInfo || !m_pColInfo)
        return;
    CRect inside;
    GetInsideRect(inside);
    LayoutRowColMin(m_pColInfo, m_nCols, inside.Width(), m_cxSplitterGap, c_cxBorderAdjust);
    LayoutRowColMin(m_pRowInfo, m_nRows, inside.Height(), m_cySplitterGap, c_cyBorderAdjust);
    LayoutPanes();
}

void CMainSplitterWnd::TrackLimits(const CRowColInfo* pInfo, int nCount, int k, int nExtent, int nBorder, int nBar,
                                   int* pLow, int* pHigh)
{
    const bool atMin = pInfo[k].nCurSize == pInfo[k].nMinSize;
    auto size = [&](int j) { return atMin ? pInfo[j].nCurSize : pInfo[j].nMinSize; };
    int low = nBorder;
    for (int j = 0; j < k; ++j)
        low += size(j) + nBar;
    low += size(k);
    int high = nExtent - nBorder;
    for (int j = k + 2; j < nCount; ++j)
        high -= pInfo[j].nMinSize + nBar;
    if (k + 1 < nCount)
        high -= pInfo[k + 1].nMinSize;
    high -= nBar / 2;
    *pLow = low + nBar / 2 - 2;
    *pHigh = high - nBar / 2;
}

int CMainSplitterWnd::MinimumExtent(const CRowColInfo* pInfo, int nCount, int nBorder, int nBar)
{
    int total = 2 * nBorder;
    for (int i = 0; i < nCount; ++i)
        total += pInfo[i].nMinSize + (i ? nBar : 0);
    return total;
}

void CMainSplitterWnd::OnMouseMove(UINT nFlags, CPoint pt)
{
    if (m_bTracking && ::GetCapture() == m_hWnd) {
        CRect client;
        GetClientRect(&client);
        CPoint tracked = pt + m_ptTrackOffset;
        const bool rowBar = m_htTrack >= vSplitterBar1 && m_htTrack <= vSplitterBar15;
        const bool colBar = m_htTrack >= hSplitterBar1 && m_htTrack <= hSplitterBar15;
        const bool both = m_htTrack >= splitterIntersection1 && m_htTrack <= splitterIntersection225;
        int low = 0, high = 0;
        if (rowBar || both) {
            const int k = both ? (m_htTrack - splitterIntersection1) / 15 : m_htTrack - vSplitterBar1;
            TrackLimits(m_pRowInfo, m_nRows, k, client.Height(), m_cyBorder, m_cySplitter, &low, &high);
            tracked.y = std::max<LONG>(std::min<LONG>(tracked.y, high), low);
        }
        if (colBar || both) {
            const int k = both ? (m_htTrack - splitterIntersection1) % 15 : m_htTrack - hSplitterBar1;
            TrackLimits(m_pColInfo, m_nCols, k, client.Width(), m_cxBorder, m_cxSplitter, &low, &high);
            tracked.x = std::max<LONG>(std::min<LONG>(tracked.x, high), low);
        }
        pt = tracked - m_ptTrackOffset;
    }
    CXTSplitterWnd::OnMouseMove(nFlags, pt);
}

void CMainSplitterWnd::OnWindowPosChanging(WINDOWPOS* lpwndpos)
{
    if (m_pColInfo && m_pRowInfo && !(lpwndpos->flags & SWP_NOSIZE)) {
        CRect current;
        GetWindowRect(&current);
        if (CWnd* parent = GetParent())
            parent->ScreenToClient(&current);
        const int minWidth = MinimumExtent(m_pColInfo, m_nCols, m_cxBorder, m_cxSplitterGap);
        if (lpwndpos->cx < minWidth) {
            // Narrowed from the left: the right edge stays where it was asked to be.
            if (!(lpwndpos->flags & SWP_NOMOVE) && current.left < lpwndpos->x)
                lpwndpos->x -= minWidth - lpwndpos->cx;
            lpwndpos->cx = minWidth;
        }
        const int minHeight = MinimumExtent(m_pRowInfo, m_nRows, m_cyBorder, m_cySplitterGap);
        if (lpwndpos->cy < minHeight) {
            if (!(lpwndpos->flags & SWP_NOMOVE) && current.top < lpwndpos->y)
                lpwndpos->y -= minHeight - lpwndpos->cy;
            lpwndpos->cy = minHeight;
        }
    }
    CXTSplitterWnd::OnWindowPosChanging(lpwndpos);
}
