// Finding windows: by point (with window regions and HTTRANSPARENT), by
// class and title, by dialog control id; enumerating them; properties.
#pragma once

#include "platform/win/Window.h"

#define CWP_ALL 0x0000
#define CWP_SKIPINVISIBLE 0x0001
#define CWP_SKIPDISABLED 0x0002
#define CWP_SKIPTRANSPARENT 0x0004

typedef BOOL(CALLBACK* WNDENUMPROC)(HWND, LPARAM);
typedef BOOL(CALLBACK* PROPENUMPROCA)(HWND, LPCSTR, HANDLE);

// The deepest visible, enabled window at the screen point whose own
// WM_NCHITTEST does not answer HTTRANSPARENT (asked of windows of the calling
// thread); the desktop window when none.
HWND WindowFromPoint(POINT pt);
// The child of parent containing the client point, or parent itself; null
// outside parent. The plain form skips nothing.
HWND ChildWindowFromPoint(HWND parent, POINT pt);
HWND ChildWindowFromPointEx(HWND parent, POINT pt, UINT flags);

// Every descendant, depth first in z-order, until the procedure answers FALSE.
// Windows created meanwhile are not visited; destroyed ones are skipped.
BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM data);
BOOL EnumWindows(WNDENUMPROC proc, LPARAM data);
BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM data);

// Top-level windows (or children of parent after childAfter) by class name or
// atom and exact title, either of which may be null.
HWND FindWindowA(LPCSTR className, LPCSTR windowName);
inline HWND FindWindow(LPCSTR className, LPCSTR windowName) { return FindWindowA(className, windowName); }
HWND FindWindowExA(HWND parent, HWND childAfter, LPCSTR className, LPCSTR windowName);
inline HWND FindWindowEx(HWND parent, HWND childAfter, LPCSTR className, LPCSTR windowName)
{
    return FindWindowExA(parent, childAfter, className, windowName);
}
HWND GetTopWindow(HWND hwnd);
inline HWND GetNextWindow(HWND hwnd, UINT relation) { return GetWindow(hwnd, relation); }

HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND hwnd);
LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
inline LRESULT SendDlgItemMessage(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendDlgItemMessageA(dialog, id, message, wParam, lParam);
}
UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size);
inline UINT GetDlgItemText(HWND dialog, int id, LPSTR buffer, int size) { return GetDlgItemTextA(dialog, id, buffer, size); }
BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
inline BOOL SetDlgItemText(HWND dialog, int id, LPCSTR text) { return SetDlgItemTextA(dialog, id, text); }

// Properties by name (case-insensitive) or atom (MAKEINTATOM).
BOOL SetPropA(HWND hwnd, LPCSTR name, HANDLE data);
HANDLE GetPropA(HWND hwnd, LPCSTR name);
HANDLE RemovePropA(HWND hwnd, LPCSTR name);
int EnumPropsA(HWND hwnd, PROPENUMPROCA proc);
inline BOOL SetProp(HWND hwnd, LPCSTR name, HANDLE data) { return SetPropA(hwnd, name, data); }
inline HANDLE GetProp(HWND hwnd, LPCSTR name) { return GetPropA(hwnd, name); }
inline HANDLE RemoveProp(HWND hwnd, LPCSTR name) { return RemovePropA(hwnd, name); }
