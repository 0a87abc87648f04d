// The Gnome look pixel for pixel on small surfaces: bar and dock fills, the
// button states, separators before wrapped and unwrapped controls, the
// grippers at every position, the floating caption and the status grip.
#include "app/GnomePaintManager.h"

#include "platform/mfc/Wnd.h"
#include "platform/win/SystemProfile.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/controls/XTDrawHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kSentinel = RGB(10, 20, 30); // what the canvas holds before drawing
constexpr COLORREF kBackground = RGB(230, 230, 230);
constexpr COLORREF kDockedLight = RGB(245, 245, 245);
constexpr COLORREF kDockedDark = RGB(196, 196, 196);
constexpr COLORREF kFrame = RGB(153, 153, 153);
constexpr COLORREF kInnerDark = RGB(206, 206, 206);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kActive = RGB(221, 221, 221);
constexpr COLORREF kPressed = RGB(204, 204, 204);
constexpr COLORREF kHotFrame = RGB(92, 92, 92);
constexpr COLORREF kSeparator = RGB(161, 161, 161);
constexpr COLORREF kCaption = RGB(68, 100, 172);

std::string Text(COLORREF clr)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "(%d, %d, %d)", GetRValue(clr), GetGValue(clr), GetBValue(clr));
    return buf;
}

// A memory DC over a bitmap filled with the sentinel.
class Canvas {
public:
    Canvas(int width, int height)
    {
        HDC screen = ::GetDC(nullptr);
        m_dc.CreateCompatibleDC(nullptr);
        m_bitmap.Attach(::CreateCompatibleBitmap(screen, width, height));
        ::ReleaseDC(nullptr, screen);
        m_old = m_dc.SelectObject(&m_bitmap);
        m_dc.FillSolidRect(0, 0, width, height, kSentinel);
    }
    ~Canvas() { m_dc.SelectObject(m_old); }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    CDC* DC() { return &m_dc; }
    COLORREF At(int x, int y) { return m_dc.GetPixel(x, y); }

private:
    CDC m_dc;
    CBitmap m_bitmap;
    CBitmap* m_old = nullptr;
};

struct Pixel {
    int x, y;
    COLORREF clr;
};

void ExpectPixels(Canvas& canvas, const std::vector<Pixel>& pixels, const std::string& name)
{
    for (const Pixel& p : pixels)
        EXPECT_EQ(Text(canvas.At(p.x, p.y)), Text(p.clr)) << name << " at (" << p.x << ", " << p.y << ")";
}

class GnomePaintManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tavrin::win::ResetSystemProfile();
        m_pTheme = new CGnomePaintManager;
        CXTPPaintManager::SetCustomTheme(m_pTheme);
        m_pBar = new CXTPCommandBar;
    }
    void TearDown() override
    {
        if (m_pBar->m_hWnd)
            m_pBar->DestroyWindow();
        m_pBar->InternalRelease();
        CXTPPaintManager::SetCustomTheme(nullptr);
        tavrin::win::ResetSystemProfile();
    }
    // A bar window whose client rectangle is (0, 0, cx, cy).
    void MakeBar(int cx, int cy)
    {
        ASSERT_TRUE(m_pBar->CreateEx(0, AfxRegisterWndClass(0), "标准", WS_POPUP, CRect(0, 0, cx, cy), nullptr, 0));
        m_pBar->SetTitle("标准");
    }
    void SetCaptionFontHeight(int nHeight)
    {
        // The system's small-caption face at another height.
        LOGFONT lf{};
        ASSERT_TRUE(m_pTheme->m_fontSmCaption.GetLogFont(&lf));
        lf.lfHeight = nHeight;
        m_pTheme->m_fontSmCaption.DeleteObject();
        ASSERT_TRUE(m_pTheme->m_fontSmCaption.CreateFontIndirect(&lf));
    }
    int CaptionTextHeight()
    {
        Canvas canvas(8, 8);
        CXTFontSelector font(canvas.DC(), &m_pTheme->m_fontSmCaption);
        return canvas.DC()->GetTextExtent(" ", 1).cy;
    }

    CGnomePaintManager* m_pTheme = nullptr;
    CXTPCommandBar* m_pBar = nullptr;
};

} // namespace

