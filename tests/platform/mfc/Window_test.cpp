// Window objects: creation through the framework, message maps, commands
// and notifications between parent and child, reflection, subclassing,
// pre-translation, sends to descendants and exceptions in handlers.
#include "platform/mfc/WinApp.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_log;
UINT g_registered = ::RegisterWindowMessageA("TavrinFrameworkTest");

constexpr UINT kNotifyCode = 0xFFFFFF00u + 7; // a negative code, as the controls' are

class CChildWnd : public CWnd {
public:
    BOOL m_reflectTakes = TRUE;
    std::string m_name = "child";
    int OnCreate(LPCREATESTRUCT cs)
    {
        g_log.push_back(m_name + " create " + std::string(cs->lpszName ? cs->lpszName : ""));
        return CWnd::OnCreate(cs);
    }
    BOOL OnReflectedNotify(NMHDR* header, LRESULT* result)
    {
        g_log.push_back(m_name + " reflected " + std::to_string(header->idFrom));
        *result = 77;
        return m_reflectTakes ? TRUE : FALSE;
    }
    void OnReflectedClick() { g_log.push_back(m_name + " reflected click"); }
    LRESULT OnRegistered(WPARAM wParam, LPARAM) { return static_cast<LRESULT>(wParam * 2); }
    LRESULT OnIdleUpdate(WPARAM, LPARAM)
    {
        g_log.push_back(m_name + " idle");
        return 0;
    }
    BOOL PreTranslateMessage(MSG* msg) override
    {
        g_log.push_back(m_name + " pretranslate");
        return msg->message == WM_USER + 50;
    }
    void PostNcDestroy() override { g_log.push_back(m_name + " gone"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CChildWnd, CWnd)
    ON_WM_CREATE()
    ON_NOTIFY_REFLECT_EX(kNotifyCode, OnReflectedNotify)
    ON_CONTROL_REFLECT(5, OnReflectedClick)
    ON_REGISTERED_MESSAGE(g_registered, OnRegistered)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdate)
END_MESSAGE_MAP()

class CParentWnd : public CWnd {
public:
    void OnNotified(NMHDR* header, LRESULT* result)
    {
        g_log.push_back("parent notified " + std::to_string(header->idFrom));
        *result = 42;
    }
    void OnChildCommand() { g_log.push_back("parent command"); }
    void OnMenuCommand() { g_log.push_back("parent menu command"); }
    void OnUpdateMenuCommand(CCmdUI* ui) { ui->Enable(m_enabled); }
    void OnSize(UINT type, int cx, int cy)
    {
        g_log.push_back("size " + std::to_string(type) + " " + std::to_string(cx) + "x" + std::to_string(cy));
        CWnd::OnSize(type, cx, cy);
    }
    void OnLButtonDown(UINT, CPoint point)
    {
        g_log.push_back("click " + std::to_string(point.x) + "," + std::to_string(point.y));
    }
    void OnTimer(UINT_PTR)
    {
        throw new CMemoryException; // stops at the window procedure
    }
    void OnRButtonDown(UINT, CPoint) { throw std::runtime_error("broken handler"); }
    BOOL PreTranslateMessage(MSG* msg) override
    {
        g_log.push_back("parent pretranslate");
        return msg->message == WM_USER + 51;
    }
    BOOL m_enabled = TRUE;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CParentWnd, CWnd)
    ON_NOTIFY(kNotifyCode, 11, OnNotified)
    ON_CONTROL(5, 11, OnChildCommand)
    ON_COMMAND(300, OnMenuCommand)
    ON_UPDATE_COMMAND_UI(300, OnUpdateMenuCommand)
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_RBUTTONDOWN()
    ON_WM_TIMER()
END_MESSAGE_MAP()

struct Windows {
    CParentWnd parent;
    CChildWnd child;
    Windows()
    {
        g_log.clear();
        EXPECT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, nullptr, nullptr));
        EXPECT_TRUE(child.Create(nullptr, "kid", WS_VISIBLE, CRect(0, 0, 50, 20), &parent, 11));
    }
    LRESULT Notify(UINT code)
    {
        NMHDR header{child.m_hWnd, 11, code};
        return parent.SendMessage(WM_NOTIFY, 11, reinterpret_cast<LPARAM>(&header));
    }
};

} // namespace

TEST(FrameworkWindow, CreationReachesTheMapAndTheObject)
{
    Windows w;
    EXPECT_EQ(CWnd::FromHandlePermanent(w.parent.m_hWnd), &w.parent);
    EXPECT_EQ(CWnd::FromHandle(w.child.m_hWnd), &w.child);
    EXPECT_EQ(w.child.GetParent(), &w.parent);
    EXPECT_EQ(w.child.GetDlgCtrlID(), 11);
    EXPECT_EQ(g_log, (std::vector<std::string>{"size 0 292x173", "child create kid"}));
    g_log.clear();
    w.parent.MoveWindow(0, 0, 200, 100);
    EXPECT_EQ(g_log.back(), "size 0 192x73");
    EXPECT_TRUE(w.parent.DestroyWindow());
    EXPECT_EQ(w.parent.m_hWnd, nullptr);
    EXPECT_EQ(w.child.m_hWnd, nullptr) << "the child went with its parent";
    EXPECT_EQ(g_log.back(), "child gone");
}

