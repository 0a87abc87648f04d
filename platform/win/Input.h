// Mouse and keyboard input. Presenters and tests feed events through the
// tavrin::win synthetic input calls; each event joins the input queue of the
// thread owning the window it goes to (the capture window, or the top-level
// window under the point; the focus window for keys) and becomes a message
// when that thread retrieves it: mouse events are hit-tested there
// (WM_NCHITTEST, WM_SETCURSOR, WM_MOUSEACTIVATE), double clicks are made for
// classes with CS_DBLCLKS, and the mouse and keyboard hooks may swallow them.
#pragma once

#include "platform/win/Window.h"

#define VK_LBUTTON 0x01
#define VK_RBUTTON 0x02
#define VK_CANCEL 0x03
#define VK_MBUTTON 0x04
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_CLEAR 0x0C
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_PAUSE 0x13
#define VK_CAPITAL 0x14
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_SELECT 0x29
#define VK_PRINT 0x2A
#define VK_EXECUTE 0x2B
#define VK_SNAPSHOT 0x2C
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define VK_HELP 0x2F
#define VK_LWIN 0x5B
#define VK_RWIN 0x5C
#define VK_APPS 0x5D
#define VK_NUMPAD0 0x60
#define VK_NUMPAD9 0x69
#define VK_MULTIPLY 0x6A
#define VK_ADD 0x6B
#define VK_SEPARATOR 0x6C
#define VK_SUBTRACT 0x6D
#define VK_DECIMAL 0x6E
#define VK_DIVIDE 0x6F
#define VK_F1 0x70
#define VK_F2 0x71
#define VK_F3 0x72
#define VK_F4 0x73
#define VK_F5 0x74
#define VK_F6 0x75
#define VK_F7 0x76
#define VK_F8 0x77
#define VK_F9 0x78
#define VK_F10 0x79
#define VK_F11 0x7A
#define VK_F12 0x7B
#define VK_NUMLOCK 0x90
#define VK_SCROLL 0x91
#define VK_LSHIFT 0xA0
#define VK_RSHIFT 0xA1
#define VK_LCONTROL 0xA2
#define VK_RCONTROL 0xA3
#define VK_LMENU 0xA4
#define VK_RMENU 0xA5
#define VK_OEM_1 0xBA
#define VK_OEM_PLUS 0xBB
#define VK_OEM_COMMA 0xBC
#define VK_OEM_MINUS 0xBD
#define VK_OEM_PERIOD 0xBE
#define VK_OEM_2 0xBF
#define VK_OEM_3 0xC0
#define VK_OEM_4 0xDB
#define VK_OEM_5 0xDC
#define VK_OEM_6 0xDD
#define VK_OEM_7 0xDE
#define VK_PROCESSKEY 0xE5
#define VK_ATTN 0xF6
#define VK_CRSEL 0xF7
#define VK_EXSEL 0xF8
#define VK_EREOF 0xF9
#define VK_PLAY 0xFA
#define VK_ZOOM 0xFB
#define VK_NONAME 0xFC
#define VK_PA1 0xFD
#define VK_OEM_CLEAR 0xFE

// Mouse message wParam
#define MK_LBUTTON 0x0001
#define MK_RBUTTON 0x0002
#define MK_SHIFT 0x0004
#define MK_CONTROL 0x0008
#define MK_MBUTTON 0x0010

// Keystroke lParam bits, in the high word
#define KF_EXTENDED 0x0100
#define KF_DLGMODE 0x0800
#define KF_MENUMODE 0x1000
#define KF_ALTDOWN 0x2000
#define KF_REPEAT 0x4000
#define KF_UP 0x8000

#define WHEEL_DELTA 120

