#include "core/model/ClassStore.h"

#include "core/model/Account.h"
#include "core/model/SchoolClass.h"
#include "core/services/Config.h"
#include "core/services/HttpClient.h"
#include "core/services/XmlText.h"
#include "platform/base/CodePage.h"

#include <cstdlib>
#include <cerrno>

int CompareStoreText(const CString& a, const CString& b)
{
    return a.Compare(b);
}

long long StoreTextNumber(const CString& text)
{
    errno = 0;
    long long value = strtoll(text, nullptr, 10);
    return errno == ERANGE ? 0 : value;
}

namespace {

// The log feature of a store kind, by its root element.
const char* FeatureName(const CString& rootName)
{
    static const struct {
        const char* root;
        const char* feature;
    } kFeatures[] = {{"contact", "通讯录"}, {"message", "留言"}, {"picture", "照片"}, {"private", "悄悄话"}};
    for (const auto& row : kFeatures) {
        if (rootName == row.root)
            return row.feature;
    }
    return "班级";
}

} // namespace

CClassStore::CClassStore()
{
    m_pool.Start();
}

CClassStore::~CClassStore()
{
    Close();
    {
        ItemsLock lock(m_itemsLock);
        for (INT_PTR i = 0; i < m_items.GetSize(); ++i)
            delete m_items[i];
        m_items.RemoveAll();
    }
    RenumberCustoIds();
    if (m_xml.IsModified())
        m_xml.Save();
}

void CClassStore::Close()
{
    if (m_closed.exchange(true))
        return;
    BeginClose();
    WaitUntilIdle();
    m_pool.Shutdown();
}

void CClassStore::BeginClose()
{
    if (!m_state.BeginClosing())
        return;
    OnClose();
    AbortRequests();
}

void CClassStore::WaitUntilIdle()
{
    for (;;) {
        m_state.ArmWait();
        // A search is not busy for the window, but it works on the records.
        if (!IsBusy() && !IsSearching())
            break;
        // Again every 100 ms: an operation may clear its client's stop
        // between two requests.
        AbortRequests();
        m_state.WaitForRelease(100);
    }
}

BOOL CClassStore::IsBusy()
{
    return FALSE;
}

// Base bodies of the virtual operations: the kinds and providers override them.
void CClassStore::Search(CString, int) {}
BOOL CClassStore::NeedsAuthCode() { return FALSE; }
CString CClassStore::GetAuthImagePath(CString) { return CString(); }
CString CClassStore::RenderDetailPage(CString, int) { return CString(); }
CString CClassStore::RenderPage(CString) { return CString(); }
CString CClassStore::RenderPreview(CString, CString, int) { return CString(); }
CString CClassStore::GetAuthTime() { return CString(); }

void CClassStore::SetAuthKey(CString key, CString)
{
    std::lock_guard<std::mutex> lock(m_textLock);
    m_authKey = key;
}

CString CClassStore::GetAuthKey(CString)
{
    std::lock_guard<std::mutex> lock(m_textLock);
    return m_authKey;
}

CString CClassStore::GetAuthCode(CString)
{
    std::lock_guard<std::mutex> lock(m_textLock);
    return m_authCode;
}

void CClassStore::SetAuthCode(CString code, CString)
{
    std::lock_guard<std::mutex> lock(m_textLock);
    m_authCode = code;
}

int CClassStore::GetSubjectLength()
{
    return tavrin::GbkCharCount(GetComposeSubject().View());
}

int CClassStore::GetContentLength()
{
    return tavrin::GbkCharCount(GetComposeContent().View());
}

#define TEXT_ACCESSORS(Name, member)                       \
    CString CClassStore::Get##Name()                       \
    {                                                      \
        std::lock_guard<std::mutex> lock(m_textLock);      \
        return member;                                     \
    }                                                      \
    void CClassStore::Set##Name(const CString& value)      \
    {                                                      \
        std::lock_guard<std::mutex> lock(m_textLock);      \
        member = value;                                    \
    }
TEXT_ACCESSORS(CurrentCustoId, m_currentCustoId)
TEXT_ACCESSORS(ComposeContent, m_composeContent)
TEXT_ACCESSORS(ComposeSubject, m_composeSubject)
TEXT_ACCESSORS(ClassFolder, m_classFolder)
TEXT_ACCESSORS(XmlFileName, m_xmlFileName)
TEXT_ACCESSORS(RootName, m_rootName)
TEXT_ACCESSORS(LastSearch, m_lastSearch)
#undef TEXT_ACCESSORS

