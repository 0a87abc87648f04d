// The photo-album thumbnail path against ImageMagick, side by side in one run:
// load a 1024x768 JPEG, resample to 120 pixels wide by nearest pixel, save as
// JPEG; 200 photos each. Prints both times and their ratio.
//
//   thumbnail_bench [photos] [work folder]
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

// Built by appending: "literal" + std::string trips a false -Wrestrict in g++ 12.
std::string Name(const char* prefix, int i)
{
    std::string name(prefix);
    name += std::to_string(i);
    name += ".jpg";
    return name;
}

// A photo-like picture: smooth gradients, a few shapes and sensor noise.
void WritePhoto(const fs::path& ppm, int width, int height, unsigned seed)
{
    std::ofstream out(ppm, std::ios::binary);
    out << "P6\n" << width << " " << height << "\n255\n";
    std::vector<unsigned char> row(static_cast<size_t>(width) * 3);
    unsigned state = seed * 2654435761u + 7;
    double cx = (seed * 37 % width), cy = (seed * 53 % height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            int noise = static_cast<int>((state >> 16) % 9) - 4;
            double d = std::hypot(x - cx, y - cy);
            int r = static_cast<int>(128 + 100 * std::sin(d / 40.0 + seed)) + noise;
            int g = static_cast<int>(x * 200 / width + 30 * std::cos(y / 25.0)) + noise;
            int b = static_cast<int>(y * 220 / height) + ((x / 64 + y / 64) % 3 == 0 ? 30 : 0) + noise;
            row[x * 3] = static_cast<unsigned char>(std::clamp(r, 0, 255));
            row[x * 3 + 1] = static_cast<unsigned char>(std::clamp(g, 0, 255));
            row[x * 3 + 2] = static_cast<unsigned char>(std::clamp(b, 0, 255));
        }
        out.write(reinterpret_cast<const char*>(row.data()), static_cast<std::streamsize>(row.size()));
    }
}

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
