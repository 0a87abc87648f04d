// Fonts and text with the pinned faces: metrics, extents, GBK text, DrawText
// formats, prefix underlines and rotated text.
#include "GdiTestSurface.h"

#include "platform/gdi/FontLibrary.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

HFONT MakeFont(LONG height, const char* face, LONG escapement = 0, LONG weight = FW_NORMAL, BYTE charset = DEFAULT_CHARSET)
{
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfEscapement = escapement;
    lf.lfOrientation = escapement;
    lf.lfWeight = weight;
    lf.lfCharSet = charset;
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirect(&lf);
}

const char kSong[] = "\xCB\xCE\xCC\xE5";          // the SimSun face name in GBK
const char kChinese[] = "\xD6\xD0\xCE\xC4";       // two ideographs, GBK

// Bounding box of pixels that differ from white.
RECT InkBox(const TestSurface& s)
{
    RECT r{s.Width(), s.Height(), -1, -1};
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            if (s.Pixel(x, y) != 0xFFFFFFu) {
                r.left = std::min<LONG>(r.left, x);
                r.top = std::min<LONG>(r.top, y);
                r.right = std::max<LONG>(r.right, x + 1);
                r.bottom = std::max<LONG>(r.bottom, y + 1);
            }
    return r;
}

class TextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!tavrin::FontLibrary::Instance().HasFonts())
            GTEST_SKIP() << "pinned fonts not installed (scripts/setup installs them)";
    }
};

} // namespace

TEST_F(TextTest, HeightSignSelectsEmOrCell)
{
    TestSurface s(4, 4);
    HFONT em = MakeFont(-12, "Tahoma");
    HFONT cell = MakeFont(12, "Tahoma");
    TEXTMETRIC a{}, b{};
    HGDIOBJ old = SelectObject(s.Dc(), em);
    ASSERT_TRUE(GetTextMetrics(s.Dc(), &a));
    SelectObject(s.Dc(), cell);
    ASSERT_TRUE(GetTextMetrics(s.Dc(), &b));
    EXPECT_EQ(a.tmHeight - a.tmInternalLeading, 12) << "negative height is the character height";
    EXPECT_NEAR(b.tmHeight, 12, 1) << "positive height is the cell height";
    EXPECT_LT(b.tmHeight, a.tmHeight);
    EXPECT_EQ(a.tmAscent + a.tmDescent, a.tmHeight);
    EXPECT_GT(a.tmAveCharWidth, 3);
    EXPECT_GE(a.tmMaxCharWidth, a.tmAveCharWidth);
    char face[LF_FACESIZE];
    EXPECT_EQ(GetTextFace(s.Dc(), sizeof face, face), 6);
    EXPECT_STREQ(face, "Tahoma");
    SelectObject(s.Dc(), old);
    DeleteObject(em);
    DeleteObject(cell);
}

TEST_F(TextTest, ExtentsOfLatinAndGbkText)
{
    TestSurface s(4, 4);
    HFONT latin = MakeFont(-12, "Arial");
    HFONT song = MakeFont(-12, kSong, 0, FW_NORMAL, GB2312_CHARSET);
    HGDIOBJ old = SelectObject(s.Dc(), latin);
    SIZE one{}, two{}, empty{};
    ASSERT_TRUE(GetTextExtentPoint32(s.Dc(), "ab", 2, &one));
    ASSERT_TRUE(GetTextExtentPoint32(s.Dc(), "abab", 4, &two));
    EXPECT_EQ(two.cx, 2 * one.cx);
    ASSERT_TRUE(GetTextExtentPoint32(s.Dc(), "", 0, &empty));
    EXPECT_EQ(empty.cx, 0);
    EXPECT_EQ(empty.cy, one.cy);
    // Ideographs are one em wide and measured per character, not per byte.
    SelectObject(s.Dc(), song);
    SIZE cjk{};
    ASSERT_TRUE(GetTextExtentPoint32(s.Dc(), kChinese, 4, &cjk));
    EXPECT_EQ(cjk.cx, 24);
    // Latin text in a Latin face falls back to the CJK face for ideographs.
    SelectObject(s.Dc(), latin);
    SIZE mixed{};
    ASSERT_TRUE(GetTextExtentPoint32(s.Dc(), kChinese, 4, &mixed));
    EXPECT_EQ(mixed.cx, 24);
    INT fit = 0, dx[4] = {};
    ASSERT_TRUE(GetTextExtentExPoint(s.Dc(), kChinese, 4, 15, &fit, dx, &mixed));
    EXPECT_EQ(fit, 2) << "one double-byte character fits";
    EXPECT_EQ(dx[1], 12);
    EXPECT_EQ(dx[3], 24);
    SelectObject(s.Dc(), old);
    DeleteObject(latin);
    DeleteObject(song);
}

