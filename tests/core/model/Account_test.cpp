// Accounts and school classes: logs, start operations, busy state, the class
// array, the class's entry in the account file and teardown.
#include "tests/core/model/ModelTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <time.h>

using namespace tavrin::test;

namespace {

double RealSeconds()
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

CTestSchoolClass* AddClass(CTestAccount& account, const char* id, CallLog* log = nullptr, bool stores = true)
{
    auto* schoolClass = new CTestSchoolClass(log, stores);
    schoolClass->SetAccount(&account);
    schoolClass->SetId(id);
    schoolClass->CreateStores();
    account.AddClass(schoolClass);
    return schoolClass;
}

} // namespace

TEST(AccountLog, KeepsTheNewest256LinesAndPostsOneEventEach)
{
    NotifyWindow window;
    CTestAccount account;
    account.SetNotifyWnd(window.Handle());
    for (int i = 1; i <= 257; ++i) {
        CString line;
        line.Format("line %d", i);
        account.Log(line);
    }
    EXPECT_EQ(256, account.GetLogCount());
    CString first = account.GetLogLine(0);
    ASSERT_EQ(10 + 6, first.GetLength());  // "[HH:MM:SS]" then the text, no space
    EXPECT_EQ('[', first[0]);
    EXPECT_EQ(']', first[9]);
    EXPECT_STREQ("line 2", first.Mid(10));
    EXPECT_STREQ("line 257", account.GetLogLine(255).Mid(10));
    EXPECT_STREQ("", account.GetLogLine(256));
    window.Pump();
    auto messages = window.Events();
    ASSERT_EQ(257u, messages.size());
    for (const auto& m : messages) {
        EXPECT_EQ(static_cast<UINT>(WM_ACCOUNT_EVENT), m.message);
        EXPECT_EQ(0u, m.code);
        EXPECT_EQ(reinterpret_cast<LPARAM>(&account), m.lParam);
        EXPECT_FALSE(m.sent);
    }
}

TEST(ClassLog, KeepsTheNewest256LinesAndPostsToTheAccountWindow)
{
    NotifyWindow window;
    CTestAccount account;
    account.SetNotifyWnd(window.Handle());
    CTestSchoolClass* schoolClass = AddClass(account, "c1", nullptr, false);
    for (int i = 1; i <= 257; ++i)
        schoolClass->Log("[留言]开始更新...");
    EXPECT_EQ(256, schoolClass->GetLogCount());
    EXPECT_STREQ("[留言]开始更新...", schoolClass->GetLogLine(255).Mid(10));
    EXPECT_STREQ("", schoolClass->GetLogLine(-1));
    window.Pump();
    EXPECT_EQ(257, window.Count(WM_CLASS_EVENT, 0));
    EXPECT_EQ(reinterpret_cast<LPARAM>(schoolClass), window.Events().back().lParam);

    CTestSchoolClass orphan;  // no account: logs without posting
    orphan.Log("x");
    EXPECT_EQ(1, orphan.GetLogCount());
}

TEST(Account, FreshAccountDefaults)
{
    CTestAccount account;
    EXPECT_EQ(CTime(2004, 11, 8, 0, 0, 0), account.GetCookieTime());
    EXPECT_STREQ("", account.GetCookie());
    EXPECT_FALSE(account.IsLocked());
    EXPECT_FALSE(account.IsAccessEnabled());
    EXPECT_EQ(nullptr, account.GetNotifyWnd());
    EXPECT_FALSE(account.IsBusy());
    EXPECT_EQ(0, account.GetClassCount());
    account.SetUserNameAndPassword("user", "secret");
    EXPECT_STREQ("user", account.GetUserName());
    EXPECT_STREQ("secret", account.GetPassword());

    CAccount plain;  // the base operations do nothing
    EXPECT_EQ(0, plain.Login(nullptr, nullptr));
    EXPECT_EQ(nullptr, plain.CreateClass());
    EXPECT_STREQ("", plain.GetPrivateFeatureName());
    EXPECT_FALSE(plain.HasMessageSubject() || plain.SupportsSmileys() || plain.HasPrivateSubject() ||
                 plain.NeedsVerifyCode(0) || plain.NeedsVerifyCode(1));
}

TEST(Account, ClassArray)
{
    CallLog log;
    CTestAccount account(&log);
    CTestSchoolClass* a = AddClass(account, "100", &log, false);
    CTestSchoolClass* b = AddClass(account, "200", &log, false);
    AddClass(account, "100", &log, false);
    EXPECT_EQ(3, account.GetClassCount());
    EXPECT_EQ(a, account.GetClassAt(0));
    EXPECT_EQ(nullptr, account.GetClassAt(3));
    EXPECT_EQ(nullptr, account.GetClassAt(-1));
    EXPECT_EQ(a, account.FindClass("100"));
    EXPECT_EQ(nullptr, account.FindClass("1000"));
    account.DeleteClass("999");
    EXPECT_EQ(3, account.GetClassCount());
    account.DeleteClass("100");  // the first match only
    EXPECT_EQ(2, account.GetClassCount());
    EXPECT_EQ(b, account.GetClassAt(0));
    EXPECT_STREQ("100", account.GetClassAt(1)->GetId());
    account.DeleteAllClasses();
    EXPECT_EQ(0, account.GetClassCount());
}

