// Scanline: polygon scan conversion. A pixel is inside when its centre is,
// under the alternate (even-odd) or winding fill rule.
#pragma once

#include "platform/base/Types.h"

#include <functional>

namespace tavrin {

// Calls span(y, x0, x1) for every run of inside pixels [x0, x1) of each row.
void ScanPolygon(const POINT* points, const INT* counts, int polygons, int fillMode,
                 const std::function<void(int, int, int)>& span);

} // namespace tavrin
