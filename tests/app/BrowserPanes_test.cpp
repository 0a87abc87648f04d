// The browser panes on the headless engine: the hosting view's answers and
// its failure, the dialog control's link hand-over, the display pane's page
// fallbacks and in-page links (only a URL that begins with a link's text
// starts its operation, with the posted bytes unchanged), and the
// other-information pane's log and class page with its width statement.
#include "app/CurrentSelection.h"
#include "app/DocHostHtmlView.h"
#include "app/HtmlCtrl.h"
#include "app/MiscView.h"
#include "app/MsgDispView.h"
#include "core/model/Account.h"
#include "core/model/MessageStore.h"
#include "core/model/PictureStore.h"
#include "core/model/SchoolClass.h"
#include "core/services/Config.h"
#include "imaging/GifDecoder.h"
#include "platform/base/Path.h"
#include "platform/browser/HeadlessEngine.h"
#include "platform/mfc/FrameWnd.h"
#include "platform/mfc/Static.h"
#include "platform/win/MessageBox.h"
#include "platform/win/User.h"
#include "res/resource.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

namespace {

using tavrin::browser::HeadlessEngine;
namespace fs = std::filesystem;

void DrainMessages()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageA(&msg);
}

bool EndsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::string Bytes(const CByteArray& a)
{
    return std::string(reinterpret_cast<const char*>(a.GetData()), static_cast<size_t>(a.GetSize()));
}

// The forms the doubles were handed, by operation, waited for without sleeping.
class Calls {
public:
    void Add(const std::string& what)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_calls.push_back(what);
        m_cv.notify_all();
    }
    bool WaitFor(size_t count)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_cv.wait_for(lock, std::chrono::seconds(10), [&] { return m_calls.size() >= count; });
    }
    std::vector<std::string> Take()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return std::move(m_calls);
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::vector<std::string> m_calls;
};

class CPaneMessageStore : public CMessageStore {
public:
    explicit CPaneMessageStore(Calls* calls) : m_calls(calls) {}
    ~CPaneMessageStore() override { Close(); }
    void Vote(CByteArray& form, int param) override { m_calls->Add("vote " + Bytes(form) + " " + std::to_string(param)); }

private:
    Calls* m_calls;
};

class CPanePictureStore : public CPictureStore {
public:
    explicit CPanePictureStore(Calls* calls) : m_calls(calls) {}
    ~CPanePictureStore() override { Close(); }
    void Upload(CByteArray& form, int param) override
    {
        m_calls->Add("upload " + Bytes(form) + " " + std::to_string(param));
    }

private:
    Calls* m_calls;
};

class CPaneClass : public CSchoolClass {
public:
    explicit CPaneClass(Calls* calls) : m_calls(calls) {}
    ~CPaneClass() override { Close(); }
    void CreateStores() override
    {
        m_messageStore = new CPaneMessageStore(m_calls);
        m_pictureStore = new CPanePictureStore(m_calls);
        m_messageStore->SetSchoolClass(this);
        m_pictureStore->SetSchoolClass(this);
    }

private:
    Calls* m_calls;
};

class CPaneAccount : public CAccount {
public:
    explicit CPaneAccount(Calls* calls) : m_calls(calls) {}
    ~CPaneAccount() override { Close(); }
    void UpdateProfile(CByteArray* form, int param) override
    {
        m_calls->Add("profile " + (form ? Bytes(*form) : std::string()) + " " + std::to_string(param));
    }

private:
    Calls* m_calls;
};

struct PanesTest : ::testing::Test {
    tavrin::test::TempDir program;
    tavrin::test::TempDir data;
    CFrameWnd* frame = nullptr;
    HWND frameWnd = nullptr;
    Calls calls;
    CPaneAccount account{&calls};
    CPaneClass* schoolClass = nullptr;
    CAccount* selectedAccount = nullptr;
    CSchoolClass* selectedClass = nullptr;
    // A control made on the frame: its site goes with the frame.
    CWnd laterControl;

