#include "toolkit/commandbars/XTPOffice2003Theme.h"

#include "platform/mfc/WinApp.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/controls/XTDrawHelpers.h"

#include <algorithm>

namespace {

constexpr COLORREF kGlyphMask = RGB(0, 255, 0);

struct SchemeColors {
    COLORREF dockLight, dockDark, toolbarDark, toolbarLight, popupedLight, popupedDark, toolbarShadow, titleFill,
        expandDark, expandLight, expandedDark, expandedLight, ballDark, ballLight, paneBorder, standard53,
        standard56, shadow;
    COLORREF indexed[13];
};

// The indexes the scheme tables write, in table order.
const int kSchemeIndexes[13] = {38, 39, 40, 41, 43, 31, 32, 37, 50, 33, 36, 30, 47};

const SchemeColors kSchemes[3] = {
    // Blue.
    {RGB(158, 190, 245), RGB(196, 218, 250), RGB(129, 169, 226), RGB(221, 236, 254), RGB(227, 239, 255),
     RGB(147, 181, 231), RGB(59, 97, 156), RGB(42, 102, 201), RGB(0, 53, 145), RGB(117, 166, 241),
     RGB(121, 161, 220), RGB(203, 221, 246), RGB(129, 169, 226), RGB(227, 239, 254), RGB(211, 211, 211),
     RGB(203, 225, 252), RGB(189, 211, 247), RGB(22, 30, 54),
     {RGB(39, 65, 118), RGB(106, 140, 203), RGB(109, 150, 208), RGB(246, 246, 246), RGB(0, 45, 150),
      RGB(255, 238, 194), RGB(0, 0, 128), RGB(0, 0, 128), RGB(0, 0, 128), RGB(254, 128, 62), RGB(255, 192, 111),
      RGB(158, 190, 245), RGB(0, 0, 0)}},
    // Olive.
    {RGB(217, 217, 167), RGB(242, 241, 228), RGB(183, 198, 145), RGB(244, 247, 222), RGB(236, 240, 213),
     RGB(194, 206, 159), RGB(96, 128, 88), RGB(116, 134, 94), RGB(96, 119, 107), RGB(176, 194, 140),
     RGB(164, 180, 120), RGB(230, 230, 209), RGB(184, 198, 147), RGB(236, 240, 213), RGB(211, 211, 211),
     RGB(216, 227, 182), RGB(222, 227, 189), RGB(31, 34, 25),
     {RGB(81, 94, 51), RGB(96, 128, 88), RGB(159, 174, 122), RGB(244, 244, 238), RGB(117, 141, 94),
      RGB(255, 238, 194), RGB(63, 93, 56), RGB(63, 93, 56), RGB(63, 93, 56), RGB(254, 128, 62), RGB(255, 192, 111),
      RGB(217, 217, 167), RGB(0, 0, 0)}},
    // Silver.
    {RGB(215, 215, 229), RGB(243, 243, 247), RGB(153, 151, 181), RGB(243, 244, 250), RGB(233, 231, 241),
     RGB(186, 185, 205), RGB(124, 124, 148), RGB(122, 121, 153), RGB(118, 116, 146), RGB(179, 178, 200),
     RGB(133, 131, 162), RGB(215, 215, 226), RGB(176, 174, 197), RGB(232, 232, 241), RGB(236, 234, 218),
     RGB(214, 211, 231), RGB(214, 215, 231), RGB(36, 32, 41),
     {RGB(84, 84, 117), RGB(110, 109, 143), RGB(168, 167, 190), RGB(253, 250, 255), RGB(124, 124, 148),
      RGB(255, 238, 194), RGB(75, 75, 111), RGB(75, 75, 111), RGB(75, 75, 111), RGB(254, 128, 62), RGB(255, 192, 111),
      RGB(215, 215, 229), RGB(0, 0, 0)}},
};

BOOL IsVertical(int nPosition)
{
    return nPosition == xtpBarLeft || nPosition == xtpBarRight;
}

BOOL IsDocked(int nPosition)
{
    return nPosition >= xtpBarTop && nPosition <= xtpBarRight;
}

// The right dock bar carries one of these style bits.
constexpr DWORD kRightDockStyle = 0x4000 | 0x100;

BYTE Shade(BYTE dark, BYTE light, int w)
{
    return static_cast<BYTE>(dark - (static_cast<int>(dark) - light) * w / 255);
}

} // namespace

