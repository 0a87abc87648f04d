// The class home page: the class's cells in the site's tables, with the
// announcement after the advert script.
#include "tests/sim/chinaren/SiteChinaRen.h"

#include "providers/chinaren/site.h"

namespace tavrin::sim::chinaren {

namespace {

std::string Row(const std::string& label, const std::string& cell)
{
    return "<tr><td width=80 class=cr1><font color=666666>" + label + "</font></td>" + cell + "</tr>\r\n";
}

std::string ClassPage(const Class& c)
{
    std::string admins;
    for (size_t i = 0; i < c.administrators.size(); ++i)
        admins += (i ? ", " : "") + std::string("<a href=\"/user/user_info.jsp?name=") + UrlEncode(c.administrators[i]) +
                  "\" class=cr4 target=_blank>" + c.administrators[i] + "</a>";
    const std::string image = "http://" + std::string(tavrin::chinaren::kImageHost);
    std::string body =
        "<table width=760 align=center border=0 cellpadding=0 cellspacing=0><tr><td width=200 valign=top>\r\n"
        "<table width=200 border=0 cellpadding=2 cellspacing=0><tr><td><a href=\"/class/class_index.jsp?classuuid=" +
        c.id + "\" class=cr1>班级首页</a></td></tr>\r\n"
        "<tr><td><a href=\"/class/class_leaveword.jsp?classuuid=" + c.id + "\" class=cr1>班级留言</a></td></tr>\r\n"
        "<tr><td><a href=\"http://" + std::string(tavrin::chinaren::kAlbumHost) +
        "/album/classpic_index.jsp?classuuid=" + c.id + "\" class=cr1>班级相册</a></td></tr></table>\r\n"
        "</td><td valign=top>\r\n"
        "<table width=439  border=0 cellpadding=2 cellspacing=0>\r\n<tr><td><img src=\"" + image +
        "/product/images/class.gif\"><font color=246F00>&nbsp;" + c.heading + "</font></td></tr>\r\n</table>\r\n"
        "<table width=439 border=0 cellpadding=3 cellspacing=1 bgcolor=#E0EED0>\r\n" +
        Row("语音号码：", "<td><font color=4b4b4b>" + c.voiceNumber +
                             " <a href=\"/voice/apply.jsp\" class=cr1>立即申请</a></font></td>") +
        Row("入学年份：", "<td width=130>" + c.enrolYear + "</td>") +
        Row("成 员 数：", "<td><font color=4b4b4b>" + c.memberCount + "</font></td>") +
        // A class without a founder has no such row.
        (c.founder.empty() ? std::string()
                           : Row("创 始 人：", "<td><a href=\"/user/user_info.jsp?name=" + UrlEncode(c.founder) +
                                                  "\" class=cr4>" + c.founder + "</a></td>")) +
        Row("创建时间：", "<td><font color=4b4b4b>" + c.created + "</font></td>") +
        Row("班级首页：", "<td><center>" + c.homePage + "</center></td>") +
        Row("管 理 员：", "<td colspan=\"3\">" + admins + "</td>") +
        "</table>\r\n"
        "<table width=439 border=0 cellpadding=2 cellspacing=0>\r\n"
        "<tr><td class=title>生 日 榜</td></tr>\r\n<tr><td class=cla1>\r\n" + c.birthdays + "\r\n</td></tr>\r\n"
        "<tr><td><font color=246F00>在线同学:</font></td>\r\n<td>" + c.online + "</td></tr>\r\n"
        "</table>\r\n"
        "<table width=439 border=0 cellpadding=2 cellspacing=0>\r\n"
        "<tr><td class=title>班级公告 <script>playAd()</script></td></tr>\r\n"
        "<tr><td>\r\n" + c.announcement + "\r\n</td></tr>\r\n</table>\r\n" + VoteMarkup(c) +
        "</td></tr></table>\r\n";
    return Page(c.schoolName + " " + c.name, body);
}

} // namespace

void InstallClassPage(Simulator& sim, const StatePtr& state)
{
    sim.Route(tavrin::chinaren::kClassHost, "/class/class_index.jsp",
              [&sim, state](const Request& request, Response& response) {
                  const std::string user = RequireSession(sim, request, response);
                  if (user.empty())
                      return;
                  std::lock_guard<std::mutex> lock(state->lock);
                  const std::string id = request.Field("classuuid");
                  const Class* c = state->data.FindClass(id);
                  if (!c || !IsMemberOf(state->data, user, id)) {
                      response.Html(Page("错误", "<p>您不是该班级的成员。</p>"));
                      return;
                  }
                  response.Html(ClassPage(*c));
              });
}

} // namespace tavrin::sim::chinaren
