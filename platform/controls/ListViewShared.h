// Pieces shared by the tree, list, header and tab controls: the common
// notification codes and records, custom draw, and small helpers.
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/win/Notify.h"

#include <string>

#ifndef NM_FIRST
#define NM_FIRST 0U
#define NM_OUTOFMEMORY (NM_FIRST - 1)
#define NM_CLICK (NM_FIRST - 2)
#define NM_DBLCLK (NM_FIRST - 3)
#define NM_RETURN (NM_FIRST - 4)
#define NM_RCLICK (NM_FIRST - 5)
#define NM_RDBLCLK (NM_FIRST - 6)
#define NM_SETFOCUS (NM_FIRST - 7)
#define NM_KILLFOCUS (NM_FIRST - 8)
#define NM_CUSTOMDRAW (NM_FIRST - 12)
#define NM_HOVER (NM_FIRST - 13)
#endif

#ifndef CLR_NONE
#define CLR_NONE 0xFFFFFFFFUL
#endif
#ifndef CLR_DEFAULT
#define CLR_DEFAULT 0xFF000000UL
#endif
#ifndef I_IMAGECALLBACK
#define I_IMAGECALLBACK (-1)
#endif
#ifndef LPSTR_TEXTCALLBACKA
#define LPSTR_TEXTCALLBACKA (reinterpret_cast<LPSTR>(-1))
#define LPSTR_TEXTCALLBACK LPSTR_TEXTCALLBACKA
#endif

// Custom draw.
#ifndef CDDS_PREPAINT
#define CDRF_DODEFAULT 0x00000000
#define CDRF_NEWFONT 0x00000002
#define CDRF_SKIPDEFAULT 0x00000004
#define CDRF_NOTIFYPOSTPAINT 0x00000010
#define CDRF_NOTIFYITEMDRAW 0x00000020
#define CDRF_NOTIFYSUBITEMDRAW 0x00000020
#define CDRF_NOTIFYPOSTERASE 0x00000040
#define CDDS_PREPAINT 0x00000001
#define CDDS_POSTPAINT 0x00000002
#define CDDS_PREERASE 0x00000003
#define CDDS_POSTERASE 0x00000004
#define CDDS_ITEM 0x00010000
#define CDDS_ITEMPREPAINT (CDDS_ITEM | CDDS_PREPAINT)
#define CDDS_ITEMPOSTPAINT (CDDS_ITEM | CDDS_POSTPAINT)
#define CDDS_SUBITEM 0x00020000
#define CDIS_SELECTED 0x0001
#define CDIS_GRAYED 0x0002
#define CDIS_DISABLED 0x0004
#define CDIS_CHECKED 0x0008
#define CDIS_FOCUS 0x0010
#define CDIS_DEFAULT 0x0020
#define CDIS_HOT 0x0040
#endif

struct NMCUSTOMDRAW {
    NMHDR hdr;
    DWORD dwDrawStage;
    HDC hdc;
    RECT rc;
    DWORD_PTR dwItemSpec;
    UINT uItemState;
    LPARAM lItemlParam;
};
typedef NMCUSTOMDRAW* LPNMCUSTOMDRAW;

struct NMMOUSE {
    NMHDR hdr;
    DWORD_PTR dwItemSpec;
    DWORD_PTR dwItemData;
    POINT pt;
    LPARAM dwHitInfo;
};

namespace tavrin::controls {

// Sends WM_NOTIFY with the record (whose NMHDR is filled here) to the
// control's parent and returns the parent's answer.
LRESULT SendNotify(HWND control, UINT code, NMHDR* record);
// A bare NMHDR notification.
LRESULT SendSimpleNotify(HWND control, UINT code);

// Copies text into a buffer of `size` bytes, NUL-terminated, never ending
// in the first byte of a double-byte character. Returns the bytes copied.
int CopyGbkText(const char* text, char* buffer, int size);
// The length of the longest prefix of at most `limit` bytes that ends on a
// character boundary (a lead byte left without its trail is not counted).
size_t GbkPrefixLength(const char* text, size_t length, size_t limit);

// The font a control draws with: its WM_SETFONT font or the GUI font.
HFONT ControlFont(HFONT set);
// Height of a line of text in the font.
int FontLineHeight(HFONT font);
// Width of the text in the font.
int TextWidth(HFONT font, const std::string& text);

// Whether the key is down as the thread last saw it.
bool KeyDown(int key);

// Fills a rectangle with a solid colour.
void FillSolid(HDC hdc, const RECT& rect, COLORREF colour);

// A control's state object, kept in its first extra bytes.
void* ControlStateOf(HWND hwnd);
void SetControlStateOf(HWND hwnd, void* state);

// The scroll bar of a control; a no-op where the window has none.
void SetControlScroll(HWND hwnd, int bar, int maximum, int page, int position);

} // namespace tavrin::controls

namespace tavrin::controls {
// Registers "SysTreeView32", "SysListView32", "SysHeader32" and
// "SysTabControl32"; safe to call more than once.
void RegisterListAndTreeControls();
} // namespace tavrin::controls