const BYTE CXTPOffice2003Theme::s_ballWeights[16][16] = {
    {255, 255, 255, 255, 234, 234, 234, 198, 198, 198, 198, 252, 255, 255, 255, 255},
    {255, 255, 255, 234, 252, 252, 234, 234, 198, 180, 144, 144, 198, 255, 255, 255},
    {255, 255, 234, 252, 252, 252, 234, 234, 198, 180, 144, 126, 108, 180, 255, 255},
    {255, 234, 252, 252, 252, 252, 234, 234, 198, 180, 144, 126, 108, 108, 198, 255},
    {252, 234, 252, 252, 252, 252, 234, 198, 198, 180, 144, 126, 108, 90, 90, 252},
    {234, 234, 234, 234, 234, 234, 234, 198, 180, 180, 144, 126, 108, 90, 72, 180},
    {198, 234, 234, 234, 234, 234, 198, 198, 180, 144, 126, 108, 90, 90, 72, 108},
    {180, 198, 198, 198, 198, 198, 180, 180, 144, 126, 126, 108, 90, 72, 72, 72},
    {180, 180, 180, 180, 180, 180, 144, 144, 126, 126, 108, 90, 90, 72, 54, 54},
    {180, 144, 144, 144, 144, 144, 144, 126, 126, 108, 108, 90, 72, 54, 36, 90},
    {198, 126, 126, 126, 126, 126, 126, 126, 108, 90, 72, 54, 54, 36, 36, 126},
    {252, 126, 108, 108, 108, 108, 108, 72, 72, 54, 54, 36, 36, 18, 18, 234},
    {255, 198, 90, 90, 90, 72, 72, 54, 54, 36, 36, 18, 18, 0, 108, 255},
    {255, 255, 144, 54, 54, 54, 36, 36, 18, 18, 18, 0, 0, 54, 255, 255},
    {255, 255, 255, 126, 36, 36, 18, 18, 18, 0, 0, 0, 72, 255, 255, 255},
    {255, 255, 255, 255, 234, 90, 36, 18, 0, 0, 54, 180, 255, 255, 255, 255},
};

CXTPOffice2003Theme::CXTPOffice2003Theme()
{
    m_iconsInfo.bUseFadedIcons = FALSE;
    m_iconsInfo.bIconsWithShadow = FALSE;
    RefreshMetrics();
}

CXTPOffice2003Theme::~CXTPOffice2003Theme()
{
    m_ilGlyphs.DeleteImageList();
    m_themeStatus.CloseThemeData();
}

