#include "tests/providers/5460/PhotoFixture.h"

#include "core/services/XmlCursor.h"
#include "platform/base/AtomicWrite.h"
#include "platform/base/Path.h"
#include "platform/win/MessageBox.h"
#include "tests/sim/5460/Site5460.h"

#include <algorithm>
#include <filesystem>
#include <memory>

namespace tavrin::test {
namespace {

const char kUpload[] = "/gy5460/jsp/picture/personlocalupload.jsp";
const char kComments[] = "/gy5460/jsp/picture/picturePL.jsp";
const char kManager[] = "/gy5460/jsp/picture/picturemanager.jsp";
const char kLogin[] = "/gy5460/jsp/login/login.jsp";
const char kBoundary[] = "------WebKitFormBoundaryx7QmA";

CByteArray Bytes(const std::string& text)
{
    CByteArray out;
    for (char c : text)
        out.Add(static_cast<BYTE>(c));
    return out;
}

size_t Occurrences(const std::string& text, const std::string& needle)
{
    size_t n = 0;
    for (size_t p = text.find(needle); p != std::string::npos; p = text.find(needle, p + 1))
        ++n;
    return n;
}

class PhotoPostTest : public PhotoTest {
protected:
    PhotoPostTest()
    {
        win::ClearMessageBoxAnswers();
        win::TakeMessageBoxLog();
        SeedPhotos({MakePhoto(2), MakePhoto(1)});
        Update(0);
        sim.ClearLog();
        photo = JpegBytes(64, 48);
        // A NUL early in the file: nothing may stop at it.
        photo.insert(photo.begin() + 30, '\0');
        std::filesystem::create_directories(dir.Path() / "upload");
        photoPath = ProgramPath((dir.Path() / "upload").string()) + "\\毕业照.jpg";
        EXPECT_TRUE(WriteFileAtomic(photoPath, photo.data(), photo.size()));
    }
    ~PhotoPostTest() override { win::ClearMessageBoxAnswers(); }

    // The form as the browser posts it, the file's bytes included.
    std::string UploadBody(const std::string& title, const std::string& path)
    {
        std::string body;
        auto field = [&](const std::string& name, const std::string& value) {
            body += std::string(kBoundary) + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" +
                    value + "\r\n";
        };
        field("classList", "301");
        field("title", title);
        field("description", "说明");
        field("count", "2");
        field("goList", "GO:301|-1|");
        field("pdid", "42");
        body += std::string(kBoundary) + "\r\nContent-Disposition: form-data; name=\"picture\"; filename=\"" + path +
                "\"\r\nContent-Type: image/jpeg\r\n\r\n" + photo + "\r\n" + kBoundary + "--\r\n";
        return body;
    }

    void Upload(const std::string& body)
    {
        const int before = PostedCount(7);
        store->StartUpload(Bytes(body), 0);
        ASSERT_TRUE(PumpUntil([&] { return PostedCount(7) > before && !store->IsBusy(); }));
    }

    void Comment(const CString& text, const CString& id)
    {
        const int before = PostedCount(11);
        store->StartComment("", text, id, 0);
        ASSERT_TRUE(PumpUntil([&] { return PostedCount(11) > before && !store->IsBusy(); }));
    }

    // The class log since the line count given.
    std::vector<std::string> LogSince(size_t from)
    {
        auto log = ClassLog(schoolClass);
        return std::vector<std::string>(log.begin() + static_cast<long>(std::min(from, log.size())), log.end());
    }

