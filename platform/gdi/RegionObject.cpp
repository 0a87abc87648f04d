#include "platform/gdi/RegionObject.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Scanline.h"

#include <cstring>

namespace tavrin {

std::shared_ptr<RegionObject> RegionFromHandle(HRGN region)
{
    return GdiHandles::Get<RegionObject>(region);
}

Region PolygonRegion(const POINT* points, const INT* counts, int polygons, int fillMode)
{
    Region result;
    std::vector<RECT> rows;
    ScanPolygon(points, counts, polygons, fillMode, [&](int y, int x0, int x1) {
        rows.push_back(RECT{x0, y, x1, y + 1});
    });
    for (const RECT& r : rows)
        result = Region::Combine(result, Region(r), Region::Op::Or);
    return result;
}

} // namespace tavrin

using namespace tavrin;

HRGN CreateRectRgn(int left, int top, int right, int bottom)
{
    RECT r{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    return Register<HRGN>(std::make_shared<RegionObject>(Region(r)));
}

HRGN CreateRectRgnIndirect(const RECT* r)
{
    return r ? CreateRectRgn(r->left, r->top, r->right, r->bottom) : nullptr;
}

HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode)
{
    if (!points || count < 2)
        return nullptr;
    INT n = count;
    return Register<HRGN>(std::make_shared<RegionObject>(PolygonRegion(points, &n, 1, fillMode)));
}

BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom)
{
    auto r = RegionFromHandle(region);
    if (!r)
        return FALSE;
    r->Get() = Region(RECT{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)});
    return TRUE;
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode)
{
    auto d = RegionFromHandle(dest), a = RegionFromHandle(src1);
    if (!d || !a)
        return ERROR;
    if (mode == RGN_COPY) {
        d->Get() = a->Get();
        return d->Get().Kind();
    }
    auto b = RegionFromHandle(src2);
    if (!b)
        return ERROR;
    Region::Op op;
    switch (mode) {
    case RGN_AND: op = Region::Op::And; break;
    case RGN_OR: op = Region::Op::Or; break;
    case RGN_XOR: op = Region::Op::Xor; break;
    case RGN_DIFF: op = Region::Op::Diff; break;
    default: return ERROR;
    }
    d->Get() = Region::Combine(a->Get(), b->Get(), op);
    return d->Get().Kind();
}

int OffsetRgn(HRGN region, int dx, int dy)
{
    auto r = RegionFromHandle(region);
    if (!r)
        return ERROR;
    r->Get().Offset(dx, dy);
    return r->Get().Kind();
}

int GetRgnBox(HRGN region, LPRECT rect)
{
    auto r = RegionFromHandle(region);
    if (!r || !rect)
        return ERROR;
    *rect = r->Get().Bounds();
    return r->Get().Kind();
}

BOOL PtInRegion(HRGN region, int x, int y)
{
    auto r = RegionFromHandle(region);
    return r && r->Get().Contains(x, y) ? TRUE : FALSE;
}

BOOL RectInRegion(HRGN region, const RECT* rect)
{
    auto r = RegionFromHandle(region);
    return r && rect && r->Get().Intersects(*rect) ? TRUE : FALSE;
}

BOOL EqualRgn(HRGN a, HRGN b)
{
    auto x = RegionFromHandle(a), y = RegionFromHandle(b);
    if (!x || !y)
        return ERROR;
    return x->Get() == y->Get() ? TRUE : FALSE;
}

DWORD GetRegionData(HRGN region, DWORD size, RGNDATA* data)
{
    auto r = RegionFromHandle(region);
    if (!r)
        return 0;
    const auto& rects = r->Get().Rects();
    DWORD need = DWORD(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    if (!data)
        return need;
    if (size < need)
        return 0;
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = DWORD(rects.size());
    data->rdh.nRgnSize = DWORD(rects.size() * sizeof(RECT));
    data->rdh.rcBound = r->Get().Bounds();
    if (!rects.empty())
        std::memcpy(data->Buffer, rects.data(), rects.size() * sizeof(RECT));
    return need;
}
