#include "toolkit/controls/XTHeaderCtrl.h"

#include "platform/controls/ListView.h"
#include "platform/mfc/Menu.h"
#include "toolkit/commandbars/XTPResourceManager.h"
#include "toolkit/commandbars/XTPTrackContextMenu.h"
#include "toolkit/controls/XTDrawHelpers.h"
#include "toolkit/controls/XTGlobalData.h"
#include "toolkit/controls/XTHeaderTheme.h"
#include "toolkit/controls/XTMemDC.h"
#include "toolkit/res/ToolkitIds.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CXTHeaderCtrl, CHeaderCtrl)
IMPLEMENT_DYNAMIC(CXTFlatHeaderCtrl, CXTHeaderCtrl)

BEGIN_MESSAGE_MAP(CXTHeaderCtrl, CHeaderCtrl)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(HDM_LAYOUT, OnLayout)
    ON_WM_DESTROY()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
    ON_WM_SETCURSOR()
    ON_NOTIFY_REFLECT_EX(HDN_ITEMCHANGINGA, OnItemChanging)
    ON_NOTIFY_REFLECT_EX(HDN_ITEMCHANGINGW, OnItemChanging)
    ON_WM_WINDOWPOSCHANGING()
    ON_WM_RBUTTONDOWN()
    ON_COMMAND(XT_IDC_SORTASC, OnSortAsc)
    ON_COMMAND(XT_IDC_SORTDSC, OnSortDsc)
    ON_COMMAND(XT_IDC_ALIGNLEFT, OnAlignLeft)
    ON_COMMAND(XT_IDC_ALIGNCENTER, OnAlignCenter)
    ON_COMMAND(XT_IDC_ALIGNRIGHT, OnAlignRight)
END_MESSAGE_MAP()

namespace {

constexpr UINT_PTR kHoverTimer = 1;
constexpr UINT kTaRtlReading = 0x0100; // TA_RTLREADING

} // namespace

CXTHeaderCtrl::CXTHeaderCtrl() : CXTThemeManagerStyleHost(RUNTIME_CLASS(CXTHeaderThemeFactory))
{
    DetermineRTL();
}

CXTHeaderCtrl::~CXTHeaderCtrl() = default;

CXTHeaderTheme* CXTHeaderCtrl::GetHeaderTheme()
{
    return static_cast<CXTHeaderTheme*>(GetTheme());
}

void CXTHeaderCtrl::SetDefaultTheme(CXTHeaderTheme* pTheme)
{
    if (CXTThemeManagerStyleFactory* factory = XTGetThemeManager()->GetFactory(RUNTIME_CLASS(CXTHeaderThemeFactory)))
        factory->SetTheme(pTheme);
    else
        delete pTheme;
}

void CXTHeaderCtrl::DetermineRTL()
{
    HDC screen = ::GetDC(nullptr);
    m_bRTL = screen && (::GetTextAlign(screen) & kTaRtlReading) ? 1 : 0;
    if (screen)
        ::ReleaseDC(nullptr, screen);
}

