// The message board: the current board and two history listings, rows
// newest first, and the class vote shown on the class page.
#include "tests/sim/chinaren/SiteChinaRen.h"

#include "providers/chinaren/site.h"

#include <algorithm>

namespace tavrin::sim::chinaren {

namespace {

// The text inside a single-quoted script string.
std::string ScriptEscaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == '\'' || c == '"')
            out += '\\';
        out += c;
    }
    return out;
}

std::string RowMarkup(const BoardRow& row, const std::string& classId, size_t index)
{
    // Some rows come in capitals, as the site writes them.
    std::string out = index % 2 ? "<TR BGCOLOR=F3F3F3>" : "<tr bgcolor=F3F3F3>";
    out += "<td width=110 align=center>";
    if (row.guest)
        out += "<font color=#339900 class=green1>" + row.user + "</font>";
    else
        out += "<a href=\"/user/user_info.jsp?name=" + UrlEncode(row.user) + "\" target=_blank class=cr4>" + row.user +
               "</a>";
    out += "</td>\r\n<td><font color=46A718>" + row.time + "</font>";
    if (row.pinned)
        out += " <font color=red>本条是置顶留言,管理员可以置顶五条留言</font>";
    if (row.deletable)
        out += " <a href=\"javascript:delmsg('" + row.id + "', '" + classId + "', 1)\">删除</a>";
    out += "</td></tr>\r\n<tr><td colspan=2 class=cla1><script>";
    if (row.flat)
        out += "doFlatTxt('" + ScriptEscaped(row.content) + " &nbsp;', '" + row.id + "')";
    else
        out += "doStr('" + ScriptEscaped(row.content) + "')";
    out += "</script></td></tr>\r\n";
    return out;
}

std::string BoardPage(const Class& c, int kind, int page)
{
    std::vector<const BoardRow*> rows;
    std::vector<const BoardRow*> pinned;
    for (const BoardRow& row : c.board) {
        if (row.pinned && kind == 0)
            pinned.push_back(&row);
        else if (!row.pinned && row.kind == kind)
            rows.push_back(&row);
    }
    const int per = std::max(1, c.rowsPerPage);
    const int pages = static_cast<int>((rows.size() + per - 1) / per);
    // A page past the end is answered with the last page.
    const int shown = std::min(std::max(page, 1), std::max(pages, 1));
    std::string body = "<table width=760 align=center><tr><td class=cr1>"
                       "<a href=\"/class/class_index.jsp?classuuid=" + c.id + "\" class=cr1>班级首页</a> | "
                       "<a href=\"/class/class_leaveword.jsp?classuuid=" + c.id + "\" class=cr1>班级留言</a> | "
                       "<a href=\"/class/class_leaveword2.jsp?classuuid=" + c.id + "&p=1&msgtype=1&type=3\" "
                       "class=cr1>历史留言</a></td></tr></table>\r\n"
                       "<table width=760 align=center cellpadding=3 cellspacing=1 bgcolor=#E0EED0>\r\n"
                       "<tr bgcolor=#FFFFFF><td colspan=2><script>playAd()</script></td></tr>\r\n";
    size_t index = 0;
    if (shown == 1)
        for (const BoardRow* row : pinned)
            body += RowMarkup(*row, c.id, index++);
    for (int i = (shown - 1) * per; i < static_cast<int>(rows.size()) && i < shown * per; ++i)
        body += RowMarkup(*rows[static_cast<size_t>(i)], c.id, index++);
    body += "</table>\r\n";
    if (c.closingText && shown == pages)
        body += "<p class=gray>由于系统资源有限，校友录留言只显示最近的留言，更早的留言请查看历史留言。</p>\r\n";
    body += "<p>第" + std::to_string(shown) + "页 共" + std::to_string(std::max(pages, 1)) + "页</p>\r\n";
    if (c.untitledBoard || (kind == 0 && page == c.brokenBoardPage))
        return Page("ChinaRen校友录", body);
    return Page(kind == 0 ? "ChinaRen校友录 班级留言" : "ChinaRen校友录 历史留言", body);
}

const char kRejectedPage[] = "<script>alert('请输入正确的认证信息');history.go(-1);</script>";
const char kGonePage[] = "<SCRIPT>alert('装入留言失败');history.go(-1);</SCRIPT>";

