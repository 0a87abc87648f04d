#include "tests/sim/Simulator.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <stdexcept>

namespace tavrin::sim {

namespace {

constexpr size_t kMaxHeader = 256 * 1024;
constexpr size_t kMaxBody = 64u * 1024 * 1024;

const char* Reason(int status)
{
    switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

bool SendAll(int fd, const std::string& bytes)
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

bool EndsWith(const std::string& s, std::string_view suffix)
{
    return s.size() >= suffix.size() && ToLower(s.substr(s.size() - suffix.size())) == suffix;
}

// A 1x1 GIF, for foreign image hosts.
std::string TinyGif()
{
    static const unsigned char bytes[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80,
                                          0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00,
                                          0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01,
                                          0x00, 0x3B};
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

std::string UrlKey(const std::string& url)
{
    Target t;
    if (!ParseTarget(url, "", t))
        return url;
    return t.host + t.path + (t.query.empty() ? "" : "?" + t.query);
}

} // namespace

// ---- Gate ----

void Gate::Open()
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_open = true;
    m_changed.notify_all();
}

bool Gate::WaitArrivals(int count)
{
    std::unique_lock<std::mutex> lock(m_lock);
    // A safety limit only: a test that works never comes near it.
    return m_changed.wait_for(lock, std::chrono::seconds(60), [&] { return m_arrivals >= count; });
}

int Gate::Arrivals() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_arrivals;
}

void Gate::Pass()
{
    std::unique_lock<std::mutex> lock(m_lock);
    ++m_arrivals;
    m_changed.notify_all();
    m_changed.wait(lock, [&] { return m_open; });
}

// ---- Fault ----

Fault& Fault::WithoutBody()
{
    noBody = true;
    return *this;
}

Fault Fault::WithStatus(int code)
{
    Fault f;
    f.kind = Status;
    f.status = code;
    return f;
}

Fault Fault::RedirectTo(std::string location)
{
    Fault f;
    f.kind = Redirect;
    f.status = 302;
    f.location = std::move(location);
    return f;
}

Fault Fault::DropConnection()
{
    Fault f;
    f.kind = Drop;
    return f;
}

Fault Fault::Empty()
{
    Fault f;
    f.kind = EmptyBody;
    return f;
}

Fault Fault::StallAt(std::shared_ptr<Gate> gate)
{
    Fault f;
    f.kind = Stall;
    f.gate = std::move(gate);
    return f;
}

Fault Fault::ExpiredSession()
{
    Fault f;
    f.kind = SessionExpired;
    return f;
}

Fault Fault::RepeatFirstPage(std::string field)
{
    Fault f;
    f.kind = RepeatPage;
    f.pageField = std::move(field);
    return f;
}

Fault Fault::WithoutCookies()
{
    Fault f;
    f.kind = NoCookies;
    return f;
}

Fault& Fault::Times(int count)
{
    times = count;
    return *this;
}

// ---- Scenario ----

User* Scenario::FindUser(const std::string& name)
{
    for (User& u : users)
        if (u.name == name)
            return &u;
    return nullptr;
}

SchoolClass* Scenario::FindClass(const std::string& id)
{
    for (SchoolClass& c : classes)
        if (c.id == id)
            return &c;
    return nullptr;
}

SchoolClass& Scenario::Class(const std::string& id)
{
    if (SchoolClass* c = FindClass(id))
        return *c;
    classes.push_back(SchoolClass{});
    classes.back().id = id;
    return classes.back();
}

// ---- Simulator ----

Simulator::Simulator(int port)
{
    m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listener < 0)
        throw std::runtime_error("simulator: socket failed");
    int one = 1;
    setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(m_listener, 64) != 0) {
        close(m_listener);
        throw std::runtime_error("simulator: cannot listen");
    }
    socklen_t length = sizeof address;
    getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_acceptThread = std::thread([this] { AcceptLoop(); });
}

Simulator::~Simulator()
{
    Stop();
}

void Simulator::Stop()
{
    if (m_stopping.exchange(true))
        return;
    // Wakes the blocking accept.
    shutdown(m_listener, SHUT_RDWR);
    if (m_acceptThread.joinable())
        m_acceptThread.join();
    close(m_listener);
    {
        std::lock_guard<std::mutex> lock(m_routeLock);
        for (auto& gate : m_gates)
            gate->Open();
    }
    std::list<std::unique_ptr<Connection>> connections;
    {
        std::lock_guard<std::mutex> lock(m_connectionLock);
        connections.swap(m_connections);
    }
    for (auto& c : connections)
        shutdown(c->fd, SHUT_RDWR);
    for (auto& c : connections) {
        c->thread.join();
        close(c->fd);
    }
}

