// Thumbnails of a "pictures" folder, made with the real image codecs.
#include "core/model/Thumbnail.h"

#include "imaging/ImageCodecs.h"
#include "imaging/ImageObj.h"
#include "platform/base/Path.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;
using tavrin::test::TempDir;

namespace {

CString ProgramPath(const fs::path& path)
{
    return tavrin::ProgramPath(path.string());
}

// Writes a width x height picture of the type to the file.
void WritePicture(const fs::path& file, DWORD width, DWORD height, DWORD type = IMAGE_TYPE_JPEG)
{
    CImageObj image(width, height, 24, type);
    ASSERT_TRUE(image.IsValid());
    for (DWORD y = 0; y < height; ++y) {
        for (DWORD x = 0; x < width; ++x)
            image.SetPixelColor(static_cast<LONG>(x), static_cast<LONG>(y), RGB(x * 7 % 256, y * 5 % 256, 90));
    }
    ASSERT_TRUE(image.Save(ProgramPath(file), type));
}

struct Size {
    DWORD width = 0;
    DWORD height = 0;
    bool operator==(const Size& other) const { return width == other.width && height == other.height; }
};

Size ReadSize(const fs::path& file)
{
    CImageObj image(IMAGE_TYPE_ANY);
    if (!image.Load(ProgramPath(file), IMAGE_TYPE_ANY))
        return {};
    return {image.GetWidth(), image.GetHeight()};
}

bool HasGif()
{
    const tavrin::ImageCodec* codec = tavrin::FindImageCodec(IMAGE_TYPE_GIF);
    return codec && codec->decode && codec->encode;
}

} // namespace

