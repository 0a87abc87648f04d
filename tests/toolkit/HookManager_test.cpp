// The hook manager, and the keyboard and mouse managers' own rules (what
// they do with tracking bars is in the tracking tests).
#include "ToolkitTestSupport.h"

#include "platform/base/Clock.h"
#include "platform/mfc/Wnd.h"
#include "platform/win/User.h"
#include "toolkit/commandbars/XTPHookManager.h"
#include "toolkit/commandbars/XTPKeyboardManager.h"
#include "toolkit/commandbars/XTPMouseManager.h"

#include <functional>
#include <string>
#include <vector>

using tavrin::test::ToolkitTest;

namespace {

struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// What the windows' own procedure saw, and what it checks on WM_NCDESTROY.
std::vector<Seen> g_procSeen;
std::vector<std::string> g_log;
std::function<void(HWND, UINT)> g_onProc;

LRESULT CALLBACK PlainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_procSeen.push_back({hwnd, message, wParam, lParam});
    if (g_onProc)
        g_onProc(hwnd, message);
    if (message == WM_USER)
        return 7;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

const char* PlainClass()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &PlainProc;
        wc.lpszClassName = "HookTestWindow";
        RegisterClassA(&wc);
        registered = true;
    }
    return "HookTestWindow";
}

HWND MakeWindow(RECT rc = {0, 0, 100, 100}, HWND parent = nullptr)
{
    DWORD style = parent ? WS_CHILD | WS_VISIBLE : WS_POPUP | WS_VISIBLE;
    return CreateWindowExA(0, PlainClass(), "", style, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                           parent, nullptr, nullptr, nullptr);
}

int ProcCount(UINT message)
{
    int n = 0;
    for (const Seen& s : g_procSeen)
        n += s.message == message;
    return n;
}

void Pump()
{
    MSG msg;
    for (int guard = 0; guard < 10000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++guard) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// A sink with a scripted answer and an action run when it is asked.
class ScriptedSink : public CXTPHookSink {
public:
    ScriptedSink(std::string name, int answer = 0) : m_name(std::move(name)), m_answer(answer) {}
    int OnHookMessage(HWND, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) override
    {
        if (nMessage != WM_USER && nMessage != WM_KEYDOWN)
            return 0;
        g_log.push_back(m_name);
        m_lastMessage = *CWnd::GetCurrentMessage();
        if (m_action)
            m_action();
        if (m_answer == 1)
            lResult = 99;
        wParam += m_addToParams;
        lParam += m_addToParams;
        return m_answer;
    }
    std::string m_name;
    int m_answer;
    int m_addToParams = 0;
    MSG m_lastMessage{};
    std::function<void()> m_action;
};

// A sink that deletes itself while it is asked, unhooking in its destructor
// as a shadow does.
class SelfDeletingSink : public CXTPHookSink {
public:
    ~SelfDeletingSink() override { XTPHookManager()->RemoveAll(this); }
    int OnHookMessage(HWND, UINT nMessage, WPARAM&, LPARAM&, LRESULT&) override
    {
        if (nMessage == WM_USER) {
            g_log.push_back("self");
            delete this;
        }
        return 0;
    }
};

class HookManagerTest : public ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        g_procSeen.clear();
        g_log.clear();
        g_onProc = nullptr;
    }
    void TearDown() override
    {
        g_onProc = nullptr;
        for (HWND hwnd : m_windows)
            if (IsWindow(hwnd))
                DestroyWindow(hwnd);
        ToolkitTest::TearDown();
    }
    HWND Window(RECT rc = {0, 0, 100, 100}, HWND parent = nullptr)
    {
        HWND hwnd = MakeWindow(rc, parent);
        m_windows.push_back(hwnd);
        return hwnd;
    }
    std::vector<HWND> m_windows;
};

} // namespace

