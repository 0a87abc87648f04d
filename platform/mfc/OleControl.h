// Control containment as the framework does it: a window's controls made
// by class id live in its control container, each with a control site made
// by the process-wide manager (or by the container window itself); a site
// may hand out extra interfaces through an interface map. The one control
// class known here is the WebBrowser control: a browser window whose object
// is IWebBrowser2-shaped and answers automation calls by dispatch id.
//
// Text at these interfaces (BSTR, OLECHAR) is the program's own, GBK.
#pragma once

#include "platform/controls/RichEditOle.h"
#include "platform/mfc/Wnd.h"

#include <cstddef>
#include <vector>

// Automation types.
typedef unsigned short VARTYPE;
typedef char OLECHAR;
typedef OLECHAR* LPOLESTR;
typedef const OLECHAR* LPCOLESTR;
typedef OLECHAR* BSTR; // length-prefixed
typedef short VARIANT_BOOL;
typedef LONG DISPID;
typedef DWORD LCID;
#define VARIANT_TRUE (static_cast<VARIANT_BOOL>(-1))
#define VARIANT_FALSE (static_cast<VARIANT_BOOL>(0))

enum VARENUM {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_UI1 = 17,
    VT_UI4 = 19,
    VT_ARRAY = 0x2000,
    VT_BYREF = 0x4000
};

struct SAFEARRAYBOUND {
    ULONG cElements;
    LONG lLbound;
};
// One-dimensional arrays only.
struct SAFEARRAY {
    USHORT cDims;
    USHORT fFeatures;
    ULONG cbElements;
    ULONG cLocks;
    void* pvData;
    SAFEARRAYBOUND rgsabound[1];
};
typedef SAFEARRAY* LPSAFEARRAY;

struct IDispatch;
struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONG lVal;
        BYTE bVal;
        SHORT iVal;
        VARIANT_BOOL boolVal;
        HRESULT scode;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        SAFEARRAY* parray;
        VARIANT* pvarVal;
        BSTR* pbstrVal;
        VARIANT_BOOL* pboolVal;
        void* byref;
    };
};
typedef VARIANT* LPVARIANT;
typedef VARIANT VARIANTARG;

BSTR SysAllocString(LPCOLESTR text);
BSTR SysAllocStringLen(LPCOLESTR text, UINT length);
UINT SysStringLen(BSTR text);
void SysFreeString(BSTR text);
void VariantInit(VARIANT* var);
HRESULT VariantClear(VARIANT* var);
HRESULT VariantCopy(VARIANT* dest, const VARIANT* src);
SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG elements);
HRESULT SafeArrayDestroy(SAFEARRAY* array);
HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data);
HRESULT SafeArrayUnaccessData(SAFEARRAY* array);
HRESULT SafeArrayGetLBound(SAFEARRAY* array, UINT dim, LONG* bound);
HRESULT SafeArrayGetUBound(SAFEARRAY* array, UINT dim, LONG* bound);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"; CO_E_CLASSSTRING when malformed.
#define CO_E_CLASSSTRING (static_cast<HRESULT>(0x800401F3L))
HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid);

struct DISPPARAMS {
    VARIANTARG* rgvarg; // last argument first
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};
#define DISPATCH_METHOD 0x1
#define DISPATCH_PROPERTYGET 0x2
#define DISPATCH_PROPERTYPUT 0x4
#define DISP_E_MEMBERNOTFOUND (static_cast<HRESULT>(0x80020003L))
#define DISP_E_TYPEMISMATCH (static_cast<HRESULT>(0x80020005L))
#define DISP_E_BADPARAMCOUNT (static_cast<HRESULT>(0x8002000EL))

// The parameter lists of InvokeHelper, one byte per parameter.
#define VTS_NONE ""
#define VTS_I2 "\x02"
#define VTS_I4 "\x03"
#define VTS_BSTR "\x08"
#define VTS_BOOL "\x0B"
#define VTS_VARIANT "\x0C"
#define VTS_PVARIANT "\x4C" // by reference

struct IDispatch : IUnknown {
    virtual HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                           VARIANT* pVarResult, void* pExcepInfo, UINT* puArgErr) = 0;

protected:
    ~IDispatch() = default;
};
typedef IDispatch* LPDISPATCH;

