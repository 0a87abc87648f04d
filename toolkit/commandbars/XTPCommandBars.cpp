#include "toolkit/commandbars/XTPCommandBars.h"

#include "platform/mfc/FrameWnd.h"
#include "platform/mfc/Menu.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Registry.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPCommandBarsDefines.h"
#include "toolkit/commandbars/XTPCommandBarsOptions.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlButton.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPDockBar.h"
#include "toolkit/commandbars/XTPDockContext.h"
#include "toolkit/commandbars/XTPImageManager.h"
#include "toolkit/commandbars/XTPKeyboardManager.h"
#include "toolkit/commandbars/XTPMenuBar.h"
#include "toolkit/commandbars/XTPMouseManager.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPPopupPlacement.h"
#include "toolkit/commandbars/XTPPropExchange.h"
#include "toolkit/commandbars/XTPShortcutManager.h"
#include "toolkit/commandbars/XTPSoundManager.h"
#include "toolkit/commandbars/XTPToolBar.h"
#include "toolkit/controls/XTColorManager.h"

#include <algorithm>
#include <cstdio>

IMPLEMENT_DYNCREATE(CXTPCommandBars, CCmdTarget)

namespace {

// The command of the Customize item.
constexpr UINT kIdCustomize = 35001;

// The dock bars: ids and control-bar styles, top, bottom, left, right.
constexpr UINT kDockBarIds[4] = {59419, 59422, 59420, 59421};
constexpr DWORD kDockBarStyles[4] = {0x2800, 0x8200, 0x1400, 0x4100};

// A line of the toolbars menu: shows or hides the bar its tag names.
class CToolbarsMenuItem : public CXTPControlButton {
public:
    void OnExecute() override
    {
        CXTPCommandBars* pCommandBars = GetCommandBars();
        const int nIndex = static_cast<int>(GetTag());
        CXTPControlButton::OnExecute();
        if (pCommandBars)
            pCommandBars->ToggleVisible(nIndex);
    }
};

} // namespace

UINT CXTPCommandBars::GetClipboardFormat(BOOL bAlpha)
{
    static const WORD s_cfToolBarImage = static_cast<WORD>(::RegisterClipboardFormatA("Vezeza ToolBar Image"));
    static const WORD s_cfAlphaBitmap = static_cast<WORD>(::RegisterClipboardFormatA("Alpha Bitmap Image"));
    return bAlpha ? s_cfAlphaBitmap : s_cfToolBarImage;
}

CXTPCommandBars::CXTPCommandBars()
{
    m_pOptions = new CXTPCommandBarsOptions;
    m_pOptions->m_pCommandBars = this;
}

CXTPCommandBars::~CXTPCommandBars()
{
    if (m_pDragControl) {
        m_pDragControl->InternalRelease();
        m_pDragControl = nullptr;
    }
    std::vector<CXTPCommandBar*> bars;
    bars.swap(m_barList);
    m_pMenuBar = nullptr;
    for (CXTPCommandBar* pBar : bars)
        pBar->InternalRelease();
    for (CXTPDockBar*& pDock : m_pDocks) {
        delete pDock;
        pDock = nullptr;
    }
    DeleteDropSource();
    if (m_pPaintManager)
        m_pPaintManager->InternalRelease();
    if (m_pImageManager)
        m_pImageManager->InternalRelease();
    if (m_hDesignerAccels)
        ::DestroyAcceleratorTable(m_hDesignerAccels);
    if (m_pOptions)
        m_pOptions->InternalRelease();
    XTPSoundManager()->StopThread();
}

void CXTPCommandBars::SetSite(CFrameWnd* pFrame)
{
    m_pFrame = pFrame;
    if (pFrame && pFrame->GetSafeHwnd()) {
        AFX_CMDHANDLERINFO info{};
        m_bCustomizeAvail = pFrame->OnCmdMsg(kIdCustomize, 0, this, &info);
    }
}

BOOL CXTPCommandBars::IsCommandHidden(UINT nID)
{
    BOOL bValue = FALSE;
    return m_pOptions->m_mapHiddenCommands.Lookup(nID, bValue) && !m_pOptions->m_mapUsedCommands.Lookup(nID, bValue);
}

