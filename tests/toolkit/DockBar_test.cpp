// Dock bars and the manager's docking: the rows of the top dock bar, the
// four dock bars, adding, floating, docking and removing bars, the toolbars
// menu, the torn-off bar's close button and the context menu's pump.
#include "ToolkitTestSupport.h"

#include "tests/toolkit/CommandBarTestSupport.h"
#include "tests/toolkit/ToolBarTestFrame.h"

#include "platform/mfc/WinApp.h"
#include "toolkit/commandbars/XTPCommandBarsOptions.h"
#include "toolkit/commandbars/XTPDockBar.h"
#include "toolkit/commandbars/XTPDockContext.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPPopupPlacement.h"
#include "toolkit/commandbars/XTPToolBar.h"
#include "toolkit/res/ToolkitIds.h"

#include <vector>

using tavrin::test::CToolBarTestFrame;
using tavrin::test::ScopedTestTheme;
using tavrin::test::ScopedToolBarResources;

namespace {

class DockBarTest : public tavrin::test::ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        m_pResources = new ScopedToolBarResources;
        m_pTheme = new ScopedTestTheme;
        m_pFrame = new CToolBarTestFrame;
        ASSERT_TRUE(m_pFrame->Create(nullptr, "frame", WS_OVERLAPPEDWINDOW, CRect(0, 0, 600, 300)));
        ASSERT_TRUE(m_pFrame->InitCommandBars(RUNTIME_CLASS(CXTPCommandBars)));
        m_pFrame->ShowWindow(SW_SHOWNA);
        Bars()->GetOptions()->bShowExpandButtonAlways = FALSE;
    }
    void TearDown() override
    {
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
        return pBar;
    }
    // The bar's window in the top dock bar's client coordinates.
    CRect Place(CXTPToolBar* pBar) const
    {
        CRect rc;
        pBar->GetWindowRect(&rc);
        Top()->ScreenToClient(&rc);
        return rc;
    }
    // Rows of the top dock bar as bar lists.
    std::vector<std::vector<CXTPToolBar*>> Rows() const
    {
        std::vector<std::vector<CXTPToolBar*>> rows;
        std::vector<CXTPToolBar*> row;
        const auto& arr = Top()->GetRowArray();
        EXPECT_FALSE(arr.empty() || arr.front() || arr.back()) << "breaks at both ends";
        for (size_t i = 1; i < arr.size(); ++i) {
            if (arr[i]) {
                row.push_back(arr[i]);
                continue;
            }
            EXPECT_FALSE(row.empty()) << "no empty rows";
            rows.push_back(row);
            row.clear();
        }
        return rows;
    }
    void Resize(int nWidth)
    {
        m_pFrame->SetWindowPos(nullptr, 0, 0, nWidth, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        m_pFrame->RecalcLayout();
    }
    // A drop with its top-left at pt of the top dock bar, of the bar's size.
    CRect DropAt(CXTPToolBar* pBar, CPoint pt) const
    {
        CRect rc(pt, CSize(Place(pBar).Width(), Place(pBar).Height()));
        Top()->ClientToScreen(&rc);
        return rc;
    }

    CWinApp m_app;
    ScopedToolBarResources* m_pResources = nullptr;
    ScopedTestTheme* m_pTheme = nullptr;
    CToolBarTestFrame* m_pFrame = nullptr;
};

} // namespace

TEST_F(DockBarTest, FourDockBarsWithTheirIdsAndStyles)
{
    struct Case {
        int nPosition;
        int nID;
    } cases[] = {{xtpBarTop, 59419}, {xtpBarBottom, 59422}, {xtpBarLeft, 59420}, {xtpBarRight, 59421}};
    for (const Case& c : cases) {
        CXTPDockBar* pDock = Bars()->GetDockBar(c.nPosition);
        ASSERT_TRUE(pDock);
        EXPECT_EQ(pDock->GetDlgCtrlID(), c.nID);
        EXPECT_EQ(pDock->GetPosition(), c.nPosition);
        EXPECT_EQ(::GetParent(pDock->m_hWnd), m_pFrame->m_hWnd);
        EXPECT_TRUE(pDock->GetStyle() & WS_VISIBLE);
        EXPECT_TRUE(pDock->GetStyle() & WS_CLIPSIBLINGS);
    }
}

