#include "platform/mfc/TabCtrl.h"

IMPLEMENT_DYNAMIC(CTabCtrl, CWnd)

BOOL CTabCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    InitCommonControls();
    return CWnd::Create(WC_TABCONTROLA, nullptr, dwStyle, rect, pParentWnd, nID);
}

LONG CTabCtrl::InsertItem(int nItem, TCITEM* pTabCtrlItem)
{
    return static_cast<LONG>(SendMessage(TCM_INSERTITEMA, nItem, reinterpret_cast<LPARAM>(pTabCtrlItem)));
}

LONG CTabCtrl::InsertItem(int nItem, LPCTSTR lpszItem)
{
    TCITEM item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<LPSTR>(lpszItem);
    return InsertItem(nItem, &item);
}

LONG CTabCtrl::InsertItem(int nItem, LPCTSTR lpszItem, int nImage)
{
    TCITEM item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = const_cast<LPSTR>(lpszItem);
    item.iImage = nImage;
    return InsertItem(nItem, &item);
}

BOOL CTabCtrl::GetItem(int nItem, TCITEM* pTabCtrlItem) const
{
    return static_cast<BOOL>(SendMessage(TCM_GETITEMA, nItem, reinterpret_cast<LPARAM>(pTabCtrlItem)));
}

BOOL CTabCtrl::SetItem(int nItem, TCITEM* pTabCtrlItem)
{
    return static_cast<BOOL>(SendMessage(TCM_SETITEMA, nItem, reinterpret_cast<LPARAM>(pTabCtrlItem)));
}

BOOL CTabCtrl::GetItemRect(int nItem, LPRECT lpRect) const
{
    return static_cast<BOOL>(SendMessage(TCM_GETITEMRECT, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(lpRect)));
}

int CTabCtrl::HitTest(TCHITTESTINFO* pHitTestInfo) const
{
    return static_cast<int>(SendMessage(TCM_HITTEST, 0, reinterpret_cast<LPARAM>(pHitTestInfo)));
}

CSize CTabCtrl::SetItemSize(CSize size)
{
    const LRESULT old = SendMessage(TCM_SETITEMSIZE, 0, MAKELPARAM(size.cx, size.cy));
    return CSize(LOWORD(old), HIWORD(old));
}

CImageList* CTabCtrl::SetImageList(CImageList* pImageList)
{
    const LPARAM list = reinterpret_cast<LPARAM>(pImageList ? pImageList->GetSafeHandle() : nullptr);
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(SendMessage(TCM_SETIMAGELIST, 0, list)));
}

CImageList* CTabCtrl::GetImageList() const
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(SendMessage(TCM_GETIMAGELIST)));
}

CToolTipCtrl* CTabCtrl::GetToolTips() const
{
    HWND tip = reinterpret_cast<HWND>(SendMessage(TCM_GETTOOLTIPS));
    return tip ? CWnd::FromHandleAs<CToolTipCtrl>(tip) : nullptr;
}
