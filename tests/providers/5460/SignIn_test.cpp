#include "providers/5460/SignIn.h"
#include "providers/5460/TextArea.h"
#include "providers/5460/site.h"

#include <gtest/gtest.h>

namespace tavrin::p5460 {
namespace {

TEST(SignIn, HostRule)
{
    EXPECT_STREQ(WebHost("5460(网通用户)"), kWebHost2);
    EXPECT_STREQ(WebHost("5460(电信用户)"), kWebHost1);
    EXPECT_STREQ(WebHost(""), kWebHost1);
    EXPECT_EQ(PageUrl("5460(网通用户)", kLoginPath), CString("http://") + kWebHost2 + kLoginPath);
}

TEST(SignIn, CookieReuseBounds)
{
    const int64_t now = 1150000000;
    struct Case {
        const char* name;
        const char* cookie;
        int64_t age; // seconds; negative for the future
        bool fresh;
    } cases[] = {
        {"45:59 old", "a=1; ", 45 * 60 + 59, true},
        {"46:00 old", "a=1; ", 46 * 60, false},
        {"just now", "a=1; ", 0, true},
        {"5:00 ahead", "a=1; ", -5 * 60, true},
        {"5:01 ahead", "a=1; ", -5 * 60 - 1, false},
        {"an hour ahead", "a=1; ", -3600, false},
        {"empty cookie", "", 10, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsCookieFresh(c.cookie, now - c.age, now), c.fresh) << c.name;
}

TEST(SignIn, FormEncodesNameAndPassword)
{
    EXPECT_EQ(LoginForm("a&b=c", "p&=+ x"),
              CString("username=a%26b%3Dc&passwd=p%26%3D%2B+x&autologin=1&txlHref=/jsp/login/loginMain.jsp"));
    EXPECT_EQ(LoginForm("张", "%s"), CString("username=%D5%C5&passwd=%25s&autologin=1&txlHref=/jsp/login/loginMain.jsp"));
}

TEST(SignIn, SuccessAndRefusals)
{
    const CString welcome = "<html><title>5460中国同学录欢迎您</title></html>";
    EXPECT_TRUE(IsSignedIn("JSESSIONID=1; ", welcome));
    EXPECT_FALSE(IsSignedIn("", welcome));
    EXPECT_FALSE(IsSignedIn("JSESSIONID=1; ", "<title>5460中国同学录</title>"));
    struct Case {
        const char* page;
        const char* line;
    } cases[] = {
        {"..密码错误，请重新输入..用户名不存在，请重新输入..", "[登录]密码错误, 请重新输入."},
        {"用户名不存在，请重新输入", "[登录]用户名不存在, 请重新输入."},
        {"为保证系统安全，请30分钟后再来！", "[登录]连续输错帐号, 请30分钟后再登录."},
        {"<title>5460中国同学录欢迎您</title>", "[登录]读取网页错误, 登录失败."},
        {"", "[登录]读取网页错误, 登录失败."},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(RefusalLogLine(c.page), c.line) << c.page;
}

TEST(TextArea, FirstTextAreaInAnyCase)
{
    CString data;
    EXPECT_TRUE(ExtractTextArea("<p><TEXTAREA name=x rows=3>a`|b\r\nc</TextArea><textarea>2</textarea>", data));
    EXPECT_EQ(data, CString("a`|b\r\nc"));
    EXPECT_TRUE(ExtractTextArea("<textarea></textarea>", data));
    EXPECT_EQ(data, CString(""));
    EXPECT_FALSE(ExtractTextArea("<p>请先登录</p>", data));
    EXPECT_FALSE(ExtractTextArea("<textarea>unclosed", data));
    // A stray NUL before the text area hides nothing.
    std::string withNul = "x";
    withNul += '\0';
    withNul += "<textarea>shown</textarea>";
    EXPECT_TRUE(ExtractTextArea(CString(withNul), data));
    EXPECT_EQ(data, CString("shown"));
    EXPECT_TRUE(ExtractTextArea("<textarea\r\nrows=2>a</textarea><TEXTAREA>b</TEXTAREA>", data));
    EXPECT_EQ(data, CString("a"));
    EXPECT_FALSE(ExtractTextArea("<textarea rows=2", data));
}

// A page of unclosed text areas is a page without one, found in one pass.
TEST(TextArea, UnclosedTagsAreNoMatch)
{
    std::string page;
    for (int i = 0; i < 30000; ++i)
        page += "<textarea>x";
    CString data = "kept";
    EXPECT_FALSE(ExtractTextArea(CString(page), data));
    EXPECT_EQ(data, CString("kept"));
    EXPECT_TRUE(ExtractTextArea(CString(page + "</textarea>"), data));
    EXPECT_EQ(data.Left(11), CString("x<textarea>"));
}

} // namespace
} // namespace tavrin::p5460
