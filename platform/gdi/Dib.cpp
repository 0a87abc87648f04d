// Device-independent bitmaps: to and from devices and bitmaps.
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/BlitEngine.h"
#include "platform/gdi/Brush.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Raster.h"

#include <cstring>

using namespace tavrin;

namespace {

// Decodes image rows [first, first + count) (0 = top) of a DIB into a surface
// of the DIB's full size; other rows stay black.
std::unique_ptr<Surface> DecodeDib(const DibLayout& d, const void* bits, int firstScan, int scans)
{
    auto s = Surface::Create(d.width, d.height);
    if (!s || !bits)
        return nullptr;
    const auto* p = static_cast<const uint8_t*>(bits);
    for (int scan = 0; scan < scans; ++scan) {
        int storage = firstScan + scan; // storage order: bottom-up DIBs start at the bottom row
        if (storage < 0 || storage >= d.height)
            continue;
        int y = d.topDown ? storage : d.height - 1 - storage;
        DecodeDibRow(d, p + d.stride * size_t(scan), s->Scanline(y));
    }
    return s;
}

void BlitSurface(DeviceContext& dc, const Surface& image, int x, int y, int w, int h, int sx, int sy, int sw, int sh,
                 DWORD rop)
{
    Painter painter(dc);
    if (!painter.CanDraw())
        return;
    uint8_t code = Rop3Code(rop);
    BlitGeometry g = MakeGeometry(dc, x, y, w, h, sx, sy, sw, sh);
    bool mono = dc.IsMonochrome();
    bool usesPattern = Rop3UsesPattern(code);
    BrushPattern pattern = usesPattern ? painter.CurrentBrush() : BrushPattern();
    auto convert = [&](uint32_t s) { return mono ? ToMonoPixel(s) : s; };
    ForEachStretched(painter, g, image, dc.State().stretchMode, convert, [&](uint32_t& dst, uint32_t s, int px, int py) {
        if (usesPattern && (pattern.IsNone() || !pattern.Draws(px, py)))
            return;
        dst = ApplyRop3(code, usesPattern ? pattern.At(px, py) : 0, convert(s), dst);
    });
}

} // namespace

int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc, UINT startScan,
                      UINT lines, const void* bits, const BITMAPINFO* info, UINT usage)
{
    auto dc = DcFromHandle(hdc);
    DibLayout d;
    if (!dc || !bits || !ParseDibInfo(info, usage, d))
        return 0;
    auto image = DecodeDib(d, bits, int(startScan), int(lines));
    if (!image)
        return 0;
    // Source coordinates of a bottom-up DIB count from its bottom row.
    int top = d.topDown ? ySrc : d.height - ySrc - int(height);
    BlitSurface(*dc, *image, xDest, yDest, int(width), int(height), xSrc, top, int(width), int(height), SRCCOPY);
    return int(lines);
}

int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop)
{
    auto dc = DcFromHandle(hdc);
    DibLayout d;
    if (!dc || !bits || !ParseDibInfo(info, usage, d))
        return 0;
    auto image = DecodeDib(d, bits, 0, d.height);
    if (!image)
        return 0;
    int top = d.topDown ? ySrc : d.height - ySrc - srcHeight;
    BlitSurface(*dc, *image, xDest, yDest, destWidth, destHeight, xSrc, top, srcWidth, srcHeight, rop);
    return srcHeight < 0 ? -srcHeight : srcHeight;
}

int GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage)
{
    auto bm = GdiHandles::Get<Bitmap>(bitmap);
    if (!DcFromHandle(hdc) || !bm || !info || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER))
        return 0;
    BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biBitCount == 0) {
        // Describe the bitmap in its own format.
        h.biWidth = bm->Width();
        h.biHeight = bm->IsDibSection() && bm->Layout().topDown ? -bm->Height() : bm->Height();
        h.biPlanes = 1;
        h.biBitCount = WORD(bm->BitsPerPixel());
        h.biCompression = bm->IsDibSection() ? bm->Layout().compression : BI_RGB;
        h.biSizeImage = DWORD(((size_t(h.biWidth) * h.biBitCount + 31) / 32) * 4 * size_t(bm->Height()));
        h.biClrUsed = 0;
        h.biClrImportant = 0;
        if (h.biCompression == BI_BITFIELDS)
            std::memcpy(info->bmiColors, bm->Layout().masks, 12);
        if (!bits)
            return 1;
    }
    if (h.biWidth != bm->Width() || (h.biHeight != bm->Height() && h.biHeight != -bm->Height()))
        return 0;
    // The colour table: a DIB section's own at its depth, else the default.
    if (h.biBitCount <= 8) {
        std::vector<RGBQUAD> table = bm->IsDibSection() && bm->BitsPerPixel() == h.biBitCount
                                   ? bm->Layout().colors
                                   : (bm->BitsPerPixel() == 1 && h.biBitCount == 1 ? DefaultColorTable(1)
                                                                                     : DefaultColorTable(h.biBitCount));
        h.biClrUsed = 0;
        if (usage == DIB_RGB_COLORS && !table.empty())
            std::memcpy(info->bmiColors, table.data(), table.size() * sizeof(RGBQUAD));
    }
    DibLayout d;
    if (!ParseDibInfo(info, DIB_RGB_COLORS, d))
        return 0;
    h.biSizeImage = DWORD(d.ImageSize());
    if (!bits)
        return int(bm->Height());
    const Surface* s = bm->Pixels();
    auto* out = static_cast<uint8_t*>(bits);
    int copied = 0;
    for (UINT scan = 0; scan < lines; ++scan) {
        int storage = int(start + scan);
        if (storage >= d.height)
            break;
        int y = d.topDown ? storage : d.height - 1 - storage;
        EncodeDibRow(d, s->Scanline(y), out + d.stride * size_t(scan));
        ++copied;
    }
    return copied;
}

int SetDIBits(HDC, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage)
{
    auto bm = GdiHandles::Get<Bitmap>(bitmap);
    DibLayout d;
    if (!bm || !bits || !ParseDibInfo(info, usage, d))
        return 0;
    Surface* s = bm->Pixels();
    bm->BeginDraw();
    const auto* p = static_cast<const uint8_t*>(bits);
    std::vector<uint32_t> row(size_t(d.width));
    int copied = 0;
    for (UINT scan = 0; scan < lines; ++scan) {
        int storage = int(start + scan);
        if (storage >= d.height)
            break;
        int y = d.topDown ? storage : d.height - 1 - storage;
        DecodeDibRow(d, p + d.stride * size_t(scan), row.data());
        if (y < s->Height()) {
            uint32_t* dst = s->Scanline(y);
            for (int x = 0; x < std::min(d.width, s->Width()); ++x)
                dst[x] = bm->IsMonochrome() ? ToMonoPixel(row[size_t(x)]) : row[size_t(x)];
        }
        ++copied;
    }
    bm->EndDraw();
    return copied;
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height)
{
    auto dc = DcFromHandle(hdc);
    if (!dc)
        return nullptr;
    if (width == 0 || height == 0)
        return static_cast<HBITMAP>(DefaultBitmap()->Handle());
    return Register<HBITMAP>(Bitmap::CreateDevice(width, height, dc->IsMonochrome() ? 1 : 32));
}

HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* info,
                       UINT usage)
{
    if (!header)
        return nullptr;
    int height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
    auto dc = hdc ? DcFromHandle(hdc) : nullptr;
    auto bm = Bitmap::CreateDevice(header->biWidth, height, header->biBitCount == 1 && (!dc || dc->IsMonochrome()) ? 1 : 32);
    if (!bm)
        return nullptr;
    HBITMAP handle = Register<HBITMAP>(bm);
    if ((init & CBM_INIT) && bits && info)
        SetDIBits(hdc, handle, 0, UINT(height), bits, info, usage);
    return handle;
}

HBRUSH CreateDIBPatternBrushPt(const void* packed, UINT usage)
{
    const auto* info = static_cast<const BITMAPINFO*>(packed);
    DibLayout d;
    if (!ParseDibInfo(info, usage, d))
        return nullptr;
    const auto* bits = static_cast<const uint8_t*>(packed) + DibHeaderSize(info, usage);
    auto image = DecodeDib(d, bits, 0, d.height);
    auto bm = Bitmap::CreateDevice(d.width, d.height, 32);
    if (!image || !bm)
        return nullptr;
    for (int y = 0; y < d.height; ++y)
        std::memcpy(bm->Pixels()->Scanline(y), image->Scanline(y), size_t(d.width) * 4);
    return Register<HBRUSH>(Brush::Pattern(*bm));
}
