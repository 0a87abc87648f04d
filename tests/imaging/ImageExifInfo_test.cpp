#include "imaging/ImageExifInfo.h"

#include "tests/imaging/ImagingTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using tavrin::test::ExifBuilder;
using tavrin::test::JpegHead;
using tavrin::test::MemoryStream;

struct Decoded {
    bool ok;
    ImageExifBlock block;
    std::string error;
};

Decoded DecodeHead(const std::string& jpeg, int mode = CImageExifInfo::READ_EXIF)
{
    ImageExifBlock block{};
    CImageExifInfo reader(&block);
    MemoryStream stream(jpeg);
    bool ok = reader.DecodeExif(stream, mode);
    return Decoded{ok, block, reader.GetLastError()};
}

Decoded DecodeExifSegment(const std::string& content)
{
    return DecodeHead(JpegHead({{0xE1, content}}));
}

TEST(ExifReader, WithoutExifSegment)
{
    Decoded d = DecodeHead(JpegHead({{0xE0, std::string("JFIF\0\1\1\0\0\1\0\1\0\0", 14)}}, 321, 123));
    EXPECT_TRUE(d.ok);
    EXPECT_FALSE(d.block.isExif);
    EXPECT_EQ(d.block.xResolution, 0);
    EXPECT_EQ(d.block.resolutionUnit, 0);
    EXPECT_EQ(d.block.width, 321);
    EXPECT_EQ(d.block.height, 123);
    EXPECT_EQ(d.block.isColor, 1);
    EXPECT_EQ(d.block.process, 0xC0);
}

TEST(ExifReader, ResolutionsAndUnitsInBothByteOrders)
{
    const struct { bool motorola; LONG num, den; WORD unit; float xres, inches; } cases[] = {
        {true, 300, 1, 2, 300.0f, 1.0f},
        {false, 300, 1, 2, 300.0f, 1.0f},
        {false, 72, 1, 1, 72.0f, 1.0f},
        {false, 118, 1, 3, 118.0f, 0.3937007784843445f},
        {true, 2835, 100, 3, 28.35f, 0.3937007784843445f},
        {true, 5, 1, 4, 5.0f, 0.03937007859349251f},
        {false, 5, 1, 5, 5.0f, 3.937007932108827e-05f},
        {false, 5, 0, 2, 0.0f, 1.0f},  // zero denominator
        {false, 72, 1, 9, 72.0f, 0.0f}, // unknown unit: unchanged
    };
    for (auto c : cases) {
        SCOPED_TRACE(testing::Message() << c.motorola << " " << c.num << "/" << c.den << " unit " << c.unit);
        ExifBuilder exif(c.motorola);
        exif.Rational(0, 0x011A, c.num, c.den);
        exif.Rational(0, 0x011B, c.num, c.den);
        exif.Short(0, 0x0128, c.unit);
        Decoded d = DecodeExifSegment(exif.Build());
        ASSERT_TRUE(d.ok);
        EXPECT_TRUE(d.block.isExif);
        EXPECT_FLOAT_EQ(d.block.xResolution, c.xres);
        EXPECT_FLOAT_EQ(d.block.yResolution, c.xres);
        EXPECT_EQ(d.block.resolutionUnit, c.inches);
    }
}

// Floats and doubles that are no usable number read as absent (0).
TEST(ExifReader, NonFiniteAndHugeNumbersAreAbsent)
{
    const struct { WORD format; std::string bytes; } cases[] = {
        {11, std::string("\x7F\xC0\x00\x00", 4)},                  // float NaN
        {11, std::string("\x7F\x80\x00\x00", 4)},                  // float infinity
        {12, std::string("\x7F\xF8\x00\x00\x00\x00\x00\x00", 8)},  // double NaN
        {12, std::string("\x7E\x37\xE4\x3C\x88\x00\x75\x9C", 8)},  // double 1e300
    };
    for (const auto& c : cases) {
        ExifBuilder exif(true);
        exif.Raw(0, 0x011A, c.format, 1, c.bytes);
        exif.Raw(1, 0x920A, c.format, 1, c.bytes);
        exif.Raw(1, 0x9201, c.format, 1, c.bytes);
        Decoded d = DecodeExifSegment(exif.Build());
        EXPECT_TRUE(d.ok) << c.format;
        EXPECT_EQ(d.block.xResolution, 0.0f) << c.format;
        EXPECT_EQ(d.block.focalLength, 0.0f) << c.format;
        EXPECT_TRUE(std::isfinite(d.block.exposureTime)) << c.format;
    }
}

