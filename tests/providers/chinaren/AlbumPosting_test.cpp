// Posting to the simulated album: photo comments with their verification
// code, queued uploads and deleting with the album's confirmation.
#include "tests/providers/chinaren/AlbumFixture.h"

#include "core/model/ModelEvents.h"
#include "core/services/TextUtil.h"
#include "platform/base/Clock.h"
#include "platform/base/Path.h"
#include "platform/win/MessageBox.h"
#include "providers/chinaren/site.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace tavrin::test {
namespace {

const char kCommentPath[] = "/album/classalbum_singlephoto.jsp";
const char kUploadPath[] = "/album/classalbum_upload.jsp";
const char kDeletePath[] = "/album/classalbum_delselectpics.jsp";
// As the browser layer writes it: six dashes.
const std::string kBoundary = "------tavrinForm7d5";

bool Has(const std::vector<std::string>& log, const std::string& line)
{
    return std::find(log.begin(), log.end(), line) != log.end();
}

size_t CountOf(const std::vector<std::string>& log, const std::string& line)
{
    return static_cast<size_t>(std::count(log.begin(), log.end(), line));
}

class ChinaRenAlbumPosting : public ChinaRenAlbumTest {
protected:
    ChinaRenAlbumPosting()
    {
        win::ClearMessageBoxAnswers();
        win::TakeMessageBoxLog();
        SetAlbum({Photo("3"), Photo("5"), Photo("12"), Photo("123")});
        Update(1);
        sim.ClearLog();
        Mark();
    }
    ~ChinaRenAlbumPosting() override { win::ClearMessageBoxAnswers(); }

    sim::chinaren::User User()
    {
        return site.Edit([](sim::chinaren::Data& d) { return d.users[0]; });
    }
    // The query of the photo picture for the store's current key.
    std::string Query() { return sim::chinaren::PhotoPictureQuery(User(), "301", store->GetAuthKey("").Str()); }

    void Comment(const std::string& text, const std::string& photoId = "5")
    {
        store->SetComposeContent(text.c_str());
        store->StartComment("", text.c_str(), photoId.c_str(), 0);
        Await([&] { return store->IsCommenting() || store->IsUpdating(); });
    }
    std::vector<std::string> Comments()
    {
        std::vector<std::string> out;
        for (const auto& request : sim.Requests(kCommentPath))
            out.push_back(request.body);
        return out;
    }
    std::string Body(const std::string& msg)
    {
        return "classuuid=301&picid=5&add=1&met=add&show=0&msg=" + msg + "&ark=" + store->GetAuthCode("").Str() +
               "&tm=" + store->GetAuthKey("").Str();
    }

    // An upload form as the browser posts it, with the file's bytes after
    // the file part's header lines.
    std::string Entry(const std::string& description, const std::string& path, const std::string& bytes,
                      bool withDescription = true)
    {
        std::string body = kBoundary + "\r\nContent-Disposition: form-data; name=\"classid\"\r\n\r\n301\r\n";
        if (withDescription)
            body += kBoundary + "\r\nContent-Disposition: form-data; name=\"PICINTRO\"\r\n\r\n" + description + "\r\n";
        body += kBoundary + "\r\nContent-Disposition: form-data; name=\"PICFILE\"; filename=\"" + path +
                "\"\r\nContent-Type: image/jpeg\r\n\r\n" + bytes + "\r\n" + kBoundary + "--\r\n";
        return body;
    }
    // A local file by its GBK name, as the form names it.
    std::string WriteFile(const std::string& name, const std::string& bytes)
    {
        const std::string path = (dir.Path() / "upload").string() + "/" + name;
        std::filesystem::create_directories(dir.Path() / "upload");
        std::ofstream(NativePath(path), std::ios::binary) << bytes;
        return path;
    }
    // Waits until the upload's last line is logged and its update is done.
    void AwaitUploads(size_t runs)
    {
        Await([&] {
            return CountOf(NewLog(), "[照片]全部照片上传完毕.") < runs || store->IsUploading() || store->IsUpdating();
        });
    }
    void StartUpload(const std::string& entry)
    {
        CByteArray form;
        form.SetSize(static_cast<INT_PTR>(entry.size()));
        std::copy(entry.begin(), entry.end(), form.GetData());
        store->StartUpload(form, 0);
    }

