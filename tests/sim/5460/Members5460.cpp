// The member page and the visit page of a class: each carries its records
// in a hidden text area, records and fields joined by the provider's
// separators.
#include "tests/sim/5460/Site5460.h"

namespace tavrin::sim::p5460 {

namespace {

std::string Join(std::initializer_list<const std::string*> fields)
{
    std::string out;
    bool first = true;
    for (const std::string* f : fields) {
        if (!first)
            out += kFieldSeparator;
        out += *f;
        first = false;
    }
    return out;
}

std::string MemberData(const SchoolClass& c)
{
    if (c.rawMembers)
        return c.rawMemberData;
    std::string data;
    for (const Member& m : c.members) {
        data += Join({&m.realName, &m.icon, &m.id, &m.phone, &m.oicq, &m.mobile, &m.company, &m.address, &m.email,
                      &m.intro});
        data += kRecordSeparator;
    }
    return data;
}

std::string VisitData(const SchoolClass& c)
{
    if (c.rawVisits)
        return c.rawVisitData;
    std::string data;
    for (const Member& m : c.members) {
        if (!m.listVisits)
            continue;
        data += Join({&m.realName, &m.registered, &m.visitCount, &m.lastVisit, &m.membership});
        data += kRecordSeparator;
    }
    return data;
}

// Serves the class page built by make, for members of the class only.
void ClassPage(Simulator& sim, const Request& request, Response& response, const char* title,
               std::string (*make)(const SchoolClass&))
{
    std::string user = RequireSession(sim, request, response);
    if (user.empty())
        return;
    const std::string classId = request.Field("classID");
    if (!IsMemberOf(sim, user, classId)) {
        response.Html(Page("5460中国同学录", "<p>对不起，您不是该班成员。</p>"));
        return;
    }
    std::string data = sim.Edit([&](Scenario& s) { return make(*s.FindClass(classId)); });
    response.Html(Page(title, "<form name=\"txl\">\r\n<TEXTAREA name=\"data\" style=\"display:none\">" + data +
                                  "</TEXTAREA>\r\n</form>"));
}

} // namespace

void InstallMembers(Simulator& sim)
{
    RouteBoth(sim, "person/person.jsp", [&sim](const Request& request, Response& response) {
        ClassPage(sim, request, response, "班级通讯录", MemberData);
    });
    RouteBoth(sim, "txlClass/visitCount.jsp", [&sim](const Request& request, Response& response) {
        ClassPage(sim, request, response, "访问统计", VisitData);
    });
}

} // namespace tavrin::sim::p5460
