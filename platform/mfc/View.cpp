#include "platform/mfc/View.h"

#include "platform/mfc/FrameWnd.h"
#include "platform/mfc/Resource.h"
#include "platform/controls/CommCtrl.h"
#include "platform/win/Input.h"
#include "platform/win/ResourceImage.h"
#include "platform/win/ScrollBar.h"
#include "platform/win/SystemMetrics.h"

#include <algorithm>
#include <cstring>

// CScrollView

IMPLEMENT_DYNAMIC(CScrollView, CView)

BEGIN_MESSAGE_MAP(CScrollView, CView)
    ON_WM_SIZE()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_MOUSEWHEEL()
END_MESSAGE_MAP()

const SIZE CScrollView::sizeDefault = {0, 0};

void CScrollView::SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage, const SIZE& sizeLine)
{
    // Only MM_TEXT is kept: logical units are pixels.
    m_nMapMode = nMapMode ? MM_TEXT : 0;
    m_totalLog = CSize(std::max<LONG>(sizeTotal.cx, 0), std::max<LONG>(sizeTotal.cy, 0));
    m_totalDev = m_totalLog;
    m_pageDev = sizePage;
    m_lineDev = sizeLine;
    if (m_pageDev.cx <= 0)
        m_pageDev.cx = m_totalDev.cx / 10;
    if (m_pageDev.cy <= 0)
        m_pageDev.cy = m_totalDev.cy / 10;
    if (m_lineDev.cx <= 0)
        m_lineDev.cx = std::max<LONG>(m_pageDev.cx / 10, 1);
    if (m_lineDev.cy <= 0)
        m_lineDev.cy = std::max<LONG>(m_pageDev.cy / 10, 1);
    if (m_hWnd) {
        UpdateBars();
        Invalidate(TRUE);
    }
}

void CScrollView::GetDeviceScrollSizes(int& nMapMode, SIZE& sizeTotal, SIZE& sizePage, SIZE& sizeLine) const
{
    nMapMode = m_nMapMode;
    sizeTotal = m_totalDev;
    sizePage = m_pageDev;
    sizeLine = m_lineDev;
}

CPoint CScrollView::GetDeviceScrollPosition() const
{
    return CPoint(::GetScrollPos(m_hWnd, SB_HORZ), ::GetScrollPos(m_hWnd, SB_VERT));
}

CPoint CScrollView::GetScrollPosition() const { return GetDeviceScrollPosition(); }

void CScrollView::ScrollToPosition(POINT pt)
{
    CPoint now = GetDeviceScrollPosition();
    OnScrollBy(CSize(pt.x - now.x, pt.y - now.y), TRUE);
}

void CScrollView::OnPrepareDC(CDC* pDC, void* pInfo)
{
    CView::OnPrepareDC(pDC, pInfo);
    if (!m_nMapMode || !pDC)
        return;
    ::SetMapMode(pDC->m_hDC, MM_TEXT);
    CPoint pos = GetDeviceScrollPosition();
    pDC->SetViewportOrg(-pos.x, -pos.y);
}

