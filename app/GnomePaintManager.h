// The program's own command-bar look: a flat grey variant of the classic
// three-dimensional theme. Only bar and dock fills, button states,
// grippers, separators and the status grip differ; fonts, metrics, text,
// images and the other colours stay the classic theme's.
#pragma once

#include "toolkit/commandbars/XTPOffice2000Theme.h"

class CGnomePaintManager : public CXTPOffice2000Theme {
public:
    CGnomePaintManager() = default;
    ~CGnomePaintManager() override;

    void FillCommandBar(CDC* pDC, CXTPCommandBar* pBar) override;
    void DrawControlBackground(CDC* pDC, CRect rc, BOOL bSelected, BOOL bPressed, BOOL bEnabled, BOOL bChecked,
                               BOOL bPopuped, int nBarType, int nBarPosition) override;
    CSize DrawCommandBarGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) override;
    CSize DrawCommandBarSeparator(CDC* pDC, CXTPCommandBar* pBar, CXTPControl* pControl, BOOL bDraw) override;
    void DrawStatusBarGripper(CDC* pDC, CRect rcClient) override;
    void FillDockBar(CDC* pDC, CWnd* pDockBar) override;
};
