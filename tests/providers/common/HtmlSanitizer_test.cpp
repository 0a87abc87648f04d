#include "providers/common/HtmlSanitizer.h"
#include "tests/providers/common/HostileHtml.h"

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
    for (const test::SanitizerCase& c : test::kDroppedHtml)
        EXPECT_EQ(SanitizeHtml(c.in), CString(c.out)) << c.in;
}

TEST(HtmlSanitizer, LeadByteWithoutSecondByteNeverHidesATag)
{
    for (const test::SanitizerCase& c : test::kLeadByteHtml)
        EXPECT_EQ(SanitizeHtml(c.in), CString(c.out)) << c.in;
}

TEST(HtmlSanitizer, OwnLinksOnlyWhereTheCallerAdmitsThem)
{
    // A caller admits the links of its own rewrites, as the raw quoted value
    // of a link's href, and nothing else beyond the common list.
    const OwnLinkTest own = [](std::string_view href) { return href == "tavrin:own"; };
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"<a href=\"tavrin:own\">x</a>", "<a href=\"tavrin:own\">x</a>"},
        {"<a href='tavrin:own'>x</a>", "<a href='tavrin:own'>x</a>"},
        {"<a href=tavrin:own>x</a>", "<a>x</a>"},
        {"<a href=\"tavrin:other\">x</a>", "<a>x</a>"},
        {"<a href=\"tavrin&#58;own\">x</a>", "<a>x</a>"},
        {"<img src=\"tavrin:own\">", "<img>"},
        {"<a background=\"tavrin:own\" href=\"http://x\">x</a>", "<a href=\"http://x\">x</a>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SanitizeHtml(c.in, own), CString(c.out)) << c.in;
        EXPECT_EQ(SanitizeHtml(SanitizeHtml(c.in, own), own), CString(c.out)) << c.in;
    }
    EXPECT_EQ(SanitizeHtml("<a href=\"tavrin:own\">x</a>"), CString("<a>x</a>"));
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
