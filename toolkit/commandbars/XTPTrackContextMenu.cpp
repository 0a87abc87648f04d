#include "toolkit/commandbars/XTPTrackContextMenu.h"

#include "platform/mfc/Menu.h"
#include "platform/mfc/Wnd.h"
#include "platform/win/PopupMenu.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPImageManager.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPPopupBar.h"

int XTPTrackContextMenu(CMenu* pMenu, UINT nFlags, int x, int y, CWnd* pWnd, int nIDBitmap)
{
    HMENU hMenu = pMenu ? pMenu->GetSafeHmenu() : nullptr;
    if (!hMenu)
        return 0;
    // Without a paint manager there are no popup bars: the plain menu is shown.
    if (!XTPPaintManager())
        return ::TrackPopupMenu(hMenu, nFlags, x, y, 0, AfxHwndOf(pWnd), nullptr);
    CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(nullptr);
    pPopup->SetOwner(pWnd);
    int nResult = 0;
    if (pPopup->LoadMenu(pMenu, TRUE)) {
        if (nIDBitmap > 0) {
            auto* pImages = new CXTPImageManager;
            pImages->SetIcons(static_cast<UINT>(nIDBitmap));
            pPopup->SetImageManager(pImages);
        }
        nResult = static_cast<int>(CXTPCommandBars::TrackPopupBar(pPopup, nFlags | TPM_NONOTIFY, x, y));
    }
    pPopup->InternalRelease();
    return nResult;
}