TEST_F(GnomePaintManagerTest, IsTheClassicThemeWithItsOwnIdOnceInstalled)
{
    EXPECT_EQ(XTPPaintManager(), m_pTheme);
    EXPECT_EQ(m_pTheme->GetCurrentTheme(), xtpThemeCustom);
    EXPECT_EQ(m_pTheme->BaseTheme(), xtpThemeOffice2000);
    EXPECT_NE(dynamic_cast<CXTPOffice2000Theme*>(XTPPaintManager()), nullptr);
}

TEST_F(GnomePaintManagerTest, BarsAndDocksAreFlatGreyWithTheirEdges)
{
    MakeBar(40, 30);
    struct Case {
        const char* name;
        int position;
        std::vector<Pixel> pixels;
    };
    const std::vector<Pixel> docked = {{0, 0, kDockedLight}, {39, 0, kDockedDark}, {0, 28, kDockedLight}, {0, 29, kDockedDark},
                                       {39, 29, kDockedDark}, {1, 1, kBackground}, {38, 28, kBackground},
                                       {20, 15, kBackground}};
    const std::vector<Pixel> framed = {{0, 0, kFrame},      {39, 29, kFrame},      {39, 0, kFrame},
                                       {1, 1, kWhite},      {38, 1, kInnerDark},   {38, 28, kInnerDark},
                                       {1, 27, kWhite},     {1, 28, kInnerDark},   {2, 2, kBackground},   {37, 27, kBackground}};
    const Case cases[] = {
        {"top", xtpBarTop, docked},
        {"bottom", xtpBarBottom, docked},
        {"left", xtpBarLeft, docked},
        {"right", xtpBarRight, docked},
        {"floating", xtpBarFloating, framed},
        {"popup", xtpBarPopup, framed},
        {"no position", xtpBarNone, {{0, 0, kBackground}, {39, 29, kBackground}, {1, 1, kBackground}}},
    };
    for (const Case& c : cases) {
        Canvas canvas(50, 40);
        m_pBar->m_barPosition = c.position;
        m_pTheme->FillCommandBar(canvas.DC(), m_pBar);
        ExpectPixels(canvas, c.pixels, c.name);
        EXPECT_EQ(canvas.At(40, 30), kSentinel) << c.name << ": only the client rectangle";
    }

    Canvas canvas(50, 40);
    m_pTheme->FillDockBar(canvas.DC(), m_pBar);
    ExpectPixels(canvas, {{0, 0, kBackground}, {39, 29, kBackground}, {40, 29, kSentinel}, {39, 30, kSentinel}},
                 "dock bar");
}

