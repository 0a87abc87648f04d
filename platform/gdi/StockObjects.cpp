// Stock objects and the object functions common to every kind.
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Brush.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Palette.h"
#include "platform/gdi/Pen.h"

#include <array>
#include <cstring>
#include <mutex>

namespace tavrin {

namespace {

LOGFONTA MakeLogFont(LONG height, LONG weight, BYTE charSet, BYTE pitch, const char* face)
{
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfCharSet = charSet;
    lf.lfPitchAndFamily = pitch;
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return lf;
}

std::array<std::shared_ptr<GdiObject>, DC_PEN + 1> MakeStock()
{
    std::array<std::shared_ptr<GdiObject>, DC_PEN + 1> s{};
    s[WHITE_BRUSH] = Brush::Solid(RGB(255, 255, 255));
    s[LTGRAY_BRUSH] = Brush::Solid(RGB(192, 192, 192));
    s[GRAY_BRUSH] = Brush::Solid(RGB(128, 128, 128));
    s[DKGRAY_BRUSH] = Brush::Solid(RGB(64, 64, 64));
    s[BLACK_BRUSH] = Brush::Solid(RGB(0, 0, 0));
    s[NULL_BRUSH] = Brush::Null();
    s[WHITE_PEN] = std::make_shared<Pen>(PS_SOLID, 0, RGB(255, 255, 255));
    s[BLACK_PEN] = std::make_shared<Pen>(PS_SOLID, 0, RGB(0, 0, 0));
    s[NULL_PEN] = std::make_shared<Pen>(PS_NULL, 0, 0);
    const char* song = "\xCB\xCE\xCC\xE5";
    s[OEM_FIXED_FONT] = std::make_shared<Font>(MakeLogFont(12, FW_NORMAL, OEM_CHARSET, FIXED_PITCH | FF_MODERN, "Terminal"));
    s[ANSI_FIXED_FONT] = std::make_shared<Font>(MakeLogFont(12, FW_NORMAL, GB2312_CHARSET, FIXED_PITCH | FF_MODERN, song));
    s[ANSI_VAR_FONT] = std::make_shared<Font>(MakeLogFont(12, FW_NORMAL, GB2312_CHARSET, VARIABLE_PITCH | FF_SWISS, song));
    s[SYSTEM_FONT] = std::make_shared<Font>(MakeLogFont(16, FW_BOLD, GB2312_CHARSET, VARIABLE_PITCH | FF_SWISS, "System"));
    s[DEVICE_DEFAULT_FONT] = s[SYSTEM_FONT];
    s[SYSTEM_FIXED_FONT] = std::make_shared<Font>(MakeLogFont(16, FW_NORMAL, GB2312_CHARSET, FIXED_PITCH | FF_MODERN, "Fixedsys"));
    s[DEFAULT_GUI_FONT] = std::make_shared<Font>(MakeLogFont(-12, FW_NORMAL, GB2312_CHARSET, VARIABLE_PITCH | FF_SWISS, song));
    std::vector<PALETTEENTRY> entries;
    for (const RGBQUAD& q : DefaultColorTable(4))
        entries.push_back(PALETTEENTRY{q.rgbRed, q.rgbGreen, q.rgbBlue, 0});
    s[DEFAULT_PALETTE] = std::make_shared<Palette>(std::move(entries));
    s[DC_BRUSH] = Brush::Solid(RGB(255, 255, 255));
    s[DC_PEN] = std::make_shared<Pen>(PS_SOLID, 0, RGB(0, 0, 0));
    for (auto& o : s)
        if (o && !o->Handle()) {
            o->MarkStock();
            GdiHandles::Insert(o);
        }
    return s;
}

} // namespace

std::shared_ptr<GdiObject> StockObject(int index)
{
    static const auto stock = MakeStock();
    if (index < 0 || index > DC_PEN)
        return nullptr;
    return stock[size_t(index)];
}

} // namespace tavrin

using namespace tavrin;

HGDIOBJ GetStockObject(int index)
{
    auto o = StockObject(index);
    return o ? o->Handle() : nullptr;
}

BOOL DeleteObject(HGDIOBJ object)
{
    auto o = GdiHandles::Lookup(object);
    if (!o || o->Type() == OBJ_DC || o->Type() == OBJ_MEMDC || o->Type() >= kObjIcon)
        return FALSE;
    if (o->IsStock())
        return TRUE;
    // A DC holding the object keeps it alive until it is deselected.
    return GdiHandles::Remove(object) ? TRUE : FALSE;
}

int GetObjectA(HGDIOBJ object, int size, LPVOID out)
{
    auto o = GdiHandles::Lookup(object);
    if (!o || (out && size <= 0))
        return 0;
    return o->Describe(size, out);
}

DWORD GetObjectType(HGDIOBJ object)
{
    auto o = GdiHandles::Lookup(object);
    if (!o || o->Type() >= kObjIcon)
        return 0;
    return DWORD(o->Type() == OBJ_EXTPEN ? OBJ_EXTPEN : o->Type());
}
