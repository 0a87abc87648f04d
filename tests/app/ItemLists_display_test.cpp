// The item lists in the real program: a prepared class of 40 stored
// messages, the class clicked in the tree, the captions and rows read from
// the screenshots, a message row clicked and marked read by its timer.
#include "platform/gdi/Gdi.h"
#include "platform/win/SystemProfile.h"
#include "tests/app/AppTestSupport.h"
#include "toolkit/controls/XTColorManager.h"
#include "tests/sim/Simulator.h"
#include "tests/app/ProgramEndToEnd.h"
#include "tests/support/ProgramHarness.h"
#include "tests/support/TempDir.h"

#include "tests/app/PanesTop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

using namespace tavrin::test;

namespace {

// Bands of the frame's own area: the tab strip and the first rows of the lists.
constexpr int kTabs0 = 25, kTabs1 = 60, kHeader0 = 50, kHeader1 = 70, kRows0 = 55, kRows1 = 200, kRows2 = 350;

// A text in black, highlight or the tabs' grey ink in one of the program's fonts (the dialog's and the
// toolkit's 宋体, the tree's), normal or bold, on one of the shot's most
// common colours; the place found goes to *x, *y.
bool ShowsTextIn(const std::vector<unsigned>& shot, int w, int h, const char* text, bool bold, int* x, int* y)
{
    std::map<unsigned, int> counts;
    for (unsigned pixel : shot)
        ++counts[pixel];
    std::vector<std::pair<int, unsigned>> common;
    for (const auto& [colour, count] : counts)
        common.emplace_back(count, colour);
    std::sort(common.rbegin(), common.rend());
    if (common.size() > 6)
        common.resize(6);
    // A selected row.
    common.emplace_back(0, static_cast<unsigned>(::GetSysColor(COLOR_HIGHLIGHT)));
    LOGFONT faces[3] = {};
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof faces[0], &faces[0]);
    for (int i : {1, 2}) {
        faces[i].lfHeight = i == 1 ? -12 : 12;
        faces[i].lfCharSet = 134;
        std::snprintf(faces[i].lfFaceName, LF_FACESIZE, "%s", "宋体");
    }
    for (LOGFONT lf : faces) {
        lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
        HFONT font = ::CreateFontIndirectA(&lf);
        bool found = false;
        for (const auto& [count, rgb] : common) {
            // The highlight comes as a colour reference, the shot's colours as 0xRRGGBB.
            const COLORREF back = count == 0 ? rgb : RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
            for (COLORREF ink : {RGB(0, 0, 0), ::GetSysColor(COLOR_HIGHLIGHTTEXT), ::GetSysColor(COLOR_GRAYTEXT),
                                 XTGetColorManager()->GetColor(49)})
                found = found || FindText(shot, w, h, text, font, ink, back, x, y);
        }
        ::DeleteObject(font);
        if (found)
            return true;
    }
    return false;
}

// The same within the band of rows from y0 to y1 (window coordinates).
bool ShowsText(const std::vector<unsigned>& shot, int w, int h, const char* text, bool bold, int y0, int y1,
               int* x = nullptr, int* y = nullptr)
{
    y0 = std::clamp(y0, 0, h);
    y1 = std::clamp(y1, y0, h);
    const std::vector<unsigned> band(shot.begin() + static_cast<std::ptrdiff_t>(y0) * w,
                                     shot.begin() + static_cast<std::ptrdiff_t>(y1) * w);
    if (!ShowsTextIn(band, w, y1 - y0, text, bold, x, y))
        return false;
    if (y)
        *y += y0;
    return true;
}

class ItemListsEndToEnd : public ProgramEndToEnd {
protected:
    void SetUp() override
    {
        ProgramEndToEnd::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        m_folder.WriteConfig({{"read", "timeout", "1"}, {"update", "after_startup", "0"}, {"app_update", "startup", "0"}});
        ASSERT_TRUE(PrepareAccount(m_folder.Path(), "demo", "demo", "demo"));
        std::string xml = "<message>\n";
        // Newest first, as the store keeps them: custo_ids count down.
        for (int i = 40; i >= 1; --i) {
            char item[512];
            std::snprintf(item, sizeof item,
                          "\t<item custo_id=\"%d\" id=\"%d\" read=\"0\">\n\t\t<title>主题%02d</title>\n"
                          "\t\t<time>2005-06-%02d 10:00</time>\n\t\t<user>张三</user>\n\t\t<content>内容%d</content>\n"
                          "\t</item>\n",
                          i, 1000 + i, i, 1 + i % 28, i);
            xml += item;
        }
        xml += "</message>\n";
        m_folder.Write(ClassFolder() + "/message.xml", xml);
    }
    static std::string ClassFolder() { return "accounts/demo/20001"; }
    std::filesystem::path ClassPath() const { return std::filesystem::path(m_folder.Path()) / ClassFolder(); }
    bool WaitForSplashGone(unsigned long window)
    {
        for (int i = 0; i < 600; ++i) {
            int cw = 0, ch = 0;
            const std::vector<unsigned> shot = m_x.Capture(window, cw, ch);
            if (!shot.empty() && shot[static_cast<size_t>(ch / 2 - 110) * cw + cw / 2 - 190] == 0xFFFFFF)
                return true;
            usleep(50000);
        }
        return false;
    }
    // Waits until the text shows in the window; its place goes to *x, *y.
    bool WaitForText(unsigned long window, const char* text, bool bold, int y0, int y1, const std::string& shotName,
                     int* x = nullptr, int* y = nullptr)
    {
        for (int i = 0; i < 50; ++i) {
            int w = 0, h = 0;
            const std::vector<unsigned> shot = m_x.Capture(window, w, h);
            // The bands count from the panes' top, below the bars.
            const int top = shot.empty() ? 0 : PanesTop(shot, w, h);
            if (ShowsText(shot, w, h, text, bold, top + y0, top + y1, x, y)) {
                m_x.Capture(window, w, h, shotName);
                return true;
            }
            usleep(100000);
        }
        int w = 0, h = 0;
        m_x.Capture(window, w, h, shotName + "-missing");
        return false;
    }

};

