#include "platform/win/Menu.h"

#include "platform/base/CodePage.h"
#include "platform/base/String.h"
#include "platform/win/Painting.h"
#include "platform/win/WindowPos.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace tavrin::win {

namespace {

struct Item {
    UINT type = MFT_STRING;
    UINT state = 0;
    UINT id = 0;
    HMENU submenu = nullptr;
    ULONG_PTR data = 0;
    HBITMAP bitmap = nullptr; // MFT_BITMAP items and hbmpItem
    HBITMAP checked = nullptr;
    HBITMAP unchecked = nullptr;
    std::string text;
};

struct MenuData {
    bool popup = false;
    std::vector<Item> items;
};

// Every menu by handle; handles are never reused. One lock: menus are small
// and mostly touched by one thread.
std::recursive_mutex g_lock;
std::unordered_map<HMENU, MenuData>& Menus()
{
    static auto* menus = new std::unordered_map<HMENU, MenuData>;
    return *menus;
}
uintptr_t g_next = 0x20010;

MenuData* Find(HMENU menu)
{
    auto it = Menus().find(menu);
    return it == Menus().end() ? nullptr : &it->second;
}

HMENU NewMenu(bool popup)
{
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    HMENU handle = reinterpret_cast<HMENU>(g_next);
    g_next += 4;
    Menus()[handle].popup = popup;
    return handle;
}

void Destroy(HMENU menu, int depth)
{
    MenuData* m = Find(menu);
    if (!m || depth > 64)
        return;
    std::vector<HMENU> children;
    for (const Item& item : m->items)
        if (item.submenu)
            children.push_back(item.submenu);
    Menus().erase(menu);
    for (HMENU child : children)
        Destroy(child, depth + 1);
}

// The item by position, or by command anywhere below the menu.
struct Place {
    MenuData* menu = nullptr;
    size_t index = 0;
    HMENU handle = nullptr;
};

Place Locate(HMENU handle, UINT item, bool byPosition, int depth = 0)
{
    MenuData* m = Find(handle);
    if (!m || depth > 64)
        return {};
    if (byPosition)
        return item < m->items.size() ? Place{m, item, handle} : Place{};
    for (size_t i = 0; i < m->items.size(); ++i)
        if (!m->items[i].submenu && m->items[i].id == item && !(m->items[i].type & MFT_SEPARATOR))
            return {m, i, handle};
    for (size_t i = 0; i < m->items.size(); ++i)
        if (m->items[i].submenu) {
            Place p = Locate(m->items[i].submenu, item, false, depth + 1);
            if (p.menu)
                return p;
        }
    // An item that opens a submenu is found by its submenu's handle as well.
    for (size_t i = 0; i < m->items.size(); ++i)
        if (m->items[i].submenu && reinterpret_cast<UINT_PTR>(m->items[i].submenu) == item)
            return {m, i, handle};
    return {};
}

// An item from the MF_ flags of AppendMenu and the like.
bool ItemFromFlags(UINT flags, UINT_PTR idNewItem, LPCSTR text, Item& item)
{
    item = Item{};
    item.state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT);
    item.type = flags & (MF_MENUBARBREAK | MF_MENUBREAK | MF_OWNERDRAW | MF_RIGHTJUSTIFY | MFT_RADIOCHECK);
    if (flags & MF_POPUP) {
        item.submenu = reinterpret_cast<HMENU>(idNewItem);
        if (!Find(item.submenu))
            return false;
        item.id = static_cast<UINT>(idNewItem);
    } else {
        item.id = static_cast<UINT>(idNewItem) & 0xFFFF;
    }
    if (flags & MF_SEPARATOR) {
        item.type |= MFT_SEPARATOR;
        item.id = 0;
    } else if (flags & MF_BITMAP) {
        item.type |= MFT_BITMAP;
        item.bitmap = reinterpret_cast<HBITMAP>(const_cast<char*>(text));
    } else if (flags & MF_OWNERDRAW) {
        item.data = reinterpret_cast<ULONG_PTR>(text);
    } else if (text) {
        item.text = text;
    }
    return true;
}

