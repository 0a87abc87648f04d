#include "imaging/ImageJpeg.h"

#include "imaging/ImageIOFile.h"
#include "tests/imaging/ImagingTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace {

using namespace tavrin::test;

class JpegTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(RunCommand("command -v cjpeg >/dev/null && command -v djpeg >/dev/null"))
            << "cjpeg and djpeg are needed (scripts/setup installs libjpeg-turbo-progs)";
    }
    std::string PathOf(const std::string& name) { return (m_dir.Path() / name).string(); }
    std::string Write(const std::string& name, const std::string& bytes) { return m_dir.Write(name, bytes).string(); }
    std::string MakeJpeg(const std::string& options, int w = 61, int h = 47)
    {
        std::string jpeg = Cjpeg(TestPicture(w, h), options, m_dir.Path());
        EXPECT_FALSE(jpeg.empty()) << options;
        return jpeg;
    }

    TempDir m_dir;
};

// Decoded pixels equal the library's own command-line decoder byte for byte.
TEST_F(JpegTest, DecodesAsDjpegDoes)
{
    const struct { const char* name; const char* options; WORD bpp; } cases[] = {
        {"4:4:4", "-sample 1x1", 24},
        {"4:2:0", "-sample 2x2", 24},
        {"grey", "-grayscale", 8},
        {"progressive", "-progressive", 24},
        {"restart markers", "-restart 1 -sample 2x1", 24},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string jpeg = MakeJpeg(c.options);
        Pnm expected;
        ASSERT_TRUE(Djpeg(jpeg, m_dir.Path(), expected));
        CImageObj image;
        ASSERT_TRUE(image.Load(Write("in.jpg", jpeg).c_str(), IMAGE_TYPE_JPEG)) << image.GetLastError();
        EXPECT_EQ(image.GetBpp(), c.bpp);
        EXPECT_EQ(image.GetType(), IMAGE_TYPE_JPEG);
        if (c.bpp == 8) {
            EXPECT_EQ(image.GetNumColors(), 256u);
            EXPECT_TRUE(image.IsGrayScale());
        }
        Pnm got = ImagePixels(image);
        EXPECT_EQ(got.width, expected.width);
        EXPECT_EQ(got.height, expected.height);
        EXPECT_EQ(got.channels, expected.channels);
        EXPECT_TRUE(got.pixels == expected.pixels);
    }
}

TEST_F(JpegTest, TruncatedFileDecodesWhatTheLibraryProduces)
{
    std::string jpeg = MakeJpeg("-sample 2x2", 96, 80);
    std::string cut = jpeg.substr(0, jpeg.size() / 2);
    Pnm expected;
    ASSERT_TRUE(Djpeg(cut, m_dir.Path(), expected));
    CImageObj image;
    // The library's warning about the missing data is not printed.
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    bool loaded = image.Load(Write("cut.jpg", cut).c_str(), IMAGE_TYPE_JPEG);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_TRUE(loaded) << image.GetLastError();
    EXPECT_TRUE(ImagePixels(image).pixels == expected.pixels);
}

TEST_F(JpegTest, EmptyAndForeignFiles)
{
    CImageObj image;
    EXPECT_FALSE(image.Load(Write("empty.jpg", "").c_str(), IMAGE_TYPE_JPEG));
    EXPECT_STREQ(image.GetLastError(), "Empty input file");
    EXPECT_FALSE(image.IsValid());

    // The named format's error wins over "unknown format".
    std::string text = Write("notes.jpg", "just some text\n");
    EXPECT_FALSE(image.Load(text.c_str(), IMAGE_TYPE_JPEG));
    EXPECT_NE(std::string(image.GetLastError()).find("Not a JPEG file"), std::string::npos) << image.GetLastError();
    EXPECT_FALSE(image.Load(text.c_str(), IMAGE_TYPE_ANY));
    EXPECT_STREQ(image.GetLastError(), "Decode: Unknown or wrong format");

    EXPECT_FALSE(image.Load(PathOf("missing.jpg").c_str(), IMAGE_TYPE_JPEG));
    EXPECT_EQ(image.GetWidth(), 0u);
}

TEST_F(JpegTest, FailedLoadKeepsTheImage)
{
    CImageObj image;
    ASSERT_TRUE(image.Load(Write("a.jpg", MakeJpeg("", 20, 10)).c_str(), IMAGE_TYPE_JPEG));
    BYTE* bits = image.GetBits();
    EXPECT_FALSE(image.Load(Write("b.jpg", "junk").c_str(), IMAGE_TYPE_JPEG));
    EXPECT_EQ(image.GetBits(), bits);
    EXPECT_EQ(image.GetWidth(), 20u);
}

