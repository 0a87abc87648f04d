#include "toolkit/commandbars/XTPDockState.h"

#include "platform/base/MulDiv.h"
#include "platform/mfc/ControlBar.h"
#include "platform/mfc/FrameWnd.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/SystemMetrics.h"
#include "platform/win/WindowPos.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPDockBar.h"
#include "toolkit/commandbars/XTPDockContext.h"
#include "toolkit/commandbars/XTPToolBar.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace {

constexpr UINT kStatusBarID = 59393;

CString Format(LPCTSTR lpszFormat, LPCTSTR lpszProfileName, int nIndex)
{
    char sz[512];
    std::snprintf(sz, sizeof(sz), lpszFormat, lpszProfileName, nIndex);
    return sz;
}

CString EntryName(LPCTSTR lpszFormat, int nIndex)
{
    char sz[64];
    std::snprintf(sz, sizeof(sz), lpszFormat, nIndex);
    return sz;
}

void DeleteSection(CWinApp* pApp, LPCTSTR lpszSection)
{
    pApp->WriteProfileString(lpszSection, nullptr, nullptr);
}

CXTPToolBar* AsToolBar(CXTPCommandBar* pBar)
{
    return pBar ? DYNAMIC_DOWNCAST(CXTPToolBar, pBar) : nullptr;
}

CControlBar* StatusBar(CXTPCommandBars* pCommandBars)
{
    CFrameWnd* pFrame = pCommandBars->GetSite();
    return pFrame && pFrame->GetSafeHwnd() ? pFrame->GetControlBar(kStatusBarID) : nullptr;
}

} // namespace

BOOL tavrin::commandbars::ReadProfileInt(CWinApp* pApp, LPCTSTR lpszSection, LPCTSTR lpszEntry, int& nValue,
                                         int nDefault)
{
    // Two different defaults tell a stored value from a missing one, in the
    // registry and in a profile file alike.
    const int nFirst = static_cast<int>(pApp->GetProfileInt(lpszSection, lpszEntry, 0));
    if (nFirst != 0 || pApp->GetProfileInt(lpszSection, lpszEntry, 1) == 0) {
        nValue = nFirst;
        return TRUE;
    }
    nValue = nDefault;
    return FALSE;
}

using tavrin::commandbars::ReadProfileInt;

void CXTPBarInfo::SaveState(CWinApp* pApp, LPCTSTR lpszSection) const
{
    DeleteSection(pApp, lpszSection);
    pApp->WriteProfileInt(lpszSection, "BarID", static_cast<int>(m_nBarID));
    if (!m_bVisible)
        pApp->WriteProfileInt(lpszSection, "Visible", 0);
    if (m_bFloating)
        pApp->WriteProfileInt(lpszSection, "Floating", m_bFloating);
    if (m_pointPos.x != -1)
        pApp->WriteProfileInt(lpszSection, "XPos", m_pointPos.x);
    if (m_pointPos.y != -1)
        pApp->WriteProfileInt(lpszSection, "YPos", m_pointPos.y);
    if (m_nMRUWidth != 32767)
        pApp->WriteProfileInt(lpszSection, "MRUWidth", m_nMRUWidth);
    pApp->WriteProfileInt(lpszSection, "MRUDockID", m_uMRUDockID);
    pApp->WriteProfileInt(lpszSection, "MRUDockLeftPos", m_rectMRUDockPos.left);
    pApp->WriteProfileInt(lpszSection, "MRUDockTopPos", m_rectMRUDockPos.top);
    pApp->WriteProfileInt(lpszSection, "MRUDockRightPos", m_rectMRUDockPos.right);
    pApp->WriteProfileInt(lpszSection, "MRUDockBottomPos", m_rectMRUDockPos.bottom);
    pApp->WriteProfileInt(lpszSection, "MRUFloatXPos", m_ptMRUFloatPos.x);
    pApp->WriteProfileInt(lpszSection, "MRUFloatYPos", m_ptMRUFloatPos.y);
    pApp->WriteProfileInt(lpszSection, "DialogBar", m_bDialogBar);
    if (m_bDialogBar) {
        pApp->WriteProfileInt(lpszSection, "DialogBarDockingClientCx", m_szDialogBarDocking.cx);
        pApp->WriteProfileInt(lpszSection, "DialogBarDockingClientCy", m_szDialogBarDocking.cy);
        pApp->WriteProfileInt(lpszSection, "DialogBarFloatingClientCx", m_szDialogBarFloating.cx);
        pApp->WriteProfileInt(lpszSection, "DialogBarFloatingClientCy", m_szDialogBarFloating.cy);
    }
}

