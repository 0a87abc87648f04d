#include "platform/mfc/OleControl.h"

#include "platform/browser/BrowserWindow.h"
#include "platform/win/Dialog.h"

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

const IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IWebBrowser2 = {0xD30C1661, 0xCDAF, 0x11D0, {0x8A, 0x3E, 0x00, 0xC0, 0x4F, 0xC9, 0xE2, 0x6E}};
const IID IID_IDocHostUIHandler = {0xBD3F23C0, 0xD43E, 0x11CF, {0x89, 0x3B, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x1A}};
const IID IID_IDocHostUIHandler2 = {0x3050F6D0, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};
const IID IID_IDocHostShowUI = {0xC4D244B0, 0xD43E, 0x11CF, {0x89, 0x3B, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x1A}};
const CLSID CLSID_WebBrowser = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};

// Strings, variants, arrays

BSTR SysAllocStringLen(LPCOLESTR text, UINT length)
{
    auto* block = static_cast<char*>(std::malloc(sizeof(UINT) + length + 1));
    if (!block)
        return nullptr;
    std::memcpy(block, &length, sizeof length);
    BSTR result = block + sizeof(UINT);
    if (text)
        std::memcpy(result, text, length);
    else
        std::memset(result, 0, length);
    result[length] = '\0';
    return result;
}

BSTR SysAllocString(LPCOLESTR text)
{
    return text ? SysAllocStringLen(text, static_cast<UINT>(std::strlen(text))) : nullptr;
}

UINT SysStringLen(BSTR text)
{
    UINT length = 0;
    if (text)
        std::memcpy(&length, text - sizeof(UINT), sizeof length);
    return length;
}

void SysFreeString(BSTR text)
{
    if (text)
        std::free(text - sizeof(UINT));
}

void VariantInit(VARIANT* var) { std::memset(var, 0, sizeof *var); }

HRESULT VariantClear(VARIANT* var)
{
    if (!var)
        return E_INVALIDARG;
    switch (var->vt) {
    case VT_BSTR: SysFreeString(var->bstrVal); break;
    case VT_UNKNOWN:
    case VT_DISPATCH:
        if (var->punkVal)
            var->punkVal->Release();
        break;
    default:
        if ((var->vt & VT_ARRAY) && !(var->vt & VT_BYREF))
            SafeArrayDestroy(var->parray);
        break;
    }
    VariantInit(var);
    return S_OK;
}

HRESULT VariantCopy(VARIANT* dest, const VARIANT* src)
{
    if (!dest || !src)
        return E_INVALIDARG;
    if (dest == src)
        return S_OK;
    VariantClear(dest);
    *dest = *src;
    switch (src->vt) {
    case VT_BSTR:
        dest->bstrVal = SysAllocStringLen(src->bstrVal, SysStringLen(src->bstrVal));
        break;
    case VT_UNKNOWN:
    case VT_DISPATCH:
        if (dest->punkVal)
            dest->punkVal->AddRef();
        break;
    default:
        if ((src->vt & VT_ARRAY) && !(src->vt & VT_BYREF) && src->parray) {
            SAFEARRAY* from = src->parray;
            dest->parray = SafeArrayCreateVector(static_cast<VARTYPE>(src->vt & ~VT_ARRAY), from->rgsabound[0].lLbound,
                                                 from->rgsabound[0].cElements);
            if (!dest->parray) {
                VariantInit(dest);
                return E_OUTOFMEMORY;
            }
            std::memcpy(dest->parray->pvData, from->pvData, size_t{from->cbElements} * from->rgsabound[0].cElements);
        }
        break;
    }
    return S_OK;
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG elements)
{
    // Arrays of plain values only: bytes, shorts and longs.
    ULONG size = vt == VT_UI1 ? 1 : vt == VT_I2 ? 2 : (vt == VT_I4 || vt == VT_UI4) ? 4 : 0;
    if (!size)
        return nullptr;
    auto* array = new SAFEARRAY{};
    array->cDims = 1;
    array->cbElements = size;
    array->rgsabound[0] = SAFEARRAYBOUND{elements, lowerBound};
    array->pvData = std::calloc(std::max<size_t>(size_t{elements} * size, 1), 1);
    if (!array->pvData) {
        delete array;
        return nullptr;
    }
    return array;
}