TEST_F(DockBarTest, NoDockBarsNoManager)
{
    // Without a window the dock bars cannot be made: FALSE, nothing thrown, no manager.
    CToolBarTestFrame frame;
    EXPECT_FALSE(frame.InitCommandBars(RUNTIME_CLASS(CXTPCommandBars)));
    EXPECT_EQ(frame.GetCommandBars(), nullptr);
}

TEST_F(DockBarTest, AddedBarsShowInTheTopDockBarAndCanBeFound)
{
    CXTPToolBar* pBar = AddLoaded("标准", IDT_STANDARD16);
    m_pFrame->RecalcLayout();
    EXPECT_EQ(pBar->GetPosition(), xtpBarTop);
    EXPECT_EQ(pBar->GetDockBar(), Top());
    EXPECT_EQ(pBar->GetFlags(), DWORD(0x3F));
    EXPECT_EQ(::GetParent(pBar->m_hWnd), Top()->m_hWnd);
    EXPECT_TRUE(pBar->IsWindowVisible());
    EXPECT_EQ(Bars()->GetToolBar(IDT_STANDARD16), pBar);
    CRect rcTop;
    Top()->GetClientRect(&rcTop);
    EXPECT_EQ(rcTop.Height(), Place(pBar).Height());
    EXPECT_EQ(Place(pBar).TopLeft(), CPoint(0, 0));
}

TEST_F(DockBarTest, CanDockWithinTwentyPixels)
{
    AddLoaded("标准", IDT_STANDARD16);
    m_pFrame->RecalcLayout();
    CRect rc;
    Top()->GetWindowRect(&rc);
    const int x = rc.CenterPoint().x;
    EXPECT_EQ(Bars()->CanDock(CPoint(x, rc.top - 19)), Top());
    EXPECT_EQ(Bars()->CanDock(CPoint(x, rc.top - 21)), nullptr);
    EXPECT_EQ(Bars()->CanDock(CPoint(x, rc.top + 2)), Top());
    CXTPDockBar* pBottom = Bars()->GetDockBar(xtpBarBottom);
    EXPECT_EQ(Bars()->CanDock(CPoint(x, rc.top + 2), pBottom), Top()) << "the preferred one only when near";
}

TEST_F(DockBarTest, StretchedBarGetsARowOfItsOwn)
{
    CXTPToolBar* pBar = AddLoaded("标准", IDT_STANDARD16);
    m_pFrame->RecalcLayout();
    CXTPToolBar* pStretched = Bars()->Add("菜单条", xtpBarLeft);
    ASSERT_TRUE(pStretched);
    pStretched->EnableDocking(0x5F);
    ASSERT_TRUE(pStretched->LoadToolBar(IDT_SEARCH));
    const CRect rcDrop = DropAt(pBar, CPoint(60, 2));
    ASSERT_TRUE(Bars()->DockCommandBar(pStretched, &rcDrop, Top()));
    m_pFrame->RecalcLayout();
    const auto rows = Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], std::vector<CXTPToolBar*>{pStretched});
    EXPECT_EQ(rows[1], std::vector<CXTPToolBar*>{pBar});
    CRect rcTop;
    Top()->GetClientRect(&rcTop);
    EXPECT_EQ(Place(pStretched).Width(), rcTop.Width()) << "it fills its row";
    EXPECT_EQ(Place(pBar).top, Place(pStretched).bottom);
    EXPECT_EQ(Bars()->GetDockBar(xtpBarLeft)->GetRowArray().size(), 1u) << "it left the left dock bar";
}

