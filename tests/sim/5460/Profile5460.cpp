// The personal profile: the form reached by posting the password, and the
// page that takes the changed form.
#include "tests/sim/5460/Site5460.h"

namespace tavrin::sim::p5460 {

namespace {

const char* const kMarks[] = {"addPm", "comPm", "telePm", "mobileCodePm", "emailPm", "icqPm", "homePagePm"};

std::string ProfileForm(const User& u)
{
    auto v = [&u](const char* name) {
        auto it = u.profile.find(name);
        return it == u.profile.end() ? std::string() : it->second;
    };
    auto mark = [&](const char* name) { return v(name).empty() ? std::string(" ") : std::string(" checked"); };
    const bool male = v("sex") == "男";
    std::string f = "<form name=\"form1\" method=\"post\" action=\"updateInfo.jsp\">\r\n";
    f += "<input type=\"text\" name=\"cName\" maxlength=\"20\" size=\"10\" value=\"" + v("cName") + "\">\r\n";
    f += "<input type=\"Text\" name=\"NickName\" maxlength=\"20\" size=\"20\" value=\"" + v("NickName") + "\">\r\n";
    f += std::string("<input name=\"sex\" type=\"radio\" value=\"男\"") + (male ? " checked" : "") + ">男\r\n";
    f += std::string("<input name=\"sex\" type=\"radio\" value=\"女\"") + (male ? "" : " checked") + ">女\r\n";
    f += "<INPUT maxLength=15 class=input name=passwd1 size=15 type=password value=\"" + u.password + "\" >\r\n";
    f += "<INPUT maxLength=4 name=year size=4 value=\"" + v("year") + "\" >\r\n";
    f += "<INPUT\t  maxLength=2 name=month size=2 value=\"" + v("month") + "\">\r\n";
    f += "<INPUT maxLength=2 name=day value=\"" + v("day") + "\" size=2>\r\n";
    f += "<INPUT maxLength=30 name=question class=input size=23 value=\"" + v("question") + "\">\r\n";
    f += "<INPUT maxLength=10 name=answer class=input size=10 value=\"" + v("answer") + "\" >\r\n";
    f += "<INPUT maxLength=100 name=Address   value=\"" + v("Address") + "\" class=input size=50>\r\n";
    f += "<INPUT name=addPm type=checkbox value=保密" + mark("addPm") + ">\r\n";
    f += "<INPUT\t  maxLength=50 name=company size=50 value=\"" + v("company") + "\">\r\n";
    f += "<INPUT name=comPm type=checkbox id=comPm value=保密" + mark("comPm") + ">\r\n";
    f += "<INPUT maxLength=60 name=Tele class=input size=50 value= \"" + v("Tele") + "\">\r\n";
    f += "<INPUT name=telePm type=checkbox id=telePm value=保密" + mark("telePm") + ">\r\n";
    f += "<INPUT name=mobileCode id=\"mobileCode\" size=30 maxLength=15 value=\"" + v("mobileCode") + "\">\r\n";
    f += "<INPUT\t  name=mobileCodePm type=checkbox id=\"mobileCodePm\" value=保密" + mark("mobileCodePm") + ">\r\n";
    f += "<INPUT\t  maxLength=60 name=Email size=50 value= \"" + v("Email") + "\">\r\n";
    f += "<INPUT name=emailPm type=checkbox id=emailPm value=保密" + mark("emailPm") + ">\r\n";
    f += "<INPUT maxLength=64 name=Icq  value=\"" + v("Icq") + "\" class=input size=30>\r\n";
    f += "<INPUT name=icqPm type=checkbox value=保密" + mark("icqPm") + ">\r\n";
    f += "<INPUT name=\"homePage\" class=input size=30 maxLength=60 value=\"" + v("homePage") + "\">\r\n";
    f += "<INPUT name=homePagePm type=checkbox id=\"homePagePm\" value=保密" + mark("homePagePm") + ">\r\n";
    f += "<input type=\"Hidden\" Name=\"iconIndex\" value=\"" + v("iconIndex") + "\">\r\n";
    f += "<TEXTAREA cols=50 name=Info rows=5>" + v("Info") + "</TEXTAREA>\r\n";
    f += "</form>";
    return Page("个人资料", f);
}

} // namespace

void InstallProfile(Simulator& sim)
{
    RouteBoth(sim, "register/update.jsp", [&sim](const Request& request, Response& response) {
        const std::string user = RequireSession(sim, request, response);
        if (user.empty())
            return;
        response.Html(sim.Edit([&](Scenario& s) {
            User* u = s.FindUser(user);
            if (request.Field("passwd") != u->password)
                return Page("个人资料", "<p>密码错误，请重新输入</p>");
            return u->rawProfilePage.empty() ? ProfileForm(*u) : u->rawProfilePage;
        }));
    });
    RouteBoth(sim, "register/updateInfo.jsp", [&sim](const Request& request, Response& response) {
        const std::string user = RequireSession(sim, request, response);
        if (user.empty())
            return;
        if (request.Field("cName").empty()) {
            response.Html(Page("个人资料", "<p>真实姓名不能为空！</p>"));
            return;
        }
        sim.Edit([&](Scenario& s) {
            User* u = s.FindUser(user);
            // An unticked box is not in the form.
            for (const char* mark : kMarks)
                u->profile.erase(mark);
            for (const auto& [name, value] : request.fields)
                u->profile[name] = value;
        });
        response.Html(Page("个人资料", "<b>恭喜您!您的个人资料修改成功了！</b>"));
    });
}

} // namespace tavrin::sim::p5460
