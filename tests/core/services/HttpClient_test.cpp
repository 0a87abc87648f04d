#include "core/services/HttpClient.h"

#include "platform/base/Clock.h"
#include "tests/support/LoopbackServer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

using tavrin::test::BlockedListener;
using tavrin::test::LoopbackServer;
using tavrin::test::Reply;

namespace {

const std::string kAccept = "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/vnd.ms-excel, "
                            "application/vnd.ms-powerpoint, application/msword, application/x-shockwave-flash, */*\r\n";
const std::string kUserAgent =
    "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.2; .NET CLR 1.1.4322)\r\n";

std::string Text(const CByteArray& bytes)
{
    return std::string(reinterpret_cast<const char*>(bytes.GetData()), static_cast<size_t>(bytes.GetSize()));
}

CByteArray Bytes(const std::string& text)
{
    CByteArray bytes;
    for (char c : text)
        bytes.Add(static_cast<BYTE>(c));
    return bytes;
}

class HttpClientTest : public ::testing::Test {
protected:
    HttpClientTest()
    {
        tavrin::HttpLimits limits;
        limits.socketTimeoutMs = 10000; // generous: a hang shows as a failure, not a stuck suite
        client.SetLimits(limits);
        client.SetRetryCount(0);
    }

    std::string Url(const std::string& path = "/") const { return server.Url(path); }
    std::string HostPort() const { return "127.0.0.1:" + std::to_string(server.Port()); }

    BOOL Get(const std::string& url, std::string* body = nullptr)
    {
        CByteArray out;
        BOOL ok = client.Request(url.c_str(), "", out, "");
        if (body)
            *body = Text(out);
        return ok;
    }

