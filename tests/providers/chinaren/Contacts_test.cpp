// The member list against the simulated visit and detail pages, and the
// contact page.
#include "tests/providers/chinaren/ChinaRenFixture.h"

#include "core/model/ModelEvents.h"
#include "core/services/FolderUtil.h"
#include "core/services/XmlFile.h"
#include "providers/chinaren/ContactStoreChinaRen.h"
#include "providers/chinaren/site.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tavrin::test {
namespace {

using sim::chinaren::Member;

const char kIcons[] = "<img src=../../../styles/chinaren/default/images/";

Member MakeMember(const std::string& user, const std::string& real, std::vector<std::string> alts)
{
    Member m;
    m.userName = user;
    m.realName = real;
    m.alts = std::move(alts);
    m.visitTime = "12";
    m.lastVisit = "2005-05-30 10:00";
    return m;
}

class ChinaRenContacts : public ChinaRenTest {
protected:
    ChinaRenContacts()
    {
        SeedUser();
        site.Edit([](sim::chinaren::Data& d) {
            d.users[0].classIds = {"301"};
            d.AddClass("301").name = "一班";
        });
        schoolClass = AddClass("301");
        store = static_cast<CContactStoreChinaRen*>(schoolClass->GetContactStore());
    }

    void SetMembers(std::vector<Member> members)
    {
        site.Edit([&](sim::chinaren::Data& d) { d.FindClass("301")->members = std::move(members); });
    }
    void Update(std::vector<std::string> ids, int mode)
    {
        CStringArray list;
        for (const std::string& id : ids)
            list.Add(id.c_str());
        window.RunOnWorker([&] { store->Update(list, mode); });
    }
    // "custo_id:id" of the stored contacts in file order.
    std::vector<std::string> Stored()
    {
        std::vector<std::string> out;
        CXmlCursor cursor(*store->GetXmlFile());
        store->GetXmlFile()->ResetPos(cursor.GetId());
        if (!cursor.FindChildElem("contact") || !cursor.FindChildElem("item"))
            return out;
        do {
            out.push_back(cursor.GetAttrib("custo_id").Str() + ":" + cursor.GetAttrib("id").Str());
        } while (store->GetXmlFile()->FindNextElem(TRUE, cursor.GetId()));
        return out;
    }
    CContactItemChinaRen Contact(const std::string& custoId)
    {
        CContactItemChinaRen item;
        CXmlCursor cursor(*store->GetXmlFile());
        store->GetXmlFile()->ResetPos(cursor.GetId());
        if (cursor.FindChildElem("contact") && cursor.FindChildElemWithAttrib("item", "custo_id", custoId.c_str()))
            CContactItemChinaRen::ReadXml(&item, &cursor);
        return item;
    }
    std::vector<std::string> Tail(size_t from)
    {
        auto log = ClassLog(schoolClass);
        return std::vector<std::string>(log.begin() + static_cast<std::ptrdiff_t>(from), log.end());
    }
    std::filesystem::path File() { return dir.Path() / (ClassFolder("301") + "/contact.xml"); }

