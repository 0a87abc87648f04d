// What every classic toolkit control shares: fonts, a copy of the colour
// manager's colours, a few metrics, the toolkit's cursors, the Windows
// version flags, the common-controls version and the toolkit's profile file
// name; beside it the module of the toolkit's resources and the version
// record.
#pragma once

#include "platform/mfc/GdiObject.h"
#include "platform/win/SystemProfile.h"

// The Windows version, read once.
class CXTOSVersionInfo : public OSVERSIONINFOA {
public:
    CXTOSVersionInfo();

    BOOL IsWin95() const { return dwPlatformId == 1 && dwMajorVersion == 4 && dwMinorVersion < 10; }
    BOOL IsWin98() const { return dwPlatformId == 1 && dwMajorVersion == 4 && dwMinorVersion == 10; }
    BOOL IsWinNT4() const { return dwPlatformId == 2 && dwMajorVersion == 4 && dwMinorVersion == 0; }
    BOOL IsWin2000() const { return dwPlatformId == 2 && dwMajorVersion == 5 && dwMinorVersion == 0; }
    BOOL IsWinXP() const { return dwPlatformId == 2 && dwMajorVersion == 5 && dwMinorVersion == 1; }
    BOOL IsWin2KOrLater() const { return dwPlatformId >= 2 && dwMajorVersion >= 5; }
};

// The process-wide record, filled on first use.
const CXTOSVersionInfo& XTOSVersionInfo();

// The module holding the toolkit's resources.
void XTSetResourceHandle(HMODULE hModule);
HMODULE XTGetResourceHandle();

// Copies nCount bytes, four at a time and then the rest.
void XTCopyMemory(void* pDest, const void* pSrc, UINT nCount);
// Copies the string and its NUL into nSize bytes; a longer source is cut
// after its last whole character that fits. Nothing past nSize is written.
void XTStrCopy(char* pDest, UINT nSize, const char* pSrc);

class CXTGlobalData {
public:
    CXTGlobalData();
    virtual ~CXTGlobalData();
    CXTGlobalData(const CXTGlobalData&) = delete;
    CXTGlobalData& operator=(const CXTGlobalData&) = delete;

    // Rebuilds the ten fonts from the menu font; faces that exist replace
    // the horizontal and vertical faces.
    BOOL UpdateFonts(CString strHorzFace, CString strVertFace);
    // Normal, bold, underlined and status fonts from the first font, the
    // vertical pair from the second; a null pointer keeps its fonts.
    BOOL SetGlobalFonts(CFont* pHorzFont, CFont* pVertFont);
    void DeleteFonts();
    void UpdateSysColors();
    void UpdateSysMetrics();
    BOOL LoadCursors();
    void FreeCursors();
    // (major << 16) | minor of the common controls; asked until it answers.
    DWORD GetComCtlVersion();
    BOOL FontExists(const CString& strFaceName);

    // Colour-manager colours 15, 16, 21, 20, 22, 18, 17, 13, 14, 4, 7, 5,
    // 6, 8, 2, 3, 27, 28, 9, 19, then 30 to 49.
    COLORREF clr3DFace;
    COLORREF clr3DShadow;
    COLORREF clr3DDkShadow;
    COLORREF clr3DHilight;
    COLORREF clr3DLight;
    COLORREF clrBtnText;
    COLORREF clrGrayText;
    COLORREF clrHighlight;
    COLORREF clrHighlightText;
    COLORREF clrMenu;
    COLORREF clrMenuText;
    COLORREF clrWindow;
    COLORREF clrWindowFrame;
    COLORREF clrWindowText;
    COLORREF clrActiveCaption;
    COLORREF clrInActiveCaption;
    COLORREF clrGradActiveCapt;
    COLORREF clrGradInActiveCapt;
    COLORREF clrActiveCaptText;
    COLORREF clrInactiveCaptText;
    COLORREF clrDerived[20]; // colour indexes 30 to 49

    // Loaded from the resource module; the last one is the system's.
    HCURSOR hcurCursorA = nullptr;  // 9008
    HCURSOR hcurCursorB = nullptr;  // 9009
    HCURSOR hcurCursorD = nullptr;  // 9011
    HCURSOR hcurCursorC = nullptr;  // 9010
    HCURSOR hcurCursorE = nullptr;  // 9012
    HCURSOR hcurVSplitBar = nullptr; // 9970, left and right
    HCURSOR hcurHSplitBar = nullptr; // 9971, up and down
    HCURSOR hcurSizeAll = nullptr;

    int cxSmIcon = 0;
    int cySmIcon = 0;
    int cxSize = 18;
    int cySize = 18;
    int cxHThumb = 0;
    int cyVThumb = 0;
    int cyMenuItem = 0;

    CFont font;
    CFont fontBold;
    CFont fontULine;
    CFont fontVert;
    CFont fontVertBold;
    CFont fontIconTitle;
    CFont fontIconTitleBold;
    CFont fontMarlett;
    CFont fontStatus;
    CFont fontSmCaption;

    BOOL bWin95 = FALSE;
    BOOL bWin98 = FALSE;
    BOOL bWinNT4 = FALSE;
    BOOL bWin2K = FALSE;
    BOOL bWinXP = FALSE;
    BOOL bUseTahoma = FALSE; // nothing in the program sets it

    DWORD m_dwComCtlVersion = 0xFFFFFFFF;
    // The toolkit's private profile file; while it is not empty the profile
    // manager writes there instead of the registry.
    CString* m_pstrProfileFile;
    // The cursors' module; null: XTGetResourceHandle.
    HMODULE m_hResourceModule = nullptr;

private:
    CFont* Fonts(int index);
};

// The one global data object, built on first use.
CXTGlobalData* XTGetGlobalData();
