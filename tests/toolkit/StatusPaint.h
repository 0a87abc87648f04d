// A paint manager for status-bar tests: it fills bars in one colour and
// counts what it is asked to draw; the command-bar slots draw nothing.
#pragma once

#include "toolkit/commandbars/XTPPaintManager.h"

namespace tavrin::test {

class StatusPaint : public CXTPPaintManager {
public:
    explicit StatusPaint(COLORREF fill) : m_fill(fill) {}
    int fills = 0;
    int panes = 0;
    int grips = 0;

    void FillStatusBar(CDC* pDC, CStatusBar* pBar) override;
    void DrawStatusBarPane(CDC* pDC, CStatusBar* pBar, int nIndex) override;
    void DrawStatusBarGripper(CDC* pDC, CRect rcClient) override;

    CSize DrawControlPopupParent(CDC*, CXTPControl*, BOOL) override { return CSize(); }
    CSize DrawControlComboBox(CDC*, CXTPControlComboBox*, BOOL) override { return CSize(); }
    CSize DrawControlEdit(CDC*, CXTPControlEdit*, BOOL) override { return CSize(); }
    CSize DrawListBoxControl(CDC*, CXTPControl*, CRect, BOOL, BOOL, CXTPControlListBox*) override { return CSize(); }
    void FillCommandBar(CDC*, CXTPCommandBar*) override {}
    int DrawControlEntry(CDC*, CRect, BOOL, BOOL, BOOL, BOOL, BOOL, int) override { return 0; }
    using CXTPPaintManager::DrawControlEntry;
    void DrawControlBackground(CDC*, CRect, BOOL, BOOL, BOOL, BOOL, BOOL, int, int) override {}
    CSize DrawCommandBarGripper(CDC*, CXTPCommandBar*, BOOL) override { return CSize(); }
    CSize DrawCommandBarSeparator(CDC*, CXTPCommandBar*, CXTPControl*, BOOL) override { return CSize(); }
    void AdjustExcludeRect(CRect&, CXTPControl*, BOOL) override {}
    CSize DrawTearOffGripper(CDC*, CRect, BOOL, BOOL) override { return CSize(); }
    void DrawImage(CDC*, CPoint, CSize, CXTPImageManagerIcon*, BOOL, BOOL, BOOL, BOOL, BOOL, BOOL) override {}
    CSize DrawDialogBarGripper(CDC*, CXTPCommandBar*, BOOL) override { return CSize(); }
    int BaseTheme() override { return xtpThemeCustom; }

private:
    COLORREF m_fill;
};

} // namespace tavrin::test