TEST_F(HookManagerTest, SinksAreAskedNewestFirstAndTheirAnswersDecide)
{
    struct Case {
        std::vector<int> answers; // in the order the sinks are hooked
        std::vector<std::string> asked;
        bool procCalled;
        LRESULT result;
    };
    const Case cases[] = {
        {{0, 0, 0}, {"c", "b", "a"}, true, 7},
        {{0, 1, 0}, {"c", "b"}, false, 99},
        {{0, 2, 0}, {"c", "b"}, true, 7},
        {{1, 0, 0}, {"c", "b", "a"}, false, 99},
        {{0, 0, 2}, {"c"}, true, 7},
    };
    for (const Case& c : cases) {
        HWND hwnd = Window();
        WNDPROC original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
        ScriptedSink a("a", c.answers[0]), b("b", c.answers[1]), d("c", c.answers[2]);
        XTPHookManager()->SetHook(hwnd, &a);
        XTPHookManager()->SetHook(hwnd, &b);
        XTPHookManager()->SetHook(hwnd, &d);
        XTPHookManager()->SetHook(hwnd, &b); // no second entry
        EXPECT_EQ(XTPHookManager()->GetSinkCount(hwnd), 3);
        EXPECT_NE(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)), original);
        g_log.clear();
        g_procSeen.clear();
        LRESULT result = SendMessageA(hwnd, WM_USER, 1, 2);
        EXPECT_EQ(g_log, c.asked);
        EXPECT_EQ(ProcCount(WM_USER), c.procCalled ? 1 : 0);
        EXPECT_EQ(result, c.result);
        XTPHookManager()->RemoveAll(&a);
        XTPHookManager()->RemoveAll(&b);
        XTPHookManager()->RemoveAll(&d);
        EXPECT_FALSE(XTPHookManager()->IsHooked(hwnd));
        EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)), original);
    }
}

TEST_F(HookManagerTest, SinksMayChangeTheParametersAndSeeTheCurrentMessage)
{
    HWND hwnd = Window();
    ScriptedSink a("a");
    a.m_addToParams = 10;
    XTPHookManager()->SetHook(hwnd, &a);
    SendMessageA(hwnd, WM_USER, 1, 2);
    ASSERT_EQ(ProcCount(WM_USER), 1);
    EXPECT_EQ(g_procSeen.back().wParam, 11u);
    EXPECT_EQ(g_procSeen.back().lParam, 12);
    EXPECT_EQ(a.m_lastMessage.hwnd, hwnd);
    EXPECT_EQ(a.m_lastMessage.message, static_cast<UINT>(WM_USER));
    EXPECT_EQ(a.m_lastMessage.wParam, 1u);
    XTPHookManager()->RemoveHook(hwnd, &a);
}

TEST_F(HookManagerTest, DestroyingTheWindowRemovesTheRecordBeforeItsProcedureRuns)
{
    HWND hwnd = Window();
    WNDPROC original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    ScriptedSink a("a");
    XTPHookManager()->SetHook(hwnd, &a);
    bool hookedAtEnd = true;
    WNDPROC procAtEnd = nullptr;
    g_onProc = [&](HWND h, UINT message) {
        if (message == WM_NCDESTROY) {
            hookedAtEnd = XTPHookManager()->IsHooked(h);
            procAtEnd = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWLP_WNDPROC));
        }
    };
    DestroyWindow(hwnd);
    EXPECT_EQ(ProcCount(WM_NCDESTROY), 1);
    EXPECT_FALSE(hookedAtEnd);
    EXPECT_EQ(procAtEnd, original);
    EXPECT_FALSE(XTPHookManager()->IsHooked(hwnd));
}

