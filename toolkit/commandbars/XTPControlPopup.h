// A control that opens a popup bar: a menu item with a submenu, a button
// with a drop-down, or a split button. It holds one reference of its bar.
#pragma once

#include "toolkit/commandbars/XTPControlButton.h"

class CXTPCommandBar;

class CXTPControlPopup : public CXTPControlButton {
    DECLARE_SERIAL(CXTPControlPopup)
public:
    CXTPControlPopup() { m_controlType = xtpControlPopup; }
    ~CXTPControlPopup() override;

    // A popup control of type 2, 3 or 4.
    static CXTPControlPopup* CreateControlPopup(int controlType);

    CXTPCommandBar* GetCommandBar() override { return m_pCommandBar; }
    // Takes its own reference of the bar and releases the previous one.
    void SetCommandBar(CXTPCommandBar* pBar);
    BOOL GetPopuped() const { return m_bPopup; }
    // Without a recursive copy both controls share the source's bar.
    void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
    BOOL Compare(CXTPControl* pOther) override;

protected:
    CXTPCommandBar* m_pCommandBar = nullptr;
    BOOL m_bPopup = FALSE;
};
