// The account file "tavrin.xml": round trip, exact bytes, the cookie time and
// the access record as stored.
#include "core/model/AccessRecord.h"
#include "core/model/Account.h"
#include "core/services/Password.h"
#include "platform/base/Path.h"
#include "tests/core/model/ModelTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;
using namespace tavrin::test;

namespace {

CString ProgramPath(const fs::path& path)
{
    return tavrin::ProgramPath(path.string());
}

CTestSchoolClass* AddClass(CAccount& account, const char* id, const char* name)
{
    auto* schoolClass = new CTestSchoolClass(nullptr, true);
    schoolClass->SetAccount(&account);
    schoolClass->SetId(id);
    schoolClass->SetName(name);
    schoolClass->SetCustoName(CString(name) + "*");
    schoolClass->SetSchoolName("第一中学");
    schoolClass->SetSchoolId("77");
    schoolClass->CreateStores();
    account.AddClass(schoolClass);
    return schoolClass;
}

void Fill(CAccount& account, const fs::path& folder)
{
    account.SetDataFolder(ProgramPath(folder));
    account.SetProvider("5460(网通用户)");
    account.SetUserNameAndPassword("张三", "pa ss<&>");
    account.SetUserId("1001");
    account.SetRealName("张三丰");
    account.SetCustoName("my account");
    account.SetCookie("JSESSIONID=abc; uid=1001");
    account.SetCookieTime(CTime(2010, 1, 2, 3, 4, 5));
    account.SetAccessEnabled(TRUE);
    account.SetAccessPassword("open");
}

// Replaces the text of the first element of that name in the file.
void EditElement(const fs::path& file, const std::string& name, const std::string& text)
{
    std::string xml = TempDir::Read(file);
    size_t start = xml.find("<" + name + ">");
    ASSERT_NE(start, std::string::npos) << name;
    start += name.size() + 2;
    size_t end = xml.find("</" + name + ">", start);
    xml.replace(start, end - start, text);
    std::ofstream(file, std::ios::binary) << xml;
}

void RemoveElement(const fs::path& file, const std::string& name)
{
    std::string xml = TempDir::Read(file);
    size_t start = xml.find("<" + name + ">");
    ASSERT_NE(start, std::string::npos) << name;
    start = xml.rfind('\n', start) + 1;
    std::string close = "</" + name + ">\n";
    size_t end = xml.find(close, start) + close.size();
    xml.erase(start, end - start);
    std::ofstream(file, std::ios::binary) << xml;
}

} // namespace

TEST(AccountFile, RoundTrip)
{
    TempDir dir;
    fs::path folder = dir.Path() / "accounts" / "a";
    {
        CTestAccount account;
        Fill(account, folder);
        CTestSchoolClass* first = AddClass(account, "11", "一班");
        AddClass(account, "22", "二班");
        first->GetMessageStore()->SetAuthCode("abcd", "");
        first->GetMessageStore()->SetAuthKey("key", "");
        first->GetPictureStore()->SetAuthCode("wxyz", "");
        EXPECT_TRUE(account.SaveAccountFile());  // creates the folder
    }
    CTestAccount account;
    ASSERT_EQ(account.Load(ProgramPath(folder)), 1);
    EXPECT_EQ(account.GetDataFolder(), ProgramPath(folder));
    EXPECT_EQ(account.GetProvider(), CString("5460(网通用户)"));
    EXPECT_EQ(account.GetUserName(), CString("张三"));
    EXPECT_EQ(account.GetPassword(), CString("pa ss<&>"));
    EXPECT_EQ(account.GetUserId(), CString("1001"));
    EXPECT_EQ(account.GetRealName(), CString("张三丰"));
    EXPECT_EQ(account.GetCustoName(), CString("my account"));
    EXPECT_EQ(account.GetCookie(), CString("JSESSIONID=abc; uid=1001"));
    EXPECT_EQ(account.GetCookieTime().GetTime(), CTime(2010, 1, 2, 3, 4, 5).GetTime());
    EXPECT_TRUE(account.IsAccessEnabled());
    EXPECT_TRUE(account.IsLocked());
    EXPECT_EQ(account.GetAccessPassword(), CString("open"));
    ASSERT_EQ(account.GetClassCount(), 2);
    CSchoolClass* first = account.GetClassAt(0);
    EXPECT_EQ(first->GetId(), CString("11"));
    EXPECT_EQ(first->GetName(), CString("一班"));
    EXPECT_EQ(first->GetCustoName(), CString("一班*"));
    EXPECT_EQ(first->GetSchoolName(), CString("第一中学"));
    EXPECT_EQ(first->GetSchoolId(), CString("77"));
    EXPECT_EQ(first->GetAccount(), &account);
    EXPECT_EQ(first->GetMessageStore()->GetAuthCode(""), CString("abcd"));
    EXPECT_EQ(first->GetMessageStore()->GetAuthKey(""), CString());  // keys are not read back
    EXPECT_EQ(first->GetPictureStore()->GetAuthCode(""), CString("wxyz"));
    EXPECT_EQ(account.GetClassAt(1)->GetId(), CString("22"));
}

