#include "platform/display/Desktop.h"

namespace tavrin::display {

TaskbarPlace TaskbarFromWorkArea(const RECT& monitor, const RECT& work)
{
    struct Strip {
        UINT edge;
        LONG size;
        RECT rect;
    };
    // ABE_ values: left 0, top 1, right 2, bottom 3.
    const Strip strips[] = {
        {3, monitor.bottom - work.bottom, RECT{monitor.left, work.bottom, monitor.right, monitor.bottom}},
        {1, work.top - monitor.top, RECT{monitor.left, monitor.top, monitor.right, work.top}},
        {0, work.left - monitor.left, RECT{monitor.left, monitor.top, work.left, monitor.bottom}},
        {2, monitor.right - work.right, RECT{work.right, monitor.top, monitor.right, monitor.bottom}},
    };
    const Strip* best = nullptr;
    for (const Strip& s : strips)
        if (s.size > 0 && (!best || s.size > best->size))
            best = &s;
    TaskbarPlace place;
    if (best) {
        place.edge = best->edge;
        place.rect = best->rect;
    }
    return place;
}

} // namespace tavrin::display