bool Insert(HMENU menu, UINT position, bool byPosition, Item item)
{
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    MenuData* m = Find(menu);
    if (!m) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    if (item.submenu && item.submenu == menu)
        return false;
    if (!byPosition && position != 0xFFFFFFFF) {
        Place p = Locate(menu, position, false);
        if (p.menu) {
            p.menu->items.insert(p.menu->items.begin() + static_cast<long>(p.index), std::move(item));
            return true;
        }
    }
    // A position past the end (or -1, or a command not found) appends.
    size_t at = byPosition && position < m->items.size() ? position : m->items.size();
    if (item.state & MFS_DEFAULT)
        for (Item& other : m->items)
            other.state &= ~static_cast<UINT>(MFS_DEFAULT);
    m->items.insert(m->items.begin() + static_cast<long>(at), std::move(item));
    return true;
}

// Takes the item out; its submenu is destroyed or left to the caller.
bool Remove(HMENU menu, UINT position, UINT flags, bool destroySubmenu)
{
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    Place p = Locate(menu, position, (flags & MF_BYPOSITION) != 0);
    if (!p.menu)
        return false;
    HMENU sub = p.menu->items[p.index].submenu;
    p.menu->items.erase(p.menu->items.begin() + static_cast<long>(p.index));
    if (sub && destroySubmenu)
        Destroy(sub, 0);
    return true;
}

// A menu template: header, then items; a popup's items follow it, MF_END
// marks the last of a level. Texts are 16-bit units. Reads stay inside size.
class TemplateReader {
public:
    TemplateReader(const BYTE* data, size_t size) : m_data(data), m_size(size) {}

    HMENU Read()
    {
        if (m_size < 4 || Word(0) != 0)
            return nullptr; // the extended form is not ours
        m_at = 4 + Word(2);
        HMENU menu = NewMenu(false);
        if (!Level(menu, 0)) {
            DestroyMenu(menu);
            return nullptr;
        }
        return menu;
    }

private:
    uint32_t Word(size_t at) const { return m_data[at] | (uint32_t(m_data[at + 1]) << 8); }
    bool Next(uint32_t& out)
    {
        if (m_at + 2 > m_size)
            return false;
        out = Word(m_at);
        m_at += 2;
        return true;
    }
    bool Text(std::string& out)
    {
        std::wstring wide;
        for (uint32_t c;;) {
            if (!Next(c))
                return false;
            if (!c)
                break;
            wide += static_cast<wchar_t>(c);
        }
        out = WideToGbk(wide);
        return true;
    }
    bool Level(HMENU menu, int depth)
    {
        if (depth > 32)
            return false;
        for (;;) {
            uint32_t flags = 0, id = 0;
            if (!Next(flags))
                return false;
            Item item;
            if (!(flags & MF_POPUP) && !Next(id))
                return false;
            if (!Text(item.text))
                return false;
            item.state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_DEFAULT);
            item.type = flags & (MF_MENUBARBREAK | MF_MENUBREAK | MF_RIGHTJUSTIFY | MF_SEPARATOR);
            item.id = id;
            if (!(flags & MF_POPUP) && id == 0 && item.text.empty())
                item.type |= MFT_SEPARATOR;
            if (flags & MF_POPUP) {
                item.submenu = NewMenu(true);
                item.id = static_cast<UINT>(reinterpret_cast<UINT_PTR>(item.submenu));
                Insert(menu, 0xFFFFFFFF, true, item);
                if (!Level(item.submenu, depth + 1))
                    return false;
            } else {
                Insert(menu, 0xFFFFFFFF, true, std::move(item));
            }
            if (flags & MF_END)
                return true;
        }
    }

    const BYTE* m_data;
    size_t m_size;
    size_t m_at = 0;
};

// The record is one of ours (the older one without hbmpItem is accepted).
bool ValidInfo(const MENUITEMINFOA* info)
{
    if (info && info->cbSize >= sizeof(MENUITEMINFOA) - sizeof(HBITMAP))
        return true;
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
}

