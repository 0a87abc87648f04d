// The compose pane headless, over a test account that answers the provider
// flags of either kind: the controls per tab and busy state, the texts kept
// per store, smileys, the preview file, the sends of the four tabs with
// their warnings, the verification gate, the edit commands, and the frame
// asking again for a rejected code and resubmitting.
#include "app/ComposeView.h"
#include "app/MainFrm.h"
#include "core/model/Account.h"
#include "core/model/ContactStore.h"
#include "core/model/MessageStore.h"
#include "core/model/ModelEvents.h"
#include "core/model/PictureStore.h"
#include "core/model/PrivateStore.h"
#include "core/model/SchoolClass.h"
#include "core/services/Config.h"
#include "platform/base/Clock.h"
#include "platform/base/Path.h"
#include "platform/controls/CommCtrl.h"
#include "platform/mfc/CmdTarget.h"
#include "platform/mfc/FrameWnd.h"
#include "platform/mfc/Resource.h"
#include "platform/win/MessageBox.h"
#include "res/resource.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/ComposeTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace tavrin;
using test::DialogDriver;

namespace {

// What the stores' workers were asked to do; with hold set, a worker waits
// in its operation (its busy flag stays set) until Release.
class Calls {
public:
    void Add(const std::string& what)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_calls.push_back(what);
        m_cv.notify_all();
        m_cv.wait(lock, [&] { return !m_hold; });
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
    void Hold()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_hold = true;
    }
    void Release()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_hold = false;
        m_cv.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::vector<std::string> m_calls;
    bool m_hold = false;
};

std::string S(const CString& text) { return text.GetString(); }

class CTestMessages : public CMessageStore {
public:
    explicit CTestMessages(Calls* calls) : m_calls(calls) {}
    ~CTestMessages() override { Close(); }
    void Send(CString subject, CString text, int param) override
    {
        m_calls->Add("send " + S(subject) + "|" + S(text) + "|" + std::to_string(param));
    }
    void Reply(CString subject, CString text, CString targetId, int param) override
    {
        m_calls->Add("reply " + S(subject) + "|" + S(text) + "|" + S(targetId) + "|" + std::to_string(param));
    }
    CString RenderPreview(CString subject, CString text, int mode) override
    {
        return CString(("<p>" + S(subject) + "|" + S(text) + "|" + std::to_string(mode) + "</p>").c_str());
    }

private:
    Calls* m_calls;
};

class CTestPictures : public CPictureStore {
public:
    explicit CTestPictures(Calls* calls) : m_calls(calls) {}
    ~CTestPictures() override { Close(); }
    void SendComment(CString first, CString text, CString pictureId, int param) override
    {
        m_calls->Add("comment " + S(first) + "|" + S(text) + "|" + S(pictureId) + "|" + std::to_string(param));
    }

private:
    Calls* m_calls;
};

class CTestNotes : public CPrivateStore {
public:
    explicit CTestNotes(Calls* calls) : m_calls(calls) {}
    ~CTestNotes() override { Close(); }
    void Send(CString subject, CString content, CString realName, CString userName, CString receiverId,
              int param) override
    {
        m_calls->Add("note " + S(subject) + "|" + S(content) + "|" + S(realName) + "|" + S(userName) + "|" +
                     S(receiverId) + "|" + std::to_string(param));
    }
    void Reply(CString subject, CString content, CString realName, CString userName, CString userId,
               int noteNumber) override
    {
        m_calls->Add("note-reply " + S(subject) + "|" + S(content) + "|" + S(realName) + "|" + S(userName) + "|" +
                     S(userId) + "|" + std::to_string(noteNumber));
    }

private:
    Calls* m_calls;
};

class CTestClass : public CSchoolClass {
public:
    explicit CTestClass(Calls* calls) : m_calls(calls) {}
    ~CTestClass() override { Close(); }
    void CreateStores() override
    {
        m_messageStore = new CTestMessages(m_calls);
        m_pictureStore = new CTestPictures(m_calls);
        m_contactStore = new CContactStore;
        m_privateStore = new CTestNotes(m_calls);
        CClassStore* stores[] = {m_messageStore, m_pictureStore, m_contactStore, m_privateStore};
        for (CClassStore* store : stores)
            store->SetSchoolClass(this);
    }

private:
    Calls* m_calls;
};

// Answers the flags of the two kinds of provider: the one with subjects and
// no codes, and the one with smileys and verification codes.
class CTestAccount : public CAccount {
public:
    explicit CTestAccount(bool codes) : m_codes(codes) {}
    ~CTestAccount() override { Close(); }
    BOOL HasMessageSubject() override { return !m_codes; }
    BOOL SupportsSmileys() override { return m_codes; }
    BOOL HasPrivateSubject() override { return !m_codes; }
    BOOL NeedsVerifyCode(int kind) override { return m_codes && (kind == 0 || kind == 1); }
    CString GetPrivateFeatureName() override { return m_codes ? "小纸条" : "悄悄话"; }

private:
    bool m_codes;
};

// The pane with the window around it answered by the test.
class CTestComposeView : public CComposeView {
public:
    CSchoolClass* currentClass = nullptr;
    int tab = 0;
    std::vector<std::string> pages;
    std::vector<int> rows;
    int hides = 0;

protected:
    CSchoolClass* GetCurrentClass() override { return currentClass; }
    int GetCurrentTab() override { return tab; }
    void ShowPage(const CString& path) override { pages.push_back(S(path)); }
    void ShowMessageRow(int nIndex) override { rows.push_back(nIndex); }
    void HidePane() override { ++hides; }
};

