#include "toolkit/controls/XTMemDC.h"

#include "platform/win/Window.h"

CXTBufferedDC::CXTBufferedDC(HDC hDestDC, RECT rect) : m_hDestDC(hDestDC), m_rect(rect)
{
    HDC memory = ::CreateCompatibleDC(hDestDC);
    HBITMAP bitmap = memory ? ::CreateCompatibleBitmap(hDestDC, m_rect.right, m_rect.bottom) : nullptr;
    if (!bitmap) {
        // Without a bitmap the painting would be lost: paint straight through.
        if (memory)
            ::DeleteDC(memory);
        Attach(hDestDC);
        return;
    }
    Attach(memory);
    m_bitmap.Attach(bitmap);
    m_hOldBitmap = ::SelectObject(memory, bitmap);
    m_bBuffered = TRUE;
}

CXTBufferedDC::~CXTBufferedDC()
{
    if (!m_bBuffered) {
        Detach();
        return;
    }
    ::BitBlt(m_hDestDC, m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), m_hDC, m_rect.left, m_rect.top,
             SRCCOPY);
    ::SelectObject(m_hDC, m_hOldBitmap);
    m_bitmap.DeleteObject();
    DeleteDC();
}

CXTBitmapDC::CXTBitmapDC(CDC* pDC, CBitmap* pBitmap)
{
    CreateCompatibleDC(pDC);
    if (m_hDC && pBitmap && pBitmap->m_hObject)
        m_hOldBitmap = ::SelectObject(m_hDC, pBitmap->m_hObject);
}

CXTBitmapDC::~CXTBitmapDC()
{
    if (m_hOldBitmap)
        ::SelectObject(m_hDC, m_hOldBitmap);
    if (m_hDC)
        DeleteDC();
}

IMPLEMENT_DYNAMIC(CXTMemDC, CDC)

CXTMemDC::CXTMemDC(CDC* pDC, const CRect& rect, COLORREF clrFill) : m_pDC(pDC), m_rc(rect)
{
    if (m_rc.IsRectEmpty() && pDC)
        pDC->GetClipBox(&m_rc);
    if (!CreateCompatibleDC(pDC))
        return;
    if (pDC && pDC->m_hAttribDC)
        SetMapMode(pDC->GetMapMode());
    // Compatible with the target, or with the screen: a bitmap compatible
    // with a fresh memory DC would be monochrome.
    HDC screen = pDC ? nullptr : ::GetDC(nullptr);
    HBITMAP bitmap = ::CreateCompatibleBitmap(pDC ? pDC->m_hDC : screen, m_rc.Width(), m_rc.Height());
    if (screen)
        ::ReleaseDC(nullptr, screen);
    if (!bitmap) {
        DeleteDC();
        return;
    }
    m_bitmap.Attach(bitmap);
    m_hOldBitmap = ::SelectObject(m_hDC, bitmap);
    if (clrFill != XT_MEMDC_NOFILL)
        FillSolidRect(0, 0, m_rc.Width(), m_rc.Height(), clrFill);
    m_bValid = TRUE;
}

CXTMemDC::~CXTMemDC()
{
    if (!m_bValid)
        return;
    if (m_pDC)
        m_pDC->BitBlt(m_rc.left, m_rc.top, m_rc.Width(), m_rc.Height(), this, 0, 0, SRCCOPY);
    ::SelectObject(m_hDC, m_hOldBitmap);
    m_bitmap.DeleteObject();
    DeleteDC();
}
