// Buttons, captions and the resizable dialog on a real desktop: the pointer
// and clicks come through the GTK presenter, the window manager resizes the
// dialog from its grip, and screenshots are checked at chosen pixels.
#include "platform/controls/CommCtrl.h"
#include "platform/display/GtkPresenter.h"
#include "platform/gdi/Png.h"
#include "tests/support/DisplayPump.h"
#include "tests/support/TestControls.h"
#include "tests/toolkit/ControlTestHost.h"
#include "toolkit/controls/XTButton.h"
#include "toolkit/controls/XTCaption.h"
#include "toolkit/controls/XTCaptionPopupWnd.h"
#include "toolkit/controls/XTResizeDialog.h"
#include "platform/mfc/FrameWnd.h"
#include "platform/mfc/Resource.h"
#include "tests/toolkit/ResizeTestForm.h"

#include <gtest/gtest.h>
#include <X11/Xlib.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

using namespace tavrin;
using tavrin::test::ControlTestHost;
using tavrin::test::PumpUntil;
using tavrin::test::ColorIndex;

namespace {

constexpr DWORD kFrameStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN;

std::string Text(COLORREF c)
{
    return std::to_string(GetRValue(c)) + ", " + std::to_string(GetGValue(c)) + ", " + std::to_string(GetBValue(c));
}

// A point of a control in its top-level window's client area.
CPoint InRoot(HWND control, int x, int y)
{
    POINT pt{x, y};
    MapWindowPoints(control, GetAncestor(control, GA_ROOT), &pt, 1);
    return CPoint(pt.x, pt.y);
}

class ToolkitDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no display";
        m_presenter = display::StartGtkPresenter();
        ASSERT_TRUE(m_presenter);
        InitCommonControls();
        XTGetThemeManager()->SetTheme(xtThemeDefault);
        XTGetColorManager()->RefreshColors(FALSE);
    }
    void TearDown() override { XTGetThemeManager()->SetTheme(xtThemeDefault); }

    // The colour the screen shows at a control's point once it equals the
    // expected one (or the last one seen after the time-out).
    COLORREF WaitPixel(HWND control, int x, int y, COLORREF expected)
    {
        HWND root = GetAncestor(control, GA_ROOT);
        const CPoint at = InRoot(control, x, y);
        COLORREF seen = CLR_INVALID;
        PumpUntil([&] {
            m_presenter->Flush();
            auto shot = m_presenter->CaptureWindow(root);
            if (!shot || at.x >= shot->Width() || at.y >= shot->Height())
                return false;
            seen = ColorFromPixel(shot->GetPixel(at.x, at.y)) & 0xFFFFFF;
            return seen == expected;
        }, 5000);
        return seen;
    }
    bool Shown(HWND hwnd)
    {
        return PumpUntil([&] {
            m_presenter->Flush();
            RECT client;
            GetClientRect(hwnd, &client);
            auto shot = m_presenter->CaptureWindow(hwnd);
            return shot && shot->Width() >= client.right && shot->Height() >= client.bottom;
        }, 5000);
    }
    void Settle(int ms) { PumpUntil([] { return false; }, ms); }
    // A screenshot of the window for a look by eye, next to the test's other output.
    void Save(HWND hwnd, const std::string& name)
    {
        m_presenter->Flush();
        if (auto shot = m_presenter->CaptureWindow(hwnd))
            SavePng(*shot, name.c_str());
    }

    display::GtkPresenter* m_presenter = nullptr;
};

} // namespace

