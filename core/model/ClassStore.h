// CClassStore: base of the four per-class stores. It owns the records (under
// a recursive lock), the store's XML document and a thread pool, and keeps
// the state the window code shares with the provider code: compose texts,
// verification key and code, the selected record, the sort.
//
// Teardown: the owner calls Close() before deleting a store (the school class
// does), so that no task runs while a destructor of the store's chain runs.
// Close sets the closing flag (queued tasks return at once), aborts the
// requests and joins the pool; the destructor then saves and frees.
#pragma once

#include "core/model/OwnerState.h"
#include "core/model/StoreItem.h"
#include "core/services/ThreadPool.h"
#include "core/services/XmlCursor.h"
#include "platform/base/Array.h"
#include "platform/base/String.h"

#include <atomic>
#include <mutex>

class CHttpClient;
class CSchoolClass;

class CClassStore {
public:
    typedef std::unique_lock<std::recursive_mutex> ItemsLock;

    CClassStore();
    virtual ~CClassStore();
    CClassStore(const CClassStore&) = delete;
    CClassStore& operator=(const CClassStore&) = delete;

    virtual void Search(CString text, int within);
    virtual BOOL NeedsAuthCode();
    virtual void SetAuthKey(CString key, CString name);
    virtual CString GetAuthKey(CString name);
    virtual CString GetAuthImagePath(CString name);
    virtual CString GetAuthCode(CString name);
    virtual void SetAuthCode(CString code, CString name);
    virtual int GetSubjectLength();
    virtual int GetContentLength();
    virtual CString RenderDetailPage(CString custoId, int width);
    virtual CString RenderPage(CString custoId);
    virtual CString RenderPreview(CString subject, CString text, int mode);
    virtual CString GetAuthTime();
    virtual void SortRange(int lo, int hi, int column, BOOL ascending) = 0;

    // Busy state of the kind's network operations; a search does not count.
    virtual BOOL IsBusy();

    // Marks the store closing (start operations are refused, queued tasks
    // return at once) and aborts its requests.
    void BeginClose();
    // BeginClose, then waits for the running operations, aborting them again
    // every 100 ms, and joins the pool. Idempotent; the destructor calls it too.
    void Close();
    // Aborts the requests of every operation of the store.
    void AbortTree() { AbortRequests(); }
    BOOL IsClosing() const { return m_state.IsClosing(); }

    // Plain accessors.
    int GetComposeMode();
    void SetComposeMode(int mode);
    CSchoolClass* GetSchoolClass() const { return m_schoolClass; }
    void SetSchoolClass(CSchoolClass* schoolClass) { m_schoolClass = schoolClass; }
    int GetSortColumn();
    BOOL GetSortAscending();
    void SetSort(int column, BOOL ascending);
    CXmlFile* GetXmlFile() { return &m_xml; }
    CString GetCurrentCustoId();
    void SetCurrentCustoId(const CString& custoId);
    CString GetComposeContent();
    void SetComposeContent(const CString& text);
    CString GetComposeSubject();
    void SetComposeSubject(const CString& text);
    CString GetClassFolder();
    void SetClassFolder(const CString& folder);
    CString GetXmlFileName();
    void SetXmlFileName(const CString& name);
    CString GetRootName();
    void SetRootName(const CString& name);
    CString GetLastSearch();
    void SetLastSearch(const CString& text);

    // The window thread holds this while it reads records; a record pointer
    // stays valid while the lock is held.
    ItemsLock LockItems() { return ItemsLock(m_itemsLock); }

    int GetItemCount();
    void AddItem(CStoreItem* item);
    void InsertItem(CStoreItem* item, int index);
    CStoreItem* GetItem(int index);
    CStoreItem* LookupItem(const CString& id, const CString& custoId, int* index);
    CStoreItem* FindItem(const CString& id, const CString& custoId);
    void RemoveItem(int index);
    void SetItem(int index, CStoreItem* item);
    void RemoveAllItems();
    // The start of every kind's load, under the items lock the caller holds:
    // empties the records and, with reload, reads the store's file again;
    // then puts the cursor on the root's first "item". FALSE when there is none.
    BOOL BeginItemsLoad(CXmlCursor& cursor, BOOL reload);

