// BlitEngine: maps destination pixels to source pixels for copies and
// stretches (mirrored when the sizes' signs differ), clipped to the
// destination's clip region and to the source surface. Shrinking follows the
// stretch mode: AND or OR of the source pixels that fall together
// (BLACKONWHITE, WHITEONBLACK), the nearest one (COLORONCOLOR) or their
// average by area (HALFTONE, which averages when enlarging too).
#pragma once

#include "platform/gdi/Painter.h"

#include <vector>

namespace tavrin {

struct BlitGeometry {
    RECT dst;      // surface coordinates of the destination, normalised
    RECT src;      // source surface coordinates, normalised
    bool flipX = false;
    bool flipY = false;
};

// From logical destination (x, y, w, h) of dc and a source rectangle already
// in source surface coordinates (sw, sh may be negative).
BlitGeometry MakeGeometry(DeviceContext& dc, int x, int y, int w, int h, int sx, int sy, int sw, int sh);

// Calls fn(destPixel&, sourcePixel, destX, destY) for every destination pixel
// whose source pixel lies inside the source surface.
template <typename Fn>
void ForEachMapped(Painter& painter, const BlitGeometry& g, const Surface& source, Fn fn)
{
    int dw = g.dst.right - g.dst.left, dh = g.dst.bottom - g.dst.top;
    int sw = g.src.right - g.src.left, sh = g.src.bottom - g.src.top;
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0)
        return;
    Surface& target = painter.Target();
    if (dw == sw && dh == sh && !g.flipX && !g.flipY) {
        // Unscaled: a plain offset, with the source bounds clipped once.
        int ox = g.src.left - g.dst.left, oy = g.src.top - g.dst.top;
        RECT inside = IntersectRects(g.src, source.Bounds());
        RECT dst{inside.left - ox, inside.top - oy, inside.right - ox, inside.bottom - oy};
        painter.ForEachClipped(dst, [&](const RECT& c) {
            for (int y = c.top; y < c.bottom; ++y) {
                const uint32_t* srow = source.Scanline(y + oy) + ox;
                uint32_t* drow = target.Scanline(y);
                for (int x = c.left; x < c.right; ++x)
                    fn(drow[x], srow[x], x, y);
            }
        });
        return;
    }
    painter.ForEachClipped(g.dst, [&](const RECT& c) {
        for (int y = c.top; y < c.bottom; ++y) {
            // A mirrored copy is the unmirrored one read backwards.
            int dy = g.flipY ? g.dst.bottom - 1 - y : y - g.dst.top;
            int sy = g.src.top + int((int64_t(2 * dy + 1) * sh) / (2 * dh));
            if (sy < 0 || sy >= source.Height())
                continue;
            const uint32_t* srow = source.Scanline(sy);
            uint32_t* drow = target.Scanline(y);
            for (int x = c.left; x < c.right; ++x) {
                int dx = g.flipX ? g.dst.right - 1 - x : x - g.dst.left;
                int sx = g.src.left + int((int64_t(2 * dx + 1) * sw) / (2 * dw));
                if (sx < 0 || sx >= source.Width())
                    continue;
                fn(drow[x], srow[sx], x, y);
            }
        }
    });
}

// The source pixels one destination column or row takes from an axis of sw
// source pixels drawn over dw, with the share of each (its overlap in units
// of 1 / dw source pixel; the shares of one destination pixel add up to sw).
struct StretchTap {
    int index;
    int64_t weight;
};
std::vector<std::vector<StretchTap>> StretchTaps(int dw, int sw, int srcStart, bool flip, int srcLimit, int mode);

// Like ForEachMapped, with the source pixels combined by the stretch mode:
// fn(destPixel&, combined, destX, destY), each source pixel passed through
// convert before it is combined.
template <typename Convert, typename Fn>
void ForEachStretched(Painter& painter, const BlitGeometry& g, const Surface& source, int mode, Convert convert, Fn fn)
{
    int dw = g.dst.right - g.dst.left, dh = g.dst.bottom - g.dst.top;
    int sw = g.src.right - g.src.left, sh = g.src.bottom - g.src.top;
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0)
        return;
    bool combines = mode == HALFTONE ? (dw != sw || dh != sh)
                  : (mode == BLACKONWHITE || mode == WHITEONBLACK) && (sw > dw || sh > dh);
    if (!combines) {
        ForEachMapped(painter, g, source,
                      [&](uint32_t& d, uint32_t s, int x, int y) { fn(d, convert(s), x, y); });
        return;
    }
    auto xs = StretchTaps(dw, sw, g.src.left, g.flipX, source.Width(), mode);
    auto ys = StretchTaps(dh, sh, g.src.top, g.flipY, source.Height(), mode);
    Surface& target = painter.Target();
    painter.ForEachClipped(g.dst, [&](const RECT& c) {
        for (int y = c.top; y < c.bottom; ++y) {
            const auto& ty = ys[size_t(y - g.dst.top)];
            if (ty.empty())
                continue;
            uint32_t* drow = target.Scanline(y);
            for (int x = c.left; x < c.right; ++x) {
                const auto& tx = xs[size_t(x - g.dst.left)];
                if (tx.empty())
                    continue;
                uint32_t out;
                if (mode == HALFTONE) {
                    int64_t sum[4] = {0, 0, 0, 0}, total = 0;
                    for (const StretchTap& a : ty) {
                        const uint32_t* srow = source.Scanline(a.index);
                        for (const StretchTap& b : tx) {
                            uint32_t p = convert(srow[b.index]);
                            int64_t w = a.weight * b.weight;
                            for (int k = 0; k < 4; ++k)
                                sum[k] += int64_t((p >> (8 * k)) & 0xFF) * w;
                            total += w;
                        }
                    }
                    out = 0;
                    for (int k = 0; k < 4; ++k)
                        out |= uint32_t((sum[k] + total / 2) / total) << (8 * k);
                } else {
                    bool isAnd = mode == BLACKONWHITE;
                    out = isAnd ? 0xFFFFFFFFu : 0u;
                    for (const StretchTap& a : ty) {
                        const uint32_t* srow = source.Scanline(a.index);
                        for (const StretchTap& b : tx)
                            out = isAnd ? out & convert(srow[b.index]) : out | convert(srow[b.index]);
                    }
                }
                fn(drow[x], out, x, y);
            }
        }
    });
}

} // namespace tavrin