// Extents are remembered per font and text: the same texts measured in turn
// in two sizes, with and without character extra, keep each font's widths.
TEST_F(TextTest, RememberedExtentsStayPerFontAndSpacing)
{
    TestSurface s(4, 4);
    struct Size {
        LONG height;
        int ideograph; // width of one ideograph
    } const sizes[] = {{-12, 12}, {-20, 20}};
    const char* const texts[] = {"Open", "Op", kChinese, "O\xD6\xD0p", ""};
    for (int round = 0; round < 2; ++round) {
        for (const Size& size : sizes) {
            HFONT font = MakeFont(size.height, "Arial");
            HGDIOBJ old = SelectObject(s.Dc(), font);
            for (const char* text : texts) {
                // The expected width, character by character.
                int width = 0, count = 0;
                for (const char* p = text; *p; ++p, ++count) {
                    if (static_cast<unsigned char>(*p) >= 0x81) {
                        width += size.ideograph;
                        ++p;
                        continue;
                    }
                    INT w = 0;
                    ASSERT_TRUE(GetCharWidth32(s.Dc(), static_cast<UINT>(*p), static_cast<UINT>(*p), &w));
                    width += w;
                }
                for (int extra : {0, 3, 0}) {
                    SetTextCharacterExtra(s.Dc(), extra);
                    SIZE got{};
                    ASSERT_TRUE(GetTextExtentPoint32(s.Dc(), text, int(std::strlen(text)), &got));
                    EXPECT_EQ(got.cx, width + extra * count)
                        << "round " << round << ", height " << size.height << ", extra " << extra << ": " << text;
                }
            }
            SetTextCharacterExtra(s.Dc(), 0);
            SelectObject(s.Dc(), old);
            DeleteObject(font);
        }
    }
}

TEST_F(TextTest, TextOutColoursAndOpaqueBackground)
{
    TestSurface s(40, 20);
    HFONT f = MakeFont(-12, "Tahoma");
    HGDIOBJ old = SelectObject(s.Dc(), f);
    SetTextColor(s.Dc(), RGB(255, 0, 0));
    SetBkColor(s.Dc(), RGB(0, 0, 255));
    TEXTMETRIC tm{};
    GetTextMetrics(s.Dc(), &tm);
    SIZE size{};
    GetTextExtentPoint32(s.Dc(), "Hi", 2, &size);
    TextOut(s.Dc(), 2, 3, "Hi", 2);
    EXPECT_EQ(s.Pixel(2, 3), 0x0000FFu) << "opaque mode fills the cell";
    EXPECT_EQ(s.Pixel(2 + size.cx, 3), 0xFFFFFFu);
    EXPECT_EQ(s.Pixel(2, 3 + tm.tmHeight), 0xFFFFFFu);
    int red = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) {
            uint32_t p = s.Pixel(x, y);
            red += (p >> 16) > 0xC0 && (p & 0xFF) < 0x80;
        }
    EXPECT_GT(red, 8) << "glyphs in the text colour";
    s.Fill(RGB(255, 255, 255));
    SetBkMode(s.Dc(), TRANSPARENT);
    TextOut(s.Dc(), 2, 3, "Hi", 2);
    EXPECT_EQ(s.Count(0x0000FF), 0);
    RECT ink = InkBox(s);
    EXPECT_GE(ink.left, 2);
    EXPECT_GE(ink.top, 3);
    EXPECT_LE(ink.bottom, 3 + tm.tmHeight);
    // ExtTextOut clipped to a rectangle draws nothing outside it.
    s.Fill(RGB(255, 255, 255));
    RECT clip{0, 0, 6, 20};
    ExtTextOut(s.Dc(), 2, 3, ETO_CLIPPED, &clip, "HHHH", 4, nullptr);
    EXPECT_LE(InkBox(s).right, 6);
    SelectObject(s.Dc(), old);
    DeleteObject(f);
}

