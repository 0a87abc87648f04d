#include "toolkit/controls/XTGlobalData.h"

#include "toolkit/commandbars/XTPVisualStyleWrapper.h"
#include "toolkit/controls/XTColorManager.h"
#include "toolkit/controls/XTDrawHelpers.h"
#include "toolkit/res/ToolkitIds.h"
#include "platform/win/Cursor.h"
#include "platform/win/OptionalLibrary.h"
#include "platform/win/Resource.h"

#include <climits>
#include <cstring>

namespace {

HMODULE g_hResourceModule = nullptr;

// The profile file name lives from start-up to exit, apart from any global
// data object.
CString& ProfileFileName()
{
    static CString name;
    return name;
}

// The colour indexes copied into the global data, in field order.
constexpr int kCopiedColors[20] = {15, 16, 21, 20, 22, 18, 17, 13, 14, 4, 7, 5, 6, 8, 2, 3, 27, 28, 9, 19};

void SetFace(LOGFONTA& lf, LPCSTR face)
{
    XTStrCopy(lf.lfFaceName, LF_FACESIZE, face);
}

// A font of the LOGFONT, the old one deleted first.
BOOL Remake(CFont& font, const LOGFONTA& lf)
{
    font.DeleteObject();
    return font.CreateFontIndirect(&lf);
}

} // namespace

CXTOSVersionInfo::CXTOSVersionInfo()
{
    std::memset(static_cast<OSVERSIONINFOA*>(this), 0, sizeof(OSVERSIONINFOA));
    dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    ::GetVersionExA(this);
}

const CXTOSVersionInfo& XTOSVersionInfo()
{
    static const CXTOSVersionInfo info;
    return info;
}

void XTSetResourceHandle(HMODULE hModule)
{
    g_hResourceModule = hModule;
}

HMODULE XTGetResourceHandle()
{
    return g_hResourceModule;
}

void XTCopyMemory(void* pDest, const void* pSrc, UINT nCount)
{
    auto* dest = static_cast<unsigned char*>(pDest);
    const auto* src = static_cast<const unsigned char*>(pSrc);
    for (; nCount >= 4; nCount -= 4, dest += 4, src += 4)
        std::memcpy(dest, src, 4);
    for (; nCount; --nCount)
        *dest++ = *src++;
}

void XTStrCopy(char* pDest, UINT nSize, const char* pSrc)
{
    if (!pDest || !nSize)
        return;
    tavrin::win::CopyWholeCharacters(pSrc ? pSrc : "", pDest, nSize > INT_MAX ? INT_MAX : static_cast<int>(nSize));
}

CXTGlobalData::CXTGlobalData() : m_pstrProfileFile(&ProfileFileName())
{
    const CXTOSVersionInfo& version = XTOSVersionInfo();
    bWin95 = version.IsWin95();
    bWin98 = version.IsWin98();
    bWinNT4 = version.IsWinNT4();
    bWin2K = version.IsWin2000();
    bWinXP = version.IsWinXP();
    GetComCtlVersion();
    UpdateSysColors();
    UpdateSysMetrics();
    XTSetResourceHandle(::GetModuleHandleA(nullptr));
    LoadCursors();
    UpdateFonts(CString(), CString());
}

CXTGlobalData::~CXTGlobalData()
{
    FreeCursors();
    DeleteFonts();
}

CFont* CXTGlobalData::Fonts(int index)
{
    CFont* fonts[10] = {&font,          &fontBold,          &fontULine,   &fontVert,   &fontVertBold,
                        &fontIconTitle, &fontIconTitleBold, &fontMarlett, &fontStatus, &fontSmCaption};
    return fonts[index];
}

void CXTGlobalData::DeleteFonts()
{
    for (int i = 0; i < 10; ++i)
        if (Fonts(i)->m_hObject)
            Fonts(i)->DeleteObject();
}

