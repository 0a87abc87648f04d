// The toolkit button and its three styles: caption stripping, placement of
// image and caption, the frame and face of every state in every theme,
// hover tracking on a driven clock, double clicks and private styles.
#include "platform/base/Clock.h"
#include "platform/mfc/Resource.h"
#include "platform/win/Input.h"
#include "tests/toolkit/ControlTestHost.h"
#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/commandbars/XTPImageManagerIcon.h"
#include "toolkit/controls/XTButton.h"
#include "toolkit/controls/XTDrawHelpers.h"

#include <memory>
#include <typeinfo>

using namespace tavrin;
using tavrin::test::Canvas;
using tavrin::test::ColorText;
using tavrin::test::ControlTestHost;
using tavrin::test::FakeThemeLibrary;
using tavrin::test::PumpQueue;
using tavrin::test::TestResourceModule;
using tavrin::test::ColorIndex;

namespace {

constexpr UINT kButtonId = 41;
constexpr int kWidth = 100;
constexpr int kHeight = 40;

// The flags the styles read are the button's own; tests set them directly.
class TestButton : public CXTButton {
public:
    using CXTButton::m_bHot;
    using CXTButton::m_bChecked;
    using CXTButton::m_dwxStyle;
};

class ButtonTest : public tavrin::test::ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        XTGetThemeManager()->SetTheme(xtThemeDefault);
        XTGetColorManager()->RefreshColors(FALSE);
        m_host = std::make_unique<ControlTestHost>();
    }
    void TearDown() override
    {
        m_host.reset();
        XTGetThemeManager()->SetTheme(xtThemeDefault);
        FakeThemeLibrary::Uninstall();
        XTGetColorManager()->RefreshColors(FALSE);
        ToolkitTest::TearDown();
    }
    // A button of kWidth x kHeight at (10, 10) in the host.
    void Make(TestButton& button, LPCTSTR caption, DWORD style = 0)
    {
        ASSERT_TRUE(button.Create(caption, WS_CHILD | WS_VISIBLE | style, CRect(10, 10, 10 + kWidth, 10 + kHeight),
                                  m_host.get(), kButtonId));
        PumpQueue();
    }
    // The style's whole drawing of the button in the given item state.
    void Draw(CXTButtonTheme& theme, TestButton& button, UINT state, Canvas& canvas)
    {
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_BUTTON;
        dis.CtlID = kButtonId;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = state;
        dis.hwndItem = button.GetSafeHwnd();
        dis.hDC = canvas.DC()->GetSafeHdc();
        dis.rcItem = CRect(0, 0, kWidth, kHeight);
        theme.DrawButton(&dis, &button);
    }
    std::unique_ptr<ControlTestHost> m_host;
};

} // namespace

TEST_F(ButtonTest, CaptionsLoseTheirSingleAmpersands)
{
    struct Case {
        const char* text;
        const char* stripped;
    } const cases[] = {
        {"&OK", "OK"}, {"a&&b", "a&&b"}, {"&&&x", "&&x"}, {"end&", "end&"}, {"中&文", "中文"}, {"", ""}, {"&", "&"},
    };
    for (const Case& c : cases) {
        TestButton button;
        Make(button, c.text);
        EXPECT_EQ(std::string(button.GetButtonText(TRUE)), c.stripped) << c.text;
        EXPECT_EQ(std::string(button.GetButtonText(FALSE)), c.text);
        button.DestroyWindow();
    }
}