    CSchoolClassChinaRen* schoolClass = nullptr;
    CContactStoreChinaRen* store = nullptr;
};

TEST_F(ChinaRenContacts, VisitRowsBecomeContacts)
{
    Member nameless = MakeMember("", "无名", {"班级成员"});
    SetMembers({MakeMember("tom", " 汤姆 ", {"管理员", "班级成员"}), MakeMember("a+b", "甲", {"星级会员"}),
                nameless, MakeMember("x&y", "乙", {"", "<老友>"})});
    Update({}, 1);
    // The page's last new row first; header, spacer and nameless rows skipped.
    EXPECT_EQ(Stored(), (std::vector<std::string>{"3:x&y", "2:a+b", "1:tom"}));
    const CContactItemChinaRen tom = Contact("1");
    EXPECT_EQ(tom.m_realName, CString("汤姆"));
    EXPECT_EQ(tom.m_userName, CString("tom"));
    EXPECT_EQ(tom.m_visitTime, CString("12"));
    EXPECT_EQ(tom.m_lastVisit, CString("2005-05-30 10:00"));
    EXPECT_EQ(tom.m_membership, CString((std::string(kIcons) + "administrator.gif>管理员 " + kIcons +
                                         "member.gif>班级成员").c_str()));
    EXPECT_EQ(Contact("2").m_membership, CString((std::string(kIcons) + "vip.gif>星级会员").c_str()));
    EXPECT_EQ(Contact("3").m_membership,
              CString((std::string(kIcons) + "friend.gif> " + kIcons + "friend.gif><老友>").c_str()));
    auto log = ClassLog(schoolClass);
    EXPECT_NE(std::find(log.begin(), log.end(), "[通讯录]共有3位班级成员."), log.end());
    EXPECT_EQ(log.back(), "[通讯录]更新完成.");
    // Mode 1 reads no details.
    EXPECT_EQ(sim.Count("/class/class_personal.jsp"), 0u);
    EXPECT_TRUE(std::filesystem::exists(File()));
    // The list shows the alt texts only.
    EXPECT_EQ(store->GetItemCount(), 3);

    // A second run updates in place and counts on from the first item.
    SetMembers({MakeMember("tom", "汤姆", {"班级成员"}), MakeMember("new", "新", {"班级成员"})});
    Update({}, 1);
    EXPECT_EQ(Stored(), (std::vector<std::string>{"4:new", "3:x&y", "2:a+b", "1:tom"}));
    EXPECT_EQ(Contact("1").m_membership, CString((std::string(kIcons) + "member.gif>班级成员").c_str()));
}

TEST_F(ChinaRenContacts, DetailsOfASubsetWithTheirCleanUps)
{
    std::vector<Member> members;
    for (int i = 1; i <= 30; ++i)
        members.push_back(MakeMember("u" + std::to_string(i), "人" + std::to_string(i), {"班级成员"}));
    Member& fifth = members[25]; // fifth in the file, which lists the page backwards
    fifth.userName = "a+b&c";
    fifth.details = {{"性别：", "男"},
                     {"搜Q：", "<a href=\"http://sq/1\">12345</a> <a href=\"http://sq/dl\">[搜Q下载]</a>"},
                     {"移动电话：", "13900000000 <a href=\"http://sms/\">[直接发送手机短信息]</a>"},
                     {"邮政编码：", "100080<br>"},
                     {"个人主页地址：", "<a href=\"http://home/\">http://home/</a>"},
                     {"自我介绍：", "第一行\r\n第二行"},
                     {"QQ：", "  777  "}};
    SetMembers(members);
    Update({}, 1);
    ASSERT_EQ(Stored().size(), 30u);
    ASSERT_EQ(Stored()[4], "26:a+b&c");
    sim.ClearLog();
    const size_t from = ClassLog(schoolClass).size();
    Update({"26"}, 0);
    auto personal = sim.Requests("/class/class_personal.jsp");
    ASSERT_EQ(personal.size(), 1u);
    EXPECT_EQ(personal[0].query, "userid=a%2Bb%26c&classuuid=301&quuid=1");
    auto log = Tail(from);
    EXPECT_NE(std::find(log.begin(), log.end(), "[通讯录]更新5/30[人26]..."), log.end());
    const CContactItemChinaRen item = Contact("26");
    EXPECT_EQ(item.m_sex, CString("男"));
    EXPECT_EQ(item.m_sq, CString("12345"));
    EXPECT_EQ(item.m_mobile, CString("13900000000"));
    EXPECT_EQ(item.m_postcode, CString("100080"));
    EXPECT_EQ(item.m_homepage, CString("http://home/"));
    EXPECT_EQ(item.m_selfIntro, CString("第一行第二行"));
    EXPECT_EQ(item.m_qq, CString("777"));
    EXPECT_TRUE(item.m_email.IsEmpty());
    EXPECT_TRUE(Contact("25").m_sex.IsEmpty());
}

TEST_F(ChinaRenContacts, NoRightsFillsEveryField)
{
    Member hidden = MakeMember("secret", "秘", {"班级成员"});
    hidden.hidden = true;
    SetMembers({hidden});
    Update({}, 0);
    const CContactItemChinaRen item = Contact("1");
    EXPECT_EQ(item.m_sex, CString("您没有权限察看"));
    EXPECT_EQ(item.m_selfIntro, CString("您没有权限察看"));
    EXPECT_EQ(item.m_msnIcq, CString("您没有权限察看"));
}

TEST_F(ChinaRenContacts, StopDuringTheDetailsStillEndsTheRun)
{
    SetMembers({MakeMember("a", "甲", {"班级成员"}), MakeMember("b", "乙", {"班级成员"})});
    Update({}, 1);
    auto gate = std::make_shared<sim::Gate>();
    sim.SetFault(tavrin::chinaren::kClassHost, "/class/class_personal.jsp", sim::Fault::StallAt(gate));
    const size_t from = ClassLog(schoolClass).size();
    const size_t sentFrom = window.Codes(WM_CLASS_EVENT, true).size();
    CStringArray none;
    store->StartUpdate(none, 0);
    ASSERT_TRUE(gate->WaitArrivals(1));
    store->StopUpdate();
    gate->Open();
    Await([&] { return store->IsUpdating(); });
    auto log = Tail(from);
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(log.end() - 4, log.end()),
              (std::vector<std::string>{"[通讯录]更新[乙]的详细资料失败.", "[通讯录]读取通讯录被中断.",
                                        "[通讯录]更新成员资料完成.", "[通讯录]更新完成."}));
    EXPECT_EQ(sim.Count("/class/class_personal.jsp"), 1u);
    auto sent = window.Codes(WM_CLASS_EVENT, true);
    EXPECT_EQ(std::vector<int>(sent.begin() + static_cast<std::ptrdiff_t>(sentFrom), sent.end()),
              std::vector<int>{19});
    auto posted = window.Codes(WM_CLASS_EVENT, false);
    EXPECT_EQ(std::vector<int>(posted.end() - 2, posted.end()), (std::vector<int>{23, 3}));
}