void CXTPOffice2003Theme::RefreshMetrics()
{
    CXTPOfficeXPTheme::RefreshMetrics();
    CWnd* pMainWnd = AfxGetMainWnd();
    m_themeStatus.OpenThemeData(pMainWnd ? pMainWnd->GetSafeHwnd() : nullptr, L"STATUS");

    auto c = [this](int i) { return GetColor(i); };
    m_clrExpandedDark = c(42);
    m_clrExpandedLight = XTBlendColors(c(COLOR_WINDOW), m_clrExpandedDark, 550);
    m_clrToolbarLight = m_clrDockBarDark = XTBlendColors(c(COLOR_3DFACE), c(COLOR_WINDOW), 205);
    m_clrToolbarDark = m_clrDockBarLight = c(COLOR_3DFACE);
    m_clrToolbarShadow = c(30);
    m_clrFloatingGripper = c(COLOR_BTNSHADOW);
    m_clrPopupedLight = c(41);
    m_clrPopupedDark = XTBlendColors(c(COLOR_WINDOW), c(COLOR_3DFACE), 550);
    m_clrExpandDark = c(COLOR_BTNSHADOW);
    m_clrExpandLight = XTBlendColors(c(51), c(COLOR_BTNSHADOW), 51);
    m_bLunaTheme = FALSE;
    m_clrBallLight = c(41);
    m_clrBallDark = XTBlendColors(c(COLOR_WINDOW), c(COLOR_3DFACE), 550);
    m_clrStatusPaneBorder = XTBlendColors(c(COLOR_3DFACE), c(COLOR_WINDOW), 70);

    const int nScheme = GetCurrentSystemTheme();
    if (nScheme >= xtLunaBlue && nScheme <= xtLunaSilver) {
        const SchemeColors& s = kSchemes[nScheme - 1];
        m_clrDockBarLight = s.dockLight;
        m_clrDockBarDark = s.dockDark;
        m_clrToolbarDark = s.toolbarDark;
        m_clrToolbarLight = s.toolbarLight;
        m_clrPopupedLight = s.popupedLight;
        m_clrPopupedDark = s.popupedDark;
        m_clrToolbarShadow = s.toolbarShadow;
        m_clrFloatingGripper = s.titleFill;
        m_clrExpandDark = s.expandDark;
        m_clrExpandLight = s.expandLight;
        m_clrExpandedDark = s.expandedDark;
        m_clrExpandedLight = s.expandedLight;
        m_clrBallDark = s.ballDark;
        m_clrBallLight = s.ballLight;
        m_clrStatusPaneBorder = s.paneBorder;
        m_arColor[53].clrStandard = s.standard53;
        m_arColor[56].clrStandard = s.standard56;
        SetColors(13, kSchemeIndexes, s.indexed);
        m_clrShadowColor = s.shadow;
        m_bLunaTheme = TRUE;
    }
    CreateGlyphs();
}

void CXTPOffice2003Theme::CreateGlyphs()
{
    m_ilGlyphs.DeleteImageList();
    CDC dcScreen;
    dcScreen.Attach(::GetDC(nullptr));
    CDC dc;
    dc.CreateCompatibleDC(&dcScreen);
    CBitmap bmp;
    bmp.CreateCompatibleBitmap(&dcScreen, 16, 16);
    CBitmap* pOld = dc.SelectObject(&bmp);
    const COLORREF dark = m_clrBallDark, light = m_clrBallLight;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const int w = s_ballWeights[y][x];
            const COLORREF clr = w == 255 ? kGlyphMask
                                          : RGB(Shade(GetRValue(dark), GetRValue(light), w),
                                                Shade(GetGValue(dark), GetGValue(light), w),
                                                Shade(GetBValue(dark), GetBValue(light), w));
            dc.SetPixel(x, y, clr);
        }
    }
    dc.SelectObject(pOld);
    ::ReleaseDC(nullptr, dcScreen.Detach());
    m_ilGlyphs.Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 0);
    m_ilGlyphs.Add(&bmp, kGlyphMask);
}

void CXTPOffice2003Theme::FillIconColumn(CDC* pDC, int x, int y, int cx, int cy, BOOL bExpandedOnly)
{
    const CRect rc(x, y, x + cx, y + cy);
    if (bExpandedOnly)
        GradientFill(pDC, &rc, m_clrExpandedLight, m_clrExpandedDark, TRUE);
    else
        GradientFill(pDC, &rc, m_clrToolbarLight, m_clrToolbarDark, TRUE);
}

// Bars ------------------------------------------------------------------------