TEST(Thumbnail, SizesScaleTheLongerSideTo120)
{
    struct Case {
        DWORD width, height;
        bool written;
        Size thumbnail;
    };
    const Case cases[] = {
        {800, 600, true, {120, 90}},
        {60, 40, true, {120, 80}},    // small pictures are enlarged
        {704, 528, true, {119, 90}},  // 704 * (120 / 704) is just below 120
        {90, 120, false, {}},         // already thumbnail-sized
        {120, 120, false, {}},
        {2, 1000, true, {1, 120}},    // the short side keeps one pixel
        {1000, 2, true, {120, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        TempDir dir;
        fs::path picture = dir.Path() / "p.jpg";
        WritePicture(picture, c.width, c.height);
        EXPECT_EQ(tavrin::MakeMissingThumbnails(ProgramPath(dir.Path())), c.written ? 1 : 0);
        fs::path thumbnail = dir.Path() / "s_p.jpg";
        ASSERT_EQ(fs::exists(thumbnail), c.written);
        if (c.written) {
            EXPECT_EQ(ReadSize(thumbnail), c.thumbnail);
        }
    }
}

TEST(Thumbnail, SizeArithmetic)
{
    LONG w = 0, h = 0;
    tavrin::ThumbnailSize(704, 528, &w, &h);
    EXPECT_EQ(w, 119);
    EXPECT_EQ(h, 90);
    tavrin::ThumbnailSize(0, 0, &w, &h);  // nothing loaded: unchanged
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
}

TEST(Thumbnail, TypeAndNameFollowTheFileName)
{
    EXPECT_EQ(tavrin::ThumbnailImageType("x\\A.JPG"), IMAGE_TYPE_JPEG);
    EXPECT_EQ(tavrin::ThumbnailImageType("x\\a.jpeg"), IMAGE_TYPE_JPEG);
    EXPECT_EQ(tavrin::ThumbnailImageType("x\\b.Gif"), IMAGE_TYPE_GIF);
    EXPECT_EQ(tavrin::ThumbnailImageType("x\\c.png"), IMAGE_TYPE_JPEG);
    EXPECT_EQ(tavrin::ThumbnailPath("a\\b\\A.JPG"), CString("a\\b\\s_A.JPG"));
    EXPECT_EQ(tavrin::ThumbnailPath("A.JPG"), CString("s_A.JPG"));
}

TEST(Thumbnail, UpperCaseNamesAndChineseFolders)
{
    TempDir dir;
    fs::path folder = dir.Path() / u8"照片";
    fs::create_directories(folder);
    WritePicture(folder / "A.JPG", 300, 200);
    EXPECT_EQ(tavrin::MakeMissingThumbnails(ProgramPath(folder)), 1);
    EXPECT_EQ(ReadSize(folder / "s_A.JPG"), (Size{120, 80}));
}

TEST(Thumbnail, FilesThatAreNoPicturesGetNone)
{
    TempDir dir;
    dir.Write("c.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    dir.Write("notes.txt", "not a picture");
    dir.Write("empty.jpg", "");
    fs::create_directories(dir.Path() / "sub");
    EXPECT_EQ(tavrin::MakeMissingThumbnails(ProgramPath(dir.Path())), 0);
    for (const char* name : {"s_c.png", "s_notes.txt", "s_empty.jpg", "s_sub"})
        EXPECT_FALSE(fs::exists(dir.Path() / name)) << name;
}

TEST(Thumbnail, ExistingThumbnailsAreKeptAndNeverGetOneOfTheirOwn)
{
    TempDir dir;
    WritePicture(dir.Path() / "a.jpg", 704, 528);
    ASSERT_EQ(tavrin::MakeMissingThumbnails(ProgramPath(dir.Path())), 1);
    fs::path thumbnail = dir.Path() / "s_a.jpg";
    ASSERT_EQ(ReadSize(thumbnail), (Size{119, 90}));
    auto written = fs::last_write_time(thumbnail);

    // The 119 x 90 thumbnail would scale to 120 x 90: it is still left alone.
    EXPECT_EQ(tavrin::MakeMissingThumbnails(ProgramPath(dir.Path())), 0);
    EXPECT_FALSE(fs::exists(dir.Path() / "s_s_a.jpg"));
    EXPECT_EQ(fs::last_write_time(thumbnail), written);

    // An "s_" file whose picture is gone is a picture of its own.
    fs::remove(dir.Path() / "a.jpg");
    EXPECT_EQ(tavrin::MakeMissingThumbnails(ProgramPath(dir.Path())), 1);
    EXPECT_EQ(ReadSize(dir.Path() / "s_s_a.jpg"), (Size{120, 90}));
}

TEST(Thumbnail, MissingFolderMakesNothing)
{
    TempDir dir;
    EXPECT_EQ(tavrin::MakeMissingThumbnails(ProgramPath(dir.Path() / "none")), 0);
}

TEST(Thumbnail, GifPicturesGetGifThumbnails)
{
    if (!HasGif())
        GTEST_SKIP() << "no GIF codec in this build";
    TempDir dir;
    CImageObj image(200, 100, 8, IMAGE_TYPE_GIF);
    image.SetGrayPalette();
    ASSERT_TRUE(image.Save(ProgramPath(dir.Path() / "b.Gif"), IMAGE_TYPE_GIF));
    EXPECT_EQ(tavrin::MakeMissingThumbnails(ProgramPath(dir.Path())), 1);
    std::string bytes = TempDir::Read(dir.Path() / "s_b.Gif");
    EXPECT_EQ(bytes.substr(0, 6), "GIF89a");
    EXPECT_EQ(ReadSize(dir.Path() / "s_b.Gif"), (Size{120, 60}));
}

TEST(Thumbnail, ReducedDecodeStillCoversTheThumbnail)
{
    struct Case {
        DWORD width, height;
        BYTE scale;
    };
    const Case cases[] = {
        {3000, 2000, 8}, // 375 x 250 for 120 x 80
        {1024, 768, 8},  // 128 x 96 for 120 x 90
        {960, 720, 8},   // exactly 120 x 90
        {800, 600, 4},   // an eighth would be 100 x 75
        {300, 200, 2},
        {200, 100, 0},   // half would be 100 x 50 for 120 x 60
        {60, 40, 0},     // enlarged
        {2, 1000, 8},    // 1 x 125 for 1 x 120
    };
    for (const Case& c : cases) {
        LONG w = 0, h = 0;
        tavrin::ThumbnailSize(c.width, c.height, &w, &h);
        EXPECT_EQ(tavrin::ThumbnailJpegScale(c.width, c.height, w, h), c.scale) << c.width << "x" << c.height;
    }
}

namespace {

// A photo of four flat quarters: red, green, blue and white.
void WriteQuarters(const fs::path& file, DWORD width, DWORD height)
{
    CImageObj image(width, height, 24, IMAGE_TYPE_JPEG);
    ASSERT_TRUE(image.IsValid());
    for (DWORD y = 0; y < height; ++y) {
        BYTE* row = image.GetBits(y);
        for (DWORD x = 0; x < width; ++x) {
            int quarter = (y < height / 2 ? 0 : 2) + (x < width / 2 ? 0 : 1);
            static const BYTE kBgr[4][3] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {255, 255, 255}};
            std::memcpy(row + x * 3, kBgr[quarter], 3);
        }
    }
    ASSERT_TRUE(image.Save(ProgramPath(file), IMAGE_TYPE_JPEG));
}

} // namespace

TEST(Thumbnail, ReducedDecodesKeepTheSizeAndThePicture)
{
    const Size cases[] = {{3000, 2000}, {1024, 768}, {800, 600}, {300, 200}, {2000, 3000}};
    for (const Size& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        TempDir dir;
        WriteQuarters(dir.Path() / "p.jpg", c.width, c.height);
        ASSERT_EQ(tavrin::MakeMissingThumbnails(ProgramPath(dir.Path())), 1);
        LONG w = 0, h = 0;
        tavrin::ThumbnailSize(c.width, c.height, &w, &h);
        CImageObj thumbnail(IMAGE_TYPE_ANY);
        ASSERT_TRUE(thumbnail.Load(ProgramPath(dir.Path() / "s_p.jpg"), IMAGE_TYPE_JPEG));
        ASSERT_EQ(thumbnail.GetWidth(), static_cast<DWORD>(w));
        ASSERT_EQ(thumbnail.GetHeight(), static_cast<DWORD>(h));
        // The middle of each quarter has that quarter's colour.
        static const BYTE kBgr[4][3] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {255, 255, 255}};
        for (int quarter = 0; quarter < 4; ++quarter) {
            DWORD y = static_cast<DWORD>(quarter < 2 ? h / 4 : h * 3 / 4);
            DWORD x = static_cast<DWORD>(quarter % 2 == 0 ? w / 4 : w * 3 / 4);
            const BYTE* pixel = thumbnail.GetBits(y) + x * 3;
            for (int i = 0; i < 3; ++i)
                EXPECT_NEAR(pixel[i], kBgr[quarter][i], 40) << "quarter " << quarter << " byte " << i;
        }
    }
}
