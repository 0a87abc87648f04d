// The caption bar: its text and button rectangles, colours over a system
// colour change, the close button's command, the Office 2003 backgrounds,
// and the popup that holds the hidden pane (opened, closed once when the
// focus leaves, pinned back) on a driven clock.
#include "platform/base/Clock.h"
#include "platform/win/Hooks.h"
#include "platform/win/Input.h"
#include "platform/win/SystemProfile.h"
#include "tests/toolkit/ControlTestHost.h"
#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/controls/XTCaption.h"
#include "toolkit/controls/XTCaptionPopupWnd.h"
#include "toolkit/controls/XTDrawHelpers.h"
#include "toolkit/controls/XTGlobalData.h"
#include "toolkit/res/ToolkitIds.h"

#include <memory>

using namespace tavrin;
using tavrin::test::ColorText;
using tavrin::test::ControlTestHost;
using tavrin::test::FakeThemeLibrary;
using tavrin::test::PumpQueue;
using tavrin::test::SurfacePixel;
using tavrin::test::ColorIndex;

namespace {

constexpr UINT kCaptionId = 77;
const CRect kCaptionRect(10, 10, 210, 32);

class CaptionTest : public tavrin::test::ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        XTGetThemeManager()->SetTheme(xtThemeDefault);
        XTGetColorManager()->RefreshColors(FALSE);
        m_host = std::make_unique<ControlTestHost>();
        m_host->m_record = {WM_CAPTION_POPUP_CLOSE, WM_CAPTION_POPUP_PIN};
    }
    void TearDown() override
    {
        m_host.reset();
        FakeThemeLibrary::Uninstall();
        XTGetColorManager()->RefreshColors(FALSE);
        ToolkitTest::TearDown();
    }
    int Count(UINT message) const
    {
        int n = 0;
        for (const auto& m : m_host->m_messages)
            n += m.message == message;
        return n;
    }
    std::unique_ptr<ControlTestHost> m_host;
};

// Within a gradient's first rows.
bool Near(COLORREF a, COLORREF b)
{
    auto close = [](int x, int y) { return x - y <= 8 && y - x <= 8; };
    return close(GetRValue(a), GetRValue(b)) && close(GetGValue(a), GetGValue(b)) && close(GetBValue(a), GetBValue(b));
}

int TextWidth(CXTCaption& caption, const char* text)
{
    CClientDC dc(&caption);
    CXTFontSelector font(&dc, caption.GetFont());
    TEXTMETRICA tm{};
    dc.GetTextMetrics(&tm);
    return dc.GetTextExtent(text, static_cast<int>(strlen(text))).cx + tm.tmAveCharWidth + 12;
}

} // namespace

TEST_F(CaptionTest, TextRectWithAndWithoutAnIcon)
{
    CXTCaption caption;
    ASSERT_TRUE(caption.Create(m_host.get(), "Caption Text", 0, WS_CHILD | WS_VISIBLE, kCaptionRect, kCaptionId));
    PumpQueue();
    EXPECT_FALSE(caption.GetCaptionButton().IsWindowVisible()) << "no child window: no button";
    const int width = TextWidth(caption, "Caption Text");
    EXPECT_EQ(caption.GetTextRect(), CRect(0, 0, width, 22));
    EXPECT_EQ(caption.GetButtonRect(), caption.GetTextRect()) << "the text button covers the text";

    caption.ModifyCaptionStyle(3, nullptr, "A much longer caption text that cannot fit the strip");
    EXPECT_EQ(caption.GetTextRect(), CRect(3, 3, 3 + 200, 19)) << "cut to the client width";

    HICON icon = LoadIconA(nullptr, IDI_APPLICATION);
    caption.ModifyCaptionStyle(0, nullptr, nullptr, icon);
    EXPECT_EQ(caption.GetTextRect().Width(), 200 - 18) << "the icon takes 18 pixels";
    caption.ModifyCaptionStyle(0, nullptr, "Short");
    EXPECT_EQ(caption.GetTextRect().Width(), TextWidth(caption, "Short"));

    caption.ModifyCaptionStyle(0, nullptr, "");
    EXPECT_TRUE(caption.GetTextRect().IsRectEmpty());
}

