#include "platform/gdi/DibFormat.h"

#include "platform/gdi/Surface.h"

#include <cstring>
#include <limits>

namespace tavrin {

namespace {

int MaskShift(DWORD mask)
{
    int s = 0;
    while (mask && !(mask & 1)) { mask >>= 1; ++s; }
    return s;
}

int MaskBits(DWORD mask)
{
    mask >>= MaskShift(mask);
    int n = 0;
    while (mask & 1) { mask >>= 1; ++n; }
    return n;
}

uint8_t Expand(DWORD value, DWORD mask)
{
    int bits = MaskBits(mask);
    if (bits == 0)
        return 0;
    DWORD v = (value & mask) >> MaskShift(mask);
    if (bits >= 8)
        return uint8_t(v >> (bits - 8));
    return uint8_t((v * 255u) / ((1u << bits) - 1u));
}

DWORD Pack(uint8_t channel, DWORD mask)
{
    int bits = MaskBits(mask);
    if (bits == 0)
        return 0;
    DWORD v = bits >= 8 ? DWORD(channel) << (bits - 8) : DWORD(channel) >> (8 - bits);
    return (v << MaskShift(mask)) & mask;
}

uint32_t FromQuad(const RGBQUAD& q)
{
    return (uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
}

int NearestIndex(const std::vector<RGBQUAD>& table, uint32_t p)
{
    int r = int((p >> 16) & 0xFF), g = int((p >> 8) & 0xFF), b = int(p & 0xFF);
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (size_t i = 0; i < table.size(); ++i) {
        int dr = r - table[i].rgbRed, dg = g - table[i].rgbGreen, db = b - table[i].rgbBlue;
        int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = int(i);
            if (d == 0)
                break;
        }
    }
    return best;
}

} // namespace

size_t DibHeaderSize(const BITMAPINFO* info, UINT usage)
{
    const BITMAPINFOHEADER& h = info->bmiHeader;
    size_t size = h.biSize;
    if (h.biCompression == BI_BITFIELDS && h.biSize == sizeof(BITMAPINFOHEADER))
        size += 12;
    if (h.biBitCount <= 8) {
        size_t n = h.biClrUsed ? h.biClrUsed : (size_t(1) << h.biBitCount);
        size += n * (usage == DIB_PAL_COLORS ? 2 : 4);
    }
    return size;
}

bool ParseDibInfo(const BITMAPINFO* info, UINT usage, DibLayout& out)
{
    if (!info)
        return false;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0 || h.biPlanes != 1)
        return false;
    int bpp = h.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return false;
    if (h.biCompression != BI_RGB && !(h.biCompression == BI_BITFIELDS && (bpp == 16 || bpp == 32)))
        return false;
    int64_t height = h.biHeight < 0 ? -int64_t(h.biHeight) : int64_t(h.biHeight);
    if (h.biWidth > Surface::kMaxSide || height > Surface::kMaxSide
        || int64_t(h.biWidth) * height > Surface::kMaxPixels)
        return false;
    out.width = h.biWidth;
    out.height = int(height);
    out.topDown = h.biHeight < 0;
    out.bitsPerPixel = bpp;
    out.compression = h.biCompression;
    out.stride = ((size_t(h.biWidth) * size_t(bpp) + 31) / 32) * 4;
    out.colors.clear();
    const unsigned char* after = reinterpret_cast<const unsigned char*>(info) + h.biSize;
    if (h.biCompression == BI_BITFIELDS) {
        std::memcpy(out.masks, after, 12);
        if (!out.masks[0] && !out.masks[1] && !out.masks[2])
            return false;
    } else if (bpp == 16) {
        out.masks[0] = 0x7C00; out.masks[1] = 0x03E0; out.masks[2] = 0x001F;
    } else if (bpp == 32) {
        out.masks[0] = 0x00FF0000; out.masks[1] = 0x0000FF00; out.masks[2] = 0x000000FF;
    }
    if (bpp <= 8) {
        size_t n = h.biClrUsed ? h.biClrUsed : (size_t(1) << bpp);
        if (n > 256)
            return false;
        out.colors.resize(size_t(1) << bpp, RGBQUAD{0, 0, 0, 0});
        for (size_t i = 0; i < n; ++i) {
            if (usage == DIB_PAL_COLORS) {
                WORD index;
                std::memcpy(&index, after + i * 2, 2);
                BYTE g = BYTE(index);
                out.colors[i] = RGBQUAD{g, g, g, 0};
            } else {
                std::memcpy(&out.colors[i], after + i * 4, 4);
            }
        }
    }
    return true;
}

