#include "tests/providers/5460/ProviderFixture.h"

#include "core/model/ModelEvents.h"
#include "tests/sim/5460/Site5460.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace tavrin::test {
namespace {

const char kUpdate[] = "/gy5460/jsp/register/update.jsp";
const char kUpdateInfo[] = "/gy5460/jsp/register/updateInfo.jsp";

class ProfileTest : public Provider5460Test {
protected:
    ProfileTest()
    {
        SeedUser();
        sim.Edit([](sim::Scenario& s) {
            s.users[0].profile = {
                {"cName", "李四"},       {"NickName", "小李"},     {"sex", "男"},
                {"year", "1980"},        {"month", "2"},           {"day", "29"},
                {"question", "问"},      {"answer", "答"},         {"Address", "北京"},
                {"addPm", "保密"},       {"company", "公司"},      {"Tele", "010-1"},
                {"telePm", "保密"},      {"mobileCode", "139"},    {"Email", "li@example.com"},
                {"Icq", "12345"},        {"icqPm", "保密"},        {"homePage", "http://li.example/"},
                {"iconIndex", "7"},      {"Info", "我说\"你好\\n\"\r\n第二行"},
            };
        });
    }

    std::string Profile()
    {
        std::ifstream in(ProfilePath(), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    std::string ProfilePath() { return (dir.Path() / "accounts" / "li@5460" / "profile.htm").string(); }

    std::vector<int> AccountCodes()
    {
        std::vector<int> out;
        for (int code : window.Codes(WM_ACCOUNT_EVENT, false))
            if (code != 0)
                out.push_back(code);
        return out;
    }

    int CountCode(int code)
    {
        auto codes = AccountCodes();
        return static_cast<int>(std::count(codes.begin(), codes.end(), code));
    }

    // Pumps until the account's event code has been posted count times and
    // the profile operations are over.
    void WaitForCode(int code, int count)
    {
        for (;;) {
            window.Pump();
            if (CountCode(code) >= count && !account.IsReadingProfile() && !account.IsUpdatingProfile())
                return;
            std::this_thread::yield();
        }
    }
};

TEST_F(ProfileTest, ReadFillsTheProfilePage)
{
    account.StartReadProfile(0);
    WaitForCode(2, 1);

    const std::string page = Profile();
    struct Value {
        const char* variable;
        const char* value;
    } values[] = {
        {"c_name", "李四"},
        {"nick_name", "小李"},
        {"sex", "男"},
        {"passwd", "pw"},
        {"birth_year", "1980"},
        {"birth_month", "2"},
        {"birth_day", "29"},
        {"question", "问"},
        {"answer", "答"},
        {"address", "北京"},
        {"address_pm", "checked"},
        {"company", "公司"},
        {"company_pm", ""},
        {"tele", "010-1"},
        {"tele_pm", "checked"},
        {"mobile", "139"},
        {"mobile_pm", ""},
        {"email", "li@example.com"},
        {"email_pm", ""},
        {"icq", "12345"},
        {"icq_pm", "checked"},
        {"home_page", "http://li.example/"},
        {"home_page_pm", ""},
        {"icon_index", "7"},
        // Quote and backslash escaped; the line break stays one in the text.
        {"info", "我说\\\"你好\\\\n\\\"\\r\\n第二行"},
    };
    for (const Value& v : values)
        EXPECT_NE(page.find(std::string("var ") + v.variable + " = \"" + v.value + "\";"), std::string::npos)
            << v.variable;
    EXPECT_NE(page.find("var read_time = \"20"), std::string::npos);

    EXPECT_EQ(AccountLog().front(), "[个人档案]开始读取...");
    EXPECT_EQ(AccountLog().back(), "[个人档案]读取结束.");
    EXPECT_EQ(AccountCodes(), (std::vector<int>{4, 2}));
}

TEST_F(ProfileTest, ReadEdgeCases)
{
    struct Case {
        const char* name;
        std::string rawPage;
        const char* expect;  // a line of the page, or nullptr for the failure page
    } cases[] = {
        {"no sex field", "<input type=\"text\" name=\"cName\" maxlength=\"20\" size=\"10\" value=\"王\">",
         "var sex = \"女\";"},
        {"NUL bytes before the form",
         std::string("<html>\0\0\0<body>", 15) +
             "<input type=\"text\" name=\"cName\" maxlength=\"20\" size=\"10\" value=\"王\">",
         "var c_name = \"王\";"},
        {"no real name", "<input type=\"text\" name=\"cName\" maxlength=\"20\" size=\"10\" value=\"\">", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim.Edit([&](sim::Scenario& s) { s.users[0].rawProfilePage = c.rawPage; });
        const int reads = CountCode(2);
        account.StartReadProfile(0);
        WaitForCode(2, reads + 1);
        const std::string page = Profile();
        if (c.expect) {
            EXPECT_NE(page.find(c.expect), std::string::npos);
            EXPECT_EQ(AccountLog().back(), "[个人档案]读取结束.");
        } else {
            EXPECT_NE(page.find("个人档案读取失败."), std::string::npos);
            EXPECT_EQ(AccountLog().back(), "[个人档案]未知错误, 读取失败.");
        }
    }
}

TEST_F(ProfileTest, PasswordIsEncoded)
{
    account.SetUserNameAndPassword("li", "p&w=1 +");
    sim.Edit([](sim::Scenario& s) { s.users[0].password = "p&w=1 +"; });
    account.StartReadProfile(0);
    WaitForCode(2, 1);
    auto requests = sim.Requests(kUpdate);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Field("passwd"), "p&w=1 +");
    EXPECT_EQ(AccountLog().back(), "[个人档案]读取结束.");
}

TEST_F(ProfileTest, ReadFailures)
{
    sim.SetFault("", kUpdate, sim::Fault::DropConnection());
    account.StartReadProfile(0);
    WaitForCode(2, 1);
    EXPECT_EQ(AccountLog().back(), "[个人档案]网络错误, 读取失败.");
    EXPECT_NE(Profile().find("个人档案读取失败."), std::string::npos);
    // The failure page posts no event of its own.
    EXPECT_EQ(AccountCodes(), (std::vector<int>{4, 2}));

    account.SetCookie("");
    account.SetUserNameAndPassword("li", "wrong");
    account.StartReadProfile(0);
    WaitForCode(2, 2);
    EXPECT_EQ(AccountLog().back(), "[个人档案]登录失败, 无法读取.");
}

// Without the status template no status page is written and no event 4
// posted; without the profile template the reading writes an empty page.
TEST_F(ProfileTest, MissingTemplates)
{
    std::filesystem::remove(dir.Path() / "styles" / "common" / "profile_status.htm");
    std::filesystem::remove(dir.Path() / "styles" / "5460" / "default" / "profile.html");
    account.StartReadProfile(0);
    WaitForCode(2, 1);
    EXPECT_EQ(AccountCodes(), (std::vector<int>{2}));
    EXPECT_EQ(AccountLog().back(), "[个人档案]读取结束.");
    EXPECT_TRUE(std::filesystem::exists(ProfilePath()));
    EXPECT_EQ(Profile(), "");
}

TEST_F(ProfileTest, UpdateSendsTheFormAndReadsAgain)
{
    const std::string body = "cName=%C0%EE%CB%C4&NickName=%D0%C2&sex=%C4%D0&addPm=%B1%A3%C3%DC&Info=a%26b";
    CByteArray form;
    form.SetSize(static_cast<INT_PTR>(body.size()));
    memcpy(form.GetData(), body.data(), body.size());
    account.StartUpdateProfile(form, 0);
    WaitForCode(2, 1);

    auto posts = sim.Requests(kUpdateInfo);
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].body, body);
    EXPECT_EQ(sim.Edit([](sim::Scenario& s) { return s.users[0].profile["NickName"]; }), "新");
    auto log = AccountLog();
    EXPECT_NE(std::find(log.begin(), log.end(), "[个人档案]更新完成."), log.end());
    EXPECT_EQ(log.back(), "[个人档案]读取结束.");
    EXPECT_NE(Profile().find("var nick_name = \"新\";"), std::string::npos);
    EXPECT_EQ(CountCode(3), 1);
}

TEST_F(ProfileTest, AFailedUpdateDoesNotReadAgain)
{
    const std::string body = "cName=&NickName=x";
    CByteArray form;
    form.SetSize(static_cast<INT_PTR>(body.size()));
    memcpy(form.GetData(), body.data(), body.size());
    account.StartUpdateProfile(form, 0);
    WaitForCode(3, 1);
    EXPECT_EQ(AccountLog().back(), "[个人档案]未知错误, 更新失败.");
    EXPECT_NE(Profile().find("个人档案更新失败."), std::string::npos);
    EXPECT_EQ(AccountCodes(), (std::vector<int>{4, 4, 3}));
    EXPECT_EQ(sim.Count(kUpdate), 0u);
}

} // namespace
} // namespace tavrin::test
