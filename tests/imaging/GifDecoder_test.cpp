#include "imaging/GifDecoder.h"

#include "platform/gdi/Gdi.h"

#include "tests/imaging/GifTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <random>

using namespace tavrin::test;

namespace {

std::vector<Rgb> Colors(int n)
{
    std::vector<Rgb> c;
    for (int i = 0; i < n; ++i)
        c.push_back({static_cast<BYTE>(i * 7 + 1), static_cast<BYTE>(i * 13 + 2), static_cast<BYTE>(255 - i)});
    return c;
}

std::vector<BYTE> Pattern(int width, int height, int colors)
{
    std::vector<BYTE> v(static_cast<size_t>(width * height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            v[static_cast<size_t>(y * width + x)] = static_cast<BYTE>((x * 3 + y * 5 + x * y) % colors);
    return v;
}

// The frame's pixels without the row padding.
std::vector<BYTE> Pixels(const CGifFrame& f)
{
    std::vector<BYTE> v;
    for (LONG y = 0; y < f.m_nHeight; ++y)
        v.insert(v.end(), f.m_pPixels + y * f.m_nStride, f.m_pPixels + y * f.m_nStride + f.m_nWidth);
    return v;
}

class GifDecoderTest : public testing::Test {
protected:
    int Load(const GifBuilder& gif)
    {
        auto path = m_dir.Write("v.gif", gif.String());
        return m_decoder.Load(path.c_str());
    }
    TempDir m_dir;
    CGifDecoder m_decoder;
};

} // namespace

TEST_F(GifDecoderTest, TwoColourFrameHasAFullZeroPaddedTable)
{
    auto pixels = Pattern(37, 5, 2);
    ASSERT_EQ(1, Load(GifBuilder().Header(37, 5, {{10, 20, 30}, {40, 50, 60}}).Frame(0, 0, 37, 5, pixels, 2).Trailer()));
    const CGifFrame& f = *m_decoder.GetFrame(0);
    EXPECT_EQ(37, m_decoder.GetWidth());
    EXPECT_EQ(5, m_decoder.GetHeight());
    EXPECT_EQ(1, f.m_nBits);
    EXPECT_EQ(40, f.m_nStride);
    EXPECT_EQ(pixels, Pixels(f));
    EXPECT_EQ(-1, f.m_nTransIndex);
    const BITMAPINFOHEADER& h = f.m_pInfo->bmiHeader;
    EXPECT_EQ(40u, h.biSize);
    EXPECT_EQ(37, h.biWidth);
    EXPECT_EQ(-5, h.biHeight);
    EXPECT_EQ(8, h.biBitCount);
    EXPECT_EQ(11811, h.biXPelsPerMeter);
    EXPECT_EQ(0u, h.biClrUsed);
    EXPECT_EQ(f.m_pInfo->bmiColors, f.m_pColors);
    EXPECT_EQ(30, f.m_pColors[0].rgbBlue);
    EXPECT_EQ(20, f.m_pColors[0].rgbGreen);
    EXPECT_EQ(10, f.m_pColors[0].rgbRed);
    EXPECT_EQ(60, f.m_pColors[1].rgbBlue);
    for (int i = 2; i < 256; ++i) {
        const RGBQUAD& c = f.m_pColors[i];
        ASSERT_EQ(0, c.rgbBlue | c.rgbGreen | c.rgbRed | c.rgbReserved) << i;
    }
}

TEST_F(GifDecoderTest, NoTablesMeansGreyLevels)
{
    auto pixels = Pattern(8, 8, 16);
    ASSERT_EQ(1, Load(GifBuilder().Header(8, 8, {}, 4).Frame(0, 0, 8, 8, pixels, 4).Trailer()));
    const CGifFrame& f = *m_decoder.GetFrame(0);
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(i, f.m_pColors[i].rgbRed);
        ASSERT_EQ(i, f.m_pColors[i].rgbBlue);
    }
    EXPECT_EQ(pixels, Pixels(f));
}

TEST_F(GifDecoderTest, LocalTableWinsAndControlBlocksApplyToTheirFrame)
{
    auto pixels = Pattern(6, 4, 8);
    ASSERT_EQ(2, Load(GifBuilder()
                          .Header(10, 10, Colors(8))
                          .Control(0x09, 25, 4) // disposal 2, transparent
                          .Frame(2, 3, 6, 4, pixels, 3, {{1, 2, 3}, {4, 5, 6}})
                          .Frame(0, 0, 6, 4, pixels, 3)
                          .Trailer()));
    const CGifFrame& a = *m_decoder.GetFrame(0);
    EXPECT_EQ(4, a.m_nTransIndex);
    EXPECT_EQ(250u, a.m_nDelay);
    EXPECT_EQ(1, a.m_bDisposal);
    EXPECT_EQ(2, a.m_nLeft);
    EXPECT_EQ(3, a.m_nTop);
    EXPECT_EQ(1, a.m_nBits);
    EXPECT_EQ(3, a.m_pColors[0].rgbBlue);
    EXPECT_EQ(4, a.m_pColors[1].rgbRed);
    EXPECT_EQ(0, a.m_pColors[2].rgbRed);
    const CGifFrame& b = *m_decoder.GetFrame(1);
    EXPECT_EQ(-1, b.m_nTransIndex);
    EXPECT_EQ(0u, b.m_nDelay);
    EXPECT_EQ(0, b.m_bDisposal);
    EXPECT_EQ(3, b.m_nBits);
    EXPECT_EQ(255 - 5, b.m_pColors[5].rgbBlue);
    EXPECT_EQ(pixels, Pixels(b));
}

TEST_F(GifDecoderTest, InterlacedFramesOfEveryHeight)
{
    for (int height = 1; height <= 17; ++height) {
        SCOPED_TRACE(height);
        auto pixels = Pattern(5, height, 256);
        ASSERT_EQ(1, Load(GifBuilder().Header(5, height, Colors(256)).Frame(0, 0, 5, height, pixels, 8, {}, true)
                              .Trailer()));
        EXPECT_EQ(pixels, Pixels(*m_decoder.GetFrame(0)));
    }
}

TEST(DecodeGifLzw, InterlacedTenRowsAreWrittenInPassOrder)
{
    // Row i of the data holds the value i; the frame shows where it went.
    std::vector<BYTE> data;
    for (int i = 0; i < 10; ++i)
        data.push_back(static_cast<BYTE>(i));
    auto lzw = CompressIndexes(data, 4);
    // Strip the sub-block framing: one short block.
    std::vector<BYTE> payload(lzw.begin() + 1, lzw.end() - 1);
    std::vector<BYTE> pixels(4 * 10, 0xEE);
    EXPECT_NE(0u, DecodeGifLzw(payload.data(), payload.size(), pixels.data(), 4, 4, 1, 10, true));
    const int rows[10] = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(i, pixels[static_cast<size_t>(rows[i] * 4)]) << "data row " << i;
}

TEST(DecodeGifLzw, CodeCases)
{
    struct Case {
        const char* name;
        int minCodeSize;
        std::vector<std::pair<int, int>> codes;
        LONG width;
        std::vector<BYTE> pixels; // empty: the frame is dropped
    };
    const std::vector<Case> cases = {
        // 0 1 0 1 0 1 0 arrive as codes 0, 1, 6, 8; 8 is being defined.
        {"kwkwk", 2, {{4, 3}, {0, 3}, {1, 3}, {6, 3}, {8, 4}, {5, 4}}, 7, {0, 1, 0, 1, 0, 1, 0}},
        {"clear mid-stream", 2, {{4, 3}, {1, 3}, {1, 3}, {6, 3}, {4, 4}, {2, 3}, {6, 3}, {5, 3}}, 7,
         {1, 1, 1, 1, 2, 2, 2}},
        {"code above next free", 2, {{4, 3}, {1, 3}, {7, 3}, {0, 3}, {5, 3}}, 3, {}},
        {"table code after clear", 2, {{4, 3}, {6, 3}, {5, 3}}, 1, {}},
        // The pixel total ends decoding even without an end code.
        {"no end code", 2, {{4, 3}, {3, 3}, {2, 3}}, 2, {3, 2}},
        // Data ending early keeps the pixels decoded; the rest stays zero.
        {"short data", 3, {{8, 4}, {1, 4}, {2, 4}, {3, 4}}, 6, {1, 2, 3, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto data = PackCodes(c.codes);
        std::vector<BYTE> exact(data); // ASan sees any read past the data
        std::vector<BYTE> pixels(static_cast<size_t>((c.width + 3) & ~3), 0);
        size_t result = DecodeGifLzw(exact.data(), exact.size(), pixels.data(), c.minCodeSize, (c.width + 3) & ~3,
                                     c.width, 1, false);
        if (c.pixels.empty()) {
            EXPECT_EQ(0u, result);
        } else {
            EXPECT_NE(0u, result);
            pixels.resize(static_cast<size_t>(c.width));
            EXPECT_EQ(c.pixels, pixels);
        }
    }
}

TEST(DecodeGifLzw, RefusesCodeSizesOutsideTwoToEight)
{
    std::vector<BYTE> data = PackCodes({{512, 10}, {1, 10}, {513, 10}});
    std::vector<BYTE> pixels(4);
    for (int size : {0, 1, 9, 12})
        EXPECT_EQ(0u, DecodeGifLzw(data.data(), data.size(), pixels.data(), size, 4, 1, 1, false)) << size;
}

TEST(DecodeGifLzw, LargeNoisyFramesFillTheTableAndDecode)
{
    // Noise fills the 4096-entry table several times over; the encoder
    // clears after the last entry as every common encoder does.
    std::mt19937 rng(1);
    const LONG w = 300, h = 200;
    std::vector<BYTE> indexes(static_cast<size_t>(w * h));
    for (auto& b : indexes)
        b = static_cast<BYTE>(rng() % 256);
    auto lzw = CompressIndexes(indexes, 8);
    std::vector<BYTE> payload;
    for (size_t at = 0; lzw[at] != 0; at += 1 + lzw[at])
        payload.insert(payload.end(), lzw.begin() + static_cast<long>(at + 1),
                       lzw.begin() + static_cast<long>(at + 1 + lzw[at]));
    std::vector<BYTE> pixels(static_cast<size_t>(w * h));
    ASSERT_NE(0u, DecodeGifLzw(payload.data(), payload.size(), pixels.data(), 8, w, w, h, false));
    EXPECT_EQ(indexes, pixels);
}

TEST_F(GifDecoderTest, BadFrameIsDroppedAndItsNeighboursStay)
{
    auto pixels = Pattern(4, 4, 4);
    auto bad = SubBlocks(PackCodes({{4, 3}, {1, 3}, {7, 3}, {5, 3}}));
    ASSERT_EQ(2, Load(GifBuilder()
                          .Header(4, 4, Colors(4))
                          .Frame(0, 0, 4, 4, pixels, 2)
                          .RawFrame(0, 0, 4, 4, 2, bad)
                          .RawFrame(0, 0, 4, 4, 9, SubBlocks(PackCodes({{512, 10}, {1, 10}, {513, 10}})))
                          .RawFrame(0, 0, 0, 4, 2, CompressIndexes({}, 2))
                          .Frame(0, 0, 4, 4, pixels, 2)
                          .Trailer()));
    EXPECT_EQ(pixels, Pixels(*m_decoder.GetFrame(1)));
}

TEST_F(GifDecoderTest, CapsFrameSizeAndCount)
{
    GifBuilder gif;
    gif.Header(5000, 10, Colors(2));
    gif.RawFrame(0, 0, 4097, 1, 2, CompressIndexes(std::vector<BYTE>(4097, 1), 2));
    gif.Frame(0, 0, 4096, 1, std::vector<BYTE>(4096, 1), 2);
    for (int i = 0; i < 70; ++i)
        gif.Frame(0, 0, 1, 1, {1}, 2);
    ASSERT_EQ(CGifDecoder::kMaxFrames, Load(gif.Trailer()));
    EXPECT_EQ(4096, m_decoder.GetFrame(0)->m_nWidth);
}

TEST_F(GifDecoderTest, FailuresGiveNoFrames)
{
    EXPECT_EQ(0, m_decoder.Load((m_dir.Path() / "missing.gif").c_str()));
    EXPECT_EQ(0, m_decoder.Load(nullptr));
    EXPECT_EQ(0, Load(GifBuilder().Byte('P').Byte('N').Byte('G')));
    // A truncated header, and a file cut inside the frame's data.
    EXPECT_EQ(0, Load(GifBuilder().Byte('G').Byte('I').Byte('F')));
    GifBuilder cut = GifBuilder().Header(4, 4, Colors(4)).Frame(0, 0, 4, 4, Pattern(4, 4, 4), 2);
    std::vector<BYTE> bytes = cut.Bytes();
    bytes.resize(bytes.size() - 2);
    GifBuilder truncated;
    for (BYTE b : bytes)
        truncated.Byte(b);
    EXPECT_EQ(0, Load(truncated));
    // A second load replaces the frames of the first.
    ASSERT_EQ(1, Load(GifBuilder().Header(2, 1, Colors(2)).Frame(0, 0, 2, 1, {1, 0}, 2).Trailer()));
    EXPECT_EQ(1, Load(GifBuilder().Header(3, 1, Colors(2)).Frame(0, 0, 3, 1, {1, 0, 1}, 2).Trailer()));
    EXPECT_EQ(3, m_decoder.GetFrame(0)->m_nWidth);
    EXPECT_EQ(nullptr, m_decoder.GetFrame(1));
}

TEST_F(GifDecoderTest, ReadsWhatImageMagickWrites)
{
    if (!HaveTool("convert"))
        GTEST_SKIP() << "ImageMagick is not installed";
    auto path = m_dir.Path() / "im.gif";
    ASSERT_EQ(0, RunShell("convert -size 61x23 plasma:fractal -seed 3 -colors 16 -interlace GIF '" + path.string() +
                            "' 2>/dev/null"));
    ASSERT_EQ(1, m_decoder.Load(path.c_str()));
    int w = 0, h = 0;
    std::vector<BYTE> rgba;
    ASSERT_TRUE(MagickRgba(path, w, h, rgba));
    const CGifFrame& f = *m_decoder.GetFrame(0);
    ASSERT_EQ(w, f.m_nWidth);
    ASSERT_EQ(h, f.m_nHeight);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const RGBQUAD& c = f.m_pColors[f.m_pPixels[y * f.m_nStride + x]];
            const BYTE* p = &rgba[static_cast<size_t>((y * w + x) * 4)];
            ASSERT_EQ((Rgb{p[0], p[1], p[2]}), (Rgb{c.rgbRed, c.rgbGreen, c.rgbBlue})) << x << "," << y;
        }
}

TEST_F(GifDecoderTest, DrawPaintsTheFrameAtItsPlace)
{
    // A 3x2 frame at (2, 1) of a 6x4 screen: red, green, blue over white.
    std::vector<BYTE> pixels = {0, 1, 2, 2, 1, 0};
    ASSERT_EQ(1, Load(GifBuilder()
                          .Header(6, 4, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 9, 9}})
                          .Frame(2, 1, 3, 2, pixels, 2)
                          .Trailer()));
    const CGifFrame& f = *m_decoder.GetFrame(0);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 6;
    info.bmiHeader.biHeight = -4;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC dc = CreateCompatibleDC(nullptr);
    uint32_t* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    ASSERT_NE(nullptr, bitmap);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int i = 0; i < 24; ++i)
        bits[i] = 0xFFFFFF;
    EXPECT_EQ(2, f.Draw(dc, f.m_nLeft, f.m_nTop));
    const uint32_t rgb[3] = {0xFF0000, 0x00FF00, 0x0000FF};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            bool inside = x >= 2 && x < 5 && y >= 1 && y < 3;
            uint32_t expect = inside ? rgb[pixels[static_cast<size_t>((y - 1) * 3 + x - 2)]] : 0xFFFFFF;
            EXPECT_EQ(expect, bits[y * 6 + x] & 0xFFFFFF) << x << "," << y;
        }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}