TEST_F(GnomePaintManagerTest, ButtonStatesFillAndFrame)
{
    // The control at (2, 2, 12, 10): outer corners, inner corners, the middle.
    const CRect rc(2, 2, 12, 10);
    struct Case {
        const char* name;
        BOOL selected, pressed, enabled, checked, popped;
        COLORREF outerTopLeft, outerBottomRight, innerTopLeft, innerBottomRight, middle;
    };
    const COLORREF s = kSentinel;
    const COLORREF shadow = m_pTheme->GetColor(COLOR_BTNSHADOW), light = m_pTheme->GetColor(COLOR_BTNHIGHLIGHT);
    const Case cases[] = {
        {"plain", FALSE, FALSE, TRUE, FALSE, FALSE, s, s, s, s, s},
        {"hot", TRUE, FALSE, TRUE, FALSE, FALSE, kHotFrame, kHotFrame, kWhite, kInnerDark, kDockedLight},
        {"pressed alone", FALSE, TRUE, TRUE, FALSE, FALSE, kHotFrame, kHotFrame, kWhite, kInnerDark, kDockedLight},
        {"selected and pressed", TRUE, TRUE, TRUE, FALSE, FALSE, kHotFrame, kHotFrame, kPressed, kWhite, kPressed},
        {"pressed 2", FALSE, 2, TRUE, FALSE, FALSE, kHotFrame, kHotFrame, kPressed, kWhite, kPressed},
        {"popped", FALSE, FALSE, TRUE, FALSE, TRUE, kHotFrame, kHotFrame, kPressed, kWhite, kPressed},
        {"ticked", FALSE, FALSE, TRUE, TRUE, FALSE, kFrame, kWhite, s, s, s},
        {"ticked and popped", FALSE, FALSE, TRUE, TRUE, TRUE, kFrame, kWhite, kActive, kActive, kActive},
        {"ticked and hot", TRUE, FALSE, TRUE, TRUE, FALSE, kHotFrame, kHotFrame, kPressed, kWhite, kPressed},
        {"disabled, keyboard-selected", 2, FALSE, FALSE, FALSE, FALSE, shadow, light, s, s, s},
        {"disabled, hot", TRUE, FALSE, FALSE, FALSE, FALSE, s, s, s, s, s},
        {"disabled, ticked", FALSE, FALSE, FALSE, TRUE, FALSE, s, s, s, s, s},
    };
    for (const Case& c : cases) {
        Canvas canvas(16, 14);
        m_pTheme->DrawControlBackground(canvas.DC(), rc, c.selected, c.pressed, c.enabled, c.checked, c.popped,
                                        xtpBarTypeNormal, xtpBarTop);
        ExpectPixels(canvas,
                     {{2, 2, c.outerTopLeft},
                      {11, 9, c.outerBottomRight},
                      {3, 3, c.innerTopLeft},
                      {10, 8, c.innerBottomRight},
                      {6, 6, c.middle},
                      {1, 1, s},
                      {12, 10, s}},
                     c.name);
    }
}

TEST_F(GnomePaintManagerTest, SeparatorsLieBesideOrAboveTheirControl)
{
    MakeBar(180, 60);
    CXTPControl* pControl = m_pBar->GetControls()->Add(xtpControlButton, 200);
    const CRect rcHorzControl(40, 20, 63, 43), rcHorzRow(2, 20, 150, 43);
    const CRect rcVertControl(2, 40, 25, 63), rcVertRow(2, 2, 25, 150);
    struct Case {
        const char* name;
        int type, position;
        BOOL wrap;
        CRect control, row;
        std::vector<Pixel> pixels;
    };
    const COLORREF s = kSentinel;
    // A vertical line beside the control, from 4 below the row top to 4 above its bottom.
    const std::vector<Pixel> beside = {{36, 24, kSeparator}, {36, 38, kSeparator}, {36, 23, s},
                                       {36, 39, s},          {35, 30, s},          {37, 30, s}};
    // A horizontal line 4 above the row, not beside the control.
    const std::vector<Pixel> above = {{6, 16, kSeparator}, {145, 16, kSeparator}, {5, 16, s}, {146, 16, s},
                                      {6, 15, s},          {6, 17, s},            {36, 30, s}};
    const Case cases[] = {
        {"popup", xtpBarTypePopup, xtpBarPopup, FALSE, rcHorzControl, rcHorzRow,
         {{14, 15, kInnerDark}, {100, 15, kInnerDark}, {100, 16, kWhite}, {165, 16, kWhite}, {13, 15, s},
          {166, 15, s}, {100, 14, s}, {100, 17, s}}},
        {"top", xtpBarTypeNormal, xtpBarTop, FALSE, rcHorzControl, rcHorzRow, beside},
        {"bottom", xtpBarTypeNormal, xtpBarBottom, FALSE, rcHorzControl, rcHorzRow, beside},
        {"floating", xtpBarTypeNormal, xtpBarFloating, FALSE, rcHorzControl, rcHorzRow, beside},
        {"top, wrapped", xtpBarTypeNormal, xtpBarTop, TRUE, rcHorzControl, rcHorzRow, above},
        {"floating, wrapped", xtpBarTypeNormal, xtpBarFloating, TRUE, rcHorzControl, rcHorzRow, above},
        {"left", xtpBarTypeNormal, xtpBarLeft, FALSE, rcVertControl, rcVertRow,
         {{6, 36, kSeparator}, {20, 36, kSeparator}, {5, 36, s}, {21, 36, s}, {6, 35, s}, {6, 37, s}}},
        {"right", xtpBarTypeNormal, xtpBarRight, FALSE, rcVertControl, rcVertRow,
         {{6, 36, kSeparator}, {20, 36, kSeparator}, {21, 36, s}}},
        {"left, wrapped", xtpBarTypeNormal, xtpBarLeft, TRUE, rcVertControl, rcVertRow,
         {{27, 6, kSeparator}, {27, 145, kSeparator}, {27, 5, s}, {27, 146, s}, {26, 50, s}, {28, 50, s},
          {6, 36, s}}},
        {"row too narrow for a line", xtpBarTypeNormal, xtpBarTop, TRUE, CRect(2, 20, 8, 43), CRect(2, 20, 8, 43),
         {{2, 16, s}, {4, 16, s}, {5, 16, s}, {6, 16, s}, {7, 16, s}}},
    };
    for (const Case& c : cases) {
        m_pBar->m_barType = c.type;
        m_pBar->m_barPosition = c.position;
        pControl->SetWrap(c.wrap);
        pControl->SetRect(c.control);
        pControl->SetRowRect(c.row);
        Canvas canvas(200, 160);
        EXPECT_EQ(m_pTheme->DrawCommandBarSeparator(canvas.DC(), m_pBar, pControl, FALSE), CSize(0, 8)) << c.name;
        EXPECT_EQ(canvas.At(36, 30), s) << c.name << ": measuring draws nothing";
        EXPECT_EQ(canvas.At(6, 16), s) << c.name << ": measuring draws nothing";
        EXPECT_EQ(m_pTheme->DrawCommandBarSeparator(canvas.DC(), m_pBar, pControl, TRUE), CSize(0, 0)) << c.name;
        ExpectPixels(canvas, c.pixels, c.name);
    }
}

