#include "app/HtmlCtrl.h"

#include "platform/mfc/WndMessages.h"

IMPLEMENT_DYNAMIC(CHtmlCtrl, CDocHostHtmlView)

BEGIN_MESSAGE_MAP(CHtmlCtrl, CDocHostHtmlView)
    ON_WM_MOUSEACTIVATE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

BOOL CHtmlCtrl::CreateFromStatic(UINT nID, CWnd* pParent)
{
    if (!pParent)
        return FALSE;
    CWnd* pStatic = pParent->GetDlgItem(static_cast<int>(nID));
    if (!pStatic)
        return FALSE;
    CRect rect;
    pStatic->GetWindowRect(&rect);
    pParent->ScreenToClient(&rect);
    pStatic->DestroyWindow();
    return Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, rect, pParent, nID, nullptr);
}

void CHtmlCtrl::OnBeforeNavigate2(LPCTSTR lpszURL, DWORD, LPCTSTR, CByteArray&, LPCTSTR, BOOL* pbCancel)
{
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_LINK_CLICKED, reinterpret_cast<WPARAM>(lpszURL), reinterpret_cast<LPARAM>(pbCancel));
}

int CHtmlCtrl::OnMouseActivate(CWnd*, UINT, UINT) { return static_cast<int>(Default()); }

void CHtmlCtrl::OnDestroy() { Default(); }
