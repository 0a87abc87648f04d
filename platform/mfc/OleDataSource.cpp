#include "platform/mfc/OleDataSource.h"

#define OLE_E_ADVISENOTSUPPORTED (static_cast<HRESULT>(0x80040003L))

BEGIN_INTERFACE_MAP(COleDataSource, CCmdTarget)
    INTERFACE_PART(COleDataSource, IID_IDataObject, DataObject)
END_INTERFACE_MAP()

COleDataSource::~COleDataSource() { Empty(); }

void COleDataSource::Empty()
{
    for (Entry& e : m_entries)
        ReleaseStgMedium(&e.medium);
    m_entries.clear();
}

void COleDataSource::CacheData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc)
{
    if (!lpStgMedium)
        return;
    Entry entry{};
    if (lpFormatEtc) {
        entry.format = *lpFormatEtc;
    } else {
        entry.format.dwAspect = DVASPECT_CONTENT;
        entry.format.lindex = -1;
        entry.format.tymed = lpStgMedium->tymed;
    }
    entry.format.cfFormat = cfFormat;
    entry.medium = *lpStgMedium;
    // A new medium for a format replaces the one cached before.
    for (Entry& e : m_entries) {
        if (e.format.cfFormat == cfFormat && e.format.dwAspect == entry.format.dwAspect &&
            e.format.lindex == entry.format.lindex) {
            ReleaseStgMedium(&e.medium);
            e = entry;
            return;
        }
    }
    m_entries.push_back(entry);
}

const COleDataSource::Entry* COleDataSource::Find(const FORMATETC* format) const
{
    if (!format)
        return nullptr;
    for (const Entry& e : m_entries) {
        if (e.format.cfFormat == format->cfFormat && (e.format.tymed & format->tymed) &&
            (format->dwAspect == 0 || e.format.dwAspect == format->dwAspect) &&
            (format->lindex == -1 || e.format.lindex == format->lindex))
            return &e;
    }
    return nullptr;
}

HRESULT COleDataSource::QueryGetData(FORMATETC* format)
{
    if (!format)
        return E_INVALIDARG;
    return Find(format) ? S_OK : DV_E_FORMATETC;
}

HRESULT COleDataSource::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    if (!format || !medium)
        return E_INVALIDARG;
    const Entry* e = Find(format);
    if (!e)
        return DV_E_FORMATETC;
    *medium = e->medium;
    // The source keeps the medium; the caller's release drops a reference.
    medium->pUnkForRelease = static_cast<IUnknown*>(GetInterface(&IID_IUnknown));
    InternalAddRef();
    return S_OK;
}

IMPLEMENT_PART_UNKNOWN(COleDataSource, DataObject)

HRESULT COleDataSource::XDataObject::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    METHOD_PROLOGUE(COleDataSource, DataObject)
    return pThis->GetData(format, medium);
}

HRESULT COleDataSource::XDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }

HRESULT COleDataSource::XDataObject::QueryGetData(FORMATETC* format)
{
    METHOD_PROLOGUE(COleDataSource, DataObject)
    return pThis->QueryGetData(format);
}

HRESULT COleDataSource::XDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out)
{
    if (out)
        out->ptd = nullptr;
    return E_NOTIMPL;
}

HRESULT COleDataSource::XDataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }
HRESULT COleDataSource::XDataObject::EnumFormatEtc(DWORD, void**) { return E_NOTIMPL; }
HRESULT COleDataSource::XDataObject::DAdvise(FORMATETC*, DWORD, void*, DWORD*) { return OLE_E_ADVISENOTSUPPORTED; }
HRESULT COleDataSource::XDataObject::DUnadvise(DWORD) { return OLE_E_ADVISENOTSUPPORTED; }
HRESULT COleDataSource::XDataObject::EnumDAdvise(void**) { return OLE_E_ADVISENOTSUPPORTED; }
