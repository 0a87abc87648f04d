#include "toolkit/controls/XTListBase.h"

#include "toolkit/commandbars/XTPResourceManager.h"
#include "toolkit/controls/XTDrawHelpers.h"
#include "toolkit/controls/XTGlobalData.h"
#include "toolkit/controls/XTHeaderTheme.h"
#include "toolkit/controls/XTMemDC.h"
#include "toolkit/controls/XTProfileManager.h"
#include "toolkit/res/ToolkitIds.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kTextBuffer = 256;

} // namespace

CXTListBase::CXTListBase()
{
    RefreshColors();
}

CXTListBase::~CXTListBase()
{
    RemoveAllRowColors();
}

BOOL CXTListBase::IsReportView() const
{
    return m_pListCtrl && m_pListCtrl->m_hWnd && (m_pListCtrl->GetStyle() & LVS_TYPEMASK) == LVS_REPORT;
}

CXTHeaderCtrl* CXTListBase::GetXTHeader() const
{
    if (!m_pListCtrl || !m_pListCtrl->m_hWnd)
        return nullptr;
    return dynamic_cast<CXTHeaderCtrl*>(CWnd::FromHandlePermanent(::GetDlgItem(m_pListCtrl->m_hWnd, 0)));
}

void CXTListBase::RefreshColors()
{
    m_nMaxColWidth = ::GetSystemMetrics(SM_CXFULLSCREEN);
    const COLORREF base =
        m_bListColor && m_clrTextBk != XT_LIST_COLOR_UNSET ? m_clrTextBk : ::GetSysColor(COLOR_WINDOW);
    m_clrSortBk = CXTColorRef(base).Subtract(RGB(8, 8, 8));
    m_clrSortText = m_bListColor && m_clrText != XT_LIST_COLOR_UNSET ? m_clrText : ::GetSysColor(COLOR_WINDOWTEXT);
}

COLORREF CXTListBase::GetListBackColor() const
{
    return m_bListColor && m_clrTextBk != XT_LIST_COLOR_UNSET ? m_clrTextBk : ::GetSysColor(COLOR_WINDOW);
}

COLORREF CXTListBase::GetListTextColor() const
{
    return m_bListColor && m_clrText != XT_LIST_COLOR_UNSET ? m_clrText : ::GetSysColor(COLOR_WINDOWTEXT);
}

COLORREF CXTListBase::GetSortBackColor() const
{
    return m_clrSortBk != XT_LIST_COLOR_UNSET ? m_clrSortBk : GetListBackColor();
}

COLORREF CXTListBase::GetSortTextColor() const
{
    return m_clrSortText != XT_LIST_COLOR_UNSET ? m_clrSortText : GetListTextColor();
}

int CXTListBase::SetSortColumn(int nCol, BOOL bAscending)
{
    const int previous = m_nSortedCol;
    m_nSortedCol = nCol;
    m_bAscending = static_cast<BYTE>(bAscending != FALSE);
    if (CXTHeaderCtrl* header = GetXTHeader())
        header->SetSortColumn(nCol, bAscending);
    return previous;
}

BOOL CXTListBase::SortList(int, BOOL)
{
    return TRUE;
}

void CXTListBase::AddExtendedStyle(DWORD dwExStyle)
{
    if (m_pListCtrl && m_pListCtrl->m_hWnd)
        m_pListCtrl->SetExtendedStyle(GetExtendedStyle() | dwExStyle);
}

DWORD CXTListBase::GetExtendedStyle()
{
    return m_pListCtrl && m_pListCtrl->m_hWnd ? m_pListCtrl->GetExtendedStyle() : 0;
}

BOOL CXTListBase::ModifyExtendedStyle(DWORD dwRemove, DWORD dwAdd)
{
    const DWORD current = GetExtendedStyle();
    const DWORD style = (current & ~dwRemove) | dwAdd;
    if (style == current)
        return FALSE;
    m_pListCtrl->SetExtendedStyle(style);
    return TRUE;
}

BOOL CXTListBase::SubclassHeader(BOOL bBoldFont)
{
    if (!IsReportView() || m_flatHeader.m_hWnd)
        return FALSE;
    HWND header = ::GetDlgItem(m_pListCtrl->m_hWnd, 0);
    if (!header || !m_flatHeader.SubclassWindow(header))
        return FALSE;
    m_flatHeader.SetFontBold(bBoldFont);
    return TRUE;
}

int CXTListBase::GetColumnCount()
{
    CHeaderCtrl* header = IsReportView() ? m_pListCtrl->GetHeaderCtrl() : nullptr;
    return header ? header->GetItemCount() : -1;
}

