#include "core/model/PictureStore.h"

CPictureStore::CPictureStore()
{
    SetSort(5, FALSE);
    SetXmlFileName("picture.xml");
    SetRootName("picture");
}

CPictureStore::~CPictureStore()
{
    Close();
}

CString CPictureStore::GetAuthImagePath(CString)
{
    return GetClassFolder() + "\\auth_picture.gif";
}

BOOL CPictureStore::IsBusy()
{
    return m_deleteBusy.load() || m_updateBusy.load() || m_uploadBusy.load() || m_commentBusy.load() ||
           CClassStore::IsBusy();
}

void CPictureStore::AbortRequests()
{
    m_updateClient.Abort();
    m_uploadClient.Abort();
    m_commentClient.Abort();
    m_deleteClient.Abort();
}

void CPictureStore::SortRange(int lo, int hi, int column, BOOL ascending)
{
    if (column == 3 || column == 4) {
        CString CPictureItem::*field = column == 3 ? &CPictureItem::m_click : &CPictureItem::m_commentNum;
        QuickSortRange(lo, hi, column, ascending, [field](CStoreItem* a, CStoreItem* b) {
            long long x = StoreTextNumber(static_cast<CPictureItem*>(a)->*field);
            long long y = StoreTextNumber(static_cast<CPictureItem*>(b)->*field);
            return x < y ? -1 : (x > y ? 1 : 0);
        });
        return;
    }
    CString CPictureItem::*field = nullptr;
    switch (column) {
    case 1: field = &CPictureItem::m_tile; break;
    case 2: field = &CPictureItem::m_uploadUser; break;
    case 5: field = &CPictureItem::m_uploadTime; break;
    default: return;
    }
    QuickSortRange(lo, hi, column, ascending, [field](CStoreItem* a, CStoreItem* b) {
        return CompareStoreText(static_cast<CPictureItem*>(a)->*field, static_cast<CPictureItem*>(b)->*field);
    });
}
