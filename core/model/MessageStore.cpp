#include "core/model/MessageStore.h"

#include "core/model/Account.h"
#include "core/model/SchoolClass.h"
#include "core/services/Config.h"
#include "core/services/StringTokenizer.h"

#include <cstdlib>
#include <vector>

namespace {

// Joins a message's own value with the values of its replies.
const char kReplySeparator[] = "`|";

void WriteChild(CXmlCursor* cursor, const char* name, const CString& value)
{
    if (cursor->FindChildElem(name, TRUE)) {
        cursor->SetData(value);
        cursor->GetFile().OutOfElem(cursor->GetId());
    }
}

// The pieces of a joined value; an empty text gives one empty piece.
CStringArray& Split(const CString& text, CStringArray& pieces)
{
    SplitString(text, kReplySeparator, pieces);
    return pieces;
}

} // namespace

void CMessageItem::ReadXml(CMessageItem* item, CXmlCursor* cursor)
{
    CStoreItem::ReadXml(item, cursor);
    item->m_title = cursor->GetChildData("title");
    item->m_time = cursor->GetChildData("time");
    item->m_user = cursor->GetChildData("user");
}

void CMessageItem::WriteXml(CMessageItem* item, CXmlCursor* cursor)
{
    CStoreItem::WriteXml(item, cursor);
    WriteChild(cursor, "title", item->m_title);
    WriteChild(cursor, "time", item->m_time);
    WriteChild(cursor, "user", item->m_user);
}

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
           m_voteBusy.load();
}

void CMessageStore::AbortRequests()
{
    m_updateClient.Abort();
    m_sendClient.Abort();
    m_replyClient.Abort();
    m_deleteClient.Abort();
    m_voteClient.Abort();
}

// Base bodies: the providers override them.
void CMessageStore::Vote(CByteArray&, int) {}
void CMessageStore::Reply(CString, CString, CString, int) {}
void CMessageStore::Send(CString, CString, int) {}
void CMessageStore::Update(int, int) {}
void CMessageStore::Delete(CStringArray&, int) {}

void CMessageStore::StartUpdate(int count, int mode)
{
    if (m_state.Claim(m_updateBusy))
        m_state.Post(m_pool, new CMessageUpdateTask(this, &m_state, &m_updateBusy, count, mode));
}

void CMessageStore::StopUpdate()
{
    if (m_updateBusy.load())
        m_updateClient.Abort();
}

void CMessageStore::StopAll()
{
    if (m_updateBusy.load())
        m_updateClient.Abort();
    if (m_sendBusy.load())
        m_sendClient.Abort();
    if (m_replyBusy.load())
        m_replyClient.Abort();
    if (m_deleteBusy.load())
        m_deleteClient.Abort();
    if (m_voteBusy.load())
        m_voteClient.Abort();
}

void CMessageStore::StartVote(const CByteArray& form, int param)
{
    if (m_state.Claim(m_voteBusy))
        m_state.Post(m_pool, new CMessageVoteTask(this, &m_state, &m_voteBusy, form, param));
}

void CMessageStore::StartSend(CString subject, CString text, int param)
{
    if (m_state.Claim(m_sendBusy))
        m_state.Post(m_pool, new CMessageSendTask(this, &m_state, &m_sendBusy, subject, text, param));
}

void CMessageStore::StartReply(CString subject, CString text, CString targetId, int param)
{
    if (m_state.Claim(m_replyBusy))
        m_state.Post(m_pool, new CMessageReplyTask(this, &m_state, &m_replyBusy, subject, text, targetId, param));
}