int CClassStore::GetComposeMode()
{
    std::lock_guard<std::mutex> lock(m_textLock);
    return m_composeMode;
}

void CClassStore::SetComposeMode(int mode)
{
    std::lock_guard<std::mutex> lock(m_textLock);
    m_composeMode = mode;
}

int CClassStore::GetSortColumn()
{
    ItemsLock lock(m_itemsLock);
    return m_sortColumn;
}

BOOL CClassStore::GetSortAscending()
{
    ItemsLock lock(m_itemsLock);
    return m_sortAscending;
}

void CClassStore::SetSort(int column, BOOL ascending)
{
    ItemsLock lock(m_itemsLock);
    m_sortColumn = column;
    m_sortAscending = ascending;
}

int CClassStore::GetItemCount()
{
    ItemsLock lock(m_itemsLock);
    return static_cast<int>(m_items.GetSize());
}

// The list never holds a null record: sorting and lookups follow every pointer.
void CClassStore::AddItem(CStoreItem* item)
{
    if (!item)
        return;
    ItemsLock lock(m_itemsLock);
    m_items.Add(item);
}

void CClassStore::InsertItem(CStoreItem* item, int index)
{
    if (!item)
        return;
    ItemsLock lock(m_itemsLock);
    if (index >= 0 && index <= m_items.GetSize())
        m_items.InsertAt(index, item);
    else
        m_items.Add(item);
}

CStoreItem* CClassStore::GetItem(int index)
{
    ItemsLock lock(m_itemsLock);
    if (index < 0 || index >= m_items.GetSize())
        return nullptr;
    return m_items[index];
}

CStoreItem* CClassStore::LookupItem(const CString& id, const CString& custoId, int* index)
{
    ItemsLock lock(m_itemsLock);
    if (index)
        *index = -1;
    bool byId = !id.IsEmpty();
    if (!byId && custoId.IsEmpty())
        return nullptr;
    for (INT_PTR i = 0; i < m_items.GetSize(); ++i) {
        CStoreItem* item = m_items[i];
        if (item && (byId ? item->m_id == id : item->m_custoId == custoId)) {
            if (index)
                *index = static_cast<int>(i);
            return item;
        }
    }
    return nullptr;
}

CStoreItem* CClassStore::FindItem(const CString& id, const CString& custoId)
{
    return LookupItem(id, custoId, nullptr);
}

void CClassStore::RemoveItem(int index)
{
    ItemsLock lock(m_itemsLock);
    if (index >= 0 && index < m_items.GetSize())
        m_items.RemoveAt(index);
}

void CClassStore::SetItem(int index, CStoreItem* item)
{
    ItemsLock lock(m_itemsLock);
    if (item && index >= 0 && index < m_items.GetSize())
        m_items[index] = item;
}

void CClassStore::RemoveAllItems()
{
    ItemsLock lock(m_itemsLock);
    for (INT_PTR i = 0; i < m_items.GetSize(); ++i)
        delete m_items[i];
    m_items.RemoveAll();
}

BOOL CClassStore::BeginItemsLoad(CXmlCursor& cursor, BOOL reload)
{
    RemoveAllItems();
    if (reload) {
        m_xml.Clear();
        if (!cursor.Load(GetClassFolder() + "\\" + GetXmlFileName(), TRUE))
            return FALSE;
        if (m_xml.IsFileKept()) {
            // The file is there but unreadable now: list nothing, never save
            // over it, read it again at the next load.
            if (m_schoolClass)
                m_schoolClass->Log(CString("[") + FeatureName(GetRootName()) + "]无法读取" + GetXmlFileName() +
                                   ", 文件保持不变, 下次加载时重试.");
            return FALSE;
        }
    }
    m_xml.ResetPos(cursor.GetId());
    return cursor.FindChildElem(GetRootName(), FALSE) && cursor.FindChildElem("item", FALSE);
}

