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

namespace {
const char kClassName[] = "Tavrin5460TestEvents";
}

EventWindow::EventWindow()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &EventWindow::Procedure;
        wc.lpszClassName = kClassName;
        RegisterClassA(&wc);
    });
    m_hwnd = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

EventWindow::~EventWindow()
{
    SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, 0);
    DestroyWindow(m_hwnd);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

LRESULT CALLBACK EventWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<EventWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && (message == WM_ACCOUNT_EVENT || message == WM_CLASS_EVENT)) {
        std::lock_guard<std::mutex> lock(self->m_lock);
        self->m_events.push_back({message, wParam, InSendMessage() != 0});
        return 1;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void EventWindow::Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

std::vector<EventWindow::Event> EventWindow::Events()
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_events;
}

std::vector<int> EventWindow::Codes(UINT message, bool sent)
{
    std::vector<int> out;
    for (const Event& e : Events())
        if (e.message == message && e.sent == sent)
            out.push_back(static_cast<int>(e.code));
    return out;
}

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
