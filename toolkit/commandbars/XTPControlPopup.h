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
    void DoPropExchange(CXTPPropExchange* pPX) override;
    // The id of the popup bar a loaded control links to once the bars are loaded.
    UINT m_nPendingBarID = 0;
    BOOL GetPopuped() const { return m_bPopup; }
    // Without a recursive copy both controls share the source's bar.
    void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
    BOOL Compare(CXTPControl* pOther) override;
    BOOL OnSetPopup(BOOL bPopup) override;
    void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
    void OnLButtonUp(CPoint point) override;
    BOOL OnLButtonDblClk(CPoint point) override;
    void OnMouseHover() override;
    BOOL OnSetSelected(int bSelected) override;
    // Opens its popup for the drop, unless the dragged control's popups and
    // this one's share a bar: a menu is never dropped into itself.
    void OnCustomizeDragOver(CXTPControl* pDataObject, CPoint point) override;
    // The shadow joining the control to its open popup (flat themes).
    virtual void UpdateShadow();
    // The screen part the popup must not cover, as the theme sees it.
    virtual void AdjustExcludeRect(CRect& rc);
    // Shows the open popup's rarely used items.
    void ExpandCommandBar();

protected:
    CXTPCommandBar* m_pCommandBar = nullptr;
    BOOL m_bPopup = FALSE;
};
