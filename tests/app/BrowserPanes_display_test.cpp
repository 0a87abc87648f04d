// The browser panes in the real program: the tree's selection brings the
// account's profile page into the display pane and the class page, its width
// statement set to the pane, into the other-information pane.
#include "tests/app/AppTestSupport.h"
#include "tests/sim/Simulator.h"
#include "tests/app/ProgramEndToEnd.h"
#include "tests/support/ProgramHarness.h"

#include "tests/app/PanesTop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

using namespace tavrin::test;

namespace {

// Colours no other part of the window uses.
constexpr unsigned kProfileColour = 0x2060C0;
constexpr unsigned kClassColour = 0xC02060;

class BrowserPanesEndToEnd : public ProgramEndToEnd {
protected:
    void SetUp() override
    {
        ProgramEndToEnd::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        // The demo account with its class 20001.
        ASSERT_TRUE(PrepareAccount(m_folder.Path(), "demo", "demo", "demo"));
        m_folder.Write("accounts/demo/profile.htm",
                       "<html><body style=\"margin:0;background:#2060c0\"></body></html>");
        m_folder.Write("accounts/demo/20001/misc.htm",
                       "<html><head><script>var width = 300;\nfunction swap_size(o) { o.width = width; }</script>"
                       "</head><body style=\"margin:0;background:#c02060\"></body></html>");
    }

    // Pixels of the colour in the window once the count satisfies done, or
    // after about ten seconds (the engine loads on its own time).
    int CountWhen(unsigned long window, unsigned colour, const std::function<bool(int)>& done, const std::string& name)
    {
        int count = 0;
        for (int i = 0; i < 100; ++i) {
            int cw = 0, ch = 0;
            const std::vector<unsigned> shot = m_x.Capture(window, cw, ch);
            count = static_cast<int>(std::count(shot.begin(), shot.end(), colour));
            if (done(count))
                break;
            usleep(100000);
        }
        int cw = 0, ch = 0;
        m_x.CapturePainted(window, cw, ch, name);
        return count;
    }

    // Starts the program and waits for the frame without the splash.
    unsigned long Start(ProgramRun& run)
    {
        if (!run.Start(m_folder))
            return 0;
        const unsigned long window = m_x.WaitForWindow("Tavrin", run.Pid());
        if (!window)
            return 0;
        int cw = 0, ch = 0;
        m_x.CapturePainted(window, cw, ch);
        m_x.Key("Escape"); // the splash
        m_x.CapturePainted(window, cw, ch);
        return window;
    }

    // The box around the pixels of the colour; false when none shows.
    bool Bounds(unsigned long window, unsigned colour, RECT& box)
    {
        int cw = 0, ch = 0;
        const std::vector<unsigned> shot = m_x.Capture(window, cw, ch);
        box = RECT{cw, ch, -1, -1};
        for (int y = 0; y < ch; ++y)
            for (int x = 0; x < cw; ++x)
                if (shot[static_cast<size_t>(y) * cw + x] == colour) {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x);
                    box.bottom = std::max<LONG>(box.bottom, y);
                }
        return box.right >= 0;
    }

    // Waits until key 16 reads the value (stored at once by the pane).
    bool WaitForKey16(const std::string& value)
    {
        for (int i = 0; i < 100; ++i) {
            if (m_folder.ConfigValue("cur_visible") == value)
                return true;
            usleep(50000);
        }
        return false;
    }

    // Selects the demo account (from the root, by the arrow key) and waits
    // for its profile page.
    void SelectAccount(unsigned long window, const std::string& name)
    {
        m_x.Click(window, 58, Top(window) + 10); // the root's label, selected already
        int cw = 0, ch = 0;
        m_x.CapturePainted(window, cw, ch);
        m_x.Key("Down");
        CountWhen(window, kProfileColour, [](int n) { return n > 20000; }, name);
    }

    // Where the panes begin below the bars.
    int Top(unsigned long window)
    {
        int cw = 0, ch = 0;
        const std::vector<unsigned> shot = m_x.CapturePainted(window, cw, ch);
        return shot.empty() ? 0 : PanesTop(shot, cw, ch);
    }