    std::string photo;
    CString photoPath;
};

TEST_F(PhotoPostTest, UploadSendsTheFileFromDiskOnceThenReadsTheNewestIndex)
{
    const size_t mark = ClassLog(schoolClass).size();
    Upload(UploadBody("毕业照", photoPath.Str()));

    auto uploads = sim.Requests(kUpload);
    ASSERT_EQ(uploads.size(), 1u);
    const sim::Request& r = uploads[0];
    EXPECT_EQ(r.host, "upload.5460.net");
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(sim::MultipartBoundary(r.Header("Content-Type")), std::string(kBoundary).substr(2));
    ASSERT_NE(r.FindPart("title"), nullptr);
    EXPECT_EQ(r.FindPart("title")->data, "毕业照");
    ASSERT_NE(r.FindPart("picture"), nullptr);
    EXPECT_EQ(r.FindPart("picture")->data, photo);
    ASSERT_NE(r.FindPart("Submit"), nullptr);
    EXPECT_EQ(r.FindPart("Submit")->data, "确定上传");
    EXPECT_EQ(Occurrences(r.body, photo.substr(0, 40)), 1u);
    const std::string closing = "\r\n" + std::string(kBoundary) + "\r\nContent-Disposition: form-data; name=\"Submit\"\r\n\r\n"
                                "确定上传\r\n" + kBoundary + "--\r\n";
    ASSERT_GE(r.body.size(), closing.size());
    EXPECT_EQ(r.body.substr(r.body.size() - closing.size()), closing);

    auto log = LogSince(mark);
    ASSERT_GE(log.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 5),
              (std::vector<std::string>{"[照片]开始上传...", "[照片]开始上传 毕业照 ...", "[照片]上传成功.",
                                        "[照片]全部照片上传完毕.", "[照片]开始更新索引..."}));
    // The update found the new photo.
    auto doc = Document();
    ASSERT_GE(doc.size(), 2u);
    EXPECT_EQ(doc[1].title, "毕业照");
    EXPECT_EQ(store->GetNewPictureCount(), 1);
}

TEST_F(PhotoPostTest, UploadIsJudgedByTheRedirect)
{
    struct Case {
        const char* name;
        const char* provider;
        std::unique_ptr<sim::Fault> fault;
        const char* line;
    };
    Case cases[] = {
        {"first host", "5460(电信用户)", nullptr, "[照片]上传成功."},
        {"first host for a second-host account", "5460(网通用户)", nullptr, "[照片]上传成功."},
        {"second host", "5460(电信用户)",
         std::make_unique<sim::Fault>(
             sim::Fault::RedirectTo("http://cnc.5460.net/gy5460/jsp/update.jsp?op=1&pdid=42")),
         "[照片]上传成功."},
        {"sign-in page", "5460(电信用户)",
         std::make_unique<sim::Fault>(sim::Fault::RedirectTo("http://www.5460.net/gy5460/jsp/login/login.jsp")),
         "[照片]网络错误, 上传失败."},
        {"a page", "5460(电信用户)", std::make_unique<sim::Fault>(sim::Fault::WithStatus(200)),
         "[照片]网络错误, 上传失败."},
        {"dropped", "5460(电信用户)", std::make_unique<sim::Fault>(sim::Fault::DropConnection()),
         "[照片]网络错误, 上传失败."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        account.SetProvider(c.provider);
        sim.ClearFaults();
        if (c.fault)
            sim.SetFault("upload.5460.net", kUpload, *c.fault);
        const size_t mark = ClassLog(schoolClass).size();
        Upload(UploadBody("标题", photoPath.Str()));
        auto log = LogSince(mark);
        ASSERT_GE(log.size(), 3u);
        EXPECT_EQ(log[2], c.line);
    }
}

TEST_F(PhotoPostTest, UploadRefusals)
{
    struct Case {
        const char* name;
        std::string body;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"no title", std::string(kBoundary) + "\r\nContent-Disposition: form-data; name=\"picture\"; filename=\"" +
                         photoPath.Str() + "\"\r\n\r\n",
         {"[照片]开始上传...", "[照片]未知错误, 上传失败.", "[照片]全部照片上传完毕."}},
        {"no such file", UploadBody("标题", photoPath.Str() + "x"),
         {"[照片]开始上传...", "[照片]开始上传 标题 ...", "[照片]文件错误, 上传失败.", "[照片]全部照片上传完毕."}},
        {"a folder", UploadBody("标题", ProgramPath(dir.Path().string()).Str()),
         {"[照片]开始上传...", "[照片]开始上传 标题 ...", "[照片]文件错误, 上传失败.", "[照片]全部照片上传完毕."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t mark = ClassLog(schoolClass).size();
        Upload(c.body);
        auto log = LogSince(mark);
        ASSERT_GE(log.size(), c.lines.size());
        EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + static_cast<long>(c.lines.size())), c.lines);
    }
    EXPECT_EQ(sim.Count(kUpload), 0u);
}

TEST_F(PhotoPostTest, TwoQueuedUploadsGiveOneLoopAndOneUpdate)
{
    auto gate = std::make_shared<sim::Gate>();
    sim.SetFault("upload.5460.net", kUpload, sim::Fault::StallAt(gate).Times(1));
    const size_t mark = ClassLog(schoolClass).size();
    const int updates = PostedCount(28);
    const int ends = PostedCount(7);

    store->StartUpload(Bytes(UploadBody("第一张", photoPath.Str())), 0);
    ASSERT_TRUE(PumpUntil([&] { return gate->Arrivals() >= 1; }));
    // A second form while the first is being sent: it is only queued.
    CByteArray second = Bytes(UploadBody("第二张", photoPath.Str()));
    store->Upload(second, 0);
    gate->Open();
    ASSERT_TRUE(PumpUntil([&] { return PostedCount(7) > ends && !store->IsBusy(); }));

    EXPECT_EQ(sim.Count(kUpload), 2u);
    auto log = LogSince(mark);
    EXPECT_EQ(std::count(log.begin(), log.end(), "[照片]开始上传..."), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "[照片]上传成功."), 2);
    EXPECT_EQ(std::count(log.begin(), log.end(), "[照片]全部照片上传完毕."), 1);
    EXPECT_EQ(PostedCount(28), updates + 1);
    EXPECT_EQ(store->GetNewPictureCount(), 2);
}

