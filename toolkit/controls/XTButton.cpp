#include "toolkit/controls/XTButton.h"

#include "platform/mfc/Resource.h"
#include "platform/mfc/WndMessages.h"
#include "platform/win/ResourceImage.h"
#include "toolkit/commandbars/XTPImageManagerIcon.h"
#include "toolkit/controls/XTDrawHelpers.h"
#include "toolkit/controls/XTGlobalData.h"
#include "toolkit/controls/XTMemDC.h"

namespace {
constexpr UINT_PTR kHoverTimer = 1;
constexpr UINT kHoverElapse = 10;

bool IsLeadByte(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x81 && b <= 0xFE;
}
} // namespace

IMPLEMENT_DYNAMIC(CXTButton, CButton)

BEGIN_MESSAGE_MAP(CXTButton, CButton)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

CXTButton::CXTButton() : CXTThemeManagerStyleHost(RUNTIME_CLASS(CXTButtonThemeFactory)) {}

CXTButton::~CXTButton()
{
    if (m_pIcon) {
        m_pIcon->ClearGeneratedIcons();
        delete m_pIcon;
        m_pIcon = nullptr;
    }
}

CString CXTButton::StripMnemonics(const CString& strText)
{
    CString result;
    const int length = strText.GetLength();
    for (int i = 0; i < length; ++i) {
        const char c = strText[i];
        if (IsLeadByte(c) && i + 1 < length) {
            result += c;
            result += strText[++i];
        } else if (c == '&' && i + 1 < length && strText[i + 1] == '&') {
            result += "&&";
            ++i;
        } else if (c != '&' || i + 1 == length) {
            result += c;
        }
    }
    return result;
}

CString CXTButton::GetButtonText(BOOL bStripMnemonic)
{
    CString text;
    if (m_hWnd)
        GetWindowText(text);
    return bStripMnemonic ? StripMnemonics(text) : text;
}

void CXTButton::Repaint()
{
    if (m_hWnd) {
        Invalidate(FALSE);
        UpdateWindow();
    }
}

void CXTButton::ReplaceIcon(CXTPImageManagerIcon* pIcon)
{
    delete m_pIcon;
    m_pIcon = pIcon;
}

BOOL CXTButton::SetIcon(CSize size, HICON hIcon, HICON hIconHot, BOOL bRedraw)
{
    if (size.cx <= 0 || size.cy <= 0)
        size = CXTPImageManagerIcon::GetExtent(hIcon);
    m_sizeImage = size;
    auto* icon = new CXTPImageManagerIcon(0, size.cx, size.cy);
    icon->SetIcon(CXTPImageManagerIconHandle(hIcon));
    if (hIconHot)
        icon->SetHotIcon(CXTPImageManagerIconHandle(hIconHot));
    ReplaceIcon(icon);
    if (m_hWnd && bRedraw)
        Repaint();
    return TRUE;
}

BOOL CXTButton::SetIcon(CSize size, UINT nID, UINT nHotID, BOOL bRedraw)
{
    ClearGeneratedIcons();
    auto load = [&](UINT id) {
        LPCTSTR name = MAKEINTRESOURCEA(id);
        return static_cast<HICON>(::LoadImageA(AfxFindResourceHandle(name, RT_GROUP_ICON), name, IMAGE_ICON,
                                               size.cx, size.cy, 0));
    };
    HICON hIcon = load(nID);
    if (!hIcon)
        return FALSE;
    HICON hHot = nullptr;
    if (nHotID) {
        hHot = load(nHotID);
        if (!hHot) {
            ::DestroyIcon(hIcon);
            return FALSE;
        }
    }
    SetIcon(size, hIcon, hHot, bRedraw);
    // The image object keeps copies.
    ::DestroyIcon(hIcon);
    if (hHot)
        ::DestroyIcon(hHot);
    return TRUE;
}

BOOL CXTButton::SetIcon(CSize size, WORD nID, WORD nHotID, BOOL bRedraw)
{
    return SetIcon(size, static_cast<UINT>(nID), static_cast<UINT>(nHotID), bRedraw);
}