TEST(AccountFile, GoldenBytes)
{
    TempDir dir;
    CTestAccount account;
    Fill(account, dir.Path());
    CTestSchoolClass* first = AddClass(account, "11", "一班");
    AddClass(account, "22", "二班");
    first->GetMessageStore()->SetAuthCode("abcd", "");
    first->GetMessageStore()->SetAuthKey("key", "");
    ASSERT_TRUE(account.SaveAccountFile());
    EXPECT_EQ(TempDir::Read(dir.Path() / "tavrin.xml"), TempDir::Read(Fixture("model/tavrin.xml")));
}

TEST(AccountFile, AccountWithoutClassesHoldsOnlyGlobal)
{
    TempDir dir;
    CTestAccount account;
    account.SetDataFolder(ProgramPath(dir.Path()));
    ASSERT_TRUE(account.SaveAccountFile());
    std::string xml = TempDir::Read(dir.Path() / "tavrin.xml");
    EXPECT_EQ(xml.find("<account>\n\t<global>\n"), 0u) << xml;
    EXPECT_EQ(xml.find("<class"), std::string::npos);
    // A fresh account counts as never signed in.
    EXPECT_NE(xml.find("<cookie_time>20041108000000</cookie_time>"), std::string::npos);
}

TEST(AccountFile, SaveFailsWhenTheFolderCannotBeMade)
{
    TempDir dir;
    dir.Write("file", "x");
    CTestAccount account;
    account.SetDataFolder(ProgramPath(dir.Path() / "file" / "sub"));
    EXPECT_FALSE(account.SaveAccountFile());
}

TEST(AccountFile, CookieTime)
{
    struct Case {
        const char* text;
        CTime expected;
    };
    const CTime initial(2004, 11, 8, 0, 0, 0);
    const Case cases[] = {
        {"20100102030405", CTime(2010, 1, 2, 3, 4, 5)},
        {"2010010203040599", CTime(2010, 1, 2, 3, 4, 5)},  // extra characters ignored
        {"2010010203040", initial},                       // 13 characters
        {"", initial},
        {"19600101000000", initial},  // before 1970: no time, keeps the initial one
        {"abcdefghijklmn", initial},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TempDir dir;
        {
            CTestAccount account;
            account.SetDataFolder(ProgramPath(dir.Path()));
            ASSERT_TRUE(account.SaveAccountFile());
        }
        EditElement(dir.Path() / "tavrin.xml", "cookie_time", c.text);
        CTestAccount account;
        ASSERT_EQ(account.Load(ProgramPath(dir.Path())), 1);
        EXPECT_EQ(account.GetCookieTime().GetTime(), c.expected.GetTime());
    }
}

