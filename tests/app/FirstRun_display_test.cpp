// The first run of the real program with the simulator as the providers'
// sites: the question on an empty program folder, the add-account dialog
// driven by real clicks and keys, and the account with its classes after a
// restart. Screenshots at each step are saved under the build tree.
#include "platform/gdi/Gdi.h"
#include "tests/sim/5460/Site5460.h"
#include "tests/sim/Demo.h"
#include "tests/sim/Simulator.h"
#include "tests/support/ProgramHarness.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

using namespace tavrin::test;

namespace {

class FirstRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no display";
        if (BuiltProgram().empty())
            GTEST_SKIP() << "the program is not built";
        ASSERT_TRUE(m_x.IsOpen());
        tavrin::sim::p5460::Install(m_sim);
        tavrin::sim::SeedDemo(m_sim);
    }
    std::filesystem::path Folder() const { return std::filesystem::path(m_folder.Path()); }

    tavrin::sim::Simulator m_sim;
    ProgramFolder m_folder;
    XSession m_x;
};

// Whether a label shows in the shot in the tree's font, plain or bold, in
// one of the ways the tree paints an item.
bool ShowsLabel(const std::vector<unsigned>& shot, int w, int h, const char* text, bool bold, int* x = nullptr,
                int* y = nullptr)
{
    LOGFONT lf{};
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    HFONT font = ::CreateFontIndirectA(&lf);
    const std::pair<int, int> looks[] = {{COLOR_WINDOWTEXT, COLOR_WINDOW},
                                         {COLOR_HIGHLIGHTTEXT, COLOR_HIGHLIGHT},
                                         {COLOR_WINDOWTEXT, COLOR_BTNFACE}};
    bool found = false;
    for (const auto& [text_, back] : looks)
        found = found || FindText(shot, w, h, text, font, ::GetSysColor(text_), ::GetSysColor(back), x, y);
    ::DeleteObject(font);
    return found;
}

TEST_F(FirstRun, AskedOnAnEmptyFolderNoKeepsTheEmptyTree)
{
    ProgramRun run;
    ASSERT_TRUE(run.Start(m_folder, {}, {"LANG=en_US.UTF-8", "LC_ALL=", "LC_MESSAGES="}));
    const unsigned long window = m_x.WaitForWindow("Tavrin", run.Pid());
    ASSERT_NE(window, 0u) << run.Output();
    const unsigned long box = m_x.WaitForWindow("提示", run.Pid());
    ASSERT_NE(box, 0u) << run.Output();
    int bw = 0, bh = 0;
    m_x.CapturePainted(box, bw, bh, "app-first-run-question");
    int cw = 0, ch = 0;
    std::vector<unsigned> shot = m_x.CapturePainted(window, cw, ch, "app-first-run-question-frame");
    int tx = 0, ty = 0;
    EXPECT_TRUE(ShowsLabel(shot, cw, ch, "Tavrin", false, &tx, &ty)) << "the root";
    EXPECT_LT(tx, cw / 4);
    EXPECT_FALSE(ShowsLabel(shot, cw, ch, "Tavrin", true)) << "not bold";
    m_x.Close(window);
    EXPECT_EQ(run.Wait(), 0) << run.Output();
}

} // namespace
