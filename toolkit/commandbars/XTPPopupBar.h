// The bar of a popup menu or drop-down. Its parent is the bar of the
// control that opens it; a context menu's popup opens at a point.
#pragma once

#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControlButton.h"

class CXTPControlPopup;
class CXTPToolBar;

// The scroll buttons' timers.
#define XTP_TID_SCROLL_DOWN 5001
#define XTP_TID_SCROLL_UP 5002

// The tear-off gripper's poll timer.
#define XTP_TID_TEAROFF_HOT 5003

// The expand row's command id.
#define XTP_ID_POPUPBAR_EXPAND 9402

class CXTPPopupBar : public CXTPCommandBar {
    DECLARE_SERIAL(CXTPPopupBar)
public:
    CXTPPopupBar();
    ~CXTPPopupBar() override;

    // A new popup bar of the manager (one reference for the caller).
    static CXTPPopupBar* CreatePopupBar(CXTPCommandBars* pCommandBars);
    // An item wider than this share of the work area's right edge is cut.
    static double s_dMaxWidthDivisor;

    void DelayRedraw() override { Redraw(); }
    void DoPropExchange(CXTPPropExchange* pPX) override;
    BOOL SetTrackingMode(int bMode, BOOL bSelectFirst = TRUE, BOOL bKeyboard = FALSE) override;
    BOOL SetSelected(int nSelected, BOOL bKeyboard = FALSE) override;
    BOOL Popup(CXTPControl* pControl, BOOL bSelectFirst = FALSE) override;
    BOOL IsVisible() const override;
    void OnRecalcLayout() override { OnControlsChanged(); }
    CXTPCommandBar* GetParentCommandBar() const override;
    BOOL OnKeyDown(UINT nChar) override;
    CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
    void DrawCommandBar(CDC* pDC, CRect rcClipBox) override;
    void OnControlsChanged() override;
    virtual void UpdateShortcuts();
    virtual void UpdateFlags();

    // Opens at a screen point, keeping off rcExclude when given.
    virtual BOOL Popup(int x, int y, LPCRECT rcExclude);
    // Shows the rarely used controls.
    void ExpandBar();
    // The animation of this opening: unfold, slide, fade or none.
    int GetAnimationType() const;
    // The index (bByPosition) or id of the first shown default item; -1.
    int FindDefaultItem(BOOL bByPosition) const;

    CXTPControlPopup* GetControlPopup() const { return m_pControlPopup; }
    void SetControlPopup(CXTPControlPopup* pControl) { m_pControlPopup = pControl; }
    DWORD GetPopupFlags() const { return m_popupFlags; }
    void SetPopupFlags(DWORD dwFlags) { m_popupFlags = dwFlags; }
    CRect GetExcludeRect() const { return m_rcExclude; }
    BOOL IsExpanded() const { return m_bExpanded; }
    BOOL HasHiddenControls() const { return m_bCollapsed; }
    BOOL IsScrolling() const { return m_bScrolling; }
    int GetFirstScrolled() const { return m_nFirstScrolled; }
    int GetEndScrolled() const { return m_nEndScrolled; }
    CRect GetScrollUpRect() const { return m_rcScrollUp; }
    CRect GetScrollDownRect() const { return m_rcScrollDown; }
    BOOL GetShowShadow() const { return m_bShowShadow; }
    void SetShowShadow(BOOL bShow) { m_bShowShadow = bShow; }
    BOOL GetKeepPopups() const { return m_bKeepPopups; }
    // The last opening's animation type (5 when it did not animate).
    int GetLastAnimation() const { return m_nLastAnimation; }

    // The tear-off gripper row: the toolbar it becomes is looked up by id
    // among the command bars, else made with this caption and width.
    void SetTearOffPopup(LPCTSTR lpszCaption, UINT nID, DWORD dwWidth = 400);
    BOOL IsTearOffPopup() const { return m_bTearOffPopup; }
    CRect GetTearOffGripperRect() const { return m_rcTearOffGripper; }
    BOOL IsTearOffSelected() const { return m_bTearOffSelected; }
    CXTPToolBar* GetTearOffBar() const { return m_pTearOffBar; }
    // The modal drag off the gripper.
    void TrackTearOff();
    // Shows the popup (inside the gripper's margin) or the floating toolbar.
    // FALSE when no toolbar could be had: the popup then stays shown.
    BOOL SwitchTearOff(BOOL bInside, CPoint point);

    // Message handlers
    int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnTimer(UINT_PTR nIDEvent);

protected:
    BOOL CreatePopupWindow();
    void UpdateLocation(CSize sz);
    // Lays the shown window of a scrolling popup out (Part of the placement).
    void AdjustScrolling(CSize* pSize, BOOL bBottomAnchored, BOOL bInvalidate);
    void UpdateExpandingState();
    void Animate();
    int GetSeparatorHeight(CDC* pDC);
    // Hot tracking of the tear-off gripper.
    void OnTearOffMouseMove(CPoint point);
    void OnTearOffTimer();
    CRect GetBorders(CDC* pDC, int* pnExpandHeight);

    CXTPControlPopup* m_pControlPopup = nullptr;
    CPoint m_ptPopup{0, 0};
    CRect m_rcExclude{0, 0, 0, 0};
    DWORD m_popupFlags = 0;
    BOOL m_bDynamicLayout = FALSE;
    BOOL m_bCollapsed = FALSE;
    BOOL m_bExpanded = FALSE;
    BOOL m_bExpanding = FALSE;
    BOOL m_bShowShadow = TRUE;
    BOOL m_bKeepPopups = FALSE;
    BOOL m_bScrolling = FALSE;
    int m_nFirstScrolled = 0;
    int m_nEndScrolled = 0;
    CRect m_rcScrollUp{0, 0, 0, 0};
    CRect m_rcScrollDown{0, 0, 0, 0};
    UINT_PTR m_nScrollTimer = 0;
    int m_nLastAnimation = 5;
    BOOL m_bTearOffPopup = FALSE;
    CRect m_rcTearOffGripper{0, 0, 0, 0};
    BOOL m_bTearOffSelected = FALSE;
    UINT_PTR m_nTearOffTimer = 0;
    BOOL m_bTearOffTracking = FALSE;
    CSize m_szTearOffBar{0, 0};
    CXTPToolBar* m_pTearOffBar = nullptr;
    CString m_strTearOffCaption;
    UINT m_nTearOffID = 0;
    int m_nTearOffWidth = 400;

    DECLARE_MESSAGE_MAP()
};

// The row at the bottom of a shortened menu that shows every item.
class CXTPControlExpandButton : public CXTPControlButton {
public:
    void OnExecute() override;
    void Draw(CDC* pDC) override;
    void OnMouseHover() override;
};

// A popup that lays its controls out as a toolbar (the expand chevron's).
class CXTPPopupToolBar : public CXTPPopupBar {
    DECLARE_SERIAL(CXTPPopupToolBar)
public:
    CXTPPopupToolBar();
    // A new popup toolbar of the manager (one reference for the caller).
    static CXTPPopupToolBar* CreatePopupToolBar(CXTPCommandBars* pCommandBars);
};
