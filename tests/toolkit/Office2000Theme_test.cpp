// Control drawing on bars and the Office 2000 theme: sizes of toolbar
// controls, the button states, split buttons, popup items, the bars' own
// buttons, borders, grippers and separators, and the edit and combo fields,
// drawn into memory DCs with the pinned fonts and the default system colours.
#include "tests/support/SolidIcon.h"
#include "tests/toolkit/CommandBarTestSupport.h"
#include "tests/toolkit/ToolkitTestSupport.h"

#include "platform/win/SystemProfile.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlComboBox.h"
#include "toolkit/commandbars/XTPControlEdit.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPImageManager.h"
#include "toolkit/commandbars/XTPOffice2000Theme.h"
#include "toolkit/controls/XTDrawHelpers.h"

#include <algorithm>
#include <functional>

using namespace tavrin;
using tavrin::test::Canvas;
using tavrin::test::ColorText;

namespace {

constexpr COLORREF kIconColour = RGB(0, 0, 255);
constexpr int kIconId = 100;   // has an image
constexpr int kNoIconId = 200; // has none

// A control that can be shown with its popup open.
class OpenablePopup : public CXTPControlPopup {
public:
    explicit OpenablePopup(int nType) { m_controlType = nType; }
    void SetOpen(BOOL bOpen) { m_bPopup = bOpen; }
};

class Office2000ThemeTest : public test::ToolkitTest {
protected:
    void SetUp() override
    {
        test::ToolkitTest::SetUp();
        m_pTheme = static_cast<CXTPOffice2000Theme*>(CXTPPaintManager::SetTheme(xtpThemeOffice2000));
        ASSERT_NE(m_pTheme, nullptr);
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
        test::ToolkitTest::TearDown();
    }

    CXTPControl* Add(int nType, int nId, LPCTSTR lpszCaption = "")
    {
        CXTPControl* pControl = m_pBar->GetControls()->Add(nType, nId);
        pControl->SetCaption(lpszCaption);
        return pControl;
    }
    OpenablePopup* AddOpenable(int nType, int nId, LPCTSTR lpszCaption = "")
    {
        auto* pControl = new OpenablePopup(nType);
        m_pBar->GetControls()->Add(pControl, nId);
        pControl->SetCaption(lpszCaption);
        return pControl;
    }
    void MakePopupBar()
    {
        m_pBar->m_barType = xtpBarTypePopup;
        m_pBar->m_barPosition = xtpBarPopup;
    }
    CSize Measure(CXTPControl* pControl)
    {
        Canvas canvas(8, 8);
        return m_pTheme->DrawControl(canvas.DC(), pControl, FALSE);
    }
    // The text's extent in a font.
    static CSize TextSize(CFont* pFont, const CString& strText)
    {
        Canvas canvas(8, 8);
        CXTFontSelector font(canvas.DC(), pFont);
        return canvas.DC()->GetTextExtent(strText);
    }
    // Draws the control at rc on a canvas filled with the button face.
    void DrawAt(Canvas& canvas, CXTPControl* pControl, CRect rc)
    {
        canvas.DC()->FillSolidRect(0, 0, 200, 100, Color(COLOR_3DFACE));
        pControl->SetRect(rc);
        m_pTheme->DrawControl(canvas.DC(), pControl, TRUE);
    }
    COLORREF Color(int nIndex) const { return m_pTheme->GetColor(nIndex); }
    static int Count(Canvas& canvas, CRect rc, COLORREF clr)
    {
        int n = 0;
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x)
                n += canvas.At(x, y) == clr;
        return n;
    }

    CXTPOffice2000Theme* m_pTheme = nullptr;
    CXTPCommandBar* m_pBar = nullptr;
    HICON m_icon = nullptr;
};

#define EXPECT_PIXEL(canvas, x, y, clr) \
    EXPECT_EQ(ColorText((canvas).At(x, y)), ColorText(clr)) << "at (" << (x) << ", " << (y) << ")"

} // namespace

TEST_F(Office2000ThemeTest, TheFactoryMakesTheThemeForOneAndEveryUnknownId)
{
    for (int nTheme : {1, 5, 9, -3}) {
        CXTPPaintManager* pManager = CXTPPaintManager::SetTheme(nTheme);
        ASSERT_NE(dynamic_cast<CXTPOffice2000Theme*>(pManager), nullptr) << nTheme;
        EXPECT_EQ(pManager->GetCurrentTheme(), nTheme);
        EXPECT_EQ(pManager->BaseTheme(), 1);
        EXPECT_FALSE(pManager->IsFlatStyle());
        EXPECT_FALSE(pManager->GetIconsInfo()->bUseFadedIcons);
        EXPECT_FALSE(pManager->GetIconsInfo()->bIconsWithShadow);
        EXPECT_EQ(static_cast<CXTPOffice2000Theme*>(pManager)->m_nPopupBarText, COLOR_BTNTEXT);
    }
    m_pTheme = nullptr;
}

TEST_F(Office2000ThemeTest, BarMetricsFollowTheOwnSizesElseTheIcon)
{
    EXPECT_EQ(m_pBar->GetIconSize(), CSize(16, 16));
    EXPECT_EQ(m_pBar->GetButtonSize(), CSize(23, 23));
    m_pBar->SetIconSize(CSize(24, 24));
    EXPECT_EQ(m_pBar->GetButtonSize(), CSize(31, 31));
    m_pBar->SetButtonSize(CSize(40, 30));
    EXPECT_EQ(m_pBar->GetButtonSize(), CSize(40, 30));
    m_pBar->m_nTextBelowIcons = 1;
    EXPECT_TRUE(m_pBar->IsTextBelowIcons());
}

