// The pictures of board messages made local, and photo notices linked.
#include "tests/providers/chinaren/ChinaRenFixture.h"

#include "providers/chinaren/MessageStoreChinaRen.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tavrin::test {
namespace {

const std::string kImage = "http://img.chinaren.com";
const std::string kAlbum = "http://alumni.chinaren.com/album/classpic_index.jsp?classuuid=301&picid=";

class ChinaRenMessagePictures : public ChinaRenTest {
protected:
    ChinaRenMessagePictures()
    {
        schoolClass = AddClass("301");
        store = static_cast<CMessageStoreChinaRen*>(schoolClass->GetMessageStore());
        Aim(client);
        client.AddCookie("crclass=secret; ");
    }

    std::string Localize(const std::string& content)
    {
        CMessageItemChinaRen item;
        item.m_content = content.c_str();
        store->LocalizeImages(item, client, item.m_content);
        return item.m_content.Str();
    }

    CSchoolClassChinaRen* schoolClass = nullptr;
    CMessageStoreChinaRen* store = nullptr;
    CHttpClient client;
};

TEST_F(ChinaRenMessagePictures, Table)
{
    const std::string missing = "../../../styles/chinaren/default/images/s_missing.png";
    const std::string alt = " alt=\"点击查看原图\"";
    struct Case {
        const char* name;
        std::function<void()> arrange;
        std::string in;
        std::string out;
        size_t fetches;
    } cases[] = {
        {"no picture", [] {}, "<a href=\"http://x/\">link</a> text", "link text", 0},
        {"one picture twice", [] {}, "<img src=\"" + kImage + "/a/p1.gif\" border=0><img src='" + kImage + "/a/p1.gif' >",
         "<img src=\"images/p1.gif\" border=0><img src='images/p1.gif' >", 1},
        {"a file already there", [&] { dir.Write(ClassFolder("301") + "/images/p2.gif", "x"); },
         "<img src=" + kImage + "/a/p2.gif border=0>", "<img src=images/p2.gif border=0>", 0},
        {"404", [&] { sim.SetFault("", "/a/p3.gif", sim::Fault::WithStatus(404)); },
         "<img src=" + kImage + "/a/p3.gif border=0>", "<img src=" + missing + " border=0>", 1},
        {"500", [&] { sim.SetFault("", "/a/p4.gif", sim::Fault::WithStatus(500)); },
         "<img src=" + kImage + "/a/p4.gif border=0>", "<img src=" + missing + " border=0>", 1},
        {"empty body", [&] { sim.SetFault("", "/a/p5.gif", sim::Fault::Empty()); },
         "<img src=" + kImage + "/a/p5.gif border=0>", "<img src=" + missing + " border=0>", 1},
        {"notice with the album link", [] {},
         "上传新图片<a href=" + kAlbum + "123 target=_blank><img src=" + kImage + "/a/s_123.jpg border=0></a>",
         "上传新图片<a href=\"tavrin:点击查看编号[123]的照片\"><img src=images/s_123.jpg border=0" + alt + "></a>", 1},
        {"notice without the link", [] {}, "上传新图片<img src=" + kImage + "/b/s_124.jpg border=0>",
         "上传新图片<a href=\"tavrin:点击查看编号[124]的照片\"><img src=images/s_124.jpg border=0" + alt + "></a>", 1},
        {"a two-picture notice gives two links", [] {},
         "转贴新图片<a href=" + kAlbum + "7 target=_blank><img src=" + kImage + "/c/x.jpg border=0></a>"
         "<a href=" + kAlbum + "8 target=_blank><img src=" + kImage + "/c/y.jpg border=0></a>",
         "转贴新图片<a href=\"tavrin:点击查看编号[7]的照片\"><img src=images/x.jpg border=0" + alt +
             "></a><a href=\"tavrin:点击查看编号[8]的照片\"><img src=images/y.jpg border=0" + alt + "></a>",
         2},
        {"a photo id must be digits", [] {}, "上传新图片<img src=" + kImage + "/d/s_abc.jpg border=0>",
         "上传新图片<img src=images/s_abc.jpg border=0>", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.arrange();
        sim.ClearLog();
        EXPECT_EQ(Localize(c.in), c.out);
        EXPECT_EQ(sim.Log().size(), c.fetches);
        sim.ClearFaults();
    }
}

TEST_F(ChinaRenMessagePictures, NamesThatAreNoPlainFileNames)
{
    const std::string out = Localize("<img src=" + kImage + "/e/a(1).gif border=0><img src=" + kImage +
                                     "/e/b.gif?x=1 border=0>");
    EXPECT_EQ(out.find(kImage), std::string::npos) << out;
    EXPECT_EQ(out.find('('), std::string::npos) << out;
    EXPECT_EQ(sim.Log().size(), 2u);
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path() / (ClassFolder("301") + "/images"))) {
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(name.find_first_of("()?="), std::string::npos) << name;
    }
}

TEST_F(ChinaRenMessagePictures, NoCookieReachesAForeignHost)
{
    Localize("<img src=" + kImage + ":80@foreign.example/f.gif border=0><img src=" + kImage + "/g/own.gif border=0>");
    ASSERT_EQ(sim.Log().size(), 2u);
    for (const auto& request : sim.Log()) {
        if (request.host == "foreign.example")
            EXPECT_TRUE(request.Header("Cookie").empty());
        else
            EXPECT_NE(request.Header("Cookie").find("crclass=secret"), std::string::npos);
        EXPECT_EQ(request.Header("Referer"), "http://class.chinaren.com/class/class_leaveword.jsp?classuuid=301");
    }
    // The client keeps its cookie for the next request.
    EXPECT_EQ(client.GetCookies(), CString("crclass=secret; "));
}

} // namespace
} // namespace tavrin::test
