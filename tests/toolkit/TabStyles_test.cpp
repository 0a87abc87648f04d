// The flat tab strip and its navigation arrows: what each layout paints,
// when the arrows show and are enabled, and the press loop (held down on
// the manual clock, Escape, a release outside, the close button, WM_QUIT).
#include "platform/base/Clock.h"
#include "platform/win/Input.h"
#include "platform/win/WindowSurface.h"
#include "tests/toolkit/TabListHost.h"
#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/controls/XTColorManager.h"
#include "toolkit/controls/XTTabCtrl.h"
#include "toolkit/controls/XTTabCtrlTheme.h"
#include "toolkit/controls/XTTabNavigationWnd.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace tavrin;
using tavrin::test::PumpPending;

namespace {

// A tab control that reports the scrolls and commands it gets.
class CWatchedTab : public CXTTabCtrl {
public:
    int m_scrolls = 0;
    std::vector<UINT> m_commands;
    std::function<void(int)> m_onScroll;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_HSCROLL) {
            ++m_scrolls;
            const LRESULT result = CXTTabCtrl::WindowProc(message, wParam, lParam);
            if (m_onScroll)
                m_onScroll(m_scrolls);
            return result;
        }
        if (message == WM_COMMAND)
            m_commands.push_back(LOWORD(wParam));
        return CXTTabCtrl::WindowProc(message, wParam, lParam);
    }
};

COLORREF Color(int index)
{
    return XTGetColorManager()->GetColor(index);
}

class TabStylesTest : public test::TabListTest {
protected:
    void SetUp() override
    {
        test::TabListTest::SetUp();
        XTGetThemeManager()->SetTheme(xtThemeOfficeXP);
    }
    void CloseControls() override
    {
        if (m_tab.m_hWnd)
            m_tab.DestroyWindow();
    }
    void MakeTabs(int count, DWORD style, CRect rc = CRect(10, 10, 400, 280))
    {
        ASSERT_TRUE(m_tab.Create(WS_CHILD | WS_VISIBLE | style, rc, m_host.get(), 9));
        PumpPending();
        for (int i = 0; i < count; ++i) {
            m_pages.push_back(std::make_unique<CWnd>());
            ASSERT_TRUE(m_pages.back()->Create(AfxRegisterWndClass(0), "", WS_CHILD, CRect(0, 0, 5, 5), m_host.get(), 100));
            ASSERT_TRUE(m_tab.AddControl(("标签" + std::to_string(i)).c_str(), m_pages.back().get()));
        }
        Repaint();
    }
    void Repaint()
    {
        m_host->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        PumpPending();
    }
    // A pixel of the control's client area as the window shows it.
    COLORREF At(int x, int y)
    {
        auto surface = win::GetWindowSurface(m_host->m_hWnd);
        POINT pt{x, y};
        ::MapWindowPoints(m_tab.m_hWnd, m_host->m_hWnd, &pt, 1);
        const uint32_t p = surface->GetPixel(pt.x, pt.y);
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    // Pixels of the colour, or within tolerance per channel of it (text is smoothed).
    int Count(const CRect& rc, COLORREF clr, int tolerance = 0)
    {
        int n = 0;
        for (int x = rc.left; x < rc.right; ++x)
            for (int y = rc.top; y < rc.bottom; ++y) {
                const COLORREF p = At(x, y);
                n += std::abs(GetRValue(p) - GetRValue(clr)) <= tolerance &&
                     std::abs(GetGValue(p) - GetGValue(clr)) <= tolerance &&
                     std::abs(GetBValue(p) - GetBValue(clr)) <= tolerance;
            }
        return n;
    }
    CXTTabNavigationWnd& Nav() { return *m_tab.GetNavigationWnd(); }
    XT_NAVBTNSTATE& Button(int i) { return Nav().m_buttons[i]; }
    int FirstVisible()
    {
        CRect row;
        m_tab.GetItemRect(-1, &row);
        TCHITTESTINFO hit{{5, row.CenterPoint().y}, 0};
        return m_tab.CTabCtrl::HitTest(&hit);
    }
    // Presses a navigation button by injected input (the press loop runs
    // inside); steps run on each scroll.
    void Press(int button)
    {
        CPoint at = CRect(Button(button).rc).CenterPoint();
        Nav().ClientToScreen(&at);
        win::InjectMouseMove(at.x, at.y);
        win::InjectMouseButton(win::MouseButton::Left, true);
        PumpPending();
    }

    clock::ManualScope m_clock{1700000000};
    CWatchedTab m_tab;
    std::vector<std::unique_ptr<CWnd>> m_pages;
};

} // namespace

