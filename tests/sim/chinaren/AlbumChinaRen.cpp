// The class album: the index page that names the data scripts, the photo
// data and comments scripts on the album-data host, the comment form, the
// multipart upload and the delete form. Photo images are files the tests
// publish on the numbered hosts or at a PURL (Simulator::AddFile).
#include "tests/sim/chinaren/SiteChinaRen.h"

#include "providers/chinaren/site.h"

#include <algorithm>
#include <functional>
#include <cstdlib>
#include <set>

namespace tavrin::sim::chinaren {

namespace {

const char kSep[] = "`@^";

std::string DataHostUrl(const std::string& path)
{
    return std::string("http://") + tavrin::chinaren::kAlbumDataHost + path;
}

std::string IndexPage(const Class& c)
{
    std::string body = "<table width=760 align=center><tr><td class=title>" + c.name + " 班级相册</td></tr></table>\r\n"
                       "<script language=Javascript src=http://" + std::string(tavrin::chinaren::kImageHost) +
                       "/product/tavrin3/tavrin_tip.js></script>\r\n"
                       "<script language=Javascript src=\"" + AlbumDataUrl(c.id) + "\"></script>\r\n";
    if (!c.noCommentsScript)
        body += "<script language=Javascript src=\"" + AlbumCommentsUrl(c.id) + "\"></script>\r\n";
    body += "<script language=Javascript src=\"" + DataHostUrl("/classpic_" + c.id + ".js") + "\"></script>\r\n"
            "<script>location.reload();</script>\r\n";
    return Page("ChinaRen校友录 班级相册", body);
}

std::string DataScript(const Class& c)
{
    std::string out = "var pl = new Array();\r\n";
    for (const AlbumPhoto& p : c.album) {
        int comments = 0;
        for (const AlbumComment& k : c.albumComments)
            comments += k.photoId == p.id ? 1 : 0;
        out += "pl[\"" + p.id + "\"]=\"HOST" + p.host + kSep + "USID" + p.id + "u" + kSep + "REAL" + p.realName + kSep +
               "FNAM" + p.title + kSep + "FEXT" + p.ext + kSep + "FLSZ" + p.fileSize + kSep + "IMSZ" + p.imageSize +
               kSep + "CRTM" + p.crtm + kSep + "INTR" + p.intro + kSep +
               (p.malformed ? std::string() : "PURL" + p.purl + kSep) + "CLIK" + p.clicks + kSep + "CMNM" +
               std::to_string(comments) + kSep + "CMDB0" + kSep + "STAT0" + kSep + "COL0" + kSep + "COL0\";\n";
    }
    return out;
}

std::string CommentsScript(const Class& c)
{
    std::string out = "var cl = new Array();\r\n";
    int n = 0;
    for (const AlbumComment& k : c.albumComments) {
        ++n;
        out += "cl[\"" + k.photoId + kSep + std::to_string(n) + "\"]=\"USID" + std::to_string(n) + kSep + "REAL" +
               k.realName + kSep + (k.malformed ? std::string() : "CRTM" + k.crtm + kSep) + "MESG" + k.text +
               "\";\n";
    }
    return out;
}

Class* MemberClass(Data& data, const std::string& user, const Request& request)
{
    const std::string id = request.Field("classuuid");
    Class* c = data.FindClass(id);
    return c && IsMemberOf(data, user, id) ? c : nullptr;
}

using MemberHandler = std::function<void(Data&, const std::string& user, Class&, const Request&, Response&)>;

// A route of the album host for members of the request's class: others get
// the sign-in page or a refusal. The handler runs under the state's lock.
void MemberRoute(Simulator& sim, const StatePtr& state, const char* path, MemberHandler handler)
{
    sim.Route(tavrin::chinaren::kAlbumHost, path, [&sim, state, handler](const Request& request, Response& response) {
        const std::string user = RequireSession(sim, request, response);
        if (user.empty())
            return;
        std::lock_guard<std::mutex> lock(state->lock);
        Class* c = MemberClass(state->data, user, request);
        if (!c) {
            response.Html(Page("错误", "<p>您不是该班级的成员。</p>"));
            return;
        }
        handler(state->data, user, *c, request, response);
    });
}

} // namespace

std::string AlbumDataUrl(const std::string& classId)
{
    return DataHostUrl("/album/pl.js?c=" + classId);
}

std::string AlbumCommentsUrl(const std::string& classId)
{
    return DataHostUrl("/album/cl.js?c=" + classId);
}

std::string AlbumImageUrl(const std::string& classId, const AlbumPhoto& photo)
{
    if (photo.host == "-1")
        return photo.purl;
    const std::string digits = classId.size() >= 11 ? classId.substr(classId.size() - 8) : classId;
    const long long n = std::atoll(digits.c_str());
    return "http://photo" + photo.host + ".chinaren.com/album/pic/" + std::to_string(n % 1000) + "/" +
           std::to_string(n / 1000 % 1000) + "/" + classId + "/" + photo.id + "." + photo.ext;
}

std::string PhotoPictureQuery(const User& user, const std::string& classId, const std::string& key)
{
    return "cp" + MessagePictureQuery(user, classId, key).substr(2);
}

void InstallAlbum(Simulator& sim, const StatePtr& state)
{
    MemberRoute(sim, state, "/album/classpic_index.jsp",
                [](Data&, const std::string&, Class& c, const Request&, Response& response) {
                    response.SetCookie("albumseen", c.id);
                    response.Html(IndexPage(c));
                });

    // The data scripts are served to anybody, as the album-data host does.
    for (const bool comments : {false, true}) {
        sim.Route(tavrin::chinaren::kAlbumDataHost, comments ? "/album/cl.js" : "/album/pl.js",
                  [state, comments](const Request& request, Response& response) {
                      std::lock_guard<std::mutex> lock(state->lock);
                      const Class* c = state->data.FindClass(request.Field("c"));
                      if (!c) {
                          response.status = 404;
                          response.body = "not found";
                          return;
                      }
                      response.body = comments ? CommentsScript(*c) : DataScript(*c);
                      response.SetHeader("Content-Type", "application/x-javascript");
                  });
    }

    MemberRoute(sim, state, "/album/classalbum_singlephoto.jsp",
                [](Data& data, const std::string& user, Class& cls, const Request& request, Response& response) {
        Class* c = &cls;
        const User* u = data.FindUser(user);
        if (!u)
            return PleaseSignIn(response);
        c->commentPosts.push_back(request.body);
        auto code = data.codes.find(PhotoPictureQuery(*u, c->id, request.Field("tm")));
        if (request.Field("ark").empty() || code == data.codes.end() || code->second != request.Field("ark")) {
            response.Html(Page("照片评论", "<script>alert('请输入正确的认证信息');history.go(-1)</script>"));
            return;
        }
        AlbumComment added;
        added.photoId = request.Field("picid");
        added.realName = u->realName;
        added.text = request.Field("msg");
        c->albumComments.push_back(added);
        response.Html(Page("照片评论", "<script>alert('评论成功');</script>"));
    });

    MemberRoute(sim, state, "/album/classalbum_upload.jsp",
                [](Data&, const std::string&, Class& cls, const Request& request, Response& response) {
        Class* c = &cls;
        std::vector<std::string> parts;
        const Part* file = nullptr;
        for (const Part& part : request.parts) {
            parts.push_back(part.hasFileName ? part.name + "[" + part.fileName + "]=" + part.data
                                             : part.name + "=" + part.data);
            if (part.hasFileName && !file)
                file = &part;
        }
        c->uploads.push_back(parts);
        if (!file || file->data.empty()) {
            response.Html(Page("上传照片", "<script>alert('请选择照片');history.go(-1)</script>"));
            return;
        }
        AlbumPhoto added;
        added.id = std::to_string(c->nextPhotoId++);
        const Part* intro = request.FindPart("PICINTRO");
        added.title = intro ? intro->data : std::string();
        const size_t dot = file->fileName.rfind('.');
        added.ext = dot == std::string::npos ? "jpg" : file->fileName.substr(dot + 1);
        added.fileSize = std::to_string(file->data.size());
        c->album.push_back(added);
        response.Html(Page("上传照片", "<script>alert('上传成功');</script>"));
    });

    MemberRoute(sim, state, "/album/classalbum_delselectpics.jsp",
                [](Data&, const std::string&, Class& cls, const Request& request, Response& response) {
        Class* c = &cls;
        c->deletePosts.push_back(request.body);
        std::set<std::string> ids;
        const std::string list = request.Field("delpicidlist");
        for (size_t p = 0; p < list.size();) {
            size_t comma = list.find(',', p);
            if (comma == std::string::npos)
                comma = list.size();
            ids.insert(list.substr(p, comma - p));
            p = comma + 1;
        }
        if (request.Field("del") == "1" && !c->keepDeleted)
            c->album.erase(std::remove_if(c->album.begin(), c->album.end(),
                                          [&](const AlbumPhoto& p) { return ids.count(p.id) > 0; }),
                           c->album.end());
        response.Html(Page("删除照片", "<script>location.href='classpic_index.jsp?classuuid=" + c->id +
                                           "';</script>"));
    });
}

} // namespace tavrin::sim::chinaren
