// Windows hooks: chains of filter procedures per thread (and for every thread
// when installed with thread id 0), newest first. A procedure passes on with
// CallNextHookEx; a non-zero answer from a keyboard, mouse or CBT hook
// swallows the event. Hooks may be installed and removed from inside a hook:
// a chain being called keeps the members it had, and a removed member is
// skipped.
#pragma once

#include "platform/win/Window.h"

#define WH_MSGFILTER (-1)
#define WH_JOURNALRECORD 0
#define WH_JOURNALPLAYBACK 1
#define WH_KEYBOARD 2
#define WH_GETMESSAGE 3
#define WH_CALLWNDPROC 4
#define WH_CBT 5
#define WH_SYSMSGFILTER 6
#define WH_MOUSE 7
#define WH_DEBUG 9
#define WH_SHELL 10
#define WH_FOREGROUNDIDLE 11
#define WH_CALLWNDPROCRET 12
#define WH_KEYBOARD_LL 13
#define WH_MOUSE_LL 14

#define HC_ACTION 0
#define HC_GETNEXT 1
#define HC_SKIP 2
#define HC_NOREMOVE 3

#define HCBT_MOVESIZE 0
#define HCBT_MINMAX 1
#define HCBT_QS 2
#define HCBT_CREATEWND 3
#define HCBT_DESTROYWND 4
#define HCBT_ACTIVATE 5
#define HCBT_CLICKSKIPPED 6
#define HCBT_KEYSKIPPED 7
#define HCBT_SYSCOMMAND 8
#define HCBT_SETFOCUS 9

typedef LRESULT(CALLBACK* HOOKPROC)(int code, WPARAM wParam, LPARAM lParam);

struct CWPSTRUCT {
    LPARAM lParam;
    WPARAM wParam;
    UINT message;
    HWND hwnd;
};
typedef CWPSTRUCT* PCWPSTRUCT;
typedef CWPSTRUCT* LPCWPSTRUCT;

struct CWPRETSTRUCT {
    LRESULT lResult;
    LPARAM lParam;
    WPARAM wParam;
    UINT message;
    HWND hwnd;
};
typedef CWPRETSTRUCT* PCWPRETSTRUCT;

struct MOUSEHOOKSTRUCT {
    POINT pt;
    HWND hwnd;
    UINT wHitTestCode;
    ULONG_PTR dwExtraInfo;
};
typedef MOUSEHOOKSTRUCT* LPMOUSEHOOKSTRUCT;
typedef MOUSEHOOKSTRUCT* PMOUSEHOOKSTRUCT;

struct CBT_CREATEWNDA {
    CREATESTRUCTA* lpcs;
    HWND hwndInsertAfter;
};
typedef CBT_CREATEWNDA CBT_CREATEWND;
typedef CBT_CREATEWNDA* LPCBT_CREATEWNDA;
typedef CBT_CREATEWNDA* LPCBT_CREATEWND;

struct CBTACTIVATESTRUCT {
    BOOL fMouse;
    HWND hWndActive;
};
typedef CBTACTIVATESTRUCT* LPCBTACTIVATESTRUCT;

// threadId 0 installs the hook for every thread. Supported kinds: keyboard,
// get-message, call-window-procedure (and its return), CBT (create, destroy,
// activate, set focus) and mouse.
HHOOK SetWindowsHookExA(int idHook, HOOKPROC proc, HINSTANCE module, DWORD threadId);
inline HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, HINSTANCE module, DWORD threadId)
{
    return SetWindowsHookExA(idHook, proc, module, threadId);
}
BOOL UnhookWindowsHookEx(HHOOK hook);
// Calls the member after hook in the chain being called; 0 at its end.
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

namespace tavrin::win {
// Whether the calling thread has a hook of the kind.
bool HasHooks(int idHook);
// Calls the calling thread's chain of the kind; 0 without hooks.
LRESULT CallHooks(int idHook, int code, WPARAM wParam, LPARAM lParam);
} // namespace tavrin::win
