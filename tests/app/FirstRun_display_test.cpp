// The first run of the real program with the simulator as the providers'
// sites: the question on an empty program folder, the add-account dialog
// driven by real clicks and keys, and the account with its classes after a
// restart. Screenshots at each step are saved under the build tree.
#include "platform/base/CodePage.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/SystemProfile.h"
#include "tests/sim/5460/Site5460.h"
#include "tests/sim/Demo.h"
#include "tests/sim/Simulator.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/ProgramHarness.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
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
    // A window of the program by its (GBK) title.
    unsigned long WaitFor(ProgramRun& run, const char* title, int timeoutMs = 20000)
    {
        return m_x.WaitForWindow(tavrin::GbkToUtf8(title), run.Pid(), timeoutMs);
    }
    // Waits until the splash over the frame's middle is gone (its timer or a click).
    bool WaitForSplashGone(unsigned long window)
    {
        // Generous: a loaded machine paints late.
        for (int i = 0; i < 600; ++i) {
            int cw = 0, ch = 0;
            const std::vector<unsigned> shot = m_x.Capture(window, cw, ch);
            if (!shot.empty() && shot[static_cast<size_t>(ch / 2 - 110) * cw + cw / 2 - 190] == 0xFFFFFF)
                return true;
            usleep(50000);
        }
        return false;
    }
    bool Shows(const char* title) { return !m_x.FindWindows(tavrin::GbkToUtf8(title)).empty(); }
    // Starts the program under a locale on the empty folder and waits for
    // the frame, the question and the end of the splash; the question box
    // goes to *box.
    unsigned long StartAsked(ProgramRun& run, const char* lang, unsigned long* box)
    {
        if (!run.Start(m_folder, {}, {std::string("LANG=") + lang, "LC_ALL=", "LC_MESSAGES="}))
            return 0;
        const unsigned long window = m_x.WaitForWindow("Tavrin", run.Pid());
        *box = window ? WaitFor(run, "提示") : 0;
        if (!*box || !WaitForSplashGone(window))
            return 0;
        return window;
    }
    // Picks "5460(电信用户)" from the focused provider list, then types the
    // user name, the password and the simulator's address into the fields
    // in tab order.
    void FillAddDialog(const std::string& userName, const std::string& password);
    // Closes the frame once no update runs: while one does, the frame asks
    // first and the question is cancelled. The exit status.
    int CloseWhenIdle(ProgramRun& run, unsigned long window);

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

// A popup menu shown beside a point: many pixels below and right of it
// changed between two captures of the frame.
bool MenuShownBeside(const std::vector<unsigned>& before, const std::vector<unsigned>& after, int w, int h, int x,
                     int y)
{
    if (before.size() != after.size() || static_cast<int>(after.size()) != w * h)
        return false;
    int changed = 0;
    for (int py = y; py < std::min(h, y + 100); ++py)
        for (int px = x; px < std::min(w, x + 150); ++px)
            changed += before[static_cast<size_t>(py) * w + px] != after[static_cast<size_t>(py) * w + px];
    return changed > 2000;
}

// A text in the dialogs' font (宋体, 9 points) in one of the ways a control
// paints it.
bool ShowsDialogText(const std::vector<unsigned>& shot, int w, int h, const char* text)
{
    LOGFONT lf{};
    lf.lfHeight = -12;
    lf.lfCharSet = 134;
    std::snprintf(lf.lfFaceName, LF_FACESIZE, "%s", "宋体");
    HFONT font = ::CreateFontIndirectA(&lf);
    const std::pair<int, int> looks[] = {{COLOR_WINDOWTEXT, COLOR_WINDOW},
                                         {COLOR_HIGHLIGHTTEXT, COLOR_HIGHLIGHT},
                                         {COLOR_BTNTEXT, COLOR_BTNFACE}};
    bool found = false;
    for (const auto& [text_, back] : looks)
        found = found || FindText(shot, w, h, text, font, ::GetSysColor(text_), ::GetSysColor(back));
    ::DeleteObject(font);
    return found;
}

