#include "platform/win/Capture.h"

#include <mutex>

namespace tavrin::win {

namespace {

std::mutex g_lock;
HWND g_capture = nullptr;

} // namespace

HWND GetSystemCapture()
{
    std::lock_guard<std::mutex> lock(g_lock);
    if (g_capture && !IsWindow(g_capture))
        g_capture = nullptr;
    return g_capture;
}

} // namespace tavrin::win

HWND SetCapture(HWND hwnd)
{
    auto window = tavrin::win::Window::FromHandle(hwnd);
    if (hwnd && (!window || window->GetThreadId() != GetCurrentThreadId() || window->IsDesktop())) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    HWND old;
    {
        std::lock_guard<std::mutex> lock(tavrin::win::g_lock);
        old = tavrin::win::g_capture;
        tavrin::win::g_capture = hwnd;
    }
    if (old && old != hwnd && IsWindow(old))
        SendMessageA(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    if (old && GetWindowThreadProcessId(old, nullptr) != GetCurrentThreadId())
        return nullptr;
    return old;
}

BOOL ReleaseCapture()
{
    HWND old;
    {
        std::lock_guard<std::mutex> lock(tavrin::win::g_lock);
        old = tavrin::win::g_capture;
        tavrin::win::g_capture = nullptr;
    }
    if (old && IsWindow(old))
        SendMessageA(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture()
{
    HWND capture = tavrin::win::GetSystemCapture();
    if (capture && GetWindowThreadProcessId(capture, nullptr) != GetCurrentThreadId())
        return nullptr;
    return capture;
}