    std::string MiscPage() const
    {
        std::ifstream in(m_folder.Path() + "/accounts/demo/20001/misc.htm", std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

};

TEST_F(BrowserPanesEndToEnd, TheSelectedAccountShowsItsProfileAndItsClassShowsTheClassPage)
{
    ProgramRun run;
    const unsigned long window = Start(run);
    ASSERT_NE(window, 0u) << run.Output();
    int cw = 0, ch = 0;
    // The root's label at the tree's top left: selected already; the arrow
    // keys walk down to the account and its class.
    m_x.Click(window, 58, Top(window) + 10);
    std::vector<unsigned> shot = m_x.CapturePainted(window, cw, ch, "app-panes-root");
    EXPECT_EQ(std::count(shot.begin(), shot.end(), kProfileColour), 0) << "nothing shown for the root";

    m_x.Key("Down");
    EXPECT_GT(CountWhen(window, kProfileColour, [](int n) { return n > 20000; }, "app-panes-account"), 20000)
        << "the profile page fills the display pane";

    m_x.Key("Down");
    EXPECT_GT(CountWhen(window, kClassColour, [](int n) { return n > 2000; }, "app-panes-class"), 2000)
        << "the class page in the other-information pane";
    EXPECT_EQ(CountWhen(window, kProfileColour, [](int n) { return n == 0; }, "app-panes-class-display"), 0)
        << "the display pane is cleared for a class";
    const std::string page = MiscPage();
    EXPECT_EQ(page.find("var width = 300;"), std::string::npos) << page;
    const size_t at = page.find("var width = ");
    ASSERT_NE(at, std::string::npos) << page;
    const int width = std::atoi(page.c_str() + at + 12);
    EXPECT_GT(width, 100) << "the pane's width less 15";
    EXPECT_LT(width, cw / 2);

    m_x.Close(window);
    EXPECT_EQ(run.Wait(), 0) << run.Output();
    EXPECT_FALSE(run.SanitizerReported()) << run.Output();
}

// The other-information pane's own mouse handling over the engine's page:
// the right click shows menu 142 (its "状态记录" entry clicked),
// a double click toggles between the log and the class page, and the
// caption's close button hides the pane, which the close stores.
TEST_F(BrowserPanesEndToEnd, ThePanesMenuDoubleClickAndCloseButtonOverTheClassPage)
{
    ProgramRun run;
    const unsigned long window = Start(run);
    ASSERT_NE(window, 0u) << run.Output();
    SelectAccount(window, "");
    m_x.Key("Down");
    CountWhen(window, kClassColour, [](int n) { return n > 2000; }, "app-panes-misc-class");
    RECT page{};
    ASSERT_TRUE(Bounds(window, kClassColour, page)) << "the class page";
    const int px = (page.left + page.right) / 2;
    const int py = (page.top + page.bottom) / 2;
    EXPECT_EQ(m_folder.ConfigValue("cur_visible"), "(none)");

    m_x.Click(window, px, py, 3);
    int cw = 0, ch = 0;
    m_x.CapturePainted(window, cw, ch, "app-panes-misc-menu");
    // Its first entry, "状态记录", on the row just below the click.
    m_x.Click(window, px + 50, py + 12);
    EXPECT_TRUE(WaitForKey16("1")) << "menu 142's entry, not the engine's menu";
    EXPECT_EQ(CountWhen(window, kClassColour, [](int n) { return n == 0; }, "app-panes-misc-log"), 0)
        << "the log lies over the page";

    m_x.Click(window, px, py);
    m_x.Click(window, px, py);
    EXPECT_TRUE(WaitForKey16("0")) << "a double click on the log";
    EXPECT_GT(CountWhen(window, kClassColour, [](int n) { return n > 2000; }, "app-panes-misc-page-again"), 2000);

    m_x.Click(window, px, py);
    m_x.Click(window, px, py);
    EXPECT_TRUE(WaitForKey16("1")) << "a double click on the class page";
    m_x.Click(window, px, py);
    m_x.Click(window, px, py);
    EXPECT_TRUE(WaitForKey16("0"));
    CountWhen(window, kClassColour, [](int n) { return n > 2000; }, "app-panes-misc-page-third");

    // The close button at the caption's right end, just above the page.
    m_x.Click(window, page.right - 7, page.top - 10);
    EXPECT_EQ(CountWhen(window, kClassColour, [](int n) { return n == 0; }, "app-panes-misc-closed"), 0)
        << "the pane is hidden";
    m_x.Close(window);
    EXPECT_EQ(run.Wait(), 0) << run.Output();
    EXPECT_EQ(m_folder.ConfigValue("pane_1_2_visible"), "0");
    EXPECT_FALSE(run.SanitizerReported()) << run.Output();
}

// An ordinary link of the profile page whose query holds the action texts
// is only followed: the pane shows the linked local page and no operation
// starts (nothing reaches the providers' sites).
TEST_F(BrowserPanesEndToEnd, AnOrdinaryLinkHoldingActionTextsIsOnlyFollowed)
{
    m_folder.Write("accounts/demo/profile.htm",
                   "<html><body style=\"margin:0;background:#2060c0\">"
                   "<a href=\"other.htm?a=tavrin:投票&b=tavrin:修改个人档案\" "
                   "style=\"display:block;width:100%;height:100%;position:absolute\">&nbsp;</a></body></html>");
    m_folder.Write("accounts/demo/other.htm", "<html><body style=\"margin:0;background:#20c060\"></body></html>");
    ProgramRun run;
    const unsigned long window = Start(run);
    ASSERT_NE(window, 0u) << run.Output();
    SelectAccount(window, "app-panes-link-before");
    RECT page{};
    ASSERT_TRUE(Bounds(window, kProfileColour, page)) << "the profile page";
    m_sim.ClearLog();
    m_x.Click(window, (page.left + page.right) / 2, (page.top + page.bottom) / 2);
    EXPECT_GT(CountWhen(window, 0x20C060, [](int n) { return n > 20000; }, "app-panes-link-followed"), 20000)
        << "the linked page in the pane";
    EXPECT_TRUE(m_sim.Log().empty()) << "no operation went out";
    m_x.Close(window);
    EXPECT_EQ(run.Wait(), 0) << run.Output();
    EXPECT_TRUE(m_sim.Log().empty());
    EXPECT_FALSE(run.SanitizerReported()) << run.Output();
}

} // namespace
