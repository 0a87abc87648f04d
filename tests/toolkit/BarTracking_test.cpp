// Bars that track: the keyboard and mouse managers route input to them, and
// the bars navigate by keys, mnemonics and the mouse. Headless, with input
// injected as the presenter injects it, and timers on the manual clock.
#include "ToolkitTestSupport.h"

#include "platform/base/Clock.h"
#include "platform/controls/CommCtrl.h"
#include "platform/win/User.h"
#include "tests/toolkit/CommandBarTestSupport.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlButton.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPHookManager.h"
#include "toolkit/commandbars/XTPKeyboardManager.h"
#include "toolkit/commandbars/XTPMouseManager.h"

#include <memory>
#include <string>
#include <vector>

using namespace tavrin::test;
using tavrin::win::InjectKey;
using tavrin::win::InjectMouseButton;
using tavrin::win::InjectMouseMove;
using tavrin::win::MouseButton;

namespace {

// A button that counts its hovers and its runs.
class CountingButton : public CXTPControlButton {
public:
    int m_nHovers = 0;
    void OnMouseHover() override
    {
        ++m_nHovers;
        CXTPControlButton::OnMouseHover();
    }
};

// Counts the mouse moves a window gets.
class MoveCounter : public CXTPHookSink {
public:
    int m_nMoves = 0;
    int OnHookMessage(HWND, UINT nMessage, WPARAM&, LPARAM&, LRESULT&) override
    {
        m_nMoves += nMessage == WM_MOUSEMOVE;
        return 0;
    }
};

// A bar that, as a menu does, ends and frees the bar it opened when it stops.
class ChainBar : public TestBar {
public:
    TestBar* m_pChild = nullptr;
    BOOL SetTrackingMode(int bMode, BOOL bSelectFirst, BOOL bKeyboard) override
    {
        BOOL bChanged = TestBar::SetTrackingMode(bMode, bSelectFirst, bKeyboard);
        if (!bMode && m_pChild) {
            TestBar* pChild = m_pChild;
            m_pChild = nullptr;
            pChild->SetTrackingMode(0, TRUE, FALSE);
            pChild->InternalRelease();
        }
        return bChanged;
    }
};

void MoveTo(CPoint pt)
{
    InjectMouseMove(pt.x, pt.y);
    PumpMessages();
}

void Key(UINT vk)
{
    InjectKey(vk, true);
    InjectKey(vk, false);
    PumpMessages();
}

class BarTrackingTest : public ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        m_theme = std::make_unique<ScopedTestTheme>();
        m_site = std::make_unique<TestSite>();
        m_site->SetActiveWindow();
        // The pointer starts away from every bar.
        InjectMouseMove(1200, 900);
        PumpMessages();
    }
    void TearDown() override
    {
        if (m_pBar) {
            if (m_pBar->GetTrackingMode())
                m_pBar->SetTrackingMode(0, TRUE, FALSE);
            m_pBar->InternalRelease();
        }
        m_site.reset();
        m_theme.reset();
        PumpMessages();
        ToolkitTest::TearDown();
    }
    // A bar of buttons at (0, 0) of the site, 40 x 22 each from x = 2.
    TestBar* MakeBar(const std::vector<const char*>& captions, DWORD dwExStyle = 0, int nPosition = xtpBarTop)
    {
        m_pBar = new TestBar;
        m_pBar->m_barPosition = nPosition;
        for (size_t i = 0; i < captions.size(); ++i) {
            auto* pButton = new CountingButton;
            m_pBar->GetControls()->Add(pButton, static_cast<int>(1000 + i));
            pButton->SetCaption(captions[i]);
            m_buttons.push_back(pButton);
        }
        EXPECT_TRUE(m_pBar->CreateIn(m_site.get(), CRect(0, 0, 380, 26)));
        if (dwExStyle)
            m_pBar->ModifyStyleEx(0, dwExStyle);
        m_pBar->OnRecalcLayout();
        return m_pBar;
    }
    // The screen point at the middle of a control.
    CPoint Middle(int nIndex)
    {
        CRect rc = m_pBar->GetControl(nIndex)->GetRect();
        CPoint pt = rc.CenterPoint();
        m_pBar->ClientToScreen(&pt);
        return pt;
    }
    std::vector<UINT> Commands() const { return m_site->Messages(WM_COMMAND); }

    std::unique_ptr<ScopedTestTheme> m_theme;
    std::unique_ptr<TestSite> m_site;
    TestBar* m_pBar = nullptr;
    std::vector<CountingButton*> m_buttons;
};

} // namespace

