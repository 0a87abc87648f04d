#include "platform/win/Accelerator.h"

#include "platform/win/Input.h"
#include "platform/win/Menu.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

std::mutex g_lock;
std::unordered_map<HACCEL, std::vector<ACCEL>>& Tables()
{
    static auto* tables = new std::unordered_map<HACCEL, std::vector<ACCEL>>;
    return *tables;
}
uintptr_t g_next = 0x30010;

HACCEL Add(std::vector<ACCEL> entries)
{
    std::lock_guard<std::mutex> lock(g_lock);
    HACCEL handle = reinterpret_cast<HACCEL>(g_next);
    g_next += 4;
    Tables()[handle] = std::move(entries);
    return handle;
}

bool Matches(const ACCEL& a, const MSG& msg)
{
    const bool keyDown = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    const bool character = msg.message == WM_CHAR || msg.message == WM_SYSCHAR;
    const bool alt = (msg.lParam & (LPARAM(1) << 29)) != 0;
    if (a.fVirt & FVIRTKEY) {
        if (!keyDown || msg.wParam != a.key)
            return false;
        const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        const bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
        return shift == ((a.fVirt & FSHIFT) != 0) && control == ((a.fVirt & FCONTROL) != 0) &&
               alt == ((a.fVirt & FALT) != 0);
    }
    return character && msg.wParam == a.key && alt == ((a.fVirt & FALT) != 0);
}

// The command is in the window's menu, disabled.
bool DisabledInMenu(HWND hwnd, WORD cmd)
{
    HMENU menu = GetMenu(hwnd);
    if (!menu || !IsMenu(menu))
        return false;
    const UINT state = GetMenuState(menu, cmd, MF_BYCOMMAND);
    return state != 0xFFFFFFFF && !(state & MF_POPUP) && (state & (MF_GRAYED | MF_DISABLED));
}

} // namespace

HACCEL LoadAcceleratorsA(HINSTANCE module, LPCSTR name)
{
    const tavrin::win::ResourceEntry* e = tavrin::win::FindResourceEntry(module, name, RT_ACCELERATOR);
    if (!e)
        return nullptr;
    // Entries of four words: flags, key, command, padding; the last is marked.
    std::vector<ACCEL> entries;
    for (size_t at = 0; at + 8 <= e->size; at += 8) {
        const BYTE* p = e->data + at;
        ACCEL a{static_cast<BYTE>(p[0] & 0x7F), static_cast<WORD>(p[2] | (p[3] << 8)),
                static_cast<WORD>(p[4] | (p[5] << 8))};
        entries.push_back(a);
        if (p[0] & 0x80)
            return Add(std::move(entries));
    }
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND); // no last entry: damaged
    return nullptr;
}

HACCEL CreateAcceleratorTableA(LPACCEL entries, int count)
{
    if (!entries || count <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::vector<ACCEL> copy(entries, entries + count);
    for (ACCEL& a : copy)
        a.fVirt &= 0x7F;
    return Add(std::move(copy));
}

int CopyAcceleratorTableA(HACCEL table, LPACCEL entries, int count)
{
    std::lock_guard<std::mutex> lock(g_lock);
    auto it = Tables().find(table);
    if (it == Tables().end())
        return 0;
    const int size = static_cast<int>(it->second.size());
    if (!entries)
        return size;
    const int n = std::min(size, count);
    for (int i = 0; i < n; ++i)
        entries[i] = it->second[static_cast<size_t>(i)];
    return n;
}

BOOL DestroyAcceleratorTable(HACCEL table)
{
    std::lock_guard<std::mutex> lock(g_lock);
    return Tables().erase(table) ? TRUE : FALSE;
}

int TranslateAcceleratorA(HWND hwnd, HACCEL table, LPMSG msg)
{
    if (!msg || !IsWindow(hwnd))
        return 0;
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN && msg->message != WM_CHAR &&
        msg->message != WM_SYSCHAR)
        return 0;
    WORD cmd = 0;
    bool found = false;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        auto it = Tables().find(table);
        if (it == Tables().end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return 0;
        }
        for (const ACCEL& a : it->second)
            if (Matches(a, *msg)) {
                cmd = a.cmd;
                found = true;
                break;
            }
    }
    if (!found)
        return 0;
    // The key is taken either way; a command the menu holds disabled is not sent.
    if (!DisabledInMenu(hwnd, cmd))
        SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(cmd, 1), 0);
    return 1;
}
