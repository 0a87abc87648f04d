#include "tests/providers/chinaren/ChinaRenFixture.h"

#include "core/services/Config.h"
#include "platform/base/Clock.h"
#include "platform/base/Path.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <thread>

namespace tavrin::test {

std::string MessageXmlItem(int custoId, const std::string& user, const std::string& content)
{
    return "\t<item read=\"0\" custo_id=\"" + std::to_string(custoId) + "\" id=\"" + std::to_string(custoId + 100) +
           "\">\n\t\t<time>2005-05-" + std::to_string(custoId + 10) + "&nbsp;10:00:00</time>\n\t\t<user>" + user +
           "</user>\n\t\t<content>" + content + "</content>\n\t</item>\n";
}

ScopedZone::ScopedZone(const char* zone)
{
    if (const char* old = getenv("TZ")) {
        m_had = true;
        m_old = old;
    }
    setenv("TZ", zone, 1);
    tzset();
}

ScopedZone::~ScopedZone()
{
    if (m_had)
        setenv("TZ", m_old.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

ChinaRenTest::ChinaRenTest()
{
    clock::UseManual(kNow);
    SetProgramFolder(ProgramPath(dir.Path().string()));
    ReloadConfig();
    SetConfig(CFG_PROXY_HOST, "127.0.0.1");
    SetConfig(CFG_PROXY_PORT, CString(sim.ProxyPort()));
    const std::filesystem::path styles = std::filesystem::path(TAVRIN_SOURCE_DIR) / "styles";
    std::filesystem::copy(styles, dir.Path() / "styles", std::filesystem::copy_options::recursive);
    account.SetProvider("ChinaRen(ChinaRen用户)");
    account.SetUserNameAndPassword("Tom", "pw");
    account.SetDataFolder(ProgramPath((dir.Path() / "accounts" / "Tom@cr").string()));
    account.SetNotifyWnd(window.Handle());
}

ChinaRenTest::~ChinaRenTest()
{
    account.Close();
    window.Pump();
    SetProgramFolder(CString());
    ReloadConfig();
    clock::UseReal();
}

void ChinaRenTest::SeedUser(bool sohu)
{
    site.Edit([sohu](sim::chinaren::Data& d) {
        sim::chinaren::User u;
        u.name = "Tom";
        u.password = "pw";
        u.realName = "汤姆";
        u.sohu = sohu;
        d.users.push_back(u);
    });
}

std::vector<std::string> ChinaRenTest::AccountLog()
{
    std::vector<std::string> out;
    for (int i = 0; i < account.GetLogCount(); ++i)
        out.push_back(account.GetLogLine(i).Mid(10).Str()); // "[%H:%M:%S]"
    return out;
}

CSchoolClassChinaRen* ChinaRenTest::AddClass(const CString& id)
{
    auto* schoolClass = static_cast<CSchoolClassChinaRen*>(account.CreateClass());
    schoolClass->SetAccount(&account);
    schoolClass->SetId(id);
    schoolClass->CreateStores();
    account.AddClass(schoolClass);
    return schoolClass;
}

std::vector<std::string> ChinaRenTest::ClassLog(CSchoolClass* schoolClass)
{
    std::vector<std::string> out;
    for (int i = 0; i < schoolClass->GetLogCount(); ++i)
        out.push_back(schoolClass->GetLogLine(i).Mid(10).Str()); // "[%H:%M:%S]"
    return out;
}

void ChinaRenTest::Await(const std::function<BOOL()>& busy)
{
    while (busy()) {
        window.Pump();
        std::this_thread::yield();
    }
    window.Pump();
}

void ChinaRenTest::SignIn()
{
    CHttpClient client;
    Aim(client);
    window.RunOnWorker([&] { ASSERT_EQ(account.Login(&client, nullptr), 1); });
}

void ChinaRenTest::Aim(CHttpClient& client)
{
    client.SetProxy("127.0.0.1", CString(sim.ProxyPort()), "", "", "", TRUE);
    client.SetRetryCount(0);
}

std::string ChinaRenTest::ClassFolder(const std::string& id)
{
    return "accounts/Tom@cr/" + id;
}

} // namespace tavrin::test
