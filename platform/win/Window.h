// Window objects: handle, class, procedure, owning thread, parent, owner,
// styles, rectangle, id, text and extra bytes. The window manager builds
// geometry, painting, focus and capture on these; the message core only
// creates, destroys and calls them.
#pragma once

#include "platform/win/WindowClass.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_MINIMIZE 0x20000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_CLIPSIBLINGS 0x04000000L
#define WS_CLIPCHILDREN 0x02000000L
#define WS_MAXIMIZE 0x01000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_DLGFRAME 0x00400000L
#define WS_VSCROLL 0x00200000L
#define WS_HSCROLL 0x00100000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_GROUP 0x00020000L
#define WS_TABSTOP 0x00010000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L
#define WS_TILED WS_OVERLAPPED
#define WS_ICONIC WS_MINIMIZE
#define WS_SIZEBOX WS_THICKFRAME
#define WS_CHILDWINDOW WS_CHILD
#define WS_OVERLAPPEDWINDOW (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)
#define WS_TILEDWINDOW WS_OVERLAPPEDWINDOW
#define WS_POPUPWINDOW (WS_POPUP | WS_BORDER | WS_SYSMENU)

#define WS_EX_DLGMODALFRAME 0x00000001L
#define WS_EX_NOPARENTNOTIFY 0x00000004L
#define WS_EX_TOPMOST 0x00000008L
#define WS_EX_ACCEPTFILES 0x00000010L
#define WS_EX_TRANSPARENT 0x00000020L
#define WS_EX_MDICHILD 0x00000040L
#define WS_EX_TOOLWINDOW 0x00000080L
#define WS_EX_WINDOWEDGE 0x00000100L
#define WS_EX_CLIENTEDGE 0x00000200L
#define WS_EX_CONTEXTHELP 0x00000400L
#define WS_EX_RIGHT 0x00001000L
#define WS_EX_LEFT 0x00000000L
#define WS_EX_RTLREADING 0x00002000L
#define WS_EX_LTRREADING 0x00000000L
#define WS_EX_LEFTSCROLLBAR 0x00004000L
#define WS_EX_RIGHTSCROLLBAR 0x00000000L
#define WS_EX_CONTROLPARENT 0x00010000L
#define WS_EX_STATICEDGE 0x00020000L
#define WS_EX_APPWINDOW 0x00040000L
#define WS_EX_OVERLAPPEDWINDOW (WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE)
#define WS_EX_PALETTEWINDOW (WS_EX_WINDOWEDGE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST)
#define WS_EX_LAYERED 0x00080000L
#define WS_EX_NOINHERITLAYOUT 0x00100000L
#define WS_EX_LAYOUTRTL 0x00400000L
#define WS_EX_COMPOSITED 0x02000000L
#define WS_EX_NOACTIVATE 0x08000000L

#define CW_USEDEFAULT (static_cast<int>(0x80000000))

#define GWLP_WNDPROC (-4)
#define GWLP_HINSTANCE (-6)
#define GWLP_HWNDPARENT (-8)
#define GWLP_ID (-12)
#define GWLP_USERDATA (-21)
#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define GWL_ID (-12)
#define GWL_USERDATA (-21)

#define GW_HWNDFIRST 0
#define GW_HWNDLAST 1
#define GW_HWNDNEXT 2
#define GW_HWNDPREV 3
#define GW_OWNER 4
#define GW_CHILD 5

#define GA_PARENT 1
#define GA_ROOT 2
#define GA_ROOTOWNER 3

#define ERROR_INVALID_INDEX 1413L
#define ERROR_TLW_WITH_WSCHILD 1406L
#define ERROR_CANNOT_FIND_WND_CLASS 1407L

struct CREATESTRUCTA {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
};
typedef CREATESTRUCTA CREATESTRUCT;
typedef CREATESTRUCTA* LPCREATESTRUCTA;
typedef CREATESTRUCTA* LPCREATESTRUCT;

