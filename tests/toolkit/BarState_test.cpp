// The bars' saved layout: the exact registry contents of a save, a restart
// on the same registry file, scaling to another screen, and stored layouts
// that are damaged or hostile.
#include "ToolkitTestSupport.h"

#include "tests/support/UserConfigScope.h"
#include "tests/toolkit/CommandBarTestSupport.h"
#include "tests/toolkit/ToolBarTestFrame.h"

#include "platform/mfc/StatusBar.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/Registry.h"
#include "platform/win/SystemMetrics.h"
#include "platform/win/SystemProfile.h"
#include "toolkit/commandbars/XTPCommandBarsOptions.h"
#include "toolkit/commandbars/XTPDockBar.h"
#include "toolkit/commandbars/XTPDockContext.h"
#include "toolkit/commandbars/XTPDockState.h"
#include "toolkit/commandbars/XTPToolBar.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

using tavrin::test::CToolBarTestFrame;
using tavrin::test::ScopedTestTheme;
using tavrin::test::ScopedToolBarResources;

namespace {

constexpr const char* kAppKey = "Software\\Tavrin\\TavrinApp";
constexpr const char* kPrefix = "TavrinCommandBars";

struct App : CWinApp {
    App() : CWinApp("TavrinApp") { SetRegistryKey("Tavrin"); }
};

// The values of one section: name to number (strings and blobs as -1).
using Section = std::map<std::string, int>;

// A frame with the program's bars: 128 and 176 docked at the top, 180 at
// the left; a status bar at the bottom.
class Frame {
public:
    Frame()
    {
        m_pFrame = new CToolBarTestFrame;
        EXPECT_TRUE(m_pFrame->Create(nullptr, "frame", WS_OVERLAPPEDWINDOW, CRect(0, 0, 700, 400)));
        EXPECT_TRUE(m_pFrame->InitCommandBars(RUNTIME_CLASS(CXTPCommandBars)));
        m_pStatus = new CStatusBar;
        EXPECT_TRUE(m_pStatus->Create(m_pFrame));
        m_pFrame->ShowWindow(SW_SHOWNA);
        Bars()->GetOptions()->bShowExpandButtonAlways = FALSE;
        m_pStandard = Add("标准", IDT_STANDARD, xtpBarTop);
        m_pSearch = Add("搜索", IDT_SEARCH, xtpBarTop);
        m_pSmall = Add("小", IDT_STANDARD16, xtpBarLeft);
        m_pFrame->RecalcLayout();
    }
    ~Frame()
    {
        if (::IsWindow(m_pFrame->m_hWnd))
            m_pFrame->DestroyWindow();
        delete m_pStatus;
        delete m_pFrame;
    }
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    CXTPCommandBars* Bars() const { return m_pFrame->GetCommandBars(); }
    CXTPDockBar* Dock(int n) const { return Bars()->GetDockBar(n); }
    // Bar ids of a dock bar's row array, 0 for a break.
    std::vector<UINT> Row(int n) const
    {
        std::vector<UINT> ids;
        for (CXTPToolBar* pBar : Dock(n)->GetRowArray())
            ids.push_back(pBar ? pBar->GetBarID() : 0);
        return ids;
    }
    CPoint TopLeft(CXTPToolBar* pBar) const
    {
        CRect rc;
        pBar->GetWindowRect(&rc);
        return rc.TopLeft();
    }
    void Float(CXTPToolBar* pBar, CPoint pt)
    {
        ASSERT_TRUE(pBar->SetPosition(xtpBarFloating));
        pBar->SetWindowPos(nullptr, pt.x, pt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    CToolBarTestFrame* m_pFrame = nullptr;
    CStatusBar* m_pStatus = nullptr;
    CXTPToolBar* m_pStandard = nullptr;
    CXTPToolBar* m_pSearch = nullptr;
    CXTPToolBar* m_pSmall = nullptr;

private:
    CXTPToolBar* Add(LPCTSTR lpszTitle, UINT nID, int nPosition)
    {
        CXTPToolBar* pBar = Bars()->Add(lpszTitle, nPosition);
        EXPECT_TRUE(pBar && pBar->LoadToolBar(nID));
        return pBar;
    }
};

class BarStateTest : public tavrin::test::ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        tavrin::win::SetScreenSize(1024, 768);
        m_config = std::make_unique<tavrin::test::UserConfigScope>();
        m_app = std::make_unique<App>();
        m_pResources = std::make_unique<ScopedToolBarResources>();
        m_pTheme = std::make_unique<ScopedTestTheme>();
    }
    void TearDown() override
    {
        m_pTheme.reset();
        m_pResources.reset();
        m_app.reset();
        m_config.reset();
        ToolkitTest::TearDown();
    }