TEST_F(Office2000ThemeTest, ToolbarControlSizes)
{
    CFont* pFont = &m_pTheme->m_fontRegular;
    const CSize szOpen = TextSize(pFont, "Open");
    const CSize szSpace = TextSize(pFont, " ");
    struct Case {
        const char* name;
        int type;
        int id;
        const char* caption;
        int style;
        CSize expected;
    } cases[] = {
        {"button without icon: caption from 23 x 23", xtpControlButton, kNoIconId, "&Open", 0,
         CSize(4 + szOpen.cx + 3, std::max(szOpen.cy + 6, 23))},
        {"button with icon: icon only", xtpControlButton, kIconId, "Open", 0, CSize(23, 23)},
        {"button with icon and caption style", xtpControlButton, kIconId, "Open", 3,
         CSize(23 + szOpen.cx + 3, std::max(szOpen.cy + 6, 23))},
        {"caption style", xtpControlButton, kIconId, "Open", 1, CSize(4 + szOpen.cx + 3, std::max(szOpen.cy + 6, 23))},
        {"plain popup: never an icon", xtpControlPopup, kIconId, "Open", 0,
         CSize(szOpen.cx + 10 + 6, szOpen.cy + 6)},
        {"plain popup, no icon, empty caption", xtpControlPopup, kNoIconId, "", 0,
         CSize(szSpace.cx + 16, szSpace.cy + 6)},
        {"plain popup with icon style, no caption", xtpControlPopup, kIconId, "", 2, CSize(30, 23)},
        {"split button, icon only", xtpControlSplitButtonPopup, kIconId, "Open", 0, CSize(23 + 11, 23)},
        {"split button, icon and caption", xtpControlSplitButtonPopup, kIconId, "Open", 3,
         CSize(23 + szOpen.cx + 3 + 11, std::max(szOpen.cy + 6, 23))},
        {"split button without icon", xtpControlSplitButtonPopup, kNoIconId, "Open", 0,
         CSize(4 + szOpen.cx + 3 + 11, std::max(szOpen.cy + 6, 23))},
        {"label", xtpControlLabel, kNoIconId, "Open", 0, CSize(4 + szOpen.cx + 3, std::max(szOpen.cy + 6, 23))},
        // Without its window a custom control stands in as a button.
        {"custom control without its window", xtpControlCustom, kNoIconId, "Open", 0,
         CSize(4 + szOpen.cx + 3, std::max(szOpen.cy + 6, 23))},
    };
    for (const Case& c : cases) {
        CXTPControl* pControl = Add(c.type, c.id, c.caption);
        pControl->SetIconId(c.id); // popups have no command id
        pControl->SetStyle(c.style);
        EXPECT_EQ(Measure(pControl), c.expected) << c.name;
    }
}

TEST_F(Office2000ThemeTest, SplitButtonIsElevenWiderThanTheButton)
{
    for (int style : {0, 3}) {
        CXTPControl* pButton = Add(xtpControlButton, kIconId, "Save");
        CXTPControl* pSplit = Add(xtpControlSplitButtonPopup, kIconId, "Save");
        pButton->SetStyle(style);
        pSplit->SetStyle(style);
        const CSize a = Measure(pButton), b = Measure(pSplit);
        EXPECT_EQ(b.cx, a.cx + 11) << style;
        EXPECT_EQ(b.cy, a.cy) << style;
    }
}

TEST_F(Office2000ThemeTest, TextBelowIcons)
{
    m_pBar->m_nTextBelowIcons = 1;
    const CSize szText = TextSize(&m_pTheme->m_fontRegular, "Open");
    CXTPControl* pButton = Add(xtpControlButton, kIconId, "Open");
    const int cy = 23 + szText.cy;
    const int cx = std::max({23, static_cast<int>(szText.cx) + 10, cy});
    EXPECT_EQ(Measure(pButton), CSize(cx, cy));
    CXTPControl* pSplit = Add(xtpControlSplitButtonPopup, kIconId, "Open");
    EXPECT_EQ(Measure(pSplit), CSize(std::max(std::max(23, static_cast<int>(szText.cx) + 10) + 11, cy), cy));
    // Without an icon the caption goes beside as usual.
    CXTPControl* pPlain = Add(xtpControlButton, kNoIconId, "Open");
    EXPECT_EQ(Measure(pPlain).cy, std::max(szText.cy + 6, 23));
}

