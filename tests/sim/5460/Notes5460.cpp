// The private-note list of a class and the form that sends and deletes notes.
#include "tests/sim/5460/Site5460.h"

#include <algorithm>

namespace tavrin::sim::p5460 {

namespace {

// One note as the list shows it: received notes carry the answer link to
// their sender, sent ones the provider's "sent" mark in front of it.
std::string NoteBlock(const Note& note, const std::string& classId, bool sent)
{
    std::string link = "<a href=\"privacySend.jsp?ReceiverID=" + note.senderId + "&ReceiverName=" +
                       note.senderName + "&classID=" + classId + "\" target=\"_blank\">回复</a>";
    if (sent)
        link = "<!--sent--><a href=\"#\" title='发送' >已发送</a> " + link;
    return "<tr>\r\n<td width=\"320\" nowrap>主题：" + note.subject + "<br>" + note.content + "</td>\r\n<td nowrap>" +
           link + "</td>\r\n<td  align=\"center\" nowrap>" + note.time +
           "</td>\r\n<td align=\"center\"><input type=\"checkbox\" name=\"isDelete\" value=\"" + note.id +
           "\"></td>\r\n</tr>\r\n";
}

std::string ListPage(Simulator& sim, const std::string& user, const std::string& classId)
{
    std::string blocks = sim.Edit([&](Scenario& s) {
        SchoolClass* c = s.FindClass(classId);
        if (c->rawNotes)
            return c->rawNoteBlocks;
        const std::string userId = s.FindUser(user)->userId;
        std::string out;
        for (const Note& n : c->notes) {
            if (n.receiverId == userId)
                out += NoteBlock(n, classId, false);
            else if (n.senderId == userId)
                out += NoteBlock(n, classId, true);
        }
        return out;
    });
    return Page("悄悄话", "<form name=\"privacy\" method=\"post\" action=\"privacySubmit.jsp\">\r\n<table>\r\n" +
                              blocks + "</table>\r\n</form>");
}

} // namespace

void InstallNotes(Simulator& sim)
{
    RouteBoth(sim, "privacy/privacyDisplay.jsp", [&sim](const Request& request, Response& response) {
        const std::string user = RequireSession(sim, request, response);
        if (user.empty())
            return;
        const std::string classId = request.Field("classID");
        if (!IsMemberOf(sim, user, classId)) {
            response.Html(Page("5460中国同学录", "<p>对不起，您不是该班成员。</p>"));
            return;
        }
        response.Html(ListPage(sim, user, classId));
    });
    RouteBoth(sim, "privacy/privacySubmit.jsp", [&sim](const Request& request, Response& response) {
        const std::string user = RequireSession(sim, request, response);
        if (user.empty())
            return;
        const std::string classId = request.Field("classID");
        if (!IsMemberOf(sim, user, classId)) {
            response.Html(Page("5460中国同学录", "<p>对不起，您不是该班成员。</p>"));
            return;
        }
        const std::string operation = request.Field("Operation");
        if (operation == "1") {
            sim.Edit([&](Scenario& s) {
                SchoolClass* c = s.FindClass(classId);
                long next = 1;
                for (const Note& n : c->notes)
                    next = std::max(next, std::stol(n.id.empty() ? "0" : n.id) + 1);
                Note note;
                note.id = std::to_string(next);
                note.subject = request.Field("Title");
                note.content = request.Field("Info");
                note.senderName = s.FindUser(user)->realName;
                note.senderId = s.FindUser(user)->userId;
                note.receiverId = request.Field("ReceiverID");
                note.time = "2006-06-11 12:00";
                c->notes.insert(c->notes.begin(), note);
            });
            response.Html(Page("悄悄话", "<p>" + request.Field("ReceiverName") + "同学悄悄话发送成功！</p>"));
        } else if (operation == "2") {
            const std::string id = request.Field("isDelete");
            sim.Edit([&](Scenario& s) {
                auto& notes = s.FindClass(classId)->notes;
                notes.erase(std::remove_if(notes.begin(), notes.end(), [&](const Note& n) { return n.id == id; }),
                            notes.end());
            });
            response.Html(Page("悄悄话", "<p>删除成功。</p>"));
        } else {
            response.Html(Page("悄悄话", "<p>操作错误。</p>"));
        }
    });
}

} // namespace tavrin::sim::p5460
