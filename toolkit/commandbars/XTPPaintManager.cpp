#include "toolkit/commandbars/XTPPaintManager.h"

#include "platform/base/Clock.h"
#include "platform/base/Sync.h"
#include "platform/gdi/Gdi.h"
#include "platform/mfc/StatusBar.h"
#include "platform/mfc/Wnd.h"
#include "platform/win/SystemMetrics.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPNativeXPTheme.h"
#include "toolkit/commandbars/XTPOffice2000Theme.h"
#include "toolkit/commandbars/XTPOffice2003Theme.h"
#include "toolkit/commandbars/XTPOfficeXPTheme.h"
#include "toolkit/controls/XTDrawHelpers.h"

#include <cstring>
#include <new>
#include <vector>

namespace {

// The global instance; released at exit.
struct GlobalPaintManager {
    CXTPPaintManager* pInstance = nullptr;
    ~GlobalPaintManager()
    {
        if (pInstance)
            pInstance->InternalRelease();
        pInstance = nullptr;
    }
};

GlobalPaintManager& Global()
{
    static GlobalPaintManager global;
    return global;
}

// A 32-bit top-down-free (bottom-up, BI_RGB) DIB section of w x h.
HBITMAP CreateBits32(HDC hDC, int cx, int cy, BYTE** ppBits)
{
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    HBITMAP hBitmap = CreateDIBSection(hDC, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    *ppBits = static_cast<BYTE*>(pBits);
    return hBitmap;
}

} // namespace

CXTPPaintManager* XTPPaintManager()
{
    return Global().pInstance;
}

CXTPNonClientMetrics::CXTPNonClientMetrics()
{
    std::memset(static_cast<NONCLIENTMETRICSA*>(this), 0, sizeof(NONCLIENTMETRICSA));
    cbSize = sizeof(NONCLIENTMETRICSA);
    ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(NONCLIENTMETRICSA), this, 0);
}

CXTPPaintManager::CXTPPaintManager()
{
    for (auto& c : m_arColor)
        c = {0, static_cast<COLORREF>(-1)};
    RefreshMetrics();
}

CXTPPaintManager::~CXTPPaintManager() = default;

CXTPPaintManager* CXTPPaintManager::SetTheme(int nTheme)
{
    GlobalPaintManager& global = Global();
    if (global.pInstance)
        global.pInstance->InternalRelease();
    global.pInstance = CreateTheme(nTheme);
    return global.pInstance;
}

CXTPPaintManager* CXTPPaintManager::CreateTheme(int nTheme)
{
    CXTPPaintManager* pManager = nullptr;
    switch (nTheme) {
    case xtpThemeOfficeXP:
        pManager = new (std::nothrow) CXTPOfficeXPTheme;
        break;
    case xtpThemeOffice2003:
        pManager = new (std::nothrow) CXTPOffice2003Theme;
        break;
    case xtpThemeNativeWinXP:
        pManager = new (std::nothrow) CXTPNativeXPTheme;
        break;
    case xtpThemeDefault:
        pManager = new (std::nothrow) CXTPDefaultTheme;
        break;
    default:
        pManager = new (std::nothrow) CXTPOffice2000Theme;
        break;
    }
    if (pManager)
        pManager->m_nTheme = nTheme;
    return pManager;
}

void CXTPPaintManager::SetCustomTheme(CXTPPaintManager* pTheme)
{
    GlobalPaintManager& global = Global();
    if (global.pInstance && global.pInstance != pTheme)
        global.pInstance->InternalRelease();
    global.pInstance = pTheme;
    if (pTheme)
        pTheme->m_nTheme = xtpThemeCustom;
}

COLORREF CXTPPaintManager::GetColor(int nIndex) const
{
    if (nIndex > XT_COLOR_LAST)
        return static_cast<COLORREF>(nIndex);
    if (nIndex < 0)
        return 0;
    const ColorPair& c = m_arColor[nIndex];
    return c.clrCustom != static_cast<COLORREF>(-1) ? c.clrCustom : c.clrStandard;
}

