#include "toolkit/commandbars/XTPTabClientWnd.h"

#include "platform/mfc/FrameWnd.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"
#include "platform/win/WindowPos.h"
#include "toolkit/controls/XTGlobalData.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CXTPTabClientWnd, CWnd)

BEGIN_MESSAGE_MAP(CXTPTabClientWnd, CWnd)
    ON_WM_PAINT()
    ON_WM_MOUSEMOVE()
    ON_WM_SIZE()
    ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
END_MESSAGE_MAP()

namespace {

constexpr int kTabPadding = 8;
constexpr int kCloseSize = 14;

} // namespace

int CXTPTabClientWnd::CWorkspace::FindItem(HWND hWnd) const
{
    for (size_t i = 0; i < m_arrItems.size(); ++i)
        if (m_arrItems[i]->hWnd == hWnd)
            return static_cast<int>(i);
    return -1;
}

CXTPTabClientWnd::CTabItem* CXTPTabClientWnd::CWorkspace::GetSelected() const
{
    return m_nSelected >= 0 && static_cast<size_t>(m_nSelected) < m_arrItems.size()
               ? m_arrItems[static_cast<size_t>(m_nSelected)].get()
               : nullptr;
}

void CXTPTabClientWnd::CWorkspace::RemoveItem(int nIndex)
{
    if (nIndex < 0 || static_cast<size_t>(nIndex) >= m_arrItems.size())
        return;
    m_arrItems.erase(m_arrItems.begin() + nIndex);
    const int nCount = static_cast<int>(m_arrItems.size());
    if (m_nSelected == nIndex)
        m_nSelected = nCount == 0 ? -1 : std::min(nIndex, nCount - 1);
    else if (m_nSelected > nIndex)
        --m_nSelected;
}

void CXTPTabClientWnd::CWorkspace::RepositionTabs(CDC* pDC)
{
    int x = m_rcStrip.left + m_nScrollOffset;
    for (auto& pItem : m_arrItems) {
        int nText = pItem->strCaption.GetLength() * 7;
        if (pDC)
            nText = pDC->GetTextExtent(pItem->strCaption).cx;
        const int nWidth = nText + 2 * kTabPadding + kCloseSize;
        pItem->rcItem = CRect(x, m_rcStrip.top, x + nWidth, m_rcStrip.bottom);
        pItem->rcClose = CRect(pItem->rcItem.right - kCloseSize - 2, pItem->rcItem.top + 4, pItem->rcItem.right - 2,
                               pItem->rcItem.top + 4 + kCloseSize);
        x += nWidth;
    }
}

void CXTPTabClientWnd::CWorkspace::EnsureVisible(int nIndex)
{
    if (nIndex < 0 || static_cast<size_t>(nIndex) >= m_arrItems.size())
        return;
    const CRect rc = m_arrItems[static_cast<size_t>(nIndex)]->rcItem;
    int nOffset = m_nScrollOffset;
    if (rc.right > m_rcStrip.right)
        nOffset -= rc.right - m_rcStrip.right;
    else if (rc.left < m_rcStrip.left)
        nOffset += m_rcStrip.left - rc.left;
    nOffset = std::min(nOffset, 0);
    if (nOffset == m_nScrollOffset)
        return;
    const int nDelta = nOffset - m_nScrollOffset;
    m_nScrollOffset = nOffset;
    for (auto& pItem : m_arrItems) {
        pItem->rcItem.OffsetRect(nDelta, 0);
        pItem->rcClose.OffsetRect(nDelta, 0);
    }
}

CXTPTabClientWnd::CXTPTabClientWnd() = default;

CXTPTabClientWnd::~CXTPTabClientWnd()
{
    if (m_hWnd)
        DestroyWindow();
}

BOOL CXTPTabClientWnd::Attach(CFrameWnd* pFrame, CWnd* pClient, BOOL bEnableGroups)
{
    if (!pFrame || !pClient || !pClient->GetSafeHwnd())
        return FALSE;
    m_pFrame = pFrame;
    m_pClient = pClient;
    m_bEnableGroups = bEnableGroups;
    if (!m_hWnd) {
        CRect rc;
        pClient->GetWindowRect(&rc);
        CWnd* pParent = pClient->GetParent();
        if (pParent)
            pParent->ScreenToClient(&rc);
        LPCTSTR lpszClass = AfxRegisterWndClass(0, ::LoadCursorA(nullptr, IDC_ARROW));
        if (!CreateEx(0, lpszClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rc, pParent, 0))
            return FALSE;
    }
    m_bAttached = TRUE;
    return TRUE;
}

