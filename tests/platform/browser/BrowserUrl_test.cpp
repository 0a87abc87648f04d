#include "platform/base/CodePage.h"
#include "platform/browser/BrowserUrl.h"
#include "platform/browser/FormBody.h"
#include "platform/browser/HtmlPage.h"

#include <gtest/gtest.h>

using namespace tavrin::browser;

namespace {
// Literals here are GBK; the engine side of these helpers is UTF-8.
std::string U(const char* gbk) { return tavrin::GbkToUtf8(gbk); }
} // namespace

TEST(BrowserUrl, TargetsBecomeUrls)
{
    struct Case {
        const char* target; // GBK
        const char* url;
    } cases[] = {
        {"\\tmp\\a b\\message.htm", "file:///tmp/a%20b/message.htm"},
        {"\\tmp\\班级\\x.htm", "file:///tmp/%E7%8F%AD%E7%BA%A7/x.htm"},
        // A trail byte 0x5C inside a GBK character is not a separator.
        {"\\tmp\\\x81\\x.htm", "file:///tmp/%E4%B9%97x.htm"},
        {"http://example.com/a?b=1", "http://example.com/a?b=1"},
        {"tavrin:投票", "tavrin:%E6%8A%95%E7%A5%A8"},
        {"", ""},
        {"relative\\x.htm", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UrlFromTarget(c.target), c.url) << c.target;
}

TEST(BrowserUrl, ProgramSeesDecodedGbk)
{
    EXPECT_EQ(ProgramUrl("tavrin:%E7%82%B9%E5%87%BB%E6%9F%A5%E7%9C%8B%5B%E5%BC%A0%E4%B8%89%5D%E7%9A%84%E9%80%9A%E8%AE%AF%E5%BD%95"),
              "tavrin:点击查看[张三]的通讯录");
    EXPECT_EQ(ProgramUrl("file:///tmp/a%20b/thumbnail.html"), "file:///tmp/a b/thumbnail.html");
    // A query a GBK page encoded in its own charset is GBK already.
    EXPECT_EQ(ProgramUrl("tavrin:x?n=%D5%C5"), std::string("tavrin:x?n=\xD5\xC5"));
    // GBK that looks like a malformed UTF-8 sequence (an overlong form, a
    // surrogate) is GBK.
    EXPECT_EQ(ProgramUrl("file:///tmp/%E0%80%80.htm"), std::string("file:///tmp/\xE0\x80\x80.htm"));
    EXPECT_EQ(ProgramUrl("tavrin:%ED%A0%80"), std::string("tavrin:\xED\xA0\x80"));
    // A GET form's query is in the form's charset, even where those bytes
    // would also read as UTF-8; a link's query is UTF-8.
    EXPECT_EQ(ProgramUrl("tavrin:%E6%90%9C?q=%CD%AC%D1%A7#%E6%90%9C", "GBK"), "tavrin:搜?q=\xCD\xAC\xD1\xA7#搜");
    EXPECT_EQ(ProgramUrl("tavrin:x?q=%E6%90%9C"), "tavrin:x?q=搜");
    // Broken escapes stay as written.
    EXPECT_EQ(ProgramUrl("tavrin:%zz%4"), "tavrin:%zz%4");
}

TEST(BrowserUrl, LinksResolveAgainstThePage)
{
    const char* base = "file:///data/acc/class/message.htm";
    struct Case {
        const char* href;
        const char* url;
    } cases[] = {
        {"picture.htm", "file:///data/acc/class/picture.htm"},
        {"../../../styles/a.css", "file:///styles/a.css"},
        {"./images/x.gif", "file:///data/acc/class/images/x.gif"},
        {"/abs/p.htm", "file:///abs/p.htm"},
        {"#top", "file:///data/acc/class/message.htm#top"},
        {" tavrin:下一页 ", "tavrin:%E4%B8%8B%E4%B8%80%E9%A1%B5"},
        {"tavrin:a\tb\nc", "tavrin:abc"},
        {"http://x.org/a b", "http://x.org/a%20b"},
        {"sub/p.htm?q=1#f", "file:///data/acc/class/sub/p.htm?q=1#f"},
        {"", "file:///data/acc/class/message.htm"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResolveUrl(base, U(c.href)), c.url) << c.href;
}

TEST(BrowserUrl, OwnPagesAndActions)
{
    EXPECT_TRUE(IsLocalPage("file:///x.htm"));
    EXPECT_TRUE(IsLocalPage("FILE:///x.htm"));
    EXPECT_FALSE(IsLocalPage("http://x/file:"));
    EXPECT_TRUE(IsProgramAction("Tavrin:投票"));
    EXPECT_FALSE(IsProgramAction("http://evil/tavrin:投票"));
}

TEST(FormBody, UrlencodedInThePageCharset)
{
    std::vector<FormEntry> entries = {
        {"name", U("张 三")},       // GBK bytes D5C5 C8FD
        {"text", "a\nb\r\nc\rd"},   // line breaks become CRLF
        {"sym", "a+b&c=d*-._~"},
        {"rare", "\xF0\x9F\x98\x80"}, // not in GBK: a character reference
    };
    FormBody body = BuildFormBody(entries, "application/x-www-form-urlencoded", "GBK");
    EXPECT_EQ(body.contentType, "application/x-www-form-urlencoded");
    EXPECT_EQ(body.data, "name=%D5%C5+%C8%FD&text=a%0D%0Ab%0D%0Ac%0D%0Ad&sym=a%2Bb%26c%3Dd*-._%7E&rare=%26%23128512%3B");
    EXPECT_EQ(BuildFormQuery({{"n", U("张")}}, "UTF-8"), "n=%E5%BC%A0");
}

TEST(FormBody, MultipartAsTheEngineBuildsIt)
{
    std::vector<FormEntry> entries = {
        {"title", U("我的\"照片\"")},
        {"photo", "", true, "a.jpg", "image/jpeg", std::string("\xFF\xD8\0\x01", 4)},
        {"empty", "", true, "", "application/octet-stream", ""},
    };
    FormBody body = BuildFormBody(entries, "multipart/form-data", "GBK", "----WebKitFormBoundaryABCDEFGHIJKLMNOP");
    EXPECT_EQ(body.contentType, "multipart/form-data; boundary=----WebKitFormBoundaryABCDEFGHIJKLMNOP");
    const std::string expected = std::string("------WebKitFormBoundaryABCDEFGHIJKLMNOP\r\n"
                                             "Content-Disposition: form-data; name=\"title\"\r\n\r\n") +
                                 "\xCE\xD2\xB5\xC4\"\xD5\xD5\xC6\xAC\"" +
                                 "\r\n------WebKitFormBoundaryABCDEFGHIJKLMNOP\r\n"
                                 "Content-Disposition: form-data; name=\"photo\"; filename=\"a.jpg\"\r\n"
                                 "Content-Type: image/jpeg\r\n\r\n" +
                                 std::string("\xFF\xD8\0\x01", 4) +
                                 "\r\n------WebKitFormBoundaryABCDEFGHIJKLMNOP\r\n"
                                 "Content-Disposition: form-data; name=\"empty\"; filename=\"\"\r\n"
                                 "Content-Type: application/octet-stream\r\n\r\n"
                                 "\r\n------WebKitFormBoundaryABCDEFGHIJKLMNOP--\r\n";
    EXPECT_EQ(body.data, expected);

    std::string boundary = MakeBoundary();
    ASSERT_EQ(boundary.size(), 38u);
    EXPECT_EQ(boundary.substr(0, 22), "----WebKitFormBoundary");
    EXPECT_NE(boundary, MakeBoundary());
}

TEST(FormBody, PickedFilesGetTheirFullPath)
{
    const std::string type = "multipart/form-data; boundary=XyZ";
    const std::string body = "--XyZ\r\nContent-Disposition: form-data; name=\"a\"; filename=\"照片.jpg\"\r\n"
                             "Content-Type: image/jpeg\r\n\r\nfilename=\"照片.jpg\"\r\n"
                             "--XyZ\r\nContent-Disposition: form-data; name=\"b\"; filename=\"other.jpg\"\r\n"
                             "Content-Type: image/jpeg\r\n\r\nx\r\n--XyZ--\r\n";
    std::string restored = RestorePickedFileNames(type, body, {"\\home\\u\\相册\\照片.jpg"}, "GBK");
    // The part header gets the path; the file's own bytes stay untouched.
    EXPECT_EQ(restored, "--XyZ\r\nContent-Disposition: form-data; name=\"a\"; filename=\"\\home\\u\\相册\\照片.jpg\"\r\n"
                        "Content-Type: image/jpeg\r\n\r\nfilename=\"照片.jpg\"\r\n"
                        "--XyZ\r\nContent-Disposition: form-data; name=\"b\"; filename=\"other.jpg\"\r\n"
                        "Content-Type: image/jpeg\r\n\r\nx\r\n--XyZ--\r\n");
    // A UTF-8 page's part gets the path in UTF-8.
    std::string utf8Body = "--XyZ\r\nContent-Disposition: form-data; name=\"a\"; filename=\"" +
                           tavrin::GbkToUtf8("照片.jpg") + "\"\r\n\r\n\r\n--XyZ--\r\n";
    EXPECT_NE(RestorePickedFileNames(type, utf8Body, {"\\home\\照片.jpg"}, "UTF-8").find(tavrin::GbkToUtf8("\\home\\照片.jpg")),
              std::string::npos);
    // An ASCII name reads the same in both charsets: its path comes back in
    // the form's.
    const std::string asciiBody = "--XyZ\r\nContent-Disposition: form-data; name=\"a\"; filename=\"a.jpg\"\r\n\r\n\r\n--XyZ--\r\n";
    for (const char* charset : {"GBK", "UTF-8"}) {
        std::string path = std::string(charset) == "GBK" ? "\\相册\\a.jpg" : U("\\相册\\a.jpg");
        EXPECT_EQ(RestorePickedFileNames(type, asciiBody, {"\\相册\\a.jpg"}, charset),
                  "--XyZ\r\nContent-Disposition: form-data; name=\"a\"; filename=\"" + path + "\"\r\n\r\n\r\n--XyZ--\r\n")
            << charset;
    }
    EXPECT_EQ(RestorePickedFileNames("application/x-www-form-urlencoded", "a=1", {"\\x\\a"}, "GBK"), "a=1");
}

TEST(HtmlPage, Charset)
{
    struct Case {
        const char* html;
        const char* charset;
    } cases[] = {
        {"<html><head><meta charset=\"utf-8\"></head>", "UTF-8"},
        {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">", "GBK"},
        {"<META HTTP-EQUIV=content-type CONTENT='text/html; charset=UTF-8'>", "UTF-8"},
        {"<!-- <meta charset=utf-8> --><p>", "GBK"},
        {"<p>no declaration", "GBK"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DetectCharset(c.html), c.charset) << c.html;
}

TEST(HtmlPage, LinksAndForms)
{
    // The page is GBK; every field comes out UTF-8.
    std::string html = tavrin::Utf8ToGbk("<html><body>")
        + "<a href=\"tavrin:\xB5\xE3\xBB\xF7\">\xB2\xE9 &amp; <b>\xBF\xB4</b></a>"
        + "<a name=x>no href</a><A HREF='p.htm?a=1&amp;b=2'>next</A>"
        + "<script>var s = '<a href=\"bad\">x</a>';</script>"
        + "<form action=\"tavrin:\xCD\xB6\xC6\xB1\" method=POST enctype=\"multipart/form-data\">"
        + "<input name=t value=\"a&quot;b\"><input type=checkbox name=c checked><input type=radio name=r value=1>"
        + "<textarea name=ta>\nline&lt;1&gt;</textarea>"
        + "<select name=s><option>one<option value=2 selected>two</select>"
        + "<input type=file name=f disabled><button name=go>Go</button></form>";
    HtmlPage page = ParseHtml(html);
    ASSERT_EQ(page.links.size(), 2u);
    EXPECT_EQ(page.links[0].href, U("tavrin:点击"));
    EXPECT_EQ(page.links[0].text, U("查 & 看"));
    EXPECT_EQ(page.links[1].href, "p.htm?a=1&b=2");
    ASSERT_EQ(page.forms.size(), 1u);
    const HtmlForm& form = page.forms[0];
    EXPECT_EQ(form.action, U("tavrin:投票"));
    EXPECT_EQ(form.method, "post");
    EXPECT_EQ(form.enctype, "multipart/form-data");
    ASSERT_EQ(form.controls.size(), 7u);
    EXPECT_EQ(form.controls[0].value, "a\"b");
    EXPECT_EQ(form.controls[1].value, "on");
    EXPECT_TRUE(form.controls[1].checked);
    EXPECT_EQ(form.controls[3].value, "line<1>");
    ASSERT_EQ(form.controls[4].options.size(), 2u);
    EXPECT_EQ(form.controls[4].options[0].value, "one");
    EXPECT_TRUE(form.controls[4].options[1].selected);
    EXPECT_TRUE(form.controls[5].disabled);
    EXPECT_EQ(form.controls[6].type, "submit");
}

TEST(HtmlPage, InvalidBytesOfAUtf8PageBecomeReplacementCharacters)
{
    // Fields are UTF-8 whatever the page holds, as a browser reads it.
    HtmlPage page = ParseHtml("<meta charset=utf-8><a href=\"x\xFF.htm\">a\xC3(b\xE2\x82</a>"
                              "<form><input name=n value=\"\xED\xA0\x80\"></form>");
    ASSERT_EQ(page.links.size(), 1u);
    EXPECT_EQ(page.links[0].href, "x\xEF\xBF\xBD.htm");
    EXPECT_EQ(page.links[0].text, "a\xEF\xBF\xBD(b\xEF\xBF\xBD");
    ASSERT_EQ(page.forms.size(), 1u);
    ASSERT_EQ(page.forms[0].controls.size(), 1u);
    EXPECT_EQ(page.forms[0].controls[0].value, "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(FormBody, BodiesNotStartingWithADelimiterAreCopiedThrough)
{
    // A delimiter one byte into the body has no line break before it.
    const std::string body = "x--B\r\nContent-Disposition: form-data; name=\"f\"; filename=\"a.jpg\"\r\n\r\nz\r\n--B--\r\n";
    EXPECT_EQ(RestorePickedFileNames("multipart/form-data; boundary=B", body, {"\\d\\a.jpg"}, "GBK"), body);
}
