// The looks of the tab control's strip. The classic style lets the native
// control paint; the flat style (theme ids 1 and 2) draws a flat band with
// the selected tab opening into the page, in four layouts, and gives an
// overflowing single row flat navigation arrows.
#pragma once

#include "platform/mfc/GdiObject.h"
#include "platform/mfc/Rect.h"
#include "toolkit/controls/XTThemeManager.h"

class CDC;
class CXTTabBase;
struct XT_NAVBTNSTATE;

class CXTTabCtrlThemeFactory : public CXTThemeManagerStyleFactory {
    DECLARE_DYNCREATE(CXTTabCtrlThemeFactory)
public:
    // 1 or 2: the flat style; any other id: the classic one.
    CXTThemeManagerStyle* CreateTheme(int nTheme) override;
};

class CXTTabCtrlTheme : public CXTThemeManagerStyle {
public:
    CXTTabCtrlTheme() = default;
    void RefreshMetrics() override;
    virtual void DrawTabCtrl(CDC* pDC, CXTTabBase* pTab);
    // Shows the navigation window for a flat single-line, uncondensed row;
    // hides it otherwise.
    virtual void UpdateNavigation(CXTTabBase* pTab);
    virtual void DrawNavigationButton(CDC* pDC, XT_NAVBTNSTATE* pButton, COLORREF clrGlyph);
};

class CXTTabCtrlThemeOfficeXP : public CXTTabCtrlTheme {
public:
    CXTTabCtrlThemeOfficeXP();
    void RefreshMetrics() override;
    void DrawTabCtrl(CDC* pDC, CXTTabBase* pTab) override;
    void DrawNavigationButton(CDC* pDC, XT_NAVBTNSTATE* pButton, COLORREF clrGlyph) override;

    virtual void DrawBottomTabs(CDC* pDC, CXTTabBase* pTab, CRect rcClient, CRect rcSelItem);
    virtual void DrawTopTabs(CDC* pDC, CXTTabBase* pTab, CRect rcClient, CRect rcSelItem);
    virtual void DrawLeftTabs(CDC* pDC, CXTTabBase* pTab, CRect rcClient, CRect rcSelItem);
    virtual void DrawRightTabs(CDC* pDC, CXTTabBase* pTab, CRect rcClient, CRect rcSelItem);

protected:
    // Each tab's image and label; horizontal or rotated.
    void DrawTabLabels(CDC* pDC, CXTTabBase* pTab, BOOL bVertical);
    // Separators after every tab but the selected one and the one left of it.
    void DrawSeparators(CDC* pDC, CXTTabBase* pTab, BOOL bVertical, int nFrom, int nTo);

    CPen m_penText;
    CPen m_penHilight;
    CPen m_penFace;
    CPen m_penShadow;
    int m_cxEdge = 2;
};
