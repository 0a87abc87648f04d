// Hostile message HTML from the board through the whole road: list page,
// update, "message.xml", the rendered page (and a reply's preview), and a
// conforming HTML parser that reads what the page's script puts in as HTML.
#include "tests/providers/5460/MessageFixture.h"
#include "providers/5460/MessageText.h"
#include "providers/common/Escape.h"
#include "tests/providers/common/HostileHtml.h"
#include "tests/support/ChildProcess.h"

#include <fstream>

namespace tavrin::test {
namespace {

constexpr char kPython[] = "/usr/bin/python3";

bool ParserInstalled()
{
    return std::system((std::string(kPython) + " -c 'import html5lib' > /dev/null 2>&1").c_str()) == 0;
}

// What the parser finds that could run script, one line each, then the
// checker's last line.
std::string LiveMarkup(const std::vector<std::filesystem::path>& pages)
{
    std::vector<std::string> argv = {kPython, TAVRIN_SOURCE_DIR "/tests/providers/5460/live_markup.py"};
    for (const auto& page : pages)
        argv.push_back(page.string());
    ChildProcess checker;
    if (!checker.Start(argv))
        return "checker not started";
    checker.WaitForLine("checked");
    return checker.Output();
}

// The rewrites after the first cleaning, each turning quoted text into live
// markup when the page takes the stored text as it is.
const char* const kChains[] = {
    // A picture address holding a quote is replaced in another tag too, which
    // loses a quote there.
    "<img src=http://image.5460.net/x\"alt= border=0><img title=\"http://image.5460.net/x\"alt=\" onerror=alert(1) //\">",
    // A notice's anchors are removed after the cleaning, out of a quoted value.
    "<b title='<a'>x</b><img alt=' onerror=alert(1) //'>",
    "<b title='<<A>a'>x</b><img alt=' onerror=alert(1) //'>",
    "<b title=\"<<a>a\">x</b><img alt=\" onmouseover=alert(1) //\">",
    // A highlighted word between attributes after a quoted '>'.
    "<img alt=\"1>2\" title=\" <img src=x onerror=alert(1)>\">",
    "<img alt='1>2' title=' <img src=x onerror=alert(1)>'>",
};

class MessageHostileHtml5460Test : public MessageStore5460Test {};

TEST_F(MessageHostileHtml5460Test, NoPageLetsBoardHtmlRunScript)
{
    if (!ParserInstalled())
        GTEST_SKIP() << "python3-html5lib is not installed (scripts/setup installs it)";

    std::vector<std::string> payloads(std::begin(kChains), std::end(kChains));
    for (const SanitizerCase& c : kDroppedHtml)
        payloads.push_back(c.in);
    for (const SanitizerCase& c : kLeadByteHtml)
        payloads.push_back(c.in);

    // Every payload as a photo notice's text, and as another message's title,
    // text and reply.
    std::vector<sim::Message> board;
    int id = 1000;
    char time[32];
    for (const std::string& payload : payloads) {
        std::snprintf(time, sizeof time, "2006-06-01 %02d:%02d", 23 - id / 60 % 24, 59 - id % 60);
        board.push_back(MakeMessage(std::to_string(id++), "新照片通知.", time, payload));
        std::snprintf(time, sizeof time, "2006-06-01 %02d:%02d", 23 - id / 60 % 24, 59 - id % 60);
        sim::Message plain = MakeMessage(std::to_string(id++), payload, time, payload);
        plain.replies = {MakeReply(std::to_string(id++), "2006-06-02 10:00", payload)};
        board.push_back(plain);
    }
    Board(board, 1000);
    Update(0, 0);
    ASSERT_EQ(Document().size(), board.size());

    std::vector<std::filesystem::path> pages;
    auto render = [&](const char* search) {
        store->SetLastSearch(search);
        for (const StoredMessage& m : Document()) {
            pages.push_back(dir.Path() / ("page-" + m.custoId + (*search ? "-search" : "") + ".htm"));
            std::ofstream(pages.back(), std::ios::binary) << store->RenderPage(CString(m.custoId)).Str();
        }
    };
    render("");
    render("title onerror 2 img x");
    // A reply's preview shows the stored message with it.
    for (const StoredMessage& m : Document()) {
        store->SetCurrentCustoId(CString(m.custoId));
        pages.push_back(dir.Path() / ("preview-" + m.custoId + ".htm"));
        std::ofstream(pages.back(), std::ios::binary) << store->RenderPreview("s", "<b>t</b>", 1).Str();
    }
    EXPECT_EQ(LiveMarkup(pages), "checked\n");
}

TEST_F(MessageHostileHtml5460Test, OurOwnRewritesSurviveTheLastCleaning)
{
    Board({MakeMessage("101", "新照片通知.", "2006-06-01 10:00",
                       "<a href=/gy5460/jsp/picture/pictureDetail.jsp?picID=555&classID=301>"
                       "<img src=\"http://image.5460.net/photo/s_1.jpg\" border=0></a> 聚会 "
                       "<a href=\"tavrin:点击查看编号[9]的照片\">forged</a>")});
    sim.SetFault("image.5460.net", "/photo/s_1.jpg", sim::Fault::WithStatus(404));
    Update(0, 0);
    store->SetLastSearch("聚会");
    const std::string page = store->RenderPage("1").Str();
    // The photo link of ours, the missing picture of the style folder and the
    // highlight stand; the board's own "tavrin:" link was never ours.
    EXPECT_NE(page.find(EscapeScriptString("<a href=\"tavrin:点击查看编号[555]的照片\"><img "
                                           "src=\"../../../styles/5460/default/images/s_missing.png\" border=0 "
                                           "alt=\"点击查看原图\"></a>")
                            .Str()),
              std::string::npos)
        << page;
    EXPECT_NE(page.find(EscapeScriptString("<font color=red><b>聚会</b></font>").Str()), std::string::npos);
    EXPECT_EQ(page.find("[9]"), std::string::npos);
}

TEST(PhotoLinkAddress, OnlyOurOwnFormWithANumber)
{
    struct Case {
        const char* href;
        bool ours;
    } cases[] = {
        {"tavrin:点击查看编号[555]的照片", true},
        {"tavrin:点击查看编号[]的照片", false},
        {"tavrin:点击查看编号[5a]的照片", false},
        {"tavrin:点击查看编号[5]的照片x", false},
        {"TAVRIN:点击查看编号[5]的照片", false},
        {"tavrin:点击查看[5]的通讯录", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(p5460::IsPhotoLinkAddress(c.href), c.ours) << c.href;
}

} // namespace
} // namespace tavrin::test