int CXTListBase::AddColumn(LPCTSTR lpszColHeading, int nWidth, int nFormat)
{
    const int count = GetColumnCount();
    if (count < 0)
        return -1;
    if (nWidth == -1)
        nWidth = count > 0 ? m_pListCtrl->GetColumnWidth(count - 1)
                           : m_pListCtrl->GetStringWidth(lpszColHeading ? lpszColHeading : "") + 12;
    return m_pListCtrl->InsertColumn(count, lpszColHeading, nFormat, nWidth);
}

BOOL CXTListBase::BuildColumns(int nCols, int* nWidth, LPCTSTR* lpszColHeading)
{
    for (int i = 0; i < nCols; ++i)
        if (m_pListCtrl->InsertColumn(i, lpszColHeading[i], LVCFMT_LEFT, nWidth[i]) == -1)
            return FALSE;
    return TRUE;
}

BOOL CXTListBase::BuildColumns(int nCols, int* nWidth, UINT* nColHeading)
{
    for (int i = 0; i < nCols; ++i) {
        CString heading;
        XTPGetResourceManager()->LoadString(&heading, nColHeading[i]);
        if (m_pListCtrl->InsertColumn(i, heading, LVCFMT_LEFT, nWidth[i]) == -1)
            return FALSE;
    }
    return TRUE;
}

int CXTListBase::HitTestEx(CPoint& point, int* pCol)
{
    if (!IsReportView()) {
        const int row = m_pListCtrl->HitTest(point);
        if (pCol)
            *pCol = 0;
        return row;
    }
    CHeaderCtrl* header = m_pListCtrl->GetHeaderCtrl();
    if (!header)
        return -1;
    const int top = m_pListCtrl->GetTopIndex();
    const int bottom = std::min(top + m_pListCtrl->GetCountPerPage(), m_pListCtrl->GetItemCount());
    const int columns = header->GetItemCount();
    for (int row = top; row < bottom; ++row) {
        CRect bounds;
        if (!m_pListCtrl->GetItemRect(row, &bounds, LVIR_BOUNDS) || !bounds.PtInRect(point))
            continue;
        int x = bounds.left;
        for (int order = 0; order < columns; ++order) {
            const int column = header->OrderToIndex(order);
            const int width = m_pListCtrl->GetColumnWidth(column);
            if (point.x >= x && point.x < x + width) {
                if (pCol)
                    *pCol = column;
                return row;
            }
            x += width;
        }
        return -1;
    }
    return -1;
}

int CXTListBase::CopyRow(int nFrom, int nTo)
{
    if (nFrom == nTo || nFrom < 0 || nTo < 0)
        return -1;
    char text[kTextBuffer] = {};
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = nFrom;
    item.pszText = text;
    item.cchTextMax = kTextBuffer;
    if (!m_pListCtrl->GetItem(&item))
        return -1;
    item.iItem = nTo;
    item.iSubItem = 0;
    const int inserted = m_pListCtrl->InsertItem(&item);
    if (inserted < 0)
        return -1;
    const int source = inserted <= nFrom ? nFrom + 1 : nFrom;
    const int columns = GetColumnCount();
    for (int sub = 1; sub < columns; ++sub) {
        const CString value = m_pListCtrl->GetItemText(source, sub);
        if (!value.IsEmpty())
            m_pListCtrl->SetItemText(inserted, sub, value);
    }
    return source;
}

BOOL CXTListBase::MoveRow(int nFrom, int nTo)
{
    const int source = CopyRow(nFrom, nTo);
    if (source < 0)
        return FALSE;
    m_pListCtrl->DeleteItem(source);
    return TRUE;
}

