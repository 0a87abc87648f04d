#include "toolkit/commandbars/XTPCommandBar.h"

#include "platform/mfc/Archive.h"

#include "platform/base/CodePage.h"
#include "platform/mfc/FrameWnd.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/Capture.h"
#include "platform/win/OptionalLibrary.h"
#include "platform/controls/ToolTip.h"
#include "platform/mfc/Resource.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPCustomizeDropSource.h"
#include "toolkit/commandbars/XTPCommandBarsOptions.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPImageManager.h"
#include "toolkit/commandbars/XTPMouseManager.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPShortcutManager.h"
#include "toolkit/controls/XTDrawHelpers.h"
#include "toolkit/controls/XTMemDC.h"

#include <cstdlib>
#include <cstring>
#include <vector>

IMPLEMENT_SERIAL(CXTPCommandBar, CWnd, VERSIONABLE_SCHEMA | 8)

// The default message of the status bar.
#ifndef AFX_IDS_IDLEMESSAGE
#define AFX_IDS_IDLEMESSAGE 0xE001
#endif

// Accessibility answers.
#define XTP_ROLE_SYSTEM_MENUITEM 12
#define XTP_STATE_SYSTEM_SELECTED 0x2
#define XTP_STATE_SYSTEM_FOCUSED 0x4
#define XTP_STATE_SYSTEM_FOCUSABLE 0x100000
#define XTP_STATE_SYSTEM_SELECTABLE 0x200000

namespace {

typedef void(WINAPI* PFNNOTIFYWINEVENT)(DWORD event, HWND hwnd, LONG idObject, LONG idChild);

// Looked up once: systems without it send no accessibility events.
PFNNOTIFYWINEVENT NotifyWinEventProc()
{
    static const PFNNOTIFYWINEVENT pfn = reinterpret_cast<PFNNOTIFYWINEVENT>(
        reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleA("USER32"), "NotifyWinEvent")));
    return pfn;
}

constexpr DWORD kEventObjectFocus = 0x8005;
constexpr LONG kObjIdMenu = -3;

} // namespace

void CXTPCommandBar::NotifyKeyboardFocus(int nIndex)
{
    if (m_hWnd)
        if (PFNNOTIFYWINEVENT pfn = NotifyWinEventProc())
            pfn(kEventObjectFocus, m_hWnd, kObjIdMenu, nIndex + 1);
}

BEGIN_MESSAGE_MAP(CXTPCommandBar, CWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_PAINT()
ON_WM_TIMER()
ON_WM_MOUSEMOVE()
ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
ON_WM_NCMOUSEMOVE()
ON_MESSAGE(WM_PRINT, OnPrint)
ON_MESSAGE(WM_PRINTCLIENT, OnPrint)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_RBUTTONUP()
ON_WM_NCHITTEST()
ON_WM_NCLBUTTONDOWN()
ON_MESSAGE(WM_HELPHITTEST, OnHelpHitTest)
ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdate)
ON_MESSAGE(WM_GETOBJECT, OnGetObject)
END_MESSAGE_MAP()

CXTPCommandBar::CXTPCommandBar()
{
    NotifyWinEventProc();
    m_rcMarker.SetRectEmpty();
    m_pControls = new CXTPControls;
    m_pControls->SetParent(this);
}

CXTPCommandBar::~CXTPCommandBar()
{
    // The window goes while the object is still a bar.
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
    if (m_bTracking)
        SetTrackingMode(0, TRUE, FALSE);
    XTPHookManager()->RemoveAll(this);
    if (XTPMouseManager()->GetSelectedBar() == this)
        XTPMouseManager()->SetSelectedBar(nullptr);
    if (m_pControls) {
        m_pControls->SetParent(nullptr);
        m_pControls->InternalRelease();
        m_pControls = nullptr;
    }
    if (m_pPaintManager)
        m_pPaintManager->InternalRelease();
    if (m_pImageManager)
        m_pImageManager->InternalRelease();
}