    void SetUp() override
    {
        program.Write("styles/common/empty.htm", "<html><body></body></html>");
        // As the application does at start.
        AfxEnableControlContainer();
        tavrin::SetProgramFolder(tavrin::ProgramPath(program.Path().string()));
        tavrin::ReloadConfig();
        frame = new CFrameWnd;
        ASSERT_TRUE(frame->Create(nullptr, "panes", WS_OVERLAPPEDWINDOW, CRect(0, 0, 600, 400)));
        frameWnd = frame->m_hWnd;
        tavrin::win::ClearMessageBoxAnswers();
        tavrin::win::TakeMessageBoxLog();
        account.SetDataFolder(tavrin::ProgramPath(data.Path().string()));
        schoolClass = new CPaneClass(&calls);
        schoolClass->SetId("c1");
        schoolClass->SetAccount(&account);
        schoolClass->CreateStores();
        account.AddClass(schoolClass);
        tavrin::app::SetSelectionSource({[this] { return selectedAccount; }, [this] { return selectedClass; }});
    }
    void TearDown() override
    {
        tavrin::app::SetSelectionSource({});
        if (::IsWindow(frameWnd))
            ::DestroyWindow(frameWnd);
        DrainMessages();
        tavrin::win::ClearMessageBoxAnswers();
        tavrin::SetProgramFolder("");
        tavrin::ReloadConfig();
    }
    std::string Page(const std::string& name, const std::string& html) const
    {
        return tavrin::ProgramPath(data.Write(name, html).string()).Str();
    }
    template <class View> View* MakeView(const CRect& rect = CRect(0, 0, 300, 200))
    {
        auto* view = new View;
        if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, rect, frame, AFX_IDW_PANE_FIRST))
            return nullptr;
        return view;
    }
};

// Hosting

TEST_F(PanesTest, TheHostingViewGivesItsAnswersAndInstallsItsManager)
{
    auto* view = MakeView<CDocHostHtmlView>();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(AfxGetOccManager(), view->m_pOccManager);
    HeadlessEngine* engine = HeadlessEngine::FromHost(view->m_wndBrowser.m_hWnd);
    ASSERT_NE(engine, nullptr);
    const tavrin::browser::HostUi& ui = engine->GetHostUi();
    EXPECT_FALSE(ui.border3d);
    EXPECT_FALSE(ui.externalObject);
    // The engine keeps its own context menu and message boxes.
    ASSERT_TRUE(ui.contextMenu);
    EXPECT_FALSE(ui.contextMenu(POINT{5, 5}));
    ASSERT_TRUE(ui.showMessage);
    EXPECT_FALSE(ui.showMessage("alert"));

    DOCHOSTUIINFO info{};
    info.dwDoubleClick = 7;
    EXPECT_EQ(view->OnGetHostInfo(&info), S_OK);
    EXPECT_EQ(info.dwFlags, 0x40004u);
    EXPECT_EQ(info.dwDoubleClick, 0u);
    IDispatch* external = reinterpret_cast<IDispatch*>(&info);
    EXPECT_EQ(view->OnGetExternal(&external), E_NOTIMPL);
    EXPECT_EQ(external, nullptr);
    MSG key{};
    EXPECT_EQ(view->OnTranslateAccelerator(&key, nullptr, 0), S_FALSE);

    // Through the second handler only the override key path reaches the view.
    COleControlSite* site = COleControlSite::FromControlWindow(view->m_wndBrowser.m_hWnd);
    ASSERT_NE(site, nullptr);
    auto* handler2 = static_cast<IDocHostUIHandler2*>(site->GetInterface(&IID_IDocHostUIHandler2));
    ASSERT_NE(handler2, nullptr);
    EXPECT_EQ(handler2->GetHostInfo(&info), S_FALSE);
    EXPECT_EQ(handler2->ShowContextMenu(0, nullptr, nullptr, nullptr), S_FALSE);
    EXPECT_EQ(handler2->GetOverrideKeyPath(nullptr, 0), E_NOTIMPL);
    auto* showUi = static_cast<IDocHostShowUI*>(site->GetInterface(&IID_IDocHostShowUI));
    ASSERT_NE(showUi, nullptr);
    char text[] = "x";
    EXPECT_EQ(showUi->ShowMessage(nullptr, text, text, 0, nullptr, 0, nullptr), E_NOTIMPL);

    // A view that goes takes its manager out of service.
    view->DestroyWindow();
    EXPECT_NE(AfxGetOccManager(), nullptr);
    CWnd& later = laterControl;
    ASSERT_TRUE(later.CreateControl(CLSID_WebBrowser, nullptr, WS_CHILD, CRect(0, 0, 10, 10), frame, 77));
    EXPECT_TRUE(HeadlessEngine::FromHost(later.m_hWnd)->GetHostUi().border3d);
}

