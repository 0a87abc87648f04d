#include "platform/base/SocketCore.h"

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>
#include <unordered_map>

namespace tavrin::detail {

namespace {

// Winsock's codes, repeated here because this file cannot see Socket.h.
enum : int {
    kEINTR = 10004, kEFAULT = 10014, kEINVAL = 10022, kEMFILE = 10024, kEWOULDBLOCK = 10035,
    kEALREADY = 10037, kENOTSOCK = 10038, kEMSGSIZE = 10040, kENOPROTOOPT = 10042,
    kEPROTONOSUPPORT = 10043, kEOPNOTSUPP = 10045, kEAFNOSUPPORT = 10047, kEADDRINUSE = 10048,
    kEADDRNOTAVAIL = 10049, kENETDOWN = 10050, kENETUNREACH = 10051, kENETRESET = 10052,
    kECONNABORTED = 10053, kECONNRESET = 10054, kENOBUFS = 10055, kEISCONN = 10056, kENOTCONN = 10057,
    kESHUTDOWN = 10058, kETIMEDOUT = 10060, kECONNREFUSED = 10061, kEHOSTUNREACH = 10065,
    kHOST_NOT_FOUND = 11001, kTRY_AGAIN = 11002, kNO_RECOVERY = 11003,
};

// The system's own connect gives up after about 21 s.
constexpr uint32_t kDefaultConnectTimeoutMs = 21000;

int FromErrno(int e)
{
    switch (e) {
    case EINTR: return kEINTR;
    case EFAULT: return kEFAULT;
    case EBADF: case ENOTSOCK: return kENOTSOCK;
    case EMFILE: case ENFILE: return kEMFILE;
    case EAGAIN: return kEWOULDBLOCK;
    case EALREADY: return kEALREADY;
    case EMSGSIZE: return kEMSGSIZE;
    case ENOPROTOOPT: return kENOPROTOOPT;
    case EPROTONOSUPPORT: return kEPROTONOSUPPORT;
    case EOPNOTSUPP: return kEOPNOTSUPP;
    case EAFNOSUPPORT: return kEAFNOSUPPORT;
    case EADDRINUSE: return kEADDRINUSE;
    case EADDRNOTAVAIL: return kEADDRNOTAVAIL;
    case ENETDOWN: return kENETDOWN;
    case ENETUNREACH: return kENETUNREACH;
    case ENETRESET: return kENETRESET;
    case ECONNABORTED: return kECONNABORTED;
    case ECONNRESET: case EPIPE: return kECONNRESET;
    case ENOBUFS: case ENOMEM: return kENOBUFS;
    case EISCONN: return kEISCONN;
    case ENOTCONN: return kENOTCONN;
    case ESHUTDOWN: return kESHUTDOWN;
    case ETIMEDOUT: return kETIMEDOUT;
    case ECONNREFUSED: return kECONNREFUSED;
    case EHOSTUNREACH: case EHOSTDOWN: return kEHOSTUNREACH;
    default: return kEINVAL;
    }
}

struct SocketEntry {
    int fd = -1;
    int wake = -1; // eventfd, readable once the socket is aborted
    std::atomic<bool> aborted{false};
    std::atomic<uint32_t> receiveTimeout{0}; // 0: none
    std::atomic<uint32_t> sendTimeout{0};
    std::atomic<int> waiters{0}; // calls blocked on the socket right now

    ~SocketEntry()
    {
        if (fd >= 0)
            ::close(fd);
        if (wake >= 0)
            ::close(wake);
    }

    void Abort()
    {
        if (aborted.exchange(true))
            return;
        uint64_t one = 1;
        ssize_t ignored = ::write(wake, &one, sizeof one);
        (void)ignored;
        ::shutdown(fd, SHUT_RDWR);
    }
};

struct SocketTable {
    std::mutex lock;
    std::unordered_map<uintptr_t, std::shared_ptr<SocketEntry>> entries;
    uintptr_t next = 0x100;
};

SocketTable& Table()
{
    static SocketTable* table = new SocketTable;
    return *table;
}

std::shared_ptr<SocketEntry> Find(uintptr_t s, int* error)
{
    SocketTable& table = Table();
    std::lock_guard<std::mutex> lock(table.lock);
    auto it = table.entries.find(s);
    if (it == table.entries.end()) {
        *error = kENOTSOCK;
        return nullptr;
    }
    return it->second;
}

// Monotonic milliseconds: socket time-outs run on real time, since the peer does.
int64_t NowMs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// Waits for the socket to become ready or the abort to fire. 1 ready, 0 time-out,
// -1 with *error set. timeoutMs 0 means no time-out.
int WaitReady(SocketEntry& entry, short events, uint32_t timeoutMs, int* error)
{
    const bool bounded = timeoutMs != 0;
    const int64_t deadline = NowMs() + timeoutMs;
    struct Waiting {
        std::atomic<int>& count;
        explicit Waiting(std::atomic<int>& c) : count(c) { ++count; }
        ~Waiting() { --count; }
    } waiting(entry.waiters);
    for (;;) {
        if (entry.aborted.load()) {
            *error = kEINTR;
            return -1;
        }
        int wait = -1;
        if (bounded) {
            int64_t left = deadline - NowMs();
            if (left <= 0)
                return 0;
            wait = static_cast<int>(left);
        }
        pollfd fds[2] = {{entry.fd, events, 0}, {entry.wake, POLLIN, 0}};
        int n = ::poll(fds, 2, wait);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            *error = FromErrno(errno);
            return -1;
        }
        if (fds[1].revents) {
            *error = kEINTR;
            return -1;
        }
        if (n > 0 && fds[0].revents)
            return 1;
    }
}

} // namespace