TEST_F(ToolkitDisplay, ButtonsTurnHotAndPressedUnderTheRealPointerInEveryTheme)
{
    struct Case {
        int theme;
        CPoint where;   // the pixel checked, in the button
        COLORREF idle, hot, pressed;
    };
    const int w = 120, h = 32;
    const Case cases[] = {
        // Classic flat: no frame until hot; raised when hot, sunken when pressed.
        {xtThemeDefault, {0, 0}, ColorIndex(15), ColorIndex(20), ColorIndex(16)},
        // Office XP and 2003: the face changes.
        {xtThemeOfficeXP, {w / 2, 2}, ColorIndex(15), ColorIndex(31), ColorIndex(33)},
        {xtThemeOffice2003, {w / 2, 2}, ColorIndex(15), ColorIndex(31), ColorIndex(33)},
    };
    for (const Case& c : cases) {
        XTGetThemeManager()->SetTheme(c.theme);
        ControlTestHost host(CRect(80, 80, 380, 260), kFrameStyle);
        CXTButton button;
        ASSERT_TRUE(button.Create("&Press", WS_CHILD | WS_VISIBLE, CRect(20, 20, 20 + w, 20 + h), &host, 50));
        ASSERT_TRUE(Shown(host.GetSafeHwnd()));
        const HWND b = button.GetSafeHwnd();
        const CPoint centre = InRoot(b, w / 2, h - 6);
        const std::string theme = "theme " + std::to_string(c.theme);

        EXPECT_EQ(Text(WaitPixel(b, c.where.x, c.where.y, c.idle)), Text(c.idle)) << theme << " idle";
        ASSERT_TRUE(m_presenter->SimulatePointer(host.GetSafeHwnd(), centre.x, centre.y));
        EXPECT_EQ(Text(WaitPixel(b, c.where.x, c.where.y, c.hot)), Text(c.hot)) << theme << " hot";
        EXPECT_TRUE(button.IsHot());
        Save(host.GetSafeHwnd(), "button-theme" + std::to_string(c.theme) + "-hot.png");
        ASSERT_TRUE(m_presenter->SimulateButton(host.GetSafeHwnd(), centre.x, centre.y, 1, true));
        EXPECT_EQ(Text(WaitPixel(b, c.where.x, c.where.y, c.pressed)), Text(c.pressed)) << theme << " pressed";
        Save(host.GetSafeHwnd(), "button-theme" + std::to_string(c.theme) + "-pressed.png");
        ASSERT_TRUE(m_presenter->SimulateButton(host.GetSafeHwnd(), centre.x, centre.y, 1, false));
        EXPECT_TRUE(PumpUntil([&] { return host.Codes(50) == std::vector<UINT>{BN_CLICKED}; }, 5000)) << theme;
        ASSERT_TRUE(m_presenter->SimulatePointer(host.GetSafeHwnd(), 250, 150));
        EXPECT_EQ(Text(WaitPixel(b, c.where.x, c.where.y, c.idle)), Text(c.idle)) << theme << " left";
        EXPECT_FALSE(button.IsHot());
    }
}

TEST_F(ToolkitDisplay, ADoubleClickPressesTheButtonTwice)
{
    ControlTestHost host(CRect(80, 80, 380, 260), kFrameStyle);
    CXTButton button;
    ASSERT_TRUE(button.Create("Twice", WS_CHILD | WS_VISIBLE, CRect(20, 20, 140, 52), &host, 51));
    ASSERT_TRUE(Shown(host.GetSafeHwnd()));
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == host.GetSafeHwnd(); }, 5000));
    Settle(200);
    const CPoint at = InRoot(button.GetSafeHwnd(), 40, 16);
    // Two quick presses of the real pointer, which the window system turns
    // into a click and a double click. The first one is taken in full (its
    // capture released) before the second, well within the double-click time.
    for (size_t i = 1; i <= 2; ++i) {
        ASSERT_TRUE(m_presenter->SimulateButton(host.GetSafeHwnd(), at.x, at.y, 1, true));
        ASSERT_TRUE(m_presenter->SimulateButton(host.GetSafeHwnd(), at.x, at.y, 1, false));
        if (i == 1) {
            ASSERT_TRUE(PumpUntil([&] { return host.Codes(51).size() == 1 && GetCapture() == nullptr; }, 300));
        }
    }
    EXPECT_TRUE(PumpUntil([&] { return host.Codes(51).size() >= 3; }, 5000));
    Settle(200);
    EXPECT_EQ(host.Codes(51), (std::vector<UINT>{BN_CLICKED, BN_DOUBLECLICKED, BN_CLICKED}));
    EXPECT_FALSE(button.IsPushed());
}

