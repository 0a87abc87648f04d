#include "platform/win/Cursor.h"

#include "platform/gdi/Gdi.h"
#include "platform/win/ResourceImage.h"

#include <atomic>

namespace tavrin::win {

namespace {

constexpr UINT kSystemCursors[] = {32512, 32513, 32514, 32515, 32516, 32640, 32641, 32642,
                                   32643, 32644, 32645, 32646, 32648, 32649, 32650, 32651};
constexpr size_t kCount = sizeof kSystemCursors / sizeof kSystemCursors[0];

// Distinct addresses stand for the shared system cursors.
char g_cursorTokens[kCount];
std::atomic<HCURSOR> g_current{nullptr};
std::atomic<int> g_showCount{0};

} // namespace

UINT SystemCursorId(HCURSOR cursor)
{
    auto* p = reinterpret_cast<char*>(cursor);
    if (p < g_cursorTokens || p >= g_cursorTokens + kCount)
        return 0;
    return kSystemCursors[p - g_cursorTokens];
}

} // namespace tavrin::win

HCURSOR LoadCursorA(HINSTANCE module, LPCSTR name)
{
    if (module)
        return tavrin::win::LoadResourceCursor(module, name);
    if (!IS_INTRESOURCE(name))
        return nullptr;
    const UINT id = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name));
    for (size_t i = 0; i < tavrin::win::kCount; ++i)
        if (tavrin::win::kSystemCursors[i] == id)
            return reinterpret_cast<HCURSOR>(&tavrin::win::g_cursorTokens[i]);
    return nullptr;
}

HCURSOR SetCursor(HCURSOR cursor)
{
    // Presenters read the current cursor with GetCursor when they show it.
    return tavrin::win::g_current.exchange(cursor);
}

HCURSOR GetCursor()
{
    return tavrin::win::g_current.load();
}

int ShowCursor(BOOL show)
{
    return show ? ++tavrin::win::g_showCount : --tavrin::win::g_showCount;
}

BOOL DestroyCursor(HCURSOR cursor)
{
    if (tavrin::win::SystemCursorId(cursor))
        return TRUE;
    return DestroyIcon(cursor);
}
