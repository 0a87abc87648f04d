// The real program end to end: started in a temporary program folder on
// the test's display, looked at through screenshots and driven through the
// window manager and XTest as a user would.
#include "platform/gdi/Gdi.h"
#include "platform/win/SystemProfile.h"
#include "tests/sim/Simulator.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/ProgramEndToEnd.h"
#include "tests/support/ProgramHarness.h"

#include "tests/app/PanesTop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <unistd.h>

using namespace tavrin::test;

namespace {

// The first line below the tree's white area at x 20: the splitter bar
// between the tree and the other-information pane.
int BarBelowTree(const std::vector<unsigned>& shot, int cw, int ch, int top)
{
    int y = top + 60; // below the tree's items
    while (y < ch && shot[static_cast<size_t>(y) * cw + 20] == 0xFFFFFF)
        ++y;
    return y;
}


class MainWindowEndToEnd : public ProgramEndToEnd {
protected:
    void SetUp() override
    {
        ProgramEndToEnd::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        // An account, so the first-run question stays away.
        ASSERT_TRUE(PrepareAccount(m_folder.Path(), "demo", "demo", "demo"));
    }

    // Starts the program and waits for its main window.
    unsigned long StartAndWait(ProgramRun& run, const std::vector<std::string>& args = {})
    {
        if (!run.Start(m_folder, args))
            return 0;
        return m_x.WaitForWindow("Tavrin", run.Pid());
    }

    // Closes the window as the window manager does; the exit status.
    int CloseAndWait(ProgramRun& run, unsigned long window)
    {
        m_x.Close(window);
        return run.Wait();
    }