TEST_F(ToolkitDisplay, CaptionsDrawInEveryThemeAndTheCloseButtonCommandsTheOwner)
{
    for (int theme : {xtThemeDefault, xtThemeOfficeXP, xtThemeOffice2003}) {
        XTGetThemeManager()->SetTheme(theme);
        XTGetColorManager()->RefreshColors(FALSE);
        ControlTestHost host(CRect(80, 80, 380, 260), kFrameStyle);
        CXTCaption caption;
        ASSERT_TRUE(caption.Create(&host, "Caption Text", CPWS_EX_CLOSEBUTTON, WS_CHILD | WS_VISIBLE,
                                   CRect(10, 10, 250, 32), 90));
        ASSERT_TRUE(Shown(host.GetSafeHwnd()));
        const COLORREF corner = theme == xtThemeOffice2003 ? ColorIndex(54) : ::GetSysColor(COLOR_BTNFACE);
        EXPECT_EQ(Text(WaitPixel(caption.GetSafeHwnd(), 0, 0, corner)), Text(corner)) << "theme " << theme;
        Save(host.GetSafeHwnd(), "caption-theme" + std::to_string(theme) + ".png");

        const CPoint at = InRoot(caption.GetCaptionButton().GetSafeHwnd(), 8, 7);
        ASSERT_TRUE(m_presenter->SimulateClick(host.GetSafeHwnd(), at.x, at.y, 1));
        EXPECT_TRUE(PumpUntil([&] { return !host.Codes(90).empty(); }, 5000)) << "theme " << theme;
        EXPECT_EQ(host.Codes(90), std::vector<UINT>{0});
        ASSERT_FALSE(host.m_messages.empty());
        EXPECT_EQ(host.m_messages.back().lParam, reinterpret_cast<LPARAM>(caption.GetSafeHwnd()));
    }
}

TEST_F(ToolkitDisplay, CaptionPopupClosesOnceWhenTheFocusLeavesAndPinsBack)
{
    ControlTestHost host(CRect(80, 80, 420, 340), kFrameStyle);
    host.m_record = {WM_CAPTION_POPUP_CLOSE, WM_CAPTION_POPUP_PIN};
    auto count = [&](UINT message) {
        int n = 0;
        for (const auto& m : host.m_messages)
            n += m.message == message;
        return n;
    };
    CWnd view, child, other;
    ASSERT_TRUE(view.CreateEx(0, AfxRegisterWndClass(0, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)), "view",
                              WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, CRect(10, 40, 230, 220), &host, 5));
    ASSERT_TRUE(child.CreateEx(WS_EX_CLIENTEDGE, "EDIT", "pane", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                               CRect(0, 20, 220, 180), &view, 6));
    ASSERT_TRUE(other.CreateEx(WS_EX_CLIENTEDGE, "EDIT", "other", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                               CRect(240, 40, 320, 64), &host, 7));
    CXTCaption caption;
    ASSERT_TRUE(caption.Create(&host, "Pane", 0, WS_CHILD | WS_VISIBLE, CRect(10, 10, 230, 32), 91));
    caption.SetChildWindow(&child, &host);
    ASSERT_TRUE(Shown(host.GetSafeHwnd()));
    CRect before;
    child.GetWindowRect(&before);

    auto open = [&] {
        const CPoint at = InRoot(caption.GetCaptionButton().GetSafeHwnd(), 6, 6);
        return m_presenter->SimulateClick(host.GetSafeHwnd(), at.x, at.y, 1) &&
               PumpUntil([&] { return caption.GetPopupWnd() && caption.GetPopupWnd()->IsWindowVisible(); }, 5000);
    };
    ASSERT_TRUE(open());
    CXTCaptionPopupWnd* popup = caption.GetPopupWnd();
    CRect expected;
    view.GetClientRect(&expected);
    expected.InflateRect(2 * GetSystemMetrics(SM_CXEDGE), 2 * GetSystemMetrics(SM_CYEDGE));
    view.ClientToScreen(&expected);
    CRect shown;
    popup->GetWindowRect(&shown);
    EXPECT_EQ(shown, expected);
    EXPECT_TRUE(Shown(popup->GetSafeHwnd()));
    Settle(200);
    EXPECT_EQ(caption.GetPopupWnd(), popup) << "open while the focus is in it";
    Save(popup->GetSafeHwnd(), "caption-popup.png");

    // A click on another window: closed once.
    const CPoint elsewhere = InRoot(other.GetSafeHwnd(), 10, 10);
    ASSERT_TRUE(m_presenter->SimulateClick(host.GetSafeHwnd(), elsewhere.x, elsewhere.y, 1));
    EXPECT_TRUE(PumpUntil([&] { return caption.GetPopupWnd() == nullptr; }, 5000));
    Settle(200);
    EXPECT_EQ(count(WM_CAPTION_POPUP_CLOSE), 1);
    EXPECT_EQ(child.GetParent(), &view);

    // The pin puts the pane back where it was.
    ASSERT_TRUE(open());
    popup = caption.GetPopupWnd();
    CXTCaptionButton& pin = popup->GetPinButton();
    ASSERT_TRUE(Shown(popup->GetSafeHwnd()));
    CRect pinRect;
    pin.GetWindowRect(&pinRect);
    CRect popupClient;
    popup->GetClientRect(&popupClient);
    popup->ClientToScreen(&popupClient);
    const CPoint pinAt(pinRect.left - popupClient.left + 5, pinRect.top - popupClient.top + 5);
    ASSERT_TRUE(m_presenter->SimulateClick(popup->GetSafeHwnd(), pinAt.x, pinAt.y, 1));
    EXPECT_TRUE(PumpUntil([&] { return caption.GetPopupWnd() == nullptr; }, 5000));
    Settle(100);
    EXPECT_EQ(count(WM_CAPTION_POPUP_PIN), 1);
    EXPECT_EQ(count(WM_CAPTION_POPUP_CLOSE), 1);
    EXPECT_EQ(child.GetParent(), &view);
    CRect after;
    child.GetWindowRect(&after);
    EXPECT_EQ(after, before);
}