TEST_F(JpegTest, JpegNamedGifLoadsOnTheRetry)
{
    // GIF fails on the signature; the retry as type 0 finds JPEG.
    const struct { const char* options; WORD bpp; } cases[] = {{"", 24}, {"-grayscale", 8}};
    for (auto c : cases) {
        CImageObj image;
        ASSERT_TRUE(image.Load(Write("photo.gif", MakeJpeg(c.options)).c_str(), IMAGE_TYPE_GIF)) << image.GetLastError();
        EXPECT_EQ(image.GetBpp(), c.bpp);
        EXPECT_EQ(image.GetWidth(), 61u);
    }
    // Type 0 tries once: JPEG first.
    CImageObj any;
    EXPECT_TRUE(any.Load(PathOf("photo.gif").c_str(), IMAGE_TYPE_ANY));
    // A broken GIF fails both times; the GIF codec's failure (which has no
    // text) wins over "Decode: Unknown or wrong format".
    CImageObj gif;
    EXPECT_FALSE(gif.Load(Write("real.gif", "GIF89a\x01\x00\x01\x00").c_str(), IMAGE_TYPE_GIF));
    EXPECT_STREQ(gif.GetLastError(), "");
}

TEST_F(JpegTest, JfifDensityBecomesDpi)
{
    std::string jpeg = MakeJpeg("", 16, 16);
    const struct { int unit, x, y; LONG xdpi, ydpi; } cases[] = {
        {2, 38, 38, 97, 97}, {1, 300, 150, 300, 150}, {0, 1, 1, 1, 1}, {1, 0, 0, 96, 96},
    };
    for (auto c : cases) {
        CImageObj image;
        ASSERT_TRUE(image.Load(Write("d.jpg", SetJfifDensity(jpeg, c.unit, c.x, c.y)).c_str(), IMAGE_TYPE_JPEG));
        EXPECT_EQ(image.GetXDPI(), c.xdpi) << c.unit << " " << c.x;
        EXPECT_EQ(image.GetYDPI(), c.ydpi) << c.unit << " " << c.y;
    }
}

TEST_F(JpegTest, ExifResolutionWinsOverJfif)
{
    std::string jpeg = SetJfifDensity(MakeJpeg("", 16, 16), 1, 300, 300);
    const struct { LONG num, den; WORD unit; LONG dpi; } cases[] = {
        {72, 1, 2, 72}, {2835, 100, 3, 72}, {118, 1, 3, 299},
        {0, 1, 2, 96},          // no usable value: the fresh image's 96
        {1, 1000, 2, 96},       // below 1 dpi
        {2000000000, 1, 2, 96}, // beyond 65535
    };
    for (auto c : cases) {
        ExifBuilder exif(c.num % 2 == 0);
        exif.Rational(0, 0x011A, c.num, c.den);
        exif.Rational(0, 0x011B, c.num, c.den);
        exif.Short(0, 0x0128, c.unit);
        CImageObj image;
        std::string path = Write("e.jpg", InsertSegment(jpeg, 0xE1, exif.Build()));
        ASSERT_TRUE(image.Load(path.c_str(), IMAGE_TYPE_JPEG)) << image.GetLastError();
        EXPECT_EQ(image.GetXDPI(), c.dpi) << c.num << "/" << c.den;
        EXPECT_EQ(image.GetYDPI(), c.dpi);
    }
    // A broken EXIF block counts as none: the JFIF density is used.
    std::string broken = ExifBuilder(false).Build();
    broken[ExifBuilder::kIfd0] = 0x7F;
    CImageObj image;
    ASSERT_TRUE(image.Load(Write("b.jpg", InsertSegment(jpeg, 0xE1, broken)).c_str(), IMAGE_TYPE_JPEG));
    EXPECT_EQ(image.GetXDPI(), 300);
}

TEST_F(JpegTest, HugeOrDimensionOnlyHeaders)
{
    std::string huge = SetFrameSize(MakeJpeg("", 16, 16), 60000, 60000);
    CImageObj image;
    EXPECT_FALSE(image.Load(Write("huge.jpg", huge).c_str(), IMAGE_TYPE_JPEG));
    EXPECT_STREQ(image.GetLastError(), "IMAGE_MAX_MEMORY exceeded");

    // The size only: no pixels.
    CImageObj size;
    size.SetEscape(-1);
    ASSERT_TRUE(size.Load(PathOf("huge.jpg").c_str(), IMAGE_TYPE_JPEG));
    EXPECT_EQ(size.GetWidth(), 60000u);
    EXPECT_FALSE(size.IsValid());

    CImageObj scaled;
    scaled.SetJpegScale(4);
    ASSERT_TRUE(scaled.Load(Write("s.jpg", MakeJpeg("", 64, 32)).c_str(), IMAGE_TYPE_JPEG));
    EXPECT_EQ(scaled.GetWidth(), 16u);
    EXPECT_EQ(scaled.GetHeight(), 8u);
}