BOOL CXTPCommandBar::LoadToolBar(UINT nIDResource, BOOL bLoadIcons)
{
    m_pControls->RemoveAll();
    LPCTSTR lpszName = MAKEINTRESOURCEA(nIDResource);
    HINSTANCE hInst = AfxFindResourceHandle(lpszName, RT_TOOLBAR);
    HRSRC hRsrc = ::FindResourceA(hInst, lpszName, RT_TOOLBAR);
    if (!hRsrc)
        return FALSE;
    HGLOBAL hGlobal = ::LoadResource(hInst, hRsrc);
    const auto* pData = hGlobal ? static_cast<const WORD*>(::LockResource(hGlobal)) : nullptr;
    const DWORD nSize = ::SizeofResource(hInst, hRsrc);
    // Version, bitmap width and height, item count, then one id per item.
    if (!pData || nSize < 4 * sizeof(WORD))
        return FALSE;
    const int nCount = pData[3];
    if (nSize < (4 + static_cast<DWORD>(nCount)) * sizeof(WORD))
        return FALSE;
    const CSize szIcon(pData[1], pData[2]);
    std::vector<UINT> ids(pData + 4, pData + 4 + nCount);
    SetButtons(ids.data(), nCount);

    BOOL bResult = TRUE;
    if (bLoadIcons) {
        CXTPImageManager* pImageManager = GetImageManager();
        if (!pImageManager || !pImageManager->SetIcons(nIDResource, ids.data(), nCount, szIcon, xtpImageNormal))
            bResult = FALSE;
        if (szIcon.cx != 16)
            m_szIcons = szIcon;
    }
    return bResult;
}

BOOL CXTPCommandBar::SetButtons(const UINT* pButtons, int nCount)
{
    BOOL bGroup = FALSE;
    CWnd* pSite = GetSite();
    for (int i = 0; i < nCount; ++i) {
        int nID = static_cast<int>(pButtons[i]);
        if (nID == 0) {
            bGroup = TRUE;
            continue;
        }
        int controlType = xtpControlButton;
        int buttonStyle = xtpButtonAutomatic;
        CXTPControl* pControl = nullptr;
        if (pSite && pSite->GetSafeHwnd()) {
            CreateBarControlInfo info{nID, nullptr, TRUE, i, nullptr, this, m_strTitle, controlType, buttonStyle};
            if (pSite->SendMessage(WM_CREATE_BAR_CONTROL, 0, reinterpret_cast<LPARAM>(&info))) {
                nID = info.nID;
                controlType = info.controlType;
                buttonStyle = info.buttonStyle;
                pControl = info.pControl;
            }
        }
        if (!pControl) {
            pControl = m_pControls->Add(controlType, nID);
            if (!pControl)
                continue;
            pControl->SetStyle(buttonStyle);
            m_dwPendingFlags |= XTP_PENDING_LAYOUT;
            if (controlType == xtpControlPopup)
                pControl->SetIconId(nID);
        } else {
            m_pControls->Add(pControl, nID);
        }
        if (bGroup) {
            pControl->SetBeginGroup(TRUE);
            bGroup = FALSE;
        }
    }
    return TRUE;
}

INT_PTR CXTPCommandBar::OnToolHitTest(CPoint point, TTTOOLINFOA* pTI) const
{
    const INT_PTR nHit = CWnd::OnToolHitTest(point, pTI);
    if (nHit != -1)
        return nHit;
    CXTPMouseManager* pMouseManager = XTPMouseManager();
    if (pMouseManager->GetTrackedCount() > 0 && !pMouseManager->IsTracked(const_cast<CXTPCommandBar*>(this)))
        return -1;
    if (pMouseManager->IsTrackingLocked())
        return -1;
    if (m_barType != xtpBarTypePopup && m_bTracking == 2)
        return -1;
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars && !pCommandBars->GetOptions()->bToolBarScreenTips)
        return -1;

    CXTPControl* pControl = nullptr;
    for (int i = 0; i < GetControlCount() && !pControl; ++i) {
        CXTPControl* p = GetControl(i);
        if (p->IsVisible() && p->GetRect().PtInRect(point))
            pControl = p;
    }
    if (!pControl)
        return -1;
    CRect rc = pControl->GetRect();
    int nID = pControl->GetID();
    CString strTip = pControl->GetTooltip(&point, &rc, &nID);
    if (strTip.IsEmpty())
        return -1;
    CString strShortcut;
    if (pCommandBars && pCommandBars->GetOptions()->bToolBarAccelTips &&
        XTPShortcutManager()->FindDefaultAccelerator(static_cast<UINT>(nID), strShortcut, GetFrameSite()))
        strTip += " (" + strShortcut + ")";
    if (pTI && pTI->cbSize >= 40) {
        pTI->hwnd = m_hWnd;
        pTI->rect = rc;
        pTI->uId = static_cast<UINT_PTR>(nID);
        // The framework frees the copy once the tool holds the text.
        pTI->lpszText = static_cast<LPSTR>(std::malloc(static_cast<size_t>(strTip.GetLength()) + 1));
        if (pTI->lpszText)
            std::memcpy(pTI->lpszText, static_cast<LPCTSTR>(strTip), static_cast<size_t>(strTip.GetLength()) + 1);
    }
    return nID == 0 ? -1 : nID;
}