// The board's own writes: met=add posts a message (checked against the code
// drawn for its "tm"), met=del deletes one, met=edit shows one for editing.
void Write(Data& data, const User& user, Class& c, const Request& request, Response& response)
{
    const std::string met = request.Field("met");
    const std::string wordId = request.Field("wordid");
    auto row = std::find_if(c.board.begin(), c.board.end(), [&](const BoardRow& r) { return r.id == wordId; });
    if (met == "add") {
        auto code = data.codes.find(MessagePictureQuery(user, c.id, request.Field("tm")));
        if (request.Field("ark").empty() || code == data.codes.end() || code->second != request.Field("ark")) {
            response.Html(Page("班级留言", kRejectedPage));
            return;
        }
        BoardRow added;
        added.id = std::to_string(c.nextRowId++);
        added.user = user.realName.empty() ? user.name : user.realName;
        added.time = "2005-06-01 08:00:00 星期三";
        added.content = request.Field("words");
        c.board.insert(c.board.begin(), added);
        if (!data.postCookie.empty())
            response.SetCookie("crpost", data.postCookie);
        response.Html(Page("班级留言", "<script>alert('留言成功');location.href='class_leaveword.jsp?classuuid=" +
                                           c.id + "';</script>"));
    } else if (met == "del") {
        if (row != c.board.end() && row->deletable)
            c.board.erase(row);
        response.Html(Page("班级留言", "<script>location.href='class_leaveword.jsp?classuuid=" + c.id + "';</script>"));
    } else if (row == c.board.end()) {
        response.Html(kGonePage);
    } else {
        response.Html(Page("修改留言", "<form method=post action=class_leaveword.jsp><textarea name=words>" +
                                           row->content + "</textarea></form>"));
    }
}

void RouteBoard(Simulator& sim, const StatePtr& state, const char* path, bool history)
{
    sim.Route(tavrin::chinaren::kClassHost, path, [&sim, state, history](const Request& request, Response& response) {
        const std::string user = RequireSession(sim, request, response);
        if (user.empty())
            return;
        std::lock_guard<std::mutex> lock(state->lock);
        const std::string id = request.Field("classuuid");
        Class* c = state->data.FindClass(id);
        if (!c || !IsMemberOf(state->data, user, id)) {
            response.Html(Page("错误", "<p>您不是该班级的成员。</p>"));
            return;
        }
        const User* u = state->data.FindUser(user);
        if (!history && request.HasField("met") && u) {
            Write(state->data, *u, *c, request, response);
            return;
        }
        int kind = 0;
        if (history)
            kind = request.Field("type") == "4" ? 2 : 1;
        response.Html(BoardPage(*c, kind, std::atoi(request.Field("p").c_str())));
    });
}

} // namespace

std::string VoteMarkup(const Class& c)
{
    const std::string tip = "var voteTip = new Array();voteTip[0]=\"创建人:" + c.voteCreator + "<br>理　由:" +
                            c.voteReason + "\";";
    switch (c.vote) {
    case VoteForm::None:
        return {};
    case VoteForm::Shown:
        return "<script> " + tip + "</script>\r\n<table class=cla1 width=439><tr><td><font color=246F00>班级投票: " +
               c.voteTitle + "　总票数:12</font></td></tr>\r\n<tr><td width=200>选项</td><td width=200>比例</td></tr>\r\n"
               "<tr><td>去春游</td><td>50%</td></tr>\r\n<tr><td colspan=2><a href=class_vote.jsp?classuuid=" + c.id +
               ">查看详情</a></td></tr></table>\r\n";
    case VoteForm::Ballot:
        return "<table  class=cla1 cellspacing=0 cellpadding=0 width=width border=0 cellpadding=2 cellspacing=2>"
               "<tr><td>\r\n<script language=\"JavaScript\"> " + tip + " function doView(){}</script>\r\n"
               "<font color=246F00>班级投票: " + c.voteTitle + "</font><br>\r\n"
               "<form name=voteform method=post action=\"class_vote.jsp?action=VOTE\" target=_blank>\r\n"
               "<input type=radio name=voteitem value=1>去春游<br>\r\n<input type=radio name=voteitem value=2>去秋游<br>\r\n"
               "<input type=hidden name=classuuid value=" + c.id + ">\r\n"
               "<input class=txtbtn type=\"submit\" value=\"投票\"> "
               "<input class=txtbtn type=\"button\" value=\"查看\" onclick=\"doView()\">\r\n"
               "</form></td></tr></table>\r\n";
    }
    return {};
}

std::string MessagePictureQuery(const User& user, const std::string& classId, const std::string& key)
{
    std::string name = user.name;
    for (char& ch : name)
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
    return "lw" + classId + name + (user.sohu ? "@sohu" : "") + key;
}

void InstallBoard(Simulator& sim, const StatePtr& state)
{
    sim.Route(tavrin::chinaren::kClassHost, "/class/class_vote.jsp",
              [&sim, state](const Request& request, Response& response) {
                  const std::string user = RequireSession(sim, request, response);
                  if (user.empty())
                      return;
                  std::lock_guard<std::mutex> lock(state->lock);
                  const std::string id = request.Field("classuuid");
                  Class* c = state->data.FindClass(id);
                  if (request.method != "POST" || request.Field("action") != "VOTE" || !c ||
                      !IsMemberOf(state->data, user, id)) {
                      response.Html(Page("班级投票", "<p>投票无效。</p>"));
                      return;
                  }
                  c->ballots.push_back(request.body);
                  // A member who voted sees the results.
                  c->vote = VoteForm::Shown;
                  response.Html("<script language=\"JavaScript\">window.location.href='class_vote.jsp?classuuid=" +
                                id + "';</script>");
              });
    RouteBoard(sim, state, "/class/class_leaveword.jsp", false);
    RouteBoard(sim, state, "/class/class_leaveword2.jsp", true);
}

} // namespace tavrin::sim::chinaren
