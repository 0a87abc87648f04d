#include "platform/gdi/Gdi.h"
#include "platform/gdi/Region.h"

#include <gtest/gtest.h>

using tavrin::Region;

namespace {

Region R(int l, int t, int r, int b) { return Region(RECT{l, t, r, b}); }

int Area(const Region& r)
{
    int a = 0;
    for (const RECT& rc : r.Rects())
        a += (rc.right - rc.left) * (rc.bottom - rc.top);
    return a;
}

} // namespace

TEST(Region, CombinesAndKeepsCanonicalBands)
{
    struct Case {
        Region::Op op;
        int area;
        int kind;
    };
    // Two 10x10 squares overlapping in a 5x5 corner.
    const Case cases[] = {
        {Region::Op::And, 25, SIMPLEREGION},
        {Region::Op::Or, 175, COMPLEXREGION},
        {Region::Op::Xor, 150, COMPLEXREGION},
        {Region::Op::Diff, 75, COMPLEXREGION},
    };
    for (const Case& c : cases) {
        Region r = Region::Combine(R(0, 0, 10, 10), R(5, 5, 15, 15), c.op);
        EXPECT_EQ(Area(r), c.area) << int(c.op);
        EXPECT_EQ(r.Kind(), c.kind) << int(c.op);
    }
    // Side by side rectangles merge into one; the result equals the plain rectangle.
    Region merged = Region::Combine(R(0, 0, 5, 10), R(5, 0, 10, 10), Region::Op::Or);
    EXPECT_TRUE(merged == R(0, 0, 10, 10));
    Region stacked = Region::Combine(R(0, 0, 10, 5), R(0, 5, 10, 10), Region::Op::Or);
    EXPECT_TRUE(stacked == R(0, 0, 10, 10));
    EXPECT_TRUE(Region::Combine(R(0, 0, 10, 10), R(0, 0, 10, 10), Region::Op::Diff).IsEmpty());
}

TEST(Region, HandleFunctions)
{
    HRGN a = CreateRectRgn(0, 0, 10, 10);
    HRGN b = CreateRectRgn(3, 3, 6, 6);
    HRGN d = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(d, a, b, RGN_DIFF), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(d, 4, 4));
    EXPECT_TRUE(PtInRegion(d, 2, 4));
    EXPECT_EQ(OffsetRgn(d, 100, 50), COMPLEXREGION);
    RECT box;
    EXPECT_EQ(GetRgnBox(d, &box), COMPLEXREGION);
    EXPECT_EQ(box.left, 100);
    EXPECT_EQ(box.top, 50);
    EXPECT_EQ(box.right, 110);
    EXPECT_EQ(box.bottom, 60);
    RECT probe{103, 53, 106, 56};
    EXPECT_FALSE(RectInRegion(d, &probe));
    EXPECT_EQ(CombineRgn(d, a, nullptr, RGN_COPY), SIMPLEREGION);
    EXPECT_TRUE(EqualRgn(d, a));
    EXPECT_EQ(CombineRgn(d, a, b, 99), ERROR);
    for (HRGN r : {a, b, d})
        EXPECT_TRUE(DeleteObject(r));
    EXPECT_EQ(OffsetRgn(d, 1, 1), ERROR); // retired handle
}
