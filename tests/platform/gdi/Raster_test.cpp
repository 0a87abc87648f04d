// Raster operations, lines, shapes, fills and clipping, checked pixel by pixel.
#include "GdiTestSurface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <utility>

namespace {

// Pattern 0xF0, source 0xCC and destination 0xAA in every channel make every
// channel of the result equal the operation's code byte.
const struct {
    const char* name;
    DWORD rop;
} kRops[] = {
    {"SRCCOPY", SRCCOPY},     {"SRCPAINT", SRCPAINT},       {"SRCAND", SRCAND},       {"SRCINVERT", SRCINVERT},
    {"SRCERASE", SRCERASE},   {"NOTSRCCOPY", NOTSRCCOPY},   {"NOTSRCERASE", NOTSRCERASE},
    {"MERGECOPY", MERGECOPY}, {"MERGEPAINT", MERGEPAINT},   {"PATCOPY", PATCOPY},     {"PATPAINT", PATPAINT},
    {"PATINVERT", PATINVERT}, {"DSTINVERT", DSTINVERT},     {"BLACKNESS", BLACKNESS}, {"WHITENESS", WHITENESS},
    {"0xB8074A", 0x00B8074A},
};

uint32_t Grey(int v) { return uint32_t(v) * 0x010101u; }

} // namespace

TEST(Raster, TernaryOperationsBitForBit)
{
    TestSurface src(4, 2, RGB(0xCC, 0xCC, 0xCC));
    for (const auto& r : kRops) {
        TestSurface dst(4, 2, RGB(0xAA, 0xAA, 0xAA));
        HBRUSH brush = CreateSolidBrush(RGB(0xF0, 0xF0, 0xF0));
        HGDIOBJ old = SelectObject(dst.Dc(), brush);
        EXPECT_TRUE(BitBlt(dst.Dc(), 1, 0, 2, 2, src.Dc(), 0, 0, r.rop)) << r.name;
        int code = int((r.rop >> 16) & 0xFF);
        EXPECT_EQ(dst.Pixel(1, 0), Grey(code)) << r.name;
        EXPECT_EQ(dst.Pixel(2, 1), Grey(code)) << r.name;
        EXPECT_EQ(dst.Pixel(0, 0), Grey(0xAA)) << r.name << " outside the blit";
        EXPECT_EQ(dst.Pixel(3, 1), Grey(0xAA)) << r.name << " outside the blit";
        SelectObject(dst.Dc(), old);
        DeleteObject(brush);
    }
}

TEST(Raster, PatBltRefusesSourceOperations)
{
    TestSurface dst(2, 2, RGB(0xAA, 0xAA, 0xAA));
    EXPECT_FALSE(PatBlt(dst.Dc(), 0, 0, 2, 2, SRCCOPY));
    EXPECT_TRUE(PatBlt(dst.Dc(), 0, 0, 2, 2, DSTINVERT));
    EXPECT_EQ(dst.Pixel(0, 0), Grey(0x55));
    EXPECT_TRUE(PatBlt(dst.Dc(), 0, 0, 2, 2, PATINVERT)); // white stock brush
    EXPECT_EQ(dst.Pixel(1, 1), Grey(0xAA));
    EXPECT_EQ(dst.Raw(1, 1) >> 24, 0u) << "colour operations leave alpha 0";
}

TEST(Raster, BinaryOperationsOfPens)
{
    struct Case {
        int rop2;
        uint32_t expect; // pen 0xF0 over destination 0xAA
    };
    const Case cases[] = {
        {R2_COPYPEN, 0xF0}, {R2_XORPEN, 0x5A}, {R2_NOT, 0x55}, {R2_MASKPEN, 0xA0}, {R2_MERGEPEN, 0xFA},
        {R2_NOTCOPYPEN, 0x0F}, {R2_BLACK, 0x00}, {R2_WHITE, 0xFF}, {R2_NOP, 0xAA},
    };
    for (const Case& c : cases) {
        TestSurface s(4, 1, RGB(0xAA, 0xAA, 0xAA));
        HPEN pen = CreatePen(PS_SOLID, 1, RGB(0xF0, 0xF0, 0xF0));
        HGDIOBJ old = SelectObject(s.Dc(), pen);
        EXPECT_EQ(SetROP2(s.Dc(), c.rop2), R2_COPYPEN);
        MoveToEx(s.Dc(), 0, 0, nullptr);
        LineTo(s.Dc(), 3, 0);
        EXPECT_EQ(s.Pixel(0, 0), Grey(int(c.expect))) << c.rop2;
        EXPECT_EQ(s.Pixel(3, 0), Grey(0xAA)) << "last point left out";
        SelectObject(s.Dc(), old);
        DeleteObject(pen);
    }
}

