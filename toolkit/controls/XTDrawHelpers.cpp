#include "toolkit/controls/XTDrawHelpers.h"

#include "platform/gdi/ImageList.h"
#include "platform/mfc/Wnd.h"
#include "platform/win/OptionalLibrary.h"
#include "platform/win/SystemProfile.h"

#include <algorithm>

CXTFontSelector::CXTFontSelector(CDC* pDC, CFont* pFont) : m_hDC(pDC ? pDC->m_hDC : nullptr)
{
    if (m_hDC && pFont && pFont->m_hObject)
        m_hOldFont = ::SelectObject(m_hDC, pFont->m_hObject);
}

CXTFontSelector::~CXTFontSelector()
{
    if (m_hOldFont)
        ::SelectObject(m_hDC, m_hOldFont);
}

COLORREF CXTPenSelector::GetColor()
{
    LOGPEN lp{};
    return m_object.GetLogPen(&lp) ? lp.lopnColor : CLR_INVALID;
}

CXTWindowRect::CXTWindowRect(HWND hWnd)
{
    SetRectEmpty();
    if (::IsWindow(hWnd))
        ::GetWindowRect(hWnd, this);
}

CXTWindowRect::CXTWindowRect(const CWnd* pWnd) : CXTWindowRect(pWnd ? pWnd->GetSafeHwnd() : nullptr) {}

CXTClientRect::CXTClientRect(const CWnd* pWnd)
{
    SetRectEmpty();
    if (pWnd && ::IsWindow(pWnd->GetSafeHwnd()))
        ::GetClientRect(pWnd->GetSafeHwnd(), this);
}

CXTClientCursorPos::CXTClientCursorPos(const CWnd* pWnd)
{
    ::GetCursorPos(this);
    if (pWnd && pWnd->GetSafeHwnd())
        ::ScreenToClient(pWnd->GetSafeHwnd(), this);
}

BOOL XTIsLowColorDisplay(HDC hDC)
{
    int bits = 0;
    if (hDC) {
        bits = ::GetDeviceCaps(hDC, BITSPIXEL);
    } else {
        HWND desktop = ::GetDesktopWindow();
        HDC screen = ::GetDC(desktop);
        if (!screen)
            return FALSE;
        bits = ::GetDeviceCaps(screen, BITSPIXEL);
        ::ReleaseDC(desktop, screen);
    }
    return bits >= 1 && bits <= 8;
}

CXTDrawHelper::CXTDrawHelper()
{
    m_hMsImgDll = LoadLibraryA("msimg32.dll");
    if (m_hMsImgDll)
        m_pfnGradientFill = reinterpret_cast<PFNGRADIENTFILL>(
            reinterpret_cast<void (*)()>(GetProcAddress(m_hMsImgDll, "GradientFill")));
}

CXTDrawHelper::~CXTDrawHelper()
{
    if (m_hMsImgDll)
        FreeLibrary(m_hMsImgDll);
}

COLORREF CXTDrawHelper::BlendColors(COLORREF clrFrom, COLORREF clrTo, float fWeight)
{
    auto mix = [fWeight](int from, int to) {
        int v = static_cast<int>(static_cast<float>(to) * (1.0f - fWeight) + static_cast<float>(from) * fWeight);
        return std::min(v, 255);
    };
    return RGB(mix(GetRValue(clrFrom), GetRValue(clrTo)), mix(GetGValue(clrFrom), GetGValue(clrTo)),
               mix(GetBValue(clrFrom), GetBValue(clrTo)));
}

void CXTDrawHelper::GradientFill(CDC* pDC, LPCRECT lpRect, const CXTColorGradient& grc, BOOL bHorz)
{
    GradientFill(pDC, lpRect, grc.clrLight, grc.clrDark, bHorz);
}

