// The user's docking drag: moving a toolbar along its row, out to float and
// onto other dock bars, Escape, the remembered dock place, double clicks,
// sizing a floating toolbar, and the modal loop giving up on WM_QUIT and on a
// lost capture; tearing a popup off into a floating toolbar; and the dialog
// bar's caption, edges and sizes. Input goes through the same injection path
// as real input.
#include "ToolkitTestSupport.h"

#include "tests/toolkit/CommandBarTestSupport.h"
#include "tests/toolkit/ToolBarTestFrame.h"

#include "platform/base/Clock.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/Capture.h"
#include "platform/win/Input.h"
#include "toolkit/commandbars/XTPCommandBarsOptions.h"
#include "toolkit/commandbars/XTPDialogBar.h"
#include "toolkit/commandbars/XTPDockBar.h"
#include "toolkit/commandbars/XTPDockContext.h"
#include "toolkit/commandbars/XTPOfficeXPTheme.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPSoundManager.h"
#include "toolkit/commandbars/XTPToolBar.h"
#include "toolkit/res/ToolkitIds.h"

#include <algorithm>
#include <functional>
#include <vector>

using tavrin::test::CToolBarTestFrame;
using tavrin::test::ScopedTestTheme;
using tavrin::test::ScopedToolBarResources;
using tavrin::win::InjectKey;
using tavrin::win::InjectMouseButton;
using tavrin::win::InjectMouseMove;
using tavrin::win::MouseButton;

namespace {

// A hidden window whose timer runs the next step of a script inside a modal
// loop (the queue is empty there); a step may inject more input, arm the
// next step, or take the mouse capture.
class Probe : public CWnd {
public:
    std::vector<std::function<void()>> m_steps;
    size_t m_nDone = 0;

    BOOL Make()
    {
        return CreateEx(0, AfxRegisterWndClass(0), "probe", WS_POPUP, CRect(0, 0, 1, 1), nullptr, 0);
    }
    // The next step runs once the queue is empty.
    void Arm()
    {
        SetTimer(1, 10, nullptr);
        tavrin::clock::Advance(10);
    }
    void Steal() { ::SetCapture(m_hWnd); }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TIMER) {
            KillTimer(wParam);
            if (m_nDone < m_steps.size())
                m_steps[m_nDone++]();
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// Floating captions of 16 pixels and a tear-off gripper of 8.
class TearOffTheme : public tavrin::test::CaptionTheme {
public:
    CSize DrawTearOffGripper(CDC*, CRect, BOOL, BOOL) override { return CSize(0, 8); }
};

// A manager that cannot make custom bars.
class NoCustomBars : public CXTPCommandBars {
    DECLARE_DYNCREATE(NoCustomBars)
public:
    CXTPToolBar* AddCustomBar(LPCTSTR, UINT, BOOL) override { return nullptr; }
};
IMPLEMENT_DYNCREATE(NoCustomBars, CXTPCommandBars)

class DockContextTest : public tavrin::test::ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        m_pResources = new ScopedToolBarResources;
        m_pTheme = new ScopedTestTheme;
        m_pFrame = new CToolBarTestFrame;
        ASSERT_TRUE(m_pFrame->Create(nullptr, "frame", WS_OVERLAPPEDWINDOW, CRect(0, 0, 600, 300)));
        ASSERT_TRUE(m_pFrame->InitCommandBars(BarsClass()));
        m_pFrame->ShowWindow(SW_SHOWNA);
        Bars()->GetOptions()->bShowExpandButtonAlways = FALSE;
        Bars()->SetPaintManager(new TearOffTheme);
        Bars()->GetOptions()->animationType = xtpAnimateNone;
        // The menu-sound thread sleeps on the clock, which only the test moves.
        m_bSounds = XTPSoundManager()->IsSystemSoundsEnabled();
        XTPSoundManager()->EnableSystemSounds(FALSE);
        ASSERT_TRUE(m_probe.Make());
        // Keys go to the focus window.
        ::SetFocus(m_pFrame->m_hWnd);
    }
    virtual CRuntimeClass* BarsClass() const { return RUNTIME_CLASS(CXTPCommandBars); }
    void TearDown() override
    {
        for (CXTPPopupBar* pPopup : m_popups) {
            pPopup->SetTrackingMode(FALSE);
            pPopup->InternalRelease();
        }
        if (::GetCapture())
            ::ReleaseCapture();
        m_probe.DestroyWindow();
        XTPSoundManager()->EnableSystemSounds(m_bSounds);
        if (::IsWindow(m_pFrame->m_hWnd))
            m_pFrame->DestroyWindow();
        delete m_pFrame;
        delete m_pTheme;
        delete m_pResources;
        ToolkitTest::TearDown();
    }
    CXTPCommandBars* Bars() const { return m_pFrame->GetCommandBars(); }
    CXTPDockBar* Top() const { return Bars()->GetDockBar(xtpBarTop); }
    CXTPToolBar* AddLoaded(LPCTSTR lpszTitle, UINT nID)
    {
        CXTPToolBar* pBar = Bars()->Add(lpszTitle, xtpBarTop);
        EXPECT_TRUE(pBar && pBar->LoadToolBar(nID));
        m_pFrame->RecalcLayout();
        return pBar;
    }
    // A second bar in the row of pFirst, right of it.
    CXTPToolBar* AddBeside(CXTPToolBar* pFirst, LPCTSTR lpszTitle, UINT nID)
    {
        CXTPToolBar* pBar = AddLoaded(lpszTitle, nID);
        CRect rcDrop = WindowOf(pFirst);
        rcDrop.OffsetRect(rcDrop.Width() + 10, 0);
        EXPECT_TRUE(Bars()->DockCommandBar(pBar, &rcDrop, Top()));
        m_pFrame->RecalcLayout();
        return pBar;
    }
    static CRect WindowOf(CWnd* pWnd)
    {
        CRect rc;
        pWnd->GetWindowRect(&rc);
        return rc;
    }
    // A screen point of the frame's client area, in fractions of its size.
    CPoint InFrame(double fx, double fy) const
    {
        CRect rc;
        m_pFrame->GetClientRect(&rc);
        m_pFrame->ClientToScreen(&rc);
        return CPoint(rc.left + static_cast<int>(rc.Width() * fx), rc.top + static_cast<int>(rc.Height() * fy));
    }
    // Presses at from, moves in steps of at most 6 pixels through the points,
    // then runs the steps; the last one must end the drag. Moves queued
    // together merge into one, so each goes in when the queue has drained
    // (the probe's timer, inside the drag's loop). Returns the exit code of a
    // WM_QUIT that reached this pump, else -1.
    int Script(CPoint from, const std::vector<CPoint>& path, const std::vector<std::function<void()>>& then)
    {
        InjectMouseMove(from.x, from.y);
        InjectMouseButton(MouseButton::Left, true);
        m_probe.m_steps.clear();
        m_probe.m_nDone = 0;
        CPoint at = from;
        for (CPoint to : path) {
            while (at != to) {
                at.x += std::clamp(static_cast<int>(to.x - at.x), -6, 6);
                at.y += std::clamp(static_cast<int>(to.y - at.y), -6, 6);
                m_probe.m_steps.push_back([this, at] {
                    InjectMouseMove(at.x, at.y);
                    m_probe.Arm();
                });
            }
        }
        m_probe.m_steps.insert(m_probe.m_steps.end(), then.begin(), then.end());
        m_probe.Arm();
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                return static_cast<int>(msg.wParam);
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        return -1;
    }
    static std::function<void()> Release()
    {
        return [] { InjectMouseButton(MouseButton::Left, false); };
    }
    std::function<void()> Escape()
    {
        return [this] {
            InjectKey(VK_ESCAPE, true);
            InjectKey(VK_ESCAPE, false);
            m_probe.Arm();
        };
    }
    void Drag(CPoint from, const std::vector<CPoint>& path) { Script(from, path, {Release()}); }
    // The place on a toolbar's gripper or caption that starts a drag.
    static CPoint Grip(CXTPToolBar* pBar)
    {
        const CRect rc = WindowOf(pBar);
        return pBar->IsFloating() ? CPoint(rc.left + 8, rc.top + 8) : CPoint(rc.left + 1, rc.top + 1);
    }

