// A data source: media cached by format and handed out through its data
// object (IDataObject), as the rich edit takes pictures from it.
#pragma once

#include "platform/mfc/OleControl.h"

#include <vector>

class COleDataSource : public CCmdTarget {
public:
    COleDataSource() = default;
    // Frees the cached media.
    ~COleDataSource() override;

    // The source owns the medium from now on. Without a format, content
    // aspect, index -1 and the medium's own kind are assumed.
    void CacheData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc = nullptr);
    void Empty();

    // The data object's GetData: the cached medium itself, the source's data
    // object releasing it, so the caller's ReleaseStgMedium frees nothing.
    virtual HRESULT GetData(FORMATETC* format, STGMEDIUM* medium);
    virtual HRESULT QueryGetData(FORMATETC* format);

    BEGIN_INTERFACE_PART(DataObject, IDataObject)
    STDMETHOD(GetData)(FORMATETC* format, STGMEDIUM* medium) override;
    STDMETHOD(GetDataHere)(FORMATETC* format, STGMEDIUM* medium) override;
    STDMETHOD(QueryGetData)(FORMATETC* format) override;
    STDMETHOD(GetCanonicalFormatEtc)(FORMATETC* in, FORMATETC* out) override;
    STDMETHOD(SetData)(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    STDMETHOD(EnumFormatEtc)(DWORD direction, void** enumerator) override;
    STDMETHOD(DAdvise)(FORMATETC* format, DWORD flags, void* sink, DWORD* connection) override;
    STDMETHOD(DUnadvise)(DWORD connection) override;
    STDMETHOD(EnumDAdvise)(void** enumerator) override;
    END_INTERFACE_PART(DataObject)

protected:
    struct Entry {
        FORMATETC format;
        STGMEDIUM medium;
    };
    std::vector<Entry> m_entries;
    const Entry* Find(const FORMATETC* format) const;
    DECLARE_INTERFACE_MAP()
};
