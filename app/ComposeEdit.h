// The compose body: a rich edit whose smileys are embedded pictures, each one
// character carrying its smiley index, and the smiley table that maps the
// codes a provider's pages understand to those indexes.
#pragma once

#include "platform/mfc/RichEditCtrl.h"

#include <functional>

class CImageList;

// Posted to the compose view by the smiley popup: wParam the picked index,
// or -3 when the popup closed without a pick; lParam 0.
#define WM_INSERT_SMILEY (WM_USER + 1001)

constexpr int kSmileyCount = 64;
// The code of a smiley, null outside 0 .. kSmileyCount - 1.
LPCTSTR GetSmileyCode(int index);

class CComposeEdit : public CRichEditCtrl {
    DECLARE_DYNAMIC(CComposeEdit)
public:
    CComposeEdit() = default;

    // Inserts the picture at the selection as a static picture object whose
    // user value is the index. The bitmap is taken over (freed here, also on
    // failure); a failure throws COleException and inserts nothing.
    void InsertSmiley(HBITMAP hBitmap, int nIndex);

    // A new bitmap (the caller's) of image nIndex drawn on the body's
    // background colour; null when it cannot be made.
    HBITMAP MakeSmileyBitmap(CImageList* pImageList, int nIndex);

    // Codes typed as text become pictures. makeBitmap gives a new bitmap for
    // an index, or null; a code whose picture cannot be made or inserted
    // stays as text and the pass goes on after it.
    void ReplaceSmileyCodes(const std::function<HBITMAP(int)>& makeBitmap);

    // The body's text with every picture written back as its code; a picture
    // whose index is not in the table stays as its one character.
    CString GetTextWithSmileyCodes() const;
};
