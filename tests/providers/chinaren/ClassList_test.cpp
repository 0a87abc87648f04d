// The class list rebuilt from the site's home page.
#include "tests/providers/chinaren/ChinaRenFixture.h"

#include "core/model/MessageStore.h"
#include "core/model/ModelEvents.h"
#include "core/model/PictureStore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <thread>

namespace tavrin::test {
namespace {

const char kStamp[] = "1117584000500";

class ChinaRenClassList : public ChinaRenTest {
protected:
    ChinaRenClassList()
    {
        SeedUser();
        site.Edit([](sim::chinaren::Data& d) {
            d.users[0].classIds = {"301", "302", "303"};
            auto& a = d.AddClass("301");
            a.schoolId = "77";
            a.schoolName = "学校A";
            a.name = "<b>一班</b>";
            auto& b = d.AddClass("302");
            b.schoolId = "78";
            b.schoolName = "学校B";
            b.name = "二班";
            auto& c = d.AddClass("303");
            c.schoolId = "77";
            c.schoolName = "学校A";
            c.name = "三班";
        });
    }

    void UpdateClassList()
    {
        window.RunOnWorker([&] { account.UpdateClassList(0); });
    }

    std::vector<std::string> Ids()
    {
        std::vector<std::string> ids;
        for (int i = 0; i < account.GetClassCount(); ++i)
            ids.push_back(account.GetClassAt(i)->GetId().Str());
        return ids;
    }

    int ClassListEvents() { return window.Count(WM_ACCOUNT_EVENT, 1); }
};

TEST_F(ChinaRenClassList, ClassesOfTheHomePageInPageOrder)
{
    dir.Write(ClassFolder("302") + "/message.xml",
              "<message>\n\t<item read=\"1\" custo_id=\"1\" id=\"\">\n\t\t<time>t</time>\n\t</item>\n</message>\n");
    // Each new class asks for its class page on its own pool.
    auto classPages = std::make_shared<sim::Gate>();
    sim.SetFault("", "/class/class_index.jsp", sim::Fault::StallAt(classPages));
    UpdateClassList();
    ASSERT_TRUE(classPages->WaitArrivals(3));
    classPages->Open();
    std::set<std::string> asked;
    for (const auto& request : sim.Requests("/class/class_index.jsp"))
        asked.insert(request.query);
    EXPECT_EQ(asked, (std::set<std::string>{"classuuid=301", "classuuid=302", "classuuid=303"}));
    ASSERT_EQ(Ids(), (std::vector<std::string>{"301", "302", "303"}));
    CSchoolClass* first = account.GetClassAt(0);
    EXPECT_EQ(first->GetName(), CString("一班"));
    EXPECT_EQ(first->GetCustoName(), CString("一班"));
    EXPECT_EQ(first->GetSchoolName(), CString("学校A"));
    EXPECT_EQ(first->GetSchoolId(), CString("77"));
    EXPECT_EQ(account.GetClassAt(1)->GetSchoolId(), CString("78"));
    EXPECT_EQ(account.GetClassAt(1)->GetMessageStore()->GetItemCount(), 1);
    std::vector<std::string> expected;
    for (const char* id : {"301", "302", "303"}) {
        EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / ClassFolder(id))) << id;
        EXPECT_TRUE(std::filesystem::exists(dir.Path() / (ClassFolder(id) + "/auth_message.gif"))) << id;
        EXPECT_TRUE(std::filesystem::exists(dir.Path() / (ClassFolder(id) + "/auth_picture.gif"))) << id;
        expected.push_back(std::string("lw") + id + "tom" + kStamp);
        expected.push_back(std::string("cp") + id + "tom" + kStamp);
    }
    std::vector<std::string> queries;
    for (const auto& request : sim.Requests("/verifyimg"))
        queries.push_back(request.query);
    EXPECT_EQ(queries, expected);
    EXPECT_EQ(ClassListEvents(), 1);
    auto log = AccountLog();
    EXPECT_EQ(log.front(), "[班级信息]开始更新...");
    EXPECT_EQ(log.back(), "[班级信息]更新结束.");
}

