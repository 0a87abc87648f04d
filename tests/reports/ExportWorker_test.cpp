// The export run into a temporary tree: message pages from the plan with
// their navigation, photo and contact pages, the index blocks, the link
// rewrites, hostile names, refused folders and counted failures.
#include "platform/base/CodePage.h"
#include "reports/ExportWorker.h"
#include "reports/ReportProgress.h"
#include "tests/reports/ReportsTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tavrin::reports;
using tavrin::GbkToUtf8;
using tavrin::test::TempDir;
namespace fs = std::filesystem;

namespace {

int Count(const std::string& text, const std::string& what)
{
    int n = 0;
    for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + what.size()))
        ++n;
    return n;
}

class ExportWorkerTest : public tavrin::test::ReportsFixture {
protected:
    void SetUp() override
    {
        ReportsFixture::SetUp();
        fs::create_directories(Out());
    }
    fs::path Out() const { return m_temp.Path() / "out"; }
    CString Gbk(const fs::path& p) const { return CString(p.string().c_str()); }

    ExportJob Job(std::vector<ExportPage> pages, bool album = false, bool contacts = false)
    {
        ExportJob job;
        job.indexPath = Gbk(Out()) + "\\20050301_20050331.htm";
        job.plan.pages = std::move(pages);
        for (const ExportPage& p : job.plan.pages)
            job.plan.messageCount += static_cast<int>(p.custoIds.size());
        job.album = album;
        job.contacts = contacts;
        job.classLabel = "第一中学-三班";
        job.appDir = Gbk(AppFolder());
        job.classFolder = Gbk(ClassFolder());
        auto copy = [](CClassStore* store, std::vector<ExportRecord>& out, bool photo) {
            auto lock = store->LockItems();
            for (int i = 0; i < store->GetItemCount(); ++i) {
                if (photo) {
                    auto* item = dynamic_cast<CPictureItem*>(store->GetItem(i));
                    out.push_back({item->m_custoId, item->m_id, item->m_tile});
                } else {
                    auto* item = dynamic_cast<CContactItem*>(store->GetItem(i));
                    out.push_back({item->m_custoId, item->m_id, item->m_realName});
                }
            }
        };
        copy(m_class.GetPictureStore(), job.photos, true);
        copy(m_class.GetContactStore(), job.people, false);
        return job;
    }
    ExportResult Run(const ExportJob& job)
    {
        return RunExport(job, m_class.GetMessageStore(), m_class.GetPictureStore(), m_class.GetContactStore(),
                         m_progress);
    }
    std::string Page(const std::string& relative) const { return TempDir::Read(Out() / "tavrin_export" / relative); }
    std::string Index() const { return TempDir::Read(Out() / "20050301_20050331.htm"); }

    NoProgress m_progress;
};

} // namespace

