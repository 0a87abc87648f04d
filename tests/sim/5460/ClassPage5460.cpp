// The class page: the class's school, slogan, home page, managers and counts.
#include "tests/sim/5460/Site5460.h"

namespace tavrin::sim::p5460 {

namespace {

std::string ClassPage(const SchoolClass& c)
{
    std::string body = "<table>\r\n<tr><td><a href=\"../school/school.jsp?schoolID=" + c.schoolId + "\">" +
                       c.schoolName + "</a></td></tr>\r\n"
                       "<tr><td><span class=\"style21\">班级宣言:" + c.slogan + "</span></td></tr>\r\n"
                       "<tr><td><span class=\"style12\">班级主页：" + c.homePage + " </span></td></tr>\r\n";
    if (!c.manager.empty())
        body += "<tr><td class=\"style12\">正管：" + c.manager + " 副管：" + c.deputy + " </td></tr>\r\n";
    body += "<tr><td><span class=\"style12\">成员数：" + std::to_string(c.members.size()) + "</span></td></tr>\r\n"
            "<tr><td><span class=\"style12\">访问次数：" + c.visitCount + "</span></td></tr>\r\n</table>";
    return Page("班级", body);
}

} // namespace

void InstallClassPage(Simulator& sim)
{
    RouteBoth(sim, "class/class.jsp", [&sim](const Request& request, Response& response) {
        const std::string user = RequireSession(sim, request, response);
        if (user.empty())
            return;
        const std::string classId = request.Field("classID");
        if (!IsMemberOf(sim, user, classId)) {
            response.Html(Page("5460中国同学录", "<p>对不起，您不是该班成员。</p>"));
            return;
        }
        response.Html(sim.Edit([&](Scenario& s) { return ClassPage(*s.FindClass(classId)); }));
    });
}

} // namespace tavrin::sim::p5460