BOOL CXTButton::SetBitmap(CSize size, UINT nID, BOOL bRedraw)
{
    ClearGeneratedIcons();
    if (!CXTPImageManagerIcon::IsAlphaBitmapResource(nID)) {
        LPCTSTR name = MAKEINTRESOURCEA(nID);
        HBITMAP hBitmap = ::LoadBitmapA(AfxFindResourceHandle(name, RT_BITMAP), name);
        if (!hBitmap)
            return FALSE;
        HICON hIcon = XTCreateIconFromBitmap(hBitmap);
        ::DeleteObject(hBitmap);
        if (!hIcon)
            return FALSE;
        SetIcon(size, hIcon, nullptr, bRedraw);
        ::DestroyIcon(hIcon);
        return TRUE;
    }
    HBITMAP hBitmap = CXTPImageManagerIcon::LoadAlphaBitmap(nID);
    if (!hBitmap)
        return FALSE;
    CXTPImageManagerIconHandle handle;
    handle.Attach(hBitmap);
    const CSize extent = handle.GetExtent();
    m_sizeImage = (size.cx <= 0 || size.cy <= 0) ? extent : size;
    auto* icon = new CXTPImageManagerIcon(0, extent.cx, extent.cy);
    icon->SetIcon(handle);
    ReplaceIcon(icon);
    if (m_hWnd && bRedraw)
        Repaint();
    return TRUE;
}

BOOL CXTButton::SetTextAndImagePos(CPoint ptImage, CPoint ptText, BOOL bRedraw)
{
    m_ptImage = ptImage;
    m_ptText = ptText;
    m_bUserPosition = TRUE;
    if (m_hWnd && bRedraw)
        Repaint();
    return TRUE;
}

DWORD CXTButton::SetXButtonStyle(DWORD dwxStyle, BOOL bRedraw)
{
    const DWORD old = m_dwxStyle;
    m_dwxStyle = dwxStyle;
    if (dwxStyle & BS_XT_XPFLAT)
        CXTThemeManagerStyleHost::SetTheme(new CXTButtonThemeOfficeXP(FALSE));
    else if (dwxStyle & BS_XT_FLAT)
        CXTThemeManagerStyleHost::SetTheme(new CXTButtonTheme());
    else
        CXTThemeManagerStyleHost::SetTheme(static_cast<CXTThemeManagerStyle*>(nullptr));
    if (m_hWnd && bRedraw)
        Repaint();
    return old;
}

void CXTButton::OnThemeChanged()
{
    if (m_hWnd)
        Invalidate(FALSE);
}

void CXTButton::SetColors(COLORREF clrFace, COLORREF clrLight, COLORREF clrShadow, COLORREF clrText)
{
    if (CXTButtonTheme* theme = GetButtonTheme())
        theme->SetColors(clrFace, clrLight, clrShadow, clrText);
}

void CXTButton::SetColorFace(COLORREF clr)
{
    if (CXTButtonTheme* theme = GetButtonTheme())
        theme->SetColorFace(clr);
}

COLORREF CXTButton::GetColorFace()
{
    if (CXTButtonTheme* theme = GetButtonTheme())
        return theme->GetColorFace();
    return XTGetGlobalData()->clr3DFace;
}

void CXTButton::SetColorLight(COLORREF clr)
{
    if (CXTButtonTheme* theme = GetButtonTheme())
        theme->SetColorLight(clr);
}

void CXTButton::SetColorShadow(COLORREF clr)
{
    if (CXTButtonTheme* theme = GetButtonTheme())
        theme->SetColorShadow(clr);
}

void CXTButton::SetColorText(COLORREF clr)
{
    if (CXTButtonTheme* theme = GetButtonTheme())
        theme->SetColorText(clr);
}

void CXTButton::SetXPColors(COLORREF clrBorder, COLORREF clrHotFace, COLORREF clrPushedFace)
{
    CXTButtonTheme* theme = GetButtonTheme();
    if (!theme || theme->GetThemeID() != xtThemeOfficeXP)
        return;
    auto* xp = dynamic_cast<CXTButtonThemeOfficeXP*>(theme);
    if (!xp)
        return;
    xp->m_crLight.SetCustomValue(clrBorder);
    xp->m_crShadow.SetCustomValue(clrBorder);
    xp->m_crHotFace.SetCustomValue(clrHotFace);
    xp->m_crPushedFace.SetCustomValue(clrPushedFace);
}