TEST_F(ExportWorkerTest, ThreePagesLinkToTheirNeighboursAndTheIndexListsThem)
{
    for (int i = 0; i < 5; ++i)
        AddMessage("甲", "2005-03-01", "留言" + std::to_string(i));
    ExportResult result = Run(Job({{"2005年01月", {"1"}}, {"2005年02月", {"2", "3"}}, {"2005年03月", {"4", "5"}}}));
    EXPECT_FALSE(result.refused);
    EXPECT_EQ(result.failures, 0);
    const std::string jan = GbkToUtf8("2005年01月.htm"), feb = GbkToUtf8("2005年02月.htm"),
                      mar = GbkToUtf8("2005年03月.htm");
    std::string first = Page("messages/" + jan), second = Page("messages/" + feb), third = Page("messages/" + mar);
    ASSERT_FALSE(second.empty());
    // Messages joined by the split block's comment; the head and tail of the last.
    EXPECT_NE(second.find("<div class=\"m\">留言1</div><hr><div class=\"m\">留言2</div>"), std::string::npos);
    EXPECT_NE(second.find("<link href=\"../styles/5460/default/message.css\">"), std::string::npos);
    EXPECT_EQ(Count(second, "../../../"), 0);
    // The title right after the body tag.
    EXPECT_NE(second.find("<body><table border=\"0\" align=\"center\""), std::string::npos);
    auto href = [](const std::string& gbkName) {
        std::string out;
        for (unsigned char c : GbkToUtf8(gbkName)) {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", c);
            out += isalnum(c) || c == '.' || c == '-' || c == '_' ? std::string(1, static_cast<char>(c)) : buf;
        }
        return out;
    };
    EXPECT_NE(first.find("<a href=\"../../20050301_20050331.htm\">回目录</a>&nbsp;<a href=\"" +
                         href("2005年02月.htm") + "\">2005年02月</a></td>"),
              std::string::npos);
    EXPECT_NE(second.find("<a href=\"" + href("2005年01月.htm") + "\">2005年01月</a>&nbsp;<a href=\"../../"
                          "20050301_20050331.htm\">回目录</a>&nbsp;<a href=\"" + href("2005年03月.htm") +
                          "\">2005年03月</a>"),
              std::string::npos);
    EXPECT_NE(third.find("\">2005年02月</a>&nbsp;<a href=\"../../20050301_20050331.htm\">回目录</a>&nbsp;</td>"),
              std::string::npos);
    // The navigation before the end of the body.
    EXPECT_LT(third.find("回目录"), third.find("</body>"));

    std::string index = Index();
    EXPECT_NE(index.find("exportedMessages(\"第一中学-三班\",\"2005年01月 - 2005年03月\","
                         "\"2005年01月`|2005年02月`|2005年03月\",\"2005年01月.htm`|2005年02月.htm`|2005年03月.htm\")"),
              std::string::npos);
    EXPECT_NE(index.find("exportedPhotos(\"\",\"\")"), std::string::npos);
    EXPECT_NE(index.find("exportedContacts(\"\",\"\")"), std::string::npos);
    // The styles are copied beside the pages; the pictures folder exists all the same.
    EXPECT_TRUE(fs::exists(Out() / "tavrin_export" / "styles" / "common" / "export.htm"));
    EXPECT_TRUE(fs::is_directory(Out() / "tavrin_export" / "pictures"));
    EXPECT_TRUE(fs::is_directory(Out() / "tavrin_export" / "contacts"));
}

TEST_F(ExportWorkerTest, OnePageHasOnlyTheIndexLinkAndNamesTheRange)
{
    AddMessage("甲", "2005-03-01", "一");
    Run(Job({{"2005年03月01日_2005年03月31日", {"1"}}}));
    std::string page = Page("messages/" + GbkToUtf8("2005年03月01日_2005年03月31日.htm"));
    EXPECT_NE(page.find("<td><a href=\"../../20050301_20050331.htm\">回目录</a></td>"), std::string::npos);
    EXPECT_NE(Index().find("\"第一中学-三班\",\"2005年03月01日_2005年03月31日\""), std::string::npos);
}

TEST_F(ExportWorkerTest, AnEmptyPlanStillCopiesAndFillsTheIndex)
{
    fs::create_directories(ClassFolder() / "images");
    m_temp.Write("app/accounts/acct/class1/images/face.gif", "GIF89a");
    ExportResult result = Run(Job({}));
    EXPECT_EQ(result.failures, 0);
    EXPECT_TRUE(fs::exists(Out() / "tavrin_export" / "messages" / "images" / "face.gif"));
    EXPECT_NE(Index().find("exportedMessages(\"第一中学-三班\",\"\",\"\",\"\")"), std::string::npos);
}

TEST_F(ExportWorkerTest, BodiesWithoutEndOrWithAttributes)
{
    AddMessage("甲", "2005-03-01", "一");
    AddMessage("甲", "2005-03-02", "二");
    auto* store = m_class.Messages();
    store->render = [](const CMessageItem& item) -> CString {
        if (item.m_title == "一")
            return "<html><body class=\"x\"><!--留言模板开始-->一<!--留言模板结束-->";
        return "<!--留言模板开始-->二<!--留言模板结束-->";
    };
    Run(Job({{"A", {"1"}}, {"B", {"2"}}}));
    std::string a = Page("messages/A.htm"), b = Page("messages/B.htm");
    // Without "</body>" the navigation goes first; the title follows the body tag.
    EXPECT_EQ(a.find("<br><table border=\"0\" align=\"right\""), 0u) << a;
    EXPECT_NE(a.find("<html><body class=\"x\"><table border=\"0\" align=\"center\""), std::string::npos) << a;
    EXPECT_EQ(b.find("<br><table border=\"0\" align=\"right\""), 0u) << b;
    EXPECT_EQ(Count(b, "align=\"center\""), 0) << "no body, no title table";
}

