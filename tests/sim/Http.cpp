#include "tests/sim/Http.h"

#include <algorithm>
#include <cctype>

namespace tavrin::sim {

namespace {

bool EqualNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// The value of a parameter such as name="x" or name=x in a header line.
bool HeaderParameter(std::string_view line, std::string_view name, std::string& value)
{
    std::string lower = ToLower(line);
    std::string key = ToLower(name) + "=";
    size_t at = 0;
    while ((at = lower.find(key, at)) != std::string::npos) {
        // A whole parameter name: preceded by a separator.
        if (at == 0 || lower[at - 1] == ' ' || lower[at - 1] == ';' || lower[at - 1] == '\t') {
            size_t v = at + key.size();
            if (v < line.size() && line[v] == '"') {
                size_t end = line.find('"', v + 1);
                value = std::string(line.substr(v + 1, end == std::string_view::npos ? std::string_view::npos
                                                                                       : end - v - 1));
            } else {
                size_t end = line.find(';', v);
                value = std::string(Trim(line.substr(v, end == std::string_view::npos ? std::string_view::npos
                                                                                         : end - v)));
            }
            return true;
        }
        at += key.size();
    }
    return false;
}

} // namespace

std::string ToLower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

Pairs ParseHeaderLines(std::string_view rest)
{
    Pairs headers;
    while (!rest.empty()) {
        size_t e = rest.find("\r\n");
        std::string_view h = rest.substr(0, e);
        rest = e == std::string_view::npos ? std::string_view() : rest.substr(e + 2);
        size_t colon = h.find(':');
        if (colon == std::string_view::npos)
            continue;
        std::string_view value = h.substr(colon + 1);
        while (!value.empty() && value.front() == ' ')
            value.remove_prefix(1);
        headers.emplace_back(std::string(h.substr(0, colon)), std::string(value));
    }
    return headers;
}

std::string Request::Header(std::string_view name) const
{
    for (const auto& [key, value] : headers)
        if (EqualNoCase(key, name))
            return value;
    return {};
}

std::string Request::Field(std::string_view name) const
{
    for (const auto& [key, value] : fields)
        if (key == name)
            return value;
    return {};
}

bool Request::HasField(std::string_view name) const
{
    return std::any_of(fields.begin(), fields.end(), [&](const auto& f) { return f.first == name; });
}

std::string Request::Cookie(std::string_view name) const
{
    auto it = cookies.find(std::string(name));
    return it == cookies.end() ? std::string() : it->second;
}

const Part* Request::FindPart(std::string_view name) const
{
    for (const Part& p : parts)
        if (p.name == name)
            return &p;
    return nullptr;
}

void Response::Html(std::string gbk)
{
    SetHeader("Content-Type", "text/html; charset=GBK");
    body = std::move(gbk);
}

void Response::Redirect(std::string location, int code)
{
    status = code;
    SetHeader("Location", std::move(location));
}

void Response::SetCookie(const std::string& name, const std::string& value)
{
    headers.emplace_back("Set-Cookie", name + "=" + value + "; path=/");
}

void Response::SetHeader(const std::string& name, std::string value)
{
    for (auto& [key, v] : headers) {
        if (EqualNoCase(key, name)) {
            v = std::move(value);
            return;
        }
    }
    headers.emplace_back(name, std::move(value));
}

std::string Response::Header(std::string_view name) const
{
    for (const auto& [key, value] : headers)
        if (EqualNoCase(key, name))
            return value;
    return {};
}

std::string UrlDecode(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
                   HexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

std::string UrlEncode(std::string_view text)
{
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (std::isalnum(c) && c < 0x80) {
            out += static_cast<char>(c);
        } else if (c == '-' || c == '_' || c == '.' || c == '*') {
            out += static_cast<char>(c);
        } else if (c == ' ') {
            out += '+';
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

Pairs ParseForm(std::string_view text)
{
    Pairs out;
    while (!text.empty()) {
        size_t amp = text.find('&');
        std::string_view entry = text.substr(0, amp);
        text = amp == std::string_view::npos ? std::string_view() : text.substr(amp + 1);
        if (entry.empty())
            continue;
        size_t eq = entry.find('=');
        if (eq == std::string_view::npos)
            out.emplace_back(UrlDecode(entry), std::string());
        else
            out.emplace_back(UrlDecode(entry.substr(0, eq)), UrlDecode(entry.substr(eq + 1)));
    }
    return out;
}

std::map<std::string, std::string> ParseCookies(std::string_view text)
{
    std::map<std::string, std::string> out;
    while (!text.empty()) {
        size_t semi = text.find(';');
        std::string_view entry = Trim(text.substr(0, semi));
        text = semi == std::string_view::npos ? std::string_view() : text.substr(semi + 1);
        size_t eq = entry.find('=');
        if (entry.empty() || eq == std::string_view::npos)
            continue;
        out[std::string(Trim(entry.substr(0, eq)))] = std::string(Trim(entry.substr(eq + 1)));
    }
    return out;
}

std::string MultipartBoundary(std::string_view contentType)
{
    if (ToLower(contentType).find("multipart/form-data") == std::string::npos)
        return {};
    std::string value;
    return HeaderParameter(contentType, "boundary", value) ? value : std::string();
}

std::vector<Part> ParseMultipart(std::string_view body, std::string_view boundary)
{
    std::vector<Part> parts;
    if (boundary.empty())
        return parts;
    const std::string delimiter = "--" + std::string(boundary);
    size_t at = body.find(delimiter);
    while (at != std::string_view::npos) {
        size_t start = at + delimiter.size();
        if (body.substr(start, 2) == "--")
            break; // closing delimiter
        if (body.substr(start, 2) != "\r\n")
            break;
        start += 2;
        size_t headerEnd = body.find("\r\n\r\n", start);
        if (headerEnd == std::string_view::npos)
            break;
        size_t next = body.find("\r\n" + delimiter, headerEnd + 4);
        Part part;
        std::string_view headerText = body.substr(start, headerEnd - start);
        while (!headerText.empty()) {
            size_t eol = headerText.find("\r\n");
            std::string_view line = headerText.substr(0, eol);
            headerText = eol == std::string_view::npos ? std::string_view() : headerText.substr(eol + 2);
            size_t colon = line.find(':');
            if (colon == std::string_view::npos)
                continue;
            std::string key = ToLower(Trim(line.substr(0, colon)));
            std::string_view value = Trim(line.substr(colon + 1));
            if (key == "content-disposition") {
                HeaderParameter(value, "name", part.name);
                part.hasFileName = HeaderParameter(value, "filename", part.fileName);
            } else if (key == "content-type") {
                part.contentType = std::string(value);
            }
        }
        size_t dataEnd = next == std::string_view::npos ? body.size() : next;
        part.data = std::string(body.substr(headerEnd + 4, dataEnd - headerEnd - 4));
        parts.push_back(std::move(part));
        if (next == std::string_view::npos)
            break;
        at = next + 2;
    }
    return parts;
}

bool ParseTarget(std::string_view target, std::string_view hostHeader, Target& out)
{
    std::string_view rest = target;
    std::string_view authority;
    if (rest.size() >= 7 && EqualNoCase(rest.substr(0, 7), "http://")) {
        rest.remove_prefix(7);
        size_t slash = rest.find_first_of("/?");
        authority = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view("/") : rest.substr(slash);
    } else if (!rest.empty() && rest.front() == '/') {
        authority = Trim(hostHeader);
    } else {
        return false;
    }
    // Drop any user information and the port.
    if (size_t at = authority.rfind('@'); at != std::string_view::npos)
        authority.remove_prefix(at + 1);
    if (size_t colon = authority.find(':'); colon != std::string_view::npos)
        authority = authority.substr(0, colon);
    if (authority.empty())
        return false;
    out.host = ToLower(authority);
    size_t q = rest.find('?');
    out.path = std::string(rest.substr(0, q));
    if (out.path.empty())
        out.path = "/";
    out.query = q == std::string_view::npos ? std::string() : std::string(rest.substr(q + 1));
    return true;
}

} // namespace tavrin::sim
