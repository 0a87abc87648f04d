// The application object: its loop, the idle pass, the command line and the
// drawing wrappers it hands to handlers.
#include "platform/mfc/ImageList.h"
#include "platform/mfc/WinApp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_events;

class CIdleChild : public CWnd {
public:
    LRESULT OnIdleUpdate(WPARAM, LPARAM)
    {
        g_events.push_back("child idle");
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CIdleChild, CWnd)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdate)
END_MESSAGE_MAP()

class CMainWnd : public CWnd {
public:
    CIdleChild m_child;
    BOOL m_finishWhenIdle = FALSE;
    LRESULT OnIdleUpdate(WPARAM, LPARAM)
    {
        g_events.push_back("main idle");
        // The loop went idle: now let it end.
        if (m_finishWhenIdle) {
            m_finishWhenIdle = FALSE;
            PostMessage(WM_USER + 1);
        }
        return 0;
    }
    LRESULT OnFinish(WPARAM, LPARAM)
    {
        g_events.push_back("finish");
        DestroyWindow();
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CMainWnd, CWnd)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdate)
    ON_MESSAGE(WM_USER + 1, OnFinish)
END_MESSAGE_MAP()

class CTestApp : public CWinApp {
public:
    CMainWnd m_main;
    BOOL m_failStart = FALSE;
    BOOL InitInstance() override
    {
        g_events.push_back("init");
        if (m_failStart)
            return FALSE;
        if (!m_main.CreateEx(0, nullptr, "main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr))
            return FALSE;
        m_main.m_child.Create(nullptr, "", WS_VISIBLE, CRect(0, 0, 10, 10), &m_main, 1);
        m_pMainWnd = &m_main;
        m_main.m_finishWhenIdle = TRUE;
        return TRUE;
    }
    int ExitInstance() override
    {
        g_events.push_back("exit");
        return CWinApp::ExitInstance() + 10;
    }
};

} // namespace

TEST(Application, RunsItsLoopUntilTheMainWindowGoes)
{
    g_events.clear();
    CTestApp app;
    char name[] = "/opt/tavrin/Tavrin.bin";
    char* argv[] = {name};
    EXPECT_EQ(AfxWinMain(1, argv), 10);
    EXPECT_EQ(g_events.front(), "init");
    EXPECT_NE(std::find(g_events.begin(), g_events.end(), "main idle"), g_events.end());
    EXPECT_NE(std::find(g_events.begin(), g_events.end(), "child idle"), g_events.end());
    EXPECT_EQ(g_events.back(), "exit");
    EXPECT_STREQ(app.m_pszExeName, "Tavrin");
    EXPECT_STREQ(app.m_pszAppName, "Tavrin");
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(AfxGetApp(), &app);
}

TEST(Application, AFailedStartExitsWithoutALoop)
{
    g_events.clear();
    CTestApp app;
    app.m_failStart = TRUE;
    char name[] = "tavrin";
    char* argv[] = {name};
    EXPECT_EQ(AfxWinMain(1, argv), 10);
    EXPECT_EQ(g_events, (std::vector<std::string>{"init", "exit"}));
}

TEST(Application, TheIdlePassUpdatesVisibleWindowsAndFreesTemporaries)
{
    CTestApp app;
    ASSERT_TRUE(app.m_main.CreateEx(0, nullptr, "main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr));
    app.m_main.m_child.Create(nullptr, "", WS_VISIBLE, CRect(0, 0, 10, 10), &app.m_main, 1);
    app.m_pMainWnd = &app.m_main;
    g_events.clear();
    EXPECT_TRUE(app.OnIdle(0)) << "more idle work follows the first pass";
    EXPECT_EQ(g_events, (std::vector<std::string>{"main idle", "child idle"}));

    HWND plain = ::CreateWindowExA(0, AFX_WND_CLASS, "", WS_CHILD, 0, 0, 5, 5, app.m_main.m_hWnd, nullptr, nullptr,
                                   nullptr);
    CWnd* temporary = CWnd::FromHandle(plain);
    temporary->m_nFlags = 0x77; // a fresh object after the pass would not have it
    g_events.clear();
    EXPECT_FALSE(app.OnIdle(1));
    EXPECT_TRUE(g_events.empty());
    EXPECT_NE(CWnd::FromHandle(plain)->m_nFlags, 0x77u);

    app.m_main.ShowWindow(SW_HIDE);
    g_events.clear();
    app.OnIdle(0);
    EXPECT_TRUE(g_events.empty()) << "a hidden main window gets no update pass";
    app.m_pMainWnd = nullptr; // no quit message for the next test's loop
    app.m_main.DestroyWindow();
}

TEST(Application, CommandLineSwitchesAndTheSplashFlag)
{
    struct Case {
        std::vector<std::string> args;
        int shellCommand;
        std::string file;
        BOOL splash;
        BOOL embedded;
    };
    const Case cases[] = {
        {{"tavrin"}, CCommandLineInfo::FileNew, "", TRUE, FALSE},
        {{"tavrin", "report.html"}, CCommandLineInfo::FileOpen, "report.html", TRUE, FALSE},
        {{"tavrin", "/Embedding"}, CCommandLineInfo::FileNew, "", FALSE, TRUE},
        {{"tavrin", "-p", "a.txt"}, CCommandLineInfo::FilePrint, "a.txt", TRUE, FALSE},
        {{"tavrin", "/dde"}, CCommandLineInfo::FileDDE, "", TRUE, FALSE},
        {{"tavrin", "/home/me/class.fxd"}, CCommandLineInfo::FileOpen, "/home/me/class.fxd", TRUE, FALSE},
        {{"tavrin", "/unregserver"}, CCommandLineInfo::AppUnregister, "", TRUE, FALSE},
    };
    CWinApp app;
    for (const Case& c : cases) {
        std::vector<char*> argv;
        for (const std::string& a : c.args)
            argv.push_back(const_cast<char*>(a.c_str()));
        CWinApp::SetCommandLine(static_cast<int>(argv.size()), argv.data());
        CCommandLineInfo info;
        app.ParseCommandLine(info);
        EXPECT_EQ(info.m_nShellCommand, c.shellCommand) << c.args.back();
        EXPECT_EQ(std::string(info.m_strFileName), c.file) << c.args.back();
        EXPECT_EQ(info.m_bShowSplash, c.splash) << c.args.back();
        EXPECT_EQ(info.m_bRunEmbedded, c.embedded) << c.args.back();
    }
    // Arguments arrive as UTF-8 and are read in the program's code page.
    std::string utf8 = "\xE5\x90\x8C\xE5\xAD\xA6.html"; // 同学.html
    char* argv[] = {const_cast<char*>("tavrin"), utf8.data()};
    CWinApp::SetCommandLine(2, argv);
    CCommandLineInfo info;
    app.ParseCommandLine(info);
    EXPECT_EQ(std::string(info.m_strFileName), "同学.html");
}

TEST(DrawingWrappers, SolidAnd3dRectanglesOnAMemoryDc)
{
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 6;
    info.bmiHeader.biHeight = -4;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    uint32_t* bits = nullptr;
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.Attach(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0)));
    CBitmap* old = dc.SelectObject(&bitmap);
    ASSERT_NE(old, nullptr) << "the DC's first bitmap, wrapped for the caller";
    dc.FillSolidRect(0, 0, 6, 4, RGB(1, 2, 3));
    dc.Draw3dRect(CRect(0, 0, 6, 4), RGB(255, 0, 0), RGB(0, 0, 255));
    auto px = [&](int x, int y) { return bits[y * 6 + x] & 0xFFFFFF; };
    EXPECT_EQ(px(0, 0), 0xFF0000u);
    EXPECT_EQ(px(4, 0), 0xFF0000u);
    EXPECT_EQ(px(5, 0), 0x0000FFu) << "the top right corner belongs to the bottom-right colour";
    EXPECT_EQ(px(0, 3), 0x0000FFu);
    EXPECT_EQ(px(2, 2), 0x010203u);
    EXPECT_EQ(dc.GetBkColor(), RGB(0, 0, 255)) << "the fill leaves its colour in the DC";
    dc.SelectObject(old);

    // A brush made by the wrapper is freed with it; a stock one never.
    HGDIOBJ handle;
    {
        CBrush brush(RGB(9, 9, 9));
        handle = brush.m_hObject;
        EXPECT_EQ(::GetObjectType(handle), static_cast<DWORD>(OBJ_BRUSH));
    }
    EXPECT_EQ(::GetObjectType(handle), 0u);
    {
        CBrush stock;
        stock.CreateStockObject(BLACK_BRUSH);
    }
    EXPECT_EQ(::GetObjectType(::GetStockObject(BLACK_BRUSH)), static_cast<DWORD>(OBJ_BRUSH));
}

namespace {
class CClickMain : public CWnd {
public:
    CPoint m_click{-1, -1};
    void OnLButtonDown(UINT, CPoint point)
    {
        m_click = point;
        PostMessage(WM_CLOSE);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CClickMain, CWnd)
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()
} // namespace

TEST(Application, InputReachesTheMapThroughTheLoop)
{
    CWinApp app;
    CClickMain main;
    ASSERT_TRUE(main.CreateEx(0, nullptr, "main", WS_POPUP | WS_VISIBLE, 100, 100, 200, 100, nullptr, nullptr));
    app.m_pMainWnd = &main;
    tavrin::win::InjectClick(130, 120);
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(main.m_click, CPoint(30, 20));
}

TEST(DrawingWrappers, ImageListsOwnTheirHandleAndDrawMasked)
{
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CBitmap strip;
    ASSERT_TRUE(strip.CreateBitmap(8, 4, 1, 32, nullptr));
    CBitmap* old = dc.SelectObject(&strip);
    dc.FillSolidRect(0, 0, 4, 4, RGB(255, 0, 255)); // the mask colour
    dc.FillSolidRect(1, 1, 2, 2, RGB(0, 128, 0));
    dc.FillSolidRect(4, 0, 4, 4, RGB(0, 0, 200));
    dc.SelectObject(old);

    HIMAGELIST handle;
    {
        CImageList images;
        ASSERT_TRUE(images.Create(4, 4, ILC_COLOR32 | ILC_MASK, 2, 1));
        handle = images.m_hImageList;
        EXPECT_EQ(images.Add(&strip, RGB(255, 0, 255)), 0);
        EXPECT_EQ(images.GetImageCount(), 2);
        EXPECT_EQ(CImageList::FromHandle(handle), &images);

        CBitmap target;
        ASSERT_TRUE(target.CreateBitmap(4, 4, 1, 32, nullptr));
        old = dc.SelectObject(&target);
        dc.FillSolidRect(0, 0, 4, 4, RGB(10, 20, 30));
        EXPECT_TRUE(images.Draw(&dc, 0, CPoint(0, 0), ILD_TRANSPARENT));
        EXPECT_EQ(dc.GetPixel(0, 0), RGB(10, 20, 30)) << "the masked colour lets the background through";
        EXPECT_EQ(dc.GetPixel(1, 1), RGB(0, 128, 0));
        dc.SelectObject(old);
    }
    EXPECT_EQ(::ImageList_GetImageCount(handle), 0) << "destroyed with its object";
}
