#include "platform/win/AnimatedRects.h"

BOOL DrawAnimatedRects(HWND, int animation, const RECT* from, const RECT* to)
{
    if (!from || !to || (animation != IDANI_OPEN && animation != IDANI_CAPTION)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}
