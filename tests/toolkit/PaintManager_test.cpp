// The paint manager base: colours, fonts, the drawing utilities, status-bar
// pieces and the popup animations on the manual clock.
#include "tests/toolkit/CommandBarTestSupport.h"
#include "tests/toolkit/ToolkitTestSupport.h"

#include "platform/base/Clock.h"
#include "platform/base/Sync.h"
#include "platform/mfc/StatusBar.h"
#include "platform/mfc/res/FrameworkIds.h"
#include "platform/win/SystemMetrics.h"
#include "platform/win/SystemProfile.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControls.h"

#include <atomic>
#include <cstring>
#include <thread>
#include <unistd.h>

using namespace tavrin;
using tavrin::test::Canvas;
using tavrin::test::ScopedTestTheme;
using tavrin::test::TestPaintManager;

namespace {

class PaintManagerTest : public test::ToolkitTest {};

LOGFONTA RegularFont(CXTPPaintManager* pManager)
{
    LOGFONTA lf{};
    pManager->m_fontRegular.GetLogFont(&lf);
    return lf;
}

// Polls (real time) until the condition holds; false after 5 s.
bool WaitFor(const std::function<bool()>& done)
{
    for (int i = 0; i < 5000; ++i) {
        if (done())
            return true;
        usleep(1000);
    }
    return done();
}

} // namespace

TEST_F(PaintManagerTest, ColoursByIndexCustomAndRgb)
{
    ScopedTestTheme theme;
    EXPECT_EQ(theme->GetColor(58), 58u) << "above 57 an index is an RGB value";
    EXPECT_EQ(theme->GetColor(0x123456), 0x123456u);
    const COLORREF clrFace = theme->GetColor(COLOR_3DFACE);
    EXPECT_EQ(clrFace, XTGetColorManager()->GetColor(COLOR_3DFACE));
    theme->SetCustomColor(COLOR_3DFACE, RGB(1, 2, 3));
    EXPECT_EQ(theme->GetColor(COLOR_3DFACE), RGB(1, 2, 3));
    theme->SetCustomColor(COLOR_3DFACE, static_cast<COLORREF>(-1));
    EXPECT_EQ(theme->GetColor(COLOR_3DFACE), clrFace);

    const int indexes[] = {16, 20};
    const COLORREF colors[] = {RGB(9, 9, 9), RGB(8, 8, 8)};
    theme->SetColors(2, indexes, colors);
    EXPECT_EQ(theme->GetColor(16), RGB(9, 9, 9));
    EXPECT_EQ(theme->GetColor(20), RGB(8, 8, 8));
    EXPECT_EQ(theme->m_clrStatusTextColor, theme->GetColor(COLOR_BTNTEXT));
    EXPECT_EQ(theme->m_clrShadowColor, 0u);
    EXPECT_EQ(theme->GetCurrentTheme(), xtpThemeCustom);
}

TEST_F(PaintManagerTest, TheGlobalManagerIsReplacedByReference)
{
    auto* pFirst = new TestPaintManager;
    pFirst->InternalAddRef(); // held elsewhere too
    CXTPPaintManager::SetCustomTheme(pFirst);
    EXPECT_EQ(XTPPaintManager(), pFirst);
    CXTPPaintManager* pSecond = CXTPPaintManager::SetTheme(0);
    ASSERT_NE(pSecond, nullptr);
    EXPECT_EQ(XTPPaintManager(), pSecond);
    EXPECT_EQ(pFirst->m_dwRef, 1) << "replacing released one reference";
    CXTPPaintManager::SetCustomTheme(nullptr);
    pFirst->InternalRelease();
}

TEST_F(PaintManagerTest, MenuFontHeights)
{
    struct Case {
        LONG menu;
        LONG regular;
    } cases[] = {{-8, -11}, {-10, -11}, {-11, -11}, {-13, -13}, {12, 12}};
    for (const Case& c : cases) {
        NONCLIENTMETRICSA ncm{};
        ncm.cbSize = sizeof(ncm);
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
        ncm.lfMenuFont.lfHeight = c.menu;
        std::strcpy(ncm.lfMenuFont.lfFaceName, "Arial");
        win::SetNonClientMetrics(ncm);
        ScopedTestTheme theme;
        const LOGFONTA lf = RegularFont(theme.Get());
        EXPECT_EQ(lf.lfHeight, c.regular) << "menu font " << c.menu;
        EXPECT_STREQ(lf.lfFaceName, "Arial");
        LOGFONTA vert{};
        theme->m_fontVert.GetLogFont(&vert);
        EXPECT_EQ(vert.lfEscapement, 2700);
        EXPECT_EQ(vert.lfOrientation, 900);
        LOGFONTA bold{};
        theme->m_fontRegularBold.GetLogFont(&bold);
        EXPECT_EQ(bold.lfWeight, FW_BOLD);
        EXPECT_GT(theme->GetTextHeight(), 6);
    }
}