TEST_F(TextTest, DrawTextFormats)
{
    TestSurface s(60, 40);
    HFONT f = MakeFont(-12, "Tahoma");
    HGDIOBJ old = SelectObject(s.Dc(), f);
    TEXTMETRIC tm{};
    GetTextMetrics(s.Dc(), &tm);
    SIZE size{};
    GetTextExtentPoint32(s.Dc(), "Open", 4, &size);

    RECT calc{5, 5, 5, 5};
    EXPECT_EQ(DrawText(s.Dc(), "&Open", -1, &calc, DT_CALCRECT | DT_SINGLELINE), tm.tmHeight);
    EXPECT_EQ(calc.right - calc.left, size.cx) << "the prefix is not measured";
    calc = RECT{0, 0, 0, 0};
    DrawText(s.Dc(), "a&&b", -1, &calc, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SIZE literal{};
    GetTextExtentPoint32(s.Dc(), "a&&b", 4, &literal);
    EXPECT_EQ(calc.right, literal.cx);

    // Two lines, and a word-broken paragraph.
    calc = RECT{0, 0, 60, 0};
    EXPECT_EQ(DrawText(s.Dc(), "one\r\ntwo", -1, &calc, DT_CALCRECT), 2 * tm.tmHeight);
    calc = RECT{0, 0, size.cx + 2, 0};
    EXPECT_EQ(DrawText(s.Dc(), "Open Open Open", -1, &calc, DT_CALCRECT | DT_WORDBREAK), 3 * tm.tmHeight);

    // Centred both ways: the ink sits in the middle.
    SetBkMode(s.Dc(), TRANSPARENT);
    RECT box{0, 0, 60, 40};
    int h = DrawText(s.Dc(), "Open", -1, &box, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    EXPECT_EQ(h, (40 - tm.tmHeight) / 2 + tm.tmHeight);
    RECT ink = InkBox(s);
    EXPECT_NEAR((ink.left + ink.right) / 2, 30, 2);
    EXPECT_NEAR((ink.top + ink.bottom) / 2, 20, 3);

    // Right aligned.
    s.Fill(RGB(255, 255, 255));
    DrawText(s.Dc(), "Open", -1, &box, DT_SINGLELINE | DT_RIGHT);
    EXPECT_GE(InkBox(s).left, 60 - size.cx);
    EXPECT_LE(InkBox(s).right, 60);
    SelectObject(s.Dc(), old);
    DeleteObject(f);
}

TEST_F(TextTest, EndEllipsisFitsTheRectangle)
{
    TestSurface s(40, 20);
    HFONT f = MakeFont(-12, "Tahoma");
    HGDIOBJ old = SelectObject(s.Dc(), f);
    SetBkMode(s.Dc(), TRANSPARENT);
    SIZE dots{}, word{};
    GetTextExtentPoint32(s.Dc(), "...", 3, &dots);
    GetTextExtentPoint32(s.Dc(), "Window", 6, &word);
    RECT r{0, 0, 30, 20};
    ASSERT_GT(word.cx, 30);
    DrawText(s.Dc(), "Window caption", -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOCLIP);
    RECT ink = InkBox(s);
    EXPECT_LE(ink.right, 30) << "shortened text fits without clipping";
    // Dots: the last ink columns are three dots on one row near the baseline.
    EXPECT_GT(ink.right, 30 - dots.cx);
    SelectObject(s.Dc(), old);
    DeleteObject(f);
}

TEST_F(TextTest, PrefixUnderlineUnderTheMarkedCharacter)
{
    TestSurface s(40, 20);
    HFONT f = MakeFont(-12, "Tahoma");
    HGDIOBJ old = SelectObject(s.Dc(), f);
    SetBkMode(s.Dc(), TRANSPARENT);
    SetTextColor(s.Dc(), RGB(0, 0, 0));
    RECT r{0, 0, 40, 20};
    DrawText(s.Dc(), "a&bc", -1, &r, DT_SINGLELINE | DT_PREFIXONLY);
    // Only the underline: a solid run under "b".
    SIZE a{}, ab{};
    GetTextExtentPoint32(s.Dc(), "a", 1, &a);
    GetTextExtentPoint32(s.Dc(), "ab", 2, &ab);
    RECT ink = InkBox(s);
    EXPECT_EQ(ink.left, a.cx);
    EXPECT_EQ(ink.right, ab.cx);
    EXPECT_EQ(ink.bottom - ink.top, 1);
    TEXTMETRIC tm{};
    GetTextMetrics(s.Dc(), &tm);
    EXPECT_GT(ink.top, tm.tmAscent - 1);
    EXPECT_LT(ink.top, tm.tmHeight + 1);
    SelectObject(s.Dc(), old);
    DeleteObject(f);
}

TEST_F(TextTest, RotatedTextRunsAlongItsEscapement)
{
    struct Case {
        LONG escapement;
        const char* face;
    };
    const Case cases[] = {{2700, "Tahoma"}, {900, "Tahoma"}, {2700, "@\xCB\xCE\xCC\xE5"}};
    for (const Case& c : cases) {
        TestSurface s(40, 80);
        HFONT f = MakeFont(-12, c.face, c.escapement);
        HGDIOBJ old = SelectObject(s.Dc(), f);
        SetBkMode(s.Dc(), TRANSPARENT);
        SIZE size{};
        GetTextExtentPoint32(s.Dc(), "Tools", 5, &size);
        TEXTMETRIC tm{};
        GetTextMetrics(s.Dc(), &tm);
        int y = c.escapement == 2700 ? 5 : 75;
        TextOut(s.Dc(), 30, y, "Tools", 5);
        RECT ink = InkBox(s);
        EXPECT_GT(ink.bottom - ink.top, ink.right - ink.left) << c.face << " " << c.escapement;
        EXPECT_NEAR(ink.bottom - ink.top, size.cx, 3) << c.face;
        if (c.escapement == 2700) {
            // Top to bottom; the tops of the letters face right, so the cell lies left of x.
            EXPECT_GE(ink.top, 5 - 1) << "a glyph may start a pixel before its pen";
            EXPECT_LE(ink.right, 31);
            EXPECT_GE(ink.left, 30 - tm.tmHeight);
        } else {
            EXPECT_LE(ink.bottom, 75 + 2);
            EXPECT_GE(ink.left, 30);
        }
        SelectObject(s.Dc(), old);
        DeleteObject(f);
    }
}

TEST_F(TextTest, MarlettGlyphsAreOurOwnShapes)
{
    TestSurface s(16, 16);
    HFONT f = MakeFont(-13, "Marlett", 0, 0, DEFAULT_CHARSET);
    HGDIOBJ old = SelectObject(s.Dc(), f);
    SetBkMode(s.Dc(), TRANSPARENT);
    RECT r{0, 0, 16, 16};
    DrawText(s.Dc(), "u", 1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    RECT ink = InkBox(s);
    // A down-pointing triangle: wider at the top than at the bottom.
    int top = 0, bottom = 0;
    for (int x = 0; x < 16; ++x) {
        top += s.Pixel(x, ink.top) == 0;
        bottom += s.Pixel(x, ink.bottom - 1) == 0;
    }
    EXPECT_GT(top, bottom);
    EXPECT_EQ(bottom, 1);
    s.Fill(RGB(255, 255, 255));
    DrawText(s.Dc(), "r", 1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EXPECT_GT(s.Count(0), 10) << "the close cross";
    SelectObject(s.Dc(), old);
    DeleteObject(f);
}

TEST_F(TextTest, FaceEnumerationAndStockFonts)
{
    TestSurface s(2, 2);
    LOGFONTA lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    struct Seen {
        bool tahoma = false, song = false;
    } seen;
    EnumFontFamiliesEx(s.Dc(), &lf,
                       [](const LOGFONTA* f, const TEXTMETRICA*, DWORD, LPARAM p) -> int {
                           auto* v = reinterpret_cast<Seen*>(p);
                           v->tahoma |= std::strcmp(f->lfFaceName, "Tahoma") == 0;
                           v->song |= std::strcmp(f->lfFaceName, kSong) == 0;
                           return 1;
                       },
                       reinterpret_cast<LPARAM>(&seen), 0);
    EXPECT_TRUE(seen.tahoma);
    EXPECT_TRUE(seen.song);
    LOGFONTA gui{};
    ASSERT_EQ(GetObject(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui), int(sizeof gui));
    EXPECT_EQ(gui.lfCharSet, GB2312_CHARSET);
    EXPECT_STREQ(gui.lfFaceName, kSong);
}

TEST_F(TextTest, EllipsisKindsWriteTheShownTextBack)
{
    TestSurface s(200, 20);
    HFONT f = MakeFont(-12, "Tahoma");
    HGDIOBJ old = SelectObject(s.Dc(), f);
    auto width = [&](const char* text) {
        SIZE size{};
        GetTextExtentPoint32(s.Dc(), text, int(std::strlen(text)), &size);
        return int(size.cx);
    };
    // The rectangle is as wide as the expected text: the longest that fits.
    struct Case {
        const char* text;
        UINT format;
        const char* shown;
        const char* fitsIn; // the text whose width the rectangle has
    };
    const Case cases[] = {
        {"Window caption text here", DT_END_ELLIPSIS, "Window caption te...", nullptr},
        {"Window caption text here", DT_WORD_ELLIPSIS, "Window caption...", "Window caption te..."},
        {"Supercalifragilistic", DT_WORD_ELLIPSIS, "Super...", nullptr},
        {"Hello \xD6\xD0\xCE\xC4\xB2\xE2\xCA\xD4", DT_WORD_ELLIPSIS, "Hello \xD6\xD0\xCE\xC4...", nullptr},
        {"C:\\Program Files\\Tavrin\\tavrin.ini", DT_PATH_ELLIPSIS, "C:\\Prog...\\tavrin.ini", nullptr},
        {"C:\\dir\\averyverylongname.txt", DT_PATH_ELLIPSIS, "...\\averyv", nullptr},
        {"abcdefghij", DT_PATH_ELLIPSIS, "abc...hij", nullptr},
        // A backslash inside a double-byte character is not a separator.
        {"abcdef\\cd\x81\x5C" "efghijk", DT_PATH_ELLIPSIS, "abc...\\cd\x81\x5C" "efghijk", nullptr},
        // Double-byte characters are never cut in half.
        {"\xD6\xD0\xCE\xC4\xB2\xE2\xCA\xD4", DT_END_ELLIPSIS, "\xD6\xD0\xCE\xC4...", nullptr},
    };
    for (const Case& c : cases) {
        char buffer[64] = {};
        std::strcpy(buffer, c.text);
        RECT r{0, 0, width(c.fitsIn ? c.fitsIn : c.shown), 20};
        DrawText(s.Dc(), buffer, -1, &r, DT_SINGLELINE | DT_NOPREFIX | c.format);
        EXPECT_STREQ(buffer, c.text) << "unchanged without DT_MODIFYSTRING";
        DrawText(s.Dc(), buffer, -1, &r, DT_SINGLELINE | DT_NOPREFIX | DT_MODIFYSTRING | c.format);
        EXPECT_STREQ(buffer, c.shown) << c.text;
    }
    // Text that fits is left alone.
    char fits[16] = "Window";
    RECT wide{0, 0, 200, 20};
    DrawText(s.Dc(), fits, -1, &wide, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING);
    EXPECT_STREQ(fits, "Window");
    SelectObject(s.Dc(), old);
    DeleteObject(f);
}

TEST_F(TextTest, ExternalLeadingAddsTheFontsLineGap)
{
    TestSurface s(40, 40);
    HFONT f = MakeFont(-12, kSong);
    HGDIOBJ old = SelectObject(s.Dc(), f);
    TEXTMETRIC tm{};
    GetTextMetrics(s.Dc(), &tm);
    // The pinned faces ask for no gap beyond their cell.
    EXPECT_EQ(tm.tmExternalLeading, 0);
    RECT plain{0, 0, 40, 0}, lead{0, 0, 40, 0};
    DrawText(s.Dc(), "a\nb", -1, &plain, DT_CALCRECT);
    DrawText(s.Dc(), "a\nb", -1, &lead, DT_CALCRECT | DT_EXTERNALLEADING);
    EXPECT_EQ(plain.bottom, 2 * tm.tmHeight);
    EXPECT_EQ(lead.bottom, 2 * (tm.tmHeight + tm.tmExternalLeading));
    SelectObject(s.Dc(), old);
    DeleteObject(f);
}
