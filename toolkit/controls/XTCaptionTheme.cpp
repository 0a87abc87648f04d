#include "toolkit/controls/XTCaptionTheme.h"

#include "platform/mfc/Dc.h"
#include "toolkit/controls/XTCaption.h"
#include "toolkit/controls/XTDrawHelpers.h"

#include <algorithm>

namespace {

COLORREF Color(int nIndex)
{
    return XTGetColorManager()->GetColor(nIndex);
}

BOOL IsTextButton(CXTCaption* pCaption)
{
    return pCaption && !(pCaption->GetCaptionStyle() & CPWS_EX_CLOSEBUTTON);
}

// In text-button mode the button shows the caption's text, never offset.
void DrawCaptionButtonText(CXTButtonTheme* pTheme, CXTCaption* pCaption, CDC* pDC, UINT nState, CRect rcItem,
                           CXTButton* pButton)
{
    if (!IsTextButton(pCaption)) {
        pTheme->CXTButtonTheme::DrawButtonText(pDC, nState, rcItem, pButton);
        return;
    }
    const CString& text = pCaption->GetCaptionText();
    if (text.IsEmpty())
        return;
    CXTFontSelector font(pDC, pTheme->GetFont(pButton));
    pDC->SetTextColor(pTheme->GetTextColor(nState, pButton));
    pDC->DrawText(text, &rcItem, XT_CAPTION_TEXT_FORMAT);
}

COLORREF CaptionButtonTextColor(UINT nState, CXTButton* pButton, COLORREF clrHot, COLORREF clrText)
{
    if (nState & ODS_DISABLED)
        return Color(COLOR_GRAYTEXT);
    if (pButton->IsHot() || CXTButtonTheme::IsPressedLook(nState, pButton))
        return clrHot;
    return clrText;
}

// The hot and pressed looks of the Office caption buttons; FALSE when the
// button is idle and the caller draws its own face.
BOOL DrawCaptionButtonHot(CDC* pDC, const CRect& rc, UINT nState, CXTButton* pButton)
{
    const BOOL pressed = CXTButtonTheme::IsPressedLook(nState, pButton);
    if (!pressed && !pButton->IsHot())
        return FALSE;
    pDC->FillSolidRect(rc, Color(pressed ? 33 : 31));
    pDC->Draw3dRect(rc, Color(32), Color(32));
    return TRUE;
}

} // namespace

IMPLEMENT_DYNCREATE(CXTCaptionThemeFactory, CXTThemeManagerStyleFactory)

CXTThemeManagerStyle* CXTCaptionThemeFactory::CreateTheme(int nTheme)
{
    CXTThemeManagerStyle* style = nullptr;
    if (nTheme == xtThemeOffice2003)
        style = new CXTCaptionThemeOffice2003(TRUE);
    else
        style = new CXTCaptionTheme();
    style->m_nTheme = nTheme;
    return style;
}

CXTCaptionTheme::CXTCaptionTheme()
{
    RefreshMetrics();
}

void CXTCaptionTheme::RefreshMetrics()
{
    m_clrShadow.SetStandardValue(Color(COLOR_BTNSHADOW));
    m_clrHighlight.SetStandardValue(Color(COLOR_BTNHIGHLIGHT));
}

void CXTCaptionTheme::DrawCaptionBackground(CDC* pDC, CXTCaption* pCaption, CRect rc)
{
    pDC->SetBkMode(TRANSPARENT);
    pDC->FillSolidRect(rc, pCaption->GetBorderColor());
    const DWORD style = pCaption->GetCaptionStyle();
    const int border = pCaption->GetBorder();
    if (style & CPWS_EX_GROOVE_EDGE) {
        pDC->Draw3dRect(rc, m_clrShadow, m_clrHighlight);
        rc.DeflateRect(1, 1);
        pDC->Draw3dRect(rc, m_clrHighlight, m_clrShadow);
        if (border == 0)
            rc.DeflateRect(1, 1);
    } else if (style & CPWS_EX_RAISED_EDGE) {
        pDC->Draw3dRect(rc, m_clrHighlight, m_clrShadow);
        if (border == 0)
            rc.DeflateRect(1, 1);
    }
    rc.DeflateRect(border, border);
    pDC->FillSolidRect(rc, pCaption->GetBackgroundColor());
}

void CXTCaptionTheme::DrawCaptionText(CDC* pDC, CXTCaption* pCaption)
{
    const CString& text = pCaption->GetCaptionText();
    if (text.IsEmpty())
        return;
    CXTFontSelector font(pDC, pCaption->GetFont());
    CRect rc = pCaption->GetTextRect();
    pDC->SetTextColor(pCaption->GetTextColor());
    pDC->DrawText(text, &rc, XT_CAPTION_TEXT_FORMAT);
}

