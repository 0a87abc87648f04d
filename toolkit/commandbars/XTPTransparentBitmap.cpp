#include "toolkit/commandbars/XTPTransparentBitmap.h"

#include "toolkit/controls/XTDrawHelpers.h"

COLORREF CXTPTransparentBitmap::GetTransparentColor() const
{
    return XTGetBitmapCornerColor(m_hBitmap);
}

HICON CXTPTransparentBitmap::ConvertToIcon() const
{
    return XTCreateIconFromBitmap(m_hBitmap);
}