// The two buttons of a desktop message box lie side by side along its bottom.
void ClickBoxButton(XSession& x, unsigned long box, bool first)
{
    int bx = 0, by = 0, bw = 0, bh = 0;
    x.Geometry(box, bx, by, bw, bh);
    x.Click(box, first ? bw / 4 : bw * 3 / 4, bh - 15);
}

// Types letters, digits, dots and slashes as key presses.
void Type(XSession& x, const std::string& text)
{
    for (char c : text) {
        const std::string key = c == '.' ? "period" : c == '/' ? "slash" : std::string(1, c);
        x.Key(key.c_str());
    }
}

std::string FileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void FirstRun::FillAddDialog(const std::string& userName, const std::string& password)
{
    for (int i = 0; i < 3; ++i)
        m_x.Key("Down");
    m_x.Key("Tab");
    Type(m_x, userName);
    m_x.Key("Tab");
    Type(m_x, password);
    m_x.Key("Tab");
    Type(m_x, m_sim.ProxyHost());
    m_x.Key("Tab");
    Type(m_x, m_sim.ProxyPort());
}

int FirstRun::CloseWhenIdle(ProgramRun& run, unsigned long window)
{
    for (int attempt = 0; attempt < 40 && run.Running(); ++attempt) {
        m_x.Close(window);
        if (run.EndsWithin(1000))
            break;
        if (unsigned long warning = WaitFor(run, "警告", 2000)) {
            ClickBoxButton(m_x, warning, false);
            usleep(300000);
        }
    }
    return run.Wait();
}

TEST_F(FirstRun, AskedOnAnEmptyFolderNoKeepsTheEmptyTree)
{
    ProgramRun run;
    unsigned long box = 0;
    const unsigned long window = StartAsked(run, "en_US.UTF-8", &box);
    ASSERT_NE(window, 0u) << run.Output();
    int bw = 0, bh = 0;
    m_x.CapturePainted(box, bw, bh, "app-first-run-question");
    int cw = 0, ch = 0;
    std::vector<unsigned> shot = m_x.CapturePainted(window, cw, ch, "app-first-run-question-frame");
    int tx = 0, ty = 0;
    EXPECT_TRUE(ShowsLabel(shot, cw, ch, "Tavrin", false, &tx, &ty)) << "the root";
    EXPECT_LT(tx, cw / 4) << "in the tree";
    EXPECT_FALSE(ShowsLabel(shot, cw, ch, "Tavrin", true)) << "not bold";
    // The caption bar above the lists: the program's bold face at 18
    // pixels, window-coloured on the shadow colour.
    LOGFONT lf{};
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lf.lfHeight = 18;
    lf.lfWidth = 0;
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = 134;
    std::snprintf(lf.lfFaceName, LF_FACESIZE, "%s", "宋体");
    HFONT captionFont = ::CreateFontIndirectA(&lf);
    EXPECT_TRUE(FindText(shot, cw, ch, "Tavrin", captionFont, ::GetSysColor(COLOR_WINDOW),
                         ::GetSysColor(COLOR_BTNSHADOW), &tx, &ty));
    EXPECT_GT(tx, cw / 4);
    ::DeleteObject(captionFont);

    ClickBoxButton(m_x, box, false);
    for (int i = 0; i < 100 && Shows("提示"); ++i)
        usleep(50000);
    EXPECT_FALSE(Shows("提示"));
    EXPECT_FALSE(Shows("添加新帐号"));
    EXPECT_FALSE(run.EndsWithin(300)) << "the window stays";
    shot = m_x.CapturePainted(window, cw, ch, "app-first-run-answered-no");
    EXPECT_TRUE(ShowsLabel(shot, cw, ch, "Tavrin", false));
    m_x.Close(window);
    EXPECT_EQ(run.Wait(), 0) << run.Output();
    EXPECT_FALSE(std::filesystem::exists(Folder() / "accounts" / "demo@546028B5E7D0C5D3C3BBA729"));
}

