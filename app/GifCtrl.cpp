#include "app/GifCtrl.h"

#include "platform/mfc/Dc.h"

IMPLEMENT_DYNAMIC(CGifCtrl, CStatic)

BEGIN_MESSAGE_MAP(CGifCtrl, CStatic)
ON_WM_PAINT()
END_MESSAGE_MAP()

void CGifCtrl::LoadImage(const char* path)
{
    m_decoder.Load(path);
    m_pDecoder = &m_decoder;
    if (m_hWnd)
        Invalidate();
}

void CGifCtrl::OnPaint()
{
    CPaintDC dc(this);
    // The static's own black frame, which the picture covers where they overlap.
    if ((GetStyle() & SS_TYPEMASK) == SS_BLACKFRAME) {
        CRect client;
        GetClientRect(&client);
        CBrush black(RGB(0, 0, 0));
        dc.FrameRect(&client, &black);
    }
    const CGifFrame* frame = m_pDecoder ? m_pDecoder->GetFrame(m_nFrame) : nullptr;
    if (frame)
        frame->Draw(dc.GetSafeHdc(), frame->m_nLeft, frame->m_nTop);
}