    static std::string Name(const char* suffix) { return std::string(kPrefix) + suffix; }
    // Null when the section does not exist.
    static std::unique_ptr<Section> Read(const std::string& section)
    {
        HKEY key = nullptr;
        const std::string path = std::string(kAppKey) + "\\" + section;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return nullptr;
        auto values = std::make_unique<Section>();
        for (DWORD i = 0;; ++i) {
            char name[256];
            DWORD size = sizeof(name), type = 0, data = 0, dataSize = sizeof(data);
            if (RegEnumValueA(key, i, name, &size, nullptr, &type, reinterpret_cast<BYTE*>(&data), &dataSize) ==
                ERROR_NO_MORE_ITEMS)
                break;
            (*values)[std::string(name, size)] = type == REG_DWORD ? static_cast<int>(data) : -1;
        }
        RegCloseKey(key);
        return values;
    }
    static void Write(const std::string& section, const Section& values)
    {
        for (const auto& [name, value] : values)
            AfxGetApp()->WriteProfileInt(section.c_str(), name.c_str(), value);
    }
    static CRect Clip()
    {
        return CRect(0, 0, ::GetSystemMetrics(SM_CXSCREEN) - ::GetSystemMetrics(SM_CXICON),
                     ::GetSystemMetrics(SM_CYSCREEN) - ::GetSystemMetrics(SM_CYICON));
    }

    std::unique_ptr<tavrin::test::UserConfigScope> m_config;
    std::unique_ptr<App> m_app;
    std::unique_ptr<ScopedToolBarResources> m_pResources;
    std::unique_ptr<ScopedTestTheme> m_pTheme;
};

} // namespace

TEST_F(BarStateTest, SaveWritesOneSectionPerBarWithOnlyTheValuesThatDiffer)
{
    Frame frame;
    frame.m_pSearch->SetVisible(FALSE);
    frame.Float(frame.m_pSmall, CPoint(300, 200));
    frame.m_pFrame->RecalcLayout();
    frame.Bars()->SaveBarState(kPrefix);

    const Section summary{{"Bars", 3}, {"ScreenCX", 1024}, {"ScreenCY", 768}};
    ASSERT_TRUE(Read(Name("-Summary")));
    EXPECT_EQ(*Read(Name("-Summary")), summary);

    const CPoint pt = frame.TopLeft(frame.m_pStandard);
    CPoint ptDock = pt;
    frame.Dock(0)->ScreenToClient(&ptDock);
    // The visible docked bar: no "Visible", no "Floating", no dialog sizes.
    const Section standard{{"BarID", 128},
                           {"XPos", ptDock.x},
                           {"YPos", ptDock.y},
                           {"MRUDockID", 0},
                           {"MRUDockLeftPos", 0},
                           {"MRUDockTopPos", 0},
                           {"MRUDockRightPos", 0},
                           {"MRUDockBottomPos", 0},
                           {"MRUFloatXPos", 100},
                           {"MRUFloatYPos", 100},
                           {"DialogBar", 0}};
    ASSERT_TRUE(Read(Name("-Bar0")));
    EXPECT_EQ(*Read(Name("-Bar0")), standard);

    auto hidden = Read(Name("-Bar1"));
    ASSERT_TRUE(hidden);
    EXPECT_EQ(hidden->at("BarID"), 176);
    EXPECT_EQ(hidden->at("Visible"), 0);
    EXPECT_EQ(hidden->count("Floating"), 0u);

    auto floating = Read(Name("-Bar2"));
    ASSERT_TRUE(floating);
    EXPECT_EQ(floating->at("BarID"), 180);
    EXPECT_EQ(floating->at("Floating"), 1);
    EXPECT_EQ(floating->at("XPos"), 300);
    EXPECT_EQ(floating->at("YPos"), 200);
    EXPECT_EQ(floating->count("Visible"), 0u);
    EXPECT_EQ(floating->count("MRUWidth"), 0u) << "never set: 32767 is not written";

    // The top dock bar's rows; the others hold only their leading break.
    // Each bar the program added has a row of its own.
    const Section top{{"Bar#0", 0}, {"Bar#1", 128}, {"Bar#2", 0}, {"Bar#3", 176}, {"Bar#4", 0}, {"Bars", 5}};
    ASSERT_TRUE(Read(Name("-DockBar0")));
    EXPECT_EQ(*Read(Name("-DockBar0")), top);
    for (const char* empty : {"-DockBar1", "-DockBar2", "-DockBar3"}) {
        auto section = Read(Name(empty));
        EXPECT_TRUE(!section || section->empty()) << empty;
    }
    auto root = Read(kPrefix);
    EXPECT_TRUE(!root || root->count("StatusBar") == 0) << "the status bar is shown";
}

