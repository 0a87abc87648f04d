// Display tests of the main window: where the panes begin below the menu bar
// and the toolbars.
#pragma once

#include <cstddef>
#include <vector>

namespace tavrin::test {

// The splitter's dark sunken edge: the first dark line down the left
// column, where the bars are light.
inline int PanesTop(const std::vector<unsigned>& shot, int cw, int ch)
{
    const int x = cw / 4 - 20;
    for (int y = 0; y < ch && x >= 0; ++y) {
        const unsigned c = shot[static_cast<size_t>(y) * cw + x];
        if ((c & 0xFF) < 160 && ((c >> 8) & 0xFF) < 160 && ((c >> 16) & 0xFF) < 160)
            return y;
    }
    return 0;
}

} // namespace tavrin::test
