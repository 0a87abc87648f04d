#include "toolkit/commandbars/XTPShadowManager.h"

#include "platform/win/LayeredWindow.h"
#include "platform/win/OptionalLibrary.h"
#include "platform/win/SystemProfile.h"
#include "platform/win/WindowPos.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPShadowGeometry.h"
#include "toolkit/controls/XTColorManager.h"

#include <algorithm>
#include <cstring>

namespace {

typedef BOOL(WINAPI* PFNUPDATELAYEREDWINDOW)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*,
                                             DWORD);

PFNUPDATELAYEREDWINDOW UpdateLayeredWindowProc()
{
    return reinterpret_cast<PFNUPDATELAYEREDWINDOW>(
        reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleA("USER32"), "UpdateLayeredWindow")));
}

BOOL IsCustomizing(CXTPCommandBar* pBar)
{
    CXTPCommandBars* pCommandBars = pBar ? pBar->GetCommandBars() : nullptr;
    return pCommandBars && pCommandBars->IsCustomizeMode();
}

} // namespace

CXTPShadowManager* XTPShadowManager()
{
    static CXTPShadowManager s_manager;
    return &s_manager;
}

BOOL CXTPShadowManager::IsLayeredAvailable()
{
    return UpdateLayeredWindowProc() != nullptr;
}

void CXTPShadowManager::SetShadow(CXTPCommandBar* pPopup, const CRect& rcExclude)
{
    if (!pPopup || !::IsWindow(pPopup->m_hWnd) || IsCustomizing(pPopup))
        return;
    BOOL bDropShadow = FALSE;
    if (!::SystemParametersInfoA(SPI_GETDROPSHADOW, 0, &bDropShadow, 0))
        bDropShadow = FALSE;
    if (!XTPPopupShadowWanted(pPopup->GetPaintManager()->IsFlatStyle(), IsLayeredAvailable(), bDropShadow))
        return;
    CRect rcOwner;
    pPopup->GetWindowRect(&rcOwner);
    CreateShadow(TRUE, rcOwner, rcExclude, pPopup);
    CreateShadow(FALSE, rcOwner, rcExclude, pPopup);
}

void CXTPShadowManager::SetShadow(CXTPControl* pControl)
{
    CXTPCommandBar* pParent = pControl ? pControl->GetParent() : nullptr;
    CXTPCommandBar* pPopup = pControl ? pControl->GetCommandBar() : nullptr;
    if (!pParent || !pPopup || !::IsWindow(pParent->m_hWnd) || !::IsWindow(pPopup->m_hWnd) ||
        IsCustomizing(pParent) || !pControl->GetPaintManager()->IsFlatStyle())
        return;
    CRect rcControl = pControl->GetRect();
    pParent->ClientToScreen(&rcControl);
    CreateShadow(TRUE, rcControl, CRect(0, 0, 0, 0), pPopup);
    CreateShadow(FALSE, rcControl, CRect(0, 0, 0, 0), pPopup);
}

void CXTPShadowManager::CreateShadow(BOOL bHorizontal, const CRect& rcOwner, const CRect& rcExclude,
                                     CXTPCommandBar* pOwner)
{
    auto* pShadow = new CXTPShadowWnd;
    pShadow->m_bFlat = pOwner->GetPaintManager()->IsFlatStyle();
    pShadow->m_bLayered = IsLayeredAvailable();
    pShadow->m_bHorizontal = bHorizontal;
    const int nDepth = pShadow->m_bLayered ? XTP_SHADOW_LAYERED_DEPTH : XTP_SHADOW_SOLID_DEPTH;
    const DWORD dwExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | (pShadow->m_bLayered ? WS_EX_LAYERED : 0);
    LPCTSTR lpszClass = AfxRegisterWndClass(0, ::LoadCursorA(nullptr, IDC_ARROW));
    if (!pShadow->CreateEx(dwExStyle, lpszClass, "", WS_POPUP, CRect(0, 0, 0, 0), nullptr, 0)) {
        delete pShadow;
        return;
    }
    std::vector<XTPShadowStrip> existing;
    for (CXTPShadowWnd* pOther : m_shadows) {
        XTPShadowStrip strip;
        strip.bHorizontal = pOther->m_bHorizontal;
        pOther->GetWindowRect(&strip.rc);
        existing.push_back(strip);
    }
    const CRect rc = XTPShadowStripRect(bHorizontal, rcOwner, nDepth, existing);
    // The owner is set after the first size, so the layered pixels are made once, placed.
    pShadow->SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(),
                          SWP_NOZORDER | SWP_NOACTIVATE);
    pShadow->m_pOwner = pOwner;
    pShadow->UpdateLayered();
    m_shadows.push_back(pShadow);

    // Shadows never cover popups, nor (flat) the control the popup belongs to.
    std::vector<CRect> clips;
    if (pShadow->m_bFlat && !rcExclude.IsRectEmpty())
        clips.push_back(rcExclude);
    for (CXTPShadowWnd* pOther : m_shadows)
        if (pOther->m_pOwner && ::IsWindow(pOther->m_pOwner->m_hWnd)) {
            CRect rcOther;
            pOther->m_pOwner->GetWindowRect(&rcOther);
            clips.push_back(rcOther);
        }
    CRect rcWindow;
    pShadow->GetWindowRect(&rcWindow);
    HRGN hRgn = nullptr;
    for (const CRect& rcClip : clips) {
        CRect rcCut;
        if (!rcCut.IntersectRect(&rcWindow, &rcClip))
            continue;
        if (!hRgn)
            hRgn = ::CreateRectRgn(0, 0, rcWindow.Width(), rcWindow.Height());
        rcCut.OffsetRect(-rcWindow.left, -rcWindow.top);
        HRGN hCut = ::CreateRectRgnIndirect(&rcCut);
        ::CombineRgn(hRgn, hRgn, hCut, RGN_DIFF);
        ::DeleteObject(hCut);
    }
    if (hRgn && !pShadow->SetWindowRgn(hRgn, FALSE))
        ::DeleteObject(hRgn);

    ::SetWindowPos(pShadow->m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    XTPHookManager()->SetHook(pOwner->m_hWnd, pShadow);
}

