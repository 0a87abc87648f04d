#include "platform/controls/Control.h"

#include "platform/win/Resource.h"
#include "platform/win/ResourceImage.h"

#include <algorithm>

namespace tavrin::controls {

LRESULT Control::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PaintDc dc(m_hwnd, wParam);
        Paint(dc.Get());
        return 0;
    }
    case WM_ERASEBKGND:
        return TRUE; // Paint covers it
    case WM_ENABLE:
        Redraw();
        return 0;
    case WM_SETTEXT: {
        const LRESULT result = DefWindowProcA(m_hwnd, message, wParam, lParam);
        Redraw();
        return result;
    }
    case WM_SETFONT:
        m_font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam))
            Redraw();
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(m_font);
    default:
        return DefWindowProcA(m_hwnd, message, wParam, lParam);
    }
}

HWND Control::NotifyTarget() const
{
    return GetParent(m_hwnd);
}

HFONT Control::Font() const
{
    return m_font ? m_font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

std::string Control::Text() const
{
    int length = GetWindowTextLengthA(m_hwnd);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    length = GetWindowTextA(m_hwnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

void Control::Command(WORD code) const
{
    if (HWND target = NotifyTarget())
        SendMessageA(target, WM_COMMAND, MAKEWPARAM(Id(), code), reinterpret_cast<LPARAM>(m_hwnd));
}

LRESULT Control::Notify(UINT code, NMHDR* hdr) const
{
    NMHDR bare{};
    if (!hdr)
        hdr = &bare;
    hdr->hwndFrom = m_hwnd;
    hdr->idFrom = static_cast<UINT_PTR>(Id());
    hdr->code = code;
    HWND target = NotifyTarget();
    return target ? SendMessageA(target, WM_NOTIFY, static_cast<WPARAM>(Id()), reinterpret_cast<LPARAM>(hdr)) : 0;
}

HBRUSH Control::CtlColor(UINT message, HDC hdc) const
{
    HWND target = NotifyTarget();
    LRESULT brush = target ? SendMessageA(target, message, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(m_hwnd))
                           : 0;
    // A parent that answers nothing gets the default colours.
    if (!brush)
        brush = DefWindowProcA(m_hwnd, message, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(m_hwnd));
    return reinterpret_cast<HBRUSH>(brush);
}

PaintDc::PaintDc(HWND hwnd, WPARAM wParam) : m_hwnd(hwnd), m_hdc(reinterpret_cast<HDC>(wParam))
{
    if (!m_hdc) {
        m_hdc = BeginPaint(hwnd, &m_ps);
        m_began = true;
    }
    m_saved = SaveDC(m_hdc);
}

PaintDc::~PaintDc()
{
    RestoreDC(m_hdc, m_saved);
    if (m_began)
        EndPaint(m_hwnd, &m_ps);
}

void DrawControlText(HDC hdc, const std::string& text, RECT* rect, UINT format, bool enabled)
{
    const int mode = SetBkMode(hdc, TRANSPARENT);
    if (enabled) {
        DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), rect, format);
    } else {
        const COLORREF old = SetTextColor(hdc, GetSysColor(COLOR_BTNHIGHLIGHT));
        RECT shifted = *rect;
        OffsetRect(&shifted, 1, 1);
        DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &shifted, format);
        SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
        DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), rect, format);
        SetTextColor(hdc, old);
    }
    SetBkMode(hdc, mode);
}

int LineHeight(HDC hdc)
{
    TEXTMETRICA tm{};
    GetTextMetricsA(hdc, &tm);
    return tm.tmHeight;
}

int LineHeight(HFONT font)
{
    HDC hdc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(hdc, font);
    const int height = LineHeight(hdc);
    SelectObject(hdc, old);
    DeleteDC(hdc);
    return height;
}

LRESULT ControlImage::Set(WPARAM newType, LPARAM image, unsigned acceptedTypes)
{
    if (newType > IMAGE_CURSOR || !(acceptedTypes & (1u << newType)))
        return 0;
    const LRESULT old = Get(newType);
    handle = reinterpret_cast<HANDLE>(image);
    type = static_cast<UINT>(newType);
    return old;
}

SIZE ImageSize(HANDLE image, UINT type)
{
    SIZE size{0, 0};
    HBITMAP bitmap = nullptr;
    ICONINFO info{};
    if (type == IMAGE_BITMAP)
        bitmap = static_cast<HBITMAP>(image);
    else if (image && GetIconInfo(static_cast<HICON>(image), &info))
        bitmap = info.hbmColor ? info.hbmColor : info.hbmMask;
    BITMAP bm{};
    if (bitmap && GetObjectA(bitmap, sizeof(bm), &bm)) {
        size.cx = bm.bmWidth;
        // A monochrome icon's mask holds the AND and XOR halves.
        size.cy = (type != IMAGE_BITMAP && !info.hbmColor) ? bm.bmHeight / 2 : bm.bmHeight;
    }
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    return size;
}

void DrawImage(HDC hdc, HANDLE image, UINT type, int x, int y)
{
    if (!image)
        return;
    const SIZE size = ImageSize(image, type);
    if (type == IMAGE_BITMAP) {
        HDC mem = CreateCompatibleDC(hdc);
        HGDIOBJ old = SelectObject(mem, image);
        BitBlt(hdc, x, y, size.cx, size.cy, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
    } else {
        DrawIconEx(hdc, x, y, static_cast<HICON>(image), size.cx, size.cy, 0, nullptr, DI_NORMAL);
    }
}

int CopyTextOut(const std::string& text, WPARAM size, LPARAM lParam)
{
    auto buffer = reinterpret_cast<LPSTR>(lParam);
    if (!buffer || size == 0)
        return 0;
    return win::CopyWholeCharacters(text, buffer, static_cast<int>(std::min<WPARAM>(size, 0x7FFFFFFF)));
}

LRESULT GetSelAnswer(int start, int end, WPARAM wParam, LPARAM lParam)
{
    if (auto* s = reinterpret_cast<DWORD*>(wParam))
        *s = static_cast<DWORD>(start);
    if (auto* e = reinterpret_cast<DWORD*>(lParam))
        *e = static_cast<DWORD>(end);
    return (start > 0xFFFF || end > 0xFFFF) ? -1 : MAKELONG(start, end);
}

std::string ImeDoubleByte(WPARAM wParam)
{
    const UINT ch = static_cast<UINT>(wParam);
    if (ch <= 0xFF)
        return std::string();
    const char pair[2] = {static_cast<char>(ch >> 8), static_cast<char>(ch & 0xFF)};
    return std::string(pair, 2);
}

bool RegisterControl(LPCSTR name, WNDPROC proc, UINT style, LPCSTR cursor)
{
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.style = style | CS_GLOBALCLASS;
    wc.lpfnWndProc = proc;
    wc.cbWndExtra = sizeof(void*);
    wc.hCursor = LoadCursorA(nullptr, cursor ? cursor : IDC_ARROW);
    wc.lpszClassName = name;
    // Registering twice is harmless: the first class stays.
    return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

} // namespace tavrin::controls
