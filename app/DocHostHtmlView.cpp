#include "app/DocHostHtmlView.h"

IMPLEMENT_DYNCREATE(CDocHostHtmlView, CHtmlView)

// The manager and its sites

COleControlSite* CDocHostOccManager::CreateSite(COleControlContainer* pCtrlCont)
{
    return new CDocHostControlSite(pCtrlCont, m_pView);
}

CDocHostControlSite::CDocHostControlSite(COleControlContainer* pCtrlCont, CDocHostHtmlView* pView)
    : COleControlSite(pCtrlCont), m_hWndView(pView ? pView->m_hWnd : nullptr)
{
}

CDocHostHtmlView* CDocHostControlSite::GetView() const
{
    return dynamic_cast<CDocHostHtmlView*>(CWnd::FromHandlePermanent(m_hWndView));
}

BEGIN_INTERFACE_MAP(CDocHostControlSite, COleControlSite)
    INTERFACE_PART(CDocHostControlSite, IID_IDocHostShowUI, DocHostShowUI)
    INTERFACE_PART(CDocHostControlSite, IID_IDocHostUIHandler, DocHostUIHandler)
    INTERFACE_PART(CDocHostControlSite, IID_IDocHostUIHandler2, DocHostUIHandler2)
END_INTERFACE_MAP()

IMPLEMENT_PART_UNKNOWN(CDocHostControlSite, DocHostShowUI)
IMPLEMENT_PART_UNKNOWN(CDocHostControlSite, DocHostUIHandler)
IMPLEMENT_PART_UNKNOWN(CDocHostControlSite, DocHostUIHandler2)

// A call of a part passed to the view; without a view the engine does it
// itself.
#define DOC_HOST_VIEW_CALL(localClass, call)                                                                     \
    METHOD_PROLOGUE(CDocHostControlSite, localClass)                                                              \
    CDocHostHtmlView* pView = pThis->GetView();                                                                   \
    return pView ? pView->call : E_NOTIMPL;

HRESULT CDocHostControlSite::XDocHostShowUI::ShowMessage(HWND hwnd, LPOLESTR lpstrText, LPOLESTR lpstrCaption,
                                                         DWORD dwType, LPOLESTR lpstrHelpFile, DWORD dwHelpContext,
                                                         LRESULT* plResult)
{
    DOC_HOST_VIEW_CALL(DocHostShowUI,
                       OnShowMessage(hwnd, lpstrText, lpstrCaption, dwType, lpstrHelpFile, dwHelpContext, plResult))
}

HRESULT CDocHostControlSite::XDocHostShowUI::ShowHelp(HWND hwnd, LPOLESTR pszHelpFile, UINT uCommand, DWORD dwData,
                                                      POINT ptMouse, IDispatch* pDispatchObjectHit)
{
    DOC_HOST_VIEW_CALL(DocHostShowUI, OnShowHelp(hwnd, pszHelpFile, uCommand, dwData, ptMouse, pDispatchObjectHit))
}

HRESULT CDocHostControlSite::XDocHostUIHandler::ShowContextMenu(DWORD dwID, POINT* ppt, IUnknown* pcmdt,
                                                                IDispatch* pdisp)
{
    DOC_HOST_VIEW_CALL(DocHostUIHandler, OnShowContextMenu(dwID, ppt, pcmdt, pdisp))
}

HRESULT CDocHostControlSite::XDocHostUIHandler::GetHostInfo(DOCHOSTUIINFO* pInfo)
{
    DOC_HOST_VIEW_CALL(DocHostUIHandler, OnGetHostInfo(pInfo))
}

HRESULT CDocHostControlSite::XDocHostUIHandler::ShowUI(DWORD dwID, IOleInPlaceActiveObject* pActiveObject,
                                                       IOleCommandTarget* pCommandTarget, IOleInPlaceFrame* pFrame,
                                                       IOleInPlaceUIWindow* pDoc)
{
    DOC_HOST_VIEW_CALL(DocHostUIHandler, OnShowUI(dwID, pActiveObject, pCommandTarget, pFrame, pDoc))
}

HRESULT CDocHostControlSite::XDocHostUIHandler::HideUI() { DOC_HOST_VIEW_CALL(DocHostUIHandler, OnHideUI()) }

HRESULT CDocHostControlSite::XDocHostUIHandler::UpdateUI() { DOC_HOST_VIEW_CALL(DocHostUIHandler, OnUpdateUI()) }

HRESULT CDocHostControlSite::XDocHostUIHandler::EnableModeless(BOOL fEnable)
{
    DOC_HOST_VIEW_CALL(DocHostUIHandler, OnEnableModeless(fEnable))
}

HRESULT CDocHostControlSite::XDocHostUIHandler::OnDocWindowActivate(BOOL fActivate)
{
    DOC_HOST_VIEW_CALL(DocHostUIHandler, OnDocWindowActivate(fActivate))
}

