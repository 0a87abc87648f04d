#include "toolkit/controls/XTCaption.h"

#include "platform/mfc/WndMessages.h"
#include "platform/win/SystemMetrics.h"
#include "toolkit/controls/XTCaptionPopupWnd.h"
#include "toolkit/controls/XTDrawHelpers.h"
#include "toolkit/controls/XTGlobalData.h"
#include "toolkit/controls/XTMemDC.h"
#include "toolkit/res/ToolkitIds.h"

#include <algorithm>

namespace {
constexpr int kCloseWidth = 16;
constexpr int kCloseHeight = 15;
constexpr DWORD kTextButtonStyle = 0xC4B;     // BS_OWNERDRAW, hidden until a child is set
constexpr DWORD kCloseButtonStyle = 0x50000F4B; // visible, owner-drawn, centred
constexpr COLORREF kImageMask = RGB(255, 0, 255);
} // namespace

IMPLEMENT_DYNAMIC(CXTCaptionButton, CXTButton)

DWORD CXTCaptionButton::SetXButtonStyle(DWORD dwxStyle, BOOL bRedraw)
{
    const DWORD old = m_dwxStyle;
    m_dwxStyle = dwxStyle;
    RefreshFromCaption();
    if (m_hWnd && bRedraw)
        Invalidate(FALSE);
    return old;
}

void CXTCaptionButton::SetCaptionColors(COLORREF clrFace, COLORREF clrText, COLORREF clrDarkShadow)
{
    CXTButtonTheme* theme = GetButtonTheme();
    if (!theme)
        return;
    theme->SetColorFace(clrFace);
    theme->SetColorText(clrText);
    theme->m_crDarkShadow.SetCustomValue(clrDarkShadow);
}

void CXTCaptionButton::RefreshFromCaption()
{
    auto* caption = m_hWnd ? dynamic_cast<CXTCaption*>(GetParent()) : nullptr;
    if (!caption)
        return;
    SetCaptionColors(caption->GetBackgroundColor(), caption->GetTextColor(),
                     XTGetColorManager()->GetColor(COLOR_3DDKSHADOW));
    SendMessage(WM_SETFONT, static_cast<WPARAM>(caption->SendMessage(WM_GETFONT)), TRUE);
}

IMPLEMENT_DYNAMIC(CXTCaption, CStatic)

BEGIN_MESSAGE_MAP(CXTCaption, CStatic)
    ON_WM_PAINT()
    ON_WM_SIZE()
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_SYSCOLORCHANGE()
    ON_MESSAGE(WM_CAPTION_POPUP_PIN, OnPopupPin)
    ON_MESSAGE(WM_CAPTION_POPUP_CLOSE, OnPopupClose)
END_MESSAGE_MAP()

CXTCaption::CXTCaption()
    : CXTThemeManagerStyleHost(RUNTIME_CLASS(CXTCaptionThemeFactory)),
      m_clrBorder(::GetSysColor(COLOR_BTNFACE)),
      m_clrBackground(::GetSysColor(COLOR_BTNFACE)),
      m_clrFont(::GetSysColor(COLOR_BTNTEXT))
{
    CXTGlobalData* data = XTGetGlobalData();
    m_sizeIcon = CSize(std::min(data->cxSmIcon, 16), std::min(data->cySmIcon, 16));
}

CXTCaption::~CXTCaption()
{
    DestroyPopup();
}