void CXTButton::ToggleShowImage()
{
    if (CXTButtonTheme* theme = GetButtonTheme()) {
        theme->SetShowImage(!theme->GetShowImage());
        Repaint();
    }
}

CFont* CXTButton::SetFont(CFont* pFont)
{
    CFont* old = GetFont();
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(pFont ? pFont->m_hObject : nullptr), TRUE);
    return old;
}

void CXTButton::ClearGeneratedIcons()
{
    if (m_pIcon)
        m_pIcon->ClearGeneratedIcons();
}

CSize CXTButton::GetImageSize()
{
    CXTButtonTheme* theme = GetButtonTheme();
    return theme && theme->GetShowImage() ? m_sizeImage : CSize(0, 0);
}

CPoint CXTButton::GetImagePoint()
{
    CXTButtonTheme* theme = GetButtonTheme();
    return theme && theme->GetShowImage() ? m_ptImage : CPoint(0, 0);
}

CPoint CXTButton::GetTextPoint()
{
    CXTButtonTheme* theme = GetButtonTheme();
    return theme && theme->GetShowImage() ? m_ptText : CPoint(0, 0);
}

void CXTButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (CXTButtonTheme* theme = GetButtonTheme())
        theme->DrawButton(lpDrawItemStruct, this);
}

void CXTButton::PreSubclassWindow()
{
    CButton::PreSubclassWindow();
    ModifyStyle(0, BS_OWNERDRAW);
}

int CXTButton::OnCreate(LPCREATESTRUCT)
{
    const int result = static_cast<int>(Default());
    ModifyStyle(0, BS_OWNERDRAW);
    return result;
}

void CXTButton::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    CXTMemDC memDC(&dc, rc, ::GetSysColor(COLOR_BTNFACE));
    // The native button paints the owner-drawn face through DrawItem.
    DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(memDC.IsValid() ? memDC.m_hDC : dc.m_hDC), 0);
}

void CXTButton::OnMouseMove(UINT, CPoint)
{
    CXTButtonTheme* theme = GetButtonTheme();
    if (theme && theme->NeedsHover(this)) {
        SetTimer(kHoverTimer, kHoverElapse);
        CheckHover();
    }
    Default();
}

void CXTButton::CheckHover()
{
    CPoint pt;
    ::GetCursorPos(&pt);
    CRect rc;
    GetWindowRect(&rc);
    if (rc.PtInRect(pt) && !m_bPushed) {
        CXTButtonTheme* theme = GetButtonTheme();
        if (!theme || !theme->NeedsHover(this) || m_bHoverDrawn)
            return;
        m_bHot = TRUE;
        Repaint();
        m_bHoverDrawn = TRUE;
        return;
    }
    KillTimer(kHoverTimer);
    m_bHot = FALSE;
    if (m_bHoverDrawn)
        Repaint();
    m_bHoverDrawn = FALSE;
}

void CXTButton::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kHoverTimer)
        CheckHover();
    else
        Default();
}

void CXTButton::OnLButtonDown(UINT, CPoint)
{
    if (!m_bPushed) {
        m_bPushed = TRUE;
        Repaint();
    }
    Default();
}

void CXTButton::OnLButtonUp(UINT, CPoint)
{
    if (m_bPushed) {
        m_bPushed = FALSE;
        Repaint();
    }
    Default();
}

void CXTButton::OnLButtonDblClk(UINT nFlags, CPoint)
{
    CPoint pt;
    ::GetCursorPos(&pt);
    ScreenToClient(&pt);
    SendMessage(WM_LBUTTONDOWN, nFlags, MAKELPARAM(pt.x, pt.y));
    Default();
}

void CXTButton::OnSysColorChange()
{
    Default();
    if (CXTButtonTheme* theme = GetButtonTheme())
        theme->RefreshMetrics();
}