struct STYLESTRUCT {
    DWORD styleOld;
    DWORD styleNew;
};
typedef STYLESTRUCT* LPSTYLESTRUCT;

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
inline HWND CreateWindowEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                           int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    return CreateWindowExA(exStyle, className, windowName, style, x, y, width, height, parent, menu, instance, param);
}
inline HWND CreateWindowA(LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width, int height,
                          HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    return CreateWindowExA(0, className, windowName, style, x, y, width, height, parent, menu, instance, param);
}
inline HWND CreateWindow(LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width, int height,
                         HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    return CreateWindowExA(0, className, windowName, style, x, y, width, height, parent, menu, instance, param);
}
// Only the window's own thread may destroy it (ERROR_ACCESS_DENIED otherwise).
// Owned windows go first; then WM_DESTROY reaches the window and its
// descendants, parents first, and WM_NCDESTROY the descendants before the window.
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
BOOL IsChild(HWND parent, HWND hwnd);
HWND GetParent(HWND hwnd);
HWND GetWindow(HWND hwnd, UINT relation);
HWND GetAncestor(HWND hwnd, UINT flags);
DWORD GetWindowThreadProcessId(HWND hwnd, LPDWORD processId);
LONG_PTR GetWindowLongPtrA(HWND hwnd, int index);
LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value);
inline LONG_PTR GetWindowLongPtr(HWND hwnd, int index) { return GetWindowLongPtrA(hwnd, index); }
inline LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value) { return SetWindowLongPtrA(hwnd, index, value); }
LONG GetWindowLongA(HWND hwnd, int index);
LONG SetWindowLongA(HWND hwnd, int index, LONG value);
inline LONG GetWindowLong(HWND hwnd, int index) { return GetWindowLongA(hwnd, index); }
inline LONG SetWindowLong(HWND hwnd, int index, LONG value) { return SetWindowLongA(hwnd, index, value); }
int GetClassNameA(HWND hwnd, LPSTR buffer, int size);
inline int GetClassName(HWND hwnd, LPSTR buffer, int size) { return GetClassNameA(hwnd, buffer, size); }
int GetWindowTextA(HWND hwnd, LPSTR buffer, int size);
int GetWindowTextLengthA(HWND hwnd);
BOOL SetWindowTextA(HWND hwnd, LPCSTR text);
inline int GetWindowText(HWND hwnd, LPSTR buffer, int size) { return GetWindowTextA(hwnd, buffer, size); }
inline int GetWindowTextLength(HWND hwnd) { return GetWindowTextLengthA(hwnd); }
inline BOOL SetWindowText(HWND hwnd, LPCSTR text) { return SetWindowTextA(hwnd, text); }

LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
inline LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcA(proc, hwnd, message, wParam, lParam);
}
// The default handling; the window manager extends it message by message.
LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
inline LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

namespace tavrin {
class Region;
}

namespace tavrin::win {

// One window. The handle, class and owning thread never change; the other
// fields are read and written under m_lock, because other threads may ask
// (IsWindow, GetParent, GetWindowLong) while the owner changes them. Only the
// owning thread changes geometry, z-order and state.
class Window {
public:
    Window(HWND handle, std::shared_ptr<WindowClass> wc, DWORD threadId);

    HWND GetHandle() const { return m_handle; }
    DWORD GetThreadId() const { return m_threadId; }
    const std::shared_ptr<WindowClass>& GetClass() const { return m_class; }
    bool IsMessageOnly() const { return m_messageOnly; }
    bool IsDesktop() const { return m_desktop; }

    WNDPROC GetProc() const;
    void SetProc(WNDPROC proc);
    HWND GetParent() const;
    HWND GetOwner() const;
    void SetOwner(HWND owner);
    LONG GetStyle() const;
    void SetStyle(LONG style);
    LONG GetExStyle() const;
    void SetExStyle(LONG exStyle);
    LONG_PTR GetId() const;
    // In the parent's client coordinates; screen coordinates for top-level windows.
    RECT GetRect() const;
    void SetRect(const RECT& rect);
    // The client area, in the same coordinates as the window rectangle.
    RECT GetClientRect() const;
    void SetRects(const RECT& window, const RECT& client);
    // The rectangle a minimised or maximised window returns to.
    RECT GetNormalRect() const;
    void SetNormalRect(const RECT& rect);
    std::string GetText() const;
    void SetText(std::string text);
    // Children in z-order, topmost first.
    std::vector<HWND> GetChildren() const;
    // The window region in window coordinates; null when there is none.
    std::shared_ptr<const Region> GetRegion() const;
    void SetRegion(std::shared_ptr<const Region> region);
    HWND GetLastActivePopup() const;
    void SetLastActivePopup(HWND popup);

    // Properties by name (case-insensitive; atoms as "#n").
    HANDLE GetProp(const std::string& key) const;
    void SetProp(const std::string& key, HANDLE value);
    HANDLE RemoveProp(const std::string& key);
    std::vector<std::pair<std::string, HANDLE>> GetProps() const;