TEST_F(Office2000ThemeTest, VerticalBarsSwapTheSizesAndPointTheTriangleLeft)
{
    m_pBar->m_barPosition = xtpBarLeft;
    const CSize szVert = TextSize(&m_pTheme->m_fontVert, "Open");
    CXTPControl* pButton = Add(xtpControlButton, kNoIconId, "Open");
    EXPECT_EQ(Measure(pButton), CSize(std::max(szVert.cy + 6, 23), 4 + szVert.cx + 3));
    CXTPControl* pPopup = Add(xtpControlPopup, kNoIconId, "Open");
    EXPECT_EQ(Measure(pPopup), CSize(szVert.cy + 6, szVert.cx + 10 + 6));

    Canvas canvas(200, 100);
    const CRect rc(10, 0, 40, 80);
    DrawAt(canvas, pPopup, rc);
    const int w = szVert.cx + 5;
    const int top = rc.top + (rc.Height() - w + 1) / 2;
    const CPoint tip(rc.left + rc.Width() / 2, top + szVert.cx + 4);
    const COLORREF clrText = Color(COLOR_BTNTEXT);
    EXPECT_PIXEL(canvas, tip.x + 1, tip.y, clrText);
    EXPECT_PIXEL(canvas, tip.x + 2, tip.y + 2, clrText);
    EXPECT_PIXEL(canvas, tip.x - 1, tip.y, Color(COLOR_3DFACE)) << "the tip points left";
    EXPECT_PIXEL(canvas, tip.x + 3, tip.y, Color(COLOR_3DFACE));
    const CRect rcCaption(rc.left, rc.top, rc.right, tip.y - 3);
    const int nInk = rcCaption.Width() * rcCaption.Height() - Count(canvas, rcCaption, Color(COLOR_3DFACE));
    EXPECT_GT(nInk, 30) << "the caption (antialiased)";
}

TEST_F(Office2000ThemeTest, ButtonStatesByPixel)
{
    Canvas canvas(200, 100);
    const CRect rc(10, 10, 33, 33);
    const CPoint icon(rc.left + 3, rc.top + 3);
    const COLORREF face = Color(COLOR_3DFACE), light = Color(COLOR_BTNHIGHLIGHT), shadow = Color(COLOR_BTNSHADOW);
    CXTPControl* pButton = Add(xtpControlButton, kIconId, "");
    auto draw = [&](int checked, int selected, int pressed) {
        pButton->SetChecked(checked);
        pButton->m_bSelected = selected;
        pButton->SetPressed(pressed);
        DrawAt(canvas, pButton, rc);
    };

    draw(0, 0, 0);
    EXPECT_PIXEL(canvas, rc.left, rc.top, face) << "normal: no frame";
    EXPECT_PIXEL(canvas, icon.x + 8, icon.y + 8, kIconColour);

    draw(1, 0, 0);
    EXPECT_PIXEL(canvas, rc.left, rc.top, shadow) << "checked: sunken";
    EXPECT_PIXEL(canvas, rc.right - 1, rc.bottom - 1, light);
    const COLORREF a = canvas.At(rc.left + 1, rc.top + 1), b = canvas.At(rc.left + 2, rc.top + 1);
    EXPECT_NE(a, b) << "the dither alternates";
    EXPECT_TRUE((a == face && b == light) || (a == light && b == face)) << ColorText(a) << " " << ColorText(b);
    EXPECT_EQ(canvas.At(rc.left + 1, rc.top + 2), b);

    draw(1, 1, 0);
    EXPECT_PIXEL(canvas, rc.left, rc.top, shadow) << "hot checked: only the frame";
    EXPECT_PIXEL(canvas, rc.left + 1, rc.top + 1, face);
    EXPECT_PIXEL(canvas, rc.left + 2, rc.top + 1, face);

    draw(0, 1, 0);
    EXPECT_PIXEL(canvas, rc.left, rc.top, light) << "hot: raised";
    EXPECT_PIXEL(canvas, rc.right - 1, rc.bottom - 1, shadow);
    EXPECT_PIXEL(canvas, icon.x + 15, icon.y + 15, kIconColour);
    EXPECT_PIXEL(canvas, icon.x + 16, icon.y + 16, face);

    draw(0, 1, 1);
    EXPECT_PIXEL(canvas, rc.left, rc.top, shadow) << "pressed: sunken";
    EXPECT_PIXEL(canvas, rc.right - 1, rc.bottom - 1, light);
    EXPECT_PIXEL(canvas, icon.x + 16, icon.y + 16, kIconColour) << "the icon moves by one";
    EXPECT_PIXEL(canvas, icon.x, icon.y + 8, face);

    draw(0, 0, 2);
    EXPECT_PIXEL(canvas, rc.left, rc.top, shadow) << "pressed value 2: sunken";

    draw(0, 0, 1);
    EXPECT_PIXEL(canvas, rc.left, rc.top, light) << "pressed off the button: raised";
}

TEST_F(Office2000ThemeTest, DisabledAndShadowedIcons)
{
    Canvas canvas(200, 100);
    const CRect rc(10, 10, 33, 33);
    const CPoint icon(rc.left + 3, rc.top + 3);
    const COLORREF face = Color(COLOR_3DFACE);
    CXTPControl* pButton = Add(xtpControlButton, kIconId, "");

    pButton->SetEnabled(FALSE);
    DrawAt(canvas, pButton, rc);
    EXPECT_PIXEL(canvas, icon.x + 16, icon.y + 16, Color(COLOR_BTNHIGHLIGHT)) << "the silhouette at (+1, +1)";
    EXPECT_PIXEL(canvas, icon.x + 5, icon.y + 5, Color(COLOR_BTNSHADOW)) << "and at (0, 0)";

    m_pTheme->GetIconsInfo()->bUseDisabledIcons = TRUE;
    DrawAt(canvas, pButton, rc);
    EXPECT_PIXEL(canvas, icon.x + 16, icon.y + 16, face) << "the disabled image instead";
    EXPECT_NE(canvas.At(icon.x + 5, icon.y + 5), Color(COLOR_BTNSHADOW));
    EXPECT_NE(canvas.At(icon.x + 5, icon.y + 5), face);
    m_pTheme->GetIconsInfo()->bUseDisabledIcons = FALSE;

    pButton->SetEnabled(TRUE);
    pButton->m_bSelected = 1;
    m_pTheme->GetIconsInfo()->bIconsWithShadow = TRUE;
    DrawAt(canvas, pButton, rc);
    EXPECT_PIXEL(canvas, icon.x - 1, icon.y + 5, kIconColour) << "the hot icon lifted";
    const COLORREF clrShadow = canvas.At(icon.x + 15, icon.y + 15);
    EXPECT_NE(clrShadow, kIconColour);
    EXPECT_NE(clrShadow, face) << "its shadow below";
}

