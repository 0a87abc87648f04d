// Message-map entries for window messages: each unpacks wParam and lParam
// the framework's way and calls the handler of the same name.
#pragma once

#include "platform/mfc/CmdTarget.h"

// An entry for a window message whose thunk runs `call` and answers `answer`.
#define AFX_ON_WM(msg, call, answer) AFX_MSG_ENTRY(msg, 0, 0, 0, 0, call; a_.result = (answer); return TRUE;)
#define AFX_ON_WM_RESULT(msg, call) AFX_MSG_ENTRY(msg, 0, 0, 0, 0, a_.result = static_cast<LRESULT>(call); return TRUE;)

#define AFX_WNDOF(h) CWnd::FromHandle(reinterpret_cast<HWND>(h))
#define AFX_POINT CPoint(a_.lParam)
#define AFX_KEYARGS static_cast<UINT>(a_.wParam), static_cast<UINT>(LOWORD(a_.lParam)), static_cast<UINT>(HIWORD(a_.lParam))
#define AFX_MOUSEARGS static_cast<UINT>(a_.wParam), AFX_POINT

#define ON_WM_CREATE() AFX_ON_WM_RESULT(WM_CREATE, p_->OnCreate(reinterpret_cast<LPCREATESTRUCT>(a_.lParam)))
#define ON_WM_NCCREATE() AFX_ON_WM_RESULT(WM_NCCREATE, p_->OnNcCreate(reinterpret_cast<LPCREATESTRUCT>(a_.lParam)))
#define ON_WM_DESTROY() AFX_ON_WM(WM_DESTROY, p_->OnDestroy(), 0)
#define ON_WM_NCDESTROY() AFX_ON_WM(WM_NCDESTROY, p_->OnNcDestroy(), 0)
#define ON_WM_CLOSE() AFX_ON_WM(WM_CLOSE, p_->OnClose(), 0)
#define ON_WM_SIZE()                                                                                              \
    AFX_ON_WM(WM_SIZE, p_->OnSize(static_cast<UINT>(a_.wParam), LOWORD(a_.lParam), HIWORD(a_.lParam)), 0)
#define ON_WM_MOVE()                                                                                              \
    AFX_ON_WM(WM_MOVE, p_->OnMove(static_cast<short>(LOWORD(a_.lParam)), static_cast<short>(HIWORD(a_.lParam))), 0)
#define ON_WM_SIZING() AFX_ON_WM(WM_SIZING, p_->OnSizing(static_cast<UINT>(a_.wParam), reinterpret_cast<LPRECT>(a_.lParam)), TRUE)
#define ON_WM_MOVING() AFX_ON_WM(WM_MOVING, p_->OnMoving(static_cast<UINT>(a_.wParam), reinterpret_cast<LPRECT>(a_.lParam)), TRUE)
#define ON_WM_PAINT() AFX_ON_WM(WM_PAINT, p_->OnPaint(), 0)
#define ON_WM_NCPAINT() AFX_ON_WM(WM_NCPAINT, p_->OnNcPaint(), 0)
#define ON_WM_ERASEBKGND() AFX_ON_WM_RESULT(WM_ERASEBKGND, p_->OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(a_.wParam))))
#define ON_WM_TIMER() AFX_ON_WM(WM_TIMER, p_->OnTimer(static_cast<UINT_PTR>(a_.wParam)), 0)
#define ON_WM_SHOWWINDOW() AFX_ON_WM(WM_SHOWWINDOW, p_->OnShowWindow(static_cast<BOOL>(a_.wParam), static_cast<UINT>(a_.lParam)), 0)
#define ON_WM_ENABLE() AFX_ON_WM(WM_ENABLE, p_->OnEnable(static_cast<BOOL>(a_.wParam)), 0)
#define ON_WM_SETFOCUS() AFX_ON_WM(WM_SETFOCUS, p_->OnSetFocus(AFX_WNDOF(a_.wParam)), 0)
#define ON_WM_KILLFOCUS() AFX_ON_WM(WM_KILLFOCUS, p_->OnKillFocus(AFX_WNDOF(a_.wParam)), 0)
#define ON_WM_ACTIVATE()                                                                                          \
    AFX_ON_WM(WM_ACTIVATE, p_->OnActivate(LOWORD(a_.wParam), AFX_WNDOF(a_.lParam), static_cast<BOOL>(HIWORD(a_.wParam))), 0)
#define ON_WM_ACTIVATEAPP()                                                                                       \
    AFX_ON_WM(WM_ACTIVATEAPP, p_->OnActivateApp(static_cast<BOOL>(a_.wParam), static_cast<DWORD>(a_.lParam)), 0)