template <typename Item>
Item* AddItem(CClassStore* store, const char* custoId, const char* id)
{
    auto* item = new Item;
    item->m_custoId = custoId;
    item->m_id = id;
    store->AddItem(item);
    return item;
}

// Until the class's sends have ended (their busy flags cleared).
bool WaitIdle(CSchoolClass* schoolClass)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (schoolClass->GetMessageStore()->IsSending() || schoolClass->GetMessageStore()->IsReplying() ||
           schoolClass->GetPictureStore()->IsCommenting() || schoolClass->GetPrivateStore()->IsSending() ||
           schoolClass->GetPrivateStore()->IsReplying()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::yield();
    }
    return true;
}

CClassStore* StoreOf(CSchoolClass* schoolClass, int tab)
{
    CClassStore* stores[] = {schoolClass->GetMessageStore(), schoolClass->GetPictureStore(),
                             schoolClass->GetContactStore(), schoolClass->GetPrivateStore()};
    return stores[tab];
}

void Pump()
{
    MSG msg;
    while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessage(&msg);
    }
}

struct ComposeViewTest : ::testing::Test {
    test::TempDir program;
    test::TempDir data;
    Calls calls;
    CTestAccount account5460{false};
    CTestAccount accountCodes{true};
    CTestClass* plain = nullptr;
    CTestClass* coded = nullptr;
    CFrameWnd* frame = nullptr;
    HWND frameWnd = nullptr;
    CTestComposeView* view = nullptr;

    void SetUp() override
    {
        ::InitCommonControls();
        ::LoadLibraryA("RICHED32.DLL");
        AfxSetResourceHandle(::GetModuleHandle(nullptr));
        SetProgramFolder(ProgramPath(program.Path().string()));
        ReloadConfig();
        SetConfigInt(CFG_COMPOSE_PREVIEW, 0);
        win::ClearMessageBoxAnswers();
        win::TakeMessageBoxLog();
        plain = MakeClass(account5460, "plain", "c1");
        coded = MakeClass(accountCodes, "coded", "c2");
        frame = new CFrameWnd;
        ASSERT_TRUE(frame->Create(nullptr, "compose", WS_OVERLAPPEDWINDOW, CRect(0, 0, 800, 300)));
        frameWnd = frame->m_hWnd;
        view = new CTestComposeView;
        ASSERT_TRUE(view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 700, 150), frame,
                                 AFX_IDW_PANE_FIRST));
        view->OnInitialUpdate();
        // Placed as the splitter places its panes.
        view->MoveWindow(0, 0, 760, 170);
        frame->ShowWindow(SW_SHOW);
        Pump();
    }
    void TearDown() override
    {
        calls.Release();
        if (::IsWindow(frameWnd))
            ::DestroyWindow(frameWnd);
        Pump();
        win::ClearMessageBoxAnswers();
        AfxSetResourceHandle(nullptr);
        SetProgramFolder("");
        ReloadConfig();
    }
    CTestClass* MakeClass(CAccount& account, const char* folder, const char* id)
    {
        account.SetDataFolder(ProgramPath((data.Path() / folder).string()));
        auto* schoolClass = new CTestClass(&calls);
        schoolClass->SetId(id);
        schoolClass->SetAccount(&account);
        schoolClass->CreateStores();
        const CString classFolder = account.GetDataFolder() + "\\" + id;
        CClassStore* stores[] = {schoolClass->GetMessageStore(), schoolClass->GetPictureStore(),
                                 schoolClass->GetContactStore(), schoolClass->GetPrivateStore()};
        for (CClassStore* store : stores)
            store->SetClassFolder(classFolder);
        account.AddClass(schoolClass);
        return schoolClass;
    }
    std::filesystem::path ClassPath(CTestClass* schoolClass) const
    {
        return data.Path() / (schoolClass == plain ? "plain" : "coded") / S(schoolClass->GetId());
    }
    void Select(CTestClass* schoolClass, int tab)
    {
        view->currentClass = schoolClass;
        view->tab = tab;
        view->SetMode();
        Pump();
    }
    std::string Text(int id) const { return test::DialogDriver::Text(view->m_hWnd, id); }
    bool Enabled(int id) const { return ::IsWindowEnabled(::GetDlgItem(view->m_hWnd, id)) != FALSE; }
    std::string ModeEntries() const
    {
        std::string out;
        const int count = view->m_wndMode.GetCount();
        for (int i = 0; i < count; ++i) {
            CString entry;
            view->m_wndMode.GetLBText(i, entry);
            out += (i == view->m_wndMode.GetCurSel() ? "*" : "") + S(entry) + (i + 1 < count ? "," : "");
        }
        return out;
    }
    // "subject mode smiley body send preview" as 1 and 0.
    std::string Enables() const
    {
        std::string out;
        for (int id : {IDC_COMPOSE_SUBJECT, IDC_COMPOSE_MODE, IDC_SMILEY, IDC_COMPOSE_BODY, IDC_SEND, IDC_AUTO_PREVIEW})
            out += Enabled(id) ? '1' : '0';
        return out;
    }
    void TypeSubject(const char* text)
    {
        view->m_wndSubject.SetWindowText(text);
        Pump();
    }
    void TypeBody(const char* text)
    {
        view->m_wndBody.SetWindowText(text);
        Pump();
    }
    int BodyPictures() const
    {
        IRichEditOle* ole = view->m_wndBody.GetIRichEditOle();
        const int count = ole ? static_cast<int>(ole->GetObjectCount()) : -1;
        if (ole)
            ole->Release();
        return count;
    }
    std::vector<std::string> Boxes()
    {
        std::vector<std::string> out;
        for (const auto& record : win::TakeMessageBoxLog())
            out.push_back(record.caption + ": " + record.text + " " + std::to_string(record.type));
        return out;
    }
    void Send()
    {
        view->OnSend();
        Pump();
    }
};

