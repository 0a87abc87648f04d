// CContactStore: a class's member list ("contact.xml"), one CContactItem per
// member. The provider derives it and implements Update and RenderPage.
#pragma once

#include "core/model/ClassStore.h"
#include "core/services/HttpClient.h"

#include <atomic>

class CContactItem : public CStoreItem {
public:
    CContactItem() = default;
    CContactItem(const CContactItem& other) = default;
    CContactItem& operator=(const CContactItem& other) = default;
    ~CContactItem() override = default;

    static void ReadXml(CContactItem* item, CXmlCursor* cursor);
    static void WriteXml(CContactItem* item, CXmlCursor* cursor);

    CString m_realName;
    CString m_userName;
    CString m_membership;  // tags stripped when the list is loaded
    CString m_lastVisit;
    CString m_visitTime;   // visit count as decimal text
};

class CContactStore : public CClassStore {
public:
    CContactStore();
    ~CContactStore() override;

    void SortRange(int lo, int hi, int column, BOOL ascending) override;
    BOOL IsBusy() override;

    // ids: custo_ids of the members to refresh, empty for all; mode 0 member
    // data and visits, 1 visits only.
    virtual void Update(CStringArray& ids, int mode);

    void StartUpdate(const CStringArray& ids, int mode);
    void StopUpdate();
    BOOL IsUpdating() const { return m_busy.load() != 0; }

    CContactItem* GetItem(int index) { return static_cast<CContactItem*>(CClassStore::GetItem(index)); }
    CContactItem* LookupItem(const CString& id, const CString& custoId, int* index)
    {
        return static_cast<CContactItem*>(CClassStore::LookupItem(id, custoId, index));
    }
    CContactItem* FindItem(const CString& id, const CString& custoId)
    {
        return static_cast<CContactItem*>(CClassStore::FindItem(id, custoId));
    }

    void DeleteItems(const CStringArray& custoIds, BOOL localOnly);
    void LoadItems(BOOL reload);

protected:
    void AbortRequests() override;

    CHttpClient m_connection;
    std::atomic<int> m_busy{0};
};

class CContactUpdateTask : public tavrin::ClaimedCall {
public:
    CContactUpdateTask(CContactStore* store, tavrin::OwnerState* state, std::atomic<int>* busy,
                       const CStringArray& ids, int mode)
        : ClaimedCall(state, busy, [store, ids = tavrin::CopyForTask(ids), mode] { store->Update(*ids, mode); })
    {
    }
};