TEST_F(BarTrackingTest, HooksExistOnlyWhileABarTracks)
{
    MakeBar({"a", "b", "c"});
    EXPECT_FALSE(XTPKeyboardManager()->IsKeyboardHooked());
    EXPECT_TRUE(m_pBar->SetTrackingMode(1, TRUE, TRUE));
    EXPECT_TRUE(XTPKeyboardManager()->IsKeyboardHooked());
    EXPECT_TRUE(XTPMouseManager()->IsTracked(m_pBar));
    EXPECT_EQ(m_pBar->GetSelectedIndex(), 0);
    EXPECT_EQ(m_buttons[0]->GetSelected(), 2) << "selected by keyboard";
    EXPECT_FALSE(m_pBar->SetTrackingMode(2, FALSE, FALSE)) << "already tracking";
    EXPECT_EQ(m_pBar->GetTrackingMode(), 2);
    EXPECT_TRUE(m_pBar->SetTrackingMode(0, TRUE, FALSE));
    EXPECT_FALSE(XTPKeyboardManager()->IsKeyboardHooked());
    EXPECT_EQ(XTPMouseManager()->GetTrackedCount(), 0);
    EXPECT_EQ(m_pBar->GetSelectedIndex(), -1);
}

TEST_F(BarTrackingTest, TypedLettersNeverReachTheFocusedEdit)
{
    tavrin::clock::ManualScope clock(1000000);
    ::InitCommonControls();
    MakeBar({"&Open", "&Save"});
    HWND hEdit = ::CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 10, 100, 200, 24, m_site->m_hWnd,
                                   reinterpret_cast<HMENU>(5), nullptr, nullptr);
    ::SetFocus(hEdit);
    PumpMessages();
    ASSERT_TRUE(tavrin::win::IsCaretDrawn());
    m_pBar->SetTrackingMode(1, TRUE, TRUE);
    EXPECT_FALSE(tavrin::win::IsCaretDrawn());
    Key('X');
    char text[16] = {};
    ::GetWindowTextA(hEdit, text, sizeof(text));
    EXPECT_STREQ(text, "");
    Key(VK_ESCAPE);
    EXPECT_EQ(m_pBar->GetTrackingMode(), 0);
    EXPECT_TRUE(tavrin::win::IsCaretDrawn());
    Key('X');
    ::GetWindowTextA(hEdit, text, sizeof(text));
    EXPECT_STREQ(text, "x");
    ::DestroyWindow(hEdit);
}

TEST_F(BarTrackingTest, AltAloneEndsTrackingButItsRepeatDoesNot)
{
    MakeBar({"a", "b"});
    InjectKey(VK_MENU, true);
    PumpMessages();
    m_pBar->SetTrackingMode(1, TRUE, TRUE);
    InjectKey(VK_MENU, true); // held: an auto-repeat
    PumpMessages();
    EXPECT_EQ(m_pBar->GetTrackingMode(), 1);
    InjectKey(VK_MENU, false);
    PumpMessages();
    EXPECT_EQ(m_pBar->GetTrackingMode(), 1);
    InjectKey(VK_MENU, true);
    PumpMessages();
    EXPECT_EQ(m_pBar->GetTrackingMode(), 0);
    EXPECT_EQ(XTPMouseManager()->GetTrackedCount(), 0);
    InjectKey(VK_MENU, false);
    PumpMessages();
}

