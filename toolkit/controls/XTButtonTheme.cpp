#include "toolkit/controls/XTButtonTheme.h"

#include "platform/mfc/Dc.h"
#include "toolkit/commandbars/XTPImageManagerIcon.h"
#include "toolkit/controls/XTButton.h"
#include "toolkit/controls/XTDrawHelpers.h"

#include <algorithm>

namespace {
// Visual-style button part and states.
constexpr int kPushButtonPart = 1;
enum { kStateNormal = 1, kStateHot = 2, kStatePressed = 3, kStateDisabled = 4, kStateDefaulted = 5 };

COLORREF Color(int nIndex)
{
    return XTGetColorManager()->GetColor(nIndex);
}
} // namespace

IMPLEMENT_DYNCREATE(CXTButtonThemeFactory, CXTThemeManagerStyleFactory)

CXTThemeManagerStyle* CXTButtonThemeFactory::CreateTheme(int nTheme)
{
    CXTThemeManagerStyle* style = nullptr;
    if (nTheme == xtThemeOfficeXP)
        style = new CXTButtonThemeOfficeXP(FALSE);
    else if (nTheme == xtThemeOffice2003)
        style = new CXTButtonThemeOffice2003(FALSE);
    else
        style = new CXTButtonTheme();
    style->m_nTheme = nTheme;
    return style;
}

CXTButtonTheme::CXTButtonTheme()
{
    m_nTheme = xtThemeDefault;
}

CXTButtonTheme::~CXTButtonTheme() = default;

void CXTButtonTheme::RefreshMetrics()
{
    XTGetColorManager()->RefreshColors(FALSE);
    m_crFace.SetStandardValue(Color(COLOR_BTNFACE));
    m_crText.SetStandardValue(Color(COLOR_BTNTEXT));
    m_crGrayText.SetStandardValue(Color(COLOR_GRAYTEXT));
    m_crLight.SetStandardValue(Color(COLOR_BTNFACE));
    m_crShadow.SetStandardValue(Color(COLOR_BTNSHADOW));
    m_crHighlight.SetStandardValue(Color(COLOR_BTNHIGHLIGHT));
    m_crDarkShadow.SetStandardValue(Color(COLOR_3DDKSHADOW));
}

BOOL CXTButtonTheme::NeedsHover(CXTButton* pButton)
{
    return UseVisualStyles(pButton) || (pButton->GetXButtonStyle() & (BS_XT_FLAT | BS_XT_SEMIFLAT)) != 0;
}

BOOL CXTButtonTheme::UseVisualStyles(CXTButton* pButton)
{
    if (!(pButton->GetXButtonStyle() & BS_XT_WINXP_COMPAT))
        return FALSE;
    if (!m_themeButton.GetThemeHandle())
        m_themeButton.OpenThemeData(pButton->GetSafeHwnd(), L"BUTTON");
    if (!m_themeButton.IsThemingAvailable())
        return FALSE;
    return m_themeButton.GetThemeHandle() != nullptr;
}

CFont* CXTButtonTheme::GetFont(CXTButton* pButton)
{
    if (m_pFont && m_pFont->m_hObject)
        return m_pFont;
    return pButton->GetSafeHwnd() ? pButton->GetFont() : nullptr;
}

void CXTButtonTheme::SetFont(CFont* pFont)
{
    if (pFont && pFont->m_hObject)
        m_pFont = pFont;
}

void CXTButtonTheme::SetColors(COLORREF clrFace, COLORREF clrLight, COLORREF clrShadow, COLORREF clrText)
{
    m_crFace.SetCustomValue(clrFace);
    m_crLight.SetCustomValue(clrLight);
    m_crShadow.SetCustomValue(clrShadow);
    m_crText.SetCustomValue(clrText);
}

CString CXTButtonTheme::GetCaption(CXTButton* pButton) const
{
    return pButton->GetButtonText(TRUE);
}

