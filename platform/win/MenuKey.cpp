#include "platform/win/MenuKey.h"

#include "platform/win/Presenter.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowQuery.h"

#include <atomic>

namespace tavrin::win {

namespace {

std::atomic<int> g_beeps{0};
// The key (VK_MENU or VK_F10) pressed with nothing else since; released, it
// opens the menu.
thread_local UINT t_menuKey = 0;

HWND Root(HWND hwnd)
{
    HWND root = GetAncestor(hwnd, GA_ROOT);
    return root ? root : hwnd;
}

} // namespace

int MessageBeepCount()
{
    return g_beeps.load();
}

bool MenuKeyMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if ((wParam == VK_MENU || (wParam == VK_F10 && !(GetKeyState(VK_SHIFT) & 0x8000))) &&
            !(GetKeyState(VK_CONTROL) & 0x8000)) {
            if (!(lParam & (LPARAM(1) << 30)) || t_menuKey == wParam) // a repeat keeps it
                t_menuKey = static_cast<UINT>(wParam);
            return true;
        }
        t_menuKey = 0;
        return false;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (t_menuKey && wParam == t_menuKey) {
            t_menuKey = 0;
            SendMessageA(Root(hwnd), WM_SYSCOMMAND, SC_KEYMENU, 0);
            return true;
        }
        t_menuKey = 0;
        return false;
    case WM_SYSCHAR:
        t_menuKey = 0;
        // Alt+letter: the menu bar's mnemonic. Alt+F4 and the like never get here.
        if (lParam & (LPARAM(1) << 29)) {
            SendMessageA(Root(hwnd), WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(wParam & 0xFF));
            return true;
        }
        return false;
    case WM_SYSCOMMAND:
        // No menu bar of our own is drawn: a letter nobody took rings the bell.
        if ((wParam & 0xFFF0) == SC_KEYMENU && lParam && lParam != ' ')
            MessageBeep(0);
        return (wParam & 0xFFF0) == SC_KEYMENU;
    default:
        return false;
    }
}

} // namespace tavrin::win

HKL GetKeyboardLayout(DWORD)
{
    return reinterpret_cast<HKL>(static_cast<uintptr_t>(0x04090409)); // US keys
}

UINT MapVirtualKeyExA(UINT code, UINT mapType, HKL)
{
    return MapVirtualKeyA(code, mapType);
}

BOOL MessageBeep(UINT)
{
    ++tavrin::win::g_beeps;
    tavrin::display::GetPresenter().Bell();
    return TRUE;
}
