// The Office XP, Office 2003, default and native XP paint themes: button
// states, popup items, bars, grippers and the scheme tables, drawn into
// memory DCs with the pinned fonts and the default system colours; the
// native theme also against a recording visual-styles library.
#include "tests/support/SolidIcon.h"
#include "tests/toolkit/ToolBarTestFrame.h"
#include "tests/toolkit/ToolkitTestSupport.h"

#include "platform/win/OptionalLibrary.h"
#include "platform/win/WindowSurface.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlEdit.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPDockBar.h"
#include "toolkit/commandbars/XTPImageManager.h"
#include "toolkit/commandbars/XTPNativeXPTheme.h"
#include "toolkit/commandbars/XTPOffice2003Theme.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPToolBar.h"
#include "toolkit/controls/XTDrawHelpers.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

using namespace tavrin;
using tavrin::test::Canvas;
using tavrin::test::ColorText;
using tavrin::test::FakeThemeLibrary;

namespace {

constexpr COLORREF kIconColour = RGB(0, 0, 255);
constexpr int kIconId = 100;
constexpr int kNoIconId = 200;

class ThemeTest : public test::ToolkitTest {
protected:
    void SetUp() override
    {
        test::ToolkitTest::SetUp();
        m_icon = test::MakeSolidIcon(16, kIconColour);
        m_pBar = new CXTPCommandBar;
        auto* pImages = new CXTPImageManager;
        pImages->SetIcon(CXTPImageManagerIconHandle(m_icon), kIconId);
        m_pBar->SetImageManager(pImages);
        m_pBar->m_barPosition = xtpBarTop;
    }
    void TearDown() override
    {
        if (m_pBar->m_hWnd)
            m_pBar->DestroyWindow();
        m_pBar->InternalRelease();
        DestroyIcon(m_icon);
        CXTPPaintManager::SetCustomTheme(nullptr);
        if (m_bFakeStyles)
            FakeThemeLibrary::Uninstall();
        XTGetColorManager()->RefreshColors();
        test::ToolkitTest::TearDown();
    }
    template <typename T>
    T* Use(int nTheme)
    {
        m_pTheme = CXTPPaintManager::SetTheme(nTheme);
        return dynamic_cast<T*>(m_pTheme);
    }
    // The XP colour scheme through the visual styles: "NormalColor",
    // "HomeStead", "Metallic", or none.
    void SetScheme(const wchar_t* pszColor)
    {
        if (!m_bFakeStyles)
            FakeThemeLibrary::Install();
        m_bFakeStyles = true;
        FakeThemeLibrary::colorName = pszColor ? pszColor : L"";
        FakeThemeLibrary::themeActive = pszColor != nullptr;
        XTGetColorManager()->RefreshColors();
    }
    CXTPControl* Add(int nType, int nId, LPCTSTR lpszCaption = "")
    {
        CXTPControl* pControl = m_pBar->GetControls()->Add(nType, nId);
        pControl->SetCaption(lpszCaption);
        return pControl;
    }
    void CreateBar(CRect rc)
    {
        ASSERT_TRUE(m_pBar->CreateEx(0, AfxRegisterWndClass(0), "bar", WS_POPUP, rc, nullptr, 0));
    }
    void MakePopupBar()
    {
        m_pBar->m_barType = xtpBarTypePopup;
        m_pBar->m_barPosition = xtpBarPopup;
    }
    void DrawAt(Canvas& canvas, CXTPControl* pControl, CRect rc, COLORREF clrBack = RGB(255, 255, 255))
    {
        canvas.DC()->FillSolidRect(0, 0, 200, 100, clrBack);
        pControl->SetRect(rc);
        m_pTheme->DrawControl(canvas.DC(), pControl, TRUE);
    }
    COLORREF Color(int nIndex) const { return m_pTheme->GetColor(nIndex); }
    // The icon column width of the fixture's bar.
    int Column() const { return std::max(16 + 4, m_pTheme->GetTextHeight() + 4); }

    CXTPPaintManager* m_pTheme = nullptr;
    CXTPCommandBar* m_pBar = nullptr;
    HICON m_icon = nullptr;
    bool m_bFakeStyles = false;
};

#define EXPECT_PIXEL(canvas, x, y, clr) \
    EXPECT_EQ(ColorText((canvas).At(x, y)), ColorText(clr)) << "at (" << (x) << ", " << (y) << ")"

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

} // namespace

TEST_F(ThemeTest, SetThemeMakesEveryThemeClass)
{
    struct Case {
        int id;
        int base;
        BOOL flat, faded, shadow;
    } cases[] = {
        {0, 0, TRUE, TRUE, TRUE},
        {2, 2, TRUE, FALSE, FALSE},
        {3, 3, FALSE, TRUE, FALSE},
        {4, 2, TRUE, FALSE, FALSE},
    };
    for (const Case& c : cases) {
        CXTPPaintManager* pManager = CXTPPaintManager::SetTheme(c.id);
        ASSERT_NE(pManager, nullptr) << c.id;
        EXPECT_EQ(pManager->GetCurrentTheme(), c.id);
        EXPECT_EQ(pManager->BaseTheme(), c.base) << c.id;
        EXPECT_EQ(pManager->IsFlatStyle(), c.flat) << c.id;
        EXPECT_EQ(pManager->GetIconsInfo()->bUseFadedIcons, c.faded) << c.id;
        EXPECT_EQ(pManager->GetIconsInfo()->bIconsWithShadow, c.shadow) << c.id;
        EXPECT_FALSE(pManager->GetIconsInfo()->bUseDisabledIcons) << c.id;
    }
    EXPECT_NE(dynamic_cast<CXTPOfficeXPTheme*>(CXTPPaintManager::SetTheme(0)), nullptr);
    EXPECT_EQ(dynamic_cast<CXTPOffice2003Theme*>(CXTPPaintManager::SetTheme(0)), nullptr);
    EXPECT_NE(dynamic_cast<CXTPOffice2003Theme*>(CXTPPaintManager::SetTheme(2)), nullptr);
    EXPECT_EQ(dynamic_cast<CXTPDefaultTheme*>(CXTPPaintManager::SetTheme(2)), nullptr);
    auto* pDefault = dynamic_cast<CXTPDefaultTheme*>(CXTPPaintManager::SetTheme(4));
    ASSERT_NE(pDefault, nullptr);
    EXPECT_EQ(pDefault->GetCurrentSystemTheme(), 0);
    auto* pNative = dynamic_cast<CXTPNativeXPTheme*>(CXTPPaintManager::SetTheme(3));
    ASSERT_NE(pNative, nullptr);
    EXPECT_EQ(pNative->m_nPopupBarText, COLOR_MENUTEXT);
}

// Office XP ---------------------------------------------------------------------

TEST_F(ThemeTest, OfficeXPButtonStates)
{
    ASSERT_NE(Use<CXTPOfficeXPTheme>(0), nullptr);
    Canvas canvas(200, 100);
    const CRect rc(10, 10, 33, 33);
    const CPoint icon(rc.left + 3, rc.top + 3);
    CXTPControl* pButton = Add(xtpControlButton, kIconId);
    auto draw = [&](int checked, int selected, int pressed) {
        pButton->SetChecked(checked);
        pButton->m_bSelected = selected;
        pButton->SetPressed(pressed);
        DrawAt(canvas, pButton, rc);
    };

    draw(0, 1, 0);
    EXPECT_PIXEL(canvas, rc.left, rc.top, Color(32)) << "hot: framed in 32";
    EXPECT_PIXEL(canvas, rc.left + 1, rc.top + 1, Color(31)) << "filled with 31";
    EXPECT_PIXEL(canvas, icon.x - 1, icon.y - 1, kIconColour) << "the icon lifted up-left";
    const COLORREF shadow = canvas.At(icon.x + 15, icon.y + 15);
    EXPECT_NE(shadow, kIconColour) << "a shadow down-right";
    EXPECT_NE(shadow, Color(31));

    draw(0, 1, 1);
    EXPECT_PIXEL(canvas, rc.left, rc.top, Color(50)) << "pressed: framed in 50";
    EXPECT_PIXEL(canvas, rc.left + 1, rc.top + 1, Color(33));
    EXPECT_PIXEL(canvas, icon.x, icon.y, kIconColour) << "not lifted";
    EXPECT_PIXEL(canvas, icon.x - 1, icon.y - 1, Color(33));

    draw(0, 0, 2);
    EXPECT_PIXEL(canvas, rc.left, rc.top, Color(50)) << "pressed value 2";
    draw(1, 0, 0);
    EXPECT_PIXEL(canvas, rc.left, rc.top, Color(50)) << "checked";
    EXPECT_PIXEL(canvas, rc.left + 1, rc.top + 1, Color(36));
    draw(1, 1, 0);
    EXPECT_PIXEL(canvas, rc.left, rc.top, Color(37)) << "hot checked";
    EXPECT_PIXEL(canvas, rc.left + 1, rc.top + 1, Color(33));
    draw(0, 0, 0);
    EXPECT_PIXEL(canvas, rc.left, rc.top, RGB(255, 255, 255)) << "normal: nothing drawn";

    // Disabled: a silhouette in 40 unless disabled icons are asked for.
    pButton->SetEnabled(FALSE);
    draw(0, 0, 0);
    EXPECT_PIXEL(canvas, icon.x + 8, icon.y + 8, Color(40));
    m_pTheme->GetIconsInfo()->bUseDisabledIcons = TRUE;
    draw(0, 0, 0);
    EXPECT_NE(canvas.At(icon.x + 8, icon.y + 8), Color(40));
    // Selected by keyboard: framed in 32.
    draw(0, 2, 0);
    EXPECT_PIXEL(canvas, rc.left, rc.top, Color(32));
    EXPECT_PIXEL(canvas, rc.left + 1, rc.top + 1, Color(31));
}

