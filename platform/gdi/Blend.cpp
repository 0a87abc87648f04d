// AlphaBlend, TransparentBlt and GradientFill.
#include "platform/gdi/BlitEngine.h"
#include "platform/gdi/Gdi.h"

#include <algorithm>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using namespace tavrin;

namespace {

inline uint32_t Channel(uint32_t p, int shift) { return (p >> shift) & 0xFF; }

// Two 8-bit lanes (bits 0-7 and 16-23) times f / 255, rounded, at once.
inline uint32_t ScaleLanes(uint32_t lanes, uint32_t f)
{
    uint32_t t = lanes * f + 0x00800080u;
    return ((t + ((t >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}

inline uint32_t Scale(uint32_t p, uint32_t f)
{
    return ScaleLanes(p & 0x00FF00FFu, f) | (ScaleLanes((p >> 8) & 0x00FF00FFu, f) << 8);
}

// Premultiplied source over destination with a constant alpha:
// d = s * ca + d * (1 - sa * ca), every channel rounded and limited to 255.
inline uint32_t BlendPremultiplied(uint32_t d, uint32_t s, uint32_t constant)
{
    if (constant != 255)
        s = Scale(s, constant);
    uint32_t sa = s >> 24;
    if (sa == 255)
        return s;
    if (sa == 0 && s == 0)
        return d;
    uint32_t inv = 255 - sa;
    uint32_t rb = ScaleLanes(d & 0x00FF00FFu, inv) + (s & 0x00FF00FFu);
    uint32_t ag = ScaleLanes((d >> 8) & 0x00FF00FFu, inv) + ((s >> 8) & 0x00FF00FFu);
    rb = (rb | (((rb & 0x01000100u) >> 8) * 0xFF)) & 0x00FF00FFu;
    ag = (ag | (((ag & 0x01000100u) >> 8) * 0xFF)) & 0x00FF00FFu;
    return rb | (ag << 8);
}

#if defined(__SSE2__)
inline __m128i Div255(__m128i x)
{
    __m128i t = _mm_add_epi16(x, _mm_set1_epi16(128));
    return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
}
#endif

// A row of BlendPremultiplied, four pixels at a time where the CPU allows.
void BlendRow(uint32_t* d, const uint32_t* s, int n, uint32_t constant)
{
    int i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128(), c255 = _mm_set1_epi16(255);
    const __m128i ca = _mm_set1_epi16(short(constant));
    for (; i + 4 <= n; i += 4) {
        __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        __m128i slo = _mm_unpacklo_epi8(sv, zero), shi = _mm_unpackhi_epi8(sv, zero);
        if (constant != 255) {
            slo = Div255(_mm_mullo_epi16(slo, ca));
            shi = Div255(_mm_mullo_epi16(shi, ca));
        }
        __m128i alo = _mm_shufflehi_epi16(_mm_shufflelo_epi16(slo, 0xFF), 0xFF);
        __m128i ahi = _mm_shufflehi_epi16(_mm_shufflelo_epi16(shi, 0xFF), 0xFF);
        __m128i dlo = Div255(_mm_mullo_epi16(_mm_unpacklo_epi8(dv, zero), _mm_sub_epi16(c255, alo)));
        __m128i dhi = Div255(_mm_mullo_epi16(_mm_unpackhi_epi8(dv, zero), _mm_sub_epi16(c255, ahi)));
        __m128i out = _mm_packus_epi16(_mm_add_epi16(dlo, slo), _mm_add_epi16(dhi, shi));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), out);
    }
#endif
    for (; i < n; ++i)
        d[i] = BlendPremultiplied(d[i], s[i], constant);
}

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
    if (perPixel && !g.flipX && !g.flipY && g.dst.right - g.dst.left == sw && g.dst.bottom - g.dst.top == sh) {
        int ox = g.src.left - g.dst.left, oy = g.src.top - g.dst.top;
        Surface& target = painter.Target();
        painter.ForEachClipped(g.dst, [&](const RECT& c) {
            for (int row = c.top; row < c.bottom; ++row)
                BlendRow(target.Scanline(row) + c.left, source->Scanline(row + oy) + c.left + ox, c.right - c.left,
                         constant);
        });
        return TRUE;
    }
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
        d = BlendPremultiplied(d, s, constant);
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
        std::vector<uint32_t> line;
        painter.ForEachClipped(r, [&](const RECT& c) {
            // Horizontal: every row of the part is the same line.
            if (mode == GRADIENT_FILL_RECT_H) {
                line.resize(static_cast<size_t>(c.right - c.left));
                for (int px = c.left; px < c.right; ++px)
                    line[static_cast<size_t>(px - c.left)] = Lerp(a, b, px - r.left, span);
            }
            for (int py = c.top; py < c.bottom; ++py) {
                uint32_t* row = target.Scanline(py);
                if (mode == GRADIENT_FILL_RECT_V)
                    std::fill(row + c.left, row + c.right, Lerp(a, b, py - r.top, span));
                else
                    std::copy(line.begin(), line.end(), row + c.left);
            }
        });
    }
    return TRUE;
}
