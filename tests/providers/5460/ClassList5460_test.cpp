#include "tests/providers/5460/ProviderFixture.h"

#include "core/model/ModelEvents.h"
#include "core/model/PrivateStore.h"
#include "core/services/XmlCursor.h"
#include "platform/base/Clock.h"
#include "providers/5460/ClassList5460.h"
#include "tests/sim/5460/Site5460.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace tavrin::test {
namespace {

const char kLogin[] = "/gy5460/jsp/login/login.jsp";
const char kClassPage[] = "/gy5460/jsp/class/class.jsp";
const char kPerson[] = "/gy5460/jsp/person/person.jsp";

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class ClassListTest : public Provider5460Test {
protected:
    ClassListTest()
    {
        SeedUser();
        sim.Edit([](sim::Scenario& s) {
            s.users[0].loginCount = 6;
            s.users[0].classIds = {"301", "302"};
            auto& a = s.Class("301");
            a.schoolName = "学校A";
            a.name = "<b>一班</b>";
            a.schoolId = "77";
            a.slogan = "团结\\\"向上";
            a.homePage = "http://a.example/";
            a.manager = "王五";
            a.deputy = "赵六";
            a.visitCount = "  12  ";
            auto& b = s.Class("302");
            b.schoolName = "学校B";
            b.name = "二班";
            b.manager = "钱七";
            b.visitCount = "3";
        });
    }

    // Runs fn on a worker, as the pool does, while this thread pumps.
    void RunOnWorker(const std::function<void()>& fn) { window.RunOnWorker(fn); }

    void UpdateClassList()
    {
        RunOnWorker([&] { account.UpdateClassList(0); });
    }

    std::vector<std::string> Ids()
    {
        std::vector<std::string> out;
        for (int i = 0; i < account.GetClassCount(); ++i)
            out.push_back(account.GetClassAt(i)->GetId().Str());
        return out;
    }

    std::string Misc(const std::string& id) { return ReadFile(ClassFolder(id) + "/misc.htm"); }
    bool HasMisc(const std::string& id) { return std::filesystem::exists(ClassFolder(id) + "/misc.htm"); }
};

TEST_F(ClassListTest, ClassesOfTheWelcomePageInPageOrder)
{
    UpdateClassList();
    ASSERT_EQ(Ids(), (std::vector<std::string>{"301", "302"}));
    CSchoolClass* first = account.GetClassAt(0);
    EXPECT_EQ(first->GetName(), CString("<b>一班</b>"));
    EXPECT_EQ(first->GetCustoName(), CString("一班"));
    EXPECT_EQ(first->GetSchoolName(), CString("学校A"));
    EXPECT_EQ(first->GetSchoolId(), CString("77"));
    EXPECT_EQ(first->GetAccount(), &account);
    ASSERT_NE(first->GetPrivateStore(), nullptr);
    ASSERT_NE(first->GetContactStore(), nullptr);
    EXPECT_EQ(account.GetClassAt(1)->GetCustoName(), CString("二班"));
    EXPECT_EQ(account.GetRealName(), CString("李四"));

    const std::string misc = Misc("301");
    EXPECT_NE(misc.find("var slogan = \"团结\\\\\\\"向上\";"), std::string::npos);
    EXPECT_NE(misc.find("var home_page = \"http://a.example/\";"), std::string::npos);
    EXPECT_NE(misc.find("var school_name = \"学校A\";"), std::string::npos);
    EXPECT_NE(misc.find("var class_name = \"一班\";"), std::string::npos);
    EXPECT_NE(misc.find("var manager = \"王五\";"), std::string::npos);
    EXPECT_NE(misc.find("var deputy = \"赵六\";"), std::string::npos);
    EXPECT_NE(misc.find("var member_count = \"0\";"), std::string::npos);
    // The visit count trimmed, over the login count of the welcome page.
    EXPECT_NE(misc.find("var visit_count = \"12/7\";"), std::string::npos);
    EXPECT_TRUE(HasMisc("302"));

    EXPECT_EQ(AccountLog().front(), "[班级信息]开始更新...");
    EXPECT_EQ(AccountLog().back(), "[班级信息]更新结束.");
    EXPECT_EQ(window.Codes(WM_ACCOUNT_EVENT, false).back(), 1);
}

TEST_F(ClassListTest, KnownClassesKeepTheirObjects)
{
    CSchoolClass* kept = AddClass("302");
    kept->SetCustoName("我的班");
    CSchoolClass* leaving = AddClass("300");
    // Unsaved work of the class that leaves.
    CXmlFile& xml = *leaving->GetPrivateStore()->GetXmlFile();
    {
        CXmlCursor cursor(xml);
        xml.ResetPos(cursor.GetId());
        cursor.FindChildElem("private", TRUE);
        cursor.AddChildElem("item", "");
    }
    // The kept class's running work goes on through the pass.
    auto gate = std::make_shared<sim::Gate>();
    sim.SetFault("", kPerson, sim::Fault::StallAt(gate));
    CStringArray none;
    kept->GetContactStore()->StartUpdate(none, 0);
    ASSERT_TRUE(gate->WaitArrivals(1));
    UpdateClassList();
    EXPECT_TRUE(kept->GetContactStore()->IsUpdating());
    gate->Open();

    ASSERT_EQ(Ids(), (std::vector<std::string>{"301", "302"}));
    EXPECT_EQ(account.GetClassAt(1), kept);
    EXPECT_EQ(kept->GetCustoName(), CString("二班"));
    EXPECT_TRUE(account.HasClass(kept));
    // The class that left was torn down and saved; its object stays readable
    // for events still on their way, which the window ignores.
    EXPECT_FALSE(account.HasClass(leaving));
    EXPECT_EQ(leaving->GetId(), CString("300"));
    EXPECT_EQ(leaving->GetPrivateStore(), nullptr);
    EXPECT_TRUE(leaving->IsClosing());
    EXPECT_NE(ReadFile(ClassFolder("300") + "/private.xml").find("<item"), std::string::npos);
}

TEST_F(ClassListTest, ALeavingClassEndsItsWorkFirstAndAReturningOneLoadsWhatItSaved)
{
    CSchoolClass* leaving = AddClass("300");
    CPrivateStore* notes = leaving->GetPrivateStore();
    {
        CXmlFile& xml = *notes->GetXmlFile();
        CXmlCursor cursor(xml);
        xml.ResetPos(cursor.GetId());
        cursor.FindChildElem("private", TRUE);
        cursor.AddChildElem("item", "");
        cursor.FindChildElem("item");
        cursor.SetAttrib("custo_id", "1");
        cursor.AddChildElem("title", "留下的");
    }
    // A contact update of the leaving class hangs in its request.
    auto gate = std::make_shared<sim::Gate>();
    sim.SetFault("", kPerson, sim::Fault::StallAt(gate));
    CStringArray none;
    leaving->GetContactStore()->StartUpdate(none, 0);
    ASSERT_TRUE(gate->WaitArrivals(1));

    UpdateClassList();
    gate->Open();
    EXPECT_FALSE(account.HasClass(leaving));
    EXPECT_FALSE(leaving->IsBusy());

    // Back on the welcome page: the new object reads the saved notes.
    sim.ClearFaults();
    sim.Edit([](sim::Scenario& s) {
        s.users[0].classIds.push_back("300");
        s.Class("300").schoolName = "学校C";
        s.Class("300").name = "三班";
    });
    UpdateClassList();
    CSchoolClass* back = account.FindClass("300");
    ASSERT_NE(back, nullptr);
    ASSERT_NE(back->GetPrivateStore(), nullptr);
    ASSERT_EQ(back->GetPrivateStore()->GetItemCount(), 1);
    EXPECT_EQ(back->GetPrivateStore()->GetItem(0)->m_title, CString("留下的"));
}

TEST_F(ClassListTest, ClassesLoadedFromTheAccountFileAreKept)
{
    UpdateClassList();
    ASSERT_TRUE(account.SaveAccountFile());

    CAccount5460 loaded;
    ASSERT_EQ(loaded.Load(account.GetDataFolder()), 1);
    loaded.SetNotifyWnd(window.Handle());
    ASSERT_EQ(loaded.GetClassCount(), 2);
    CSchoolClass* first = loaded.GetClassAt(0);
    EXPECT_EQ(first->GetId(), CString("301"));
    EXPECT_EQ(first->GetName(), CString("<b>一班</b>"));
    EXPECT_EQ(first->GetCustoName(), CString("一班"));

    sim.Edit([](sim::Scenario& s) { s.users[0].classIds = {"302", "301"}; });
    RunOnWorker([&] { loaded.UpdateClassList(0); });
    ASSERT_EQ(loaded.GetClassCount(), 2);
    EXPECT_EQ(loaded.GetClassAt(1), first);
    EXPECT_EQ(loaded.GetClassAt(0)->GetId(), CString("302"));
    loaded.Close();
}

TEST_F(ClassListTest, RepeatedAndUnusableLinksAreSkipped)
{
    sim.Edit([](sim::Scenario& s) {
        s.users[0].classIds = {"302", "301", "302"};
        s.users[0].welcomeExtra =
            "<a class=\"style1\" target=\"gongneng\" href=\"gongneng.jsp?csid=..\\evil\">学校/坏</a>"
            "<a class=\"style1\" target=\"gongneng\" href=\"gongneng.jsp?csid=a b\">学校/空格</a>"
            "<a class=\"style1\" target=\"gongneng\" href=\"gongneng.jsp?csid=\">学校/空</a>"
            "<a class=\"style1\" target=\"gongneng\" href=\"gongneng.jsp?csid=303\">没有斜线</a>"
            "<A CLASS=\"style1\" target=\"gongneng\" href=\"gongneng.jsp?csid=x_Y-9\">学校D/大写</A>";
    });
    UpdateClassList();
    EXPECT_EQ(Ids(), (std::vector<std::string>{"302", "301", "x_Y-9"}));
    EXPECT_EQ(sim.Count(kClassPage), 3u);
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "accounts" / "evil"));
}

