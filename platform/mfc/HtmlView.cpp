#include "platform/mfc/HtmlView.h"

#include "platform/browser/BrowserWindow.h"
#include "platform/mfc/FrameWnd.h"

#include <cstring>

namespace {

// The site of an HTML view's browser: the host questions go to the view.
class CHtmlControlSite : public COleControlSite {
public:
    CHtmlControlSite(COleControlContainer* pCtrlCont, CHtmlView* pView) : COleControlSite(pCtrlCont), m_pView(pView)
    {
    }
    CHtmlView* m_pView;

    BEGIN_INTERFACE_PART(DocHostUIHandler, IDocHostUIHandler)
    STDMETHOD(ShowContextMenu)(DWORD dwID, POINT* ppt, IUnknown* pcmdt, IDispatch* pdisp) override;
    STDMETHOD(GetHostInfo)(DOCHOSTUIINFO* pInfo) override;
    STDMETHOD(ShowUI)(DWORD dwID, IOleInPlaceActiveObject* pActiveObject, IOleCommandTarget* pCommandTarget,
                      IOleInPlaceFrame* pFrame, IOleInPlaceUIWindow* pDoc) override;
    STDMETHOD(HideUI)() override;
    STDMETHOD(UpdateUI)() override;
    STDMETHOD(EnableModeless)(BOOL fEnable) override;
    STDMETHOD(OnDocWindowActivate)(BOOL fActivate) override;
    STDMETHOD(OnFrameWindowActivate)(BOOL fActivate) override;
    STDMETHOD(ResizeBorder)(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow, BOOL fFrameWindow) override;
    STDMETHOD(TranslateAccelerator)(LPMSG lpMsg, const GUID* pguidCmdGroup, DWORD nCmdID) override;
    STDMETHOD(GetOptionKeyPath)(LPOLESTR* pchKey, DWORD dw) override;
    STDMETHOD(GetDropTarget)(IDropTarget* pDropTarget, IDropTarget** ppDropTarget) override;
    STDMETHOD(GetExternal)(IDispatch** ppDispatch) override;
    STDMETHOD(TranslateUrl)(DWORD dwTranslate, OLECHAR* pchURLIn, OLECHAR** ppchURLOut) override;
    STDMETHOD(FilterDataObject)(IDataObject* pDO, IDataObject** ppDORet) override;
    END_INTERFACE_PART(DocHostUIHandler)