TEST_F(CaptionTest, IconAtTheRightAndTextCentredInItsRect)
{
    CXTCaption caption;
    ASSERT_TRUE(caption.Create(m_host.get(), "Mm", 0, WS_CHILD | WS_VISIBLE, kCaptionRect, kCaptionId));
    caption.SetCaptionColors(RGB(0, 0, 0), RGB(0, 0, 160), RGB(255, 255, 0));
    HICON icon = tavrin::test::MakeSolidIcon(16, 16, RGB(0, 192, 0));
    ASSERT_NE(icon, nullptr);
    caption.ModifyCaptionStyle(0, nullptr, nullptr, icon);
    caption.UpdateWindow();
    const CSize size = caption.GetIconSize();
    const int x = 200 - size.cx - 2, y = (22 - size.cy) / 2;
    EXPECT_EQ(ColorText(SurfacePixel(caption.GetSafeHwnd(), x + size.cx / 2, y + size.cy / 2)), ColorText(RGB(0, 192, 0)))
        << "the icon 2 pixels from the right, centred";
    EXPECT_EQ(ColorText(SurfacePixel(caption.GetSafeHwnd(), x - 1, y + size.cy / 2)), ColorText(RGB(0, 0, 160)));
    EXPECT_EQ(ColorText(SurfacePixel(caption.GetSafeHwnd(), 199, 11)), ColorText(RGB(0, 0, 160)));
    // Text pixels lie only inside the text rect.
    const CRect text = caption.GetTextRect();
    int inked = 0, outside = 0;
    for (int py = 0; py < 22; ++py)
        for (int px = 0; px < x - 1; ++px) {
            const bool ink = SurfacePixel(caption.GetSafeHwnd(), px, py) != RGB(0, 0, 160);
            inked += ink;
            outside += ink && !text.PtInRect(CPoint(px, py));
        }
    EXPECT_GT(inked, 5);
    EXPECT_EQ(outside, 0);
    DestroyIcon(icon);
}

TEST_F(CaptionTest, FramesOfTheClassicStyle)
{
    struct Case {
        DWORD style;
        int border;
        COLORREF at00, at11, at22;
    };
    const COLORREF shadow = ColorIndex(16), hilite = ColorIndex(20);
    const COLORREF border = RGB(10, 20, 30), back = RGB(40, 50, 60);
    const Case cases[] = {
        {0, 0, back, back, back},
        {0, 2, border, border, back},
        {CPWS_EX_RAISED_EDGE, 0, hilite, back, back},
        {CPWS_EX_GROOVE_EDGE, 0, shadow, hilite, back},
        {CPWS_EX_GROOVE_EDGE, 3, shadow, hilite, border},
    };
    for (const Case& c : cases) {
        CXTCaption caption;
        ASSERT_TRUE(caption.Create(m_host.get(), "", c.style, WS_CHILD | WS_VISIBLE, kCaptionRect, kCaptionId));
        caption.SetCaptionColors(border, back, RGB(0, 0, 0));
        caption.ModifyCaptionStyle(c.border);
        caption.UpdateWindow();
        EXPECT_EQ(ColorText(SurfacePixel(caption.GetSafeHwnd(), 0, 0)), ColorText(c.at00)) << c.style << "/" << c.border;
        EXPECT_EQ(ColorText(SurfacePixel(caption.GetSafeHwnd(), 1, 1)), ColorText(c.at11)) << c.style << "/" << c.border;
        EXPECT_EQ(ColorText(SurfacePixel(caption.GetSafeHwnd(), 2, 2)), ColorText(c.at22)) << c.style << "/" << c.border;
        caption.DestroyWindow();
    }
}