#define ON_WM_NCACTIVATE() AFX_ON_WM_RESULT(WM_NCACTIVATE, p_->OnNcActivate(static_cast<BOOL>(a_.wParam)))
#define ON_WM_MOUSEACTIVATE()                                                                                     \
    AFX_ON_WM_RESULT(WM_MOUSEACTIVATE, p_->OnMouseActivate(AFX_WNDOF(a_.wParam), LOWORD(a_.lParam), HIWORD(a_.lParam)))
#define ON_WM_SETCURSOR()                                                                                         \
    AFX_ON_WM_RESULT(WM_SETCURSOR, p_->OnSetCursor(AFX_WNDOF(a_.wParam), LOWORD(a_.lParam), HIWORD(a_.lParam)))
#define ON_WM_NCHITTEST() AFX_ON_WM_RESULT(WM_NCHITTEST, p_->OnNcHitTest(AFX_POINT))
#define ON_WM_NCCALCSIZE()                                                                                        \
    AFX_ON_WM(WM_NCCALCSIZE,                                                                                      \
              p_->OnNcCalcSize(static_cast<BOOL>(a_.wParam), reinterpret_cast<NCCALCSIZE_PARAMS*>(a_.lParam)), 0)
#define ON_WM_WINDOWPOSCHANGING() AFX_ON_WM(WM_WINDOWPOSCHANGING, p_->OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(a_.lParam)), 0)
#define ON_WM_WINDOWPOSCHANGED() AFX_ON_WM(WM_WINDOWPOSCHANGED, p_->OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(a_.lParam)), 0)
#define ON_WM_GETMINMAXINFO() AFX_ON_WM(WM_GETMINMAXINFO, p_->OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(a_.lParam)), 0)
#define ON_WM_STYLECHANGED()                                                                                      \
    AFX_ON_WM(WM_STYLECHANGED, p_->OnStyleChanged(static_cast<int>(a_.wParam), reinterpret_cast<LPSTYLESTRUCT>(a_.lParam)), 0)
#define ON_WM_STYLECHANGING()                                                                                     \
    AFX_ON_WM(WM_STYLECHANGING, p_->OnStyleChanging(static_cast<int>(a_.wParam), reinterpret_cast<LPSTYLESTRUCT>(a_.lParam)), 0)
#define ON_WM_GETDLGCODE() AFX_ON_WM_RESULT(WM_GETDLGCODE, p_->OnGetDlgCode())
#define ON_WM_CANCELMODE() AFX_ON_WM(WM_CANCELMODE, p_->OnCancelMode(), 0)
#define ON_WM_CHILDACTIVATE() AFX_ON_WM(WM_CHILDACTIVATE, p_->OnChildActivate(), 0)
#define ON_WM_CAPTURECHANGED() AFX_ON_WM(WM_CAPTURECHANGED, p_->OnCaptureChanged(AFX_WNDOF(a_.lParam)), 0)
#define ON_WM_SYSCOMMAND() AFX_ON_WM(WM_SYSCOMMAND, p_->OnSysCommand(static_cast<UINT>(a_.wParam), a_.lParam), 0)
#define ON_WM_CONTEXTMENU() AFX_ON_WM(WM_CONTEXTMENU, p_->OnContextMenu(AFX_WNDOF(a_.wParam), AFX_POINT), 0)
#define ON_WM_SETTINGCHANGE()                                                                                     \
    AFX_ON_WM(WM_SETTINGCHANGE, p_->OnSettingChange(static_cast<UINT>(a_.wParam), reinterpret_cast<LPCTSTR>(a_.lParam)), 0)
#define ON_WM_SYSCOLORCHANGE() AFX_ON_WM(WM_SYSCOLORCHANGE, p_->OnSysColorChange(), 0)
#define ON_WM_ENTERIDLE() AFX_ON_WM(WM_ENTERIDLE, p_->OnEnterIdle(static_cast<UINT>(a_.wParam), AFX_WNDOF(a_.lParam)), 0)
#define ON_WM_ENTERSIZEMOVE() AFX_ON_WM(WM_ENTERSIZEMOVE, p_->OnEnterSizeMove(), 0)
#define ON_WM_EXITSIZEMOVE() AFX_ON_WM(WM_EXITSIZEMOVE, p_->OnExitSizeMove(), 0)
#define ON_WM_ENTERMENULOOP() AFX_ON_WM(WM_ENTERMENULOOP, p_->OnEnterMenuLoop(static_cast<BOOL>(a_.wParam)), 0)
#define ON_WM_EXITMENULOOP() AFX_ON_WM(WM_EXITMENULOOP, p_->OnExitMenuLoop(static_cast<BOOL>(a_.wParam)), 0)
#define ON_WM_MENUSELECT()                                                                                        \
    AFX_ON_WM(WM_MENUSELECT, p_->OnMenuSelect(LOWORD(a_.wParam), HIWORD(a_.wParam), reinterpret_cast<HMENU>(a_.lParam)), 0)
