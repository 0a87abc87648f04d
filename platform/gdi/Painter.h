// Painter: rasterises onto a device context's surface through its clip
// region: pixels, spans and rectangles under raster operations, lines with
// the selected pen (the last point left out), and filled and outlined shapes.
// Shape operations take logical coordinates; the rest surface coordinates.
#pragma once

#include "platform/gdi/Brush.h"
#include "platform/gdi/DeviceContext.h"

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
    // Sets every pixel of r inside the clip to pixel.
    void FillSolid(const RECT& r, uint32_t pixel);
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
    // Pixel runs [x0, x1) per row: what a wide pen covers.
    class Runs {
    public:
        Runs(int top, int bottom) : m_top(top), m_rows(size_t(bottom > top ? bottom - top : 0)) {}
        void Add(int y, int x0, int x1);
        void Merge();
        int Top() const { return m_top; }
        int Bottom() const { return m_top + int(m_rows.size()); }
        const std::vector<std::pair<int, int>>& Row(int y) const { return m_rows[size_t(y - m_top)]; }

    private:
        int m_top;
        std::vector<std::vector<std::pair<int, int>>> m_rows;
    };

    // A 1-pixel line from a to b in surface coordinates, b left out.
    void LineSurface(POINT a, POINT b, const Pen& pen, uint32_t pixel, int& dashPos);
    // The pixels within half of width of a path (round caps and joins).
    Runs WideStroke(const POINT* path, int count, bool closed, int width) const;
    void PaintRuns(const Runs& runs, uint32_t pixel);
    // Fills [x0, x1) of row y with the brush except where the pen went.
    void SpanExcept(int y, int x0, int x1, const Runs* pen, const BrushPattern& brush, int rop2);
    // The selected pen's width when it draws as a wide pen, else 0.
    int WidePenWidth() const;
    uint32_t PenPixel() const;
    // A shape given by one span per row from top: brush inside, pen outline.
    void Shape(int top, const std::vector<RowSpan>& rows);
    // The box of an ellipse or round rectangle with its pen: wide pens are
    // centred on the outline unless they draw inside the frame.
    RECT ShapeBox(const RECT& logical) const;

    DeviceContext& m_dc;
    DrawScope m_scope; // before m_surface: the pixels are taken in first
    Surface* m_surface;
    const Region* m_clip;
    bool m_mono;
    bool m_simpleClip;
    RECT m_clipBox;
};

} // namespace tavrin
