#include "toolkit/commandbars/XTPDockBar.h"

#include "platform/mfc/ControlBar.h"
#include "platform/win/WindowPos.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPDockContext.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPToolBar.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CXTPDockBar, CWnd)

BEGIN_MESSAGE_MAP(CXTPDockBar, CWnd)
ON_WM_PAINT()
ON_MESSAGE(WM_PRINT, OnPrint)
ON_MESSAGE(WM_PRINTCLIENT, OnPrint)
ON_WM_RBUTTONDOWN()
ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
END_MESSAGE_MAP()

namespace {

// The control-bar bits of a create style.
constexpr DWORD kBarStyleBits = 0x0040FFFF;
constexpr DWORD kStretchFlag = 0x40;
constexpr DWORD kHideWrapFlag = 0x20;

} // namespace

struct CXTPDockBar::RowItem {
    CXTPToolBar* pBar = nullptr;
    // Along the row in left/right, across it in top/bottom.
    CRect rc;
    CRect rcDesired;
    int nIndex = 0;
    int nMinLength = 0;
    int nTotalMinLength = 0;
    DWORD dwMode = 0;
    BOOL bPushed = FALSE;
    // Along and across the row for the full length.
    CSize szFull;
};

CXTPDockBar::CXTPDockBar(CXTPCommandBars* pCommandBars) : m_pCommandBars(pCommandBars)
{
    m_arrBars.push_back(nullptr);
}

CXTPDockBar::~CXTPDockBar()
{
    for (CXTPToolBar* pBar : m_arrBars)
        if (pBar && pBar->GetDockBar() == this)
            pBar->SetDockBar(nullptr);
    if (m_hWnd)
        DestroyWindow();
}

BOOL CXTPDockBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    m_dwStyle = dwStyle & kBarStyleBits;
    LPCTSTR lpszClass = AfxRegisterWndClass(0, ::LoadCursorA(nullptr, IDC_ARROW));
    // The side bits stay in the window style too, where the paint themes look
    // for them; only the gripper bit would mean a dialog frame there.
    const DWORD dwWndStyle = (dwStyle & ~static_cast<DWORD>(CBRS_GRIPPER)) | WS_CLIPSIBLINGS;
    return CreateEx(0, lpszClass, nullptr, dwWndStyle, CRect(0, 0, 0, 0), pParentWnd, nID);
}

int CXTPDockBar::GetPosition() const
{
    if (m_dwStyle & (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM))
        return xtpBarTop;
    if (m_dwStyle & (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP))
        return xtpBarBottom;
    if (m_dwStyle & (CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT))
        return xtpBarLeft;
    return xtpBarRight;
}

int CXTPDockBar::FindBar(const CXTPToolBar* pBar, int nExclude) const
{
    for (size_t i = 0; i < m_arrBars.size(); ++i)
        if (m_arrBars[i] == pBar && static_cast<int>(i) != nExclude)
            return static_cast<int>(i);
    return -1;
}

void CXTPDockBar::MarkFrameLayout()
{
    CFrameWnd* pFrame = m_pCommandBars ? m_pCommandBars->GetSite() : nullptr;
    if (pFrame)
        pFrame->m_nIdleFlags |= CFrameWnd::idleLayout | CFrameWnd::idleNotify;
}

void CXTPDockBar::DockCommandBar(CXTPToolBar* pBar, LPCRECT lpRect)
{
    const BOOL bHere = FindBar(pBar) != -1;
    if (pBar->GetSafeHwnd() && lpRect) {
        CRect rcWindow;
        pBar->GetWindowRect(&rcWindow);
        if (rcWindow == CRect(*lpRect))
            return;
    }
    if (bHere && !lpRect)
        return;

    CXTPDockContext* pContext = pBar->GetDockContext();
    int nIndex;
    if (lpRect) {
        CRect rc(*lpRect);
        ScreenToClient(&rc);
        nIndex = InsertCommandBar(pBar, rc.CenterPoint());
        if (pContext)
            pContext->m_rectMRUDockPos = rc;
    } else {
        m_arrBars.push_back(pBar);
        m_arrBars.push_back(nullptr);
        nIndex = static_cast<int>(m_arrBars.size()) - 2;
        if (pContext)
            pContext->m_rectMRUDockPos.SetRectEmpty();
    }

    if (pBar->GetSafeHwnd() && m_hWnd && ::GetParent(pBar->m_hWnd) != m_hWnd)
        ::SetParent(pBar->m_hWnd, m_hWnd);
    if (bHere) {
        RemoveCommandBar(pBar, nIndex);
    } else if (CXTPDockBar* pOld = pBar->GetDockBar()) {
        pOld->RemoveCommandBar(pBar);
    }
    pBar->SetDockBar(this);
    PutStretchedOnOwnRows();
    MarkFrameLayout();
}

