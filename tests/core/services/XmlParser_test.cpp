#include "core/services/XmlParser.h"

#include "core/services/XmlText.h"
#include "platform/base/Path.h"
#include "tests/core/services/XmlTestUtil.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using tavrin::test::DumpXml;
using tavrin::test::ParseText;

namespace {

struct ParseCase {
    const char* name;
    std::string text;
    const char* tree;
};

void PrintTo(const ParseCase& c, std::ostream* os)
{
    *os << c.name;
}

class XmlParseTable : public testing::TestWithParam<ParseCase> {};

TEST_P(XmlParseTable, BuildsTree)
{
    const ParseCase& c = GetParam();
    CXmlParser parser;
    ParseText(parser, c.text);
    EXPECT_EQ(DumpXml(parser.GetDocument()), c.tree) << c.text;
}

const ParseCase kParseCases[] = {
    {"EmptyElement", "<a/>", "a"},
    {"Text", "<a>text</a>", "a{'text'}"},
    {"IndentedElementsMakeNoTextNodes", "  <a>\n\t <b>x</b>\n\t<c/>\n</a>  ", "a{b{'x'} c}"},
    {"TextTrimmedOnBothSides", "<a> \t\r\n x  y \n</a>", "a{'x  y'}"},
    {"LineEndOnlyMakesNoChild", "<a>\n</a>", "a"},
    {"SingleByteAfterWhitespace", "<a>   x</a>", "a{'x'}"},
    {"BothQuoteStyles", "<a x=\"1\" y='2'/>", "a[x=1,y=2]"},
    {"QuotesInsideOtherQuotes", "<a x=\"it's\" y='say \"hi\"'/>", "a[x=it's,y=say \"hi\"]"},
    {"AttributeSpacingAndTrim", "<a x = \" 1 \"\n\ty='2'/>", "a[x=1,y=2]"},
    {"BareAttribute", "<a b c=\"1\"/>", "a[b,c=1]"},
    {"EntitiesStayAsWritten", "<a t=\"&quot;\">&amp;&lt;&nbsp;&#65;</a>", "a[t=&quot;]{'&amp;&lt;&nbsp;&#65;'}"},
    {"Comment", "<a><!--  c  --></a>", "a{#'c'}"},
    {"CommentOfSpaces", "<a><!--   --></a>", "a{#''}"},
    {"TextAfterComment", "<a><!--c--> t </a>", "a{#'c' 't'}"},
    {"Cdata", "<a><![CDATA[ <x> & ]]></a>", "a{C'<x> &'}"},
    {"Include", "<![INCLUDE[ x ]]>", "I'x'"},
    {"ProcessingInstruction", "<?xml version=\"1.0\" encoding=\"GBK\"?>\n<r/>", "?xml[version=1.0,encoding=GBK] r"},
    {"BadProcessingInstructionSkipped", "<? junk ><r/>", "r"},
    {"Doctype", "<!DOCTYPE message SYSTEM \"m.dtd\">\n<r/>", "!DOCTYPE[message=message,SYSTEM=SYSTEM,=m.dtd]'' r"},
    {"DoctypeSubsetEndsParse",
     "<!DOCTYPE m [\n <!ENTITY nbsp \"&#160;\">\n <!ELEMENT m ANY>\n <!ENTITY % p \"a>b\">\n]><r/>",
     "!DOCTYPE[m=m]'<!ENTITY nbsp \"&#160;\">\n <!ELEMENT m ANY>\n <!ENTITY % p \"a>b\">'"
     "{!9:nbsp'\"&#160;\"' !11:m'ANY' !9:% p'\"a>b\"'}"},
    {"NestedBracketsInSubset", "<!DOCTYPE m [ <![INCLUDE[ <!ATTLIST m a CDATA #IMPLIED> ]]> ]>",
     "!DOCTYPE[m=m]'<![INCLUDE[ <!ATTLIST m a CDATA #IMPLIED> ]]>'{I'<!ATTLIST m a CDATA #IMPLIED>'}"},
    {"SeveralTopLevelElements", "<a/><b>1</b><c/>", "a b{'1'} c"},
    {"EndTagNameNotCompared", "<a><b></a><c/></b>", "a{b c}"},
    {"SurplusEndTagsIgnored", "</x></y><a></a></a></z><b/>", "a b"},
    {"MixedContent", "<a>x<b/>y<c>1</c>z</a>", "a{'x' b 'y' c{'1'} 'z'}"},
    {"LoneLessThanStaysInText", "<a>1 < 2</a>", "a{'1 < 2'}"},
    // Only a letter, '_', ':' or a whole GBK character after '<' opens an element.
    {"DamagedByteAfterLessThanIsText", "<a>x <\xB0 y</a><b/>", "a{'x <\xB0 y'} b"},
    {"LeadByteWithoutTrailIsText", "<a><\x81\x7F</a>", "a{'<\x81\x7F'}"},
    {"DigitAfterLessThanIsText", "<a>1 <9 x</a>", "a{'1 <9 x'}"},
    {"LessThanAtTheEndIsText", "<a>x <", "a{'x <'}"},
    {"GbkNamesAndText", "<名字 属性=\"值\">中文 内容</名字>", "名字[属性=值]{'中文 内容'}"},
    {"TruncatedInText", "<a><b>te", "a{b{'te'}}"},
    {"TruncatedInAttribute", "<a><b x=\"1", "a{b}"},
    {"TruncatedInComment", "<a>t<!-- abc", "a{'t'}"},
    {"TruncatedInEndTag", "<a>t</a", "a{'t'}"},
    {"TruncatedAfterLessThan", "<a/><", "a"},
    {"TextOutsideElementsSkipped", "junk<a/>junk", "a"},
    {"WhitespaceOnly", " \t\r\n ", ""},
};

INSTANTIATE_TEST_SUITE_P(Xml, XmlParseTable, testing::ValuesIn(kParseCases),
                         [](const testing::TestParamInfo<ParseCase>& info) { return info.param.name; });

TEST(XmlParse, OptionsSkipNodeKinds)
{
    std::string text = "<?pi a=\"1\"?><!--c--><!DOCTYPE d><r><![CDATA[x]]> t </r>";
    CXmlParser parser;
    parser.Create();
    parser.Parse(text.c_str(), parser.GetDocument(), 4, 0);
    EXPECT_EQ(DumpXml(parser.GetDocument()), "r{' t '}");
}

TEST(XmlParse, ParseIntoElementAppendsToItsChildren)
{
    std::string first = "<r><a/></r>";
    std::string second = "<b/></r><c/>";
    CXmlParser parser;
    ParseText(parser, first);
    CXmlNode root = parser.GetDocument().FindElement("r");
    parser.Parse(second.c_str(), root, 4, XML_PARSE_DEFAULT);
    // The stray end tag cannot climb above the node parsed into.
    EXPECT_EQ(DumpXml(parser.GetDocument()), "r{a b c}");
}

TEST(XmlParse, DeepNestingNeedsNoStack)
{
    std::string text;
    for (int i = 0; i < 200000; ++i)
        text += "<a>";
    CXmlParser parser;
    ParseText(parser, text);
    CXmlNode n = parser.GetDocument();
    int depth = 0;
    while (n.GetChildCount()) {
        n = *n.ChildrenBegin();
        ++depth;
    }
    EXPECT_EQ(depth, 200000);
    EXPECT_TRUE(parser.GetDocument().FindElement("b").IsEmpty());
}

class XmlLoadFile : public testing::Test {
protected:
    CString Path(const std::string& name, const std::string& bytes) { return tavrin::ProgramPath(m_dir.Write(name, bytes).string()); }
    tavrin::test::TempDir m_dir;
};

TEST_F(XmlLoadFile, MissingOrEmptyFileFails)
{
    CXmlParser parser;
    EXPECT_FALSE(parser.LoadFile(Path("empty.xml", "")));
    EXPECT_TRUE(parser.GetDocument().IsEmpty());
    EXPECT_FALSE(parser.LoadFile(Path("x", "") + "\\missing.xml"));
    EXPECT_FALSE(parser.LoadFile(nullptr));
    EXPECT_FALSE(parser.LoadFile(""));
    EXPECT_TRUE(parser.GetDocument().IsEmpty());
}

TEST_F(XmlLoadFile, WhitespaceOnlyFileIsEmptyDocument)
{
    CXmlParser parser;
    ASSERT_TRUE(parser.LoadFile(Path("ws.xml", " \n\t\n")));
    EXPECT_FALSE(parser.GetDocument().IsEmpty());
    EXPECT_EQ(parser.GetDocument().GetChildCount(), 0);
}

TEST_F(XmlLoadFile, MalformedFileLoadsAsFarAsItParses)
{
    CXmlParser parser;
    ASSERT_TRUE(parser.LoadFile(Path("bad.xml", "<message><item id=\"1\"><title>x</title></item><item id=\"2\"><tit")));
    EXPECT_EQ(DumpXml(parser.GetDocument()), "message{item[id=1]{title{'x'}} item[id=2]{tit}}");
}

TEST_F(XmlLoadFile, NulByteEndsText)
{
    CXmlParser parser;
    ASSERT_TRUE(parser.LoadFile(Path("nul.xml", std::string("<a>x</a>\0<b/>", 13))));
    EXPECT_EQ(DumpXml(parser.GetDocument()), "a{'x'}");
}

TEST_F(XmlLoadFile, ChunksEndExactlyAtTheFileEnd)
{
    // Read in chunks of 8 bytes: files ending on, just before and just after
    // a chunk boundary, and a NUL in a later chunk.
    const std::string text = "<a><b>12</b></a>";  // 16 bytes
    for (const std::string& bytes : {text, text.substr(0, 15), text + " ", text + std::string("\0<c/>", 5)}) {
        CXmlParser parser;
        ASSERT_TRUE(parser.LoadFile(Path("chunks.xml", bytes), XML_PARSE_KEEP_OPTIONS, 8)) << bytes;
        EXPECT_EQ(DumpXml(parser.GetDocument()), "a{b{'12'}}") << bytes;
    }
    // A file of one NUL holds bytes: it loads as an empty document.
    CXmlParser parser;
    ASSERT_TRUE(parser.LoadFile(Path("nul-only.xml", std::string("\0", 1)), XML_PARSE_KEEP_OPTIONS, 8));
    EXPECT_EQ(parser.GetDocument().GetChildCount(), 0);
}

TEST_F(XmlLoadFile, FileLongerThanItsReportedSizeIsReadWhole)
{
    // A pipe reports no size: the text is still read to its end.
    std::string items;
    for (int i = 0; i < 50; ++i)
        items += "<i>" + std::to_string(i) + "</i>";
    std::string fifo = (m_dir.Path() / "pipe.xml").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&] {
        int fd = open(fifo.c_str(), O_WRONLY);
        std::string text = "<r>" + items + "</r>";
        EXPECT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
        close(fd);
    });
    CXmlParser parser;
    bool loaded = parser.LoadFile(tavrin::ProgramPath(fifo), XML_PARSE_KEEP_OPTIONS, 64);
    writer.join();
    ASSERT_TRUE(loaded);
    EXPECT_EQ(parser.GetDocument().FindElement("r").GetChildCount(), 50);
}