void CClassStore::SortItems(int column, BOOL ascending)
{
    // One lock over the whole sort: no reload or delete can interleave.
    ItemsLock lock(m_itemsLock);
    m_sortColumn = column;
    m_sortAscending = ascending;
    int count = GetItemCount();
    int first = 0;
    while (first < count && m_items[first] && m_items[first]->m_pinned)
        ++first;
    if (count > 1)
        SortRange(first, count - 1, column, ascending);
}

int CClassStore::GetUnreadCount()
{
    ItemsLock lock(m_itemsLock);
    int unread = 0;
    for (INT_PTR i = 0; i < m_items.GetSize(); ++i) {
        if (m_items[i] && m_items[i]->m_read == 0)
            ++unread;
    }
    return unread;
}

void CClassStore::SaveReadMarks()
{
    ItemsLock lock(m_itemsLock);
    CXmlCursor cursor(m_xml);
    for (INT_PTR i = 0; i < m_items.GetSize(); ++i) {
        CStoreItem* item = m_items[i];
        // A handle whose element was removed by an update reads as empty and
        // is refused by SetNodeAttrib.
        if (item && item->m_read)
            cursor.SetNodeAttrib(item->m_element, "read", "1");
    }
}

void CClassStore::StartSearch(CString text, int within)
{
    if (!m_state.Claim(m_searching))
        return;
    m_state.Post(m_pool, new CStoreSearchTask(this, &m_state, &m_searching, text, within));
}

// The record's custo_id, read under the items lock; FALSE when there is no
// record at the index.
BOOL CClassStore::GetCustoIdAt(int index, CString& custoId)
{
    ItemsLock lock(m_itemsLock);
    CStoreItem* item = GetItem(index);
    if (!item)
        return FALSE;
    custoId = item->m_custoId;
    return TRUE;
}

CString CClassStore::RenderItemPage(int index)
{
    CString custoId;
    return GetCustoIdAt(index, custoId) ? RenderPage(custoId) : CString();
}

CString CClassStore::RenderItemDetailPage(int index, int width)
{
    CString custoId;
    return GetCustoIdAt(index, custoId) ? RenderDetailPage(custoId, width) : CString();
}

void CClassStore::PrepareHttpClient(CHttpClient* client)
{
    if (!client)
        return;
    client->SetProxy(GetConfig(CFG_PROXY_HOST), GetConfig(CFG_PROXY_PORT), CString(), GetConfig(CFG_PROXY_USERNAME),
                     GetConfig(CFG_PROXY_PASSWORD), 1);
    // A closing store keeps the stop that teardown set.
    if (!IsClosing())
        client->ResetStop();
    client->ClearCookies();
    CAccount* account = m_schoolClass ? m_schoolClass->GetAccount() : nullptr;
    if (account)
        client->AddCookie(account->GetCookie());
    client->SetRetryCount(5);
}

void CClassStore::DeleteLocally(const CStringArray& custoIds)
{
    // One lock over the whole delete, so the list and the document agree.
    ItemsLock lock(m_itemsLock);
    CXmlCursor cursor(m_xml);
    m_xml.ResetPos(cursor.GetId());
    BOOL haveRoot = cursor.FindChildElem(GetRootName(), FALSE);
    for (INT_PTR n = 0; n < custoIds.GetSize(); ++n) {
        const CString& custoId = custoIds[n];
        int index = -1;
        for (INT_PTR i = 0; i < m_items.GetSize(); ++i) {
            if (m_items[i] && m_items[i]->m_custoId == custoId) {
                index = static_cast<int>(i);
                break;
            }
        }
        if (index < 0)
            continue;
        if (haveRoot)
            cursor.RemoveChildElemWithAttrib("item", "custo_id", XmlEscapeString(custoId));
        delete m_items[index];
        m_items.RemoveAt(index);
    }
}

void CClassStore::RenumberCustoIds()
{
    CXmlCursor cursor(m_xml);
    m_xml.ResetPos(cursor.GetId());
    if (!cursor.FindChildElem(GetRootName(), FALSE) || !cursor.FindChildElem("item", FALSE))
        return;
    long long n = StoreTextNumber(cursor.GetAttrib("custo_id"));
    while (m_xml.FindNextElem(TRUE, cursor.GetId())) {
        --n;
        CString text;
        text.Format("%lld", n);
        if (cursor.GetAttrib("custo_id") != text)
            cursor.SetAttrib("custo_id", text);
    }
}
