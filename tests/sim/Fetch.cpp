#include "tests/sim/Fetch.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace tavrin::sim {

std::string Fetched::Header(std::string_view name) const
{
    for (const auto& [key, value] : headers)
        if (ToLower(key) == ToLower(name))
            return value;
    return {};
}

Fetched Fetch(int port, const std::string& method, const std::string& url, const std::string& body,
              const std::vector<std::string>& headers)
{
    Fetched result;
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return result;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return result;
    }
    std::string request = method + " " + url + " HTTP/1.0\r\n";
    for (const std::string& h : headers)
        request += h + "\r\n";
    if (!body.empty() || method == "POST")
        request += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    request += "Connection: close\r\n\r\n" + body;
    size_t sent = 0;
    while (sent < request.size()) {
        ssize_t n = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        sent += static_cast<size_t>(n);
    }
    std::string data;
    char buffer[16384];
    for (;;) {
        ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        data.append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    size_t end = data.find("\r\n\r\n");
    if (end == std::string::npos || data.compare(0, 5, "HTTP/") != 0)
        return result;
    std::string_view head(data.data(), end);
    size_t eol = head.find("\r\n");
    std::string_view line = head.substr(0, eol);
    size_t sp = line.find(' ');
    result.status = sp == std::string_view::npos ? 0 : std::atoi(std::string(line.substr(sp + 1, 3)).c_str());
    std::string_view rest = eol == std::string_view::npos ? std::string_view() : head.substr(eol + 2);
    result.headers = ParseHeaderLines(rest);
    result.body = data.substr(end + 4);
    result.ok = true;
    return result;
}

} // namespace tavrin::sim
