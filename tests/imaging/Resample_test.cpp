#include "imaging/ImageObj.h"

#include <gtest/gtest.h>

namespace {

// A 24-bit image whose pixel (x, y) holds x in blue and green, y in red.
void FillCoordinates(CImageObj& image, DWORD width, DWORD height)
{
    image.Create(width, height, 24, IMAGE_TYPE_JPEG);
    for (LONG y = 0; y < static_cast<LONG>(height); ++y)
        for (LONG x = 0; x < static_cast<LONG>(width); ++x)
            image.SetPixelColor(x, y, RGBQUAD{static_cast<BYTE>(x & 255), static_cast<BYTE>(x >> 8), static_cast<BYTE>(y), 0});
}

LONG SourceColumn(const CImageObj& image, LONG x)
{
    RGBQUAD c = image.GetPixelColor(x, 0);
    return c.rgbBlue | (c.rgbGreen << 8);
}

TEST(ResampleNearest, TakesTruncatedSourceCoordinates)
{
    const struct { DWORD w, h; LONG nw, nh; LONG target, source; } cases[] = {
        {300, 200, 120, 80, 1, 2},     // the thumbnail case, scale 2.5
        {300, 200, 120, 80, 119, 297},
        {100, 100, 120, 120, 6, 4},    // enlarging: trunc(6 x 0.8333333) = 4
        {100, 100, 120, 120, 119, 99},
    };
    for (auto c : cases) {
        CImageObj image;
        FillCoordinates(image, c.w, c.h);
        ASSERT_TRUE(image.Resample(c.nw, c.nh, 1));
        EXPECT_EQ(image.GetWidth(), static_cast<DWORD>(c.nw));
        EXPECT_EQ(image.GetHeight(), static_cast<DWORD>(c.nh));
        EXPECT_EQ(SourceColumn(image, c.target), c.source) << c.w << "->" << c.nw << " column " << c.target;
        EXPECT_EQ(image.GetPixelColor(0, c.target < c.nh ? c.target : 0).rgbRed,
                  c.target < c.nh ? static_cast<BYTE>(c.source) : 0);
    }
}

TEST(Resample, SizeZeroAndSameSize)
{
    CImageObj image;
    FillCoordinates(image, 10, 10);
    BYTE* bits = image.GetBits();
    EXPECT_FALSE(image.Resample(0, 10, 1));
    EXPECT_FALSE(image.Resample(10, -1, 1));
    EXPECT_TRUE(image.Resample(10, 10, 1));
    EXPECT_EQ(image.GetBits(), bits);

    CImageObj copy;
    EXPECT_TRUE(image.Resample(10, 10, 1, &copy));
    EXPECT_NE(copy.GetBits(), bits);
    EXPECT_EQ(SourceColumn(copy, 7), 7);

    CImageObj half;
    EXPECT_TRUE(image.Resample(5, 5, 1, &half));
    EXPECT_EQ(half.GetWidth(), 5u);
    EXPECT_EQ(image.GetWidth(), 10u); // the source stays
    EXPECT_EQ(SourceColumn(half, 4), 8);

    CImageObj empty;
    EXPECT_FALSE(empty.Resample(5, 5, 1));
}

TEST(Resample, PaletteDuplicatesTakeTheFirstIndex)
{
    for (DWORD bpp : {4u, 8u}) {
        CImageObj image;
        image.Create(6, 6, bpp, 0);
        image.SetGrayPalette();
        RGBQUAD same{1, 2, 3, 0};
        image.SetPaletteColor(5, same);
        image.SetPaletteColor(9, same);
        image.Clear(9);
        ASSERT_TRUE(image.Resample(3, 4, 1));
        EXPECT_EQ(image.GetBpp(), bpp);
        EXPECT_EQ(image.GetPaletteColor(9).rgbRed, 3); // the palette came along
        for (LONG y = 0; y < 4; ++y)
            for (LONG x = 0; x < 3; ++x)
                EXPECT_EQ(image.GetPixelIndex(x, y), 5);
    }
    CImageObj one;
    one.Create(16, 16, 1, 0);
    one.SetGrayPalette();
    one.Clear(1);
    ASSERT_TRUE(one.Resample(5, 3, 1));
    EXPECT_EQ(one.GetPixelIndex(4, 2), 1);
}

// Checkerboard of black and white single pixels.
void FillChecker(CImageObj& image, DWORD w, DWORD h)
{
    image.Create(w, h, 24, 0);
    for (LONG y = 0; y < static_cast<LONG>(h); ++y)
        for (LONG x = 0; x < static_cast<LONG>(w); ++x) {
            BYTE v = ((x + y) & 1) ? 255 : 0;
            image.SetPixelColor(x, y, RGBQUAD{v, v, v, 0});
        }
}

TEST(ResampleDefault, ShrinkAveragesAreasElseBilinear)
{
    CImageObj shrink;
    FillChecker(shrink, 400, 300);
    ASSERT_TRUE(shrink.Resample(200, 150, 0));
    // Every target pixel covers two black and two white pixels.
    for (LONG x : {0, 57, 199})
        EXPECT_NEAR(shrink.GetPixelColor(x, 75).rgbGreen, 127, 1);

    CImageObj taller;
    FillChecker(taller, 400, 300);
    ASSERT_TRUE(taller.Resample(200, 400, 0));
    // Bilinear: (0, 1) lies at source y 0.75 between black (0, 0) and white (0, 1).
    EXPECT_EQ(taller.GetPixelColor(0, 1).rgbRed, 191);
    EXPECT_EQ(taller.GetPixelColor(0, 0).rgbRed, 0);
}

TEST(ResampleDefault, AreaAveragingStaysInsideItsRows)
{
    // Awkward scales whose boundaries fall just around pixel edges; a uniform
    // picture must stay uniform and nothing may be touched out of bounds.
    const struct { DWORD w, h; LONG nw, nh; } cases[] = {
        {1000, 999, 7, 3}, {17, 13, 16, 12}, {5, 5, 4, 4}, {1023, 767, 120, 90}, {3, 3, 1, 1},
        {200, 200, 2, 1}, // sums above 2^31 in 32 bits
    };
    for (auto c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << "->" << c.nw << "x" << c.nh);
        CImageObj image;
        image.Create(c.w, c.h, 24, 0);
        image.Clear(255);
        ASSERT_TRUE(image.Resample(c.nw, c.nh, 0));
        for (LONG y = 0; y < c.nh; ++y)
            for (LONG x = 0; x < c.nw; ++x)
                ASSERT_GE(image.GetPixelColor(x, y).rgbRed, 253) << x << "," << y;
    }
}