constexpr UINT kWarn = MB_OK | MB_ICONWARNING;
constexpr UINT kError = MB_OK | MB_ICONERROR;

// ---- The controls per tab ----

TEST_F(ComposeViewTest, WithoutAClassEveryControlIsOffAndTheCountIsZero)
{
    Select(plain, 0);
    TypeSubject("主题");
    TypeBody("正文");
    EXPECT_EQ(Text(IDC_COMPOSE_COUNT), "字数: 2");
    Select(nullptr, 0);
    EXPECT_EQ(Enables(), "000000");
    EXPECT_EQ(Text(IDC_COMPOSE_COUNT), "字数: 0");
    // The texts stay where they are, and a send that still arrives does nothing.
    EXPECT_EQ(Text(IDC_COMPOSE_SUBJECT), "主题");
    view->OnSend();
    Pump();
    EXPECT_TRUE(calls.Take().empty());
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(ComposeViewTest, EachTabShowsItsStoresTextsEntriesAndEnabledControls)
{
    struct Case {
        bool codes;
        int tab;
        int messageMode;
        const char* enables;  // subject mode smiley body send preview
        const char* entries;
        const char* subject;
        const char* body;
    };
    const Case cases[] = {
        {false, 0, 0, "110111", "*新留言,回复当前留言", "留言主题", "留言正文"},
        {false, 0, 1, "010111", "新留言,*回复当前留言", "留言主题", "留言正文"},
        {true, 0, 0, "011111", "*新留言,回复当前留言", "留言主题", "留言正文"},
        {false, 1, 0, "010110", "*新照片评论", "", "评论正文"},
        {true, 1, 0, "010110", "*新照片评论", "", "评论正文"},
        {false, 2, 0, "110110", "*新悄悄话", "成员主题", "成员正文"},
        {true, 2, 0, "010110", "*新小纸条", "成员主题", "成员正文"},
        {false, 3, 0, "110110", "*回复当前悄悄话", "纸条主题", "纸条正文"},
        {true, 3, 0, "010110", "*回复当前小纸条", "纸条主题", "纸条正文"},
    };
    for (CTestClass* schoolClass : {plain, coded}) {
        schoolClass->GetMessageStore()->SetComposeSubject("留言主题");
        schoolClass->GetMessageStore()->SetComposeContent("留言正文");
        schoolClass->GetPictureStore()->SetComposeSubject("不显示");
        schoolClass->GetPictureStore()->SetComposeContent("评论正文");
        schoolClass->GetContactStore()->SetComposeSubject("成员主题");
        schoolClass->GetContactStore()->SetComposeContent("成员正文");
        schoolClass->GetPrivateStore()->SetComposeSubject("纸条主题");
        schoolClass->GetPrivateStore()->SetComposeContent("纸条正文");
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.codes ? "codes" : "plain") + " tab " + std::to_string(c.tab) + " mode " +
                     std::to_string(c.messageMode));
        CTestClass* schoolClass = c.codes ? coded : plain;
        schoolClass->GetMessageStore()->SetComposeMode(c.messageMode);
        Select(schoolClass, c.tab);
        EXPECT_EQ(Enables(), c.enables);
        EXPECT_EQ(ModeEntries(), c.entries);
        EXPECT_EQ(Text(IDC_COMPOSE_SUBJECT), c.subject);
        EXPECT_EQ(S(view->m_wndBody.GetTextWithSmileyCodes()), c.body);
        EXPECT_EQ(Text(IDC_COMPOSE_COUNT), "字数: 4");
        schoolClass->GetMessageStore()->SetComposeMode(0);
    }
    // Another tab value changes nothing.
    Select(plain, 2);
    const std::string before = Enables() + ModeEntries() + Text(IDC_COMPOSE_SUBJECT);
    Select(coded, 7);
    EXPECT_EQ(Enables() + ModeEntries() + Text(IDC_COMPOSE_SUBJECT), before);
}

