#include "core/model/Account.h"

#include "core/model/ModelEvents.h"
#include "core/model/SchoolClass.h"

CAccount::CAccount() : m_cookieTime(2004, 11, 8, 0, 0, 0)
{
    m_pool.Start();
}

CAccount::~CAccount()
{
    Close();
    CArray<CSchoolClass*, CSchoolClass*> classes;
    {
        ClassesLock lock(m_classesLock);
        classes.Copy(m_classes);
        m_classes.RemoveAll();
    }
    for (INT_PTR i = 0; i < classes.GetSize(); ++i)
        delete classes[i];
}

// Base bodies: the providers override them.
int CAccount::Login(CHttpClient*, CString*) { return 0; }
void CAccount::UpdateProfile(CByteArray*, int) {}
void CAccount::ReadProfile(int) {}
void CAccount::UpdateClassList(int) {}
BOOL CAccount::HasMessageSubject() { return FALSE; }
BOOL CAccount::SupportsSmileys() { return FALSE; }
BOOL CAccount::HasPrivateSubject() { return FALSE; }
BOOL CAccount::NeedsVerifyCode(int) { return FALSE; }
CString CAccount::GetPrivateFeatureName() { return CString(); }
CSchoolClass* CAccount::CreateClass() { return nullptr; }

void CAccount::StartUpdateClassList(int param)
{
    if (m_state.Claim(m_classListBusy))
        m_state.Post(m_pool, new CClassListTask(this, &m_state, &m_classListBusy, param));
}

void CAccount::StartReadProfile(int param)
{
    if (m_state.Claim(m_profileReadBusy))
        m_state.Post(m_pool, new CProfileReadTask(this, &m_state, &m_profileReadBusy, param));
}

void CAccount::StartUpdateProfile(const CByteArray& form, int param)
{
    if (m_state.Claim(m_profileUpdateBusy))
        m_state.Post(m_pool, new CProfileUpdateTask(this, &m_state, &m_profileUpdateBusy, form, param));
}

void CAccount::Log(const CString& text)
{
    std::lock_guard<std::mutex> lock(m_logLock);
    m_logLines.Add(CTime::GetCurrentTime().Format("[%H:%M:%S]") + text);
    if (m_logLines.GetSize() > m_logLimit)
        m_logLines.RemoveAt(0);
    HWND wnd = GetNotifyWnd();
    if (wnd)
        PostMessage(wnd, WM_ACCOUNT_EVENT, 0, reinterpret_cast<LPARAM>(this));
}

int CAccount::GetLogCount()
{
    std::lock_guard<std::mutex> lock(m_logLock);
    return static_cast<int>(m_logLines.GetSize());
}

CString CAccount::GetLogLine(int index)
{
    std::lock_guard<std::mutex> lock(m_logLock);
    if (index < 0 || index >= m_logLines.GetSize())
        return CString();
    return m_logLines[index];
}

int CAccount::GetClassCount()
{
    ClassesLock lock(m_classesLock);
    return static_cast<int>(m_classes.GetSize());
}

CSchoolClass* CAccount::GetClassAt(int index)
{
    ClassesLock lock(m_classesLock);
    if (index < 0 || index >= m_classes.GetSize())
        return nullptr;
    return m_classes[index];
}

CSchoolClass* CAccount::FindClass(const CString& id)
{
    ClassesLock lock(m_classesLock);
    for (INT_PTR i = 0; i < m_classes.GetSize(); ++i) {
        if (m_classes[i]->GetId() == id)
            return m_classes[i];
    }
    return nullptr;
}

void CAccount::AddClass(CSchoolClass* schoolClass)
{
    if (!schoolClass)
        return;
    ClassesLock lock(m_classesLock);
    m_classes.Add(schoolClass);
}

void CAccount::DeleteClass(const CString& id)
{
    CSchoolClass* found = nullptr;
    {
        ClassesLock lock(m_classesLock);
        for (INT_PTR i = 0; i < m_classes.GetSize(); ++i) {
            if (m_classes[i]->GetId() == id) {
                found = m_classes[i];
                m_classes.RemoveAt(i);
                break;
            }
        }
    }
    // Closed outside the lock: its workers may wait on the window thread,
    // which may be waiting for the lock.
    if (found) {
        found->Close();
        delete found;
    }
}

void CAccount::DeleteAllClasses()
{
    CArray<CSchoolClass*, CSchoolClass*> classes;
    {
        ClassesLock lock(m_classesLock);
        classes.Copy(m_classes);
        m_classes.RemoveAll();
    }
    for (INT_PTR i = 0; i < classes.GetSize(); ++i)
        classes[i]->BeginClose();
    for (INT_PTR i = 0; i < classes.GetSize(); ++i) {
        classes[i]->Close();
        delete classes[i];
    }
}