TEST_F(ThemeTest, OfficeXPBars)
{
    ASSERT_NE(Use<CXTPOfficeXPTheme>(0), nullptr);
    CreateBar(CRect(0, 0, 120, 30));
    Canvas canvas(200, 100);
    const int w = 120, h = 30;

    m_pTheme->FillCommandBar(canvas.DC(), m_pBar);
    EXPECT_PIXEL(canvas, 0, 0, Color(COLOR_3DFACE)) << "docked toolbar: face frame";
    for (CPoint pt : {CPoint(1, 1), CPoint(w - 2, 1), CPoint(1, h - 2), CPoint(w - 2, h - 2)})
        EXPECT_PIXEL(canvas, pt.x, pt.y, Color(COLOR_3DFACE)) << "bevelled corner";
    EXPECT_PIXEL(canvas, 2, 1, Color(30));
    EXPECT_PIXEL(canvas, 60, 15, Color(30));

    m_pBar->m_barType = xtpBarTypeMenuBar;
    m_pTheme->FillCommandBar(canvas.DC(), m_pBar);
    EXPECT_PIXEL(canvas, 1, 1, Color(COLOR_3DFACE)) << "menu bar: plain face";
    EXPECT_PIXEL(canvas, 60, 15, Color(COLOR_3DFACE));

    // Floating: two frames in 43, inner corners set.
    m_pBar->m_barType = xtpBarTypeNormal;
    m_pBar->m_barPosition = xtpBarFloating;
    canvas.DC()->FillSolidRect(0, 0, 200, 100, RGB(255, 255, 255));
    m_pTheme->FillCommandBar(canvas.DC(), m_pBar);
    EXPECT_PIXEL(canvas, 0, 0, Color(43));
    EXPECT_PIXEL(canvas, 1, 1, Color(43));
    EXPECT_PIXEL(canvas, 2, 2, Color(43));
    EXPECT_PIXEL(canvas, 3, 3, Color(30));
    EXPECT_PIXEL(canvas, w - 2, h - 2, Color(43));

    // Grippers.
    const CSize szStrip = m_pTheme->DrawCommandBarGripper(canvas.DC(), m_pBar, TRUE);
    EXPECT_EQ(szStrip.cx, w - 6);
    EXPECT_PIXEL(canvas, 3, 3, Color(COLOR_BTNSHADOW)) << "title strip";
    m_pBar->m_barPosition = xtpBarTop;
    canvas.DC()->FillSolidRect(0, 0, 200, 100, RGB(255, 255, 255));
    EXPECT_EQ(m_pTheme->DrawCommandBarGripper(canvas.DC(), m_pBar, TRUE), CSize(6, 0));
    EXPECT_PIXEL(canvas, 3, 5, Color(38));
    EXPECT_PIXEL(canvas, 5, 5, Color(38));
    EXPECT_PIXEL(canvas, 6, 5, RGB(255, 255, 255));
    EXPECT_PIXEL(canvas, 3, 6, RGB(255, 255, 255));
    EXPECT_PIXEL(canvas, 3, 23, Color(38));
    EXPECT_PIXEL(canvas, 3, 25, RGB(255, 255, 255)) << "stops 5 short of the bottom";
    m_pBar->m_barPosition = xtpBarLeft;
    EXPECT_EQ(m_pTheme->DrawCommandBarGripper(canvas.DC(), m_pBar, FALSE), CSize(0, 8));
    m_pBar->m_barPosition = xtpBarNone;
    EXPECT_EQ(m_pTheme->DrawCommandBarGripper(canvas.DC(), m_pBar, FALSE), CSize(0, 0));
}

TEST_F(ThemeTest, OfficeXPPopupItems)
{
    ASSERT_NE(Use<CXTPOfficeXPTheme>(0), nullptr);
    MakePopupBar();
    CreateBar(CRect(0, 0, 180, 90));
    Canvas canvas(200, 100);
    const int g = Column();

    // The popup frame and its icon column.
    m_pTheme->FillCommandBar(canvas.DC(), m_pBar);
    EXPECT_PIXEL(canvas, 0, 0, Color(43));
    EXPECT_PIXEL(canvas, 1, 2, Color(30));
    EXPECT_PIXEL(canvas, g + 1, 2, Color(30));
    EXPECT_PIXEL(canvas, g + 2, 2, Color(41));

    CXTPControl* pItem = Add(xtpControlButton, kNoIconId, "Open");
    const CRect rc(2, 20, 178, 42);
    DrawAt(canvas, pItem, rc, Color(41));
    EXPECT_PIXEL(canvas, 1, 30, Color(41)) << "a common item leaves the column to the bar";
    pItem->SetRarelyUsed(TRUE);
    DrawAt(canvas, pItem, rc, Color(41));
    EXPECT_PIXEL(canvas, 1, 30, Color(42)) << "rarely used: 42";
    EXPECT_PIXEL(canvas, g + 1, 30, Color(42));
    EXPECT_PIXEL(canvas, g + 2, 30, Color(41));

    // Disabled and selected by keyboard: framed in 32 over 41.
    pItem->SetRarelyUsed(FALSE);
    pItem->SetEnabled(FALSE);
    pItem->m_bSelected = 2;
    DrawAt(canvas, pItem, rc, Color(41));
    EXPECT_PIXEL(canvas, rc.left, rc.top, Color(32));
    EXPECT_PIXEL(canvas, rc.left + 1, rc.top + 1, Color(41));

    // Separators: 3 high, drawn 2 above the item, after the column.
    EXPECT_EQ(m_pTheme->DrawCommandBarSeparator(canvas.DC(), m_pBar, pItem, FALSE), CSize(0, 3));
    canvas.DC()->FillSolidRect(0, 0, 200, 100, RGB(255, 255, 255));
    EXPECT_EQ(m_pTheme->DrawCommandBarSeparator(canvas.DC(), m_pBar, pItem, TRUE), CSize(0, 0));
    EXPECT_PIXEL(canvas, 10 + g, rc.top - 2, Color(39));
    EXPECT_PIXEL(canvas, 9 + g, rc.top - 2, RGB(255, 255, 255));
    EXPECT_PIXEL(canvas, 178, rc.top - 2, Color(39));
    EXPECT_PIXEL(canvas, 50, rc.top - 1, RGB(255, 255, 255));
    pItem->m_nJoinedColumn = 1;
    canvas.DC()->FillSolidRect(0, 0, 200, 100, RGB(255, 255, 255));
    m_pTheme->DrawCommandBarSeparator(canvas.DC(), m_pBar, pItem, TRUE);
    EXPECT_PIXEL(canvas, 9 + 2 * g, rc.top - 2, RGB(255, 255, 255)) << "joined column: after both columns";
    EXPECT_PIXEL(canvas, 10 + 2 * g, rc.top - 2, Color(39));

    // Size of an item.
    pItem->m_nJoinedColumn = 0;
    Canvas measure(8, 8);
    CXTFontSelector font(measure.DC(), m_pTheme->GetCommandBarFont(m_pBar));
    const CSize szText = measure.DC()->GetTextExtent("Open");
    EXPECT_EQ(m_pTheme->DrawControl(measure.DC(), pItem, FALSE),
              CSize(szText.cx + g + 40, std::max(22, m_pTheme->GetTextHeight())));
}

