// What every provider store's operations do through their class and
// account: log lines, class events, sign-in.
#pragma once

#include "platform/base/Array.h"
#include "platform/base/String.h"
#include "core/services/XmlCursor.h"
#include "core/services/XmlFile.h"
#include "platform/base/Types.h"

#include <vector>

class CClassStore;
class CHttpClient;
class CPrivateStore;

namespace tavrin {

// To the class log of the store's class.
void LogToClass(CClassStore& store, const CString& text);
// WM_CLASS_EVENT with code to the account's notify window, posted or sent
// (a send waits until the window has handled it).
void PostClassEvent(CClassStore& store, WPARAM code);
void SendClassEvent(CClassStore& store, WPARAM code);
// The account's sign-in with client; 0 without an account.
int SignInFor(CClassStore& store, CHttpClient* client);

// The stored message with this custo_id read into item; false when the
// document holds none. Item is the provider's message record.
template <class Item>
bool ReadStoredMessage(CXmlFile& xml, const CString& custoId, Item& item)
{
    CXmlCursor cursor(xml);
    xml.ResetPos(cursor.GetId());
    if (!cursor.FindChildElem("message") || !cursor.FindChildElemWithAttrib("item", "custo_id", custoId))
        return false;
    Item::ReadXml(&item, &cursor);
    return true;
}

// Takes the items of custoIds that the store lists out of its list and
// their "item" elements out of the document's root, under the item lock;
// a custo_id not listed is passed over. The "id" attributes of the removed
// elements come back in order (empty where an element had none): the
// provider's numbers to delete on the site.
std::vector<CString> RemoveListedItems(CClassStore& store, const char* root, const CStringArray& custoIds);

// After a successful reply: the note with this custo_id number is marked
// "yes" in the list and in the document, which is saved at once. Nothing
// when the note is gone meanwhile.
void MarkNoteReplied(CPrivateStore& store, int noteNumber);

// The positive custo_ids of the message items, as stored, ascending: the
// message pages walk down them instead of through numbers nobody has.
std::vector<long long> StoredMessageNumbers(CXmlFile& xml);

} // namespace tavrin
