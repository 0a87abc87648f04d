// The search toolbar of the main window's shape on a real display: a
// framework frame whose site builds it, driven by the presenter's real
// pointer, keys and input-method text. Screen captures are saved at each
// step and their key pixels checked.
#include "platform/base/CodePage.h"
#include "platform/display/GtkPresenter.h"
#include "platform/gdi/Png.h"
#include "platform/gdi/Surface.h"
#include "platform/mfc/WinApp.h"
#include "tests/support/DisplayPump.h"
#include "tests/toolkit/SearchBarFrame.h"
#include "tests/toolkit/ToolBarTestFrame.h"
#include "toolkit/commandbars/XTPMouseManager.h"
#include "toolkit/commandbars/XTPPaintManager.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace tavrin;
using namespace tavrin::test;

namespace {

display::GtkPresenter* g_presenter = nullptr;

COLORREF Shown(HWND hwnd, int x, int y)
{
    HWND root = GetAncestor(hwnd, GA_ROOT);
    g_presenter->Flush();
    auto shot = g_presenter->CaptureWindow(root);
    POINT pt{x, y};
    MapWindowPoints(hwnd, root, &pt, 1);
    if (!shot || pt.x < 0 || pt.y < 0 || pt.x >= shot->Width() || pt.y >= shot->Height())
        return 0xFFFFFFFF;
    return ColorFromPixel(shot->GetPixel(pt.x, pt.y)) & 0xFFFFFF;
}

void Save(HWND top, const char* name)
{
    PumpUntil([] { return false; }, 150);
    g_presenter->Flush();
    if (auto shot = g_presenter->CaptureWindow(top))
        SavePng(*shot, name);
}

CString TextOf(CWnd* pWnd)
{
    CString strText;
    pWnd->GetWindowText(strText);
    return strText;
}

} // namespace

