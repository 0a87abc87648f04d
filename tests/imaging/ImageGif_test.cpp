#include "imaging/ImageGif.h"

#include "imaging/GifLzw.h"
#include "imaging/ImageIOFile.h"
#include "tests/imaging/GifTestSupport.h"
#include "tests/imaging/ImagingTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>

using namespace tavrin::test;
using tavrin::GIF_COMPRESS_LZW;
using tavrin::GIF_COMPRESS_NONE;
using tavrin::GIF_COMPRESS_RLE;

namespace {

// Reaches the frame attribute, which nothing in the program sets.
class FrameGif : public CImageGif {
public:
    void SetFrame(LONG frame) { m_info.frame = frame; }
    LONG GetFrame() const { return m_info.frame; }
};

std::vector<Rgb> Colors(int n)
{
    std::vector<Rgb> c;
    for (int i = 0; i < n; ++i)
        c.push_back({static_cast<BYTE>(i * 37 + 5), static_cast<BYTE>(i * 11 + 100), static_cast<BYTE>(250 - i)});
    return c;
}

std::vector<BYTE> Pattern(int width, int height, int colors, unsigned seed = 1)
{
    std::mt19937 rng(seed);
    std::vector<BYTE> v(static_cast<size_t>(width * height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            v[static_cast<size_t>(y * width + x)] =
                static_cast<BYTE>((x / 3 + y / 2 + (rng() % 4 == 0 ? rng() : 0)) % static_cast<unsigned>(colors));
    return v;
}

// The indexes of an image, top row first.
std::vector<BYTE> Indexes(const CImageObj& image)
{
    std::vector<BYTE> v;
    for (LONG y = static_cast<LONG>(image.GetHeight()) - 1; y >= 0; --y)
        for (LONG x = 0; x < static_cast<LONG>(image.GetWidth()); ++x)
            v.push_back(image.GetPixelIndex(x, y));
    return v;
}

Rgb ColorAt(const CImageObj& image, LONG x, LONG topY)
{
    RGBQUAD c = image.GetPixelColor(x, static_cast<LONG>(image.GetHeight()) - 1 - topY);
    return {c.rgbRed, c.rgbGreen, c.rgbBlue};
}

bool DecodeBytes(CImageGif& gif, const std::string& bytes)
{
    MemoryStream stream(bytes);
    return gif.Decode(stream);
}

std::string EncodeBytes(CImageObj& image)
{
    MemoryStream stream;
    EXPECT_TRUE(image.Encode(stream, IMAGE_TYPE_GIF)) << image.GetLastError();
    return stream.Bytes();
}

// A palette image with the given indexes (top row first) and colours.
void MakeImage(CImageObj& image, int width, int height, int bpp, const std::vector<BYTE>& indexes,
               const std::vector<Rgb>& colors)
{
    ASSERT_TRUE(image.Create(static_cast<DWORD>(width), static_cast<DWORD>(height), static_cast<DWORD>(bpp),
                             IMAGE_TYPE_GIF));
    for (size_t i = 0; i < colors.size() && i < image.GetNumColors(); ++i)
        image.SetPaletteColor(static_cast<BYTE>(i), RGBQUAD{colors[i].b, colors[i].g, colors[i].r, 0});
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetPixelIndex(x, height - 1 - y, indexes[static_cast<size_t>(y * width + x)]);
}

} // namespace

TEST(ImageGif, OnePixelGoldenBytes)
{
    CImageObj image;
    MakeImage(image, 1, 1, 1, {0}, {{1, 2, 3}, {250, 251, 252}});
    const BYTE expect[] = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 1, 2, 3, 250, 251, 252,
                           0x21, 0xF9, 4, 0, 0, 0, 0xFF, 0, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 1, 0, 0x3B};
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(expect), sizeof expect), EncodeBytes(image));
}

