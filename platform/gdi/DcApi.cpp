// Device context functions: creation, state, selection, origins, clipping.
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Brush.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/Palette.h"
#include "platform/gdi/Pen.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/RegionObject.h"

#include <cstring>

using namespace tavrin;

namespace {

template <typename T, typename F>
T WithDc(HDC hdc, T failure, F fn)
{
    auto dc = DcFromHandle(hdc);
    return dc ? fn(*dc) : failure;
}

} // namespace

HDC CreateCompatibleDC(HDC hdc)
{
    if (hdc && !DcFromHandle(hdc))
        return nullptr;
    return RegisterDc(DeviceContext::CreateMemory());
}

HDC CreateDCA(LPCSTR driver, LPCSTR, LPCSTR, const void*)
{
    if (!driver || std::strcmp(driver, "DISPLAY") != 0)
        return nullptr;
    return RegisterDc(DeviceContext::CreateInformation());
}

BOOL DeleteDC(HDC hdc)
{
    auto dc = DcFromHandle(hdc);
    if (!dc)
        return FALSE;
    return GdiHandles::Remove(hdc) ? TRUE : FALSE;
}

int SaveDC(HDC hdc)
{
    return WithDc(hdc, 0, [](DeviceContext& dc) { return dc.Save(); });
}

BOOL RestoreDC(HDC hdc, int saved)
{
    return WithDc(hdc, FALSE, [saved](DeviceContext& dc) { return dc.Restore(saved) ? TRUE : FALSE; });
}

int GetDeviceCaps(HDC hdc, int index)
{
    return WithDc(hdc, 0, [index](DeviceContext& dc) {
        RECT b = dc.DeviceBounds();
        switch (index) {
        case DRIVERVERSION: return 0x4000;
        case TECHNOLOGY: return DT_RASDISPLAY;
        case HORZRES: return int(b.right - b.left);
        case VERTRES: return int(b.bottom - b.top);
        case HORZSIZE: return int((b.right - b.left) * 254 / 960);
        case VERTSIZE: return int((b.bottom - b.top) * 254 / 960);
        case BITSPIXEL: return dc.BitsPerPixel();
        case PLANES: return 1;
        case NUMCOLORS: return -1;
        case RASTERCAPS: return RC_BITBLT | RC_STRETCHBLT | RC_DI_BITMAP | RC_DIBTODEV;
        case LOGPIXELSX:
        case LOGPIXELSY: return 96;
        case SIZEPALETTE: return 0;
        default: return 0;
        }
    });
}

BOOL GdiFlush()
{
    // Nothing is batched: every drawing call has written its pixels out to
    // the DIB section's bits before it returned.
    return TRUE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object)
{
    auto dc = DcFromHandle(hdc);
    auto o = GdiHandles::Lookup(object);
    if (!dc || !o)
        return nullptr;
    if (o->Type() == OBJ_REGION) {
        int r = SelectClipRgn(hdc, static_cast<HRGN>(object));
        return reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(r));
    }
    auto old = dc->Select(o);
    return old ? old->Handle() : nullptr;
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type)
{
    return WithDc(hdc, HGDIOBJ(nullptr), [type](DeviceContext& dc) -> HGDIOBJ {
        const DcState& s = dc.State();
        std::shared_ptr<GdiObject> o;
        switch (type) {
        case OBJ_PEN: o = std::static_pointer_cast<GdiObject>(s.pen); break;
        case OBJ_BRUSH: o = std::static_pointer_cast<GdiObject>(s.brush); break;
        case OBJ_FONT: o = std::static_pointer_cast<GdiObject>(s.font); break;
        case OBJ_BITMAP: o = std::static_pointer_cast<GdiObject>(s.bitmap); break;
        case OBJ_PAL: o = std::static_pointer_cast<GdiObject>(s.palette); break;
        default: break;
        }
        return o ? o->Handle() : nullptr;
    });
}

#define TAVRIN_DC_SETTER(Name, Type, field, failure)                                                 \
    Type Set##Name(HDC hdc, Type value)                                                              \
    {                                                                                                \
        return WithDc(hdc, Type(failure), [value](DeviceContext& dc) {                               \
            Type old = Type(dc.State().field);                                                       \
            dc.State().field = value;                                                                \
            return old;                                                                              \
        });                                                                                          \
    }                                                                                                \
    Type Get##Name(HDC hdc)                                                                          \
    {                                                                                                \
        return WithDc(hdc, Type(failure), [](DeviceContext& dc) { return Type(dc.State().field); }); \
    }

TAVRIN_DC_SETTER(TextColor, COLORREF, textColor, CLR_INVALID)
TAVRIN_DC_SETTER(BkColor, COLORREF, bkColor, CLR_INVALID)
TAVRIN_DC_SETTER(TextAlign, UINT, textAlign, 0xFFFFFFFFu)
#undef TAVRIN_DC_SETTER