TEST_F(ChinaRenContacts, AFailedVisitRunWritesNoFile)
{
    SetMembers({MakeMember("a", "甲", {"班级成员"})});
    site.Edit([](sim::chinaren::Data& d) { d.users[0].password = "changed"; });
    Update({}, 1);
    auto log = ClassLog(schoolClass);
    EXPECT_NE(std::find(log.begin(), log.end(), "[通讯录]登录失败, 无法更新访问信息."), log.end());
    EXPECT_FALSE(std::filesystem::exists(File()));
    EXPECT_EQ(window.Count(WM_CLASS_EVENT, 23), 1);
    EXPECT_EQ(window.Count(WM_CLASS_EVENT, 3), 1);
}

TEST_F(ChinaRenContacts, PageEscapesEveryValue)
{
    Member m = MakeMember("q\"u", "引\"号", {"<b onclick=x>"});
    m.details = {{"自我介绍：", "a\\b \"c\" </script><script>alert(1)</script>"}, {"性别：", "x\"</script>"}};
    SetMembers({m});
    Update({}, 0);
    const CString page = store->RenderPage("1");
    ASSERT_FALSE(page.IsEmpty());
    const std::string text = page.Str();
    EXPECT_EQ(text.find("alert(1)</script>"), std::string::npos);
    EXPECT_NE(text.find("a\\\\b \\\"c\\\" \\x3C/script\\x3E"), std::string::npos);
    EXPECT_NE(text.find("x\\\"\\x3C/script\\x3E"), std::string::npos);
    EXPECT_NE(text.find("q\\\"u"), std::string::npos);
    EXPECT_EQ(text.find("onclick"), std::string::npos);
    EXPECT_NE(text.find("friend.gif\\x3E"), std::string::npos);
    // Nothing stored for an unknown custo_id: the page is filled with nothing.
    EXPECT_EQ(store->RenderPage("77").Str().find("q\\\"u"), std::string::npos);
}

} // namespace
} // namespace tavrin::test
