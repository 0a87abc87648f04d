#include "core/services/HttpResponse.h"

namespace tavrin::http {

namespace {

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (Lower(text[i]) != Lower(prefix[i]))
            return false;
    }
    return true;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The bare header name: blanks and one trailing colon removed.
std::string_view BareName(std::string_view name)
{
    name = TrimBlanks(name);
    if (!name.empty() && name.back() == ':')
        name.remove_suffix(1);
    return TrimBlanks(name);
}

// Calls visit(value) for every line of the header whose name is name.
template <typename Visit>
void ForEachValue(std::string_view header, std::string_view name, Visit visit)
{
    if (name.empty())
        return;
    size_t lineStart = 0;
    while (lineStart <= header.size()) {
        size_t lineEnd = header.find("\r\n", lineStart);
        if (lineEnd == std::string_view::npos)
            lineEnd = header.size();
        std::string_view line = header.substr(lineStart, lineEnd - lineStart);
        if (line.size() > name.size() && line[name.size()] == ':' && StartsWithNoCase(line, name))
            visit(TrimBlanks(line.substr(name.size() + 1)));
        if (lineEnd == header.size())
            break;
        lineStart = lineEnd + 2;
    }
}

bool HasScheme(std::string_view url)
{
    size_t i = 0;
    while (i < url.size()) {
        char c = url[i];
        bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!(alpha || (i > 0 && other)))
            break;
        ++i;
    }
    return i > 0 && i < url.size() && url[i] == ':';
}

} // namespace

size_t FindHeaderEnd(std::string_view bytes, size_t from)
{
    if (from >= bytes.size())
        return kNoHeaderEnd;
    return bytes.find("\r\n\r\n", from);
}

int StatusCode(std::string_view header)
{
    std::string_view line = header.substr(0, header.find("\r\n"));
    size_t blank = line.find(' ');
    if (blank == std::string_view::npos || line.size() < blank + 4)
        return 0;
    int code = 0;
    for (size_t i = blank + 1; i < blank + 4; ++i) {
        if (line[i] < '0' || line[i] > '9')
            return 0;
        code = code * 10 + (line[i] - '0');
    }
    return code;
}

std::string HeaderValue(std::string_view header, std::string_view name)
{
    name = BareName(name);
    std::string result;
    bool found = false;
    if (name.size() == 10 && StartsWithNoCase(name, "set-cookie")) {
        ForEachValue(header, name, [&](std::string_view value) {
            found = true;
            size_t semicolon = value.find(';');
            std::string_view piece = value.substr(0, semicolon);
            size_t equals = piece.find('=');
            if (equals != std::string_view::npos && TrimBlanks(piece.substr(equals + 1)) == "deleted")
                return;
            if (TrimBlanks(piece).empty())
                return;
            result.append(piece);
            result += "; ";
        });
    } else {
        ForEachValue(header, name, [&](std::string_view value) {
            found = true;
            result.append(value);
        });
    }
    if (!found && name.size() == 14 && StartsWithNoCase(name, "content-length"))
        return "-1";
    return result;
}

int64_t ContentLength(std::string_view header)
{
    int64_t length = -1;
    bool valid = true;
    ForEachValue(header, "content-length", [&](std::string_view value) {
        if (value.empty() || value.size() > 18) {
            valid = false;
            return;
        }
        int64_t n = 0;
        for (char c : value) {
            if (c < '0' || c > '9') {
                valid = false;
                return;
            }
            n = n * 10 + (c - '0');
        }
        if (length >= 0 && n != length)
            valid = false;
        length = n;
    });
    return valid ? length : -1;
}

std::string ResolveLocation(std::string_view currentUrl, std::string_view location)
{
    location = TrimBlanks(location);
    if (location.empty())
        return {};
    if (HasScheme(location))
        return std::string(location);
    if (location.substr(0, 2) == "//")
        return "http:" + std::string(location);

    size_t authorityStart = currentUrl.find("://");
    authorityStart = authorityStart == std::string_view::npos ? 0 : authorityStart + 3;
    size_t pathStart = currentUrl.find_first_of("/?#", authorityStart);
    if (pathStart == std::string_view::npos)
        pathStart = currentUrl.size();
    std::string_view origin = currentUrl.substr(0, pathStart);
    std::string_view path = currentUrl.substr(pathStart);
    path = path.substr(0, path.find_first_of("?#"));
    if (path.empty())
        path = "/";

    std::string next(origin);
    if (location.front() == '/') {
        next.append(location);
    } else if (location.front() == '?') {
        next.append(path);
        next.append(location);
    } else {
        next.append(path.substr(0, path.rfind('/') + 1));
        next.append(location);
    }
    return next;
}

} // namespace tavrin::http
