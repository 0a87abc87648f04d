// The system colours the drawing functions use themselves (3-D edges, frame
// controls, blended image-list images). The classic colour scheme until the
// system profile installs its own source.
#pragma once

#include "platform/base/Types.h"

namespace tavrin {

using SysColorSource = COLORREF (*)(int index);

COLORREF GdiSysColor(int index);
// The classic scheme's colour of an index (0 outside the scheme); the system
// profile starts from it too.
COLORREF ClassicSysColor(int index);
constexpr int kClassicSysColorCount = 31;
// Null restores the classic scheme.
void SetGdiSysColorSource(SysColorSource source);

// Indexes, with the documented COLOR_ values.
namespace syscolor {
constexpr int kWindow = 5;
constexpr int kWindowText = 8;
constexpr int kHighlight = 13;
constexpr int kHighlightText = 14;
constexpr int kFace = 15;
constexpr int kShadow = 16;
constexpr int kGrayText = 17;
constexpr int kButtonText = 18;
constexpr int kHilight = 20;
constexpr int kDarkShadow = 21;
constexpr int kLight = 22;
} // namespace syscolor

} // namespace tavrin