TEST(Account, StartOperationsPostOnlyWhenNotBusy)
{
    CTestAccount account;
    account.readProfile.block = true;
    account.StartReadProfile(0);
    account.readProfile.entered.Wait();
    EXPECT_TRUE(account.IsReadingProfile());
    EXPECT_TRUE(account.IsBusy());
    account.StartReadProfile(0);
    account.StartReadProfile(0);

    CByteArray form;
    form.Add('a');
    form.Add('=');
    form.Add('1');
    account.StartUpdateProfile(form, 0);
    form.RemoveAll();  // the task owns a copy
    account.updateProfile.entered.Wait();
    account.StartUpdateClassList(0);
    account.classList.entered.Wait();

    account.readProfile.release.Open();
    ASSERT_TRUE(WaitUntil([&] { return !account.IsBusy(); }));
    EXPECT_EQ(1, account.readProfile.calls.load());
    EXPECT_EQ(1, account.updateProfile.calls.load());
    EXPECT_EQ(1, account.classList.calls.load());
    EXPECT_EQ((std::vector<BYTE>{'a', '=', '1'}), account.lastForm);

    account.StartReadProfile(0);
    ASSERT_TRUE(WaitUntil([&] { return account.readProfile.calls.load() == 2 && !account.IsBusy(); }));
}

TEST(Account, BusyPassesUpFromStoresAndClasses)
{
    CTestAccount account;
    CTestSchoolClass* idle = AddClass(account, "1");
    CTestSchoolClass* working = AddClass(account, "2");
    auto* contacts = static_cast<CTestContactStore*>(working->GetContactStore());
    contacts->update.block = true;
    CStringArray ids;
    contacts->StartUpdate(ids, 0);
    contacts->update.entered.Wait();
    EXPECT_FALSE(idle->IsBusy());
    EXPECT_TRUE(working->IsBusy());
    EXPECT_TRUE(account.IsBusy());
    EXPECT_FALSE(account.IsUpdatingClassList() || account.IsReadingProfile() || account.IsUpdatingProfile());
    contacts->update.release.Open();
    ASSERT_TRUE(WaitUntil([&] { return !account.IsBusy(); }));

    working->classInfo.block = true;
    working->StartUpdateClassInfo(0);
    working->classInfo.entered.Wait();
    working->StartUpdateClassInfo(0);
    EXPECT_TRUE(account.IsBusy());
    working->classInfo.release.Open();
    ASSERT_TRUE(WaitUntil([&] { return !account.IsBusy(); }));
    EXPECT_EQ(1, working->classInfo.calls.load());
}

TEST(Account, UnreadCountsSumOverClasses)
{
    CTestAccount account;
    CTestSchoolClass* a = AddClass(account, "1");
    AddClass(account, "2", nullptr, false);
    for (int i = 0; i < 3; ++i) {
        auto* item = new CPrivateItem;
        item->m_read = i == 0;
        a->GetPrivateStore()->AddItem(item);
    }
    a->GetMessageStore()->AddItem(new CMessageItem);
    EXPECT_EQ(2, account.GetUnreadPrivateCount());
    EXPECT_EQ(1, account.GetUnreadMessageCount());
    EXPECT_EQ(0, account.GetUnreadPictureCount());
    EXPECT_EQ(0, account.GetClassAt(1)->GetUnreadPictureCount());
    EXPECT_FALSE(account.GetClassAt(1)->IsBusy());
}

TEST(SchoolClass, DeletesStoresInOrder)
{
    CallLog log;
    CTestAccount account(&log);
    AddClass(account, "1", &log);
    account.DeleteClass("1");
    EXPECT_EQ((std::vector<std::string>{"delete private", "delete picture", "delete message", "delete contact"}),
              log.Entries());
}

TEST(Account, DestructorAbortsAStalledRequestQuickly)
{
    StalledServer server;
    CallLog log;
    auto* account = new CTestAccount(&log);
    CTestSchoolClass* schoolClass = AddClass(*account, "1", &log);
    auto* contacts = static_cast<CTestContactStore*>(schoolClass->GetContactStore());
    std::atomic<int> requestResult{-1};
    contacts->onUpdate = [&](CTestContactStore* store) {
        CByteArray reply;
        CString url;
        url.Format("http://127.0.0.1:%d/stall", server.Port());
        store->PrepareHttpClient(store->Connection());
        store->Connection()->SetRetryCount(1);
        requestResult = store->Connection()->Request(url, "", reply, "") ? 1 : 0;
    };
    CStringArray ids;
    contacts->StartUpdate(ids, 0);
    server.accepted.Wait();
    EXPECT_TRUE(account->IsBusy());

    double start = RealSeconds();
    account->Close();
    delete account;
    EXPECT_LT(RealSeconds() - start, 10.0);  // the socket time-out is 30 s
    EXPECT_NE(-1, requestResult.load());
    EXPECT_EQ(1, log.Count("delete contact"));
}

