// The three-pane frame on a real display with the WebKit engine: a tree
// view beside a form view over an HTML view, in nested static splitters.
// The page shows in its pane (screenshot), a link clicked with the real
// mouse reaches OnBeforeNavigate2 and is cancelled, and the bar between
// the form and the page is dragged with the real mouse.
#include "platform/base/Path.h"
#include "platform/browser/BrowserWindow.h"
#include "platform/display/GtkPresenter.h"
#include "platform/display/WebKitEngine.h"
#include "platform/gdi/Png.h"
#include "platform/mfc/FrameWnd.h"
#include "platform/mfc/HtmlView.h"
#include "platform/mfc/Splitter.h"
#include "platform/mfc/WinApp.h"
#include "tests/platform/mfc/FrameworkFixture.h"
#include "tests/platform/mfc/fixtures/mfc_fixture.h"
#include "tests/support/DisplayPump.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace tavrin;
using tavrin::test::PumpUntil;

namespace {

std::vector<std::string> g_navigations;

class CPageView : public CHtmlView {
    DECLARE_DYNCREATE(CPageView)
public:
    void OnBeforeNavigate2(LPCTSTR lpszURL, DWORD, LPCTSTR, CByteArray&, LPCTSTR, BOOL* pbCancel) override
    {
        g_navigations.push_back(lpszURL);
        if (std::string(lpszURL).rfind("tavrin:", 0) == 0)
            *pbCancel = TRUE;
    }
    // Shows its own context menu (none): the engine then shows none either.
    HRESULT OnShowContextMenu(DWORD, LPPOINT ppt, LPUNKNOWN, LPDISPATCH) override
    {
        m_menuAt.push_back(*ppt);
        return S_OK;
    }
    std::vector<POINT> m_menuAt;
};
IMPLEMENT_DYNCREATE(CPageView, CHtmlView)

class CShownForm : public CFormView {
    DECLARE_DYNCREATE(CShownForm)
public:
    CShownForm() : CFormView(IDD_FORM) {}
};
IMPLEMENT_DYNCREATE(CShownForm, CFormView)

// A form holding a WebBrowser control from its template, driven by dispatch ids.
class CBrowserControl : public CWnd {
public:
    void Navigate(LPCTSTR url)
    {
        static const BYTE parms[] = VTS_BSTR VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT;
        InvokeHelper(0x68, DISPATCH_METHOD, VT_EMPTY, nullptr, parms, url, nullptr, nullptr, nullptr, nullptr);
    }
};

class CBrowserForm : public CFormView {
    DECLARE_DYNCREATE(CBrowserForm)
public:
    CBrowserForm() : CFormView(IDD_BROWSER_FORM) {}
    CBrowserControl m_browser;
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_FORM_BROWSER, m_browser); }
};
IMPLEMENT_DYNCREATE(CBrowserForm, CFormView)

class CThreePaneFrame : public CFrameWnd {
public:
    CSplitterWnd m_main;
    CSplitterWnd m_left;
    CSplitterWnd m_right;
    BOOL OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext) override
    {
        if (!m_main.CreateStatic(this, 1, 2))
            return FALSE;
        m_main.SetColumnInfo(0, 160, 0);
        return m_left.CreateStatic(&m_main, 2, 1, WS_CHILD | WS_VISIBLE, m_main.IdFromRowCol(0, 0)) &&
               m_left.CreateView(0, 0, RUNTIME_CLASS(CTreeView), CSize(160, 150), pContext) &&
               m_left.CreateView(1, 0, RUNTIME_CLASS(CBrowserForm), CSize(160, 0), pContext) &&
               m_right.CreateStatic(&m_main, 2, 1, WS_CHILD | WS_VISIBLE | WS_BORDER, m_main.IdFromRowCol(0, 1)) &&
               m_right.CreateView(0, 0, RUNTIME_CLASS(CShownForm), CSize(0, 110), pContext) &&
               m_right.CreateView(1, 0, RUNTIME_CLASS(CPageView), CSize(0, 0), pContext);
    }
    CPageView* Page() { return static_cast<CPageView*>(m_right.GetPane(1, 0)); }
    CBrowserForm* Form() { return static_cast<CBrowserForm*>(m_left.GetPane(1, 0)); }
    // A pane's or point's place in the frame's client area.
    CPoint InFrame(CWnd* pWnd, CPoint pt)
    {
        pWnd->MapWindowPoints(this, &pt, 1);
        return pt;
    }
};

