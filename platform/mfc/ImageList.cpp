#include "platform/mfc/ImageList.h"

#include "platform/mfc/Dc.h"
#include "platform/mfc/HandleMap.h"
#include "platform/mfc/Resource.h"
#include "platform/win/ResourceImage.h"

IMPLEMENT_DYNCREATE(CImageList, CObject)

namespace {
auto& ImageListMap() { return tavrin::mfc::ThreadHandleMap<CImageList, HIMAGELIST, &CImageList::m_hImageList>(); }
} // namespace

CImageList::~CImageList() { DeleteImageList(); }

CImageList* CImageList::FromHandle(HIMAGELIST hImageList) { return ImageListMap().FromHandle(hImageList); }
CImageList* CImageList::FromHandlePermanent(HIMAGELIST hImageList)
{
    return ImageListMap().FromHandlePermanent(hImageList);
}
void CImageList::DeleteTempMap() { ImageListMap().DeleteTemp(); }

BOOL CImageList::Attach(HIMAGELIST hImageList)
{
    if (!hImageList)
        return FALSE;
    m_hImageList = hImageList;
    ImageListMap().SetPermanent(hImageList, this);
    return TRUE;
}

HIMAGELIST CImageList::Detach()
{
    HIMAGELIST h = m_hImageList;
    if (h)
        ImageListMap().RemoveHandle(h);
    m_hImageList = nullptr;
    return h;
}

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow)
{
    return Attach(::ImageList_Create(cx, cy, nFlags, nInitial, nGrow));
}

BOOL CImageList::Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask)
{
    LPCSTR name = MAKEINTRESOURCE(nBitmapID);
    HBITMAP bitmap = ::LoadBitmapA(AfxFindResourceHandle(name, RT_BITMAP), name);
    if (!bitmap)
        return FALSE;
    BITMAP info{};
    ::GetObjectA(bitmap, sizeof info, &info);
    BOOL made = Create(cx, info.bmHeight, ILC_COLOR32 | ILC_MASK, info.bmWidth / (cx > 0 ? cx : 1), nGrow);
    if (made)
        ::ImageList_AddMasked(m_hImageList, bitmap, crMask);
    ::DeleteObject(bitmap);
    return made;
}

BOOL CImageList::DeleteImageList()
{
    if (!m_hImageList)
        return FALSE;
    return ::ImageList_Destroy(Detach());
}

int CImageList::Add(CBitmap* pbmImage, CBitmap* pbmMask)
{
    return ::ImageList_Add(m_hImageList, static_cast<HBITMAP>(AfxHandleOf(pbmImage)),
                           static_cast<HBITMAP>(AfxHandleOf(pbmMask)));
}

int CImageList::Add(CBitmap* pbmImage, COLORREF crMask)
{
    return ::ImageList_AddMasked(m_hImageList, static_cast<HBITMAP>(AfxHandleOf(pbmImage)), crMask);
}

BOOL CImageList::Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle)
{
    return ::ImageList_Draw(m_hImageList, nImage, pDC->GetSafeHdc(), pt.x, pt.y, nStyle);
}

BOOL CImageList::DrawEx(CDC* pDC, int nImage, POINT pt, SIZE sz, COLORREF clrBk, COLORREF clrFg, UINT nStyle)
{
    return ::ImageList_DrawEx(m_hImageList, nImage, pDC->GetSafeHdc(), pt.x, pt.y, sz.cx, sz.cy, clrBk, clrFg, nStyle);
}