TEST_F(PanesTest, ABrowserThatCannotBeMadeFailsTheViewsCreation)
{
    tavrin::browser::SetEngineFactory([](HWND) { return std::unique_ptr<tavrin::browser::Engine>(); });
    auto* view = new CMsgDispView;
    const BOOL made = view->Create(nullptr, nullptr, WS_CHILD, CRect(0, 0, 100, 100), frame, AFX_IDW_PANE_FIRST);
    tavrin::browser::SetEngineFactory({});
    EXPECT_FALSE(made);
    EXPECT_EQ(frame->GetDlgItem(AFX_IDW_PANE_FIRST), nullptr);
}

// A dialog-like parent that answers WM_LINK_CLICKED.
class CLinkParent : public CWnd {
public:
    std::vector<std::string> links;
    bool cancel = false;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_LINK_CLICKED) {
            links.push_back(reinterpret_cast<LPCTSTR>(wParam));
            if (cancel)
                *reinterpret_cast<BOOL*>(lParam) = TRUE;
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

TEST_F(PanesTest, TheHtmlControlTakesTheStaticsPlaceAndHandsEveryNavigationToItsParent)
{
    CLinkParent parent;
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "parent", WS_CHILD | WS_VISIBLE, 0, 0, 400, 300,
                                frameWnd, nullptr));
    CStatic placeholder;
    ASSERT_TRUE(placeholder.Create("", WS_CHILD | WS_VISIBLE, CRect(10, 20, 210, 170), &parent, 1200));
    CHtmlCtrl ctrl;
    EXPECT_FALSE(ctrl.CreateFromStatic(1201, &parent));
    ASSERT_TRUE(ctrl.CreateFromStatic(1200, &parent));
    EXPECT_FALSE(::IsWindow(placeholder.m_hWnd));
    EXPECT_EQ(ctrl.GetDlgCtrlID(), 1200);
    CRect rect;
    ctrl.GetWindowRect(&rect);
    parent.ScreenToClient(&rect);
    EXPECT_EQ(rect, CRect(10, 20, 210, 170));

    const std::string page = Page("page.htm", "<html><body><a href=\"other.htm\">other</a></body></html>");
    Page("other.htm", "<html>other</html>");
    ctrl.Navigate2(page.c_str());
    HeadlessEngine* engine = HeadlessEngine::FromHost(ctrl.m_wndBrowser.m_hWnd);
    ASSERT_NE(engine, nullptr);
    const std::string at = static_cast<LPCTSTR>(ctrl.GetLocationURL());
    EXPECT_TRUE(EndsWith(at, "/page.htm")) << at;
    parent.cancel = true;
    ASSERT_TRUE(engine->FollowLink("other"));
    EXPECT_EQ(std::string(ctrl.GetLocationURL()), at);
    parent.cancel = false;
    ASSERT_TRUE(engine->FollowLink("other"));
    EXPECT_TRUE(EndsWith(std::string(ctrl.GetLocationURL()), "/other.htm"));
    ASSERT_EQ(parent.links.size(), 3u);
    EXPECT_TRUE(EndsWith(parent.links[1], "/other.htm"));
    ctrl.DestroyWindow();
    parent.DestroyWindow();
}

// The display pane