CSize CXTButtonTheme::GetCaptionSize(CDC* pDC, CXTButton* pButton)
{
    const CString caption = GetCaption(pButton);
    if (caption.IsEmpty())
        return CSize(0, 0);
    CXTFontSelector font(pDC, GetFont(pButton));
    return pDC->GetTextExtent(caption);
}

BOOL CXTButtonTheme::IsPressedLook(UINT nState, CXTButton* pButton)
{
    return pButton->GetChecked() || (nState & ODS_SELECTED) != 0;
}

CPoint CXTButtonTheme::CalcOrigin(CSize size, CXTButton* pButton)
{
    CRect rc;
    pButton->GetClientRect(&rc);
    const BOOL twoRows = (pButton->GetXButtonStyle() & BS_XT_TWOROWS) != 0;
    const int x = twoRows ? std::max((rc.Width() - size.cx) / 2, 0) : pButton->GetBorderGap();
    const int y = std::max((rc.Height() - size.cy) / 2, 0);
    return CPoint(x, y);
}

CPoint CXTButtonTheme::CalcTextPosition(UINT, CRect rcItem, CSize sizeText, CXTButton* pButton)
{
    if (pButton->HasUserPositions())
        return pButton->GetTextPoint();
    const int g = pButton->GetBorderGap();
    const int d = pButton->GetImageGap();
    const CSize image = pButton->GetImageSize();
    const BOOL twoRows = (pButton->GetXButtonStyle() & BS_XT_TWOROWS) != 0;
    CPoint pt = CalcOrigin(sizeText, pButton);
    pt.x = g;
    if (twoRows)
        pt.y += d / 2 + image.cy / 2;
    const DWORD align = pButton->GetStyle() & BS_CENTER;
    if (align == BS_LEFT) {
        pt.x = twoRows ? g : g + image.cx + d;
    } else if (align == BS_RIGHT) {
        pt.x = rcItem.right - sizeText.cx - g;
    } else {
        const int x0 = twoRows ? g : g + image.cx;
        pt.x = x0 + (rcItem.right - sizeText.cx - x0 - g) / 2;
    }
    return pt;
}

COLORREF CXTButtonTheme::GetTextColor(UINT nState, CXTButton*)
{
    return (nState & ODS_DISABLED) ? m_crGrayText : m_crText;
}

void CXTButtonTheme::DrawButtonText(CDC* pDC, UINT nState, CRect rcItem, CXTButton* pButton)
{
    const CString caption = GetCaption(pButton);
    if (caption.IsEmpty())
        return;
    CXTFontSelector font(pDC, GetFont(pButton));
    const CSize size = pDC->GetTextExtent(caption);
    CPoint pt = CalcTextPosition(nState, rcItem, size, pButton);
    if (IsPressedLook(nState, pButton) && m_bOffsetHiliteText)
        pt.Offset(1, 1);
    pDC->SetTextColor(GetTextColor(nState, pButton));
    // The single "&" are gone; DST_PREFIXTEXT shows a doubled one as one.
    pDC->DrawState(pt, size, caption, DSS_NORMAL, TRUE, 0, static_cast<CBrush*>(nullptr));
}

CPoint CXTButtonTheme::CalcImagePosition(CDC* pDC, UINT, CRect rcItem, CXTButton* pButton)
{
    if (pButton->HasUserPositions())
        return pButton->GetImagePoint();
    const CSize image = pButton->GetImageSize();
    CPoint pt = CalcOrigin(image, pButton);
    CRect rc;
    pButton->GetClientRect(&rc);
    const DWORD style = pButton->GetStyle();
    const BOOL empty = GetCaption(pButton).IsEmpty();
    if (!(pButton->GetXButtonStyle() & BS_XT_TWOROWS)) {
        if (empty) {
            if ((style & BS_CENTER) == BS_CENTER && image.cx <= rc.Width())
                pt.x = (rc.Width() - image.cx) / 2;
            if ((style & BS_VCENTER) == BS_VCENTER && image.cy <= rc.Height())
                pt.y = (rc.Height() - image.cy) / 2;
        }
        return pt;
    }
    if (!empty)
        pt.y -= pButton->GetImageGap() / 2 + GetCaptionSize(pDC, pButton).cy / 2;
    const DWORD align = style & BS_CENTER;
    if (align == BS_RIGHT) {
        pt.x = rcItem.right - image.cx - pButton->GetBorderGap();
    } else if (align != BS_LEFT) {
        const int x = rcItem.left + (rc.Width() - image.cx) / 2;
        pt.x = x >= 0 ? x : rcItem.left;
    }
    return pt;
}