TEST_F(ButtonTest, CaptionIsDrawnWithTheDoubledAmpersandShownOnceAndNothingUnderlined)
{
    // What the button draws equals the plain text at the same place.
    struct Case {
        const char* caption;
        const char* shown;
    } const cases[] = {{"a&&b", "a&b"}, {"&OK", "OK"}};
    for (const Case& c : cases) {
        TestButton button;
        Make(button, c.caption);
        CXTButtonTheme* theme = button.GetButtonTheme();
        ASSERT_NE(theme, nullptr);
        Canvas drawn(kWidth, kHeight), expected(kWidth, kHeight);
        theme->DrawButtonText(drawn.DC(), 0, CRect(0, 0, kWidth, kHeight), &button);

        CDC* dc = expected.DC();
        CXTFontSelector font(dc, theme->GetFont(&button));
        const CSize size = dc->GetTextExtent(theme->GetCaption(&button));
        const CPoint at = theme->CalcTextPosition(0, CRect(0, 0, kWidth, kHeight), size, &button);
        dc->SetBkMode(TRANSPARENT);
        dc->SetTextColor(ColorIndex(COLOR_BTNTEXT));
        dc->TextOut(at.x, at.y, c.shown, static_cast<int>(strlen(c.shown)));
        int differing = 0, inked = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                differing += drawn.At(x, y) != expected.At(x, y);
                inked += expected.At(x, y) != RGB(255, 255, 255);
            }
        EXPECT_GT(inked, 10) << c.caption;
        EXPECT_EQ(differing, 0) << c.caption;
        button.DestroyWindow();
    }
}

TEST_F(ButtonTest, TextAndImagePlacement)
{
    HICON icon = tavrin::test::MakeSolidIcon(16, 16, RGB(200, 0, 0));
    const CRect item(0, 0, kWidth, kHeight);
    const CSize text(30, 12);
    struct Case {
        const char* what;
        DWORD style;
        DWORD xstyle;
        const char* caption;
        bool user;
        CPoint textAt;
        CPoint imageAt; // (-1, -1): the image's y depends on the font, checked below
    } const cases[] = {
        {"left", BS_LEFT, 0, "Text", false, {28, 14}, {4, 12}},
        {"right", BS_RIGHT, 0, "Text", false, {66, 14}, {4, 12}},
        {"centred", BS_CENTER, 0, "Text", false, {43, 14}, {4, 12}},
        {"no alignment centres", 0, 0, "Text", false, {43, 14}, {4, 12}},
        {"image above, centred", BS_CENTER, BS_XT_TWOROWS, "Text", false, {35, 26}, {42, -1}},
        {"image above, left", BS_LEFT, BS_XT_TWOROWS, "Text", false, {4, 26}, {42, -1}},
        {"image above, right", BS_RIGHT, BS_XT_TWOROWS, "Text", false, {66, 26}, {80, -1}},
        {"image only, centred both ways", BS_CENTER | BS_VCENTER, 0, "", false, {43, 14}, {42, 12}},
        {"image only, left", BS_LEFT | BS_VCENTER, 0, "", false, {28, 14}, {4, 12}},
        {"user positions", BS_CENTER, 0, "Text", true, {7, 9}, {3, 5}},
    };
    for (const Case& c : cases) {
        TestButton button;
        Make(button, c.caption, c.style);
        button.m_dwxStyle = c.xstyle;
        ASSERT_TRUE(button.SetIcon(CSize(16, 16), icon, nullptr, FALSE));
        if (c.user)
            button.SetTextAndImagePos(CPoint(3, 5), CPoint(7, 9), FALSE);
        CXTButtonTheme* theme = button.GetButtonTheme();
        ASSERT_NE(theme, nullptr);
        EXPECT_EQ(theme->CalcTextPosition(0, item, text, &button), c.textAt) << c.what;
        CClientDC dc(&button);
        const CPoint image = theme->CalcImagePosition(&dc, 0, item, &button);
        EXPECT_EQ(image.x, c.imageAt.x) << c.what;
        if (c.imageAt.y >= 0) {
            EXPECT_EQ(image.y, c.imageAt.y) << c.what;
        } else {
            const int textHeight = theme->GetCaptionSize(&dc, &button).cy;
            EXPECT_GT(textHeight, 0);
            EXPECT_EQ(image.y, 12 - (8 / 2 + textHeight / 2)) << c.what;
        }
        button.DestroyWindow();
    }
    // With images hidden the layout reserves no room for one.
    TestButton hidden;
    Make(hidden, "Text", BS_LEFT);
    hidden.m_dwxStyle = 0;
    hidden.SetIcon(CSize(16, 16), icon, nullptr, FALSE);
    hidden.ToggleShowImage();
    EXPECT_EQ(hidden.GetImageSize(), CSize(0, 0));
    EXPECT_EQ(hidden.GetButtonTheme()->CalcTextPosition(0, item, text, &hidden), CPoint(12, 14));
    hidden.ToggleShowImage();
    DestroyIcon(icon);
}