void CXTPTabClientWnd::Detach()
{
    m_bAttached = FALSE;
    m_arrWorkspaces.clear();
    m_pActiveWorkspace = nullptr;
    m_pHot = nullptr;
}

HWND CXTPTabClientWnd::GetActiveDocument() const
{
    if (!m_pClient || !m_pClient->GetSafeHwnd())
        return nullptr;
    for (HWND hChild = ::GetWindow(m_pClient->m_hWnd, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
        if (::IsWindowVisible(hChild))
            return hChild;
    return nullptr;
}

CXTPTabClientWnd::CTabItem* CXTPTabClientWnd::FindItem(HWND hWnd, CWorkspace** ppWorkspace) const
{
    for (const auto& pWorkspace : m_arrWorkspaces) {
        const int nIndex = pWorkspace->FindItem(hWnd);
        if (nIndex != -1) {
            if (ppWorkspace)
                *ppWorkspace = pWorkspace.get();
            return pWorkspace->m_arrItems[static_cast<size_t>(nIndex)].get();
        }
    }
    return nullptr;
}

int CXTPTabClientWnd::FindWorkspace(const CWorkspace* pWorkspace) const
{
    for (size_t i = 0; i < m_arrWorkspaces.size(); ++i)
        if (m_arrWorkspaces[i].get() == pWorkspace)
            return static_cast<int>(i);
    return -1;
}

void CXTPTabClientWnd::Refresh(BOOL bRecalcLayout)
{
    if (m_bRefreshing)
        return;
    m_bRefreshing = TRUE;
    UpdateContents();
    if (!m_arrWorkspaces.empty() && m_hWnd) {
        CPoint pt;
        ::GetCursorPos(&pt);
        ScreenToClient(&pt);
        UpdateHot(pt);
    }
    if (bRecalcLayout && m_pFrame && m_pFrame->GetSafeHwnd())
        m_pFrame->RecalcLayout(FALSE);
    m_bRefreshing = FALSE;
}

void CXTPTabClientWnd::RemoveWorkspace(size_t nIndex)
{
    CWorkspace* pWorkspace = m_arrWorkspaces[nIndex].get();
    // Its share goes to its neighbour: the previous one, else the next.
    if (nIndex > 0)
        m_arrWorkspaces[nIndex - 1]->m_dShare += pWorkspace->m_dShare;
    else if (m_arrWorkspaces.size() > 1)
        m_arrWorkspaces[1]->m_dShare += pWorkspace->m_dShare;
    if (m_pActiveWorkspace == pWorkspace)
        m_pActiveWorkspace = nullptr;
    if (m_pHot && pWorkspace->FindItem(m_pHot->hWnd) != -1)
        m_pHot = nullptr;
    m_arrWorkspaces.erase(m_arrWorkspaces.begin() + static_cast<std::ptrdiff_t>(nIndex));
}

void CXTPTabClientWnd::UpdateContents()
{
    if (!m_hWnd || !IsWindowVisible() || !m_bAttached || m_bUpdating || !m_pFrame || !m_pClient)
        return;
    m_bUpdating = TRUE;
    m_bLayoutPending = FALSE;
    const HWND hActive = GetActiveDocument();
    for (auto& pWorkspace : m_arrWorkspaces)
        for (auto& pItem : pWorkspace->m_arrItems)
            pItem->bFound = FALSE;

    CWorkspace* pSelectIn = nullptr;
    for (HWND hChild = ::GetWindow(m_pClient->m_hWnd, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        CWorkspace* pWorkspace = nullptr;
        CTabItem* pItem = FindItem(hChild, &pWorkspace);
        if (!::IsWindowVisible(hChild)) {
            if (pItem) {
                if (m_pHot == pItem)
                    m_pHot = nullptr;
                pWorkspace->RemoveItem(pWorkspace->FindItem(hChild));
                m_bLayoutPending = TRUE;
            }
            continue;
        }
        char szText[256] = {};
        ::GetWindowTextA(hChild, szText, sizeof(szText));
        if (!pItem) {
            if (m_arrWorkspaces.empty()) {
                m_arrWorkspaces.push_back(std::make_unique<CWorkspace>());
                m_bLayoutPending = TRUE;
            }
            pWorkspace = m_pActiveWorkspace ? m_pActiveWorkspace : m_arrWorkspaces.front().get();
            auto pNew = std::make_unique<CTabItem>();
            pNew->hWnd = hChild;
            pNew->strCaption = szText;
            pItem = pNew.get();
            pWorkspace->m_arrItems.push_back(std::move(pNew));
            m_bLayoutPending = TRUE;
            m_pFrame->SendMessage(WM_XTP_NEWTABITEM, reinterpret_cast<WPARAM>(pItem), 0);
        } else if (pItem->strCaption != szText) {
            pItem->strCaption = szText;
            m_bLayoutPending = TRUE;
        }
        pItem->bFound = TRUE;
        if (hChild == hActive)
            pSelectIn = pWorkspace;
    }

    for (size_t w = m_arrWorkspaces.size(); w-- > 0;) {
        CWorkspace* pWorkspace = m_arrWorkspaces[w].get();
        for (int i = static_cast<int>(pWorkspace->m_arrItems.size()); i-- > 0;) {
            if (!pWorkspace->m_arrItems[static_cast<size_t>(i)]->bFound) {
                if (m_pHot == pWorkspace->m_arrItems[static_cast<size_t>(i)].get())
                    m_pHot = nullptr;
                pWorkspace->RemoveItem(i);
                m_bLayoutPending = TRUE;
            }
        }
        if (pWorkspace->m_arrItems.empty()) {
            if (pSelectIn == pWorkspace)
                pSelectIn = nullptr;
            RemoveWorkspace(w);
            m_bLayoutPending = TRUE;
        }
    }

    if (pSelectIn) {
        pSelectIn->m_nSelected = pSelectIn->FindItem(hActive);
        if (m_pActiveWorkspace != pSelectIn) {
            if (m_pActiveWorkspace)
                m_pActiveWorkspace->m_bActive = FALSE;
            m_pActiveWorkspace = pSelectIn;
            pSelectIn->m_bActive = TRUE;
            Invalidate(FALSE);
        }
    }

    m_bUpdating = FALSE;
    if (m_bLayoutPending && m_pFrame->GetSafeHwnd())
        m_pFrame->RecalcLayout(FALSE);
    RecalcLayout();
    if (m_pActiveWorkspace)
        m_pActiveWorkspace->EnsureVisible(m_pActiveWorkspace->m_nSelected);
}

void CXTPTabClientWnd::RecalcLayout()
{
    if (!m_hWnd)
        return;
    CRect rcClient;
    GetClientRect(&rcClient);
    CClientDC dc(this);
    CFont* pOld = dc.SelectObject(&XTGetGlobalData()->font);
    double dStart = 0;
    for (auto& pWorkspace : m_arrWorkspaces) {
        const double dEnd = dStart + pWorkspace->m_dShare;
        CRect rc = rcClient;
        if (m_bHorizontalGroups) {
            rc.top = rcClient.top + static_cast<int>(rcClient.Height() * dStart);
            rc.bottom = rcClient.top + static_cast<int>(rcClient.Height() * dEnd);
        } else {
            rc.left = rcClient.left + static_cast<int>(rcClient.Width() * dStart);
            rc.right = rcClient.left + static_cast<int>(rcClient.Width() * dEnd);
        }
        pWorkspace->m_rcWorkspace = rc;
        pWorkspace->m_rcStrip = CRect(rc.left, rc.top, rc.right, rc.top + s_nStripHeight);
        pWorkspace->RepositionTabs(&dc);
        dStart = dEnd;
    }
    dc.SelectObject(pOld);
    Invalidate(FALSE);
}

BOOL CXTPTabClientWnd::IsCommandEnabled(UINT nID, CTabItem** ppItem) const
{
    if (!m_bEnableGroups)
        return FALSE;
    CWorkspace* pWorkspace = nullptr;
    CTabItem* pItem = FindItem(GetActiveDocument(), &pWorkspace);
    if (!pItem)
        return FALSE;
    if (ppItem)
        *ppItem = pItem;
    const int nIndex = FindWorkspace(pWorkspace);
    const int nCount = GetWorkspaceCount();
    const BOOL bMany = pWorkspace->m_arrItems.size() > 1;
    switch (nID) {
    case XTP_ID_WORKSPACE_MOVEPREVIOUS:
        return nIndex > 0;
    case XTP_ID_WORKSPACE_MOVENEXT:
        return nIndex < nCount - 1;
    case XTP_ID_WORKSPACE_NEWHORIZONTAL:
        return (nCount == 1 || m_bHorizontalGroups) && bMany;
    case XTP_ID_WORKSPACE_NEWVERTICAL:
        return (nCount == 1 || !m_bHorizontalGroups) && bMany;
    default:
        return TRUE;
    }
}

void CXTPTabClientWnd::MoveItem(CWorkspace* pFrom, int nIndex, CWorkspace* pTo)
{
    std::unique_ptr<CTabItem> pItem = std::move(pFrom->m_arrItems[static_cast<size_t>(nIndex)]);
    pFrom->RemoveItem(nIndex);
    pTo->m_arrItems.push_back(std::move(pItem));
    pTo->m_nSelected = static_cast<int>(pTo->m_arrItems.size()) - 1;
}

BOOL CXTPTabClientWnd::OnWorkspaceCommand(UINT nID)
{
    CTabItem* pItem = nullptr;
    if (nID < XTP_ID_WORKSPACE_MOVEPREVIOUS || nID > XTP_ID_WORKSPACE_NEWVERTICAL || !IsCommandEnabled(nID, &pItem))
        return FALSE;
    CWorkspace* pFrom = nullptr;
    FindItem(pItem->hWnd, &pFrom);
    const int nFrom = FindWorkspace(pFrom);
    const int nItem = pFrom->FindItem(pItem->hWnd);
    CWorkspace* pTo = nullptr;
    if (nID == XTP_ID_WORKSPACE_MOVEPREVIOUS || nID == XTP_ID_WORKSPACE_MOVENEXT) {
        pTo = GetWorkspace(nID == XTP_ID_WORKSPACE_MOVEPREVIOUS ? nFrom - 1 : nFrom + 1);
    } else {
        m_bHorizontalGroups = nID == XTP_ID_WORKSPACE_NEWHORIZONTAL;
        auto pNew = std::make_unique<CWorkspace>();
        // The new group takes half of the one it comes from.
        pFrom->m_dShare /= 2;
        pNew->m_dShare = pFrom->m_dShare;
        pTo = pNew.get();
        m_arrWorkspaces.insert(m_arrWorkspaces.begin() + nFrom + 1, std::move(pNew));
    }
    MoveItem(pFrom, nItem, pTo);
    if (pFrom->m_arrItems.empty())
        RemoveWorkspace(static_cast<size_t>(FindWorkspace(pFrom)));
    if (m_pActiveWorkspace)
        m_pActiveWorkspace->m_bActive = FALSE;
    m_pActiveWorkspace = pTo;
    pTo->m_bActive = TRUE;
    RecalcLayout();
    return TRUE;
}

void CXTPTabClientWnd::UpdateHot(CPoint pt)
{
    CTabItem* pHot = nullptr;
    for (auto& pWorkspace : m_arrWorkspaces)
        for (auto& pItem : pWorkspace->m_arrItems)
            if (pItem->rcItem.PtInRect(pt) && pWorkspace->m_rcStrip.PtInRect(pt))
                pHot = pItem.get();
    if (pHot == m_pHot)
        return;
    if (m_pHot)
        m_pHot->bHot = FALSE;
    m_pHot = pHot;
    if (pHot) {
        pHot->bHot = TRUE;
        TRACKMOUSEEVENT tme{sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_hWnd, 0};
        ::TrackMouseEvent(&tme);
    }
    Invalidate(FALSE);
}

void CXTPTabClientWnd::OnMouseMove(UINT nFlags, CPoint point)
{
    UpdateHot(point);
    CWnd::OnMouseMove(nFlags, point);
}

LRESULT CXTPTabClientWnd::OnMouseLeave(WPARAM, LPARAM)
{
    UpdateHot(CPoint(-1, -1));
    return 0;
}

void CXTPTabClientWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    RecalcLayout();
}

void CXTPTabClientWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect rcClient;
    GetClientRect(&rcClient);
    dc.FillSolidRect(rcClient, ::GetSysColor(COLOR_APPWORKSPACE));
    CFont* pOld = dc.SelectObject(&XTGetGlobalData()->font);
    dc.SetBkMode(TRANSPARENT);
    for (auto& pWorkspace : m_arrWorkspaces) {
        dc.FillSolidRect(pWorkspace->m_rcStrip, ::GetSysColor(COLOR_3DFACE));
        for (size_t i = 0; i < pWorkspace->m_arrItems.size(); ++i) {
            CTabItem* pItem = pWorkspace->m_arrItems[i].get();
            CRect rc = pItem->rcItem;
            const BOOL bSelected = static_cast<int>(i) == pWorkspace->m_nSelected;
            if (bSelected)
                dc.FillSolidRect(rc, ::GetSysColor(COLOR_WINDOW));
            dc.Draw3dRect(rc, ::GetSysColor(COLOR_3DHIGHLIGHT), ::GetSysColor(COLOR_3DSHADOW));
            dc.SetTextColor(::GetSysColor(bSelected || pItem->bHot ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
            CRect rcText = rc;
            rcText.left += kTabPadding;
            rcText.right = pItem->rcClose.left;
            dc.DrawText(pItem->strCaption, rcText, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS);
        }
    }
    dc.SelectObject(pOld);
}