    LoopbackServer server;
    CHttpClient client;
};

// ---- request bytes

TEST_F(HttpClientTest, GetRequestBytes)
{
    server.Enqueue(Reply::Http(200, "hello"));
    std::string body;
    ASSERT_TRUE(Get(Url("/a/b.jsp?x=1&y=%41"), &body));
    EXPECT_EQ(body, "hello");
    EXPECT_EQ(server.LastRequest(), "GET /a/b.jsp?x=1&y=%41 HTTP/1.0\r\n" + kAccept + "Referer: " +
                                        Url("/a/b.jsp?x=1&y=%41") +
                                        "\r\n"
                                        "Accept-Language: zh-cn\r\n"
                                        "Proxy-Connection: close\r\n"
                                        "Connection: close\r\n" +
                                        kUserAgent + "Host: " + HostPort() + "\r\n\r\n");
}

TEST_F(HttpClientTest, UrlencodedPostWithCookieAndReferer)
{
    server.Enqueue(Reply::Http(200, "ok"));
    client.SetReferer("http://site/from.jsp");
    client.AddCookie("sid=1; id=2; ");
    CByteArray out;
    ASSERT_TRUE(client.Request(Url("/post.jsp").c_str(), "a=1&b=%D6%D0", out, ""));
    EXPECT_EQ(server.LastRequest(), "POST /post.jsp HTTP/1.0\r\n" + kAccept +
                                        "Referer: http://site/from.jsp\r\n"
                                        "Accept-Language: zh-cn\r\n"
                                        "Content-Type: application/x-www-form-urlencoded\r\n"
                                        "Proxy-Connection: close\r\n"
                                        "Connection: close\r\n" +
                                        kUserAgent + "Host: " + HostPort() +
                                        "\r\n"
                                        "Content-Length: 12\r\n"
                                        "Cookie: sid=1; id=2\r\n\r\n"
                                        "a=1&b=%D6%D0");
}

TEST_F(HttpClientTest, MultipartPostAnnouncesTheBoundaryWithoutItsFirstTwoCharacters)
{
    server.Enqueue(Reply::Http(200, "ok"));
    std::string body = "-----------------------------7d5\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n";
    body += std::string("\0\xff", 2); // binary content passes untouched
    body += "\r\n-----------------------------7d5--\r\n";
    CByteArray out;
    ASSERT_TRUE(client.RequestWithRetry(Url("/up").c_str(), Bytes(body), out, "-----------------------------7d5"));
    std::string request = server.LastRequest();
    EXPECT_NE(request.find("\r\nContent-Type: multipart/form-data; boundary=---------------------------7d5\r\n"),
              std::string::npos);
    EXPECT_NE(request.find("\r\nContent-Length: " + std::to_string(body.size()) + "\r\n"), std::string::npos);
    EXPECT_EQ(request.substr(request.find("\r\n\r\n") + 4), body);
}

TEST_F(HttpClientTest, EmptyBodyMakesAGetEvenWithABoundary)
{
    server.Enqueue(Reply::Http(200, "ok"));
    CByteArray out;
    ASSERT_TRUE(client.Request(Url("/x").c_str(), "", out, "--b"));
    std::string request = server.LastRequest();
    EXPECT_EQ(request.rfind("GET /x HTTP/1.0\r\n", 0), 0u);
    EXPECT_EQ(request.find("Content-"), std::string::npos);
}

TEST_F(HttpClientTest, SpacesAndControlsInTheTargetAreEncoded)
{
    server.Enqueue(Reply::Http(200, "ok"));
    ASSERT_TRUE(Get(Url("/a b\t.jsp?q=x y")));
    EXPECT_EQ(server.LastRequest().rfind("GET /a%20b%09.jsp?q=x%20y HTTP/1.0\r\n", 0), 0u);
}

TEST_F(HttpClientTest, LineBreaksInHeaderTextFailWithoutAConnection)
{
    struct Case {
        const char* name;
        std::function<void(CHttpClient&)> set;
        const char* boundary;
        const char* body;
    } cases[] = {
        {"referer", [](CHttpClient& c) { c.SetReferer("http://a/\r\nX-Evil: 1"); }, "", ""},
        {"boundary", [](CHttpClient&) {}, "--abc\r\nX-Evil: 1", "data"},
        {"url", [](CHttpClient&) {}, "", ""},
    };
    for (const auto& c : cases) {
        CHttpClient client;
        client.SetRetryCount(0);
        c.set(client);
        std::string url = std::string(c.name) == "url" ? Url("/a\r\nX-Evil: 1") : Url("/a");
        CByteArray out;
        EXPECT_FALSE(client.Request(url.c_str(), c.body, out, c.boundary)) << c.name;
    }
    EXPECT_EQ(server.Connections(), 0);
}

// ---- proxy

TEST_F(HttpClientTest, ProxyRequestKeepsThePortAndSendsCredentialsOnlyToTheProxy)
{
    server.Enqueue(Reply::Http(200, "via proxy"));
    client.SetProxy("127.0.0.1", std::to_string(server.Port()).c_str(), "", "user", "p\xc3\xa4ss", TRUE);
    std::string body;
    // The host does not resolve: through a proxy it is not looked up.
    ASSERT_TRUE(Get("http://www.example.invalid:8080/gy5460/jsp/a.jsp?id=1", &body));
    EXPECT_EQ(body, "via proxy");
    EXPECT_EQ(server.LastRequest(), "GET HTTP://www.example.invalid:8080/gy5460/jsp/a.jsp?id=1 HTTP/1.0\r\n" +
                                        kAccept +
                                        "Referer: http://www.example.invalid:8080/gy5460/jsp/a.jsp?id=1\r\n"
                                        "Accept-Language: zh-cn\r\n"
                                        "Proxy-Connection: close\r\n"
                                        "Connection: close\r\n" +
                                        kUserAgent +
                                        "Host: www.example.invalid:8080\r\n"
                                        "Proxy-Authorization: Basic dXNlcjpww6Rzcw==\r\n\r\n");
}

TEST_F(HttpClientTest, ProxyRealmAndDefaultPort)
{
    server.Enqueue(Reply::Http(200, "ok"));
    client.SetProxy("127.0.0.1", std::to_string(server.Port()).c_str(), "zone", "u", "p", TRUE);
    ASSERT_TRUE(Get("http://site.invalid/x"));
    std::string request = server.LastRequest();
    EXPECT_EQ(request.rfind("GET HTTP://site.invalid/x HTTP/1.0\r\n", 0), 0u);
    EXPECT_NE(request.find("\r\nHost: site.invalid\r\n"), std::string::npos);
    EXPECT_NE(request.find("\r\nProxy-Authorization: Basic dTpw realm=\"zone\"\r\n"), std::string::npos);
    EXPECT_EQ(request.find("\r\nAuthorization:"), std::string::npos);
}

TEST_F(HttpClientTest, ProxyIsUsedOnlyWithHostPortAndFlag)
{
    std::string port = std::to_string(server.Port());
    struct Case {
        const char* host;
        std::string port;
        BOOL use;
    } direct[] = {{"127.0.0.1", "", TRUE}, {"", port, TRUE}, {"127.0.0.1", "1", FALSE}};
    for (const auto& c : direct) {
        server.Enqueue(Reply::Http(200, "direct"));
        client.SetProxy(c.host, c.port.c_str(), "", "user", "pw", c.use);
        std::string body;
        ASSERT_TRUE(Get(Url("/d"), &body)) << c.host << ":" << c.port;
        EXPECT_EQ(body, "direct");
        std::string request = server.LastRequest();
        EXPECT_EQ(request.rfind("GET /d HTTP/1.0\r\n", 0), 0u);
        EXPECT_EQ(request.find("Authorization"), std::string::npos);
    }
    for (const char* bad : {"0", "65536", "-1", "80x", "99999999999"}) {
        client.SetProxy("127.0.0.1", bad, "", "", "", TRUE);
        EXPECT_FALSE(Get(Url("/d"))) << bad;
    }
    EXPECT_EQ(server.Connections(), 3);
}

// ---- responses

TEST_F(HttpClientTest, ContentLengthEndsTheReceiveWithoutWaitingForClose)
{
    server.Enqueue(Reply::Http(200, "exactly").Stall());
    std::string body;
    ASSERT_TRUE(Get(Url(), &body));
    EXPECT_EQ(body, "exactly");
    EXPECT_EQ(client.GetHeaderValue("Content-Length"), "7");
}

TEST_F(HttpClientTest, WithoutContentLengthTheBodyRunsToTheClose)
{
    server.Enqueue(Reply::Http(200, std::string(10000, 'x') + "end", {}, false));
    std::string body;
    ASSERT_TRUE(Get(Url(), &body));
    EXPECT_EQ(body, std::string(10000, 'x') + "end");
    EXPECT_EQ(client.GetHeaderValue("Content-Length"), "-1");
    EXPECT_EQ(client.GetStatusCode(), 200);
}

TEST_F(HttpClientTest, BytesBeyondContentLengthInTheSameChunkAreKept)
{
    server.Enqueue(Reply().Send("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nabcdef"));
    std::string body;
    ASSERT_TRUE(Get(Url(), &body));
    EXPECT_EQ(body, "abcdef");
}

TEST_F(HttpClientTest, OpenConnectionWithoutLengthFailsAfterTheReceiveTimeout)
{
    tavrin::HttpLimits limits;
    limits.socketTimeoutMs = 50;
    client.SetLimits(limits);
    server.Enqueue(Reply().Send("HTTP/1.0 200 OK\r\n\r\nthe whole page").Stall());
    std::string body = "unchanged";
    EXPECT_FALSE(Get(Url(), &body));
    EXPECT_EQ(body, "");
}

TEST_F(HttpClientTest, StatusCodesThatFail)
{
    struct Case {
        int status;
        bool ok;
    } cases[] = {{200, true}, {404, true}, {500, true}, {501, false}, {503, false},
                 {598, false}, {599, true}, {407, false}, {100, true}};
    for (const auto& c : cases) {
        server.Enqueue(Reply::Http(c.status, "page"));
        std::string body;
        EXPECT_EQ(Get(Url(), &body), c.ok ? TRUE : FALSE) << c.status;
        EXPECT_EQ(body, c.ok ? "page" : "") << c.status;
        EXPECT_EQ(client.GetStatusCode(), c.status); // the failing header stays readable
    }
}

TEST_F(HttpClientTest, ProxyAuthenticationRequiredEndsTheReceiveAtTheHeader)
{
    server.Enqueue(Reply().Send("HTTP/1.0 407 Proxy Authentication Required\r\n\r\n").Stall());
    EXPECT_FALSE(Get(Url()));
    EXPECT_EQ(client.GetStatusCode(), 407);
}

TEST_F(HttpClientTest, IncompleteResponsesFail)
{
    for (const char* partial : {"", "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n", "HTTP/1.0 200 OK\r\n\n"}) {
        server.Enqueue(Reply().Send(partial));
        EXPECT_FALSE(Get(Url())) << partial;
    }
    server.Enqueue(Reply().Send("HTTP/1.0 200 OK\r\nContent-Length: 50\r\n\r\nshort").Reset());
    EXPECT_FALSE(Get(Url()));
}

// A body cut short of its Content-Length, by an orderly close or a reset,
// is a failed attempt: it is retried and never handed out as a whole page.
TEST_F(HttpClientTest, BodyShorterThanItsLengthFails)
{
    for (bool reset : {false, true}) {
        SCOPED_TRACE(reset ? "reset" : "close");
        auto half = [reset] {
            Reply reply = Reply::Http(200, "12345", {"Content-Length: 10"});
            return reset ? reply.Reset() : reply;
        };
        LoopbackServer server;
        server.Enqueue(half());
        server.Enqueue(Reply::Http(200, "1234567890"));
        CHttpClient client;
        client.SetRetryCount(1);
        CByteArray out;
        EXPECT_TRUE(client.Request(server.Url().c_str(), "", out, ""));
        EXPECT_EQ(Text(out), "1234567890");
        EXPECT_EQ(server.Connections(), 2);

        server.Enqueue(half());
        client.SetRetryCount(0);
        EXPECT_FALSE(client.Request(server.Url().c_str(), "", out, ""));
        EXPECT_EQ(Text(out), "");
    }
}

TEST_F(HttpClientTest, ResponseSizeIsCapped)
{
    tavrin::HttpLimits limits;
    limits.maxResponseBytes = 5000;
    client.SetLimits(limits);
    server.Enqueue(Reply::Http(200, std::string(4000, 'a')));
    EXPECT_TRUE(Get(Url()));
    server.Enqueue(Reply::Http(200, std::string(5000, 'a'), {}, false));
    EXPECT_FALSE(Get(Url()));
    // A length beyond the cap fails before anything is set aside for it.
    server.Enqueue(Reply::Http(200, "x", {"Content-Length: 999999999999"}).Stall());
    EXPECT_FALSE(Get(Url()));
}

TEST_F(HttpClientTest, TheWholeRequestHasADeadline)
{
    tavrin::clock::ManualScope manual(1000000);
    tavrin::HttpLimits limits;
    limits.requestTimeoutMs = 60000;
    client.SetLimits(limits);
    // Every byte arrives well within the receive time-out, but the clock
    // passes the request's deadline halfway through the header.
    std::string response = "HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\nbody";
    server.Enqueue(Reply().Trickle(response, [](size_t i) {
        if (i == 10)
            tavrin::clock::Advance(61000);
    }));
    EXPECT_FALSE(Get(Url()));
    server.Enqueue(Reply::Http(200, "body"));
    EXPECT_TRUE(Get(Url())); // a new request has a new deadline
}

// Retries share the request's deadline: a server that trickles and then
// drops every attempt cannot hold the worker for six full deadlines.
TEST_F(HttpClientTest, RetriesShareTheDeadline)
{
    tavrin::clock::ManualScope manual(1000000);
    tavrin::HttpLimits limits;
    limits.requestTimeoutMs = 60000;
    client.SetLimits(limits);
    client.SetRetryCount(5);
    // Each attempt takes 25 s of the clock before the server drops it.
    for (int i = 0; i < 6; ++i) {
        server.Enqueue(Reply()
                           .Trickle("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nab",
                                    [](size_t i) {
                                        if (i == 5)
                                            tavrin::clock::Advance(25000);
                                    })
                           .Reset());
    }
    server.SetFallback(Reply::Http(200, "too late"));
    std::string body;
    EXPECT_FALSE(Get(Url(), &body));
    EXPECT_EQ(body, "");
    // The third attempt passed the deadline; no fourth was made.
    EXPECT_EQ(server.Connections(), 3);
}

// ---- redirects

TEST_F(HttpClientTest, RedirectsAreFollowedAsGets)
{
    server.Enqueue(Reply::Redirect("/dir/next.jsp?a=1"));
    server.Enqueue(Reply::Redirect("last.jsp", 301));
    server.Enqueue(Reply::Http(200, "arrived"));
    CByteArray out;
    ASSERT_TRUE(client.Request(Url("/start.jsp").c_str(), "form=1", out, ""));
    EXPECT_EQ(Text(out), "arrived");
    auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].rfind("POST /start.jsp HTTP/1.0\r\n", 0), 0u);
    EXPECT_EQ(requests[1].rfind("GET /dir/next.jsp?a=1 HTTP/1.0\r\n", 0), 0u);
    EXPECT_EQ(requests[2].rfind("GET /dir/last.jsp HTTP/1.0\r\n", 0), 0u);
    EXPECT_NE(requests[2].find("\r\nReferer: " + Url("/dir/last.jsp") + "\r\n"), std::string::npos);
    EXPECT_EQ(requests[2].find("Content-Length"), std::string::npos);
}

