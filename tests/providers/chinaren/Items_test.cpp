// The four ChinaRen records in their XML form, their copies and equality,
// and the stores a class creates.
#include "tests/providers/chinaren/ChinaRenFixture.h"

#include "core/model/MessageStore.h"
#include "core/services/XmlFile.h"
#include "platform/base/Path.h"
#include "providers/chinaren/ContactStoreChinaRen.h"
#include "providers/chinaren/MessageStoreChinaRen.h"
#include "providers/chinaren/PictureStoreChinaRen.h"
#include "providers/chinaren/PrivateStoreChinaRen.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace tavrin::test {
namespace {

const char kOdd[] = "a <b> & c  d";

// A document from text, its cursor on the first item element.
class Doc {
public:
    Doc(TempDir& dir, const std::string& xml)
        : m_path(ProgramPath((dir.Path() / "doc.xml").string()))
    {
        dir.Write("doc.xml", xml);
        EXPECT_TRUE(m_file.Load(m_path, FALSE));
        m_cursor = std::make_unique<CXmlCursor>(m_file);
        m_file.ResetPos(m_cursor->GetId());
        EXPECT_TRUE(m_cursor->FindChildElem("root"));
        EXPECT_TRUE(m_cursor->FindChildElem("item"));
    }
    CXmlCursor* Cursor() { return m_cursor.get(); }
    std::string Text(TempDir& dir)
    {
        const CString out = ProgramPath((dir.Path() / "out.xml").string());
        EXPECT_TRUE(m_file.SaveAs(out));
        return TempDir::Read(dir.Path() / "out.xml");
    }

private:
    CString m_path;
    CXmlFile m_file;
    std::unique_ptr<CXmlCursor> m_cursor;
};

// The element names of the item's children in document order.
std::string ChildOrder(const std::string& text)
{
    std::string names;
    size_t at = text.find("<item");
    while ((at = text.find('<', at + 1)) != std::string::npos) {
        if (text[at + 1] == '/')
            continue;
        size_t end = text.find_first_of(" >/", at);
        names += text.substr(at + 1, end - at - 1) + " ";
    }
    return names;
}

TEST(ChinaRenItems, EachRecordRoundTripsEscapedValues)
{
    TempDir dir;
    struct Case {
        const char* name;
        std::function<void(CXmlCursor*)> write;
        std::function<bool(CXmlCursor*)> readBack;
    } cases[] = {
        {"contact",
         [](CXmlCursor* c) {
             CContactItemChinaRen item;
             item.m_realName = kOdd;
             item.m_custoId = "3";
             item.m_sex = "男";
             item.m_msnIcq = kOdd;
             item.m_selfIntro = "我 & 你";
             CContactItemChinaRen::WriteXml(&item, c);
         },
         [](CXmlCursor* c) {
             CContactItemChinaRen item;
             CContactItemChinaRen::ReadXml(&item, c);
             return item.m_realName == kOdd && item.m_custoId == "3" && item.m_sex == "男" &&
                    item.m_msnIcq == kOdd && item.m_selfIntro == "我 & 你" && item.m_email.IsEmpty();
         }},
        {"message",
         [](CXmlCursor* c) {
             CMessageItemChinaRen item;
             item.m_user = kOdd;
             item.m_time = "2005-06-01 08:00:00";
             item.m_content = "<img src=\"x.gif\"> &nbsp; hi";
             item.m_voteReason = kOdd;
             item.m_read = 1;
             CMessageItemChinaRen::WriteXml(&item, c);
         },
         [](CXmlCursor* c) {
             CMessageItemChinaRen item;
             CMessageItemChinaRen::ReadXml(&item, c);
             return item.m_user == kOdd && item.m_time == "2005-06-01 08:00:00" &&
                    item.m_content == "<img src=\"x.gif\"> &nbsp; hi" && item.m_voteReason == kOdd && item.m_read == 1;
         }},
        {"photo",
         [](CXmlCursor* c) {
             CPictureItemChinaRen item;
             item.m_tile = kOdd;
             item.m_status = "not download";
             item.m_fileName = "a b.jpg";
             item.m_url = "http://x/?a=1&b=<2>";
             item.m_comment = kOdd;
             CPictureItemChinaRen::WriteXml(&item, c);
         },
         [](CXmlCursor* c) {
             CPictureItemChinaRen item;
             CPictureItemChinaRen::ReadXml(&item, c);
             return item.m_tile == kOdd && item.m_status == "not download" && item.m_fileName == "a b.jpg" &&
                    item.m_url == "http://x/?a=1&b=<2>" && item.m_comment == kOdd;
         }},
        {"note",
         [](CXmlCursor* c) {
             CPrivateItemChinaRen item;
             item.m_title = kOdd;
             item.m_content = "第一行\r\n<第二行>";
             CPrivateItemChinaRen::WriteXml(&item, c);
         },
         [](CXmlCursor* c) {
             CPrivateItemChinaRen item;
             CPrivateItemChinaRen::ReadXml(&item, c);
             return item.m_title == kOdd && item.m_content == "第一行\r\n<第二行>";
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Doc doc(dir, "<root>\n\t<item/>\n</root>\n");
        c.write(doc.Cursor());
        const std::string text = doc.Text(dir);
        EXPECT_EQ(text.find(kOdd), std::string::npos) << text;
        EXPECT_NE(text.find("&lt;b&gt;"), std::string::npos) << text;
        Doc back(dir, text);
        EXPECT_TRUE(c.readBack(back.Cursor()));
    }
}

TEST(ChinaRenItems, AttributeOnlyElementsReadEmptyAndGetEveryChildInOrder)
{
    TempDir dir;
    struct Case {
        const char* name;
        std::function<void(CXmlCursor*)> readWrite;
        const char* order;
    } cases[] = {
        {"contact",
         [](CXmlCursor* c) {
             CContactItemChinaRen item;
             CContactItemChinaRen::ReadXml(&item, c);
             EXPECT_TRUE(item.m_sex.IsEmpty() && item.m_selfIntro.IsEmpty() && item.m_realName.IsEmpty());
             CContactItemChinaRen::WriteXml(&item, c);
         },
         "last_visit membership real_name user_name visit_time sex email sq mobile birthday education job city company "
         "company_address address postcode phone_number homepage qq msn_icq self_intro "},
        {"message",
         [](CXmlCursor* c) {
             CMessageItemChinaRen item;
             CMessageItemChinaRen::ReadXml(&item, c);
             EXPECT_TRUE(item.m_content.IsEmpty() && item.m_voteReason.IsEmpty() && item.m_read == 0);
             CMessageItemChinaRen::WriteXml(&item, c);
         },
         "title time user content vote_reason "},
        {"photo",
         [](CXmlCursor* c) {
             CPictureItemChinaRen item;
             CPictureItemChinaRen::ReadXml(&item, c);
             EXPECT_TRUE(item.m_url.IsEmpty() && item.m_tile.IsEmpty());
             CPictureItemChinaRen::WriteXml(&item, c);
         },
         "click comment_num upload_time tile upload_user comment description file_name file_size original_size url "},
        {"note",
         [](CXmlCursor* c) {
             CPrivateItemChinaRen item;
             CPrivateItemChinaRen::ReadXml(&item, c);
             EXPECT_TRUE(item.m_content.IsEmpty());
             CPrivateItemChinaRen::WriteXml(&item, c);
         },
         "user_name user_id time title reply_status real_name content "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Doc doc(dir, "<root>\n\t<item read=\"\" custo_id=\"7\" id=\"x\"/>\n</root>\n");
        c.readWrite(doc.Cursor());
        EXPECT_EQ(ChildOrder(doc.Text(dir)), c.order);
    }
}

TEST(ChinaRenItems, ReorderedChildrenAreUpdatedInPlace)
{
    TempDir dir;
    Doc doc(dir, "<root>\n\t<item custo_id=\"1\">\n\t\t<vote_reason>old</vote_reason>\n\t\t<extra>keep</extra>\n"
                 "\t\t<content>old</content>\n\t\t<user>u</user>\n\t\t<time>t</time>\n\t\t<title>x</title>\n"
                 "\t</item>\n</root>\n");
    CMessageItemChinaRen item;
    CMessageItemChinaRen::ReadXml(&item, doc.Cursor());
    EXPECT_EQ(item.m_voteReason, CString("old"));
    item.m_content = "new";
    item.m_voteReason = "why";
    CMessageItemChinaRen::WriteXml(&item, doc.Cursor());
    const std::string text = doc.Text(dir);
    EXPECT_EQ(ChildOrder(text), "vote_reason extra content user time title ");
    EXPECT_NE(text.find("<extra>keep</extra>"), std::string::npos);
    EXPECT_NE(text.find("<content>new</content>"), std::string::npos);
    EXPECT_NE(text.find("<vote_reason>why</vote_reason>"), std::string::npos);
}

TEST(ChinaRenItems, MessagesAreEqualByTimeUserAndContent)
{
    CMessageItemChinaRen base;
    base.m_time = "2005-06-01 10:00:00";
    base.m_user = "张三";
    base.m_content = "Hello";
    base.m_title = "t1";
    base.m_voteReason = "r1";
    base.m_custoId = "1";
    base.m_id = "9";
    struct Case {
        const char* name;
        std::function<void(CMessageItemChinaRen&)> change;
        bool equal;
    } cases[] = {
        {"title, vote reason, ids and flags", [](CMessageItemChinaRen& m) {
             m.m_title = "t2";
             m.m_voteReason = "r2";
             m.m_custoId = "2";
             m.m_id = "8";
             m.m_read = 1;
             m.m_pinned = 1;
         }, true},
        {"letter case of the content", [](CMessageItemChinaRen& m) { m.m_content = "hello"; }, false},
        {"user", [](CMessageItemChinaRen& m) { m.m_user = "张四"; }, false},
        {"time", [](CMessageItemChinaRen& m) { m.m_time = "2005-06-01 10:00:01"; }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMessageItemChinaRen other = base;
        c.change(other);
        EXPECT_EQ(base == other, c.equal);
    }
}

TEST(ChinaRenItems, AssignedPhotoKeepsNothingOfItsOwn)
{
    CPictureItemChinaRen source;
    CString* fields[] = {&source.m_tile, &source.m_uploadUser, &source.m_uploadTime, &source.m_click,
                         &source.m_commentNum, &source.m_smallId, &source.m_status, &source.m_fileSize,
                         &source.m_originalSize, &source.m_description, &source.m_fileName, &source.m_comment,
                         &source.m_url};
    int n = 0;
    for (CString* field : fields)
        field->Format("value%d", n++);
    source.m_custoId = "5";
    source.m_id = "p5";
    source.m_read = 1;
    source.m_pinned = 0;

    CPictureItemChinaRen target;
    CString* old[] = {&target.m_tile, &target.m_uploadUser, &target.m_uploadTime, &target.m_click,
                      &target.m_commentNum, &target.m_smallId, &target.m_status, &target.m_fileSize,
                      &target.m_originalSize, &target.m_description, &target.m_fileName, &target.m_comment,
                      &target.m_url};
    for (CString* field : old)
        *field = "stale";
    target.m_custoId = "1";
    target.m_pinned = 1;
    target = source;
    for (size_t i = 0; i < std::size(fields); ++i)
        EXPECT_EQ(*old[i], *fields[i]) << i;
    EXPECT_EQ(target.m_custoId, CString("5"));
    EXPECT_EQ(target.m_id, CString("p5"));
    EXPECT_EQ(target.m_read, 1);
    EXPECT_EQ(target.m_pinned, 0);
    CPictureItemChinaRen copy(source);
    EXPECT_EQ(copy.m_url, source.m_url);
    EXPECT_EQ(copy.m_comment, source.m_comment);
}

using ChinaRenStores = ChinaRenTest;

TEST_F(ChinaRenStores, ClassCreatesItsFourStoresInItsFolderAndLoadsThem)
{
    dir.Write(ClassFolder("c1") + "/message.xml",
              "<message>\n\t<item read=\"0\" custo_id=\"2\" id=\"\">\n\t\t<time>2005-05-01&nbsp;10:00:00</time>\n"
              "\t\t<user>u</user>\n\t\t<content>hi</content>\n\t</item>\n"
              "\t<item read=\"1\" custo_id=\"1\" id=\"\">\n\t\t<time>2005-04-01&nbsp;10:00:00</time>\n"
              "\t\t<user>v</user>\n\t</item>\n</message>\n");
    dir.Write(ClassFolder("c1") + "/private.xml",
              "<private>\n\t<item read=\"0\" custo_id=\"1\" id=\"n1\">\n\t\t<title>t</title>\n\t</item>\n</private>\n");
    CSchoolClassChinaRen* schoolClass = AddClass("c1");
    ASSERT_NE(dynamic_cast<CPrivateStoreChinaRen*>(schoolClass->GetPrivateStore()), nullptr);
    ASSERT_NE(dynamic_cast<CMessageStoreChinaRen*>(schoolClass->GetMessageStore()), nullptr);
    ASSERT_NE(dynamic_cast<CPictureStoreChinaRen*>(schoolClass->GetPictureStore()), nullptr);
    ASSERT_NE(dynamic_cast<CContactStoreChinaRen*>(schoolClass->GetContactStore()), nullptr);
    const CString folder = account.GetDataFolder() + "\\c1";
    CClassStore* stores[] = {schoolClass->GetPrivateStore(), schoolClass->GetMessageStore(),
                             schoolClass->GetPictureStore(), schoolClass->GetContactStore()};
    for (CClassStore* store : stores) {
        EXPECT_EQ(store->GetClassFolder(), folder);
        EXPECT_EQ(store->GetSchoolClass(), schoolClass);
    }
    EXPECT_EQ(schoolClass->GetMessageStore()->GetItemCount(), 2);
    EXPECT_EQ(schoolClass->GetPrivateStore()->GetItemCount(), 1);
    EXPECT_EQ(schoolClass->GetMessageStore()->GetAuthImagePath(""), folder + "\\auth_message.gif");
    EXPECT_EQ(schoolClass->GetPictureStore()->GetAuthImagePath(""), folder + "\\auth_picture.gif");

    // Only the stores whose posts carry a code get a key: the stamp of now.
    EXPECT_EQ(schoolClass->GetMessageStore()->GetAuthKey(""), CString("1117584000500"));
    EXPECT_EQ(schoolClass->GetPictureStore()->GetAuthKey(""), CString("1117584000500"));
    EXPECT_TRUE(schoolClass->GetPrivateStore()->GetAuthKey("").IsEmpty());
    EXPECT_TRUE(schoolClass->GetContactStore()->GetAuthKey("").IsEmpty());
    EXPECT_TRUE(schoolClass->GetMessageStore()->NeedsAuthCode());
    EXPECT_TRUE(schoolClass->GetPictureStore()->NeedsAuthCode());
    EXPECT_FALSE(schoolClass->GetContactStore()->NeedsAuthCode());
    EXPECT_FALSE(schoolClass->GetPrivateStore()->NeedsAuthCode());
}

TEST_F(ChinaRenStores, UnsafeClassIdGetsNoStores)
{
    for (const char* id : {"", "..", "a/b", "a\\b", "c 1"}) {
        SCOPED_TRACE(id);
        CSchoolClassChinaRen schoolClass;
        schoolClass.SetAccount(&account);
        schoolClass.SetId(id);
        schoolClass.CreateStores();
        EXPECT_EQ(schoolClass.GetMessageStore(), nullptr);
        EXPECT_EQ(schoolClass.GetContactStore(), nullptr);
        schoolClass.Close();
    }
}

} // namespace
} // namespace tavrin::test