TEST_F(XmlLoadFile, ReloadReplacesTreeAndEmptiesOldHandles)
{
    CXmlParser parser;
    ASSERT_TRUE(parser.LoadFile(Path("a.xml", "<a><b/></a>")));
    CXmlNode b = parser.GetDocument().FindElement("b");
    ASSERT_FALSE(b.IsEmpty());
    ASSERT_TRUE(parser.LoadFile(Path("c.xml", "<c/>")));
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_EQ(b.GetName(), "");
    EXPECT_EQ(DumpXml(parser.GetDocument()), "c");
    parser.Create();
    EXPECT_EQ(DumpXml(parser.GetDocument()), "");
}

// A damaged byte after a stray '<' in one item's text once opened an element
// that swallowed every following item.
TEST_F(XmlLoadFile, StrayLessThanInOneItemKeepsEveryItem)
{
    std::string text = "<message>\n";
    for (int i = 0; i < 1000; ++i) {
        std::string title = i == 3 ? "a <\xB0 b" : "t" + std::to_string(i);
        text += "\t<item custo_id=\"" + std::to_string(i) + "\">\n\t\t<title>" + title + "</title>\n\t</item>\n";
    }
    text += "</message>\n";
    CXmlParser parser;
    ASSERT_TRUE(parser.LoadFile(Path("message.xml", text)));
    CXmlNode root = parser.GetDocument().FindElement("message");
    EXPECT_EQ(root.GetChildCount(), 1000);
    auto it = root.ChildrenBegin();
    for (int i = 0; i < 3; ++i)
        ++it;
    EXPECT_EQ(DumpXml(*it), "item[custo_id=3]{title{'a <\xB0 b'}}");
}

// Files in the program's own form read and write back byte for byte, with
// the tree they had.
TEST_F(XmlLoadFile, StoredFilesKeepTheirBytes)
{
    for (const char* name : {"model/contact.xml", "model/message.xml", "model/private.xml", "model/tavrin.xml"}) {
        std::string bytes = tavrin::test::TempDir::Read(tavrin::test::Fixture(name));
        ASSERT_FALSE(bytes.empty()) << name;
        CXmlParser first;
        ASSERT_TRUE(first.LoadFile(Path("fixture.xml", bytes))) << name;
        std::string written = tavrin::WriteXmlText(first.GetDocument());
        CXmlParser again;
        ASSERT_TRUE(again.LoadFile(Path("written.xml", written))) << name;
        EXPECT_EQ(DumpXml(again.GetDocument()), DumpXml(first.GetDocument())) << name;
        EXPECT_EQ(tavrin::WriteXmlText(again.GetDocument()), written) << name;
    }
}

} // namespace