TEST_F(HttpClientTest, EndlessRedirectsStopAfterTen)
{
    server.SetFallback(Reply::Redirect("/again"));
    EXPECT_FALSE(Get(Url("/again")));
    EXPECT_EQ(server.Connections(), 11);
}

TEST_F(HttpClientTest, WithRedirectsOffTheRedirectIsTheResult)
{
    client.SetFollowRedirects(FALSE);
    server.Enqueue(Reply::Http(302, "moved body", {"LOCATION: http://other/done?x=1"}));
    std::string body;
    ASSERT_TRUE(Get(Url(), &body));
    EXPECT_EQ(body, "moved body");
    EXPECT_EQ(client.GetLocation(), "http://other/done?x=1");
    EXPECT_EQ(server.Connections(), 1);
}

TEST_F(HttpClientTest, ContentLocationIsNoRedirect)
{
    server.Enqueue(Reply::Http(200, "here", {"Content-Location: /elsewhere"}));
    std::string body;
    ASSERT_TRUE(Get(Url(), &body));
    EXPECT_EQ(body, "here");
    EXPECT_EQ(client.GetLocation(), "");
}

TEST_F(HttpClientTest, RedirectToHttpsFails)
{
    server.Enqueue(Reply::Redirect("https://secure.invalid/"));
    EXPECT_FALSE(Get(Url()));
    EXPECT_EQ(server.Connections(), 1);
}

