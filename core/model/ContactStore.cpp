#include "core/model/ContactStore.h"

#include "core/services/HtmlTags.h"

void CContactItem::ReadXml(CContactItem* item, CXmlCursor* cursor)
{
    CStoreItem::ReadXml(item, cursor);
    item->m_lastVisit = cursor->GetChildData("last_visit");
    item->m_membership = cursor->GetChildData("membership");
    item->m_realName = cursor->GetChildData("real_name");
    item->m_userName = cursor->GetChildData("user_name");
    item->m_visitTime = cursor->GetChildData("visit_time");
}

static void WriteChild(CXmlCursor* cursor, const char* name, const CString& value)
{
    if (cursor->FindChildElem(name, TRUE)) {
        cursor->SetData(value);
        cursor->GetFile().OutOfElem(cursor->GetId());
    }
}

void CContactItem::WriteXml(CContactItem* item, CXmlCursor* cursor)
{
    CStoreItem::WriteXml(item, cursor);
    WriteChild(cursor, "last_visit", item->m_lastVisit);
    WriteChild(cursor, "membership", item->m_membership);
    WriteChild(cursor, "real_name", item->m_realName);
    WriteChild(cursor, "user_name", item->m_userName);
    WriteChild(cursor, "visit_time", item->m_visitTime);
}

CContactStore::CContactStore()
{
    SetSort(5, FALSE);
    SetXmlFileName("contact.xml");
    SetRootName("contact");
}

CContactStore::~CContactStore()
{
    Close();
}

BOOL CContactStore::IsBusy()
{
    return m_busy.load() != 0;
}

void CContactStore::AbortRequests()
{
    m_connection.Abort();
}

void CContactStore::Update(CStringArray&, int) {}

void CContactStore::StartUpdate(const CStringArray& ids, int mode)
{
    if (!m_state.Claim(m_busy))
        return;
    m_state.Post(m_pool, new CContactUpdateTask(this, &m_state, &m_busy, ids, mode));
}

void CContactStore::StopUpdate()
{
    if (m_busy.load())
        m_connection.Abort();
}

void CContactStore::SortRange(int lo, int hi, int column, BOOL ascending)
{
    if (column < 1 || column > 5)
        return;
    if (column == 4) {
        QuickSortRange(lo, hi, column, ascending, [](CStoreItem* a, CStoreItem* b) {
            long long x = StoreTextNumber(static_cast<CContactItem*>(a)->m_visitTime);
            long long y = StoreTextNumber(static_cast<CContactItem*>(b)->m_visitTime);
            return x < y ? -1 : (x > y ? 1 : 0);
        });
        return;
    }
    CString CContactItem::*field = column == 1   ? &CContactItem::m_realName
                                   : column == 2 ? &CContactItem::m_userName
                                   : column == 3 ? &CContactItem::m_membership
                                                 : &CContactItem::m_lastVisit;
    QuickSortRange(lo, hi, column, ascending, [field](CStoreItem* a, CStoreItem* b) {
        return CompareStoreText(static_cast<CContactItem*>(a)->*field, static_cast<CContactItem*>(b)->*field);
    });
}

void CContactStore::DeleteItems(const CStringArray& custoIds, BOOL)
{
    // Contacts are never deleted at the provider.
    DeleteLocally(custoIds);
}

void CContactStore::LoadItems(BOOL reload)
{
    // The whole rebuild under the items lock: readers see the old list or the
    // new one, never a half-built one.
    ItemsLock lock = LockItems();
    CXmlCursor cursor(m_xml);
    if (!BeginItemsLoad(cursor, reload))
        return;
    do {
        CContactItem* item = new CContactItem;
        item->m_element = cursor.GetNode();
        item->m_realName = cursor.GetChildData("real_name");
        item->m_userName = cursor.GetChildData("user_name");
        item->m_lastVisit = cursor.GetChildData("last_visit");
        item->m_visitTime = cursor.GetChildData("visit_time");
        item->m_membership = cursor.GetChildData("membership");
        StripHtmlTags(item->m_membership);
        item->m_custoId = cursor.GetAttrib("custo_id");
        item->m_id = cursor.GetAttrib("id");
        AddItem(item);
    } while (m_xml.FindNextElem(TRUE, cursor.GetId()));
    SortItems(GetSortColumn(), GetSortAscending());
}
