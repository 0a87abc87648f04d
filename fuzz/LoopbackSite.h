// A provider site for the store fuzz targets: a loopback HTTP proxy that
// answers each request by the first route its target contains and records
// what was asked. The program reaches it through its proxy setting, as the
// tests' simulator is reached, so the stores run their real request code.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace fuzz {

class LoopbackSite {
public:
    struct Request {
        std::string target;  // the absolute URL a proxy is asked for
        std::string head;    // request line and header lines
    };

    LoopbackSite()
    {
        m_listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            listen(m_listener, 64) != 0 ||
            getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            std::abort();
        m_port = ntohs(address.sin_port);
        // Lives as long as the process: fuzz targets never tear it down.
        std::thread([this] { Serve(); }).detach();
    }

    int Port() const { return m_port; }

    // Bodies by a piece of the target ("liuyan.jsp"); other targets get 404.
    void SetRoutes(std::vector<std::pair<std::string, std::string>> routes)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_routes = std::move(routes);
        m_requests.clear();
    }

    std::vector<Request> Requests()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_requests;
    }

private:
    void Serve()
    {
        for (;;) {
            int connection = accept(m_listener, nullptr, nullptr);
            if (connection < 0)
                continue;
            Answer(connection);
            close(connection);
        }
    }

    void Answer(int connection)
    {
        std::string head;
        char buffer[4096];
        size_t end;
        while ((end = head.find("\r\n\r\n")) == std::string::npos) {
            ssize_t n = recv(connection, buffer, sizeof buffer, 0);
            if (n <= 0)
                return;
            head.append(buffer, static_cast<size_t>(n));
        }
        // The body, if any, is read so the client's send completes.
        size_t bodyLength = 0;
        size_t at = Lower(head).find("\r\ncontent-length:");
        if (at != std::string::npos)
            bodyLength = std::strtoul(head.c_str() + at + 17, nullptr, 10);
        size_t have = head.size() - end - 4;
        while (have < bodyLength) {
            ssize_t n = recv(connection, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            have += static_cast<size_t>(n);
        }
        head.resize(end + 2);
        size_t space = head.find(' ');
        std::string target = head.substr(space + 1, head.find(' ', space + 1) - space - 1);

        std::string body;
        bool found = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_requests.push_back({target, head});
            for (const auto& route : m_routes)
                if (target.find(route.first) != std::string::npos) {
                    body = route.second;
                    found = true;
                    break;
                }
        }
        std::string reply = std::string(found ? "HTTP/1.1 200 OK" : "HTTP/1.1 404 Not Found") +
                            "\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: " +
                            std::to_string(body.size()) + "\r\n\r\n" + body;
        for (size_t sent = 0; sent < reply.size();) {
            ssize_t n = send(connection, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                break;
            sent += static_cast<size_t>(n);
        }
    }

    static std::string Lower(std::string s)
    {
        for (char& c : s)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return s;
    }

    int m_listener = -1;
    int m_port = 0;
    std::mutex m_mutex;
    std::vector<std::pair<std::string, std::string>> m_routes;
    std::vector<Request> m_requests;
};

} // namespace fuzz
