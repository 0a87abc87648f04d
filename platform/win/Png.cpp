#include "platform/win/Png.h"

#include "platform/win/Bitmap.h"
#include "platform/win/Surface.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace tavrin {

namespace {

bool WritePng(FILE* file, const Surface& s)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<png_byte> row(size_t(s.Width()) * 3);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(s.Width()), png_uint_32(s.Height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < s.Height(); ++y) {
        const uint32_t* src = s.Scanline(y);
        for (int x = 0; x < s.Width(); ++x) {
            row[size_t(3 * x)] = png_byte(src[x] >> 16);
            row[size_t(3 * x + 1)] = png_byte(src[x] >> 8);
            row[size_t(3 * x + 2)] = png_byte(src[x]);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool SavePng(const Surface& surface, const char* path)
{
    if (!path || !*path)
        return false;
    std::string temp = std::string(path) + ".tmp" + std::to_string(getpid());
    FILE* file = std::fopen(temp.c_str(), "wb");
    if (!file)
        return false;
    bool ok = WritePng(file, surface);
    ok = std::fflush(file) == 0 && ok;
    ok = fsync(fileno(file)) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    if (ok)
        ok = std::rename(temp.c_str(), path) == 0;
    if (!ok)
        std::remove(temp.c_str());
    return ok;
}

bool SaveBitmapPng(HBITMAP bitmap, const char* path)
{
    auto bm = GdiHandles::Get<Bitmap>(bitmap);
    return bm && SavePng(*bm->Pixels(), path);
}

} // namespace tavrin
