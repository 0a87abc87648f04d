// The looks of the toolkit's header control: each style draws the header
// into an off-screen DC (background, item dividers, text, sort arrow), lays
// it out and keeps the items' own bitmaps.
#pragma once

#include "platform/controls/Header.h"
#include "platform/mfc/Rect.h"
#include "platform/win/Notify.h"
#include "toolkit/commandbars/XTPVisualStyleWrapper.h"
#include "toolkit/controls/XTThemeManager.h"

class CDC;
class CXTHeaderCtrl;

// Draw-style bits.
#define XTTHEME_WINXPTHEMES 0x0001
#define XTTHEME_HOTTRACKING 0x0002
#define XTTHEME_SORTARROW 0x0004

class CXTHeaderThemeFactory : public CXTThemeManagerStyleFactory {
    DECLARE_DYNCREATE(CXTHeaderThemeFactory)
public:
    // 1: Office XP, 2: Office 2003, any other id: classic.
    CXTThemeManagerStyle* CreateTheme(int nTheme) override;
};

class CXTHeaderTheme : public CXTThemeManagerStyle {
public:
    CXTHeaderTheme();
    ~CXTHeaderTheme() override = default;

    void RefreshMetrics() override;
    virtual void DrawHeader(CDC* pDC, CXTHeaderCtrl* pHeaderCtrl);
    virtual BOOL UseVisualStyles(CXTHeaderCtrl* pHeaderCtrl);
    virtual void SetDrawStyle(DWORD dwDrawStyle, CXTHeaderCtrl* pHeaderCtrl);
    virtual DWORD GetDrawStyle() const { return m_dwDrawStyle; }
    virtual BOOL Layout(LPHDLAYOUT lpHDL, CXTHeaderCtrl* pHeaderCtrl);
    virtual void CleanUp(CXTHeaderCtrl* pHeaderCtrl);
    virtual BOOL SetBitmap(int iCol, UINT uBitmapID, BOOL bRemove, COLORREF crMask, CXTHeaderCtrl* pHeaderCtrl);
    virtual void DrawBackground(LPDRAWITEMSTRUCT lpDIS);
    virtual BOOL DrawVisualStyleBackground(LPDRAWITEMSTRUCT lpDIS);
    virtual void DrawItemBackground(LPDRAWITEMSTRUCT lpDIS);
    virtual BOOL DrawVisualStyleItemBackground(LPDRAWITEMSTRUCT lpDIS);
    // lpDIS->rcItem is the text's box.
    virtual void DrawSortArrowFor(LPDRAWITEMSTRUCT lpDIS, BOOL bAscending);
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDIS, CXTHeaderCtrl* pHeaderCtrl);
    // Draws the item's own image list at the text's left; FALSE when it does not fit.
    virtual BOOL DrawItemBitmap(LPDRAWITEMSTRUCT lpDIS, CRect& rcText, CXTHeaderCtrl* pHeaderCtrl);
    // pts: apex, left base corner, right base corner.
    virtual void DrawSortArrow(CDC* pDC, LPPOINT pts, BOOL bAscending);

    int m_iArrowPadding = 10;
    DWORD m_dwDrawStyle = XTTHEME_WINXPTHEMES | XTTHEME_HOTTRACKING | XTTHEME_SORTARROW;
    BOOL m_bUseWinThemes = FALSE;
    int m_nTextMargin = 6;
    int m_nTextTop = 0;
    int m_cxArrow = 8;
    int m_cyArrow = 7;
    COLORREF m_crText = 0;
    COLORREF m_cr3DFace = 0;
    COLORREF m_cr3DShadow = 0;
    COLORREF m_cr3DDkShadow = 0;
    COLORREF m_cr3DHighLight = 0;
    CXTPVisualStyleWrapper m_themeHeader;

protected:
    // The background rectangle: the client area, 2 pixels wider on the right.
    CRect BackgroundRect(LPDRAWITEMSTRUCT lpDIS) const;
    BOOL LayoutByFont(LPHDLAYOUT lpHDL, CXTHeaderCtrl* pHeaderCtrl, int nExtra);
};

class CXTHeaderThemeOfficeXP : public CXTHeaderTheme {
public:
    CXTHeaderThemeOfficeXP();
    void DrawBackground(LPDRAWITEMSTRUCT lpDIS) override;
    void DrawItemBackground(LPDRAWITEMSTRUCT lpDIS) override;
};

class CXTHeaderThemeOffice2003 : public CXTHeaderTheme {
public:
    CXTHeaderThemeOffice2003();
    BOOL Layout(LPHDLAYOUT lpHDL, CXTHeaderCtrl* pHeaderCtrl) override;
    void DrawBackground(LPDRAWITEMSTRUCT lpDIS) override;
    void DrawItemBackground(LPDRAWITEMSTRUCT lpDIS) override;
};

// The Office 2003 look drawn with the visual styles when they are there.
class CXTHeaderThemeVisualStyle : public CXTHeaderThemeOffice2003 {
public:
    CXTHeaderThemeVisualStyle();
    BOOL Layout(LPHDLAYOUT lpHDL, CXTHeaderCtrl* pHeaderCtrl) override;
    BOOL DrawVisualStyleItemBackground(LPDRAWITEMSTRUCT lpDIS) override;
    void DrawSortArrow(CDC* pDC, LPPOINT pts, BOOL bAscending) override;
};

namespace tavrin::toolkit {
// Per channel trunc(a - (a - b) * t).
COLORREF HeaderBlend(COLORREF clrA, COLORREF clrB, double t);
} // namespace tavrin::toolkit
