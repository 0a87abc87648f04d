#include "imaging/ImageObj.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct CreateCase {
    DWORD width, height, bpp;
    bool ok;
    WORD bits;
    DWORD effWidth;
    DWORD colors;
    const char* error;
};

TEST(ImageObjCreate, SizesDepthsAndLimits)
{
    const CreateCase cases[] = {
        {3, 2, 24, true, 24, 12, 0, ""},
        {3, 2, 1, true, 1, 4, 2, ""},
        {33, 1, 1, true, 1, 8, 2, ""},
        {5, 1, 2, true, 4, 4, 16, ""},
        {5, 1, 8, true, 8, 8, 256, ""},
        {2, 2, 16, true, 24, 8, 0, ""},
        {2, 2, 32, true, 24, 8, 0, ""},
        {0, 10, 8, false, 0, 0, 0, "CImageObj::Create : width and height must be greater than zero"},
        {10, 0, 8, false, 0, 0, 0, "CImageObj::Create : width and height must be greater than zero"},
        {60000, 60000, 24, false, 0, 0, 0, "IMAGE_MAX_MEMORY exceeded"},
        // Inside width x height x bpp / 256, but a pixel block over 256,000,000 bytes.
        {65536, 40000, 1, false, 0, 0, 0, "IMAGE_MAX_MEMORY exceeded"},
        {0xFFFFFFFFu, 0xFFFFFFFFu, 24, false, 0, 0, 0, "IMAGE_MAX_MEMORY exceeded"},
    };
    for (const CreateCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.bpp);
        CImageObj image;
        void* block = image.Create(c.width, c.height, c.bpp, IMAGE_TYPE_JPEG);
        EXPECT_EQ(block != nullptr, c.ok);
        EXPECT_EQ(image.IsValid(), c.ok);
        if (c.ok) {
            EXPECT_EQ(image.GetBpp(), c.bits);
            EXPECT_EQ(image.GetEffWidth(), c.effWidth);
            EXPECT_EQ(image.GetNumColors(), c.colors);
            EXPECT_EQ(image.GetHeader().biSizeImage, c.effWidth * c.height);
            EXPECT_EQ(image.GetPaletteSize(), c.colors * 4);
            EXPECT_EQ(image.GetType(), IMAGE_TYPE_JPEG);
            // The block starts with the header copy.
            EXPECT_EQ(std::memcmp(block, &image.GetHeader(), sizeof(BITMAPINFOHEADER)), 0);
        } else {
            EXPECT_STREQ(image.GetLastError(), c.error);
        }
    }
}

TEST(ImageObj, DefaultsAndResolution)
{
    CImageObj image(IMAGE_TYPE_GIF);
    EXPECT_EQ(image.GetWidth(), 0u);
    EXPECT_EQ(image.GetHeight(), 0u);
    EXPECT_FALSE(image.IsValid());
    EXPECT_EQ(image.GetType(), IMAGE_TYPE_GIF);
    EXPECT_EQ(image.GetJpegQuality(), 90);
    EXPECT_EQ(image.GetTransIndex(), -1);
    EXPECT_EQ(image.GetXDPI(), 96);
    EXPECT_EQ(image.GetHeader().biXPelsPerMeter, 3780);

    const struct { LONG in, dpi, perMeter; } dpis[] = {{0, 96, 3780}, {-5, 96, 3780}, {1, 1, 39}, {300, 300, 11811}};
    for (auto d : dpis) {
        image.SetXDPI(d.in);
        image.SetYDPI(d.in);
        EXPECT_EQ(image.GetXDPI(), d.dpi);
        EXPECT_EQ(image.GetYDPI(), d.dpi);
        EXPECT_EQ(image.GetHeader().biXPelsPerMeter, d.perMeter);
        EXPECT_EQ(image.GetHeader().biYPelsPerMeter, d.perMeter);
    }
    EXPECT_EQ(image.GetCodecOption(7), 0u);
}

