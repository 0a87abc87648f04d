#include "app/ItemImages.h"

#include "platform/mfc/GdiObject.h"
#include "platform/mfc/ImageList.h"
#include "platform/mfc/Resource.h"
#include "platform/win/ResourceImage.h"
#include "res/resource.h"

namespace tavrin::app {

bool MakeItemImageList(CImageList& list)
{
    CBitmap bitmap;
    HBITMAP hBitmap = ::LoadBitmap(AfxFindResourceHandle(MAKEINTRESOURCE(IDB_ACCOUNT_TREE), RT_BITMAP),
                                   MAKEINTRESOURCE(IDB_ACCOUNT_TREE));
    if (!list.Create(16, 16, ILC_COLOR24 | ILC_MASK, 9, 1) || !hBitmap || !bitmap.Attach(hBitmap))
        return false;
    return list.Add(&bitmap, RGB(255, 0, 255)) >= 0;
}

} // namespace tavrin::app
