#include "platform/gdi/Palette.h"

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Gdi.h"

#include <cstring>

namespace tavrin {

int Palette::Describe(int size, void* out) const
{
    if (!out)
        return int(sizeof(WORD));
    if (size < int(sizeof(WORD)))
        return 0;
    WORD n = WORD(m_entries.size());
    std::memcpy(out, &n, sizeof n);
    return int(sizeof(WORD));
}

} // namespace tavrin

HPALETTE CreatePalette(const LOGPALETTE* lp)
{
    if (!lp || lp->palNumEntries == 0 || lp->palNumEntries > 1024)
        return nullptr;
    std::vector<PALETTEENTRY> entries(lp->palPalEntry, lp->palPalEntry + lp->palNumEntries);
    return tavrin::Register<HPALETTE>(std::make_shared<tavrin::Palette>(std::move(entries)));
}

HPALETTE SelectPalette(HDC hdc, HPALETTE palette, BOOL)
{
    auto dc = tavrin::DcFromHandle(hdc);
    auto pal = tavrin::GdiHandles::Get<tavrin::Palette>(palette);
    if (!dc || !pal)
        return nullptr;
    auto old = dc->State().palette;
    dc->State().palette = pal;
    return old ? static_cast<HPALETTE>(old->Handle()) : nullptr;
}

UINT RealizePalette(HDC hdc)
{
    return tavrin::DcFromHandle(hdc) ? 0 : UINT(-1);
}

UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries)
{
    auto pal = tavrin::GdiHandles::Get<tavrin::Palette>(palette);
    if (!pal)
        return 0;
    const auto& e = pal->Entries();
    if (!entries)
        return UINT(e.size());
    UINT n = 0;
    for (UINT i = start; i < e.size() && n < count; ++i, ++n)
        entries[n] = e[i];
    return n;
}

COLORREF GetNearestColor(HDC hdc, COLORREF color)
{
    auto dc = tavrin::DcFromHandle(hdc);
    if (!dc)
        return CLR_INVALID;
    color &= 0x00FFFFFF;
    if (dc->IsMonochrome()) {
        unsigned sum = GetRValue(color) + GetGValue(color) + GetBValue(color);
        return sum >= 384 ? RGB(255, 255, 255) : RGB(0, 0, 0);
    }
    return color;
}