TEST_F(DockBarTest, OverlappingBarsSitSideBySideInArrayOrder)
{
    CXTPToolBar* pFirst = AddLoaded("标准", IDT_STANDARD16);
    m_pFrame->RecalcLayout();
    CXTPToolBar* pSecond = Bars()->Add("搜索", xtpBarBottom);
    ASSERT_TRUE(pSecond->LoadToolBar(IDT_SEARCH));
    // Dropped over the first bar's place: it goes first in the row array.
    const CRect rcDrop = DropAt(pFirst, CPoint(0, 0));
    ASSERT_TRUE(Bars()->DockCommandBar(pSecond, &rcDrop, Top()));
    m_pFrame->RecalcLayout();
    const auto rows = Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (std::vector<CXTPToolBar*>{pSecond, pFirst}));
    EXPECT_EQ(Place(pSecond).left, 0);
    EXPECT_EQ(Place(pFirst).left, Place(pSecond).right);
    EXPECT_EQ(Place(pFirst).top, Place(pSecond).top);
}

TEST_F(DockBarTest, NarrowingShrinksHideWrapBarsThenWrapsTheRightOne)
{
    CXTPToolBar* pFirst = AddLoaded("标准", IDT_STANDARD16);
    m_pFrame->RecalcLayout();
    CXTPToolBar* pSecond = Bars()->Add("搜索", xtpBarBottom);
    ASSERT_TRUE(pSecond->LoadToolBar(IDT_SEARCH));
    const CRect rcDrop = DropAt(pFirst, CPoint(400, 0));
    ASSERT_TRUE(Bars()->DockCommandBar(pSecond, &rcDrop, Top()));
    m_pFrame->RecalcLayout();
    ASSERT_EQ(Rows().size(), 1u);
    const int nOne = 2 + 40 + 2 + 11; // one button and the chevron

    BOOL bBothShrunk = FALSE, bWrapped = FALSE;
    for (int nWidth = 600; nWidth >= 60 && !bWrapped; nWidth -= nWidth > 200 ? 5 : 1) {
        Resize(nWidth);
        CRect rcTop;
        Top()->GetClientRect(&rcTop);
        const CRect a = Place(pFirst), b = Place(pSecond);
        if (a.top == b.top) {
            EXPECT_LE(b.right, rcTop.right) << nWidth;
            EXPECT_LE(a.right, b.left) << nWidth;
            if (a.Width() == nOne && b.Width() == nOne)
                bBothShrunk = TRUE;
        } else {
            bWrapped = TRUE;
            EXPECT_TRUE(bBothShrunk) << "both shrank to one button and the chevron first";
            EXPECT_EQ(b.top, a.bottom) << "the right one moved to a new row";
            EXPECT_EQ(b.left, 0);
        }
    }
    EXPECT_TRUE(bWrapped);
    EXPECT_EQ(Rows().size(), 1u) << "the row array keeps one row; only the layout wraps";
    // Widened again, both come back side by side.
    Resize(600);
    EXPECT_EQ(Place(pFirst).top, Place(pSecond).top);
    EXPECT_FALSE(pFirst->GetControls()->FindControl(XTP_ID_TOOLBAR_EXPAND)->IsVisible());
}

