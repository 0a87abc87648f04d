#include "tests/support/LoopbackServer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tavrin::test {

namespace {

// Waits in tests are bounded so that a broken client fails instead of hanging.
constexpr auto kSafetyLimit = std::chrono::seconds(20);

int ListenLoopback(int backlog, uint16_t* port)
{
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        throw std::runtime_error("socket failed");
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, backlog) != 0) {
        ::close(fd);
        throw std::runtime_error("bind/listen failed");
    }
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    *port = ntohs(addr.sin_port);
    return fd;
}

bool SendAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Content-Length of a request header (case-insensitive name), 0 when absent.
size_t RequestBodyLength(const std::string& header)
{
    std::string lower(header);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    size_t at = lower.find("\r\ncontent-length:");
    if (at == std::string::npos)
        return 0;
    return static_cast<size_t>(std::strtoull(lower.c_str() + at + 17, nullptr, 10));
}

} // namespace

// ---- Reply

Reply& Reply::Send(std::string bytes)
{
    return Send(std::make_shared<const std::string>(std::move(bytes)));
}

Reply& Reply::Send(std::shared_ptr<const std::string> bytes)
{
    m_steps.push_back({Step::SendBytes, std::move(bytes), {}, {}});
    return *this;
}

Reply& Reply::Trickle(std::string bytes, std::function<void(size_t)> between)
{
    m_steps.push_back({Step::TrickleBytes, std::make_shared<const std::string>(std::move(bytes)), std::move(between), {}});
    return *this;
}

Reply& Reply::Call(std::function<void()> callback)
{
    m_steps.push_back({Step::Callback, {}, {}, std::move(callback)});
    return *this;
}

Reply& Reply::Stall()
{
    m_steps.push_back({Step::StallUntilClosed, {}, {}, {}});
    return *this;
}

Reply& Reply::Reset()
{
    m_reset = true;
    return *this;
}

Reply Reply::Http(int status, const std::string& body, std::vector<std::string> headers, bool withLength)
{
    std::string text = "HTTP/1.0 " + std::to_string(status) + (status < 400 ? " OK" : " Error") + "\r\n";
    bool hasLength = false;
    for (const auto& h : headers) {
        text += h + "\r\n";
        if (h.size() >= 15 && strncasecmp(h.c_str(), "content-length:", 15) == 0)
            hasLength = true;
    }
    if (withLength && !hasLength)
        text += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    text += "\r\n";
    text += body;
    Reply reply;
    reply.Send(std::move(text));
    return reply;
}

Reply Reply::Redirect(const std::string& location, int status)
{
    return Http(status, "moved", {"Location: " + location});
}

// ---- LoopbackServer

LoopbackServer::LoopbackServer() : LoopbackServer(Handler{}) {}

LoopbackServer::LoopbackServer(Handler handler) : m_handler(std::move(handler))
{
    m_listenFd = ListenLoopback(64, &m_port);
    m_acceptThread = std::thread([this] { AcceptLoop(); });
}

LoopbackServer::~LoopbackServer()
{
    Stop();
}

std::string LoopbackServer::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

void LoopbackServer::Enqueue(Reply reply)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_queue.push_back(std::move(reply));
}

void LoopbackServer::SetFallback(Reply reply)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_fallback = std::make_unique<Reply>(std::move(reply));
}

std::vector<std::string> LoopbackServer::Requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

std::string LoopbackServer::LastRequest() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests.empty() ? std::string() : m_requests.back();
}

int LoopbackServer::Connections() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_connections;
}

bool LoopbackServer::WaitForRequests(size_t n) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, kSafetyLimit, [&] { return m_delivered >= n; });
}

bool LoopbackServer::WaitForFinished(size_t n) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, kSafetyLimit, [&] { return m_finished >= n; });
}

void LoopbackServer::Stop()
{
    std::vector<std::thread> threads;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stopping)
            return;
        m_stopping = true;
        ::shutdown(m_listenFd, SHUT_RDWR);
        for (int fd : m_openFds)
            ::shutdown(fd, SHUT_RDWR);
    }
    if (m_acceptThread.joinable())
        m_acceptThread.join();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        threads.swap(m_threads);
    }
    for (auto& t : threads)
        t.join();
    ::close(m_listenFd);
}