void CXTPPaintManager::SetColors(int nCount, const int* pIndexes, const COLORREF* pColors)
{
    for (int i = 0; i < nCount; ++i)
        if (pIndexes[i] >= 0 && pIndexes[i] <= XT_COLOR_LAST)
            m_arColor[pIndexes[i]].clrStandard = pColors[i];
}

void CXTPPaintManager::SetCustomColor(int nIndex, COLORREF clr)
{
    if (nIndex >= 0 && nIndex <= XT_COLOR_LAST)
        m_arColor[nIndex].clrCustom = clr;
}

int CXTPPaintManager::GetCurrentSystemTheme() const
{
    CXTColorManager* pColors = XTGetColorManager();
    if (m_nSystemTheme == 5)
        return pColors->IsLunaColorsDisabled() ? 0 : pColors->GetLunaTheme();
    if (m_nSystemTheme == 4)
        return pColors->GetSystemLunaTheme();
    return m_nSystemTheme;
}

void CXTPPaintManager::RefreshMetrics()
{
    RefreshFonts();
    CXTColorManager* pColors = XTGetColorManager();
    pColors->RefreshColors();
    for (int i = 0; i <= XT_COLOR_LAST; ++i)
        m_arColor[i].clrStandard = pColors->GetColor(i);
    m_clrShadowColor = 0;
    m_clrStatusTextColor = GetColor(COLOR_BTNTEXT);
}

void CXTPPaintManager::RefreshFonts()
{
    CXTPNonClientMetrics ncm;
    if (m_bUseStandardFont) {
        LOGFONTA lf{};
        lf.lfHeight = ncm.lfMenuFont.lfHeight;
        if (lf.lfHeight < 0 && lf.lfHeight > -11)
            lf.lfHeight = -11;
        lf.lfWeight = ncm.lfMenuFont.lfWeight;
        lf.lfItalic = ncm.lfMenuFont.lfItalic;
        std::memcpy(lf.lfFaceName, ncm.lfMenuFont.lfFaceName, sizeof(lf.lfFaceName));
        HDC hScreen = ::GetDC(nullptr);
        lf.lfCharSet = static_cast<BYTE>(::GetTextCharsetInfo(hScreen, nullptr, 0));
        ::ReleaseDC(nullptr, hScreen);
        SetCommandBarsFontIndirect(&lf, TRUE);
    }

    m_fontSmCaption.DeleteObject();
    m_fontSmCaption.CreateFontIndirect(&ncm.lfSmCaptionFont);

    LOGFONTA lfIcon{};
    ::SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof(lfIcon), &lfIcon, 0);
    m_fontIcon.DeleteObject();
    m_fontIcon.CreateFontIndirect(&lfIcon);

    LOGFONTA lfGlyph{};
    lfGlyph.lfHeight = lfIcon.lfHeight;
    lfGlyph.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(lfGlyph.lfFaceName, "Marlett");
    m_fontMarlettIcon.DeleteObject();
    m_fontMarlettIcon.CreateFontIndirect(&lfGlyph);

    lfIcon.lfWeight = FW_BOLD;
    m_fontIconBold.DeleteObject();
    m_fontIconBold.CreateFontIndirect(&lfIcon);
}

