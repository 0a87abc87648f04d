// The provider simulator itself: routing by the host of absolute targets,
// the request log, faults, sessions and the 5460 sign-in and member pages.
#include "providers/5460/site.h"
#include "tests/sim/5460/Site5460.h"
#include "tests/sim/Fetch.h"
#include "tests/sim/Simulator.h"

#include <gtest/gtest.h>

#include <thread>

namespace tavrin::sim {
namespace {

const std::string kHost1 = std::string("http://") + tavrin::p5460::kWebHost1;
const std::string kHost2 = std::string("http://") + tavrin::p5460::kWebHost2;
const std::string kLogin = "/gy5460/jsp/login/login.jsp";
const std::string kPerson = "/gy5460/jsp/person/person.jsp";

class SimulatorTest : public ::testing::Test {
protected:
    SimulatorTest()
    {
        p5460::Install(sim);
        sim.Edit([](Scenario& s) {
            User u;
            u.name = "alice";
            u.password = "p&ss word";
            u.realName = "张三";
            u.userId = "501";
            u.classIds = {"77"};
            s.users.push_back(u);
            SchoolClass& c = s.Class("77");
            c.schoolName = "一中";
            c.name = "三班";
            Member m;
            m.realName = "张三";
            m.id = "501";
            m.intro = "say \"hi\"";
            c.members.push_back(m);
            s.Class("78").name = "other";
        });
    }

    Fetched Get(const std::string& url, const std::vector<std::string>& headers = {})
    {
        return Fetch(sim.Port(), "GET", url, "", headers);
    }

    // Signs alice in and returns the cookie header line for later requests.
    std::string SignIn(const std::string& host)
    {
        Fetched f = Fetch(sim.Port(), "POST", host + kLogin, "username=alice&passwd=p%26ss+word&autologin=1",
                          {"Content-Type: application/x-www-form-urlencoded"});
        EXPECT_EQ(f.status, 200);
        std::string cookie = "Cookie: ";
        for (const auto& [key, value] : f.headers)
            if (ToLower(key) == "set-cookie")
                cookie += value.substr(0, value.find(';')) + "; ";
        return cookie;
    }

    Simulator sim;
};

TEST_F(SimulatorTest, RoutesByTheHostOfTheAbsoluteTarget)
{
    for (const std::string& host : {kHost1, kHost2}) {
        Fetched f = Fetch(sim.Port(), "POST", host + kLogin, "username=alice&passwd=p%26ss+word");
        ASSERT_TRUE(f.ok);
        EXPECT_EQ(f.status, 200);
        EXPECT_NE(f.body.find("<title>5460中国同学录欢迎您</title>"), std::string::npos) << host;
    }
    // Scheme and host in any letter case, with a port.
    Fetched upper = Fetch(sim.Port(), "POST", "HTTP://WWW.5460.NET:80" + kLogin, "username=alice&passwd=p%26ss+word");
    EXPECT_NE(upper.body.find("欢迎您"), std::string::npos);
    // A known host without the path, and an origin-form target without Host.
    EXPECT_EQ(Get(kHost1 + "/nothing.jsp").status, 404);
    EXPECT_EQ(Fetch(sim.Port(), "GET", "/x").ok, false);
    auto log = sim.Log();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0].host, tavrin::p5460::kWebHost1);
    EXPECT_EQ(log[1].host, tavrin::p5460::kWebHost2);
    EXPECT_EQ(log[2].host, "www.5460.net");
    EXPECT_EQ(log[2].path, kLogin);
}

TEST_F(SimulatorTest, ForeignHostsServeFilesAndImages)
{
    sim.AddFile("http://pics.example.org/a/b.jpg?x=1", "JPEGDATA", "image/jpeg");
    Fetched file = Get("http://pics.example.org/a/b.jpg?x=1");
    EXPECT_EQ(file.status, 200);
    EXPECT_EQ(file.body, "JPEGDATA");
    EXPECT_EQ(file.Header("Content-Type"), "image/jpeg");

    Fetched any = Get("http://elsewhere.example.com/img/s_12.GIF");
    EXPECT_EQ(any.status, 200);
    EXPECT_EQ(any.body.substr(0, 6), "GIF89a");
    EXPECT_EQ(Get("http://elsewhere.example.com/page.html").status, 404);
    // Not on a provider's own host: there the routes decide.
    EXPECT_EQ(Get(kHost1 + "/logo.gif").status, 404);
    sim.SetForeignImages(false);
    EXPECT_EQ(Get("http://elsewhere.example.com/img/s_12.gif").status, 404);
}

