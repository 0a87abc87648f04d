// DibFormat: reading and writing rows of device-independent bitmaps at 1, 4,
// 8, 16, 24 and 32 bits per pixel against 32-bit pixels.
#pragma once

#include "platform/gdi/GdiTypes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavrin {

struct DibLayout {
    int width = 0;
    int height = 0;      // always positive
    bool topDown = false;
    int bitsPerPixel = 0;
    DWORD compression = BI_RGB;
    size_t stride = 0;   // bytes per row, a multiple of 4
    DWORD masks[3] = {0, 0, 0}; // red, green, blue for 16 and 32 bits
    std::vector<RGBQUAD> colors; // colour table for 1, 4 and 8 bits
    size_t ImageSize() const { return stride * size_t(height); }
    // Row index in storage order for image row y (0 = top).
    int StorageRow(int y) const { return topDown ? y : height - 1 - y; }
};

// Parses a BITMAPINFO: supported depths, BI_RGB or BI_BITFIELDS, sizes within
// bounds. The colour table is read only for DIB_RGB_COLORS; DIB_PAL_COLORS
// entries become grey levels of their index.
bool ParseDibInfo(const BITMAPINFO* info, UINT usage, DibLayout& out);
// Bytes of a packed DIB header and colour table.
size_t DibHeaderSize(const BITMAPINFO* info, UINT usage);

void DecodeDibRow(const DibLayout& dib, const uint8_t* row, uint32_t* out);
void EncodeDibRow(const DibLayout& dib, const uint32_t* in, uint8_t* row);

// The colour table GetDIBits reports for a depth of 1, 4 or 8 bits.
std::vector<RGBQUAD> DefaultColorTable(int bitsPerPixel);

} // namespace tavrin
