#include "core/services/XmlNode.h"

#include "core/services/XmlParser.h"
#include "tests/core/services/XmlTestUtil.h"

#include <gtest/gtest.h>

using tavrin::test::DumpXml;
using tavrin::test::ParseText;

namespace {

class XmlNodeTest : public testing::Test {
protected:
    void Parse(const std::string& text)
    {
        m_text = text;
        ParseText(m_parser, m_text);
    }
    CXmlNode Doc() { return m_parser.GetDocument(); }

    std::string m_text;
    CXmlParser m_parser;
};

TEST_F(XmlNodeTest, EmptyHandleActsAsNodeOfTypeZero)
{
    CXmlNode empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(empty.GetType(), XmlNone);
    EXPECT_EQ(empty.GetName(), "");
    EXPECT_EQ(empty.GetValue(), "");
    EXPECT_EQ(empty.GetChildCount(), 0);
    EXPECT_TRUE(empty.GetParent().IsEmpty());
    EXPECT_TRUE(empty.GetSibling(0).IsEmpty());
    EXPECT_TRUE(empty.FindAttribute("a").IsEmpty());
    EXPECT_EQ(empty.FindAttributeIndex("a"), -1);
    EXPECT_TRUE(empty.GetAttribute("a").IsEmpty());
    EXPECT_TRUE(empty.AddAttribute("a", "1").IsEmpty());
    EXPECT_FALSE(empty.SetName("x"));
    EXPECT_FALSE(empty.SetValue("x"));
    EXPECT_TRUE(empty.AppendChild(XmlElement).IsEmpty());
    EXPECT_TRUE(empty.InsertChild(0, XmlElement).IsEmpty());
    EXPECT_TRUE(empty.RemoveChildAt(0).IsEmpty());
    EXPECT_TRUE(empty.FindElement("a").IsEmpty());
    EXPECT_TRUE(empty.FindFirstOfType(XmlPcdata).IsEmpty());
    EXPECT_TRUE(empty.ChildrenBegin() == empty.ChildrenEnd());
    CXmlNode copy = empty;
    EXPECT_TRUE(copy.IsEmpty());
}

TEST_F(XmlNodeTest, NavigatesParentsSiblingsAndChildren)
{
    Parse("<r><a x=\"1\" y=\"2\"/><b>t</b><!--c--></r>");
    CXmlNode r = Doc().FindElement("r");
    EXPECT_EQ(r.GetParent(), Doc());
    EXPECT_TRUE(Doc().GetParent().IsEmpty());
    EXPECT_TRUE(Doc().GetSibling(0).IsEmpty());
    CXmlNode a = r.FindElement("a");
    EXPECT_EQ(a.GetSibling(1).GetName(), "b");
    EXPECT_TRUE(a.GetSibling(3).IsEmpty());
    EXPECT_TRUE(a.GetSibling(-1).IsEmpty());
    EXPECT_EQ(a.FindAttributeIndex("y"), 1);
    EXPECT_EQ(a.FindAttribute("y").GetValue(), "2");
    EXPECT_EQ(r.FindFirstOfType(XmlPcdata).GetValue(), "t");
    EXPECT_EQ(r.FindFirstOfType(XmlComment).GetValue(), "c");

    std::vector<std::string> names;
    for (CXmlChildIterator it = r.ChildrenBegin(); it != r.ChildrenEnd(); ++it)
        names.push_back(std::to_string(it->GetType()) + it->GetName().Str());
    EXPECT_EQ(names, (std::vector<std::string>{"2a", "2b", "5"}));
    CXmlChildIterator it = r.ChildrenBegin();
    EXPECT_TRUE(it.HasChildren());
    it.SetIndex(3);
    EXPECT_TRUE(it.IsOutOfRange());
    EXPECT_TRUE((*it).IsEmpty());
    --it;
    EXPECT_EQ(it.GetIndex(), 2);
    EXPECT_FALSE(it.IsOutOfRange());
    EXPECT_TRUE(r.ChildrenBegin() < r.ChildrenEnd());
    EXPECT_FALSE(a.ChildrenBegin().HasChildren());
}

TEST_F(XmlNodeTest, FindsInDocumentOrderDepthFirst)
{
    Parse("<r><a><x id=\"1\"/></a><x id=\"2\"/></r>");
    EXPECT_EQ(Doc().FindElement("x").FindAttribute("id").GetValue(), "1");
    EXPECT_TRUE(Doc().FindElement("missing").IsEmpty());
}

TEST_F(XmlNodeTest, AttributesAddGetAndDefault)
{
    Parse("<r a=\"1\"/>");
    CXmlNode r = Doc().FindElement("r");
    CXmlAttribute b = r.GetAttribute("b");  // appended with an empty value
    EXPECT_FALSE(b.IsEmpty());
    EXPECT_EQ(b.GetValue(), "");
    EXPECT_TRUE(b.SetValue("2"));
    CXmlAttribute c = r.GetAttributeOr("c", "dflt");  // not added
    EXPECT_EQ(c.GetName(), "c");
    EXPECT_EQ(c.GetValue(), "dflt");
    CXmlAttribute copy = c;
    c.SetValue("changed");
    EXPECT_EQ(copy.GetValue(), "dflt");
    EXPECT_EQ(r.GetAttributeOr("a", "x").GetValue(), "1");
    EXPECT_TRUE(r.AddAttribute("d", nullptr).IsEmpty());
    EXPECT_EQ(r.AddAttribute("d", "4").GetValue(), "4");
    EXPECT_EQ(DumpXml(Doc()), "r[a=1,b=2,d=4]");
    for (int i = 0; i < 40; ++i)
        r.AddAttribute(("n" + std::to_string(i)).c_str(), "v");
    EXPECT_EQ(r.FindAttributeIndex("n39"), 42);
    EXPECT_EQ(r.FindAttribute("a").GetValue(), "1");
    // Text nodes have no attributes.
    EXPECT_TRUE(Doc().FindElement("r").AppendChild(XmlPcdata).GetAttribute("a").IsEmpty());
}

TEST_F(XmlNodeTest, NamesAndValuesOnlyForTheirKinds)
{
    Parse("<r><?p?>t<!--c--></r>");
    CXmlNode r = Doc().FindElement("r");
    CXmlNode pi = *r.ChildrenBegin();
    CXmlNode text = r.FindFirstOfType(XmlPcdata);
    CXmlNode comment = r.FindFirstOfType(XmlComment);
    EXPECT_TRUE(r.SetName("root"));
    EXPECT_TRUE(pi.SetName("q"));
    EXPECT_FALSE(text.SetName("x"));
    EXPECT_FALSE(r.SetValue("x"));
    EXPECT_TRUE(text.SetValue("T"));
    EXPECT_TRUE(comment.SetValue("C"));
    EXPECT_FALSE(Doc().SetName("d"));
    EXPECT_EQ(DumpXml(Doc()), "root{?q 'T' #'C'}");
}

TEST_F(XmlNodeTest, AppendInsertAndRemoveChildren)
{
    Parse("<r><a/></r>");
    CXmlNode r = Doc().FindElement("r");
    r.AppendChild(XmlElement).SetName("c");
    r.InsertChild(0, XmlElement).SetName("first");
    r.InsertChild(99, XmlElement).SetName("last");
    r.InsertChild(2, XmlPcdata).SetValue("t");
    EXPECT_EQ(DumpXml(Doc()), "r{first a 't' c last}");
    EXPECT_TRUE(r.FindFirstOfType(XmlPcdata).AppendChild(XmlElement).IsEmpty());
    EXPECT_TRUE(Doc().InsertChild(0, XmlElement).IsEmpty());  // elements only
    EXPECT_FALSE(Doc().AppendChild(XmlComment).IsEmpty());
    EXPECT_TRUE(r.AppendChild(XmlDocument).IsEmpty());
    EXPECT_TRUE(r.AppendChild(XmlNone).IsEmpty());

    CXmlNode a = r.FindElement("a");
    CXmlNode removed = r.RemoveChildAt(1);
    EXPECT_EQ(removed, a);
    EXPECT_TRUE(removed.GetParent().IsEmpty());  // detached: its own parent
    EXPECT_TRUE(r.RemoveChildAt(4).IsEmpty());
    EXPECT_EQ(DumpXml(r), "r{first 't' c last}");
    FreeXmlNodeTree(removed);
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_TRUE(removed.IsEmpty());
}

// A parsed element with one child and no attributes keeps the child in its
// attribute slot: every edit afterwards must move it out first.
TEST_F(XmlNodeTest, OnlyChildrenSurviveEveryEdit)
{
    Parse("<r><a>x</a><b>y</b><c><d/></c><e>z</e><f>w</f></r>");
    CXmlNode r = Doc().FindElement("r");
    CXmlNode a = r.FindElement("a");
    a.AddAttribute("k", "v");  // the attribute takes the slot back
    EXPECT_EQ(a.GetAttribute("k").GetValue(), "v");
    r.FindElement("b").AppendChild(XmlElement).SetName("b2");  // a second child
    CXmlNode c = r.FindElement("c");
    CXmlNode d = c.RemoveChildAt(0);
    c.AddAttribute("n", "1");  // no child left, then an attribute
    c.AppendChild(XmlElement).SetName("d2");
    FreeXmlNodeTree(d);
    CXmlNode e = r.FindElement("e");
    CXmlNode z = e.RemoveChildAt(0);
    e.AppendChild(XmlPcdata).SetValue("z2");  // back into the slot
    FreeXmlNodeTree(z);
    EXPECT_EQ(DumpXml(Doc()), "r{a[k=v]{'x'} b{'y' b2} c[n=1]{d2} e{'z2'} f{'w'}}");
    CXmlNode f = r.RemoveChildAt(4);
    FreeXmlNodeTree(f);  // its only child goes with it
    EXPECT_EQ(DumpXml(Doc()), "r{a[k=v]{'x'} b{'y' b2} c[n=1]{d2} e{'z2'}}");
}

TEST_F(XmlNodeTest, FreeRefusesAttachedNodes)
{
    Parse("<r><a/></r>");
    CXmlNode a = Doc().FindElement("a");
    FreeXmlNodeTree(a);
    FreeXmlNodeTree(Doc());
    EXPECT_FALSE(a.IsEmpty());
    EXPECT_EQ(DumpXml(Doc()), "r{a}");
}

// A handle on a freed node stays empty, even when the node's memory is
// handed to a new node.
TEST_F(XmlNodeTest, HandlesOnFreedNodesStayEmpty)
{
    Parse("<r><a><b x=\"1\">t</b></a></r>");
    CXmlNode r = Doc().FindElement("r");
    CXmlNode b = r.FindElement("b");
    CXmlNode text = b.FindFirstOfType(XmlPcdata);
    CXmlAttribute x = b.FindAttribute("x");
    FreeXmlNodeTree(r.RemoveChildAt(0));
    for (int i = 0; i < 10; ++i)
        r.AppendChild(XmlElement).AppendChild(XmlPcdata).SetValue("new");
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(text.GetValue(), "");
    EXPECT_TRUE(x.IsEmpty());
    EXPECT_EQ(x.GetValue(), "");
    EXPECT_FALSE(x.SetValue("2"));
    EXPECT_TRUE(b.AppendChild(XmlElement).IsEmpty());
    EXPECT_EQ(r.GetChildCount(), 10);
}

TEST_F(XmlNodeTest, HandlesOutliveTheirTree)
{
    CXmlNode kept;
    CXmlAttribute attribute;
    {
        CXmlParser parser;
        std::string text = "<r a=\"1\"/>";
        ParseText(parser, text);
        kept = parser.GetDocument().FindElement("r");
        attribute = kept.FindAttribute("a");
        EXPECT_EQ(attribute.GetValue(), "1");
    }
    EXPECT_TRUE(kept.IsEmpty());
    EXPECT_TRUE(attribute.IsEmpty());
    EXPECT_EQ(kept.GetName(), "");
}

} // namespace
