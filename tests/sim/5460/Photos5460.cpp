// The class photo album: index pages, each photo's view page and comment
// page (which also takes new comments), the manager page that deletes, and
// the upload host's form target. The markup is what the client's
// expressions look for; images are files of the simulator (AddFile).
#include "tests/sim/5460/Site5460.h"

#include "providers/5460/PhotoUpload.h"
#include "providers/5460/site.h"

#include <algorithm>
#include <cstdlib>

namespace tavrin::sim::p5460 {

namespace {

const char kImageBase[] = "http://image.5460.net/photo/";

std::string SmallUrl(const Photo& p)
{
    return p.smallUrl.empty() ? std::string(kImageBase) + "s_" + p.commentId + ".jpg" : p.smallUrl;
}

std::string IndexEntry(const SchoolClass& c, const Photo& p, int page, int number)
{
    return "<td width=\"25%\"><div align=\"center\"><a href=\"./listuser.jsp?userid=" + p.uploadUserId +
           "\" class=\"style35\" target=\"_blank\">" + p.uploadUser + "</a><br>\r\n"
           "<span class=\"style12\">点击<font color=\"red\">" + p.click + "</font>次</span>,评论<font color=\"red\">" +
           std::to_string(p.comments.size()) + "</font>条</div>\r\n"
           "<a href=\"./newpictureview.jsp?classID=" + c.id + "&PageNum=" + std::to_string(page) +
           "&picnum=" + std::to_string(number) + "&picid=" + p.commentId + "&orderby=0\" target=\"viewpicture\">"
           "<img src=\"" + SmallUrl(p) + "\" border=\"0\"></a><br>\r\n"
           "<span class=\"style13\">" + p.title + "</span></td>\r\n";
}

std::string IndexPage(const SchoolClass& c, int page)
{
    std::string body = "<table width=\"100%\"><tr>\r\n";
    const int per = std::max(1, c.photosPerPage);
    const size_t first = page >= 1 ? static_cast<size_t>(page - 1) * static_cast<size_t>(per) : c.photos.size();
    for (size_t i = first; i < c.photos.size() && i < first + static_cast<size_t>(per); ++i)
        body += IndexEntry(c, c.photos[i], page, static_cast<int>(i - first));
    body += "</tr></table>\r\n<div class=\"style12\">第" + std::to_string(page) + "页</div>";
    return Page("班级相册", body);
}

std::string ViewPage(const Photo& p)
{
    return Page("查看照片",
                "<table width=\"100%\">\r\n"
                "<tr><td><div align=\"center\" class=\"style16\">积分 <strong>" + p.rank + "</strong></div></td>\r\n"
                "<td><div align=\"center\" class=\"style16\"> 上传时间 " + p.uploadTime + " </div></td></tr>\r\n"
                "<tr><td width=\"75%\" align=\"left\" class=\"style13\"> 　照片说明：" + p.description +
                " </div></td></tr>\r\n"
                "<tr><TD align=middle bgColor=#808080><a href=\"#\"><img src=" + p.imageUrl + "  alt=\"" + p.title +
                "\" border=0></a></TD></tr>\r\n</table>\r\n"
                "<iframe width=\"100%\" height=\"300\" src=\"./picturePL.jsp?picid=" + p.commentId +
                "\" name=\"picpl\" ></iframe>");
}

std::string CommentPage(const Photo& p)
{
    if (!p.rawCommentPage.empty())
        return p.rawCommentPage;
    std::string body = "<form name=\"pl\" method=\"post\" action=\"picturePL.jsp?picid=" + p.commentId + "\">\r\n"
                       "<input type=\"hidden\" name=\"picid\" value=\"" + p.id + "\">\r\n<table>\r\n";
    for (const Comment& comment : p.comments) {
        body += "<tr><td bgcolor=\"#96B7C5\"><p class=\"unnamed3\" style=\"line-height: 150%; margin-left: '20'; "
                "color: #FFFFFF;\">评论内容</td></tr>\r\n"
                "<tr><td><table width=\"100%\" border=\"0\" cellspacing=\"0\" cellpadding=\"0\">\r\n"
                "<tr><td><a href=\"./listuser.jsp?userid=" + comment.userId + "\">" + comment.user + "</a> " +
                comment.time + "</td></tr>\r\n<tr><td>" + comment.text + "</td></tr>\r\n</table></td></tr>\r\n";
    }
    body += "</table>\r\n<textarea name=\"comment\"></textarea><input type=\"hidden\" name=\"addCritique\" "
            "value=\"yes\"></form>";
    return Page("照片评论", body);
}

// The photo with that comment-page number in a class of the user.
Photo* FindPhoto(Scenario& s, const std::string& user, const std::string& commentId)
{
    User* u = s.FindUser(user);
    if (!u || commentId.empty())
        return nullptr;
    for (const std::string& classId : u->classIds) {
        SchoolClass* c = s.FindClass(classId);
        if (!c)
            continue;
        for (Photo& p : c->photos)
            if (p.commentId == commentId)
                return &p;
    }
    return nullptr;
}

std::string FullUrl(const Request& request)
{
    return "http://" + request.host + request.path + (request.query.empty() ? "" : "?" + request.query);
}

long long Number(const std::string& text)
{
    return std::atoll(text.c_str());
}

void Upload(Simulator& sim, const Request& request, Response& response)
{
    std::string user = RequireSession(sim, request, response);
    if (user.empty())
        return;
    const Part* title = request.FindPart("title");
    const Part* file = nullptr;
    for (const Part& part : request.parts)
        if (part.hasFileName)
            file = &part;
    if (!title || title->data.empty() || !file || file->data.empty()) {
        response.Html(Page("上传照片", "<p>请填写照片标题并选择照片文件。</p>"));
        return;
    }
    std::vector<std::string> images;
    std::string userId = sim.Edit([&](Scenario& s) {
        User* u = s.FindUser(user);
        long long nextId = 1000, nextComment = 5000;
        for (const SchoolClass& c : s.classes)
            for (const Photo& p : c.photos) {
                nextId = std::max(nextId, Number(p.id) + 1);
                nextComment = std::max(nextComment, Number(p.commentId) + 1);
            }
        for (const Part& part : request.parts) {
            if (part.name != "classList" || part.data.empty() || part.data[0] == '-')
                continue;
            if (std::find(u->classIds.begin(), u->classIds.end(), part.data) == u->classIds.end())
                continue;
            SchoolClass* c = s.FindClass(part.data);
            if (!c)
                continue;
            Photo p;
            p.id = std::to_string(nextId++);
            p.commentId = std::to_string(nextComment++);
            p.title = title->data;
            p.uploadUser = u->realName;
            p.uploadUserId = u->userId;
            p.uploadTime = "06-06-11 12:00";
            p.click = "0";
            p.rank = "0";
            p.imageUrl = std::string(kImageBase) + p.commentId + ".jpg";
            images.push_back(p.imageUrl);
            c->photos.insert(c->photos.begin(), p);
        }
        return u->userId;
    });
    for (const std::string& url : images)
        sim.AddFile(url, file->data, "image/jpeg");
    response.Redirect(std::string("http://") + tavrin::p5460::kWebHost1 + tavrin::p5460::kUploadDonePath + userId);
}

} // namespace

void InstallPhotos(Simulator& sim)
{
    RouteBoth(sim, "picture/picture.jsp", [&sim](const Request& request, Response& response) {
        std::string user = RequireSession(sim, request, response);
        if (user.empty())
            return;
        const std::string classId = request.Field("classID");
        if (!IsMemberOf(sim, user, classId)) {
            response.Html(Page("5460中国同学录", "<p>对不起，您不是该班成员。</p>"));
            return;
        }
        const int page = std::atoi(request.Field("PageNum").c_str());
        response.Html(sim.Edit([&](Scenario& s) { return IndexPage(*s.FindClass(classId), page); }));
    });
    RouteBoth(sim, "picture/newpictureview.jsp", [&sim](const Request& request, Response& response) {
        std::string user = RequireSession(sim, request, response);
        if (user.empty())
            return;
        std::string page = sim.Edit([&](Scenario& s) {
            Photo* p = FindPhoto(s, user, request.Field("picid"));
            return p ? ViewPage(*p) : Page("查看照片", "<p>照片不存在。</p>");
        });
        response.Html(page);
    });
    RouteBoth(sim, "picture/picturePL.jsp", [&sim](const Request& request, Response& response) {
        std::string user = RequireSession(sim, request, response);
        if (user.empty())
            return;
        const std::string commentId = request.Field("picid");
        std::string page = sim.Edit([&](Scenario& s) {
            Photo* p = FindPhoto(s, user, commentId);
            if (!p)
                return Page("照片评论", "<p>照片不存在。</p>");
            if (request.method == "POST") {
                Pairs form = ParseForm(request.body);
                auto field = [&](const char* name) {
                    for (const auto& [key, value] : form)
                        if (key == name)
                            return value;
                    return std::string();
                };
                if (field("addCritique") == "yes" && field("picid") == p->id) {
                    const User* u = s.FindUser(user);
                    Comment comment;
                    comment.user = u->realName;
                    comment.userId = u->userId;
                    comment.time = "2006-06-11 12:00";
                    comment.text = field("comment");
                    p->comments.push_back(comment);
                }
            }
            return CommentPage(*p);
        });
        response.Html(page);
    });
    RouteBoth(sim, "picture/picturemanager.jsp", [&sim](const Request& request, Response& response) {
        std::string user = RequireSession(sim, request, response);
        if (user.empty())
            return;
        bool deleted = sim.Edit([&](Scenario& s) {
            const User* u = s.FindUser(user);
            if (!u || request.Field("pdid") != u->userId || request.Field("modify") != "yes" ||
                request.Field("delete") != "1")
                return false;
            for (SchoolClass& c : s.classes) {
                auto it = std::find_if(c.photos.begin(), c.photos.end(), [&](const Photo& p) {
                    return p.commentId == request.Field("picid") && p.uploadUserId == u->userId;
                });
                if (it != c.photos.end()) {
                    c.photos.erase(it);
                    return true;
                }
            }
            return false;
        });
        // A refusal offers the same address again.
        response.Html(deleted ? Page("照片管理", "<p>照片已删除。</p>")
                              : Page("照片管理", "<p>对不起，您不能删除这张照片。</p><a href=\"" + FullUrl(request) +
                                                     "\">返回</a>"));
    });
    sim.Route(tavrin::p5460::kUploadHost, tavrin::p5460::kUploadPath,
              [&sim](const Request& request, Response& response) { Upload(sim, request, response); });
}

} // namespace tavrin::sim::p5460