TEST_F(TabStylesTest, FlatStripInFourLayouts)
{
    ASSERT_NE(Color(48), Color(COLOR_BTNFACE));
    struct Case {
        const char* name;
        DWORD style;
    };
    const Case cases[] = {{"top", 0}, {"bottom", TCS_BOTTOM}, {"left", TCS_VERTICAL}, {"right", TCS_VERTICAL | TCS_RIGHT}};
    for (int theme : {xtThemeOfficeXP, xtThemeOffice2003}) {
        XTGetThemeManager()->SetTheme(theme);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + " theme " + std::to_string(theme));
            MakeTabs(4, c.style);
            m_tab.SetActiveView(1);
            Repaint();
            CRect selected, other, client, band;
            m_tab.GetItemRect(1, &selected);
            m_tab.GetItemRect(3, &other);
            m_tab.GetClientRect(&client);
            m_tab.GetItemRect(-1, &band);
            const bool vertical = (c.style & TCS_VERTICAL) != 0;
            // The band beyond the last tab.
            const CPoint beyond = vertical ? CPoint(band.CenterPoint().x, other.bottom + 20)
                                           : CPoint(other.right + 8, band.CenterPoint().y);
            EXPECT_EQ(At(beyond.x, beyond.y), Color(48)) << "the band";
            // The selected tab is face-coloured, with dark text.
            EXPECT_EQ(At(selected.left + 3, selected.top + 3), Color(COLOR_BTNFACE)) << "the selected tab";
            CRect inner = selected;
            inner.DeflateRect(2, 2);
            EXPECT_GT(Count(inner, Color(COLOR_BTNTEXT), 40), 4) << "the selected label";
            CRect otherInner = other;
            otherInner.DeflateRect(2, 2);
            EXPECT_GT(Count(otherInner, Color(49), 40), 4) << "an unselected label";
            EXPECT_EQ(Count(otherInner, Color(COLOR_BTNTEXT), 40), 0) << "in the lighter colour";
            // Separators: after tab 2 and 3, not after the selected one or the one before it.
            CRect tab0, tab2;
            m_tab.GetItemRect(0, &tab0);
            m_tab.GetItemRect(2, &tab2);
            if (vertical) {
                EXPECT_EQ(At(tab2.CenterPoint().x, tab2.bottom), Color(COLOR_BTNSHADOW)) << "separator";
                EXPECT_NE(At(tab0.CenterPoint().x, tab0.bottom), Color(COLOR_BTNSHADOW)) << "no separator";
            } else {
                EXPECT_EQ(At(tab2.right, tab2.CenterPoint().y), Color(COLOR_BTNSHADOW)) << "separator";
                EXPECT_NE(At(tab0.right, tab0.CenterPoint().y), Color(COLOR_BTNSHADOW)) << "no separator";
            }
            // The page area's frame.
            CRect page;
            m_tab.GetChildRect(page);
            page.InflateRect(1, 1);
            EXPECT_EQ(At(page.CenterPoint().x, page.top), Color(COLOR_BTNSHADOW)) << "the page frame";
            EXPECT_EQ(Nav().IsShown() != FALSE, !vertical) << "arrows on horizontal rows only";
            m_tab.DestroyWindow();
            m_pages.clear();
        }
    }
}