TEST_F(ItemListsEndToEnd, TheClassShowsItsCaptionsAndAClickedRowTurnsReadAfterItsDelay)
{
    ProgramRun run;
    ASSERT_TRUE(run.Start(m_folder));
    const unsigned long window = m_x.WaitForWindow("Tavrin", run.Pid());
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(WaitForSplashGone(window));
    // No class yet: the bare captions.
    EXPECT_TRUE(WaitForText(window, "通讯录", false, kTabs0, kTabs1, "lists-no-class"));
    EXPECT_TRUE(WaitForText(window, "在线消息", false, kTabs0, kTabs1, "lists-no-class"));

    int x = 0, y = 0;
    ASSERT_TRUE(WaitForText(window, "高三(2)班", true, 0, 80, "lists-tree", &x, &y) ||
                WaitForText(window, "高三(2)班", false, 0, 80, "lists-tree", &x, &y));
    m_x.Click(window, x + 10, y + 6);
    EXPECT_TRUE(WaitForText(window, "留言(40/40)", false, kTabs0, kTabs1, "lists-class"));
    EXPECT_TRUE(WaitForText(window, "通讯录(0)", false, kTabs0, kTabs1, "lists-class"));
    EXPECT_TRUE(WaitForText(window, "悄悄话(0/0)", false, kTabs0, kTabs1, "lists-class"));

    // Unread rows are bold, newest first; the clicked one is shown and then read.
    int rx = 0, ry = 0;
    ASSERT_TRUE(WaitForText(window, "主题27", true, kRows0, kRows1, "lists-bold", &rx, &ry));
    m_x.Click(window, rx + 10, ry + 6);
    for (int i = 0; i < 100 && !std::filesystem::exists(ClassPath() / "message.htm"); ++i)
        usleep(100000);
    EXPECT_TRUE(std::filesystem::exists(ClassPath() / "message.htm"));
    EXPECT_TRUE(WaitForText(window, "留言(39/40)", false, kTabs0, kTabs1, "lists-read"));
    int sx = 0, sy = 0;
    EXPECT_TRUE(WaitForText(window, "主题27", false, kRows0, kRows1, "lists-read", &sx, &sy));
    EXPECT_TRUE(WaitForText(window, "主题26", true, kRows0, kRows1, "lists-read", &sx, &sy));

    // A click on the subject header sorts ascending, a second descending; the
    // current row stays selected and in view.
    int hx = 0, hy = 0;
    ASSERT_TRUE(WaitForText(window, "主题", false, kHeader0, kHeader1, "lists-header", &hx, &hy));
    int y26 = 0, y27 = 0, rowX = 0;
    m_x.Click(window, hx + 8, hy + 5);
    EXPECT_TRUE(WaitForText(window, "主题26", true, kRows0, kRows2, "lists-sorted-up", &rowX, &y26));
    EXPECT_TRUE(WaitForText(window, "主题27", false, kRows0, kRows2, "lists-sorted-up", &rowX, &y27));
    EXPECT_LT(y26, y27);
    m_x.Click(window, hx + 8, hy + 5);
    EXPECT_TRUE(WaitForText(window, "主题26", true, kRows0, kRows2, "lists-sorted-down", &rowX, &y26));
    EXPECT_TRUE(WaitForText(window, "主题27", false, kRows0, kRows2, "lists-sorted-down", &rowX, &y27));
    EXPECT_GT(y26, y27);

    m_x.Close(window);
    EXPECT_EQ(run.Wait(), 0);
    const std::string stored = TempDir::Read(ClassPath() / "message.xml");
    const size_t at = stored.find("custo_id=\"27\"");
    ASSERT_NE(at, std::string::npos);
    const std::string tag = stored.substr(stored.rfind('<', at), stored.find('>', at) - stored.rfind('<', at));
    EXPECT_NE(tag.find("read=\"1\""), std::string::npos) << tag;
    EXPECT_FALSE(run.SanitizerReported()) << run.Output();
}

} // namespace
