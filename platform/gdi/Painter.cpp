#include "platform/gdi/Painter.h"

#include "platform/gdi/Pen.h"
#include "platform/gdi/Raster.h"
#include "platform/gdi/Scanline.h"

#include <algorithm>
#include <optional>
#include <cmath>
#include <cstdlib>

namespace tavrin {

Painter::Painter(DeviceContext& dc)
    : m_dc(dc), m_scope(dc), m_surface(dc.Target()), m_clip(&dc.Clip()), m_mono(dc.IsMonochrome())
{
    m_simpleClip = m_clip->Rects().size() == 1;
    m_clipBox = m_clip->Bounds();
}

uint32_t Painter::ColorPixel(COLORREF color) const
{
    uint32_t p = PixelFromColor(color);
    return m_mono ? ToMonoPixel(p) : p;
}

BrushPattern Painter::CurrentBrush()
{
    const DcState& s = m_dc.State();
    if (!s.brush)
        return BrushPattern();
    if (s.brush == StockObject(DC_BRUSH))
        return BrushPattern::SolidPixel(ColorPixel(s.dcBrushColor));
    return BrushPattern(*s.brush, s.textColor, s.bkColor, s.bkMode, m_dc.BrushOrigin(), m_mono);
}

void Painter::Plot(int x, int y, uint32_t pixel, int rop2)
{
    if (!m_surface)
        return;
    if (m_simpleClip) {
        if (x < m_clipBox.left || x >= m_clipBox.right || y < m_clipBox.top || y >= m_clipBox.bottom)
            return;
    } else if (!m_clip->Contains(x, y)) {
        return;
    }
    uint32_t* p = m_surface->Scanline(y) + x;
    *p = ApplyRop2(rop2, pixel, *p);
}

void Painter::FillRect(const RECT& r, const BrushPattern& brush, int rop2)
{
    if (!m_surface || brush.IsNone() || rop2 == R2_NOP)
        return;
    // A solid brush under an operation that ignores the destination is one
    // colour: whole rows at a time.
    bool usesDest = ApplyRop2Bits(rop2, 0, 0) != ApplyRop2Bits(rop2, 0, ~0u)
                    || ApplyRop2Bits(rop2, ~0u, 0) != ApplyRop2Bits(rop2, ~0u, ~0u);
    if (brush.IsSolid() && !usesDest) {
        uint32_t pixel = rop2 == R2_COPYPEN ? brush.SolidColor() : ApplyRop2(rop2, brush.SolidColor(), 0);
        FillSolid(r, pixel);
        return;
    }
    ForEachClipped(r, [&](const RECT& c) {
        for (int y = c.top; y < c.bottom; ++y) {
            uint32_t* row = m_surface->Scanline(y);
            for (int x = c.left; x < c.right; ++x)
                if (brush.Draws(x, y))
                    row[x] = ApplyRop2(rop2, brush.At(x, y), row[x]);
        }
    });
}

void Painter::FillSolid(const RECT& r, uint32_t pixel)
{
    if (!m_surface)
        return;
    ForEachClipped(r, [&](const RECT& c) {
        for (int y = c.top; y < c.bottom; ++y)
            FillPixels(m_surface->Scanline(y) + c.left, size_t(c.right - c.left), pixel);
    });
}

void Painter::Span(int y, int x0, int x1, const BrushPattern& brush, int rop2)
{
    FillRect(RECT{x0, y, x1, y + 1}, brush, rop2);
}

void Painter::PatternBlt(const RECT& r, const BrushPattern& brush, uint8_t rop3)
{
    if (!m_surface)
        return;
    bool usesPattern = Rop3UsesPattern(rop3);
    if (usesPattern && brush.IsNone())
        return;
    // One colour when the operation ignores the destination and the pattern
    // is solid or unused (PATCOPY, BLACKNESS, WHITENESS, NOTPATCOPY...).
    bool usesDest = ((rop3 >> 1) & 0x55) != (rop3 & 0x55);
    if (!usesDest && (!usesPattern || brush.IsSolid())) {
        uint32_t p = usesPattern ? brush.SolidColor() : 0;
        FillSolid(r, rop3 == 0xF0 ? p : ApplyRop3(rop3, p, 0, 0));
        return;
    }
    ForEachClipped(r, [&](const RECT& c) {
        for (int y = c.top; y < c.bottom; ++y) {
            uint32_t* row = m_surface->Scanline(y);
            for (int x = c.left; x < c.right; ++x) {
                if (usesPattern && !brush.Draws(x, y))
                    continue;
                uint32_t p = usesPattern ? brush.At(x, y) : 0;
                row[x] = ApplyRop3(rop3, p, 0, row[x]);
            }
        }
    });
}

namespace {

using Wide = __int128;

// Whether the pixel centre (px, py) lies within half of width of the segment
// a-b, exactly. Points at exactly half the width belong to the stroke where
// its outline faces up, or left: the top-left rule of fills.
bool InCapsule(POINT a, POINT b, int64_t px, int64_t py, int width)
{
    Wide dx = Wide(b.x) - a.x, dy = Wide(b.y) - a.y, ax = px - a.x, ay = py - a.y;
    Wide len2 = dx * dx + dy * dy, dot = ax * dx + ay * dy, w2 = Wide(width) * width;
    auto around = [&](Wide ex, Wide ey) {
        Wide d2 = 4 * (ex * ex + ey * ey);
        if (d2 != w2)
            return d2 < w2;
        return ey < 0 || (ey == 0 && ex < 0);
    };
    if (len2 == 0 || dot <= 0)
        return around(ax, ay);
    if (dot >= len2)
        return around(px - b.x, py - b.y);
    Wide cross = dx * ay - dy * ax;
    Wide lhs = 4 * cross * cross, rhs = w2 * len2;
    if (lhs != rhs)
        return lhs < rhs;
    // On the side edge: its outward normal is (-dy, dx) times the sign of cross.
    Wide nx = cross > 0 ? -dy : dy, ny = cross > 0 ? dx : -dx;
    return ny < 0 || (ny == 0 && nx < 0);
}

// ceil(num / den - 1/2) and floor(num / den + 1/2) for den > 0: the nearest
// integer, exact halves going down or up.
int64_t NearestDown(int64_t num, int64_t den)
{
    int64_t n = 2 * num - den, d = 2 * den;
    return n >= 0 ? (n + d - 1) / d : -((-n) / d);
}
int64_t NearestUp(int64_t num, int64_t den)
{
    int64_t n = 2 * num + den, d = 2 * den;
    return n >= 0 ? n / d : -((-n + d - 1) / d);
}

} // namespace

void Painter::Runs::Add(int y, int x0, int x1)
{
    if (y >= m_top && y < Bottom() && x1 > x0)
        m_rows[size_t(y - m_top)].emplace_back(x0, x1);
}

void Painter::Runs::Merge()
{
    for (auto& row : m_rows) {
        if (row.size() < 2)
            continue;
        std::sort(row.begin(), row.end());
        size_t out = 0;
        for (size_t i = 1; i < row.size(); ++i) {
            if (row[i].first <= row[out].second)
                row[out].second = std::max(row[out].second, row[i].second);
            else
                row[++out] = row[i];
        }
        row.resize(out + 1);
    }
}

Painter::Runs Painter::WideStroke(const POINT* path, int count, bool closed, int width) const
{
    int reach = width / 2 + 1;
    int top = m_clipBox.bottom, bottom = m_clipBox.top;
    for (int i = 0; i < count; ++i) {
        top = std::min<int64_t>(top, std::max<int64_t>(m_clipBox.top, int64_t(path[i].y) - reach));
        bottom = std::max<int64_t>(bottom, std::min<int64_t>(m_clipBox.bottom, int64_t(path[i].y) + reach + 1));
    }
    Runs runs(top, bottom);
    int segments = closed && count > 2 ? count : std::max(count - 1, 1);
    double r = width / 2.0;
    for (int k = 0; k < segments; ++k) {
        POINT a = path[k], b = path[count > 1 ? (k + 1) % count : k];
        int64_t y0 = std::max<int64_t>(top, std::min(a.y, b.y) - reach);
        int64_t y1 = std::min<int64_t>(bottom, int64_t(std::max(a.y, b.y)) + reach + 1);
        double dx = double(b.x) - a.x, dy = double(b.y) - a.y, len = std::sqrt(dx * dx + dy * dy);
        for (int64_t y = y0; y < y1; ++y) {
            // Candidates: the segment's box, within the band around its line.
            double lo = std::min(a.x, b.x) - r, hi = std::max(a.x, b.x) + r;
            if (dy != 0) {
                double xc = a.x + dx * (double(y) - a.y) / dy, half = r * len / std::fabs(dy);
                lo = std::max(lo, xc - half);
                hi = std::min(hi, xc + half);
            }
            int64_t x0 = std::max<int64_t>(int64_t(std::floor(lo)) - 1, m_clipBox.left);
            int64_t x1 = std::min<int64_t>(int64_t(std::ceil(hi)) + 1, m_clipBox.right - 1);
            // The covered pixels of a row are one run: find both of its ends.
            while (x0 <= x1 && !InCapsule(a, b, x0, y, width))
                ++x0;
            while (x1 >= x0 && !InCapsule(a, b, x1, y, width))
                --x1;
            if (x0 <= x1)
                runs.Add(int(y), int(x0), int(x1 + 1));
        }
    }
    runs.Merge();
    return runs;
}

void Painter::PaintRuns(const Runs& runs, uint32_t pixel)
{
    BrushPattern pen = BrushPattern::SolidPixel(pixel);
    int rop2 = m_dc.State().rop2;
    for (int y = runs.Top(); y < runs.Bottom(); ++y)
        for (const auto& run : runs.Row(y))
            Span(y, run.first, run.second, pen, rop2);
}

void Painter::SpanExcept(int y, int x0, int x1, const Runs* pen, const BrushPattern& brush, int rop2)
{
    if (pen && y >= pen->Top() && y < pen->Bottom()) {
        for (const auto& run : pen->Row(y)) {
            if (run.first > x0)
                Span(y, x0, std::min(x1, run.first), brush, rop2);
            x0 = std::max(x0, run.second);
        }
    }
    if (x1 > x0)
        Span(y, x0, x1, brush, rop2);
}

int Painter::WidePenWidth() const
{
    const DcState& s = m_dc.State();
    if (!s.pen || s.pen->IsNull() || s.pen->Width() <= 1)
        return 0;
    return s.pen->Width();
}

uint32_t Painter::PenPixel() const
{
    const DcState& s = m_dc.State();
    return ColorPixel(s.pen == StockObject(DC_PEN) ? s.dcPenColor : s.pen->Color());
}

void Painter::LineSurface(POINT a, POINT b, const Pen& pen, uint32_t pixel, int& dashPos)
{
    const DcState& s = m_dc.State();
    std::vector<int> dashes = pen.DashPattern();
    int period = 0;
    for (int d : dashes)
        period += d;
    uint32_t gap = ColorPixel(s.bkColor);
    auto put = [&](int x, int y) {
        if (period) {
            int pos = dashPos % period, on = 0;
            bool drawn = true;
            for (size_t i = 0; i < dashes.size(); ++i) {
                on += dashes[i];
                if (pos < on) {
                    drawn = (i % 2) == 0;
                    break;
                }
            }
            ++dashPos;
            if (!drawn) {
                if (s.bkMode == OPAQUE)
                    Plot(x, y, gap, s.rop2);
                return;
            }
        }
        Plot(x, y, pixel, s.rop2);
    };
    // Each step of the major axis lights the pixel the line crosses nearest
    // to its centre (the diamond it leaves). When the line passes exactly
    // between two pixels, an x-major line takes the upper one and a y-major
    // line the right one, whichever way it runs, so a line covers the same
    // pixels in both directions apart from the end left out.
    int64_t dx = int64_t(b.x) - a.x, dy = int64_t(b.y) - a.y;
    if (std::abs(dx) >= std::abs(dy)) {
        int64_t steps = std::abs(dx), sx = dx > 0 ? 1 : -1;
        for (int64_t i = 0; i < steps; ++i)
            put(int(a.x + sx * i), int(NearestDown(int64_t(a.y) * steps + dy * i, steps)));
    } else {
        int64_t steps = std::abs(dy), sy = dy > 0 ? 1 : -1;
        for (int64_t i = 0; i < steps; ++i)
            put(int(NearestUp(int64_t(a.x) * steps + dx * i, steps)), int(a.y + sy * i));
    }
}

void Painter::Line(POINT from, POINT to)
{
    POINT path[2] = {from, to};
    Polyline(path, 2);
}

void Painter::Polyline(const POINT* points, int count)
{
    const DcState& s = m_dc.State();
    if (!m_surface || !s.pen || s.pen->IsNull() || count < 2)
        return;
    std::vector<POINT> sp(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        sp[size_t(i)] = m_dc.ToSurface(points[i].x, points[i].y);
    if (int w = WidePenWidth()) {
        // One stroke for the whole figure, so overlaps are drawn once.
        PaintRuns(WideStroke(sp.data(), count, false, w), PenPixel());
        return;
    }
    uint32_t pixel = PenPixel();
    int dash = 0;
    for (int i = 0; i + 1 < count; ++i)
        LineSurface(sp[size_t(i)], sp[size_t(i) + 1], *s.pen, pixel, dash);
}

void Painter::PolyPolygon(const POINT* points, const INT* counts, int polygons)
{
    if (!m_surface)
        return;
    const DcState& s = m_dc.State();
    int total = 0;
    for (int k = 0; k < polygons; ++k)
        total += counts[k];
    std::vector<POINT> sp(size_t(total) + 1);
    for (int i = 0; i < total; ++i)
        sp[size_t(i)] = m_dc.ToSurface(points[i].x, points[i].y);
    int wide = WidePenWidth();
    std::optional<Runs> stroke;
    if (wide) {
        // The outlines of all polygons as one stroke; the fill goes around it.
        stroke.emplace(m_clipBox.top, m_clipBox.bottom);
        const POINT* p = sp.data();
        for (int k = 0; k < polygons; ++k) {
            Runs one = WideStroke(p, counts[k], true, wide);
            for (int y = one.Top(); y < one.Bottom(); ++y)
                for (const auto& run : one.Row(y))
                    stroke->Add(y, run.first, run.second);
            p += counts[k];
        }
        stroke->Merge();
    }
    BrushPattern brush = CurrentBrush();
    if (!brush.IsNone())
        ScanPolygon(sp.data(), counts, polygons, s.polyFillMode, [&](int y, int x0, int x1) {
            SpanExcept(y, x0, x1, stroke ? &*stroke : nullptr, brush, s.rop2);
        });
    if (!s.pen || s.pen->IsNull())
        return;
    if (stroke) {
        PaintRuns(*stroke, PenPixel());
        return;
    }
    uint32_t pixel = PenPixel();
    const POINT* p = sp.data();
    for (int k = 0; k < polygons; ++k) {
        int n = counts[k], dash = 0;
        for (int i = 0; i < n && n > 1; ++i)
            LineSurface(p[i], p[(i + 1) % n], *s.pen, pixel, dash);
        p += n;
    }
}

void Painter::Rectangle(const RECT& logical)
{
    if (!m_surface)
        return;
    const DcState& s = m_dc.State();
    RECT r = m_dc.ToSurface(logical);
    if (r.left > r.right) std::swap(r.left, r.right);
    if (r.top > r.bottom) std::swap(r.top, r.bottom);
    BrushPattern brush = CurrentBrush();
    bool nullPen = !s.pen || s.pen->IsNull();
    if (nullPen) {
        FillRect(RECT{r.left, r.top, r.right - 1, r.bottom - 1}, brush, s.rop2);
        return;
    }
    if (r.right - r.left < 1 || r.bottom - r.top < 1)
        return;
    if (int w = WidePenWidth()) {
        // The pen runs along the centres of the frame's outermost pixels;
        // an inside-frame pen runs further in so that it stays in the frame.
        RECT path{r.left, r.top, r.right - 1, r.bottom - 1};
        if (s.pen->Kind() == PS_INSIDEFRAME) {
            path = RECT{path.left + w / 2, path.top + w / 2, path.right - (w - 1) / 2, path.bottom - (w - 1) / 2};
            if (path.left > path.right)
                path.left = path.right = (r.left + r.right - 1) / 2;
            if (path.top > path.bottom)
                path.top = path.bottom = (r.top + r.bottom - 1) / 2;
        }
        POINT corners[4] = {{path.left, path.top}, {path.right, path.top}, {path.right, path.bottom},
                            {path.left, path.bottom}};
        Runs stroke = WideStroke(corners, 4, true, w);
        if (!brush.IsNone())
            for (int y = std::max(path.top, m_clipBox.top); y < std::min(path.bottom, m_clipBox.bottom); ++y)
                SpanExcept(y, path.left, path.right, &stroke, brush, s.rop2);
        PaintRuns(stroke, PenPixel());
        return;
    }
    FillRect(RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, brush, s.rop2);
    POINT path[5] = {{r.left, r.top}, {r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, {r.left, r.bottom - 1},
                     {r.left, r.top}};
    uint32_t pixel = PenPixel();
    if (r.right - r.left == 1 || r.bottom - r.top == 1) {
        // A frame one pixel thin is a single line; its end pixel too.
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                Plot(x, y, pixel, s.rop2);
        return;
    }
    int dash = 0;
    for (int i = 0; i < 4; ++i)
        LineSurface(path[i], path[i + 1], *s.pen, pixel, dash);
}

void Painter::Shape(int top, const std::vector<RowSpan>& rows)
{
    const DcState& s = m_dc.State();
    BrushPattern brush = CurrentBrush();
    bool nullPen = !s.pen || s.pen->IsNull();
    int w = nullPen ? 0 : s.pen->Width();
    COLORREF color = nullPen ? 0 : (s.pen == StockObject(DC_PEN) ? s.dcPenColor : s.pen->Color());
    uint32_t penPixel = ColorPixel(color);
    int n = int(rows.size());
    auto inside = [&](int x, int y) {
        int i = y - top;
        return i >= 0 && i < n && x >= rows[size_t(i)].x0 && x <= rows[size_t(i)].x1;
    };
    for (int i = 0; i < n; ++i) {
        int y = top + i;
        const RowSpan& row = rows[size_t(i)];
        for (int x = row.x0; x <= row.x1; ++x) {
            bool border = false;
            for (int k = 1; k <= w && !border; ++k)
                border = !inside(x - k, y) || !inside(x + k, y) || !inside(x, y - k) || !inside(x, y + k);
            if (border) {
                Plot(x, y, penPixel, s.rop2);
            } else if (!brush.IsNone() && brush.Draws(x, y)) {
                Plot(x, y, brush.At(x, y), s.rop2);
            }
        }
    }
}

RECT Painter::ShapeBox(const RECT& logical) const
{
    RECT r = m_dc.ToSurface(logical);
    if (r.left > r.right) std::swap(r.left, r.right);
    if (r.top > r.bottom) std::swap(r.top, r.bottom);
    int w = WidePenWidth();
    if (w && m_dc.State().pen->Kind() != PS_INSIDEFRAME && r.right > r.left && r.bottom > r.top) {
        // The outline is drawn inward from the box's edge: grow the box so
        // that the pen is centred on the outermost pixels of the shape.
        r = RECT{r.left - w / 2, r.top - w / 2, r.right + (w - 1) / 2, r.bottom + (w - 1) / 2};
    }
    return r;
}

void Painter::Ellipse(const RECT& logical)
{
    if (!m_surface)
        return;
    RECT r = ShapeBox(logical);
    double cx = (r.left + r.right) / 2.0, cy = (r.top + r.bottom) / 2.0;
    double a = (r.right - r.left) / 2.0, b = (r.bottom - r.top) / 2.0;
    if (a <= 0 || b <= 0)
        return;
    std::vector<RowSpan> rows;
    for (int y = r.top; y < r.bottom; ++y) {
        double dy = (y + 0.5 - cy) / b;
        double half = dy * dy <= 1.0 ? a * std::sqrt(1.0 - dy * dy) : -1.0;
        if (half < 0) {
            rows.push_back({1, 0});
            continue;
        }
        rows.push_back({int(std::ceil(cx - half - 0.5)), int(std::floor(cx + half - 0.5))});
    }
    Shape(r.top, rows);
}

void Painter::RoundRect(const RECT& logical, int cw, int ch)
{
    if (!m_surface)
        return;
    RECT r = ShapeBox(logical);
    double rx = std::min<double>(std::abs(cw), r.right - r.left) / 2.0;
    double ry = std::min<double>(std::abs(ch), r.bottom - r.top) / 2.0;
    std::vector<RowSpan> rows;
    for (int y = r.top; y < r.bottom; ++y) {
        double yc = y + 0.5, inset = 0;
        double d = 0;
        if (ry > 0 && yc < r.top + ry)
            d = (r.top + ry - yc) / ry;
        else if (ry > 0 && yc > r.bottom - ry)
            d = (yc - (r.bottom - ry)) / ry;
        if (d > 0)
            inset = d >= 1 ? rx : rx - rx * std::sqrt(1 - d * d);
        rows.push_back({int(std::ceil(r.left + inset - 0.5)), int(std::floor(r.right - inset - 0.5))});
    }
    Shape(r.top, rows);
}

} // namespace tavrin
