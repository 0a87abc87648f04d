// The bar window: buffered painting, command-update passes against the
// site's handlers, selection prompts, running a control, pressing a button
// with injected input, and the accessibility answers.
#include "tests/toolkit/CommandBarTestSupport.h"
#include "tests/toolkit/ToolkitTestSupport.h"

#include "platform/base/Sync.h"
#include "platform/mfc/Menu.h"
#include "platform/win/Capture.h"
#include "platform/win/Input.h"
#include "platform/win/Sound.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlButton.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPSoundManager.h"

#include <mutex>

using namespace tavrin;
using tavrin::test::ScopedTestTheme;
using tavrin::test::TestBar;
using tavrin::test::TestSite;

namespace {

class CommandBarTest : public test::ToolkitTest {};

// A frame with update and command handlers for a few ids.
class HandlerSite : public TestSite {
public:
    BOOL m_bEnable10 = FALSE;
    int m_nCheck10 = 1;
    int m_nToggled = 0;
    int m_nUpdates = 0;
    void OnUpdate10(CCmdUI* pCmdUI)
    {
        ++m_nUpdates;
        pCmdUI->Enable(m_bEnable10);
        pCmdUI->SetCheck(m_nCheck10);
    }
    void OnCommand11() {}
    void OnToggle() { m_nToggled ^= 1; }
    void OnUpdateToggle(CCmdUI* pCmdUI) { pCmdUI->SetCheck(m_nToggled); }
    void OnUpdateText(CCmdUI* pCmdUI) { pCmdUI->SetText("新文字\tF3"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(HandlerSite, TestSite)
ON_UPDATE_COMMAND_UI(10, OnUpdate10)
ON_COMMAND(11, OnCommand11)
ON_COMMAND(14, OnToggle)
ON_UPDATE_COMMAND_UI(14, OnUpdateToggle)
ON_UPDATE_COMMAND_UI(15, OnUpdateText)
END_MESSAGE_MAP()

// A site, a manager and a bar of buttons 10.. laid out in one row.
struct BarFixture {
    ScopedTestTheme theme;
    HandlerSite site;
    CXTPCommandBars* pCommandBars = new CXTPCommandBars;
    TestBar* pBar = new TestBar;

    explicit BarFixture(int nButtons = 6)
    {
        pCommandBars->SetSite(&site);
        pBar->SetCommandBars(pCommandBars);
        pBar->CreateIn(&site, CRect(0, 0, 300, 30));
        for (int i = 0; i < nButtons; ++i)
            pBar->GetControls()->Add(xtpControlButton, 10 + i)->SetCaption("按钮");
        pBar->OnRecalcLayout();
    }
    ~BarFixture()
    {
        pBar->InternalRelease();
        pCommandBars->InternalRelease();
    }
    CXTPControl* Control(int i) const { return pBar->GetControl(i); }
    // The control's centre in screen coordinates.
    CPoint Screen(int i, CPoint offset = CPoint(0, 0)) const
    {
        CPoint pt = Control(i)->GetRect().CenterPoint() + offset;
        pBar->ClientToScreen(&pt);
        return pt;
    }
};

// Records the sounds asked for.
class RecordingPlayer : public win::SoundPlayer {
public:
    bool Play(const win::SoundRequest& request) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_played.push_back(request.name);
        return true;
    }
    std::vector<std::string> Played()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_played;
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_played;
};

} // namespace

TEST_F(CommandBarTest, PaintingEqualsPrinting)
{
    BarFixture f;
    f.Control(1)->SetChecked(1);
    f.Control(2)->SetEnabled(FALSE);
    f.pBar->SetSelected(3);
    f.pBar->UpdateWindow();
    const int nDrawn = f.theme->m_nDrawn;
    f.pBar->Invalidate(FALSE);
    f.pBar->UpdateWindow();
    EXPECT_EQ(f.theme->m_nDrawn - nDrawn, 6) << "every control drawn once";

    CRect rc;
    f.pBar->GetClientRect(&rc);
    test::Canvas printed(rc.Width(), rc.Height());
    f.pBar->SendMessage(WM_PRINT, reinterpret_cast<WPARAM>(printed.DC()->m_hDC), PRF_CLIENT);
    CDC* pWindowDC = f.pBar->GetDC();
    int nDiffer = 0;
    for (int y = 0; y < rc.Height(); ++y)
        for (int x = 0; x < rc.Width(); ++x)
            nDiffer += pWindowDC->GetPixel(x, y) != printed.At(x, y);
    f.pBar->ReleaseDC(pWindowDC);
    EXPECT_EQ(nDiffer, 0);
    EXPECT_EQ(printed.At(0, 0), test::kBarFill);
    struct Pixel {
        int control;
        COLORREF clr;
    } pixels[] = {{0, test::kControlFill},
                  {1, test::kCheckedFill},
                  {2, test::kDisabledFill},
                  {3, test::kSelectedFill}};
    for (const Pixel& p : pixels) {
        const CPoint pt = f.Control(p.control)->GetRect().CenterPoint();
        EXPECT_EQ(printed.At(pt.x, pt.y), p.clr) << p.control;
    }
    // Hidden controls are not drawn.
    f.Control(4)->SetHideFlags(xtpHideGeneric);
    const CPoint hidden = f.Control(4)->GetRect().CenterPoint();
    test::Canvas again(rc.Width(), rc.Height());
    f.pBar->SendMessage(WM_PRINT, reinterpret_cast<WPARAM>(again.DC()->m_hDC), PRF_CLIENT);
    EXPECT_EQ(again.At(hidden.x, hidden.y), test::kBarFill);
}

TEST_F(CommandBarTest, UpdatePassFromTheSitesHandlers)
{
    BarFixture f;
    f.Control(3)->SetFlags(xtpFlagManualUpdate);
    f.Control(3)->SetEnabled(FALSE);
    f.Control(3)->SetChecked(1);

    struct Row {
        int index;
        BOOL disableIfNoHandler;
        BOOL enabled;
        int checked;
        const char* why;
    } rows[] = {
        {0, TRUE, FALSE, 1, "the handler disables and checks"},
        {1, TRUE, TRUE, 0, "a command handler keeps it enabled"},
        {2, TRUE, FALSE, 0, "no handler with the disable flag"},
        {3, TRUE, FALSE, 1, "manual update keeps what the program set"},
    };
    f.pBar->OnUpdateCmdUI(TRUE);
    for (const Row& r : rows) {
        EXPECT_EQ(f.Control(r.index)->GetEnabled(), r.enabled) << r.why;
        EXPECT_EQ(f.Control(r.index)->GetChecked(), r.checked) << r.why;
    }
    EXPECT_EQ(f.site.m_nUpdates, 1);
    // Without the disable flag a control without a handler is left alone.
    f.Control(2)->SetEnabled(TRUE);
    f.pBar->OnUpdateCmdUI(FALSE);
    EXPECT_TRUE(f.Control(2)->GetEnabled());
    // Text updates set the caption.
    f.pBar->OnUpdateCmdUI(FALSE);
    EXPECT_STREQ(f.Control(5)->GetCaption(), "新文字");
    EXPECT_STREQ(f.Control(5)->GetAutoShortcutText(), "F3");

    // The idle message runs the pass with its disable flag.
    f.site.m_bEnable10 = TRUE;
    f.pBar->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
    EXPECT_TRUE(f.Control(0)->GetEnabled());
    // TPM_NONOTIFY at the root: nothing is asked.
    const int nUpdates = f.site.m_nUpdates;
    f.pBar->SetNoNotify(TRUE);
    f.site.m_bEnable10 = FALSE;
    f.pBar->OnUpdateCmdUI(TRUE);
    EXPECT_EQ(f.site.m_nUpdates, nUpdates);
    EXPECT_TRUE(f.Control(0)->GetEnabled());
    // A hidden bar is not updated.
    f.pBar->SetNoNotify(FALSE);
    f.pBar->ShowWindow(SW_HIDE);
    f.pBar->OnUpdateCmdUI(TRUE);
    EXPECT_EQ(f.site.m_nUpdates, nUpdates);
}

TEST_F(CommandBarTest, PendingWorkGivesOneLayoutAndOneRedraw)
{
    BarFixture f;
    f.pBar->OnUpdateCmdUI(TRUE);
    f.pBar->ValidateRect(nullptr);
    const int nLayouts = f.pBar->m_nLayouts;

    // Several changes in a row.
    f.Control(0)->SetCaption("一");
    f.Control(1)->SetCaption("二");
    f.Control(2)->SetBeginGroup(TRUE);
    f.Control(4)->SetEnabled(FALSE);
    f.Control(5)->SetPressed(2);
    EXPECT_EQ(f.pBar->GetPendingFlags(), static_cast<DWORD>(XTP_PENDING_LAYOUT | XTP_PENDING_REDRAW));
    CRect rcUpdate;
    EXPECT_FALSE(f.pBar->GetUpdateRect(&rcUpdate)) << "nothing is drawn before the pass";
    f.pBar->OnUpdateCmdUI(FALSE);
    EXPECT_EQ(f.pBar->m_nLayouts, nLayouts + 1);
    EXPECT_TRUE(f.pBar->GetUpdateRect(&rcUpdate));
    EXPECT_EQ(f.pBar->GetPendingFlags(), 0u);
    EXPECT_EQ(f.Control(5)->GetPressed(), 0) << "the pressed look ends with the pass";

    f.pBar->ValidateRect(nullptr);
    f.pBar->OnUpdateCmdUI(FALSE);
    EXPECT_EQ(f.pBar->m_nLayouts, nLayouts + 1) << "nothing pending, nothing done";
    EXPECT_FALSE(f.pBar->GetUpdateRect(&rcUpdate));

    // Redraws wait for the last unlock.
    f.pBar->LockRedraw();
    f.pBar->Redraw();
    EXPECT_FALSE(f.pBar->GetUpdateRect(&rcUpdate));
    f.pBar->UnlockRedraw();
    EXPECT_TRUE(f.pBar->GetUpdateRect(&rcUpdate));
}

TEST_F(CommandBarTest, SelectionPromptsOnTheSite)
{
    BarFixture f;
    f.Control(1)->SetDescription("打开一个文件");
    f.site.Clear();
    f.pBar->SetSelected(1);
    ASSERT_EQ(f.site.m_messages.size(), 2u);
    EXPECT_EQ(f.site.m_messages[0].message, static_cast<UINT>(WM_SETMESSAGESTRING));
    EXPECT_STREQ(f.site.m_messages[0].text, "打开一个文件");
    EXPECT_EQ(f.site.m_messages[1].message, static_cast<UINT>(WM_CONTROL_SELECTED));
    EXPECT_EQ(f.site.m_messages[1].wParam, reinterpret_cast<WPARAM>(f.Control(1)));
    // The selection redraws the bar at once.
    CRect rcUpdate;
    EXPECT_TRUE(f.pBar->GetUpdateRect(&rcUpdate));
    EXPECT_EQ(f.pBar->GetPendingFlags() & XTP_PENDING_REDRAW, 0u);

    f.site.Clear();
    f.pBar->SetSelected(2); // no description
    std::vector<UINT> messages;
    for (const auto& m : f.site.m_messages)
        messages.push_back(m.message);
    EXPECT_EQ(messages, (std::vector<UINT>{WM_POPMESSAGESTRING, WM_CONTROL_SELECTED, WM_POPMESSAGESTRING,
                                           WM_CONTROL_SELECTED}))
        << "the old one deselected, the new one selected";
    EXPECT_EQ(f.site.m_messages[0].wParam, 0xE001u);
    EXPECT_EQ(f.site.m_messages[1].wParam, 0u);
    EXPECT_EQ(f.site.m_messages[3].wParam, reinterpret_cast<WPARAM>(f.Control(2)));

    f.site.Clear();
    f.pBar->SetSelected(-1);
    EXPECT_EQ(f.site.Messages(WM_CONTROL_SELECTED), std::vector<UINT>{0});
    EXPECT_FALSE(f.pBar->SetSelected(99)) << "an index outside the controls";
    EXPECT_EQ(f.pBar->GetSelectedIndex(), -1);
}

TEST_F(CommandBarTest, RunningAControl)
{
    BarFixture f;
    RecordingPlayer player;
    win::SetSoundPlayer(&player);
    XTPSoundManager()->EnableSystemSounds(TRUE);

    // Code 100 first; WM_COMMAND only when it is not handled.
    std::vector<std::pair<UINT, UINT>> notified; // id, code
    LRESULT nAnswer = 0;
    f.site.m_handler = [&](UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
        if (message != WM_BAR_CONTROL_NOTIFY)
            return false;
        auto* info = reinterpret_cast<BarControlNotifyInfo*>(lParam);
        notified.push_back({static_cast<UINT>(info->hdr.idFrom), info->hdr.code});
        EXPECT_EQ(info->hdr.hwndFrom, nullptr);
        EXPECT_EQ(info->pControl->GetID(), static_cast<int>(info->hdr.idFrom));
        *result = nAnswer;
        return true;
    };
    f.Control(1)->OnExecute();
    EXPECT_EQ(notified, (std::vector<std::pair<UINT, UINT>>{{11, 100}}));
    EXPECT_EQ(f.site.Messages(WM_COMMAND), std::vector<UINT>{11});
    EXPECT_EQ(f.Control(1)->GetPressed(), 2);
    f.site.Clear();
    nAnswer = 1;
    f.Control(1)->OnExecute();
    EXPECT_TRUE(f.site.Messages(WM_COMMAND).empty()) << "the notification was handled";

    // A button chosen by keyboard runs at once.
    f.site.Clear();
    nAnswer = 0;
    f.Control(4)->OnClick(TRUE);
    EXPECT_EQ(f.site.Messages(WM_COMMAND), std::vector<UINT>{14});

    // Id 0 sends nothing.
    f.site.Clear();
    CXTPControl* pZero = f.pBar->GetControls()->Add(xtpControlButton, 0);
    pZero->OnExecute();
    EXPECT_TRUE(f.site.m_messages.empty());

    // A return-command pointer gets the id; nothing is sent.
    UINT nReturned = 0;
    f.pBar->SetReturnCmd(&nReturned);
    f.pBar->SetTrackingMode(1);
    f.Control(2)->OnExecute();
    EXPECT_EQ(nReturned, 12u);
    // Only the selection's prompts reach the site.
    EXPECT_TRUE(f.site.Messages(WM_BAR_CONTROL_NOTIFY).empty());
    EXPECT_TRUE(f.site.Messages(WM_COMMAND).empty());
    EXPECT_EQ(f.pBar->GetTrackingMode(), 0) << "tracking ended";
    f.pBar->SetReturnCmd(nullptr);

    // Commands go to the root's command target when one is set.
    TestSite other;
    f.pBar->SetCommandTarget(&other);
    f.Control(3)->OnExecute();
    EXPECT_EQ(other.Messages(WM_COMMAND), std::vector<UINT>{13});
    EXPECT_TRUE(f.site.Messages(WM_COMMAND).empty());
    f.pBar->SetCommandTarget(nullptr);

    // The menu sound was asked for.
    bool bPlayed = false;
    for (int i = 0; i < 500 && !bPlayed; ++i) {
        for (const std::string& s : player.Played())
            bPlayed = bPlayed || s == "menu-click"; // the desktop's event for MenuCommand
        if (!bPlayed)
            ::Sleep(2);
    }
    EXPECT_TRUE(bPlayed);
    XTPSoundManager()->StopThread();
    win::SetSoundPlayer(nullptr);
}

TEST_F(CommandBarTest, WithoutClosingTheMenuTheBarUpdatesAndStays)
{
    BarFixture f;
    f.site.m_handler = nullptr;
    CXTPControl* pToggle = f.Control(4);
    f.pBar->SetTrackingMode(1);
    pToggle->SetCloseSubMenuOnClick(FALSE);
    f.pBar->ValidateRect(nullptr);
    pToggle->OnExecute();
    EXPECT_EQ(f.site.m_nToggled, 1);
    EXPECT_EQ(pToggle->GetChecked(), 1) << "the update pass ran at once";
    EXPECT_EQ(f.pBar->GetTrackingMode(), 1) << "the menu stays";
    CRect rcUpdate;
    EXPECT_TRUE(f.pBar->GetUpdateRect(&rcUpdate));

    pToggle->SetCloseSubMenuOnClick(TRUE);
    pToggle->OnExecute();
    EXPECT_EQ(f.site.m_nToggled, 0);
    EXPECT_EQ(f.pBar->GetTrackingMode(), 0);
}

namespace {

// Runs the queued messages; the first button press enters the press loop.
void PumpInput()
{
    test::PumpMessages();
}

} // namespace

TEST_F(CommandBarTest, PressingAButtonWithInjectedInput)
{
    struct Case {
        const char* what;
        std::vector<CPoint> moves; // offsets from the centre while held
        CPoint release;
        int runs;
    } cases[] = {
        {"press, release inside", {}, CPoint(0, 0), 1},
        {"press, release outside", {CPoint(0, 60)}, CPoint(0, 60), 0},
        {"press, move out, back in, release", {CPoint(0, 60), CPoint(3, 2)}, CPoint(3, 2), 1},
        {"press, move to the next button, release", {CPoint(40, 0)}, CPoint(40, 0), 0},
    };
    for (const Case& c : cases) {
        BarFixture f;
        f.site.Clear();
        const CPoint centre = f.Screen(1);
        win::InjectMouseMove(centre.x, centre.y);
        win::InjectMouseButton(win::MouseButton::Left, true);
        for (const CPoint& m : c.moves)
            win::InjectMouseMove(centre.x + m.x, centre.y + m.y);
        win::InjectMouseMove(centre.x + c.release.x, centre.y + c.release.y);
        win::InjectMouseButton(win::MouseButton::Left, false);
        PumpInput();
        EXPECT_EQ(f.site.Messages(WM_COMMAND).size(), static_cast<size_t>(c.runs)) << c.what;
        EXPECT_EQ(::GetCapture(), nullptr) << c.what;
        EXPECT_EQ(f.Control(1)->GetSelected(), 0) << c.what;
        EXPECT_EQ(f.pBar->GetSelectedIndex(), -1) << c.what;
        EXPECT_EQ(f.Control(1)->GetPressed(), c.runs ? 2 : 0) << c.what;
    }
}

TEST_F(CommandBarTest, APressEndsOnQuitOrALostCapture)
{
    {
        BarFixture f;
        f.site.Clear();
        const CPoint centre = f.Screen(0);
        win::InjectMouseMove(centre.x, centre.y);
        win::InjectMouseButton(win::MouseButton::Left, true);
        ::PostQuitMessage(7);
        MSG msg;
        ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
        ::DispatchMessageA(&msg);
        EXPECT_TRUE(f.site.Messages(WM_COMMAND).empty());
        EXPECT_EQ(::GetCapture(), nullptr);
        EXPECT_EQ(f.Control(0)->GetPressed(), 0);
        ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit is still queued";
        EXPECT_EQ(msg.wParam, 7u);
        win::InjectMouseButton(win::MouseButton::Left, false);
        PumpInput();
        EXPECT_TRUE(f.site.Messages(WM_COMMAND).empty()) << "the later release runs nothing";
    }
    {
        BarFixture f;
        TestSite thief;
        thief.MoveWindow(500, 400, 100, 100); // not over the bar
        f.site.Clear();
        f.site.m_handler = [&](UINT message, WPARAM, LPARAM, LRESULT*) {
            if (message == WM_APP)
                thief.SetCapture();
            return false;
        };
        const CPoint centre = f.Screen(0);
        win::InjectMouseMove(centre.x, centre.y);
        win::InjectMouseButton(win::MouseButton::Left, true);
        f.site.PostMessage(WM_APP);
        MSG msg;
        ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
        ::DispatchMessageA(&msg);
        EXPECT_EQ(::GetCapture(), thief.m_hWnd) << "the loop ended and left the capture alone";
        ::ReleaseCapture();
        win::InjectMouseButton(win::MouseButton::Left, false);
        PumpInput();
        EXPECT_TRUE(f.site.Messages(WM_COMMAND).empty());
        EXPECT_EQ(f.Control(0)->GetPressed(), 0);
    }
}

TEST_F(CommandBarTest, BarsFindTheirManagersAndSites)
{
    BarFixture f;
    EXPECT_EQ(f.pBar->GetCommandBars(), f.pCommandBars);
    EXPECT_EQ(f.pBar->GetSite(), &f.site);
    EXPECT_EQ(f.pBar->GetCommandTarget(), &f.site);
    EXPECT_EQ(f.pBar->GetFrameSite(), &f.site);
    EXPECT_EQ(f.pBar->GetPaintManager(), XTPPaintManager());
    EXPECT_EQ(f.pBar->GetRootParent(), f.pBar);
    EXPECT_FALSE(f.pBar->IsCustomizeMode());
    f.pCommandBars->SetCustomizeMode(TRUE);
    EXPECT_TRUE(f.Control(0)->IsCustomizeMode());
    f.pCommandBars->SetCustomizeMode(FALSE);

    // A popup of a popup finds the manager through its parent.
    CXTPControl* pPopup = f.pBar->GetControls()->Add(xtpControlPopup, 0);
    auto* pSub = static_cast<CXTPPopupBar*>(pPopup->GetCommandBar());
    pSub->SetCommandBars(nullptr);
    EXPECT_EQ(pSub->GetCommandBars(), nullptr) << "not opened yet";
    pSub->SetControlPopup(static_cast<CXTPControlPopup*>(pPopup));
    EXPECT_EQ(pSub->GetParentCommandBar(), f.pBar);
    EXPECT_EQ(pSub->GetCommandBars(), f.pCommandBars);
    EXPECT_EQ(pSub->GetRootParent(), f.pBar);

    // A bar of its own paint manager; the root's otherwise.
    auto* pOwn = new test::TestPaintManager;
    f.pBar->SetPaintManager(pOwn);
    f.pBar->SetCommandBars(nullptr);
    EXPECT_EQ(f.pBar->GetPaintManager(), pOwn);
    EXPECT_EQ(pSub->GetPaintManager(), pOwn);
    EXPECT_EQ(pPopup->GetPaintManager(), pOwn);
    f.pBar->SetPaintManager(nullptr);

    // Without a manager: the owner, else the parent window.
    EXPECT_EQ(f.pBar->GetSite(), &f.site) << "the parent window";
    TestSite owner;
    f.pBar->SetOwner(&owner);
    EXPECT_EQ(pSub->GetSite(), &owner) << "the root's owner";
    f.pBar->SetOwner(nullptr);
    f.pBar->SetCommandBars(f.pCommandBars);
}

TEST_F(CommandBarTest, AccessibilityAnswers)
{
    BarFixture f(3);
    f.Control(1)->SetCaption("打开(&O)");
    f.pBar->SetSelected(1);
    EXPECT_EQ(f.pBar->SendMessage(WM_GETOBJECT, 0, -4), 0) << "no accessibility server";
    EXPECT_EQ(f.pBar->GetAccessibleChildCount(), 3);
    EXPECT_EQ(f.pBar->GetAccessibleRole(0), 0);
    EXPECT_EQ(f.pBar->GetAccessibleRole(1), 12);
    EXPECT_EQ(f.pBar->GetAccessibleRole(4), 0);
    EXPECT_EQ(f.pBar->GetAccessibleState(1), 0x300000);
    EXPECT_EQ(f.pBar->GetAccessibleState(2), 0x300006);
    EXPECT_EQ(f.pBar->GetAccessibleState(9), 0);
    EXPECT_EQ(f.pBar->GetAccessibleName(2), L"打开(&O)");
    EXPECT_EQ(f.pBar->GetAccessibleName(0), L"");
    CRect rc;
    ASSERT_TRUE(f.pBar->GetAccessibleLocation(2, rc));
    CRect expected = f.Control(1)->GetRect();
    f.pBar->ClientToScreen(&expected);
    EXPECT_EQ(rc, expected);
    ASSERT_TRUE(f.pBar->GetAccessibleLocation(0, rc));
    CRect rcWindow;
    f.pBar->GetWindowRect(&rcWindow);
    EXPECT_EQ(rc, rcWindow);
    EXPECT_FALSE(f.pBar->GetAccessibleLocation(7, rc));
}

TEST_F(CommandBarTest, CopyAndClone)
{
    BarFixture f(2);
    f.pBar->SetTitle("标准");
    f.pBar->SetBarID(128);
    f.pBar->SetFlags(0x3F);
    f.pBar->SetBarStyle(CBRS_GRIPPER);
    f.pBar->SetWidth(200);
    f.pBar->GetControls()->Add(xtpControlButton, 99, nullptr, -1, TRUE);
    CXTPCommandBar* pClone = f.pBar->Clone(TRUE);
    ASSERT_TRUE(pClone->IsKindOf(RUNTIME_CLASS(TestBar)));
    EXPECT_STREQ(pClone->GetTitle(), "标准");
    EXPECT_EQ(pClone->GetBarID(), 128u);
    EXPECT_EQ(pClone->GetFlags(), 0x3Fu);
    EXPECT_EQ(pClone->GetBarStyle(), static_cast<DWORD>(CBRS_GRIPPER));
    EXPECT_EQ(pClone->GetMRUWidth(), 200);
    EXPECT_EQ(pClone->GetPosition(), xtpBarTop);
    EXPECT_EQ(pClone->GetCommandBars(), f.pCommandBars);
    EXPECT_EQ(pClone->GetControlCount(), 2) << "without the temporary control";
    EXPECT_EQ(pClone->GetControl(0)->GetParent(), pClone);
    pClone->InternalRelease();
}

namespace {

// A manager of a multiple-document site: its active menu resource is 128.
class TemplateCommandBars : public CXTPCommandBars {
public:
    UINT GetActiveMenuResource() override { return m_nResource; }
    UINT m_nResource = 128;
};

} // namespace

TEST_F(CommandBarTest, DocumentTemplatesHideControls)
{
    BarFixture f(4);
    auto* pTemplates = new TemplateCommandBars;
    pTemplates->SetSite(&f.site);
    f.pBar->SetCommandBars(pTemplates);
    f.Control(0)->GetAssignedTemplates().SetAt(128, TRUE);
    f.Control(1)->GetAssignedTemplates().SetAt(129, TRUE);
    f.Control(2)->GetExcludedTemplates().SetAt(128, TRUE);
    f.Control(3)->GetExcludedTemplates().SetAt(129, TRUE);
    const int nLayouts = f.pBar->m_nLayouts;
    f.pBar->OnUpdateCmdUI(TRUE);
    const DWORD expected[] = {0, xtpHideDocTemplate, xtpHideDocTemplate, 0};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(f.Control(i)->GetHideFlags(), expected[i]) << i;
    EXPECT_EQ(f.pBar->m_nLayouts, nLayouts + 1) << "a change lays the bar out";
    pTemplates->m_nResource = 129;
    f.pBar->OnUpdateCmdUI(TRUE);
    const DWORD after[] = {xtpHideDocTemplate, 0, 0, xtpHideDocTemplate};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(f.Control(i)->GetHideFlags(), after[i]) << i;
    f.pBar->SetCommandBars(f.pCommandBars);
    pTemplates->InternalRelease();
}

TEST_F(CommandBarTest, LoadingAMenuAsksTheFrameForAnUpdate)
{
    BarFixture f(0);
    f.site.m_nIdleFlags = 0;
    CMenu menu;
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING, 40, "项");
    ASSERT_TRUE(f.pBar->LoadMenu(&menu));
    EXPECT_EQ(f.site.m_nIdleFlags & (CFrameWnd::idleNotify | CFrameWnd::idleLayout),
              static_cast<UINT>(CFrameWnd::idleNotify | CFrameWnd::idleLayout));
    EXPECT_EQ(f.pBar->GetControlCount(), 1);
}

TEST_F(CommandBarTest, HelpHitTests)
{
    BarFixture f(2);
    f.pBar->GetControls()->Add(xtpControlButton, 0);
    f.pBar->OnRecalcLayout();
    auto at = [&](int i) {
        const CPoint pt = f.Control(i)->GetRect().CenterPoint();
        return f.pBar->SendMessage(WM_HELPHITTEST, 0, MAKELPARAM(pt.x, pt.y));
    };
    EXPECT_EQ(at(1), 0x10000 + 11);
    EXPECT_EQ(at(2), 0) << "a control without an id";
    EXPECT_EQ(f.pBar->SendMessage(WM_HELPHITTEST, 0, MAKELPARAM(299, 29)), 0x50000 + 100) << "the bar's own id";
}

namespace {

// A popup item that notes its presses instead of opening.
class PressedPopup : public CXTPControlPopup {
public:
    std::vector<CPoint> m_presses;
    void OnClick(BOOL, CPoint pt) override { m_presses.push_back(pt); }
};

} // namespace

TEST_F(CommandBarTest, InContextHelpModeAPopupWithoutAnIdIsAMenuArea)
{
    BarFixture f(1);
    auto* pPopup = new PressedPopup;
    pPopup->SetType(xtpControlPopup);
    f.pBar->GetControls()->Add(pPopup, 0);
    f.pBar->OnRecalcLayout();
    const LPARAM onPopup = MAKELPARAM(f.Screen(1).x, f.Screen(1).y);
    const LPARAM onButton = MAKELPARAM(f.Screen(0).x, f.Screen(0).y);
    EXPECT_EQ(f.pBar->SendMessage(WM_NCHITTEST, 0, onPopup), HTCLIENT) << "outside help mode";
    f.pBar->SendMessage(WM_NCLBUTTONDOWN, HTCLIENT, onPopup);
    EXPECT_TRUE(pPopup->m_presses.empty());

    f.site.m_bHelpMode = TRUE;
    EXPECT_EQ(f.pBar->SendMessage(WM_NCHITTEST, 0, onPopup), HTMENU);
    EXPECT_EQ(f.pBar->SendMessage(WM_NCHITTEST, 0, onButton), HTCLIENT);
    f.pBar->SendMessage(WM_NCLBUTTONDOWN, HTMENU, onPopup);
    ASSERT_EQ(pPopup->m_presses.size(), 1u);
    EXPECT_EQ(pPopup->m_presses[0], pPopup->GetRect().CenterPoint()) << "at the point in the bar";
    f.site.m_bHelpMode = FALSE;
}

TEST_F(CommandBarTest, AHandlerMayRemoveTheRunningControlOrCloseTheBar)
{
    BarFixture f(3);
    CXTPControl* pRunning = f.Control(1);
    pRunning->SetCloseSubMenuOnClick(FALSE);
    f.site.m_handler = [&](UINT message, WPARAM wParam, LPARAM, LRESULT*) {
        if (message == WM_COMMAND && wParam == 11)
            f.pBar->GetControls()->Remove(pRunning);
        if (message == WM_COMMAND && wParam == 12)
            f.pBar->DestroyWindow();
        return false;
    };
    pRunning->OnExecute();
    EXPECT_EQ(f.pBar->GetControlCount(), 2);
    EXPECT_EQ(f.site.Messages(WM_COMMAND), std::vector<UINT>{11});

    // A command that closes the bar it was chosen on.
    const CPoint centre = f.Screen(1);
    win::InjectMouseMove(centre.x, centre.y);
    win::InjectMouseButton(win::MouseButton::Left, true);
    win::InjectMouseButton(win::MouseButton::Left, false);
    PumpInput();
    EXPECT_EQ(f.site.Messages(WM_COMMAND), (std::vector<UINT>{11, 12}));
    EXPECT_FALSE(::IsWindow(f.pBar->m_hWnd));
    EXPECT_EQ(::GetCapture(), nullptr);
}