void CMessageStore::DeleteItems(const CStringArray& custoIds, BOOL localOnly, int param)
{
    if (m_deleteBusy.load())
        return;
    if (!localOnly) {
        if (m_state.Claim(m_deleteBusy))
            m_state.Post(m_pool, new CMessageDeleteTask(this, &m_state, &m_deleteBusy, custoIds, param));
        return;
    }
    DeleteLocally(custoIds);
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

void CMessageStore::InsertVoteItem(CXmlCursor& cursor)
{
    CMessageItem* vote = new CMessageItem;
    CMessageItem::ReadXml(vote, &cursor);
    vote->m_element = cursor.GetNode();
    vote->m_title.Replace("&nbsp;", " ");
    vote->m_title = "[班级投票]" + vote->m_title;
    vote->m_pinned = 1;
    InsertItem(vote, 0);
}

void CMessageStore::LoadItems(BOOL reload)
{
    CSchoolClass* schoolClass = GetSchoolClass();
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    BOOL hasSubject = account ? account->HasMessageSubject() : FALSE;
    int limit = atoi(GetConfig(CFG_MESSAGE_LIST_DISPALY_NUMBER));

    // The whole rebuild under the items lock: readers see the old list or the
    // new one, never a half-built one.
    ItemsLock lock = LockItems();
    CXmlCursor cursor(m_xml);
    if (!BeginItemsLoad(cursor, reload))
        return;
    m_xml.OutOfElem(cursor.GetId());

    // Pinned messages: by id, and as copies compared by time and user.
    CStringArray pinnedIds;
    std::vector<CMessageItem> pinnedCopies;
    if (cursor.FindChildElem("top", FALSE)) {
        if (cursor.FindChildElem("id", FALSE)) {
            do
                pinnedIds.Add(cursor.GetData());
            while (m_xml.FindNextElem(TRUE, cursor.GetId()));
            m_xml.OutOfElem(cursor.GetId());
        }
        if (cursor.FindChildElem("item", FALSE)) {
            do {
                CMessageItem copy;
                CMessageItem::ReadXml(&copy, &cursor);
                pinnedCopies.push_back(copy);
            } while (m_xml.FindNextElem(TRUE, cursor.GetId()));
            m_xml.OutOfElem(cursor.GetId());
        }
        m_xml.OutOfElem(cursor.GetId());
    }

    cursor.FindChildElem("item", FALSE);
    CStringArray pieces;
    int listed = 0;
    do {
        CMessageItem* item = new CMessageItem;
        item->m_element = cursor.GetNode();
        item->m_title = cursor.GetChildData("title");
        if (item->m_title.IsEmpty() && !hasSubject)
            item->m_title = cursor.GetChildData("content");
        item->m_title.Replace("&nbsp;", " ");
        Split(cursor.GetChildData("time"), pieces);
        item->m_time = pieces.GetSize() >= 2 ? pieces[1] : pieces[0];
        item->m_user = Split(cursor.GetChildData("user"), pieces)[0];
        item->m_custoId = cursor.GetAttrib("custo_id");
        item->m_id = Split(cursor.GetAttrib("id"), pieces)[0];
        item->m_read = atoi(cursor.GetAttrib("read"));
        for (INT_PTR i = 0; i < pinnedIds.GetSize() && !item->m_pinned; ++i)
            item->m_pinned = item->m_id == pinnedIds[i];
        for (size_t i = 0; i < pinnedCopies.size() && !item->m_pinned; ++i)
            item->m_pinned = *item == pinnedCopies[i];
        // Pinned records stand at the head, the last one found first.
        if (item->m_pinned)
            InsertItem(item, 0);
        else
            AddItem(item);
        ++listed;
        // The display limit counts the records listed; at least one is.
    } while (listed < limit && m_xml.FindNextElem(TRUE, cursor.GetId()));

    m_xml.ResetPos(cursor.GetId());
    if (cursor.FindChildElem(GetRootName(), FALSE) && cursor.FindChildElem("vote", FALSE) &&
        cursor.FindChildElem("item", FALSE))
        InsertVoteItem(cursor);

    SortItems(GetSortColumn(), GetSortAscending());

    // Repeated messages (same id, time, title and user side by side after
    // the sort) are listed once; the document keeps them all.
    for (int i = 1; i < GetItemCount();) {
        CMessageItem* a = GetItem(i - 1);
        CMessageItem* b = GetItem(i);
        if (a->m_id == b->m_id && a->m_time == b->m_time && a->m_title == b->m_title && a->m_user == b->m_user) {
            RemoveItem(i);
            delete b;
        } else {
            ++i;
        }
    }
}
