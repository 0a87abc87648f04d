// Menus: the items of menu bars and popups as data (text, id, state, type,
// submenu, item data), the calls that build, read and change them, menus
// from resources, and the menu a top-level window carries. A frame's own
// menu bar is not drawn: the window only keeps the strip for it.
#pragma once

#include "platform/win/Resource.h"

#include <string>
#include <vector>

#define MF_INSERT 0x00000000L
#define MF_CHANGE 0x00000080L
#define MF_APPEND 0x00000100L
#define MF_DELETE 0x00000200L
#define MF_REMOVE 0x00001000L
#define MF_BYCOMMAND 0x00000000L
#define MF_BYPOSITION 0x00000400L
#define MF_SEPARATOR 0x00000800L
#define MF_ENABLED 0x00000000L
#define MF_GRAYED 0x00000001L
#define MF_DISABLED 0x00000002L
#define MF_UNCHECKED 0x00000000L
#define MF_CHECKED 0x00000008L
#define MF_USECHECKBITMAPS 0x00000200L
#define MF_STRING 0x00000000L
#define MF_BITMAP 0x00000004L
#define MF_OWNERDRAW 0x00000100L
#define MF_POPUP 0x00000010L
#define MF_MENUBARBREAK 0x00000020L
#define MF_MENUBREAK 0x00000040L
#define MF_UNHILITE 0x00000000L
#define MF_HILITE 0x00000080L
#define MF_DEFAULT 0x00001000L
#define MF_SYSMENU 0x00002000L
#define MF_HELP 0x00004000L
#define MF_RIGHTJUSTIFY 0x00004000L
#define MF_MOUSESELECT 0x00008000L
#define MF_END 0x00000080L

#define MFT_STRING MF_STRING
#define MFT_BITMAP MF_BITMAP
#define MFT_MENUBARBREAK MF_MENUBARBREAK
#define MFT_MENUBREAK MF_MENUBREAK
#define MFT_OWNERDRAW MF_OWNERDRAW
#define MFT_RADIOCHECK 0x00000200L
#define MFT_SEPARATOR MF_SEPARATOR
#define MFT_RIGHTORDER 0x00002000L
#define MFT_RIGHTJUSTIFY MF_RIGHTJUSTIFY

#define MFS_GRAYED 0x00000003L
#define MFS_DISABLED MFS_GRAYED
#define MFS_CHECKED MF_CHECKED
#define MFS_HILITE MF_HILITE
#define MFS_ENABLED MF_ENABLED
#define MFS_UNCHECKED MF_UNCHECKED
#define MFS_UNHILITE MF_UNHILITE
#define MFS_DEFAULT MF_DEFAULT

#define MIIM_STATE 0x00000001
#define MIIM_ID 0x00000002
#define MIIM_SUBMENU 0x00000004
#define MIIM_CHECKMARKS 0x00000008
#define MIIM_TYPE 0x00000010
#define MIIM_DATA 0x00000020
#define MIIM_STRING 0x00000040
#define MIIM_BITMAP 0x00000080
#define MIIM_FTYPE 0x00000100

#define GMDI_USEDISABLED 0x0001L
#define GMDI_GOINTOPOPUPS 0x0002L

struct MENUITEMINFOA {
    UINT cbSize;
    UINT fMask;
    UINT fType;
    UINT fState;
    UINT wID;
    HMENU hSubMenu;
    HBITMAP hbmpChecked;
    HBITMAP hbmpUnchecked;
    ULONG_PTR dwItemData;
    LPSTR dwTypeData;
    UINT cch;
    HBITMAP hbmpItem;
};
typedef MENUITEMINFOA MENUITEMINFO;
typedef MENUITEMINFOA* LPMENUITEMINFOA;
typedef MENUITEMINFOA* LPMENUITEMINFO;
typedef const MENUITEMINFOA* LPCMENUITEMINFOA;
typedef const MENUITEMINFOA* LPCMENUITEMINFO;
typedef void MENUTEMPLATEA;
typedef void MENUTEMPLATE;

HMENU CreateMenu();
HMENU CreatePopupMenu();
// Destroys the menu and its submenus.
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);
HMENU LoadMenuA(HINSTANCE module, LPCSTR name);
inline HMENU LoadMenu(HINSTANCE module, LPCSTR name) { return LoadMenuA(module, name); }
// A menu template (the RT_MENU layout) in memory.
HMENU LoadMenuIndirectA(const MENUTEMPLATEA* menuTemplate);
inline HMENU LoadMenuIndirect(const MENUTEMPLATEA* menuTemplate) { return LoadMenuIndirectA(menuTemplate); }

// With MF_POPUP the id is the submenu's handle. MF_BYCOMMAND finds the item
// in submenus too.
BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR idNewItem, LPCSTR text);
inline BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idNewItem, LPCSTR text)
{
    return AppendMenuA(menu, flags, idNewItem, text);
}
BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, LPCSTR text);
inline BOOL InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, LPCSTR text)
{
    return InsertMenuA(menu, position, flags, idNewItem, text);
}
BOOL InsertMenuItemA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info);
inline BOOL InsertMenuItem(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info)
{
    return InsertMenuItemA(menu, item, byPosition, info);
}
// Replacing an item that opens a submenu destroys that submenu.
BOOL ModifyMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, LPCSTR text);
inline BOOL ModifyMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, LPCSTR text)
{
    return ModifyMenuA(menu, position, flags, idNewItem, text);
}
// RemoveMenu keeps the item's submenu; DeleteMenu destroys it.
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
HMENU GetSubMenu(HMENU menu, int position);
int GetMenuItemCount(HMENU menu);
// 0xFFFFFFFF for an item that opens a submenu (or none at that position).
UINT GetMenuItemID(HMENU menu, int position);
BOOL GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFOA info);
inline BOOL GetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFOA info)
{
    return GetMenuItemInfoA(menu, item, byPosition, info);
}
BOOL SetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info);
inline BOOL SetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info)
{
    return SetMenuItemInfoA(menu, item, byPosition, info);
}
// Whole characters only; a null buffer gives the length.
int GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags);
inline int GetMenuString(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags)
{
    return GetMenuStringA(menu, item, buffer, size, flags);
}
// The MF_ flags; for a submenu item its item count in the high byte; -1 for none.
UINT GetMenuState(HMENU menu, UINT id, UINT flags);
// The previous MF_CHECKED or MF_UNCHECKED; -1 for none.
DWORD CheckMenuItem(HMENU menu, UINT id, UINT check);
// The previous MF_ENABLED, MF_GRAYED or MF_DISABLED; -1 for none.
BOOL EnableMenuItem(HMENU menu, UINT id, UINT enable);
// item -1 clears the default.
BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition);
UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT flags);

// A top-level window's menu; null removes it and the window's menu strip.
BOOL SetMenu(HWND hwnd, HMENU menu);
HMENU GetMenu(HWND hwnd);
BOOL DrawMenuBar(HWND hwnd);

namespace tavrin::win {

// What the popup shows of one item.
struct MenuItemView {
    UINT type = 0;
    UINT state = 0;
    UINT id = 0;
    HMENU submenu = nullptr;
    std::string text; // GBK
};
// The menu's items; false when it is not a menu.
bool GetMenuItemsView(HMENU menu, std::vector<MenuItemView>& items);

} // namespace tavrin::win
