// The album index update and the details download against the simulated
// album: records across 99/100, the stop mark, photos with new comments,
// images byte for byte and every way a download can fail.
#include "tests/providers/chinaren/AlbumFixture.h"

#include "platform/base/Path.h"
#include "providers/chinaren/site.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tavrin::test {
namespace {

using sim::chinaren::AlbumPhoto;

class ChinaRenAlbumUpdate : public ChinaRenAlbumTest {};

// The stored comment table of one comment by 李四 at 08:00, as escaped text.
std::string CommentXml(const std::string& text)
{
    return "&lt;table&nbsp;width=670&nbsp;border=0&nbsp;cellspacing=0&nbsp;cellpadding=2&gt;&lt;tr&gt;&lt;td&nbsp;"
           "bgcolor=#EBEADF&nbsp;class=a3&gt;&amp;nbsp;&lt;img&nbsp;src=../../../styles/chinaren/default/images/"
           "jdd03.gif&nbsp;width=4&nbsp;height=8&nbsp;border=0&gt;&amp;nbsp;&lt;a&nbsp;class=cla2&gt;李四&lt;/a&gt;"
           "&nbsp;于&nbsp;2005-06-01&nbsp;08:00&nbsp;留言&nbsp;&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&nbsp;width=670"
           "&nbsp;class=a2&nbsp;style='word-wrap:&nbsp;break-word;'&gt;&amp;nbsp;&amp;nbsp;" +
           text + "&lt;/td&gt;&lt;/tr&gt;&lt;/table&gt;";
}

// One element of picture.xml as the update writes a photo of Photo().
std::string ElementXml(const std::string& tag, int custoId, const std::string& id, const std::string& ext,
                       const std::string& commentNum, const std::string& comment)
{
    return "\t<" + tag + " read=\"0\" custo_id=\"" + std::to_string(custoId) + "\" id=\"" + id +
           "\" small_id=\"\" status=\"not&nbsp;download\">\n\t\t<click>7</click>\n\t\t<comment_num>" + commentNum +
           "</comment_num>\n\t\t<upload_time>2005-06-01&nbsp;08:00</upload_time>\n\t\t<tile>照片" + id +
           "</tile>\n\t\t<upload_user>张三</upload_user>\n\t\t<comment>" + comment + "</comment>\n\t\t<description>说明" +
           id + "</description>\n\t\t<file_name>" + id + "." + ext + "</file_name>\n\t\t<file_size>2048</file_size>\n"
           "\t\t<original_size>640*480</original_size>\n\t\t<url>http://photo1.chinaren.com/album/pic/301/0/301/" +
           id + "." + ext + "</url>\n\t</" + tag + ">\n";
}

TEST_F(ChinaRenAlbumUpdate, NewestIndexAcross99And100WritesTheExactDocument)
{
    AlbumPhoto odd = Photo("98");
    odd.malformed = true;
    SetAlbum({Photo("99"), Photo("100", "gif"), odd, Photo("5")},
             {Comment("100", "好<b>看</b><script>x()</script>"), Comment("99", "一")});
    Update(0);
    EXPECT_EQ(Posted(), (std::vector<int>{28, 22, 7}));
    EXPECT_EQ(Sent(), (std::vector<int>{18}));
    EXPECT_EQ(NewLog(), (std::vector<std::string>{"[照片]开始更新索引...", "[照片]共有3张新照片.",
                                                  "[照片]更新索引完成.", "[照片]更新完成."}));
    EXPECT_EQ(store->GetNewPictureCount(), 3);
    EXPECT_EQ(store->GetNewCommentCount(), 2);
    // Oldest picked first, so the newest ends on top; "last" is the newest.
    EXPECT_EQ(Elements(), (std::vector<std::string>{"last:100/4", "item:100/3", "item:99/2", "item:5/1"}));
    // Markup of the comment is cleaned; the malformed record is skipped.
    const std::string hundred = CommentXml("好&lt;b&gt;看&lt;/b&gt;");
    EXPECT_EQ(SavedXml(), "<picture>\n" + ElementXml("last", 4, "100", "gif", "1", hundred) +
                              ElementXml("item", 3, "100", "gif", "1", hundred) +
                              ElementXml("item", 2, "99", "jpg", "1", CommentXml("一")) +
                              ElementXml("item", 1, "5", "jpg", "0", "") + "</picture>\n");
    EXPECT_EQ(Listed().size(), 3u);
}

TEST_F(ChinaRenAlbumUpdate, NewestIndexStopsAtTheLastMark)
{
    SetAlbum({Photo("99"), Photo("100")});
    Update(0);
    ASSERT_EQ(Elements(), (std::vector<std::string>{"last:100/3", "item:100/2", "item:99/1"}));

    // The stop mark is the newest record: nothing is merged.
    Mark();
    Update(0);
    EXPECT_EQ(Posted(), (std::vector<int>{28, 22, 7}));
    EXPECT_EQ(Sent(), (std::vector<int>{18}));
    EXPECT_EQ(NewLog(), (std::vector<std::string>{"[照片]开始更新索引...", "[照片]共有0张新照片.",
                                                  "[照片]更新索引完成.", "[照片]更新完成."}));

    // A new photo 101 above the mark is read; the records below it are not.
    SetAlbum({Photo("99"), Photo("100"), Photo("101")});
    Update(0);
    EXPECT_EQ(Elements(), (std::vector<std::string>{"last:101/4", "item:101/3", "item:100/2", "item:99/1"}));
    EXPECT_EQ(store->GetNewPictureCount(), 1);

    // The whole index reads past the mark but merges nothing new.
    Mark();
    Update(1);
    EXPECT_EQ(Elements().size(), 4u);
    EXPECT_EQ(NewLog()[1], "[照片]共有0张新照片.");
}

TEST_F(ChinaRenAlbumUpdate, APhotoWithMoreCommentsMovesToTheTop)
{
    SetAlbum({Photo("5"), Photo("6")}, {Comment("5", "一")});
    Publish(Photo("5"), JpegBytes(16, 12));
    Update(2);
    ASSERT_EQ(Stored("5").m_status, CString("download"));
    ASSERT_EQ(Elements(), (std::vector<std::string>{"last:6/3", "item:6/2", "item:5/1"}));
    store->SetCurrentCustoId("1");
    {
        CXmlFile& xml = *store->GetXmlFile();
        CXmlCursor cursor(xml);
        xml.ResetPos(cursor.GetId());
        ASSERT_TRUE(cursor.FindChildElem("picture") && cursor.FindChildElemWithAttrib("item", "id", "5"));
        cursor.SetAttrib("read", "1");
    }

    // Two more comments on 5, and its title changed: it is merged again.
    AddComments({Comment("5", "二"), Comment("5", "三")});
    site.Edit([](sim::chinaren::Data& d) { d.FindClass("301")->album[0].title = "新标题"; });
    Mark();
    Update(1);
    EXPECT_EQ(Elements(), (std::vector<std::string>{"last:5/4", "item:5/3", "item:6/2"}));
    const CPictureItemChinaRen moved = Stored("5");
    EXPECT_EQ(moved.m_read, 0);
    EXPECT_EQ(moved.m_commentNum, CString("3"));
    EXPECT_EQ(moved.m_tile, CString("新标题"));
    // Its file is on disk: no new download is needed.
    EXPECT_EQ(moved.m_status, CString("download"));
    EXPECT_EQ(store->GetNewCommentCount(), 2);
    EXPECT_EQ(store->GetNewPictureCount(), 0);
    EXPECT_EQ(store->GetCurrentCustoId(), CString("3"));

    // A photo whose comments did not grow is not rewritten.
    site.Edit([](sim::chinaren::Data& d) { d.FindClass("301")->album[1].title = "另一个"; });
    Update(1);
    EXPECT_EQ(Stored("6").m_tile, CString("照片6"));
    EXPECT_EQ(Elements(), (std::vector<std::string>{"last:5/4", "item:5/3", "item:6/2"}));
}

TEST_F(ChinaRenAlbumUpdate, CommentsScriptMissingOrFailing)
{
    SetAlbum({Photo("5"), Photo("6")}, {Comment("5", "一")});
    // No comments script named: every count is 0 and nothing is logged.
    site.Edit([](sim::chinaren::Data& d) { d.FindClass("301")->noCommentsScript = true; });
    Update(1);
    EXPECT_EQ(Stored("5").m_commentNum, CString("0"));
    EXPECT_EQ(NewLog().size(), 4u);

    // A failing script: one line per photo record, each retrying.
    store->GetXmlFile()->Clear();
    store->LoadItems(FALSE);
    site.Edit([](sim::chinaren::Data& d) { d.FindClass("301")->noCommentsScript = false; });
    sim.SetFault(tavrin::chinaren::kAlbumDataHost, "/album/cl.js", sim::Fault::WithStatus(500));
    sim.ClearLog();
    Mark();
    Update(1);
    EXPECT_EQ(NewLog(), (std::vector<std::string>{"[照片]开始更新索引...", "[照片]读取评论失败, 编号6.",
                                                  "[照片]读取评论失败, 编号5.", "[照片]共有2张新照片.",
                                                  "[照片]更新索引完成.", "[照片]更新完成."}));
    EXPECT_EQ(sim.Count("/album/cl.js"), 2u);
    EXPECT_EQ(Stored("5").m_commentNum, CString("0"));
}

TEST_F(ChinaRenAlbumUpdate, IndexFailuresMergeNothing)
{
    SetAlbum({Photo("5")});
    struct Case {
        const char* name;
        std::string host, path;
        sim::Fault fault;
        const char* line;
    } cases[] = {
        {"index page", tavrin::chinaren::kAlbumHost, "/album/classpic_index.jsp", sim::Fault::WithStatus(500),
         "[照片]网络错误,更新索引失败."},
        {"data script", tavrin::chinaren::kAlbumDataHost, "/album/pl.js", sim::Fault::DropConnection(),
         "[照片]网络错误,更新索引失败."},
        {"sign-in", tavrin::chinaren::kPassportHost, "/login.jsp", sim::Fault::WithStatus(500),
         "[照片]登录失败,无法更新索引."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        account.SetCookie("");
        sim.ClearFaults();
        sim.SetFault(c.host, c.path, c.fault);
        Mark();
        Update(0);
        EXPECT_EQ(NewLog(), (std::vector<std::string>{"[照片]开始更新索引...", c.line, "[照片]更新完成."}));
        EXPECT_EQ(Posted(), (std::vector<int>{28, 7}));
        EXPECT_TRUE(Sent().empty());
        EXPECT_TRUE(Elements().empty());
        EXPECT_EQ(store->GetNewPictureCount(), 0);
    }
    // Another mode reads nothing.
    sim.ClearFaults();
    sim.ClearLog();
    Mark();
    Update(3);
    EXPECT_EQ(NewLog(), std::vector<std::string>{"[照片]更新完成."});
    EXPECT_EQ(Posted(), (std::vector<int>{28, 7}));
    EXPECT_EQ(sim.Log().size(), 0u);
}

TEST_F(ChinaRenAlbumUpdate, DetailsDownloadEveryPhotoByteForByte)
{
    AlbumPhoto purl = Photo("7", "gif");
    purl.host = "-1";
    purl.purl = "http://pics.example.net/p/7.gif";
    SetAlbum({Photo("5"), Photo("6", "gif"), purl}, {Comment("6", "一")});
    const std::string jpeg = JpegBytes(40, 30);
    // A JPEG has a NUL at byte 4; the stored file keeps every byte.
    ASSERT_EQ(jpeg[4], '\0');
    const std::string gif = GifBytes(20, 10);
    Publish(Photo("5"), jpeg);
    Publish(Photo("6", "gif"), gif);
    sim.AddFile(purl.purl, gif, "image/gif");
    Update(2);
    EXPECT_EQ(NewLog(), (std::vector<std::string>{"[照片]开始更新索引...", "[照片]共有3张新照片.",
                                                  "[照片]更新索引完成.", "[照片]开始读取详细资料...",
                                                  "[照片]开始读取1/3...", "[照片]开始读取2/3...",
                                                  "[照片]开始读取3/3...", "[照片]更新完成."}));
    EXPECT_EQ(Posted(), (std::vector<int>{28, 22, 22, 7}));
    EXPECT_EQ(Sent(), (std::vector<int>{18, 18}));
    EXPECT_EQ(TempDir::Read(Pictures() + "/5.jpg"), jpeg);
    EXPECT_EQ(TempDir::Read(Pictures() + "/6.gif"), gif);
    EXPECT_EQ(TempDir::Read(Pictures() + "/7.gif"), gif);
    EXPECT_TRUE(std::filesystem::exists(Pictures() + "/s_5.jpg"));
    EXPECT_TRUE(std::filesystem::exists(Pictures() + "/s_7.gif"));
    for (const char* id : {"5", "6", "7"})
        EXPECT_EQ(Stored(id).m_status, CString("download")) << id;
    EXPECT_EQ(Stored("6").m_commentNum, CString("1"));
    // The site's own image host gets the session; another host nothing.
    const auto own = sim.Requests("/album/pic/301/0/301/5.jpg");
    ASSERT_EQ(own.size(), 1u);
    EXPECT_FALSE(own[0].Cookie(sim::chinaren::kSessionCookie).empty());
    const auto foreign = sim.Requests("/p/7.gif");
    ASSERT_EQ(foreign.size(), 1u);
    EXPECT_TRUE(foreign[0].cookies.empty());
    EXPECT_TRUE(foreign[0].Header("Cookie").empty());

    // A file on disk is not requested again.
    sim.ClearLog();
    Update(2);
    EXPECT_EQ(sim.Count("/album/pic/301/0/301/5.jpg"), 0u);
    EXPECT_EQ(sim.Count("/p/7.gif"), 0u);
}

TEST_F(ChinaRenAlbumUpdate, DetailsFailures)
{
    struct Case {
        const char* name;
        sim::Fault fault;
        const char* status;
        const char* line;
    } cases[] = {
        {"404", sim::Fault::WithStatus(404), "missing", "[照片]数据已丢失, 编号5."},
        // Without a page a 404 is a failed read, not a lost photo.
        {"404 without a page", sim::Fault::WithStatus(404).WithoutBody(), "missing", "[照片]读取数据失败, 编号5."},
        {"500", sim::Fault::WithStatus(500), "missing", "[照片]读取数据失败, 编号5."},
        {"empty body", sim::Fault::Empty(), "missing", "[照片]读取数据失败, 编号5."},
        {"dropped", sim::Fault::DropConnection(), "missing", "[照片]读取数据失败, 编号5."},
    };
    SetAlbum({Photo("5")});
    Publish(Photo("5"), JpegBytes(8, 8));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        store->GetXmlFile()->Clear();
        store->LoadItems(FALSE);
        sim.ClearFaults();
        sim.SetFault("photo1.chinaren.com", "/album/pic/301/0/301/5.jpg", c.fault);
        Mark();
        Update(2);
        EXPECT_EQ(Stored("5").m_status, CString(c.status));
        const auto log = NewLog();
        EXPECT_NE(std::find(log.begin(), log.end(), c.line), log.end());
        EXPECT_FALSE(std::filesystem::exists(Pictures() + "/5.jpg"));
        EXPECT_EQ(Posted().back(), 7);
    }
}

TEST_F(ChinaRenAlbumUpdate, DetailsOfChosenPhotosAndAStop)
{
    SetAlbum({Photo("5"), Photo("6"), Photo("7")});
    for (const char* id : {"5", "6", "7"})
        Publish(Photo(id), JpegBytes(8, 8));
    Update(1);
    ASSERT_EQ(Elements(), (std::vector<std::string>{"last:7/4", "item:7/3", "item:6/2", "item:5/1"}));

    // Only the chosen photo, and its position among the chosen.
    sim.ClearLog();
    Mark();
    Update(2, {"2"});
    auto log = NewLog();
    EXPECT_NE(std::find(log.begin(), log.end(), "[照片]开始读取1/1..."), log.end());
    EXPECT_EQ(sim.Count("/album/pic/301/0/301/6.jpg"), 1u);
    EXPECT_EQ(sim.Count("/album/pic/301/0/301/7.jpg"), 0u);
    EXPECT_EQ(sim.Count("/album/pic/301/0/301/5.jpg"), 0u);
    EXPECT_EQ(Stored("6").m_status, CString("download"));

    // Ids no longer stored: nothing is fetched, the loop runs to the end.
    sim.ClearLog();
    Update(2, {"77", "78"});
    EXPECT_EQ(sim.Count("/album/pic/301/0/301/7.jpg"), 0u);

    // A stop while the first image is fetched: the rest is left alone.
    auto gate = std::make_shared<sim::Gate>();
    sim.SetFault("photo1.chinaren.com", "/album/pic/301/0/301/7.jpg", sim::Fault::StallAt(gate));
    sim.ClearLog();
    Mark();
    CStringArray none;
    store->StartUpdate(none, 2);
    // The index phase sends its progress event: serve it while waiting.
    Await([&] { return gate->Arrivals() < 1; });
    store->StopUpdate();
    gate->Open();
    Await([&] { return store->IsUpdating(); });
    log = NewLog();
    EXPECT_EQ(std::vector<std::string>(log.end() - 2, log.end()),
              (std::vector<std::string>{"[照片]更新被中断.", "[照片]更新完成."}));
    EXPECT_EQ(sim.Count("/album/pic/301/0/301/5.jpg"), 0u);
    // The stopped photo keeps its element as it was.
    EXPECT_EQ(Stored("7").m_status, CString("not download"));
    EXPECT_EQ(Posted().back(), 7);
}

} // namespace
} // namespace tavrin::test
