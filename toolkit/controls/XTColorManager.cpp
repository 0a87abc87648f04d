#include "toolkit/controls/XTColorManager.h"

#include "toolkit/commandbars/XTPVisualStyleWrapper.h"
#include "toolkit/controls/XTDrawHelpers.h"
#include "platform/win/SystemProfile.h"

#include <algorithm>
#include <cmath>
#include <cwctype>
#include <cwchar>

namespace {

// The eye-weighted colour space: red, green and blue scaled to 195, 390, 65.
constexpr double kToSpace[3] = {0.7647058823529411, 1.5294117647058822, 0.2549019607843137};
constexpr double kFromSpace[3] = {1.3076923076923077, 0.6538461538461539, 3.923076923076923};
constexpr double kCorner[3] = {195, 390, 65};

struct Vec {
    double c[3];

    double Dot(const Vec& o) const { return c[0] * o.c[0] + c[1] * o.c[1] + c[2] * o.c[2]; }
    double Length() const { return std::sqrt(Dot(*this)); }
    Vec operator-(const Vec& o) const { return {{c[0] - o.c[0], c[1] - o.c[1], c[2] - o.c[2]}}; }
    Vec operator+(const Vec& o) const { return {{c[0] + o.c[0], c[1] + o.c[1], c[2] + o.c[2]}}; }
    Vec operator*(double k) const { return {{c[0] * k, c[1] * k, c[2] * k}}; }
    // The same point seen from the white corner.
    Vec FromWhite() const { return {{kCorner[0] - c[0], kCorner[1] - c[1], kCorner[2] - c[2]}}; }
};

Vec ToSpace(COLORREF clr)
{
    return {{GetRValue(clr) * kToSpace[0], GetGValue(clr) * kToSpace[1], GetBValue(clr) * kToSpace[2]}};
}

COLORREF FromSpace(const Vec& v)
{
    int channel[3];
    for (int i = 0; i < 3; ++i) {
        double x = std::clamp(v.c[i], 0.0, kCorner[i]);
        channel[i] = std::clamp(static_cast<int>(x * kFromSpace[i] + 0.5), 0, 255);
    }
    return RGB(channel[0], channel[1], channel[2]);
}

// (2 - n / 220) * trunc(f) with n = trunc(|A|) capped at 220, in single
// precision: black doubles the threshold, a bright colour keeps f.
double AdaptiveThreshold(COLORREF clrA, float f)
{
    int n = std::min(static_cast<int>(ToSpace(clrA).Length()), 220);
    float k = 2.0f - static_cast<float>(n) * 0.0045454544f;
    return static_cast<double>(k * static_cast<float>(static_cast<int>(f)));
}

COLORREF ScaleChannels(COLORREF clr, int numerator, int denominator)
{
    return RGB(GetRValue(clr) * numerator / denominator, GetGValue(clr) * numerator / denominator,
               GetBValue(clr) * numerator / denominator);
}

int MaxChannel(COLORREF clr)
{
    return std::max({GetRValue(clr), GetGValue(clr), GetBValue(clr)});
}

struct BlendRule {
    int dst, a, b, weight;
};

// Derived colours blended from the system colours, in this order.
constexpr BlendRule kBlends[] = {
    {30, 5, 15, 165}, {31, 13, 5, 30}, {33, 13, 5, 50}, {41, 15, 5, 143}, {35, 17, 5, 70},
    {38, 16, 5, 75},  {39, 16, 5, 70}, {43, 46, 16, 20}, {40, 16, 5, 90}, {42, 15, 16, 90},
};

// Pairs kept apart: when a and b are too close, dst is pushed away from a.
constexpr BlendRule kContrasts[] = {
    {31, 30, 31, 50},  {32, 30, 13, 100}, {33, 30, 33, 30},  {35, 41, 35, 80},  {37, 33, 37, 100},
    {38, 30, 38, 85},  {39, 30, 39, 50},  {43, 47, 43, 100}, {40, 30, 40, 80},  {44, 41, 44, 180},
    {45, 31, 45, 180}, {46, 30, 46, 180}, {47, 33, 47, 180},
};

// The colour each derived index starts from before blending.
constexpr int kSimpleSources[][2] = {
    {30, 15}, {31, 5},  {32, 13}, {33, 13}, {34, 16}, {35, 17}, {36, 5},  {37, 13}, {38, 16},
    {39, 16}, {40, 16}, {41, 5},  {42, 16}, {43, 16}, {44, 8},  {45, 7},  {46, 18}, {47, 14},
    {48, 15}, {49, 18}, {50, 13}, {51, 15}, {52, 16}, {53, 15}, {54, 16}, {55, 15}, {56, 15},
    {57, 16},
};

struct LunaColors {
    COLORREF index54;
    COLORREF gradient[4][2];
};

const LunaColors kLuna[3] = {
    {RGB(0, 45, 150),
     {{RGB(89, 135, 214), RGB(0, 45, 150)},
      {RGB(158, 190, 245), RGB(196, 218, 250)},
      {RGB(89, 135, 214), RGB(0, 45, 150)},
      {RGB(221, 236, 254), RGB(129, 169, 226)}}},
    {RGB(96, 128, 88),
     {{RGB(175, 192, 130), RGB(99, 122, 68)},
      {RGB(217, 217, 167), RGB(242, 241, 228)},
      {RGB(120, 142, 111), RGB(73, 91, 67)},
      {RGB(244, 247, 222), RGB(183, 198, 145)}}},
    {RGB(124, 124, 148),
     {{RGB(168, 167, 191), RGB(112, 111, 145)},
      {RGB(215, 215, 229), RGB(243, 243, 247)},
      {RGB(168, 167, 191), RGB(119, 118, 151)},
      {RGB(243, 244, 250), RGB(153, 151, 181)}}},
};

std::wstring Lower(const wchar_t* text)
{
    std::wstring s(text);
    for (wchar_t& ch : s)
        ch = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(ch)));
    return s;
}

} // namespace