TEST_F(ClassListTest, SafeClassIds)
{
    for (const char* id : {"301", "a_b-C", "Z"})
        EXPECT_TRUE(::IsSafeClassId(id)) << id;
    for (const char* id : {"", "..", ".", "a/b", "a\\b", "a b", "班", "1.2", "%2e"})
        EXPECT_FALSE(::IsSafeClassId(id)) << id;
}

TEST_F(ClassListTest, AWelcomePageWithoutClassesKeepsThem)
{
    AddClass("301");
    sim.Edit([](sim::Scenario& s) { s.users[0].classIds.clear(); });
    UpdateClassList();
    EXPECT_EQ(Ids(), (std::vector<std::string>{"301"}));
    EXPECT_EQ(AccountLog().back(), "[班级信息]读取网页错误, 更新失败.");
    EXPECT_EQ(window.Codes(WM_ACCOUNT_EVENT, false).back(), 1);
}

TEST_F(ClassListTest, SignInFailureKeepsClassesAndCookie)
{
    CSchoolClass* kept = AddClass("301");
    account.SetCookie("JSESSIONID=old; ");
    const CTime when(clock::Now() - 60);
    account.SetCookieTime(when);
    account.SetUserNameAndPassword("li", "wrong");
    UpdateClassList();

    // The fresh cookie did not save the pass from signing in.
    EXPECT_EQ(sim.Count(kLogin), 1u);
    EXPECT_EQ(account.GetCookie(), CString("JSESSIONID=old; "));
    EXPECT_EQ(account.GetCookieTime().GetTime(), when.GetTime());
    EXPECT_EQ(Ids(), (std::vector<std::string>{"301"}));
    EXPECT_EQ(account.GetClassAt(0), kept);
    EXPECT_EQ(AccountLog().back(), "[班级信息]登陆失败, 无法更新.");
    EXPECT_EQ(window.Codes(WM_ACCOUNT_EVENT, false).back(), 1);
}

