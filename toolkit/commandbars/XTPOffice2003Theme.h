// Paint theme 2: the Office XP drawing with gradient toolbars and dock areas,
// dotted grippers and orange highlights in the colours of the system's
// visual-style scheme; and theme 4, the same drawing in system colours.
#pragma once

#include "platform/mfc/ImageList.h"
#include "toolkit/commandbars/XTPOfficeXPTheme.h"
#include "toolkit/commandbars/XTPVisualStyleWrapper.h"

class CXTPOffice2003Theme : public CXTPOfficeXPTheme {
public:
    CXTPOffice2003Theme();
    ~CXTPOffice2003Theme() override;

    void FillCommandBar(CDC* pDC, CXTPCommandBar* pBar) override;
    void DrawControlBackground(CDC* pDC, CRect rc, BOOL bSelected, BOOL bPressed, BOOL bEnabled, BOOL bChecked,
                               BOOL bPopuped, int nBarType, int nBarPosition) override;
    CSize DrawCommandBarGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) override;
    CSize DrawCommandBarSeparator(CDC* pDC, CXTPCommandBar* pBar, CXTPControl* pControl, BOOL bDraw) override;
    void DrawStatusBarGripper(CDC* pDC, CRect rcClient) override;
    void FillDockBar(CDC* pDC, CWnd* pDockBar) override;
    void RefreshMetrics() override;
    CSize DrawSpecialControl(CDC* pDC, int nKind, CXTPControl* pControl, CXTPCommandBar* pBar, BOOL bDraw,
                             void* pParam) override;
    CRect GetCommandBarBorders(CXTPCommandBar* pBar) override;
    CSize DrawTearOffGripper(CDC* pDC, CRect rc, BOOL bSelected, BOOL bDraw) override;
    CSize DrawDialogBarGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) override;
    int BaseTheme() override { return xtpThemeOffice2003; }
    void DrawStatusBarPaneBorder(CDC* pDC, CRect rc, BOOL bLast) override;
    void FillIconColumn(CDC* pDC, int x, int y, int cx, int cy, BOOL bExpandedOnly) override;

    // The ball glyph's weights: 255 is the mask, else the share of the light end.
    static const BYTE s_ballWeights[16][16];
    CImageList* GetGlyphs() { return &m_ilGlyphs; }

    COLORREF m_clrDockBarLight = 0;
    COLORREF m_clrDockBarDark = 0;
    COLORREF m_clrToolbarDark = 0;
    COLORREF m_clrToolbarLight = 0;
    COLORREF m_clrPopupedLight = 0;
    COLORREF m_clrPopupedDark = 0;
    COLORREF m_clrToolbarShadow = 0;
    COLORREF m_clrFloatingGripper = 0;
    COLORREF m_clrExpandDark = 0;
    COLORREF m_clrExpandLight = 0;
    COLORREF m_clrExpandedDark = 0;
    COLORREF m_clrExpandedLight = 0;
    COLORREF m_clrBallDark = 0;
    COLORREF m_clrBallLight = 0;
    COLORREF m_clrStatusPaneBorder = 0;
    BOOL m_bLunaTheme = FALSE;
    CXTPVisualStyleWrapper m_themeStatus;
    CImageList m_ilGlyphs;

protected:
    // The dock gradient over rc, at least half the screen wide.
    void FillDockGradient(CDC* pDC, CRect rc);
    // The dock area behind a docked toolbar, from its parent window.
    void FillBehindToolbar(CDC* pDC, CXTPCommandBar* pBar);
    void CreateGlyphs();
};

class CXTPDefaultTheme : public CXTPOffice2003Theme {
public:
    CXTPDefaultTheme();
    void RefreshMetrics() override;
};