#define TAVRIN_DC_MODE(Name, field, low, high)                                              \
    int Set##Name(HDC hdc, int value)                                                       \
    {                                                                                       \
        if (value < (low) || value > (high))                                                \
            return 0;                                                                       \
        return WithDc(hdc, 0, [value](DeviceContext& dc) {                                  \
            int old = dc.State().field;                                                     \
            dc.State().field = value;                                                       \
            return old;                                                                     \
        });                                                                                 \
    }                                                                                       \
    int Get##Name(HDC hdc)                                                                  \
    {                                                                                       \
        return WithDc(hdc, 0, [](DeviceContext& dc) { return dc.State().field; });          \
    }

TAVRIN_DC_MODE(BkMode, bkMode, TRANSPARENT, OPAQUE)
TAVRIN_DC_MODE(ROP2, rop2, R2_BLACK, R2_WHITE)
TAVRIN_DC_MODE(PolyFillMode, polyFillMode, ALTERNATE, WINDING)
TAVRIN_DC_MODE(StretchBltMode, stretchMode, BLACKONWHITE, HALFTONE)
TAVRIN_DC_MODE(MapMode, mapMode, MM_TEXT, MM_TEXT)
#undef TAVRIN_DC_MODE

int SetTextCharacterExtra(HDC hdc, int extra)
{
    return WithDc(hdc, int(0x80000000), [extra](DeviceContext& dc) {
        int old = dc.State().charExtra;
        dc.State().charExtra = extra;
        return old;
    });
}

COLORREF SetDCBrushColor(HDC hdc, COLORREF color)
{
    return WithDc(hdc, CLR_INVALID, [color](DeviceContext& dc) {
        COLORREF old = dc.State().dcBrushColor;
        dc.State().dcBrushColor = color;
        return old;
    });
}

COLORREF SetDCPenColor(HDC hdc, COLORREF color)
{
    return WithDc(hdc, CLR_INVALID, [color](DeviceContext& dc) {
        COLORREF old = dc.State().dcPenColor;
        dc.State().dcPenColor = color;
        return old;
    });
}

namespace {

BOOL SetPoint(HDC hdc, POINT DcState::*field, int x, int y, LPPOINT old, bool offset)
{
    return WithDc(hdc, BOOL(FALSE), [&](DeviceContext& dc) {
        POINT& p = dc.State().*field;
        if (old)
            *old = p;
        p = offset ? POINT{p.x + x, p.y + y} : POINT{x, y};
        return BOOL(TRUE);
    });
}

BOOL GetPoint(HDC hdc, POINT DcState::*field, LPPOINT out)
{
    if (!out)
        return FALSE;
    return WithDc(hdc, BOOL(FALSE), [&](DeviceContext& dc) {
        *out = dc.State().*field;
        return BOOL(TRUE);
    });
}

} // namespace

BOOL SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT old) { return SetPoint(hdc, &DcState::windowOrg, x, y, old, false); }
BOOL GetWindowOrgEx(HDC hdc, LPPOINT p) { return GetPoint(hdc, &DcState::windowOrg, p); }
BOOL OffsetWindowOrgEx(HDC hdc, int dx, int dy, LPPOINT old) { return SetPoint(hdc, &DcState::windowOrg, dx, dy, old, true); }
BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT old) { return SetPoint(hdc, &DcState::viewportOrg, x, y, old, false); }
BOOL GetViewportOrgEx(HDC hdc, LPPOINT p) { return GetPoint(hdc, &DcState::viewportOrg, p); }
BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, LPPOINT old) { return SetPoint(hdc, &DcState::viewportOrg, dx, dy, old, true); }
BOOL SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT old) { return SetPoint(hdc, &DcState::brushOrg, x, y, old, false); }
BOOL GetBrushOrgEx(HDC hdc, LPPOINT p) { return GetPoint(hdc, &DcState::brushOrg, p); }
BOOL GetCurrentPositionEx(HDC hdc, LPPOINT p) { return GetPoint(hdc, &DcState::position, p); }

BOOL LPtoDP(HDC hdc, LPPOINT points, int count)
{
    return WithDc(hdc, BOOL(FALSE), [&](DeviceContext& dc) {
        for (int i = 0; points && i < count; ++i)
            points[i] = dc.ToDevice(points[i].x, points[i].y);
        return BOOL(TRUE);
    });
}

BOOL DPtoLP(HDC hdc, LPPOINT points, int count)
{
    return WithDc(hdc, BOOL(FALSE), [&](DeviceContext& dc) {
        for (int i = 0; points && i < count; ++i)
            points[i] = dc.ToLogical(points[i].x, points[i].y);
        return BOOL(TRUE);
    });
}

