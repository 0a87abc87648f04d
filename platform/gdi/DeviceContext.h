// DeviceContext: the drawing state (selected objects, colours, modes, origins,
// clip region) and the surface it draws on. A memory DC draws on its selected
// bitmap; a window DC (made by the window manager) draws on its top-level
// window's surface, offset to the window and limited to its visible region.
#pragma once

#include "platform/gdi/GdiObject.h"
#include "platform/gdi/Region.h"
#include "platform/gdi/Surface.h"

#include <memory>
#include <optional>
#include <vector>

namespace tavrin {

// The depth screen and window DCs report (BITSPIXEL), 32 until a test of a
// low-colour fallback sets 8 or less; drawing stays 32-bit either way.
void SetDisplayBitsPerPixel(int bits);
int DisplayBitsPerPixel();

class Bitmap;
class Brush;
class Font;
class Palette;
class Pen;

struct DcState {
    std::shared_ptr<Pen> pen;
    std::shared_ptr<Brush> brush;
    std::shared_ptr<Font> font;
    std::shared_ptr<Bitmap> bitmap;
    std::shared_ptr<Palette> palette;
    COLORREF textColor = 0;
    COLORREF bkColor = 0x00FFFFFF;
    COLORREF dcBrushColor = 0x00FFFFFF;
    COLORREF dcPenColor = 0;
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    int polyFillMode = ALTERNATE;
    int stretchMode = BLACKONWHITE;
    int mapMode = MM_TEXT;
    UINT textAlign = TA_TOP | TA_LEFT;
    int charExtra = 0;
    POINT windowOrg{0, 0};
    POINT viewportOrg{0, 0};
    POINT brushOrg{0, 0};
    POINT position{0, 0};
    std::optional<Region> clip; // device coordinates
};

class DeviceContext final : public GdiObject {
public:
    // A memory DC with the default 1x1 monochrome bitmap selected.
    static std::shared_ptr<DeviceContext> CreateMemory();
    // A DC without pixels, for metrics and fonts (the display's information).
    static std::shared_ptr<DeviceContext> CreateInformation();
    // A DC drawing on a shared surface: device (0, 0) lies at origin of the
    // surface, and nothing outside visible (device coordinates) is touched.
    static std::shared_ptr<DeviceContext> CreateForSurface(std::shared_ptr<Surface> surface, POINT origin,
                                                           const Region& visible);
    ~DeviceContext() override;

    int Type() const override { return m_memory ? OBJ_MEMDC : OBJ_DC; }

    DcState& State() { return m_state; }
    const DcState& State() const { return m_state; }
    bool IsMemory() const { return m_memory; }

    // The pixels drawn on, or null for an information DC.
    Surface* Target();
    bool IsMonochrome() const;
    int BitsPerPixel() const { return IsMonochrome() ? 1 : m_memory ? 32 : DisplayBitsPerPixel(); }
    // Device coordinates to surface coordinates.
    POINT SurfaceOrigin() const { return m_origin; }

    POINT ToDevice(int x, int y) const
    {
        return POINT{x - m_state.windowOrg.x + m_state.viewportOrg.x, y - m_state.windowOrg.y + m_state.viewportOrg.y};
    }
    POINT ToSurface(int x, int y) const
    {
        POINT d = ToDevice(x, y);
        return POINT{d.x + m_origin.x, d.y + m_origin.y};
    }
    RECT ToSurface(const RECT& r) const;
    POINT ToLogical(int deviceX, int deviceY) const
    {
        return POINT{deviceX + m_state.windowOrg.x - m_state.viewportOrg.x,
                     deviceY + m_state.windowOrg.y - m_state.viewportOrg.y};
    }

    // Where drawing may touch, in surface coordinates.
    const Region& Clip();
    // The area with no clip region, in device coordinates.
    RECT DeviceBounds();
    void ClipChanged() { m_clipValid = false; }

    // Replaces the selected object of the object's kind; returns the old one.
    std::shared_ptr<GdiObject> Select(const std::shared_ptr<GdiObject>& object);
    int Save();
    bool Restore(int level);

    // The brush origin in surface coordinates.
    POINT BrushOrigin() const { return POINT{m_state.brushOrg.x + m_origin.x, m_state.brushOrg.y + m_origin.y}; }

private:
    DeviceContext() = default;
    void ReleaseBitmap(const std::shared_ptr<Bitmap>& bitmap);

    DcState m_state;
    std::vector<DcState> m_saved;
    bool m_memory = false;
    std::shared_ptr<Surface> m_surface; // window DCs
    Region m_visible;                   // device coordinates, window DCs
    POINT m_origin{0, 0};
    Region m_clip;
    bool m_clipValid = false;
};

// One drawing call on a DC: a DIB section selected into it is written out to
// its bits when the outermost scope on it ends, so callers reading the bits
// right after the call see what was drawn.
class DrawScope {
public:
    explicit DrawScope(DeviceContext& dc);
    ~DrawScope();
    DrawScope(const DrawScope&) = delete;
    DrawScope& operator=(const DrawScope&) = delete;

private:
    std::shared_ptr<Bitmap> m_bitmap;
};

std::shared_ptr<DeviceContext> DcFromHandle(HDC hdc);
HDC RegisterDc(std::shared_ptr<DeviceContext> dc);
// Stock objects, created on first use.
std::shared_ptr<GdiObject> StockObject(int index);

} // namespace tavrin
