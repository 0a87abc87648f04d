#include "providers/common/Highlight.h"

#include "core/services/StringTokenizer.h"
#include "providers/common/PageTemplate.h"

#include <string>
#include <string_view>

namespace tavrin {

namespace {

const char kHighlightOpen[] = "<font color=red><b>";
const char kHighlightClose[] = "</b></font>";

// The word of words that starts text at p, or nullptr.
const CString* WordAt(std::string_view text, size_t p, const std::vector<CString>& words)
{
    for (const CString& word : words)
        if (!word.IsEmpty() && text.substr(p, static_cast<size_t>(word.GetLength())) == word.View())
            return &word;
    return nullptr;
}

std::string EscapeBrackets(std::string_view text)
{
    std::string out;
    for (char c : text) {
        if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

// The '>' that ends the tag at text[p] as a browser reads it: one inside a
// quoted value does not.
size_t TagEnd(std::string_view text, size_t p)
{
    for (size_t q = p + 1; q < text.size(); ++q) {
        if (text[q] == '>')
            return q;
        if (text[q] != '=')
            continue;
        size_t v = q + 1;
        while (v < text.size() && (text[v] == ' ' || text[v] == '\t' || text[v] == '\r' || text[v] == '\n' || text[v] == '\f'))
            ++v;
        if (v < text.size() && (text[v] == '"' || text[v] == '\'')) {
            size_t close = text.find(text[v], v + 1);
            if (close == std::string_view::npos)
                return close;
            q = close;
        }
    }
    return std::string_view::npos;
}

} // namespace

std::vector<CString> SplitWords(const CString& text)
{
    std::vector<CString> words;
    CStringTokenizer tokens(text, " \t\r\n\f\v");
    CString word;
    while (tokens.NextToken(word))
        words.push_back(word);
    return words;
}

CString HighlightWords(const CString& input, const std::vector<CString>& words, bool title)
{
    std::string_view text = input.View();
    std::string out;
    auto emit = [&](std::string_view piece) { out += title ? EscapeBrackets(piece) : std::string(piece); };
    size_t p = 0;
    while (p < text.size()) {
        if (!title && text[p] == '<') {
            size_t close = TagEnd(text, p);
            if (close != std::string_view::npos) {
                out.append(text, p, close + 1 - p);
                p = close + 1;
                continue;
            }
        }
        if (const CString* word = WordAt(text, p, words)) {
            out += kHighlightOpen;
            emit(word->View());
            out += kHighlightClose;
            p += static_cast<size_t>(word->GetLength());
            continue;
        }
        size_t n = static_cast<size_t>(CharLength(text.data() + p, text.data() + text.size()));
        emit(text.substr(p, n));
        p += n;
    }
    return CString(std::move(out));
}

bool FindSeparator(const CString& page, const char* start, const char* end, CString& separator)
{
    CString region;
    if (!FindMarkedBlock(page, start, end, region))
        return false;
    int open = region.Find("<!--");
    int close = open < 0 ? -1 : region.Find("-->", open + 4);
    if (close < 0)
        return false;
    separator = region.Mid(open + 4, close - open - 4);
    return true;
}

} // namespace tavrin
