// DIB round trips at every depth, blends, gradients and transparent blits.
#include "GdiTestSurface.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

struct DibBuffer {
    std::vector<unsigned char> header = std::vector<unsigned char>(sizeof(BITMAPINFOHEADER) + 256 * 4);
    BITMAPINFO* Info() { return reinterpret_cast<BITMAPINFO*>(header.data()); }
};

DibBuffer MakeInfo(int width, int height, int bpp)
{
    DibBuffer b;
    BITMAPINFOHEADER& h = b.Info()->bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = WORD(bpp);
    for (int i = 0; bpp <= 8 && i < (1 << bpp); ++i) {
        RGBQUAD q{BYTE(i * 7), BYTE(255 - i), BYTE(i * 3), 0};
        std::memcpy(&b.Info()->bmiColors[i], &q, 4);
    }
    return b;
}

size_t Stride(int width, int bpp) { return ((size_t(width) * bpp + 31) / 32) * 4; }

} // namespace

TEST(Dib, RoundTripsAtEveryDepthBothOrientations)
{
    const int w = 5, h = 3;
    for (int bpp : {1, 4, 8, 24, 32}) {
        for (int sign : {1, -1}) {
            DibBuffer info = MakeInfo(w, sign * h, bpp);
            std::vector<unsigned char> bits(Stride(w, bpp) * h);
            for (size_t i = 0; i < bits.size(); ++i)
                bits[i] = (unsigned char)(i * 37 + 11);
            // Padding bits beyond the width are not pixels: clear them for comparison.
            for (int y = 0; y < h; ++y) {
                unsigned char* row = bits.data() + Stride(w, bpp) * y;
                int used = (w * bpp + 7) / 8;
                std::memset(row + used, 0, Stride(w, bpp) - used);
                if ((w * bpp) % 8)
                    row[used - 1] &= (unsigned char)(0xFF << (8 - (w * bpp) % 8));
            }
            // Into a 32-bit surface and back out at the same depth.
            TestSurface s(w, h);
            ASSERT_EQ(SetDIBitsToDevice(s.Dc(), 0, 0, w, h, 0, 0, 0, h, bits.data(), info.Info(), DIB_RGB_COLORS), h);
            DibBuffer out = MakeInfo(w, sign * h, bpp);
            std::vector<unsigned char> back(bits.size());
            HGDIOBJ old = SelectObject(s.Dc(), GetStockObject(WHITE_BRUSH)); // keep the DC valid
            // Read through a DIB section of that depth with the same colours.
            void* sectionBits = nullptr;
            HBITMAP section = CreateDIBSection(s.Dc(), info.Info(), DIB_RGB_COLORS, &sectionBits, nullptr, 0);
            ASSERT_NE(section, nullptr);
            HDC mem = CreateCompatibleDC(s.Dc());
            HGDIOBJ oldBitmap = SelectObject(mem, section);
            BitBlt(mem, 0, 0, w, h, s.Dc(), 0, 0, SRCCOPY);
            SelectObject(mem, oldBitmap); // writes the pixels back to the bits
            EXPECT_EQ(std::memcmp(sectionBits, bits.data(), bits.size()), 0) << bpp << " bits, sign " << sign;
            ASSERT_EQ(GetDIBits(s.Dc(), section, 0, h, back.data(), out.Info(), DIB_RGB_COLORS), h);
            EXPECT_EQ(back, bits) << bpp << " bits, sign " << sign;
            if (bpp <= 8) {
                EXPECT_EQ(std::memcmp(out.Info()->bmiColors, info.Info()->bmiColors, 4u << bpp), 0);
            }
            DeleteDC(mem);
            DeleteObject(section);
            SelectObject(s.Dc(), old);
        }
    }
}

