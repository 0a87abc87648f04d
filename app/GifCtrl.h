// CGifCtrl: a static that paints the first frame of a GIF file at the
// frame's own place and size, as the verification-code picture is shown.
#pragma once

#include "imaging/GifDecoder.h"
#include "platform/mfc/Static.h"

class CGifCtrl : public CStatic {
    DECLARE_DYNAMIC(CGifCtrl)
public:
    CGifCtrl() = default;

    // Decodes the file; whatever the result, the control paints what it got.
    void LoadImage(const char* path);

protected:
    void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    CGifDecoder m_decoder;
    CGifDecoder* m_pDecoder = nullptr;
    int m_nFrame = 0;
};
