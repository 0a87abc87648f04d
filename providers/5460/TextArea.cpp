#include "providers/5460/TextArea.h"

#include <string_view>

namespace tavrin::p5460 {

namespace {

size_t FindNoCase(std::string_view text, std::string_view lowerNeedle, size_t from)
{
    for (size_t p = from; p + lowerNeedle.size() <= text.size(); ++p) {
        size_t i = 0;
        while (i < lowerNeedle.size()) {
            char c = text[p + i];
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
            if (c != lowerNeedle[i])
                break;
            ++i;
        }
        if (i == lowerNeedle.size())
            return p;
    }
    return std::string_view::npos;
}

} // namespace

bool ExtractTextArea(const CString& page, CString& data)
{
    // What "<textarea[^>]*>(.*?)</textarea>" (any case) finds, in one pass:
    // the expression took time square to the page's length on a page of
    // unclosed text areas and then threw. Its first match always lies at the
    // first opening tag, since its tag ends at the first '>' and any closing
    // tag after a later one is after this one too.
    std::string_view text = page.View();
    text = text.substr(0, text.find('\0')); // the page ends at its first NUL
    size_t open = FindNoCase(text, "<textarea", 0);
    if (open == std::string_view::npos)
        return false;
    size_t tagEnd = text.find('>', open);
    if (tagEnd == std::string_view::npos)
        return false;
    size_t close = FindNoCase(text, "</textarea>", tagEnd + 1);
    if (close == std::string_view::npos)
        return false;
    data = CString(text.substr(tagEnd + 1, close - tagEnd - 1));
    return true;
}

} // namespace tavrin::p5460
