// Raster: the binary and ternary raster operations, bit for bit on the colour
// bits of 32-bit pixels. The alpha byte is written as 0 (as GDI writes it),
// except that a plain source copy carries the source's alpha along.
#pragma once

#include "platform/gdi/GdiTypes.h"

#include <cstdint>

namespace tavrin {

// rop2 is an R2_ value (1-16): bit (pen << 1 | dest) of (rop2 - 1) gives the
// result bit.
inline uint32_t ApplyRop2Bits(int rop2, uint32_t pen, uint32_t dest)
{
    switch (rop2) {
    case R2_COPYPEN: return pen;
    case R2_XORPEN: return pen ^ dest;
    case R2_NOT: return ~dest;
    case R2_NOP: return dest;
    default: break;
    }
    unsigned code = unsigned(rop2 - 1) & 0xF;
    uint32_t r = 0;
    if (code & 1) r |= ~pen & ~dest;
    if (code & 2) r |= ~pen & dest;
    if (code & 4) r |= pen & ~dest;
    if (code & 8) r |= pen & dest;
    return r;
}

// The ternary operation code (bits 16-23 of a raster operation): bit
// (pattern << 2 | source << 1 | dest) gives the result bit.
inline uint8_t Rop3Code(DWORD rop) { return uint8_t((rop >> 16) & 0xFF); }
inline bool Rop3UsesSource(uint8_t code) { return ((code >> 2) & 0x33) != (code & 0x33); }
inline bool Rop3UsesPattern(uint8_t code) { return ((code >> 4) & 0x0F) != (code & 0x0F); }

inline uint32_t ApplyRop3Bits(uint8_t code, uint32_t p, uint32_t s, uint32_t d)
{
    switch (code) {
    case 0xCC: return s;
    case 0xF0: return p;
    case 0x00: return 0;
    case 0xFF: return 0xFFFFFFFFu;
    case 0x88: return s & d;
    case 0xEE: return s | d;
    case 0x66: return s ^ d;
    case 0x5A: return p ^ d;
    case 0x55: return ~d;
    case 0x33: return ~s;
    case 0xAA: return d;
    default: break;
    }
    uint32_t r = 0;
    for (unsigned i = 0; i < 8; ++i) {
        if (!(code & (1u << i)))
            continue;
        r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    }
    return r;
}

inline uint32_t ApplyRop2(int rop2, uint32_t pen, uint32_t dest)
{
    return ApplyRop2Bits(rop2, pen, dest) & 0x00FFFFFFu;
}

inline uint32_t ApplyRop3(uint8_t code, uint32_t p, uint32_t s, uint32_t d)
{
    if (code == 0xCC)
        return s;
    return ApplyRop3Bits(code, p, s, d) & 0x00FFFFFFu;
}

} // namespace tavrin