    // Set when destruction has begun; a send then no longer waits for the window.
    bool IsDestroying() const;

    // The live window of a handle, or null.
    static std::shared_ptr<Window> FromHandle(HWND hwnd);
    // Top-level windows in z-order, topmost first (no message-only windows).
    static std::vector<HWND> TopLevelWindows();
    // The windows owned by the thread, top-level ones only.
    static std::vector<HWND> ThreadWindows(DWORD threadId);

private:
    friend HWND (::CreateWindowExA)(DWORD, LPCSTR, LPCSTR, DWORD, int, int, int, int, HWND, HMENU, HINSTANCE, LPVOID);
    friend BOOL (::DestroyWindow)(HWND);
    friend LONG_PTR (::GetWindowLongPtrA)(HWND, int);
    friend LONG_PTR (::SetWindowLongPtrA)(HWND, int, LONG_PTR);
    friend LONG (::GetWindowLongA)(HWND, int);
    friend LONG (::SetWindowLongA)(HWND, int, LONG);
    friend class WindowTree;
    friend void MarkWindowDestroying(HWND hwnd);

    const HWND m_handle;
    const std::shared_ptr<WindowClass> m_class;
    const DWORD m_threadId;
    bool m_messageOnly = false;
    bool m_desktop = false;

    mutable std::mutex m_lock;
    WNDPROC m_proc = nullptr;
    HWND m_parent = nullptr;
    HWND m_owner = nullptr;
    LONG m_style = 0;
    LONG m_exStyle = 0;
    RECT m_rect{};
    RECT m_client{};
    RECT m_normal{};
    LONG_PTR m_id = 0;
    LONG_PTR m_userData = 0;
    HINSTANCE m_instance = nullptr;
    std::string m_text;
    std::vector<BYTE> m_extra;
    std::vector<HWND> m_children;
    std::shared_ptr<const Region> m_region;
    HWND m_lastActivePopup = nullptr;
    std::vector<std::pair<std::string, HANDLE>> m_props;
    bool m_destroying = false;
};

// The registry of live windows and the z-order of siblings. Lock order: a
// queue lock, then this one, then a window's own lock.
class WindowTree {
public:
    static WindowTree& Get();

    // Siblings in z-order, topmost first: the children of parent, or the
    // top-level windows for null.
    std::vector<HWND> Siblings(HWND parent);
    // Moves the window among its siblings: after insertAfter, or to
    // HWND_TOP, HWND_BOTTOM, HWND_TOPMOST or HWND_NOTOPMOST. Topmost
    // top-level windows stay above the others.
    void Reorder(HWND hwnd, HWND insertAfter);
    // Moves the window under another parent (null: top-level), on top.
    void Reparent(HWND hwnd, HWND parent);

    HWND Add(std::shared_ptr<WindowClass> wc, DWORD threadId, HWND parent, bool messageOnly,
             std::shared_ptr<Window>* out);
    void Remove(HWND hwnd);
    std::shared_ptr<Window> Desktop();

    std::mutex m_lock;
    std::unordered_map<HWND, std::shared_ptr<Window>> m_windows;
    std::vector<HWND> m_topLevel; // topmost first
    std::shared_ptr<Window> m_desktop;
    uintptr_t m_next = 0x10010;

private:
    // Caller holds m_lock.
    std::vector<HWND>* SiblingList(HWND parent);
    void Insert(std::vector<HWND>& list, HWND hwnd, HWND insertAfter, bool topLevel);
};

// Calls the window's procedure for a sent message on its own thread, with
// the call-window-procedure hooks around it. Every send by the system goes
// through here.
LRESULT CallWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Calls the procedure for a retrieved message (DispatchMessage): no hooks.
LRESULT DispatchToProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Runs the call on the window's thread: directly there, else as a send that
// waits. 0 when the window or its thread is gone.
LRESULT RunOnWindowThread(HWND hwnd, const std::function<LRESULT()>& call);

// Marks the window and its descendants as being destroyed.
void MarkWindowDestroying(HWND hwnd);

// The desktop window stands for null parents: a top-level window's parent.
inline bool IsDesktopHandle(HWND hwnd);

} // namespace tavrin::win

HWND GetDesktopWindow();

inline bool tavrin::win::IsDesktopHandle(HWND hwnd)
{
    return hwnd && hwnd == ::GetDesktopWindow();
}
