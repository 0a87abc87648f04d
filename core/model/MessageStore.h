// CMessageStore: a class's message board ("message.xml"), one CMessageItem
// per message. The provider derives it and implements the operations.
#pragma once

#include "core/model/ClassStore.h"
#include "core/services/HttpClient.h"

#include <atomic>

class CMessageItem : public CStoreItem {
public:
    CMessageItem() = default;
    CMessageItem(const CMessageItem& other) = default;
    CMessageItem& operator=(const CMessageItem& other) = default;
    ~CMessageItem() override = default;

    // Two records are the same message when time and user are equal.
    bool operator==(const CMessageItem& other) const { return m_time == other.m_time && m_user == other.m_user; }

    static void ReadXml(CMessageItem* item, CXmlCursor* cursor);
    // A new element gets the children title, time, user in this order.
    static void WriteXml(CMessageItem* item, CXmlCursor* cursor);

    CString m_title;
    CString m_user;
    CString m_time;
};

class CMessageStore : public CClassStore {
public:
    CMessageStore();
    ~CMessageStore() override;

    CString GetAuthImagePath(CString name) override;
    void SortRange(int lo, int hi, int column, BOOL ascending) override;
    BOOL IsBusy() override;

    // The provider's operations; the base bodies do nothing.
    virtual void Vote(CByteArray& form, int param);
    virtual void Reply(CString subject, CString text, CString targetId, int param);
    virtual void Send(CString subject, CString text, int param);
    // mode 0 the newest messages (up to the stop mark), 1 every list page up
    // to page count.
    virtual void Update(int count, int mode);
    virtual void Delete(CStringArray& custoIds, int param);

    // Start operations (window thread): each claims its operation's busy flag
    // and posts a task, or does nothing while the operation is claimed.
    void StartUpdate(int count, int mode);
    void StopUpdate();
    // Aborts the request of every running operation.
    void StopAll();
    void StartVote(const CByteArray& form, int param);
    void StartSend(CString subject, CString text, int param);
    void StartReply(CString subject, CString text, CString targetId, int param);
    // Local only: removes the records and their elements at once (no file is
    // written); otherwise the provider's Delete does it. Nothing while a
    // delete runs.
    void DeleteItems(const CStringArray& custoIds, BOOL localOnly, int param);

    int GetNewMessageCount() const { return m_newMessageCount.load(); }
    int GetNewReplyCount() const { return m_newReplyCount.load(); }
    BOOL IsUpdating() const { return m_updateBusy.load() != 0; }
    BOOL IsDeleting() const { return m_deleteBusy.load() != 0; }
    BOOL IsSending() const { return m_sendBusy.load() != 0; }
    BOOL IsReplying() const { return m_replyBusy.load() != 0; }

    CMessageItem* GetItem(int index) { return static_cast<CMessageItem*>(CClassStore::GetItem(index)); }
    CMessageItem* LookupItem(const CString& id, const CString& custoId, int* index)
    {
        return static_cast<CMessageItem*>(CClassStore::LookupItem(id, custoId, index));
    }
    CMessageItem* FindItem(const CString& id, const CString& custoId)
    {
        return static_cast<CMessageItem*>(CClassStore::FindItem(id, custoId));
    }

    // Rebuilds the list from the document, reading the file first when
    // reload is set: pinned messages and the class vote first, the rest
    // sorted, repeated messages once.
    void LoadItems(BOOL reload);

protected:
    void AbortRequests() override;
    // Lists the class vote the cursor stands on first, as a pinned record
    // titled "[班级投票]". The caller holds the items lock.
    void InsertVoteItem(CXmlCursor& cursor);

    std::atomic<int> m_newMessageCount{0};
    std::atomic<int> m_newReplyCount{0};
    CHttpClient m_voteClient;
    std::atomic<int> m_voteBusy{0};
    CHttpClient m_replyClient;
    std::atomic<int> m_replyBusy{0};
    CHttpClient m_sendClient;
    std::atomic<int> m_sendBusy{0};
    CHttpClient m_updateClient;
    std::atomic<int> m_updateBusy{0};
    CHttpClient m_deleteClient;
    std::atomic<int> m_deleteBusy{0};
};

// The store's tasks: each calls one operation and holds its claim until it
// is deleted.
class CMessageVoteTask : public tavrin::ClaimedCall {
public:
    CMessageVoteTask(CMessageStore* store, tavrin::OwnerState* state, std::atomic<int>* busy, const CByteArray& form,
                     int param)
        : ClaimedCall(state, busy, [store, form = tavrin::CopyForTask(form), param] { store->Vote(*form, param); })
    {
    }
};

class CMessageReplyTask : public tavrin::ClaimedCall {
public:
    CMessageReplyTask(CMessageStore* store, tavrin::OwnerState* state, std::atomic<int>* busy,
                      const CString& subject, const CString& text, const CString& targetId, int param)
        : ClaimedCall(state, busy, [=] { store->Reply(subject, text, targetId, param); })
    {
    }
};

class CMessageSendTask : public tavrin::ClaimedCall {
public:
    CMessageSendTask(CMessageStore* store, tavrin::OwnerState* state, std::atomic<int>* busy, const CString& subject,
                     const CString& text, int param)
        : ClaimedCall(state, busy, [=] { store->Send(subject, text, param); })
    {
    }
};

class CMessageUpdateTask : public tavrin::ClaimedCall {
public:
    CMessageUpdateTask(CMessageStore* store, tavrin::OwnerState* state, std::atomic<int>* busy, int count, int mode)
        : ClaimedCall(state, busy, [store, count, mode] { store->Update(count, mode); })
    {
    }
};

class CMessageDeleteTask : public tavrin::ClaimedCall {
public:
    CMessageDeleteTask(CMessageStore* store, tavrin::OwnerState* state, std::atomic<int>* busy,
                       const CStringArray& custoIds, int param)
        : ClaimedCall(state, busy, [store, ids = tavrin::CopyForTask(custoIds), param] { store->Delete(*ids, param); })
    {
    }
};