TEST_F(PhotoPostTest, CommentLimits)
{
    CString longest, tooLong;
    for (int i = 0; i < 500; ++i)
        longest += "好";
    tooLong = longest + "a";
    struct Case {
        const char* name;
        CString text;
        int answer; // queued box answer, 0 for none
        bool posted;
        const char* box;
    };
    const Case cases[] = {
        {"500 characters", longest, 0, true, nullptr},
        {"501 characters", tooLong, 0, false, "对不起，照片评论不能多于500个字！"},
        {"empty, sent anyway", "", IDOK, true, "您的评论为空，就这样发送？"},
        {"empty, given up", "", IDCANCEL, false, "您的评论为空，就这样发送？"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim.ClearLog();
        win::TakeMessageBoxLog();
        if (c.answer)
            win::QueueMessageBoxAnswer(c.answer);
        store->SetComposeContent(c.text);
        const size_t mark = ClassLog(schoolClass).size();
        Comment(c.text, "2");

        auto posts = sim.Requests(kComments);
        posts.erase(std::remove_if(posts.begin(), posts.end(), [](const sim::Request& r) { return r.method != "POST"; }),
                    posts.end());
        auto boxes = win::TakeMessageBoxLog();
        auto log = LogSince(mark);
        if (c.box) {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, c.box);
            EXPECT_EQ(boxes[0].owner, window.Handle());
        } else {
            EXPECT_TRUE(boxes.empty());
        }
        if (c.posted) {
            ASSERT_EQ(posts.size(), 1u);
            EXPECT_EQ(posts[0].query, "picid=502");
            EXPECT_EQ(posts[0].Field("addCritique"), "yes");
            EXPECT_EQ(posts[0].Field("comment"), c.text.Str());
            EXPECT_TRUE(std::count(log.begin(), log.end(), "[照片]发送评论成功."));
            EXPECT_TRUE(store->GetComposeContent().IsEmpty());
            // The photo's details are read again, alone.
            EXPECT_TRUE(std::count(log.begin(), log.end(), "[照片]开始读取1/1..."));
        } else {
            EXPECT_TRUE(posts.empty());
            EXPECT_EQ(store->GetComposeContent(), c.text);
        }
        if (c.answer == IDCANCEL) {
            EXPECT_TRUE(std::count(log.begin(), log.end(), "[照片]评论内容为空, 放弃发送..."));
        }
        EXPECT_EQ(log.front(), "[照片]开始发送评论...");
        EXPECT_TRUE(std::count(log.begin(), log.end(), "[照片]发送评论完成."));
    }
}

TEST_F(PhotoPostTest, CommentBoxes)
{
    CString tooLong;
    for (int i = 0; i < 501; ++i)
        tooLong += "a";
    Comment(tooLong, "2");
    win::QueueMessageBoxAnswer(IDCANCEL);
    Comment("", "2");
    auto boxes = win::TakeMessageBoxLog();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, "错误");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_ICONHAND));
    EXPECT_EQ(boxes[1].caption, "信息");
    EXPECT_EQ(boxes[1].type, static_cast<UINT>(MB_OKCANCEL | MB_ICONEXCLAMATION));
}

TEST_F(PhotoPostTest, CommentFailures)
{
    store->SetComposeContent("评论");
    const size_t mark = ClassLog(schoolClass).size();
    Comment("评论", "99");
    EXPECT_EQ(LogSince(mark), (std::vector<std::string>{"[照片]开始发送评论...", "[照片]发送评论失败.", "[照片]发送评论完成."}));
    EXPECT_EQ(sim.Log().size(), 0u);

    sim.SetFault("", kComments, sim::Fault::DropConnection());
    const size_t mark2 = ClassLog(schoolClass).size();
    Comment("评论", "2");
    auto log = LogSince(mark2);
    EXPECT_TRUE(std::count(log.begin(), log.end(), "[照片]发送评论失败."));
    EXPECT_TRUE(std::count(log.begin(), log.end(), "[照片]为避免重复, 请先更新再重试."));
    EXPECT_EQ(log.back(), "[照片]发送评论完成.");
    // The comment is kept for another try; the post was retried once only.
    EXPECT_EQ(store->GetComposeContent(), CString("评论"));
    EXPECT_EQ(sim.Count(kComments), 2u);
    EXPECT_EQ(PostedCount(11), 2);
}

