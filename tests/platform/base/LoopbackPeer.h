// A POSIX loopback listener for the socket tests. Kept apart from the
// Winsock-shaped Socket.h, whose names it would clash with.
#pragma once

#include <string>

namespace tavrin::test {

class LoopbackPeer {
public:
    // Listens on 127.0.0.1 at a free port with the given backlog.
    explicit LoopbackPeer(int backlog = 8);
    ~LoopbackPeer();
    LoopbackPeer(const LoopbackPeer&) = delete;
    LoopbackPeer& operator=(const LoopbackPeer&) = delete;

    int Port() const { return m_port; }
    // Accepts one connection; returns its descriptor (closed with the peer).
    int Accept();
    // Fills the listener's accept queue so that the next connect blocks.
    void FillBacklog();
    static void Write(int fd, const std::string& data);
    static std::string ReadSome(int fd);
    static void ShutdownWrite(int fd);
    // Closes with a reset, so that the other side's sends fail.
    void Reset(int fd);
    void StopListening();

private:
    int m_listener = -1;
    int m_port = 0;
    int m_fds[64];
    int m_count = 0;
};

// A loopback port with nobody listening.
int UnusedLoopbackPort();

} // namespace tavrin::test