HRESULT SafeArrayDestroy(SAFEARRAY* array)
{
    if (!array)
        return S_OK;
    if (array->cLocks)
        return static_cast<HRESULT>(0x8002000DL); // DISP_E_ARRAYISLOCKED
    std::free(array->pvData);
    delete array;
    return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data)
{
    if (!array || !data)
        return E_INVALIDARG;
    ++array->cLocks;
    *data = array->pvData;
    return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* array)
{
    if (!array || !array->cLocks)
        return E_UNEXPECTED;
    --array->cLocks;
    return S_OK;
}

HRESULT SafeArrayGetLBound(SAFEARRAY* array, UINT dim, LONG* bound)
{
    if (!array || dim != 1 || !bound)
        return E_INVALIDARG;
    *bound = array->rgsabound[0].lLbound;
    return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* array, UINT dim, LONG* bound)
{
    if (!array || dim != 1 || !bound)
        return E_INVALIDARG;
    *bound = array->rgsabound[0].lLbound + static_cast<LONG>(array->rgsabound[0].cElements) - 1;
    return S_OK;
}

HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid)
{
    if (!text || !clsid)
        return E_INVALIDARG;
    // {8-4-4-4-12}
    if (std::strlen(text) != 38 || text[0] != '{' || text[37] != '}' || text[9] != '-' || text[14] != '-' ||
        text[19] != '-' || text[24] != '-')
        return CO_E_CLASSSTRING;
    auto hex = [&](int at, int digits, unsigned long long* value) {
        *value = 0;
        for (int i = 0; i < digits; ++i) {
            char c = text[at + i];
            int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (d < 0)
                return false;
            *value = *value * 16 + static_cast<unsigned>(d);
        }
        return true;
    };
    unsigned long long v1, v2, v3, v4, v5;
    if (!hex(1, 8, &v1) || !hex(10, 4, &v2) || !hex(15, 4, &v3) || !hex(20, 4, &v4) || !hex(25, 12, &v5))
        return CO_E_CLASSSTRING;
    clsid->Data1 = static_cast<DWORD>(v1);
    clsid->Data2 = static_cast<WORD>(v2);
    clsid->Data3 = static_cast<WORD>(v3);
    clsid->Data4[0] = static_cast<BYTE>(v4 >> 8);
    clsid->Data4[1] = static_cast<BYTE>(v4);
    for (int i = 0; i < 6; ++i)
        clsid->Data4[2 + i] = static_cast<BYTE>(v5 >> (8 * (5 - i)));
    return S_OK;
}

COleVariant::COleVariant(const COleVariant& other)
{
    VariantInit(this);
    VariantCopy(this, &other);
}

COleVariant::COleVariant(LPCTSTR text)
{
    VariantInit(this);
    vt = VT_BSTR;
    bstrVal = SysAllocString(text ? text : "");
}

COleVariant::COleVariant(LONG value, VARTYPE type)
{
    VariantInit(this);
    vt = type == VT_BOOL ? VT_BOOL : type == VT_I2 ? VT_I2 : VT_I4;
    if (vt == VT_BOOL)
        boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    else if (vt == VT_I2)
        iVal = static_cast<SHORT>(value);
    else
        lVal = value;
}

COleVariant& COleVariant::operator=(const COleVariant& other)
{
    VariantCopy(this, &other);
    return *this;
}

// The browser's object