TEST_F(ButtonTest, ZeroSizesTakeTheImagesOwnSize)
{
    HICON icon = tavrin::test::MakeSolidIcon(20, 12, RGB(0, 128, 0));
    TestButton button;
    Make(button, "Icon");
    ASSERT_TRUE(button.SetIcon(CSize(0, 0), icon));
    EXPECT_EQ(button.GetImageSize(), CSize(20, 12));
    ASSERT_TRUE(button.SetIcon(CSize(16, 16), icon));
    EXPECT_EQ(button.GetImageSize(), CSize(16, 16));
    DestroyIcon(icon);

    TestResourceModule module;
    module.AddBitmap(501, 24, 10, 32, [](int, int) -> COLORREF { return RGB(10, 20, 30) | 0xFF000000; });
    module.AddBitmap(502, 8, 8, 24, [](int x, int) -> COLORREF { return x ? RGB(0, 0, 200) : RGB(255, 0, 255); });
    HINSTANCE old = AfxGetResourceHandle();
    AfxSetResourceHandle(module.Module());
    ASSERT_TRUE(button.SetBitmap(CSize(0, 0), 501));
    EXPECT_EQ(button.GetImageSize(), CSize(24, 10)) << "the alpha bitmap's size";
    ASSERT_NE(button.GetIconObject(), nullptr);
    EXPECT_TRUE(button.GetIconObject()->IsAlpha());
    ASSERT_TRUE(button.SetBitmap(CSize(0, 0), 502));
    EXPECT_EQ(button.GetImageSize(), CSize(8, 8)) << "the converted icon's size";
    EXPECT_FALSE(button.GetIconObject()->IsAlpha());
    CXTPImageManagerIcon* kept = button.GetIconObject();
    EXPECT_FALSE(button.SetBitmap(CSize(0, 0), 999));
    EXPECT_FALSE(button.SetIcon(CSize(16, 16), 998u));
    EXPECT_EQ(button.GetIconObject(), kept) << "a failed load keeps the image";
    AfxSetResourceHandle(old);
}

TEST_F(ButtonTest, ClassicFramesForEachState)
{
    const COLORREF face = ColorIndex(15), shadow = ColorIndex(16), hilite = ColorIndex(20), dark = ColorIndex(21), light = ColorIndex(15);
    struct Case {
        const char* what;
        DWORD xstyle;
        BOOL hot;
        BOOL checked;
        UINT state;
        COLORREF topLeft;
        COLORREF bottomRight;
        COLORREF inner; // at (1, 1)
    } const cases[] = {
        {"flat idle", BS_XT_FLAT, FALSE, FALSE, 0, face, face, face},
        {"flat hot", BS_XT_FLAT, TRUE, FALSE, 0, hilite, shadow, face},
        {"flat pressed", BS_XT_FLAT, FALSE, FALSE, ODS_SELECTED, shadow, hilite, face},
        {"flat checked", BS_XT_FLAT, FALSE, TRUE, 0, shadow, hilite, face},
        {"flat disabled", BS_XT_FLAT, FALSE, FALSE, ODS_DISABLED, face, face, face},
        {"semi-flat idle", BS_XT_SEMIFLAT, FALSE, FALSE, 0, hilite, shadow, face},
        {"semi-flat pressed", BS_XT_SEMIFLAT, TRUE, FALSE, ODS_SELECTED, shadow, hilite, face},
        {"3D idle", 0, FALSE, FALSE, 0, hilite, dark, light},
        {"3D hot", 0, TRUE, FALSE, 0, hilite, dark, light},
        {"3D pressed", 0, FALSE, FALSE, ODS_SELECTED, dark, hilite, shadow},
        {"3D disabled", 0, FALSE, FALSE, ODS_DISABLED, hilite, dark, light},
    };
    TestButton button;
    Make(button, "");
    CXTButtonTheme theme;
    theme.RefreshMetrics();
    for (const Case& c : cases) {
        button.m_dwxStyle = c.xstyle;
        button.m_bHot = c.hot;
        button.m_bChecked = c.checked;
        Canvas canvas(kWidth, kHeight);
        Draw(theme, button, c.state, canvas);
        EXPECT_EQ(ColorText(canvas.At(0, 0)), ColorText(c.topLeft)) << c.what;
        EXPECT_EQ(ColorText(canvas.At(kWidth - 1, kHeight - 1)), ColorText(c.bottomRight)) << c.what;
        EXPECT_EQ(ColorText(canvas.At(1, 1)), ColorText(c.inner)) << c.what;
        EXPECT_EQ(ColorText(canvas.At(kWidth / 2, kHeight / 2)), ColorText(face)) << c.what;
    }
}