TEST_F(ExportWorkerTest, ClassLinksBecomeInertOnlyWhenTheirTargetIsPlain)
{
    struct Case {
        std::string in, out;
    };
    const std::vector<Case> cases = {
        {"a(\\\"tavrin:点击查看[张三]\\\")b", "a(\\\"#\\\")b"},
        {"\\\"tavrin:点击查看1\\\" \\\"tavrin:点击查看2\\\"", "\\\"#\\\" \\\"#\\\""},
        // Markup, a quote or a line break before the closing \" stays as it is.
        {"title=\\\"tavrin:点击查看 <img src=x onerror=y>\\\"", "title=\\\"tavrin:点击查看 <img src=x onerror=y>\\\""},
        {"\\\"tavrin:点击查看a\"b\\\"", "\\\"tavrin:点击查看a\"b\\\""},
        {"\\\"tavrin:点击查看a\nb\\\"", "\\\"tavrin:点击查看a\nb\\\""},
        {"\\\"tavrin:点击查看a\\nb\\\"", "\\\"tavrin:点击查看a\\nb\\\""},
        {"\\\"tavrin:点击查看 no end", "\\\"tavrin:点击查看 no end"},
        // A GBK character whose second byte is a backslash is no end.
        {"\\\"tavrin:点击查看\xD5\\\\\"", "\\\"#\\\""},
    };
    for (const Case& c : cases) {
        CString page(c.in.c_str());
        MakeClassLinksInert(page);
        EXPECT_EQ(std::string(page.View()), c.out) << c.in;
    }
}

