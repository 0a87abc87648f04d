#include "platform/win/LayeredWindow.h"

#include "platform/gdi/DeviceContext.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowSurface.h"

#include <algorithm>

using tavrin::win::Window;

namespace {

bool IsLayeredTopLevel(HWND hwnd)
{
    auto window = Window::FromHandle(hwnd);
    return window && !(window->GetStyle() & WS_CHILD) && (window->GetExStyle() & WS_EX_LAYERED);
}

} // namespace

BOOL UpdateLayeredWindow(HWND hwnd, HDC, POINT* pptDst, SIZE* psize, HDC hdcSrc, POINT* pptSrc, COLORREF key,
                         BLENDFUNCTION* blend, DWORD flags)
{
    if (!IsLayeredTopLevel(hwnd)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    RECT r;
    GetWindowRect(hwnd, &r);
    if (pptDst || psize) {
        POINT pos = pptDst ? *pptDst : POINT{r.left, r.top};
        SIZE size = psize ? *psize : SIZE{r.right - r.left, r.bottom - r.top};
        if (pos.x != r.left || pos.y != r.top || size.cx != r.right - r.left || size.cy != r.bottom - r.top)
            SetWindowPos(hwnd, nullptr, pos.x, pos.y, size.cx, size.cy,
                         SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
        GetWindowRect(hwnd, &r);
    }
    if (hdcSrc) {
        auto dc = tavrin::DcFromHandle(hdcSrc);
        auto surface = tavrin::win::GetWindowSurface(hwnd);
        if (!dc || !dc->Target()) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        if (surface) {
            tavrin::Surface* source = dc->Target();
            const POINT from = pptSrc ? *pptSrc : POINT{0, 0};
            const POINT origin = dc->ToSurface(from.x, from.y);
            for (int y = 0; y < surface->Height(); ++y) {
                for (int x = 0; x < surface->Width(); ++x) {
                    const int sx = origin.x + x, sy = origin.y + y;
                    surface->SetPixel(x, y, source->Contains(sx, sy) ? source->GetPixel(sx, sy) : 0);
                }
            }
            tavrin::win::NotifyDamage(hwnd, RECT{0, 0, surface->Width(), surface->Height()});
        }
    }
    tavrin::win::LayeredState state = tavrin::win::GetLayeredState(hwnd);
    state.perPixelAlpha = (flags & ULW_ALPHA) && blend && (blend->AlphaFormat & AC_SRC_ALPHA);
    state.useAlpha = (flags & ULW_ALPHA) && blend;
    state.alpha = blend ? blend->SourceConstantAlpha : 255;
    state.useColorKey = (flags & ULW_COLORKEY) != 0;
    state.colorKey = key;
    tavrin::win::SetLayeredState(hwnd, state);
    return TRUE;
}

BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags)
{
    if (!IsLayeredTopLevel(hwnd)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    tavrin::win::LayeredState state;
    state.useAlpha = (flags & LWA_ALPHA) != 0;
    state.alpha = alpha;
    state.useColorKey = (flags & LWA_COLORKEY) != 0;
    state.colorKey = key;
    tavrin::win::SetLayeredState(hwnd, state);
    return TRUE;
}

BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags)
{
    if (!IsLayeredTopLevel(hwnd)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    tavrin::win::LayeredState state = tavrin::win::GetLayeredState(hwnd);
    if (state.perPixelAlpha)
        return FALSE; // set by UpdateLayeredWindow: there are no attributes
    if (key)
        *key = state.colorKey;
    if (alpha)
        *alpha = state.alpha;
    if (flags)
        *flags = (state.useAlpha ? LWA_ALPHA : 0) | (state.useColorKey ? LWA_COLORKEY : 0);
    return TRUE;
}
