// Requests and responses of the provider simulator, and the text helpers that
// take requests apart. Texts are bytes: GBK where the sites use Chinese.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavrin::sim {

using Pairs = std::vector<std::pair<std::string, std::string>>;

// One part of a multipart/form-data body.
struct Part {
    std::string name;
    std::string fileName;
    bool hasFileName = false;
    std::string contentType;
    std::string data;
};

struct Request {
    std::string method; // as sent: "GET", "POST"
    std::string target; // the request target as sent
    std::string host;   // lower case, without port
    std::string path;   // without the query
    std::string query;  // raw, after '?'
    Pairs headers;
    std::map<std::string, std::string> cookies;
    Pairs fields; // decoded: the query's, then the urlencoded body's
    std::vector<Part> parts;
    std::string body;
    // Set by the session-expired fault: the site must see no session.
    bool noSession = false;

    // Header value by name in any letter case; empty when absent.
    std::string Header(std::string_view name) const;
    // First field of that name (case-sensitive); empty when absent.
    std::string Field(std::string_view name) const;
    bool HasField(std::string_view name) const;
    std::string Cookie(std::string_view name) const;
    const Part* FindPart(std::string_view name) const;
};

struct Response {
    int status = 200;
    Pairs headers;
    std::string body;

    // A GBK page.
    void Html(std::string gbk);
    void Redirect(std::string location, int code = 302);
    void SetCookie(const std::string& name, const std::string& value);
    void SetHeader(const std::string& name, std::string value);
    std::string Header(std::string_view name) const;
};

// Percent-decoding of form and query text: '+' is a space.
std::string UrlDecode(std::string_view text);
// Percent-encoding of every byte but ASCII letters, digits and "-_.*"; space
// as '+'. For building the simulator's own links and forms.
std::string UrlEncode(std::string_view text);
// "a=1&b=2" into decoded pairs, in order; an entry without '=' has an empty
// value.
Pairs ParseForm(std::string_view text);
// "a=1; b=2" into a map; later entries win.
std::map<std::string, std::string> ParseCookies(std::string_view text);
// The parts of a multipart body; empty when the boundary is not found.
std::vector<Part> ParseMultipart(std::string_view body, std::string_view boundary);
// The boundary parameter of a multipart Content-Type; empty when none.
std::string MultipartBoundary(std::string_view contentType);
std::string ToLower(std::string_view text);
// "Name: value" lines separated by CRLF into pairs, blanks before the value
// skipped; lines without a colon are passed over.
Pairs ParseHeaderLines(std::string_view lines);

// A parsed request target: absolute ("http://host:port/path?q") or origin
// form ("/path?q"; host then from the Host header).
struct Target {
    std::string host;
    std::string path;
    std::string query;
};
bool ParseTarget(std::string_view target, std::string_view hostHeader, Target& out);

} // namespace tavrin::sim
