// The HTML view and the control container on the headless engine: a view
// navigates, reads its location, copies and selects all; links and posted
// forms reach OnBeforeNavigate2 with their bytes and a cancel keeps the
// page; the view's host answers reach the engine; a form's template control
// of the WebBrowser class id is a browser driven through dispatch ids; a
// site made by an installed manager answers for a control made later.
#include "platform/base/Path.h"
#include "platform/browser/BrowserWindow.h"
#include "platform/browser/HeadlessEngine.h"
#include "platform/controls/CommCtrl.h"
#include "platform/mfc/Dialog.h"
#include "platform/mfc/FrameWnd.h"
#include "platform/mfc/HtmlView.h"
#include "tests/platform/mfc/FrameworkFixture.h"
#include "tests/platform/mfc/fixtures/mfc_fixture.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using tavrin::browser::Command;
using tavrin::browser::HeadlessEngine;

bool EndsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

struct Seen {
    std::string url;
    std::string headers;
    std::string posted;
};

class CRecordingView : public CHtmlView {
public:
    std::vector<Seen> m_seen;
    int m_menus = 0;
    bool m_ownMenu = false;
    void OnBeforeNavigate2(LPCTSTR lpszURL, DWORD, LPCTSTR, CByteArray& baPostedData, LPCTSTR lpszHeaders,
                           BOOL* pbCancel) override
    {
        std::string posted(reinterpret_cast<const char*>(baPostedData.GetData()),
                           static_cast<size_t>(baPostedData.GetSize()));
        m_seen.push_back({lpszURL, lpszHeaders, posted});
        if (std::string(lpszURL).rfind("tavrin:", 0) == 0)
            *pbCancel = TRUE;
    }
    HRESULT OnShowContextMenu(DWORD dwID, LPPOINT ppt, LPUNKNOWN a, LPDISPATCH b) override
    {
        ++m_menus;
        return m_ownMenu ? S_OK : CHtmlView::OnShowContextMenu(dwID, ppt, a, b);
    }
};

// What the program's form-hosted browser wrapper does: automation by dispatch id.
class CBrowserWrapper : public CWnd {
public:
    void Navigate(LPCTSTR url)
    {
        static const BYTE parms[] = VTS_BSTR VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT;
        InvokeHelper(0x68, DISPATCH_METHOD, VT_EMPTY, nullptr, parms, url, nullptr, nullptr, nullptr, nullptr);
    }
    void ExecWB(long cmdID, long option)
    {
        static const BYTE parms[] = VTS_I4 VTS_I4 VTS_PVARIANT VTS_PVARIANT;
        InvokeHelper(0x1F6, DISPATCH_METHOD, VT_EMPTY, nullptr, parms, cmdID, option, nullptr, nullptr);
    }
    CString GetLocationURL()
    {
        CString result;
        InvokeHelper(0xD3, DISPATCH_PROPERTYGET, VT_BSTR, &result, nullptr);
        return result;
    }
};

class CBrowserForm : public CFormView {
public:
    CBrowserForm() : CFormView(IDD_BROWSER_FORM) {}
    CBrowserWrapper m_browser;
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_FORM_BROWSER, m_browser); }
};

// A site that shows the page's message boxes itself.
class CBoxSite : public COleControlSite {
public:
    explicit CBoxSite(COleControlContainer* pCont) : COleControlSite(pCont) {}
    std::vector<std::string> m_boxes;
    BEGIN_INTERFACE_PART(ShowUI, IDocHostShowUI)
    STDMETHOD(ShowMessage)(HWND, LPOLESTR text, LPOLESTR, DWORD, LPOLESTR, DWORD, LRESULT*) override;
    STDMETHOD(ShowHelp)(HWND, LPOLESTR, UINT, DWORD, POINT, IDispatch*) override { return E_NOTIMPL; }
    END_INTERFACE_PART(ShowUI)
    DECLARE_INTERFACE_MAP()
};
BEGIN_INTERFACE_MAP(CBoxSite, COleControlSite)
    INTERFACE_PART(CBoxSite, IID_IDocHostShowUI, ShowUI)
END_INTERFACE_MAP()
IMPLEMENT_PART_UNKNOWN(CBoxSite, ShowUI)
HRESULT CBoxSite::XShowUI::ShowMessage(HWND, LPOLESTR text, LPOLESTR, DWORD, LPOLESTR, DWORD, LRESULT*)
{
    METHOD_PROLOGUE(CBoxSite, ShowUI)
    pThis->m_boxes.push_back(text);
    return S_OK;
}