TEST_F(ExportWorkerTest, FileNamesFromOtherPeoplesText)
{
    struct Case {
        std::string in, out;
    };
    const std::vector<Case> cases = {
        {"张三", "张三"},     {"a/b\\c", "a_b_c"},   {"..", "_"}, {".", "_"}, {"", "_"},
        {"x:y*?\"<>|", "x_y______"}, {std::string(150, 'a'), std::string(100, 'a')},
        // A GBK character whose second byte is a backslash stays whole.
        {"\xD5\\", "\xD5\\"},
        // A lead byte before a byte that cannot end a character is a byte of
        // its own: no separator is hidden behind it.
        {"\x81/..", "__.."}, {"\x81\x1F", "__"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::string(ExportFileName(CString(c.in.c_str())).View()), c.out) << c.in;
}

TEST_F(ExportWorkerTest, PhotosAndContactsWithHostileNames)
{
    const std::vector<std::string> hostile = {"a\\b", "c/d", "..", "say \"x\"", "</script><script>pwned()</script>",
                                              "e`|f", "<img src=x onerror=pwned()>"};
    for (size_t i = 0; i < hostile.size(); ++i)
        AddPicture(i == 2 ? "../evil" : "p" + std::to_string(i), hostile[i]);
    m_temp.Write("app/accounts/acct/class1/pictures/p0.jpg", "jpeg");
    m_temp.Write("app/accounts/acct/class1/pictures/p0.s.jpg", "small");
    m_temp.Write("app/accounts/acct/evil.jpg", "outside");
    for (const std::string& name : hostile)
        AddContact(name);
    AddContact("张三");
    AddContact("张三");
    AddContact("");
    ExportResult result = Run(Job({}, true, true));
    EXPECT_EQ(result.failures, 0);

    // Photo pages by id; an unsafe id gets a made-safe name and no file copies.
    EXPECT_FALSE(Page("pictures/p0.htm").empty());
    EXPECT_EQ(Page("pictures/pictures/p0.jpg"), "jpeg");
    EXPECT_EQ(Page("pictures/pictures/p0.s.jpg"), "small");
    EXPECT_FALSE(fs::exists(Out() / "tavrin_export" / "pictures" / "evil.jpg"));
    EXPECT_FALSE(fs::exists(Out() / "tavrin_export" / "evil.htm"));
    // Neighbours' titles as text in the navigation.
    std::string p3 = Page("pictures/p3.htm");
    EXPECT_NE(p3.find(">上一张[..]</a>"), std::string::npos) << p3;
    EXPECT_NE(p3.find(">下一张[&lt;/script&gt;&lt;script&gt;pwned()&lt;/script&gt;]</a>"), std::string::npos);
    EXPECT_EQ(Count(p3, "<script"), 0);

    // Contact pages by safe names; two of one name share a file, the nameless one.
    for (const char* file : {"a_b.htm", "c_d.htm", "_.htm", "say _x_.htm", "e`_f.htm"})
        EXPECT_TRUE(fs::exists(Out() / "tavrin_export" / "contacts" / file)) << file;
    EXPECT_TRUE(fs::exists(Out() / "tavrin_export" / "contacts" / GbkToUtf8("张三.htm")));
    EXPECT_TRUE(fs::exists(Out() / "tavrin_export" / "contacts" / GbkToUtf8("[无名氏].htm")));
    int files = 0;
    for ([[maybe_unused]] auto& e : fs::directory_iterator(Out() / "tavrin_export" / "contacts"))
        ++files;
    EXPECT_EQ(files, 9);

    // Every list entry escaped for its script string, no separator of its own.
    std::string index = Index();
    EXPECT_EQ(Count(index, "pwned()</script>"), 0);
    EXPECT_NE(index.find("\\x3C/script\\x3E\\x3Cscript\\x3Epwned()\\x3C/script\\x3E"), std::string::npos);
    EXPECT_NE(index.find("exportedContacts(\"a\\\\b`|c/d`|..`|say \\\"x\\\"`|"), std::string::npos);
    EXPECT_NE(index.find("`|e|f`|"), std::string::npos);
    EXPECT_NE(index.find("`|张三`|张三`|[无名氏]\",\"a_b.htm`|c_d.htm`|_.htm`|say _x_.htm`|"), std::string::npos)
        << index;
}

TEST_F(ExportWorkerTest, FoldersInsideWhatTheExportCopiesAreRefused)
{
    AddMessage("甲", "2005-03-01", "一");
    fs::create_directories(ClassFolder() / "images" / "sub");
    for (const fs::path& folder : {AppFolder() / "styles", AppFolder() / "styles" / "common" / "x",
                                   ClassFolder() / "images", ClassFolder() / "images" / "sub"}) {
        ExportJob job = Job({{"A", {"1"}}});
        job.indexPath = Gbk(folder) + "\\index.htm";
        ExportResult result = Run(job);
        EXPECT_TRUE(result.refused) << folder;
        EXPECT_FALSE(fs::exists(folder / "tavrin_export")) << folder;
        EXPECT_FALSE(fs::exists(folder / "index.htm")) << folder;
    }
    // A folder beside them is fine.
    ExportJob job = Job({{"A", {"1"}}});
    job.indexPath = Gbk(AppFolder()) + "\\index.htm";
    EXPECT_FALSE(Run(job).refused);
}

TEST_F(ExportWorkerTest, FailuresAreCountedAndReported)
{
    AddMessage("甲", "2005-03-01", "一");
    RemoveTemplate("export.htm");
    ExportJob job = Job({{"A", {"1"}}});
    // A folder where the page should go.
    fs::create_directories(Out() / "tavrin_export" / "messages" / "A.htm");
    ExportResult result = Run(job);
    EXPECT_EQ(result.failures, 2);
    EXPECT_TRUE(fs::exists(Out() / "20050301_20050331.htm"));
    EXPECT_EQ(Index(), "");
    EXPECT_EQ(std::string(ExportDoneText(result, 0).View()), "导出数据结束，2 项未能写出或复制。马上打开查看吗？");
    EXPECT_EQ(std::string(ExportDoneText({}, 3).View()), "导出数据结束，3 条留言的时间无效未能分页导出。马上打开查看吗？");
    EXPECT_EQ(std::string(ExportDoneText({}, 0).View()), "导出数据完成！马上打开查看吗？");
}
