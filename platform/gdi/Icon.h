// Icon: a colour image and its transparency mask (1 = transparent). Colour
// images with alpha are drawn blended by their alpha instead of the mask.
#pragma once

#include "platform/gdi/GdiObject.h"
#include "platform/gdi/Surface.h"

#include <vector>

namespace tavrin {

class DeviceContext;

class Icon final : public GdiObject {
public:
    static std::shared_ptr<Icon> FromInfo(const ICONINFO& info);
    // colour: width x height pixels; mask: 1 per transparent pixel.
    static std::shared_ptr<Icon> FromPixels(const Surface& colour, const std::vector<uint8_t>& mask);

    int Type() const override { return kObjIcon; }
    int Width() const { return m_colour->Width(); }
    int Height() const { return m_colour->Height(); }
    const Surface& Colour() const { return *m_colour; }
    const std::vector<uint8_t>& Mask() const { return m_mask; }
    bool HasAlpha() const { return m_alpha; }
    bool IsIcon() const { return m_isIcon; }
    POINT Hotspot() const { return m_hotspot; }
    std::shared_ptr<Icon> Copy() const;

    // Draws at logical (x, y) scaled to (cx, cy) with DI_ flags.
    void Draw(DeviceContext& dc, int x, int y, int cx, int cy, UINT flags) const;
    // Draws the opaque pixels in one colour.
    void DrawSilhouette(DeviceContext& dc, int x, int y, COLORREF color) const;

private:
    Icon() = default;

    std::unique_ptr<Surface> m_colour;
    std::vector<uint8_t> m_mask;
    bool m_alpha = false;
    bool m_isIcon = true;
    POINT m_hotspot{0, 0};
};

std::shared_ptr<Icon> IconFromHandle(HICON icon);

} // namespace tavrin
