#include "platform/gdi/ResizableSurface.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace tavrin {

struct ResizableSurface::Block {
    std::unique_ptr<uint32_t[]> pixels;
    int width = 0;
    int height = 0;
};

namespace {

// A view of the top-left width x height pixels; it keeps the block alive.
template <typename Block>
std::shared_ptr<Surface> ViewOf(const std::shared_ptr<Block>& block, int width, int height)
{
    Surface* view = Surface::Wrap(block->pixels.get(), width, height, ptrdiff_t(block->width) * 4).release();
    if (!view)
        return nullptr;
    return std::shared_ptr<Surface>(view, [block](Surface* s) { delete s; });
}

// Room for growing by an eighth before the next block.
int WithRoom(int side)
{
    return std::min(Surface::kMaxSide, side + side / 8 + 16);
}

} // namespace

const std::shared_ptr<Surface>& ResizableSurface::Resize(int width, int height)
{
    if (width <= 0 || height <= 0 || width > Surface::kMaxSide || height > Surface::kMaxSide ||
        int64_t(width) * height > Surface::kMaxPixels) {
        m_block.reset();
        m_view.reset();
        return m_view;
    }
    const int oldWidth = m_view ? m_view->Width() : 0, oldHeight = m_view ? m_view->Height() : 0;
    if (width == oldWidth && height == oldHeight)
        return m_view;
    // The block is kept while the view fits and uses at least half of it.
    const bool fits = m_block && width <= m_block->width && height <= m_block->height &&
                      int64_t(width) * height * 2 >= int64_t(m_block->width) * m_block->height;
    if (fits) {
        m_view = ViewOf(m_block, width, height);
        // Only what was outside the old view is cleared: its pixels may be
        // left from a larger size.
        for (int y = 0; y < height; ++y) {
            const int from = y < oldHeight ? std::min(oldWidth, width) : 0;
            if (from < width)
                std::memset(m_view->Scanline(y) + from, 0, size_t(width - from) * 4);
        }
        return m_view;
    }
    auto block = std::make_shared<Block>();
    // First made at its size; grown blocks get room for the steps to come.
    block->width = m_block ? WithRoom(width) : width;
    block->height = m_block ? WithRoom(height) : height;
    if (int64_t(block->width) * block->height > Surface::kMaxPixels) {
        block->width = width;
        block->height = height;
    }
    block->pixels.reset(new (std::nothrow) uint32_t[size_t(block->width) * size_t(block->height)]());
    if (!block->pixels) {
        m_block.reset();
        m_view.reset();
        return m_view;
    }
    auto view = ViewOf(block, width, height);
    if (m_view) {
        const int w = std::min(width, oldWidth), h = std::min(height, oldHeight);
        for (int y = 0; y < h; ++y)
            std::memcpy(view->Scanline(y), m_view->Scanline(y), size_t(w) * 4);
    }
    m_block = std::move(block);
    m_view = std::move(view);
    return m_view;
}

} // namespace tavrin
