#include "toolkit/controls/XTCaptionPopupWnd.h"

#include "platform/mfc/Exception.h"
#include "platform/mfc/ImageList.h"
#include "platform/mfc/Resource.h"
#include "platform/mfc/WinApp.h"
#include "platform/mfc/WndMessages.h"
#include "toolkit/commandbars/XTPResourceManager.h"
#include "toolkit/controls/XTColorManager.h"
#include "toolkit/res/ToolkitIds.h"

namespace {
constexpr char kClassName[] = "XTCaptionPopupWnd";
constexpr UINT_PTR kFocusTimer = 1;
constexpr UINT kFocusElapse = 10;
constexpr DWORD kPinButtonStyle = 0x10000F4B;
constexpr int kInnerCaptionHeight = 19;
constexpr int kPinWidth = 16;

void RegisterPopupClass()
{
    static const bool registered = [] {
        WNDCLASS wc{};
        HINSTANCE instance = AfxGetInstanceHandle();
        if (::GetClassInfoA(instance, kClassName, &wc))
            return true;
        wc = WNDCLASS{};
        wc.style = CS_VREDRAW | CS_HREDRAW;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = instance;
        wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
        wc.lpszClassName = kClassName;
        return AfxRegisterClass(&wc) != FALSE;
    }();
    if (!registered)
        AfxThrowResourceException();
}
} // namespace

IMPLEMENT_DYNAMIC(CXTCaptionPopupWnd, CWnd)

BEGIN_MESSAGE_MAP(CXTCaptionPopupWnd, CWnd)
    ON_WM_TIMER()
    ON_WM_PAINT()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CXTCaptionPopupWnd::CXTCaptionPopupWnd()
{
    RegisterPopupClass();
}

CXTCaptionPopupWnd::~CXTCaptionPopupWnd()
{
    if (m_hWnd)
        DestroyWindow();
    if (m_hIconOff)
        ::DestroyIcon(m_hIconOff);
    if (m_hIconOn)
        ::DestroyIcon(m_hIconOn);
}

BOOL CXTCaptionPopupWnd::Create(const CRect& rect, CXTCaption* pCaption, CWnd* pChild)
{
    if (!pCaption || !pCaption->GetSafeHwnd() || !pChild || !pChild->GetSafeHwnd())
        return FALSE;
    m_pParentWnd = pCaption;
    m_pChildWnd = pChild;
    if (!CreateEx(WS_EX_TOOLWINDOW, kClassName, nullptr, WS_POPUP | WS_VISIBLE | WS_DLGFRAME, rect, pCaption, 0))
        return FALSE;
    m_hWndChildParent = ::GetParent(pChild->GetSafeHwnd());
    pChild->SetParent(this);

    CString pinText;
    XTPGetResourceManager()->LoadString(&pinText, XT_IDS_CLICK_PIN);
    const CRect none(0, 0, 0, 0);
    if (!m_Caption.Create(this, pinText, 0, WS_CHILD | WS_VISIBLE, none))
        return FALSE;
    m_Caption.SetTheme(xtThemeDefault);
    if (!m_CaptionButton.Create(nullptr, kPinButtonStyle, none, this, XT_IDC_CAPTION_BUTTON))
        return FALSE;
    CImageList images;
    if (images.Create(XT_IDB_CAPTION_BUTTONS, 16, 1, RGB(255, 0, 255))) {
        m_hIconOff = images.ExtractIcon(0);
        m_hIconOn = images.ExtractIcon(1);
        m_CaptionButton.SetIcon(CSize(16, 15), m_hIconOff, m_hIconOn, FALSE);
    }
    if (XTGetThemeManager()->GetTheme() != xtThemeDefault)
        m_CaptionButton.SetXButtonStyle(BS_XT_FLAT, FALSE);
    SetTimer(kFocusTimer, kFocusElapse);
    return TRUE;
}

void CXTCaptionPopupWnd::RecalcLayout()
{
    if (!m_hWnd)
        return;
    CRect rc;
    GetClientRect(&rc);
    rc.DeflateRect(2, 2);
    CRect caption(rc.left, rc.top, rc.right, rc.top + kInnerCaptionHeight);
    if (m_Caption.GetSafeHwnd())
        m_Caption.MoveWindow(caption);
    if (m_CaptionButton.GetSafeHwnd()) {
        CRect pin(caption.right - kPinWidth, caption.top, caption.right, caption.bottom);
        pin.DeflateRect(0, 2);
        pin.OffsetRect(-2, 0);
        m_CaptionButton.MoveWindow(pin);
    }
    if (m_pChildWnd && m_pChildWnd->GetSafeHwnd())
        m_pChildWnd->MoveWindow(CRect(rc.left, caption.bottom, rc.right, rc.bottom));
}

void CXTCaptionPopupWnd::RestoreParent()
{
    if (m_pChildWnd && m_pChildWnd->GetSafeHwnd() && m_hWndChildParent && ::IsWindow(m_hWndChildParent))
        ::SetParent(m_pChildWnd->GetSafeHwnd(), m_hWndChildParent);
    m_hWndChildParent = nullptr;
}

void CXTCaptionPopupWnd::PostToCaption(UINT message)
{
    // The caption checks lParam: a request of a popup already gone does nothing.
    if (m_pParentWnd && m_pParentWnd->GetSafeHwnd())
        m_pParentWnd->PostMessage(message, 0, reinterpret_cast<LPARAM>(m_hWnd));
}

void CXTCaptionPopupWnd::CheckFocus()
{
    HWND focus = ::GetFocus();
    if (focus && (focus == m_hWnd || ::IsChild(m_hWnd, focus)))
        return;
    // One request is enough; the caption closes the popup when it reads it.
    KillTimer(kFocusTimer);
    PostToCaption(WM_CAPTION_POPUP_CLOSE);
}

void CXTCaptionPopupWnd::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kFocusTimer)
        CheckFocus();
    else
        Default();
}

BOOL CXTCaptionPopupWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == XT_IDC_CAPTION_BUTTON && reinterpret_cast<HWND>(lParam) == m_CaptionButton.GetSafeHwnd()) {
        if (HIWORD(wParam) == BN_CLICKED)
            PostToCaption(WM_CAPTION_POPUP_PIN);
        return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
}

void CXTCaptionPopupWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    CXTColorManager* colors = XTGetColorManager();
    dc.Draw3dRect(rc, colors->GetColor(COLOR_BTNSHADOW), colors->GetColor(COLOR_BTNHIGHLIGHT));
    if (m_Caption.GetSafeHwnd())
        m_Caption.Invalidate(FALSE);
}

void CXTCaptionPopupWnd::OnDestroy()
{
    RestoreParent();
    Default();
}
