// 3-D edges and focus rectangles.
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiSystemColors.h"
#include "platform/gdi/Painter.h"
#include "platform/gdi/Raster.h"

using namespace tavrin;
namespace sc = tavrin::syscolor;

namespace {

void Line(Painter& p, DeviceContext& dc, int l, int t, int r, int b, COLORREF c)
{
    p.PatternBlt(dc.ToSurface(RECT{l, t, r, b}), BrushPattern::SolidPixel(p.ColorPixel(c)), Rop3Code(PATCOPY));
}

// One ring of an edge: top-left colour first, then bottom-right over the
// far corners.
void Ring(Painter& p, DeviceContext& dc, RECT& r, UINT flags, COLORREF topLeft, COLORREF bottomRight)
{
    if (flags & BF_TOP)
        Line(p, dc, r.left, r.top, r.right, r.top + 1, topLeft);
    if (flags & BF_LEFT)
        Line(p, dc, r.left, r.top, r.left + 1, r.bottom, topLeft);
    if (flags & BF_BOTTOM)
        Line(p, dc, r.left, r.bottom - 1, r.right, r.bottom, bottomRight);
    if (flags & BF_RIGHT)
        Line(p, dc, r.right - 1, r.top, r.right, r.bottom, bottomRight);
    if (flags & BF_LEFT) ++r.left;
    if (flags & BF_TOP) ++r.top;
    if (flags & BF_RIGHT) --r.right;
    if (flags & BF_BOTTOM) --r.bottom;
}

} // namespace

BOOL DrawEdge(HDC hdc, LPRECT rect, UINT edge, UINT flags)
{
    auto dc = DcFromHandle(hdc);
    if (!dc || !rect)
        return FALSE;
    Painter p(*dc);
    RECT r = *rect;
    UINT outer = edge & BDR_OUTER, inner = edge & BDR_INNER;
    COLORREF face = GdiSysColor(sc::kFace);
    if (flags & BF_MONO) {
        if (outer || inner)
            Ring(p, *dc, r, flags, GdiSysColor(sc::kWindowText), GdiSysColor(sc::kWindowText));
    } else if (flags & BF_FLAT) {
        if (outer)
            Ring(p, *dc, r, flags, GdiSysColor(sc::kShadow), GdiSysColor(sc::kShadow));
        if (inner)
            Ring(p, *dc, r, flags, face, face);
    } else {
        bool soft = (flags & BF_SOFT) != 0;
        if (outer & BDR_RAISEDOUTER)
            Ring(p, *dc, r, flags, GdiSysColor(soft ? sc::kHilight : sc::kLight), GdiSysColor(sc::kDarkShadow));
        else if (outer & BDR_SUNKENOUTER)
            Ring(p, *dc, r, flags, GdiSysColor(sc::kShadow), GdiSysColor(sc::kHilight));
        if (inner & BDR_RAISEDINNER)
            Ring(p, *dc, r, flags, GdiSysColor(soft ? sc::kLight : sc::kHilight), GdiSysColor(sc::kShadow));
        else if (inner & BDR_SUNKENINNER)
            Ring(p, *dc, r, flags, GdiSysColor(soft ? sc::kShadow : sc::kDarkShadow), GdiSysColor(sc::kLight));
    }
    if ((flags & BF_MIDDLE) && r.right > r.left && r.bottom > r.top)
        Line(p, *dc, r.left, r.top, r.right, r.bottom, (flags & BF_MONO) ? GdiSysColor(sc::kWindow) : face);
    if (flags & BF_ADJUST)
        *rect = r;
    return TRUE;
}

BOOL DrawFocusRect(HDC hdc, const RECT* rect)
{
    auto dc = DcFromHandle(hdc);
    if (!dc || !rect)
        return FALSE;
    Painter p(*dc);
    if (!p.CanDraw())
        return TRUE;
    RECT r = dc->ToSurface(*rect);
    if (r.right - r.left < 1 || r.bottom - r.top < 1)
        return TRUE;
    // Every other pixel inverted, aligned to the surface, so a second call
    // restores the picture.
    auto invert = [&](const RECT& band) {
        p.ForEachClipped(band, [&](const RECT& c) {
            for (int y = c.top; y < c.bottom; ++y) {
                uint32_t* row = p.Target().Scanline(y);
                for (int x = c.left; x < c.right; ++x)
                    if (((x + y) & 1) == 0)
                        row[x] ^= 0x00FFFFFFu;
            }
        });
    };
    invert(RECT{r.left, r.top, r.right, r.top + 1});
    if (r.bottom - r.top > 1)
        invert(RECT{r.left, r.bottom - 1, r.right, r.bottom});
    invert(RECT{r.left, r.top + 1, r.left + 1, r.bottom - 1});
    if (r.right - r.left > 1)
        invert(RECT{r.right - 1, r.top + 1, r.right, r.bottom - 1});
    return TRUE;
}
