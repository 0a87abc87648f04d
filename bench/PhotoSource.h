// Photo-like test pictures for the imaging benchmarks: smooth gradients, a few
// shapes and sensor noise, written as binary PPM for the peers and our codecs.
#pragma once

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tavrin::bench {

inline void WritePhoto(const std::filesystem::path& ppm, int width, int height, unsigned seed)
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

// "prefix<i><extension>", built by appending: "literal" + std::string trips a
// false -Wrestrict in g++ 12.
inline std::string NumberedName(const char* prefix, int i, const char* extension)
{
    std::string name(prefix);
    name += std::to_string(i);
    name += extension;
    return name;
}

} // namespace tavrin::bench