TEST_F(DockBarTest, RowTable)
{
    // One bar longer than the row stays in it, from 0, at the row's length.
    CXTPToolBar* pLong = AddLoaded("标准", IDT_STANDARD16);
    pLong->EnableDocking(0x1F); // no hide-wrap: it cannot shrink
    Resize(120);
    CRect rcTop;
    Top()->GetClientRect(&rcTop);
    EXPECT_EQ(Rows().size(), 1u);
    EXPECT_EQ(Place(pLong).left, 0);
    EXPECT_LE(Place(pLong).right, rcTop.right);
    EXPECT_GT(Place(pLong).Height(), 26) << "committed at the row's length it wraps its buttons";
    Resize(600);

    // Dropped below every row: a new last row.
    CXTPToolBar* pSecond = AddLoaded("搜索", IDT_SEARCH);
    m_pFrame->RecalcLayout();
    CXTPToolBar* pThird = Bars()->Add("三", xtpBarBottom);
    ASSERT_TRUE(pThird->LoadToolBar(IDT_NO_BITMAP, FALSE));
    const CRect rcBelow = DropAt(pThird, CPoint(10, Place(pSecond).bottom + 5));
    ASSERT_TRUE(Bars()->DockCommandBar(pThird, &rcBelow, Top()));
    auto rows = Rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2], std::vector<CXTPToolBar*>{pThird});
    // Dropped above the first row: a new first row.
    const CRect rcAbove = DropAt(pThird, CPoint(10, -20));
    ASSERT_TRUE(Bars()->DockCommandBar(pThird, &rcAbove, Top()));
    rows = Rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], std::vector<CXTPToolBar*>{pThird});

    // The only bar of a row removed: the row goes.
    Bars()->Remove(pThird);
    rows = Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(Bars()->GetCount(), 2);

    // A hidden dock bar takes no space.
    Top()->ShowWindow(SW_HIDE);
    AFX_SIZEPARENTPARAMS layout{};
    layout.rect = CRect(0, 0, 600, 300);
    layout.bStretch = TRUE;
    Top()->SendMessage(WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    EXPECT_EQ(CRect(layout.rect), CRect(0, 0, 600, 300));
    EXPECT_EQ(layout.sizeTotal.cy, 0);
    Top()->ShowWindow(SW_SHOWNA);
    Top()->SendMessage(WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    EXPECT_EQ(layout.rect.top, Place(pSecond).bottom);
}

TEST_F(DockBarTest, FloatAndDockAgain)
{
    CXTPToolBar* pBar = AddLoaded("标准", IDT_STANDARD16);
    m_pFrame->RecalcLayout();
    ASSERT_TRUE(pBar->SetPosition(xtpBarFloating));
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(pBar->GetPosition(), xtpBarFloating);
    CRect rc;
    pBar->GetWindowRect(&rc);
    EXPECT_EQ(rc.TopLeft(), CPoint(100, 100));
    EXPECT_GT(rc.Width(), 0);
    // A double click on the caption docks it again.
    pBar->SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(1, 1));
    EXPECT_EQ(pBar->GetPosition(), xtpBarTop);
    EXPECT_EQ(Rows().size(), 1u);
    // A double click on a docked bar floats it only with "DblClickFloat".
    m_pFrame->RecalcLayout();
    pBar->SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(1, 1));
    EXPECT_EQ(pBar->GetPosition(), xtpBarTop);
    Bars()->GetOptions()->bDblClickFloat = TRUE;
    pBar->SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(1, 1));
    EXPECT_EQ(pBar->GetPosition(), xtpBarFloating);
}

TEST_F(DockBarTest, TheToolbarsMenuListsBarsCheckedByVisibility)
{
    CXTPToolBar* pFirst = AddLoaded("标准", IDT_STANDARD16);
    CXTPToolBar* pSecond = AddLoaded("搜索", IDT_SEARCH);
    CXTPToolBar* pUnlisted = AddLoaded("三", IDT_SEARCH);
    pUnlisted->SetContextMenuPresent(FALSE);
    pSecond->SetVisible(FALSE);
    CXTPPopupBar* pPopup = Bars()->GetToolbarsPopup();
    ASSERT_EQ(pPopup->GetControlCount(), 2);
    EXPECT_EQ(pPopup->GetControl(0)->GetCaption(), "标准");
    EXPECT_TRUE(pPopup->GetControl(0)->GetChecked());
    EXPECT_EQ(pPopup->GetControl(1)->GetCaption(), "搜索");
    EXPECT_FALSE(pPopup->GetControl(1)->GetChecked());
    EXPECT_EQ(pPopup->GetControl(1)->GetID(), 0);
    EXPECT_EQ(pPopup->GetControl(1)->GetFlags(), DWORD(xtpFlagManualUpdate));
    pPopup->GetControl(1)->OnExecute();
    EXPECT_TRUE(pSecond->IsVisible());
    pPopup->GetControl(0)->OnExecute();
    EXPECT_FALSE(pFirst->IsVisible());
    pPopup->InternalRelease();
}