void CXTButtonTheme::DrawButtonImage(CDC* pDC, UINT nState, CRect rcItem, CXTButton* pButton)
{
    CXTPImageManagerIcon* icon = pButton->GetIconObject();
    if (!icon || !m_bShowImage)
        return;
    CPoint pt = CalcImagePosition(pDC, nState, rcItem, pButton);
    const BOOL pressed = IsPressedLook(nState, pButton);
    if (pressed)
        pt.Offset(1, 1);
    if (nState & ODS_DISABLED)
        icon->Draw(pDC, pt, icon->GetDisabledIcon());
    else if (!pButton->IsHot() && !pressed)
        icon->Draw(pDC, pt, icon->GetIcon());
    else
        icon->Draw(pDC, pt, icon->GetHotIcon());
}

void CXTButtonTheme::DrawButton(DRAWITEMSTRUCT* lpDIS, CXTButton* pButton)
{
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    if (!DrawVisualStyleBackground(lpDIS, pButton))
        DrawFrame(lpDIS, pButton);
    const int oldMode = pDC->SetBkMode(TRANSPARENT);
    const CRect rcItem(lpDIS->rcItem);
    DrawButtonText(pDC, lpDIS->itemState, rcItem, pButton);
    DrawButtonImage(pDC, lpDIS->itemState, rcItem, pButton);
    if ((pButton->GetXButtonStyle() & BS_XT_SHOWFOCUS) && (lpDIS->itemState & ODS_FOCUS))
        DrawFocus(pDC, lpDIS->itemState, rcItem, pButton);
    pDC->SetBkMode(oldMode);
}

BOOL CXTButtonTheme::DrawVisualStyleBackground(DRAWITEMSTRUCT* lpDIS, CXTButton* pButton)
{
    if (!UseVisualStyles(pButton))
        return FALSE;
    const UINT state = lpDIS->itemState;
    int stateId = kStateNormal;
    if (state & ODS_DISABLED)
        stateId = kStateDisabled;
    else if (IsPressedLook(state, pButton))
        stateId = kStatePressed;
    else if (pButton->IsHot())
        stateId = kStateHot;
    else if (state & ODS_FOCUS)
        stateId = kStateDefaulted;
    return m_themeButton.DrawThemeBackground(lpDIS->hDC, kPushButtonPart, stateId, &lpDIS->rcItem, nullptr) >= 0;
}

void CXTButtonTheme::DrawFrame(DRAWITEMSTRUCT* lpDIS, CXTButton* pButton)
{
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    CRect rc(lpDIS->rcItem);
    const BOOL pressed = IsPressedLook(lpDIS->itemState, pButton);
    const BOOL hot = pButton->IsHot();
    const DWORD xstyle = pButton->GetXButtonStyle();
    pDC->FillSolidRect(rc, m_crFace);
    if ((xstyle & BS_XT_HILITEPRESSED) && pressed)
        XTFillHalftoneRect(pDC, rc);
    if (xstyle & BS_XT_FLAT) {
        if (pressed)
            pDC->Draw3dRect(rc, m_crShadow, m_crHighlight);
        else if (hot)
            pDC->Draw3dRect(rc, m_crHighlight, m_crShadow);
    } else if (xstyle & BS_XT_SEMIFLAT) {
        if (pressed)
            pDC->Draw3dRect(rc, m_crShadow, m_crHighlight);
        else
            pDC->Draw3dRect(rc, m_crHighlight, m_crShadow);
    } else {
        if (pressed)
            pDC->Draw3dRect(rc, m_crDarkShadow, m_crHighlight);
        else
            pDC->Draw3dRect(rc, m_crHighlight, m_crDarkShadow);
        rc.DeflateRect(1, 1);
        if (pressed)
            pDC->Draw3dRect(rc, m_crShadow, m_crLight);
        else
            pDC->Draw3dRect(rc, m_crLight, m_crShadow);
    }
}