class CBoxManager : public COccManager {
public:
    int m_sites = 0;
    COleControlSite* CreateSite(COleControlContainer* pCont) override
    {
        ++m_sites;
        return new CBoxSite(pCont);
    }
};

const char* const kPage = "<html><body><a href=\"tavrin:下一页\">下一页</a><a href=\"other.htm\">other</a>"
                          "<form action=\"tavrin:投票\" method=\"post\"><input type=hidden name=id value=\"42\">"
                          "<input type=submit name=ok value=\"投票\"></form></body></html>";

struct HtmlViewTest : tavrin::test::FramedTest {
    tavrin::test::TempDir dir;
    std::string page;
    void SetUp() override
    {
        FramedTest::SetUp();
        auto file = dir.Write("page.htm", kPage);
        dir.Write("other.htm", "<html>other</html>");
        page = tavrin::ProgramPath(file.string()).Str();
    }
    CRecordingView* MakeView()
    {
        auto* view = new CRecordingView;
        if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 200), frame, AFX_IDW_PANE_FIRST))
            return nullptr;
        return view;
    }
};

TEST_F(HtmlViewTest, TheViewNavigatesCopiesAndSelectsAll)
{
    CRecordingView* view = MakeView();
    ASSERT_NE(view, nullptr);
    ASSERT_NE(view->m_pBrowserApp, nullptr);
    EXPECT_EQ(view->m_wndBrowser.GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
    EXPECT_EQ(CWnd::FromHandlePermanent(view->m_wndBrowser.m_hWnd), &view->m_wndBrowser);
    EXPECT_STREQ(view->GetLocationURL(), "");
    view->Navigate2(page.c_str());
    std::string location = static_cast<LPCTSTR>(view->GetLocationURL());
    EXPECT_TRUE(EndsWith(location, "/page.htm")) << location;
    ASSERT_EQ(view->m_seen.size(), 1u);
    EXPECT_EQ(view->m_seen[0].url, location);

    view->ExecWB(OLECMDID_COPY, OLECMDEXECOPT_DONTPROMPTUSER, nullptr, nullptr);
    view->ExecWB(OLECMDID_SELECTALL, OLECMDEXECOPT_DONTPROMPTUSER, nullptr, nullptr);
    HeadlessEngine* engine = HeadlessEngine::FromHost(view->m_wndBrowser.m_hWnd);
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(engine->GetCommands(), (std::vector<Command>{Command::Copy, Command::SelectAll}));

    // The browser keeps to the view's client area.
    view->MoveWindow(10, 10, 240, 170);
    CRect browser;
    view->m_wndBrowser.GetWindowRect(&browser);
    view->ScreenToClient(&browser);
    CRect client;
    view->GetClientRect(&client);
    EXPECT_EQ(browser, client);
}

TEST_F(HtmlViewTest, LinksAndPostedFormsArriveWithTheirBytes)
{
    CRecordingView* view = MakeView();
    ASSERT_NE(view, nullptr);
    view->Navigate(page.c_str());
    const std::string location = static_cast<LPCTSTR>(view->GetLocationURL());
    HeadlessEngine* engine = HeadlessEngine::FromHost(view->m_wndBrowser.m_hWnd);
    ASSERT_NE(engine, nullptr);
    view->m_seen.clear();

    ASSERT_TRUE(engine->FollowLink("下一页"));
    ASSERT_TRUE(engine->SubmitForm(0));
    ASSERT_EQ(view->m_seen.size(), 2u);
    EXPECT_EQ(view->m_seen[0].url, "tavrin:下一页");
    EXPECT_EQ(view->m_seen[0].posted, "");
    EXPECT_EQ(view->m_seen[1].url, "tavrin:投票");
    EXPECT_EQ(view->m_seen[1].headers, "Content-Type: application/x-www-form-urlencoded\r\n");
    EXPECT_EQ(view->m_seen[1].posted, "id=42&ok=%CD%B6%C6%B1");
    // Cancelled: still on the page.
    EXPECT_EQ(std::string(view->GetLocationURL()), location);

    ASSERT_TRUE(engine->FollowLink("other"));
    EXPECT_TRUE(EndsWith(std::string(view->GetLocationURL()), "/other.htm"));
}

TEST_F(HtmlViewTest, TheViewsHostAnswersReachTheEngine)
{
    CRecordingView* view = MakeView();
    ASSERT_NE(view, nullptr);
    tavrin::browser::Engine* engine = tavrin::browser::GetBrowserEngine(view->m_wndBrowser.m_hWnd);
    ASSERT_NE(engine, nullptr);
    const tavrin::browser::HostUi& ui = engine->GetHostUi();
    EXPECT_FALSE(ui.border3d);
    EXPECT_FALSE(ui.externalObject);
    // The engine shows its own menu and message boxes until the view shows its own menu.
    HeadlessEngine* headless = HeadlessEngine::FromHost(view->m_wndBrowser.m_hWnd);
    ASSERT_NE(headless, nullptr);
    EXPECT_TRUE(headless->ContextMenu(POINT{5, 5}));
    EXPECT_TRUE(headless->Alert("提示"));
    view->m_ownMenu = true;
    EXPECT_FALSE(headless->ContextMenu(POINT{5, 5}));
    EXPECT_EQ(view->m_menus, 2);
    // No edge: the page fills the browser's window.
    EXPECT_FALSE(view->m_wndBrowser.GetExStyle() & WS_EX_CLIENTEDGE);
    CRect window, client;
    view->m_wndBrowser.GetWindowRect(&window);
    view->m_wndBrowser.GetClientRect(&client);
    EXPECT_EQ(window.Size(), client.Size());
}

// A view answering with the page's edge kept.
class CEdgedView : public CHtmlView {
public:
    HRESULT OnGetHostInfo(DOCHOSTUIINFO* pInfo) override
    {
        HRESULT hr = CHtmlView::OnGetHostInfo(pInfo);
        pInfo->dwFlags &= ~static_cast<DWORD>(DOCHOSTUIFLAG_NO3DBORDER);
        return hr;
    }
};

TEST_F(HtmlViewTest, AnEdgeAskedForSinksThePage)
{
    auto* view = new CEdgedView;
    ASSERT_TRUE(view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 200), frame,
                             AFX_IDW_PANE_FIRST));
    EXPECT_TRUE(view->m_wndBrowser.GetExStyle() & WS_EX_CLIENTEDGE);
    CRect window, client;
    view->m_wndBrowser.GetWindowRect(&window);
    view->m_wndBrowser.GetClientRect(&client);
    EXPECT_LT(client.Width(), window.Width());
    EXPECT_LT(client.Height(), window.Height());
}

