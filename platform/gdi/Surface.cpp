#include "platform/gdi/Surface.h"

#include <algorithm>
#include <new>

namespace tavrin {

std::unique_ptr<Surface> Surface::Create(int width, int height)
{
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide
        || int64_t(width) * height > kMaxPixels)
        return nullptr;
    std::unique_ptr<Surface> s(new Surface);
    s->m_owned.reset(new (std::nothrow) uint32_t[size_t(width) * size_t(height)]());
    if (!s->m_owned)
        return nullptr;
    s->m_top = reinterpret_cast<unsigned char*>(s->m_owned.get());
    s->m_pitch = ptrdiff_t(width) * 4;
    s->m_width = width;
    s->m_height = height;
    return s;
}

std::unique_ptr<Surface> Surface::Wrap(void* topRow, int width, int height, ptrdiff_t pitch)
{
    if (!topRow || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return nullptr;
    std::unique_ptr<Surface> s(new Surface);
    s->m_top = static_cast<unsigned char*>(topRow);
    s->m_pitch = pitch;
    s->m_width = width;
    s->m_height = height;
    return s;
}

void Surface::Fill(const RECT& r, uint32_t pixel)
{
    int l = std::max<int>(r.left, 0), t = std::max<int>(r.top, 0);
    int rr = std::min<int>(r.right, m_width), b = std::min<int>(r.bottom, m_height);
    for (int y = t; y < b; ++y)
        std::fill(Scanline(y) + l, Scanline(y) + std::max(l, rr), pixel);
}

} // namespace tavrin