TEST_F(PanesTest, ShowPageFallsBackToTheEmptyPageAndKeepsThePageWithoutIt)
{
    auto* view = MakeView<CMsgDispView>();
    ASSERT_NE(view, nullptr);
    const std::string page = Page("message.htm", "<html>m</html>");
    struct Case {
        const char* what;
        std::string path;
        const char* shows;
    } cases[] = {
        {"an existing page", page, "/message.htm"},
        {"a missing page", page + ".gone", "/styles/common/empty.htm"},
        {"the page again", page, "/message.htm"},
        {"an empty path", "", "/styles/common/empty.htm"},
    };
    for (const Case& c : cases) {
        view->ShowPage(c.path.c_str());
        const std::string at = static_cast<LPCTSTR>(view->GetLocationURL());
        EXPECT_TRUE(EndsWith(at, c.shows)) << c.what << ": " << at;
    }
    view->ShowPage(page.c_str());
    fs::remove(program.Path() / "styles/common/empty.htm");
    view->ShowPage("");
    EXPECT_TRUE(EndsWith(std::string(view->GetLocationURL()), "/message.htm"));
}

TEST_F(PanesTest, ThumbnailsAreShownOnlyByAPageNamedExactlySo)
{
    auto* view = MakeView<CMsgDispView>();
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(view->IsShowingThumbnails());
    view->ShowPage(Page("thumbnail.html", "<html>t</html>").c_str());
    EXPECT_TRUE(view->IsShowingThumbnails());
    view->ShowPage(Page("Thumbnail.html", "<html>T</html>").c_str());
    EXPECT_FALSE(view->IsShowingThumbnails());
    view->ShowPage(Page("thumbnail.htm", "<html>t</html>").c_str());
    EXPECT_FALSE(view->IsShowingThumbnails());
}

TEST(MsgDispLinks, OnlyAUrlThatBeginsWithALinksTextIsThatLink)
{
    struct Case {
        const char* url;
        CMsgDispView::Link link;
        const char* name;
    } cases[] = {
        {"tavrin:修改个人档案", CMsgDispView::LinkUpdateProfile, ""},
        {"tavrin:点击查看[张三]的通讯录", CMsgDispView::LinkShowContact, "张三"},
        {"tavrin:点击查看[a]的通讯录]的通讯录", CMsgDispView::LinkShowContact, "a"},
        {"tavrin:点击查看编号[1234]的照片", CMsgDispView::LinkShowPhoto, "1234"},
        {"tavrin:上传照片", CMsgDispView::LinkUploadPhotos, ""},
        {"tavrin:投票", CMsgDispView::LinkVote, ""},
        {"tavrin:上一页", CMsgDispView::LinkPreviousPage, ""},
        {"tavrin:下一页", CMsgDispView::LinkNextPage, ""},
        {"tavrin:缩略图", CMsgDispView::LinkThumbnails, ""},
        // Two texts: only the one it begins with.
        {"tavrin:投票?next=tavrin:上传照片", CMsgDispView::LinkVote, ""},
        {"tavrin:上一页tavrin:下一页", CMsgDispView::LinkPreviousPage, ""},
        // Texts elsewhere in an ordinary address start nothing.
        {"http://example.com/a?x=tavrin:投票&y=tavrin:上传照片", CMsgDispView::LinkNone, ""},
        {"file:///data/p.htm?tavrin:修改个人档案", CMsgDispView::LinkNone, ""},
        {" tavrin:投票", CMsgDispView::LinkNone, ""},
        {"TAVRIN:投票", CMsgDispView::LinkNone, ""},
        {"tavrin:点击查看[张三]", CMsgDispView::LinkNone, ""},
        {"", CMsgDispView::LinkNone, ""},
    };
    for (const Case& c : cases) {
        CString name;
        EXPECT_EQ(CMsgDispView::MatchLink(c.url, &name), c.link) << c.url;
        EXPECT_STREQ(name, c.name) << c.url;
    }
}

