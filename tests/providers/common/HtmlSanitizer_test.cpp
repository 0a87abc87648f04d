#include "providers/common/HtmlSanitizer.h"

#include <gtest/gtest.h>

namespace tavrin {
namespace {

TEST(HtmlSanitizer, KeepsWhatMessagesUseAsWritten)
{
    const char* kept[] = {
        "<b>粗</b><I>斜</I><u>下</u><font color=red size=\"3\" face='宋体'>字</font><br><BR/>",
        "<p align=center>段</p><ul><li>一</li></ul><ol start=2><li value=3>二</li></ol>",
        "<table border=1 cellpadding=\"2\"><tr><td colspan=2 bgcolor=#FFFFFF>格</td></tr></table>",
        "<a href=\"http://example.com/x?a=1&b=2\" target=_blank>链接</a>",
        "<img src=http://img.example.com/a.gif border=0 >",
        "<IMG SRC='https://img.example.com/b.jpg' alt=\"图\">",
        "<span class=\"style11\">3</span>条",
        "<a href=/gy5460/jsp/picture/pictureDetail.jsp?picID=12&classID=7>看</a>",
        "a > b &amp; c &nbsp; 张\x81\x7C三",
    };
    for (const char* html : kept)
        EXPECT_EQ(SanitizeHtml(html), CString(html)) << html;
}

TEST(HtmlSanitizer, DropsEverythingElseInAnyLetterCase)
{
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"a<script>alert(1)</script>b", "ab"},
        {"a<ScRiPt src=x></sCrIpT >b", "ab"},
        {"a<style>body{}</style>b<STYLE/>c", "abc"},
        {"<iframe src=http://x></iframe><object data=x><param></object><embed src=x>", ""},
        {"<form action=http://x><input name=a>文</form>", "文"},
        {"<meta http-equiv=refresh content=0>text", "text"},
        {"<img src=http://x/a.gif onerror=alert(1) ONLOAD=\"y\">", "<img src=http://x/a.gif>"},
        {"<b onmouseover='x' style=\"color:red\" id=content>t</b>", "<b>t</b>"},
        {"<a href=\"javascript:alert(1)\">x</a>", "<a>x</a>"},
        {"<a href=\" JaVaScRiPt:alert(1)\">x</a>", "<a>x</a>"},
        {"<a href=\"java&#x09;script:alert(1)\">x</a>", "<a>x</a>"},
        {"<a href=\"javascript&colon;alert(1)\">x</a>", "<a>x</a>"},
        {"<a href=\"&#106;avascript:alert(1)\">x</a>", "<a>x</a>"},
        {"<a href=\"javascript&#0000000058;alert(1)\">x</a>", "<a>x</a>"},
        {"<a href=\"&#x000000006A;avascript&#X00003a;alert(1)\">x</a>", "<a>x</a>"},
        {"<a href=\"/a&#99999999999999999999;:b\">x</a>", "<a href=\"/a&#99999999999999999999;:b\">x</a>"},
        {"<a href=vbscript:msgbox>x</a>", "<a>x</a>"},
        {"<img src=\"data:image/gif;base64,AAAA\">", "<img>"},
        {"<a href=\"tavrin:点击查看编号[1]的照片\">x</a>", "<a>x</a>"},
        {"<a href=\"file:///etc/passwd\">x</a>", "<a>x</a>"},
        {"<!-- c --><!--[if IE]><script>x</script><![endif]-->t", "t"},
        {"<!DOCTYPE html><?xml x?>t", "t"},
        {"<img/src=http://x/a.gif/onerror=alert(1)>", "<img src=http://x/a.gif/onerror=alert(1)>"},
        {"<img src=\"http://x/a.gif\"onerror=alert(1)>", "<img src=\"http://x/a.gif\">"},
        {"<a title=\"t\"href=\"http://x\">x</a>", "<a title=\"t\"href=\"http://x\">x</a>"},
        // An unquoted value ending in a quote, then a dropped attribute: the
        // next one must not join the value, or the browser would read the
        // quoted text after it as attributes.
        {"<a href=a=\" on=\"x\"/title=\" onmouseover=alert(1) x\">t</a>",
         "<a href=a=\" title=\" onmouseover=alert(1) x\">t</a>"},
        {"<scr<script>x</script>ipt>", "xipt>"},
        {"1 < 2 <3", "1 &lt; 2 &lt;3"},
        {"<b title=\"unclosed>", "&lt;b title=\"unclosed>"},
        // An unclosed tag runs to the end: a browser sees no tag after it.
        {"<b>x</b><a title='y <i>z</i>", "<b>x</b>&lt;a title='y &lt;i>z&lt;/i>"},
        {"<script>never closed", ""},
        {"</script></div></x>", "</div>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SanitizeHtml(c.in), CString(c.out)) << c.in;
}

TEST(HtmlSanitizer, LeadByteWithoutSecondByteNeverHidesATag)
{
    // A browser reads a lead byte before '<' as a broken character and the
    // '<' as markup, so the tag must be seen here too.
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"\xB0<script>alert(1)</script>", "\xB0"},
        {"\x81<img src=x onerror=alert(1)>", "\x81<img src=x>"},
        {"\xFE<!--x-->\xD5\xD5", "\xFE\xD5\xD5"},
        {"\xB0\x5C<b>", "\xB0\x5C<b>"},
        {"\x81", "\x81"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SanitizeHtml(c.in), CString(c.out)) << c.in;
}

TEST(HtmlSanitizer, ManyUnclosedTagsAreText)
{
    // Every '<' used to be parsed again to the end of the text.
    std::string html;
    for (int i = 0; i < 200000; ++i)
        html += "<a";
    CString out = SanitizeHtml(CString(html));
    EXPECT_EQ(out.GetLength(), 200000 * 5);
    EXPECT_EQ(out.Left(10), CString("&lt;a&lt;a"));
}

} // namespace
} // namespace tavrin