TEST(SearchBarDisplay, TypingTheDropDownAndTheCheckBox)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no display";
    g_presenter = display::StartGtkPresenter();
    ASSERT_TRUE(g_presenter);
    ScopedToolBarResources resources;
    CXTPPaintManager::SetTheme(1);
    CWinApp app;
    CSearchBarFrame frame;
    ASSERT_TRUE(frame.CreateWithSearchBar(WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(60, 60, 700, 360)));
    app.m_pMainWnd = &frame;
    HWND hFrame = frame.m_hWnd;
    SetPumpFilter([&](const MSG& msg) { return ::IsWindow(hFrame) && frame.PreTranslateMessage(const_cast<MSG*>(&msg)); });
    ASSERT_TRUE(PumpUntil([&] { return g_presenter->GetNativeWindow(hFrame) != 0; }, 5000));
    PumpUntil([] { return false; }, 300);
    frame.SetActiveWindow();
    frame.m_view.SetFocus();

    CXTPToolBar* pBar = frame.m_pSearchBar;
    CXTPControlComboBox* pCombo = frame.Combo();
    ASSERT_TRUE(pCombo && pCombo->GetEditCtrl());
    CXTPEdit* pEdit = pCombo->GetEditCtrl();
    CXTPControlComboBoxList* pList = pCombo->GetComboList();
    // A point of a bar's child, or of the bar, in the frame's client coordinates.
    auto inFrame = [&](HWND hwnd, CPoint pt) {
        ::MapWindowPoints(hwnd, hFrame, &pt, 1);
        return pt;
    };
    auto clickInto = [&]() {
        CRect rc;
        pEdit->GetClientRect(&rc);
        const CPoint pt = inFrame(pEdit->m_hWnd, rc.CenterPoint());
        // The pointer comes from elsewhere, as a hand would bring it.
        g_presenter->SimulatePointer(hFrame, pt.x, pt.y + 60);
        PumpUntil([] { return false; }, 100);
        g_presenter->SimulatePointer(hFrame, pt.x, pt.y);
        PumpUntil([] { return false; }, 100);
        g_presenter->SimulateClick(hFrame, pt.x, pt.y, 1);
        const bool bFocused = PumpUntil([&] { return ::GetFocus() == pEdit->m_hWnd; }, 5000);
        if (!bFocused)
            ADD_FAILURE() << "focus " << ::GetFocus() << " edit " << pEdit->m_hWnd << " view " << frame.m_view.m_hWnd
                          << " frame " << hFrame << " active " << ::GetActiveWindow() << " capture " << ::GetCapture()
                          << " tracking " << pBar->GetTrackingMode() << " locked "
                          << XTPMouseManager()->IsTrackingLocked() << " at " << pt.x << "," << pt.y;
        return bFocused;
    };

    // Typed letters and input-method text, then Enter: one notification.
    ASSERT_TRUE(clickInto());
    g_presenter->SimulateKey(hFrame, "a");
    g_presenter->SimulateKey(hFrame, "b");
    ASSERT_TRUE(PumpUntil([&] { return TextOf(pEdit) == "ab"; }, 5000)) << TextOf(pEdit).GetString();
    g_presenter->SimulateImeCommit(hFrame, GbkToUtf8("甲班"));
    ASSERT_TRUE(PumpUntil([&] { return TextOf(pEdit) == "ab甲班"; }, 5000)) << TextOf(pEdit).GetString();
    {
        CRect rc;
        pEdit->GetClientRect(&rc);
        EXPECT_TRUE(PumpUntil([&] {
            return Shown(pEdit->m_hWnd, rc.right - 2, rc.CenterPoint().y) == ::GetSysColor(COLOR_WINDOW);
        }, 3000));
    }
    Save(hFrame, "searchbar-typed.png");
    // Delete edits the box; the frame's Delete accelerator stays quiet.
    g_presenter->SimulateKey(hFrame, "Home");
    g_presenter->SimulateKey(hFrame, "Delete");
    ASSERT_TRUE(PumpUntil([&] { return TextOf(pEdit) == "b甲班"; }, 5000)) << TextOf(pEdit).GetString();
    g_presenter->SimulateKey(hFrame, "Return");
    ASSERT_TRUE(PumpUntil([&] { return !frame.m_searches.empty(); }, 5000));
    ASSERT_EQ(frame.m_searches.size(), 1u);
    EXPECT_EQ(frame.m_searches[0], "b甲班");
    EXPECT_TRUE(frame.m_commands.empty());

    // Escape gives the focus back to the view.
    frame.m_view.SetFocus();
    ASSERT_TRUE(clickInto());
    g_presenter->SimulateKey(hFrame, "Escape");
    EXPECT_TRUE(PumpUntil([&] { return ::GetFocus() == frame.m_view.m_hWnd; }, 5000));

    // F4 opens the list below the box, Escape closes it, the text stays.
    ASSERT_TRUE(clickInto());
    g_presenter->SimulateKey(hFrame, "F4");
    ASSERT_TRUE(PumpUntil([&] { return pList->IsWindowVisible() == TRUE; }, 5000));
    {
        CRect rcList, rcCombo = pCombo->GetRect();
        pList->GetWindowRect(&rcList);
        pBar->ClientToScreen(&rcCombo);
        EXPECT_EQ(rcList.top, rcCombo.bottom);
        EXPECT_EQ(rcList.Width(), 200);
    }
    Save(hFrame, "searchbar-list.png");
    if (auto shot = g_presenter->CaptureWindow(pList->m_hWnd))
        SavePng(*shot, "searchbar-list-popup.png");
    g_presenter->SimulateKey(hFrame, "Escape");
    ASSERT_TRUE(PumpUntil([&] { return !pList->IsWindowVisible(); }, 5000));
    EXPECT_EQ(TextOf(pEdit), "b甲班");
    EXPECT_EQ(frame.m_searches.size(), 1u);

    // The drop-down button pressed with the pointer, an item chosen.
    {
        const CRect rcCombo = pCombo->GetRect();
        const CPoint pt = inFrame(pBar->m_hWnd, CPoint(rcCombo.right - 4, rcCombo.CenterPoint().y));
        g_presenter->SimulateClick(hFrame, pt.x, pt.y, 1);
    }
    ASSERT_TRUE(PumpUntil([&] { return pList->IsWindowVisible() == TRUE; }, 5000));
    {
        CRect rcItem;
        pList->SendMessage(LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&rcItem));
        const CPoint pt = rcItem.CenterPoint();
        g_presenter->SimulatePointer(pList->m_hWnd, pt.x, pt.y);
        PumpUntil([&] { return pCombo->GetCurSel() == 2; }, 3000);
        g_presenter->SimulateClick(pList->m_hWnd, pt.x, pt.y, 1);
    }
    ASSERT_TRUE(PumpUntil([&] { return frame.m_searches.size() == 2; }, 5000));
    EXPECT_EQ(frame.m_searches[1], "留言");
    EXPECT_EQ(TextOf(pEdit), "留言");
    EXPECT_TRUE(PumpUntil([&] { return !pList->IsWindowVisible(); }, 5000));
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(frame.m_searches.size(), 2u);
    EXPECT_TRUE(frame.m_commands.empty());

    // The hosted check box: 7 pixels into its control, hot tracking, a real click.
    CXTPControlCustom* pCheck = frame.CheckControl();
    {
        CRect rcBox;
        frame.m_checkBox.GetWindowRect(&rcBox);
        pBar->ScreenToClient(&rcBox);
        EXPECT_EQ(rcBox.left, pCheck->GetRect().left + 7);
        g_presenter->SimulatePointer(hFrame, inFrame(frame.m_checkBox.m_hWnd, CPoint(6, 6)).x,
                                     inFrame(frame.m_checkBox.m_hWnd, CPoint(6, 6)).y);
        EXPECT_TRUE(PumpUntil([&] { return pBar->GetSelected() == pCheck; }, 5000));
        const CPoint pt = inFrame(frame.m_checkBox.m_hWnd, CPoint(6, 6));
        g_presenter->SimulateClick(hFrame, pt.x, pt.y, 1);
        EXPECT_TRUE(PumpUntil([&] { return frame.m_checkBox.GetCheck() == BST_CHECKED; }, 5000));
    }
    Save(hFrame, "searchbar-checked.png");

    // Docked on the left: the combo, its edit and the check box go.
    ASSERT_TRUE(pBar->SetPosition(xtpBarLeft));
    frame.RecalcLayout();
    EXPECT_TRUE(PumpUntil([&] { return !pEdit->IsWindowVisible() && !frame.m_checkBox.IsWindowVisible(); }, 5000));
    EXPECT_NE(pCombo->GetHideFlags(), 0u);
    Save(hFrame, "searchbar-vertical.png");

    SetPumpFilter(nullptr);
    frame.DestroyWindow();
}