const char* const kLinkPage =
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\"></head><body>"
    "<a href=\"tavrin:%E6%8A%95%E7%A5%A8\">encoded</a>"
    "<a href=\"other.htm?go=tavrin:%E6%8A%95%E7%A5%A8&b=tavrin:修改个人档案\">ordinary</a>"
    "<form action=\"tavrin:修改个人档案\" method=\"post\"><input type=hidden name=real value=\"张三\">"
    "<input type=submit name=ok value=\"保存\"></form>"
    "<form action=\"tavrin:上传照片\" method=\"post\"><input type=hidden name=t value=\"a b\">"
    "<input type=submit value=\"上传\"></form>"
    "<form action=\"tavrin:投票\" method=\"post\"><input type=hidden name=v value=\"3\">"
    "<input type=submit value=\"投票\"></form>"
    "</body></html>";

TEST_F(PanesTest, LinksAndFormsStartTheirOperationsWithThePostedBytes)
{
    auto* view = MakeView<CMsgDispView>();
    ASSERT_NE(view, nullptr);
    Page("other.htm", "<html>other</html>");
    const std::string page = Page("page.htm", kLinkPage);
    view->ShowPage(page.c_str());
    HeadlessEngine* engine = HeadlessEngine::FromHost(view->m_wndBrowser.m_hWnd);
    ASSERT_NE(engine, nullptr);
    const std::string at = static_cast<LPCTSTR>(view->GetLocationURL());

    // Nothing is selected: the links are caught and start nothing.
    ASSERT_TRUE(engine->FollowLink("encoded"));
    ASSERT_TRUE(engine->SubmitForm(0));
    ASSERT_TRUE(engine->SubmitForm(1));
    ASSERT_TRUE(engine->SubmitForm(2));
    EXPECT_EQ(std::string(view->GetLocationURL()), at);
    EXPECT_TRUE(tavrin::win::TakeMessageBoxLog().empty());

    selectedAccount = &account;
    ASSERT_TRUE(engine->SubmitForm(0));
    ASSERT_TRUE(calls.WaitFor(1));
    selectedAccount = nullptr;
    selectedClass = schoolClass;
    ASSERT_TRUE(engine->SubmitForm(1));
    ASSERT_TRUE(engine->SubmitForm(1));
    ASSERT_TRUE(calls.WaitFor(3));
    ASSERT_TRUE(engine->SubmitForm(2));
    ASSERT_TRUE(calls.WaitFor(4));
    // The percent-encoded UTF-8 link reaches the pane as GBK: a vote without a form.
    ASSERT_TRUE(engine->FollowLink("encoded"));
    ASSERT_TRUE(calls.WaitFor(5));
    std::vector<std::string> seen = calls.Take();
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[0], "profile real=%D5%C5%C8%FD&ok=%B1%A3%B4%E6 0");
    EXPECT_EQ(seen[1], "upload t=a+b 0");
    EXPECT_EQ(seen[2], "upload t=a+b 0");
    EXPECT_EQ(seen[3], "vote v=3 0");
    EXPECT_EQ(seen[4], "vote  0");
    EXPECT_EQ(std::string(view->GetLocationURL()), at);

    // One box per upload, owned by the pane.
    auto boxes = tavrin::win::TakeMessageBoxLog();
    ASSERT_EQ(boxes.size(), 2u);
    for (const auto& box : boxes) {
        EXPECT_EQ(box.text, "上传任务已添加，你可以继续添加任务。");
        EXPECT_EQ(box.caption, "上传照片");
        EXPECT_EQ(box.type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
        EXPECT_EQ(box.owner, view->m_hWnd);
    }

    // An ordinary link that holds link texts in its query is followed and starts nothing.
    ASSERT_TRUE(engine->FollowLink("ordinary"));
    const std::string now = static_cast<LPCTSTR>(view->GetLocationURL());
    EXPECT_NE(now.find("/other.htm"), std::string::npos) << now;
    ASSERT_EQ(engine->GetHistory().size(), 2u);
}

// The other-information pane

struct MiscTest : PanesTest {
    CMiscView* view = nullptr;
    void SetUp() override
    {
        PanesTest::SetUp();
        view = MakeView<CMiscView>(CRect(0, 0, 240, 300));
        ASSERT_NE(view, nullptr);
        view->OnInitialUpdate();
    }
};