TEST_F(ThemeTest, OfficeXPOptionLineWithJoinedColumn)
{
    ASSERT_NE(Use<CXTPOfficeXPTheme>(0), nullptr);
    MakePopupBar();
    Canvas canvas(200, 100);
    const int g = Column();
    m_pTheme->GetIconsInfo()->bUseFadedIcons = FALSE;
    CXTPControl* pItem = Add(xtpControlButton, kIconId, "Reset");
    pItem->SetChecked(TRUE);
    pItem->SetRect(CRect(2, 30, 190, 52));
    Canvas measure(8, 8);
    const CSize szItem = m_pTheme->DrawControlPopupParent(measure.DC(), pItem, FALSE);
    EXPECT_EQ(m_pTheme->DrawSpecialControl(measure.DC(), xtpButtonCustomize, pItem, m_pBar, FALSE, nullptr),
              CSize(szItem.cx + g, szItem.cy));

    auto draw = [&]() {
        canvas.DC()->FillSolidRect(0, 0, 200, 100, RGB(255, 255, 255));
        m_pTheme->DrawSpecialControl(canvas.DC(), xtpButtonCustomize, pItem, m_pBar, TRUE, nullptr);
    };
    draw();
    EXPECT_PIXEL(canvas, g + 1, 30, Color(30)) << "the icon column";
    EXPECT_PIXEL(canvas, g + 1, 27, RGB(255, 255, 255));
    EXPECT_PIXEL(canvas, g + g / 2, 41, kIconColour) << "the icon in the second column";
    EXPECT_EQ(canvas.At(2 + g / 2 - 10, 41 - 10), Color(50)) << "checked box frame in the first column";
    pItem->m_nJoinedColumn = 1;
    draw();
    EXPECT_PIXEL(canvas, g + 1, 27, Color(30)) << "joined: the column reaches 3 above";
}

TEST_F(ThemeTest, OfficeXPPopupJoinsItsMenuTitle)
{
    ASSERT_NE(Use<CXTPOfficeXPTheme>(0), nullptr);
    CreateBar(CRect(100, 100, 300, 122));
    m_pBar->m_barType = xtpBarTypeMenuBar;
    auto* pTitle = static_cast<CXTPControlPopup*>(Add(xtpControlPopup, 0, "File"));
    pTitle->SetRect(CRect(10, 0, 50, 22));

    CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(nullptr);
    pPopup->SetControlPopup(pTitle);
    ASSERT_TRUE(pPopup->CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, CRect(110, 121, 250, 200), nullptr, 0));
    Canvas canvas(200, 100);
    m_pTheme->FillCommandBar(canvas.DC(), pPopup);
    EXPECT_PIXEL(canvas, 0, 0, Color(43));
    EXPECT_PIXEL(canvas, 1, 0, Color(30)) << "the joint opens the top edge under the title";
    EXPECT_PIXEL(canvas, 38, 0, Color(30));
    EXPECT_PIXEL(canvas, 39, 0, Color(43));
    EXPECT_PIXEL(canvas, 60, 0, Color(43));
    pPopup->SetControlPopup(nullptr);
    pPopup->DestroyWindow();
    pPopup->InternalRelease();
}

TEST_F(ThemeTest, OfficeXPEditAndList)
{
    ASSERT_NE(Use<CXTPOfficeXPTheme>(0), nullptr);
    Canvas canvas(200, 100);
    m_pTheme->GetIconsInfo()->bUseFadedIcons = FALSE;
    auto* pEdit = static_cast<CXTPControlEdit*>(Add(xtpControlEdit, 300, "Find"));
    Canvas measure(8, 8);
    CSize sz = m_pTheme->DrawControl(measure.DC(), pEdit, FALSE);
    EXPECT_EQ(sz.cx, 100);
    CXTFontSelector font(measure.DC(), m_pTheme->GetIconFont());
    EXPECT_EQ(pEdit->GetLabelWidth(), measure.DC()->GetTextExtent("Find").cx + 5);
    pEdit->ShowLabel(FALSE);
    sz = m_pTheme->DrawControl(measure.DC(), pEdit, FALSE);
    EXPECT_EQ(pEdit->GetLabelWidth(), 0);
    const CRect rc(10, 10, 110, 10 + sz.cy);
    DrawAt(canvas, pEdit, rc, Color(30));
    EXPECT_PIXEL(canvas, 11, 11, Color(COLOR_WINDOW)) << "not selected: plain field";
    EXPECT_PIXEL(canvas, 10, 10, Color(30)) << "a 1-pixel margin";
    pEdit->m_bSelected = 1;
    DrawAt(canvas, pEdit, rc, Color(30));
    EXPECT_PIXEL(canvas, 11, 11, Color(32)) << "selected: framed in 32";
    pEdit->SetEnabled(FALSE);
    pEdit->m_bSelected = 0;
    DrawAt(canvas, pEdit, rc, Color(30));
    EXPECT_PIXEL(canvas, 11, 11, Color(40));
    EXPECT_PIXEL(canvas, 12, 12, Color(COLOR_3DFACE));

    // A list-box entry: 41 with the icon column in 30, selected framed in 32.
    CXTPControl* pItem = Add(xtpControlButton, kIconId, "Open");
    const int c = Column();
    const CRect rcLine(0, 40, 150, 62);
    canvas.DC()->FillSolidRect(0, 0, 200, 100, RGB(255, 255, 255));
    EXPECT_EQ(m_pTheme->DrawListBoxControl(canvas.DC(), pItem, rcLine, FALSE, TRUE, nullptr),
              CSize(c, std::max(22, m_pTheme->GetTextHeight())));
    EXPECT_PIXEL(canvas, 0, 41, Color(30));
    EXPECT_PIXEL(canvas, c, 41, Color(30));
    EXPECT_PIXEL(canvas, c + 1, 41, Color(41));
    EXPECT_PIXEL(canvas, c / 2, 51, kIconColour);
    m_pTheme->DrawListBoxControl(canvas.DC(), pItem, rcLine, TRUE, TRUE, nullptr);
    EXPECT_PIXEL(canvas, 0, 40, Color(32));
    EXPECT_PIXEL(canvas, c + 4, 41, Color(31));
}

// Office 2003 and default -------------------------------------------------------------