// The pass readies its client before it signs in, as every operation does:
// a stop left on the client from before does not fail the next pass.
TEST_F(ClassListTest, AStopLeftOnTheClientIsCleared)
{
    struct StoppedAccount : CAccount5460 {
        void StopClassListClient() { m_classListClient.Abort(); }
    } other;
    other.SetProvider("5460(电信用户)");
    other.SetUserNameAndPassword("li", "pw");
    other.SetDataFolder(CString((dir.Path() / "accounts" / "other").string()));
    other.StopClassListClient();
    other.UpdateClassList(0);
    EXPECT_EQ(other.GetClassCount(), 2);
    other.Close();
}

TEST_F(ClassListTest, ClassPagesThatGiveNoPage)
{
    sim.Edit([](sim::Scenario& s) { s.Class("302").manager.clear(); });
    // The template missing: no page at all rather than an empty one.
    UpdateClassList();
    EXPECT_TRUE(HasMisc("301"));
    EXPECT_FALSE(HasMisc("302"));
    // Every class gets its folder, page or not.
    EXPECT_TRUE(std::filesystem::is_directory(ClassFolder("302")));

    const std::string before = Misc("301");
    std::filesystem::remove(dir.Path() / "styles" / "5460" / "default" / "misc.html");
    sim.Edit([](sim::Scenario& s) { s.Class("301").slogan = "新的"; });
    UpdateClassList();
    EXPECT_EQ(Misc("301"), before);
}