    // The close stored the compose pane hidden with its last height kept,
    // and the other-information pane shown.
    void ExpectComposeStoredHidden(const std::string& height)
    {
        EXPECT_EQ(m_folder.ConfigValue("pane_2_2_visible"), "0");
        EXPECT_EQ(m_folder.ConfigValue("pane_2_2_h"), height);
        EXPECT_EQ(m_folder.ConfigValue("pane_1_2_visible"), "1");
    }

};

TEST_F(MainWindowEndToEnd, AFreshFolderOpensTheFrameOverTheScreenAndCloseStoresThePaneSizes)
{
    ProgramRun run;
    const unsigned long window = StartAndWait(run);
    ASSERT_NE(window, 0u) << run.Output();
    int sw = 0, sh = 0;
    m_x.ScreenSize(sw, sh);
    int x = 0, y = 0, w = 0, h = 0;
    ASSERT_TRUE(m_x.Geometry(window, x, y, w, h));
    // Over the whole width, less the window manager's borders.
    EXPECT_GE(w, sw - 16);
    EXPECT_LE(w, sw);

    // The splash stands in the middle of the frame.
    int cw = 0, ch = 0;
    std::vector<unsigned> shot = m_x.CapturePainted(window, cw, ch, "app-main-window-splash");
    ASSERT_EQ(static_cast<int>(shot.size()), cw * ch);
    auto pixel = [&](int px, int py) { return shot[static_cast<size_t>(py) * cw + px]; };
    const unsigned white = 0xFFFFFF;
    EXPECT_NE(pixel(cw / 2 - 100, ch / 2), white) << "the splash";

    // The first key removes the splash and does nothing else: F8 would
    // otherwise hide the compose pane, which the close below finds shown.
    m_x.Key("F8");
    EXPECT_FALSE(run.EndsWithin(300));
    shot = m_x.CapturePainted(window, cw, ch, "app-main-window");
    ASSERT_EQ(static_cast<int>(shot.size()), cw * ch);
    EXPECT_EQ(pixel(cw / 2 - 100, ch / 2), white) << "the display pane where the splash was";
    // The bars, read from the screenshot: the status bar's face colour
    // between the left column (a quarter of the width) and the right one,
    // and between the tree and the other-information pane (half the height).
    // The panes begin below the toolbars, so their shares count from there.
    const unsigned face = pixel(cw / 2, ch - 4);
    const int top = PanesTop(shot, cw, ch);
    EXPECT_GT(top, 40) << "two rows of toolbars";
    EXPECT_EQ(pixel(2 + cw / 4 + 3, ch * 3 / 4), face);
    EXPECT_EQ(pixel(2 + cw / 4 - 6, ch * 3 / 4), white);
    // The tree takes half the client height the frame had when it made its
    // panes (the menu bar then leaves the frame's own menu line to them).
    const int bar = BarBelowTree(shot, cw, ch, top);
    EXPECT_NEAR(bar, top + 2 + ch / 2, 24);
    EXPECT_EQ(pixel(20, bar + 3), face) << "past the tree's border and the bar's light edge";
    EXPECT_EQ(pixel(20, bar - 6), white);
    // The status bar's idle prompt, in its own font and colours.
    int tx = 0, ty = 0;
    EXPECT_TRUE(FindText(shot, cw, ch, "就绪", ::GetStockObject(DEFAULT_GUI_FONT), ::GetSysColor(COLOR_BTNTEXT),
                         ::GetSysColor(COLOR_BTNFACE), &tx, &ty));
    EXPECT_GT(ty, ch - 30) << "at the bottom";
    EXPECT_FALSE(FindText(shot, cw, ch, "退出", ::GetStockObject(DEFAULT_GUI_FONT), ::GetSysColor(COLOR_BTNTEXT),
                          ::GetSysColor(COLOR_BTNFACE)));

    EXPECT_EQ(CloseAndWait(run, window), 0) << run.Output();
    EXPECT_FALSE(run.SanitizerReported()) << run.Output();
    // Shares of the frame's client area at creation: H, a little less than
    // the final height, by the menu line the frame had then.
    EXPECT_EQ(m_folder.ConfigValue("pane_1_w"), std::to_string(w / 4));
    const int half = std::stoi(m_folder.ConfigValue("pane_1_1_h"));
    bool shares = false;
    for (int H : {2 * half, 2 * half + 1})
        shares = shares || (H <= h && H > h - 40 && m_folder.ConfigValue("pane_2_2_h") == std::to_string(2 * H / 3) &&
                            m_folder.ConfigValue("pane_2_1_1_h") == std::to_string(H / 3));
    EXPECT_TRUE(shares) << half << " " << m_folder.ConfigValue("pane_2_2_h") << " "
                        << m_folder.ConfigValue("pane_2_1_1_h") << " of " << h;
    EXPECT_EQ(m_folder.ConfigValue("pane_1_2_visible"), "1");
    EXPECT_EQ(m_folder.ConfigValue("pane_2_2_visible"), "1");
    EXPECT_EQ(m_folder.ConfigValue("port"), m_sim.ProxyPort()) << "the other settings stay";
}

TEST_F(MainWindowEndToEnd, AStoredColumnBelowTheMinimumShowsTheMinimum)
{
    m_folder.WriteConfig({{"placement", "pane_1_w", "10"}});
    ProgramRun run;
    const unsigned long window = StartAndWait(run);
    ASSERT_NE(window, 0u) << run.Output();
    EXPECT_EQ(CloseAndWait(run, window), 0) << run.Output();
    EXPECT_EQ(m_folder.ConfigValue("pane_1_w"), "18");
}

TEST_F(MainWindowEndToEnd, WithoutADisplayTheProgramSaysSoAndEnds)
{
    ProgramRun run;
    ASSERT_TRUE(run.Start(m_folder, {}, {"DISPLAY="}));
    EXPECT_EQ(run.Wait(), 1);
    EXPECT_NE(run.Output().find("display"), std::string::npos) << run.Output();
}

TEST_F(MainWindowEndToEnd, SingleInstanceKeepsOneWindowOnlyWhenTheKeyIsExactlyOne)
{
    struct Case {
        const char* value;
        bool single;
    };
    for (const Case& c : {Case{"1", true}, Case{"0", false}, Case{"&nbsp;1", false}}) {
        for (bool withFile : {false, true}) {
        if (withFile && !c.single)
            continue; // the running copy would be asked to open a file that is not there
        SCOPED_TRACE(std::string("[") + c.value + "] file " + (withFile ? "yes" : "no"));
        m_folder.WriteConfig({{"other", "single_tavrin", c.value}});
        ProgramRun first;
        const unsigned long window = StartAndWait(first);
        ASSERT_NE(window, 0u) << first.Output();
        ProgramRun second;
        ASSERT_TRUE(second.Start(m_folder, withFile ? std::vector<std::string>{"some.file"} : std::vector<std::string>{}));
        if (c.single) {
            EXPECT_EQ(second.Wait(), 0) << second.Output();
            EXPECT_EQ(m_x.FindWindows("Tavrin").size(), 1u);
        } else {
            const unsigned long other = m_x.WaitForWindow("Tavrin", second.Pid());
            EXPECT_NE(other, 0u);
            // Wait until both are there, then close the second.
            EXPECT_EQ(CloseAndWait(second, other), 0) << second.Output();
        }
        EXPECT_EQ(CloseAndWait(first, window), 0) << first.Output();
        EXPECT_FALSE(first.SanitizerReported()) << first.Output();
        }
    }
}

} // namespace

