#include "platform/mfc/Menu.h"

#include "platform/mfc/HandleMap.h"
#include "platform/mfc/Resource.h"
#include "platform/mfc/Wnd.h"

#include <vector>

IMPLEMENT_DYNCREATE(CMenu, CObject)

namespace {
auto& MenuMap() { return tavrin::mfc::ThreadHandleMap<CMenu, HMENU, &CMenu::m_hMenu>(); }
} // namespace

CMenu::~CMenu() { DestroyMenu(); }

CMenu* CMenu::FromHandle(HMENU hMenu) { return MenuMap().FromHandle(hMenu); }
CMenu* CMenu::FromHandlePermanent(HMENU hMenu) { return MenuMap().FromHandlePermanent(hMenu); }
void CMenu::DeleteTempMap() { MenuMap().DeleteTemp(); }

BOOL CMenu::Attach(HMENU hMenu)
{
    if (!hMenu)
        return FALSE;
    m_hMenu = hMenu;
    MenuMap().SetPermanent(hMenu, this);
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU h = m_hMenu;
    if (h)
        MenuMap().RemoveHandle(h);
    m_hMenu = nullptr;
    return h;
}

BOOL CMenu::LoadMenu(LPCTSTR lpszResourceName)
{
    return Attach(::LoadMenuA(AfxFindResourceHandle(lpszResourceName, RT_MENU), lpszResourceName));
}

BOOL CMenu::LoadMenuIndirect(const void* lpMenuTemplate)
{
    return Attach(::LoadMenuIndirectA(static_cast<const MENUTEMPLATEA*>(lpMenuTemplate)));
}

BOOL CMenu::DestroyMenu()
{
    if (!m_hMenu)
        return FALSE;
    return ::DestroyMenu(Detach());
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const
{
    int length = ::GetMenuStringA(m_hMenu, nIDItem, nullptr, 0, nFlags);
    std::vector<char> buffer(static_cast<size_t>(length > 0 ? length : 0) + 1);
    int copied = ::GetMenuStringA(m_hMenu, nIDItem, buffer.data(), static_cast<int>(buffer.size()), nFlags);
    rString = copied > 0 ? buffer.data() : "";
    return rString.GetLength();
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect)
{
    return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, AfxHwndOf(pWnd), lpRect);
}

BOOL CMenu::TrackPopupMenuEx(UINT fuFlags, int x, int y, CWnd* pWnd, LPTPMPARAMS lptpm)
{
    return ::TrackPopupMenuEx(m_hMenu, fuFlags, x, y, AfxHwndOf(pWnd), lptpm);
}

// An update handler changes the item at its place in the menu being opened;
// popups are left alone, their items are updated when they open.
void tavrin::mfc::UpdateMenuItemState(CCmdUI* ui, int enable, int check)
{
    if (ui->m_pSubMenu)
        return;
    if (enable >= 0)
        ui->m_pMenu->EnableMenuItem(ui->m_nIndex, MF_BYPOSITION | (enable ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
    if (check >= 0)
        ui->m_pMenu->CheckMenuItem(ui->m_nIndex, MF_BYPOSITION | (check ? MF_CHECKED : MF_UNCHECKED));
}

void tavrin::mfc::UpdateMenuItemText(CCmdUI* ui, LPCTSTR text)
{
    if (ui->m_pSubMenu)
        return;
    // Keep the item's state; only its text changes.
    UINT state = ui->m_pMenu->GetMenuState(ui->m_nIndex, MF_BYPOSITION);
    state &= ~static_cast<UINT>(MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR | MF_POPUP);
    state &= 0xFFFF;
    ui->m_pMenu->ModifyMenu(ui->m_nIndex, MF_BYPOSITION | MF_STRING | state, ui->m_nID, text);
}