// Clipping. The clip region is kept in device coordinates.

namespace {

int ClipResult(DeviceContext& dc)
{
    return dc.State().clip ? (dc.State().clip->IsEmpty() ? NULLREGION : dc.State().clip->Kind()) : SIMPLEREGION;
}

Region CurrentClipOrBounds(DeviceContext& dc)
{
    return dc.State().clip ? *dc.State().clip : Region(dc.DeviceBounds());
}

RECT DeviceRect(DeviceContext& dc, int l, int t, int r, int b)
{
    POINT a = dc.ToDevice(std::min(l, r), std::min(t, b)), c = dc.ToDevice(std::max(l, r), std::max(t, b));
    return RECT{a.x, a.y, c.x, c.y};
}

} // namespace

int ExtSelectClipRgn(HDC hdc, HRGN region, int mode)
{
    return WithDc(hdc, int(ERROR), [&](DeviceContext& dc) {
        auto r = RegionFromHandle(region);
        if (!r) {
            if (mode != RGN_COPY)
                return int(ERROR);
            dc.State().clip.reset();
        } else if (mode == RGN_COPY) {
            dc.State().clip = r->Get();
        } else {
            Region::Op op = mode == RGN_AND ? Region::Op::And : mode == RGN_OR ? Region::Op::Or
                          : mode == RGN_XOR ? Region::Op::Xor : Region::Op::Diff;
            if (mode < RGN_AND || mode > RGN_DIFF)
                return int(ERROR);
            dc.State().clip = Region::Combine(CurrentClipOrBounds(dc), r->Get(), op);
        }
        dc.ClipChanged();
        return ClipResult(dc);
    });
}

int SelectClipRgn(HDC hdc, HRGN region)
{
    return ExtSelectClipRgn(hdc, region, RGN_COPY);
}

int ExcludeClipRect(HDC hdc, int l, int t, int r, int b)
{
    return WithDc(hdc, int(ERROR), [&](DeviceContext& dc) {
        dc.State().clip = Region::Combine(CurrentClipOrBounds(dc), Region(DeviceRect(dc, l, t, r, b)), Region::Op::Diff);
        dc.ClipChanged();
        return ClipResult(dc);
    });
}

int IntersectClipRect(HDC hdc, int l, int t, int r, int b)
{
    return WithDc(hdc, int(ERROR), [&](DeviceContext& dc) {
        dc.State().clip = Region::Combine(CurrentClipOrBounds(dc), Region(DeviceRect(dc, l, t, r, b)), Region::Op::And);
        dc.ClipChanged();
        return ClipResult(dc);
    });
}

int OffsetClipRgn(HDC hdc, int dx, int dy)
{
    return WithDc(hdc, int(ERROR), [&](DeviceContext& dc) {
        if (dc.State().clip) {
            dc.State().clip->Offset(dx, dy);
            dc.ClipChanged();
        }
        return ClipResult(dc);
    });
}

int GetClipBox(HDC hdc, LPRECT rect)
{
    if (!rect)
        return ERROR;
    return WithDc(hdc, int(ERROR), [&](DeviceContext& dc) {
        const Region& clip = dc.Clip();
        RECT b = clip.Bounds();
        POINT o = dc.SurfaceOrigin();
        POINT a = dc.ToLogical(b.left - o.x, b.top - o.y), c = dc.ToLogical(b.right - o.x, b.bottom - o.y);
        *rect = clip.IsEmpty() ? RECT{0, 0, 0, 0} : RECT{a.x, a.y, c.x, c.y};
        return clip.IsEmpty() ? int(NULLREGION) : clip.Kind();
    });
}

int GetClipRgn(HDC hdc, HRGN region)
{
    return WithDc(hdc, -1, [&](DeviceContext& dc) {
        auto r = RegionFromHandle(region);
        if (!r)
            return -1;
        if (!dc.State().clip)
            return 0;
        r->Get() = *dc.State().clip;
        return 1;
    });
}

BOOL PtVisible(HDC hdc, int x, int y)
{
    return WithDc(hdc, BOOL(FALSE), [&](DeviceContext& dc) {
        POINT p = dc.ToSurface(x, y);
        return dc.Clip().Contains(p.x, p.y) ? BOOL(TRUE) : BOOL(FALSE);
    });
}

BOOL RectVisible(HDC hdc, const RECT* rect)
{
    if (!rect)
        return FALSE;
    return WithDc(hdc, BOOL(FALSE), [&](DeviceContext& dc) {
        return dc.Clip().Intersects(dc.ToSurface(*rect)) ? BOOL(TRUE) : BOOL(FALSE);
    });
}
