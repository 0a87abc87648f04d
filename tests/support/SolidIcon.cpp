#include "tests/support/SolidIcon.h"

#include <vector>

namespace tavrin::test {

HICON MakeSolidIcon(int size, COLORREF clr)
{
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = size;
    bmi.bmiHeader.biHeight = -size;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* pBits = nullptr;
    HBITMAP colour = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (!colour)
        return nullptr;
    auto* px = static_cast<DWORD*>(pBits);
    for (int i = 0; i < size * size; ++i)
        px[i] = (static_cast<DWORD>(GetRValue(clr)) << 16) | (GetGValue(clr) << 8) | GetBValue(clr);
    std::vector<BYTE> mask(static_cast<size_t>((size + 15) / 16 * 2 * size), 0);
    HBITMAP hMask = CreateBitmap(size, size, 1, 1, mask.data());
    ICONINFO info{TRUE, 0, 0, hMask, colour};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(hMask);
    DeleteObject(colour);
    return icon;
}

} // namespace tavrin::test
