#include "core/services/CookieJar.h"
#include "core/services/HttpResponse.h"

#include <gtest/gtest.h>

using namespace tavrin::http;

namespace {

TEST(HttpResponse, HeaderEndIsTheFirstEmptyLine)
{
    EXPECT_EQ(FindHeaderEnd("HTTP/1.0 200 OK\r\nA: b\r\n\r\nbody\r\n\r\n"), 21u);
    EXPECT_EQ(FindHeaderEnd("HTTP/1.0 200 OK\r\nA: b\r\n"), kNoHeaderEnd);
    EXPECT_EQ(FindHeaderEnd("HTTP/1.0 200 OK\n\n"), kNoHeaderEnd);
    EXPECT_EQ(FindHeaderEnd("ab\r\n\r\n", 2), 2u);
    EXPECT_EQ(FindHeaderEnd("ab\r\n\r\n", 3), kNoHeaderEnd);
    EXPECT_EQ(FindHeaderEnd("", 0), kNoHeaderEnd);
}

TEST(HttpResponse, StatusCode)
{
    struct Case {
        const char* header;
        int code;
    } cases[] = {
        {"HTTP/1.0 200 OK", 200},
        {"HTTP/1.1 404 Not Found\r\nA: 500", 404},
        {"HTTP/1.0 503", 503},
        {"HTTP/1.0 20", 0},
        {"HTTP/1.0 2x0 OK", 0},
        {"HTTP/1.0", 0},
        {"", 0},
        {"HTTP/1.0\r\nX 302 y", 0}, // the code belongs to the first line only
        {"ICY 200 OK", 200},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StatusCode(c.header), c.code) << c.header;
}

const char kHeader[] = "HTTP/1.0 302 Found\r\n"
                       "Content-Location: /wrong\r\n"
                       "LOCATION:   /right  \r\n"
                       "X-Location: /also-wrong\r\n"
                       "Set-Cookie: sid=1; path=/\r\n"
                       "set-cookie: id=abc\r\n"
                       "Set-Cookie: gone=deleted; expires=Thu, 01-Jan-1970\r\n"
                       "Set-Cookie: kept=deletedNot; path=/\r\n"
                       "Server: a\r\n"
                       "Server: b";

TEST(HttpResponse, HeaderValueMatchesWholeNamesAtLineStarts)
{
    struct Case {
        const char* name;
        const char* value;
    } cases[] = {
        {"Location: ", "/right"},
        {"Location:", "/right"},
        {" location ", "/right"},
        {"Content-Location", "/wrong"},
        {"Server", "ab"}, // several lines: concatenated
        {"Set-Cookie: ", "sid=1; id=abc; kept=deletedNot; "},
        {"set-cookie", "sid=1; id=abc; kept=deletedNot; "},
        {"Content-Length", "-1"},
        {"Content-Type", ""},
        {"HTTP/1.0 302 Found", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HeaderValue(kHeader, c.name), c.value) << c.name;
}

TEST(HttpResponse, ContentLength)
{
    struct Case {
        const char* header;
        int64_t length;
    } cases[] = {
        {"HTTP/1.0 200 OK\r\nContent-Length: 12", 12},
        {"HTTP/1.0 200 OK\r\ncontent-length:0\r\nA: b", 0},
        {"HTTP/1.0 200 OK", -1},
        {"HTTP/1.0 200 OK\r\nContent-Length: 12x", -1},
        {"HTTP/1.0 200 OK\r\nContent-Length: -5", -1},
        {"HTTP/1.0 200 OK\r\nContent-Length: ", -1},
        {"HTTP/1.0 200 OK\r\nContent-Length: 7\r\nContent-Length: 7", 7},
        {"HTTP/1.0 200 OK\r\nContent-Length: 7\r\nContent-Length: 8", -1},
        {"HTTP/1.0 200 OK\r\nContent-Length: 99999999999999999999", -1},
        {"HTTP/1.0 200 OK\r\nX-Content-Length: 3", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ContentLength(c.header), c.length) << c.header;
    EXPECT_EQ(HeaderValue("HTTP/1.0 200 OK\r\nContent-Length: 12", "Content-Length"), "12");
}

TEST(HttpResponse, ResolveLocation)
{
    struct Case {
        const char* current;
        const char* location;
        const char* next;
    } cases[] = {
        {"http://h/a/b.jsp?x=1", "/c.jsp", "http://h/c.jsp"},
        {"http://h:8080/a/b.jsp", "/c.jsp?y=2", "http://h:8080/c.jsp?y=2"},
        {"http://h/a/b.jsp?x=/q/r", "c.jsp", "http://h/a/c.jsp"},
        {"http://h/a/", "c.jsp", "http://h/a/c.jsp"},
        {"http://h", "c.jsp", "http://h/c.jsp"},
        {"http://h?q", "c.jsp", "http://h/c.jsp"},
        {"http://h/a/b", "?z=1", "http://h/a/b?z=1"},
        {"http://h/a/b", "HTTP://Other/X", "HTTP://Other/X"},
        {"http://h/a/b", "https://other/x", "https://other/x"},
        {"http://h/a/b", "//other/x", "http://other/x"},
        {"http://h/a/b", "  /trimmed  ", "http://h/trimmed"},
        {"http://h/a/b", "", ""},
        {"http://h/a/b", "../up", "http://h/a/../up"}, // dot segments are the URL parser's
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResolveLocation(c.current, c.location), c.next) << c.current << " + " << c.location;
}

TEST(CookieJar, EntriesAreMatchedByWholeNames)
{
    tavrin::CookieJar jar;
    jar.Add("sid=1; id=2; ");
    EXPECT_EQ(jar.ToString(), "sid=1; id=2; ");
    EXPECT_EQ(jar.HeaderText(), "sid=1; id=2");

    jar.Add("id=3; "); // replaces id only, not the "id=" inside "sid="
    EXPECT_EQ(jar.ToString(), "sid=1; id=3; ");
    jar.Add("sid=9;x=1"); // a replaced entry moves to the end
    EXPECT_EQ(jar.ToString(), "id=3; sid=9; x=1; ");
    jar.Add("x=1; "); // already held: nothing moves
    EXPECT_EQ(jar.ToString(), "id=3; sid=9; x=1; ");
    jar.Add(" ; ;flag ; ");
    EXPECT_EQ(jar.ToString(), "id=3; sid=9; x=1; flag; ");

    // What a server sets again moves to the end, also with the same value.
    jar.Set("x=1; sid=9; ");
    EXPECT_EQ(jar.ToString(), "id=3; flag; x=1; sid=9; ");
    jar.Set("new=1; new=1; ");
    EXPECT_EQ(jar.ToString(), "id=3; flag; x=1; sid=9; new=1; ");

    jar.Clear();
    EXPECT_TRUE(jar.IsEmpty());
    EXPECT_EQ(jar.ToString(), "");
    EXPECT_EQ(jar.HeaderText(), "");
}

} // namespace