TEST_F(GnomePaintManagerTest, DockedGrippersAreDiagonalStrokes)
{
    MakeBar(60, 30);
    const COLORREF s = kSentinel;
    struct Case {
        const char* name;
        int position;
        CSize size;
        std::vector<Pixel> pixels;
    };
    // Top and bottom: strokes at y = 7, 12, 17, 22, each a white one below a grey one; ends not painted.
    const std::vector<Pixel> horizontal = {
        {3, 7, kFrame},  {6, 4, kFrame},  {3, 8, kWhite},  {6, 5, kWhite},  {7, 3, s},     {7, 4, s},
        {3, 12, kFrame}, {3, 13, kWhite}, {3, 22, kFrame}, {6, 19, kFrame}, {3, 23, kWhite}, {3, 27, s},
        {3, 28, s},      {2, 7, s},       {8, 7, s}};
    // Left and right: strokes at x = 4, 9, ..., 54.
    const std::vector<Pixel> vertical = {
        {4, 7, kFrame},  {7, 4, kFrame},  {4, 8, kWhite},  {7, 5, kWhite}, {8, 3, s},  {8, 4, s},
        {9, 7, kFrame},  {9, 8, kWhite},  {54, 7, kFrame}, {57, 4, kFrame}, {54, 8, kWhite}, {59, 7, s},
        {3, 7, s},       {4, 9, s},       {4, 2, s}};
    const Case cases[] = {
        {"top", xtpBarTop, CSize(8, 0), horizontal},
        {"bottom", xtpBarBottom, CSize(8, 0), horizontal},
        {"left", xtpBarLeft, CSize(0, 8), vertical},
        {"right", xtpBarRight, CSize(0, 8), vertical},
        {"no position", xtpBarNone, CSize(0, 0), {{3, 7, s}, {4, 7, s}}},
        {"popup", xtpBarPopup, CSize(0, 0), {{3, 7, s}, {4, 7, s}}},
    };
    for (const Case& c : cases) {
        m_pBar->m_barPosition = c.position;
        Canvas canvas(70, 40);
        EXPECT_EQ(m_pTheme->DrawCommandBarGripper(nullptr, m_pBar, FALSE), c.size) << c.name << ": without a DC";
        EXPECT_EQ(m_pTheme->DrawCommandBarGripper(canvas.DC(), m_pBar, FALSE), c.size) << c.name;
        EXPECT_EQ(canvas.At(3, 7), s) << c.name << ": measuring draws nothing";
        EXPECT_EQ(canvas.At(4, 7), s) << c.name << ": measuring draws nothing";
        EXPECT_EQ(m_pTheme->DrawCommandBarGripper(canvas.DC(), m_pBar, TRUE), c.size) << c.name;
        ExpectPixels(canvas, c.pixels, c.name);
    }
}

