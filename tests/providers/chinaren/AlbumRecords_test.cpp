// The album's data scripts: script addresses, photo records, comments,
// record times and image addresses.
#include "tests/providers/chinaren/ChinaRenFixture.h"

#include "providers/chinaren/AlbumRecords.h"
#include "providers/chinaren/PictureStoreChinaRen.h"

#include <gtest/gtest.h>

namespace tavrin::test {
namespace {

using namespace tavrin::chinaren;

std::string Record(const std::string& id, const std::string& host = "3", const std::string& ext = "jpg",
                   const std::string& crtm = "1117584000000", const std::string& purl = "")
{
    return "pl[\"" + id + "\"]=\"HOST" + host + "`@^USID9`@^REAL张三`@^FNAM标题" + id + "`@^FEXT" + ext +
           "`@^FLSZ2048`@^IMSZ640*480`@^CRTM" + crtm + "`@^INTR说明`@^PURL" + purl +
           "`@^CLIK7`@^CMNM2`@^CMDB0`@^STAT1`@^COL0`@^COL0\";";
}

TEST(ChinaRenAlbum, ScriptAddressesBetweenTheTipAndTheClasspicScripts)
{
    const std::string tip = "<script language=Javascript src=http://img.chinaren.com/product/tavrin3/tavrin_tip.js></script>";
    const std::string tail = "<script language=Javascript src=\"http://albumdata.chinaren.com/classpic_301.js\"></script>";
    struct Case {
        const char* name;
        std::string page;
        const char* data;
        const char* comments;
    } cases[] = {
        {"two", "<script src=\"http://x/early.js\"></script>" + tip +
                    "<script src=\"http://albumdata.chinaren.com/d.js\"></script>"
                    "<script src=\"http://albumdata.chinaren.com/c.js\"></script>" + tail,
         "http://albumdata.chinaren.com/d.js", "http://albumdata.chinaren.com/c.js"},
        {"one src", tip + "<script src=\"http://albumdata.chinaren.com/d.js\"></script>" + tail,
         "http://albumdata.chinaren.com/d.js", ""},
        {"sohu tip", "<script language=Javascript src=http://img.sohu.com/product/tavrin3/tavrin_tip.js></script>"
                     "<script src=\"a\"></script>" + tail,
         "a", ""},
        {"no tip", "<script src=\"a\"></script>" + tail, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CString data = "x";
        CString comments = "x";
        FindAlbumScripts(c.page.c_str(), data, comments);
        EXPECT_EQ(data, CString(c.data));
        EXPECT_EQ(comments, CString(c.comments));
    }
}

TEST(ChinaRenAlbum, RecordsSortByIdAsNumbers)
{
    const std::string script = Record("99") + "\r\n" + Record("5") + "\n" + Record("100") + "\n" +
                               "pl[\"7\"]=\"HOST3`@^REALx\";\n" + "var other = 1;\n";
    std::vector<std::string> ids;
    for (const CString& record : PhotoRecords(script.c_str())) {
        CPictureItemChinaRen item;
        ids.push_back(ReadPhotoRecord(record, "301", item) ? item.m_id.Str() : "skipped");
    }
    EXPECT_EQ(ids, (std::vector<std::string>{"100", "99", "skipped", "5"}));
}

TEST(ChinaRenAlbum, RecordFieldsAndTheirChecks)
{
    ScopedZone beijing("CST-8");
    CPictureItemChinaRen item;
    ASSERT_TRUE(ReadPhotoRecord(Record("678").c_str(), "12345", item));
    EXPECT_EQ(item.m_tile, CString("标题678"));
    EXPECT_EQ(item.m_uploadUser, CString("张三"));
    EXPECT_EQ(item.m_click, CString("7"));
    EXPECT_EQ(item.m_fileSize, CString("2048"));
    EXPECT_EQ(item.m_originalSize, CString("640*480"));
    EXPECT_EQ(item.m_description, CString("说明"));
    EXPECT_EQ(item.m_fileName, CString("678.jpg"));
    EXPECT_EQ(item.m_status, CString("not download"));
    EXPECT_EQ(item.m_commentNum, CString("0"));
    EXPECT_EQ(item.m_uploadTime, CString("2005-06-01 08:00")); // Beijing time
    EXPECT_EQ(item.m_url, CString("http://photo3.chinaren.com/album/pic/345/12/12345/678.jpg"));

    struct Case {
        const char* name;
        std::string record;
    } refused[] = {
        {"path in the extension", Record("1", "3", "../x")},
        {"query in the extension", Record("1", "3", "jpg?x")},
        {"long extension", Record("1", "3", "abcdefghi")},
        {"empty id", Record("")},
        {"host not a number", Record("1", "evil.example/")},
        {"fields out of order", "pl[\"1\"]=\"USID1`@^HOST3\";"},
        // The record of 5 runs on to the next line's ";": the fields there
        // belong to 100.
        {"another record's fields", "pl[\"5\"]=\n" + Record("100")},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.name);
        CPictureItemChinaRen skipped;
        EXPECT_FALSE(ReadPhotoRecord(c.record.c_str(), "301", skipped));
    }
    EXPECT_TRUE(IsPhotoFileName("12.jpeg"));
    EXPECT_FALSE(IsPhotoFileName(".jpg"));
    EXPECT_FALSE(IsPhotoFileName("12.j/g"));
    EXPECT_FALSE(IsPhotoFileName("..\\12.jpg"));
}

TEST(ChinaRenAlbum, RecordTimesAndImageAddresses)
{
    ScopedZone utc("UTC0");
    EXPECT_EQ(RecordTime("5000"), CString("1970-01-01 00:00"));
    EXPECT_EQ(RecordTime("12"), CString("1970-01-01 00:00"));
    EXPECT_EQ(RecordTime("61000"), CString("1970-01-01 00:01"));
    EXPECT_EQ(PhotoImageUrl("3", "", "jpg", "678", "12345"),
              CString("http://photo3.chinaren.com/album/pic/345/12/12345/678.jpg"));
    // Eleven characters or more: the last eight make the number.
    EXPECT_EQ(PhotoImageUrl("1", "", "gif", "9", "99912345678"),
              CString("http://photo1.chinaren.com/album/pic/678/345/99912345678/9.gif"));
    EXPECT_EQ(PhotoImageUrl("-1", "http://elsewhere.example/p.jpg", "jpg", "9", "301"),
              CString("http://elsewhere.example/p.jpg"));
    EXPECT_TRUE(PhotoImageUrl("-1", "", "jpg", "9", "301").IsEmpty());
}

TEST(ChinaRenAlbum, CommentsOfAPhoto)
{
    ScopedZone beijing("CST-8");
    const std::string script =
        "cl[\"5`@^1\"]=\"USID1`@^REAL<b>甲</b><script>x()</script>`@^CRTM1117584000000`@^MESG好<img src=a.gif onerror=y>\";\n"
        "cl[\"6`@^1\"]=\"USID1`@^REAL乙`@^CRTM1117584000000`@^MESGother\";\n"
        "cl[\"5`@^2\"]=\"broken\";\n"
        "cl[\"55`@^1\"]=\"USID1`@^REAL丙`@^CRTM1117584000000`@^MESGnot mine\";\n";
    const AlbumComments comments(script.c_str());
    CString count = "keep";
    CString html = "keep";
    EXPECT_FALSE(comments.Find("7", count, html));
    EXPECT_EQ(count, CString("keep"));
    ASSERT_TRUE(comments.Find("5", count, html));
    EXPECT_EQ(count, CString("2"));
    EXPECT_EQ(html, CString("<table width=670 border=0 cellspacing=0 cellpadding=2>"
                            "<tr><td bgcolor=#EBEADF class=a3>&nbsp;<img src=../../../styles/chinaren/default/images/"
                            "jdd03.gif width=4 height=8 border=0>&nbsp;<a class=cla2><b>甲</b></a> 于 2005-06-01 08:00 "
                            "留言 </td></tr><tr><td width=670 class=a2 style='word-wrap: break-word;'>&nbsp;&nbsp;"
                            "好<img src=a.gif></td></tr></table>"));
    ASSERT_TRUE(comments.Find("55", count, html));
    EXPECT_EQ(count, CString("1"));
}

} // namespace
} // namespace tavrin::test
