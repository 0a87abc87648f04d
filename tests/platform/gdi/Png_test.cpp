#include "GdiTestSurface.h"

#include "platform/gdi/Png.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

std::string RunCommand(const std::string& command)
{
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p)
        return out;
    char buf[256];
    while (size_t n = fread(buf, 1, sizeof buf, p))
        out.append(buf, n);
    pclose(p);
    return out;
}

} // namespace

TEST(Png, SurfaceSavedAsPngReadableByImageMagick)
{
    TestSurface s(20, 10, RGB(255, 255, 255));
    RECT r{3, 2, 4, 3};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(s.Dc(), &r, red);
    DeleteObject(red);
    s.SetRaw(5, 5, 0x80000000u | 0x00FF00u); // alpha is not part of the picture
    tavrin::test::TempDir dir;
    std::string path = dir.Path().string() + "/window.png";
    ASSERT_TRUE(tavrin::SaveBitmapPng(s.Bitmap(), path.c_str()));
    std::ifstream in(path, std::ios::binary);
    char magic[8] = {};
    in.read(magic, 8);
    EXPECT_EQ(std::string(magic + 1, 3), "PNG");
    if (RunCommand("command -v identify").empty())
        GTEST_SKIP() << "ImageMagick not installed (scripts/setup installs it)";
    EXPECT_EQ(RunCommand("identify -format '%m %w %h' '" + path + "'"), "PNG 20 10");
    EXPECT_EQ(RunCommand("identify -format '%[pixel:p{3,2}]' '" + path + "'"), "srgb(255,0,0)");
    EXPECT_EQ(RunCommand("identify -format '%[pixel:p{5,5}]' '" + path + "'"), "srgb(0,255,0)");
}

TEST(Png, UnwritablePathFailsAndLeavesNothing)
{
    TestSurface s(2, 2);
    tavrin::test::TempDir dir;
    std::string path = dir.Path().string() + "/missing/folder/x.png";
    EXPECT_FALSE(tavrin::SaveBitmapPng(s.Bitmap(), path.c_str()));
    EXPECT_FALSE(tavrin::SaveBitmapPng(nullptr, (dir.Path().string() + "/y.png").c_str()));
}
