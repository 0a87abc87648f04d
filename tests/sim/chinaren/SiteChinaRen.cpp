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
    InstallProfile(sim, m_state);
    InstallClassPage(sim, m_state);
    InstallBoard(sim, m_state);
    InstallContacts(sim, m_state);
    InstallNotes(sim, m_state);
    InstallAlbum(sim, m_state);
}

std::string Site::CodeFor(const std::string& query)
{
    std::lock_guard<std::mutex> lock(m_state->lock);
    auto it = m_state->data.codes.find(query);
    return it == m_state->data.codes.end() ? std::string() : it->second;
}

bool IsMemberOf(const Data& data, const std::string& user, const std::string& classId)
{
    for (const User& u : data.users)
        if (u.name == user)
            for (const std::string& id : u.classIds)
                if (id == classId)
                    return true;
    return false;
}

std::string Page(const std::string& title, const std::string& body)
{
    return "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n"
           "<html>\r\n<head>\r\n"
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">\r\n"
           "<title>" + title + "</title>\r\n"
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

std::string HomePage(Data& data, const User& user)
{
    std::string body = "<table width=760 align=center><tr><td class=cr1>\r\n"
                       "<a href=\"/index.jsp?home=1\" class=cr1>我的校友录</a> | "
                       "<a href=\"/search/search_class.jsp\" class=cr1>找班级</a> | "
                       "<a href=\"/school/school_index.jsp\" class=cr1>学校首页</a> | "
                       "<a href=\"http://club.chinaren.com/\" class=cr1 target=_blank>社区</a>\r\n"
                       "</td></tr></table>\r\n"
                       "<table width=760 align=center cellpadding=2>\r\n"
                       "<tr><td class=title>欢迎您，" + user.realName + "！<script>playAd()</script></td></tr>\r\n";
    for (const std::string& id : user.classIds) {
        const Class* c = data.FindClass(id);
        if (!c)
            continue;
        body += "<tr><td><img src=\"http://" + std::string(tavrin::chinaren::kImageHost) +
                "/product/images/dot.gif\" width=7 height=7> <a href=\"/school/class_list.jsp?schooluuid=" +
                c->schoolId + "\" class=cr2>" + c->schoolName + "</a> &gt; <a href=\"/class/class_index.jsp?classuuid=" +
                c->id + "\" class=cr3>" + c->name + "</a>\r\n <a href=\"/class/class_index.jsp?classuuid=" + c->id +
                "&manage=1\" class=cr1>[管理]</a></td></tr>\r\n";
    }
    body += "</table>\r\n" + user.homeExtra;
    return Page("我的校友录", body);
}

void InstallClassHome(Simulator& sim, const StatePtr& state)
{
    // The home page lists the user's classes (school link, then class link).
    sim.Route(tavrin::chinaren::kClassHost, "/index.jsp", [&sim, state](const Request& request, Response& response) {
        const std::string user = RequireSession(sim, request, response);
        if (user.empty())
            return;
        std::lock_guard<std::mutex> lock(state->lock);
        User* u = state->data.FindUser(user);
        if (!u) {
            PleaseSignIn(response);
            return;
        }
        response.Html(HomePage(state->data, *u));
    });
}

} // namespace tavrin::sim::chinaren
