// Solid fills under every raster operation and clip: each pixel against a
// reference computed bit by bit, so the whole-row path and the per-pixel
// path agree with the same rule, alpha bytes and pixels outside included.
#include "GdiTestSurface.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kW = 75, kH = 6; // rows longer than a vector block, odd lengths

// Destination pixels that differ per pixel, alpha byte included.
uint32_t Dest(int x, int y) { return uint32_t(x * 2654435761u ^ y * 40503u) | 0x80000000u; }

void Paint(TestSurface& s)
{
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            s.SetRaw(x, y, Dest(x, y));
}

// The ternary rule with no source: bit (pattern << 2 | dest) of the code,
// for each colour bit; alpha written as 0.
uint32_t Rop3(uint8_t code, uint32_t p, uint32_t d)
{
    uint32_t r = 0;
    for (int b = 0; b < 24; ++b) {
        unsigned i = (((p >> b) & 1) << 2) | ((d >> b) & 1);
        r |= uint32_t((code >> i) & 1) << b;
    }
    return r;
}

// The binary rule: bit (pen << 1 | dest) of (rop2 - 1).
uint32_t Rop2(int rop2, uint32_t p, uint32_t d)
{
    uint32_t r = 0;
    for (int b = 0; b < 24; ++b) {
        unsigned i = (((p >> b) & 1) << 1) | ((d >> b) & 1);
        r |= uint32_t(((rop2 - 1) >> i) & 1) << b;
    }
    return r;
}

bool Inside(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

// Every pixel: inside both rectangles it is fn(dest), elsewhere untouched.
template <typename Fn>
std::string Mismatches(const TestSurface& s, const RECT& drawn, const RECT& clip, Fn fn)
{
    std::string out;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            uint32_t want = Inside(drawn, x, y) && Inside(clip, x, y) ? fn(Dest(x, y)) : Dest(x, y);
            if (s.Raw(x, y) != want && out.size() < 200)
                out += "(" + std::to_string(x) + "," + std::to_string(y) + ") ";
        }
    return out;
}

} // namespace

TEST(Fill, EveryPatternOperationWithASolidBrushAndAClipRect)
{
    const uint32_t pixel = 0x00385A17; // RGB(0x38, 0x5A, 0x17)
    HBRUSH brush = CreateSolidBrush(RGB(0x38, 0x5A, 0x17));
    const RECT clip{3, 1, 70, 5};
    const RECT drawn{1, 0, 73, 6};
    for (int code = 0; code < 256; ++code) {
        // PatBlt refuses operations that read a source.
        if (((code >> 2) & 0x33) == (code & 0x33)) {
            TestSurface s(kW, kH);
            Paint(s);
            HDC dc = s.Dc();
            SelectObject(dc, brush);
            IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
            DWORD rop = DWORD(code) << 16;
            EXPECT_TRUE(PatBlt(dc, drawn.left, drawn.top, drawn.right - drawn.left, drawn.bottom - drawn.top, rop));
            EXPECT_EQ(Mismatches(s, drawn, clip, [&](uint32_t d) { return Rop3(uint8_t(code), pixel, d); }), "")
                << "code 0x" << std::hex << code;
            SelectObject(dc, GetStockObject(WHITE_BRUSH));
        }
    }
    DeleteObject(brush);
}

TEST(Fill, EveryBinaryOperationUnderABrush)
{
    const uint32_t pixel = 0x00C01F66;
    HBRUSH brush = CreateSolidBrush(RGB(0xC0, 0x1F, 0x66));
    const RECT all{0, 0, kW, kH};
    for (int rop2 = R2_BLACK; rop2 <= R2_WHITE; ++rop2) {
        TestSurface s(kW, kH);
        Paint(s);
        HDC dc = s.Dc();
        SelectObject(dc, brush);
        SelectObject(dc, GetStockObject(NULL_PEN));
        SetROP2(dc, rop2);
        // With no pen the rectangle fills its inside, right and bottom out.
        Rectangle(dc, 2, 1, 72, 6);
        std::string bad = Mismatches(s, RECT{2, 1, 71, 5}, all, [&](uint32_t d) {
            return rop2 == R2_NOP ? d : Rop2(rop2, pixel, d);
        });
        EXPECT_EQ(bad, "") << "rop2 " << rop2;
        SelectObject(dc, GetStockObject(WHITE_BRUSH));
        SelectObject(dc, GetStockObject(BLACK_PEN));
    }
    DeleteObject(brush);
}

TEST(Fill, RectangleEdges)
{
    const struct {
        const char* name;
        RECT rect;     // passed as given
        RECT expected; // what is filled, before clipping
    } cases[] = {
        {"one pixel", {5, 2, 6, 3}, {5, 2, 6, 3}},
        {"one pixel at the clip's corner", {3, 1, 4, 2}, {3, 1, 4, 2}},
        {"one pixel just outside the clip", {70, 4, 71, 5}, {0, 0, 0, 0}},
        {"one column", {40, 0, 41, 6}, {40, 0, 41, 6}},
        {"one row, whole width", {-10, 3, 100, 4}, {-10, 3, 100, 4}},
        {"across every clip edge", {-5, -5, 200, 200}, {-5, -5, 200, 200}},
        {"ends on the clip's right edge", {60, 1, 70, 5}, {60, 1, 70, 5}},
        {"starts on the clip's right edge", {70, 1, 75, 5}, {0, 0, 0, 0}},
        {"empty width", {10, 1, 10, 5}, {0, 0, 0, 0}},
        {"empty height", {10, 3, 20, 3}, {0, 0, 0, 0}},
        {"inverted", {20, 4, 10, 2}, {0, 0, 0, 0}},
        {"wholly outside", {-20, -20, -1, -1}, {0, 0, 0, 0}},
    };
    const RECT clip{3, 1, 70, 5};
    const uint32_t pixel = 0x000000FF;
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 0xFF));
    for (const auto& c : cases) {
        TestSurface s(kW, kH);
        Paint(s);
        HDC dc = s.Dc();
        IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
        EXPECT_TRUE(FillRect(dc, &c.rect, brush)) << c.name;
        EXPECT_EQ(Mismatches(s, c.expected, clip, [&](uint32_t) { return pixel; }), "") << c.name;
    }
    DeleteObject(brush);
}

TEST(Fill, NegativeSizesAndComplexClips)
{
    TestSurface s(kW, kH);
    Paint(s);
    HDC dc = s.Dc();
    // Two pieces: a hole through the middle of every row.
    IntersectClipRect(dc, 1, 0, 74, 6);
    ExcludeClipRect(dc, 30, 0, 45, 6);
    // A negative width and height: the same rectangle, from its other corner.
    EXPECT_TRUE(PatBlt(dc, 74, 6, -74, -6, WHITENESS));
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            bool filled = x >= 1 && x < 74 && !(x >= 30 && x < 45);
            ASSERT_EQ(s.Raw(x, y), filled ? 0x00FFFFFFu : Dest(x, y)) << x << "," << y;
        }
}

TEST(Fill, PatternBrushesKeepTheirPixels)
{
    // A hatch drawn transparently leaves the background; the fast path is for
    // solid brushes only.
    TestSurface s(kW, kH, RGB(255, 255, 255));
    HDC dc = s.Dc();
    HBRUSH hatch = CreateHatchBrush(HS_VERTICAL, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    RECT r{0, 0, kW, kH};
    FillRect(dc, &r, hatch);
    for (int x = 0; x < kW; ++x)
        EXPECT_EQ(s.Pixel(x, 2), x % 8 == 4 ? 0u : 0xFFFFFFu) << x;
    DeleteObject(hatch);
}
