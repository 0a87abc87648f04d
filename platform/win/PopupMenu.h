// TrackPopupMenu: a plain classic popup menu (topmost, never activated) with
// submenus, separators, checks, grey and bold default items and "&"
// mnemonics, driven by mouse and keys in a modal loop on the calling thread
// and kept on the work area. The owner gets WM_INITMENUPOPUP and
// WM_MENUSELECT (not with TPM_NONOTIFY); the chosen command is returned
// (TPM_RETURNCMD) or posted to the owner as WM_COMMAND after the call
// returns. A WM_QUIT met in the loop ends it and is posted again.
#pragma once

#include "platform/win/Menu.h"

#define TPM_LEFTBUTTON 0x0000L
#define TPM_RIGHTBUTTON 0x0002L
#define TPM_LEFTALIGN 0x0000L
#define TPM_CENTERALIGN 0x0004L
#define TPM_RIGHTALIGN 0x0008L
#define TPM_TOPALIGN 0x0000L
#define TPM_VCENTERALIGN 0x0010L
#define TPM_BOTTOMALIGN 0x0020L
#define TPM_HORIZONTAL 0x0000L
#define TPM_VERTICAL 0x0040L
#define TPM_NONOTIFY 0x0080L
#define TPM_RETURNCMD 0x0100L
#define TPM_RECURSE 0x0001L
#define TPM_NOANIMATION 0x4000L

#define ERROR_POPUP_ALREADY_ACTIVE 1446L

// The window class of the popups.
#define POPUPMENU_CLASS "#32768"

struct TPMPARAMS {
    UINT cbSize;
    RECT rcExclude;
};
typedef TPMPARAMS* LPTPMPARAMS;

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* ignored);
// The exclusion rectangle is kept clear: the popup goes beside it instead.
BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, LPTPMPARAMS params);
// Ends the menu the calling thread tracks.
BOOL EndMenu();
// The screen rectangle of an item of a popup that is showing (any thread).
BOOL GetMenuItemRect(HWND hwnd, HMENU menu, UINT item, LPRECT rect);