void CXTPShadowManager::RemoveShadows(CXTPCommandBar* pOwner)
{
    std::vector<CXTPShadowWnd*> owned;
    for (CXTPShadowWnd* pShadow : m_shadows)
        if (pShadow->m_pOwner == pOwner)
            owned.push_back(pShadow);
    for (CXTPShadowWnd* pShadow : owned)
        Destroy(pShadow);
}

void CXTPShadowManager::Destroy(CXTPShadowWnd* pShadow)
{
    if (pShadow->m_pOwner && pShadow->m_pOwner->m_hWnd)
        XTPHookManager()->RemoveHook(pShadow->m_pOwner->m_hWnd, pShadow);
    XTPHookManager()->RemoveAll(pShadow);
    if (pShadow->m_hWnd)
        pShadow->ShowWindow(SW_HIDE);
    pShadow->m_pOwner = nullptr;
    m_shadows.erase(std::remove(m_shadows.begin(), m_shadows.end(), pShadow), m_shadows.end());
    if (pShadow->m_hWnd)
        pShadow->DestroyWindow();
    delete pShadow;
}

int CXTPShadowWnd::OnHookMessage(HWND, UINT nMessage, WPARAM& wParam, LPARAM&, LRESULT&)
{
    if (nMessage == WM_SHOWWINDOW) {
        ShowWindow(wParam ? SW_SHOWNA : SW_HIDE);
    } else if (nMessage == WM_DESTROY) {
        // Gone with the owner: no hook record and no window stay behind.
        XTPShadowManager()->Destroy(this);
    }
    return 0;
}

LRESULT CXTPShadowWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCHITTEST:
        return HTTRANSPARENT; // clicks reach the window beneath
    case WM_PAINT:
        if (!m_bLayered) {
            PAINTSTRUCT ps;
            CDC* pDC = BeginPaint(&ps);
            CRect rc;
            GetClientRect(&rc);
            pDC->FillSolidRect(&rc, XTGetColorManager()->GetColor(COLOR_BTNSHADOW));
            EndPaint(&ps);
            return 0;
        }
        break;
    case WM_SIZE:
        UpdateLayered();
        break;
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CXTPShadowWnd::UpdateLayered()
{
    PFNUPDATELAYEREDWINDOW pfn = UpdateLayeredWindowProc();
    CRect rc;
    GetWindowRect(&rc);
    if (!m_bLayered || !pfn || !m_pOwner || rc.IsRectEmpty())
        return;
    m_pixels = XTPShadowStripPixels(m_bHorizontal, m_bFlat, rc.Width(), rc.Height(),
                                    m_pOwner->GetPaintManager()->m_clrShadowColor);
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = rc.Width();
    bmi.bmiHeader.biHeight = rc.Height();
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    HDC hScreen = ::GetDC(nullptr);
    HDC hDC = ::CreateCompatibleDC(hScreen);
    void* pBits = nullptr;
    HBITMAP hBitmap = ::CreateDIBSection(hScreen, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (hBitmap && pBits) {
        // The section is bottom-up: row 0 of the strip is its last row.
        auto* pDest = static_cast<uint32_t*>(pBits);
        const int cx = rc.Width(), cy = rc.Height();
        for (int y = 0; y < cy; ++y)
            std::memcpy(pDest + static_cast<size_t>(cy - 1 - y) * cx, m_pixels.data() + static_cast<size_t>(y) * cx,
                        sizeof(uint32_t) * cx);
        HGDIOBJ hOld = ::SelectObject(hDC, hBitmap);
        SIZE size{cx, cy};
        POINT ptSrc{0, 0};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        pfn(m_hWnd, nullptr, nullptr, &size, hDC, &ptSrc, 0, &blend, ULW_ALPHA);
        ::SelectObject(hDC, hOld);
    }
    if (hBitmap)
        ::DeleteObject(hBitmap);
    ::DeleteDC(hDC);
    ::ReleaseDC(nullptr, hScreen);
}
