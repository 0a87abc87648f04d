// What the presenter reads from the desktop and hands to the system profile:
// the panel that a work area smaller than its monitor leaves along one edge.
#pragma once

#include "platform/base/Types.h"

namespace tavrin::display {

struct TaskbarPlace {
    UINT edge = 3;    // ABE_BOTTOM
    RECT rect{};      // empty: no panel
};

// The panel of a monitor: the widest strip the work area leaves free along
// one of its edges (bottom, top, left, right on a tie), or none.
TaskbarPlace TaskbarFromWorkArea(const RECT& monitor, const RECT& work);

} // namespace tavrin::display