void CXTPPaintManager::SetCommandBarsFontIndirect(LOGFONTA* pLogFont, BOOL bUseStandardFont)
{
    m_bUseStandardFont = bUseStandardFont;
    if (!pLogFont)
        return;
    m_fontRegular.DeleteObject();
    m_fontRegularBold.DeleteObject();
    m_fontVert.DeleteObject();
    m_fontVertBold.DeleteObject();

    LOGFONTA lf = *pLogFont;
    if (CString(lf.lfFaceName).CompareNoCase("Tahoma") == 0)
        m_bUseTahomaFont = TRUE;
    if (lf.lfCharSet <= 2 && bUseStandardFont && m_bUseTahomaFont && FontExists("Tahoma"))
        std::strcpy(lf.lfFaceName, "Tahoma");

    m_fontRegular.CreateFontIndirect(&lf);
    const LONG nWeight = lf.lfWeight;
    lf.lfWeight = FW_BOLD;
    m_fontRegularBold.CreateFontIndirect(&lf);
    lf.lfWeight = nWeight;

    lf.lfEscapement = 2700;
    lf.lfOrientation = 900;
    const CString strFace = XTGetDefaultFontFace(m_bUseTahomaFont);
    std::memset(lf.lfFaceName, 0, sizeof(lf.lfFaceName));
    std::strncpy(lf.lfFaceName, strFace, sizeof(lf.lfFaceName) - 1);
    m_fontVert.CreateFontIndirect(&lf);
    lf.lfWeight = FW_BOLD;
    m_fontVertBold.CreateFontIndirect(&lf);

    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CFont* pOld = dc.SelectObject(&m_fontRegular);
    m_nTextHeight = dc.GetTextExtent(" ", 1).cy + 6;
    dc.SelectObject(pOld);
}

namespace {
int CALLBACK FontFound(const LOGFONTA* pLogFont, const TEXTMETRICA*, DWORD, LPARAM lParam)
{
    return CString(pLogFont->lfFaceName).CompareNoCase(*reinterpret_cast<const CString*>(lParam)) == 0 ? 0 : 1;
}
} // namespace

BOOL CXTPPaintManager::FontExists(const CString& strFaceName)
{
    LOGFONTA lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    HDC hScreen = ::GetDC(nullptr);
    const int nResult =
        ::EnumFontFamiliesExA(hScreen, &lf, FontFound, reinterpret_cast<LPARAM>(&strFaceName), 0);
    ::ReleaseDC(nullptr, hScreen);
    return nResult == 0;
}

CFont* CXTPPaintManager::GetCommandBarFont(CXTPCommandBar* pBar, BOOL bBold)
{
    const int nPosition = pBar ? pBar->GetPosition() : xtpBarTop;
    if (nPosition == xtpBarLeft || nPosition == xtpBarRight)
        return bBold ? &m_fontVertBold : &m_fontVert;
    return bBold ? &m_fontRegularBold : &m_fontRegular;
}

void CXTPPaintManager::Draw3dRect(CDC* pDC, CRect rc, int nTopLeft, int nBottomRight)
{
    pDC->Draw3dRect(&rc, GetColor(nTopLeft), GetColor(nBottomRight));
}

void CXTPPaintManager::Rectangle(CDC* pDC, CRect rc, int nPen, int nBrush)
{
    pDC->FillSolidRect(&rc, GetColor(nBrush));
    pDC->Draw3dRect(&rc, GetColor(nPen), GetColor(nPen));
}

void CXTPPaintManager::Line(CDC* pDC, int x0, int y0, int x1, int y1)
{
    pDC->MoveTo(x0, y0);
    pDC->LineTo(x1, y1);
}

void CXTPPaintManager::Line(CDC* pDC, int x0, int y0, int x1, int y1, int nPen)
{
    CXTPenSelector pen(pDC->m_hDC, GetColor(nPen));
    Line(pDC, x0, y0, x1, y1);
}

void CXTPPaintManager::Triangle(CDC* pDC, CPoint pt0, CPoint pt1, CPoint pt2, COLORREF clr)
{
    CXTPenSelector pen(pDC->m_hDC, clr);
    CXTBrushSelector brush(pDC->m_hDC, clr);
    const POINT pts[] = {pt0, pt1, pt2};
    pDC->Polygon(pts, 3);
}