// ---- cookies

TEST_F(HttpClientTest, SetCookieIsMergedOnlyWhenAccepted)
{
    client.AddCookie("sid=old; keep=1; id=7; ");
    server.Enqueue(Reply::Http(200, "", {"Set-Cookie: id=8; path=/", "Set-Cookie: new=x", "Set-Cookie: keep=deleted"}));
    ASSERT_TRUE(Get(Url()));
    EXPECT_EQ(client.GetCookies(), "sid=old; keep=1; id=7; ");

    client.SetAcceptCookies(TRUE);
    server.Enqueue(Reply::Http(200, "", {"Set-Cookie: id=8; path=/", "Set-Cookie: new=x", "Set-Cookie: keep=deleted"}));
    ASSERT_TRUE(Get(Url()));
    EXPECT_EQ(client.GetCookies(), "sid=old; keep=1; id=8; new=x; ");

    server.Enqueue(Reply::Http(200, ""));
    ASSERT_TRUE(Get(Url()));
    EXPECT_NE(server.LastRequest().find("\r\nCookie: sid=old; keep=1; id=8; new=x\r\n"), std::string::npos);

    client.ClearCookies();
    server.Enqueue(Reply::Http(200, ""));
    ASSERT_TRUE(Get(Url()));
    EXPECT_EQ(server.LastRequest().find("Cookie:"), std::string::npos);
}