BOOL CXTGlobalData::UpdateFonts(CString strHorzFace, CString strVertFace)
{
    DeleteFonts();
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof(ncm);
    ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    HWND desktop = ::GetDesktopWindow();
    HDC screen = ::GetWindowDC(desktop);
    const int charset = screen ? ::GetTextCharsetInfo(screen, nullptr, 0) : DEFAULT_CHARSET;
    if (screen)
        ::ReleaseDC(desktop, screen);

    LOGFONTA lf{};
    lf.lfHeight = ncm.lfMenuFont.lfHeight;
    lf.lfWeight = ncm.lfMenuFont.lfWeight;
    lf.lfItalic = ncm.lfMenuFont.lfItalic;
    std::memcpy(lf.lfFaceName, ncm.lfMenuFont.lfFaceName, LF_FACESIZE);
    lf.lfFaceName[LF_FACESIZE - 1] = 0;
    lf.lfCharSet = static_cast<BYTE>(charset);

    if (!strHorzFace.IsEmpty() && FontExists(strHorzFace)) {
        SetFace(lf, strHorzFace);
        SetFace(ncm.lfStatusFont, strHorzFace);
        SetFace(ncm.lfSmCaptionFont, strHorzFace);
    } else if (strHorzFace.IsEmpty() && bUseTahoma && ncm.lfMenuFont.lfCharSet <= SYMBOL_CHARSET &&
               FontExists("Tahoma")) {
        SetFace(lf, "Tahoma");
    }

    LOGFONTA bold = lf, underlined = lf;
    bold.lfWeight = FW_BOLD;
    underlined.lfUnderline = 1;
    if (!font.CreateFontIndirect(&lf) || !fontBold.CreateFontIndirect(&bold) ||
        !fontULine.CreateFontIndirect(&underlined))
        return FALSE;

    LOGFONTA vert = lf;
    if (!strVertFace.IsEmpty() && FontExists(strVertFace))
        SetFace(vert, strVertFace);
    else if (strVertFace.IsEmpty() && CString(ncm.lfMenuFont.lfFaceName).CompareNoCase("Tahoma") != 0 &&
             FontExists("Arial"))
        SetFace(vert, "Arial");
    vert.lfEscapement = 2700;
    vert.lfOrientation = 900;
    LOGFONTA vertBold = vert;
    vertBold.lfWeight = FW_BOLD;
    if (!fontVert.CreateFontIndirect(&vert) || !fontVertBold.CreateFontIndirect(&vertBold))
        return FALSE;

    LOGFONTA icon{};
    ::SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof(icon), &icon, 0);
    LOGFONTA iconBold = icon;
    iconBold.lfWeight = FW_BOLD;
    if (!fontIconTitle.CreateFontIndirect(&icon) || !fontIconTitleBold.CreateFontIndirect(&iconBold))
        return FALSE;

    if (!fontStatus.CreateFontIndirect(&ncm.lfStatusFont) || !fontSmCaption.CreateFontIndirect(&ncm.lfSmCaptionFont))
        return FALSE;

    LOGFONTA marlett{};
    marlett.lfHeight = icon.lfHeight;
    marlett.lfCharSet = DEFAULT_CHARSET;
    SetFace(marlett, "Marlett");
    return fontMarlett.CreateFontIndirect(&marlett);
}

BOOL CXTGlobalData::SetGlobalFonts(CFont* pHorzFont, CFont* pVertFont)
{
    LOGFONTA lf{};
    if (pHorzFont && pHorzFont->m_hObject && pHorzFont->GetLogFont(&lf)) {
        LOGFONTA bold = lf, underlined = lf;
        bold.lfWeight = FW_BOLD;
        underlined.lfUnderline = 1;
        if (!Remake(font, lf) || !Remake(fontBold, bold) || !Remake(fontULine, underlined) || !Remake(fontStatus, lf))
            return FALSE;
    }
    if (pVertFont && pVertFont->m_hObject && pVertFont->GetLogFont(&lf)) {
        lf.lfEscapement = 2700;
        lf.lfOrientation = 900;
        LOGFONTA bold = lf;
        bold.lfWeight = FW_BOLD;
        if (!Remake(fontVert, lf) || !Remake(fontVertBold, bold))
            return FALSE;
    }
    return TRUE;
}