    void Delete(const std::vector<std::string>& ids)
    {
        CStringArray custoIds;
        for (const std::string& id : ids)
            custoIds.Add(Stored(id).m_custoId);
        store->DeleteItems(custoIds, FALSE, 0);
        Await([&] { return store->IsDeleting(); });
    }
    std::vector<std::string> AlbumIds()
    {
        return site.Edit([](sim::chinaren::Data& d) {
            std::vector<std::string> out;
            for (const auto& p : d.FindClass("301")->album)
                out.push_back(p.id);
            return out;
        });
    }
};

TEST_F(ChinaRenAlbumPosting, CommentBodiesAndLimits)
{
    std::string hundred;
    for (int i = 0; i < 100; ++i)
        hundred += "字";
    struct Case {
        const char* name;
        std::string text;
        std::vector<int> answers;
        std::vector<std::string> boxes;
        std::string msg; // empty: nothing posted
        const char* refusal;
    } cases[] = {
        {"two words", "nice pic", {}, {}, "nice+pic", nullptr},
        {"100 characters", hundred, {}, {}, UrlEncode(hundred.c_str()).Str(), nullptr},
        {"101 characters", hundred + "x", {}, {"错误:您的评论最多100个字！"}, "", "[照片]评论内容太长, 放弃发送."},
        {"empty, cancelled", "", {IDCANCEL}, {"信息:您的评论为空，就这样发送？"}, "", "[照片]评论内容为空, 放弃发送."},
    };
    site.Edit([](sim::chinaren::Data& d) { d.codes["unused"] = "0000"; });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (int answer : c.answers)
            win::QueueMessageBoxAnswer(answer);
        sim.ClearLog();
        Mark();
        store->SetAuthCode("1234", "");
        const std::string expected = Body(c.msg);
        Comment(c.text);
        std::vector<std::string> boxes;
        for (const win::MessageBoxRecord& r : win::TakeMessageBoxLog())
            boxes.push_back(r.caption + ":" + r.text);
        EXPECT_EQ(boxes, c.boxes);
        EXPECT_EQ(NewLog().front(), "[照片]开始发送评论...");
        EXPECT_EQ(Posted().back(), 11);
        if (c.refusal) {
            EXPECT_TRUE(Comments().empty());
            EXPECT_TRUE(Has(NewLog(), c.refusal));
            continue;
        }
        ASSERT_EQ(Comments().size(), 1u);
        EXPECT_EQ(Comments()[0], expected);
    }
}

TEST_F(ChinaRenAlbumPosting, ARejectedCodeRenewsThePictureAndTheResubmissionGoes)
{
    const std::string picture = (dir.Path() / ClassFolder("301") / "auth_picture.gif").string();
    clock::UseManual(kNow + 7);
    store->SetAuthCode("ZZZZ", "");
    store->SetCurrentCustoId(Stored("5").m_custoId);
    Comment("好");
    ASSERT_EQ(Comments().size(), 1u);
    const auto log = NewLog();
    EXPECT_EQ(std::vector<std::string>(log.end() - 2, log.end()),
              (std::vector<std::string>{"[照片]认证信息错误.", "[照片]发送评论失败."}));
    EXPECT_EQ(Posted(), (std::vector<int>{15, 11}));
    EXPECT_TRUE(store->GetAuthCode("").IsEmpty());
    EXPECT_EQ(store->GetAuthKey(""), CString("1117584007500"));
    const std::string code = site.CodeFor(Query());
    ASSERT_FALSE(code.empty());
    EXPECT_EQ(TempDir::Read(picture), sim::chinaren::DrawCode(code));
    EXPECT_EQ(store->GetComposeContent(), CString("好"));

    // The resubmission with the code read from the new picture; its
    // success updates that photo's details.
    sim.ClearLog();
    Mark();
    store->SetAuthCode(code.c_str(), "");
    store->StartComment(store->GetComposeSubject(), store->GetComposeContent(), "5", 0);
    Await([&] { return store->IsCommenting() || store->IsUpdating(); });
    EXPECT_TRUE(Has(NewLog(), "[照片]发送评论成功."));
    EXPECT_TRUE(Has(NewLog(), "[照片]开始读取1/1..."));
    EXPECT_TRUE(store->GetComposeContent().IsEmpty());
    EXPECT_EQ(Stored("5").m_commentNum, CString("1"));
    EXPECT_EQ(sim.Count("/album/pic/301/0/301/5.jpg"), 1u);
    EXPECT_EQ(sim.Count("/album/pic/301/0/301/3.jpg"), 0u);
}

