#include "core/model/MessageStore.h"

CMessageStore::CMessageStore()
{
    SetSort(3, FALSE);
    SetXmlFileName("message.xml");
    SetRootName("message");
}

CMessageStore::~CMessageStore()
{
    Close();
}

CString CMessageStore::GetAuthImagePath(CString)
{
    return GetClassFolder() + "\\auth_message.gif";
}

BOOL CMessageStore::IsBusy()
{
    return m_deleteBusy.load() || m_updateBusy.load() || m_sendBusy.load() || m_replyBusy.load() ||
           m_voteBusy.load() || CClassStore::IsBusy();
}

void CMessageStore::AbortRequests()
{
    m_updateClient.Abort();
    m_sendClient.Abort();
    m_replyClient.Abort();
    m_deleteClient.Abort();
    m_voteClient.Abort();
}

void CMessageStore::SortRange(int lo, int hi, int column, BOOL ascending)
{
    CString CMessageItem::*field = nullptr;
    switch (column) {
    case 1: field = &CMessageItem::m_title; break;
    case 2: field = &CMessageItem::m_user; break;
    case 3: field = &CMessageItem::m_time; break;
    default: return;
    }
    QuickSortRange(lo, hi, column, ascending, [field](CStoreItem* a, CStoreItem* b) {
        return CompareStoreText(static_cast<CMessageItem*>(a)->*field, static_cast<CMessageItem*>(b)->*field);
    });
}
