// AlphaBlend, TransparentBlt and GradientFill.
#include "platform/win/BlitEngine.h"
#include "platform/win/Gdi.h"

#include <algorithm>

using namespace tavrin;

namespace {

inline uint32_t Channel(uint32_t p, int shift) { return (p >> shift) & 0xFF; }

} // namespace

BOOL AlphaBlend(HDC hdcDest, int x, int y, int w, int h, HDC hdcSrc, int xs, int ys, int sw, int sh, BLENDFUNCTION bf)
{
    auto dst = DcFromHandle(hdcDest), src = DcFromHandle(hdcSrc);
    if (!dst || !src || bf.BlendOp != AC_SRC_OVER || w < 0 || h < 0 || sw < 0 || sh < 0)
        return FALSE;
    Surface* source = src->Target();
    if (!source)
        return FALSE;
    POINT so = src->ToSurface(xs, ys);
    RECT wanted{so.x, so.y, so.x + sw, so.y + sh};
    RECT inside = IntersectRects(wanted, source->Bounds());
    if (inside.left != wanted.left || inside.top != wanted.top || inside.right != wanted.right
        || inside.bottom != wanted.bottom)
        return FALSE; // the source rectangle must lie within the source
    Painter painter(*dst);
    if (!painter.CanDraw())
        return TRUE;
    BlitGeometry g = MakeGeometry(*dst, x, y, w, h, so.x, so.y, sw, sh);
    uint32_t constant = bf.SourceConstantAlpha;
    bool perPixel = (bf.AlphaFormat & AC_SRC_ALPHA) != 0;
    ForEachMapped(painter, g, *source, [&](uint32_t& d, uint32_t s, int, int) {
        if (!perPixel) {
            // Straight blend of the whole pixel by the constant alpha.
            uint32_t out = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                uint32_t v = (Channel(s, shift) * constant + Channel(d, shift) * (255 - constant) + 127) / 255;
                out |= v << shift;
            }
            d = out;
            return;
        }
        // Premultiplied source: d = s * ca + d * (1 - sa * ca).
        uint32_t sa = (Channel(s, 24) * constant + 127) / 255;
        uint32_t out = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            uint32_t sc = (Channel(s, shift) * constant + 127) / 255;
            uint32_t v = sc + (Channel(d, shift) * (255 - sa) + 127) / 255;
            out |= std::min<uint32_t>(v, 255) << shift;
        }
        d = out;
    });
    return TRUE;
}

BOOL TransparentBlt(HDC hdcDest, int x, int y, int w, int h, HDC hdcSrc, int xs, int ys, int sw, int sh, UINT transparent)
{
    auto dst = DcFromHandle(hdcDest), src = DcFromHandle(hdcSrc);
    if (!dst || !src || w < 0 || h < 0 || sw < 0 || sh < 0)
        return FALSE;
    Surface* source = src->Target();
    if (!source)
        return FALSE;
    Painter painter(*dst);
    if (!painter.CanDraw())
        return TRUE;
    POINT so = src->ToSurface(xs, ys);
    BlitGeometry g = MakeGeometry(*dst, x, y, w, h, so.x, so.y, sw, sh);
    uint32_t key = PixelFromColor(transparent & 0x00FFFFFF);
    ForEachMapped(painter, g, *source, [&](uint32_t& d, uint32_t s, int, int) {
        if ((s & 0x00FFFFFFu) != key)
            d = s & 0x00FFFFFFu;
    });
    return TRUE;
}

namespace {

uint32_t Lerp(const TRIVERTEX& a, const TRIVERTEX& b, int64_t num, int64_t den)
{
    auto ch = [&](COLOR16 p, COLOR16 q) {
        int64_t v = int64_t(p) + (int64_t(q) - int64_t(p)) * num / den;
        return uint32_t(v >> 8) & 0xFF;
    };
    return (ch(a.Alpha, b.Alpha) << 24) | (ch(a.Red, b.Red) << 16) | (ch(a.Green, b.Green) << 8) | ch(a.Blue, b.Blue);
}

} // namespace