    // An open popup of two items and a submenu that tears off as bar nID.
    CXTPPopupBar* OpenTearOff(UINT nID)
    {
        CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(Bars());
        pPopup->SetOwner(m_pFrame);
        pPopup->GetControls()->Add(xtpControlButton, ID_TB_FIND)->SetCaption("查找");
        pPopup->GetControls()->Add(xtpControlButton, ID_TB_NEXT)->SetCaption("新建");
        CXTPControl* pSub = pPopup->GetControls()->Add(xtpControlPopup, 0);
        pSub->SetCaption("更多");
        pSub->GetCommandBar()->GetControls()->Add(xtpControlButton, ID_TB_PREV)->SetCaption("打开");
        pPopup->SetTearOffPopup("撕下", nID, 200);
        const CPoint at = InFrame(0.3, 0.2);
        EXPECT_TRUE(pPopup->Popup(at.x, at.y, nullptr));
        m_popups.push_back(pPopup);
        return pPopup;
    }
    static CRect Gripper(CXTPPopupBar* pPopup)
    {
        CRect rc = pPopup->GetTearOffGripperRect();
        pPopup->ClientToScreen(&rc);
        return rc;
    }
    // A point more than 10 pixels below the popup.
    static CPoint BelowPopup(CXTPPopupBar* pPopup)
    {
        const CRect rc = WindowOf(pPopup);
        return CPoint(rc.CenterPoint().x, rc.bottom + 40);
    }
    CXTPToolBar* TornOff(UINT nID) const { return DYNAMIC_DOWNCAST(CXTPToolBar, Bars()->GetToolBar(nID)); }

    tavrin::clock::ManualScope m_clock{1000000};
    BOOL m_bSounds = TRUE;
    std::vector<CXTPPopupBar*> m_popups;
    Probe m_probe;
    CWinApp m_app;
    ScopedToolBarResources* m_pResources = nullptr;
    ScopedTestTheme* m_pTheme = nullptr;
    CToolBarTestFrame* m_pFrame = nullptr;
};

} // namespace