void CXTPPaintManager::DrawCheckMark(CDC* pDC, CRect rc, COLORREF clr, BOOL bLayoutRTL)
{
    const int cx = rc.left + rc.Width() / 2;
    const int cy = rc.top + rc.Height() / 2;
    CXTPenSelector pen(pDC->m_hDC, clr);
    if (bLayoutRTL) {
        pDC->MoveTo(cx - 4, cy - 3);
        pDC->LineTo(cx, cy + 1);
        pDC->LineTo(cx + 3, cy - 2);
        pDC->MoveTo(cx - 4, cy - 2);
        pDC->LineTo(cx, cy + 2);
        pDC->LineTo(cx + 3, cy - 1);
    } else {
        pDC->MoveTo(cx - 4, cy - 1);
        pDC->LineTo(cx - 2, cy + 1);
        pDC->LineTo(cx + 3, cy - 4);
        pDC->MoveTo(cx - 4, cy);
        pDC->LineTo(cx - 2, cy + 2);
        pDC->LineTo(cx + 3, cy - 3);
    }
}

void CXTPPaintManager::GradientFill(CDC* pDC, LPCRECT lpRect, COLORREF crFrom, COLORREF crTo, BOOL bHorz)
{
    XTDrawHelper().GradientFill(pDC, lpRect, crFrom, crTo, bHorz);
}

void CXTPPaintManager::BlendBits(BYTE* pDest, const BYTE* pFrom, int cx, int cy, const BYTE* pTo, int nAlpha)
{
    const long nCount = static_cast<long>(cx) * cy;
    for (long i = 0; i < nCount; ++i) {
        for (int b = 0; b < 3; ++b)
            pDest[b] = static_cast<BYTE>(((255 - nAlpha) * pFrom[b] + nAlpha * pTo[b]) >> 8);
        pDest += 4;
        pFrom += 4;
        pTo += 4;
    }
}

void CXTPPaintManager::StripMnemonics(CString& strClear)
{
    strClear.Replace("&&", "\x01\x01");
    strClear.Remove('&');
    strClear.Replace("\x01\x01", "&");
}

namespace {
bool IsAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
} // namespace

void CXTPPaintManager::FormatCaptionRtl(CString& strCaption)
{
    StripMnemonics(strCaption);
    const int n = strCaption.GetLength();
    if (n < 3)
        return;
    if (n > 3 && strCaption.Right(3) == "..." && IsAsciiLetter(strCaption[n - 4]))
        strCaption = "..." + strCaption.Left(n - 3);

    const int nLimit = n - 2;
    int i = 0;
    while (i < nLimit && ((strCaption[i] >= '0' && strCaption[i] <= '9') || strCaption[i] == '&'))
        ++i;
    if (i == 0 || i >= nLimit || strCaption[i] != ' ')
        return;
    int j = i;
    while (j < nLimit && strCaption[j] == ' ')
        ++j;
    if (j < nLimit && IsAsciiLetter(strCaption[j]))
        strCaption = strCaption.Mid(i + 1) + " " + strCaption.Left(i);
}

CSize CXTPPaintManager::DrawControl(CDC* pDC, CXTPControl* pControl, BOOL bDraw)
{
    // The edit windows' fonts and margins are set by the edit controls
    // themselves once they host a window.
    switch (pControl->GetType()) {
    case xtpControlEdit:
        return DrawControlEdit(pDC, reinterpret_cast<CXTPControlEdit*>(pControl), bDraw);
    case xtpControlComboBox:
        return DrawControlComboBox(pDC, reinterpret_cast<CXTPControlComboBox*>(pControl), bDraw);
    default:
        break;
    }
    CXTPCommandBar* pBar = pControl->GetParent();
    if (pBar && pBar->GetType() == xtpBarTypePopup)
        return DrawControlPopupParent(pDC, pControl, bDraw);
    return DrawControlToolBarParent(pDC, pControl, bDraw);
}

