#include "providers/5460/MessageText.h"

#include "core/services/StringTokenizer.h"
#include "platform/base/CodePage.h"
#include "providers/common/HtmlSanitizer.h"

namespace tavrin::p5460 {

CString FirstPiece(const CString& joined)
{
    CStringArray pieces;
    SplitString(joined, kReplySeparator, pieces);
    return pieces[0];
}

int CharacterCount(const CString& text)
{
    if (text.IsEmpty())
        return 0;
    return MultiByteToWideChar(CP_ACP, 0, text.GetString(), text.GetLength(), nullptr, 0);
}

} // namespace tavrin::p5460

namespace tavrin::p5460 {

std::vector<CString> SplitWords(const CString& text)
{
    std::vector<CString> words;
    CStringTokenizer tokens(text, " \t\r\n\f\v");
    CString word;
    while (tokens.NextToken(word))
        words.push_back(word);
    return words;
}

} // namespace tavrin::p5460

namespace tavrin::p5460 {

namespace {

const char kPhotoLinkStart[] = "tavrin:点击查看编号[";
const char kPhotoLinkEnd[] = "]的照片";

} // namespace

CString PhotoLink(const CString& photoId, const CString& tag)
{
    return CString("<a href=\"") + kPhotoLinkStart + photoId + kPhotoLinkEnd + "\">" + tag + "</a>";
}

bool IsPhotoLinkAddress(std::string_view href)
{
    const std::string_view start = kPhotoLinkStart;
    const std::string_view end = kPhotoLinkEnd;
    if (href.size() <= start.size() + end.size() || href.substr(0, start.size()) != start ||
        href.substr(href.size() - end.size()) != end)
        return false;
    const std::string_view id = href.substr(start.size(), href.size() - start.size() - end.size());
    for (char c : id)
        if (c < '0' || c > '9')
            return false;
    return true;
}

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