TEST(ImageObjPixels, IndexPackingAtEachDepth)
{
    for (DWORD bpp : {1u, 4u, 8u}) {
        SCOPED_TRACE(bpp);
        CImageObj image;
        ASSERT_TRUE(image.Create(19, 3, bpp, 0));
        image.Clear(0);
        BYTE mask = static_cast<BYTE>((1u << bpp) - 1);
        for (LONG y = 0; y < 3; ++y)
            for (LONG x = 0; x < 19; ++x)
                image.SetPixelIndex(x, y, static_cast<BYTE>((x * 7 + y) & mask));
        for (LONG y = 0; y < 3; ++y)
            for (LONG x = 0; x < 19; ++x)
                EXPECT_EQ(image.GetPixelIndex(x, y), (x * 7 + y) & mask) << x << "," << y;
        // Writes outside do nothing.
        image.SetPixelIndex(19, 0, 1);
        image.SetPixelIndex(-1, 0, 1);
        EXPECT_EQ(image.GetPixelIndex(18, 0), (18 * 7) & mask);
    }
    // Bit order: 4-bit even x in the high nibble, 1-bit x % 8 == 0 in bit 7.
    CImageObj four;
    four.Create(4, 1, 4, 0);
    four.Clear(0);
    four.SetPixelIndex(0, 0, 0xA);
    four.SetPixelIndex(1, 0, 0x3);
    EXPECT_EQ(four.GetBits()[0], 0xA3);
    CImageObj one;
    one.Create(9, 1, 1, 0);
    one.Clear(0);
    one.SetPixelIndex(0, 0, 1);
    one.SetPixelIndex(8, 0, 1);
    EXPECT_EQ(one.GetBits()[0], 0x80);
    EXPECT_EQ(one.GetBits()[1], 0x80);
}

TEST(ImageObjPixels, ColorsAtEachDepth)
{
    CImageObj rgb;
    rgb.Create(2, 2, 24, 0);
    rgb.SetPixelColor(1, 1, RGB(10, 20, 30));
    const BYTE* p = rgb.GetBits(1) + 3;
    EXPECT_EQ(p[0], 30); // blue, green, red
    EXPECT_EQ(p[1], 20);
    EXPECT_EQ(p[2], 10);
    RGBQUAD c = rgb.GetPixelColor(1, 1);
    EXPECT_EQ(c.rgbRed, 10);
    EXPECT_EQ(c.rgbBlue, 30);
    EXPECT_EQ(c.rgbReserved, 0);
    rgb.SetPixelIndex(0, 0, 5); // no palette: ignored
    EXPECT_EQ(rgb.GetPixelIndex(0, 0), 0);

    for (DWORD bpp : {1u, 4u, 8u}) {
        CImageObj pal;
        pal.Create(3, 1, bpp, 0);
        pal.SetGrayPalette();
        pal.SetPixelColor(2, 0, RGBQUAD{255, 255, 255, 0});
        EXPECT_EQ(pal.GetPixelIndex(2, 0), pal.GetNumColors() - 1) << bpp;
        EXPECT_EQ(pal.GetPixelColor(2, 0).rgbGreen, 255) << bpp;
    }
}

TEST(ImageObjPixels, ReadsOutsideTheImage)
{
    CImageObj image;
    image.Create(2, 2, 8, 0);
    image.SetGrayPalette();
    image.Clear(0);
    image.GetBits()[0] = 42;
    EXPECT_EQ(image.GetPixelIndex(-1, 0), 42);
    EXPECT_EQ(image.GetPixelColor(5, 5).rgbRed, 42); // pixel (0, 0)
    image.SetTransIndex(7);
    EXPECT_EQ(image.GetPixelIndex(-1, 0), 7);
    EXPECT_EQ(image.GetPixelColor(-1, 0).rgbRed, 7);
    EXPECT_EQ(image.GetTransColor().rgbRed, 7);

    CImageObj rgb;
    rgb.Create(1, 1, 24, 0);
    rgb.SetTransColor(RGBQUAD{1, 2, 3, 99});
    EXPECT_EQ(rgb.GetTransColor().rgbReserved, 0);
    rgb.SetTransIndex(0);
    EXPECT_EQ(rgb.GetPixelColor(3, 3).rgbRed, 3);

    CImageObj empty;
    EXPECT_EQ(empty.GetPixelIndex(0, 0), 0);
    EXPECT_EQ(empty.GetBits(), nullptr);
    EXPECT_EQ(image.GetBits(2), nullptr);
}