// WM_NCHITTEST answers
#define HTERROR (-2)
#define HTTRANSPARENT (-1)
#define HTNOWHERE 0
#define HTCLIENT 1
#define HTCAPTION 2
#define HTSYSMENU 3
#define HTGROWBOX 4
#define HTSIZE HTGROWBOX
#define HTMENU 5
#define HTHSCROLL 6
#define HTVSCROLL 7
#define HTMINBUTTON 8
#define HTMAXBUTTON 9
#define HTLEFT 10
#define HTRIGHT 11
#define HTTOP 12
#define HTTOPLEFT 13
#define HTTOPRIGHT 14
#define HTBOTTOM 15
#define HTBOTTOMLEFT 16
#define HTBOTTOMRIGHT 17
#define HTBORDER 18
#define HTREDUCE HTMINBUTTON
#define HTZOOM HTMAXBUTTON
#define HTCLOSE 20
#define HTHELP 21

#define TME_HOVER 0x00000001
#define TME_LEAVE 0x00000002
#define TME_NONCLIENT 0x00000010
#define TME_QUERY 0x40000000
#define TME_CANCEL 0x80000000
#define HOVER_DEFAULT 0xFFFFFFFF

struct TRACKMOUSEEVENT {
    DWORD cbSize;
    DWORD dwFlags;
    HWND hwndTrack;
    DWORD dwHoverTime;
};
typedef TRACKMOUSEEVENT* LPTRACKMOUSEEVENT;

// The key's state as of the last input message the thread retrieved: the
// high bit when down, the low bit when toggled.
SHORT GetKeyState(int key);
// The key's state now.
SHORT GetAsyncKeyState(int key);
BOOL GetKeyboardState(LPBYTE keys);
BOOL GetCursorPos(LPPOINT pt);
// Moves the cursor and makes a mouse move where it lands.
BOOL SetCursorPos(int x, int y);
// Leave and hover notifications for one window (of the calling thread).
BOOL TrackMouseEvent(LPTRACKMOUSEEVENT track);
inline BOOL _TrackMouseEvent(LPTRACKMOUSEEVENT track) { return TrackMouseEvent(track); }
// 0: virtual key to scan code; 1: scan code to virtual key; 2: virtual key
// to its unshifted character.
UINT MapVirtualKeyA(UINT code, UINT mapType);
inline UINT MapVirtualKey(UINT code, UINT mapType) { return MapVirtualKeyA(code, mapType); }
// The key name of the layout (a US layout), from the scan code in bits 16-24.
int GetKeyNameTextA(LONG lParam, LPSTR buffer, int size);
inline int GetKeyNameText(LONG lParam, LPSTR buffer, int size) { return GetKeyNameTextA(lParam, buffer, size); }
// The virtual key and shift state (high byte: 1 shift) that type a character.
SHORT VkKeyScanA(CHAR ch);
inline SHORT VkKeyScan(CHAR ch) { return VkKeyScanA(ch); }

namespace tavrin::win {

enum class MouseButton { Left, Right, Middle };

// Synthetic input: the same path the presenters' real input takes.
void InjectMouseMove(int x, int y);
void InjectMouseButton(MouseButton button, bool down);
void InjectMouseWheel(int delta);
void InjectKey(UINT virtualKey, bool down);
// Typed text (GBK): one WM_CHAR per byte to the focus window.
void InjectText(const std::string& text);
// Convenience: move there, press and release.
void InjectClick(int x, int y, MouseButton button = MouseButton::Left);

// The character a key types with the thread's shift, control and caps-lock
// state (for TranslateMessage); -1 for none.
int CharFromKey(UINT virtualKey);

// Message-queue side.
struct InputEvent;
// Turns the thread's next input event that passes the filter into a message;
// false when none does.
bool RetrieveInput(MSG* msg, HWND filter, UINT filterMin, UINT filterMax, bool remove);
bool ThreadHasInput(DWORD threadId, DWORD* status);
// The window is gone: mouse tracking forgets it.
void ForgetMouseTracking(HWND hwnd);
// The thread ends: its input goes away.
void ForgetThreadInput(DWORD threadId);
// Hover deadlines of the thread's tracked window, in clock milliseconds; -1 without.
int64_t NextHoverDue(DWORD threadId);
// Posts WM_MOUSEHOVER when the hover time has passed.
void CheckHover(DWORD threadId);

} // namespace tavrin::win
