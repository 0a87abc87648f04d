#include "platform/mfc/HeaderCtrl.h"

IMPLEMENT_DYNAMIC(CHeaderCtrl, CWnd)

BOOL CHeaderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    InitCommonControls();
    return CWnd::Create(WC_HEADERA, nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CHeaderCtrl::GetItem(int nPos, HDITEM* pHeaderItem) const
{
    return static_cast<BOOL>(SendMessage(HDM_GETITEMA, nPos, reinterpret_cast<LPARAM>(pHeaderItem)));
}

BOOL CHeaderCtrl::SetItem(int nPos, HDITEM* pHeaderItem)
{
    return static_cast<BOOL>(SendMessage(HDM_SETITEMA, nPos, reinterpret_cast<LPARAM>(pHeaderItem)));
}

BOOL CHeaderCtrl::GetItemRect(int nIndex, LPRECT lpRect) const
{
    return static_cast<BOOL>(SendMessage(HDM_GETITEMRECT, nIndex, reinterpret_cast<LPARAM>(lpRect)));
}

int CHeaderCtrl::HitTest(LPHDHITTESTINFO pHeaderHitTestInfo) const
{
    return static_cast<int>(SendMessage(HDM_HITTEST, 0, reinterpret_cast<LPARAM>(pHeaderHitTestInfo)));
}

BOOL CHeaderCtrl::GetOrderArray(int* piArray, int iCount) const
{
    if (iCount < 0)
        iCount = GetItemCount();
    return static_cast<BOOL>(SendMessage(HDM_GETORDERARRAY, iCount, reinterpret_cast<LPARAM>(piArray)));
}

BOOL CHeaderCtrl::SetOrderArray(int iCount, int* piArray)
{
    return static_cast<BOOL>(SendMessage(HDM_SETORDERARRAY, iCount, reinterpret_cast<LPARAM>(piArray)));
}

CImageList* CHeaderCtrl::SetImageList(CImageList* pImageList)
{
    const LPARAM list = reinterpret_cast<LPARAM>(pImageList ? pImageList->GetSafeHandle() : nullptr);
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(SendMessage(HDM_SETIMAGELIST, 0, list)));
}

CImageList* CHeaderCtrl::GetImageList() const
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(SendMessage(HDM_GETIMAGELIST)));
}