TEST_F(ButtonTest, LatchedInButtonShowsTheHalftone)
{
    TestButton button;
    Make(button, "");
    CXTButtonTheme theme;
    theme.RefreshMetrics();
    button.m_dwxStyle = BS_XT_FLAT | BS_XT_HILITEPRESSED;
    button.m_bChecked = TRUE;
    Canvas canvas(kWidth, kHeight);
    Draw(theme, button, 0, canvas);
    // A checkerboard of face and highlight inside the frame.
    for (int y = 2; y < 6; ++y)
        for (int x = 2; x < 6; ++x)
            EXPECT_EQ(ColorText(canvas.At(x, y)), ColorText((x + y) % 2 ? ColorIndex(20) : ColorIndex(15))) << x << "," << y;
    // Not latched in: the plain face.
    button.m_bChecked = FALSE;
    Canvas idle(kWidth, kHeight);
    Draw(theme, button, 0, idle);
    EXPECT_EQ(ColorText(idle.At(3, 2)), ColorText(ColorIndex(15)));
    EXPECT_EQ(ColorText(idle.At(2, 2)), ColorText(ColorIndex(15)));
}

TEST_F(ButtonTest, FocusRectangleOnlyWithItsBit)
{
    TestButton button;
    Make(button, "");
    CXTButtonTheme theme;
    theme.RefreshMetrics();
    auto marked = [&](DWORD xstyle) {
        button.m_dwxStyle = xstyle;
        Canvas canvas(kWidth, kHeight);
        Draw(theme, button, ODS_FOCUS, canvas);
        int count = 0;
        for (int y = 2; y < kHeight - 2; ++y)
            count += canvas.At(2, y) != ColorIndex(15);
        return count;
    };
    EXPECT_GT(marked(BS_XT_FLAT | BS_XT_SHOWFOCUS), 5) << "the dotted rectangle 2 pixels in";
    EXPECT_EQ(marked(BS_XT_FLAT), 0);
}