void CXTHeaderCtrl::OnThemeChanged()
{
    if (!m_hWnd || !::IsWindow(m_hWnd))
        return;
    CRect rc;
    GetClientRect(&rc);
    WINDOWPOS pos{};
    HDLAYOUT layout{&rc, &pos};
    Layout(&layout);
    SetWindowPos(CWnd::FromHandle(pos.hwndInsertAfter), pos.x, pos.y, pos.cx, pos.cy, pos.flags | SWP_SHOWWINDOW);
    CWnd* parent = GetParent();
    if (!parent)
        return;
    CRect window;
    parent->GetWindowRect(&window);
    parent->SetWindowPos(nullptr, 0, 0, window.Width(), window.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    parent->SetWindowPos(nullptr, 0, 0, window.Width() + 1, window.Height() + 1,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    parent->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

int CXTHeaderCtrl::SetSortColumn(int nCol, BOOL bAscending)
{
    const int previous = m_nSortedCol;
    m_nSortedCol = nCol;
    m_bAscending = bAscending;
    if (m_hWnd)
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return previous;
}

int CXTHeaderCtrl::GetSortColumn(BOOL* pbAscending) const
{
    if (pbAscending)
        *pbAscending = m_bAscending;
    return m_nSortedCol;
}

void CXTHeaderCtrl::ShowSortArrow(BOOL bSortArrow)
{
    CXTHeaderTheme* theme = GetHeaderTheme();
    if (!theme)
        return;
    const DWORD style = theme->GetDrawStyle();
    theme->SetDrawStyle(bSortArrow ? (style | XTTHEME_SORTARROW) : (style & ~XTTHEME_SORTARROW), this);
}

void CXTHeaderCtrl::FreezeColumn(int nCol)
{
    m_arFrozenCols.AddTail(nCol);
}

BOOL CXTHeaderCtrl::IsColFrozen(int nCol) const
{
    return m_arFrozenCols.Find(nCol) != nullptr;
}

int CXTHeaderCtrl::HitTest(CPoint pt, UINT* pFlags) const
{
    HDHITTESTINFO info{pt, 0, -1};
    const int item = static_cast<int>(SendMessage(HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
    if (pFlags)
        *pFlags = info.flags;
    return item;
}

void CXTHeaderCtrl::SetFontBold(BOOL bBoldFont)
{
    InitializeHeader(bBoldFont);
    if (m_hWnd)
        RedrawWindow();
}

void CXTHeaderCtrl::InitializeHeader(BOOL bBoldFont)
{
    CXTGlobalData* data = XTGetGlobalData();
    if (m_hWnd)
        SetFont(bBoldFont ? &data->fontBold : &data->font);
}

void CXTHeaderCtrl::SetMenuID(UINT nMenuID, int nPos)
{
    m_nMenuID = nMenuID;
    m_nPos = nPos;
}

CWnd* CXTHeaderCtrl::GetParentList() const
{
    // A list control or a list view: both are list view windows.
    HWND parent = ::GetParent(m_hWnd);
    char name[32] = {};
    if (!parent || !::GetClassNameA(parent, name, sizeof(name)) || std::strcmp(name, WC_LISTVIEWA) != 0)
        return nullptr;
    return CWnd::FromHandle(parent);
}

void CXTHeaderCtrl::SetAlignment(int nFormat)
{
    const int col = HitTest(m_pt);
    CWnd* list = GetParentList();
    if (col < 0 || !list)
        return;
    LVCOLUMNA column{};
    column.mask = LVCF_FMT;
    if (!list->SendMessage(LVM_GETCOLUMNA, col, reinterpret_cast<LPARAM>(&column)))
        return;
    column.fmt = (column.fmt & ~LVCFMT_JUSTIFYMASK) | nFormat;
    list->SendMessage(LVM_SETCOLUMNA, col, reinterpret_cast<LPARAM>(&column));
    list->SendMessage(LVM_SETWORKAREAS, 0, 0);
    list->Invalidate();
}

int CXTHeaderCtrl::GetFrozenColWidth()
{
    int width = 0;
    for (POSITION pos = m_arFrozenCols.GetHeadPosition(); pos;) {
        CRect rc;
        if (GetItemRect(m_arFrozenCols.GetNext(pos), &rc))
            width += rc.Width();
    }
    return width;
}

void CXTHeaderCtrl::ResizeColumnsToFit(int nWidth)
{
    const int count = GetItemCount();
    const int unfrozen = count - static_cast<int>(m_arFrozenCols.GetCount());
    CWnd* parent = GetParent();
    if (unfrozen <= 0 || !parent)
        return;
    const int share = nWidth / unfrozen;
    if (share <= m_nMinColWidth)
        return;
    for (int i = 0; i < count; ++i)
        if (!IsColFrozen(i))
            parent->SendMessage(LVM_SETCOLUMNWIDTH, i, MAKELPARAM(share, 0));
}

void CXTHeaderCtrl::FitFieldWidths(int nWidth)
{
    if (nWidth < 1) {
        CRect rc;
        GetWindowRect(&rc);
        nWidth = rc.Width();
    }
    CWnd* parent = GetParent();
    if (parent && (parent->GetStyle() & WS_VSCROLL))
        nWidth -= ::GetSystemMetrics(SM_CXVSCROLL);
    nWidth -= GetFrozenColWidth();
    ResizeColumnsToFit(nWidth);
}

BOOL CXTHeaderCtrl::IsItemPressed(int iItem)
{
    if (!m_bLBtnDown)
        return FALSE;
    CXTClientCursorPos cursor(this);
    UINT flags = 0;
    const int item = HitTest(cursor, &flags);
    return (flags & HHT_ONHEADER) && item == iItem;
}

void CXTHeaderCtrl::OnPaint()
{
    CXTHeaderTheme* theme = GetHeaderTheme();
    if (!theme) {
        Default();
        return;
    }
    CPaintDC paint(this);
    CXTClientRect rc(this);
    CXTBufferedDC dc(paint.m_hDC, rc);
    theme->DrawHeader(&dc, this);
}

LRESULT CXTHeaderCtrl::OnLayout(WPARAM, LPARAM lParam)
{
    if (CXTHeaderTheme* theme = GetHeaderTheme())
        return theme->Layout(reinterpret_cast<LPHDLAYOUT>(lParam), this);
    return Default();
}

void CXTHeaderCtrl::OnDestroy()
{
    if (CXTHeaderTheme* theme = GetHeaderTheme())
        theme->CleanUp(this);
    Default();
}

void CXTHeaderCtrl::OnSysColorChange()
{
    Default();
    if (CXTHeaderTheme* theme = GetHeaderTheme())
        theme->RefreshMetrics();
}

void CXTHeaderCtrl::OnLButtonDown(UINT, CPoint)
{
    m_bLBtnDown = TRUE;
    Default();
}

void CXTHeaderCtrl::OnLButtonUp(UINT, CPoint)
{
    m_bLBtnDown = FALSE;
    Default();
}

void CXTHeaderCtrl::OnMouseMove(UINT, CPoint)
{
    CXTHeaderTheme* theme = GetHeaderTheme();
    if (theme && theme->m_bUseWinThemes)
        SetTimer(kHoverTimer, 10);
    Default();
}

void CXTHeaderCtrl::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kHoverTimer) {
        Default();
        return;
    }
    CXTClientCursorPos cursor(this);
    const int item = HitTest(cursor);
    if (item < 0) {
        KillTimer(kHoverTimer);
        if (m_bPainted)
            RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        m_bPainted = FALSE;
        return;
    }
    if (item != m_iHotItem) {
        m_iHotItem = item;
        m_bPainted = FALSE;
    }
    if (!m_bPainted) {
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        m_bPainted = TRUE;
    }
}

BOOL CXTHeaderCtrl::OnSetCursor(CWnd*, UINT, UINT)
{
    if (!m_arFrozenCols.IsEmpty()) {
        CXTClientCursorPos cursor(this);
        const int item = HitTest(cursor);
        if (item >= 0) {
            if (IsColFrozen(item)) {
                ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
                return TRUE;
            }
            // The divider of a frozen column also lies in its neighbour.
            const int neighbour = m_bRTL ? item + 1 : item - 1;
            if (neighbour >= 0 && IsColFrozen(neighbour)) {
                CRect rc;
                GetItemRect(item, &rc);
                const BOOL nearHalf = m_bRTL ? cursor.x >= rc.CenterPoint().x : cursor.x < rc.CenterPoint().x;
                if (nearHalf) {
                    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
                    return TRUE;
                }
            }
        }
    }
    return static_cast<BOOL>(Default());
}

BOOL CXTHeaderCtrl::OnItemChanging(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* nm = reinterpret_cast<NMHEADERA*>(pNMHDR);
    BOOL refuse = IsColFrozen(nm->iItem);
    if (!refuse && nm->pitem && (nm->pitem->mask & HDI_WIDTH) && nm->pitem->cxy < m_nMinColWidth)
        refuse = TRUE;
    if (!refuse)
        return FALSE;
    *pResult = 1;
    return TRUE;
}

void CXTHeaderCtrl::OnWindowPosChanging(WINDOWPOS* lpwndpos)
{
    if (!m_bAutoSize) {
        Default();
        return;
    }
    CRect rc;
    GetWindowRect(&rc);
    if (GetItemCount() > 0 && !(lpwndpos->flags & SWP_NOSIZE) && lpwndpos->cx != rc.Width())
        FitFieldWidths(lpwndpos->cx);
}

void CXTHeaderCtrl::OnRButtonDown(UINT, CPoint point)
{
    m_pt = point;
    CWnd* parent = GetParent();
    if (!parent || (parent->GetStyle() & LVS_NOSORTHEADER) || !m_bEnableMenus) {
        Default();
        return;
    }
    CPoint screen = point;
    ClientToScreen(&screen);
    if (m_nMenuID) {
        CMenu menu;
        if (menu.LoadMenu(m_nMenuID)) {
            if (CMenu* popup = menu.GetSubMenu(m_nPos)) {
                CWnd* owner = GetOwner();
                popup->TrackPopupMenu(TPM_RIGHTBUTTON, screen.x, screen.y, owner ? owner : parent);
            }
            menu.DestroyMenu();
        }
        return;
    }
    const int col = HitTest(point);
    if (col < 0)
        return;
    CMenu menu;
    if (!XTPGetResourceManager()->LoadMenu(&menu, XT_IDM_POPUP))
        return;
    CMenu* popup = menu.GetSubMenu(2);
    if (popup) {
        if (col == m_nSortedCol)
            popup->CheckMenuItem(m_bAscending ? XT_IDC_SORTASC : XT_IDC_SORTDSC, MF_BYCOMMAND | MF_CHECKED);
        if (CWnd* list = GetParentList()) {
            LVCOLUMNA column{};
            column.mask = LVCF_FMT;
            if (list->SendMessage(LVM_GETCOLUMNA, col, reinterpret_cast<LPARAM>(&column))) {
                const int justify = column.fmt & LVCFMT_JUSTIFYMASK;
                const UINT id = justify == LVCFMT_RIGHT    ? XT_IDC_ALIGNRIGHT
                                : justify == LVCFMT_CENTER ? XT_IDC_ALIGNCENTER
                                                           : XT_IDC_ALIGNLEFT;
                popup->CheckMenuItem(id, MF_BYCOMMAND | MF_CHECKED);
            }
        }
        XTPTrackContextMenu(popup, TPM_RIGHTBUTTON, screen.x, screen.y, this, XT_IDR_HEADER_MENU);
    }
    menu.DestroyMenu();
}

void CXTHeaderCtrl::SendItemClick(int nCol)
{
    CWnd* list = GetParentList();
    if (!list)
        return;
    char text[256] = {};
    HDITEMA item{};
    item.mask = 0xBF;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    GetItem(nCol, &item);
    NMHEADERA nm{};
    nm.hdr.hwndFrom = m_hWnd;
    nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    nm.hdr.code = HDN_ITEMCLICKA;
    nm.iItem = nCol;
    nm.iButton = 1;
    nm.pitem = &item;
    list->SendMessage(WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
    list->SendMessageToDescendants(WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm), TRUE, TRUE);
}

void CXTHeaderCtrl::Sort(BOOL bAscending)
{
    const int col = HitTest(m_pt);
    if (col < 0)
        return;
    if (col == m_nSortedCol && m_bAscending == bAscending)
        return;
    m_bAscending = bAscending;
    m_nSortedCol = col;
    SendItemClick(col);
}

void CXTHeaderCtrl::OnSortAsc()
{
    Sort(TRUE);
}

void CXTHeaderCtrl::OnSortDsc()
{
    Sort(FALSE);
}

void CXTHeaderCtrl::OnAlignLeft()
{
    SetAlignment(LVCFMT_LEFT);
}

void CXTHeaderCtrl::OnAlignCenter()
{
    SetAlignment(LVCFMT_CENTER);
}

void CXTHeaderCtrl::OnAlignRight()
{
    SetAlignment(LVCFMT_RIGHT);
}

CXTFlatHeaderCtrl::CXTFlatHeaderCtrl()
{
    SetTheme(new CXTHeaderThemeOfficeXP);
}
