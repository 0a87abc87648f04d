// Raster operations, lines, shapes, fills and clipping, checked pixel by pixel.
#include "GdiTestSurface.h"

#include <gtest/gtest.h>

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