TEST_F(ChinaRenAlbumPosting, AnErrorAnswerKeepsTheText)
{
    sim.SetFault(tavrin::chinaren::kAlbumHost, kCommentPath, sim::Fault::WithStatus(500));
    Comment("好");
    const auto log = NewLog();
    EXPECT_EQ(std::vector<std::string>(log.end() - 2, log.end()),
              (std::vector<std::string>{"[照片]发送评论失败.", "[照片]为避免重复, 请先更新再重试."}));
    EXPECT_EQ(store->GetComposeContent(), CString("好"));
    EXPECT_EQ(Posted(), std::vector<int>{11});
    EXPECT_EQ(sim.Count("/album/classpic_index.jsp"), 0u);
}

TEST_F(ChinaRenAlbumPosting, QueuedUploadsGoInOrderEachAfterASignIn)
{
    const std::string jpeg = JpegBytes(32, 24);
    ASSERT_EQ(jpeg[4], '\0');
    const std::string gif = GifBytes(10, 10);
    const std::string a = WriteFile("甲.jpg", jpeg), b = WriteFile("b.gif", gif), c = WriteFile("c.jpg", jpeg + "x");
    auto gate = std::make_shared<sim::Gate>();
    sim.SetFault(tavrin::chinaren::kAlbumHost, kUploadPath, sim::Fault::StallAt(gate).Times(1));
    StartUpload(Entry("第一张", a, jpeg));
    Await([&] { return gate->Arrivals() < 1; });
    // Started while the first one is under way: only queued.
    StartUpload(Entry("第二张", b, ""));
    StartUpload(Entry("第三张", c, "partial"));
    gate->Open();
    AwaitUploads(1);

    const auto log = NewLog();
    EXPECT_EQ(CountOf(log, "[照片]开始上传..."), 1u);
    EXPECT_EQ(CountOf(log, "[照片]上传成功."), 3u);
    EXPECT_EQ(CountOf(log, "[照片]全部照片上传完毕."), 1u);
    EXPECT_TRUE(Has(log, "[照片]开始上传 第一张 ..."));
    // One sign-in before every photo.
    std::vector<std::string> order;
    for (const auto& request : sim.Log())
        if (request.path == "/login.jsp" || request.path == kUploadPath)
            order.push_back(request.path == kUploadPath ? "upload" : "login");
    EXPECT_EQ(order, (std::vector<std::string>{"login", "upload", "login", "upload", "login", "upload"}));

    const auto uploads = sim.Requests(kUploadPath);
    ASSERT_EQ(uploads.size(), 3u);
    const std::string files[] = {jpeg, gif, jpeg + "x"};
    const std::string paths[] = {a, b, c};
    const std::string titles[] = {"第一张", "第二张", "第三张"};
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(uploads[i].query, "classuuid=301");
        const std::string& body = uploads[i].body;
        // The file's bytes once, then the closing line.
        const std::string closing = "\r\n" + kBoundary + "--\r\n";
        EXPECT_EQ(body.substr(body.size() - closing.size()), closing);
        EXPECT_EQ(body.size(), Entry(titles[i], paths[i], "").size() - closing.size() + files[i].size() +
                                   closing.size());
        const sim::Part* file = uploads[i].FindPart("PICFILE");
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(file->data, files[i]);
        ASSERT_NE(uploads[i].FindPart("PICINTRO"), nullptr);
        EXPECT_EQ(uploads[i].FindPart("PICINTRO")->data, titles[i]);
    }
    // The newest index brings the three photos.
    EXPECT_EQ(Stored("1000").m_tile, CString("第一张"));
    EXPECT_EQ(Stored("1002").m_tile, CString("第三张"));
}

