// CPrivateStore: the private notes of a class ("private.xml"). The provider
// derives it and implements Update, Send, Reply, Delete and RenderPage.
#pragma once

#include "core/model/ClassStore.h"
#include "core/services/HttpClient.h"

#include <atomic>

class CPrivateItem : public CStoreItem {
public:
    CPrivateItem() = default;
    CPrivateItem(const CPrivateItem& other) = default;
    CPrivateItem& operator=(const CPrivateItem& other) = default;
    ~CPrivateItem() override = default;

    static void ReadXml(CPrivateItem* item, CXmlCursor* cursor);
    static void WriteXml(CPrivateItem* item, CXmlCursor* cursor);

    CString m_title;
    CString m_userName;
    CString m_userId;
    CString m_time;
    CString m_replyStatus;  // "yes" once answered
    CString m_realName;
};

class CPrivateStore : public CClassStore {
public:
    CPrivateStore();
    ~CPrivateStore() override;

    void SortRange(int lo, int hi, int column, BOOL ascending) override;
    BOOL IsBusy() override;

    virtual void Reply(CString subject, CString content, CString realName, CString userName, CString userId,
                       int noteNumber);
    virtual void Send(CString subject, CString content, CString realName, CString userName, CString receiverId,
                      int param);
    // mode 0 all notes, 1 the newest.
    virtual void Update(int mode);
    virtual void Delete(CStringArray& custoIds, int param);

    void StartUpdate(int mode);
    void StopUpdate();
    void StartSend(CString subject, CString content, CString realName, CString userName, CString receiverId,
                   int param);
    void StartReply(CString subject, CString content, CString realName, CString userName, CString userId,
                    int noteNumber);
    void DeleteItems(const CStringArray& custoIds, BOOL localOnly, int param);

    BOOL IsUpdating() const { return m_updating.load() != 0; }
    BOOL IsDeleting() const { return m_deleting.load() != 0; }
    BOOL IsReplying() const { return m_replying.load() != 0; }
    BOOL IsSending() const { return m_sending.load() != 0; }
    int GetNewNoteCount() const { return m_newNoteCount.load(); }

    CPrivateItem* GetItem(int index) { return static_cast<CPrivateItem*>(CClassStore::GetItem(index)); }
    CPrivateItem* LookupItem(const CString& id, const CString& custoId, int* index)
    {
        return static_cast<CPrivateItem*>(CClassStore::LookupItem(id, custoId, index));
    }
    CPrivateItem* FindItem(const CString& id, const CString& custoId)
    {
        return static_cast<CPrivateItem*>(CClassStore::FindItem(id, custoId));
    }

    void LoadItems(BOOL reload);

protected:
    void AbortRequests() override;
    void OnClose() override;
    // Logs the stop line of a running update (once) and aborts it.
    void LogStopAndAbort();

    std::atomic<int> m_newNoteCount{0};
    CHttpClient m_replyClient;
    std::atomic<int> m_replying{0};
    CHttpClient m_sendClient;
    std::atomic<int> m_sending{0};
    CHttpClient m_updateClient;
    std::atomic<int> m_updating{0};
    CHttpClient m_deleteClient;
    std::atomic<int> m_deleting{0};
};

class CPrivateUpdateTask : public tavrin::ClaimedCall {
public:
    CPrivateUpdateTask(CPrivateStore* store, tavrin::OwnerState* state, std::atomic<int>* busy, int mode)
        : ClaimedCall(state, busy, [store, mode] { store->Update(mode); })
    {
    }
};

class CPrivateSendTask : public tavrin::ClaimedCall {
public:
    CPrivateSendTask(CPrivateStore* store, tavrin::OwnerState* state, std::atomic<int>* busy, const CString& subject,
                     const CString& content, const CString& realName, const CString& userName,
                     const CString& receiverId, int param)
        : ClaimedCall(state, busy, [=] { store->Send(subject, content, realName, userName, receiverId, param); })
    {
    }
};

class CPrivateReplyTask : public tavrin::ClaimedCall {
public:
    CPrivateReplyTask(CPrivateStore* store, tavrin::OwnerState* state, std::atomic<int>* busy,
                      const CString& subject, const CString& content, const CString& realName,
                      const CString& userName, const CString& userId, int noteNumber)
        : ClaimedCall(state, busy, [=] { store->Reply(subject, content, realName, userName, userId, noteNumber); })
    {
    }
};

class CPrivateDeleteTask : public tavrin::ClaimedCall {
public:
    CPrivateDeleteTask(CPrivateStore* store, tavrin::OwnerState* state, std::atomic<int>* busy,
                       const CStringArray& custoIds, int param)
        : ClaimedCall(state, busy, [store, ids = tavrin::CopyForTask(custoIds), param] { store->Delete(*ids, param); })
    {
    }
};