BOOL CXTPCommandBar::Popup(CXTPControl*, BOOL)
{
    return FALSE;
}

// Controls -------------------------------------------------------------------

CXTPControl* CXTPCommandBar::GetControl(int nIndex) const
{
    return m_pControls ? m_pControls->GetAt(nIndex) : nullptr;
}

int CXTPCommandBar::GetControlCount() const
{
    return m_pControls ? m_pControls->GetCount() : 0;
}

void CXTPCommandBar::SetControls(CXTPControls* pControls)
{
    if (m_pControls) {
        m_pControls->SetParent(nullptr);
        m_pControls->InternalRelease();
    }
    m_pControls = pControls;
    if (m_pControls)
        m_pControls->SetParent(this);
}

void CXTPCommandBar::OnControlsChanged()
{
    m_nSelected = -1;
    m_nPopuped = -1;
    m_dwPendingFlags |= XTP_PENDING_LAYOUT;
}

void CXTPCommandBar::Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive)
{
    m_barType = pCommandBar->m_barType;
    m_barPosition = pCommandBar->m_barPosition;
    m_nBarID = pCommandBar->m_nBarID;
    m_dwFlags = pCommandBar->m_dwFlags;
    m_dwStyle = pCommandBar->m_dwStyle;
    m_strTitle = pCommandBar->m_strTitle;
    m_bCustomizable = pCommandBar->m_bCustomizable;
    m_nMRUWidth = pCommandBar->m_nMRUWidth;
    m_szIcons = pCommandBar->m_szIcons;
    m_szButtons = pCommandBar->m_szButtons;
    m_pCommandBars = pCommandBar->m_pCommandBars;
    SetControls(pCommandBar->GetControls()->Duplicate(bRecursive));
}

CXTPCommandBar* CXTPCommandBar::Clone(BOOL bRecursive)
{
    auto* pBar = static_cast<CXTPCommandBar*>(GetRuntimeClass()->CreateObject());
    if (pBar)
        pBar->Copy(this, bRecursive);
    return pBar;
}

int CXTPCommandBar::IsPointInside(CPoint pt) const
{
    CRect rc;
    GetWindowRect(&rc);
    return rc.PtInRect(pt) ? 1 : 0;
}

// Where the bar belongs -------------------------------------------------------

CXTPCommandBars* CXTPCommandBar::GetCommandBars() const
{
    for (const CXTPCommandBar* p = this; p; p = p->GetParentCommandBar())
        if (p->m_pCommandBars)
            return p->m_pCommandBars;
    return nullptr;
}

CXTPCommandBar* CXTPCommandBar::GetRootParent() const
{
    const CXTPCommandBar* p = this;
    while (CXTPCommandBar* pParent = p->GetParentCommandBar())
        p = pParent;
    return const_cast<CXTPCommandBar*>(p);
}

CXTPPaintManager* CXTPCommandBar::GetPaintManager() const
{
    if (m_pPaintManager)
        return m_pPaintManager;
    if (CXTPCommandBars* pCommandBars = GetCommandBars())
        return pCommandBars->GetPaintManager();
    if (CXTPPaintManager* pRootManager = GetRootParent()->m_pPaintManager)
        return pRootManager;
    return XTPPaintManager();
}

void CXTPCommandBar::SetPaintManager(CXTPPaintManager* pPaintManager)
{
    if (m_pPaintManager)
        m_pPaintManager->InternalRelease();
    m_pPaintManager = pPaintManager;
}

