// An in-process HTTP-ish server on a loopback port for tests: it records the
// raw bytes of every request and plays a scripted reply on each connection.
// Plain POSIX sockets underneath; this header stays free of system socket
// headers so that tests may include it beside the program's socket layer.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tavrin::test {

// What the server does on one connection after it has read the request.
class Reply {
public:
    // Writes bytes to the peer.
    Reply& Send(std::string bytes);
    Reply& Send(std::shared_ptr<const std::string> bytes);
    // Writes the bytes one at a time, running between(index) after each.
    Reply& Trickle(std::string bytes, std::function<void(size_t)> between = {});
    // Runs a callback on the connection's thread (e.g. to advance a clock or
    // count down a latch).
    Reply& Call(std::function<void()> callback);
    // Keeps the connection open without writing until the peer closes it or
    // the server stops.
    Reply& Stall();
    // Ends with a reset (linger 0) instead of an orderly close.
    Reply& Reset();

    // A complete response: status line, the given header lines (each without
    // its line end) and the body; Content-Length is added unless the headers
    // hold one or withLength is false.
    static Reply Http(int status, const std::string& body, std::vector<std::string> headers = {},
                      bool withLength = true);
    // A redirect with the given Location.
    static Reply Redirect(const std::string& location, int status = 302);

    struct Step {
        enum Kind { SendBytes, TrickleBytes, Callback, StallUntilClosed } kind;
        std::shared_ptr<const std::string> bytes; // shared: replies are copied per connection
        std::function<void(size_t)> between;
        std::function<void()> callback;
    };
    const std::vector<Step>& Steps() const { return m_steps; }
    bool EndsWithReset() const { return m_reset; }

private:
    std::vector<Step> m_steps;
    bool m_reset = false;
};

class LoopbackServer {
public:
    // Decides the reply from the raw request bytes (the simulator routes by
    // them); the default plays the queued replies.
    using Handler = std::function<Reply(const std::string& request)>;

    LoopbackServer();
    explicit LoopbackServer(Handler handler);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    uint16_t Port() const { return m_port; }
    // "http://127.0.0.1:<port>" followed by path.
    std::string Url(const std::string& path = "/") const;

    // Replies played to the connections in order; once they are used up the
    // fallback answers (a 404 unless set).
    void Enqueue(Reply reply);
    void SetFallback(Reply reply);

    // When false, the server reads nothing and plays the reply at once.
    void SetReadRequests(bool read) { m_readRequests = read; }

    // Raw bytes of each request so far, in the order connections arrived.
    std::vector<std::string> Requests() const;
    std::string LastRequest() const;
    int Connections() const;
    // Blocks until n connections have delivered their request (or a generous
    // safety limit passes: then false).
    bool WaitForRequests(size_t n) const;
    // Blocks until n connections have finished their reply.
    bool WaitForFinished(size_t n) const;

    // Stops accepting, wakes stalled connections and joins every thread.
    void Stop();

private:
    void AcceptLoop();
    void Serve(int fd, size_t index);
    Reply NextReply(const std::string& request);
    void RegisterFd(int fd);
    void UnregisterFd(int fd);

    Handler m_handler;
    int m_listenFd = -1;
    uint16_t m_port = 0;
    bool m_readRequests = true;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    bool m_stopping = false;
    std::deque<Reply> m_queue;
    std::unique_ptr<Reply> m_fallback;
    std::vector<std::string> m_requests;
    size_t m_delivered = 0;
    size_t m_finished = 0;
    int m_connections = 0;
    std::vector<int> m_openFds;
    std::vector<std::thread> m_threads;
    std::thread m_acceptThread;
};

// Reads one request from a connected descriptor: the header up to the empty
// line and as many body bytes as its Content-Length gives. Returns what was
// read (also a partial request when the peer stops early).
std::string ReadHttpRequest(int fd);

// A listener whose accept queue is full and never served, so that a client's
// connect to it blocks (the kernel drops the SYNs) until aborted or timed out.
class BlockedListener {
public:
    BlockedListener();
    ~BlockedListener();
    BlockedListener(const BlockedListener&) = delete;
    BlockedListener& operator=(const BlockedListener&) = delete;
    uint16_t Port() const { return m_port; }
    // Sockets of the machine in SYN-SENT state towards the port (read from
    // the kernel's connection table): a client is then blocked in connect.
    int ConnectingCount() const;

private:
    int m_listenFd = -1;
    uint16_t m_port = 0;
    std::vector<int> m_fillers;
};

// A free loopback TCP port at the moment of the call (for servers started as
// separate processes).
uint16_t FreeLoopbackPort();

} // namespace tavrin::test
