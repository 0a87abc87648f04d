// The bar of a popup menu or drop-down. Its parent is the bar of the
// control that opens it.
#pragma once

#include "toolkit/commandbars/XTPCommandBar.h"

class CXTPControlPopup;

class CXTPPopupBar : public CXTPCommandBar {
    DECLARE_SERIAL(CXTPPopupBar)
public:
    CXTPPopupBar();

    // A new popup bar of the manager (one reference for the caller).
    static CXTPPopupBar* CreatePopupBar(CXTPCommandBars* pCommandBars);

    CXTPCommandBar* GetParentCommandBar() const override;
    // Shows the popup at a screen point, beside the excluded rectangle.
    virtual BOOL Popup(int x, int y, LPCRECT lpExclude);
    using CXTPCommandBar::Popup;
    CXTPControlPopup* GetControlPopup() const { return m_pControlPopup; }
    void SetControlPopup(CXTPControlPopup* pControl) { m_pControlPopup = pControl; }

protected:
    CXTPControlPopup* m_pControlPopup = nullptr;
};

// A popup that lays its controls out as a toolbar (the expand chevron's).
class CXTPPopupToolBar : public CXTPPopupBar {
    DECLARE_SERIAL(CXTPPopupToolBar)
public:
    CXTPPopupToolBar();
    // A new popup toolbar of the manager (one reference for the caller).
    static CXTPPopupToolBar* CreatePopupToolBar(CXTPCommandBars* pCommandBars);
};