TEST_F(DockBarTest, AFrameThatCustomizesGetsTheCustomizeItem)
{
    m_pFrame->m_bCustomize = TRUE;
    Bars()->SetSite(m_pFrame);
    AddLoaded("标准", IDT_STANDARD16);
    CXTPPopupBar* pPopup = Bars()->GetToolbarsPopup();
    ASSERT_EQ(pPopup->GetControlCount(), 2);
    EXPECT_EQ(pPopup->GetControl(1)->GetID(), 35001);
    EXPECT_TRUE(pPopup->GetControl(1)->GetBeginGroup());
    pPopup->InternalRelease();
}

TEST_F(DockBarTest, ATornOffBarClosedByItsOwnButtonGoesAfterTheClick)
{
    Bars()->SetPaintManager(new tavrin::test::CaptionTheme);
    CXTPToolBar* pBar = Bars()->AddCustomBar("撕下", 700, TRUE);
    ASSERT_TRUE(pBar);
    EXPECT_EQ(pBar->GetPosition(), xtpBarFloating);
    EXPECT_TRUE(pBar->IsTearOff());
    EXPECT_FALSE(pBar->IsBuiltIn());
    pBar->GetControls()->Add(xtpControlButton, ID_TB_FIND);
    pBar->OnRecalcLayout();
    CXTPControl* pClose = pBar->GetControls()->FindControl(XTP_ID_TOOLBAR_HIDE);
    ASSERT_TRUE(pClose);
    ASSERT_TRUE(pClose->IsVisible());
    const int nCount = Bars()->GetCount();
    const CPoint pt = pClose->GetRect().CenterPoint();
    HWND hBar = pBar->m_hWnd;
    // The release waits in the queue for the press's own loop.
    ::PostMessageA(hBar, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    ::SendMessageA(hBar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    EXPECT_EQ(Bars()->GetCount(), nCount - 1);
    EXPECT_FALSE(::IsWindow(hBar));
    tavrin::test::PumpMessages();
}

namespace {

// A popup that "shows" by tracking, and a quit posted meanwhile.
class QuitPopup : public CXTPPopupBar {
public:
    BOOL Popup(int, int, LPCRECT) override
    {
        m_bTracking = 1;
        ::PostQuitMessage(5);
        return TRUE;
    }
};

class QuitBars : public CXTPCommandBars {
public:
    CXTPPopupBar* GetToolbarsPopup() override
    {
        CXTPPopupBar* pPopup = new QuitPopup;
        pPopup->GetControls()->Add(xtpControlButton, 1);
        return pPopup;
    }
};

// A popup that records the flags it is shown with, and shows nothing.
class FlagPopup : public CXTPPopupBar {
public:
    static DWORD s_flags;
    BOOL Popup(int, int, LPCRECT) override
    {
        s_flags = GetPopupFlags();
        return FALSE;
    }
};
DWORD FlagPopup::s_flags = 0;

class FlagBars : public CXTPCommandBars {
public:
    CXTPPopupBar* GetToolbarsPopup() override
    {
        CXTPPopupBar* pPopup = new FlagPopup;
        pPopup->GetControls()->Add(xtpControlButton, 1);
        return pPopup;
    }
};

} // namespace

TEST_F(DockBarTest, TheToolbarsMenuOpensLeftwardsForARightToLeftSite)
{
    for (bool bRTL : {false, true}) {
        auto* pBars = new FlagBars;
        pBars->SetSite(m_pFrame);
        m_pFrame->ModifyStyleEx(bRTL ? 0 : WS_EX_LAYOUTRTL, bRTL ? WS_EX_LAYOUTRTL : 0);
        FlagPopup::s_flags = 0;
        pBars->ContextMenu(100, 100);
        EXPECT_EQ(FlagPopup::s_flags & xtpPopupLeft, bRTL ? DWORD(xtpPopupLeft) : 0u) << bRTL;
        pBars->InternalRelease();
    }
    m_pFrame->ModifyStyleEx(WS_EX_LAYOUTRTL, 0);
}

TEST_F(DockBarTest, QuitDuringTheToolbarsMenuStaysQueued)
{
    auto* pBars = new QuitBars;
    pBars->ContextMenu(10, 10);
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, WPARAM(5));
    pBars->InternalRelease();
}
