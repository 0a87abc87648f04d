#include "platform/win/WindowClass.h"

#include <mutex>
#include <strings.h>
#include <vector>

namespace tavrin::win {

namespace {

struct ClassRegistry {
    std::mutex lock;
    std::vector<std::shared_ptr<WindowClass>> classes;
    ATOM nextAtom = 0xC000;
};

ClassRegistry& Registry()
{
    static ClassRegistry* registry = new ClassRegistry;
    return *registry;
}

// Caller holds the registry lock.
std::shared_ptr<WindowClass> FindLocked(LPCSTR nameOrAtom)
{
    if (!nameOrAtom)
        return nullptr;
    for (const auto& wc : Registry().classes) {
        if (IS_INTRESOURCE(nameOrAtom) ? wc->m_atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(nameOrAtom))
                                       : strcasecmp(wc->m_name.c_str(), nameOrAtom) == 0)
            return wc;
    }
    return nullptr;
}

} // namespace

std::shared_ptr<WindowClass> WindowClass::Find(LPCSTR nameOrAtom)
{
    std::lock_guard<std::mutex> lock(Registry().lock);
    return FindLocked(nameOrAtom);
}

void WindowClass::AddWindow(const std::shared_ptr<WindowClass>& wc, int delta)
{
    std::lock_guard<std::mutex> lock(Registry().lock);
    wc->m_windowCount += delta;
}

} // namespace tavrin::win

using tavrin::win::WindowClass;

ATOM RegisterClassExA(const WNDCLASSEXA* info)
{
    if (!info || !info->lpszClassName || IS_INTRESOURCE(info->lpszClassName) || !*info->lpszClassName ||
        info->cbWndExtra < 0 || info->cbClsExtra < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto& registry = tavrin::win::Registry();
    std::lock_guard<std::mutex> lock(registry.lock);
    if (tavrin::win::FindLocked(info->lpszClassName)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto wc = std::make_shared<WindowClass>();
    wc->m_atom = registry.nextAtom++;
    wc->m_name = info->lpszClassName;
    wc->m_info = *info;
    wc->m_info.cbSize = sizeof(WNDCLASSEXA);
    wc->m_info.lpszClassName = wc->m_name.c_str();
    wc->m_info.lpszMenuName = nullptr; // menus by name belong to the resource layer
    registry.classes.push_back(wc);
    return wc->m_atom;
}

ATOM RegisterClassA(const WNDCLASSA* info)
{
    if (!info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WNDCLASSEXA ex{sizeof(WNDCLASSEXA), info->style, info->lpfnWndProc, info->cbClsExtra, info->cbWndExtra,
                   info->hInstance, info->hIcon, info->hCursor, info->hbrBackground, info->lpszMenuName,
                   info->lpszClassName, nullptr};
    return RegisterClassExA(&ex);
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE)
{
    auto& registry = tavrin::win::Registry();
    std::lock_guard<std::mutex> lock(registry.lock);
    auto wc = tavrin::win::FindLocked(className);
    if (!wc) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (wc->m_windowCount > 0) {
        SetLastError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    std::erase(registry.classes, wc);
    return TRUE;
}

BOOL GetClassInfoExA(HINSTANCE, LPCSTR className, LPWNDCLASSEXA out)
{
    auto wc = WindowClass::Find(className);
    if (!wc || !out) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    *out = wc->m_info;
    return TRUE;
}

BOOL GetClassInfoA(HINSTANCE instance, LPCSTR className, LPWNDCLASSA out)
{
    WNDCLASSEXA ex{};
    if (!out || !GetClassInfoExA(instance, className, &ex))
        return FALSE;
    *out = WNDCLASSA{ex.style, ex.lpfnWndProc, ex.cbClsExtra, ex.cbWndExtra, ex.hInstance, ex.hIcon,
                     ex.hCursor, ex.hbrBackground, ex.lpszMenuName, ex.lpszClassName};
    return TRUE;
}