void LoopbackServer::AcceptLoop()
{
    for (;;) {
        int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stopping) {
            if (fd >= 0)
                ::close(fd);
            return;
        }
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return;
        }
        m_openFds.push_back(fd);
        size_t index = static_cast<size_t>(m_connections++);
        m_requests.emplace_back();
        m_threads.emplace_back([this, fd, index] { Serve(fd, index); });
    }
}

Reply LoopbackServer::NextReply(const std::string& request)
{
    if (m_handler)
        return m_handler(request);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_queue.empty()) {
        Reply reply = std::move(m_queue.front());
        m_queue.pop_front();
        return reply;
    }
    return m_fallback ? *m_fallback : Reply::Http(404, "not found");
}

void LoopbackServer::UnregisterFd(int fd)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_openFds.erase(std::remove(m_openFds.begin(), m_openFds.end(), fd), m_openFds.end());
}

void LoopbackServer::Serve(int fd, size_t index)
{
    std::string request = m_readRequests ? ReadHttpRequest(fd) : std::string();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_requests[index] = request;
        ++m_delivered;
    }
    m_changed.notify_all();

    Reply reply = NextReply(request);
    for (const auto& step : reply.Steps()) {
        bool ok = true;
        switch (step.kind) {
        case Reply::Step::SendBytes:
            ok = SendAll(fd, step.bytes->data(), step.bytes->size());
            break;
        case Reply::Step::TrickleBytes:
            for (size_t i = 0; ok && i < step.bytes->size(); ++i) {
                ok = SendAll(fd, step.bytes->data() + i, 1);
                if (ok && step.between)
                    step.between(i);
            }
            break;
        case Reply::Step::Callback:
            step.callback();
            break;
        case Reply::Step::StallUntilClosed: {
            char buffer[4096];
            for (;;) {
                ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
                if (n == 0 || (n < 0 && errno != EINTR))
                    break;
            }
            ok = false;
            break;
        }
        }
        if (!ok)
            break;
    }
    if (reply.EndsWithReset()) {
        linger l{1, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    } else {
        // Orderly close: the peer sees the end of the reply before any reset
        // its own unread bytes might cause.
        ::shutdown(fd, SHUT_WR);
    }
    UnregisterFd(fd);
    ::close(fd);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_finished;
    }
    m_changed.notify_all();
}

std::string ReadHttpRequest(int fd)
{
    std::string data;
    char buffer[16384];
    size_t headerEnd = std::string::npos;
    size_t wanted = 0;
    for (;;) {
        if (headerEnd != std::string::npos && data.size() >= wanted)
            break;
        ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        data.append(buffer, static_cast<size_t>(n));
        if (headerEnd == std::string::npos) {
            size_t at = data.find("\r\n\r\n");
            if (at != std::string::npos) {
                headerEnd = at + 4;
                wanted = headerEnd + RequestBodyLength(data.substr(0, at));
            }
        }
    }
    return data;
}

// ---- BlockedListener

BlockedListener::BlockedListener()
{
    m_listenFd = ListenLoopback(0, &m_port);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(m_port);
    // A backlog of 0 queues exactly one connection (Linux): one filler that
    // is never accepted makes the kernel drop every later SYN.
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    m_fillers.push_back(fd);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
        throw std::runtime_error("filler connect failed");
}

BlockedListener::~BlockedListener()
{
    for (int fd : m_fillers)
        ::close(fd);
    ::close(m_listenFd);
}

int BlockedListener::ConnectingCount() const
{
    // /proc/net/tcp: "sl local_address rem_address st ..." with addresses as
    // hex "AAAAAAAA:PPPP"; state 02 is SYN-SENT.
    std::ifstream table("/proc/net/tcp");
    std::string line;
    std::getline(table, line);
    int count = 0;
    char wanted[8];
    std::snprintf(wanted, sizeof wanted, "%04X", m_port);
    while (std::getline(table, line)) {
        char local[64], remote[64], state[8];
        if (std::sscanf(line.c_str(), "%*s %63s %63s %7s", local, remote, state) != 3)
            continue;
        const char* colon = std::strchr(remote, ':');
        if (colon && std::strcmp(colon + 1, wanted) == 0 && std::strcmp(state, "02") == 0)
            ++count;
    }
    return count;
}

// ---- helpers for servers in other processes

uint16_t FreeLoopbackPort()
{
    uint16_t port = 0;
    int fd = ListenLoopback(1, &port);
    ::close(fd);
    return port;
}

} // namespace tavrin::test
