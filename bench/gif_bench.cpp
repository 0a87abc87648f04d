// GIF decoding against ImageMagick, side by side in one run: a set of large
// photo-like GIFs and small animations, decoded to pixels (frame 0) by the
// image class and by one ImageMagick process over the same files. Prints both
// times and their ratio.
//
//   gif_bench [rounds] [work folder]
#include "bench/PhotoSource.h"
#include "imaging/ImageObj.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <time.h>

namespace fs = std::filesystem;

namespace {

std::string Name(const char* prefix, int i)
{
    return tavrin::bench::NumberedName(prefix, i, ".gif");
}

using tavrin::bench::WritePhoto;

bool Run(const std::string& cmd)
{
    return std::system(cmd.c_str()) == 0;
}

// <chrono> does not build with the GBK execution character set.
double Now()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    fs::path dir = argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path() / "tavrin-gif-bench";
    fs::create_directories(dir);
    const int photos = 8, animations = 40;

    std::vector<std::string> files;
    for (int i = 0; i < photos; ++i) {
        fs::path gif = dir / Name("photo", i);
        if (!fs::exists(gif)) {
            fs::path ppm = dir / "photo.ppm";
            WritePhoto(ppm, 1600, 1200, static_cast<unsigned>(i + 1));
            if (!Run("/usr/bin/convert '" + ppm.string() + "' -colors 256 '" + gif.string() + "'")) {
                std::fprintf(stderr, "/usr/bin/convert failed (scripts/setup installs imagemagick)\n");
                return 1;
            }
        }
        files.push_back(gif.string());
    }
    for (int i = 0; i < animations; ++i) {
        fs::path gif = dir / Name("anim", i);
        if (!fs::exists(gif)) {
            std::string cmd = "/usr/bin/convert -delay 10 -size 120x90 plasma:fractal -seed " + std::to_string(i) +
                              " -colors 64 \\( +clone -roll +7+3 \\) \\( +clone -roll +7+3 \\) \\( +clone -roll +7+3 \\)"
                              " -loop 0 '" + gif.string() + "'";
            if (!Run(cmd)) {
                std::fprintf(stderr, "/usr/bin/convert failed\n");
                return 1;
            }
        }
        files.push_back(gif.string());
    }

    // Warm the page cache for both sides.
    unsigned long long pixels = 0;
    for (const std::string& f : files) {
        CImageObj image(IMAGE_TYPE_ANY);
        if (!image.Load(f.c_str(), IMAGE_TYPE_GIF)) {
            std::fprintf(stderr, "cannot decode %s: %s\n", f.c_str(), image.GetLastError());
            return 1;
        }
        pixels += static_cast<unsigned long long>(image.GetWidth()) * image.GetHeight();
    }

    double start = Now();
    for (int r = 0; r < rounds; ++r)
        for (const std::string& f : files) {
            CImageObj image(IMAGE_TYPE_ANY);
            image.Load(f.c_str(), IMAGE_TYPE_GIF);
        }
    double ours = Now() - start;

    // One ImageMagick process per round decodes frame 0 of every file to raw
    // pixels, so its start-up is paid once per round, not once per file.
    std::string cmd = "/usr/bin/convert";
    for (const std::string& f : files)
        cmd += " '" + f + "[0]'";
    cmd += " -depth 8 rgb:/dev/null";
    start = Now();
    for (int r = 0; r < rounds; ++r)
        if (!Run(cmd)) {
            std::fprintf(stderr, "/usr/bin/convert failed\n");
            return 1;
        }
    double magick = Now() - start;

    std::printf("files: %d photos of 1600x1200 and %d animations of 120x90 (4 frames), %d rounds, %.1f Mpixels per round\n",
                photos, animations, rounds, static_cast<double>(pixels) / 1e6);
    std::printf("tavrin GIF decode:          %8.3f s  (%.2f ms per round)\n", ours, 1000 * ours / rounds);
    std::printf("/usr/bin/convert to rgb:    %8.3f s  (%.2f ms per round)\n", magick, 1000 * magick / rounds);
    std::printf("ratio tavrin / convert:     %8.3f  (target: at most 1)\n", ours / magick);
    return ours <= magick ? 0 : 2;
}
