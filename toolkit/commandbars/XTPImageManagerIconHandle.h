// One image of an icon: an icon with its mask, or a 32-bit bitmap whose
// fourth byte is alpha, with the premultiplied copy the alpha drawing uses.
#pragma once

#include "platform/gdi/Gdi.h"
#include "platform/mfc/Rect.h"

#include <vector>

class CXTPImageManagerIconHandle {
public:
    CXTPImageManagerIconHandle() = default;
    // The caller's handles: not owned.
    CXTPImageManagerIconHandle(HICON hIcon) : m_hIcon(hIcon), m_bOwned(FALSE) {}
    CXTPImageManagerIconHandle(HBITMAP hBitmap) : m_hBitmap(hBitmap), m_bOwned(FALSE) {}
    ~CXTPImageManagerIconHandle() { Clear(); }
    CXTPImageManagerIconHandle(const CXTPImageManagerIconHandle&) = delete;
    CXTPImageManagerIconHandle& operator=(const CXTPImageManagerIconHandle&) = delete;

    // A copy of the other's images, owned by this record.
    void CopyHandle(const CXTPImageManagerIconHandle& other);
    // Takes ownership of the handle.
    void Attach(HICON hIcon);
    void Attach(HBITMAP hBitmap);
    void Clear();

    BOOL IsEmpty() const { return !m_hIcon && !m_hBitmap; }
    BOOL IsAlpha() const { return m_hBitmap != nullptr; }
    HICON GetIcon() const { return m_hIcon; }
    HBITMAP GetBitmap() const { return m_hBitmap; }
    BOOL IsOwned() const { return m_bOwned; }
    // The image's extent: the icon's, or the bitmap's.
    CSize GetExtent() const;
    // Premultiplied by alpha, built on first use and kept; null when the
    // bitmap cannot be read.
    HBITMAP PreMultiply();

private:
    HICON m_hIcon = nullptr;
    HBITMAP m_hBitmap = nullptr;
    HBITMAP m_hBitmapPreMultiplied = nullptr;
    BOOL m_bOwned = TRUE;
};

namespace XTPImageBits {

// A new 32-bit top-down DIB section; *ppBits gets its pixels.
HBITMAP Create32(int cx, int cy, BYTE** ppBits);
// The bitmap's pixels as 32-bit top-down rows; FALSE when unreadable or too big.
BOOL Read32(HBITMAP hBitmap, int& cx, int& cy, std::vector<BYTE>& bits);
// A 32-bit copy of the bitmap (pixels and alpha), or null.
HBITMAP Copy32(HBITMAP hBitmap);

} // namespace XTPImageBits