namespace {

// The text a VARIANT argument holds (by value or by reference), or null.
const char* VariantText(const VARIANT* var)
{
    if (!var)
        return nullptr;
    if (var->vt == (VT_VARIANT | VT_BYREF))
        return VariantText(var->pvarVal);
    if (var->vt == VT_BSTR)
        return var->bstrVal;
    if (var->vt == (VT_BSTR | VT_BYREF))
        return var->pbstrVal ? *var->pbstrVal : nullptr;
    return nullptr;
}

LONG VariantLong(const VARIANT* var, bool* ok)
{
    *ok = true;
    if (var && var->vt == (VT_VARIANT | VT_BYREF))
        return VariantLong(var->pvarVal, ok);
    if (var && var->vt == VT_I4)
        return var->lVal;
    if (var && var->vt == VT_I2)
        return var->iVal;
    if (var && var->vt == VT_UI4)
        return var->lVal;
    *ok = false;
    return 0;
}

VARIANT* VariantPointer(VARIANT* var)
{
    if (!var)
        return nullptr;
    if (var->vt == (VT_VARIANT | VT_BYREF))
        return var->pvarVal;
    return var->vt == VT_EMPTY || var->vt == VT_ERROR ? nullptr : var;
}

class WebBrowserObject final : public IWebBrowser2 {
public:
    explicit WebBrowserObject(HWND hWnd) : m_hWnd(hWnd) {}

    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IWebBrowser2) {
            *object = static_cast<IWebBrowser2*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override
    {
        ULONG left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }

    HRESULT Navigate(BSTR URL, VARIANT*, VARIANT*, VARIANT*, VARIANT*) override
    {
        tavrin::browser::Engine* engine = Engine();
        if (!engine)
            return E_FAIL;
        if (!URL)
            return E_INVALIDARG;
        return engine->Navigate(URL) ? S_OK : E_INVALIDARG;
    }
    HRESULT Navigate2(VARIANT* URL, VARIANT* Flags, VARIANT* Target, VARIANT* PostData, VARIANT* Headers) override
    {
        const char* text = VariantText(URL);
        if (!text)
            return E_INVALIDARG;
        return Navigate(const_cast<BSTR>(text), Flags, Target, PostData, Headers);
    }
    HRESULT get_LocationURL(BSTR* LocationURL) override
    {
        if (!LocationURL)
            return E_POINTER;
        tavrin::browser::Engine* engine = Engine();
        *LocationURL = SysAllocString(engine ? engine->GetLocationURL().c_str() : "");
        return engine ? S_OK : E_FAIL;
    }
    HRESULT ExecWB(OLECMDID cmdID, OLECMDEXECOPT, VARIANT*, VARIANT*) override
    {
        tavrin::browser::Engine* engine = Engine();
        if (!engine)
            return E_FAIL;
        if (cmdID == OLECMDID_COPY)
            return engine->Exec(tavrin::browser::Command::Copy) ? S_OK : E_FAIL;
        if (cmdID == OLECMDID_SELECTALL)
            return engine->Exec(tavrin::browser::Command::SelectAll) ? S_OK : E_FAIL;
        return OLECMDERR_E_NOTSUPPORTED;
    }
    HRESULT get_HWND(HWND* pHWND) override
    {
        if (!pHWND)
            return E_POINTER;
        *pHWND = m_hWnd;
        return S_OK;
    }

    HRESULT Invoke(DISPID dispid, REFIID, LCID, WORD wFlags, DISPPARAMS* params, VARIANT* result, void*,
                   UINT*) override
    {
        VARIANTARG* args = params ? params->rgvarg : nullptr;
        UINT count = params ? params->cArgs : 0;
        // Missing trailing arguments (optional ones) count as omitted.
        auto arg = [&](UINT fromFirst, UINT) -> VARIANT* {
            return fromFirst < count ? &args[count - 1 - fromFirst] : nullptr;
        };
        switch (dispid) {
        case DISPID_WEBBROWSER_NAVIGATE: {
            if (count < 1)
                return DISP_E_BADPARAMCOUNT;
            const char* url = VariantText(arg(0, 5));
            if (!url)
                return DISP_E_TYPEMISMATCH;
            return Navigate(const_cast<BSTR>(url), VariantPointer(arg(1, 5)), VariantPointer(arg(2, 5)),
                            VariantPointer(arg(3, 5)), VariantPointer(arg(4, 5)));
        }
        case DISPID_WEBBROWSER_NAVIGATE2:
            if (count < 1)
                return DISP_E_BADPARAMCOUNT;
            return Navigate2(arg(0, 5), VariantPointer(arg(1, 5)), VariantPointer(arg(2, 5)),
                             VariantPointer(arg(3, 5)), VariantPointer(arg(4, 5)));
        case DISPID_WEBBROWSER_EXECWB: {
            if (count < 2)
                return DISP_E_BADPARAMCOUNT;
            bool okId = false, okOption = false;
            LONG cmd = VariantLong(arg(0, 4), &okId);
            LONG option = VariantLong(arg(1, 4), &okOption);
            if (!okId || !okOption)
                return DISP_E_TYPEMISMATCH;
            return ExecWB(static_cast<OLECMDID>(cmd), static_cast<OLECMDEXECOPT>(option), VariantPointer(arg(2, 4)),
                          VariantPointer(arg(3, 4)));
        }
        case DISPID_WEBBROWSER_LOCATIONURL: {
            if (!(wFlags & DISPATCH_PROPERTYGET))
                return DISP_E_MEMBERNOTFOUND;
            BSTR url = nullptr;
            HRESULT hr = get_LocationURL(&url);
            if (result) {
                VariantClear(result);
                result->vt = VT_BSTR;
                result->bstrVal = url;
            } else {
                SysFreeString(url);
            }
            return hr;
        }
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    }

private:
    tavrin::browser::Engine* Engine() const
    {
        return ::IsWindow(m_hWnd) ? tavrin::browser::GetBrowserEngine(m_hWnd) : nullptr;
    }
    HWND m_hWnd;
    std::atomic<ULONG> m_refs{1};
};

// The browser objects by window; one per window, the map holding a reference.
std::mutex g_objectsLock;
std::map<HWND, IWebBrowser2*>& Objects()
{
    static auto* objects = new std::map<HWND, IWebBrowser2*>;
    return *objects;
}

// Objects of windows that are gone are let go.
void PurgeObjects()
{
    std::vector<IWebBrowser2*> gone;
    {
        std::lock_guard<std::mutex> guard(g_objectsLock);
        for (auto it = Objects().begin(); it != Objects().end();) {
            if (!::IsWindow(it->first)) {
                gone.push_back(it->second);
                it = Objects().erase(it);
            } else {
                ++it;
            }
        }
    }
    for (IWebBrowser2* object : gone)
        object->Release();
}

// The site's host answers, passed on to the engine.
void ApplyHostAnswers(HWND hWnd, COleControlSite* pSite)
{
    tavrin::browser::Engine* engine = tavrin::browser::GetBrowserEngine(hWnd);
    if (!engine || !pSite)
        return;
    tavrin::browser::HostUi ui;
    auto* handler = static_cast<IDocHostUIHandler*>(pSite->GetInterface(&IID_IDocHostUIHandler));
    auto* showUi = static_cast<IDocHostShowUI*>(pSite->GetInterface(&IID_IDocHostShowUI));
    if (handler) {
        DOCHOSTUIINFO info{};
        info.cbSize = sizeof info;
        if (handler->GetHostInfo(&info) == S_OK)
            ui.border3d = !(info.dwFlags & DOCHOSTUIFLAG_NO3DBORDER);
        IDispatch* external = nullptr;
        HRESULT hr = handler->GetExternal(&external);
        ui.externalObject = hr == S_OK && external;
        if (external)
            external->Release();
        ui.contextMenu = [handler](POINT pt) {
            return handler->ShowContextMenu(CONTEXT_MENU_DEFAULT, &pt, nullptr, nullptr) == S_OK;
        };
    }
    if (showUi) {
        ui.showMessage = [showUi, hWnd](const std::string& text) {
            LRESULT answer = 0;
            std::string copy = text;
            char caption[] = "";
            return showUi->ShowMessage(hWnd, copy.data(), caption, MB_OK, nullptr, 0, &answer) == S_OK;
        };
    }
    // The page's sunken edge is the browser window's client edge.
    const LONG exStyle = ::GetWindowLongA(hWnd, GWL_EXSTYLE);
    const LONG wanted = ui.border3d ? (exStyle | WS_EX_CLIENTEDGE) : (exStyle & ~static_cast<LONG>(WS_EX_CLIENTEDGE));
    if (wanted != exStyle) {
        ::SetWindowLongA(hWnd, GWL_EXSTYLE, wanted);
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                       SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    engine->SetHostUi(std::move(ui));
}

// The browser's event before a navigation, offered to the window holding
// the control; the window's answer in Cancel decides.
void FireBeforeNavigate(COleControlSite* pSite, tavrin::browser::BeforeNavigate& event)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(pSite->m_pCtrlCont ? pSite->m_pCtrlCont->m_hWnd : nullptr);
    if (!pWnd)
        return;
    COleVariant url(event.url.c_str());
    COleVariant flags(LONG{0}, VT_I4);
    COleVariant target("");
    COleVariant headers(event.headers.c_str());
    COleVariant posted;
    posted.vt = VT_ARRAY | VT_UI1;
    posted.parray = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(event.postData.size()));
    if (!posted.parray)
        posted.vt = VT_EMPTY;
    else if (!event.postData.empty())
        std::memcpy(posted.parray->pvData, event.postData.data(), event.postData.size());
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT args[7];
    for (VARIANT& v : args)
        VariantInit(&v);
    // Last argument first.
    args[6].vt = VT_DISPATCH;
    args[6].pdispVal = nullptr;
    VARIANT* byRef[5] = {&url, &flags, &target, &posted, &headers};
    for (int i = 0; i < 5; ++i) {
        args[5 - i].vt = VT_VARIANT | VT_BYREF;
        args[5 - i].pvarVal = byRef[i];
    }
    args[0].vt = VT_BOOL | VT_BYREF;
    args[0].pboolVal = &cancel;
    DISPPARAMS params{args, nullptr, 7, 0};
    AFX_EVENT fired{DISPID_BEFORENAVIGATE2, &params};
    pWnd->OnCmdMsg(pSite->m_nID, CN_EVENT, &fired, nullptr);
    event.cancel = cancel != VARIANT_FALSE;
}

// Sites by control window.
std::mutex g_sitesLock;
std::map<HWND, COleControlSite*>& Sites()
{
    static auto* sites = new std::map<HWND, COleControlSite*>;
    return *sites;
}

COccManager*& Manager()
{
    static COccManager* manager = nullptr;
    return manager;
}

// Containers of windows that have no object of their own, kept until the
// window is gone.
std::vector<COleControlContainer*>& OrphanContainers()
{
    static auto* containers = new std::vector<COleControlContainer*>;
    return *containers;
}

COleControlContainer* ContainerOf(HWND hWndParent)
{
    auto& orphans = OrphanContainers();
    for (auto it = orphans.begin(); it != orphans.end();) {
        if (!::IsWindow((*it)->m_hWnd)) {
            delete *it;
            it = orphans.erase(it);
        } else {
            ++it;
        }
    }
    if (CWnd* pWnd = CWnd::FromHandlePermanent(hWndParent)) {
        if (!pWnd->m_pCtrlCont)
            pWnd->m_pCtrlCont = AfxGetOccManager()->CreateContainer(pWnd);
        return pWnd->m_pCtrlCont;
    }
    for (COleControlContainer* pCont : orphans) {
        if (pCont->m_hWnd == hWndParent)
            return pCont;
    }
    COleControlContainer* pCont = AfxGetOccManager()->CreateContainer(nullptr);
    if (pCont) {
        pCont->m_hWnd = hWndParent;
        orphans.push_back(pCont);
    }
    return pCont;
}

// A template control given by class id.
HWND CreateTemplateControl(const tavrin::win::DialogControlRequest& request)
{
    CLSID clsid{};
    if (!request.className || FAILED(CLSIDFromString(request.className, &clsid)))
        return nullptr;
    COleControlContainer* pCont = ContainerOf(request.dialog);
    COleControlSite* pSite = nullptr;
    if (!pCont || !pCont->CreateControl(nullptr, clsid, request.text, request.style, request.rect, request.id, &pSite))
        return nullptr;
    if (request.exStyle) {
        // The template's styles beside the edge the site's answers gave.
        const LONG edge = ::GetWindowLongA(pSite->m_hWnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE;
        ::SetWindowLongA(pSite->m_hWnd, GWL_EXSTYLE, static_cast<LONG>(request.exStyle) | edge);
    }
    return pSite->m_hWnd;
}

} // namespace

IWebBrowser2* tavrin::mfc::WebBrowserOf(HWND hWnd)
{
    if (!hWnd || !tavrin::browser::GetBrowserEngine(hWnd))
        return nullptr;
    PurgeObjects();
    std::lock_guard<std::mutex> guard(g_objectsLock);
    IWebBrowser2*& object = Objects()[hWnd];
    if (!object)
        object = new WebBrowserObject(hWnd);
    object->AddRef();
    return object;
}

// The manager and containers

COleControlContainer* COccManager::CreateContainer(CWnd* pWnd) { return new COleControlContainer(pWnd); }

COleControlSite* COccManager::CreateSite(COleControlContainer* pCtrlCont) { return new COleControlSite(pCtrlCont); }

void AfxEnableControlContainer(COccManager* pOccManager)
{
    static COccManager defaultManager;
    Manager() = pOccManager ? pOccManager : &defaultManager;
    tavrin::win::SetDialogClassControlFactory(&CreateTemplateControl);
}

COccManager* AfxGetOccManager()
{
    if (!Manager())
        AfxEnableControlContainer(nullptr);
    return Manager();
}

COleControlContainer::COleControlContainer(CWnd* pWnd) : m_pWnd(pWnd), m_hWnd(AfxHwndOf(pWnd)) {}

COleControlContainer::~COleControlContainer()
{
    for (COleControlSite* pSite : m_sites)
        pSite->InternalRelease();
}

BOOL COleControlContainer::CreateControl(CWnd* pWndCtrl, REFCLSID clsid, LPCTSTR lpszWindowName, DWORD dwStyle,
                                         const RECT& rect, UINT nID, COleControlSite** ppNewSite)
{
    COleControlSite* pSite = nullptr;
    // The container's window may make its own site; else the manager does.
    if (m_pWnd && !m_pWnd->CreateControlSite(this, &pSite, nID, clsid))
        return FALSE;
    if (!pSite)
        pSite = AfxGetOccManager()->CreateSite(this);
    if (!pSite)
        return FALSE;
    if (!pSite->CreateControl(pWndCtrl, clsid, lpszWindowName, dwStyle, rect, nID)) {
        pSite->InternalRelease();
        return FALSE;
    }
    m_sites.push_back(pSite);
    if (ppNewSite)
        *ppNewSite = pSite;
    return TRUE;
}

COleControlSite* COleControlContainer::FindItem(UINT nID) const
{
    for (COleControlSite* pSite : m_sites) {
        if (pSite->m_nID == nID)
            return pSite;
    }
    return nullptr;
}

BEGIN_INTERFACE_MAP(COleControlSite, CCmdTarget)
END_INTERFACE_MAP()

COleControlSite::COleControlSite(COleControlContainer* pCtrlCont) : m_pCtrlCont(pCtrlCont) {}

COleControlSite::~COleControlSite()
{
    if (m_hWnd) {
        std::lock_guard<std::mutex> guard(g_sitesLock);
        auto it = Sites().find(m_hWnd);
        if (it != Sites().end() && it->second == this)
            Sites().erase(it);
    }
    if (tavrin::browser::Engine* engine = ::IsWindow(m_hWnd) ? tavrin::browser::GetBrowserEngine(m_hWnd) : nullptr) {
        engine->SetHostUi({}); // the answers came from this site
        engine->SetBeforeNavigate(nullptr);
    }
    if (m_pWndCtrl && m_pWndCtrl->m_pCtrlSite == this)
        m_pWndCtrl->m_pCtrlSite = nullptr;
    if (m_pObject)
        m_pObject->Release();
}

BOOL COleControlSite::CreateControl(CWnd* pWndCtrl, REFCLSID clsid, LPCTSTR lpszWindowName, DWORD dwStyle,
                                    const RECT& rect, UINT nID)
{
    if (clsid != CLSID_WebBrowser || !m_pCtrlCont || !m_pCtrlCont->m_hWnd)
        return FALSE;
    LPCSTR cls = tavrin::browser::BrowserWindowClass();
    HWND hWnd = nullptr;
    DWORD style = (dwStyle | WS_CHILD) & ~static_cast<DWORD>(WS_POPUP);
    HMENU id = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID));
    if (pWndCtrl) {
        // The window is the caller's object's from its first message.
        if (!pWndCtrl->CreateEx(0, cls, lpszWindowName, style, rect.left, rect.top, rect.right - rect.left,
                                rect.bottom - rect.top, m_pCtrlCont->m_hWnd, id, nullptr))
            return FALSE;
        hWnd = pWndCtrl->m_hWnd;
    } else {
        hWnd = ::CreateWindowExA(0, cls, lpszWindowName, style, rect.left, rect.top, rect.right - rect.left,
                                 rect.bottom - rect.top, m_pCtrlCont->m_hWnd, id, nullptr, nullptr);
    }
    if (!hWnd)
        return FALSE;
    IWebBrowser2* object = tavrin::mfc::WebBrowserOf(hWnd);
    if (!object) {
        ::DestroyWindow(hWnd);
        return FALSE;
    }
    m_hWnd = hWnd;
    m_pWndCtrl = pWndCtrl;
    m_nID = nID;
    m_clsid = clsid;
    m_pObject = object;
    {
        std::lock_guard<std::mutex> guard(g_sitesLock);
        Sites()[hWnd] = this;
    }
    ApplyHostAnswers(hWnd, this);
    if (tavrin::browser::Engine* engine = tavrin::browser::GetBrowserEngine(hWnd))
        engine->SetBeforeNavigate([this](tavrin::browser::BeforeNavigate& event) { FireBeforeNavigate(this, event); });
    return TRUE;
}