TEST_F(DockContextTest, DraggingAlongTheRowKeepsTheDockBar)
{
    CXTPToolBar* pFirst = AddLoaded("标准", IDT_STANDARD16);
    CXTPToolBar* pSecond = AddBeside(pFirst, "搜索", IDT_SEARCH);
    ASSERT_EQ(pFirst->GetDockBar(), Top());
    const CRect rcFirst = WindowOf(pFirst), rcSecond = WindowOf(pSecond);
    ASSERT_LT(rcFirst.left, rcSecond.left);
    const CPoint from = Grip(pFirst);
    Drag(from, {CPoint(from.x + rcSecond.right - rcFirst.left, from.y)});
    EXPECT_EQ(pFirst->GetDockBar(), Top());
    EXPECT_EQ(pFirst->GetPosition(), xtpBarTop);
    EXPECT_GT(WindowOf(pFirst).left, WindowOf(pSecond).left);
    EXPECT_EQ(WindowOf(pFirst).top, rcFirst.top) << "same row";
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_TRUE(Bars()->GetOptions()->bDirtyState);
}

TEST_F(DockContextTest, DraggedAwayFromEveryDockBarItFloatsAtItsMostRecentWidth)
{
    CXTPToolBar* pBar = AddLoaded("标准", IDT_STANDARD16);
    pBar->SetWidth(60);
    const CPoint to = InFrame(0.5, 0.55);
    Drag(Grip(pBar), {to});
    ASSERT_TRUE(pBar->IsFloating());
    EXPECT_EQ(pBar->GetDockBar(), nullptr);
    const CRect rc = WindowOf(pBar);
    EXPECT_TRUE(rc.PtInRect(to)) << "the cursor stays inside the floating window";
    EXPECT_LE(rc.Width(), 60);
    EXPECT_EQ(rc.Size(), pBar->CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH | LM_COMMIT));
    EXPECT_EQ(pBar->GetDockContext()->m_ptMRUFloatPos, rc.TopLeft());
}

TEST_F(DockContextTest, DroppingAFloatingBarOnTheLeftDockBarFollowsItsFlags)
{
    struct Case {
        const char* name;
        DWORD dwFlags;
        int nExpected;
    };
    const Case cases[] = {
        {"top and bottom only", 0x13, xtpBarFloating},
        {"every side", 0x1F, xtpBarLeft},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CXTPToolBar* pBar = AddLoaded("标准", IDT_STANDARD16);
        pBar->EnableDocking(c.dwFlags);
        ASSERT_TRUE(pBar->SetPosition(xtpBarFloating));
        const CPoint to = InFrame(0.0, 0.6) + CPoint(2, 0);
        Drag(Grip(pBar), {InFrame(0.3, 0.6), to});
        EXPECT_EQ(pBar->GetPosition(), c.nExpected);
        if (c.nExpected == xtpBarFloating)
            EXPECT_TRUE(WindowOf(pBar).PtInRect(to)) << "moved with the mouse";
        else
            EXPECT_EQ(pBar->GetDockBar(), Bars()->GetDockBar(xtpBarLeft));
        Bars()->Remove(pBar);
    }
}

TEST_F(DockContextTest, EscapeLeavesTheBarWhereTheLastMovePutIt)
{
    CXTPToolBar* pBar = AddLoaded("标准", IDT_STANDARD16);
    const CPoint to = InFrame(0.5, 0.55);
    // A move after the Escape is not the drag's any more.
    CRect rcAtEscape;
    Script(Grip(pBar), {to}, {[&] {
                                  rcAtEscape = WindowOf(pBar);
                                  Escape()();
                              },
                              [to] {
                                  InjectMouseMove(to.x + 40, to.y + 40);
                                  InjectMouseButton(MouseButton::Left, false);
                              }});
    ASSERT_TRUE(pBar->IsFloating());
    EXPECT_TRUE(rcAtEscape.PtInRect(to));
    EXPECT_EQ(WindowOf(pBar), rcAtEscape);
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(DockContextTest, ABarLeftFloatingRemembersTheDockPlaceItHadBeforeTheDrag)
{
    CXTPToolBar* pFirst = AddLoaded("标准", IDT_STANDARD16);
    CXTPToolBar* pBar = AddBeside(pFirst, "搜索", IDT_SEARCH);
    CRect rcBefore = WindowOf(pBar);
    Top()->ScreenToClient(&rcBefore);
    // Across the left dock bar, where it docks for a while, and out again.
    Drag(Grip(pBar), {InFrame(0.0, 0.6) + CPoint(2, 0), InFrame(0.5, 0.55)});
    ASSERT_TRUE(pBar->IsFloating());
    CXTPDockContext* pContext = pBar->GetDockContext();
    EXPECT_EQ(pContext->m_uMRUDockPosition, xtpBarTop);
    EXPECT_EQ(pContext->m_rectMRUDockPos, rcBefore);
    // A double click on its caption puts it back there.
    const CPoint caption = Grip(pBar) - WindowOf(pBar).TopLeft();
    pBar->SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(caption.x, caption.y));
    m_pFrame->RecalcLayout();
    ASSERT_EQ(pBar->GetDockBar(), Top());
    CRect rcAfter = WindowOf(pBar);
    Top()->ScreenToClient(&rcAfter);
    EXPECT_EQ(rcAfter.TopLeft(), rcBefore.TopLeft());
    EXPECT_EQ(pFirst->GetDockBar(), Top());
}

