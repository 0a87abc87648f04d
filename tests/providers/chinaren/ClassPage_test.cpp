// The class information page "misc.htm" from the class home page.
#include "tests/providers/chinaren/ChinaRenFixture.h"

#include "core/model/ModelEvents.h"
#include "providers/chinaren/site.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace tavrin::test {
namespace {

const char kImage[] = "http://img.chinaren.com";

class ChinaRenClassPage : public ChinaRenTest {
protected:
    ChinaRenClassPage()
    {
        SeedUser();
        site.Edit([](sim::chinaren::Data& d) {
            d.users[0].classIds = {"301"};
            auto& c = d.AddClass("301");
            c.schoolId = "77";
            c.schoolName = "北京四中";
            c.name = "高三(2)班";
            c.heading = "北京四中 高三(2)班";
            c.voiceNumber = "12345678";
            c.enrolYear = "2001";
            c.memberCount = "45";
            c.founder = "李雷";
            c.created = "2003-09-01";
            c.homePage = "<a href=\"http://www.example.com/\">班级主页</a>";
            c.administrators = {"Li", "Wang"};
            c.birthdays = std::string("<img src=\"") + kImage +
                          "/product/tavrin3/images/cake.gif\" width=300 >&nbsp;<a href=\"/u\">韩梅梅</a>\r\n"
                          "<embed src=\"" + kImage + "/cs/sms/tavrin3/sound/birthday.mid\" hidden=true>";
            c.online = std::string("<a href=\"/user/li\" class=cr4>Li</a>\r\n<img src=\"") + kImage +
                       "/cs/sms/crm/images/online.gif\">";
        });
        schoolClass = AddClass("301");
    }

    void SetAnnouncement(const std::string& html)
    {
        site.Edit([&](sim::chinaren::Data& d) { d.FindClass("301")->announcement = html; });
    }
    void Update() { window.RunOnWorker([&] { schoolClass->UpdateClassInfo(0); }); }
    std::string Misc() { return TempDir::Read(dir.Path() / (ClassFolder("301") + "/misc.htm")); }
    std::string Value(const std::string& name)
    {
        const std::string page = Misc();
        const std::string start = "var " + name + " = \"";
        size_t at = page.find(start);
        if (at == std::string::npos)
            return "<none>";
        at += start.size();
        return page.substr(at, page.find("\";\r\n", at) - at);
    }
    std::vector<std::string> ClassLog()
    {
        std::vector<std::string> out;
        for (int i = 0; i < schoolClass->GetLogCount(); ++i)
            out.push_back(schoolClass->GetLogLine(i).Mid(10).Str());
        return out;
    }

    CSchoolClassChinaRen* schoolClass = nullptr;
};

TEST_F(ChinaRenClassPage, ElevenValuesOfARealisticPage)
{
    SetAnnouncement(std::string("欢迎！<img src='") + kImage +
                    "/upload/a.gif' border=0 onload='javascript:adjustImg(this);'> <img src=\"" + kImage +
                    "/upload/a.gif\" alt=x>");
    Update();
    EXPECT_EQ(ClassLog().back(), "[班级信息]更新完成.");
    EXPECT_EQ(window.Count(WM_CLASS_EVENT, 1), 1);
    EXPECT_EQ(Value("class_title"), "北京四中 高三(2)班");
    EXPECT_EQ(Value("voice_number"), "12345678 ");
    EXPECT_EQ(Value("enrol_year"), "2001");
    EXPECT_EQ(Value("member_count"), "45");
    EXPECT_EQ(Value("founder"), "李雷");
    EXPECT_EQ(Value("created"), "2003-09-01");
    EXPECT_EQ(Value("home_page"), "\\x3Ca href=\\\"http://www.example.com/\\\"\\x3E班级主页\\x3C/a\\x3E");
    EXPECT_EQ(Value("administrators"), "Li Wang");
    EXPECT_EQ(Value("birthdays"), "\\x3Cimg src=\\\"../../../styles/chinaren/default/images/cake.gif\\\" \\x3E韩梅梅"
                                  "\\x3Cbgsound src=\\\"../../../styles/chinaren/default/images/birthday.mid\\\"\\x3E");
    EXPECT_EQ(Value("online"), "Li\\x3Cimg src=\\\"../../../styles/chinaren/default/images/online.gif\\\"\\x3E");
    EXPECT_EQ(Value("announcement"),
              "欢迎！\\x3Cimg src=\\'images/a.gif\\' border=0 style=\\\"CURSOR: pointer\\\" "
              "onload=\\\"javascript:swap_size(this)\\\" onclick=\\\"swap_size(this)\\\" "
              "onmousewheel=\\\"bbimg(this)\\\"\\x3E \\x3Cimg src=\\\"images/a.gif\\\" alt=x\\x3E");
    // The same address is one file, fetched once.
    EXPECT_EQ(sim.Count("/upload/a.gif"), 1u);
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / (ClassFolder("301") + "/images/a.gif")));
    auto requests = sim.Requests("/class/class_index.jsp");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Header("Referer"), "http://alumni.chinaren.com/album/classpic_index.jsp?classuuid=301");
}