COleControlSite* COleControlSite::FromControlWindow(HWND hWnd)
{
    std::lock_guard<std::mutex> guard(g_sitesLock);
    auto it = Sites().find(hWnd);
    return it != Sites().end() && ::IsWindow(hWnd) ? it->second : nullptr;
}

// CWnd's control members

BOOL CWnd::CreateControl(const GUID& clsid, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                         CWnd* pParentWnd, UINT nID)
{
    if (!pParentWnd || !pParentWnd->m_hWnd || m_hWnd)
        return FALSE;
    COleControlContainer* pCont = ContainerOf(pParentWnd->m_hWnd);
    COleControlSite* pSite = nullptr;
    if (!pCont || !pCont->CreateControl(this, clsid, lpszWindowName, dwStyle, rect, nID, &pSite))
        return FALSE;
    m_pCtrlSite = pSite;
    return TRUE;
}

BOOL CWnd::CreateControl(LPCTSTR lpszClass, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                         CWnd* pParentWnd, UINT nID)
{
    CLSID clsid{};
    if (FAILED(CLSIDFromString(lpszClass, &clsid)))
        return FALSE;
    return CreateControl(clsid, lpszWindowName, dwStyle, rect, pParentWnd, nID);
}

BOOL CWnd::CreateControlSite(COleControlContainer*, COleControlSite** ppSite, UINT, const GUID&)
{
    *ppSite = nullptr; // the manager's
    return TRUE;
}