TEST_F(HtmlViewTest, AFormsTemplateBrowserIsDrivenByDispatchIds)
{
    AfxEnableControlContainer();
    auto* form = new CBrowserForm;
    ASSERT_TRUE(form->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 300), frame, AFX_IDW_PANE_FIRST));
    HWND hBrowser = ::GetDlgItem(form->m_hWnd, IDC_FORM_BROWSER);
    ASSERT_NE(hBrowser, nullptr);
    EXPECT_NE(tavrin::browser::GetBrowserEngine(hBrowser), nullptr);
    EXPECT_TRUE(::GetWindowLongA(hBrowser, GWL_STYLE) & WS_TABSTOP);
    EXPECT_NE(::GetDlgItem(form->m_hWnd, IDC_FORM_LIST), nullptr);
    form->SendMessage(WM_INITIALUPDATE);
    ASSERT_EQ(form->m_browser.m_hWnd, hBrowser);

    form->m_browser.Navigate(page.c_str());
    EXPECT_TRUE(EndsWith(std::string(form->m_browser.GetLocationURL()), "/page.htm"));
    form->m_browser.ExecWB(OLECMDID_COPY, OLECMDEXECOPT_DONTPROMPTUSER);
    form->m_browser.ExecWB(OLECMDID_SELECTALL, OLECMDEXECOPT_DONTPROMPTUSER);
    form->m_browser.ExecWB(99, OLECMDEXECOPT_DONTPROMPTUSER); // not supported: nothing happens
    EXPECT_EQ(HeadlessEngine::FromHost(hBrowser)->GetCommands(),
              (std::vector<Command>{Command::Copy, Command::SelectAll}));
    // The default site answers nothing: the engine's own menu, boxes and sunken edge.
    EXPECT_TRUE(HeadlessEngine::FromHost(hBrowser)->ContextMenu(POINT{1, 1}));
    EXPECT_TRUE(HeadlessEngine::FromHost(hBrowser)->Alert("提示"));
    EXPECT_TRUE(::GetWindowLongA(hBrowser, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    // No navigation handler on a plain control: links are followed.
    ASSERT_TRUE(HeadlessEngine::FromHost(hBrowser)->FollowLink("other"));
    EXPECT_TRUE(EndsWith(std::string(form->m_browser.GetLocationURL()), "/other.htm"));
}

TEST_F(HtmlViewTest, AnInstalledManagersSiteAnswersForALaterControl)
{
    CBoxManager manager;
    AfxEnableControlContainer(&manager);
    CWnd* host = new CFrameWnd;
    ASSERT_TRUE(static_cast<CFrameWnd*>(host)->Create(nullptr, "host", WS_OVERLAPPEDWINDOW, CRect(0, 0, 200, 200)));
    CWnd control;
    EXPECT_FALSE(control.CreateControl("{00000000-0000-0000-0000-000000000000}", nullptr, WS_CHILD, CRect(0, 0, 5, 5),
                                       host, 7)); // an unknown class
    EXPECT_FALSE(control.CreateControl("not a class id", nullptr, WS_CHILD, CRect(0, 0, 5, 5), host, 7));
    ASSERT_TRUE(control.CreateControl("{8856F961-340A-11D0-A96B-00C04FD705A2}", nullptr, WS_CHILD | WS_VISIBLE,
                                      CRect(0, 0, 100, 100), host, 7));
    EXPECT_EQ(manager.m_sites, 2); // a malformed id never gets a site
    auto* site = dynamic_cast<CBoxSite*>(control.m_pCtrlSite);
    ASSERT_NE(site, nullptr);
    tavrin::browser::Engine* engine = tavrin::browser::GetBrowserEngine(control.m_hWnd);
    ASSERT_NE(engine, nullptr);
    auto* headless = HeadlessEngine::FromHost(control.m_hWnd);
    ASSERT_NE(headless, nullptr);
    EXPECT_FALSE(headless->Alert("提示")); // the site showed it
    ASSERT_EQ(site->m_boxes.size(), 1u);
    EXPECT_EQ(site->m_boxes[0], "提示");
    // No handler of its own: the engine's context menu and edge.
    EXPECT_FALSE(engine->GetHostUi().contextMenu);
    EXPECT_TRUE(headless->ContextMenu(POINT{1, 1}));
    EXPECT_TRUE(control.GetExStyle() & WS_EX_CLIENTEDGE);
    IWebBrowser2* browser = nullptr;
    ASSERT_EQ(control.GetControlUnknown()->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser)), S_OK);
    HWND hWnd = nullptr;
    browser->get_HWND(&hWnd);
    EXPECT_EQ(hWnd, control.m_hWnd);
    browser->Release();
    host->DestroyWindow();
    EXPECT_EQ(control.m_hWnd, nullptr);
    AfxEnableControlContainer();
}