CXTPImageManager* CXTPCommandBar::GetImageManager() const
{
    if (m_pImageManager)
        return m_pImageManager;
    if (CXTPCommandBars* pCommandBars = GetCommandBars())
        return pCommandBars->GetImageManager();
    if (CXTPImageManager* pRootManager = GetRootParent()->m_pImageManager)
        return pRootManager;
    return XTPImageManager();
}

void CXTPCommandBar::SetImageManager(CXTPImageManager* pImageManager)
{
    if (m_pImageManager)
        m_pImageManager->InternalRelease();
    m_pImageManager = pImageManager;
}

CWnd* CXTPCommandBar::GetSite() const
{
    if (CXTPCommandBars* pCommandBars = GetCommandBars())
        return pCommandBars->GetSite();
    const CXTPCommandBar* pRoot = GetRootParent();
    if (pRoot->m_pOwner)
        return pRoot->m_pOwner;
    if (m_hWnd) {
        if (CWnd* pOwner = GetOwner())
            return pOwner;
        if (CWnd* pParent = GetParent())
            return pParent;
    }
    return AfxGetMainWnd();
}

CWnd* CXTPCommandBar::GetCommandTarget() const
{
    const CXTPCommandBar* pRoot = GetRootParent();
    return pRoot->m_pCommandTarget ? pRoot->m_pCommandTarget : GetSite();
}

CFrameWnd* CXTPCommandBar::GetFrameSite() const
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    return pCommandBars ? DYNAMIC_DOWNCAST(CFrameWnd, pCommandBars->GetSite()) : nullptr;
}

BOOL CXTPCommandBar::IsCustomizeMode() const
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    return pCommandBars ? pCommandBars->IsCustomizeMode() : FALSE;
}

BOOL CXTPCommandBar::IsLayoutRTL() const
{
    return m_hWnd && (GetExStyle() & WS_EX_LAYOUTRTL) != 0;
}

BOOL CXTPCommandBar::IsTextBelowIcons() const
{
    if (m_nTextBelowIcons != 2)
        return m_nTextBelowIcons;
    CXTPCommandBars* pCommandBars = GetCommandBars();
    return pCommandBars ? pCommandBars->GetOptions()->bShowTextBelowIcons : FALSE;
}

CSize CXTPCommandBar::GetIconSize() const
{
    if (m_szIcons.cx > 0 && m_szIcons.cy > 0)
        return m_szIcons;
    return GetCommandBarsIconSize(GetCommandBars(), m_barType == xtpBarTypePopup);
}

CSize CXTPCommandBar::GetCommandBarsIconSize(CXTPCommandBars* pCommandBars, BOOL bPopup)
{
    if (!pCommandBars)
        return CSize(16, 16);
    const CXTPCommandBarsOptions* pOptions = pCommandBars->GetOptions();
    if (bPopup)
        return pOptions->szPopupIcons;
    CSize sz = pOptions->szIcons;
    if (sz.cx <= 0 || sz.cy <= 0)
        sz = CSize(16, 16);
    if (pOptions->bLargeIcons)
        sz = (pOptions->szLargeIcons.cx > 0 && pOptions->szLargeIcons.cy > 0) ? pOptions->szLargeIcons
                                                                               : CSize(sz.cx * 2, sz.cy * 2);
    return sz;
}

CSize CXTPCommandBar::GetButtonSize() const
{
    if (m_szButtons.cx > 0 && m_szButtons.cy > 0)
        return m_szButtons;
    const CSize szIcon = GetIconSize();
    return CSize(szIcon.cx + 7, szIcon.cy + 7);
}

// Redrawing -------------------------------------------------------------------

void CXTPCommandBar::SetTitle(LPCTSTR lpszTitle)
{
    m_strTitle = lpszTitle;
    Redraw();
}

void CXTPCommandBar::Redraw()
{
    m_dwPendingFlags &= ~XTP_PENDING_REDRAW;
    if (m_nLockRedraw > 0) {
        m_dwPendingFlags |= XTP_PENDING_REDRAW;
        return;
    }
    if (::IsWindow(m_hWnd))
        Invalidate(FALSE);
}

void CXTPCommandBar::UnlockRedraw()
{
    if (m_nLockRedraw > 0 && --m_nLockRedraw == 0 && (m_dwPendingFlags & XTP_PENDING_REDRAW))
        Redraw();
}

