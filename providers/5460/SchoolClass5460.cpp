#include "providers/5460/SchoolClass5460.h"

#include "core/model/Account.h"
#include "core/model/MessageStore.h"
#include "core/model/PictureStore.h"
#include "core/model/PrivateStore.h"
#include "providers/5460/ContactStore5460.h"
#include "providers/5460/PictureStore5460.h"

void CSchoolClass5460::CreateStores()
{
    CString folder;
    folder.Format("%s\\%s", GetAccount() ? GetAccount()->GetDataFolder() : CString(), GetId());

    // The message, photo and note stores of the provider come with their own
    // updates; until then the class keeps the kinds' stores.
    CPrivateStore* privateStore = new CPrivateStore;
    CMessageStore* messageStore = new CMessageStore;
    CPictureStore5460* pictureStore = new CPictureStore5460;
    CContactStore5460* contactStore = new CContactStore5460;
    m_privateStore = privateStore;
    m_messageStore = messageStore;
    m_pictureStore = pictureStore;
    m_contactStore = contactStore;
    CClassStore* stores[] = {privateStore, messageStore, pictureStore, contactStore};
    for (CClassStore* store : stores) {
        store->SetClassFolder(folder);
        store->SetSchoolClass(this);
    }
    privateStore->LoadItems(TRUE);
    pictureStore->LoadItems(TRUE);
    contactStore->LoadItems(TRUE);
}
