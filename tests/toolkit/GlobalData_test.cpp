#include "toolkit/controls/XTGlobalData.h"

#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/controls/XTColorManager.h"
#include "toolkit/res/ToolkitIds.h"
#include "platform/win/Cursor.h"
#include "platform/win/OptionalLibrary.h"
#include "platform/win/ResourceTable.h"

#include <cstring>
#include <string>

// The loader tests' fixture module, which has no toolkit cursors.
const tavrin::win::ResourceTable& TavrinFixtureResources();

namespace {

using tavrin::test::ColorText;

class GlobalDataTest : public tavrin::test::ToolkitTest {
protected:
    static LOGFONTA Log(CFont& font)
    {
        LOGFONTA lf{};
        EXPECT_NE(font.m_hObject, nullptr);
        font.GetLogFont(&lf);
        return lf;
    }
    static std::string Face(CFont& font) { return Log(font).lfFaceName; }

    static void SetMenuFont(const char* face, BYTE charset)
    {
        NONCLIENTMETRICSA ncm{};
        ncm.cbSize = sizeof(ncm);
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
        XTStrCopy(ncm.lfMenuFont.lfFaceName, LF_FACESIZE, face);
        ncm.lfMenuFont.lfCharSet = charset;
        tavrin::win::SetNonClientMetrics(ncm);
    }
};

int g_versionCalls = 0;

HRESULT CALLBACK CountingDllGetVersion(DLLVERSIONINFO* info)
{
    ++g_versionCalls;
    info->dwMajorVersion = 5;
    info->dwMinorVersion = 82;
    return S_OK;
}

} // namespace