TEST_F(CaptionTest, CustomColoursSurviveASystemColourChange)
{
    CXTCaption plain, custom;
    ASSERT_TRUE(plain.Create(m_host.get(), "p", 0, WS_CHILD | WS_VISIBLE, kCaptionRect, 1));
    ASSERT_TRUE(custom.Create(m_host.get(), "c", CPWS_EX_CLOSEBUTTON, WS_CHILD | WS_VISIBLE,
                              CRect(10, 40, 210, 62), 2));
    custom.SetCaptionColors(ColorIndex(15), ColorIndex(16), ColorIndex(5));
    const INT indexes[] = {COLOR_BTNFACE, COLOR_BTNTEXT};
    const COLORREF colours[] = {RGB(90, 100, 110), RGB(1, 2, 3)};
    ASSERT_TRUE(SetSysColors(2, indexes, colours));
    plain.SendMessage(WM_SYSCOLORCHANGE);
    custom.SendMessage(WM_SYSCOLORCHANGE);
    EXPECT_EQ(plain.GetBackgroundColor(), RGB(90, 100, 110));
    EXPECT_EQ(plain.GetBorderColor(), RGB(90, 100, 110));
    EXPECT_EQ(plain.GetTextColor(), RGB(1, 2, 3));
    EXPECT_EQ(custom.GetBackgroundColor(), ColorIndex(16));
    EXPECT_EQ(custom.GetTextColor(), ColorIndex(5));
    EXPECT_EQ(custom.GetCaptionButton().GetColorFace(), ColorIndex(16)) << "the button keeps the caption's face";
}

TEST_F(CaptionTest, CloseButtonClickCommandsTheOwner)
{
    CXTCaption caption;
    ASSERT_TRUE(caption.Create(m_host.get(), "Close me", CPWS_EX_CLOSEBUTTON, WS_CHILD | WS_VISIBLE, kCaptionRect,
                               kCaptionId));
    PumpQueue();
    CXTCaptionButton& button = caption.GetCaptionButton();
    ASSERT_TRUE(button.IsWindowVisible());
    EXPECT_EQ(button.GetDlgCtrlID(), XT_IDC_CAPTION_BUTTON);
    EXPECT_EQ(caption.GetButtonRect(), CRect(200 - 18, 3, 200 - 2, 18));
    CRect rc;
    button.GetWindowRect(&rc);
    caption.ScreenToClient(&rc);
    EXPECT_EQ(rc, caption.GetButtonRect()) << "placed when the caption is";
    EXPECT_EQ(button.GetImageSize(), CSize(16, 15));

    const CPoint at = test::ScreenOf(button.GetSafeHwnd(), 8, 7);
    win::InjectClick(at.x, at.y);
    PumpQueue();
    ASSERT_EQ(m_host->m_messages.size(), 1u);
    EXPECT_EQ(m_host->m_messages[0].wParam, MAKEWPARAM(kCaptionId, 0));
    EXPECT_EQ(m_host->m_messages[0].lParam, reinterpret_cast<LPARAM>(caption.GetSafeHwnd()));

    // A separate owner takes the command instead of the parent.
    ControlTestHost owner(CRect(500, 100, 600, 200));
    caption.SetOwner(&owner);
    m_host->m_messages.clear();
    win::InjectClick(at.x, at.y);
    PumpQueue();
    EXPECT_TRUE(m_host->m_messages.empty());
    EXPECT_EQ(owner.Codes(kCaptionId), std::vector<UINT>{0});
}

namespace {
HHOOK g_hook = nullptr;
LRESULT CALLBACK RefuseCaptionButton(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && GetDlgCtrlID(reinterpret_cast<HWND>(wParam)) == XT_IDC_CAPTION_BUTTON)
        return 1;
    return CallNextHookEx(g_hook, code, wParam, lParam);
}
} // namespace

TEST_F(CaptionTest, FailedButtonCreationFailsTheCaption)
{
    g_hook = SetWindowsHookExA(WH_CBT, RefuseCaptionButton, nullptr, GetCurrentThreadId());
    ASSERT_NE(g_hook, nullptr);
    for (DWORD style : {DWORD(0), CPWS_EX_CLOSEBUTTON}) {
        CXTCaption caption;
        EXPECT_FALSE(caption.Create(m_host.get(), "x", style, WS_CHILD | WS_VISIBLE, kCaptionRect, kCaptionId))
            << style;
    }
    UnhookWindowsHookEx(g_hook);
    CXTCaption caption;
    EXPECT_TRUE(caption.Create(m_host.get(), "x", CPWS_EX_CLOSEBUTTON, WS_CHILD | WS_VISIBLE, kCaptionRect,
                               kCaptionId));
}

