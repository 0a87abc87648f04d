// The rich edit's object interface and the little of OLE it needs: reference
// counted interfaces, memory lock bytes and storages, and static picture
// objects made from CF_BITMAP data. No OLE system stands behind them: a
// picture object is ours, draws its bitmap, and lives as long as its
// references.
#pragma once

#include "platform/gdi/Gdi.h"
#include "platform/win/GlobalMemory.h"
#include "platform/win/OptionalLibrary.h"

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
typedef GUID IID;
typedef GUID CLSID;
typedef const IID& REFIID;
typedef const CLSID& REFCLSID;
typedef IID* LPIID;
typedef CLSID* LPCLSID;
inline bool operator==(const GUID& a, const GUID& b)
{
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           a.Data4[0] == b.Data4[0] && a.Data4[1] == b.Data4[1] && a.Data4[2] == b.Data4[2] &&
           a.Data4[3] == b.Data4[3] && a.Data4[4] == b.Data4[4] && a.Data4[5] == b.Data4[5] &&
           a.Data4[6] == b.Data4[6] && a.Data4[7] == b.Data4[7];
}
inline bool operator!=(const GUID& a, const GUID& b) { return !(a == b); }
inline BOOL IsEqualGUID(REFIID a, REFIID b) { return a == b; }
#define IsEqualIID IsEqualGUID
#define IsEqualCLSID IsEqualGUID

#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)
#define S_FALSE (static_cast<HRESULT>(1))
#define E_NOTIMPL (static_cast<HRESULT>(0x80004001L))
#define E_NOINTERFACE (static_cast<HRESULT>(0x80004002L))
#define E_POINTER (static_cast<HRESULT>(0x80004003L))
#define E_UNEXPECTED (static_cast<HRESULT>(0x8000FFFFL))
#define E_OUTOFMEMORY (static_cast<HRESULT>(0x8007000EL))
#define DV_E_FORMATETC (static_cast<HRESULT>(0x80040064L))
#define DV_E_TYMED (static_cast<HRESULT>(0x80040069L))
#define OLE_E_BLANK (static_cast<HRESULT>(0x80040007L))
#define CO_E_RELEASED (static_cast<HRESULT>(0x800401FFL))
#define STG_E_INVALIDFLAG (static_cast<HRESULT>(0x800300FFL))
#define STG_E_INVALIDPOINTER (static_cast<HRESULT>(0x80030009L))

extern const IID IID_IUnknown;
extern const IID IID_IDataObject;
extern const IID IID_IOleObject;
extern const IID IID_IOleClientSite;
extern const IID IID_IStorage;
extern const IID IID_ILockBytes;
extern const IID IID_IRichEditOle;
extern const CLSID CLSID_StaticDib;
extern const CLSID CLSID_NULL;

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};
typedef IUnknown* LPUNKNOWN;

// Data transfer.
typedef WORD CLIPFORMAT;
#define DVASPECT_CONTENT 1
#define DVASPECT_THUMBNAIL 2
#define DVASPECT_ICON 4
#define DVASPECT_DOCPRINT 8
#define TYMED_HGLOBAL 1
#define TYMED_FILE 2
#define TYMED_ISTREAM 4
#define TYMED_ISTORAGE 8
#define TYMED_GDI 16
#define TYMED_MFPICT 32
#define TYMED_ENHMF 64
#define TYMED_NULL 0

struct DVTARGETDEVICE;
struct FORMATETC {
    CLIPFORMAT cfFormat;
    DVTARGETDEVICE* ptd;
    DWORD dwAspect;
    LONG lindex;
    DWORD tymed;
};
typedef FORMATETC* LPFORMATETC;

struct IStorage;
struct STGMEDIUM {
    DWORD tymed;
    union {
        HBITMAP hBitmap;
        HGLOBAL hGlobal;
        IStorage* pstg;
    };
    IUnknown* pUnkForRelease;
};
typedef STGMEDIUM* LPSTGMEDIUM;
// Frees what the medium holds (or has its release object do it).
void ReleaseStgMedium(LPSTGMEDIUM medium);

