// Pieces shared by the tree, list, header and tab controls: records and
// small helpers beside the common-control header.
#pragma once

#include "platform/controls/CommCtrl.h"
#include "platform/gdi/GdiTypes.h"

#include <string>

#ifndef CLR_NONE
#define CLR_NONE 0xFFFFFFFFUL
#endif
#ifndef CLR_DEFAULT
#define CLR_DEFAULT 0xFF000000UL
#endif
#define I_IMAGECALLBACK (-1)
#ifndef LPSTR_TEXTCALLBACKA
#define LPSTR_TEXTCALLBACKA (reinterpret_cast<LPSTR>(static_cast<LONG_PTR>(-1)))
#define LPSTR_TEXTCALLBACK LPSTR_TEXTCALLBACKA
#endif

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
// After a parent filled in display text: what it pointed to (or wrote into
// the buffer) ends up in the buffer, cut to size at a character boundary.
void FinishDisplayText(char* buffer, int size, const char* given);
// The length of the longest prefix of at most `limit` bytes that ends on a
// character boundary (a lead byte left without its trail is not counted).
size_t GbkPrefixLength(const char* text, size_t length, size_t limit);

// The font a control draws with: its WM_SETFONT font or the GUI font.
HFONT ControlFont(HFONT set);
// Height of a line of text in the font.
int FontLineHeight(HFONT font);
// Width of the text in the font.
int TextWidth(HFONT font, const std::string& text);

// The window style of a control's state object (anything with an hwnd).
template <class T>
DWORD Style(const T& control)
{
    return static_cast<DWORD>(GetWindowLongA(control.hwnd, GWL_STYLE));
}

// Whether a child is shown by its own style, whatever its parent's drawing
// state (WM_SETREDRAW FALSE hides the parent from painting).
bool ShownByStyle(HWND child);

// Whether the key is down as the thread last saw it.
bool KeyDown(int key);

// Fills a rectangle with a solid colour.
void FillSolid(HDC hdc, const RECT& rect, COLORREF colour);


// Gives a control's scroll bar its range (0 to maximum), page and position;
// the bar shows while the range is larger than the page.
void SetControlScroll(HWND hwnd, int bar, int maximum, int page, int position);

} // namespace tavrin::controls

namespace tavrin::controls {
// Registers "SysTreeView32", "SysListView32", "SysHeader32" and
// "SysTabControl32"; safe to call more than once.
void RegisterListAndTreeControls();
} // namespace tavrin::controls