void CXTPCommandBar::InvalidateParents()
{
    for (CXTPCommandBar* p = this; p; p = p->GetParentCommandBar())
        if (::IsWindow(p->m_hWnd))
            p->Invalidate(FALSE);
}

BOOL CXTPCommandBar::LoadMenu(CMenu* pMenu, BOOL bRemoveControls)
{
    if (!pMenu || !::IsMenu(pMenu->m_hMenu))
        return FALSE;
    if (bRemoveControls)
        m_pControls->RemoveAll();
    if (!m_pControls->LoadMenu(pMenu))
        return FALSE;
    if (m_hWnd)
        if (CFrameWnd* pFrame = GetParentFrame())
            pFrame->m_nIdleFlags |= CFrameWnd::idleNotify | CFrameWnd::idleLayout;
    return TRUE;
}

void CXTPCommandBar::OnControlSelected(int bSelected, CXTPControl* pControl)
{
    CWnd* pSite = GetSite();
    if (!pSite || !::IsWindow(pSite->m_hWnd))
        return;
    const CString strDescription = pControl ? pControl->GetDescription() : CString();
    if (bSelected && !strDescription.IsEmpty())
        pSite->SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(strDescription)));
    else
        pSite->SendMessage(WM_POPMESSAGESTRING, AFX_IDS_IDLEMESSAGE, 0);
    pSite->SendMessage(WM_CONTROL_SELECTED, bSelected ? reinterpret_cast<WPARAM>(pControl) : 0, 0);
}

// Command updates --------------------------------------------------------------

void CXTPCommandBar::UpdateDocTemplateControls()
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    const UINT nResource = pCommandBars ? pCommandBars->GetActiveMenuResource() : 0;
    if (nResource == 0)
        return;
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        BOOL bValue = FALSE;
        BOOL bHide = FALSE;
        if (!pControl->GetAssignedTemplates().IsEmpty() && !pControl->GetAssignedTemplates().Lookup(nResource, bValue))
            bHide = TRUE;
        if (!pControl->GetExcludedTemplates().IsEmpty() && pControl->GetExcludedTemplates().Lookup(nResource, bValue))
            bHide = TRUE;
        if (pControl->SetHideFlag(xtpHideDocTemplate, bHide))
            m_dwPendingFlags |= XTP_PENDING_LAYOUT;
    }
}

void CXTPCommandBar::OnUpdateCmdUI(BOOL bDisableIfNoHndler, BOOL)
{
    if (!::IsWindow(m_hWnd) || !IsWindowVisible())
        return;
    UpdateDocTemplateControls();
    CWnd* pTarget = GetCommandTarget();
    if (!pTarget)
        return;
    const BOOL bNoNotify = GetRootParent()->m_bNoNotify;

    CXTPControlCmdUI state;
    state.m_pOther = this;
    state.m_pBar = this;
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        if (pControl->GetPressed()) {
            pControl->SetPressed(0);
            DelayRedraw();
        }
        if (bNoNotify || (pControl->GetFlags() & xtpFlagManualUpdate))
            continue;
        state.m_nIndex = static_cast<UINT>(i);
        state.m_nIndexMax = static_cast<UINT>(GetControlCount());
        state.m_nID = static_cast<UINT>(pControl->GetID());
        state.m_bEnableChanged = FALSE;
        if (CWnd::OnCmdMsg(0, static_cast<int>(MAKELONG(0xFFFF, 0xBD11)), &state, nullptr))
            continue;
        if (CWnd::OnCmdMsg(state.m_nID, CN_UPDATE_COMMAND_UI, &state, nullptr))
            continue;
        if (IsCustomizeMode())
            pControl->SetEnabled(TRUE);
        else
            state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
    if (m_dwPendingFlags & XTP_PENDING_REDRAW)
        Invalidate(FALSE);
    if (m_dwPendingFlags & XTP_PENDING_LAYOUT)
        OnRecalcLayout();
    m_dwPendingFlags = 0;
    UpdateDialogControls(pTarget, bDisableIfNoHndler);
}

LRESULT CXTPCommandBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam)
{
    OnUpdateCmdUI(static_cast<BOOL>(wParam), static_cast<BOOL>(lParam));
    return 0;
}