BOOL CXTPCommandBars::IsControlHidden(CXTPControl* pControl)
{
    if (IsCommandHidden(static_cast<UINT>(pControl->GetID())))
        return TRUE;
    if (!m_pOptions->bAutoHideUnusedPopups)
        return FALSE;
    const int nType = pControl->GetType();
    if (nType != xtpControlPopup && nType != xtpControlButtonPopup && nType != xtpControlSplitButtonPopup)
        return FALSE;
    CXTPCommandBar* pPopupBar = pControl->GetCommandBar();
    if (!pPopupBar || pPopupBar->GetControlCount() == 0)
        return FALSE;
    for (int i = 0; i < pPopupBar->GetControlCount(); ++i)
        if (!IsControlHidden(pPopupBar->GetControl(i)))
            return FALSE;
    return TRUE;
}

CXTPCommandBar* CXTPCommandBars::GetAt(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetCount() ? m_barList[static_cast<size_t>(nIndex)] : nullptr;
}

CXTPCommandBar* CXTPCommandBars::GetToolBar(UINT nBarID) const
{
    if (nBarID == 0)
        return nullptr;
    for (CXTPCommandBar* pBar : m_barList)
        if (pBar->GetBarID() == nBarID)
            return pBar;
    return nullptr;
}

void CXTPCommandBars::ToggleVisible(int nIndex)
{
    if (CXTPCommandBar* pBar = GetAt(nIndex))
        pBar->SetVisible(!pBar->IsVisible());
}

void CXTPCommandBars::RedrawCommandBars()
{
    m_bRecalcLayout = TRUE;
    for (CXTPCommandBar* pBar : m_barList)
        if (pBar->IsVisible())
            pBar->OnRecalcLayout();
    m_bRecalcLayout = FALSE;
    if (m_pFrame && m_pFrame->GetSafeHwnd())
        m_pFrame->RecalcLayout(FALSE);
}

CXTPPaintManager* CXTPCommandBars::GetPaintManager() const
{
    return m_pPaintManager ? m_pPaintManager : XTPPaintManager();
}

void CXTPCommandBars::SetPaintManager(CXTPPaintManager* pPaintManager)
{
    if (m_pPaintManager)
        m_pPaintManager->InternalRelease();
    m_pPaintManager = pPaintManager;
}

CXTPImageManager* CXTPCommandBars::GetImageManager() const
{
    return m_pImageManager ? m_pImageManager : XTPImageManager();
}

void CXTPCommandBars::SetImageManager(CXTPImageManager* pImageManager)
{
    if (m_pImageManager)
        m_pImageManager->InternalRelease();
    m_pImageManager = pImageManager;
}

void CXTPCommandBars::SetDragControl(CXTPControl* pControl)
{
    if (pControl == m_pDragControl)
        return;
    if (m_pDragControl) {
        if (CXTPCommandBar* pBar = m_pDragControl->GetParent())
            if (pBar->GetSafeHwnd())
                pBar->Invalidate(FALSE);
        m_pDragControl->InternalRelease();
    }
    m_pDragControl = pControl;
    if (m_pDragControl) {
        m_pDragControl->InternalAddRef();
        if (CXTPCommandBar* pBar = m_pDragControl->GetParent())
            if (pBar->GetSafeHwnd())
                pBar->Invalidate(FALSE);
    }
    if (m_pFrame && m_pFrame->GetSafeHwnd())
        m_pFrame->SendMessage(WM_DRAG_CONTROL_CHANGED, 0, 0);
}

void CXTPCommandBars::SetCommandUsed(UINT nID)
{
    if (IsCommandHidden(nID))
        m_pOptions->m_mapUsedCommands.SetAt(nID, TRUE);
}

void CXTPCommandBars::SetCustomizeMode(BOOL bMode)
{
    m_pOptions->bDirtyState = TRUE;
    m_bCustomizeMode = bMode;
    m_bCustomizeModeCopy = bMode;
    SetDragControl(nullptr);
}

void CXTPCommandBars::RecalcFrameLayout(BOOL bDelay)
{
    if (m_bRecalcLayout || !m_pFrame || !m_pFrame->GetSafeHwnd())
        return;
    if (bDelay)
        m_pFrame->m_nIdleFlags |= CFrameWnd::idleLayout;
    else
        m_pFrame->RecalcLayout(FALSE);
}