TEST_F(ThemeTest, Office2003SchemeTables)
{
    struct Case {
        const wchar_t* scheme;
        COLORREF dockLight, toolbarDark, toolbarLight, titleFill, paneBorder, shadow, c53, c56;
        COLORREF indexed[13];
    } cases[] = {
        {L"NormalColor", RGB(158, 190, 245), RGB(129, 169, 226), RGB(221, 236, 254), RGB(42, 102, 201),
         RGB(211, 211, 211), RGB(22, 30, 54), RGB(203, 225, 252), RGB(189, 211, 247),
         {RGB(39, 65, 118), RGB(106, 140, 203), RGB(109, 150, 208), RGB(246, 246, 246), RGB(0, 45, 150),
          RGB(255, 238, 194), RGB(0, 0, 128), RGB(0, 0, 128), RGB(0, 0, 128), RGB(254, 128, 62),
          RGB(255, 192, 111), RGB(158, 190, 245), RGB(0, 0, 0)}},
        {L"HomeStead", RGB(217, 217, 167), RGB(183, 198, 145), RGB(244, 247, 222), RGB(116, 134, 94),
         RGB(211, 211, 211), RGB(31, 34, 25), RGB(216, 227, 182), RGB(222, 227, 189),
         {RGB(81, 94, 51), RGB(96, 128, 88), RGB(159, 174, 122), RGB(244, 244, 238), RGB(117, 141, 94),
          RGB(255, 238, 194), RGB(63, 93, 56), RGB(63, 93, 56), RGB(63, 93, 56), RGB(254, 128, 62),
          RGB(255, 192, 111), RGB(217, 217, 167), RGB(0, 0, 0)}},
        {L"Metallic", RGB(215, 215, 229), RGB(153, 151, 181), RGB(243, 244, 250), RGB(122, 121, 153),
         RGB(236, 234, 218), RGB(36, 32, 41), RGB(214, 211, 231), RGB(214, 215, 231),
         {RGB(84, 84, 117), RGB(110, 109, 143), RGB(168, 167, 190), RGB(253, 250, 255), RGB(124, 124, 148),
          RGB(255, 238, 194), RGB(75, 75, 111), RGB(75, 75, 111), RGB(75, 75, 111), RGB(254, 128, 62),
          RGB(255, 192, 111), RGB(215, 215, 229), RGB(0, 0, 0)}},
    };
    const int indexes[13] = {38, 39, 40, 41, 43, 31, 32, 37, 50, 33, 36, 30, 47};
    for (const Case& c : cases) {
        SetScheme(c.scheme);
        auto* pTheme = Use<CXTPOffice2003Theme>(2);
        ASSERT_NE(pTheme, nullptr);
        EXPECT_TRUE(pTheme->m_bLunaTheme);
        EXPECT_EQ(ColorText(pTheme->m_clrDockBarLight), ColorText(c.dockLight));
        EXPECT_EQ(ColorText(pTheme->m_clrToolbarDark), ColorText(c.toolbarDark));
        EXPECT_EQ(ColorText(pTheme->m_clrToolbarLight), ColorText(c.toolbarLight));
        EXPECT_EQ(ColorText(pTheme->m_clrFloatingGripper), ColorText(c.titleFill));
        EXPECT_EQ(ColorText(pTheme->m_clrStatusPaneBorder), ColorText(c.paneBorder));
        EXPECT_EQ(ColorText(pTheme->m_clrShadowColor), ColorText(c.shadow));
        EXPECT_EQ(ColorText(Color(53)), ColorText(c.c53));
        EXPECT_EQ(ColorText(Color(56)), ColorText(c.c56));
        for (int i = 0; i < 13; ++i)
            EXPECT_EQ(ColorText(Color(indexes[i])), ColorText(c.indexed[i])) << "index " << indexes[i];
    }

    // No scheme: the system-derived values, and Office XP hot buttons.
    SetScheme(nullptr);
    auto* pTheme = Use<CXTPOffice2003Theme>(2);
    ASSERT_NE(pTheme, nullptr);
    EXPECT_FALSE(pTheme->m_bLunaTheme);
    EXPECT_EQ(pTheme->m_clrToolbarDark, Color(COLOR_3DFACE));
    EXPECT_EQ(pTheme->m_clrDockBarLight, Color(COLOR_3DFACE));
    EXPECT_EQ(pTheme->m_clrToolbarLight, XTBlendColors(Color(COLOR_3DFACE), Color(COLOR_WINDOW), 205));
    EXPECT_EQ(pTheme->m_clrExpandedDark, Color(42));
    EXPECT_EQ(pTheme->m_clrFloatingGripper, Color(COLOR_BTNSHADOW));
    EXPECT_EQ(pTheme->m_clrStatusPaneBorder, XTBlendColors(Color(COLOR_3DFACE), Color(COLOR_WINDOW), 70));
    EXPECT_EQ(pTheme->m_clrShadowColor, RGB(0, 0, 0));
    Canvas canvas(60, 40);
    canvas.DC()->FillSolidRect(0, 0, 60, 40, RGB(255, 255, 255));
    pTheme->DrawControlBackground(canvas.DC(), CRect(5, 5, 28, 28), TRUE, FALSE, TRUE, FALSE, FALSE,
                                  xtpBarTypeNormal, xtpBarTop);
    EXPECT_PIXEL(canvas, 5, 5, Color(32));
    EXPECT_PIXEL(canvas, 6, 6, Color(31));
}

TEST_F(ThemeTest, Office2003BlueToolbarAndHotButton)
{
    SetScheme(L"NormalColor");
    auto* pTheme = Use<CXTPOffice2003Theme>(2);
    ASSERT_NE(pTheme, nullptr);
    CreateBar(CRect(0, 0, 120, 30));
    Canvas canvas(200, 100);
    pTheme->FillCommandBar(canvas.DC(), m_pBar);
    EXPECT_PIXEL(canvas, 60, 1, RGB(221, 236, 254)) << "the vertical gradient starts light";
    EXPECT_TRUE(Near(canvas.At(60, 28), RGB(129, 169, 226), 8)) << ColorText(canvas.At(60, 28));
    EXPECT_PIXEL(canvas, 60, 29, pTheme->m_clrToolbarShadow) << "the shadow line";
    EXPECT_NE(canvas.At(4, 29), pTheme->m_clrToolbarShadow) << "the shadow starts at 5";
    EXPECT_PIXEL(canvas, 3, 1, Color(COLOR_3DFACE)) << "rounded corner";
    EXPECT_PIXEL(canvas, 1, 10, Color(COLOR_3DFACE)) << "the left 3 pixels";
    EXPECT_EQ(pTheme->GetCommandBarBorders(m_pBar), CRect(4, 2, 2, 2));
    m_pBar->m_barPosition = xtpBarLeft;
    EXPECT_EQ(pTheme->GetCommandBarBorders(m_pBar), CRect(2, 2, 2, 2));
    m_pBar->m_barPosition = xtpBarTop;

    // Hot: the orange gradient framed in navy; popup items keep Office XP.
    canvas.DC()->FillSolidRect(0, 0, 200, 100, RGB(255, 255, 255));
    pTheme->DrawControlBackground(canvas.DC(), CRect(10, 10, 33, 33), TRUE, FALSE, TRUE, FALSE, FALSE,
                                  xtpBarTypeNormal, xtpBarTop);
    EXPECT_PIXEL(canvas, 10, 10, RGB(0, 0, 128));
    EXPECT_PIXEL(canvas, 32, 32, RGB(0, 0, 128));
    EXPECT_TRUE(Near(canvas.At(20, 11), RGB(255, 242, 200), 4)) << ColorText(canvas.At(20, 11));
    EXPECT_TRUE(Near(canvas.At(20, 31), RGB(255, 212, 151), 8)) << ColorText(canvas.At(20, 31));
    pTheme->DrawControlBackground(canvas.DC(), CRect(10, 40, 100, 60), TRUE, FALSE, TRUE, FALSE, FALSE,
                                  xtpBarTypeMenuBar, xtpBarPopup);
    EXPECT_PIXEL(canvas, 10, 40, RGB(0, 0, 128));
    EXPECT_PIXEL(canvas, 20, 50, Color(31)) << "popup items: flat";

    // Dotted gripper, 4 apart.
    canvas.DC()->FillSolidRect(0, 0, 200, 100, RGB(255, 255, 255));
    EXPECT_EQ(pTheme->DrawCommandBarGripper(canvas.DC(), m_pBar, FALSE), CSize(6, 0));
    EXPECT_EQ(pTheme->DrawCommandBarGripper(canvas.DC(), m_pBar, TRUE), CSize(0, 0));
    for (int y : {5, 9, 13, 17, 21})
        EXPECT_PIXEL(canvas, 5, y, Color(38)) << y;
    EXPECT_PIXEL(canvas, 7, 7, Color(COLOR_BTNHIGHLIGHT));
    EXPECT_PIXEL(canvas, 5, 7, RGB(255, 255, 255));
    EXPECT_PIXEL(canvas, 5, 25, RGB(255, 255, 255)) << "the last dot starts above h - 8";

    // Floating title in the title fill.
    m_pBar->m_barPosition = xtpBarFloating;
    pTheme->DrawCommandBarGripper(canvas.DC(), m_pBar, TRUE);
    EXPECT_PIXEL(canvas, 3, 3, RGB(42, 102, 201));
}

TEST_F(ThemeTest, Office2003DockBars)
{
    SetScheme(L"NormalColor");
    auto* pTheme = Use<CXTPOffice2003Theme>(2);
    ASSERT_NE(pTheme, nullptr);
    CWnd dock;
    ASSERT_TRUE(dock.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP | 0x4000, CRect(0, 0, 30, 60), nullptr, 0));
    Canvas canvas(200, 100);
    pTheme->FillDockBar(canvas.DC(), &dock);
    EXPECT_PIXEL(canvas, 0, 0, RGB(196, 218, 250)) << "right dock bar: plain dock dark";
    EXPECT_PIXEL(canvas, 29, 59, RGB(196, 218, 250));
    dock.DestroyWindow();

    ASSERT_TRUE(dock.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, CRect(0, 0, 40, 20), nullptr, 0));
    const int half = GetSystemMetrics(SM_CXFULLSCREEN) / 2;
    std::vector<BYTE> row;
    Canvas wide(half + 10, 20);
    wide.DC()->FillSolidRect(0, 0, half + 10, 20, RGB(255, 255, 255));
    pTheme->FillDockBar(wide.DC(), &dock);
    EXPECT_PIXEL(wide, 0, 5, RGB(158, 190, 245)) << "top dock bar from dock light";
    // The bar is narrower than half the screen: its 40 pixels are the start
    // of a gradient that reaches dock dark at half the screen width.
    EXPECT_TRUE(Near(wide.At(39, 5), RGB(158, 190, 245), 4)) << ColorText(wide.At(39, 5));
    dock.DestroyWindow();
    ASSERT_TRUE(dock.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, CRect(0, 0, half, 20), nullptr, 0));
    pTheme->FillDockBar(wide.DC(), &dock);
    EXPECT_TRUE(Near(wide.At(half - 1, 5), RGB(196, 218, 250), 2)) << ColorText(wide.At(half - 1, 5));
    dock.DestroyWindow();
}

