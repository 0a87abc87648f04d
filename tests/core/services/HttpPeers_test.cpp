// The client against real peers as users meet them: a stock HTTP server and a
// stock proxy with Basic authentication, each started on a loopback port of
// its own.
#include "core/services/HttpClient.h"

#include "tests/support/ChildProcess.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

using tavrin::test::ChildProcess;
using tavrin::test::FindProgram;
using tavrin::test::TempDir;

namespace {

std::string Text(const CByteArray& bytes)
{
    return std::string(reinterpret_cast<const char*>(bytes.GetData()), static_cast<size_t>(bytes.GetSize()));
}

// Debian's own python3 first: a user's interpreter shims may not be there.
std::string Python()
{
    return access("/usr/bin/python3", X_OK) == 0 ? std::string("/usr/bin/python3") : FindProgram("python3");
}

// python3 -m http.server on a port it picks itself, serving a folder.
class PythonServer {
public:
    bool Start(const std::string& folder)
    {
        std::string python = Python();
        if (python.empty())
            return false;
        if (!m_process.Start({python, "-u", "-m", "http.server", "0", "--bind", "127.0.0.1", "--directory", folder}))
            return false;
        // "Serving HTTP on 127.0.0.1 port 41234 (http://127.0.0.1:41234/) ..."
        std::string line = m_process.WaitForLine("Serving HTTP on");
        size_t at = line.find(" port ");
        if (at == std::string::npos)
            return false;
        m_port = std::stoi(line.substr(at + 6));
        return m_port > 0;
    }
    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(m_port) + path; }
    std::string Output() const { return m_process.Output(); }

private:
    ChildProcess m_process;
    int m_port = 0;
};

class Tinyproxy {
public:
    bool Start(const TempDir& dir, const std::string& user, const std::string& password)
    {
        std::string program = FindProgram("tinyproxy");
        if (program.empty())
            return false;
        // The port is picked free just before the start; should another
        // program take it meanwhile, the next try picks another.
        for (int attempt = 0; attempt < 3; ++attempt) {
            m_process.Stop();
            m_port = tavrin::test::FreeLoopbackPort();
            std::string config = "Port " + std::to_string(m_port) +
                                 "\nListen 127.0.0.1\nTimeout 30\nMaxClients 8\nLogLevel Info\n"
                                 "BasicAuth " +
                                 user + " " + password + "\n";
            auto path = dir.Write("tinyproxy.conf", config);
            if (m_process.Start({program, "-d", "-c", path.string()}) &&
                !m_process.WaitForLine("Accepting connections").empty())
                return true;
        }
        return false;
    }
    std::string Port() const { return std::to_string(m_port); }
    std::string Output() const { return m_process.Output(); }

private:
    ChildProcess m_process;
    uint16_t m_port = 0;
};

std::string Payload()
{
    std::string data;
    for (int i = 0; i < 300000; ++i)
        data += static_cast<char>((static_cast<unsigned>(i) * 7919u) >> 3);
    return data;
}

class HttpPeersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (Python().empty())
            GTEST_SKIP() << "python3 is not installed (scripts/setup installs it)";
        m_payload = Payload();
        m_dir.Write("files/data.bin", m_payload);
        m_dir.Write("files/page.htm", "<html>\xd6\xd0\xce\xc4</html>");
        ASSERT_TRUE(m_server.Start((m_dir.Path() / "files").string())) << m_server.Output();
        m_client.SetRetryCount(0);
    }

    TempDir m_dir;
    PythonServer m_server;
    CHttpClient m_client;
    std::string m_payload;
};

TEST_F(HttpPeersTest, FetchesFromAStockServer)
{
    CByteArray out;
    ASSERT_TRUE(m_client.Request(m_server.Url("/data.bin").c_str(), "", out, ""));
    EXPECT_EQ(m_client.GetStatusCode(), 200);
    EXPECT_EQ(Text(out), m_payload);
    EXPECT_EQ(m_client.GetHeaderValue("Content-Length"), std::to_string(m_payload.size()).c_str());

    ASSERT_TRUE(m_client.Request(m_server.Url("/page.htm").c_str(), "", out, ""));
    EXPECT_EQ(Text(out), "<html>\xd6\xd0\xce\xc4</html>");

    // A missing page is an answer like any other: the callers judge the 404.
    ASSERT_TRUE(m_client.Request(m_server.Url("/missing.htm").c_str(), "", out, ""));
    EXPECT_EQ(m_client.GetStatusCode(), 404);

    // The server redirects a folder without its slash; the client follows.
    m_dir.Write("files/sub/index.html", "index");
    ASSERT_TRUE(m_client.Request(m_server.Url("/sub").c_str(), "", out, ""));
    EXPECT_EQ(Text(out), "index");
}

TEST_F(HttpPeersTest, GoesThroughAStockProxyWithBasicAuthentication)
{
    Tinyproxy proxy;
    if (FindProgram("tinyproxy").empty())
        GTEST_SKIP() << "tinyproxy is not installed (scripts/setup installs it)";
    ASSERT_TRUE(proxy.Start(m_dir, "alice", "s3cret")) << proxy.Output();

    CByteArray out;
    m_client.SetProxy("127.0.0.1", proxy.Port().c_str(), "", "alice", "s3cret", TRUE);
    ASSERT_TRUE(m_client.Request(m_server.Url("/data.bin").c_str(), "", out, "")) << proxy.Output();
    EXPECT_EQ(m_client.GetStatusCode(), 200);
    EXPECT_EQ(Text(out), m_payload);

    // Wrong or missing credentials: the proxy refuses (this one answers a
    // plain request with 401, which the callers judge like any page; a 407
    // would fail the request).
    for (const char* password : {"wrong", ""}) {
        m_client.SetProxy("127.0.0.1", proxy.Port().c_str(), "", password[0] ? "alice" : "", password, TRUE);
        BOOL ok = m_client.Request(m_server.Url("/data.bin").c_str(), "", out, "");
        int status = m_client.GetStatusCode();
        EXPECT_TRUE(status == 401 || status == 407) << status;
        EXPECT_EQ(ok, status == 401 ? TRUE : FALSE);
        EXPECT_NE(Text(out), m_payload);
    }
}

} // namespace