BOOL CXTPBarInfo::LoadState(CWinApp* pApp, LPCTSTR lpszSection)
{
    int nID = 0;
    if (!ReadProfileInt(pApp, lpszSection, "BarID", nID, 0))
        return FALSE;
    auto get = [&](LPCTSTR lpszEntry, int nDefault) {
        return static_cast<int>(pApp->GetProfileInt(lpszSection, lpszEntry, nDefault));
    };
    m_nBarID = static_cast<UINT>(nID);
    m_bVisible = get("Visible", 1);
    m_bFloating = get("Floating", 0);
    m_pointPos.y = get("YPos", -1);
    m_pointPos.x = get("XPos", -1);
    m_nMRUWidth = get("MRUWidth", 32767);
    m_uMRUDockID = get("MRUDockID", 0);
    // The dock context indexes the four dock bars with it.
    if (m_uMRUDockID < 0 || m_uMRUDockID > 3)
        m_uMRUDockID = 0;
    m_rectMRUDockPos.bottom = get("MRUDockBottomPos", 0);
    m_rectMRUDockPos.right = get("MRUDockRightPos", 0);
    m_rectMRUDockPos.top = get("MRUDockTopPos", 0);
    m_rectMRUDockPos.left = get("MRUDockLeftPos", 0);
    m_ptMRUFloatPos.y = get("MRUFloatYPos", 0);
    m_ptMRUFloatPos.x = get("MRUFloatXPos", 0);
    m_bDialogBar = get("DialogBar", 0);
    if (m_bDialogBar) {
        m_szDialogBarDocking.cx = get("DialogBarDockingClientCx", m_szDialogBarDocking.cx);
        m_szDialogBarDocking.cy = get("DialogBarDockingClientCy", m_szDialogBarDocking.cy);
        m_szDialogBarFloating.cx = get("DialogBarFloatingClientCx", m_szDialogBarFloating.cx);
        m_szDialogBarFloating.cy = get("DialogBarFloatingClientCy", m_szDialogBarFloating.cy);
    }
    return TRUE;
}

void CXTPBarInfo::SetBarInfo(CXTPCommandBar* pBar) const
{
    pBar->SetWidth(m_nMRUWidth);
    // The dialog bar's client sizes belong to the dialog bar class, which
    // takes them from the record once it exists.
    CXTPToolBar* pToolBar = AsToolBar(pBar);
    if (pToolBar && pToolBar->GetDockContext()) {
        CXTPDockContext* pContext = pToolBar->GetDockContext();
        pContext->m_uMRUDockPosition = m_uMRUDockID;
        pContext->m_rectMRUDockPos = m_rectMRUDockPos;
        pContext->m_ptMRUFloatPos = m_ptMRUFloatPos;
    }
    if (pBar->GetSafeHwnd()) {
        UINT nFlags = SWP_NOZORDER | SWP_NOACTIVATE;
        if (!m_bFloating)
            nFlags |= pToolBar && pToolBar->GetDockBar() ? SWP_NOSIZE : SWP_NOSIZE | SWP_NOMOVE;
        nFlags |= m_bVisible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
        pBar->SetWindowPos(nullptr, m_pointPos.x, m_pointPos.y, 0, 0, nFlags);
    }
    pBar->m_bVisible = m_bVisible;
    if (m_bFloating)
        pBar->OnRecalcLayout();
}

CXTPDockState::CXTPDockState()
    : m_rectDevice(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)), m_rectClip(m_rectDevice)
{
    m_rectClip.right -= ::GetSystemMetrics(SM_CXICON);
    m_rectClip.bottom -= ::GetSystemMetrics(SM_CYICON);
}

