// The short notes: the note page, the send form and its post, and the
// history page that also deletes.
#include "tests/sim/chinaren/SiteChinaRen.h"

#include "providers/chinaren/site.h"

#include <algorithm>

namespace tavrin::sim::chinaren {

namespace {

std::string NoteRow(const Note& n, const std::string& classId)
{
    return "<tr bgcolor=#FFFFFF><td width=20><input type=checkbox name=msgid value=\"" + n.id +
           "\" class=chk></td>\r\n<td class=t>" + n.time + "</td>\r\n<td class=n>" + n.fromReal +
           "</td>\r\n<td class=c><script>document.write(addURLLink(\"" + n.content +
           "\"))</script></td>\r\n<td class=r><a href=\"online_sendmsg.jsp?classuuid=" + classId +
           "&towho=" + UrlEncode(n.fromUser) + "&pid=" + n.id + "\">回复</a></td></tr>\r\n";
}

std::string NotePage(const Class& c)
{
    std::string body = "<table width=600>\r\n<tr bgcolor=#E0EED0><td>选择</td><td>时间</td><td>发送人</td>"
                       "<td>内容</td><td>回复</td></tr>\r\n";
    for (const Note& n : c.notes)
        body += NoteRow(n, c.id);
    body += "</table>\r\n";
    return Page("ChinaRen校友录 小纸条", body);
}

std::string HistoryPage(const Class& c)
{
    std::string body = "<table width=600>\r\n<tr bgcolor=\"E0EED0\"><td>历史</td></tr>\r\n";
    size_t i = 0;
    for (const Note& n : c.notes) {
        ++i;
        body += std::string("<tr bgcolor=\"") + (i % 2 ? "FFFFFF" : "E5E5E5") + "\"><td align=\"left\">" +
                std::to_string(i) + "</td><td align=\"center\">" + n.time + "</td><td align=\"center\">" +
                n.fromReal + "</td><td align=\"center\">" + n.content +
                "</td><td align=\"center\"><input type=checkbox name=h value=\"" + n.id + "\"></td></tr>\r\n";
    }
    body += "</table>\r\n";
    return Page("ChinaRen校友录 历史小纸条", body);
}

// The class of the request when the signed-in user belongs to it.
Class* MemberClass(Data& data, const std::string& user, const Request& request)
{
    const std::string id = request.Field("classuuid");
    Class* c = data.FindClass(id);
    return c && IsMemberOf(data, user, id) ? c : nullptr;
}

} // namespace

std::string FormKey(int number)
{
    return "k&1 " + std::to_string(number);
}

void InstallNotes(Simulator& sim, const StatePtr& state)
{
    sim.Route(tavrin::chinaren::kClassHost, "/online/online_msg.jsp",
              [&sim, state](const Request& request, Response& response) {
                  const std::string user = RequireSession(sim, request, response);
                  if (user.empty())
                      return;
                  std::lock_guard<std::mutex> lock(state->lock);
                  const Class* c = MemberClass(state->data, user, request);
                  response.Html(c ? NotePage(*c) : Page("错误", "<p>您不是该班级的成员。</p>"));
              });
    sim.Route(tavrin::chinaren::kClassHost, "/online/online_sendmsg.jsp",
              [&sim, state](const Request& request, Response& response) {
                  const std::string user = RequireSession(sim, request, response);
                  if (user.empty())
                      return;
                  std::lock_guard<std::mutex> lock(state->lock);
                  Class* c = MemberClass(state->data, user, request);
                  if (!c) {
                      response.Html(Page("错误", "<p>您不是该班级的成员。</p>"));
                      return;
                  }
                  if (request.method != "POST") {
                      response.Html(Page("ChinaRen校友录 发送小纸条",
                                         "<form method=post action=online_sendmsg.jsp>\r\n"
                                         "<INPUT TYPE=hidden name=\"ZKEY\" value=" +
                                             FormKey(c->nextFormKey++) +
                                             ">\r\n<textarea name=content></textarea></form>"));
                      return;
                  }
                  // The key comes back unencoded: its "&" splits it in the form.
                  const bool keyed = request.body.find("&ZKEY=k&1 ") != std::string::npos;
                  if (!keyed || request.Field("send") != "1" || c->noSendMarker) {
                      response.Html(Page("ChinaRen校友录 发送小纸条", "<p>发送失败</p>"));
                      return;
                  }
                  c->sentNotes.push_back(request.body);
                  response.Html("<SCRIPT>alert('发送成功');</SCRIPT>");
              });
    sim.Route(tavrin::chinaren::kClassHost, "/online/online_gethistory.jsp",
              [&sim, state](const Request& request, Response& response) {
                  const std::string user = RequireSession(sim, request, response);
                  if (user.empty())
                      return;
                  std::lock_guard<std::mutex> lock(state->lock);
                  Class* c = MemberClass(state->data, user, request);
                  if (!c) {
                      response.Html(Page("错误", "<p>您不是该班级的成员。</p>"));
                      return;
                  }
                  if (request.Field("del") == "1") {
                      const std::string id = request.Field("tm");
                      c->notes.erase(std::remove_if(c->notes.begin(), c->notes.end(),
                                                    [&](const Note& n) { return n.id == id; }),
                                     c->notes.end());
                  }
                  response.Html(HistoryPage(*c));
              });
}

} // namespace tavrin::sim::chinaren
