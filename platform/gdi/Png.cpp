#include "platform/gdi/Png.h"

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Surface.h"

#include "platform/base/AtomicWrite.h"

#include <png.h>

#include <csetjmp>
#include <vector>

namespace tavrin {

namespace {

void WriteBytes(png_structp png, png_bytep data, png_size_t size)
{
    static_cast<AtomicFile*>(png_get_io_ptr(png))->Write(data, size);
}

void Flush(png_structp) {}

bool WritePng(AtomicFile& file, const Surface& s)
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
    png_set_write_fn(png, &file, WriteBytes, Flush);
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
    AtomicFile file;
    if (!file.OpenNative(path))
        return false;
    if (!WritePng(file, surface)) {
        file.Abort();
        return false;
    }
    return file.Commit();
}

bool SaveBitmapPng(HBITMAP bitmap, const char* path)
{
    auto bm = GdiHandles::Get<Bitmap>(bitmap);
    return bm && SavePng(*bm->Pixels(), path);
}

} // namespace tavrin