TEST_F(ThemeTest, Office2003ExpandButtonsAndBallGlyph)
{
    SetScheme(L"NormalColor");
    auto* pTheme = Use<CXTPOffice2003Theme>(2);
    ASSERT_NE(pTheme, nullptr);
    CXTPControl* pExpand = Add(xtpControlButton, 500);
    Canvas canvas(200, 100);
    CSize szBar(120, 26);
    EXPECT_EQ(pTheme->DrawSpecialControl(canvas.DC(), xtpButtonExpandToolbar, pExpand, m_pBar, FALSE, &szBar),
              CSize(0, 0));
    EXPECT_EQ(pExpand->GetRect(), CRect(108, 1, 120, 26)) << "12 wide at the bar's end";
    m_pBar->m_barPosition = xtpBarLeft;
    szBar = CSize(26, 120);
    pTheme->DrawSpecialControl(canvas.DC(), xtpButtonExpandToolbar, pExpand, m_pBar, FALSE, &szBar);
    EXPECT_EQ(pExpand->GetRect(), CRect(0, 108, 26, 120));
    m_pBar->m_barPosition = xtpBarTop;
    pExpand->SetRect(CRect(108, 1, 120, 26));
    canvas.DC()->FillSolidRect(0, 0, 200, 100, RGB(255, 255, 255));
    BOOL bHidden = FALSE;
    pTheme->DrawSpecialControl(canvas.DC(), xtpButtonExpandToolbar, pExpand, m_pBar, TRUE, &bHidden);
    EXPECT_PIXEL(canvas, 119, 1, RGB(255, 255, 255)) << "corner left out";
    EXPECT_PIXEL(canvas, 108, 10, RGB(255, 255, 255)) << "inner edge left out";
    EXPECT_PIXEL(canvas, 109, 1, RGB(117, 166, 241)) << "expand light at the top";
    EXPECT_TRUE(Near(canvas.At(109, 25), RGB(0, 53, 145), 8)) << ColorText(canvas.At(109, 25));

    // The expand row of a popup: 18 high, the ball glyph at its centre.
    MakePopupBar();
    pExpand->SetRect(CRect(2, 40, 102, 58));
    EXPECT_EQ(pTheme->DrawSpecialControl(canvas.DC(), xtpButtonExpandMenu, pExpand, m_pBar, FALSE, nullptr),
              CSize(0, 18));
    canvas.DC()->FillSolidRect(0, 0, 200, 100, RGB(255, 255, 255));
    EXPECT_EQ(pTheme->DrawSpecialControl(canvas.DC(), xtpButtonExpandMenu, pExpand, m_pBar, TRUE, nullptr),
              CSize(0, 18));
    const int gx = 52 - 7, gy = 41;
    const COLORREF dark = RGB(129, 169, 226), light = RGB(227, 239, 254);
    auto shade = [&](int w) {
        auto ch = [&](int d, int l) { return d - (d - l) * w / 255; };
        return RGB(ch(GetRValue(dark), GetRValue(light)), ch(GetGValue(dark), GetGValue(light)),
                   ch(GetBValue(dark), GetBValue(light)));
    };
    EXPECT_PIXEL(canvas, gx + 0, gy + 0, RGB(255, 255, 255)) << "masked";
    EXPECT_PIXEL(canvas, gx + 13, gy + 12, shade(0));
    EXPECT_PIXEL(canvas, gx + 4, gy + 0, shade(234));
    EXPECT_PIXEL(canvas, gx + 10, gy + 2, shade(144));
    EXPECT_PIXEL(canvas, gx + 8, gy + 8, shade(126));
    // The whole glyph, as the weight table gives it.
    Canvas glyph(16, 16);
    glyph.DC()->FillSolidRect(0, 0, 16, 16, RGB(1, 2, 3));
    pTheme->GetGlyphs()->Draw(glyph.DC(), 0, CPoint(0, 0), ILD_NORMAL);
    int nWrong = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const int w = CXTPOffice2003Theme::s_ballWeights[y][x];
            nWrong += glyph.At(x, y) != (w == 255 ? RGB(1, 2, 3) : shade(w));
        }
    EXPECT_EQ(nWrong, 0);
}

TEST_F(ThemeTest, Office2003StatusBarAndDialogBar)
{
    SetScheme(L"NormalColor");
    auto* pTheme = Use<CXTPOffice2003Theme>(2);
    ASSERT_NE(pTheme, nullptr);
    Canvas canvas(200, 100);
    canvas.DC()->FillSolidRect(0, 0, 200, 100, RGB(255, 255, 255));
    pTheme->DrawStatusBarPaneBorder(canvas.DC(), CRect(10, 10, 60, 30), FALSE);
    EXPECT_PIXEL(canvas, 10, 10, RGB(211, 211, 211));
    EXPECT_PIXEL(canvas, 59, 29, RGB(211, 211, 211));
    EXPECT_PIXEL(canvas, 11, 11, RGB(255, 255, 255));

    // Without the status visual style: three groups of diagonal lines.
    FakeThemeLibrary::appThemed = FALSE;
    const int w = 40, h = 20;
    pTheme->DrawStatusBarGripper(canvas.DC(), CRect(0, 0, w, h));
    EXPECT_PIXEL(canvas, w - 1, h - 1, Color(COLOR_BTNSHADOW));
    EXPECT_PIXEL(canvas, w - 2, h - 1, Color(COLOR_BTNSHADOW));
    EXPECT_PIXEL(canvas, w - 3, h - 1, Color(COLOR_BTNHIGHLIGHT));
    EXPECT_PIXEL(canvas, w - 1, h - 3, Color(COLOR_BTNHIGHLIGHT));
    EXPECT_PIXEL(canvas, w - 6, h - 1, Color(COLOR_BTNSHADOW)) << "the second group, 5 further";
    EXPECT_PIXEL(canvas, w - 4, h - 1, RGB(255, 255, 255));
    const int nDrawn = FakeThemeLibrary::drawn;
    FakeThemeLibrary::appThemed = TRUE;
    pTheme->DrawStatusBarGripper(canvas.DC(), CRect(0, 0, w, h));
    EXPECT_EQ(FakeThemeLibrary::drawn, nDrawn + 1) << "themed: the visual style's gripper";

    // The dialog-bar gripper: the toolbar gradient and dots.
    CreateBar(CRect(0, 0, 60, 40));
    canvas.DC()->FillSolidRect(0, 0, 200, 100, RGB(255, 255, 255));
    EXPECT_EQ(pTheme->DrawDialogBarGripper(canvas.DC(), m_pBar, TRUE),
              CSize(8, std::max(25, pTheme->GetTextHeight() + 6)));
    EXPECT_PIXEL(canvas, 30, 3, RGB(221, 236, 254));
    EXPECT_PIXEL(canvas, 5, 7, Color(38));
    EXPECT_PIXEL(canvas, 7, 9, Color(COLOR_BTNHIGHLIGHT));
    EXPECT_PIXEL(canvas, 2, 10, RGB(255, 255, 255));
}

TEST_F(ThemeTest, SchemeChangeRebuildsColoursShadowAndGlyph)
{
    SetScheme(L"NormalColor");
    auto* pTheme = Use<CXTPOffice2003Theme>(2);
    ASSERT_NE(pTheme, nullptr);
    Canvas glyph(16, 16);
    auto glyphPixel = [&]() {
        glyph.DC()->FillSolidRect(0, 0, 16, 16, RGB(1, 2, 3));
        pTheme->GetGlyphs()->Draw(glyph.DC(), 0, CPoint(0, 0), ILD_NORMAL);
        return glyph.At(13, 12);
    };
    EXPECT_EQ(ColorText(glyphPixel()), ColorText(RGB(129, 169, 226)));
    SetScheme(L"HomeStead");
    pTheme->RefreshMetrics(); // what WM_SYSCOLORCHANGE runs
    EXPECT_EQ(ColorText(pTheme->m_clrShadowColor), ColorText(RGB(31, 34, 25)));
    EXPECT_EQ(ColorText(Color(32)), ColorText(RGB(63, 93, 56)));
    EXPECT_EQ(ColorText(glyphPixel()), ColorText(RGB(184, 198, 147)));
    SetScheme(nullptr);
    pTheme->RefreshMetrics();
    EXPECT_FALSE(pTheme->m_bLunaTheme);
    EXPECT_EQ(pTheme->m_clrShadowColor, RGB(0, 0, 0));
}

