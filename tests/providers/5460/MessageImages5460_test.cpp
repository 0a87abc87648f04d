#include "tests/providers/5460/MessageFixture.h"

#include "providers/5460/site.h"

#include <filesystem>

namespace tavrin::test {
namespace {

const char kMissing[] = "../../../styles/5460/default/images/s_missing.png";

class MessageImages5460Test : public MessageStore5460Test {
protected:
    std::string Content(const std::string& id)
    {
        for (const StoredMessage& m : Document())
            if (m.id == id)
                return m.content;
        return "<not stored>";
    }
    bool Saved(const std::string& name) { return std::filesystem::exists(ClassFolder("301") + "/images/" + name); }
};

TEST_F(MessageImages5460Test, PicturesBecomeLocalOnceWithEveryQuoting)
{
    sim.SetFault("image.5460.net", "/pic/gone.gif", sim::Fault::WithStatus(404));
    sim.SetFault("image.5460.net", "/pic/broken.gif", sim::Fault::WithStatus(500));
    Board({MakeMessage("102", "二", "2006-06-02 10:00", "again <img src=\"http://image.5460.net/pic/a.gif\" border=0>"),
           MakeMessage("101", "一", "2006-06-01 10:00",
                       "<img src=\"http://image.5460.net/pic/a.gif\" border=0>"
                       "<img src='http://image.5460.net/pic/b.gif' border=0>"
                       "<img src=http://image.5460.net/pic/c.gif border=0>"
                       "<IMG SRC=\"http://pics.example.com/x/d.jpg\" width=5>"
                       "<img src=\"http://image.5460.net/pic/gone.gif\" border=0>"
                       "<img src=\"http://image.5460.net/pic/broken.gif\" border=0>"
                       "<img src=\"http://image.5460.net/pic/e.gif\">"
                       "<img src=\"http://image.5460.net/pic/%2e%2e%2fx.gif\" border=0>"
                       "<script>alert(1)</script><img src=\"http://image.5460.net/pic/f.gif\" onerror=\"x()\" border=0>")});
    Update(0, 0);

    const std::string first = Content("101");
    EXPECT_NE(first.find("<img src=\"images/a.gif\" border=0>"), std::string::npos) << first;
    EXPECT_NE(first.find("<img src='images/b.gif' border=0>"), std::string::npos) << first;
    EXPECT_NE(first.find("<img src=images/c.gif border=0>"), std::string::npos) << first;
    EXPECT_NE(first.find("<IMG SRC=\"images/d.jpg\" width=5>"), std::string::npos) << first;
    EXPECT_NE(first.find(std::string("<img src=\"") + kMissing + "\" border=0>"), std::string::npos) << first;
    // An error page is not a picture.
    EXPECT_EQ(first.find("images/broken.gif"), std::string::npos) << first;
    EXPECT_FALSE(Saved("broken.gif"));
    // No blank before the end of the tag: left as it is.
    EXPECT_NE(first.find("<img src=\"http://image.5460.net/pic/e.gif\">"), std::string::npos) << first;
    // Cleaned before the pictures were made local.
    EXPECT_EQ(first.find("script"), std::string::npos) << first;
    EXPECT_EQ(first.find("onerror"), std::string::npos) << first;
    EXPECT_NE(first.find("<img src=\"images/f.gif\" border=0>"), std::string::npos) << first;
    EXPECT_EQ(first.find("http://image.5460.net/pic/%2e"), std::string::npos) << first;

    EXPECT_NE(Content("102").find("<img src=\"images/a.gif\" border=0>"), std::string::npos);
    for (const char* name : {"a.gif", "b.gif", "c.gif", "d.jpg", "f.gif"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(Saved(name));
    }
    EXPECT_FALSE(Saved("gone.gif"));
    EXPECT_EQ(sim.Count("/pic/a.gif"), 1u);
    EXPECT_EQ(sim.Count("/pic/b.gif"), 1u);

    // The provider's pictures go with the session, other hosts never see it.
    auto provider = sim.Requests("/pic/b.gif");
    ASSERT_EQ(provider.size(), 1u);
    EXPECT_FALSE(provider[0].Cookie(sim::p5460::kSessionCookie).empty());
    auto foreign = sim.Requests("/x/d.jpg");
    ASSERT_EQ(foreign.size(), 1u);
    EXPECT_TRUE(foreign[0].cookies.empty());

    // Every file stays inside the images folder.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(ClassFolder("301"))) {
        if (entry.is_regular_file() && entry.path().filename() != "message.xml") {
            EXPECT_EQ(entry.path().parent_path().filename(), "images") << entry.path();
        }
    }
}

TEST_F(MessageImages5460Test, TheSessionCookieStaysOnTheProvidersHosts)
{
    Board({MakeMessage("101", "一", "2006-06-01 10:00",
                       "<img src=\"http://image.5460.net:80@evil.example/pic/a.gif\" border=0>"
                       "<img src=\"http://image.5460.net@evil.example/pic/b.gif\" border=0>"
                       "<img src=\"http://image.5460.net.evil.example/pic/c.gif\" border=0>"
                       "<img src=\"http://evil.example/image.5460.net/d.gif\" border=0>"
                       "<img src=\"HTTP://IMAGE.5460.NET/pic/u.gif\" border=0>"
                       "<img src=\"http://image.5460.net:80/pic/p.gif\" border=0>"
                       "<img src=\"http://image.5460.net./pic/t.gif\" border=0>")});
    Update(0, 0);

    auto provider = [](std::string host) {
        if (!host.empty() && host.back() == '.')
            host.pop_back();
        for (const char* name : {p5460::kWebHost1, p5460::kWebHost2, p5460::kImageHost, p5460::kUploadHost})
            if (host == name)
                return true;
        return false;
    };
    size_t foreign = 0;
    for (const sim::Request& r : sim.Log()) {
        if (provider(r.host))
            continue;
        ++foreign;
        EXPECT_TRUE(r.cookies.empty()) << r.target;
        EXPECT_EQ(r.Header("Cookie"), "") << r.target;
    }
    EXPECT_EQ(foreign, 4u);
    // The provider's own pictures go with the session.
    for (const char* path : {"/pic/u.gif", "/pic/p.gif", "/pic/t.gif"}) {
        SCOPED_TRACE(path);
        auto requests = sim.Requests(path);
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_FALSE(requests[0].Cookie(sim::p5460::kSessionCookie).empty());
    }
}

TEST_F(MessageImages5460Test, PhotoNoticesLinkEveryPicture)
{
    Board({MakeMessage("105", "新照片通知.", "2006-06-05 10:00",
                       "<a href=/gy5460/jsp/picture/pictureDetail.jsp?picID=601&classID=301>"
                       "<img src=\"http://image.5460.net/photo/a.jpg\" border=0></a>"
                       "<img src=\"http://image.5460.net/photo/s_78.jpg\" border=0>"),
           MakeMessage("104", "新照片通知.", "2006-06-04 10:00",
                       "<a href=/gy5460/jsp/picture/pictureDetail.jsp?picID=602&classID=301>看</a>"
                       "<img src=\"http://image.5460.net/photo/b.jpg\" border=0>"),
           MakeMessage("103", "新照片通知.", "2006-06-03 10:00",
                       "<a href=/gy5460/jsp/picture/pictureDetail.jsp?picID=555&classID=301>"
                       "<img src=\"http://image.5460.net/photo/s_1.jpg\" border=0></a> "
                       "<a href=/gy5460/jsp/picture/pictureDetail.jsp?picID=556&classID=301>"
                       "<img src=\"http://image.5460.net/photo/s_2.jpg\" border=0></a>"),
           MakeMessage("102", "新照片通知.", "2006-06-02 10:00",
                       "<img src=\"http://image.5460.net/photo/s_77.jpg\" border=0>"
                       "<img src=\"http://image.5460.net/photo/s_x7.jpg\" border=0>"),
           MakeMessage("101", "别的", "2006-06-01 10:00", "<img src=\"http://image.5460.net/photo/s_9.jpg\" border=0>")});
    Update(0, 0);

    // Each picture links to the photo its own link names.
    EXPECT_EQ(Content("103"), "<a href=\"tavrin:点击查看编号[555]的照片\"><img src=\"images/s_1.jpg\" border=0 "
                              "alt=\"点击查看原图\"></a> <a href=\"tavrin:点击查看编号[556]的照片\">"
                              "<img src=\"images/s_2.jpg\" border=0 alt=\"点击查看原图\"></a>");
    // A picture outside any link takes the id its name gives; one with no
    // number in its name, the notice's only link.
    EXPECT_EQ(Content("105"), "<a href=\"tavrin:点击查看编号[601]的照片\"><img src=\"images/a.jpg\" border=0 "
                              "alt=\"点击查看原图\"></a><a href=\"tavrin:点击查看编号[78]的照片\">"
                              "<img src=\"images/s_78.jpg\" border=0 alt=\"点击查看原图\"></a>");
    EXPECT_EQ(Content("104"), "看<a href=\"tavrin:点击查看编号[602]的照片\"><img src=\"images/b.jpg\" border=0 "
                              "alt=\"点击查看原图\"></a>");
    // Without the notice's own link the thumbnail's name gives the id, when
    // it is a number.
    EXPECT_EQ(Content("102"), "<a href=\"tavrin:点击查看编号[77]的照片\"><img src=\"images/s_77.jpg\" border=0 "
                              "alt=\"点击查看原图\"></a><img src=\"images/s_x7.jpg\" border=0>");
    EXPECT_EQ(Content("101"), "<img src=\"images/s_9.jpg\" border=0>");
}

TEST_F(MessageImages5460Test, AMissingNoticePictureIsLinkedToo)
{
    sim.SetFault("image.5460.net", "/photo/s_5.jpg", sim::Fault::WithStatus(404));
    Board({MakeMessage("101", "新照片通知.", "2006-06-01 10:00",
                       "<img src=\"http://image.5460.net/photo/s_5.jpg\" border=0>")});
    Update(0, 0);
    EXPECT_EQ(Content("101"), std::string("<a href=\"tavrin:点击查看编号[5]的照片\"><img src=\"") + kMissing +
                                  "\" border=0 alt=\"点击查看原图\"></a>");
}

// ---- search

class MessageSearch5460Test : public MessageStore5460Test {
protected:
    MessageSearch5460Test()
    {
        sim::Message meeting = MakeMessage("102", "聚会", "2006-06-02 10:00", "吃饭");
        meeting.replies = {MakeReply("201", "2006-06-03 10:00", "公园也行")};
        Board({MakeMessage("103", "通知", "2006-06-03 10:00", "<img src=\"images/x.gif\" alt=\"野餐\"> 见", "野餐哥"),
               meeting, MakeMessage("101", "春游", "2006-06-01 10:00", "去公园")});
        Update(0, 0);
    }

