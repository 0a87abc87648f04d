// The personal profile read into "profile.htm" and posted back.
#include "tests/providers/chinaren/ChinaRenFixture.h"

#include "core/model/ModelEvents.h"
#include "providers/chinaren/site.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <thread>

namespace tavrin::test {
namespace {

const char kRegister[] = "/class/class_register.jsp";

class ChinaRenProfile : public ChinaRenTest {
protected:
    ChinaRenProfile()
    {
        SeedUser();
        site.Edit([](sim::chinaren::Data& d) {
            d.users[0].classIds = {"301"};
            d.AddClass("301").name = "一班";
            auto& p = d.users[0].profile;
            p["realname"] = "汤姆";
            p["isman"] = "1";
            p["mail"] = "t\"m@example.com";
            p["b_mon"] = "5";
            p["ispublic"] = "1";
            p["edu"] = "本科";
            p["memo"] = "第一行\r\n他说\"好\" C:\\dir";
        });
    }

    void Read() { window.RunOnWorker([&] { account.ReadProfile(0); }); }
    void Update(const std::string& body)
    {
        CByteArray form;
        form.SetSize(static_cast<INT_PTR>(body.size()));
        std::copy(body.begin(), body.end(), reinterpret_cast<char*>(form.GetData()));
        window.RunOnWorker([&] { account.UpdateProfile(&form, 0); });
    }
    // The read an update starts runs on the account's pool.
    void WaitForRead()
    {
        // A safety limit only: a read that works ends long before.
        const std::time_t limit = std::time(nullptr) + 30;
        while (account.IsReadingProfile() && std::time(nullptr) < limit) {
            window.Pump();
            std::this_thread::yield();
        }
        window.Pump();
    }
    std::string ProfilePage() { return TempDir::Read(dir.Path() / "accounts/Tom@cr/profile.htm"); }
    // The account events but the log lines.
    std::vector<int> Events()
    {
        std::vector<int> codes;
        for (int code : window.Codes(WM_ACCOUNT_EVENT, false))
            if (code != 0)
                codes.push_back(code);
        return codes;
    }
    std::string Tm()
    {
        auto requests = sim.Requests("/verifyimg");
        return requests.empty() ? std::string() : requests.back().query.substr(4);
    }
};

TEST_F(ChinaRenProfile, ReadFillsTheTemplateAndStoresThePicture)
{
    AddClass("301");
    Read();
    EXPECT_EQ(Events(), (std::vector<int>{4, 2}));
    EXPECT_EQ(AccountLog().back(), "[个人档案]读取结束.");
    const std::string page = ProfilePage();
    EXPECT_NE(page.find("var read_time = \"2005年06月01日 08:00:00\";"), std::string::npos) << page;
    EXPECT_NE(page.find("var class_id = \"301\";"), std::string::npos);
    EXPECT_NE(page.find("var realname = \"汤姆\";"), std::string::npos);
    EXPECT_NE(page.find("var sex = \"男\";"), std::string::npos);
    EXPECT_NE(page.find("var mail = \"t\\\"m@example.com\";"), std::string::npos);
    // One line, the quote and the backslash escaped.
    EXPECT_NE(page.find("var memo = \"第一行 他说\\\"好\\\" C:\\\\dir\";"), std::string::npos) << page;
    EXPECT_NE(page.find("var ispublic = \"checked\";"), std::string::npos);
    EXPECT_NE(page.find("\\x3Coption value=\\\"5\\\" selected\\x3E5\\x3C/option\\x3E"), std::string::npos);
    EXPECT_EQ(page.find("\\x3C/option\\x3E\\r"), std::string::npos);
    const std::string tm = Tm();
    ASSERT_FALSE(tm.empty());
    EXPECT_NE(page.find("var tm = \"" + tm + "\";"), std::string::npos);
    EXPECT_EQ(TempDir::Read(dir.Path() / "accounts/Tom@cr/reg.gif"),
              sim::chinaren::DrawCode(site.CodeFor("creg" + tm)));
    auto requests = sim.Requests(kRegister);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].query, "classuuid=301");
}