void CXTCaptionTheme::DrawCaptionIcon(CDC* pDC, CXTCaption* pCaption, CRect rc)
{
    HICON icon = pCaption->GetCaptionIcon();
    if (!icon)
        return;
    const CSize size = pCaption->GetIconSize();
    const int border = pCaption->GetBorder();
    const int x = std::max(static_cast<int>(rc.right - border - size.cx - 2), border);
    const int y = (rc.Height() - size.cy) / 2;
    if (x + size.cx >= rc.right - border)
        return;
    ::DrawIconEx(pDC->m_hDC, x, y, icon, size.cx, size.cy, 0, nullptr, DI_NORMAL);
}

CXTButtonTheme* CXTCaptionTheme::CreateButtonTheme(CXTCaption* pCaption)
{
    if (GetThemeID() == xtThemeDefault)
        return new CXTCaptionButtonTheme(pCaption);
    return new CXTCaptionButtonThemeOfficeXP(pCaption);
}

CXTCaptionThemeOffice2003::CXTCaptionThemeOffice2003(BOOL bGradient) : m_bGradient(bGradient)
{
    m_nTheme = xtThemeOffice2003;
}

void CXTCaptionThemeOffice2003::DrawCaptionBackground(CDC* pDC, CXTCaption*, CRect rc)
{
    pDC->SetBkMode(TRANSPARENT);
    CXTColorManager* colors = XTGetColorManager();
    XTDrawHelper().GradientFill(pDC, rc, m_bGradient ? colors->m_grcGradient1 : colors->m_grcGradient4, FALSE);
    const COLORREF line = Color(54);
    if (m_bGradient)
        pDC->Draw3dRect(rc, line, line);
    else
        pDC->FillSolidRect(rc.left, rc.bottom - 1, rc.Width(), 1, line);
}

CXTButtonTheme* CXTCaptionThemeOffice2003::CreateButtonTheme(CXTCaption* pCaption)
{
    return new CXTCaptionButtonThemeOffice2003(pCaption, m_bGradient);
}

CXTCaptionButtonTheme::CXTCaptionButtonTheme(CXTCaption* pCaption) : m_pCaption(pCaption)
{
    m_bOffsetHiliteText = FALSE;
}

void CXTCaptionButtonTheme::DrawButtonText(CDC* pDC, UINT nState, CRect rcItem, CXTButton* pButton)
{
    DrawCaptionButtonText(this, m_pCaption, pDC, nState, rcItem, pButton);
}

template <class TBase>
CXTCaptionButtonThemeOfficeT<TBase>::CXTCaptionButtonThemeOfficeT(CXTCaption* pCaption) : m_pCaption(pCaption)
{
    this->m_bOffsetHiliteText = FALSE;
    this->m_bFadedIcon = FALSE;
    this->m_bShadowIcon = FALSE;
}

template <class TBase>
COLORREF CXTCaptionButtonThemeOfficeT<TBase>::GetTextColor(UINT nState, CXTButton* pButton)
{
    return CaptionButtonTextColor(nState, pButton, this->m_crHotText, this->m_crText);
}

template <class TBase>
void CXTCaptionButtonThemeOfficeT<TBase>::DrawButtonText(CDC* pDC, UINT nState, CRect rcItem, CXTButton* pButton)
{
    DrawCaptionButtonText(this, m_pCaption, pDC, nState, rcItem, pButton);
}

template class CXTCaptionButtonThemeOfficeT<CXTButtonThemeOfficeXP>;
template class CXTCaptionButtonThemeOfficeT<CXTButtonThemeOffice2003>;

CXTCaptionButtonThemeOfficeXP::CXTCaptionButtonThemeOfficeXP(CXTCaption* pCaption)
    : CXTCaptionButtonThemeOfficeT(pCaption)
{
}

void CXTCaptionButtonThemeOfficeXP::DrawFrame(DRAWITEMSTRUCT* lpDIS, CXTButton* pButton)
{
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    const CRect rc(lpDIS->rcItem);
    if (DrawCaptionButtonHot(pDC, rc, lpDIS->itemState, pButton))
        return;
    pDC->FillSolidRect(rc, m_crFace);
    if (m_bFramed)
        pDC->Draw3dRect(rc, m_crShadow, m_crShadow);
}

CXTCaptionButtonThemeOffice2003::CXTCaptionButtonThemeOffice2003(CXTCaption* pCaption, BOOL bGradient)
    : CXTCaptionButtonThemeOfficeT(pCaption), m_bGradient(bGradient)
{
}

void CXTCaptionButtonThemeOffice2003::DrawFrame(DRAWITEMSTRUCT* lpDIS, CXTButton* pButton)
{
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    const CRect rc(lpDIS->rcItem);
    if (DrawCaptionButtonHot(pDC, rc, lpDIS->itemState, pButton))
        return;
    CXTColorManager* colors = XTGetColorManager();
    XTDrawHelper().GradientFill(pDC, rc, m_bGradient ? colors->m_grcGradient1 : colors->m_grcGradient4, FALSE);
    if (m_bGradient)
        m_crText.SetCustomValue(Color(COLOR_WINDOW));
}
