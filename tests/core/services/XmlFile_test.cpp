#include "core/services/XmlFile.h"

#include "core/services/XmlCursor.h"
#include "core/services/XmlText.h"
#include "platform/base/Path.h"
#include "tests/core/services/XmlTestUtil.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using tavrin::test::DumpXml;
using tavrin::test::TempDir;

namespace {

class XmlFileTest : public testing::Test {
protected:
    std::string Path(const std::string& relative) { return tavrin::ProgramPath((m_dir.Path() / relative).string()).GetString(); }
    std::string Read(const std::string& relative) { return TempDir::Read(m_dir.Path() / relative); }

    // A store-shaped file: root "message" with items 1..count.
    void LoadItems(int count)
    {
        std::string text = "<message>\n";
        for (int i = 1; i <= count; ++i)
            text += "\t<item custo_id=\"" + std::to_string(i) + "\" id=\"" + std::to_string(100 + i) + "\">\n\t\t<title>t" + std::to_string(i) +
                    "</title>\n\t</item>\n";
        text += "</message>\n";
        m_dir.Write("items.xml", text);
        ASSERT_TRUE(m_file.Load(Path("items.xml").c_str(), FALSE));
    }

    // custo_ids of the root's items in order.
    std::string Items()
    {
        CXmlCursor c(m_file);
        std::string out;
        m_file.ResetPos(c.GetId());
        if (!c.FindChildElem("message") || !c.FindChildElem("item"))
            return out;
        do
            out += c.GetAttrib("custo_id").Str() + ",";
        while (m_file.FindNextElem(TRUE, c.GetId()));
        out.pop_back();
        return out;
    }