TEST_F(MiscTest, TheLogShowsTheSelectedAccountsOrClasssLinesNewestFirst)
{
    for (int i = 0; i < 300; ++i)
        account.Log(CString(("account line " + std::to_string(i) + ".").c_str()));
    schoolClass->Log("class line.");
    view->RefreshLog();
    EXPECT_EQ(view->m_wndLog.GetItemCount(), 0);

    selectedAccount = &account;
    view->RefreshLog();
    ASSERT_EQ(view->m_wndLog.GetItemCount(), 256);
    EXPECT_TRUE(EndsWith(std::string(view->m_wndLog.GetItemText(0, 1)), "account line 299.")) << view->m_wndLog.GetItemText(0, 1);
    EXPECT_TRUE(EndsWith(std::string(view->m_wndLog.GetItemText(255, 1)), "account line 44."));

    selectedAccount = nullptr;
    selectedClass = schoolClass;
    view->RefreshLog();
    ASSERT_EQ(view->m_wndLog.GetItemCount(), 1);
    EXPECT_TRUE(EndsWith(std::string(view->m_wndLog.GetItemText(0, 1)), "class line."));
}

TEST_F(MiscTest, TheMenuCommandsAndTheCaptionSwitchAndStoreTheView)
{
    EXPECT_EQ(GetConfig(CFG_MISC_CUR_VISIBLE), "0");
    EXPECT_FALSE((view->m_wndLog.GetStyle() & WS_VISIBLE));
    EXPECT_STREQ(view->m_wndCaption.GetCaptionText(), "班级信息");
    view->SendMessage(WM_COMMAND, ID_MISC_SHOW_LOG);
    EXPECT_EQ(GetConfig(CFG_MISC_CUR_VISIBLE), "1");
    EXPECT_TRUE((view->m_wndLog.GetStyle() & WS_VISIBLE));
    EXPECT_STREQ(view->m_wndCaption.GetCaptionText(), "状态记录");
    // Copying works only on the class page.
    HeadlessEngine* engine = HeadlessEngine::FromHost(view->m_wndBrowser.m_hWnd);
    ASSERT_NE(engine, nullptr);
    view->SendMessage(WM_COMMAND, ID_COPY);
    EXPECT_TRUE(engine->GetCommands().empty());
    view->SendMessage(WM_COMMAND, ID_MISC_SHOW_CLASS_INFO);
    EXPECT_EQ(GetConfig(CFG_MISC_CUR_VISIBLE), "0");
    EXPECT_FALSE((view->m_wndLog.GetStyle() & WS_VISIBLE));
    EXPECT_STREQ(view->m_wndCaption.GetCaptionText(), "班级信息");
    view->SendMessage(WM_COMMAND, ID_COPY);
    view->SendMessage(WM_COMMAND, ID_SELECT_ALL);
    EXPECT_EQ(engine->GetCommands(),
              (std::vector<tavrin::browser::Command>{tavrin::browser::Command::Copy,
                                                     tavrin::browser::Command::SelectAll}));
    // A double click anywhere in the pane toggles.
    MSG dbl{view->m_wndBrowser.m_hWnd, WM_LBUTTONDBLCLK, 0, 0, 0, {}};
    EXPECT_TRUE(view->PreTranslateMessage(&dbl));
    EXPECT_EQ(GetConfig(CFG_MISC_CUR_VISIBLE), "1");
    EXPECT_TRUE(view->PreTranslateMessage(&dbl));
    EXPECT_EQ(GetConfig(CFG_MISC_CUR_VISIBLE), "0");
}

const char* const kMisc = "<html><head><script>var width = 300;\nvar other = 1;\n"
                          "function swap_size(o) { o.width = width; }</script></head>"
                          "<body><script>var width = 300;</script></body></html>";

