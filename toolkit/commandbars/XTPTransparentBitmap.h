// A bitmap handle, not owned, seen as an image with a transparent colour.
#pragma once

#include "platform/gdi/Gdi.h"

class CXTPTransparentBitmap {
public:
    explicit CXTPTransparentBitmap(HBITMAP hBitmap) : m_hBitmap(hBitmap) {}

    // The top-left pixel's colour; CLR_INVALID without a bitmap.
    COLORREF GetTransparentColor() const;
    // A new icon with the transparent colour masked; the caller destroys it.
    HICON ConvertToIcon() const;

private:
    HBITMAP m_hBitmap;
};
