#include "toolkit/controls/XTResize.h"

#include "platform/mfc/WinApp.h"
#include "platform/mfc/WndMessages.h"
#include "platform/win/ScrollBar.h"
#include "toolkit/controls/XTGlobalData.h"

#include <cstring>
#include <strings.h>

IMPLEMENT_DYNAMIC(CXTSizeGrip, CWnd)

BEGIN_MESSAGE_MAP(CXTSizeGrip, CWnd)
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

BOOL CXTSizeGrip::OnSetCursor(CWnd*, UINT nHitTest, UINT)
{
    if (nHitTest == HTCLIENT && m_hCursor) {
        ::SetCursor(m_hCursor);
        return TRUE;
    }
    return static_cast<BOOL>(Default());
}

IMPLEMENT_DYNAMIC(CXTResizeGroupBox, CButton)

CXTResizeItem::CXTResizeItem(CWnd* pWnd, const CXTAnchorRect& anchor, const CXTResizeRect& rect, BOOL bOwnsWindow)
    : m_bOwnsWnd(bOwnsWindow), m_pWnd(pWnd), m_rrcSizing(anchor), m_rrcWindow(rect)
{
}

CXTResizeItem::~CXTResizeItem()
{
    if (m_bOwnsWnd && m_pWnd) {
        m_pWnd->Detach();
        delete m_pWnd;
    }
}

