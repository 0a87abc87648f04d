// The item lists in the real program: a prepared class of 40 stored
// messages, the class clicked in the tree, the captions and rows read from
// the screenshots, a message row clicked and marked read by its timer.
#include "platform/gdi/Gdi.h"
#include "platform/win/SystemProfile.h"
#include "tests/app/AppTestSupport.h"
#include "tests/sim/Simulator.h"
#include "tests/support/ProgramHarness.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

using namespace tavrin::test;

namespace {

// A text in the lists' and tabs' fonts, normal or bold, on the window or
// face colour; the place found goes to *x, *y.
bool ShowsText(const std::vector<unsigned>& shot, int w, int h, const char* text, bool bold, int* x = nullptr,
               int* y = nullptr)
{
    LOGFONT faces[2] = {};
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof faces[0], &faces[0]);
    faces[1].lfHeight = -12;
    faces[1].lfCharSet = 134;
    std::snprintf(faces[1].lfFaceName, LF_FACESIZE, "%s", "宋体");
    const std::pair<int, int> looks[] = {{COLOR_WINDOWTEXT, COLOR_WINDOW}, {COLOR_BTNTEXT, COLOR_BTNFACE}};
    for (LOGFONT lf : faces) {
        lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
        HFONT font = ::CreateFontIndirectA(&lf);
        bool found = false;
        for (const auto& [text_, back] : looks)
            found = found || FindText(shot, w, h, text, font, ::GetSysColor(text_), ::GetSysColor(back), x, y);
        ::DeleteObject(font);
        if (found)
            return true;
    }
    return false;
}

class ItemListsEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no display";
        if (BuiltProgram().empty())
            GTEST_SKIP() << "the program is not built";
        ASSERT_TRUE(m_x.IsOpen());
        m_folder.UseProxy(m_sim.ProxyHost(), m_sim.ProxyPort());
        m_folder.WriteConfig({{"read", "timeout", "1"}, {"update", "after_startup", "0"}, {"app_update", "startup", "0"}});
        ASSERT_TRUE(PrepareAccount(m_folder.Path(), "demo", "demo", "demo"));
        std::string xml = "<message>\n";
        for (int i = 1; i <= 40; ++i) {
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
    bool WaitForText(unsigned long window, const char* text, bool bold, const std::string& shotName, int* x = nullptr,
                     int* y = nullptr)
    {
        for (int i = 0; i < 100; ++i) {
            int w = 0, h = 0;
            const std::vector<unsigned> shot = m_x.Capture(window, w, h);
            if (ShowsText(shot, w, h, text, bold, x, y)) {
                m_x.Capture(window, w, h, shotName);
                return true;
            }
            usleep(100000);
        }
        int w = 0, h = 0;
        m_x.Capture(window, w, h, shotName + "-missing");
        return false;
    }

    tavrin::sim::Simulator m_sim;
    ProgramFolder m_folder;
    XSession m_x;
};

TEST_F(ItemListsEndToEnd, TheClassShowsItsCaptionsAndAClickedRowTurnsReadAfterItsDelay)
{
    ProgramRun run;
    ASSERT_TRUE(run.Start(m_folder));
    const unsigned long window = m_x.WaitForWindow("Tavrin", run.Pid());
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(WaitForSplashGone(window));
    // No class yet: the bare captions.
    EXPECT_TRUE(WaitForText(window, "通讯录", false, "lists-no-class"));
    EXPECT_TRUE(WaitForText(window, "在线消息", false, "lists-no-class"));

    int x = 0, y = 0;
    ASSERT_TRUE(WaitForText(window, "高三(2)班", true, "lists-tree", &x, &y) ||
                WaitForText(window, "高三(2)班", false, "lists-tree", &x, &y));
    m_x.Click(window, x + 10, y + 6);
    EXPECT_TRUE(WaitForText(window, "留言(40/40)", false, "lists-class"));
    EXPECT_TRUE(WaitForText(window, "通讯录(0)", false, "lists-class"));
    EXPECT_TRUE(WaitForText(window, "悄悄话(0/0)", false, "lists-class"));

    // Unread rows are bold; the clicked one is shown and then read.
    int rx = 0, ry = 0;
    ASSERT_TRUE(WaitForText(window, "主题03", true, "lists-bold", &rx, &ry));
    m_x.Click(window, rx + 10, ry + 6);
    for (int i = 0; i < 100 && !std::filesystem::exists(ClassPath() / "message.htm"); ++i)
        usleep(100000);
    EXPECT_TRUE(std::filesystem::exists(ClassPath() / "message.htm"));
    EXPECT_TRUE(WaitForText(window, "留言(39/40)", false, "lists-read"));
    int sx = 0, sy = 0;
    EXPECT_TRUE(WaitForText(window, "主题04", true, "lists-read", &sx, &sy));

    m_x.Close(window);
    EXPECT_EQ(run.Wait(), 0);
    const std::string stored = TempDir::Read(ClassPath() / "message.xml");
    const size_t at = stored.find("custo_id=\"3\"");
    ASSERT_NE(at, std::string::npos);
    const std::string tag = stored.substr(stored.rfind('<', at), stored.find('>', at) - stored.rfind('<', at));
    EXPECT_NE(tag.find("read=\"1\""), std::string::npos) << tag;
    EXPECT_FALSE(run.SanitizerReported()) << run.Output();
}

} // namespace