TEST_F(DockContextTest, DoubleClicks)
{
    struct Case {
        const char* name;
        BOOL bDblClickFloat;
        BOOL bStartFloating;
        int nExpected;
    };
    const Case cases[] = {
        {"docked gripper, default options", FALSE, FALSE, xtpBarTop},
        {"docked gripper with DblClickFloat", TRUE, FALSE, xtpBarFloating},
        {"floating caption", FALSE, TRUE, xtpBarTop},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CXTPToolBar* pBar = AddLoaded("标准", IDT_STANDARD16);
        Bars()->GetOptions()->bDblClickFloat = c.bDblClickFloat;
        pBar->GetDockContext()->m_ptMRUFloatPos = CPoint(150, 120);
        if (c.bStartFloating) {
            ASSERT_TRUE(pBar->SetPosition(xtpBarFloating));
        }
        const CRect rcBefore = WindowOf(pBar);
        const CPoint pt = Grip(pBar) - rcBefore.TopLeft();
        pBar->SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(pt.x, pt.y));
        m_pFrame->RecalcLayout();
        EXPECT_EQ(pBar->GetPosition(), c.nExpected);
        if (c.nExpected == xtpBarFloating)
            EXPECT_EQ(WindowOf(pBar).TopLeft(), CPoint(150, 120)) << "the remembered floating position";
        else if (!c.bStartFloating)
            EXPECT_EQ(WindowOf(pBar), rcBefore) << "nothing moved";
        else
            EXPECT_EQ(pBar->GetDockBar(), Top());
        Bars()->Remove(pBar);
    }
}

TEST_F(DockContextTest, SizingAFloatingToolbarFromItsLeftEdgeKeepsTheRightEdge)
{
    CXTPToolBar* pBar = AddLoaded("标准", IDT_STANDARD16);
    ASSERT_TRUE(pBar->SetPosition(xtpBarFloating));
    const CRect rcBefore = WindowOf(pBar);
    ASSERT_GT(rcBefore.Width(), 80);
    const CPoint from(rcBefore.left + 1, rcBefore.CenterPoint().y);
    ASSERT_EQ(pBar->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(from.x, from.y)), LRESULT(HTLEFT));
    Drag(from, {CPoint(rcBefore.left + rcBefore.Width() / 2, from.y)});
    const CRect rcAfter = WindowOf(pBar);
    EXPECT_EQ(rcAfter.right, rcBefore.right);
    EXPECT_EQ(rcAfter.top, rcBefore.top);
    EXPECT_LT(rcAfter.Width(), rcBefore.Width());
    EXPECT_GT(rcAfter.Height(), rcBefore.Height()) << "the buttons wrapped into more rows";
    EXPECT_EQ(pBar->GetMRUWidth(), rcAfter.Width());
    EXPECT_EQ(pBar->GetDockContext()->m_ptMRUFloatPos, rcAfter.TopLeft());
    // Wider again from the right edge: the left edge stays.
    const CPoint right(rcAfter.right - 1, rcAfter.CenterPoint().y);
    Drag(right, {CPoint(right.x + rcBefore.Width(), right.y)});
    EXPECT_EQ(WindowOf(pBar).left, rcAfter.left);
    EXPECT_GT(WindowOf(pBar).Width(), rcAfter.Width());
}

TEST_F(DockContextTest, QuitDuringADragOrASizingEndsTheLoopAndStaysQueued)
{
    for (BOOL bSizing : {FALSE, TRUE}) {
        SCOPED_TRACE(bSizing ? "sizing" : "drag");
        CXTPToolBar* pBar = AddLoaded("标准", IDT_STANDARD16);
        if (bSizing) {
            ASSERT_TRUE(pBar->SetPosition(xtpBarFloating));
        }
        const CRect rc = WindowOf(pBar);
        const CPoint from = bSizing ? CPoint(rc.left + 1, rc.CenterPoint().y) : Grip(pBar);
        EXPECT_EQ(Script(from, {from + CPoint(20, 100)}, {[] { ::PostQuitMessage(7); }}), 7);
        EXPECT_EQ(::GetCapture(), nullptr);
        // No release came: nothing waits for one.
        tavrin::test::PumpMessages();
        Bars()->Remove(pBar);
    }
}

TEST_F(DockContextTest, ACaptureTakenByAnotherWindowEndsTheDrag)
{
    CXTPToolBar* pBar = AddLoaded("标准", IDT_STANDARD16);
    BOOL bTrackedWhenStolen = FALSE;
    const CPoint to = InFrame(0.5, 0.55);
    // No release: only the lost capture ends the loop.
    Script(Grip(pBar), {to}, {[&] {
               bTrackedWhenStolen = ::GetCapture() == pBar->m_hWnd;
               m_probe.Steal();
           }});
    EXPECT_TRUE(bTrackedWhenStolen);
    EXPECT_EQ(::GetCapture(), m_probe.m_hWnd);
    ASSERT_TRUE(pBar->IsFloating());
    const CRect rc = WindowOf(pBar);
    ::ReleaseCapture();
    InjectMouseMove(to.x + 50, to.y + 50);
    tavrin::test::PumpMessages();
    EXPECT_EQ(WindowOf(pBar), rc) << "later moves do not drag";
}

// Tear-off ------------------------------------------------------------------------