void CScrollView::UpdateBars()
{
    if (m_bInsideUpdate || !m_nMapMode)
        return;
    m_bInsideUpdate = TRUE;
    // The client size as it would be without bars.
    CRect client;
    GetClientRect(&client);
    CSize size = client.Size();
    DWORD style = GetStyle();
    const int cxBar = ::GetSystemMetrics(SM_CXVSCROLL);
    const int cyBar = ::GetSystemMetrics(SM_CYHSCROLL);
    if (style & WS_VSCROLL)
        size.cx += cxBar;
    if (style & WS_HSCROLL)
        size.cy += cyBar;
    bool needH = m_totalDev.cx > size.cx;
    bool needV = m_totalDev.cy > size.cy;
    // One bar takes room from the other direction.
    if (needH && !needV)
        needV = m_totalDev.cy > size.cy - cyBar;
    if (needV && !needH)
        needH = m_totalDev.cx > size.cx - cxBar;
    if (needV)
        size.cx -= cxBar;
    if (needH)
        size.cy -= cyBar;
    CPoint old = GetDeviceScrollPosition();
    CPoint pos(needH ? std::clamp<LONG>(old.x, 0, std::max<LONG>(m_totalDev.cx - size.cx, 0)) : 0,
               needV ? std::clamp<LONG>(old.y, 0, std::max<LONG>(m_totalDev.cy - size.cy, 0)) : 0);
    // The content keeps its place relative to the new position.
    if (pos != old)
        ScrollWindow(old.x - pos.x, old.y - pos.y);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = needH ? m_totalDev.cx - 1 : 0;
    info.nPage = needH ? static_cast<UINT>(std::max<LONG>(size.cx, 0)) : 0;
    info.nPos = pos.x;
    ::SetScrollInfo(m_hWnd, SB_HORZ, &info, TRUE);
    info.nMax = needV ? m_totalDev.cy - 1 : 0;
    info.nPage = needV ? static_cast<UINT>(std::max<LONG>(size.cy, 0)) : 0;
    info.nPos = pos.y;
    ::SetScrollInfo(m_hWnd, SB_VERT, &info, TRUE);
    m_bInsideUpdate = FALSE;
}

void CScrollView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    UpdateBars();
}

namespace {

// The new position for a bar's scroll code; false when the code moves nothing.
bool ScrollTarget(HWND hWnd, int bar, UINT code, int line, int page, LONG* pos)
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    if (!::GetScrollInfo(hWnd, bar, &info))
        return false;
    switch (code) {
    case SB_TOP: *pos = 0; return true;
    case SB_BOTTOM: *pos = info.nMax; return true;
    case SB_LINEUP: *pos = info.nPos - line; return true;
    case SB_LINEDOWN: *pos = info.nPos + line; return true;
    case SB_PAGEUP: *pos = info.nPos - page; return true;
    case SB_PAGEDOWN: *pos = info.nPos + page; return true;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: *pos = info.nTrackPos; return true;
    default: return false;
    }
}

} // namespace

BOOL CScrollView::OnScroll(UINT nScrollCode, UINT, BOOL bDoScroll)
{
    CPoint pos = GetDeviceScrollPosition();
    CPoint target = pos;
    bool moves = false;
    UINT hCode = LOBYTE(nScrollCode);
    UINT vCode = HIBYTE(nScrollCode);
    if (hCode != 0xFF)
        moves |= ScrollTarget(m_hWnd, SB_HORZ, hCode, m_lineDev.cx, m_pageDev.cx, &target.x);
    if (vCode != 0xFF)
        moves |= ScrollTarget(m_hWnd, SB_VERT, vCode, m_lineDev.cy, m_pageDev.cy, &target.y);
    return moves && OnScrollBy(CSize(target.x - pos.x, target.y - pos.y), bDoScroll);
}

BOOL CScrollView::OnScrollBy(CSize sizeScroll, BOOL bDoScroll)
{
    CPoint pos = GetDeviceScrollPosition();
    CRect client;
    GetClientRect(&client);
    DWORD style = GetStyle();
    int maxX = (style & WS_HSCROLL) ? std::max<LONG>(m_totalDev.cx - client.Width(), 0) : 0;
    int maxY = (style & WS_VSCROLL) ? std::max<LONG>(m_totalDev.cy - client.Height(), 0) : 0;
    CPoint target(std::clamp<LONG>(pos.x + sizeScroll.cx, 0, maxX), std::clamp<LONG>(pos.y + sizeScroll.cy, 0, maxY));
    if (target == pos)
        return FALSE;
    if (bDoScroll) {
        ScrollWindow(pos.x - target.x, pos.y - target.y);
        if (target.x != pos.x)
            ::SetScrollPos(m_hWnd, SB_HORZ, target.x, TRUE);
        if (target.y != pos.y)
            ::SetScrollPos(m_hWnd, SB_VERT, target.y, TRUE);
    }
    return TRUE;
}