void CXTListBase::SetListColors(COLORREF clrText, COLORREF clrBack)
{
    m_clrText = clrText;
    m_clrTextBk = clrBack;
    m_bListColor = TRUE;
    // The sorted column's shade follows the new background at once.
    RefreshColors();
    if (m_pListCtrl && m_pListCtrl->m_hWnd)
        m_pListCtrl->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CXTListBase::SetRowColor(const XT_ROWCOLOR& record)
{
    SetRowColor(record.iItem, record.crText, record.crBack);
}

void CXTListBase::SetRowColor(int iItem, COLORREF crText, COLORREF crBack)
{
    XT_ROWCOLOR* record = FindRowColor(iItem);
    if (!record) {
        record = new XT_ROWCOLOR{iItem, crBack, crText};
        m_arRowColors.AddTail(record);
    }
    record->crBack = crBack;
    record->crText = crText;
    if (m_pListCtrl && m_pListCtrl->m_hWnd)
        m_pListCtrl->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CXTListBase::RemoveAllRowColors()
{
    while (!m_arRowColors.IsEmpty())
        delete m_arRowColors.RemoveHead();
}

XT_ROWCOLOR* CXTListBase::FindRowColor(int iItem)
{
    for (POSITION pos = m_arRowColors.GetHeadPosition(); pos;) {
        XT_ROWCOLOR* record = m_arRowColors.GetNext(pos);
        if (record->iItem == iItem)
            return record;
    }
    return nullptr;
}

void CXTListBase::InitializeList()
{
    if (m_bInitControl && m_pListCtrl && m_pListCtrl->m_hWnd)
        m_pListCtrl->SetFont(&XTGetGlobalData()->font, TRUE);
}

void CXTListBase::AutoSizeColumn(int nCol)
{
    if (!IsReportView())
        return;
    CHeaderCtrl* header = m_pListCtrl->GetHeaderCtrl();
    if (!header)
        return;
    m_pListCtrl->SetRedraw(FALSE);
    auto* flat = dynamic_cast<CXTFlatHeaderCtrl*>(CWnd::FromHandlePermanent(header->m_hWnd));
    CXTHeaderTheme* theme = flat ? flat->GetHeaderTheme() : nullptr;
    const BOOL arrow = theme && (theme->GetDrawStyle() & XTTHEME_SORTARROW);
    const int first = nCol < 0 ? 0 : nCol;
    const int last = nCol < 0 ? header->GetItemCount() - 1 : nCol;
    CClientDC dc(header);
    CXTFontSelector select(&dc, header->GetFont());
    for (int col = first; col <= last; ++col) {
        m_pListCtrl->SetColumnWidth(col, LVSCW_AUTOSIZE);
        const int contents = m_pListCtrl->GetColumnWidth(col);
        char text[kTextBuffer] = {};
        HDITEM item{};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = kTextBuffer;
        header->GetItem(col, &item);
        const int heading = dc.GetTextExtent(text, static_cast<int>(std::strlen(text))).cx +
                            (arrow && col == m_nSortedCol ? 36 : 12);
        int width = std::max(contents, heading);
        width = std::max(width, m_nMinColWidth);
        width = std::min(width, m_nMaxColWidth);
        m_pListCtrl->SetColumnWidth(col, width);
    }
    m_pListCtrl->SetRedraw(TRUE);
    m_pListCtrl->Invalidate();
}

void CXTListBase::AutoSaveColumns(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault)
{
    m_bAutoSave = TRUE;
    if (lpszSection)
        m_strSection = lpszSection;
    else
        XTPGetResourceManager()->LoadString(&m_strSection, XT_IDS_REG_SETTINGS);
    if (lpszEntry)
        m_strEntry = lpszEntry;
    else
        XTPGetResourceManager()->LoadString(&m_strEntry, XT_IDS_REG_COLINFO);
    m_strDefault = lpszDefault ? lpszDefault : "";
    LoadColumnWidths();
}

void CXTListBase::SaveColumnWidths()
{
    if (!IsReportView())
        return;
    CString value;
    const int columns = GetColumnCount();
    for (int col = 0; col < columns; ++col) {
        CString width;
        width.Format("%d,", m_pListCtrl->GetColumnWidth(col));
        value += width;
    }
    CXTProfileManager profile(HKEY_CURRENT_USER);
    profile.WriteProfileString(m_strSection, m_strEntry, value);
}

int CXTListBase::GetStoredColumnWidth(int nCol)
{
    CXTProfileManager profile(HKEY_CURRENT_USER);
    const CString value = profile.GetProfileString(m_strSection, m_strEntry, m_strDefault);
    int start = 0;
    for (int field = 0; field < nCol; ++field) {
        const int comma = value.Find(',', start);
        if (comma < 0)
            return 0;
        start = comma + 1;
    }
    const int comma = value.Find(',', start);
    const CString text = comma < 0 ? value.Mid(start) : value.Mid(start, comma - start);
    return text.IsEmpty() ? 0 : std::atoi(text);
}

void CXTListBase::RestoreColumnWidth(int nCol)
{
    m_pListCtrl->SetColumnWidth(nCol, GetStoredColumnWidth(nCol));
}

void CXTListBase::LoadColumnWidths()
{
    if (!IsReportView())
        return;
    // Nothing stored yet: the columns keep their widths rather than all
    // collapsing to nothing.
    CXTProfileManager profile(HKEY_CURRENT_USER);
    if (profile.GetProfileString(m_strSection, m_strEntry, m_strDefault).IsEmpty())
        return;
    const int columns = GetColumnCount();
    for (int col = 0; col < columns; ++col)
        RestoreColumnWidth(col);
}

BOOL CXTListBase::OnNotify(WPARAM, NMHDR* pNMHDR, LRESULT* pResult)
{
    CHeaderCtrl* header = m_pListCtrl ? m_pListCtrl->GetHeaderCtrl() : nullptr;
    if (!pNMHDR || !header || pNMHDR->hwndFrom != header->m_hWnd)
        return FALSE;
    auto* nm = reinterpret_cast<NMHEADERA*>(pNMHDR);
    switch (pNMHDR->code) {
    case HDN_BEGINTRACKA:
    case HDN_BEGINTRACKW:
    case HDN_DIVIDERDBLCLICKA:
    case HDN_DIVIDERDBLCLICKW:
        if (m_bLockHeader) {
            *pResult = 1;
            return TRUE;
        }
        break;
    case HDN_ITEMCLICKA:
    case HDN_ITEMCLICKW: {
        auto* flat = dynamic_cast<CXTFlatHeaderCtrl*>(CWnd::FromHandlePermanent(header->m_hWnd));
        if (!flat)
            break;
        if (nm->iButton == 0) {
            m_bAscending = nm->iItem == m_nSortedCol ? static_cast<BYTE>(!m_bAscending) : TRUE;
        } else if (nm->iButton == 1) {
            BOOL ascending = TRUE;
            flat->GetSortColumn(&ascending);
            m_bAscending = static_cast<BYTE>(ascending != FALSE);
        } else {
            break;
        }
        m_nSortedCol = nm->iItem;
        flat->SetSortColumn(m_nSortedCol, m_bAscending);
        SortList(m_nSortedCol, m_bAscending);
        break;
    }
    case HDN_ITEMCHANGINGA:
    case HDN_ITEMCHANGINGW:
    case HDN_ENDTRACKA:
        if (nm->pitem && (nm->pitem->mask & HDI_WIDTH) && nm->pitem->cxy < m_nMinColWidth)
            nm->pitem->cxy = m_nMinColWidth;
        break;
    default:
        break;
    }
    return FALSE;
}

void CXTListBase::OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(pNMHDR);
    *pResult = CDRF_DODEFAULT;
    const DWORD stage = cd->nmcd.dwDrawStage;
    if (stage == CDDS_PREPAINT || stage == CDDS_ITEMPREPAINT) {
        *pResult = CDRF_NOTIFYITEMDRAW;
        return;
    }
    if (stage != (CDDS_ITEMPREPAINT | CDDS_SUBITEM))
        return;
    const int item = static_cast<int>(cd->nmcd.dwItemSpec);
    const BOOL sorted = m_bSortColor && cd->iSubItem == m_nSortedCol;
    XT_ROWCOLOR* record = m_bRowColor ? FindRowColor(item) : nullptr;
    if (record && (m_pListCtrl->GetItemState(item, LVIS_SELECTED) & LVIS_SELECTED))
        record = nullptr;
    if (!m_pListCtrl->IsWindowEnabled()) {
        cd->clrText = ::GetSysColor(COLOR_WINDOWTEXT);
        cd->clrTextBk = ::GetSysColor(COLOR_BTNFACE);
    } else if (record) {
        cd->clrText = record->crText;
        cd->clrTextBk = sorted ? static_cast<COLORREF>(CXTColorRef(record->crBack).Blend(GetSortBackColor(), 50))
                               : record->crBack;
    } else if (sorted) {
        cd->clrText = GetSortTextColor();
        cd->clrTextBk = GetSortBackColor();
    } else {
        cd->clrText = GetListTextColor();
        cd->clrTextBk = GetListBackColor();
    }
}

void CXTListBase::OnPaintList()
{
    CPaintDC dc(m_pListCtrl);
    CRect client;
    m_pListCtrl->GetClientRect(&client);
    CHeaderCtrl* header = IsReportView() ? m_pListCtrl->GetHeaderCtrl() : nullptr;
    if (header && header->m_hWnd && header->IsWindowVisible()) {
        CRect rcHeader;
        header->GetWindowRect(&rcHeader);
        m_pListCtrl->ScreenToClient(&rcHeader);
        dc.ExcludeClipRect(&rcHeader);
    }
    const COLORREF back = m_pListCtrl->IsWindowEnabled() ? GetListBackColor() : ::GetSysColor(COLOR_BTNFACE);
    {
        CXTMemDC memDC(&dc, client, back);
        if (m_bSortColor && header && m_nSortedCol >= 0 && m_nSortedCol < header->GetItemCount()) {
            int x = -::GetScrollPos(m_pListCtrl->m_hWnd, SB_HORZ);
            for (int col = 0; col < m_nSortedCol; ++col)
                x += m_pListCtrl->GetColumnWidth(col);
            memDC.FillSolidRect(x, client.top, m_pListCtrl->GetColumnWidth(m_nSortedCol), client.Height(),
                                GetSortBackColor());
        }
        // The background is ours: the native list paints its rows only.
        if (m_pListCtrl->GetBkColor() != CLR_NONE)
            m_pListCtrl->SendMessage(LVM_SETBKCOLOR, 0, CLR_NONE);
        m_pListCtrl->DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(memDC.m_hDC), 0);
    }
    if (header && header->m_hWnd) {
        header->Invalidate();
        header->UpdateWindow();
    }
}
