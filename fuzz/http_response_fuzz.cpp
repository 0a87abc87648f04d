// Response bytes as a server may send them: header end, status, header
// values, cookies and the redirect target must cope with anything.
#include "core/services/CookieJar.h"
#include "core/services/HttpResponse.h"
#include "platform/base/Url.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    size_t end = tavrin::http::FindHeaderEnd(bytes);
    std::string_view header = end == tavrin::http::kNoHeaderEnd ? bytes : bytes.substr(0, end);

    int status = tavrin::http::StatusCode(header);
    if (status < 0 || status > 999)
        __builtin_trap();
    int64_t length = tavrin::http::ContentLength(header);
    if (length < -1)
        __builtin_trap();
    for (const char* name : {"Content-Length", "Content-Type", "Server", ""})
        (void)tavrin::http::HeaderValue(header, name);

    // The jar's text form reads back as the same jar.
    tavrin::CookieJar jar;
    jar.Add("sid=1; id=2; ");
    jar.Add(tavrin::http::HeaderValue(header, "Set-Cookie: "));
    jar.Add(header);
    tavrin::CookieJar again;
    again.Add(jar.ToString());
    if (again.ToString() != jar.ToString())
        __builtin_trap();

    std::string next = tavrin::http::ResolveLocation("http://www.example.com:8080/a/b.jsp?x=/y",
                                                     tavrin::http::HeaderValue(header, "Location"));
    DWORD service = 0;
    CString server;
    CString object;
    INTERNET_PORT port = 0;
    if (AfxParseURL(next.c_str(), service, server, object, port) && object.Find('\n') >= 0)
        __builtin_trap();
    return 0;
}