void CXTPOffice2003Theme::FillDockGradient(CDC* pDC, CRect rc)
{
    rc.right = rc.left + std::max(static_cast<int>(rc.Width()), GetSystemMetrics(SM_CXFULLSCREEN) / 2);
    GradientFill(pDC, &rc, m_clrDockBarLight, m_clrDockBarDark, TRUE);
}

void CXTPOffice2003Theme::FillDockBar(CDC* pDC, CWnd* pDockBar)
{
    CRect rc;
    pDockBar->GetClientRect(&rc);
    if (pDockBar->GetStyle() & kRightDockStyle)
        pDC->FillSolidRect(&rc, m_clrDockBarDark);
    else
        FillDockGradient(pDC, rc);
}

void CXTPOffice2003Theme::FillBehindToolbar(CDC* pDC, CXTPCommandBar* pBar)
{
    CWnd* pParent = pBar->GetParent();
    if (!pParent || !pParent->GetSafeHwnd())
        return;
    CRect rcParent;
    pParent->GetWindowRect(&rcParent);
    pBar->ScreenToClient(&rcParent);
    rcParent.right = rcParent.left + GetSystemMetrics(SM_CXFULLSCREEN);
    GradientFill(pDC, &rcParent, m_clrDockBarLight, m_clrDockBarDark, TRUE);
}

void CXTPOffice2003Theme::FillCommandBar(CDC* pDC, CXTPCommandBar* pBar)
{
    CRect rc;
    pBar->GetClientRect(&rc);
    const int w = rc.Width(), h = rc.Height();
    const int nPosition = pBar->GetPosition();

    if (pBar->GetType() == xtpBarTypeMenuBar) {
        FillDockGradient(pDC, rc);
        if (nPosition == xtpBarFloating) {
            Draw3dRect(pDC, rc, 43, 43);
            rc.DeflateRect(1, 1);
            Draw3dRect(pDC, rc, 43, 43);
            const COLORREF clr = GetColor(43);
            pDC->SetPixel(2, 2, clr);
            pDC->SetPixel(rc.right - 2, 2, clr);
            pDC->SetPixel(2, rc.bottom - 2, clr);
            pDC->SetPixel(rc.right - 2, rc.bottom - 2, clr);
        }
        return;
    }
    if (nPosition == xtpBarPopup) {
        FillPopupBar(pDC, pBar, 41);
        return;
    }
    if (nPosition == xtpBarFloating) {
        CXTPOfficeXPTheme::FillCommandBar(pDC, pBar);
        return;
    }
    if (!IsDocked(nPosition))
        return;

    pDC->FillSolidRect(&rc, GetColor(COLOR_3DFACE));
    const BOOL bVert = IsVertical(nPosition);
    CWnd* pParent = pBar->GetParent();
    if (bVert && pParent && pParent->GetSafeHwnd() && (pParent->GetStyle() & kRightDockStyle))
        pDC->FillSolidRect(&rc, m_clrDockBarDark);
    else
        FillBehindToolbar(pDC, pBar);

    // Rounded ends: the dock area shows through the corners.
    const CRect rcBody = bVert ? CRect(1, 3, w - 1, h) : CRect(3, 1, w, h - 1);
    if (bVert)
        pDC->ExcludeClipRect(0, 0, w, 3);
    else
        pDC->ExcludeClipRect(0, 0, 3, h);
    for (const CPoint pt : {CPoint(rcBody.left, rcBody.top), CPoint(rcBody.right - 1, rcBody.top),
                            CPoint(rcBody.left, rcBody.bottom - 1), CPoint(rcBody.right - 1, rcBody.bottom - 1)})
        pDC->ExcludeClipRect(pt.x, pt.y, pt.x + 1, pt.y + 1);

    CXTPControls* pControls = pBar->GetControls();
    const int nFirst = pControls ? pControls->GetNext(-1, 1, FALSE, TRUE, TRUE) : -1;
    CXTPControl* pFirst = nFirst >= 0 ? pBar->GetControl(nFirst) : nullptr;
    if (!bVert) {
        CRect rcGradient(0, 1, w, h);
        if (pFirst)
            rcGradient.bottom = pFirst->GetRowRect().bottom + 1;
        GradientFill(pDC, &rcGradient, m_clrToolbarLight, m_clrToolbarDark, FALSE);
        const int nBand = h - rcGradient.Height() - 2;
        if (nBand > 0)
            pDC->FillSolidRect(rcGradient.left, rcGradient.bottom, rcGradient.Width(), nBand, m_clrToolbarDark);
        pDC->FillSolidRect(5, h - 1, w - 7, 1, m_clrToolbarShadow);
    } else {
        CRect rcGradient(1, 0, w, h);
        if (pFirst)
            rcGradient.right = pFirst->GetRowRect().right + 1;
        GradientFill(pDC, &rcGradient, m_clrToolbarLight, m_clrToolbarDark, TRUE);
        pDC->FillSolidRect(w - 1, 5, 1, h - 7, m_clrToolbarShadow);
    }
    pDC->SelectClipRgn(nullptr);
}