#define AFX_MENUOF(h) CMenu::FromHandle(reinterpret_cast<HMENU>(h))
#define ON_WM_INITMENU() AFX_ON_WM(WM_INITMENU, p_->OnInitMenu(AFX_MENUOF(a_.wParam)), 0)
#define ON_WM_INITMENUPOPUP()                                                                                     \
    AFX_ON_WM(WM_INITMENUPOPUP,                                                                                   \
              p_->OnInitMenuPopup(AFX_MENUOF(a_.wParam), LOWORD(a_.lParam), static_cast<BOOL>(HIWORD(a_.lParam))), 0)
#define ON_WM_MENUCHAR()                                                                                          \
    AFX_ON_WM_RESULT(WM_MENUCHAR, p_->OnMenuChar(LOWORD(a_.wParam), HIWORD(a_.wParam), AFX_MENUOF(a_.lParam)))
#define ON_WM_QUERYENDSESSION() AFX_ON_WM_RESULT(WM_QUERYENDSESSION, p_->OnQueryEndSession())
#define ON_WM_ENDSESSION() AFX_ON_WM(WM_ENDSESSION, p_->OnEndSession(static_cast<BOOL>(a_.wParam)), 0)
#define ON_WM_PARENTNOTIFY() AFX_ON_WM(WM_PARENTNOTIFY, p_->OnParentNotify(static_cast<UINT>(a_.wParam), a_.lParam), 0)

// Keys
#define ON_WM_KEYDOWN() AFX_ON_WM(WM_KEYDOWN, p_->OnKeyDown(AFX_KEYARGS), 0)
#define ON_WM_KEYUP() AFX_ON_WM(WM_KEYUP, p_->OnKeyUp(AFX_KEYARGS), 0)
#define ON_WM_CHAR() AFX_ON_WM(WM_CHAR, p_->OnChar(AFX_KEYARGS), 0)
#define ON_WM_DEADCHAR() AFX_ON_WM(WM_DEADCHAR, p_->OnDeadChar(AFX_KEYARGS), 0)
#define ON_WM_SYSKEYDOWN() AFX_ON_WM(WM_SYSKEYDOWN, p_->OnSysKeyDown(AFX_KEYARGS), 0)
#define ON_WM_SYSKEYUP() AFX_ON_WM(WM_SYSKEYUP, p_->OnSysKeyUp(AFX_KEYARGS), 0)
#define ON_WM_SYSCHAR() AFX_ON_WM(WM_SYSCHAR, p_->OnSysChar(AFX_KEYARGS), 0)

// Mouse, client area
#define ON_WM_MOUSEMOVE() AFX_ON_WM(WM_MOUSEMOVE, p_->OnMouseMove(AFX_MOUSEARGS), 0)
#define ON_WM_LBUTTONDOWN() AFX_ON_WM(WM_LBUTTONDOWN, p_->OnLButtonDown(AFX_MOUSEARGS), 0)
#define ON_WM_LBUTTONUP() AFX_ON_WM(WM_LBUTTONUP, p_->OnLButtonUp(AFX_MOUSEARGS), 0)
#define ON_WM_LBUTTONDBLCLK() AFX_ON_WM(WM_LBUTTONDBLCLK, p_->OnLButtonDblClk(AFX_MOUSEARGS), 0)
#define ON_WM_RBUTTONDOWN() AFX_ON_WM(WM_RBUTTONDOWN, p_->OnRButtonDown(AFX_MOUSEARGS), 0)
#define ON_WM_RBUTTONUP() AFX_ON_WM(WM_RBUTTONUP, p_->OnRButtonUp(AFX_MOUSEARGS), 0)
#define ON_WM_RBUTTONDBLCLK() AFX_ON_WM(WM_RBUTTONDBLCLK, p_->OnRButtonDblClk(AFX_MOUSEARGS), 0)
#define ON_WM_MBUTTONDOWN() AFX_ON_WM(WM_MBUTTONDOWN, p_->OnMButtonDown(AFX_MOUSEARGS), 0)
#define ON_WM_MBUTTONUP() AFX_ON_WM(WM_MBUTTONUP, p_->OnMButtonUp(AFX_MOUSEARGS), 0)
#define ON_WM_MBUTTONDBLCLK() AFX_ON_WM(WM_MBUTTONDBLCLK, p_->OnMButtonDblClk(AFX_MOUSEARGS), 0)
#define ON_WM_MOUSEWHEEL()                                                                                        \
    AFX_ON_WM_RESULT(WM_MOUSEWHEEL, p_->OnMouseWheel(LOWORD(a_.wParam), static_cast<short>(HIWORD(a_.wParam)), AFX_POINT))
