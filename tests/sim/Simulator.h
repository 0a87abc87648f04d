// The provider simulator: an HTTP/1.0 server on a loopback port that the
// client reaches through its proxy setting. Requests carry absolute targets
// ("http://host/path"), so the server routes by the providers' own host names
// without DNS. Sites install their routes (see tests/sim/5460/); a test seeds
// the scenario, switches faults on per route and reads the request log.
//
// Every request runs on a thread of its own, so a stalled request never
// holds up the others. Handlers read and change the scenario under Edit.
#pragma once

#include "tests/sim/Http.h"
#include "tests/sim/Scenario.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace tavrin::sim {

// Holds the requests that reach a stalled route until the test opens it.
class Gate {
public:
    void Open();
    // Blocks until at least count requests have arrived at the gate; false
    // when that does not happen within a generous safety limit.
    bool WaitArrivals(int count);
    int Arrivals() const;

    // On the request's thread: counts the arrival and waits until opened.
    void Pass();

private:
    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_open = false;
    int m_arrivals = 0;
};

struct Fault {
    enum Kind {
        Status,         // answer with this status and a short page
        Redirect,       // 302 to location
        Drop,           // close the connection without a reply
        EmptyBody,      // 200 with no body
        Stall,          // wait at the gate, then serve normally
        SessionExpired, // the site sees no session
        RepeatPage,     // the page-number field reads "1" whatever was asked
        NoCookies,      // serve normally but set no cookie
    };
    Kind kind = Status;
    int status = 500;
    std::string location;
    std::shared_ptr<Gate> gate;
    std::string pageField = "PageNum";
    // Number of requests the fault applies to; -1 for every one.
    int times = -1;
    // A status fault answers with no page at all.
    bool noBody = false;

    static Fault WithStatus(int code);
    static Fault RedirectTo(std::string location);
    static Fault DropConnection();
    static Fault Empty();
    static Fault StallAt(std::shared_ptr<Gate> gate);
    static Fault ExpiredSession();
    static Fault RepeatFirstPage(std::string field = "PageNum");
    static Fault WithoutCookies();
    Fault& Times(int count);
    Fault& WithoutBody();
};

class Simulator {
public:
    using Handler = std::function<void(const Request&, Response&)>;

    // Listens on 127.0.0.1; port 0 picks a free one.
    explicit Simulator(int port = 0);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    int Port() const { return m_port; }
    // What the client's proxy setting takes.
    std::string ProxyHost() const { return "127.0.0.1"; }
    std::string ProxyPort() const { return std::to_string(m_port); }
    // Stops listening and ends every connection; the destructor calls it.
    void Stop();

    // A route by host and path (without query); host "" serves every host
    // that has no route of its own for the path. Host names in lower case.
    void Route(const std::string& host, const std::string& path, Handler handler);
    // A fixed reply for an absolute URL, on any host, known or foreign.
    void AddFile(const std::string& url, std::string bytes, std::string contentType = "");
    // Hosts without any route answer image paths (.gif, .jpg, .jpeg, .png)
    // that have no file with a small generated picture; on by default.
    void SetForeignImages(bool on);

    // Faults by host and path; host "" for every host.
    void SetFault(const std::string& host, const std::string& path, Fault fault);
    void ClearFault(const std::string& host, const std::string& path);
    void ClearFaults();

    template <class F>
    auto Edit(F&& f)
    {
        std::lock_guard<std::mutex> lock(m_dataLock);
        return f(m_scenario);
    }

    // Sessions by cookie, shared by the sites: a session names a user.
    std::string OpenSession(const std::string& user);
    // The user of the session in the request's cookie of that name; empty
    // when there is none (or the session-expired fault is on).
    std::string SessionUser(const Request& request, const std::string& cookie) const;
    void ExpireSessions();

    // Every request received, in order of arrival (before faults applied).
    std::vector<Request> Log() const;
    // Those whose path equals path, on any host.
    std::vector<Request> Requests(std::string_view path) const;
    size_t Count(std::string_view path) const;
    void ClearLog();

private:
    struct Connection {
        int fd = -1;
        std::thread thread;
        std::atomic<bool> done{false};
    };

    void AcceptLoop();
    void Serve(Connection& connection);
    // Reads one request; false when the peer sent none.
    bool ReadRequest(int fd, Request& request);
    void Dispatch(Request& request, Response& response);
    bool TakeFault(const Request& request, Fault& fault);
    void ReapDone();

    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::thread m_acceptThread;
    std::mutex m_connectionLock;
    std::list<std::unique_ptr<Connection>> m_connections;

    mutable std::mutex m_routeLock;
    std::map<std::pair<std::string, std::string>, Handler> m_routes;
    std::map<std::string, std::pair<std::string, std::string>> m_files; // url -> (bytes, type)
    std::map<std::pair<std::string, std::string>, Fault> m_faults;
    std::vector<std::shared_ptr<Gate>> m_gates;
    bool m_foreignImages = true;

    std::mutex m_dataLock;
    Scenario m_scenario;

    mutable std::mutex m_sessionLock;
    std::map<std::string, std::string> m_sessions;
    int m_nextSession = 1;

    mutable std::mutex m_logLock;
    std::vector<Request> m_log;
};

} // namespace tavrin::sim