void CXTButtonTheme::DrawFocus(CDC* pDC, UINT, CRect rcItem, CXTButton* pButton)
{
    pDC->SetTextColor(m_crText);
    const int inset = UseVisualStyles(pButton) ? 4 : 2;
    rcItem.DeflateRect(inset, inset);
    pDC->DrawFocusRect(rcItem);
}

CXTButtonThemeOfficeXP::CXTButtonThemeOfficeXP(BOOL bFramed) : m_bFramed(bFramed)
{
    m_nTheme = xtThemeOfficeXP;
    m_bOffsetHiliteText = FALSE;
    RefreshMetrics();
}

void CXTButtonThemeOfficeXP::RefreshMetrics()
{
    CXTButtonTheme::RefreshMetrics();
    m_crFace.SetStandardValue(Color(m_bFramed ? 30 : COLOR_BTNFACE));
    m_crPushedFace.SetStandardValue(Color(33));
    m_crHotFace.SetStandardValue(Color(31));
    m_crShadow.SetStandardValue(Color(COLOR_BTNSHADOW));
    m_crLight.SetStandardValue(Color(32));
    m_crText.SetStandardValue(Color(46));
    m_crHotText.SetStandardValue(Color(45));
    m_crPushedText.SetStandardValue(Color(47));
    m_crCheckedFace.SetStandardValue(Color(36));
}

COLORREF CXTButtonThemeOfficeXP::GetTextColor(UINT nState, CXTButton* pButton)
{
    if (nState & ODS_DISABLED)
        return Color(COLOR_GRAYTEXT);
    if (pButton->IsHot())
        return m_crHotText;
    if (nState & ODS_SELECTED)
        return m_crPushedText;
    return m_crText;
}

void CXTButtonThemeOfficeXP::DrawButtonImage(CDC* pDC, UINT nState, CRect rcItem, CXTButton* pButton)
{
    CXTPImageManagerIcon* icon = pButton->GetIconObject();
    if (!icon || !m_bShowImage)
        return;
    const CPoint pt = CalcImagePosition(pDC, nState, rcItem, pButton);
    if (nState & ODS_DISABLED) {
        icon->Draw(pDC, pt, icon->GetDisabledIcon());
    } else if (pButton->IsHot()) {
        if (m_bShadowIcon) {
            icon->Draw(pDC, CPoint(pt.x + 1, pt.y + 1), icon->GetShadowIcon());
            icon->Draw(pDC, CPoint(pt.x - 1, pt.y - 1), icon->GetHotIcon());
        } else {
            icon->Draw(pDC, pt, icon->GetHotIcon());
        }
    } else if (nState & ODS_SELECTED) {
        icon->Draw(pDC, pt, icon->GetHotIcon());
    } else {
        icon->Draw(pDC, pt, m_bFadedIcon ? icon->GetFadedIcon() : icon->GetIcon());
    }
}

void CXTButtonThemeOfficeXP::DrawFrame(DRAWITEMSTRUCT* lpDIS, CXTButton* pButton)
{
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    const CRect rc(lpDIS->rcItem);
    const UINT state = lpDIS->itemState;
    const BOOL hot = pButton->IsHot();
    const BOOL pressed = IsPressedLook(state, pButton);
    if (!hot && !pressed) {
        pDC->FillSolidRect(rc, m_crFace);
        if (m_bFramed)
            pDC->Draw3dRect(rc, m_crShadow, m_crShadow);
        return;
    }
    COLORREF fill;
    if (hot && !pressed)
        fill = m_crHotFace;
    else if (state & ODS_SELECTED)
        fill = m_crPushedFace;
    else
        fill = hot ? m_crPushedFace : m_crCheckedFace;
    pDC->FillSolidRect(rc, fill);
    pDC->Draw3dRect(rc, m_crLight, m_crLight);
}

