// Surface: a rectangle of 32-bit pixels (blue, green, red, alpha in memory
// order, as in a 32-bit DIB). Rows are addressed top-down; a bottom-up DIB is
// wrapped with a negative pitch. Either owns its pixels or wraps a caller's.
#pragma once

#include "platform/base/Types.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace tavrin {

// A COLORREF (0x00BBGGRR) as a pixel (0x00RRGGBB); the alpha byte is 0, as
// GDI writes it.
inline uint32_t PixelFromColor(COLORREF c)
{
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
inline COLORREF ColorFromPixel(uint32_t p)
{
    return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
}

// Sets count pixels from row on: the solid fill of every rectangle, in
// whole-row runs, vectorised (with AVX2 stores where the CPU has them).
void FillPixels(uint32_t* row, size_t count, uint32_t pixel);

class Surface {
public:
    // A zeroed top-down surface; null when the size is invalid or too large.
    static std::unique_ptr<Surface> Create(int width, int height);
    // Wraps pixels owned by someone else; pitch in bytes, negative for
    // bottom-up storage (first points at the top row then).
    static std::unique_ptr<Surface> Wrap(void* topRow, int width, int height, ptrdiff_t pitch);

    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    ptrdiff_t Pitch() const { return m_pitch; }
    RECT Bounds() const { return RECT{0, 0, m_width, m_height}; }

    uint32_t* Scanline(int y) { return reinterpret_cast<uint32_t*>(m_top + y * m_pitch); }
    const uint32_t* Scanline(int y) const { return reinterpret_cast<const uint32_t*>(m_top + y * m_pitch); }
    uint32_t GetPixel(int x, int y) const { return Scanline(y)[x]; }
    void SetPixel(int x, int y, uint32_t p) { Scanline(y)[x] = p; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }

    // Fills the part of r inside the surface.
    void Fill(const RECT& r, uint32_t pixel);
    // Largest accepted side and pixel count, so sizes never overflow.
    static constexpr int kMaxSide = 32768;
    static constexpr int64_t kMaxPixels = int64_t(1) << 28;

private:
    Surface() = default;

    std::unique_ptr<uint32_t[]> m_owned;
    unsigned char* m_top = nullptr;
    ptrdiff_t m_pitch = 0;
    int m_width = 0;
    int m_height = 0;
};

} // namespace tavrin
