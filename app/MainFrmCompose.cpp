// The main frame's side of the compose pane: the events that end a send and
// the codes the provider rejected, asked for again and resubmitted.
#include "app/ComposeView.h"
#include "app/MainFrm.h"
#include "app/MsgListView.h"
#include "app/TavrinView.h"
#include "app/dialogs/VerifyCodeDlg.h"
#include "core/model/Account.h"
#include "core/model/MessageStore.h"
#include "core/model/PictureStore.h"
#include "core/model/SchoolClass.h"
#include "platform/win/MessageBox.h"

namespace {

// The provider id of the store's current record, copied under its items
// lock; false when there is no current record or it is gone.
bool CurrentItemId(CClassStore* store, CString& id)
{
    const CString custoId = store->GetCurrentCustoId();
    if (custoId.IsEmpty())
        return false;
    CClassStore::ItemsLock lock = store->LockItems();
    CStoreItem* item = store->FindItem(CString(), custoId);
    if (!item)
        return false;
    id = item->m_id;
    return true;
}

} // namespace

int CMainFrame::GetCurrentListTab()
{
    const int page = m_pListView ? m_pListView->GetCurrentPage() : -1;
    return page < 0 ? 0 : page;
}

void CMainFrame::ShowListRow(int nTab, int nIndex)
{
    if (!m_pListView || !m_pListView->m_hWnd || nIndex < 0)
        return;
    // Selected afresh, so the list's change notice writes and shows the page.
    CXTListCtrl& list = m_pListView->GetList(nTab);
    list.SetItemState(nIndex, 0, LVIS_SELECTED);
    list.EnsureVisible(nIndex, FALSE);
    list.SetItemState(nIndex, LVIS_SELECTED, LVIS_SELECTED);
}

BOOL CMainFrame::IsListedClass(CSchoolClass* pClass)
{
    if (!pClass || !m_pTreeView)
        return FALSE;
    CAccountList& accounts = m_pTreeView->GetAccountList();
    for (int i = 0; i < accounts.GetCount(); ++i) {
        CAccount* account = accounts.GetAt(i);
        if (account && account->HasClass(pClass))
            return TRUE;
    }
    return FALSE;
}

void CMainFrame::OnComposeEvent(int nCode, CSchoolClass* pClass)
{
    const bool rejected = nCode >= 14 && nCode <= 16;
    if (rejected)
        AskCodeAgain(nCode, pClass);
    // After the dialog: the user may have selected another class meanwhile.
    if (!m_pComposeView || !IsWindowVisible() || !m_pTreeView || m_pTreeView->GetCurrentClass() != pClass)
        return;
    if (rejected)
        m_pComposeView->SetModeSoon();
    else
        m_pComposeView->SetModeWhenIdle();
}

void CMainFrame::AskCodeAgain(int nCode, CSchoolClass* pClass)
{
    const bool photo = nCode == 15;
    CClassStore* store = photo ? static_cast<CClassStore*>(pClass->GetPictureStore()) : pClass->GetMessageStore();
    if (!store)
        return;
    // The record a comment or reply goes to; a record deleted since it was
    // selected takes nothing, and then no code is asked for.
    CString itemId;
    const bool reply = nCode == 16 && !store->GetCurrentCustoId().IsEmpty();
    if ((photo || reply) && !CurrentItemId(store, itemId))
        return;
    const CString codeFor = photo ? itemId : CString();
    CVerifyCodeDlg dialog(nullptr);
    dialog.SetImagePath(store->GetAuthImagePath(codeFor));
    if (dialog.DoModal() != IDOK)
        return;
    if (dialog.m_strCode.GetLength() != 4) {
        ::MessageBox(m_hWnd, "请正确输入图中的4位验证码字符！", "错误", MB_OK | MB_ICONERROR);
        return;
    }
    // The class or the record may have gone while the dialog was up.
    if (!IsListedClass(pClass))
        return;
    if ((photo || reply) && !CurrentItemId(store, itemId))
        return;
    store->SetAuthCode(dialog.m_strCode, photo ? itemId : CString());
    const CString subject = store->GetComposeSubject();
    const CString content = store->GetComposeContent();
    if (photo)
        pClass->GetPictureStore()->StartComment(CString(), content, itemId, 0);
    else if (reply)
        pClass->GetMessageStore()->StartReply(subject, content, itemId, 0);
    else
        pClass->GetMessageStore()->StartSend(subject, content, 0);
}