CRect CXTPOffice2003Theme::GetCommandBarBorders(CXTPCommandBar* pBar)
{
    const int nPosition = pBar ? pBar->GetPosition() : xtpBarNone;
    if (nPosition == xtpBarTop || nPosition == xtpBarBottom)
        return CRect(4, 2, 2, 2);
    return CRect(2, 2, 2, 2);
}

// Button states ----------------------------------------------------------------

void CXTPOffice2003Theme::DrawControlBackground(CDC* pDC, CRect rc, BOOL bSelected, BOOL bPressed, BOOL bEnabled,
                                                BOOL bChecked, BOOL bPopuped, int nBarType, int nBarPosition)
{
    if (bPopuped) {
        GradientFill(pDC, &rc, m_clrPopupedLight, m_clrPopupedDark, FALSE);
        Draw3dRect(pDC, rc, 43, 43);
        return;
    }
    if (m_bLunaTheme && nBarType != xtpBarTypeMenuBar && IsDocked(nBarPosition)) {
        int nPen = -1;
        COLORREF clrFrom = 0, clrTo = 0;
        if (bEnabled) {
            if (bChecked && !bSelected && !bPressed) {
                nPen = 50;
                clrFrom = RGB(255, 213, 140);
                clrTo = RGB(255, 173, 85);
            } else if ((bChecked && bSelected && !bPressed) || bPressed == 2 || (bSelected && bPressed)) {
                nPen = 50;
                clrFrom = RGB(254, 142, 75);
                clrTo = RGB(255, 207, 139);
            } else if (bSelected || bPressed) {
                nPen = 32;
                clrFrom = RGB(255, 242, 200);
                clrTo = RGB(255, 212, 151);
            }
        } else if (bSelected == 2) {
            nPen = 32;
            clrFrom = RGB(255, 242, 200);
            clrTo = RGB(255, 212, 151);
        }
        if (nPen >= 0) {
            GradientFill(pDC, &rc, clrFrom, clrTo, IsVertical(nBarPosition));
            Draw3dRect(pDC, rc, nPen, nPen);
        }
        return;
    }
    CXTPOfficeXPTheme::DrawControlBackground(pDC, rc, bSelected, bPressed, bEnabled, bChecked, FALSE, nBarType,
                                             nBarPosition);
}

// Grippers and separators ------------------------------------------------------