TEST(Account, ClosingRefusesNewWork)
{
    CTestAccount account;
    CTestSchoolClass* schoolClass = AddClass(account, "1");
    account.Close();
    account.StartReadProfile(0);
    schoolClass->StartUpdateClassInfo(0);
    CStringArray ids;
    schoolClass->GetContactStore()->StartUpdate(ids, 0);
    EXPECT_FALSE(account.IsBusy());
    EXPECT_EQ(0, account.readProfile.calls.load());
    EXPECT_EQ(0, schoolClass->classInfo.calls.load());
}

TEST(Account, ClassListRebuildOnAWorker)
{
    NotifyWindow window;
    CTestAccount account;
    account.SetNotifyWnd(window.Handle());
    AddClass(account, "old");
    account.onClassList = [](CTestAccount* self) {
        self->DeleteAllClasses();
        for (const char* id : {"a", "b"}) {
            CSchoolClass* c = self->CreateClass();
            c->SetAccount(self);
            c->SetId(id);
            c->CreateStores();
            self->AddClass(c);
            c->Log("new");
        }
    };
    account.StartUpdateClassList(0);
    ASSERT_TRUE(WaitUntil([&] { return account.classList.calls.load() == 1 && !account.IsBusy(); }));
    EXPECT_EQ(2, account.GetClassCount());
    EXPECT_EQ(nullptr, account.FindClass("old"));
    window.Pump();
    EXPECT_EQ(2, window.Count(WM_CLASS_EVENT, 0));
}

class AccountFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir.Write("tavrin.xml",
                    "<account>\n"
                    "\t<class id=\"11\">\n\t\t<school_name>一中</school_name>\n\t\t<school_id>s1</school_id>\n"
                    "\t\t<name>高三(2)班</name>\n\t\t<custo_name></custo_name>\n"
                    "\t\t<message_auth_code>abcd</message_auth_code>\n"
                    "\t\t<picture_auth_code>wxyz</picture_auth_code>\n\t</class>\n"
                    "\t<class id=\"a&nbsp;b\">\n\t\t<name>n</name>\n\t\t<custo_name>mine</custo_name>\n\t</class>\n"
                    "\t<global>\n\t\t<provider>5460(电信用户)</provider>\n\t</global>\n"
                    "</account>\n");
        m_account.SetDataFolder(m_dir.Path().string().c_str());
    }

    TempDir m_dir;
    CTestAccount m_account;
};

TEST_F(AccountFileTest, ClassEntryFillsIdentityAndCodes)
{
    CTestSchoolClass schoolClass;
    schoolClass.SetAccount(&m_account);
    schoolClass.SetId("11");
    ASSERT_EQ(1, schoolClass.LoadFromAccountFile());
    EXPECT_STREQ("一中", schoolClass.GetSchoolName());
    EXPECT_STREQ("s1", schoolClass.GetSchoolId());
    EXPECT_STREQ("高三(2)班", schoolClass.GetName());
    EXPECT_STREQ("高三(2)班", schoolClass.GetCustoName());  // empty display name: the name
    ASSERT_NE(nullptr, schoolClass.GetMessageStore());
    EXPECT_STREQ("abcd", schoolClass.GetMessageStore()->GetAuthCode(""));
    EXPECT_STREQ("wxyz", schoolClass.GetPictureStore()->GetAuthCode(""));
    EXPECT_STREQ("", schoolClass.GetMessageStore()->GetAuthKey(""));
}

TEST_F(AccountFileTest, ClassIdsAreMatchedEscaped)
{
    CTestSchoolClass schoolClass;
    schoolClass.SetAccount(&m_account);
    schoolClass.SetId("a b");
    ASSERT_EQ(1, schoolClass.LoadFromAccountFile());
    EXPECT_STREQ("mine", schoolClass.GetCustoName());
}

TEST_F(AccountFileTest, MissingEntryOrStoresAreHandled)
{
    CTestSchoolClass missing;
    missing.SetAccount(&m_account);
    missing.SetId("12");
    EXPECT_EQ(0, missing.LoadFromAccountFile());

    // A provider whose CreateStores made nothing: the codes are not handed out.
    CTestSchoolClass storeless(nullptr, false);
    storeless.SetAccount(&m_account);
    storeless.SetId("11");
    EXPECT_EQ(1, storeless.LoadFromAccountFile());
    EXPECT_EQ(nullptr, storeless.GetMessageStore());

    CTestAccount elsewhere;
    elsewhere.SetDataFolder((m_dir.Path() / "none").string().c_str());
    CTestSchoolClass lost;
    lost.SetAccount(&elsewhere);
    lost.SetId("11");
    EXPECT_EQ(0, lost.LoadFromAccountFile());
}
