// The program's own HTTP client against the simulator, through its proxy
// setting: what every provider test relies on.
#include "core/services/HttpClient.h"
#include "providers/5460/SignIn.h"
#include "providers/5460/TextArea.h"
#include "providers/5460/site.h"
#include "tests/sim/5460/Site5460.h"
#include "tests/sim/Simulator.h"

#include <gtest/gtest.h>

#include <thread>

namespace tavrin::sim {
namespace {

CString Text(const CByteArray& bytes)
{
    return CString(reinterpret_cast<const char*>(bytes.GetData()), static_cast<int>(bytes.GetSize()));
}

class SimulatorClientTest : public ::testing::Test {
protected:
    SimulatorClientTest()
    {
        p5460::Install(sim);
        sim.Edit([](Scenario& s) {
            User u;
            u.name = "a&b c";
            u.password = "p=1+2";
            u.classIds = {"9"};
            s.users.push_back(u);
            Member m;
            m.realName = "王五";
            s.Class("9").members.push_back(m);
        });
        client.SetProxy("127.0.0.1", CString(sim.ProxyPort()), "", "", "", TRUE);
        client.SetRetryCount(0);
    }

    Simulator sim;
    CHttpClient client;
};

TEST_F(SimulatorClientTest, SignsInAndReadsAMemberPageThroughTheProxy)
{
    const CString provider = "5460(网通用户)";
    CByteArray out;
    client.SetAcceptCookies(TRUE);
    ASSERT_TRUE(client.Request(tavrin::p5460::PageUrl(provider, tavrin::p5460::kLoginPath),
                               tavrin::p5460::LoginForm("a&b c", "p=1+2"), out, ""));
    client.SetAcceptCookies(FALSE);
    EXPECT_TRUE(tavrin::p5460::IsSignedIn(client.GetCookies(), Text(out)));

    ASSERT_TRUE(client.Request(tavrin::p5460::PageUrl(provider, "/gy5460/jsp/person/person.jsp?classID=9"), "", out, ""));
    CString data;
    ASSERT_TRUE(tavrin::p5460::ExtractTextArea(Text(out), data));
    EXPECT_EQ(data, CString("王五`|`|`|`|`|`|`|`|`|^~`@"));

    auto log = sim.Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].host, tavrin::p5460::kWebHost2);
    EXPECT_EQ(log[0].method, "POST");
    EXPECT_EQ(log[0].Field("username"), "a&b c");
    EXPECT_EQ(log[0].Field("passwd"), "p=1+2");
    EXPECT_EQ(log[1].method, "GET");
    EXPECT_FALSE(log[1].Cookie(p5460::kSessionCookie).empty());
}

TEST_F(SimulatorClientTest, FaultsReachTheClient)
{
    CByteArray out;
    const CString url = "http://pages.example.com/p";
    sim.Route("", "/p", [](const Request&, Response& r) { r.Html("ok"); });

    sim.SetFault("", "/p", Fault::DropConnection().Times(1));
    EXPECT_FALSE(client.Request(url, "", out, ""));
    sim.SetFault("", "/p", Fault::WithStatus(404).Times(1));
    EXPECT_TRUE(client.Request(url, "", out, ""));
    EXPECT_EQ(client.GetStatusCode(), 404);
    sim.SetFault("", "/p", Fault::RedirectTo("http://pages.example.com/q").Times(1));
    sim.Route("", "/q", [](const Request&, Response& r) { r.Html("moved"); });
    EXPECT_TRUE(client.Request(url, "", out, ""));
    EXPECT_EQ(Text(out), CString("moved"));
    sim.SetFault("", "/p", Fault::Empty().Times(1));
    EXPECT_TRUE(client.Request(url, "", out, ""));
    EXPECT_EQ(out.GetSize(), 0);
    EXPECT_TRUE(client.Request(url, "", out, ""));
    EXPECT_EQ(Text(out), CString("ok"));
}

TEST_F(SimulatorClientTest, AbortEndsAStalledRequest)
{
    auto gate = std::make_shared<Gate>();
    sim.SetFault("", "/slow", Fault::StallAt(gate));
    BOOL result = TRUE;
    std::thread worker([&] {
        CByteArray out;
        result = client.Request("http://pages.example.com/slow", "", out, "");
    });
    ASSERT_TRUE(gate->WaitArrivals(1));
    client.Abort();
    worker.join();
    EXPECT_TRUE(client.IsStopped());
    gate->Open();
}

TEST_F(SimulatorClientTest, ClosedPortFails)
{
    int port = 0;
    {
        Simulator gone;
        port = gone.Port();
    }
    client.SetProxy("127.0.0.1", CString(std::to_string(port)), "", "", "", TRUE);
    CByteArray out;
    EXPECT_FALSE(client.Request("http://www.5460.net/x", "", out, ""));
}

} // namespace
} // namespace tavrin::sim
