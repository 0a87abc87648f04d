#include "toolkit/commandbars/XTPImageManagerIconHandle.h"

#include <cstring>
#include <new>

namespace XTPImageBits {

namespace {

BITMAPINFO TopDown32(int cx, int cy)
{
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = -cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    return bmi;
}

} // namespace

HBITMAP Create32(int cx, int cy, BYTE** ppBits)
{
    if (cx <= 0 || cy <= 0 || cx > 4096 || cy > 4096)
        return nullptr;
    BITMAPINFO bmi = TopDown32(cx, cy);
    void* pBits = nullptr;
    HBITMAP hBitmap = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (hBitmap && !pBits) {
        ::DeleteObject(hBitmap);
        return nullptr;
    }
    if (ppBits)
        *ppBits = static_cast<BYTE*>(pBits);
    return hBitmap;
}

BOOL Read32(HBITMAP hBitmap, int& cx, int& cy, std::vector<BYTE>& bits)
{
    BITMAP bm{};
    if (!hBitmap || !::GetObjectA(hBitmap, sizeof bm, &bm))
        return FALSE;
    cx = bm.bmWidth;
    cy = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
    if (cx <= 0 || cy <= 0 || cx > 4096 || cy > 4096)
        return FALSE;
    BITMAPINFO bmi = TopDown32(cx, cy);
    try {
        bits.assign(static_cast<size_t>(cx) * 4 * static_cast<size_t>(cy), 0);
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    HDC hdc = ::CreateCompatibleDC(nullptr);
    int nLines = ::GetDIBits(hdc, hBitmap, 0, static_cast<UINT>(cy), bits.data(), &bmi, DIB_RGB_COLORS);
    ::DeleteDC(hdc);
    return nLines == cy;
}

HBITMAP Copy32(HBITMAP hBitmap)
{
    int cx = 0, cy = 0;
    std::vector<BYTE> bits;
    if (!Read32(hBitmap, cx, cy, bits))
        return nullptr;
    BYTE* pDest = nullptr;
    HBITMAP hCopy = Create32(cx, cy, &pDest);
    if (hCopy)
        std::memcpy(pDest, bits.data(), bits.size());
    return hCopy;
}

} // namespace XTPImageBits

void CXTPImageManagerIconHandle::Clear()
{
    if (m_bOwned) {
        if (m_hIcon)
            ::DestroyIcon(m_hIcon);
        if (m_hBitmap)
            ::DeleteObject(m_hBitmap);
    }
    if (m_hBitmapPreMultiplied)
        ::DeleteObject(m_hBitmapPreMultiplied);
    m_hIcon = nullptr;
    m_hBitmap = nullptr;
    m_hBitmapPreMultiplied = nullptr;
}

void CXTPImageManagerIconHandle::CopyHandle(const CXTPImageManagerIconHandle& other)
{
    if (&other == this)
        return;
    Clear();
    m_hIcon = other.m_hIcon ? ::CopyIcon(other.m_hIcon) : nullptr;
    m_hBitmap = other.m_hBitmap ? XTPImageBits::Copy32(other.m_hBitmap) : nullptr;
    m_bOwned = TRUE;
}

void CXTPImageManagerIconHandle::Attach(HICON hIcon)
{
    Clear();
    m_hIcon = hIcon;
    m_bOwned = TRUE;
}

void CXTPImageManagerIconHandle::Attach(HBITMAP hBitmap)
{
    Clear();
    m_hBitmap = hBitmap;
    m_bOwned = TRUE;
}

CSize CXTPImageManagerIconHandle::GetExtent() const
{
    if (m_hIcon) {
        ICONINFO info{};
        if (!::GetIconInfo(m_hIcon, &info))
            return CSize(0, 0);
        BITMAP bm{};
        CSize size(0, 0);
        if (info.hbmColor && ::GetObjectA(info.hbmColor, sizeof bm, &bm))
            size = CSize(bm.bmWidth, bm.bmHeight);
        else if (info.hbmMask && ::GetObjectA(info.hbmMask, sizeof bm, &bm))
            size = CSize(bm.bmWidth, bm.bmHeight / 2);
        if (info.hbmColor)
            ::DeleteObject(info.hbmColor);
        if (info.hbmMask)
            ::DeleteObject(info.hbmMask);
        return size;
    }
    BITMAP bm{};
    if (m_hBitmap && ::GetObjectA(m_hBitmap, sizeof bm, &bm))
        return CSize(bm.bmWidth, bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight);
    return CSize(0, 0);
}

HBITMAP CXTPImageManagerIconHandle::PreMultiply()
{
    if (m_hBitmapPreMultiplied || !m_hBitmap)
        return m_hBitmapPreMultiplied;
    int cx = 0, cy = 0;
    std::vector<BYTE> bits;
    if (!XTPImageBits::Read32(m_hBitmap, cx, cy, bits))
        return nullptr;
    BYTE* pDest = nullptr;
    HBITMAP hBitmap = XTPImageBits::Create32(cx, cy, &pDest);
    if (!hBitmap)
        return nullptr;
    for (size_t i = 0; i < bits.size(); i += 4) {
        int nAlpha = bits[i + 3];
        for (int c = 0; c < 3; ++c)
            pDest[i + static_cast<size_t>(c)] = static_cast<BYTE>(bits[i + static_cast<size_t>(c)] * nAlpha / 255);
        pDest[i + 3] = static_cast<BYTE>(nAlpha);
    }
    m_hBitmapPreMultiplied = hBitmap;
    return hBitmap;
}