TEST_F(ThemeTest, DefaultThemeKeepsSystemColoursWithSchemeAdjustments)
{
    struct Case {
        const wchar_t* scheme;
        bool adjusted;
        COLORREF toolbarDark, toolbarShadow;
    } cases[] = {
        {L"NormalColor", true, RGB(199, 198, 176), RGB(146, 146, 118)},
        {L"Metallic", true, RGB(173, 172, 196), RGB(124, 124, 148)},
        {L"HomeStead", false, 0, 0},
        {nullptr, false, 0, 0},
    };
    for (const Case& c : cases) {
        SetScheme(c.scheme);
        auto* pTheme = Use<CXTPDefaultTheme>(4);
        ASSERT_NE(pTheme, nullptr);
        EXPECT_FALSE(pTheme->m_bLunaTheme);
        EXPECT_EQ(pTheme->m_clrDockBarLight, Color(COLOR_3DFACE));
        EXPECT_EQ(pTheme->m_clrShadowColor, RGB(0, 0, 0));
        EXPECT_NE(Color(32), RGB(0, 0, 128)) << "no scheme table";
        if (c.adjusted) {
            EXPECT_EQ(ColorText(pTheme->m_clrToolbarDark), ColorText(c.toolbarDark));
            EXPECT_EQ(ColorText(pTheme->m_clrToolbarShadow), ColorText(c.toolbarShadow));
        } else {
            EXPECT_EQ(pTheme->m_clrToolbarDark, Color(COLOR_3DFACE));
            EXPECT_EQ(pTheme->m_clrToolbarShadow, Color(30));
        }
    }
    SetScheme(L"Metallic");
    auto* pTheme = Use<CXTPDefaultTheme>(4);
    EXPECT_EQ(ColorText(pTheme->m_clrToolbarLight), ColorText(RGB(245, 245, 252)));
}

// Native XP -------------------------------------------------------------------------

namespace {

// A visual-styles library that records what it is asked to draw.
struct RecordingStyles {
    struct Draw {
        std::wstring cls;
        int part, state;
        CRect rc;
    };
    static std::vector<std::wstring> classes;
    static std::vector<Draw> draws;
    static COLORREF colours[4]; // text, edge shadow, fill hint, border

    static HTHEME WINAPI Open(HWND, LPCWSTR pszClass)
    {
        classes.push_back(pszClass);
        return reinterpret_cast<HTHEME>(classes.size());
    }
    static HRESULT WINAPI Close(HTHEME) { return S_OK; }
    static HRESULT WINAPI DrawBackground(HTHEME h, HDC, int part, int state, const RECT* rc, const RECT*)
    {
        draws.push_back({classes[reinterpret_cast<size_t>(h) - 1], part, state, CRect(*rc)});
        return S_OK;
    }
    static HRESULT WINAPI Color(HTHEME, int, int, int prop, COLORREF* clr)
    {
        switch (prop) {
        case TMT_TEXTCOLOR: *clr = colours[0]; return S_OK;
        case TMT_EDGESHADOWCOLOR: *clr = colours[1]; return S_OK;
        case TMT_FILLCOLORHINT: *clr = colours[2]; return S_OK;
        case TMT_BORDERCOLOR: *clr = colours[3]; return S_OK;
        default: return E_FAIL;
        }
    }
    static BOOL WINAPI Yes() { return TRUE; }
    static void Install()
    {
        classes.clear();
        draws.clear();
        win::RegisterStandInLibrary("UxTheme.dll", {{"OpenThemeData", win::AsFarProc(&Open)},
                                                    {"CloseThemeData", win::AsFarProc(&Close)},
                                                    {"DrawThemeBackground", win::AsFarProc(&DrawBackground)},
                                                    {"GetThemeColor", win::AsFarProc(&Color)},
                                                    {"IsThemeActive", win::AsFarProc(&Yes)},
                                                    {"IsAppThemed", win::AsFarProc(&Yes)}});
        XTPVisualStyleLibrary().Load();
    }
    static const Draw& Last() { return draws.back(); }
};
std::vector<std::wstring> RecordingStyles::classes;
std::vector<RecordingStyles::Draw> RecordingStyles::draws;
COLORREF RecordingStyles::colours[4] = {RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9), RGB(10, 11, 12)};

} // namespace

TEST_F(ThemeTest, NativeXPWithoutVisualStylesDrawsAsOffice2000)
{
    win::SetLibraryAvailable("UxTheme.dll", false);
    XTPVisualStyleLibrary().Load();
    CreateBar(CRect(0, 0, 120, 30));
    CXTPControl* pButton = Add(xtpControlButton, kIconId);
    CXTPControl* pSplit = Add(xtpControlSplitButtonPopup, kIconId);
    auto paint = [&](int nTheme, Canvas& canvas) {
        CXTPPaintManager* pTheme = CXTPPaintManager::SetTheme(nTheme);
        canvas.DC()->FillSolidRect(0, 0, 200, 100, RGB(255, 255, 255));
        pTheme->FillCommandBar(canvas.DC(), m_pBar);
        pTheme->DrawCommandBarGripper(canvas.DC(), m_pBar, TRUE);
        pButton->m_bSelected = 1;
        pButton->SetRect(CRect(10, 3, 33, 26));
        pTheme->DrawControl(canvas.DC(), pButton, TRUE);
        pSplit->m_bSelected = 1;
        pSplit->SetPressed(1);
        pSplit->SetRect(CRect(40, 3, 74, 26));
        pTheme->DrawControl(canvas.DC(), pSplit, TRUE);
    };
    Canvas a(200, 100), b(200, 100);
    paint(1, a);
    paint(3, b);
    int nDiff = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x)
            nDiff += a.At(x, y) != b.At(x, y);
    EXPECT_EQ(nDiff, 0) << "hot and pressed controls draw their icons alike";

    // Not hot: faded icons; popup text in the menu text colour.
    auto* pNative = Use<CXTPNativeXPTheme>(3);
    pButton->m_bSelected = 0;
    DrawAt(b, pButton, CRect(10, 3, 33, 26));
    CXTPOffice2000Theme office2000;
    m_pTheme = &office2000;
    DrawAt(a, pButton, CRect(10, 3, 33, 26));
    EXPECT_PIXEL(a, 20, 14, kIconColour);
    EXPECT_NE(b.At(20, 14), kIconColour) << "faded";
    m_pTheme = pNative;
    EXPECT_EQ(pNative->DrawDialogBarGripper(b.DC(), m_pBar, FALSE),
              CSize(8, std::max(22, pNative->GetTextHeight() + 4)));
}