void CAccount::ExchangeClasses(CArray<CSchoolClass*, CSchoolClass*>& classes)
{
    CArray<CSchoolClass*, CSchoolClass*> old;
    ClassesLock lock(m_classesLock);
    old.Copy(m_classes);
    m_classes.Copy(classes);
    classes.Copy(old);
}

BOOL CAccount::HasClass(const CSchoolClass* schoolClass)
{
    ClassesLock lock(m_classesLock);
    for (INT_PTR i = 0; i < m_classes.GetSize(); ++i) {
        if (m_classes[i] == schoolClass)
            return TRUE;
    }
    return FALSE;
}

int CAccount::GetUnreadMessageCount()
{
    ClassesLock lock(m_classesLock);
    int count = 0;
    for (INT_PTR i = 0; i < m_classes.GetSize(); ++i)
        count += m_classes[i]->GetUnreadMessageCount();
    return count;
}

int CAccount::GetUnreadPrivateCount()
{
    ClassesLock lock(m_classesLock);
    int count = 0;
    for (INT_PTR i = 0; i < m_classes.GetSize(); ++i)
        count += m_classes[i]->GetUnreadPrivateCount();
    return count;
}

int CAccount::GetUnreadPictureCount()
{
    ClassesLock lock(m_classesLock);
    int count = 0;
    for (INT_PTR i = 0; i < m_classes.GetSize(); ++i)
        count += m_classes[i]->GetUnreadPictureCount();
    return count;
}

BOOL CAccount::IsBusy()
{
    {
        ClassesLock lock(m_classesLock);
        for (INT_PTR i = 0; i < m_classes.GetSize(); ++i) {
            if (m_classes[i]->IsBusy())
                return TRUE;
        }
    }
    return m_classListBusy.load() || m_profileReadBusy.load() || m_profileUpdateBusy.load();
}

void CAccount::AbortTree()
{
    m_classListClient.Abort();
    m_profileReadClient.Abort();
    m_profileUpdateClient.Abort();
    ClassesLock lock(m_classesLock);
    for (INT_PTR i = 0; i < m_classes.GetSize(); ++i)
        m_classes[i]->AbortTree();
}

void CAccount::BeginClose()
{
    if (!m_state.BeginClosing())
        return;
    ClassesLock lock(m_classesLock);
    for (INT_PTR i = 0; i < m_classes.GetSize(); ++i)
        m_classes[i]->BeginClose();
    lock.unlock();
    AbortTree();
}

void CAccount::Close()
{
    if (m_closed.exchange(true))
        return;
    BeginClose();
    for (;;) {
        m_state.ArmWait();
        if (!m_classListBusy.load() && !m_profileReadBusy.load() && !m_profileUpdateBusy.load())
            break;
        // Again every 100 ms, the whole tree: an operation may wait for a
        // sign-in made by a store's request.
        AbortTree();
        m_state.WaitForRelease(100);
    }
    m_pool.Shutdown();
    // The account's operations are over, so the class array is stable now.
    ClassesLock lock(m_classesLock);
    CArray<CSchoolClass*, CSchoolClass*> classes;
    classes.Copy(m_classes);
    lock.unlock();
    for (INT_PTR i = 0; i < classes.GetSize(); ++i)
        classes[i]->Close();
}

#define LOCKED_TEXT(Name, member, guard)                   \
    CString CAccount::Get##Name()                          \
    {                                                      \
        std::lock_guard<std::mutex> lock(guard);           \
        return member;                                     \
    }                                                      \
    void CAccount::Set##Name(const CString& value)         \
    {                                                      \
        std::lock_guard<std::mutex> lock(guard);           \
        member = value;                                    \
    }
LOCKED_TEXT(Provider, m_provider, m_fieldsLock)
LOCKED_TEXT(Cookie, m_cookie, m_cookieLock)
LOCKED_TEXT(UserId, m_userId, m_fieldsLock)
LOCKED_TEXT(RealName, m_realName, m_fieldsLock)
LOCKED_TEXT(CustoName, m_custoName, m_fieldsLock)
LOCKED_TEXT(DataFolder, m_dataFolder, m_fieldsLock)
LOCKED_TEXT(AccessPassword, m_accessPassword, m_fieldsLock)
#undef LOCKED_TEXT

CString CAccount::GetUserName()
{
    std::lock_guard<std::mutex> lock(m_fieldsLock);
    return m_userName;
}

CString CAccount::GetPassword()
{
    std::lock_guard<std::mutex> lock(m_fieldsLock);
    return m_password;
}

void CAccount::SetUserNameAndPassword(const CString& userName, const CString& password)
{
    std::lock_guard<std::mutex> lock(m_fieldsLock);
    m_userName = userName;
    m_password = password;
}

CTime CAccount::GetCookieTime()
{
    std::lock_guard<std::mutex> lock(m_cookieTimeLock);
    return m_cookieTime;
}

void CAccount::SetCookieTime(const CTime& time)
{
    std::lock_guard<std::mutex> lock(m_cookieTimeLock);
    m_cookieTime = time;
}
