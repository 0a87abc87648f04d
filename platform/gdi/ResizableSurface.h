// ResizableSurface: a surface that changes size in place, for the pixels of
// windows. They live in a block with room to spare, so a window resized a
// little at a time (a live resize) keeps its memory instead of handing a
// block back and faulting a fresh one in at every step. Across a resize the
// kept pixels stay at the top left and the pixels newly inside are zero.
#pragma once

#include "platform/gdi/Surface.h"

#include <memory>

namespace tavrin {

class ResizableSurface {
public:
    // The current view (rows a block's width apart); null before the first
    // resize or after an invalid size. A view given out stays valid.
    const std::shared_ptr<Surface>& Get() const { return m_view; }
    const std::shared_ptr<Surface>& Resize(int width, int height);

private:
    struct Block;
    std::shared_ptr<Block> m_block;
    std::shared_ptr<Surface> m_view;
};

} // namespace tavrin