TEST_F(HttpClientTest, ACookieSetAgainMovesToTheEnd)
{
    client.SetAcceptCookies(TRUE);
    client.AddCookie("a=1; b=2; c=3; ");
    server.Enqueue(Reply::Http(200, "", {"Set-Cookie: a=1; path=/", "Set-Cookie: b=5"}));
    ASSERT_TRUE(Get(Url()));
    EXPECT_EQ(client.GetCookies(), "c=3; a=1; b=5; ");
}

TEST_F(HttpClientTest, CookiesSetDuringRedirectsAreSentOnTheNextStep)
{
    client.SetAcceptCookies(TRUE);
    server.Enqueue(Reply::Http(302, "", {"Set-Cookie: session=abc; path=/", "Location: /home"}));
    server.Enqueue(Reply::Http(200, "home"));
    ASSERT_TRUE(Get(Url("/login")));
    EXPECT_NE(server.LastRequest().find("\r\nCookie: session=abc\r\n"), std::string::npos);
    EXPECT_EQ(client.GetCookies(), "session=abc; ");
}

// A redirect to another server must not take the session along: that
// server gets no Cookie line, and what it sets is not kept.
TEST_F(HttpClientTest, ARedirectToAnotherServerGetsNoCookies)
{
    LoopbackServer other;
    client.SetAcceptCookies(TRUE);
    client.AddCookie("session=abc; ");
    const std::string otherUrl = other.Url("/a.gif");
    struct Case {
        std::string location;
    };
    // Another port is another server; so is the same port under another name.
    const Case cases[] = {{otherUrl}, {"http://localhost:" + std::to_string(server.Port()) + "/a.gif"}};
    for (const Case& c : cases) {
        server.Enqueue(Reply::Http(302, "", {"Location: " + c.location}));
        LoopbackServer& target = c.location == otherUrl ? other : server;
        target.Enqueue(Reply::Http(200, "picture", {"Set-Cookie: tracker=1"}));
        std::string body;
        ASSERT_TRUE(Get(Url("/img"), &body)) << c.location;
        EXPECT_EQ(body, "picture");
        EXPECT_EQ(target.LastRequest().find("Cookie:"), std::string::npos) << target.LastRequest();
        EXPECT_EQ(client.GetCookies(), "session=abc; ") << c.location;
    }
    // Back on the first server the session is sent as before.
    server.Enqueue(Reply::Http(200, "page"));
    ASSERT_TRUE(Get(Url("/page")));
    EXPECT_NE(server.LastRequest().find("\r\nCookie: session=abc\r\n"), std::string::npos);
}