CSize CXTPOffice2003Theme::DrawCommandBarGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw)
{
    if (pBar->IsDialogBar())
        return DrawDialogBarGripper(pDC, pBar, bDraw);
    CRect rcClient;
    pBar->GetClientRect(&rcClient);
    const int w = rcClient.Width(), h = rcClient.Height();
    const COLORREF clrDark = GetColor(38), clrLight = GetColor(COLOR_BTNHIGHLIGHT);
    switch (pBar->GetPosition()) {
    case xtpBarFloating:
        return DrawFloatingTitle(pDC, pBar, bDraw, m_clrFloatingGripper);
    case xtpBarTop:
    case xtpBarBottom:
        if (!bDraw)
            return CSize(6, 0);
        for (int y = 8; y - 3 < h - 8; y += 4) {
            pDC->FillSolidRect(5, y - 3, 2, 2, clrDark);
            pDC->FillSolidRect(6, y - 2, 2, 2, clrLight);
        }
        return CSize(0, 0);
    case xtpBarLeft:
    case xtpBarRight:
        if (!bDraw)
            return CSize(0, 9);
        for (int x = 8; x - 3 < w - 8; x += 4) {
            pDC->FillSolidRect(x - 3, 6, 2, 2, clrDark);
            pDC->FillSolidRect(x - 2, 7, 2, 2, clrLight);
        }
        return CSize(0, 0);
    default:
        return CSize(0, 0);
    }
}

CSize CXTPOffice2003Theme::DrawDialogBarGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw)
{
    const int nHeight = std::max(25, m_nTextHeight + 6);
    if (bDraw) {
        CRect rc;
        pBar->GetClientRect(&rc);
        rc.DeflateRect(3, 3);
        rc.bottom = std::min(static_cast<int>(rc.bottom), static_cast<int>(rc.top) + nHeight);
        GradientFill(pDC, &rc, m_clrToolbarLight, m_clrToolbarDark, FALSE);
        for (int y = rc.top + 4; y < rc.bottom - 5; y += 4) {
            pDC->FillSolidRect(6, y + 1, 2, 2, GetColor(COLOR_BTNHIGHLIGHT));
            pDC->FillSolidRect(5, y, 2, 2, GetColor(38));
        }
    }
    return CSize(8, nHeight);
}

CSize CXTPOffice2003Theme::DrawCommandBarSeparator(CDC* pDC, CXTPCommandBar* pBar, CXTPControl* pControl,
                                                   BOOL bDraw)
{
    const int nPosition = pBar->GetPosition();
    if (!bDraw || !IsDocked(nPosition) || pBar->GetType() == xtpBarTypePopup)
        return CXTPOfficeXPTheme::DrawCommandBarSeparator(pDC, pBar, pControl, bDraw);
    const CRect c = pControl->GetRect();
    const CRect r = pControl->GetRowRect();
    const BOOL bWrap = pControl->GetWrap();
    if (!IsVertical(nPosition)) {
        if (bWrap) {
            Line(pDC, r.left + 4, r.top - 4, r.right, r.top - 4, 39);
            Line(pDC, r.left + 5, r.top - 3, r.right, r.top - 3, COLOR_BTNHIGHLIGHT);
        } else {
            Line(pDC, c.left - 4, r.top + 4, c.left - 4, r.bottom - 4, 39);
            Line(pDC, c.left - 3, r.top + 5, c.left - 3, r.bottom - 3, COLOR_BTNHIGHLIGHT);
        }
    } else if (bWrap) {
        Line(pDC, r.right + 2, r.top + 4, r.right + 2, r.bottom, 39);
        Line(pDC, r.right + 3, r.top + 5, r.right + 3, r.bottom, COLOR_BTNHIGHLIGHT);
    } else {
        Line(pDC, r.left + 4, c.top - 4, r.right - 4, c.top - 4, 39);
        Line(pDC, r.left + 5, c.top - 3, r.right - 3, c.top - 3, COLOR_BTNHIGHLIGHT);
    }
    return CSize(0, 0);
}