void CXTGlobalData::UpdateSysColors()
{
    CXTColorManager* colors = XTGetColorManager();
    colors->RefreshColors(FALSE);
    static COLORREF CXTGlobalData::* const fields[20] = {
        &CXTGlobalData::clr3DFace,         &CXTGlobalData::clr3DShadow,        &CXTGlobalData::clr3DDkShadow,
        &CXTGlobalData::clr3DHilight,      &CXTGlobalData::clr3DLight,         &CXTGlobalData::clrBtnText,
        &CXTGlobalData::clrGrayText,       &CXTGlobalData::clrHighlight,       &CXTGlobalData::clrHighlightText,
        &CXTGlobalData::clrMenu,           &CXTGlobalData::clrMenuText,        &CXTGlobalData::clrWindow,
        &CXTGlobalData::clrWindowFrame,    &CXTGlobalData::clrWindowText,      &CXTGlobalData::clrActiveCaption,
        &CXTGlobalData::clrInActiveCaption, &CXTGlobalData::clrGradActiveCapt, &CXTGlobalData::clrGradInActiveCapt,
        &CXTGlobalData::clrActiveCaptText, &CXTGlobalData::clrInactiveCaptText,
    };
    for (int i = 0; i < 20; ++i)
        this->*fields[i] = colors->GetColor(kCopiedColors[i]);
    for (int i = 0; i < 20; ++i)
        clrDerived[i] = colors->GetColor(30 + i);
}

void CXTGlobalData::UpdateSysMetrics()
{
    cxSmIcon = ::GetSystemMetrics(SM_CXSMICON);
    cySmIcon = ::GetSystemMetrics(SM_CYSMICON);
    cxSize = cySize = 18;
    cxHThumb = ::GetSystemMetrics(SM_CXHTHUMB);
    cyVThumb = ::GetSystemMetrics(SM_CYVTHUMB);
    cyMenuItem = ::GetSystemMetrics(SM_CYMENU);
}

BOOL CXTGlobalData::LoadCursors()
{
    HMODULE module = m_hResourceModule ? m_hResourceModule : XTGetResourceHandle();
    FreeCursors();
    struct {
        HCURSOR* field;
        UINT id;
    } const cursors[] = {
        {&hcurCursorD, XT_IDC_CURSOR_D}, {&hcurCursorA, XT_IDC_CURSOR_A},      {&hcurCursorB, XT_IDC_CURSOR_B},
        {&hcurCursorC, XT_IDC_CURSOR_C}, {&hcurCursorE, XT_IDC_CURSOR_E},      {&hcurVSplitBar, XT_IDC_VSPLITBAR},
        {&hcurHSplitBar, XT_IDC_HSPLITBAR},
    };
    for (const auto& c : cursors) {
        *c.field = ::LoadCursorA(module, MAKEINTRESOURCEA(c.id));
        if (!*c.field)
            return FALSE;
    }
    hcurSizeAll = ::LoadCursorA(nullptr, IDC_SIZEALL);
    return hcurSizeAll != nullptr;
}

void CXTGlobalData::FreeCursors()
{
    for (HCURSOR* cursor :
         {&hcurCursorA, &hcurCursorB, &hcurCursorD, &hcurCursorC, &hcurCursorE, &hcurVSplitBar, &hcurHSplitBar}) {
        if (*cursor)
            ::DestroyCursor(*cursor);
        *cursor = nullptr;
    }
}

DWORD CXTGlobalData::GetComCtlVersion()
{
    if (m_dwComCtlVersion == 0xFFFFFFFF) {
        if (HMODULE comctl = ::LoadLibraryA("COMCTL32.DLL")) {
            DWORD version = CXTPVisualStyleWrapper::GetComCtlVersion(comctl);
            if (version)
                m_dwComCtlVersion = version;
            ::FreeLibrary(comctl);
        }
    }
    return m_dwComCtlVersion == 0xFFFFFFFF ? 0 : m_dwComCtlVersion;
}

BOOL CXTGlobalData::FontExists(const CString& strFaceName)
{
    return XTFontFamilyExists(strFaceName);
}

CXTGlobalData* XTGetGlobalData()
{
    static CXTGlobalData data;
    return &data;
}
