// DrawState: text, prefix text, icons and bitmaps drawn normal, disabled
// (embossed) or as a one-colour silhouette.
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Brush.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiSystemColors.h"
#include "platform/gdi/Icon.h"
#include "platform/gdi/Painter.h"

#include <cstring>

using namespace tavrin;

namespace {

// Draws the item into a monochrome-style mask: black where it has ink.
bool RenderMask(HDC target, UINT kind, LPARAM data, WPARAM wData, int cx, int cy, UINT flags, DRAWSTATEPROC proc,
                std::vector<uint8_t>& ink)
{
    HDC mem = CreateCompatibleDC(target);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = -cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bm = CreateDIBSection(mem, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!mem || !bm) {
        if (bm) DeleteObject(bm);
        if (mem) DeleteDC(mem);
        return false;
    }
    HGDIOBJ oldBitmap = SelectObject(mem, bm);
    std::memset(bits, 0xFF, size_t(cx) * size_t(cy) * 4);
    SelectObject(mem, GetCurrentObject(target, OBJ_FONT));
    SetTextColor(mem, RGB(0, 0, 0));
    SetBkMode(mem, TRANSPARENT);
    switch (kind) {
    case DST_TEXT:
    case DST_PREFIXTEXT: {
        const char* text = reinterpret_cast<const char*>(data);
        RECT r{0, 0, cx, cy};
        UINT format = DT_SINGLELINE | DT_NOCLIP | (kind == DST_TEXT ? DT_NOPREFIX : 0);
        if (flags & DSS_HIDEPREFIX) format |= DT_HIDEPREFIX;
        if (flags & DSS_PREFIXONLY) format |= DT_PREFIXONLY;
        if (flags & DSS_RIGHT) format |= DT_RIGHT;
        DrawText(mem, text, wData ? int(wData) : -1, &r, format);
        break;
    }
    case DST_ICON: {
        auto icon = IconFromHandle(reinterpret_cast<HICON>(data));
        if (icon) {
            auto dc = DcFromHandle(mem);
            icon->DrawSilhouette(*dc, 0, 0, RGB(0, 0, 0));
        }
        break;
    }
    case DST_BITMAP: {
        HDC src = CreateCompatibleDC(mem);
        HGDIOBJ old = SelectObject(src, reinterpret_cast<HBITMAP>(data));
        // Pixels other than white count as ink.
        BitBlt(mem, 0, 0, cx, cy, src, 0, 0, SRCCOPY);
        SelectObject(src, old);
        DeleteDC(src);
        break;
    }
    default:
        if (proc)
            proc(mem, data, wData, cx, cy);
        break;
    }
    ink.resize(size_t(cx) * size_t(cy));
    const auto* px = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < ink.size(); ++i)
        ink[i] = (px[i] & 0x00FFFFFFu) != 0x00FFFFFFu;
    SelectObject(mem, oldBitmap);
    DeleteObject(bm);
    DeleteDC(mem);
    return true;
}

void Silhouette(HDC hdc, const std::vector<uint8_t>& ink, int x, int y, int cx, int cy, COLORREF color)
{
    auto dc = DcFromHandle(hdc);
    Painter painter(*dc);
    if (!painter.CanDraw())
        return;
    uint32_t pixel = painter.ColorPixel(color);
    for (int yy = 0; yy < cy; ++yy)
        for (int xx = 0; xx < cx; ++xx)
            if (ink[size_t(yy * cx + xx)]) {
                POINT p = dc->ToSurface(x + xx, y + yy);
                painter.Plot(p.x, p.y, pixel, R2_COPYPEN);
            }
}

} // namespace

BOOL DrawStateA(HDC hdc, HBRUSH brush, DRAWSTATEPROC proc, LPARAM data, WPARAM wData, int x, int y, int cx, int cy,
                UINT flags)
{
    auto dc = DcFromHandle(hdc);
    if (!dc)
        return FALSE;
    UINT kind = flags & 0x000F;
    if (kind == DST_COMPLEX && !proc)
        return FALSE;
    if (cx == 0 || cy == 0) {
        SIZE size{0, 0};
        if (kind == DST_TEXT || kind == DST_PREFIXTEXT) {
            RECT r{0, 0, 0, 0};
            DrawText(hdc, reinterpret_cast<const char*>(data), wData ? int(wData) : -1, &r,
                     DT_CALCRECT | DT_SINGLELINE | (kind == DST_TEXT ? DT_NOPREFIX : 0));
            size = SIZE{r.right, r.bottom};
        } else if (kind == DST_ICON) {
            auto icon = IconFromHandle(reinterpret_cast<HICON>(data));
            if (!icon)
                return FALSE;
            size = SIZE{icon->Width(), icon->Height()};
        } else if (kind == DST_BITMAP) {
            BITMAP bm{};
            if (!GetObject(reinterpret_cast<HBITMAP>(data), sizeof bm, &bm))
                return FALSE;
            size = SIZE{bm.bmWidth, bm.bmHeight};
        }
        if (cx == 0) cx = size.cx;
        if (cy == 0) cy = size.cy;
    }
    if (cx <= 0 || cy <= 0)
        return TRUE;
    UINT state = flags & 0xFFF0 & ~(DSS_HIDEPREFIX | DSS_PREFIXONLY | DSS_RIGHT);
    if (state == DSS_NORMAL) {
        switch (kind) {
        case DST_TEXT:
        case DST_PREFIXTEXT: {
            RECT r{x, y, x + cx, y + cy};
            UINT format = DT_SINGLELINE | DT_NOCLIP | (kind == DST_TEXT ? DT_NOPREFIX : 0);
            if (flags & DSS_HIDEPREFIX) format |= DT_HIDEPREFIX;
            if (flags & DSS_PREFIXONLY) format |= DT_PREFIXONLY;
            if (flags & DSS_RIGHT) format |= DT_RIGHT;
            DrawText(hdc, reinterpret_cast<const char*>(data), wData ? int(wData) : -1, &r, format);
            return TRUE;
        }
        case DST_ICON:
            return DrawIconEx(hdc, x, y, reinterpret_cast<HICON>(data), cx, cy, 0, nullptr, DI_NORMAL);
        case DST_BITMAP: {
            HDC src = CreateCompatibleDC(hdc);
            HGDIOBJ old = SelectObject(src, reinterpret_cast<HBITMAP>(data));
            BitBlt(hdc, x, y, cx, cy, src, 0, 0, SRCCOPY);
            SelectObject(src, old);
            DeleteDC(src);
            return TRUE;
        }
        default: {
            int saved = SaveDC(hdc);
            OffsetViewportOrgEx(hdc, x, y, nullptr);
            BOOL r = proc(hdc, data, wData, cx, cy);
            RestoreDC(hdc, saved);
            return r;
        }
        }
    }
    std::vector<uint8_t> ink;
    if (!RenderMask(hdc, kind, data, wData, cx, cy, flags, proc, ink))
        return FALSE;
    if (state & DSS_DISABLED) {
        Silhouette(hdc, ink, x + 1, y + 1, cx, cy, GdiSysColor(syscolor::kHilight));
        Silhouette(hdc, ink, x, y, cx, cy, GdiSysColor(syscolor::kShadow));
        return TRUE;
    }
    // DSS_MONO and DSS_UNION: one colour, the brush's (the text colour without one).
    auto b = GdiHandles::Get<Brush>(brush);
    COLORREF color = b ? b->Color() : GetTextColor(hdc);
    Silhouette(hdc, ink, x, y, cx, cy, color);
    return TRUE;
}