TEST_F(JpegTest, SavesJfifWithQualityAndDensity)
{
    CImageObj image;
    ASSERT_TRUE(image.Load(Write("in.jpg", MakeJpeg("-sample 1x1", 40, 30)).c_str(), IMAGE_TYPE_JPEG));
    image.SetXDPI(300);
    image.SetYDPI(150);
    std::string out = PathOf("out.jpg");
    ASSERT_TRUE(image.Save(out.c_str(), IMAGE_TYPE_JPEG)) << image.GetLastError();
    std::string bytes = TempDir::Read(out);
    ASSERT_GT(bytes.size(), 20u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\xFF\xD8\xFF\xE0", 4));
    EXPECT_EQ(bytes.substr(6, 5), std::string("JFIF\0", 5));
    EXPECT_EQ(bytes.find(std::string("\xFF\xE1", 2)), std::string::npos); // no EXIF
    EXPECT_EQ(Identify(out, "%Q %x %y %U %[colorspace]"), "90 300 150 PixelsPerInch sRGB");
    std::set<std::string> names; // no temporary file left beside the picture
    for (const auto& e : std::filesystem::directory_iterator(m_dir.Path()))
        names.insert(e.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"cjpeg-in.pnm", "cjpeg-out.jpg", "in.jpg", "out.jpg"}));

    // Decoding the saved file gives the colours back closely.
    Pnm original = ImagePixels(image);
    CImageObj back;
    ASSERT_TRUE(back.Load(out.c_str(), IMAGE_TYPE_JPEG));
    Pnm again = ImagePixels(back);
    ASSERT_EQ(again.pixels.size(), original.pixels.size());
    long diff = 0;
    for (size_t i = 0; i < again.pixels.size(); ++i)
        diff += std::abs(static_cast<unsigned char>(again.pixels[i]) - static_cast<unsigned char>(original.pixels[i]));
    EXPECT_LT(diff / static_cast<long>(again.pixels.size()), 10);
}

TEST_F(JpegTest, GreyRoundTripAndPackedGreyPalettes)
{
    CImageObj grey;
    ASSERT_TRUE(grey.Load(Write("g.jpg", MakeJpeg("-grayscale", 33, 9)).c_str(), IMAGE_TYPE_JPEG));
    std::string out = PathOf("g2.jpg");
    ASSERT_TRUE(grey.Save(out.c_str(), IMAGE_TYPE_JPEG));
    EXPECT_EQ(Identify(out, "%[colorspace]"), "Gray");

    // 1- and 4-bit images whose palette is the grey ramp 0, 1, 2, ...
    for (DWORD bpp : {1u, 4u}) {
        SCOPED_TRACE(bpp);
        CImageObj packed;
        packed.Create(100, 3, bpp, 0);
        DWORD colors = packed.GetNumColors();
        for (DWORD i = 0; i < colors; ++i)
            packed.SetPaletteColor(static_cast<BYTE>(i), RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0});
        ASSERT_TRUE(packed.IsGrayScale());
        for (LONG y = 0; y < 3; ++y)
            for (LONG x = 0; x < 100; ++x)
                packed.SetPixelIndex(x, y, static_cast<BYTE>(x < 50 ? 0 : colors - 1));
        std::string path = PathOf("packed.jpg");
        ASSERT_TRUE(packed.Save(path.c_str(), IMAGE_TYPE_JPEG)) << packed.GetLastError();
        CImageObj back;
        ASSERT_TRUE(back.Load(path.c_str(), IMAGE_TYPE_JPEG));
        EXPECT_EQ(back.GetWidth(), 100u);
        EXPECT_NEAR(back.GetPixelIndex(10, 1), 0, 2);
        EXPECT_NEAR(back.GetPixelIndex(90, 1), colors - 1, 2);
    }
}

