// The dialog manager: dialogs built from templates in dialog units (their
// font decides the pixels), modal runs with the owner disabled, the default
// dialog procedure and the keyboard interface of IsDialogMessage (Tab order,
// groups, Enter, Esc, mnemonics). Controls answer WM_GETDLGCODE to say which
// keys they want and what they are.
#pragma once

#include "platform/win/GlobalMemory.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Window.h"

#include <functional>

#define DS_ABSALIGN 0x01L
#define DS_SYSMODAL 0x02L
#define DS_3DLOOK 0x04L
#define DS_FIXEDSYS 0x08L
#define DS_NOFAILCREATE 0x10L
#define DS_LOCALEDIT 0x20L
#define DS_SETFONT 0x40L
#define DS_MODALFRAME 0x80L
#define DS_NOIDLEMSG 0x100L
#define DS_SETFOREGROUND 0x200L
#define DS_CONTROL 0x0400L
#define DS_CENTER 0x0800L
#define DS_CENTERMOUSE 0x1000L
#define DS_CONTEXTHELP 0x2000L
#define DS_SHELLFONT (DS_SETFONT | DS_FIXEDSYS)

// Extra window bytes of a dialog class and what they hold.
#define DWLP_MSGRESULT 0
#define DWLP_DLGPROC 8
#define DWLP_USER 16
#define DLGWINDOWEXTRA 48

#define DM_GETDEFID (WM_USER + 0)
#define DM_SETDEFID (WM_USER + 1)
#define DM_REPOSITION (WM_USER + 2)
#define DC_HASDEFID 0x534B

#define DLGC_WANTARROWS 0x0001
#define DLGC_WANTTAB 0x0002
#define DLGC_WANTALLKEYS 0x0004
#define DLGC_WANTMESSAGE 0x0004
#define DLGC_HASSETSEL 0x0008
#define DLGC_DEFPUSHBUTTON 0x0010
#define DLGC_UNDEFPUSHBUTTON 0x0020
#define DLGC_RADIOBUTTON 0x0040
#define DLGC_WANTCHARS 0x0080
#define DLGC_STATIC 0x0100
#define DLGC_BUTTON 0x2000

// What the dialog manager asks of buttons and edits.
#define BS_PUSHBUTTON 0x00000000L
#define BS_DEFPUSHBUTTON 0x00000001L
#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#define BM_GETSTATE 0x00F2
#define BM_SETSTATE 0x00F3
#define BM_SETSTYLE 0x00F4
#define BM_CLICK 0x00F5
#define BST_UNCHECKED 0x0000
#define BST_CHECKED 0x0001
#define BST_INDETERMINATE 0x0002
#define BN_CLICKED 0
#define EM_SETSEL 0x00B1

#define MSGF_DIALOGBOX 0
#define WC_DIALOG MAKEINTATOM(0x8002)

typedef INT_PTR(CALLBACK* DLGPROC)(HWND, UINT, WPARAM, LPARAM);

#pragma pack(push, 2)
struct DLGTEMPLATE {
    DWORD style;
    DWORD dwExtendedStyle;
    WORD cdit;
    short x;
    short y;
    short cx;
    short cy;
};
struct DLGITEMTEMPLATE {
    DWORD style;
    DWORD dwExtendedStyle;
    short x;
    short y;
    short cx;
    short cy;
    WORD id;
};
#pragma pack(pop)
typedef const DLGTEMPLATE* LPCDLGTEMPLATEA;
typedef LPCDLGTEMPLATEA LPCDLGTEMPLATE;

// Modeless: the dialog, or null when it or one of its controls could not be made.
HWND CreateDialogIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATE tmpl, HWND owner, DLGPROC proc, LPARAM param);
inline HWND CreateDialogIndirectParam(HINSTANCE instance, LPCDLGTEMPLATE tmpl, HWND owner, DLGPROC proc, LPARAM param)
{
    return CreateDialogIndirectParamA(instance, tmpl, owner, proc, param);
}
HWND CreateDialogParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param);
inline HWND CreateDialogParam(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param)
{
    return CreateDialogParamA(instance, name, owner, proc, param);
}
// Modal: the EndDialog result, or -1 when the dialog could not be made.
INT_PTR DialogBoxIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATE tmpl, HWND owner, DLGPROC proc, LPARAM param);
inline INT_PTR DialogBoxIndirectParam(HINSTANCE instance, LPCDLGTEMPLATE tmpl, HWND owner, DLGPROC proc, LPARAM param)
{
    return DialogBoxIndirectParamA(instance, tmpl, owner, proc, param);
}
INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param);
inline INT_PTR DialogBoxParam(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param)
{
    return DialogBoxParamA(instance, name, owner, proc, param);
}
BOOL EndDialog(HWND dialog, INT_PTR result);
LRESULT DefDlgProcA(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
inline LRESULT DefDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefDlgProcA(dialog, message, wParam, lParam);
}
// Base units of the system font: width in the low word, height in the high.
LONG GetDialogBaseUnits();
// Dialog units to pixels with the dialog's font.
BOOL MapDialogRect(HWND dialog, LPRECT rect);

// Handles the keyboard interface for the dialog; TRUE when the message was
// for the dialog (it has then been handled).
BOOL IsDialogMessageA(HWND dialog, LPMSG msg);
inline BOOL IsDialogMessage(HWND dialog, LPMSG msg) { return IsDialogMessageA(dialog, msg); }
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);
BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
// FALSE in *translated when the text is not a number in range.
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
BOOL CheckRadioButton(HWND dialog, int first, int last, int check);

namespace tavrin::win {

// A control a template asks for by class id (an ordinal outside the six
// predefined classes): the framework makes it. Returns the window, or null
// when it cannot (the dialog then fails).
struct DialogControlRequest {
    WORD classId;
    DWORD style;
    DWORD exStyle;
    RECT rect; // pixels, in the dialog's client area
    UINT id;
    const char* text;
    HWND dialog;
    HINSTANCE instance;
    LPVOID createData;
    const char* className = nullptr; // a class id text ("{...}"), else null
};
using DialogControlFactory = std::function<HWND(const DialogControlRequest&)>;
void SetDialogControlFactory(DialogControlFactory factory);
// A control a template asks for by class id text ("{...}"): the control
// container makes it. Without a factory such a control fails like any
// unknown class.
void SetDialogClassControlFactory(DialogControlFactory factory);

// A dialog's font metrics: average character width and height in pixels.
struct DialogUnits {
    int cx;
    int cy;
};
// The base units for a face at a point size (what MapDialogRect uses).
DialogUnits DialogUnitsForFont(HFONT font);

} // namespace tavrin::win
