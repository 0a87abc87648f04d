// The album's pages: thumbnail paging and lists, status icons, the photo
// page's file, position and escaped values, and the upload form.
#include "tests/providers/chinaren/AlbumFixture.h"

#include "core/services/XmlFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace tavrin::test {
namespace {

// The text of "var name = "..."" in a filled page, as written.
std::string Assigned(const CString& page, const std::string& name)
{
    const std::string text = page.Str();
    const std::string start = "var " + name + " = \"";
    size_t p = text.find(start);
    if (p == std::string::npos)
        return "<none>";
    p += start.size();
    const size_t end = text.find("\";\r\n", p) != std::string::npos ? text.find("\";\r\n", p) : text.find("\";\n", p);
    return text.substr(p, end - p);
}

class ChinaRenAlbumPages : public ChinaRenAlbumTest {
protected:
    // Rewrites one stored photo's field.
    void SetField(const std::string& id, const char* child, const std::string& value)
    {
        CXmlFile& xml = *store->GetXmlFile();
        CXmlCursor cursor(xml);
        xml.ResetPos(cursor.GetId());
        ASSERT_TRUE(cursor.FindChildElem("picture") && cursor.FindChildElemWithAttrib("item", "id", id.c_str()));
        if (std::string(child) == "status") {
            cursor.SetAttrib("status", value.c_str());
        } else {
            ASSERT_TRUE(cursor.FindChildElem(child));
            cursor.SetData(value.c_str());
        }
    }
    std::string CustoIdOf(const std::string& id) { return Stored(id).m_custoId.Str(); }
};

TEST_F(ChinaRenAlbumPages, ThumbnailPagesAndTheirLists)
{
    std::vector<sim::chinaren::AlbumPhoto> photos;
    for (int i = 1; i <= 25; ++i)
        photos.push_back(Photo(std::to_string(i)));
    SetAlbum(photos);
    Update(1);
    ASSERT_EQ(store->GetItemCount(), 25);

    CString page = store->RenderThumbnails(0, 12, 4);
    EXPECT_EQ(Assigned(page, "position"), "当前: 1/3");
    EXPECT_EQ(Assigned(page, "row_length"), "4");
    std::string ids = Assigned(page, "id_list");
    EXPECT_EQ(std::count(ids.begin(), ids.end(), '|'), 11);

    page = store->RenderThumbnails(24, 12, 4);
    EXPECT_EQ(Assigned(page, "position"), "当前: 3/3");
    EXPECT_EQ(Assigned(page, "id_list").find('|'), std::string::npos);
    EXPECT_EQ(Assigned(page, "file_list"), "../../../../styles/chinaren/default/images/s_not download.png");
}

TEST_F(ChinaRenAlbumPages, ThumbnailListsStayAlignedAndShowStatusIcons)
{
    SetAlbum({Photo("1"), Photo("2"), Photo("3"), Photo("4")});
    Update(1);
    // Top down: 4, 3, 2, 1. 4 and 3 have no title; 4 is on disk; 3 is
    // marked downloaded with no name, 2 with a name that names no photo.
    std::filesystem::create_directories(Pictures());
    std::ofstream(Pictures() + "/4.jpg", std::ios::binary) << JpegBytes(8, 8);
    SetField("4", "status", "download");
    SetField("4", "tile", "");
    SetField("3", "tile", "");
    SetField("3", "status", "download");
    SetField("3", "file_name", "");
    SetField("2", "status", "download");
    SetField("2", "file_name", "../x.jpg");
    SetField("1", "status", "missing");
    store->LoadItems(FALSE);

    const CString page = store->RenderThumbnails(0, 12, 3);
    const std::string icons = "../../../../styles/chinaren/default/images/";
    const std::map<std::string, std::pair<std::string, std::string>> entries = {
        {"4", {"s_4.jpg", ""}},
        {"3", {icons + "s_missing.png", ""}},
        {"2", {icons + "s_missing.png", "照片2"}},
        {"1", {icons + "s_missing.png", "照片1"}},
    };
    // In list order, one entry per photo in each list.
    std::string files, titles, ids;
    for (const std::string& custoId : Listed()) {
        const std::string id = store->FindItem(CString(), custoId.c_str())->m_id.Str();
        const char* separator = ids.empty() ? "" : "`|";
        files += separator + entries.at(id).first;
        titles += separator + entries.at(id).second;
        ids += separator + id;
    }
    EXPECT_EQ(Assigned(page, "file_list"), files);
    EXPECT_EQ(Assigned(page, "title_list"), titles);
    EXPECT_EQ(Assigned(page, "id_list"), ids);
    EXPECT_EQ(Assigned(page, "position"), "当前: 1/1");

    // No photos at all.
    store->GetXmlFile()->Clear();
    store->LoadItems(FALSE);
    const CString empty = store->RenderThumbnails(0, 12, 3);
    EXPECT_EQ(Assigned(empty, "file_list"), "");
    EXPECT_EQ(Assigned(empty, "position"), "当前: 1/0");
}

TEST_F(ChinaRenAlbumPages, DetailPageFileAndPosition)
{
    std::vector<sim::chinaren::AlbumPhoto> photos;
    for (int i = 1; i <= 10; ++i)
        photos.push_back(Photo(std::to_string(i)));
    photos[7].title = "说\"引号\"";
    photos[7].intro = "<b>粗</b><img src=x onerror=alert(1)><script>x()</script>";
    SetAlbum(photos, {Comment("8", "好<a href=\"javascript:x()\">链</a>")});
    Update(1);
    // Unsorted, the list is in document order: photo 8 is the third.
    store->SortItems(0, FALSE);
    store->LoadItems(FALSE);
    const std::string custoId = CustoIdOf("8");
    CString page = store->RenderDetailPage(custoId.c_str(), 640);
    EXPECT_EQ(Assigned(page, "position"), "当前: 3/10");
    EXPECT_EQ(Assigned(page, "view_width"), "640");
    EXPECT_EQ(Assigned(page, "tile"), "说\\\"引号\\\"");
    EXPECT_EQ(Assigned(page, "upload_user"), "张三");
    // Remote HTML is cleaned, then escaped for the script string.
    EXPECT_EQ(Assigned(page, "description"), "\\x3Cb\\x3E粗\\x3C/b\\x3E\\x3Cimg src=x\\x3E");
    const std::string comment = Assigned(page, "comment");
    EXPECT_EQ(comment.find("javascript"), std::string::npos);
    EXPECT_NE(comment.find("好"), std::string::npos);
    EXPECT_EQ(page.Find("<script>x()"), -1);
    EXPECT_EQ(Assigned(page, "file"), "../../../../styles/chinaren/default/images/not download.png");

    // With the file on disk it is named; deleted again, the status icon.
    SetField("8", "status", "download");
    std::filesystem::create_directories(Pictures());
    std::ofstream(Pictures() + "/8.jpg", std::ios::binary) << JpegBytes(8, 8);
    EXPECT_EQ(Assigned(store->RenderDetailPage(custoId.c_str(), 640), "file"), "8.jpg");
    std::filesystem::remove(Pictures() + "/8.jpg");
    EXPECT_EQ(Assigned(store->RenderDetailPage(custoId.c_str(), 640), "file"),
              "../../../../styles/chinaren/default/images/download.png");

    // A photo no longer listed: empty fields and position 0.
    page = store->RenderDetailPage("999", 100);
    EXPECT_EQ(Assigned(page, "position"), "当前: 0/10");
    EXPECT_EQ(Assigned(page, "tile"), "");
}

TEST_F(ChinaRenAlbumPages, UploadPageListsTheOtherClasses)
{
    EXPECT_EQ(Assigned(store->RenderUploadPage(), "class_boxes"), "");
    AddClass("302")->SetName("二 班\"甲\"");
    AddClass("303")->SetName("三<班>");
    const CString page = store->RenderUploadPage();
    EXPECT_EQ(Assigned(page, "class_boxes"),
              "&nbsp;\\x3Cinput type=checkbox name=chkid value=\\\"302\\\"\\x3E二&nbsp;班\\\"甲\\\"\\x3Cbr\\x3E"
              "&nbsp;\\x3Cinput type=checkbox name=chkid value=\\\"303\\\"\\x3E三&lt;班&gt;\\x3Cbr\\x3E");
    EXPECT_EQ(Assigned(page, "class_id"), "301");
}

} // namespace
} // namespace tavrin::test
