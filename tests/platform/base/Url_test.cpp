#include "platform/base/Url.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct UrlCase {
    const char* url;
    BOOL ok;
    DWORD service;
    const char* server;
    const char* object;
    INTERNET_PORT port;
};

const UrlCase kCases[] = {
    {"http://www.5460.net/gy5460/jsp/class/class.jsp?classID=12", TRUE, AFX_INET_SERVICE_HTTP, "www.5460.net",
     "/gy5460/jsp/class/class.jsp?classID=12", 80},
    {"http://host", TRUE, AFX_INET_SERVICE_HTTP, "host", "/", 80},
    {"http://host/", TRUE, AFX_INET_SERVICE_HTTP, "host", "/", 80},
    {"http://host?a=1", TRUE, AFX_INET_SERVICE_HTTP, "host", "/?a=1", 80},
    {"HTTP://Host:8080/A/B", TRUE, AFX_INET_SERVICE_HTTP, "Host", "/A/B", 8080},
    {"http://host:/x", TRUE, AFX_INET_SERVICE_HTTP, "host", "/x", 80},
    {"http://user:pw@host:81/x", TRUE, AFX_INET_SERVICE_HTTP, "host", "/x", 81},
    {"  http://host/x  ", TRUE, AFX_INET_SERVICE_HTTP, "host", "/x", 80},
    // '@' and ':' in the query belong to the object, not the host.
    {"http://h.sohu.com/verifyimg?lwab@sohu12", TRUE, AFX_INET_SERVICE_HTTP, "h.sohu.com",
     "/verifyimg?lwab@sohu12", 80},
    {"http://host/a?t=1:2/3", TRUE, AFX_INET_SERVICE_HTTP, "host", "/a?t=1:2/3", 80},
    // Canonical objects: dot segments resolved (relative redirects), fragment dropped.
    {"http://host/a/b/../c/./d", TRUE, AFX_INET_SERVICE_HTTP, "host", "/a/c/d", 80},
    {"http://host/a/b/../../../x", TRUE, AFX_INET_SERVICE_HTTP, "host", "/x", 80},
    {"http://host/a/..", TRUE, AFX_INET_SERVICE_HTTP, "host", "/", 80},
    {"http://host/a/../b?x=../y", TRUE, AFX_INET_SERVICE_HTTP, "host", "/b?x=../y", 80},
    {"http://host/p#top", TRUE, AFX_INET_SERVICE_HTTP, "host", "/p", 80},
    // Blanks and non-ASCII bytes are escaped in the path; a GBK character as two groups,
    // its 0x5C trail byte included. The query keeps its bytes, blanks escaped.
    {"http://host/a b/\xB0\xE0.jpg", TRUE, AFX_INET_SERVICE_HTTP, "host", "/a%20b/%B0%E0.jpg", 80},
    {"http://host/\x87\x5C/x", TRUE, AFX_INET_SERVICE_HTTP, "host", "/%87%5C/x", 80},
    {"http://host/a%20b?q=\xB0\xE0 c", TRUE, AFX_INET_SERVICE_HTTP, "host", "/a%20b?q=\xB0\xE0%20c", 80},
    // Only http is served.
    {"https://host/x", FALSE, AFX_INET_SERVICE_HTTPS, "", "", 0},
    {"ftp://host/x", FALSE, AFX_INET_SERVICE_FTP, "", "", 0},
    {"gopher://host/", FALSE, AFX_INET_SERVICE_GOPHER, "", "", 0},
    {"tavrin:open?id=1", FALSE, AFX_INET_SERVICE_UNK, "", "", 0},
    {"mailto:a@b", FALSE, AFX_INET_SERVICE_MAILTO, "", "", 0},
    // Malformed.
    {"", FALSE, AFX_INET_SERVICE_UNK, "", "", 0},
    {"/relative/path", FALSE, AFX_INET_SERVICE_UNK, "", "", 0},
    {"www.host.com/x", FALSE, AFX_INET_SERVICE_UNK, "", "", 0},
    {"http:/host/x", FALSE, AFX_INET_SERVICE_HTTP, "", "", 0},
    {"http:///x", FALSE, AFX_INET_SERVICE_HTTP, "", "", 0},
    {"http://:80/x", FALSE, AFX_INET_SERVICE_HTTP, "", "", 0},
    {"http://host:0/", FALSE, AFX_INET_SERVICE_HTTP, "", "", 0},
    {"http://host:65536/", FALSE, AFX_INET_SERVICE_HTTP, "", "", 0},
    {"http://host:8o/", FALSE, AFX_INET_SERVICE_HTTP, "", "", 0},
    {"http://ho st/", FALSE, AFX_INET_SERVICE_HTTP, "", "", 0},
    // CR or LF anywhere would split a request line.
    {"http://host/x\r\nHost: evil", FALSE, AFX_INET_SERVICE_UNK, "", "", 0},
    {"http://host/x?a=\n", FALSE, AFX_INET_SERVICE_UNK, "", "", 0},
    {"http://ho\rst/", FALSE, AFX_INET_SERVICE_UNK, "", "", 0},
    {"http://host/\n", FALSE, AFX_INET_SERVICE_UNK, "", "", 0},
};

TEST(UrlTest, ParsesAsTheHttpClientNeeds)
{
    for (const UrlCase& c : kCases) {
        DWORD service = 12345;
        CString server("stale"), object("stale");
        INTERNET_PORT port = 1;
        EXPECT_EQ(c.ok, AfxParseURL(c.url, service, server, object, port)) << c.url;
        EXPECT_EQ(c.service, service) << c.url;
        EXPECT_EQ(c.server, server.Str()) << c.url;
        EXPECT_EQ(c.object, object.Str()) << c.url;
        EXPECT_EQ(c.port, port) << c.url;
    }
}

TEST(UrlTest, NullFails)
{
    DWORD service = 0;
    CString server, object;
    INTERNET_PORT port = 0;
    EXPECT_FALSE(AfxParseURL(nullptr, service, server, object, port));
}

} // namespace