TEST_F(HookManagerTest, SinksThatUnhookOrDestroyWhileAskedAreSafe)
{
    // Each case hooks three sinks a, b, c (c asked first) and gives c an action.
    struct Case {
        const char* name;
        std::function<void(HWND, ScriptedSink&, ScriptedSink&, ScriptedSink&)> action;
        std::vector<std::string> asked;
        int procCalls;
        bool hookedAfter;
    };
    const Case cases[] = {
        {"removes itself", [](HWND h, ScriptedSink&, ScriptedSink&, ScriptedSink& c) {
             XTPHookManager()->RemoveHook(h, &c);
         }, {"c", "b", "a"}, 1, true},
        {"removes a later sink", [](HWND h, ScriptedSink&, ScriptedSink& b, ScriptedSink&) {
             XTPHookManager()->RemoveHook(h, &b);
         }, {"c", "a"}, 1, true},
        {"removes every sink", [](HWND h, ScriptedSink& a, ScriptedSink& b, ScriptedSink& c) {
             XTPHookManager()->RemoveHook(h, &a);
             XTPHookManager()->RemoveHook(h, &b);
             XTPHookManager()->RemoveHook(h, &c);
         }, {"c"}, 1, false},
        {"unhooks everything", [](HWND, ScriptedSink&, ScriptedSink&, ScriptedSink&) {
             XTPHookManager()->RemoveAll();
         }, {"c"}, 1, false},
        {"destroys the window", [](HWND h, ScriptedSink&, ScriptedSink&, ScriptedSink&) {
             DestroyWindow(h);
         }, {"c"}, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND hwnd = Window();
        ScriptedSink a("a"), b("b"), last("c");
        XTPHookManager()->SetHook(hwnd, &a);
        XTPHookManager()->SetHook(hwnd, &b);
        XTPHookManager()->SetHook(hwnd, &last);
        last.m_action = [&] { c.action(hwnd, a, b, last); };
        g_log.clear();
        g_procSeen.clear();
        SendMessageA(hwnd, WM_USER, 0, 0);
        EXPECT_EQ(g_log, c.asked);
        EXPECT_EQ(ProcCount(WM_USER), c.procCalls);
        EXPECT_EQ(XTPHookManager()->IsHooked(hwnd) != FALSE, c.hookedAfter);
        XTPHookManager()->RemoveAll(&a);
        XTPHookManager()->RemoveAll(&b);
        XTPHookManager()->RemoveAll(&last);
        if (IsWindow(hwnd)) {
            g_procSeen.clear();
            EXPECT_EQ(SendMessageA(hwnd, WM_USER, 0, 0), 7);
        }
    }
}

TEST_F(HookManagerTest, ASinkMayDeleteItselfWhileAsked)
{
    HWND hwnd = Window();
    ScriptedSink a("a");
    XTPHookManager()->SetHook(hwnd, &a);
    XTPHookManager()->SetHook(hwnd, new SelfDeletingSink);
    EXPECT_EQ(SendMessageA(hwnd, WM_USER, 0, 0), 7);
    EXPECT_EQ(g_log, (std::vector<std::string>{"self", "a"}));
    EXPECT_EQ(XTPHookManager()->GetSinkCount(hwnd), 1);
    // The last sink deleting itself takes the record with it.
    XTPHookManager()->RemoveHook(hwnd, &a);
    XTPHookManager()->SetHook(hwnd, new SelfDeletingSink);
    g_procSeen.clear();
    EXPECT_EQ(SendMessageA(hwnd, WM_USER, 0, 0), 7);
    EXPECT_EQ(ProcCount(WM_USER), 1);
    EXPECT_FALSE(XTPHookManager()->IsHooked(hwnd));
}

TEST_F(HookManagerTest, AWindowSubclassedAgainAfterUsStillReachesItsProcedure)
{
    HWND hwnd = Window();
    ScriptedSink a("a");
    XTPHookManager()->SetHook(hwnd, &a);
    static WNDPROC s_next = nullptr;
    s_next = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
            return CallWindowProcA(s_next, h, m, w, l);
        })));
    XTPHookManager()->RemoveHook(hwnd, &a);
    g_log.clear();
    EXPECT_EQ(SendMessageA(hwnd, WM_USER, 0, 0), 7);
    EXPECT_TRUE(g_log.empty());
    // Hooking it again asks the sink once more, through the same chain.
    XTPHookManager()->SetHook(hwnd, &a);
    EXPECT_EQ(SendMessageA(hwnd, WM_USER, 0, 0), 7);
    EXPECT_EQ(g_log, (std::vector<std::string>{"a"}));
    XTPHookManager()->RemoveHook(hwnd, &a);
}

