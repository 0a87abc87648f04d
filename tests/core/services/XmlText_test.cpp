#include "core/services/XmlText.h"

#include "core/services/XmlCursor.h"
#include "core/services/XmlFile.h"
#include "platform/base/Path.h"
#include "tests/core/services/XmlTestUtil.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

using tavrin::test::DumpXml;
using tavrin::test::ParseText;
using tavrin::test::TempDir;

namespace {

struct EscapeCase {
    std::string in;
    std::string text;
    std::string attribute;
};

TEST(XmlEscape, ReplacesTheirSets)
{
    const EscapeCase cases[] = {
        {"plain", "plain", "plain"},
        {"a b", "a&nbsp;b", "a&nbsp;b"},
        {"<&>", "&lt;&amp;&gt;", "&lt;&amp;&gt;"},
        {"it's \"x\"", "it's&nbsp;\"x\"", "it&apos;s&nbsp;&quot;x&quot;"},
        {"&nbsp;", "&amp;nbsp;", "&amp;nbsp;"},
        {"\t\n", "\t\n", "\t\n"},
        {"中 文", "中&nbsp;文", "中&nbsp;文"},
        // A lead byte before a markup character is no double-byte character:
        // the markup character is still escaped.
        {"\x81<\x81", "\x81&lt;\x81", "\x81&lt;\x81"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(XmlEscape(c.in.c_str(), FALSE), c.text.c_str()) << c.in;
        EXPECT_EQ(XmlEscape(c.in.c_str(), TRUE), c.attribute.c_str()) << c.in;
        EXPECT_EQ(XmlEscapeString(CString(c.in.c_str()), FALSE), c.text.c_str()) << c.in;
    }
    EXPECT_EQ(XmlEscape(nullptr, FALSE), "");
}

TEST(XmlUnescape, DecodesReferences)
{
    const std::pair<std::string, std::string> cases[] = {
        {"a&nbsp;b&lt;&amp;&gt;&apos;&quot;", "a b<&>'\""},
        {"&#65;&#x41;&#xff;", "AA\xff"},
        {"&#0000065;", "A"},                  // seven digits
        {"&#00000065;", "&#00000065;"},       // eight: stays
        {"&#0;", "&#0;"},
        {"&#256;", "&#256;"},
        {"&#65601;", "&#65601;"},             // never wraps to a small code
        {"&#;", "&#;"},
        {"&#65abc;", "A"},                    // read as far as there are digits
        {"&#65", "&#65"},
        {"&foo;", "&foo;"},
        {"&amp;lt;", "&lt;"},
        {"&nbsp", "&nbsp"},
        {"a&", "a&"},
        {"&&amp;", "&&"},
        {"中&nbsp;文", "中 文"},
        {"\x81&lt;", "\x81<"},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(XmlUnescape(in.c_str()), out.c_str()) << in;
        EXPECT_EQ(XmlUnescapeString(CString(in.c_str())), out.c_str()) << in;
    }
}

TEST(XmlEscape, RoundTripsAnyBytes)
{
    std::string all;
    for (int i = 1; i < 256; ++i)
        all.push_back(static_cast<char>(i));
    all += "&nbsp; &#65; \x81 \x81\x40";
    for (BOOL mode : {FALSE, TRUE})
        EXPECT_EQ(XmlUnescapeString(XmlEscape(all.c_str(), mode)).Str(), all);
}

// Every node form of the writer, parsed from text and written back.
TEST(XmlWriter, WritesEveryNodeForm)
{
    std::string text =
        "<?xml version=\"1.0\"?>"
        "<!DOCTYPE r SYSTEM \"r.dtd\">"
        "<r a=\"1\" b>"
        "<empty/>"
        "<one x=\"&quot;\">a&amp;b</one>"
        "<many><c/>mixed<!-- note --><![CDATA[ x<y ]]><![INCLUDE[ inc ]]></many>"
        "</r>";
    CXmlParser parser;
    ParseText(parser, text);
    EXPECT_EQ(tavrin::WriteXmlText(parser.GetDocument()),
              "<?xml version=\"1.0\"?>\n"
              "<!DOCTYPE r SYSTEM \"r.dtd\">\n"
              "<r a=\"1\" b>\n"
              "\t<empty/>\n"
              "\t<one x=\"&quot;\">a&amp;b</one>\n"
              "\t<many>\n"
              "\t\t<c/>\n"
              "\t\tmixed\n"
              "\t\t<!--note-->\n"
              "\t\t<![CDATA[x<y]]>\n"
              "\t\t<![INCLUDE[inc]]>\n"
              "\t</many>\n"
              "</r>\n");
    EXPECT_EQ(tavrin::WriteXmlText(parser.GetDocument(), '\0', false),
              "<?xml version=\"1.0\"?><!DOCTYPE r SYSTEM \"r.dtd\"><r a=\"1\" b><empty/><one x=\"&quot;\">a&amp;b</one>"
              "<many><c/>mixed<!--note--><![CDATA[x<y]]><![INCLUDE[inc]]></many></r>");
}

TEST(XmlWriter, WritesDoctypeSubsetAndDeclarations)
{
    std::string text = "<!DOCTYPE m [<!ENTITY nbsp \"&#160;\"><!-- skipped --><!ELEMENT m ANY><!ATTLIST m a CDATA #IMPLIED><!NOTATION n SYSTEM \"x\">]>";
    CXmlParser parser;
    ParseText(parser, text);
    EXPECT_EQ(tavrin::WriteXmlText(parser.GetDocument()),
              "<!DOCTYPE m\n"
              "[\n"
              "\t<!ENTITY nbsp \"&#160;\">\n"
              "\t<!ELEMENT m ANY>\n"
              "\t<!ATTLIST m a CDATA #IMPLIED>\n"
              "\t<!NOTATION n SYSTEM \"x\">\n"
              "]>\n");

    std::string unparsed = "<!DOCTYPE m [ <!ENTITY a \"b\"> ]>";
    parser.Create();
    parser.Parse(unparsed.c_str(), parser.GetDocument(), 4, XML_PARSE_DEFAULT & ~XML_PARSE_DTD);
    EXPECT_EQ(tavrin::WriteXmlText(parser.GetDocument()), "<!DOCTYPE m [<!ENTITY a \"b\">]>\n");
}

TEST(XmlWriter, NodesWithoutNameOrValue)
{
    CXmlParser parser;
    parser.Create();
    CXmlNode root = parser.GetDocument().AppendChild(XmlElement);
    root.AppendChild(XmlPcdata);
    root.AppendChild(XmlComment);
    root.AppendChild(XmlEntityDecl);
    root.AppendChild(XmlElement).AppendChild(XmlPcdata).SetValue("");
    EXPECT_EQ(tavrin::WriteXmlText(parser.GetDocument()),
              "<anonymous>\n\t\n\t\n\t\n\t<anonymous></anonymous>\n</anonymous>\n");
}

TEST(XmlWriter, DocumentWithoutChildrenWritesNothing)
{
    CXmlParser parser;
    parser.Create();
    EXPECT_EQ(tavrin::WriteXmlText(parser.GetDocument()), "");
    EXPECT_EQ(tavrin::WriteXmlText(CXmlNode()), "");
}

TEST(XmlWriter, SubtreeOfOneNode)
{
    CXmlParser parser;
    std::string text = "<r><a><b>1</b></a></r>";
    ParseText(parser, text);
    EXPECT_EQ(tavrin::WriteXmlText(parser.GetDocument().FindElement("a")), "<a>\n\t<b>1</b>\n</a>\n");
}

TEST(XmlWriter, FailedStreamStopsWriting)
{
    CXmlParser parser;
    std::string text = "<r><a>1</a></r>";
    ParseText(parser, text);
    std::ostringstream stream;
    stream.setstate(std::ios::badbit);
    WriteXmlDocument(stream, parser.GetDocument(), '\t', TRUE);
    EXPECT_EQ(stream.str(), "");
    std::ostringstream good;
    WriteXmlDocument(good, parser.GetDocument(), '\t', TRUE);
    EXPECT_EQ(good.str(), "<r>\n\t<a>1</a>\n</r>\n");
}

TEST(XmlWriter, DeepTreeNeedsNoStack)
{
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += "<a>";
    CXmlParser parser;
    ParseText(parser, text);
    std::string out = tavrin::WriteXmlText(parser.GetDocument(), '\0', false);
    EXPECT_EQ(out.size(), 99999u * 7 + 4);
}

// The bytes of a store file written through the file's operations.
class XmlTextForm : public testing::Test {
protected:
    std::string Path(const std::string& relative) { return tavrin::ProgramPath((m_dir.Path() / relative).string()).GetString(); }
    std::string Read(const std::string& relative) { return TempDir::Read(m_dir.Path() / relative); }
    TempDir m_dir;
};

const char kGolden[] =
    "<message>\n"
    "\t<item read=\"0\" custo_id=\"1\" id=\"42\">\n"
    "\t\t<title>a&nbsp;&lt;b&gt;&amp;c</title>\n"
    "\t\t<time>2008-01-02&nbsp;03:04</time>\n"
    "\t\t<user>张三</user>\n"
    "\t\t<content>&nbsp;one\ntwo&nbsp;</content>\n"
    "\t\t<empty></empty>\n"
    "\t</item>\n"
    "\t<last/>\n"
    "</message>\n";

TEST_F(XmlTextForm, GoldenBytes)
{
    CXmlFile file;
    ASSERT_TRUE(file.Load(Path("golden.xml").c_str(), TRUE));
    ASSERT_TRUE(file.FindChildElem("message", TRUE));
    ASSERT_TRUE(file.FindChildElem("item", TRUE));
    file.SetAttribInt("read", 0);
    file.SetAttrib("custo_id", "1");
    file.SetAttrib("id", "42");
    file.AddChildElem("title", "a <b>&c");
    file.AddChildElem("time", "2008-01-02 03:04");
    file.AddChildElem("user", "张三");
    file.AddChildElem("content", " one\ntwo ");
    file.AddChildElem("empty", "");
    file.OutOfElem();
    file.CreateChildElem("last");
    ASSERT_TRUE(file.Save());
    EXPECT_EQ(Read("golden.xml"), kGolden);
}

TEST_F(XmlTextForm, SaveLoadSaveGivesSameBytesAndValues)
{
    m_dir.Write("a.xml", kGolden);
    CXmlFile file;
    ASSERT_TRUE(file.Load(Path("a.xml").c_str(), FALSE));
    ASSERT_TRUE(file.FindChildElem("message"));
    ASSERT_TRUE(file.FindChildElem("item"));
    EXPECT_EQ(file.GetChildData("title"), "a <b>&c");
    EXPECT_EQ(file.GetChildData("user"), "张三");
    EXPECT_EQ(file.GetChildData("content"), " one\ntwo ");
    ASSERT_TRUE(file.SaveAs(Path("b.xml").c_str()));
    // An element whose text was set empty reads back without a text child.
    std::string expected = kGolden;
    expected.replace(expected.find("<empty></empty>"), 15, "<empty/>");
    EXPECT_EQ(Read("b.xml"), expected);
    CXmlFile again;
    ASSERT_TRUE(again.Load(Path("b.xml").c_str(), FALSE));
    ASSERT_TRUE(again.SaveAs(Path("c.xml").c_str()));
    EXPECT_EQ(Read("c.xml"), expected);
}

TEST_F(XmlTextForm, EdgeWhitespaceOfValues)
{
    CXmlFile file;
    file.Load(Path("ws.xml").c_str(), TRUE);
    file.FindChildElem("r", TRUE);
    file.AddChildElem("spaces", "  x  ");
    file.AddChildElem("tabs", "\tx\r\n");
    file.AddChildElem("entity", "&amp; typed");
    ASSERT_TRUE(file.Save());
    CXmlFile reread;
    ASSERT_TRUE(reread.Load(Path("ws.xml").c_str(), FALSE));
    reread.FindChildElem("r");
    EXPECT_EQ(reread.GetChildData("spaces"), "  x  ");
    EXPECT_EQ(reread.GetChildData("tabs"), "x");  // the parser trims them
    EXPECT_EQ(reread.GetChildData("entity"), "&amp; typed");
}

TEST_F(XmlTextForm, GbkTextRoundTrips)
{
    // Every double-byte GBK character whose trail byte is a markup-free
    // ASCII byte ('\\', '|', '`', '@', '[', ']', letters).
    std::string text;
    for (int lead : {0x81, 0x95, 0xB0, 0xD6, 0xFE})
        for (int trail : {0x40, 0x5B, 0x5C, 0x5D, 0x60, 0x7C, 0x80, 0xA1, 0xFE})
            text += {static_cast<char>(lead), static_cast<char>(trail)};
    text += " 中文 ";
    CXmlFile file;
    file.Load(Path("gbk.xml").c_str(), TRUE);
    file.FindChildElem("r", TRUE);
    file.AddChildElem("t", text.c_str());
    file.SetAttrib("a", text.c_str());
    ASSERT_TRUE(file.Save());
    CXmlFile reread;
    ASSERT_TRUE(reread.Load(Path("gbk.xml").c_str(), FALSE));
    reread.FindChildElem("r");
    EXPECT_EQ(reread.GetChildData("t").Str(), text);
    EXPECT_EQ(reread.GetAttrib("a").Str(), text);
}

TEST_F(XmlTextForm, EmptyDocumentWritesEmptyFile)
{
    CXmlFile file;
    ASSERT_TRUE(file.Load(Path("none.xml").c_str(), TRUE));
    EXPECT_TRUE(file.IsModified());
    ASSERT_TRUE(file.Save());
    EXPECT_FALSE(file.IsModified());
    EXPECT_TRUE(std::filesystem::exists(m_dir.Path() / "none.xml"));
    EXPECT_EQ(Read("none.xml"), "");
}

} // namespace

namespace {

// Counts the bytes written and refuses everything past a bound, so a writer
// that runs away stops early instead of filling the disk.
class BoundedOutput : public tavrin::XmlOutput {
public:
    explicit BoundedOutput(size_t bound) : m_bound(bound) {}
    ~BoundedOutput() override { Flush(); }
    size_t Count() const { return m_count; }

protected:
    bool Sink(const char*, size_t size) override
    {
        m_count += size;
        return m_count <= m_bound;
    }

private:
    size_t m_bound;
    size_t m_count = 0;
};

} // namespace

// Indentation stops growing at 64 levels, so a deeply nested file saves to a
// size linear in its own and reads back as the same tree.
TEST_F(XmlTextForm, DeepNestingSavesLinearly)
{
    const int depth = 100000;
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<a>";
    text += "x";
    for (int i = 0; i < depth; ++i)
        text += "</a>";
    m_dir.Write("deep.xml", text);
    CXmlFile file;
    ASSERT_TRUE(file.Load(Path("deep.xml").c_str(), FALSE));
    CXmlCursor cursor(file);
    {
        BoundedOutput out(text.size() * 32);
        WriteXmlDocument(out, file.GetNode(cursor.GetId()), '\t', TRUE);
        ASSERT_TRUE(out.Flush());
        // Each level: at most 64 tabs, its tags and two line feeds.
        EXPECT_LE(out.Count(), static_cast<size_t>(depth) * (2 * 64 + 9));
    }
    ASSERT_TRUE(file.SaveAs(Path("saved.xml").c_str()));
    EXPECT_LE(std::filesystem::file_size(m_dir.Path() / "saved.xml"), static_cast<size_t>(depth) * (2 * 64 + 9));
    std::string saved = tavrin::WriteXmlText(file.GetNode(cursor.GetId()));
    EXPECT_NE(saved.find("\n" + std::string(64, '\t') + "<a>x</a>\n" + std::string(64, '\t') + "</a>\n"),
              std::string::npos);
    EXPECT_EQ(saved.find(std::string(65, '\t')), std::string::npos);
    // Without the layout it is the file that was loaded.
    saved.erase(std::remove_if(saved.begin(), saved.end(), [](char c) { return c == '\t' || c == '\n'; }),
                saved.end());
    EXPECT_TRUE(saved == text);
}