namespace {

enum { IDC_RIGHT = 101, IDC_GROW, IDC_HALF, IDC_GROUP };

class GripDialog : public CXTResizeDialog {
public:
    GripDialog() : CXTResizeDialog(0, nullptr, 0)
    {
        m_builder = std::make_unique<tavrin::test::TemplateBuilder>(
            "缩放", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VISIBLE, 40, 40, 200, 140, "宋体", 9);
        const DWORD child = WS_CHILD | WS_VISIBLE;
        m_builder->Add("STATIC", "right", IDC_RIGHT, child | SS_BLACKRECT, 10, 10, 30, 10)
            .Add("STATIC", "grow", IDC_GROW, child | SS_GRAYRECT, 10, 30, 40, 20)
            .Add("STATIC", "half", IDC_HALF, child | SS_BLACKRECT, 10, 60, 30, 10)
            .Add("BUTTON", "组", IDC_GROUP, child | BS_GROUPBOX, 100, 10, 80, 60);
        CreateIndirect(m_builder->Get(), nullptr);
    }
    BOOL OnInitDialog() override
    {
        CXTResizeDialog::OnInitDialog();
        SetResize(IDC_RIGHT, nullptr, CXTAnchorRect(1, 0, 1, 0));
        SetResize(IDC_GROW, nullptr, CXTAnchorRect(0, 0, 1, 1));
        SetResize(IDC_HALF, nullptr, CXTAnchorRect(0.5f, 0, 0.5f, 0));
        SetResize(IDC_GROUP, nullptr, CXTAnchorRect(0, 0, 1, 1));
        return TRUE;
    }
    CRect Item(UINT id) const { return tavrin::test::ChildRect(this, id); }
    std::unique_ptr<tavrin::test::TemplateBuilder> m_builder;
};

} // namespace