TEST_F(ChinaRenClassPage, AnnouncementPictures)
{
    struct Case {
        const char* name;
        std::string html;
        std::function<void()> arrange;
        std::string value;
    } cases[] = {
        {"src directly before the bracket is not matched", std::string("<img src=") + kImage + "/upload/c.gif>", [] {},
         std::string("\\x3Cimg src=") + kImage + "/upload/c.gif\\x3E"},
        {"404", std::string("<img src=") + kImage + "/upload/d.gif border=0>",
         [&] { sim.SetFault("", "/upload/d.gif", sim::Fault::WithStatus(404)); },
         "\\x3Cimg src=../../../styles/chinaren/default/images/s_missing.png border=0\\x3E"},
        {"500", std::string("<img src=") + kImage + "/upload/d.gif border=0>",
         [&] { sim.SetFault("", "/upload/d.gif", sim::Fault::WithStatus(500)); },
         "\\x3Cimg src=../../../styles/chinaren/default/images/s_missing.png border=0\\x3E"},
        {"dropped", std::string("<img src=") + kImage + "/upload/d.gif border=0>",
         [&] { sim.SetFault("", "/upload/d.gif", sim::Fault::DropConnection()); },
         "\\x3Cimg src=../../../styles/chinaren/default/images/s_missing.png border=0\\x3E"},
        {"script, handler and script link removed",
         "<script>alert(1)</script><img src=x onerror=\"alert(1)\" ><a href=\"javascript:alert(2)\">go</a>", [] {},
         "\\x3Cimg src=x \\x3E\\x3Ca\\x3Ego\\x3C/a\\x3E"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetAnnouncement(c.html);
        c.arrange();
        Update();
        EXPECT_EQ(Value("announcement"), c.value);
        sim.ClearFaults();
    }
}

TEST_F(ChinaRenClassPage, ForeignPictureHostGetsNoCookie)
{
    SetAnnouncement(std::string("<img src=") + kImage + ":80@foreign.example/f.gif border=0>");
    Update();
    EXPECT_EQ(Value("announcement"), "\\x3Cimg src=images/f.gif border=0\\x3E");
    bool fetched = false;
    for (const auto& request : sim.Log()) {
        if (request.host == "foreign.example") {
            fetched = true;
            EXPECT_TRUE(request.Header("Cookie").empty());
        }
    }
    EXPECT_TRUE(fetched);
    // The class page itself went with the cookie.
    EXPECT_FALSE(sim.Requests("/class/class_index.jsp").at(0).Header("Cookie").empty());
}

TEST_F(ChinaRenClassPage, NoFounderNoPage)
{
    site.Edit([](sim::chinaren::Data& d) { d.FindClass("301")->founder.clear(); });
    SetAnnouncement(std::string("<img src=") + kImage + "/upload/e.gif border=0>");
    Update();
    EXPECT_EQ(ClassLog().back(), "[班级信息]未知错误, 更新失败.");
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / (ClassFolder("301") + "/misc.htm")));
    // The pictures are still fetched.
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / (ClassFolder("301") + "/images/e.gif")));
}

TEST_F(ChinaRenClassPage, TemplateWithoutMarkersIsCopied)
{
    dir.Write("styles/chinaren/default/misc.html", "<html>no block</html>");
    Update();
    EXPECT_EQ(Misc(), "<html>no block</html>");
}

TEST_F(ChinaRenClassPage, Failures)
{
    struct Case {
        const char* name;
        std::function<void()> arrange;
        const char* line;
    } cases[] = {
        {"sign-in", [&] { account.SetUserNameAndPassword("Tom", "wrong"); }, "[班级信息]登录失败, 无法更新."},
        {"request", [&] { sim.SetFault("", "/class/class_index.jsp", sim::Fault::DropConnection()); },
         "[班级信息]网络错误, 更新失败."},
        {"empty page", [&] { sim.SetFault("", "/class/class_index.jsp", sim::Fault::Empty()); },
         "[班级信息]读取网页错误, 更新失败."},
    };
    int events = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.arrange();
        Update();
        EXPECT_EQ(ClassLog().back(), c.line);
        EXPECT_EQ(window.Count(WM_CLASS_EVENT, 1), ++events);
        EXPECT_FALSE(std::filesystem::exists(dir.Path() / (ClassFolder("301") + "/misc.htm")));
        account.SetUserNameAndPassword("Tom", "pw");
        sim.ClearFaults();
    }
}

TEST_F(ChinaRenClassPage, FilledScriptsStayValidWithHostileCells)
{
    if (std::system("node --version > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "node is not installed (scripts/setup installs it)";
    site.Edit([](sim::chinaren::Data& d) {
        auto& c = *d.FindClass("301");
        c.heading = "a\"b</script><script>x()</script>";
        c.founder = "c\\";
        c.homePage = "it's \"quoted\" \\";
    });
    SetAnnouncement("</td>\"'\\<script>y()</script>");
    Update();
    const std::string page = Misc();
    std::string scripts;
    for (size_t at = 0; (at = page.find("<script", at)) != std::string::npos;) {
        size_t open = page.find('>', at);
        size_t close = page.find("</script>", open);
        ASSERT_NE(close, std::string::npos);
        scripts += page.substr(open + 1, close - open - 1) + "\n;\n";
        at = close;
    }
    auto file = dir.Write("check.js", scripts);
    EXPECT_EQ(std::system(("node --check '" + file.string() + "' 2>&1").c_str()), 0) << scripts;
}

} // namespace
} // namespace tavrin::test