struct IDataObject : IUnknown {
    virtual HRESULT GetData(FORMATETC* format, STGMEDIUM* medium) = 0;
    virtual HRESULT GetDataHere(FORMATETC* format, STGMEDIUM* medium) = 0;
    virtual HRESULT QueryGetData(FORMATETC* format) = 0;
    virtual HRESULT GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) = 0;
    virtual HRESULT SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) = 0;
    virtual HRESULT EnumFormatEtc(DWORD direction, void** enumerator) = 0;
    virtual HRESULT DAdvise(FORMATETC* format, DWORD flags, void* sink, DWORD* connection) = 0;
    virtual HRESULT DUnadvise(DWORD connection) = 0;
    virtual HRESULT EnumDAdvise(void** enumerator) = 0;

protected:
    ~IDataObject() = default;
};
typedef IDataObject* LPDATAOBJECT;

// Storage.
#define STGM_READ 0x00000000L
#define STGM_WRITE 0x00000001L
#define STGM_READWRITE 0x00000002L
#define STGM_SHARE_DENY_NONE 0x00000040L
#define STGM_SHARE_DENY_READ 0x00000030L
#define STGM_SHARE_DENY_WRITE 0x00000020L
#define STGM_SHARE_EXCLUSIVE 0x00000010L
#define STGM_CREATE 0x00001000L
#define STGM_TRANSACTED 0x00010000L
#define STGM_DELETEONRELEASE 0x04000000L

struct ULARGE_INTEGER {
    unsigned long long QuadPart;
};

struct ILockBytes : IUnknown {
    virtual HRESULT ReadAt(ULARGE_INTEGER offset, void* buffer, ULONG count, ULONG* read) = 0;
    virtual HRESULT WriteAt(ULARGE_INTEGER offset, const void* buffer, ULONG count, ULONG* written) = 0;
    virtual HRESULT Flush() = 0;
    virtual HRESULT SetSize(ULARGE_INTEGER size) = 0;

protected:
    ~ILockBytes() = default;
};
typedef ILockBytes* LPLOCKBYTES;

struct IStorage : IUnknown {
    virtual HRESULT Commit(DWORD flags) = 0;
    virtual HRESULT Revert() = 0;
    virtual HRESULT SetClass(REFCLSID clsid) = 0;
    // The class last set (CLSID_NULL at first).
    virtual HRESULT GetClass(CLSID* clsid) = 0;

protected:
    ~IStorage() = default;
};
typedef IStorage* LPSTORAGE;

// Objects and their sites.
#define OLERENDER_NONE 0
#define OLERENDER_DRAW 1
#define OLERENDER_FORMAT 2
#define OLERENDER_ASIS 3

struct SIZEL {
    LONG cx;
    LONG cy;
};
typedef SIZEL* LPSIZEL;

struct IOleObject;
struct IOleClientSite : IUnknown {
    virtual HRESULT SaveObject() = 0;
    virtual HRESULT GetContainer(void** container) = 0;
    virtual HRESULT ShowObject() = 0;
    virtual HRESULT OnShowWindow(BOOL show) = 0;
    virtual HRESULT RequestNewObjectLayout() = 0;

protected:
    ~IOleClientSite() = default;
};
typedef IOleClientSite* LPOLECLIENTSITE;

struct IOleObject : IUnknown {
    virtual HRESULT SetClientSite(IOleClientSite* site) = 0;
    virtual HRESULT GetClientSite(IOleClientSite** site) = 0;
    virtual HRESULT Close(DWORD saveOption) = 0;
    virtual HRESULT GetUserClassID(CLSID* clsid) = 0;
    // HIMETRIC units (0.01 mm).
    virtual HRESULT GetExtent(DWORD aspect, SIZEL* size) = 0;
    // Draws the object into the rectangle (device units).
    virtual HRESULT Draw(HDC hdc, const RECT& rect) = 0;

protected:
    ~IOleObject() = default;
};
typedef IOleObject* LPOLEOBJECT;