namespace {

TEST_F(MainWindowEndToEnd, MinimisingWithATrayHidesTheFrameBehindTheIcon)
{
    m_x.PlayTray();
    ProgramRun run;
    const unsigned long window = StartAndWait(run);
    ASSERT_NE(window, 0u) << run.Output();
    m_x.Iconify(window);
    EXPECT_TRUE(m_x.WaitForDockRequest()) << "the icon docks in the tray";
    EXPECT_TRUE(m_x.WaitForWmState(window, 0)) << "the frame is withdrawn, not iconic";
    EXPECT_FALSE(run.EndsWithin(500));
    EXPECT_EQ(m_x.WmState(window), 0);
    EXPECT_FALSE(m_x.IsShown(window));
    // Closed while in the tray: the pane sizes of the previous run stay.
    EXPECT_EQ(CloseAndWait(run, window), 0) << run.Output();
    EXPECT_EQ(m_folder.ConfigValue("pane_1_w"), "(none)");
    EXPECT_FALSE(run.SanitizerReported()) << run.Output();
}

TEST_F(MainWindowEndToEnd, MinimisingWithoutATrayLeavesANormalIconicWindow)
{
    ProgramRun run;
    const unsigned long window = StartAndWait(run);
    ASSERT_NE(window, 0u) << run.Output();
    m_x.Iconify(window);
    EXPECT_TRUE(m_x.WaitForWmState(window, 3));
    // Past the splash's three seconds: its end activates the frame, which
    // must stay minimised.
    EXPECT_FALSE(run.EndsWithin(3500));
    EXPECT_EQ(m_x.WmState(window), 3) << "still there to be brought back";
    EXPECT_EQ(CloseAndWait(run, window), 0) << run.Output();
}

TEST_F(MainWindowEndToEnd, KeyTwentyEightStartsMinimised)
{
    m_folder.WriteConfig({{"startup", "minimized", "1"}, {"other", "minimize_hidden", "0"}});
    ProgramRun run;
    ASSERT_TRUE(run.Start(m_folder));
    unsigned long window = 0;
    const long long deadline = 20000;
    for (long long waited = 0; !window && waited < deadline; waited += 50) {
        for (unsigned long w : m_x.FindWindows("Tavrin"))
            if (m_x.WmState(w) != 0)
                window = w;
        if (!window)
            usleep(50000);
    }
    ASSERT_NE(window, 0u) << run.Output();
    EXPECT_TRUE(m_x.WaitForWmState(window, 3));
    EXPECT_EQ(CloseAndWait(run, window), 0) << run.Output();
}

TEST_F(MainWindowEndToEnd, TheFrameEndsAboveTheDesktopsBottomPanel)
{
    const int panel = 40;
    m_x.PlayBottomPanel(panel);
    ProgramRun run;
    const unsigned long window = StartAndWait(run);
    ASSERT_NE(window, 0u) << run.Output();
    int sw = 0, sh = 0;
    m_x.ScreenSize(sw, sh);
    int x = 0, y = 0, w = 0, h = 0;
    ASSERT_TRUE(m_x.Geometry(window, x, y, w, h));
    EXPECT_LE(y + h, sh - panel);
    EXPECT_GE(y + h, sh - panel - 16);
    int cw = 0, ch = 0;
    m_x.CapturePainted(window, cw, ch, "app-main-window-above-panel");
    EXPECT_EQ(CloseAndWait(run, window), 0) << run.Output();
}

} // namespace

namespace {

TEST_F(MainWindowEndToEnd, AHiddenComposePaneStaysHiddenAndKeepsItsStoredHeight)
{
    m_folder.WriteConfig({{"placement", "pane_2_2_h", "300"}, {"placement", "pane_2_2_visible", "0"}});
    ProgramRun run;
    const unsigned long window = StartAndWait(run);
    ASSERT_NE(window, 0u) << run.Output();
    int cw = 0, ch = 0;
    m_x.CapturePainted(window, cw, ch, "app-main-window-compose-hidden");
    EXPECT_EQ(CloseAndWait(run, window), 0) << run.Output();
    ExpectComposeStoredHidden("300");
}

} // namespace