TEST(FrameworkWindow, NotificationsAndTheirReflection)
{
    Windows w;
    g_log.clear();
    // The child takes its own notification: the parent never sees it.
    EXPECT_EQ(w.Notify(kNotifyCode), 77);
    EXPECT_EQ(g_log, (std::vector<std::string>{"child reflected 11"}));
    // An _EX reflection answering FALSE lets the parent handle it too.
    g_log.clear();
    w.child.m_reflectTakes = FALSE;
    EXPECT_EQ(w.Notify(kNotifyCode), 42);
    EXPECT_EQ(g_log, (std::vector<std::string>{"child reflected 11", "parent notified 11"}));
    // Another code reaches nobody.
    g_log.clear();
    EXPECT_EQ(w.Notify(kNotifyCode + 1), 0);
    EXPECT_TRUE(g_log.empty());
    // Control notifications by WM_COMMAND: the reflection wins.
    w.parent.SendMessage(WM_COMMAND, MAKEWPARAM(11, 5), reinterpret_cast<LPARAM>(w.child.m_hWnd));
    EXPECT_EQ(g_log, (std::vector<std::string>{"child reflected click"}));
    // A notification from a window without an object of its own goes to the parent's map.
    g_log.clear();
    HWND plain = ::CreateWindowExA(0, AFX_WND_CLASS, "", WS_CHILD, 0, 0, 5, 5, w.parent.m_hWnd,
                                   reinterpret_cast<HMENU>(11), nullptr, nullptr);
    w.parent.SendMessage(WM_COMMAND, MAKEWPARAM(11, 5), reinterpret_cast<LPARAM>(plain));
    EXPECT_EQ(g_log, (std::vector<std::string>{"parent command"}));
}

TEST(FrameworkWindow, MenuCommandsHonourTheirUpdateHandler)
{
    Windows w;
    g_log.clear();
    w.parent.SendMessage(WM_COMMAND, 300, 0);
    EXPECT_EQ(g_log, (std::vector<std::string>{"parent menu command"}));
    g_log.clear();
    w.parent.m_enabled = FALSE;
    EXPECT_EQ(w.parent.SendMessage(WM_COMMAND, 300, 0), 1) << "a disabled command is eaten";
    EXPECT_TRUE(g_log.empty());
}

TEST(FrameworkWindow, RegisteredAndUserMessages)
{
    Windows w;
    EXPECT_EQ(w.child.SendMessage(g_registered, 21, 0), 42);
    EXPECT_EQ(w.child.SendMessage(::RegisterWindowMessageA("SomeOtherMessage"), 21, 0), 0);
}

TEST(FrameworkWindow, ExceptionsStopAtTheWindowProcedure)
{
    Windows w;
    EXPECT_EQ(w.parent.SendMessage(WM_TIMER, 1, 0), 0);
    EXPECT_EQ(w.parent.SendMessage(WM_RBUTTONDOWN, 0, 0), 0);
    EXPECT_TRUE(::IsWindow(w.parent.m_hWnd)) << "the window lives on";
}

