#include "tests/providers/5460/ProviderFixture.h"

#include "providers/5460/site.h"

#include "core/model/ModelEvents.h"
#include "core/services/XmlCursor.h"
#include "tests/sim/5460/Site5460.h"

#include <atomic>
#include <filesystem>
#include <thread>

namespace tavrin::test {
namespace {

const char kPerson[] = "/gy5460/jsp/person/person.jsp";
const char kVisits[] = "/gy5460/jsp/txlClass/visitCount.jsp";

sim::Member MakeMember(const std::string& name, const std::string& id, const std::string& visits)
{
    sim::Member m;
    m.realName = name;
    m.icon = "3";
    m.id = id;
    m.phone = "010-1";
    m.oicq = "777";
    m.mobile = "139";
    m.company = "公司";
    m.address = "地址";
    m.email = name + "@example.com";
    m.intro = "介绍";
    m.registered = "2005";
    m.visitCount = visits;
    m.lastVisit = "2006-06-01";
    m.membership = "<b>成员</b>";
    return m;
}

struct Stored {
    std::string custoId, id, realName, icon, intro, visitTime, lastVisit, membership;
};

class ContactStore5460Test : public Provider5460Test {
protected:
    ContactStore5460Test()
    {
        SeedUser();
        sim.Edit([](sim::Scenario& s) {
            auto& members = s.Class("301").members;
            members.push_back(MakeMember("甲", "11", "5"));
            members.push_back(MakeMember("乙", "12", "6"));
            members.push_back(MakeMember("丙", "13", "7"));
        });
        schoolClass = AddClass("301");
        store = Contacts(schoolClass);
    }

    // Runs the update on a worker, as the pool does, while this thread
    // serves the events it sends.
    void Update(int mode)
    {
        window.RunOnWorker([&] {
            CStringArray ids;
            store->Update(ids, mode);
        });
    }

    // The item elements of the document, in document order.
    std::vector<Stored> Document()
    {
        std::vector<Stored> out;
        CXmlFile& xml = *store->GetXmlFile();
        CXmlCursor cursor(xml);
        xml.ResetPos(cursor.GetId());
        if (!cursor.FindChildElem("contact") || !cursor.FindChildElem("item"))
            return out;
        do {
            out.push_back({cursor.GetAttrib("custo_id").Str(), cursor.GetAttrib("id").Str(),
                           cursor.GetChildData("real_name").Str(), cursor.GetChildData("person_icon").Str(),
                           cursor.GetChildData("intro").Str(), cursor.GetChildData("visit_time").Str(),
                           cursor.GetChildData("last_visit").Str(), cursor.GetChildData("membership").Str()});
        } while (xml.FindNextElem(TRUE, cursor.GetId()));
        return out;
    }

    bool Logged(const std::string& line)
    {
        auto log = ClassLog(schoolClass);
        return std::find(log.begin(), log.end(), line) != log.end();
    }

