// Customize mode in a frame that allows it: dragging controls between
// toolbars (moves, copies, cancels, drops outside every bar), the group
// lines a move leaves behind, the drop marker, a menu dropped on itself,
// resizing a control by its edge and a quit inside each loop.
#include "ToolkitTestSupport.h"

#include "tests/toolkit/CommandBarTestSupport.h"
#include "tests/toolkit/ToolBarTestFrame.h"

#include "platform/mfc/WinApp.h"
#include "platform/win/Input.h"
#include "platform/win/WinMessage.h"
#include "toolkit/commandbars/XTPCommandBarsOptions.h"
#include "toolkit/commandbars/XTPControlButton.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPCustomizeDropSource.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPToolBar.h"
#include "toolkit/controls/XTColorManager.h"

#include <vector>

using tavrin::test::CToolBarTestFrame;
using tavrin::test::ScopedTestTheme;
using tavrin::test::ScopedToolBarResources;

namespace {

// A control that can be resized by its edge, as edit boxes are.
class CSizableButton : public CXTPControlButton {
public:
    int m_nWidth = 0;
    BOOL IsCustomizeResizeAllow() const override { return TRUE; }
    int GetCustomizeMinWidth() const override { return 20; }
    void SetWidth(int nWidth) override { m_nWidth = nWidth; }
};

class CustomizeTest : public tavrin::test::ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        m_pResources = new ScopedToolBarResources;
        m_pTheme = new ScopedTestTheme;
        m_pFrame = new CToolBarTestFrame;
        m_pFrame->m_bCustomize = TRUE;
        ASSERT_TRUE(m_pFrame->Create(nullptr, "frame", WS_OVERLAPPEDWINDOW, CRect(0, 0, 800, 400)));
        ASSERT_TRUE(m_pFrame->InitCommandBars(RUNTIME_CLASS(CXTPCommandBars)));
        m_pFrame->ShowWindow(SW_SHOWNA);
        Bars()->GetOptions()->bShowExpandButtonAlways = FALSE;
        m_pStandard = Bars()->Add("标准", xtpBarTop);
        ASSERT_TRUE(m_pStandard->LoadToolBar(IDT_STANDARD));
        m_pSearch = Bars()->Add("搜索", xtpBarTop);
        ASSERT_TRUE(m_pSearch->LoadToolBar(IDT_SEARCH));
        m_pFrame->RecalcLayout();
        Bars()->SetCustomizeMode(TRUE);
        FlushQueue();
    }
    void TearDown() override
    {
        FlushQueue();
        if (::IsWindow(m_pFrame->m_hWnd))
            m_pFrame->DestroyWindow();
        delete m_pFrame;
        delete m_pTheme;
        delete m_pResources;
        ToolkitTest::TearDown();
    }
    static void FlushQueue()
    {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message != WM_QUIT)
                ::DispatchMessageA(&msg);
    }
    CXTPCommandBars* Bars() const { return m_pFrame->GetCommandBars(); }
    static std::vector<int> Ids(CXTPCommandBar* pBar)
    {
        std::vector<int> ids;
        for (int i = 0; i < pBar->GetControlCount(); ++i)
            ids.push_back(pBar->GetControl(i)->GetID());
        return ids;
    }
    // A point of the bar's client area in the frame's client coordinates.
    CPoint InFrame(CWnd* pWnd, CPoint pt) const
    {
        pWnd->ClientToScreen(&pt);
        m_pFrame->ScreenToClient(&pt);
        return pt;
    }
    // The index of the bar's last shown control (its chevron is hidden).
    static int LastShown(CXTPCommandBar* pBar)
    {
        int nLast = -1;
        for (int i = 0; i < pBar->GetControlCount(); ++i)
            if (pBar->GetControl(i)->IsVisible())
                nLast = i;
        return nLast;
    }
    // The right half of the bar's last shown control.
    CPoint AfterLast(CXTPCommandBar* pBar) const
    {
        const CRect rc = pBar->GetControl(LastShown(pBar))->GetRect();
        return InFrame(pBar, CPoint(rc.right - 2, rc.CenterPoint().y));
    }
    void Post(UINT message, WPARAM wParam, CPoint pt = CPoint(0, 0))
    {
        ::PostMessageA(m_pFrame->m_hWnd, message, wParam, MAKELPARAM(pt.x, pt.y));
    }

    ScopedToolBarResources* m_pResources = nullptr;
    ScopedTestTheme* m_pTheme = nullptr;
    CToolBarTestFrame* m_pFrame = nullptr;
    CXTPToolBar* m_pStandard = nullptr;
    CXTPToolBar* m_pSearch = nullptr;
};

} // namespace

