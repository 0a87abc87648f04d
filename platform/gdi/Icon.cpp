#include "platform/gdi/Icon.h"

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/BlitEngine.h"
#include "platform/gdi/Gdi.h"

#include <cstring>

namespace tavrin {

std::shared_ptr<Icon> IconFromHandle(HICON icon)
{
    return GdiHandles::Get<Icon>(icon);
}

std::shared_ptr<Icon> Icon::FromPixels(const Surface& colour, const std::vector<uint8_t>& mask)
{
    if (mask.size() != size_t(colour.Width()) * size_t(colour.Height()))
        return nullptr;
    std::shared_ptr<Icon> icon(new Icon);
    icon->m_colour = Surface::Create(colour.Width(), colour.Height());
    if (!icon->m_colour)
        return nullptr;
    for (int y = 0; y < colour.Height(); ++y) {
        std::memcpy(icon->m_colour->Scanline(y), colour.Scanline(y), size_t(colour.Width()) * 4);
        for (int x = 0; x < colour.Width(); ++x)
            icon->m_alpha |= (colour.GetPixel(x, y) >> 24) != 0;
    }
    icon->m_mask = mask;
    return icon;
}

std::shared_ptr<Icon> Icon::FromInfo(const ICONINFO& info)
{
    auto mask = GdiHandles::Get<Bitmap>(info.hbmMask);
    if (!mask)
        return nullptr;
    auto colour = GdiHandles::Get<Bitmap>(info.hbmColor);
    const Surface* m = mask->Pixels();
    int w = m->Width(), h = colour ? colour->Height() : m->Height() / 2;
    if (h <= 0 || (colour && (colour->Width() != w || m->Height() < h)))
        return nullptr;
    auto image = Surface::Create(w, h);
    if (!image)
        return nullptr;
    std::vector<uint8_t> bits(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            bits[size_t(y * w + x)] = (m->GetPixel(x, y) & 0x00FFFFFFu) ? 1 : 0;
            // A monochrome icon keeps its image in the mask's lower half.
            uint32_t p = colour ? colour->Pixels()->GetPixel(x, y) : (m->GetPixel(x, y + h) & 0x00FFFFFFu);
            if (colour && colour->BitsPerPixel() != 32)
                p &= 0x00FFFFFFu;
            image->SetPixel(x, y, p);
        }
    auto icon = FromPixels(*image, bits);
    if (icon) {
        icon->m_isIcon = info.fIcon != 0;
        icon->m_hotspot = POINT{LONG(info.xHotspot), LONG(info.yHotspot)};
    }
    return icon;
}

std::shared_ptr<Icon> Icon::Copy() const
{
    auto c = FromPixels(*m_colour, m_mask);
    if (c) {
        c->m_isIcon = m_isIcon;
        c->m_hotspot = m_hotspot;
    }
    return c;
}

void Icon::Draw(DeviceContext& dc, int x, int y, int cx, int cy, UINT flags) const
{
    Painter painter(dc);
    if (!painter.CanDraw())
        return;
    BlitGeometry g = MakeGeometry(dc, x, y, cx, cy, 0, 0, Width(), Height());
    // The mask rides along as a surface of its own, sampled the same way.
    auto maskSurface = Surface::Create(Width(), Height());
    if (!maskSurface)
        return;
    for (int yy = 0; yy < Height(); ++yy)
        for (int xx = 0; xx < Width(); ++xx)
            maskSurface->SetPixel(xx, yy, m_mask[size_t(yy * Width() + xx)] ? 0x00FFFFFFu : 0u);
    bool mono = dc.IsMonochrome();
    bool useAlpha = m_alpha && (flags & DI_NORMAL) == DI_NORMAL;
    if ((flags & DI_MASK) && !useAlpha)
        ForEachMapped(painter, g, *maskSurface, [&](uint32_t& d, uint32_t s, int, int) { d &= s | 0xFF000000u; });
    if (!(flags & DI_IMAGE))
        return;
    const Surface& colour = *m_colour;
    ForEachMapped(painter, g, colour, [&](uint32_t& d, uint32_t s, int, int) {
        if (useAlpha) {
            uint32_t a = s >> 24, out = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                uint32_t v = (((s >> shift) & 0xFF) * a + ((d >> shift) & 0xFF) * (255 - a) + 127) / 255;
                out |= v << shift;
            }
            d = mono ? ToMonoPixel(out) : out;
            return;
        }
        uint32_t c = s & 0x00FFFFFFu;
        if (mono)
            c = ToMonoPixel(c);
        d = (flags & DI_MASK) ? ((d ^ c) & 0x00FFFFFFu) : c;
    });
}

void Icon::DrawSilhouette(DeviceContext& dc, int x, int y, COLORREF color) const
{
    Painter painter(dc);
    if (!painter.CanDraw())
        return;
    uint32_t pixel = painter.ColorPixel(color);
    BlitGeometry g = MakeGeometry(dc, x, y, Width(), Height(), 0, 0, Width(), Height());
    int w = Width();
    ForEachMapped(painter, g, *m_colour, [&](uint32_t& d, uint32_t s, int px, int py) {
        int ix = px - g.dst.left, iy = py - g.dst.top;
        bool opaque = m_alpha ? (s >> 24) >= 128 : !m_mask[size_t(iy * w + ix)];
        if (opaque)
            d = pixel;
    });
}

} // namespace tavrin

using namespace tavrin;

HICON CreateIconIndirect(PICONINFO info)
{
    return info ? Register<HICON>(Icon::FromInfo(*info)) : nullptr;
}

BOOL GetIconInfo(HICON handle, PICONINFO info)
{
    auto icon = IconFromHandle(handle);
    if (!icon || !info)
        return FALSE;
    auto colour = Bitmap::CreateDevice(icon->Width(), icon->Height(), 32);
    auto mask = Bitmap::CreateDevice(icon->Width(), icon->Height(), 1);
    if (!colour || !mask)
        return FALSE;
    for (int y = 0; y < icon->Height(); ++y)
        for (int x = 0; x < icon->Width(); ++x) {
            colour->Pixels()->SetPixel(x, y, icon->Colour().GetPixel(x, y));
            mask->Pixels()->SetPixel(x, y, icon->Mask()[size_t(y * icon->Width() + x)] ? 0x00FFFFFFu : 0u);
        }
    info->fIcon = icon->IsIcon();
    info->xHotspot = DWORD(icon->Hotspot().x);
    info->yHotspot = DWORD(icon->Hotspot().y);
    info->hbmColor = Register<HBITMAP>(colour);
    info->hbmMask = Register<HBITMAP>(mask);
    return TRUE;
}

BOOL DestroyIcon(HICON icon)
{
    return IconFromHandle(icon) && GdiHandles::Remove(icon) ? TRUE : FALSE;
}

HICON CopyIcon(HICON handle)
{
    auto icon = IconFromHandle(handle);
    return icon ? Register<HICON>(icon->Copy()) : nullptr;
}

BOOL DrawIconEx(HDC hdc, int x, int y, HICON handle, int cx, int cy, UINT, HBRUSH, UINT flags)
{
    auto dc = DcFromHandle(hdc);
    auto icon = IconFromHandle(handle);
    if (!dc || !icon)
        return FALSE;
    if (cx == 0)
        cx = icon->Width();
    if (cy == 0)
        cy = icon->Height();
    if (!(flags & DI_NORMAL))
        flags |= DI_NORMAL;
    icon->Draw(*dc, x, y, cx, cy, flags);
    return TRUE;
}

BOOL DrawIcon(HDC hdc, int x, int y, HICON icon)
{
    return DrawIconEx(hdc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL);
}
