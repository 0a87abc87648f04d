// CAccount: one user's membership at one provider: sign-in data and cookie,
// the school classes, the account log and the three account operations.
// Each provider derives it and overrides the virtual operations.
//
// Teardown: the owner calls Close() before deleting an account. Close marks
// the account and all its classes and stores closing, aborts their requests,
// lets queued tasks return at once and joins every pool of the tree, so no
// task runs while a destructor of the tree runs.
#pragma once

#include "core/model/OwnerState.h"
#include "core/services/HttpClient.h"
#include "core/services/ThreadPool.h"
#include "platform/base/Array.h"
#include "platform/base/String.h"
#include "platform/base/Time.h"

#include <atomic>
#include <mutex>

class CSchoolClass;

class CAccount {
public:
    typedef std::unique_lock<std::recursive_mutex> ClassesLock;

    CAccount();
    virtual ~CAccount();
    CAccount(const CAccount&) = delete;
    CAccount& operator=(const CAccount&) = delete;

    virtual int Login(CHttpClient* client, CString* page);
    virtual void UpdateProfile(CByteArray* form, int param);
    virtual void ReadProfile(int param);
    virtual void UpdateClassList(int param);
    virtual BOOL HasMessageSubject();
    virtual BOOL SupportsSmileys();
    virtual BOOL HasPrivateSubject();
    virtual BOOL NeedsVerifyCode(int kind);
    virtual CString GetPrivateFeatureName();
    virtual CSchoolClass* CreateClass();

    void StartUpdateClassList(int param);
    void StartReadProfile(int param);
    void StartUpdateProfile(const CByteArray& form, int param);

    void Log(const CString& text);
    int GetLogCount();
    CString GetLogLine(int index);

    // The window thread holds this while it walks the classes; a class
    // pointer stays valid while the lock is held.
    ClassesLock LockClasses() { return ClassesLock(m_classesLock); }
    int GetClassCount();
    CSchoolClass* GetClassAt(int index);
    CSchoolClass* FindClass(const CString& id);
    // Appends a class; the account owns it from now on.
    void AddClass(CSchoolClass* schoolClass);
    void DeleteClass(const CString& id);
    void DeleteAllClasses();
    // Puts classes in place of the class array in one step under the lock;
    // classes receives the old array. The caller owns what it takes out.
    void ExchangeClasses(CArray<CSchoolClass*, CSchoolClass*>& classes);
    // Whether the class is in the array now. An event that carries a class
    // the account no longer has is to be ignored.
    BOOL HasClass(const CSchoolClass* schoolClass);
    int GetUnreadMessageCount();
    int GetUnreadPrivateCount();
    int GetUnreadPictureCount();
    BOOL IsBusy();

    // Marks the tree closing and aborts its requests; Close() does this first.
    void BeginClose();
    // Tears the tree's work down (see the top of this file). Idempotent.
    void Close();
    BOOL IsClosing() const { return m_state.IsClosing(); }

    CString GetProvider();
    void SetProvider(const CString& provider);
    CString GetUserName();
    CString GetPassword();
    void SetUserNameAndPassword(const CString& userName, const CString& password);
    CString GetCookie();
    void SetCookie(const CString& cookie);
    CTime GetCookieTime();
    void SetCookieTime(const CTime& time);
    CString GetUserId();
    void SetUserId(const CString& userId);
    CString GetRealName();
    void SetRealName(const CString& name);
    CString GetCustoName();
    void SetCustoName(const CString& name);
    CString GetDataFolder();
    void SetDataFolder(const CString& folder);
    HWND GetNotifyWnd() const { return m_notifyWnd.load(); }
    void SetNotifyWnd(HWND wnd) { m_notifyWnd.store(wnd); }
    BOOL IsLocked() const { return m_locked; }
    void SetLocked(BOOL locked) { m_locked = locked; }
    BOOL IsAccessEnabled() const { return m_accessEnabled; }
    void SetAccessEnabled(BOOL enabled) { m_accessEnabled = enabled; }
    CString GetAccessPassword();
    void SetAccessPassword(const CString& password);
    BOOL IsUpdatingProfile() const { return m_profileUpdateBusy.load() != 0; }
    BOOL IsReadingProfile() const { return m_profileReadBusy.load() != 0; }
    BOOL IsUpdatingClassList() const { return m_classListBusy.load() != 0; }

    // The account file "tavrin.xml" of the data folder (AccountFile.cpp).
    // Saving creates the folder; FALSE when the file could not be written
    // (the old one stays). Loading returns 1, or 0 when the file cannot be
    // read or lacks account or global. Load sets the data folder first.
    BOOL SaveAccountFile();
    int LoadAccountFile();
    int Load(const CString& folder);

protected:
    // Held by the provider's Login for its whole run, so one thread signs in
    // at a time.
    std::recursive_mutex m_loginLock;

    CHttpClient m_profileUpdateClient;
    std::atomic<int> m_profileUpdateBusy{0};
    CHttpClient m_profileReadClient;
    std::atomic<int> m_profileReadBusy{0};
    CHttpClient m_classListClient;
    std::atomic<int> m_classListBusy{0};

    tavrin::OwnerState m_state;
    ThreadPool m_pool{5, 100};

private:
    // Aborts the requests of the account and of every class and store.
    void AbortTree();

    std::mutex m_logLock;
    std::mutex m_cookieTimeLock;
    std::mutex m_cookieLock;
    std::mutex m_fieldsLock;  // guards the texts without a lock of their own
    CStringArray m_logLines;
    int m_logLimit = 256;

    CString m_provider;
    CString m_cookie;
    CTime m_cookieTime;
    CString m_userId;
    CString m_realName;
    CString m_custoName;
    CString m_userName;
    CString m_password;
    CString m_dataFolder;
    CString m_accessPassword;

    std::recursive_mutex m_classesLock;
    CArray<CSchoolClass*, CSchoolClass*> m_classes;

    std::atomic<HWND> m_notifyWnd{nullptr};
    BOOL m_locked = FALSE;
    BOOL m_accessEnabled = FALSE;
    std::atomic<bool> m_closed{false};
};

// The account's tasks: each calls one operation of the account.
class CClassListTask : public tavrin::ClaimedCall {
public:
    CClassListTask(CAccount* account, tavrin::OwnerState* state, std::atomic<int>* busy, int param)
        : ClaimedCall(state, busy, [account, param] { account->UpdateClassList(param); })
    {
    }
};

class CProfileReadTask : public tavrin::ClaimedCall {
public:
    CProfileReadTask(CAccount* account, tavrin::OwnerState* state, std::atomic<int>* busy, int param)
        : ClaimedCall(state, busy, [account, param] { account->ReadProfile(param); })
    {
    }
};

class CProfileUpdateTask : public tavrin::ClaimedCall {
public:
    CProfileUpdateTask(CAccount* account, tavrin::OwnerState* state, std::atomic<int>* busy, const CByteArray& form,
                       int param)
        : ClaimedCall(state, busy, [account, form = tavrin::CopyForTask(form), param] { account->UpdateProfile(form.get(), param); })
    {
    }
};
