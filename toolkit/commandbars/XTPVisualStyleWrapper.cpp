#include "toolkit/commandbars/XTPVisualStyleWrapper.h"

namespace {

const char* const kSlotNames[CXTPVisualStyleLibrary::slotCount] = {
    "OpenThemeData", "CloseThemeData", "DrawThemeBackground", "GetThemeColor",
    "GetCurrentThemeName", "IsThemeActive", "IsAppThemed",
};

// Calls an entry point of the library; the failure value when it is missing
// or the call throws.
template <typename Fn, typename R, typename... Args>
R CallEntry(CXTPVisualStyleLibrary::Slot slot, R failure, Args... args)
{
    FARPROC proc = XTPVisualStyleLibrary().Resolve(slot);
    if (!proc)
        return failure;
    try {
        return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc))(args...);
    } catch (...) {
        return failure;
    }
}

} // namespace

CXTPVisualStyleLibrary::CXTPVisualStyleLibrary()
{
    Load();
}

CXTPVisualStyleLibrary::~CXTPVisualStyleLibrary()
{
    Free();
}

void CXTPVisualStyleLibrary::Free()
{
    if (m_hThemeDll)
        FreeLibrary(m_hThemeDll);
    m_hThemeDll = nullptr;
    for (FARPROC& slot : m_slots)
        slot = nullptr;
}

void CXTPVisualStyleLibrary::Load()
{
    Free();
    m_hThemeDll = LoadLibraryA("UxTheme.dll");
    m_dwComCtlVersion = 0;
    if (HMODULE comctl = LoadLibraryA("comctl32.dll")) {
        m_dwComCtlVersion = CXTPVisualStyleWrapper::GetComCtlVersion(comctl);
        FreeLibrary(comctl);
    }
}

FARPROC CXTPVisualStyleLibrary::Resolve(Slot slot)
{
    if (!m_hThemeDll || slot < 0 || slot >= slotCount)
        return nullptr;
    if (!m_slots[slot])
        m_slots[slot] = GetProcAddress(m_hThemeDll, kSlotNames[slot]);
    return m_slots[slot];
}

CXTPVisualStyleLibrary& XTPVisualStyleLibrary()
{
    // Built on first use rather than at start-up: the library table it reads
    // is itself built by static initialisers.
    static CXTPVisualStyleLibrary library;
    return library;
}

CXTPVisualStyleWrapper::~CXTPVisualStyleWrapper()
{
    CloseThemeData();
}

void CXTPVisualStyleWrapper::OpenThemeData(HWND hWnd, LPCWSTR pszClassList)
{
    CloseThemeData();
    m_hTheme = CallEntry<PFNOPENTHEMEDATA>(CXTPVisualStyleLibrary::slotOpenThemeData, HTHEME(nullptr), hWnd,
                                           pszClassList);
}

void CXTPVisualStyleWrapper::CloseThemeData()
{
    if (m_hTheme)
        CallEntry<PFNCLOSETHEMEDATA>(CXTPVisualStyleLibrary::slotCloseThemeData, E_FAIL, m_hTheme);
    m_hTheme = nullptr;
}

HRESULT CXTPVisualStyleWrapper::DrawThemeBackground(HDC hDC, int iPartId, int iStateId, const RECT* pRect,
                                                    const RECT* pClipRect)
{
    return CallEntry<PFNDRAWTHEMEBACKGROUND>(CXTPVisualStyleLibrary::slotDrawThemeBackground, E_FAIL, m_hTheme, hDC,
                                             iPartId, iStateId, pRect, pClipRect);
}

HRESULT CXTPVisualStyleWrapper::GetThemeColor(int iPartId, int iStateId, int iPropId, COLORREF* pColor)
{
    return CallEntry<PFNGETTHEMECOLOR>(CXTPVisualStyleLibrary::slotGetThemeColor, E_FAIL, m_hTheme, iPartId,
                                       iStateId, iPropId, pColor);
}

HRESULT CXTPVisualStyleWrapper::GetCurrentThemeName(LPWSTR pszThemeFileName, int cchMaxNameChars,
                                                    LPWSTR pszColorBuff, int cchMaxColorChars, LPWSTR pszSizeBuff,
                                                    int cchMaxSizeChars)
{
    return CallEntry<PFNGETCURRENTTHEMENAME>(CXTPVisualStyleLibrary::slotGetCurrentThemeName, E_FAIL,
                                             pszThemeFileName, cchMaxNameChars, pszColorBuff, cchMaxColorChars,
                                             pszSizeBuff, cchMaxSizeChars);
}

BOOL CXTPVisualStyleWrapper::IsThemeActive()
{
    return CallEntry<PFNISTHEMEACTIVE>(CXTPVisualStyleLibrary::slotIsThemeActive, BOOL(FALSE));
}

BOOL CXTPVisualStyleWrapper::IsAppThemed()
{
    if (!m_hTheme)
        return FALSE;
    return CallEntry<PFNISAPPTHEMED>(CXTPVisualStyleLibrary::slotIsAppThemed, BOOL(FALSE));
}

BOOL CXTPVisualStyleWrapper::IsThemingAvailable()
{
    const CXTPVisualStyleLibrary& library = XTPVisualStyleLibrary();
    return library.m_hThemeDll && IsThemeActive() && IsAppThemed() && HIWORD(library.m_dwComCtlVersion) > 5;
}

DWORD CXTPVisualStyleWrapper::GetComCtlVersion(HMODULE hModule)
{
    if (!hModule)
        return 0;
    auto proc = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void (*)()>(GetProcAddress(hModule, "DllGetVersion")));
    if (!proc)
        return 0;
    DLLVERSIONINFO info{};
    info.cbSize = sizeof(info);
    if (proc(&info) < 0)
        return 0;
    return (info.dwMajorVersion << 16) | info.dwMinorVersion;
}