BOOL CXTCaption::Create(CWnd* pParent, LPCTSTR lpszCaption, DWORD dwCaptionStyle, DWORD dwStyle, const CRect& rect,
                        UINT nID)
{
    if (!CStatic::Create(nullptr, dwStyle | WS_CLIPCHILDREN, rect, pParent, nID))
        return FALSE;
    SetFont(&XTGetGlobalData()->font);
    m_dwExStyle = dwCaptionStyle & 7;
    if (dwCaptionStyle & ~7u)
        ModifyStyleEx(0, dwCaptionStyle & ~7u);
    m_strWindowText = lpszCaption ? lpszCaption : "";
    SetWindowText(m_strWindowText);

    const CRect none(0, 0, 0, 0);
    if (m_dwExStyle & CPWS_EX_CLOSEBUTTON) {
        if (!m_btnCaption.Create(nullptr, kCloseButtonStyle, none, this, XT_IDC_CAPTION_BUTTON))
            return FALSE;
        if (m_ImageList.GetSafeHandle() || m_ImageList.Create(XT_IDB_CAPTION_BUTTONS, 16, 1, kImageMask)) {
            if (HICON icon = m_ImageList.ExtractIcon(2)) {
                m_btnCaption.SetIcon(CSize(kCloseWidth, kCloseHeight), icon, nullptr, FALSE);
                ::DestroyIcon(icon);
            }
        }
    } else if (!m_btnCaption.Create(m_strWindowText, kTextButtonStyle, none, this, XT_IDC_CAPTION_BUTTON)) {
        return FALSE;
    }
    OnThemeChanged();
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return TRUE;
}

void CXTCaption::OnThemeChanged()
{
    CXTCaptionTheme* theme = GetCaptionTheme();
    if (theme && m_btnCaption.GetSafeHwnd()) {
        m_btnCaption.SetTheme(theme->CreateButtonTheme(this));
        m_btnCaption.RefreshFromCaption();
    }
    if (m_hWnd)
        Invalidate(FALSE);
}

void CXTCaption::SetCaptionColors(COLORREF clrBorder, COLORREF clrBackground, COLORREF clrText)
{
    m_clrBorder = clrBorder;
    m_clrBackground = clrBackground;
    m_clrFont = clrText;
    m_bUserColors = TRUE;
    if (m_btnCaption.GetSafeHwnd())
        m_btnCaption.SetCaptionColors(clrBackground, clrText, ::GetSysColor(COLOR_3DDKSHADOW));
}

void CXTCaption::ModifyCaptionStyle(int nBorder, CFont* pFont, LPCTSTR lpszCaption, HICON hIcon)
{
    if (nBorder)
        m_nBorder = nBorder;
    if (pFont) {
        SetFont(pFont, TRUE);
        if (m_btnCaption.GetSafeHwnd())
            m_btnCaption.SetFont(pFont);
    }
    if (lpszCaption)
        m_strWindowText = lpszCaption;
    if (hIcon)
        m_hIcon = hIcon;
    if (m_hWnd)
        Invalidate();
}

void CXTCaption::UpdateCaption(LPCTSTR lpszCaption, HICON hIcon)
{
    if (!m_hWnd)
        return;
    CWindowDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    DrawCaptionBack(&dc, rc);
    if (lpszCaption) {
        m_strWindowText = lpszCaption;
        UpdateCaptionText(&dc);
    }
    if (hIcon) {
        m_hIcon = hIcon;
        DrawCaptionIcon(&dc, rc);
    }
}

void CXTCaption::UpdateCaptionText(CDC* pDC)
{
    if (m_btnCaption.GetSafeHwnd()) {
        if (!(m_dwExStyle & CPWS_EX_CLOSEBUTTON))
            m_btnCaption.SetWindowText(m_strWindowText);
        MoveButton();
    }
    DrawCaptionText(pDC);
}

CRect CXTCaption::GetTextRect()
{
    CRect rc(0, 0, 0, 0);
    if (m_strWindowText.IsEmpty() || !m_hWnd)
        return rc;
    CClientDC dc(this);
    CXTFontSelector font(&dc, GetFont());
    TEXTMETRICA tm{};
    dc.GetTextMetrics(&tm);
    const CSize text = dc.GetTextExtent(m_strWindowText);
    CRect client;
    GetClientRect(&client);
    const int room = (m_hIcon ? client.Width() - 18 : client.Width()) - client.left;
    const int width = std::min(room, static_cast<int>(text.cx + tm.tmAveCharWidth + 12));
    rc.left = m_nBorder;
    rc.top = m_nBorder;
    rc.bottom = client.Height() - m_nBorder;
    rc.right = rc.left + width;
    return rc;
}

