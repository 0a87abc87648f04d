// A picture object inserted into a rich edit the way the compose editor
// does it: CF_BITMAP data, memory storage, a static object, its record.
#pragma once

#include "platform/controls/RichEdit.h"
#include "platform/win/Clipboard.h"
#include "platform/win/User.h"

namespace tavrin::test {

// A data object that renders one bitmap as CF_BITMAP, a copy per request.
class BitmapData final : public IDataObject {
public:
    explicit BitmapData(HBITMAP bitmap) : m_bitmap(bitmap) {}
    ~BitmapData() { DeleteObject(m_bitmap); }
    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; } // lives on the caller's stack
    HRESULT GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT QueryGetData(FORMATETC* format) override { return format->cfFormat == CF_BITMAP ? S_OK : DV_E_FORMATETC; }
    HRESULT GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT EnumFormatEtc(DWORD, void**) override { return E_NOTIMPL; }
    HRESULT DAdvise(FORMATETC*, DWORD, void*, DWORD*) override { return E_NOTIMPL; }
    HRESULT DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT EnumDAdvise(void**) override { return E_NOTIMPL; }
    ULONG refs = 1;

private:
    HBITMAP m_bitmap;
};

HBITMAP SolidBitmap(COLORREF colour, int size = 21);
// Inserts a picture of the colour at the selection with the user value.
HRESULT InsertPicture(HWND edit, COLORREF colour, DWORD user);

} // namespace tavrin::test
