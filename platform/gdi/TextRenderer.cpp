#include "platform/gdi/TextRenderer.h"

#include "platform/gdi/Brush.h"
#include "platform/gdi/Font.h"

#include <algorithm>

namespace tavrin {

Font& SelectedFont(DeviceContext& dc)
{
    if (dc.State().font)
        return *dc.State().font;
    return static_cast<Font&>(*StockObject(SYSTEM_FONT));
}

TextLayout LayoutText(ScaledFont& font, std::string_view gbk, int charExtra, const INT* dx)
{
    TextLayout t;
    t.chars = DecodeGbkText(gbk);
    t.glyphs.reserve(t.chars.size());
    t.advances.reserve(t.chars.size());
    for (size_t i = 0; i < t.chars.size(); ++i) {
        const Glyph& g = font.GlyphFor(t.chars[i].code);
        t.glyphs.push_back(&g);
        int advance = dx ? dx[t.chars[i].offset] + (t.chars[i].length == 2 ? dx[t.chars[i].offset + 1] : 0)
                         : g.advance + charExtra;
        t.advances.push_back(advance);
        t.width += advance;
    }
    return t;
}

namespace {

struct Frame {
    int ux, uy, vx, vy; // baseline direction and downward direction
};

Frame FrameFor(int quarterTurns)
{
    switch (quarterTurns & 3) {
    case 1: return {0, -1, 1, 0};
    case 2: return {-1, 0, 0, -1};
    case 3: return {0, 1, -1, 0};
    default: return {1, 0, 0, 1};
    }
}

class GlyphWriter {
public:
    GlyphWriter(DeviceContext& dc, const RECT* clipLogical, uint32_t color, bool antialias)
        : m_scope(dc), m_surface(dc.Target()), m_clip(dc.Clip()), m_color(color), m_mono(dc.IsMonochrome()),
          m_antialias(antialias && !m_mono)
    {
        m_box = m_clip.Bounds();
        if (clipLogical) {
            RECT c = dc.ToSurface(*clipLogical);
            RECT n{std::min(c.left, c.right), std::min(c.top, c.bottom), std::max(c.left, c.right), std::max(c.top, c.bottom)};
            m_box = IntersectRects(m_box, n);
        }
        m_simple = m_clip.Rects().size() == 1;
    }
    bool Visible(int x, int y) const
    {
        if (x < m_box.left || x >= m_box.right || y < m_box.top || y >= m_box.bottom)
            return false;
        return m_simple || m_clip.Contains(x, y);
    }
    void Put(int x, int y, uint8_t coverage)
    {
        if (!coverage || !m_surface || !Visible(x, y))
            return;
        uint32_t& d = m_surface->Scanline(y)[x];
        if (!m_antialias || coverage == 255) {
            if (m_antialias || coverage >= 128)
                d = m_color;
            return;
        }
        uint32_t out = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            int s = int((m_color >> shift) & 0xFF), t = int((d >> shift) & 0xFF);
            out |= uint32_t(t + ((s - t) * coverage + 127) / 255) << shift;
        }
        d = out;
    }

private:
    DrawScope m_scope;
    Surface* m_surface;
    const Region& m_clip;
    uint32_t m_color;
    bool m_mono;
    bool m_antialias;
    RECT m_box;
    bool m_simple;
};

} // namespace

int DrawTextLayout(DeviceContext& dc, Font& font, const TextLayout& layout, int x, int y, const TextDrawOptions& o)
{
    ScaledFont& scaled = font.Scaled();
    const FontMetrics& m = scaled.Metrics();
    if (!dc.Target())
        return layout.width;
    int q = font.QuarterTurns();
    Frame f = FrameFor(q);
    POINT ref = dc.ToSurface(x, y);
    // Pen position on the baseline at the start of the text.
    int down = (o.align & TA_BASELINE) == TA_BASELINE ? 0 : (o.align & TA_BOTTOM) ? -m.descent : m.ascent;
    int along = (o.align & TA_CENTER) == TA_CENTER ? -layout.width / 2 : (o.align & TA_RIGHT) ? -layout.width : 0;
    int px = ref.x + along * f.ux + down * f.vx, py = ref.y + along * f.uy + down * f.vy;
    auto toSurface = [&](int a, int b, int& sx, int& sy) {
        sx = px + a * f.ux + b * f.vx;
        sy = py + a * f.uy + b * f.vy;
    };
    uint32_t color = PixelFromColor(o.color), back = PixelFromColor(o.back);
    if (dc.IsMonochrome()) {
        color = ToMonoPixel(color);
        back = ToMonoPixel(back);
    }
    // Rectangles in text space (a along the baseline, b downward).
    auto fillBox = [&](int a0, int b0, int a1, int b1, uint32_t pixel) {
        GlyphWriter w(dc, o.clip, pixel, false);
        for (int b = b0; b < b1; ++b)
            for (int a = a0; a < a1; ++a) {
                int sx, sy;
                toSurface(a, b, sx, sy);
                w.Put(sx, sy, 255);
            }
    };
    if (o.fillCell)
        fillBox(0, -m.ascent, layout.width, m.descent, back);
    GlyphWriter writer(dc, o.clip, color, scaled.Antialiased());
    const LOGFONTA& lf = font.LogFont();
    int pen = 0;
    for (size_t i = 0; i < layout.glyphs.size(); ++i) {
        const Glyph& g = *layout.glyphs[i];
        if (o.glyphs && g.width > 0) {
            bool upright = scaled.IsVerticalFace() && g.fullWidth && q == 3;
            if (upright) {
                // Upright in a top-to-bottom line: centred across the line.
                int ox, oy;
                toSurface(pen, 0, ox, oy);
                int gx = ox - m.descent + (m.height - g.advance) / 2;
                int gy = oy + (g.advance - m.height) / 2 + m.ascent;
                for (int yy = 0; yy < g.height; ++yy)
                    for (int xx = 0; xx < g.width; ++xx)
                        writer.Put(gx + g.left + xx, gy - g.top + yy, g.coverage[size_t(yy * g.width + xx)]);
            } else {
                for (int yy = 0; yy < g.height; ++yy)
                    for (int xx = 0; xx < g.width; ++xx) {
                        int sx, sy;
                        toSurface(pen + g.left + xx, yy - g.top, sx, sy);
                        writer.Put(sx, sy, g.coverage[size_t(yy * g.width + xx)]);
                    }
            }
        }
        pen += layout.advances[i];
    }
    int thick = m.underlineThickness;
    if (lf.lfUnderline && o.glyphs)
        fillBox(0, m.underlinePosition, layout.width, m.underlinePosition + thick, color);
    if (lf.lfStrikeOut && o.glyphs)
        fillBox(0, -m.strikeoutPosition, layout.width, -m.strikeoutPosition + thick, color);
    if (o.underline) {
        for (int index : *o.underline) {
            if (index < 0 || size_t(index) >= layout.advances.size())
                continue;
            int start = 0;
            for (int k = 0; k < index; ++k)
                start += layout.advances[size_t(k)];
            fillBox(start, m.underlinePosition, start + layout.glyphs[size_t(index)]->advance, m.underlinePosition + 1, color);
        }
    }
    return layout.width;
}

} // namespace tavrin
