#include "tests/providers/5460/PhotoFixture.h"

#include "tests/sim/5460/Site5460.h"

#include <filesystem>
#include <memory>

namespace tavrin::test {
namespace {

const char kIndex[] = "/gy5460/jsp/picture/picture.jsp";
const char kView[] = "/gy5460/jsp/picture/newpictureview.jsp";
const char kComments[] = "/gy5460/jsp/picture/picturePL.jsp";
const char kLogin[] = "/gy5460/jsp/login/login.jsp";

using Ids = std::vector<std::string>;

Ids CustoIds(const std::vector<StoredPhoto>& doc)
{
    Ids out;
    for (const StoredPhoto& p : doc)
        out.push_back(p.tag == "last" ? "last:" + p.id + "/" + p.custoId : p.id + "/" + p.custoId);
    return out;
}

size_t PageRequests(sim::Simulator& sim, const std::string& pageNum)
{
    size_t n = 0;
    for (const sim::Request& r : sim.Requests(kIndex))
        n += r.Field("PageNum") == pageNum;
    return n;
}

using PhotoUpdateTest = PhotoTest;

TEST_F(PhotoUpdateTest, FirstRunReadsEveryPageAndStoresNewestFirst)
{
    sim::Photo first = MakePhoto(5, 3);
    first.comments[1].text = "<a href=\"./listuser.jsp?userid=9\">链接</a>好\r\n照片";
    SeedPhotos({first, MakePhoto(4), MakePhoto(3, 1), MakePhoto(2), MakePhoto(1)}, 2);

    Update(0);

    auto doc = Document();
    EXPECT_EQ(CustoIds(doc), (Ids{"last:5/6", "5/5", "4/4", "3/3", "2/2", "1/1"}));
    ASSERT_EQ(doc.size(), 6u);
    const StoredPhoto& p = doc[1];
    EXPECT_EQ(p.read, "0");
    EXPECT_EQ(p.status, "not download");
    EXPECT_EQ(p.smallId, "505");
    EXPECT_EQ(p.click, "15");
    EXPECT_EQ(p.commentNum, "3");
    EXPECT_EQ(p.uploadTime, "2005-12-31 10:20");
    EXPECT_EQ(p.title, "照片5");
    EXPECT_EQ(p.uploadUser, "李四");
    EXPECT_EQ(p.description, "说明5");
    EXPECT_EQ(p.rank, "7");
    EXPECT_EQ(p.url, "http://image.5460.net/photo/505.jpg");
    EXPECT_EQ(p.commentId, "505");
    EXPECT_EQ(p.fileName, "");
    // Comments lose their links and line breaks.
    EXPECT_EQ(p.comment.find("<a"), std::string::npos);
    EXPECT_EQ(p.comment.find('\n'), std::string::npos);
    EXPECT_NE(p.comment.find("好照片"), std::string::npos);
    EXPECT_NE(p.comment.find("评论2"), std::string::npos);
    EXPECT_EQ(doc[0].read, "0");
    EXPECT_EQ(doc[0].title, "照片5");

    EXPECT_EQ(store->GetNewPictureCount(), 5);
    EXPECT_EQ(store->GetNewCommentCount(), 4);
    EXPECT_EQ(store->GetItemCount(), 5);
    EXPECT_TRUE(std::filesystem::exists(ClassFolder("301") + "/picture.xml"));

    // Pages 1 to 3 list photos, page 4 none.
    EXPECT_EQ(Requests(kIndex), 4u);
    EXPECT_EQ(Requests(kView), 5u);
    EXPECT_EQ(Requests(kComments), 5u);
    EXPECT_EQ(Posted(), (std::vector<int>{28, 22, 7}));
    EXPECT_EQ(Sent(), (std::vector<int>{18}));
    EXPECT_EQ(ClassLog(schoolClass),
              (std::vector<std::string>{"[照片]开始更新索引...", "[照片]开始读取第1页...", "[照片]开始读取第2页...",
                                        "[照片]开始读取第3页...", "[照片]开始读取第4页...", "[照片]共有5张新照片.",
                                        "[照片]更新索引完成.", "[照片]更新完成."}));
}

TEST_F(PhotoUpdateTest, ANulInAPageHidesNothingAfterIt)
{
    // A stray zero byte in a title of the index page, and in a description
    // of a view page: a blank, not the end of the page.
    sim::Photo odd = MakePhoto(3, 1);
    odd.title = std::string("照\0片", 5);
    odd.description = std::string("说\0明", 5);
    SeedPhotos({MakePhoto(4), odd, MakePhoto(2), MakePhoto(1)});

    Update(0);

    auto doc = Document();
    EXPECT_EQ(CustoIds(doc), (Ids{"last:4/5", "4/4", "3/3", "2/2", "1/1"}));
    ASSERT_EQ(doc.size(), 5u);
    EXPECT_EQ(doc[2].title, "照 片");
    EXPECT_EQ(doc[2].description, "说 明");
    EXPECT_EQ(doc[2].rank, "7");
    EXPECT_EQ(doc[2].commentNum, "1");
}

TEST_F(PhotoUpdateTest, NewestIndexStopsAtTheStopMark)
{
    SeedPhotos({MakePhoto(5), MakePhoto(4), MakePhoto(3), MakePhoto(2), MakePhoto(1)}, 3);
    Update(0);
    sim.Edit([](sim::Scenario& s) {
        auto& photos = s.Class("301").photos;
        photos.insert(photos.begin(), {MakePhoto(8, 2), MakePhoto(7), MakePhoto(6)});
    });
    sim.ClearLog();

    Update(0);

    // Page 1 lists 8, 7 and 6; page 2 begins with 5, the stop mark.
    EXPECT_EQ(PageRequests(sim, "1"), 1u);
    EXPECT_EQ(PageRequests(sim, "2"), 1u);
    EXPECT_EQ(PageRequests(sim, "3"), 0u);
    EXPECT_EQ(Requests(kView), 4u);
    EXPECT_EQ(CustoIds(Document()), (Ids{"last:8/9", "8/8", "7/7", "6/6", "5/5", "4/4", "3/3", "2/2", "1/1"}));
    EXPECT_EQ(store->GetNewPictureCount(), 3);
    EXPECT_EQ(store->GetNewCommentCount(), 2);
}

TEST_F(PhotoUpdateTest, StopMarkInsideThePage)
{
    SeedPhotos({MakePhoto(3), MakePhoto(2), MakePhoto(1)}, 12);
    Update(0);
    sim.Edit([](sim::Scenario& s) {
        auto& photos = s.Class("301").photos;
        photos.insert(photos.begin(), {MakePhoto(11), MakePhoto(10)});
    });
    sim.ClearLog();

    Update(0);

    // The pages of the first three photos are read, two are merged, page 2
    // is never asked for.
    EXPECT_EQ(Requests(kView), 3u);
    EXPECT_EQ(PageRequests(sim, "2"), 0u);
    EXPECT_EQ(CustoIds(Document()), (Ids{"last:11/6", "11/5", "10/4", "3/3", "2/2", "1/1"}));
}

TEST_F(PhotoUpdateTest, CommentCountsGoingUpAndDown)
{
    SeedPhotos({MakePhoto(3, 2), MakePhoto(2, 5), MakePhoto(1)}, 12);
    Update(0);
    store->SetCurrentCustoId("3");
    sim.Edit([](sim::Scenario& s) {
        auto& photos = s.Class("301").photos;
        photos[0].comments.resize(5, photos[0].comments[0]);
        photos[1].comments.resize(4);
    });

    Update(1);

    // Photo 3 went from 2 to 5 comments: new number above every stored one,
    // at the top, unread; photo 2 went down and keeps its element.
    auto doc = Document();
    EXPECT_EQ(CustoIds(doc), (Ids{"last:3/5", "3/4", "2/2", "1/1"}));
    EXPECT_EQ(doc[1].read, "0");
    EXPECT_EQ(doc[1].commentNum, "5");
    EXPECT_EQ(doc[2].commentNum, "5");
    EXPECT_EQ(store->GetNewPictureCount(), 0);
    EXPECT_EQ(store->GetNewCommentCount(), 3);
    EXPECT_EQ(store->GetCurrentCustoId(), CString("4"));
    EXPECT_TRUE(Logged("[照片]共有0张新照片."));
}

TEST_F(PhotoUpdateTest, WholeIndexNumbersAboveTheStoredPhotos)
{
    SeedPhotos({MakePhoto(2), MakePhoto(1)}, 12);
    Update(0);
    sim.Edit([](sim::Scenario& s) {
        auto& photos = s.Class("301").photos;
        photos.insert(photos.begin(), MakePhoto(9));
        photos.push_back(MakePhoto(0));
    });

    Update(1);

    // Mode 1 reads past the stop mark; its numbers never repeat a stored one.
    // 0 is listed last, so it is merged first.
    EXPECT_EQ(CustoIds(Document()), (Ids{"last:9/5", "9/4", "0/3", "2/2", "1/1"}));
    EXPECT_EQ(store->GetNewPictureCount(), 2);
}

TEST_F(PhotoUpdateTest, OtherModesOnlyReport)
{
    SeedPhotos({MakePhoto(1)});
    Update(3);
    EXPECT_EQ(Posted(), (std::vector<int>{28, 7}));
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(ClassLog(schoolClass), (std::vector<std::string>{"[照片]更新完成."}));
    EXPECT_TRUE(sim.Log().empty());
}

TEST_F(PhotoUpdateTest, FailedSignInStillMergesNothingAndReports)
{
    SeedPhotos({MakePhoto(1)});
    account.SetUserNameAndPassword("li", "wrong");
    Update(2);
    EXPECT_EQ(ClassLog(schoolClass),
              (std::vector<std::string>{"[照片]开始更新索引...", "[照片]开始读取第1页...", "[照片]登录失败, 无法更新索引",
                                        "[照片]共有0张新照片.", "[照片]更新索引完成.", "[照片]开始读取详细资料...",
                                        "[照片]更新完成."}));
    EXPECT_EQ(Posted(), (std::vector<int>{28, 22, 22, 7}));
    EXPECT_EQ(Sent(), (std::vector<int>{18, 18}));
    EXPECT_EQ(Requests(kIndex), 0u);
    EXPECT_FALSE(std::filesystem::exists(ClassFolder("301") + "/picture.xml"));
}

TEST_F(PhotoUpdateTest, RepeatedPageEndsTheIndex)
{
    SeedPhotos({MakePhoto(2), MakePhoto(1)}, 12);
    sim.SetFault("", kIndex, sim::Fault::RepeatFirstPage());
    Update(1);
    EXPECT_EQ(Requests(kIndex), 2u);
    EXPECT_EQ(CustoIds(Document()), (Ids{"last:2/3", "2/2", "1/1"}));
}

TEST_F(PhotoUpdateTest, CommentPageWithoutIdIsReadAgainAfterAFreshSignIn)
{
    SeedPhotos({MakePhoto(1)});
    sim.SetFault("", kComments, sim::Fault::ExpiredSession().Times(1));
    Update(0);
    EXPECT_EQ(Requests(kComments), 2u);
    EXPECT_EQ(Requests(kLogin), 2u);
    EXPECT_EQ(CustoIds(Document()), (Ids{"last:1/2", "1/1"}));
}

TEST_F(PhotoUpdateTest, PhotoWithoutIdIsNotStored)
{
    SeedPhotos({MakePhoto(2), MakePhoto(1)});
    sim.SetFault("", kComments, sim::Fault::ExpiredSession().Times(2));
    Update(0);
    EXPECT_EQ(CustoIds(Document()), (Ids{"last:1/2", "1/1"}));
}

TEST_F(PhotoUpdateTest, BrokenViewPageLeavesItsFieldsEmptyAndThePhotoUnstored)
{
    SeedPhotos({MakePhoto(2), MakePhoto(1)});
    sim.SetFault("", kView, sim::Fault::WithStatus(404).Times(1));
    Update(0);
    // Without the view page there is no comment page address, so no id.
    EXPECT_EQ(Requests(kComments), 1u);
    EXPECT_EQ(CustoIds(Document()), (Ids{"last:1/2", "1/1"}));
}

class PhotoDetailsTest : public PhotoTest {
protected:
    PhotoDetailsTest()
    {
        sim::Photo jpeg = MakePhoto(2, 1);
        sim::Photo gif = MakePhoto(1);
        gif.imageUrl = "http://image.5460.net/photo/501.gif";
        SeedPhotos({jpeg, gif});
        sim.AddFile(jpeg.imageUrl, JpegBytes(800, 600), "image/jpeg");
        sim.AddFile(gif.imageUrl, GifBytes(60, 40), "image/gif");
    }
};

TEST_F(PhotoDetailsTest, ImagesAndThumbnails)
{
    Update(2);

    auto doc = Document();
    ASSERT_EQ(CustoIds(doc), (Ids{"last:2/3", "2/2", "1/1"}));
    EXPECT_EQ(doc[1].status, "download");
    EXPECT_EQ(doc[1].fileName, "2.jpg");
    EXPECT_EQ(doc[2].status, "download");
    EXPECT_EQ(doc[2].fileName, "1.gif");
    EXPECT_EQ(PictureSize(Pictures() + "/2.jpg"), std::make_pair(800, 600));
    EXPECT_EQ(PictureSize(Pictures() + "/s_2.jpg"), std::make_pair(120, 90));
    EXPECT_EQ(PictureSize(Pictures() + "/1.gif"), std::make_pair(60, 40));
    EXPECT_EQ(PictureSize(Pictures() + "/s_1.gif"), std::make_pair(120, 80));
    EXPECT_EQ(Posted(), (std::vector<int>{28, 22, 22, 7}));
    EXPECT_EQ(Sent(), (std::vector<int>{18, 18}));
    EXPECT_TRUE(Logged("[照片]开始读取1/2..."));
    EXPECT_TRUE(Logged("[照片]开始读取2/2..."));

    // The files exist: nothing is fetched again.
    sim.ClearLog();
    Update(2);
    EXPECT_EQ(sim.Count("/photo/502.jpg") + sim.Count("/photo/501.gif"), 0u);
    EXPECT_EQ(Document()[1].status, "download");
}

TEST_F(PhotoDetailsTest, ImageFailures)
{
    struct Case {
        const char* name;
        sim::Fault fault;
        const char* status;
        const char* line;
    };
    const Case cases[] = {
        {"404", sim::Fault::WithStatus(404), "missing", "[照片]数据已丢失, 编号2."},
        {"dropped", sim::Fault::DropConnection(), "missing", "[照片]读取数据失败, 编号2."},
        {"error page", sim::Fault::WithStatus(500), "missing", "[照片]读取数据失败, 编号2."},
        {"empty", sim::Fault::Empty(), "not download", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(Pictures());
        sim.SetFault("image.5460.net", "/photo/502.jpg", c.fault);
        Update(2);
        auto doc = Document();
        ASSERT_EQ(doc.size(), 3u);
        EXPECT_EQ(doc[1].status, c.status);
        EXPECT_FALSE(std::filesystem::exists(Pictures() + "/2.jpg"));
        if (c.line) {
            EXPECT_TRUE(Logged(c.line));
        }
        EXPECT_EQ(doc[2].status, "download");
        sim.ClearFaults();
    }
}

TEST_F(PhotoDetailsTest, OnlyTheListedPhotosFollowingTheirNewNumbers)
{
    Update(0);
    // Photo 1 gets a comment and is listed first, before the stop mark.
    sim.Edit([](sim::Scenario& s) {
        auto& photos = s.Class("301").photos;
        photos[1].comments.push_back({"王五", "43", "t", "新"});
        std::swap(photos[0], photos[1]);
    });
    sim.ClearLog();

    // Photo 1 has custo_id 1 until the merge renumbers it to 3.
    Update(2, {"1"});

    EXPECT_EQ(CustoIds(Document()), (Ids{"last:1/4", "1/3", "2/2"}));
    EXPECT_EQ(sim.Count("/photo/501.gif"), 1u);
    EXPECT_EQ(sim.Count("/photo/502.jpg"), 0u);
    EXPECT_TRUE(Logged("[照片]开始读取1/1..."));
    EXPECT_EQ(Document()[1].status, "download");
}

TEST_F(PhotoDetailsTest, CommentPagesWithoutTables)
{
    Update(0);
    // Two header cells and no comment table: the stored comments stay, the
    // photo becomes unread for the one comment more.
    sim.Edit([](sim::Scenario& s) {
        const std::string header = "<td bgcolor=\"#96B7C5\"><p class=\"unnamed3\" style=\"line-height: 150%; "
                                   "margin-left: '20'; color: #FFFFFF;\">评论内容</td>";
        s.Class("301").photos[0].rawCommentPage = "<html>" + header + header + "</html>";
    });
    store->StartUpdate(CStringArray(), 0); // nothing new: no mark changes
    ASSERT_TRUE(PumpUntil([&] { return PostedCount(7) == 2 && !store->IsBusy(); }));
    auto before = Document();

    Update(2, {"2"});

    auto doc = Document();
    EXPECT_EQ(doc[1].id, "2");
    EXPECT_EQ(doc[1].commentNum, "1");
    EXPECT_EQ(doc[1].comment, before[1].comment);
    EXPECT_EQ(doc[1].read, "0");
    EXPECT_EQ(store->GetNewCommentCount(), 1);
}

TEST_F(PhotoDetailsTest, StopDuringTheDetails)
{
    Update(0);
    auto gate = std::make_shared<sim::Gate>();
    sim.SetFault("image.5460.net", "/photo/502.jpg", sim::Fault::StallAt(gate));
    CStringArray none;
    store->StartUpdate(none, 2);
    // The run sends its progress to this thread before it reaches the image.
    ASSERT_TRUE(PumpUntil([&] { return gate->Arrivals() >= 1; }));
    store->StopUpdate();
    gate->Open();
    ASSERT_TRUE(PumpUntil([&] { return PostedCount(7) == 2 && !store->IsBusy(); }));

    auto log = ClassLog(schoolClass);
    EXPECT_TRUE(Logged("[照片]更新被中断."));
    EXPECT_EQ(log.back(), "[照片]更新完成.");
    EXPECT_FALSE(Logged("[照片]开始读取2/2..."));
    // The interrupted photo is not written back.
    EXPECT_EQ(Document()[1].status, "not download");
    EXPECT_EQ(Sent(), (std::vector<int>{18, 18, 18}));
}

} // namespace
} // namespace tavrin::test
