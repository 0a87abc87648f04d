// The member list: the visit page with its member rows among header and
// spacer rows, and each member's detail page.
#include "tests/sim/chinaren/SiteChinaRen.h"

#include "providers/chinaren/site.h"

namespace tavrin::sim::chinaren {

const char* const kDetailLabels[17] = {"性别：", "常用邮件地址：", "搜Q：", "移动电话：", "出生年月：",
                                       "教育程度：", "所属行业：", "省、直辖市：", "工作单位：", "单位地址：",
                                       "居住地址：", "邮政编码：", "联系电话：", "个人主页地址：", "QQ：",
                                       "MSN/ICQ：", "自我介绍："};

namespace {

const char kNoRights[] = "<p>您没有权限察看(例如您不是班级成员)</p>";

std::string MemberRow(const Member& m)
{
    std::string out = "<tr bgcolor=#FFFFFF>\r\n<td align=left>";
    for (const std::string& alt : m.alts)
        out += "<img src=/img/m.gif width=16 alt='" + alt + "'>";
    out += " <a href=\"/user/user_info.jsp?name=" + UrlEncode(m.userName) + "\" target=_blank>" + m.realName +
           "</a></td>\r\n<td align=left><a href=\"/class/class_personal.jsp?userid=" + UrlEncode(m.userName) +
           "\">" + m.userName + "</a></td>\r\n<td align=center><div class=cr3>" + m.visitTime +
           "</div></td>\r\n<td align=\"center\">" + m.lastVisit + "</td></tr>\r\n";
    return out;
}

std::string VisitPage(const Class& c)
{
    std::string body = "<table width=760 align=center>\r\n"
                       "<tr bgcolor=#E0EED0><td>姓名</td><td>用户名</td><td>访问次数</td><td>最后访问</td></tr>\r\n"
                       "<tr bgcolor=#FFFFFF><td colspan=4><img src=/img/dot.gif width=1 height=1></td></tr>\r\n";
    for (const Member& m : c.members)
        body += MemberRow(m);
    body += "</table>\r\n";
    return Page("ChinaRen校友录 班级成员", body);
}

std::string DetailPage(const Member& m)
{
    std::string body = "<table class=cla1 width=600>\r\n";
    for (const char* label : kDetailLabels) {
        auto it = m.details.find(label);
        body += "<tr><td align=\"right\" class=\"cr2\">\r\n  " + std::string(label) + "</td>\r\n<td class=cr3>" +
                (it == m.details.end() ? std::string() : it->second) + "</td></tr>\r\n";
    }
    body += "</table>\r\n";
    return Page("ChinaRen校友录 成员资料", body);
}

} // namespace

void InstallContacts(Simulator& sim, const StatePtr& state)
{
    sim.Route(tavrin::chinaren::kClassHost, "/class/class_visit.jsp",
              [&sim, state](const Request& request, Response& response) {
                  const std::string user = RequireSession(sim, request, response);
                  if (user.empty())
                      return;
                  std::lock_guard<std::mutex> lock(state->lock);
                  const std::string id = request.Field("classuuid");
                  const Class* c = state->data.FindClass(id);
                  if (!c || !IsMemberOf(state->data, user, id)) {
                      response.Html(Page("错误", kNoRights));
                      return;
                  }
                  response.Html(VisitPage(*c));
              });
    sim.Route(tavrin::chinaren::kClassHost, "/class/class_personal.jsp",
              [&sim, state](const Request& request, Response& response) {
                  const std::string user = RequireSession(sim, request, response);
                  if (user.empty())
                      return;
                  std::lock_guard<std::mutex> lock(state->lock);
                  const std::string id = request.Field("classuuid");
                  const Class* c = state->data.FindClass(id);
                  const Member* member = nullptr;
                  if (c && IsMemberOf(state->data, user, id))
                      for (const Member& m : c->members)
                          if (m.userName == request.Field("userid"))
                              member = &m;
                  if (!member || member->hidden) {
                      response.Html(Page("ChinaRen校友录", kNoRights));
                      return;
                  }
                  response.Html(DetailPage(*member));
              });
}

} // namespace tavrin::sim::chinaren
