#include "toolkit/controls/XTTreeView.h"

IMPLEMENT_DYNCREATE(CXTTreeView, CTreeView)

BEGIN_MESSAGE_MAP(CXTTreeView, CTreeView)
    ON_XT_TREE_MESSAGES()
END_MESSAGE_MAP()

CXTTreeView::CXTTreeView() { m_pTreeCtrl = this; }

CXTTreeView::~CXTTreeView() = default;

BOOL CXTTreeView::PreTranslateMessage(MSG* pMsg) { return CXTTreeBase::PreTranslateMessage(pMsg); }

BOOL CXTTreeView::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return CXTTreeBase::OnNotify(wParam, lParam, pResult);
}

BOOL CXTTreeView::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    // The extension records edits and follows collapses before the view's
    // own reflected handlers and the parent hear of them.
    OnTreeChildNotify(message, wParam, lParam, pResult);
    return CTreeView::OnChildNotify(message, wParam, lParam, pResult);
}
