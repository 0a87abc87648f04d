// Visual styles reached by name at run time, so the toolkit runs unchanged
// where the library is missing: every call then fails quietly (E_FAIL,
// FALSE, no handle).
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/win/OptionalLibrary.h"

typedef HANDLE HTHEME;

// The library's entry points, as a stand-in library must define them.
typedef HTHEME(WINAPI* PFNOPENTHEMEDATA)(HWND, LPCWSTR);
typedef HRESULT(WINAPI* PFNCLOSETHEMEDATA)(HTHEME);
typedef HRESULT(WINAPI* PFNDRAWTHEMEBACKGROUND)(HTHEME, HDC, int, int, const RECT*, const RECT*);
typedef HRESULT(WINAPI* PFNGETTHEMECOLOR)(HTHEME, int, int, int, COLORREF*);
typedef HRESULT(WINAPI* PFNGETCURRENTTHEMENAME)(LPWSTR, int, LPWSTR, int, LPWSTR, int);
typedef BOOL(WINAPI* PFNISTHEMEACTIVE)();
typedef BOOL(WINAPI* PFNISAPPTHEMED)();

// The process-wide record of the visual-styles library: its module, its
// entry points resolved on first use, and the common-controls version.
class CXTPVisualStyleLibrary {
public:
    enum Slot {
        slotOpenThemeData,
        slotCloseThemeData,
        slotDrawThemeBackground,
        slotGetThemeColor,
        slotGetCurrentThemeName,
        slotIsThemeActive,
        slotIsAppThemed,
        slotCount
    };

    CXTPVisualStyleLibrary();
    ~CXTPVisualStyleLibrary();
    CXTPVisualStyleLibrary(const CXTPVisualStyleLibrary&) = delete;
    CXTPVisualStyleLibrary& operator=(const CXTPVisualStyleLibrary&) = delete;

    // Frees what was loaded and loads the library again: slots empty, the
    // common-controls version read anew. Tests call it after registering a
    // stand-in library.
    void Load();
    // The entry point of a slot, looked up the first time; null when the
    // library or the export is missing.
    FARPROC Resolve(Slot slot);

    HMODULE m_hThemeDll = nullptr;
    DWORD m_dwComCtlVersion = 0;

private:
    void Free();
    FARPROC m_slots[slotCount] = {};
};

// The one record, loaded on first use.
CXTPVisualStyleLibrary& XTPVisualStyleLibrary();

class CXTPVisualStyleWrapper {
public:
    CXTPVisualStyleWrapper() = default;
    virtual ~CXTPVisualStyleWrapper();
    CXTPVisualStyleWrapper(const CXTPVisualStyleWrapper&) = delete;
    CXTPVisualStyleWrapper& operator=(const CXTPVisualStyleWrapper&) = delete;

    // Closes the held handle first; keeps null on failure.
    void OpenThemeData(HWND hWnd, LPCWSTR pszClassList);
    void CloseThemeData();
    HTHEME GetThemeHandle() const { return m_hTheme; }

    HRESULT DrawThemeBackground(HDC hDC, int iPartId, int iStateId, const RECT* pRect, const RECT* pClipRect);
    HRESULT GetThemeColor(int iPartId, int iStateId, int iPropId, COLORREF* pColor);
    HRESULT GetCurrentThemeName(LPWSTR pszThemeFileName, int cchMaxNameChars, LPWSTR pszColorBuff,
                                int cchMaxColorChars, LPWSTR pszSizeBuff, int cchMaxSizeChars);
    BOOL IsThemeActive();
    // FALSE while no theme data is open.
    BOOL IsAppThemed();
    // The library loaded, a theme active, this wrapper's data themed and
    // common controls above version 5.
    BOOL IsThemingAvailable();

    // (major << 16) | minor from the module's DllGetVersion; 0 without one.
    static DWORD GetComCtlVersion(HMODULE hModule);

private:
    HTHEME m_hTheme = nullptr;
};

// Theme colour properties.
#define TMT_BORDERCOLOR 3801
#define TMT_TEXTCOLOR 3803
#define TMT_EDGESHADOWCOLOR 3806
#define TMT_FILLCOLORHINT 3821