uintptr_t SocketCreate(int af, int type, int protocol, int* error)
{
    if (af != AF_INET || (type != SOCK_STREAM && type != SOCK_DGRAM)) {
        *error = af != AF_INET ? kEAFNOSUPPORT : kEPROTONOSUPPORT;
        return ~uintptr_t{0};
    }
    auto entry = std::make_shared<SocketEntry>();
    entry->fd = ::socket(AF_INET, type | SOCK_CLOEXEC | SOCK_NONBLOCK, protocol);
    if (entry->fd < 0) {
        *error = FromErrno(errno);
        return ~uintptr_t{0};
    }
    entry->wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (entry->wake < 0) {
        *error = FromErrno(errno);
        return ~uintptr_t{0};
    }
    SocketTable& table = Table();
    std::lock_guard<std::mutex> lock(table.lock);
    uintptr_t s = table.next;
    table.next += 4;
    table.entries.emplace(s, std::move(entry));
    return s;
}

bool SocketClose(uintptr_t s, int* error)
{
    std::shared_ptr<SocketEntry> entry;
    {
        SocketTable& table = Table();
        std::lock_guard<std::mutex> lock(table.lock);
        auto it = table.entries.find(s);
        if (it == table.entries.end()) {
            *error = kENOTSOCK;
            return false;
        }
        entry = std::move(it->second);
        table.entries.erase(it);
    }
    // Blocked calls hold the entry; they wake, fail and let the descriptor go.
    entry->Abort();
    return true;
}

int SocketWaiters(uintptr_t s)
{
    int error = 0;
    auto entry = Find(s, &error);
    return entry ? entry->waiters.load() : 0;
}

bool SocketAbort(uintptr_t s)
{
    int error = 0;
    auto entry = Find(s, &error);
    if (!entry)
        return false;
    entry->Abort();
    return true;
}