void CXTPDockState::GetDockState(CXTPCommandBars* pCommandBars)
{
    Clear();
    for (int i = 0; i < pCommandBars->GetCount(); ++i) {
        CXTPCommandBar* pBar = pCommandBars->GetAt(i);
        auto pInfo = std::make_unique<CXTPBarInfo>(pBar);
        pInfo->m_nBarID = pBar->GetBarID();
        pInfo->m_bVisible = pBar->IsVisible();
        pInfo->m_nMRUWidth = pBar->GetMRUWidth();
        CXTPToolBar* pToolBar = AsToolBar(pBar);
        CXTPDockContext* pContext = pToolBar ? pToolBar->GetDockContext() : nullptr;
        if (pBar->GetSafeHwnd()) {
            CRect rc;
            pBar->GetWindowRect(&rc);
            CPoint pt = rc.TopLeft();
            if (pToolBar && pToolBar->GetDockBar())
                pToolBar->GetDockBar()->ScreenToClient(&pt);
            pInfo->m_pointPos = pt;
        } else if (pContext) {
            pInfo->m_pointPos = pContext->m_ptMRUFloatPos;
        }
        pInfo->m_bFloating = pBar->GetPosition() == xtpBarFloating;
        if (pContext) {
            pInfo->m_uMRUDockID = pContext->m_uMRUDockPosition;
            pInfo->m_rectMRUDockPos = pContext->m_rectMRUDockPos;
            pInfo->m_ptMRUFloatPos = pContext->m_ptMRUFloatPos;
        }
        pInfo->m_bDialogBar = pBar->IsDialogBar();
        m_arrBarInfo.push_back(std::move(pInfo));
    }
}

void CXTPDockState::SaveSummary(CWinApp* pApp, LPCTSTR lpszProfileName) const
{
    int nIndex = 0;
    for (const auto& pInfo : m_arrBarInfo)
        pInfo->SaveState(pApp, Format("%s-Bar%d", lpszProfileName, nIndex++));
    const CString strSummary = Format("%s-Summary", lpszProfileName, 0);
    pApp->WriteProfileInt(strSummary, "Bars", nIndex);
    pApp->WriteProfileInt(strSummary, "ScreenCX", m_rectDevice.Width());
    pApp->WriteProfileInt(strSummary, "ScreenCY", m_rectDevice.Height());
}

void CXTPDockState::LoadSummary(CWinApp* pApp, LPCTSTR lpszProfileName)
{
    Clear();
    const CString strSummary = Format("%s-Summary", lpszProfileName, 0);
    const int nBars = static_cast<int>(pApp->GetProfileInt(strSummary, "Bars", 0));
    m_sizeSaved.cx = static_cast<int>(pApp->GetProfileInt(strSummary, "ScreenCX", 0));
    m_sizeSaved.cy = static_cast<int>(pApp->GetProfileInt(strSummary, "ScreenCY", 0));
    // A size of 0 cannot be scaled from.
    m_bScaling = m_sizeSaved.cx > 0 && m_sizeSaved.cy > 0 &&
                 (m_sizeSaved.cx != m_rectDevice.Width() || m_sizeSaved.cy != m_rectDevice.Height());
    for (int i = 0; i < nBars; ++i) {
        auto pInfo = std::make_unique<CXTPBarInfo>();
        if (!pInfo->LoadState(pApp, Format("%s-Bar%d", lpszProfileName, i)))
            break;
        ScalePoint(pInfo->m_pointPos, pInfo->m_bFloating);
        ScaleRectPos(pInfo->m_rectMRUDockPos);
        ScalePoint(pInfo->m_ptMRUFloatPos, TRUE);
        m_arrBarInfo.push_back(std::move(pInfo));
    }
}

void CXTPDockState::SaveDockBarState(CXTPCommandBars* pCommandBars, CWinApp* pApp, LPCTSTR lpszProfileName) const
{
    for (int nDock = 0; nDock < 4; ++nDock) {
        const CString strSection = Format("%s-DockBar%d", lpszProfileName, nDock);
        DeleteSection(pApp, strSection);
        CXTPDockBar* pDock = pCommandBars->GetDockBar(nDock);
        if (!pDock || pDock->GetRowArray().size() <= 1)
            continue;
        const auto& arr = pDock->GetRowArray();
        int nCount = 0;
        for (size_t i = 0; i < arr.size(); ++i) {
            // Runs of breaks collapse into one.
            if (!arr[i] && i > 0 && !arr[i - 1])
                continue;
            pApp->WriteProfileInt(strSection, EntryName("Bar#%d", nCount++),
                                  arr[i] ? static_cast<int>(arr[i]->GetBarID()) : 0);
        }
        pApp->WriteProfileInt(strSection, "Bars", nCount);
    }
    CControlBar* pStatusBar = StatusBar(pCommandBars);
    if (pStatusBar && !pStatusBar->IsVisible())
        pApp->WriteProfileInt(lpszProfileName, "StatusBar", 0);
    else
        pApp->WriteProfileString(lpszProfileName, "StatusBar", nullptr);
}

