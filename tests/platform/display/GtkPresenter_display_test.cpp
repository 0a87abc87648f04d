// Real windows under a display server: a top-level window with painted
// pixels and a browser child, links and form posts of a page reaching the
// program, and typed text reaching the window.
#include "platform/base/CodePage.h"
#include "platform/base/Path.h"
#include "platform/browser/BrowserWindow.h"
#include "platform/display/WebKitEngine.h"
#include "platform/display/GtkPresenter.h"
#include "platform/win/Focus.h"
#include "platform/win/Hooks.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/Painting.h"
#include "platform/gdi/Png.h"
#include "platform/win/WindowGeometry.h"
#include "platform/win/Window.h"
#include "tests/support/DisplayPump.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <vector>

using namespace tavrin;
using tavrin::test::PumpUntil;

namespace {

std::vector<MSG>* g_received = nullptr;

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (g_received && (message == WM_CHAR || message == WM_KEYDOWN || message == WM_LBUTTONDOWN))
        g_received->push_back(MSG{hwnd, message, wParam, lParam, 0, {0, 0}});
    if (message == WM_LBUTTONDOWN)
        SetFocus(hwnd); // as a control that takes the keyboard when clicked
    if (message == WM_PAINT) {
        // A grey client area with a red block where a painted child would be.
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd, &ps);
        RECT client;
        GetClientRect(hwnd, &client);
        HBRUSH grey = CreateSolidBrush(RGB(0xC0, 0xC0, 0xC0));
        HBRUSH red = CreateSolidBrush(RGB(0xFF, 0, 0));
        FillRect(hdc, &client, grey);
        RECT block{10, 10, 110, 60};
        FillRect(hdc, &block, red);
        DeleteObject(grey);
        DeleteObject(red);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

std::string Script(HWND host, const char* script)
{
    bool done = false;
    std::string result;
    browser::RunWebKitScript(host, script, [&](const std::string& r) {
        result = r;
        done = true;
    });
    PumpUntil([&] { return done; });
    return result;
}

const char* const kPage =
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\"></head>"
    "<body style=\"margin:0;background:#ffffff\">"
    "<div id=out></div>"
    "<script>document.getElementById('out').innerHTML ="
    " '<div style=\"background:#00c000;color:#000000;height:40px;font-size:20px\">脚本写的</div>';</script>"
    "<a id=link href=\"tavrin:点击查看[张三]的通讯录\" style=\"display:block;height:40px;background:#0000ff\">张三</a>"
    "<form id=vote action=\"tavrin:投票\" method=post><input name=choice value=\"同意\"></form>"
    "<form id=up action=\"tavrin:上传照片\" method=post enctype=\"multipart/form-data\">"
    "<input id=file type=file name=photo style=\"display:block;width:200px;height:30px\"></form>"
    "<input id=box style=\"display:block;width:200px;height:24px\">"
    "<script>window.downs = 0; document.addEventListener('mousedown', function() { window.downs++; });"
    " document.addEventListener('contextmenu', function(e) { e.preventDefault(); });</script>"
    "</body></html>";

int g_hookedA = 0;
LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam == 'A' && !(lParam & (LPARAM(1) << 31)))
        ++g_hookedA;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

