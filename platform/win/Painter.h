// Painter: rasterises onto a device context's surface through its clip
// region: pixels, spans and rectangles under raster operations, lines with
// the selected pen (the last point left out), and filled and outlined shapes.
// Shape operations take logical coordinates; the rest surface coordinates.
#pragma once

#include "platform/win/Brush.h"
#include "platform/win/DeviceContext.h"

#include <vector>

namespace tavrin {

class Pen;

class Painter {
public:
    explicit Painter(DeviceContext& dc);

    bool CanDraw() const { return m_surface != nullptr && !m_clip->IsEmpty(); }
    DeviceContext& Dc() { return m_dc; }
    Surface& Target() { return *m_surface; }
    const Region& Clip() const { return *m_clip; }

    // The selected brush and pen resolved against the DC's colours.
    BrushPattern CurrentBrush();
    uint32_t ColorPixel(COLORREF color) const;

    // Surface coordinates, clipped.
    void Plot(int x, int y, uint32_t pixel, int rop2);
    void Span(int y, int x0, int x1, const BrushPattern& brush, int rop2);
    void FillRect(const RECT& r, const BrushPattern& brush, int rop2);
    void PatternBlt(const RECT& r, const BrushPattern& brush, uint8_t rop3);
    // Calls fn(rect) for each clip rectangle intersecting r.
    template <typename Fn>
    void ForEachClipped(const RECT& r, Fn fn) const
    {
        for (const RECT& c : m_clip->Rects()) {
            if (c.top >= r.bottom)
                break;
            RECT i = IntersectRects(c, r);
            if (!IsRectEmpty(i))
                fn(i);
        }
    }

    // Logical coordinates, with the selected pen and brush and the DC's ROP2.
    void Line(POINT from, POINT to);
    void Polyline(const POINT* points, int count);
    void PolyPolygon(const POINT* points, const INT* counts, int polygons);
    void Rectangle(const RECT& r);
    void Ellipse(const RECT& r);
    void RoundRect(const RECT& r, int cornerWidth, int cornerHeight);

private:
    struct RowSpan {
        int x0, x1; // inclusive; x1 < x0 when the row is empty
    };
    void LineSurface(POINT a, POINT b, const Pen& pen, uint32_t pixel, int& dashPos);
    void Stamp(int x, int y, int width, uint32_t pixel);
    // A shape given by one span per row from top: brush inside, pen outline.
    void Shape(int top, const std::vector<RowSpan>& rows);

    DeviceContext& m_dc;
    Surface* m_surface;
    const Region* m_clip;
    bool m_mono;
    bool m_simpleClip;
    RECT m_clipBox;
};

} // namespace tavrin