TEST_F(DockContextTest, TheTearOffGripperLightsAfterOneTickAndClearsTheMenu)
{
    CXTPPopupBar* pPopup = OpenTearOff(700);
    const CRect rcGripper = Gripper(pPopup);
    ASSERT_EQ(rcGripper.Height(), 8);
    ASSERT_GT(rcGripper.Width(), 0);
    ASSERT_TRUE(pPopup->SetPopuped(2));
    ASSERT_EQ(pPopup->GetPopupedIndex(), 2);
    pPopup->SetSelected(0);
    InjectMouseMove(rcGripper.CenterPoint().x, rcGripper.CenterPoint().y);
    tavrin::test::PumpMessages();
    EXPECT_EQ(pPopup->GetSelectedIndex(), -1);
    EXPECT_EQ(pPopup->GetPopupedIndex(), -1) << "the open submenu closes";
    EXPECT_FALSE(pPopup->IsTearOffSelected()) << "not before the first tick";
    tavrin::clock::Advance(80);
    tavrin::test::PumpMessages();
    EXPECT_TRUE(pPopup->IsTearOffSelected());
    // Off the gripper: cold again at the next tick.
    const CRect rcItem = pPopup->GetControl(0)->GetRect();
    CPoint onItem = rcItem.CenterPoint();
    pPopup->ClientToScreen(&onItem);
    InjectMouseMove(onItem.x, onItem.y);
    tavrin::test::PumpMessages();
    tavrin::clock::Advance(80);
    tavrin::test::PumpMessages();
    EXPECT_FALSE(pPopup->IsTearOffSelected());
}

