// The photo-album thumbnail path against ImageMagick, side by side in one run:
// load a 1024x768 JPEG, resample to 120 pixels wide by nearest pixel, save as
// JPEG; 200 photos each. Prints both times and their ratio.
//
//   thumbnail_bench [photos] [work folder]
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
    return tavrin::bench::NumberedName(prefix, i, ".jpg");
}

using tavrin::bench::WritePhoto;

// The thumbnail builder's steps for one file.
void MakeThumbnail(const std::string& photo, const std::string& thumb)
{
    CImageObj image(IMAGE_TYPE_ANY);
    image.Load(photo.c_str(), IMAGE_TYPE_JPEG);
    double w = image.GetWidth(), h = image.GetHeight();
    double s = 120.0 / w, t = 120.0 / h;
    double scale = t <= s ? t : s;
    LONG nw = static_cast<LONG>(w * scale), nh = static_cast<LONG>(h * scale);
    if (nw != static_cast<LONG>(w) || nh != static_cast<LONG>(h)) {
        image.Resample(nw, nh, 1);
        image.Save(thumb.c_str(), IMAGE_TYPE_JPEG);
    }
    image.Destroy();
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
    int count = argc > 1 ? std::atoi(argv[1]) : 200;
    fs::path dir = argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path() / "tavrin-thumbnail-bench";
    fs::create_directories(dir / "photos");
    fs::create_directories(dir / "ours");
    fs::create_directories(dir / "magick");

    std::vector<std::string> photos;
    for (int i = 0; i < count; ++i) {
        fs::path jpg = dir / "photos" / Name("p", i);
        if (!fs::exists(jpg)) {
            fs::path ppm = dir / "photo.ppm";
            WritePhoto(ppm, 1024, 768, static_cast<unsigned>(i + 1));
            std::string cmd = "cjpeg -quality 85 -outfile '" + jpg.string() + "' '" + ppm.string() + "'";
            if (std::system(cmd.c_str()) != 0) {
                std::fprintf(stderr, "cjpeg failed (scripts/setup installs libjpeg-turbo-progs)\n");
                return 1;
            }
        }
        photos.push_back(jpg.string());
    }

    // Warm the page cache for both sides.
    MakeThumbnail(photos[0], (dir / "ours" / "warm.jpg").string());

    double start = Now();
    for (int i = 0; i < count; ++i)
        MakeThumbnail(photos[i], (dir / "ours" / Name("s_p", i)).string());
    double ours = Now() - start;

    start = Now();
    for (int i = 0; i < count; ++i) {
        std::string cmd = "/usr/bin/convert '" + photos[i] + "' -sample 120x90 -quality 90 '" +
                          (dir / "magick" / Name("s_p", i)).string() + "'";
        if (std::system(cmd.c_str()) != 0) {
            std::fprintf(stderr, "/usr/bin/convert failed (scripts/setup installs imagemagick)\n");
            return 1;
        }
    }
    double magick = Now() - start;

    std::printf("photos: %d of 1024x768 -> 120x90\n", count);
    std::printf("tavrin thumbnail path:      %8.3f s  (%.2f ms per photo)\n", ours, 1000 * ours / count);
    std::printf("/usr/bin/convert -sample:   %8.3f s  (%.2f ms per photo)\n", magick, 1000 * magick / count);
    std::printf("ratio tavrin / convert:     %8.3f  (target: at most 1)\n", ours / magick);
    return ours <= magick ? 0 : 2;
}