TEST_F(ComposeViewTest, TypingGoesIntoTheTabsStoreAndMovingAroundBringsEachBack)
{
    Select(plain, 0);
    TypeSubject("周末聚会");
    TypeBody("大家好");
    EXPECT_EQ(Text(IDC_COMPOSE_COUNT), "字数: 3");
    view->m_wndMode.SetCurSel(1);
    view->OnModeChange();
    Pump();
    EXPECT_EQ(plain->GetMessageStore()->GetComposeMode(), 1);

    Select(plain, 2);
    EXPECT_EQ(Text(IDC_COMPOSE_SUBJECT), "");
    TypeSubject("hi");
    TypeBody("note body");
    EXPECT_EQ(Text(IDC_COMPOSE_COUNT), "字数: 9");
    Select(plain, 1);
    TypeSubject("ignored");
    TypeBody("好照片");
    Select(coded, 0);
    TypeBody("另一个班");
    Select(plain, 3);
    TypeBody("re");

    Select(plain, 0);
    EXPECT_EQ(Text(IDC_COMPOSE_SUBJECT), "周末聚会");
    EXPECT_EQ(Text(IDC_COMPOSE_BODY), "大家好");
    EXPECT_EQ(ModeEntries(), "新留言,*回复当前留言");
    EXPECT_FALSE(Enabled(IDC_COMPOSE_SUBJECT)) << "reply mode";
    Select(plain, 2);
    EXPECT_EQ(Text(IDC_COMPOSE_SUBJECT), "hi");
    EXPECT_EQ(Text(IDC_COMPOSE_BODY), "note body");
    EXPECT_EQ(S(plain->GetContactStore()->GetComposeContent()), "note body");
    EXPECT_EQ(S(plain->GetPictureStore()->GetComposeSubject()), "");
    EXPECT_EQ(S(plain->GetPictureStore()->GetComposeContent()), "好照片");
    EXPECT_EQ(S(plain->GetPrivateStore()->GetComposeContent()), "re");
    EXPECT_EQ(S(coded->GetMessageStore()->GetComposeContent()), "另一个班");
    EXPECT_EQ(S(plain->GetMessageStore()->GetComposeContent()), "大家好");
    // The mode box of the other tabs has one entry; choosing it changes nothing.
    Select(plain, 1);
    view->m_wndMode.SetCurSel(0);
    view->OnModeChange();
    EXPECT_EQ(plain->GetMessageStore()->GetComposeMode(), 1);
}

// ---- Smileys ----

TEST_F(ComposeViewTest, CodesBecomePicturesOnlyInMessagesOfASmileyProvider)
{
    Select(coded, 0);
    TypeBody("a:)b=:|");
    EXPECT_EQ(BodyPictures(), 2);
    EXPECT_EQ(S(coded->GetMessageStore()->GetComposeContent()), "a:)b=:|");
    EXPECT_EQ(Text(IDC_COMPOSE_COUNT), "字数: 7");

    Select(coded, 3);
    TypeBody("x:)y");
    EXPECT_EQ(BodyPictures(), 0) << "notes keep their codes as text";
    Select(plain, 0);
    TypeBody("x:)y");
    EXPECT_EQ(BodyPictures(), 0);

    // Coming back, the stored codes are shown as pictures again.
    Select(coded, 0);
    EXPECT_EQ(BodyPictures(), 2);
    EXPECT_EQ(S(view->m_wndBody.GetTextWithSmileyCodes()), "a:)b=:|");
}

TEST_F(ComposeViewTest, APickedSmileyGoesInAtTheCaretAndADismissalIsIgnored)
{
    Select(coded, 0);
    TypeBody("甲乙");
    view->m_wndBody.SetSel(2, 2);
    view->SendMessage(WM_INSERT_SMILEY, static_cast<WPARAM>(-3), 0);
    EXPECT_EQ(BodyPictures(), 0);
    EXPECT_EQ(view->SendMessage(WM_INSERT_SMILEY, 48, 0), 1);
    Pump();
    EXPECT_EQ(BodyPictures(), 1);
    EXPECT_EQ(S(coded->GetMessageStore()->GetComposeContent()), "甲//sun乙");
    view->SendMessage(WM_INSERT_SMILEY, 64, 0);
    EXPECT_EQ(BodyPictures(), 1) << "no such picture";
}

// ---- Preview ----

TEST_F(ComposeViewTest, WithAutomaticPreviewEachChangeRewritesTheFileAndShowsIt)
{
    Select(plain, 0);
    TypeBody("no preview");
    EXPECT_FALSE(std::filesystem::exists(ClassPath(plain) / "compose.htm"));
    EXPECT_TRUE(view->pages.empty());

    view->m_wndAutoPreview.SetCheck(BST_CHECKED);
    view->OnAutoPreview();
    EXPECT_EQ(GetConfig(CFG_COMPOSE_PREVIEW), CString("1"));
    const std::string path = S(ProgramPath(ClassPath(plain).string())) + "\\compose.htm";
    ASSERT_EQ(view->pages, std::vector<std::string>{path});
    TypeSubject("主题");
    EXPECT_EQ(test::TempDir::Read(ClassPath(plain) / "compose.htm"), "<p>主题|no preview|0</p>");
    TypeBody("正文");
    EXPECT_EQ(test::TempDir::Read(ClassPath(plain) / "compose.htm"), "<p>主题|正文|0</p>");
    EXPECT_EQ(view->pages.size(), 3u);
    EXPECT_EQ(::GetFocus(), view->m_wndBody.m_hWnd);
    // A reply preview is rendered as one.
    view->m_wndMode.SetCurSel(1);
    view->OnModeChange();
    EXPECT_EQ(test::TempDir::Read(ClassPath(plain) / "compose.htm"), "<p>主题|正文|1</p>");
    // Other tabs never preview.
    view->pages.clear();
    Select(plain, 2);
    TypeBody("note");
    EXPECT_TRUE(view->pages.empty());
}

