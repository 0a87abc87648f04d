#include "providers/common/StoreEvents.h"

#include "core/model/Account.h"
#include "core/model/ClassStore.h"
#include "core/model/ModelEvents.h"
#include "core/model/PrivateStore.h"
#include "core/model/SchoolClass.h"
#include "core/services/XmlFile.h"
#include "core/services/XmlText.h"
#include "platform/win/WinMessage.h"

#include <algorithm>

namespace tavrin {

namespace {

HWND NotifyWnd(CClassStore& store)
{
    CSchoolClass* schoolClass = store.GetSchoolClass();
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    return account ? account->GetNotifyWnd() : nullptr;
}

} // namespace

void LogToClass(CClassStore& store, const CString& text)
{
    if (CSchoolClass* schoolClass = store.GetSchoolClass())
        schoolClass->Log(text);
}

void PostClassEvent(CClassStore& store, WPARAM code)
{
    if (HWND wnd = NotifyWnd(store))
        PostMessage(wnd, WM_CLASS_EVENT, code, reinterpret_cast<LPARAM>(store.GetSchoolClass()));
}

void SendClassEvent(CClassStore& store, WPARAM code)
{
    if (HWND wnd = NotifyWnd(store))
        SendMessage(wnd, WM_CLASS_EVENT, code, reinterpret_cast<LPARAM>(store.GetSchoolClass()));
}

int SignInFor(CClassStore& store, CHttpClient* client)
{
    CSchoolClass* schoolClass = store.GetSchoolClass();
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    CString page;
    return account ? account->Login(client, &page) : 0;
}

std::vector<CString> RemoveListedItems(CClassStore& store, const char* root, const CStringArray& custoIds)
{
    std::vector<CString> ids;
    CClassStore::ItemsLock lock = store.LockItems();
    CXmlFile& xml = *store.GetXmlFile();
    CXmlCursor cursor(xml);
    xml.ResetPos(cursor.GetId());
    const BOOL haveRoot = cursor.FindChildElem(root);
    for (INT_PTR n = 0; n < custoIds.GetSize(); ++n) {
        const CString& custoId = custoIds[n];
        int index = -1;
        for (int i = 0; i < store.GetItemCount() && index < 0; ++i)
            if (store.GetItem(i)->m_custoId == custoId)
                index = i;
        if (index < 0)
            continue;
        if (haveRoot) {
            const CString key = XmlEscapeString(custoId, TRUE);
            if (cursor.FindChildElemWithAttrib("item", "custo_id", key)) {
                ids.push_back(cursor.GetAttrib("id"));
                xml.OutOfElem(cursor.GetId());
            }
            cursor.RemoveChildElemWithAttrib("item", "custo_id", key);
        }
        CStoreItem* item = store.GetItem(index);
        store.RemoveItem(index);
        delete item;
    }
    return ids;
}

void MarkNoteReplied(CPrivateStore& store, int noteNumber)
{
    CString key;
    key.Format("%d", noteNumber);
    CClassStore::ItemsLock lock = store.LockItems();
    CPrivateItem* item = store.FindItem(CString(), key);
    if (!item)
        return;
    item->m_replyStatus = "yes";
    CXmlFile& xml = *store.GetXmlFile();
    CXmlCursor cursor(xml);
    xml.ResetPos(cursor.GetId());
    if (cursor.FindChildElem("private") && cursor.FindChildElemWithAttrib("item", "custo_id", XmlEscapeString(key))) {
        cursor.SetChildData("reply_status", "yes");
        xml.Save();
    }
}

std::vector<long long> StoredMessageNumbers(CXmlFile& xml)
{
    std::vector<long long> numbers;
    CXmlCursor cursor(xml);
    xml.ResetPos(cursor.GetId());
    if (cursor.FindChildElem("message") && cursor.FindChildElem("item")) {
        do {
            const CString text = cursor.GetAttrib("custo_id");
            const long long number = StoreTextNumber(text);
            CString canonical;
            canonical.Format("%lld", number);
            if (number > 0 && canonical == text)
                numbers.push_back(number);
        } while (xml.FindNextElem(TRUE, cursor.GetId()));
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

} // namespace tavrin