// One bad Set-Cookie must not poison the client: a cookie holding a control
// byte is dropped, and the requests that follow still go out.
TEST_F(HttpClientTest, SetCookieWithAControlByteIsDropped)
{
    client.SetAcceptCookies(TRUE);
    for (std::string control : {std::string("\n"), std::string("\r"), std::string(1, '\0')}) {
        client.ClearCookies();
        server.Enqueue(Reply::Http(200, "", {"Set-Cookie: good=1; path=/", "Set-Cookie: bad=x" + control + "y",
                                             "Set-Cookie: na" + control + "me=2"}));
        ASSERT_TRUE(Get(Url()));
        EXPECT_EQ(client.GetCookies(), "good=1; ");
        server.Enqueue(Reply::Http(200, "next"));
        std::string body;
        EXPECT_TRUE(Get(Url(), &body));
        EXPECT_EQ(body, "next");
        EXPECT_NE(server.LastRequest().find("\r\nCookie: good=1\r\n"), std::string::npos);
    }
    // A stored cookie text passes the same check.
    client.ClearCookies();
    client.AddCookie("a=1\r\nX-Evil: 1; b=2; ");
    EXPECT_EQ(client.GetCookies(), "b=2; ");
}

// The jar keeps what a browser keeps per host: 50 cookies of at most 4096
// bytes; beyond the count the oldest go, a longer cookie is not taken.
TEST_F(HttpClientTest, TheCookieJarIsBounded)
{
    client.SetAcceptCookies(TRUE);
    std::vector<std::string> lines;
    for (int i = 0; i < 10000; ++i)
        lines.push_back("Set-Cookie: c" + std::to_string(i) + "=v");
    server.Enqueue(Reply::Http(200, "", lines));
    ASSERT_TRUE(Get(Url()));
    std::string expected;
    for (int i = 9950; i < 10000; ++i)
        expected += "c" + std::to_string(i) + "=v; ";
    EXPECT_EQ(client.GetCookies(), expected.c_str());

    client.ClearCookies();
    server.Enqueue(Reply::Http(200, "", {"Set-Cookie: big=" + std::string(30 << 20, 'x'), "Set-Cookie: small=1"}));
    ASSERT_TRUE(Get(Url()));
    EXPECT_EQ(client.GetCookies(), "small=1; ");
    server.Enqueue(Reply::Http(200, "next"));
    EXPECT_TRUE(Get(Url()));
    EXPECT_LT(server.LastRequest().size(), 1000u);

    struct Case {
        size_t bytes;
        bool kept;
    } cases[] = {{4096, true}, {4097, false}};
    for (const auto& c : cases) {
        client.ClearCookies();
        std::string cookie = "k=" + std::string(c.bytes - 2, 'v');
        client.AddCookie((cookie + "; ").c_str());
        EXPECT_EQ(client.GetCookies(), c.kept ? (cookie + "; ").c_str() : "") << c.bytes;
    }
}

