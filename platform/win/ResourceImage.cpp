#include "platform/win/ResourceImage.h"

#include "platform/gdi/DibFormat.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Icon.h"
#include "platform/win/SystemProfile.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <tuple>
#include <vector>

namespace tavrin::win {

namespace {

uint32_t Le16(const BYTE* p) { return p[0] | (uint32_t(p[1]) << 8); }
uint32_t Le32(const BYTE* p) { return Le16(p) | (Le16(p + 2) << 16); }

// A packed DIB within size bytes: its layout, header bytes and rows. The
// icon form holds the image and its mask in twice the height.
struct PackedDib {
    DibLayout layout;
    std::vector<BYTE> info; // header and colour table, the height made single for icons
    const BYTE* bits = nullptr;
    const BYTE* mask = nullptr;
    size_t maskStride = 0;
};

bool ParsePacked(const BYTE* data, DWORD size, bool icon, PackedDib& out)
{
    if (!data || size < sizeof(BITMAPINFOHEADER))
        return false;
    const uint32_t headerSize = Le32(data);
    if (headerSize < sizeof(BITMAPINFOHEADER) || headerSize > size)
        return false;
    BITMAPINFOHEADER header;
    std::memcpy(&header, data, sizeof header);
    header.biSize = sizeof header;
    if (header.biBitCount <= 8 && header.biClrUsed > (1u << header.biBitCount))
        return false;
    if (icon) {
        if (header.biHeight <= 0 || header.biHeight % 2)
            return false;
        header.biHeight /= 2;
        header.biSizeImage = 0;
    }
    // The colour table follows the header as written (which may be longer).
    const size_t colours = header.biBitCount <= 8 ? (header.biClrUsed ? header.biClrUsed : (1u << header.biBitCount))
                                                  : (header.biCompression == BI_BITFIELDS ? 3 : 0);
    const size_t tableBytes = colours * 4;
    if (headerSize + tableBytes > size)
        return false;
    out.info.assign(sizeof header + tableBytes, 0);
    std::memcpy(out.info.data(), &header, sizeof header);
    std::memcpy(out.info.data() + sizeof header, data + headerSize, tableBytes);
    const auto* info = reinterpret_cast<const BITMAPINFO*>(out.info.data());
    if (!ParseDibInfo(info, DIB_RGB_COLORS, out.layout))
        return false;
    if (icon && out.layout.topDown)
        return false;
    size_t at = headerSize + tableBytes;
    const size_t image = out.layout.ImageSize();
    if (image > size - at)
        return false;
    out.bits = data + at;
    at += image;
    if (icon) {
        out.maskStride = ((size_t(out.layout.width) + 31) / 32) * 4;
        if (out.maskStride * size_t(out.layout.height) > size - at)
            return false;
        out.mask = data + at;
    }
    return true;
}

// ARGB pixels, top row first; mask 1 where transparent.
struct Pixels {
    int width = 0, height = 0;
    std::vector<uint32_t> argb;
    std::vector<uint8_t> mask;
    bool alpha = false;
};

Pixels DecodeIcon(const PackedDib& dib)
{
    Pixels p;
    p.width = dib.layout.width;
    p.height = dib.layout.height;
    p.argb.resize(size_t(p.width) * size_t(p.height));
    p.mask.resize(p.argb.size());
    for (int y = 0; y < p.height; ++y) {
        const int row = dib.layout.StorageRow(y);
        uint32_t* out = &p.argb[size_t(y) * size_t(p.width)];
        DecodeDibRow(dib.layout, dib.bits + size_t(row) * dib.layout.stride, out);
        const BYTE* m = dib.mask + size_t(row) * dib.maskStride;
        for (int x = 0; x < p.width; ++x) {
            p.mask[size_t(y) * size_t(p.width) + size_t(x)] = (m[x / 8] >> (7 - x % 8)) & 1;
            if (dib.layout.bitsPerPixel == 32)
                p.alpha |= (out[x] >> 24) != 0;
        }
    }
    if (!p.alpha)
        for (uint32_t& v : p.argb)
            v &= 0x00FFFFFFu;
    return p;
}

Pixels Scale(const Pixels& src, int width, int height)
{
    if (width == src.width && height == src.height)
        return src;
    Pixels out;
    out.width = width;
    out.height = height;
    out.alpha = src.alpha;
    out.argb.resize(size_t(width) * size_t(height));
    out.mask.resize(out.argb.size());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const size_t from = size_t(y * src.height / height) * size_t(src.width) + size_t(x * src.width / width);
            out.argb[size_t(y) * size_t(width) + size_t(x)] = src.argb[from];
            out.mask[size_t(y) * size_t(width) + size_t(x)] = src.mask[from];
        }
    return out;
}

HBITMAP TopDownSection(int width, int height, void** bits)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

HICON MakeIcon(const Pixels& p, bool icon, POINT hotspot)
{
    void* colourBits = nullptr;
    void* maskBits = nullptr;
    HBITMAP colour = TopDownSection(p.width, p.height, &colourBits);
    HBITMAP mask = TopDownSection(p.width, p.height, &maskBits);
    HICON result = nullptr;
    if (colour && mask) {
        std::memcpy(colourBits, p.argb.data(), p.argb.size() * 4);
        auto* m = static_cast<uint32_t*>(maskBits);
        for (size_t i = 0; i < p.mask.size(); ++i)
            m[i] = p.mask[i] ? 0x00FFFFFFu : 0;
        GdiFlush();
        ICONINFO info{icon ? TRUE : FALSE, DWORD(hotspot.x), DWORD(hotspot.y), mask, colour};
        result = CreateIconIndirect(&info);
    }
    if (colour)
        DeleteObject(colour);
    if (mask)
        DeleteObject(mask);
    return result;
}

// The shared loads: one handle per module, type, name and size.
std::mutex g_sharedLock;
std::map<std::tuple<HMODULE, UINT, std::string, int, int>, HANDLE> g_shared;

std::string NameKey(LPCSTR name)
{
    return IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name)) : std::string(name);
}