TEST_F(Office2000ThemeTest, SplitButtonArrowPart)
{
    Canvas canvas(200, 100);
    const CRect rc(10, 10, 44, 33);
    const COLORREF face = Color(COLOR_3DFACE), light = Color(COLOR_BTNHIGHLIGHT), shadow = Color(COLOR_BTNSHADOW);
    OpenablePopup* pSplit = AddOpenable(xtpControlSplitButtonPopup, kIconId);
    const int arrow = rc.right - 12;

    DrawAt(canvas, pSplit, rc);
    EXPECT_PIXEL(canvas, arrow, rc.top, face) << "idle: no frames";
    const int mid = rc.top + rc.Height() / 2;
    EXPECT_PIXEL(canvas, rc.right - 7, mid, Color(COLOR_BTNTEXT)) << "the arrow";

    pSplit->m_bSelected = 1;
    DrawAt(canvas, pSplit, rc);
    EXPECT_PIXEL(canvas, rc.left, rc.top, light) << "the button part raised";
    EXPECT_PIXEL(canvas, arrow - 1, rc.bottom - 1, shadow) << "its right edge 12 from the right";
    EXPECT_PIXEL(canvas, arrow, rc.top, light) << "the arrow part raised";
    EXPECT_PIXEL(canvas, rc.right - 1, rc.bottom - 1, shadow);

    pSplit->m_bSelected = 0;
    pSplit->SetPressed(1);
    DrawAt(canvas, pSplit, rc);
    EXPECT_PIXEL(canvas, arrow, rc.top, light) << "pressed: the arrow part drawn too";

    pSplit->SetPressed(0);
    pSplit->SetOpen(TRUE);
    DrawAt(canvas, pSplit, rc);
    EXPECT_PIXEL(canvas, rc.left, rc.top, light) << "open: the button part selected";
    EXPECT_PIXEL(canvas, arrow, rc.top, shadow) << "and the arrow part sunken";
    EXPECT_PIXEL(canvas, rc.right - 1, rc.bottom - 1, light);

    pSplit->SetOpen(FALSE);
    pSplit->m_bSelected = 1;
    pSplit->SetEnabled(FALSE);
    DrawAt(canvas, pSplit, rc);
    EXPECT_PIXEL(canvas, arrow, rc.top, face) << "disabled: no arrow part";
}

