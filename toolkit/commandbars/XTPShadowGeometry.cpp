#include "toolkit/commandbars/XTPShadowGeometry.h"

CRect XTPShadowStripRect(BOOL bHorizontal, const CRect& rcOwner, int nDepth,
                         const std::vector<XTPShadowStrip>& existing)
{
    const int d = nDepth;
    CRect rc = bHorizontal ? CRect(rcOwner.left + d, rcOwner.bottom, rcOwner.right + d, rcOwner.bottom + d)
                           : CRect(rcOwner.right, rcOwner.top + d, rcOwner.right + d, rcOwner.bottom);
    for (const XTPShadowStrip& s : existing) {
        if (s.bHorizontal == bHorizontal)
            continue;
        if (bHorizontal) {
            if (rc.left == s.rc.right - 1 && rc.top > s.rc.top && rc.bottom < s.rc.bottom)
                rc.left -= 2 * s.rc.Width() + 1;
        } else if (rc.top == s.rc.bottom - 1 && rc.right > s.rc.left && rc.right < s.rc.right) {
            rc.top -= 2 * s.rc.Height();
        }
    }
    return rc;
}

namespace {

// Integer products keep the truncation exact: t is num / den.
uint32_t ShadowPixel(int alpha, int num, int den, COLORREF clr)
{
    const uint32_t r = GetRValue(clr) * num / den;
    const uint32_t g = GetGValue(clr) * num / den;
    const uint32_t b = GetBValue(clr) * num / den;
    return static_cast<uint32_t>(alpha) << 24 | r << 16 | g << 8 | b;
}

} // namespace

std::vector<uint32_t> XTPShadowStripPixels(BOOL bHorizontal, BOOL bFlat, int cx, int cy, COLORREF clrShadow)
{
    std::vector<uint32_t> bits(static_cast<size_t>(cx > 0 ? cx : 0) * (cy > 0 ? cy : 0), 0);
    const int f = bFlat ? 1 : 2;
    const int d = XTP_SHADOW_LAYERED_DEPTH;
    auto put = [&](int x, int y, uint32_t v) {
        if (x >= 0 && x < cx && y >= 0 && y < cy)
            bits[static_cast<size_t>(y) * cx + x] = v;
    };
    if (bHorizontal) {
        for (int y = 0; y < d; ++y) {
            const int k = d - y; // k = 4 touches the owner
            for (int x = d; x < cx - d; ++x)
                put(x, y, ShadowPixel(15 * f * k, k, 4, clrShadow));
            for (int i = 1; i <= d; ++i) {
                const uint32_t v = ShadowPixel(3 * f * i * k, i * k, 20, clrShadow);
                put(i - 1, y, v);
                put(cx - i, y, v);
            }
        }
    } else {
        for (int x = 0; x < d; ++x) {
            const int k = d - x;
            for (int y = d; y < cy; ++y)
                put(x, y, ShadowPixel(15 * f * k, k, 4, clrShadow));
            for (int i = 1; i <= d; ++i)
                put(x, i - 1, ShadowPixel(3 * f * i * k, i * k, 20, clrShadow));
        }
    }
    return bits;
}