UINT StateFlags(const Item& item)
{
    UINT flags = item.state | (item.type & (MFT_BITMAP | MFT_OWNERDRAW | MFT_SEPARATOR | MFT_MENUBREAK |
                                            MFT_MENUBARBREAK | MFT_RIGHTJUSTIFY | MFT_RADIOCHECK));
    if (item.submenu) {
        MenuData* sub = Find(item.submenu);
        flags |= MF_POPUP | (sub ? static_cast<UINT>(sub->items.size() & 0xFF) << 8 : 0);
    }
    return flags;
}

} // namespace

bool GetMenuItemsView(HMENU menu, std::vector<MenuItemView>& items)
{
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    MenuData* m = Find(menu);
    items.clear();
    if (!m)
        return false;
    for (const Item& item : m->items)
        items.push_back(MenuItemView{item.type, item.state, item.id, item.submenu, item.text});
    return true;
}

} // namespace tavrin::win

using namespace tavrin::win;

HMENU CreateMenu()
{
    return NewMenu(false);
}

HMENU CreatePopupMenu()
{
    return NewMenu(true);
}

BOOL DestroyMenu(HMENU menu)
{
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    if (!Find(menu)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    Destroy(menu, 0);
    return TRUE;
}

BOOL IsMenu(HMENU menu)
{
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    return Find(menu) != nullptr;
}

HMENU LoadMenuA(HINSTANCE module, LPCSTR name)
{
    const ResourceEntry* e = FindResourceEntry(module, name, RT_MENU);
    if (!e)
        return nullptr;
    HMENU menu = TemplateReader(e->data, e->size).Read();
    if (!menu)
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return menu;
}

HMENU LoadMenuIndirectA(const MENUTEMPLATEA* menuTemplate)
{
    if (!menuTemplate)
        return nullptr;
    // The caller's template carries no size; a menu is never near this big.
    return TemplateReader(static_cast<const BYTE*>(menuTemplate), 1 << 20).Read();
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR idNewItem, LPCSTR text)
{
    Item item;
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    return ItemFromFlags(flags, idNewItem, text, item) && Insert(menu, 0xFFFFFFFF, true, std::move(item));
}

BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, LPCSTR text)
{
    Item item;
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    return ItemFromFlags(flags, idNewItem, text, item) &&
           Insert(menu, position, (flags & MF_BYPOSITION) != 0, std::move(item));
}

BOOL ModifyMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, LPCSTR text)
{
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    Place p = Locate(menu, position, (flags & MF_BYPOSITION) != 0);
    Item item;
    if (!p.menu || !ItemFromFlags(flags, idNewItem, text, item))
        return FALSE;
    HMENU old = p.menu->items[p.index].submenu;
    p.menu->items[p.index] = std::move(item);
    if (old && old != p.menu->items[p.index].submenu)
        Destroy(old, 0);
    return TRUE;
}

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags)
{
    return Remove(menu, position, flags, false);
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags)
{
    return Remove(menu, position, flags, true);
}

HMENU GetSubMenu(HMENU menu, int position)
{
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    Place p = Locate(menu, static_cast<UINT>(position), true);
    return p.menu && position >= 0 ? p.menu->items[p.index].submenu : nullptr;
}

int GetMenuItemCount(HMENU menu)
{
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    MenuData* m = Find(menu);
    if (!m) {
        SetLastError(ERROR_INVALID_HANDLE);
        return -1;
    }
    return static_cast<int>(m->items.size());
}

UINT GetMenuItemID(HMENU menu, int position)
{
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    Place p = Locate(menu, static_cast<UINT>(position), true);
    if (!p.menu || position < 0 || p.menu->items[p.index].submenu)
        return 0xFFFFFFFF;
    return p.menu->items[p.index].id;
}

