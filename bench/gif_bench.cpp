// GIF decoding against ImageMagick: a set of large photo-like GIFs and small
// animations decoded to pixels (frame 0), each side one process over all the
// files per round, pinned to one core, alternating round by round (the peer
// first in odd rounds):
//   tavrin   the image class, file by file
//   convert  FILE[0] ... -depth 8 rgb:/dev/null, one thread
//
//   gif_bench [--cpu=N] [--wall] [rounds=5] [work folder=/tmp/tavrin-gif-bench]
//   gif_bench --decode FILE...     (our side)
#include "bench/PhotoSource.h"
#include "bench/Runner.h"
#include "imaging/ImageObj.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

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

} // namespace

int main(int argc, char** argv)
{
    if (argc > 2 && std::strcmp(argv[1], "--decode") == 0) {
        for (int i = 2; i < argc; ++i) {
            CImageObj image(IMAGE_TYPE_ANY);
            if (!image.Load(argv[i], IMAGE_TYPE_GIF))
                return 1;
        }
        return 0;
    }
    int cpu = tavrin::bench::PinBench(argc, argv);
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

    std::vector<std::string> ours = {tavrin::bench::SelfPath(), "--decode"};
    ours.insert(ours.end(), files.begin(), files.end());
    // One ImageMagick process per round decodes frame 0 of every file to raw
    // pixels, as ours does.
    std::vector<std::string> magick = {"/usr/bin/convert", "-limit", "thread", "1"};
    for (const std::string& f : files)
        magick.push_back(f + "[0]");
    magick.insert(magick.end(), {"-depth", "8", "rgb:/dev/null"});
    std::vector<tavrin::bench::Sample> oursTimes, magickTimes;
    for (int r = 0; r < rounds; ++r) {
        // Odd rounds run the peer first.
        tavrin::bench::RunResult a, b;
        if (r % 2) {
            b = tavrin::bench::Run(magick);
            a = tavrin::bench::Run(ours);
        } else {
            a = tavrin::bench::Run(ours);
            b = tavrin::bench::Run(magick);
        }
        if (!a.ok || !b.ok) {
            std::fprintf(stderr, "%s failed\n", a.ok ? "/usr/bin/convert" : "the decode process");
            return 1;
        }
        oursTimes.push_back(a.time);
        magickTimes.push_back(b.time);
    }
    std::printf("GIF decoding, one process per side and round, core %d, %d rounds, medians\n", cpu, rounds);
    std::printf("files: %d photos of 1600x1200 and %d animations of 120x90 (4 frames), %d rounds, %.1f Mpixels per round\n",
                photos, animations, rounds, static_cast<double>(pixels) / 1e6);
    bool met = tavrin::bench::PrintPair("GIF frame 0 to pixels", "convert -limit thread 1",
                                        oursTimes, magickTimes, 1.0);
    return met ? 0 : 2;
}