TEST_F(ComposeViewTest, APreviewThatCannotBeWrittenShowsTheEmptyPageNotWhatIsThere)
{
    Select(plain, 0);
    TypeBody("old");
    view->OnPreview();
    ASSERT_EQ(view->pages.size(), 1u);
    EXPECT_EQ(test::TempDir::Read(ClassPath(plain) / "compose.htm"), "<p>|old|0</p>");
    // Something that no file can replace stands at the path.
    std::filesystem::remove(ClassPath(plain) / "compose.htm");
    std::filesystem::create_directories(ClassPath(plain) / "compose.htm" / "kept");
    TypeBody("new");
    view->OnPreview();
    ASSERT_EQ(view->pages.size(), 2u);
    EXPECT_EQ(view->pages[1], "");
    EXPECT_TRUE(std::filesystem::is_directory(ClassPath(plain) / "compose.htm" / "kept"));
}

TEST_F(ComposeViewTest, ClearingAutomaticPreviewShowsTheCurrentMessageAgainOrTheEmptyPage)
{
    AddItem<CMessageItem>(plain->GetMessageStore(), "1", "m1");
    AddItem<CMessageItem>(plain->GetMessageStore(), "2", "m2");
    SetConfigInt(CFG_COMPOSE_PREVIEW, 1);
    Select(plain, 0);
    view->m_wndAutoPreview.SetCheck(BST_UNCHECKED);
    view->pages.clear();
    view->OnAutoPreview();
    EXPECT_EQ(GetConfig(CFG_COMPOSE_PREVIEW), CString("0"));
    EXPECT_EQ(view->pages, std::vector<std::string>{""});
    plain->GetMessageStore()->SetCurrentCustoId("2");
    view->OnAutoPreview();
    EXPECT_EQ(view->rows, std::vector<int>{1});
    // A ticked box with no class shows the empty page; another tab does nothing.
    view->currentClass = nullptr;
    view->m_wndAutoPreview.SetCheck(BST_CHECKED);
    view->pages.clear();
    view->OnAutoPreview();
    EXPECT_EQ(view->pages, std::vector<std::string>{""});
    view->tab = 1;
    view->OnAutoPreview();
    view->OnPreview();
    EXPECT_EQ(view->pages.size(), 1u);
}

// ---- Sending ----