TEST(ImageObjPalette, NearestIndexPrefersTheFirstAndFollowsWrites)
{
    CImageObj image;
    image.Create(4, 1, 8, 0);
    for (int i = 0; i < 256; ++i)
        image.SetPaletteColor(static_cast<BYTE>(i), RGBQUAD{static_cast<BYTE>(i), 0, 0, 0});
    image.SetPaletteColor(9, RGBQUAD{200, 100, 50, 0});
    image.SetPaletteColor(5, RGBQUAD{200, 100, 50, 0});
    image.SetPixelColor(0, 0, RGBQUAD{200, 100, 50, 0});
    EXPECT_EQ(image.GetPixelIndex(0, 0), 5);
    // Near colours: the first of equally near entries wins.
    EXPECT_EQ(image.GetNearestIndex(RGBQUAD{20, 1, 0, 0}), 20);
    // A palette write invalidates the cached answer.
    EXPECT_EQ(image.GetNearestIndex(RGBQUAD{200, 100, 50, 0}), 5);
    image.SetPaletteColor(3, RGBQUAD{200, 100, 50, 0});
    EXPECT_EQ(image.GetNearestIndex(RGBQUAD{200, 100, 50, 0}), 3);
    EXPECT_EQ(image.GetPaletteColor(255).rgbBlue, 255);

    CImageObj small;
    small.Create(1, 1, 1, 0);
    EXPECT_EQ(small.GetPaletteColor(2).rgbBlue, 0); // past the colour count
}

TEST(ImageObjPalette, GreyRampsAndArrays)
{
    const struct { DWORD bpp; BYTE last; bool grey; } ramps[] = {{1, 255, false}, {4, 255, false}, {8, 255, true}};
    for (auto r : ramps) {
        CImageObj image;
        image.Create(1, 1, r.bpp, 0);
        image.SetGrayPalette();
        EXPECT_EQ(image.GetPaletteColor(static_cast<BYTE>(image.GetNumColors() - 1)).rgbRed, r.last);
        EXPECT_EQ(image.IsGrayScale(), r.grey) << r.bpp;
    }
    CImageObj four;
    four.Create(1, 1, 4, 0);
    four.SetGrayPalette();
    EXPECT_EQ(four.GetPaletteColor(1).rgbGreen, 17);

    CImageObj image;
    image.Create(1, 1, 4, 0);
    const BYTE red[3] = {1, 2, 3};
    const BYTE green[3] = {4, 5, 6};
    image.SetPalette(3, red, green);
    EXPECT_EQ(image.GetPaletteColor(1).rgbRed, 2);
    EXPECT_EQ(image.GetPaletteColor(1).rgbGreen, 5);
    EXPECT_EQ(image.GetPaletteColor(1).rgbBlue, 5); // blue falls back to green
    image.SetPalette(3, red);
    EXPECT_EQ(image.GetPaletteColor(2).rgbBlue, 3);
    EXPECT_FALSE(CImageObj().IsGrayScale());
}

TEST(ImageObj, ClearFillsByDepth)
{
    const struct { DWORD bpp; BYTE value, fill; } cases[] = {{4, 3, 0x33}, {1, 3, 0xFF}, {1, 0, 0}, {8, 7, 7}, {24, 9, 9}};
    for (auto c : cases) {
        CImageObj image;
        image.Create(5, 2, c.bpp, 0);
        image.Clear(c.value);
        const BYTE* bits = image.GetBits();
        for (DWORD i = 0; i < image.GetHeader().biSizeImage; ++i)
            ASSERT_EQ(bits[i], c.fill) << c.bpp;
    }
}