TEST_F(HookManagerTest, KeyboardHooksExistOnlyWhileSinksAreListed)
{
    CXTPKeyboardManager* pManager = XTPKeyboardManager();
    ScriptedSink a("a"), b("b");
    EXPECT_FALSE(pManager->IsKeyboardHooked());
    pManager->HookKeyboard(&a);
    pManager->HookKeyboard(&b);
    pManager->HookKeyboard(&a);
    EXPECT_TRUE(pManager->IsKeyboardHooked());
    EXPECT_EQ(pManager->GetSinkCount(), 2);
    pManager->UnhookKeyboard(&a);
    EXPECT_TRUE(pManager->IsKeyboardHooked());
    pManager->UnhookKeyboard(&b);
    EXPECT_FALSE(pManager->IsKeyboardHooked());
}

TEST_F(HookManagerTest, ProcessKeyboardHooksAsksNewestFirst)
{
    struct Case {
        std::vector<int> answers;
        std::vector<std::string> asked;
        BOOL swallowed;
    };
    const Case cases[] = {
        {{}, {}, TRUE},
        {{0, 0}, {"b", "a"}, TRUE},
        {{0, 2}, {"b"}, FALSE},
        {{2, 0}, {"b", "a"}, FALSE},
        {{2, 1}, {"b"}, TRUE},
    };
    CXTPKeyboardManager* pManager = XTPKeyboardManager();
    for (const Case& c : cases) {
        std::vector<std::unique_ptr<ScriptedSink>> sinks;
        for (size_t i = 0; i < c.answers.size(); ++i) {
            sinks.push_back(std::make_unique<ScriptedSink>(std::string(1, char('a' + i)), c.answers[i]));
            pManager->HookKeyboard(sinks.back().get());
        }
        g_log.clear();
        EXPECT_EQ(pManager->ProcessKeyboardHooks(WM_KEYDOWN, 'A'), c.swallowed);
        EXPECT_EQ(g_log, c.asked);
        for (auto& sink : sinks)
            pManager->UnhookKeyboard(sink.get());
    }
    // A sink that unhooks the others while asked: they are not asked.
    ScriptedSink a("a"), b("b");
    pManager->HookKeyboard(&a);
    pManager->HookKeyboard(&b);
    b.m_action = [&] {
        pManager->UnhookKeyboard(&a);
        pManager->UnhookKeyboard(&b);
    };
    g_log.clear();
    EXPECT_TRUE(pManager->ProcessKeyboardHooks(WM_KEYDOWN, 'A'));
    EXPECT_EQ(g_log, (std::vector<std::string>{"b"}));
    EXPECT_FALSE(pManager->IsKeyboardHooked());
}

TEST_F(HookManagerTest, KeysGoToTheSinksInsteadOfTheFocusWindow)
{
    HWND hwnd = Window();
    SetActiveWindow(hwnd);
    SetFocus(hwnd);
    Pump();
    ScriptedSink taker("taker", 0), passer("passer", 2);
    XTPKeyboardManager()->HookKeyboard(&taker);
    g_procSeen.clear();
    tavrin::win::InjectKey('Q', true);
    tavrin::win::InjectKey('Q', false);
    Pump();
    EXPECT_EQ(ProcCount(WM_KEYDOWN), 0);
    EXPECT_EQ(ProcCount(WM_CHAR), 0);
    EXPECT_EQ(ProcCount(WM_KEYUP), 1) << "releases are not the sinks'";
    // A sink that lets keys through (an edit box on a bar).
    XTPKeyboardManager()->HookKeyboard(&passer);
    tavrin::win::InjectKey('Q', true);
    tavrin::win::InjectKey('Q', false);
    Pump();
    EXPECT_EQ(ProcCount(WM_KEYDOWN), 1);
    EXPECT_EQ(ProcCount(WM_CHAR), 1);
    XTPKeyboardManager()->UnhookKeyboard(&passer);
    XTPKeyboardManager()->UnhookKeyboard(&taker);
    // Without sinks the keys reach the window.
    g_procSeen.clear();
    tavrin::win::InjectKey('Q', true);
    tavrin::win::InjectKey('Q', false);
    Pump();
    EXPECT_EQ(ProcCount(WM_CHAR), 1);
}