TEST(ImageGif, HeaderFlagsAndControlBlockByBitCount)
{
    for (auto [bpp, flags] : {std::pair{1, 0x80}, std::pair{4, 0xB3}, std::pair{8, 0xF7}}) {
        SCOPED_TRACE(bpp);
        CImageObj image;
        MakeImage(image, 3, 2, bpp, {0, 1, 0, 1, 1, 0}, Colors(2));
        std::string gif = EncodeBytes(image);
        EXPECT_EQ("GIF89a", gif.substr(0, 6));
        EXPECT_EQ(flags, static_cast<BYTE>(gif[10]));
        size_t control = 13 + 3 * (size_t{1} << bpp);
        EXPECT_EQ(std::string("\x21\xF9\x04\x00\x00\x00\xFF\x00", 8), gif.substr(control, 8));
        EXPECT_EQ(',', gif[control + 8]);
        EXPECT_EQ(bpp == 1 ? 2 : bpp, gif[control + 18]);
    }
}

TEST(ImageGif, ControlBlockCarriesTransparencyDelayAndDisposal)
{
    CImageObj source;
    MakeImage(source, 2, 2, 4, {3, 1, 2, 3}, Colors(16));
    source.SetTransIndex(3);
    CImageGif gif;
    gif.Ghost(&source);
    gif.SetDisposalMethod(2);
    gif.SetComment("hello");
    MemoryStream out;
    ASSERT_TRUE(gif.Encode(out));
    const std::string& bytes = out.Bytes();
    size_t control = 13 + 48;
    EXPECT_EQ(std::string("\x21\xF9\x04\x09\x00\x00\x03\x00", 8), bytes.substr(control, 8));
    EXPECT_EQ(std::string("\x21\xFE\x05hello\x00", 9), bytes.substr(control + 8, 9));

    CImageGif back;
    ASSERT_TRUE(DecodeBytes(back, bytes));
    EXPECT_STREQ("hello", back.GetComment());
    EXPECT_EQ(4, back.GetBpp());
    EXPECT_EQ(3, back.GetTransIndex());
    EXPECT_EQ((std::vector<BYTE>{3, 1, 2, 3}), Indexes(back));
}

TEST(ImageGif, RoundTripsAtOneFourAndEightBits)
{
    TempDir dir;
    for (int bpp : {1, 4, 8}) {
        for (int method : {GIF_COMPRESS_LZW, GIF_COMPRESS_NONE, GIF_COMPRESS_RLE}) {
            SCOPED_TRACE(testing::Message() << bpp << " bits, method " << method);
            const int w = 123, h = 77, colors = 1 << bpp;
            auto indexes = Pattern(w, h, colors, static_cast<unsigned>(bpp));
            CImageObj image;
            MakeImage(image, w, h, bpp, indexes, Colors(colors));
            image.SetCodecOption(static_cast<DWORD>(method), IMAGE_TYPE_GIF);
            auto path = (dir.Path() / "r.gif").string();
            ASSERT_TRUE(image.Save(path.c_str(), IMAGE_TYPE_GIF)) << image.GetLastError();
            CImageObj back;
            ASSERT_TRUE(back.Load(path.c_str(), IMAGE_TYPE_GIF)) << back.GetLastError();
            EXPECT_EQ(IMAGE_TYPE_GIF, back.GetType());
            EXPECT_EQ(static_cast<WORD>(bpp), back.GetBpp());
            EXPECT_EQ(-1, back.GetTransIndex());
            EXPECT_EQ(1, back.GetNumFrames());
            EXPECT_EQ(indexes, Indexes(back));
            for (int i = 0; i < colors; ++i) {
                RGBQUAD a = image.GetPaletteColor(static_cast<BYTE>(i)), b = back.GetPaletteColor(static_cast<BYTE>(i));
                ASSERT_EQ(0, std::memcmp(&a, &b, 4)) << i;
            }
        }
    }
}

TEST(ImageGif, WithoutControlBlockTheScreenAroundTheFrameIsIndexZero)
{
    auto frame = Pattern(4, 3, 4, 2);
    for (auto& b : frame)
        b = static_cast<BYTE>(b | 1); // never 0 inside the frame
    CImageGif gif;
    ASSERT_TRUE(DecodeBytes(gif, GifBuilder().Header(10, 8, Colors(4)).Frame(3, 2, 4, 3, frame, 2).Trailer().String()));
    EXPECT_EQ(-1, gif.GetTransIndex());
    EXPECT_EQ(10u, gif.GetWidth());
    EXPECT_EQ(8u, gif.GetHeight());
    EXPECT_EQ(4, gif.GetBpp());
    auto all = Indexes(gif);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) {
            bool inside = x >= 3 && x < 7 && y >= 2 && y < 5;
            BYTE expect = inside ? frame[static_cast<size_t>((y - 2) * 4 + x - 3)] : 0;
            ASSERT_EQ(expect, all[static_cast<size_t>(y * 10 + x)]) << x << "," << y;
        }
}

