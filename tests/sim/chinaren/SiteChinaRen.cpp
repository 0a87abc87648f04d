#include "tests/sim/chinaren/SiteChinaRen.h"

#include "providers/chinaren/site.h"

namespace tavrin::sim::chinaren {

User* Data::FindUser(const std::string& name)
{
    for (User& u : users)
        if (u.name == name)
            return &u;
    return nullptr;
}

Class* Data::FindClass(const std::string& id)
{
    for (Class& c : classes)
        if (c.id == id)
            return &c;
    return nullptr;
}

Class& Data::AddClass(const std::string& id)
{
    if (Class* c = FindClass(id))
        return *c;
    classes.push_back(Class{});
    classes.back().id = id;
    return classes.back();
}

Site::Site(Simulator& sim)
    : m_state(std::make_shared<State>())
{
    InstallPassport(sim, m_state);
    InstallClassHome(sim, m_state);
    InstallVerifyImages(sim, m_state);
}

std::string Site::CodeFor(const std::string& query)
{
    std::lock_guard<std::mutex> lock(m_state->lock);
    auto it = m_state->data.codes.find(query);
    return it == m_state->data.codes.end() ? std::string() : it->second;
}

std::string Page(const std::string& title, const std::string& body)
{
    return "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n"
           "<html>\r\n<head>\r\n"
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">\r\n"
           "<title>" + title + " - ChinaRen校友录</title>\r\n"
           "<link href=\"http://" + std::string(tavrin::chinaren::kImageHost) +
           "/product/css/cr.css\" rel=\"stylesheet\" type=\"text/css\">\r\n"
           "<script language=\"javascript\">\r\n"
           "var ad_url=\"http://ad.example.com/click?s=cr\";\r\n"
           "function playAd(){document.write('<a href=\"'+ad_url+'\" target=_blank>广告</a>');}\r\n"
           "</script>\r\n"
           "</head>\r\n<body topmargin=0 leftmargin=0>\r\n"
           "<table width=760 border=0 cellpadding=0 cellspacing=0 align=center><tr>\r\n"
           "<td><a href=\"http://www.chinaren.com/\"><img src=\"http://" +
           std::string(tavrin::chinaren::kImageHost) + "/product/images/logo.gif\" border=0></a></td>\r\n"
           "<td align=right><iframe src=\"http://ad.example.com/banner?s=cr\" width=468 height=60 frameborder=0 "
           "scrolling=no></iframe></td>\r\n"
           "</tr></table>\r\n" + body +
           "\r\n<table width=760 align=center><tr><td align=center class=\"gray\">"
           "Copyright &copy; ChinaRen.com 校友录</td></tr></table>\r\n"
           "</body>\r\n</html>\r\n";
}

void PleaseSignIn(Response& response)
{
    response.Html(Page("请登录", "<form action=\"http://" + std::string(tavrin::chinaren::kPassportHost) +
                                   "/login.jsp\" method=post>\r\n<p>您尚未登录或登录已过期，请先登录。</p>\r\n"
                                   "<input name=loginid><input name=passwd type=password></form>"));
}

std::string SessionName(const std::string& user)
{
    return "chinaren:" + user;
}

std::string RequireSession(Simulator& sim, const Request& request, Response& response)
{
    std::string session = sim.SessionUser(request, kSessionCookie);
    const std::string prefix = SessionName("");
    if (session.compare(0, prefix.size(), prefix) != 0) {
        PleaseSignIn(response);
        return {};
    }
    return session.substr(prefix.size());
}

void InstallClassHome(Simulator& sim, const StatePtr& state)
{
    // Where the sign-in script sends the browser; the class list's links
    // come with a later page of their own.
    sim.Route(tavrin::chinaren::kClassHost, "/index.jsp", [&sim, state](const Request& request, Response& response) {
        const std::string user = RequireSession(sim, request, response);
        if (user.empty())
            return;
        std::string realName;
        {
            std::lock_guard<std::mutex> lock(state->lock);
            if (User* u = state->data.FindUser(user))
                realName = u->realName;
        }
        response.Html(Page("我的校友录", "<table width=760 align=center><tr><td>欢迎您，" + realName +
                                             "！</td></tr></table>"));
    });
}

} // namespace tavrin::sim::chinaren