TEST_F(PhotoPostTest, CommentSignsInAfresh)
{
    const size_t logins = sim.Count(kLogin);
    Comment("好", "1");
    EXPECT_EQ(sim.Count(kLogin), logins + 1);
    bool stored = sim.Edit([](sim::Scenario& s) {
        const auto& comments = s.Class("301").photos[1].comments;
        return comments.size() == 1 && comments[0].text == "好";
    });
    EXPECT_TRUE(stored);
    EXPECT_EQ(Document()[2].commentNum, "1");
}

class PhotoDeleteTest : public PhotoTest {
protected:
    PhotoDeleteTest()
    {
        sim::Photo other = MakePhoto(3);
        other.uploadUserId = "43";
        SeedPhotos({MakePhoto(4), other, MakePhoto(2), MakePhoto(1)});
        account.SetUserId("42");
        auto stored = [](int n, const char* commentId) {
            StoredPhoto p;
            p.custoId = p.id = std::to_string(n);
            p.commentId = commentId;
            p.title = "照片" + p.id;
            return p;
        };
        StorePhotos({stored(4, "504"), stored(3, "503"), stored(2, ""), stored(1, "501")});
        // Photo 2's element has no comment_id at all.
        CXmlFile& xml = *store->GetXmlFile();
        CXmlCursor cursor(xml);
        xml.ResetPos(cursor.GetId());
        cursor.FindChildElem("picture");
        cursor.FindChildElemWithAttrib("item", "custo_id", "2");
        cursor.RemoveChildElem("comment_id");
    }

    void Delete(const std::vector<std::string>& custoIds)
    {
        CStringArray list;
        for (const std::string& id : custoIds)
            list.Add(CString(id));
        const int before = PostedCount(8);
        store->DeleteItems(list, FALSE, 0);
        ASSERT_TRUE(PumpUntil([&] { return PostedCount(8) > before && !store->IsBusy(); }));
    }

    std::vector<std::string> StoredIds()
    {
        std::vector<std::string> ids;
        for (const StoredPhoto& p : Document())
            ids.push_back(p.id);
        return ids;
    }
};

TEST_F(PhotoDeleteTest, DeleteTable)
{
    Delete({"4", "3", "2", "9"});

    EXPECT_EQ(ClassLog(schoolClass),
              (std::vector<std::string>{"[照片]开始删除...", "[照片]开始执行删除, 编号504...", "[照片]成功删除.",
                                        "[照片]开始执行删除, 编号503...", "[照片]删除失败", "[照片]删除完成."}));
    // The album refused photo 3: it stays, as it stays in the album. Photo 2
    // had no number for the album and goes locally; 9 was never stored.
    EXPECT_EQ(StoredIds(), (std::vector<std::string>{"3", "1"}));
    EXPECT_EQ(store->GetItemCount(), 2);
    EXPECT_NE(store->FindItem("3", CString()), nullptr);
    auto requests = sim.Requests(kManager);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].query, "pdid=42&picid=504&modify=yes&delete=1");
    EXPECT_EQ(requests[0].host, "www.5460.net");
    size_t left = sim.Edit([](sim::Scenario& s) { return s.Class("301").photos.size(); });
    EXPECT_EQ(left, 3u);
    EXPECT_EQ(Posted(), (std::vector<int>{8}));
}

TEST_F(PhotoDeleteTest, FailedRequestsAndSignIn)
{
    sim.SetFault("", kManager, sim::Fault::DropConnection());
    Delete({"4", "1"});
    EXPECT_EQ(ClassLog(schoolClass),
              (std::vector<std::string>{"[照片]开始删除...", "[照片]开始执行删除, 编号504...", "[照片]删除失败.",
                                        "[照片]开始执行删除, 编号501...", "[照片]删除失败.", "[照片]删除完成."}));

    account.SetCookie(CString());
    account.SetUserNameAndPassword("li", "wrong");
    const size_t mark = ClassLog(schoolClass).size();
    Delete({"3"});
    auto log = ClassLog(schoolClass);
    EXPECT_EQ(std::vector<std::string>(log.begin() + static_cast<long>(mark), log.end()),
              (std::vector<std::string>{"[照片]开始删除...", "[照片]登录失败, 无法删除.", "[照片]删除完成."}));
    // Nothing the album did not confirm is removed.
    EXPECT_EQ(StoredIds(), (std::vector<std::string>{"4", "3", "2", "1"}));
    EXPECT_EQ(store->GetItemCount(), 4);
}

} // namespace
} // namespace tavrin::test
