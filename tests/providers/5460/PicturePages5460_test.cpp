#include "tests/providers/5460/PhotoFixture.h"

#include "platform/base/FileApi.h"

#include <filesystem>
#include <fstream>

namespace tavrin::test {
namespace {

const char kImages[] = "../../../../styles/5460/default/images/";

StoredPhoto Stored(int n, const std::string& status, const std::string& fileName)
{
    StoredPhoto p;
    p.custoId = p.id = std::to_string(n);
    p.status = status;
    p.fileName = fileName;
    p.title = "照片" + p.id;
    // Newest first in the list (it sorts by upload time, descending).
    p.uploadTime = "2006-01-01 10:" + std::string(n < 10 ? "0" : "") + std::to_string(n);
    p.click = "3";
    p.commentNum = "1";
    p.uploadUser = "李四";
    p.rank = "7";
    return p;
}

std::vector<std::string> SplitList(const std::string& list)
{
    std::vector<std::string> out;
    if (list.empty())
        return out;
    size_t p = 0;
    for (;;) {
        size_t q = list.find("`|", p);
        out.push_back(list.substr(p, q == std::string::npos ? std::string::npos : q - p));
        if (q == std::string::npos)
            return out;
        p = q + 2;
    }
}

class PhotoPagesTest : public PhotoTest {
protected:
    void WritePicture(const std::string& name)
    {
        std::filesystem::create_directories(Pictures());
        std::ofstream(Pictures() + "/" + name, std::ios::binary) << JpegBytes(8, 8);
    }
};

TEST_F(PhotoPagesTest, ThumbnailPaging)
{
    std::vector<StoredPhoto> photos;
    for (int n = 25; n >= 1; --n)
        photos.push_back(Stored(n, "download", std::to_string(n) + ".jpg"));
    StorePhotos(photos);
    ASSERT_EQ(store->GetItemCount(), 25);

    auto values = ScriptValues(store->RenderThumbnails(20, 10, 4));
    EXPECT_EQ(values["position"], "当前: 3/3");
    EXPECT_EQ(values["row_length"], "4");
    EXPECT_EQ(SplitList(values["file_list"]),
              (std::vector<std::string>{"s_5.jpg", "s_4.jpg", "s_3.jpg", "s_2.jpg", "s_1.jpg"}));
    EXPECT_EQ(SplitList(values["id_list"]), (std::vector<std::string>{"5", "4", "3", "2", "1"}));
    EXPECT_EQ(SplitList(values["title_list"]).size(), 5u);

    values = ScriptValues(store->RenderThumbnails(0, 10, 4));
    EXPECT_EQ(values["position"], "当前: 1/3");
    EXPECT_EQ(SplitList(values["file_list"]).size(), 10u);
    // A page size of 0 is taken as 1.
    EXPECT_EQ(ScriptValues(store->RenderThumbnails(3, 0, 4))["position"], "当前: 4/25");
}

TEST_F(PhotoPagesTest, PlaceholdersByDownloadState)
{
    StorePhotos({Stored(5, "download", "5.jpg"), Stored(4, "download", "4.jpg"), Stored(3, "download", ""),
                 Stored(2, "", ""), Stored(1, "missing", "1.jpg")});
    WritePicture("5.jpg"); // 4.jpg was removed from the folder
    struct Case {
        const char* custoId;
        std::string detail;
        std::string thumbnail;
    };
    const Case cases[] = {
        {"5", "5.jpg", "s_5.jpg"},
        {"4", std::string(kImages) + "download.png", "s_4.jpg"},
        {"3", std::string(kImages) + "download.png", std::string(kImages) + "s_missing.png"},
        {"2", std::string(kImages) + "not download.png", std::string(kImages) + "s_not download.png"},
        {"1", std::string(kImages) + "missing.png", std::string(kImages) + "s_missing.png"},
    };
    auto thumbnails = SplitList(ScriptValues(store->RenderThumbnails(0, 10, 4))["file_list"]);
    ASSERT_EQ(thumbnails.size(), 5u);
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].custoId);
        EXPECT_EQ(ScriptValues(store->RenderDetailPage(cases[i].custoId, 640))["file_name"], cases[i].detail);
        EXPECT_EQ(thumbnails[i], cases[i].thumbnail);
    }
}

