// The smiley picker headless: the 8 x 8 grid of 25-pixel cells opening flush
// above the button, a pick posted to the button's parent, the second press
// and a lost focus closing it, hover drawing, and no popup without pictures.
#include "app/ComposeEdit.h"
#include "app/SmileyPicker.h"
#include "platform/mfc/ImageList.h"
#include "platform/win/Input.h"
#include "platform/win/User.h"
#include "res/resource.h"
#include "tests/app/ComposeTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tavrin::test;

namespace {

class SmileyPickerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_view.CreateEx(0, AfxRegisterWndClass(0), "view", WS_POPUP | WS_VISIBLE, 300, 400, 400, 200,
                                    nullptr, nullptr));
        ASSERT_TRUE(m_button.Create("表情", WS_CHILD | WS_VISIBLE, CRect(200, 150, 260, 172), &m_view, IDC_SMILEY));
        ASSERT_TRUE(CreateSmileyImageList(m_images));
        Posted();
    }
    void TearDown() override
    {
        m_button.DestroyWindow();
        m_view.DestroyWindow();
    }
    // The WM_INSERT_SMILEY indexes posted to the view since the last call.
    std::vector<int> Posted()
    {
        std::vector<int> out;
        MSG msg;
        while (::PeekMessageA(&msg, m_view.m_hWnd, WM_INSERT_SMILEY, WM_INSERT_SMILEY, PM_REMOVE)) {
            EXPECT_EQ(msg.lParam, 0);
            out.push_back(static_cast<int>(msg.wParam));
        }
        return out;
    }
    // A press as the mouse makes it: the cursor is over the button.
    void Press()
    {
        CRect r;
        m_button.GetWindowRect(&r);
        ::SetCursorPos(r.left + 5, r.top + 5);
        m_button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    }
    // A click on an icon, the cursor over it.
    void Pick(CSmileyPopupWnd* popup, int index)
    {
        CRect r;
        popup->GetIconButton(index)->GetWindowRect(&r);
        ::SetCursorPos(r.left + 5, r.top + 5);
        popup->GetIconButton(index)->SendMessage(BM_CLICK);
    }
    bool Pressed() const { return (m_button.GetState() & BST_PUSHED) != 0; }
    CWnd m_view;
    CSmileyButton m_button;
    CImageList m_images;
};

} // namespace

TEST_F(SmileyPickerTest, TheGridOpensFlushAboveTheButton)
{
    EXPECT_EQ(m_images.GetImageCount(), 64);
    m_button.SetImageList(&m_images);
    Press();
    CSmileyPopupWnd* popup = m_button.GetPopup();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->IsWindowVisible());
    EXPECT_TRUE(popup->IsShown());
    EXPECT_TRUE(Pressed());
    EXPECT_EQ(::GetFocus(), popup->m_hWnd);
    EXPECT_EQ(popup->GetColumns(), 8);
    EXPECT_EQ(popup->GetRows(), 8);
    CRect button;
    m_button.GetWindowRect(&button);
    CRect frame;
    popup->GetWindowRect(&frame);
    EXPECT_EQ(frame, CRect(button.right - 200, button.top - 200, button.right, button.top));
    EXPECT_EQ(popup->GetParent(), nullptr);
    EXPECT_TRUE(popup->GetExStyle() & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(popup->GetStyle() & (WS_CAPTION | WS_BORDER));
    // One 21-pixel button per picture, 2 pixels inside its 25-pixel cell.
    for (int i : {0, 7, 8, 35, 63}) {
        CSmileyIconButton* icon = popup->GetIconButton(i);
        ASSERT_NE(icon, nullptr) << i;
        EXPECT_EQ(icon->GetDlgCtrlID(), 2000 + i);
        EXPECT_TRUE(icon->GetStyle() & BS_OWNERDRAW);
        CRect r;
        icon->GetWindowRect(&r);
        popup->ScreenToClient(&r);
        EXPECT_EQ(r, CRect(i % 8 * 25 + 2, i / 8 * 25 + 2, i % 8 * 25 + 23, i / 8 * 25 + 23)) << i;
    }
    EXPECT_EQ(popup->GetIconButton(64), nullptr);
    // Border, row lines and column lines as drawn.
    popup->UpdateWindow();
    HWND p = popup->m_hWnd;
    EXPECT_EQ(ShownPixel(p, 0, 0), Rgb(79, 107, 160));
    EXPECT_EQ(ShownPixel(p, 199, 100), Rgb(79, 107, 160));
    EXPECT_EQ(ShownPixel(p, 12, 25), Rgb(222, 222, 222));
    EXPECT_EQ(ShownPixel(p, 25, 12), Rgb(165, 182, 222));
    EXPECT_EQ(ShownPixel(p, 1, 25), Rgb(255, 255, 255)) << "row lines start 2 pixels in";
    EXPECT_EQ(Posted(), std::vector<int>{});
}

