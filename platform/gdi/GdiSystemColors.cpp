#include "platform/gdi/GdiSystemColors.h"

#include <atomic>

namespace tavrin {

COLORREF ClassicSysColor(int index)
{
    static const COLORREF colors[] = {
        RGB(212, 208, 200), RGB(58, 110, 165), RGB(10, 36, 106),   RGB(128, 128, 128), RGB(212, 208, 200),
        RGB(255, 255, 255), RGB(0, 0, 0),      RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(255, 255, 255),
        RGB(212, 208, 200), RGB(212, 208, 200), RGB(128, 128, 128), RGB(10, 36, 106),  RGB(255, 255, 255),
        RGB(212, 208, 200), RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),      RGB(212, 208, 200),
        RGB(255, 255, 255), RGB(64, 64, 64),   RGB(212, 208, 200), RGB(0, 0, 0),       RGB(255, 255, 225),
        RGB(181, 181, 181), RGB(0, 0, 128),    RGB(166, 202, 240), RGB(192, 192, 192), RGB(49, 106, 197),
        RGB(236, 233, 216),
    };
    static_assert(sizeof colors / sizeof colors[0] == kClassicSysColorCount);
    if (index < 0 || index >= kClassicSysColorCount)
        return 0;
    return colors[index];
}

namespace {

std::atomic<SysColorSource> g_source{nullptr};

} // namespace

COLORREF GdiSysColor(int index)
{
    SysColorSource source = g_source.load();
    return source ? source(index) : ClassicSysColor(index);
}

void SetGdiSysColorSource(SysColorSource source)
{
    g_source.store(source);
}

} // namespace tavrin