BOOL GradientFill(HDC hdc, TRIVERTEX* v, ULONG count, void* mesh, ULONG meshCount, ULONG mode)
{
    auto dc = DcFromHandle(hdc);
    if (!dc || !v || !mesh || mode > GRADIENT_FILL_TRIANGLE)
        return FALSE;
    Painter painter(*dc);
    if (!painter.CanDraw())
        return TRUE;
    Surface& target = painter.Target();
    if (mode == GRADIENT_FILL_TRIANGLE) {
        auto* tris = static_cast<GRADIENT_TRIANGLE*>(mesh);
        for (ULONG i = 0; i < meshCount; ++i) {
            const GRADIENT_TRIANGLE& t = tris[i];
            if (t.Vertex1 >= count || t.Vertex2 >= count || t.Vertex3 >= count)
                return FALSE;
            const TRIVERTEX *a = &v[t.Vertex1], *b = &v[t.Vertex2], *c = &v[t.Vertex3];
            POINT pa = dc->ToSurface(a->x, a->y), pb = dc->ToSurface(b->x, b->y), pc = dc->ToSurface(c->x, c->y);
            int64_t area = int64_t(pb.x - pa.x) * (pc.y - pa.y) - int64_t(pc.x - pa.x) * (pb.y - pa.y);
            if (area == 0)
                continue;
            RECT box{std::min({pa.x, pb.x, pc.x}), std::min({pa.y, pb.y, pc.y}), std::max({pa.x, pb.x, pc.x}),
                     std::max({pa.y, pb.y, pc.y})};
            painter.ForEachClipped(box, [&](const RECT& r) {
                for (int py = r.top; py < r.bottom; ++py)
                    for (int px = r.left; px < r.right; ++px) {
                        int64_t wa = int64_t(pb.x - px) * (pc.y - py) - int64_t(pc.x - px) * (pb.y - py);
                        int64_t wb = int64_t(pc.x - px) * (pa.y - py) - int64_t(pa.x - px) * (pc.y - py);
                        int64_t wc = area - wa - wb;
                        if ((area > 0 && (wa < 0 || wb < 0 || wc < 0)) || (area < 0 && (wa > 0 || wb > 0 || wc > 0)))
                            continue;
                        uint32_t out = 0;
                        auto mix = [&](COLOR16 x, COLOR16 y, COLOR16 z, int shift) {
                            int64_t val = (int64_t(x) * wa + int64_t(y) * wb + int64_t(z) * wc) / area;
                            out |= (uint32_t(val >> 8) & 0xFF) << shift;
                        };
                        mix(a->Alpha, b->Alpha, c->Alpha, 24);
                        mix(a->Red, b->Red, c->Red, 16);
                        mix(a->Green, b->Green, c->Green, 8);
                        mix(a->Blue, b->Blue, c->Blue, 0);
                        target.Scanline(py)[px] = out;
                    }
            });
        }
        return TRUE;
    }
    auto* rects = static_cast<GRADIENT_RECT*>(mesh);
    for (ULONG i = 0; i < meshCount; ++i) {
        if (rects[i].UpperLeft >= count || rects[i].LowerRight >= count)
            return FALSE;
        TRIVERTEX a = v[rects[i].UpperLeft], b = v[rects[i].LowerRight];
        // The first vertex's colour belongs to the left (top) edge.
        if ((mode == GRADIENT_FILL_RECT_H && a.x > b.x) || (mode == GRADIENT_FILL_RECT_V && a.y > b.y))
            std::swap(a, b);
        POINT pa = dc->ToSurface(a.x, a.y), pb = dc->ToSurface(b.x, b.y);
        RECT r{std::min(pa.x, pb.x), std::min(pa.y, pb.y), std::max(pa.x, pb.x), std::max(pa.y, pb.y)};
        int64_t span = mode == GRADIENT_FILL_RECT_H ? r.right - r.left : r.bottom - r.top;
        if (span <= 0)
            continue;
        painter.ForEachClipped(r, [&](const RECT& c) {
            for (int py = c.top; py < c.bottom; ++py) {
                uint32_t* row = target.Scanline(py);
                if (mode == GRADIENT_FILL_RECT_V) {
                    std::fill(row + c.left, row + c.right, Lerp(a, b, py - r.top, span));
                    continue;
                }
                for (int px = c.left; px < c.right; ++px)
                    row[px] = Lerp(a, b, px - r.left, span);
            }
        });
    }
    return TRUE;
}