TEST(Dib, BottomUpRowsAndSourceOrigin)
{
    // A 1x2 bottom-up DIB: the first row in memory is the bottom row.
    DibBuffer info = MakeInfo(1, 2, 32);
    uint32_t bits[2] = {0x00FF0000, 0x000000FF};
    TestSurface s(1, 2);
    SetDIBitsToDevice(s.Dc(), 0, 0, 1, 2, 0, 0, 0, 2, bits, info.Info(), DIB_RGB_COLORS);
    EXPECT_EQ(s.Pixel(0, 0), 0x0000FFu);
    EXPECT_EQ(s.Pixel(0, 1), 0xFF0000u);
    // StretchDIBits doubles it and reports the source height.
    TestSurface big(2, 4);
    EXPECT_EQ(StretchDIBits(big.Dc(), 0, 0, 2, 4, 0, 0, 1, 2, bits, info.Info(), DIB_RGB_COLORS, SRCCOPY), 2);
    EXPECT_EQ(big.Pixel(1, 1), 0x0000FFu);
    EXPECT_EQ(big.Pixel(0, 3), 0xFF0000u);
    // Bad headers are refused.
    info.Info()->bmiHeader.biBitCount = 7;
    EXPECT_EQ(SetDIBitsToDevice(s.Dc(), 0, 0, 1, 2, 0, 0, 0, 2, bits, info.Info(), DIB_RGB_COLORS), 0);
}

TEST(Dib, GetDIBitsDescribesTheBitmap)
{
    TestSurface s(3, 2);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    EXPECT_EQ(GetDIBits(s.Dc(), s.Bitmap(), 0, 0, nullptr, &info, DIB_RGB_COLORS), 1);
    EXPECT_EQ(info.bmiHeader.biWidth, 3);
    EXPECT_EQ(info.bmiHeader.biHeight, -2);
    EXPECT_EQ(info.bmiHeader.biBitCount, 32);
    EXPECT_EQ(info.bmiHeader.biSizeImage, 24u);
    DIBSECTION ds{};
    EXPECT_EQ(GetObject(s.Bitmap(), sizeof ds, &ds), int(sizeof ds));
    EXPECT_NE(ds.dsBm.bmBits, nullptr);
    BITMAP bm{};
    EXPECT_EQ(GetObject(s.Bitmap(), sizeof bm, &bm), int(sizeof bm));
    EXPECT_EQ(bm.bmWidthBytes, 12);
}

TEST(Blend, AlphaBlendValues)
{
    struct Case {
        uint32_t src;   // premultiplied source pixel with alpha
        BYTE constant;
        BYTE format;
        uint32_t dst;
        uint32_t expect;
    };
    const Case cases[] = {
        {0x80800000, 255, AC_SRC_ALPHA, 0x000000FF, 0x8080007F}, // half-transparent red over blue
        {0xFF00FF00, 255, AC_SRC_ALPHA, 0x00FF0000, 0xFF00FF00}, // opaque source replaces
        {0x00000000, 255, AC_SRC_ALPHA, 0x00123456, 0x00123456}, // transparent keeps
        {0x00FFFFFF, 128, 0, 0x00000000, 0x00808080},            // constant alpha only
        {0xFF0000FF, 128, AC_SRC_ALPHA, 0x00FF0000, 0x807F0080}, // both
    };
    for (const Case& c : cases) {
        TestSurface src(1, 1), dst(1, 1);
        src.SetRaw(0, 0, c.src);
        dst.SetRaw(0, 0, c.dst);
        BLENDFUNCTION bf{AC_SRC_OVER, 0, c.constant, c.format};
        EXPECT_TRUE(AlphaBlend(dst.Dc(), 0, 0, 1, 1, src.Dc(), 0, 0, 1, 1, bf));
        EXPECT_EQ(dst.Raw(0, 0), c.expect) << std::hex << c.src << " " << int(c.constant);
    }
    TestSurface src(2, 2), dst(2, 2);
    BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    EXPECT_FALSE(AlphaBlend(dst.Dc(), 0, 0, 2, 2, src.Dc(), 1, 1, 2, 2, bf)) << "source outside its bitmap";
}

