// Flat left/right arrows (and an optional close button) over the right end of
// a single-line tab row: they take over the native scroll arrows (child 1 of
// the tab control) or make a window of their own.
#pragma once

#include "platform/mfc/Wnd.h"

class CTabCtrl;
class CXTTabBase;
class CXTTabNavigationWnd;

#define XT_NAVBTN_LEFT 0x0002
#define XT_NAVBTN_RIGHT 0x0004
#define XT_NAVBTN_CLOSE 0x0008
#define XT_NAVBTN_DISABLED 0x0100
#define XT_NAVBTN_PRESSED 0x1000
#define XT_NAVBTN_HOT 0x4000

// Which buttons exist.
#define XT_NAVBTNSET_ARROWS 0x0001
#define XT_NAVBTNSET_CLOSE 0x0002

// The close button's command to the tab control.
#define XT_IDC_TAB_CLOSE 9169

struct XT_NAVBTNSTATE {
    RECT rc;
    DWORD dwFlags;
    CTabCtrl* pTabCtrl;
    CXTTabNavigationWnd* pOwner;
};

class CXTTabNavigationWnd : public CWnd {
public:
    CXTTabNavigationWnd();
    ~CXTTabNavigationWnd() override;

    void Attach(CXTTabBase* pTabBase);
    void Show(BOOL bShow);
    // Takes over the native arrows, or makes a window of its own.
    void AttachUpDown(CWnd* pUpDown);
    void Reposition();
    void GetNavigationRect(CRect& rc);
    BOOL IsShown() const { return m_bShown; }

    // The records in the order close, left arrow, right arrow.
    XT_NAVBTNSTATE m_buttons[3];
    DWORD m_dwButtons = XT_NAVBTNSET_ARROWS;

    void OnPaint();
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnMouseLeave();
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnWindowPosChanged(WINDOWPOS* lpwndpos);

protected:
    // Lays the buttons out and sets their enabled state.
    void UpdateButtons(const CRect& rcClient);
    BOOL HasTabs() const;
    void UpdateHot(CPoint point);
    // Follows the button while the mouse is held; TRUE when released on it.
    BOOL PressLoop(XT_NAVBTNSTATE& button, BOOL bRepeat);
    void ScrollOne(const XT_NAVBTNSTATE& button);

    CTabCtrl* m_pTabCtrl = nullptr;
    CXTTabBase* m_pTabBase = nullptr;
    BOOL m_bShown = FALSE;
    HWND m_hWndUpDown = nullptr;
    HWND m_hWndOwn = nullptr;

    DECLARE_MESSAGE_MAP()
};