TEST(ImageObj, RGBtoBGRSwapsWithinTheRow)
{
    CImageObj image;
    image.Create(2, 1, 24, 0);
    BYTE row[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    image.RGBtoBGR(row, 100); // bounded by the effective width (8)
    const BYTE expected[12] = {3, 2, 1, 6, 5, 4, 7, 8, 9, 10, 11, 12};
    EXPECT_EQ(std::memcmp(row, expected, 12), 0);
}

TEST(ImageObjBuffers, GhostsNeverFreeOrHandOver)
{
    CImageObj owner;
    owner.Create(4, 4, 24, 0);
    owner.Clear(77);
    {
        CImageObj ghost;
        ghost.Ghost(&owner);
        EXPECT_EQ(ghost.GetBits(), owner.GetBits());
        EXPECT_FALSE(ghost.Destroy());
        EXPECT_EQ(ghost.GetBits(), owner.GetBits());

        // Handing over into a ghost fails and leaves the source alone.
        CImageObj source;
        source.Create(2, 2, 8, 0);
        EXPECT_FALSE(ghost.Transfer(source));
        EXPECT_TRUE(source.IsValid());
        EXPECT_EQ(source.GetWidth(), 2u);

        // Taking a ghost's borrowed buffers would free them twice.
        CImageObj taker;
        EXPECT_FALSE(taker.Transfer(ghost));
        EXPECT_FALSE(taker.IsValid());

        // Attributes travel, buffers and ghost ownership do not.
        CImageObj info;
        info.CopyInfo(ghost);
        EXPECT_EQ(info.GetAttributes().pixels, nullptr);
        EXPECT_EQ(info.GetAttributes().ghostOwner, nullptr);
        EXPECT_TRUE(info.Destroy());
        EXPECT_TRUE(info.Create(3, 3, 24, 0));
    }
    EXPECT_EQ(owner.GetBits()[0], 77);
}

TEST(ImageObjBuffers, TransferAndCopy)
{
    CImageObj source(IMAGE_TYPE_JPEG);
    source.Create(3, 2, 8, IMAGE_TYPE_JPEG);
    source.SetGrayPalette();
    source.Clear(9);
    source.SetXDPI(300);
    BYTE* bits = source.GetBits();

    CImageObj copy;
    ASSERT_TRUE(copy.Copy(source));
    EXPECT_NE(copy.GetBits(), bits);
    EXPECT_EQ(copy.GetPixelIndex(2, 1), 9);
    EXPECT_EQ(copy.GetXDPI(), 300);
    EXPECT_TRUE(copy.IsGrayScale());

    CImageObj target;
    target.Create(10, 10, 24, 0);
    ASSERT_TRUE(target.Transfer(source));
    EXPECT_EQ(target.GetBits(), bits);
    EXPECT_EQ(target.GetWidth(), 3u);
    EXPECT_EQ(target.GetXDPI(), 300);
    EXPECT_FALSE(source.IsValid());
    EXPECT_EQ(source.GetWidth(), 0u);
    EXPECT_TRUE(target.Transfer(target));
    EXPECT_EQ(target.GetBits(), bits);
}

TEST(ImageIterator, WalksTopDownWithinTheBuffer)
{
    CImageObj image;
    image.Create(3, 3, 8, 0);
    image.Clear(0);
    CImageIterator it(&image);
    EXPECT_EQ(it.GetRowAddress(), image.GetBits(0));
    it.Upset();
    EXPECT_EQ(it.GetY(), 2);
    EXPECT_EQ(it.GetRowAddress(), image.GetBits(2));
    const BYTE row[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    it.SetRow(row, 100); // bounded by the effective width (4)
    EXPECT_EQ(image.GetPixelIndex(2, 2), 3);
    EXPECT_EQ(image.GetBits(2)[3], 4);
    EXPECT_EQ(image.GetBits(1)[0], 0);
    EXPECT_TRUE(it.PrevRow());
    EXPECT_TRUE(it.PrevRow());
    EXPECT_EQ(it.GetRowAddress(), image.GetBits(0));
    EXPECT_TRUE(it.ItOK());
    EXPECT_FALSE(it.PrevRow());
    EXPECT_EQ(it.GetRowAddress(), image.GetBits(0));

    // Row "height" is past the buffer.
    it.SetY(1);
    it.SetY(3);
    EXPECT_EQ(it.GetY(), 1);
    EXPECT_EQ(it.GetRowAddress(), image.GetBits(1));
    BYTE out[4] = {};
    it.GetRow(out, -1);
    EXPECT_EQ(out[0], 0);
}

} // namespace
