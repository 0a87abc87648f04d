// Painting a verification-code frame through the GDI layer. Kept apart from
// the decoder: the fuzz build has no drawing layer.
#include "imaging/GifDecoder.h"

#include "platform/gdi/Gdi.h"

int CGifFrame::Draw(HDC dc, int x, int y) const
{
    if (!m_pPixels || !m_pInfo)
        return 0;
    return SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(m_nWidth), static_cast<DWORD>(m_nHeight), 0, 0, 0,
                             static_cast<UINT>(m_nHeight), m_pPixels, m_pInfo, DIB_RGB_COLORS);
}
