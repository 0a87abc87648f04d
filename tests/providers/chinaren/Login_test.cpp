// The passport sign-in against the simulated site: the form, the cookie of
// the sign-in script, the reuse of a fresh cookie, failures, and the
// verification pictures renewed for every class.
#include "tests/providers/chinaren/ChinaRenFixture.h"

#include "core/model/MessageStore.h"
#include "providers/chinaren/site.h"
#include "tests/sim/chinaren/SiteChinaRen.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace tavrin::test {
namespace {

const char kLogin[] = "/login.jsp";
const char kSetCookie[] = "/urs/setcookie.jsp";
const char kReturn[] = "http%3A%2F%2Fprofile.chinaren.com%2Furs%2Fsetcookie.jsp%3Fburl%3Dhttp%3A%2F%2Fclass.chinaren.com"
                       "%2Findex.jsp";

using ChinaRenLogin = ChinaRenTest;

std::string Form(const std::string& loginId, const std::string& uid, const std::string& password)
{
    return "loginid=" + loginId + "&ru=" + kReturn +
           "&appid=1005&fl=1&vr=1%7C1&ct=1118324909&sg=5e0c7a91d2b84f36a0c1e9d7b3f62a58&uid=" + uid +
           "&utype=0&passwd=" + password;
}

TEST_F(ChinaRenLogin, FormBytesForBothKinds)
{
    struct Case {
        const char* provider;
        const char* user;
        const char* password;
        bool sohu;
        std::string body;
    } cases[] = {
        {"ChinaRen(ChinaRen用户)", "Tom", "pw", false, Form("Tom@chinaren.com", "Tom", "pw")},
        {"ChinaRen(Sohu用户)", "Tom", "pw", true, Form("Tom@sohu.com", "Tom", "pw")},
        {"ChinaRen(ChinaRen用户)", "a+b&c", "p w&=", false, Form("a%2Bb%26c@chinaren.com", "a%2Bb%26c", "p+w%26%3D")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        site.Edit([&](sim::chinaren::Data& d) {
            d.users.clear();
            sim::chinaren::User u;
            u.name = c.user;
            u.password = c.password;
            u.sohu = c.sohu;
            d.users.push_back(u);
        });
        sim.ClearLog();
        account.SetProvider(c.provider);
        account.SetUserNameAndPassword(c.user, c.password);
        account.SetCookie("");
        CHttpClient client;
        Aim(client);
        CString page;
        EXPECT_EQ(account.Login(&client, &page), 1);
        auto requests = sim.Requests(kLogin);
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].method, "POST");
        EXPECT_EQ(requests[0].host, tavrin::chinaren::kPassportHost);
        EXPECT_EQ(requests[0].body, c.body);
    }
}

TEST_F(ChinaRenLogin, SuccessKeepsExactlyTheSignInScriptsCookies)
{
    SeedUser();
    account.SetCookie("crclass=old; ");
    account.SetCookieTime(CTime(kNow - 3600));
    CHttpClient client;
    Aim(client);
    client.AddCookie("stale=1; ");
    CString page;
    ASSERT_EQ(account.Login(&client, &page), 1);
    EXPECT_NE(page.Find("登录成功,转入系统,请稍候......"), -1);

    const std::string cookie = account.GetCookie().Str();
    EXPECT_EQ(cookie.rfind("crclass=S", 0), 0u) << cookie;
    EXPECT_NE(cookie.find("; crinfo=1; "), std::string::npos) << cookie;
    EXPECT_EQ(cookie.find("ppinf"), std::string::npos) << cookie;
    EXPECT_EQ(cookie.find("stale"), std::string::npos) << cookie;
    EXPECT_EQ(cookie.find("old"), std::string::npos) << cookie;
    EXPECT_EQ(account.GetCookieTime().GetTime(), kNow);
    EXPECT_EQ(AccountLog(), (std::vector<std::string>{"[登录]开始登录...", "[登录]登录结束."}));

    // The script was asked with the captured address, its redirect not followed.
    auto scripts = sim.Requests(kSetCookie);
    ASSERT_EQ(scripts.size(), 1u);
    EXPECT_EQ(scripts[0].host, tavrin::chinaren::kProfileHost);
    EXPECT_EQ(scripts[0].Field("burl"), "http://class.chinaren.com/index.jsp");
    EXPECT_EQ(sim.Count("/index.jsp"), 0u);

    // The cookie opens the class site.
    CHttpClient reader;
    Aim(reader);
    reader.AddCookie(account.GetCookie());
    CByteArray bytes;
    ASSERT_TRUE(reader.Request("http://class.chinaren.com/index.jsp", "", bytes, ""));
    EXPECT_NE(CString(reinterpret_cast<const char*>(bytes.GetData()), static_cast<int>(bytes.GetSize())).Find("欢迎您，汤姆"),
              -1);
}

