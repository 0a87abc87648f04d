#include "providers/5460/site.h"
#include "tests/providers/5460/ProviderFixture.h"

#include "core/model/ModelEvents.h"

#include <thread>

namespace tavrin::test {
namespace {

const char kLogin[] = "/gy5460/jsp/login/login.jsp";

using Account5460Test = Provider5460Test;

TEST_F(Account5460Test, FeatureFlags)
{
    EXPECT_TRUE(account.HasMessageSubject());
    EXPECT_TRUE(account.HasPrivateSubject());
    EXPECT_FALSE(account.SupportsSmileys());
    EXPECT_FALSE(account.NeedsVerifyCode(0));
    EXPECT_FALSE(account.NeedsVerifyCode(1));
    EXPECT_EQ(account.GetPrivateFeatureName(), CString("悄悄话"));
    CSchoolClass* made = account.CreateClass();
    EXPECT_NE(dynamic_cast<CSchoolClass5460*>(made), nullptr);
    delete made;
}

TEST_F(Account5460Test, CookieReuseBySignInAge)
{
    SeedUser();
    struct Case {
        const char* name;
        const char* cookie;
        int64_t age;
        bool reused;
    } cases[] = {
        {"45:59 old", "JSESSIONID=old; ", 45 * 60 + 59, true},
        {"46:00 old", "JSESSIONID=old; ", 46 * 60, false},
        {"5 minutes ahead", "JSESSIONID=old; ", -5 * 60, true},
        {"an hour ahead", "JSESSIONID=old; ", -3600, false},
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
            EXPECT_EQ(sim.Count(kLogin), 0u);
            EXPECT_EQ(account.GetLogCount(), lines);
            EXPECT_EQ(client.GetCookies(), CString(c.cookie));
            EXPECT_EQ(page, CString("untouched"));
        } else {
            EXPECT_EQ(sim.Count(kLogin), 1u);
            auto log = AccountLog();
            ASSERT_GE(log.size(), 2u);
            EXPECT_EQ(log[log.size() - 2], "[登录]开始登录...");
            EXPECT_EQ(log.back(), "[登录]登录结束.");
            EXPECT_NE(page.Find("<title>5460中国同学录欢迎您</title>"), -1);
            EXPECT_EQ(account.GetCookie(), client.GetCookies());
            EXPECT_EQ(account.GetCookieTime().GetTime(), kNow);
            EXPECT_EQ(client.GetCookies().Find("stale="), -1);
        }
    }
}

TEST_F(Account5460Test, FormCarriesEncodedNameAndPassword)
{
    sim.Edit([](sim::Scenario& s) {
        sim::User u;
        u.name = "a&b=c d";
        u.password = "p&=+ x";
        s.users.push_back(u);
    });
    account.SetUserNameAndPassword("a&b=c d", "p&=+ x");
    CHttpClient client;
    Aim(client);
    CString page;
    EXPECT_EQ(account.Login(&client, &page), 1);
    auto requests = sim.Requests(kLogin);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].body,
              "username=a%26b%3Dc+d&passwd=p%26%3D%2B+x&autologin=1&txlHref=/jsp/login/loginMain.jsp");
    EXPECT_EQ(requests[0].host, tavrin::p5460::kWebHost1);
}

TEST_F(Account5460Test, SecondWebHostForItsProviderType)
{
    SeedUser();
    account.SetProvider("5460(网通用户)");
    CHttpClient client;
    Aim(client);
    CString page;
    EXPECT_EQ(account.Login(&client, &page), 1);
    EXPECT_EQ(sim.Log().at(0).host, tavrin::p5460::kWebHost2);
}

TEST_F(Account5460Test, RefusalsKeepTheStoredCookie)
{
    SeedUser();
    sim.Edit([](sim::Scenario& s) {
        sim::User u;
        u.name = "locked";
        u.password = "pw";
        u.locked = true;
        s.users.push_back(u);
    });
    struct Case {
        const char* user;
        const char* password;
        bool noCookies;
        const char* line;
    } cases[] = {
        {"li", "wrong", false, "[登录]密码错误, 请重新输入."},
        {"nobody", "pw", false, "[登录]用户名不存在, 请重新输入."},
        {"locked", "pw", false, "[登录]连续输错帐号, 请30分钟后再登录."},
        {"li", "pw", true, "[登录]读取网页错误, 登录失败."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        account.SetUserNameAndPassword(c.user, c.password);
        account.SetCookie("JSESSIONID=kept; ");
        account.SetCookieTime(CTime(kNow - 3600));
        if (c.noCookies)
            sim.SetFault("", kLogin, sim::Fault::WithoutCookies());
        CHttpClient client;
        Aim(client);
        CString page;
        EXPECT_EQ(account.Login(&client, &page), 0);
        EXPECT_EQ(AccountLog().back(), c.line);
        EXPECT_EQ(account.GetCookie(), CString("JSESSIONID=kept; "));
        EXPECT_EQ(account.GetCookieTime().GetTime(), kNow - 3600);
        sim.ClearFaults();
    }
}

TEST_F(Account5460Test, NetworkFailures)
{
    SeedUser();
    int closedPort = 0;
    {
        sim::Simulator gone;
        closedPort = gone.Port();
    }
    CHttpClient client;
    client.SetProxy("127.0.0.1", CString(std::to_string(closedPort)), "", "", "", TRUE);
    client.SetRetryCount(0);
    CString page = "untouched";
    EXPECT_EQ(account.Login(&client, &page), 0);
    EXPECT_EQ(AccountLog().back(), "[登录]网络错误, 登录失败.");
    EXPECT_EQ(page, CString("untouched"));

    sim.SetFault("", kLogin, sim::Fault::DropConnection());
    Aim(client);
    EXPECT_EQ(account.Login(&client, &page), 0);
    EXPECT_EQ(AccountLog().back(), "[登录]网络错误, 登录失败.");
    EXPECT_TRUE(account.GetCookie().IsEmpty());
}

// A stop given during an operation is not undone when a stale cookie makes
// the operation sign in again: the sign-in fails without a request.
TEST_F(Account5460Test, StoppedClientStaysStopped)
{
    SeedUser();
    CHttpClient client;
    Aim(client);
    client.Abort();
    CString page;
    EXPECT_EQ(account.Login(&client, &page), 0);
    EXPECT_TRUE(client.IsStopped());
    EXPECT_TRUE(sim.Requests(kLogin).empty());
    EXPECT_TRUE(account.GetCookie().IsEmpty());
}

TEST_F(Account5460Test, ConcurrentStaleSignInsSendOneRequest)
{
    SeedUser();
    account.SetCookie("JSESSIONID=old; ");
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
        EXPECT_EQ(clients[i].GetCookies(), account.GetCookie());
    }
    EXPECT_NE(account.GetCookie(), CString("JSESSIONID=old; "));
}

} // namespace
} // namespace tavrin::test
