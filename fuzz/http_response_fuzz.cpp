// Response bytes as a server may send them, read as the client reads them:
// the header end found while the bytes arrive in pieces, the status, the
// cookies it sets and where a Location leads. The first input byte sets the
// size of the pieces. The header end found piece by piece is the first one
// of the whole; the status is the three digits after the status line's
// first blank; nothing set by the server puts a line break into the Cookie
// header the client sends (the jar drops such cookies), and the jar's text
// form reads back the same; a Location that parses as a URL holds no line
// break in its host or object.
#include "core/services/CookieJar.h"
#include "core/services/HttpResponse.h"
#include "fuzz/FuzzText.h"
#include "platform/base/Url.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

// As the client's receive loop: scan only what may complete a "\r\n\r\n".
size_t HeaderEndInPieces(std::string_view bytes, size_t piece)
{
    std::string head;
    for (size_t at = 0; at < bytes.size(); at += piece) {
        size_t scanFrom = head.size() < 3 ? 0 : head.size() - 3;
        head.append(bytes.substr(at, piece));
        size_t end = tavrin::http::FindHeaderEnd(head, scanFrom);
        if (end != tavrin::http::kNoHeaderEnd)
            return end;
    }
    return tavrin::http::kNoHeaderEnd;
}

int PlainStatus(std::string_view header)
{
    std::string_view line = header.substr(0, header.find("\r\n"));
    size_t blank = line.find(' ');
    if (blank == std::string_view::npos || line.size() < blank + 4)
        return 0;
    int value = 0;
    for (char c : line.substr(blank + 1, 3)) {
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + (c - '0');
    }
    return value;
}

bool HasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const size_t piece = 1 + data[0] % 64;
    std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

    size_t end = tavrin::http::FindHeaderEnd(bytes);
    FUZZ_CHECK(end == bytes.find("\r\n\r\n"));
    FUZZ_CHECK(HeaderEndInPieces(bytes, piece) == end);
    std::string_view header = end == tavrin::http::kNoHeaderEnd ? bytes : bytes.substr(0, end);

    FUZZ_CHECK(tavrin::http::StatusCode(header) == PlainStatus(header));
    (void)tavrin::http::ContentLength(header);

    // The client takes the Set-Cookie values into its jar with Set.
    tavrin::CookieJar jar;
    jar.Add("sid=1; id=2; ");
    jar.Set(tavrin::http::HeaderValue(header, "Set-Cookie"));
    FUZZ_CHECK(!HasLineBreak(jar.HeaderText()));
    tavrin::CookieJar again;
    again.Add(jar.ToString());
    FUZZ_CHECK(again.ToString() == jar.ToString());

    std::string next = tavrin::http::ResolveLocation("http://www.example.com:8080/a/b.jsp?x=/y",
                                                     tavrin::http::HeaderValue(header, "Location"));
    DWORD service = 0;
    CString server;
    CString object;
    INTERNET_PORT port = 0;
    if (AfxParseURL(next.c_str(), service, server, object, port))
        FUZZ_CHECK(!HasLineBreak(object.View()) && !HasLineBreak(server.View()));
    return 0;
}