TEST_F(BarStateTest, DockBarRowsCollapseRunsOfBreaks)
{
    Frame frame;
    CXTPDockBar* pBottom = frame.Dock(xtpBarBottom);
    // [break, 128, break, break, 176, break], built entry by entry.
    pBottom->InsertRowEntry(1, frame.m_pSearch);
    pBottom->InsertRowEntry(2, nullptr);
    pBottom->InsertRowEntry(1, nullptr);
    pBottom->InsertRowEntry(1, nullptr);
    pBottom->InsertRowEntry(1, frame.m_pStandard);
    ASSERT_EQ(frame.Row(xtpBarBottom), (std::vector<UINT>{0, 128, 0, 0, 176, 0}));
    frame.Bars()->SaveBarState(kPrefix);
    const Section expected{{"Bar#0", 0}, {"Bar#1", 128}, {"Bar#2", 0}, {"Bar#3", 176}, {"Bar#4", 0}, {"Bars", 5}};
    ASSERT_TRUE(Read(Name("-DockBar1")));
    EXPECT_EQ(*Read(Name("-DockBar1")), expected);
    // The bars still belong to the top dock bar: take the extra entries away.
    pBottom->RemoveCommandBar(frame.m_pSearch);
    pBottom->RemoveCommandBar(frame.m_pStandard);
}

TEST_F(BarStateTest, StatusBarValueIsWrittenOnlyWhileItIsHidden)
{
    {
        Frame frame;
        frame.m_pFrame->ShowControlBar(frame.m_pStatus, FALSE, FALSE);
        frame.Bars()->SaveBarState(kPrefix);
        ASSERT_TRUE(Read(kPrefix));
        EXPECT_EQ(Read(kPrefix)->at("StatusBar"), 0);
    }
    {
        Frame frame;
        ASSERT_TRUE(frame.m_pStatus->IsVisible());
        frame.Bars()->LoadBarState(kPrefix);
        EXPECT_FALSE(frame.m_pStatus->IsVisible()) << "loaded hidden";
        frame.m_pFrame->ShowControlBar(frame.m_pStatus, TRUE, FALSE);
        frame.Bars()->SaveBarState(kPrefix);
        EXPECT_EQ(Read(kPrefix)->count("StatusBar"), 0u) << "deleted once shown";
    }
}

