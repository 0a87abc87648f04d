// The data source as the compose editor uses it: a bitmap cached for
// CF_BITMAP on a GDI medium, handed out through its data object without
// losing the bitmap, turned into a static picture, and freed with the source.
#include "platform/mfc/OleDataSource.h"
#include "platform/win/Clipboard.h"

#include <gtest/gtest.h>

namespace {

FORMATETC BitmapFormat(CLIPFORMAT cf = CF_BITMAP, DWORD tymed = TYMED_GDI)
{
    return FORMATETC{cf, nullptr, DVASPECT_CONTENT, -1, tymed};
}

TEST(OleDataSource, ABitmapMediumIsHandedOutAndFreedWithTheSource)
{
    HBITMAP bitmap = ::CreateBitmap(6, 4, 1, 32, nullptr);
    ASSERT_NE(bitmap, nullptr);
    auto* source = new COleDataSource;
    STGMEDIUM medium{};
    medium.tymed = TYMED_GDI;
    medium.hBitmap = bitmap;
    FORMATETC format = BitmapFormat();
    source->CacheData(CF_BITMAP, &medium, &format);

    auto* data = static_cast<IDataObject*>(source->GetInterface(&IID_IDataObject));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->QueryGetData(&format), S_OK);
    FORMATETC dib = BitmapFormat(CF_DIB, TYMED_HGLOBAL);
    EXPECT_EQ(data->QueryGetData(&dib), DV_E_FORMATETC);
    FORMATETC wrongMedium = BitmapFormat(CF_BITMAP, TYMED_HGLOBAL);
    STGMEDIUM out{};
    EXPECT_EQ(data->GetData(&wrongMedium, &out), DV_E_FORMATETC);

    ASSERT_EQ(data->GetData(&format, &out), S_OK);
    EXPECT_EQ(out.hBitmap, bitmap);
    EXPECT_EQ(source->m_dwRef, 2);
    ReleaseStgMedium(&out); // drops the reference, keeps the bitmap
    EXPECT_EQ(source->m_dwRef, 1);
    EXPECT_EQ(::GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));

    // The rich edit's way: a static picture made from the data object.
    ILockBytes* bytes = nullptr;
    IStorage* storage = nullptr;
    ASSERT_EQ(CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes), S_OK);
    ASSERT_EQ(StgCreateDocfileOnILockBytes(bytes, STGM_SHARE_EXCLUSIVE | STGM_CREATE | STGM_READWRITE, 0, &storage),
              S_OK);
    IOleObject* picture = nullptr;
    ASSERT_EQ(OleCreateStaticFromData(data, IID_IOleObject, OLERENDER_FORMAT, &format, nullptr, storage,
                                      reinterpret_cast<void**>(&picture)),
              S_OK);
    ASSERT_NE(picture, nullptr);
    SIZEL extent{};
    EXPECT_EQ(picture->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
    EXPECT_GT(extent.cx, 0);
    EXPECT_EQ(source->m_dwRef, 1);

    delete source;
    EXPECT_EQ(::GetObjectType(bitmap), 0u); // the source owned it
    picture->Release();
    storage->Release();
    bytes->Release();
}

TEST(OleDataSource, ANewMediumForAFormatReplacesTheOld)
{
    COleDataSource source;
    HBITMAP first = ::CreateBitmap(2, 2, 1, 32, nullptr);
    HBITMAP second = ::CreateBitmap(3, 3, 1, 32, nullptr);
    STGMEDIUM medium{};
    medium.tymed = TYMED_GDI;
    medium.hBitmap = first;
    source.CacheData(CF_BITMAP, &medium);
    medium.hBitmap = second;
    source.CacheData(CF_BITMAP, &medium);
    EXPECT_EQ(::GetObjectType(first), 0u);
    FORMATETC format = BitmapFormat();
    STGMEDIUM out{};
    ASSERT_EQ(source.GetData(&format, &out), S_OK);
    EXPECT_EQ(out.hBitmap, second);
    ReleaseStgMedium(&out);
    EXPECT_EQ(source.GetInterface(&IID_IDispatch), nullptr);
    IUnknown* unknown = nullptr;
    EXPECT_EQ(static_cast<HRESULT>(source.ExternalQueryInterface(&IID_IDispatch, reinterpret_cast<void**>(&unknown))),
              E_NOINTERFACE);
}

} // namespace
