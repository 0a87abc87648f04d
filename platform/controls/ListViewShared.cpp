#include "platform/controls/ListViewShared.h"

#include "platform/gdi/Gdi.h"
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
    if (!text) {
        buffer[0] = 0;
        return 0;
    }
    const size_t n = GbkPrefixLength(text, std::strlen(text), static_cast<size_t>(size - 1));
    std::memmove(buffer, text, n);
    buffer[n] = 0;
    return static_cast<int>(n);
}

HFONT ControlFont(HFONT set)
{
    return set ? set : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

int FontLineHeight(HFONT font)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, ControlFont(font));
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    DeleteDC(dc);
    return tm.tmHeight > 0 ? tm.tmHeight : 13;
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

void* ControlStateOf(HWND hwnd)
{
    return reinterpret_cast<void*>(GetWindowLongPtrA(hwnd, 0));
}

void SetControlStateOf(HWND hwnd, void* state)
{
    SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(state));
}

void SetControlScroll(HWND, int, int, int, int)
{
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