HANDLE LoadIconImage(HMODULE module, LPCSTR name, bool cursor, int cx, int cy, UINT flags)
{
    const ResourceEntry* group = FindResourceEntry(module, name, cursor ? RT_GROUP_CURSOR : RT_GROUP_ICON);
    if (!group)
        return nullptr;
    if (flags & LR_DEFAULTSIZE) {
        if (!cx)
            cx = GetSystemMetrics(cursor ? SM_CXCURSOR : SM_CXICON);
        if (!cy)
            cy = GetSystemMetrics(cursor ? SM_CYCURSOR : SM_CYICON);
    }
    const int index = ChooseIconImage(group->data, group->size, cursor, cx, cy);
    if (index < 0) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    const WORD imageId = static_cast<WORD>(Le16(group->data + 6 + 14 * size_t(index) + 12));
    const ResourceEntry* image = FindResourceEntry(module, MAKEINTRESOURCEA(imageId), cursor ? RT_CURSOR : RT_ICON);
    if (!image)
        return nullptr;
    const BYTE* data = image->data;
    DWORD size = image->size;
    POINT hotspot{0, 0};
    if (cursor) {
        if (size < 4)
            return nullptr;
        hotspot = POINT{LONG(Le16(data)), LONG(Le16(data + 2))};
        data += 4;
        size -= 4;
    }
    PackedDib dib;
    if (!ParsePacked(data, size, true, dib)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    Pixels pixels = DecodeIcon(dib);
    const int width = cx ? cx : pixels.width;
    const int height = cy ? cy : pixels.height;
    if (width != pixels.width || height != pixels.height) {
        hotspot.x = hotspot.x * width / pixels.width;
        hotspot.y = hotspot.y * height / pixels.height;
        pixels = Scale(pixels, width, height);
    }
    return MakeIcon(pixels, !cursor, hotspot);
}

HANDLE LoadBitmapImage(HMODULE module, LPCSTR name, UINT flags)
{
    const ResourceEntry* e = FindResourceEntry(module, name, RT_BITMAP);
    if (!e)
        return nullptr;
    PackedDib dib;
    if (!ParsePacked(e->data, e->size, false, dib)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    const auto* info = reinterpret_cast<const BITMAPINFO*>(dib.info.data());
    const int height = dib.layout.height;
    if (flags & LR_CREATEDIBSECTION) {
        void* bits = nullptr;
        HBITMAP section = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (section && bits)
            std::memcpy(bits, dib.bits, dib.layout.ImageSize());
        return section;
    }
    HBITMAP bitmap = CreateBitmap(dib.layout.width, height, 1, 32, nullptr);
    if (bitmap && SetDIBits(nullptr, bitmap, 0, UINT(height), dib.bits, info, DIB_RGB_COLORS) != height) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

// The system's icons, drawn once: a circle or triangle with a mark.
HICON SystemIcon(UINT id)
{
    static std::mutex lock;
    static std::map<UINT, HICON> icons;
    std::lock_guard<std::mutex> guard(lock);
    auto it = icons.find(id);
    if (it != icons.end() && IconFromHandle(it->second))
        return it->second;
    constexpr int n = 32;
    Pixels p;
    p.width = p.height = n;
    p.argb.assign(n * n, 0);
    p.mask.assign(n * n, 1);
    auto put = [&](int x, int y, uint32_t c) {
        if (x >= 0 && y >= 0 && x < n && y < n) {
            p.argb[size_t(y * n + x)] = c;
            p.mask[size_t(y * n + x)] = 0;
        }
    };
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const int dx = 2 * x - 31, dy = 2 * y - 31;
            const bool disc = dx * dx + dy * dy <= 29 * 29;
            switch (id) {
            case 32513: // error: red disc, white cross
                if (disc) {
                    const bool cross = (std::abs(dx - dy) <= 3 || std::abs(dx + dy) <= 3) && std::abs(dx) < 16;
                    put(x, y, cross ? 0xFFFFFF : 0xD00000);
                }
                break;
            case 32514: // question: blue disc, white mark
            case 32516: // information: blue disc, white bar and dot
                if (disc) {
                    const bool stem = std::abs(dx) <= 3;
                    const bool hook = dy >= -16 && dy <= 4 && std::abs(dx * dx + (dy + 6) * (dy + 6) - 100) <= 30 &&
                                      !(dx < 0 && dy > -6);
                    const bool mark = id == 32516 ? stem && (dy > -6 || (dy >= -16 && dy <= -10))
                                                  : (stem && dy >= 10 && dy <= 16) || hook;
                    put(x, y, mark ? 0xFFFFFF : 0x1040C0);
                }
                break;
            case 32515: // warning: yellow triangle, black bar and dot
                if (y >= 2 && y <= 29 && std::abs(dx) <= (y - 2) * 31 / 27)
                    put(x, y,
                        std::abs(dx) <= 2 && ((y >= 10 && y <= 20) || (y >= 23 && y <= 26)) ? 0x000000 : 0xF0D000);
                break;
            default: // application and the rest: a window with a blue title
                if (x >= 2 && x <= 29 && y >= 4 && y <= 27)
                    put(x, y, (x == 2 || x == 29 || y == 4 || y == 27) ? 0x000000 : y <= 9 ? 0x000080 : 0xFFFFFF);
                break;
            }
        }
    HICON icon = MakeIcon(p, true, POINT{0, 0});
    icons[id] = icon;
    return icon;
}

} // namespace

int ChooseIconImage(const BYTE* group, DWORD size, bool cursor, int cx, int cy)
{
    if (!group || size < 6 || Le16(group) != 0 || Le16(group + 2) != (cursor ? 2u : 1u))
        return -1;
    const uint32_t count = Le16(group + 4);
    if (count == 0 || size < 6 + 14 * size_t(count))
        return -1;
    int best = -1;
    long bestDistance = 0;
    int bestWidth = 0, bestBits = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const BYTE* e = group + 6 + 14 * size_t(i);
        int width, height, bits;
        if (cursor) {
            width = int(Le16(e));
            height = int(Le16(e + 2)) / 2;
            bits = int(Le16(e + 6));
        } else {
            width = e[0] ? e[0] : 256;
            height = e[1] ? e[1] : 256;
            bits = int(Le16(e + 6));
        }
        if (cx == 0 && cy == 0)
            return 0; // the first image, at its own size
        const long distance = std::labs(long(width) - (cx ? cx : width)) + std::labs(long(height) - (cy ? cy : height));
        // Nearest first; then the larger (shrinking looks better), then the deeper.
        if (best < 0 || distance < bestDistance || (distance == bestDistance && width > bestWidth) ||
            (distance == bestDistance && width == bestWidth && bits > bestBits)) {
            best = int(i);
            bestDistance = distance;
            bestWidth = width;
            bestBits = bits;
        }
    }
    return best;
}