// The browser's automation interface and its commands.
enum OLECMDID { OLECMDID_COPY = 12, OLECMDID_PASTE = 13, OLECMDID_SELECTALL = 17 };
enum OLECMDEXECOPT {
    OLECMDEXECOPT_DODEFAULT = 0,
    OLECMDEXECOPT_PROMPTUSER = 1,
    OLECMDEXECOPT_DONTPROMPTUSER = 2,
    OLECMDEXECOPT_SHOWHELP = 3
};
#define OLECMDERR_E_NOTSUPPORTED (static_cast<HRESULT>(0x80040100L))
#define DISPID_WEBBROWSER_NAVIGATE 104
#define DISPID_WEBBROWSER_LOCATIONURL 211
#define DISPID_WEBBROWSER_NAVIGATE2 500
#define DISPID_WEBBROWSER_EXECWB 502
// The browser's event before a navigation: (IDispatch* pDisp, VARIANT* URL,
// VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData (a byte
// array), VARIANT* Headers, VARIANT_BOOL* Cancel).
#define DISPID_BEFORENAVIGATE2 250

struct IWebBrowser2 : IDispatch {
    // A program path or a URL. Flags, target, posted data and headers are
    // accepted and not used: the program navigates to its own pages.
    virtual HRESULT Navigate(BSTR URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData,
                             VARIANT* Headers) = 0;
    virtual HRESULT Navigate2(VARIANT* URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData,
                              VARIANT* Headers) = 0;
    virtual HRESULT get_LocationURL(BSTR* LocationURL) = 0;
    virtual HRESULT ExecWB(OLECMDID cmdID, OLECMDEXECOPT cmdexecopt, VARIANT* pvaIn, VARIANT* pvaOut) = 0;
    virtual HRESULT get_HWND(HWND* pHWND) = 0;

protected:
    ~IWebBrowser2() = default;
};

// The host interfaces a browser asks of its site.
struct IOleInPlaceActiveObject;
struct IOleCommandTarget;
struct IOleInPlaceFrame;
struct IOleInPlaceUIWindow;
struct IDropTarget;
typedef IOleInPlaceActiveObject* LPOLEINPLACEACTIVEOBJECT;
typedef IOleCommandTarget* LPOLECOMMANDTARGET;
typedef IOleInPlaceFrame* LPOLEINPLACEFRAME;
typedef IOleInPlaceUIWindow* LPOLEINPLACEUIWINDOW;
typedef IDropTarget* LPDROPTARGET;

#define DOCHOSTUIFLAG_DIALOG 0x00000001
#define DOCHOSTUIFLAG_NO3DBORDER 0x00000004
#define DOCHOSTUIFLAG_SCROLL_NO 0x00000008
#define DOCHOSTUIFLAG_THEME 0x00040000
#define DOCHOSTUIDBLCLK_DEFAULT 0
#define CONTEXT_MENU_DEFAULT 0

struct DOCHOSTUIINFO {
    ULONG cbSize;
    DWORD dwFlags;
    DWORD dwDoubleClick;
    OLECHAR* pchHostCss;
    OLECHAR* pchHostNS;
};

struct IDocHostUIHandler : IUnknown {
    virtual HRESULT ShowContextMenu(DWORD dwID, POINT* ppt, IUnknown* pcmdtReserved, IDispatch* pdispReserved) = 0;
    virtual HRESULT GetHostInfo(DOCHOSTUIINFO* pInfo) = 0;
    virtual HRESULT ShowUI(DWORD dwID, IOleInPlaceActiveObject* pActiveObject, IOleCommandTarget* pCommandTarget,
                           IOleInPlaceFrame* pFrame, IOleInPlaceUIWindow* pDoc) = 0;
    virtual HRESULT HideUI() = 0;
    virtual HRESULT UpdateUI() = 0;
    virtual HRESULT EnableModeless(BOOL fEnable) = 0;
    virtual HRESULT OnDocWindowActivate(BOOL fActivate) = 0;
    virtual HRESULT OnFrameWindowActivate(BOOL fActivate) = 0;
    virtual HRESULT ResizeBorder(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow, BOOL fRameWindow) = 0;
    virtual HRESULT TranslateAccelerator(LPMSG lpMsg, const GUID* pguidCmdGroup, DWORD nCmdID) = 0;
    virtual HRESULT GetOptionKeyPath(LPOLESTR* pchKey, DWORD dw) = 0;
    virtual HRESULT GetDropTarget(IDropTarget* pDropTarget, IDropTarget** ppDropTarget) = 0;
    virtual HRESULT GetExternal(IDispatch** ppDispatch) = 0;
    virtual HRESULT TranslateUrl(DWORD dwTranslate, OLECHAR* pchURLIn, OLECHAR** ppchURLOut) = 0;
    virtual HRESULT FilterDataObject(IDataObject* pDO, IDataObject** ppDORet) = 0;

protected:
    ~IDocHostUIHandler() = default;
};