TEST_F(GnomePaintManagerTest, FloatingCaptionIsAtLeastFifteenHigh)
{
    MakeBar(120, 60);
    m_pBar->m_barPosition = xtpBarFloating;
    struct Case {
        const char* name;
        int fontHeight;
    };
    for (const Case& c : {Case{"12-pixel font", 12}, Case{"24-pixel font", 24}}) {
        SetCaptionFontHeight(c.fontHeight);
        const int text = CaptionTextHeight();
        const int h = std::max(15, text);
        if (c.fontHeight == 12) {
            ASSERT_LT(text, 15) << "the small font must measure below the minimum";
            EXPECT_EQ(h, 15);
        } else {
            ASSERT_GT(text, 15);
        }
        Canvas canvas(130, 70);
        EXPECT_EQ(m_pTheme->DrawCommandBarGripper(canvas.DC(), m_pBar, FALSE), CSize(114, h)) << c.name;
        EXPECT_EQ(canvas.At(3, 3), kSentinel) << c.name;
        EXPECT_EQ(m_pTheme->DrawCommandBarGripper(canvas.DC(), m_pBar, TRUE), CSize(114, h)) << c.name;
        ExpectPixels(canvas,
                     {{3, 3, kCaption}, {116, 3, kCaption}, {116, h + 2, kCaption}, {3, h + 2, kCaption},
                      {2, 3, kSentinel}, {117, 3, kSentinel}, {3, 2, kSentinel}, {3, h + 3, kSentinel}},
                     c.name);
        // The title in white between the left edge and the room for two buttons.
        int white = 0;
        for (int y = 3; y < h + 3; ++y)
            for (int x = 5; x < 117 - 2 * h; ++x)
                white += canvas.At(x, y) == kWhite;
        EXPECT_GT(white, 5) << c.name;
        for (int y = 3; y < h + 3; ++y)
            for (int x = 117 - 2 * h; x < 117; ++x)
                ASSERT_EQ(canvas.At(x, y), kCaption) << c.name << ": the buttons' room at (" << x << ", " << y << ")";
    }
}

TEST_F(GnomePaintManagerTest, StatusGripIsFourGreyDiagonalsWithWhiteAboveThem)
{
    const COLORREF s = kSentinel;
    // 30 x 20: grey from (26 - 4k, 18) up to (29, 15 - 4k), white one pixel left of each.
    const std::vector<Pixel> grip = {
        {26, 18, kFrame}, {28, 16, kFrame}, {25, 18, kWhite}, {28, 15, kWhite}, {22, 18, kFrame}, {28, 12, kFrame},
        {21, 18, kWhite}, {28, 11, kWhite}, {14, 18, kFrame}, {28, 4, kFrame},  {13, 18, kWhite}, {28, 3, kWhite},
        {12, 18, s},      {28, 2, s},       {29, 15, s},      {29, 3, s},       {26, 19, s},      {24, 18, s},
        {27, 18, s}};
    for (const CRect& rc : {CRect(0, 0, 30, 20), CRect(100, 100, 130, 120)}) {
        Canvas canvas(40, 30);
        m_pTheme->DrawStatusBarGripper(canvas.DC(), rc);
        ExpectPixels(canvas, grip, rc.left ? "from the DC's origin, whatever the rectangle's place" : "at the origin");
    }
}
