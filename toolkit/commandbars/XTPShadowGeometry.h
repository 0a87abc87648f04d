// The shapes and pixels of the popup shadow strips: one strip below the
// owner and one at its right.
#pragma once

#include "platform/mfc/Rect.h"

#include <cstdint>
#include <vector>

// Depth of a strip: alpha-blended with layered windows, solid without.
constexpr int XTP_SHADOW_LAYERED_DEPTH = 4;
constexpr int XTP_SHADOW_SOLID_DEPTH = 2;

struct XTPShadowStrip {
    BOOL bHorizontal = FALSE; // below the owner; otherwise at its right
    CRect rc;                 // screen coordinates
};

// Rectangle of a new strip around rcOwner, joined to the existing strips of
// the other orientation so a submenu's shadow runs on under its parent's.
CRect XTPShadowStripRect(BOOL bHorizontal, const CRect& rcOwner, int nDepth,
                         const std::vector<XTPShadowStrip>& existing);

// Premultiplied ARGB pixels of a layered strip of size cx x cy, row 0 at
// the top, in the colour clrShadow (0x00BBGGRR).
std::vector<uint32_t> XTPShadowStripPixels(BOOL bHorizontal, BOOL bFlat, int cx, int cy, COLORREF clrShadow);

// Whether a popup gets shadows: flat themes always do; the others only with
// layered windows and the system's drop-shadow setting on.
inline BOOL XTPPopupShadowWanted(BOOL bFlat, BOOL bLayered, BOOL bDropShadowSetting)
{
    return bFlat || (bLayered && bDropShadowSetting);
}
