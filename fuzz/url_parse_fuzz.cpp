// URL splitting on hostile text: redirect targets and page links reach it.
// What it accepts goes straight into a request line, so a success must be a
// plain http URL with a usable host, port and object, and must read back the
// same when written out again.
#include "platform/base/Url.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// A failed property names itself, so a crash input tells what broke.
#define CHECK(cond)                                                                                      \
    do {                                                                                                 \
        if (!(cond)) {                                                                                   \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond);           \
            std::abort();                                                                                \
        }                                                                                                \
    } while (0)

namespace {

bool IsClean(const CString& s)
{
    for (char c : s.View()) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u == 0x7F)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The parser takes a C string: the text ends at the first NUL.
    std::string url(reinterpret_cast<const char*>(data), size);
    url.resize(url.find('\0') == std::string::npos ? url.size() : url.find('\0'));

    DWORD service = 0;
    CString server, object;
    INTERNET_PORT port = 0;
    if (!AfxParseURL(url.c_str(), service, server, object, port)) {
        CHECK(server.IsEmpty() && object.IsEmpty() && port == 0);
        return 0;
    }
    CHECK(service == AFX_INET_SERVICE_HTTP && !server.IsEmpty() && port != 0 && !object.IsEmpty() && object[0] == '/');
    CHECK(IsClean(server) && IsClean(object) && object.Find('#') < 0);

    // Written out again, the parts parse to themselves.
    CString again;
    again.Format("http://%s:%u%s", server.GetString(), static_cast<unsigned>(port), object.GetString());
    DWORD service2 = 0;
    CString server2, object2;
    INTERNET_PORT port2 = 0;
    CHECK(AfxParseURL(again, service2, server2, object2, port2));
    CHECK(service2 == service && server2 == server && object2 == object && port2 == port);
    return 0;
}