void CXTPCommandBars::OnSystemSettingChanged(BOOL bColors)
{
    if (bColors) {
        XTGetColorManager()->RefreshColors();
        if (CXTPImageManager* pImageManager = GetImageManager())
            pImageManager->RefreshAll();
    }
    if (CXTPPaintManager* pPaintManager = GetPaintManager())
        pPaintManager->RefreshMetrics();
    if (m_bRecalcLayout || !m_pFrame || !m_pFrame->GetSafeHwnd())
        return;
    m_pFrame->RecalcLayout(FALSE);
    m_pFrame->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

namespace {

// The frame the desktop's active window belongs to; a floating bar's frame
// counts as its owner's.
CFrameWnd* ActiveTopLevelFrame()
{
    for (HWND hwnd = ::GetForegroundWindow(); hwnd; hwnd = ::GetParent(hwnd)) {
        CWnd* pWnd = CWnd::FromHandlePermanent(hwnd);
        if (pWnd && pWnd->IsKindOf(RUNTIME_CLASS(CFrameWnd)) && !pWnd->IsKindOf(RUNTIME_CLASS(CMiniFrameWnd)))
            return static_cast<CFrameWnd*>(pWnd);
    }
    return nullptr;
}

} // namespace

CXTPMenuBar* CXTPCommandBars::SetMenu(LPCTSTR lpszName, UINT nID)
{
    auto* pBar = static_cast<CXTPMenuBar*>(RUNTIME_CLASS(CXTPMenuBar)->CreateObject());
    if (!pBar)
        return nullptr;
    pBar->SetCommandBars(this);
    pBar->EnableDocking(0x5F);
    pBar->SetTitle(lpszName);
    pBar->SetBarID(1);
    if (!pBar->SetPosition(xtpBarTop) || !pBar->LoadMenuBar(nID)) {
        // Out of its dock bar before it goes: a row keeping a freed bar
        // would be laid out with it at the next resize.
        if (CXTPDockBar* pDockBar = pBar->GetDockBar()) {
            pDockBar->RemoveCommandBar(pBar);
            pBar->SetDockBar(nullptr);
            RecalcFrameLayout();
        }
        pBar->InternalRelease();
        return nullptr;
    }
    if (nID != 0) {
        pBar->GetControls()->CreateInitialControls();
        m_nIDMenu = nID;
    }
    m_barList.push_back(pBar);
    m_pMenuBar = pBar;
    return pBar;
}

BOOL CXTPCommandBars::OnMenuMnemonic(const MSG* pMsg)
{
    CXTPMouseManager* pMouseManager = XTPMouseManager();
    if (pMsg->message != WM_SYSKEYDOWN || !(pMsg->lParam & (LPARAM(1) << 29)))
        return FALSE;
    if (!m_pMenuBar || !m_pMenuBar->IsVisible() || pMouseManager->IsTrackingLocked() ||
        pMouseManager->GetTrackedCount() > 0)
        return FALSE;
    if (!m_pFrame || ActiveTopLevelFrame() != m_pFrame)
        return FALSE;
    if (m_bIgnoreShiftMenuKey && ::GetKeyState(VK_SHIFT) < 0)
        return FALSE;
    const UINT nChar = ::MapVirtualKeyA(static_cast<UINT>(pMsg->wParam), 2);
    if (nChar == 0)
        return FALSE;
    BOOL bMore = FALSE;
    const int nIndex = m_pMenuBar->FindAccel(CXTPShortcutManager::ToUpper(static_cast<char>(nChar)), &bMore);
    CXTPControl* pControl = m_pMenuBar->GetControl(nIndex);
    if (!pControl)
        return FALSE;
    if (bMore) {
        m_pMenuBar->SetTrackingMode(TRUE, FALSE, FALSE);
        m_pMenuBar->SetSelected(nIndex, TRUE);
    } else if (pControl->IsKindOf(RUNTIME_CLASS(CXTPControlPopup))) {
        m_pMenuBar->SetPopuped(nIndex, TRUE);
    } else {
        pControl->OnExecute();
    }
    return TRUE;
}

BOOL CXTPCommandBars::PreTranslateFrameMessage(MSG* pMsg)
{
    if (OnMenuMnemonic(pMsg))
        return TRUE;
    CXTPMouseManager* pMouseManager = XTPMouseManager();
    if ((pMsg->message == WM_CONTEXTMENU || pMsg->message == WM_SYSKEYUP) && pMouseManager->GetTrackedCount() > 0)
        return TRUE;
    if (pMsg->message == WM_MOUSEWHEEL) {
        CXTPKeyboardManager* pKeyboardManager = XTPKeyboardManager();
        if (pKeyboardManager->GetSinkCount() > 0) {
            pKeyboardManager->ProcessKeyboardHooks(pMsg->message, pMsg->wParam, pMsg->lParam);
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CXTPCommandBars::OnFrameWndMsg(UINT message, WPARAM wParam, LPARAM, LRESULT*)
{
    switch (message) {
    case WM_IDLEUPDATECMDUI: {
        // Floating bars have no frame pass of their own.
        const std::vector<CXTPCommandBar*> bars = m_barList;
        for (CXTPCommandBar* pBar : bars)
            if (pBar->GetPosition() == xtpBarFloating)
                pBar->OnUpdateCmdUI(TRUE, TRUE);
        break;
    }
    case WM_SYSCOLORCHANGE:
        OnSystemSettingChanged(TRUE);
        break;
    case WM_SETTINGCHANGE:
        OnSystemSettingChanged(FALSE);
        break;
    default:
        break;
    }
    CXTPMouseManager* pMouseManager = XTPMouseManager();
    if (pMouseManager->GetTrackedCount() > 0) {
        if (message == WM_ACTIVATEAPP && !wParam)
            pMouseManager->SendTrackLost();
        if (message == WM_SYSCOMMAND && (wParam == 0 || LOWORD(wParam) != 0) && wParam != SC_KEYMENU &&
            !m_bCustomizeMode)
            pMouseManager->SendTrackLost();
    }
    return FALSE;
}

void CXTPCommandBars::ExchangeOptions(LPCTSTR lpszProfileName, BOOL bLoading)
{
    CWinApp* pApp = AfxGetApp();
    HKEY hAppKey = pApp ? pApp->GetAppRegistryKey() : nullptr;
    if (!hAppKey)
        return;
    char szSection[300];
    std::snprintf(szSection, sizeof(szSection), "%s-Options", lpszProfileName);
    {
        // Stored values reach the registry file in one write.
        tavrin::win::RegistryBatch batch;
        CXTPPropExchangeRegistry px(bLoading, hAppKey, szSection);
        m_pOptions->DoPropExchange(&px, TRUE);
    }
    ::RegCloseKey(hAppKey);
}

void CXTPCommandBars::SaveOptions(LPCTSTR lpszProfileName)
{
    ExchangeOptions(lpszProfileName, FALSE);
}

void CXTPCommandBars::LoadOptions(LPCTSTR lpszProfileName)
{
    ExchangeOptions(lpszProfileName, TRUE);
}

UINT CXTPCommandBars::TrackPopupMenu(CMenu* pMenu, UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT rcExclude,
                                     CWnd* pWndTarget, CXTPCommandBars* pCommandBars)
{
    CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(pCommandBars);
    pPopup->SetOwner(pWnd);
    pPopup->SetCommandTarget(pWndTarget);
    UINT nReturn = FALSE;
    if (pPopup->LoadMenu(pMenu, TRUE))
        nReturn = TrackPopupBar(pPopup, nFlags, x, y, rcExclude);
    pPopup->InternalRelease();
    return nReturn;
}

UINT CXTPCommandBars::TrackPopupBar(CXTPPopupBar* pPopup, UINT nFlags, int x, int y, LPCRECT rcExclude)
{
    UINT nReturn = TRUE;
    UINT nCommand = 0;
    if (nFlags & TPM_RETURNCMD)
        pPopup->SetReturnCmd(&nCommand);
    pPopup->m_bRightButtonSelects = (nFlags & TPM_RIGHTBUTTON) != 0;
    pPopup->SetNoNotify((nFlags & TPM_NONOTIFY) != 0);
    if (nFlags & TPM_RIGHTALIGN)
        pPopup->SetPopupFlags(xtpPopupLeft);
    if (!pPopup->GetKeepPopups()) {
        XTPMouseManager()->SendTrackLost();
        XTPMouseManager()->SetIgnoreRelease();
        ::ReleaseCapture();
    }
    if (!pPopup->Popup(x, y, rcExclude)) {
        pPopup->SetReturnCmd(nullptr);
        return FALSE;
    }

    MSG msg;
    while (pPopup->GetTrackingMode()) {
        if (!::GetMessageA(&msg, nullptr, 0, 0)) {
            // The program is quitting: the menu closes and the quit stays
            // queued for the loop that owns it.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            pPopup->SetTrackingMode(FALSE, TRUE, FALSE);
            break;
        }
        if (!pPopup->GetTrackingMode()) {
            // The message that closed the popup belongs to the window beneath.
            ::PostMessageA(msg.hwnd, msg.message, msg.wParam, msg.lParam);
            break;
        }
        if (msg.message == WM_KICKIDLE)
            continue;
        CWinThread* pThread = AfxGetThread();
        if (!pThread || !pThread->PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    if (nFlags & TPM_RETURNCMD)
        nReturn = nCommand;
    pPopup->SetReturnCmd(nullptr);
    return nReturn;
}

// Docking ------------------------------------------------------------------------

BOOL CXTPCommandBars::EnableDocking()
{
    if (!m_pFrame || !m_pFrame->GetSafeHwnd())
        return FALSE;
    CXTPDockBar* pDocks[4] = {nullptr, nullptr, nullptr, nullptr};
    for (int i = 0; i < 4; ++i) {
        pDocks[i] = new CXTPDockBar(this);
        if (!pDocks[i]->Create(m_pFrame, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | kDockBarStyles[i],
                               kDockBarIds[i])) {
            for (CXTPDockBar* pDock : pDocks)
                delete pDock;
            return FALSE;
        }
    }
    for (int i = 0; i < 4; ++i) {
        delete m_pDocks[i];
        m_pDocks[i] = pDocks[i];
    }
    return TRUE;
}

CXTPDockBar* CXTPCommandBars::GetDockBar(int nPosition) const
{
    return nPosition >= 0 && nPosition < 4 ? m_pDocks[nPosition] : nullptr;
}

CXTPToolBar* CXTPCommandBars::Add(LPCTSTR lpszName, int nBarPosition, CRuntimeClass* pToolbarClass)
{
    CRuntimeClass* pClass = pToolbarClass ? pToolbarClass : RUNTIME_CLASS(CXTPToolBar);
    if (!pClass->IsDerivedFrom(RUNTIME_CLASS(CXTPToolBar)))
        return nullptr;
    auto* pBar = static_cast<CXTPToolBar*>(pClass->CreateObject());
    if (!pBar)
        return nullptr;
    pBar->SetCommandBars(this);
    pBar->EnableDocking(0x3F);
    pBar->SetTitle(lpszName);
    if (!pBar->SetPosition(nBarPosition)) {
        pBar->InternalRelease();
        return nullptr;
    }
    m_barList.push_back(pBar);
    return pBar;
}

CXTPToolBar* CXTPCommandBars::AddCustomBar(LPCTSTR lpszName, UINT nID, BOOL bTearOffBar)
{
    auto* pBar = new CXTPToolBar;
    pBar->SetCommandBars(this);
    if (m_pFrame && m_pFrame->GetSafeHwnd()) {
        CreateBarInfo info{pBar, FALSE, FALSE, TRUE, bTearOffBar, lpszName, nID};
        m_pFrame->SendMessage(WM_CREATE_COMMAND_BAR, 0, reinterpret_cast<LPARAM>(&info));
    }
    if (!pBar->GetDockContext())
        pBar->EnableDocking(0x3F);
    pBar->SetTitle(lpszName);
    if (!pBar->SetPosition(bTearOffBar ? xtpBarFloating : xtpBarTop)) {
        pBar->InternalRelease();
        return nullptr;
    }
    m_barList.push_back(pBar);
    pBar->SetBarID(nID);
    pBar->SetBuiltIn(FALSE);
    pBar->SetTearOff(bTearOffBar);
    if (!bTearOffBar)
        RecalcFrameLayout();
    OnToolBarAdded(pBar);
    return pBar;
}

void CXTPCommandBars::Remove(CXTPCommandBar* pBar)
{
    if (std::find(m_barList.begin(), m_barList.end(), pBar) == m_barList.end())
        return;
    if (pBar->GetSafeHwnd())
        pBar->ShowWindow(SW_HIDE);
    pBar->m_bVisible = FALSE;
    auto* pToolBar = DYNAMIC_DOWNCAST(CXTPToolBar, pBar);
    if (pToolBar && pToolBar->GetDockBar()) {
        pToolBar->GetDockBar()->RemoveCommandBar(pToolBar);
        RecalcFrameLayout();
    }
    if (pToolBar)
        OnToolBarRemoved(pToolBar);
    auto it = std::find(m_barList.begin(), m_barList.end(), pBar);
    if (it != m_barList.end()) {
        m_barList.erase(it);
        pBar->InternalRelease();
    }
}

void CXTPCommandBars::OnToolBarRemoved(CXTPToolBar* pBar)
{
    if (reinterpret_cast<CXTPCommandBar*>(m_pMenuBar) == pBar)
        m_pMenuBar = nullptr;
}

BOOL CXTPCommandBars::DockCommandBar(CXTPToolBar* pBar, int nPosition)
{
    CXTPDockBar* pDock = GetDockBar(nPosition);
    if (!pDock || !pBar->CreateToolBar(m_pFrame, FALSE))
        return FALSE;
    pDock->DockCommandBar(pBar);
    pBar->m_barPosition = pDock->GetPosition();
    return TRUE;
}

BOOL CXTPCommandBars::DockCommandBar(CXTPToolBar* pBar, LPCRECT lpRect, CXTPDockBar* pDockBar)
{
    if (!pDockBar || !pBar->CreateToolBar(m_pFrame, FALSE))
        return FALSE;
    pDockBar->DockCommandBar(pBar, lpRect);
    pBar->m_barPosition = pDockBar->GetPosition();
    return TRUE;
}

BOOL CXTPCommandBars::FloatCommandBar(CXTPToolBar* pBar)
{
    const BOOL bWasDocked = pBar->GetSafeHwnd() && pBar->GetDockBar();
    if (!pBar->CreateToolBar(m_pFrame, TRUE))
        return FALSE;
    if (CXTPDockBar* pDock = pBar->GetDockBar())
        pDock->RemoveCommandBar(pBar);
    pBar->m_barPosition = xtpBarFloating;
    if (bWasDocked) {
        // A child's place means nothing on the screen: it floats where it last floated.
        const CPoint pt = pBar->GetDockContext() ? pBar->GetDockContext()->m_ptMRUFloatPos : CPoint(100, 100);
        pBar->SetWindowPos(nullptr, pt.x, pt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    pBar->OnRecalcLayout();
    return TRUE;
}

CXTPDockBar* CXTPCommandBars::CanDock(CPoint pt, CXTPDockBar* pPreferred) const
{
    auto near = [pt](CXTPDockBar* pDock) {
        if (!pDock || !pDock->GetSafeHwnd())
            return false;
        CRect rc;
        pDock->GetWindowRect(&rc);
        rc.InflateRect(20, 20);
        return rc.PtInRect(pt) != FALSE;
    };
    if (near(pPreferred))
        return pPreferred;
    for (CXTPDockBar* pDock : m_pDocks)
        if (near(pDock))
            return pDock;
    return nullptr;
}

void CXTPCommandBars::OnSetPreviewMode(BOOL bPreview)
{
    const std::vector<CXTPCommandBar*> bars = m_barList;
    for (CXTPCommandBar* pBar : bars)
        if (auto* pToolBar = DYNAMIC_DOWNCAST(CXTPToolBar, pBar))
            pToolBar->OnSetPreviewMode(bPreview);
}

// Menus of the bar area --------------------------------------------------------------

CXTPPopupBar* CXTPCommandBars::GetToolbarsPopup()
{
    CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(this);
    int nListed = 0;
    for (size_t i = 0; i < m_barList.size(); ++i) {
        CXTPCommandBar* pBar = m_barList[i];
        if (pBar->GetType() != xtpBarTypeNormal || !pBar->m_bCloseable || !pBar->m_bContextMenuPresent)
            continue;
        auto* pItem = new CToolbarsMenuItem;
        pPopup->GetControls()->Add(pItem, 0, nullptr, -1, TRUE);
        pItem->SetTag(i);
        pItem->SetCaption(pBar->GetTitle());
        pItem->SetFlags(xtpFlagManualUpdate);
        pItem->SetChecked(pBar->IsVisible());
        ++nListed;
    }
    if (m_bCustomizeAvail && nListed > 0) {
        CXTPControl* pCustomize = pPopup->GetControls()->Add(xtpControlButton, kIdCustomize, nullptr, -1, TRUE);
        pCustomize->SetBeginGroup(TRUE);
    }
    return pPopup;
}

void CXTPCommandBars::ContextMenu(int x, int y)
{
    if (m_bCustomizeMode)
        return;
    CXTPPopupBar* pPopup = GetToolbarsPopup();
    if (!pPopup)
        return;
    // A right-to-left site gets the menu on the left of the point.
    if (m_pFrame && m_pFrame->GetSafeHwnd() && (m_pFrame->GetExStyle() & WS_EX_LAYOUTRTL))
        pPopup->SetPopupFlags(xtpPopupLeft);
    if (pPopup->GetControlCount() > 0 && pPopup->Popup(x, y, nullptr)) {
        MSG msg;
        while (pPopup->GetTrackingMode()) {
            if (!::GetMessageA(&msg, nullptr, 0, 0)) {
                // The application is quitting: its own loop must see it.
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (msg.message != WM_KICKIDLE && !AfxPreTranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
    }
    pPopup->InternalRelease();
}

void CXTPCommandBars::GetHiddenControls(CXTPToolBar* pBar, CXTPPopupBar* pPopup)
{
    CXTPDockBar* pDock = pBar->GetDockBar();
    if (!pDock || pBar->GetPosition() == xtpBarFloating)
        return;
    std::vector<CXTPToolBar*> row;
    pDock->GetVisibleToolBarsInRow(pDock->FindBar(pBar), row);
    for (CXTPToolBar* pRowBar : row) {
        for (int i = 0; i < pRowBar->GetControlCount(); ++i) {
            CXTPControl* pControl = pRowBar->GetControl(i);
            if (pControl->GetHideFlags() != xtpHideWrap)
                continue;
            CXTPControl* pCopy = pPopup->GetControls()->AddClone(pControl);
            pCopy->SetHideFlags(xtpNoHide);
            pCopy->m_bBeginGroup = FALSE;
        }
    }
}

void CXTPCommandBars::GetToolbarOptions(CXTPToolBar* pBar, CXTPPopupBar* pPopup)
{
    std::vector<CXTPToolBar*> bars;
    CXTPDockBar* pDock = pBar->GetDockBar();
    if (pDock && pBar->GetPosition() != xtpBarFloating)
        pDock->GetVisibleToolBarsInRow(pDock->FindBar(pBar), bars);
    else
        bars.push_back(pBar);
    for (CXTPToolBar* pRowBar : bars) {
        CXTPControl* pItem = pPopup->GetControls()->Add(xtpControlPopup, 0, nullptr, -1, TRUE);
        pItem->SetCaption(pRowBar->GetTitle());
        pItem->SetFlags(xtpFlagManualUpdate);
        const BOOL bEnabled = m_bCustomizeAvail && pRowBar->IsBuiltIn() && pRowBar->IsCustomizable();
        pItem->SetEnabled(bEnabled);
        if (bEnabled)
            if (auto* pSub = DYNAMIC_DOWNCAST(CXTPPopupBar, pItem->GetCommandBar()))
                pRowBar->BuildCustomizePopup(pSub);
    }
    if (m_bCustomizeAvail) {
        CXTPControl* pCustomize = pPopup->GetControls()->Add(xtpControlButton, kIdCustomize, nullptr, -1, TRUE);
        pCustomize->SetBeginGroup(TRUE);
    }
}