TEST_F(PaintManagerTest, TheTahomaRule)
{
    ScopedTestTheme theme;
    const BOOL bTahoma = CXTPPaintManager::FontExists("Tahoma");
    EXPECT_FALSE(CXTPPaintManager::FontExists("No Such Face 123"));

    LOGFONTA lf{};
    lf.lfHeight = -12;
    lf.lfCharSet = ANSI_CHARSET;
    std::strcpy(lf.lfFaceName, "Arial");
    theme->m_bUseTahomaFont = FALSE;
    theme->SetCommandBarsFontIndirect(&lf, TRUE);
    EXPECT_STREQ(RegularFont(theme.Get()).lfFaceName, "Arial") << "no request named Tahoma yet";

    std::strcpy(lf.lfFaceName, "tahoma");
    theme->SetCommandBarsFontIndirect(&lf, FALSE);
    EXPECT_TRUE(theme->m_bUseTahomaFont) << "a request named Tahoma in any case";
    EXPECT_FALSE(theme->m_bUseStandardFont);

    std::strcpy(lf.lfFaceName, "Arial");
    theme->SetCommandBarsFontIndirect(&lf, FALSE);
    EXPECT_STREQ(RegularFont(theme.Get()).lfFaceName, "Arial") << "not the standard font";
    theme->SetCommandBarsFontIndirect(&lf, TRUE);
    EXPECT_STREQ(RegularFont(theme.Get()).lfFaceName, bTahoma ? "Tahoma" : "Arial");
    lf.lfCharSet = GB2312_CHARSET;
    theme->SetCommandBarsFontIndirect(&lf, TRUE);
    EXPECT_STREQ(RegularFont(theme.Get()).lfFaceName, "Arial") << "a Chinese character set keeps its face";

    theme->SetCommandBarsFontIndirect(nullptr, TRUE);
    EXPECT_STREQ(RegularFont(theme.Get()).lfFaceName, "Arial") << "no font: only the flag";
}

TEST_F(PaintManagerTest, StripMnemonics)
{
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {{"a&&b&c", "a&bc"}, {"&File", "File"}, {"&&&&", "&&"}, {"", ""}, {"打开(&O)...", "打开(O)..."}};
    for (const Case& c : cases) {
        CString s(c.in);
        CXTPPaintManager::StripMnemonics(s);
        EXPECT_STREQ(s, c.out) << c.in;
    }
}

TEST_F(PaintManagerTest, RightToLeftCaptions)
{
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"1 Name", "Name 1"},          // a numbered entry: the number goes last
        {"&2 Window", "Window 2"},     // the mnemonic goes first
        {"12  Two spaces", " Two spaces 12"},
        {"Open...", "...Open"},        // dots before a letter move to the front
        {"1 2", "1 2"},                // no letter after the spaces
        {"1 abc", "abc 1"},
        {"1 ab", "1 ab"},              // the letter lies past the first n - 2 characters
        {"ab", "ab"},                  // too short
        {"1...", "1..."},              // a digit before the dots
        {"...", "..."},
        {"x 1", "x 1"},                // no number first
    };
    ScopedTestTheme theme;
    for (const Case& c : cases) {
        CString s(c.in);
        theme->FormatCaptionRtl(s);
        EXPECT_STREQ(s, c.out) << c.in;
    }
}