TEST(Raster, LinesLeaveOutTheirLastPoint)
{
    struct Case {
        POINT from, to;
        const char* rows;
    };
    const Case cases[] = {
        {{0, 0}, {4, 0}, "####.\n.....\n.....\n.....\n.....\n"},
        {{4, 4}, {4, 0}, ".....\n....#\n....#\n....#\n....#\n"},
        {{0, 0}, {4, 4}, "#....\n.#...\n..#..\n...#.\n.....\n"},
        {{4, 0}, {0, 2}, "...##\n.##..\n.....\n.....\n.....\n"},
        {{2, 2}, {2, 2}, ".....\n.....\n.....\n.....\n.....\n"},
    };
    for (const Case& c : cases) {
        TestSurface s(5, 5);
        MoveToEx(s.Dc(), c.from.x, c.from.y, nullptr);
        LineTo(s.Dc(), c.to.x, c.to.y);
        EXPECT_EQ(s.Rows(0), c.rows) << c.from.x << "," << c.from.y << " to " << c.to.x << "," << c.to.y;
        POINT p;
        GetCurrentPositionEx(s.Dc(), &p);
        EXPECT_EQ(p.x, c.to.x);
    }
}

TEST(Raster, XorLineTwiceRestores)
{
    TestSurface s(10, 10, RGB(12, 34, 56));
    SetROP2(s.Dc(), R2_XORPEN);
    HGDIOBJ old = SelectObject(s.Dc(), GetStockObject(WHITE_PEN));
    POINT path[] = {{1, 1}, {8, 3}, {2, 8}, {1, 1}};
    Polyline(s.Dc(), path, 4);
    EXPECT_LT(s.Count(0x0C2238), 100);
    Polyline(s.Dc(), path, 4);
    EXPECT_EQ(s.Count(0x0C2238), 100);
    SelectObject(s.Dc(), old);
}

TEST(Raster, DottedPenAndOpaqueGaps)
{
    TestSurface s(12, 2, RGB(0, 0, 255));
    HPEN pen = CreatePen(PS_DOT, 1, RGB(0, 0, 0));
    HGDIOBJ old = SelectObject(s.Dc(), pen);
    SetBkMode(s.Dc(), TRANSPARENT);
    MoveToEx(s.Dc(), 0, 0, nullptr);
    LineTo(s.Dc(), 12, 0);
    SetBkMode(s.Dc(), OPAQUE);
    SetBkColor(s.Dc(), RGB(255, 0, 0));
    MoveToEx(s.Dc(), 0, 1, nullptr);
    LineTo(s.Dc(), 12, 1);
    EXPECT_EQ(s.Rows(0), "###...###...\n###...###...\n");
    EXPECT_EQ(s.Pixel(4, 0), 0x0000FFu) << "transparent gaps keep the background";
    EXPECT_EQ(s.Pixel(4, 1), 0xFF0000u) << "opaque gaps take the background colour";
    SelectObject(s.Dc(), old);
    DeleteObject(pen);
}

TEST(Raster, RectangleFramesAndFillsInside)
{
    TestSurface s(6, 5);
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
    HGDIOBJ oldBrush = SelectObject(s.Dc(), brush);
    Rectangle(s.Dc(), 0, 0, 5, 4);
    EXPECT_EQ(s.Rows(0), "#####.\n#...#.\n#...#.\n#####.\n......\n");
    EXPECT_EQ(s.Rows(0xFF0000), "......\n.###..\n.###..\n......\n......\n");
    // With the null pen the fill loses its right column and bottom row.
    s.Fill(RGB(255, 255, 255));
    HGDIOBJ oldPen = SelectObject(s.Dc(), GetStockObject(NULL_PEN));
    Rectangle(s.Dc(), 0, 0, 5, 4);
    EXPECT_EQ(s.Rows(0xFF0000), "####..\n####..\n####..\n......\n......\n");
    SelectObject(s.Dc(), oldPen);
    SelectObject(s.Dc(), oldBrush);
    DeleteObject(brush);
}

