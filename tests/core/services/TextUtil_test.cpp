#include "core/services/Base64Encoder.h"
#include "core/services/HtmlTags.h"
#include "core/services/StringTokenizer.h"
#include "core/services/TextUtil.h"
#include "fuzz/HtmlTagsModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Encode(const std::string& bytes, BOOL breakLines = TRUE)
{
    CBase64Encoder encoder;
    CString out("stale");
    EXPECT_TRUE(encoder.Encode(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<int>(bytes.size()), out,
                               breakLines));
    return out.Str();
}

std::string Repeat(const std::string& piece, size_t times)
{
    std::string out;
    for (size_t i = 0; i < times; ++i)
        out += piece;
    return out;
}

} // namespace

TEST(Base64, StandardVectors)
{
    struct Case { std::string in; const char* out; };
    const Case cases[] = {
        {"", ""},
        {"a", "YQ=="},
        {"ab", "YWI="},
        {"abc", "YWJj"},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
        {std::string("\xFF\xFE\x00", 3), "//4A"},
        {"user:pass", "dXNlcjpwYXNz"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Encode(c.in), c.out) << c.in;
}

TEST(Base64, LineBreaksFollowEvery72Characters)
{
    struct Case { size_t bytes; std::vector<size_t> lines; bool trailingBreak; };
    const Case cases[] = {
        {53, {72}, false},   // 72 characters, the last group of 2 bytes: no break
        {54, {72}, true},    // a full group reaches 72: break also at the end
        {55, {72, 4}, false},
        {60, {72, 8}, false},
        {108, {72, 72}, true},
        {110, {72, 72, 4}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        std::string encoded = Encode(std::string(c.bytes, 'x'));
        std::vector<size_t> lines;
        size_t start = 0;
        for (size_t crlf; (crlf = encoded.find("\r\n", start)) != std::string::npos; start = crlf + 2)
            lines.push_back(crlf - start);
        bool trailing = start == encoded.size();
        if (!trailing)
            lines.push_back(encoded.size() - start);
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(trailing, c.trailingBreak);
        EXPECT_EQ(encoded.find('\n'), encoded.find('\r') == std::string::npos ? std::string::npos : encoded.find('\r') + 1);
    }
}

TEST(Base64, HeaderFormHasNoLineBreaks)
{
    // Long proxy credentials must stay one header line and must not be cut.
    std::string credentials = "user:" + std::string(3000, 'p');
    std::string encoded = Encode(credentials, FALSE);
    EXPECT_EQ(encoded.size(), (credentials.size() + 2) / 3 * 4);
    EXPECT_EQ(encoded.find_first_of("\r\n"), std::string::npos);
    std::string broken = Encode(credentials, TRUE);
    std::string joined;
    for (char c : broken)
        if (c != '\r' && c != '\n')
            joined += c;
    EXPECT_EQ(joined, encoded);
    EXPECT_EQ(Encode(Repeat("abc", 2)), "YWJjYWJj");
}

TEST(TextUtil, GifSignature)
{
    struct Case { std::string data; BOOL gif; };
    const Case cases[] = {
        {"GIF87a\x01\x00", TRUE},
        {"GIF89a", TRUE},
        {"GIF88a", FALSE},
        {"GIF89b", FALSE},
        {"GIF8", FALSE},
        {"GIF89", FALSE},
        {"gif89a", FALSE},
        {"\xFF\xD8\xFF\xE0\x00\x10", FALSE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsGifSignature(reinterpret_cast<const BYTE*>(c.data.data()), static_cast<int>(c.data.size())), c.gif)
            << c.data;
    EXPECT_FALSE(IsGifSignature(nullptr, 6));
}

TEST(TextUtil, UrlEncode)
{
    struct Case { const char* in; const char* out; };
    const Case cases[] = {
        {"", ""},
        {"a b&c", "a+b%26c"},
        {"AZaz09", "AZaz09"},
        {"-_.~*", "%2D%5F%2E%7E%2A"},
        {"100%=\r\n", "100%25%3D%0D%0A"},
        {"中", "%D6%D0"},                  // a GBK character gives two groups
        {"\x81\x7C" "a", "%81%7Ca"},      // its trail byte is encoded as a byte too
        {"\xFF", "%FF"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UrlEncode(CString(c.in)).Str(), c.out) << c.in;
}

TEST(HtmlTags, StripHtmlTags)
{
    struct Case { const char* in; const char* out; };
    const Case cases[] = {
        {"", ""},
        {"plain", "plain"},
        {"a<b>c</b>d", "acd"},
        {"x<y", "x<y"},
        {"<p>a</p> 1<2 and 3", "a 1<2 and 3"},
        {"a>b<c>d", "a>bd"},
        {"<<a>>", ">"},
        {"中<font color=red>文</font>", "中文"},
    };
    for (const Case& c : cases) {
        CString text(c.in);
        StripHtmlTags(text);
        EXPECT_EQ(text.Str(), c.out) << c.in;
    }
}

TEST(HtmlTags, RemoveHtmlTags)
{
    struct Case { const char* tag; const char* in; const char* out; };
    const Case cases[] = {
        {"<a>", "see <A HREF='x.htm' target=_blank>this</A> page", "see this page"},
        {"<a>", "<a href=1>x</a> <abbr>y", "x y"},
        {"<a>", "<a>1</a><A>2</A><A>3</a>", "123"},
        {"<a>", "x</a><a y", "x<a y"},
        {"<a>", "<<a>a x>", ""},                  // a tag joined by a removal goes too
        {"<a>", "x<<<a1>a2>a3>y", "xy"},          // joins after joins, reaching further back
        {"<a>", "中<a href=\"b\">文</a>", "中文"},
        {"<font>", "<Font size=2>x</Font>", "<Font size=2>x</Font>"},
        {"<font>", "<FONT size=2>x</FONT>", "x"},
        {"<b>", "<b>x</b><br><body><B>y</B>", "x<br><body>y"},
        {"<br>", "line<br>next<BR>last</br><br/>", "linenextlast"},
        {"<input>", "a<input type=text></input>b", "a</input>b"},
    };
    for (const Case& c : cases) {
        CString text(c.in);
        RemoveHtmlTags(text, CString(c.tag));
        EXPECT_EQ(text.Str(), c.out) << c.tag << " " << c.in;
    }
}

TEST(HtmlTags, RemoveHtmlElements)
{
    struct Case { const char* tag; const char* in; const char* out; };
    const Case cases[] = {
        {"<a>", "x<a href=1>link</a>y", "xy"},
        {"<a>", "<a>1</a><A>2</A>3", "3"},
        {"<a>", "<a>unclosed", "<a>unclosed"},
        {"<a>", "<a>x</A>", "<a>x</A>"},
        {"<a>", "<<a>x</a>a>y</a>z", "z"},
        {"<a>", "<<<a</a>a</a>a</a>", ""},
        {"<SCRIPT>", "<SCRIPT>var a;</SCRIPT>text<script>b()</script>", "text"},
        {"<SCRIPT>", "<Script>x</Script>", "<Script>x</Script>"},
        {"<input>", "a<input>b", "a<input>b"},
        {"<a>", "中<a>文</a>字", "中字"},
    };
    for (const Case& c : cases) {
        CString text(c.in);
        RemoveHtmlElements(text, CString(c.tag));
        EXPECT_EQ(text.Str(), c.out) << c.tag << " " << c.in;
    }
}

TEST(HtmlTags, ManyTagsStayLinear)
{
    // Hostile pages: many removals must not rescan the text from its start.
    std::string page = Repeat("<a>x", 100000);
    CString text(page);
    RemoveHtmlTags(text, CString("<a>"));
    EXPECT_EQ(text.Str(), std::string(100000, 'x'));
}

using fuzz::RemoveAllPlainly;
using fuzz::RemoveSpansPlainly;

TEST(HtmlTags, RemovalsMatchSearchingFromTheStart)
{
    const char alphabet[] = {'<', '<', 'a', 'a', '>', '/', 'x', '\xD6', '\x81'};
    unsigned seed = 12345;
    auto next = [&seed] { seed = seed * 1103515245u + 12345u; return (seed >> 16) & 0x7FFF; };
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        size_t length = next() % 24;
        for (size_t i = 0; i < length; ++i)
            text += alphabet[next() % sizeof alphabet];
        SCOPED_TRACE(text);
        CString stripped(text);
        StripHtmlTags(stripped);
        EXPECT_EQ(stripped.Str(), RemoveSpansPlainly(text, "<", ">"));
        CString elements(text);
        RemoveHtmlElements(elements, CString("<a>"));
        EXPECT_EQ(elements.Str(), RemoveSpansPlainly(RemoveSpansPlainly(text, "<a", "</a>"), "<A", "</A>"));
        CString tags(text);
        RemoveHtmlTags(tags, CString("<aa>"));
        EXPECT_EQ(tags.Str(), RemoveSpansPlainly(RemoveAllPlainly(text, "</aa>"), "<aa", ">"));
        if (HasFailure())
            break;
    }
}

TEST(StringTokenizer, SkipsDelimiterRuns)
{
    struct Case { const char* text; const char* delimiters; std::vector<std::string> tokens; };
    const Case cases[] = {
        {" ,one,, two , ", " ,", {"one", "two"}},
        {"", " ", {}},
        {"   ", " ", {}},
        {"word", "", {"word"}},
        {"a\tb\nc", "\t\n", {"a", "b", "c"}},
        {"\x81\x7C|x", "|", {"\x81\x7C", "x"}},   // a trail byte is not a delimiter
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CStringTokenizer tokenizer{CString(c.text), CString(c.delimiters)};
        std::vector<std::string> tokens;
        CString token("stale");
        while (tokenizer.NextToken(token))
            tokens.push_back(token.Str());
        EXPECT_EQ(tokens, c.tokens);
        EXPECT_TRUE(token.Str().empty());
        EXPECT_FALSE(tokenizer.NextToken(token));
    }
}

TEST(StringTokenizer, SplitString)
{
    struct Case { const char* text; const char* separator; std::vector<std::string> pieces; };
    const Case cases[] = {
        {"", "`|", {""}},
        {"one", "`|", {"one"}},
        {"a`|b", "`|", {"a", "b"}},
        {"a`|", "`|", {"a", ""}},
        {"a`|`|b", "`|", {"a", "", "b"}},
        {" a \t`|\tb c ", "`|", {"a", "b c"}},
        {"\t\t", "`|", {""}},
        {"2008-01-02`|2008-03-04", "`|", {"2008-01-02", "2008-03-04"}},
        // GBK characters whose trail bytes are 0x60 and 0x7C never split.
        {"\x81\x60|x`|\x81\x7C", "`|", {"\x81\x60|x", "\x81\x7C"}},
        {"a,b", "", {"a,b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CStringArray out;
        out.Add(CString("stale"));
        SplitString(CString(c.text), CString(c.separator), out);
        std::vector<std::string> pieces;
        for (INT_PTR i = 0; i < out.GetSize(); ++i)
            pieces.push_back(out[i].Str());
        EXPECT_EQ(pieces, c.pieces);
    }
}
