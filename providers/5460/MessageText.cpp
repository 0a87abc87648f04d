#include "providers/5460/MessageText.h"

#include "core/services/StringTokenizer.h"
#include "platform/base/CodePage.h"

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