TEST_F(ComposeViewTest, TheSendsOfTheFourTabsAndTheirMissingSelections)
{
    CMessageStore* messages = plain->GetMessageStore();
    AddItem<CMessageItem>(messages, "2", "m-22");
    AddItem<CPictureItem>(plain->GetPictureStore(), "5", "p-55");
    auto* member = AddItem<CContactItem>(plain->GetContactStore(), "3", "u-33");
    member->m_realName = "张三";
    member->m_userName = "zhang";
    auto* note = AddItem<CPrivateItem>(plain->GetPrivateStore(), "12", "n-12");
    note->m_realName = "李四";
    note->m_userName = "li";
    note->m_userId = "u-44";
    struct Case {
        int tab;
        int mode;
        CClassStore* store;  // whose current custo_id is set
        const char* current;
        const char* call;
        const char* box;
    };
    const Case cases[] = {
        {0, 0, messages, "", "send 主题|正文|0", nullptr},
        {0, 1, messages, "2", "reply 主题|正文|m-22|0", nullptr},
        {0, 1, messages, "", nullptr, "回复留言: 请先选择想要回复的留言！"},
        // A record deleted since it was selected is no selection.
        {0, 1, messages, "9", nullptr, "回复留言: 请先选择想要回复的留言！"},
        {1, 0, plain->GetPictureStore(), "5", "comment |正文|p-55|0", nullptr},
        {1, 0, plain->GetPictureStore(), "", nullptr, "评论照片: 请先选择想要评论的照片！"},
        {1, 0, plain->GetPictureStore(), "6", nullptr, "评论照片: 请先选择想要评论的照片！"},
        {2, 0, plain->GetContactStore(), "3", "note 主题|正文|张三|zhang|u-33|0", nullptr},
        {2, 0, plain->GetContactStore(), "", nullptr, "发送悄悄话: 请先选择想要发送悄悄话的成员！"},
        {2, 0, plain->GetContactStore(), "4", nullptr, "发送悄悄话: 请先选择想要发送悄悄话的成员！"},
        {3, 0, plain->GetPrivateStore(), "12", "note-reply 主题|正文|李四|li|u-44|12", nullptr},
        {3, 0, plain->GetPrivateStore(), "", nullptr, "回复悄悄话: 请先选择想要回复的悄悄话！"},
        {3, 0, plain->GetPrivateStore(), "13", nullptr, "回复悄悄话: 请先选择想要回复的悄悄话！"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("tab " + std::to_string(c.tab) + " current '" + c.current + "'");
        messages->SetComposeMode(c.mode);
        c.store->SetCurrentCustoId(c.current);
        Select(plain, c.tab);
        // Typed in the pane, so also the subject of a reply, whose box is off.
        c.store->SetComposeSubject("主题");
        TypeBody("正文");
        Send();
        if (c.call) {
            ASSERT_TRUE(calls.WaitFor(1));
            EXPECT_EQ(calls.Take(), std::vector<std::string>{c.call});
            EXPECT_TRUE(Boxes().empty());
        } else {
            EXPECT_EQ(Boxes(), std::vector<std::string>{std::string(c.box) + " " + std::to_string(kWarn)});
        }
        // The texts stay until the provider's send empties them.
        EXPECT_EQ(S(StoreOf(plain, c.tab)->GetComposeContent()), "正文");
        ASSERT_TRUE(WaitIdle(plain));
    }
}

TEST_F(ComposeViewTest, WhileASendWaitsTheControlsAreOffAndComeBackAfterIt)
{
    clock::ManualScope manual(1700000000);
    AddItem<CPictureItem>(plain->GetPictureStore(), "5", "p-55");
    plain->GetPictureStore()->SetCurrentCustoId("5");
    for (int tab : {0, 1, 2}) {
        SCOPED_TRACE(tab);
        if (tab == 2) {
            AddItem<CContactItem>(plain->GetContactStore(), "3", "u-33");
            plain->GetContactStore()->SetCurrentCustoId("3");
        }
        Select(plain, tab);
        const std::string idle = Enables();
        calls.Hold();
        Send();
        ASSERT_TRUE(calls.WaitFor(1));
        EXPECT_EQ(Enables(), idle) << "not before 100 ms";
        clock::Advance(100);
        Pump();
        EXPECT_EQ(Enables(), tab == 0 ? "000001" : "000000");
        // A second press while it runs starts nothing.
        Send();
        // The sent event arrives while the worker still holds its flag: the
        // controls come back once it lets go.
        view->SetModeWhenIdle();
        EXPECT_EQ(Enables(), tab == 0 ? "000001" : "000000");
        calls.Release();
        ASSERT_TRUE(WaitIdle(plain));
        EXPECT_EQ(calls.Take().size(), 1u);
        clock::Advance(100);
        Pump();
        EXPECT_EQ(Enables(), idle);
    }
}

// ---- The verification gate ----

TEST_F(ComposeViewTest, TheGateUsesAStoredCodeElseAsksForOneAndStoresIt)
{
    std::filesystem::create_directories(ClassPath(coded));
    test::WriteFile(ClassPath(coded) / "auth_message.gif", test::SolidFramesGif(8, 8, {{0, 0, 8, 8, 1}}));
    CMessageStore* messages = coded->GetMessageStore();
    Select(coded, 0);
    TypeBody("hello");

    // Cancel sends nothing and says nothing.
    {
        DialogDriver driver;
        driver.Then("认证信息", [](HWND dialog) { DialogDriver::Press(dialog, IDCANCEL); });
        Send();
        EXPECT_EQ(driver.Pending(), 0u);
    }
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(S(messages->GetAuthCode("")), "");
    // Three characters keep the dialog open with its error; then cancelled.
    {
        DialogDriver driver;
        driver.Then("认证信息", [](HWND dialog) {
            DialogDriver::SetText(dialog, IDC_VERIFY_CODE, "abc");
            DialogDriver::Press(dialog, IDOK);
            DialogDriver::Press(dialog, IDCANCEL);
        });
        Send();
    }
    EXPECT_EQ(Boxes(), std::vector<std::string>{"错误: 请正确输入图中的4位验证码字符！ " + std::to_string(kError)});
    EXPECT_TRUE(calls.Take().empty());

    // Two double-byte characters are four: stored and sent.
    {
        DialogDriver driver;
        driver.Then("认证信息", [](HWND dialog) {
            DialogDriver::SetText(dialog, IDC_VERIFY_CODE, "甲乙");
            DialogDriver::Press(dialog, IDOK);
        });
        Send();
        EXPECT_EQ(driver.seen, std::vector<std::string>{"认证信息"});
    }
    ASSERT_TRUE(calls.WaitFor(1));
    EXPECT_EQ(calls.Take(), std::vector<std::string>{"send |hello|0"});
    EXPECT_EQ(S(messages->GetAuthCode("")), "甲乙");
    ASSERT_TRUE(WaitIdle(coded));

    // A stored code passes without asking.
    {
        DialogDriver driver;
        Send();
        EXPECT_TRUE(driver.seen.empty());
    }
    ASSERT_TRUE(calls.WaitFor(1));
    EXPECT_EQ(calls.Take(), std::vector<std::string>{"send |hello|0"});
}

TEST_F(ComposeViewTest, AMissingCodePictureStopsTheSendWithItsError)
{
    struct Case {
        int tab;
        const char* box;
    };
    const Case cases[] = {
        {0, "错误: 找不到验证信息图片，请更新帐号！"},
        {1, "错误: 找不到验证信息图片，请更新！"},
    };
    AddItem<CPictureItem>(coded->GetPictureStore(), "5", "p-55");
    coded->GetPictureStore()->SetCurrentCustoId("5");
    for (const Case& c : cases) {
        Select(coded, c.tab);
        TypeBody("text");
        DialogDriver driver;
        Send();
        EXPECT_TRUE(driver.seen.empty());
        EXPECT_EQ(Boxes(), std::vector<std::string>{std::string(c.box) + " " + std::to_string(kError)});
    }
    EXPECT_TRUE(calls.Take().empty());
}

TEST_F(ComposeViewTest, AReplyAsksTheCodeBeforeItsSelectionButACommentTestsThePhotoFirst)
{
    std::filesystem::create_directories(ClassPath(coded));
    test::WriteFile(ClassPath(coded) / "auth_message.gif", test::SolidFramesGif(8, 8, {{0, 0, 8, 8, 1}}));
    test::WriteFile(ClassPath(coded) / "auth_picture.gif", test::SolidFramesGif(8, 8, {{0, 0, 8, 8, 2}}));
    coded->GetMessageStore()->SetComposeMode(1);
    Select(coded, 0);
    {
        DialogDriver driver;
        driver.Then("认证信息", [](HWND dialog) {
            DialogDriver::SetText(dialog, IDC_VERIFY_CODE, "wxyz");
            DialogDriver::Press(dialog, IDOK);
        });
        Send();
        EXPECT_EQ(driver.seen.size(), 1u);
    }
    EXPECT_EQ(S(coded->GetMessageStore()->GetAuthCode("")), "wxyz");
    EXPECT_EQ(Boxes(), std::vector<std::string>{"回复留言: 请先选择想要回复的留言！ " + std::to_string(kWarn)});

    Select(coded, 1);
    {
        DialogDriver driver;
        Send();
        EXPECT_TRUE(driver.seen.empty());
    }
    EXPECT_EQ(Boxes(), std::vector<std::string>{"评论照片: 请先选择想要评论的照片！ " + std::to_string(kWarn)});
    // With a photo: its code is asked for that photo, and the comment has no subject.
    AddItem<CPictureItem>(coded->GetPictureStore(), "5", "p-55");
    coded->GetPictureStore()->SetCurrentCustoId("5");
    TypeBody("好看");
    {
        DialogDriver driver;
        driver.Then("认证信息", [](HWND dialog) {
            DialogDriver::SetText(dialog, IDC_VERIFY_CODE, "pq12");
            DialogDriver::Press(dialog, IDOK);
        });
        Send();
    }
    ASSERT_TRUE(calls.WaitFor(1));
    EXPECT_EQ(calls.Take(), std::vector<std::string>{"comment |好看|p-55|0"});
    EXPECT_EQ(S(coded->GetPictureStore()->GetAuthCode("p-55")), "pq12");
}

// ---- Edit commands ----

struct UpdateState {
    bool changed;
    bool enabled;
};

UpdateState Update(CCmdTarget* target, UINT id)
{
    CTestCmdUI ui;
    ui.m_nID = id;
    target->OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &ui, nullptr);
    return {ui.m_bEnableChanged != FALSE, ui.m_bEnabled != FALSE};
}