TEST(ResampleDefault, AreaAveragingWeighsEachSourcePixelByItsShare)
{
    // 3 x 3 to 2 x 2: every target pixel covers one whole source pixel, two
    // halves and a quarter, over nScale = trunc(1000 x 1.5 x 1.5) = 2250.
    CImageObj image;
    image.Create(3, 3, 24, 0);
    for (LONG y = 0; y < 3; ++y)
        for (LONG x = 0; x < 3; ++x) {
            BYTE v = static_cast<BYTE>(10 * x + 60 * y + 7);
            image.SetPixelColor(x, y, RGBQUAD{v, static_cast<BYTE>(v + 1), static_cast<BYTE>(v + 2), 0});
        }
    ASSERT_TRUE(image.Resample(2, 2, 0));
    const struct { LONG x, y; BYTE blue; } expected[] = {
        {0, 0, 30},  // (1000 x 7 + 500 x 17 + 500 x 67 + 250 x 77) / 2250
        {1, 0, 43},  // (500 x 17 + 1000 x 27 + 250 x 77 + 500 x 87) / 2250
        {0, 1, 110}, // (500 x 67 + 250 x 77 + 1000 x 127 + 500 x 137) / 2250
        {1, 1, 123}, // (250 x 77 + 500 x 87 + 500 x 137 + 1000 x 147) / 2250
    };
    for (auto e : expected) {
        RGBQUAD c = image.GetPixelColor(e.x, e.y);
        EXPECT_EQ(c.rgbBlue, e.blue) << e.x << "," << e.y;
        // One more in every source byte adds 2250 / 2250.
        EXPECT_EQ(c.rgbGreen, e.blue + 1) << e.x << "," << e.y;
        EXPECT_EQ(c.rgbRed, e.blue + 2) << e.x << "," << e.y;
    }
}

TEST(ResampleBicubic, WeighsFourColumnsByTheSpline)
{
    // 4 x 1 to 2 x 1: target column 1 sits at source 1.5, between columns
    // weighted 1/48, 23/48, 23/48, 1/48; column 0 at -0.5 clamps to column 0.
    CImageObj image;
    image.Create(4, 1, 24, 0);
    const BYTE values[4] = {20, 10, 100, 200};
    for (LONG x = 0; x < 4; ++x)
        image.SetPixelColor(x, 0, RGBQUAD{values[x], values[x], values[x], 0});
    ASSERT_TRUE(image.Resample(2, 1, 2));
    EXPECT_EQ(image.GetPixelColor(0, 0).rgbBlue, 19); // (47 x 20 + 10) / 48 = 19.79
    EXPECT_EQ(image.GetPixelColor(1, 0).rgbRed, 57);  // (20 + 230 + 2300 + 200) / 48 = 57.29
}

TEST(ResampleBicubic, KernelAndUniformPictures)
{
    const struct { float x, w; } kernel[] = {{0, 0.6666667f}, {1, 0.1666667f}, {-1, 0.1666667f}, {2, 0}, {-2.5f, 0}, {3, 0}};
    for (auto k : kernel)
        EXPECT_NEAR(CImageObj::KernelBSpline(k.x), k.w, 1e-6) << k.x;

    CImageObj image;
    image.Create(9, 7, 24, 0);
    image.Clear(100);
    ASSERT_TRUE(image.Resample(20, 3, 2));
    for (LONG x = 0; x < 20; ++x)
        EXPECT_NEAR(image.GetPixelColor(x, 1).rgbBlue, 100, 1);

    CImageObj pal;
    pal.Create(8, 8, 8, 0);
    pal.SetGrayPalette();
    pal.Clear(200);
    ASSERT_TRUE(pal.Resample(3, 3, 2));
    EXPECT_NEAR(pal.GetPixelIndex(1, 1), 200, 1);
}

TEST(Resample, EscapeStopsEarly)
{
    CImageObj image;
    FillCoordinates(image, 50, 50);
    image.SetEscape(1);
    EXPECT_TRUE(image.Resample(25, 25, 1));
    EXPECT_EQ(image.GetWidth(), 25u);
    EXPECT_EQ(image.GetProgress(), 0);
}

} // namespace
