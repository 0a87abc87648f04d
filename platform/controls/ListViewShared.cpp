#include "platform/controls/ListViewShared.h"

#include "platform/controls/Control.h"
#include "platform/controls/ListViewScroll.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/Resource.h"
#include "platform/win/User.h"

#include <cstring>

namespace tavrin::controls {

LRESULT SendNotify(HWND control, UINT code, NMHDR* record)
{
    record->hwndFrom = control;
    record->idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control));
    record->code = code;
    HWND parent = GetParent(control);
    if (!parent)
        return 0;
    return SendMessageA(parent, WM_NOTIFY, record->idFrom, reinterpret_cast<LPARAM>(record));
}

LRESULT SendSimpleNotify(HWND control, UINT code)
{
    NMHDR hdr{};
    return SendNotify(control, code, &hdr);
}

size_t GbkPrefixLength(const char* text, size_t length, size_t limit)
{
    size_t i = 0;
    while (i < length) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool lead = c >= 0x81 && c <= 0xFE;
        // A lead byte whose trail was cut off is dropped with it.
        if (lead && i + 1 >= length)
            break;
        const size_t step = lead ? 2 : 1;
        if (i + step > limit)
            break;
        i += step;
    }
    return i;
}

int CopyGbkText(const char* text, char* buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    return win::CopyWholeCharacters(text ? text : "", buffer, size);
}

void FinishDisplayText(char* buffer, int size, const char* given)
{
    if (!buffer || size <= 0)
        return;
    if (!given || given == LPSTR_TEXTCALLBACKA) {
        buffer[0] = 0;
    } else if (given != buffer) {
        CopyGbkText(given, buffer, size);
    } else {
        // Written in place: a copy that stopped inside a character loses the half.
        buffer[size - 1] = 0;
        const size_t n = std::strlen(buffer);
        buffer[GbkPrefixLength(buffer, n, n)] = 0;
    }
}

HFONT ControlFont(HFONT set)
{
    return set ? set : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

int FontLineHeight(HFONT font)
{
    const int height = LineHeight(ControlFont(font));
    return height > 0 ? height : 13;
}

int TextWidth(HFONT font, const std::string& text)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, ControlFont(font));
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    DeleteDC(dc);
    return size.cx;
}

bool ShownByStyle(HWND child)
{
    return child && (GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool KeyDown(int key)
{
    return (GetKeyState(key) & 0x8000) != 0;
}

void FillSolid(HDC hdc, const RECT& rect, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(hdc, &rect, brush);
    DeleteObject(brush);
}

void SetControlScroll(HWND hwnd, int bar, int maximum, int page, int position)
{
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = maximum > 0 ? maximum : 0;
    si.nPage = static_cast<UINT>(page > 0 ? page : 0);
    si.nPos = position;
    SetScrollInfo(hwnd, bar, &si, TRUE);
}

int ScrollThumbPosition(HWND hwnd, int bar, WPARAM wParam)
{
    const int sent = HIWORD(wParam);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_TRACKPOS;
    // The bar's own track position when it is the one that sent this.
    if (GetScrollInfo(hwnd, bar, &si) && (si.nTrackPos & 0xFFFF) == sent)
        return si.nTrackPos;
    return static_cast<short>(sent);
}

} // namespace tavrin::controls

#include "platform/controls/Header.h"
#include "platform/controls/ListView.h"
#include "platform/controls/TabControl.h"
#include "platform/controls/TreeView.h"

namespace tavrin::controls {

void RegisterListAndTreeControls()
{
    RegisterHeaderClass();
    RegisterListViewClass();
    RegisterTreeViewClass();
    RegisterTabControlClass();
}

} // namespace tavrin::controls
