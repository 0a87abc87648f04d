// CSchoolClass: one school class of an account: its identity, its four
// stores, the class log and the class-information operation. Each provider
// derives it and overrides UpdateClassInfo and CreateStores.
//
// Teardown: the owner calls Close() before deleting a class (the account
// does); see Account.h.
#pragma once

#include "core/model/OwnerState.h"
#include "core/services/HttpClient.h"
#include "core/services/ThreadPool.h"
#include "platform/base/Array.h"
#include "platform/base/String.h"

#include <atomic>
#include <mutex>

class CAccount;
class CClassStore;
class CContactStore;
class CMessageStore;
class CPictureStore;
class CPrivateStore;

// A class id names the class folder: it is used only when it is not empty
// and holds nothing but ASCII letters, digits, '_' and '-'.
bool IsSafeClassId(const CString& id);

class CSchoolClass {
public:
    CSchoolClass();
    virtual ~CSchoolClass();
    CSchoolClass(const CSchoolClass&) = delete;
    CSchoolClass& operator=(const CSchoolClass&) = delete;

    virtual void UpdateClassInfo(int param);
    // Creates the four stores and loads them from their files.
    virtual void CreateStores();

    void StartUpdateClassInfo(int param);
    BOOL IsBusy();
    BOOL IsUpdatingClassInfo() const { return m_classInfoBusy.load() != 0; }
    int GetUnreadMessageCount();
    int GetUnreadPrivateCount();
    int GetUnreadPictureCount();

    void Log(const CString& text);
    int GetLogCount();
    CString GetLogLine(int index);

    int LoadFromAccountFile();

    CAccount* GetAccount() const { return m_account; }
    void SetAccount(CAccount* account) { m_account = account; }
    CPrivateStore* GetPrivateStore() const { return m_privateStore; }
    CMessageStore* GetMessageStore() const { return m_messageStore; }
    CPictureStore* GetPictureStore() const { return m_pictureStore; }
    CContactStore* GetContactStore() const { return m_contactStore; }

    CString GetId();
    void SetId(const CString& id);
    CString GetName();
    void SetName(const CString& name);
    CString GetCustoName();
    void SetCustoName(const CString& name);
    CString GetSchoolName();
    void SetSchoolName(const CString& name);
    CString GetSchoolId();
    void SetSchoolId(const CString& id);

    void BeginClose();
    void Close();
    // Close, then frees the stores, which save their files; the object stays
    // valid. The destructor starts with it; a class leaving its account is
    // torn down early, before another object loads its folder.
    void TearDown();
    BOOL IsClosing() const { return m_state.IsClosing(); }
    // Aborts the requests of the class and its stores.
    void AbortTree();

protected:
    CHttpClient m_classInfoClient;
    std::atomic<int> m_classInfoBusy{0};

    // Set by CreateStores; owned by the class.
    CPrivateStore* m_privateStore = nullptr;
    CMessageStore* m_messageStore = nullptr;
    CPictureStore* m_pictureStore = nullptr;
    CContactStore* m_contactStore = nullptr;

    tavrin::OwnerState m_state;
    ThreadPool m_pool{5, 100};

private:
    // The stores in teardown order: private, picture, message, contact.
    int GetStores(CClassStore* stores[4]) const;

    std::mutex m_logLock;
    CStringArray m_logLines;
    int m_logLimit = 256;

    std::mutex m_fieldsLock;
    CString m_name;
    CString m_custoName;
    CString m_schoolName;
    CString m_schoolId;
    CString m_id;

    CAccount* m_account = nullptr;
    std::atomic<bool> m_closed{false};
};

class CClassInfoTask : public tavrin::ClaimedCall {
public:
    CClassInfoTask(CSchoolClass* schoolClass, tavrin::OwnerState* state, std::atomic<int>* busy, int param)
        : ClaimedCall(state, busy, [schoolClass, param] { schoolClass->UpdateClassInfo(param); })
    {
    }
};