TEST_F(BarStateTest, ANewFrameOnTheSameFileGetsTheSameLayout)
{
    std::vector<UINT> top, left;
    CPoint ptFloat;
    {
        Frame frame;
        // 176 first, 128 on a row of its own below, 180 floating and hidden.
        CXTPDockBar* pTop = frame.Dock(xtpBarTop);
        pTop->RemoveCommandBar(frame.m_pStandard);
        frame.Bars()->DockCommandBar(frame.m_pStandard, xtpBarTop);
        frame.Float(frame.m_pSmall, CPoint(420, 260));
        frame.m_pSmall->SetVisible(FALSE);
        frame.m_pFrame->RecalcLayout();
        top = frame.Row(xtpBarTop);
        left = frame.Row(xtpBarLeft);
        ptFloat = frame.TopLeft(frame.m_pSmall);
        ASSERT_EQ(top, (std::vector<UINT>{0, 176, 0, 128, 0}));
        frame.m_pFrame->SaveCommandBars(kPrefix);
    }
    tavrin::win::ReloadRegistry(); // read back from the file
    Frame frame;
    ASSERT_NE(frame.Row(xtpBarTop), top) << "the program's own layout differs";
    frame.m_pFrame->LoadCommandBars(kPrefix);
    frame.m_pFrame->RecalcLayout();
    EXPECT_EQ(frame.Row(xtpBarTop), top);
    EXPECT_EQ(frame.Row(xtpBarLeft), left);
    EXPECT_EQ(frame.m_pSmall->GetPosition(), xtpBarFloating);
    EXPECT_FALSE(frame.m_pSmall->IsVisible());
    EXPECT_FALSE(frame.m_pSmall->IsWindowVisible());
    EXPECT_EQ(frame.TopLeft(frame.m_pSmall), ptFloat);
    EXPECT_EQ(frame.m_pStandard->GetDockBar(), frame.Dock(xtpBarTop));
    EXPECT_EQ(frame.m_pStandard->GetParent(), frame.Dock(xtpBarTop));
    EXPECT_FALSE(frame.Bars()->GetOptions()->bDirtyState);
}

