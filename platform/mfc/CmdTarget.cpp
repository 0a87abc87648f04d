#include "platform/mfc/CmdTarget.h"

#include "platform/mfc/WinApp.h"
#include "platform/win/Cursor.h"

#include <atomic>
#include <cstring>

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

namespace {

const AFX_MSGMAP* NoBaseMap() { return nullptr; }

} // namespace

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {&NoBaseMap, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* tavrin::mfc::FindMessageEntry(const AFX_MSGMAP* map, UINT message, UINT code, UINT id)
{
    for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e && e->pfn; ++e) {
            if (e->nMessage == AFX_REGISTERED_MESSAGE && e->nSig) {
                if (message >= 0xC000 && *reinterpret_cast<const UINT*>(e->nSig) == message && code == 0 && id == 0)
                    return e;
                continue;
            }
            if (e->nMessage == message && e->nCode == code && id >= e->nID && id <= e->nLastID)
                return e;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    UINT message = 0;
    UINT code = static_cast<UINT>(nCode);
    if (nCode != CN_UPDATE_COMMAND_UI) {
        message = HIWORD(static_cast<DWORD>(nCode));
        code = LOWORD(static_cast<DWORD>(nCode));
    }
    if (message == 0)
        message = WM_COMMAND;
    // Commands and notifications with id 0 come only as reflections.
    const AFX_MSGMAP_ENTRY* e = tavrin::mfc::FindMessageEntry(GetMessageMap(), message, code, nID);
    if (!e)
        return FALSE;
    if (pHandlerInfo) {
        pHandlerInfo->pTarget = this;
        pHandlerInfo->pmf = reinterpret_cast<void*>(e->pfn);
        return TRUE;
    }
    AFX_MSGCALL call{message, 0, 0, 0, nID, static_cast<int>(code), pExtra};
    return e->pfn(this, call);
}

const AFX_INTERFACEMAP* CCmdTarget::GetThisInterfaceMap()
{
    static const AFX_INTERFACEMAP_ENTRY entries[] = {{nullptr, nullptr}};
    static const AFX_INTERFACEMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_INTERFACEMAP* CCmdTarget::GetInterfaceMap() const { return GetThisInterfaceMap(); }

void* CCmdTarget::GetInterface(const void* iid)
{
    if (!iid)
        return nullptr;
    // The IUnknown id is the all-zero GUID except its last eight bytes: C0 0 .. 0 46.
    static const unsigned char unknownId[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
    const bool unknown = std::memcmp(iid, unknownId, sizeof unknownId) == 0;
    for (const AFX_INTERFACEMAP* map = GetInterfaceMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_INTERFACEMAP_ENTRY* e = map->pEntry; e && e->pfnGet; ++e) {
            if (unknown || std::memcmp(e->piid, iid, sizeof unknownId) == 0)
                return e->pfnGet(this);
        }
    }
    return nullptr;
}

DWORD CCmdTarget::InternalQueryInterface(const void* iid, void** ppvObj)
{
    if (!ppvObj)
        return 0x80004003L; // E_POINTER
    *ppvObj = GetInterface(iid);
    if (!*ppvObj)
        return 0x80004002L; // E_NOINTERFACE
    InternalAddRef();
    return 0;
}

DWORD CCmdTarget::InternalAddRef()
{
    return static_cast<DWORD>(std::atomic_ref<LONG>(m_dwRef).fetch_add(1) + 1);
}

DWORD CCmdTarget::InternalRelease()
{
    LONG left = std::atomic_ref<LONG>(m_dwRef).fetch_sub(1) - 1;
    if (left == 0)
        OnFinalRelease();
    return static_cast<DWORD>(left);
}

void CCmdTarget::BeginWaitCursor()
{
    if (CWinApp* app = AfxGetApp())
        app->DoWaitCursor(1);
}

void CCmdTarget::EndWaitCursor()
{
    if (CWinApp* app = AfxGetApp())
        app->DoWaitCursor(-1);
}

void CCmdTarget::RestoreWaitCursor()
{
    if (CWinApp* app = AfxGetApp())
        app->DoWaitCursor(0);
}

void CCmdUI::Enable(BOOL bOn)
{
    if (m_pMenu) {
        tavrin::mfc::UpdateMenuItemState(this, bOn ? 1 : 0, -1);
    } else if (m_pOther) {
        // A control losing its enabled state while it has the focus hands the
        // focus on first, so the keyboard never ends on a disabled window.
        if (!bOn && ::GetFocus() == m_pOther->GetSafeHwnd()) {
            if (CWnd* parent = m_pOther->GetParent())
                parent->SendMessage(WM_NEXTDLGCTL, 0, FALSE);
        }
        m_pOther->EnableWindow(bOn);
    }
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck)
{
    if (m_pMenu) {
        tavrin::mfc::UpdateMenuItemState(this, -1, nCheck ? 1 : 0);
    } else if (m_pOther) {
        if (m_pOther->SendMessage(WM_GETDLGCODE, 0, 0) & DLGC_BUTTON)
            m_pOther->SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck), 0);
    }
}

void CCmdUI::SetRadio(BOOL bOn) { SetCheck(bOn ? 1 : 0); }

void CCmdUI::SetText(LPCTSTR lpszText)
{
    if (m_pMenu)
        tavrin::mfc::UpdateMenuItemText(this, lpszText);
    else if (m_pOther)
        AfxSetWindowText(m_pOther->GetSafeHwnd(), lpszText);
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    if (m_nID == 0 || LOWORD(m_nID) == 0xFFFF)
        return TRUE; // not a command
    m_bEnableChanged = FALSE;
    BOOL handled = pTarget->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr);
    if (bDisableIfNoHndler && !m_bEnableChanged) {
        AFX_CMDHANDLERINFO info{nullptr, nullptr};
        BOOL hasHandler = pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info);
        Enable(hasHandler);
    }
    return handled;
}
