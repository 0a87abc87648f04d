// Off-screen device contexts for flicker-free painting: each paints into a
// bitmap and copies it to its target when it goes out of scope.
#pragma once

#include "platform/mfc/Dc.h"

#define XT_MEMDC_NOFILL (static_cast<COLORREF>(0xFFFFFFFF))

// Draws in the destination's coordinates on a bitmap as large as the
// rectangle's right and bottom; the rectangle is copied back at the end.
// When no memory DC can be had it paints on the destination itself.
class CXTBufferedDC : public CDC {
public:
    CXTBufferedDC(HDC hDestDC, RECT rect);
    ~CXTBufferedDC() override;
    BOOL IsBuffered() const { return m_bBuffered; }

protected:
    HDC m_hDestDC;
    CBitmap m_bitmap;
    CRect m_rect;
    HGDIOBJ m_hOldBitmap = nullptr;
    BOOL m_bBuffered = FALSE;
};

// A memory DC compatible with pDC (the screen without one) holding a bitmap.
class CXTBitmapDC : public CDC {
public:
    CXTBitmapDC(CDC* pDC, CBitmap* pBitmap);
    ~CXTBitmapDC() override;

protected:
    HGDIOBJ m_hOldBitmap = nullptr;
};

// Draws relative to the rectangle's top-left corner (the target's clip box
// when the rectangle is empty) and copies the result there at the end.
class CXTMemDC : public CDC {
    DECLARE_DYNAMIC(CXTMemDC)
public:
    CXTMemDC(CDC* pDC, const CRect& rect, COLORREF clrFill = XT_MEMDC_NOFILL);
    ~CXTMemDC() override;
    BOOL IsValid() const { return m_bValid; }
    const CRect& GetRect() const { return m_rc; }

protected:
    BOOL m_bValid = FALSE;
    CDC* m_pDC;
    CRect m_rc;
    CBitmap m_bitmap;
    HGDIOBJ m_hOldBitmap = nullptr;
};