CSize CXTPOffice2003Theme::DrawTearOffGripper(CDC* pDC, CRect rc, BOOL bSelected, BOOL bDraw)
{
    if (bDraw) {
        CRect rcStrip(1, 1, rc.right + 1, rc.bottom - rc.top + 1);
        pDC->FillSolidRect(&rcStrip, GetColor(41));
        rcStrip.DeflateRect(1, 1);
        if (bSelected)
            Rectangle(pDC, rcStrip, 32, 31);
        else
            pDC->FillSolidRect(&rcStrip, GetColor(30));
        const int nHalf = std::min(32, rc.Width() / 2 - 10);
        const int mid = rcStrip.left + rcStrip.Width() / 2;
        const int x0 = mid - nHalf, x1 = mid + nHalf;
        for (int x = x0 + 3; x - 3 < x1; x += 4) {
            pDC->FillSolidRect(x - 2, 5, 2, 2, GetColor(COLOR_BTNHIGHLIGHT));
            pDC->FillSolidRect(x - 3, 4, 2, 2, GetColor(38));
        }
    }
    return CSize(0, 9);
}

// Status bar ---------------------------------------------------------------------

void CXTPOffice2003Theme::DrawStatusBarPaneBorder(CDC* pDC, CRect rc, BOOL)
{
    Draw3dRect(pDC, rc, m_clrStatusPaneBorder, m_clrStatusPaneBorder);
}

void CXTPOffice2003Theme::DrawStatusBarGripper(CDC* pDC, CRect rcClient)
{
    if (m_themeStatus.IsAppThemed()) {
        const CRect rc(rcClient.right - 18, rcClient.top, rcClient.right, rcClient.bottom);
        m_themeStatus.DrawThemeBackground(pDC->GetSafeHdc(), 3, 0, &rc, nullptr);
        return;
    }
    const int w = rcClient.Width(), h = rcClient.Height();
    for (int k = 0; k < 3; ++k) {
        const int d = 5 * k;
        Line(pDC, w - d, h - 1, w, h - 1 - d, COLOR_BTNSHADOW);
        Line(pDC, w - 1 - d, h - 1, w, h - 2 - d, COLOR_BTNSHADOW);
        Line(pDC, w - 2 - d, h - 1, w, h - 3 - d, COLOR_BTNSHADOW);
        Line(pDC, w - 3 - d, h - 1, w, h - 4 - d, COLOR_BTNHIGHLIGHT);
    }
}

// The bars' own buttons ----------------------------------------------------------

