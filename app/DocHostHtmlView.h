// The HTML view whose own control site answers the browser's host questions
// (no edge, themed form controls, the engine's own menus, keys and message
// boxes, no object for scripts). Its manager is installed for the whole
// process, so controls made later by other windows get the same answers.
#pragma once

#include "platform/mfc/HtmlView.h"

#include <memory>

class CDocHostHtmlView;

// Makes the sites that answer for one view.
class CDocHostOccManager : public COccManager {
public:
    COleControlSite* CreateSite(COleControlContainer* pCtrlCont) override;
    CDocHostHtmlView* m_pView = nullptr;
};

class CDocHostControlSite : public COleControlSite {
public:
    CDocHostControlSite(COleControlContainer* pCtrlCont, CDocHostHtmlView* pView);
    // The view while its window lives, else null: a site may outlive the
    // view that made its manager.
    CDocHostHtmlView* GetView() const;

    HWND m_hWndView = nullptr;

    BEGIN_INTERFACE_PART(DocHostShowUI, IDocHostShowUI)
    STDMETHOD(ShowMessage)(HWND hwnd, LPOLESTR lpstrText, LPOLESTR lpstrCaption, DWORD dwType,
                           LPOLESTR lpstrHelpFile, DWORD dwHelpContext, LRESULT* plResult) override;
    STDMETHOD(ShowHelp)(HWND hwnd, LPOLESTR pszHelpFile, UINT uCommand, DWORD dwData, POINT ptMouse,
                        IDispatch* pDispatchObjectHit) override;
    END_INTERFACE_PART(DocHostShowUI)

#define TAVRIN_DOC_HOST_UI_HANDLER_METHODS                                                                        \
    STDMETHOD(ShowContextMenu)(DWORD dwID, POINT* ppt, IUnknown* pcmdt, IDispatch* pdisp) override;           \
    STDMETHOD(GetHostInfo)(DOCHOSTUIINFO* pInfo) override;                                                       \
    STDMETHOD(ShowUI)(DWORD dwID, IOleInPlaceActiveObject* pActiveObject, IOleCommandTarget* pCommandTarget,    \
                      IOleInPlaceFrame* pFrame, IOleInPlaceUIWindow* pDoc) override;                            \
    STDMETHOD(HideUI)() override;                                                                                 \
    STDMETHOD(UpdateUI)() override;                                                                               \
    STDMETHOD(EnableModeless)(BOOL fEnable) override;                                                             \
    STDMETHOD(OnDocWindowActivate)(BOOL fActivate) override;                                                      \
    STDMETHOD(OnFrameWindowActivate)(BOOL fActivate) override;                                                    \
    STDMETHOD(ResizeBorder)(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow, BOOL fFrameWindow) override;      \
    STDMETHOD(TranslateAccelerator)(LPMSG lpMsg, const GUID* pguidCmdGroup, DWORD nCmdID) override;               \
    STDMETHOD(GetOptionKeyPath)(LPOLESTR* pchKey, DWORD dw) override;                                            \
    STDMETHOD(GetDropTarget)(IDropTarget* pDropTarget, IDropTarget** ppDropTarget) override;                    \
    STDMETHOD(GetExternal)(IDispatch** ppDispatch) override;                                                     \
    STDMETHOD(TranslateUrl)(DWORD dwTranslate, OLECHAR* pchURLIn, OLECHAR** ppchURLOut) override;               \
    STDMETHOD(FilterDataObject)(IDataObject* pDO, IDataObject** ppDORet) override;

    BEGIN_INTERFACE_PART(DocHostUIHandler, IDocHostUIHandler)
    TAVRIN_DOC_HOST_UI_HANDLER_METHODS
    END_INTERFACE_PART(DocHostUIHandler)

    // Only GetOverrideKeyPath reaches the view; the inherited methods
    // answer S_FALSE.
    BEGIN_INTERFACE_PART(DocHostUIHandler2, IDocHostUIHandler2)
    TAVRIN_DOC_HOST_UI_HANDLER_METHODS
    STDMETHOD(GetOverrideKeyPath)(LPOLESTR* pchKey, DWORD dw) override;
    END_INTERFACE_PART(DocHostUIHandler2)

    DECLARE_INTERFACE_MAP()
};

class CDocHostHtmlView : public CHtmlView {
    DECLARE_DYNCREATE(CDocHostHtmlView)
public:
    CDocHostHtmlView() = default;
    ~CDocHostHtmlView() override;

    // Installs the view's manager, then the view and its browser; FALSE,
    // with nothing left behind, when the browser cannot be made.
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                UINT nID, void* pContext = nullptr) override;
    BOOL CreateControlSite(COleControlContainer* pContainer, COleControlSite** ppSite, UINT nID,
                           const GUID& clsid) override;

    HRESULT OnShowContextMenu(DWORD dwID, LPPOINT ppt, LPUNKNOWN pcmdtReserved, LPDISPATCH pdispReserved) override;
    HRESULT OnGetExternal(LPDISPATCH* lppDispatch) override;
    HRESULT OnGetHostInfo(DOCHOSTUIINFO* pInfo) override;
    HRESULT OnShowUI(DWORD dwID, LPOLEINPLACEACTIVEOBJECT pActiveObject, LPOLECOMMANDTARGET pCommandTarget,
                     LPOLEINPLACEFRAME pFrame, LPOLEINPLACEUIWINDOW pDoc) override;
    HRESULT OnHideUI() override;
    HRESULT OnUpdateUI() override;
    HRESULT OnEnableModeless(BOOL fEnable) override;
    HRESULT OnDocWindowActivate(BOOL fActivate) override;
    HRESULT OnFrameWindowActivate(BOOL fActivate) override;
    HRESULT OnResizeBorder(LPCRECT prcBorder, LPOLEINPLACEUIWINDOW pUIWindow, BOOL fFrameWindow) override;
    HRESULT OnTranslateAccelerator(LPMSG lpMsg, const GUID* pguidCmdGroup, DWORD nCmdID) override;
    HRESULT OnGetOptionKeyPath(LPOLESTR* pchKey, DWORD dwReserved) override;
    HRESULT OnFilterDataObject(LPDATAOBJECT pDataObject, LPDATAOBJECT* ppDataObject) override;
    HRESULT OnTranslateUrl(DWORD dwTranslate, OLECHAR* pchURLIn, OLECHAR** ppchURLOut) override;
    HRESULT OnGetDropTarget(LPDROPTARGET pDropTarget, LPDROPTARGET* ppDropTarget) override;
    virtual HRESULT OnGetOverrideKeyPath(LPOLESTR* pchKey, DWORD dwReserved);
    virtual HRESULT OnShowHelp(HWND hwnd, LPOLESTR pszHelpFile, UINT uCommand, DWORD dwData, POINT ptMouse,
                               IDispatch* pDispatchObjectHit);
    virtual HRESULT OnShowMessage(HWND hwnd, LPOLESTR lpstrText, LPOLESTR lpstrCaption, DWORD dwType,
                                  LPOLESTR lpstrHelpFile, DWORD dwHelpContext, LRESULT* plResult);

    // Kept for the program's life while installed; a view that goes takes
    // its manager out of service first.
    CDocHostOccManager* m_pOccManager = nullptr;

private:
    std::unique_ptr<CDocHostOccManager> m_occManager;
};