struct IDocHostUIHandler2 : IDocHostUIHandler {
    virtual HRESULT GetOverrideKeyPath(LPOLESTR* pchKey, DWORD dw) = 0;

protected:
    ~IDocHostUIHandler2() = default;
};

struct IDocHostShowUI : IUnknown {
    virtual HRESULT ShowMessage(HWND hwnd, LPOLESTR lpstrText, LPOLESTR lpstrCaption, DWORD dwType,
                                LPOLESTR lpstrHelpFile, DWORD dwHelpContext, LRESULT* plResult) = 0;
    virtual HRESULT ShowHelp(HWND hwnd, LPOLESTR pszHelpFile, UINT uCommand, DWORD dwData, POINT ptMouse,
                             IDispatch* pDispatchObjectHit) = 0;

protected:
    ~IDocHostShowUI() = default;
};

extern const IID IID_IDispatch;
extern const IID IID_IWebBrowser2;
extern const IID IID_IDocHostUIHandler;
extern const IID IID_IDocHostUIHandler2;
extern const IID IID_IDocHostShowUI;
extern const CLSID CLSID_WebBrowser; // {8856F961-340A-11D0-A96B-00C04FD705A2}

// A VARIANT that frees what it holds.
class COleVariant : public VARIANT {
public:
    COleVariant() { VariantInit(this); }
    COleVariant(const COleVariant& other);
    COleVariant(LPCTSTR text);
    COleVariant(LONG value, VARTYPE vt = VT_I4);
    ~COleVariant() { VariantClear(this); }
    COleVariant& operator=(const COleVariant& other);
    operator LPVARIANT() { return this; }
    void Clear() { VariantClear(this); }
};

// The interface-map macros: an object declares its parts in the class and
// maps ids to them in the source.
#define DECLARE_INTERFACE_MAP()                                                                                   \
protected:                                                                                                        \
    static const AFX_INTERFACEMAP* GetThisInterfaceMap();                                                         \
    const AFX_INTERFACEMAP* GetInterfaceMap() const override;

