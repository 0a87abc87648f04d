#include "toolkit/controls/XTDrawHelpers.h"

#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/controls/XTMemDC.h"
#include "toolkit/controls/XTMultiMonitor.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/mfc/Wnd.h"
#include "platform/win/Input.h"
#include "platform/win/OptionalLibrary.h"

#include <cstdlib>
#include <memory>

using tavrin::test::Canvas;
using tavrin::test::ColorText;

namespace {

class DrawHelpersTest : public tavrin::test::ToolkitTest {};

int Grey(COLORREF clr)
{
    return GetRValue(clr);
}

} // namespace

TEST_F(DrawHelpersTest, BandedGradientWithoutTheSystemFill)
{
    tavrin::win::SetLibraryAvailable("msimg32.dll", false);
    CXTDrawHelper helper;
    Canvas canvas(12, 12);
    CRect row(0, 0, 10, 1);
    helper.GradientFill(canvas.DC(), &row, RGB(0, 0, 0), RGB(255, 255, 255), TRUE);
    EXPECT_EQ(ColorText(canvas.At(0, 0)), ColorText(RGB(0, 0, 0))) << "the first column is the from colour";
    EXPECT_EQ(ColorText(canvas.At(9, 0)), ColorText(RGB(229, 229, 229))) << "weight 0.1 for the from colour";
    for (int x = 1; x < 10; ++x)
        EXPECT_GT(Grey(canvas.At(x, 0)), Grey(canvas.At(x - 1, 0))) << x;
    EXPECT_EQ(canvas.At(10, 0), RGB(255, 255, 255)) << "nothing right of the rectangle";

    CRect column(11, 0, 12, 10);
    helper.GradientFill(canvas.DC(), &column, RGB(255, 0, 0), RGB(0, 0, 255), FALSE);
    EXPECT_EQ(ColorText(canvas.At(11, 0)), ColorText(RGB(255, 0, 0)));
    EXPECT_EQ(ColorText(canvas.At(11, 9)), ColorText(RGB(25, 0, 229)));
    EXPECT_EQ(canvas.At(11, 10), RGB(255, 255, 255));
}

TEST_F(DrawHelpersTest, BandedGradientPaintsOnlyTheClippedPart)
{
    tavrin::win::SetLibraryAvailable("msimg32.dll", false);
    CXTDrawHelper helper;
    Canvas canvas(10, 3);
    canvas.DC()->IntersectClipRect(4, 0, 6, 3);
    CRect rc(0, 0, 10, 3);
    helper.GradientFill(canvas.DC(), &rc, RGB(0, 0, 0), RGB(255, 255, 255), TRUE);
    canvas.DC()->SelectClipRgn(nullptr);
    EXPECT_EQ(canvas.At(3, 1), RGB(255, 255, 255));
    EXPECT_EQ(ColorText(canvas.At(4, 1)), ColorText(CXTDrawHelper::BlendColors(0, RGB(255, 255, 255), 0.6f)))
        << "the colour of its place in the whole rectangle";
    EXPECT_EQ(canvas.At(6, 1), RGB(255, 255, 255));
}

TEST_F(DrawHelpersTest, SystemGradientRunsFromEndToEnd)
{
    CXTDrawHelper helper;
    Canvas canvas(64, 4);
    CRect rc(0, 0, 64, 4);
    helper.GradientFill(canvas.DC(), &rc, RGB(200, 0, 0), RGB(0, 0, 200), TRUE);
    EXPECT_EQ(ColorText(canvas.At(0, 2)), ColorText(RGB(200, 0, 0)));
    COLORREF last = canvas.At(63, 2);
    EXPECT_LE(GetRValue(last), 5) << ColorText(last);
    EXPECT_GE(GetBValue(last), 195) << ColorText(last);

    CXTColorGradient grc;
    grc.clrLight.SetStandardValue(RGB(10, 10, 10));
    grc.clrLight.SetCustomValue(RGB(0, 200, 0)); // the custom part wins
    grc.clrDark.SetStandardValue(RGB(0, 200, 0));
    helper.GradientFill(canvas.DC(), &rc, grc, FALSE);
    EXPECT_EQ(ColorText(canvas.At(30, 0)), ColorText(RGB(0, 200, 0))) << "equal colours: solid";
    EXPECT_EQ(ColorText(canvas.At(30, 3)), ColorText(RGB(0, 200, 0)));
}