CSize CXTPOffice2003Theme::DrawSpecialControl(CDC* pDC, int nKind, CXTPControl* pControl, CXTPCommandBar* pBar,
                                              BOOL bDraw, void* pParam)
{
    if (!pControl || (nKind != xtpButtonExpandToolbar && nKind != xtpButtonExpandMenu))
        return CXTPOfficeXPTheme::DrawSpecialControl(pDC, nKind, pControl, pBar, bDraw, pParam);

    const CRect rc = pControl->GetRect();
    if (nKind == xtpButtonExpandMenu) {
        if (bDraw) {
            DrawControlEntry(pDC, pControl);
            const int cx = rc.left + rc.Width() / 2;
            m_ilGlyphs.Draw(pDC, 0, CPoint(cx - 7, rc.top + 1), ILD_NORMAL);
            for (int dy : {0, 1, 4, 5}) {
                const int t = rc.top + dy;
                pDC->MoveTo(cx - 2, t + 5);
                pDC->LineTo(cx, t + 7);
                pDC->LineTo(cx + 3, t + 4);
            }
        }
        return CSize(0, 18);
    }

    const int nPosition = pBar ? pBar->GetPosition() : xtpBarTop;
    const BOOL bVert = IsVertical(nPosition) || nPosition == xtpBarPopup;
    if (!bDraw) {
        if (const CSize* pSize = static_cast<const CSize*>(pParam)) {
            if (bVert)
                pControl->SetRect(CRect(0, pSize->cy - 12, pSize->cx, pSize->cy));
            else
                pControl->SetRect(CRect(pSize->cx - 12, 1, pSize->cx, pSize->cy));
        }
        return CSize(0, 0);
    }
    const BOOL bHidden = pParam && *static_cast<const BOOL*>(pParam);
    const int l = rc.left, t = rc.top, r = rc.right, b = rc.bottom;
    // Rounded: the corners and the inner edge stay the toolbar's.
    if (!bVert) {
        pDC->ExcludeClipRect(r - 1, t, r, t + 1);
        pDC->ExcludeClipRect(r - 1, b - 1, r, b);
        pDC->ExcludeClipRect(l, t + 1, l + 1, b - 1);
    } else {
        pDC->ExcludeClipRect(l, b - 1, l + 1, b);
        pDC->ExcludeClipRect(r - 1, b - 1, r, b);
        pDC->ExcludeClipRect(l + 1, t, r - 1, t + 1);
    }
    const BOOL bPopuped = IsControlPopuped(pControl);
    const int nSelected = pControl->GetSelected();
    if (bPopuped) {
        if (m_bLunaTheme)
            GradientFill(pDC, &rc, RGB(254, 142, 75), RGB(255, 207, 139), bVert);
        else
            pDC->FillSolidRect(&rc, GetColor(36));
    } else if (nSelected) {
        if (m_bLunaTheme)
            GradientFill(pDC, &rc, RGB(255, 242, 200), RGB(255, 212, 151), bVert);
        else
            pDC->FillSolidRect(&rc, GetColor(31));
    } else {
        GradientFill(pDC, &rc, m_clrExpandLight, m_clrExpandDark, bVert);
    }

    for (int pass = 0; pass < 2; ++pass) {
        const int o = pass == 0 ? 1 : 0;
        const COLORREF clr = GetColor(pass == 0 ? COLOR_BTNHIGHLIGHT : (nSelected && !bPopuped ? 45 : 46));
        CXTPenSelector pen(pDC->m_hDC, clr);
        if (!bVert) {
            const int mx = l + rc.Width() / 2 + o;
            Line(pDC, mx - 2, b - 10 + o, mx + 3, b - 10 + o);
            Triangle(pDC, CPoint(mx - 2, b - 7 + o), CPoint(mx + 2, b - 7 + o), CPoint(mx, b - 5 + o), clr);
            if (bHidden)
                for (int x : {l + 3, l + 7})
                    Triangle(pDC, CPoint(x + o, t + 5 + o), CPoint(x + 1 + o, t + 6 + o), CPoint(x + o, t + 7 + o),
                             clr);
        } else {
            const int my = t + rc.Height() / 2 + o;
            Line(pDC, r - 10 + o, my - 2, r - 10 + o, my + 3);
            Triangle(pDC, CPoint(r - 5 + o, my), CPoint(r - 7 + o, my - 2), CPoint(r - 7 + o, my + 2), clr);
            if (bHidden)
                for (int y : {t + 3, t + 7})
                    Triangle(pDC, CPoint(l + 5 + o, y + o), CPoint(l + 6 + o, y + 1 + o), CPoint(l + 7 + o, y + o),
                             clr);
        }
    }
    pDC->SelectClipRgn(nullptr);
    return CSize(0, 0);
}

// The default theme -----------------------------------------------------------------

CXTPDefaultTheme::CXTPDefaultTheme()
{
    m_nSystemTheme = 0;
    RefreshMetrics();
}

void CXTPDefaultTheme::RefreshMetrics()
{
    CXTPOffice2003Theme::RefreshMetrics();
    switch (XTGetColorManager()->GetLunaTheme()) {
    case xtLunaBlue:
        m_clrToolbarDark = RGB(199, 198, 176);
        m_clrToolbarShadow = RGB(146, 146, 118);
        break;
    case xtLunaSilver:
        m_clrToolbarDark = RGB(173, 172, 196);
        m_clrToolbarLight = RGB(245, 245, 252);
        m_clrToolbarShadow = RGB(124, 124, 148);
        break;
    default:
        break;
    }
}