TEST(AccountFile, AccessProtectionAsStored)
{
    struct Case {
        const char* name;
        BOOL enabled;
        const char* accessPassword;
        const char* editedPassword;  // written into the file by hand, or null
        bool dropAccess;
        const char* cookie;
        const char* password;
        BOOL locked, enabledAfter;
        CString accessAfter;
    };
    const CString deflt = tavrin::kDefaultAccessPassword;
    const std::string longCookie = "k=" + std::string(1500, 'v');
    const Case cases[] = {
        {"protection on", TRUE, "open", nullptr, false, "c=1", "pw", TRUE, TRUE, "open"},
        {"protection off", FALSE, "open", nullptr, false, "c=1", "pw", FALSE, FALSE, "open"},
        {"off without a password", FALSE, "", nullptr, false, "c=1", "pw", FALSE, FALSE, ""},
        {"password edited", FALSE, "", "other", false, "c=1", "pw", TRUE, TRUE, deflt},
        {"password emptied", FALSE, "", "", false, "c=1", "pw", TRUE, TRUE, deflt},
        {"no access element", FALSE, "", nullptr, true, "c=1", "pw", TRUE, TRUE, deflt},
        {"no access element, nothing stored", FALSE, "", nullptr, true, "", "", FALSE, FALSE, ""},
        {"cookie over 1024 bytes", TRUE, "open", nullptr, false, longCookie.c_str(), "pw", TRUE, TRUE, "open"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        {
            CTestAccount account;
            account.SetDataFolder(ProgramPath(dir.Path()));
            account.SetUserNameAndPassword("u", c.password);
            account.SetCookie(c.cookie);
            account.SetAccessEnabled(c.enabled);
            account.SetAccessPassword(c.accessPassword);
            ASSERT_TRUE(account.SaveAccountFile());
        }
        fs::path file = dir.Path() / "tavrin.xml";
        if (c.editedPassword)
            EditElement(file, "password", std::string(EncryptPassword(c.editedPassword)));
        if (c.dropAccess)
            RemoveElement(file, "access");
        CTestAccount account;
        ASSERT_EQ(account.Load(ProgramPath(dir.Path())), 1);
        EXPECT_EQ(account.GetCookie(), CString(c.cookie));
        EXPECT_EQ(account.IsLocked(), c.locked);
        EXPECT_EQ(account.IsAccessEnabled(), c.enabledAfter);
        EXPECT_EQ(account.GetAccessPassword(), c.accessAfter);
    }
}

// A cookie that an older run stored with a control byte in it would break
// every request: it is read back without the bad entry, the account stays open.
TEST(AccountFile, StoredCookieWithAControlByteIsDropped)
{
    TempDir dir;
    {
        CTestAccount account;
        Fill(account, dir.Path());
        account.SetCookie("bad=1\nx; JSESSIONID=abc; ");
        account.SetAccessEnabled(FALSE);
        ASSERT_TRUE(account.SaveAccountFile());
    }
    CTestAccount account;
    ASSERT_TRUE(account.Load(ProgramPath(dir.Path())));
    EXPECT_EQ(account.GetCookie(), CString("JSESSIONID=abc; "));
    EXPECT_FALSE(account.IsLocked());  // the record still matches what was stored
    EXPECT_EQ(account.GetAccessPassword(), CString("open"));
}

TEST(AccountFile, RecordIsEncipheredInTheFile)
{
    TempDir dir;
    CTestAccount account;
    account.SetDataFolder(ProgramPath(dir.Path()));
    account.SetUserNameAndPassword("u", "pw");
    account.SetCookie("c");
    account.SetAccessEnabled(TRUE);
    account.SetAccessPassword("ap");
    ASSERT_TRUE(account.SaveAccountFile());
    std::string xml = TempDir::Read(dir.Path() / "tavrin.xml");
    std::string expected = "<access>" + std::string(EncryptPassword("1:2:2:cpwap1")) + "</access>";
    EXPECT_NE(xml.find(expected), std::string::npos) << xml;
}

TEST(AccountFile, BrokenFilesDoNotLoad)
{
    struct Case {
        const char* name;
        const char* xml;  // null: no file
    };
    const Case cases[] = {
        {"no file", nullptr},
        {"empty", ""},
        {"no global", "<account>\n\t<class id=\"1\"/>\n</account>\n"},
        {"another root", "<message>\n\t<global/>\n</message>\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        if (c.xml)
            dir.Write("tavrin.xml", c.xml);
        CTestAccount account;
        EXPECT_EQ(account.Load(ProgramPath(dir.Path())), 0);
        EXPECT_EQ(account.GetClassCount(), 0);
    }
}

TEST(AccountFile, RepeatedClassIdsMakeOneClass)
{
    TempDir dir;
    dir.Write("tavrin.xml",
              "<account>\n"
              "\t<class id=\"5\">\n\t\t<name>first</name>\n\t\t<custo_name></custo_name>\n\t</class>\n"
              "\t<class id=\"5\">\n\t\t<name>second</name>\n\t</class>\n"
              "\t<class id=\"6\">\n\t\t<name>six</name>\n\t</class>\n"
              "\t<global>\n\t\t<user_name>u</user_name>\n\t</global>\n"
              "</account>\n");
    CTestAccount account;
    ASSERT_EQ(account.Load(ProgramPath(dir.Path())), 1);
    ASSERT_EQ(account.GetClassCount(), 2);
    EXPECT_EQ(account.GetClassAt(0)->GetName(), CString("first"));
    EXPECT_EQ(account.GetClassAt(0)->GetCustoName(), CString("first"));  // empty: the name stands in
    EXPECT_EQ(account.GetClassAt(1)->GetId(), CString("6"));
    // No access element with a cookie and password both empty: open.
    EXPECT_FALSE(account.IsLocked());
    EXPECT_FALSE(account.IsAccessEnabled());
}

// A class id names a folder: ids from a hand-edited file that could reach
// outside the account folder are skipped.
TEST(AccountFile, UnsafeClassIdsAreSkipped)
{
    TempDir dir;
    dir.Write("tavrin.xml",
              "<account>\n"
              "\t<class id=\"..\\..\\x\">\n\t\t<name>up</name>\n\t</class>\n"
              "\t<class id=\"\">\n\t\t<name>empty</name>\n\t</class>\n"
              "\t<class id=\"a/b\">\n\t\t<name>slash</name>\n\t</class>\n"
              "\t<class id=\"c_7-x\">\n\t\t<name>fine</name>\n\t</class>\n"
              "\t<global>\n\t\t<user_name>u</user_name>\n\t</global>\n"
              "</account>\n");
    CTestAccount account;
    ASSERT_EQ(account.Load(ProgramPath(dir.Path())), 1);
    ASSERT_EQ(account.GetClassCount(), 1);
    EXPECT_EQ(account.GetClassAt(0)->GetId(), CString("c_7-x"));
}