void CXTPPaintManager::DrawControlEntry(CDC* pDC, CXTPControl* pControl)
{
    CXTPCommandBar* pBar = pControl->GetParent();
    DrawControlEntry(pDC, pControl->GetRect(), pControl->GetEnabled(), pControl->GetSelected(),
                     pControl->GetPressed(), pControl->GetChecked(), IsControlPopuped(pControl),
                     pBar ? pBar->GetPosition() : xtpBarTop);
}

void CXTPPaintManager::DrawStatusBarPane(CDC* pDC, CStatusBar* pBar, int nIndex)
{
    CRect rc;
    pBar->GetItemRect(nIndex, &rc);
    UINT nID = 0, nStyle = 0;
    int cxWidth = 0;
    pBar->GetPaneInfo(nIndex, nID, nStyle, cxWidth);
    const BOOL bLast = nIndex == pBar->GetCount() - 1;
    if (bLast) {
        if (!(nStyle & SBPS_STRETCH)) {
            rc.right = rc.left + 3 * ::GetSystemMetrics(SM_CXEDGE) + cxWidth;
        } else if (pBar->GetStyle() & SBARS_SIZEGRIP) {
            CRect rcClient;
            pBar->GetClientRect(&rcClient);
            rc.right = rcClient.right - ::GetSystemMetrics(SM_CXSMICON) - ::GetSystemMetrics(SM_CXEDGE);
        }
    }
    if (!(nStyle & SBPS_NOBORDERS))
        DrawStatusBarPaneBorder(pDC, rc, bLast);
    if (!(nStyle & SBPS_DISABLED)) {
        rc.DeflateRect(2, 1);
        const int nOldMode = pDC->SetBkMode(TRANSPARENT);
        const COLORREF clrOld = pDC->SetTextColor(m_clrStatusTextColor);
        pDC->DrawText(pBar->GetPaneText(nIndex), &rc, DT_SINGLELINE | DT_VCENTER);
        pDC->SetTextColor(clrOld);
        pDC->SetBkMode(nOldMode);
    }
}

