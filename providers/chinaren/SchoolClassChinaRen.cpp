#include "providers/chinaren/SchoolClassChinaRen.h"

#include "core/model/Account.h"
#include "providers/chinaren/ContactStoreChinaRen.h"
#include "providers/chinaren/MessageStoreChinaRen.h"
#include "providers/chinaren/PictureStoreChinaRen.h"
#include "providers/chinaren/PrivateStoreChinaRen.h"

namespace {

void Attach(CClassStore* store, const CString& folder, CSchoolClass* schoolClass)
{
    store->SetClassFolder(folder);
    store->SetSchoolClass(schoolClass);
}

// Keys are not kept across runs: a store without one starts with a new stamp.
void GiveKeyIfNone(CClassStore* store)
{
    if (store->GetAuthKey("").IsEmpty())
        store->SetAuthKey(store->GetAuthTime(), "");
}

} // namespace

void CSchoolClassChinaRen::CreateStores()
{
    // The id names the folder: one that could leave the account folder gets
    // no stores at all.
    if (!::IsSafeClassId(GetId()))
        return;
    CString folder;
    folder.Format("%s\\%s", GetAccount() ? GetAccount()->GetDataFolder() : CString(), GetId());

    CPrivateStoreChinaRen* privateStore = new CPrivateStoreChinaRen;
    m_privateStore = privateStore;
    Attach(privateStore, folder, this);
    privateStore->LoadItems(TRUE);

    CMessageStoreChinaRen* messageStore = new CMessageStoreChinaRen;
    m_messageStore = messageStore;
    Attach(messageStore, folder, this);
    messageStore->LoadItems(TRUE);
    GiveKeyIfNone(messageStore);

    CPictureStoreChinaRen* pictureStore = new CPictureStoreChinaRen;
    m_pictureStore = pictureStore;
    Attach(pictureStore, folder, this);
    pictureStore->LoadItems(TRUE);
    GiveKeyIfNone(pictureStore);

    CContactStoreChinaRen* contactStore = new CContactStoreChinaRen;
    m_contactStore = contactStore;
    Attach(contactStore, folder, this);
    contactStore->LoadItems(TRUE);
}