    TempDir m_dir;
    CXmlFile m_file;
};

TEST_F(XmlFileTest, EmptyFileObjectFailsEverything)
{
    EXPECT_FALSE(m_file.FindChildElem("a", TRUE));
    EXPECT_FALSE(m_file.AddChildElem("a", "b"));
    EXPECT_FALSE(m_file.SetData("x"));
    EXPECT_EQ(m_file.GetData(), "");
    EXPECT_TRUE(m_file.GetNode().IsEmpty());
    EXPECT_FALSE(m_file.Save());
    EXPECT_FALSE(m_file.IsModified());
}

TEST_F(XmlFileTest, LoadMissingFile)
{
    EXPECT_FALSE(m_file.Load(Path("missing.xml").c_str(), FALSE));
    EXPECT_FALSE(m_file.FindChildElem("message"));
    EXPECT_FALSE(m_file.IsModified());
    EXPECT_TRUE(m_file.Load(Path("missing.xml").c_str(), TRUE));
    EXPECT_TRUE(m_file.IsModified());
    EXPECT_EQ(m_file.GetChildCount(), 0);
}

TEST_F(XmlFileTest, EntersAndLeavesElements)
{
    LoadItems(2);
    EXPECT_EQ(m_file.GetTagName(), "");
    ASSERT_TRUE(m_file.FindChildElem("message"));
    EXPECT_EQ(m_file.GetTagName(), "message");
    EXPECT_EQ(m_file.GetChildCount(), 2);
    EXPECT_FALSE(m_file.FindChildElem("none"));
    EXPECT_EQ(m_file.GetTagName(), "message");
    ASSERT_TRUE(m_file.FindChildElem("item"));
    EXPECT_EQ(m_file.GetData(), "t1");  // first text below the element
    EXPECT_TRUE(m_file.FindNextElem());
    EXPECT_EQ(m_file.GetAttrib("custo_id"), "2");
    EXPECT_FALSE(m_file.FindNextElem());
    EXPECT_EQ(m_file.GetAttrib("custo_id"), "2");
    EXPECT_TRUE(m_file.OutOfElem());
    EXPECT_TRUE(m_file.OutOfElem());
    EXPECT_FALSE(m_file.OutOfElem());
    EXPECT_FALSE(m_file.FindNextElem());
    EXPECT_EQ(m_file.GetNode(), m_file.GetNode());
    EXPECT_EQ(m_file.GetNode().GetType(), XmlDocument);
}

TEST_F(XmlFileTest, FindNextElemOfAnyKind)
{
    m_dir.Write("mixed.xml", "<r><a/><!--c--><b/></r>");
    ASSERT_TRUE(m_file.Load(Path("mixed.xml").c_str(), FALSE));
    m_file.FindChildElem("r");
    m_file.FindChildElem("a");
    EXPECT_FALSE(m_file.FindNextElem(TRUE));
    EXPECT_TRUE(m_file.FindNextElem(FALSE));
    EXPECT_EQ(m_file.GetNode().GetType(), XmlComment);
    EXPECT_TRUE(m_file.FindNextElem(FALSE));
    EXPECT_EQ(m_file.GetTagName(), "b");
}

TEST_F(XmlFileTest, ChildDataReadAndWrite)
{
    LoadItems(1);
    m_file.FindChildElem("message");
    m_file.FindChildElem("item");
    EXPECT_EQ(m_file.GetChildData("title"), "t1");
    EXPECT_EQ(m_file.GetChildData("missing"), "");
    EXPECT_EQ(m_file.GetTagName(), "item");
    EXPECT_FALSE(m_file.SetChildData("missing", "x"));
    EXPECT_FALSE(m_file.IsModified());
    EXPECT_TRUE(m_file.SetChildData("title", "a b"));
    EXPECT_EQ(m_file.GetTagName(), "item");
    EXPECT_EQ(m_file.GetChildData("title"), "a b");
    EXPECT_TRUE(m_file.IsModified());
    // SetData on an element without text appends a text child.
    ASSERT_TRUE(m_file.FindChildElem("content", TRUE));
    EXPECT_TRUE(m_file.SetData("<c>"));
    EXPECT_EQ(m_file.GetData(), "<c>");
    EXPECT_EQ(DumpXml(m_file.GetNode()), "content{'&lt;c&gt;'}");
}

TEST_F(XmlFileTest, CreatesWhenAsked)
{
    ASSERT_TRUE(m_file.Load(Path("new.xml").c_str(), TRUE));
    EXPECT_FALSE(m_file.FindChildElem("contact"));
    EXPECT_TRUE(m_file.FindChildElem("contact", TRUE));
    EXPECT_TRUE(m_file.FindChildElem("item", TRUE));
    EXPECT_TRUE(m_file.SetAttribInt("read", -5));
    EXPECT_EQ(m_file.GetAttrib("read"), "-5");
    EXPECT_TRUE(m_file.SetAttrib("read", "1"));
    EXPECT_EQ(DumpXml(m_file.GetNode().GetParent()), "contact{item[read=1]}");
}

TEST_F(XmlFileTest, InsertChildElemBefore)
{
    LoadItems(2);
    m_file.FindChildElem("message");
    EXPECT_TRUE(m_file.InsertChildElemBefore("item", "last"));
    EXPECT_TRUE(m_file.InsertChildElemBefore("none", "first"));
    EXPECT_EQ(m_file.GetTagName(), "message");
    CXmlNode root = m_file.GetNode();
    std::string names;
    for (auto it = root.ChildrenBegin(); it != root.ChildrenEnd(); ++it)
        names += it->GetName().Str() + " ";
    EXPECT_EQ(names, "first last item item ");
    EXPECT_FALSE(m_file.OutOfElem() && m_file.InsertChildElemBefore("message", "x"));  // not at the document
}

// The current element moves up with the insertion, so the walk does not
// meet it again.
TEST_F(XmlFileTest, InsertElemBeforeKeepsWalkGoing)
{
    LoadItems(3);
    m_file.FindChildElem("message");
    m_file.FindChildElem("item");
    int visited = 0;
    do {
        ++visited;
        ASSERT_TRUE(m_file.InsertElemBefore("item"));
        m_file.SetAttrib("custo_id", "x");  // still the element the walk stands on
    } while (m_file.FindNextElem() && visited < 10);
    EXPECT_EQ(visited, 3);
    EXPECT_EQ(Items(), ",x,,x,,x");
}

TEST_F(XmlFileTest, RemoveChildElem)
{
    LoadItems(3);
    m_file.FindChildElem("message");
    EXPECT_FALSE(m_file.RemoveChildElem("none"));
    EXPECT_TRUE(m_file.RemoveChildElem("item"));
    EXPECT_EQ(m_file.GetTagName(), "message");
    EXPECT_EQ(Items(), "2,3");
    EXPECT_TRUE(m_file.RemoveChildElemWithAttrib("item", "custo_id", "3"));
    EXPECT_FALSE(m_file.RemoveChildElemWithAttrib("item", "custo_id", "3"));
    EXPECT_EQ(Items(), "2");
}

// Quotes are stored as entities; lookups decode both sides, so escaped and
// plain values find the element, in new and in existing files.
TEST_F(XmlFileTest, AttributeValuesWithQuotesAndSpaces)
{
    m_dir.Write("old.xml", "<r><item id=\"a'b\"/><item id=\"x&nbsp;y\"/></r>");
    ASSERT_TRUE(m_file.Load(Path("old.xml").c_str(), FALSE));
    m_file.FindChildElem("r");
    EXPECT_TRUE(m_file.FindChildElemWithAttrib("item", "id", "a'b") && m_file.OutOfElem());
    EXPECT_TRUE(m_file.FindChildElemWithAttrib("item", "id", XmlEscapeString("x y")) && m_file.OutOfElem());
    EXPECT_TRUE(m_file.FindChildElemWithAttrib("item", "id", "x y") && m_file.OutOfElem());
    EXPECT_FALSE(m_file.FindChildElemWithAttrib("item", "id", "x"));
    EXPECT_FALSE(m_file.FindChildElemWithAttrib("item", "missing", ""));

    ASSERT_TRUE(m_file.CreateChildElem("new"));
    m_file.FindChildElem("new");
    m_file.SetAttrib("id", "say \"hi\" it's");
    EXPECT_EQ(m_file.GetAttrib("id"), "say \"hi\" it's");
    m_file.OutOfElem();
    EXPECT_TRUE(m_file.FindChildElemWithAttrib("new", "id", XmlEscapeString("say \"hi\" it's")));
    ASSERT_TRUE(m_file.SaveAs(Path("new.xml").c_str()));
    EXPECT_EQ(Read("new.xml"),
              "<r>\n\t<item id=\"a'b\"/>\n\t<item id=\"x&nbsp;y\"/>\n\t<new id=\"say&nbsp;&quot;hi&quot;&nbsp;it&apos;s\"/>\n</r>\n");
    CXmlFile reread;
    ASSERT_TRUE(reread.Load(Path("new.xml").c_str(), FALSE));
    reread.FindChildElem("r");
    ASSERT_TRUE(reread.FindChildElemWithAttrib("new", "id", "say \"hi\" it's"));
    EXPECT_EQ(reread.GetAttrib("id"), "say \"hi\" it's");
}

TEST_F(XmlFileTest, SetNodeAttribOnRecordHandles)
{
    LoadItems(2);
    CXmlNode second;
    {
        CXmlCursor c(m_file);
        c.FindChildElem("message");
        c.FindChildElem("item");
        m_file.FindNextElem(TRUE, c.GetId());
        second = c.GetNode();
    }
    EXPECT_TRUE(m_file.SetNodeAttrib(second, "read", "1"));
    EXPECT_EQ(second.FindAttribute("read").GetValue(), "1");
    EXPECT_FALSE(m_file.SetNodeAttrib(CXmlNode(), "read", "1"));
    CXmlFile other;
    other.Load(Path("other.xml").c_str(), TRUE);
    EXPECT_FALSE(other.SetNodeAttrib(second, "read", "1"));  // not its tree
    // After a removal or a reload the record's handle reads as gone.
    {
        CXmlCursor c(m_file);
        m_file.ResetPos(c.GetId());  // a new cursor starts where the last one was
        c.FindChildElem("message");
        EXPECT_TRUE(c.RemoveChildElemWithAttrib("item", "custo_id", "2"));
    }
    EXPECT_FALSE(m_file.SetNodeAttrib(second, "read", "1"));
    EXPECT_TRUE(second.IsEmpty());
    CXmlCursor c(m_file);
    m_file.ResetPos(c.GetId());
    c.FindChildElem("message");
    c.FindChildElem("item");
    CXmlNode first = c.GetNode();
    EXPECT_FALSE(first.IsEmpty());
    m_file.Clear();
    EXPECT_TRUE(first.IsEmpty());
    EXPECT_FALSE(m_file.SetNodeAttrib(first, "read", "1"));
}

TEST_F(XmlFileTest, ClearKeepsNameAndMarksModifiedOnlyWhenThereWasContent)
{
    m_file.Load(Path("c.xml").c_str(), TRUE);
    ASSERT_TRUE(m_file.Save());
    m_file.Clear();
    EXPECT_FALSE(m_file.IsModified());
    m_file.AddChildElem("r", "v");
    ASSERT_TRUE(m_file.Save());
    m_file.Clear();
    EXPECT_TRUE(m_file.IsModified());
    m_file.AddChildElem("s", "w");
    ASSERT_TRUE(m_file.Save());
    EXPECT_EQ(Read("c.xml"), "<s>w</s>\n");
}

TEST_F(XmlFileTest, SaveCreatesMissingFolders)
{
    std::string path = Path("a") + "\\b\\c\\message.xml";
    ASSERT_TRUE(m_file.Load(path.c_str(), TRUE));
    m_file.AddChildElem("message", "");
    ASSERT_TRUE(m_file.Save());
    EXPECT_FALSE(m_file.IsModified());
    EXPECT_EQ(Read("a/b/c/message.xml"), "<message></message>\n");
}

TEST_F(XmlFileTest, FailedSaveKeepsOldFileAndModifiedFlag)
{
    m_dir.Write("ro/keep.xml", "<old/>\n");
    ASSERT_TRUE(m_file.Load(Path("ro/keep.xml").c_str(), FALSE));
    m_file.AddChildElem("new", "x");
    chmod((m_dir.Path() / "ro").c_str(), 0555);
    bool writable = access((m_dir.Path() / "ro").c_str(), W_OK) == 0;  // root writes anyway
    if (!writable) {
        EXPECT_FALSE(m_file.Save());
        EXPECT_TRUE(m_file.IsModified());
        EXPECT_EQ(Read("ro/keep.xml"), "<old/>\n");
    }
    chmod((m_dir.Path() / "ro").c_str(), 0755);
    // A folder in the way of the file.
    std::filesystem::create_directories(m_dir.Path() / "dir.xml");
    EXPECT_FALSE(m_file.SaveAs(Path("dir.xml").c_str()));
    EXPECT_TRUE(m_file.IsModified());
    // A file in the way of a folder.
    EXPECT_FALSE(m_file.SaveAs((Path("ro/keep.xml") + "\\sub.xml").c_str()));
    EXPECT_TRUE(m_file.IsModified());
    EXPECT_EQ(Read("ro/keep.xml"), "<old/>\n");
    EXPECT_TRUE(m_file.SaveAs(Path("ro/keep.xml").c_str()));
    EXPECT_FALSE(m_file.IsModified());
}

// ---- cursors

TEST_F(XmlFileTest, TwoInterleavedCursors)
{
    LoadItems(5);
    CXmlCursor a(m_file), b(m_file);
    ASSERT_TRUE(a.FindChildElem("message"));
    ASSERT_TRUE(a.FindChildElem("item"));
    m_file.FindNextElem(TRUE, a.GetId());
    m_file.FindNextElem(TRUE, a.GetId());
    EXPECT_EQ(a.GetAttrib("custo_id"), "3");
    m_file.ResetPos(b.GetId());
    ASSERT_TRUE(b.FindChildElem("message"));
    ASSERT_TRUE(b.FindChildElem("item"));
    int seen = 1;
    while (m_file.FindNextElem(TRUE, b.GetId()))
        ++seen;
    EXPECT_EQ(seen, 5);
    EXPECT_TRUE(m_file.FindNextElem(TRUE, a.GetId()));
    EXPECT_EQ(a.GetAttrib("custo_id"), "4");
    EXPECT_EQ(b.GetAttrib("custo_id"), "5");
}

TEST_F(XmlFileTest, ResetPosOfOneCursorLeavesTheOther)
{
    LoadItems(2);
    CXmlCursor a(m_file), b(m_file);
    a.FindChildElem("message");
    a.FindChildElem("item");
    m_file.ResetPos(b.GetId());
    EXPECT_EQ(m_file.GetTagName(b.GetId()), "");
    EXPECT_EQ(m_file.GetTagName(a.GetId()), "item");
}

TEST_F(XmlFileTest, CursorIdsAreFreshAndUnknownIdsAdoptTheLivePlace)
{
    LoadItems(1);
    int first = m_file.NewCursor();
    int second = m_file.NewCursor();
    EXPECT_GT(first, 0);
    EXPECT_GT(second, first);
    m_file.FindChildElem("message", FALSE, second);
    m_file.ReleaseCursor(second);
    EXPECT_EQ(m_file.GetTagName(12345678), "message");
    m_file.ReleaseCursor(first);
    m_file.ReleaseCursor(first);
}

TEST_F(XmlFileTest, LoadAndClearForgetCursors)
{
    LoadItems(2);
    CXmlCursor a(m_file);
    a.FindChildElem("message");
    a.FindChildElem("item");
    m_file.Clear();
    EXPECT_EQ(m_file.GetTagName(a.GetId()), "");
    EXPECT_FALSE(a.FindChildElem("message"));
    LoadItems(2);
    EXPECT_TRUE(a.FindChildElem("message"));
}

// Another cursor removes the element a walk stands on: the walk reads
// nothing there and goes on with the element that followed.
TEST_F(XmlFileTest, RemovalUnderAnotherCursor)
{
    LoadItems(5);
    CXmlCursor walker(m_file), editor(m_file);
    walker.FindChildElem("message");
    walker.FindChildElem("item");
    m_file.FindNextElem(TRUE, walker.GetId());  // item 2
    CXmlNode kept = walker.GetNode();
    m_file.ResetPos(editor.GetId());
    editor.FindChildElem("message");
    ASSERT_TRUE(editor.RemoveChildElemWithAttrib("item", "custo_id", "1"));  // before the walker
    EXPECT_EQ(walker.GetAttrib("custo_id"), "2");
    ASSERT_TRUE(editor.RemoveChildElemWithAttrib("item", "custo_id", "2"));  // under the walker
    EXPECT_TRUE(kept.IsEmpty());
    EXPECT_EQ(walker.GetAttrib("custo_id"), "");
    EXPECT_EQ(walker.GetChildData("title"), "");
    EXPECT_TRUE(walker.GetNode().IsEmpty());
    EXPECT_FALSE(walker.SetAttrib("x", "1"));
    EXPECT_FALSE(walker.FindChildElem("title"));
    EXPECT_FALSE(m_file.InsertElemBefore("x", walker.GetId()));
    ASSERT_TRUE(m_file.FindNextElem(TRUE, walker.GetId()));
    EXPECT_EQ(walker.GetAttrib("custo_id"), "3");

    // The whole branch under a deeper walker goes away.
    CXmlCursor deep(m_file);
    m_file.ResetPos(deep.GetId());
    deep.FindChildElem("message");
    deep.FindChildElem("item");
    deep.FindChildElem("title");
    editor.RemoveChildElemWithAttrib("item", "custo_id", "3");
    EXPECT_EQ(m_file.GetTagName(deep.GetId()), "");
    EXPECT_EQ(walker.GetAttrib("custo_id"), "");
    ASSERT_TRUE(m_file.FindNextElem(TRUE, deep.GetId()));
    EXPECT_EQ(deep.GetAttrib("custo_id"), "4");
    EXPECT_TRUE(m_file.OutOfElem(walker.GetId()));
    EXPECT_EQ(m_file.GetTagName(walker.GetId()), "message");
}

// Insertions before a walk's element move it along: the walk neither
// repeats nor skips an element.
TEST_F(XmlFileTest, InsertionUnderAnotherCursor)
{
    LoadItems(3);
    CXmlCursor walker(m_file), editor(m_file);
    walker.FindChildElem("message");
    walker.FindChildElem("item");
    editor.FindChildElem("message");
    std::string seen;
    do {
        seen += walker.GetAttrib("custo_id").Str() + " ";
        editor.InsertChildElemBefore("item", "item");
    } while (m_file.FindNextElem(TRUE, walker.GetId()));
    EXPECT_EQ(seen, "1 2 3 ");
    EXPECT_EQ(Items(), ",,,1,2,3");
}

// Changes made around the file through node handles are caught too: the
// place never leads to a freed node.
TEST_F(XmlFileTest, ChangesBehindTheFilesBackNeverReachFreedNodes)
{
    LoadItems(3);
    CXmlCursor walker(m_file);
    walker.FindChildElem("message");
    walker.FindChildElem("item");
    walker.FindChildElem("title");
    CXmlCursor other(m_file);
    m_file.ResetPos(other.GetId());
    other.FindChildElem("message");
    CXmlNode root = other.GetNode();
    FreeXmlNodeTree(root.RemoveChildAt(0));
    for (int i = 0; i < 5; ++i)
        root.InsertChild(0, XmlElement).SetName("item");
    EXPECT_EQ(walker.GetData(), "");
    EXPECT_TRUE(walker.GetNode().IsEmpty());
    EXPECT_TRUE(m_file.OutOfElem(walker.GetId()));
    EXPECT_EQ(m_file.GetTagName(walker.GetId()), "message");
    // A place that only moved is found again.
    other.FindChildElem("item");
    m_file.FindNextElem(TRUE, other.GetId());
    root.InsertChild(0, XmlElement);
    EXPECT_EQ(m_file.GetTagName(other.GetId()), "item");
    EXPECT_EQ(DumpXml(other.GetNode().GetSibling(2)), "item");
}

} // namespace
