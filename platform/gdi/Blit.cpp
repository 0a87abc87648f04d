// BitBlt and StretchBlt with ternary raster operations, between colour and
// monochrome surfaces.
#include "platform/gdi/BlitEngine.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Raster.h"

#include <cstring>
#include <vector>

namespace tavrin {

BlitGeometry MakeGeometry(DeviceContext& dc, int x, int y, int w, int h, int sx, int sy, int sw, int sh)
{
    BlitGeometry g;
    POINT a = dc.ToSurface(x, y), b = dc.ToSurface(x + w, y + h);
    g.flipX = (b.x < a.x) != (sw < 0);
    g.flipY = (b.y < a.y) != (sh < 0);
    g.dst = RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    g.src = RECT{std::min(sx, sx + sw), std::min(sy, sy + sh), std::max(sx, sx + sw), std::max(sy, sy + sh)};
    return g;
}

std::vector<std::vector<StretchTap>> StretchTaps(int dw, int sw, int srcStart, bool flip, int srcLimit, int mode)
{
    std::vector<std::vector<StretchTap>> taps(static_cast<size_t>(dw));
    for (int column = 0; column < dw; ++column) {
        auto& out = taps[size_t(column)];
        // A mirrored copy is the unmirrored one read backwards.
        int d = flip ? dw - 1 - column : column;
        auto add = [&](int64_t i, int64_t weight) {
            int s = srcStart + int(i);
            if (s >= 0 && s < srcLimit && weight > 0)
                out.push_back({s, weight});
        };
        if (mode == HALFTONE) {
            // Destination pixel d covers [d * sw, (d + 1) * sw) in units of
            // 1 / dw source pixel; source pixel i covers [i * dw, (i + 1) * dw).
            int64_t from = int64_t(d) * sw, to = from + sw;
            for (int64_t i = from / dw; i * dw < to; ++i)
                add(i, std::min(to, (i + 1) * dw) - std::max(from, i * dw));
        } else if (sw > dw) {
            // Every source pixel belongs to exactly one destination pixel.
            for (int64_t i = int64_t(d) * sw / dw; i < int64_t(d + 1) * sw / dw; ++i)
                add(i, 1);
        } else {
            add((int64_t(2 * d + 1) * sw) / (2 * dw), 1);
        }
    }
    return taps;
}

} // namespace tavrin

using namespace tavrin;

namespace {

// Converts source pixels to the destination's kind: monochrome sources take
// the destination's text (0) and background (1) colours; colour sources going
// to a monochrome destination become white where they equal the source
// background colour.
struct Converter {
    int mode = 0; // 0 as is, 1 mono to colour, 2 colour to mono
    uint32_t zero = 0, one = 0, sourceBack = 0;
    uint32_t operator()(uint32_t p) const
    {
        switch (mode) {
        case 1: return (p & 0x00FFFFFFu) ? one : zero;
        case 2: return (p & 0x00FFFFFFu) == sourceBack ? 0x00FFFFFFu : 0;
        default: return p;
        }
    }
};

Converter MakeConverter(DeviceContext& dst, DeviceContext& src)
{
    Converter c;
    if (src.IsMonochrome() && !dst.IsMonochrome()) {
        c.mode = 1;
        c.zero = PixelFromColor(dst.State().textColor);
        c.one = PixelFromColor(dst.State().bkColor);
    } else if (!src.IsMonochrome() && dst.IsMonochrome()) {
        c.mode = 2;
        c.sourceBack = PixelFromColor(src.State().bkColor);
    }
    return c;
}

BOOL DoBlit(HDC hdcDest, int x, int y, int w, int h, HDC hdcSrc, int xs, int ys, int sw, int sh, DWORD rop)
{
    auto dst = DcFromHandle(hdcDest);
    if (!dst)
        return FALSE;
    uint8_t code = Rop3Code(rop);
    if (!Rop3UsesSource(code)) {
        Painter painter(*dst);
        if (painter.CanDraw()) {
            POINT a = dst->ToSurface(x, y), b = dst->ToSurface(x + w, y + h);
            RECT r{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
            painter.PatternBlt(r, painter.CurrentBrush(), code);
        }
        return TRUE;
    }
    auto src = DcFromHandle(hdcSrc);
    if (!src)
        return FALSE;
    Painter painter(*dst);
    Surface* source = src->Target();
    if (!painter.CanDraw() || !source)
        return TRUE;
    POINT so = src->ToSurface(xs, ys);
    BlitGeometry g = MakeGeometry(*dst, x, y, w, h, so.x, so.y, sw, sh);
    Converter convert = MakeConverter(*dst, *src);
    BrushPattern pattern = Rop3UsesPattern(code) ? painter.CurrentBrush() : BrushPattern();
    // A source overlapping the destination is read from a copy.
    std::unique_ptr<Surface> copy;
    const Surface* from = source;
    if (source == &painter.Target()) {
        copy = Surface::Create(source->Width(), source->Height());
        if (!copy)
            return FALSE;
        for (int row = 0; row < source->Height(); ++row)
            std::memcpy(copy->Scanline(row), source->Scanline(row), size_t(source->Width()) * 4);
        from = copy.get();
    }
    bool plain = code == 0xCC && convert.mode == 0 && !g.flipX && !g.flipY
              && g.dst.right - g.dst.left == g.src.right - g.src.left && g.dst.bottom - g.dst.top == g.src.bottom - g.src.top;
    if (plain) {
        Surface& target = painter.Target();
        int dx = g.src.left - g.dst.left, dy = g.src.top - g.dst.top;
        RECT within{g.src.left, g.src.top, g.src.right, g.src.bottom};
        within = IntersectRects(within, from->Bounds());
        RECT shifted{within.left - dx, within.top - dy, within.right - dx, within.bottom - dy};
        painter.ForEachClipped(shifted, [&](const RECT& c) {
            for (int row = c.top; row < c.bottom; ++row)
                std::memcpy(target.Scanline(row) + c.left, from->Scanline(row + dy) + c.left + dx,
                            size_t(c.right - c.left) * 4);
        });
        return TRUE;
    }
    bool usesPattern = Rop3UsesPattern(code);
    bool mono = dst->IsMonochrome();
    ForEachStretched(painter, g, *from, dst->State().stretchMode, convert, [&](uint32_t& d, uint32_t s, int px, int py) {
        if (usesPattern && (pattern.IsNone() || !pattern.Draws(px, py)))
            return;
        uint32_t p = usesPattern ? pattern.At(px, py) : 0;
        d = ApplyRop3(code, p, mono ? ToMonoPixel(s) : s, d);
    });
    return TRUE;
}

} // namespace

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop)
{
    return DoBlit(dest, x, y, width, height, src, xSrc, ySrc, width, height, rop);
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                int srcHeight, DWORD rop)
{
    return DoBlit(dest, x, y, width, height, src, xSrc, ySrc, srcWidth, srcHeight, rop);
}
