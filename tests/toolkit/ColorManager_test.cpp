#include "toolkit/controls/XTColorManager.h"

#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/controls/XTDrawHelpers.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/win/SystemProfile.h"

#include <array>

using tavrin::test::ColorText;
using tavrin::test::FakeThemeLibrary;

namespace {

using Table = std::array<COLORREF, XT_COLOR_COUNT>;

// Worked out from the blending and contrast rules for the classic scheme
// (face 212, 208, 200; window white; highlight 10, 36, 106; shadow grey).
const Table kClassic = {
    RGB(0, 0, 0), RGB(58, 110, 165), RGB(10, 36, 106), RGB(128, 128, 128),
    RGB(212, 208, 200), RGB(255, 255, 255), RGB(0, 0, 0), RGB(0, 0, 0),
    RGB(0, 0, 0), RGB(255, 255, 255), RGB(212, 208, 200), RGB(212, 208, 200),
    RGB(128, 128, 128), RGB(10, 36, 106), RGB(255, 255, 255), RGB(212, 208, 200),
    RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0), RGB(212, 208, 200),
    RGB(255, 255, 255), RGB(64, 64, 64), RGB(227, 223, 215), RGB(0, 0, 0),
    RGB(255, 255, 225), RGB(181, 181, 181), RGB(0, 0, 128), RGB(166, 202, 240),
    RGB(0, 0, 0), RGB(0, 0, 0), RGB(219, 216, 209), RGB(182, 189, 210),
    RGB(10, 36, 106), RGB(133, 146, 181), RGB(136, 141, 157), RGB(166, 166, 166),
    RGB(212, 213, 216), RGB(10, 36, 106), RGB(160, 160, 160), RGB(166, 166, 166),
    RGB(141, 141, 141), RGB(249, 248, 247), RGB(204, 200, 193), RGB(102, 102, 102),
    RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(255, 255, 255),
    RGB(247, 242, 233), RGB(85, 85, 85), RGB(10, 36, 106), RGB(212, 208, 200),
    RGB(128, 128, 128), RGB(219, 216, 209), RGB(128, 128, 128), RGB(212, 208, 200),
    RGB(212, 208, 200), RGB(128, 128, 128),
};

// 8 bits per pixel: the derived colours keep the colour they start from.
const Table kLowColor = {
    RGB(0, 0, 0), RGB(58, 110, 165), RGB(10, 36, 106), RGB(128, 128, 128),
    RGB(212, 208, 200), RGB(255, 255, 255), RGB(0, 0, 0), RGB(0, 0, 0),
    RGB(0, 0, 0), RGB(255, 255, 255), RGB(212, 208, 200), RGB(212, 208, 200),
    RGB(128, 128, 128), RGB(10, 36, 106), RGB(255, 255, 255), RGB(212, 208, 200),
    RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0), RGB(212, 208, 200),
    RGB(255, 255, 255), RGB(64, 64, 64), RGB(212, 208, 200), RGB(0, 0, 0),
    RGB(255, 255, 225), RGB(181, 181, 181), RGB(0, 0, 128), RGB(166, 202, 240),
    RGB(0, 0, 0), RGB(0, 0, 0), RGB(212, 208, 200), RGB(255, 255, 255),
    RGB(10, 36, 106), RGB(10, 36, 106), RGB(128, 128, 128), RGB(128, 128, 128),
    RGB(255, 255, 255), RGB(10, 36, 106), RGB(128, 128, 128), RGB(128, 128, 128),
    RGB(128, 128, 128), RGB(255, 255, 255), RGB(128, 128, 128), RGB(128, 128, 128),
    RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(255, 255, 255),
    RGB(212, 208, 200), RGB(0, 0, 0), RGB(10, 36, 106), RGB(212, 208, 200),
    RGB(128, 128, 128), RGB(212, 208, 200), RGB(128, 128, 128), RGB(212, 208, 200),
    RGB(212, 208, 200), RGB(128, 128, 128),
};