// A view that makes its browser itself, as a hosting view with a manager of
// its own does; the browser's events still reach its overridable.
class CSelfMadeView : public CRecordingView {
public:
    CBoxManager m_manager;
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                UINT nID, void* pContext) override
    {
        AfxEnableControlContainer(&m_manager);
        m_pCreateContext = static_cast<CCreateContext*>(pContext);
        if (!CView::Create(lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd, nID, pContext))
            return FALSE;
        CRect client;
        GetClientRect(&client);
        if (!m_wndBrowser.CreateControl(CLSID_WebBrowser, "", WS_VISIBLE | WS_CHILD, client, this,
                                        AFX_IDW_PANE_FIRST))
            return FALSE;
        return SUCCEEDED(m_wndBrowser.GetControlUnknown()->QueryInterface(IID_IWebBrowser2,
                                                                           reinterpret_cast<void**>(&m_pBrowserApp)));
    }
    BOOL CreateControlSite(COleControlContainer* pContainer, COleControlSite** ppSite, UINT, const GUID&) override
    {
        *ppSite = m_manager.CreateSite(pContainer);
        return *ppSite != nullptr;
    }
};

TEST_F(HtmlViewTest, AViewMakingItsOwnBrowserHearsItsNavigations)
{
    auto* view = new CSelfMadeView;
    ASSERT_TRUE(view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 200), frame,
                             AFX_IDW_PANE_FIRST, nullptr));
    EXPECT_EQ(view->m_manager.m_sites, 1);
    EXPECT_NE(dynamic_cast<CBoxSite*>(view->m_wndBrowser.m_pCtrlSite), nullptr);
    view->Navigate(page.c_str());
    HeadlessEngine* engine = HeadlessEngine::FromHost(view->m_wndBrowser.m_hWnd);
    ASSERT_NE(engine, nullptr);
    const std::string location = static_cast<LPCTSTR>(view->GetLocationURL());
    ASSERT_TRUE(engine->SubmitForm(0));
    ASSERT_EQ(view->m_seen.size(), 2u);
    EXPECT_EQ(view->m_seen[1].url, "tavrin:投票");
    EXPECT_EQ(view->m_seen[1].posted, "id=42&ok=%CD%B6%C6%B1");
    EXPECT_EQ(std::string(view->GetLocationURL()), location);
    AfxEnableControlContainer();
}