TEST_F(ChinaRenProfile, SexFromTheRadioButtonInAnyCase)
{
    AddClass("301");
    struct Case {
        const char* radio;
        const char* sex;
    } cases[] = {
        {"<input name=isman type=radio value=1 checked>", "男"},
        {"<INPUT NAME=ISMAN TYPE=RADIO VALUE=1 CHECKED>", "男"},
        {"<input name=isman type=radio value=0 CHECKED>", "女"},
        {"", "女"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.radio);
        sim.Route(tavrin::chinaren::kClassHost, kRegister, [&](const sim::Request&, sim::Response& response) {
            response.Html(sim::chinaren::Page("个人档案", std::string(c.radio) + "<input type=hidden name=tm value='7'>"));
        });
        Read();
        EXPECT_NE(ProfilePage().find(std::string("var sex = \"") + c.sex + "\";"), std::string::npos);
    }
}

TEST_F(ChinaRenProfile, ReadFailures)
{
    struct Case {
        const char* name;
        std::function<void()> arrange;
        const char* line;
    } cases[] = {
        {"no class", [] {}, "[个人档案]网络错误, 读取失败."},
        {"sign-in failure",
         [&] {
             account.SetCookie("");
             account.SetUserNameAndPassword("Tom", "wrong");
         },
         "[个人档案]登录失败, 无法读取."},
        {"no tm",
         [&] {
             sim.Route(tavrin::chinaren::kClassHost, kRegister, [](const sim::Request&, sim::Response& response) {
                 response.Html(sim::chinaren::Page("个人档案", "<form></form>"));
             });
         },
         "[个人档案]未知错误, 读取失败."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (std::string(c.name) != "no class" && account.GetClassCount() == 0)
            AddClass("301");
        c.arrange();
        sim.ClearLog();
        Read();
        EXPECT_EQ(AccountLog().back(), c.line);
        EXPECT_NE(ProfilePage().find("个人档案读取失败."), std::string::npos);
        account.SetUserNameAndPassword("Tom", "pw");
    }
    // Without tm the picture is still asked for, with an empty stamp.
    std::vector<std::string> profilePictures;
    for (const auto& request : sim.Requests("/verifyimg"))
        if (request.query.rfind("creg", 0) == 0)
            profilePictures.push_back(request.query);
    EXPECT_EQ(profilePictures, std::vector<std::string>{"creg"});
    EXPECT_EQ(Events(), (std::vector<int>{4, 2, 4, 2, 4, 2}));
}

TEST_F(ChinaRenProfile, MissingTemplateWritesAnEmptyPage)
{
    AddClass("301");
    std::filesystem::remove(dir.Path() / "styles/chinaren/default/profile.html");
    Read();
    EXPECT_EQ(AccountLog().back(), "[个人档案]读取结束.");
    EXPECT_EQ(ProfilePage(), "");
}

TEST_F(ChinaRenProfile, UpdateWithTheRightCodeReadsAgain)
{
    AddClass("301");
    Read();
    const std::string tm = Tm();
    const std::string code = site.CodeFor("creg" + tm);
    window.Pump();
    const size_t before = Events().size();
    Update("realname=%C0%EE&isman=0&tm=" + tm + "&ark=" + code);
    WaitForRead();
    std::vector<int> events = Events();
    events.erase(events.begin(), events.begin() + static_cast<long>(before));
    EXPECT_EQ(events, (std::vector<int>{4, 3, 4, 2}));
    site.Edit([](sim::chinaren::Data& d) { EXPECT_EQ(d.users[0].profile["isman"], "0"); });
    EXPECT_NE(ProfilePage().find("var sex = \"女\";"), std::string::npos);
}

TEST_F(ChinaRenProfile, RejectedUpdatesStartNoRead)
{
    AddClass("301");
    struct Case {
        const char* name;
        bool serverError;
        const char* line;
    } cases[] = {
        {"wrong code", false, "[个人档案]验证码错误, 更新失败."},
        {"status 500", true, "[个人档案]网络错误, 更新失败."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.serverError)
            sim.SetFault("", kRegister, sim::Fault::WithStatus(500));
        sim.ClearLog();
        const size_t before = Events().size();
        Update("realname=x&tm=1&ark=0000");
        std::vector<int> events = Events();
        events.erase(events.begin(), events.begin() + static_cast<long>(before));
        EXPECT_EQ(events, (std::vector<int>{4, 4, 3}));
        EXPECT_EQ(AccountLog().back(), c.line);
        EXPECT_FALSE(account.IsReadingProfile());
        auto requests = sim.Requests(kRegister);
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].method, "POST");
        EXPECT_NE(ProfilePage().find("个人档案更新失败."), std::string::npos);
        sim.ClearFaults();
    }
}

} // namespace
} // namespace tavrin::test
