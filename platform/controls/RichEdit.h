// "RICHEDIT": the rich edit control with version 1.0 behaviour. One font,
// GBK text with embedded objects, multi-line with word wrap; positions count
// bytes of the text, a double-byte character two and an object one. The
// edit control's messages and styles apply (platform/controls/Edit.h).
#pragma once

#include "platform/controls/Edit.h"
#include "platform/controls/RichEditOle.h"

#define RICHEDIT_CLASSA "RICHEDIT"
#define RICHEDIT_CLASS10A "RICHEDIT"
#define RICHEDIT_CLASS RICHEDIT_CLASSA

#define ES_SAVESEL 0x00008000
#define ES_SUNKEN 0x00004000
#define ES_DISABLENOSCROLL 0x00002000
#define ES_SELECTIONBAR 0x01000000

#define EM_CANPASTE (WM_USER + 50)
#define EM_DISPLAYBAND (WM_USER + 51)
#define EM_EXGETSEL (WM_USER + 52)
#define EM_EXLIMITTEXT (WM_USER + 53)
#define EM_EXLINEFROMCHAR (WM_USER + 54)
#define EM_EXSETSEL (WM_USER + 55)
#define EM_FINDTEXT (WM_USER + 56)
#define EM_GETEVENTMASK (WM_USER + 59)
#define EM_GETOLEINTERFACE (WM_USER + 60)
#define EM_GETSELTEXT (WM_USER + 62)
#define EM_HIDESELECTION (WM_USER + 63)
#define EM_SELECTIONTYPE (WM_USER + 66)
#define EM_SETBKGNDCOLOR (WM_USER + 67)
#define EM_SETEVENTMASK (WM_USER + 69)
#define EM_GETTEXTRANGE (WM_USER + 75)
#define EM_FINDTEXTEX (WM_USER + 79)

// Event mask.
#define ENM_NONE 0x00000000
#define ENM_CHANGE 0x00000001
#define ENM_UPDATE 0x00000002
#define ENM_SCROLL 0x00000004
#define ENM_KEYEVENTS 0x00010000
#define ENM_MOUSEEVENTS 0x00020000
#define ENM_REQUESTRESIZE 0x00040000
#define ENM_SELCHANGE 0x00080000

// WM_NOTIFY codes.
#define EN_MSGFILTER 0x0700
#define EN_SELCHANGE 0x0702

// Selection types.
#define SEL_EMPTY 0x0000
#define SEL_TEXT 0x0001
#define SEL_OBJECT 0x0002
#define SEL_MULTICHAR 0x0004
#define SEL_MULTIOBJECT 0x0008

// Find flags.
#ifndef FR_DOWN
#define FR_DOWN 0x00000001
#define FR_WHOLEWORD 0x00000002
#define FR_MATCHCASE 0x00000004
#endif

struct FINDTEXTA {
    CHARRANGE chrg;
    LPCSTR lpstrText;
};
typedef FINDTEXTA FINDTEXT;
struct FINDTEXTEXA {
    CHARRANGE chrg;
    LPCSTR lpstrText;
    CHARRANGE chrgText;
};
typedef FINDTEXTEXA FINDTEXTEX;
struct TEXTRANGEA {
    CHARRANGE chrg;
    LPSTR lpstrText;
};
typedef TEXTRANGEA TEXTRANGE;

struct MSGFILTER {
    NMHDR nmhdr;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};
struct SELCHANGE {
    NMHDR nmhdr;
    CHARRANGE chrg;
    WORD seltyp;
};

namespace tavrin::controls {
bool RegisterRichEdit();
}