void CXTButtonThemeOfficeXP::DrawFocus(CDC* pDC, UINT nState, CRect rcItem, CXTButton* pButton)
{
    if (m_bFramed && !pButton->IsHot() && !(nState & ODS_SELECTED) &&
        !(pButton->GetXButtonStyle() & BS_XT_WINXP_COMPAT)) {
        const COLORREF clr = Color(COLOR_HIGHLIGHT);
        pDC->Draw3dRect(rcItem, clr, clr);
        rcItem.DeflateRect(1, 1);
        pDC->Draw3dRect(rcItem, clr, clr);
        return;
    }
    CXTButtonTheme::DrawFocus(pDC, nState, rcItem, pButton);
}

CXTButtonThemeOffice2003::CXTButtonThemeOffice2003(BOOL bFramed) : CXTButtonThemeOfficeXP(bFramed)
{
    m_nTheme = xtThemeOffice2003;
    m_bFadedIcon = FALSE;
    m_bShadowIcon = FALSE;
    m_bOffsetHiliteText = FALSE;
    RefreshMetrics();
}

void CXTButtonThemeOffice2003::RefreshMetrics()
{
    CXTButtonThemeOfficeXP::RefreshMetrics();
    m_crFace.SetStandardValue(Color(COLOR_BTNFACE));
    const XTColorScheme scheme = XTGetColorManager()->GetLunaTheme();
    if (scheme != xtLunaNone) {
        m_crHotFace.SetStandardValue(RGB(255, 238, 194));
        m_crPushedFace.SetStandardValue(RGB(254, 128, 62));
        m_crCheckedFace.SetStandardValue(RGB(255, 192, 111));
        m_crText.SetStandardValue(RGB(0, 0, 0));
        m_crHotText.SetStandardValue(RGB(0, 0, 0));
        m_crPushedText.SetStandardValue(RGB(0, 0, 0));
    }
    switch (scheme) {
    case xtLunaBlue:
        m_crFace.SetStandardValue(RGB(169, 199, 240));
        m_crShadow.SetStandardValue(RGB(127, 157, 185));
        m_crLight.SetStandardValue(RGB(0, 0, 128));
        break;
    case xtLunaOlive:
        m_crFace.SetStandardValue(RGB(197, 212, 159));
        m_crShadow.SetStandardValue(RGB(164, 185, 127));
        m_crLight.SetStandardValue(RGB(63, 93, 56));
        break;
    case xtLunaSilver:
        m_crFace.SetStandardValue(RGB(192, 192, 211));
        m_crShadow.SetStandardValue(RGB(165, 172, 178));
        m_crLight.SetStandardValue(RGB(75, 75, 11));
        break;
    default:
        break;
    }
    if (!m_bFramed)
        m_crFace.SetStandardValue(Color(COLOR_BTNFACE));
}

void CXTButtonThemeOffice2003::DrawButtonImage(CDC* pDC, UINT nState, CRect rcItem, CXTButton* pButton)
{
    CXTPImageManagerIcon* icon = pButton->GetIconObject();
    if (!icon || !m_bShowImage)
        return;
    const CPoint pt = CalcImagePosition(pDC, nState, rcItem, pButton);
    if (nState & ODS_DISABLED)
        icon->Draw(pDC, pt, icon->GetDisabledIcon());
    else if (nState & ODS_SELECTED)
        icon->Draw(pDC, pt, icon->GetHotIcon());
    else
        icon->Draw(pDC, pt, icon->GetIcon());
}
