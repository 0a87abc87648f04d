// CAccountList: the user's accounts, loaded from the sub-folders of the
// program's "accounts" folder at start-up and saved when the list is
// destroyed at exit. The list owns its accounts. Window thread only.
#pragma once

#include "platform/base/Array.h"
#include "platform/base/String.h"
#include "platform/base/Types.h"

class CAccount;

class CAccountList {
public:
    // Installs the pool wait that serves messages sent to this thread, so an
    // account's pools can be shut down here while a worker sends to a window.
    CAccountList();
    // Closes every account (aborting and waiting for its operations), then
    // saves each account file and deletes the account, in list order.
    virtual ~CAccountList();
    CAccountList(const CAccountList&) = delete;
    CAccountList& operator=(const CAccountList&) = delete;

    int GetCount() const { return static_cast<int>(m_accounts.GetSize()); }
    // Null when the index is out of range.
    CAccount* GetAt(int index) const;
    // Takes the account unless it is null or an account with the same user
    // name and provider type name is listed already (it then stays the
    // caller's). TRUE when taken.
    BOOL Add(CAccount* account);
    BOOL Find(const CString& userName, const CString& provider) const;
    // Deletes a listed account (its folder stays); nothing for any other.
    void Remove(CAccount* account);
    BOOL IsAnyBusy() const;

    // Loads every sub-folder of the program's "accounts" folder, in name order.
    void LoadAll();
    // Loads one account folder (no trailing backslash); a folder without a
    // valid account file, of an unknown provider or of a listed account is
    // skipped without a message.
    void LoadAccountFolder(const CString& folder);

private:
    CArray<CAccount*, CAccount*> m_accounts;
};
