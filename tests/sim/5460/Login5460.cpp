// The sign-in form and the welcome page it answers with.
#include "tests/sim/5460/Site5460.h"

namespace tavrin::sim::p5460 {

namespace {

std::string WelcomePage(const Scenario& s, const User& user)
{
    std::string body = "<table>\r\n<tr><td class=\"unnamed1\">姓名:" + user.realName + "</td></tr>\r\n"
                       "<tr><td class=\"unnamed1\">ID:" + user.userId + "</td></tr>\r\n"
                       "<tr><td class=\"unnamed1\">登录次数:" + std::to_string(user.loginCount) + "</td></tr>\r\n"
                       "</table>\r\n";
    for (const std::string& id : user.classIds) {
        for (const SchoolClass& c : s.classes) {
            if (c.id != id)
                continue;
            body += "<a class=\"style1\" target=\"gongneng\" href=\"gongneng.jsp?csid=" + c.id + "\">" +
                    c.schoolName + "/" + c.name + "</a><br>\r\n";
        }
    }
    body += user.welcomeExtra;
    return Page("5460中国同学录欢迎您", body);
}

} // namespace

void InstallLogin(Simulator& sim)
{
    RouteBoth(sim, "login/login.jsp", [&sim](const Request& request, Response& response) {
        const std::string name = request.Field("username");
        const std::string password = request.Field("passwd");
        std::string page;
        bool success = false;
        sim.Edit([&](Scenario& s) {
            User* user = s.FindUser(name);
            if (!user) {
                page = Page("5460中国同学录", "<script>alert('用户名不存在，请重新输入');</script>");
            } else if (user->locked) {
                page = Page("5460中国同学录", "<p>为保证系统安全，请30分钟后再来！</p>");
            } else if (user->password != password) {
                page = Page("5460中国同学录", "<script>alert('密码错误，请重新输入');</script>");
            } else {
                ++user->loginCount;
                page = WelcomePage(s, *user);
                success = true;
            }
        });
        if (success) {
            response.SetCookie(kSessionCookie, sim.OpenSession(name));
            response.SetCookie("autologin", "1");
        }
        response.Html(page);
    });
}

} // namespace tavrin::sim::p5460
