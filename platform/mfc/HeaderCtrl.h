// CHeaderCtrl: the framework's object for a "SysHeader32" window.
#pragma once

#include "platform/controls/Header.h"
#include "platform/mfc/ImageList.h"
#include "platform/mfc/Wnd.h"

class CHeaderCtrl : public CWnd {
    DECLARE_DYNAMIC(CHeaderCtrl)
public:
    CHeaderCtrl() = default;
    // The base class's forms stay callable beside these.
    using CWnd::Create;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    int GetItemCount() const { return static_cast<int>(SendMessage(HDM_GETITEMCOUNT)); }
    int InsertItem(int nPos, HDITEM* phdi) { return static_cast<int>(SendMessage(HDM_INSERTITEMA, nPos, reinterpret_cast<LPARAM>(phdi))); }
    BOOL DeleteItem(int nPos) { return static_cast<BOOL>(SendMessage(HDM_DELETEITEM, nPos)); }
    BOOL GetItem(int nPos, HDITEM* pHeaderItem) const;
    BOOL SetItem(int nPos, HDITEM* pHeaderItem);
    BOOL GetItemRect(int nIndex, LPRECT lpRect) const;
    BOOL Layout(HDLAYOUT* pHeaderLayout) { return static_cast<BOOL>(SendMessage(HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(pHeaderLayout))); }
    int HitTest(LPHDHITTESTINFO pHeaderHitTestInfo) const;
    int OrderToIndex(int nOrder) const { return static_cast<int>(SendMessage(HDM_ORDERTOINDEX, nOrder)); }
    BOOL GetOrderArray(int* piArray, int iCount = -1) const;
    BOOL SetOrderArray(int iCount, int* piArray);
    CImageList* SetImageList(CImageList* pImageList);
    CImageList* GetImageList() const;
};