TEST_F(CaptionTest, Office2003Backgrounds)
{
    FakeThemeLibrary::Install();
    XTGetColorManager()->RefreshColors(FALSE);
    CXTColorManager* colors = XTGetColorManager();
    const COLORREF line = ColorIndex(54);
    struct Case {
        BOOL gradient;
        COLORREF top;    // (5, 1)
        COLORREF corner; // (0, 0)
        COLORREF bottom; // (5, 21)
    } const cases[] = {
        {TRUE, colors->m_grcGradient1.clrLight, line, line},
        {FALSE, colors->m_grcGradient4.clrLight, colors->m_grcGradient4.clrLight, line},
    };
    for (const Case& c : cases) {
        CXTCaption caption;
        ASSERT_TRUE(caption.Create(m_host.get(), "", 0, WS_CHILD | WS_VISIBLE, kCaptionRect, kCaptionId));
        caption.SetTheme(new CXTCaptionThemeOffice2003(c.gradient));
        caption.UpdateWindow();
        EXPECT_EQ(ColorText(SurfacePixel(caption.GetSafeHwnd(), 0, 0)), ColorText(c.corner)) << c.gradient;
        EXPECT_TRUE(Near(SurfacePixel(caption.GetSafeHwnd(), 5, 1), c.top))
            << ColorText(SurfacePixel(caption.GetSafeHwnd(), 5, 1)) << " near " << ColorText(c.top);
        EXPECT_EQ(ColorText(SurfacePixel(caption.GetSafeHwnd(), 5, 21)), ColorText(c.bottom)) << c.gradient;
        EXPECT_NE(SurfacePixel(caption.GetSafeHwnd(), 5, 1), SurfacePixel(caption.GetSafeHwnd(), 5, 19)) << "a vertical gradient";
        auto* button = dynamic_cast<CXTCaptionButtonThemeOffice2003*>(caption.GetCaptionButton().GetTheme());
        ASSERT_NE(button, nullptr) << "the caption's style makes its button's";
        EXPECT_EQ(button->m_bGradient, c.gradient);
        caption.DestroyWindow();
    }
    // The shared styles: a classic button for id 0, the XP one for id 1, the
    // gradient caption for id 2.
    CXTCaption caption;
    ASSERT_TRUE(caption.Create(m_host.get(), "", 0, WS_CHILD | WS_VISIBLE, kCaptionRect, kCaptionId));
    EXPECT_NE(dynamic_cast<CXTCaptionButtonTheme*>(caption.GetCaptionButton().GetTheme()), nullptr);
    XTGetThemeManager()->SetTheme(xtThemeOfficeXP);
    EXPECT_NE(dynamic_cast<CXTCaptionButtonThemeOfficeXP*>(caption.GetCaptionButton().GetTheme()), nullptr);
    XTGetThemeManager()->SetTheme(xtThemeOffice2003);
    auto* style = dynamic_cast<CXTCaptionThemeOffice2003*>(caption.GetTheme());
    ASSERT_NE(style, nullptr);
    EXPECT_TRUE(style->m_bGradient);
    XTGetThemeManager()->SetTheme(xtThemeDefault);
}

namespace {

// host -> view (the child's parent) -> child; the caption sits above the view.
struct PopupScene {
    explicit PopupScene(ControlTestHost* host)
    {
        view.CreateEx(0, AfxRegisterWndClass(0), "view", WS_CHILD | WS_VISIBLE, CRect(10, 40, 210, 200), host, 5);
        child.CreateEx(0, AfxRegisterWndClass(0), "child", WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(0, 20, 200, 160),
                       &view, 6);
        other.CreateEx(0, AfxRegisterWndClass(0), "other", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                       CRect(220, 40, 300, 100), host, 7);
        caption.Create(host, "Pane", 0, WS_CHILD | WS_VISIBLE, CRect(10, 10, 210, 32), kCaptionId);
        caption.SetChildWindow(&child, host);
        PumpQueue();
    }
    void ClickButton()
    {
        const CPoint at = test::ScreenOf(caption.GetCaptionButton().GetSafeHwnd(), 5, 5);
        win::InjectClick(at.x, at.y);
        PumpQueue();
    }
    CWnd view, child, other;
    CXTCaption caption;
};

void Tick(int ms)
{
    clock::Advance(ms);
    PumpQueue();
}

} // namespace