TEST(ImageGif, ScreenAroundTheFrameTakesTheControlBlocksIndex)
{
    // The index is not marked transparent, yet it fills the screen.
    auto frame = Pattern(2, 2, 16, 1);
    for (auto& b : frame)
        b = static_cast<BYTE>(b == 5 ? 6 : b);
    CImageGif gif;
    ASSERT_TRUE(DecodeBytes(gif, GifBuilder()
                                     .Header(6, 4, Colors(16))
                                     .Control(0x00, 0, 5)
                                     .Frame(1, 1, 2, 2, frame, 4)
                                     .Trailer()
                                     .String()));
    EXPECT_EQ(-1, gif.GetTransIndex());
    auto all = Indexes(gif);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            bool inside = x >= 1 && x < 3 && y >= 1 && y < 3;
            BYTE expect = inside ? frame[static_cast<size_t>((y - 1) * 2 + x - 1)] : 5;
            ASSERT_EQ(expect, all[static_cast<size_t>(y * 6 + x)]) << x << "," << y;
        }
}

TEST(ImageGif, TransparentSixteenColourFile)
{
    auto frame = Pattern(6, 6, 16, 3);
    CImageGif gif;
    ASSERT_TRUE(DecodeBytes(gif, GifBuilder()
                                     .Header(8, 6, Colors(16))
                                     .Control(0x01, 7, 3)
                                     .Frame(0, 0, 6, 6, frame, 4)
                                     .Trailer()
                                     .String()));
    EXPECT_EQ(4, gif.GetBpp());
    EXPECT_EQ(3, gif.GetTransIndex());
    EXPECT_EQ(7u, gif.GetAttributes().frameDelay);
    // Outside the frame: the transparent index.
    EXPECT_EQ(3, gif.GetPixelIndex(7, 0));
}

TEST(ImageGif, AnimationDecodesFrameZeroAndCountsFramesThatFit)
{
    auto a = Pattern(5, 5, 4, 1), b = Pattern(3, 2, 4, 2);
    std::string file = GifBuilder()
                           .Header(5, 5, Colors(4))
                           .Loop(7)
                           .Control(0x05, 10, 0) // transparent 0, disposal 1
                           .Frame(0, 0, 5, 5, a, 2)
                           .Frame(4, 4, 3, 2, b, 2) // off the screen: skipped
                           .Control(0x00, 20, 0)
                           .Frame(1, 2, 3, 2, b, 2)
                           .Trailer()
                           .String();
    CImageGif first;
    ASSERT_TRUE(DecodeBytes(first, file));
    EXPECT_EQ(2, first.GetNumFrames());
    EXPECT_EQ(7, first.GetLoopCount());
    EXPECT_EQ(a, Indexes(first));
    EXPECT_EQ(0, first.GetTransIndex());
    EXPECT_EQ(10u, first.GetAttributes().frameDelay);

    // Frame 1 is drawn over frame 0; it has no transparency of its own.
    FrameGif second;
    second.SetFrame(1);
    ASSERT_TRUE(DecodeBytes(second, file));
    auto expect = a;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            expect[static_cast<size_t>((y + 2) * 5 + x + 1)] = b[static_cast<size_t>(y * 3 + x)];
    EXPECT_EQ(expect, Indexes(second));
    EXPECT_EQ(20u, second.GetAttributes().frameDelay);

    FrameGif beyond;
    beyond.SetFrame(2);
    EXPECT_FALSE(DecodeBytes(beyond, file));
    EXPECT_EQ(2, beyond.GetNumFrames());
    EXPECT_STREQ("", beyond.GetLastError());
}