TEST_F(JpegTest, SaveFailures)
{
    // A colour palette cannot be written as JPEG; nothing is left behind.
    CImageObj palette;
    palette.Create(4, 4, 8, 0);
    palette.SetGrayPalette();
    palette.SetPaletteColor(3, RGBQUAD{0, 0, 255, 0});
    std::string path = PathOf("p.jpg");
    EXPECT_FALSE(palette.Save(path.c_str(), IMAGE_TYPE_JPEG));
    EXPECT_STREQ(palette.GetLastError(), "JPEG can save only RGB or GreyScale images");
    EXPECT_FALSE(std::filesystem::exists(path));

    CImageObj rgb;
    rgb.Create(4, 4, 24, 0);
    rgb.Clear(0);
    EXPECT_FALSE(rgb.Save(path.c_str(), 3));
    EXPECT_STREQ(rgb.GetLastError(), "Encode: Unknown format");
    EXPECT_FALSE(std::filesystem::exists(path));
    // A file that cannot be written fails with no text of its own.
    rgb.SetLastError("");
    EXPECT_FALSE(rgb.Save(PathOf("no/such/folder/x.jpg").c_str(), IMAGE_TYPE_JPEG));
    EXPECT_STREQ(rgb.GetLastError(), "");

    CImageObj empty;
    EXPECT_FALSE(empty.Save(path.c_str(), IMAGE_TYPE_JPEG));
    EXPECT_STREQ(empty.GetLastError(), "\xCE\xDE\xD0\xA7\xCD\xBC\xC6\xAC\xA3\xA1");
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(empty.EncodeSafeCheck(nullptr) == false);
    EXPECT_STREQ(empty.GetLastError(), "\xCE\xDE\xD0\xA7\xCE\xC4\xBC\xFE\xA3\xA1");

    // A failed write is reported with the library's text.
    MemoryStream full;
    full.FailWrites();
    EXPECT_FALSE(rgb.Encode(full, IMAGE_TYPE_JPEG));
    EXPECT_NE(std::string(rgb.GetLastError()).find("write error"), std::string::npos) << rgb.GetLastError();

    // A failed save keeps the old file.
    std::string old = Write("old.jpg", "old");
    EXPECT_FALSE(empty.Save(old.c_str(), IMAGE_TYPE_JPEG));
    EXPECT_EQ(TempDir::Read(old), "old");
}

TEST_F(JpegTest, CodecWritesBackTheExifItDecoded)
{
    ExifBuilder exif(true);
    exif.Ascii(0, 0x010F, "Maker");
    exif.Rational(0, 0x011A, 180, 1);
    std::string jpeg = InsertSegment(MakeJpeg("", 24, 16), 0xE1, exif.Build());
    CImageJpeg codec;
    MemoryStream in(jpeg);
    ASSERT_TRUE(codec.Decode(in));
    EXPECT_STREQ(codec.GetExifBlock().cameraMake, "Maker");
    MemoryStream out;
    ASSERT_TRUE(codec.Encode(out));
    std::string bytes = out.Bytes();
    EXPECT_EQ(bytes.substr(0, 4), std::string("\xFF\xD8\xFF\xE1", 4));
    Pnm decoded;
    ASSERT_TRUE(Djpeg(bytes, m_dir.Path(), decoded));
    EXPECT_EQ(decoded.width, 24);

    // The dispatch never writes EXIF: it encodes from a fresh codec.
    CImageObj image;
    in.Seek(0, SEEK_SET);
    ASSERT_TRUE(image.Decode(in, IMAGE_TYPE_JPEG));
    MemoryStream plain;
    ASSERT_TRUE(image.Encode(plain, IMAGE_TYPE_JPEG));
    EXPECT_EQ(plain.Bytes().find(std::string("\xFF\xE1", 2)), std::string::npos);
}

TEST_F(JpegTest, ProgramPathsInGbk)
{
    // "\\照片.jpg" in the program's form: GBK, backslash separators.
    std::string gbk = m_dir.Path().string() + "\\\xD5\xD5\xC6\xAC.jpg";
    CImageObj image;
    image.Create(8, 8, 24, 0);
    image.Clear(128);
    ASSERT_TRUE(image.Save(gbk.c_str(), IMAGE_TYPE_JPEG)) << image.GetLastError();
    EXPECT_TRUE(std::filesystem::exists(m_dir.Path() / std::filesystem::path(u8"\u7167\u7247.jpg")));
    CImageObj back;
    ASSERT_TRUE(back.Load(gbk.c_str(), IMAGE_TYPE_JPEG));
    EXPECT_EQ(back.GetWidth(), 8u);
}

TEST_F(JpegTest, CmykDecodesTo24Bits)
{
    auto ppm = m_dir.Path() / "c.ppm";
    auto jpg = m_dir.Path() / "c.jpg";
    m_dir.Write("c.ppm", EncodePnm(TestPicture(20, 10)));
    ASSERT_TRUE(RunCommand("/usr/bin/convert " + Quote(ppm) + " -colorspace CMYK " + Quote(jpg)));
    CImageObj image;
    ASSERT_TRUE(image.Load(jpg.string().c_str(), IMAGE_TYPE_JPEG)) << image.GetLastError();
    EXPECT_EQ(image.GetBpp(), 24);
    EXPECT_EQ(image.GetWidth(), 20u);
}

} // namespace