void CXTPDockBar::PutStretchedOnOwnRows()
{
    for (size_t i = 0; i < m_arrBars.size(); ++i) {
        CXTPToolBar* pBar = m_arrBars[i];
        if (!pBar || !(pBar->GetFlags() & kStretchFlag))
            continue;
        if (i > 0 && m_arrBars[i - 1]) {
            m_arrBars.insert(m_arrBars.begin() + static_cast<std::ptrdiff_t>(i), nullptr);
            ++i;
        }
        if (i + 1 < m_arrBars.size() && m_arrBars[i + 1])
            m_arrBars.insert(m_arrBars.begin() + static_cast<std::ptrdiff_t>(i + 1), nullptr);
    }
}

int CXTPDockBar::InsertCommandBar(CXTPToolBar* pBar, CPoint pt)
{
    const BOOL bHorz = IsHorizontal();
    const int nCoord = bHorz ? pt.y : pt.x;
    int nFar = 0, nPrevFar = 0;
    size_t nRowStart = 0;
    for (size_t i = 0; i < m_arrBars.size(); ++i) {
        CXTPToolBar* pRowBar = m_arrBars[i];
        if (pRowBar) {
            if (pRowBar->IsVisible() && pRowBar->GetSafeHwnd()) {
                CRect rc;
                pRowBar->GetWindowRect(&rc);
                ScreenToClient(&rc);
                nFar = std::max(nFar, static_cast<int>(bHorz ? rc.bottom : rc.right));
            }
            continue;
        }
        if (nCoord < nFar) {
            // The point falls in the row this break ends (or before the first).
            if (i == 0 || nCoord == nPrevFar)
                m_arrBars.insert(m_arrBars.begin() + static_cast<std::ptrdiff_t>(nRowStart + 1), nullptr);
            m_arrBars.insert(m_arrBars.begin() + static_cast<std::ptrdiff_t>(nRowStart + 1), pBar);
            return static_cast<int>(nRowStart + 1);
        }
        nPrevFar = nFar;
        nRowStart = i;
    }
    m_arrBars.push_back(pBar);
    m_arrBars.push_back(nullptr);
    return static_cast<int>(m_arrBars.size()) - 2;
}

void CXTPDockBar::InsertRowEntry(int nIndex, CXTPToolBar* pBar)
{
    const int nSize = static_cast<int>(m_arrBars.size());
    const int nMax = nSize > 1 && !m_arrBars.back() ? nSize - 1 : nSize;
    nIndex = std::clamp(nIndex, std::min(1, nMax), nMax);
    m_arrBars.insert(m_arrBars.begin() + nIndex, pBar);
}

void CXTPDockBar::CompactRows()
{
    std::vector<CXTPToolBar*> arr;
    arr.reserve(m_arrBars.size() + 1);
    arr.push_back(nullptr);
    for (CXTPToolBar* pBar : m_arrBars)
        if (pBar || arr.back())
            arr.push_back(pBar);
    if (arr.back())
        arr.push_back(nullptr);
    m_arrBars.swap(arr);
    PutStretchedOnOwnRows();
    MarkFrameLayout();
}

BOOL CXTPDockBar::RemoveCommandBar(CXTPToolBar* pBar, int nExclude)
{
    const int nIndex = FindBar(pBar, nExclude);
    if (nIndex == -1)
        return FALSE;
    m_arrBars.erase(m_arrBars.begin() + nIndex);
    // Rows never stay empty.
    if (nIndex > 0 && static_cast<size_t>(nIndex) < m_arrBars.size() && !m_arrBars[static_cast<size_t>(nIndex) - 1] &&
        !m_arrBars[static_cast<size_t>(nIndex)])
        m_arrBars.erase(m_arrBars.begin() + nIndex);
    if (pBar->GetDockBar() == this)
        pBar->SetDockBar(nullptr);
    MarkFrameLayout();
    return TRUE;
}

void CXTPDockBar::ForgetCommandBar(CXTPToolBar* pBar)
{
    for (int nIndex = FindBar(pBar); nIndex != -1; nIndex = FindBar(pBar)) {
        m_arrBars.erase(m_arrBars.begin() + nIndex);
        if (nIndex > 0 && static_cast<size_t>(nIndex) < m_arrBars.size() &&
            !m_arrBars[static_cast<size_t>(nIndex) - 1] && !m_arrBars[static_cast<size_t>(nIndex)])
            m_arrBars.erase(m_arrBars.begin() + nIndex);
    }
}