TEST(ImageGif, InterlacedHeightsOneToSeventeen)
{
    for (int height = 1; height <= 17; ++height) {
        SCOPED_TRACE(height);
        auto frame = Pattern(9, height, 256, static_cast<unsigned>(height));
        CImageGif gif;
        ASSERT_TRUE(DecodeBytes(gif, GifBuilder()
                                         .Header(9, height, Colors(256))
                                         .Frame(0, 0, 9, height, frame, 8, {}, true)
                                         .Trailer()
                                         .String()));
        EXPECT_EQ(frame, Indexes(gif));
    }
}

TEST(ImageGif, InterlacedRowsArePlacedInPassOrder)
{
    // Data row i holds the value i.
    std::vector<BYTE> data;
    for (int i = 0; i < 10; ++i)
        data.push_back(static_cast<BYTE>(i));
    CImageGif gif;
    ASSERT_TRUE(DecodeBytes(gif, GifBuilder()
                                     .Header(1, 10, Colors(16))
                                     .RawFrame(0, 0, 1, 10, 4, CompressIndexes(data, 4), 0x40)
                                     .Trailer()
                                     .String()));
    EXPECT_EQ((std::vector<BYTE>{0, 5, 3, 6, 2, 7, 4, 8, 1, 9}), Indexes(gif));
}

TEST(ImageGif, CorruptDataKeepsTheRowsDecoded)
{
    // Two full rows of 4, then a code beyond the table: the frame ends there
    // and the decode still succeeds; the rest keeps the screen's fill.
    auto data = SubBlocks(PackCodes({{4, 3}, {1, 3}, {1, 3}, {6, 3}, {6, 4}, {2, 4}, {2, 4}, {15, 4}, {5, 4}}));
    CImageGif gif;
    ASSERT_TRUE(DecodeBytes(gif, GifBuilder().Header(4, 3, Colors(4)).RawFrame(0, 0, 4, 3, 2, data).Trailer().String()));
    EXPECT_EQ((std::vector<BYTE>{1, 1, 1, 1, 1, 1, 2, 2, 0, 0, 0, 0}), Indexes(gif));
}

TEST(ImageGif, FailuresAndSizeOnlyRequests)
{
    CImageGif wrong;
    EXPECT_FALSE(DecodeBytes(wrong, "GIF7xa\x01\x00\x01\x00\x00\x00\x00"));
    EXPECT_STREQ("", wrong.GetLastError());

    CImageGif empty;
    EXPECT_FALSE(DecodeBytes(empty, GifBuilder().Header(0, 0, Colors(2)).Frame(0, 0, 1, 1, {1}, 2).Trailer().String()));
    EXPECT_EQ(0, empty.GetNumFrames());

    CImageGif size;
    size.SetEscape(-1);
    ASSERT_TRUE(DecodeBytes(size, GifBuilder().Header(300, 200, Colors(2)).Trailer().String()));
    EXPECT_EQ(300u, size.GetWidth());
    EXPECT_EQ(200u, size.GetHeight());
    EXPECT_FALSE(size.IsValid());

    CImageGif escaped;
    escaped.SetEscape(1);
    EXPECT_FALSE(DecodeBytes(escaped, GifBuilder().Header(2, 2, Colors(2)).Frame(0, 0, 2, 2, {1, 0, 0, 1}, 2)
                                          .Trailer().String()));

    // The dispatch passes the frame count of a failed decode on.
    CImageObj image;
    MemoryStream none(GifBuilder().Header(4, 4, Colors(2)).Frame(3, 3, 2, 2, {1, 0, 0, 1}, 2).Trailer().String());
    EXPECT_FALSE(image.Decode(none, IMAGE_TYPE_GIF));
    EXPECT_EQ(0, image.GetNumFrames());
}

TEST(ImageGif, WriteErrorsAreReported)
{
    CImageObj image;
    MakeImage(image, 40, 40, 8, Pattern(40, 40, 256), Colors(256));
    MemoryStream failing;
    failing.FailWrites();
    EXPECT_FALSE(image.Encode(failing, IMAGE_TYPE_GIF));
    EXPECT_STREQ("Write Error in GIF file", image.GetLastError());

    FILE* full = std::fopen("/dev/full", "wb");
    if (full) {
        EXPECT_FALSE(image.Encode(full, IMAGE_TYPE_GIF));
        EXPECT_STREQ("Write Error in GIF file", image.GetLastError());
        std::fclose(full);
    }
}

