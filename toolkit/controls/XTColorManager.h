// The toolkit's one table of colours. Indexes 1 to 27 are the system
// colours, 28 to 57 colours derived from them (blends kept apart by contrast
// rules, or the fixed tables of the three Luna schemes); any index can be
// overridden by a custom colour. A value above 57 where an index is expected
// is an RGB value itself.
#pragma once

#include "platform/mfc/CmdTarget.h"
#include "platform/gdi/GdiTypes.h"

#define XT_COLOR_NONE (static_cast<COLORREF>(0xFFFFFFFF))

// The last colour index; values above it are RGB values.
constexpr int XT_COLOR_LAST = 57;
constexpr int XT_COLOR_COUNT = XT_COLOR_LAST + 1;

// The Windows XP colour scheme shown by the current visual style.
enum XTColorScheme {
    xtLunaNone = 0,
    xtLunaBlue = 1,
    xtLunaOlive = 2,
    xtLunaSilver = 3,
};

// A standard colour and an optional custom one that wins when set.
class CXTColorValue {
public:
    COLORREF clrStandard = XT_COLOR_NONE;
    COLORREF clrCustom = XT_COLOR_NONE;

    operator COLORREF() const { return clrCustom != XT_COLOR_NONE ? clrCustom : clrStandard; }
    void SetStandardValue(COLORREF clr) { clrStandard = clr; }
    void SetCustomValue(COLORREF clr) { clrCustom = clr; }
};

class CXTColorGradient {
public:
    CXTColorValue clrLight;
    CXTColorValue clrDark;

    void SetStandardValue(COLORREF light, COLORREF dark)
    {
        clrLight.SetStandardValue(light);
        clrDark.SetStandardValue(dark);
    }
};

// Per channel (a * n + b * (S - n) + S / 2) / S, S = 100 for n below 100,
// else 1000 (so 165 means 16.5 % of a).
COLORREF XTBlendColors(COLORREF clrA, COLORREF clrB, int nWeight);
// Squared distance in the eye-weighted colour space.
double XTColorDistanceSq(COLORREF clrA, COLORREF clrB);

class CXTColorManager : public CCmdTarget {
public:
    // Computes the colours once.
    CXTColorManager();

    COLORREF GetColor(int nIndex) const;
    // Overrides an index; XT_COLOR_NONE removes the override. Derived colours
    // follow at the next refresh.
    void SetColor(int nIndex, COLORREF clrValue);

    void RefreshColors(BOOL bInit = FALSE);
    void RefreshGradientColors();

    XTColorScheme GetSystemLunaTheme() const;
    XTColorScheme GetLunaTheme() const;
    BOOL IsLunaColorsDisabled() const { return m_bDisableLunaColors; }

    // Whether two colours are further apart than f (adaptive: a threshold
    // that doubles towards black).
    static BOOL IsFarApart(COLORREF clrA, COLORREF clrB, BOOL bAdaptive, float f);
    // clrB moved straight towards clrA until it is the threshold away.
    static COLORREF PullTowards(COLORREF clrA, COLORREF clrB, float f);
    // The colour on the ray through clrB (from black, or from white when
    // there is no room) that lies the threshold away from clrA.
    static COLORREF PushAwayFrom(COLORREF clrA, COLORREF clrB, float f);

    CXTColorGradient m_grcGradient1;
    CXTColorGradient m_grcGradient2;
    CXTColorGradient m_grcGradient3;
    CXTColorGradient m_grcGradient4;

protected:
    BOOL m_bRefreshed = FALSE;
    BOOL m_bDisableLunaColors = FALSE;
    COLORREF m_arStandardColors[XT_COLOR_COUNT] = {};
    COLORREF m_arCustomColors[XT_COLOR_COUNT];
    int m_nLunaScheme = 4; // 0 to 3 force a scheme, 4 detects it

private:
    void SetStandard(int nIndex, COLORREF clr) { m_arStandardColors[nIndex] = clr; }
};

// The one colour manager, built on first use.
CXTColorManager* XTGetColorManager();