TEST_F(CaptionTest, PopupOverTheViewClosedOnceWhenTheFocusLeaves)
{
    clock::ManualScope manual(1700000000);
    PopupScene scene(m_host.get());
    ASSERT_TRUE(scene.caption.GetCaptionButton().IsWindowVisible());
    EXPECT_EQ(scene.caption.GetButtonRect(), scene.caption.GetTextRect());

    scene.ClickButton();
    CXTCaptionPopupWnd* popup = scene.caption.GetPopupWnd();
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(popup->IsWindowVisible());
    CRect expected;
    scene.view.GetClientRect(&expected);
    expected.InflateRect(2 * GetSystemMetrics(SM_CXEDGE), 2 * GetSystemMetrics(SM_CYEDGE));
    scene.view.ClientToScreen(&expected);
    CRect shown;
    popup->GetWindowRect(&shown);
    EXPECT_EQ(shown, expected) << "over the view's recorded rect";
    EXPECT_EQ(scene.child.GetParent(), popup) << "the pane moved into the popup";
    EXPECT_TRUE(scene.caption.GetCaptionButton().GetState() & BST_PUSHED) << "the button stays pressed";
    const HWND popupHwnd = popup->GetSafeHwnd();

    // Shown, it takes the focus; the focus inside keeps it open.
    Tick(10);
    EXPECT_EQ(scene.caption.GetPopupWnd(), popup);
    scene.child.SetFocus();
    Tick(10);
    Tick(10);
    EXPECT_EQ(scene.caption.GetPopupWnd(), popup);
    EXPECT_EQ(Count(WM_CAPTION_POPUP_CLOSE), 0);

    // Elsewhere: one close, the pane back home.
    scene.other.SetFocus();
    Tick(10);
    Tick(10);
    Tick(10);
    EXPECT_EQ(scene.caption.GetPopupWnd(), nullptr);
    EXPECT_FALSE(IsWindow(popupHwnd));
    EXPECT_EQ(Count(WM_CAPTION_POPUP_CLOSE), 1);
    EXPECT_EQ(scene.child.GetParent(), &scene.view);
    EXPECT_FALSE(scene.caption.GetCaptionButton().GetState() & BST_PUSHED);

    // A request of a popup that is gone changes nothing.
    scene.ClickButton();
    ASSERT_NE(scene.caption.GetPopupWnd(), nullptr);
    scene.caption.PostMessage(WM_CAPTION_POPUP_CLOSE, 0, reinterpret_cast<LPARAM>(popupHwnd));
    scene.caption.PostMessage(WM_CAPTION_POPUP_PIN, 0, reinterpret_cast<LPARAM>(popupHwnd));
    PumpQueue();
    EXPECT_NE(scene.caption.GetPopupWnd(), nullptr);
    EXPECT_EQ(Count(WM_CAPTION_POPUP_CLOSE), 1);
    EXPECT_EQ(Count(WM_CAPTION_POPUP_PIN), 0);
}

TEST_F(CaptionTest, PinPutsThePaneBackWhereItWas)
{
    clock::ManualScope manual(1700000000);
    PopupScene scene(m_host.get());
    CRect before;
    scene.child.GetWindowRect(&before);
    scene.ClickButton();
    CXTCaptionPopupWnd* popup = scene.caption.GetPopupWnd();
    ASSERT_NE(popup, nullptr);
    scene.child.SetFocus();
    Tick(10);
    CXTCaptionButton& pin = popup->GetPinButton();
    ASSERT_TRUE(pin.IsWindowVisible());
    const CPoint at = test::ScreenOf(pin.GetSafeHwnd(), 5, 5);
    win::InjectClick(at.x, at.y);
    PumpQueue();
    Tick(10);
    EXPECT_EQ(scene.caption.GetPopupWnd(), nullptr);
    EXPECT_EQ(Count(WM_CAPTION_POPUP_PIN), 1);
    EXPECT_EQ(Count(WM_CAPTION_POPUP_CLOSE), 0);
    EXPECT_EQ(scene.child.GetParent(), &scene.view);
    CRect after;
    scene.child.GetWindowRect(&after);
    EXPECT_EQ(after, before);
    EXPECT_FALSE(scene.caption.GetCaptionButton().IsWindowVisible()) << "pinned: the text button goes";
}
