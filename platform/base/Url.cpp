#include "platform/base/Url.h"

#include <cstring>
#include <string>
#include <string_view>

namespace {

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool EqualsNoCase(std::string_view a, const char* b)
{
    if (a.size() != strlen(b))
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != b[i])
            return false;
    }
    return true;
}

DWORD ServiceOf(std::string_view scheme)
{
    static const struct {
        const char* name;
        DWORD service;
    } services[] = {
        {"http", AFX_INET_SERVICE_HTTP},     {"https", AFX_INET_SERVICE_HTTPS},
        {"ftp", AFX_INET_SERVICE_FTP},       {"gopher", AFX_INET_SERVICE_GOPHER},
        {"file", AFX_INET_SERVICE_FILE},     {"mailto", AFX_INET_SERVICE_MAILTO},
        {"news", AFX_INET_SERVICE_NEWS},     {"nntp", AFX_INET_SERVICE_NNTP},
        {"telnet", AFX_INET_SERVICE_TELNET}, {"wais", AFX_INET_SERVICE_WAIS},
        {"prospero", AFX_INET_SERVICE_PROSPERO},
    };
    for (const auto& s : services) {
        if (EqualsNoCase(scheme, s.name))
            return s.service;
    }
    return AFX_INET_SERVICE_UNK;
}

bool IsSchemeChar(char c, bool first)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
        return true;
    return !first && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.');
}

// Resolves "." and ".." segments of an absolute path.
std::string RemoveDotSegments(std::string_view in)
{
    std::string out;
    while (!in.empty()) {
        if (in.substr(0, 3) == "../")
            in.remove_prefix(3);
        else if (in.substr(0, 2) == "./")
            in.remove_prefix(2);
        else if (in.substr(0, 3) == "/./")
            in.remove_prefix(2);
        else if (in == "/.")
            in = "/";
        else if (in.substr(0, 4) == "/../" || in == "/..") {
            in = in.size() == 3 ? std::string_view("/") : in.substr(3);
            size_t slash = out.rfind('/');
            out.erase(slash == std::string::npos ? 0 : slash);
        } else if (in == "." || in == "..") {
            in = {};
        } else {
            size_t next = in.find('/', 1);
            size_t n = next == std::string_view::npos ? in.size() : next;
            out.append(in.substr(0, n));
            in.remove_prefix(n);
        }
    }
    return out;
}

void AppendEscaped(std::string& out, unsigned char c)
{
    static const char hex[] = "0123456789ABCDEF";
    out += '%';
    out += hex[c >> 4];
    out += hex[c & 15];
}

// Blanks and controls always; the path also escapes non-ASCII characters
// (both bytes of a double-byte character) and the delimiters that may not
// stand in it unescaped.
std::string Escape(std::string_view in, bool path)
{
    std::string out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(in[i]);
        if (c <= 0x20 || c == 0x7F) {
            AppendEscaped(out, c);
        } else if (path && c >= 0x80) {
            AppendEscaped(out, c);
            if (tavrin::IsLeadByte(c) && i + 1 < in.size())
                AppendEscaped(out, static_cast<unsigned char>(in[++i]));
        } else if (path && (c == '"' || c == '<' || c == '>' || c == '\\' || c == '^' || c == '`' || c == '{' ||
                            c == '|' || c == '}')) {
            AppendEscaped(out, c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

bool ParsePort(std::string_view text, INTERNET_PORT& port)
{
    if (text.empty()) {
        port = INTERNET_DEFAULT_HTTP_PORT;
        return true;
    }
    if (text.size() > 5)
        return false;
    unsigned value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value == 0 || value > 65535)
        return false;
    port = static_cast<INTERNET_PORT>(value);
    return true;
}

bool IsValidHost(std::string_view host)
{
    if (host.empty())
        return false;
    for (char c : host) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u == 0x7F || c == '\\' || c == '"' || c == '<' || c == '>' || c == '%')
            return false;
    }
    return true;
}

} // namespace

BOOL AfxParseURL(LPCTSTR url, DWORD& serviceType, CString& server, CString& object, INTERNET_PORT& port)
{
    serviceType = AFX_INET_SERVICE_UNK;
    server = CString();
    object = CString();
    port = INTERNET_INVALID_PORT_NUMBER;
    if (!url)
        return FALSE;
    std::string_view text(url);
    if (text.find_first_of("\r\n") != std::string_view::npos)
        return FALSE;
    const char* blanks = " \t\v\f";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return FALSE;
    text = text.substr(first, text.find_last_not_of(blanks) - first + 1);

    size_t colon = 0;
    while (colon < text.size() && IsSchemeChar(text[colon], colon == 0))
        ++colon;
    if (colon == 0 || colon >= text.size() || text[colon] != ':')
        return FALSE;
    serviceType = ServiceOf(text.substr(0, colon));
    if (text.substr(colon + 1, 2) != "//")
        return FALSE;
    if (serviceType != AFX_INET_SERVICE_HTTP)
        return FALSE;

    std::string_view rest = text.substr(colon + 3);
    size_t authorityEnd = rest.find_first_of("/?#");
    std::string_view authority = rest.substr(0, authorityEnd);
    rest = authorityEnd == std::string_view::npos ? std::string_view() : rest.substr(authorityEnd);
    size_t at = authority.rfind('@');
    if (at != std::string_view::npos)
        authority.remove_prefix(at + 1); // user information is not part of the host
    size_t portColon = authority.rfind(':');
    std::string_view host = authority.substr(0, portColon);
    INTERNET_PORT parsedPort = 0;
    if (!IsValidHost(host) ||
        !ParsePort(portColon == std::string_view::npos ? std::string_view() : authority.substr(portColon + 1),
                   parsedPort))
        return FALSE;

    size_t fragment = rest.find('#');
    if (fragment != std::string_view::npos)
        rest = rest.substr(0, fragment);
    size_t query = rest.find('?');
    std::string_view path = rest.substr(0, query);
    std::string result = path.empty() ? std::string("/") : Escape(RemoveDotSegments(path), true);
    if (result.empty())
        result = "/";
    if (query != std::string_view::npos)
        result += Escape(rest.substr(query), false);

    server = CString(host);
    object = CString(std::move(result));
    port = parsedPort;
    return TRUE;
}