COLORREF XTBlendColors(COLORREF clrA, COLORREF clrB, int nWeight)
{
    const int scale = nWeight < 100 ? 100 : 1000;
    auto mix = [&](int a, int b) { return (a * nWeight + b * (scale - nWeight) + scale / 2) / scale; };
    return RGB(mix(GetRValue(clrA), GetRValue(clrB)), mix(GetGValue(clrA), GetGValue(clrB)),
               mix(GetBValue(clrA), GetBValue(clrB)));
}

double XTColorDistanceSq(COLORREF clrA, COLORREF clrB)
{
    Vec d = ToSpace(clrA) - ToSpace(clrB);
    return d.Dot(d);
}

CXTColorManager::CXTColorManager()
{
    std::fill(std::begin(m_arCustomColors), std::end(m_arCustomColors), XT_COLOR_NONE);
    RefreshColors();
}

COLORREF CXTColorManager::GetColor(int nIndex) const
{
    if (nIndex > XT_COLOR_LAST)
        return static_cast<COLORREF>(nIndex);
    if (nIndex < 0)
        return 0;
    return m_arCustomColors[nIndex] != XT_COLOR_NONE ? m_arCustomColors[nIndex] : m_arStandardColors[nIndex];
}

void CXTColorManager::SetColor(int nIndex, COLORREF clrValue)
{
    if (nIndex >= 0 && nIndex <= XT_COLOR_LAST)
        m_arCustomColors[nIndex] = clrValue;
}

BOOL CXTColorManager::IsFarApart(COLORREF clrA, COLORREF clrB, BOOL bAdaptive, float f)
{
    double threshold = bAdaptive ? AdaptiveThreshold(clrA, f) : static_cast<double>(f);
    return XTColorDistanceSq(clrA, clrB) > threshold * threshold;
}

COLORREF CXTColorManager::PullTowards(COLORREF clrA, COLORREF clrB, float f)
{
    Vec a = ToSpace(clrA), b = ToSpace(clrB);
    Vec d = a - b;
    double len = d.Length();
    if (len == 0)
        return clrB;
    double k = (len - AdaptiveThreshold(clrA, f)) / len;
    return FromSpace(b + d * k);
}

COLORREF CXTColorManager::PushAwayFrom(COLORREF clrA, COLORREF clrB, float f)
{
    const double threshold = AdaptiveThreshold(clrA, f);
    Vec a = ToSpace(clrA), b = ToSpace(clrB);
    const double lenA = a.Length(), lenB = b.Length();
    const bool fromWhite = lenB < lenA ? lenA <= threshold : lenA <= 442 - threshold;
    if (fromWhite) {
        a = a.FromWhite();
        b = b.FromWhite();
    }
    double len = std::max(b.Length(), 0.001);
    double t = a.Dot(b) / (len * len);
    Vec off = b * t - a;
    // A further from the ray than the threshold has no such point: take the
    // ray's nearest one rather than the root of a negative number.
    double h = std::sqrt(std::max(0.0, threshold * threshold - off.Dot(off)));
    double s = a.Dot(b) / len - h;
    Vec result = b * (s / len);
    return FromSpace(fromWhite ? result.FromWhite() : result);
}