TEST_F(PhotoPagesTest, DetailFields)
{
    StoredPhoto p = Stored(2, "download", "2.jpg");
    p.title = "他说\"好\"";
    p.comment = "<b>王五</b>说\"好\"\\<script>alert(1)</script><img src=\"javascript:x()\">";
    p.description = "<p onclick=\"x()\">毕业</p>";
    StorePhotos({p, Stored(1, "", "")});

    CString page = store->RenderDetailPage("2", 640);
    auto values = ScriptValues(page);
    EXPECT_EQ(values["tile"], "他说\"好\"");
    EXPECT_EQ(values["comment"].find("<script"), std::string::npos);
    EXPECT_EQ(values["comment"].find("javascript:"), std::string::npos);
    EXPECT_NE(values["comment"].find("<b>王五</b>说\"好\"\\"), std::string::npos);
    EXPECT_EQ(values["description"], "<p>毕业</p>");
    EXPECT_EQ(values["view_width"], "640");
    EXPECT_EQ(values["position"], "当前: 1/2");
    EXPECT_EQ(values["upload_time"], "2006-01-01 10:02");
    EXPECT_EQ(values["upload_user"], "李四");
    EXPECT_EQ(values["rank"], "7");
    EXPECT_EQ(values["click"], "3");
    EXPECT_EQ(values["comment_num"], "1");
    // Quotes reach the page escaped, never bare.
    EXPECT_NE(page.Find("他说\\\"好\\\""), -1);

    values = ScriptValues(store->RenderDetailPage("9", 800));
    EXPECT_EQ(values["position"], "当前: 0/2");
    EXPECT_EQ(values["tile"], "");
    EXPECT_EQ(values["file_name"], std::string(kImages) + "not download.png");
}

TEST_F(PhotoPagesTest, MissingTemplatesAndBlocks)
{
    StorePhotos({Stored(1, "", "")});
    const std::filesystem::path styles = dir.Path() / "styles";
    std::filesystem::remove(styles / "common" / "thumbnail.html");
    EXPECT_TRUE(store->RenderThumbnails(0, 10, 4).IsEmpty());
    const std::string plain = "<html>no data block</html>";
    std::ofstream(styles / "5460" / "default" / "picture.html", std::ios::binary) << plain;
    std::ofstream(styles / "5460" / "default" / "upload_picture.html", std::ios::binary) << plain;
    EXPECT_EQ(store->RenderDetailPage("1", 640), CString(plain.c_str()));
    EXPECT_EQ(store->RenderUploadPage(), CString(plain.c_str()));
}

TEST_F(PhotoPagesTest, UploadPageClassesAndSchools)
{
    account.SetUserId("42");
    schoolClass->SetName("三班");
    schoolClass->SetSchoolId("1");
    schoolClass->SetSchoolName("一中");
    CSchoolClass* second = AddClass("302");
    second->SetName("四班");
    second->SetSchoolId("1");
    second->SetSchoolName("一中");
    CSchoolClass* third = AddClass("303");
    third->SetName("五班 <b>&");
    third->SetSchoolId("2");
    third->SetSchoolName("二中\"");

    auto values = ScriptValues(store->RenderUploadPage());
    EXPECT_EQ(values["class_boxes"],
              "<input type=\"checkbox\" name=\"classList\" value=\"301\" checked>三班<br>"
              "<input type=\"checkbox\" name=\"classList\" value=\"302\">四班<br>"
              "<input type=\"checkbox\" name=\"classList\" value=\"303\">五班&nbsp;&lt;b&gt;&amp;<br>");
    // Names are escaped as XML text: blanks become "&nbsp;", quotes stay.
    EXPECT_EQ(values["school_boxes"],
              "<input type=\"checkbox\" name=\"classList\" value=\"-1\" >一中<br>"
              "<input type=\"checkbox\" name=\"classList\" value=\"-2\" >二中\"<br>");
    EXPECT_EQ(values["box_count"], "5");
    EXPECT_EQ(values["go_list"], "GO:301|302|303|-1|-2|");
    EXPECT_EQ(values["user_id"], "42");
}

} // namespace
} // namespace tavrin::test
