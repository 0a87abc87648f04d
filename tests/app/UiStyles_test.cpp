// The five style commands on a headless main frame: the stored name in
// key 0, the ticks, what each look installs and what Gnome keeps, and the
// stored look applied when the frame is made.
#include "app/GnomePaintManager.h"
#include "app/MainFrm.h"
#include "core/services/Config.h"
#include "platform/base/Path.h"
#include "platform/mfc/DocTemplate.h"
#include "platform/mfc/OleControl.h"
#include "platform/mfc/Resource.h"
#include "platform/mfc/WinApp.h"
#include "res/resource.h"
#include "tests/support/TempDir.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/controls/XTCaption.h"
#include "toolkit/controls/XTStatusBar.h"
#include "toolkit/controls/XTThemeManager.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const UINT kStyleIds[] = {ID_STYLE_DEFAULT, ID_STYLE_GNOME, ID_STYLE_OFFICE_XP, ID_STYLE_OFFICE_2003,
                          ID_STYLE_OFFICE_2000};

class StyleCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        tavrin::SetProgramFolder(tavrin::ProgramPath(m_dir.Path().string()));
        tavrin::ReloadConfig();
        AfxSetResourceHandle(::GetModuleHandle(nullptr));
        // As the application does at start: the browser panes host controls.
        AfxEnableControlContainer();
        ResetLooks();
    }
    void TearDown() override
    {
        CloseFrame();
        AfxSetResourceHandle(nullptr);
        tavrin::SetProgramFolder("");
        tavrin::ReloadConfig();
        ResetLooks();
    }
    static void ResetLooks()
    {
        CXTPPaintManager::SetCustomTheme(nullptr);
        XTGetThemeManager()->SetTheme(xtThemeDefault);
    }
    // The frame made as the program makes it, with key 0 stored first
    // (nullptr: the key absent).
    void Start(const char* lpszStored)
    {
        if (lpszStored)
            SetConfig(CFG_STYLE_CUR_STYLE, lpszStored);
        m_app.m_pMainWnd = nullptr;
        // As the application does before its frame: the panes hold browser controls.
        AfxEnableControlContainer();
        m_frame = new CMainFrame;
        CCreateContext context;
        ASSERT_TRUE(m_frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW, nullptr, &context));
        m_app.m_pMainWnd = m_frame;
        m_hwnd = m_frame->m_hWnd;
    }
    void CloseFrame()
    {
        if (::IsWindow(m_hwnd))
            ::DestroyWindow(m_hwnd);
        m_hwnd = nullptr;
        m_frame = nullptr;
        m_app.m_pMainWnd = nullptr;
    }
    // The style entries ticked as the menu would show them; none is ever disabled.
    std::vector<UINT> Ticked()
    {
        std::vector<UINT> ticked;
        for (UINT id : kStyleIds) {
            CTestCmdUI ui;
            ui.m_nID = id;
            ui.DoUpdate(m_frame, TRUE);
            EXPECT_TRUE(ui.m_bEnabled) << id;
            if (ui.m_bChecked)
                ticked.push_back(id);
        }
        return ticked;
    }
    void Command(UINT id) { m_frame->SendMessage(WM_COMMAND, id, 0); }
    // Null while the frame's status bar or caption is a plain control.
    CXTStatusBar* StatusBar() { return dynamic_cast<CXTStatusBar*>(&m_frame->m_wndStatusBar); }
    CXTCaption* Caption() { return dynamic_cast<CXTCaption*>(&m_frame->m_wndCaption); }

    tavrin::test::TempDir m_dir;
    CWinApp m_app;
    CMainFrame* m_frame = nullptr;
    HWND m_hwnd = nullptr;
};

} // namespace

