// One of the four docking strips along the frame's edges: the order of its
// toolbars in rows, the rows' layout when the frame lays out (too long a
// row shrinks its hide-wrap bars, then wraps), stretched bars on rows of
// their own, and the place a dropped bar takes.
#pragma once

#include "platform/mfc/FrameWnd.h"
#include "platform/mfc/Wnd.h"

#include <vector>

class CXTPCommandBars;
class CXTPToolBar;

class CXTPDockBar : public CWnd {
    DECLARE_DYNAMIC(CXTPDockBar)
public:
    explicit CXTPDockBar(CXTPCommandBars* pCommandBars);
    ~CXTPDockBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID);
    // 0 top, 1 bottom, 2 left, 3 right.
    int GetPosition() const;
    BOOL IsHorizontal() const { return GetPosition() <= 1; }

    // The bar's index in the row array, skipping nExclude; -1 for none.
    int FindBar(const CXTPToolBar* pBar, int nExclude = -1) const;
    // Into the row the rectangle's centre falls in (screen coordinates), or
    // a new last row without one.
    void DockCommandBar(CXTPToolBar* pBar, LPCRECT lpRect = nullptr);
    BOOL RemoveCommandBar(CXTPToolBar* pBar, int nExclude = -1);
    // A bar that goes away without a relayout (its own destruction).
    void ForgetCommandBar(CXTPToolBar* pBar);
    // The visible toolbars of the index's row, by their place along the row.
    void GetVisibleToolBarsInRow(int nIndex, std::vector<CXTPToolBar*>& arrBars) const;
    // The row array: a null entry breaks rows; it starts with one and every
    // row ends with one.
    const std::vector<CXTPToolBar*>& GetRowArray() const { return m_arrBars; }

    CSize CalcDockBarLayout(int nLength, DWORD dwMode, AFX_SIZEPARENTPARAMS* pLayout);
    // Where a bar whose centre is at pt (client coordinates) goes; inserts it.
    int InsertCommandBar(CXTPToolBar* pBar, CPoint pt);
    // A stored row entry (a bar or a break) at the index, kept between the
    // leading and the trailing break; CompactRows then drops empty rows.
    void InsertRowEntry(int nIndex, CXTPToolBar* pBar);
    void CompactRows();

    // Message handlers
    void OnPaint();
    LRESULT OnPrint(WPARAM wParam, LPARAM lParam);
    void OnRButtonDown(UINT nFlags, CPoint point);
    LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);

protected:
    struct RowItem;
    // phdwp: null to measure only; a null batch in it moves the bars at once.
    int WrapRow(std::vector<RowItem>& row, int nOffset, int nLength, BOOL bHorz, HDWP* phdwp);
    // The row's thickness, or FALSE with the index (in row) of a bar to spill.
    BOOL LayoutRow(std::vector<RowItem>& row, int nOffset, int nLength, BOOL bHorz, HDWP* phdwp, int& nThickness,
                   size_t& nSpill);
    void MarkFrameLayout();
    void PutStretchedOnOwnRows();

    DWORD m_dwStyle = 0;
    std::vector<CXTPToolBar*> m_arrBars;
    CXTPCommandBars* m_pCommandBars;

    DECLARE_MESSAGE_MAP()
};