HRESULT CDocHostControlSite::XDocHostUIHandler::OnFrameWindowActivate(BOOL fActivate)
{
    DOC_HOST_VIEW_CALL(DocHostUIHandler, OnFrameWindowActivate(fActivate))
}

HRESULT CDocHostControlSite::XDocHostUIHandler::ResizeBorder(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow,
                                                             BOOL fFrameWindow)
{
    DOC_HOST_VIEW_CALL(DocHostUIHandler, OnResizeBorder(prcBorder, pUIWindow, fFrameWindow))
}

HRESULT CDocHostControlSite::XDocHostUIHandler::TranslateAccelerator(LPMSG lpMsg, const GUID* pguidCmdGroup,
                                                                     DWORD nCmdID)
{
    DOC_HOST_VIEW_CALL(DocHostUIHandler, OnTranslateAccelerator(lpMsg, pguidCmdGroup, nCmdID))
}

HRESULT CDocHostControlSite::XDocHostUIHandler::GetOptionKeyPath(LPOLESTR* pchKey, DWORD dw)
{
    DOC_HOST_VIEW_CALL(DocHostUIHandler, OnGetOptionKeyPath(pchKey, dw))
}

HRESULT CDocHostControlSite::XDocHostUIHandler::GetDropTarget(IDropTarget* pDropTarget, IDropTarget** ppDropTarget)
{
    DOC_HOST_VIEW_CALL(DocHostUIHandler, OnGetDropTarget(pDropTarget, ppDropTarget))
}

HRESULT CDocHostControlSite::XDocHostUIHandler::GetExternal(IDispatch** ppDispatch)
{
    METHOD_PROLOGUE(CDocHostControlSite, DocHostUIHandler)
    if (CDocHostHtmlView* pView = pThis->GetView())
        return pView->OnGetExternal(ppDispatch);
    if (ppDispatch)
        *ppDispatch = nullptr;
    return E_NOTIMPL;
}

HRESULT CDocHostControlSite::XDocHostUIHandler::TranslateUrl(DWORD dwTranslate, OLECHAR* pchURLIn,
                                                             OLECHAR** ppchURLOut)
{
    DOC_HOST_VIEW_CALL(DocHostUIHandler, OnTranslateUrl(dwTranslate, pchURLIn, ppchURLOut))
}

HRESULT CDocHostControlSite::XDocHostUIHandler::FilterDataObject(IDataObject* pDO, IDataObject** ppDORet)
{
    METHOD_PROLOGUE(CDocHostControlSite, DocHostUIHandler)
    if (CDocHostHtmlView* pView = pThis->GetView())
        return pView->OnFilterDataObject(pDO, ppDORet);
    if (ppDORet)
        *ppDORet = nullptr;
    return E_NOTIMPL;
}

// Through the second handler only GetOverrideKeyPath reaches the view.
HRESULT CDocHostControlSite::XDocHostUIHandler2::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*)
{
    return S_FALSE;
}
HRESULT CDocHostControlSite::XDocHostUIHandler2::GetHostInfo(DOCHOSTUIINFO*) { return S_FALSE; }
HRESULT CDocHostControlSite::XDocHostUIHandler2::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*,
                                                        IOleInPlaceFrame*, IOleInPlaceUIWindow*)
{
    return S_FALSE;
}
HRESULT CDocHostControlSite::XDocHostUIHandler2::HideUI() { return S_FALSE; }
HRESULT CDocHostControlSite::XDocHostUIHandler2::UpdateUI() { return S_FALSE; }
HRESULT CDocHostControlSite::XDocHostUIHandler2::EnableModeless(BOOL) { return S_FALSE; }
HRESULT CDocHostControlSite::XDocHostUIHandler2::OnDocWindowActivate(BOOL) { return S_FALSE; }
HRESULT CDocHostControlSite::XDocHostUIHandler2::OnFrameWindowActivate(BOOL) { return S_FALSE; }
HRESULT CDocHostControlSite::XDocHostUIHandler2::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_FALSE; }
HRESULT CDocHostControlSite::XDocHostUIHandler2::TranslateAccelerator(LPMSG, const GUID*, DWORD) { return S_FALSE; }
HRESULT CDocHostControlSite::XDocHostUIHandler2::GetOptionKeyPath(LPOLESTR*, DWORD) { return S_FALSE; }
HRESULT CDocHostControlSite::XDocHostUIHandler2::GetDropTarget(IDropTarget*, IDropTarget**) { return S_FALSE; }
HRESULT CDocHostControlSite::XDocHostUIHandler2::GetExternal(IDispatch**) { return S_FALSE; }
HRESULT CDocHostControlSite::XDocHostUIHandler2::TranslateUrl(DWORD, OLECHAR*, OLECHAR**) { return S_FALSE; }
HRESULT CDocHostControlSite::XDocHostUIHandler2::FilterDataObject(IDataObject*, IDataObject**) { return S_FALSE; }

