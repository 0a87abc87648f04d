// Pen: how lines and shape outlines are drawn.
#pragma once

#include "platform/gdi/GdiObject.h"

#include <vector>

namespace tavrin {

class Pen final : public GdiObject {
public:
    Pen(UINT style, int width, COLORREF color) : m_style(style), m_width(width < 0 ? 0 : width), m_color(color) {}

    int Type() const override { return (m_style & PS_TYPE_MASK) == PS_GEOMETRIC || m_ext ? OBJ_EXTPEN : OBJ_PEN; }
    int Describe(int size, void* out) const override;

    UINT Kind() const { return m_style & PS_STYLE_MASK; }
    UINT Style() const { return m_style; }
    // Drawn width in pixels: cosmetic pens and width 0 draw 1 pixel.
    int Width() const { return m_width < 1 ? 1 : m_width; }
    COLORREF Color() const { return m_color; }
    bool IsNull() const { return Kind() == PS_NULL; }
    // The dash pattern of a styled 1-pixel pen: alternating on and off runs
    // starting with on; empty for a continuous pen.
    std::vector<int> DashPattern() const;

    void SetExtended(std::vector<DWORD> userStyle) { m_ext = true; m_userStyle = std::move(userStyle); }

private:
    UINT m_style;
    int m_width;
    COLORREF m_color;
    bool m_ext = false;
    std::vector<DWORD> m_userStyle;
};

} // namespace tavrin