TEST_F(ToolkitDisplay, ResizableDialogKeepsItsAnchorsWhileTheDesktopResizesIt)
{
    GripDialog dialog;
    ASSERT_TRUE(dialog.GetSafeHwnd());
    ASSERT_TRUE(Shown(dialog.GetSafeHwnd()));
    Settle(300);
    const CRect right = dialog.Item(IDC_RIGHT), grow = dialog.Item(IDC_GROW), half = dialog.Item(IDC_HALF);
    const CRect group = dialog.Item(IDC_GROUP);
    CRect before;
    dialog.GetWindowRect(&before);
    CRect client;
    dialog.GetClientRect(&client);

    // Drag the grip 100 right and 50 down: the desktop resizes the window.
    const CPoint at(client.right - 6, client.bottom - 6);
    ASSERT_TRUE(m_presenter->SimulateButton(dialog.GetSafeHwnd(), at.x, at.y, 1, true));
    Settle(300);
    ASSERT_TRUE(m_presenter->SimulatePointer(dialog.GetSafeHwnd(), at.x + 100, at.y + 50));
    Settle(300);
    ASSERT_TRUE(m_presenter->SimulateButton(dialog.GetSafeHwnd(), at.x + 100, at.y + 50, 1, false));
    CRect after;
    ASSERT_TRUE(PumpUntil([&] {
        dialog.GetWindowRect(&after);
        return after.Width() >= before.Width() + 60 && after.Height() >= before.Height() + 30;
    }, 5000)) << "width " << after.Width() << " was " << before.Width();
    Settle(300);
    dialog.GetWindowRect(&after);
    const int dx = after.Width() - before.Width(), dy = after.Height() - before.Height();

    EXPECT_EQ(dialog.Item(IDC_RIGHT), CRect(right.left + dx, right.top, right.right + dx, right.bottom));
    EXPECT_EQ(dialog.Item(IDC_GROW), CRect(grow.left, grow.top, grow.right + dx, grow.bottom + dy));
    EXPECT_EQ(dialog.Item(IDC_HALF).left, half.left + dx / 2) << "dx " << dx;
    EXPECT_EQ(dialog.Item(IDC_HALF).Width(), half.Width());
    CRect grip;
    dialog.GetSizeGrip().GetWindowRect(&grip);
    dialog.ScreenToClient(&grip);
    CRect nowClient;
    dialog.GetClientRect(&nowClient);
    EXPECT_EQ(grip.BottomRight(), CPoint(nowClient.right - 1, nowClient.bottom - 1)) << "the grip stays in the corner";

    // The screen: the moved block at its new place, the old place and the
    // group box's old right edge cleared.
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(Text(WaitPixel(dialog.GetSafeHwnd(), right.left + dx + 2, right.top + 2, RGB(0, 0, 0))),
              Text(RGB(0, 0, 0)));
    EXPECT_EQ(Text(WaitPixel(dialog.GetSafeHwnd(), right.left + 2, right.top + 2, face)), Text(face));
    EXPECT_EQ(Text(WaitPixel(dialog.GetSafeHwnd(), group.right - 1, group.top + 30, face)), Text(face))
        << "no trail of the group box";
    Save(dialog.GetSafeHwnd(), "resize-dialog-grown.png");

    // Smaller than it started: the desktop stops at the minimum size.
    dialog.GetClientRect(&client);
    const CPoint corner(client.right - 6, client.bottom - 6);
    ASSERT_TRUE(m_presenter->SimulateButton(dialog.GetSafeHwnd(), corner.x, corner.y, 1, true));
    Settle(300);
    ASSERT_TRUE(m_presenter->SimulatePointer(dialog.GetSafeHwnd(), corner.x - 250, corner.y - 200));
    Settle(300);
    ASSERT_TRUE(m_presenter->SimulateButton(dialog.GetSafeHwnd(), corner.x - 250, corner.y - 200, 1, false));
    CRect smallest;
    PumpUntil([&] {
        dialog.GetWindowRect(&smallest);
        return smallest.Width() < after.Width();
    }, 5000);
    Settle(300);
    dialog.GetWindowRect(&smallest);
    EXPECT_GE(smallest.Width(), before.Width());
    EXPECT_GE(smallest.Height(), before.Height());
    EXPECT_EQ(dialog.Item(IDC_RIGHT).TopLeft(), right.TopLeft() + CSize(smallest.Width() - before.Width(), 0));
    dialog.DestroyWindow();
}

