// The passport's sign-in form and the sign-in script on the profile host
// that hands out the class site's cookie.
#include "tests/sim/chinaren/SiteChinaRen.h"

#include "providers/chinaren/site.h"

namespace tavrin::sim::chinaren {

namespace {

std::string SuccessPage(const std::string& location)
{
    return Page("通行证登录",
                "<table width=760 align=center><tr><td class=\"title\">\r\n"
                "<script language=\"javascript\">\r\n"
                "var here=\"passport\";\r\n"
                "</script>\r\n"
                "<font color=#FF6600><b>登录成功,转入系统,请稍候......</b></font>\r\n"
                "</td></tr></table>\r\n"
                "<script language=\"javascript\">\r\n"
                "if (top != self) top.location = self.location;\r\n"
                "location.href=\"" + location + "\";\r\n"
                "var tip=\"如果浏览器没有自动跳转，请点击这里\";\r\n"
                "</script>\r\n");
}

std::string RefusalPage()
{
    return Page("通行证登录",
                "<table width=760 align=center><tr><td>\r\n"
                "<font color=red>登录失败,请您重新输入通行证和密码:</font>\r\n"
                "<form name=loginform action=\"/login.jsp\" method=post>\r\n"
                "通行证：<input name=loginid size=20> 密码：<input name=passwd type=password size=20>\r\n"
                "<input type=submit value=\"登 录\"></form>\r\n"
                "</td></tr></table>\r\n");
}

} // namespace

void InstallPassport(Simulator& sim, const StatePtr& state)
{
    sim.Route(tavrin::chinaren::kPassportHost, "/login.jsp", [state](const Request& request, Response& response) {
        const std::string loginId = request.Field("loginid");
        const size_t at = loginId.rfind('@');
        const std::string name = at == std::string::npos ? std::string() : loginId.substr(0, at);
        const std::string domain = at == std::string::npos ? std::string() : loginId.substr(at + 1);
        std::string ticket;
        {
            std::lock_guard<std::mutex> lock(state->lock);
            User* user = state->data.FindUser(name);
            const char* wanted = user && user->sohu ? tavrin::chinaren::kSohuMailDomain : tavrin::chinaren::kMailDomain;
            if (user && request.method == "POST" && domain == wanted && request.Field("uid") == name &&
                request.Field("passwd") == user->password) {
                ticket = "T" + std::to_string(state->data.nextTicket++);
                state->data.tickets[ticket] = name;
            }
        }
        if (ticket.empty()) {
            response.Html(RefusalPage());
            return;
        }
        response.SetCookie(kPassportCookie, ticket + "|" + UrlEncode(name));
        response.Html(SuccessPage(request.Field("ru") + "&t=" + ticket));
    });

    sim.Route(tavrin::chinaren::kProfileHost, "/urs/setcookie.jsp",
              [&sim, state](const Request& request, Response& response) {
                  std::string user;
                  {
                      std::lock_guard<std::mutex> lock(state->lock);
                      auto it = state->data.tickets.find(request.Field("t"));
                      if (it != state->data.tickets.end()) {
                          user = it->second;
                          state->data.tickets.erase(it);
                      }
                  }
                  if (!user.empty()) {
                      response.SetCookie(kSessionCookie, sim.OpenSession(SessionName(user)));
                      response.SetCookie("crinfo", "1");
                  }
                  response.Redirect(request.Field("burl"));
              });
}

} // namespace tavrin::sim::chinaren