TEST_F(CustomizeTest, DragResultsByHowTheDragEnds)
{
    enum End { kReleaseOutside, kReleaseOverSearch, kCtrlReleaseOverSearch, kEscape, kRightButton, kCtrlKeyThenRelease };
    struct Case {
        const char* what;
        End end;
        int nResult;
        BOOL bSearchGetsCopy;
    };
    const Case cases[] = {
        {"release outside every bar", kReleaseOutside, XTP_DROPEFFECT_NONE, FALSE},
        {"release over another toolbar", kReleaseOverSearch, XTP_DROPEFFECT_MOVE, TRUE},
        {"Ctrl held while releasing", kCtrlReleaseOverSearch, XTP_DROPEFFECT_COPY, TRUE},
        {"Ctrl pressed during the drag", kCtrlKeyThenRelease, XTP_DROPEFFECT_COPY, TRUE},
        {"Escape", kEscape, XTP_DRAG_CANCELLED, FALSE},
        {"the right button", kRightButton, XTP_DRAG_CANCELLED, FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<int> standard = Ids(m_pStandard), search = Ids(m_pSearch);
        CXTPControl* pDragged = m_pStandard->GetControl(0);
        const CPoint ptSearch = AfterLast(m_pSearch);
        const CPoint ptOutside(400, 350);
        const int nInsertAt = LastShown(m_pSearch) + 1;
        switch (c.end) {
        case kReleaseOutside:
            Post(WM_MOUSEMOVE, MK_LBUTTON, ptOutside);
            Post(WM_LBUTTONUP, 0, ptOutside);
            break;
        case kReleaseOverSearch:
            Post(WM_MOUSEMOVE, MK_LBUTTON, ptSearch);
            Post(WM_LBUTTONUP, 0, ptSearch);
            break;
        case kCtrlReleaseOverSearch:
            Post(WM_MOUSEMOVE, MK_LBUTTON | MK_CONTROL, ptSearch);
            Post(WM_LBUTTONUP, MK_CONTROL, ptSearch);
            break;
        case kCtrlKeyThenRelease:
            Post(WM_MOUSEMOVE, MK_LBUTTON, ptSearch);
            Post(WM_KEYDOWN, VK_CONTROL);
            Post(WM_LBUTTONUP, MK_CONTROL, ptSearch);
            break;
        case kEscape:
            Post(WM_MOUSEMOVE, MK_LBUTTON, ptSearch);
            Post(WM_KEYDOWN, VK_ESCAPE);
            break;
        case kRightButton:
            Post(WM_MOUSEMOVE, MK_LBUTTON, ptSearch);
            Post(WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, ptSearch);
            break;
        }
        EXPECT_EQ(Bars()->GetDropSource()->DoDragDrop(pDragged), c.nResult);
        EXPECT_EQ(::GetCapture(), nullptr);
        EXPECT_EQ(Ids(m_pStandard), standard) << "the drag alone never removes the source";
        std::vector<int> expected = search;
        if (c.bSearchGetsCopy)
            expected.insert(expected.begin() + nInsertAt, pDragged->GetID());
        EXPECT_EQ(Ids(m_pSearch), expected);
        EXPECT_TRUE(m_pSearch->GetDropMarker().IsRectEmpty());
        FlushQueue();
        // Back to the search bar's own controls for the next case.
        if (c.bSearchGetsCopy)
            m_pSearch->GetControls()->Remove(nInsertAt);
    }
}

TEST_F(CustomizeTest, AMoveBetweenToolbarsKeepsTheGroupLines)
{
    // The first control after a separator begins a group.
    int nGroup = -1;
    for (int i = 1; i + 1 < m_pStandard->GetControlCount(); ++i)
        if (m_pStandard->GetControl(i)->GetBeginGroup()) {
            nGroup = i;
            break;
        }
    ASSERT_GT(nGroup, 0);
    CXTPControl* pMoved = m_pStandard->GetControl(nGroup);
    const int nMovedID = pMoved->GetID();
    const int nNextID = m_pStandard->GetControl(nGroup + 1)->GetID();
    ASSERT_FALSE(m_pStandard->GetControl(nGroup + 1)->GetBeginGroup());
    const CPoint ptSearch = AfterLast(m_pSearch);
    Post(WM_MOUSEMOVE, MK_LBUTTON, ptSearch);
    Post(WM_LBUTTONUP, 0, ptSearch);
    pMoved->OnCustomizeMouseDown(pMoved->GetRect().CenterPoint());
    EXPECT_EQ(m_pStandard->GetControls()->FindControl(nMovedID), nullptr);
    CXTPControl* pNext = m_pStandard->GetControls()->FindControl(nNextID);
    ASSERT_TRUE(pNext);
    EXPECT_TRUE(pNext->GetBeginGroup()) << "the group line stays where it was";
    CXTPControl* pLanded = m_pSearch->GetControl(LastShown(m_pSearch));
    EXPECT_EQ(pLanded->GetID(), nMovedID);
    EXPECT_FALSE(pLanded->GetBeginGroup());
    EXPECT_EQ(Bars()->GetDragControl(), pLanded);

    // Moving the first control away: the new first one has no group line.
    m_pStandard->GetControl(1)->SetBeginGroup(TRUE);
    CXTPControl* pFirst = m_pStandard->GetControl(0);
    Post(WM_MOUSEMOVE, MK_LBUTTON, CPoint(400, 350));
    Post(WM_LBUTTONUP, 0, CPoint(400, 350));
    pFirst->OnCustomizeMouseDown(pFirst->GetRect().CenterPoint());
    EXPECT_FALSE(m_pStandard->GetControl(0)->GetBeginGroup());
}

TEST_F(CustomizeTest, DropMarkerIsDrawnBetweenControls)
{
    tavrin::win::SetSystemColor(COLOR_BTNFACE, RGB(255, 0, 255));
    XTGetColorManager()->RefreshColors();
    const COLORREF clrMarker = XTGetColorManager()->GetColor(15);
    ASSERT_NE(clrMarker, tavrin::test::kBarFill);
    CXTPControl* pSecond = m_pSearch->GetControl(1);
    const CRect rcSecond = pSecond->GetRect();
    // Over the left half of the second control: before it.
    const CPoint pt(rcSecond.left + 2, rcSecond.CenterPoint().y);
    ASSERT_TRUE(m_pSearch->IsCustomizeDragEnter(m_pStandard->GetControl(0), pt));
    m_pSearch->OnCustomizeDragOver(m_pStandard->GetControl(0), pt);
    const CRect rcMarker = m_pSearch->GetDropMarker();
    EXPECT_EQ(rcMarker, CRect(rcSecond.left - 3, rcSecond.top, rcSecond.left + 3, rcSecond.bottom));
    CRect rcClient;
    m_pSearch->GetClientRect(&rcClient);
    tavrin::test::Canvas canvas(rcClient.Width(), rcClient.Height());
    m_pSearch->DrawCommandBar(canvas.DC(), rcClient);
    const int x = rcMarker.CenterPoint().x;
    EXPECT_EQ(canvas.At(x, rcMarker.CenterPoint().y), clrMarker) << "the stem";
    EXPECT_EQ(canvas.At(rcMarker.left, rcMarker.top), clrMarker) << "the top end";
    EXPECT_EQ(canvas.At(rcMarker.right - 1, rcMarker.bottom - 1), clrMarker) << "the bottom end";
    m_pSearch->ClearDropMarker();
    tavrin::test::Canvas after(rcClient.Width(), rcClient.Height());
    m_pSearch->DrawCommandBar(after.DC(), rcClient);
    EXPECT_NE(after.At(rcMarker.left, rcMarker.top), clrMarker);
}

TEST_F(CustomizeTest, AMenuIsNeverDroppedIntoItself)
{
    auto* pMenu = static_cast<CXTPControlPopup*>(m_pSearch->GetControls()->Add(xtpControlPopup, 900));
    CXTPPopupBar* pPopupBar = CXTPPopupBar::CreatePopupBar(Bars());
    auto* pInner = static_cast<CXTPControlPopup*>(pPopupBar->GetControls()->Add(xtpControlPopup, 901));
    CXTPPopupBar* pInnerBar = CXTPPopupBar::CreatePopupBar(Bars());
    pInner->SetCommandBar(pInnerBar);
    pInnerBar->InternalRelease();
    pMenu->SetCommandBar(pPopupBar);
    pPopupBar->InternalRelease();
    auto* pOther = static_cast<CXTPControlPopup*>(m_pSearch->GetControls()->Add(xtpControlPopup, 902));
    CXTPPopupBar* pOtherBar = CXTPPopupBar::CreatePopupBar(Bars());
    pOther->SetCommandBar(pOtherBar);
    pOtherBar->InternalRelease();
    m_pFrame->RecalcLayout();

    struct Case {
        const char* what;
        CXTPControl* pDragged;
        CXTPControlPopup* pOver;
        BOOL bOpens;
    };
    const Case cases[] = {
        {"the menu over itself", pMenu, pMenu, FALSE},
        {"its submenu over the menu", pInner, pMenu, FALSE},
        {"the menu over another menu", pMenu, pOther, TRUE},
        {"a button over a menu", m_pStandard->GetControl(0), pOther, TRUE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.pOver->OnCustomizeDragOver(c.pDragged, c.pOver->GetRect().CenterPoint());
        EXPECT_EQ(m_pSearch->GetPopupedIndex() == c.pOver->GetIndex(), c.bOpens);
        m_pSearch->SetPopuped(-1);
        FlushQueue();
    }
}

TEST_F(CustomizeTest, AControlIsResizedByItsEdge)
{
    auto* pSizable = new CSizableButton;
    m_pSearch->GetControls()->Add(pSizable, 950);
    m_pFrame->RecalcLayout();
    const CRect rc = pSizable->GetRect();
    struct Case {
        const char* what;
        int nMoveTo;         // bar client x
        bool bEscape;
        int nExpectedWidth;  // 0: unchanged
    };
    const Case cases[] = {
        {"wider", static_cast<int>(rc.right) + 30, false, rc.Width() + 30},
        {"never below the minimum", static_cast<int>(rc.left) + 5, false, 20},
        {"Escape cancels", static_cast<int>(rc.right) + 30, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        pSizable->m_nWidth = 0;
        ::PostMessageA(m_pSearch->m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c.nMoveTo, rc.CenterPoint().y));
        if (c.bEscape)
            ::PostMessageA(m_pSearch->m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
        ::PostMessageA(m_pSearch->m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(c.nMoveTo, rc.CenterPoint().y));
        EXPECT_TRUE(pSizable->OnCustomizeResize(CPoint(rc.right - 1, rc.CenterPoint().y)));
        EXPECT_EQ(pSizable->m_nWidth, c.nExpectedWidth);
        EXPECT_EQ(::GetCapture(), nullptr);
        FlushQueue();
    }
    EXPECT_FALSE(pSizable->OnCustomizeResize(rc.CenterPoint())) << "away from the edges";
}

TEST_F(CustomizeTest, AQuitInsideEachLoopStaysQueued)
{
    auto quitStaysQueued = [] {
        MSG msg;
        return ::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && msg.wParam == 7;
    };
    ::PostQuitMessage(7);
    EXPECT_EQ(Bars()->GetDropSource()->DoDragDrop(m_pStandard->GetControl(0)), XTP_DRAG_CANCELLED);
    EXPECT_TRUE(quitStaysQueued()) << "drag";
    EXPECT_EQ(::GetCapture(), nullptr);

    auto* pSizable = new CSizableButton;
    m_pSearch->GetControls()->Add(pSizable, 950);
    m_pFrame->RecalcLayout();
    const CRect rc = pSizable->GetRect();
    ::PostQuitMessage(7);
    EXPECT_TRUE(pSizable->OnCustomizeResize(CPoint(rc.right, rc.CenterPoint().y)));
    EXPECT_EQ(pSizable->m_nWidth, 0);
    EXPECT_TRUE(quitStaysQueued()) << "resize";
}