// The pattern of an HTML control inside a dialog: it lives as the dialog's
// member, answers mouse activation plainly and never frees itself.
class CDialogHtml : public CHtmlView {
public:
    void PostNcDestroy() override {}
    int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
    {
        return CWnd::OnMouseActivate(pDesktopWnd, nHitTest, message);
    }
    void OnDestroy() { CWnd::OnDestroy(); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CDialogHtml, CHtmlView)
    ON_WM_MOUSEACTIVATE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

class CHtmlDialog : public CDialog {
public:
    CDialogHtml m_html;
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        return m_html.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 150), this, 1065);
    }
};

TEST_F(HtmlViewTest, AnHtmlViewLivesInADialog)
{
    InitCommonControls(); // the template's date pickers
    CHtmlDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_EXPORT, frame));
    ASSERT_NE(dialog.m_html.m_hWnd, nullptr);
    dialog.m_html.Navigate(page.c_str());
    EXPECT_TRUE(EndsWith(std::string(dialog.m_html.GetLocationURL()), "/page.htm"));
    LRESULT answer = dialog.m_html.SendMessage(WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(dialog.m_hWnd),
                                               MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_EQ(answer, MA_ACTIVATE);
    EXPECT_EQ(frame->GetActiveView(), nullptr);
    dialog.DestroyWindow();
    EXPECT_EQ(dialog.m_html.m_hWnd, nullptr); // the member outlives its window
}

TEST(OleValues, ClassIdsStringsAndArrays)
{
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromString("{8856F961-340A-11D0-A96B-00C04FD705A2}", &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_WebBrowser);
    for (const char* bad : {"", "8856F961-340A-11D0-A96B-00C04FD705A2", "{8856F961-340A-11D0-A96B-00C04FD705AZ}",
                            "{8856F961-340A-11D0-A96B-00C04FD705A2}x", "{8856F961+340A-11D0-A96B-00C04FD705A2}"})
        EXPECT_EQ(CLSIDFromString(bad, &clsid), CO_E_CLASSSTRING) << bad;

    BSTR text = SysAllocStringLen("a\0b", 3);
    EXPECT_EQ(SysStringLen(text), 3u);
    COleVariant v;
    v.vt = VT_BSTR;
    v.bstrVal = text;
    COleVariant copy(v);
    EXPECT_EQ(SysStringLen(copy.bstrVal), 3u);
    EXPECT_EQ(std::string(copy.bstrVal, 3), std::string("a\0b", 3));

    SAFEARRAY* bytes = SafeArrayCreateVector(VT_UI1, 0, 4);
    ASSERT_NE(bytes, nullptr);
    void* data = nullptr;
    ASSERT_EQ(SafeArrayAccessData(bytes, &data), S_OK);
    std::memcpy(data, "abcd", 4);
    EXPECT_NE(SafeArrayDestroy(bytes), S_OK); // locked
    SafeArrayUnaccessData(bytes);
    LONG upper = 0;
    SafeArrayGetUBound(bytes, 1, &upper);
    EXPECT_EQ(upper, 3);
    EXPECT_EQ(SafeArrayDestroy(bytes), S_OK);
    EXPECT_EQ(SafeArrayCreateVector(VT_DISPATCH, 0, 1), nullptr);
}

} // namespace