void CXTPPaintManager::DrawStatusBarPaneBorder(CDC* pDC, CRect rc, BOOL)
{
    Draw3dRect(pDC, rc, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
}

void CXTPPaintManager::DrawStatusBarGripper(CDC* pDC, CRect rcClient)
{
    const int w = rcClient.Width(), h = rcClient.Height();
    for (int k = 0; k < 3; ++k) {
        Line(pDC, w - 4 - 4 * k + 1, h - 2, w - 1, h - 5 - 4 * k + 1, COLOR_BTNSHADOW);
        Line(pDC, w - 4 - 4 * k, h - 2, w - 1, h - 5 - 4 * k, COLOR_BTNSHADOW);
        Line(pDC, w - 5 - 4 * k, h - 2, w - 1, h - 6 - 4 * k, COLOR_BTNHIGHLIGHT);
    }
}

void CXTPPaintManager::FillDockBar(CDC* pDC, CWnd* pDockBar)
{
    CRect rc;
    pDockBar->GetClientRect(&rc);
    pDC->FillSolidRect(&rc, GetColor(COLOR_3DFACE));
}

void CXTPPaintManager::FillStatusBar(CDC* pDC, CStatusBar* pBar)
{
    CRect rc;
    pBar->GetClientRect(&rc);
    pDC->FillSolidRect(&rc, GetColor(COLOR_3DFACE));
}

CRect CXTPPaintManager::GetCommandBarBorders(CXTPCommandBar*)
{
    return CRect(2, 2, 2, 2);
}

void CXTPPaintManager::AnimatePopup(CDC* pDestDC, CDC* pSrcDC, CRect rc, int nType)
{
    const int nSteps = m_nAnimationSteps;
    if (nSteps < 1 || nType < xtpAnimateUnfold || nType > xtpAnimateFade)
        return;
    const int w = rc.Width(), h = rc.Height();
    const DWORD nDelay = static_cast<DWORD>(m_nAnimationTime / nSteps);

    if (nType == xtpAnimateUnfold || nType == xtpAnimateSlide) {
        for (int i = 1; i <= nSteps; ++i) {
            const int hi = h * i / nSteps;
            if (nType == xtpAnimateUnfold) {
                const int wi = w * i / nSteps;
                pDestDC->BitBlt(0, 0, wi, hi, pSrcDC, rc.right - wi, rc.bottom - hi, SRCCOPY);
            } else {
                pDestDC->BitBlt(0, 0, w, hi, pSrcDC, 0, h - hi, SRCCOPY);
            }
            ::Sleep(nDelay);
        }
        return;
    }

    // Fade: the old and the new image blended on DIB bits.
    CDC dc;
    if (!dc.CreateCompatibleDC(pDestDC))
        return;
    BYTE* pNew = nullptr;
    BYTE* pOld = nullptr;
    BYTE* pWork = nullptr;
    HBITMAP hNew = CreateBits32(pDestDC->m_hDC, w, h, &pNew);
    HBITMAP hOld = CreateBits32(pDestDC->m_hDC, w, h, &pOld);
    HBITMAP hWork = CreateBits32(pDestDC->m_hDC, w, h, &pWork);
    if (hNew && hOld && hWork) {
        HGDIOBJ hPrev = dc.SelectObject(hNew);
        dc.BitBlt(0, 0, w, h, pSrcDC, 0, 0, SRCCOPY);
        dc.SelectObject(hOld);
        dc.BitBlt(0, 0, w, h, pDestDC, 0, 0, SRCCOPY);
        dc.SelectObject(hWork);
        for (int k = 1; k < nSteps; ++k) {
            const DWORD dwStart = ::GetTickCount();
            ::GdiFlush();
            BlendBits(pWork, pOld, w, h, pNew, 255 * k / nSteps);
            pDestDC->BitBlt(rc.left, rc.top, w, h, &dc, 0, 0, SRCCOPY);
            const DWORD dwTaken = ::GetTickCount() - dwStart;
            if (dwTaken < nDelay)
                ::Sleep(nDelay - dwTaken);
        }
        dc.SelectObject(hPrev);
    }
    for (HBITMAP hBitmap : {hNew, hOld, hWork})
        if (hBitmap)
            ::DeleteObject(hBitmap);
}

void CXTPPaintManager::AnimateExpanding(CXTPCommandBar* pBar, CDC* pDestDC, CDC* pSrcDC)
{
    CRect rcClient;
    pBar->GetClientRect(&rcClient);
    const int nSteps = m_nAnimationSteps;
    const int cx = rcClient.Width();
    CXTPControls* pControls = pBar->GetControls();
    for (int s = 1; s <= nSteps; ++s) {
        const double f = static_cast<double>(s) / nSteps;
        int nDestY = 0, nBandTop = 0;
        BOOL bRunRarely = FALSE;
        auto drawBand = [&](int nBandBottom) {
            const int nBand = nBandBottom - nBandTop;
            const int nHeight = bRunRarely ? static_cast<int>(nBand * f) : nBand;
            pDestDC->StretchBlt(0, nDestY, cx, nHeight, pSrcDC, 0, nBandTop, cx, nBand, SRCCOPY);
            nDestY += nHeight;
            nBandTop = nBandBottom;
        };
        for (int i = 0; i < pControls->GetCount(); ++i) {
            CXTPControl* pControl = pControls->GetAt(i);
            if (pControl->GetHideFlags() != 0)
                continue;
            const BOOL bRarely = pControl->IsRarelyUsed();
            if (bRarely != bRunRarely) {
                drawBand(pControl->GetRect().top);
                bRunRarely = bRarely;
            }
        }
        drawBand(rcClient.bottom);
        ::Sleep(static_cast<DWORD>(m_nAnimationTime / nSteps));
    }
}