// OLE calls.
HRESULT CreateILockBytesOnHGlobal(HGLOBAL memory, BOOL deleteOnRelease, ILockBytes** lockBytes);
HRESULT StgCreateDocfileOnILockBytes(ILockBytes* lockBytes, DWORD mode, DWORD reserved, IStorage** storage);
// A static picture of the data's CF_BITMAP (or CF_DIB) rendering, its
// bitmap copied; the data object keeps what it gave.
HRESULT OleCreateStaticFromData(IDataObject* data, REFIID riid, DWORD render, LPFORMATETC format,
                                IOleClientSite* site, IStorage* storage, void** object);
HRESULT OleSetContainedObject(IUnknown* object, BOOL contained);

// The rich edit's object records.
#define REO_CP_SELECTION (static_cast<LONG>(-1))
#define REO_IOB_SELECTION (static_cast<LONG>(-1))
#define REO_IOB_USE_CP (static_cast<LONG>(-2))
#define REO_GETOBJ_NO_INTERFACES 0x00000000L
#define REO_GETOBJ_POLEOBJ 0x00000001L
#define REO_GETOBJ_PSTG 0x00000002L
#define REO_GETOBJ_POLESITE 0x00000004L
#define REO_GETOBJ_ALL_INTERFACES 0x00000007L
#define REO_NULL 0x00000000L
#define REO_READWRITEMASK 0x0000003FL
#define REO_DONTNEEDPALETTE 0x00000020L
#define REO_BLANK 0x00000010L
#define REO_DYNAMICSIZE 0x00000008L
#define REO_INVERTEDSELECT 0x00000004L
#define REO_BELOWBASELINE 0x00000002L
#define REO_RESIZABLE 0x00000001L
#define REO_SELECTED 0x08000000L

struct REOBJECT {
    DWORD cbStruct;
    LONG cp;
    CLSID clsid;
    IOleObject* poleobj;
    IStorage* pstg;
    IOleClientSite* polesite;
    SIZEL sizel;
    DWORD dvaspect;
    DWORD dwFlags;
    DWORD dwUser;
};

struct CHARRANGE {
    LONG cpMin;
    LONG cpMax;
};
typedef CHARRANGE* LPCHARRANGE;

struct IRichEditOle : IUnknown {
    virtual HRESULT GetClientSite(IOleClientSite** site) = 0;
    virtual LONG GetObjectCount() = 0;
    virtual LONG GetLinkCount() = 0;
    // E_INVALIDARG for an index that holds no object.
    virtual HRESULT GetObject(LONG index, REOBJECT* object, DWORD flags) = 0;
    virtual HRESULT InsertObject(REOBJECT* object) = 0;
    virtual HRESULT ConvertObject(LONG index, REFCLSID clsid, LPCSTR userType) = 0;
    virtual HRESULT ActivateAs(REFCLSID clsid, REFCLSID as) = 0;
    virtual HRESULT SetHostNames(LPCSTR app, LPCSTR object) = 0;
    virtual HRESULT SetLinkAvailable(LONG index, BOOL available) = 0;
    virtual HRESULT SetDvaspect(LONG index, DWORD aspect) = 0;
    virtual HRESULT HandsOffStorage(LONG index) = 0;
    virtual HRESULT SaveCompleted(LONG index, IStorage* storage) = 0;
    virtual HRESULT InPlaceDeactivate() = 0;
    virtual HRESULT ContextSensitiveHelp(BOOL enter) = 0;
    virtual HRESULT GetClipboardData(CHARRANGE* range, DWORD operation, IDataObject** data) = 0;
    virtual HRESULT ImportDataObject(IDataObject* data, CLIPFORMAT format, HGLOBAL metaPict) = 0;

protected:
    ~IRichEditOle() = default;
};
typedef IRichEditOle* LPRICHEDITOLE;

namespace tavrin::controls {
// A copy of a bitmap as a 32-bit DIB section of the same size; null when
// the source is not a bitmap.
HBITMAP CopyBitmapForObject(HBITMAP source);
} // namespace tavrin::controls