LRESULT CXTPCommandBar::OnInitialUpdate(WPARAM, LPARAM)
{
    OnUpdateCmdUI(TRUE, FALSE);
    return 0;
}

// Painting ---------------------------------------------------------------------

void CXTPCommandBar::DrawCommandBar(CDC* pDC, CRect)
{
    CXTPPaintManager* pPaintManager = GetPaintManager();
    if (!pPaintManager)
        return;
    pPaintManager->FillCommandBar(pDC, this);
    const BOOL bCustomize = IsCustomizeMode();
    if (m_dwStyle & CBRS_GRIPPER)
        pPaintManager->DrawCommandBarGripper(pDC, this, TRUE);
    BOOL bFirst = TRUE;
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        if (!pControl->IsVisible())
            continue;
        if (pControl->GetBeginGroup() && !bFirst)
            pPaintManager->DrawCommandBarSeparator(pDC, this, pControl, TRUE);
        bFirst = FALSE;
        CXTFontSelector font(pDC, pPaintManager->GetCommandBarFont(this, pControl->GetDefaultItem()));
        pControl->Draw(pDC);
        if (bCustomize && GetCommandBars()->GetDragControl() == pControl) {
            CRect rc = pControl->GetRect();
            pDC->Draw3dRect(rc, RGB(0, 0, 0), RGB(0, 0, 0));
            rc.DeflateRect(1, 1);
            pDC->Draw3dRect(rc, RGB(0, 0, 0), RGB(0, 0, 0));
        }
    }
    if (bCustomize && !m_rcMarker.IsRectEmpty())
        DrawDropMarker(pDC);
}

void CXTPCommandBar::OnPaint()
{
    PAINTSTRUCT ps;
    CDC* pPaintDC = BeginPaint(&ps);
    CRect rcClient;
    GetClientRect(&rcClient);
    {
        CXTBufferedDC dc(pPaintDC->m_hDC, rcClient);
        DrawCommandBar(&dc, rcClient);
    }
    EndPaint(&ps);
}

LRESULT CXTPCommandBar::OnPrint(WPARAM wParam, LPARAM)
{
    CDC* pDC = CDC::FromHandle(reinterpret_cast<HDC>(wParam));
    if (pDC) {
        CRect rcClient;
        GetClientRect(&rcClient);
        DrawCommandBar(pDC, rcClient);
    }
    return 0;
}

// Messages -----------------------------------------------------------------------

int CXTPCommandBar::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (m_barType != xtpBarTypePopup)
        EnableToolTips(TRUE);
    if (CXTPCommandBars* pCommandBars = GetCommandBars())
        pCommandBars->GetDropSource()->Register(this);
    return 0;
}

void CXTPCommandBar::OnDestroy()
{
    if (CXTPCommandBars* pCommandBars = GetCommandBars())
        if (CXTPCustomizeDropSource* pDropSource = pCommandBars->FindDropSource())
            pDropSource->Unregister(this);
    if (m_bTracking)
        SetTrackingMode(0, TRUE, FALSE);
    CWnd::OnDestroy();
}

CXTPControl* CXTPCommandBar::HitTestControl(CPoint point) const
{
    return m_pControls ? m_pControls->HitTest(point) : nullptr;
}

void CXTPCommandBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    CXTPControl* pControl = HitTestControl(point);
    if (!pControl) {
        CWnd::OnLButtonDown(nFlags, point);
        return;
    }
    if (IsCustomizeMode() && ((pControl->GetFlags() & xtpFlagNoMovable) || !IsCustomizable()))
        return;
    // Alt+drag moves a toolbar's control without the customize dialog.
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (!IsCustomizeMode() && pCommandBars && pCommandBars->IsCustomizeAvail() && m_barType == xtpBarTypeNormal &&
        IsCustomizable() && ::GetKeyState(VK_MENU) < 0 && pCommandBars->GetOptions()->bAltDragCustomization &&
        !(pControl->GetFlags() & xtpFlagNoMovable)) {
        pCommandBars->SetCustomizeMode(TRUE);
        pControl->OnCustomizeMouseDown(point);
        pCommandBars->SetCustomizeMode(FALSE);
        pCommandBars->RecalcFrameLayout();
        XTPMouseManager()->SendTrackLost();
        return;
    }
    pControl->OnClick(FALSE, point);
}