TEST(Blend, GradientEndColoursBothDirections)
{
    for (ULONG mode : {ULONG(GRADIENT_FILL_RECT_H), ULONG(GRADIENT_FILL_RECT_V)}) {
        TestSurface s(10, 10);
        TRIVERTEX v[2] = {{0, 0, 0, 0, 0, 0}, {10, 10, 0xFF00, 0xFF00, 0xFF00, 0}};
        GRADIENT_RECT r{0, 1};
        EXPECT_TRUE(GradientFill(s.Dc(), v, 2, &r, 1, mode));
        bool h = mode == GRADIENT_FILL_RECT_H;
        EXPECT_EQ(s.Pixel(0, 0), 0u);
        EXPECT_EQ(h ? s.Pixel(9, 5) : s.Pixel(5, 9), 0xE5E5E5u) << "229: nine tenths of the way";
        EXPECT_EQ(h ? s.Pixel(9, 0) : s.Pixel(0, 9), h ? s.Pixel(9, 9) : s.Pixel(9, 9));
        EXPECT_EQ(h ? s.Pixel(0, 9) : s.Pixel(9, 0), 0u) << "constant across the other direction";
    }
    TestSurface s(2, 2);
    TRIVERTEX v[2] = {{0, 0, 0, 0, 0, 0}, {2, 2, 0, 0, 0, 0}};
    GRADIENT_RECT bad{0, 5};
    EXPECT_FALSE(GradientFill(s.Dc(), v, 2, &bad, 1, GRADIENT_FILL_RECT_H));
}

TEST(Blend, TransparentBltSkipsTheKeyColour)
{
    TestSurface src(2, 1, RGB(255, 0, 255));
    SetPixel(src.Dc(), 1, 0, RGB(1, 2, 3));
    TestSurface dst(4, 2, RGB(0, 0, 0));
    EXPECT_TRUE(TransparentBlt(dst.Dc(), 0, 0, 4, 2, src.Dc(), 0, 0, 2, 1, RGB(255, 0, 255)));
    EXPECT_EQ(dst.Rows(0x010203), "..##\n..##\n");
}

TEST(Blend, WideRowsBlendLikeSinglePixels)
{
    // Rows are blended several pixels at a time; every pixel must come out as
    // it does alone, including sources whose colour exceeds their alpha.
    const int n = 11;
    uint32_t src[n], dst[n];
    for (int i = 0; i < n; ++i) {
        src[i] = uint32_t(i * 0x9E3779B9u) ^ 0x5A5A5A5Au;
        dst[i] = uint32_t(i * 0x85EBCA6Bu) ^ 0x00C0FFEEu;
    }
    for (BYTE constant : {BYTE(255), BYTE(77)}) {
        BLENDFUNCTION bf{AC_SRC_OVER, 0, constant, AC_SRC_ALPHA};
        TestSurface s(n, 1), d(n, 1);
        for (int i = 0; i < n; ++i) {
            s.SetRaw(i, 0, src[i]);
            d.SetRaw(i, 0, dst[i]);
        }
        AlphaBlend(d.Dc(), 0, 0, n, 1, s.Dc(), 0, 0, n, 1, bf);
        for (int i = 0; i < n; ++i) {
            TestSurface one(1, 1), target(1, 1);
            one.SetRaw(0, 0, src[i]);
            target.SetRaw(0, 0, dst[i]);
            AlphaBlend(target.Dc(), 0, 0, 1, 1, one.Dc(), 0, 0, 1, 1, bf);
            EXPECT_EQ(d.Raw(i, 0), target.Raw(0, 0)) << i << " constant " << int(constant);
        }
    }
}

// A DIB section below 32 bits selected into a memory DC, as the toolkit uses
// them: it draws and reads the bits at once, without deselecting.
class SelectedSection {
public:
    explicit SelectedSection(int bpp, int width = 4, int height = 2)
    {
        DibBuffer info = MakeInfo(width, -height, bpp);
        if (bpp == 8) {
            // Index 0 black, 1 red, 2 white; the rest far from all three.
            const RGBQUAD table[3] = {{0, 0, 0, 0}, {0, 0, 255, 0}, {255, 255, 255, 0}};
            for (int i = 0; i < 256; ++i) {
                RGBQUAD q = i < 3 ? table[i] : RGBQUAD{0, 128, 0, 0};
                std::memcpy(&info.Info()->bmiColors[i], &q, 4);
            }
        }
        m_stride = Stride(width, bpp);
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(m_dc, info.Info(), DIB_RGB_COLORS, &m_bits, nullptr, 0);
        m_old = SelectObject(m_dc, m_bitmap);
    }
    ~SelectedSection()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    HDC Dc() const { return m_dc; }
    unsigned char* Row(int y) const { return static_cast<unsigned char*>(m_bits) + m_stride * size_t(y); }

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    void* m_bits = nullptr;
    size_t m_stride = 0;
};