void DecodeDibRow(const DibLayout& d, const uint8_t* row, uint32_t* out)
{
    switch (d.bitsPerPixel) {
    case 1:
        for (int x = 0; x < d.width; ++x)
            out[x] = FromQuad(d.colors[(row[x >> 3] >> (7 - (x & 7))) & 1]);
        break;
    case 4:
        for (int x = 0; x < d.width; ++x)
            out[x] = FromQuad(d.colors[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF]);
        break;
    case 8:
        for (int x = 0; x < d.width; ++x)
            out[x] = FromQuad(d.colors[row[x]]);
        break;
    case 16:
        for (int x = 0; x < d.width; ++x) {
            DWORD v = DWORD(row[2 * x]) | (DWORD(row[2 * x + 1]) << 8);
            out[x] = (uint32_t(Expand(v, d.masks[0])) << 16) | (uint32_t(Expand(v, d.masks[1])) << 8)
                   | Expand(v, d.masks[2]);
        }
        break;
    case 24:
        for (int x = 0; x < d.width; ++x)
            out[x] = uint32_t(row[3 * x]) | (uint32_t(row[3 * x + 1]) << 8) | (uint32_t(row[3 * x + 2]) << 16);
        break;
    case 32:
        if (d.compression == BI_RGB) {
            std::memcpy(out, row, size_t(d.width) * 4);
        } else {
            for (int x = 0; x < d.width; ++x) {
                DWORD v;
                std::memcpy(&v, row + 4 * x, 4);
                out[x] = (uint32_t(Expand(v, d.masks[0])) << 16) | (uint32_t(Expand(v, d.masks[1])) << 8)
                       | Expand(v, d.masks[2]);
            }
        }
        break;
    }
}

void EncodeDibRow(const DibLayout& d, const uint32_t* in, uint8_t* row)
{
    switch (d.bitsPerPixel) {
    case 1:
        std::memset(row, 0, d.stride);
        for (int x = 0; x < d.width; ++x)
            if (NearestIndex(d.colors, in[x]))
                row[x >> 3] |= uint8_t(0x80 >> (x & 7));
        break;
    case 4:
        std::memset(row, 0, d.stride);
        for (int x = 0; x < d.width; ++x)
            row[x >> 1] |= uint8_t(NearestIndex(d.colors, in[x]) << ((x & 1) ? 0 : 4));
        break;
    case 8:
        for (int x = 0; x < d.width; ++x)
            row[x] = uint8_t(NearestIndex(d.colors, in[x]));
        break;
    case 16:
        for (int x = 0; x < d.width; ++x) {
            DWORD v = Pack(uint8_t(in[x] >> 16), d.masks[0]) | Pack(uint8_t(in[x] >> 8), d.masks[1])
                    | Pack(uint8_t(in[x]), d.masks[2]);
            row[2 * x] = uint8_t(v);
            row[2 * x + 1] = uint8_t(v >> 8);
        }
        break;
    case 24:
        for (int x = 0; x < d.width; ++x) {
            row[3 * x] = uint8_t(in[x]);
            row[3 * x + 1] = uint8_t(in[x] >> 8);
            row[3 * x + 2] = uint8_t(in[x] >> 16);
        }
        break;
    case 32:
        if (d.compression == BI_RGB) {
            std::memcpy(row, in, size_t(d.width) * 4);
        } else {
            for (int x = 0; x < d.width; ++x) {
                DWORD v = Pack(uint8_t(in[x] >> 16), d.masks[0]) | Pack(uint8_t(in[x] >> 8), d.masks[1])
                        | Pack(uint8_t(in[x]), d.masks[2]);
                std::memcpy(row + 4 * x, &v, 4);
            }
        }
        break;
    }
}

std::vector<RGBQUAD> DefaultColorTable(int bpp)
{
    std::vector<RGBQUAD> t;
    if (bpp == 1) {
        t = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
    } else if (bpp == 4) {
        static const BYTE vga[16][3] = {{0, 0, 0}, {128, 0, 0}, {0, 128, 0}, {128, 128, 0}, {0, 0, 128},
                                        {128, 0, 128}, {0, 128, 128}, {128, 128, 128}, {192, 192, 192},
                                        {255, 0, 0}, {0, 255, 0}, {255, 255, 0}, {0, 0, 255},
                                        {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
        for (auto& c : vga)
            t.push_back(RGBQUAD{c[2], c[1], c[0], 0});
    } else if (bpp == 8) {
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    t.push_back(RGBQUAD{BYTE(b * 51), BYTE(g * 51), BYTE(r * 51), 0});
        for (int i = 0; i < 40; ++i) {
            BYTE v = BYTE(i * 255 / 39);
            t.push_back(RGBQUAD{v, v, v, 0});
        }
    }
    return t;
}

} // namespace tavrin
