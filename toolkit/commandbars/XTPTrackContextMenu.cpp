#include "toolkit/commandbars/XTPTrackContextMenu.h"

#include "platform/mfc/Menu.h"
#include "platform/mfc/Wnd.h"
#include "platform/win/PopupMenu.h"

int XTPTrackContextMenu(CMenu* pMenu, UINT nFlags, int x, int y, CWnd* pWnd, int /*nIDBitmap*/)
{
    HMENU hMenu = pMenu ? pMenu->GetSafeHmenu() : nullptr;
    if (!hMenu)
        return 0;
    // Without a paint manager there are no popup bars: the plain menu is shown.
    return ::TrackPopupMenu(hMenu, nFlags, x, y, 0, AfxHwndOf(pWnd), nullptr);
}