TEST_F(ButtonTest, OfficeFacesForEachStateThemeAndScheme)
{
    struct Scheme {
        const wchar_t* color; // null: no visual styles
        COLORREF hot, pushed, checked, frame; // CLR_INVALID: the colour index's
    };
    const COLORREF none = CLR_INVALID;
    const Scheme schemes[] = {
        {nullptr, none, none, none, none},
        {L"NormalColor", RGB(255, 238, 194), RGB(254, 128, 62), RGB(255, 192, 111), RGB(0, 0, 128)},
        {L"HomeStead", RGB(255, 238, 194), RGB(254, 128, 62), RGB(255, 192, 111), RGB(63, 93, 56)},
        {L"Metallic", RGB(255, 238, 194), RGB(254, 128, 62), RGB(255, 192, 111), RGB(75, 75, 11)},
    };
    TestButton button;
    Make(button, "");
    for (int themeId : {1, 2}) {
        for (const Scheme& s : schemes) {
            if (s.color) {
                FakeThemeLibrary::Install();
                FakeThemeLibrary::colorName = s.color;
            } else {
                FakeThemeLibrary::Uninstall();
            }
            CXTButtonThemeFactory factory;
            std::unique_ptr<CXTThemeManagerStyle> style(factory.CreateStyle(themeId));
            auto* theme = dynamic_cast<CXTButtonThemeOfficeXP*>(style.get());
            ASSERT_NE(theme, nullptr);
            theme->RefreshMetrics();
            // The XP look and the 2003 look without a scheme keep the colour indexes.
            const bool scheme = themeId == 2 && s.color;
            const COLORREF hot = scheme ? s.hot : ColorIndex(31);
            const COLORREF pushed = scheme ? s.pushed : ColorIndex(33);
            const COLORREF checked = scheme ? s.checked : ColorIndex(36);
            const COLORREF frame = scheme ? s.frame : ColorIndex(32);
            struct State {
                const char* what;
                BOOL hot;
                BOOL checked;
                UINT state;
                COLORREF edge;
                COLORREF fill;
            } const states[] = {
                {"idle", FALSE, FALSE, 0, ColorIndex(15), ColorIndex(15)},
                {"hot", TRUE, FALSE, 0, frame, hot},
                {"pressed", TRUE, FALSE, ODS_SELECTED, frame, pushed},
                {"checked", FALSE, TRUE, 0, frame, checked},
                {"checked and hot", TRUE, TRUE, 0, frame, pushed},
                {"disabled", FALSE, FALSE, ODS_DISABLED, ColorIndex(15), ColorIndex(15)},
            };
            for (const State& st : states) {
                button.m_dwxStyle = BS_XT_FLAT;
                button.m_bHot = st.hot;
                button.m_bChecked = st.checked;
                Canvas canvas(kWidth, kHeight);
                Draw(*theme, button, st.state, canvas);
                const std::string where = std::to_string(themeId) + " " + (s.color ? "scheme " : "") + st.what;
                EXPECT_EQ(ColorText(canvas.At(0, 0)), ColorText(st.edge)) << where;
                EXPECT_EQ(ColorText(canvas.At(kWidth - 1, kHeight - 1)), ColorText(st.edge)) << where;
                EXPECT_EQ(ColorText(canvas.At(kWidth / 2, kHeight / 2)), ColorText(st.fill)) << where;
            }
        }
    }
}

TEST_F(ButtonTest, CustomColoursSurviveRefreshes)
{
    CXTButtonThemeOfficeXP theme;
    theme.SetColorFace(RGB(1, 2, 3));
    theme.SetColorHotFace(RGB(4, 5, 6));
    theme.RefreshMetrics();
    EXPECT_EQ(theme.GetColorFace(), RGB(1, 2, 3));
    EXPECT_EQ(static_cast<COLORREF>(theme.m_crHotFace), RGB(4, 5, 6));
    theme.SetColorFace(XT_COLOR_NONE);
    EXPECT_EQ(theme.GetColorFace(), ColorIndex(15)) << "back to the standard face";

    // Through the button, over a system colour change.
    TestButton button;
    Make(button, "");
    button.SetXButtonStyle(BS_XT_XPFLAT, FALSE);
    button.SetColorFace(RGB(9, 8, 7));
    button.SetXPColors(RGB(1, 1, 1), RGB(2, 2, 2), RGB(3, 3, 3));
    button.SendMessage(WM_SYSCOLORCHANGE);
    auto* xp = dynamic_cast<CXTButtonThemeOfficeXP*>(button.GetButtonTheme());
    ASSERT_NE(xp, nullptr);
    EXPECT_EQ(button.GetColorFace(), RGB(9, 8, 7));
    EXPECT_EQ(static_cast<COLORREF>(xp->m_crLight), RGB(1, 1, 1));
    EXPECT_EQ(static_cast<COLORREF>(xp->m_crShadow), RGB(1, 1, 1));
    EXPECT_EQ(static_cast<COLORREF>(xp->m_crHotFace), RGB(2, 2, 2));
    EXPECT_EQ(static_cast<COLORREF>(xp->m_crPushedFace), RGB(3, 3, 3));
    // The XP colours belong to the XP look only.
    button.SetXButtonStyle(BS_XT_FLAT, FALSE);
    button.SetXPColors(RGB(5, 5, 5), RGB(5, 5, 5), RGB(5, 5, 5));
    EXPECT_NE(static_cast<COLORREF>(button.GetButtonTheme()->m_crLight), RGB(5, 5, 5));
}

