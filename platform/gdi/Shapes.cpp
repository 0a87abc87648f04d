// Pixels, lines, shapes, rectangle fills and pattern blits.
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Painter.h"
#include "platform/gdi/Raster.h"
#include "platform/gdi/RegionObject.h"

using namespace tavrin;

namespace {

template <typename F>
BOOL Paint(HDC hdc, F fn)
{
    auto dc = DcFromHandle(hdc);
    if (!dc)
        return FALSE;
    Painter painter(*dc);
    fn(*dc, painter);
    return TRUE;
}

BrushPattern ResolveBrush(DeviceContext& dc, Painter& painter, HBRUSH handle, bool& ok)
{
    ok = true;
    auto brush = GdiHandles::Get<Brush>(handle);
    if (!brush) {
        ok = false;
        return BrushPattern();
    }
    const DcState& s = dc.State();
    if (brush == StockObject(DC_BRUSH))
        return BrushPattern::SolidPixel(painter.ColorPixel(s.dcBrushColor));
    return BrushPattern(*brush, s.textColor, s.bkColor, s.bkMode, dc.BrushOrigin(), dc.IsMonochrome());
}

RECT Normalized(const RECT& r)
{
    return RECT{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right), std::max(r.top, r.bottom)};
}

} // namespace

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color)
{
    auto dc = DcFromHandle(hdc);
    if (!dc)
        return CLR_INVALID;
    Painter painter(*dc);
    POINT p = dc->ToSurface(x, y);
    if (!painter.CanDraw() || !painter.Clip().Contains(p.x, p.y))
        return CLR_INVALID;
    uint32_t pixel = painter.ColorPixel(color);
    painter.Target().SetPixel(p.x, p.y, pixel);
    return ColorFromPixel(pixel);
}

BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color)
{
    return SetPixel(hdc, x, y, color) != CLR_INVALID ? TRUE : FALSE;
}

COLORREF GetPixel(HDC hdc, int x, int y)
{
    auto dc = DcFromHandle(hdc);
    if (!dc)
        return CLR_INVALID;
    Surface* s = dc->Target();
    POINT p = dc->ToSurface(x, y);
    if (!s || !dc->Clip().Contains(p.x, p.y))
        return CLR_INVALID;
    return ColorFromPixel(s->GetPixel(p.x, p.y));
}

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT old)
{
    auto dc = DcFromHandle(hdc);
    if (!dc)
        return FALSE;
    if (old)
        *old = dc->State().position;
    dc->State().position = POINT{x, y};
    return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y)
{
    return Paint(hdc, [&](DeviceContext& dc, Painter& p) {
        p.Line(dc.State().position, POINT{x, y});
        dc.State().position = POINT{x, y};
    });
}

BOOL Polyline(HDC hdc, const POINT* points, int count)
{
    if (!points || count < 2)
        return FALSE;
    return Paint(hdc, [&](DeviceContext&, Painter& p) { p.Polyline(points, count); });
}

BOOL PolylineTo(HDC hdc, const POINT* points, DWORD count)
{
    if (!points)
        return FALSE;
    return Paint(hdc, [&](DeviceContext& dc, Painter& p) {
        std::vector<POINT> path{dc.State().position};
        path.insert(path.end(), points, points + count);
        p.Polyline(path.data(), int(path.size()));
        dc.State().position = path.back();
    });
}

BOOL Polygon(HDC hdc, const POINT* points, int count)
{
    if (!points || count < 2)
        return FALSE;
    INT n = count;
    return Paint(hdc, [&](DeviceContext&, Painter& p) { p.PolyPolygon(points, &n, 1); });
}

BOOL PolyPolygon(HDC hdc, const POINT* points, const INT* counts, int polygons)
{
    if (!points || !counts || polygons < 1)
        return FALSE;
    for (int i = 0; i < polygons; ++i)
        if (counts[i] < 2)
            return FALSE;
    return Paint(hdc, [&](DeviceContext&, Painter& p) { p.PolyPolygon(points, counts, polygons); });
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom)
{
    return Paint(hdc, [&](DeviceContext&, Painter& p) { p.Rectangle(RECT{left, top, right, bottom}); });
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom)
{
    return Paint(hdc, [&](DeviceContext&, Painter& p) { p.Ellipse(RECT{left, top, right, bottom}); });
}

BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height)
{
    return Paint(hdc, [&](DeviceContext&, Painter& p) { p.RoundRect(RECT{left, top, right, bottom}, width, height); });
}

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush)
{
    if (!rect)
        return FALSE;
    bool ok = true;
    BOOL done = Paint(hdc, [&](DeviceContext& dc, Painter& p) {
        BrushPattern pattern = ResolveBrush(dc, p, brush, ok);
        if (ok)
            p.PatternBlt(dc.ToSurface(*rect), pattern, Rop3Code(PATCOPY));
    });
    return done && ok;
}

int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush)
{
    if (!rect)
        return FALSE;
    bool ok = true;
    BOOL done = Paint(hdc, [&](DeviceContext& dc, Painter& p) {
        BrushPattern pattern = ResolveBrush(dc, p, brush, ok);
        RECT r = dc.ToSurface(*rect);
        if (!ok || r.right <= r.left || r.bottom <= r.top)
            return;
        uint8_t rop = Rop3Code(PATCOPY);
        p.PatternBlt(RECT{r.left, r.top, r.right, r.top + 1}, pattern, rop);
        p.PatternBlt(RECT{r.left, r.bottom - 1, r.right, r.bottom}, pattern, rop);
        p.PatternBlt(RECT{r.left, r.top + 1, r.left + 1, r.bottom - 1}, pattern, rop);
        p.PatternBlt(RECT{r.right - 1, r.top + 1, r.right, r.bottom - 1}, pattern, rop);
    });
    return done && ok;
}

BOOL InvertRect(HDC hdc, const RECT* rect)
{
    if (!rect)
        return FALSE;
    return Paint(hdc, [&](DeviceContext& dc, Painter& p) {
        p.PatternBlt(dc.ToSurface(*rect), BrushPattern(), Rop3Code(DSTINVERT));
    });
}

BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop)
{
    uint8_t code = Rop3Code(rop);
    if (Rop3UsesSource(code))
        return FALSE;
    return Paint(hdc, [&](DeviceContext& dc, Painter& p) {
        RECT r = Normalized(dc.ToSurface(RECT{x, y, x + width, y + height}));
        p.PatternBlt(r, p.CurrentBrush(), code);
    });
}

namespace {

template <typename F>
BOOL WithRegion(HDC hdc, HRGN region, F fn)
{
    auto rgn = RegionFromHandle(region);
    if (!rgn)
        return FALSE;
    return Paint(hdc, [&](DeviceContext& dc, Painter& p) {
        Region r = rgn->Get();
        POINT o = dc.ToSurface(0, 0);
        r.Offset(o.x, o.y);
        fn(dc, p, r);
    });
}

} // namespace

BOOL FillRgn(HDC hdc, HRGN region, HBRUSH brush)
{
    bool ok = true;
    BOOL done = WithRegion(hdc, region, [&](DeviceContext& dc, Painter& p, const Region& r) {
        BrushPattern pattern = ResolveBrush(dc, p, brush, ok);
        for (const RECT& rc : r.Rects())
            if (ok)
                p.PatternBlt(rc, pattern, Rop3Code(PATCOPY));
    });
    return done && ok;
}

BOOL PaintRgn(HDC hdc, HRGN region)
{
    return WithRegion(hdc, region, [&](DeviceContext&, Painter& p, const Region& r) {
        BrushPattern pattern = p.CurrentBrush();
        for (const RECT& rc : r.Rects())
            p.PatternBlt(rc, pattern, Rop3Code(PATCOPY));
    });
}

BOOL InvertRgn(HDC hdc, HRGN region)
{
    return WithRegion(hdc, region, [&](DeviceContext&, Painter& p, const Region& r) {
        for (const RECT& rc : r.Rects())
            p.PatternBlt(rc, BrushPattern(), Rop3Code(DSTINVERT));
    });
}

BOOL FrameRgn(HDC hdc, HRGN region, HBRUSH brush, int width, int height)
{
    bool ok = true;
    BOOL done = WithRegion(hdc, region, [&](DeviceContext& dc, Painter& p, const Region& r) {
        BrushPattern pattern = ResolveBrush(dc, p, brush, ok);
        if (!ok)
            return;
        // The frame is the region less the region shrunk by the frame size.
        Region inner = r;
        for (int dx = -width; dx <= width; ++dx)
            for (int dy = -height; dy <= height; ++dy) {
                if (std::abs(dx) != width && std::abs(dy) != height)
                    continue;
                Region moved = r;
                moved.Offset(dx, dy);
                inner = Region::Combine(inner, moved, Region::Op::And);
            }
        Region frame = Region::Combine(r, inner, Region::Op::Diff);
        for (const RECT& rc : frame.Rects())
            p.PatternBlt(rc, pattern, Rop3Code(PATCOPY));
    });
    return done && ok;
}