    std::vector<std::string> Search(const char* text, int within)
    {
        OnWorker([&] { store->Search(text, within); });
        std::vector<std::string> ids;
        for (int i = 0; i < store->GetItemCount(); ++i)
            ids.push_back(store->GetItem(i)->m_id.Str());
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    size_t EventCount() { return window.Events().size(); }
};

TEST_F(MessageSearch5460Test, WordsFindMessagesByTitleTextAndReplies)
{
    const size_t before = Sent().size();
    EXPECT_EQ(Search("春游 公园", 0), (std::vector<std::string>{"101", "102"}));
    EXPECT_EQ(Sent().size(), before + 1);
    EXPECT_EQ(Posted().back(), 21);
    EXPECT_EQ(store->GetLastSearch(), CString("春游 公园"));

    // The same text, blanks around it: nothing happens.
    const size_t events = EventCount();
    EXPECT_EQ(Search("  春游 公园 ", 0), (std::vector<std::string>{"101", "102"}));
    EXPECT_EQ(EventCount(), events);

    // Only inside a tag or in the author's name: not found.
    EXPECT_TRUE(Search("野餐", 0).empty());
    EXPECT_EQ(Posted().back(), 21);
}

TEST_F(MessageSearch5460Test, WithinTheResultsAndBackToTheFullList)
{
    EXPECT_EQ(Search("春游", 0), (std::vector<std::string>{"101"}));
    EXPECT_EQ(Search("公园", 1), (std::vector<std::string>{"101"}));
    EXPECT_EQ(Search("", 0), (std::vector<std::string>{"101", "102", "103"}));
    EXPECT_TRUE(store->GetLastSearch().IsEmpty());
}

TEST_F(MessageSearch5460Test, AnEmptyBoardStillEndsTheSearch)
{
    CSchoolClass5460* other = AddClass("302");
    auto* empty = static_cast<CMessageStore5460*>(other->GetMessageStore());
    const size_t sent = Sent().size();
    const size_t posted = Posted().size();
    OnWorker([&] { empty->Search("x", 0); });
    EXPECT_EQ(Sent().size(), sent + 1);
    EXPECT_EQ(Posted().size(), posted + 1);
    EXPECT_EQ(Posted().back(), 21);
    EXPECT_EQ(empty->GetItemCount(), 0);
}

} // namespace
} // namespace tavrin::test
