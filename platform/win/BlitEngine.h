// BlitEngine: maps destination pixels to source pixels for copies and
// stretches (nearest pixel, mirrored when the sizes' signs differ), clipped to
// the destination's clip region and to the source surface.
#pragma once

#include "platform/win/Painter.h"

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
            int64_t fy = (int64_t(2 * (y - g.dst.top) + 1) * sh) / (2 * dh);
            int sy = g.src.top + int(g.flipY ? sh - 1 - fy : fy);
            if (sy < 0 || sy >= source.Height())
                continue;
            const uint32_t* srow = source.Scanline(sy);
            uint32_t* drow = target.Scanline(y);
            for (int x = c.left; x < c.right; ++x) {
                int64_t fx = (int64_t(2 * (x - g.dst.left) + 1) * sw) / (2 * dw);
                int sx = g.src.left + int(g.flipX ? sw - 1 - fx : fx);
                if (sx < 0 || sx >= source.Width())
                    continue;
                fn(drow[x], srow[sx], x, y);
            }
        }
    });
}

} // namespace tavrin