TEST_F(DockContextTest, DraggingTheGripperAwayTearsThePopupOffAndBackAgain)
{
    CXTPPopupBar* pPopup = OpenTearOff(700);
    const CPoint grip = Gripper(pPopup).CenterPoint();
    const CPoint out = BelowPopup(pPopup);
    BOOL bHiddenOutside = FALSE, bBarOutside = FALSE, bShownBack = FALSE, bBarGoneBack = FALSE;
    CRect rcBar;
    Script(grip, {out}, {[&] {
                             bHiddenOutside = !pPopup->IsWindowVisible();
                             CXTPToolBar* pBar = TornOff(700);
                             bBarOutside = pBar && pBar->IsFloating() && pBar->IsWindowVisible() && pBar->IsTearOff();
                             if (pBar)
                                 rcBar = WindowOf(pBar);
                             InjectMouseMove(grip.x, grip.y + 2);
                             m_probe.Arm();
                         },
                         [&] {
                             bShownBack = pPopup->IsWindowVisible();
                             bBarGoneBack = TornOff(700) == nullptr;
                             InjectMouseMove(out.x, out.y);
                             m_probe.Arm();
                         },
                         Release()});
    EXPECT_TRUE(bHiddenOutside);
    EXPECT_TRUE(bBarOutside);
    EXPECT_EQ(rcBar.left, out.x - rcBar.Width() / 2) << "centred under the cursor";
    EXPECT_EQ(rcBar.top, out.y - 10) << "its top 10 pixels above it";
    EXPECT_TRUE(bShownBack);
    EXPECT_TRUE(bBarGoneBack) << "a new torn-off bar goes when hidden";
    // Released outside: the toolbar stays and every menu closes.
    CXTPToolBar* pBar = TornOff(700);
    ASSERT_TRUE(pBar);
    EXPECT_TRUE(pBar->IsWindowVisible());
    EXPECT_EQ(WindowOf(pBar).top, out.y - 10);
    EXPECT_FALSE(pPopup->GetTrackingMode());
    EXPECT_FALSE(::IsWindow(pPopup->m_hWnd) && pPopup->IsWindowVisible());
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(DockContextTest, TheTornOffBarCopiesTheItemsAndGoesWithItsCloseButton)
{
    Bars()->GetOptions()->bAlwaysShowFullMenus = FALSE;
    Bars()->GetOptions()->m_mapHiddenCommands.SetAt(ID_TB_NEXT, TRUE);
    CXTPPopupBar* pPopup = OpenTearOff(700);
    ASSERT_TRUE(pPopup->HasHiddenControls());
    ASSERT_TRUE(pPopup->GetControls()->FindControl(XTP_ID_POPUPBAR_EXPAND));
    const int nCount = Bars()->GetCount();
    Drag(Gripper(pPopup).CenterPoint(), {BelowPopup(pPopup)});
    CXTPToolBar* pBar = TornOff(700);
    ASSERT_TRUE(pBar);
    EXPECT_EQ(Bars()->GetCount(), nCount + 1);
    EXPECT_EQ(pBar->GetTitle(), "撕下");
    std::vector<int> ids;
    for (int i = 0; i < pBar->GetControlCount(); ++i) {
        CXTPControl* pControl = pBar->GetControl(i);
        if (pControl->IsTemporary())
            continue;
        ids.push_back(pControl->GetID());
        EXPECT_EQ(pControl->GetHideFlags() & (xtpHideScroll | xtpHideExpand), 0u) << pControl->GetID();
    }
    EXPECT_EQ(ids, (std::vector<int>{ID_TB_FIND, ID_TB_NEXT, 0}));
    CXTPControl* pClose = pBar->GetControls()->FindControl(XTP_ID_TOOLBAR_HIDE);
    ASSERT_TRUE(pClose);
    pClose->OnExecute();
    tavrin::test::PumpMessages();
    EXPECT_EQ(TornOff(700), nullptr);
    EXPECT_EQ(Bars()->GetCount(), nCount);
}

TEST_F(DockContextTest, TearingOffEndings)
{
    enum Ending { kEscape, kQuit, kCaptureTaken };
    struct Case {
        const char* name;
        Ending ending;
    };
    const Case cases[] = {
        {"Escape", kEscape},
        {"WM_QUIT", kQuit},
        {"capture taken by another window", kCaptureTaken},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const UINT nID = 700 + static_cast<UINT>(c.ending);
        CXTPPopupBar* pPopup = OpenTearOff(nID);
        const CPoint grip = Gripper(pPopup).CenterPoint();
        const CPoint out = BelowPopup(pPopup);
        switch (c.ending) {
        case kEscape:
            Script(grip, {out}, {Escape(), [out] {
                                     InjectMouseMove(out.x + 30, out.y + 30);
                                     InjectMouseButton(MouseButton::Left, false);
                                 }});
            break;
        case kQuit:
            EXPECT_EQ(Script(grip, {out}, {[] { ::PostQuitMessage(9); }}), 9);
            break;
        case kCaptureTaken:
            // No release: only the lost capture ends the loop.
            Script(grip, {out}, {[this] { m_probe.Steal(); }});
            break;
        }
        CXTPToolBar* pBar = TornOff(nID);
        ASSERT_TRUE(pBar);
        EXPECT_TRUE(pBar->IsWindowVisible()) << "the toolbar stays";
        EXPECT_EQ(WindowOf(pBar).top, out.y - 10) << "where the drag left it";
        EXPECT_FALSE(pPopup->GetTrackingMode()) << "the menus close";
        EXPECT_EQ(::GetCapture(), c.ending == kCaptureTaken ? m_probe.m_hWnd : nullptr);
        ::ReleaseCapture();
        InjectMouseButton(MouseButton::Left, false);
        tavrin::test::PumpMessages();
    }
}

TEST_F(DockContextTest, ATearOffIdNamingAToolbarFloatsThatToolbar)
{
    CXTPToolBar* pExisting = AddLoaded("标准", IDT_STANDARD16);
    pExisting->SetVisible(FALSE);
    const int nCount = Bars()->GetCount();
    CXTPPopupBar* pPopup = OpenTearOff(IDT_STANDARD16);
    const CPoint out = BelowPopup(pPopup);
    Drag(Gripper(pPopup).CenterPoint(), {out});
    EXPECT_EQ(Bars()->GetCount(), nCount) << "no new bar";
    EXPECT_EQ(TornOff(IDT_STANDARD16), pExisting);
    EXPECT_TRUE(pExisting->IsFloating());
    EXPECT_TRUE(pExisting->IsVisible());
    EXPECT_EQ(WindowOf(pExisting).top, out.y - 10);
    EXPECT_FALSE(pExisting->IsTearOff());
}

namespace {

class NoCustomBarsTest : public DockContextTest {
protected:
    CRuntimeClass* BarsClass() const override { return RUNTIME_CLASS(NoCustomBars); }
};

} // namespace

TEST_F(NoCustomBarsTest, WithoutAToolbarThePopupStaysAndTheDragEndsCleanly)
{
    CXTPPopupBar* pPopup = OpenTearOff(700);
    const CPoint grip = Gripper(pPopup).CenterPoint();
    const CPoint out = BelowPopup(pPopup);
    const int nCount = Bars()->GetCount();
    BOOL bShownOutside = FALSE, bStillDragging = FALSE;
    // Back in and out once more, and released outside.
    Script(grip, {out}, {[&] {
                             bShownOutside = pPopup->IsWindowVisible();
                             bStillDragging = ::GetCapture() == pPopup->m_hWnd;
                             InjectMouseMove(grip.x, grip.y);
                             m_probe.Arm();
                         },
                         [&] {
                             InjectMouseMove(out.x + 20, out.y);
                             m_probe.Arm();
                         },
                         Release()});
    EXPECT_TRUE(bShownOutside) << "no hidden popup owns the mouse";
    EXPECT_TRUE(bStillDragging);
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(Bars()->GetCount(), nCount);
    EXPECT_TRUE(pPopup->GetTrackingMode()) << "the menus stay as they were";
    EXPECT_TRUE(pPopup->IsWindowVisible());
}

// Dialog bar ------------------------------------------------------------------------

namespace {

// The Office XP theme with a text height of 13 pixels.
class OfficeXP13 : public CXTPOfficeXPTheme {
public:
    OfficeXP13() { RefreshMetrics(); }
    void RefreshMetrics() override
    {
        CXTPOfficeXPTheme::RefreshMetrics();
        m_nTextHeight = 13;
    }
};

class DialogBarTest : public DockContextTest {
protected:
    CXTPDialogBar* AddDialogBar(int nPosition = xtpBarTop)
    {
        auto* pBar = static_cast<CXTPDialogBar*>(Bars()->Add("对话栏", nPosition, RUNTIME_CLASS(CXTPDialogBar)));
        EXPECT_TRUE(pBar);
        m_pFrame->RecalcLayout();
        return pBar;
    }
    static CXTPDialogBarCaptionPopup* Caption(CXTPDialogBar* pBar)
    {
        return static_cast<CXTPDialogBarCaptionPopup*>(pBar->GetControls()->FindControl(XTP_ID_DIALOGBAR_CAPTION));
    }
    // A child window to host.
    CWnd* MakeChild(CXTPDialogBar* pBar)
    {
        EXPECT_TRUE(m_child.CreateEx(0, AfxRegisterWndClass(0), "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), pBar, 1));
        pBar->SetChild(&m_child);
        return &m_child;
    }
    CRect ChildPlace(CXTPDialogBar* pBar)
    {
        CRect rc = WindowOf(&m_child);
        pBar->ScreenToClient(&rc);
        return rc;
    }
    CWnd m_child;
};

} // namespace

TEST_F(DialogBarTest, TheCaptionShowsTheWindowTextAndItsDropDownOnlyWithItems)
{
    CXTPDialogBar* pBar = AddDialogBar();
    EXPECT_FALSE(pBar->IsCustomizable());
    CXTPDialogBarCaptionPopup* pCaption = Caption(pBar);
    ASSERT_TRUE(pCaption);
    CString strText;
    pBar->GetWindowText(strText);
    EXPECT_EQ(strText, "对话栏");
    EXPECT_EQ(pCaption->GetCaption(), strText);
    EXPECT_FALSE(pCaption->HasPopup());
    // Without items the caption opens nothing.
    EXPECT_TRUE(pCaption->OnSetPopup(TRUE));
    EXPECT_FALSE(pBar->GetCaptionPopupBar()->GetTrackingMode());

    // The triangle's middle, drawn only with items.
    const CRect rc = pCaption->GetRect();
    const CPoint tip(rc.right - 9, rc.CenterPoint().y);
    auto drawn = [&] {
        tavrin::test::Canvas canvas(rc.right + 4, rc.bottom + 4);
        canvas.DC()->SetTextColor(RGB(0, 0, 0));
        pCaption->Draw(canvas.DC());
        return canvas.At(tip.x, tip.y);
    };
    const COLORREF clrWithout = drawn();
    pBar->GetCaptionPopupBar()->GetControls()->Add(xtpControlButton, ID_TB_FIND)->SetCaption("查找");
    m_pFrame->RecalcLayout();
    EXPECT_TRUE(pCaption->HasPopup());
    const COLORREF clrWith = drawn();
    EXPECT_NE(clrWith, clrWithout);

    // It drops from the caption's lower left corner.
    pBar->SetCaption("标题");
    m_pFrame->RecalcLayout();
    EXPECT_EQ(pCaption->GetCaption(), "标题");
    pCaption->OnSetPopup(TRUE);
    CXTPPopupBar* pPopup = pBar->GetCaptionPopupBar();
    ASSERT_TRUE(pPopup->GetTrackingMode());
    CRect rcCaption = pCaption->GetRect();
    pBar->ClientToScreen(&rcCaption);
    EXPECT_EQ(WindowOf(pPopup).TopLeft(), CPoint(rcCaption.left, rcCaption.bottom));
    pCaption->OnSetPopup(FALSE);
}

TEST_F(DialogBarTest, OfficeXPCaptionStripAndTheHostedChild)
{
    Bars()->SetPaintManager(new OfficeXP13);
    CXTPDialogBar* pBar = AddDialogBar();
    MakeChild(pBar);
    EXPECT_EQ(pBar->GetInsets(), CRect(3, 3 + 22, 3, 3));
    const CRect rcBar = WindowOf(pBar);
    EXPECT_EQ(rcBar.Size(), CSize(200 + 6, 200 + 6 + 22));
    EXPECT_EQ(pBar->GetCaptionHeight(), 3 + 22);
    // The child follows WM_SIZE.
    pBar->SetWindowPos(nullptr, 0, 0, 300, 250, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const CRect rcChild = ChildPlace(pBar);
    EXPECT_EQ(rcChild, CRect(3, 25, 300 - 3, 250 - 3))
        << rcChild.left << "," << rcChild.top << "," << rcChild.right << "," << rcChild.bottom;
    // The caption strip is the bar's; below it the hosted child is left alone.
    EXPECT_EQ(pBar->IsPointInside(CPoint(rcBar.left + 50, rcBar.top + 10)), 1);
    EXPECT_EQ(pBar->IsPointInside(CPoint(rcBar.left + 50, rcBar.top + 30)), -2);
    // The close button hides the bar.
    CXTPControl* pClose = pBar->GetControls()->FindControl(XTP_ID_TOOLBAR_HIDE);
    ASSERT_TRUE(pClose);
    EXPECT_TRUE(pClose->IsVisible());
    pClose->OnExecute();
    EXPECT_FALSE(pBar->IsVisible());
}

TEST_F(DialogBarTest, HitCodes)
{
    CXTPDialogBar* pBar = AddDialogBar();
    struct Case {
        const char* name;
        int nPosition;
        BOOL bStretched;
        CPoint pt; // from the window's top-left; -1 counts from the far edge
        LRESULT nExpected;
    };
    const LRESULT kClient = HTCLIENT;
    const Case cases[] = {
        {"floating top-left", xtpBarFloating, FALSE, {1, 1}, HTTOPLEFT},
        {"floating top-right", xtpBarFloating, FALSE, {-1, 1}, HTTOPRIGHT},
        {"floating bottom-left", xtpBarFloating, FALSE, {1, -1}, HTBOTTOMLEFT},
        {"floating bottom-right", xtpBarFloating, FALSE, {-1, -1}, HTBOTTOMRIGHT},
        {"floating top", xtpBarFloating, FALSE, {50, 0}, HTTOP},
        {"floating bottom", xtpBarFloating, FALSE, {50, -3}, HTBOTTOM},
        {"floating left", xtpBarFloating, FALSE, {2, 50}, HTLEFT},
        {"floating right", xtpBarFloating, FALSE, {-3, 50}, HTRIGHT},
        {"floating inside", xtpBarFloating, FALSE, {50, 50}, kClient},
        {"top: bottom edge", xtpBarTop, FALSE, {50, -1}, HTBOTTOM},
        {"top: right edge", xtpBarTop, FALSE, {-1, 50}, HTRIGHT},
        {"top: left edge is not one", xtpBarTop, FALSE, {1, 50}, kClient},
        {"top stretched: no right edge", xtpBarTop, TRUE, {-1, 50}, kClient},
        {"top stretched: bottom edge", xtpBarTop, TRUE, {50, -1}, HTBOTTOM},
        {"bottom: top edge", xtpBarBottom, FALSE, {50, 1}, HTTOP},
        {"bottom: no bottom edge", xtpBarBottom, FALSE, {50, -1}, kClient},
        {"right: left edge", xtpBarRight, FALSE, {1, 50}, HTLEFT},
        {"right: bottom edge", xtpBarRight, FALSE, {50, -1}, HTBOTTOM},
        {"left stretched: no bottom edge", xtpBarLeft, TRUE, {50, -1}, kClient},
        {"left stretched: right edge", xtpBarLeft, TRUE, {-1, 50}, HTRIGHT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pBar->EnableDocking(c.bStretched ? 0x7F : 0x3F);
        ASSERT_TRUE(pBar->SetPosition(c.nPosition));
        m_pFrame->RecalcLayout();
        const CRect rc = WindowOf(pBar);
        const CPoint pt(c.pt.x < 0 ? rc.right + c.pt.x : rc.left + c.pt.x,
                        c.pt.y < 0 ? rc.bottom + c.pt.y : rc.top + c.pt.y);
        EXPECT_EQ(pBar->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)), c.nExpected);
    }
    // Not resizable: the toolbar's answer everywhere inside.
    pBar->SetResizable(FALSE);
    ASSERT_TRUE(pBar->SetPosition(xtpBarTop));
    m_pFrame->RecalcLayout();
    const CRect rc = WindowOf(pBar);
    EXPECT_EQ(pBar->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(rc.right - 1, rc.bottom - 1)), kClient);
}

TEST_F(DialogBarTest, SizingDockedAndFloating)
{
    CXTPDialogBar* pBar = AddDialogBar();
    // Docked at the top, dragged by the right edge: only the docked width.
    const CRect rcDocked = WindowOf(pBar);
    const CPoint right(rcDocked.right - 1, rcDocked.CenterPoint().y);
    ASSERT_EQ(pBar->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(right.x, right.y)), LRESULT(HTRIGHT));
    Drag(right, {CPoint(right.x + 60, right.y + 30)});
    m_pFrame->RecalcLayout();
    EXPECT_EQ(pBar->GetDockingClientSize(), CSize(260, 200));
    EXPECT_EQ(pBar->GetFloatingClientSize(), CSize(200, 200));
    EXPECT_EQ(WindowOf(pBar).Width(), 266);

    // Floating, from the bottom-right corner inwards: never below 50 x 50.
    ASSERT_TRUE(pBar->SetPosition(xtpBarFloating));
    const CRect rcFloating = WindowOf(pBar);
    const CPoint corner(rcFloating.right - 1, rcFloating.bottom - 1);
    ASSERT_EQ(pBar->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)), LRESULT(HTBOTTOMRIGHT));
    Drag(corner, {CPoint(rcFloating.left + 10, rcFloating.top + 10)});
    const CSize szClient = pBar->GetFloatingClientSize();
    EXPECT_GE(szClient.cx, 50);
    EXPECT_LT(szClient.cx, 56);
    EXPECT_GE(szClient.cy, 50);
    EXPECT_LT(szClient.cy, 56);
    EXPECT_EQ(WindowOf(pBar).TopLeft(), rcFloating.TopLeft());
    EXPECT_EQ(pBar->GetDockingClientSize(), CSize(260, 200));
    // Too small at once: nothing changes.
    const CRect rcNow = WindowOf(pBar);
    pBar->Resize(CRect(rcNow.TopLeft(), CSize(40, 40)), HTBOTTOMRIGHT);
    EXPECT_EQ(WindowOf(pBar), rcNow);
    EXPECT_EQ(pBar->GetFloatingClientSize(), szClient);
    // From the left edge of a floating bar: the right edge stays.
    const CPoint left(rcNow.left + 1, rcNow.CenterPoint().y);
    Drag(left, {CPoint(left.x - 40, left.y)});
    EXPECT_EQ(WindowOf(pBar).right, rcNow.right);
    EXPECT_EQ(pBar->GetFloatingClientSize().cx, szClient.cx + 40);
}