void CXTDrawHelper::GradientFill(CDC* pDC, LPCRECT lpRect, COLORREF clrFrom, COLORREF clrTo, BOOL bHorz)
{
    if (!pDC || !pDC->m_hDC || !lpRect || ::IsRectEmpty(lpRect))
        return;
    if (clrFrom == clrTo || XTIsLowColorDisplay(pDC->m_hDC)) {
        pDC->FillSolidRect(lpRect, clrFrom);
        return;
    }
    if (m_pfnGradientFill) {
        auto vertex = [](LONG x, LONG y, COLORREF clr) {
            return TRIVERTEX{x, y, static_cast<COLOR16>(GetRValue(clr) << 8), static_cast<COLOR16>(GetGValue(clr) << 8),
                             static_cast<COLOR16>(GetBValue(clr) << 8), 0};
        };
        TRIVERTEX vertices[2] = {vertex(lpRect->left, lpRect->top, clrFrom),
                                 vertex(lpRect->right, lpRect->bottom, clrTo)};
        GRADIENT_RECT mesh{0, 1};
        m_pfnGradientFill(pDC->m_hDC, vertices, 2, &mesh, 1, bHorz ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
        return;
    }

    // Banded: one line per pixel of the part that can be seen.
    const int width = std::max(1, static_cast<int>(lpRect->right - lpRect->left));
    const int height = std::max(1, static_cast<int>(lpRect->bottom - lpRect->top));
    CRect area;
    CRect clip;
    pDC->GetClipBox(&clip);
    if (clip.IsRectEmpty())
        area = *lpRect;
    else if (!area.IntersectRect(&clip, lpRect))
        return;
    if (bHorz) {
        for (int x = area.left; x < area.right; ++x) {
            float weight = 1.0f - static_cast<float>(x - lpRect->left) / static_cast<float>(width);
            pDC->FillSolidRect(x, area.top, 1, area.Height(), BlendColors(clrFrom, clrTo, weight));
        }
    } else {
        for (int y = area.top; y < area.bottom; ++y) {
            float weight = 1.0f - static_cast<float>(y - lpRect->top) / static_cast<float>(height);
            pDC->FillSolidRect(area.left, y, area.Width(), 1, BlendColors(clrFrom, clrTo, weight));
        }
    }
}

CXTDrawHelper& XTDrawHelper()
{
    static CXTDrawHelper helper;
    return helper;
}

namespace {

int CALLBACK StopAtFace(const LOGFONTA* lf, const TEXTMETRICA*, DWORD, LPARAM data)
{
    const CString* wanted = reinterpret_cast<const CString*>(data);
    char face[LF_FACESIZE + 1] = {};
    std::copy(lf->lfFaceName, lf->lfFaceName + LF_FACESIZE, face);
    return wanted->CompareNoCase(face) == 0 ? 0 : 1;
}

} // namespace

BOOL XTFontFamilyExists(LPCTSTR lpszFaceName)
{
    if (!lpszFaceName || !*lpszFaceName)
        return FALSE;
    const CString wanted(lpszFaceName);
    HWND desktop = ::GetDesktopWindow();
    HDC screen = ::GetWindowDC(desktop);
    if (!screen)
        return FALSE;
    LOGFONTA lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    int result = ::EnumFontFamiliesExA(screen, &lf, StopAtFace, reinterpret_cast<LPARAM>(&wanted), 0);
    ::ReleaseDC(desktop, screen);
    return result == 0;
}

CString XTGetDefaultFontFace(BOOL bPreferTahoma)
{
    LOGFONTA lf{};
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    const bool nt5 = ::GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
                     version.dwMajorVersion >= 5;
    const bool western = !(nt5 && lf.lfCharSet > SYMBOL_CHARSET);
    if (western && XTFontFamilyExists("Arial"))
        return bPreferTahoma && XTFontFamilyExists("Tahoma") ? CString("Tahoma") : CString("Arial");
    char face[LF_FACESIZE + 1] = {};
    std::copy(lf.lfFaceName, lf.lfFaceName + LF_FACESIZE, face);
    return CString(face);
}

XTColorScheme XTGetLunaTheme()
{
    return XTGetColorManager()->GetLunaTheme();
}

CXTColorRef& CXTColorRef::Blend(COLORREF clrOther, int nPercent)
{
    auto mix = [nPercent](int self, int other) {
        return std::clamp((self * (100 - nPercent) + other * nPercent) / 100, 0, 255);
    };
    m_clr = RGB(mix(GetRValue(m_clr), GetRValue(clrOther)), mix(GetGValue(m_clr), GetGValue(clrOther)),
                mix(GetBValue(m_clr), GetBValue(clrOther)));
    return *this;
}

CXTColorRef& CXTColorRef::Subtract(COLORREF clrOther)
{
    auto less = [](int self, int other) { return std::max(0, self - other); };
    m_clr = RGB(less(GetRValue(m_clr), GetRValue(clrOther)), less(GetGValue(m_clr), GetGValue(clrOther)),
                less(GetBValue(m_clr), GetBValue(clrOther)));
    return *this;
}

COLORREF XTGetBitmapCornerColor(HBITMAP hBitmap)
{
    if (!hBitmap)
        return CLR_INVALID;
    HDC dc = ::CreateCompatibleDC(nullptr);
    if (!dc)
        return CLR_INVALID;
    HGDIOBJ old = ::SelectObject(dc, hBitmap);
    COLORREF clr = old ? ::GetPixel(dc, 0, 0) : CLR_INVALID;
    if (old)
        ::SelectObject(dc, old);
    ::DeleteDC(dc);
    return clr;
}

HICON XTCreateIconFromBitmap(HBITMAP hBitmap)
{
    BITMAP bm{};
    if (!hBitmap || !::GetObjectA(hBitmap, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return nullptr;
    HIMAGELIST list = ImageList_Create(bm.bmWidth, bm.bmHeight, ILC_COLOR24 | ILC_MASK, 0, 1);
    if (!list)
        return nullptr;
    HICON icon = nullptr;
    if (ImageList_AddMasked(list, hBitmap, XTGetBitmapCornerColor(hBitmap)) >= 0)
        icon = ImageList_GetIcon(list, 0, ILD_NORMAL);
    ImageList_Destroy(list);
    return icon;
}

void XTFillHalftoneRect(CDC* pDC, const CRect& rect)
{
    if (!pDC || !pDC->m_hDC)
        return;
    // Monochrome rows are WORD-aligned: 0x55 and 0xAA alternate.
    static const WORD kRows[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    CBitmap bitmap;
    CBrush brush;
    if (!bitmap.CreateBitmap(8, 8, 1, 1, kRows) || !brush.CreatePatternBrush(&bitmap))
        return;
    CXTColorManager* colors = XTGetColorManager();
    const COLORREF oldText = pDC->SetTextColor(colors->GetColor(COLOR_3DFACE));
    const COLORREF oldBack = pDC->SetBkColor(colors->GetColor(COLOR_3DHIGHLIGHT));
    CBrush* oldBrush = pDC->SelectObject(&brush);
    pDC->PatBlt(rect.left, rect.top, rect.Width(), rect.Height(), PATCOPY);
    pDC->SelectObject(oldBrush);
    pDC->SetTextColor(oldText);
    pDC->SetBkColor(oldBack);
}
