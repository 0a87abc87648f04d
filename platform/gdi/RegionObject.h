// RegionObject: a Region behind an HRGN.
#pragma once

#include "platform/gdi/GdiObject.h"
#include "platform/gdi/Region.h"

namespace tavrin {

class RegionObject final : public GdiObject {
public:
    explicit RegionObject(Region r = Region()) : m_region(std::move(r)) {}
    int Type() const override { return OBJ_REGION; }
    Region& Get() { return m_region; }

private:
    Region m_region;
};

std::shared_ptr<RegionObject> RegionFromHandle(HRGN region);
// The pixels inside a polygon under the fill mode, as a region.
Region PolygonRegion(const POINT* points, const INT* counts, int polygons, int fillMode);

} // namespace tavrin