TEST_F(SmileyPickerTest, APickIsPostedAndTheSecondPressCloses)
{
    m_button.SetImageList(&m_images);
    Press();
    CSmileyPopupWnd* popup = m_button.GetPopup();
    ASSERT_NE(popup, nullptr);
    Pick(popup, 20);
    EXPECT_EQ(Posted(), std::vector<int>{20});
    EXPECT_FALSE(popup->IsWindowVisible());
    EXPECT_FALSE(popup->IsShown());
    EXPECT_FALSE(Pressed());

    // A press after a pick makes a new popup; a second press closes it unpicked.
    Press();
    ASSERT_NE(m_button.GetPopup(), nullptr);
    EXPECT_TRUE(m_button.GetPopup()->IsWindowVisible());
    Press();
    EXPECT_FALSE(m_button.GetPopup()->IsWindowVisible());
    EXPECT_FALSE(Pressed());
    EXPECT_EQ(Posted(), std::vector<int>{});
}

TEST_F(SmileyPickerTest, FocusLostOutsideDismissesWithMinusThree)
{
    m_button.SetImageList(&m_images);
    CRect button;
    m_button.GetWindowRect(&button);
    struct Case {
        const char* where;
        CPoint cursor;
        std::vector<int> posted;
    } cases[] = {
        {"over the button, whose press closes", button.CenterPoint(), {}},
        {"over an icon being clicked", CPoint(button.right - 200 + 12, button.top - 200 + 12), {}},
        {"elsewhere on the view", CPoint(310, 410), {-3}},
    };
    for (const Case& c : cases) {
        Press();
        CSmileyPopupWnd* popup = m_button.GetPopup();
        ASSERT_TRUE(popup && popup->IsShown()) << c.where;
        ::SetCursorPos(c.cursor.x, c.cursor.y);
        m_view.SetFocus();
        EXPECT_EQ(Posted(), c.posted) << c.where;
        EXPECT_EQ(popup->IsShown() != 0, c.posted.empty()) << c.where;
        if (popup->IsShown())
            Press(); // closes it for the next case
    }
}

TEST_F(SmileyPickerTest, HoverDrawsTheFrame)
{
    m_button.SetImageList(&m_images);
    Press();
    CSmileyPopupWnd* popup = m_button.GetPopup();
    ASSERT_NE(popup, nullptr);
    CSmileyIconButton* icon = popup->GetIconButton(9);
    popup->UpdateWindow();
    const DWORD before = ShownPixel(icon->m_hWnd, 0, 0);
    EXPECT_NE(before, Rgb(79, 107, 160));
    icon->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    icon->SendMessage(WM_MOUSEHOVER, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(icon->IsHovering());
    icon->UpdateWindow();
    EXPECT_EQ(ShownPixel(icon->m_hWnd, 0, 0), Rgb(79, 107, 160));
    EXPECT_EQ(ShownPixel(icon->m_hWnd, 20, 20), Rgb(79, 107, 160));
    icon->SendMessage(WM_MOUSELEAVE);
    EXPECT_FALSE(icon->IsHovering());
    icon->UpdateWindow();
    EXPECT_EQ(ShownPixel(icon->m_hWnd, 0, 0), before);
}

TEST_F(SmileyPickerTest, NoPicturesNoPopup)
{
    Press();
    EXPECT_EQ(m_button.GetPopup(), nullptr);
    EXPECT_FALSE(Pressed());
    CImageList empty;
    ASSERT_TRUE(empty.Create(21, 21, ILC_COLOR24 | ILC_MASK, 0, 0));
    m_button.SetImageList(&empty);
    Press();
    EXPECT_EQ(m_button.GetPopup(), nullptr);
    EXPECT_FALSE(Pressed());
}

TEST_F(SmileyPickerTest, TheButtonTakesItsPopupAlong)
{
    m_button.SetImageList(&m_images);
    Press();
    HWND popup = m_button.GetPopup()->m_hWnd;
    HWND icon = m_button.GetPopup()->GetIconButton(0)->m_hWnd;
    m_button.DestroyWindow();
    EXPECT_FALSE(::IsWindow(popup));
    EXPECT_FALSE(::IsWindow(icon));
    EXPECT_EQ(m_button.GetPopup(), nullptr);
}
