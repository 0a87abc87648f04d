// Test doubles for the model: a notify window that records the messages it
// gets, gates for operations that must block, and provider subclasses of the
// account, the class and the stores that record their calls.
#pragma once

#include "tests/support/EventWindow.h"
#include "core/model/Account.h"
#include "core/model/ContactStore.h"
#include "core/model/MessageStore.h"
#include "core/model/ModelEvents.h"
#include "core/model/PictureStore.h"
#include "core/model/PrivateStore.h"
#include "core/model/SchoolClass.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tavrin::test {

// Opens once; waiters pass from then on.
class Gate {
public:
    void Open();
    void Wait();
    bool IsOpen();

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_open = false;
};

// Spins (yielding) until the predicate holds or 10 s of real time pass.
bool WaitUntil(const std::function<bool()>& predicate);

// The main frame's stand-in, shared with the provider tests.
using NotifyWindow = EventWindow;

// A shared list of what the doubles did, in order.
class CallLog {
public:
    void Add(const std::string& entry);
    std::vector<std::string> Entries();
    int Count(const std::string& entry);

private:
    std::mutex m_mutex;
    std::vector<std::string> m_entries;
};

// One operation that counts its calls and, when armed, blocks until released.
struct BlockingOperation {
    std::atomic<int> calls{0};
    Gate entered;
    Gate release;
    std::atomic<bool> block{false};
    void Run();
};

class CTestContactStore : public CContactStore {
public:
    explicit CTestContactStore(CallLog* log = nullptr) : m_log(log) {}
    ~CTestContactStore() override;
    void Update(CStringArray& ids, int mode) override;
    void Search(CString text, int within) override;
    CHttpClient* Connection() { return &m_connection; }
    CXmlFile& Xml() { return m_xml; }
    // Records the ranges SortRange was asked for.
    void SortRange(int lo, int hi, int column, BOOL ascending) override;

    BlockingOperation update;
    BlockingOperation search;
    std::function<void(CTestContactStore*)> onUpdate;  // runs inside Update
    std::vector<std::pair<int, int>> sortRanges;

private:
    CallLog* m_log;
};

class CTestPrivateStore : public CPrivateStore {
public:
    explicit CTestPrivateStore(CallLog* log = nullptr) : m_log(log) {}
    ~CTestPrivateStore() override;
    void Update(int mode) override;
    void Send(CString subject, CString content, CString realName, CString userName, CString receiverId,
              int param) override;
    void Reply(CString subject, CString content, CString realName, CString userName, CString userId,
               int noteNumber) override;
    void Delete(CStringArray& custoIds, int param) override;

    BlockingOperation update, send, reply, del;
    std::vector<std::string> sent;  // "subject|content|realName|userName|id|param"

private:
    CallLog* m_log;
};

class CTestMessageStore : public CMessageStore {
public:
    explicit CTestMessageStore(CallLog* log) : m_log(log) {}
    ~CTestMessageStore() override;

private:
    CallLog* m_log;
};

class CTestPictureStore : public CPictureStore {
public:
    explicit CTestPictureStore(CallLog* log) : m_log(log) {}
    ~CTestPictureStore() override;

private:
    CallLog* m_log;
};

class CTestSchoolClass : public CSchoolClass {
public:
    explicit CTestSchoolClass(CallLog* log = nullptr, bool makeStores = true) : m_log(log), m_makeStores(makeStores) {}
    ~CTestSchoolClass() override;
    void UpdateClassInfo(int param) override;
    void CreateStores() override;
    CHttpClient* ClassInfoClient() { return &m_classInfoClient; }

    BlockingOperation classInfo;

private:
    CallLog* m_log;
    bool m_makeStores;
};

class CTestAccount : public CAccount {
public:
    explicit CTestAccount(CallLog* log = nullptr) : m_log(log) {}
    ~CTestAccount() override;
    void UpdateClassList(int param) override;
    void ReadProfile(int param) override;
    void UpdateProfile(CByteArray* form, int param) override;
    CString GetPrivateFeatureName() override { return "悄悄话"; }
    CSchoolClass* CreateClass() override { return new CTestSchoolClass(m_log); }

    CHttpClient* ClassListClient() { return &m_classListClient; }

    BlockingOperation classList, readProfile, updateProfile;
    std::vector<BYTE> lastForm;
    // Runs inside UpdateClassList.
    std::function<void(CTestAccount*)> onClassList;

private:
    CallLog* m_log;
};

// A loopback server that accepts connections and never answers.
class StalledServer {
public:
    StalledServer();
    ~StalledServer();
    int Port() const { return m_port; }
    // Opens when a connection was accepted.
    Gate accepted;

private:
    int m_listen = -1;
    int m_port = 0;
    std::vector<int> m_clients;
    std::thread* m_thread = nullptr;
    std::atomic<bool> m_stop{false};
};

} // namespace tavrin::test