TEST(Raster, PolygonFillRules)
{
    // A five-pointed star: its centre is outside under ALTERNATE, inside under WINDING.
    POINT star[] = {{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
    for (int mode : {ALTERNATE, WINDING}) {
        TestSurface s(21, 21);
        SelectObject(s.Dc(), GetStockObject(NULL_PEN));
        SelectObject(s.Dc(), GetStockObject(BLACK_BRUSH));
        SetPolyFillMode(s.Dc(), mode);
        Polygon(s.Dc(), star, 5);
        EXPECT_EQ(s.Pixel(10, 10), mode == WINDING ? 0u : 0xFFFFFFu) << mode;
        EXPECT_EQ(s.Pixel(10, 3), 0u) << "a point of the star";
        EXPECT_EQ(s.Pixel(1, 18), 0xFFFFFFu);
    }
    // A triangle drawn with pen and brush of one colour, as the toolkit's arrows are.
    TestSurface s(7, 4);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    SelectObject(s.Dc(), pen);
    SelectObject(s.Dc(), GetStockObject(BLACK_BRUSH));
    POINT tri[] = {{1, 1}, {5, 1}, {3, 3}};
    Polygon(s.Dc(), tri, 3);
    EXPECT_EQ(s.Rows(0), ".......\n.#####.\n..###..\n...#...\n");
    SelectObject(s.Dc(), GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

TEST(Raster, EllipseStaysInItsBox)
{
    TestSurface s(12, 10);
    SelectObject(s.Dc(), GetStockObject(BLACK_BRUSH));
    Ellipse(s.Dc(), 1, 1, 11, 9);
    for (int x = 0; x < 12; ++x) {
        EXPECT_EQ(s.Pixel(x, 0), 0xFFFFFFu);
        EXPECT_EQ(s.Pixel(x, 9), 0xFFFFFFu);
    }
    EXPECT_EQ(s.Pixel(6, 5), 0u);
    EXPECT_EQ(s.Pixel(1, 1), 0xFFFFFFu) << "corner outside";
    EXPECT_EQ(s.Pixel(1, 4), 0u);
    EXPECT_EQ(s.Pixel(10, 4), 0u);
    EXPECT_EQ(s.Pixel(11, 4), 0xFFFFFFu);
}

TEST(Raster, FillFrameAndInvertRect)
{
    TestSurface s(5, 4);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT r{1, 1, 4, 4};
    EXPECT_TRUE(FillRect(s.Dc(), &r, red));
    EXPECT_EQ(s.Count(0xFF0000), 9);
    RECT f{0, 0, 5, 4};
    EXPECT_TRUE(FrameRect(s.Dc(), &f, (HBRUSH)GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(s.Rows(0), "#####\n#...#\n#...#\n#####\n");
    RECT i{1, 1, 2, 2};
    EXPECT_TRUE(InvertRect(s.Dc(), &i));
    EXPECT_EQ(s.Pixel(1, 1), 0x00FFFFu);
    EXPECT_FALSE(FillRect(s.Dc(), &r, nullptr));
    DeleteObject(red);
}

TEST(Raster, ClipRegionsAndOrigins)
{
    TestSurface s(10, 10);
    HDC dc = s.Dc();
    RECT box;
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 10);
    EXPECT_EQ(IntersectClipRect(dc, 2, 2, 8, 8), SIMPLEREGION);
    EXPECT_EQ(ExcludeClipRect(dc, 4, 4, 6, 6), COMPLEXREGION);
    PatBlt(dc, 0, 0, 10, 10, BLACKNESS);
    EXPECT_EQ(s.Count(0), 36 - 4);
    EXPECT_EQ(s.Pixel(1, 1), 0xFFFFFFu);
    EXPECT_EQ(s.Pixel(4, 4), 0xFFFFFFu);
    // The viewport moves drawing but the clip region stays in device space.
    SetViewportOrgEx(dc, 3, 3, nullptr);
    EXPECT_EQ(GetClipBox(dc, &box), COMPLEXREGION);
    EXPECT_EQ(box.left, -1);
    EXPECT_EQ(box.top, -1);
    EXPECT_EQ(box.right, 5);
    SelectClipRgn(dc, nullptr);
    s.Fill(RGB(255, 255, 255));
    RECT r{0, 0, 1, 1};
    FillRect(dc, &r, (HBRUSH)GetStockObject(BLACK_BRUSH));
    EXPECT_EQ(s.Pixel(3, 3), 0u);
    // A selected region is copied: changing it afterwards changes nothing.
    SetViewportOrgEx(dc, 0, 0, nullptr);
    HRGN rgn = CreateRectRgn(0, 0, 2, 2);
    SelectClipRgn(dc, rgn);
    SetRectRgn(rgn, 0, 0, 10, 10);
    s.Fill(RGB(255, 255, 255));
    PatBlt(dc, 0, 0, 10, 10, BLACKNESS);
    EXPECT_EQ(s.Count(0), 4);
    DeleteObject(rgn);
}

TEST(Raster, SaveAndRestoreState)
{
    TestSurface s(4, 4);
    HDC dc = s.Dc();
    SetTextColor(dc, RGB(1, 2, 3));
    int level = SaveDC(dc);
    EXPECT_EQ(level, 1);
    SetTextColor(dc, RGB(9, 9, 9));
    IntersectClipRect(dc, 0, 0, 1, 1);
    SetViewportOrgEx(dc, 2, 2, nullptr);
    SaveDC(dc);
    EXPECT_TRUE(RestoreDC(dc, -1));
    EXPECT_EQ(GetTextColor(dc), RGB(9, 9, 9));
    EXPECT_TRUE(RestoreDC(dc, 1));
    EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
    POINT p;
    GetViewportOrgEx(dc, &p);
    EXPECT_EQ(p.x, 0);
    PatBlt(dc, 0, 0, 4, 4, BLACKNESS);
    EXPECT_EQ(s.Count(0), 16) << "clip restored too";
    EXPECT_FALSE(RestoreDC(dc, 1));
}

TEST(Raster, PatternBrushAlignment)
{
    // The halftone brush of the toolkit: rows 0x55, 0xAA.
    WORD rows[8];
    for (int i = 0; i < 8; ++i)
        rows[i] = (i % 2) ? 0xAA : 0x55;
    HBITMAP mono = CreateBitmap(8, 8, 1, 1, rows);
    HBRUSH brush = CreatePatternBrush(mono);
    DeleteObject(mono); // the brush keeps its own copy
    TestSurface s(4, 2);
    SetTextColor(s.Dc(), RGB(255, 0, 0)); // 0 bits
    SetBkColor(s.Dc(), RGB(0, 0, 255));   // 1 bits
    HGDIOBJ old = SelectObject(s.Dc(), brush);
    PatBlt(s.Dc(), 0, 0, 4, 2, PATCOPY);
    EXPECT_EQ(s.Rows(0xFF0000), "#.#.\n.#.#\n");
    SetBrushOrgEx(s.Dc(), 1, 0, nullptr);
    PatBlt(s.Dc(), 0, 0, 4, 2, PATCOPY);
    EXPECT_EQ(s.Rows(0xFF0000), ".#.#\n#.#.\n");
    // The pattern belongs to the device, not to the logical origin.
    SetBrushOrgEx(s.Dc(), 0, 0, nullptr);
    SetViewportOrgEx(s.Dc(), 1, 0, nullptr);
    PatBlt(s.Dc(), -1, 0, 4, 2, PATCOPY);
    EXPECT_EQ(s.Rows(0xFF0000), "#.#.\n.#.#\n");
    SelectObject(s.Dc(), old);
    DeleteObject(brush);
}

TEST(Raster, HatchBrushTransparentKeepsBackground)
{
    TestSurface s(8, 8, RGB(0, 255, 0));
    HBRUSH hatch = CreateHatchBrush(HS_HORIZONTAL, RGB(0, 0, 0));
    SetBkMode(s.Dc(), TRANSPARENT);
    RECT r{0, 0, 8, 8};
    FillRect(s.Dc(), &r, hatch);
    EXPECT_EQ(s.Count(0), 8);
    EXPECT_EQ(s.Count(0x00FF00), 56);
    DeleteObject(hatch);
}

TEST(Raster, MonochromeConversionsInBlits)
{
    // Colour to monochrome: the source background colour becomes white.
    TestSurface colour(2, 1, RGB(0, 0, 255));
    SetPixel(colour.Dc(), 1, 0, RGB(10, 10, 10));
    SetBkColor(colour.Dc(), RGB(0, 0, 255));
    HDC monoDc = CreateCompatibleDC(colour.Dc());
    HBITMAP mono = CreateBitmap(2, 1, 1, 1, nullptr);
    HGDIOBJ old = SelectObject(monoDc, mono);
    EXPECT_EQ(GetDeviceCaps(monoDc, BITSPIXEL), 1);
    BitBlt(monoDc, 0, 0, 2, 1, colour.Dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(GetPixel(monoDc, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(monoDc, 1, 0), RGB(0, 0, 0));
    // Monochrome to colour: 0 bits take the text colour, 1 bits the background.
    TestSurface out(2, 1);
    SetTextColor(out.Dc(), RGB(255, 0, 0));
    SetBkColor(out.Dc(), RGB(0, 255, 0));
    BitBlt(out.Dc(), 0, 0, 2, 1, monoDc, 0, 0, SRCCOPY);
    EXPECT_EQ(out.Pixel(0, 0), 0x00FF00u);
    EXPECT_EQ(out.Pixel(1, 0), 0xFF0000u);
    SelectObject(monoDc, old);
    DeleteObject(mono);
    DeleteDC(monoDc);
}

TEST(Raster, StretchAndOverlappingBlits)
{
    TestSurface s(8, 2);
    SetPixel(s.Dc(), 0, 0, RGB(255, 0, 0));
    SetPixel(s.Dc(), 1, 0, RGB(0, 255, 0));
    EXPECT_TRUE(StretchBlt(s.Dc(), 2, 0, 4, 1, s.Dc(), 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(s.Pixel(2, 0), 0xFF0000u);
    EXPECT_EQ(s.Pixel(3, 0), 0xFF0000u);
    EXPECT_EQ(s.Pixel(4, 0), 0x00FF00u);
    EXPECT_EQ(s.Pixel(5, 0), 0x00FF00u);
    // Mirrored by a negative source width.
    StretchBlt(s.Dc(), 0, 1, 2, 1, s.Dc(), 2, 0, -2, 1, SRCCOPY);
    EXPECT_EQ(s.Pixel(0, 1), 0x00FF00u);
    // Overlapping source and destination read the source as it was.
    BitBlt(s.Dc(), 1, 0, 6, 1, s.Dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(s.Pixel(1, 0), 0xFF0000u);
    EXPECT_EQ(s.Pixel(2, 0), 0x00FF00u);
    EXPECT_EQ(s.Pixel(3, 0), 0xFF0000u);
}

namespace {

// The pixels one LineTo lights, as a set of (x, y).
std::set<std::pair<int, int>> LinePixels(POINT from, POINT to)
{
    TestSurface s(21, 21);
    MoveToEx(s.Dc(), from.x, from.y, nullptr);
    LineTo(s.Dc(), to.x, to.y);
    std::set<std::pair<int, int>> lit;
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 21; ++x)
            if (s.Pixel(x, y) == 0)
                lit.insert({x, y});
    return lit;
}

} // namespace

TEST(Raster, LineSlopesInBothDirections)
{
    // From the centre to points all around it, ties among them: whichever
    // way a line runs it lights the same pixels apart from the end left
    // out, one per step of the major axis.
    const POINT c{10, 10};
    const POINT ends[] = {{8, 0},  {8, 1},  {8, 3},   {8, 4},  {6, 3},  {8, 8},   {3, 8},  {4, 8},  {1, 8},
                          {0, 8},  {-1, 8}, {-4, 8},  {-6, 3}, {-8, 4}, {-8, -1}, {-8, -4}, {-6, -3}, {-3, -8},
                          {0, -8}, {1, -8}, {4, -8},  {2, -6}, {8, -8}, {8, -3},  {7, -2}};
    for (const POINT& e : ends) {
        POINT end{c.x + e.x, c.y + e.y};
        auto forward = LinePixels(c, end), backward = LinePixels(end, c);
        size_t steps = size_t(std::max(std::abs(e.x), std::abs(e.y)));
        EXPECT_EQ(forward.size(), steps) << e.x << "," << e.y;
        EXPECT_EQ(forward.count({c.x, c.y}), 1u) << "first pixel drawn";
        EXPECT_EQ(forward.count({end.x, end.y}), 0u) << "last pixel left out";
        forward.insert({end.x, end.y});
        backward.insert({c.x, c.y});
        EXPECT_EQ(forward, backward) << e.x << "," << e.y;
    }
}

TEST(Raster, LineTiesFollowTheMajorAxis)
{
    // Halfway between two pixels an x-major line takes the upper one and a
    // y-major line the right one.
    struct Case {
        POINT from, to;
        const char* rows;
    };
    const Case cases[] = {
        {{0, 0}, {4, 2}, "##...\n..##.\n.....\n.....\n.....\n"},
        {{4, 2}, {0, 0}, ".#...\n..##.\n....#\n.....\n.....\n"},
        {{0, 2}, {4, 0}, "...#.\n.##..\n#....\n.....\n.....\n"},
        {{0, 0}, {2, 4}, "#....\n.#...\n.#...\n..#..\n.....\n"},
        {{2, 4}, {0, 0}, ".....\n.#...\n.#...\n..#..\n..#..\n"},
        {{2, 0}, {0, 4}, "..#..\n..#..\n.#...\n.#...\n.....\n"},
    };
    for (const Case& c : cases) {
        TestSurface s(5, 5);
        MoveToEx(s.Dc(), c.from.x, c.from.y, nullptr);
        LineTo(s.Dc(), c.to.x, c.to.y);
        EXPECT_EQ(s.Rows(0), c.rows) << c.from.x << "," << c.from.y << " to " << c.to.x << "," << c.to.y;
    }
}

TEST(Raster, WideLinesHaveRoundCapsCentredOnThePath)
{
    struct Case {
        int width;
        POINT from, to;
        const char* rows;
    };
    const Case cases[] = {
        // Width 5: round ends reach 2 pixels beyond each end point.
        {5, {2, 2}, {8, 2}, ".#########..\n###########.\n###########.\n###########.\n.#########..\n"},
        // Even widths: a pixel exactly half a width away counts on the upper
        // and left side of the stroke only.
        {2, {2, 3}, {8, 3}, "............\n............\n..#######...\n.########...\n............\n"},
        // Drawn the other way: the same pixels, the end point included.
        {2, {8, 3}, {2, 3}, "............\n............\n..#######...\n.########...\n............\n"},
        {3, {5, 0}, {5, 4}, "....###.....\n....###.....\n....###.....\n....###.....\n....###.....\n"},
    };
    for (const Case& c : cases) {
        TestSurface s(12, 5);
        HPEN pen = CreatePen(PS_SOLID, c.width, RGB(0, 0, 0));
        HGDIOBJ old = SelectObject(s.Dc(), pen);
        MoveToEx(s.Dc(), c.from.x, c.from.y, nullptr);
        LineTo(s.Dc(), c.to.x, c.to.y);
        EXPECT_EQ(s.Rows(0), c.rows) << "width " << c.width << " from " << c.from.x;
        SelectObject(s.Dc(), old);
        DeleteObject(pen);
    }
}

TEST(Raster, WidePolylineJoinsRoundAndDrawsEachPixelOnce)
{
    POINT path[] = {{2, 3}, {12, 3}, {12, 12}};
    TestSurface copy(16, 16);
    HPEN pen = CreatePen(PS_SOLID, 5, RGB(0, 0, 0));
    HGDIOBJ old = SelectObject(copy.Dc(), pen);
    Polyline(copy.Dc(), path, 3);
    EXPECT_EQ(copy.Pixel(13, 1), 0u) << "inside the round join";
    EXPECT_EQ(copy.Pixel(14, 1), 0xFFFFFFu) << "a mitred corner would reach here";
    EXPECT_EQ(copy.Pixel(14, 13), 0u) << "the end point's cap is drawn";
    EXPECT_EQ(copy.Pixel(12, 14), 0u);
    int covered = copy.Count(0);
    SelectObject(copy.Dc(), old);
    DeleteObject(pen);
    // Under XOR the corner where the segments overlap is inverted once.
    TestSurface x(16, 16);
    SetROP2(x.Dc(), R2_XORPEN);
    HPEN white = CreatePen(PS_SOLID, 5, RGB(255, 255, 255));
    old = SelectObject(x.Dc(), white);
    Polyline(x.Dc(), path, 3);
    EXPECT_EQ(x.Count(0), covered);
    SelectObject(x.Dc(), old);
    DeleteObject(white);
}

TEST(Raster, WidePenFramesCentredOrInsideTheFrame)
{
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    for (int style : {PS_SOLID, PS_INSIDEFRAME}) {
        TestSurface s(20, 18);
        HPEN pen = CreatePen(style, 5, RGB(0, 0, 0));
        HGDIOBJ oldPen = SelectObject(s.Dc(), pen);
        HGDIOBJ oldBrush = SelectObject(s.Dc(), red);
        Rectangle(s.Dc(), 2, 2, 16, 14);
        if (style == PS_SOLID) {
            // Centred on the outermost pixels (2..15, 2..13): 2 more each way.
            EXPECT_EQ(s.Pixel(0, 6), 0u);
            EXPECT_EQ(s.Pixel(4, 6), 0u);
            EXPECT_EQ(s.Pixel(17, 6), 0u);
            EXPECT_EQ(s.Pixel(18, 6), 0xFFFFFFu);
            EXPECT_EQ(s.Pixel(6, 0), 0u);
            EXPECT_EQ(s.Pixel(6, 15), 0u);
            EXPECT_EQ(s.Pixel(6, 16), 0xFFFFFFu);
            EXPECT_EQ(s.Pixel(0, 0), 0xFFFFFFu) << "round corner";
            EXPECT_EQ(s.Pixel(1, 0), 0u);
            EXPECT_EQ(s.Rows(0xFF0000).find('#'), size_t(5 * 21 + 5)) << "the fill starts at (5, 5)";
            EXPECT_EQ(s.Count(0xFF0000), 8 * 6);
        } else {
            // Inside the frame: nothing outside (2, 2)-(16, 14), 5 pixels thick.
            for (int y = 0; y < 18; ++y) {
                for (int x = 0; x < 20; ++x) {
                    if (x < 2 || x >= 16 || y < 2 || y >= 14) {
                        EXPECT_EQ(s.Pixel(x, y), 0xFFFFFFu) << x << "," << y;
                    }
                }
            }
            EXPECT_EQ(s.Pixel(2, 6), 0u);
            EXPECT_EQ(s.Pixel(6, 6), 0u);
            EXPECT_EQ(s.Pixel(11, 6), 0u);
            EXPECT_EQ(s.Pixel(15, 6), 0u);
            EXPECT_EQ(s.Pixel(8, 6), 0u);
            EXPECT_EQ(s.Pixel(8, 9), 0u);
            EXPECT_EQ(s.Pixel(7, 7), 0xFF0000u);
            EXPECT_EQ(s.Pixel(10, 8), 0xFF0000u);
            EXPECT_EQ(s.Count(0xFF0000), 4 * 2);
        }
        SelectObject(s.Dc(), oldBrush);
        SelectObject(s.Dc(), oldPen);
        DeleteObject(pen);
    }
    DeleteObject(red);
}

TEST(Raster, WidePenEllipsesCentredOrInsideTheFrame)
{
    for (int style : {PS_SOLID, PS_INSIDEFRAME}) {
        TestSurface s(20, 20);
        HPEN pen = CreatePen(style, 4, RGB(0, 0, 0));
        HGDIOBJ old = SelectObject(s.Dc(), pen);
        Ellipse(s.Dc(), 4, 4, 16, 16);
        RECT ink{20, 20, -1, -1};
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                if (s.Pixel(x, y) == 0) {
                    ink.left = std::min<LONG>(ink.left, x);
                    ink.top = std::min<LONG>(ink.top, y);
                    ink.right = std::max<LONG>(ink.right, x + 1);
                    ink.bottom = std::max<LONG>(ink.bottom, y + 1);
                }
        if (style == PS_SOLID) {
            EXPECT_EQ(ink.left, 2);
            EXPECT_EQ(ink.right, 17);
            EXPECT_EQ(ink.top, 2);
            EXPECT_EQ(ink.bottom, 17);
        } else {
            EXPECT_EQ(ink.left, 4);
            EXPECT_EQ(ink.right, 16);
            EXPECT_EQ(ink.top, 4);
            EXPECT_EQ(ink.bottom, 16);
        }
        EXPECT_EQ(s.Pixel(10, 10), 0xFFFFFFu) << "white stock brush inside";
        SelectObject(s.Dc(), old);
        DeleteObject(pen);
    }
}

TEST(Raster, StretchModesWhenShrinking)
{
    // Four source pixels onto two: red and green fall together, so do blue
    // and white.
    TestSurface src(4, 1);
    const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)};
    for (int i = 0; i < 4; ++i)
        SetPixel(src.Dc(), i, 0, colours[i]);
    struct Case {
        int mode;
        uint32_t first, second;
    };
    const Case cases[] = {
        {BLACKONWHITE, 0x000000, 0x0000FF}, // AND
        {WHITEONBLACK, 0xFFFF00, 0xFFFFFF}, // OR
        {COLORONCOLOR, 0x00FF00, 0xFFFFFF}, // nearest
        {HALFTONE, 0x808000, 0x8080FF},     // average
    };
    for (const Case& c : cases) {
        TestSurface dst(2, 1, RGB(1, 1, 1));
        EXPECT_EQ(SetStretchBltMode(dst.Dc(), c.mode), BLACKONWHITE);
        EXPECT_EQ(GetStretchBltMode(dst.Dc()), c.mode);
        EXPECT_TRUE(StretchBlt(dst.Dc(), 0, 0, 2, 1, src.Dc(), 0, 0, 4, 1, SRCCOPY));
        EXPECT_EQ(dst.Pixel(0, 0), c.first) << c.mode;
        EXPECT_EQ(dst.Pixel(1, 0), c.second) << c.mode;
        // Mirrored, the pairs swap places.
        StretchBlt(dst.Dc(), 2, 0, -2, 1, src.Dc(), 0, 0, 4, 1, SRCCOPY);
        EXPECT_EQ(dst.Pixel(1, 0), c.first) << c.mode << " mirrored";
        EXPECT_EQ(dst.Pixel(0, 0), c.second) << c.mode << " mirrored";
    }
}

TEST(Raster, HalftoneAveragesByAreaWhenEnlarging)
{
    TestSurface src(2, 1);
    SetPixel(src.Dc(), 0, 0, RGB(0, 0, 0));
    TestSurface dst(3, 1, RGB(1, 1, 1));
    // Three pixels over two: the middle one takes half of each.
    SetStretchBltMode(dst.Dc(), HALFTONE);
    StretchBlt(dst.Dc(), 0, 0, 3, 1, src.Dc(), 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ(dst.Pixel(0, 0), 0x000000u);
    EXPECT_EQ(dst.Pixel(1, 0), 0x808080u);
    EXPECT_EQ(dst.Pixel(2, 0), 0xFFFFFFu);
    // Other modes enlarge by the nearest pixel.
    SetStretchBltMode(dst.Dc(), BLACKONWHITE);
    StretchBlt(dst.Dc(), 0, 0, 3, 1, src.Dc(), 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ(dst.Pixel(1, 0), 0xFFFFFFu);
    // StretchDIBits follows the mode too: a 2x2 DIB averaged into one pixel.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 2;
    info.bmiHeader.biHeight = -2;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    const uint32_t bits[4] = {0x00FF0000, 0x00FF0000, 0x000000FF, 0x000000FF};
    SetStretchBltMode(dst.Dc(), HALFTONE);
    StretchDIBits(dst.Dc(), 0, 0, 1, 1, 0, 0, 2, 2, bits, &info, DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(dst.Pixel(0, 0), 0x800080u);
}
