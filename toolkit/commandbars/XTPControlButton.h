// The plain button and the label of the bars.
#pragma once

#include "toolkit/commandbars/XTPControl.h"

class CXTPControlButton : public CXTPControl {
    DECLARE_SERIAL(CXTPControlButton)
public:
    CXTPControlButton() { m_controlType = xtpControlButton; }
    // By keyboard it runs at once; by mouse it is pressed until released.
    void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
    // On a popup bar the release runs the item.
    void OnLButtonUp(CPoint point) override;
    void DoPropExchange(CXTPPropExchange* pPX) override;
};

class CXTPControlLabel : public CXTPControl {
    DECLARE_SERIAL(CXTPControlLabel)
public:
    // Out of keyboard walks and not movable.
    CXTPControlLabel()
    {
        m_controlType = xtpControlLabel;
        m_dwFlags = xtpFlagSkipFocus | xtpFlagNoMovable;
    }
    // Never highlighted.
    int GetSelected() const override { return FALSE; }
    BOOL IsLabel() const override { return TRUE; }
};
