#include "platform/gdi/Scanline.h"

#include "platform/gdi/GdiTypes.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tavrin {

void ScanPolygon(const POINT* points, const INT* counts, int polygons, int fillMode,
                 const std::function<void(int, int, int)>& span)
{
    struct Edge {
        double x0, y0, x1, y1;
        int dir;
    };
    std::vector<Edge> edges;
    LONG minY = 0, maxY = 0;
    bool any = false;
    const POINT* p = points;
    for (int k = 0; k < polygons; ++k) {
        int n = counts[k];
        for (int i = 0; i < n; ++i) {
            const POINT& a = p[i];
            const POINT& b = p[(i + 1) % n];
            if (!any) { minY = maxY = a.y; any = true; }
            minY = std::min(minY, a.y);
            maxY = std::max(maxY, a.y);
            if (a.y == b.y)
                continue;
            edges.push_back({double(a.x), double(a.y), double(b.x), double(b.y), b.y > a.y ? 1 : -1});
        }
        p += n;
    }
    struct Cross {
        double x;
        int dir;
    };
    std::vector<Cross> xs;
    for (LONG y = minY; y < maxY; ++y) {
        double yc = y;
        xs.clear();
        for (const Edge& e : edges) {
            double lo = std::min(e.y0, e.y1), hi = std::max(e.y0, e.y1);
            if (yc < lo || yc >= hi)
                continue;
            xs.push_back({e.x0 + (yc - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0), e.dir});
        }
        std::sort(xs.begin(), xs.end(), [](const Cross& a, const Cross& b) { return a.x < b.x; });
        int winding = 0;
        for (size_t i = 0; i + 1 < xs.size(); ++i) {
            winding += xs[i].dir;
            bool inside = fillMode == WINDING ? winding != 0 : (i % 2) == 0;
            if (!inside)
                continue;
            int x0 = int(std::ceil(xs[i].x)), x1 = int(std::ceil(xs[i + 1].x));
            if (x1 > x0)
                span(int(y), x0, x1);
        }
    }
}

} // namespace tavrin
