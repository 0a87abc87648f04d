// Window classes: registered by name (case-insensitive) for the process, each
// with its procedure, styles and extra bytes.
#pragma once

#include "platform/win/WinMessage.h"

#include <memory>
#include <string>

#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CS_DBLCLKS 0x0008
#define CS_OWNDC 0x0020
#define CS_CLASSDC 0x0040
#define CS_PARENTDC 0x0080
#define CS_NOCLOSE 0x0200
#define CS_SAVEBITS 0x0800
#define CS_BYTEALIGNCLIENT 0x1000
#define CS_BYTEALIGNWINDOW 0x2000
#define CS_GLOBALCLASS 0x4000
#define CS_DROPSHADOW 0x00020000

#define ERROR_CLASS_ALREADY_EXISTS 1410L
#define ERROR_CLASS_DOES_NOT_EXIST 1411L
#define ERROR_CLASS_HAS_WINDOWS 1412L

#define MAKEINTATOM(i) (reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#define MAKEINTRESOURCEA(i) (reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#define MAKEINTRESOURCE(i) MAKEINTRESOURCEA(i)
#define IS_INTRESOURCE(p) ((reinterpret_cast<ULONG_PTR>(p) >> 16) == 0)

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};
typedef WNDCLASSA WNDCLASS;
typedef WNDCLASSA* LPWNDCLASSA;

struct WNDCLASSEXA {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
    HICON hIconSm;
};
typedef WNDCLASSEXA WNDCLASSEX;
typedef WNDCLASSEXA* LPWNDCLASSEXA;

ATOM RegisterClassA(const WNDCLASSA* wc);
inline ATOM RegisterClass(const WNDCLASSA* wc) { return RegisterClassA(wc); }
ATOM RegisterClassExA(const WNDCLASSEXA* wc);
inline ATOM RegisterClassEx(const WNDCLASSEXA* wc) { return RegisterClassExA(wc); }
// Fails with ERROR_CLASS_HAS_WINDOWS while windows of the class exist.
BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance);
inline BOOL UnregisterClass(LPCSTR className, HINSTANCE instance) { return UnregisterClassA(className, instance); }
BOOL GetClassInfoA(HINSTANCE instance, LPCSTR className, LPWNDCLASSA wc);
inline BOOL GetClassInfo(HINSTANCE instance, LPCSTR className, LPWNDCLASSA wc)
{
    return GetClassInfoA(instance, className, wc);
}
BOOL GetClassInfoExA(HINSTANCE instance, LPCSTR className, LPWNDCLASSEXA wc);
inline BOOL GetClassInfoEx(HINSTANCE instance, LPCSTR className, LPWNDCLASSEXA wc)
{
    return GetClassInfoExA(instance, className, wc);
}

namespace tavrin::win {

class WindowClass {
public:
    ATOM m_atom = 0;
    std::string m_name;
    WNDCLASSEXA m_info{}; // m_info.lpszClassName points into m_name
    // Windows of the class that exist; guarded by the class registry.
    int m_windowCount = 0;

    // By name or by atom (MAKEINTATOM); null when not registered.
    static std::shared_ptr<WindowClass> Find(LPCSTR nameOrAtom);
    // Keeps the count UnregisterClass checks.
    static void AddWindow(const std::shared_ptr<WindowClass>& wc, int delta);
};

} // namespace tavrin::win