TEST_F(ButtonTest, PrivateStylesAndBackToTheSharedOne)
{
    TestButton button;
    Make(button, "Go");
    CXTThemeManagerStyle* shared = button.GetTheme();
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(button.GetXButtonStyle(), BS_XT_FLAT) << "flat by default";

    EXPECT_EQ(button.SetXButtonStyle(BS_XT_FLAT, FALSE), BS_XT_FLAT);
    EXPECT_EQ(typeid(*button.GetTheme()), typeid(CXTButtonTheme));
    EXPECT_NE(button.GetTheme(), shared);

    EXPECT_EQ(button.SetXButtonStyle(BS_XT_XPFLAT, FALSE), BS_XT_FLAT);
    auto* xp = dynamic_cast<CXTButtonThemeOfficeXP*>(button.GetTheme());
    ASSERT_NE(xp, nullptr);
    EXPECT_EQ(typeid(*xp), typeid(CXTButtonThemeOfficeXP));
    EXPECT_FALSE(xp->m_bFramed);

    EXPECT_EQ(button.SetXButtonStyle(0, FALSE), BS_XT_XPFLAT);
    EXPECT_EQ(button.GetTheme(), shared) << "the shared style again";
    // The shared style follows the theme id.
    XTGetThemeManager()->SetTheme(xtThemeOffice2003);
    EXPECT_EQ(typeid(*button.GetTheme()), typeid(CXTButtonThemeOffice2003));
    XTGetThemeManager()->SetTheme(xtThemeDefault);
}

TEST_F(ButtonTest, HotWithinATickOfEnteringAndGoneAfterLeavingOrPressing)
{
    clock::ManualScope manual(1700000000);
    TestButton button;
    Make(button, "Hover");
    button.SetXButtonStyle(BS_XT_XPFLAT, FALSE);
    const CPoint inside = test::ScreenOf(button.GetSafeHwnd(), 20, 20);
    const CPoint outside = test::ScreenOf(m_host->GetSafeHwnd(), 200, 200);
    auto tick = [](int ms) {
        clock::Advance(ms);
        PumpQueue();
    };

    win::InjectMouseMove(inside.x, inside.y);
    PumpQueue();
    EXPECT_TRUE(button.IsHot()) << "at the first move";
    EXPECT_EQ(ColorText(test::SurfacePixel(button.GetSafeHwnd(), kWidth / 2, 2)), ColorText(ColorIndex(31)));

    win::InjectMouseMove(outside.x, outside.y);
    tick(5);
    EXPECT_TRUE(button.IsHot()) << "before the tick";
    tick(5);
    EXPECT_FALSE(button.IsHot()) << "one tick after leaving";
    EXPECT_EQ(ColorText(test::SurfacePixel(button.GetSafeHwnd(), kWidth / 2, 2)), ColorText(ColorIndex(15)));

    win::InjectMouseMove(inside.x, inside.y);
    PumpQueue();
    ASSERT_TRUE(button.IsHot());
    win::InjectMouseButton(win::MouseButton::Left, true);
    PumpQueue();
    EXPECT_TRUE(button.IsPushed());
    tick(10);
    EXPECT_FALSE(button.IsHot()) << "a press ends the hot state at the next tick";
    EXPECT_EQ(ColorText(test::SurfacePixel(button.GetSafeHwnd(), kWidth / 2, 2)), ColorText(ColorIndex(33)));
    win::InjectMouseButton(win::MouseButton::Left, false);
    PumpQueue();
    EXPECT_FALSE(button.IsPushed());
    win::InjectMouseMove(inside.x + 1, inside.y);
    PumpQueue();
    EXPECT_TRUE(button.IsHot()) << "the next move after the release";
    win::InjectMouseMove(outside.x, outside.y);
    tick(10);
}

TEST_F(ButtonTest, DoubleClickIsASecondPress)
{
    clock::ManualScope manual(1700000000);
    TestButton button;
    Make(button, "Twice");
    const CPoint at = test::ScreenOf(button.GetSafeHwnd(), 30, 20);
    win::InjectClick(at.x, at.y);
    PumpQueue();
    win::InjectClick(at.x, at.y);
    PumpQueue();
    EXPECT_EQ(m_host->Codes(kButtonId), (std::vector<UINT>{BN_CLICKED, BN_DOUBLECLICKED, BN_CLICKED}));
    EXPECT_FALSE(button.IsPushed());
}