TEST_F(FirstRun, YesAddsTheAccountAndARestartShowsItsClasses)
{
    const std::string folderName = "demo@546028B5E7D0C5D3C3BBA729";
    {
        ProgramRun run;
        unsigned long box = 0;
        const unsigned long window = StartAsked(run, "en_US.UTF-8", &box);
        ASSERT_NE(window, 0u) << run.Output();
        ClickBoxButton(m_x, box, true);
        const unsigned long dlg = WaitFor(run, "添加新帐号");
        ASSERT_NE(dlg, 0u) << run.Output();
        int dw = 0, dh = 0;
        std::vector<unsigned> shot = m_x.CapturePainted(dlg, dw, dh, "app-first-run-add-account");
        EXPECT_TRUE(ShowsDialogText(shot, dw, dh, "ChinaRen(Sohu用户)")) << "selected first";
        EXPECT_FALSE(ShowsDialogText(shot, dw, dh, "127.0.0.1")) << "no proxy yet";

        // The keyboard: the provider list has the focus; the fields follow in tab order.
        FillAddDialog("demo", "demo");
        shot = m_x.CapturePainted(dlg, dw, dh, "app-first-run-add-account-filled");
        EXPECT_TRUE(ShowsDialogText(shot, dw, dh, "5460(电信用户)"));
        EXPECT_TRUE(ShowsDialogText(shot, dw, dh, "demo"));
        EXPECT_TRUE(ShowsDialogText(shot, dw, dh, m_sim.ProxyHost().c_str()));
        m_x.Key("Return");

        // Signed in and the classes read through the proxy just typed.
        for (int i = 0; i < 400 && m_sim.Count("/gy5460/jsp/class/class.jsp") < 2; ++i)
            usleep(50000);
        EXPECT_GE(m_sim.Count("/gy5460/jsp/login/login.jsp"), 1u);
        EXPECT_GE(m_sim.Count("/gy5460/jsp/class/class.jsp"), 2u);
        EXPECT_EQ(m_folder.ConfigValue("host"), m_sim.ProxyHost());
        EXPECT_EQ(m_folder.ConfigValue("port"), m_sim.ProxyPort());
        EXPECT_NE(m_folder.ConfigValue("username"), "(none)");
        EXPECT_NE(m_folder.ConfigValue("password"), "(none)");
        int cw = 0, ch = 0;
        shot = m_x.CapturePainted(window, cw, ch, "app-first-run-account-added");
        EXPECT_TRUE(ShowsLabel(shot, cw, ch, "demo@5460(电信用户)", false));

        EXPECT_EQ(CloseWhenIdle(run, window), 0) << run.Output();
        EXPECT_FALSE(run.SanitizerReported()) << run.Output();
    }
    const std::filesystem::path accountFile = Folder() / "accounts" / folderName / "tavrin.xml";
    ASSERT_TRUE(std::filesystem::exists(accountFile));
    const std::string file = FileText(accountFile);
    EXPECT_NE(file.find("<custo_name>demo@5460(电信用户)</custo_name>"), std::string::npos) << file;
    // The classes' display names as stored.
    std::vector<std::string> classes;
    for (size_t at = file.find("<class"); at != std::string::npos; at = file.find("<class", at + 1)) {
        const size_t name = file.find("<custo_name>", at);
        if (name == std::string::npos)
            break;
        const size_t end = file.find("</custo_name>", name);
        classes.push_back(file.substr(name + 12, end - name - 12));
    }
    ASSERT_EQ(classes.size(), 2u) << file;

    // Started again: nothing is asked, the tree shows the account and its classes.
    ProgramRun run;
    ASSERT_TRUE(run.Start(m_folder, {}, {"LANG=en_US.UTF-8", "LC_ALL=", "LC_MESSAGES="}));
    const unsigned long window = m_x.WaitForWindow("Tavrin", run.Pid());
    ASSERT_NE(window, 0u) << run.Output();
    ASSERT_TRUE(WaitForSplashGone(window));
    int cw = 0, ch = 0;
    const std::vector<unsigned> shot = m_x.CapturePainted(window, cw, ch, "app-first-run-restarted");
    EXPECT_FALSE(Shows("提示"));
    int ax = 0, ay = 0;
    EXPECT_TRUE(ShowsLabel(shot, cw, ch, "demo@5460(电信用户)", false, &ax, &ay));
    for (const std::string& name : classes) {
        int x = 0, y = 0;
        EXPECT_TRUE(ShowsLabel(shot, cw, ch, name.c_str(), false, &x, &y)) << name;
        EXPECT_GT(x, ax) << "under the account";
        EXPECT_GT(y, ay);
    }
    m_x.Close(window);
    EXPECT_EQ(run.Wait(), 0) << run.Output();
}