TEST_F(HookManagerTest, TheMouseHookSwallowsExactlyOneReleaseWhenAsked)
{
    HWND hwnd = Window({0, 0, 100, 100});
    CXTPMouseManager* pManager = XTPMouseManager();
    EXPECT_TRUE(pManager->IsMouseHooked());
    using tavrin::win::InjectMouseButton;
    using tavrin::win::MouseButton;
    tavrin::win::InjectMouseMove(50, 50);
    InjectMouseButton(MouseButton::Left, true);
    Pump();
    pManager->SetIgnoreRelease();
    g_procSeen.clear();
    InjectMouseButton(MouseButton::Left, false);
    InjectMouseButton(MouseButton::Left, true);
    InjectMouseButton(MouseButton::Left, false);
    Pump();
    EXPECT_EQ(ProcCount(WM_LBUTTONUP), 1);
    EXPECT_EQ(ProcCount(WM_LBUTTONDOWN), 1);
    EXPECT_FALSE(pManager->IsIgnoreRelease());
    // A press in between clears the request: the release after it is the press's.
    pManager->SetIgnoreRelease();
    g_procSeen.clear();
    InjectMouseButton(MouseButton::Left, true);
    InjectMouseButton(MouseButton::Left, false);
    Pump();
    EXPECT_EQ(ProcCount(WM_LBUTTONUP), 1);
    (void)hwnd;
}

TEST_F(HookManagerTest, TheLeaveTimerPostsMouseLeaveOnceTheCursorIsOut)
{
    tavrin::clock::ManualScope clock(1000000);
    HWND a = Window({0, 0, 100, 100});
    HWND b = Window({200, 0, 300, 100});
    CXTPMouseManager* pManager = XTPMouseManager();
    tavrin::win::InjectMouseMove(50, 50);
    Pump();
    pManager->TrackMouseLeave(a);
    EXPECT_EQ(pManager->GetMouseLeaveWindow(), a);
    g_procSeen.clear();
    tavrin::clock::Advance(50);
    Pump();
    EXPECT_EQ(ProcCount(WM_MOUSELEAVE), 0) << "the cursor is still inside";
    // A fast exit: no mouse move inside the window ever says the mouse left.
    SetCursorPos(500, 500);
    Pump();
    EXPECT_EQ(ProcCount(WM_MOUSELEAVE), 0);
    tavrin::clock::Advance(50);
    Pump();
    ASSERT_EQ(ProcCount(WM_MOUSELEAVE), 1);
    EXPECT_EQ(g_procSeen.back().hwnd, a);
    EXPECT_EQ(pManager->GetMouseLeaveWindow(), nullptr);
    tavrin::clock::Advance(200);
    Pump();
    EXPECT_EQ(ProcCount(WM_MOUSELEAVE), 1) << "the timer stopped";

    // Watching another window tells the first at once, and only once.
    tavrin::win::InjectMouseMove(50, 50);
    Pump();
    pManager->TrackMouseLeave(a);
    g_procSeen.clear();
    pManager->TrackMouseLeave(b);
    EXPECT_EQ(ProcCount(WM_MOUSELEAVE), 1);
    tavrin::clock::Advance(50);
    Pump();
    // The cursor is not in b: b is told, a is not told again.
    ASSERT_EQ(ProcCount(WM_MOUSELEAVE), 2);
    EXPECT_EQ(g_procSeen.back().hwnd, b);

    // A destroyed window ends its watch quietly.
    tavrin::win::InjectMouseMove(250, 50);
    Pump();
    pManager->TrackMouseLeave(b);
    DestroyWindow(b);
    tavrin::clock::Advance(50);
    Pump();
    pManager->TrackMouseLeave(a);
    EXPECT_EQ(pManager->GetMouseLeaveWindow(), a);
    pManager->TrackMouseLeave(nullptr);
}