void CScrollView::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    if (pScrollBar) {
        CView::OnHScroll(nSBCode, nPos, pScrollBar); // a control's own bar
        return;
    }
    OnScroll(MAKEWORD(nSBCode, 0xFF), nPos);
}

void CScrollView::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    if (pScrollBar) {
        CView::OnVScroll(nSBCode, nPos, pScrollBar);
        return;
    }
    OnScroll(MAKEWORD(0xFF, nSBCode), nPos);
}

BOOL CScrollView::OnMouseWheel(UINT, short zDelta, CPoint)
{
    DWORD style = GetStyle();
    if (!(style & (WS_VSCROLL | WS_HSCROLL)))
        return FALSE;
    int lines = -zDelta / WHEEL_DELTA * 3;
    if (style & WS_VSCROLL)
        return OnScrollBy(CSize(0, lines * m_lineDev.cy), TRUE);
    return OnScrollBy(CSize(lines * m_lineDev.cx, 0), TRUE);
}

// CFormView

IMPLEMENT_DYNAMIC(CFormView, CScrollView)

BEGIN_MESSAGE_MAP(CFormView, CScrollView)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
    ON_WM_SETFOCUS()
END_MESSAGE_MAP()

namespace {

// WM_INITDIALOG answers TRUE (focus the first control); the rest reaches the
// view through its window procedure.
INT_PTR CALLBACK FormDlgProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// A copy of the template made a borderless control child, whatever its
// resource says.
std::vector<BYTE> ChildTemplate(const BYTE* data, size_t size)
{
    std::vector<BYTE> copy(data, data + size);
    WORD signature = 0;
    if (size >= 4)
        std::memcpy(&signature, data + 2, sizeof signature);
    size_t offset = signature == 0xFFFF ? 12 : 0;
    if (size < offset + 4)
        return {};
    DWORD style;
    std::memcpy(&style, copy.data() + offset, sizeof style);
    style &= ~static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME | WS_VISIBLE |
                                 WS_BORDER | WS_DISABLED | DS_CENTER | DS_CENTERMOUSE);
    style |= WS_CHILD | DS_CONTROL;
    std::memcpy(copy.data() + offset, &style, sizeof style);
    return copy;
}

} // namespace

CFormView::CFormView(LPCTSTR lpszTemplateName) : m_lpszTemplateName(lpszTemplateName) {}

CFormView::CFormView(UINT nIDTemplate) : m_lpszTemplateName(MAKEINTRESOURCEA(nIDTemplate)) {}

BOOL CFormView::Create(LPCTSTR, LPCTSTR, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                       void* pContext)
{
    InitCommonControls(); // the template's controls
    HINSTANCE hInst = m_lpszTemplateName ? AfxFindResourceHandle(m_lpszTemplateName, RT_DIALOG) : nullptr;
    HRSRC hResource = m_lpszTemplateName ? ::FindResourceA(hInst, m_lpszTemplateName, RT_DIALOG) : nullptr;
    const BYTE* data = hResource ? static_cast<const BYTE*>(::LockResource(::LoadResource(hInst, hResource))) : nullptr;
    std::vector<BYTE> tmpl = data ? ChildTemplate(data, ::SizeofResource(hInst, hResource)) : std::vector<BYTE>{};
    if (tmpl.empty()) {
        PostNcDestroy(); // no form to make: the object may free itself
        return FALSE;
    }
    m_pCreateContext = static_cast<CCreateContext*>(pContext);
    tavrin::mfc::HookWindowCreate(this);
    // The context reaches WM_CREATE (the view joins its document there).
    HWND hWnd = ::CreateDialogIndirectParamA(hInst, reinterpret_cast<LPCDLGTEMPLATE>(tmpl.data()),
                                             AfxHwndOf(pParentWnd), &FormDlgProc, reinterpret_cast<LPARAM>(pContext));
    if (!tavrin::mfc::UnhookWindowCreate()) {
        PostNcDestroy();
        return FALSE;
    }
    if (!hWnd)
        return FALSE; // destroyed part way: the object has gone its way
    m_pCreateContext = nullptr;
    SetDlgCtrlID(static_cast<int>(nID));
    CRect rectTemplate;
    GetWindowRect(&rectTemplate);
    SetScrollSizes(MM_TEXT, rectTemplate.Size());
    DWORD extra = dwStyle & (WS_BORDER | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP | WS_GROUP);
    ModifyStyle(0, extra | WS_CLIPSIBLINGS, SWP_FRAMECHANGED);
    SetWindowPos(nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (dwStyle & WS_VISIBLE)
        ShowWindow(SW_SHOWNORMAL);
    return TRUE;
}

LRESULT CFormView::HandleInitDialog(WPARAM, LPARAM)
{
    // The dialog's own handling first; subclasses see the message after it.
    return Default();
}

void CFormView::OnInitialUpdate()
{
    if (!UpdateData(FALSE))
        return;
    CScrollView::OnInitialUpdate();
}

void CFormView::OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView)
{
    if (!bActivate) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(m_hWnd, focus))
            m_hWndFocus = focus;
    }
    CScrollView::OnActivateView(bActivate, pActivateView, pDeactiveView);
}