CRect CXTCaption::GetButtonRect()
{
    if (!m_btnCaption.GetSafeHwnd())
        return CRect(0, 0, 0, 0);
    if (m_dwExStyle & CPWS_EX_CLOSEBUTTON) {
        CRect client;
        GetClientRect(&client);
        const int top = (client.Height() - kCloseHeight) / 2;
        return CRect(client.right - 2 - kCloseWidth, top, client.right - 2, top + kCloseHeight);
    }
    return GetTextRect();
}

void CXTCaption::DrawCaptionBack(CDC* pDC, CRect& rc)
{
    if (CXTCaptionTheme* theme = GetCaptionTheme())
        theme->DrawCaptionBackground(pDC, this, rc);
}

void CXTCaption::DrawCaptionText(CDC* pDC)
{
    if (CXTCaptionTheme* theme = GetCaptionTheme())
        theme->DrawCaptionText(pDC, this);
}

void CXTCaption::DrawCaptionIcon(CDC* pDC, CRect& rc)
{
    if (CXTCaptionTheme* theme = GetCaptionTheme())
        theme->DrawCaptionIcon(pDC, this, rc);
}

void CXTCaption::MoveButton()
{
    if (m_btnCaption.GetSafeHwnd())
        m_btnCaption.MoveWindow(GetButtonRect());
}

void CXTCaption::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    if (m_btnCaption.GetSafeHwnd() && m_btnCaption.IsWindowVisible()) {
        CRect button;
        m_btnCaption.GetWindowRect(&button);
        ScreenToClient(&button);
        dc.ExcludeClipRect(&button);
    }
    CXTMemDC memDC(&dc, rc, ::GetSysColor(COLOR_BTNFACE));
    DrawCaptionBack(&memDC, rc);
    DrawCaptionText(&memDC);
    DrawCaptionIcon(&memDC, rc);
}

void CXTCaption::OnSize(UINT, int, int)
{
    Default();
    if (m_hIcon)
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
}

void CXTCaption::OnWindowPosChanged(WINDOWPOS*)
{
    Default();
    MoveButton();
}

void CXTCaption::OnSysColorChange()
{
    Default();
    if (m_bUserColors)
        return;
    m_clrBorder = ::GetSysColor(COLOR_BTNFACE);
    m_clrBackground = ::GetSysColor(COLOR_BTNFACE);
    m_clrFont = ::GetSysColor(COLOR_BTNTEXT);
    if (m_btnCaption.GetSafeHwnd())
        m_btnCaption.SetCaptionColors(m_clrBackground, m_clrFont, ::GetSysColor(COLOR_3DDKSHADOW));
}

BOOL CXTCaption::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) != XT_IDC_CAPTION_BUTTON || reinterpret_cast<HWND>(lParam) != m_btnCaption.GetSafeHwnd())
        return CStatic::OnCommand(wParam, lParam);
    if (HIWORD(wParam) != BN_CLICKED)
        return TRUE;
    if (m_dwExStyle & CPWS_EX_CLOSEBUTTON) {
        if (CWnd* owner = GetOwner())
            owner->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), 0), reinterpret_cast<LPARAM>(m_hWnd));
    } else {
        ShowPopupWindow();
    }
    return TRUE;
}