TEST_F(DrawHelpersTest, NothingForAnEmptyRectangleAndSolidOnALowColourDisplay)
{
    CXTDrawHelper helper;
    Canvas canvas(8, 8);
    CRect empty(2, 0, 2, 8);
    helper.GradientFill(canvas.DC(), &empty, RGB(0, 0, 0), RGB(0, 0, 255), TRUE);
    helper.GradientFill(canvas.DC(), nullptr, RGB(0, 0, 0), RGB(0, 0, 255), TRUE);
    EXPECT_EQ(canvas.At(2, 2), RGB(255, 255, 255));

    tavrin::SetDisplayBitsPerPixel(8);
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "w", WS_POPUP | WS_VISIBLE, 0, 0, 40, 20, nullptr, nullptr));
    {
        CClientDC dc(&wnd);
        CRect rc(0, 0, 40, 20);
        helper.GradientFill(&dc, &rc, RGB(0, 128, 0), RGB(255, 255, 255), TRUE);
        EXPECT_EQ(ColorText(dc.GetPixel(0, 5)), ColorText(RGB(0, 128, 0)));
        EXPECT_EQ(ColorText(dc.GetPixel(39, 5)), ColorText(RGB(0, 128, 0)));
    }
    wnd.DestroyWindow();
}

TEST_F(DrawHelpersTest, LowColourDisplayTest)
{
    struct Case {
        int bits;
        BOOL low;
    } const cases[] = {{1, TRUE}, {4, TRUE}, {8, TRUE}, {16, FALSE}, {24, FALSE}, {32, FALSE}, {0, FALSE}};
    for (const Case& c : cases) {
        tavrin::SetDisplayBitsPerPixel(c.bits);
        EXPECT_EQ(XTIsLowColorDisplay(), c.low) << c.bits;
    }
    tavrin::SetDisplayBitsPerPixel(32);
    CDC mono;
    mono.CreateCompatibleDC(nullptr);
    CBitmap bitmap;
    bitmap.CreateBitmap(4, 4, 1, 1, nullptr);
    CBitmap* old = mono.SelectObject(&bitmap);
    EXPECT_TRUE(XTIsLowColorDisplay(mono.m_hDC)) << "a monochrome DC";
    mono.SelectObject(old);
    EXPECT_FALSE(XTIsLowColorDisplay(reinterpret_cast<HDC>(0x1234))) << "a depth that cannot be read";
}