TEST(ImageGif, TrueColourImagesGoOutAsMosaicsAndComeBack)
{
    const int w = 40, h = 20;
    CImageObj image;
    ASSERT_TRUE(image.Create(w, h, 24, IMAGE_TYPE_JPEG));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.SetPixelColor(x, y, RGBQUAD{static_cast<BYTE>(x * 6), static_cast<BYTE>(y * 12), static_cast<BYTE>(x * y), 0});
    std::string bytes = EncodeBytes(image);
    EXPECT_EQ(0x11, static_cast<BYTE>(bytes[10]));
    // Six tiles, each with a local 256-entry table.
    std::vector<std::array<int, 4>> tiles;
    for (size_t at = 13; at < bytes.size() && bytes[at] != ';';) {
        if (bytes[at] == '!') {
            at += 2;
            while (bytes[at] != 0)
                at += 1 + static_cast<BYTE>(bytes[at]);
            ++at;
            continue;
        }
        ASSERT_EQ(',', bytes[at]);
        auto word = [&](size_t i) { return static_cast<BYTE>(bytes[i]) | (static_cast<BYTE>(bytes[i + 1]) << 8); };
        tiles.push_back({word(at + 1), word(at + 3), word(at + 5), word(at + 7)});
        EXPECT_EQ(0x87, static_cast<BYTE>(bytes[at + 9]));
        at += 10 + 768 + 1;
        while (bytes[at] != 0)
            at += 1 + static_cast<BYTE>(bytes[at]);
        ++at;
    }
    const std::vector<std::array<int, 4>> expect = {{0, 0, 17, 15}, {17, 0, 17, 15}, {34, 0, 6, 15},
                                                    {0, 15, 17, 5}, {17, 15, 17, 5}, {34, 15, 6, 5}};
    EXPECT_EQ(expect, tiles);

    CImageObj back;
    MemoryStream in(bytes);
    ASSERT_TRUE(back.Decode(in, IMAGE_TYPE_GIF)) << back.GetLastError();
    EXPECT_EQ(24, back.GetBpp());
    ASSERT_EQ(static_cast<DWORD>(w), back.GetWidth());
    ASSERT_EQ(static_cast<DWORD>(h), back.GetHeight());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            RGBQUAD a = image.GetPixelColor(x, y), b = back.GetPixelColor(x, y);
            ASSERT_EQ(0, std::memcmp(&a, &b, 3)) << x << "," << y;
        }
}

TEST(ImageGif, TransparentMosaicKeepsItsTransparentColour)
{
    CImageObj image;
    ASSERT_TRUE(image.Create(20, 16, 24, IMAGE_TYPE_GIF));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 20; ++x)
            image.SetPixelColor(x, y, (x + y) % 3 ? RGBQUAD{9, 8, 7, 0} : RGBQUAD{200, static_cast<BYTE>(x), 1, 0});
    image.SetTransColor(RGBQUAD{9, 8, 7, 0});
    image.SetTransIndex(0);
    std::string bytes = EncodeBytes(image);
    CImageObj back;
    MemoryStream in(bytes);
    ASSERT_TRUE(back.Decode(in, IMAGE_TYPE_GIF));
    EXPECT_EQ(24, back.GetBpp());
    EXPECT_TRUE(back.IsTransparent());
    RGBQUAD t = back.GetTransColor();
    EXPECT_EQ(9, t.rgbBlue);
    EXPECT_EQ(7, t.rgbRed);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 20; ++x) {
            RGBQUAD a = image.GetPixelColor(x, y), b = back.GetPixelColor(x, y);
            ASSERT_EQ(0, std::memcmp(&a, &b, 3)) << x << "," << y;
        }
}