bool SocketSetOption(uintptr_t s, SocketOption option, uint32_t value, uint32_t extra, int* error)
{
    auto entry = Find(s, error);
    if (!entry)
        return false;
    int rc = 0;
    switch (option) {
    case SocketOption::ReceiveTimeout:
        entry->receiveTimeout = value;
        return true;
    case SocketOption::SendTimeout:
        entry->sendTimeout = value;
        return true;
    case SocketOption::Linger: {
        ::linger l{value != 0 ? 1 : 0, static_cast<int>(extra)};
        rc = ::setsockopt(entry->fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
        break;
    }
    case SocketOption::KeepAlive:
    case SocketOption::ReuseAddress:
    case SocketOption::NoDelay: {
        int v = value != 0;
        int level = option == SocketOption::NoDelay ? IPPROTO_TCP : SOL_SOCKET;
        int name = option == SocketOption::NoDelay ? TCP_NODELAY
                 : option == SocketOption::KeepAlive ? SO_KEEPALIVE : SO_REUSEADDR;
        rc = ::setsockopt(entry->fd, level, name, &v, sizeof v);
        break;
    }
    }
    if (rc != 0) {
        *error = FromErrno(errno);
        return false;
    }
    return true;
}

bool SocketShutdown(uintptr_t s, int how, int* error)
{
    auto entry = Find(s, error);
    if (!entry)
        return false;
    static const int hows[] = {SHUT_RD, SHUT_WR, SHUT_RDWR};
    if (how < 0 || how > 2) {
        *error = kEINVAL;
        return false;
    }
    if (::shutdown(entry->fd, hows[how]) != 0) {
        *error = FromErrno(errno);
        return false;
    }
    return true;
}

bool SocketConnect(uintptr_t s, uint32_t address, uint16_t port, int* error)
{
    auto entry = Find(s, error);
    if (!entry)
        return false;
    if (entry->aborted.load()) {
        *error = kEINTR;
        return false;
    }
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = port;
    to.sin_addr.s_addr = address;
    if (::connect(entry->fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0)
        return true;
    if (errno != EINPROGRESS && errno != EINTR) {
        *error = FromErrno(errno);
        return false;
    }
    uint32_t timeout = entry->sendTimeout.load();
    int ready = WaitReady(*entry, POLLOUT, timeout ? timeout : kDefaultConnectTimeoutMs, error);
    if (ready < 0)
        return false;
    if (ready == 0) {
        *error = kETIMEDOUT;
        return false;
    }
    int soError = 0;
    socklen_t length = sizeof soError;
    if (::getsockopt(entry->fd, SOL_SOCKET, SO_ERROR, &soError, &length) != 0)
        soError = errno;
    if (soError != 0) {
        *error = FromErrno(soError);
        return false;
    }
    return true;
}

int SocketSend(uintptr_t s, const char* data, int length, int* error)
{
    auto entry = Find(s, error);
    if (!entry)
        return -1;
    if (length < 0 || (length > 0 && !data)) {
        *error = kEFAULT;
        return -1;
    }
    const uint32_t timeout = entry->sendTimeout.load();
    const int64_t deadline = NowMs() + timeout;
    int sent = 0;
    while (sent < length) {
        if (entry->aborted.load()) {
            *error = kEINTR;
            return -1;
        }
        ssize_t n = ::send(entry->fd, data + sent, static_cast<size_t>(length - sent), MSG_NOSIGNAL);
        if (n >= 0) {
            sent += static_cast<int>(n);
            continue;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            *error = FromErrno(errno);
            return -1;
        }
        uint32_t left = 0;
        if (timeout) {
            int64_t ms = deadline - NowMs();
            if (ms <= 0) {
                *error = kETIMEDOUT;
                return -1;
            }
            left = static_cast<uint32_t>(ms);
        }
        int ready = WaitReady(*entry, POLLOUT, left, error);
        if (ready < 0)
            return -1;
        if (ready == 0) {
            *error = kETIMEDOUT;
            return -1;
        }
    }
    return sent;
}

int SocketReceive(uintptr_t s, char* data, int length, bool peek, int* error)
{
    auto entry = Find(s, error);
    if (!entry)
        return -1;
    if (length < 0 || (length > 0 && !data)) {
        *error = kEFAULT;
        return -1;
    }
    for (;;) {
        if (entry->aborted.load()) {
            *error = kEINTR;
            return -1;
        }
        ssize_t n = ::recv(entry->fd, data, static_cast<size_t>(length), peek ? MSG_PEEK : 0);
        if (n >= 0)
            return static_cast<int>(n);
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            *error = FromErrno(errno);
            return -1;
        }
        int ready = WaitReady(*entry, POLLIN, entry->receiveTimeout.load(), error);
        if (ready < 0)
            return -1;
        if (ready == 0) {
            *error = kETIMEDOUT;
            return -1;
        }
    }
}

int SocketPoll(uintptr_t s, bool forWrite, uint32_t milliseconds, int* error)
{
    auto entry = Find(s, error);
    if (!entry)
        return -1;
    if (milliseconds == 0) {
        pollfd fd{entry->fd, static_cast<short>(forWrite ? POLLOUT : POLLIN), 0};
        if (entry->aborted.load()) {
            *error = kEINTR;
            return -1;
        }
        int n = ::poll(&fd, 1, 0);
        if (n < 0) {
            *error = FromErrno(errno);
            return -1;
        }
        return n > 0 ? 1 : 0;
    }
    // An "infinite" wait is bounded only by an abort.
    uint32_t timeout = milliseconds == 0xFFFFFFFFu ? 0 : milliseconds;
    return WaitReady(*entry, forWrite ? POLLOUT : POLLIN, timeout, error);
}

bool ResolveIPv4(const char* host, std::vector<uint32_t>* addresses, std::string* canonicalName, int* error)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_CANONNAME;
    addrinfo* result = nullptr;
    int rc = ::getaddrinfo(host, nullptr, &hints, &result);
    if (rc != 0) {
        *error = rc == EAI_AGAIN ? kTRY_AGAIN : rc == EAI_FAIL ? kNO_RECOVERY : kHOST_NOT_FOUND;
        return false;
    }
    addresses->clear();
    *canonicalName = result->ai_canonname ? result->ai_canonname : host;
    for (addrinfo* ai = result; ai; ai = ai->ai_next) {
        if (ai->ai_family != AF_INET)
            continue;
        uint32_t a = reinterpret_cast<const sockaddr_in*>(ai->ai_addr)->sin_addr.s_addr;
        bool seen = false;
        for (uint32_t b : *addresses)
            seen = seen || a == b;
        if (!seen)
            addresses->push_back(a);
    }
    ::freeaddrinfo(result);
    if (addresses->empty()) {
        *error = kHOST_NOT_FOUND;
        return false;
    }
    return true;
}

bool ParseIPv4(const char* text, uint32_t* address)
{
    in_addr a{};
    if (!text || ::inet_aton(text, &a) == 0)
        return false;
    *address = a.s_addr;
    return true;
}

} // namespace tavrin::detail