namespace {
struct CFailingCreate : CWnd {
    int OnCreate(LPCREATESTRUCT) { throw new CResourceException; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CFailingCreate, CWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()
} // namespace

TEST(FrameworkWindow, AThrowingCreateHandlerFailsTheCreation)
{
    CFailingCreate failing;
    EXPECT_FALSE(failing.CreateEx(0, nullptr, "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(failing.m_hWnd, nullptr);
}

namespace {
LRESULT CALLBACK NativeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USER + 1) {
        g_log.push_back("native " + std::to_string(wParam));
        return 5;
    }
    if (message == WM_USER + 2)
        return 9;
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

class CSubclassed : public CWnd {
public:
    LRESULT OnFirst(WPARAM wParam, LPARAM)
    {
        g_log.push_back("object " + std::to_string(wParam));
        return Default() + 100; // the native procedure still answers below
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CSubclassed, CWnd)
    ON_MESSAGE(WM_USER + 1, OnFirst)
END_MESSAGE_MAP()
} // namespace

TEST(FrameworkWindow, SubclassingAndUnsubclassingANativeWindow)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = &NativeProc;
    wc.lpszClassName = "TavrinNativeTestClass";
    ::RegisterClassA(&wc);
    HWND native = ::CreateWindowExA(0, "TavrinNativeTestClass", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    nullptr, nullptr);
    ASSERT_NE(native, nullptr);
    g_log.clear();
    {
        CSubclassed object;
        ASSERT_TRUE(object.SubclassWindow(native));
        EXPECT_EQ(CWnd::FromHandlePermanent(native), &object);
        EXPECT_EQ(::SendMessageA(native, WM_USER + 1, 3, 0), 105);
        EXPECT_EQ(::SendMessageA(native, WM_USER + 2, 0, 0), 9) << "unmapped messages reach the native procedure";
        EXPECT_EQ(g_log, (std::vector<std::string>{"object 3", "native 3"}));
        EXPECT_EQ(object.UnsubclassWindow(), native);
        EXPECT_EQ(CWnd::FromHandlePermanent(native), nullptr);
    }
    g_log.clear();
    EXPECT_EQ(::SendMessageA(native, WM_USER + 1, 4, 0), 5);
    EXPECT_EQ(g_log, (std::vector<std::string>{"native 4"}));
    ::DestroyWindow(native);
}

TEST(FrameworkWindow, SendingToDescendants)
{
    Windows w;
    CChildWnd grandchild;
    grandchild.m_name = "grandchild";
    ASSERT_TRUE(grandchild.Create(nullptr, "g", WS_VISIBLE, CRect(0, 0, 5, 5), &w.child, 12));
    HWND plain = ::CreateWindowExA(0, AFX_WND_CLASS, "", WS_CHILD, 0, 0, 5, 5, w.parent.m_hWnd, nullptr, nullptr,
                                   nullptr);
    ASSERT_NE(plain, nullptr);
    struct Case {
        BOOL deep;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {TRUE, {"child idle", "grandchild idle"}},
        {FALSE, {"child idle"}},
    };
    for (const Case& c : cases) {
        g_log.clear();
        w.parent.SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, c.deep, TRUE);
        EXPECT_EQ(g_log, c.expected);
    }
}

TEST(FrameworkWindow, PreTranslationWalksFromTheTargetUp)
{
    Windows w;
    struct Case {
        UINT message;
        BOOL taken;
        std::vector<std::string> order;
    };
    const Case cases[] = {
        {WM_USER + 50, TRUE, {"child pretranslate"}},
        {WM_USER + 51, TRUE, {"child pretranslate", "parent pretranslate"}},
        {WM_USER + 52, FALSE, {"child pretranslate", "parent pretranslate"}},
    };
    for (const Case& c : cases) {
        g_log.clear();
        MSG msg{w.child.m_hWnd, c.message, 0, 0, 0, {0, 0}};
        EXPECT_EQ(CWnd::WalkPreTranslateTree(w.parent.m_hWnd, &msg), c.taken);
        EXPECT_EQ(g_log, c.order);
    }
    // The walk stops at the given window.
    g_log.clear();
    MSG msg{w.child.m_hWnd, WM_USER + 52, 0, 0, 0, {0, 0}};
    CWnd::WalkPreTranslateTree(w.child.m_hWnd, &msg);
    EXPECT_EQ(g_log, (std::vector<std::string>{"child pretranslate"}));
}

TEST(FrameworkWindow, TemporaryObjectsAreFreedAndPermanentOnesKept)
{
    Windows w;
    HWND plain = ::CreateWindowExA(0, AFX_WND_CLASS, "", WS_CHILD, 0, 0, 5, 5, w.parent.m_hWnd, nullptr, nullptr,
                                   nullptr);
    CWnd* temporary = CWnd::FromHandle(plain);
    ASSERT_NE(temporary, nullptr);
    EXPECT_EQ(CWnd::FromHandle(plain), temporary) << "one object per handle";
    EXPECT_EQ(CWnd::FromHandlePermanent(plain), nullptr);
    CWnd::DeleteTempMap();
    EXPECT_TRUE(::IsWindow(plain)) << "freeing the object leaves the window";
    EXPECT_EQ(CWnd::FromHandle(w.child.m_hWnd), &w.child);
}

namespace {
class CModalWnd : public CWnd {
public:
    LRESULT OnEnd(WPARAM wParam, LPARAM)
    {
        EndModalLoop(static_cast<int>(wParam));
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CModalWnd, CWnd)
    ON_MESSAGE(WM_USER + 9, OnEnd)
END_MESSAGE_MAP()
} // namespace

TEST(FrameworkWindow, ModalLoopsEndByResultOrByQuit)
{
    CModalWnd modal;
    ASSERT_TRUE(modal.CreateEx(0, nullptr, "modal", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    modal.PostMessage(WM_USER + 9, 7);
    EXPECT_EQ(modal.RunModalLoop(MLF_NOIDLEMSG), 7);
    // WM_QUIT ends the loop and is posted again for the outer loop.
    ::PostQuitMessage(3);
    EXPECT_EQ(modal.RunModalLoop(MLF_NOIDLEMSG), -1);
    MSG msg{};
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
}