TEST_F(BarStateTest, PositionsFollowTheScreenSizeAndStayWithinTheClipRectangle)
{
    struct Case {
        const char* what;
        SIZE saved;
        SIZE now;
        CPoint stored;
        CPoint expected; // -1: the clip rectangle's edge
    };
    const Case cases[] = {
        {"scaled up", {1024, 768}, {1280, 1024}, {512, 384}, {640, 512}},
        {"same size, past the right edge", {1024, 768}, {1024, 768}, {1010, 100}, {-1, 100}},
        {"same size, past the bottom edge", {1024, 768}, {1024, 768}, {100, 760}, {100, -1}},
        {"saved width 0: no scaling", {0, 768}, {1280, 1024}, {512, 384}, {512, 384}},
        {"left of the screen", {1024, 768}, {1024, 768}, {-5000, -20}, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        tavrin::win::SetScreenSize(c.now.cx, c.now.cy);
        Write(Name("-Summary"), {{"Bars", 1}, {"ScreenCX", c.saved.cx}, {"ScreenCY", c.saved.cy}});
        Write(Name("-Bar0"), {{"BarID", 180}, {"Floating", 1}, {"XPos", c.stored.x}, {"YPos", c.stored.y}});
        Frame frame;
        frame.Bars()->LoadBarState(kPrefix);
        const CPoint expected(c.expected.x == -1 ? Clip().right : c.expected.x,
                              c.expected.y == -1 ? Clip().bottom : c.expected.y);
        EXPECT_EQ(frame.m_pSmall->GetPosition(), xtpBarFloating);
        EXPECT_EQ(frame.TopLeft(frame.m_pSmall), expected);
    }
}

TEST_F(BarStateTest, ScaledDockRectangleMovesWithoutResizing)
{
    tavrin::win::SetScreenSize(1280, 1024);
    CXTPDockState state;
    state.m_sizeSaved = CSize(1024, 768);
    state.m_bScaling = TRUE;
    CRect rc(512, 384, 612, 414);
    state.ScaleRectPos(rc);
    EXPECT_EQ(rc, CRect(640, 512, 740, 542));
    state.m_bScaling = FALSE;
    CRect far(5000, 10, 5100, 40);
    state.ScaleRectPos(far);
    EXPECT_EQ(far, CRect(Clip().right, 10, Clip().right + 100, 40));
}

TEST_F(BarStateTest, DamagedLayoutsLoadHarmlessly)
{
    // The stored layout sections, then what the frame's bars show after loading.
    {
        SCOPED_TRACE("a bar count far beyond the stored records");
        Write(Name("-Summary"), {{"Bars", 100000}, {"ScreenCX", 1024}, {"ScreenCY", 768}});
        Write(Name("-Bar0"), {{"BarID", 128}});
        Write(Name("-Bar1"), {{"BarID", 176}, {"Visible", 0}});
        CXTPDockState state;
        state.LoadSummary(AfxGetApp(), kPrefix);
        EXPECT_EQ(state.m_arrBarInfo.size(), 2u) << "reading stops at the first missing record";
        Frame frame;
        frame.Bars()->LoadBarState(kPrefix);
        EXPECT_TRUE(frame.m_pStandard->IsVisible());
        EXPECT_FALSE(frame.m_pSearch->IsVisible());
    }
    {
        SCOPED_TRACE("one bar named twice in a dock bar, without the leading break");
        Write(Name("-DockBar0"), {{"Bar#0", 128}, {"Bar#1", 0}, {"Bar#2", 128}, {"Bars", 3}});
        Frame frame;
        frame.Bars()->LoadBarState(kPrefix);
        EXPECT_EQ(frame.Row(xtpBarTop), (std::vector<UINT>{0, 128, 176, 0}));
    }
    {
        SCOPED_TRACE("a bar named in two dock bars stays in the first");
        Write(Name("-DockBar0"), {{"Bar#0", 0}, {"Bar#1", 128}, {"Bar#2", 0}, {"Bars", 3}});
        Write(Name("-DockBar1"), {{"Bar#0", 0}, {"Bar#1", 128}, {"Bar#2", 0}, {"Bars", 3}});
        Frame frame;
        frame.Bars()->LoadBarState(kPrefix);
        EXPECT_EQ(frame.Row(xtpBarTop), (std::vector<UINT>{0, 128, 0, 176, 0}));
        EXPECT_EQ(frame.Row(xtpBarBottom), (std::vector<UINT>{0}));
        EXPECT_EQ(frame.m_pStandard->GetPosition(), xtpBarTop);
    }
    {
        SCOPED_TRACE("ids that name no bar, and a count beyond the stored entries");
        Write(Name("-DockBar0"), {{"Bar#0", 0}, {"Bar#1", 4242}, {"Bar#2", 0}, {"Bar#3", 176}, {"Bar#4", 0},
                                  {"Bar#5", 99}, {"Bars", 1000000}});
        Write(Name("-DockBar1"), {{"Bars", 0}});
        Frame frame;
        frame.Bars()->LoadBarState(kPrefix);
        EXPECT_EQ(frame.Row(xtpBarTop), (std::vector<UINT>{0, 176, 0, 128, 0}));
        EXPECT_EQ(frame.Row(xtpBarLeft), (std::vector<UINT>{0, 180, 0}));
    }
    {
        SCOPED_TRACE("a dock id outside the four dock bars");
        Write(Name("-Summary"), {{"Bars", 1}, {"ScreenCX", 1024}, {"ScreenCY", 768}});
        Write(Name("-Bar0"), {{"BarID", 180}, {"Floating", 1}, {"XPos", 50}, {"YPos", 60}, {"MRUDockID", 7}});
        Write(Name("-DockBar0"), {{"Bars", 0}});
        Frame frame;
        frame.Bars()->LoadBarState(kPrefix);
        ASSERT_EQ(frame.m_pSmall->GetPosition(), xtpBarFloating);
        EXPECT_EQ(frame.m_pSmall->GetDockContext()->m_uMRUDockPosition, 0);
        frame.m_pSmall->SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(1, 1));
        EXPECT_EQ(frame.m_pSmall->GetPosition(), xtpBarTop);
    }
}

TEST_F(BarStateTest, LoadedRowEntriesStayBetweenTheEndBreaks)
{
    Frame frame;
    CXTPDockBar* pRight = frame.Dock(xtpBarRight);
    struct Step {
        int nIndex;
        CXTPToolBar* pBar;
        std::vector<UINT> expected;
    };
    const Step steps[] = {
        {0, frame.m_pStandard, {0, 128}},       // never before the leading break
        {99, nullptr, {0, 128, 0}},             // never past the end
        {99, frame.m_pSearch, {0, 128, 176, 0}} // before the trailing break
    };
    for (const Step& step : steps) {
        pRight->InsertRowEntry(step.nIndex, step.pBar);
        EXPECT_EQ(frame.Row(xtpBarRight), step.expected);
    }
    pRight->InsertRowEntry(1, nullptr);
    pRight->InsertRowEntry(1, nullptr);
    pRight->CompactRows();
    EXPECT_EQ(frame.Row(xtpBarRight), (std::vector<UINT>{0, 128, 176, 0}));
    pRight->RemoveCommandBar(frame.m_pStandard);
    pRight->RemoveCommandBar(frame.m_pSearch);
}