void CXTResizeItem::MakeTransparent(CXTResizeLayout* pLayout)
{
    if ((pLayout->GetFlags() & SZ_NOTRANSPARENTGROUP) || !m_pWnd || !::IsWindow(m_pWnd->GetSafeHwnd()))
        return;
    char name[8] = {};
    ::GetClassNameA(m_pWnd->GetSafeHwnd(), name, sizeof(name));
    if (strncasecmp(name, "Button", 7) != 0)
        return;
    if ((m_pWnd->GetStyle() & 0x10007) != BS_GROUPBOX || m_pWnd->IsKindOf(RUNTIME_CLASS(CXTResizeGroupBox)))
        return;
    m_pWnd->ModifyStyleEx(0, WS_EX_TRANSPARENT);
    m_pWnd->SetWindowPos(nullptr, 0, 0, 0, 0,
                         SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    m_bIsGroupBox = TRUE;
}

CXTResizeLayout::CXTResizeLayout(CWnd* pOwner, UINT nFlags) : m_nLayoutFlags(nFlags), m_pWnd(pOwner)
{
    m_rcWindow.SetRectEmpty();
    m_rcInitWindow.SetRectEmpty();
    m_scrollBar.m_hCursor = ::LoadCursorA(nullptr, IDC_SIZENWSE);
}

CXTResizeLayout::~CXTResizeLayout()
{
    RemoveAllItems();
    if (m_scrollBar.GetSafeHwnd())
        m_scrollBar.DestroyWindow();
}

void CXTResizeLayout::RemoveAllItems()
{
    for (CXTResizeItem* item : m_arrItems)
        delete item;
    m_arrItems.clear();
}

void CXTResizeLayout::Init()
{
    if (!m_pWnd || !m_pWnd->GetSafeHwnd())
        return;
    RemoveAllItems();
    m_pWnd->GetWindowRect(&m_rcInitWindow);
    m_rcWindow = m_rcInitWindow;
    if (!(m_nLayoutFlags & SZ_NOMINSIZE))
        m_szMin = CSize(m_rcInitWindow.Width(), m_rcInitWindow.Height());
    if (!(m_nLayoutFlags & SZ_NOCLIPCHILDREN))
        m_pWnd->ModifyStyle(0, WS_CLIPCHILDREN);
    if (m_nLayoutFlags & SZ_NOSIZEICON)
        return;
    if (!m_scrollBar.GetSafeHwnd()) {
        CRect client;
        m_pWnd->GetClientRect(&client);
        CXTGlobalData* data = XTGetGlobalData();
        const CPoint corner(client.right - 1, client.bottom - 1);
        const CRect rc(corner.x - data->cxSmIcon, corner.y - data->cySmIcon, corner.x, corner.y);
        m_scrollBar.Create(tavrin::win::ScrollBarClass(), nullptr, WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP, rc, m_pWnd,
                           XT_IDC_SIZEGRIP);
    }
    if (m_scrollBar.GetSafeHwnd()) {
        ::SetWindowPos(m_scrollBar.GetSafeHwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        SetResize(XT_IDC_SIZEGRIP, nullptr, CXTAnchorRect(1, 1, 1, 1));
    }
}

void CXTResizeLayout::SetResize(UINT nID, HWND hWnd, CXTAnchorRect rrc)
{
    for (CXTResizeItem* item : m_arrItems) {
        if (item->m_pWnd && ::IsWindow(item->m_pWnd->GetSafeHwnd()) &&
            static_cast<UINT>(item->m_pWnd->GetDlgCtrlID()) == nID) {
            item->m_rrcSizing.left += rrc.left;
            item->m_rrcSizing.top += rrc.top;
            item->m_rrcSizing.right += rrc.right;
            item->m_rrcSizing.bottom += rrc.bottom;
            return;
        }
    }
    if (!hWnd && m_pWnd && m_pWnd->GetSafeHwnd())
        hWnd = ::GetDlgItem(m_pWnd->GetSafeHwnd(), static_cast<int>(nID));
    CWnd* wnd = nullptr;
    BOOL owns = FALSE;
    CXTResizeRect rect;
    if (hWnd && ::IsWindow(hWnd)) {
        wnd = CWnd::FromHandlePermanent(hWnd);
        if (!wnd) {
            wnd = new CWnd;
            wnd->Attach(hWnd);
            owns = TRUE;
        }
        CRect rc;
        wnd->GetWindowRect(&rc);
        if (m_pWnd)
            m_pWnd->ScreenToClient(&rc);
        rect = {static_cast<float>(rc.left), static_cast<float>(rc.top), static_cast<float>(rc.right),
                static_cast<float>(rc.bottom)};
    }
    auto* item = new CXTResizeItem(wnd, rrc, rect, owns);
    item->MakeTransparent(this);
    m_arrItems.push_back(item);
}

BOOL CXTResizeLayout::Defer(HDWP& hdwp, CXTResizeItem* pItem, int dx, int dy)
{
    CWnd* wnd = pItem->m_pWnd;
    if (!wnd || !::IsWindow(wnd->GetSafeHwnd()))
        return TRUE;
    if (!pItem->m_bInitialized) {
        // Registered after the owner changed size: catch up from the start.
        CRect rc;
        m_pWnd->GetWindowRect(&rc);
        dx = rc.Width() - m_rcInitWindow.Width();
        dy = rc.Height() - m_rcInitWindow.Height();
        pItem->m_bInitialized = TRUE;
    }
    const CXTResizeRect& cur = pItem->m_rrcWindow;
    const CXTAnchorRect& anchor = pItem->m_rrcSizing;
    const float fdx = static_cast<float>(dx);
    const float fdy = static_cast<float>(dy);
    const CXTResizeRect next{cur.left + fdx * anchor.left, cur.top + fdy * anchor.top, cur.right + fdx * anchor.right,
                             cur.bottom + fdy * anchor.bottom};
    if (next == cur)
        return TRUE;
    const int x = static_cast<int>(next.left);
    const int y = static_cast<int>(next.top);
    const int cx = static_cast<int>(next.right - next.left);
    const int cy = static_cast<int>(next.bottom - next.top);
    CRect now;
    wnd->GetWindowRect(&now);
    m_pWnd->ScreenToClient(&now);
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    if (x == now.left && y == now.top)
        flags |= SWP_NOMOVE;
    if (static_cast<int>(next.right) - x == now.Width() && static_cast<int>(next.bottom) - y == now.Height())
        flags |= SWP_NOSIZE;
    else
        flags |= SWP_NOCOPYBITS;
    hdwp = ::DeferWindowPos(hdwp, wnd->GetSafeHwnd(), nullptr, x, y, cx, cy, flags);
    if (!hdwp)
        return FALSE;
    pItem->m_rrcWindow = next;
    return TRUE;
}

void CXTResizeLayout::Move()
{
    if (m_arrItems.empty() || !m_pWnd || !m_pWnd->GetSafeHwnd())
        return;
    CRect rc;
    m_pWnd->GetWindowRect(&rc);
    const int dx = rc.Width() - m_rcWindow.Width();
    const int dy = rc.Height() - m_rcWindow.Height();
    HDWP hdwp = ::BeginDeferWindowPos(static_cast<int>(m_arrItems.size()));
    BOOL moved = FALSE;
    for (CXTResizeItem* item : m_arrItems)
        moved |= Defer(hdwp, item, dx, dy);
    if (moved && hdwp)
        ::EndDeferWindowPos(hdwp);
    for (CXTResizeItem* item : m_arrItems) {
        if (!item->m_bIsGroupBox || !item->m_pWnd || !item->m_pWnd->GetSafeHwnd())
            continue;
        // The owner erases beneath the transparent box, so its old frame
        // leaves no trail, and the box draws itself again on top.
        CRect box;
        item->m_pWnd->GetWindowRect(&box);
        m_pWnd->ScreenToClient(&box);
        m_pWnd->InvalidateRect(&box, TRUE);
        ::InvalidateRect(item->m_pWnd->GetSafeHwnd(), nullptr, TRUE);
    }
    m_rcWindow = rc;
}

void CXTResizeLayout::GetMinMaxInfo(MINMAXINFO* pMMI)
{
    if (!pMMI)
        return;
    if (!m_rcWindow.IsRectNull()) {
        if (m_nLayoutFlags & SZ_NOHORISONTAL)
            pMMI->ptMaxSize.x = pMMI->ptMaxTrackSize.x = m_rcWindow.Width();
        if (m_nLayoutFlags & SZ_NOVERTICAL)
            pMMI->ptMaxSize.y = pMMI->ptMaxTrackSize.y = m_rcWindow.Height();
    }
    if (m_szMin.cx || m_szMin.cy)
        pMMI->ptMinTrackSize = CPoint(m_szMin.cx, m_szMin.cy);
    if (m_szMax.cx || m_szMax.cy)
        pMMI->ptMaxTrackSize = CPoint(m_szMax.cx, m_szMax.cy);
}

void CXTResizeLayout::SavePlacement(CString strSection)
{
    if (!m_pWnd || !m_pWnd->GetSafeHwnd() || strSection.IsEmpty())
        return;
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    if (!m_pWnd->GetWindowPlacement(&wp))
        return;
    if (CWinApp* app = AfxGetApp())
        app->WriteProfileBinary(strSection, "WindowPlacement", reinterpret_cast<LPBYTE>(&wp), sizeof(wp));
}
