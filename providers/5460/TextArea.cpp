#include "providers/5460/TextArea.h"

#include <algorithm>
#include <string_view>

namespace tavrin::p5460 {

namespace {

char FoldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// needle in lower case; the tags are ASCII and begin with '<', which is never
// the second byte of a double-byte character.
size_t FindTag(std::string_view text, std::string_view needle, size_t from)
{
    auto it = std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), needle.begin(), needle.end(),
                          [](char a, char b) { return FoldAscii(a) == b; });
    return it == text.end() ? std::string_view::npos : static_cast<size_t>(it - text.begin());
}

} // namespace

bool ExtractTextArea(const CString& page, CString& data)
{
    // The first "<textarea", the first '>' after it and the first
    // "</textarea>" after that: what "<textarea[^>]*>(.*?)</textarea>" finds,
    // in one pass, so that a page of unclosed tags costs no more than its
    // length. A NUL is an ordinary byte here: page texts have theirs made
    // blanks (PageText).
    std::string_view text = page.View();
    const size_t open = FindTag(text, "<textarea", 0);
    if (open == std::string_view::npos)
        return false;
    const size_t start = text.find('>', open);
    if (start == std::string_view::npos)
        return false;
    const size_t end = FindTag(text, "</textarea>", start + 1);
    if (end == std::string_view::npos)
        return false;
    data = CString(text.substr(start + 1, end - start - 1));
    return true;
}

} // namespace tavrin::p5460
