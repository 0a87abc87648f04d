// The framework's static splitter with themed, thinner bars, live resizing
// while a bar is dragged when the desktop drags full windows, the toolkit's
// splitter cursors, hiding and showing one row and one column, and swapping
// or replacing the view of a pane.
#pragma once

#include "platform/mfc/Splitter.h"
#include "toolkit/controls/XTThemeManager.h"

class CView;

// Splitter style flags.
#define XT_SPLIT_DOTTRACKER 0x0001 // the tracker as a focus rectangle
#define XT_SPLIT_NOFULLDRAG 0x0002 // never drag full windows
#define XT_SPLIT_NOBORDER 0x0004   // with the flat look, a flat outer border in the face colour
#define XT_SPLIT_NOSIZE 0x0008     // the bars cannot be dragged

// The colours of splitter bars (every theme id but 2).
class CXTSplitterTheme : public CXTThemeManagerStyle {
public:
    void RefreshMetrics() override;
    COLORREF m_clrSplitterFace = 0;
    COLORREF m_clrSplitterBorders = 0;
};

// Office 2003: the bars in the colours of the Windows XP scheme.
class CXTSplitterThemeOffice2003 : public CXTSplitterTheme {
public:
    void RefreshMetrics() override;
};

class CXTSplitterThemeFactory : public CXTThemeManagerStyleFactory {
    DECLARE_DYNCREATE(CXTSplitterThemeFactory)
public:
    CXTThemeManagerStyle* CreateTheme(int nTheme) override;
};

class CXTSplitterWnd : public CSplitterWnd, public CXTThemeManagerStyleHost {
    DECLARE_DYNCREATE(CXTSplitterWnd)
public:
    CXTSplitterWnd();
    ~CXTSplitterWnd() override;

    void OnDrawSplitter(CDC* pDC, ESplitType nType, const CRect& rect) override;
    void OnInvertTracker(const CRect& rect) override;
    void SetActivePane(int nRow, int nCol, CWnd* pWnd = nullptr) override;

    virtual void ShowColumn();
    // Nothing for an index outside the columns or for the only one left.
    virtual void HideColumn(int nColHide);
    virtual void ShowRow();
    virtual void HideRow(int nRowHide);
    // Exchanges the pane's view with another child view; FALSE when it is
    // the pane's own.
    virtual BOOL SwitchView(int nRow, int nCol, CView* pView);
    // The old view (hidden, not destroyed), or NULL when nothing changed.
    virtual CView* ReplaceView(int nRow, int nCol, CRuntimeClass* pViewClass);
    virtual CView* ReplaceView(int nRow, int nCol, CView* pView);
    virtual void SetSplitterStyle(DWORD dwxStyle);
    virtual DWORD GetSplitterStyle() const { return m_dwxStyle; }
    virtual void EnableFlatLook(BOOL bFlatSplitter);
    virtual void InvertTracker(const CRect& rect, CBrush* pBrush);

    int GetHiddenColIndex() const { return m_nHiddenCol; }
    int GetHiddenRowIndex() const { return m_nHiddenRow; }
    BOOL IsFullDrag() const { return m_bFullDrag; }

    CXTSplitterTheme* GetSplitterTheme() { return static_cast<CXTSplitterTheme*>(GetTheme()); }
    void OnThemeChanged() override;

    void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
    LRESULT OnNcHitTest(CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);

protected:
    void SetSplitCursor(int ht) override;
    void StartTracking(int ht) override;
    void StopTracking(BOOL bAccept) override;
    static BOOL SystemFullDrag();
    // Rows and columns alike: bColumn chooses which.
    void HideLine(BOOL bColumn, int nHide);
    void ShowLine(BOOL bColumn);

    int m_nHiddenCol = -1;
    int m_nHiddenRow = -1;
    BOOL m_bFullDrag = FALSE;
    BOOL m_bFlatSplit = TRUE;
    DWORD m_dwxStyle = XT_SPLIT_NOFULLDRAG;
    CPoint m_point{-1, -1};
    BOOL m_bClipStyles = FALSE;

    DECLARE_MESSAGE_MAP()
};