namespace {

// With key 32 "1" a second start brings the running copy back, from the
// taskbar's iconic state and from the tray alike, and ends without a window.
TEST_F(MainWindowEndToEnd, ASecondStartBringsTheFirstBackFromIconicAndFromTheTray)
{
    m_x.PlayTray();
    for (const char* tray : {"0", "1"}) {
        SCOPED_TRACE(std::string("minimize_hidden ") + tray);
        m_folder.WriteConfig({{"other", "single_tavrin", "1"}, {"other", "minimize_hidden", tray}});
        ProgramRun first;
        const unsigned long window = StartAndWait(first);
        ASSERT_NE(window, 0u) << first.Output();
        m_x.Iconify(window);
        ASSERT_TRUE(m_x.WaitForWmState(window, tray[0] == '1' ? 0 : 3));
        ProgramRun second;
        ASSERT_TRUE(second.Start(m_folder));
        EXPECT_EQ(second.Wait(), 0) << second.Output();
        EXPECT_TRUE(m_x.WaitForWmState(window, 1)) << "the first copy is shown again";
        EXPECT_TRUE(m_x.IsShown(window));
        EXPECT_EQ(m_x.FindWindows("Tavrin").size(), 1u);
        EXPECT_EQ(CloseAndWait(first, window), 0) << first.Output();
        EXPECT_FALSE(first.SanitizerReported()) << first.Output();
    }
}

// The splash goes by itself after its 3 seconds; F8 then hides the compose
// pane, and the close stores it hidden with its last height kept.
TEST_F(MainWindowEndToEnd, TheSplashEndsByItselfAndAHiddenComposePaneIsStoredHidden)
{
    m_folder.WriteConfig({{"placement", "pane_2_2_h", "300"}});
    ProgramRun run;
    const unsigned long window = StartAndWait(run);
    ASSERT_NE(window, 0u) << run.Output();
    int cw = 0, ch = 0;
    std::vector<unsigned> shot = m_x.CapturePainted(window, cw, ch);
    ASSERT_EQ(static_cast<int>(shot.size()), cw * ch);
    const unsigned white = 0xFFFFFF;
    auto centre = [&] { return shot[static_cast<size_t>(ch / 2) * cw + cw / 2 - 100]; };
    ASSERT_NE(centre(), white) << "the splash";
    bool gone = false;
    for (int i = 0; i < 100 && !gone; ++i) {
        usleep(100000);
        shot = m_x.Capture(window, cw, ch);
        gone = static_cast<int>(shot.size()) == cw * ch && centre() == white;
    }
    EXPECT_TRUE(gone) << "the splash is still there";
    EXPECT_FALSE(run.EndsWithin(100));
    m_x.Key("F8");
    EXPECT_EQ(CloseAndWait(run, window), 0) << run.Output();
    EXPECT_FALSE(run.SanitizerReported()) << run.Output();
    ExpectComposeStoredHidden("300");
}

// Dragging the bar between the tree and the other-information pane down to
// the bottom stops where the lower pane keeps its 18 pixels.
TEST_F(MainWindowEndToEnd, DraggingABarStopsAtThePanesMinimum)
{
    ProgramRun run;
    const unsigned long window = StartAndWait(run);
    ASSERT_NE(window, 0u) << run.Output();
    int cw = 0, ch = 0;
    m_x.CapturePainted(window, cw, ch);
    m_x.Key("Escape"); // the splash
    std::vector<unsigned> shot = m_x.CapturePainted(window, cw, ch);
    // The lower pane's height, whatever it shows: from the dark line of its
    // sunken edge (the first below the tree's white inside) down to the
    // status bar (the run of the bottom row's colour in the middle column).
    auto lowerPane = [&](const std::vector<unsigned>& pixels) {
        auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y) * cw + x]; };
        int statusTop = ch - 1;
        while (statusTop > 0 && at(cw / 2, statusTop - 1) == at(cw / 2, ch - 1))
            --statusTop;
        int y = ch / 4;
        while (y < statusTop && at(20, y) == 0xFFFFFF)
            ++y;
        while (y < statusTop && at(20, y) != 0x808080)
            ++y;
        return statusTop - y;
    };
    ASSERT_GT(lowerPane(shot), ch / 3);
    const int top = PanesTop(shot, cw, ch);
    const int bar = BarBelowTree(shot, cw, ch, top);
    m_x.Drag(window, 20, bar + 1, 20, ch + 40);
    for (int i = 0; i < 50 && lowerPane(shot) > ch / 4; ++i) {
        usleep(100000);
        shot = m_x.Capture(window, cw, ch);
    }
    shot = m_x.CapturePainted(window, cw, ch, "app-main-window-bar-dragged-down");
    const int lower = lowerPane(shot);
    EXPECT_GE(lower, 18) << "the pane keeps its minimum";
    EXPECT_LE(lower, 18 + 6) << "and no more than its edges besides";
    EXPECT_EQ(CloseAndWait(run, window), 0) << run.Output();
    EXPECT_FALSE(run.SanitizerReported()) << run.Output();
    EXPECT_GT(std::stoi(m_folder.ConfigValue("pane_1_1_h")), ch / 2 + 100);
}

} // namespace
