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

    int GetNewMessageCount() const { return m_newMessageCount.load(); }
    int GetNewReplyCount() const { return m_newReplyCount.load(); }
    BOOL IsUpdating() const { return m_updateBusy.load() != 0; }
    BOOL IsDeleting() const { return m_deleteBusy.load() != 0; }
    BOOL IsSending() const { return m_sendBusy.load() != 0; }
    BOOL IsReplying() const { return m_replyBusy.load() != 0; }

protected:
    void AbortRequests() override;

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