TEST_F(DrawHelpersTest, SelectorsRestoreTheDC)
{
    Canvas canvas(8, 8);
    HDC hdc = canvas.DC()->m_hDC;
    HGDIOBJ pen = GetCurrentObject(hdc, OBJ_PEN), brush = GetCurrentObject(hdc, OBJ_BRUSH);
    HGDIOBJ font = GetCurrentObject(hdc, OBJ_FONT);
    CFont bold;
    bold.CreateFont(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    {
        CXTPenSelector penSel(hdc, RGB(255, 0, 0));
        CXTBrushSelector brushSel(hdc, RGB(0, 0, 255));
        CXTFontSelector fontSel(canvas.DC(), &bold);
        EXPECT_EQ(GetCurrentObject(hdc, OBJ_FONT), bold.m_hObject);
        EXPECT_EQ(penSel.GetColor(), RGB(255, 0, 0));
        canvas.DC()->Rectangle(0, 0, 4, 4);
        EXPECT_EQ(canvas.At(0, 0), RGB(255, 0, 0));
        EXPECT_EQ(canvas.At(2, 2), RGB(0, 0, 255));
        penSel.SetColor(RGB(0, 255, 0));
        brushSel.SetColor(RGB(255, 255, 0));
        EXPECT_EQ(penSel.GetColor(), RGB(0, 255, 0));
        canvas.DC()->Rectangle(4, 4, 8, 8);
        EXPECT_EQ(canvas.At(4, 4), RGB(0, 255, 0));
        EXPECT_EQ(canvas.At(6, 6), RGB(255, 255, 0));
        CXTFontSelector none(canvas.DC(), nullptr);
        EXPECT_EQ(GetCurrentObject(hdc, OBJ_FONT), bold.m_hObject) << "no font: nothing selected";
    }
    EXPECT_EQ(GetCurrentObject(hdc, OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(hdc, OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(hdc, OBJ_FONT), font);
}

TEST_F(DrawHelpersTest, MemDCDrawsRelativeToItsRectangleAndCopiesBack)
{
    Canvas canvas(20, 20);
    {
        CXTMemDC mem(canvas.DC(), CRect(5, 5, 15, 15), RGB(255, 0, 0));
        ASSERT_TRUE(mem.IsValid());
        EXPECT_TRUE(mem.IsKindOf(RUNTIME_CLASS(CDC)));
        EXPECT_STREQ(mem.GetRuntimeClass()->m_lpszClassName, "CXTMemDC");
        mem.SetPixel(0, 0, RGB(0, 0, 255));
        mem.SetPixel(9, 9, RGB(0, 255, 0));
        EXPECT_EQ(canvas.At(5, 5), RGB(255, 255, 255)) << "nothing reaches the target before the end";
    }
    EXPECT_EQ(canvas.At(5, 5), RGB(0, 0, 255));
    EXPECT_EQ(canvas.At(14, 14), RGB(0, 255, 0));
    EXPECT_EQ(canvas.At(10, 10), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(4, 4), RGB(255, 255, 255));
    EXPECT_EQ(canvas.At(15, 15), RGB(255, 255, 255));

    // An empty rectangle takes the target's clip box.
    canvas.DC()->IntersectClipRect(2, 3, 6, 8);
    {
        CXTMemDC mem(canvas.DC(), CRect(), RGB(0, 0, 0));
        ASSERT_TRUE(mem.IsValid());
        EXPECT_EQ(mem.GetRect(), CRect(2, 3, 6, 8));
    }
    canvas.DC()->SelectClipRgn(nullptr);
    EXPECT_EQ(canvas.At(2, 3), RGB(0, 0, 0));
    EXPECT_EQ(canvas.At(1, 3), RGB(255, 255, 255));
}

TEST_F(DrawHelpersTest, BufferedDCDrawsInTheDestinationsCoordinates)
{
    Canvas canvas(20, 20);
    {
        CXTBufferedDC buffered(canvas.DC()->m_hDC, RECT{5, 5, 15, 15});
        ASSERT_TRUE(buffered.IsBuffered());
        buffered.FillSolidRect(0, 0, 20, 20, RGB(0, 0, 255));
        buffered.SetPixel(5, 5, RGB(255, 0, 0));
        EXPECT_EQ(canvas.At(5, 5), RGB(255, 255, 255));
    }
    EXPECT_EQ(canvas.At(5, 5), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(14, 14), RGB(0, 0, 255));
    EXPECT_EQ(canvas.At(4, 4), RGB(255, 255, 255)) << "only the rectangle is copied back";
    EXPECT_EQ(canvas.At(15, 15), RGB(255, 255, 255));
    EXPECT_NE(GetObjectType(canvas.DC()->m_hDC), 0u) << "the destination lives on";
}

TEST_F(DrawHelpersTest, BitmapDCHoldsTheBitmapForItsScope)
{
    Canvas canvas(4, 4);
    CBitmap bitmap;
    HDC screen = GetDC(nullptr);
    bitmap.Attach(CreateCompatibleBitmap(screen, 3, 3));
    ReleaseDC(nullptr, screen);
    {
        CXTBitmapDC dc(canvas.DC(), &bitmap);
        dc.FillSolidRect(0, 0, 3, 3, RGB(1, 2, 3));
        EXPECT_EQ(GetCurrentObject(dc.m_hDC, OBJ_BITMAP), bitmap.m_hObject);
    }
    EXPECT_EQ(XTGetBitmapCornerColor(bitmap), RGB(1, 2, 3)) << "free again to be selected elsewhere";
}

TEST_F(DrawHelpersTest, WorkAreasWithAndWithoutTheMonitorFunctions)
{
    const RECT primaryWork{0, 0, 1280, 994}, secondWork{1280, 0, 2560, 1000};
    tavrin::win::SetMonitors({{RECT{0, 0, 1280, 1024}, primaryWork}, {RECT{1280, 0, 2560, 1024}, secondWork}});
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "w", WS_POPUP, 1400, 100, 100, 100, nullptr, nullptr));
    const RECT onSecond{1300, 10, 1400, 60}, nowhere{-500, -500, -400, -400};
    SetCursorPos(1500, 500);
    {
        CXTMultiMonitor monitors;
        EXPECT_TRUE(monitors.Init());
        EXPECT_EQ(monitors.GetWorkArea(&onSecond), CRect(secondWork));
        EXPECT_EQ(monitors.GetWorkArea(&nowhere), CRect(primaryWork)) << "no monitor there";
        EXPECT_EQ(monitors.GetWorkArea(&wnd), CRect(secondWork));
        EXPECT_EQ(monitors.GetWorkAreaAtCursor(), CRect(secondWork));
    }
    EXPECT_EQ(XTGetWorkAreaOfRect(&onSecond), CRect(secondWork));
    EXPECT_EQ(XTGetWorkAreaOfWindow(&wnd), CRect(secondWork));
    EXPECT_EQ(XTGetWorkAreaAtCursor(), CRect(secondWork));

    // One function missing: none is used, every answer is the primary's.
    tavrin::win::SetEntryPointAvailable("USER32", "MonitorFromPoint", false);
    CXTMultiMonitor monitors;
    EXPECT_FALSE(monitors.Init());
    EXPECT_EQ(monitors.GetWorkArea(&onSecond), CRect(primaryWork));
    EXPECT_EQ(monitors.GetWorkArea(&wnd), CRect(primaryWork));
    EXPECT_EQ(monitors.GetWorkAreaAtCursor(), CRect(primaryWork));
    wnd.DestroyWindow();
}

TEST_F(DrawHelpersTest, DefaultFontFace)
{
    // A Chinese system: the default GUI font is SimSun, which stays.
    EXPECT_EQ(std::string(XTGetDefaultFontFace(FALSE)), "宋体");
    EXPECT_EQ(std::string(XTGetDefaultFontFace(TRUE)), "宋体");
    ASSERT_TRUE(XTFontFamilyExists("Arial"));
    ASSERT_TRUE(XTFontFamilyExists("tahoma"));
    EXPECT_TRUE(XTFontFamilyExists("宋体"));
    EXPECT_FALSE(XTFontFamilyExists("NoSuchFace"));
    EXPECT_FALSE(XTFontFamilyExists(""));

    // Before NT 5 the character set does not count: the Western rule applies.
    tavrin::win::VersionProfile version;
    version.platform = VER_PLATFORM_WIN32_WINDOWS;
    version.major = 4;
    version.minor = 10;
    tavrin::win::SetVersion(version);
    EXPECT_EQ(std::string(XTGetDefaultFontFace(FALSE)), "Arial");
    EXPECT_EQ(std::string(XTGetDefaultFontFace(TRUE)), "Tahoma");
}

TEST_F(DrawHelpersTest, ColourOperations)
{
    struct Case {
        const char* what;
        COLORREF got, expected;
    } const cases[] = {
        {"blend white with black at 30", CXTColorRef(RGB(255, 255, 255)).Blend(RGB(0, 0, 0), 30), RGB(178, 178, 178)},
        {"blend at 0 keeps", CXTColorRef(RGB(10, 20, 30)).Blend(RGB(200, 200, 200), 0), RGB(10, 20, 30)},
        {"blend at 100 takes", CXTColorRef(RGB(10, 20, 30)).Blend(RGB(200, 100, 50), 100), RGB(200, 100, 50)},
        {"blend past 100 is limited", CXTColorRef(RGB(0, 0, 0)).Blend(RGB(255, 255, 255), 150), RGB(255, 255, 255)},
        {"subtract", CXTColorRef(RGB(10, 200, 30)).Subtract(RGB(20, 100, 30)), RGB(0, 100, 0)},
        {"helper blend", CXTDrawHelper::BlendColors(RGB(255, 0, 0), RGB(0, 0, 255), 0.5f), RGB(127, 0, 127)},
        {"helper blend capped", CXTDrawHelper::BlendColors(RGB(200, 200, 200), RGB(0, 0, 0), 1.5f),
         RGB(255, 255, 255)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ColorText(c.got), ColorText(c.expected)) << c.what;
}

TEST_F(DrawHelpersTest, IconFromABitmapWithItsCornerColourTransparent)
{
    EXPECT_EQ(XTGetBitmapCornerColor(nullptr), CLR_INVALID);
    EXPECT_EQ(XTCreateIconFromBitmap(nullptr), nullptr);

    CBitmap bitmap;
    HDC screen = GetDC(nullptr);
    bitmap.Attach(CreateCompatibleBitmap(screen, 4, 4));
    ReleaseDC(nullptr, screen);
    {
        CXTBitmapDC dc(nullptr, &bitmap);
        dc.FillSolidRect(0, 0, 4, 4, RGB(255, 0, 255));
        dc.FillSolidRect(1, 1, 2, 2, RGB(0, 0, 255));
    }
    EXPECT_EQ(XTGetBitmapCornerColor(bitmap), RGB(255, 0, 255));
    HICON icon = XTCreateIconFromBitmap(bitmap);
    ASSERT_NE(icon, nullptr);
    Canvas canvas(4, 4);
    DrawIconEx(canvas.DC()->m_hDC, 0, 0, icon, 4, 4, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(canvas.At(0, 0), RGB(255, 255, 255)) << "the corner colour is transparent";
    EXPECT_EQ(canvas.At(1, 1), RGB(0, 0, 255));
    DestroyIcon(icon);
}

TEST_F(DrawHelpersTest, RectanglesOfMissingWindowsAreEmpty)
{
    EXPECT_TRUE(CXTEmptyRect().IsRectEmpty());
    EXPECT_TRUE(CXTWindowRect(static_cast<HWND>(nullptr)).IsRectEmpty());
    EXPECT_TRUE(CXTWindowRect(static_cast<const CWnd*>(nullptr)).IsRectEmpty());
    EXPECT_TRUE(CXTClientRect(nullptr).IsRectEmpty());

    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "w", WS_POPUP, 30, 40, 100, 50, nullptr, nullptr));
    EXPECT_EQ(CXTWindowRect(&wnd), CRect(30, 40, 130, 90));
    EXPECT_EQ(CXTClientRect(&wnd), CRect(0, 0, 100, 50));
    SetCursorPos(35, 45);
    CPoint cursor = CXTClientCursorPos(&wnd);
    EXPECT_EQ(cursor.x, 5);
    EXPECT_EQ(cursor.y, 5);
    wnd.DestroyWindow();
    EXPECT_TRUE(CXTClientRect(&wnd).IsRectEmpty());
}