// A guarded account: an account file written by the model with protection on
// and an access password, and one class under it.
class GuardedAccount : public FirstRun {
protected:
    void SetUp() override
    {
        FirstRun::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(PrepareAccount(Folder(), "guard", "demo", "守护帐号", "key9"));
    }

    // Starts the program and waits for the tree without the splash.
    unsigned long Start(ProgramRun& run)
    {
        if (!run.Start(m_folder, {}, {"LANG=en_US.UTF-8", "LC_ALL=", "LC_MESSAGES="}))
            return 0;
        const unsigned long window = m_x.WaitForWindow("Tavrin", run.Pid());
        if (window && !WaitForSplashGone(window))
            return 0;
        return window;
    }
    // Where a tree label is in the frame; false when it does not show.
    bool Locate(unsigned long window, const char* label, int& x, int& y, const std::string& name = "")
    {
        int cw = 0, ch = 0;
        const std::vector<unsigned> shot = m_x.CapturePainted(window, cw, ch, name);
        return ShowsLabel(shot, cw, ch, label, false, &x, &y);
    }
    // The access dialog, when one comes within the time.
    unsigned long WaitForAccess(ProgramRun& run, int timeoutMs = 10000)
    {
        return WaitFor(run, "请输入访问密码", timeoutMs);
    }
    void WaitGone(const char* title)
    {
        for (int i = 0; i < 100 && Shows(title); ++i)
            usleep(50000);
    }
    void RightClick(unsigned long window, int x, int y)
    {
        m_x.Click(window, x, y, 3);
    }
};

