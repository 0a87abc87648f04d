// The buttons a message box of a type shows, in order, with the answer its
// Enter key gives and the one closing it gives (Escape, the close box, or the
// program quitting while it is open).
#pragma once

#include "platform/base/Types.h"

#include <vector>

namespace tavrin::display {

struct MessageBoxButtons {
    std::vector<int> answers;
    int defaultAnswer = 1; // IDOK
    int closeAnswer = 1;
};

MessageBoxButtons GetMessageBoxButtons(UINT type);

} // namespace tavrin::display