TEST_F(ChinaRenClassList, ListedClassesComeBackAsNewObjectsWithTheirStoredItems)
{
    dir.Write(ClassFolder("302") + "/picture.xml",
              "<picture>\n\t<item read=\"0\" custo_id=\"1\" id=\"p1\" small_id=\"\" status=\"\"/>\n</picture>\n");
    UpdateClassList();
    CSchoolClass* old = account.GetClassAt(1);
    old->SetCustoName("我的班");
    old->GetMessageStore()->SetAuthCode("1234", "");
    UpdateClassList();
    EXPECT_NE(account.GetClassAt(1), old);
    ASSERT_EQ(Ids(), (std::vector<std::string>{"301", "302", "303"}));
    CSchoolClass* again = account.GetClassAt(1);
    EXPECT_EQ(again->GetCustoName(), CString("二班"));
    EXPECT_TRUE(again->GetMessageStore()->GetAuthCode("").IsEmpty());
    EXPECT_EQ(again->GetPictureStore()->GetItemCount(), 1);
    EXPECT_EQ(ClassListEvents(), 2);
}

TEST_F(ChinaRenClassList, FailuresKeepTheClasses)
{
    UpdateClassList();
    const std::vector<std::string> before = Ids();
    struct Case {
        const char* name;
        std::function<void()> arrange;
        const char* line;
        bool cookieEmpty;
    } cases[] = {
        {"sign-in failure", [&] { account.SetUserNameAndPassword("Tom", "wrong"); }, "[班级信息]更新失败.", true},
        {"home page request failure", [&] { sim.SetFault("", "/index.jsp", sim::Fault::DropConnection()); },
         "[班级信息]网络错误, 更新失败.", false},
        {"a page without class links",
         [&] { site.Edit([](sim::chinaren::Data& d) { d.users[0].classIds.clear(); }); },
         "[班级信息]读取网页错误, 更新失败.", false},
    };
    int events = ClassListEvents();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.arrange();
        UpdateClassList();
        EXPECT_EQ(Ids(), before);
        EXPECT_EQ(AccountLog().back(), c.line);
        EXPECT_EQ(ClassListEvents(), ++events);
        if (c.cookieEmpty) {
            EXPECT_TRUE(account.GetCookie().IsEmpty());
        }
        account.SetUserNameAndPassword("Tom", "pw");
        sim.ClearFaults();
    }
}

TEST_F(ChinaRenClassList, RepeatedClassIdIsSkipped)
{
    site.Edit([](sim::chinaren::Data& d) { d.users[0].classIds = {"301", "302", "301"}; });
    UpdateClassList();
    EXPECT_EQ(Ids(), (std::vector<std::string>{"301", "302"}));
}

TEST_F(ChinaRenClassList, FailedPictureLeavesItMissing)
{
    dir.Write(ClassFolder("302") + "/auth_picture.gif", "old picture");
    site.Edit([](sim::chinaren::Data& d) { d.pictureAnswers["cp302"] = sim::chinaren::PictureAnswer::Gif404; });
    UpdateClassList();
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / (ClassFolder("302") + "/auth_picture.gif")));
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / (ClassFolder("302") + "/auth_message.gif")));
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / (ClassFolder("301") + "/auth_picture.gif")));
}

TEST_F(ChinaRenClassList, ClassDeletedDuringThePass)
{
    auto gate = std::make_shared<sim::Gate>();
    sim.SetFault("", "/verifyimg", sim::Fault::StallAt(gate).Times(1));
    std::thread worker([&] { account.UpdateClassList(0); });
    ASSERT_TRUE(gate->WaitArrivals(1));
    // The pass waits on the first class's picture; the window deletes it.
    account.DeleteClass("301");
    gate->Open();
    worker.join();
    window.Pump();
    EXPECT_EQ(Ids(), (std::vector<std::string>{"302", "303"}));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / (ClassFolder("301") + "/auth_message.gif")));
}

} // namespace
} // namespace tavrin::test