TEST_F(GuardedAccount, StartsCollapsedAndOpensOnlyWithItsAccessPassword)
{
    ProgramRun run;
    const unsigned long window = Start(run);
    ASSERT_NE(window, 0u) << run.Output();
    int ax = 0, ay = 0, x = 0, y = 0;
    ASSERT_TRUE(Locate(window, "守护帐号", ax, ay, "app-guarded-collapsed"));
    EXPECT_FALSE(Locate(window, "高三(2)班", x, y)) << "collapsed";
    EXPECT_FALSE(Shows("提示")) << "an account exists: nothing is asked";
    // The expand button sits left of the face icon, level with the label.
    const int buttonX = ax - 31, buttonY = ay + 5;

    struct Attempt {
        const char* what;
        const char* typed;
        const char* key;
    };
    for (const Attempt& a : {Attempt{"cancel", "key9", "Escape"}, Attempt{"wrong", "key8", "Return"}}) {
        SCOPED_TRACE(a.what);
        m_x.Click(window, buttonX, buttonY);
        const unsigned long access = WaitForAccess(run);
        ASSERT_NE(access, 0u) << run.Output();
        // The cursor is in the password field: typing shows there masked.
        Type(m_x, a.typed);
        int dw = 0, dh = 0;
        const std::vector<unsigned> shot = m_x.CapturePainted(access, dw, dh, std::string("app-guarded-asked-") + a.what);
        EXPECT_TRUE(ShowsDialogText(shot, dw, dh, "5460(电信用户)"));
        EXPECT_TRUE(ShowsDialogText(shot, dw, dh, "demo"));
        EXPECT_TRUE(ShowsDialogText(shot, dw, dh, "****"));
        m_x.Key(a.key);
        WaitGone("请输入访问密码");
        EXPECT_FALSE(Shows("请输入访问密码"));
        EXPECT_FALSE(Shows("错误")) << "no message";
        EXPECT_FALSE(Locate(window, "高三(2)班", x, y, std::string("app-guarded-still-shut-") + a.what));
    }

    // The right text opens it for the rest of the run.
    m_x.Click(window, buttonX, buttonY);
    const unsigned long access = WaitForAccess(run);
    ASSERT_NE(access, 0u);
    Type(m_x, "key9");
    m_x.Key("Return");
    WaitGone("请输入访问密码");
    int cx = 0, cy = 0;
    for (int i = 0; i < 40 && !Locate(window, "高三(2)班", cx, cy); ++i)
        usleep(50000);
    ASSERT_TRUE(Locate(window, "高三(2)班", cx, cy, "app-guarded-opened")) << "expanded";
    // Its context menu no longer asks.
    int cw = 0, ch = 0;
    const std::vector<unsigned> plain = m_x.CapturePainted(window, cw, ch);
    RightClick(window, ax + 10, ay + 5);
    EXPECT_EQ(WaitForAccess(run, 1500), 0u);
    std::vector<unsigned> shot = m_x.CapturePainted(window, cw, ch, "app-guarded-account-menu");
    EXPECT_TRUE(MenuShownBeside(plain, shot, cw, ch, ax + 10, ay + 5)) << "the account menu";
    m_x.Key("Escape");
    for (int i = 0; i < 40; ++i) {
        shot = m_x.CapturePainted(window, cw, ch);
        if (!MenuShownBeside(plain, shot, cw, ch, ax + 10, ay + 5))
            break;
        usleep(50000);
    }
    // A class item under it: the class menu, without asking.
    RightClick(window, cx + 10, cy + 5);
    EXPECT_EQ(WaitForAccess(run, 1500), 0u);
    shot = m_x.CapturePainted(window, cw, ch, "app-guarded-class-menu");
    EXPECT_TRUE(MenuShownBeside(plain, shot, cw, ch, cx + 10, cy + 5)) << "the class menu";
    m_x.Key("Escape");
    m_x.Close(window);
    EXPECT_EQ(run.Wait(), 0) << run.Output();
}