TEST_F(MiscTest, TheClassPageGetsThePaneWidthLessFifteenAtEveryOccurrence)
{
    const fs::path misc = data.Write("c1/misc.htm", kMisc);
    view->ShowClassPage();
    HeadlessEngine* engine = HeadlessEngine::FromHost(view->m_wndBrowser.m_hWnd);
    ASSERT_NE(engine, nullptr);
    EXPECT_TRUE(EndsWith(engine->GetLocationURL(), "/styles/common/empty.htm")) << "no class";

    selectedClass = schoolClass;
    view->ShowClassPage();
    CRect client;
    view->GetClientRect(&client);
    const std::string statement = "var width = " + std::to_string(client.Width() - 15) + ";";
    std::string expected = kMisc;
    for (size_t at = expected.find("var width = 300;"); at != std::string::npos;
         at = expected.find("var width = 300;"))
        expected.replace(at, 16, statement);
    EXPECT_EQ(tavrin::test::TempDir::Read(misc), expected);
    EXPECT_TRUE(EndsWith(engine->GetLocationURL(), "/c1/misc.htm"));

    // Again after a resize: the new width.
    view->MoveWindow(0, 0, 200, 300);
    view->ShowClassPage();
    view->GetClientRect(&client);
    EXPECT_NE(tavrin::test::TempDir::Read(misc).find("var width = " + std::to_string(client.Width() - 15) + ";"),
              std::string::npos);

    // A page without the statement is left as it is.
    const std::string plain = "<html><script>function swap_size(o) {}</script></html>";
    data.Write("c1/misc.htm", plain);
    view->ShowClassPage();
    EXPECT_EQ(tavrin::test::TempDir::Read(misc), plain);
}

TEST(MiscWidth, OnlyTheTemplatesOwnDigitStatementIsRewritten)
{
    struct Case {
        const char* what;
        std::string page;
        bool rewritten;
        std::string expected;
    } cases[] = {
        {"the template's statement, twice",
         "<script>var width = 300; function swap_size(o){}</script><p>var width = 300;</p>", true,
         "<script>var width = 85; function swap_size(o){}</script><p>var width = 85;</p>"},
        {"a remote string value before it is never taken",
         "<script>var t = \"var width = \\\";alert(1);//\";\nvar width = 300; function swap_size(o){}</script>", true,
         "<script>var t = \"var width = \\\";alert(1);//\";\nvar width = 85; function swap_size(o){}</script>"},
        {"a statement that is not digits", "<script>var width = w + 1; function swap_size(o){}</script>", false, ""},
        {"no swap_size after it", "<script>var width = 300;</script>", false, ""},
        {"a statement after swap_size", "<script>function swap_size(o){} var width = 300;</script>", false, ""},
        {"no script", "var width = 300; function swap_size(o)", false, ""},
        {"tags in capitals", "<SCRIPT>var width = 300; FUNCTION SWAP_SIZE(o){}</SCRIPT>", true,
         "<SCRIPT>var width = 85; FUNCTION SWAP_SIZE(o){}</SCRIPT>"},
        {"an empty number", "<script>var width = ; function swap_size(o){}</script>", false, ""},
    };
    for (const Case& c : cases) {
        std::string page = c.page;
        EXPECT_EQ(CMiscView::RewriteWidth(page, 85), c.rewritten) << c.what;
        EXPECT_EQ(page, c.rewritten ? c.expected : c.page) << c.what;
    }
}

// The style folder files

TEST(StyleFiles, TheEmptyPageIsGbkAndTheMissingPictureIsASmallGif)
{
    const fs::path common = fs::path(TAVRIN_SOURCE_DIR) / "styles/common";
    const std::string empty = tavrin::test::TempDir::Read(common / "empty.htm");
    EXPECT_NE(empty.find("charset=gbk"), std::string::npos);
    EXPECT_NE(empty.find("<title>\xBF\xD5\xB0\xD7\xD2\xB3</title>"), std::string::npos); // 空白页 in GBK
    CGifDecoder gif;
    ASSERT_EQ(gif.Load(tavrin::ProgramPath((common / "images/auth_missing.gif").string()).Str().c_str()), 1);
    EXPECT_EQ(gif.GetWidth(), 48);
    EXPECT_EQ(gif.GetHeight(), 36);
}

} // namespace