HCURSOR LoadResourceCursor(HMODULE module, LPCSTR name)
{
    return static_cast<HCURSOR>(LoadImageA(module, name, IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

} // namespace tavrin::win

using namespace tavrin::win;

HBITMAP LoadBitmapA(HINSTANCE module, LPCSTR name)
{
    return static_cast<HBITMAP>(LoadImageA(module, name, IMAGE_BITMAP, 0, 0, 0));
}

HANDLE LoadImageA(HINSTANCE module, LPCSTR name, UINT type, int cx, int cy, UINT flags)
{
    if (!name || (flags & LR_LOADFROMFILE) || cx < 0 || cy < 0 || type > IMAGE_CURSOR) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (type == IMAGE_BITMAP)
        return LoadBitmapImage(module, name, flags);
    if (!(flags & LR_SHARED))
        return LoadIconImage(module, name, type == IMAGE_CURSOR, cx, cy, flags);
    const auto key = std::make_tuple(ResourceModule(module), type, NameKey(name), cx, cy);
    std::lock_guard<std::mutex> lock(g_sharedLock);
    auto it = g_shared.find(key);
    if (it != g_shared.end() && tavrin::IconFromHandle(static_cast<HICON>(it->second)))
        return it->second;
    HANDLE loaded = LoadIconImage(module, name, type == IMAGE_CURSOR, cx, cy, flags);
    if (loaded)
        g_shared[key] = loaded;
    return loaded;
}

HICON LoadIconA(HINSTANCE module, LPCSTR name)
{
    if (!module) {
        if (!IS_INTRESOURCE(name))
            return nullptr;
        const UINT id = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name));
        if (id < 32512 || id > 32518)
            return nullptr;
        return SystemIcon(id);
    }
    return static_cast<HICON>(LoadImageA(module, name, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}