void CXTPCommandBar::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (IsCustomizeMode())
        return;
    if (CXTPControl* pControl = HitTestControl(point))
        pControl->OnLButtonUp(point);
    else
        CWnd::OnLButtonUp(nFlags, point);
}

void CXTPCommandBar::OnLButtonDblClk(UINT, CPoint point)
{
    if (IsCustomizeMode())
        return;
    if (CXTPControl* pControl = HitTestControl(point))
        pControl->OnLButtonDblClk(point);
}

void CXTPCommandBar::OnRButtonUp(UINT nFlags, CPoint point)
{
    CXTPControl* pControl = IsCustomizeMode() ? nullptr : HitTestControl(point);
    if (!pControl) {
        CWnd::OnRButtonUp(nFlags, point);
        return;
    }
    if (GetRootParent()->m_bRightButtonSelects)
        pControl->OnLButtonUp(point);
    else
        pControl->OnRButtonUp(point);
}

LRESULT CXTPCommandBar::OnNcHitTest(CPoint point)
{
    CFrameWnd* pFrame = GetFrameSite();
    if (pFrame && pFrame->m_bHelpMode) {
        CPoint ptClient = point;
        ScreenToClient(&ptClient);
        CXTPControl* pControl = HitTestControl(ptClient);
        if (pControl && pControl->GetID() == 0 &&
            (pControl->GetType() == xtpControlPopup || pControl->GetType() == xtpControlButtonPopup ||
             pControl->GetType() == xtpControlSplitButtonPopup))
            return HTMENU;
        return HTCLIENT;
    }
    return CWnd::OnNcHitTest(point);
}

void CXTPCommandBar::OnNcLButtonDown(UINT nHitTest, CPoint point)
{
    // In context-help mode a popup item is a menu area: its press still
    // opens it, so that the help for one of its items can be asked.
    CFrameWnd* pFrame = GetFrameSite();
    if (pFrame && pFrame->m_bHelpMode) {
        ScreenToClient(&point);
        OnLButtonDown(0, point);
        return;
    }
    CWnd::OnNcLButtonDown(nHitTest, point);
}

LRESULT CXTPCommandBar::OnHelpHitTest(WPARAM, LPARAM lParam)
{
    const CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    if (CXTPControl* pControl = HitTestControl(point))
        return pControl->GetID() != 0 ? 0x10000 + pControl->GetID() : 0;
    const int nID = GetDlgCtrlID();
    return nID != 0 ? 0x50000 + nID : 0;
}

// The platform offers no accessibility server: there is no object to hand
// out, so the answers below stay plain operations.
LRESULT CXTPCommandBar::OnGetObject(WPARAM, LPARAM)
{
    return 0;
}

long CXTPCommandBar::GetAccessibleRole(long nChild) const
{
    return (nChild > 0 && nChild <= GetControlCount()) ? XTP_ROLE_SYSTEM_MENUITEM : 0;
}

long CXTPCommandBar::GetAccessibleState(long nChild) const
{
    if (nChild <= 0 || nChild > GetControlCount())
        return 0;
    long nState = XTP_STATE_SYSTEM_SELECTABLE | XTP_STATE_SYSTEM_FOCUSABLE;
    if (nChild - 1 == m_nSelected)
        nState |= XTP_STATE_SYSTEM_SELECTED | XTP_STATE_SYSTEM_FOCUSED;
    return nState;
}

BOOL CXTPCommandBar::GetAccessibleLocation(long nChild, CRect& rcScreen) const
{
    if (nChild < 0 || nChild > GetControlCount() || !::IsWindow(m_hWnd))
        return FALSE;
    if (nChild == 0) {
        GetWindowRect(&rcScreen);
        return TRUE;
    }
    rcScreen = GetControl(static_cast<int>(nChild - 1))->GetRect();
    ClientToScreen(&rcScreen);
    return TRUE;
}

std::wstring CXTPCommandBar::GetAccessibleName(long nChild) const
{
    if (nChild <= 0 || nChild > GetControlCount())
        return std::wstring();
    const CString strCaption = GetControl(static_cast<int>(nChild - 1))->GetCaption();
    return tavrin::GbkToWide(std::string_view(strCaption, static_cast<size_t>(strCaption.GetLength())));
}
