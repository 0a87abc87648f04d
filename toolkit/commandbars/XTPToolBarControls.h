// The controls a toolbar's layout adds itself (never saved): the expand
// chevron, the close button of a floating bar and one line of the option
// list.
#pragma once

#include "toolkit/commandbars/XTPControlPopup.h"

class CXTPCommandBars;
class CXTPPopupBar;
class CXTPToolBar;

class CXTPToolBarExpandButton : public CXTPControlPopup {
    DECLARE_SERIAL(CXTPToolBarExpandButton)
public:
    CXTPToolBarExpandButton();
    // The has-hidden flag follows every placement.
    void SetRect(CRect rcControl) override;
    CSize GetSize(CDC* pDC) override;
    void Draw(CDC* pDC) override;
    // Builds the popup of the controls that did not fit and opens it.
    BOOL OnSetPopup(BOOL bPopup) override;
    void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
    // The popup of the last opening, without showing it.
    CXTPPopupBar* BuildExpandPopup();
    BOOL HasHidden() const { return m_bHiddenExists; }
    // Whether the popup offers the option list ("添加或删除按钮").
    static BOOL ShowsOptions(CXTPCommandBars* pCommandBars);

protected:
    BOOL m_bHiddenExists = FALSE;
};

class CXTPToolBarCloseButton : public CXTPControlButton {
    DECLARE_SERIAL(CXTPToolBarCloseButton)
public:
    CXTPToolBarCloseButton();
    CSize GetSize(CDC* pDC) override;
    void Draw(CDC* pDC) override;
    // Hides its bar.
    void OnExecute() override;
};

class CXTPToolBarOptionItem : public CXTPControlButton {
    DECLARE_SERIAL(CXTPToolBarOptionItem)
public:
    CXTPToolBarOptionItem() = default;
    CSize GetSize(CDC* pDC) override;
    void Draw(CDC* pDC) override;
    // Toggles its button, or resets its bar.
    void OnExecute() override;
    void SetTarget(CXTPControl* pControl) { m_pTarget = pControl; }
    CXTPControl* GetTarget() const { return m_pTarget; }
    void SetResetBar(CXTPToolBar* pBar) { m_pResetBar = pBar; }
    CXTPToolBar* GetResetBar() const { return m_pResetBar; }

protected:
    CXTPControl* m_pTarget = nullptr;
    CXTPToolBar* m_pResetBar = nullptr;
};
