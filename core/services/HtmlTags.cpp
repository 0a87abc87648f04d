#include "core/services/HtmlTags.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr size_t npos = std::string::npos;

size_t Step(const std::string& s, size_t i)
{
    return static_cast<size_t>(tavrin::CharLength(s.data() + i, s.data() + s.size()));
}

// First occurrence of needle starting at a character start at or after from
// (itself a character start).
size_t FindFrom(const std::string& s, std::string_view needle, size_t from)
{
    for (size_t i = from; i < s.size() && s.size() - i >= needle.size(); i += Step(s, i)) {
        if (std::memcmp(s.data() + i, needle.data(), needle.size()) == 0)
            return i;
    }
    return npos;
}

// Deletes each occurrence of open through the end of the next close at or
// after it, with the result of searching again from the start of the text
// after every deletion. Only an occurrence that straddles a cut can be new,
// so the search goes on from the last open.size() - 1 kept bytes, and the
// text is compacted in place: s[0, w) is kept, s[r, end) is not searched yet.
// Cuts in a row can each reach back into bytes kept before, so the character
// starts of the kept text are remembered, not only where the last search began.
void RemoveSpans(std::string& s, std::string_view open, std::string_view close)
{
    if (open.empty() || close.empty())
        return;
    std::vector<bool> starts(s.size(), false);  // character starts of s[0, w)
    size_t w = 0;
    size_t r = 0;
    for (;;) {
        size_t p = FindFrom(s, open, r);
        size_t q = p == npos ? npos : FindFrom(s, close, p);
        if (q == npos)
            break;
        // r is a character start and p one reached by stepping from it.
        for (size_t i = r, next = r; i < p; ++i) {
            starts[w + (i - r)] = i == next;
            if (i == next)
                next += Step(s, i);
        }
        std::memmove(s.data() + w, s.data() + r, p - r);
        w += p - r;
        r = q + close.size();
        // Move the kept bytes a straddling match could start in back in
        // front of the unread text, from a character start.
        size_t b = w >= open.size() - 1 ? w - (open.size() - 1) : 0;
        while (b > 0 && b < w && !starts[b])
            --b;
        size_t tail = w - b;
        std::memmove(s.data() + r - tail, s.data() + b, tail);
        r -= tail;
        w = b;
    }
    std::memmove(s.data() + w, s.data() + r, s.size() - r);
    s.resize(w + (s.size() - r));
}

void RemoveAll(std::string& s, std::string_view needle)
{
    if (needle.empty())
        return;
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        if (s.size() - i >= needle.size() && std::memcmp(s.data() + i, needle.data(), needle.size()) == 0) {
            i += needle.size();
        } else {
            size_t n = Step(s, i);
            out.append(s, i, n);
            i += n;
        }
    }
    s.swap(out);
}

std::string Lower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string Upper(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// The closing tag ("<a>" gives "</a>"; empty for "<input>") and the opening
// pattern ("<a>" gives "<a", which matches tags with attributes; "<b>" stays
// whole so that "<br>" and "<body>" are not touched).
struct TagPatterns {
    std::string closing;
    std::string opening;
};

TagPatterns PatternsOf(std::string_view tag)
{
    TagPatterns patterns;
    std::string lower = Lower(tag);
    if (tag.empty())
        return patterns;
    if (lower != "<input>")
        patterns.closing = std::string(tag.substr(0, 1)) + "/" + std::string(tag.substr(1));
    patterns.opening = lower == "<b>" ? std::string(tag) : std::string(tag.substr(0, tag.size() - 1));
    return patterns;
}

} // namespace

void StripHtmlTags(CString& text)
{
    std::string s = text.Str();
    RemoveSpans(s, "<", ">");
    text = CString(std::move(s));
}

void RemoveHtmlTags(CString& text, const CString& tag)
{
    TagPatterns patterns = PatternsOf(tag.View());
    std::string s = text.Str();
    RemoveAll(s, Lower(patterns.closing));
    RemoveAll(s, Upper(patterns.closing));
    RemoveSpans(s, Lower(patterns.opening), ">");
    RemoveSpans(s, Upper(patterns.opening), ">");
    text = CString(std::move(s));
}

void RemoveHtmlElements(CString& text, const CString& tag)
{
    TagPatterns patterns = PatternsOf(tag.View());
    if (patterns.closing.empty())
        return;
    std::string s = text.Str();
    RemoveSpans(s, Lower(patterns.opening), Lower(patterns.closing));
    RemoveSpans(s, Upper(patterns.opening), Upper(patterns.closing));
    text = CString(std::move(s));
}