TEST_F(PaintManagerTest, CheckMarkPixels)
{
    const COLORREF clr = RGB(10, 20, 30);
    struct Pixel {
        int dx, dy;
        bool set;
    };
    // cx = 10, cy = 10 for the rectangle (0, 0, 20, 20).
    const Pixel plain[] = {{-4, -1, true}, {-3, 0, true},  {-2, 1, true},  {2, -3, true}, {3, -4, false},
                           {-4, 0, true},  {-2, 2, true},  {2, -2, true},  {3, -3, false}, {-4, 1, false},
                           {0, 1, false},  {-5, -1, false}};
    const Pixel rtl[] = {{-4, -3, true}, {-1, 0, true}, {0, 1, true},  {2, -1, true}, {3, -2, false},
                         {-4, -2, true}, {0, 2, true},  {2, 0, true},  {3, -1, false}, {-4, -1, false}};
    for (int form = 0; form < 2; ++form) {
        Canvas canvas(20, 20);
        CXTPPaintManager::DrawCheckMark(canvas.DC(), CRect(0, 0, 20, 20), clr, form == 1);
        for (const Pixel& p : form == 0 ? std::vector<Pixel>(std::begin(plain), std::end(plain))
                                        : std::vector<Pixel>(std::begin(rtl), std::end(rtl)))
            EXPECT_EQ(canvas.At(10 + p.dx, 10 + p.dy) == clr, p.set)
                << (form ? "right-to-left " : "") << p.dx << "," << p.dy;
    }
}

TEST_F(PaintManagerTest, BlendBits)
{
    const BYTE from[8] = {0, 100, 255, 7, 10, 20, 30, 40};
    const BYTE to[8] = {255, 200, 0, 9, 10, 20, 30, 50};
    struct Case {
        int alpha;
        BYTE first[3];
    } cases[] = {{0, {0, 99, 254}}, {128, {127, 149, 126}}, {255, {254, 199, 0}}};
    for (const Case& c : cases) {
        BYTE dest[8] = {1, 1, 1, 77, 1, 1, 1, 88};
        CXTPPaintManager::BlendBits(dest, from, 2, 1, to, c.alpha);
        EXPECT_EQ(dest[0], c.first[0]) << c.alpha;
        EXPECT_EQ(dest[1], c.first[1]) << c.alpha;
        EXPECT_EQ(dest[2], c.first[2]) << c.alpha;
        EXPECT_EQ(dest[3], 77) << "the fourth byte is not written";
        EXPECT_EQ(dest[4], ((255 - c.alpha) * 10 + c.alpha * 10) >> 8);
        EXPECT_EQ(dest[7], 88);
    }
}

TEST_F(PaintManagerTest, StatusBarGripperAndPaneBorder)
{
    ScopedTestTheme theme;
    const COLORREF shadow = theme->GetColor(COLOR_BTNSHADOW);
    const COLORREF light = theme->GetColor(COLOR_BTNHIGHLIGHT);
    Canvas canvas(20, 20);
    theme->DrawStatusBarGripper(canvas.DC(), CRect(0, 0, 20, 20));
    struct Pixel {
        int x, y;
        COLORREF clr;
    } pixels[] = {
        {17, 18, shadow}, {18, 17, shadow}, {16, 18, shadow}, {18, 16, shadow}, {15, 18, light},
        {18, 15, light},  {13, 18, shadow}, {11, 18, light},  {7, 18, light},   {19, 19, RGB(255, 255, 255)},
        {19, 18, RGB(255, 255, 255)}, {14, 18, RGB(255, 255, 255)}, {14, 17, shadow},
    };
    for (const Pixel& p : pixels)
        EXPECT_EQ(canvas.At(p.x, p.y), p.clr) << p.x << "," << p.y;

    Canvas pane(30, 20);
    theme->DrawStatusBarPaneBorder(pane.DC(), CRect(2, 2, 28, 18), FALSE);
    EXPECT_EQ(pane.At(2, 2), shadow);
    EXPECT_EQ(pane.At(26, 2), shadow);
    EXPECT_EQ(pane.At(2, 16), shadow);
    EXPECT_EQ(pane.At(27, 2), light);
    EXPECT_EQ(pane.At(2, 17), light);
    EXPECT_EQ(pane.At(27, 17), light);
    EXPECT_EQ(pane.At(27, 3), light);
    EXPECT_EQ(pane.At(10, 10), RGB(255, 255, 255));
}

