#include "imaging/GifLzw.h"

#include "tests/imaging/GifTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <random>

using namespace tavrin;
using tavrin::test::CompressIndexes;
using tavrin::test::PackCodes;
using tavrin::test::SubBlocks;
using tavrin::test::TempDir;

namespace {

class VectorSource : public GifByteSource {
public:
    explicit VectorSource(std::vector<BYTE> bytes) : m_bytes(std::move(bytes)) {}
    int GetByte() override { return m_pos < m_bytes.size() ? m_bytes[m_pos++] : -1; }
    size_t ReadBytes(BYTE* out, size_t n) override
    {
        size_t take = std::min(n, m_bytes.size() - m_pos);
        std::copy(m_bytes.begin() + static_cast<long>(m_pos), m_bytes.begin() + static_cast<long>(m_pos + take), out);
        m_pos += take;
        return take;
    }
    size_t Position() const { return m_pos; }

private:
    std::vector<BYTE> m_bytes;
    size_t m_pos = 0;
};

struct Decoded {
    std::vector<BYTE> pixels;
    GifLzwDecoder::Status status;
};

Decoded DecodeAll(const std::vector<BYTE>& subBlocks, int minCodeSize, size_t want)
{
    VectorSource source(subBlocks);
    auto decoder = std::make_unique<GifLzwDecoder>(source);
    EXPECT_EQ(0, decoder->Start(minCodeSize));
    std::vector<BYTE> out(want + 16);
    size_t n = decoder->Decode(out.data(), want + 16);
    out.resize(n);
    return {out, decoder->GetStatus()};
}

std::vector<BYTE> Noise(size_t n, int colors, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<BYTE> v(n);
    for (auto& b : v)
        b = static_cast<BYTE>(rng() % static_cast<unsigned>(colors));
    return v;
}

std::vector<BYTE> Runs(size_t n, int colors, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<BYTE> v;
    while (v.size() < n) {
        BYTE c = static_cast<BYTE>(rng() % static_cast<unsigned>(colors));
        size_t len = 1 + rng() % 300;
        v.insert(v.end(), std::min(len, n - v.size()), c);
    }
    return v;
}

} // namespace

TEST(GifLzw, OnePixelGoldenBytes)
{
    // Clear 4, index 0, end 5 at 3 bits.
    EXPECT_EQ((std::vector<BYTE>{2, 0x44, 0x01, 0}), CompressIndexes({0}, 2));
}

TEST(GifLzw, RoundTripsEveryMethodAndCodeSize)
{
    struct Case {
        int method;
        int minCodeSize;
        size_t count;
        bool runs;
    };
    std::vector<Case> cases;
    for (int method : {GIF_COMPRESS_LZW, GIF_COMPRESS_NONE, GIF_COMPRESS_RLE})
        for (int size : {2, 3, 4, 8})
            for (size_t count : {size_t{1}, size_t{2}, size_t{7}, size_t{5000}, size_t{70000}})
                for (bool runs : {false, true})
                    cases.push_back({method, size, count, runs});
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "method " << c.method << " size " << c.minCodeSize << " count " << c.count
                                        << " runs " << c.runs);
        int colors = 1 << c.minCodeSize;
        auto pixels = c.runs ? Runs(c.count, colors, 7) : Noise(c.count, colors, 11);
        auto data = CompressIndexes(pixels, c.minCodeSize, c.method);
        Decoded d = DecodeAll(data, c.minCodeSize, pixels.size());
        EXPECT_EQ(GifLzwDecoder::kEnd, d.status);
        ASSERT_EQ(pixels, d.pixels);
    }
}

TEST(GifLzw, SubBlocksAre254BytesForLzwAnd255ForRunLength)
{
    auto pixels = Noise(20000, 256, 3);
    for (auto [method, length] : {std::pair{GIF_COMPRESS_LZW, 254}, std::pair{GIF_COMPRESS_RLE, 255},
                                  std::pair{GIF_COMPRESS_NONE, 254}}) {
        auto data = CompressIndexes(pixels, 8, method);
        size_t at = 0;
        int blocks = 0;
        while (data[at] != 0) {
            size_t len = data[at];
            at += 1 + len;
            if (data[at] != 0) {
                EXPECT_EQ(static_cast<size_t>(length), len) << "method " << method;
            }
            ++blocks;
        }
        EXPECT_GT(blocks, 2);
        EXPECT_EQ(data.size(), at + 1);
    }
}

TEST(GifLzw, DecodesHandWrittenCodeStreams)
{
    struct Case {
        const char* name;
        int minCodeSize;
        std::vector<std::pair<int, int>> codes;
        std::vector<BYTE> pixels;
        GifLzwDecoder::Status status;
    };
    const std::vector<Case> cases = {
        // 0 1 0 1 0 1 0: codes 0, 1, 6 (0 1), 8 (being defined: 0 1 0).
        {"kwkwk", 2, {{4, 3}, {0, 3}, {1, 3}, {6, 3}, {8, 4}, {5, 4}}, {0, 1, 0, 1, 0, 1, 0}, GifLzwDecoder::kEnd},
        // A clear mid-stream restarts the table and the width.
        {"clear mid-stream", 2, {{4, 3}, {1, 3}, {1, 3}, {6, 3}, {4, 4}, {2, 3}, {6, 3}, {5, 3}},
         {1, 1, 1, 1, 2, 2, 2}, GifLzwDecoder::kEnd},
        // Several clears in a row are harmless.
        {"clears", 2, {{4, 3}, {4, 3}, {4, 3}, {3, 3}, {5, 3}}, {3}, GifLzwDecoder::kEnd},
        // An end code right after a clear ends the data.
        {"end after clear", 2, {{4, 3}, {5, 3}}, {}, GifLzwDecoder::kEnd},
        // No leading clear code is fine.
        {"no leading clear", 2, {{2, 3}, {2, 3}, {5, 3}}, {2, 2}, GifLzwDecoder::kEnd},
        // Code 7 when only 6 is being defined: corrupt; the pixels so far stay.
        {"code above next slot", 2, {{4, 3}, {1, 3}, {7, 3}, {0, 3}}, {1}, GifLzwDecoder::kBadCode},
        // The first code after a clear must be a plain index.
        {"table code after clear", 2, {{4, 3}, {6, 3}}, {}, GifLzwDecoder::kBadCode},
        // The data ends without an end code.
        {"out of data", 3, {{8, 4}, {1, 4}, {2, 4}, {3, 4}}, {1, 2, 3}, GifLzwDecoder::kOutOfData},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Decoded d = DecodeAll(SubBlocks(PackCodes(c.codes)), c.minCodeSize, 64);
        EXPECT_EQ(c.pixels, d.pixels);
        EXPECT_EQ(c.status, d.status);
    }
}

