#include "providers/5460/MessageText.h"

#include "core/services/StringTokenizer.h"
#include "providers/common/HtmlSanitizer.h"

namespace tavrin::p5460 {

CString FirstPiece(const CString& joined)
{
    CStringArray pieces;
    SplitString(joined, kReplySeparator, pieces);
    return pieces[0];
}

} // namespace tavrin::p5460


namespace tavrin::p5460 {

CString SanitizeForPage(const CString& joined)
{
    CString out;
    int from = 0;
    for (;;) {
        const int at = joined.Find(kReplySeparator, from);
        const int end = at < 0 ? joined.GetLength() : at;
        out += SanitizeHtml(joined.Mid(from, end - from), IsPhotoLinkAddress);
        if (at < 0)
            break;
        out += kReplySeparator;
        from = at + static_cast<int>(sizeof(kReplySeparator) - 1);
    }
    return out;
}

} // namespace tavrin::p5460