#define ON_WM_MOUSEHOVER() AFX_ON_WM(WM_MOUSEHOVER, p_->OnMouseHover(AFX_MOUSEARGS), 0)
#define ON_WM_MOUSELEAVE() AFX_ON_WM(WM_MOUSELEAVE, p_->OnMouseLeave(), 0)

// Mouse, non-client area: handler(hit-test code, screen point)
#define ON_WM_NCMOUSEMOVE() AFX_ON_WM(WM_NCMOUSEMOVE, p_->OnNcMouseMove(AFX_MOUSEARGS), 0)
#define ON_WM_NCLBUTTONDOWN() AFX_ON_WM(WM_NCLBUTTONDOWN, p_->OnNcLButtonDown(AFX_MOUSEARGS), 0)
#define ON_WM_NCLBUTTONUP() AFX_ON_WM(WM_NCLBUTTONUP, p_->OnNcLButtonUp(AFX_MOUSEARGS), 0)
#define ON_WM_NCLBUTTONDBLCLK() AFX_ON_WM(WM_NCLBUTTONDBLCLK, p_->OnNcLButtonDblClk(AFX_MOUSEARGS), 0)
#define ON_WM_NCRBUTTONDOWN() AFX_ON_WM(WM_NCRBUTTONDOWN, p_->OnNcRButtonDown(AFX_MOUSEARGS), 0)
#define ON_WM_NCRBUTTONUP() AFX_ON_WM(WM_NCRBUTTONUP, p_->OnNcRButtonUp(AFX_MOUSEARGS), 0)
#define ON_WM_NCMBUTTONDOWN() AFX_ON_WM(WM_NCMBUTTONDOWN, p_->OnNcMButtonDown(AFX_MOUSEARGS), 0)
#define ON_WM_NCMOUSELEAVE() AFX_ON_WM(WM_NCMOUSELEAVE, p_->OnNcMouseLeave(), 0)

// Scrolling and owner drawing, and their reflections to the child.
#define AFX_SCROLLBAR(h) reinterpret_cast<CScrollBar*>(AFX_WNDOF(h))
#define ON_WM_HSCROLL()                                                                                           \
    AFX_ON_WM(WM_HSCROLL, p_->OnHScroll(LOWORD(a_.wParam), static_cast<short>(HIWORD(a_.wParam)), AFX_SCROLLBAR(a_.lParam)), 0)
#define ON_WM_VSCROLL()                                                                                           \
    AFX_ON_WM(WM_VSCROLL, p_->OnVScroll(LOWORD(a_.wParam), static_cast<short>(HIWORD(a_.wParam)), AFX_SCROLLBAR(a_.lParam)), 0)
#define ON_WM_DRAWITEM()                                                                                          \
    AFX_ON_WM(WM_DRAWITEM, p_->OnDrawItem(static_cast<int>(a_.wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(a_.lParam)), TRUE)
#define ON_WM_MEASUREITEM()                                                                                       \
    AFX_ON_WM(WM_MEASUREITEM,                                                                                     \
              p_->OnMeasureItem(static_cast<int>(a_.wParam), reinterpret_cast<LPMEASUREITEMSTRUCT>(a_.lParam)), TRUE)
#define ON_WM_DELETEITEM()                                                                                        \
    AFX_ON_WM(WM_DELETEITEM,                                                                                      \
              p_->OnDeleteItem(static_cast<int>(a_.wParam), reinterpret_cast<LPDELETEITEMSTRUCT>(a_.lParam)), TRUE)
#define ON_WM_COMPAREITEM()                                                                                       \
    AFX_ON_WM_RESULT(WM_COMPAREITEM,                                                                              \
                     p_->OnCompareItem(static_cast<int>(a_.wParam), reinterpret_cast<LPCOMPAREITEMSTRUCT>(a_.lParam)))
#define ON_WM_CTLCOLOR()                                                                                          \
    AFX_ON_WM_RESULT(WM_CTLCOLOR, reinterpret_cast<LRESULT>(p_->OnCtlColor(CDC::FromHandle(reinterpret_cast<HDC>(a_.wParam)), \
                                                                       AFX_WNDOF(a_.lParam), static_cast<UINT>(a_.nCode))))

#define ON_WM_HSCROLL_REFLECT()                                                                                   \
    AFX_ON_WM(WM_HSCROLL + WM_REFLECT_BASE, p_->HScroll(LOWORD(a_.wParam), static_cast<short>(HIWORD(a_.wParam))), 0)
#define ON_WM_VSCROLL_REFLECT()                                                                                   \
    AFX_ON_WM(WM_VSCROLL + WM_REFLECT_BASE, p_->VScroll(LOWORD(a_.wParam), static_cast<short>(HIWORD(a_.wParam))), 0)
#define ON_WM_DRAWITEM_REFLECT()                                                                                  \
    AFX_ON_WM(WM_DRAWITEM + WM_REFLECT_BASE, p_->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(a_.lParam)), TRUE)
