// Paint theme 3: the Office 2000 drawing with bars, buttons, grippers, combo
// buttons and the status bar drawn by the system's visual styles whenever
// the application is themed.
#pragma once

#include "toolkit/commandbars/XTPOffice2000Theme.h"
#include "toolkit/commandbars/XTPVisualStyleWrapper.h"

class CXTPNativeXPTheme : public CXTPOffice2000Theme {
public:
    CXTPNativeXPTheme();
    ~CXTPNativeXPTheme() override;

    void DrawSplitButtonFrame(CDC* pDC, CXTPControl* pControl, CRect rc) override;
    void FillCommandBar(CDC* pDC, CXTPCommandBar* pBar) override;
    void DrawControlBackground(CDC* pDC, CRect rc, BOOL bSelected, BOOL bPressed, BOOL bEnabled, BOOL bChecked,
                               BOOL bPopuped, int nBarType, int nBarPosition) override;
    CSize DrawCommandBarGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) override;
    void AdjustExcludeRect(CRect& rc, CXTPControl* pControl, BOOL bVertical) override;
    void DrawStatusBarGripper(CDC* pDC, CRect rcClient) override;
    void FillDockBar(CDC* pDC, CWnd* pDockBar) override;
    void FillStatusBar(CDC* pDC, CStatusBar* pBar) override;
    void RefreshMetrics() override;
    CSize DrawDialogBarGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) override;
    int BaseTheme() override { return xtpThemeNativeWinXP; }
    void DrawStatusBarPaneBorder(CDC* pDC, CRect rc, BOOL bLast) override;
    void DrawEditFrame(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected) override;
    void DrawComboBoxButton(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected, BOOL bDropped) override;

    CXTPVisualStyleWrapper m_themeRebar;
    CXTPVisualStyleWrapper m_themeToolbar;
    CXTPVisualStyleWrapper m_themeComboBox;
    CXTPVisualStyleWrapper m_themeStatusBar;
    COLORREF m_clrEdgeShadowColor = 0;

protected:
    // pWnd's client area covered by the rebar of pReference's whole extent.
    void FillRebarBackground(CDC* pDC, CWnd* pWnd, CWnd* pReference);
};

