// Font: a LOGFONT and, once drawn with, the scaled face it resolves to.
#pragma once

#include "platform/gdi/FontLibrary.h"
#include "platform/gdi/GdiObject.h"

#include <mutex>

namespace tavrin {

class Font final : public GdiObject {
public:
    explicit Font(const LOGFONTA& lf) : m_logFont(lf) { m_logFont.lfFaceName[LF_FACESIZE - 1] = 0; }

    int Type() const override { return OBJ_FONT; }
    int Describe(int size, void* out) const override;

    const LOGFONTA& LogFont() const { return m_logFont; }
    ScaledFont& Scaled();
    // Rotation of the baseline in quarter turns counter-clockwise (0-3);
    // escapements between right angles round to the nearest one.
    int QuarterTurns() const;

private:
    LOGFONTA m_logFont;
    std::once_flag m_once;
    std::shared_ptr<ScaledFont> m_scaled;
};

} // namespace tavrin