TEST_F(PaintManagerTest, StatusBarPanes)
{
    ScopedTestTheme theme;
    test::TestSite site;
    CStatusBar bar;
    ASSERT_TRUE(bar.Create(&site));
    const UINT ids[] = {ID_SEPARATOR, ID_SEPARATOR, ID_SEPARATOR};
    ASSERT_TRUE(bar.SetIndicators(ids, 3));
    bar.SetPaneInfo(0, 0, SBPS_NOBORDERS, 60);
    bar.SetPaneInfo(1, 0, SBPS_DISABLED, 60);
    bar.SetPaneInfo(2, 0, SBPS_NORMAL, 40);
    for (int i = 0; i < 3; ++i)
        bar.SetPaneText(i, "WWWW");
    bar.MoveWindow(0, 0, 300, 24);
    CRect rcClient;
    bar.GetClientRect(&rcClient);
    ASSERT_EQ(rcClient.Width(), 300);
    Canvas canvas(rcClient.Width() + 10, rcClient.Height() + 10);
    for (int i = 0; i < 3; ++i)
        theme->DrawStatusBarPane(canvas.DC(), &bar, i);
    const COLORREF shadow = theme->GetColor(COLOR_BTNSHADOW);
    const COLORREF text = theme->m_clrStatusTextColor;
    auto inkIn = [&](const CRect& rc) {
        int n = 0;
        for (int y = rc.top + 2; y < rc.bottom - 2; ++y)
            for (int x = rc.left + 2; x < rc.right - 2; ++x)
                n += canvas.At(x, y) == text;
        return n;
    };
    CRect rc0, rc1, rc2;
    bar.GetItemRect(0, &rc0);
    bar.GetItemRect(1, &rc1);
    bar.GetItemRect(2, &rc2);
    ASSERT_GT(rc2.left, rc1.left);
    ASSERT_GT(rc1.left, rc0.left);
    EXPECT_NE(canvas.At(rc0.left, rc0.top), shadow) << "no border";
    EXPECT_GT(inkIn(rc0), 0) << "its text";
    EXPECT_EQ(canvas.At(rc1.left, rc1.top), shadow) << "a disabled pane keeps its border";
    EXPECT_EQ(inkIn(rc1), 0) << "but not its text";
    // The last pane, not stretching, ends three edges past its width.
    const int nRight = rc2.left + 3 * GetSystemMetrics(SM_CXEDGE) + 40;
    EXPECT_EQ(canvas.At(nRight - 1, rc2.top), theme->GetColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(canvas.At(nRight, rc2.top + 3), RGB(255, 255, 255));

    Canvas filled(rcClient.Width(), rcClient.Height());
    theme->FillStatusBar(filled.DC(), &bar);
    EXPECT_EQ(filled.At(rcClient.Width() - 1, rcClient.Height() - 1), theme->GetColor(COLOR_3DFACE));
    bar.DestroyWindow();
}

namespace {

// Runs an animation on a worker and the manual clock on this thread: each
// frame is awaited on the destination's pixel, then the clock moves on by
// the step's delay.
struct AnimationRun {
    clock::ManualScope manual{1700000000};
    std::atomic<bool> done{false};
    std::thread worker;
    std::vector<DWORD> ticks;

    template <class F>
    void Start(F&& run)
    {
        worker = std::thread([this, run] {
            run();
            done = true;
        });
    }
    // Awaits the frame; notes its tick and moves the clock by delay.
    bool Frame(const std::function<bool()>& shown, int delay)
    {
        if (!WaitFor([&] { return shown() || done; }) || !shown())
            return false;
        ticks.push_back(GetTickCount());
        // The worker takes its next deadline from the clock once the frame
        // is drawn: moving the clock before it goes to sleep would leave it
        // waiting a whole step more. Give it time to get there.
        ::usleep(20000);
        clock::Advance(delay);
        return true;
    }
    bool Finish()
    {
        const bool ok = WaitFor([&] { return done.load(); });
        if (worker.joinable())
            worker.join();
        return ok;
    }
};

} // namespace

TEST_F(PaintManagerTest, UnfoldAndSlideDrawTenFramesTenMillisecondsApart)
{
    ScopedTestTheme theme;
    for (int nType : {xtpAnimateUnfold, xtpAnimateSlide}) {
        Canvas src(100, 100), dest(100, 100);
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x)
                src.DC()->SetPixel(x, y, RGB(x, y, 77));
        AnimationRun run;
        CXTPPaintManager* pManager = theme.Get();
        run.Start([&] { pManager->AnimatePopup(dest.DC(), src.DC(), CRect(0, 0, 100, 100), nType); });
        for (int i = 1; i <= 10; ++i) {
            const COLORREF expected = nType == xtpAnimateUnfold ? RGB(100 - 10 * i, 100 - 10 * i, 77)
                                                                : RGB(0, 100 - 10 * i, 77);
            // An unfolding frame draws only its part of the picture.
            const bool bPart = nType == xtpAnimateUnfold && i < 10;
            ASSERT_TRUE(run.Frame(
                [&] { return dest.At(0, 0) == expected && (!bPart || dest.At(10 * i, 10 * i) == RGB(255, 255, 255)); },
                10))
                << "type " << nType << " frame " << i;
        }
        ASSERT_TRUE(run.Finish());
        ASSERT_EQ(run.ticks.size(), 10u);
        for (size_t i = 1; i < run.ticks.size(); ++i)
            EXPECT_EQ(run.ticks[i] - run.ticks[i - 1], 10u);
    }
}