const char* const kPage =
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\"></head>"
    "<body style=\"margin:0;background:#00C000\">"
    "<a href=\"tavrin:下一页\" style=\"display:block;width:120px;height:60px;background:#0000FF\"></a>"
    "</body></html>";

const char* const kFormPage =
    "<html><body style=\"margin:0;background:#C00000\">"
    "<a href=\"other.htm\" style=\"display:block;width:80px;height:40px;background:#FFFF00\"></a>"
    "</body></html>";

DWORD Pixel(const Surface& shot, CPoint pt) { return shot.GetPixel(pt.x, pt.y) & 0x00FFFFFF; }

struct PanesDisplay : tavrin::test::FrameworkResources {};

TEST_F(PanesDisplay, ThreePanesShowAPageTakeAClickAndADraggedBar)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no display";
    display::GtkPresenter* presenter = display::StartGtkPresenter();
    ASSERT_TRUE(presenter);
    g_navigations.clear();
    CWinApp app;
    AfxEnableControlContainer(); // the form's template control
    CCreateContext context;
    auto* frame = new CThreePaneFrame;
    ASSERT_TRUE(frame->Create(nullptr, "三个窗格", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(60, 60, 700, 520), nullptr,
                              nullptr, 0, &context));
    app.m_pMainWnd = frame;
    HWND hFrame = frame->m_hWnd;
    ASSERT_TRUE(PumpUntil([&] { return presenter->GetNativeWindow(hFrame) != 0; }));
    frame->RecalcLayout();
    auto& tree = static_cast<CTreeView*>(frame->m_left.GetPane(0, 0))->GetTreeCtrl();
    tree.InsertItem("同学录");

    test::TempDir dir;
    auto file = dir.Write("page.htm", kPage);
    auto formFile = dir.Write("form.htm", kFormPage);
    dir.Write("other.htm", "<html><body style=\"background:#FFFFFF\">other</body></html>");
    CBrowserForm* form = frame->Form();
    ASSERT_NE(form, nullptr);
    form->SendMessage(WM_INITIALUPDATE);
    ASSERT_NE(form->m_browser.m_hWnd, nullptr);
    HWND hFormBrowser = form->m_browser.m_hWnd;
    form->m_browser.Navigate(ProgramPath(formFile.string()).Str().c_str());
    ASSERT_TRUE(PumpUntil([&] { return !browser::IsWebKitLoading(hFormBrowser); }));
    CPageView* page = frame->Page();
    ASSERT_NE(page, nullptr);
    page->Navigate2(ProgramPath(file.string()).Str().c_str());
    HWND hBrowser = page->m_wndBrowser.m_hWnd;
    ASSERT_TRUE(PumpUntil([&] { return !browser::IsWebKitLoading(hBrowser) && !page->GetLocationURL().IsEmpty(); }));
    const std::string location = static_cast<LPCTSTR>(page->GetLocationURL());

    // The page fills its pane: its blue link block at the top left, green beyond.
    CPoint link = frame->InFrame(page, CPoint(30, 30));
    CPoint body = frame->InFrame(page, CPoint(200, 100));
    std::unique_ptr<Surface> shot;
    bool shown = PumpUntil([&] {
        presenter->Flush();
        shot = presenter->CaptureWindow(hFrame);
        return shot && shot->Width() > body.x && shot->Height() > body.y && Pixel(*shot, link) == 0x0000FF &&
               Pixel(*shot, body) == 0x00C000;
    }, 10000);
    if (shot)
        SavePng(*shot, "mfc-three-panes.png");
    ASSERT_TRUE(shown);
    // The form's browser shows its page inside the sunken edge of a control
    // that keeps the default site.
    CPoint formLink = frame->InFrame(&form->m_browser, CPoint(30, 20));
    CPoint formBody = frame->InFrame(&form->m_browser, CPoint(100, 60));
    CRect formWindow;
    form->m_browser.GetWindowRect(&formWindow);
    frame->ScreenToClient(&formWindow);
    const CPoint formEdge = formWindow.TopLeft();
    EXPECT_TRUE(PumpUntil([&] {
        presenter->Flush();
        shot = presenter->CaptureWindow(hFrame);
        return shot && Pixel(*shot, formLink) == 0xFFFF00 && Pixel(*shot, formBody) == 0xC00000;
    }, 10000));
    if (shot)
        SavePng(*shot, "mfc-three-panes.png");
    EXPECT_NE(Pixel(*shot, formEdge), 0xC00000u);
    // The browser is wider than the form's pane: the page stops at the form's
    // client area and its scroll bar stays in sight.
    CRect formClient;
    form->GetClientRect(&formClient);
    ASSERT_LT(formClient.right, formWindow.right - formWindow.left);
    EXPECT_NE(Pixel(*shot, frame->InFrame(form, CPoint(formClient.right + 3, 60))), 0xC00000u);
    // The bar between the form and the page is the face colour.
    int barY = 2 + 110 + 3;
    CPoint bar = frame->InFrame(&frame->m_right, CPoint(100, barY));
    const DWORD face = ::GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(Pixel(*shot, bar), (GetRValue(face) << 16u) | (GetGValue(face) << 8u) | GetBValue(face));

    // A click on the link reaches the view; cancelled, the page stays.
    g_navigations.clear();
    ASSERT_TRUE(presenter->SimulateClick(hFrame, link.x, link.y, 1));
    ASSERT_TRUE(PumpUntil([&] { return !g_navigations.empty(); }));
    EXPECT_EQ(g_navigations[0], "tavrin:下一页");
    EXPECT_EQ(std::string(page->GetLocationURL()), location);

    // The bar dragged 60 pixels down with the real mouse.
    ASSERT_TRUE(presenter->SimulatePointer(hFrame, bar.x, bar.y));
    ASSERT_TRUE(presenter->SimulateButton(hFrame, bar.x, bar.y, 1, true));
    ASSERT_TRUE(PumpUntil([&] { return ::GetCapture() == frame->m_right.m_hWnd; }));
    ASSERT_TRUE(presenter->SimulatePointer(hFrame, bar.x, bar.y + 30));
    ASSERT_TRUE(presenter->SimulatePointer(hFrame, bar.x, bar.y + 60));
    PumpUntil([] { return false; }, 200);
    ASSERT_TRUE(presenter->SimulateButton(hFrame, bar.x, bar.y + 60, 1, false));
    int cur = 0, min = 0;
    EXPECT_TRUE(PumpUntil([&] {
        frame->m_right.GetRowInfo(0, cur, min);
        return cur == 170;
    })) << "row 0 is " << cur;
    CRect pageRect;
    page->GetWindowRect(&pageRect);
    frame->m_right.ScreenToClient(&pageRect);
    EXPECT_EQ(pageRect.top, 2 + 170 + 7);

    // A real click on the form browser's link: no handler there, so it is followed.
    ASSERT_TRUE(presenter->SimulateClick(hFrame, formLink.x, formLink.y, 1));
    std::string formLocation;
    EXPECT_TRUE(PumpUntil([&] {
        formLocation = tavrin::browser::GetBrowserEngine(hFormBrowser)->GetLocationURL();
        return formLocation.size() > 9 && formLocation.compare(formLocation.size() - 9, 9, "other.htm") == 0;
    })) << formLocation;

    // Scripts find no object of the host.
    std::string external;
    ASSERT_TRUE(browser::RunWebKitScript(hBrowser, "typeof window.external", [&](const std::string& t) { external = t; }));
    ASSERT_TRUE(PumpUntil([&] { return !external.empty(); }));
    EXPECT_EQ(external, "undefined");

    // A right click in the page asks the view, at the screen point.
    CPoint menuAt = frame->InFrame(page, CPoint(200, 100));
    ASSERT_TRUE(presenter->SimulateClick(hFrame, menuAt.x, menuAt.y, 3));
    ASSERT_TRUE(PumpUntil([&] { return !page->m_menuAt.empty(); }));
    CPoint screen(200, 100);
    page->ClientToScreen(&screen);
    EXPECT_EQ(page->m_menuAt[0].x, screen.x);
    EXPECT_EQ(page->m_menuAt[0].y, screen.y);
    frame->DestroyWindow();
}

} // namespace