void Simulator::AcceptLoop()
{
    while (!m_stopping) {
        int fd = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            break;
        }
        // A peer that sends nothing must not keep a thread for ever.
        timeval timeout{30, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
        ReapDone();
        std::lock_guard<std::mutex> lock(m_connectionLock);
        if (m_stopping) {
            close(fd);
            break;
        }
        auto connection = std::make_unique<Connection>();
        connection->fd = fd;
        Connection& ref = *connection;
        m_connections.push_back(std::move(connection));
        ref.thread = std::thread([this, &ref] { Serve(ref); });
    }
}

void Simulator::ReapDone()
{
    std::list<std::unique_ptr<Connection>> done;
    {
        std::lock_guard<std::mutex> lock(m_connectionLock);
        for (auto it = m_connections.begin(); it != m_connections.end();) {
            if ((*it)->done) {
                done.push_back(std::move(*it));
                it = m_connections.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (auto& c : done) {
        c->thread.join();
        close(c->fd);
    }
}

bool Simulator::ReadRequest(int fd, Request& request)
{
    std::string data;
    size_t headerEnd = std::string::npos;
    char buffer[16384];
    while (headerEnd == std::string::npos) {
        ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data.append(buffer, static_cast<size_t>(n));
        headerEnd = data.find("\r\n\r\n");
        if (headerEnd == std::string::npos && data.size() > kMaxHeader)
            return false;
    }
    std::string_view head(data.data(), headerEnd);
    size_t eol = head.find("\r\n");
    std::string_view line = head.substr(0, eol);
    size_t sp1 = line.find(' ');
    size_t sp2 = line.rfind(' ');
    if (sp1 == std::string_view::npos || sp2 == sp1)
        return false;
    request.method = std::string(line.substr(0, sp1));
    request.target = std::string(line.substr(sp1 + 1, sp2 - sp1 - 1));
    std::string_view rest = eol == std::string_view::npos ? std::string_view() : head.substr(eol + 2);
    request.headers = ParseHeaderLines(rest);
    size_t length = 0;
    std::string lengthText = request.Header("Content-Length");
    if (!lengthText.empty()) {
        length = std::strtoull(lengthText.c_str(), nullptr, 10);
        if (length > kMaxBody)
            return false;
    }
    request.body = data.substr(headerEnd + 4);
    while (request.body.size() < length) {
        ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        request.body.append(buffer, static_cast<size_t>(n));
    }
    request.body.resize(length);

    Target target;
    if (!ParseTarget(request.target, request.Header("Host"), target))
        return false;
    request.host = target.host;
    request.path = target.path;
    request.query = target.query;
    for (const auto& [key, value] : request.headers)
        if (ToLower(key) == "cookie")
            for (auto& [name, v] : ParseCookies(value))
                request.cookies[name] = v;
    request.fields = ParseForm(request.query);
    if (!request.body.empty()) {
        std::string boundary = MultipartBoundary(request.Header("Content-Type"));
        if (!boundary.empty()) {
            request.parts = ParseMultipart(request.body, boundary);
            for (const Part& p : request.parts)
                if (!p.hasFileName)
                    request.fields.emplace_back(p.name, p.data);
        } else {
            for (auto& f : ParseForm(request.body))
                request.fields.push_back(std::move(f));
        }
    }
    return true;
}

void Simulator::Serve(Connection& connection)
{
    Request request;
    if (ReadRequest(connection.fd, request)) {
        {
            std::lock_guard<std::mutex> lock(m_logLock);
            m_log.push_back(request);
        }
        Fault fault;
        bool faulty = TakeFault(request, fault);
        Response response;
        bool reply = true;
        if (faulty) {
            switch (fault.kind) {
            case Fault::Status:
                response.status = fault.status;
                if (!fault.noBody)
                    response.Html("<html><body>" + std::to_string(fault.status) + "</body></html>");
                break;
            case Fault::Redirect:
                response.Redirect(fault.location, fault.status);
                break;
            case Fault::Drop:
                reply = false;
                break;
            case Fault::EmptyBody:
                response.SetHeader("Content-Type", "text/html; charset=GBK");
                break;
            case Fault::Stall:
                fault.gate->Pass();
                Dispatch(request, response);
                break;
            case Fault::SessionExpired:
                request.noSession = true;
                Dispatch(request, response);
                break;
            case Fault::RepeatPage:
                for (auto& [key, value] : request.fields)
                    if (key == fault.pageField)
                        value = "1";
                Dispatch(request, response);
                break;
            case Fault::NoCookies:
                Dispatch(request, response);
                response.headers.erase(std::remove_if(response.headers.begin(), response.headers.end(),
                                                      [](const auto& h) { return ToLower(h.first) == "set-cookie"; }),
                                       response.headers.end());
                break;
            }
        } else {
            Dispatch(request, response);
        }
        if (reply && !m_stopping) {
            std::string out = "HTTP/1.0 " + std::to_string(response.status) + " " + Reason(response.status) + "\r\n";
            for (const auto& [key, value] : response.headers)
                out += key + ": " + value + "\r\n";
            if (response.Header("Content-Length").empty())
                out += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
            out += "Connection: close\r\n\r\n";
            out += response.body;
            SendAll(connection.fd, out);
        }
    }
    // The reaper closes the descriptor; here only the orderly end.
    shutdown(connection.fd, SHUT_WR);
    connection.done = true;
}

bool Simulator::TakeFault(const Request& request, Fault& fault)
{
    std::lock_guard<std::mutex> lock(m_routeLock);
    auto it = m_faults.find({request.host, request.path});
    if (it == m_faults.end())
        it = m_faults.find({std::string(), request.path});
    if (it == m_faults.end())
        return false;
    fault = it->second;
    if (it->second.times > 0 && --it->second.times == 0)
        m_faults.erase(it);
    return true;
}

void Simulator::Dispatch(Request& request, Response& response)
{
    Handler handler;
    std::pair<std::string, std::string> file;
    bool haveFile = false;
    bool knownHost = false;
    bool foreignImages = false;
    {
        std::lock_guard<std::mutex> lock(m_routeLock);
        auto it = m_routes.find({request.host, request.path});
        if (it == m_routes.end())
            it = m_routes.find({std::string(), request.path});
        if (it != m_routes.end())
            handler = it->second;
        auto f = m_files.find(request.host + request.path + (request.query.empty() ? "" : "?" + request.query));
        if (f != m_files.end()) {
            file = f->second;
            haveFile = true;
        }
        auto lower = m_routes.lower_bound({request.host, std::string()});
        knownHost = lower != m_routes.end() && lower->first.first == request.host;
        foreignImages = m_foreignImages;
    }
    if (handler) {
        handler(request, response);
        return;
    }
    if (haveFile) {
        response.body = file.first;
        if (!file.second.empty())
            response.SetHeader("Content-Type", file.second);
        return;
    }
    if (!knownHost && foreignImages &&
        (EndsWith(request.path, ".gif") || EndsWith(request.path, ".jpg") || EndsWith(request.path, ".jpeg") ||
         EndsWith(request.path, ".png"))) {
        response.SetHeader("Content-Type", "image/gif");
        response.body = TinyGif();
        return;
    }
    response.status = 404;
    response.Html("<html><body>404 Not Found</body></html>");
}

void Simulator::Route(const std::string& host, const std::string& path, Handler handler)
{
    std::lock_guard<std::mutex> lock(m_routeLock);
    m_routes[{ToLower(host), path}] = std::move(handler);
}

void Simulator::AddFile(const std::string& url, std::string bytes, std::string contentType)
{
    std::lock_guard<std::mutex> lock(m_routeLock);
    m_files[UrlKey(url)] = {std::move(bytes), std::move(contentType)};
}

void Simulator::SetForeignImages(bool on)
{
    std::lock_guard<std::mutex> lock(m_routeLock);
    m_foreignImages = on;
}

void Simulator::SetFault(const std::string& host, const std::string& path, Fault fault)
{
    std::lock_guard<std::mutex> lock(m_routeLock);
    if (fault.gate) {
        if (m_stopping)
            fault.gate->Open();
        m_gates.push_back(fault.gate);
    }
    m_faults[{ToLower(host), path}] = std::move(fault);
}

void Simulator::ClearFault(const std::string& host, const std::string& path)
{
    std::lock_guard<std::mutex> lock(m_routeLock);
    m_faults.erase({ToLower(host), path});
}

void Simulator::ClearFaults()
{
    std::lock_guard<std::mutex> lock(m_routeLock);
    m_faults.clear();
}

std::string Simulator::OpenSession(const std::string& user)
{
    std::lock_guard<std::mutex> lock(m_sessionLock);
    char token[32];
    std::snprintf(token, sizeof token, "S%04dX%d", m_nextSession++, m_port);
    m_sessions[token] = user;
    return token;
}

std::string Simulator::SessionUser(const Request& request, const std::string& cookie) const
{
    if (request.noSession)
        return {};
    std::lock_guard<std::mutex> lock(m_sessionLock);
    auto it = m_sessions.find(request.Cookie(cookie));
    return it == m_sessions.end() ? std::string() : it->second;
}

void Simulator::ExpireSessions()
{
    std::lock_guard<std::mutex> lock(m_sessionLock);
    m_sessions.clear();
}

std::vector<Request> Simulator::Log() const
{
    std::lock_guard<std::mutex> lock(m_logLock);
    return m_log;
}

std::vector<Request> Simulator::Requests(std::string_view path) const
{
    std::lock_guard<std::mutex> lock(m_logLock);
    std::vector<Request> out;
    for (const Request& r : m_log)
        if (r.path == path)
            out.push_back(r);
    return out;
}

size_t Simulator::Count(std::string_view path) const
{
    std::lock_guard<std::mutex> lock(m_logLock);
    return static_cast<size_t>(std::count_if(m_log.begin(), m_log.end(), [&](const Request& r) { return r.path == path; }));
}

void Simulator::ClearLog()
{
    std::lock_guard<std::mutex> lock(m_logLock);
    m_log.clear();
}

} // namespace tavrin::sim
