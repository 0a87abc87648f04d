// The class message board: list pages (pinned messages on page 1, then the
// regular messages newest first), a message's own page with its replies and
// reply form, and the forms that post, reply and delete.
#include "tests/sim/5460/Site5460.h"

#include <algorithm>

namespace tavrin::sim::p5460 {

namespace {

const char kPostedTime[] = "2006-07-01 12:00";

std::string Block(const SchoolClass& c, const Message& m)
{
    std::string replies = m.replies.empty()
                              ? std::string()
                              : "<span class=style11>" + std::to_string(m.replies.size()) + "</span>条";
    return "<table width=\"100%\">\r\n<tr><td><span class=\"style1\"><span class=\"style7\">主题:</span></span>"
           "<span class=\"style53\">" + m.title + (m.pinned ? "<font color=green>(置顶)</font>" : "") +
           "</span></span></td>\r\n<td align=right><span class=\"style59\">" + m.time + "</span></td></tr>\r\n"
           "<tr><td style=\"font-size: 14px;color: #333333;\">" + m.content + "</td></tr>\r\n"
           "<tr><td><span class=\"style7\">留言者：</span><a href=\"/gy5460/jsp/person/personInfo.jsp?memberID=" +
           m.userId + "\" target=_blank><span class=\"style11\">" + m.user + "</span></a> "
           "<a href=\"critique.jsp?liuyanID=" + m.id + "&classID=" + c.id + "\"><span class=\"style53\">【回复</span>" +
           replies + "<span class=\"style53\">】</span></a></td></tr>\r\n"
           "<tr><td height=\"1\" bgcolor=\"DFDFDF\"></td></tr>\r\n</table>\r\n";
}

std::string ListPage(const SchoolClass& c, int page)
{
    std::vector<const Message*> regular;
    std::string body;
    for (const Message& m : c.messages)
        if (!m.pinned)
            regular.push_back(&m);
    const int perPage = std::max(1, c.messagesPerPage);
    const int total = std::max(1, static_cast<int>((regular.size() + perPage - 1) / perPage));
    if (page == 1)
        for (const Message& m : c.messages)
            if (m.pinned)
                body += Block(c, m);
    for (int i = (page - 1) * perPage; page >= 1 && i < page * perPage && i < static_cast<int>(regular.size()); ++i)
        body += Block(c, *regular[static_cast<size_t>(i)]);
    if (c.showMessagePageTotal)
        body += "<p>第" + std::to_string(page) + "页 共<font color=red>" + std::to_string(total) + "</font>页</p>\r\n";
    return Page("班级留言", body);
}

std::string ReplyPage(const SchoolClass& c, const Message& m)
{
    std::string body = Block(c, m) + "<!---回复开始时-->\r\n";
    for (const Reply& r : m.replies) {
        body += "<table><tr><td><span class=\"style59\">" + r.time + "</span></td></tr>\r\n"
                "<tr><td><span class=\"style49\">" + r.content + "</span></td></tr>\r\n"
                "<tr><td><span class=\"style7\">回复者：</span><a href=\"/gy5460/jsp/person/personInfo.jsp?memberID=" +
                r.userId + "\"><span class=\"style11\">" + r.user + "</span></a> "
                "<a href=\"javascript:openwin(" + r.id + ",'" + m.id + "')\"><span class=\"style53\">【举报】</span></a>"
                "</td></tr></table>\r\n";
    }
    body += "<!--回复留言结束-->\r\n<form method=post action=\"inputCritique.jsp\"><table><tr>"
            "<td>回帖内容：（注意换行，不能超过2000个字节）</td></tr>\r\n<tr><td><textarea name=\"Info\"></textarea>"
            "</td></tr></table></form>\r\n";
    return Page("回复留言", body);
}

int NextId(const SchoolClass& c)
{
    long long top = 0;
    for (const Message& m : c.messages) {
        top = std::max(top, std::atoll(m.id.c_str()));
        for (const Reply& r : m.replies)
            top = std::max(top, std::atoll(r.id.c_str()));
    }
    return static_cast<int>(top + 1);
}

// Runs handle on the request's class for a signed-in member, else answers.
template <class F>
void ForMember(Simulator& sim, const Request& request, Response& response, F handle)
{
    std::string user = RequireSession(sim, request, response);
    if (user.empty())
        return;
    const std::string classId = request.Field("classID");
    if (!IsMemberOf(sim, user, classId)) {
        response.Html(Page("5460中国同学录", "<p>对不起，您不是该班成员。</p>"));
        return;
    }
    sim.Edit([&](Scenario& s) {
        User* u = s.FindUser(user);
        handle(*s.FindClass(classId), *u);
    });
}

Message* FindMessage(SchoolClass& c, const std::string& id)
{
    for (Message& m : c.messages)
        if (m.id == id)
            return &m;
    return nullptr;
}

} // namespace

void InstallMessages(Simulator& sim)
{
    RouteBoth(sim, "liuyan/liuyan.jsp", [&sim](const Request& request, Response& response) {
        ForMember(sim, request, response, [&](SchoolClass& c, User&) {
            const int page = std::atoi(request.Field("PageNum").c_str());
            response.Html(ListPage(c, page));
            if (page == c.brokenMessagePage) {
                response.status = c.brokenMessageStatus;
                if (response.status == 200)
                    response.body.clear();
            }
        });
    });
    RouteBoth(sim, "liuyan/critique.jsp", [&sim](const Request& request, Response& response) {
        ForMember(sim, request, response, [&](SchoolClass& c, User&) {
            Message* m = FindMessage(c, request.Field("liuyanID"));
            response.Html(m ? ReplyPage(c, *m) : Page("回复留言", "<p>该留言不存在或已被删除。</p>"));
        });
    });
    RouteBoth(sim, "liuyan/input.jsp", [&sim](const Request& request, Response& response) {
        ForMember(sim, request, response, [&](SchoolClass& c, User& u) {
            Message m;
            m.id = std::to_string(NextId(c));
            m.title = request.Field("Subject");
            m.content = request.Field("Info");
            m.time = kPostedTime;
            m.user = u.realName;
            m.userId = u.userId;
            auto at = std::find_if(c.messages.begin(), c.messages.end(), [](const Message& x) { return !x.pinned; });
            c.messages.insert(at, m);
            response.Html(Page("班级留言", "<p>留言成功！</p>"));
        });
    });
    RouteBoth(sim, "liuyan/inputCritique.jsp", [&sim](const Request& request, Response& response) {
        ForMember(sim, request, response, [&](SchoolClass& c, User& u) {
            const int id = NextId(c);
            Message* m = FindMessage(c, request.Field("liuyanID"));
            if (!m) {
                response.Html(Page("回复留言", "<p>该留言不存在或已被删除。</p>"));
                return;
            }
            Reply r;
            r.id = std::to_string(id);
            r.time = kPostedTime;
            r.content = request.Field("Info");
            r.user = u.realName;
            r.userId = u.userId;
            m->replies.push_back(r);
            response.Html(Page("回复留言", "<p>回复成功！</p>"));
        });
    });
    RouteBoth(sim, "liuyan/deleteLiuyan.jsp", [&sim](const Request& request, Response& response) {
        ForMember(sim, request, response, [&](SchoolClass& c, User& u) {
            const std::string id = request.Field("liuyanID");
            auto it = std::find_if(c.messages.begin(), c.messages.end(), [&](const Message& m) { return m.id == id; });
            // Members delete their own messages only.
            if (it != c.messages.end() && it->userId != u.userId) {
                response.Html(Page("删除留言", "<p align=\"center\">对不起，你无权删除该留言</td>"));
                return;
            }
            if (it != c.messages.end())
                c.messages.erase(it);
            response.Html(Page("删除留言", "<script>location.href='liuyan.jsp?classID=" + c.id + "';</script>"));
        });
    });
}

} // namespace tavrin::sim::p5460
