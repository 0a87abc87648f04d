// The account tree (upper-left pane): the root "Tavrin", the accounts under
// it and each account's school classes under the account. The view owns the
// account list and answers which account or class the user works on; it
// adds accounts, renames accounts and classes, shows unread data in bold and
// guards protected accounts with their access password.
#pragma once

#include "core/model/AccountList.h"
#include "platform/mfc/ImageList.h"
#include "toolkit/controls/XTTreeView.h"

class CAccount;
class CSchoolClass;

class CTavrinView : public CXTTreeView {
    DECLARE_DYNCREATE(CTavrinView)
public:
    CTavrinView();
    ~CTavrinView() override;

    CAccountList& GetAccountList() { return m_accounts; }

    // The selected class or account; at most one of them is not null.
    CSchoolClass* GetCurrentClass() const;
    CAccount* GetCurrentAccount() const;
    void SelectAccount(CAccount* pAccount);
    void SelectClass(CSchoolClass* pClass);
    // Builds the whole tree again from the account list; the root ends selected.
    void RebuildTree();
    // Bold items: classes and accounts with unread data, and the root above them.
    void UpdateItemStates();
    // Asks for a new account and adds it.
    void AddAccount();

    void OnInitialUpdate() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // The provider part of a new account's folder name: the name itself
    // under a Chinese locale language (or none), else its URL encoding
    // without the "%" signs.
    static CString ProviderFolderPart(const CString& provider, const CString& language);
    // The English name of the user's locale language.
    static CString GetLocaleLanguage();

    // The image indexes of the tree's items in the bitmap.
    enum { kRootImage = 6, kAccountImage = 7, kClassImage = 8 };

protected:
    // TRUE when the account may be opened: it is not guarded, or the user
    // typed its access password (which then unlocks it for the run).
    BOOL CheckAccess(CAccount* pAccount);
    HTREEITEM GetTreeRoot() const;
    // The level of an item: 0 root, 1 account, 2 class; -1 for none.
    int GetItemLevel(HTREEITEM hItem) const;
    // Writes the status page as the account's profile page when it has none.
    static void WriteMissingProfilePage(CAccount* pAccount);

    void OnContextMenu(CWnd* pWnd, CPoint point);
    void OnItemExpanding(NMHDR* pNMHDR, LRESULT* pResult);
    void OnSelChanged(NMHDR* pNMHDR, LRESULT* pResult);
    void OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);
    LRESULT OnAskFirstAccount(WPARAM, LPARAM);

    CAccountList m_accounts;
    CImageList m_imageList;
    HICON m_hCaptionIcon = nullptr;

    DECLARE_MESSAGE_MAP()
};