TEST(Dib, SelectedSectionBitsAreCurrentAfterEveryCall)
{
    SelectedSection s(24);
    RECT r{1, 0, 3, 1};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(s.Dc(), &r, red);
    const unsigned char redBgr[3] = {0, 0, 255}, blackBgr[3] = {0, 0, 0};
    EXPECT_EQ(std::memcmp(s.Row(0) + 3, redBgr, 3), 0) << "the fill is in the bits at once";
    EXPECT_EQ(std::memcmp(s.Row(0), blackBgr, 3), 0);
    // Every kind of drawing call: pixels, lines, text and blits.
    SetPixel(s.Dc(), 0, 1, RGB(1, 2, 3));
    EXPECT_EQ(s.Row(1)[0], 3);
    EXPECT_EQ(s.Row(1)[2], 1);
    HGDIOBJ oldPen = SelectObject(s.Dc(), GetStockObject(WHITE_PEN));
    MoveToEx(s.Dc(), 1, 1, nullptr);
    LineTo(s.Dc(), 4, 1);
    EXPECT_EQ(s.Row(1)[3], 255);
    EXPECT_EQ(s.Row(1)[9], 255);
    SelectObject(s.Dc(), oldPen);
    TestSurface green(4, 2, RGB(0, 255, 0));
    BitBlt(s.Dc(), 0, 0, 1, 1, green.Dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(s.Row(0)[1], 255);
    EXPECT_TRUE(GdiFlush());
    DeleteObject(red);
}

TEST(Dib, CallerWritesToSelectedSectionBitsAreSeen)
{
    SelectedSection s(24);
    s.Row(0)[3] = 0x40; // pixel (1, 0) blue 0x40
    EXPECT_EQ(GetPixel(s.Dc(), 1, 0), RGB(0, 0, 0x40));
    // Drawing elsewhere keeps what the caller wrote.
    PatBlt(s.Dc(), 0, 1, 4, 1, WHITENESS);
    EXPECT_EQ(s.Row(0)[3], 0x40);
    // And a blit from the section reads it.
    TestSurface out(4, 2);
    s.Row(0)[0] = 0x11;
    BitBlt(out.Dc(), 0, 0, 2, 1, s.Dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(out.Pixel(0, 0), 0x000011u);
    EXPECT_EQ(out.Pixel(1, 0), 0x000040u);
}

TEST(Dib, SectionsDrawOnWhatTheirFormatHolds)
{
    // 8 bits: a drawn colour becomes the nearest table entry, in the bits and
    // for the next call.
    SelectedSection pal(8);
    SetPixel(pal.Dc(), 0, 0, RGB(250, 10, 10));
    SetPixel(pal.Dc(), 1, 0, RGB(240, 240, 240));
    EXPECT_EQ(pal.Row(0)[0], 1);
    EXPECT_EQ(pal.Row(0)[1], 2);
    EXPECT_EQ(GetPixel(pal.Dc(), 0, 0), RGB(255, 0, 0));
    // 16 bits (5-5-5): the low bits of each channel are dropped.
    SelectedSection hi(16);
    SetPixel(hi.Dc(), 0, 0, RGB(0xFF, 0x0F, 0x80));
    uint16_t v = uint16_t(hi.Row(0)[0] | (hi.Row(0)[1] << 8));
    EXPECT_EQ(v, uint16_t((0x1F << 10) | (0x01 << 5) | 0x10));
    COLORREF back = GetPixel(hi.Dc(), 0, 0);
    EXPECT_EQ(GetRValue(back), 0xFF);
    EXPECT_EQ(GetGValue(back), 0x08) << "the next call sees the 5-bit green";
}