void CXTPDockBar::GetVisibleToolBarsInRow(int nIndex, std::vector<CXTPToolBar*>& arrBars) const
{
    arrBars.clear();
    if (nIndex < 0 || static_cast<size_t>(nIndex) >= m_arrBars.size())
        return;
    size_t nFirst = static_cast<size_t>(nIndex);
    while (nFirst > 0 && m_arrBars[nFirst - 1])
        --nFirst;
    for (size_t i = nFirst; i < m_arrBars.size() && m_arrBars[i]; ++i) {
        CXTPToolBar* pBar = m_arrBars[i];
        if (pBar->IsVisible() && pBar->GetType() == xtpBarTypeNormal)
            arrBars.push_back(pBar);
    }
    const BOOL bHorz = IsHorizontal();
    std::stable_sort(arrBars.begin(), arrBars.end(), [bHorz](CXTPToolBar* a, CXTPToolBar* b) {
        CRect ra, rb;
        if (a->GetSafeHwnd())
            a->GetWindowRect(&ra);
        if (b->GetSafeHwnd())
            b->GetWindowRect(&rb);
        return bHorz ? ra.left < rb.left : ra.top < rb.top;
    });
}

// Layout -----------------------------------------------------------------------------

namespace {

CSize AlongAcross(CSize sz, BOOL bHorz)
{
    return bHorz ? sz : CSize(sz.cy, sz.cx);
}

} // namespace