TEST_F(ChinaRenAlbumPosting, UploadFailures)
{
    const std::string jpeg = JpegBytes(8, 8);
    const std::string path = WriteFile("a.jpg", jpeg);
    struct Case {
        const char* name;
        std::string entry;
        bool fault;
        const char* line;
        size_t sent;
    } cases[] = {
        {"missing file", Entry("缺", path + ".gone", ""), false, "[照片]文件错误, 上传失败.", 0},
        {"no description", Entry("", path, jpeg, false), false, "[照片]未知错误, 上传失败.", 0},
        {"error status", Entry("错", path, jpeg), true, "[照片]网络错误, 上传失败.", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim.ClearLog();
        sim.ClearFaults();
        if (c.fault)
            sim.SetFault(tavrin::chinaren::kAlbumHost, kUploadPath, sim::Fault::WithStatus(500));
        Mark();
        StartUpload(c.entry);
        AwaitUploads(1);
        const auto log = NewLog();
        EXPECT_TRUE(Has(log, c.line));
        EXPECT_EQ(log.back(), "[照片]全部照片上传完毕.");
        EXPECT_EQ(sim.Count(kUploadPath), c.sent);
        // Nothing was uploaded: no index update follows.
        EXPECT_EQ(sim.Count("/album/classpic_index.jsp"), 0u);
    }
}

TEST_F(ChinaRenAlbumPosting, DeleteSendsTheIdsAndConfirms)
{
    Delete({"12", "3"});
    const auto posts = site.Edit([](sim::chinaren::Data& d) { return d.FindClass("301")->deletePosts; });
    EXPECT_EQ(posts, std::vector<std::string>{"classuuid=301&delpicidlist=12%2C3%2C&del=1"});
    EXPECT_EQ(NewLog(), (std::vector<std::string>{"[照片]开始删除...", "[照片]开始执行删除...", "[照片]删除完成."}));
    EXPECT_EQ(Posted(), std::vector<int>{8});
    EXPECT_EQ(AlbumIds(), (std::vector<std::string>{"5", "123"}));
    // 12 occurs inside 123, which stays: no failure is reported for it.
    EXPECT_EQ(store->GetItemCount(), 2);
    EXPECT_TRUE(Stored("12").m_id.IsEmpty());

    // The album keeps the photo: reported, and gone here all the same.
    site.Edit([](sim::chinaren::Data& d) { d.FindClass("301")->keepDeleted = true; });
    Mark();
    Delete({"5"});
    EXPECT_TRUE(Has(NewLog(), "[照片]删除失败, 编号5."));
    EXPECT_EQ(store->GetItemCount(), 1);
}

TEST_F(ChinaRenAlbumPosting, DeleteFailures)
{
    // The data script cannot be read: no confirmation.
    sim.SetFault(tavrin::chinaren::kAlbumDataHost, "/album/pl.js", sim::Fault::WithStatus(404));
    Delete({"3"});
    EXPECT_EQ(NewLog(), (std::vector<std::string>{"[照片]开始删除...", "[照片]开始执行删除...",
                                                  "[照片]无法确认是否成功删除.", "[照片]删除完成."}));

    // An index page that names no data script: no confirmation either.
    sim.ClearFaults();
    sim.SetFault(tavrin::chinaren::kAlbumHost, "/album/classpic_index.jsp", sim::Fault::Empty());
    sim.ClearLog();
    Mark();
    Delete({"12"});
    EXPECT_EQ(NewLog(), (std::vector<std::string>{"[照片]开始删除...", "[照片]开始执行删除...",
                                                  "[照片]无法确认是否成功删除.", "[照片]删除完成."}));
    EXPECT_EQ(sim.Count("/album/pl.js"), 0u);

    // A failed sign-in posts nothing; the photo is gone locally.
    sim.ClearFaults();
    sim.SetFault(tavrin::chinaren::kPassportHost, "/login.jsp", sim::Fault::WithStatus(500));
    account.SetCookie("");
    sim.ClearLog();
    Mark();
    Delete({"5"});
    EXPECT_EQ(NewLog(), (std::vector<std::string>{"[照片]开始删除...", "[照片]登录失败, 无法删除.", "[照片]删除完成."}));
    EXPECT_EQ(sim.Count(kDeletePath), 0u);
    EXPECT_TRUE(Stored("5").m_id.IsEmpty());
    EXPECT_EQ(Posted(), std::vector<int>{8});
}

} // namespace
} // namespace tavrin::test