HRESULT CDocHostControlSite::XDocHostUIHandler2::GetOverrideKeyPath(LPOLESTR* pchKey, DWORD dw)
{
    DOC_HOST_VIEW_CALL(DocHostUIHandler2, OnGetOverrideKeyPath(pchKey, dw))
}

// The view

CDocHostHtmlView::~CDocHostHtmlView()
{
    // Controls made from now on must not be given sites of a view that is gone.
    if (m_pOccManager && AfxGetOccManager() == m_pOccManager)
        AfxEnableControlContainer(nullptr);
}

BOOL CDocHostHtmlView::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                              CWnd* pParentWnd, UINT nID, void* pContext)
{
    if (!m_pOccManager) {
        m_occManager = std::make_unique<CDocHostOccManager>();
        m_pOccManager = m_occManager.get();
        m_pOccManager->m_pView = this;
    }
    AfxEnableControlContainer(m_pOccManager);
    // The framework's view makes the window and the browser, asking
    // CreateControlSite for the browser's site.
    return CHtmlView::Create(lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd, nID, pContext);
}

BOOL CDocHostHtmlView::CreateControlSite(COleControlContainer* pContainer, COleControlSite** ppSite, UINT,
                                         const GUID&)
{
    if (!m_pOccManager) {
        *ppSite = nullptr;
        return FALSE;
    }
    *ppSite = m_pOccManager->CreateSite(pContainer);
    return *ppSite != nullptr;
}

// The answers: no edge, themed form controls; the engine keeps its own
// context menu, keys, message boxes and URLs; scripts get no external object.

HRESULT CDocHostHtmlView::OnShowContextMenu(DWORD, LPPOINT, LPUNKNOWN, LPDISPATCH) { return E_NOTIMPL; }

HRESULT CDocHostHtmlView::OnGetExternal(LPDISPATCH* lppDispatch)
{
    if (lppDispatch)
        *lppDispatch = nullptr;
    return E_NOTIMPL;
}

HRESULT CDocHostHtmlView::OnGetHostInfo(DOCHOSTUIINFO* pInfo)
{
    if (!pInfo)
        return E_POINTER;
    pInfo->dwFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_THEME;
    pInfo->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
}

HRESULT CDocHostHtmlView::OnShowUI(DWORD, LPOLEINPLACEACTIVEOBJECT, LPOLECOMMANDTARGET, LPOLEINPLACEFRAME,
                                   LPOLEINPLACEUIWINDOW)
{
    return S_OK;
}

HRESULT CDocHostHtmlView::OnHideUI() { return S_OK; }
HRESULT CDocHostHtmlView::OnUpdateUI() { return S_OK; }
HRESULT CDocHostHtmlView::OnEnableModeless(BOOL) { return E_NOTIMPL; }
HRESULT CDocHostHtmlView::OnDocWindowActivate(BOOL) { return E_NOTIMPL; }
HRESULT CDocHostHtmlView::OnFrameWindowActivate(BOOL) { return E_NOTIMPL; }
HRESULT CDocHostHtmlView::OnResizeBorder(LPCRECT, LPOLEINPLACEUIWINDOW, BOOL) { return E_NOTIMPL; }
HRESULT CDocHostHtmlView::OnTranslateAccelerator(LPMSG, const GUID*, DWORD) { return S_FALSE; }
HRESULT CDocHostHtmlView::OnGetOptionKeyPath(LPOLESTR*, DWORD) { return E_NOTIMPL; }

HRESULT CDocHostHtmlView::OnFilterDataObject(LPDATAOBJECT, LPDATAOBJECT* ppDataObject)
{
    if (ppDataObject)
        *ppDataObject = nullptr;
    return E_NOTIMPL;
}

HRESULT CDocHostHtmlView::OnTranslateUrl(DWORD, OLECHAR*, OLECHAR**) { return E_NOTIMPL; }
HRESULT CDocHostHtmlView::OnGetDropTarget(LPDROPTARGET, LPDROPTARGET*) { return E_NOTIMPL; }
HRESULT CDocHostHtmlView::OnGetOverrideKeyPath(LPOLESTR*, DWORD) { return E_NOTIMPL; }
HRESULT CDocHostHtmlView::OnShowHelp(HWND, LPOLESTR, UINT, DWORD, POINT, IDispatch*) { return E_NOTIMPL; }

HRESULT CDocHostHtmlView::OnShowMessage(HWND, LPOLESTR, LPOLESTR, DWORD, LPOLESTR, DWORD, LRESULT*)
{
    return E_NOTIMPL;
}