    DECLARE_INTERFACE_MAP()
};

BEGIN_INTERFACE_MAP(CHtmlControlSite, COleControlSite)
    INTERFACE_PART(CHtmlControlSite, IID_IDocHostUIHandler, DocHostUIHandler)
END_INTERFACE_MAP()

#define HTML_SITE_VIEW()                                                                                         \
    METHOD_PROLOGUE(CHtmlControlSite, DocHostUIHandler)                                                           \
    CHtmlView* pView = pThis->m_pView;

IMPLEMENT_PART_UNKNOWN(CHtmlControlSite, DocHostUIHandler)

HRESULT CHtmlControlSite::XDocHostUIHandler::ShowContextMenu(DWORD dwID, POINT* ppt, IUnknown* pcmdt, IDispatch* pdisp)
{
    HTML_SITE_VIEW()
    return pView->OnShowContextMenu(dwID, ppt, pcmdt, pdisp);
}

HRESULT CHtmlControlSite::XDocHostUIHandler::GetHostInfo(DOCHOSTUIINFO* pInfo)
{
    HTML_SITE_VIEW()
    return pView->OnGetHostInfo(pInfo);
}

HRESULT CHtmlControlSite::XDocHostUIHandler::ShowUI(DWORD dwID, IOleInPlaceActiveObject* pActiveObject,
                                                    IOleCommandTarget* pCommandTarget, IOleInPlaceFrame* pFrame,
                                                    IOleInPlaceUIWindow* pDoc)
{
    HTML_SITE_VIEW()
    return pView->OnShowUI(dwID, pActiveObject, pCommandTarget, pFrame, pDoc);
}

HRESULT CHtmlControlSite::XDocHostUIHandler::HideUI()
{
    HTML_SITE_VIEW()
    return pView->OnHideUI();
}

HRESULT CHtmlControlSite::XDocHostUIHandler::UpdateUI()
{
    HTML_SITE_VIEW()
    return pView->OnUpdateUI();
}

HRESULT CHtmlControlSite::XDocHostUIHandler::EnableModeless(BOOL fEnable)
{
    HTML_SITE_VIEW()
    return pView->OnEnableModeless(fEnable);
}

HRESULT CHtmlControlSite::XDocHostUIHandler::OnDocWindowActivate(BOOL fActivate)
{
    HTML_SITE_VIEW()
    return pView->OnDocWindowActivate(fActivate);
}

HRESULT CHtmlControlSite::XDocHostUIHandler::OnFrameWindowActivate(BOOL fActivate)
{
    HTML_SITE_VIEW()
    return pView->OnFrameWindowActivate(fActivate);
}

HRESULT CHtmlControlSite::XDocHostUIHandler::ResizeBorder(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow,
                                                          BOOL fFrameWindow)
{
    HTML_SITE_VIEW()
    return pView->OnResizeBorder(prcBorder, pUIWindow, fFrameWindow);
}

HRESULT CHtmlControlSite::XDocHostUIHandler::TranslateAccelerator(LPMSG lpMsg, const GUID* pguidCmdGroup,
                                                                  DWORD nCmdID)
{
    HTML_SITE_VIEW()
    return pView->OnTranslateAccelerator(lpMsg, pguidCmdGroup, nCmdID);
}

HRESULT CHtmlControlSite::XDocHostUIHandler::GetOptionKeyPath(LPOLESTR* pchKey, DWORD dw)
{
    HTML_SITE_VIEW()
    return pView->OnGetOptionKeyPath(pchKey, dw);
}

HRESULT CHtmlControlSite::XDocHostUIHandler::GetDropTarget(IDropTarget* pDropTarget, IDropTarget** ppDropTarget)
{
    HTML_SITE_VIEW()
    return pView->OnGetDropTarget(pDropTarget, ppDropTarget);
}

HRESULT CHtmlControlSite::XDocHostUIHandler::GetExternal(IDispatch** ppDispatch)
{
    HTML_SITE_VIEW()
    return pView->OnGetExternal(ppDispatch);
}

HRESULT CHtmlControlSite::XDocHostUIHandler::TranslateUrl(DWORD dwTranslate, OLECHAR* pchURLIn, OLECHAR** ppchURLOut)
{
    HTML_SITE_VIEW()
    return pView->OnTranslateUrl(dwTranslate, pchURLIn, ppchURLOut);
}

HRESULT CHtmlControlSite::XDocHostUIHandler::FilterDataObject(IDataObject* pDO, IDataObject** ppDORet)
{
    HTML_SITE_VIEW()
    return pView->OnFilterDataObject(pDO, ppDORet);
}

} // namespace

IMPLEMENT_DYNCREATE(CHtmlView, CFormView)

BEGIN_MESSAGE_MAP(CHtmlView, CFormView)
    ON_WM_SIZE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CHtmlView::CHtmlView() : CFormView(static_cast<LPCTSTR>(nullptr)) {}

CHtmlView::~CHtmlView()
{
    if (m_pBrowserApp)
        m_pBrowserApp->Release();
}

BOOL CHtmlView::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, UINT nID, void* pContext)
{
    // The view's own window (not a form: there is no template).
    if (!CView::Create(lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd, nID, pContext))
        return FALSE;
    CRect client;
    GetClientRect(&client);
    IWebBrowser2* pBrowser = nullptr;
    if (m_wndBrowser.CreateControl(CLSID_WebBrowser, lpszWindowName, WS_VISIBLE | WS_CHILD, client, this,
                                   AFX_IDW_PANE_FIRST)) {
        if (IUnknown* pUnknown = m_wndBrowser.GetControlUnknown())
            pUnknown->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&pBrowser));
    }
    if (!pBrowser) {
        if (m_wndBrowser.m_hWnd)
            m_wndBrowser.DestroyWindow();
        DestroyWindow(); // the view may free itself here
        return FALSE;
    }
    m_pBrowserApp = pBrowser;
    return TRUE;
}