    CSchoolClass5460* schoolClass = nullptr;
    CContactStore5460* store = nullptr;
};

TEST_F(ContactStore5460Test, MembersInReversePageOrderWithVisits)
{
    Update(0);
    auto doc = Document();
    ASSERT_EQ(doc.size(), 3u);
    EXPECT_EQ(doc[0].custoId, "3");
    EXPECT_EQ(doc[0].realName, "丙");
    EXPECT_EQ(doc[0].id, "13");
    EXPECT_EQ(doc[2].custoId, "1");
    EXPECT_EQ(doc[2].realName, "甲");
    EXPECT_EQ(doc[2].icon, "3");
    EXPECT_EQ(doc[2].intro, "介绍");
    EXPECT_EQ(doc[2].visitTime, "5");
    EXPECT_EQ(doc[2].lastVisit, "2006-06-01");
    EXPECT_EQ(doc[2].membership, "<b>成员</b>");
    EXPECT_EQ(ClassLog(schoolClass),
              (std::vector<std::string>{"[通讯录]开始更新...", "[通讯录]开始更新成员资料...", "[通讯录]共有3位班级成员.",
                                        "[通讯录]更新成员资料完成.", "[通讯录]开始更新访问信息...",
                                        "[通讯录]更新访问信息完成.", "[通讯录]更新完成."}));
    EXPECT_TRUE(std::filesystem::exists(ClassFolder("301") + "/contact.xml"));
    EXPECT_EQ(store->GetItemCount(), 3);
    // The list drops the membership's tags.
    CContactItem* item = store->FindItem("11", "");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->m_membership, CString("成员"));
    EXPECT_EQ(window.Codes(WM_CLASS_EVENT, true), (std::vector<int>{19, 19}));
    std::vector<int> posted;
    for (int code : window.Codes(WM_CLASS_EVENT, false))
        if (code != 0) // log lines
            posted.push_back(code);
    EXPECT_EQ(posted, (std::vector<int>{26, 23, 3}));
    EXPECT_FALSE(store->IsUpdating());
}

TEST_F(ContactStore5460Test, PagesWithoutMembersKeepTheStoredOnes)
{
    Update(0);
    struct Case {
        const char* name;
        std::function<void()> arrange;
        const char* line;
    } cases[] = {
        {"no text area", [&] { sim.SetFault("", kPerson, sim::Fault::ExpiredSession()); },
         "[通讯录]读取网页错误, 更新成员资料失败."},
        {"no record", [&] { sim.Edit([](sim::Scenario& s) { s.Class("301").rawMembers = true; }); },
         "[通讯录]读取网页错误, 更新成员资料失败."},
        {"only separators",
         [&] {
             sim.Edit([](sim::Scenario& s) {
                 s.Class("301").rawMembers = true;
                 s.Class("301").rawMemberData = "^~`@`|^~`@";
             });
         },
         "[通讯录]读取网页错误, 更新成员资料失败."},
        {"dropped connection", [&] { sim.SetFault("", kPerson, sim::Fault::DropConnection()); },
         "[通讯录]网络错误, 更新成员资料失败."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.arrange();
        // The visit part still runs and updates the stored members.
        sim.Edit([](sim::Scenario& s) { s.Class("301").members[0].visitCount = "99"; });
        Update(0);
        EXPECT_TRUE(Logged(c.line));
        auto doc = Document();
        ASSERT_EQ(doc.size(), 3u);
        EXPECT_EQ(doc[2].visitTime, "99");
        sim.ClearFaults();
        sim.Edit([](sim::Scenario& s) {
            s.Class("301").rawMembers = false;
            s.Class("301").members[0].visitCount = "5";
        });
    }
}

// A member page of unclosed text areas is a page failure like any page
// without its list: the update goes on to its end.
TEST_F(ContactStore5460Test, AHostileMemberPageIsAPageFailure)
{
    Update(0);
    std::string page = "<html>";
    for (int i = 0; i < 30000; ++i)
        page += "<textarea>x";
    sim.Route(tavrin::p5460::kWebHost1, kPerson, [page](const sim::Request&, sim::Response& response) {
        response.Html(page);
    });
    const size_t mark = window.Codes(WM_CLASS_EVENT, false).size();
    Update(0);
    EXPECT_TRUE(Logged("[通讯录]读取网页错误, 更新成员资料失败."));
    EXPECT_EQ(ClassLog(schoolClass).back(), "[通讯录]更新完成.");
    EXPECT_EQ(Document().size(), 3u);
    auto codes = window.Codes(WM_CLASS_EVENT, false);
    std::vector<int> posted;
    for (size_t i = mark; i < codes.size(); ++i)
        if (codes[i] != 0)
            posted.push_back(codes[i]);
    EXPECT_EQ(posted, (std::vector<int>{26, 23, 3}));
}

TEST_F(ContactStore5460Test, ShortAndOddRecords)
{
    sim.Edit([](sim::Scenario& s) {
        s.Class("301").rawMembers = true;
        s.Class("301").rawMemberData = "`|odd^~`@short`|ic`|7^~`@`|^~`@^~`@";
        s.Class("301").rawVisits = true;
        s.Class("301").rawVisitData = "short`|x`|8`|2006`|成员^~`@`|x`|9^~`@short`|y^~`@nobody`|x`|1`|2`|3";
    });
    Update(0);
    auto doc = Document();
    ASSERT_EQ(doc.size(), 2u);
    EXPECT_EQ(doc[0].realName, "short");
    EXPECT_EQ(doc[0].id, "7");
    EXPECT_EQ(doc[0].intro, "");
    EXPECT_EQ(doc[0].visitTime, "8");
    EXPECT_EQ(doc[0].membership, "成员");
    // A record that begins with the separator: empty name, nothing shifted.
    EXPECT_EQ(doc[1].realName, "");
    EXPECT_EQ(doc[1].icon, "odd");
    EXPECT_EQ(doc[1].visitTime, ""); // its visit record is short
    EXPECT_TRUE(Logged("[通讯录]共有2位班级成员."));
}

TEST_F(ContactStore5460Test, VisitModeWithoutMembersWritesNothing)
{
    Update(1);
    EXPECT_TRUE(Document().empty());
    EXPECT_FALSE(std::filesystem::exists(ClassFolder("301") + "/contact.xml"));
    EXPECT_FALSE(Logged("[通讯录]开始更新成员资料..."));
    EXPECT_EQ(sim.Count(kPerson), 0u);
    EXPECT_EQ(sim.Count(kVisits), 1u);
    EXPECT_EQ(window.Codes(WM_CLASS_EVENT, true), (std::vector<int>{19}));
}

TEST_F(ContactStore5460Test, SignInFailureSkipsBothParts)
{
    account.SetUserNameAndPassword("li", "wrong");
    Update(0);
    EXPECT_TRUE(Logged("[通讯录]登录失败, 无法更新成员资料."));
    EXPECT_TRUE(Logged("[通讯录]登录失败, 无法更新访问信息."));
    EXPECT_TRUE(Logged("[通讯录]更新完成."));
    EXPECT_EQ(sim.Count(kPerson), 0u);
}

TEST_F(ContactStore5460Test, RenderedPageEscapesEveryValue)
{
    sim.Edit([](sim::Scenario& s) {
        sim::Member& m = s.Class("301").members[0];
        m.intro = "say \"hi\" \\ </script>\r\n2";
        m.realName = "甲\"";
    });
    Update(0);
    CString page = store->RenderPage("1");
    EXPECT_NE(page.Find("var intro = \"say \\\"hi\\\" \\\\ \\x3C/script\\x3E\\r\\n2\";"), -1);
    EXPECT_NE(page.Find("var real_name = \"甲\\\"\";"), -1);
    EXPECT_NE(page.Find("var member_id = \"11\";"), -1);
    EXPECT_NE(page.Find("<!--通讯录数据变量赋值开始-->"), -1);

    CString empty = store->RenderPage("");
    EXPECT_NE(empty.Find("var intro = \"\";"), -1);
    EXPECT_EQ(empty.Find("%s"), -1);
    CString unknown = store->RenderPage("99");
    EXPECT_EQ(unknown, empty);

    std::filesystem::remove(dir.Path() / "styles" / "5460" / "default" / "contact.html");
    EXPECT_TRUE(store->RenderPage("1").IsEmpty());
}

TEST_F(ContactStore5460Test, TemplateWithoutMarkersIsReturnedUnchanged)
{
    dir.Write("styles/5460/default/contact.html", "<html>%s 100%% plain</html>");
    EXPECT_EQ(store->RenderPage("1"), CString("<html>%s 100%% plain</html>"));
}

} // namespace
} // namespace tavrin::test
