// Paint theme 1: classic three-dimensional bars in system colours, raised
// and sunken button frames, highlighted popup items.
#pragma once

#include "toolkit/commandbars/XTPPaintManager.h"

class CXTPOffice2000Theme : public CXTPPaintManager {
public:
    CXTPOffice2000Theme();
    ~CXTPOffice2000Theme() override;

    CSize DrawControlPopupParent(CDC* pDC, CXTPControl* pControl, BOOL bDraw) override;
    void DrawSplitButtonFrame(CDC* pDC, CXTPControl* pControl, CRect rc) override;
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
    BOOL IsFlatStyle() override { return FALSE; }
    CSize DrawSpecialControl(CDC* pDC, int nKind, CXTPControl* pControl, CXTPCommandBar* pBar, BOOL bDraw,
                             void* pParam) override;
    CRect GetCommandBarBorders(CXTPCommandBar* pBar) override;
    CSize DrawTearOffGripper(CDC* pDC, CRect rc, BOOL bSelected, BOOL bDraw) override;
    void DrawImage(CDC* pDC, CPoint pt, CSize sz, CXTPImageManagerIcon* pImage, BOOL bSelected, BOOL bPressed,
                   BOOL bEnabled, BOOL bChecked, BOOL bPopuped, BOOL bToolBarImage) override;
    CSize DrawDialogBarGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) override;
    int BaseTheme() override { return xtpThemeOffice2000; }

    // Own slots.
    virtual void DrawEditFrame(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected);
    virtual void DrawComboBoxButton(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected, BOOL bDropped);
    // Answers the text's height; measuring puts the extent into the rectangle.
    virtual int DrawControlText(CDC* pDC, const CString& strText, CRect* pRect, UINT nFormat, BOOL bDraw,
                                BOOL bSelected, BOOL bEnabled);

    // The 8 x 8 dither of checked buttons in colours 15 and 20.
    void FillCheckedBackground(CDC* pDC, CRect rc);

    // Enabled, unselected text on popup bars.
    int m_nPopupBarText = COLOR_BTNTEXT;

protected:
    void DrawRaised(CDC* pDC, CRect rc) { Draw3dRect(pDC, rc, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW); }
    void DrawSunken(CDC* pDC, CRect rc) { Draw3dRect(pDC, rc, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT); }
    // The popup item of a control, with an optional check column of width
    // nCheckColumn in front of the icon column.
    CSize DrawPopupItem(CDC* pDC, CXTPControl* pControl, BOOL bDraw, int nCheckColumn);
    // The label and the width of an edit or combo field.
    CSize DrawFieldLabel(CDC* pDC, CXTPControl* pControl, BOOL bDraw, BOOL bShowLabel, int nWidth, int& nLabelWidth,
                         CRect& rcField);

    CBitmap m_bmpDither;
    CBrush m_brushDither;
};
