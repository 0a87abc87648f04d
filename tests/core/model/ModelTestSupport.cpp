#include "tests/core/model/ModelTestSupport.h"

#include "platform/win/Window.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

namespace tavrin::test {

void Gate::Open()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_open = true;
    m_cv.notify_all();
}

void Gate::Wait()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cv.wait(lock, [this] { return m_open; });
}

bool Gate::IsOpen()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_open;
}

static double RealSeconds()
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

bool WaitUntil(const std::function<bool()>& predicate)
{
    double deadline = RealSeconds() + 10.0;
    while (!predicate()) {
        if (RealSeconds() > deadline)
            return false;
        std::this_thread::yield();
    }
    return true;
}

void CallLog::Add(const std::string& entry)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.push_back(entry);
}

std::vector<std::string> CallLog::Entries()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_entries;
}

int CallLog::Count(const std::string& entry)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    int n = 0;
    for (const auto& e : m_entries)
        n += e == entry;
    return n;
}

void BlockingOperation::Run()
{
    ++calls;
    entered.Open();
    if (block)
        release.Wait();
}

static void Note(CallLog* log, const std::string& entry)
{
    if (log)
        log->Add(entry);
}

CTestContactStore::~CTestContactStore()
{
    update.release.Open();
    Close();
    Note(m_log, "delete contact");
}

void CTestContactStore::Update(CStringArray&, int)
{
    update.Run();
    if (onUpdate)
        onUpdate(this);
}

void CTestContactStore::Search(CString, int)
{
    search.Run();
}

void CTestContactStore::SortRange(int lo, int hi, int column, BOOL ascending)
{
    sortRanges.emplace_back(lo, hi);
    CContactStore::SortRange(lo, hi, column, ascending);
}

CTestPrivateStore::~CTestPrivateStore()
{
    Close();
    Note(m_log, "delete private");
}

void CTestPrivateStore::Update(int)
{
    update.Run();
}

void CTestPrivateStore::Send(CString subject, CString content, CString realName, CString userName,
                             CString receiverId, int param)
{
    send.Run();
    CString line;
    line.Format("send %s|%s|%s|%s|%s|%d", subject, content, realName, userName, receiverId, param);
    Note(m_log, line.GetString());
}

void CTestPrivateStore::Reply(CString subject, CString content, CString realName, CString userName,
                              CString userId, int noteNumber)
{
    reply.Run();
    CString line;
    line.Format("reply %s|%s|%s|%s|%s|%d", subject, content, realName, userName, userId, noteNumber);
    Note(m_log, line.GetString());
}

void CTestPrivateStore::Delete(CStringArray& custoIds, int)
{
    del.Run();
    Note(m_log, "delete " + std::to_string(custoIds.GetSize()));
}

CTestMessageStore::~CTestMessageStore()
{
    Close();
    Note(m_log, "delete message");
}

CTestPictureStore::~CTestPictureStore()
{
    Close();
    Note(m_log, "delete picture");
}

CTestSchoolClass::~CTestSchoolClass()
{
    classInfo.release.Open();
    Close();
}

void CTestSchoolClass::UpdateClassInfo(int)
{
    classInfo.Run();
}

void CTestSchoolClass::CreateStores()
{
    if (!m_makeStores)
        return;
    CString folder = GetAccount() ? GetAccount()->GetDataFolder() + "\\" + GetId() : CString();
    m_privateStore = new CTestPrivateStore(m_log);
    m_messageStore = new CTestMessageStore(m_log);
    m_pictureStore = new CTestPictureStore(m_log);
    m_contactStore = new CTestContactStore(m_log);
    CClassStore* stores[] = {m_privateStore, m_messageStore, m_pictureStore, m_contactStore};
    for (CClassStore* store : stores) {
        store->SetClassFolder(folder);
        store->SetSchoolClass(this);
    }
}

CTestAccount::~CTestAccount()
{
    classList.release.Open();
    readProfile.release.Open();
    updateProfile.release.Open();
    Close();
}

void CTestAccount::UpdateClassList(int)
{
    classList.Run();
    if (onClassList)
        onClassList(this);
}

void CTestAccount::ReadProfile(int)
{
    readProfile.Run();
}

void CTestAccount::UpdateProfile(CByteArray* form, int)
{
    lastForm.assign(form->GetData(), form->GetData() + form->GetSize());
    updateProfile.Run();
}

StalledServer::StalledServer()
{
    m_listen = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(m_listen, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    socklen_t length = sizeof(address);
    getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    listen(m_listen, 8);
    m_thread = new std::thread([this] {
        while (!m_stop.load()) {
            pollfd p = {m_listen, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0)
                continue;
            int client = accept(m_listen, nullptr, nullptr);
            if (client >= 0) {
                m_clients.push_back(client);
                accepted.Open();
            }
        }
    });
}

StalledServer::~StalledServer()
{
    m_stop.store(true);
    m_thread->join();
    delete m_thread;
    for (int client : m_clients)
        close(client);
    close(m_listen);
}

} // namespace tavrin::test