TEST_F(TabStylesTest, WithoutTabsOnlyTheBackground)
{
    MakeTabs(0, 0);
    CRect client;
    m_tab.GetClientRect(&client);
    EXPECT_EQ(Count(client, Color(COLOR_BTNFACE)), client.Width() * client.Height());
    EXPECT_FALSE(Nav().IsWindowVisible());
}

TEST_F(TabStylesTest, TheClassicStyleLeavesTheStripToTheNativeControl)
{
    XTGetThemeManager()->SetTheme(xtThemeDefault);
    MakeTabs(4, 0);
    CRect other;
    m_tab.GetItemRect(3, &other);
    CRect band;
    m_tab.GetItemRect(-1, &band);
    EXPECT_NE(At(other.right + 8, band.CenterPoint().y), Color(48));
    EXPECT_FALSE(Nav().IsShown());
}

TEST_F(TabStylesTest, ArrowsNeverOnVerticalMultiLineOrCondensingControls)
{
    struct Case {
        DWORD style;
        BOOL condense;
        BOOL shown;
    };
    const Case cases[] = {{0, FALSE, TRUE}, {TCS_VERTICAL, FALSE, FALSE}, {TCS_MULTILINE, FALSE, FALSE}, {0, TRUE, FALSE}};
    for (const Case& c : cases) {
        ASSERT_TRUE(m_tab.Create(WS_CHILD | WS_VISIBLE | c.style, CRect(10, 10, 150, 200), m_host.get(), 9));
        m_tab.SetAutoCondense(c.condense);
        PumpPending();
        for (int i = 0; i < 8; ++i) {
            m_pages.push_back(std::make_unique<CWnd>());
            ASSERT_TRUE(m_pages.back()->Create(AfxRegisterWndClass(0), "", WS_CHILD, CRect(0, 0, 5, 5), m_host.get(), 100));
            m_tab.AddControl("一个标签", m_pages.back().get());
        }
        Repaint();
        EXPECT_EQ(Nav().IsShown(), c.shown) << c.style;
        EXPECT_EQ(Nav().m_hWnd && Nav().IsWindowVisible(), c.shown) << c.style;
        m_tab.DestroyWindow();
        m_pages.clear();
    }
}