TEST(ExifReader, CameraTags)
{
    ExifBuilder exif(true);
    exif.Ascii(0, 0x010F, "Maker");
    exif.Ascii(0, 0x0110, std::string(60, 'M')); // longer than the field, no NUL
    exif.Short(0, 0x0112, 6);
    exif.Ascii(0, 0x9003, "2005:01:02 03:04:05");
    exif.Raw(1, 0x9000, 7, 4, "0220");
    exif.Short(1, 0x8827, 2);
    exif.Rational(1, 0x829D, 28, 10);
    exif.Rational(1, 0x9201, 8, 1);
    exif.Short(1, 0x9209, 0x19);
    exif.Rational(1, 0x920A, 63, 10);
    exif.Long(1, 0xA002, 2048);
    exif.Long(1, 0xA003, 1536);
    exif.Rational(1, 0xA20E, 2048, 1);
    exif.Short(1, 0xA210, 2);
    exif.Raw(1, 0x9286, 7, 20, std::string("ASCII\0\0\0Hello   ", 16) + "    ");
    Decoded d = DecodeExifSegment(exif.Build());
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_TRUE(d.block.isExif);
    EXPECT_STREQ(d.block.cameraMake, "Maker");
    EXPECT_EQ(std::string(d.block.cameraModel), std::string(39, 'M'));
    EXPECT_EQ(d.block.orientation, 6);
    EXPECT_STREQ(d.block.dateTime, "2005:01:02 03:04:05");
    EXPECT_STREQ(d.block.version, "0220");
    EXPECT_EQ(d.block.isoEquivalent, 400); // below 50: times 200
    EXPECT_FLOAT_EQ(d.block.apertureFNumber, 2.8f);
    EXPECT_FLOAT_EQ(d.block.exposureTime, 1.0f / 256);
    EXPECT_EQ(d.block.flashUsed, 1);
    EXPECT_FLOAT_EQ(d.block.focalLength, 6.3f);
    EXPECT_FLOAT_EQ(d.block.ccdWidth, 1.0f); // 1 inch / 2048 per inch x 2048 pixels
    EXPECT_STREQ(d.block.comments, "Hello");
}

TEST(ExifReader, OrientationOutOfRangeStillCountsAsExif)
{
    ExifBuilder exif(false);
    exif.Short(0, 0x0112, 9);
    exif.Rational(0, 0x011A, 72, 1);
    Decoded d = DecodeExifSegment(exif.Build());
    EXPECT_TRUE(d.block.isExif);
    EXPECT_EQ(d.block.orientation, 0);
    EXPECT_EQ(d.error, "Undefined rotation value");
}