TEST(GtkPresenterDisplay, WindowWithPaintedChildAndBrowser)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no display";
    display::GtkPresenter* presenter = display::StartGtkPresenter();
    ASSERT_TRUE(presenter);

    WNDCLASSA wc{};
    wc.lpfnWndProc = FrameProc;
    wc.lpszClassName = "TavrinDisplayFrame";
    RegisterClassA(&wc);
    std::vector<MSG> received;
    g_received = &received;
    HWND frame = CreateWindowExA(0, "TavrinDisplayFrame", "显示测试", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 420,
                                 300, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(frame);
    HWND pane = CreateWindowExA(0, browser::BrowserWindowClass(), "", WS_CHILD | WS_VISIBLE, 160, 10, 240, 260, frame,
                                nullptr, nullptr, nullptr);
    ASSERT_TRUE(pane);
    browser::Engine* engine = browser::GetBrowserEngine(pane);
    ASSERT_TRUE(engine);

    test::TempDir dir;
    auto pageFile = dir.Write(GbkToUtf8("班级/message.htm"), kPage);
    auto photo = dir.Write(GbkToUtf8("相册/照片.jpg"), std::string("\xFF\xD8\xFF\xE0", 4));
    const std::string pagePath = ProgramPath(pageFile.string()).Str();
    const std::string photoPath = ProgramPath(photo.string()).Str();

    std::vector<browser::BeforeNavigate> events;
    engine->SetBeforeNavigate([&](browser::BeforeNavigate& e) {
        events.push_back(e);
        if (e.url.rfind("tavrin:", 0) == 0)
            e.cancel = true;
    });
    ASSERT_TRUE(engine->Navigate(pagePath));
    ASSERT_TRUE(PumpUntil([&] { return !browser::IsWebKitLoading(pane) && !engine->GetLocationURL().empty(); }));
    const std::string location = engine->GetLocationURL();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].url, location);
    EXPECT_EQ(Script(pane, "document.getElementById('out').textContent"), GbkToUtf8("脚本写的"));
    EXPECT_EQ(Script(pane, "document.characterSet"), "GBK");

    // The screen shows the painted pixels and what the page's script wrote.
    std::unique_ptr<Surface> shot;
    const bool shown = PumpUntil([&] {
        presenter->Flush();
        shot = presenter->CaptureWindow(frame);
        return shot && shot->Width() >= 400 && (shot->GetPixel(390, 15) & 0x00FFFFFF) == 0x0000C000;
    }, 5000);
    ASSERT_TRUE(shot);
    SavePng(*shot, "/tmp/tavrin-display-window.png");
    ASSERT_TRUE(shown);
    EXPECT_EQ(shot->GetPixel(20, 20) & 0x00FFFFFF, 0x00FF0000u);
    EXPECT_EQ(shot->GetPixel(5, 200) & 0x00FFFFFF, 0x00C0C0C0u);
    EXPECT_EQ(shot->GetPixel(170, 70) & 0x00FFFFFF, 0x000000FFu) << "the link's block";

    // A click on the link reaches the program as the decoded GBK URL; the page stays.
    events.clear();
    ASSERT_TRUE(presenter->SimulateClick(frame, 180, 70, 1));
    ASSERT_TRUE(PumpUntil([&] { return !events.empty(); }));
    EXPECT_EQ(events[0].url, "tavrin:点击查看[张三]的通讯录");
    EXPECT_TRUE(events[0].postData.empty());
    EXPECT_EQ(engine->GetLocationURL(), location);

    // A posted form arrives with its bytes in the page's charset.
    events.clear();
    Script(pane, "document.getElementById('vote').submit(); 1");
    ASSERT_TRUE(PumpUntil([&] { return !events.empty(); }));
    EXPECT_EQ(events[0].url, "tavrin:投票");
    EXPECT_EQ(events[0].headers, "Content-Type: application/x-www-form-urlencoded\r\n");
    EXPECT_EQ(events[0].postData, "choice=%CD%AC%D2%E2");
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(engine->GetLocationURL(), location);
    EXPECT_EQ(Script(pane, "document.getElementById('out').textContent"), GbkToUtf8("脚本写的"));

    // An upload: the file picked in our chooser is named by its full path.
    browser::SetFileChooser([&](bool) { return std::vector<std::string>{photoPath}; });
    ASSERT_TRUE(presenter->SimulateClick(frame, 200, 138, 1));
    ASSERT_TRUE(PumpUntil([&] { return Script(pane, "document.getElementById('file').files.length") == "1"; }));
    events.clear();
    Script(pane, "document.getElementById('up').submit(); 1");
    ASSERT_TRUE(PumpUntil([&] { return !events.empty(); }));
    EXPECT_EQ(events[0].url, "tavrin:上传照片");
    EXPECT_NE(events[0].postData.find("name=\"photo\"; filename=\"" + photoPath + "\"\r\nContent-Type: image/jpeg\r\n\r\n" +
                                      std::string("\xFF\xD8\xFF\xE0", 4)),
              std::string::npos)
        << events[0].postData;
    browser::SetFileChooser(nullptr);

    // The program's loop sees the page's right clicks and keys first and may
    // swallow them: the page never hears of those.
    std::vector<MSG> swallowed;
    test::SetPumpFilter([&](const MSG& m) {
        const bool eat = m.hwnd == pane && (m.message == WM_RBUTTONDOWN || m.message == WM_RBUTTONUP ||
                                           (m.message == WM_KEYDOWN && m.wParam == 'X'));
        if (eat)
            swallowed.push_back(m);
        return eat;
    });
    const int downs = std::atoi(Script(pane, "String(window.downs)").c_str());
    ASSERT_TRUE(presenter->SimulateClick(frame, 300, 20, 3));
    ASSERT_TRUE(PumpUntil([&] { return swallowed.size() >= 2; }));
    EXPECT_EQ(swallowed[0].message, static_cast<UINT>(WM_RBUTTONDOWN));
    EXPECT_EQ(swallowed[0].lParam, MAKELPARAM(140, 10)) << "client coordinates of the pane";
    EXPECT_EQ(Script(pane, "String(window.downs)"), std::to_string(downs));
    const int boxTop = std::atoi(Script(pane, "String(document.getElementById('box').getBoundingClientRect().top)").c_str());
    ASSERT_GT(boxTop, 0);
    ASSERT_TRUE(presenter->SimulateClick(frame, 200, 10 + boxTop + 12, 1));
    ASSERT_TRUE(PumpUntil([&] { return Script(pane, "String(window.downs)") == std::to_string(downs + 1); }));
    EXPECT_EQ(GetFocus(), pane) << "a click gives the pane the focus";
    ASSERT_TRUE(PumpUntil([&] { return Script(pane, "document.activeElement.id") == "box"; }));
    ASSERT_TRUE(presenter->SimulateKey(frame, "x"));
    ASSERT_TRUE(presenter->SimulateKey(frame, "y"));
    ASSERT_TRUE(PumpUntil([&] { return Script(pane, "document.getElementById('box').value") == "y"; }));
    EXPECT_EQ(swallowed.back().wParam, static_cast<WPARAM>('X'));
    test::SetPumpFilter(nullptr);

    // Typed text reaches the focused window through the injected path (the
    // keyboard hook hears it): a key, and text from an input method.
    HHOOK hook = SetWindowsHookExA(WH_KEYBOARD, KeyboardHook, nullptr, GetCurrentThreadId());
    received.clear();
    ASSERT_TRUE(presenter->SimulateClick(frame, 50, 200, 1));
    ASSERT_TRUE(PumpUntil([&] { return !received.empty(); }));
    EXPECT_EQ(GetFocus(), frame);
    ASSERT_TRUE(presenter->SimulateKey(frame, "a"));
    auto chars = [&] {
        std::string text;
        for (const MSG& m : received)
            if (m.message == WM_CHAR)
                text += static_cast<char>(m.wParam);
        return text;
    };
    ASSERT_TRUE(PumpUntil([&] { return chars() == "a"; }));
    EXPECT_EQ(g_hookedA, 1);
    ASSERT_TRUE(presenter->SimulateImeCommit(frame, GbkToUtf8("中")));
    ASSERT_TRUE(PumpUntil([&] { return chars().size() >= 3; }));
    EXPECT_EQ(chars(), "a中");
    UnhookWindowsHookEx(hook);

    g_received = nullptr;
    DestroyWindow(frame);
    presenter->WindowDestroyed(frame);
}