void CXTColorManager::RefreshColors(BOOL /*bInit*/)
{
    m_bRefreshed = TRUE;
    const bool lowColor = XTIsLowColorDisplay(nullptr) != FALSE;

    m_arStandardColors[0] = 0;
    for (int i = 1; i <= 27; ++i)
        m_arStandardColors[i] = GetSysColor(i);
    m_arStandardColors[28] = 0;
    m_arStandardColors[29] = 0;
    for (const auto& [dst, src] : kSimpleSources)
        SetStandard(dst, GetColor(src));

    if (!lowColor) {
        for (const BlendRule& r : kBlends)
            SetStandard(r.dst, XTBlendColors(GetColor(r.a), GetColor(r.b), r.weight));
        if (IsFarApart(GetColor(15), GetColor(30), TRUE, 35))
            SetStandard(30, PullTowards(GetColor(15), GetColor(30), 35));
        for (const BlendRule& r : kContrasts)
            if (!IsFarApart(GetColor(r.a), GetColor(r.b), TRUE, static_cast<float>(r.weight)))
                SetStandard(r.dst, PushAwayFrom(GetColor(r.a), GetColor(r.b), static_cast<float>(r.weight)));
        if (IsFarApart(GetColor(41), GetColor(35), TRUE, 145))
            SetStandard(35, PullTowards(GetColor(41), GetColor(35), 145));

        COLORREF c30 = GetColor(30), c13 = GetColor(13), c5 = GetColor(5);
        auto mix36 = [](int x30, int x13, int x5) { return x30 * 50 / 100 + x13 * 10 / 100 + x5 * 40 / 100; };
        SetStandard(36, RGB(mix36(GetRValue(c30), GetRValue(c13), GetRValue(c5)),
                            mix36(GetGValue(c30), GetGValue(c13), GetGValue(c5)),
                            mix36(GetBValue(c30), GetBValue(c13), GetBValue(c5))));

        COLORREF face = GetColor(15);
        int m = MaxChannel(face);
        SetStandard(48, m == 0 ? RGB(35, 35, 35) : ScaleChannels(face, m + std::min(255 - m, 35), m));

        if (face == 0) {
            SetStandard(49, RGB(127, 127, 127));
        } else {
            COLORREF shadow = GetColor(16);
            m = MaxChannel(shadow);
            SetStandard(49, m == 0 ? 0 : ScaleChannels(shadow, std::max(m - 43, 0), m));
        }

        COLORREF c31 = m_arStandardColors[31];
        SetStandard(34, RGB(static_cast<int>(GetRValue(c31) * 0.75), static_cast<int>(GetGValue(c31) * 0.75),
                            static_cast<int>(GetBValue(c31) * 0.75)));
        SetStandard(22, RGB(std::min(GetRValue(face) + 15, 255), std::min(GetGValue(face) + 15, 255),
                            std::min(GetBValue(face) + 15, 255)));
        SetStandard(53, GetColor(30));
    }

    RefreshGradientColors();
    if (lowColor)
        return;

    CXTPVisualStyleWrapper theme;
    theme.OpenThemeData(nullptr, L"TREEVIEW");
    COLORREF border = 0;
    if (theme.IsAppThemed() && theme.GetThemeColor(0, 0, TMT_BORDERCOLOR, &border) >= 0)
        SetStandard(57, border);
}

void CXTColorManager::RefreshGradientColors()
{
    const XTColorScheme scheme = GetLunaTheme();
    const COLORREF face = GetColor(15), shadow = GetColor(16), window = GetColor(5);
    m_grcGradient1.SetStandardValue(shadow, shadow);
    m_grcGradient2.SetStandardValue(face, XTBlendColors(face, window, 205));
    m_grcGradient3.SetStandardValue(face, shadow);
    m_grcGradient4.SetStandardValue(XTBlendColors(face, window, 205), face);
    if (m_bDisableLunaColors || scheme == xtLunaNone)
        return;
    const LunaColors& luna = kLuna[scheme - 1];
    SetStandard(54, luna.index54);
    CXTColorGradient* gradients[4] = {&m_grcGradient1, &m_grcGradient2, &m_grcGradient3, &m_grcGradient4};
    for (int i = 0; i < 4; ++i)
        gradients[i]->SetStandardValue(luna.gradient[i][0], luna.gradient[i][1]);
}

XTColorScheme CXTColorManager::GetSystemLunaTheme() const
{
    wchar_t file[260] = {}, colour[260] = {};
    CXTPVisualStyleWrapper theme;
    if (theme.GetCurrentThemeName(file, 260, colour, 260, nullptr, 0) < 0)
        return xtLunaNone;
    file[259] = colour[259] = 0;
    if (Lower(file).find(L"luna.msstyles") == std::wstring::npos)
        return xtLunaNone;
    const std::wstring name = Lower(colour);
    if (name == L"normalcolor")
        return xtLunaBlue;
    if (name == L"homestead")
        return xtLunaOlive;
    if (name == L"metallic")
        return xtLunaSilver;
    return xtLunaNone;
}

XTColorScheme CXTColorManager::GetLunaTheme() const
{
    if (m_nLunaScheme >= 0 && m_nLunaScheme <= 3)
        return static_cast<XTColorScheme>(m_nLunaScheme);
    return GetSystemLunaTheme();
}

CXTColorManager* XTGetColorManager()
{
    static CXTColorManager manager;
    return &manager;
}