#define ON_WM_MEASUREITEM_REFLECT()                                                                               \
    AFX_ON_WM(WM_MEASUREITEM + WM_REFLECT_BASE, p_->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(a_.lParam)), TRUE)
#define ON_WM_DELETEITEM_REFLECT()                                                                                \
    AFX_ON_WM(WM_DELETEITEM + WM_REFLECT_BASE, p_->DeleteItem(reinterpret_cast<LPDELETEITEMSTRUCT>(a_.lParam)), TRUE)
#define ON_WM_COMPAREITEM_REFLECT()                                                                               \
    AFX_ON_WM_RESULT(WM_COMPAREITEM + WM_REFLECT_BASE, p_->CompareItem(reinterpret_cast<LPCOMPAREITEMSTRUCT>(a_.lParam)))
#define ON_WM_PARENTNOTIFY_REFLECT()                                                                              \
    AFX_ON_WM(WM_PARENTNOTIFY + WM_REFLECT_BASE, p_->ParentNotify(static_cast<UINT>(a_.wParam), a_.lParam), 0)
// The child's brush for its own WM_CTLCOLOR*; a null brush leaves the
// message to the parent.
#define ON_WM_CTLCOLOR_REFLECT()                                                                                  \
    AFX_MSG_ENTRY(WM_CTLCOLOR + WM_REFLECT_BASE, 0, 0, 0, 0,                                                      \
                  HBRUSH brush_ = p_->CtlColor(CDC::FromHandle(reinterpret_cast<AFX_CTLCOLOR*>(a_.lParam)->hDC),  \
                                               reinterpret_cast<AFX_CTLCOLOR*>(a_.lParam)->nCtlType);             \
                  a_.result = reinterpret_cast<LRESULT>(brush_); return brush_ != nullptr;)

// What a reflected WM_CTLCOLOR* carries.
struct AFX_CTLCOLOR {
    HWND hWnd;
    HDC hDC;
    UINT nCtlType;
};

#define CTLCOLOR_MSGBOX 0
#define CTLCOLOR_EDIT 1
#define CTLCOLOR_LISTBOX 2
#define CTLCOLOR_BTN 3
#define CTLCOLOR_DLG 4
#define CTLCOLOR_SCROLLBAR 5
#define CTLCOLOR_STATIC 6

// Control notifications of the standard controls (their codes come with the
// controls).
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_BN_SETFOCUS(id, memberFxn) ON_CONTROL(BN_SETFOCUS, id, memberFxn)
#define ON_BN_KILLFOCUS(id, memberFxn) ON_CONTROL(BN_KILLFOCUS, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_MAXTEXT(id, memberFxn) ON_CONTROL(EN_MAXTEXT, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_LBN_SETFOCUS(id, memberFxn) ON_CONTROL(LBN_SETFOCUS, id, memberFxn)
#define ON_LBN_KILLFOCUS(id, memberFxn) ON_CONTROL(LBN_KILLFOCUS, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_DBLCLK(id, memberFxn) ON_CONTROL(CBN_DBLCLK, id, memberFxn)
#define ON_CBN_SETFOCUS(id, memberFxn) ON_CONTROL(CBN_SETFOCUS, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn) ON_CONTROL(CBN_KILLFOCUS, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_EDITUPDATE(id, memberFxn) ON_CONTROL(CBN_EDITUPDATE, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn) ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_CBN_SELENDCANCEL(id, memberFxn) ON_CONTROL(CBN_SELENDCANCEL, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_STN_DBLCLK(id, memberFxn) ON_CONTROL(STN_DBLCLK, id, memberFxn)