// ---- retries

TEST_F(HttpClientTest, RetriesAreCountedByConnections)
{
    struct Case {
        int retryCount;
        int failures;
        BOOL result;
        int connections;
    } cases[] = {{0, 1, FALSE, 1}, {0, 0, TRUE, 1}, {1, 2, FALSE, 2}, {5, 6, FALSE, 6}, {5, 5, TRUE, 6}, {-3, 9, FALSE, 1}};
    for (const auto& c : cases) {
        LoopbackServer server;
        for (int i = 0; i < c.failures; ++i)
            server.Enqueue(Reply::Http(503, "busy"));
        server.SetFallback(Reply::Http(200, "fine"));
        CHttpClient client;
        client.SetRetryCount(c.retryCount);
        CByteArray out;
        EXPECT_EQ(client.Request(server.Url().c_str(), "", out, ""), c.result) << c.retryCount << "/" << c.failures;
        EXPECT_EQ(Text(out), c.result ? "fine" : "");
        EXPECT_EQ(server.Connections(), c.connections) << c.retryCount << "/" << c.failures;
    }
}

// ---- abort

TEST_F(HttpClientTest, AbortDuringReceiveEndsTheSeries)
{
    client.SetRetryCount(5);
    server.SetFallback(Reply().Send("HTTP/1.0 200 OK\r\n").Stall());
    auto result = std::async(std::launch::async, [&] {
        CByteArray out;
        out.Add(1);
        BOOL ok = client.Request(Url().c_str(), "", out, "");
        return std::make_pair(ok, out.GetSize());
    });
    ASSERT_TRUE(server.WaitForRequests(1));
    client.Abort();
    auto [ok, size] = result.get();
    EXPECT_TRUE(ok); // attempts were left: the series reports TRUE, without bytes
    EXPECT_EQ(size, 0);
    EXPECT_TRUE(client.IsStopped());
    EXPECT_EQ(server.Connections(), 1);

    // Stopped: no connection until the flag is cleared.
    EXPECT_TRUE(Get(Url()));
    client.SetRetryCount(0);
    EXPECT_FALSE(Get(Url()));
    EXPECT_EQ(server.Connections(), 1);
    client.ResetStop();
    server.SetFallback(Reply::Http(200, "again"));
    std::string body;
    EXPECT_TRUE(Get(Url(), &body));
    EXPECT_EQ(body, "again");
}

TEST_F(HttpClientTest, AbortDuringTheLastAttemptFails)
{
    server.SetFallback(Reply().Stall());
    auto result = std::async(std::launch::async, [&] { return Get(Url()); });
    ASSERT_TRUE(server.WaitForRequests(1));
    client.Abort();
    EXPECT_FALSE(result.get());
}

TEST_F(HttpClientTest, AbortDuringConnect)
{
    BlockedListener listener;
    client.SetRetryCount(3);
    std::string url = "http://127.0.0.1:" + std::to_string(listener.Port()) + "/";
    auto result = std::async(std::launch::async, [&] { return Get(url); });
    while (listener.ConnectingCount() == 0)
        std::this_thread::yield();
    client.Abort();
    EXPECT_TRUE(result.get());
    EXPECT_TRUE(client.IsStopped());
}

TEST_F(HttpClientTest, AbortWithoutARequestOnlyStops)
{
    client.Abort();
    client.Abort();
    EXPECT_TRUE(client.IsStopped());
    EXPECT_FALSE(Get(Url()));
    EXPECT_EQ(server.Connections(), 0);
}

TEST_F(HttpClientTest, UnreachableAndUnsupportedUrlsFail)
{
    for (const char* url : {"", "ftp://127.0.0.1/", "https://127.0.0.1/", "http:///x", "http://nosuchhost.invalid/"})
        EXPECT_FALSE(Get(url)) << url;
    uint16_t port = tavrin::test::FreeLoopbackPort();
    EXPECT_FALSE(Get("http://127.0.0.1:" + std::to_string(port) + "/"));
}

} // namespace