TEST_F(ChinaRenLogin, FailuresKeepTheStoredCookie)
{
    SeedUser();
    struct Case {
        const char* name;
        std::function<void()> arrange;
        const char* line;
    } cases[] = {
        {"wrong password", [&] { account.SetUserNameAndPassword("Tom", "wrong"); }, "[登录]用户名密码错误, 登录失败."},
        {"unknown page", [&] { sim.SetFault("", kLogin, sim::Fault::WithStatus(200)); }, "[登录]读取网页错误, 登录失败."},
        {"no location.href",
         [&] {
             sim.Route(tavrin::chinaren::kPassportHost, kLogin, [](const sim::Request&, sim::Response& response) {
                 response.Html(sim::chinaren::Page("通行证", "登录成功,转入系统,请稍候......<script>top.location=\"x\";"
                                                             "</script>"));
             });
         },
         "[登录]网络错误, 登录失败."},
        {"sign-in script without a cookie",
         [&] { sim.SetFault("", kSetCookie, sim::Fault::WithoutCookies()); }, "[登录]网络错误, 登录失败."},
        {"passport unreachable", [&] { sim.SetFault("", kLogin, sim::Fault::DropConnection()); },
         "[登录]网络错误, 登录失败."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        account.SetUserNameAndPassword("Tom", "pw");
        account.SetCookie("crclass=kept; ");
        account.SetCookieTime(CTime(kNow - 3600));
        c.arrange();
        CHttpClient client;
        Aim(client);
        CString page;
        EXPECT_EQ(account.Login(&client, &page), 0);
        EXPECT_EQ(AccountLog().back(), c.line);
        EXPECT_EQ(account.GetCookie(), CString("crclass=kept; "));
        EXPECT_EQ(account.GetCookieTime().GetTime(), kNow - 3600);
        sim.ClearFaults();
    }
}

TEST_F(ChinaRenLogin, CookieReuseByAge)
{
    SeedUser();
    struct Case {
        const char* name;
        const char* cookie;
        int64_t age;
        bool reused;
    } cases[] = {
        {"45:59 old", "crclass=old; ", 45 * 60 + 59, true},
        {"5:00 ahead", "crclass=old; ", -5 * 60, true},
        {"46:00 old", "crclass=old; ", 46 * 60, false},
        {"5:01 ahead", "crclass=old; ", -(5 * 60 + 1), false},
        {"empty cookie", "", 60, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim.ClearLog();
        account.SetCookie(c.cookie);
        account.SetCookieTime(CTime(kNow - c.age));
        const int lines = account.GetLogCount();
        CHttpClient client;
        Aim(client);
        client.AddCookie("stale=1; ");
        CString page = "untouched";
        ASSERT_EQ(account.Login(&client, &page), 1);
        if (c.reused) {
            EXPECT_TRUE(sim.Log().empty());
            EXPECT_EQ(account.GetLogCount(), lines);
            EXPECT_EQ(client.GetCookies(), CString(c.cookie));
            EXPECT_EQ(page, CString("untouched"));
        } else {
            EXPECT_EQ(sim.Count(kLogin), 1u);
            EXPECT_NE(account.GetCookie(), CString(c.cookie));
            EXPECT_EQ(client.GetCookies(), account.GetCookie());
            EXPECT_EQ(account.GetCookieTime().GetTime(), kNow);
        }
    }
}

TEST_F(ChinaRenLogin, StopDuringThePostFailsAndStaysStopped)
{
    SeedUser();
    auto gate = std::make_shared<sim::Gate>();
    sim.SetFault("", kLogin, sim::Fault::StallAt(gate));
    CHttpClient client;
    Aim(client);
    int result = -1;
    std::thread worker([&] {
        CString page;
        result = account.Login(&client, &page);
    });
    ASSERT_TRUE(gate->WaitArrivals(1));
    client.Abort();
    gate->Open();
    worker.join();
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(client.IsStopped());
    EXPECT_EQ(AccountLog().back(), "[登录]网络错误, 登录失败.");
    EXPECT_TRUE(account.GetCookie().IsEmpty());
    EXPECT_EQ(sim.Count(kSetCookie), 0u);

    // A client stopped before is not started again by a sign-in.
    sim.ClearFaults();
    sim.ClearLog();
    CString page;
    EXPECT_EQ(account.Login(&client, &page), 0);
    EXPECT_TRUE(client.IsStopped());
    EXPECT_TRUE(sim.Log().empty());
}

TEST_F(ChinaRenLogin, ConcurrentStaleSignInsSendOnePost)
{
    SeedUser();
    account.SetCookie("crclass=old; ");
    account.SetCookieTime(CTime(kNow - 3600));
    auto gate = std::make_shared<sim::Gate>();
    sim.SetFault("", kLogin, sim::Fault::StallAt(gate));
    CHttpClient clients[4];
    int results[4] = {};
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) {
        Aim(clients[i]);
        threads.emplace_back([&, i] {
            CString page;
            results[i] = account.Login(&clients[i], &page);
        });
    }
    ASSERT_TRUE(gate->WaitArrivals(1));
    gate->Open();
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(sim.Count(kLogin), 1u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(results[i], 1);
        EXPECT_EQ(clients[i].GetCookies().Find(account.GetCookie()), 0);
    }
}

TEST_F(ChinaRenLogin, SignInRenewsEveryClassesMessagePicture)
{
    SeedUser();
    CSchoolClassChinaRen* first = AddClass("c1");
    CSchoolClassChinaRen* second = AddClass("c2");
    CMessageStore* firstStore = first->GetMessageStore();
    CMessageStore* secondStore = second->GetMessageStore();
    firstStore->SetAuthKey("111", "");
    firstStore->SetAuthCode("1111", "");
    secondStore->SetAuthKey("222", "");
    secondStore->SetAuthCode("2222", "");
    dir.Write(ClassFolder("c2") + "/auth_message.gif", "old picture");
    site.Edit([](sim::chinaren::Data& d) { d.pictureAnswers["lwc2"] = sim::chinaren::PictureAnswer::Html; });

    CHttpClient client;
    Aim(client);
    CString page;
    ASSERT_EQ(account.Login(&client, &page), 1);

    const std::string query = "lwc1tom1117584000500";
    EXPECT_EQ(firstStore->GetAuthKey(""), CString("1117584000500"));
    EXPECT_TRUE(firstStore->GetAuthCode("").IsEmpty());
    EXPECT_EQ(TempDir::Read(dir.Path() / (ClassFolder("c1") + "/auth_message.gif")),
              sim::chinaren::DrawCode(site.CodeFor(query)));
    // The class whose answer was no picture keeps picture and code, not its key.
    EXPECT_EQ(secondStore->GetAuthKey(""), CString("1117584000500"));
    EXPECT_EQ(secondStore->GetAuthCode(""), CString("2222"));
    EXPECT_EQ(TempDir::Read(dir.Path() / (ClassFolder("c2") + "/auth_message.gif")), "old picture");
    auto pictures = sim.Requests("/verifyimg");
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[0].query, query);
    EXPECT_EQ(pictures[1].query, "lwc2tom1117584000500");
    EXPECT_EQ(AccountLog(), (std::vector<std::string>{"[登录]开始登录...", "[登录]登录结束."}));
}

TEST_F(ChinaRenLogin, AccountWithoutClassesSignsIn)
{
    SeedUser(true);
    account.SetProvider("ChinaRen(Sohu用户)");
    CHttpClient client;
    Aim(client);
    CString page;
    EXPECT_EQ(account.Login(&client, &page), 1);
    EXPECT_EQ(sim.Count("/verifyimg"), 0u);
    EXPECT_EQ(AccountLog(), (std::vector<std::string>{"[登录]开始登录...", "[登录]登录结束."}));
}

TEST_F(ChinaRenLogin, ClassDeletedDuringItsPictureRequestGetsNothing)
{
    SeedUser();
    AddClass("c1");
    auto gate = std::make_shared<sim::Gate>();
    sim.SetFault("", "/verifyimg", sim::Fault::StallAt(gate));
    CHttpClient client;
    Aim(client);
    int result = -1;
    std::thread worker([&] {
        CString page;
        result = account.Login(&client, &page);
    });
    ASSERT_TRUE(gate->WaitArrivals(1));
    account.DeleteClass("c1");
    gate->Open();
    worker.join();
    EXPECT_EQ(result, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / (ClassFolder("c1") + "/auth_message.gif")));
}

} // namespace
} // namespace tavrin::test