BOOL GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFOA info)
{
    if (!ValidInfo(info))
        return FALSE;
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    Place p = Locate(menu, item, byPosition != 0);
    if (!p.menu)
        return FALSE;
    const Item& it = p.menu->items[p.index];
    const UINT mask = info->fMask;
    if (mask & (MIIM_TYPE | MIIM_FTYPE))
        info->fType = it.type;
    if (mask & MIIM_STATE)
        info->fState = it.state;
    if (mask & MIIM_ID)
        info->wID = it.id;
    if (mask & MIIM_SUBMENU)
        info->hSubMenu = it.submenu;
    if (mask & MIIM_CHECKMARKS) {
        info->hbmpChecked = it.checked;
        info->hbmpUnchecked = it.unchecked;
    }
    if (mask & MIIM_DATA)
        info->dwItemData = it.data;
    if ((mask & MIIM_BITMAP) && info->cbSize >= sizeof(MENUITEMINFOA))
        info->hbmpItem = it.bitmap;
    const bool plain = !(it.type & (MFT_BITMAP | MFT_SEPARATOR | MFT_OWNERDRAW));
    const bool wantsText = (mask & MIIM_STRING) || ((mask & MIIM_TYPE) && plain);
    if (wantsText) {
        // cch in: the buffer's size; out: the bytes copied (the length with no buffer).
        if (!info->dwTypeData || info->cch == 0)
            info->cch = static_cast<UINT>(it.text.size());
        else
            info->cch = static_cast<UINT>(
                CopyWholeCharacters(it.text, info->dwTypeData, static_cast<int>(info->cch)));
    } else if (mask & MIIM_TYPE) {
        info->dwTypeData = (it.type & MFT_BITMAP) ? reinterpret_cast<LPSTR>(it.bitmap) : nullptr;
        info->cch = 0;
    }
    return TRUE;
}

BOOL SetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info)
{
    if (!ValidInfo(info))
        return FALSE;
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    Place p = Locate(menu, item, byPosition != 0);
    if (!p.menu)
        return FALSE;
    const UINT mask = info->fMask;
    if ((mask & MIIM_SUBMENU) && info->hSubMenu && (!Find(info->hSubMenu) || info->hSubMenu == menu))
        return FALSE;
    Item& it = p.menu->items[p.index];
    if (mask & (MIIM_TYPE | MIIM_FTYPE))
        it.type = info->fType;
    if (mask & MIIM_TYPE) {
        if (info->fType & MFT_BITMAP)
            it.bitmap = reinterpret_cast<HBITMAP>(info->dwTypeData);
        else if (!(info->fType & (MFT_SEPARATOR | MFT_OWNERDRAW)))
            it.text = info->dwTypeData ? info->dwTypeData : "";
    }
    if (mask & MIIM_STRING)
        it.text = info->dwTypeData ? info->dwTypeData : "";
    if (mask & MIIM_STATE) {
        if (info->fState & MFS_DEFAULT)
            for (Item& other : p.menu->items)
                other.state &= ~static_cast<UINT>(MFS_DEFAULT);
        p.menu->items[p.index].state = info->fState;
    }
    if (mask & MIIM_ID)
        it.id = info->wID;
    if (mask & MIIM_SUBMENU)
        it.submenu = info->hSubMenu;
    if (mask & MIIM_CHECKMARKS) {
        it.checked = info->hbmpChecked;
        it.unchecked = info->hbmpUnchecked;
    }
    if (mask & MIIM_DATA)
        it.data = info->dwItemData;
    if ((mask & MIIM_BITMAP) && info->cbSize >= sizeof(MENUITEMINFOA))
        it.bitmap = info->hbmpItem;
    return TRUE;
}

BOOL InsertMenuItemA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info)
{
    if (!ValidInfo(info))
        return FALSE;
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    MenuData* m = Find(menu);
    if (!m)
        return FALSE;
    if ((info->fMask & MIIM_SUBMENU) && info->hSubMenu && (!Find(info->hSubMenu) || info->hSubMenu == menu))
        return FALSE;
    // Inserted blank, then filled like SetMenuItemInfo.
    Place before = byPosition ? Place{m, std::min<size_t>(item, m->items.size()), menu} : Locate(menu, item, false);
    if (!before.menu)
        before = Place{m, m->items.size(), menu};
    before.menu->items.insert(before.menu->items.begin() + static_cast<long>(before.index), Item{});
    return SetMenuItemInfoA(before.handle, static_cast<UINT>(before.index), TRUE, info);
}

int GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags)
{
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    Place p = Locate(menu, item, (flags & MF_BYPOSITION) != 0);
    if (!p.menu) {
        if (buffer && size > 0)
            buffer[0] = 0;
        return 0;
    }
    return CopyWholeCharacters(p.menu->items[p.index].text, buffer, size);
}

UINT GetMenuState(HMENU menu, UINT id, UINT flags)
{
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    Place p = Locate(menu, id, (flags & MF_BYPOSITION) != 0);
    return p.menu ? StateFlags(p.menu->items[p.index]) : 0xFFFFFFFF;
}

DWORD CheckMenuItem(HMENU menu, UINT id, UINT check)
{
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    Place p = Locate(menu, id, (check & MF_BYPOSITION) != 0);
    if (!p.menu)
        return 0xFFFFFFFF;
    UINT& state = p.menu->items[p.index].state;
    const DWORD old = state & MF_CHECKED;
    state = (state & ~static_cast<UINT>(MF_CHECKED)) | (check & MF_CHECKED);
    return old;
}

BOOL EnableMenuItem(HMENU menu, UINT id, UINT enable)
{
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    Place p = Locate(menu, id, (enable & MF_BYPOSITION) != 0);
    if (!p.menu)
        return -1;
    UINT& state = p.menu->items[p.index].state;
    const BOOL old = static_cast<BOOL>(state & (MF_GRAYED | MF_DISABLED));
    state = (state & ~static_cast<UINT>(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
    return old;
}

BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition)
{
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    MenuData* m = Find(menu);
    if (!m)
        return FALSE;
    // Only an item of this menu itself can be its default.
    size_t index = m->items.size();
    if (item != 0xFFFFFFFF) {
        for (size_t i = 0; i < m->items.size(); ++i)
            if (byPosition ? i == item : (m->items[i].id == item && !(m->items[i].type & MFT_SEPARATOR)))
                index = i;
        if (index == m->items.size())
            return FALSE;
    }
    for (size_t i = 0; i < m->items.size(); ++i) {
        UINT& state = m->items[i].state;
        state = i == index ? (state | MFS_DEFAULT) : (state & ~static_cast<UINT>(MFS_DEFAULT));
    }
    return TRUE;
}

UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT flags)
{
    std::lock_guard<std::recursive_mutex> lock(g_lock);
    MenuData* m = Find(menu);
    for (int depth = 0; m && depth < 32; ++depth) {
        size_t i = 0;
        while (i < m->items.size() && !(m->items[i].state & MFS_DEFAULT))
            ++i;
        if (i == m->items.size())
            return 0xFFFFFFFF;
        const Item& it = m->items[i];
        if ((it.state & MFS_GRAYED) && !(flags & GMDI_USEDISABLED))
            return 0xFFFFFFFF;
        if (it.submenu && (flags & GMDI_GOINTOPOPUPS)) {
            MenuData* sub = Find(it.submenu);
            bool hasDefault = false;
            for (const Item& s : sub ? sub->items : std::vector<Item>{})
                hasDefault |= (s.state & MFS_DEFAULT) != 0;
            if (hasDefault) {
                m = sub;
                continue;
            }
        }
        return byPosition ? static_cast<UINT>(i) : it.id;
    }
    return 0xFFFFFFFF;
}

BOOL SetMenu(HWND hwnd, HMENU menu)
{
    if (!IsWindow(hwnd) || (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) || (menu && !IsMenu(menu)))
        return FALSE;
    SetWindowLongPtrA(hwnd, GWLP_ID, reinterpret_cast<LONG_PTR>(menu));
    // The strip comes or goes with the menu: the frame is laid out again.
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return TRUE;
}

HMENU GetMenu(HWND hwnd)
{
    if (!IsWindow(hwnd) || (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD))
        return nullptr;
    return reinterpret_cast<HMENU>(GetWindowLongPtrA(hwnd, GWLP_ID));
}

BOOL DrawMenuBar(HWND hwnd)
{
    if (!IsWindow(hwnd))
        return FALSE;
    InvalidateNonClient(hwnd);
    return TRUE;
}
