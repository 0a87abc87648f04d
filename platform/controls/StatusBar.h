// "msctls_statusbar32": a strip of parts at the bottom of its parent, each
// with a text and a border style, and an optional size grip.
#pragma once

#include "platform/controls/CommCtrl.h"

#define STATUSCLASSNAMEA "msctls_statusbar32"
#define STATUSCLASSNAME STATUSCLASSNAMEA

// Placement styles of the common bars.
#ifndef CCS_TOP
#define CCS_TOP 0x00000001L
#define CCS_NOMOVEY 0x00000002L
#define CCS_BOTTOM 0x00000003L
#define CCS_NORESIZE 0x00000004L
#define CCS_NOPARENTALIGN 0x00000008L
#define CCS_ADJUSTABLE 0x00000020L
#define CCS_NODIVIDER 0x00000040L
#endif

#define SBARS_SIZEGRIP 0x0100
#define SBARS_TOOLTIPS 0x0800

#define SB_SETTEXTA (WM_USER + 1)
#define SB_GETTEXTA (WM_USER + 2)
#define SB_GETTEXTLENGTHA (WM_USER + 3)
#define SB_SETPARTS (WM_USER + 4)
#define SB_GETPARTS (WM_USER + 6)
#define SB_GETBORDERS (WM_USER + 7)
#define SB_SETMINHEIGHT (WM_USER + 8)
#define SB_SIMPLE (WM_USER + 9)
#define SB_GETRECT (WM_USER + 10)
#define SB_ISSIMPLE (WM_USER + 14)
#define SB_SETBKCOLOR CCM_SETBKCOLOR
#define SB_SETTEXT SB_SETTEXTA
#define SB_GETTEXT SB_GETTEXTA
#define SB_GETTEXTLENGTH SB_GETTEXTLENGTHA

// Text types: the high byte of SB_SETTEXT's wParam, the high word of
// SB_GETTEXT's answer.
#define SBT_OWNERDRAW 0x1000
#define SBT_NOBORDERS 0x0100
#define SBT_POPOUT 0x0200
#define SBT_RTLREADING 0x0400
#define SBT_NOTABPARSING 0x0800
// The part index that stands for the simple mode's one part.
#define SB_SIMPLEID 0x00ff

namespace tavrin::controls {
bool RegisterStatusBar();
}