// Hostile segments: each must end as "no EXIF" without reading outside.
TEST(ExifReader, HostileSegmentsMeanNoExif)
{
    ExifBuilder base(false);
    base.Rational(0, 0x011A, 72, 1);
    base.Short(0, 0x0128, 2);
    base.Long(1, 0xA002, 10);
    const std::string good = base.Build();
    const size_t count = ExifBuilder::kIfd0;           // IFD0 entry count
    const size_t entry0 = count + 2;                   // first entry
    const size_t link = entry0 + 12 * 3;               // IFD0 next link (3 entries)
    const size_t sub = 6 + 8 + 2 + 12 * 3 + 4;         // the sub-directory

    auto patch = [&](size_t at, const std::string& bytes) {
        std::string s = good;
        s.replace(at, bytes.size(), bytes);
        return s;
    };
    const struct { const char* name; std::string content; const char* error; } cases[] = {
        {"short header", std::string("Exif\0\0II", 8), "Incorrect Exif header"},
        {"bad header", "Exif!!" + good.substr(6), "Incorrect Exif header"},
        {"bad alignment", patch(6, "IM"), "Invalid Exif alignment marker."},
        {"not 42", patch(8, base.U16(43)), "Invalid Exif start (1)"},
        {"count past end", patch(count, base.U16(0x4000)), "Illegally sized directory"},
        {"format 13", patch(entry0 + 2, base.U16(13)), "Illegal format code in EXIF dir"},
        {"format 0", patch(entry0 + 2, base.U16(0)), "Illegal format code in EXIF dir"},
        {"value offset past end", patch(entry0 + 8, base.U32(0xFFFFFFF0u)), "Illegal pointer offset value in EXIF."},
        {"huge component count", patch(entry0 + 4, base.U32(0x40000000u)), "Illegal pointer offset value in EXIF."},
        {"next link past end", patch(link, base.U32(0x7FFFFFFFu)), "Illegal subdirectory link"},
        {"next link to itself", patch(link, base.U32(8)), "Illegal subdirectory link"},
        {"sub-directory links back", patch(sub + 2 + 12, base.U32(8)), "Illegal subdirectory link"},
        {"first directory past end", patch(10, base.U32(0xFFFFFF00u)), "Illegally sized directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Decoded d = DecodeExifSegment(c.content);
        EXPECT_FALSE(d.block.isExif);
        EXPECT_EQ(d.error, c.error);
    }
    EXPECT_TRUE(DecodeExifSegment(good).block.isExif);
}

TEST(ExifReader, DeepAndSharedDirectoryChains)
{
    // 40 directories, each linking to the next: deeper than any real file.
    ExifBuilder exif(false);
    std::string content = exif.Build(); // empty IFD0 with a zero link
    std::string tiff = content.substr(6, 8);
    for (int i = 0; i < 40; ++i) {
        DWORD next = i + 1 < 40 ? static_cast<DWORD>(8 + 6 * (i + 1)) : 0;
        tiff += exif.U16(0) + exif.U32(next);
    }
    Decoded d = DecodeExifSegment(std::string("Exif\0\0", 6) + tiff);
    EXPECT_FALSE(d.block.isExif);
    EXPECT_EQ(d.error, "Illegal subdirectory link");
}

TEST(ExifReader, MarkerStructure)
{
    // Twenty-one segments before the scan.
    std::vector<std::pair<int, std::string>> many(21, {0xE5, "x"});
    EXPECT_EQ(DecodeHead(JpegHead(many)).error, "Too many sections in jpg file");

    // Not a JPEG, an early end of image, a bad length, a cut segment.
    EXPECT_FALSE(DecodeHead("GIF89a").ok);
    // Nothing is printed: the reason is the error text.
    EXPECT_FALSE(DecodeHead(std::string("\xFF\xD8\xFF\xD9", 4)).ok);
    testing::internal::CaptureStdout();
    Decoded noImage = DecodeHead(std::string("\xFF\xD8\xFF\xD9\x00\x02", 6));
    Decoded padded = DecodeHead(std::string("\xFF\xD8\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xE1", 10));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_FALSE(noImage.ok);
    EXPECT_EQ(noImage.error, "No image in jpeg!");
    EXPECT_FALSE(padded.ok);
    EXPECT_EQ(padded.error, "too many padding bytes");
    EXPECT_EQ(DecodeHead(std::string("\xFF\xD8\xFF\xE1\x00\x01", 6)).error, "invalid marker");
    EXPECT_EQ(DecodeHead(std::string("\xFF\xD8\xFF\xE1\x00\x40" "Exif", 10)).error, "Premature end of file?");
    // The file ends where a marker or its length should be.
    EXPECT_EQ(DecodeHead(std::string("\xFF\xD8\xFF", 3)).error, "invalid marker");
    EXPECT_EQ(DecodeHead(std::string("\xFF\xD8\xFF\xE1", 4)).error, "invalid marker");
    EXPECT_EQ(DecodeHead(std::string("\xFF\xD8\xFF\xE1\x01", 5)).error, "invalid marker");
    // A frame header too short to hold its sizes is kept but not read.
    Decoded shortFrame = DecodeHead(std::string("\xFF\xD8\xFF\xC0\x00\x04\x08\x01\xFF\xDA\x00\x02", 12));
    EXPECT_TRUE(shortFrame.ok);
    EXPECT_EQ(shortFrame.block.width, 0);
}

TEST(ExifReader, CommentSegment)
{
    std::string text = "Line one\r\nTab\there\x01\x80" + std::string(1200, 'z');
    Decoded d = DecodeHead(JpegHead({{0xFE, text}, {0xFE, "second"}}));
    ASSERT_TRUE(d.ok);
    std::string comments = d.block.comments;
    EXPECT_EQ(comments.substr(0, 21), "Line one\nTab\there??zz");
    EXPECT_EQ(comments.size(), 997u); // the first 1000 bytes of the section, less the length and the CR

    // A CR as the last byte kept is still dropped when an LF follows it.
    std::string edge(997, 'a');
    edge += "\r\nbbb";
    Decoded cut = DecodeHead(JpegHead({{0xFE, edge}}));
    ASSERT_TRUE(cut.ok);
    EXPECT_EQ(std::string(cut.block.comments), std::string(997, 'a'));
}

TEST(ExifReader, SectionsDiscardAndWriteBack)
{
    ExifBuilder exif(true);
    exif.Rational(0, 0x011A, 300, 1);
    std::string jpeg = JpegHead({{0xE0, "JFIF"}, {0xE1, exif.Build()}, {0xFE, "note"}, {0xE5, "app5"}});
    CImageExifInfo reader;
    MemoryStream in(jpeg);
    ASSERT_TRUE(reader.DecodeExif(in, CImageExifInfo::READ_EXIF | CImageExifInfo::READ_IMAGE));
    // APP0 dropped; APP1, COM, APP5, SOF, SOS and the image data kept.
    ASSERT_EQ(reader.GetSectionCount(), 6);
    EXPECT_EQ(reader.GetSection(0).type, 0xE1);
    EXPECT_EQ(reader.GetSection(5).type, CImageExifInfo::IMAGE_DATA_MARKER);
    EXPECT_EQ(reader.GetSection(5).size, 4u);
    EXPECT_NE(reader.FindSection(0xDA), nullptr);
    EXPECT_EQ(reader.FindSection(CImageExifInfo::IMAGE_DATA_MARKER), nullptr);

    MemoryStream out;
    ASSERT_TRUE(reader.EncodeExif(out));
    std::string expected = JpegHead({{0xE1, exif.Build()}, {0xFE, "note"}, {0xE5, "app5"}});
    EXPECT_EQ(out.Bytes(), expected);

    reader.DiscardAllButExif();
    ASSERT_EQ(reader.GetSectionCount(), 2);
    EXPECT_EQ(reader.GetSection(0).type, 0xE1);
    EXPECT_EQ(reader.GetSection(1).type, 0xFE);
    MemoryStream none;
    EXPECT_FALSE(reader.EncodeExif(none));
    EXPECT_STREQ(reader.GetLastError(), "Can't write exif : didn't read all");

    // Without an APP0 or APP1 first, a JFIF header is written.
    CImageExifInfo plain;
    MemoryStream in2(JpegHead({}));
    ASSERT_TRUE(plain.DecodeExif(in2, CImageExifInfo::READ_IMAGE));
    MemoryStream out2;
    ASSERT_TRUE(plain.EncodeExif(out2));
    EXPECT_EQ(out2.Bytes().substr(2, 18), std::string("\xFF\xE0\x00\x10JFIF\x00\x01\x01\x01\x01\x2C\x01\x2C\x00\x00", 18));
}

TEST(ExifReader, TwentySectionsAndTheImageDataStayInTheArray)
{
    // Nineteen segments and the scan fill the array; the image data has no room.
    std::vector<std::pair<int, std::string>> many(18, {0xE5, "x"});
    CImageExifInfo reader;
    MemoryStream in(JpegHead(many));
    EXPECT_FALSE(reader.DecodeExif(in, CImageExifInfo::READ_IMAGE));
    EXPECT_STREQ(reader.GetLastError(), "Too many sections in jpg file");
}

} // namespace
