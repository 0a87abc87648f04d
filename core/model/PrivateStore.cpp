#include "core/model/PrivateStore.h"

#include "core/model/Account.h"
#include "core/model/SchoolClass.h"
#include "core/services/HtmlTags.h"

#include <cstdlib>

static const char* const kPrivateFields[] = {"user_name", "user_id", "time", "title", "reply_status", "real_name"};

static CString CPrivateItem::*const kPrivateMembers[] = {&CPrivateItem::m_userName, &CPrivateItem::m_userId,
                                                         &CPrivateItem::m_time,     &CPrivateItem::m_title,
                                                         &CPrivateItem::m_replyStatus, &CPrivateItem::m_realName};

void CPrivateItem::ReadXml(CPrivateItem* item, CXmlCursor* cursor)
{
    CStoreItem::ReadXml(item, cursor);
    for (size_t i = 0; i < sizeof(kPrivateFields) / sizeof(kPrivateFields[0]); ++i)
        item->*kPrivateMembers[i] = cursor->GetChildData(kPrivateFields[i]);
}

void CPrivateItem::WriteXml(CPrivateItem* item, CXmlCursor* cursor)
{
    CStoreItem::WriteXml(item, cursor);
    for (size_t i = 0; i < sizeof(kPrivateFields) / sizeof(kPrivateFields[0]); ++i) {
        if (cursor->FindChildElem(kPrivateFields[i], TRUE)) {
            cursor->SetData(item->*kPrivateMembers[i]);
            cursor->GetFile().OutOfElem(cursor->GetId());
        }
    }
}

CPrivateStore::CPrivateStore()
{
    SetSort(3, FALSE);
    SetXmlFileName("private.xml");
    SetRootName("private");
}

CPrivateStore::~CPrivateStore()
{
    Close();
}

BOOL CPrivateStore::IsBusy()
{
    return m_deleting.load() || m_updating.load() || m_sending.load() || m_replying.load();
}

void CPrivateStore::Reply(CString, CString, CString, CString, CString, int) {}
void CPrivateStore::Send(CString, CString, CString, CString, CString, int) {}
void CPrivateStore::Update(int) {}
void CPrivateStore::Delete(CStringArray&, int) {}

void CPrivateStore::StartUpdate(int mode)
{
    if (m_state.Claim(m_updating)) {
        m_newNoteCount.store(0);
        m_state.Post(m_pool, new CPrivateUpdateTask(this, &m_state, &m_updating, mode));
    }
}

void CPrivateStore::StopUpdate()
{
    if (m_updating.load())
        LogStopAndAbort();
}

void CPrivateStore::LogStopAndAbort()
{
    CSchoolClass* schoolClass = GetSchoolClass();
    if (schoolClass) {
        CAccount* account = schoolClass->GetAccount();
        CString line;
        line.Format("[%s]停止更新...", account ? account->GetPrivateFeatureName() : CString());
        schoolClass->Log(line);
    }
    m_updateClient.Abort();
}

void CPrivateStore::StartSend(CString subject, CString content, CString realName, CString userName,
                              CString receiverId, int param)
{
    if (m_state.Claim(m_sending))
        m_state.Post(m_pool, new CPrivateSendTask(this, &m_state, &m_sending, subject, content, realName, userName,
                                                  receiverId, param));
}

void CPrivateStore::StartReply(CString subject, CString content, CString realName, CString userName,
                               CString userId, int noteNumber)
{
    if (m_state.Claim(m_replying))
        m_state.Post(m_pool, new CPrivateReplyTask(this, &m_state, &m_replying, subject, content, realName, userName,
                                                   userId, noteNumber));
}

void CPrivateStore::DeleteItems(const CStringArray& custoIds, BOOL localOnly, int param)
{
    if (m_deleting.load())
        return;
    if (!localOnly) {
        if (m_state.Claim(m_deleting))
            m_state.Post(m_pool, new CPrivateDeleteTask(this, &m_state, &m_deleting, custoIds, param));
        return;
    }
    DeleteLocally(custoIds);
}

void CPrivateStore::OnClose()
{
    // The stop line is logged once; the wait that follows aborts quietly.
    StopUpdate();
}

void CPrivateStore::AbortRequests()
{
    m_updateClient.Abort();
    m_sendClient.Abort();
    m_replyClient.Abort();
    m_deleteClient.Abort();
}

void CPrivateStore::SortRange(int lo, int hi, int column, BOOL ascending)
{
    CString CPrivateItem::*field = nullptr;
    switch (column) {
    case 1: field = &CPrivateItem::m_title; break;
    case 2: field = &CPrivateItem::m_realName; break;
    case 3: field = &CPrivateItem::m_time; break;
    default: return;
    }
    QuickSortRange(lo, hi, column, ascending, [field](CStoreItem* a, CStoreItem* b) {
        return CompareStoreText(static_cast<CPrivateItem*>(a)->*field, static_cast<CPrivateItem*>(b)->*field);
    });
}

void CPrivateStore::LoadItems(BOOL reload)
{
    ItemsLock lock = LockItems();
    CXmlCursor cursor(m_xml);
    if (!BeginItemsLoad(cursor, reload))
        return;
    do {
        CPrivateItem* item = new CPrivateItem;
        item->m_element = cursor.GetNode();
        item->m_title = cursor.GetChildData("title");
        if (item->m_title.IsEmpty())
            item->m_title = cursor.GetChildData("content");
        item->m_time = cursor.GetChildData("time");
        item->m_userName = cursor.GetChildData("user_name");
        item->m_realName = cursor.GetChildData("real_name");
        item->m_userId = cursor.GetChildData("user_id");
        item->m_replyStatus = cursor.GetChildData("reply_status");
        item->m_custoId = cursor.GetAttrib("custo_id");
        item->m_id = cursor.GetAttrib("id");
        StripHtmlTags(item->m_title);
        item->m_title.TrimLeft();
        item->m_read = atoi(cursor.GetAttrib("read"));
        AddItem(item);
    } while (m_xml.FindNextElem(TRUE, cursor.GetId()));
    SortItems(GetSortColumn(), GetSortAscending());
}