TEST_F(SimulatorTest, LogsDecodedFieldsCookiesAndMultipartParts)
{
    const std::string boundary = "---------------------------7d51a3b1d0a";
    std::string body = "--" + boundary + "\r\nContent-Disposition: form-data; name=\"title\"\r\n\r\n照片一\r\n" + "--" +
                       boundary +
                       "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"C:\\pic\\a.jpg\"\r\n"
                       "Content-Type: image/jpeg\r\n\r\n\xFF\xD8\r\n--x\r\n" +
                       "--" + boundary + "--\r\n";
    Fetch(sim.Port(), "POST", "http://upload.example.com/up.jsp?classID=77&name=%D5%C5", body,
          {"Content-Type: multipart/form-data; boundary=" + boundary, "Cookie: a=1; JSESSIONID=xyz"});
    auto requests = sim.Requests("/up.jsp");
    ASSERT_EQ(requests.size(), 1u);
    const Request& r = requests[0];
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.Field("classID"), "77");
    EXPECT_EQ(r.Field("name"), "\xD5\xC5");
    EXPECT_EQ(r.Cookie("a"), "1");
    EXPECT_EQ(r.Cookie("JSESSIONID"), "xyz");
    ASSERT_EQ(r.parts.size(), 2u);
    EXPECT_EQ(r.parts[0].name, "title");
    EXPECT_EQ(r.parts[0].data, "照片一");
    EXPECT_EQ(r.Field("title"), "照片一");
    EXPECT_EQ(r.parts[1].fileName, "C:\\pic\\a.jpg");
    EXPECT_EQ(r.parts[1].contentType, "image/jpeg");
    EXPECT_EQ(r.parts[1].data, "\xFF\xD8\r\n--x");
    EXPECT_EQ(sim.Count("/up.jsp"), 1u);
    sim.ClearLog();
    EXPECT_TRUE(sim.Log().empty());
}