TEST_F(StyleCommands, EachCommandStoresItsNameAndTicksOnlyItself)
{
    Start(nullptr);
    struct Case {
        UINT id;
        const char* stored;
        int paintTheme;
        int controlsTheme;
        BOOL statusThemed;
        DWORD buttonBits; // of the caption's close button, among 0x41
    };
    const Case cases[] = {
        {ID_STYLE_DEFAULT, "default", xtpThemeDefault, xtThemeOfficeXP, TRUE, 0x40},
        {ID_STYLE_OFFICE_2003, "Office 2003", xtpThemeOffice2003, xtThemeOffice2003, FALSE, 0x40},
        {ID_STYLE_OFFICE_XP, "Office XP", xtpThemeOfficeXP, xtThemeOfficeXP, TRUE, 0x40},
        {ID_STYLE_OFFICE_2000, "Office 2000", xtpThemeOffice2000, xtThemeOfficeXP, TRUE, 0x01},
        // Gnome changes the paint theme only: the rest stays as Office 2000 set it.
        {ID_STYLE_GNOME, "Gnome", xtpThemeCustom, xtThemeOfficeXP, TRUE, 0x01},
    };
    for (const Case& c : cases) {
        Command(c.id);
        EXPECT_EQ(GetConfig(CFG_STYLE_CUR_STYLE), c.stored) << c.id;
        EXPECT_EQ(Ticked(), std::vector<UINT>{c.id});
        CXTPPaintManager* pManager = XTPPaintManager();
        ASSERT_NE(pManager, nullptr) << c.id;
        EXPECT_EQ(pManager->GetCurrentTheme(), c.paintTheme) << c.id;
        EXPECT_EQ(dynamic_cast<CGnomePaintManager*>(pManager) != nullptr, c.id == ID_STYLE_GNOME) << c.id;
        EXPECT_TRUE(pManager->GetIconsInfo()->bUseDisabledIcons) << c.id;
        EXPECT_FALSE(pManager->GetIconsInfo()->bIconsWithShadow) << c.id;
        EXPECT_EQ(XTGetThemeManager()->GetTheme(), c.controlsTheme) << c.id;
        if (CXTStatusBar* pBar = StatusBar()) {
            EXPECT_EQ(pBar->IsThemedPaint(), c.statusThemed) << c.id;
        }
        if (CXTCaption* pCaption = Caption()) {
            EXPECT_EQ(pCaption->GetCaptionButton().GetXButtonStyle() & 0x41, c.buttonBits) << c.id;
        }
        // Written at once: a fresh read of the file agrees.
        tavrin::ReloadConfig();
        EXPECT_EQ(GetConfig(CFG_STYLE_CUR_STYLE), c.stored) << c.id;
    }
}

TEST_F(StyleCommands, GnomeAfterOffice2003KeepsTheControlsAndThePlainStatusBar)
{
    Start(nullptr);
    Command(ID_STYLE_OFFICE_2003);
    Command(ID_STYLE_GNOME);
    EXPECT_NE(dynamic_cast<CGnomePaintManager*>(XTPPaintManager()), nullptr);
    EXPECT_EQ(XTGetThemeManager()->GetTheme(), xtThemeOffice2003);
    if (CXTStatusBar* pBar = StatusBar()) {
        EXPECT_FALSE(pBar->IsThemedPaint()) << "the Gnome grip waits for another style";
    }
    Command(ID_STYLE_DEFAULT);
    EXPECT_EQ(XTGetThemeManager()->GetTheme(), xtThemeOfficeXP);
    if (CXTStatusBar* pBar = StatusBar()) {
        EXPECT_TRUE(pBar->IsThemedPaint());
    }
}

TEST_F(StyleCommands, TheStoredStyleIsAppliedWhenTheFrameIsMade)
{
    struct Case {
        const char* stored; // nullptr: key 0 absent
        int paintTheme;
        std::vector<UINT> ticked;
        int controlsTheme;
    };
    const Case cases[] = {
        {nullptr, xtpThemeOfficeXP, {ID_STYLE_OFFICE_XP}, xtThemeOfficeXP},
        {"Office XP", xtpThemeOfficeXP, {ID_STYLE_OFFICE_XP}, xtThemeOfficeXP},
        {"Office 2003", xtpThemeOffice2003, {ID_STYLE_OFFICE_2003}, xtThemeOffice2003},
        {"Office 2000", xtpThemeOffice2000, {ID_STYLE_OFFICE_2000}, xtThemeOfficeXP},
        {"default", xtpThemeDefault, {ID_STYLE_DEFAULT}, xtThemeOfficeXP},
        // Names are compared exactly: another case or text is the default look with no tick.
        {"office xp", xtpThemeDefault, {}, xtThemeOfficeXP},
        {"Gnome ", xtpThemeDefault, {}, xtThemeOfficeXP},
        {"默认", xtpThemeDefault, {}, xtThemeOfficeXP},
        // Gnome installs its paint manager and nothing else.
        {"Gnome", xtpThemeCustom, {ID_STYLE_GNOME}, xtThemeDefault},
    };
    for (const Case& c : cases) {
        const char* name = c.stored ? c.stored : "(absent)";
        ResetLooks();
        Start(c.stored);
        CXTPPaintManager* pManager = XTPPaintManager();
        ASSERT_NE(pManager, nullptr) << name;
        EXPECT_EQ(pManager->GetCurrentTheme(), c.paintTheme) << name;
        EXPECT_EQ(Ticked(), c.ticked) << name;
        EXPECT_EQ(XTGetThemeManager()->GetTheme(), c.controlsTheme) << name;
        const bool gnome = c.paintTheme == xtpThemeCustom;
        EXPECT_EQ(dynamic_cast<CGnomePaintManager*>(pManager) != nullptr, gnome) << name;
        // The frame sets the icon options once its bars exist, whatever the look.
        EXPECT_TRUE(pManager->GetIconsInfo()->bUseDisabledIcons) << name;
        EXPECT_FALSE(pManager->GetIconsInfo()->bIconsWithShadow) << name;
        // Start-up stores nothing.
        EXPECT_EQ(GetConfig(CFG_STYLE_CUR_STYLE), c.stored ? c.stored : "Office XP") << name;
        CloseFrame();
    }
}
