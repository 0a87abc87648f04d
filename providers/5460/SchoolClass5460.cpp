#include "providers/5460/SchoolClass5460.h"
#include "providers/common/PageScrape.h"

#include "core/model/Account.h"
#include "core/model/MessageStore.h"
#include "core/model/ModelEvents.h"
#include "core/model/PictureStore.h"
#include "core/services/FolderUtil.h"
#include "core/services/HttpClient.h"
#include "platform/win/WinMessage.h"
#include "providers/5460/ClassList5460.h"
#include "providers/5460/ContactStore5460.h"
#include "providers/5460/MessageStore5460.h"
#include "providers/5460/PictureStore5460.h"
#include "providers/5460/PrivateStore5460.h"
#include "providers/5460/SignIn.h"
#include "providers/common/Escape.h"
#include "providers/common/PageTemplate.h"
#include "providers/common/Session.h"

void CSchoolClass5460::CreateStores()
{
    // The id names the folder: one that could leave the account folder gets
    // no stores at all.
    if (!::IsSafeClassId(GetId()))
        return;
    CString folder;
    folder.Format("%s\\%s", GetAccount() ? GetAccount()->GetDataFolder() : CString(), GetId());

    // Every store of the class is the provider's own.
    CPrivateStore5460* privateStore = new CPrivateStore5460;
    CMessageStore5460* messageStore = new CMessageStore5460;
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
    messageStore->LoadItems(TRUE);
}

void CSchoolClass5460::UpdateClassInfo(int)
{
    Log("[班级信息]开始更新...");
    CAccount* account = GetAccount();
    if (!account)
        return;
    tavrin::ApplyConfiguredProxy(m_classInfoClient);
    // A closing class keeps the stop that its teardown set.
    if (!IsClosing())
        m_classInfoClient.ResetStop();
    auto post = [&] {
        if (HWND wnd = account->GetNotifyWnd())
            PostMessage(wnd, WM_CLASS_EVENT, 1, reinterpret_cast<LPARAM>(static_cast<CSchoolClass*>(this)));
    };

    // A stale cookie would only fetch the sign-in page: sign in like every
    // other operation.
    CString signInPage;
    if (!account->Login(&m_classInfoClient, &signInPage)) {
        Log("[班级信息]登录失败, 无法更新.");
        post();
        return;
    }
    const CString url = tavrin::p5460::PageUrl(account->GetProvider(), "/gy5460/jsp/class/class.jsp?classID=") +
                        tavrin::EscapeUrl(GetId());
    CByteArray reply;
    if (!m_classInfoClient.Request(url, "", reply, "") || m_classInfoClient.IsStopped()) {
        Log("[班级信息]网络错误, 无法更新.");
        post();
        return;
    }
    CString misc;
    if (!tavrin::ReadTemplateFile(GetAppDir() + "\\styles\\5460\\default\\misc.html", misc))
        return;
    const CString page = tavrin::PageText(reply);
    const std::vector<CString> values = tavrin::p5460::ReadClassInfo(
        page, tavrin::p5460::ClassPageReading::ClassInfo, GetSchoolName(), GetName(), CString());
    if (::IsSafeClassId(GetId())) {
        CString folder;
        folder.Format("%s\\%s", account->GetDataFolder(), GetId());
        CreateDirectoryPath(folder);
        tavrin::p5460::WriteClassInfoPage(misc, folder, values);
    }
    Log("[班级信息]更新结束.");
    post();
}