IUnknown* CWnd::GetControlUnknown()
{
    if (!m_pCtrlSite)
        m_pCtrlSite = COleControlSite::FromControlWindow(m_hWnd);
    return m_pCtrlSite ? m_pCtrlSite->m_pObject : nullptr;
}

void CWnd::InvokeHelper(LONG dwDispID, WORD wFlags, unsigned short vtRet, void* pvRet, const BYTE* pbParamInfo, ...)
{
    IDispatch* pDispatch = nullptr;
    IUnknown* pUnknown = GetControlUnknown();
    if (!pUnknown || FAILED(pUnknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&pDispatch)))) {
        std::fprintf(stderr, "InvokeHelper: window %p holds no automation object\n", static_cast<void*>(m_hWnd));
        return;
    }
    const char* info = reinterpret_cast<const char*>(pbParamInfo ? pbParamInfo : reinterpret_cast<const BYTE*>(""));
    const size_t count = std::strlen(info);
    std::vector<VARIANT> args(count);
    va_list list;
    va_start(list, pbParamInfo);
    for (size_t i = 0; i < count; ++i) {
        VARIANT& v = args[count - 1 - i]; // the last argument comes first
        VariantInit(&v);
        switch (static_cast<unsigned char>(info[i])) {
        case VT_I2: v.vt = VT_I2; v.iVal = static_cast<SHORT>(va_arg(list, int)); break;
        case VT_I4: v.vt = VT_I4; v.lVal = va_arg(list, LONG); break;
        case VT_BOOL: v.vt = VT_BOOL; v.boolVal = va_arg(list, int) ? VARIANT_TRUE : VARIANT_FALSE; break;
        case VT_BSTR: {
            const char* text = va_arg(list, const char*);
            v.vt = VT_BSTR;
            v.bstrVal = SysAllocString(text ? text : "");
            break;
        }
        case VT_VARIANT: {
            const VARIANT* from = va_arg(list, const VARIANT*);
            if (from)
                VariantCopy(&v, from);
            break;
        }
        case 0x40 | VT_VARIANT: {
            VARIANT* ref = va_arg(list, VARIANT*);
            if (ref) {
                v.vt = VT_VARIANT | VT_BYREF;
                v.pvarVal = ref;
            } else {
                v.vt = VT_ERROR; // an omitted optional argument
            }
            break;
        }
        default: v.vt = VT_EMPTY; (void)va_arg(list, void*); break;
        }
    }
    va_end(list);
    DISPPARAMS params{args.empty() ? nullptr : args.data(), nullptr, static_cast<UINT>(count), 0};
    VARIANT result;
    VariantInit(&result);
    HRESULT hr = pDispatch->Invoke(dwDispID, IID_IUnknown, 0, wFlags, &params, vtRet == VT_EMPTY ? nullptr : &result,
                                   nullptr, nullptr);
    pDispatch->Release();
    for (VARIANT& v : args)
        VariantClear(&v);
    if (FAILED(hr)) {
        std::fprintf(stderr, "InvokeHelper: member %ld failed (%08x)\n", static_cast<long>(dwDispID),
                     static_cast<unsigned>(hr));
        VariantClear(&result);
        return;
    }
    if (pvRet) {
        if (vtRet == VT_BSTR && result.vt == VT_BSTR)
            *static_cast<CString*>(pvRet) = result.bstrVal ? result.bstrVal : "";
        else if (vtRet == VT_I4 && result.vt == VT_I4)
            *static_cast<LONG*>(pvRet) = result.lVal;
        else if (vtRet == VT_BOOL && result.vt == VT_BOOL)
            *static_cast<BOOL*>(pvRet) = result.boolVal != VARIANT_FALSE;
    }
    VariantClear(&result);
}
