// The user's options of the command bars: full or shortened menus, screen
// tips, icon sizes, animation, and the commands hidden until their menu is
// expanded or until they are used. Stored through the property exchange.
#pragma once

#include "platform/base/Map.h"
#include "platform/mfc/CmdTarget.h"
#include "platform/mfc/Rect.h"

class CArchive;
class CXTPCommandBars;
class CXTPPropExchange;

typedef CMap<UINT, UINT, BOOL, BOOL> CXTPCommandMap;

class CXTPCommandBarsOptions : public CCmdTarget {
public:
    CXTPCommandBarsOptions();
    ~CXTPCommandBarsOptions() override;

    // bUserOptionsOnly: the options of the registry form (up to the animation).
    void DoPropExchange(CXTPPropExchange* pPX, BOOL bUserOptionsOnly = FALSE);
    // The whole set, always with both command maps.
    void Serialize(CArchive& ar) override;

    BOOL bAlwaysShowFullMenus = TRUE;
    BOOL bShowFullAfterDelay = TRUE;
    BOOL bToolBarScreenTips = TRUE;
    BOOL bToolBarAccelTips = FALSE;
    BOOL bLargeIcons = FALSE;
    BOOL bSyncFloatingBars = TRUE;
    BOOL bShowExpandButtonAlways = TRUE;
    BOOL bDblClickFloat = FALSE;
    BOOL bShowTextBelowIcons = FALSE;
    BOOL bAltDragCustomization = TRUE;
    BOOL bAutoHideUnusedPopups = TRUE;
    BOOL bDirtyState = FALSE;
    int animationType = 0;
    CSize szIcons{0, 0};
    CSize szLargeIcons{0, 0};
    CSize szPopupIcons{16, 16};
    CXTPCommandMap m_mapHiddenCommands;
    CXTPCommandMap m_mapUsedCommands;
    CXTPCommandBars* m_pCommandBars = nullptr;

    // One command map under the name. A stored map whose count does not fit
    // its length is refused and the map is left as it was.
    static BOOL ExchangeCommandMap(CXTPPropExchange* pPX, LPCTSTR pszPropName, CXTPCommandMap& map);

private:
    void ExchangeIconOptions(CXTPPropExchange* pPX);
};