TEST_F(ThemeTest, NativeXPAsksTheVisualStyles)
{
    RecordingStyles::Install();
    auto* pTheme = Use<CXTPNativeXPTheme>(3);
    ASSERT_NE(pTheme, nullptr);
    ASSERT_GE(RecordingStyles::classes.size(), 4u);
    EXPECT_EQ(std::vector<std::wstring>(RecordingStyles::classes.end() - 4, RecordingStyles::classes.end()),
              (std::vector<std::wstring>{L"TOOLBAR", L"REBAR", L"COMBOBOX", L"STATUS"}));
    EXPECT_EQ(Color(COLOR_BTNTEXT), RGB(1, 2, 3)) << "18 from the toolbar's text colour";
    EXPECT_EQ(Color(COLOR_3DFACE), RGB(7, 8, 9)) << "15 from the rebar's fill hint";
    EXPECT_EQ(pTheme->m_clrStatusTextColor, RGB(1, 2, 3));
    EXPECT_EQ(pTheme->m_clrEdgeShadowColor, RGB(4, 5, 6));

    Canvas canvas(200, 100);
    const CRect rc(10, 10, 33, 33);
    struct Case {
        BOOL selected, pressed, enabled, checked, popuped;
        int barType;
        int state;
    } cases[] = {
        {0, 0, 0, 1, 0, 0, 3}, {0, 0, 0, 1, 0, 1, 4}, {0, 0, 0, 0, 0, 1, 4}, {0, 0, 1, 0, 1, 1, 3},
        {1, 0, 1, 1, 0, 1, 6}, {0, 0, 1, 1, 0, 1, 5}, {1, 1, 1, 0, 0, 1, 3}, {0, 2, 1, 0, 0, 1, 3},
        {1, 0, 1, 0, 0, 1, 2}, {0, 0, 1, 0, 0, 1, 1}, {0, 1, 1, 0, 0, 1, 1},
    };
    for (const Case& c : cases) {
        pTheme->DrawControlBackground(canvas.DC(), rc, c.selected, c.pressed, c.enabled, c.checked, c.popuped,
                                      c.barType, xtpBarTop);
        const auto& d = RecordingStyles::Last();
        EXPECT_EQ(d.cls, L"TOOLBAR");
        EXPECT_EQ(d.part, 1);
        EXPECT_EQ(d.state, c.state) << c.selected << c.pressed << c.enabled << c.checked << c.popuped;
        EXPECT_EQ(d.rc, rc);
    }

    // Split buttons: parts 3 and 4.
    CXTPControl* pSplit = Add(xtpControlSplitButtonPopup, kIconId);
    pSplit->m_bSelected = 1;
    RecordingStyles::draws.clear();
    pTheme->DrawSplitButtonFrame(canvas.DC(), pSplit, CRect(10, 0, 44, 23));
    ASSERT_EQ(RecordingStyles::draws.size(), 2u);
    EXPECT_EQ(RecordingStyles::draws[0].part, 3);
    EXPECT_EQ(RecordingStyles::draws[0].state, 2);
    EXPECT_EQ(RecordingStyles::draws[0].rc, CRect(10, 0, 32, 23));
    EXPECT_EQ(RecordingStyles::draws[1].part, 4);
    EXPECT_EQ(RecordingStyles::draws[1].rc, CRect(32, 0, 44, 23));

    // Rebar grippers.
    CreateBar(CRect(0, 0, 120, 30));
    EXPECT_EQ(pTheme->DrawCommandBarGripper(canvas.DC(), m_pBar, TRUE), CSize(8, 0));
    EXPECT_EQ(RecordingStyles::Last().cls, L"REBAR");
    EXPECT_EQ(RecordingStyles::Last().part, 1);
    EXPECT_EQ(RecordingStyles::Last().rc, CRect(2, 0, 8, 30));
    m_pBar->m_barPosition = xtpBarLeft;
    EXPECT_EQ(pTheme->DrawCommandBarGripper(canvas.DC(), m_pBar, TRUE), CSize(0, 8));
    EXPECT_EQ(RecordingStyles::Last().part, 2);
    EXPECT_EQ(RecordingStyles::Last().rc, CRect(0, 2, 120, 8));

    // Combo button states and the edit border.
    pTheme->DrawComboBoxButton(canvas.DC(), CRect(50, 10, 65, 30), TRUE, 1, FALSE);
    EXPECT_EQ(RecordingStyles::Last().cls, L"COMBOBOX");
    EXPECT_EQ(RecordingStyles::Last().state, 2);
    EXPECT_EQ(RecordingStyles::Last().rc, CRect(48, 11, 64, 29));
    pTheme->DrawComboBoxButton(canvas.DC(), CRect(50, 10, 65, 30), TRUE, 1, TRUE);
    EXPECT_EQ(RecordingStyles::Last().state, 3);
    pTheme->DrawComboBoxButton(canvas.DC(), CRect(50, 10, 65, 30), FALSE, 1, TRUE);
    EXPECT_EQ(RecordingStyles::Last().state, 4);
    canvas.DC()->FillSolidRect(0, 0, 200, 100, RGB(255, 255, 255));
    pTheme->DrawEditFrame(canvas.DC(), CRect(100, 10, 150, 30), TRUE, 0);
    EXPECT_PIXEL(canvas, 100, 10, RGB(10, 11, 12));
    EXPECT_PIXEL(canvas, 149, 29, RGB(10, 11, 12));

    // Status parts.
    pTheme->DrawStatusBarPaneBorder(canvas.DC(), CRect(0, 0, 50, 20), TRUE);
    EXPECT_EQ(RecordingStyles::Last().cls, L"STATUS");
    EXPECT_EQ(RecordingStyles::Last().part, 2);
    pTheme->DrawStatusBarPaneBorder(canvas.DC(), CRect(0, 0, 50, 20), FALSE);
    EXPECT_EQ(RecordingStyles::Last().part, 1);
    pTheme->DrawStatusBarGripper(canvas.DC(), CRect(0, 0, 200, 20));
    EXPECT_EQ(RecordingStyles::Last().part, 3);
    EXPECT_EQ(RecordingStyles::Last().rc, CRect(182, 0, 200, 20));
}

TEST_F(ThemeTest, NativeXPRebarBackgroundOnlyAtTheTop)
{
    RecordingStyles::Install();
    auto* pTheme = Use<CXTPNativeXPTheme>(3);
    ASSERT_NE(pTheme, nullptr);
    Canvas canvas(200, 100);
    CWnd dock;
    ASSERT_TRUE(dock.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP | CBRS_ALIGN_TOP, CRect(0, 0, 100, 30),
                              nullptr, 0));
    RecordingStyles::draws.clear();
    pTheme->FillDockBar(canvas.DC(), &dock);
    ASSERT_EQ(RecordingStyles::draws.size(), 1u);
    EXPECT_EQ(RecordingStyles::Last().cls, L"REBAR");
    EXPECT_EQ(RecordingStyles::Last().part, 0);
    dock.DestroyWindow();
    for (DWORD dwAlign : {CBRS_ALIGN_BOTTOM, CBRS_ALIGN_LEFT, CBRS_ALIGN_RIGHT}) {
        ASSERT_TRUE(dock.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP | dwAlign, CRect(0, 0, 100, 30), nullptr,
                                  0));
        RecordingStyles::draws.clear();
        pTheme->FillDockBar(canvas.DC(), &dock);
        EXPECT_TRUE(RecordingStyles::draws.empty()) << dwAlign;
        EXPECT_PIXEL(canvas, 50, 15, Color(COLOR_3DFACE));
        dock.DestroyWindow();
    }

    // A toolbar docked at the top continues its parent's rebar.
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, CRect(0, 0, 300, 100), nullptr, 0));
    auto* pDocked = new CXTPCommandBar;
    ASSERT_TRUE(pDocked->CreateEx(0, AfxRegisterWndClass(0), "", WS_CHILD, CRect(10, 20, 110, 50), &parent, 0));
    pDocked->m_barPosition = xtpBarTop;
    RecordingStyles::draws.clear();
    pTheme->FillCommandBar(canvas.DC(), pDocked);
    ASSERT_EQ(RecordingStyles::draws.size(), 1u);
    EXPECT_EQ(RecordingStyles::Last().cls, L"REBAR");
    EXPECT_EQ(RecordingStyles::Last().rc, CRect(-10, -20, 290, 80));
    EXPECT_PIXEL(canvas, 99, 29, RGB(4, 5, 6)) << "the edge colour";
    pDocked->DestroyWindow();
    pDocked->InternalRelease();
    parent.DestroyWindow();

    // A toolbar docked left is plain face, framed in 20 and the edge colour.
    CreateBar(CRect(0, 0, 30, 100));
    m_pBar->m_barPosition = xtpBarLeft;
    RecordingStyles::draws.clear();
    pTheme->FillCommandBar(canvas.DC(), m_pBar);
    EXPECT_TRUE(RecordingStyles::draws.empty());
    EXPECT_PIXEL(canvas, 0, 0, Color(COLOR_BTNHIGHLIGHT));
    EXPECT_PIXEL(canvas, 29, 99, RGB(4, 5, 6));
    EXPECT_PIXEL(canvas, 15, 50, Color(COLOR_3DFACE));
}

// The frame's own dock bars and the toolbars docked in them ---------------------