BOOL CXTPDockBar::LayoutRow(std::vector<RowItem>& row, int nOffset, int nLength, BOOL bHorz, HDWP* phdwp,
                            int& nThickness, size_t& nSpill)
{
    const BOOL bCustomize = m_pCommandBars && m_pCommandBars->IsCustomizeMode();
    for (RowItem& item : row) {
        CXTPToolBar* pBar = item.pBar;
        item.dwMode = bHorz ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK;
        if (pBar->GetFlags() & kStretchFlag)
            item.dwMode |= LM_STRETCH;
        if ((pBar->GetFlags() & kHideWrapFlag) && !bCustomize)
            item.dwMode |= LM_HIDEWRAP;
        const CSize sz = AlongAcross(pBar->CalcDockingLayout(nLength, item.dwMode, 0), bHorz);
        int nStart = 0;
        if (CXTPDockContext* pContext = pBar->GetDockContext())
            nStart = bHorz ? pContext->m_rectMRUDockPos.left : pContext->m_rectMRUDockPos.top;
        item.rc = CRect(nStart, nOffset, nStart + sz.cx, nOffset + sz.cy);
        item.rcDesired = item.rc;
        item.szFull = sz;
        item.bPushed = FALSE;
    }
    // By desired start; equal starts in array order.
    std::stable_sort(row.begin(), row.end(), [](const RowItem& a, const RowItem& b) {
        return a.rcDesired.left != b.rcDesired.left ? a.rcDesired.left < b.rcDesired.left : a.nIndex < b.nIndex;
    });
    auto moveTo = [](RowItem& item, int nLeft) {
        item.rc.OffsetRect(nLeft - item.rc.left, 0);
        item.bPushed = TRUE;
    };
    const size_t n = row.size();
    for (size_t k = 0; k < n; ++k) {
        RowItem& cur = row[k];
        if (k == 0) {
            if (cur.rc.left < 0)
                moveTo(cur, 0);
            continue;
        }
        const RowItem& prev = row[k - 1];
        if (cur.rc.left < prev.rc.right && (prev.nIndex < cur.nIndex || prev.bPushed))
            moveTo(cur, prev.rc.right);
    }
    for (size_t k = n; k-- > 0;) {
        RowItem& cur = row[k];
        const BOOL bLast = k == n - 1;
        const int nLimit = bLast ? nLength : static_cast<int>(row[k + 1].rc.left);
        if (cur.rc.right > nLimit && (bLast || row[k + 1].nIndex < cur.nIndex || row[k + 1].bPushed))
            moveTo(cur, nLimit - cur.rc.Width());
    }
    for (size_t k = 0; k < n; ++k) {
        const int nMin = k == 0 ? 0 : static_cast<int>(row[k - 1].rc.right);
        if (row[k].rc.left < nMin)
            moveTo(row[k], nMin);
    }

    if (row[n - 1].rc.right > nLength) {
        int nTotal = 0;
        for (RowItem& item : row) {
            item.nMinLength = (item.dwMode & LM_HIDEWRAP)
                                  ? AlongAcross(item.pBar->CalcDockingLayout(1, item.dwMode, 0), bHorz).cx
                                  : item.rc.Width();
            item.nTotalMinLength = nTotal;
            nTotal += item.nMinLength;
        }
        int nLimit = nLength;
        for (size_t k = n; k-- > 0;) {
            RowItem& item = row[k];
            int nStart = std::min(item.rcDesired.left, item.rc.left);
            nStart = std::max(nStart, nLimit - item.rc.Width());
            nStart = std::max(nStart, item.nTotalMinLength);
            nStart = std::min(nStart, nLimit - item.nMinLength);
            if (nStart < item.nTotalMinLength && n > 1) {
                nSpill = n - 1;
                return FALSE;
            }
            item.rc.left = std::max(nStart, 0);
            item.rc.right = nLimit;
            nLimit = item.rc.left;
        }
    }

    nThickness = 0;
    for (const RowItem& item : row) {
        // A bar that kept its full length keeps its thickness too, and a
        // hide-wrap bar stays one row thick at any length.
        const CSize sz = item.rc.Width() == item.szFull.cx || (item.dwMode & LM_HIDEWRAP)
                             ? item.szFull
                             : AlongAcross(item.pBar->CalcDockingLayout(item.rc.Width(), item.dwMode, 0), bHorz);
        nThickness = std::max(nThickness, static_cast<int>(sz.cy));
    }

    if (!phdwp)
        return TRUE;
    const int nPosition = GetPosition();
    for (RowItem& item : row) {
        CXTPToolBar* pBar = item.pBar;
        pBar->SetRowShortened((item.dwMode & LM_HIDEWRAP) && item.rc.Width() < item.szFull.cx);
        const CSize sz =
            AlongAcross(pBar->CalcDockingLayout(item.rc.Width(), item.dwMode | LM_COMMIT, nThickness), bHorz);
        CRect rc(item.rc.left, nOffset, item.rc.left + sz.cx, nOffset + sz.cy);
        if (!bHorz)
            rc = CRect(rc.top, rc.left, rc.bottom, rc.right);
        if (CXTPDockContext* pContext = pBar->GetDockContext())
            pContext->m_uMRUDockPosition = nPosition;
        if (!pBar->GetSafeHwnd())
            continue;
        CRect rcOld;
        pBar->GetWindowRect(&rcOld);
        ScreenToClient(&rcOld);
        if (rcOld != rc) {
            // Without a batch (or once it failed) the bars move at once.
            if (*phdwp)
                *phdwp = ::DeferWindowPos(*phdwp, pBar->m_hWnd, nullptr, rc.left, rc.top, rc.Width(), rc.Height(),
                                          SWP_NOZORDER | SWP_NOACTIVATE);
            if (!*phdwp)
                pBar->SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        }
        pBar->Invalidate(FALSE);
    }
    return TRUE;
}

int CXTPDockBar::WrapRow(std::vector<RowItem>& row, int nOffset, int nLength, BOOL bHorz, HDWP* phdwp)
{
    int nTotal = 0;
    std::vector<RowItem> current = row;
    while (!current.empty()) {
        std::vector<RowItem> spill;
        int nThickness = 0;
        size_t nSpill = 0;
        while (!LayoutRow(current, nOffset, nLength, bHorz, phdwp, nThickness, nSpill)) {
            spill.push_back(current[nSpill]);
            current.erase(current.begin() + static_cast<std::ptrdiff_t>(nSpill));
        }
        nTotal += nThickness;
        nOffset += nThickness;
        std::sort(spill.begin(), spill.end(), [](const RowItem& a, const RowItem& b) { return a.nIndex < b.nIndex; });
        current.swap(spill);
    }
    return nTotal;
}

