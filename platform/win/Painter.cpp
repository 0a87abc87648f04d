#include "platform/win/Painter.h"

#include "platform/win/Pen.h"
#include "platform/win/Raster.h"
#include "platform/win/Scanline.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tavrin {

Painter::Painter(DeviceContext& dc)
    : m_dc(dc), m_surface(dc.Target()), m_clip(&dc.Clip()), m_mono(dc.IsMonochrome())
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
    ForEachClipped(r, [&](const RECT& c) {
        for (int y = c.top; y < c.bottom; ++y) {
            uint32_t* row = m_surface->Scanline(y);
            if (brush.IsSolid() && rop2 == R2_COPYPEN) {
                std::fill(row + c.left, row + c.right, brush.SolidColor());
                continue;
            }
            for (int x = c.left; x < c.right; ++x)
                if (brush.Draws(x, y))
                    row[x] = ApplyRop2(rop2, brush.At(x, y), row[x]);
        }
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
    ForEachClipped(r, [&](const RECT& c) {
        for (int y = c.top; y < c.bottom; ++y) {
            uint32_t* row = m_surface->Scanline(y);
            if (rop3 == 0xF0 && brush.IsSolid()) {
                std::fill(row + c.left, row + c.right, brush.SolidColor());
                continue;
            }
            for (int x = c.left; x < c.right; ++x) {
                if (usesPattern && !brush.Draws(x, y))
                    continue;
                uint32_t p = usesPattern ? brush.At(x, y) : 0;
                row[x] = ApplyRop3(rop3, p, 0, row[x]);
            }
        }
    });
}

void Painter::Stamp(int x, int y, int width, uint32_t pixel)
{
    int rop2 = m_dc.State().rop2;
    if (width <= 1) {
        Plot(x, y, pixel, rop2);
        return;
    }
    int lo = -(width / 2), hi = lo + width;
    double r = width / 2.0;
    for (int dy = lo; dy < hi; ++dy)
        for (int dx = lo; dx < hi; ++dx) {
            double cx = dx + 0.5 - (width % 2 ? 0.5 : 0.0), cy = dy + 0.5 - (width % 2 ? 0.5 : 0.0);
            if (cx * cx + cy * cy <= r * r + 0.25)
                Plot(x + dx, y + dy, pixel, rop2);
        }
}

void Painter::LineSurface(POINT a, POINT b, const Pen& pen, uint32_t pixel, int& dashPos)
{
    const DcState& s = m_dc.State();
    std::vector<int> dashes = pen.DashPattern();
    int period = 0;
    for (int d : dashes)
        period += d;
    uint32_t gap = ColorPixel(s.bkColor);
    int width = pen.Width();
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
        Stamp(x, y, width, pixel);
    };
    // Each step of the major axis takes the nearest minor coordinate; exact
    // halves go to the smaller one, so a line covers the same pixels whichever
    // way it is drawn.
    int64_t dx = int64_t(b.x) - a.x, dy = int64_t(b.y) - a.y;
    auto nearest = [](int64_t num, int64_t den) { // ceil(num / den - 1/2), den > 0
        int64_t n = 2 * num - den, d = 2 * den;
        return n >= 0 ? (n + d - 1) / d : -((-n) / d);
    };
    if (std::abs(dx) >= std::abs(dy)) {
        int64_t steps = std::abs(dx), sx = dx > 0 ? 1 : -1;
        for (int64_t i = 0; i < steps; ++i)
            put(int(a.x + sx * i), int(nearest(int64_t(a.y) * steps + dy * i, steps)));
    } else {
        int64_t steps = std::abs(dy), sy = dy > 0 ? 1 : -1;
        for (int64_t i = 0; i < steps; ++i)
            put(int(nearest(int64_t(a.x) * steps + dx * i, steps)), int(a.y + sy * i));
    }
    if (width > 1)
        Stamp(b.x, b.y, width, pixel); // wide pens have round ends
}

void Painter::Line(POINT from, POINT to)
{
    const DcState& s = m_dc.State();
    if (!m_surface || !s.pen || s.pen->IsNull())
        return;
    COLORREF color = s.pen == StockObject(DC_PEN) ? s.dcPenColor : s.pen->Color();
    int dash = 0;
    LineSurface(m_dc.ToSurface(from.x, from.y), m_dc.ToSurface(to.x, to.y), *s.pen, ColorPixel(color), dash);
}

void Painter::Polyline(const POINT* points, int count)
{
    const DcState& s = m_dc.State();
    if (!m_surface || !s.pen || s.pen->IsNull() || count < 2)
        return;
    COLORREF color = s.pen == StockObject(DC_PEN) ? s.dcPenColor : s.pen->Color();
    uint32_t pixel = ColorPixel(color);
    int dash = 0;
    for (int i = 0; i + 1 < count; ++i)
        LineSurface(m_dc.ToSurface(points[i].x, points[i].y), m_dc.ToSurface(points[i + 1].x, points[i + 1].y),
                    *s.pen, pixel, dash);
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
    BrushPattern brush = CurrentBrush();
    if (!brush.IsNone())
        ScanPolygon(sp.data(), counts, polygons, s.polyFillMode,
                    [&](int y, int x0, int x1) { Span(y, x0, x1, brush, s.rop2); });
    if (!s.pen || s.pen->IsNull())
        return;
    COLORREF color = s.pen == StockObject(DC_PEN) ? s.dcPenColor : s.pen->Color();
    uint32_t pixel = ColorPixel(color);
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
    if (!s.pen->DashPattern().empty()) {
        FillRect(RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, brush, s.rop2);
        POINT path[5] = {{r.left, r.top}, {r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, {r.left, r.bottom - 1},
                         {r.left, r.top}};
        COLORREF color = s.pen->Color();
        int dash = 0;
        for (int i = 0; i < 4; ++i)
            LineSurface(path[i], path[i + 1], *s.pen, ColorPixel(color), dash);
        return;
    }
    int w = std::min({s.pen->Width(), int((r.right - r.left + 1) / 2), int((r.bottom - r.top + 1) / 2)});
    COLORREF color = s.pen == StockObject(DC_PEN) ? s.dcPenColor : s.pen->Color();
    BrushPattern pen = BrushPattern::SolidPixel(ColorPixel(color));
    FillRect(RECT{r.left + w, r.top + w, r.right - w, r.bottom - w}, brush, s.rop2);
    FillRect(RECT{r.left, r.top, r.right, r.top + w}, pen, s.rop2);
    FillRect(RECT{r.left, r.bottom - w, r.right, r.bottom}, pen, s.rop2);
    FillRect(RECT{r.left, r.top + w, r.left + w, r.bottom - w}, pen, s.rop2);
    FillRect(RECT{r.right - w, r.top + w, r.right, r.bottom - w}, pen, s.rop2);
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

void Painter::Ellipse(const RECT& logical)
{
    if (!m_surface)
        return;
    RECT r = m_dc.ToSurface(logical);
    if (r.left > r.right) std::swap(r.left, r.right);
    if (r.top > r.bottom) std::swap(r.top, r.bottom);
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
    RECT r = m_dc.ToSurface(logical);
    if (r.left > r.right) std::swap(r.left, r.right);
    if (r.top > r.bottom) std::swap(r.top, r.bottom);
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