TEST_F(ClassListTest, ClassInformationUpdate)
{
    UpdateClassList();
    CSchoolClass* schoolClass = account.FindClass("301");
    ASSERT_NE(schoolClass, nullptr);
    std::filesystem::remove(ClassFolder("301") + "/misc.htm");
    // A stale cookie: the update signs in first.
    account.SetCookieTime(CTime(clock::Now() - 3600));
    sim.ClearLog();
    RunOnWorker([&] { schoolClass->UpdateClassInfo(0); });

    EXPECT_EQ(sim.Count(kLogin), 1u);
    const std::string misc = Misc("301");
    // Only trailing white space goes; the stored name keeps its tags.
    EXPECT_NE(misc.find("var visit_count = \"  12\";"), std::string::npos);
    EXPECT_NE(misc.find("var class_name = \"\\x3Cb\\x3E一班\\x3C/b\\x3E\";"), std::string::npos);
    EXPECT_NE(misc.find("var manager = \"王五\";"), std::string::npos);
    EXPECT_NE(misc.find("var deputy = \"赵六\";"), std::string::npos);
    EXPECT_EQ(ClassLog(schoolClass), (std::vector<std::string>{"[班级信息]开始更新...", "[班级信息]更新结束."}));
    EXPECT_EQ(window.Codes(WM_CLASS_EVENT, false).back(), 1);

    // Without the template the update ends after its request, silently.
    std::filesystem::remove(dir.Path() / "styles" / "5460" / "default" / "misc.html");
    std::filesystem::remove(ClassFolder("301") + "/misc.htm");
    const size_t events = window.Codes(WM_CLASS_EVENT, false).size();
    RunOnWorker([&] { schoolClass->UpdateClassInfo(0); });
    EXPECT_FALSE(HasMisc("301"));
    EXPECT_EQ(ClassLog(schoolClass).back(), "[班级信息]开始更新...");
    auto codes = window.Codes(WM_CLASS_EVENT, false);
    EXPECT_EQ(std::count(codes.begin() + static_cast<long>(events), codes.end(), 1), 0);
}

TEST_F(ClassListTest, ClassInformationUpdateWithoutAManager)
{
    UpdateClassList();
    CSchoolClass* schoolClass = account.FindClass("301");
    ASSERT_NE(schoolClass, nullptr);
    std::filesystem::remove_all(ClassFolder("301"));
    sim.Edit([](sim::Scenario& s) { s.Class("301").manager.clear(); });
    const size_t events = window.Codes(WM_CLASS_EVENT, false).size();
    RunOnWorker([&] { schoolClass->UpdateClassInfo(0); });
    EXPECT_TRUE(std::filesystem::is_directory(ClassFolder("301")));
    EXPECT_FALSE(HasMisc("301"));
    EXPECT_EQ(ClassLog(schoolClass), (std::vector<std::string>{"[班级信息]开始更新...", "[班级信息]更新结束."}));
    auto codes = window.Codes(WM_CLASS_EVENT, false);
    EXPECT_EQ(std::count(codes.begin() + static_cast<long>(events), codes.end(), 1), 1);
}

TEST_F(ClassListTest, ClassInformationUpdateFailures)
{
    UpdateClassList();
    CSchoolClass* schoolClass = account.FindClass("302");
    ASSERT_NE(schoolClass, nullptr);
    sim.SetFault("", kClassPage, sim::Fault::DropConnection());
    RunOnWorker([&] { schoolClass->UpdateClassInfo(0); });
    EXPECT_EQ(ClassLog(schoolClass).back(), "[班级信息]网络错误, 无法更新.");
    EXPECT_EQ(window.Codes(WM_CLASS_EVENT, false).back(), 1);

    account.SetCookie("");
    account.SetUserNameAndPassword("li", "wrong");
    RunOnWorker([&] { schoolClass->UpdateClassInfo(0); });
    EXPECT_EQ(ClassLog(schoolClass).back(), "[班级信息]登录失败, 无法更新.");
}

} // namespace
} // namespace tavrin::test