namespace {

// A pager's request to the window manager: the window's new size.
bool AskDesktopToResize(unsigned long window, int width, int height)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display || !window)
        return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "_NET_MOVERESIZE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 10 /* static gravity */ | (1 << 10) | (1 << 11) | (2 << 12) /* from a pager */;
    event.xclient.data.l[3] = width;
    event.xclient.data.l[4] = height;
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(display);
    XCloseDisplay(display);
    return true;
}

} // namespace

TEST_F(ToolkitDisplay, FormViewKeepsItsAnchorsWhileItsFrameIsResizedOnScreen)
{
    HINSTANCE old = AfxGetResourceHandle();
    HMODULE module = tavrin::win::CreateResourceModule(TavrinMfcFixtureResources());
    AfxSetResourceHandle(module);
    auto* frame = new CFrameWnd; // frees itself when destroyed
    ASSERT_TRUE(frame->Create(nullptr, "表单", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(60, 60, 260, 200)));
    auto* form = new tavrin::test::TestResizeForm;
    ASSERT_TRUE(form->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), frame, AFX_IDW_PANE_FIRST));
    frame->RecalcLayout();
    ASSERT_TRUE(Shown(frame->GetSafeHwnd()));
    const CSize total = form->GetTotalSize();
    const CRect name = form->Item(IDC_FORM_NAME), check = form->Item(IDC_FORM_CHECK);
    EXPECT_TRUE(form->GetStyle() & (WS_HSCROLL | WS_VSCROLL)) << "smaller than its form: it scrolls";

    // The desktop makes the frame larger than the form.
    CRect frameRect, client;
    frame->GetWindowRect(&frameRect);
    form->GetClientRect(&client);
    const int wantW = frameRect.Width() + (total.cx - client.Width()) + 120;
    const int wantH = frameRect.Height() + (total.cy - client.Height()) + 60;
    ASSERT_TRUE(AskDesktopToResize(m_presenter->GetNativeWindow(frame->GetSafeHwnd()), wantW, wantH));
    ASSERT_TRUE(PumpUntil([&] {
        CRect rc;
        form->GetClientRect(&rc);
        return rc.Width() >= total.cx + 60 && rc.Height() >= total.cy + 30;
    }, 5000)) << [&] {
        CRect f, c, v;
        frame->GetWindowRect(&f);
        frame->GetClientRect(&c);
        form->GetWindowRect(&v);
        return "frame " + std::to_string(f.Width()) + "x" + std::to_string(f.Height()) + " client " +
               std::to_string(c.Width()) + "x" + std::to_string(c.Height()) + " view " + std::to_string(v.Width()) +
               "x" + std::to_string(v.Height()) + " want " + std::to_string(wantW) + "x" + std::to_string(wantH) +
               " total " + std::to_string(total.cx) + "x" + std::to_string(total.cy);
    }();
    Settle(300);
    CRect now;
    form->GetClientRect(&now);
    const int dx = now.Width() - total.cx, dy = now.Height() - total.cy;
    EXPECT_EQ(form->Item(IDC_FORM_NAME), CRect(name.left, name.top, name.right + dx, name.bottom));
    EXPECT_EQ(form->Item(IDC_FORM_CHECK), check + CPoint(0, dy));

    // On screen: the check box drawn at its new place, its old place cleared.
    const HWND formWnd = form->GetSafeHwnd();
    const COLORREF face = tavrin::test::SurfacePixel(formWnd, now.right - 3, 3);
    auto inked = [&](const CRect& rc) {
        int n = 0;
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.left + 12; ++x)
                n += tavrin::test::SurfacePixel(formWnd, x, y) != face;
        return n;
    };
    m_presenter->Flush();
    EXPECT_GT(inked(check + CPoint(0, dy)), 5);
    Save(frame->GetSafeHwnd(), "form-view-grown.png");
    EXPECT_EQ(inked(check), 0);
    frame->DestroyWindow();
    AfxSetResourceHandle(old);
    tavrin::win::DestroyResourceModule(module);
}