namespace {

// A by-reference argument's text, or "".
CString EventText(const VARIANT& arg)
{
    const VARIANT* v = arg.vt == (VT_VARIANT | VT_BYREF) ? arg.pvarVal : &arg;
    return v && v->vt == VT_BSTR && v->bstrVal ? CString(v->bstrVal) : CString();
}

} // namespace

BOOL CHtmlView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The browser's events come as the control's (the first pane's).
    if (nCode == CN_EVENT && nID == AFX_IDW_PANE_FIRST && pExtra && !pHandlerInfo) {
        auto* event = static_cast<AFX_EVENT*>(pExtra);
        DISPPARAMS* params = event->m_pDispParams;
        if (event->m_dispid == DISPID_BEFORENAVIGATE2 && params && params->cArgs == 7) {
            VARIANT* args = params->rgvarg; // last first
            CByteArray posted;
            const VARIANT* data = args[2].vt == (VT_VARIANT | VT_BYREF) ? args[2].pvarVal : &args[2];
            if (data && data->vt == (VT_ARRAY | VT_UI1) && data->parray) {
                posted.SetSize(static_cast<INT_PTR>(data->parray->rgsabound[0].cElements));
                if (posted.GetSize())
                    std::memcpy(posted.GetData(), data->parray->pvData, static_cast<size_t>(posted.GetSize()));
            }
            const VARIANT* flags = args[4].vt == (VT_VARIANT | VT_BYREF) ? args[4].pvarVal : &args[4];
            DWORD nFlags = flags && flags->vt == VT_I4 ? static_cast<DWORD>(flags->lVal) : 0;
            BOOL cancel = FALSE;
            OnBeforeNavigate2(EventText(args[5]), nFlags, EventText(args[3]), posted, EventText(args[1]), &cancel);
            if (args[0].vt == (VT_BOOL | VT_BYREF) && args[0].pboolVal)
                *args[0].pboolVal = cancel ? VARIANT_TRUE : VARIANT_FALSE;
            return TRUE;
        }
    }
    return CFormView::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CHtmlView::CreateControlSite(COleControlContainer* pContainer, COleControlSite** ppSite, UINT, const GUID&)
{
    *ppSite = new CHtmlControlSite(pContainer, this);
    return TRUE;
}

BOOL CHtmlView::PreTranslateMessage(MSG* pMsg)
{
    if (CView::PreTranslateMessage(pMsg))
        return TRUE;
    // Keys in the page: the view may take them as accelerators first.
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_wndBrowser.m_hWnd &&
        (pMsg->hwnd == m_wndBrowser.m_hWnd || ::IsChild(m_wndBrowser.m_hWnd, pMsg->hwnd)) &&
        OnTranslateAccelerator(pMsg, nullptr, 0) == S_OK)
        return TRUE;
    // The frames' accelerators; no dialog keys (the page has its own).
    for (CFrameWnd* pFrame = GetParentFrame(); pFrame; pFrame = pFrame->GetParentFrame()) {
        if (pFrame->PreTranslateMessage(pMsg))
            return TRUE;
    }
    return FALSE;
}

void CHtmlView::Navigate(LPCTSTR lpszURL, DWORD, LPCTSTR, LPCTSTR, LPVOID, DWORD)
{
    if (!m_pBrowserApp || !lpszURL)
        return;
    BSTR url = SysAllocString(lpszURL);
    m_pBrowserApp->Navigate(url, nullptr, nullptr, nullptr, nullptr);
    SysFreeString(url);
}

void CHtmlView::Navigate2(LPCTSTR lpszURL, DWORD dwFlags, LPCTSTR lpszTargetFrameName, LPCTSTR lpszHeaders,
                          LPVOID lpvPostData, DWORD dwPostDataLen)
{
    Navigate(lpszURL, dwFlags, lpszTargetFrameName, lpszHeaders, lpvPostData, dwPostDataLen);
}