// The classic scheme with a custom face colour RGB(200, 220, 240).
const Table kCustomFace = {
    RGB(0, 0, 0), RGB(58, 110, 165), RGB(10, 36, 106), RGB(128, 128, 128),
    RGB(212, 208, 200), RGB(255, 255, 255), RGB(0, 0, 0), RGB(0, 0, 0),
    RGB(0, 0, 0), RGB(255, 255, 255), RGB(212, 208, 200), RGB(212, 208, 200),
    RGB(128, 128, 128), RGB(10, 36, 106), RGB(255, 255, 255), RGB(200, 220, 240),
    RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0), RGB(212, 208, 200),
    RGB(255, 255, 255), RGB(64, 64, 64), RGB(215, 235, 255), RGB(0, 0, 0),
    RGB(255, 255, 225), RGB(181, 181, 181), RGB(0, 0, 128), RGB(166, 202, 240),
    RGB(0, 0, 0), RGB(0, 0, 0), RGB(209, 226, 242), RGB(182, 189, 210),
    RGB(10, 36, 106), RGB(133, 146, 181), RGB(136, 141, 157), RGB(166, 166, 166),
    RGB(207, 218, 233), RGB(10, 36, 106), RGB(160, 160, 160), RGB(166, 166, 166),
    RGB(141, 141, 141), RGB(247, 250, 253), RGB(193, 211, 229), RGB(102, 102, 102),
    RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(255, 255, 255),
    RGB(212, 233, 255), RGB(85, 85, 85), RGB(10, 36, 106), RGB(200, 220, 240),
    RGB(128, 128, 128), RGB(209, 226, 242), RGB(128, 128, 128), RGB(200, 220, 240),
    RGB(200, 220, 240), RGB(128, 128, 128),
};

class ColorManagerTest : public tavrin::test::ToolkitTest {
protected:
    static void ExpectTable(const CXTColorManager& colors, const Table& expected)
    {
        for (int i = 0; i < XT_COLOR_COUNT; ++i)
            EXPECT_EQ(ColorText(colors.GetColor(i)), ColorText(expected[static_cast<size_t>(i)])) << "index " << i;
    }
    static void ExpectGradient(const CXTColorGradient& g, COLORREF light, COLORREF dark, const char* name)
    {
        EXPECT_EQ(ColorText(g.clrLight), ColorText(light)) << name;
        EXPECT_EQ(ColorText(g.clrDark), ColorText(dark)) << name;
    }
};

} // namespace

TEST_F(ColorManagerTest, ClassicProfileGivesTheWorkedOutTable)
{
    CXTColorManager colors;
    ExpectTable(colors, kClassic);
    EXPECT_EQ(colors.GetLunaTheme(), xtLunaNone);
    EXPECT_FALSE(colors.IsLunaColorsDisabled());
    // Without visual styles: G2's dark colour is 20.5 % face, 79.5 % window.
    ExpectGradient(colors.m_grcGradient1, RGB(128, 128, 128), RGB(128, 128, 128), "G1");
    ExpectGradient(colors.m_grcGradient2, RGB(212, 208, 200), RGB(246, 245, 244), "G2");
    ExpectGradient(colors.m_grcGradient3, RGB(212, 208, 200), RGB(128, 128, 128), "G3");
    ExpectGradient(colors.m_grcGradient4, RGB(246, 245, 244), RGB(212, 208, 200), "G4");
}

TEST_F(ColorManagerTest, LowColorDisplayKeepsSimpleDerivedValues)
{
    tavrin::SetDisplayBitsPerPixel(8);
    CXTColorManager colors;
    ExpectTable(colors, kLowColor);
    EXPECT_EQ(colors.GetColor(30), colors.GetColor(COLOR_BTNFACE));
    ExpectGradient(colors.m_grcGradient2, RGB(212, 208, 200), RGB(246, 245, 244), "G2");
}

TEST_F(ColorManagerTest, LowColorDisplayStillTakesTheSchemesGradientsAndIndex54)
{
    FakeThemeLibrary::Install();
    tavrin::SetDisplayBitsPerPixel(8);
    CXTColorManager colors;
    Table expected = kLowColor;
    expected[54] = RGB(0, 45, 150);
    ExpectTable(colors, expected); // 57 stays the shadow: no theme colour on low colour
    ExpectGradient(colors.m_grcGradient1, RGB(89, 135, 214), RGB(0, 45, 150), "G1");
    FakeThemeLibrary::Uninstall();
}

TEST_F(ColorManagerTest, CustomFaceMovesDerivedColoursAtTheNextRefresh)
{
    CXTColorManager colors;
    colors.SetColor(COLOR_BTNFACE, RGB(200, 220, 240));
    EXPECT_EQ(colors.GetColor(COLOR_BTNFACE), RGB(200, 220, 240));
    EXPECT_EQ(colors.GetColor(30), kClassic[30]) << "derived colours wait for a refresh";
    colors.RefreshColors();
    ExpectTable(colors, kCustomFace);
    ExpectGradient(colors.m_grcGradient2, RGB(200, 220, 240), RGB(244, 248, 252), "G2");
    colors.SetColor(COLOR_BTNFACE, XT_COLOR_NONE);
    colors.RefreshColors();
    ExpectTable(colors, kClassic);
}

