// Paint theme 0: flat tinted bars, controls framed in the highlight colour,
// popup menus with a shaded icon column, faded icons that lift when hot.
#pragma once

#include "toolkit/commandbars/XTPPaintManager.h"

class CXTPOfficeXPTheme : public CXTPPaintManager {
public:
    CXTPOfficeXPTheme();
    ~CXTPOfficeXPTheme() override;

    CSize DrawControlPopupParent(CDC* pDC, CXTPControl* pControl, BOOL bDraw) override;
    CSize DrawControlComboBox(CDC* pDC, CXTPControlComboBox* pControl, BOOL bDraw) override;
    CSize DrawControlEdit(CDC* pDC, CXTPControlEdit* pControl, BOOL bDraw) override;
    CSize DrawListBoxControl(CDC* pDC, CXTPControl* pButton, CRect rc, BOOL bSelected, BOOL bDraw,
                             CXTPControlListBox* pListBox) override;
    void FillCommandBar(CDC* pDC, CXTPCommandBar* pBar) override;
    using CXTPPaintManager::DrawControlEntry;
    int DrawControlEntry(CDC* pDC, CRect rc, BOOL bEnabled, BOOL bSelected, BOOL bPressed, BOOL bChecked,
                         BOOL bPopuped, int nBarPosition) override;
    void DrawControlBackground(CDC* pDC, CRect rc, BOOL bSelected, BOOL bPressed, BOOL bEnabled, BOOL bChecked,
                               BOOL bPopuped, int nBarType, int nBarPosition) override;
    CSize DrawCommandBarGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) override;
    CSize DrawCommandBarSeparator(CDC* pDC, CXTPCommandBar* pBar, CXTPControl* pControl, BOOL bDraw) override;
    void AdjustExcludeRect(CRect& rc, CXTPControl* pControl, BOOL bVertical) override;
    BOOL IsFlatStyle() override { return TRUE; }
    CSize DrawSpecialControl(CDC* pDC, int nKind, CXTPControl* pControl, CXTPCommandBar* pBar, BOOL bDraw,
                             void* pParam) override;
    CSize DrawTearOffGripper(CDC* pDC, CRect rc, BOOL bSelected, BOOL bDraw) override;
    void DrawImage(CDC* pDC, CPoint pt, CSize sz, CXTPImageManagerIcon* pImage, BOOL bSelected, BOOL bPressed,
                   BOOL bEnabled, BOOL bChecked, BOOL bPopuped, BOOL bToolBarImage) override;
    CSize DrawDialogBarGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) override;
    int BaseTheme() override { return xtpThemeOfficeXP; }
    void DrawStatusBarPaneBorder(CDC* pDC, CRect rc, BOOL bLast) override;

    // Own slot: the icon column of popup items; 42 for items shown only in
    // the expanded menu, else 30.
    virtual void FillIconColumn(CDC* pDC, int x, int y, int cx, int cy, BOOL bExpandedOnly);

protected:
    // The icon column of a bar, g' (without the extra pixel).
    int IconColumnWidth(CXTPCommandBar* pBar) const;
    // Where a popup bar meets the control that opened it: that area in the
    // popup's client coordinates, empty when they do not touch.
    static CRect PopupJoint(CXTPCommandBar* pBar);
    // The frame of a popup bar, its icon column and the joint in nJoint.
    void FillPopupBar(CDC* pDC, CXTPCommandBar* pBar, int nJoint);
    // Twice framed floating bars with the inner corners set to the pen.
    void FillFloatingFrame(CDC* pDC, CRect rc, int nPen, int nBrush);
    CSize DrawFieldControl(CDC* pDC, CXTPControl* pControl, BOOL bDraw, BOOL bCombo);
};
