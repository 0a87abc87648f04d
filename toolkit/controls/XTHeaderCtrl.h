// The toolkit's column header: painted and laid out by a header style, with
// a sort arrow on the sorted column, frozen columns that cannot be resized,
// a right-click menu that sorts and aligns a column of the parent list, a
// minimum column width and fitting the columns to a width.
#pragma once

#include "platform/base/List.h"
#include "platform/mfc/HeaderCtrl.h"
#include "toolkit/controls/XTThemeManager.h"

class CXTHeaderTheme;

class CXTHeaderCtrl : public CHeaderCtrl, public CXTThemeManagerStyleHost {
    DECLARE_DYNAMIC(CXTHeaderCtrl)
public:
    CXTHeaderCtrl();
    ~CXTHeaderCtrl() override;

    virtual BOOL IsItemPressed(int iItem);
    virtual void SetFontBold(BOOL bBoldFont = TRUE);
    virtual void SetMenuID(UINT nMenuID, int nPos = 0);
    virtual void InitializeHeader(BOOL bBoldFont);
    virtual void ShowSortArrow(BOOL bSortArrow);
    virtual void SetAlignment(int nFormat);
    virtual void DetermineRTL();
    virtual void ResizeColumnsToFit(int nWidth);
    virtual void FitFieldWidths(int nWidth);
    virtual int GetFrozenColWidth();

    // Stores both and repaints; returns the previous sorted column.
    int SetSortColumn(int nCol, BOOL bAscending);
    int GetSortColumn(BOOL* pbAscending = nullptr) const;
    void FreezeColumn(int nCol);
    BOOL IsColFrozen(int nCol) const;
    int HitTest(CPoint pt, UINT* pFlags = nullptr) const;
    using CHeaderCtrl::HitTest;
    // The shared style of the header factory.
    static void SetDefaultTheme(CXTHeaderTheme* pTheme);
    CXTHeaderTheme* GetHeaderTheme();
    void OnThemeChanged() override;

    int m_nMinColWidth = 0;
    int m_nPos = 0;
    int m_iHotItem = -1;
    int m_nSortedCol = -1;
    BYTE m_bRTL = 0;
    BYTE m_bAutoSize = 0;
    BOOL m_bEnableMenus = TRUE;
    BOOL m_bAscending = TRUE;
    BOOL m_bLBtnDown = FALSE;
    BOOL m_bPainted = FALSE;
    UINT m_nMenuID = 0;
    CPoint m_pt{0, 0};
    CList<int, int> m_arFrozenCols;

    void OnPaint();
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    LRESULT OnLayout(WPARAM wParam, LPARAM lParam);
    void OnDestroy();
    void OnSysColorChange();
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnTimer(UINT_PTR nIDEvent);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    BOOL OnItemChanging(NMHDR* pNMHDR, LRESULT* pResult);
    void OnWindowPosChanging(WINDOWPOS* lpwndpos);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnSortAsc();
    void OnSortDsc();
    void OnAlignLeft();
    void OnAlignCenter();
    void OnAlignRight();

protected:
    // The parent when it is a list view window.
    CWnd* GetParentList() const;
    void Sort(BOOL bAscending);
    // Tells the parent list that the column was clicked, as by the sort menu.
    void SendItemClick(int nCol);

    DECLARE_MESSAGE_MAP()
};

// A header that always draws in the flat Office XP way.
class CXTFlatHeaderCtrl : public CXTHeaderCtrl {
    DECLARE_DYNAMIC(CXTFlatHeaderCtrl)
public:
    CXTFlatHeaderCtrl();
};