// ImageMagick makes the files; our decode of frame 0 must show the colours
// ImageMagick's own decode shows.
TEST(ImageGif, DecodesWhatImageMagickWrites)
{
    if (!HaveTool("convert"))
        GTEST_SKIP() << "ImageMagick is not installed";
    TempDir dir;
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"two colours", "-size 33x21 plasma:fractal -seed 1 -colors 2"},
        {"sixteen colours interlaced", "-size 64x41 plasma:fractal -seed 2 -colors 16 -interlace GIF"},
        {"256 colours", "-size 150x100 plasma:fractal -seed 3 -colors 256"},
        {"transparency", "-size 40x30 plasma:fractal -seed 4 -colors 8 -fill white -draw 'rectangle 5,5 20,20' -transparent white"},
        {"transparent animation", "-dispose background -size 20x20 xc:white -fill black -draw 'circle 10,10 5,5' "
                                  "-transparent white ( -size 20x20 xc:green )"},
        {"animation", "-delay 20 -size 30x20 xc:navy ( -size 10x8 xc:orange ) -loop 0"},
        {"animation with offsets", "-size 30x20 xc:red -colors 4 ( -size 10x8 plasma:fractal -colors 4 -repage +5+6 ) "
                                   "-set dispose previous"},
    };
    for (const auto& [name, options] : cases) {
        SCOPED_TRACE(name);
        auto path = dir.Path() / "im.gif";
        std::string command = "convert " + options + " '" + path.string() + "' 2>/dev/null";
        for (size_t i = 0; (i = command.find_first_of("()", i)) != std::string::npos; i += 2)
            command.insert(i, "\\");
        ASSERT_EQ(0, RunShell(command));
        CImageObj image;
        ASSERT_TRUE(image.Load(path.string().c_str(), IMAGE_TYPE_GIF)) << image.GetLastError();
        int w = 0, h = 0;
        std::vector<BYTE> rgba;
        ASSERT_TRUE(MagickRgba(path, w, h, rgba));
        ASSERT_EQ(static_cast<DWORD>(w), image.GetWidth());
        ASSERT_EQ(static_cast<DWORD>(h), image.GetHeight());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const BYTE* p = &rgba[static_cast<size_t>((y * w + x) * 4)];
                BYTE index = image.GetPixelIndex(x, h - 1 - y);
                if (p[3] == 0) {
                    ASSERT_EQ(image.GetTransIndex(), index) << x << "," << y;
                    continue;
                }
                ASSERT_EQ((Rgb{p[0], p[1], p[2]}), ColorAt(image, x, y)) << x << "," << y;
            }
    }
}

// What we write, ImageMagick and giflib read as the same picture.
TEST(ImageGif, PeersReadWhatWeWrite)
{
    bool magick = HaveTool("convert"), giflib = HaveTool("gif2rgb");
    if (!magick && !giflib)
        GTEST_SKIP() << "neither ImageMagick nor giflib's tools are installed";
    TempDir dir;
    for (int bpp : {1, 4, 8, 24}) {
        SCOPED_TRACE(bpp);
        const int w = 57, h = 33;
        CImageObj image;
        if (bpp == 24) {
            ASSERT_TRUE(image.Create(w, h, 24, IMAGE_TYPE_GIF));
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    image.SetPixelColor(x, y, RGBQUAD{static_cast<BYTE>(x * 4), static_cast<BYTE>(y * 7), 99, 0});
        } else {
            MakeImage(image, w, h, bpp, Pattern(w, h, 1 << bpp, 5), Colors(1 << bpp));
        }
        auto path = (dir.Path() / "ours.gif").string();
        ASSERT_TRUE(image.Save(path.c_str(), IMAGE_TYPE_GIF)) << image.GetLastError();
        std::string expect;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                Rgb c = ColorAt(image, x, y);
                expect += {static_cast<char>(c.r), static_cast<char>(c.g), static_cast<char>(c.b)};
            }
        if (magick) {
            std::string out;
            ASSERT_EQ(0, RunShell("convert '" + path + "' -coalesce -flatten -depth 8 rgb:- 2>/dev/null", &out));
            EXPECT_TRUE(out == expect) << "ImageMagick";
        }
        if (giflib && bpp != 24) {
            // gif2rgb draws one frame; the mosaic needs every tile.
            auto rgb = dir.Path() / "out.rgb";
            ASSERT_EQ(0, RunShell("gif2rgb -1 -o '" + rgb.string() + "' '" + path + "' 2>/dev/null"));
            EXPECT_TRUE(TempDir::Read(rgb) == expect) << "giflib";
        }
        if (giflib) {
            std::string text;
            EXPECT_EQ(0, RunShell("giftext '" + path + "' 2>&1", &text)) << text;
        }
    }
}
