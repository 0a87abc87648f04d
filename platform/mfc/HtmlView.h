// The HTML view: a view covered by a WebBrowser control. It navigates,
// copies and selects through the control's object, hears every navigation
// before it happens (and may cancel it), and answers the browser's host
// questions through overridables; the engine follows the answers.
#pragma once

#include "platform/base/Array.h"
#include "platform/mfc/OleControl.h"
#include "platform/mfc/View.h"

class CHtmlView : public CFormView {
    DECLARE_DYNCREATE(CHtmlView)
public:
    CHtmlView();
    ~CHtmlView() override;

    // The view's window, then the browser over its client area (pane id
    // AFX_IDW_PANE_FIRST). Fails, with the view's window destroyed, when the
    // browser cannot be made.
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                UINT nID, void* pContext = nullptr) override;
    void OnDraw(CDC*) override {}
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // The browser's events reach the overridables from here.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL CreateControlSite(COleControlContainer* pContainer, COleControlSite** ppSite, UINT nID,
                           const GUID& clsid) override;

    // A program path or URL; the other arguments are the control's own and
    // not used by the engine.
    void Navigate(LPCTSTR lpszURL, DWORD dwFlags = 0, LPCTSTR lpszTargetFrameName = nullptr,
                  LPCTSTR lpszHeaders = nullptr, LPVOID lpvPostData = nullptr, DWORD dwPostDataLen = 0);
    void Navigate2(LPCTSTR lpszURL, DWORD dwFlags = 0, LPCTSTR lpszTargetFrameName = nullptr,
                   LPCTSTR lpszHeaders = nullptr, LPVOID lpvPostData = nullptr, DWORD dwPostDataLen = 0);
    void Navigate2(LPCTSTR lpszURL, DWORD dwFlags, CByteArray& baPostedData, LPCTSTR lpszTargetFrameName = nullptr,
                   LPCTSTR lpszHeader = nullptr);
    CString GetLocationURL() const;
    void ExecWB(OLECMDID cmdID, OLECMDEXECOPT cmdexecopt, VARIANT* pvaIn, VARIANT* pvaOut);

    // Every navigation before it happens: the URL (GBK, percent-decoded),
    // the posted bytes and their headers for a posted form. Setting
    // *pbCancel keeps the current page.
    virtual void OnBeforeNavigate2(LPCTSTR lpszURL, DWORD nFlags, LPCTSTR lpszTargetFrameName,
                                   CByteArray& baPostedData, LPCTSTR lpszHeaders, BOOL* pbCancel);

    // The host questions. S_OK from OnShowContextMenu or
    // OnTranslateAccelerator means the view did it; anything else leaves it
    // to the engine. OnGetHostInfo's DOCHOSTUIFLAG_NO3DBORDER removes the
    // page's edge; an object from OnGetExternal is refused (scripts get none).
    virtual HRESULT OnShowContextMenu(DWORD dwID, LPPOINT ppt, LPUNKNOWN pcmdtReserved, LPDISPATCH pdispReserved);
    virtual HRESULT OnGetExternal(LPDISPATCH* lppDispatch);
    virtual HRESULT OnGetHostInfo(DOCHOSTUIINFO* pInfo);
    virtual HRESULT OnShowUI(DWORD dwID, LPOLEINPLACEACTIVEOBJECT pActiveObject, LPOLECOMMANDTARGET pCommandTarget,
                             LPOLEINPLACEFRAME pFrame, LPOLEINPLACEUIWINDOW pDoc);
    virtual HRESULT OnHideUI();
    virtual HRESULT OnUpdateUI();
    virtual HRESULT OnEnableModeless(BOOL fEnable);
    virtual HRESULT OnDocWindowActivate(BOOL fActivate);
    virtual HRESULT OnFrameWindowActivate(BOOL fActivate);
    virtual HRESULT OnResizeBorder(LPCRECT prcBorder, LPOLEINPLACEUIWINDOW pUIWindow, BOOL fFrameWindow);
    virtual HRESULT OnTranslateAccelerator(LPMSG lpMsg, const GUID* pguidCmdGroup, DWORD nCmdID);
    virtual HRESULT OnGetOptionKeyPath(LPOLESTR* pchKey, DWORD dwReserved);
    virtual HRESULT OnFilterDataObject(LPDATAOBJECT pDataObject, LPDATAOBJECT* ppDataObject);
    virtual HRESULT OnTranslateUrl(DWORD dwTranslate, OLECHAR* pchURLIn, OLECHAR** ppchURLOut);
    virtual HRESULT OnGetDropTarget(LPDROPTARGET pDropTarget, LPDROPTARGET* ppDropTarget);

    void OnSize(UINT nType, int cx, int cy);
    void OnDestroy();

    CWnd m_wndBrowser;
    IWebBrowser2* m_pBrowserApp = nullptr; // counted

protected:
    DECLARE_MESSAGE_MAP()
};