    void SortItems(int column, BOOL ascending);
    int GetUnreadCount();
    void SaveReadMarks();
    void StartSearch(CString text, int within);
    BOOL IsSearching() const { return m_searching.load() != 0; }
    CString RenderItemPage(int index);
    CString RenderItemDetailPage(int index, int width);
    BOOL GetCustoIdAt(int index, CString& custoId);
    void PrepareHttpClient(CHttpClient* client);

protected:
    // Aborts the requests of the kind's operations; called repeatedly while
    // the store closes.
    virtual void AbortRequests() {}
    // Called once when the store starts closing, before the first abort.
    virtual void OnClose() {}
    // Waits, aborting every 100 ms, until no operation or search runs.
    void WaitUntilIdle();

    // The quicksort every kind shares; recursion goes through the virtual
    // SortRange. compare(item, pivotItem) orders two records by the column.
    template <typename Compare>
    void QuickSortRange(int lo, int hi, int column, BOOL ascending, Compare compare);

    // Removes the records with these custo_ids from the list and their item
    // elements from the document (local deletion).
    void DeleteLocally(const CStringArray& custoIds);

    tavrin::OwnerState m_state;
    std::atomic<int> m_searching{0};
    ThreadPool m_pool{5, 100};
    CXmlFile m_xml;

private:
    void RenumberCustoIds();

    std::mutex m_textLock;  // guards the texts below
    CString m_authKey;
    CString m_authCode;
    CString m_xmlFileName;
    CString m_rootName;
    CString m_composeContent;
    CString m_composeSubject;
    int m_composeMode = 0;
    CString m_currentCustoId;
    CString m_classFolder;
    CString m_lastSearch;

    CSchoolClass* m_schoolClass = nullptr;

    std::recursive_mutex m_itemsLock;  // guards the records and the sort
    int m_sortAscending = 0;
    int m_sortColumn = 1;
    CArray<CStoreItem*, CStoreItem*> m_items;

    std::atomic<bool> m_closed{false};
};

// Compares two texts as multibyte text of the ANSI code page: a double-byte
// character compares as one unit by its two-byte code. For GBK this is the
// order of the unsigned bytes.
int CompareStoreText(const CString& a, const CString& b);
// The decimal value of the leading digits (leading blanks and one sign
// allowed); 0 when there are none.
long long StoreTextNumber(const CString& text);

template <typename Compare>
void CClassStore::QuickSortRange(int lo, int hi, int column, BOOL ascending, Compare compare)
{
    ItemsLock lock(m_itemsLock);
    int count = GetItemCount();
    if (lo < 0 || hi >= count || lo >= hi)
        return;
    // The pivot is a copy: the swaps below move the record it came from.
    CStoreItem* pivotItem = GetItem((lo + hi) / 2);
    auto below = [&](CStoreItem* item) { return compare(item, pivotItem) < 0; };
    auto above = [&](CStoreItem* item) { return compare(item, pivotItem) > 0; };
    int i = lo, j = hi;
    do {
        if (ascending) {
            while (below(GetItem(i)) && i < hi)
                ++i;
            while (above(GetItem(j)) && j > lo)
                --j;
        } else {
            while (above(GetItem(i)) && i < hi)
                ++i;
            while (below(GetItem(j)) && j > lo)
                --j;
        }
        if (i > j)
            break;
        CStoreItem* a = GetItem(i);
        SetItem(i, GetItem(j));
        SetItem(j, a);
        ++i;
        --j;
    } while (i <= j);
    if (lo < j)
        SortRange(lo, j, column, ascending);
    if (i < hi)
        SortRange(i, hi, column, ascending);
}

// CStoreSearchTask: runs the store's Search on a pool thread.
class CStoreSearchTask : public tavrin::ClaimedCall {
public:
    CStoreSearchTask(CClassStore* store, tavrin::OwnerState* state, std::atomic<int>* busy, const CString& text,
                     int within)
        : ClaimedCall(state, busy, [store, text, within] { store->Search(text, within); })
    {
    }
};
