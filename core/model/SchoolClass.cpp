#include "core/model/SchoolClass.h"

#include "core/model/Account.h"
#include "core/model/ContactStore.h"
#include "core/model/MessageStore.h"
#include "core/model/ModelEvents.h"
#include "core/model/PictureStore.h"
#include "core/model/PrivateStore.h"
#include "core/services/XmlCursor.h"
#include "core/services/XmlText.h"

CSchoolClass::CSchoolClass()
{
    m_pool.Start();
}

CSchoolClass::~CSchoolClass()
{
    TearDown();
}

void CSchoolClass::TearDown()
{
    Close();
    CClassStore* stores[4];
    int count = GetStores(stores);
    m_privateStore = nullptr;
    m_pictureStore = nullptr;
    m_messageStore = nullptr;
    m_contactStore = nullptr;
    for (int i = 0; i < count; ++i)
        delete stores[i];
}

int CSchoolClass::GetStores(CClassStore* stores[4]) const
{
    int count = 0;
    CClassStore* all[4] = {m_privateStore, m_pictureStore, m_messageStore, m_contactStore};
    for (CClassStore* store : all) {
        if (store)
            stores[count++] = store;
    }
    return count;
}

void CSchoolClass::UpdateClassInfo(int) {}
void CSchoolClass::CreateStores() {}

void CSchoolClass::StartUpdateClassInfo(int param)
{
    if (m_state.Claim(m_classInfoBusy))
        m_state.Post(m_pool, new CClassInfoTask(this, &m_state, &m_classInfoBusy, param));
}

BOOL CSchoolClass::IsBusy()
{
    if (m_classInfoBusy.load())
        return TRUE;
    if (m_contactStore && m_contactStore->IsBusy())
        return TRUE;
    if (m_messageStore && m_messageStore->IsBusy())
        return TRUE;
    if (m_pictureStore && m_pictureStore->IsBusy())
        return TRUE;
    return m_privateStore && m_privateStore->IsBusy();
}

int CSchoolClass::GetUnreadMessageCount()
{
    return m_messageStore ? m_messageStore->GetUnreadCount() : 0;
}

int CSchoolClass::GetUnreadPrivateCount()
{
    return m_privateStore ? m_privateStore->GetUnreadCount() : 0;
}

int CSchoolClass::GetUnreadPictureCount()
{
    return m_pictureStore ? m_pictureStore->GetUnreadCount() : 0;
}

void CSchoolClass::Log(const CString& text)
{
    std::lock_guard<std::mutex> lock(m_logLock);
    m_logLines.Add(CTime::GetCurrentTime().Format("[%H:%M:%S]") + text);
    if (m_logLines.GetSize() > m_logLimit)
        m_logLines.RemoveAt(0);
    HWND wnd = m_account ? m_account->GetNotifyWnd() : nullptr;
    if (wnd)
        PostMessage(wnd, WM_CLASS_EVENT, 0, reinterpret_cast<LPARAM>(this));
}

int CSchoolClass::GetLogCount()
{
    std::lock_guard<std::mutex> lock(m_logLock);
    return static_cast<int>(m_logLines.GetSize());
}

CString CSchoolClass::GetLogLine(int index)
{
    std::lock_guard<std::mutex> lock(m_logLock);
    if (index < 0 || index >= m_logLines.GetSize())
        return CString();
    return m_logLines[index];
}

int CSchoolClass::LoadFromAccountFile()
{
    if (!m_account)
        return 0;
    CXmlFile file;
    CXmlCursor cursor(file);
    if (!cursor.Load(m_account->GetDataFolder() + "\\tavrin.xml", FALSE))
        return 0;
    file.ResetPos(cursor.GetId());
    if (!cursor.FindChildElem("account", FALSE))
        return 0;
    if (!cursor.FindChildElemWithAttrib("class", "id", XmlEscapeString(GetId())))
        return 0;
    SetSchoolName(cursor.GetChildData("school_name"));
    SetSchoolId(cursor.GetChildData("school_id"));
    SetName(cursor.GetChildData("name"));
    CString custoName = cursor.GetChildData("custo_name");
    SetCustoName(custoName.IsEmpty() ? GetName() : custoName);
    CreateStores();
    // A provider whose CreateStores made no store leaves the codes unread.
    if (m_messageStore)
        m_messageStore->SetAuthCode(cursor.GetChildData("message_auth_code"), CString());
    if (m_pictureStore)
        m_pictureStore->SetAuthCode(cursor.GetChildData("picture_auth_code"), CString());
    return 1;
}

#define LOCKED_TEXT(Name, member)                          \
    CString CSchoolClass::Get##Name()                      \
    {                                                      \
        std::lock_guard<std::mutex> lock(m_fieldsLock);    \
        return member;                                     \
    }                                                      \
    void CSchoolClass::Set##Name(const CString& value)     \
    {                                                      \
        std::lock_guard<std::mutex> lock(m_fieldsLock);    \
        member = value;                                    \
    }
LOCKED_TEXT(Id, m_id)
LOCKED_TEXT(Name, m_name)
LOCKED_TEXT(CustoName, m_custoName)
LOCKED_TEXT(SchoolName, m_schoolName)
LOCKED_TEXT(SchoolId, m_schoolId)
#undef LOCKED_TEXT

void CSchoolClass::AbortTree()
{
    m_classInfoClient.Abort();
    CClassStore* stores[4];
    int count = GetStores(stores);
    for (int i = 0; i < count; ++i)
        stores[i]->AbortTree();
}

void CSchoolClass::BeginClose()
{
    if (!m_state.BeginClosing())
        return;
    CClassStore* stores[4];
    int count = GetStores(stores);
    for (int i = 0; i < count; ++i)
        stores[i]->BeginClose();
    m_classInfoClient.Abort();
}

void CSchoolClass::Close()
{
    if (m_closed.exchange(true))
        return;
    BeginClose();
    for (;;) {
        m_state.ArmWait();
        if (!m_classInfoBusy.load())
            break;
        AbortTree();
        m_state.WaitForRelease(100);
    }
    m_pool.Shutdown();
    CClassStore* stores[4];
    int count = GetStores(stores);
    for (int i = 0; i < count; ++i)
        stores[i]->Close();
}

bool IsSafeClassId(const CString& id)
{
    if (id.IsEmpty())
        return false;
    for (char c : id.View()) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                        c == '-';
        if (!ok)
            return false;
    }
    return true;
}
