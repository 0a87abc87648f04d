#include "core/model/AccountList.h"

#include "core/model/Account.h"
#include "core/model/AccountFactory.h"
#include "core/services/FolderUtil.h"
#include "core/services/ThreadPool.h"
#include "core/services/XmlCursor.h"
#include "platform/base/FileApi.h"
#include "platform/win/WinMessage.h"

namespace {

DWORD ServingWait(HANDLE handle, DWORD milliseconds)
{
    return tavrin::WaitServingSends(handle, milliseconds);
}

} // namespace

CAccountList::CAccountList()
{
    tavrin::SetThreadPoolWait(&ServingWait);
}

CAccountList::~CAccountList()
{
    // All accounts stop at once; each is then waited for before it is saved,
    // so no operation changes an account while its file is written.
    for (INT_PTR i = 0; i < m_accounts.GetSize(); ++i)
        m_accounts[i]->BeginClose();
    for (INT_PTR i = 0; i < m_accounts.GetSize(); ++i) {
        CAccount* account = m_accounts[i];
        account->Close();
        account->SaveAccountFile();
        delete account;
    }
    m_accounts.RemoveAll();
}

CAccount* CAccountList::GetAt(int index) const
{
    if (index < 0 || index >= m_accounts.GetSize())
        return nullptr;
    return m_accounts[index];
}

BOOL CAccountList::Add(CAccount* account)
{
    if (!account || Find(account->GetUserName(), account->GetProvider()))
        return FALSE;
    m_accounts.Add(account);
    return TRUE;
}

BOOL CAccountList::Find(const CString& userName, const CString& provider) const
{
    for (INT_PTR i = 0; i < m_accounts.GetSize(); ++i) {
        if (m_accounts[i]->GetUserName() == userName && m_accounts[i]->GetProvider() == provider)
            return TRUE;
    }
    return FALSE;
}

void CAccountList::Remove(CAccount* account)
{
    for (INT_PTR i = 0; i < m_accounts.GetSize(); ++i) {
        if (m_accounts[i] == account) {
            m_accounts.RemoveAt(i);
            account->Close();
            delete account;
            return;
        }
    }
}

BOOL CAccountList::IsAnyBusy() const
{
    for (INT_PTR i = 0; i < m_accounts.GetSize(); ++i) {
        if (m_accounts[i]->IsBusy())
            return TRUE;
    }
    return FALSE;
}

void CAccountList::LoadAll()
{
    CString folder = GetAppDir() + "\\accounts\\";
    CStringArray names;
    ListSubFolders(folder + "*.*", names);  // sorted by name
    for (INT_PTR i = 0; i < names.GetSize(); ++i)
        LoadAccountFolder(folder + names[i]);
}

void CAccountList::LoadAccountFolder(const CString& folder)
{
    CString path = folder + "\\tavrin.xml";
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return;
    CString provider, userName;
    {
        CXmlFile file;
        CXmlCursor cursor(file);
        if (!cursor.Load(path, FALSE))
            return;
        file.ResetPos(cursor.GetId());
        if (!cursor.FindChildElem("account") || !cursor.FindChildElem("global"))
            return;
        provider = cursor.GetChildData("provider");
        if (!cursor.FindChildElem("user_name"))
            return;
        userName = cursor.GetData();
    }
    if (Find(userName, provider))
        return;
    CAccount* account = CreateAccount(provider);
    if (!account)
        return;
    if (!account->Load(folder) || !Add(account)) {
        account->Close();
        delete account;
    }
}
