// Brush: how areas are filled. Solid, null, hatched and pattern brushes;
// a monochrome pattern takes the device context's text colour for its 0 bits
// and background colour for its 1 bits when it is used.
#pragma once

#include "platform/gdi/GdiObject.h"

#include <cstdint>
#include <vector>

namespace tavrin {

class Bitmap;

class Brush final : public GdiObject {
public:
    static std::shared_ptr<Brush> Solid(COLORREF color);
    static std::shared_ptr<Brush> Null();
    static std::shared_ptr<Brush> Hatched(int hatch, COLORREF color);
    // Copies the bitmap's pixels (or bits, for a monochrome bitmap).
    static std::shared_ptr<Brush> Pattern(const Bitmap& bitmap);

    int Type() const override { return OBJ_BRUSH; }
    int Describe(int size, void* out) const override;

    UINT Style() const { return m_style; }
    COLORREF Color() const { return m_color; }
    bool IsNull() const { return m_style == BS_NULL; }

private:
    friend class BrushPattern;
    Brush() = default;

    UINT m_style = BS_SOLID;
    COLORREF m_color = 0;
    int m_hatch = 0;
    int m_width = 0, m_height = 0;
    bool m_mono = false;
    std::vector<uint32_t> m_pixels; // colour pattern
    std::vector<uint8_t> m_bits;    // mono or hatch pattern, 1 per pixel
};

// A brush resolved against a device context's colours for one operation.
class BrushPattern {
public:
    BrushPattern() = default;
    // origin: the brush origin in surface coordinates; monoTarget quantises
    // colours to black and white.
    BrushPattern(const Brush& brush, COLORREF text, COLORREF back, int bkMode, POINT origin, bool monoTarget);
    static BrushPattern SolidPixel(uint32_t pixel);

    bool IsNone() const { return m_none; }
    bool IsSolid() const { return m_solid; }
    uint32_t SolidColor() const { return m_pixel; }
    bool Draws(int x, int y) const { return m_mask.empty() || m_mask[Index(x, y)]; }
    uint32_t At(int x, int y) const { return m_solid ? m_pixel : m_pixels[Index(x, y)]; }

private:
    size_t Index(int x, int y) const
    {
        int px = (x - m_ox) % m_w, py = (y - m_oy) % m_h;
        if (px < 0) px += m_w;
        if (py < 0) py += m_h;
        return size_t(py) * size_t(m_w) + size_t(px);
    }

    bool m_none = true;
    bool m_solid = false;
    uint32_t m_pixel = 0;
    int m_w = 1, m_h = 1, m_ox = 0, m_oy = 0;
    std::vector<uint32_t> m_pixels;
    std::vector<uint8_t> m_mask; // 1 = painted; empty = every pixel
};

// Black or white for a monochrome target: light colours become white.
uint32_t ToMonoPixel(uint32_t pixel);

} // namespace tavrin