TEST_F(GlobalDataTest, ConstructionReadsColoursMetricsCursorsAndVersions)
{
    XTSetResourceHandle(nullptr);
    CXTGlobalData data;
    CXTColorManager* colors = XTGetColorManager();
    EXPECT_EQ(XTGetResourceHandle(), GetModuleHandleA(nullptr)) << "set before the cursors load";
    EXPECT_EQ(ColorText(data.clr3DFace), ColorText(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(data.clr3DDkShadow, colors->GetColor(21));
    EXPECT_EQ(data.clr3DLight, colors->GetColor(22)) << "the derived light, not the system's";
    EXPECT_EQ(data.clrMenu, colors->GetColor(4));
    EXPECT_EQ(data.clrGradInActiveCapt, colors->GetColor(28));
    EXPECT_EQ(data.clrInactiveCaptText, colors->GetColor(19));
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(data.clrDerived[i], colors->GetColor(30 + i)) << "index " << 30 + i;

    EXPECT_EQ(data.cxSmIcon, GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(data.cySmIcon, GetSystemMetrics(SM_CYSMICON));
    EXPECT_EQ(data.cxHThumb, GetSystemMetrics(SM_CXHTHUMB));
    EXPECT_EQ(data.cyVThumb, GetSystemMetrics(SM_CYVTHUMB));
    EXPECT_EQ(data.cyMenuItem, GetSystemMetrics(SM_CYMENU));
    EXPECT_EQ(data.cxSize, 18);
    EXPECT_EQ(data.cySize, 18);

    EXPECT_TRUE(data.bWinXP);
    EXPECT_FALSE(data.bWin95 || data.bWin98 || data.bWinNT4 || data.bWin2K);
    EXPECT_FALSE(data.bUseTahoma);
    EXPECT_EQ(data.GetComCtlVersion(), 0x60000u);
    EXPECT_TRUE(data.m_pstrProfileFile->IsEmpty());
    EXPECT_EQ(data.m_pstrProfileFile, XTGetGlobalData()->m_pstrProfileFile) << "one name for the process";
}

TEST_F(GlobalDataTest, TenFontsFromTheMenuFont)
{
    CXTGlobalData data;
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof(ncm);
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    LOGFONTA icon{};
    SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof(icon), &icon, 0);

    LOGFONTA normal = Log(data.font);
    EXPECT_EQ(normal.lfHeight, ncm.lfMenuFont.lfHeight);
    EXPECT_EQ(normal.lfWeight, ncm.lfMenuFont.lfWeight);
    EXPECT_STREQ(normal.lfFaceName, "宋体");
    EXPECT_EQ(normal.lfCharSet, GB2312_CHARSET) << "the screen's character set";
    EXPECT_EQ(Log(data.fontBold).lfWeight, FW_BOLD);
    EXPECT_EQ(Log(data.fontULine).lfUnderline, 1);
    // The menu font is not Tahoma and Arial exists: the vertical pair is Arial.
    LOGFONTA vert = Log(data.fontVert);
    EXPECT_STREQ(vert.lfFaceName, "Arial");
    EXPECT_EQ(vert.lfEscapement, 2700);
    EXPECT_EQ(vert.lfOrientation, 900);
    LOGFONTA vertBold = Log(data.fontVertBold);
    EXPECT_EQ(vertBold.lfWeight, FW_BOLD);
    EXPECT_EQ(vertBold.lfEscapement, 2700);
    EXPECT_EQ(Face(data.fontIconTitle), std::string(icon.lfFaceName));
    EXPECT_EQ(Log(data.fontIconTitleBold).lfWeight, FW_BOLD);
    LOGFONTA marlett = Log(data.fontMarlett);
    EXPECT_STREQ(marlett.lfFaceName, "Marlett");
    EXPECT_EQ(marlett.lfHeight, icon.lfHeight);
    EXPECT_EQ(marlett.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(marlett.lfWeight, 0);
    EXPECT_EQ(Face(data.fontStatus), std::string(ncm.lfStatusFont.lfFaceName));
    EXPECT_EQ(Face(data.fontSmCaption), std::string(ncm.lfSmCaptionFont.lfFaceName));

    data.DeleteFonts();
    for (CFont* f : {&data.font, &data.fontBold, &data.fontULine, &data.fontVert, &data.fontVertBold,
                     &data.fontIconTitle, &data.fontIconTitleBold, &data.fontMarlett, &data.fontStatus,
                     &data.fontSmCaption})
        EXPECT_EQ(f->m_hObject, nullptr);
}

TEST_F(GlobalDataTest, UpdateFontsFaceRules)
{
    struct Case {
        const char* what;
        const char* menuFace;
        BYTE menuCharset;
        BOOL useTahoma;
        const char* horz;
        const char* vert;
        const char* normalFace;
        const char* vertFace;
        const char* statusFace; // null: the system's status font
    } const cases[] = {
        {"Tahoma menu keeps Tahoma upright", "Tahoma", ANSI_CHARSET, FALSE, "", "", "Tahoma", "Tahoma", nullptr},
        {"other menu faces stand up in Arial", "宋体", GB2312_CHARSET, FALSE, "", "", "宋体", "Arial", nullptr},
        {"a face that exists is taken", "宋体", GB2312_CHARSET, FALSE, "Verdana", "@宋体", "Verdana", "@宋体", "Verdana"},
        {"missing faces keep the menu's", "宋体", GB2312_CHARSET, FALSE, "NoSuchFace", "NoSuchFace", "宋体", "宋体", nullptr},
        {"faces ignore case", "宋体", GB2312_CHARSET, FALSE, "verdana", "", "verdana", "Arial", "verdana"},
        {"prefer Tahoma on a Western menu", "Arial", ANSI_CHARSET, TRUE, "", "", "Tahoma", "Arial", nullptr},
        {"but not on a Chinese one", "宋体", GB2312_CHARSET, TRUE, "", "", "宋体", "Arial", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetMenuFont(c.menuFace, c.menuCharset);
        NONCLIENTMETRICSA ncm{};
        ncm.cbSize = sizeof(ncm);
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
        CXTGlobalData data;
        data.bUseTahoma = c.useTahoma;
        EXPECT_TRUE(data.UpdateFonts(c.horz, c.vert));
        EXPECT_EQ(Face(data.font), c.normalFace);
        EXPECT_EQ(Face(data.fontBold), c.normalFace);
        EXPECT_EQ(Face(data.fontVert), c.vertFace);
        EXPECT_EQ(Face(data.fontVertBold), c.vertFace);
        const std::string status = c.statusFace ? c.statusFace : ncm.lfStatusFont.lfFaceName;
        EXPECT_EQ(Face(data.fontStatus), status);
        EXPECT_EQ(Face(data.fontSmCaption), c.statusFace ? c.statusFace : ncm.lfSmCaptionFont.lfFaceName);
        EXPECT_EQ(Face(data.fontMarlett), "Marlett");
    }
}

TEST_F(GlobalDataTest, ApplicationFontsReplaceTheNormalAndVerticalSets)
{
    CXTGlobalData data;
    // The application's start-up: two fonts from the normal font's record.
    LOGFONTA lf = Log(data.font);
    lf.lfHeight = 12;
    lf.lfWidth = 0;
    lf.lfCharSet = GB2312_CHARSET;
    XTStrCopy(lf.lfFaceName, LF_FACESIZE, "宋体");
    CFont horz, vert;
    ASSERT_TRUE(horz.CreateFontIndirect(&lf));
    XTStrCopy(lf.lfFaceName, LF_FACESIZE, "@宋体");
    ASSERT_TRUE(vert.CreateFontIndirect(&lf));

    HGDIOBJ marlett = data.fontMarlett.m_hObject;
    EXPECT_TRUE(data.SetGlobalFonts(&horz, &vert));
    EXPECT_EQ(data.fontMarlett.m_hObject, marlett) << "the symbol font is not touched";
    EXPECT_EQ(Face(data.fontMarlett), "Marlett");

    LOGFONTA normal = Log(data.font);
    EXPECT_EQ(normal.lfHeight, 12);
    EXPECT_EQ(normal.lfCharSet, GB2312_CHARSET);
    EXPECT_STREQ(normal.lfFaceName, "宋体");
    EXPECT_EQ(Log(data.fontBold).lfWeight, FW_BOLD);
    EXPECT_EQ(Log(data.fontBold).lfHeight, 12);
    EXPECT_EQ(Log(data.fontULine).lfUnderline, 1);
    EXPECT_EQ(Log(data.fontStatus).lfHeight, 12);
    LOGFONTA v = Log(data.fontVert);
    EXPECT_STREQ(v.lfFaceName, "@宋体");
    EXPECT_EQ(v.lfEscapement, 2700);
    EXPECT_EQ(v.lfOrientation, 900);
    LOGFONTA vb = Log(data.fontVertBold);
    EXPECT_STREQ(vb.lfFaceName, "@宋体");
    EXPECT_EQ(vb.lfWeight, FW_BOLD);
    EXPECT_EQ(vb.lfEscapement, 2700);

    // As the application does it: every font deleted first, then the two
    // sets made again; the fonts it does not give stay empty.
    data.DeleteFonts();
    EXPECT_TRUE(data.SetGlobalFonts(&horz, &vert));
    EXPECT_STREQ(Log(data.font).lfFaceName, "宋体");
    EXPECT_STREQ(Log(data.fontVert).lfFaceName, "@宋体");
    EXPECT_EQ(data.fontMarlett.m_hObject, nullptr);
    EXPECT_EQ(data.fontIconTitle.m_hObject, nullptr);
    EXPECT_EQ(data.fontSmCaption.m_hObject, nullptr);
}

TEST_F(GlobalDataTest, SetGlobalFontsWithTwoNullsChangesNothing)
{
    CXTGlobalData data;
    HGDIOBJ normal = data.font.m_hObject, vert = data.fontVert.m_hObject;
    CFont empty;
    EXPECT_TRUE(data.SetGlobalFonts(nullptr, nullptr));
    EXPECT_TRUE(data.SetGlobalFonts(&empty, &empty));
    EXPECT_EQ(data.font.m_hObject, normal);
    EXPECT_EQ(data.fontVert.m_hObject, vert);
}

TEST_F(GlobalDataTest, CursorsFromTheToolkitResources)
{
    CXTGlobalData data;
    HMODULE program = GetModuleHandleA(nullptr);
    struct {
        HCURSOR cursor;
        UINT id;
    } const cursors[] = {
        {data.hcurCursorA, XT_IDC_CURSOR_A}, {data.hcurCursorB, XT_IDC_CURSOR_B},
        {data.hcurCursorC, XT_IDC_CURSOR_C}, {data.hcurCursorD, XT_IDC_CURSOR_D},
        {data.hcurCursorE, XT_IDC_CURSOR_E}, {data.hcurVSplitBar, XT_IDC_VSPLITBAR},
        {data.hcurHSplitBar, XT_IDC_HSPLITBAR},
    };
    for (const auto& c : cursors) {
        EXPECT_NE(c.cursor, nullptr) << c.id;
        EXPECT_EQ(c.cursor, LoadCursorA(program, MAKEINTRESOURCEA(c.id))) << c.id;
    }
    EXPECT_NE(data.hcurVSplitBar, data.hcurHSplitBar);
    EXPECT_EQ(data.hcurSizeAll, LoadCursorA(nullptr, IDC_SIZEALL));

    // A module without the cursors: the first one fails and none are left.
    HMODULE fixture = tavrin::win::CreateResourceModule(TavrinFixtureResources());
    data.m_hResourceModule = fixture;
    EXPECT_FALSE(data.LoadCursors());
    EXPECT_EQ(data.hcurCursorD, nullptr);
    EXPECT_EQ(data.hcurHSplitBar, nullptr);
    data.m_hResourceModule = nullptr;
    EXPECT_TRUE(data.LoadCursors());
    EXPECT_NE(data.hcurHSplitBar, nullptr);
    data.FreeCursors();
    EXPECT_EQ(data.hcurCursorA, nullptr);
    EXPECT_NE(data.hcurSizeAll, nullptr) << "the system's cursor is never freed";
    tavrin::win::DestroyResourceModule(fixture);
}

TEST_F(GlobalDataTest, VersionPredicates)
{
    struct Case {
        DWORD platform, major, minor;
        bool win95, win98, nt4, w2000, xp, w2kOrLater;
    } const cases[] = {
        {1, 4, 0, true, false, false, false, false, false},   {1, 4, 10, false, true, false, false, false, false},
        {1, 4, 90, false, false, false, false, false, false}, {2, 4, 0, false, false, true, false, false, false},
        {2, 5, 0, false, false, false, true, false, true},    {2, 5, 1, false, false, false, false, true, true},
        {2, 5, 2, false, false, false, false, false, true},   {2, 6, 0, false, false, false, false, false, true},
    };
    for (const Case& c : cases) {
        tavrin::win::VersionProfile version;
        version.platform = c.platform;
        version.major = c.major;
        version.minor = c.minor;
        tavrin::win::SetVersion(version);
        CXTOSVersionInfo info;
        SCOPED_TRACE(std::to_string(c.platform) + " " + std::to_string(c.major) + "." + std::to_string(c.minor));
        EXPECT_EQ(info.dwOSVersionInfoSize, 148u);
        EXPECT_EQ(info.IsWin95() != FALSE, c.win95);
        EXPECT_EQ(info.IsWin98() != FALSE, c.win98);
        EXPECT_EQ(info.IsWinNT4() != FALSE, c.nt4);
        EXPECT_EQ(info.IsWin2000() != FALSE, c.w2000);
        EXPECT_EQ(info.IsWinXP() != FALSE, c.xp);
        EXPECT_EQ(info.IsWin2KOrLater() != FALSE, c.w2kOrLater);
    }
}

TEST_F(GlobalDataTest, CommonControlsAskedOnce)
{
    g_versionCalls = 0;
    tavrin::win::RegisterStandInLibrary("comctl32.dll",
                                        {{"DllGetVersion", tavrin::win::AsFarProc(&CountingDllGetVersion)}});
    CXTGlobalData data;
    EXPECT_EQ(g_versionCalls, 1);
    EXPECT_EQ(data.GetComCtlVersion(), 0x50052u);
    EXPECT_EQ(data.GetComCtlVersion(), 0x50052u);
    EXPECT_EQ(g_versionCalls, 1);

    // Without the library there is no answer to keep: asked again later.
    tavrin::win::SetLibraryAvailable("comctl32", false);
    CXTGlobalData missing;
    EXPECT_EQ(missing.GetComCtlVersion(), 0u);
    tavrin::win::SetLibraryAvailable("comctl32", true);
    EXPECT_EQ(missing.GetComCtlVersion(), 0x50052u);
    EXPECT_EQ(g_versionCalls, 2);
}

TEST_F(GlobalDataTest, StrCopyCutsAtWholeCharacters)
{
    // 30 ASCII bytes, then a double-byte character over bytes 30 and 31, then more.
    const std::string longFace = std::string(30, 'a') + "宋" + std::string(8, 'b');
    ASSERT_EQ(longFace.size(), 40u);
    struct Case {
        std::string source;
        UINT size;
        std::string expected;
    } const cases[] = {
        {longFace, 32, std::string(30, 'a')},
        {std::string(31, 'x'), 32, std::string(31, 'x')},
        {std::string(40, 'x'), 32, std::string(31, 'x')},
        {"宋体", 32, "宋体"},
        {"宋体", 4, "宋"},
        {"宋体", 3, "宋"},
        {"宋体", 2, ""},
        {"", 32, ""},
    };
    for (const Case& c : cases) {
        char buffer[48];
        std::memset(buffer, '#', sizeof buffer);
        XTStrCopy(buffer, c.size, c.source.c_str());
        EXPECT_EQ(std::string(buffer), c.expected) << "size " << c.size;
        for (size_t i = c.size; i < sizeof buffer; ++i)
            ASSERT_EQ(buffer[i], '#') << "written past nSize at " << i;
    }
    char untouched[4] = {'#', '#', '#', '#'};
    XTStrCopy(untouched, 0, "abc");
    EXPECT_EQ(untouched[0], '#');
    XTStrCopy(untouched, 4, nullptr);
    EXPECT_EQ(untouched[0], 0);
}

TEST_F(GlobalDataTest, CopyMemoryCopiesEveryLength)
{
    const unsigned char source[11] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    for (UINT n = 0; n <= 10; ++n) {
        unsigned char dest[11];
        std::memset(dest, 0xEE, sizeof dest);
        XTCopyMemory(dest, source, n);
        EXPECT_EQ(std::memcmp(dest, source, n), 0) << n;
        EXPECT_EQ(dest[n], 0xEE) << "stopped after " << n;
    }
}
