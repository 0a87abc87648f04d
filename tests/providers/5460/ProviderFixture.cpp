#include "tests/providers/5460/ProviderFixture.h"

#include "core/model/ModelEvents.h"
#include "core/services/Config.h"
#include "platform/base/Clock.h"
#include "platform/base/Path.h"
#include "platform/win/Window.h"
#include "platform/win/WindowClass.h"
#include "tests/sim/5460/Site5460.h"

#include <filesystem>

namespace tavrin::test {

Provider5460Test::Provider5460Test()
{
    clock::UseManual(kNow);
    SetProgramFolder(ProgramPath(dir.Path().string()));
    ReloadConfig();
    SetConfig(CFG_PROXY_HOST, "127.0.0.1");
    SetConfig(CFG_PROXY_PORT, CString(sim.ProxyPort()));
    const std::filesystem::path styles = std::filesystem::path(TAVRIN_SOURCE_DIR) / "styles";
    std::filesystem::copy(styles, dir.Path() / "styles", std::filesystem::copy_options::recursive);
    sim::p5460::Install(sim);
    account.SetProvider("5460(电信用户)");
    account.SetUserNameAndPassword("li", "pw");
    account.SetDataFolder(ProgramPath((dir.Path() / "accounts" / "li@5460").string()));
    account.SetNotifyWnd(window.Handle());
}

Provider5460Test::~Provider5460Test()
{
    account.Close();
    window.Pump();
    SetProgramFolder(CString());
    ReloadConfig();
    clock::UseReal();
}

void Provider5460Test::SeedUser()
{
    sim.Edit([](sim::Scenario& s) {
        sim::User u;
        u.name = "li";
        u.password = "pw";
        u.realName = "李四";
        u.userId = "42";
        u.classIds = {"301"};
        s.users.push_back(u);
        s.Class("301").name = "三班";
    });
}

static std::vector<std::string> Strip(int count, const std::function<CString(int)>& line)
{
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i)
        out.push_back(line(i).Mid(10).Str()); // "[%H:%M:%S]"
    return out;
}

std::vector<std::string> Provider5460Test::AccountLog()
{
    return Strip(account.GetLogCount(), [&](int i) { return account.GetLogLine(i); });
}

std::vector<std::string> Provider5460Test::ClassLog(CSchoolClass* schoolClass)
{
    return Strip(schoolClass->GetLogCount(), [&](int i) { return schoolClass->GetLogLine(i); });
}

CSchoolClass5460* Provider5460Test::AddClass(const CString& id)
{
    auto* schoolClass = static_cast<CSchoolClass5460*>(account.CreateClass());
    schoolClass->SetAccount(&account);
    schoolClass->SetId(id);
    account.AddClass(schoolClass);
    schoolClass->CreateStores();
    return schoolClass;
}

CContactStore5460* Provider5460Test::Contacts(CSchoolClass* schoolClass)
{
    return static_cast<CContactStore5460*>(schoolClass->GetContactStore());
}

void Provider5460Test::Aim(CHttpClient& client)
{
    client.SetProxy("127.0.0.1", CString(sim.ProxyPort()), "", "", "", TRUE);
    client.SetRetryCount(0);
}

std::string Provider5460Test::ClassFolder(const std::string& id)
{
    return (dir.Path() / "accounts" / "li@5460" / id).string();
}

} // namespace tavrin::test