TEST_F(SimulatorTest, FaultsPerRoute)
{
    sim.Route("", "/page", [](const Request&, Response& r) { r.Html("normal"); });
    struct Case {
        const char* name;
        Fault fault;
        bool ok;
        int status;
        std::string body;
        std::string location;
    } cases[] = {
        {"404", Fault::WithStatus(404), true, 404, "<html><body>404</body></html>", ""},
        {"500", Fault::WithStatus(500), true, 500, "<html><body>500</body></html>", ""},
        {"302", Fault::RedirectTo("http://x.example/y"), true, 302, "", "http://x.example/y"},
        {"drop", Fault::DropConnection(), false, 0, "", ""},
        {"empty", Fault::Empty(), true, 200, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim.SetFault("any.example", "/page", c.fault);
        Fetched f = Get("http://any.example/page");
        EXPECT_EQ(f.ok, c.ok);
        EXPECT_EQ(f.status, c.status);
        EXPECT_EQ(f.body, c.body);
        EXPECT_EQ(f.Header("Location"), c.location);
        // Other hosts are not affected.
        EXPECT_EQ(Get("http://other.example/page").body, "normal");
    }
    sim.ClearFault("any.example", "/page");
    EXPECT_EQ(Get("http://any.example/page").body, "normal");

    // A fault for a number of requests, on every host.
    sim.SetFault("", "/page", Fault::WithStatus(500).Times(2));
    EXPECT_EQ(Get("http://a.example/page").status, 500);
    EXPECT_EQ(Get("http://b.example/page").status, 500);
    EXPECT_EQ(Get("http://a.example/page").body, "normal");
    sim.SetFault("", "/page", Fault::WithStatus(404));
    sim.ClearFaults();
    EXPECT_EQ(Get("http://a.example/page").status, 200);
}

TEST_F(SimulatorTest, StalledRouteWaitsForTheTestWhileOthersAreServed)
{
    sim.Route("", "/slow", [](const Request&, Response& r) { r.Html("late"); });
    sim.Route("", "/fast", [](const Request&, Response& r) { r.Html("quick"); });
    auto gate = std::make_shared<Gate>();
    sim.SetFault("", "/slow", Fault::StallAt(gate));
    Fetched slow;
    std::thread t([&] { slow = Get("http://h.example/slow"); });
    ASSERT_TRUE(gate->WaitArrivals(1));
    EXPECT_EQ(Get("http://h.example/fast").body, "quick");
    EXPECT_FALSE(slow.ok);
    gate->Open();
    t.join();
    EXPECT_EQ(slow.body, "late");
    EXPECT_EQ(gate->Arrivals(), 1);
}

TEST_F(SimulatorTest, StopEndsStalledRequests)
{
    auto gate = std::make_shared<Gate>();
    sim.SetFault("", "/stuck", Fault::StallAt(gate));
    Fetched stuck;
    std::thread t([&] { stuck = Get("http://h.example/stuck"); });
    ASSERT_TRUE(gate->WaitArrivals(1));
    sim.Stop();
    t.join();
    EXPECT_FALSE(stuck.ok);
}

TEST_F(SimulatorTest, RepeatedPageAnswersPageOneForEveryNumber)
{
    sim.Route("", "/list.jsp", [](const Request& q, Response& r) { r.Html("page " + q.Field("PageNum")); });
    EXPECT_EQ(Get("http://h.example/list.jsp?PageNum=3").body, "page 3");
    sim.SetFault("", "/list.jsp", Fault::RepeatFirstPage());
    EXPECT_EQ(Get("http://h.example/list.jsp?PageNum=3").body, "page 1");
    // The log keeps what the client asked for.
    EXPECT_EQ(sim.Log().back().Field("PageNum"), "3");
}

TEST_F(SimulatorTest, SignInRefusalsAndTheLockout)
{
    sim.Edit([](Scenario& s) {
        User u;
        u.name = "bob";
        u.password = "x";
        u.locked = true;
        s.users.push_back(u);
    });
    struct Case {
        std::string form;
        std::string text;
    } cases[] = {
        {"username=alice&passwd=wrong", "密码错误，请重新输入"},
        {"username=nobody&passwd=x", "用户名不存在，请重新输入"},
        {"username=bob&passwd=x", "为保证系统安全，请30分钟后再来！"},
    };
    for (const Case& c : cases) {
        Fetched f = Fetch(sim.Port(), "POST", kHost1 + kLogin, c.form);
        EXPECT_NE(f.body.find(c.text), std::string::npos) << c.form;
        EXPECT_EQ(f.body.find("欢迎您"), std::string::npos);
        EXPECT_EQ(f.Header("Set-Cookie"), "");
    }
    sim.SetFault("", kLogin, Fault::WithoutCookies());
    Fetched bare = Fetch(sim.Port(), "POST", kHost1 + kLogin, "username=alice&passwd=p%26ss+word");
    EXPECT_NE(bare.body.find("欢迎您"), std::string::npos);
    EXPECT_EQ(bare.Header("Set-Cookie"), "");
}

TEST_F(SimulatorTest, MemberPagesNeedASessionOfAClassMember)
{
    Fetched anonymous = Get(kHost1 + kPerson + "?classID=77");
    EXPECT_EQ(anonymous.status, 200);
    EXPECT_EQ(ToLower(anonymous.body).find("<textarea"), std::string::npos);

    std::string cookie = SignIn(kHost2);
    Fetched page = Get(kHost1 + kPerson + "?classID=77", {cookie});
    EXPECT_NE(page.body.find("<TEXTAREA name=\"data\" style=\"display:none\">张三`|`|501`|`|`|`|`|`|`|say \"hi\"^~`@"
                             "</TEXTAREA>"),
              std::string::npos)
        << page.body;
    EXPECT_EQ(page.Header("Content-Type"), "text/html; charset=GBK");

    Fetched other = Get(kHost1 + kPerson + "?classID=78", {cookie});
    EXPECT_EQ(ToLower(other.body).find("<textarea"), std::string::npos);

    sim.SetFault("", kPerson, Fault::ExpiredSession().Times(1));
    EXPECT_EQ(ToLower(Get(kHost1 + kPerson + "?classID=77", {cookie}).body).find("<textarea"), std::string::npos);
    EXPECT_NE(ToLower(Get(kHost1 + kPerson + "?classID=77", {cookie}).body).find("<textarea"), std::string::npos);
    sim.ExpireSessions();
    EXPECT_EQ(ToLower(Get(kHost1 + kPerson + "?classID=77", {cookie}).body).find("<textarea"), std::string::npos);
}

TEST_F(SimulatorTest, VisitPageAndRawRecords)
{
    sim.Edit([](Scenario& s) {
        Member& m = s.Class("77").members[0];
        m.registered = "2006-01-02";
        m.visitCount = "9";
        m.lastVisit = "2006-03-04";
        m.membership = "成员";
        s.Class("77").rawMembers = true;
        s.Class("77").rawMemberData = "`|odd^~`@short`|1";
    });
    std::string cookie = SignIn(kHost1);
    Fetched visits = Get(kHost1 + "/gy5460/jsp/txlClass/visitCount.jsp?classID=77", {cookie});
    EXPECT_NE(visits.body.find(">张三`|2006-01-02`|9`|2006-03-04`|成员^~`@</TEXTAREA>"), std::string::npos);
    Fetched members = Get(kHost1 + kPerson + "?classID=77", {cookie});
    EXPECT_NE(members.body.find(">`|odd^~`@short`|1</TEXTAREA>"), std::string::npos);
}

TEST_F(SimulatorTest, ServesConcurrentSignIns)
{
    std::vector<std::thread> threads;
    std::vector<std::string> cookies(8);
    for (size_t i = 0; i < cookies.size(); ++i)
        threads.emplace_back([&, i] { cookies[i] = SignIn(i % 2 ? kHost1 : kHost2); });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(sim.Count(kLogin), cookies.size());
    for (size_t i = 1; i < cookies.size(); ++i)
        EXPECT_NE(cookies[i], cookies[0]); // a session each
    EXPECT_EQ(sim.Edit([](Scenario& s) { return s.FindUser("alice")->loginCount; }), 1 + 8);
}

} // namespace
} // namespace tavrin::sim
