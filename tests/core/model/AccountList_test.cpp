// The account list on a temporary program folder: loading account folders of
// both providers, skipping broken, unknown and repeated ones, saving at exit.
#include "core/model/AccountList.h"

#include "core/model/AccountFactory.h"
#include "core/model/ProviderNameList.h"
#include "core/services/Config.h"
#include "platform/base/Path.h"
#include "tests/core/model/ModelTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;
using namespace tavrin::test;

namespace {

CString ProgramPath(const fs::path& path)
{
    return tavrin::ProgramPath(path.string());
}

// Stand-ins for the two providers' accounts: no fields of their own.
class CStand5460Account : public CTestAccount {
};
class CStandChinaRenAccount : public CTestAccount {
};

CAccount* Make5460() { return new CStand5460Account; }
CAccount* MakeChinaRen() { return new CStandChinaRenAccount; }

std::string AccountXml(const std::string& provider, const std::string& user, const std::string& classes = "")
{
    return "<account>\n" + classes + "\t<global>\n\t\t<provider>" + provider + "</provider>\n\t\t<user_name>" + user +
           "</user_name>\n\t\t<custo_name>" + user + "</custo_name>\n\t</global>\n</account>\n";
}

class AccountListTest : public testing::Test {
protected:
    void SetUp() override
    {
        tavrin::SetProgramFolder(ProgramPath(m_program.Path()));
        tavrin::ReloadConfig();
        RegisterAccountClass(GetProviderName(0), &Make5460);
        RegisterAccountClass(GetProviderName(1), &Make5460);
        RegisterAccountClass(GetProviderName(2), &MakeChinaRen);
        RegisterAccountClass(GetProviderName(3), &MakeChinaRen);
    }
    void TearDown() override
    {
        for (int i = 0; i < GetProviderCount(); ++i)
            RegisterAccountClass(GetProviderName(i), nullptr);
        tavrin::SetProgramFolder(CString());
        tavrin::ReloadConfig();
    }

    void WriteAccount(const std::string& folder, const std::string& xml)
    {
        m_program.Write("accounts/" + folder + "/tavrin.xml", xml);
    }

    fs::path Accounts() const { return m_program.Path() / "accounts"; }

    TempDir m_program;
};

} // namespace

TEST_F(AccountListTest, FactoryMakesTheRegisteredClass)
{
    CAccount* account = CreateAccount("5460(网通用户)");
    ASSERT_NE(account, nullptr);
    EXPECT_NE(dynamic_cast<CStand5460Account*>(account), nullptr);
    EXPECT_EQ(account->GetProvider(), CString("5460(网通用户)"));
    delete account;
    account = CreateAccount("ChinaRen(Sohu用户)");
    EXPECT_NE(dynamic_cast<CStandChinaRenAccount*>(account), nullptr);
    delete account;
    EXPECT_EQ(CreateAccount(""), nullptr);
    EXPECT_EQ(CreateAccount("5460"), nullptr);
    EXPECT_FALSE(RegisterAccountClass("Other", &Make5460));
    EXPECT_EQ(CreateAccount("Other"), nullptr);
    RegisterAccountClass(GetProviderName(0), nullptr);
    EXPECT_EQ(CreateAccount(GetProviderName(0)), nullptr);
}

TEST_F(AccountListTest, LoadsValidFoldersInNameOrderAndSkipsTheRest)
{
    const std::string chinaRen = "ChinaRen(ChinaRen用户)";
    WriteAccount("b@5460", AccountXml("5460(网通用户)", "bob",
                                      "\t<class id=\"7\">\n\t\t<name>一班</name>\n\t</class>\n"));
    WriteAccount("a@chinaren", AccountXml(chinaRen, "amy"));
    WriteAccount("c@dup", AccountXml("5460(网通用户)", "bob"));  // bob at 5460 again
    WriteAccount("d@other", AccountXml(chinaRen, "bob"));        // same user, other provider
    WriteAccount("e@unknown", AccountXml("Foo", "eve"));
    WriteAccount("f@empty-provider", AccountXml("", "fay"));
    WriteAccount("g@broken", "<account><global><provider>5460(电信用户)");
    WriteAccount("h@no-user", "<account>\n\t<global>\n\t\t<provider>5460(电信用户)</provider>\n\t</global>\n</account>\n");
    WriteAccount("i@no-global", "<account>\n\t<class id=\"1\"/>\n</account>\n");
    fs::create_directories(Accounts() / "j@no-file");
    m_program.Write("accounts/k.txt", "a file, not a folder");

    CAccountList list;
    list.LoadAll();
    ASSERT_EQ(list.GetCount(), 3);
    CAccount* amy = list.GetAt(0);
    EXPECT_EQ(amy->GetUserName(), CString("amy"));
    EXPECT_NE(dynamic_cast<CStandChinaRenAccount*>(amy), nullptr);
    EXPECT_EQ(amy->GetDataFolder(), ProgramPath(Accounts() / "a@chinaren"));
    CAccount* bob = list.GetAt(1);
    EXPECT_NE(dynamic_cast<CStand5460Account*>(bob), nullptr);
    EXPECT_EQ(bob->GetProvider(), CString("5460(网通用户)"));
    EXPECT_EQ(bob->GetDataFolder(), ProgramPath(Accounts() / "b@5460"));  // the first of the two
    ASSERT_EQ(bob->GetClassCount(), 1);
    EXPECT_EQ(bob->GetClassAt(0)->GetName(), CString("一班"));
    EXPECT_EQ(list.GetAt(2)->GetProvider(), CString(chinaRen.c_str()));
    EXPECT_EQ(list.GetAt(3), nullptr);
    EXPECT_TRUE(list.Find("bob", "5460(网通用户)"));
    EXPECT_FALSE(list.Find("bob", "5460(电信用户)"));
    EXPECT_FALSE(list.IsAnyBusy());
}