namespace {

// A frame with one toolbar docked at the top and one at the right, each
// window painting itself into the frame's surface.
class DockedBars {
public:
    DockedBars()
    {
        EXPECT_TRUE(m_frame.Create(nullptr, "frame", WS_POPUP | WS_VISIBLE, CRect(0, 0, 500, 300)));
        EXPECT_TRUE(m_frame.InitCommandBars(RUNTIME_CLASS(CXTPCommandBars)));
        CXTPCommandBars* pBars = m_frame.GetCommandBars();
        m_pTop = pBars->Add("标准", xtpBarTop);
        m_pRight = pBars->Add("搜索", xtpBarRight);
        for (CXTPToolBar* pBar : {m_pTop, m_pRight})
            for (int i = 0; i < 3; ++i)
                pBar->GetControls()->Add(xtpControlButton, kNoIconId + i);
        m_frame.RecalcLayout();
    }
    ~DockedBars() { m_frame.DestroyWindow(); }
    DockedBars(const DockedBars&) = delete;
    DockedBars& operator=(const DockedBars&) = delete;

    CXTPDockBar* Dock(int nPosition) { return m_frame.GetCommandBars()->GetDockBar(nPosition); }
    void Paint() { m_frame.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN); }
    // A pixel of the window's client area as the frame's surface (its
    // whole window, border included) holds it.
    COLORREF At(CWnd* pWnd, int x, int y)
    {
        auto surface = win::GetWindowSurface(m_frame.m_hWnd);
        CPoint pt(x, y);
        pWnd->ClientToScreen(&pt);
        CRect rcFrame;
        m_frame.GetWindowRect(&rcFrame);
        pt -= rcFrame.TopLeft();
        const uint32_t p = surface->GetPixel(pt.x, pt.y);
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    static CRect Client(CWnd* pWnd)
    {
        CRect rc;
        pWnd->GetClientRect(&rc);
        return rc;
    }
    // The bar's window in its dock bar's client coordinates.
    static CRect InParent(CWnd* pWnd)
    {
        CRect rc;
        pWnd->GetWindowRect(&rc);
        pWnd->GetParent()->ScreenToClient(&rc);
        return rc;
    }

    test::CToolBarTestFrame m_frame;
    CXTPToolBar* m_pTop = nullptr;
    CXTPToolBar* m_pRight = nullptr;
};

// The horizontal dock gradient from light to dark over span pixels, at x.
COLORREF GradientAt(COLORREF clrFrom, COLORREF clrTo, int span, int x)
{
    auto mix = [&](int a, int b) { return a + (b - a) * x / std::max(1, span - 1); };
    return RGB(mix(GetRValue(clrFrom), GetRValue(clrTo)), mix(GetGValue(clrFrom), GetGValue(clrTo)),
               mix(GetBValue(clrFrom), GetBValue(clrTo)));
}

} // namespace

TEST_F(ThemeTest, DockBarsAndDockedToolbarsInTheOfficeThemes)
{
    SetScheme(L"NormalColor");
    DockedBars bars;
    CXTPDockBar* pTopDock = bars.Dock(xtpBarTop);
    CXTPDockBar* pRightDock = bars.Dock(xtpBarRight);
    const CRect rcTopDock = DockedBars::Client(pTopDock), rcRightDock = DockedBars::Client(pRightDock);
    const CRect rcTop = DockedBars::Client(bars.m_pTop), rcRight = DockedBars::Client(bars.m_pRight);
    ASSERT_GT(rcTopDock.Width(), rcTop.Width() + 10) << "dock area right of the toolbar";
    ASSERT_GT(rcRightDock.Height(), rcRight.Height() + 10) << "dock area below the toolbar";
    const CRect rcTopInDock = DockedBars::InParent(bars.m_pTop);

    // Office XP: plain face around the bevelled toolbars.
    ASSERT_NE(Use<CXTPOfficeXPTheme>(0), nullptr);
    bars.Paint();
    const COLORREF face = Color(COLOR_3DFACE);
    EXPECT_EQ(ColorText(bars.At(pTopDock, rcTopDock.right - 1, 1)), ColorText(face));
    EXPECT_EQ(ColorText(bars.At(pRightDock, 1, rcRightDock.bottom - 1)), ColorText(face));
    EXPECT_EQ(ColorText(bars.At(bars.m_pTop, 1, 1)), ColorText(face)) << "bevelled corner";
    EXPECT_EQ(ColorText(bars.At(bars.m_pTop, 2, 1)), ColorText(Color(30)));
    EXPECT_EQ(ColorText(bars.At(bars.m_pRight, 1, 1)), ColorText(face));

    // Office 2003, blue: the top dock bar's gradient, the right one plain
    // dock dark, the toolbars' margins continuing their dock bar.
    auto* pTheme = Use<CXTPOffice2003Theme>(2);
    ASSERT_NE(pTheme, nullptr);
    bars.Paint();
    const COLORREF light = pTheme->m_clrDockBarLight, dark = pTheme->m_clrDockBarDark;
    EXPECT_EQ(ColorText(light), ColorText(RGB(158, 190, 245)));
    const int half = std::max(static_cast<int>(rcTopDock.Width()), GetSystemMetrics(SM_CXFULLSCREEN) / 2);
    for (int x : {0, static_cast<int>(rcTopDock.right) - 1}) {
        const COLORREF shown = bars.At(pTopDock, x, rcTopDock.bottom - 1);
        EXPECT_TRUE(Near(shown, GradientAt(light, dark, half, x), 3)) << x << ": " << ColorText(shown);
    }
    EXPECT_EQ(ColorText(bars.At(pRightDock, 1, rcRightDock.bottom - 1)), ColorText(dark));
    const int full = GetSystemMetrics(SM_CXFULLSCREEN);
    const COLORREF margin = bars.At(bars.m_pTop, 1, rcTop.Height() / 2);
    EXPECT_TRUE(Near(margin, GradientAt(light, dark, full, rcTopInDock.left + 1), 3))
        << "left margin shows the dock: " << ColorText(margin);
    EXPECT_EQ(ColorText(bars.At(bars.m_pTop, rcTop.right - 3, 1)), ColorText(RGB(221, 236, 254)))
        << "the toolbar's vertical gradient starts light";
    const COLORREF low = bars.At(bars.m_pTop, rcTop.right - 3, rcTop.bottom - 3);
    EXPECT_TRUE(Near(low, RGB(129, 169, 226), 12)) << "and ends dark: " << ColorText(low);
    EXPECT_EQ(ColorText(bars.At(bars.m_pTop, rcTop.right - 3, rcTop.bottom - 1)),
              ColorText(pTheme->m_clrToolbarShadow));
    EXPECT_EQ(ColorText(bars.At(bars.m_pRight, 1, 1)), ColorText(dark)) << "in the right dock bar: dock dark";
}

TEST_F(ThemeTest, NativeXPRebarOnTheTopDockBarAndItsToolbars)
{
    RecordingStyles::Install();
    ASSERT_NE(Use<CXTPNativeXPTheme>(3), nullptr);
    DockedBars bars;
    CXTPDockBar* pTopDock = bars.Dock(xtpBarTop);
    CXTPDockBar* pRightDock = bars.Dock(xtpBarRight);
    const CRect rcTopDock = DockedBars::Client(pTopDock);
    const CRect rcIn = DockedBars::InParent(bars.m_pTop);
    RecordingStyles::draws.clear();
    bars.Paint();
    std::vector<CRect> rebars;
    for (const auto& draw : RecordingStyles::draws)
        if (draw.cls == L"REBAR" && draw.part == 0)
            rebars.push_back(draw.rc);
    // The dock bar against itself, the top toolbar against its dock bar;
    // nothing for the right dock bar or its toolbar.
    ASSERT_EQ(rebars.size(), 2u);
    EXPECT_NE(std::find(rebars.begin(), rebars.end(), rcTopDock), rebars.end());
    const CRect rcAgainstDock(-rcIn.left, -rcIn.top, rcTopDock.right - rcIn.left, rcTopDock.bottom - rcIn.top);
    EXPECT_NE(std::find(rebars.begin(), rebars.end(), rcAgainstDock), rebars.end());
    const CRect rcRightDock = DockedBars::Client(pRightDock);
    EXPECT_EQ(ColorText(bars.At(pRightDock, 1, rcRightDock.bottom - 1)), ColorText(Color(COLOR_3DFACE)));
    const CRect rcRight = DockedBars::Client(bars.m_pRight);
    EXPECT_EQ(ColorText(bars.At(bars.m_pRight, 0, 0)), ColorText(Color(COLOR_BTNHIGHLIGHT)));
    EXPECT_EQ(ColorText(bars.At(bars.m_pRight, rcRight.right - 1, rcRight.bottom - 1)), ColorText(RGB(4, 5, 6)))
        << "framed in the edge colour";
}
