#include "tests/platform/controls/PictureObject.h"

#include "platform/win/Clipboard.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace tavrin::test {

HRESULT BitmapData::QueryInterface(REFIID riid, void** object)
{
    if (riid == IID_IUnknown || riid == IID_IDataObject) {
        *object = this;
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT BitmapData::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    if (format->cfFormat != CF_BITMAP || !(format->tymed & TYMED_GDI))
        return DV_E_FORMATETC;
    medium->tymed = TYMED_GDI;
    medium->hBitmap = tavrin::controls::CopyBitmapForObject(m_bitmap);
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

HBITMAP SolidBitmap(COLORREF colour, int size)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT rc{0, 0, size, size};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}

// Inserts a picture at the selection as the compose editor does.
HRESULT InsertPicture(HWND edit, COLORREF colour, DWORD user)
{
    BitmapData data(SolidBitmap(colour));
    FORMATETC format{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    ILockBytes* bytes = nullptr;
    HRESULT hr = CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes);
    if (FAILED(hr))
        return hr;
    IStorage* storage = nullptr;
    hr = StgCreateDocfileOnILockBytes(bytes, STGM_SHARE_EXCLUSIVE | STGM_CREATE | STGM_READWRITE, 0, &storage);
    IRichEditOle* ole = nullptr;
    IOleClientSite* site = nullptr;
    IOleObject* object = nullptr;
    if (SUCCEEDED(hr) && !SendMessageA(edit, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole)))
        hr = E_FAIL;
    if (SUCCEEDED(hr))
        hr = ole->GetClientSite(&site);
    if (SUCCEEDED(hr))
        hr = OleCreateStaticFromData(&data, IID_IOleObject, OLERENDER_FORMAT, &format, site, storage,
                                     reinterpret_cast<void**>(&object));
    CLSID clsid{};
    if (SUCCEEDED(hr))
        hr = object->GetUserClassID(&clsid);
    if (SUCCEEDED(hr)) {
        OleSetContainedObject(object, TRUE);
        REOBJECT record{};
        record.cbStruct = sizeof record;
        record.cp = REO_CP_SELECTION;
        record.clsid = clsid;
        record.poleobj = object;
        record.pstg = storage;
        record.polesite = site;
        record.dvaspect = DVASPECT_CONTENT;
        record.dwUser = user;
        hr = ole->InsertObject(&record);
    }
    for (IUnknown* p : std::initializer_list<IUnknown*>{object, site, storage, bytes, ole})
        if (p)
            p->Release();
    EXPECT_EQ(data.refs, 1u); // the data object is not kept
    return hr;
}

} // namespace tavrin::test