TEST_F(AccountListTest, MissingOrEmptyAccountsFolder)
{
    {
        CAccountList list;
        list.LoadAll();
        EXPECT_EQ(list.GetCount(), 0);
    }
    fs::create_directories(Accounts());
    CAccountList list;
    list.LoadAll();
    EXPECT_EQ(list.GetCount(), 0);
}

TEST_F(AccountListTest, AddRefusesAListedAccountAndRemoveDeletes)
{
    CAccountList list;
    CAccount* first = CreateAccount(GetProviderName(0));
    first->SetUserNameAndPassword("u", "p");
    EXPECT_TRUE(list.Add(first));
    CAccount* again = CreateAccount(GetProviderName(0));
    again->SetUserNameAndPassword("u", "other");
    EXPECT_FALSE(list.Add(again));  // stays the caller's
    EXPECT_FALSE(list.Add(nullptr));
    EXPECT_EQ(list.GetCount(), 1);
    delete again;
    CAccount* other = CreateAccount(GetProviderName(1));
    other->SetUserNameAndPassword("u", "p");
    EXPECT_TRUE(list.Add(other));

    CTestAccount stranger;
    list.Remove(&stranger);  // not listed: nothing
    EXPECT_EQ(list.GetCount(), 2);
    list.Remove(first);
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.GetAt(0), other);
    // Never saved: removing is not exiting.
    EXPECT_FALSE(fs::exists(Accounts()));
}

TEST_F(AccountListTest, DestructorSavesEveryAccountAfterItsWorkEnded)
{
    WriteAccount("a", AccountXml("5460(电信用户)", "amy", "\t<class id=\"7\">\n\t\t<name>c</name>\n\t</class>\n"));
    WriteAccount("b", AccountXml("ChinaRen(Sohu用户)", "bob"));
    StalledServer server;
    std::atomic<int> result{-1};
    {
        CAccountList list;
        list.LoadAll();
        ASSERT_EQ(list.GetCount(), 2);
        list.GetAt(1)->SetCustoName("renamed");
        CAccount* amy = list.GetAt(0);
        auto* contacts = static_cast<CTestContactStore*>(amy->GetClassAt(0)->GetContactStore());
        contacts->onUpdate = [&](CTestContactStore* store) {
            CByteArray reply;
            CString url;
            url.Format("http://127.0.0.1:%d/stall", server.Port());
            store->PrepareHttpClient(store->Connection());
            store->Connection()->SetRetryCount(1);
            result = store->Connection()->Request(url, "", reply, "") ? 1 : 0;
            // Written after the abort: must reach the file.
            store->GetSchoolClass()->GetAccount()->SetCustoName("after the abort");
        };
        contacts->StartUpdate(CStringArray(), 0);
        server.accepted.Wait();
        EXPECT_TRUE(list.IsAnyBusy());
    }
    EXPECT_NE(result.load(), -1);
    std::string amy = TempDir::Read(Accounts() / "a" / "tavrin.xml");
    EXPECT_NE(amy.find("<custo_name>after&nbsp;the&nbsp;abort</custo_name>"), std::string::npos) << amy;
    EXPECT_NE(amy.find("<class id=\"7\">"), std::string::npos);
    std::string bob = TempDir::Read(Accounts() / "b" / "tavrin.xml");
    EXPECT_NE(bob.find("<custo_name>renamed</custo_name>"), std::string::npos) << bob;
}