TEST_F(PaintManagerTest, FadeDrawsNineBlendedFrames)
{
    ScopedTestTheme theme;
    Canvas src(40, 30), dest(40, 30);
    src.DC()->FillSolidRect(0, 0, 40, 30, RGB(255, 255, 255));
    dest.DC()->FillSolidRect(0, 0, 40, 30, RGB(0, 0, 0));
    AnimationRun run;
    CXTPPaintManager* pManager = theme.Get();
    run.Start([&] { pManager->AnimatePopup(dest.DC(), src.DC(), CRect(0, 0, 40, 30), xtpAnimateFade); });
    const int alphas[] = {25, 51, 76, 102, 127, 153, 178, 204, 229};
    for (int alpha : alphas) {
        const int v = (alpha * 255) >> 8;
        ASSERT_TRUE(run.Frame([&] { return dest.At(39, 29) == RGB(v, v, v); }, 10)) << "alpha " << alpha;
    }
    ASSERT_TRUE(run.Finish());
    EXPECT_EQ(run.ticks.size(), 9u);
    EXPECT_EQ(dest.At(0, 0), RGB(228, 228, 228)) << "the last frame is left to the caller's paint";

    // Nothing for other types or without steps.
    Canvas still(10, 10), white(10, 10);
    still.DC()->FillSolidRect(0, 0, 10, 10, RGB(1, 2, 3));
    theme->AnimatePopup(still.DC(), white.DC(), CRect(0, 0, 10, 10), xtpAnimateNone);
    theme->m_nAnimationSteps = 0;
    theme->AnimatePopup(still.DC(), white.DC(), CRect(0, 0, 10, 10), xtpAnimateSlide);
    EXPECT_EQ(still.At(5, 5), RGB(1, 2, 3));
}

TEST_F(PaintManagerTest, ExpandingGrowsTheRarelyUsedBands)
{
    ScopedTestTheme theme;
    test::TestSite site;
    test::TestBar bar;
    ASSERT_TRUE(bar.CreateIn(&site, CRect(0, 0, 50, 60)));
    // Rows of 20: a common item, a rarely used one, a hidden one, a common one.
    const int tops[] = {0, 20, 40, 40};
    for (int i = 0; i < 4; ++i) {
        CXTPControl* pControl = bar.GetControls()->Add(xtpControlButton, 100 + i);
        pControl->SetRect(CRect(0, tops[i], 50, tops[i] + 20));
    }
    bar.GetControl(1)->SetRarelyUsed(TRUE);
    bar.GetControl(2)->SetHideFlags(xtpHideGeneric);
    bar.GetControl(2)->SetRarelyUsed(TRUE);

    Canvas src(50, 60), dest(50, 60);
    for (int y = 0; y < 60; ++y)
        src.DC()->FillSolidRect(0, y, 50, 1, RGB(0, y, 0));
    theme->m_nAnimationSteps = 2;
    theme->m_nAnimationTime = 20;
    AnimationRun run;
    CXTPPaintManager* pManager = theme.Get();
    run.Start([&] { pManager->AnimateExpanding(&bar, dest.DC(), src.DC()); });
    // Half way: the rarely used band is 10 pixels high, the rest follows it.
    // The frame is checked whole before the clock lets the next one come.
    ASSERT_TRUE(run.Frame(
        [&] {
            return dest.At(5, 35) == RGB(0, 45, 0) && dest.At(5, 10) == RGB(0, 10, 0) &&
                   dest.At(5, 49) == RGB(0, 59, 0) && dest.At(5, 55) == RGB(255, 255, 255);
        },
        10));
    ASSERT_TRUE(run.Frame([&] { return dest.At(5, 35) == RGB(0, 35, 0) && dest.At(5, 55) == RGB(0, 55, 0); }, 10));
    ASSERT_TRUE(run.Finish());
}
