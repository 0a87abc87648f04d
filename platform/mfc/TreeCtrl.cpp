#include "platform/mfc/TreeCtrl.h"

IMPLEMENT_DYNAMIC(CTreeCtrl, CWnd)

BOOL CTreeCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    InitCommonControls();
    return CWnd::Create(WC_TREEVIEWA, nullptr, dwStyle, rect, pParentWnd, nID);
}

HTREEITEM CTreeCtrl::InsertItem(LPTVINSERTSTRUCT lpInsertStruct)
{
    return reinterpret_cast<HTREEITEM>(SendMessage(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(lpInsertStruct)));
}

HTREEITEM CTreeCtrl::InsertItem(LPCTSTR lpszItem, HTREEITEM hParent, HTREEITEM hInsertAfter)
{
    TVINSERTSTRUCT in{};
    in.hParent = hParent;
    in.hInsertAfter = hInsertAfter;
    in.item.mask = TVIF_TEXT;
    in.item.pszText = const_cast<LPSTR>(lpszItem);
    return InsertItem(&in);
}

HTREEITEM CTreeCtrl::InsertItem(LPCTSTR lpszItem, int nImage, int nSelectedImage, HTREEITEM hParent,
                                HTREEITEM hInsertAfter)
{
    TVINSERTSTRUCT in{};
    in.hParent = hParent;
    in.hInsertAfter = hInsertAfter;
    in.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    in.item.pszText = const_cast<LPSTR>(lpszItem);
    in.item.iImage = nImage;
    in.item.iSelectedImage = nSelectedImage;
    return InsertItem(&in);
}

HTREEITEM CTreeCtrl::GetNextItem(HTREEITEM hItem, UINT nCode) const
{
    return reinterpret_cast<HTREEITEM>(SendMessage(TVM_GETNEXTITEM, nCode, reinterpret_cast<LPARAM>(hItem)));
}

CString CTreeCtrl::GetItemText(HTREEITEM hItem) const
{
    char buffer[1024] = "";
    TVITEM item{};
    item.mask = TVIF_TEXT;
    item.hItem = hItem;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    GetItem(&item);
    return CString(buffer);
}

BOOL CTreeCtrl::SetItemText(HTREEITEM hItem, LPCTSTR lpszItem)
{
    TVITEM item{};
    item.mask = TVIF_TEXT;
    item.hItem = hItem;
    item.pszText = const_cast<LPSTR>(lpszItem);
    return SetItem(&item);
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM hItem) const
{
    TVITEM item{};
    item.mask = TVIF_PARAM;
    item.hItem = hItem;
    GetItem(&item);
    return static_cast<DWORD_PTR>(item.lParam);
}

BOOL CTreeCtrl::SetItemData(HTREEITEM hItem, DWORD_PTR dwData)
{
    TVITEM item{};
    item.mask = TVIF_PARAM;
    item.hItem = hItem;
    item.lParam = static_cast<LPARAM>(dwData);
    return SetItem(&item);
}

UINT CTreeCtrl::GetItemState(HTREEITEM hItem, UINT nStateMask) const
{
    return static_cast<UINT>(SendMessage(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(hItem), nStateMask));
}

BOOL CTreeCtrl::SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask)
{
    TVITEM item{};
    item.mask = TVIF_STATE;
    item.hItem = hItem;
    item.state = nState;
    item.stateMask = nStateMask;
    return SetItem(&item);
}

BOOL CTreeCtrl::GetItemImage(HTREEITEM hItem, int& nImage, int& nSelectedImage) const
{
    TVITEM item{};
    item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = hItem;
    const BOOL ok = GetItem(&item);
    nImage = item.iImage;
    nSelectedImage = item.iSelectedImage;
    return ok;
}

BOOL CTreeCtrl::SetItemImage(HTREEITEM hItem, int nImage, int nSelectedImage)
{
    TVITEM item{};
    item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = hItem;
    item.iImage = nImage;
    item.iSelectedImage = nSelectedImage;
    return SetItem(&item);
}

BOOL CTreeCtrl::ItemHasChildren(HTREEITEM hItem) const
{
    TVITEM item{};
    item.mask = TVIF_CHILDREN;
    item.hItem = hItem;
    return GetItem(&item) && item.cChildren != 0;
}

HTREEITEM CTreeCtrl::HitTest(CPoint pt, UINT* pFlags) const
{
    TVHITTESTINFO info{};
    info.pt = pt;
    HTREEITEM item = HitTest(&info);
    if (pFlags)
        *pFlags = info.flags;
    return item;
}

HTREEITEM CTreeCtrl::HitTest(TVHITTESTINFO* pHitTestInfo) const
{
    return reinterpret_cast<HTREEITEM>(SendMessage(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(pHitTestInfo)));
}

BOOL CTreeCtrl::GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const
{
    if (!lpRect)
        return FALSE;
    *reinterpret_cast<HTREEITEM*>(lpRect) = hItem;
    return static_cast<BOOL>(SendMessage(TVM_GETITEMRECT, bTextOnly, reinterpret_cast<LPARAM>(lpRect)));
}

CEdit* CTreeCtrl::EditLabel(HTREEITEM hItem)
{
    HWND edit = reinterpret_cast<HWND>(SendMessage(TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(hItem)));
    return edit ? CWnd::FromHandleAs<CEdit>(edit) : nullptr;
}

CEdit* CTreeCtrl::GetEditControl() const
{
    HWND edit = reinterpret_cast<HWND>(SendMessage(TVM_GETEDITCONTROL));
    return edit ? CWnd::FromHandleAs<CEdit>(edit) : nullptr;
}

CToolTipCtrl* CTreeCtrl::GetToolTips() const
{
    HWND tip = reinterpret_cast<HWND>(SendMessage(TVM_GETTOOLTIPS));
    return tip ? CWnd::FromHandleAs<CToolTipCtrl>(tip) : nullptr;
}

CImageList* CTreeCtrl::SetImageList(CImageList* pImageList, int nImageListType)
{
    const LPARAM list = reinterpret_cast<LPARAM>(pImageList ? pImageList->GetSafeHandle() : nullptr);
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(SendMessage(TVM_SETIMAGELIST, nImageListType, list)));
}

CImageList* CTreeCtrl::GetImageList(UINT nImageList) const
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(SendMessage(TVM_GETIMAGELIST, nImageList)));
}