void CFormView::OnSetFocus(CWnd*)
{
    // The focus goes on to the control that had it, or the first one.
    HWND target = m_hWndFocus;
    if (!target || !::IsWindow(target) || !::IsChild(m_hWnd, target))
        target = ::GetNextDlgTabItem(m_hWnd, nullptr, FALSE);
    if (target && target != m_hWnd)
        ::SetFocus(target);
    else
        Default();
}

BOOL CFormView::PreTranslateMessage(MSG* pMsg)
{
    if (CScrollView::PreTranslateMessage(pMsg))
        return TRUE;
    // The frames' accelerators go before the dialog keys, which would eat them.
    for (CFrameWnd* pFrame = GetParentFrame(); pFrame; pFrame = pFrame->GetParentFrame()) {
        if (pFrame->PreTranslateMessage(pMsg))
            return TRUE;
    }
    if (!::GetWindow(m_hWnd, GW_CHILD))
        return FALSE;
    bool key = pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST;
    bool mouse = pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST;
    if (!key && !mouse)
        return FALSE;
    if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd))
        return FALSE;
    return ::IsDialogMessageA(m_hWnd, pMsg);
}

// CCtrlView

IMPLEMENT_DYNAMIC(CCtrlView, CView)

BEGIN_MESSAGE_MAP(CCtrlView, CView)
    ON_WM_PAINT()
END_MESSAGE_MAP()

CCtrlView::CCtrlView(LPCTSTR lpszClass, DWORD dwStyle) : m_strClass(lpszClass), m_dwDefaultStyle(dwStyle) {}

BOOL CCtrlView::PreCreateWindow(CREATESTRUCT& cs)
{
    InitCommonControls();
    cs.lpszClass = m_strClass;
    cs.style |= m_dwDefaultStyle;
    return CView::PreCreateWindow(cs);
}

// CTreeView, CListView

IMPLEMENT_DYNCREATE(CTreeView, CCtrlView)

CTreeView::CTreeView() : CCtrlView(WC_TREEVIEWA, AFX_WS_DEFAULT_VIEW) {}

CTreeView::~CTreeView() { m_tree.m_hWnd = nullptr; }

CTreeCtrl& CTreeView::GetTreeCtrl() const
{
    m_tree.m_hWnd = m_hWnd;
    return m_tree;
}

IMPLEMENT_DYNCREATE(CListView, CCtrlView)

CListView::CListView() : CCtrlView(WC_LISTVIEWA, AFX_WS_DEFAULT_VIEW) {}

CListView::~CListView() { m_list.m_hWnd = nullptr; }

CListCtrl& CListView::GetListCtrl() const
{
    m_list.m_hWnd = m_hWnd;
    return m_list;
}
