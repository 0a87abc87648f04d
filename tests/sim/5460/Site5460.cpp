#include "tests/sim/5460/Site5460.h"

#include "providers/5460/site.h"

#include <algorithm>

namespace tavrin::sim::p5460 {

void Install(Simulator& sim)
{
    InstallLogin(sim);
    InstallMembers(sim);
    InstallMessages(sim);
    InstallNotes(sim);
    InstallClassPage(sim);
    InstallProfile(sim);
    InstallPhotos(sim);
}

void RouteBoth(Simulator& sim, const std::string& page, Simulator::Handler handler)
{
    const std::string path = std::string(tavrin::p5460::kBasePath) + page;
    sim.Route(tavrin::p5460::kWebHost1, path, handler);
    sim.Route(tavrin::p5460::kWebHost2, path, std::move(handler));
}

std::string Page(const std::string& title, const std::string& body)
{
    return "<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">\r\n"
           "<title>" + title + "</title>\r\n</head>\r\n<body>\r\n" + body + "\r\n</body>\r\n</html>\r\n";
}

void PleaseSignIn(Response& response)
{
    response.Html(Page("5460中国同学录", "<p>您还没有登录，请先登录。</p>"));
}

std::string RequireSession(Simulator& sim, const Request& request, Response& response)
{
    std::string user = sim.SessionUser(request, kSessionCookie);
    if (user.empty())
        PleaseSignIn(response);
    return user;
}

bool IsMemberOf(Simulator& sim, const std::string& user, const std::string& classId)
{
    return sim.Edit([&](Scenario& s) {
        User* u = s.FindUser(user);
        return u && s.FindClass(classId) &&
               std::find(u->classIds.begin(), u->classIds.end(), classId) != u->classIds.end();
    });
}

} // namespace tavrin::sim::p5460
