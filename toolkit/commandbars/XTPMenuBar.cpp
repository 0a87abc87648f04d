#include "toolkit/commandbars/XTPMenuBar.h"

#include "platform/mfc/FrameWnd.h"
#include "platform/mfc/Menu.h"
#include "platform/win/MessageBox.h"
#include "platform/win/WindowPos.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPHookManager.h"
#include "toolkit/commandbars/XTPImageManager.h"
#include "toolkit/commandbars/XTPMouseManager.h"
#include "toolkit/commandbars/XTPResourceManager.h"
#include "toolkit/res/ToolkitIds.h"


IMPLEMENT_SERIAL(CXTPMenuBar, CXTPToolBar, 1)

namespace {

// The child window's system-menu control.
constexpr int kIdMdiSysMenu = 9406;

} // namespace

BEGIN_MESSAGE_MAP(CXTPMenuBar, CXTPToolBar)
ON_WM_TIMER()
END_MESSAGE_MAP()

CXTPMenuBar::CXTPMenuBar()
{
    m_barType = xtpBarTypeMenuBar;
}

CXTPMenuBar::~CXTPMenuBar()
{
    XTPHookManager()->RemoveAll(this);
    if (m_hMenuDefault)
        ::DestroyMenu(m_hMenuDefault);
}

BOOL CXTPMenuBar::LoadMenuBar(UINT nIDResource)
{
    if (nIDResource != 0) {
        CMenu menu;
        if (!menu.LoadMenu(nIDResource) || !LoadMenu(&menu) || GetControlCount() == 0)
            return FALSE;
        m_nIDResource = m_nIDResourceCurrent = nIDResource;
    }

    CWnd* pSite = GetSite();
    m_bMdiApp = FALSE; // the framework has no multiple-document frame
    if (pSite && pSite->GetSafeHwnd())
        XTPHookManager()->SetHook(pSite->m_hWnd, this);
    SyncActiveMdiChild();

    // The system menu's items show these glyphs.
    static const UINT kSystemCommands[] = {SC_RESTORE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE};
    if (CXTPImageManager* pImageManager = GetImageManager())
        pImageManager->SetIcons(XTP_IDB_SYSTEM_COMMANDS, kSystemCommands, 4, CSize(16, 16));

    if (pSite && pSite->GetSafeHwnd()) {
        HMENU hMenu = ::GetMenu(pSite->m_hWnd);
        if (hMenu && hMenu != m_hMenuDefault) {
            if (m_hMenuDefault)
                ::DestroyMenu(m_hMenuDefault);
            m_hMenuDefault = hMenu;
        }
        ::SetMenu(pSite->m_hWnd, nullptr);
    }
    return TRUE;
}

HWND CXTPMenuBar::GetActiveMdiChild(BOOL* pbMaximized) const
{
    if (pbMaximized)
        *pbMaximized = FALSE;
    return nullptr;
}

void CXTPMenuBar::SyncActiveMdiChild()
{
    HWND hwndChild = GetActiveMdiChild();
    if (hwndChild == m_hwndHookedChild)
        return;
    if (m_hwndHookedChild)
        XTPHookManager()->RemoveHook(m_hwndHookedChild, this);
    m_hwndHookedChild = hwndChild;
    if (hwndChild)
        XTPHookManager()->SetHook(hwndChild, this);
}

void CXTPMenuBar::UpdateMDIButtons()
{
    BOOL bMaximized = FALSE;
    const HWND hwndChild = GetActiveMdiChild(&bMaximized);
    if (hwndChild && bMaximized)
        return;
    // No maximised child: none of its buttons may stay.
    BOOL bRemoved = FALSE;
    for (int nID : {kIdMdiSysMenu, XTP_IDS_MINIMIZE_WINDOW, XTP_IDS_RESTORE_WINDOW, XTP_IDS_CLOSE_WINDOW}) {
        for (int i = GetControlCount() - 1; i >= 0; --i) {
            CXTPControl* pControl = GetControl(i);
            if (pControl->IsTemporary() && pControl->GetID() == nID) {
                GetControls()->Remove(pControl);
                bRemoved = TRUE;
            }
        }
    }
    if (bRemoved)
        OnRecalcLayout();
}

int CXTPMenuBar::OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult)
{
    if (hWnd && hWnd == m_hwndHookedChild && (nMessage == WM_SIZE || nMessage == WM_WINDOWPOSCHANGED)) {
        PostMessage(WM_TIMER, XTP_TID_MDI_REFRESH, 0);
        return 0;
    }
    if (hWnd && nMessage == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_KEYMENU && lParam == 0) {
        // F10 or Alt alone: the bar takes the keyboard instead of the frame's menu loop.
        CXTPCommandBars* pCommandBars = GetCommandBars();
        if (!IsVisible() || XTPMouseManager()->IsTrackingLocked() || ::GetKeyState(VK_SHIFT) < 0 ||
            (pCommandBars && pCommandBars->IsCustomizeMode()))
            return 0;
        SetTrackingMode(TRUE, FALSE, FALSE);
        SetSelected(GetControls()->GetNext(-1, +1, TRUE, FALSE, TRUE), TRUE);
        lResult = 0;
        return 1;
    }
    // Keys come from the keyboard hook only; the frame's own key messages
    // were let through by it and must not move the selection twice.
    if (hWnd)
        return 0;
    return CXTPToolBar::OnHookMessage(hWnd, nMessage, wParam, lParam, lResult);
}

void CXTPMenuBar::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == XTP_TID_MDI_REFRESH) {
        SyncActiveMdiChild();
        if (IsVisible())
            UpdateMDIButtons();
    }
    CXTPCommandBar::OnTimer(nIDEvent);
}

void CXTPMenuBar::Reset()
{
    CXTPControls* pOriginal = GetControls()->GetOriginalControls();
    if (!pOriginal && m_nIDResourceCurrent != 0) {
        CString strFormat, strMessage;
        XTPGetResourceManager()->LoadString(&strFormat, XTP_IDS_CONFIRM_RESET);
        strMessage.Format(strFormat, static_cast<LPCTSTR>(GetTitle()));
        if (::MessageBoxA(GetSafeHwnd(), strMessage, nullptr, MB_OKCANCEL | MB_ICONWARNING) == IDOK) {
            CMenu menu;
            if (menu.LoadMenu(m_nIDResourceCurrent))
                LoadMenu(&menu);
        }
    } else if (pOriginal) {
        CXTPToolBar::Reset();
    }
    SyncActiveMdiChild();
    if (IsVisible())
        UpdateMDIButtons();
    OnUpdateCmdUI(TRUE);
    OnRecalcLayout();
}

void CXTPMenuBar::Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive)
{
    CXTPToolBar::Copy(pCommandBar, bRecursive);
    if (auto* pMenuBar = DYNAMIC_DOWNCAST(CXTPMenuBar, pCommandBar)) {
        m_nIDResource = pMenuBar->m_nIDResource;
        m_nIDResourceCurrent = pMenuBar->m_nIDResourceCurrent;
    }
}
