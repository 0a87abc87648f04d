// Scanline: polygon scan conversion. Integer coordinates are pixel centres: a
// pixel is inside when its point is, the top and left edges included and the
// bottom and right ones not, under the alternate or winding fill rule.
#pragma once

#include "platform/base/Types.h"

#include <functional>

namespace tavrin {

// Calls span(y, x0, x1) for every run of inside pixels [x0, x1) of each row.
void ScanPolygon(const POINT* points, const INT* counts, int polygons, int fillMode,
                 const std::function<void(int, int, int)>& span);

} // namespace tavrin