TEST_F(BarTrackingTest, APressOutsideEndsTrackingAReleaseOverTheBarDoesNot)
{
    MakeBar({"a", "b"});
    CRect rcWindow, rcClient;
    m_site->GetWindowRect(&rcWindow);
    m_site->GetClientRect(&rcClient);
    m_site->ClientToScreen(&rcClient);
    const CPoint client(rcClient.left + 200, rcClient.top + 150);
    const CPoint caption(rcWindow.CenterPoint().x, rcWindow.top + (rcClient.top - rcWindow.top) / 2);
    struct Case {
        const char* name;
        CPoint point;
        bool press;
        bool locked;
        int trackingAfter;
    };
    const Case cases[] = {
        {"press in the client area", client, true, false, 0},
        {"press on the caption", caption, true, false, 0},
        {"release over the bar", Middle(1), false, false, 1},
        {"release outside", client, false, false, 0},
        {"release outside while locked", client, false, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_pBar->SetTrackingMode(1, TRUE, TRUE);
        if (c.locked)
            XTPMouseManager()->LockTracking();
        InjectMouseMove(c.point.x, c.point.y);
        if (c.press)
            InjectMouseButton(MouseButton::Left, true);
        InjectMouseButton(MouseButton::Left, false);
        PumpMessages();
        if (c.locked)
            XTPMouseManager()->UnlockTracking();
        EXPECT_EQ(m_pBar->GetTrackingMode(), c.trackingAfter);
        m_pBar->SetTrackingMode(0, TRUE, FALSE);
        m_site->SetActiveWindow();
        PumpMessages();
    }
}

TEST_F(BarTrackingTest, RepeatedMovesAtOnePointAreDroppedWhileTracking)
{
    MakeBar({"a", "b"});
    MoveCounter counter;
    XTPHookManager()->SetHook(m_pBar->m_hWnd, &counter);
    const CPoint pt = Middle(0);
    MoveTo(pt);
    MoveTo(pt);
    const int untracked = counter.m_nMoves;
    m_pBar->SetTrackingMode(1, FALSE, FALSE);
    counter.m_nMoves = 0;
    InjectMouseMove(pt.x, pt.y);
    InjectMouseMove(pt.x, pt.y);
    MoveTo(CPoint(pt.x + 1, pt.y));
    EXPECT_EQ(counter.m_nMoves, 1);
    EXPECT_EQ(untracked, 2) << "without tracking both moves arrive";
    XTPHookManager()->RemoveAll(&counter);
}

TEST_F(BarTrackingTest, LosingActivationEndsTracking)
{
    MakeBar({"a", "b"});
    m_pBar->SetTrackingMode(1, TRUE, TRUE);
    tavrin::win::SetApplicationActive(false);
    PumpMessages();
    EXPECT_EQ(m_pBar->GetTrackingMode(), 0);
    tavrin::win::SetApplicationActive(true);
    PumpMessages();
}

TEST_F(BarTrackingTest, TheHotButtonClearsAtTheNextTickAfterAFastExit)
{
    tavrin::clock::ManualScope clock(1000000);
    MakeBar({"a", "b"});
    const CPoint pt = Middle(1);
    MoveTo(pt);
    EXPECT_EQ(m_pBar->GetSelectedIndex(), 1);
    EXPECT_EQ(m_buttons[1]->GetSelected(), 1) << "by the mouse";
    // The cursor jumps far away: the bar never sees a move outside its controls.
    ::SetCursorPos(1200, 900);
    PumpMessages();
    EXPECT_EQ(m_pBar->GetSelectedIndex(), 1);
    tavrin::clock::Advance(50);
    PumpMessages();
    EXPECT_EQ(m_pBar->GetSelectedIndex(), -1);
}

TEST_F(BarTrackingTest, NoHotButtonOnABarOfAnInactiveFrame)
{
    MakeBar({"a", "b"});
    TestSite other;
    other.SetActiveWindow();
    PumpMessages();
    // The other window covers nothing of the bar.
    other.SetWindowPos(nullptr, 600, 400, 100, 100, SWP_NOZORDER | SWP_NOACTIVATE);
    const CPoint pt = Middle(0);
    MoveTo(pt);
    EXPECT_EQ(m_pBar->GetSelectedIndex(), -1);
    m_site->SetActiveWindow();
    MoveTo(CPoint(pt.x + 1, pt.y));
    EXPECT_EQ(m_pBar->GetSelectedIndex(), 0);
}

TEST_F(BarTrackingTest, TheLockSuspendsHotTracking)
{
    MakeBar({"a", "b"});
    XTPMouseManager()->LockTracking();
    const CPoint pt = Middle(0);
    MoveTo(pt);
    EXPECT_EQ(m_pBar->GetSelectedIndex(), -1);
    // Alt passes on while locked.
    m_pBar->SetTrackingMode(1, TRUE, TRUE);
    InjectKey(VK_MENU, true);
    InjectKey(VK_MENU, false);
    PumpMessages();
    EXPECT_EQ(m_pBar->GetTrackingMode(), 1);
    XTPMouseManager()->UnlockTracking();
    MoveTo(CPoint(pt.x + 1, pt.y));
    EXPECT_EQ(m_pBar->GetSelectedIndex(), 0);
}

TEST_F(BarTrackingTest, HoveringAControlFor300Ms)
{
    tavrin::clock::ManualScope clock(1000000);
    MakeBar({"a", "b"});
    const CPoint pt = Middle(1);
    MoveTo(pt);
    tavrin::clock::Advance(299);
    PumpMessages();
    EXPECT_EQ(m_buttons[1]->m_nHovers, 0);
    tavrin::clock::Advance(1);
    PumpMessages();
    EXPECT_EQ(m_buttons[1]->m_nHovers, 1);
    tavrin::clock::Advance(1000);
    PumpMessages();
    EXPECT_EQ(m_buttons[1]->m_nHovers, 1) << "once";
}

TEST_F(BarTrackingTest, ArrowsHomeEndAndTabWalkTheBar)
{
    struct Case {
        int position;
        bool rtl;
        UINT key;
        bool shift;
        int from;
        int expected;
    };
    const Case cases[] = {
        {xtpBarTop, false, VK_RIGHT, false, 1, 2},
        {xtpBarTop, false, VK_LEFT, false, 1, 0},
        {xtpBarTop, false, VK_RIGHT, false, 3, 0},
        {xtpBarTop, false, VK_LEFT, false, 0, 3},
        {xtpBarTop, false, VK_DOWN, false, 1, 1},
        {xtpBarTop, false, VK_UP, false, 1, 1},
        {xtpBarTop, false, VK_HOME, false, 2, 0},
        {xtpBarTop, false, VK_END, false, 0, 3},
        {xtpBarTop, false, VK_TAB, false, 1, 2},
        {xtpBarTop, false, VK_TAB, true, 1, 0},
        {xtpBarTop, true, VK_RIGHT, false, 1, 0},
        {xtpBarTop, true, VK_LEFT, false, 1, 2},
        {xtpBarFloating, false, VK_RIGHT, false, 1, 2},
        {xtpBarLeft, false, VK_DOWN, false, 1, 2},
        {xtpBarLeft, false, VK_UP, false, 1, 0},
        {xtpBarLeft, false, VK_RIGHT, false, 1, 1},
        {xtpBarLeft, false, VK_LEFT, false, 1, 1},
        {xtpBarLeft, true, VK_DOWN, false, 1, 2},
        {xtpBarRight, false, VK_HOME, false, 2, 0},
        {xtpBarPopup, false, VK_DOWN, false, 3, 0},
        {xtpBarPopup, false, VK_TAB, true, 0, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "position " << c.position << (c.rtl ? " rtl" : "") << " key " << c.key
                                        << (c.shift ? " shift" : "") << " from " << c.from);
        MakeBar({"a", "b", "c", "d"}, c.rtl ? WS_EX_LAYOUTRTL : 0, c.position);
        m_pBar->SetTrackingMode(1, FALSE, TRUE);
        m_pBar->SetSelected(c.from, TRUE);
        if (c.shift)
            InjectKey(VK_SHIFT, true);
        Key(c.key);
        if (c.shift) {
            InjectKey(VK_SHIFT, false);
            PumpMessages();
        }
        EXPECT_EQ(m_pBar->GetSelectedIndex(), c.expected);
        EXPECT_EQ(m_pBar->GetTrackingMode(), 1);
        EXPECT_TRUE(Commands().empty());
        m_pBar->SetTrackingMode(0, TRUE, FALSE);
        m_pBar->InternalRelease();
        m_pBar = nullptr;
        m_buttons.clear();
    }
}

TEST_F(BarTrackingTest, EscapeAndReturn)
{
    MakeBar({"a", "b"});
    m_pBar->SetTrackingMode(1, TRUE, TRUE);
    Key(VK_RIGHT);
    Key(VK_RETURN);
    EXPECT_EQ(Commands(), (std::vector<UINT>{1001}));
    EXPECT_EQ(m_pBar->GetTrackingMode(), 0) << "a control that runs ends tracking";
    m_pBar->SetTrackingMode(1, TRUE, TRUE);
    Key(VK_ESCAPE);
    EXPECT_EQ(m_pBar->GetTrackingMode(), 0);
    EXPECT_EQ(m_pBar->GetSelectedIndex(), -1);
}

TEST_F(BarTrackingTest, MnemonicsSelectAndRunAndBeep)
{
    struct Press {
        UINT key;
        UINT modifier; // held while the key is pressed, 0 for none
    };
    struct Case {
        const char* name;
        std::vector<const char*> captions;
        int selectedBefore;
        std::vector<Press> keys;
        std::vector<int> selectedAfter; // after each key
        std::vector<UINT> commands;
        int beeps;
    };
    const Case cases[] = {
        {"two ampersand matches", {"&Open", "&Options", "Exit"}, -1, {{'O', 0}, {'O', 0}}, {0, 1}, {}, 0},
        {"two first-letter matches", {"Close", "Copy", "Exit"}, 0, {{'C', 0}}, {1}, {}, 0},
        {"one match runs", {"&Save", "Exit"}, -1, {{'S', 0}}, {-1}, {1000}, 0},
        {"no match", {"&Save", "Exit"}, 1, {{'Q', 0}}, {1}, {}, 1},
        {"with Ctrl", {"&Save", "Exit"}, 1, {{'S', VK_CONTROL}}, {1}, {}, 1},
        {"Shift alone", {"&Save", "Exit"}, 1, {{VK_SHIFT, 0}}, {1}, {}, 0},
        {"Ctrl alone", {"&Save", "Exit"}, 1, {{VK_CONTROL, 0}}, {1}, {}, 0},
        {"F5 alone", {"&Save", "Exit"}, 1, {{VK_F5, 0}}, {1}, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MakeBar(c.captions);
        m_site->Clear();
        m_pBar->SetTrackingMode(1, FALSE, TRUE);
        if (c.selectedBefore >= 0)
            m_pBar->SetSelected(c.selectedBefore, TRUE);
        const int beeps = tavrin::win::MessageBeepCount();
        for (size_t i = 0; i < c.keys.size(); ++i) {
            if (c.keys[i].modifier)
                InjectKey(c.keys[i].modifier, true);
            Key(c.keys[i].key);
            if (c.keys[i].modifier) {
                InjectKey(c.keys[i].modifier, false);
                PumpMessages();
            }
            EXPECT_EQ(m_pBar->GetSelectedIndex(), c.selectedAfter[i]) << "after key " << i;
            if (c.selectedAfter[i] >= 0 && c.commands.empty()) {
                EXPECT_EQ(m_buttons[static_cast<size_t>(c.selectedAfter[i])]->GetSelected(), 2);
            }
        }
        EXPECT_EQ(Commands(), c.commands);
        EXPECT_EQ(tavrin::win::MessageBeepCount() - beeps, c.beeps);
        if (m_pBar->GetTrackingMode())
            m_pBar->SetTrackingMode(0, TRUE, FALSE);
        m_pBar->InternalRelease();
        m_pBar = nullptr;
        m_buttons.clear();
    }
}

TEST_F(BarTrackingTest, EndingTheRootFreesItsChildrenSafely)
{
    // Every way of ending all tracking walks the tracked bars while the root
    // frees the child that tracks after it.
    const char* ways[] = {"press outside", "Alt", "activation lost"};
    for (const char* way : ways) {
        SCOPED_TRACE(way);
        auto* pRoot = new ChainBar;
        pRoot->GetControls()->Add(xtpControlButton, 1);
        ASSERT_TRUE(pRoot->CreateIn(m_site.get(), CRect(0, 0, 100, 26)));
        auto* pChild = new TestBar;
        pChild->GetControls()->Add(xtpControlButton, 2);
        ASSERT_TRUE(pChild->CreateIn(m_site.get(), CRect(0, 30, 100, 56)));
        pRoot->m_pChild = pChild;
        pRoot->SetTrackingMode(1, TRUE, TRUE);
        pChild->SetTrackingMode(1, TRUE, TRUE);
        ASSERT_EQ(XTPMouseManager()->GetTrackedCount(), 2);
        if (way == ways[0]) {
            CRect rc;
            m_site->GetClientRect(&rc);
            m_site->ClientToScreen(&rc);
            InjectMouseMove(rc.left + 200, rc.top + 150);
            InjectMouseButton(MouseButton::Left, true);
            InjectMouseButton(MouseButton::Left, false);
        } else if (way == ways[1]) {
            InjectKey(VK_MENU, true);
            InjectKey(VK_MENU, false);
        } else {
            tavrin::win::SetApplicationActive(false);
        }
        PumpMessages();
        EXPECT_EQ(pRoot->GetTrackingMode(), 0);
        EXPECT_EQ(XTPMouseManager()->GetTrackedCount(), 0);
        EXPECT_FALSE(XTPKeyboardManager()->IsKeyboardHooked());
        tavrin::win::SetApplicationActive(true);
        m_site->SetActiveWindow();
        pRoot->InternalRelease();
        PumpMessages();
    }
}