TEST(GifLzw, FullTableWaitsForTheClear)
{
    // Fill the table (codes 258..4095) with pairs, then keep sending codes
    // at 12 bits without a clear (a deferred clear), then clear and restart.
    std::vector<std::pair<int, int>> codes = {{256, 9}};
    std::vector<BYTE> expect;
    int next = 258;
    int width = 9;
    int sent = 0;
    while (next < 4096 || sent < 5000) {
        int index = sent % 200;
        codes.push_back({index, width});
        expect.push_back(static_cast<BYTE>(index));
        if (sent > 0 && next < 4096) {
            ++next;
            if (next == (1 << width) && width < 12)
                ++width;
        }
        ++sent;
    }
    // A code of the full table still decodes: 258 is index 0 then 1.
    codes.push_back({258, 12});
    expect.insert(expect.end(), {0, 1});
    codes.push_back({256, 12});
    codes.push_back({9, 9});
    expect.push_back(9);
    codes.push_back({257, 9});
    Decoded d = DecodeAll(SubBlocks(PackCodes(codes)), 8, expect.size());
    EXPECT_EQ(GifLzwDecoder::kEnd, d.status);
    EXPECT_EQ(expect, d.pixels);
}

TEST(GifLzw, CodeSizesOutsideTwoToNineAreRefused)
{
    VectorSource source({});
    GifLzwDecoder decoder(source);
    for (int size : {-1, 0, 1, 10, 12, 255})
        EXPECT_EQ(GifLzwDecoder::kBadCodeSize, decoder.Start(size)) << size;
    EXPECT_EQ(0, decoder.Start(9));
}

TEST(GifLzw, SkipRestEndsAfterTheTerminator)
{
    auto pixels = Noise(3000, 16, 5);
    auto data = CompressIndexes(pixels, 4);
    data.push_back(';');
    VectorSource source(data);
    GifLzwDecoder decoder(source);
    ASSERT_EQ(0, decoder.Start(4));
    BYTE out[100];
    EXPECT_EQ(100u, decoder.Decode(out, 100));
    decoder.SkipRest();
    EXPECT_EQ(';', source.GetByte());
}

TEST(GifLzw, TruncatedSubBlockEndsTheData)
{
    auto data = CompressIndexes(Noise(3000, 16, 5), 4);
    data.resize(100); // inside the first sub-block
    Decoded d = DecodeAll(data, 4, 3000);
    EXPECT_EQ(GifLzwDecoder::kOutOfData, d.status);
    EXPECT_GT(d.pixels.size(), 0u);
    EXPECT_LT(d.pixels.size(), 3000u);
}

TEST(GifLzw, PeersReadEveryMethod)
{
    using namespace tavrin::test;
    bool magick = HaveTool("convert"), giflib = HaveTool("gif2rgb");
    if (!magick && !giflib)
        GTEST_SKIP() << "neither ImageMagick nor giflib's tools are installed";
    TempDir dir;
    const int w = 300, h = 250;
    std::vector<Rgb> colors;
    for (int i = 0; i < 256; ++i)
        colors.push_back({static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 3)});
    // Noise in the top half, long runs below: every coder path is taken.
    auto pixels = Noise(static_cast<size_t>(w * h / 2), 256, 9);
    auto runs = Runs(static_cast<size_t>(w * h / 2), 256, 4);
    pixels.insert(pixels.end(), runs.begin(), runs.end());
    std::string expect;
    for (BYTE p : pixels)
        expect += {static_cast<char>(colors[p].r), static_cast<char>(colors[p].g), static_cast<char>(colors[p].b)};
    for (int method : {GIF_COMPRESS_LZW, GIF_COMPRESS_NONE, GIF_COMPRESS_RLE}) {
        SCOPED_TRACE(method);
        GifBuilder gif;
        gif.Header(w, h, colors).RawFrame(0, 0, w, h, 8, CompressIndexes(pixels, 8, method)).Trailer();
        auto path = dir.Write("m" + std::to_string(method) + ".gif", gif.String());
        if (magick) {
            std::string out;
            ASSERT_EQ(0, RunShell("convert '" + path.string() + "' -depth 8 rgb:- 2>/dev/null", &out));
            EXPECT_TRUE(out == expect) << "ImageMagick";
        }
        if (giflib) {
            auto rgb = dir.Path() / "out.rgb";
            ASSERT_EQ(0, RunShell("gif2rgb -1 -o '" + rgb.string() + "' '" + path.string() + "' 2>/dev/null"));
            EXPECT_TRUE(TempDir::Read(rgb) == expect) << "giflib";
        }
    }
}
