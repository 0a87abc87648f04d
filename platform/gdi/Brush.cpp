#include "platform/gdi/Brush.h"

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Surface.h"

#include <cstring>

namespace tavrin {

uint32_t ToMonoPixel(uint32_t p)
{
    unsigned sum = ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
    return sum >= 384 ? 0x00FFFFFFu : 0u;
}

std::shared_ptr<Brush> Brush::Solid(COLORREF color)
{
    std::shared_ptr<Brush> b(new Brush);
    b->m_style = BS_SOLID;
    b->m_color = color & 0x00FFFFFFu;
    return b;
}

std::shared_ptr<Brush> Brush::Null()
{
    std::shared_ptr<Brush> b(new Brush);
    b->m_style = BS_NULL;
    return b;
}

std::shared_ptr<Brush> Brush::Hatched(int hatch, COLORREF color)
{
    if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS)
        return nullptr;
    std::shared_ptr<Brush> b(new Brush);
    b->m_style = BS_HATCHED;
    b->m_color = color & 0x00FFFFFFu;
    b->m_hatch = hatch;
    b->m_width = b->m_height = 8;
    b->m_bits.resize(64);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            bool h = y == 3, v = x == 4, f = x == y, d = x == 7 - y;
            bool on = hatch == HS_HORIZONTAL ? h : hatch == HS_VERTICAL ? v : hatch == HS_FDIAGONAL ? f
                    : hatch == HS_BDIAGONAL ? d : hatch == HS_CROSS ? (h || v) : (f || d);
            b->m_bits[size_t(y * 8 + x)] = on ? 1 : 0;
        }
    return b;
}

std::shared_ptr<Brush> Brush::Pattern(const Bitmap& bitmap)
{
    const Surface* s = bitmap.Pixels();
    if (!s)
        return nullptr;
    std::shared_ptr<Brush> b(new Brush);
    b->m_style = BS_PATTERN;
    b->m_width = s->Width();
    b->m_height = s->Height();
    b->m_mono = bitmap.IsMonochrome();
    for (int y = 0; y < s->Height(); ++y)
        for (int x = 0; x < s->Width(); ++x) {
            uint32_t p = s->GetPixel(x, y) & 0x00FFFFFFu;
            if (b->m_mono)
                b->m_bits.push_back(p ? 1 : 0);
            else
                b->m_pixels.push_back(p);
        }
    return b;
}

int Brush::Describe(int size, void* out) const
{
    int need = int(sizeof(LOGBRUSH));
    if (!out)
        return need;
    if (size < need)
        return 0;
    LOGBRUSH lb{m_style, m_color, ULONG_PTR(m_style == BS_HATCHED ? m_hatch : 0)};
    std::memcpy(out, &lb, sizeof lb);
    return need;
}

BrushPattern BrushPattern::SolidPixel(uint32_t pixel)
{
    BrushPattern p;
    p.m_none = false;
    p.m_solid = true;
    p.m_pixel = pixel;
    return p;
}

BrushPattern::BrushPattern(const Brush& brush, COLORREF text, COLORREF back, int bkMode, POINT origin, bool mono)
{
    auto conv = [mono](COLORREF c) {
        uint32_t p = PixelFromColor(c);
        return mono ? ToMonoPixel(p) : p;
    };
    m_ox = origin.x;
    m_oy = origin.y;
    switch (brush.m_style) {
    case BS_NULL:
        return;
    case BS_SOLID:
        m_none = false;
        m_solid = true;
        m_pixel = conv(brush.m_color);
        return;
    case BS_HATCHED: {
        m_none = false;
        m_w = m_h = 8;
        uint32_t fg = conv(brush.m_color), bg = conv(back);
        m_pixels.resize(64);
        for (size_t i = 0; i < 64; ++i)
            m_pixels[i] = brush.m_bits[i] ? fg : bg;
        if (bkMode == TRANSPARENT)
            m_mask = brush.m_bits;
        return;
    }
    default: {
        m_none = false;
        m_w = brush.m_width;
        m_h = brush.m_height;
        if (brush.m_mono) {
            uint32_t zero = conv(text), one = conv(back);
            m_pixels.resize(brush.m_bits.size());
            for (size_t i = 0; i < brush.m_bits.size(); ++i)
                m_pixels[i] = brush.m_bits[i] ? one : zero;
        } else if (mono) {
            m_pixels.resize(brush.m_pixels.size());
            for (size_t i = 0; i < m_pixels.size(); ++i)
                m_pixels[i] = ToMonoPixel(brush.m_pixels[i]);
        } else {
            m_pixels = brush.m_pixels;
        }
        return;
    }
    }
}

} // namespace tavrin

using tavrin::Brush;

HBRUSH CreateSolidBrush(COLORREF color)
{
    return tavrin::Register<HBRUSH>(Brush::Solid(color));
}

HBRUSH CreateHatchBrush(int hatch, COLORREF color)
{
    return tavrin::Register<HBRUSH>(Brush::Hatched(hatch, color));
}

HBRUSH CreatePatternBrush(HBITMAP bitmap)
{
    auto bm = tavrin::GdiHandles::Get<tavrin::Bitmap>(bitmap);
    return bm ? tavrin::Register<HBRUSH>(Brush::Pattern(*bm)) : nullptr;
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* lb)
{
    if (!lb)
        return nullptr;
    switch (lb->lbStyle) {
    case BS_SOLID: return CreateSolidBrush(lb->lbColor);
    case BS_NULL: return tavrin::Register<HBRUSH>(Brush::Null());
    case BS_HATCHED: return CreateHatchBrush(int(lb->lbHatch), lb->lbColor);
    case BS_PATTERN:
    case BS_PATTERN8X8: return CreatePatternBrush(reinterpret_cast<HBITMAP>(lb->lbHatch));
    case BS_DIBPATTERNPT: return CreateDIBPatternBrushPt(reinterpret_cast<const void*>(lb->lbHatch), DIB_RGB_COLORS);
    default: return nullptr;
    }
}