TEST_F(ComposeViewTest, EditCommandsActOnTheFocusedFieldAndTheirRulesFollowTheBody)
{
    Select(plain, 0);
    TypeSubject("subject");
    TypeBody("body text");
    // Focus elsewhere: nothing happens and the items stay as they are.
    view->m_wndSend.SetFocus();
    view->OnSelectAll();
    view->OnDeleteSelection();
    EXPECT_EQ(Text(IDC_COMPOSE_BODY), "body text");
    for (UINT id : {ID_UNDO, ID_CUT, ID_COPY, ID_PASTE, ID_DELETE_SELECTION})
        EXPECT_FALSE(Update(view, id).changed) << id;

    view->m_wndBody.SetFocus();
    view->m_wndBody.SetSel(0, 0);
    for (UINT id : {ID_CUT, ID_COPY, ID_DELETE_SELECTION}) {
        const UpdateState state = Update(view, id);
        EXPECT_TRUE(state.changed && !state.enabled) << id << " with no selection";
    }
    view->OnSelectAll();
    for (UINT id : {ID_CUT, ID_COPY, ID_DELETE_SELECTION})
        EXPECT_TRUE(Update(view, id).enabled) << id;
    view->OnCopy();
    EXPECT_TRUE(Update(view, ID_PASTE).enabled);
    view->m_wndBody.SetSel(0, 5);
    view->OnDeleteSelection();
    Pump();
    EXPECT_EQ(Text(IDC_COMPOSE_BODY), "text");
    EXPECT_EQ(S(plain->GetMessageStore()->GetComposeContent()), "text") << "stored like typing";
    view->OnPaste();
    Pump();
    EXPECT_EQ(Text(IDC_COMPOSE_BODY), "body texttext");

    // The subject box: select all and cut through the same commands.
    view->m_wndSubject.SetFocus();
    view->OnSelectAll();
    view->OnCut();
    Pump();
    EXPECT_EQ(Text(IDC_COMPOSE_SUBJECT), "");
    EXPECT_EQ(S(plain->GetMessageStore()->GetComposeSubject()), "");
    EXPECT_FALSE(Update(view, ID_CUT).changed) << "rules follow the body only";
    view->OnUndo();
    Pump();
    EXPECT_EQ(Text(IDC_COMPOSE_SUBJECT), "subject");
}

TEST_F(ComposeViewTest, TheCaptionSpansThePaneAndItsCloseButtonHidesIt)
{
    CRect caption;
    view->m_wndCaption.GetWindowRect(&caption);
    CRect client;
    view->GetClientRect(&client);
    EXPECT_EQ(caption.Width(), client.Width());
    EXPECT_EQ(caption.Height(), 19);
    view->SendMessage(WM_COMMAND, IDC_COMPOSE_CAPTION, 0);
    EXPECT_EQ(view->hides, 1);
}

// ---- A rejected code asked for again by the frame ----

class CodeAgainTest : public test::FrameFixture {
protected:
    Calls calls;
    CTestAccount* account = nullptr;
    CTestClass* schoolClass = nullptr;