TEST_F(Office2000ThemeTest, PopupItems)
{
    MakePopupBar();
    const int g = std::max(20, m_pTheme->GetTextHeight());
    const int h = std::max(20, m_pTheme->GetTextHeight());
    const COLORREF face = Color(COLOR_3DFACE), highlight = Color(COLOR_HIGHLIGHT);
    Canvas canvas(200, 100);
    const CRect rc(3, 10, 163, 10 + h);
    const int mid = rc.top + rc.Height() / 2;

    // Size: gutter, caption, shortcut and 40.
    CXTPControl* pOpen = Add(xtpControlButton, kIconId, "&Open\tCtrl+O");
    CRect rcCaption(0, 0, 0, 0), rcShortcut(0, 0, 0, 0);
    {
        Canvas probe(8, 8);
        CXTFontSelector font(probe.DC(), &m_pTheme->m_fontRegular);
        probe.DC()->DrawText("&Open", &rcCaption, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
        probe.DC()->DrawText("Ctrl+O", &rcShortcut, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
    }
    EXPECT_EQ(Measure(pOpen), CSize(g + rcCaption.Width() + rcShortcut.Width() + 40, h));

    // Unselected text in the popup text colour; the shortcut ends 19 from the right.
    DrawAt(canvas, pOpen, rc);
    const COLORREF clrText = Color(COLOR_BTNTEXT);
    int nLeft = 1000, nRight = -1;
    for (int x = rc.left; x < rc.right; ++x)
        for (int y = rc.top; y < rc.bottom; ++y)
            if (canvas.At(x, y) == clrText) {
                nLeft = std::min(nLeft, x);
                nRight = std::max(nRight, x);
            }
    EXPECT_GE(nLeft, rc.left + g + 4) << "the caption column";
    EXPECT_LT(nRight, rc.right - 19) << "the shortcut column";
    EXPECT_GT(nRight, rc.right - 19 - rcShortcut.Width() - 2);
    m_pTheme->m_nPopupBarText = COLOR_ACTIVECAPTION;
    DrawAt(canvas, pOpen, rc);
    EXPECT_GT(Count(canvas, rc, Color(COLOR_ACTIVECAPTION)), 10) << "the theme's popup text colour";
    m_pTheme->m_nPopupBarText = COLOR_BTNTEXT;

    // The highlight starts past the gutter with an icon, at the edge without.
    pOpen->m_bSelected = 1;
    DrawAt(canvas, pOpen, rc);
    EXPECT_PIXEL(canvas, rc.left + g + 1, mid, highlight);
    EXPECT_NE(canvas.At(rc.left + g, mid), highlight);
    EXPECT_GT(Count(canvas, rc, Color(COLOR_HIGHLIGHTTEXT)), 10) << "selected text";
    CXTPControl* pPlain = Add(xtpControlButton, kNoIconId, "Plain");
    pPlain->m_bSelected = 1;
    DrawAt(canvas, pPlain, rc);
    EXPECT_PIXEL(canvas, rc.left, mid, highlight);

    // A checked item without icon: the check mark centred in the gutter.
    pPlain->m_bSelected = 0;
    pPlain->SetChecked(1);
    DrawAt(canvas, pPlain, rc);
    const int cx = rc.left + (g - 20) / 2 + 10, cy = rc.top + (rc.Height() - 20) / 2 + 10;
    EXPECT_PIXEL(canvas, cx - 2, cy + 1, clrText);
    EXPECT_PIXEL(canvas, cx + 2, cy - 2, clrText);
    EXPECT_PIXEL(canvas, rc.left, rc.top, Color(COLOR_BTNSHADOW)) << "the gutter sunken";
    pPlain->m_bSelected = 1;
    DrawAt(canvas, pPlain, rc);
    EXPECT_PIXEL(canvas, rc.left + g + 1, mid, highlight) << "past the check mark";
    EXPECT_NE(canvas.At(rc.left, mid), highlight);

    // A rarely used item.
    CXTPControl* pRare = Add(xtpControlButton, kNoIconId, "Rare");
    pRare->SetRarelyUsed(TRUE);
    DrawAt(canvas, pRare, rc);
    EXPECT_PIXEL(canvas, rc.right - 2, rc.top + 1, Color(COLOR_3DLIGHT));
    EXPECT_PIXEL(canvas, rc.right, rc.top + 1, face);
}

TEST_F(Office2000ThemeTest, PopupArrowsAndSplitItems)
{
    MakePopupBar();
    const int h = std::max(20, m_pTheme->GetTextHeight());
    const COLORREF highlight = Color(COLOR_HIGHLIGHT);
    Canvas canvas(200, 100);
    const CRect rc(3, 10, 163, 10 + h);
    const int mid = rc.top + rc.Height() / 2;

    OpenablePopup* pSub = AddOpenable(xtpControlPopup, kNoIconId, "Sub");
    DrawAt(canvas, pSub, rc);
    EXPECT_PIXEL(canvas, rc.right - 11, mid, Color(COLOR_BTNTEXT)) << "the right-pointing arrow";
    EXPECT_PIXEL(canvas, rc.right - 9, mid, Color(COLOR_BTNTEXT));
    EXPECT_PIXEL(canvas, rc.right - 11, mid - 4, Color(COLOR_3DFACE));

    OpenablePopup* pSplit = AddOpenable(xtpControlSplitButtonPopup, kNoIconId, "Split");
    DrawAt(canvas, pSplit, rc);
    EXPECT_PIXEL(canvas, rc.right - 20, mid, Color(COLOR_BTNTEXT)) << "the dividing line";
    pSplit->m_bSelected = 1;
    DrawAt(canvas, pSplit, rc);
    EXPECT_PIXEL(canvas, rc.right - 20, mid, Color(COLOR_BTNSHADOW)) << "the line when selected";
    EXPECT_PIXEL(canvas, rc.right - 15, rc.top + 2, highlight) << "closed: the whole highlight";
    pSplit->SetOpen(TRUE);
    DrawAt(canvas, pSplit, rc);
    EXPECT_PIXEL(canvas, rc.right - 20, rc.top, Color(COLOR_BTNSHADOW)) << "open: the last 20 sunken";
    EXPECT_PIXEL(canvas, rc.right - 1, rc.bottom - 1, Color(COLOR_BTNHIGHLIGHT));
    EXPECT_PIXEL(canvas, rc.right - 21, rc.top + 2, highlight) << "the highlight up to right - 20";
    EXPECT_PIXEL(canvas, rc.right - 15, rc.top + 2, Color(COLOR_3DFACE));
    EXPECT_PIXEL(canvas, rc.right - 11, mid, Color(COLOR_BTNTEXT)) << "the arrow in the popup text colour";
}

TEST_F(Office2000ThemeTest, SpecialControls)
{
    CXTPControl* pExpand = Add(xtpControlButton, kNoIconId);
    CSize szBar(200, 26);
    m_pTheme->DrawSpecialControl(nullptr, xtpButtonExpandToolbar, pExpand, m_pBar, FALSE, &szBar);
    EXPECT_EQ(pExpand->GetRect(), CRect(187, 2, 198, 24));
    m_pBar->m_barPosition = xtpBarLeft;
    szBar = CSize(26, 200);
    m_pTheme->DrawSpecialControl(nullptr, xtpButtonExpandToolbar, pExpand, m_pBar, FALSE, &szBar);
    EXPECT_EQ(pExpand->GetRect(), CRect(2, 187, 24, 198));
    m_pBar->m_barPosition = xtpBarTop;

    // The chevron of hidden controls.
    Canvas canvas(200, 100);
    const CRect rc(20, 10, 31, 32);
    pExpand->SetRect(rc);
    const COLORREF clrText = Color(COLOR_BTNTEXT);
    for (BOOL bHidden : {FALSE, TRUE}) {
        canvas.DC()->FillSolidRect(0, 0, 200, 100, Color(COLOR_3DFACE));
        m_pTheme->DrawSpecialControl(canvas.DC(), xtpButtonExpandToolbar, pExpand, m_pBar, TRUE, &bHidden);
        EXPECT_EQ(Count(canvas, CRect(rc.left, rc.top, rc.right, rc.top + 11), clrText) > 0, bHidden);
        EXPECT_PIXEL(canvas, rc.left + rc.Width() / 2, rc.bottom - 6, clrText) << "the down triangle";
    }

    // The expand row of a popup.
    EXPECT_EQ(m_pTheme->DrawSpecialControl(nullptr, xtpButtonExpandMenu, pExpand, m_pBar, FALSE, nullptr),
              CSize(0, 12));
    EXPECT_EQ(m_pTheme->DrawSpecialControl(canvas.DC(), xtpButtonExpandMenu, pExpand, m_pBar, TRUE, nullptr),
              CSize(0, 12));

    // The close button: the glyph in highlight text unless hot.
    CXTPControl* pClose = Add(xtpControlButton, kNoIconId);
    const CRect rcClose(40, 10, 56, 26);
    pClose->SetRect(rcClose);
    const COLORREF clrGlyph = RGB(1, 200, 100);
    m_pTheme->SetCustomColor(COLOR_HIGHLIGHTTEXT, clrGlyph);
    CRect rcInside = rcClose;
    rcInside.DeflateRect(1, 1);
    for (int selected : {0, 1}) {
        pClose->m_bSelected = selected;
        canvas.DC()->FillSolidRect(0, 0, 200, 100, Color(COLOR_3DFACE));
        m_pTheme->DrawSpecialControl(canvas.DC(), xtpButtonCloseToolbar, pClose, m_pBar, TRUE, nullptr);
        EXPECT_EQ(Count(canvas, rcInside, clrGlyph) > 0, selected == 0) << selected;
        EXPECT_EQ(Count(canvas, rcInside, clrText) > 0, selected == 1) << selected;
    }
}

TEST_F(Office2000ThemeTest, OptionLineHasACheckColumnBeforeTheIcons)
{
    MakePopupBar();
    const int g = std::max(20, m_pTheme->GetTextHeight());
    CXTPControl* pLine = Add(xtpControlButton, kIconId, "Line");
    const CSize szItem = Measure(pLine);
    Canvas probe(8, 8);
    EXPECT_EQ(m_pTheme->DrawSpecialControl(probe.DC(), xtpButtonCustomize, pLine, m_pBar, FALSE, nullptr),
              CSize(szItem.cx + g, szItem.cy));

    Canvas canvas(220, 100);
    const CRect rc(3, 10, 203, 10 + szItem.cy);
    pLine->SetRect(rc);
    pLine->SetChecked(1);
    pLine->m_bSelected = 1;
    canvas.DC()->FillSolidRect(0, 0, 220, 100, Color(COLOR_3DFACE));
    m_pTheme->DrawSpecialControl(canvas.DC(), xtpButtonCustomize, pLine, m_pBar, TRUE, nullptr);
    const int mid = rc.top + rc.Height() / 2;
    EXPECT_PIXEL(canvas, rc.left, rc.top, Color(COLOR_BTNSHADOW)) << "the check column";
    EXPECT_PIXEL(canvas, rc.left + g + 1 + g / 2, mid, kIconColour) << "the icon in the second column";
    EXPECT_PIXEL(canvas, rc.left + 2 * g + 1, mid, Color(COLOR_HIGHLIGHT)) << "the highlight after it";
    EXPECT_NE(canvas.At(rc.left + 2 * g, mid), Color(COLOR_HIGHLIGHT));
}

TEST_F(Office2000ThemeTest, BordersGrippersAndSeparators)
{
    EXPECT_EQ(m_pTheme->GetCommandBarBorders(m_pBar), CRect(2, 2, 2, 2));
    MakePopupBar();
    EXPECT_EQ(m_pTheme->GetCommandBarBorders(m_pBar), CRect(3, 3, 3, 3));
    m_pBar->m_barType = xtpBarTypeNormal;

    ASSERT_TRUE(m_pBar->CreateEx(0, AfxRegisterWndClass(0), "标准", WS_POPUP, CRect(0, 0, 180, 60), nullptr, 0));
    m_pBar->SetTitle("标准");
    Canvas canvas(200, 100);
    const COLORREF light = Color(COLOR_BTNHIGHLIGHT), shadow = Color(COLOR_BTNSHADOW);

    // Floating: the title strip, at least 15 high, 3 from the top.
    m_pBar->m_barPosition = xtpBarFloating;
    const CSize szCaption = TextSize(&m_pTheme->m_fontSmCaption, " ");
    const CSize szStrip = m_pTheme->DrawCommandBarGripper(canvas.DC(), m_pBar, FALSE);
    EXPECT_EQ(szStrip, CSize(174, std::max(15, szCaption.cy)));
    m_pTheme->FillCommandBar(canvas.DC(), m_pBar);
    EXPECT_PIXEL(canvas, 0, 0, Color(COLOR_3DFACE)) << "floating: the outer frame";
    EXPECT_PIXEL(canvas, 179, 59, Color(0));
    EXPECT_PIXEL(canvas, 1, 1, light);
    EXPECT_PIXEL(canvas, 178, 58, shadow);
    m_pTheme->DrawCommandBarGripper(canvas.DC(), m_pBar, TRUE);
    EXPECT_PIXEL(canvas, 3, 3, Color(COLOR_ACTIVECAPTION));
    EXPECT_PIXEL(canvas, 176, szStrip.cy + 2, Color(COLOR_ACTIVECAPTION));
    EXPECT_PIXEL(canvas, 176, szStrip.cy + 3, Color(COLOR_3DFACE));
    EXPECT_GT(Count(canvas, CRect(5, 3, 174 - 2 * szStrip.cy, szStrip.cy + 3), Color(COLOR_BTNHIGHLIGHT)), 5)
        << "the title";

    // Docked grippers.
    m_pBar->m_barPosition = xtpBarTop;
    EXPECT_EQ(m_pTheme->DrawCommandBarGripper(canvas.DC(), m_pBar, FALSE), CSize(6, 0));
    m_pTheme->FillCommandBar(canvas.DC(), m_pBar);
    EXPECT_PIXEL(canvas, 0, 0, light) << "docked: raised";
    m_pTheme->DrawCommandBarGripper(canvas.DC(), m_pBar, TRUE);
    EXPECT_PIXEL(canvas, 3, 3, light);
    EXPECT_PIXEL(canvas, 5, 56, shadow);
    m_pBar->m_barPosition = xtpBarLeft;
    EXPECT_EQ(m_pTheme->DrawCommandBarGripper(canvas.DC(), m_pBar, FALSE), CSize(0, 8));
    m_pBar->m_barPosition = xtpBarNone;
    EXPECT_EQ(m_pTheme->DrawCommandBarGripper(canvas.DC(), m_pBar, FALSE), CSize(0, 0));

    // Separators.
    CXTPControl* pControl = Add(xtpControlButton, kNoIconId);
    pControl->SetRect(CRect(40, 20, 63, 43));
    pControl->SetRowRect(CRect(2, 20, 150, 43));
    struct Case {
        const char* name;
        int type, position;
        BOOL wrap;
        CPoint topLeft, bottomRight;
    } cases[] = {
        {"popup", xtpBarTypePopup, xtpBarPopup, FALSE, CPoint(14, 15), CPoint(165, 16)},
        {"horizontal", xtpBarTypeNormal, xtpBarTop, FALSE, CPoint(36, 20), CPoint(37, 42)},
        {"horizontal, wrapped", xtpBarTypeNormal, xtpBarTop, TRUE, CPoint(6, 16), CPoint(149, 17)},
        {"vertical", xtpBarTypeNormal, xtpBarLeft, FALSE, CPoint(0, 16), CPoint(149, 17)},
        {"vertical, wrapped", xtpBarTypeNormal, xtpBarLeft, TRUE, CPoint(152, 24), CPoint(153, 42)},
    };
    for (const Case& c : cases) {
        m_pBar->m_barType = c.type;
        m_pBar->m_barPosition = c.position;
        pControl->SetWrap(c.wrap);
        EXPECT_EQ(m_pTheme->DrawCommandBarSeparator(canvas.DC(), m_pBar, pControl, FALSE), CSize(0, 8));
        canvas.DC()->FillSolidRect(0, 0, 200, 100, RGB(255, 255, 255));
        EXPECT_EQ(m_pTheme->DrawCommandBarSeparator(canvas.DC(), m_pBar, pControl, TRUE), CSize(0, 0));
        EXPECT_PIXEL(canvas, c.topLeft.x, c.topLeft.y, shadow) << c.name;
        EXPECT_PIXEL(canvas, c.bottomRight.x, c.bottomRight.y, light) << c.name;
    }
}

TEST_F(Office2000ThemeTest, EditAndComboFields)
{
    auto* pEdit = static_cast<CXTPControlEdit*>(Add(xtpControlEdit, 300, "Find"));
    auto* pCombo = static_cast<CXTPControlComboBox*>(Add(xtpControlComboBox, 301, "Find"));
    CFont* pIconFont = m_pTheme->GetIconFont();
    const CSize szSpace = TextSize(pIconFont, " ");
    const CSize szFind = TextSize(pIconFont, "Find");

    // Toolbars: the label lies inside the width.
    EXPECT_EQ(Measure(pEdit), CSize(100, szSpace.cy + 8));
    EXPECT_EQ(pEdit->GetLabelWidth(), szFind.cx + 5);
    EXPECT_TRUE(pEdit->m_bDelayReposition) << "a new label width places the window again";
    pEdit->m_bDelayReposition = FALSE;
    Measure(pEdit);
    EXPECT_FALSE(pEdit->m_bDelayReposition);
    pEdit->ShowLabel(FALSE);
    Measure(pEdit);
    EXPECT_EQ(pEdit->GetLabelWidth(), 0);

    EXPECT_EQ(Measure(pCombo), CSize(100, szSpace.cy + 8));
    EXPECT_EQ(pCombo->GetDropDownWidth(), szSpace.cy + 2);
    EXPECT_EQ(pCombo->GetLabelWidth(), 0) << "combo style 0 has no label";
    pCombo->SetComboStyle(1);
    Measure(pCombo);
    EXPECT_EQ(pCombo->GetLabelWidth(), szFind.cx + 5);

    // Drawing: the field, its frame and the button.
    Canvas canvas(200, 100);
    const CRect rc(10, 10, 110, 10 + szSpace.cy + 8);
    pCombo->SetComboStyle(0);
    Measure(pCombo);
    DrawAt(canvas, pCombo, rc);
    const CRect rcField(rc.left + 1, rc.top, rc.right, rc.bottom);
    const COLORREF light = Color(COLOR_BTNHIGHLIGHT), shadow = Color(COLOR_BTNSHADOW);
    EXPECT_PIXEL(canvas, rcField.left, rcField.top, shadow) << "enabled: sunken";
    EXPECT_PIXEL(canvas, rcField.right - 1, rcField.bottom - 1, light);
    EXPECT_PIXEL(canvas, rcField.left + 3, rcField.top + 3, Color(COLOR_WINDOW));
    const CRect rcButton(rcField.right - pCombo->GetDropDownWidth() - 1, rcField.top + 1, rcField.right - 1,
                         rcField.bottom - 1);
    EXPECT_PIXEL(canvas, rcButton.right - 1, rcButton.bottom - 1, Color(0)) << "the button's outer frame";
    EXPECT_PIXEL(canvas, rcButton.left + 1, rcButton.top + 1, light) << "raised inside";
    CRect rcGlyph = rcButton;
    rcGlyph.DeflateRect(2, 2);
    EXPECT_GT(Count(canvas, rcGlyph, Color(COLOR_BTNTEXT)), 3) << "the arrow glyph";
    pCombo->m_bSelected = 1;
    DrawAt(canvas, pCombo, rc);
    EXPECT_PIXEL(canvas, rcButton.right - 1, rcButton.bottom - 1, shadow) << "selected: a flat frame";

    pEdit->m_bSelected = 0;
    pEdit->SetEnabled(FALSE);
    DrawAt(canvas, pEdit, rc);
    EXPECT_PIXEL(canvas, rcField.left, rcField.top, light) << "disabled: flat in the highlight";
    EXPECT_PIXEL(canvas, rcField.right - 1, rcField.bottom - 1, light);
    EXPECT_PIXEL(canvas, rcField.left + 3, rcField.top + 3, Color(COLOR_3DFACE)) << "not filled";
    pEdit->m_bSelected = 2;
    DrawAt(canvas, pEdit, rc);
    EXPECT_PIXEL(canvas, rcField.left, rcField.top, shadow) << "keyboard-selected: flat in the shadow";

    // On popup bars the label sits past the icon column.
    MakePopupBar();
    const int nItemHeight = std::max(m_pTheme->GetTextHeight(), 20);
    EXPECT_EQ(Measure(pEdit), CSize(100 + szFind.cx + nItemHeight + 9, szSpace.cy + 8));
    EXPECT_EQ(pEdit->GetLabelWidth(), szFind.cx + nItemHeight + 9);
}

TEST_F(Office2000ThemeTest, ListBoxLines)
{
    const int nCell = std::max(20, m_pTheme->GetTextHeight());
    Canvas canvas(200, 100);
    const CRect rc(10, 10, 190, 10 + nCell);
    const COLORREF face = Color(COLOR_3DFACE), highlight = Color(COLOR_HIGHLIGHT);
    canvas.DC()->FillSolidRect(0, 0, 200, 100, RGB(255, 255, 255));
    EXPECT_EQ(m_pTheme->DrawListBoxControl(canvas.DC(), nullptr, rc, FALSE, TRUE, nullptr), CSize(0, 0));
    EXPECT_PIXEL(canvas, rc.left, rc.top, face) << "no control: the face";

    CXTPControl* pButton = Add(xtpControlButton, kIconId, "Open");
    EXPECT_EQ(m_pTheme->DrawListBoxControl(canvas.DC(), pButton, rc, FALSE, FALSE, nullptr), CSize(nCell, nCell));
    m_pTheme->DrawListBoxControl(canvas.DC(), pButton, rc, TRUE, TRUE, nullptr);
    const int mid = rc.top + rc.Height() / 2;
    EXPECT_PIXEL(canvas, rc.left, rc.top, Color(COLOR_BTNHIGHLIGHT)) << "the icon cell raised";
    EXPECT_PIXEL(canvas, rc.left + nCell / 2, mid, kIconColour);
    EXPECT_PIXEL(canvas, rc.left + nCell + 1, mid, highlight) << "the highlight past the cell";
    EXPECT_PIXEL(canvas, rc.right - 1, mid, face);
    EXPECT_GT(Count(canvas, rc, Color(COLOR_HIGHLIGHTTEXT)), 10) << "the caption";

    // A combo line: a field after the caption with its button.
    CXTPControl* pCombo = Add(xtpControlComboBox, 301, "Find");
    m_pTheme->DrawListBoxControl(canvas.DC(), pCombo, rc, FALSE, TRUE, nullptr);
    EXPECT_PIXEL(canvas, rc.left + 2, mid, face) << "no icon: no highlight";
    EXPECT_PIXEL(canvas, rc.right - 1, rc.top, face) << "the field framed in the face";
    EXPECT_PIXEL(canvas, rc.right - 30, mid, Color(COLOR_WINDOW)) << "and filled with the window colour";
}