void CHtmlView::Navigate2(LPCTSTR lpszURL, DWORD dwFlags, CByteArray& baPostedData, LPCTSTR lpszTargetFrameName,
                          LPCTSTR lpszHeader)
{
    Navigate(lpszURL, dwFlags, lpszTargetFrameName, lpszHeader, baPostedData.GetData(),
             static_cast<DWORD>(baPostedData.GetSize()));
}

CString CHtmlView::GetLocationURL() const
{
    CString result;
    BSTR url = nullptr;
    if (m_pBrowserApp && SUCCEEDED(m_pBrowserApp->get_LocationURL(&url)) && url)
        result = url;
    SysFreeString(url);
    return result;
}

void CHtmlView::ExecWB(OLECMDID cmdID, OLECMDEXECOPT cmdexecopt, VARIANT* pvaIn, VARIANT* pvaOut)
{
    if (m_pBrowserApp)
        m_pBrowserApp->ExecWB(cmdID, cmdexecopt, pvaIn, pvaOut);
}

void CHtmlView::OnBeforeNavigate2(LPCTSTR, DWORD, LPCTSTR, CByteArray&, LPCTSTR, BOOL*) {}

// The framework's answers: the engine does everything itself, with no edge
// around the page and no object for scripts.

HRESULT CHtmlView::OnShowContextMenu(DWORD, LPPOINT, LPUNKNOWN, LPDISPATCH) { return S_FALSE; }

HRESULT CHtmlView::OnGetExternal(LPDISPATCH* lppDispatch)
{
    if (lppDispatch)
        *lppDispatch = nullptr;
    return S_FALSE;
}

HRESULT CHtmlView::OnGetHostInfo(DOCHOSTUIINFO* pInfo)
{
    if (!pInfo)
        return E_POINTER;
    pInfo->dwFlags = DOCHOSTUIFLAG_NO3DBORDER;
    pInfo->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
}

HRESULT CHtmlView::OnShowUI(DWORD, LPOLEINPLACEACTIVEOBJECT, LPOLECOMMANDTARGET, LPOLEINPLACEFRAME,
                            LPOLEINPLACEUIWINDOW)
{
    return S_FALSE;
}

HRESULT CHtmlView::OnHideUI() { return S_OK; }
HRESULT CHtmlView::OnUpdateUI() { return S_OK; }
HRESULT CHtmlView::OnEnableModeless(BOOL) { return E_NOTIMPL; }
HRESULT CHtmlView::OnDocWindowActivate(BOOL) { return E_NOTIMPL; }
HRESULT CHtmlView::OnFrameWindowActivate(BOOL) { return E_NOTIMPL; }
HRESULT CHtmlView::OnResizeBorder(LPCRECT, LPOLEINPLACEUIWINDOW, BOOL) { return E_NOTIMPL; }
HRESULT CHtmlView::OnTranslateAccelerator(LPMSG, const GUID*, DWORD) { return S_FALSE; }
HRESULT CHtmlView::OnGetOptionKeyPath(LPOLESTR*, DWORD) { return E_NOTIMPL; }

HRESULT CHtmlView::OnFilterDataObject(LPDATAOBJECT, LPDATAOBJECT* ppDataObject)
{
    if (ppDataObject)
        *ppDataObject = nullptr;
    return S_FALSE;
}

HRESULT CHtmlView::OnTranslateUrl(DWORD, OLECHAR*, OLECHAR** ppchURLOut)
{
    if (ppchURLOut)
        *ppchURLOut = nullptr;
    return S_FALSE;
}

HRESULT CHtmlView::OnGetDropTarget(LPDROPTARGET, LPDROPTARGET*) { return E_NOTIMPL; }

void CHtmlView::OnSize(UINT nType, int cx, int cy)
{
    CFormView::OnSize(nType, cx, cy);
    // The browser covers the client area exactly.
    if (m_wndBrowser.m_hWnd)
        m_wndBrowser.SetWindowPos(nullptr, 0, 0, cx, cy, SWP_NOACTIVATE | SWP_NOZORDER);
}

void CHtmlView::OnDestroy()
{
    if (m_pBrowserApp) {
        m_pBrowserApp->Release();
        m_pBrowserApp = nullptr;
    }
    CFormView::OnDestroy();
}