TEST_F(ColorManagerTest, BlackFaceGivesFixedShades)
{
    CXTColorManager colors;
    colors.SetColor(COLOR_BTNFACE, RGB(0, 0, 0));
    colors.RefreshColors();
    EXPECT_EQ(ColorText(colors.GetColor(48)), ColorText(RGB(35, 35, 35)));
    EXPECT_EQ(ColorText(colors.GetColor(49)), ColorText(RGB(127, 127, 127)));
    EXPECT_EQ(ColorText(colors.GetColor(22)), ColorText(RGB(15, 15, 15)));
}

TEST_F(ColorManagerTest, IndexesAboveTheTableAreColours)
{
    CXTColorManager colors;
    EXPECT_EQ(colors.GetColor(58), 58u);
    EXPECT_EQ(colors.GetColor(57), kClassic[57]);
    EXPECT_EQ(colors.GetColor(RGB(1, 2, 3)), RGB(1, 2, 3));
    colors.SetColor(58, RGB(9, 9, 9)); // not an index: ignored
    EXPECT_EQ(colors.GetColor(58), 58u);
}

TEST_F(ColorManagerTest, XTBlendColorsWeighsByHundredthsOrThousandths)
{
    struct Case {
        COLORREF a, b;
        int weight;
        COLORREF expected;
    } const cases[] = {
        {RGB(255, 255, 255), RGB(0, 0, 0), 30, RGB(77, 77, 77)},
        {RGB(255, 255, 255), RGB(0, 0, 0), 165, RGB(42, 42, 42)},
        {RGB(255, 255, 255), RGB(0, 0, 0), 0, RGB(0, 0, 0)},
        {RGB(255, 255, 255), RGB(212, 208, 200), 205, RGB(221, 218, 211)},
        {RGB(10, 20, 30), RGB(30, 20, 10), 50, RGB(20, 20, 20)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ColorText(XTBlendColors(c.a, c.b, c.weight)), ColorText(c.expected)) << "weight " << c.weight;
}

TEST_F(ColorManagerTest, FarApartUsesAThresholdThatDoublesTowardsBlack)
{
    // Black against dark grey 69.15 apart: inside black's doubled threshold
    // of 70, outside the plain 35.
    EXPECT_FALSE(CXTColorManager::IsFarApart(RGB(0, 0, 0), RGB(40, 40, 40), TRUE, 35));
    EXPECT_TRUE(CXTColorManager::IsFarApart(RGB(0, 0, 0), RGB(40, 40, 40), FALSE, 35));
    // White keeps 35: light grey 43.2 apart is far.
    EXPECT_TRUE(CXTColorManager::IsFarApart(RGB(255, 255, 255), RGB(230, 230, 230), TRUE, 35));
    EXPECT_FALSE(CXTColorManager::IsFarApart(RGB(255, 255, 255), RGB(250, 250, 250), TRUE, 35));
    EXPECT_FALSE(CXTColorManager::IsFarApart(RGB(9, 9, 9), RGB(9, 9, 9), FALSE, 0)) << "equal is not far";
}

TEST_F(ColorManagerTest, PullAndPushOnChosenColours)
{
    struct Case {
        const char* what;
        bool push;
        COLORREF a, b;
        float f;
        COLORREF expected;
    } const cases[] = {
        {"black pulled to 35 from white", false, RGB(255, 255, 255), RGB(0, 0, 0), 35, RGB(235, 235, 235)},
        {"highlight pulled towards the face", false, RGB(212, 208, 200), RGB(10, 36, 106), 50, RGB(179, 180, 185)},
        {"darker, room below: from black", true, RGB(128, 128, 128), RGB(110, 110, 110), 50, RGB(99, 99, 99)},
        {"lighter, room above: from white", true, RGB(128, 128, 128), RGB(120, 130, 140), 50, RGB(150, 158, 166)},
        {"lighter than the face", true, RGB(212, 208, 200), RGB(220, 215, 210), 30, RGB(229, 225, 222)},
        {"darker, no room below: from white", true, RGB(20, 20, 20), RGB(10, 10, 10), 50, RGB(73, 73, 73)},
        {"lighter, no room above: from black", true, RGB(250, 250, 250), RGB(255, 255, 255), 50, RGB(221, 221, 221)},
        {"black on black", true, RGB(0, 0, 0), RGB(0, 0, 0), 35, RGB(40, 40, 40)},
        // Further apart than the threshold: the ray's nearest point, never a
        // number made from the root of a negative one.
        {"far apart", true, RGB(255, 0, 0), RGB(0, 0, 255), 35, RGB(0, 0, 0)},
    };
    for (const Case& c : cases) {
        COLORREF got = c.push ? CXTColorManager::PushAwayFrom(c.a, c.b, c.f) : CXTColorManager::PullTowards(c.a, c.b, c.f);
        EXPECT_EQ(ColorText(got), ColorText(c.expected)) << c.what;
    }
    EXPECT_EQ(CXTColorManager::PullTowards(RGB(5, 5, 5), RGB(5, 5, 5), 35), RGB(5, 5, 5)) << "no direction: unchanged";
}

TEST_F(ColorManagerTest, LunaSchemesThroughTheVisualStyles)
{
    struct Case {
        const wchar_t* file;
        const wchar_t* color;
        XTColorScheme scheme;
        COLORREF index54;
        COLORREF g[4][2];
    } const cases[] = {
        {L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles", L"NormalColor", xtLunaBlue, RGB(0, 45, 150),
         {{RGB(89, 135, 214), RGB(0, 45, 150)},
          {RGB(158, 190, 245), RGB(196, 218, 250)},
          {RGB(89, 135, 214), RGB(0, 45, 150)},
          {RGB(221, 236, 254), RGB(129, 169, 226)}}},
        {L"c:\\windows\\resources\\themes\\luna\\LUNA.MSSTYLES", L"HomeStead", xtLunaOlive, RGB(96, 128, 88),
         {{RGB(175, 192, 130), RGB(99, 122, 68)},
          {RGB(217, 217, 167), RGB(242, 241, 228)},
          {RGB(120, 142, 111), RGB(73, 91, 67)},
          {RGB(244, 247, 222), RGB(183, 198, 145)}}},
        {L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles", L"Metallic", xtLunaSilver, RGB(124, 124, 148),
         {{RGB(168, 167, 191), RGB(112, 111, 145)},
          {RGB(215, 215, 229), RGB(243, 243, 247)},
          {RGB(168, 167, 191), RGB(119, 118, 151)},
          {RGB(243, 244, 250), RGB(153, 151, 181)}}},
    };
    for (const Case& c : cases) {
        FakeThemeLibrary::Install();
        FakeThemeLibrary::fileName = c.file;
        FakeThemeLibrary::colorName = c.color;
        CXTColorManager colors;
        EXPECT_EQ(colors.GetSystemLunaTheme(), c.scheme);
        EXPECT_EQ(colors.GetLunaTheme(), c.scheme);
        EXPECT_EQ(ColorText(colors.GetColor(54)), ColorText(c.index54));
        const CXTColorGradient* g[4] = {&colors.m_grcGradient1, &colors.m_grcGradient2, &colors.m_grcGradient3,
                                        &colors.m_grcGradient4};
        for (int i = 0; i < 4; ++i)
            ExpectGradient(*g[i], c.g[i][0], c.g[i][1], "scheme gradient");
        EXPECT_EQ(ColorText(colors.GetColor(57)), ColorText(FakeThemeLibrary::borderColor)) << "the tree's border";
        EXPECT_EQ(colors.GetColor(30), kClassic[30]) << "derived colours do not depend on the scheme";
        EXPECT_EQ(FakeThemeLibrary::opened, FakeThemeLibrary::closed) << "theme data closed again";
        FakeThemeLibrary::Uninstall();
    }
}

TEST_F(ColorManagerTest, OtherStylesAndFailuresGiveNoScheme)
{
    struct Case {
        const wchar_t* file;
        const wchar_t* color;
        BOOL active;
    } const cases[] = {
        {L"C:\\WINDOWS\\Resources\\Themes\\Royale\\Royale.msstyles", L"NormalColor", TRUE},
        {L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles", L"Aqua", TRUE},
        {L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles", L"NormalColor", FALSE}, // the call fails
    };
    for (const Case& c : cases) {
        FakeThemeLibrary::Install();
        FakeThemeLibrary::fileName = c.file;
        FakeThemeLibrary::colorName = c.color;
        FakeThemeLibrary::themeActive = c.active;
        CXTColorManager colors;
        EXPECT_EQ(colors.GetLunaTheme(), xtLunaNone);
        EXPECT_EQ(colors.GetColor(54), kClassic[54]);
        FakeThemeLibrary::Uninstall();
    }
}

TEST_F(ColorManagerTest, UnthemedApplicationKeepsTheShadowAt57)
{
    FakeThemeLibrary::Install();
    FakeThemeLibrary::appThemed = FALSE;
    CXTColorManager colors;
    EXPECT_EQ(colors.GetColor(57), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(colors.GetLunaTheme(), xtLunaBlue);
    FakeThemeLibrary::Uninstall();
}

TEST_F(ColorManagerTest, OneManagerForTheProcess)
{
    EXPECT_EQ(XTGetColorManager(), XTGetColorManager());
    EXPECT_EQ(XTGetColorManager()->GetColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(XTGetLunaTheme(), xtLunaNone);
}
