#include "LoopbackPeer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace tavrin::test {

namespace {

sockaddr_in Loopback(int port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

} // namespace

LoopbackPeer::LoopbackPeer(int backlog)
{
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a = Loopback(0);
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::listen(m_listener, backlog) != 0)
        throw std::runtime_error("loopback listener");
    socklen_t length = sizeof a;
    ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&a), &length);
    m_port = ntohs(a.sin_port);
}

LoopbackPeer::~LoopbackPeer()
{
    for (int i = 0; i < m_count; ++i)
        ::close(m_fds[i]);
    if (m_listener >= 0)
        ::close(m_listener);
}

int LoopbackPeer::Accept()
{
    int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd >= 0 && m_count < 64)
        m_fds[m_count++] = fd;
    return fd;
}

void LoopbackPeer::FillBacklog()
{
    // With backlog 0 the queue holds one finished connection; once it is
    // there the kernel drops further SYNs, so later connects stay pending.
    // Each filler's connect returns once the kernel has queued it.
    for (int i = 0; i < 4 && m_count < 64; ++i) {
        int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        sockaddr_in a = Loopback(m_port);
        ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        m_fds[m_count++] = fd;
    }
}

void LoopbackPeer::Write(int fd, const std::string& data)
{
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
        if (n <= 0)
            throw std::runtime_error("loopback write");
        done += static_cast<size_t>(n);
    }
}

std::string LoopbackPeer::ReadSome(int fd)
{
    char buffer[4096];
    ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

void LoopbackPeer::ShutdownWrite(int fd)
{
    ::shutdown(fd, SHUT_WR);
}

void LoopbackPeer::Reset(int fd)
{
    linger l{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    ::close(fd);
    for (int i = 0; i < m_count; ++i)
        if (m_fds[i] == fd)
            m_fds[i] = m_fds[--m_count];
}

void LoopbackPeer::StopListening()
{
    ::close(m_listener);
    m_listener = -1;
}

int UnusedLoopbackPort()
{
    LoopbackPeer peer;
    int port = peer.Port();
    peer.StopListening();
    return port;
}

} // namespace tavrin::test