TEST_F(TabStylesTest, ArrowsFollowTheScrollPositionAndRepeatWhileHeld)
{
    MakeTabs(8, 0, CRect(10, 10, 200, 200));
    ASSERT_TRUE(Nav().IsShown());
    CRect nav, client, band;
    Nav().GetWindowRect(&nav);
    m_tab.ScreenToClient(&nav);
    m_tab.GetClientRect(&client);
    m_tab.GetItemRect(-1, &band);
    EXPECT_EQ(nav, CRect(client.right - 38, band.top, client.right, band.bottom + 1));
    m_tab.SetActiveView(0);
    Repaint();
    EXPECT_TRUE(Button(1).dwFlags & XT_NAVBTN_DISABLED) << "left: the first tab is fully visible";
    EXPECT_FALSE(Button(2).dwFlags & XT_NAVBTN_DISABLED) << "right: more tabs beyond";
    EXPECT_TRUE(::IsRectEmpty(&Button(0).rc)) << "no close button";
    // The arrows' look: the band colour, a filled right arrow, a hollow left one.
    CRect right = Button(2).rc, left = Button(1).rc;
    Nav().MapWindowPoints(&m_tab, &right);
    Nav().MapWindowPoints(&m_tab, &left);
    EXPECT_EQ(At(nav.left + 1, nav.top + 1), Color(48));
    EXPECT_EQ(At(right.left + 5, right.top + 6), Color(49)) << "inside the enabled triangle";
    EXPECT_EQ(At(left.right - 7, left.top + 6), Color(48)) << "a disabled triangle is an outline";
    EXPECT_EQ(At(left.right - 5, left.top + 6), Color(49));

    // Held down: one tab at the press, another at each repeat of the timer.
    m_tab.m_onScroll = [&](int n) {
        if (n < 3)
            clock::Advance(150);
        else
            win::InjectMouseButton(win::MouseButton::Left, false);
    };
    Press(2);
    EXPECT_EQ(m_tab.m_scrolls, 3);
    EXPECT_EQ(FirstVisible(), 3);
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_FALSE(Button(2).dwFlags & XT_NAVBTN_PRESSED);
    Repaint();
    EXPECT_FALSE(Button(1).dwFlags & XT_NAVBTN_DISABLED) << "scrolled: the left arrow works";

    // Escape ends the press at once.
    m_tab.m_scrolls = 0;
    clock::Advance(1000);
    m_tab.m_onScroll = [&](int) {
        win::InjectKey(VK_ESCAPE, true);
        clock::Advance(150);
    };
    Press(1);
    EXPECT_EQ(m_tab.m_scrolls, 1);
    EXPECT_EQ(FirstVisible(), 2);
    EXPECT_EQ(::GetCapture(), nullptr);
    win::InjectKey(VK_ESCAPE, false);
    win::InjectMouseButton(win::MouseButton::Left, false);
    PumpPending();

    // Held until the end: the right arrow disables itself and scrolling stops
    // while the timer goes on; the release comes a tick later.
    m_tab.m_scrolls = 0;
    clock::Advance(1000);
    int endAt = -1;
    m_tab.m_onScroll = [&](int n) {
        clock::Advance(150);
        CRect last, tabClient;
        m_tab.GetItemRect(m_tab.GetItemCount() - 1, &last);
        m_tab.GetClientRect(&tabClient);
        if (endAt < 0 && last.right <= tabClient.Width() - 38) {
            endAt = n;
            m_host->Stage({[] { win::InjectMouseButton(win::MouseButton::Left, false); }});
        }
    };
    Press(2);
    EXPECT_GT(endAt, 0);
    EXPECT_EQ(m_tab.m_scrolls, endAt) << "no scroll once the last tab showed";
    Repaint();
    EXPECT_TRUE(Button(2).dwFlags & XT_NAVBTN_DISABLED);
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(TabStylesTest, TheCloseButtonActsOnlyOnAReleaseInsideAndWMQuitEndsThePress)
{
    MakeTabs(3, 0);
    Nav().m_dwButtons = XT_NAVBTNSET_ARROWS | XT_NAVBTNSET_CLOSE;
    Nav().Reposition();
    Repaint();
    ASSERT_FALSE(::IsRectEmpty(&Button(0).rc));
    CPoint at = CRect(Button(0).rc).CenterPoint();
    Nav().ClientToScreen(&at);

    // Released outside: nothing.
    win::InjectMouseMove(at.x, at.y);
    win::InjectMouseButton(win::MouseButton::Left, true);
    win::InjectMouseMove(at.x - 60, at.y + 80);
    win::InjectMouseButton(win::MouseButton::Left, false);
    PumpPending();
    EXPECT_TRUE(m_tab.m_commands.empty());
    clock::Advance(1000);
    // Released inside: the close command to the control.
    win::InjectMouseMove(at.x, at.y);
    win::InjectMouseButton(win::MouseButton::Left, true);
    win::InjectMouseButton(win::MouseButton::Left, false);
    PumpPending();
    ASSERT_EQ(m_tab.m_commands.size(), 1u);
    EXPECT_EQ(m_tab.m_commands[0], static_cast<UINT>(XT_IDC_TAB_CLOSE));
    clock::Advance(1000);

    // WM_QUIT during the press: the loop ends and the message is there again.
    m_host->Stage({[] { ::PostQuitMessage(7); }});
    win::InjectMouseMove(at.x, at.y);
    win::InjectMouseButton(win::MouseButton::Left, true);
    int quit = -1;
    MSG msg;
    for (int guard = 0; guard < 1000 && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++guard) {
        if (msg.message == WM_QUIT) {
            quit = static_cast<int>(msg.wParam);
            break;
        }
        ::DispatchMessageA(&msg);
    }
    EXPECT_EQ(quit, 7);
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(m_tab.m_commands.size(), 1u);
    win::InjectMouseButton(win::MouseButton::Left, false);
    PumpPending();
}