// Under a Chinese locale: a user name with "/" is refused by the dialog, the
// folder keeps the provider type name, and the account menu's "添加新帐号"
// refuses the same account again.
TEST_F(FirstRun, RefusalsAndTheFolderNameUnderAChineseLocale)
{
    ProgramRun run;
    unsigned long box = 0;
    const unsigned long window = StartAsked(run, "zh_CN.UTF-8", &box);
    ASSERT_NE(window, 0u) << run.Output();
    ClickBoxButton(m_x, box, true);
    const unsigned long dlg = WaitFor(run, "添加新帐号");
    ASSERT_NE(dlg, 0u) << run.Output();
    FillAddDialog("a/b", "demo");
    m_x.Key("Return");
    // The refusal comes over the dialog, which stays.
    const std::string title = tavrin::GbkToUtf8("添加新帐号");
    for (int i = 0; i < 200 && m_x.FindWindows(title).size() < 2; ++i)
        usleep(50000);
    ASSERT_EQ(m_x.FindWindows(title).size(), 2u) << "the box and the dialog";
    for (unsigned long w : m_x.FindWindows(title)) {
        if (w != dlg) {
            int bw = 0, bh = 0;
            m_x.CapturePainted(w, bw, bh, "app-add-account-slash-refused");
        }
    }
    m_x.Key("Return");
    for (int i = 0; i < 100 && m_x.FindWindows(title).size() > 1; ++i)
        usleep(50000);
    ASSERT_EQ(m_x.FindWindows(title).size(), 1u);
    EXPECT_TRUE(m_x.IsShown(dlg));
    // Back in the user name, whole text selected: a new name replaces it.
    Type(m_x, "demo");
    int dw = 0, dh = 0;
    std::vector<unsigned> shot = m_x.CapturePainted(dlg, dw, dh, "app-add-account-slash-corrected");
    EXPECT_FALSE(ShowsDialogText(shot, dw, dh, "a/b"));
    m_x.Key("Return");
    for (int i = 0; i < 100 && Shows("添加新帐号"); ++i)
        usleep(50000);
    EXPECT_FALSE(Shows("添加新帐号"));
    int ax = 0, ay = 0, cw = 0, ch = 0;
    shot = m_x.CapturePainted(window, cw, ch, "app-add-account-chinese");
    ASSERT_TRUE(ShowsLabel(shot, cw, ch, "demo@5460(电信用户)", false, &ax, &ay));

    // The same account again, from the account's menu.
    for (int i = 0; i < 400 && m_sim.Count("/gy5460/jsp/class/class.jsp") < 2; ++i)
        usleep(50000);
    const std::vector<unsigned> plain = m_x.CapturePainted(window, cw, ch);
    m_x.Click(window, ax + 10, ay + 5, 3);
    // The popup is a command-bar popup in the look of the bars: seen by the
    // pixels it changes beside the click, then a moment to settle.
    bool shown = false;
    for (int i = 0; i < 60 && !shown; ++i) {
        shot = m_x.CapturePainted(window, cw, ch);
        shown = MenuShownBeside(plain, shot, cw, ch, ax + 10, ay + 5);
        if (!shown)
            usleep(50000);
    }
    ASSERT_TRUE(shown) << "the account's menu";
    usleep(200000);
    m_x.Key("Down");
    m_x.Key("Return");
    const unsigned long again = WaitFor(run, "添加新帐号");
    ASSERT_NE(again, 0u);
    for (int i = 0; i < 3; ++i)
        m_x.Key("Down");
    m_x.Key("Tab");
    Type(m_x, "demo");
    m_x.Key("Tab");
    Type(m_x, "other");
    m_x.Key("Return");
    // The dialog closes and the refusal shows alone under the same title.
    unsigned long refusal = 0;
    for (int i = 0; i < 200 && !refusal; ++i) {
        const auto windows = m_x.FindWindows(title);
        if (windows.size() == 1 && windows[0] != again && m_x.IsShown(windows[0]))
            refusal = windows[0];
        else
            usleep(50000);
    }
    ASSERT_NE(refusal, 0u);
    int bw = 0, bh = 0;
    m_x.CapturePainted(refusal, bw, bh, "app-add-account-duplicate");
    m_x.Key("Return");
    for (int i = 0; i < 100 && Shows("添加新帐号"); ++i)
        usleep(50000);

    EXPECT_EQ(CloseWhenIdle(run, window), 0) << run.Output();
    // One account, its folder named with the provider type name; the proxy of the first OK.
    std::vector<std::string> folders;
    for (const auto& entry : std::filesystem::directory_iterator(Folder() / "accounts"))
        folders.push_back(entry.path().filename().string());
    EXPECT_EQ(folders, std::vector<std::string>{tavrin::GbkToUtf8("demo@5460(电信用户)")});
    EXPECT_TRUE(std::filesystem::exists(Folder() / "accounts" / folders[0] / "tavrin.xml"));
    EXPECT_EQ(m_folder.ConfigValue("host"), m_sim.ProxyHost());
    EXPECT_FALSE(std::filesystem::exists(Folder() / "a"));
}

} // namespace
