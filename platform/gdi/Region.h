// Region: a set of pixels kept as y-x banded rectangles (bands sorted top to
// bottom, rectangles in a band left to right, none touching; equal adjacent
// bands merged), so equal regions have equal rectangle lists.
#pragma once

#include "platform/base/Types.h"

#include <vector>

namespace tavrin {

class Region {
public:
    enum class Op { And, Or, Xor, Diff };

    Region() = default;
    explicit Region(const RECT& r);

    bool IsEmpty() const { return m_rects.empty(); }
    const std::vector<RECT>& Rects() const { return m_rects; }
    RECT Bounds() const { return m_bounds; }
    // NULLREGION, SIMPLEREGION or COMPLEXREGION.
    int Kind() const;

    static Region Combine(const Region& a, const Region& b, Op op);
    Region Intersected(const RECT& r) const { return Combine(*this, Region(r), Op::And); }
    void Offset(int dx, int dy);
    bool Contains(int x, int y) const;
    bool Intersects(const RECT& r) const;

    bool operator==(const Region& other) const;

private:
    void UpdateBounds();

    std::vector<RECT> m_rects;
    RECT m_bounds{0, 0, 0, 0};
};

// Rectangle helpers shared by the drawing code.
inline bool IsRectEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
RECT IntersectRects(const RECT& a, const RECT& b);

} // namespace tavrin