void CXTPDockState::LoadDockBarState(CXTPCommandBars* pCommandBars, CWinApp* pApp, LPCTSTR lpszProfileName)
{
    // A bar named twice is placed once; later mentions are row breaks.
    std::set<CXTPToolBar*> placed;
    for (int nDock = 0; nDock < 4; ++nDock) {
        CXTPDockBar* pDock = pCommandBars->GetDockBar(nDock);
        if (!pDock)
            continue;
        const CString strSection = Format("%s-DockBar%d", lpszProfileName, nDock);
        const int nBars = static_cast<int>(pApp->GetProfileInt(strSection, "Bars", 0));
        if (nBars <= 1)
            continue;
        for (int i = 0; i < nBars; ++i) {
            int nID = 0;
            if (!ReadProfileInt(pApp, strSection, EntryName("Bar#%d", i), nID, 0))
                break;
            CXTPToolBar* pBar = nID ? AsToolBar(pCommandBars->GetToolBar(static_cast<UINT>(nID))) : nullptr;
            if (pBar && !placed.insert(pBar).second)
                pBar = nullptr;
            if (pBar) {
                if (pBar->GetSafeHwnd() && pDock->GetSafeHwnd() && ::GetParent(pBar->m_hWnd) != pDock->m_hWnd) {
                    pBar->CreateToolBar(pCommandBars->GetSite(), FALSE);
                    ::SetParent(pBar->m_hWnd, pDock->m_hWnd);
                }
                if (CXTPDockBar* pOld = pBar->GetDockBar())
                    pOld->RemoveCommandBar(pBar);
                pBar->SetDockBar(pDock);
                pBar->m_barPosition = pDock->GetPosition();
            }
            pDock->InsertRowEntry(i, pBar);
        }
        pDock->CompactRows();
    }
    CControlBar* pStatusBar = StatusBar(pCommandBars);
    if (pStatusBar && pApp->GetProfileInt(lpszProfileName, "StatusBar", 1) == 0)
        pCommandBars->GetSite()->ShowControlBar(pStatusBar, FALSE, FALSE);
}

void CXTPDockState::SetDockState(CXTPCommandBars* pCommandBars)
{
    for (const auto& pInfo : m_arrBarInfo) {
        CXTPCommandBar* pBar = pCommandBars->GetToolBar(pInfo->m_nBarID);
        pInfo->m_pBar = pBar;
        if (!pBar)
            continue;
        if (CXTPToolBar* pToolBar = AsToolBar(pBar)) {
            if (!pInfo->m_bFloating) {
                if (pToolBar->GetSafeHwnd() || pToolBar->GetDockBar()) {
                    pToolBar->CreateToolBar(pCommandBars->GetSite(), FALSE);
                    CXTPDockBar* pDock = pToolBar->GetDockBar();
                    if (pDock && pDock->GetSafeHwnd() && pToolBar->GetSafeHwnd())
                        ::SetParent(pToolBar->m_hWnd, pDock->m_hWnd);
                }
            } else {
                pCommandBars->FloatCommandBar(pToolBar);
            }
        }
        pInfo->SetBarInfo(pBar);
    }
}

void CXTPDockState::ScalePoint(CPoint& pt, BOOL bFloating) const
{
    if (m_bScaling) {
        pt.x = MulDiv(pt.x, m_rectDevice.Width(), m_sizeSaved.cx);
        pt.y = MulDiv(pt.y, m_rectDevice.Height(), m_sizeSaved.cy);
    }
    pt.x = std::min(pt.x, static_cast<LONG>(m_rectClip.right));
    pt.y = std::min(pt.y, static_cast<LONG>(m_rectClip.bottom));
    // A floating bar left of or above the screen could not be reached.
    if (bFloating) {
        pt.x = std::max(pt.x, static_cast<LONG>(m_rectClip.left));
        pt.y = std::max(pt.y, static_cast<LONG>(m_rectClip.top));
    }
}

void CXTPDockState::ScaleRectPos(CRect& rc) const
{
    CPoint pt = rc.TopLeft();
    if (m_bScaling) {
        pt.x = MulDiv(pt.x, m_rectDevice.Width(), m_sizeSaved.cx);
        pt.y = MulDiv(pt.y, m_rectDevice.Height(), m_sizeSaved.cy);
    }
    rc.OffsetRect(pt.x - rc.left, pt.y - rc.top);
    if (rc.left > m_rectClip.right)
        rc.OffsetRect(m_rectClip.right - rc.left, 0);
    if (rc.top > m_rectClip.bottom)
        rc.OffsetRect(0, m_rectClip.bottom - rc.top);
}