    void SetUp() override
    {
        FrameFixture::SetUp();
        if (HasFatalFailure())
            return;
        // The first-run question of the empty tree is answered first.
        win::QueueMessageBoxAnswer(IDNO);
        Pump();
        win::ClearMessageBoxAnswers();
        win::TakeMessageBoxLog();
        account = new CTestAccount(true);
        account->SetUserNameAndPassword("cr", "pw");
        account->SetDataFolder(AppDir() + "\\accounts\\cr");
        ASSERT_TRUE(Tree().GetAccountList().Add(account));
        schoolClass = NewClass("c9");
        account->AddClass(schoolClass);
        AddItem<CMessageItem>(schoolClass->GetMessageStore(), "2", "m-2");
        AddItem<CPictureItem>(schoolClass->GetPictureStore(), "5", "p-5");
        schoolClass->GetMessageStore()->SetComposeSubject("主题");
        schoolClass->GetMessageStore()->SetComposeContent("重发的留言");
        schoolClass->GetPictureStore()->SetComposeContent("重发的评论");
    }
    void TearDown() override
    {
        calls.Release();
        FrameFixture::TearDown();
        win::ClearMessageBoxAnswers();
    }
    CTestClass* NewClass(const char* id)
    {
        auto* made = new CTestClass(&calls);
        made->SetId(id);
        made->SetAccount(account);
        made->CreateStores();
        return made;
    }
    // Sends the event with the dialog answered by step (none: not expected).
    std::vector<std::string> Event(int code, CSchoolClass* target, std::function<void(HWND)> step)
    {
        DialogDriver driver;
        if (step)
            driver.Then("认证信息", step);
        ::SendMessage(m_hwnd, WM_CLASS_EVENT, static_cast<WPARAM>(code), reinterpret_cast<LPARAM>(target));
        return driver.seen;
    }
    static std::function<void(HWND)> Answer(const char* code)
    {
        return [code](HWND dialog) {
            DialogDriver::SetText(dialog, IDC_VERIFY_CODE, code);
            DialogDriver::Press(dialog, IDOK);
            // Only reached when the code was refused.
            DialogDriver::Press(dialog, IDCANCEL);
        };
    }
};

TEST_F(CodeAgainTest, EachRejectedCodeIsAskedAgainAndTheKeptTextsAreResubmitted)
{
    struct Case {
        int code;
        const char* currentMessage;
        const char* currentPhoto;
        const char* typed;  // null: cancelled
        bool asked;
        const char* call;   // null: nothing resubmitted
        const char* box;
    };
    const Case cases[] = {
        {14, "", "", "abcd", true, "send 主题|重发的留言|0", nullptr},
        {14, "2", "", "abcd", true, "send 主题|重发的留言|0", nullptr},
        {16, "2", "", "abcd", true, "reply 主题|重发的留言|m-2|0", nullptr},
        {16, "", "", "abcd", true, "send 主题|重发的留言|0", nullptr},
        // A record deleted since it was selected takes nothing, and no code is asked.
        {16, "7", "", "abcd", false, nullptr, nullptr},
        {15, "", "5", "甲乙", true, "comment |重发的评论|p-5|0", nullptr},
        {15, "", "", "abcd", false, nullptr, nullptr},
        {15, "", "8", "abcd", false, nullptr, nullptr},
        {14, "", "", nullptr, true, nullptr, nullptr},
        {16, "2", "", "abcde", true, nullptr, "错误: 请正确输入图中的4位验证码字符！"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("code " + std::to_string(c.code) + " message '" + c.currentMessage + "' photo '" +
                     c.currentPhoto + "'");
        CMessageStore* messages = schoolClass->GetMessageStore();
        CPictureStore* photos = schoolClass->GetPictureStore();
        messages->SetCurrentCustoId(c.currentMessage);
        photos->SetCurrentCustoId(c.currentPhoto);
        messages->SetAuthCode("", "");
        photos->SetAuthCode("", "");
        auto step = c.typed ? Answer(c.typed) : [](HWND dialog) { DialogDriver::Press(dialog, IDCANCEL); };
        const std::vector<std::string> seen = Event(c.code, schoolClass, c.asked ? step : nullptr);
        EXPECT_EQ(seen.size(), c.asked ? 1u : 0u);
        if (c.call) {
            ASSERT_TRUE(calls.WaitFor(1));
            EXPECT_EQ(calls.Take(), std::vector<std::string>{c.call});
            EXPECT_EQ(S((c.code == 15 ? static_cast<CClassStore*>(photos) : messages)->GetAuthCode("")), c.typed);
        }
        ASSERT_TRUE(WaitIdle(schoolClass));
        EXPECT_TRUE(calls.Take().empty());
        std::vector<std::string> boxes;
        for (const auto& record : win::TakeMessageBoxLog())
            boxes.push_back(record.caption + ": " + record.text);
        EXPECT_EQ(boxes, c.box ? std::vector<std::string>{c.box} : std::vector<std::string>{});
    }
}

TEST_F(CodeAgainTest, AnEventForAClassNoLongerListedDoesNothing)
{
    CTestClass* gone = NewClass("c10");
    gone->GetMessageStore()->SetComposeContent("x");
    EXPECT_TRUE(Event(14, gone, nullptr).empty());
    EXPECT_TRUE(Event(9, gone, nullptr).empty());
    gone->Close();
    delete gone;
    EXPECT_TRUE(calls.Take().empty());
}

} // namespace