#define BEGIN_INTERFACE_MAP(theClass, baseClass)                                                                  \
    const AFX_INTERFACEMAP* theClass::GetInterfaceMap() const { return GetThisInterfaceMap(); }                   \
    const AFX_INTERFACEMAP* theClass::GetThisInterfaceMap()                                                       \
    {                                                                                                             \
        using TheBaseClass = baseClass;                                                                           \
        static const AFX_INTERFACEMAP_ENTRY _interfaceEntries[] = {

#define INTERFACE_PART(theClass, iid, localClass)                                                                 \
    {&iid, [](CCmdTarget* t_) -> void* { return static_cast<void*>(&static_cast<theClass*>(t_)->m_x##localClass); }},

#define END_INTERFACE_MAP()                                                                                       \
    {nullptr, nullptr}                                                                                            \
    }                                                                                                             \
    ;                                                                                                             \
    static const AFX_INTERFACEMAP interfaceMap = {&TheBaseClass::GetThisInterfaceMap, &_interfaceEntries[0]};     \
    return &interfaceMap;                                                                                         \
    }

#define STDMETHOD(method) virtual HRESULT method
#define STDMETHOD_(type, method) virtual type method
#define STDMETHODIMP HRESULT
#define STDMETHODIMP_(type) type

#define BEGIN_INTERFACE_PART(localClass, baseClass)                                                               \
    class X##localClass : public baseClass {                                                                      \
    public:                                                                                                       \
        STDMETHOD_(ULONG, AddRef)();                                                                              \
        STDMETHOD_(ULONG, Release)();                                                                             \
        STDMETHOD(QueryInterface)(REFIID iid, void** ppvObj);
#define INIT_INTERFACE_PART(theClass, localClass)
#define END_INTERFACE_PART(localClass)                                                                            \
    }                                                                                                             \
    m_x##localClass;                                                                                              \
    friend class X##localClass;

// pThis: the object whose part `this` is.
#define METHOD_PROLOGUE(theClass, localClass)                                                                     \
    _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Winvalid-offsetof\"")                       \
    theClass* pThis = reinterpret_cast<theClass*>(reinterpret_cast<BYTE*>(this) -                                 \
                                                  offsetof(theClass, m_x##localClass));                           \
    _Pragma("GCC diagnostic pop")
#define METHOD_PROLOGUE_EX(theClass, localClass) METHOD_PROLOGUE(theClass, localClass)
// A part's IUnknown: the object's reference count and interface map.
#define IMPLEMENT_PART_UNKNOWN(theClass, localClass)                                                              \
    ULONG theClass::X##localClass::AddRef()                                                                       \
    {                                                                                                             \
        METHOD_PROLOGUE(theClass, localClass)                                                                     \
        return pThis->ExternalAddRef();                                                                           \
    }                                                                                                             \
    ULONG theClass::X##localClass::Release()                                                                      \
    {                                                                                                             \
        METHOD_PROLOGUE(theClass, localClass)                                                                     \
        return pThis->ExternalRelease();                                                                          \
    }                                                                                                             \
    HRESULT theClass::X##localClass::QueryInterface(REFIID iid, void** ppvObj)                                    \
    {                                                                                                             \
        METHOD_PROLOGUE(theClass, localClass)                                                                     \
        return static_cast<HRESULT>(pThis->ExternalQueryInterface(&iid, ppvObj));                                 \
    }
#define METHOD_PROLOGUE_EX_(theClass, localClass) METHOD_PROLOGUE(theClass, localClass)

class COleControlContainer;
class COleControlSite;

// The manager makes the containers and the default sites.
class COccManager {
public:
    virtual ~COccManager() = default;
    virtual COleControlContainer* CreateContainer(CWnd* pWnd);
    virtual COleControlSite* CreateSite(COleControlContainer* pCtrlCont);
};

// Installs the manager (the framework's own without one) for every control
// made from now on; template controls given by class id become controls.
void AfxEnableControlContainer(COccManager* pOccManager = nullptr);
COccManager* AfxGetOccManager();

// The controls of one window.
class COleControlContainer : public CCmdTarget {
public:
    explicit COleControlContainer(CWnd* pWnd);
    ~COleControlContainer() override;
    // Makes the site (the window's own, else the manager's) and the control.
    BOOL CreateControl(CWnd* pWndCtrl, REFCLSID clsid, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       UINT nID, COleControlSite** ppNewSite = nullptr);
    COleControlSite* FindItem(UINT nID) const;

    CWnd* m_pWnd;
    HWND m_hWnd;
    std::vector<COleControlSite*> m_sites;
};

// One control in its container: its window and its object.
class COleControlSite : public CCmdTarget {
public:
    explicit COleControlSite(COleControlContainer* pCtrlCont);
    ~COleControlSite() override;
    // Makes the control's window (a child of the container's window) and
    // its object; FALSE for a class that is not known.
    virtual BOOL CreateControl(CWnd* pWndCtrl, REFCLSID clsid, LPCTSTR lpszWindowName, DWORD dwStyle,
                               const RECT& rect, UINT nID);
    // The site of a control window, or null.
    static COleControlSite* FromControlWindow(HWND hWnd);

    COleControlContainer* m_pCtrlCont;
    HWND m_hWnd = nullptr;
    CWnd* m_pWndCtrl = nullptr;
    UINT m_nID = 0;
    CLSID m_clsid{};
    IUnknown* m_pObject = nullptr; // counted
    DECLARE_INTERFACE_MAP()
};

// An event of a control, offered to its container's window by OnCmdMsg
// (control id, CN_EVENT, the event).
struct AFX_EVENT {
    DISPID m_dispid;
    DISPPARAMS* m_pDispParams;
};

namespace tavrin::mfc {
// The WebBrowser object of a browser window (made on first use, counted
// for the caller), or null when the window is not a browser.
IWebBrowser2* WebBrowserOf(HWND hWnd);
} // namespace tavrin::mfc
