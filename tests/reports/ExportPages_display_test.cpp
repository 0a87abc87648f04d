// An export in the real browser engine: the index lists exactly the files
// written and its links open them, and no page of the export runs anything
// that came from other people's text.
#include "platform/base/CodePage.h"
#include "platform/base/Path.h"
#include "platform/browser/BrowserWindow.h"
#include "platform/display/GtkPresenter.h"
#include "platform/display/WebKitEngine.h"
#include "platform/win/Window.h"
#include "reports/ExportWorker.h"
#include "reports/ReportProgress.h"
#include "tests/reports/ReportsTestSupport.h"
#include "tests/support/DisplayPump.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>

using namespace tavrin;
using namespace tavrin::reports;
using tavrin::test::PumpUntil;
namespace fs = std::filesystem;

namespace {

std::string Script(HWND host, const std::string& script) { return test::RunPageScript(host, script); }

std::string PercentDecode(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// What a page holds that only other people's text could have put there.
const char kActiveContent[] =
    "(function () { var bad = [];"
    " var all = document.getElementsByTagName('*');"
    " for (var i = 0; i < all.length; i++) {"
    "  for (var a = 0; a < all[i].attributes.length; a++) {"
    "   var n = all[i].attributes[a].name.toLowerCase(), v = all[i].attributes[a].value;"
    "   if (n.indexOf('on') == 0) bad.push(n);"
    "   if (/^\\s*javascript:/i.test(v)) bad.push(n + '=' + v);"
    "  }"
    " }"
    " if (typeof window.pwned != 'undefined') bad.push('ran');"
    " return bad.join(','); })()";

class ExportPagesDisplay : public tavrin::test::ReportsFixture {};

} // namespace

TEST_F(ExportPagesDisplay, TheIndexOpensExactlyTheWrittenPagesAndNothingRuns)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no display";
    display::GtkPresenter* presenter = display::StartGtkPresenter();
    ASSERT_TRUE(presenter);

    AddMessage("甲", "2005-03-01", "first");
    AddMessage("乙", "2005-04-01", "second");
    // A sanitised message: markup as text of a single-quoted attribute value,
    // after an in-page link that has no end of its own. Cutting from the link
    // to the backslash and quote inside the value would make the markup live.
    m_class.Messages()->render = [](const CMessageItem& item) -> CString {
        return "<html><head></head><body><!--留言模板开始--><p>\\\"tavrin:点击查看[" + item.m_title +
               "] more</p><p title='a\\\"b <img src=x onerror=window.pwned=1>'>" + item.m_title +
               "</p><!--留言模板结束--></body></html>";
    };
    const std::vector<std::string> hostile = {"</script><script>window.pwned=2</script>",
                                              "<img src=x onerror=window.pwned=3>", "a`|b", "..", "q\"uote\\"};
    for (size_t i = 0; i < hostile.size(); ++i) {
        AddPicture("p" + std::to_string(i), hostile[i]);
        AddContact(hostile[i]);
    }

    fs::create_directories(m_temp.Path() / "out");
    ExportJob job;
    job.indexPath = CString((m_temp.Path() / "out").string().c_str()) + "\\index.htm";
    job.plan.pages = {{"2005年03月", {"1"}}, {"2005年04月", {"2"}}};
    job.album = job.contacts = true;
    job.classLabel = "第一中学-三班<b>";
    job.appDir = CString(AppFolder().string().c_str());
    job.classFolder = CString(ClassFolder().string().c_str());
    for (size_t i = 0; i < hostile.size(); ++i) {
        CString n;
        n.Format("%d", static_cast<int>(i) + 3);
        job.photos.push_back({n, CString(("p" + std::to_string(i)).c_str()), CString(hostile[i].c_str())});
        n.Format("%d", static_cast<int>(i + hostile.size()) + 3);
        job.people.push_back({n, n, CString(hostile[i].c_str())});
    }
    NoProgress progress;
    ExportResult result = RunExport(job, m_class.GetMessageStore(), m_class.GetPictureStore(),
                                    m_class.GetContactStore(), progress);
    ASSERT_EQ(result.failures, 0);

    // Every page the export wrote.
    std::set<std::string> written;
    for (const char* folder : {"messages", "pictures", "contacts"})
        for (auto& e : fs::directory_iterator(m_temp.Path() / "out" / "tavrin_export" / folder))
            if (e.is_regular_file())
                written.insert(e.path().string());

    HWND frame = CreateWindowExA(0, browser::BrowserWindowClass(), "导出", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                 640, 480, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(frame);
    browser::Engine* engine = browser::GetBrowserEngine(frame);
    ASSERT_TRUE(engine);
    auto load = [&](const std::string& native) {
        std::string before = engine->GetLocationURL();
        EXPECT_TRUE(engine->Navigate(ProgramPath(native).Str()));
        return PumpUntil([&] {
            return !browser::IsWebKitLoading(frame) && Script(frame, "document.readyState") == "complete" &&
                   engine->GetLocationURL() != before;
        });
    };

    const std::string index = (m_temp.Path() / "out" / "index.htm").string();
    ASSERT_TRUE(load(index));
    EXPECT_EQ(Script(frame, kActiveContent), "");
    // Only the template's own script elements.
    std::string templ = test::TempDir::Read(AppFolder() / "styles" / "common" / "export.htm");
    int templateScripts = 0;
    for (size_t p = templ.find("<script"); p != std::string::npos; p = templ.find("<script", p + 1))
        ++templateScripts;
    EXPECT_EQ(Script(frame, "String(document.getElementsByTagName('script').length)"),
              std::to_string(templateScripts));
    EXPECT_EQ(Script(frame, "document.getElementsByTagName('h1')[0].textContent"),
              GbkToUtf8("第一中学-三班<b>"));
    // The links of the index: exactly the written files.
    std::string hrefs = Script(frame, "var a = document.getElementsByTagName('a'), out = [];"
                                      " for (var i = 0; i < a.length; i++) out.push(a[i].href); out.join('\\n')");
    std::set<std::string> linked;
    std::istringstream lines(hrefs);
    for (std::string line; std::getline(lines, line);) {
        ASSERT_EQ(line.rfind("file://", 0), 0u) << line;
        linked.insert(PercentDecode(line.substr(7)));
    }
    EXPECT_EQ(linked, written);
    std::string names = Script(frame, "var a = document.getElementById('contacts').getElementsByTagName('a'), out = [];"
                                      " for (var i = 0; i < a.length; i++) out.push(a[i].textContent);"
                                      " out.join('\\u0001')");
    std::string expected;
    for (size_t i = 0; i < hostile.size(); ++i)
        expected += (i ? "\x01" : "") + GbkToUtf8(i == 2 ? std::string("a|b") : hostile[i]);
    EXPECT_EQ(names, expected);

    // A link of the index opens its page.
    Script(frame, "document.getElementById('messages').getElementsByTagName('a')[1].click(); 1");
    ASSERT_TRUE(PumpUntil([&] {
        return !browser::IsWebKitLoading(frame) && Script(frame, "document.readyState") == "complete" &&
               Script(frame, "document.body ? document.body.textContent.indexOf('second') >= 0 : false") == "true";
    }));

    // Every page: nothing of other people's runs.
    for (const std::string& page : written) {
        ASSERT_TRUE(load(page)) << page;
        EXPECT_EQ(Script(frame, kActiveContent), "") << page;
        EXPECT_EQ(Script(frame, "String(document.getElementsByTagName('script').length)"), "0") << page;
    }
    DestroyWindow(frame);
}
