#include "toolkit/controls/XTListCtrl.h"

IMPLEMENT_DYNAMIC(CXTListCtrl, CListCtrl)

BEGIN_MESSAGE_MAP(CXTListCtrl, CListCtrl)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDrawReflect)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SETTINGCHANGE()
    ON_WM_DESTROY()
    ON_WM_CREATE()
    ON_MESSAGE(WM_DEFERRED_INIT, OnDeferredInit)
END_MESSAGE_MAP()

CXTListCtrl::CXTListCtrl()
{
    ImplAttach(this);
}

CXTListCtrl::~CXTListCtrl() = default;

void CXTListCtrl::PreSubclassWindow()
{
    CListCtrl::PreSubclassWindow();
    PostMessage(WM_DEFERRED_INIT);
}

BOOL CXTListCtrl::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (CXTListBase::OnNotify(wParam, reinterpret_cast<NMHDR*>(lParam), pResult))
        return TRUE;
    return CListCtrl::OnNotify(wParam, lParam, pResult);
}

void CXTListCtrl::OnSettingChange(UINT, LPCTSTR)
{
    Default();
    RefreshColors();
}

void CXTListCtrl::OnDestroy()
{
    if (m_bAutoSave)
        SaveColumnWidths();
    Default();
}

int CXTListCtrl::OnCreate(LPCREATESTRUCT)
{
    const int result = static_cast<int>(Default());
    if (result == -1)
        return -1;
    SendMessage(WM_DEFERRED_INIT);
    return result;
}

LRESULT CXTListCtrl::OnDeferredInit(WPARAM, LPARAM)
{
    if (m_bPreSubclassInit) {
        m_bPreSubclassInit = FALSE;
        InitializeList();
    }
    return 0;
}
