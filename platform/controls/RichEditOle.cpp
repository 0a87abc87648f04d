// The OLE pieces of embedded pictures. Lock bytes keep their bytes in a
// vector; a storage keeps only its class; a static picture keeps a copy of
// its bitmap, its site and storage, and draws itself.
#include "platform/controls/RichEditOle.h"

#include "platform/base/MulDiv.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IDataObject = {0x0000010E, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IOleObject = {0x00000112, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IOleClientSite = {0x00000118, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IStorage = {0x0000000B, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_ILockBytes = {0x0000000A, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IRichEditOle = {0x00020D00, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const CLSID CLSID_StaticDib = {0x00000316, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const CLSID CLSID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

#ifndef CF_BITMAP
#define CF_BITMAP 2
#endif
#ifndef CF_DIB
#define CF_DIB 8
#endif

namespace {

// One reference count; deletes itself at zero.
class RefCount {
public:
    ULONG Add() { return ++m_refs; }
    bool Drop(ULONG* left)
    {
        *left = --m_refs;
        return *left == 0;
    }

private:
    std::atomic<ULONG> m_refs{1};
};

#define TAVRIN_REFCOUNT(Class)                                                                                         \
    ULONG AddRef() override { return m_refs.Add(); }                                                                   \
    ULONG Release() override                                                                                           \
    {                                                                                                                  \
        ULONG left;                                                                                                    \
        if (m_refs.Drop(&left))                                                                                        \
            delete this;                                                                                               \
        return left;                                                                                                   \
    }                                                                                                                  \
    RefCount m_refs

template <class I>
HRESULT Answer(I* self, REFIID riid, const IID& own, void** object)
{
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == own) {
        *object = self;
        self->AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

class MemoryLockBytes final : public ILockBytes {
public:
    HRESULT QueryInterface(REFIID riid, void** object) override { return Answer(this, riid, IID_ILockBytes, object); }
    TAVRIN_REFCOUNT(MemoryLockBytes);

    HRESULT ReadAt(ULARGE_INTEGER offset, void* buffer, ULONG count, ULONG* read) override
    {
        if (!buffer && count)
            return STG_E_INVALIDPOINTER;
        ULONG n = 0;
        if (offset.QuadPart < m_bytes.size())
            n = static_cast<ULONG>(std::min<unsigned long long>(count, m_bytes.size() - offset.QuadPart));
        if (n)
            std::memcpy(buffer, m_bytes.data() + offset.QuadPart, n);
        if (read)
            *read = n;
        return S_OK;
    }
    HRESULT WriteAt(ULARGE_INTEGER offset, const void* buffer, ULONG count, ULONG* written) override
    {
        if (!buffer && count)
            return STG_E_INVALIDPOINTER;
        if (offset.QuadPart + count > (1ull << 31))
            return E_OUTOFMEMORY;
        if (m_bytes.size() < offset.QuadPart + count)
            m_bytes.resize(static_cast<size_t>(offset.QuadPart + count));
        if (count)
            std::memcpy(m_bytes.data() + offset.QuadPart, buffer, count);
        if (written)
            *written = count;
        return S_OK;
    }
    HRESULT Flush() override { return S_OK; }
    HRESULT SetSize(ULARGE_INTEGER size) override
    {
        if (size.QuadPart > (1ull << 31))
            return E_OUTOFMEMORY;
        m_bytes.resize(static_cast<size_t>(size.QuadPart));
        return S_OK;
    }

private:
    ~MemoryLockBytes() = default;
    std::vector<BYTE> m_bytes;
};

class MemoryStorage final : public IStorage {
public:
    explicit MemoryStorage(ILockBytes* bytes) : m_bytes(bytes) { m_bytes->AddRef(); }
    HRESULT QueryInterface(REFIID riid, void** object) override { return Answer(this, riid, IID_IStorage, object); }
    TAVRIN_REFCOUNT(MemoryStorage);

    HRESULT Commit(DWORD) override { return S_OK; }
    HRESULT Revert() override { return S_OK; }
    HRESULT SetClass(REFCLSID clsid) override
    {
        m_class = clsid;
        return S_OK;
    }
    HRESULT GetClass(CLSID* clsid) override
    {
        if (!clsid)
            return E_POINTER;
        *clsid = m_class;
        return S_OK;
    }

private:
    ~MemoryStorage() { m_bytes->Release(); }
    ILockBytes* m_bytes;
    CLSID m_class = CLSID_NULL;
};

class StaticPicture final : public IOleObject {
public:
    StaticPicture(HBITMAP bitmap, IOleClientSite* site, IStorage* storage) : m_bitmap(bitmap)
    {
        SetClientSite(site);
        if (storage) {
            m_storage = storage;
            m_storage->AddRef();
            m_storage->SetClass(CLSID_StaticDib);
        }
    }
    HRESULT QueryInterface(REFIID riid, void** object) override { return Answer(this, riid, IID_IOleObject, object); }
    TAVRIN_REFCOUNT(StaticPicture);

    HRESULT SetClientSite(IOleClientSite* site) override
    {
        if (site)
            site->AddRef();
        if (m_site)
            m_site->Release();
        m_site = site;
        return S_OK;
    }
    HRESULT GetClientSite(IOleClientSite** site) override
    {
        if (!site)
            return E_POINTER;
        *site = m_site;
        if (m_site)
            m_site->AddRef();
        return S_OK;
    }
    HRESULT Close(DWORD) override { return S_OK; }
    HRESULT GetUserClassID(CLSID* clsid) override
    {
        if (!clsid)
            return E_POINTER;
        *clsid = CLSID_StaticDib;
        return S_OK;
    }
    HRESULT GetExtent(DWORD aspect, SIZEL* size) override
    {
        if (!size)
            return E_POINTER;
        if (aspect != DVASPECT_CONTENT)
            return E_INVALIDARG;
        BITMAP bm{};
        GetObjectA(m_bitmap, sizeof bm, &bm);
        // HIMETRIC at 96 pixels an inch.
        size->cx = MulDiv(bm.bmWidth, 2540, 96);
        size->cy = MulDiv(bm.bmHeight, 2540, 96);
        return S_OK;
    }
    HRESULT Draw(HDC hdc, const RECT& rect) override
    {
        BITMAP bm{};
        if (!GetObjectA(m_bitmap, sizeof bm, &bm))
            return OLE_E_BLANK;
        HDC memory = CreateCompatibleDC(hdc);
        HGDIOBJ old = SelectObject(memory, m_bitmap);
        const int mode = SetStretchBltMode(hdc, COLORONCOLOR);
        StretchBlt(hdc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, memory, 0, 0, bm.bmWidth,
                   bm.bmHeight, SRCCOPY);
        SetStretchBltMode(hdc, mode);
        SelectObject(memory, old);
        DeleteDC(memory);
        return S_OK;
    }

private:
    ~StaticPicture()
    {
        if (m_site)
            m_site->Release();
        if (m_storage)
            m_storage->Release();
        DeleteObject(m_bitmap);
    }
    HBITMAP m_bitmap;
    IOleClientSite* m_site = nullptr;
    IStorage* m_storage = nullptr;
};

} // namespace

namespace tavrin::controls {

HBITMAP CopyBitmapForObject(HBITMAP source)
{
    BITMAP bm{};
    if (!source || GetObjectA(source, sizeof bm, &bm) != sizeof bm || bm.bmWidth <= 0 || bm.bmHeight == 0)
        return nullptr;
    const int height = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP copy = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!copy)
        return nullptr;
    HDC from = CreateCompatibleDC(nullptr);
    HDC to = CreateCompatibleDC(nullptr);
    HGDIOBJ oldFrom = SelectObject(from, source);
    HGDIOBJ oldTo = SelectObject(to, copy);
    BitBlt(to, 0, 0, bm.bmWidth, height, from, 0, 0, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    return copy;
}

} // namespace tavrin::controls

void ReleaseStgMedium(LPSTGMEDIUM medium)
{
    if (!medium)
        return;
    if (medium->pUnkForRelease) {
        medium->pUnkForRelease->Release();
    } else {
        switch (medium->tymed) {
        case TYMED_GDI:
            if (medium->hBitmap)
                DeleteObject(medium->hBitmap);
            break;
        case TYMED_HGLOBAL:
            if (medium->hGlobal)
                GlobalFree(medium->hGlobal);
            break;
        case TYMED_ISTORAGE:
            if (medium->pstg)
                medium->pstg->Release();
            break;
        default:
            break;
        }
    }
    *medium = STGMEDIUM{};
}

HRESULT CreateILockBytesOnHGlobal(HGLOBAL memory, BOOL, ILockBytes** lockBytes)
{
    if (!lockBytes)
        return E_POINTER;
    *lockBytes = nullptr;
    // Only new blocks: nothing here starts from existing memory.
    if (memory)
        return E_INVALIDARG;
    *lockBytes = new MemoryLockBytes;
    return S_OK;
}

HRESULT StgCreateDocfileOnILockBytes(ILockBytes* lockBytes, DWORD mode, DWORD reserved, IStorage** storage)
{
    if (!storage)
        return STG_E_INVALIDPOINTER;
    *storage = nullptr;
    if (!lockBytes)
        return STG_E_INVALIDPOINTER;
    if (reserved || !(mode & (STGM_WRITE | STGM_READWRITE)) || (mode & STGM_DELETEONRELEASE))
        return STG_E_INVALIDFLAG;
    ULARGE_INTEGER empty{0};
    if (mode & STGM_CREATE)
        lockBytes->SetSize(empty);
    *storage = new MemoryStorage(lockBytes);
    return S_OK;
}

HRESULT OleCreateStaticFromData(IDataObject* data, REFIID riid, DWORD render, LPFORMATETC format,
                                IOleClientSite* site, IStorage* storage, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!data || !storage)
        return E_INVALIDARG;
    if (render != OLERENDER_FORMAT && render != OLERENDER_DRAW)
        return E_INVALIDARG;
    FORMATETC wanted{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    if (render == OLERENDER_FORMAT) {
        if (!format)
            return E_INVALIDARG;
        if (format->cfFormat != CF_BITMAP || !(format->tymed & TYMED_GDI))
            return DV_E_FORMATETC;
        wanted = *format;
        wanted.tymed = TYMED_GDI;
    }
    STGMEDIUM medium{};
    HRESULT hr = data->GetData(&wanted, &medium);
    if (FAILED(hr))
        return hr;
    HBITMAP copy = medium.tymed == TYMED_GDI ? tavrin::controls::CopyBitmapForObject(medium.hBitmap) : nullptr;
    ReleaseStgMedium(&medium);
    if (!copy)
        return DV_E_TYMED;
    auto* picture = new StaticPicture(copy, site, storage);
    hr = picture->QueryInterface(riid, object);
    picture->Release();
    return hr;
}

HRESULT OleSetContainedObject(IUnknown* object, BOOL)
{
    return object ? S_OK : E_INVALIDARG;
}