CSize CXTPDockBar::CalcDockBarLayout(int nLength, DWORD dwMode, AFX_SIZEPARENTPARAMS* pLayout)
{
    const BOOL bHorz = IsHorizontal();
    CSize sz(0, 0);
    if (dwMode & LM_STRETCH)
        sz = bHorz ? CSize(32767, 0) : CSize(0, 32767);
    // Measured only, unless the frame's pass places its bars.
    const BOOL bCommit = pLayout && pLayout->hDWP;
    HDWP hdwp = bCommit ? ::BeginDeferWindowPos(static_cast<int>(m_arrBars.size())) : nullptr;
    int nOffset = 0;
    std::vector<RowItem> row;
    for (size_t i = 0; i < m_arrBars.size(); ++i) {
        CXTPToolBar* pBar = m_arrBars[i];
        if (pBar) {
            if (pBar->IsVisible()) {
                RowItem item;
                item.pBar = pBar;
                item.nIndex = static_cast<int>(i);
                row.push_back(item);
            }
            continue;
        }
        if (row.empty())
            continue;
        nOffset += WrapRow(row, nOffset, nLength, bHorz, bCommit ? &hdwp : nullptr);
        row.clear();
    }
    if (hdwp)
        ::EndDeferWindowPos(hdwp);
    if (bHorz)
        sz.cy = std::max(sz.cy, static_cast<LONG>(nOffset));
    else
        sz.cx = std::max(sz.cx, static_cast<LONG>(nOffset));
    return sz;
}

LRESULT CXTPDockBar::OnSizeParent(WPARAM, LPARAM lParam)
{
    auto* lpLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    if (!lpLayout || !(GetStyle() & WS_VISIBLE))
        return 0;
    const BOOL bHorz = IsHorizontal();
    DWORD dwMode = lpLayout->bStretch ? LM_STRETCH : 0;
    dwMode |= bHorz ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK;
    const CRect rcFree(lpLayout->rect);
    CSize sz = CalcDockBarLayout(bHorz ? rcFree.Width() : rcFree.Height(), dwMode, lpLayout);
    sz.cx = std::min(sz.cx, static_cast<LONG>(std::max(0, static_cast<int>(rcFree.Width()))));
    sz.cy = std::min(sz.cy, static_cast<LONG>(std::max(0, static_cast<int>(rcFree.Height()))));

    CRect rc = rcFree;
    switch (GetPosition()) {
    case xtpBarTop:
        rc.bottom = rc.top + sz.cy;
        lpLayout->rect.top += sz.cy;
        break;
    case xtpBarBottom:
        rc.top = rc.bottom - sz.cy;
        lpLayout->rect.bottom -= sz.cy;
        break;
    case xtpBarLeft:
        rc.right = rc.left + sz.cx;
        lpLayout->rect.left += sz.cx;
        break;
    default:
        rc.left = rc.right - sz.cx;
        lpLayout->rect.right -= sz.cx;
        break;
    }
    if (bHorz) {
        lpLayout->sizeTotal.cy += sz.cy;
        lpLayout->sizeTotal.cx = std::max(lpLayout->sizeTotal.cx, sz.cx);
    } else {
        lpLayout->sizeTotal.cx += sz.cx;
        lpLayout->sizeTotal.cy = std::max(lpLayout->sizeTotal.cy, sz.cy);
    }
    if (lpLayout->hDWP) {
        AfxRepositionWindow(lpLayout, m_hWnd, &rc);
        Invalidate(FALSE);
    }
    return 0;
}

// Painting and the mouse ------------------------------------------------------------------

void CXTPDockBar::OnPaint()
{
    PAINTSTRUCT ps;
    CDC* pDC = BeginPaint(&ps);
    if (CXTPPaintManager* pPaintManager = m_pCommandBars ? m_pCommandBars->GetPaintManager() : nullptr)
        pPaintManager->FillDockBar(pDC, this);
    EndPaint(&ps);
}

LRESULT CXTPDockBar::OnPrint(WPARAM wParam, LPARAM lParam)
{
    CDC* pDC = CDC::FromHandle(reinterpret_cast<HDC>(wParam));
    if (!pDC)
        return 0;
    if (CXTPPaintManager* pPaintManager = m_pCommandBars ? m_pCommandBars->GetPaintManager() : nullptr)
        pPaintManager->FillDockBar(pDC, this);
    if (lParam & PRF_CHILDREN) {
        for (HWND hChild = ::GetTopWindow(m_hWnd); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
            if (!::IsWindowVisible(hChild))
                continue;
            CRect rc;
            ::GetWindowRect(hChild, &rc);
            ScreenToClient(&rc);
            POINT ptOld;
            ::OffsetViewportOrgEx(pDC->m_hDC, rc.left, rc.top, &ptOld);
            ::SendMessageA(hChild, WM_PRINT, wParam, lParam);
            ::SetViewportOrgEx(pDC->m_hDC, ptOld.x, ptOld.y, nullptr);
        }
    }
    return 0;
}

void CXTPDockBar::OnRButtonDown(UINT, CPoint point)
{
    if (!m_pCommandBars)
        return;
    ClientToScreen(&point);
    m_pCommandBars->ContextMenu(point.x, point.y);
}