void CXTCaption::SetChildWindow(CWnd* pChild, CWnd* pNotify)
{
    m_pChildWnd = pChild;
    m_pParentView = pChild ? pChild->GetParent() : nullptr;
    m_pSplitterWnd = m_pParentView ? m_pParentView->GetParent() : nullptr;
    if (pChild)
        pChild->GetClientRect(&m_rcChild);
    if (m_pParentView) {
        m_pParentView->GetClientRect(&m_rcParent);
        CRect child;
        pChild->GetWindowRect(&child);
        m_nOffset = m_rcParent.Height() - child.Height();
        m_rcParent.InflateRect(2 * ::GetSystemMetrics(SM_CXEDGE), 2 * ::GetSystemMetrics(SM_CYEDGE));
    }
    if (m_pSplitterWnd)
        m_pSplitterWnd->GetClientRect(&m_rcSplitter);
    SetOwner(pNotify);
    if (m_btnCaption.GetSafeHwnd()) {
        m_btnCaption.ShowWindow(SW_SHOW);
        if (!(m_dwExStyle & CPWS_EX_CLOSEBUTTON))
            m_btnCaption.SetWindowText(m_strWindowText);
        MoveButton();
        m_btnCaption.Invalidate(FALSE);
    }
}

BOOL CXTCaption::ShowPopupWindow()
{
    if (m_pPopupWnd && m_pPopupWnd->GetSafeHwnd() && m_pPopupWnd->IsWindowVisible())
        return TRUE;
    if (!m_pPopupWnd) {
        m_pPopupWnd = new CXTCaptionPopupWnd;
        if (!m_pPopupWnd->Create(CRect(0, 0, 0, 0), this, m_pChildWnd)) {
            DestroyPopup();
            return FALSE;
        }
    }
    if (!m_pParentView || !::IsWindow(m_pParentView->GetSafeHwnd()) || !m_pSplitterWnd ||
        !::IsWindow(m_pSplitterWnd->GetSafeHwnd()))
        return FALSE;
    CRect rc = m_rcParent;
    m_pParentView->ClientToScreen(&rc);
    CRect splitter;
    m_pSplitterWnd->GetClientRect(&splitter);
    rc.bottom += splitter.Height() - m_rcSplitter.Height();
    m_pPopupWnd->MoveWindow(rc);
    m_pPopupWnd->ShowWindow(SW_SHOW);
    m_pPopupWnd->RecalcLayout();
    m_btnCaption.SetState(TRUE);
    return TRUE;
}

void CXTCaption::DestroyPopup()
{
    CXTCaptionPopupWnd* popup = m_pPopupWnd;
    m_pPopupWnd = nullptr;
    if (!popup)
        return;
    // The pane goes home before its holder dies, so it is never caught in
    // the popup's destruction.
    popup->RestoreParent();
    if (popup->GetSafeHwnd())
        popup->DestroyWindow();
    delete popup;
}

void CXTCaption::KillChildWindow()
{
    if (m_btnCaption.GetSafeHwnd()) {
        m_btnCaption.ShowWindow(SW_HIDE);
        m_btnCaption.SetState(FALSE);
    }
    DestroyPopup();
}

void CXTCaption::NotifyOwner(UINT message)
{
    if (CWnd* owner = GetOwner())
        owner->SendMessage(message);
}

BOOL CXTCaption::IsFromPopup(LPARAM lParam) const
{
    return m_pPopupWnd && m_pPopupWnd->GetSafeHwnd() == reinterpret_cast<HWND>(lParam);
}

LRESULT CXTCaption::OnPopupPin(WPARAM, LPARAM lParam)
{
    if (!IsFromPopup(lParam))
        return 0;
    KillChildWindow();
    if (m_pChildWnd && m_pParentView && m_pChildWnd->GetSafeHwnd() && m_pParentView->GetSafeHwnd()) {
        CRect rc;
        m_pParentView->GetClientRect(&rc);
        rc.top += m_nOffset;
        m_pChildWnd->MoveWindow(rc);
    }
    NotifyOwner(WM_CAPTION_POPUP_PIN);
    Invalidate();
    return 0;
}

LRESULT CXTCaption::OnPopupClose(WPARAM, LPARAM lParam)
{
    if (!IsFromPopup(lParam))
        return 0;
    if (m_btnCaption.GetSafeHwnd())
        m_btnCaption.SetState(FALSE);
    DestroyPopup();
    NotifyOwner(WM_CAPTION_POPUP_CLOSE);
    Invalidate();
    return 0;
}
